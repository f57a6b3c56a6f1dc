#include "framework/base/SysUtils.h"

#include <gtest/gtest.h>

TEST(SysUtils, IntegersReadDecimalAndBothHexForms) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x1F"), 31);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToIntDef("", 5), 5);
  EXPECT_EQ(StrToIntDef(" 1", 5), 5);
  EXPECT_EQ(StrToIntDef("2147483648", 5), 5);
  EXPECT_EQ(StrToIntDef("$100000000", 5), 5);
  try {
    StrToInt("x1");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid integer value");
  }
}

TEST(SysUtils, FormatAndPaths) {
  EXPECT_EQ(Format("Could not connect to %s", "COM99"), "Could not connect to COM99");
  EXPECT_EQ(ChangeFileExt("c:\\a.b\\orbex.exe", ".ini"), "c:\\a.b\\orbex.ini");
  EXPECT_EQ(ChangeFileExt("c:\\a.b\\orbex", ".ini"), "c:\\a.b\\orbex.ini");
  EXPECT_EQ(ExtractFilePath("c:\\x\\y.dat"), "c:\\x\\");
  EXPECT_EQ(ExtractFileExt("Dusk.tez"), ".tez");
  EXPECT_TRUE(SameText("Options.dat", "options.DAT"));
}
