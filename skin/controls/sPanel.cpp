// Stand-in skinned panel (see sPanel.h).
#include "skin/controls/sPanel.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TsPanel, TPanel, &CreateComponentOf<TsPanel>)

void TsPanel::PublishProperties(TPublisher<TsPanel>& P) {
  P.Object("SkinData", &TsPanel::SkinData);
}

TsPanel::TsPanel(TComponent* AOwner)
    : TPanel(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 51)) {}

TsPanel::~TsPanel() = default;

void TsPanel::Loaded() {
  TPanel::Loaded();
  FSkinData->AfterLoad();
}

void TsPanel::WndProc(TMessage& Message) {
  if (HandleContainerMessage(Message, FSkinData.get(), this)) return;
  TPanel::WndProc(Message);
}

void InitPanelUnit() { RegisterClassOf<TsPanel>(); }
