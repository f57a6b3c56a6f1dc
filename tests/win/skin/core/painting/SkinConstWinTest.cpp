// The skin core's Windows-facing additions: show modes against the system's show commands, the
// default background record, the image record of the utilities, and the timer's stored thread
// priority as a published property.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "framework/base/TypInfo.h"
#include "skin/core/sConst.h"
#include "skin/core/win/lxThreadedTimer.h"
#include "skin/paint/sUtils.h"

TEST(SkinConstWin, ShowModesAreTheSystemsShowCommands) {
  const std::pair<TsWindowShowMode, int> modes[] = {
      {soHide, SW_HIDE},           {soNormal, SW_SHOWNORMAL},          {soShowMinimized, SW_SHOWMINIMIZED},
      {soShowMaximized, SW_SHOWMAXIMIZED}, {soMaximize, SW_MAXIMIZE}, {soShowNoActivate, SW_SHOWNOACTIVATE},
      {soShow, SW_SHOW},           {soMinimize, SW_MINIMIZE},          {soShowMinNoActive, SW_SHOWMINNOACTIVE},
      {soShowNA, SW_SHOWNA},       {soRestore, SW_RESTORE},            {soDefault, SW_SHOWDEFAULT}};
  for (auto [mode, sw] : modes) EXPECT_EQ(ShowModeToSW(mode), sw) << mode;
  EXPECT_EQ(ShowModeToSW(static_cast<TsWindowShowMode>(40)), SW_SHOWNORMAL);
}

TEST(SkinConstWin, DefaultBackgroundAndImageSpec) {
  sDefaultBackground.X = 5;
  sConstInitDefaults();
  EXPECT_EQ(sDefaultBackground.Bitmap, nullptr);
  EXPECT_EQ(sDefaultBackground.X, -99);
  EXPECT_EQ(sDefaultBackground.Y, -99);
  EXPECT_EQ(sDefaultBackground.Color, 0xFF00FF);
  EXPECT_EQ(sDefaultBackground.Ready, 0);
  TBitmap b;
  const TsBackgroundInfo image = FillImageSpec(&b, 3, -4);
  EXPECT_EQ(image.Bitmap, &b);
  EXPECT_EQ(image.X, 3);
  EXPECT_EQ(image.Y, -4);
  EXPECT_EQ(image.Color, 0xFF00FF);
  EXPECT_EQ(image.Ready, 1);
}

TEST(SkinConstWin, TimerThreadPriorityIsStoredOnly) {
  if (Application == nullptr) InitForms();
  TlxThreadedTimer t(nullptr);
  EXPECT_EQ(t.ThreadPriority(), tpNormal);
  EXPECT_EQ(GetEnumProp(&t, "ThreadPriority"), "tpNormal");
  SetEnumProp(&t, "ThreadPriority", "tpHighest");
  EXPECT_EQ(t.ThreadPriority(), tpHighest);
  EXPECT_FALSE(t.Running());   // no handler: changing the priority starts nothing
  t.SetOnTimer([](TObject*) {});
  EXPECT_TRUE(t.Running());
  t.SetThreadPriority(tpIdle);
  EXPECT_TRUE(t.Running());
  EXPECT_EQ(t.ThreadPriority(), tpIdle);
}
