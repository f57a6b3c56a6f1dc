// Stand-in skinned panel (see sPanel.h).
#include "skin/controls/sPanel.h"

#include "framework/base/TypInfo.h"

ORBEX_IMPLEMENT_PUBLISHED(TsPanel, TPanel, &CreateComponentOf<TsPanel>)

void TsPanel::PublishProperties(TPublisher<TsPanel>& P) {
  P.Object("SkinData", &TsPanel::SkinData);
}

TsPanel::TsPanel(TComponent* AOwner)
    : TPanel(AOwner), FSkinData(std::make_unique<TsCommonData>(this, "PANEL")) {}

TsPanel::~TsPanel() = default;

void InitPanelUnit() { RegisterClassOf<TsPanel>(); }
