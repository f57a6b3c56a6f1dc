// Helpers of the tests on the program's own forms: its units started as in the program, the
// main window on a scratch ini naming its skin, and screen shots on request.
#pragma once

#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "app/win/MainFrm.h"
#include "app/win/Startup.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace formtest {

// Starts the program's units and registers its forms (the main window's only where the test
// links its stored data).
class TProgramUnits : public testing::Environment {
public:
  TProgramUnits(std::string title, bool mainForm) : FTitle(std::move(title)), FMainForm(mainForm) {}
  void SetUp() override {
    FUnits = std::make_unique<TUnitStartup>(OrbexUnitSteps());
    FUnits->Initialize();
    if (FMainForm) RegisterMainForm();
    InitConnectDlgUnit();
    RegisterAboutBox();
    RegisterHelpForm();
    Application->Initialize();
    Application->SetTitle(FTitle);
  }
  void TearDown() override { FUnits.reset(); }

private:
  std::string FTitle;
  bool FMainForm;
  std::unique_ptr<TUnitStartup> FUnits;
};

// The main window as the program makes it (owned by the application, so the skin finds its
// menus), reading its skin from the ini `ini`.
inline std::unique_ptr<TMainForm> MainWindow(const std::string& skin, const std::string& ini) {
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << "[Settings]\r\nSkin=" << skin << "\r\n";
  auto f = std::make_unique<TMainForm>(Application, std::make_unique<TOrbexScope>(), ini);
  f->SetBounds(40, 40, 640, 420);
  f->Show();
  Application->ProcessMessages();
  return f;
}

// The program's two stored skins, for tests run in each, and a stored skin's first word
// ("Dusk", "Linden") to name the runs and the shots.
inline auto StoredSkins() { return ::testing::Values("Dusk (internal)", "Linden (internal)"); }
inline std::string ShortSkinName(const std::string& skin) { return skin.substr(0, skin.find(' ')); }

// Saves the screen around a window, `margin` pixels on each side, when the environment
// variable `folder` (ORBEX_MENU_SHOTS unless given) names a directory.
inline void Shot(HWND w, int margin, const std::string& name, const char* folder = "ORBEX_MENU_SHOTS") {
  const char* dir = std::getenv(folder);
  if (dir == nullptr || w == nullptr) return;
  UpdateWindow(w);
  const RECT r = WindowRectOf(w);
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  b.SetSize(r.right - r.left + 2 * margin, r.bottom - r.top + 2 * margin);
  HDC screen = GetDC(nullptr);
  BitBlt(b.Canvas()->GetHandle(), 0, 0, b.GetWidth(), b.GetHeight(), screen, r.left - margin, r.top - margin, SRCCOPY);
  ReleaseDC(nullptr, screen);
  b.SaveToFile(std::string(dir) + "\\" + name + ".bmp");
}

}  // namespace formtest
