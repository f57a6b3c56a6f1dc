// The skin state that every skinned control publishes as `SkinData`: for now a stand-in that
// only holds the published settings (section name, own manager, custom colour and font, hue and
// saturation) as the stored forms set them. The skinning engine replaces it with the full state
// (resolved indexes, cache bitmap, paint lock); until then every control is drawn by the system.
// Owns nothing; the manager reference is borrowed.
#pragma once

#include <string>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"

class TsSkinManager;

class TsCommonData : public TPersistent {
  ORBEX_CLASS(TsCommonData, TPersistent)
public:
  // `defaultSection` is what SkinSection reads until the form names another one.
  explicit TsCommonData(TPersistent* owner, const std::string& defaultSection);

  // Section names are upper-case; an empty name becomes "UNKNOWN".
  const std::string& GetSkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& value);
  TsSkinManager* GetSkinManager() const { return FSkinManager; }
  void SetSkinManager(TsSkinManager* value) { FSkinManager = value; }
  bool GetCustomColor() const { return FCustomColor; }
  void SetCustomColor(bool v) { FCustomColor = v; }
  bool GetCustomFont() const { return FCustomFont; }
  void SetCustomFont(bool v) { FCustomFont = v; }
  TPersistent* Owner() const { return FOwner; }
  void Assign(TPersistent* source) override;

private:
  TPersistent* FOwner;
  std::string FSkinSection;
  TsSkinManager* FSkinManager = nullptr;
  bool FCustomColor = false;
  bool FCustomFont = false;
};

class TsCtrlSkinData : public TsCommonData {
  ORBEX_CLASS(TsCtrlSkinData, TsCommonData)
public:
  using TsCommonData::TsCommonData;
  int GetHUEOffset() const { return FHUEOffset; }
  void SetHUEOffset(int v) { FHUEOffset = v; }
  int GetSaturation() const { return FSaturation; }
  void SetSaturation(int v) { FSaturation = v; }
  void Assign(TPersistent* source) override;

private:
  int FHUEOffset = 0;
  int FSaturation = 0;
};
