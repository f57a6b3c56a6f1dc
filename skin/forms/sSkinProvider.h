// The skin provider of a form: for now a stand-in that holds the published settings the stored
// forms set (`SkinData` with its section "FORM", skinned menus, title skin, animation
// switches). It does not take over the form's window method; forms are drawn by the system
// until the skinning engine arrives; its SkinData is the real skin state of section "FORM". Owns its SkinData.
#pragma once

#include <memory>
#include <string>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"
#include "skin/core/win/sCommonData.h"

class TsSkinProvider : public TComponent {
  ORBEX_CLASS(TsSkinProvider, TComponent)
public:
  explicit TsSkinProvider(TComponent* AOwner);
  ~TsSkinProvider() override;
  // A provider made for a form that was designed without one (the thread hook makes these).
  static TsSkinProvider* CreateRuntime(TComponent* AOwner);
  TsCommonData* SkinData() const { return FSkinData.get(); }
  void SetUseGlobalColor(bool value) { FUseGlobalColor = value; }
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void Loaded() override;
  bool IsEmptyProvider() const { return false; }
  bool RuntimeMade() const { return FRuntimeMade; }
  bool AllowAnimation = true;
  bool AllowExtBorders = true;
  bool AllowBlendOnMoving = true;
  bool DrawNonClientArea = true;
  bool MakeSkinMenu = false;
  bool ScreenSnap = false;
  bool ShowAppIcon = true;
  int SnapBuffer = 10;
  std::string MenuLineSkin;
  std::string TitleSkin;

private:
  std::unique_ptr<TsCommonData> FSkinData;
  bool FUseGlobalColor = true;
  bool FRuntimeMade = false;
};

// Start-up step of the unit: registers TsSkinProvider for stored forms.
void InitSkinProviderUnit();
