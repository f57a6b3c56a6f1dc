// The program as the main-window benchmarks run it: its units started in the program's order,
// its stored forms registered, the application initialised, and the main window made over a
// scratch ini file and shown. Owns the units' start-up, the window and the scratch file, which
// it removes again; the units are stopped after the window is gone.
#pragma once

#include "framework/win/Forms.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "app/win/MainFrm.h"
#include "app/win/Startup.h"

inline void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

class TBenchMainWindow {
public:
  // `tag` names the scratch ini file; `scope` is the main window's instrument link.
  TBenchMainWindow(const char* title, const char* tag, std::unique_ptr<TOrbexScope> scope)
      : FUnits(OrbexUnitSteps()) {
    FUnits.Initialize();
    RegisterMainForm();
    InitConnectDlgUnit();
    RegisterAboutBox();
    RegisterHelpForm();
    Application->Initialize();
    Application->SetTitle(title);
    char tmp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, tmp);
    FIni = std::string(tmp) + "orbex-bench-" + tag + "-" + std::to_string(GetCurrentProcessId()) + ".ini";
    DeleteFileA(FIni.c_str());
    FMain = std::make_unique<TMainForm>(Application, std::move(scope), FIni);
    FMain->SetBounds(40, 40, 740, 520);
    FMain->Show();
    Pump();
  }
  ~TBenchMainWindow() {
    FMain.reset();
    DeleteFileA(FIni.c_str());
    FUnits.Finalize();
  }
  TBenchMainWindow(const TBenchMainWindow&) = delete;
  TBenchMainWindow& operator=(const TBenchMainWindow&) = delete;

  TMainForm* Main() const { return FMain.get(); }
  // True when the main window shows a skin; else says so on the output, under `name`.
  bool Skinned(const char* name) const {
    if (FMain->SkinManager != nullptr && FMain->SkinManager->SkinData().Active) return true;
    std::printf("%s: the main window has no active skin\n", name);
    return false;
  }

private:
  TUnitStartup FUnits;
  std::string FIni;
  std::unique_ptr<TMainForm> FMain;
};
