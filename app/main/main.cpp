// The program's entry: starts the units in their fixed order, creates the main window, the
// About box and the help form, runs the message loop, then destroys the forms (last created
// first) and stops the units in reverse order. Exits with 1 when start-up or the loop raised. Owns the unit runner for the program's life.
#include <windows.h>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "app/win/MainFrm.h"
#include "app/win/Startup.h"
#include "framework/win/Forms.h"

namespace {

void RegisterForms() {
  RegisterMainForm();
  InitConnectDlgUnit();
  RegisterAboutBox();
  RegisterHelpForm();
}

int RunProgram() {
  std::vector<TUnitStep> steps = OrbexUnitSteps();
  steps.push_back({"Application forms", &RegisterForms, nullptr});
  TUnitStartup units(std::move(steps));
  units.Initialize();
  int exitCode = 0;
  try {
    Application->Initialize();
    Application->SetTitle("Orbex");
    Application->CreateForm(MainForm);
    Application->CreateForm(AboutBox);
    Application->CreateForm(HelpForm);
    Application->Run();
  } catch (...) {
    // The error is shown; the program then ends as one that failed.
    Application->HandleException(nullptr);
    exitCode = 1;
  }
  // Help form, About box, main window: the application frees its forms last created first,
  // before any unit stops.
  Application->DestroyComponents();
  units.Finalize();
  return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return RunProgram();
  } catch (const std::exception& e) {
    MessageBoxA(nullptr, e.what(), "Orbex", MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxA(nullptr, "Unknown error", "Orbex", MB_OK | MB_ICONERROR);
  }
  return 1;
}
