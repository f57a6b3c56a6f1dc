// The hint window and the application's hint logic: THintWindow (measuring, painting and
// showing the pop-up without activation, kept inside the work area), the "short|long" helpers,
// and TApplication's hint members (declared in Forms.h): the pause before a hint shows, the
// shorter pause while hints are already showing, the hide pause, CM_HINTSHOW, Application->Hint
// with OnHint, and cancelling on leave, click, key press and deactivation.
//
// Owns nothing process-wide: the application owns its hint window and its one hint timer (a
// timer of the application window, id kHintTimerId).
//
// Sections: helpers; THintWindow; TApplication hints.
#include "framework/win/HintWindow.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#include "framework/win/Forms.h"

ORBEX_IMPLEMENT_CLASS(THintWindow, TCustomControl, &CreateComponentOf<THintWindow>)

// =============================================================================================
// Helpers.
namespace {

constexpr DWORD kHintStyle = WS_POPUP | WS_BORDER;
constexpr DWORD kHintExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
// Space between the border and the text, pixels.
constexpr int kPadX = 2;
constexpr int kPadY = 1;
// The application window's timer that drives hints (show, hide, end of the quick-hint mode).
constexpr UINT_PTR kHintTimerId = 0x4854;

// The work area of the monitor nearest to a screen rectangle.
TRect WorkAreaOf(const TRect& r) {
  RECT rc = ToRECT(r);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR mon = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
  if (mon != nullptr && ::GetMonitorInfoA(mon, &mi)) return ToTRect(mi.rcWork);
  RECT work{};
  if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return ToTRect(work);
  return TRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

// Moves r inside `area` keeping its size; a rectangle larger than the area keeps its top left
// corner in it.
TRect MoveInside(TRect r, const TRect& area) {
  int dx = 0, dy = 0;
  if (r.Right > area.Right) dx = area.Right - r.Right;
  if (r.Left + dx < area.Left) dx = area.Left - r.Left;
  if (r.Bottom > area.Bottom) dy = area.Bottom - r.Bottom;
  if (r.Top + dy < area.Top) dy = area.Top - r.Top;
  return Bounds(r.Left + dx, r.Top + dy, r.Width(), r.Height());
}

// The system's status font (what tool tips use); the font keeps its own when it cannot be read.
void ApplyStatusFont(TFont* font) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof(ncm);
  BOOL ok = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
#if WINVER >= 0x0600
  if (!ok) {
    // Systems before Vista refuse the structure with iPaddedBorderWidth.
    ncm.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    ok = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
  }
#endif
  if (!ok) return;
  const LOGFONTA& lf = ncm.lfStatusFont;
  font->SetName(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof(lf.lfFaceName))));
  font->SetHeight(lf.lfHeight);
  font->SetCharset(lf.lfCharSet);
  font->SetStyle(static_cast<TFontStyles>((lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0)));
}

// How far below the cursor's hot spot its image ends, pixels: the hint goes there, so that the
// cursor does not cover it.
int CursorHeightMargin() {
  int margin = ::GetSystemMetrics(SM_CYCURSOR);
  HCURSOR cur = ::GetCursor();
  ICONINFO ii{};
  if (cur == nullptr || !::GetIconInfo(cur, &ii)) return margin;
  // GetIconInfo hands us copies of the cursor's bitmaps.
  TOwnedBitmap mask(ii.hbmMask);
  TOwnedBitmap color(ii.hbmColor);
  BITMAP bm{};
  if (mask.Valid() && ::GetObjectA(mask.Get(), sizeof(bm), &bm) != 0) {
    // A monochrome cursor stacks its AND and XOR masks in one bitmap of twice the height.
    const int height = color.Valid() ? bm.bmHeight : bm.bmHeight / 2;
    margin = std::max(0, height - static_cast<int>(ii.yHotspot));
  }
  return margin;
}

// Hints show for a control whose ShowHint is on, or, while it follows its parent's
// (ParentShowHint), for the nearest parent that decides.
bool HintShownFor(const TControl* c) {
  while (c->ParentShowHint() && c->Parent() != nullptr) c = c->Parent();
  return c->ShowHint();
}

}  // namespace

std::string GetShortHint(const std::string& Hint) {
  const size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
  const size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

// =============================================================================================
// THintWindow
THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FParentColor = false;
  FColor = clInfoBk;
  FBrush->SetColor(FColor);
  FControlStyle |= csOpaque;
  ApplyStatusFont(FFont.get());
  FFont->SetColor(clInfoText);
  FParentFont = false;
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  // Never created visible: ActivateHint shows it without activation.
  Params.Style = kHintStyle;
  Params.ExStyle = kHintExStyle;
  // Owned by the application window: no taskbar button, gone with the application.
  Params.WndParent = Application != nullptr ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::DrawHintText(HDC DC, RECT& Rect, const std::string& AHint, UINT Flags) {
  TSaveDC saved(DC);
  ::SelectObject(DC, FFont->GetHandle());
  ::SetBkMode(DC, TRANSPARENT);
  ::SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
  const int n = static_cast<int>(std::min<size_t>(AHint.size(), INT_MAX));
  ::DrawTextA(DC, AHint.data(), n, &Rect, Flags | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
  RECT r{0, 0, std::max(MaxWidth, 1), 0};
  {
    TWindowDC dc(nullptr);
    if (dc.Valid()) DrawHintText(dc.Get(), r, AHint, DT_CALCRECT);
  }
  RECT frame{0, 0, (r.right - r.left) + 2 * kPadX, (r.bottom - r.top) + 2 * kPadY};
  ::AdjustWindowRectEx(&frame, kHintStyle, FALSE, kHintExStyle);
  return TRect{0, 0, frame.right - frame.left, frame.bottom - frame.top};
}

void THintWindow::PlaceHint(TRect Rect, const std::string& AHint) {
  Rect = MoveInside(Rect, WorkAreaOf(Rect));
  SetText(AHint);
  HandleNeeded();
  SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  ::SetWindowPos(FHandle, HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), SWP_NOACTIVATE);
}

void THintWindow::ActivateHintFading(TRect Rect, const std::string& AHint, DWORD Time) {
  PlaceHint(Rect, AHint);
  if (::AnimateWindow(FHandle, Time, AW_BLEND) == FALSE) ::ShowWindow(FHandle, SW_SHOWNOACTIVATE);
  FVisible = true;
  FShowing = true;
  Invalidate();
  Update();
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
  PlaceHint(Rect, AHint);
  ::ShowWindow(FHandle, SW_SHOWNOACTIVATE);
  FVisible = true;
  FShowing = true;
  Invalidate();
  Update();
}

void THintWindow::ReleaseHandle() {
  DestroyHandle();
  FVisible = false;
}

bool THintWindow::Active() const { return FHandle != nullptr && ::IsWindowVisible(FHandle); }

void THintWindow::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(FColor);
  canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
  canvas->FillRect(ClientRect());
  RECT r = ToRECT(ClientRect());
  ::InflateRect(&r, -kPadX, -kPadY);
  DrawHintText(canvas->GetHandle(), r, GetText(), 0);
}

void THintWindow::WndProc(TMessage& Message) {
  // The hint is never the control under the mouse: that would hide the hint it shows.
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    TControl::WndProc(Message);
    return;
  }
  TCustomControl::WndProc(Message);
}

void THintWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST: Message.Result = HTTRANSPARENT; break;
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; break;
    default: TCustomControl::Dispatch(Message); break;
  }
}

// =============================================================================================
// TApplication: hints.
void TApplication::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (!OnHint) return;
  try {
    OnHint(this);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::HideHintWindow() {
  if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::StopHintTimer() {
  FHintTimer.Reset();
  FHintTimerKind = THintTimerKind::None;
}

void TApplication::StartHintTimer(int Milliseconds, THintTimerKind Kind) {
  StopHintTimer();
  if (!FWindow.Valid()) return;
  try {
    FHintTimer = TOwnedTimer(FWindow.Get(), kHintTimerId, static_cast<UINT>(std::max(0, Milliseconds)));
    FHintTimerKind = Kind;
  } catch (const EOSError&) {
    // The system has no timer left: this hint is left out, nothing else depends on it.
  }
}

void TApplication::CancelHint() {
  StopHintTimer();
  FHintActive = false;
  HideHintWindow();
}

void TApplication::HintMouseControlChanged() {
  HideHintWindow();
  StopHintTimer();
  TControl* c = FMouseControl;
  SetHint(c != nullptr ? GetLongHint(c->Hint()) : std::string());
  // OnHint may have moved the mouse control on; that change did the rest.
  if (c != FMouseControl) return;
  if (FShowHint && c != nullptr && !c->Hint().empty() && HintShownFor(c)) {
    // While hints are showing, the next one follows quickly.
    StartHintTimer(FHintActive ? FHintShortPause : FHintPause, THintTimerKind::Show);
  } else if (FHintActive) {
    // Over nothing that hints: the quick mode ends unless a hint comes within the pause.
    StartHintTimer(FHintPause, THintTimerKind::EndHintMode);
  }
}

void TApplication::ActivateHint(TPoint CursorPos) {
  StopHintTimer();
  TControl* c = FMouseControl;
  if (!FShowHint || c == nullptr || c->Hint().empty() || !HintShownFor(c)) {
    HideHintWindow();
    return;
  }
  const TRect work = WorkAreaOf(Bounds(CursorPos.X, CursorPos.Y, 1, 1));
  THintInfo info;
  info.HintControl = c;
  info.HintStr = GetShortHint(c->Hint());
  info.HintColor = FHintColor;
  info.HintMaxWidth = work.Width();
  info.HintPos = TPoint{CursorPos.X, CursorPos.Y + CursorHeightMargin()};
  try {
    info.CursorPos = c->ScreenToClient(CursorPos);
  } catch (const EInvalidOperation&) {
    // A control on no window: it has no client coordinates to give.
  }
  const TPoint defaultPos = info.HintPos;
  const LRESULT refused = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  // The handler moved the mouse control on (or freed the control): that change decided.
  if (c != FMouseControl) return;
  if (refused != 0 || info.HintStr.empty()) {
    HideHintWindow();
    return;
  }
  if (!FHintWindow) FHintWindow = std::make_unique<THintWindow>(nullptr);
  FHintWindow->SetColor(info.HintColor);
  const TRect size = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr);
  TRect r = Bounds(info.HintPos.X, info.HintPos.Y, size.Width(), size.Height());
  // No room below the cursor: above it (a position the control chose stays as it is).
  if (info.HintPos == defaultPos && r.Bottom > work.Bottom)
    r = Bounds(r.Left, CursorPos.Y - size.Height(), size.Width(), size.Height());
  FHintWindow->ActivateHint(r, info.HintStr);
  FHintActive = true;
  StartHintTimer(FHintHidePause, THintTimerKind::Hide);
}

bool TApplication::HintTimerMessage(TMessage& m) {
  if (m.Msg != WM_TIMER || m.WParam != kHintTimerId) return false;
  // One-shot: each expiry decides what comes next.
  const THintTimerKind kind = FHintTimerKind;
  StopHintTimer();
  m.Result = 0;
  switch (kind) {
    case THintTimerKind::Show: {
      POINT p{};
      ::GetCursorPos(&p);
      ActivateHint(ToTPoint(p));
      break;
    }
    case THintTimerKind::Hide: CancelHint(); break;
    case THintTimerKind::EndHintMode: FHintActive = false; break;
    case THintTimerKind::None: break;
  }
  return true;
}

void TApplication::CancelHintOnInput(const MSG& msg) {
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: CancelHint(); break;
    default: break;
  }
}
