// The check-box and radio-button adapter (see lxCheckBoxWnd.h).
//
// Sections: glyph and layout; painting; window method.
#include "skin/adapters/lxCheckBoxWnd.h"


#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/lxBtnWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sTextPaintWin.h"

namespace {

std::uint32_t StyleOf(HWND wnd) { return static_cast<std::uint32_t>(GetWindowLongA(wnd, GWL_STYLE)); }
std::uint32_t ExStyleOf(HWND wnd) { return static_cast<std::uint32_t>(GetWindowLongA(wnd, GWL_EXSTYLE)); }
std::uint32_t ButtonStateOf(HWND wnd) { return static_cast<std::uint32_t>(SendMessageA(wnd, BM_GETSTATE, 0, 0)); }

bool IsHot(HWND wnd) {
  const TsSkinManager* m = TsSkinManager::DefaultManager();
  return m != nullptr && m->HoverWindow() == wnd;
}

const TsSkinTables* TablesOf(const TsCommonData* d) {
  const TsSkinManager* m = d->GetSkinManager();
  return m != nullptr ? m->Tables() : nullptr;
}

// The system's own box for a skin without check glyphs.
UINT SystemGlyphState(std::uint32_t style, int checkState, int glyphState) {
  UINT s = IsRadioStyle(style) ? DFCS_BUTTONRADIO : checkState == 2 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK;
  if (checkState != 0) s |= DFCS_CHECKED;
  if (glyphState == 2) s |= DFCS_PUSHED;
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Glyph and layout.

void TlxCheckBoxWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "CHECKBOX" : section);
  FOwnerDrawn = (StyleOf(Handle()) & lxBS_OWNERDRAW) == lxBS_OWNERDRAW;
}

int TlxCheckBoxWnd::GlyphMask() const {
  const TsSkinTables* t = TablesOf(SkinData());
  if (t == nullptr) return -1;
  const std::string name = CheckGlyphName(StyleOf(Handle()), CheckState(ButtonStateOf(Handle())));
  return FindMaskEntry(t, t->CommonIndexes.GlobalInfo, "GLOBALINFO", name);
}

TSize TlxCheckBoxWnd::GlyphSize() const {
  const TsSkinTables* t = TablesOf(SkinData());
  TlxCheckMask in;
  const int checked = t == nullptr ? -1
                      : FindMaskEntry(t, t->CommonIndexes.GlobalInfo, "GLOBALINFO",
                                      IsRadioStyle(StyleOf(Handle())) ? "RADIOCHECKED" : "BOXCHECKED");
  const int i = GlyphMask();
  if (MaskIndexInRange(t, checked) && MaskIndexInRange(t, i)) {
    const TsMaskData& m = t->MaskData[static_cast<size_t>(i)];
    const auto* own = dynamic_cast<const TBitmap*>(m.Bmp.get());
    in.Found = true;
    in.OwnBitmap = own != nullptr && !own->Empty();
    in.BitmapW = in.OwnBitmap ? own->GetWidth() : 0;
    in.BitmapH = in.OwnBitmap ? own->GetHeight() : 0;
    in.RectW = m.R.Width();
    in.RectH = m.R.Height();
    in.ImageCount = m.ImageCount;
    in.MaskType = m.MaskType;
  }
  return CheckGlyphSize(in);
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TlxCheckBoxWnd::DrawCaption(const TRect& r, unsigned format, bool hot) {
  TCanvas* canvas = SkinData()->CacheBitmap()->Canvas();
  TsTextSkinInfo info = TextSkinInfoOf(SkinManager(), SkinData()->SectionIndex());
  info.CustomFont = SkinData()->GetCustomFont();
  info.Cache = SkinData()->CacheBitmap();
  DrawSkinText(canvas, Caption(), true, hot, info, format, r);
  if ((ButtonStateOf(Handle()) & BST_FOCUS) != 0)
    DrawDottedFrame(canvas, TRect{r.Left - 1, r.Top, r.Right, r.Bottom - 1}, clBtnFace, clBtnFace);
}

void TlxCheckBoxWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  d->EnsureCacheBitmap();
  if (FOwnerDrawn) return;
  const TlxWndGeometry g = GetWndGeometry(Handle());
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  TCanvas* canvas = cache->Canvas();
  SelectCaptionFont(canvas, d->OwnerControl(), reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  const bool hot = IsHot(Handle());
  const TsSkinTables* t = m->Tables();
  PaintSectionBackgroundOnly(d->SectionIndex(), t, 0xFF00FF, d->HotTextureIndex(), d->TextureIndex(), bg,
                             hot ? 1 : 0, cache, TPoint{0, 0}, TRect{0, 0, g.Width, g.Height}, m->MasterBitmap());
  const std::uint32_t style = StyleOf(Handle());
  const TSize glyph = GlyphSize();
  RECT measured{0, 0, CheckMeasureWidth(g.Width, glyph.cx), 0};
  if (!Caption().empty())
    DrawTextA(canvas->GetHandle(), Caption().c_str(), static_cast<int>(Caption().size()), &measured,
              DT_CALCRECT | CheckMeasureFormat(style));
  const TlxCheckLayout l = CheckBoxLayout(g.Width, g.Height, glyph, measured.right - measured.left,
                                          measured.bottom - measured.top, !Caption().empty(), style, ExStyleOf(Handle()));
  if (!Caption().empty()) DrawCaption(l.Caption, l.Format, hot);
  const std::uint32_t state = ButtonStateOf(Handle());
  const int glyphState = CheckGlyphState(state, hot);
  const int mask = GlyphMask();
  if (MaskIndexInRange(t, mask)) {
    // Mode 1: the band's red is the pixel's transparency, as the glyph's author drew it.
    DrawMaskState(cache, TPoint{l.Glyph.Left, l.Glyph.Top}, glyphState, TsBackgroundInfo{cache, 0, 0, clKeyColor, 1},
                  t, mask, 1, m->MasterBitmap());
  } else {
    // A skin without check glyphs: the system's box keeps the state readable.
    RECT box = ToRECT(l.Glyph);
    DrawFrameControl(canvas->GetHandle(), &box, DFC_BUTTON, SystemGlyphState(style, CheckState(state), glyphState));
  }
  if (!IsWindowEnabled(Handle())) BlendDisabled(cache, Handle(), d->OwnerControl());
  d->BGChanged = 0;
}

void TlxCheckBoxWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0 || (IsWindowVisible(Handle()) == FALSE && given == nullptr)) return;
  PrepareCache();
  TBitmap* cache = d->CacheBitmap();
  CopyCacheTo(Handle(), cache, given, TRect{0, 0, cache->GetWidth(), cache->GetHeight()}, TPoint{0, 0});
}

void TlxCheckBoxWnd::EraseOwnerDrawn(HDC dc) {
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  const TlxWndGeometry g = GetWndGeometry(Handle());
  PaintParentBackground(dc, TRect{0, 0, g.Width, g.Height}, bg);
}

void TlxCheckBoxWnd::Repaint() { SendMessageA(Handle(), WM_PAINT, 0, 0); }

// ---------------------------------------------------------------------------------------------
// Window method.

void TlxCheckBoxWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    const std::uint16_t command = SkinCommandOf(message.WParam);
    if (command == SkinCmdHoverIn || command == SkinCmdHoverOut) {
      SkinData()->SetPaintLock(false);
      Repaint();
    }
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case CM_TEXTCHANGED:
      if (IsWindowVisible(Handle()) == FALSE || FOwnerDrawn) break;
      // The system paints the change itself: with redrawing off it cannot show.
      WithRedrawOff(Handle(), [&] { TlxMainWnd::HandleMessage(message); });
      Repaint();
      return;
    case WM_PAINT:
      // An owner-drawn button is drawn by its owner (WM_DRAWITEM from the system's painting).
      if (FOwnerDrawn) break;
      HandlePaintMessage(Handle(), message, [this](HDC given) { Paint(given); });
      return;
    case WM_ERASEBKGND:
      if (FOwnerDrawn && message.WParam != 0) EraseOwnerDrawn(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (!FOwnerDrawn) Repaint();
      break;
    case WM_NCHITTEST:
      if (IsWindowEnabled(Handle()) && !IsHot(Handle()))
        if (TsSkinManager* m = TsSkinManager::DefaultManager()) m->TrackHoverWindow(Handle());
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (message.WParam == VK_SPACE && !FOwnerDrawn) Repaint();
      break;
    default:
      break;
  }
}
