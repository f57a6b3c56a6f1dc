// Tests of the skin command message between real windows: skinned and plain windows answering
// queries, sends to direct children only, and commands carrying addresses refused when they
// come from another thread or not through the engine's senders.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "skin/core/win/sMessagesWin.h"

namespace {

// Per-window record of what arrived, kept in GWLP_USERDATA.
struct Received {
  int Commands = 0;
  int ResumePaint = 0;
};

LRESULT CALLBACK SkinnedProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_SKINCOMMAND) {
    if (auto* r = reinterpret_cast<Received*>(GetWindowLongPtrA(wnd, GWLP_USERDATA))) {
      ++r->Commands;
      if (SkinCommandOf(wparam) == SkinCmdResumePaint) ++r->ResumePaint;
    }
    if (!SkinCommandAllowed(wparam, lparam)) return 0;
    switch (SkinCommandOf(wparam)) {
      case SkinCmdIsSkinned:
        return 1;
      case SkinCmdQueryColor:
        return 0x123456;
      case SkinCmdQuerySectionIndex:
        reinterpret_cast<TlxSectionInfo*>(lparam)->SectionIndex = 42;
        return 1;
      default:
        break;
    }
  }
  return DefWindowProcA(wnd, msg, wparam, lparam);
}

// A window on another thread that relays every skin command, unchanged, to RelayTarget.
HWND RelayTarget = nullptr;
LRESULT RelayResult = -1;
LRESULT CALLBACK RelayProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_SKINCOMMAND) {
    RelayResult = SendMessageA(RelayTarget, msg, wparam, lparam);
    return RelayResult;
  }
  return DefWindowProcA(wnd, msg, wparam, lparam);
}

class SkinCommandWindows : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    WNDCLASSA wc{};
    wc.lpfnWndProc = SkinnedProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrbexTestSkinned";
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "OrbexTestPlain";
    RegisterClassA(&wc);
    wc.lpfnWndProc = RelayProc;
    wc.lpszClassName = "OrbexTestRelay";
    RegisterClassA(&wc);
  }

  void TearDown() override {
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it) DestroyWindow(*it);
  }

  HWND Make(const char* cls, HWND parent = nullptr, Received* r = nullptr) {
    const DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : WS_OVERLAPPEDWINDOW;
    HWND w = CreateWindowExA(0, cls, "", style, 0, 0, 100, 100, parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(w, nullptr);
    if (r) SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(r));
    FWindows.push_back(w);
    return w;
  }

  // Runs `body` on another thread while this one serves the messages it sends.
  template <class Body>
  static void FromOtherThread(Body body) {
    std::atomic<bool> done{false};
    std::thread t([&] {
      body();
      done = true;
    });
    MSG msg;
    while (!done) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    t.join();
  }

  std::vector<HWND> FWindows;
};

}  // namespace

TEST_F(SkinCommandWindows, SkinnedAndPlainWindowsAnswer) {
  EXPECT_EQ(WM_SKINCOMMAND, 0xA100u);
  HWND skinned = Make("OrbexTestSkinned");
  HWND plain = Make("OrbexTestPlain");
  EXPECT_EQ(SendSkinCommand(skinned, SkinCmdIsSkinned), 1);
  EXPECT_EQ(SendSkinCommand(plain, SkinCmdIsSkinned), 0);
  EXPECT_TRUE(WindowAnswersSkinCommand(skinned, SkinCmdIsSkinned));
  EXPECT_FALSE(WindowAnswersSkinCommand(plain, SkinCmdIsSkinned));
  EXPECT_FALSE(WindowAnswersSkinCommand(nullptr, SkinCmdIsSkinned));
  EXPECT_EQ(GetWindowColor(skinned), 0x123456u);
  EXPECT_EQ(GetWindowColor(nullptr), 0xFF00FFu);
  EXPECT_EQ(GetWindowColor(plain), 0u);
}

TEST_F(SkinCommandWindows, PointerCommandsOnlyFromTheProgramsOwnSends) {
  HWND skinned = Make("OrbexTestSkinned");
  TlxSectionInfo info;
  const LPARAM p = reinterpret_cast<LPARAM>(&info);
  EXPECT_EQ(SendSkinCommand(skinned, SkinCmdQuerySectionIndex, p), 1);
  EXPECT_EQ(info.SectionIndex, 42);

  // A bare SendMessage is what any program on the desktop could do.
  info.SectionIndex = -1;
  EXPECT_EQ(SendMessageA(skinned, WM_SKINCOMMAND, MakeSkinWParam(SkinCmdQuerySectionIndex), p), 0);
  EXPECT_EQ(info.SectionIndex, -1);

  // Another thread, even through the engine's own sender, is refused for address commands but
  // still answered for plain queries.
  LRESULT fromThread = -1, skinnedFromThread = -1;
  FromOtherThread([&] {
    fromThread = SendSkinCommand(skinned, SkinCmdQuerySectionIndex, p);
    skinnedFromThread = SendSkinCommand(skinned, SkinCmdIsSkinned);
  });
  EXPECT_EQ(fromThread, 0);
  EXPECT_EQ(info.SectionIndex, -1);
  EXPECT_EQ(skinnedFromThread, 1);

  // A posted command arrives through the queue, not from a send of ours.
  PostMessageA(skinned, WM_SKINCOMMAND, MakeSkinWParam(SkinCmdQuerySectionIndex), p);
  MSG msg;
  while (PeekMessageA(&msg, skinned, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(info.SectionIndex, -1);
}

TEST_F(SkinCommandWindows, ChildSendsReachDirectChildrenOnly) {
  Received parentR, childR, plainChildR, grandR;
  HWND parent = Make("OrbexTestSkinned", nullptr, &parentR);
  Make("OrbexTestSkinned", parent, &childR);
  HWND plainChild = Make("OrbexTestSkinned", parent, &plainChildR);
  Make("OrbexTestSkinned", plainChild, &grandR);

  BroadcastToChildWindows(parent, WM_SKINCOMMAND, MakeSkinWParam(SkinCmdRepaintNow), 0);
  EXPECT_EQ(parentR.Commands, 0);
  EXPECT_EQ(childR.Commands, 1);
  EXPECT_EQ(plainChildR.Commands, 1);
  EXPECT_EQ(grandR.Commands, 0);

  RefreshChildWindows(parent);
  EXPECT_EQ(childR.ResumePaint, 1);
  EXPECT_EQ(plainChildR.ResumePaint, 1);
  EXPECT_EQ(grandR.ResumePaint, 0);
  EXPECT_EQ(parentR.ResumePaint, 0);
}

TEST_F(SkinCommandWindows, CommandFromAnotherThreadDuringOurOwnSendIsRefused) {
  // While this thread sends command 26 to a window of another thread, that thread sends the
  // very same message back. This thread serves it inside its own send, so only the system's
  // word that it came from another thread tells it apart.
  HWND skinned = Make("OrbexTestSkinned");
  RelayTarget = skinned;
  RelayResult = -1;
  HWND relay = nullptr;
  DWORD relayThread = 0;
  std::atomic<bool> ready{false};
  std::thread t([&] {
    relay = CreateWindowExA(0, "OrbexTestRelay", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    relayThread = GetCurrentThreadId();
    ready = true;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(relay);
  });
  while (!ready) Sleep(1);
  ASSERT_NE(relay, nullptr);

  TlxSectionInfo info;
  const LRESULT r = SendSkinCommand(relay, SkinCmdQuerySectionIndex, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(r, 0);
  EXPECT_EQ(RelayResult, 0);
  EXPECT_EQ(info.SectionIndex, -1);
  PostThreadMessageA(relayThread, WM_QUIT, 0, 0);
  t.join();
}
