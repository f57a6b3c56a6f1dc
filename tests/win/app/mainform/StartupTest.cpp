// The ordered unit start-up: steps start in list order and stop in reverse; a failing step
// stops what started before it; a failing shut-down step does not keep the others from
// stopping; the program's list keeps its fixed order; the skin manager's step and the alpha
// image list's; a program ending with popup-menu adapters alive frees each.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/win/Startup.h"
#include "framework/base/win/ResourceStream.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/lxAlphaImageList.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sThemes.h"
#include "tests/win/OtherProgram.h"

namespace {

std::vector<std::string> Log;
bool FailInit2 = false;
bool FailDone2 = false;

void I1() { Log.push_back("+1"); }
void D1() { Log.push_back("-1"); }
void I2() {
  if (FailInit2) throw std::runtime_error("step 2 failed");
  Log.push_back("+2");
}
void D2() {
  Log.push_back("-2");
  if (FailDone2) throw std::runtime_error("stop 2 failed");
}
void I3() { Log.push_back("+3"); }
void D3() { Log.push_back("-3"); }

std::vector<TUnitStep> Steps() {
  return {{"one", &I1, &D1}, {"two", &I2, &D2}, {"empty", nullptr, nullptr}, {"three", &I3, &D3}};
}

class Startup : public testing::Test {
protected:
  void SetUp() override {
    Log.clear();
    FailInit2 = FailDone2 = false;
  }
};

TEST_F(Startup, StartsInOrderAndStopsInReverse) {
  {
    TUnitStartup u(Steps());
    u.Initialize();
    EXPECT_EQ(u.StartedCount(), 4);
    u.Finalize();
    EXPECT_EQ(u.StartedCount(), 0);
    u.Finalize();   // nothing left to stop
  }
  EXPECT_EQ(Log, (std::vector<std::string>{"+1", "+2", "+3", "-3", "-2", "-1"}));
}

TEST_F(Startup, TheDestructorStopsWhatIsStillStarted) {
  { TUnitStartup(Steps()).Initialize(); }
  EXPECT_EQ(Log, (std::vector<std::string>{"+1", "+2", "+3", "-3", "-2", "-1"}));
}

TEST_F(Startup, AFailingStepStopsTheStepsBeforeIt) {
  FailInit2 = true;
  TUnitStartup u(Steps());
  EXPECT_THROW(u.Initialize(), std::runtime_error);
  EXPECT_EQ(u.StartedCount(), 0);
  EXPECT_EQ(Log, (std::vector<std::string>{"+1", "-1"}));
}

TEST_F(Startup, AFailingStopStillStopsTheOthersAndIsReported) {
  FailDone2 = true;
  TUnitStartup u(Steps());
  u.Initialize();
  EXPECT_THROW(u.Finalize(), std::runtime_error);
  EXPECT_EQ(Log, (std::vector<std::string>{"+1", "+2", "+3", "-3", "-2", "-1"}));
}

TEST_F(Startup, TheProgramsStepsKeepTheirOrder) {
  std::vector<std::string> names;
  for (const TUnitStep& s : OrbexUnitSteps()) names.emplace_back(s.Name);
  const std::vector<std::string> expected = {
      "Forms",      "Framework classes", "Config",           "sConst",
      "sMessages",  "lxPNGGraphic",      "lxGlow",           "sDialogHook",      "sAnimations",
      "lxSBUtils",  "lxAlphaImageList",  "sThemes",          "sGradient",
      "sAlphaGraph", "Skinned classes",  "sSkinManager",     "sUtils",
      "sRegisteredForms"};
  EXPECT_EQ(names, expected);
}

TEST_F(Startup, TheSkinManagersStepReadsTheShadowsAndThePlatform) {
  // The test program ran the program's steps: the built-in shadows are 32 x 32 PNG pictures.
  ASSERT_NE(BuiltInShadowActive(), nullptr);
  ASSERT_NE(BuiltInShadowInactive(), nullptr);
  EXPECT_EQ(BuiltInShadowActive()->GetWidth(), 32);
  EXPECT_EQ(BuiltInShadowInactive()->GetHeight(), 32);
  EXPECT_TRUE(IsNTFamily);
}

// The alpha image list's step builds the 48 x 16 list from the five PNG resources in their
// order; shut-down frees it.
TEST_F(Startup, TheAlphaImageListStepBuildsTheGlobalListAndShutDownFreesIt) {
  TsAlphaImageList* list = GlobalAlphaImageList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetWidth(), 48);
  EXPECT_EQ(list->GetHeight(), 16);
  EXPECT_EQ(list->Count(), 5);
  ASSERT_EQ(list->Items()->Count(), 5);
  const char* names[] = {"SF", "SR", "SD", "SE", "SC"};
  for (int i = 0; i < 5; ++i) {
    const TsImgListItem* it = list->Items()->Items(i);
    TResourceStream s(nullptr, names[i]);
    EXPECT_EQ(it->Data, std::vector<std::uint8_t>(s.Memory(), s.Memory() + s.Size())) << names[i];
    EXPECT_EQ(it->DecodedWidth, 48) << names[i];
    EXPECT_EQ(it->DecodedHeight, 16) << names[i];
  }
  DoneAlphaImageListUnit();
  EXPECT_EQ(GlobalAlphaImageList(), nullptr);
  InitAlphaImageListUnit();
}

HWND ThemeResetOf = nullptr;
HRESULT WINAPI RecordThemeReset(HWND wnd, LPCWSTR, LPCWSTR) {
  ThemeResetOf = wnd;
  return S_OK;
}

// The theme step fills the visual-styles table from the system's library (Wine has one), a
// control's theme reset goes through the table, and shut-down empties it.
TEST_F(Startup, TheThemeStepFillsTheThemeTableAndShutDownEmptiesIt) {
  TThemeEntries& t = ThemeEntries();
  ASSERT_NE(t.SetWindowTheme, nullptr);
  EXPECT_NE(t.DrawThemeParentBackground, nullptr);
  const TThemeEntries saved = t;
  t.SetWindowTheme = &RecordThemeReset;
  const HWND desktop = GetDesktopWindow();
  EXPECT_TRUE(ResetWindowTheme(desktop));
  EXPECT_EQ(ThemeResetOf, desktop);
  DoneThemesUnit();
  EXPECT_EQ(t.SetWindowTheme, nullptr);
  EXPECT_EQ(t.IsAppThemed, nullptr);
  InitThemesUnit();
  EXPECT_NE(t.SetWindowTheme, nullptr);
  t = saved;
}

// The scroll-bar step finds its three system entry points (Wine has them all) and shut-down
// drops them.
TEST_F(Startup, TheScrollBarStepFindsItsEntryPointsAndShutDownDropsThem) {
  const TlxScrollEntries& t = ScrollEntries();
  EXPECT_NE(t.GetScrollBarInfo, nullptr);
  EXPECT_NE(t.InitializeFlatSB, nullptr);
  EXPECT_NE(t.UninitializeFlatSB, nullptr);
  DoneSBUtilsUnit();
  EXPECT_EQ(t.GetScrollBarInfo, nullptr);
  EXPECT_EQ(t.InitializeFlatSB, nullptr);
  InitSBUtilsUnit();
  EXPECT_NE(t.GetScrollBarInfo, nullptr);
}

TEST(ProgramExit, PopupAdaptersLeftAliveAreFreedEachOnce) {
  EXPECT_EQ(othertest::RunProgramBeside("exit_adapters_app.exe", ""), 0);
}

}  // namespace
