// Stand-in skinned tool bar (see sToolBar.h).
#include "skin/controls/sToolBar.h"

#include "framework/base/TypInfo.h"

ORBEX_IMPLEMENT_PUBLISHED(TsToolBar, TToolBar, &CreateComponentOf<TsToolBar>)

void TsToolBar::PublishProperties(TPublisher<TsToolBar>& P) {
  P.Object("SkinData", &TsToolBar::SkinData);
  P.Set("BtnDisabledKind", &TsToolBar::BtnDisabledKind, &TsToolBar::BtnDisabledKind,
        {"dkBlended", "dkGrayed"})
      .Default(1);
}

TsToolBar::TsToolBar(TComponent* AOwner)
    : TToolBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, "TOOLBAR")) {}

TsToolBar::~TsToolBar() = default;

void InitToolBarUnit() { RegisterClassOf<TsToolBar>(); }
