// Stand-in skin state of skinned controls: the published settings only (see sCommonData.h).
#include "skin/core/win/sCommonData.h"

#include "framework/base/SysUtils.h"
#include "skin/core/win/sSkinManager.h"

ORBEX_IMPLEMENT_PUBLISHED(TsCommonData, TPersistent, nullptr)

void TsCommonData::PublishProperties(TPublisher<TsCommonData>& P) {
  P.String("SkinSection", &TsCommonData::GetSkinSection, &TsCommonData::SetSkinSection);
  P.Component("SkinManager", &TsCommonData::GetSkinManager, &TsCommonData::SetSkinManager);
  P.Boolean("CustomColor", &TsCommonData::GetCustomColor, &TsCommonData::SetCustomColor).Default(0);
  P.Boolean("CustomFont", &TsCommonData::GetCustomFont, &TsCommonData::SetCustomFont).Default(0);
}

TsCommonData::TsCommonData(TPersistent* owner, const std::string& defaultSection)
    : FOwner(owner), FSkinSection(UpperCase(defaultSection)) {}

void TsCommonData::SetSkinSection(const std::string& value) {
  FSkinSection = value.empty() ? std::string("UNKNOWN") : UpperCase(value);
}

void TsCommonData::Assign(TPersistent* source) {
  if (auto* s = As<TsCommonData>(source)) {
    FSkinSection = s->FSkinSection;
    FSkinManager = s->FSkinManager;
    FCustomColor = s->FCustomColor;
    FCustomFont = s->FCustomFont;
    return;
  }
  TPersistent::Assign(source);
}

ORBEX_IMPLEMENT_PUBLISHED(TsCtrlSkinData, TsCommonData, nullptr)

void TsCtrlSkinData::PublishProperties(TPublisher<TsCtrlSkinData>& P) {
  P.Integer("HUEOffset", &TsCtrlSkinData::GetHUEOffset, &TsCtrlSkinData::SetHUEOffset).Default(0);
  P.Integer("Saturation", &TsCtrlSkinData::GetSaturation, &TsCtrlSkinData::SetSaturation)
      .Default(0);
}

void TsCtrlSkinData::Assign(TPersistent* source) {
  TsCommonData::Assign(source);
  if (auto* s = As<TsCtrlSkinData>(source)) {
    FHUEOffset = s->FHUEOffset;
    FSaturation = s->FSaturation;
  }
}
