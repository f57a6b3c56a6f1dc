// The dialog adapter (see lxDialogWnd.h).
//
// Sections: helpers; construction and preparation; geometry; painting; title buttons and hit
// test; message handlers; window procedure.
#include "skin/forms/lxDialogWnd.h"

#include <algorithm>
#include <cstring>

#include "skin/core/sAnimSteps.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sAnimations.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sFramePaint.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"

// ---------------------------------------------------------------------------------------------
// Helpers

namespace {

// A window that keeps its own region answers this private message with its WParam.
constexpr UINT OwnRegionQuery = 0xBC4D;
constexpr WPARAM OwnRegionAnswer = 0x41A2;
constexpr int ButtonCount = 4;
constexpr WPARAM DragMove = 0xF012;
// The framework's notices that a window's children changed (1025) or were made anew (1326).
constexpr UINT ChildrenChanged = 1025;
constexpr UINT ChildrenRecreated = 1326;
constexpr int ButtonCodes[ButtonCount] = {htcClose, htcMaxButton, htcMinButton, htcHelp};

TRect WindowRectOfWnd(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return ToTRect(r);
}

TPoint CursorPoint() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

TPoint PointOf(LPARAM lparam) {
  return TPoint{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

// The window's small icon, else its large one, else its class's, else the system's.
HICON DialogIcon(HWND h) {
  auto icon = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_BIG, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(h, GCLP_HICONSM));
  // A system dialog of this program shows the program's icon, as its forms do.
  if (icon == nullptr && AppSmallIcon() != nullptr) icon = AppSmallIcon()->GetHandle();
  if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);
  return icon;
}

std::string WindowText(HWND h) {
  char buf[512] = {};
  const int n = GetWindowTextA(h, buf, static_cast<int>(sizeof(buf)));
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

}  // namespace

TlxDialogWnd* DialogAdapterOf(HWND wnd) { return dynamic_cast<TlxDialogWnd*>(GetWndAdapter(wnd)); }

// ---------------------------------------------------------------------------------------------
// Construction and preparation

TlxDialogWnd::TlxDialogWnd() {
  for (int i = 0; i < ButtonCount; ++i) FButtons[i].Code = ButtonCodes[i];
}

TlxDialogWnd::~TlxDialogWnd() {
  // Detached here, while this class's parts (the style bit it took) can still be given back.
  ReleaseWndAdapter(Handle(), false, *this);
}

void TlxDialogWnd::AttachToWindow(bool repaintFrame) {
  TlxScrollWnd::AttachToWindow(repaintFrame);
  if (Defunct()) return;
  FSystemMenu = std::make_unique<TlxSystemMenu>(this);
  TsSkinManager* m = SkinManager();
  if (m != nullptr && m->GetSkinnedPopups() && m->SkinableMenus() != nullptr)
    m->SkinableMenus()->HookPopupMenu(FSystemMenu.get(), true);
  ResolveImages();
}

void TlxDialogWnd::DetachParts() {
  GiveSysMenuBack();
  TlxScrollWnd::DetachParts();
}

void TlxDialogWnd::Prepare() {
  const HWND h = Handle();
  if (h == nullptr) return;
  // The window's own style lacks WS_SYSMENU once taken: whether it had one is read once.
  if (!FPrepared) {
    FSysMenu = (GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU) != 0;
    FPrepared = true;
  }
  BorderKind = DialogBorderKind(SavedStyle());
  ResolveImages();
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!FTitleFont.Valid() && SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
    FTitleFont.Reset(CreateFontIndirectA(&ncm.lfCaptionFont));
  const auto style = static_cast<std::uint32_t>(GetWindowLongA(h, GWL_STYLE));
  if ((style & WS_SYSMENU) != 0) {
    SetWindowLongA(h, GWL_STYLE, static_cast<LONG>(style & ~WS_SYSMENU));
    FSysMenuTaken = true;
  }
  RefreshSysMenu();
}

void TlxDialogWnd::GiveSysMenuBack() {
  const HWND h = Handle();
  if (!FSysMenuTaken || h == nullptr || FDestroyed || !IsWindow(h)) return;
  FSysMenuTaken = false;
  SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_SYSMENU);
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TlxDialogWnd::ResolveImages() {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  const int gi = FindSectionIndex(t, "GLOBALINFO");
  FCaptionIndex = FindSectionIndex(t, "CAPTION");
  if (gi < 0) return;
  const auto mask = [&](const std::string& key) { return FindMaskEntry(t, gi, "GLOBALINFO", key); };
  const TlxDialogImages im = DialogTitleImages(DialogState(), [&](const char* name) {
    return std::strcmp(name, "DIALOGTITLE") == 0 ? FindSectionIndex(t, name) >= 0 : mask(name) >= 0;
  });
  const std::string* keys[ButtonCount] = {&im.Close, &im.Max, &im.Min, &im.Help};
  for (int i = 0; i < ButtonCount; ++i) {
    FButtons[i].Key = *keys[i];
    FButtons[i].MaskIndex = mask(*keys[i]);
  }
  FRestoreMask = mask(im.Norm);
  FTitleSection = im.TitleSection;
  FTitleIndex = FindSectionIndex(t, FTitleSection);
}

HBRUSH TlxDialogWnd::DialogBrush() {
  if (!FBrush.Valid() && SkinData() != nullptr)
    FBrush.Reset(CreateSolidBrush(ColorToRGB(SkinData()->SectionColor(0, Handle()))));
  return FBrush.Get();
}

// ---------------------------------------------------------------------------------------------
// Geometry

std::uint32_t TlxDialogWnd::SavedStyle() const {
  const auto live = static_cast<std::uint32_t>(GetWindowLongA(Handle(), GWL_STYLE));
  return FPrepared ? ((live & ~static_cast<std::uint32_t>(WS_SYSMENU)) | (FSysMenu ? WS_SYSMENU : 0)) : live;
}

TlxDialogState TlxDialogWnd::DialogState() const {
  const HWND h = Handle();
  const auto ex = static_cast<std::uint32_t>(GetWindowLongA(h, GWL_EXSTYLE));
  return DialogStateOf(SavedStyle(), ex, static_cast<std::uint32_t>(GetClassLongA(h, GCL_STYLE)), IsIconic(h) != FALSE,
                       IsZoomed(h) != FALSE);
}

// The dialog described as a form: the live window with the style it had before the adapter
// took WS_SYSMENU. A dialog frame shows its icon and caption as a single frame does.
TsFormGeometry TlxDialogWnd::Geometry() const {
  const HWND h = Handle();
  TsFormGeometry f;
  f.Style = SavedStyle();
  f.ExStyle = static_cast<std::uint32_t>(GetWindowLongA(h, GWL_EXSTYLE));
  f.BorderStyle = BorderKind == dbkNone       ? TsFormBorder::None
                  : BorderKind == dbkSizeable ? TsFormBorder::Sizeable
                                              : TsFormBorder::Single;
  f.Iconic = IsIconic(h) != FALSE;
  f.Zoomed = IsZoomed(h) != FALSE;
  f.Skinned = true;
  const TRect wr = WindowRectOfWnd(h);
  RECT cr{};
  GetClientRect(h, &cr);
  f.Top = wr.Top;
  f.FormWidth = f.WindowWidth = wr.Width();
  f.FormHeight = f.WindowHeight = wr.Height();
  f.ClientWidth = cr.right;
  f.ClientHeight = cr.bottom;
  f.WindowOrigin = TPoint{wr.Left, wr.Top};
  const ISystemMetrics& sm = SystemMetrics();
  if (f.Style & WS_VSCROLL) f.VScrollWidth = sm.Get(SM_CXVSCROLL);
  if (f.Style & WS_HSCROLL) f.HScrollHeight = sm.Get(SM_CYHSCROLL);
  f.HasSystemMenu = (f.Style & WS_SYSMENU) != 0;
  TsSkinManager* m = SkinManager();
  if (m != nullptr && m->Tables() != nullptr) ApplySkinGeometry(f, m->SkinData());
  // Extended borders: the border window's shadow and extended title.
  if (FBorderForm != nullptr && m != nullptr && m->Tables() != nullptr) {
    const TRect& shadow = m->ShadowSizes();
    f.HasBorderWindow = true;
    f.ShadowLeft = shadow.Left;
    f.ShadowTop = shadow.Top;
    f.ShadowRight = shadow.Right;
    f.ShadowBottom = shadow.Bottom;
    f.ExtTitleExtra = ::CaptionHeight(f, sm, true) - ::CaptionHeight(f, sm, false) - FrameBorderWidth(f, sm, false);
  }
  return f;
}

int TlxDialogWnd::CaptionHeight() const { return ::CaptionHeight(Geometry(), SystemMetrics(), false); }
int TlxDialogWnd::ClientOffsetX() const { return ::ClientOffsetX(Geometry(), SystemMetrics()); }
int TlxDialogWnd::ClientOffsetY() const { return ::ClientOffsetY(Geometry(), SystemMetrics(), 0); }

// ---------------------------------------------------------------------------------------------
// Painting

void TlxDialogWnd::PaintFrameCache() {
  TsSkinManager* m = SkinManager();
  TsCommonData* d = SkinData();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (FMoving || d == nullptr || t == nullptr) return;
  const TsFormGeometry f = Geometry();
  const TSize size = FrameImageSize(f);
  const int w = size.cx, h = size.cy;
  if (w <= 0 || h <= 0) return;
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr) return;
  if (d->BGChanged == 0 && cache->GetWidth() == w && cache->GetHeight() == h) return;
  if (cache->GetWidth() != w || cache->GetHeight() != h) {
    cache->SetSize(w, h);
    FRegionChanged = true;
  }
  const int section = d->SectionIndex();
  const TRect inner{f.ShadowLeft, f.ShadowTop, w - f.ShadowRight, h - f.ShadowBottom};
  if (f.HasBorderWindow) {
    // The shadow area starts transparent.
    const TlxPixelBuffer pixels = TargetPixels32(cache);
    for (int y = 0; y < pixels.Height; ++y) FillDWords(pixels.Row(y), pixels.Width, 0);
  }
  PaintSectionItem(section, d->GetSkinSection(), EmptyBackgroundInfo(), -1, -1, t, cache, TPoint{inner.Left, inner.Top},
                   inner, StateIn(t, section, FormActive), m->MasterBitmap());
  PaintTitle(cache, f);
  if (f.HasBorderWindow) {
    // The frame mask draws the outer edge and the shadow round the finished frame.
    OpaqueFramePixels(TargetPixels32(cache), inner);
    PaintExtFrameMask(cache, m, FormActive, f, false);
    OpaqueExtFrame(cache, f, m->SkinData().ExContentOffs);
  }
  d->BGChanged = 0;
  FChildBrush.Reset();
}

TSize TlxDialogWnd::FrameImageSize(const TsFormGeometry& f) {
  const ISystemMetrics& sm = SystemMetrics();
  // With a border window the cache holds its whole image: the frame with the shadow round it.
  if (f.HasBorderWindow) return TSize{CacheWidth(f, sm), FrameCacheHeight(f, sm, 0)};
  return TSize{f.WindowWidth, f.WindowHeight};
}

void TlxDialogWnd::PaintTitle(TBitmap* cache, const TsFormGeometry& f) {
  const ISystemMetrics& sm = SystemMetrics();
  const int caption = ::CaptionHeight(f, sm, true);
  if (::CaptionHeight(f, sm, false) == 0) return;
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m->Tables();
  const int frame = FrameBorderWidthPlain(f, sm);
  if (SectionIndexInRange(t, FTitleIndex)) {
    const TRect strip{f.ShadowLeft, f.ShadowTop, cache->GetWidth() - f.ShadowRight, f.ShadowTop + frame + caption};
    PaintSectionItem(FTitleIndex, FTitleSection, BackgroundOf(cache, TPoint{0, 0}), -1, -1, t, cache, TPoint{0, 0},
                     strip, StateIn(t, FTitleIndex, FormActive), m->MasterBitmap());
  }
  const TRect icon = IconRect(f, sm);
  if (!icon.IsEmpty()) DrawTitleIcon(cache, icon, DialogIcon(Handle()));
  PlaceButtons(cache);
  const std::string text = WindowText(Handle());
  if (!text.empty()) {
    TCanvas* canvas = cache->Canvas();
    if (FTitleFont.Valid()) canvas->Font()->SetHandle(FTitleFont.Get());
    TsCaptionInput in;
    in.FrameWidthExt = FrameBorderWidth(f, sm, true);
    in.FrameWidth = frame;
    in.ShadowLeft = f.ShadowLeft;
    in.ShadowTop = f.ShadowTop;
    in.CaptionHeight = caption;
    in.IconWidth = icon.Width();
    in.LeftMargin = f.TitleButtonLeftMargin;
    in.HasCaptionSection = SectionIndexInRange(t, FCaptionIndex);
    in.ShadowRight = f.ShadowRight;
    in.CacheWidth = cache->GetWidth();
    const int right = in.CacheWidth - f.ShadowRight;
    int left = right;
    for (const TButton& b : FButtons)
      if (b.State >= 0 && !b.Rect.IsEmpty()) left = std::min(left, b.Rect.Left);
    in.ButtonsWidth = right - left;
    const TSize size = canvas->TextExtent(text);
    in.TextWidth = size.cx;
    in.TextHeight = size.cy;
    PaintCaptionText(cache, m, FTitleIndex, FCaptionIndex, FormActive, text, CaptionTextRect(in), in.TextWidth);
  }
  for (const TButton& b : FButtons) {
    if (b.State < 0 || b.Rect.IsEmpty()) continue;
    const int mask = b.Code == htcMaxButton && f.Zoomed && FRestoreMask >= 0 ? FRestoreMask : b.MaskIndex;
    if (!MaskIndexInRange(t, mask)) continue;
    // An inactive dialog and a disabled button show the normal image drawn lighter; a hot
    // button whose picture fades in above it is drawn normal beneath.
    const int state = b.State == 1 && AnimatesHover() ? 0 : b.State;
    const bool inactiveLook = state <= 0 && (!FormActive || !b.Enabled);
    DrawMaskState(cache, TPoint{b.Rect.Left, b.Rect.Top}, inactiveLook ? 0 : std::max(state, 0),
                  BackgroundOf(cache, TPoint{b.Rect.Left, b.Rect.Top}), t, mask, inactiveLook ? 0 : 1, m->MasterBitmap());
  }
}

void TlxDialogWnd::PaintNonClient() {
  const HWND h = Handle();
  TsCommonData* d = SkinData();
  if (d == nullptr || !IsWindowVisible(h)) return;
  PaintFrameCache();
  if (FRegionChanged) UpdateRegion(false);
  // The border window shows the frame; the dialog keeps only its content.
  if (FBorderForm != nullptr) {
    FBorderForm->UpdateExBorder(true, 255);
    return;
  }
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  TWindowDC dc(h, TWindowDC::TArea::Window);
  if (!dc.Valid()) return;
  RECT cr{};
  GetClientRect(h, &cr);
  const int x = ClientOffsetX(), y = ClientOffsetY();
  ExcludeClipRect(dc.Get(), x, y, x + cr.right, y + cr.bottom);
  BitBlt(dc.Get(), 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  if (GetWindowLongA(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) PaintScrollBars(dc.Get());
}

void TlxDialogWnd::UpdateRegion(bool redraw) {
  const HWND h = Handle();
  TsSkinManager* m = SkinManager();
  TsCommonData* d = SkinData();
  if (m == nullptr || m->Tables() == nullptr || d == nullptr) return;
  if (BorderKind == dbkNone && !IsIconic(h)) return;
  if (SendMessageA(h, OwnRegionQuery, OwnRegionAnswer, 0) == static_cast<LRESULT>(OwnRegionAnswer)) return;
  const TRect wr = WindowRectOfWnd(h);
  if (FBorderForm != nullptr) {
    // The border window draws the frame: the dialog shows its client area only.
    const TRect c = ClientRectInWindow(h);
    TOwnedRegion content(CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom));
    FRegionChanged = false;
    if (content && SetWindowRgn(h, content.Get(), redraw ? TRUE : FALSE) != 0) (void)content.Release();
    return;
  }
  std::vector<TRect> cuts;
  BuildRegionRects(cuts, m->Tables(), m->MasterBitmap(), d->BorderIndex(), FTitleSection, wr.Width(), wr.Height());
  TOwnedRegion rgn = CreateRegion(0, 0, wr.Width(), wr.Height(), cuts);
  FRegionChanged = false;
  // The window owns the region once it took it.
  if (rgn && SetWindowRgn(h, rgn.Get(), redraw ? TRUE : FALSE) != 0) (void)rgn.Release();
}

// ---------------------------------------------------------------------------------------------
// Title buttons and hit test

void TlxDialogWnd::PlaceButtons(TBitmap* cache) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m->Tables();
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  TsTitleRowInput in;
  in.CacheWidth = cache != nullptr ? cache->GetWidth() : f.WindowWidth;
  in.RightMargin = m->SkinData().BIRightMargin;
  in.Spacing = m->SkinData().BISpacing;
  in.ShadowRight = f.ShadowRight;
  in.ShadowTop = f.ShadowTop;
  in.FrameWidthExt = FrameBorderWidth(f, sm, true);
  in.FrameWidth = FrameBorderWidthPlain(f, sm);
  in.CaptionHeight = ::CaptionHeight(f, sm, true);
  in.LargeSet = BorderKind == dbkSingle || BorderKind == dbkSizeable || !MaskIndexInRange(t, FindMaskEntry(t, FindSectionIndex(t, "GLOBALINFO"), "GLOBALINFO", "SICONCLOSE"));
  in.Zoomed = f.Zoomed;
  in.VAlign = m->SkinData().BIVAlign;
  in.TopMargin = m->SkinData().BITopMargin;
  for (TButton& b : FButtons) {
    b.Rect = TRect{};
    b.State = -1;
  }
  if (::CaptionHeight(f, sm, false) == 0) return;
  for (const TlxDialogButton& shown : DialogTitleButtons(DialogState())) {
    TButton* b = const_cast<TButton*>(Button(shown.Code));
    TPoint size = MaskFrameSize(t, b->MaskIndex);
    // A skin without the image still gets the button's place, so that it answers clicks.
    if (size.X <= 0 || size.Y <= 0) size = TPoint{::CaptionHeight(f, sm, false) - 2, ::CaptionHeight(f, sm, false) - 4};
    b->Enabled = shown.Enabled;
    b->State = FPressedCode == b->Code ? 2 : FHotCode == b->Code ? 1 : 0;
    in.System.push_back({b->Code, size.X, size.Y, in.LargeSet});
  }
  for (const TsPlacedButton& p : PlaceTitleButtons(in))
    if (const TButton* b = Button(p.Code)) const_cast<TButton*>(b)->Rect = p.Rect;
}

const TlxDialogWnd::TButton* TlxDialogWnd::Button(int code) const {
  for (const TButton& b : FButtons)
    if (b.Code == code) return &b;
  return nullptr;
}

int TlxDialogWnd::TitleHitTest(TPoint screen) {
  // The border window answers for the title it shows.
  if (FBorderForm != nullptr) return 0;
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  const int caption = ::CaptionHeight(f, sm, false);
  if (caption == 0) return 0;
  const TPoint p{screen.X - f.WindowOrigin.X, screen.Y - f.WindowOrigin.Y};
  const int frame = FrameBorderWidth(f, sm, false);
  if (p.Y < 0 || p.Y >= frame + caption) return 0;
  const TRect icon = IconRect(f, sm);
  if (!icon.IsEmpty() && p.X >= icon.Left && p.X < icon.Right) return htcSysMenu;
  if (FButtons[0].Rect.IsEmpty()) PlaceButtons(SkinData() != nullptr ? SkinData()->CacheBitmap() : nullptr);
  const std::vector<TlxDialogButton> shown = DialogTitleButtons(DialogState());
  for (size_t slot = 0; slot < shown.size(); ++slot) {
    const TButton* b = Button(shown[slot].Code);
    if (b != nullptr && p.X >= b->Rect.Left && p.X < b->Rect.Right && p.Y >= b->Rect.Top && p.Y < b->Rect.Bottom) return DialogSlotHitCode(DialogState(), static_cast<int>(slot) + 1);
  }
  return 0;
}

void TlxDialogWnd::SetHotButton(int code, bool repaint) {
  if (code == htcCaption || code == htcSysMenu) code = 0;
  if (code == FHotCode) return;
  const int old = FHotCode;
  FHotCode = code;
  if (!repaint) return;
  if (SkinData() != nullptr) SkinData()->BGChanged = 1;
  PaintNonClient();
  if (!AnimatesHover() || FPressedCode != 0) return;
  // The hover fades: out on the button left, in on the one entered.
  if (const TButton* b = Button(old); b != nullptr && b->State >= 0) FAnimations.Start(this, old, 0);
  if (const TButton* b = Button(code); b != nullptr && b->State >= 0) FAnimations.Start(this, code, 1);
}

bool TlxDialogWnd::AnimatesHover() const {
  TsSkinManager* m = SkinManager();
  if (m == nullptr || FMoving || !LayeredWindowsAvailable()) return false;
  return FBorderForm != nullptr || (m->Effects() != nullptr && m->Effects()->GetAllowGlowing());
}

bool TlxDialogWnd::EffectButton(int hitCode, TsSkinProvider::TsTitleButtonState& face) const {
  const TButton* b = Button(hitCode);
  if (b == nullptr || b->State < 0 || b->Rect.IsEmpty()) return false;
  face.State = b->State;
  face.MaskIndex = hitCode == htcMaxButton && IsZoomed(Handle()) && FRestoreMask >= 0 ? FRestoreMask : b->MaskIndex;
  face.Rect = b->Rect;
  face.HitCode = hitCode;
  face.Enabled = b->Enabled;
  face.MaskKey = b->Key.c_str();
  return true;
}

void TlxDialogWnd::RefreshSysMenu() {
  if (FSystemMenu) FSystemMenu->UpdateItems();
}

void TlxDialogWnd::OpenSystemMenu(TPoint screen) {
  if (!FSystemMenu) return;
  SetHotButton(0, true);
  RefreshSysMenu();
  FSystemMenu->Popup(screen.X, screen.Y);
}

void TlxDialogWnd::StopButtonAnimations() { FAnimations.Clear(); }

void TlxDialogWnd::StopWork() {
  StopButtonAnimations();
  FPressedCode = 0;
  FHotCode = 0;
  if (FMoveTimer) FMoveTimer->SetEnabled(false);
}

TBitmap* TlxDialogWnd::EffectFrameCache() const { return SkinData() != nullptr ? SkinData()->CacheBitmap() : nullptr; }

void TlxDialogWnd::StartMoving() {
  TsSkinManager* m = SkinManager();
  const HWND h = Handle();
  if (FMoving || m == nullptr) return;
  const int target = m->AnimEffects()->BlendOnMoving()->BlendValue;
  FMoveTimer = std::make_unique<TlxMoveTimer>(static_cast<IlxEffectOwner*>(this), h, 255, target, DialogBlendStep(target));
  FWasLayered = (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  const HWND border = FBorderForm != nullptr ? FBorderForm->Handle() : nullptr;
  if (border != nullptr) {
    // The border window carries the dialog's whole image while it moves; the dialog stays
    // behind it, unseen, and follows at the end.
    State |= lxOwnerMoving;
    FBorderForm->UpdateExBorder(true, 255);
    FMoving = true;
    FBorderForm->Updating = true;
    SetWindowPos(h, border, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(h, 0, 0, LWA_ALPHA);
    FMoveTimer->SetEnabled(true);
    SendMessageA(border, WM_SYSCOMMAND, DragMove, 0);
  } else {
    FMoving = true;
    SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(h, 0, 255, LWA_ALPHA);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FMoveTimer->SetEnabled(true);
    SendMessageA(h, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  }
  StopMoving();
}

void TlxDialogWnd::StopMoving() {
  const HWND h = Handle();
  if (!FMoving) return;
  FMoving = false;
  if (FMoveTimer) FMoveTimer->SetEnabled(false);
  const HWND border = FBorderForm != nullptr ? FBorderForm->Handle() : nullptr;
  if (border != nullptr && IsWindow(h)) {
    // The dialog goes to its place inside the border window, opaque again, behind it.
    TBitmap* cache = EffectFrameCache();
    if (cache != nullptr && !cache->Empty()) ShowLayeredBitmap(border, cache->GetHandle(), 255);
    const TRect br = WindowRectOfWnd(border);
    SetWindowPos(h, border, br.Left + FBorderForm->FormLeftOffset(), br.Top + FBorderForm->PlacedTopOffset(), 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    if (!FWasLayered) SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    SetFocus(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FBorderForm->PlaceBehindOwner();
  } else if (IsWindow(h)) {
    if (!FWasLayered) SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    UpdateWindow(h);
    SetFocus(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  State &= ~lxOwnerMoving;
  FMoveTimer.reset();
  if (FBorderForm != nullptr) {
    FBorderForm->Updating = false;
    if (SkinData() != nullptr) SkinData()->BGChanged = 1;
    FBorderForm->UpdateExBorder(true, 255);
  }
}

// ---------------------------------------------------------------------------------------------
// Message handlers

bool TlxDialogWnd::NCLButtonDown(TMessage& message) {
  const HWND h = Handle();
  const int code = static_cast<int>(message.WParam);
  if (code == htcSysMenu) {
    const TsFormGeometry f = Geometry();
    const ISystemMetrics& sm = SystemMetrics();
    OpenSystemMenu(TPoint{f.WindowOrigin.X + FrameBorderWidth(f, sm, false),
                          f.WindowOrigin.Y + FrameBorderWidth(f, sm, false) + sm.Get(SM_CYSMICON)});
    return true;
  }
  TsSkinManager* m = SkinManager();
  if (code == htcCaption && m != nullptr && !IsIconic(h)) {
    const TlxBlendOnMoving* blend = m->AnimEffects()->BlendOnMoving();
    if (blend->Active && blend->BlendValue != 255) {
      if (SkinData() != nullptr) SkinData()->BGChanged = 1;
      FormActive = true;
      PaintFrameCache();
      StartMoving();
      return true;
    }
  }
  if (code == htcMinButton || code == htcMaxButton || code == htcClose || code == htcHelp) {
    FPressedCode = code;
    SetCapture(h);
    if (SkinData() != nullptr) SkinData()->BGChanged = 1;
    PaintNonClient();
    return true;
  }
  return false;
}

bool TlxDialogWnd::ButtonUp(TMessage& message) {
  const HWND h = Handle();
  if (FPressedCode == 0) {
    SetHotButton(0, true);
    return false;
  }
  const int pressed = FPressedCode;
  FPressedCode = 0;
  if (GetCapture() == h) ReleaseCapture();
  const int code = message.Msg == WM_NCLBUTTONUP ? static_cast<int>(message.WParam) : TitleHitTest(CursorPoint());
  if (SkinData() != nullptr) SkinData()->BGChanged = 1;
  PaintNonClient();
  if (code != pressed) return true;
  const TlxDialogState s = DialogState();
  switch (code) {
    case htcMinButton:
      SendMessageA(h, WM_SYSCOMMAND, s.Iconic ? SC_RESTORE : SC_MINIMIZE, 0);
      break;
    case htcMaxButton:
      if (s.Zoomed || s.Iconic)
        SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
      else
        SendMessageA(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      RefreshSysMenu();
      break;
    case htcClose:
      SendMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      StopButtonAnimations();
      break;
    case htcHelp:
      SendMessageA(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      RefreshSysMenu();
      break;
    default:
      break;
  }
  message.Result = 0;
  return true;
}

void TlxDialogWnd::NCLButtonDblClk(TMessage& message) {
  const HWND h = Handle();
  const TlxDialogState s = DialogState();
  if (message.WParam == static_cast<WPARAM>(htcCaption) && (s.MaxPossible() || s.RestorePossible())) {
    SendMessageA(h, WM_SYSCOMMAND, s.Zoomed || s.Iconic ? SC_RESTORE : SC_MAXIMIZE, 0);
    RefreshSysMenu();
  } else if (message.WParam == static_cast<WPARAM>(htcSysMenu)) {
    SendMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    message.Result = CallOldProc(message);
  }
}

void TlxDialogWnd::EraseBackground(TMessage& message) {
  const HWND h = Handle();
  if (!FInitialized) {
    FInitialized = true;
    if (FProvider != nullptr) FProvider->SkinChildren(h);
  }
  PaintFrameCache();
  TBitmap* cache = SkinData() != nullptr ? SkinData()->CacheBitmap() : nullptr;
  const auto dc = reinterpret_cast<HDC>(message.WParam);
  RECT cr{};
  GetClientRect(h, &cr);
  if (cache != nullptr && !cache->Empty())
    BitBlt(dc, 0, 0, cr.right, cr.bottom, cache->Canvas()->GetHandle(), ClientOffsetX(), ClientOffsetY(), SRCCOPY);
  else
    FillRect(dc, &cr, DialogBrush());
  message.Result = 1;
}

bool TlxDialogWnd::Animated(bool showing) const {
  TsSkinManager* m = SkinManager();
  if (m == nullptr || !m->GetActive() || !LayeredWindowsAvailable()) return false;
  const TlxFormAnimation* a = showing ? static_cast<TlxFormAnimation*>(m->AnimEffects()->DialogShow())
                                      : static_cast<TlxFormAnimation*>(m->AnimEffects()->DialogHide());
  return a->Active && AnimStepCount(a->Time) > 0;
}

void TlxDialogWnd::Showing() {
  const HWND h = Handle();
  // A dialog may change its frame while it initialises (a file dialog becomes sizeable).
  if (DialogBorderKind(SavedStyle()) != BorderKind) {
    Prepare();
    if (SkinData() != nullptr) SkinData()->BGChanged = 1;
    FRegionChanged = true;
  }
  // The box places itself after its creation: the preset place is taken now.
  if (PresetPosition.X != -1 || PresetPosition.Y != -1) {
    SetWindowPos(h, nullptr, PresetPosition.X, PresetPosition.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    PresetPosition = TPoint{-1, -1};
  }
  if (!Animated(true)) return;
  if (FProvider != nullptr) FProvider->SkinChildren(h);
  // With extended borders the animation shows the frame the border window will show.
  PrepareBorderForm(SkinManager()->GetExtendedBorders());
  const TlxFormAnimation* show = SkinManager()->AnimEffects()->DialogShow();
  AnimShowDialog(this, show->Time, show->Mode, 255);
}

void TlxDialogWnd::InvalidateRightCorners() {
  TsSkinManager* m = SkinManager();
  TsCommonData* d = SkinData();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (d == nullptr || !SectionIndexInRange(t, d->SectionIndex())) return;
  const TsGeneralData& g = t->GeneralData[static_cast<size_t>(d->SectionIndex())];
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  // The images lie at the right-hand corners of the frame image; the client starts at the
  // client offsets in it.
  const int right = CacheWidth(f, sm) - f.ShadowRight - ClientOffsetX();
  const int top = f.ShadowTop - ClientOffsetY();
  const int bottom = FrameCacheHeight(f, sm, 0) - f.ShadowBottom - ClientOffsetY();
  const TPoint tr = MaskFrameSize(t, g.ImgTR), br = MaskFrameSize(t, g.ImgBR);
  if (tr.X > 0 && tr.Y > 0) {
    const RECT r{right - tr.X, top, right, top + tr.Y};
    InvalidateRect(Handle(), &r, TRUE);
  }
  if (br.X > 0 && br.Y > 0) {
    const RECT r{right - br.X, bottom - br.Y, right, bottom};
    InvalidateRect(Handle(), &r, TRUE);
  }
}

void TlxDialogWnd::SizeWithBorder(TMessage& message) {
  const HWND h = Handle();
  TsCommonData* d = SkinData();
  const TSize client{static_cast<int>(LOWORD(message.LParam)), static_cast<int>(HIWORD(message.LParam))};
  // The system keeps the pixels of a shrinking client: the corner images at its right edge
  // would stay where the edge was.
  if (client.cx < FLastClient.cx || client.cy < FLastClient.cy) InvalidateRightCorners();
  FLastClient = client;
  if (d != nullptr) {
    // The dialog lays its children out at the new size: no frame is shown at a size between.
    const std::uint8_t held = d->HoldPaint;
    d->HoldPaint = 1;
    TlxScrollWnd::HandleMessage(message);
    d->HoldPaint = held;
  } else {
    TlxScrollWnd::HandleMessage(message);
  }
  TsSkinManager* m = SkinManager();
  if (d == nullptr || m == nullptr || m->Tables() == nullptr || FBorderForm == nullptr || FDestroyed) return;
  // The frame image's size at the last WM_SIZE: the system may have had the frame painted at
  // the new size already (the cache follows every frame paint), before this message.
  const TSize before = FSizedFrame;
  const TSize after = FrameImageSize(Geometry());
  if (after.cx == before.cx && after.cy == before.cy) return;
  FSizedFrame = after;
  FRegionChanged = true;
  d->BGChanged = 1;
  // The frame image at the new size, the border window and the dialog's region with it.
  SendMessageA(h, WM_NCPAINT, 1, 0);
  const TsSkinTables* t = m->Tables();
  if (SectionIndexInRange(t, d->SectionIndex()) &&
      GradientFollowsExtent(t->GeneralData[static_cast<size_t>(d->SectionIndex())].Props[0], after.cx != before.cx,
                            after.cy != before.cy)) {
    // The children's background is a piece of the gradient, which moved under them.
    TMessage moved{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdParentMoved, 1), 0, 0};
    BroadcastToChildWindowsZ(h, moved);
  }
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Statics and check boxes without an adapter of their own stand on the dialog's skinned
// background (a brush of the frame cache, aligned to the child), in the section's text colour.
bool TlxDialogWnd::CtlColorStatic(TMessage& message) {
  TsSkinManager* m = SkinManager();
  TsCommonData* d = SkinData();
  if (m == nullptr || d == nullptr || !SectionIndexInRange(m->Tables(), d->SectionIndex())) return false;
  PaintFrameCache();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return false;
  if (!FChildBrush.Valid()) FChildBrush.Reset(CreatePatternBrush(cache->GetHandle()));
  if (!FChildBrush.Valid()) return false;
  const auto dc = reinterpret_cast<HDC>(message.WParam);
  const auto child = reinterpret_cast<HWND>(message.LParam);
  POINT origin{0, 0};
  ClientToScreen(child, &origin);
  const TRect wr = WindowRectOfWnd(Handle());
  SetBrushOrgEx(dc, wr.Left - origin.x, wr.Top - origin.y, nullptr);
  const TsGeneralData& section = m->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())];
  SetTextColor(dc, ColorToRGB(section.Props[0].FontColor[0]));
  SetBkMode(dc, TRANSPARENT);
  message.Result = reinterpret_cast<LRESULT>(FChildBrush.Get());
  return true;
}

void TlxDialogWnd::SkinCommand(TMessage& message) {
  const HWND h = Handle();
  TsCommonData* d = SkinData();
  switch (HIWORD(message.WParam)) {
    case SkinCmdSkinLoaded:
      if (IsFromOwnManager(message, d)) {
        FBrush.Reset();
        d->BGChanged = 1;
        FRegionChanged = true;
        Prepare();
        UpdateBorderForm(SkinManager()->GetExtendedBorders());
      }
      break;
    case SkinCmdUnskin:
      if (IsFromOwnManager(message, d)) {
        StopWork();
        FBorderForm.reset();
        GiveSysMenuBack();
        SetWindowRgn(h, nullptr, TRUE);
      }
      break;
    case SkinCmdRedrawSkin:
      if (IsFromOwnManager(message, d)) {
        d->ResolveSection();
        ResolveImages();
        FBrush.Reset();
        d->BGChanged = 1;
        FRegionChanged = true;
        UpdateBorderForm(SkinManager()->GetExtendedBorders());
        RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (FBorderForm != nullptr) FBorderForm->UpdateExBorder(true, 255);
        message.Result = 0;
        return;
      }
      break;
    case SkinCmdRepaintNow:
      if (FBorderForm != nullptr) FBorderForm->UpdateExBorder(true, 255);
      break;
    case SkinCmdHoldPaint:
      // Painting held: what shows may be outdated by the time it is released.
      if (LOWORD(message.WParam) == 1 && d != nullptr) d->BGChanged = 1;
      break;
    case SkinCmdQueryBackground:
      // Children ask in client coordinates; the frame cache holds the whole window.
      if (message.LParam != 0 && d != nullptr) {
        auto& request = *reinterpret_cast<TsBackgroundRequest*>(message.LParam);
        PaintFrameCache();
        request.OffsetX += ClientOffsetX();
        request.OffsetY += ClientOffsetY();
        d->ProvideBackground(request, 0, h);
      }
      return;
    case SkinCmdQueryClientOffset:
      message.Result = static_cast<LRESULT>(MAKELONG(ClientOffsetX(), ClientOffsetY()));
      return;
    case SkinCmdSkinChildren:
      if (FProvider != nullptr) FProvider->SkinChildren(h);
      break;
    default:
      break;
  }
  TlxScrollWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// Window procedure

void TlxDialogWnd::HandleMessage(TMessage& message) {
  struct TDepth {
    int& D;
    explicit TDepth(int& d) : D(d) { ++D; }
    ~TDepth() { --D; }
  } depth(FDepth);
  const HWND h = Handle();
  if (message.Msg == WM_SKINCOMMAND) {
    SkinCommand(message);
    return;
  }
  switch (message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      FDestroyed = true;
      StopWork();
      FBorderForm.reset();
      TlxScrollWnd::HandleMessage(message);
      return;
    case WM_SETFOCUS:
      TlxScrollWnd::HandleMessage(message);
      if (const HWND active = GetActiveWindow(); active != nullptr)
        RedrawWindow(active, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      return;
    case WM_WINDOWPOSCHANGED: {
      TlxScrollWnd::HandleMessage(message);
      if (message.LParam == 0) return;
      const UINT flags = reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags;
      // Shown, the dialog takes its border window; hidden, it drops it; else the border
      // window follows it.
      if (FBorderForm == nullptr) {
        if ((flags & SWP_SHOWWINDOW) != 0 && SkinManager() != nullptr) UpdateBorderForm(SkinManager()->GetExtendedBorders());
      } else if ((flags & SWP_HIDEWINDOW) != 0) {
        FBorderForm.reset();
      } else if (!FBorderForm->Updating && (State & lxOwnerMoving) == 0) {
        FBorderForm->UpdateExBorder(false, 255);
      }
      return;
    }
    case WM_MOUSEMOVE:
      // The mouse is over the content: the manager's hover tracking starts afresh.
      if (IsWindowEnabled(h)) TsSkinManager::ForgetHoverWindow(h);
      break;
    case ChildrenChanged:
    case ChildrenRecreated:
      TlxScrollWnd::HandleMessage(message);
      if (FProvider != nullptr) FProvider->SkinChildren(h);
      if (message.Msg == ChildrenRecreated) RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return;
    case WM_NCPAINT:
      if (!IsWindowVisible(h)) break;
      PaintNonClient();
      message.Result = 0;
      return;
    case WM_NCACTIVATE:
      if (!IsWindowVisible(h)) break;
      SendMessageA(h, WM_SETREDRAW, FALSE, 0);
      message.Result = CallOldProc(message);
      SendMessageA(h, WM_SETREDRAW, TRUE, 0);
      FormActive = message.WParam != 0;
      if (SkinData() != nullptr) SkinData()->BGChanged = 1;
      PaintNonClient();
      return;
    case WM_SIZE:
      if (FBorderForm != nullptr) {
        SizeWithBorder(message);
        return;
      }
      TlxScrollWnd::HandleMessage(message);
      if (SkinData() != nullptr) SkinData()->BGChanged = 1;
      FRegionChanged = true;
      PaintNonClient();
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      TlxScrollWnd::HandleMessage(message);
      if (SkinData() != nullptr) SkinData()->BGChanged = 1;
      FRegionChanged = true;
      PaintNonClient();
      return;
    case WM_ERASEBKGND:
      EraseBackground(message);
      return;
    case WM_SHOWWINDOW:
      TlxScrollWnd::HandleMessage(message);
      if (message.WParam != 0) Showing();
      return;
    case WM_COMMAND:
      // Cancel and Yes close the box: its picture fades out while the window goes.
      if ((message.WParam == IDCANCEL || message.WParam == IDYES) && Animated(false)) AnimHideDialog(this);
      break;
    case WM_NCHITTEST: {
      const int code = TitleHitTest(PointOf(message.LParam));
      SetHotButton(code, true);
      if (code == 0) break;
      message.Result = code;
      return;
    }
    case WM_NCLBUTTONDOWN:
      // A press forwarded by the border window: its own answer says where it fell.
      if (message.WParam == static_cast<WPARAM>(-1) && FBorderForm != nullptr) {
        message.WParam = static_cast<WPARAM>(FBorderForm->HitTest(message));
        if (message.WParam == HTBORDER) break;
      }
      if (NCLButtonDown(message)) {
        message.Result = 0;
        return;
      }
      break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      if (ButtonUp(message)) return;
      break;
    case WM_NCLBUTTONDBLCLK:
      NCLButtonDblClk(message);
      return;
    case WM_NCRBUTTONDOWN:
      if (message.WParam == htcCaption || message.WParam == htcSysMenu) {
        message.Result = 0;
        return;
      }
      break;
    case WM_NCRBUTTONUP:
      if (message.WParam == static_cast<WPARAM>(-1) && FBorderForm != nullptr)
        message.WParam = static_cast<WPARAM>(FBorderForm->HitTest(message));
      if (message.WParam == htcCaption || message.WParam == htcSysMenu) {
        OpenSystemMenu(PointOf(message.LParam));
        message.Result = 0;
        return;
      }
      break;
    case WM_MOUSELEAVE:
      SetHotButton(0, true);
      break;
    case WM_GETDLGCODE:
      message.Result = 0;
      return;
    case WM_CTLCOLORDLG:
      message.Result = reinterpret_cast<LRESULT>(DialogBrush());
      return;
    case WM_CTLCOLORSTATIC:
      if (CtlColorStatic(message)) return;
      break;
    case WM_SYSCOMMAND:
      TlxScrollWnd::HandleMessage(message);
      if ((message.WParam & 0xFFF0) == SC_MAXIMIZE || (message.WParam & 0xFFF0) == SC_RESTORE) SetHotButton(0, true);
      // A drag by the caption ended: the window and its border window where it was left.
      if (message.WParam == DragMove && IsWindow(h)) {
        UpdateWindow(h);
        if (FBorderForm != nullptr) FBorderForm->UpdateExBorder(true, 255);
      }
      return;
    default:
      break;
  }
  TlxScrollWnd::HandleMessage(message);
}
