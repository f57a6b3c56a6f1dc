// File dialogs: the properties as the system's OPENFILENAME sees them, and the user's choice
// read back from it, never past the buffer; the system's save dialog run once. The message
// box's copy to the clipboard (Ctrl+C, Ctrl+Insert), also with a busy clipboard.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "framework/win/Dialogs.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/WinTypes.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

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

// ---------------------------------------------------------------------------------------------
// The message box's copy: Ctrl+C or Ctrl+Insert, as the application loop gets them (the
// modifiers in the thread's keyboard state, the key posted to a button of the box), puts its
// caption, message and buttons on the clipboard in the system's layout.
namespace {

struct TTestGlobalTraits {
  using Handle = HGLOBAL;
  static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
using TTestGlobal = THandleOwner<TTestGlobalTraits>;

// The clipboard opened by `owner` (may be null), retried for a while: the system's clipboard
// manager may hold it for a moment after a change. Closed when the guard goes.
class TTestClipboard {
public:
  explicit TTestClipboard(HWND owner) {
    const DWORD start = ::GetTickCount();
    while (!(FOpen = ::OpenClipboard(owner) != FALSE) && ::GetTickCount() - start < 2000) ::Sleep(10);
  }
  TTestClipboard(const TTestClipboard&) = delete;
  TTestClipboard& operator=(const TTestClipboard&) = delete;
  ~TTestClipboard() {
    if (FOpen) ::CloseClipboard();
  }
  bool Open() const { return FOpen; }

private:
  bool FOpen = false;
};

void EmptyTestClipboard() {
  TTestClipboard clipboard(nullptr);
  ASSERT_TRUE(clipboard.Open());
  ASSERT_TRUE(::EmptyClipboard());
}

void PutTestClipboardText(HWND owner, const std::string& text) {
  TTestGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  ASSERT_TRUE(memory.Valid());
  void* data = ::GlobalLock(memory.Get());
  ASSERT_NE(data, nullptr);
  std::memcpy(data, text.c_str(), text.size() + 1);
  ::GlobalUnlock(memory.Get());
  TTestClipboard clipboard(owner);
  ASSERT_TRUE(clipboard.Open());
  ASSERT_TRUE(::EmptyClipboard());
  ASSERT_NE(::SetClipboardData(CF_TEXT, memory.Get()), nullptr);
  static_cast<void>(memory.Release());
}

// The clipboard's text, or nullopt when it holds none; never read past the memory's size.
std::optional<std::string> TestClipboardText() {
  TTestClipboard clipboard(nullptr);
  if (!clipboard.Open()) return std::string("<clipboard busy>");
  HANDLE data = ::GetClipboardData(CF_TEXT);
  if (data == nullptr) return std::nullopt;
  const SIZE_T size = ::GlobalSize(data);
  const char* text = static_cast<const char*>(::GlobalLock(data));
  if (text == nullptr) return std::nullopt;
  std::string out(text, ::strnlen(text, size));
  ::GlobalUnlock(data);
  return out;
}

// The thread's keyboard state with these modifiers down, restored when the guard goes.
class THeldModifiers {
public:
  explicit THeldModifiers(TShiftState shift) {
    ::GetKeyboardState(FSaved.data());
    std::array<BYTE, 256> keys = FSaved;
    keys[VK_CONTROL] = (shift & ssCtrl) ? 0x80 : 0;
    keys[VK_SHIFT] = (shift & ssShift) ? 0x80 : 0;
    keys[VK_MENU] = (shift & ssAlt) ? 0x80 : 0;
    ::SetKeyboardState(keys.data());
  }
  THeldModifiers(const THeldModifiers&) = delete;
  THeldModifiers& operator=(const THeldModifiers&) = delete;
  ~THeldModifiers() { ::SetKeyboardState(FSaved.data()); }

private:
  std::array<BYTE, 256> FSaved{};
};

struct TBoxRun {
  bool Pressed = false;
  bool StillShown = false;   // the box was still up after the key
  int Result = mrNone;
  std::optional<std::string> Copied;
};

// Shows the box modally. From a timer: once it is up, the key is pressed with `shift` held on
// its first button; on the next tick `beforeRead` runs, the clipboard is read and the box closed
// (WM_CLOSE, so a button pressed by the key would show in the result).
TBoxRun PressOnBox(const std::string& caption, const std::string& msg, TMsgDlgType type,
                   TMsgDlgButtons buttons, WORD key, TShiftState shift,
                   const std::function<void()>& beforeRead = {}) {
  TBoxRun run;
  TTimer driver(nullptr);
  std::optional<THeldModifiers> held;
  int ticks = 0;
  driver.SetInterval(50);
  driver.SetOnTimer([&](TObject*) {
    HWND box = ::FindWindowA("TMessageForm", caption.c_str());
    if (box == nullptr || !::IsWindowVisible(box)) return;
    if (++ticks > 100) {   // something went wrong: do not keep the box up for ever
      driver.SetEnabled(false);
      ::PostMessageA(box, WM_CLOSE, 0, 0);
      return;
    }
    if (!run.Pressed) {
      HWND button = ::FindWindowExA(box, nullptr, "TButton", nullptr);
      if (button == nullptr) return;
      held.emplace(shift);
      ::PostMessageA(button, WM_KEYDOWN, key, 1);
      run.Pressed = true;
      return;
    }
    // The posted key went before this tick (timer messages come last).
    held.reset();
    driver.SetEnabled(false);
    run.StillShown = true;
    if (beforeRead) beforeRead();
    run.Copied = TestClipboardText();
    ::PostMessageA(box, WM_CLOSE, 0, 0);
  });
  run.Result = MessageDlg(msg, type, buttons);
  return run;
}

std::string SystemLayout(const std::string& caption, const std::string& msg,
                         const std::string& buttons) {
  const std::string line = "---------------------------\r\n";
  return line + caption + "\r\n" + line + msg + "\r\n" + line + buttons + "\r\n" + line;
}

}  // namespace

TEST(MessageDialogCopy, CtrlCAndCtrlInsertCopyCaptionMessageAndButtons) {
  struct TCase {
    const char* Msg;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    WORD Key;
    std::string Caption;
    const char* ButtonLine;
  };
  const std::string title = Application->Title();
  ASSERT_FALSE(title.empty());
  const TCase cases[] = {
      {"Please select a device", TMsgDlgType::mtError, mbOK, 'C', "Error", "OK   "},
      {"Overwrite?", TMsgDlgType::mtConfirmation, mbYesNoCancel, VK_INSERT, "Confirm",
       "Yes   No   Cancel   "},
      // Accelerators go, in the middle of a caption too; the order is the form's.
      {"Could not connect to COM99", TMsgDlgType::mtCustom,
       mbYesToAll | mbNoToAll | mbAll | mbNo | mbYes, 'C', title,
       "Yes   No   All   No to All   Yes to All   "},
      // An empty message keeps its line; a '&' in the message is the message's own.
      {"", TMsgDlgType::mtWarning, mbAbort | mbRetry | mbIgnore, 'C', "Warning",
       "Abort   Retry   Ignore   "},
      {"Save & exit", TMsgDlgType::mtInformation, mbOKCancel | mbHelp, VK_INSERT, "Information",
       "OK   Cancel   Help   "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Caption + ": " + c.Msg);
    EmptyTestClipboard();
    const TBoxRun run = PressOnBox(c.Caption, c.Msg, c.Type, c.Buttons, c.Key, ssCtrl);
    EXPECT_TRUE(run.Pressed);
    EXPECT_TRUE(run.StillShown) << "the copy closed the box";
    EXPECT_EQ(run.Result, mrCancel) << "the key pressed a button";
    ASSERT_TRUE(run.Copied.has_value()) << "nothing on the clipboard";
    EXPECT_EQ(*run.Copied, SystemLayout(c.Caption, c.Msg, c.ButtonLine));
  }
}

TEST(MessageDialogCopy, OtherKeysAndModifiersCopyNothing) {
  struct TCase {
    WORD Key;
    TShiftState Shift;
  };
  const TCase cases[] = {
      {'C', 0}, {'C', ssCtrl | ssShift}, {'C', ssCtrl | ssAlt}, {VK_INSERT, ssShift},
      {VK_INSERT, 0}, {'V', ssCtrl}, {'X', ssCtrl},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.Key << " shift " << c.Shift);
    EmptyTestClipboard();
    const TBoxRun run =
        PressOnBox("Error", "Please select a device", TMsgDlgType::mtError, mbOK, c.Key, c.Shift);
    EXPECT_TRUE(run.Pressed);
    EXPECT_TRUE(run.StillShown);
    EXPECT_FALSE(run.Copied.has_value()) << *run.Copied;
  }
}

TEST(MessageDialogCopy, ABusyClipboardIsLeftAsItWasAndTheBoxStaysUsable) {
  auto owner = fwtest::MakeForm();
  PutTestClipboardText(owner->Handle(), "earlier text");
  // Another thread holds the clipboard open while Ctrl+C is pressed, and lets it go before
  // the clipboard is read back.
  std::promise<bool> opened;
  std::promise<void> release;
  std::thread holder([&opened, done = release.get_future()]() mutable {
    const bool ok = ::OpenClipboard(nullptr) != FALSE;
    opened.set_value(ok);
    done.wait();
    if (ok) ::CloseClipboard();
  });
  bool held = opened.get_future().get();
  bool released = false;
  auto letGo = [&] {
    if (released) return;
    released = true;
    release.set_value();
    holder.join();
  };
  TBoxRun run;
  if (held) {
    run = PressOnBox("Error", "Please select a device", TMsgDlgType::mtError, mbOK, 'C', ssCtrl,
                     letGo);
  }
  letGo();
  ASSERT_TRUE(held) << "the helper could not open the clipboard";
  EXPECT_TRUE(run.Pressed);
  EXPECT_TRUE(run.StillShown);
  EXPECT_EQ(run.Result, mrCancel);
  ASSERT_TRUE(run.Copied.has_value());
  EXPECT_EQ(*run.Copied, "earlier text");

  // Free again: the next Ctrl+C copies.
  run = PressOnBox("Error", "Please select a device", TMsgDlgType::mtError, mbOK, 'C', ssCtrl);
  ASSERT_TRUE(run.Copied.has_value());
  EXPECT_EQ(*run.Copied, SystemLayout("Error", "Please select a device", "OK   "));
}
