// The control core of the framework: TControl (any visual element, with or without a window),
// TWinControl (a control with a Win32 window), TGraphicControl and TCustomControl (controls that
// paint themselves on a canvas), alignment, anchors, size constraints, mouse enter and leave,
// the window method chain (WindowProc -> WndProc -> Dispatch -> DefaultHandler) and the
// registration of window classes named after the framework classes. Implemented in Controls.cpp
// (TControl and the painting controls) and WinControl.cpp (TWinControl and window procedure).
//
// Ownership: a control's Owner (TComponent) destroys it; its Parent only lists it. A windowed
// control owns its window handle and destroys it (children first) in DestroyHandle and in its
// destructor; a windowed control destroys the child controls still listed when it is destroyed.
// A window finds its control through a window property set on its first message.
//
// Sections: enums and events; TSizeConstraints; TControl; TCreateParams and TWinControl;
// TControlCanvas, TGraphicControl, TCustomControl; free helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/Types.h"
#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"
#include "framework/win/UtilWindow.h"
#include "framework/win/WinTypes.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

ORBEX_EXCEPTION(EInvalidOperation, Exception);

// ---------------------------------------------------------------------------------------------
// Enumerations and sets (sets are bit masks of the flags below).

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

using TAnchors = std::uint8_t;
enum TAnchorKind : std::uint8_t { akLeft = 0x1, akTop = 0x2, akRight = 0x4, akBottom = 0x8 };

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TShiftState = std::uint16_t;
enum TShiftFlag : std::uint16_t {
  ssShift = 0x1, ssAlt = 0x2, ssCtrl = 0x4, ssLeft = 0x8, ssRight = 0x10, ssMiddle = 0x20,
  ssDouble = 0x40,
};

// ControlStyle: what a control is and does.
using TControlStyle = std::uint32_t;
enum TControlStyleFlag : std::uint32_t {
  csAcceptsControls = 1u << 0,   // may be the parent of other controls
  csCaptureMouse = 1u << 1,      // captures the mouse while a button is down
  csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3,       // a button press and release inside fires Click
  csFramed = 1u << 4,
  csSetCaption = 1u << 5,        // the caption follows the Name until set
  csOpaque = 1u << 6,            // paints its whole client area itself
  csDoubleClicks = 1u << 7,      // receives double clicks (else they are single clicks)
  csFixedWidth = 1u << 8,
  csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10,
  csReplicatable = 1u << 11,
  csNoStdEvents = 1u << 12,      // mouse and key events are not fired
  csDisplayDragImage = 1u << 13,
  csReflector = 1u << 14,
  csActionClient = 1u << 15,     // linked to an action
  csMenuEvents = 1u << 16,
  csNeedsBorderPaint = 1u << 17,
  csParentBackground = 1u << 18, // shows the parent's background
};

// ControlState: transient states. The values are fixed (the skinning engine tests 0x80).
using TControlState = std::uint32_t;
enum TControlStateFlag : std::uint32_t {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,
  csPalette = 1u << 2,
  csReadingState = 1u << 3,
  csAlignmentNeeded = 1u << 4,
  csFocusing = 1u << 5,
  csCreating = 1u << 6,
  csPaintCopy = 1u << 7,         // painting a copy (PaintTo), not the screen
  csCustomPaint = 1u << 8,
  csDestroyingHandle = 1u << 9,
  csDocking = 1u << 10,
};

// Cursors: indexes into Screen->Cursors.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Shift state from the key and mouse flags of a mouse message's WParam (and the keyboard).
TShiftState KeysToShiftState(WPARAM keys);
// Shift state of the keyboard right now (for key messages).
TShiftState KeyboardShiftState();

// ---------------------------------------------------------------------------------------------
// Minimum and maximum size of a control (0: no limit). For forms they limit the outer size.
class TSizeConstraints : public TPersistent {
  ORBEX_CLASS(TSizeConstraints, TPersistent)
public:
  TSizeConstraints() = default;
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  int MaxWidth() const { return FMaxWidth; }
  int MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(int v);
  void SetMinHeight(int v);
  void SetMaxWidth(int v);
  void SetMaxHeight(int v);
  void Assign(TPersistent* source) override;
  // Applies the limits to a size (a negative limit counts as none).
  void Constrain(int& width, int& height) const;
  TNotifyEvent OnChange;

private:
  void Change();
  int FMinWidth = 0;
  int FMinHeight = 0;
  int FMaxWidth = 0;
  int FMaxHeight = 0;
};

// ---------------------------------------------------------------------------------------------
class TControl : public TComponent {
  ORBEX_CLASS(TControl, TComponent)
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // --- Parent and geometry (pixels; Left/Top in the parent's client coordinates) ----------
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  // Moves and sizes the control (size limited by Constraints), realigns its parent's
  // children and fires Resize when the size changed.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // Client area in client coordinates (origin 0, 0).
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int v) { SetClientSize(TSize{v, ClientHeight()}); }
  void SetClientHeight(int v) { SetClientSize(TSize{ClientWidth(), v}); }
  virtual void SetClientSize(TSize size);
  // Screen position of the client area's origin.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TSizeConstraints* Constraints() const { return FConstraints.get(); }

  // --- Appearance -----------------------------------------------------------------------
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  virtual void Show();
  virtual void Hide();
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool v);
  TColor Color() const { return FColor; }
  void SetColor(TColor c);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* f);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v);
  // Caption and Text are one string; windowed controls keep it in their window.
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& s) { SetText(s); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& s);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign a);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors a);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor c);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& h) { FHint = h; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* m);

  // --- Actions --------------------------------------------------------------------------
  // The linked action (null when none). Linking copies the action's caption, hint, enabled
  // and visible state now and whenever the action changes; Click executes the action unless
  // OnClick is assigned.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* a);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }

  // --- Style and state ------------------------------------------------------------------
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle s) { FControlStyle = s; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState s) { FControlState = s; }

  // --- Painting -------------------------------------------------------------------------
  virtual void Invalidate();
  // Invalidate and Update: paints now.
  virtual void Repaint();
  // Paints what is invalid now (the parent window's update region for a graphic control).
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // --- Messages -------------------------------------------------------------------------
  // The control's window method. Initially calls WndProc; adapters replace it with their own
  // and chain to the one they saved, and put it back when they detach.
  TWndMethod WindowProc;
  // Sends a message to the control through WindowProc, with or without a window handle.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  // First stage: mouse and key bookkeeping, then Dispatch.
  virtual void WndProc(TMessage& Message);
  // Message handlers by number: each class handles its messages and passes the others to
  // its parent class's Dispatch; the last stage is DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  // Messages no handler answered: text messages for controls without a window.
  virtual void DefaultHandler(TMessage& Message);

  // --- Events ---------------------------------------------------------------------------
  virtual void Click();
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // Called by the action link when the linked action changed.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);

  void Loaded() override;
  // True for TWinControl and its descendants (a cheap test used on hot paths).
  virtual bool IsWindowed() const { return false; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual std::string GetText() const;
  virtual void Resize();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  // Asks the parent to realign its children because this control's alignment changed.
  virtual void RequestAlign();
  virtual TControlActionLink* CreateActionLink();
  // The parent's colour, font or hint switch changed; copies it when Parent* is set.
  virtual void ParentFontChanged();
  // Called when the control's own font changed (FFont's OnChange).
  virtual void FontChanged();
  // Records the distances to the parent's edges that Anchors keep.
  void UpdateAnchorRules();
  // Screen rectangle of a graphic control in its parent window's client coordinates.
  TRect ParentClientBounds() const { return BoundsRect(); }
  // Handlers.
  void WMLButtonDown(TMessage& m);
  void WMLButtonUp(TMessage& m);
  void WMButtonDown(TMessage& m, TMouseButton b);
  void WMButtonUp(TMessage& m, TMouseButton b);
  void WMMouseMove(TMessage& m);
  void WMLButtonDblClk(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMTextChanged(TMessage& m);
  void CMParentFontChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void CMParentShowHintChanged(TMessage& m);
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  void CMHitTest(TMessage& m);

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor;
  bool FParentColor = true;
  bool FParentFont = true;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  TCursor FCursor = crDefault;
  std::string FText;
  std::string FHint;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TSizeConstraints> FConstraints;
  std::unique_ptr<TControlActionLink> FActionLink;
  TPopupMenu* FPopupMenu = nullptr;
  // Anchor rules: the bounds and the parent's client size when they were taken; alignment
  // keeps the distances to the anchored edges from these.
  TRect FAnchorBounds;
  TSize FAnchorParentSize;
  bool FAnchorRulesValid = false;
  bool FInFontChange = false;
  // The graphic control that holds the mouse capture through its parent's window (GUI thread).
  static TControl* FCaptureControl;

  friend class TWinControl;
};

// ---------------------------------------------------------------------------------------------
// What CreateWnd passes to CreateWindowEx; CreateParams overrides adjust it.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};   // lpfnWndProc is set by the framework
  std::string WinClassName;  // the framework class name unless changed
};

class TWinControl : public TControl {
  ORBEX_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* AOwner);
  // Frees the child controls still listed, then the window.
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }

  // The window handle, created (with the parents' handles) when first asked for. Raises
  // EInvalidOperation "Control '<name>' has no parent window" for a child without parent.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { (void)Handle(); }
  // Destroys the window now (children first) and makes it again when next needed, or at
  // once when the control is showing.
  void RecreateWnd();
  // Destroys the window and those of all child controls; the control keeps its state.
  void DestroyHandle();

  // Child controls in z-order of insertion (windowed ones after the graphic ones are painted
  // over them, as windows are).
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int i) const { return FControls.at(static_cast<size_t>(i)); }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  bool ContainsControl(TControl* c) const;
  // The child at a client point (the topmost first); null when none.
  TControl* ControlAtPos(TPoint p, bool AllowDisabled, bool AllowWinControls = false) const;

  // Visible here and on every parent up to a window-less form, with a window.
  bool Showing() const { return FShowing; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
  // Space kept free inside the client area before aligning children.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);
  TBrush* Brush() const { return FBrush.get(); }
  // Tab order among the parent's windowed children.
  int TabOrder() const;
  void SetTabOrder(int v);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v);
  virtual bool CanFocus() const;
  virtual bool Focused() const;
  // Gives the keyboard focus to this control; raises EInvalidOperation "Cannot focus a
  // disabled or invisible window" when it cannot take it.
  virtual void SetFocus();
  // Focuses the next (or previous) tab stop after `cur` among the children.
  void SelectNext(TWinControl* cur, bool GoForward, bool CheckTabStop);
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* cur, bool GoForward, bool CheckTabStop) const;

  // Paints the control and its children into a DC at (X, Y) (client origin), as on screen,
  // by WM_ERASEBKGND and WM_PAINT with the DC; ControlState holds csPaintCopy meanwhile.
  void PaintTo(HDC DC, int X, int Y);
  // Realigns the children now (unless disabled).
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();

  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetEnabled(bool v) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Messages from the window procedure (exceptions are caught there).
  LRESULT MainWndProc(UINT msg, WPARAM wp, LPARAM lp);

protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  // Makes the window class a superclass of a system class (edit, combo box, ...): its window
  // procedure becomes the default handler, the class name stays the framework's.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  // Lays the children out in Rect (the client area less BorderWidth): top, bottom, left,
  // right, then client-aligned ones, each group in position order; then anchors.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect) const;
  void AlignControl(TControl* AControl);
  // Paints the client area into DC (WM_PAINT with the DC to the default handler).
  virtual void PaintWindow(HDC DC);
  // Paints the graphic children from `First` on into DC (each with its origin moved).
  void PaintControls(HDC DC, TControl* First);
  void PaintHandler(TMessage& m);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();
  // Shows or hides the window to follow Visible and the parent's Showing.
  virtual void UpdateShowing();
  void UpdateControlState();
  virtual void SetZOrderWindow(bool TopMost);
  std::string GetText() const override;
  void ParentFontChanged() override;
  void FontChanged() override;
  // Passes a reflected notification to the control of `child`; false when none took it.
  bool DoControlMsg(HWND child, TMessage& m);
  // Mouse messages over a graphic child go to that child; true when one took it.
  bool IsControlMouseMsg(TMessage& m);

  // Handlers.
  void WMPaint(TMessage& m);
  void WMEraseBkgnd(TMessage& m);
  void WMPrintClient(TMessage& m);
  void WMSize(TMessage& m);
  void WMMove(TMessage& m);
  void WMWindowPosChanged(TMessage& m);
  void WMSetCursor(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMKillFocus(TMessage& m);
  void WMKeyDown(TMessage& m);
  void WMKeyUp(TMessage& m);
  void WMChar(TMessage& m);
  void WMMouseMoveWin(TMessage& m);
  void WMMouseLeave(TMessage& m);
  void WMContextMenu(TMessage& m);
  void WMNCDestroy(TMessage& m);
  void WMCommand(TMessage& m);
  void WMNotify(TMessage& m);
  void WMDrawItem(TMessage& m);
  void WMMeasureItem(TMessage& m);
  void WMCtlColor(TMessage& m);
  void WMScroll(TMessage& m);
  void CNKeyDown(TMessage& m);
  void CNChar(TMessage& m);
  // Alt+letter from the application loop: offered to the form's controls as CM_DIALOGCHAR.
  void CNSysChar(TMessage& m);
  void CNCtlColor(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void CMVisibleChangedWin(TMessage& m);
  void CMColorChangedWin(TMessage& m);
  void CMShowHintChangedWin(TMessage& m);
  void CMTextChangedWin(TMessage& m);
  void CMEnabledChangedWin(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;        // all children, graphic and windowed
  std::vector<TWinControl*> FTabList;      // windowed children in tab order
  std::unique_ptr<TBrush> FBrush;
  bool FShowing = false;
  bool FDoubleBuffered = false;
  bool FTabStop = false;
  int FBorderWidth = 0;
  int FAlignLevel = 0;
  UINT FControlId = 0;

private:
  friend class TControl;
  friend UINT ControlIdOf(TWinControl*);
  friend LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);
  void BindHandle(HWND h);
  void UnbindHandle();
  void CreateChildHandles();
  void ApplyWindowFont();
  // One entry per window-procedure call in progress on this control (innermost first): the
  // destructor marks them all, so that a control freed inside its own message is not
  // touched again when the calls return.
  struct TWndProcFrame {
    bool Destroyed = false;
    TWndProcFrame* Outer = nullptr;
  };
  TWndProcFrame* FWndProcFrames = nullptr;
};

// ---------------------------------------------------------------------------------------------
// A canvas that paints on a control: on a graphic control, in its parent's window at the
// control's position, clipped to it. Its DC is given by the painting code (WM_PAINT's DC);
// asked for a handle outside painting, it takes the window's DC until FreeHandle (the next
// paint, or FreeDeviceContexts when the application is idle).
class TControlCanvas : public TCanvas {
public:
  explicit TControlCanvas(TControl* control) : FControl(control) {}
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  // Releases a DC the canvas took itself.
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  TControl* FControl;
  HWND FDCWindow = nullptr;
  HDC FOwnDC = nullptr;
};

// A control without a window that paints itself on its parent's window.
class TGraphicControl : public TControl {
  ORBEX_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

protected:
  // Paints the control on Canvas (origin at the control's top left).
  virtual void Paint() {}
  void WMPaintGraphic(TMessage& m);
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A windowed control that paints itself on Canvas in Paint.
class TCustomControl : public TWinControl {
  ORBEX_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// The framework control of a window, or null when the window is not one of ours.
TWinControl* FindControl(HWND wnd);
// The form a control sits on (walking up the parents), or null.
TCustomForm* GetParentForm(TControl* control);
// Child ID used for the window of a windowed child control (WM_COMMAND, WM_MEASUREITEM).
UINT ControlIdOf(TWinControl* control);
// Gives back the window DCs that control canvases took outside painting (unless the canvas is
// locked); the application does this when idle, so that no DC is held for long.
void FreeDeviceContexts();
