// Stand-in skinned status bar (see sStatusBar.h).
#include "skin/controls/sStatusBar.h"

#include "framework/base/TypInfo.h"

ORBEX_IMPLEMENT_PUBLISHED(TsStatusBar, TStatusBar, &CreateComponentOf<TsStatusBar>)

void TsStatusBar::PublishProperties(TPublisher<TsStatusBar>& P) {
  P.Object("SkinData", &TsStatusBar::SkinData);
}

TsStatusBar::TsStatusBar(TComponent* AOwner)
    : TStatusBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, "STATUSBAR")) {}

TsStatusBar::~TsStatusBar() = default;

void InitStatusBarUnit() { RegisterClassOf<TsStatusBar>(); }
