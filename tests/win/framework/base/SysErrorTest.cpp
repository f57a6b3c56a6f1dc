// SysErrorMessage on Windows: the system's own text, without the trailing line break; and a
// failed system call raised with the code the system gave.
#include "framework/base/Classes.h"
#include "framework/base/SysUtils.h"
#include "framework/win/WinTypes.h"

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

namespace {
ORBEX_EXCEPTION(ETestResourceError, EOSError);
}  // namespace

TEST(SysErrorMessage, AFailedSystemCallIsRaisedWithItsCode) {
  HANDLE h = ::CreateFileA("fwbase_win_missing.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_EQ(h, INVALID_HANDLE_VALUE);
  const DWORD code = ::GetLastError();
  try {
    RaiseWin32Error("CreateFile", code);
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e.Message(), "CreateFile: " + SysErrorMessage(ERROR_FILE_NOT_FOUND) + " (2)");
    EXPECT_STREQ(e.ClassName(), "EOSError");
  }
  // A class of its own keeps the code too; without a name the message is the system's text.
  try {
    RaiseWin32Error<ETestResourceError>("", ERROR_ACCESS_DENIED);
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(e.Message(), SysErrorMessage(ERROR_ACCESS_DENIED));
    EXPECT_STREQ(e.ClassName(), "ETestResourceError");
  }
}
