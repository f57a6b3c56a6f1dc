// Stand-in skinned status bar (see sStatusBar.h).
#include "skin/controls/sStatusBar.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TsStatusBar, TStatusBar, &CreateComponentOf<TsStatusBar>)

void TsStatusBar::PublishProperties(TPublisher<TsStatusBar>& P) {
  P.Object("SkinData", &TsStatusBar::SkinData);
}

TsStatusBar::TsStatusBar(TComponent* AOwner)
    : TStatusBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 151)) {}

TsStatusBar::~TsStatusBar() = default;

void TsStatusBar::Loaded() {
  TStatusBar::Loaded();
  FSkinData->AfterLoad();
}

void TsStatusBar::WndProc(TMessage& Message) {
  if (HandleContainerMessage(Message, FSkinData.get(), this)) return;
  TStatusBar::WndProc(Message);
}

void InitStatusBarUnit() { RegisterClassOf<TsStatusBar>(); }
