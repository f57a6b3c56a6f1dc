// The skinned combo box: for now a stand-in, the framework's combo box with the skinned combo
// box's published properties (`SkinData` with its section "COMBOBOX", `Alignment`,
// `DisabledKind`) and its bound label: `BoundLabel` holds a caption label that, while active,
// sits beside the box (on its left for sclLeft, above or below for the other layouts) and
// follows it when it moves. It draws with the system, but answers the skin commands, follows
// skin changes and takes its section's colours. The combo box owns its SkinData and bound label; the bound label owns its label while active.
#pragma once

#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sConst.h"
#include "skin/core/win/sCommonData.h"

class TsCustomComboBox;

// The label a bound label shows; owned by the bound control.
class TsEditLabel : public TsLabel {
  ORBEX_CLASS(TsEditLabel, TsLabel)
public:
  explicit TsEditLabel(TComponent* AOwner) : TsLabel(AOwner) {}
};

class TsBoundLabel : public TPersistent {
  ORBEX_CLASS(TsBoundLabel, TPersistent)
public:
  explicit TsBoundLabel(TWinControl* control);
  ~TsBoundLabel() override;

  bool GetActive() const { return FLabel != nullptr; }
  // True makes the label (named after the control's Name followed by "Label"); false frees it.
  void SetActive(bool v);
  const std::string& GetCaption() const { return FCaption; }
  void SetCaption(const std::string& v);
  int GetIndent() const { return FIndent; }
  void SetIndent(int v);
  TsCaptionLayout GetLayout() const { return FLayout; }
  void SetLayout(TsCaptionLayout v);
  int GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v);
  bool GetUseSkinColor() const { return FLabel != nullptr ? FLabel->UseSkinColor : true; }
  void SetUseSkinColor(bool v);
  // The label's font while there is a label, else the font it will get.
  TFont* GetFont() const;
  TsEditLabel* Label() const { return FLabel; }
  // Places the label beside the control.
  void Realign();
  // The label was freed by someone else (its parent form frees it before the control when it
  // is listed after it): forget it, so that it is not freed twice.
  void LabelDestroyed() { FLabel = nullptr; }

private:
  TWinControl* FControl;
  TsEditLabel* FLabel = nullptr;   // owned by the control, freed here
  std::unique_ptr<TFont> FFont;
  std::string FCaption;
  int FIndent = 0;
  int FMaxWidth = 0;
  TsCaptionLayout FLayout = sclLeft;
};

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

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

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
