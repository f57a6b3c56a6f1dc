// The About box: a passive stored form (logo, product name, OK button) that the main window
// shows modally. It has no code of its own beyond reading its stored form; its components
// belong to it.
#pragma once

#include <windows.h>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

class TAboutBox : public TForm {
  ORBEX_CLASS(TAboutBox, TForm)
public:
  explicit TAboutBox(TComponent* AOwner);
  ~TAboutBox() override;
  TsLabel* lblProductName = nullptr;
  TsButton* btnOK = nullptr;
  TsPanel* pnlHolder = nullptr;
  TImage* imgLogo = nullptr;
};

// Registers the form's class and component fields (start-up).
void RegisterAboutBox();

extern TAboutBox* AboutBox;
