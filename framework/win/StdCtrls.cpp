// Standard controls: label, button, edit and combo box.
//
// Sections: TCustomLabel (state, drawing, bounds, messages); TButton; TCustomEdit; combo box
// items; TCustomComboBox (window, items, selection, owner draw, notifications); registration.
#include "framework/win/StdCtrls.h"

#include <algorithm>

#include "framework/base/TypInfo.h"

// ---------------------------------------------------------------------------------------------
// TCustomLabel

ORBEX_IMPLEMENT_PUBLISHED(TCustomLabel, TGraphicControl, nullptr)

void TCustomLabel::PublishProperties(TPublisher<TCustomLabel>& P) {
  P.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"})
      .Default(taLeftJustify);
  P.Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(1);
  P.Component("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  P.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout,
         {"tlTop", "tlCenter", "tlBottom"})
      .Default(tlTop);
  P.Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar)
      .Default(1);
  P.Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(0);
  P.Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(0);
}

ORBEX_IMPLEMENT_PUBLISHED(TLabel, TCustomLabel, &CreateComponentOf<TLabel>)
void TLabel::PublishProperties(TPublisher<TLabel>&) {}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAutoSize(bool v) {
  if (SetAndCheck(FAutoSize, v)) AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (SetAndCheck(FAlignment, v)) Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (SetAndCheck(FLayout, v)) Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (FWordWrap == v) return;
  FWordWrap = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (FShowAccelChar == v) return;
  FShowAccelChar = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (Transparent() == v) return;
  SetControlStyle(v ? (ControlStyle() & ~csOpaque) : (ControlStyle() | csOpaque));
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (FFocusControl == v) return;
  if (FFocusControl != nullptr) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  std::string text = GetLabelText();
  // An empty caption (or a lone accelerator mark) still measures one line.
  if ((Flags & DT_CALCRECT) != 0 && (text.empty() || (FShowAccelChar && text == "&")))
    text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  HDC dc = canvas->GetHandle();
  // Our own selections and modes are undone before the canvas lets the DC go.
  TSaveDC saved(dc);
  ::SelectObject(dc, canvas->Font()->GetHandle());
  ::SetBkMode(dc, TRANSPARENT);
  RECT r = ToRECT(Rect);
  if (!Enabled() && (Flags & DT_CALCRECT) == 0) {
    // The system's look of disabled text: a highlight copy one pixel down-right under grey.
    ::OffsetRect(&r, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, Flags);
    ::OffsetRect(&r, -1, -1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, Flags);
  } else {
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->GetColor())));
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, Flags);
  }
  Rect = ToTRect(r);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->FillRect(rect);
  }
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  static constexpr UINT AlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = DT_EXPANDTABS | AlignFlags[FAlignment] | (FWordWrap ? DT_WORDBREAK : 0u);
  if (FLayout != tlTop) {
    TRect calc = rect;
    DoDrawText(calc, flags | DT_CALCRECT);
    int offset = rect.Height() - calc.Height();
    if (FLayout == tlCenter) offset /= 2;
    rect.Top += offset;
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (IsLoading() || !FAutoSize) return;
  TWindowDC screen(nullptr);
  if (!screen.Valid()) return;
  TRect rect = ClientRect();
  {
    TCanvasDC bound(*Canvas(), screen.Get());
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0u));
  }
  int x = Left();
  int w = rect.Right;
  if (FAlignment == taRightJustify) x += Width() - w;
  else if (FAlignment == taCenter) x += (Width() - w) / 2;
  SetBounds(x, Top(), w, rect.Bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR: {
      // An accelerator of the caption focuses FocusControl.
      if (FShowAccelChar && FFocusControl != nullptr && Enabled() &&
          IsAccel(static_cast<char>(Message.WParam), GetLabelText()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
      }
      break;
    }
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TButton

ORBEX_IMPLEMENT_PUBLISHED(TButton, TWinControl, &CreateComponentOf<TButton>)

void TButton::PublishProperties(TPublisher<TButton>& P) {
  P.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(0);
  P.Boolean("Default", &TButton::Default, &TButton::SetDefault).Default(0);
  P.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  P.Boolean("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap).Default(0);
}

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  // Clicks come from the system's BN_CLICKED, not from the mouse bookkeeping.
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::SetDefault(bool v) {
  if (FDefault == v) return;
  FDefault = v;
  if (!HandleAllocated()) return;
  // Which button is the active one is the form's focus question: asked again.
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TButton::SetWordWrap(bool v) {
  if (FWordWrap == v) return;
  FWordWrap = v;
  if (HandleAllocated()) RecreateWnd();
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  const LONG_PTR style = ::GetWindowLongPtrA(Handle(), GWL_STYLE) & 0xF;
  if (style == BS_OWNERDRAW) return;
  const LONG_PTR wanted = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if (style != wanted) ::SendMessageA(Handle(), BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
}

void TButton::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= WS_TABSTOP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (FWordWrap ? BS_MULTILINE : 0u);
}

void TButton::CreateWnd() {
  TWinControl::CreateWnd();
  SetButtonStyle(FDefault);
}

void TButton::Click() {
  // The form reads its result after the click handler ran; a handler may change it.
  if (FModalResult != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TWinControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<TControl*>(Message.LParam);
      const bool active = As<TButton>(focused) != nullptr ? focused == this : FDefault;
      SetButtonStyle(active);
      break;
    }
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == BN_CLICKED) {
        Click();
        Message.Result = 0;
        return;
      }
      break;
    case CM_DIALOGKEY: {
      // Enter belongs to the focused button, else to the default one; Escape to the cancel one.
      bool active = false;
      if (Message.WParam == VK_RETURN) {
        TWinControl* focused = FindControl(::GetFocus());
        active = focused == this || (FDefault && As<TButton>(focused) == nullptr);
      }
      if ((active || (Message.WParam == VK_ESCAPE && FCancel)) && Enabled() && Visible()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      // Alt+letter of the caption's accelerator presses the button, wherever the focus is.
      if (IsAccel(static_cast<char>(Message.WParam), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit

ORBEX_IMPLEMENT_PUBLISHED(TCustomEdit, TWinControl, nullptr)

void TCustomEdit::PublishProperties(TPublisher<TCustomEdit>& P) {
  P.Integer("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  P.Boolean("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(0);
  P.Event("OnChange", &TCustomEdit::OnChange);
}

ORBEX_IMPLEMENT_PUBLISHED(TEdit, TCustomEdit, &CreateComponentOf<TEdit>)
void TEdit::PublishProperties(TPublisher<TEdit>&) {}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TCustomEdit::SetMaxLength(int v) {
  FMaxLength = std::max(v, 0);
  if (HandleAllocated()) ::SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  FReadOnly = v;
  if (HandleAllocated()) ::SendMessageA(Handle(), EM_SETREADONLY, v ? TRUE : FALSE, 0);
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) ::SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT | (FReadOnly ? ES_READONLY : 0u);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  ::SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
    Change();
    Message.Result = 0;
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Combo box items

ORBEX_IMPLEMENT_CLASS(TComboBoxStrings, TStrings, nullptr)

void TComboBoxStrings::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
}

std::string TComboBoxStrings::Get(int i) const {
  CheckIndex(i);
  return FItems[static_cast<size_t>(i)].S;
}

TObject* TComboBoxStrings::GetObject(int i) const {
  CheckIndex(i);
  return FItems[static_cast<size_t>(i)].O;
}

void TComboBoxStrings::PutObject(int i, TObject* o) {
  CheckIndex(i);
  FItems[static_cast<size_t>(i)].O = o;
}

void TComboBoxStrings::Put(int i, const std::string& s) {
  CheckIndex(i);
  int selected = FCombo->ItemIndex();
  TObject* o = FItems[static_cast<size_t>(i)].O;
  Delete(i);
  Insert(i, s);
  FItems[static_cast<size_t>(i)].O = o;
  if (selected == i) FCombo->SetItemIndex(i);
}

void TComboBoxStrings::Insert(int i, const std::string& s) {
  if (i < 0 || i > Count()) throw EListError(Format("List index out of bounds (%d)", i));
  FItems.insert(FItems.begin() + i, Item{s, nullptr});
  if (FCombo->HandleAllocated()) {
    ::SendMessageA(FCombo->Handle(), CB_INSERTSTRING, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(s.c_str()));
  } else if (FCombo->FItemIndex >= i) {
    ++FCombo->FItemIndex;
  }
  Changed();
}

int TComboBoxStrings::Add(const std::string& s) {
  int at = Count();
  if (FCombo->Sorted()) {
    // The window keeps no order of its own (no CBS_SORT): both sides insert at this index.
    at = 0;
    while (at < Count() && CompareText(FItems[static_cast<size_t>(at)].S, s) <= 0) ++at;
  }
  Insert(at, s);
  return at;
}

void TComboBoxStrings::Delete(int i) {
  CheckIndex(i);
  FItems.erase(FItems.begin() + i);
  if (FCombo->HandleAllocated()) {
    ::SendMessageA(FCombo->Handle(), CB_DELETESTRING, static_cast<WPARAM>(i), 0);
  } else if (FCombo->FItemIndex == i) {
    FCombo->FItemIndex = -1;
  } else if (FCombo->FItemIndex > i) {
    --FCombo->FItemIndex;
  }
  Changed();
}

void TComboBoxStrings::Clear() {
  FItems.clear();
  if (FCombo->HandleAllocated()) ::SendMessageA(FCombo->Handle(), CB_RESETCONTENT, 0, 0);
  FCombo->FItemIndex = -1;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox

ORBEX_IMPLEMENT_PUBLISHED(TCustomComboBox, TWinControl, nullptr)

void TCustomComboBox::PublishProperties(TPublisher<TCustomComboBox>& P) {
  P.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
         {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"})
      .Default(csDropDown);
  P.Integer("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
      .Default(8);
  P.Integer("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
  P.Integer("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
  P.Boolean("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(0);
  P.Object("Items", &TCustomComboBox::Items);
  P.Integer("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
  P.Event("OnChange", &TCustomComboBox::OnChange);
  P.Event("OnSelect", &TCustomComboBox::OnSelect);
  P.Event("OnDropDown", &TCustomComboBox::OnDropDown);
  P.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
  P.Event("OnDrawItem", &TCustomComboBox::OnDrawItem);
  P.Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
}

ORBEX_IMPLEMENT_PUBLISHED(TComboBox, TCustomComboBox, &CreateComponentOf<TComboBox>)
void TComboBox::PublishProperties(TPublisher<TComboBox>&) {}

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TComboBoxStrings>(this)),
      FCanvas(std::make_unique<TCanvas>()) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

int TCustomComboBox::ItemIndex() const {
  if (FHandle != nullptr)
    return static_cast<int>(::SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
  return FItemIndex;
}

void TCustomComboBox::SetItemIndex(int v) {
  if (v < -1 || v >= FItems->Count()) v = -1;
  FItemIndex = v;
  if (HandleAllocated()) ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(v), 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (FStyle == v) return;
  FStyle = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomComboBox::DroppedDown() const {
  return FHandle != nullptr && ::SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool v) {
  if (HandleAllocated()) ::SendMessageA(Handle(), CB_SHOWDROPDOWN, v ? TRUE : FALSE, 0);
}

int TCustomComboBox::ItemHeight() const {
  if (FHandle != nullptr && !IsOwnerDraw()) {
    LRESULT h = ::SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0);
    if (h > 0) return static_cast<int>(h);
  }
  return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int v) {
  if (v < 1) return;
  FItemHeight = v;
  if (HandleAllocated() && IsOwnerDraw()) RecreateWnd();
}

void TCustomComboBox::SetSorted(bool v) {
  if (FSorted == v) return;
  FSorted = v;
  if (!v) return;
  // Re-sort the items in place (stable, case-insensitive as the system sorts).
  std::string selected = ItemIndex() >= 0 ? FItems->Get(ItemIndex()) : std::string();
  std::vector<TComboBoxStrings::Item> items = FItems->FItems;
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    return CompareText(a.S, b.S) < 0;
  });
  FItems->BeginUpdate();
  FItems->Clear();
  for (const auto& item : items) FItems->AddObject(item.S, item.O);
  FItems->EndUpdate();
  if (!selected.empty()) SetItemIndex(FItems->IndexOf(selected));
}

void TCustomComboBox::SetMaxLength(int v) {
  FMaxLength = std::max(v, 0);
  if (HandleAllocated()) ::SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomComboBox::Clear() {
  FItems->Clear();
  SetText(std::string());
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  static constexpr DWORD StyleBits[] = {
      CBS_DROPDOWN | CBS_AUTOHSCROLL,
      CBS_SIMPLE | CBS_AUTOHSCROLL,
      CBS_DROPDOWNLIST,
      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
      CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS,
  };
  Params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_NOINTEGRALHEIGHT | StyleBits[FStyle];
  // A drop-down combo's window height is its dropped height; the system reports the closed
  // height as the window's size.
  if (FStyle != csSimple)
    Params.Height = Height() + FItemHeight * FDropDownCount + 2;
}

void TCustomComboBox::CreateWnd() {
  std::string text = FText;
  TWinControl::CreateWnd();
  HWND h = Handle();
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (::GetComboBoxInfo(h, &info)) {
    FListHandle = info.hwndList;
    // A list-only combo's item window is the box itself.
    FEditHandle = info.hwndItem != h ? info.hwndItem : nullptr;
  }
  HookEdit();
  for (const auto& item : FItems->FItems)
    ::SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.S.c_str()));
  if (IsOwnerDraw()) ::SendMessageA(h, CB_SETITEMHEIGHT, 0, FItemHeight);
  ::SendMessageA(h, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FItemIndex >= 0 && FItemIndex < FItems->Count())
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
  else if (FStyle == csDropDown || FStyle == csSimple)
    ::SetWindowTextA(h, text.c_str());
}

void TCustomComboBox::DestroyWnd() {
  if (FHandle != nullptr) {
    FItemIndex = static_cast<int>(::SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
    FText = TWinControl::GetText();
  }
  UnhookEdit();
  FListHandle = nullptr;
  FFocusInside = false;
  TWinControl::DestroyWnd();
}

namespace {
constexpr const char* ComboOfEditProp = "OrbexComboOfEdit";
}

void TCustomComboBox::HookEdit() {
  if (FEditHandle == nullptr) return;
  ::SetPropA(FEditHandle, ComboOfEditProp, this);
  FEditProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::EditProc)));
}

void TCustomComboBox::UnhookEdit() {
  if (FEditHandle != nullptr && FEditProc != nullptr && ::IsWindow(FEditHandle)) {
    ::SetWindowLongPtrA(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditProc));
    ::RemovePropA(FEditHandle, ComboOfEditProp);
  }
  FEditHandle = nullptr;
  FEditProc = nullptr;
}

LRESULT CALLBACK TCustomComboBox::EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* combo = static_cast<TCustomComboBox*>(::GetPropA(wnd, ComboOfEditProp));
  if (combo == nullptr || combo->FEditProc == nullptr) return ::DefWindowProcA(wnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  if (msg == WM_NCDESTROY) {
    // The edit goes before the box: give it its own procedure back for its last message.
    WNDPROC proc = combo->FEditProc;
    combo->UnhookEdit();
    return ::CallWindowProcA(proc, wnd, msg, wp, lp);
  }
  try {
    combo->ComboWndProc(m);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(combo);
  }
  return m.Result;
}

void TCustomComboBox::CallEditProc(TMessage& Message) {
  Message.Result = ::CallWindowProcA(FEditProc, FEditHandle, Message.Msg, Message.WParam, Message.LParam);
}

bool TCustomComboBox::CursorInside() const {
  POINT p{};
  if (FHandle == nullptr || !::GetCursorPos(&p)) return false;
  HWND under = ::WindowFromPoint(p);
  return under == FHandle || (under != nullptr && ::IsChild(FHandle, under));
}

void TCustomComboBox::ComboWndProc(TMessage& Message) {
  if (Message.Msg == WM_MOUSEMOVE) {
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, FEditHandle, 0};
    ::TrackMouseEvent(&t);
    if (Application != nullptr) Application->SetMouseControl(this);
  } else if (Message.Msg == WM_MOUSELEAVE && !CursorInside() && Application != nullptr &&
             Application->MouseControl() == this) {
    Application->SetMouseControl(nullptr);
  }
  CallEditProc(Message);
}

bool TCustomComboBox::Focused() const { return FHandle != nullptr && FFocusInside; }

void TCustomComboBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // The box's own edit part and list take the box's Color and font colour.
      if (reinterpret_cast<HWND>(Message.LParam) == FEditHandle ||
          reinterpret_cast<HWND>(Message.LParam) == FListHandle || Message.Msg == WM_CTLCOLORLISTBOX) {
        Message.Result = Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    case WM_MOUSELEAVE:
      // Into the edit part: the box stays the mouse control; the edit's own leave ends it.
      if (CursorInside()) {
        DefaultHandler(Message);
        return;
      }
      break;
    default: break;
  }
  TWinControl::WndProc(Message);
}

std::string TCustomComboBox::GetText() const {
  if (FHandle != nullptr) return TWinControl::GetText();
  bool listOnly = FStyle != csDropDown && FStyle != csSimple;
  if (listOnly || FItemIndex >= 0)
    return (FItemIndex >= 0 && FItemIndex < FItems->Count()) ? FItems->Get(FItemIndex)
                                                             : std::string();
  return FText;
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas* canvas = FCanvas.get();
  bool selected = (State & odSelected) != 0;
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->FillRect(Rect);
  if (Index >= 0 && Index < FItems->Count()) {
    canvas->Font()->SetColor(selected ? clHighlightText : Font()->GetColor());
    canvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
  }
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::CNCommand(TMessage& m) {
  switch (HIWORD(m.WParam)) {
    case CBN_DROPDOWN: {
      FDroppedDown = true;
      if (OnDropDown) OnDropDown(this);
      // The list's height is the window's dropped height, which a later move or resize to the
      // closed height would have shrunk to nothing: set it for DropDownCount items now.
      if (FStyle != csSimple && HandleAllocated()) {
        int rows = std::clamp(FItems->Count(), 1, FDropDownCount);
        int itemHeight = static_cast<int>(::SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
        if (itemHeight <= 0) itemHeight = FItemHeight;
        ::SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height() + rows * itemHeight + 2,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      }
      break;
    }
    case CBN_SETFOCUS: FFocusInside = true; break;
    case CBN_KILLFOCUS:
      FFocusInside = false;
      // The edit part keeps its selection drawn without the focus under Wine: take it away, as
      // a box that lost the focus shows none.
      if (FEditHandle != nullptr) ::SendMessageA(FEditHandle, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      break;
    case CBN_CLOSEUP:
      FDroppedDown = false;
      if (OnCloseUp) OnCloseUp(this);
      break;
    case CBN_EDITCHANGE:
      Change();
      break;
    case CBN_SELCHANGE:
      // The edit part shows the new item only after this notification; put it there now so
      // that handlers read the new Text.
      if (FStyle == csDropDown || FStyle == csSimple) {
        int i = ItemIndex();
        if (i >= 0 && i < FItems->Count()) ::SetWindowTextA(Handle(), FItems->Get(i).c_str());
      }
      Select();
      break;
    default:
      break;
  }
  m.Result = 0;
}

void TCustomComboBox::CNDrawItem(TMessage& m) {
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  if (dis == nullptr || dis->hDC == nullptr) return;
  TSaveDC saved(dis->hDC);
  TOwnerDrawState state = dis->itemState;
  if (dis->itemState & ODS_COMBOBOXEDIT) state |= odComboBoxEdit;
  {
    TCanvasDC bound(*FCanvas, dis->hDC);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->Assign(Brush());
    DrawItem(static_cast<int>(dis->itemID), ToTRect(dis->rcItem), state);
    if (!FDrawsFocusRect && (state & odFocused) != 0 && (state & odNoFocusRect) == 0)
      FCanvas->DrawFocusRect(ToTRect(dis->rcItem));
  }
  m.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TMessage& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  if (mis == nullptr) return;
  int h = FItemHeight;
  if (FStyle == csOwnerDrawVariable) MeasureItem(static_cast<int>(mis->itemID), h);
  mis->itemHeight = static_cast<UINT>(std::max(h, 1));
  m.Result = TRUE;
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      CNCommand(Message);
      return;
    case CN_DRAWITEM:
      CNDrawItem(Message);
      return;
    case CN_MEASUREITEM:
      CNMeasureItem(Message);
      return;
    case WM_SETTEXT: {
      // Text and selection agree: a text naming an item selects it, any other text leaves no
      // item selected (and a list-only combo shows items only, so it shows nothing then).
      const char* s = reinterpret_cast<const char*>(Message.LParam);
      int index = s != nullptr ? FItems->IndexOf(s) : -1;
      if (FStyle != csDropDown && FStyle != csSimple) {
        SetItemIndex(index);
        Message.Result = TRUE;
        return;
      }
      if (index >= 0) {
        SetItemIndex(index);
        Message.Result = TRUE;
        return;
      }
      if (HandleAllocated()) ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      FItemIndex = -1;
      break;
    }
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitStdCtrlsUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TLabel>();
  RegisterClassOf<TButton>();
  RegisterClassOf<TEdit>();
  RegisterClassOf<TComboBox>();
}
