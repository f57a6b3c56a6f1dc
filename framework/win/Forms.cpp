// Forms, the application object and the screen object: window styles of the border styles,
// positioning, modal showing with its message loop, closing, menus and shortcuts of a form,
// the "TApplication" window and message loop with idle action updates and Synchronize, the
// exception handler, command-line parameters, cursors and the work area.
//
// Sections: TCustomForm (construction, styles, showing, modal loop, closing, messages);
// TApplication; TScreen; start-up and shut-down.
#include "framework/win/Forms.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/base/Thread.h"
#include "framework/base/TypInfo.h"
#include "framework/win/ActnList.h"
#include "framework/win/FormReader.h"
#include "framework/win/HintWindow.h"

ORBEX_IMPLEMENT_PUBLISHED(TCustomForm, TWinControl, &CreateComponentOf<TCustomForm>)
ORBEX_IMPLEMENT_CLASS(TForm, TCustomForm, &CreateComponentOf<TForm>)

void TCustomForm::PublishProperties(TPublisher<TCustomForm>& P) {
  P.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
         {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"})
      .Default(bsSizeable);
  P.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
        {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"})
      .Default(biSystemMenu | biMinimize | biMaximize);
  P.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
         {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
          "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"})
      .Default(poDesigned);
  P.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
         {"wsNormal", "wsMinimized", "wsMaximized"})
      .Default(wsNormal);
  P.Integer("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidthStored);
  P.Integer("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeightStored);
  P.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
         {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"})
      .Default(fsNormal);
  P.Component("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  P.Component("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
  P.Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  P.Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(0);
  P.Boolean("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend).Default(0);
  P.Integer("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue).Default(255);
  P.Event("OnCreate", &TCustomForm::OnCreate);
  P.Event("OnDestroy", &TCustomForm::OnDestroy);
  P.Event("OnShow", &TCustomForm::OnShow);
  P.Event("OnHide", &TCustomForm::OnHide);
  P.Event("OnPaint", &TCustomForm::OnPaint);
  P.Event("OnActivate", &TCustomForm::OnActivate);
  P.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  P.Event("OnClose", &TCustomForm::OnClose);
  P.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
}
ORBEX_IMPLEMENT_CLASS(TFrame, TWinControl, &CreateComponentOf<TFrame>)
ORBEX_IMPLEMENT_CLASS(TApplication, TComponent, nullptr)
ORBEX_IMPLEMENT_CLASS(TScreen, TComponent, nullptr)

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Disables the thread's other visible, enabled top-level windows while a modal form runs, and
// enables exactly those again afterwards.
class TTaskWindowsDisabler {
public:
  explicit TTaskWindowsDisabler(HWND except) : FExcept(except) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
    for (HWND h : FWindows) ::EnableWindow(h, FALSE);
  }
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;
  ~TTaskWindowsDisabler() {
    for (HWND h : FWindows)
      if (::IsWindow(h)) ::EnableWindow(h, TRUE);
  }

private:
  static BOOL CALLBACK Collect(HWND h, LPARAM lp) {
    auto* self = reinterpret_cast<TTaskWindowsDisabler*>(lp);
    if (h != self->FExcept && ::IsWindowVisible(h) && ::IsWindowEnabled(h)) self->FWindows.push_back(h);
    return TRUE;
  }
  HWND FExcept;
  std::vector<HWND> FWindows;
};

const char kAppClass[] = "TApplication";
// The command number of the first MDI child's entry in the window menu, above every command
// number a menu item takes.
constexpr UINT kFirstMDIChildCommand = 0xFF00;

LRESULT CALLBACK AppWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (Application == nullptr || Application->Handle() != h) return ::DefWindowProcA(h, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  try {
    Application->WndProc(m);
  } catch (...) {
    Application->HandleException(Application);
  }
  return m.Result;
}

}  // namespace

// =============================================================================================
// TCustomForm
TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {
  FControlStyle |= csAcceptsControls;
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
  FWidth = 320;
  FHeight = 240;
  FPosition = poDesigned;
  FIcon = std::make_unique<TIcon>();
  if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  // Owned components hear first that the form goes (a skin provider gives the window method
  // back and unregisters the form there), while the form's window and controls still exist.
  Destroying();
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      if (Application != nullptr) Application->HandleException(this);
    }
  }
  if (Screen != nullptr) Screen->RemoveForm(this);
  if (Application != nullptr && Application->MainForm() == this) Application->SetMainForm(nullptr);
  if (FFormStyle == fsMDIChild) {
    TCustomForm* main = MDIMainForm();
    if (main != nullptr && main->FMenu != nullptr && FMenu != nullptr && main->FMenu->Merged() == FMenu)
      main->MergeChildMenu(nullptr);
  }
  if (FWindowMenu != nullptr) FWindowMenu->RemoveFreeNotification(this);
  FWindowMenu = nullptr;
  // The menu bar belongs to the menu component: take it off before the window goes, or the
  // system would destroy it with the window.
  if (FHandle != nullptr) ::SetMenu(FHandle, nullptr);
  if (FMenu != nullptr) {
    FMenu->SetWindowHandle(nullptr);
    FMenu->RemoveFreeNotification(this);
    FMenu = nullptr;
  }
}

void TCustomForm::ReadStoredForm() {
  if (FStoredFormRead) return;
  FStoredFormRead = true;
  ReadFormResource(this);
}

// ---------------------------------------------------------------------------------------------
// TFrame

TFrame::TFrame(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
  SetBounds(0, 0, 320, 240);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetTabStop(true);
}

TFrame::~TFrame() {
  Destroying();
  DestroyComponents();
}

void TFrame::AfterConstruction() {
  TWinControl::AfterConstruction();
  ReadStoredFrame();
}

void TFrame::ReadStoredFrame() {
  if (FStoredFrameRead) return;
  FStoredFrameRead = true;
  std::string text;
  // The class's own data only: a plain frame has none.
  if (!FindFormResource(ClassName(), text)) return;
  TFormObject top = ParseForm(text);
  // The name is the placer's, not the design's: two frames of a class may sit on one form.
  top.Name.clear();
  ReadForm(this, top);
}

void InitFrameClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TFrame>();
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  Params.Style |= WS_CLIPCHILDREN;
  Params.ExStyle = 0;
  switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      Params.Style |= WS_CAPTION;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) {
    Params.Style |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
      if (FBorderIcons & biMinimize) Params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons & biMaximize) Params.Style |= WS_MAXIMIZEBOX;
    }
    if ((FBorderIcons & biHelp) && !(FBorderIcons & (biMinimize | biMaximize)))
      Params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
    Params.X = static_cast<int>(CW_USEDEFAULT);
    Params.Y = static_cast<int>(CW_USEDEFAULT);
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FFormStyle == fsMDIChild) {
    // A child window of the MDI main form's client window, which the system manages.
    TCustomForm* main = MDIMainForm();
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle = (Params.ExStyle & ~static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_TOPMOST)) | WS_EX_MDICHILD;
    Params.WndParent = main != nullptr ? main->FClientHandle : nullptr;
    return;
  }
  // Forms are owned by the application window (the main form too, which then needs its own
  // taskbar button); a modal or secondary form stays above the main form.
  HWND owner = Application != nullptr ? Application->Handle() : nullptr;
  if (Application != nullptr && Application->MainForm() == this) {
    Params.ExStyle |= WS_EX_APPWINDOW;
  } else if (Application != nullptr && Application->MainForm() != nullptr &&
             Application->MainForm()->HandleAllocated()) {
    owner = Application->MainForm()->FHandle;
  }
  Params.WndParent = owner;
}

TCustomForm* TCustomForm::MDIMainForm() {
  TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
  return main != nullptr && main->FFormStyle == fsMDIForm && main->FClientHandle != nullptr ? main : nullptr;
}

void TCustomForm::CreateWnd() {
  if (FFormStyle == fsMDIChild && MDIMainForm() == nullptr)
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  TWinControl::CreateWnd();
  if (FFormStyle == fsMDIForm) {
    // The client window is a child of the form's window and goes with it.
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = FWindowMenu != nullptr ? FWindowMenu->Handle() : nullptr;
    ccs.idFirstChild = kFirstMDIChildCommand;
    FClientHandle = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                          WS_VSCROLL | WS_HSCROLL,
                                      0, 0, 0, 0, FHandle, nullptr, ::GetModuleHandleA(nullptr), &ccs);
    if (FClientHandle == nullptr) {
      const DWORD code = ::GetLastError();
      RaiseWin32Error("CreateWindowEx MDICLIENT", code);
    }
  }
  if (FMenu != nullptr && FFormStyle != fsMDIChild) {
    ::SetMenu(FHandle, FMenu->Handle());
    FMenu->SetWindowHandle(FHandle);
  }
  if (!FIcon->Empty()) {
    ::SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->GetHandle()));
    ::SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcon->GetHandle()));
  }
  if (FAlphaBlend) ApplyLayeredAttributes();
  // The window now has its real frame: take the position and size the system gave it.
  RECT r{};
  ::GetWindowRect(FHandle, &r);
  if (FFormStyle == fsMDIChild) ::MapWindowPoints(HWND_DESKTOP, ::GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
  // The real client area may differ from the one computed without a window.
  Realign();
}

void TCustomForm::DestroyWnd() {
  TWinControl::DestroyWnd();
  FClientHandle = nullptr;
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  if (FClientHandle != nullptr)
    ::SetWindowPos(FClientHandle, nullptr, Rect.Left, Rect.Top, std::max(0, Rect.Width()),
                   std::max(0, Rect.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& m) {
  if (FHandle != nullptr && FFormStyle == fsMDIForm && FClientHandle != nullptr && m.Msg != WM_SIZE) {
    // The frame's handling sizes the client window to the whole client area on WM_SIZE:
    // alignment places it instead.
    m.Result = ::DefFrameProcA(FHandle, FClientHandle, m.Msg, m.WParam, m.LParam);
    return;
  }
  if (FHandle != nullptr && FFormStyle == fsMDIChild) {
    m.Result = ::DefMDIChildProcA(FHandle, m.Msg, m.WParam, m.LParam);
    return;
  }
  TWinControl::DefaultHandler(m);
}

void TCustomForm::SetFormStyle(TFormStyle s) {
  if (SetAndCheck(FFormStyle, s)) RecreateWnd();
}

int TCustomForm::MDIChildCount() const {
  int n = 0;
  while (MDIChildren(n) != nullptr) ++n;
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
  if (FClientHandle == nullptr || Screen == nullptr || Index < 0) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->FFormStyle != fsMDIChild || f->FHandle == nullptr || ::GetParent(f->FHandle) != FClientHandle) continue;
    if (Index-- == 0) return f;
  }
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (FClientHandle == nullptr) return nullptr;
  auto h = reinterpret_cast<HWND>(::SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
  auto* f = As<TCustomForm>(FindControl(h));
  return f != nullptr && f->FFormStyle == fsMDIChild ? f : nullptr;
}

void TCustomForm::SetWindowMenu(TMenuItem* Item) {
  if (FWindowMenu == Item) return;
  if (FWindowMenu != nullptr) FWindowMenu->RemoveFreeNotification(this);
  FWindowMenu = Item;
  if (Item != nullptr) Item->FreeNotification(this);
  if (FClientHandle != nullptr && FMenu != nullptr) {
    ::SendMessageA(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(FMenu->Handle()),
                   reinterpret_cast<LPARAM>(Item != nullptr ? Item->Handle() : nullptr));
    ::DrawMenuBar(FHandle);
  }
}

void TCustomForm::MergeChildMenu(TCustomForm* Child) {
  if (FMenu == nullptr) return;
  FMenu->Merge(Child != nullptr ? Child->FMenu : nullptr);
  // The rebuilt bar lost what the client window put into it (the maximized child's icon and
  // buttons, the children's entries): it puts them back.
  if (FClientHandle != nullptr && FHandle != nullptr) {
    ::SendMessageA(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(FMenu->Handle()),
                   reinterpret_cast<LPARAM>(FWindowMenu != nullptr ? FWindowMenu->Handle() : nullptr));
    ::DrawMenuBar(FHandle);
  }
}

TRect TCustomForm::ClientRect() const {
  if (FHandle != nullptr) return TWinControl::ClientRect();
  TCreateParams p;
  const_cast<TCustomForm*>(this)->CreateParams(p);
  RECT r{0, 0, 0, 0};
  ::AdjustWindowRectEx(&r, p.Style, FMenu != nullptr ? TRUE : FALSE, p.ExStyle);
  return TRect{0, 0, std::max<int>(0, FWidth - (r.right - r.left)), std::max<int>(0, FHeight - (r.bottom - r.top))};
}

void TCustomForm::SetClientSize(TSize size) {
  if (IsLoading()) {
    // The frame depends on properties that may come later in the stored data.
    FPendingClientWidth = size.cx;
    FPendingClientHeight = size.cy;
    return;
  }
  TControl::SetClientSize(size);
}

void TCustomForm::SetClientWidthStored(int v) {
  if (IsLoading()) {
    FPendingClientWidth = v;
    return;
  }
  SetClientWidth(v);
}

void TCustomForm::SetClientHeightStored(int v) {
  if (IsLoading()) {
    FPendingClientHeight = v;
    return;
  }
  SetClientHeight(v);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (FPendingClientWidth >= 0 || FPendingClientHeight >= 0) {
    TSize s{FPendingClientWidth >= 0 ? FPendingClientWidth : ClientWidth(),
            FPendingClientHeight >= 0 ? FPendingClientHeight : ClientHeight()};
    FPendingClientWidth = FPendingClientHeight = -1;
    TControl::SetClientSize(s);
  }
  Realign();
  if (OnCreate) OnCreate(this);
}

void TCustomForm::SetAlphaBlend(bool v) {
  if (FAlphaBlend == v) return;
  FAlphaBlend = v;
  ApplyLayeredAttributes();
}

void TCustomForm::SetAlphaBlendValue(Byte v) {
  if (FAlphaBlendValue == v) return;
  FAlphaBlendValue = v;
  if (FAlphaBlend) ApplyLayeredAttributes();
}

void TCustomForm::ApplyLayeredAttributes() {
  if (FHandle == nullptr || (ComponentState() & csDesigning) != 0) return;
  const LONG ex = ::GetWindowLongA(FHandle, GWL_EXSTYLE);
  if (FAlphaBlend) {
    if ((ex & WS_EX_LAYERED) == 0) ::SetWindowLongA(FHandle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, LWA_ALPHA);
  } else if ((ex & WS_EX_LAYERED) != 0) {
    ::SetWindowLongA(FHandle, GWL_EXSTYLE, ex & ~static_cast<LONG>(WS_EX_LAYERED));
    ::RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
  if (SetAndCheck(FBorderStyle, s)) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons b) {
  if (SetAndCheck(FBorderIcons, b)) RecreateWnd();
}

void TCustomForm::SetWindowState(TWindowState s) {
  if (FWindowState == s) return;
  FWindowState = s;
  if (FHandle != nullptr && FShowing) {
    static const int cmd[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    ::ShowWindow(FHandle, cmd[s]);
  }
}

void TCustomForm::SetMenu(TMainMenu* m) {
  if (FMenu == m) return;
  if (FMenu != nullptr) {
    FMenu->SetWindowHandle(nullptr);
    FMenu->RemoveFreeNotification(this);
  }
  FMenu = m;
  if (m != nullptr) m->FreeNotification(this);
  if (FFormStyle == fsMDIChild) {
    // Shown merged into the MDI main form's bar while this child is active.
    TCustomForm* main = MDIMainForm();
    if (main != nullptr && main->ActiveMDIChild() == this) main->MergeChildMenu(this);
    return;
  }
  if (FHandle != nullptr) {
    ::SetMenu(FHandle, m != nullptr ? m->Handle() : nullptr);
    if (m != nullptr) m->SetWindowHandle(FHandle);
    if (FClientHandle != nullptr && m != nullptr) MergeChildMenu(ActiveMDIChild());
  }
}

void TCustomForm::SetIcon(TIcon* icon) {
  FIcon->Assign(icon);
  if (FHandle != nullptr) {
    LPARAM h = reinterpret_cast<LPARAM>(FIcon->Empty() ? nullptr : FIcon->GetHandle());
    ::SendMessageA(FHandle, WM_SETICON, ICON_BIG, h);
    ::SendMessageA(FHandle, WM_SETICON, ICON_SMALL, h);
  }
}

void TCustomForm::SetActiveControl(TWinControl* c) {
  if (c == this) c = nullptr;
  if (c != nullptr && !ContainsControl(c))
    throw EInvalidOperation("Invalid parameter: the control is not on this form");
  FActiveControl = c;
  if (c != nullptr && FActive && c->HandleAllocated() && c->CanFocus()) ::SetFocus(c->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* c) {
  FActiveControl = (c == this) ? nullptr : c;
  if (!IsDestroying()) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(FActiveControl));
}

void TCustomForm::FocusFirstControl() {
  if (FActiveControl == nullptr) FActiveControl = FindNextControl(nullptr, true, true);
  if (FActiveControl != nullptr && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
    ::SetFocus(FActiveControl->Handle());
  else if (FHandle != nullptr)
    ::SetFocus(FHandle);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FMenu) {
    if (FHandle != nullptr) ::SetMenu(FHandle, nullptr);
    FMenu = nullptr;
  }
  if (AComponent == FActiveControl) FActiveControl = nullptr;
  if (AComponent == FWindowMenu) FWindowMenu = nullptr;
}

// --- Showing ---------------------------------------------------------------------------------
void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle != nullptr) ::SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::UpdateShowing() {
  // A form's window exists only once it is needed (shown or asked for).
  if (FVisible && FHandle == nullptr) CreateHandle();
  TWinControl::UpdateShowing();
}

void TCustomForm::ApplyPosition() {
  if (FPositioned) return;
  FPositioned = true;
  TRect area = Screen != nullptr ? Screen->WorkAreaRect() : TRect{0, 0, 1024, 768};
  TCustomForm* center = nullptr;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: break;
    case poOwnerFormCenter:
      center = As<TCustomForm>(Owner());
      [[fallthrough]];
    case poMainFormCenter:
      if (center == nullptr && Application != nullptr) center = Application->MainForm();
      if (center == this || (center != nullptr && !center->HandleAllocated())) center = nullptr;
      break;
    default: return;
  }
  TRect target = center != nullptr ? center->BoundsRect() : area;
  int l = target.Left + (target.Width() - FWidth) / 2;
  int t = target.Top + (target.Height() - FHeight) / 2;
  // Keep the caption reachable.
  l = std::max(area.Left, std::min(l, area.Right - FWidth));
  t = std::max(area.Top, std::min(t, area.Bottom - FHeight));
  SetBounds(l, t, FWidth, FHeight);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE: WMClose(m); break;
    case WM_ACTIVATE: WMActivate(m); break;
    case WM_ACTIVATEAPP:
      if (Application != nullptr && Application->Handle() != nullptr)
        ::SendMessageA(Application->Handle(), m.WParam ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
      DefaultHandler(m);
      break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(m); break;
    case WM_SYSCOMMAND: WMSysCommand(m); break;
    case WM_COMMAND: WMCommandForm(m); break;
    case WM_INITMENUPOPUP: WMInitMenuPopup(m); break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM: WMMenuOwnerDraw(m); break;
    case WM_MENUCHAR: WMMenuChar(m); break;
    case WM_EXITMENULOOP:
      MenuLoopEnded();
      DefaultHandler(m);
      break;
    case WM_SIZE: WMSizeForm(m); break;
    case WM_MDIACTIVATE: WMMDIActivate(m); break;
    case CM_SHOWINGCHANGED: {
      if (FShowing) {
        ApplyPosition();
        static const int cmd[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ::ShowWindow(FHandle, cmd[FWindowState]);
        DoShow();
        FocusFirstControl();
      } else {
        DoHide();
        const bool activeChild = FFormStyle == fsMDIChild && MDIMainForm() != nullptr &&
                                 MDIMainForm()->ActiveMDIChild() == this;
        // A hidden child would stay the client's active one: the next child takes its place
        // first (switching away from a maximized child shows it again in normal size).
        if (activeChild)
          ::SendMessageA(MDIMainForm()->FClientHandle, WM_MDINEXT, reinterpret_cast<WPARAM>(FHandle), 0);
        ::ShowWindow(FHandle, SW_HIDE);
        if (activeChild && MDIMainForm()->ActiveMDIChild() == this) MDIMainForm()->MergeChildMenu(nullptr);
      }
      break;
    }
    case CM_DIALOGKEY: CMDialogKeyForm(m); break;
    default: TWinControl::Dispatch(m); break;
  }
}

void TCustomForm::PaintWindow(HDC DC) {
  TCanvasLock lock(*FCanvas);
  FCanvas->FreeHandle();   // a DC taken outside painting gives way to the paint DC
  TCanvasDC bound(*FCanvas, DC);
  Paint();
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::WMActivate(TMessage& m) {
  DefaultHandler(m);
  const bool active = LOWORD(m.WParam) != WA_INACTIVE;
  if (active == FActive) return;
  FActive = active;
  if (active) {
    if (Screen != nullptr) Screen->SetActiveForm(this);
    if (FActiveControl != nullptr && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
      ::SetFocus(FActiveControl->Handle());
    Activate();
  } else {
    Deactivate();
  }
}

void TCustomForm::WMMDIActivate(TMessage& m) {
  DefaultHandler(m);
  if (FFormStyle != fsMDIChild) return;
  TCustomForm* main = MDIMainForm();
  if (reinterpret_cast<HWND>(m.LParam) == FHandle) {
    if (main != nullptr) main->MergeChildMenu(this);
    if (!FActive) {
      FActive = true;
      Activate();
    }
  } else if (reinterpret_cast<HWND>(m.WParam) == FHandle) {
    if (main != nullptr && m.LParam == 0) main->MergeChildMenu(nullptr);
    if (FActive) {
      FActive = false;
      Deactivate();
    }
  }
}

void TCustomForm::WMGetMinMaxInfo(TMessage& m) {
  DefaultHandler(m);
  auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (mmi == nullptr) return;
  if (FConstraints->MinWidth() > 0) mmi->ptMinTrackSize.x = FConstraints->MinWidth();
  if (FConstraints->MinHeight() > 0) mmi->ptMinTrackSize.y = FConstraints->MinHeight();
  if (FConstraints->MaxWidth() > 0) mmi->ptMaxTrackSize.x = FConstraints->MaxWidth();
  if (FConstraints->MaxHeight() > 0) mmi->ptMaxTrackSize.y = FConstraints->MaxHeight();
  m.Result = 0;
}

void TCustomForm::WMSysCommand(TMessage& m) {
  // The main form owns the taskbar button: minimizing it minimizes the application, and so
  // does restoring it while minimized. The application window's hooks see the command first.
  const unsigned command = m.WParam & 0xFFF0;
  if (Application != nullptr && Application->MainForm() == this && Application->Handle() != nullptr &&
      (command == SC_MINIMIZE || (command == SC_RESTORE && Application->Minimized()))) {
    m.Result = ::SendMessageA(Application->Handle(), WM_SYSCOMMAND, m.WParam, m.LParam);
    return;
  }
  switch (command) {
    case SC_MINIMIZE: FWindowState = wsMinimized; break;
    case SC_MAXIMIZE: FWindowState = wsMaximized; break;
    case SC_RESTORE: FWindowState = wsNormal; break;
    default: break;
  }
  DefaultHandler(m);
}

void TCustomForm::WMSizeForm(TMessage& m) {
  switch (m.WParam) {
    case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
    case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
    case SIZE_RESTORED: FWindowState = wsNormal; break;
    default: break;
  }
  if (m.WParam != SIZE_MINIMIZED && Application != nullptr && Application->MainForm() == this)
    Application->FMinimized = false;
  WMSize(m);
}

void TCustomForm::WMCommandForm(TMessage& m) {
  // Menu commands (no control window, notification 0) go to the form's menu.
  if (m.LParam == 0 && HIWORD(m.WParam) == 0 && FMenu != nullptr &&
      FMenu->DispatchCommand(LOWORD(m.WParam))) {
    m.Result = 0;
    return;
  }
  // The active MDI child's items merged into the bar are the child's.
  if (m.LParam == 0 && HIWORD(m.WParam) == 0 && FClientHandle != nullptr)
    if (TCustomForm* child = ActiveMDIChild())
      if (child->FMenu != nullptr && child->FMenu->DispatchCommand(LOWORD(m.WParam))) {
        m.Result = 0;
        return;
      }
  WMCommand(m);
}

void TCustomForm::WMInitMenuPopup(TMessage& m) {
  MenuInitPopup(reinterpret_cast<HMENU>(m.WParam));
  DefaultHandler(m);
}

void TCustomForm::WMMenuOwnerDraw(TMessage& m) {
  if (m.LParam != 0) {
    if (m.Msg == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis->CtlType == ODT_MENU && MenuMeasureItem(*mis)) {
        m.Result = 1;
        return;
      }
      WMMeasureItem(m);
      return;
    }
    auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    if (dis->CtlType == ODT_MENU && MenuDrawItem(*dis)) {
      m.Result = 1;
      return;
    }
  }
  if (m.Msg == WM_MEASUREITEM)
    WMMeasureItem(m);
  else
    WMDrawItem(m);
}

void TCustomForm::WMMenuChar(TMessage& m) {
  // A letter typed in an open menu of the form (the menu bar or one of its sub-menus): the
  // system cannot see the accelerators of owner-drawn items, so the item is found by its
  // caption. The system menu and letters no item has stay with the default handling.
  if ((HIWORD(m.WParam) & MF_SYSMENU) == 0 && m.LParam != 0) {
    m.Result = MenuChar(static_cast<char>(LOWORD(m.WParam)), reinterpret_cast<HMENU>(m.LParam));
    if (HIWORD(m.Result) != MNC_IGNORE) return;
  }
  DefaultHandler(m);
}

void TCustomForm::CMDialogKeyForm(TMessage& m) {
  const WORD key = static_cast<WORD>(m.WParam);
  const TShiftState shift = KeyboardShiftState();
  if ((shift & (ssAlt | ssCtrl)) == 0) {
    switch (key) {
      case VK_TAB:
        SelectNext(FActiveControl, (shift & ssShift) == 0, true);
        m.Result = 1;
        return;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (FActiveControl != nullptr && FActiveControl->Parent() != nullptr) {
          FActiveControl->Parent()->SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
          m.Result = 1;
          return;
        }
        break;
      default: break;
    }
  }
  CMDialogKey(m);
}

bool TCustomForm::IsShortCut(WORD Key, TShiftState Shift) {
  if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU) return false;
  TShortCut sc = static_cast<TShortCut>(Key & 0xFF);
  if (Shift & ssShift) sc |= scShift;
  if (Shift & ssCtrl) sc |= scCtrl;
  if (Shift & ssAlt) sc |= scAlt;
  if (FMenu != nullptr && FMenu->IsShortCut(sc)) return true;
  return DispatchActionShortCut(this, sc);
}

void TCustomForm::RefreshActions() { UpdateActionsOf(this); }

// --- Modal showing and closing ---------------------------------------------------------------
TModalResult TCustomForm::ShowModal() {
  if (Application == nullptr) throw EInvalidOperation("No application object");
  if (FVisible || !FEnabled || (FFormState & fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND cap = ::GetCapture()) ::SendMessageA(cap, WM_CANCELMODE, 0, 0);
  ::ReleaseCapture();
  HWND previous = ::GetActiveWindow();
  HandleNeeded();
  if (Application != nullptr) Application->ModalStarted();
  FFormState |= fsModal;
  FModalResult = mrNone;
  {
    TTaskWindowsDisabler disabled(FHandle);
    try {
      Show();
      do {
        Application->HandleMessage();
        if (Application->Terminated())
          FModalResult = mrCancel;
        else if (FModalResult != mrNone)
          CloseModal();
      } while (FModalResult == mrNone);
    } catch (...) {
      FFormState &= ~fsModal;
      Hide();
      Application->ModalFinished();
      throw;
    }
    // Hide before the other windows come back, so activation goes to the right one.
    Hide();
  }
  FFormState &= ~fsModal;
  if (previous != nullptr && ::IsWindow(previous)) ::SetActiveWindow(previous);
  if (Application != nullptr) Application->ModalFinished();
  return FModalResult;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
  if (FFormState & fsModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (FHandle == nullptr) return;
  FReleasePending = true;
  ::PostMessageA(FHandle, CM_RELEASE, 0, 0);
}

void TCustomForm::WMClose(TMessage& m) {
  Close();
  m.Result = 0;
}

// =============================================================================================
// TApplication
TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  Destroying();
  // The hint window is owned by the application window: it goes first.
  CancelHint();
  FHintWindow.reset();
  // Forms go first (the last created first), while the application window still exists.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  WakeMainThread = nullptr;
  // Released first, so that the window's last messages no longer reach this object.
  HWND h = FWindow.Release();
  if (h != nullptr) ::DestroyWindow(h);
}

void TApplication::Initialize() {
  if (FWindow.Valid()) return;
  SetMainThread();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &AppWndProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kAppClass;
  wc.hIcon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  if (::RegisterClassA(&wc) == 0) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_CLASS_ALREADY_EXISTS) RaiseWin32Error("RegisterClass TApplication", code);
  }
  if (FTitle.empty()) {
    std::string exe = ExtractFileName(ExeName());
    FTitle = ChangeFileExt(exe, "");
  }
  // The hidden owner of every form; its caption is the application's title.
  HWND h = ::CreateWindowExA(0, kAppClass, FTitle.c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             0, 0, 0, 0, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (h == nullptr) {
    const DWORD code = ::GetLastError();
    RaiseWin32Error("CreateWindowEx TApplication", code);
  }
  FWindow.Reset(h);
  // Queued Synchronize calls wake the loop through the application window.
  WakeMainThread = [h]() { ::PostMessageA(h, WM_NULL, 0, 0); };
}

void TApplication::SetTitle(const std::string& t) {
  FTitle = t;
  if (FWindow.Valid()) ::SetWindowTextA(FWindow.Get(), t.c_str());
}

std::string TApplication::ExeName() const {
  char buf[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return std::string(buf, std::min<DWORD>(n, MAX_PATH));
}

namespace {
// Splits the command line as the C runtime does for simple cases: blanks separate, double
// quotes group and are removed.
std::vector<std::string> CommandLineParams() {
  std::vector<std::string> out;
  const char* p = ::GetCommandLineA();
  if (p == nullptr) return out;
  while (*p != '\0') {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') break;
    std::string cur;
    bool quoted = false;
    while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '"')
        quoted = !quoted;
      else
        cur += *p;
      ++p;
    }
    out.push_back(cur);
  }
  return out;
}
}  // namespace

std::string TApplication::ParamStr(int i) {
  if (i == 0 && Application != nullptr) return Application->ExeName();
  std::vector<std::string> params = CommandLineParams();
  if (i < 0 || i >= static_cast<int>(params.size())) return std::string();
  return params[static_cast<size_t>(i)];
}

int TApplication::ParamCount() {
  int n = static_cast<int>(CommandLineParams().size()) - 1;
  return n < 0 ? 0 : n;
}

void TApplication::Run() {
  if (FMainForm == nullptr) return;
  FMainForm->Show();
  while (!FTerminated) {
    HandleMessage();
    if (FMainForm == nullptr) FTerminated = true;
  }
  // The application window is never shown, so the system never tells it that it goes: the
  // hooks learn it here while the main form still shows (they may play its hide).
  if (FMainForm != nullptr && FMainForm->HandleAllocated() && ::IsWindowVisible(FMainForm->Handle())) {
    WINDOWPOS pos{};
    pos.hwnd = FWindow.Get();
    pos.flags = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    TMessage m{WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos), 0};
    CallHooks(m);
  }
}

void TApplication::Minimize() {
  if (FMinimized) return;
  FMinimized = true;
  if (FMainForm != nullptr && FMainForm->HandleAllocated())
    ::ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!FMinimized) return;
  FMinimized = false;
  if (FMainForm != nullptr && FMainForm->HandleAllocated() && ::IsIconic(FMainForm->Handle()))
    ::ShowWindow(FMainForm->Handle(), SW_RESTORE);
  // WM_SIZE of the restore cleared the state already.
  FMinimized = false;
  if (OnRestore) OnRestore(this);
}

void TApplication::Terminate() {
  // The loop ends when the quit message arrives, after what is queued before it.
  ::PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  if (CarriesStructureAddress(msg.message)) return true;   // posted from outside: see Messages.h
  CancelHintOnInput(msg);
  // The MDI children's keyboard commands (Ctrl+F4, Ctrl+F6) go to the client window.
  if (TCustomForm* mdi = TCustomForm::MDIMainForm())
    if (::TranslateMDISysAccel(mdi->ClientHandle(), &msg)) return true;
  if (!IsKeyMsg(msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
  CheckSynchronize();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) {
    Idle();
    if (!CheckSynchronize() && !FTerminated) ::WaitMessage();
  }
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR &&
      msg.message != WM_SYSCHAR)
    return false;
  // The focused window may be an inner window of a control (a combo box's edit): ask the
  // nearest framework control up the parents.
  HWND h = msg.hwnd;
  TWinControl* c = nullptr;
  while (h != nullptr && (c = FindControl(h)) == nullptr) {
    if ((::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) == 0) break;
    h = ::GetParent(h);
  }
  if (c == nullptr) return false;
  return c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

void TApplication::Idle() {
  FreeDeviceContexts();
  bool done = true;
  if (OnIdle) {
    try {
      OnIdle(this, done);
    } catch (...) {
      HandleException(this);
    }
  }
  if (Screen == nullptr) return;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (!f->Visible()) continue;
    try {
      f->RefreshActions();
    } catch (...) {
      HandleException(f);
    }
  }
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  try {
    try {
      std::rethrow_exception(ep);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
      if (OnException)
        OnException(Sender, e);
      else
        ShowException(e);
    } catch (...) {
      Exception e("Unknown exception");
      if (OnException)
        OnException(Sender, e);
      else
        ShowException(e);
    }
  } catch (...) {
    // The handler itself failed: nothing more can be done safely here.
  }
}

void TApplication::ShowException(const std::exception& E) {
  std::string msg = E.what();
  if (!msg.empty() && msg.back() > '.') msg += '.';
  HWND owner = ::GetActiveWindow();
  ::MessageBoxA(owner, msg.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP);
}

int TApplication::HookMainWindow(TWindowHook hook) {
  int cookie = FNextHook++;
  FHooks.emplace_back(cookie, std::move(hook));
  return cookie;
}

void TApplication::UnhookMainWindow(int cookie) {
  FHooks.erase(std::remove_if(FHooks.begin(), FHooks.end(), [cookie](const auto& p) { return p.first == cookie; }),
               FHooks.end());
}

void TApplication::ModalStarted() {
  ++FModalLevel;
  if (FModalLevel == 1 && OnModalBegin) OnModalBegin(this);
}

void TApplication::ModalFinished() {
  if (FModalLevel > 0) --FModalLevel;
  if (FModalLevel == 0 && OnModalEnd) OnModalEnd(this);
}

void TApplication::SetMouseControl(TControl* c) {
  if (FMouseControl == c) return;
  TControl* old = FMouseControl;
  FMouseControl = c;
  if (old != nullptr) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  if (c != nullptr && FMouseControl == c) c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
  HintMouseControlChanged();
}

void TApplication::ForgetControl(TControl* c) {
  if (FMouseControl != c) return;
  FMouseControl = nullptr;
  CancelHint();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

bool TApplication::CallHooks(TMessage& m) {
  // Newest first; a copy, since a hook may unhook.
  auto hooks = FHooks;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    if (it->second(m)) return true;
  }
  return false;
}

void TApplication::WndProc(TMessage& m) {
  // Hooks see every message first.
  if (CallHooks(m)) return;
  switch (m.Msg) {
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE) {
        Minimize();
        m.Result = 0;
        return;
      }
      if ((m.WParam & 0xFFF0) == SC_RESTORE) {
        Restore();
        m.Result = 0;
        return;
      }
      break;
    case WM_NULL:
      CheckSynchronize();
      m.Result = 0;
      return;
    case WM_CLOSE:
      if (FMainForm != nullptr) FMainForm->Close();
      m.Result = 0;
      return;
    case CM_ACTIVATE:
      if (OnActivate) OnActivate(this);
      return;
    case CM_DEACTIVATE:
      CancelHint();
      if (OnDeactivate) OnDeactivate(this);
      return;
    case WM_TIMER:
      if (HintTimerMessage(m)) return;
      break;
    default: break;
  }
  m.Result = ::DefWindowProcA(FWindow.Get(), m.Msg, m.WParam, m.LParam);
}

// =============================================================================================
// TScreen
TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

TFont* TScreen::MenuFont() {
  if (!FMenuFont) {
    FMenuFont = std::make_unique<TFont>();
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    TOwnedFont system(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)
                          ? ::CreateFontIndirectA(&ncm.lfMenuFont)
                          : nullptr);
    FMenuFont->SetHandle(system.Valid() ? system.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  }
  return FMenuFont.get();
}

void TScreen::AddForm(TCustomForm* f) { FForms.push_back(f); }

void TScreen::RemoveForm(TCustomForm* f) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end());
  if (FActiveForm == f) FActiveForm = nullptr;
  if (FActiveControl != nullptr && f->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* f) { FActiveForm = f; }

HCURSOR TScreen::Cursors(TCursor c) const {
  LPCSTR id = reinterpret_cast<LPCSTR>(IDC_ARROW);
  switch (c) {
    case crNone: return nullptr;
    case crCross: id = reinterpret_cast<LPCSTR>(IDC_CROSS); break;
    case crIBeam: id = reinterpret_cast<LPCSTR>(IDC_IBEAM); break;
    case crSizeNESW: id = reinterpret_cast<LPCSTR>(IDC_SIZENESW); break;
    case crSizeNS: id = reinterpret_cast<LPCSTR>(IDC_SIZENS); break;
    case crSizeNWSE: id = reinterpret_cast<LPCSTR>(IDC_SIZENWSE); break;
    case crSizeWE: id = reinterpret_cast<LPCSTR>(IDC_SIZEWE); break;
    case crUpArrow: id = reinterpret_cast<LPCSTR>(IDC_UPARROW); break;
    case crHourGlass: id = reinterpret_cast<LPCSTR>(IDC_WAIT); break;
    case crNo: id = reinterpret_cast<LPCSTR>(IDC_NO); break;
    case crAppStart: id = reinterpret_cast<LPCSTR>(IDC_APPSTARTING); break;
    case crHelp: id = reinterpret_cast<LPCSTR>(IDC_HELP); break;
    case crHandPoint: id = reinterpret_cast<LPCSTR>(IDC_HAND); break;
    case crSizeAll: id = reinterpret_cast<LPCSTR>(IDC_SIZEALL); break;
    default: break;
  }
  // System cursors are shared: never destroyed.
  return ::LoadCursorA(nullptr, id);
}

void TScreen::SetCursor(TCursor c) {
  FCursor = c;
  POINT p{};
  ::GetCursorPos(&p);
  ::SetCursorPos(p.x, p.y);   // makes the window under the mouse ask for its cursor again
  if (c != crDefault) ::SetCursor(Cursors(c));
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return TRect{0, 0, Width(), Height()};
  return ToTRect(r);
}

int TScreen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

// =============================================================================================
void InitForms() {
  if (Screen == nullptr) Screen = new TScreen(nullptr);
  if (Application == nullptr) Application = new TApplication(nullptr);
}

void DoneForms() {
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
}

// ---------------------------------------------------------------------------------------------
// System settings.

namespace {
std::optional<bool> DragFullWindowsFixed;
}

bool DragFullWindows() {
  if (DragFullWindowsFixed) return *DragFullWindowsFixed;
  BOOL on = FALSE;
  return ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) != 0 && on != FALSE;
}

void SetDragFullWindowsOverride(std::optional<bool> value) { DragFullWindowsFixed = value; }
