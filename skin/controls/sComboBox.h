// The skinned combo box: frame and background from its section ("COMBOBOX"), the drop-down
// button from "COMBOBTN" with the section's arrow glyph, the current item through its own
// DrawItem (selected items from "SELECTION"), a hover glow, and a bound label (sBoundLabel)
// that follows the box when it moves. Its drop-down list is skinned by a list adapter made and
// freed through TsComboListLinks (filled by the adapters' start-up step; unfilled, the list
// keeps the system's look in the box's colours). The box owns its SkinData, bound label and
// list adapter.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sConst.h"
#include "skin/core/win/sCommonData.h"

class TsSkinManager;

// The seam between the box (skinned controls) and the adapters above it: make a skinned
// drop-down list (list window, whether it belongs to a simple combo, the manager) and answer
// an opaque owner of it; give the list its plain frame back, release the adapter and free it.
struct TsComboListLinks {
  std::function<TObject*(HWND list, bool simple, TsSkinManager* manager)> MakeList;
  std::function<void(HWND list, TObject* adapter)> FreeList;
};
TsComboListLinks& ComboListLinks();

// The drop-down button painted into `bitmap` (which holds what lies under it) at `button` in
// `state`: the skin's "COMBOBTN" when it has one, then the arrow of "COMBOBOX" centred across
// the button and down a window `height` high. Shared with the combo-box adapter.
void PaintComboButton(TBitmap* bitmap, const TRect& button, int state, int height, TsSkinManager* manager);

class TsCustomComboBox : public TCustomComboBox {
  ORBEX_CLASS(TsCustomComboBox, TCustomComboBox)
public:
  explicit TsCustomComboBox(TComponent* AOwner);
  ~TsCustomComboBox() override;
  TsCtrlSkinData* SkinData() const { return FSkinData.get(); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  int DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(int v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  void SetDropDownCount(int v) override;
  // The skinned list's adapter while the list is skinned (null otherwise).
  TObject* ListAdapter() const { return FListAdapter; }

  bool Focused() const override;
  void Invalidate() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;
  void AfterConstruction() override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void ComboWndProc(TMessage& Message) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

private:
  bool SkinCommand(TMessage& m);
  bool ReadOnlyDrops(const TMessage& m) const;
  bool SkinnedMessage(TMessage& m);
  void MouseEnterLeave(TMessage& m);
  void AfterSkinned(TMessage& m);
  TRect ButtonRect() const;
  bool RightToLeft() const;
  bool IsDrawnByOwner() const;
  void PaintCombo(HDC given);
  void PrepareCache();
  void PaintButton(const TRect& button);
  void DrawItemSkinned(int Index, const TRect& Rect, TOwnerDrawState State);
  void DrawItemPlain(int Index, const TRect& Rect, TOwnerDrawState State);
  void MakeListAdapter(HWND list);
  void FreeListAdapter(bool plainFrame);
  void SetMinVisible();

  std::unique_ptr<TsCtrlSkinData> FSkinData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TAlignment FAlignment = taLeftJustify;
  int FDisabledKind = 1;   // [dkBlended]
  bool FReadOnly = false;
  bool FShowButton = true;
  HWND FSkinnedList = nullptr;
  TObject* FListAdapter = nullptr;
  bool FListOpen = false;
};

class TsComboBox : public TsCustomComboBox {
  ORBEX_CLASS(TsComboBox, TsCustomComboBox)
public:
  explicit TsComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner) {}
};

// Start-up step of the unit: registers TsComboBox for stored forms.
void InitComboBoxUnit();
