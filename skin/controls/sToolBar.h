// The skinned tool bar: for now a stand-in, the framework's TToolBar with the skinned class's
// published properties (`SkinData` with its section "TOOLBAR", `BtnDisabledKind`) stored as the
// stored forms set them. It draws with the system, but answers the skin commands and follows skin
// changes. Owns its SkinData.
#pragma once

#include <memory>

#include "framework/win/ComCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsToolBar : public TToolBar {
  ORBEX_CLASS(TsToolBar, TToolBar)
public:
  explicit TsToolBar(TComponent* AOwner);
  ~TsToolBar() override;
  void Loaded() override;

protected:
  void WndProc(TMessage& Message) override;

public:
  TsCommonData* SkinData() const { return FSkinData.get(); }
  // How disabled buttons are drawn: bit 0 blended, bit 1 greyed.
  int BtnDisabledKind = 1;
private:
  std::unique_ptr<TsCommonData> FSkinData;
};

// Start-up step of the unit: registers TsToolBar for stored forms.
void InitToolBarUnit();
