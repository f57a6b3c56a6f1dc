// The control core: TControl, TGraphicControl, TCustomControl, TControlCanvas, size constraints,
// the mouse capture of graphic controls, and the shift-state helpers. TWinControl, the window
// procedure and window-class registration are in WinControl.cpp (same header). Owns nothing
// process-wide but the graphic control holding the mouse capture and the list of control
// canvases holding a window DC.
//
// Sections: published properties; helpers; TSizeConstraints; TControl; TControlCanvas,
// TGraphicControl, TCustomControl.
#include "framework/win/Controls.h"

#include <algorithm>

#include "framework/base/TypInfo.h"
#include "framework/win/ActnList.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

ORBEX_IMPLEMENT_PUBLISHED(TSizeConstraints, TPersistent, nullptr)
ORBEX_IMPLEMENT_PUBLISHED(TControl, TComponent, nullptr)
ORBEX_IMPLEMENT_CLASS(TGraphicControl, TControl, &CreateComponentOf<TGraphicControl>)
ORBEX_IMPLEMENT_CLASS(TCustomControl, TWinControl, &CreateComponentOf<TCustomControl>)

TControl* TControl::FCaptureControl = nullptr;

// =============================================================================================
// Published properties (stored forms and the engine's access by name).
void TSizeConstraints::PublishProperties(TPublisher<TSizeConstraints>& P) {
  P.Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
  P.Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
  P.Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
  P.Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
}

namespace {
struct TCursorName {
  TCursor Value;
  const char* Name;
};
const TCursorName kCursorNames[] = {
    {crDefault, "crDefault"},   {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},       {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crNo, "crNo"},
    {crAppStart, "crAppStart"}, {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};
bool CursorIdentToInt(const std::string& ident, std::int64_t& v) {
  for (const auto& c : kCursorNames)
    if (SameText(ident, c.Name)) {
      v = c.Value;
      return true;
    }
  return false;
}
bool CursorIntToIdent(std::int64_t v, std::string& ident) {
  for (const auto& c : kCursorNames)
    if (c.Value == v) {
      ident = c.Name;
      return true;
    }
  return false;
}
}  // namespace

void TControl::PublishProperties(TPublisher<TControl>& P) {
  P.Integer("Left", &TControl::Left, &TControl::SetLeft);
  P.Integer("Top", &TControl::Top, &TControl::SetTop);
  P.Integer("Width", &TControl::Width, &TControl::SetWidth);
  P.Integer("Height", &TControl::Height, &TControl::SetHeight);
  P.Enum("Align", &TControl::Align, &TControl::SetAlign,
         {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}).Default(alNone);
  P.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, {"akLeft", "akTop", "akRight", "akBottom"})
      .Default(akLeft | akTop);
  P.Object("Constraints", &TControl::Constraints);
  P.String("Caption", &TControl::Caption, &TControl::SetCaption);
  P.Color("Color", &TControl::Color, &TControl::SetColor);
  P.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  P.Object("Font", &TControl::Font);
  P.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  P.Boolean("Visible", &TControl::Visible, &TControl::SetVisible).Default(1);
  P.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(1);
  P.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(&CursorIdentToInt, &CursorIntToIdent);
  P.String("Hint", &TControl::Hint, &TControl::SetHint);
  P.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  P.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  P.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  P.Component("Action", &TControl::Action, &TControl::SetAction);
  P.Event("OnClick", &TControl::OnClick);
  P.Event("OnDblClick", &TControl::OnDblClick);
  P.Event("OnResize", &TControl::OnResize);
  P.Event("OnMouseEnter", &TControl::OnMouseEnter);
  P.Event("OnMouseLeave", &TControl::OnMouseLeave);
  P.Event("OnMouseDown", &TControl::OnMouseDown);
  P.Event("OnMouseUp", &TControl::OnMouseUp);
  P.Event("OnMouseMove", &TControl::OnMouseMove);
}

// =============================================================================================
// Helpers.
TCustomForm* GetParentForm(TControl* control) {
  while (control != nullptr && control->Parent() != nullptr) control = control->Parent();
  return As<TCustomForm>(control);
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (::GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (::GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

// =============================================================================================
// TSizeConstraints
void TSizeConstraints::SetMinWidth(int v) {
  if (v == FMinWidth) return;
  FMinWidth = v;
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMaxWidth = FMinWidth;
  Change();
}
void TSizeConstraints::SetMinHeight(int v) {
  if (v == FMinHeight) return;
  FMinHeight = v;
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMaxHeight = FMinHeight;
  Change();
}
void TSizeConstraints::SetMaxWidth(int v) {
  if (v == FMaxWidth) return;
  FMaxWidth = v;
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMinWidth = FMaxWidth;
  Change();
}
void TSizeConstraints::SetMaxHeight(int v) {
  if (v == FMaxHeight) return;
  FMaxHeight = v;
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMinHeight = FMaxHeight;
  Change();
}
void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* s = As<TSizeConstraints>(source)) {
    FMinWidth = s->FMinWidth;
    FMinHeight = s->FMinHeight;
    FMaxWidth = s->FMaxWidth;
    FMaxHeight = s->FMaxHeight;
    Change();
    return;
  }
  TPersistent::Assign(source);
}
void TSizeConstraints::Constrain(int& width, int& height) const {
  if (FMaxWidth > 0 && width > FMaxWidth) width = FMaxWidth;
  if (FMinWidth > 0 && width < FMinWidth) width = FMinWidth;
  if (FMaxHeight > 0 && height > FMaxHeight) height = FMaxHeight;
  if (FMinHeight > 0 && height < FMinHeight) height = FMinHeight;
}
void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

// =============================================================================================
// TControl
TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      FColor(clWindow),
      FFont(std::make_unique<TFont>()),
      FConstraints(std::make_unique<TSizeConstraints>()) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  FFont->OnChange = [this](TObject*) { FontChanged(); };
  FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
}

TControl::~TControl() {
  if (Application != nullptr && Application->MouseControl() == this) Application->ForgetControl(this);
  if (FCaptureControl == this) FCaptureControl = nullptr;
  FActionLink.reset();
  if (FParent != nullptr) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent != nullptr) FParent->RemoveControl(this);
  if (AParent != nullptr) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  FConstraints->Constrain(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  Invalidate();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  if (FParent == nullptr || FParent->FAlignLevel == 0) UpdateAnchorRules();
  RequestAlign();
  if (resized) Resize();
}

TRect TControl::ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(TSize size) {
  TRect r = ClientRect();
  SetBounds(FLeft, FTop, FWidth + size.cx - r.Width(), FHeight + size.cy - r.Height());
}

TPoint TControl::ClientOrigin() const {
  if (FParent == nullptr) throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
  TPoint p = FParent->ClientOrigin();
  return TPoint{p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return TPoint{p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return TPoint{p.X - o.X, p.Y - o.Y};
}

void TControl::SetVisible(bool v) {
  if (FVisible == v) return;
  FVisible = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() { SetVisible(true); }
void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool v) {
  if (SetAndCheck(FEnabled, v)) Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor c) {
  FParentColor = false;
  if (SetAndCheck(FColor, c)) Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool v) {
  if (FParentColor == v) return;
  FParentColor = v;
  if (v && FParent != nullptr) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetFont(TFont* f) { FFont->Assign(f); }

void TControl::SetParentFont(bool v) {
  if (FParentFont == v) return;
  FParentFont = v;
  if (v && FParent != nullptr) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged() {
  // A font set on the control itself stops following the parent's; copying the parent's
  // font (ParentFontChanged) keeps ParentFont.
  if (!FInFontChange) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::ParentFontChanged() {
  if (!FParentFont || FParent == nullptr) return;
  FInFontChange = true;
  try {
    FFont->Assign(FParent->Font());
  } catch (...) {
    FInFontChange = false;
    throw;
  }
  FInFontChange = false;
}

void TControl::SetText(const std::string& s) {
  if (GetText() == s) return;
  TMessage m{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()), 0};
  WindowProc(m);
  Perform(CM_TEXTCHANGED, 0, 0);
}

std::string TControl::GetText() const { return FText; }

void TControl::SetAlign(TAlign a) {
  if (FAlign == a) return;
  FAlign = a;
  if (a != alNone && a != alCustom) FAnchors = akLeft | akTop | akRight | akBottom;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors a) {
  if (SetAndCheck(FAnchors, a)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FParent == nullptr) {
    FAnchorRulesValid = false;
    return;
  }
  TRect pr = FParent->ClientRect();
  FAnchorBounds = BoundsRect();
  FAnchorParentSize = TSize{pr.Width(), pr.Height()};
  FAnchorRulesValid = true;
}

void TControl::SetCursor(TCursor c) {
  if (SetAndCheck(FCursor, c)) Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool v) {
  FParentShowHint = false;
  if (SetAndCheck(FShowHint, v)) Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool v) {
  if (FParentShowHint == v) return;
  FParentShowHint = v;
  if (v && FParent != nullptr) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* m) {
  if (FPopupMenu == m) return;
  if (FPopupMenu != nullptr) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = m;
  if (m != nullptr) m->FreeNotification(this);
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::SetAction(TBasicAction* a) {
  if (a == nullptr) {
    FActionLink.reset();
    FControlStyle &= ~csActionClient;
    return;
  }
  FControlStyle |= csActionClient;
  if (!FActionLink) {
    FActionLink.reset(CreateActionLink());
    TControlActionLink* link = FActionLink.get();
    link->OnChange = [this, link]() { ActionChange(link->Action(), false); };
  }
  FActionLink->SetAction(a);
  ActionChange(a, IsLoading());
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = As<TCustomAction>(Sender);
  if (a == nullptr) return;
  // While loading, the control's own stored values win over the action's.
  if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TControl::Invalidate() {
  if (FParent == nullptr || !FParent->HandleAllocated() || !FVisible) return;
  RECT r = ToRECT(BoundsRect());
  ::InvalidateRect(FParent->FHandle, &r, (FControlStyle & csOpaque) == 0);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (FParent != nullptr) FParent->Update();
}

void TControl::BringToFront() {
  if (FParent == nullptr) return;
  auto& list = FParent->FControls;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (FParent == nullptr) return;
  auto& list = FParent->FControls;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK ||
       Message.Msg == WM_MBUTTONDBLCLK) &&
      (FControlStyle & csDoubleClicks) == 0) {
    // Controls that do not take double clicks see a second press instead.
    Message.Msg = Message.Msg - (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(m); break;
    case WM_LBUTTONUP: WMLButtonUp(m); break;
    case WM_RBUTTONDOWN: WMButtonDown(m, mbRight); break;
    case WM_RBUTTONUP: WMButtonUp(m, mbRight); break;
    case WM_MBUTTONDOWN: WMButtonDown(m, mbMiddle); break;
    case WM_MBUTTONUP: WMButtonUp(m, mbMiddle); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); break;
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_HITTEST: CMHitTest(m); break;
    default: DefaultHandler(m); break;
  }
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXT: {
      if (m.LParam == 0 || m.WParam == 0) {
        m.Result = 0;
        break;
      }
      auto* buf = reinterpret_cast<char*>(m.LParam);
      size_t n = std::min(FText.size(), static_cast<size_t>(m.WParam) - 1);
      FText.copy(buf, n);
      buf[n] = '\0';
      m.Result = static_cast<LRESULT>(n);
      break;
    }
    case WM_GETTEXTLENGTH: m.Result = static_cast<LRESULT>(FText.size()); break;
    case WM_SETTEXT:
      FText = m.LParam != 0 ? reinterpret_cast<const char*>(m.LParam) : "";
      m.Result = 1;
      break;
    default: break;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown && (FControlStyle & csNoStdEvents) == 0) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp && (FControlStyle & csNoStdEvents) == 0) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove && (FControlStyle & csNoStdEvents) == 0) OnMouseMove(this, Shift, X, Y);
}
void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FActionLink)
    FActionLink->Execute(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::RequestAlign() {
  if (FParent != nullptr && FParent->FAlignLevel == 0) FParent->AlignControl(this);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent != nullptr) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
    UpdateAnchorRules();
  }
  RequestAlign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::WMButtonDown(TMessage& m, TMouseButton b) {
  MouseDown(b, KeysToShiftState(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
  DefaultHandler(m);
}
void TControl::WMButtonUp(TMessage& m, TMouseButton b) {
  MouseUp(b, KeysToShiftState(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
  DefaultHandler(m);
}

void TControl::WMLButtonDown(TMessage& m) {
  if (FControlStyle & csCaptureMouse) {
    FControlState |= csLButtonDown;
    if (!IsWindowed() && FParent != nullptr && FParent->HandleAllocated()) {
      FCaptureControl = this;
      ::SetCapture(FParent->FHandle);
    }
  }
  if (FControlStyle & csClickEvents) FControlState |= csClicked;
  WMButtonDown(m, mbLeft);
}

void TControl::WMLButtonUp(TMessage& m) {
  const int x = LParamX(m.LParam);
  const int y = LParamY(m.LParam);
  const bool clicked = (FControlState & csClicked) != 0;
  FControlState &= ~(csLButtonDown | csClicked);
  if (FCaptureControl == this) {
    FCaptureControl = nullptr;
    ::ReleaseCapture();
  }
  WMButtonUp(m, mbLeft);
  if (clicked && x >= 0 && y >= 0 && x < FWidth && y < FHeight) Click();
}

void TControl::WMLButtonDblClk(TMessage& m) {
  DblClick();
  MouseDown(mbLeft, KeysToShiftState(m.WParam) | ssDouble, LParamX(m.LParam), LParamY(m.LParam));
  DefaultHandler(m);
}

void TControl::WMMouseMove(TMessage& m) {
  if (!IsWindowed() && Application != nullptr) Application->SetMouseControl(this);
  MouseMove(KeysToShiftState(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
  DefaultHandler(m);
}

void TControl::CMVisibleChanged(TMessage& m) {
  // A graphic control shows or hides by repainting its area of the parent.
  if (FParent != nullptr && FParent->HandleAllocated()) {
    RECT r = ToRECT(BoundsRect());
    ::InvalidateRect(FParent->FHandle, &r, TRUE);
  }
  (void)m;
}
void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }
void TControl::CMParentFontChanged(TMessage&) { ParentFontChanged(); }
void TControl::CMParentShowHintChanged(TMessage&) {
  // Copies the parent's switch and passes it on (a windowed control to its children).
  if (!FParentShowHint || FParent == nullptr || FShowHint == FParent->ShowHint()) return;
  FShowHint = FParent->ShowHint();
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}
void TControl::CMParentColorChanged(TMessage&) {
  if (!FParentColor || FParent == nullptr) return;
  SetColor(FParent->Color());
  FParentColor = true;
}
void TControl::CMMouseEnter(TMessage&) {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::CMMouseLeave(TMessage&) {
  if (OnMouseLeave) OnMouseLeave(this);
}
void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }

// =============================================================================================
// TControlCanvas, TGraphicControl, TCustomControl
namespace {
// Control canvases that hold a window DC they took themselves.
std::vector<TControlCanvas*>& CanvasesWithDC() {
  static std::vector<TControlCanvas*> list;
  return list;
}
}  // namespace

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> copy = CanvasesWithDC();
  for (TControlCanvas* c : copy)
    if (c->LockCount() == 0) c->FreeHandle();
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::FreeHandle() {
  if (FOwnDC != nullptr) {
    SetHandle(nullptr);
    ::ReleaseDC(FDCWindow, FOwnDC);
    FOwnDC = nullptr;
    FDCWindow = nullptr;
    auto& list = CanvasesWithDC();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TControlCanvas::CreateHandle() {
  // Outside painting: the window's DC (a graphic control's parent's, moved and clipped).
  if (FControl == nullptr) return;
  TWinControl* w = FControl->IsWindowed() ? static_cast<TWinControl*>(FControl) : FControl->Parent();
  if (w == nullptr) return;
  HWND h = w->Handle();
  HDC dc = ::GetDCEx(h, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (dc == nullptr) return;
  FDCWindow = h;
  FOwnDC = dc;
  CanvasesWithDC().push_back(this);
  if (!FControl->IsWindowed()) {
    ::SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
    ::IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  SetHandle(dc);
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    WMPaintGraphic(m);
    return;
  }
  TControl::Dispatch(m);
}

void TGraphicControl::WMPaintGraphic(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (dc == nullptr) return;
  TCanvasLock lock(*FCanvas);
  FCanvas->FreeHandle();   // a DC taken outside painting gives way to the paint DC
  TCanvasDC bound(*FCanvas, dc);
  Paint();
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() {
  // The canvas may hold the window's DC: give it back before the window goes.
  FCanvas->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC) {
  TCanvasLock lock(*FCanvas);
  FControlState |= csCustomPaint;
  try {
    FCanvas->FreeHandle();   // a DC taken outside painting gives way to the paint DC
    TCanvasDC bound(*FCanvas, DC);
    Paint();
  } catch (...) {
    FControlState &= ~csCustomPaint;
    throw;
  }
  FControlState &= ~csCustomPaint;
}
