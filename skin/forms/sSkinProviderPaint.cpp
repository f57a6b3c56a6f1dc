// Frame painting of the skin provider: the frame cache (background, grip, title bar, icon,
// menu line, caption, buttons) and its way to the window, and the menu line's bar items while
// the frame is skinned. See sSkinProvider.h.
//
// Sections: helpers; frame cache; title bar and caption; menu line; non-client paint.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "skin/core/lxBorderGeometry.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinText.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/sFramePaint.h"
#include "skin/forms/sFormRegion.h"
#include "skin/paint/lxPNG.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/sGlyphPaint.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sBitmapKernels.h"
#include "skin/paint/win/sDwmApi.h"

bool OldSkinAlphaFix = false;

// ---------------------------------------------------------------------------------------------
// Helpers.

namespace {

const TsSkinTables* TablesOf(TsSkinManager* m) { return m != nullptr ? m->Tables() : nullptr; }

// The system's caption font in the character set, owned.
TOwnedFont CaptionFontOf(BYTE charset) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return TOwnedFont();
  ncm.lfCaptionFont.lfCharSet = charset;
  return TOwnedFont(CreateFontIndirectA(&ncm.lfCaptionFont));
}

// Copies src's rectangle to the DC at dst; the rectangle is first clipped to the bitmap.
void BlitClipped(HDC dst, TPoint at, TBitmap* src, TRect r) {
  if (src == nullptr || src->Empty()) return;
  const int dx = at.X - r.Left, dy = at.Y - r.Top;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, src->GetWidth());
  r.Bottom = std::min(r.Bottom, src->GetHeight());
  if (r.IsEmpty()) return;
  BitBlt(dst, r.Left + dx, r.Top + dy, r.Width(), r.Height(), src->Canvas()->GetHandle(), r.Left, r.Top, SRCCOPY);
}

}  // namespace

int StateIn(const TsSkinTables* t, int section, bool active) {
  if (!SectionIndexInRange(t, section)) return 0;
  return std::clamp(active ? 1 : 0, 0, std::max(t->GeneralData[static_cast<size_t>(section)].States - 1, 0));
}

TsBackgroundInfo BackgroundOf(TBitmap* bitmap, TPoint at) {
  TsBackgroundInfo bg;
  bg.Bitmap = bitmap;
  bg.X = at.X;
  bg.Y = at.Y;
  bg.Ready = 1;
  return bg;
}

int TsSkinProvider::TitleState() const {
  return StateIn(TablesOf(SkinManager()), FSkinData->SectionIndex(), FormActive);
}

// ---------------------------------------------------------------------------------------------
// Frame cache.

void TsSkinProvider::PaintFrameCache() {
  if (FForm == nullptr || !FForm->HandleAllocated() || (FormState & (Moving | Hiding)) != 0 || !Skinned()) return;
  const ISystemMetrics& sm = SystemMetrics();
  const TsFormGeometry f = Geometry();
  if (MenuLineCount < 0) MenuLineCount = ::MenuLineCount(f, sm);
  const int w = CacheWidth(f, sm), h = FrameCacheHeight(f, sm, MenuLineCount);
  if (w <= 0 || h <= 0) return;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (cache == nullptr || cache->Empty()) {
    FSkinData->EnsureCacheBitmap();
    cache = FSkinData->CacheBitmap();
    FSkinData->BGChanged = 1;
    if ((FForm->ComponentState() & csLoading) == 0) {
      TMessage cmd;
      cmd.Msg = WM_SKINCOMMAND;
      cmd.WParam = MakeSkinWParam(SkinCmdTransparencyState);
      cmd.LParam = 1;
      BroadcastToChildControls(FForm, cmd);
    }
  }
  if (FSkinData->BGChanged == 0 && cache->GetWidth() == w && cache->GetHeight() == h) return;
  ++FrameCacheBuilds;
  RegionChanged = true;
  if (cache->GetWidth() != w || cache->GetHeight() != h) cache->SetSize(w, h);
  const int state = TitleState();
  const TRect inner{f.ShadowLeft, f.ShadowTop, w - f.ShadowRight, h - f.ShadowBottom};
  if (f.HasBorderWindow) {
    // Extended borders: the shadow area starts transparent.
    const TlxPixelBuffer pixels = TargetPixels32(cache);
    for (int y = 0; y < pixels.Height; ++y) FillDWords(pixels.Row(y), pixels.Width, 0);
  }
  PaintFrameBackground(cache, state);
  const bool drawMode1 = f.HasBorderWindow && f.ExtDrawMode == 1;
  // Extended borders: the layered window shows the frame opaque (its cut-away corners clear)
  // under the frame mask. In drawing mode 1 the mask is the whole window image with its title
  // part; grip, title bar, menu line and caption come over it.
  if (drawMode1) {
    OpaqueFramePixels(TargetPixels32(cache), inner);
    PaintFrameMask(cache, true);
    FixOldSkinAlpha(cache);
  }
  PaintGrip(cache);
  const int caption = CaptionHeight(f, sm, true);
  PaintTitleBar(cache, FSystemMenu != nullptr && FSysMenuStyleTaken);
  if (ShowsMenuLine()) PaintMenuLine(cache);
  PaintCaption(cache);
  PaintMDIArea(cache);
  if (f.HasBorderWindow && !drawMode1) {
    // The frame mask over the finished frame draws its outer edge and the shadow round it.
    OpaqueFramePixels(TargetPixels32(cache), inner);
    PaintFrameMask(cache, false);
  }
  if (caption != 0 && FDrawNonClientArea) {
    SaveTitleButtonsArea(true);
    PaintTitleButtons();
  }
  PaintMDIButtons(cache);
  MenuChanged = false;
  FSkinData->BGChanged = 0;
  // What was drawn over the frame inside the mask's edge (title, caption, buttons) is opaque.
  if (f.HasBorderWindow) OpaqueExtFrame(cache, f, SkinManager()->SkinData().ExContentOffs);
  // The form's own painting goes into the cache too, at the client's place.
  if (FForm->OnPaint) {
    const HDC dc = cache->Canvas()->GetHandle();
    const TPoint client = ClientOffset();
    const TPoint origin = WindowOriginInCache();
    TSaveDC saved(dc);
    SetViewportOrgEx(dc, client.X + origin.X, client.Y + origin.Y, nullptr);
    PaintFormOnPaint(dc);
  }
  FSkinData->HoldPaint = 0;
  FirstInitialized = true;
}

void TsSkinProvider::PaintFrameBackground(TBitmap* cache, int state) {
  TsSkinManager* m = SkinManager();
  const TsFormGeometry f = Geometry();
  const TRect inner{f.ShadowLeft, f.ShadowTop, cache->GetWidth() - f.ShadowRight, cache->GetHeight() - f.ShadowBottom};
  // A form with a parent starts from what its parent shows behind it; a top-level form from
  // an empty background.
  TsBackgroundInfo bg = EmptyBackgroundInfo();
  if (TWinControl* parent = FForm->Parent()) {
    TsBackgroundRequest request;
    request.Rect = TRect{0, 0, FForm->Width(), FForm->Height()};
    RequestControlBackground(request, parent, false);
    if (request.Kind != bkNotAnswered) {
      BackgroundRequestToInfo(request, bg);
      if (bg.Bitmap != nullptr) {
        bg.X += FForm->Left();
        bg.Y += FForm->Top();
      }
    }
  }
  const int section = FSkinData->SectionIndex();
  if (DrawsFrame(f)) {
    PaintSectionItem(section, FSkinData->GetSkinSection(), bg, -1, -1, m->Tables(), cache, TPoint{inner.Left, inner.Top},
                     inner, state, m->MasterBitmap());
  } else {
    bg.Color = 0xFF00FF;
    PaintSectionBackground(section, FSkinData->GetSkinSection(), bg, 0xFF00FF, -1, -1, m->Tables(), cache,
                           TPoint{inner.Left, inner.Top}, inner, state, m->MasterBitmap());
  }
}

// Extended borders: the frame mask of the form's activity (the skin's "EXBORDER" or the
// built-in shadow) stretched round the whole image (corners whole, sides tiled) and laid over
// the finished frame, whose outer edge it draws; without a mask the frame stays a plain
// rectangle. In drawing mode 1 the mask's centre is painted too.
void TsSkinProvider::PaintFrameMask(TBitmap* cache, bool drawMode1) {
  PaintExtFrameMask(cache, SkinManager(), FormActive, Geometry(), drawMode1);
}

void PaintExtFrameMask(TBitmap* cache, TsSkinManager* m, bool active, const TsFormGeometry& f, bool drawMode1) {
  TPNGGraphic* image = active ? m->ShadowActive() : m->ShadowInactive();
  if (image == nullptr || image->Empty()) return;
  const TlxPixelBuffer src = TargetPixels32(image);
  const TsSkinTables* t = m->Tables();
  TlxFrameMaskInput in;
  if (t != nullptr && MaskIndexInRange(t, t->CommonIndexes.ExBorder)) {
    const TsMaskData& mask = t->MaskData[static_cast<size_t>(t->CommonIndexes.ExBorder)];
    in.HasMask = true;
    in.MaskWidths = TRect{mask.WL, mask.WT, mask.WR, mask.WB};
  }
  in.Shadow = m->ShadowSizes();
  in.ContentOffset = m->SkinData().ExContentOffs;
  in.TemplateWidth = src.Width;
  in.TemplateHeight = src.Height;
  in.DrawMode1 = drawMode1;
  in.TitleLimit = f.ShadowTop + FrameBorderWidthPlain(f, SystemMetrics()) + CaptionHeight(f, SystemMetrics(), true);
  const TRect pieces = FrameMaskPieces(in);
  TlxStretchSpec layout;
  layout.PaintCentre = drawMode1;
  layout.Margins1 = TlxMargins{pieces.Left, pieces.Top, pieces.Right, pieces.Bottom};
  layout.Margins2 = layout.Margins1;
  std::vector<std::uint32_t> storage(static_cast<size_t>(cache->GetWidth()) * static_cast<size_t>(cache->GetHeight()), 0);
  const TlxPixelBuffer over{reinterpret_cast<Byte*>(storage.data()), cache->GetWidth(), cache->GetHeight(),
                            cache->GetWidth() * 4, 4};
  StretchPiece(over, src, over.BoundsRect(), src.BoundsRect(), layout);
  BlendFrameOver(TargetPixels32(cache), over);
}

void OpaqueExtFrame(TBitmap* cache, const TsFormGeometry& f, int contentOffset) {
  const TlxPixelBuffer pixels = TargetPixels32(cache);
  const int o = std::max(contentOffset, 0);
  OpaqueFramePixels(pixels, TRect{f.ShadowLeft + o, f.ShadowTop + o, cache->GetWidth() - f.ShadowRight - o,
                                  cache->GetHeight() - f.ShadowBottom - o});
  PremultiplyAlphaPixels(pixels);
}

TRect TsSkinProvider::GripRect(const TBitmap* cache) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  const TsFormGeometry f = Geometry();
  if (cache == nullptr || GripMode != gmRightBottom || f.Zoomed || (f.Style & wsfThickFrame) == 0) return TRect{};
  const int grip = FindMaskEntry(t, FindSectionIndex(t, "GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
  if (!MaskIndexInRange(t, grip)) return TRect{};
  const TsMaskData& mask = t->MaskData[static_cast<size_t>(grip)];
  const TPoint size = GripFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
  const TPoint at = GripPoint(f, SystemMetrics(), cache->GetWidth(), cache->GetHeight(), size.X, size.Y);
  return TRect{at.X, at.Y, at.X + size.X, at.Y + size.Y};
}

void TsSkinProvider::PaintGrip(TBitmap* cache) {
  const TRect r = GripRect(cache);
  if (r.IsEmpty()) return;
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m->Tables();
  const int grip = FindMaskEntry(t, FindSectionIndex(t, "GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
  const TsMaskData& mask = t->MaskData[static_cast<size_t>(grip)];
  const TPoint at{r.Left, r.Top};
  // The grip is laid over the form's own background at its place. An image count of 0 from
  // bad skin data counts as one image, as for the grip's size.
  TlxMaskImage image = MaskImageOf(mask, m->MasterBitmap());
  image.ImageCount = std::max(image.ImageCount, 1);
  TlxPixelBuffer storage;
  DrawMaskState(TargetPixels32(cache), at, 0, BackgroundView(BackgroundOf(cache, at), storage), image, 0);
}

// Mends the alpha of old skins' frames, which kept colour where they meant transparency.
void TsSkinProvider::FixOldSkinAlpha(TBitmap* cache) {
  TsSkinManager* m = SkinManager();
  if (!OldSkinAlphaFix || m->SkinData().Version >= 7.51) return;
  MendOldSkinAlpha(TargetPixels32(cache));
}

// ---------------------------------------------------------------------------------------------
// Title bar and caption.

void TsSkinProvider::PaintTitleBar(TBitmap* cache, bool hasButtons) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m->Tables();
  if (!SectionIndexInRange(t, FTitleIndex)) {
    PaintTitleIcon(cache);
    return;
  }
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  const int plain = FrameBorderWidthPlain(f, sm);
  // The strip reaches the menu line also when a maximized title is lower than the caption it
  // keeps: a strip of the maximized title's height left the rows above the line unpainted.
  const int captionH = CaptionHeight(f, sm, true);
  const TRect strip{f.ShadowLeft, f.ShadowTop, cache->GetWidth() - f.ShadowRight, f.ShadowTop + plain + captionH};
  const std::string name = t->GeneralData[static_cast<size_t>(FTitleIndex)].ClassName;
  const int titleState = StateIn(t, FTitleIndex, FormActive);
  PaintSectionItem(FTitleIndex, name, BackgroundOf(cache, TPoint{strip.Left, strip.Top}), -1, -1, t, cache,
                   TPoint{strip.Left, strip.Top}, strip, titleState, m->MasterBitmap());
  PaintTitleIcon(cache);
  if (!hasButtons) return;
  const int bar = FindMaskEntry(t, FTitleIndex, name, "TITLEBAR");
  if (!MaskIndexInRange(t, bar)) return;
  const int frameW = MaskFrameWidth(t->MaskData[static_cast<size_t>(bar)]);
  // Ends where the title ends: with extended borders the shadow lies beyond it.
  const TRect r{strip.Right - 2 * frameW - TitleButtonsWidth(), strip.Top, strip.Right, strip.Bottom};
  PaintMaskFrame(cache, r, false, titleState, t->MaskData[static_cast<size_t>(bar)], BackgroundOf(cache, TPoint{r.Left, r.Top}),
                 m->MasterBitmap());
}

void TsSkinProvider::PaintTitleIcon(TBitmap* cache) {
  const TsFormGeometry f = Geometry();
  const TRect r = IconRect(f, SystemMetrics());
  if (r.IsEmpty()) return;
  if (TBitmap* glyph = FTitleIcon->Glyph(); !glyph->Empty()) {
    DrawGlyphOver(cache, glyph, r.Left, r.Top, false, false);
    return;
  }
  HICON icon = FForm->Icon() != nullptr ? FForm->Icon()->GetHandle() : nullptr;
  if (icon == nullptr && Application != nullptr && Application->Handle() != nullptr)
    icon = reinterpret_cast<HICON>(SendMessageA(Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
  if (icon == nullptr) {
    // The program's own icons, extracted once at start-up: the large one for a tall title.
    TIcon* own = r.Height() > 16 ? AppLargeIcon() : AppSmallIcon();
    if (own != nullptr) icon = own->GetHandle();
  }
  if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);
  DrawTitleIcon(cache, r, icon);
}

void DrawTitleIcon(TBitmap* cache, const TRect& r, HICON icon) {
  const TlxPixelBuffer px = TargetPixels32(cache);
  TlxImageBuffer saved(r.Width(), r.Height());
  CopyPixelRect(saved.View(), 0, 0, px, r);
  DrawIconEx(cache->Canvas()->GetHandle(), r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  // What the icon painted becomes opaque; everything else keeps the title bar's pixel.
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, px.Height); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, px.Width); ++x) {
      const std::uint32_t before = GetPix(saved.View(), x - r.Left, y - r.Top), now = GetPix(px, x, y);
      SetPix(px, x, y, (now & 0xFFFFFF) != (before & 0xFFFFFF) ? (now | 0xFF000000u) : before);
    }
}

void TsSkinProvider::PaintCaption(TBitmap* cache) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m->Tables();
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  TsCaptionInput in;
  in.FrameWidthExt = FrameBorderWidth(f, sm, true);
  in.FrameWidth = FrameBorderWidthPlain(f, sm);
  in.CaptionHeight = CaptionHeight(f, sm, true);
  if (in.CaptionHeight == 0) return;
  in.IconWidth = IconRect(f, sm).Width();
  in.LeftMargin = f.TitleButtonLeftMargin;
  in.ShadowLeft = f.ShadowLeft;
  in.ShadowRight = f.ShadowRight;
  in.ShadowTop = f.ShadowTop;
  in.HasCaptionSection = SectionIndexInRange(t, FCaptionIndex);
  in.CacheWidth = cache->GetWidth();
  in.ButtonsWidth = FSystemMenu != nullptr && FSysMenuStyleTaken ? TitleButtonsWidth() : 0;
  in.Zoomed = f.Zoomed;
  in.Alignment = static_cast<int>(FCaptionAlignment);
  in.RightToLeft = (f.ExStyle & WS_EX_RTLREADING) != 0;
  TCanvas* canvas = cache->Canvas();
  const TOwnedFont font = CaptionFontOf(static_cast<BYTE>(FForm->Font()->GetCharset()));
  if (font.Valid()) canvas->Font()->SetHandle(font.Get());
  const std::string caption = FForm->Caption();
  const TSize textSize = canvas->TextExtent(caption.empty() ? std::string(" ") : caption);
  in.TextWidth = caption.empty() ? 0 : textSize.cx;
  in.TextHeight = textSize.cy;
  TSize added{0, 0};
  if (!FAddedTitle->Text().empty()) {
    TBitmap probe;
    probe.Canvas()->Font()->Assign(FAddedTitle->Font());
    added = probe.Canvas()->TextExtent(FAddedTitle->Text());
  }
  const bool showMain = FAddedTitle->ShowMainCaption();
  in.AddedWidth = showMain ? added.cx : 0;
  if (!showMain) {
    in.TextWidth = added.cx;
    in.TextHeight = added.cy;
  }
  const TRect r = CaptionTextRect(in);
  const int titleState = StateIn(t, FTitleIndex, FormActive);
  const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (in.RightToLeft ? DT_RTLREADING : 0);
  if (showMain && !caption.empty())
    PaintCaptionText(cache, m, FTitleIndex, FCaptionIndex, FormActive, caption, r, in.TextWidth, in.RightToLeft);
  const std::string& extra = FAddedTitle->Text();
  const int addedLeft = showMain ? r.Left + 4 + in.TextWidth : r.Left;
  if (extra.empty() || r.Right - addedLeft < 8 || !SectionIndexInRange(t, FTitleIndex)) return;
  const TsGeneralData& title = t->GeneralData[static_cast<size_t>(FTitleIndex)];
  const TColor active = title.Props[std::min(titleState, 1)].FontColor[0], inactive = title.Props[0].FontColor[0];
  TColor colour = FAddedTitle->Font()->GetColor();
  if (colour == clNone || colour == clWindowText)
    colour = active;
  else if (!FormActive)
    colour = BlendColors(ColorToRGB(colour), inactive, 0.5);
  canvas->Font()->Assign(FAddedTitle->Font());
  canvas->Font()->SetColor(colour);
  DrawTextPasses(canvas, extra, TRect{addedLeft, r.Top, r.Right, r.Bottom}, PlainTextPasses(true, colour, flags));
}

void PaintCaptionText(TBitmap* cache, TsSkinManager* m, int titleIndex, int captionIndex, bool active,
                      const std::string& caption, const TRect& r, int textWidth, bool rightToLeft) {
  const TsSkinTables* t = m->Tables();
  if (SectionIndexInRange(t, captionIndex)) {
    const TRect back{r.Left - 2, r.Top, std::min(r.Left + textWidth + 2, r.Right), r.Bottom};
    PaintSectionItem(captionIndex, "CAPTION", BackgroundOf(cache, TPoint{back.Left, back.Top}), -1, -1, t, cache,
                     TPoint{back.Left, back.Top}, back, StateIn(t, captionIndex, active), m->MasterBitmap());
  }
  TsTextSkinInfo info = TextSkinInfoOf(m, titleIndex);
  info.Cache = cache;
  const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (rightToLeft ? DT_RTLREADING : 0);
  DrawSkinText(cache->Canvas(), caption, true, StateIn(t, titleIndex, active) == 1, info, flags, r);
}

// ---------------------------------------------------------------------------------------------
// Menu line.

bool TsSkinProvider::ShowsMenuLine() {
  if (FForm == nullptr || !FDrawNonClientArea) return false;
  const TsFormGeometry f = Geometry();
  return MenuLineHeight(f, SystemMetrics()) > 0 && MenuLineCount > 0 && HasMenuLine(f);
}

namespace {

int MenuLineSection(const TsSkinTables* t, const std::string& custom) {
  const int own = custom.empty() ? -1 : FindSectionIndex(t, custom);
  return own >= 0 ? own : FindSectionIndex(t, "MENULINE");
}

}  // namespace

void TsSkinProvider::PaintMenuLine(TBitmap* cache) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m->Tables();
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  const int section = MenuLineSection(t, FMenuLineSkin);
  if (!SectionIndexInRange(t, section)) return;
  const int titleTop = FrameBorderWidthPlain(f, sm) + CaptionHeight(f, sm, true) + f.ShadowTop;
  const int height = MenuLineCount * MenuLineHeight(f, sm) + 1;
  const int frame = FrameBorderWidth(f, sm, true);
  // Between the side frames, so that the frame's border runs on past the bar.
  const TRect r{f.ShadowLeft + frame, titleTop, cache->GetWidth() - f.ShadowRight - frame, titleTop + height};
  PaintSectionItem(section, t->GeneralData[static_cast<size_t>(section)].ClassName, BackgroundOf(cache, TPoint{r.Left, r.Top}),
                   -1, -1, t, cache, TPoint{r.Left, r.Top}, r, StateIn(t, section, FormActive), m->MasterBitmap());
  const int lineW = cache->GetWidth() - f.ShadowLeft - f.ShadowRight;
  if (FMenuLineBitmap == nullptr || FMenuLineBitmap->GetWidth() != lineW || FMenuLineBitmap->GetHeight() != height)
    FMenuLineBitmap = CreateBitmap32(lineW, height);
  CopyPixelRect(TargetPixels32(FMenuLineBitmap.get()), 0, 0, TargetPixels32(cache),
                TRect{f.ShadowLeft, titleTop, f.ShadowLeft + lineW, titleTop + height});
  if (!MenusInitialized) {
    SetMenuLineOwnerDraw(true);
    MenusInitialized = true;
  }
  // An MDI main form shows its maximized child's icon where the system put the child's menu.
  PaintMDIChildIcon(cache, titleTop, MenuLineHeight(f, sm));
  // Each bar item (the active MDI child's merged in) where the system placed it, moved into
  // the cache.
  TMainMenu* menu = FForm->Menu();
  if (menu == nullptr) return;
  for (TMenuItem* item : menu->BarItems()) {
    const TRect rect = MenuLineItemRect(item);
    if (!rect.IsEmpty())
      DrawMenuLineItemInto(cache->Canvas()->GetHandle(), item, rect, item->Enabled() ? odNoAccel : odNoAccel | odGrayed | odDisabled);
  }
}

// A bar item drawn by its own painter (the skinned menus', or the application's) when it has
// one; otherwise its caption over the menu-line image.
void TsSkinProvider::DrawMenuLineItemInto(HDC dc, TMenuItem* item, const TRect& rect, unsigned state) {
  if (item->OnAdvancedDrawItem) {
    TSaveDC saved(dc);
    TCanvas canvas;
    TCanvasDC bound(canvas, dc);
    item->AdvancedDrawItem(&canvas, rect, state, true);
    return;
  }
  DrawMenuLineText(dc, item, rect, (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0);
}

bool TsSkinProvider::MenuLineBackgroundAt(HDC dc, const TRect& itemRect, TsMenuLineSpot& spot) {
  if (FMenuLineBitmap == nullptr || FForm == nullptr || !Skinned()) return false;
  const TsFormGeometry f = Geometry();
  const int titleTop = FrameBorderWidthPlain(f, SystemMetrics()) + CaptionHeight(f, SystemMetrics(), true) + f.ShadowTop;
  // Into the frame cache the item comes in cache coordinates, onto the window in the window's.
  TBitmap* cache = FSkinData->CacheBitmap();
  const bool intoCache = cache != nullptr && !cache->Empty() && dc == cache->Canvas()->GetHandle();
  const int x = itemRect.Left + (intoCache ? 0 : f.ShadowLeft), y = itemRect.Top + (intoCache ? 0 : f.ShadowTop);
  spot.Line = FMenuLineBitmap.get();
  spot.ItemInLine = TPoint{x - f.ShadowLeft, y - titleTop};
  spot.FormActive = FormActive;
  spot.BorderWindow = FBorderForm != nullptr;
  return true;
}

namespace {

// The menu line behind a bar item of the form whose menu bar `menuWindow` shows, through the
// form's provider; only for windows of this process, whose answer is a provider we made.
// An MDI child's menu has no window of its own: its items, merged into the MDI main form's
// bar, lie on that form's menu line.
bool ProviderMenuLineBackground(HWND menuWindow, HDC dc, const TRect& itemRect, TsMenuLineSpot& spot) {
  DWORD process = 0;
  TsSkinProvider* p = nullptr;
  if (menuWindow == nullptr)
    p = TsSkinProvider::SkinnedMDIParent();
  else if (GetWindowThreadProcessId(menuWindow, &process) != 0 && process == GetCurrentProcessId())
    p = reinterpret_cast<TsSkinProvider*>(SendSkinCommand(menuWindow, SkinCmdFindProvider));
  return p != nullptr && p->MenuLineBackgroundAt(dc, itemRect, spot);
}

}  // namespace

void RegisterMenuLineBackground() { SkinableMenusLinks().MenuLineBackground = &ProviderMenuLineBackground; }

// One bar item over the menu-line image: its piece of the image, the selection's face when
// hot, the caption in the menu line's (or, hot, the selection's) text colour.
void TsSkinProvider::DrawMenuLineText(HDC dc, TMenuItem* item, const TRect& rect, bool hot) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = TablesOf(m);
  if (t == nullptr || FMenuLineBitmap == nullptr || rect.IsEmpty()) return;
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  const int titleTop = FrameBorderWidthPlain(f, sm) + CaptionHeight(f, sm, true) + f.ShadowTop;
  std::unique_ptr<TBitmap> face = CreateBitmap32(rect.Width(), rect.Height());
  CopyPixelRect(TargetPixels32(face.get()), 0, 0, TargetPixels32(FMenuLineBitmap.get()),
                TRect{rect.Left - f.ShadowLeft, rect.Top - titleTop, rect.Right - f.ShadowLeft, rect.Bottom - titleTop});
  int textSection = MenuLineSection(t, FMenuLineSkin);
  int textState = StateIn(t, textSection, FormActive);
  const int selection = FindSectionIndex(t, "MENUITEM");
  if (hot && SectionIndexInRange(t, selection)) {
    const TRect all{0, 0, rect.Width(), rect.Height()};
    PaintSectionItem(selection, "MENUITEM", BackgroundOf(face.get(), TPoint{0, 0}), -1, -1, t, face.get(), TPoint{0, 0},
                     all, 1, m->MasterBitmap());
    textSection = selection;
    textState = StateIn(t, selection, true);
  }
  TCanvas* canvas = face->Canvas();
  if (Screen != nullptr) canvas->Font()->Assign(Screen->MenuFont());
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  DrawColoredText(canvas, item->Caption(), item->Enabled(), t, textState, textSection, flags,
                  TRect{0, 0, rect.Width(), rect.Height()});
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), canvas->GetHandle(), 0, 0, SRCCOPY);
}

TRect TsSkinProvider::MenuLineItemRect(TMenuItem* item) {
  TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
  HMENU bar = menu != nullptr && FForm->HandleAllocated() ? GetMenu(FForm->Handle()) : nullptr;
  if (bar == nullptr) return TRect{};
  // By the item's command: the bar may hold entries that are no item of the menu (a maximized
  // MDI child's system menu and buttons).
  for (int pos = 0; pos < GetMenuItemCount(bar); ++pos) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID;
    if (!GetMenuItemInfoA(bar, static_cast<UINT>(pos), TRUE, &mii) || mii.wID != item->Command()) continue;
    {
      RECT ir{};
      RECT window{};
      if (!GetMenuItemRect(FForm->Handle(), bar, static_cast<UINT>(pos), &ir) ||
          !GetWindowRect(FForm->Handle(), &window))
        return TRect{};
      // The window lies in the cache at its origin there: past the shadow, and with a border
      // window also past the extended frame and title.
      const TPoint o = WindowOriginInCache();
      return TRect{static_cast<int>(ir.left - window.left) + o.X, static_cast<int>(ir.top - window.top) + o.Y,
                   static_cast<int>(ir.right - window.left) + o.X, static_cast<int>(ir.bottom - window.top) + o.Y};
    }
  }
  return TRect{};
}

void TsSkinProvider::SetMenuLineOwnerDraw(bool on) {
  TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
  if (menu == nullptr) return;
  // The main menu goes to the skinned menus, which leave it as it is without skinned popups.
  TsSkinManager* m = SkinManager();
  TsSkinableMenus* menus = m != nullptr ? m->SkinableMenus() : nullptr;
  if (on && !FMenuOwnerDrawTaken) {
    FMenuOwnerDrawBefore = menu->OwnerDraw();
    FMenuOwnerDrawTaken = true;
    if (menus != nullptr) menus->AttachMainMenuHandlers(menu, true);
  } else if (!on && FMenuOwnerDrawTaken) {
    FMenuOwnerDrawTaken = false;
    if (menus != nullptr) menus->AttachMainMenuHandlers(menu, false);
    menu->SetOwnerDraw(FMenuOwnerDrawBefore);
    MenusInitialized = false;
  }
}

void TsSkinProvider::RedrawMenuLineItem(TMenuItem* item, const TRect& rect, unsigned state) {
  TMainMenu* menu = FForm != nullptr ? FForm->Menu() : nullptr;
  if (item == nullptr || menu == nullptr || !FForm->HandleAllocated()) return;
  const std::vector<TMenuItem*> bar = menu->BarItems();
  if (std::find(bar.begin(), bar.end(), item) == bar.end()) return;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  DrawMenuLineItemInto(cache->Canvas()->GetHandle(), item, rect, state);
  CopyCacheRectToWindow(rect);
}

// ---------------------------------------------------------------------------------------------
// Non-client paint.

void TsSkinProvider::CopyCacheRectToWindow(const TRect& r) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (FForm == nullptr || !FForm->HandleAllocated() || cache == nullptr) return;
  const TsFormGeometry f = Geometry();
  if (f.HasBorderWindow) {
    // Extended borders: the border window shows the frame.
    OpaqueFramePixels(TargetPixels32(cache), r);
    RefreshBorderForm(true);
    return;
  }
  TWindowDC dc(FForm->Handle(), TWindowDC::TArea::Window);
  if (dc.Get() == nullptr) return;
  BlitClipped(dc.Get(), TPoint{r.Left - f.ShadowLeft, r.Top - f.ShadowTop}, cache, r);
}

void TsSkinProvider::CopyStripsToWindow(HDC dc) {
  TBitmap* cache = FSkinData->CacheBitmap();
  const HWND h = FForm->Handle();
  RECT window{}, client{};
  GetWindowRect(h, &window);
  GetClientRect(h, &client);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  const TPoint at = WindowOriginInCache();
  const int cx = static_cast<int>(origin.x - window.left), cy = static_cast<int>(origin.y - window.top);
  const int ww = static_cast<int>(window.right - window.left), wh = static_cast<int>(window.bottom - window.top);
  const int cw = static_cast<int>(client.right), ch = static_cast<int>(client.bottom);
  // Top, left, right and bottom strips around the client area.
  const TRect strips[4] = {{0, 0, ww, cy}, {0, cy, cx, cy + ch}, {cx + cw, cy, ww, cy + ch}, {0, cy + ch, ww, wh}};
  for (const TRect& s : strips) {
    if (s.IsEmpty()) continue;
    BlitClipped(dc, TPoint{s.Left, s.Top}, cache, TRect{s.Left + at.X, s.Top + at.Y, s.Right + at.X, s.Bottom + at.Y});
  }
}

void TsSkinProvider::CopyEdgeStripsToWindow(HDC dc, int width) {
  TBitmap* cache = FSkinData->CacheBitmap();
  RECT window{};
  GetWindowRect(FForm->Handle(), &window);
  const TPoint at = WindowOriginInCache();
  const int ww = static_cast<int>(window.right - window.left), wh = static_cast<int>(window.bottom - window.top);
  const TRect strips[4] = {{0, 0, ww, width}, {0, width, width, wh - width}, {ww - width, width, ww, wh - width},
                           {0, wh - width, ww, wh}};
  for (const TRect& s : strips) {
    if (s.IsEmpty()) continue;
    BlitClipped(dc, TPoint{s.Left, s.Top}, cache, TRect{s.Left + at.X, s.Top + at.Y, s.Right + at.X, s.Bottom + at.Y});
  }
}

void TsSkinProvider::PaintNonClient() {
  if (!FDrawNonClientArea || FForm == nullptr || !FForm->HandleAllocated() || !Skinned()) return;
  if (UnderMaximizedChild()) return;
  if (ResizeMode == rmBorder && AeroIsActive()) ResizeMode = rmStandard;
  const HWND h = FForm->Handle();
  const ISystemMetrics& sm = SystemMetrics();
  TsFormGeometry f = Geometry();
  if (!MenusInitialized && ShowsMenuLine()) {
    SetMenuLineOwnerDraw(true);
    MenusInitialized = true;
  }
  const bool shaped = DrawsFrame(f) || SizeableWithoutCaption(f.Style) || f.Iconic;
  // A frame cache made anew for another size asks for a region only after this step; a size
  // change painted inside the system's change (whose WM_WINDOWPOSCHANGED then finds the cache
  // fitting) must not leave the window the region of its former size. Iconic forms keep
  // their bounds and change regions only when told.
  const bool resized = shaped && !f.Iconic && RegionSizeChanged(FRegionFlags, f, sm);
  if ((RegionChanged || resized) && !FRegionFlags.Changing) {
    if (shaped) {
      if (f.Iconic && (f.ExStyle & WS_EX_APPWINDOW) != 0) return;
      TsSkinManager* m = SkinManager();
      BuildRegionRects(FRegionRects, m->Tables(), m->MasterBitmap(), FSkinData->BorderIndex(), FTitleSkin,
                       CacheWidth(f, sm), f.FormHeight);
      RegionChanged = false;
      FRegionFlags.Changed = true;
      if (!FForm->Showing() || FForm->Position() == poDefault || f.Zoomed) {
        UpdateRegion(FForm, f, sm, FRegionRects, FDrawNonClientArea, false, FRegionFlags, true);
        return;
      }
      UpdateRegion(FForm, f, sm, FRegionRects, FDrawNonClientArea, false, FRegionFlags, false);
    } else {
      SetWindowRgn(h, nullptr, FALSE);
    }
  }
  FSkinData->HoldPaint = 0;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (cache == nullptr || cache->Empty()) FSkinData->BGChanged = 1;
  TWindowDC dc(h, TWindowDC::TArea::Window);
  if (dc.Get() == nullptr) return;
  if (DrawsFrame(f) || (f.Style & wsfThickFrame) == 0) {
    PaintFrameCache();
    CopyStripsToWindow(dc.Get());
  } else if (!f.Iconic) {
    // A borderless sizeable form: its sizing edge, and a little of the client beside it,
    // from the cache on all four sides.
    PaintFrameCache();
    CopyEdgeStripsToWindow(dc.Get(), FrameBorderWidthPlain(f, sm) + 3);
  }
  FRegionFlags.Changing = false;
  // Extended borders: a hidden border window shows again.
  if (FBorderForm != nullptr && FBorderForm->Handle() != nullptr && !IsWindowVisible(FBorderForm->Handle()))
    RefreshBorderForm(true);
}

void TsSkinProvider::RepaintFormFrame() {
  if (FSkinData != nullptr) FSkinData->BGChanged = 1;
  if (FForm != nullptr && FForm->HandleAllocated() && FForm->Visible())
    RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}
