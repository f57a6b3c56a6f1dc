// Stand-in skin provider (see sSkinProvider.h).
#include "skin/forms/sSkinProvider.h"

#include "framework/base/TypInfo.h"

ORBEX_IMPLEMENT_PUBLISHED(TsSkinProvider, TComponent, &CreateComponentOf<TsSkinProvider>)

void TsSkinProvider::PublishProperties(TPublisher<TsSkinProvider>& P) {
  P.Boolean("AllowAnimation", &TsSkinProvider::AllowAnimation, &TsSkinProvider::AllowAnimation)
      .Default(1);
  P.Boolean("AllowExtBorders", &TsSkinProvider::AllowExtBorders, &TsSkinProvider::AllowExtBorders)
      .Default(1);
  P.Boolean("AllowBlendOnMoving", &TsSkinProvider::AllowBlendOnMoving,
            &TsSkinProvider::AllowBlendOnMoving)
      .Default(1);
  P.Boolean("DrawNonClientArea", &TsSkinProvider::DrawNonClientArea,
            &TsSkinProvider::DrawNonClientArea)
      .Default(1);
  P.Object("SkinData", &TsSkinProvider::SkinData);
  P.Boolean("MakeSkinMenu", &TsSkinProvider::MakeSkinMenu, &TsSkinProvider::MakeSkinMenu).Default(0);
  P.String("MenuLineSkin", &TsSkinProvider::MenuLineSkin, &TsSkinProvider::MenuLineSkin);
  P.Boolean("ScreenSnap", &TsSkinProvider::ScreenSnap, &TsSkinProvider::ScreenSnap).Default(0);
  P.Integer("SnapBuffer", &TsSkinProvider::SnapBuffer, &TsSkinProvider::SnapBuffer).Default(10);
  P.Boolean("ShowAppIcon", &TsSkinProvider::ShowAppIcon, &TsSkinProvider::ShowAppIcon).Default(1);
  P.String("TitleSkin", &TsSkinProvider::TitleSkin, &TsSkinProvider::TitleSkin);
}

TsSkinProvider::TsSkinProvider(TComponent* AOwner)
    : TComponent(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 0)) {
  FSkinData->SetSkinSection("FORM");
}

TsSkinProvider::~TsSkinProvider() = default;

TsSkinProvider* TsSkinProvider::CreateRuntime(TComponent* AOwner) {
  auto* p = new TsSkinProvider(AOwner);
  p->FRuntimeMade = true;
  return p;
}

void TsSkinProvider::Loaded() { TComponent::Loaded(); }

void InitSkinProviderUnit() { RegisterClassOf<TsSkinProvider>(); }
