// SysErrorMessage on Windows: the system's own text, without the trailing line break.
#include "framework/base/Classes.h"
#include "framework/base/SysUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(SysErrorMessage, SystemTextOfFileNotFound) {
  std::string s = SysErrorMessage(ERROR_FILE_NOT_FOUND);
  // Windows says "The system cannot find the file specified."; Wine "File not found."
  EXPECT_TRUE(s == "The system cannot find the file specified." || s == "File not found.") << s;
  EXPECT_EQ(s.find_first_of("\r\n"), std::string::npos);
  EXPECT_FALSE(SysErrorMessage(ERROR_ACCESS_DENIED).empty());
}

TEST(SysErrorMessage, FileStreamErrorsCarryTheSystemText) {
  try {
    TFileStream f("fwbase_win_missing.bin", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"fwbase_win_missing.bin\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
  }
}
