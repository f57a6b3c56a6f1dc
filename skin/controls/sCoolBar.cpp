// Stand-in skinned cool bar (see sCoolBar.h).
#include "skin/controls/sCoolBar.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TsCoolBar, TCoolBar, &CreateComponentOf<TsCoolBar>)

void TsCoolBar::PublishProperties(TPublisher<TsCoolBar>& P) {
  P.Object("SkinData", &TsCoolBar::SkinData);
}

TsCoolBar::TsCoolBar(TComponent* AOwner)
    : TCoolBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 53)) {}

TsCoolBar::~TsCoolBar() = default;

void TsCoolBar::Loaded() {
  TCoolBar::Loaded();
  FSkinData->AfterLoad();
}

void TsCoolBar::WndProc(TMessage& Message) {
  if (HandleContainerMessage(Message, FSkinData.get(), this)) return;
  TCoolBar::WndProc(Message);
}

void InitCoolBarUnit() { RegisterClassOf<TsCoolBar>(); }
