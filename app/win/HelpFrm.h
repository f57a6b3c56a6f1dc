// The help form ("Help - FAQ"): a passive stored form with the troubleshooting texts, a picture
// of the instrument's binary mode, the support forum link and a Close button; the main window
// shows it modally. Its components belong to it.
#pragma once

#include <windows.h>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"

// The support forum the help form links to.
inline constexpr const char* SupportForumURL = "https://forum.orbex.example.org/";

class THelpForm : public TForm {
  ORBEX_CLASS(THelpForm, TForm)
public:
  explicit THelpForm(TComponent* AOwner);
  ~THelpForm() override;
  TImage* Image1 = nullptr;
  TsWebLabel* sWebLabel1 = nullptr;
  TsButton* btnClose = nullptr;
};

// Registers the form's class and component fields (start-up).
void RegisterHelpForm();

extern THelpForm* HelpForm;
