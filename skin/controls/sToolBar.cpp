// Stand-in skinned tool bar (see sToolBar.h).
#include "skin/controls/sToolBar.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TsToolBar, TToolBar, &CreateComponentOf<TsToolBar>)

void TsToolBar::PublishProperties(TPublisher<TsToolBar>& P) {
  P.Object("SkinData", &TsToolBar::SkinData);
  P.Set("BtnDisabledKind", &TsToolBar::BtnDisabledKind, &TsToolBar::BtnDisabledKind,
        {"dkBlended", "dkGrayed"})
      .Default(1);
}

TsToolBar::TsToolBar(TComponent* AOwner)
    : TToolBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 54)) {}

TsToolBar::~TsToolBar() = default;

void TsToolBar::Loaded() {
  TToolBar::Loaded();
  FSkinData->AfterLoad();
}

void TsToolBar::WndProc(TMessage& Message) {
  if (HandleContainerMessage(Message, FSkinData.get(), this)) return;
  TToolBar::WndProc(Message);
}

void InitToolBarUnit() { RegisterClassOf<TsToolBar>(); }
