// The extended-border window (see lxBorderForm.h).
#include "skin/forms/lxBorderForm.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "framework/win/WinTypes.h"
#include "skin/core/sFormMoves.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sAppWindowHook.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"

namespace {

constexpr DWORD BorderExStyle = 0x08080080;   // WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW

bool MaxWindowRuleOn = false;

bool ApplicationEnding() { return Application == nullptr || Application->Terminated(); }

// Clears a window's WS_VISIBLE bit for its life and sets it again on every way out, so that a
// shown window is never left counted as hidden.
class TVisibleBitCleared {
public:
  explicit TVisibleBitCleared(HWND wnd) : FWnd(wnd) {
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    FWasVisible = (style & WS_VISIBLE) != 0;
    if (FWasVisible) SetWindowLongA(wnd, GWL_STYLE, style & ~static_cast<LONG>(WS_VISIBLE));
  }
  ~TVisibleBitCleared() {
    if (FWasVisible && IsWindow(FWnd)) SetWindowLongA(FWnd, GWL_STYLE, GetWindowLongA(FWnd, GWL_STYLE) | WS_VISIBLE);
  }
  TVisibleBitCleared(const TVisibleBitCleared&) = delete;
  TVisibleBitCleared& operator=(const TVisibleBitCleared&) = delete;

private:
  HWND FWnd;
  bool FWasVisible = false;
};

// Clears a flag when it goes out of scope.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagScope() { FFlag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
};

TOwnedRegion RegionOf(const TlxBorderRegion& plan) {
  if (plan.None) return TOwnedRegion();
  TOwnedRegion rgn(CreateRectRgn(plan.Outer.Left, plan.Outer.Top, plan.Outer.Right, plan.Outer.Bottom));
  if (rgn && plan.HasHole) {
    TOwnedRegion hole(CreateRectRgn(plan.Hole.Left, plan.Hole.Top, plan.Hole.Right, plan.Hole.Bottom));
    if (hole) CombineRgn(rgn.Get(), rgn.Get(), hole.Get(), RGN_XOR);
  }
  return rgn;
}

}  // namespace

bool MaxWindowRule() { return MaxWindowRuleOn; }
void SetMaxWindowRule(bool on) { MaxWindowRuleOn = on; }

// ---------------------------------------------------------------------------------------------
// Life.

ORBEX_IMPLEMENT_CLASS(TlxBorderForm, TPersistent, nullptr)

TlxBorderForm::TlxBorderForm(std::unique_ptr<IlxBorderOwner> owner) : FOwner(std::move(owner)) { CreateWindow(); }

TlxBorderForm::~TlxBorderForm() {
  FOwner->StopButtonAnimations();
  FreeWindow();
}

HWND TlxBorderForm::Handle() const {
  return FBorderWindow != nullptr && FBorderWindow->HandleAllocated() ? FBorderWindow->Handle() : nullptr;
}

void TlxBorderForm::CreateWindow() {
  FBorderWindow = std::make_unique<TForm>(nullptr);
  TForm* f = FBorderWindow.get();
  f->SetTag(-98);   // the engine's own window: never skinned or adopted
  f->SetBorderStyle(bsNone);
  OldWndMethod = f->WindowProc;
  f->WindowProc = [this](TMessage& m) { BorderWndProc(m); };
  const HWND h = f->Handle();
  FRegionKnown = false;
  SetWindowLongA(h, GWL_EXSTYLE, static_cast<LONG>(BorderExStyle));
  const HWND owner = FOwner->OwnerHandle();
  OldParent = reinterpret_cast<HWND>(SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner)));
}

void TlxBorderForm::FreeWindow() {
  FRegionKnown = false;
  FUpload.reset();
  if (FBorderWindow == nullptr) return;
  // The window goes first: no message of its end reaches a half-gone object.
  std::unique_ptr<TForm> window = std::move(FBorderWindow);
  window->WindowProc = OldWndMethod;
  window.reset();
}

// ---------------------------------------------------------------------------------------------
// Geometry.

int TlxBorderForm::FormLeftOffset() const {
  const TlxOwnerFrame f = FOwner->Frame();
  return ::FormLeftOffset(f.ExtBorderWidth, FOwner->ShadowMargins().Left, f.PlainFrame);
}

int TlxBorderForm::FormTopOffset() const {
  const TlxOwnerFrame f = FOwner->Frame();
  return ::FormTopOffset(FOwner->ShadowMargins().Top, f.ExtTitleHeight, f.HasCaption, f.PlainFrame, f.CaptionHeight);
}

int TlxBorderForm::PlacedTopOffset() const {
  const TlxOwnerFrame f = FOwner->Frame();
  // A maximized form whose title is lower than its caption keeps the system caption: the form
  // lies higher, its frame above the window's region.
  if (Provider() != nullptr && f.Maximized && f.SysExtendedHeight) return FOwner->ShadowMargins().Top + f.ExtTitleExtra + 4;
  return FormTopOffset();
}

bool TlxBorderForm::RegionPlan(int width, int height, TlxBorderRegion& plan) const {
  const HWND h = Handle();
  if (h == nullptr) return false;
  const TlxOwnerFrame f = FOwner->Frame();
  RECT wr{};
  GetWindowRect(h, &wr);
  TlxBorderRegionInput in;
  in.Width = wr.right - wr.left;
  in.Height = wr.bottom - wr.top;
  in.Shadow = FOwner->ShadowMargins();
  in.Maximized = f.Maximized;
  in.PlainFrame = f.PlainFrame;
  in.ExtraWidth = f.ExtraWidth;
  in.Transient = (FOwner->OwnerState() & (lxOwnerMoving | lxOwnerMinimizing | lxOwnerSkinChanging | lxOwnerHiding)) != 0;
  if (!in.Transient) in.Content = FOwner->ContentRect(width, height);
  plan = MakeBorderRegionPlan(in);
  return true;
}

void TlxBorderForm::ResetRegion() {
  FRegionKnown = false;
  SetRegion(0, 0);
}

void TlxBorderForm::SetRegion(int width, int height) {
  TlxBorderRegion plan;
  if (!RegionPlan(width, height, plan) || (FRegionKnown && plan == FRegion)) return;
  TOwnedRegion rgn(RegionOf(plan));
  FRegionKnown = SetWindowRgn(Handle(), rgn.Get(), FALSE) != 0;
  if (!FRegionKnown) return;
  (void)rgn.Release();
  FRegion = plan;
}

bool TlxBorderForm::NextToOwner() const {
  const HWND owner = FOwner->OwnerHandle();
  const HWND h = Handle();
  if (owner == nullptr || h == nullptr) return false;
  // Put topmost for an animation, the window is the last topmost one just above a normal owner:
  // a neighbour, yet not in its place until it is placed beside the owner again.
  if (((GetWindowLongA(h, GWL_EXSTYLE) ^ GetWindowLongA(owner, GWL_EXSTYLE)) & WS_EX_TOPMOST) != 0) return false;
  return GetWindow(owner, GW_HWNDNEXT) == h || GetWindow(h, GW_HWNDNEXT) == owner;
}

void TlxBorderForm::RestoreRegion() {
  if (!RegionDirty) return;
  RegionDirty = false;
  const HWND owner = FOwner->OwnerHandle();
  if (owner != nullptr) SetRegion(WindowWidthOf(owner), WindowHeightOf(owner));
}

TPoint TlxBorderForm::WindowPoint(const TMessage& message) const {
  const TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) return p;   // client coordinates
  RECT wr{};
  GetWindowRect(Handle(), &wr);
  return TPoint{p.X - wr.left, p.Y - wr.top};
}

bool TlxBorderForm::PointInShadow(const TMessage& message) {
  RestoreRegion();
  const HWND h = Handle();
  TsCommonData* data = SkinData();
  TsSkinManager* m = data != nullptr ? data->GetSkinManager() : nullptr;
  if (ApplicationEnding() || data == nullptr || h == nullptr || m == nullptr || !m->GetActive()) return false;
  if (FOwner->Frame().Maximized) return false;
  const TPoint p = WindowPoint(message);
  if (!PointInShadowBand(p, WindowWidthOf(h), WindowHeightOf(h), FOwner->ShadowMargins())) return false;
  FOwner->SetHotButton(-1);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Hit testing.

int TlxBorderForm::HitTest(const TMessage& message) {
  TMessage ask = message;
  ask.Result = 0;
  if (FOwner->ExtHitTest(ask)) return static_cast<int>(ask.Result);
  const HWND owner = FOwner->OwnerHandle();
  const HWND h = Handle();
  if (owner == nullptr || h == nullptr || !IsWindowEnabled(owner)) return lxHitNone;
  RECT wr{};
  GetWindowRect(h, &wr);
  const TPoint p{GET_X_LPARAM(message.LParam) - wr.left, GET_Y_LPARAM(message.LParam) - wr.top};
  const TlxButtonsAt buttons = FOwner->ButtonAt(p);
  const int code = TitleButtonCode(buttons.Number, buttons.Flags);
  if (buttons.Number > 0 && code != lxHitNone) return code;
  const TlxOwnerFrame f = FOwner->Frame();
  TlxBorderHitInput in;
  in.Point = p;
  in.Width = wr.right - wr.left;
  in.Height = wr.bottom - wr.top;
  in.Shadow = FOwner->ShadowMargins();
  in.PlainFrame = f.PlainFrame;
  in.Maximized = f.Maximized;
  in.ThickFrame = f.ThickFrame;
  in.CaptionHeight = FOwner->CaptionHeight(true);
  in.MenuHeight = FOwner->MenuHeight();
  in.IconRect = FOwner->IconRect();
  in.HasGrip = FOwner->GripAt(in.GripCorner);
  return BorderFrameHitTest(in);
}

// ---------------------------------------------------------------------------------------------
// Update.

void TlxBorderForm::ApplyBlur(HWND wnd) {
  TsCommonData* data = SkinData();
  TsSkinManager* m = data != nullptr ? data->GetSkinManager() : nullptr;
  const bool blur = m != nullptr && m->Effects() != nullptr && m->Effects()->AllowAeroBluring && m->Tables() != nullptr &&
                    m->SkinData().UseAeroBluring;
  TBitmap* cache = data != nullptr ? data->CacheBitmap() : nullptr;
  if (!blur || cache == nullptr || cache->Empty()) {
    EnableBlurBehind(wnd, false, nullptr);
    return;
  }
  const TlxBlurPlan plan = MakeBlurPlan(BitmapPixels(cache), FOwner->ShadowMargins(), FOwner->Frame().CornerSide);
  TOwnedRegion rgn(CreateRectRgn(plan.Rect.Left, plan.Rect.Top, plan.Rect.Right, plan.Rect.Bottom));
  for (const TRect& r : plan.Removed) {
    TOwnedRegion px(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    if (rgn && px) CombineRgn(rgn.Get(), rgn.Get(), px.Get(), RGN_DIFF);
  }
  EnableBlurBehind(wnd, true, rgn.Get());
}

void TlxBorderForm::UpdateExBorder(bool repaint, int alpha) {
  // 1. Nothing to show now.
  if (ApplicationEnding() || Updating) return;
  const HWND owner = FOwner->OwnerHandle();
  RECT ownerRect{};
  if (owner == nullptr || !GetWindowRect(owner, &ownerRect)) return;
  TsCommonData* data = SkinData();
  if (data == nullptr || data->PrintDC() != nullptr) return;
  // 2. The window is made again after it was freed for a hidden form.
  if (Handle() == nullptr) CreateWindow();
  // 3. The owner's state and the place in the Z order.
  const std::uint32_t state = FOwner->OwnerState();
  HWND after = owner;
  if (FOwner->PaintingHeld()) return;
  if (Provider() != nullptr) {
    if (FOwner->Destroying()) {
      // Frees this object: nothing of it may be touched afterwards.
      FOwner->ReleaseBorder();
      return;
    }
    if (!IsWindowVisible(owner) && (state & ~lxOwnerActivating) == 0) {
      FreeWindow();
      data->BGChanged = 1;
      return;
    }
  } else if (!IsWindowVisible(owner)) {
    return;
  }
  const TFlagScope updating(Updating);
  if ((GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
    if (GetActiveWindow() == owner) SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = HWND_TOPMOST;
  }
  // 4. The image: the whole form while it moves or animates, else the frame when it changed.
  if ((state & (lxOwnerMoving | lxOwnerMinimizing | lxOwnerSkinChanging)) != 0) {
    if (data->BGChanged != 0) {
      FOwner->RepaintOwner();
      repaint = true;
    }
    FOwner->RenderWholeImage();
  } else if (data->BGChanged != 0) {
    FOwner->RepaintOwner();
    repaint = true;
  }
  TBitmap* cache = data->CacheBitmap();
  const HWND h = Handle();
  if (cache == nullptr || cache->Empty() || h == nullptr) return;
  // 5. Where the owner lies inside the window.
  const int x = FormLeftOffset();
  const int y = PlacedTopOffset();
  // 6. Behind the owner, or behind the window above it while iconic or sizing.
  if (after == owner && (IsIconic(owner) || (state & lxOwnerSizing) != 0)) {
    const HWND above = GetWindow(owner, GW_HWNDPREV);
    if (above != nullptr && above != h) after = above;
  }
  // 7. Flags.
  const SIZE cacheSize{cache->GetWidth(), cache->GetHeight()};
  const bool sizeDiffers = WindowWidthOf(h) != cacheSize.cx || WindowHeightOf(h) != cacheSize.cy;
  const bool upload = repaint || sizeDiffers;
  UINT flags = SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
  if ((state & lxOwnerSizing) != 0) flags |= SWP_NOZORDER;
  if (!upload) flags |= SWP_NOSIZE;
  if (!repaint) flags |= SWP_NOREDRAW;
  // 8. Target position.
  POINT target{ownerRect.left - x, ownerRect.top - y};
  // 9. Upload.
  if (LayeredWindowsAvailable() && UpdateLayeredWindowProc != nullptr && upload && !RegionBusy) {
    const BYTE constant = static_cast<BYTE>(std::clamp(FOwner->AlphaValue(alpha), 0, 255));
    if (sizeDiffers)
      SetWindowPos(h, nullptr, 0, 0, cacheSize.cx, cacheSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    ApplyBlur(h);
    const bool moving = (state & lxOwnerMoving) != 0;
    const int ownerW = ownerRect.right - ownerRect.left, ownerH = ownerRect.bottom - ownerRect.top;
    if (moving) SetRegion(ownerW, ownerH);
    {
      const TWindowDC screen(nullptr);
      POINT origin{0, 0};
      SIZE size = cacheSize;
      BLENDFUNCTION blend{AC_SRC_OVER, 0, constant, AC_SRC_ALPHA};
      UpdateLayeredWindowProc(h, screen.Get(), &target, &size, UploadSource(cache, ownerW, ownerH), &origin, 0x1FFFFFFF,
                              &blend, ULW_ALPHA);
    }
    if (!moving) SetRegion(ownerW, ownerH);
    if (IsWindowVisible(h)) {
      // Already in its place next to the owner: the Z order is left as it is.
      if (after != owner || !NextToOwner()) SetWindowPos(h, after, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
    } else {
      const UINT show = SWP_NOOWNERZORDER | SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
      if (alpha == 0) {
        const TVisibleBitCleared hidden(owner);
        SetWindowPos(h, after, 0, 0, 0, 0, show);
      } else {
        SetWindowPos(h, after, 0, 0, 0, 0, show);
      }
    }
  } else {
    // 10. Only moved.
    SetWindowPos(h, after, target.x, target.y, 0, 0, flags | SWP_NOSIZE);
  }
  if (after == owner && (state & lxOwnerSizing) == 0) PlaceBehindOwner();
}

HDC TlxBorderForm::UploadSource(TBitmap* cache, int ownerWidth, int ownerHeight) {
  TlxBorderRegion plan;
  if (!RegionPlan(ownerWidth, ownerHeight, plan) || !plan.HasHole || plan.Hole.IsEmpty()) return cache->Canvas()->GetHandle();
  // Without a compositor the system may shape a layered window by its alpha alone and not by
  // its region: the owner's content hole must then be clear in the image too, or the cache's
  // plain fill there covers the owner's client. The cache itself stays as it is, for the
  // owner paints its own frame from it.
  if (FUpload == nullptr || FUpload->GetWidth() != cache->GetWidth() || FUpload->GetHeight() != cache->GetHeight())
    FUpload = CreateBitmap32(cache->GetWidth(), cache->GetHeight());
  const TlxPixelBuffer from = BitmapPixels(cache), to = BitmapPixels(FUpload.get());
  if (from.Empty() || to.Empty() || from.BytesPerPixel != 4) return cache->Canvas()->GetHandle();
  for (int y = 0; y < to.Height; ++y) std::memcpy(to.Row(y), from.Row(y), static_cast<std::size_t>(to.Width) * 4);
  const TRect hole = ClipRectTo(plan.Hole, to);
  for (int y = hole.Top; y < hole.Bottom; ++y) FillDWords(to.At(hole.Left, y), hole.Width(), 0);
  return FUpload->Canvas()->GetHandle();
}

void TlxBorderForm::PlaceBehindOwner() {
  const HWND owner = FOwner->OwnerHandle();
  const HWND h = Handle();
  if (owner == nullptr || h == nullptr || NextToOwner()) return;
  if ((GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
    // Put topmost for an animation, the window leaves the topmost band first. Every place asked
    // for an owned window lying just above its owner is turned into the one it has, topmost
    // still: it leaves the band unowned for the moment.
    const LONG_PTR ownedBy = SetWindowLongPtrA(h, GWLP_HWNDPARENT, 0);
    SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    SetWindowLongPtrA(h, GWLP_HWNDPARENT, ownedBy);
  }
  // The system keeps an owned window above its owner: asked for the place behind it, the
  // window lands directly above it, where its region's hole shows the owner's content.
  SetWindowPos(h, owner, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TlxBorderForm::KeepWithStayOnTopOwner() {
  TsSkinProvider* p = Provider();
  const HWND owner = FOwner->OwnerHandle();
  const HWND h = Handle();
  if (p == nullptr || Updating || FOwner->Destroying() || owner == nullptr || h == nullptr) return;
  if ((GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) return;
  // Under composition the active main form's frame stays above every other topmost window;
  // otherwise it goes back next to its form (placing it there again changes nothing).
  TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
  if (AeroIsActive() && main != nullptr && main == p->Form() && GetActiveWindow() == owner) {
    const TFlagScope placing(Updating);
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  } else {
    PlaceBehindOwner();
  }
}

// ---------------------------------------------------------------------------------------------
// Window method.

void TlxBorderForm::DefaultHandling(TMessage& message) {
  if (OldWndMethod) OldWndMethod(message);
}

void TlxBorderForm::ForwardToOwner(UINT msg, WPARAM wParam, LPARAM lParam) {
  const HWND owner = FOwner->OwnerHandle();
  if (owner != nullptr) SendMessageA(owner, msg, wParam, lParam);
}

void TlxBorderForm::SetCursorFor(TMessage& message) {
  POINT pt{};
  GetCursorPos(&pt);
  TMessage at{WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y), 0};
  if (PointInShadow(at)) {
    DefaultHandling(message);
    return;
  }
  LPCSTR cursor = nullptr;
  switch (HitTest(at)) {
    case lxHitCaption:
    case lxHitMenu: cursor = IDC_ARROW; break;
    case lxHitLeft:
    case lxHitRight: cursor = IDC_SIZEWE; break;
    case lxHitTop:
    case lxHitBottom: cursor = IDC_SIZENS; break;
    case lxHitTopLeft:
    case lxHitBottomRight: cursor = IDC_SIZENWSE; break;
    case lxHitTopRight:
    case lxHitBottomLeft: cursor = IDC_SIZENESW; break;
    default: DefaultHandling(message); return;
  }
  SetCursor(LoadCursorA(nullptr, cursor));
  message.Result = 1;
}

void TlxBorderForm::CutPixelUnderCursor(const TMessage& message) {
  const HWND h = Handle();
  if (h == nullptr) return;
  const TFlagScope busy(RegionBusy);
  const TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  if (!rgn) return;
  if (GetWindowRgn(h, rgn.Get()) == ERROR) {
    rgn.Reset(CreateRectRgn(0, 0, WindowWidthOf(h), WindowHeightOf(h)));
    if (!rgn) return;
  }
  TOwnedRegion pixel(CreateRectRgn(p.X, p.Y, p.X + 1, p.Y + 1));
  if (!pixel) return;
  CombineRgn(rgn.Get(), rgn.Get(), pixel.Get(), RGN_XOR);
  if (FOwner->Destroying()) return;
  FRegionKnown = false;
  if (SetWindowRgn(h, rgn.Get(), FALSE) != 0) (void)rgn.Release();
  RegionDirty = true;
}

void TlxBorderForm::SnapWhileMoving(TMessage& message) {
  int buffer = 0;
  if (message.LParam == 0 || (FOwner->OwnerState() & lxOwnerMoving) == 0 || !FOwner->ScreenSnap(buffer)) return;
  auto& pos = *reinterpret_cast<WINDOWPOS*>(message.LParam);
  const TlxOwnerFrame f = FOwner->Frame();
  if (f.Maximized || (pos.flags & SWP_NOMOVE) != 0) return;
  const TRect shadow = FOwner->ShadowMargins();
  const HWND h = Handle();
  TsSnapInput in;
  in.WorkArea = FOwner->WorkArea();
  in.X = pos.x;
  in.Y = pos.y;
  in.Width = (pos.flags & SWP_NOSIZE) != 0 ? WindowWidthOf(h) : pos.cx;
  in.Height = (pos.flags & SWP_NOSIZE) != 0 ? WindowHeightOf(h) : pos.cy;
  in.Buffer = buffer;
  // The visible frame starts inside the shadow; the skin's align offset lets the shadow reach
  // that far over the edge.
  in.BorderOffset = f.AlignOffset - shadow.Left;
  in.TopOffset = shadow.Top - f.AlignOffset;
  const TPoint snapped = SnapPosition(in);
  pos.x = snapped.X;
  pos.y = snapped.Y;
}

void TlxBorderForm::DoubleClick(TMessage& message) {
  const HWND owner = FOwner->OwnerHandle();
  if (owner == nullptr) return;
  const bool provider = Provider() != nullptr;
  if (provider) FOwner->EndPendingDrag();
  const int code = HitTest(message);
  const TlxOwnerFrame f = FOwner->Frame();
  switch (code) {
    case lxHitCaption:
    case lxHitSysMenu:
      // The owner's own double click: on the caption it maximizes or restores and refreshes
      // its system menu; on the icon it closes, and the icon's first click, which waits for a
      // second one before it opens the system menu, stops waiting. A restore frees this object
      // with its window (the owner makes both anew): nothing of it is touched once the owner
      // has the message.
      ForwardToOwner(WM_NCLBUTTONDBLCLK, static_cast<WPARAM>(code), message.LParam);
      return;
    default: break;
  }
  if (!provider || !f.ThickFrame || f.Maximized) return;
  RECT wr{};
  GetWindowRect(owner, &wr);
  const TRect work = FOwner->WorkArea();
  // The owner forgets its stretch at any other move or size (its WM_WINDOWPOSCHANGING clears
  // the bits): they are set again once this one has moved it.
  constexpr std::uint32_t stretchBits = lxOwnerStretchedVertically | lxOwnerStretchedHorizontally;
  const std::uint32_t stretched = FOwner->OwnerState() & stretchBits;
  const auto place = [&](std::uint32_t bits, int x, int y, int width, int height) {
    SetWindowPos(owner, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    FOwner->SetOwnerState((FOwner->OwnerState() & ~stretchBits) | bits);
  };
  TRect saved = FOwner->StretchedBounds();
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (code == lxHitLeft || code == lxHitRight) {
    if ((stretched & lxOwnerStretchedHorizontally) != 0) {
      place(stretched & ~lxOwnerStretchedHorizontally, saved.Left, wr.top, saved.Width(), h);
      return;
    }
    saved.Left = wr.left;
    saved.Right = wr.right;
    FOwner->SetStretchedBounds(saved);
    place(stretched | lxOwnerStretchedHorizontally, work.Left + f.ExtraWidth, wr.top, work.Width() - 2 * f.ExtraWidth, h);
  } else if (code == lxHitTop || code == lxHitBottom) {
    if ((stretched & lxOwnerStretchedVertically) != 0) {
      place(stretched & ~lxOwnerStretchedVertically, wr.left, saved.Top, w, saved.Height());
      return;
    }
    saved.Top = wr.top;
    saved.Bottom = wr.bottom;
    FOwner->SetStretchedBounds(saved);
    place(stretched | lxOwnerStretchedVertically, wr.left, work.Top + f.ExtTitleExtra, w,
          work.Height() - f.ExtTitleExtra - f.ExtraWidth);
  }
}

bool TlxBorderForm::HidesAnimated(TMessage& message) {
  TsSkinProvider* p = Provider();
  if (p == nullptr || !LayeredWindowsAvailable() || !p->DrawNonClientArea() || AnimationInProgress) return false;
  if (message.WParam != 0 || (message.LParam != 0 && message.LParam != SW_PARENTCLOSING)) return false;
  const std::uint32_t state = FOwner->OwnerState();
  if ((state & lxOwnerMinimizing) != 0) {
    message.Result = 0;
    return true;
  }
  if ((state & lxOwnerHiding) != 0) return true;
  TsSkinManager* m = p->SkinManager();
  const TlxFormAnimation* hide = m != nullptr ? m->AnimEffects()->FormHide() : nullptr;
  if (!p->AllowAnimation || hide == nullptr || !hide->Active || hide->Time == 0 || AppShowState() == ssMinimizing)
    return false;
  // The window stays and shows the whole form, the face the hide animation fades out.
  FOwner->SetOwnerState(state | lxOwnerHiding);
  FOwner->RenderWholeImage();
  Updating = true;
  TBitmap* cache = SkinData() != nullptr ? SkinData()->CacheBitmap() : nullptr;
  const HWND h = Handle();
  if (h == nullptr || cache == nullptr || cache->Empty() || UpdateLayeredWindowProc == nullptr) return true;
  {
    const TWindowDC screen(nullptr);
    POINT origin{0, 0};
    SIZE size{cache->GetWidth(), cache->GetHeight()};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(FOwner->AlphaValue(255), 0, 255)), AC_SRC_ALPHA};
    UpdateLayeredWindowProc(h, screen.Get(), nullptr, &size, cache->Canvas()->GetHandle(), &origin, 0x1FFFFFFF, &blend,
                            ULW_ALPHA);
  }
  SetRegion(0, 0);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return true;
}

void TlxBorderForm::BorderWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT: message.Result = 1; return;
    case WM_SHOWWINDOW:
      if (HidesAnimated(message)) return;
      break;
    case WM_SETCURSOR: SetCursorFor(message); return;
    case WM_MOUSEACTIVATE: {
      message.Result = MA_NOACTIVATE;
      const HWND owner = FOwner->OwnerHandle();
      if (owner != nullptr && IsWindowEnabled(owner)) SetForegroundWindow(owner);
      return;
    }
    case WM_WINDOWPOSCHANGING:
      SnapWhileMoving(message);
      break;
    case WM_WINDOWPOSCHANGED:
      FOwner->StopButtonAnimations();
      DefaultHandling(message);
      KeepWithStayOnTopOwner();
      return;
    case WM_NCHITTEST:
      if (PointInShadow(message)) break;
      DefaultHandling(message);
      message.Result = HTBORDER;
      return;
    case WM_NCMOUSEMOVE: {
      const int code = HitTest(message);
      message.Result = code;
      const bool button = code == lxHitMinButton || code == lxHitMaxButton || code == lxHitClose || code == lxHitHelp ||
                          (code >= lxHitUserButton && code <= lxHitUserButton + 100);
      FOwner->SetHotButton(button ? code : -1);
      return;
    }
    case WM_NCLBUTTONDOWN: {
      if (PointInShadow(message)) return;
      Updating = false;
      const int code = HitTest(message);
      ForwardToOwner(WM_NCLBUTTONDOWN, code == lxHitSysMenu ? HTSYSMENU : static_cast<WPARAM>(-1), message.LParam);
      return;
    }
    case WM_NCLBUTTONUP:
      if (PointInShadow(message)) return;
      ForwardToOwner(WM_NCLBUTTONUP, static_cast<WPARAM>(-1), message.LParam);
      return;
    case WM_NCLBUTTONDBLCLK: DoubleClick(message); return;
    case WM_NCRBUTTONDOWN:
      if (PointInShadow(message)) return;
      ForwardToOwner(WM_NCRBUTTONDOWN, static_cast<WPARAM>(HitTest(message)), message.LParam);
      return;
    case WM_NCRBUTTONUP:
      if (PointInShadow(message)) return;
      ForwardToOwner(WM_NCRBUTTONUP, static_cast<WPARAM>(-1), message.LParam);
      return;
    default:
      if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && PointInShadow(message)) {
        CutPixelUnderCursor(message);
        return;
      }
      break;
  }
  DefaultHandling(message);
}
