// The real program end to end: orbex.exe runs from a scratch copy of its folder (so its ini
// file starts fresh) and is driven from outside as a user would: keys and clicks through
// SendInput, window texts, status bar texts read from the program's memory, menu states,
// screen pixels of the paint box, the ini file and the exported bitmap, and the texts of its
// message boxes as Ctrl+C copies them to the clipboard. run-app-e2e.sh maps a pty to a COM
// port with the instrument emulator on its other end and carries out requests ("emu <script
// line>", "unplug", "plug", "shot <name>") that this driver appends to ctl.txt.
// Everything the driver starts is stopped at the end of each test, also on failure.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/win/HandleOwner.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

int R(double v) { return static_cast<int>(std::nearbyint(v)); }

// Waits with a deadline, pumping nothing (the program runs in its own process).
bool WaitFor(const std::function<bool()>& cond, int ms = 10000) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (!cond()) {
    if (static_cast<int>(GetTickCount() - end) > 0) return false;
    Sleep(30);
  }
  return true;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---------------------------------------------------------------------------------------------
// Requests to the wrapper script: one line each, acknowledged by a file.
class TControl {
public:
  TControl() : FDir(Env("ORBEX_APP_E2E_DIR")) {}
  bool Ready() const { return !FDir.empty(); }
  void Request(const std::string& what) {
    const std::string id = std::to_string(++FNext);
    {
      // One write per line, so that the script never sees half of one.
      const std::string line = id + ' ' + what + '\n';
      std::ofstream ctl(FDir + "\\ctl.txt", std::ios::app | std::ios::binary);
      ctl.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    const std::string ack = FDir + "\\ack\\" + id;
    ASSERT_TRUE(WaitFor([&] { return FileExists(ack); }, 15000)) << "no acknowledgement: " << what;
  }
  void Emu(const std::string& line) { Request("emu " + line); }

private:
  std::string FDir;
  int FNext = 0;
};

// ---------------------------------------------------------------------------------------------
// Windows of another process.

struct TFound {
  DWORD Pid;
  std::string Class, Text;
  HWND Result = nullptr;
};

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof(buf));
  return buf;
}

std::string TextOf(HWND h) {
  char buf[512] = {};
  // WM_GETTEXT is marshalled across processes.
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return buf;
}

BOOL CALLBACK FindTopProc(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TFound*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != f->Pid || !IsWindowVisible(h)) return TRUE;
  if (!f->Class.empty() && ClassOf(h) != f->Class) return TRUE;
  if (TextOf(h) != f->Text) return TRUE;
  f->Result = h;
  return FALSE;
}

// A visible top-level window of the process with this class (empty: any) and caption.
HWND FindTop(DWORD pid, const std::string& cls, const std::string& text) {
  TFound f{pid, cls, text};
  EnumWindows(&FindTopProc, reinterpret_cast<LPARAM>(&f));
  return f.Result;
}

struct TChildArgs {
  std::string Class;
  const char* Text;
  HWND Result;
};

BOOL CALLBACK FindChildProc(HWND h, LPARAM lp) {
  auto* a = reinterpret_cast<TChildArgs*>(lp);
  if (!a->Class.empty() && ClassOf(h) != a->Class) return TRUE;
  if (a->Text != nullptr && TextOf(h) != a->Text) return TRUE;
  a->Result = h;
  return FALSE;
}

// A child window with this class (empty: any) and, when given, this text.
HWND FindChild(HWND parent, const std::string& cls, const char* text = nullptr) {
  TChildArgs a{cls, text, nullptr};
  EnumChildWindows(parent, &FindChildProc, reinterpret_cast<LPARAM>(&a));
  return a.Result;
}

// Memory in the program's process for messages that pass pointers; freed when done.
class TRemoteBuffer {
public:
  TRemoteBuffer(HANDLE process, SIZE_T size)
      : FProcess(process), FSize(size),
        FPtr(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  TRemoteBuffer(const TRemoteBuffer&) = delete;
  TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;
  ~TRemoteBuffer() {
    if (FPtr != nullptr) VirtualFreeEx(FProcess, FPtr, 0, MEM_RELEASE);
  }
  LPARAM Address() const { return reinterpret_cast<LPARAM>(FPtr); }
  bool Valid() const { return FPtr != nullptr; }
  std::vector<char> Read() const {
    std::vector<char> out(FSize);
    SIZE_T n = 0;
    ReadProcessMemory(FProcess, FPtr, out.data(), FSize, &n);
    return out;
  }

private:
  HANDLE FProcess;
  SIZE_T FSize;
  void* FPtr;
};

// ---------------------------------------------------------------------------------------------
// Input, as a user gives it: to the foreground window.

void SendKey(WORD vk, bool ctrl = false, bool alt = false) {
  std::vector<INPUT> in;
  auto key = [&](WORD k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (ctrl) key(VK_CONTROL, false);
  if (alt) key(VK_MENU, false);
  key(vk, false);
  key(vk, true);
  if (alt) key(VK_MENU, true);
  if (ctrl) key(VK_CONTROL, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void Click(POINT screen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = (screen.x * 65535) / (w - 1);
    i.mi.dy = (screen.y * 65535) / (h - 1);
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, in, sizeof(INPUT));
}

void MoveMouse(POINT screen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = (screen.x * 65535) / (w - 1);
  in.mi.dy = (screen.y * 65535) / (h - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(INPUT));
}

struct TGlowSearch {
  DWORD Pid;
  HWND Result = nullptr;
};

BOOL CALLBACK FindGlowProc(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TGlowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  const LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
  if (pid != f->Pid || !IsWindowVisible(h) || (ex & WS_EX_LAYERED) == 0) return TRUE;
  f->Result = h;
  return FALSE;
}

// A visible layered top-level window of the process: a glow.
HWND FindGlow(DWORD pid) {
  TGlowSearch f{pid};
  EnumWindows(&FindGlowProc, reinterpret_cast<LPARAM>(&f));
  return f.Result;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

// The screen's pixels of the rows y0 to y1 - 1 of a window, left to right.
std::vector<COLORREF> ScreenRows(HWND wnd, int y0, int y1) {
  RECT r{};
  GetWindowRect(wnd, &r);
  std::vector<COLORREF> out;
  HDC dc = GetDC(nullptr);
  for (int y = y0; y < y1; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(GetPixel(dc, x, r.top + y));
  ReleaseDC(nullptr, dc);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Skin commands from outside: the command number message with a command that carries no
// address, and the section colours of the stored skins' sources.

constexpr UINT kSkinCommand = 0xA100;

LRESULT AskSkin(HWND h, WORD command, LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(h, kSkinCommand, MAKEWPARAM(0, command), lparam, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

BOOL CALLBACK CollectChildProc(HWND h, LPARAM lp) {
  auto* out = reinterpret_cast<std::vector<std::pair<std::string, HWND>>*>(lp);
  out->emplace_back(ClassOf(h), h);
  return TRUE;
}

// Every descendant window with its class.
std::vector<std::pair<std::string, HWND>> Descendants(HWND parent) {
  std::vector<std::pair<std::string, HWND>> out;
  EnumChildWindows(parent, &CollectChildProc, reinterpret_cast<LPARAM>(&out));
  return out;
}

// The value of `key` in `section` of a stored skin's options ("Dusk", "Linden"); "" when not
// found.
std::string SectionValue(const std::string& skin, const std::string& section, const std::string& key) {
  std::istringstream in(ReadFileText(std::string(ORBEX_SKIN_SOURCES) + "\\" + skin + "\\Options.dat"));
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') inside = line == "[" + section + "]";
    else if (inside && line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "";
}

// "COLOR" of a section in a stored skin's options; -1 when not found.
long SectionColour(const std::string& skin, const std::string& section) {
  const std::string v = SectionValue(skin, section, "COLOR");
  return v.empty() ? -1 : std::stol(v);
}

// The first colour of a section's gradient key ("GRADIENTDATA", "HOTGRADIENTDATA") as COLORREF;
// -1 when not found.
long GradientColour(const std::string& skin, const std::string& section, const std::string& key) {
  const std::string v = SectionValue(skin, section, key);
  return v.empty() ? -1 : std::stol(v.substr(0, v.find(';')));
}

int ColourDistance(COLORREF a, long b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// Which face of "BUTTON" a button shows on screen near its top-left corner (inside the border,
// clear of the caption): 1 hot, 0 normal, judged by the nearer of the two gradients' first
// colours; -1 when it is near neither.
int ButtonFace(const std::string& skin, HWND button) {
  RECT r{};
  GetWindowRect(button, &r);
  const COLORREF c = ScreenPixel(r.left + 6, r.top + 5);
  const int dn = ColourDistance(c, GradientColour(skin, "BUTTON", "GRADIENTDATA"));
  const int dh = ColourDistance(c, GradientColour(skin, "BUTTON", "HOTGRADIENTDATA"));
  if (std::min(dn, dh) > 40) return -1;
  return dh < dn ? 1 : 0;
}

void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof(INPUT));
}

// ---------------------------------------------------------------------------------------------
// The clipboard, shared with the program.

// The clipboard opened by this process (no window), retried for a while: the program or the
// system's clipboard manager may hold it for a moment. Closed when the guard goes.
class TClipboardOpen {
public:
  TClipboardOpen() {
    WaitFor([&] {
      FOpen = OpenClipboard(nullptr) != FALSE;
      return FOpen;
    }, 2000);
  }
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  ~TClipboardOpen() {
    if (FOpen) CloseClipboard();
  }
  bool Open() const { return FOpen; }

private:
  bool FOpen = false;
};

bool EmptyTheClipboard() {
  TClipboardOpen clipboard;
  return clipboard.Open() && EmptyClipboard() != FALSE;
}

// The clipboard's text ("" when it holds none); never read past the memory's size.
std::string ClipboardText() {
  TClipboardOpen clipboard;
  if (!clipboard.Open()) return "";
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data == nullptr) return "";
  const SIZE_T size = GlobalSize(data);
  const char* text = static_cast<const char*>(GlobalLock(data));
  if (text == nullptr) return "";
  std::string out(text, strnlen(text, size));
  GlobalUnlock(data);
  return out;
}

const std::string kDashes = "---------------------------\r\n";

// What Ctrl+C copies from the program's error box showing `message`.
std::string ErrorBoxText(const std::string& message) {
  return kDashes + "Error\r\n" + kDashes + message + "\r\n" + kDashes + "OK   \r\n" + kDashes;
}

// The message of a copied error box, or "" when the text is not an error box's.
std::string ErrorBoxMessage(const std::string& copied) {
  const std::string head = kDashes + "Error\r\n" + kDashes;
  const std::string tail = "\r\n" + kDashes + "OK   \r\n" + kDashes;
  if (copied.size() < head.size() + tail.size() || copied.compare(0, head.size(), head) != 0 ||
      copied.compare(copied.size() - tail.size(), tail.size(), tail) != 0)
    return "";
  return copied.substr(head.size(), copied.size() - head.size() - tail.size());
}

// ---------------------------------------------------------------------------------------------
// An 8-bit Windows bitmap file.
struct TBmp {
  int Width = 0, Height = 0, Bits = 0;
  std::vector<std::uint8_t> Data;
  std::vector<COLORREF> Palette;
  bool BottomUp = true;
  size_t Offset = 0;
  bool Load(const std::string& path) {
    const std::string s = ReadFileText(path);
    if (s.size() < 54 || s[0] != 'B' || s[1] != 'M') return false;
    Data.assign(s.begin(), s.end());
    auto u32 = [&](size_t o) {
      return static_cast<std::uint32_t>(Data[o] | (Data[o + 1] << 8) | (Data[o + 2] << 16) |
                                        (Data[o + 3] << 24));
    };
    Offset = u32(10);
    const std::uint32_t hdr = u32(14);
    Width = static_cast<int>(u32(18));
    const int h = static_cast<int>(u32(22));
    BottomUp = h > 0;
    Height = std::abs(h);
    Bits = Data[28] | (Data[29] << 8);
    std::uint32_t used = u32(46);
    if (used == 0) used = 256;
    for (std::uint32_t i = 0; i < used; ++i) {
      const size_t o = 14 + hdr + 4 * i;
      if (o + 3 >= Data.size()) return false;
      Palette.push_back(RGB(Data[o + 2], Data[o + 1], Data[o]));
    }
    return Bits == 8 && Offset + static_cast<size_t>(Stride()) * Height <= Data.size();
  }
  int Stride() const { return (Width + 3) & ~3; }
  COLORREF At(int x, int y) const {
    const int row = BottomUp ? Height - 1 - y : y;
    return Palette.at(Data.at(Offset + static_cast<size_t>(row) * Stride() + x));
  }
};

constexpr COLORREF kDarkTrace = 0xD9701F, kDarkGrid = 0x565656, kDarkBack = 0x000000;
constexpr COLORREF kLightTrace = 0x000000, kLightGrid = 0x808080, kLightBack = 0xFFFFFF;
const char* const kCaption = "Orbex Handheld Tavrin Scope";

// ---------------------------------------------------------------------------------------------
// One run of the program in its own scratch folder.
class TProgram {
public:
  explicit TProgram(const std::string& folder) : FFolder(folder) {}
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;
  ~TProgram() { Stop(); }

  // Starts the copy in the folder with these arguments and waits for its main window.
  void Start(const std::string& args = "") {
    Launch(args);
    WaitMain();
  }
  // Starts the copy without waiting for anything.
  void Launch(const std::string& args = "") {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string cmd = "\"" + Exe() + "\"" + (args.empty() ? "" : " " + args);
    ASSERT_TRUE(CreateProcessA(Exe().c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               FFolder.c_str(), &si, &FInfo))
        << GetLastError();
    CloseHandle(FInfo.hThread);
    FInfo.hThread = nullptr;
  }
  void WaitMain() {
    ASSERT_TRUE(WaitFor([&] { return (FMain = FindTop(FInfo.dwProcessId, "", kCaption)) != nullptr; }, 20000));
    Foreground(FMain);
  }
  // Closes the main window (as the user does) and waits; a program that does not end is
  // ended by force.
  void Stop() {
    if (FInfo.hProcess == nullptr) return;
    if (FMain != nullptr) PostMessageA(FMain, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(FInfo.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(FInfo.hProcess, 1);
      WaitForSingleObject(FInfo.hProcess, 5000);
      FForced = true;
    }
    GetExitCodeProcess(FInfo.hProcess, &FExitCode);
    CloseHandle(FInfo.hProcess);
    FInfo.hProcess = nullptr;
    FMain = nullptr;
  }
  bool Forced() const { return FForced; }
  DWORD ExitCode() const { return FExitCode; }

  std::string Exe() const { return FFolder + "\\orbex.exe"; }
  std::string Ini() const { return FFolder + "\\orbex.ini"; }
  HWND Main() const { return FMain; }
  DWORD Pid() const { return FInfo.dwProcessId; }
  HWND Wait(const std::string& cls, const std::string& caption, int ms = 10000) {
    HWND h = nullptr;
    WaitFor([&] { return (h = FindTop(Pid(), cls, caption)) != nullptr; }, ms);
    return h;
  }
  bool Gone(const std::string& cls, const std::string& caption, int ms = 10000) {
    return WaitFor([&] { return FindTop(Pid(), cls, caption) == nullptr; }, ms);
  }
  void Foreground(HWND h) {
    SetForegroundWindow(h);
    WaitFor([&] { return GetForegroundWindow() == h; }, 3000);
  }

  std::vector<std::string> StatusTexts() {
    std::vector<std::string> out;
    HWND sb = FindChild(FMain, "TsStatusBar");
    if (sb == nullptr) return out;
    const int n = static_cast<int>(SendMessageA(sb, SB_GETPARTS, 0, 0));
    TRemoteBuffer buf(FInfo.hProcess, 512);
    for (int i = 0; i < n && buf.Valid(); ++i) {
      SendMessageA(sb, SB_GETTEXTA, static_cast<WPARAM>(i), buf.Address());
      out.emplace_back(buf.Read().data());
    }
    return out;
  }
  bool WaitStatus(const std::vector<std::string>& want, int ms = 10000) {
    return WaitFor([&] { return StatusTexts() == want; }, ms);
  }

  // Enabled state of the tool bar's "Connect" and "Disconnect" buttons (the first two; the
  // menus of another process cannot be read under Wine).
  bool ButtonEnabled(int index) {
    HWND tb = FindChild(FMain, "TsToolBar");
    if (tb == nullptr) return false;
    TRemoteBuffer buf(FInfo.hProcess, sizeof(TBBUTTON));
    if (SendMessageA(tb, TB_GETBUTTON, static_cast<WPARAM>(index), buf.Address()) == 0) return false;
    TBBUTTON b;
    memcpy(&b, buf.Read().data(), sizeof(b));
    return (b.fsState & TBSTATE_ENABLED) != 0;
  }
  bool ConnectEnabled() { return ButtonEnabled(0); }
  bool DisconnectEnabled() { return ButtonEnabled(1); }

  // The paint box on the screen: the inner panel's client area less its 2-pixel border.
  RECT ScopeRect() {
    RECT r{};
    HWND panel = FindChild(FMain, "TsPanel", "Panel1");
    if (panel == nullptr) return r;
    GetClientRect(panel, &r);
    POINT o{0, 0};
    ClientToScreen(panel, &o);
    return RECT{o.x + 2, o.y + 2, o.x + r.right - 2, o.y + r.bottom - 2};
  }

  // The tool bar's "Skin" drop-down opened by a click on its arrow.
  void OpenSkinMenu() {
    HWND tb = FindChild(FMain, "TsToolBar");
    ASSERT_NE(tb, nullptr);
    const int n = static_cast<int>(SendMessageA(tb, TB_BUTTONCOUNT, 0, 0));
    TRemoteBuffer buf(FInfo.hProcess, sizeof(RECT));
    SendMessageA(tb, TB_GETITEMRECT, static_cast<WPARAM>(n - 1), buf.Address());
    RECT r;
    memcpy(&r, buf.Read().data(), sizeof(r));
    POINT p{r.right - 4, (r.top + r.bottom) / 2};
    ClientToScreen(tb, &p);
    // A click that reaches the program before it has taken the foreground is lost on a busy
    // machine; click again only after a wait long enough that the first cannot still arrive.
    auto menuOpen = [&] { return FindTop(Pid(), "#32768", "") != nullptr; };
    for (int attempt = 0; attempt < 3 && !menuOpen(); ++attempt) {
      Foreground(FMain);
      Click(p);
      WaitFor(menuOpen, 4000);
    }
    ASSERT_TRUE(menuOpen()) << "the Skin menu did not open";
  }
  // The "Skin" drop-down's item chosen by its accelerator.
  void ChooseSkin(WORD accelerator) {
    OpenSkinMenu();
    SendKey(accelerator);
    ASSERT_TRUE(WaitFor([&] { return FindTop(Pid(), "#32768", "") == nullptr; }, 5000));
  }

  // "&About" of the "&Help" menu, by keyboard; null when the menu or the box did not open.
  HWND OpenAbout() {
    Foreground(FMain);
    SendKey('H', false, true);
    if (!WaitFor([&] { return FindTop(Pid(), "#32768", "") != nullptr; }, 5000)) return nullptr;
    // The first item ("&Help") is highlighted; the next one is "&About".
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
    return Wait("", "About");
  }

  // The help form by F1; null when it did not open.
  HWND OpenHelp() {
    Foreground(FMain);
    SendKey(VK_F1);
    return Wait("", "Help - FAQ");
  }
  // Opens the device dialog with Ctrl+O, types the port and presses OK.
  HWND ConnectDialog() {
    Foreground(FMain);
    SendKey('O', true);
    return Wait("", "Select device");
  }
  void TypePort(HWND dlg, const std::string& port) {
    HWND combo = FindChild(dlg, "TsComboBox");
    ASSERT_NE(combo, nullptr);
    HWND edit = FindChild(combo, "Edit");
    SendMessageA(edit != nullptr ? edit : combo, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(port.c_str()));
  }
  void Press(HWND dlg, const char* caption) {
    HWND b = FindChild(dlg, "", caption);
    ASSERT_NE(b, nullptr) << caption;
    PostMessageA(b, BM_CLICK, 0, 0);
  }
  // The error box of the framework: caption "Error", an OK button.
  HWND ErrorBox(int ms = 10000) { return Wait("TMessageForm", "Error", ms); }
  // The text Ctrl+C copies from a message box, or "" when none came. The clipboard is emptied
  // first, so that an older text cannot pass; the box is brought to the front (it is the
  // program's active window) and the keys pressed again while no text comes, as the front
  // may not have been handed over yet.
  std::string CopyBoxText(HWND box) {
    if (!EmptyTheClipboard()) return "";
    std::string text;
    for (int attempt = 0; attempt < 3 && text.empty(); ++attempt) {
      Foreground(box);
      SendKey('C', true);
      WaitFor([&] { return !(text = ClipboardText()).empty(); }, 3000);
    }
    return text;
  }

private:
  std::string FFolder;
  PROCESS_INFORMATION FInfo{};
  HWND FMain = nullptr;
  bool FForced = false;
  DWORD FExitCode = STILL_ACTIVE;
};

// ---------------------------------------------------------------------------------------------
class AppE2E : public testing::Test {
protected:
  void SetUp() override {
    if (Env("ORBEX_APP_E2E_EXE").empty() || !Line.Ready())
      GTEST_SKIP() << "run through run-app-e2e.sh";
    char tmp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, tmp);
    static int n = 0;
    Folder = std::string(tmp) + "orbex-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++n);
    CreateDirectoryA(Folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(Env("ORBEX_APP_E2E_EXE").c_str(), (Folder + "\\orbex.exe").c_str(), FALSE));
    Port = Env("ORBEX_APP_E2E_PORT");
  }
  void TearDown() override {
    if (Program) {
      Program->Stop();
      Program.reset();
    }
    if (!Folder.empty()) {
      for (const char* f : {"\\orbex.exe", "\\orbex.ini", "\\trace1.bmp", "\\trace2.bmp"})
        DeleteFileA((Folder + f).c_str());
      RemoveDirectoryA(Folder.c_str());
    }
  }
  TProgram& Run() {
    Program = std::make_unique<TProgram>(Folder);
    Program->Start();
    return *Program;
  }
  void Restart() {
    Program->Stop();
    EXPECT_FALSE(Program->Forced()) << "the program did not close";
    Program->Start();
  }
  // Connects to the emulator's port through the device dialog.
  void ConnectToEmulator() {
    HWND dlg = Program->ConnectDialog();
    ASSERT_NE(dlg, nullptr);
    Program->TypePort(dlg, Port);
    Program->Press(dlg, "&OK");
    ASSERT_TRUE(Program->Gone("", "Select device"));
    if (!WaitFor([&] { return Program->DisconnectEnabled(); })) {
      Line.Request("shot failed-connect");
      FAIL() << "not connected";
    }
  }
  // Paint-box colours on the screen at a background point and a grid point.
  void ExpectScreenColours(COLORREF back, COLORREF grid) {
    const RECT r = Program->ScopeRect();
    const int W = r.right - r.left, H = r.bottom - r.top;
    ASSERT_GT(W, 100);
    const int xGrid = r.left + R(10 * W / 256.0);
    const int xBack = r.left + R(15 * W / 256.0);
    const int y = r.top + R(2.5 * H / 40.0);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(xBack, y) == back && ScreenPixel(xGrid, y) == grid; }, 5000))
        << std::hex << ScreenPixel(xBack, y) << " " << ScreenPixel(xGrid, y);
  }

  TControl Line;
  std::string Folder, Port;
  std::unique_ptr<TProgram> Program;
};

TEST_F(AppE2E, FreshStartShowsTheDarkSkinAndWritesTheIni) {
  TProgram& p = Run();
  EXPECT_EQ(TextOf(p.Main()), kCaption);
  EXPECT_EQ(p.StatusTexts(), (std::vector<std::string>{"0.1s/div", "HOLD", "5mV/div", "x1", "AC"}));
  EXPECT_TRUE(p.ConnectEnabled());
  EXPECT_FALSE(p.DisconnectEnabled());
  ExpectScreenColours(kDarkBack, kDarkGrid);
  const std::string ini = ReadFileText(p.Ini());
  EXPECT_NE(ini.find("[Settings]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Skin=Dusk (internal)"), std::string::npos) << ini;
}

TEST_F(AppE2E, TheSkinDropDownSwitchesAndIsRemembered) {
  TProgram& p = Run();
  p.ChooseSkin('L');
  EXPECT_TRUE(WaitFor([&] { return ReadFileText(p.Ini()).find("Skin=Linden (internal)") != std::string::npos; }));
  ExpectScreenColours(kLightBack, kLightGrid);
  Line.Request("shot main-light");
  Restart();
  ExpectScreenColours(kLightBack, kLightGrid);
  p.ChooseSkin('D');
  EXPECT_TRUE(WaitFor([&] { return ReadFileText(p.Ini()).find("Skin=Dusk (internal)") != std::string::npos; }));
  ExpectScreenColours(kDarkBack, kDarkGrid);
  // An unknown skin name starts dark and is rewritten.
  p.Stop();
  {
    std::ofstream f(p.Ini(), std::ios::binary | std::ios::trunc);
    f << "[Settings]\r\nSkin=NoSuchSkin\r\n";
  }
  p.Start();
  ExpectScreenColours(kDarkBack, kDarkGrid);
  const std::string ini = ReadFileText(p.Ini());
  EXPECT_NE(ini.find("Skin=Dusk (internal)"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("NoSuchSkin"), std::string::npos) << ini;
}

// Each skinned control of the main window and the device dialog (the push buttons' faces are
// checked on their own) answers command 7 with 1 (a plain window 0) and command 21 with its section's colour in the current skin; the port combo box
// is painted in the colours of "COMBOBOX" and, hovered, shows its glow.
TEST_F(AppE2E, SkinnedControlsAnswerTheSkinCommands) {
  TProgram& p = Run();
  const std::vector<std::pair<std::string, std::string>> mainControls = {
      {"TsStatusBar", "STATUSBAR"}, {"TsPanel", "PANEL"}, {"TsCoolBar", "TOOLBAR"}, {"TsToolBar", "TOOLBAR"}};
  auto expectMain = [&](const std::string& skin) {
    int seen = 0;
    for (const auto& [cls, h] : Descendants(p.Main())) {
      for (const auto& [c, section] : mainControls) {
        if (c != cls) continue;
        ++seen;
        EXPECT_EQ(AskSkin(h, 7), 1) << cls;
        const long colour = SectionColour(skin, section);
        ASSERT_GE(colour, 0) << section;
        EXPECT_TRUE(WaitFor([&] { return AskSkin(h, 21, 0xFF00FF) == colour; }, 5000))
            << cls << " in " << skin << ": " << std::hex << AskSkin(h, 21, 0xFF00FF) << " for " << colour;
        // The status bar and the outer drawing panel show their section's fill on screen (a
        // point clear of texts, dividers, the grip and the inner panel).
        RECT wr{};
        GetWindowRect(h, &wr);
        const bool outerPanel = cls == "TsPanel" && GetParent(h) == p.Main();
        if (cls == "TsStatusBar" || outerPanel) {
          const int x = cls == "TsStatusBar" ? wr.right - 30 : (wr.left + wr.right) / 2;
          const int y = cls == "TsStatusBar" ? (wr.top + wr.bottom) / 2 : wr.top + 6;
          EXPECT_TRUE(WaitFor([&] { return ScreenPixel(x, y) == static_cast<COLORREF>(colour); }, 5000))
              << cls << " in " << skin << ": " << std::hex << ScreenPixel(x, y) << " for " << colour;
        }
      }
    }
    EXPECT_EQ(seen, 5);   // the status bar, two panels, the cool bar and the tool bar
  };
  EXPECT_EQ(AskSkin(p.Main(), 7), 1);   // the main form is skinned through its provider
  expectMain("Dusk");
  // The status bar looks the same after a switch there and back: nothing of the other skin
  // stays on screen.
  HWND bar = FindChild(p.Main(), "TsStatusBar");
  ASSERT_NE(bar, nullptr);
  RECT br{};
  GetWindowRect(bar, &br);
  const int barH = br.bottom - br.top;
  const std::vector<COLORREF> before = ScreenRows(bar, 0, barH);
  p.ChooseSkin('L');
  expectMain("Linden");
  EXPECT_NE(ScreenRows(bar, 0, barH), before);
  p.ChooseSkin('D');
  expectMain("Dusk");
  EXPECT_TRUE(WaitFor([&] { return ScreenRows(bar, 0, barH) == before; }, 5000));

  HWND dlg = p.ConnectDialog();
  ASSERT_NE(dlg, nullptr);
  HWND combo = FindChild(dlg, "TsComboBox");
  ASSERT_NE(combo, nullptr);
  HWND edit = FindChild(combo, "Edit");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(AskSkin(combo, 7), 1);
  EXPECT_EQ(AskSkin(edit, 7), 0);
  EXPECT_EQ(AskSkin(combo, 21, 0xFF00FF), SectionColour("Dusk", "COMBOBOX"));
  int buttons = 0;
  for (const auto& [cls, h] : Descendants(dlg)) {
    if (cls != "TsButton") continue;
    ++buttons;
    EXPECT_EQ(AskSkin(h, 7), 1);
    EXPECT_EQ(AskSkin(h, 21, 0xFF00FF), SectionColour("Dusk", "BUTTON"));
  }
  EXPECT_EQ(buttons, 2);
  // The edit field of the box is filled with the section's colour (right of any text).
  RECT r{};
  GetClientRect(edit, &r);
  POINT at{r.right - 3, r.bottom / 2};
  ClientToScreen(edit, &at);
  const COLORREF face = static_cast<COLORREF>(SectionColour("Dusk", "COMBOBOX"));
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(at.x, at.y) == face; }, 5000))
      << std::hex << ScreenPixel(at.x, at.y) << " for " << face;
  Line.Request("shot connect-dialog-dusk");
  // Hovered, the box shows the skin's glow around it: a layered window that lets clicks
  // through and is not activated; it goes when the mouse leaves.
  RECT cr{};
  GetWindowRect(combo, &cr);
  EXPECT_EQ(FindGlow(p.Pid()), nullptr);
  p.Foreground(dlg);
  MoveMouse(POINT{cr.right - 8, (cr.top + cr.bottom) / 2});   // over the arrow: the box itself
  HWND glow = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (glow = FindGlow(p.Pid())) != nullptr; }, 5000)) << "no glow";
  if (glow != nullptr) {
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(glow, GWL_EXSTYLE)) & 0x080800A0u, 0x080800A0u);
    RECT gr{};
    GetWindowRect(glow, &gr);
    EXPECT_LT(gr.left, cr.left);
    EXPECT_GT(gr.right, cr.right);
    Line.Request("shot connect-dialog-glow");
  }
  RECT dr{};
  GetWindowRect(dlg, &dr);
  MoveMouse(POINT{dr.left + 20, dr.bottom - 15});
  EXPECT_TRUE(WaitFor([&] { return FindGlow(p.Pid()) == nullptr; }, 5000)) << "the glow stayed";
  p.Press(dlg, "&Cancel");
  ASSERT_TRUE(p.Gone("", "Select device"));
}

TEST_F(AppE2E, AStartUpFailureIsShownAndTheProgramExitsAsFailed) {
  // The ini file is held open by another program without sharing: reading it while the main
  // window is made fails.
  {
    std::ofstream f(Folder + "\\orbex.ini", std::ios::binary);
    f << "[Settings]\r\nSkin=Dusk (internal)\r\n";
  }
  TOwnedHandle lock(CreateFileA((Folder + "\\orbex.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock.Valid()) << GetLastError();
  Program = std::make_unique<TProgram>(Folder);
  Program->Launch();
  HWND box = Program->Wait("#32770", "Orbex");
  ASSERT_NE(box, nullptr) << "no error box";
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
  EXPECT_NE(std::string(text).find("orbex.ini"), std::string::npos) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  Program->Stop();
  EXPECT_FALSE(Program->Forced()) << "the program did not end after its error";
  EXPECT_EQ(Program->ExitCode(), 1u);
}

TEST_F(AppE2E, ConnectingToAMissingPortShowsAnErrorAndStaysDisconnected) {
  TProgram& p = Run();
  HWND dlg = p.ConnectDialog();
  ASSERT_NE(dlg, nullptr);
  p.TypePort(dlg, "COM99");
  p.Press(dlg, "&OK");
  HWND err = p.ErrorBox();
  ASSERT_NE(err, nullptr);
  EXPECT_EQ(p.CopyBoxText(err), ErrorBoxText("Could not connect to COM99"));
  EXPECT_FALSE(p.DisconnectEnabled());
  p.Press(err, "OK");
  ASSERT_TRUE(p.Gone("TMessageForm", "Error"));
  EXPECT_TRUE(p.ConnectEnabled());
  EXPECT_FALSE(p.DisconnectEnabled());

  // OK with an empty port: the dialog refuses and stays open.
  dlg = p.ConnectDialog();
  ASSERT_NE(dlg, nullptr);
  p.TypePort(dlg, "");
  p.Press(dlg, "&OK");
  err = p.ErrorBox();
  ASSERT_NE(err, nullptr);
  EXPECT_EQ(p.CopyBoxText(err), ErrorBoxText("Please select a device"));
  p.Press(err, "OK");
  ASSERT_TRUE(p.Gone("TMessageForm", "Error"));
  EXPECT_NE(FindTop(p.Pid(), "", "Select device"), nullptr);
  p.Press(dlg, "&Cancel");
  ASSERT_TRUE(p.Gone("", "Select device"));
  EXPECT_TRUE(p.ConnectEnabled());
}

TEST_F(AppE2E, LiveFramesSetTheStatusTextsAndTheExportHoldsTheTrace) {
  TProgram& p = Run();
  ConnectToEmulator();
  struct Row { const char* b4; const char* b5; std::vector<std::string> texts; };
  const Row rows[] = {
      {"0x16", "0x04", {"1s/div", "Normal", "1v/div", "x1", "AC"}},
      {"0xD7", "0x94", {"2s/div", "HOLD", "10v/div", "x10", "AC"}},
      {"0x56", "0x6B", {"1s/div", "MEMORY", "5mV/div", "x1", "DC"}},
      {"0x80", "0x00", {"50ns/div", "Once", "20V/div", "x1", "AC"}}};
  for (const Row& r : rows) {
    Line.Emu(std::string("frame ") + r.b4 + " " + r.b5 + " 128");
    EXPECT_TRUE(p.WaitStatus(r.texts)) << r.b4 << " " << r.b5;
  }
  // The trace of 128s on the screen, at Round(128 * H / 256).
  const RECT sr = p.ScopeRect();
  const int W = sr.right - sr.left, H = sr.bottom - sr.top;
  const int yTrace = R(128 * H / 256.0);
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(sr.left + R(15 * W / 256.0), sr.top + yTrace) == kDarkTrace; }, 5000));
  Line.Request("shot main-live-trace");

  auto exportTo = [&](const std::string& name) {
    p.Foreground(p.Main());
    SendKey(VK_F6);
    HWND dlg = p.Wait("#32770", "Export scope trace to file");
    ASSERT_NE(dlg, nullptr);
    // The file type list shows the one filter.
    HWND types = nullptr;
    WaitFor([&] {
      types = FindChild(dlg, "ComboBox", "Windows Bitmap (256 colors)");
      return types != nullptr;
    }, 3000);
    EXPECT_NE(types, nullptr);
    HWND edit = FindChild(dlg, "Edit");
    ASSERT_NE(edit, nullptr);
    const std::string path = Folder + "\\" + name;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return FileExists(path) && !IsWindow(dlg); }));
  };
  exportTo("trace1.bmp");
  TBmp bmp;
  ASSERT_TRUE(WaitFor([&] { return bmp.Load(Folder + "\\trace1.bmp"); }));
  EXPECT_EQ(bmp.Width, W);
  EXPECT_EQ(bmp.Height, H);
  auto vertical = [&](int x) {
    for (int i = 0; i < 256; i += 10) if (R(i * W / 256.0) == x) return true;
    return false;
  };
  for (int i = 0; i < 256; i += 10) {
    const int x = R(i * W / 256.0);
    EXPECT_EQ(bmp.At(x, R(2.5 * H / 40.0)), kDarkGrid) << "vertical " << i;
    EXPECT_EQ(bmp.At(x, H - 2), kDarkGrid) << "vertical " << i;
  }
  for (int i = 2; i < 256; i += 2) {
    if (i % 10 == 0) continue;
    const int x = R(i * W / 256.0);
    EXPECT_EQ(bmp.At(x, H - 2), kDarkGrid) << "tick " << i;
    if (!vertical(x)) {
      EXPECT_EQ(bmp.At(x, H - 8), kDarkBack) << "tick " << i;
    }
  }
  const int xFree = R(15 * W / 256.0);   // an odd column: no vertical, no tick
  for (int j = 0; j < 40; ++j) {
    const int y = R(j * H / 40.0);
    if (y == yTrace) continue;
    EXPECT_EQ(bmp.At(2, y), kDarkGrid) << "horizontal " << j;
    EXPECT_EQ(bmp.At(xFree, y), j % 5 == 0 ? kDarkGrid : kDarkBack) << "horizontal " << j;
  }
  for (int x = 0; x < R(255 * W / 256.0); x += 11) EXPECT_EQ(bmp.At(x, yTrace), kDarkTrace) << x;

  // An "R" packet changes only its columns.
  Line.Emu("range 0x80 0x00 100 120 64");
  const int y64 = R(64 * H / 256.0);
  const int xIn = R(110 * W / 256.0) + 1;
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(sr.left + xIn, sr.top + y64) == kDarkTrace; }, 5000));
  exportTo("trace2.bmp");
  TBmp bmp2;
  ASSERT_TRUE(WaitFor([&] { return bmp2.Load(Folder + "\\trace2.bmp"); }));
  EXPECT_EQ(bmp2.At(xIn, y64), kDarkTrace);
  EXPECT_NE(bmp2.At(xIn, yTrace), kDarkTrace);
  for (int x = 0; x < W; ++x) {
    if (x > R(99 * W / 256.0) && x < R(120 * W / 256.0)) continue;
    for (int y : {y64, yTrace}) ASSERT_EQ(bmp2.At(x, y), bmp.At(x, y)) << x << "," << y;
  }
}

TEST_F(AppE2E, StatusBytesWithoutANameShowAQuestionMarkAndKeepTheLink) {
  TProgram& p = Run();
  ConnectToEmulator();
  // Timebase 40 and volts 13; then run mode 3, timebase 63, x10 and volts 15: no table names
  // them. No box, and the link stays up: the next frame shows as usual.
  Line.Emu("frame 0x28 0x0D 100");
  EXPECT_TRUE(p.WaitStatus({"?", "Normal", "?", "x1", "AC"}));
  Line.Emu("frame 0xFF 0x1F 100");
  EXPECT_TRUE(p.WaitStatus({"?", "Roll", "?", "x10", "AC"}));
  Line.Emu("frame 0x16 0x04 128");
  EXPECT_TRUE(p.WaitStatus({"1s/div", "Normal", "1v/div", "x1", "AC"}));
  EXPECT_EQ(FindTop(p.Pid(), "TMessageForm", "Error"), nullptr);
  EXPECT_TRUE(p.DisconnectEnabled());
  // "S" packets that store no sample (column 1000 at 1 s/div; no roll samples at 0.1 ms/div)
  // still bring new status bytes.
  Line.Emu("single 0x56 0x6B 1000 7");
  EXPECT_TRUE(p.WaitStatus({"1s/div", "MEMORY", "5mV/div", "x1", "DC"}));
  Line.Emu("single 0x0A 0x94 5 7");
  EXPECT_TRUE(p.WaitStatus({"0.1ms/div", "HOLD", "10v/div", "x10", "AC"}));
  EXPECT_TRUE(p.DisconnectEnabled());
}

TEST_F(AppE2E, PullingTheLineShowsTheReadersErrorAndConnectWorksAgain) {
  TProgram& p = Run();
  ConnectToEmulator();
  Line.Emu("frame 0x16 0x04 128");
  ASSERT_TRUE(p.WaitStatus({"1s/div", "Normal", "1v/div", "x1", "AC"}));
  Line.Request("unplug");
  HWND err = p.ErrorBox(15000);
  ASSERT_NE(err, nullptr) << "the reader's failure was not shown";
  // The system's text of the failure varies: only that there is one.
  const std::string copied = p.CopyBoxText(err);
  const std::string message = ErrorBoxMessage(copied);
  EXPECT_FALSE(message.empty()) << copied;
  EXPECT_EQ(message.find(kDashes), std::string::npos) << copied;
  p.Press(err, "OK");
  ASSERT_TRUE(p.Gone("TMessageForm", "Error"));
  EXPECT_TRUE(WaitFor([&] { return p.ConnectEnabled() && !p.DisconnectEnabled(); }));

  Line.Request("plug");
  // The line is back once its port opens again (the new pty may take a moment under Wine).
  const std::string dev = "\\\\.\\" + Port;
  ASSERT_TRUE(WaitFor([&] {
    HANDLE h = CreateFileA(dev.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  })) << "the port did not come back: " << GetLastError();
  ConnectToEmulator();
  Line.Emu("frame 0xD7 0x94 128");
  EXPECT_TRUE(p.WaitStatus({"2s/div", "HOLD", "10v/div", "x10", "AC"}));

  // Closing the program while the reader's error box is open ends it.
  Line.Request("unplug");
  ASSERT_NE(p.ErrorBox(15000), nullptr);
  p.Stop();
  EXPECT_FALSE(p.Forced()) << "the program did not close";
  Line.Request("plug");
}

TEST_F(AppE2E, AboutAndHelpOpenModallyAndCloseWithTheirButton) {
  TProgram& p = Run();
  HWND help = p.OpenHelp();
  ASSERT_NE(help, nullptr);
  EXPECT_FALSE(IsWindowEnabled(p.Main()));   // modal
  EXPECT_NE(FindChild(help, "", "&Close"), nullptr);
  EXPECT_EQ(AskSkin(help, 7), 1);   // given a skin provider by the thread hook
  Sleep(1000);   // lets the windows finish painting: for the picture only
  Line.Request("shot help-form");
  p.Press(help, "&Close");
  ASSERT_TRUE(p.Gone("", "Help - FAQ"));
  EXPECT_TRUE(IsWindowEnabled(p.Main()));

  HWND about = p.OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowEnabled(p.Main()));
  EXPECT_EQ(AskSkin(about, 7), 1);
  Sleep(1000);
  Line.Request("shot about-box");
  p.Press(about, "OK");
  ASSERT_TRUE(p.Gone("", "About"));
  EXPECT_TRUE(IsWindowEnabled(p.Main()));
}

// The dialogs' push buttons draw their faces from "BUTTON" in both skins: the About box's
// "OK", the help form's "&Close", and in "Select device" the default "&OK" hot and "&Cancel"
// normal until the mouse is over it (hot, with its glow), pressed while the mouse is held.
TEST_F(AppE2E, DialogButtonsDrawFromTheSkinAndFollowItsSwitch) {
  TProgram& p = Run();
  for (const char* skin : {"Dusk", "Linden"}) {
    if (std::string(skin) == "Linden") p.ChooseSkin('L');
    const std::string name = std::string(skin) == "Dusk" ? "dusk" : "linden";
    HWND dlg = p.ConnectDialog();
    ASSERT_NE(dlg, nullptr);
    HWND ok = FindChild(dlg, "TsButton", "&OK"), cancel = FindChild(dlg, "TsButton", "&Cancel");
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & 0xF, 0xB);
    RECT dr{};
    GetWindowRect(dlg, &dr);
    MoveMouse(POINT{dr.left + 20, dr.bottom - 15});
    EXPECT_TRUE(WaitFor([&] { return ButtonFace(skin, ok) == 1 && ButtonFace(skin, cancel) == 0; }, 5000))
        << skin << ": OK " << ButtonFace(skin, ok) << ", Cancel " << ButtonFace(skin, cancel);
    Sleep(500);
    Line.Request("shot buttons-" + name);
    RECT cr{};
    GetWindowRect(cancel, &cr);
    p.Foreground(dlg);
    MoveMouse(POINT{(cr.left + cr.right) / 2, (cr.top + cr.bottom) / 2});
    EXPECT_TRUE(WaitFor([&] { return ButtonFace(skin, cancel) == 1; }, 5000)) << skin << " hover";
    EXPECT_TRUE(WaitFor([&] { return FindGlow(p.Pid()) != nullptr; }, 5000)) << skin << ": no glow";
    Sleep(300);
    const std::vector<COLORREF> hot = ScreenRows(cancel, 0, cr.bottom - cr.top);
    Line.Request("shot buttons-" + name + "-hover");
    MouseButton(true);
    EXPECT_TRUE(WaitFor([&] { return (SendMessageA(cancel, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return ScreenRows(cancel, 0, cr.bottom - cr.top) != hot; }, 5000)) << skin << " pressed";
    Line.Request("shot buttons-" + name + "-pressed");
    // Released off the button: no click; the press gave it the focus, so it stays hot.
    MoveMouse(POINT{dr.left + 20, dr.bottom - 15});
    MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return (SendMessageA(cancel, BM_GETSTATE, 0, 0) & BST_PUSHED) == 0; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return ButtonFace(skin, cancel) == 1 && ButtonFace(skin, ok) == 0; }, 5000))
        << skin << " focused";
    EXPECT_NE(FindTop(p.Pid(), "", "Select device"), nullptr);
    p.Press(dlg, "&Cancel");
    ASSERT_TRUE(p.Gone("", "Select device"));

    HWND help = p.OpenHelp();
    ASSERT_NE(help, nullptr);
    HWND close = FindChild(help, "TsButton", "&Close");
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ButtonFace(skin, close) >= 0; }, 5000)) << skin << " help";
    p.Press(help, "&Close");
    ASSERT_TRUE(p.Gone("", "Help - FAQ"));

    HWND about = p.OpenAbout();
    ASSERT_NE(about, nullptr);
    HWND aboutOk = FindChild(about, "TsButton", "OK");
    ASSERT_NE(aboutOk, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ButtonFace(skin, aboutOk) == 1; }, 5000)) << skin << " about";
    Sleep(300);
    Line.Request("shot about-" + name);
    p.Press(about, "OK");
    ASSERT_TRUE(p.Gone("", "About"));
  }
}

// ---------------------------------------------------------------------------------------------
// Skins in the prefix's c:\Skins, where the main form's skin manager looks for them.

const char* const kSkins = "C:\\Skins";

// A visible top-level window of the process with this class, whatever its caption.
struct TClassFind {
  DWORD Pid;
  const char* Class;
  HWND Result;
};
BOOL CALLBACK FindClassProc(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TClassFind*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != f->Pid || !IsWindowVisible(h) || ClassOf(h) != f->Class) return TRUE;
  f->Result = h;
  return FALSE;
}

class AppSkinsE2E : public AppE2E {
protected:
  void SetUp() override {
    AppE2E::SetUp();
    if (IsSkipped()) return;
    CreateDirectoryA(kSkins, nullptr);
    Put("Bad.tez", BuildPackedSkin({{"Options.dat", "[GLOBALINFO]\r\nVERSION=7.2\r\n"}}, "TEZF"));
    // A whole header, then bytes that are no zlib stream.
    std::string broken = "TEzf";
    PutInt32(broken, 1);
    PutInt32(broken, 11);
    broken += "Options.dat";
    PutInt32(broken, 40);
    broken += std::string(40, 'x');
    Put("Broken.tez", broken);
    Put("New.tez", BuildPackedSkin({{"Options.dat", "[GLOBALINFO]\r\nVERSION=8.0\r\n"}}));
    CreateDirectoryA((std::string(kSkins) + "\\Old").c_str(), nullptr);
    Put("Old\\Options.dat", "[GLOBALINFO]\r\nVERSION=6.5\r\n");
    // A folder skin whose master bitmap is no bitmap.
    CreateDirectoryA((std::string(kSkins) + "\\Cracked").c_str(), nullptr);
    Put("Cracked\\Options.dat", "[GLOBALINFO]\r\nVERSION=7.2\r\nMASTERBITMAP=MASTER.BMP\r\n");
    Put("Cracked\\MASTER.BMP", "BM" + std::string(60, 'x'));
  }
  void TearDown() override {
    AppE2E::TearDown();
    for (const std::string& f : Written) DeleteFileA(f.c_str());
    for (const char* dir : {"\\Old", "\\Cracked"}) RemoveDirectoryA((std::string(kSkins) + dir).c_str());
    RemoveDirectoryA(kSkins);
  }
  void Put(const std::string& name, const std::string& bytes) {
    const std::string path = std::string(kSkins) + "\\" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    Written.push_back(path);
  }
  void WriteIni(const std::string& skin) {
    std::ofstream f(Folder + "\\orbex.ini", std::ios::binary | std::ios::trunc);
    f << "[Settings]\r\nSkin=" << skin << "\r\n";
  }
  std::string IniText() { return ReadFileText(Folder + "\\orbex.ini"); }
  // The system message box with this caption that the program shows while it starts: its
  // text, after which it is closed with OK. "" when none came.
  std::string TakeSystemBox(const std::string& caption) {
    HWND box = Program->Wait("#32770", caption, 15000);
    if (box == nullptr) return "";
    const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    EXPECT_TRUE(Program->Gone("#32770", caption));
    return text;
  }
  TProgram& Launch(const std::string& args = "") {
    Program = std::make_unique<TProgram>(Folder);
    Program->Launch(args);
    return *Program;
  }
  std::vector<std::string> Written;
};

TEST_F(AppSkinsE2E, APackedSkinThatCannotBeReadShowsWhyAndStartsDusk) {
  WriteIni("Bad");
  TProgram& p = Launch();
  EXPECT_EQ(TakeSystemBox("Error"), "Loaded data is not a packed Tessel file");
  p.WaitMain();
  ExpectScreenColours(kDarkBack, kDarkGrid);
  EXPECT_NE(IniText().find("Skin=Dusk (internal)"), std::string::npos) << IniText();
  p.Stop();

  WriteIni("Broken");
  p.Launch();
  EXPECT_EQ(TakeSystemBox("Error"), "data error");   // zlib's own text
  p.WaitMain();
  EXPECT_NE(IniText().find("Skin=Dusk (internal)"), std::string::npos) << IniText();
}

TEST_F(AppSkinsE2E, SkinVersionNoticesAndTheLibraryVersion) {
  WriteIni("New");
  TProgram& p = Launch();
  EXPECT_EQ(TakeSystemBox("Warning").rfind("This version of the skin have not complete support by used Quillon package release.", 0), 0u);
  p.WaitMain();
  EXPECT_NE(IniText().find("Skin=New"), std::string::npos) << IniText();
  p.Stop();

  WriteIni("Old");
  p.Launch("/LXTEST");
  EXPECT_EQ(TakeSystemBox("Warning").rfind("You are using an old version of the \"Old\" skin.", 0), 0u);
  p.WaitMain();
  p.Stop();

  p.Launch("/lxver");
  TClassFind f{0, "TMessageForm", nullptr};
  ASSERT_TRUE(WaitFor([&] {
    f.Pid = p.Pid();
    EnumWindows(&FindClassProc, reinterpret_cast<LPARAM>(&f));
    return f.Result != nullptr;
  }, 15000));
  EXPECT_NE(p.CopyBoxText(f.Result).find("\r\nQuillon v7.63\r\n"), std::string::npos);
  p.Press(f.Result, "OK");
  p.WaitMain();
}

TEST_F(AppSkinsE2E, APackedNameOfAStoredSkinAndTenSwitches) {
  WriteIni("Linden (internal).tez");
  TProgram& p = Launch();
  p.WaitMain();
  ExpectScreenColours(kLightBack, kLightGrid);
  EXPECT_NE(IniText().find("Skin=Linden (internal)\r\n"), std::string::npos) << IniText();
  for (int i = 0; i < 10; ++i) {
    const bool dark = i % 2 == 0;
    p.ChooseSkin(dark ? 'D' : 'L');
    const std::string want = dark ? "Skin=Dusk (internal)" : "Skin=Linden (internal)";
    EXPECT_TRUE(WaitFor([&] { return IniText().find(want) != std::string::npos; })) << i;
  }
  ExpectScreenColours(kLightBack, kLightGrid);
  p.Stop();
  EXPECT_FALSE(p.Forced());
  EXPECT_EQ(p.ExitCode(), 0u);
}

// One picture of every window of the program in each stored skin, to be looked at: the main
// window idle and live, its menus, the "Skin" drop-down, the system menu with "Available
// skins", "Select device" closed and dropped, the About box, the help form, the save dialog
// and the error boxes of a failing connection, of a failing folder skin and of a failing
// start-up. Only what the other tests check is asserted.
TEST_F(AppSkinsE2E, EveryWindowOfTheProgramInBothStoredSkins) {
  Program = std::make_unique<TProgram>(Folder);
  TProgram& p = *Program;
  // The boxes of a failing start-up show before any skin is applied: once each.
  WriteIni("Cracked");
  p.Launch();
  HWND cracked = p.Wait("#32770", "Error", 15000);
  ASSERT_NE(cracked, nullptr) << "no error box for the failing folder skin";
  Sleep(600);
  Line.Request("shot folder-skin-error-start");
  PostMessageA(cracked, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(cracked, IDOK)));
  p.WaitMain();
  p.Stop();
  {
    WriteIni("Dusk (internal)");
    TOwnedHandle lock(CreateFileA(p.Ini().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.Valid()) << GetLastError();
    p.Launch();
    HWND box = p.Wait("#32770", "Orbex");
    ASSERT_NE(box, nullptr) << "no start-up error box";
    Sleep(600);
  Line.Request("shot startup-error");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    p.Stop();
  }
  auto pause = [] { Sleep(600); };   // lets the windows finish painting: for the picture only
  auto menuOpen = [&] { return p.Wait("#32768", "", 5000) != nullptr; };
  auto menusClosed = [&] { return p.Gone("#32768", ""); };
  for (const char* skin : {"Dusk", "Linden"}) {
    const std::string name = std::string(skin) == "Dusk" ? "dusk" : "linden";
    auto shot = [&](const std::string& what) {
      pause();
      Line.Request("shot " + what + "-" + name);
    };
    WriteIni(std::string(skin) + " (internal)");
    p.Start();
    shot("main-idle");

    // The main menu's three popups, one after the other.
    SendKey('F', false, true);
    ASSERT_TRUE(menuOpen());
    shot("menu-file");
    SendKey(VK_RIGHT);
    shot("menu-tools");
    SendKey(VK_RIGHT);
    shot("menu-help");
    SendKey(VK_ESCAPE);
    SendKey(VK_ESCAPE);
    ASSERT_TRUE(menusClosed());

    p.OpenSkinMenu();
    shot("skin-dropdown");
    SendKey(VK_ESCAPE);
    ASSERT_TRUE(menusClosed());
    MoveMouse(POINT{5, 5});   // no hot tool button in the pictures that follow

    p.Foreground(p.Main());
    SendKey(VK_SPACE, false, true);
    ASSERT_TRUE(menuOpen()) << "no system menu";
    shot("system-menu");
    SendKey(VK_DOWN);
    SendKey(VK_RIGHT);   // "Available skins", on top
    shot("available-skins");
    // "Cracked", the third skin, fails to load: its error box shows in the current skin.
    SendKey(VK_DOWN);
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
    HWND cracked = p.Wait("#32770", "Error", 15000);
    ASSERT_NE(cracked, nullptr) << "no error box for the failing folder skin";
    shot("folder-skin-error");
    PostMessageA(cracked, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(cracked, IDOK)));
    ASSERT_TRUE(p.Gone("#32770", "Error"));
    ASSERT_TRUE(menusClosed());

    HWND dlg = p.ConnectDialog();
    ASSERT_NE(dlg, nullptr);
    shot("select-device");
    HWND combo = FindChild(dlg, "TsComboBox");
    ASSERT_NE(combo, nullptr);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    shot("select-device-dropped");
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    p.TypePort(dlg, "COM99");
    p.Press(dlg, "&OK");
    HWND err = p.ErrorBox();
    ASSERT_NE(err, nullptr);
    shot("connect-error");
    p.Press(err, "OK");
    ASSERT_TRUE(p.Gone("TMessageForm", "Error"));

    HWND about = p.OpenAbout();
    ASSERT_NE(about, nullptr);
    shot("about-box");
    p.Press(about, "OK");
    ASSERT_TRUE(p.Gone("", "About"));

    HWND help = p.OpenHelp();
    ASSERT_NE(help, nullptr);
    shot("help-form");
    p.Press(help, "&Close");
    ASSERT_TRUE(p.Gone("", "Help - FAQ"));

    ConnectToEmulator();
    Line.Emu("frame 0x16 0x04 128");
    ASSERT_TRUE(p.WaitStatus({"1s/div", "Normal", "1v/div", "x1", "AC"}));
    Line.Emu("wave 0x16 0x04 sine");
    shot("main-live");
    p.Foreground(p.Main());
    SendKey(VK_F6);
    HWND save = p.Wait("#32770", "Export scope trace to file");
    ASSERT_NE(save, nullptr);
    shot("save-dialog");
    PostMessageA(save, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(p.Gone("#32770", "Export scope trace to file"));
    p.Stop();
  }
}

}  // namespace
