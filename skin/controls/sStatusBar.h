// The skinned status bar: for now a stand-in, the framework's TStatusBar with the skinned class's
// published properties (`SkinData` with its section "STATUSBAR") stored as the stored forms set
// them. It draws with the system, but answers the skin commands and follows skin changes. Owns its
// SkinData.
#pragma once

#include <memory>

#include "framework/win/ComCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsStatusBar : public TStatusBar {
  ORBEX_CLASS(TsStatusBar, TStatusBar)
public:
  explicit TsStatusBar(TComponent* AOwner);
  ~TsStatusBar() override;
  void Loaded() override;

protected:
  void WndProc(TMessage& Message) override;

public:
  TsCommonData* SkinData() const { return FSkinData.get(); }

private:
  std::unique_ptr<TsCommonData> FSkinData;
};

// Start-up step of the unit: registers TsStatusBar for stored forms.
void InitStatusBarUnit();
