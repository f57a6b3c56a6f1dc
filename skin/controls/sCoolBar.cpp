// Stand-in skinned cool bar (see sCoolBar.h).
#include "skin/controls/sCoolBar.h"

#include "framework/base/TypInfo.h"

ORBEX_IMPLEMENT_PUBLISHED(TsCoolBar, TCoolBar, &CreateComponentOf<TsCoolBar>)

void TsCoolBar::PublishProperties(TPublisher<TsCoolBar>& P) {
  P.Object("SkinData", &TsCoolBar::SkinData);
}

TsCoolBar::TsCoolBar(TComponent* AOwner)
    : TCoolBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, "TOOLBAR")) {}

TsCoolBar::~TsCoolBar() = default;

void InitCoolBarUnit() { RegisterClassOf<TsCoolBar>(); }
