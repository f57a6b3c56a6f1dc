// Tests of the engine's UI strings: the string table linked into the program and loaded by the
// start-up step, and freed by the shut-down step.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/core/sConst.h"
#include "skin/core/win/sConstWin.h"

TEST(SkinUIStrings, LoadedFromTheStringTable) {
  sConstInitialization();
  EXPECT_EQ(s_MsgDlgOK, "OK");
  EXPECT_EQ(s_MsgDlgCancel, "Cancel");
  EXPECT_EQ(s_MsgDlgHelp, "&Help");
  EXPECT_EQ(s_RestoreStr, "Restore");
  EXPECT_EQ(s_MoveStr, "Move");
  EXPECT_EQ(s_SizeStr, "Size");
  EXPECT_EQ(s_MinimizeStr, "Minimize");
  EXPECT_EQ(s_MaximizeStr, "Maximize");
  EXPECT_EQ(s_CloseStr, "Close");
  EXPECT_EQ(s_InternalSkin, "(internal)");
  EXPECT_EQ(s_ListBoxMustBeVirtual, "Listbox (%s) style must be virtual in order to set Count");
  EXPECT_EQ(s_FrameAdapterError, "TsFrameAdapter adapter must be placed on the handled frame");
  EXPECT_EQ(s_ColorDlgDecimal, "Decimal - ");
  EXPECT_EQ(s_HintDsgPreview, "Preview of the future hint window");
  EXPECT_EQ(s_Create, "Create");
  for (const TsUIString& s : SkinUIStrings()) EXPECT_FALSE(s.Value->empty()) << s.Id;
  EXPECT_EQ(sTransparentColor, 0xFF00FF);
  EXPECT_EQ(sScrollWidth, GetSystemMetrics(SM_CXHSCROLL));
  EXPECT_GT(sScrollWidth, 0);

  sConstFinalizationStep();
  for (const TsUIString& s : SkinUIStrings()) EXPECT_TRUE(s.Value->empty()) << s.Id;
}
