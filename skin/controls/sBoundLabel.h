// The caption label that an edit-type skinned control carries beside, above or below itself
// (the combo box publishes it as `BoundLabel`). While active it owns a `TsEditLabel` whose
// focus control is the bound control, placed by the caption layout; while inactive its own
// font keeps what is set, and the next label takes it. The label itself is owned by the bound
// control as a component; it tells this object when it goes, whoever frees it.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include <memory>
#include <string>

#include "framework/base/Classes.h"
#include "skin/core/sConst.h"

class TsCommonData;
class TsEditLabel;
class TWinControl;

class TsBoundLabel : public TPersistent {
  ORBEX_CLASS(TsBoundLabel, TPersistent)
public:
  // `skinData` is the bound control's skin state; its owner control is the bound control.
  explicit TsBoundLabel(TsCommonData* skinData);
  ~TsBoundLabel() override;

  bool GetActive() const { return FActive; }
  // True makes the label (named after the control's Name followed by "Label"); false frees it.
  void SetActive(bool v);
  const std::string& GetCaption() const { return FCaption; }
  // The label's text; an empty caption shows the control's Name.
  void SetCaption(const std::string& v);
  int GetIndent() const { return FIndent; }
  void SetIndent(int v);
  TsCaptionLayout GetLayout() const { return FLayout; }
  void SetLayout(TsCaptionLayout v);
  int GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v);
  bool GetUseSkinColor() const;
  void SetUseSkinColor(bool v);
  // The label's font while there is a label, else the own font the next label takes.
  TFont* GetFont() const;
  void SetFont(TFont* v);
  TsEditLabel* Label() const { return FLabel; }
  // Places a visible label beside the control by the layout.
  void Realign();
  // The label is being freed (by the control or by its parent form before the control).
  void LabelGone(const TsEditLabel* label);

private:
  TWinControl* Control() const;
  void SetLabelAlignment();

  int FMaxWidth = 0;
  std::string FCaption;
  TsCaptionLayout FLayout = sclLeft;
  TsEditLabel* FLabel = nullptr;   // owned by the bound control as a component, freed here
  int FIndent = 0;
  bool FActive = false;
  std::unique_ptr<TFont> FFont;
  TsCommonData* FCommonData;
};
