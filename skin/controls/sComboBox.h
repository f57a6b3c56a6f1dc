// The skinned combo box: for now a stand-in, the framework's combo box with the skinned combo
// box's published properties (`SkinData` with its section "COMBOBOX", `Alignment`,
// `DisabledKind`) and its bound label (`BoundLabel`, sBoundLabel), which follows the box when
// it moves. It draws with the system, but answers the skin commands, follows
// skin changes and takes its section's colours. The combo box owns its SkinData and bound label; the bound label owns its label while active.
#pragma once

#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sConst.h"
#include "skin/core/win/sCommonData.h"

class TsCustomComboBox : public TCustomComboBox {
  ORBEX_CLASS(TsCustomComboBox, TCustomComboBox)
public:
  explicit TsCustomComboBox(TComponent* AOwner);
  ~TsCustomComboBox() override;
  TsCtrlSkinData* SkinData() const { return FSkinData.get(); }
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
  TAlignment Alignment = taLeftJustify;
  int DisabledKind = 1;   // [dkBlended]

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

private:
  std::unique_ptr<TsCtrlSkinData> FSkinData;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
};

class TsComboBox : public TsCustomComboBox {
  ORBEX_CLASS(TsComboBox, TsCustomComboBox)
public:
  explicit TsComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner) {}
};

// Start-up step of the unit: registers TsComboBox for stored forms.
void InitComboBoxUnit();
