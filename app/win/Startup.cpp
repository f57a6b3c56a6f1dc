// The program's ordered unit steps and the runner that starts and stops them (see Startup.h).
#include "app/win/Startup.h"

#include <exception>

#include "app/win/Config.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/Dialogs.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/Jpeg.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxGlow.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sConstWin.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sAnimations.h"
#include "skin/forms/sAppWindowHook.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/lxAlphaImageList.h"
#include "skin/paint/win/sThemes.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sGradientWin.h"
#include "skin/paint/win/sWinUtils.h"

TUnitStartup::~TUnitStartup() {
  try {
    Finalize();
  } catch (...) {
    // A destructor must not throw; Finalize already stopped every step it could.
  }
}

void TUnitStartup::Initialize() {
  try {
    while (FStarted < static_cast<int>(FSteps.size())) {
      const TUnitStep& s = FSteps[static_cast<size_t>(FStarted)];
      if (s.Init != nullptr) s.Init();
      ++FStarted;
    }
  } catch (...) {
    try {
      Finalize();
    } catch (...) {
      // The start-up error is the one to report.
    }
    throw;
  }
}

void TUnitStartup::Finalize() {
  std::exception_ptr first;
  while (FStarted > 0) {
    const TUnitStep& s = FSteps[static_cast<size_t>(--FStarted)];
    try {
      if (s.Done != nullptr) s.Done();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

namespace {

void InitFrameworkClasses() {
  InitGraphicsUnit();
  RegisterJpegFormats();
  InitImgListUnit();
  InitMenusUnit();
  InitActnListUnit();
  InitStdCtrlsUnit();
  InitExtCtrlsUnit();
  InitButtonsUnit();
  InitFrameClasses();
  InitComCtrlsUnit();
  InitDialogsUnit();
}

void InitSkinStrings() { sConstInitialization(nullptr); }

// The skinned classes the stored forms name. The alpha image list registers its class in its
// own unit step.
void InitSkinnedClasses() {
  InitStatusBarUnit();
  InitPanelUnit();
  InitCoolBarUnit();
  InitToolBarUnit();
  InitLabelUnit();
  InitButtonUnit();
  InitComboBoxUnit();
  InitSkinProviderUnit();
  InitFrameAdapterUnit();
  InitAppWindowHookUnit();
}

}  // namespace

std::vector<TUnitStep> OrbexUnitSteps() {
  return {
      // The framework's units come first in link order; the forms unit makes the application
      // object and frees it (with any form still left) last of all.
      {"Forms", &InitForms, &DoneForms},
      {"Framework classes", &InitFrameworkClasses, nullptr},
      // The program's own units.
      {"Config", &InitConfigUnit, &DoneConfigUnit},
      {"sConst", &InitSkinStrings, &sConstFinalizationStep},
      {"sMessages", &sMessagesInitialization, &sMessagesFinalization},
      {"lxPNGGraphic", &InitPNGUnit, &DonePNGUnit},
      {"lxGlow", &InitGlowUnit, &DoneGlowUnit},
      {"sDialogHook", &InitDialogHookUnit, &DoneDialogHookUnit},
      {"sAnimations", &InitAnimationsUnit, &DoneAnimationsUnit},
      {"lxSBUtils", &InitSBUtilsUnit, &DoneSBUtilsUnit},
      {"lxAlphaImageList", &InitAlphaImageListUnit, &DoneAlphaImageListUnit},
      {"sThemes", &InitThemesUnit, &DoneThemesUnit},
      {"sGradient", &InitGradientUnit, &DoneGradientUnit},
      {"sAlphaGraph", &InitAlphaGraphUnit, &DoneAlphaGraphUnit},
      {"Skinned classes", &InitSkinnedClasses, nullptr},
      {"sSkinManager", &InitSkinManagerUnit, &DoneSkinManagerUnit},
      {"sUtils", &sUtilsInitialization, nullptr},
      {"sRegisteredForms", &InitRegisteredFormsUnit, &DoneRegisteredFormsUnit},
  };
}
