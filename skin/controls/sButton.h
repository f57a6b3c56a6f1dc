// The skinned push button: for now a stand-in, the framework's button with the skinned button's
// published properties (`SkinData` with its section "BUTTON", focus and content margins, the
// disabled look, the animated events) stored as the stored forms set them. It draws with the
// system, but answers the skin commands and follows skin changes. Owns its SkinData.
#pragma once

#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsButton : public TButton {
  ORBEX_CLASS(TsButton, TButton)
public:
  explicit TsButton(TComponent* AOwner);
  ~TsButton() override;
  void Loaded() override;

protected:
  void WndProc(TMessage& Message) override;

public:
  TsCtrlSkinData* SkinData() const { return FSkinData.get(); }
  bool ShowFocus = true;
  int FocusMargin = 1;
  int ContentMargin = 6;
  bool Reflected = false;
  std::string CommandLinkHint;
  // Sets of the skinned button, as bit masks in the order of their element names.
  int DisabledKind = 1;    // [dkBlended]
  int AnimatEvents = 16;   // [aeGlobalDef]

private:
  std::unique_ptr<TsCtrlSkinData> FSkinData;
};

// Start-up step of the unit: registers TsButton for stored forms.
void InitButtonUnit();
