// The windowed control: TWinControl (declared in Controls.h), the window procedure that binds
// windows to their controls, window-class registration under the framework's class names and
// superclassing of system classes, children, alignment and anchors, painting, focus, tab order,
// keys and the message handlers. Owns the window-class table (GUI thread only) and each
// windowed control's window.
//
// Sections: published properties; window classes and the window procedure; construction and
// handles; children; geometry, showing and alignment; painting; focus, tab order and keys;
// message dispatch and handlers.
#include "framework/win/Controls.h"

#include <algorithm>
#include <map>
#include <optional>

#include "framework/base/TypInfo.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

ORBEX_IMPLEMENT_PUBLISHED(TWinControl, TControl, &CreateComponentOf<TWinControl>)

// =============================================================================================
// Published properties (stored forms and the engine's access by name).
void TWinControl::PublishProperties(TPublisher<TWinControl>& P) {
  P.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  P.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(0);
  P.Boolean("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered).Default(0);
  P.Integer("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
  P.Event("OnEnter", &TWinControl::OnEnter);
  P.Event("OnExit", &TWinControl::OnExit);
  P.Event("OnKeyDown", &TWinControl::OnKeyDown);
  P.Event("OnKeyUp", &TWinControl::OnKeyUp);
  P.Event("OnKeyPress", &TWinControl::OnKeyPress);
}

// =============================================================================================
// Window classes and the window procedure.
namespace {

// The window property that leads from a window to its control.
const char kControlProp[] = "OrbexControl";

// Default procedure of each framework window class, by class name: DefWindowProcA, or the
// system class's procedure for superclassed controls.
std::map<std::string, WNDPROC>& ClassDefProcs() {
  static std::map<std::string, WNDPROC> table;
  return table;
}

// The control whose window is being created on this thread: the first message of a new
// window binds it (messages arrive before CreateWindowEx returns).
thread_local TWinControl* gCreationControl = nullptr;

WNDPROC DefProcOfWindow(HWND h) {
  char name[256] = {};
  ::GetClassNameA(h, name, sizeof(name));
  auto it = ClassDefProcs().find(name);
  return it != ClassDefProcs().end() ? it->second : &::DefWindowProcA;
}

UINT gNextControlId = 100;

void MoveWindowOrg(HDC dc, int dx, int dy) {
  POINT p{};
  ::GetWindowOrgEx(dc, &p);
  ::SetWindowOrgEx(dc, p.x - dx, p.y - dy, nullptr);
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

}  // namespace

LRESULT CALLBACK InitWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* c = static_cast<TWinControl*>(::GetPropA(h, kControlProp));
  if (c == nullptr && gCreationControl != nullptr) {
    c = gCreationControl;
    gCreationControl = nullptr;
    c->BindHandle(h);
  }
  if (c == nullptr) return ::CallWindowProcA(DefProcOfWindow(h), h, msg, wp, lp);
  return c->MainWndProc(msg, wp, lp);
}

TWinControl* FindControl(HWND wnd) {
  if (wnd == nullptr) return nullptr;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(wnd, &pid);
  if (pid != ::GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(::GetPropA(wnd, kControlProp));
}

UINT ControlIdOf(TWinControl* control) { return control != nullptr ? control->FControlId : 0; }

// =============================================================================================
// TWinControl: construction, handles.
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  for (TWndProcFrame* f = FWndProcFrames; f != nullptr; f = f->Outer) f->Destroyed = true;
  Destroying();
  // Free the children still listed (the last first), then the window.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    delete c;
  }
  DestroyHandle();
  if (FParent != nullptr) FParent->RemoveControl(this);
  // Its window died without our methods, so no focus change told the screen.
  if (Screen != nullptr && Screen->ActiveControl() == this) Screen->SetActiveControl(nullptr);
}

HWND TWinControl::Handle() {
  if (FHandle == nullptr) {
    if (FParent != nullptr) FParent->HandleNeeded();
    CreateHandle();
  }
  return FHandle;
}

void TWinControl::CreateHandle() {
  if (FHandle != nullptr) return;
  CreateWnd();
  CreateChildHandles();
  UpdateShowing();
}

void TWinControl::CreateChildHandles() {
  // Children get windows in list order, so their z-order matches FControls.
  std::vector<TControl*> copy = FControls;
  for (TControl* c : copy) {
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->CreateHandle();
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle & csAcceptsControls) Params.Style |= WS_CLIPCHILDREN;
  if (FVisible) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  if (FParent != nullptr) Params.WndParent = FParent->FHandle;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = &::DefWindowProcA;
  Params.WindowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  Params.WindowClass.hInstance = ::GetModuleHandleA(nullptr);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  WNDCLASSA wc{};
  if (::GetClassInfoA(nullptr, ControlClassName, &wc) == 0 &&
      ::GetClassInfoA(::GetModuleHandleA(nullptr), ControlClassName, &wc) == 0) {
    const DWORD code = ::GetLastError();
    RaiseWin32Error(std::string("GetClassInfo ") + ControlClassName, code);
  }
  // Keep the framework's class name; the system class's procedure becomes the default handler.
  const DWORD keep = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.style = (wc.style & ~CS_GLOBALCLASS) | (Params.WindowClass.style & keep);
  wc.hInstance = ::GetModuleHandleA(nullptr);
  Params.WindowClass = wc;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (params.WndParent == nullptr && (params.Style & WS_CHILD) != 0) {
    throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
  }
  // Register the class under the framework's name on first use; the procedure the class
  // was given (DefWindowProcA or a system class's) becomes the default handler.
  auto& table = ClassDefProcs();
  auto it = table.find(params.WinClassName);
  if (it == table.end()) {
    WNDCLASSA wc = params.WindowClass;
    WNDPROC def = wc.lpfnWndProc != nullptr ? wc.lpfnWndProc : &::DefWindowProcA;
    wc.lpfnWndProc = &InitWndProc;
    wc.lpszClassName = params.WinClassName.c_str();
    wc.hInstance = ::GetModuleHandleA(nullptr);
    if (::RegisterClassA(&wc) == 0) {
      const DWORD code = ::GetLastError();
      if (code != ERROR_CLASS_ALREADY_EXISTS) RaiseWin32Error("RegisterClass " + params.WinClassName, code);
    }
    it = table.emplace(params.WinClassName, def).first;
  }
  FDefWndProc = it->second;
  CreateWindowHandle(params);
  if (FHandle == nullptr) {
    // Made, then destroyed while it was being made: no system error to report.
    RaiseWin32Error("CreateWindowEx " + params.WinClassName, ERROR_INVALID_WINDOW_HANDLE);
  }
  ApplyWindowFont();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) {
    if (FControlId == 0) {
      FControlId = gNextControlId++;
      if (gNextControlId > 0xFFF0) gNextControlId = 100;
    }
    id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FControlId));
  }
  TWinControl* saved = gCreationControl;
  gCreationControl = this;
  HWND h = ::CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(),
                             Params.Style, Params.X, Params.Y, Params.Width, Params.Height,
                             Params.WndParent, id, ::GetModuleHandleA(nullptr), Params.Param);
  const DWORD code = ::GetLastError();
  gCreationControl = saved;
  if (h == nullptr) {
    UnbindHandle();
    RaiseWin32Error("CreateWindowEx " + Params.WinClassName, code);
  }
  if (FHandle != h) BindHandle(h);
}

void TWinControl::BindHandle(HWND h) {
  FHandle = h;
  ::SetPropA(h, kControlProp, this);
}

void TWinControl::UnbindHandle() {
  if (FHandle != nullptr) ::RemovePropA(FHandle, kControlProp);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::ApplyWindowFont() {
  if (FHandle != nullptr) ::SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->GetHandle()), 0);
}

void TWinControl::DestroyHandle() {
  if (FHandle == nullptr) return;
  std::vector<TControl*> copy = FControls;
  for (TControl* c : copy) {
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->DestroyHandle();
  }
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // Keep the text for a window made again later; a control being freed needs none (and its
  // window method chain may already be partly gone).
  if (!IsDestroying()) FText = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState |= csDestroyingHandle;
  HWND h = FHandle;
  // During destruction the derived parts are gone: let the window die without our methods.
  if (IsDestroying()) UnbindHandle();
  ::DestroyWindow(h);
  if (FHandle == h) UnbindHandle();
  FShowing = false;
  FControlState &= ~csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
  if (FHandle == nullptr) return;
  DestroyHandle();
  if (FParent == nullptr || FParent->HandleAllocated()) CreateHandle();
}

LRESULT TWinControl::MainWndProc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = FHandle;
  if (msg == CM_RELEASE) {
    // A form that frees itself: nothing of it may be touched after the delete. Only a release
    // the form asked for counts: anyone can post this message number to any window.
    if (auto* f = As<TCustomForm>(static_cast<TObject*>(this))) {
      if (f->ReleasePending()) delete f;
      return 0;
    }
  }
  if (IsReflectedNotification(msg)) return ::DefWindowProcA(h, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  TWndProcFrame frame;
  frame.Outer = FWndProcFrames;
  FWndProcFrames = &frame;
  try {
    if (WindowProc)
      WindowProc(m);
    else
      WndProc(m);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(frame.Destroyed ? nullptr : this);
  }
  if (frame.Destroyed) return m.Result;   // freed inside its own message
  FWndProcFrames = frame.Outer;
  if (msg == WM_NCDESTROY && FHandle == h) UnbindHandle();
  return m.Result;
}

// =============================================================================================
// TWinControl: children.
void TWinControl::InsertControl(TControl* c) {
  if (c == nullptr || c->FParent == this) return;
  if (c->IsWindowed() && static_cast<TWinControl*>(c)->ContainsControl(this))
    throw EInvalidOperation("A control cannot be its own parent's parent");
  c->FParent = this;
  FControls.push_back(c);
  if (c->IsWindowed()) FTabList.push_back(static_cast<TWinControl*>(c));
  if (c->FParentColor) c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
  if (c->FParentFont) c->Perform(CM_PARENTFONTCHANGED, 0, 0);
  if (c->FParentShowHint) c->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  c->UpdateAnchorRules();
  if (c->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(c);
    if (FHandle != nullptr) {
      if (w->FHandle != nullptr) {
        ::SetParent(w->FHandle, FHandle);
        w->UpdateShowing();
      } else {
        w->CreateHandle();
      }
    }
  } else {
    c->Invalidate();
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(c), 1);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 1);
  AlignControl(c);
}

void TWinControl::RemoveControl(TControl* c) {
  if (c == nullptr || c->FParent != this) return;
  if (!IsDestroying()) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 0);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(c), 0);
  }
  if (TCustomForm* f = GetParentForm(this)) {
    TWinControl* active = f->ActiveControl();
    if (active != nullptr && (active == c || (c->IsWindowed() && static_cast<TWinControl*>(c)->ContainsControl(active))))
      f->SetFocusedControl(nullptr);
  }
  if (Application != nullptr) Application->ForgetControl(c);
  if (FCaptureControl == c) {
    FCaptureControl = nullptr;
    ::ReleaseCapture();
  }
  if (c->IsWindowed()) {
    static_cast<TWinControl*>(c)->DestroyHandle();
  } else {
    c->Invalidate();
  }
  FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
  FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), c), FTabList.end());
  c->FParent = nullptr;
  if (!IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(TControl* c) const {
  while (c != nullptr && c != this) c = c->FParent;
  return c == this;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool AllowDisabled, bool AllowWinControls) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() && !AllowWinControls) continue;
    if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
    if (p.X >= c->FLeft && p.Y >= c->FTop && p.X < c->FLeft + c->FWidth && p.Y < c->FTop + c->FHeight) {
      if (c->Perform(CM_HITTEST, 0, 0) != 0) return c;
    }
  }
  return nullptr;
}

// =============================================================================================
// TWinControl: geometry, showing and alignment.
TRect TWinControl::ClientRect() const {
  if (FHandle != nullptr) {
    RECT r{};
    ::GetClientRect(FHandle, &r);
    return ToTRect(r);
  }
  return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  if (FHandle != nullptr) {
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return ToTPoint(p);
  }
  return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  FConstraints->Constrain(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  // The fields are set first: WM_WINDOWPOSCHANGED then finds nothing new.
  if (FHandle != nullptr)
    ::SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  if (FParent == nullptr || FParent->FAlignLevel == 0) UpdateAnchorRules();
  RequestAlign();
  if (resized) {
    Realign();
    Resize();
  }
}

void TWinControl::SetParent(TWinControl* AParent) { TControl::SetParent(AParent); }

void TWinControl::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (FBorderWidth == v) return;
  FBorderWidth = v;
  Realign();
  Invalidate();
}

void TWinControl::AdjustClientRect(TRect& Rect) const {
  Rect.Left += FBorderWidth;
  Rect.Top += FBorderWidth;
  Rect.Right -= FBorderWidth;
  Rect.Bottom -= FBorderWidth;
}

void TWinControl::AlignControl(TControl* AControl) {
  if (FAlignLevel != 0 || IsLoading() || IsDestroying()) {
    FControlState |= csAlignmentNeeded;
    return;
  }
  TRect r = ClientRect();
  AdjustClientRect(r);
  ++FAlignLevel;
  try {
    AlignControls(AControl, r);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  --FAlignLevel;
  FControlState &= ~csAlignmentNeeded;
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && (FControlState & csAlignmentNeeded)) Realign();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  auto edgeKey = [](TControl* c, TAlign a) {
    switch (a) {
      case alTop: return c->FTop;
      case alBottom: return -(c->FTop + c->FHeight);
      case alLeft: return c->FLeft;
      case alRight: return -(c->FLeft + c->FWidth);
      default: return 0;
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->FAlign == a && c->FVisible) list.push_back(c);
    // In position order; the control that asked for alignment goes first among equals.
    std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) {
      int kx = edgeKey(x, a), ky = edgeKey(y, a);
      if (kx != ky) return kx < ky;
      return x == AControl && y != AControl;
    });
    for (TControl* c : list) {
      const int w = std::max(0, Rect.Width());
      const int h = std::max(0, Rect.Height());
      switch (a) {
        case alTop:
          c->SetBounds(Rect.Left, Rect.Top, w, c->FHeight);
          Rect.Top += c->FHeight;
          break;
        case alBottom:
          c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, w, c->FHeight);
          Rect.Bottom -= c->FHeight;
          break;
        case alLeft:
          c->SetBounds(Rect.Left, Rect.Top, c->FWidth, h);
          Rect.Left += c->FWidth;
          break;
        case alRight:
          c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, h);
          Rect.Right -= c->FWidth;
          break;
        case alClient: c->SetBounds(Rect.Left, Rect.Top, w, h); break;
        default: break;
      }
    }
  }
  // Anchors: unaligned controls keep their distances to the anchored edges.
  TRect pr = ClientRect();
  for (TControl* c : FControls) {
    if (c->FAlign != alNone || !c->FAnchorRulesValid) continue;
    if (c->FAnchors == (akLeft | akTop)) continue;
    const TRect& b = c->FAnchorBounds;
    const int dx = pr.Width() - c->FAnchorParentSize.cx;
    const int dy = pr.Height() - c->FAnchorParentSize.cy;
    int l = b.Left, t = b.Top, w = b.Width(), h = b.Height();
    if (c->FAnchors & akRight) {
      if (c->FAnchors & akLeft)
        w += dx;
      else
        l += dx;
    } else if (!(c->FAnchors & akLeft)) {
      l += dx / 2;
    }
    if (c->FAnchors & akBottom) {
      if (c->FAnchors & akTop)
        h += dy;
      else
        t += dy;
    } else if (!(c->FAnchors & akTop)) {
      t += dy / 2;
    }
    c->SetBounds(l, t, w, h);
  }
}

void TWinControl::UpdateShowing() {
  const bool showing = FVisible && (FParent == nullptr || FParent->FShowing);
  if (showing && FHandle == nullptr) {
    if (FParent != nullptr && !FParent->HandleAllocated()) return;
    CreateWnd();
    CreateChildHandles();
  }
  if (FHandle == nullptr) return;
  if (showing != FShowing) {
    FShowing = showing;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !showing;
      throw;
    }
  }
  std::vector<TControl*> copy = FControls;
  for (TControl* c : copy)
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->UpdateShowing();
}

void TWinControl::UpdateControlState() { UpdateShowing(); }

void TWinControl::SetZOrderWindow(bool TopMost) {
  if (FHandle != nullptr)
    ::SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Invalidate() {
  // Through the window method, so that a control (or whoever took over its method) sees the
  // repaint coming; the default handling invalidates.
  Perform(CM_INVALIDATE, (FControlStyle & csOpaque) != 0 ? 1 : 0, 0);
}

void TWinControl::Update() {
  if (FHandle != nullptr) ::UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetEnabled(bool v) { TControl::SetEnabled(v); }

std::string TWinControl::GetText() const {
  if (FHandle == nullptr) return FText;
  int n = static_cast<int>(::SendMessageA(FHandle, WM_GETTEXTLENGTH, 0, 0));
  if (n <= 0) return std::string();
  std::string s(static_cast<size_t>(n) + 1, '\0');
  int got = static_cast<int>(::SendMessageA(FHandle, WM_GETTEXT, static_cast<WPARAM>(n + 1),
                                            reinterpret_cast<LPARAM>(s.data())));
  s.resize(static_cast<size_t>(std::clamp(got, 0, n)));
  return s;
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::FontChanged() {
  TControl::FontChanged();
}

// =============================================================================================
// TWinControl: painting.
void TWinControl::PaintWindow(HDC DC) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto it = FControls.begin();
  if (First != nullptr) it = std::find(FControls.begin(), FControls.end(), First);
  for (; it != FControls.end(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->FVisible) continue;
    RECT r = ToRECT(c->BoundsRect());
    if (!::RectVisible(DC, &r)) continue;
    TSaveDC save(DC);
    MoveWindowOrg(DC, c->FLeft, c->FTop);
    ::IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    // Graphic children see the painting-a-copy state of their parent.
    const TControlState old = c->FControlState;
    if (FControlState & csPaintCopy) c->FControlState |= csPaintCopy;
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } catch (...) {
      c->FControlState = old;
      throw;
    }
    c->FControlState = old;
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  std::optional<TPaintDC> ps;
  if (dc == nullptr) {
    ps.emplace(FHandle);
    dc = ps->Get();
  }
  {
    TSaveDC save(dc);
    // Opaque graphic children paint over their area: keep it out of the window's painting.
    for (TControl* c : FControls) {
      if (!c->IsWindowed() && c->FVisible && (c->FControlStyle & csOpaque))
        ::ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
    }
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
  m.Result = 0;
}

void TWinControl::WMPaint(TMessage& m) {
  if (m.WParam == 0 && FDoubleBuffered && (FControlState & csPaintCopy) == 0 && FHandle != nullptr) {
    TPaintDC ps(FHandle);
    TRect cr = ClientRect();
    TOwnedBitmap bmp(::CreateCompatibleBitmap(ps.Get(), std::max(1, cr.Width()), std::max(1, cr.Height())));
    TMemoryDC mem(ps.Get(), bmp.Get());
    if (!mem.Valid() || !bmp.Valid()) return;
    // WParam == LParam marks the framework's own erase into the buffer.
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem.Get()), 0);
    ::BitBlt(ps.Get(), 0, 0, cr.Width(), cr.Height(), mem.Get(), 0, 0, SRCCOPY);
    m.Result = 0;
    return;
  }
  bool hasGraphic = false;
  for (TControl* c : FControls)
    if (!c->IsWindowed()) hasGraphic = true;
  if (!hasGraphic && FDefWndProc != &::DefWindowProcA) {
    // A system control with nothing of ours on it paints itself.
    DefaultHandler(m);
    return;
  }
  PaintHandler(m);
}

void TWinControl::WMPrintClient(TMessage& m) {
  // Controls that paint themselves answer a print request like a paint with the DC; system
  // controls print themselves.
  const bool selfPainted = FDefWndProc == &::DefWindowProcA ||
                           std::any_of(FControls.begin(), FControls.end(), [](TControl* c) { return !c->IsWindowed(); });
  if (m.WParam == 0 || !selfPainted || ((m.LParam & PRF_CHECKVISIBLE) && !FVisible)) {
    DefaultHandler(m);
    return;
  }
  TMessage paint{WM_PAINT, m.WParam, 0, 0};
  PaintHandler(paint);
  m.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  if (FDoubleBuffered && (FControlState & csPaintCopy) == 0 && m.WParam != static_cast<WPARAM>(m.LParam)) {
    // The buffered paint erases into its own bitmap.
    m.Result = 1;
    return;
  }
  if (FDefWndProc != &::DefWindowProcA) {
    DefaultHandler(m);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  RECT r = ToRECT(ClientRect());
  FBrush->SetColor(FColor);
  ::FillRect(dc, &r, FBrush->GetHandle());
  m.Result = 1;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  FControlState |= csPaintCopy;
  try {
    TSaveDC save(DC);
    MoveWindowOrg(DC, X, Y);
    TRect cr = ClientRect();
    ::IntersectClipRect(DC, 0, 0, cr.Width(), cr.Height());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    std::vector<TControl*> copy = FControls;
    for (TControl* c : copy) {
      if (c->IsWindowed() && c->FVisible) static_cast<TWinControl*>(c)->PaintTo(DC, c->FLeft, c->FTop);
    }
  } catch (...) {
    FControlState &= ~csPaintCopy;
    throw;
  }
  FControlState &= ~csPaintCopy;
}

// =============================================================================================
// TWinControl: focus, tab order and keys.
int TWinControl::TabOrder() const {
  if (FParent == nullptr) return -1;
  const auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (FParent == nullptr) return;
  auto& l = FParent->FTabList;
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  v = std::clamp(v, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + v, this);
}

void TWinControl::SetTabStop(bool v) {
  if (FTabStop == v) return;
  FTabStop = v;
  if (FHandle != nullptr) {
    LONG_PTR s = ::GetWindowLongPtrA(FHandle, GWL_STYLE);
    ::SetWindowLongPtrA(FHandle, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  while (c != nullptr) {
    if (!c->FVisible || !c->FEnabled) return false;
    c = c->FParent;
  }
  return true;
}

bool TWinControl::Focused() const { return FHandle != nullptr && ::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  TCustomForm* f = GetParentForm(this);
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (f != nullptr && f != this) f->SetActiveControl(this);
  if (FHandle != nullptr && (f == nullptr || f->Showing())) ::SetFocus(FHandle);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool GoForward, bool CheckTabStop) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[static_cast<size_t>(i)] == cur) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c == cur) break;
    if ((!CheckTabStop || c->FTabStop) && c->CanFocus() && c->FTabList.empty()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(cur, GoForward, CheckTabStop)) c->SetFocus();
}

namespace {
// The form that previews the keys of `c` (KeyPreview), or null; a form never previews its own.
TCustomForm* PreviewForm(TWinControl* c) {
  TCustomForm* f = GetParentForm(c);
  return f != nullptr && f != c && f->KeyPreview() ? f : nullptr;
}
}  // namespace

// With KeyPreview the form sees each key first; a key it clears (0) goes no further.
void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (TCustomForm* f = PreviewForm(this); f != nullptr && f->OnKeyDown) f->OnKeyDown(f, Key, Shift);
  if (Key != 0 && OnKeyDown && (FControlStyle & csNoStdEvents) == 0) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (TCustomForm* f = PreviewForm(this); f != nullptr && f->OnKeyUp) {
    f->OnKeyUp(f, Key, Shift);
    if (Key == 0) return;
  }
  if (OnKeyUp && (FControlStyle & csNoStdEvents) == 0) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (TCustomForm* f = PreviewForm(this); f != nullptr && f->OnKeyPress) {
    f->OnKeyPress(f, Key);
    if (Key == 0) return;
  }
  if (OnKeyPress && (FControlStyle & csNoStdEvents) == 0) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// =============================================================================================
// TWinControl: message dispatch.
void TWinControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg) && m.Msg != WM_MOUSEWHEEL) {
    if (m.Msg == WM_MOUSEMOVE && FHandle != nullptr) {
      TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, FHandle, 0};
      ::TrackMouseEvent(&t);
    }
    if (IsControlMouseMsg(m)) return;
    if (m.Msg == WM_MOUSEMOVE && Application != nullptr) Application->SetMouseControl(this);
  }
  TControl::WndProc(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* c = nullptr;
  if (FCaptureControl != nullptr && FCaptureControl->FParent == this && ::GetCapture() == FHandle) {
    c = FCaptureControl;
  } else if (::GetCapture() == nullptr || ::GetCapture() == FHandle) {
    c = ControlAtPos(TPoint{LParamX(m.LParam), LParamY(m.LParam)}, false);
  }
  if (c == nullptr || c->IsWindowed()) return false;
  const int x = LParamX(m.LParam) - c->FLeft;
  const int y = LParamY(m.LParam) - c->FTop;
  m.Result = c->Perform(m.Msg, m.WParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  return true;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); break;
    case WM_ERASEBKGND: WMEraseBkgnd(m); break;
    case WM_PRINTCLIENT: WMPrintClient(m); break;
    case WM_SIZE: WMSize(m); break;
    case WM_MOVE: WMMove(m); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); break;
    case WM_SETCURSOR: WMSetCursor(m); break;
    case WM_SETFOCUS: WMSetFocus(m); break;
    case WM_KILLFOCUS: WMKillFocus(m); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(m); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(m); break;
    case WM_CHAR: WMChar(m); break;
    case WM_MOUSELEAVE: WMMouseLeave(m); break;
    case WM_CONTEXTMENU: WMContextMenu(m); break;
    case WM_NCDESTROY: WMNCDestroy(m); break;
    case WM_COMMAND: WMCommand(m); break;
    case WM_NOTIFY: WMNotify(m); break;
    case WM_DRAWITEM: WMDrawItem(m); break;
    case WM_MEASUREITEM: WMMeasureItem(m); break;
    case WM_DELETEITEM:
      if (!DoControlMsg(reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem, m)) DefaultHandler(m);
      break;
    case WM_COMPAREITEM:
      if (!DoControlMsg(reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem, m)) DefaultHandler(m);
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(m); break;
    case WM_HSCROLL:
    case WM_VSCROLL: WMScroll(m); break;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(m); break;
    case CN_CHAR: CNChar(m); break;
    case CN_SYSCHAR: CNSysChar(m); break;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: CNCtlColor(m); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChangedWin(m); break;
    case CM_COLORCHANGED: CMColorChangedWin(m); break;
    case CM_SHOWHINTCHANGED: CMShowHintChangedWin(m); break;
    case CM_TEXTCHANGED: CMTextChangedWin(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChangedWin(m); break;
    case CM_FONTCHANGED:
      ApplyWindowFont();
      Invalidate();
      for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTFONTCHANGED, 0, 0);
      break;
    case CM_DIALOGKEY: CMDialogKey(m); break;
    case CM_DIALOGCHAR: CMDialogChar(m); break;
    case CM_FOCUSCHANGED:
      // Every control of the form hears where the focus went (buttons decide which is active).
      for (TControl* c : std::vector<TControl*>(FControls))
        if (!c->IsDestroying()) c->Perform(CM_FOCUSCHANGED, m.WParam, m.LParam);
      break;
    case CM_RECREATEWND: RecreateWnd(); break;
    // Every container up to the form hears of a control that came or goes below it.
    case CM_CONTROLLISTCHANGE:
      if (FParent != nullptr) FParent->Perform(m.Msg, m.WParam, m.LParam);
      break;
    case CM_INVALIDATE:
      if (FHandle != nullptr) ::InvalidateRect(FHandle, nullptr, m.WParam == 0);
      break;
    default: TControl::Dispatch(m); break;
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (FHandle != nullptr) {
    m.Result = ::CallWindowProcA(FDefWndProc != nullptr ? FDefWndProc : &::DefWindowProcA, FHandle,
                                 m.Msg, m.WParam, m.LParam);
    return;
  }
  TControl::DefaultHandler(m);
}

bool TWinControl::DoControlMsg(HWND child, TMessage& m) {
  TWinControl* c = FindControl(child);
  if (c == nullptr || c == this) return false;
  m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

void TWinControl::WMSize(TMessage& m) {
  DefaultHandler(m);
}

void TWinControl::WMMove(TMessage& m) { DefaultHandler(m); }

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);
  // A minimized window keeps its normal bounds (its children are not laid out again).
  if (FHandle == nullptr || ::IsIconic(FHandle)) return;
  RECT r{};
  ::GetWindowRect(FHandle, &r);
  HWND parent = (::GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD) ? ::GetParent(FHandle) : nullptr;
  if (parent != nullptr) ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  const int l = r.left, t = r.top, w = r.right - r.left, h = r.bottom - r.top;
  if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
  // The window was moved or sized by the system or the user: follow it.
  const bool resized = w != FWidth || h != FHeight;
  FLeft = l;
  FTop = t;
  FWidth = w;
  FHeight = h;
  if (FParent == nullptr || FParent->FAlignLevel == 0) UpdateAnchorRules();
  if (resized) {
    Realign();
    Resize();
  }
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == FHandle && LOWORD(m.LParam) == HTCLIENT && Screen != nullptr) {
    TCursor cur = Screen->Cursor();
    if (cur == crDefault) {
      POINT p{};
      ::GetCursorPos(&p);
      ::ScreenToClient(FHandle, &p);
      TControl* c = ControlAtPos(ToTPoint(p), false);
      cur = (c != nullptr && c->FCursor != crDefault) ? c->FCursor : FCursor;
    }
    if (cur != crDefault) {
      ::SetCursor(Screen->Cursors(cur));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
  if (Screen != nullptr) Screen->SetActiveControl(this);
  DoEnter();
}

void TWinControl::WMKillFocus(TMessage& m) {
  DefaultHandler(m);
  DoExit();
}

void TWinControl::WMKeyDown(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  KeyDown(key, KeyboardShiftState());
  if (key == 0) {
    m.Result = 0;
    return;
  }
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  KeyUp(key, KeyboardShiftState());
  if (key == 0) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  char c = static_cast<char>(m.WParam);
  KeyPress(c);
  if (c == 0) return;
  m.WParam = static_cast<unsigned char>(c);
  DefaultHandler(m);
}

void TWinControl::WMMouseLeave(TMessage& m) {
  // A window appearing under the cursor (a control's glow) can end the tracking while the
  // cursor is still over this window: tracking starts again instead of a leave.
  POINT cursor{};
  HWND under = FHandle != nullptr && ::GetCursorPos(&cursor) ? ::WindowFromPoint(cursor) : nullptr;
  if (under != nullptr && under == FHandle) {
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, FHandle, 0};
    ::TrackMouseEvent(&t);
    DefaultHandler(m);
    return;
  }
  if (Application != nullptr) {
    TControl* mc = Application->MouseControl();
    // A parent's leave that comes late, when the cursor has gone on into one of its child
    // windows, leaves that child's mouse state alone.
    const bool intoChild = under != nullptr && ::IsChild(FHandle, under);
    if (mc == this || (mc != nullptr && !intoChild && ContainsControl(mc))) Application->SetMouseControl(nullptr);
  }
  DefaultHandler(m);
}

void TWinControl::WMContextMenu(TMessage& m) {
  TPoint sp{LParamX(m.LParam), LParamY(m.LParam)};
  TControl* target = this;
  if (sp.X != -1 || sp.Y != -1) {
    POINT p = ToPOINT(sp);
    ::ScreenToClient(FHandle, &p);
    if (TControl* c = ControlAtPos(ToTPoint(p), false)) target = c;
  } else {
    sp = ClientToScreen(TPoint{0, 0});
  }
  TPopupMenu* menu = target->PopupMenu();
  if (menu == nullptr || !menu->AutoPopup()) {
    DefaultHandler(m);
    return;
  }
  menu->SetPopupComponent(target);
  menu->Popup(sp.X, sp.Y);
  m.Result = 1;
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  UnbindHandle();
}

void TWinControl::WMCommand(TMessage& m) {
  if (m.LParam == 0 || !DoControlMsg(reinterpret_cast<HWND>(m.LParam), m)) DefaultHandler(m);
}

void TWinControl::WMNotify(TMessage& m) {
  // A notification sent from another thread (or process) carries a pointer we cannot read.
  if (m.LParam == 0 || ::InSendMessage()) {
    DefaultHandler(m);
    return;
  }
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
  if (!DoControlMsg(hdr->hwndFrom, m)) DefaultHandler(m);
}

void TWinControl::WMDrawItem(TMessage& m) {
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  if (dis == nullptr || dis->CtlType == ODT_MENU || !DoControlMsg(dis->hwndItem, m)) DefaultHandler(m);
}

void TWinControl::WMMeasureItem(TMessage& m) {
  const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam);
  if (mis == nullptr || mis->CtlType == ODT_MENU || FHandle == nullptr ||
      !DoControlMsg(::GetDlgItem(FHandle, static_cast<int>(mis->CtlID)), m))
    DefaultHandler(m);
}

void TWinControl::WMCtlColor(TMessage& m) {
  if (!DoControlMsg(reinterpret_cast<HWND>(m.LParam), m)) DefaultHandler(m);
}

void TWinControl::WMScroll(TMessage& m) {
  if (m.LParam == 0 || !DoControlMsg(reinterpret_cast<HWND>(m.LParam), m)) DefaultHandler(m);
}

void TWinControl::CNKeyDown(TMessage& m) {
  // Keys the application loop offers before translating them: form shortcuts, then the
  // dialog keys (tab, arrows, return, escape) unless the control wants them itself.
  m.Result = 1;
  const WORD key = static_cast<WORD>(m.WParam);
  const TShiftState shift = KeyboardShiftState();
  TCustomForm* f = GetParentForm(this);
  if (f != nullptr && f->IsShortCut(key, shift)) return;
  if (m.Msg == CN_KEYDOWN && f != nullptr) {
    DWORD mask = 0;
    switch (key) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key, 0) == 0) {
      const LRESULT code = (FHandle != nullptr && f != this) ? ::SendMessageA(FHandle, WM_GETDLGCODE, 0, 0) : 0;
      if ((code & mask) == 0 && (code & DLGC_WANTALLKEYS) == 0 && f->Perform(CM_DIALOGKEY, key, 0) != 0) return;
    }
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) { m.Result = 0; }

void TWinControl::CNSysChar(TMessage& m) {
  // Alt+letter: a label's accelerator (or any control's) takes it before the system looks for
  // a menu of that letter; Alt+Space stays the system menu's. Result 1: handled, the message
  // is not dispatched.
  m.Result = 0;
  if (static_cast<char>(m.WParam) == ' ') return;
  if (TCustomForm* f = GetParentForm(this)) m.Result = f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
}

void TWinControl::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
  ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FColor)));
  FBrush->SetColor(FColor);
  m.Result = reinterpret_cast<LRESULT>(FBrush->GetHandle());
}

void TWinControl::CMShowingChanged(TMessage&) {
  if (FHandle == nullptr) return;
  ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChangedWin(TMessage& m) {
  UpdateShowing();
  (void)m;
}

void TWinControl::CMShowHintChangedWin(TMessage& m) {
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  DefaultHandler(m);
}

void TWinControl::CMColorChangedWin(TMessage&) {
  FBrush->SetColor(FColor);
  Invalidate();
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TWinControl::CMTextChangedWin(TMessage&) {}

void TWinControl::CMEnabledChangedWin(TMessage&) {
  if (FHandle != nullptr) ::EnableWindow(FHandle, FEnabled ? TRUE : FALSE);
  Invalidate();
}

void TWinControl::CMDialogKey(TMessage& m) {
  // Offered to every child until one takes it (default and cancel buttons).
  for (TControl* c : std::vector<TControl*>(FControls)) {
    m.Result = c->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
    if (m.Result != 0) return;
  }
}

void TWinControl::CMDialogChar(TMessage& m) {
  // Offered to every child (and through windowed ones to theirs) until one takes it.
  m.Result = 0;
  for (TControl* c : std::vector<TControl*>(FControls)) {
    m.Result = c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
    if (m.Result != 0) return;
  }
}
