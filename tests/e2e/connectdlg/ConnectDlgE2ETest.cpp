// The "Select device" dialog end to end: the real program under Wine, driven from this process
// as a user would (Ctrl+O on the main window, the port field's text, the dialog's buttons) with
// fake instruments in the prefix's registry, and checked through what the user sees: the
// dialog's list and text, the error boxes (their texts as Ctrl+C copies them to the clipboard),
// the tool bar's Connect and Disconnect buttons.
// Screenshots of the dialog and of the error boxes are written for a look.
//
// Set by the wrapper (run-connectdlg-e2e.sh): ORBEX_E2E_APP, the program in a scratch folder;
// ORBEX_E2E_SHOTS, the folder for the screenshots. Everything the test starts it stops, also on
// failure.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/win/WinTypes.h"
#include "tests/win/app/connectdlg/FakeDevices.h"

namespace {

struct TKernelHandleTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
using TOwnedKernelHandle = THandleOwner<TKernelHandleTraits>;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

// Polls `done` every 50 ms until it holds or `ms` have passed.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start > ms) return false;
    ::Sleep(50);
  }
}

std::string ClassOf(HWND w) {
  char name[256] = {};
  ::GetClassNameA(w, name, sizeof(name));
  return name;
}

// The text of a window of another process (WM_GETTEXT is carried across processes).
std::string TextOf(HWND w) {
  char text[512] = {};
  ::SendMessageTimeoutA(w, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

struct TWindowSearch {
  DWORD Pid;
  std::string Class, Caption;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchTopWindow(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TWindowSearch*>(lp);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(w, &owner);
  if (owner != s->Pid || !::IsWindowVisible(w)) return TRUE;
  if (!s->Class.empty() && ClassOf(w) != s->Class) return TRUE;
  char text[512] = {};
  ::GetWindowTextA(w, text, sizeof(text));
  if (s->Caption != text) return TRUE;
  s->Found = w;
  return FALSE;
}

// A visible top-level window of process `pid` with this class (empty: any) and caption.
HWND FindTopWindow(DWORD pid, const std::string& cls, const std::string& caption) {
  TWindowSearch s{pid, cls, caption};
  ::EnumWindows(&MatchTopWindow, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

// The first child window of a class whose text is `text` (empty: any text).
HWND FindChild(HWND parent, const std::string& cls, const std::string& text = "") {
  for (HWND c = ::FindWindowExA(parent, nullptr, cls.c_str(), nullptr); c != nullptr;
       c = ::FindWindowExA(parent, c, cls.c_str(), nullptr))
    if (text.empty() || TextOf(c) == text) return c;
  return nullptr;
}

// The items of a combo box of another process. Wine carries CB_GETLBTEXT across processes only
// in its wide form.
std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const int n = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    const LRESULT len = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    if (len < 0 || len > 1000) continue;
    std::wstring w(static_cast<size_t>(len) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(w.data()));
    items.emplace_back(w.begin(), w.begin() + len);   // port names are ASCII
  }
  return items;
}

// Memory in another process, given back on destruction: the buffer of a message whose
// pointer the system does not carry across processes.
class TRemoteBuffer {
public:
  TRemoteBuffer(HANDLE process, SIZE_T size)
      : FProcess(process), FPtr(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~TRemoteBuffer() {
    if (FPtr != nullptr) ::VirtualFreeEx(FProcess, FPtr, 0, MEM_RELEASE);
  }
  TRemoteBuffer(const TRemoteBuffer&) = delete;
  TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;
  void* Get() const { return FPtr; }
  bool Read(void* to, SIZE_T size) const {
    return FPtr != nullptr && ::ReadProcessMemory(FProcess, FPtr, to, size, nullptr) != FALSE;
  }

private:
  HANDLE FProcess;
  void* FPtr;
};

BOOL CALLBACK FindToolBar(HWND w, LPARAM lp) {
  if (ClassOf(w) != "TsToolBar") return TRUE;
  *reinterpret_cast<HWND*>(lp) = w;
  return FALSE;
}

// Whether the tool bar's button at `index` is enabled (0 Connect, 1 Disconnect); `found`
// false when there is no such button. The button record is read out of the program's memory.
bool ToolButtonEnabled(HANDLE process, HWND main, int index, bool& found) {
  found = false;
  HWND bar = nullptr;
  ::EnumChildWindows(main, &FindToolBar, reinterpret_cast<LPARAM>(&bar));
  if (bar == nullptr || ::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) <= index) return false;
  TRemoteBuffer remote(process, sizeof(TBBUTTON));
  TBBUTTON button{};
  if (!::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.Get())) ||
      !remote.Read(&button, sizeof(button)))
    return false;
  found = true;
  return (button.fsState & TBSTATE_ENABLED) != 0;
}

// Writes the whole screen as a 24-bit Windows bitmap (the wrapper turns it into a PNG).
void SaveScreenshot(const std::string& name) {
  const std::string dir = Env("ORBEX_E2E_SHOTS");
  if (dir.empty()) return;
  // The windows just shown paint on their own time: give them that before the picture (the
  // picture is for looking at; nothing is asserted on it).
  ::Sleep(700);
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  TWindowDC screen(nullptr);
  TOwnedBitmap bmp(::CreateCompatibleBitmap(screen.Get(), w, h));
  TMemoryDC mem(screen.Get());
  if (!screen.Valid() || !mem.Valid() || !bmp.Valid()) return;
  {
    TMemoryDC copy(screen.Get(), bmp.Get());
    ::BitBlt(copy.Get(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
  }
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof(bi);
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
  if (::GetDIBits(mem.Get(), bmp.Get(), 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) == 0) return;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  const std::string path = dir + "\\" + name + ".bmp";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&fh, sizeof(fh), 1, f);
    std::fwrite(&bi, sizeof(bi), 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
  }
}

// Ctrl+<key> as the keyboard gives it, to the window brought to the front.
void PressCtrl(HWND window, WORD key) {
  ::SetForegroundWindow(window);
  INPUT in[4] = {};
  const WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ::SendInput(4, in, sizeof(INPUT));
}

// ---------------------------------------------------------------------------------------------
// The clipboard, shared with the program.

// The clipboard opened by this process (no window), retried for a while: the program or the
// system's clipboard manager may hold it for a moment. Closed when the guard goes.
class TClipboardOpen {
public:
  TClipboardOpen() {
    WaitFor([&] {
      FOpen = ::OpenClipboard(nullptr) != FALSE;
      return FOpen;
    }, 2000);
  }
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  ~TClipboardOpen() {
    if (FOpen) ::CloseClipboard();
  }
  bool Open() const { return FOpen; }

private:
  bool FOpen = false;
};

bool EmptyTheClipboard() {
  TClipboardOpen clipboard;
  return clipboard.Open() && ::EmptyClipboard() != FALSE;
}

// The clipboard's text ("" when it holds none); never read past the memory's size.
std::string ClipboardText() {
  TClipboardOpen clipboard;
  if (!clipboard.Open()) return "";
  HANDLE data = ::GetClipboardData(CF_TEXT);
  if (data == nullptr) return "";
  const SIZE_T size = ::GlobalSize(data);
  const char* text = static_cast<const char*>(::GlobalLock(data));
  if (text == nullptr) return "";
  std::string out(text, ::strnlen(text, size));
  ::GlobalUnlock(data);
  return out;
}

// What Ctrl+C copies from the program's error box showing `message`.
std::string ErrorBoxText(const std::string& message) {
  const std::string dashes = "---------------------------\r\n";
  return dashes + "Error\r\n" + dashes + message + "\r\n" + dashes + "OK   \r\n" + dashes;
}

// The text Ctrl+C copies from a message box, or "" when none came. The clipboard is emptied
// first, so that an older text cannot pass; the box is brought to the front (it is the
// program's active window) and the keys pressed again while no text comes, as the front may
// not have been handed over yet.
std::string CopyBoxText(HWND box) {
  if (!EmptyTheClipboard()) return "";
  std::string text;
  for (int attempt = 0; attempt < 3 && text.empty(); ++attempt) {
    ::SetForegroundWindow(box);
    WaitFor([&] { return ::GetForegroundWindow() == box; }, 3000);
    PressCtrl(box, 'C');
    WaitFor([&] { return !(text = ClipboardText()).empty(); }, 3000);
  }
  return text;
}

// ---------------------------------------------------------------------------------------------
// The program: started in its scratch folder, found by its main window, closed at the end (and
// ended by force if it does not close).
class ConnectDialogE2E : public testing::Test {
protected:
  void SetUp() override {
    ClearFakeDevices();
    const std::string app = Env("ORBEX_E2E_APP");
    ASSERT_FALSE(app.empty()) << "ORBEX_E2E_APP is not set (run through run-connectdlg-e2e.sh)";
    std::string folder = app.substr(0, app.find_last_of('\\'));
    std::string cmd = "\"" + app + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessA(app.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.c_str(), &si, &pi))
        << "cannot start " << app << " (error " << ::GetLastError() << ")";
    FProcess.Reset(pi.hProcess);
    TOwnedKernelHandle thread(pi.hThread);
    FPid = pi.dwProcessId;
    ASSERT_TRUE(WaitFor([&] { return (FMain = FindTopWindow(FPid, "TMainForm", "Orbex Handheld Tavrin Scope")) != nullptr; }, 20000))
        << "the main window did not appear";
  }

  void TearDown() override {
    if (FProcess.Valid()) {
      // Close whatever is open, last the main window; force the end if that does not work.
      for (HWND w : {FindTopWindow(FPid, "TMessageForm", "Error"), FindTopWindow(FPid, "", "Select device")})
        if (w != nullptr) ::PostMessageA(w, WM_CLOSE, 0, 0);
      if (FMain != nullptr) ::PostMessageA(FMain, WM_CLOSE, 0, 0);
      if (::WaitForSingleObject(FProcess.Get(), 5000) != WAIT_OBJECT_0) {
        ::TerminateProcess(FProcess.Get(), 1);
        ::WaitForSingleObject(FProcess.Get(), 5000);
      }
    }
    ClearFakeDevices();
  }

  // Opens the device dialog with Ctrl+O; null when it does not appear.
  // The keys go to the foreground window, which a program just started (or one just closed)
  // may not have handed over yet: wait for it, and press again while the dialog does not come.
  HWND OpenDialog() {
    HWND dlg = nullptr;
    for (int attempt = 0; attempt < 3 && dlg == nullptr; ++attempt) {
      ::SetForegroundWindow(FMain);
      WaitFor([&] { return ::GetForegroundWindow() == FMain; }, 3000);
      PressCtrl(FMain, 'O');
      WaitFor([&] { return (dlg = FindTopWindow(FPid, "TConnectDialog", "Select device")) != nullptr; }, 3000);
    }
    return dlg;
  }

  // The error box now shown, or null after waiting for it.
  HWND WaitForErrorBox() {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindTopWindow(FPid, "TMessageForm", "Error")) != nullptr; });
    return box;
  }

  void ExpectDisconnected() {
    bool found = false;
    EXPECT_TRUE(ToolButtonEnabled(FProcess.Get(), FMain, 0, found)) << "Connect is enabled";
    EXPECT_TRUE(found) << "no Connect button on the tool bar";
    EXPECT_FALSE(ToolButtonEnabled(FProcess.Get(), FMain, 1, found)) << "Disconnect is disabled";
    EXPECT_TRUE(found) << "no Disconnect button on the tool bar";
  }

  TOwnedKernelHandle FProcess;
  DWORD FPid = 0;
  HWND FMain = nullptr;
};

// The test's own instruments are on COM57 and COM58; the prefix may hold others (the run
// command's demonstration instrument on COM7), which are listed too and are left alone.
std::vector<std::string> TestPorts(const std::vector<std::string>& items) {
  std::vector<std::string> out;
  for (const std::string& i : items)
    if (i == "COM57" || i == "COM58") out.push_back(i);
  return out;
}

TEST_F(ConnectDialogE2E, ListsTheInstrumentsByPortNameAndFollowsArrivalAndRemoval) {
  TFakeDevice first(OrbexDevice("ORBEXTESTE1", "COM57"));
  HWND dlg = OpenDialog();
  ASSERT_NE(dlg, nullptr) << "Ctrl+O did not open \"Select device\"";
  HWND combo = FindChild(dlg, "TsComboBox");
  ASSERT_NE(combo, nullptr);
  std::vector<std::string> items = ComboItems(combo);
  EXPECT_EQ(TestPorts(items), std::vector<std::string>{"COM57"});
  ASSERT_FALSE(items.empty());
  const std::string chosen = TextOf(combo);
  EXPECT_EQ(chosen, items[0]) << "the first instrument is chosen";

  // A second instrument, its hardware ID in other letter case, arrives: listed after the
  // first, and the choice stays.
  TFakeDeviceSpec second = OrbexDevice("ORBEXTESTE2", "COM58");
  second.HardwareIds = {"USB\\VID_5E3A&PID_0D21&REV_0001"};
  TFakeDevice secondDevice(second);
  ::SendMessageA(dlg, WM_DEVICECHANGE, 0x8000, 0);
  EXPECT_EQ(TestPorts(ComboItems(combo)), (std::vector<std::string>{"COM57", "COM58"}));
  EXPECT_EQ(TextOf(combo), chosen);
  ::SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);   // the list open for the picture
  SaveScreenshot("connectdlg-two-instruments");
  ::SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

  // The first one leaves: it is no longer offered, and if it was the choice, the first of
  // the remaining ones is chosen.
  first.Remove();
  ::SendMessageA(dlg, WM_DEVICECHANGE, 0x8004, 0);
  items = ComboItems(combo);
  EXPECT_EQ(TestPorts(items), std::vector<std::string>{"COM58"});
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(TextOf(combo), chosen == "COM57" ? items[0] : chosen);

  HWND cancel = FindChild(dlg, "TsButton", "&Cancel");
  ASSERT_NE(cancel, nullptr);
  ::PostMessageA(cancel, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return FindTopWindow(FPid, "TConnectDialog", "Select device") == nullptr; }));
  EXPECT_EQ(FindTopWindow(FPid, "TMessageForm", "Error"), nullptr);
  ExpectDisconnected();
}

TEST_F(ConnectDialogE2E, OkWithAnEmptyPortIsRefusedAndTheDialogStaysOpen) {
  HWND dlg = OpenDialog();
  ASSERT_NE(dlg, nullptr) << "Ctrl+O did not open \"Select device\"";
  HWND combo = FindChild(dlg, "TsComboBox");
  ASSERT_NE(combo, nullptr);
  ::SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  HWND ok = FindChild(dlg, "TsButton", "&OK");
  ASSERT_NE(ok, nullptr);
  ::PostMessageA(ok, BM_CLICK, 0, 0);
  HWND box = WaitForErrorBox();
  ASSERT_NE(box, nullptr) << "no error box for OK with an empty port";
  EXPECT_EQ(CopyBoxText(box), ErrorBoxText("Please select a device"));
  SaveScreenshot("connectdlg-empty-port");
  HWND boxOk = FindChild(box, "TButton", "OK");
  ASSERT_NE(boxOk, nullptr);
  ::PostMessageA(boxOk, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return FindTopWindow(FPid, "TMessageForm", "Error") == nullptr; }));
  // Still open, still empty, and nothing connected.
  ::Sleep(200);
  EXPECT_EQ(FindTopWindow(FPid, "TConnectDialog", "Select device"), dlg);
  EXPECT_EQ(TextOf(combo), "");
  ExpectDisconnected();
}

TEST_F(ConnectDialogE2E, ATypedPortThatCannotBeOpenedShowsAnErrorAndStaysDisconnected) {
  TFakeDevice first(OrbexDevice("ORBEXTESTE1", "COM57"));
  HWND dlg = OpenDialog();
  ASSERT_NE(dlg, nullptr) << "Ctrl+O did not open \"Select device\"";
  HWND combo = FindChild(dlg, "TsComboBox");
  ASSERT_NE(combo, nullptr);
  ::SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("COM99"));
  EXPECT_EQ(TextOf(combo), "COM99");
  ::PostMessageA(FindChild(dlg, "TsButton", "&OK"), BM_CLICK, 0, 0);
  HWND box = WaitForErrorBox();
  ASSERT_NE(box, nullptr) << "no error box for a port that cannot be opened";
  EXPECT_EQ(FindTopWindow(FPid, "TConnectDialog", "Select device"), nullptr) << "the dialog closed first";
  EXPECT_EQ(CopyBoxText(box), ErrorBoxText("Could not connect to COM99"));
  SaveScreenshot("connectdlg-com99");
  ::PostMessageA(FindChild(box, "TButton", "OK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return FindTopWindow(FPid, "TMessageForm", "Error") == nullptr; }));
  ExpectDisconnected();
}

}  // namespace
