// The skinned cool bar: for now a stand-in, the framework's TCoolBar with the skinned class's
// published properties (`SkinData` with its section "TOOLBAR") stored as the stored forms set them.
// It draws with the system, but answers the skin commands and follows skin changes. Owns its
// SkinData.
#pragma once

#include <memory>

#include "framework/win/ComCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsCoolBar : public TCoolBar {
  ORBEX_CLASS(TsCoolBar, TCoolBar)
public:
  explicit TsCoolBar(TComponent* AOwner);
  ~TsCoolBar() override;
  void Loaded() override;

protected:
  void WndProc(TMessage& Message) override;

public:
  TsCommonData* SkinData() const { return FSkinData.get(); }

private:
  std::unique_ptr<TsCommonData> FSkinData;
};

// Start-up step of the unit: registers TsCoolBar for stored forms.
void InitCoolBarUnit();
