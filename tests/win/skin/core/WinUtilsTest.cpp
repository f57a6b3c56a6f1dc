// Tests of the Windows utilities: caption font, system checks after the start-up look-ups,
// the program folder.
#include <gtest/gtest.h>

#include "framework/win/Graphics.h"

#include <windows.h>

#include "framework/base/SysUtils.h"
#include "skin/paint/win/sWinUtils.h"

TEST(SkinWinUtils, CaptionFont) {
  const int height = CaptionFontHeight();
  EXPECT_NE(height, 0);
  TOwnedFont font = CreateCaptionFont();
  ASSERT_TRUE(font.Valid());
  LOGFONTA lf{};
  ASSERT_GT(GetObjectA(font.Get(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfHeight, height);
}

TEST(SkinWinUtils, SystemChecksAfterStartUp) {
  sUtilsInitialization();
  EXPECT_FALSE(DebuggerAttached());   // the entry point is found and nobody debugs the test
  BOOL wow = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow);
  EXPECT_EQ(RunningUnderWow64(), wow != FALSE);
  if (!RunningUnderWow64()) {
    EXPECT_FALSE(Wow64WithoutComposition);
  }
  EXPECT_TRUE(IsXpOrLater());
  // The animation switch is not checked here: Wine answers SPI_GETANIMATION but ignores
  // SPI_SETANIMATION.
}

TEST(SkinWinUtils, ApplicationFolder) {
  const std::string folder = ApplicationFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  EXPECT_EQ(folder + ExtractFileName(path), std::string(path));
}

namespace {
int DelayTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++DelayTicks; }

int IconWidth(const TIcon& icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon.GetHandle(), &info)) return 0;
  const TOwnedBitmap color(info.hbmColor), mask(info.hbmMask);   // copies made for us
  BITMAP bm{};
  GetObjectA(color ? color.Get() : mask.Get(), sizeof bm, &bm);
  return bm.bmWidth;
}
}  // namespace

TEST(SkinWinUtils, DelayServesMessages) {
  DelayTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, CountTick);
  const DWORD start = GetTickCount();
  DelayWithMessages(80);
  KillTimer(nullptr, timer);
  EXPECT_GE(GetTickCount() - start, 80u);
  EXPECT_GT(DelayTicks, 0);
}

TEST(SkinWinUtils, ExtractAppIcon) {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, MAX_PATH);
  const std::string shell = std::string(dir) + "\\shell32.dll";
  auto large = ExtractAppIcon(shell, true);
  auto small = ExtractAppIcon(shell, false);
  ASSERT_FALSE(large->Empty());
  ASSERT_FALSE(small->Empty());
  EXPECT_EQ(IconWidth(*large), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconWidth(*small), GetSystemMetrics(SM_CXSMICON));

  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  EXPECT_TRUE(ExtractAppIcon(self, true)->Empty());   // the test has no icon
  EXPECT_TRUE(ExtractAppIcon("Z:\\no\\such\\file.exe", true)->Empty());
}
