// Stand-in skinned push button (see sButton.h).
#include "skin/controls/sButton.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TsButton, TButton, &CreateComponentOf<TsButton>)

void TsButton::PublishProperties(TPublisher<TsButton>& P) {
  P.Set("AnimatEvents", &TsButton::AnimatEvents, &TsButton::AnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"})
      .Default(16);
  P.Object("SkinData", &TsButton::SkinData);
  P.Boolean("ShowFocus", &TsButton::ShowFocus, &TsButton::ShowFocus).Default(1);
  P.Set("DisabledKind", &TsButton::DisabledKind, &TsButton::DisabledKind,
        {"dkBlended", "dkGrayed"})
      .Default(1);
  P.Integer("FocusMargin", &TsButton::FocusMargin, &TsButton::FocusMargin).Default(1);
  P.String("CommandLinkHint", &TsButton::CommandLinkHint, &TsButton::CommandLinkHint);
  P.Integer("ContentMargin", &TsButton::ContentMargin, &TsButton::ContentMargin).Default(6);
  P.Boolean("Reflected", &TsButton::Reflected, &TsButton::Reflected).Default(0);
}

TsButton::TsButton(TComponent* AOwner)
    : TButton(AOwner), FSkinData(std::make_unique<TsCtrlSkinData>(this, 93)) {}

TsButton::~TsButton() = default;

void TsButton::Loaded() {
  TButton::Loaded();
  FSkinData->AfterLoad();
}

void TsButton::WndProc(TMessage& Message) {
  if (HandleCommonMessage(Message, FSkinData.get())) return;
  TButton::WndProc(Message);
}

void InitButtonUnit() { RegisterClassOf<TsButton>(); }
