// The skinned panel: for now a stand-in, the framework's TPanel with the skinned class's published
// properties (`SkinData` with its section "PANEL") stored as the stored forms set them. It draws
// with the system, but answers the skin commands and follows skin changes. Owns its SkinData.
#pragma once

#include <memory>

#include "framework/win/ExtCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsPanel : public TPanel {
  ORBEX_CLASS(TsPanel, TPanel)
public:
  explicit TsPanel(TComponent* AOwner);
  ~TsPanel() override;
  void Loaded() override;

protected:
  void WndProc(TMessage& Message) override;

public:
  TsCommonData* SkinData() const { return FSkinData.get(); }

private:
  std::unique_ptr<TsCommonData> FSkinData;
};

// Start-up step of the unit: registers TsPanel for stored forms.
void InitPanelUnit();
