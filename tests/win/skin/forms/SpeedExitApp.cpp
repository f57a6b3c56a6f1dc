// The other program of the speed-button end test, found beside it: a skinned main form with
// three adapted speed buttons, closed by a timer once shown. The loop ends and the program frees
// its forms as the real one does, with the handlers still alive. Writes to the file named by
// the first argument:
//   alive <n>    speed-button handlers alive when the loop has returned
//   left <n>     handlers left once the forms are freed
#include <windows.h>

#include <cstdio>
#include <memory>

#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "skin/adapters/lxSpeedButton.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxCtrlAdapter.h"
#include "skin/forms/sSkinProvider.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) return 2;
  sMessagesInitialization();
  InitForms();
  Application->Initialize();
  auto manager = std::make_unique<TsSkinManager>(nullptr);
  manager->SetSkinDirectory(ORBEX_SPEED_SKINS);
  manager->SetSkinName("Speed");
  manager->SetActive(true);

  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBounds(120, 90, 400, 300);
  auto* provider = NewComponent<TsSkinProvider>(main);
  TSpeedButton* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = NewComponent<TSpeedButton>(main);
    buttons[i]->SetParent(main);
    buttons[i]->SetBounds(10 + 80 * i, 10, 75, 25);
  }
  auto* closer = NewComponent<TTimer>(main);
  closer->SetInterval(300);
  closer->SetOnTimer([&](TObject*) {
    closer->SetEnabled(false);
    main->Close();
  });
  closer->SetEnabled(true);
  main->Show();
  SendSkinCommandToControl(main, SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(manager.get()));
  if (provider->CtrlAdapter() != nullptr)
    for (TSpeedButton* b : buttons) provider->CtrlAdapter()->AddGraphicControl(b);
  Application->Run();
  std::fprintf(report, "alive %d\n", TlxSpeedButtonHandler::LiveCount());
  DoneForms();
  manager.reset();
  std::fprintf(report, "left %d\n", TlxSpeedButtonHandler::LiveCount());
  std::fclose(report);
  return 0;
}
