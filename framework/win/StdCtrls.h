// Standard controls: the label (a graphic control that draws its caption), and the button,
// edit and combo box, which are the system's own controls under the framework's class names
// ("TButton", "TEdit", "TComboBox", superclassing "BUTTON", "EDIT" and "COMBOBOX").
//
// Owns: each windowed control its window (through TWinControl); the combo box its item
// strings and the canvas it lends to owner-draw handlers.
//
// Sections: shared enums; TCustomLabel/TLabel; TButton; TCustomEdit/TEdit; combo box items;
// TCustomComboBox/TComboBox.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// ---------------------------------------------------------------------------------------------
class TCustomLabel : public TGraphicControl {
  ORBEX_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return (ControlStyle() & csOpaque) == 0; }
  void SetTransparent(bool v);
  // The control that an accelerator key of the caption focuses.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* v);

  // Fits the size to the text when AutoSize is on (keeps the right edge for right-aligned
  // labels and the centre for centred ones).
  virtual void AdjustBounds();
  void Loaded() override;
  void Dispatch(TMessage& Message) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  // Draws (or with DT_CALCRECT measures) the caption in Rect with DrawText flags.
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  virtual std::string GetLabelText() const { return Caption(); }

private:
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  ORBEX_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
// A push button. Clicking sets the parent form's ModalResult to the button's; Enter runs the
// Default button and Escape the Cancel button of the form. The form tells its buttons when the
// focus moves (CM_FOCUSCHANGED): the focused button, or the Default one while no button has
// the focus, is the active one and gets the default look (SetButtonStyle).
class TButton : public TWinControl {
  ORBEX_CLASS(TButton, TWinControl)
public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  // The caption breaks into lines (BS_MULTILINE); changing it makes the window anew.
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  // A new window starts with the Default button as the active one.
  void CreateWnd() override;
  // The button became the active one of its form (or stopped being it): the system's button
  // takes or drops the default style. An owner-drawn button keeps its style, which a default
  // style would replace; it draws the active look itself.
  virtual void SetButtonStyle(bool ADefault);

private:
  bool FDefault = false;
  bool FCancel = false;
  bool FWordWrap = false;
  TModalResult FModalResult = mrNone;
};

// ---------------------------------------------------------------------------------------------
class TCustomEdit : public TWinControl {
  ORBEX_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* AOwner);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v);
  void SelectAll();
  void Clear() { SetText(std::string()); }
  void Dispatch(TMessage& Message) override;
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void Change();

private:
  int FMaxLength = 0;
  bool FReadOnly = false;
};

class TEdit : public TCustomEdit {
  ORBEX_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
class TCustomComboBox;

// The items of a combo box: kept here and mirrored into the window while it exists (the
// window is filled from them whenever it is made anew).
class TComboBoxStrings : public TStrings {
  ORBEX_CLASS(TComboBoxStrings, TStrings)
public:
  explicit TComboBoxStrings(TCustomComboBox* combo) : FCombo(combo) {}
  int Count() const override { return static_cast<int>(FItems.size()); }
  std::string Get(int i) const override;
  void Put(int i, const std::string& s) override;
  TObject* GetObject(int i) const override;
  void PutObject(int i, TObject* o) override;
  void Insert(int i, const std::string& s) override;
  void Delete(int i) override;
  void Clear() override;
  int Add(const std::string& s) override;

private:
  friend class TCustomComboBox;
  struct Item {
    std::string S;
    TObject* O = nullptr;
  };
  void CheckIndex(int i) const;
  TCustomComboBox* FCombo;
  std::vector<Item> FItems;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const TRect& Rect,
                                          TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TCustomComboBox : public TWinControl {
  ORBEX_CLASS(TCustomComboBox, TWinControl)
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* v) { FItems->Assign(v); }
  // -1: nothing selected. Out-of-range values select nothing.
  int ItemIndex() const;
  void SetItemIndex(int v);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle v);
  bool DroppedDown() const;
  void SetDroppedDown(bool v);
  int DropDownCount() const { return FDropDownCount; }
  virtual void SetDropDownCount(int v) { FDropDownCount = v < 1 ? 1 : v; }
  int ItemHeight() const;
  void SetItemHeight(int v);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool v);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v);
  // The canvas owner-draw handlers paint on (bound to the item's DC during OnDrawItem).
  TCanvas* Canvas() const { return FCanvas.get(); }
  void Clear();
  // The inner windows: the edit part (none for a list-only combo) and the drop-down list.
  HWND EditHandle() const { return FEditHandle; }
  HWND ListHandle() const { return FListHandle; }
  // The focus is on the box, its edit part or its list (followed by the box's focus
  // notifications, not asked of the system).
  bool Focused() const override;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  std::string GetText() const override;
  virtual void Change();
  virtual void Select();
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  bool IsOwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
  // The edit part's messages, subclassed: a mouse move over it makes the box the mouse
  // control; the rest goes to the edit's own procedure (CallEditProc).
  virtual void ComboWndProc(TMessage& Message);
  void CallEditProc(TMessage& Message);
  // A descendant that draws its own focus rectangle in DrawItem sets this.
  bool FDrawsFocusRect = false;

private:
  friend class TComboBoxStrings;
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  void HookEdit();
  void UnhookEdit();
  bool CursorInside() const;
  void CNCommand(TMessage& m);
  void CNDrawItem(TMessage& m);
  void CNMeasureItem(TMessage& m);
  std::unique_ptr<TComboBoxStrings> FItems;
  std::unique_ptr<TCanvas> FCanvas;
  TComboBoxStyle FStyle = csDropDown;
  int FItemIndex = -1;   // kept while there is no window
  int FItemHeight = 16;
  int FDropDownCount = 8;
  int FMaxLength = 0;
  bool FSorted = false;
  bool FDroppedDown = false;
  bool FFocusInside = false;
  HWND FEditHandle = nullptr;
  HWND FListHandle = nullptr;
  WNDPROC FEditProc = nullptr;
};

class TComboBox : public TCustomComboBox {
  ORBEX_CLASS(TComboBox, TCustomComboBox)
public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// Start-up step of the unit: registers the stored-form classes (labels, buttons, edits and combo
// boxes) by name. Runs once; later calls do nothing.
void InitStdCtrlsUnit();
