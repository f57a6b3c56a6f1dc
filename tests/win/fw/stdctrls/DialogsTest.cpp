// File dialogs: the properties as the system's OPENFILENAME sees them, and the user's choice
// read back from it, never past the buffer (the dialog itself is not opened here).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/win/win/Dialogs.h"
#include "framework/win/win/ExtCtrls.h"

TEST(FileDialogs, FilterBecomesZeroSeparatedList) {
  using namespace std::string_literals;
  EXPECT_EQ(FilterToSystem("Windows Bitmap (256 colors)|*.bmp"),
            "Windows Bitmap (256 colors)\0*.bmp\0\0"s);
  EXPECT_EQ(FilterToSystem("A|*.a|B|*.b;*.c"), "A\0*.a\0B\0*.b;*.c\0\0"s);
  // A description without its pattern is dropped; nothing at all gives no filter.
  EXPECT_EQ(FilterToSystem("A|*.a|B"), "A\0*.a\0\0"s);
  EXPECT_EQ(FilterToSystem("A"), ""s);
  EXPECT_EQ(FilterToSystem(""), ""s);
}

TEST(FileDialogs, SaveDialogPropertiesMapToOpenFileName) {
  TSaveDialog dlg(nullptr);
  dlg.SetTitle("Export scope trace to file");
  dlg.SetInitialDir("C:\\traces");
  dlg.SetFilter("Windows Bitmap (256 colors)|*.bmp");
  dlg.SetDefaultExt("bmp");
  dlg.SetFilterIndex(0);
  dlg.SetFileName("trace.bmp");
  dlg.SetOptions(dlg.Options() | ofOverwritePrompt);
  TOpenFileNameData d;
  HWND owner = reinterpret_cast<HWND>(0x1234);
  dlg.PrepareOpenFileName(d, owner);
  const OPENFILENAMEA& o = d.OFN;
  EXPECT_EQ(o.lStructSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(o.hwndOwner, owner);
  EXPECT_STREQ(o.lpstrTitle, "Export scope trace to file");
  EXPECT_STREQ(o.lpstrInitialDir, "C:\\traces");
  EXPECT_STREQ(o.lpstrDefExt, "bmp");
  EXPECT_EQ(o.nFilterIndex, 0u);
  ASSERT_NE(o.lpstrFilter, nullptr);
  EXPECT_EQ(std::memcmp(o.lpstrFilter, "Windows Bitmap (256 colors)\0*.bmp\0\0", 36), 0);
  EXPECT_STREQ(o.lpstrFile, "trace.bmp");
  EXPECT_GE(o.nMaxFile, static_cast<DWORD>(MAX_PATH));
  EXPECT_NE(o.Flags & OFN_OVERWRITEPROMPT, 0u);
  EXPECT_NE(o.Flags & OFN_HIDEREADONLY, 0u);
  EXPECT_NE(o.Flags & OFN_EXPLORER, 0u);
  EXPECT_EQ(o.Flags & OFN_ALLOWMULTISELECT, 0u);

  // Unset strings are absent, not empty; a dotted extension loses its dot.
  TSaveDialog bare(nullptr);
  bare.SetDefaultExt(".bmp");
  bare.PrepareOpenFileName(d, nullptr);
  EXPECT_EQ(d.OFN.lpstrTitle, nullptr);
  EXPECT_EQ(d.OFN.lpstrFilter, nullptr);
  EXPECT_EQ(d.OFN.lpstrInitialDir, nullptr);
  EXPECT_STREQ(d.OFN.lpstrDefExt, "bmp");
  EXPECT_EQ(d.OFN.lpstrFile[0], '\0');
}

TEST(FileDialogs, LongFileNamesGetARoomyBuffer) {
  TOpenDialog dlg(nullptr);
  std::string longName(5000, 'a');
  dlg.SetFileName(longName);
  TOpenFileNameData d;
  dlg.PrepareOpenFileName(d, nullptr);
  EXPECT_GT(d.OFN.nMaxFile, 5000u);
  EXPECT_EQ(std::string(d.OFN.lpstrFile), longName);
}

TEST(FileDialogs, ChoiceIsReadBack) {
  TOpenDialog dlg(nullptr);
  TOpenFileNameData d;
  dlg.PrepareOpenFileName(d, nullptr);
  std::strcpy(d.File.data(), "C:\\out\\trace.bmp");
  d.OFN.nFilterIndex = 2;
  d.OFN.Flags |= OFN_READONLY;
  dlg.ReadOpenFileName(d);
  EXPECT_EQ(dlg.FileName(), "C:\\out\\trace.bmp");
  EXPECT_EQ(dlg.FilterIndex(), 2);
  EXPECT_NE(dlg.Options() & ofReadOnly, 0u);
  ASSERT_EQ(dlg.Files().size(), 1u);

  // A multiple selection: the folder, then the names, then an empty name.
  dlg.SetOptions(dlg.Options() | ofAllowMultiSelect);
  dlg.PrepareOpenFileName(d, nullptr);
  const char multi[] = "C:\\out\0a.bmp\0b.bmp\0";
  std::memcpy(d.File.data(), multi, sizeof(multi));
  dlg.ReadOpenFileName(d);
  ASSERT_EQ(dlg.Files().size(), 2u);
  EXPECT_EQ(dlg.Files()[0], "C:\\out\\a.bmp");
  EXPECT_EQ(dlg.Files()[1], "C:\\out\\b.bmp");
  EXPECT_EQ(dlg.FileName(), "C:\\out\\a.bmp");

  // A buffer the system left without its final zero is not read past its end.
  d.File.assign(8, 'x');
  dlg.ReadOpenFileName(d);
  ASSERT_EQ(dlg.Files().size(), 1u);
  EXPECT_EQ(dlg.FileName(), "xxxxxxxx");
}

TEST(FileDialogs, ExecuteRunsTheSystemSaveDialog) {
  // Driven from a timer inside the dialog's own loop: type a name without extension, press OK.
  TSaveDialog dlg(nullptr);
  dlg.SetTitle("Export scope trace to file");
  dlg.SetFilter("Windows Bitmap (256 colors)|*.bmp");
  dlg.SetDefaultExt("bmp");
  dlg.SetFilterIndex(0);
  char dir[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, dir);
  dlg.SetInitialDir(dir);
  TTimer driver(nullptr);
  bool typed = false;
  driver.SetInterval(100);
  driver.SetOnTimer([&](TObject*) {
    HWND box = ::FindWindowA("#32770", "Export scope trace to file");
    if (box == nullptr || !::IsWindowVisible(box)) return;
    driver.SetEnabled(false);
    typed = true;
    // cmb13 (0x47C) is the file name box of the explorer-style dialog, edt1 (0x480) of the old.
    if (!::SetDlgItemTextA(box, 0x47C, "trace")) ::SetDlgItemTextA(box, 0x480, "trace");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  bool ok = dlg.Execute();
  EXPECT_TRUE(typed);
  ASSERT_TRUE(ok);
  std::string expected = IncludeTrailingPathDelimiter(dir) + "trace.bmp";
  EXPECT_TRUE(SameText(dlg.FileName(), expected)) << dlg.FileName();
}
