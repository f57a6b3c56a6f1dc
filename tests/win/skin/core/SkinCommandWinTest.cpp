// Tests of the skin command message between real windows: skinned and plain windows answering
// queries, sends to direct children only, and commands carrying addresses honoured when the
// engine sends them on this thread (also while it serves another program's message) and
// refused when they come from another thread, another program or around the engine's senders.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>

#include "skin/core/win/sMessagesWin.h"
#include "tests/win/OtherProgram.h"

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

// A window of this thread that, asked for a pointer command, first waits on a window of
// another thread (WaitTarget) before it answers: the other thread may send meanwhile.
HWND WaitTarget = nullptr;
LRESULT CALLBACK WaitingProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_SKINCOMMAND && SkinCommandCarriesPointer(SkinCommandOf(wparam))) {
    static int depth = 0;   // the command that arrives during the wait does not wait again
    if (WaitTarget != nullptr && depth == 0) {
      ++depth;
      SendMessageA(WaitTarget, WM_USER, 0, 0);
      --depth;
    }
    if (!SkinCommandAllowed(wparam, lparam)) return 0;
    reinterpret_cast<TlxSectionInfo*>(lparam)->SectionIndex += 1;
    return 1;
  }
  return DefWindowProcA(wnd, msg, wparam, lparam);
}

// A window on another thread that, told WM_USER, sends WaitCommand to WaitCommandTarget.
HWND WaitCommandTarget = nullptr;
LPARAM WaitCommandAddress = 0;
LRESULT WaitCommandResult = -1;
LRESULT CALLBACK InterposerProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_USER) {
    WaitCommandResult = SendMessageA(WaitCommandTarget, WM_SKINCOMMAND,
                                     MakeSkinWParam(SkinCmdQuerySectionIndex), WaitCommandAddress);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wparam, lparam);
}

// What a window of this thread did while it served another program's WM_COPYDATA: the same
// pointer command to a skinned window, once around the engine's senders and once through them.
struct CopyDataVisit {
  HWND Skinned = nullptr;
  DWORD SendState = 0;
  LRESULT BareSend = -1;
  LRESULT OurSend = -1;
  int SectionIndex = -1;
};
CopyDataVisit* Visit = nullptr;
LRESULT CALLBACK CopyDataProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_COPYDATA && Visit != nullptr) {
    Visit->SendState = InSendMessageEx(nullptr);
    TlxSectionInfo info;
    const LPARAM p = reinterpret_cast<LPARAM>(&info);
    Visit->BareSend = SendMessageA(Visit->Skinned, WM_SKINCOMMAND, MakeSkinWParam(SkinCmdQuerySectionIndex), p);
    Visit->OurSend = SendSkinCommand(Visit->Skinned, SkinCmdQuerySectionIndex, p);
    Visit->SectionIndex = info.SectionIndex;
    return 1;
  }
  return DefWindowProcA(wnd, msg, wparam, lparam);
}

class SkinCommandWindows : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    const std::pair<const char*, WNDPROC> classes[] = {
        {"OrbexTestSkinned", SkinnedProc},       {"OrbexTestPlain", DefWindowProcA},
        {"OrbexTestRelay", RelayProc},           {"OrbexTestWaiting", WaitingProc},
        {"OrbexTestInterposer", InterposerProc}, {"OrbexTestCopyData", CopyDataProc}};
    for (const auto& [name, proc] : classes) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = name;
      RegisterClassA(&wc);
    }
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

  // Runs the other program (skin_command_sender, beside this test) with `args`.
  static long RunOtherProgram(const std::string& args) {
    return othertest::RunProgramBeside("skin_command_sender.exe", args);
  }

  static std::string Number(UINT_PTR v) { return std::to_string(v); }
  static std::string Number(HWND w) { return Number(reinterpret_cast<UINT_PTR>(w)); }

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

TEST_F(SkinCommandWindows, OurSendWhileServingAnotherProgramsMessageIsHonoured) {
  // Another program sends WM_COPYDATA; while this thread serves it, the system says it is
  // inside a message from outside, but the engine's own send from here is still its own.
  CopyDataVisit visit;
  visit.Skinned = Make("OrbexTestSkinned");
  HWND host = Make("OrbexTestCopyData");
  Visit = &visit;
  const long answer = RunOtherProgram(Number(host) + " copydata");
  Visit = nullptr;
  EXPECT_EQ(answer, 1);
  EXPECT_NE(visit.SendState & ISMEX_SEND, 0u);   // the case the guard must tell apart
  EXPECT_EQ(visit.BareSend, 0);                  // around the senders: still refused
  EXPECT_EQ(visit.OurSend, 1);
  EXPECT_EQ(visit.SectionIndex, 42);
}

TEST_F(SkinCommandWindows, PointerCommandFromAnotherProgramIsAnsweredZero) {
  HWND skinned = Make("OrbexTestSkinned");
  TlxSectionInfo info;
  const std::string command = Number(WM_SKINCOMMAND) + " " +
                              Number(MakeSkinWParam(SkinCmdQuerySectionIndex)) + " " +
                              Number(reinterpret_cast<UINT_PTR>(&info));
  EXPECT_EQ(RunOtherProgram(Number(skinned) + " " + command), 0);
  EXPECT_EQ(info.SectionIndex, -1);
  const std::string isSkinned = Number(WM_SKINCOMMAND) + " " + Number(MakeSkinWParam(SkinCmdIsSkinned)) + " 0";
  EXPECT_EQ(RunOtherProgram(Number(skinned) + " " + isSkinned), 1);   // plain queries are answered
}

TEST_F(SkinCommandWindows, AnotherThreadsCommandArrivingWhileOurOwnSendWaitsIsRefused) {
  // Our send reaches a window of this thread, which waits on another thread before it answers;
  // that thread sends the very same message meanwhile. Ours is honoured, its is not.
  HWND waiting = Make("OrbexTestWaiting");
  TlxSectionInfo info;
  info.SectionIndex = 0;
  WaitCommandTarget = waiting;
  WaitCommandAddress = reinterpret_cast<LPARAM>(&info);
  WaitCommandResult = -1;
  HWND interposer = nullptr;
  DWORD interposerThread = 0;
  std::atomic<bool> ready{false};
  std::thread t([&] {
    interposer = CreateWindowExA(0, "OrbexTestInterposer", "", 0, 0, 0, 10, 10, HWND_MESSAGE,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    interposerThread = GetCurrentThreadId();
    ready = true;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(interposer);
  });
  while (!ready) Sleep(1);
  ASSERT_NE(interposer, nullptr);
  WaitTarget = interposer;
  const LRESULT ours = SendSkinCommand(waiting, SkinCmdQuerySectionIndex, WaitCommandAddress);
  WaitTarget = nullptr;
  PostThreadMessageA(interposerThread, WM_QUIT, 0, 0);
  t.join();
  EXPECT_EQ(WaitCommandResult, 0);
  EXPECT_EQ(ours, 1);
  EXPECT_EQ(info.SectionIndex, 1);   // counted once: our send only
}
