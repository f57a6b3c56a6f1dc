// Forms and the two process-wide objects of the GUI: TApplication (the message loop, the hidden
// "TApplication" window, exception handling, idle action updates, modal notices) and TScreen
// (the forms in creation order, the active form, cursors, the work area); TCustomForm/TForm
// (border styles, position, modal showing, closing, the main menu, action shortcuts).
//
// Ownership: Application owns the forms made by CreateForm (destroyed last-created first when
// Application is freed by DoneForms); Screen only lists forms. Application owns its window;
// a form owns its window like any windowed control, and borrows its Menu and Icon.
//
// Start-up and shut-down: InitForms() makes Application and Screen; DoneForms() frees them
// (forms first). They are explicit steps of the program's start-up list.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/Menus.h"

class TMainMenu;
class TMenu;
class TIcon;
class TCustomActionList;
class THintWindow;

// Modal results: what a modal form returns (buttons set them).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;           // 1
constexpr TModalResult mrCancel = IDCANCEL;   // 2
constexpr TModalResult mrAbort = IDABORT;     // 3
constexpr TModalResult mrRetry = IDRETRY;     // 4
constexpr TModalResult mrIgnore = IDIGNORE;   // 5
constexpr TModalResult mrYes = IDYES;         // 6
constexpr TModalResult mrNo = IDNO;           // 7
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;
constexpr TModalResult mrClose = mrYesToAll + 1;

// A positive answer: OK, Yes, All or Yes to all.
inline bool IsPositiveResult(TModalResult r) {
  return r == mrOk || r == mrYes || r == mrAll || r == mrYesToAll;
}

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderIcons = std::uint8_t;
enum TBorderIcon : std::uint8_t { biSystemMenu = 0x1, biMinimize = 0x2, biMaximize = 0x4, biHelp = 0x8 };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter,
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
// A plain form, a child inside the MDI main form's client window, the MDI main form (its
// client window holds the children), or a form kept above the others.
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// Form state bits.
using TFormState = std::uint16_t;
enum TFormStateFlag : std::uint16_t { fsCreating = 0x1, fsVisible = 0x2, fsShowing = 0x4, fsModal = 0x8 };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
// A hook on the application window: true when the message was handled (the window procedure
// then returns Message.Result without further handling).
using TWindowHook = std::function<bool(TMessage& Message)>;

// ---------------------------------------------------------------------------------------------
// The system's setting for dragging full windows (SPI_GETDRAGFULLWINDOWS); tests fix the
// answer (nullopt: the system's again).
bool DragFullWindows();
void SetDragFullWindowsOverride(std::optional<bool> value);

class TCustomForm : public TWinControl {
  ORBEX_CLASS(TCustomForm, TWinControl)
public:
  // Makes an empty form (hidden, 320 x 240, dialog face colour). Its stored form data are
  // read by ReadStoredForm: Application->CreateForm calls it after construction, and a form
  // whose constructor uses its stored components calls it first in its constructor body (a
  // base-class constructor cannot: the form's own class and fields do not exist yet).
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Reads the stored form data named after the form's class (an RCDATA resource of the
  // executable), once; nothing when there is none. Raises EReadError/EPropertyError (and
  // whatever a component raises) for bad data; the form then keeps what was read so far.
  void ReadStoredForm();
  bool StoredFormRead() const { return FStoredFormRead; }

  void Show() override;
  void Hide() override;
  // Shows the form modally: disables the application's other windows, runs a message loop
  // (serving Synchronize calls) until ModalResult is set, hides the form and returns the
  // result. Raises EInvalidOperation "Cannot make a visible window modal" for a visible form.
  virtual TModalResult ShowModal();
  // Closes the form: OnCloseQuery may refuse; OnClose chooses the action (hide; the main
  // form's close ends the application). A modal form gets ModalResult mrCancel.
  void Close();
  // Asks OnCloseQuery; true when the form may close.
  virtual bool CloseQuery();
  // Frees the form once the messages now queued have been handled.
  void Release();
  // True once Release was called: the queued CM_RELEASE then frees the form.
  bool ReleasePending() const { return FReleasePending; }

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult r) { FModalResult = r; }
  TFormState FormState() const { return FFormState; }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle s);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons b);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition p) { FPosition = p; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState s);
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* m);
  // The form's style; a change re-creates the window. An fsMDIChild form needs the
  // application's main form to be an fsMDIForm when its window is made (EInvalidOperation
  // otherwise).
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle s);
  // MDI main forms: the system's "MDICLIENT" window, which fills the client area beside the
  // aligned controls (0 for other forms and before the window exists).
  HWND ClientHandle() const { return FClientHandle; }
  // The MDI children whose windows live in this form's client window, in creation order.
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int Index) const;   // null when out of range
  TCustomForm* ActiveMDIChild() const;
  // The menu item whose sub-menu lists the MDI children (WM_MDISETMENU).
  TMenuItem* WindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Item);
  // The application's main form when it is an MDI main form with its client window, else null.
  static TCustomForm* MDIMainForm();
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* icon);
  TCanvas* Canvas() const { return FCanvas.get(); }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* c);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }
  bool Active() const { return FActive; }
  // Whole-window translucency: with AlphaBlend the window is layered and shown with
  // AlphaBlendValue as its constant alpha (255 opaque); without, it is not layered.
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool v);
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte v);

  // Runs the update step of every action of the form's action lists (and OnUpdate events);
  // the application calls it when idle. Forms override it to add their own step.
  virtual void RefreshActions();
  // Runs the action or menu item whose shortcut matches; true when one was found.
  virtual bool IsShortCut(WORD Key, TShiftState Shift);
  void SetFocusedControl(TWinControl* c);
  // Sets focus to the first tab stop when no control has it.
  void FocusFirstControl();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  // MDI forms end in the system's frame (DefFrameProc) or MDI child (DefMDIChildProc)
  // handling instead of the plain default procedure.
  void DefaultHandler(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // An MDI main form puts its client window into what the aligned controls leave.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  // The MDI main form's menu bar shows the active child's menu merged into its own (an MDI
  // child has no menu bar of its own); null: its own menu alone.
  void MergeChildMenu(TCustomForm* Child);

  void PaintWindow(HDC DC) override;
  void UpdateShowing() override;
  virtual void DoClose(TCloseAction& Action);
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Moves the form for Position before its first showing.
  void ApplyPosition();
  void CloseModal();
  // Puts AlphaBlend and AlphaBlendValue on the window.
  void ApplyLayeredAttributes();

  void WMClose(TMessage& m);
  void WMActivate(TMessage& m);
  void WMGetMinMaxInfo(TMessage& m);
  void WMMDIActivate(TMessage& m);
  void WMSysCommand(TMessage& m);
  void WMCommandForm(TMessage& m);
  void WMInitMenuPopup(TMessage& m);
  void WMMenuOwnerDraw(TMessage& m);
  void WMMenuChar(TMessage& m);
  void WMSizeForm(TMessage& m);
  void CMRelease(TMessage& m);
  void CMDialogKeyForm(TMessage& m);

  TModalResult FModalResult = mrNone;
  bool FReleasePending = false;
  TFormState FFormState = 0;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition FPosition = poDefaultPosOnly;
  TWindowState FWindowState = wsNormal;
  TMainMenu* FMenu = nullptr;
  TFormStyle FFormStyle = fsNormal;
  HWND FClientHandle = nullptr;
  TMenuItem* FWindowMenu = nullptr;
  std::unique_ptr<TIcon> FIcon;
  std::unique_ptr<TControlCanvas> FCanvas;
  TWinControl* FActiveControl = nullptr;
  bool FKeyPreview = false;
  bool FActive = false;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  bool FPositioned = false;
  bool FStoredFormRead = false;
  // Client size from stored data, applied in Loaded (the frame depends on properties that
  // may come later in the data).
  int FPendingClientWidth = -1;
  int FPendingClientHeight = -1;

public:
  // The stored-form setters of ClientWidth and ClientHeight.
  void SetClientWidthStored(int v);
  void SetClientHeightStored(int v);
  // Without a window, the client size follows from the outer size and the frame that the
  // border style, border icons and menu give (AdjustWindowRectEx).
  TRect ClientRect() const override;
  void SetClientSize(TSize size) override;
};

class TForm : public TCustomForm {
  ORBEX_CLASS(TForm, TCustomForm)
public:
  using TCustomForm::TCustomForm;
};

// ---------------------------------------------------------------------------------------------
// A frame: a windowed container designed like a form and placed on forms (or other containers).
// Its stored data, named after its class like a form's, is read when it is made: the
// components there belong to the frame and are told Loaded afterwards; the data of whatever
// places the frame (name, bounds) applies after it. Popup menus it owns are its components.
// It does not scroll its contents.
class TFrame : public TWinControl {
  ORBEX_CLASS(TFrame, TWinControl)
public:
  explicit TFrame(TComponent* AOwner);
  // Owned components go first, while the frame's window and controls still exist (an adapter
  // on the frame gives its window method back).
  ~TFrame() override;
  // Reads the frame's stored data (see ReadStoredForm).
  void AfterConstruction() override;
  // Reads the stored data named after the frame's class, once; nothing when there is none.
  void ReadStoredFrame();
  bool StoredFrameRead() const { return FStoredFrameRead; }

private:
  bool FStoredFrameRead = false;
};

// Start-up step: registers the frame class by name. Runs once.
void InitFrameClasses();

// ---------------------------------------------------------------------------------------------
class TApplication : public TComponent {
  ORBEX_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Registers the common controls and makes the application window.
  void Initialize();
  // Makes a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = nullptr;
    T* form = new T(this);
    Reference = form;
    if (FMainForm == nullptr) FMainForm = form;
    form->ReadStoredForm();
    form->AfterConstruction();
  }
  // Shows the main form (when visible or not yet shown) and handles messages until
  // Terminate; returns at once without a main form.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles every waiting message, then returns.
  void ProcessMessages();
  // Handles one message, or goes idle (actions updated, Synchronize served, waits).
  void HandleMessage();
  // Shows an exception: OnException when assigned, else an error box with its message;
  // EAbort is silent. Never throws.
  void HandleException(TObject* Sender);
  void ShowException(const std::exception& E);
  HWND Handle() const { return FWindow.Get(); }
  TCustomForm* MainForm() const { return FMainForm; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& t);
  std::string ExeName() const;
  // Command-line parameters; 0 is the program's path. Out of range: "".
  static std::string ParamStr(int i);
  static int ParamCount();
  // Hooks on the application window, called before its own handling, newest first.
  // HookMainWindow returns a cookie for UnhookMainWindow.
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int cookie);
  // The application as a whole minimized: the main form owns the taskbar button, so it
  // stands for the application window being iconic. Minimize shows the main form minimized
  // and fires OnMinimize; Restore shows it again as it was and fires OnRestore. Both do
  // nothing when the state is already so.
  void Minimize();
  void Restore();
  bool Minimized() const { return FMinimized; }
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  void ModalStarted();
  void ModalFinished();
  int ModalLevel() const { return FModalLevel; }
  // Idle step: action updates of the visible forms (and OnIdle).
  void Idle();
  // Hints (implemented in HintWindow.cpp). When the mouse control changes to one whose hint
  // shows (ShowHint, or its parent's through ParentShowHint, and a Hint), the hint window
  // shows its short part below the cursor after HintPause (HintShortPause while hints are
  // showing), and hides after HintHidePause, on leaving, a click, a key or deactivation.
  // Off (ShowHint false): no hint window at all; Hint and OnHint still follow the mouse.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) {
    FShowHint = v;
    if (!v) CancelHint();
  }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor c) { FHintColor = c; }
  // Pauses in milliseconds (negative values count as 0).
  int HintPause() const { return FHintPause; }
  void SetHintPause(int ms) { FHintPause = ms < 0 ? 0 : ms; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int ms) { FHintShortPause = ms < 0 ? 0 : ms; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int ms) { FHintHidePause = ms < 0 ? 0 : ms; }
  // The long part of the hint of the control under the mouse ("" over none); setting a new
  // text fires OnHint (a status bar shows it).
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  TNotifyEvent OnHint;
  // Hides the hint and stops its timers; the next hint needs a new mouse control.
  void CancelHint();
  // Shows the hint of the mouse control now, for the cursor at CursorPos (screen), after
  // asking the control with CM_HINTSHOW (LParam: THintInfo*; non-zero result: no hint).
  void ActivateHint(TPoint CursorPos);
  // Re-dispatches application messages to the key-handling path: true when handled.
  bool IsKeyMsg(MSG& msg);

  // The control under the mouse: a change sends CM_MOUSELEAVE to the old one and
  // CM_MOUSEENTER to the new one (LParam: the control).
  TControl* MouseControl() const { return FMouseControl; }
  void SetMouseControl(TControl* c);
  // A control is going away: forget it without telling it anything.
  void ForgetControl(TControl* c);

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnModalBegin;
  TNotifyEvent OnModalEnd;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // Internal: the window method of the application window.
  void WndProc(TMessage& m);
  // Makes a form the main form (CreateForm does this for the first form).
  void SetMainForm(TCustomForm* f) { FMainForm = f; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool ProcessMessage(MSG& msg);
  // Runs the hooks, newest first: true when one handled the message.
  bool CallHooks(TMessage& m);
  // The main form was shown normal or maximized by other means than Restore.
  friend class TCustomForm;
  bool FMinimized = false;
  // Hints (HintWindow.cpp): one timer, whose expiry shows the hint, hides it, or ends the
  // quick mode (HintShortPause) that follows a shown hint.
  enum class THintTimerKind { None, Show, Hide, EndHintMode };
  void HintMouseControlChanged();
  bool HintTimerMessage(TMessage& m);
  void CancelHintOnInput(const MSG& msg);
  void StartHintTimer(int Milliseconds, THintTimerKind Kind);
  void StopHintTimer();
  void HideHintWindow();
  std::unique_ptr<THintWindow> FHintWindow;
  TOwnedTimer FHintTimer;
  THintTimerKind FHintTimerKind = THintTimerKind::None;
  bool FHintActive = false;
  TColor FHintColor = clInfoBk;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  std::string FHint;
  TOwnedWindow FWindow;
  TCustomForm* FMainForm = nullptr;
  TControl* FMouseControl = nullptr;
  std::string FTitle;
  bool FTerminated = false;
  bool FShowHint = true;
  bool FHandleCreated = false;
  int FModalLevel = 0;
  int FNextHook = 1;
  std::vector<std::pair<int, TWindowHook>> FHooks;
};

// ---------------------------------------------------------------------------------------------
class TScreen : public TComponent {
  ORBEX_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int i) const { return FForms.at(static_cast<size_t>(i)); }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  // The system cursor of a cursor index (crDefault: the arrow); unknown indexes: the arrow.
  HCURSOR Cursors(TCursor c) const;
  // Screen-wide cursor (crDefault: controls choose their own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor c);
  TRect WorkAreaRect() const;
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int Width() const;
  int Height() const;
  // The system's menu font, which every menu measures and draws with (made on first use,
  // owned by the screen).
  TFont* MenuFont();

  // Internal: kept by the forms.
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  void SetActiveForm(TCustomForm* f);
  void SetActiveControl(TWinControl* c) { FActiveControl = c; }

private:
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::unique_ptr<TFont> FMenuFont;
};

extern TApplication* Application;
extern TScreen* Screen;

// Makes Application and Screen (once); DoneForms frees the application (and its forms), then
// the screen.
void InitForms();
void DoneForms();
