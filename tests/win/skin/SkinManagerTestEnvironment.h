// The application environment of GUI tests that need a skin manager with the built-in shadow
// images (from the test program's resources): graphics, skin messages, layered windows, PNG
// pictures and the manager's unit.
#pragma once

#include <string>
#include <utility>

#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "tests/win/GuiTestEnvironment.h"

class TSkinManagerTestEnvironment : public TGuiTestEnvironment {
public:
  explicit TSkinManagerTestEnvironment(std::string title) : TGuiTestEnvironment(std::move(title)) {}

protected:
  void InitUnits() override {
    InitGraphicsUnit();
    sMessagesInitialization();
    InitAlphaGraphUnit();
    InitPNGUnit();
    InitSkinManagerUnit();
  }
  void Stopped() override {
    DoneSkinManagerUnit();
    DonePNGUnit();
    DoneAlphaGraphUnit();
  }
};
