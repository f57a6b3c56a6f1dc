// The application's main loop, in an executable of its own: once the loop has ended, the
// application stays terminated for the rest of the process.
#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

#include "framework/base/Thread.h"
#include "framework/win/Forms.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

TEST(ApplicationRunTest, RunShowsTheMainFormAndClosingItEndsTheLoop) {
  TForm* main = nullptr;
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(nullptr);
  Application->CreateForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  bool shown = false;
  std::thread worker;
  DWORD closedOn = 0;
  // A worker asks the GUI thread to close the main form: the main loop serves the call.
  main->OnShow = [&](TObject*) {
    shown = true;
    worker = std::thread([&]() {
      TThread::Synchronize(nullptr, [&]() {
        closedOn = ::GetCurrentThreadId();
        main->Close();
      });
    });
  };
  // Closing the main form ends the loop with the form still shown: the hooks hear once that
  // the application window goes (it was never shown, so the system tells nothing).
  int hides = 0;
  const int cookie = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGED) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      hides += pos->hwnd == Application->Handle() && (pos->flags & SWP_HIDEWINDOW) != 0 && main->Visible();
    }
    return false;
  });
  Application->Run();
  Application->UnhookMainWindow(cookie);
  worker.join();
  EXPECT_EQ(hides, 1);
  EXPECT_TRUE(shown);
  EXPECT_EQ(closedOn, ::GetCurrentThreadId());
  EXPECT_TRUE(Application->Terminated());
  delete main;
  EXPECT_EQ(Application->MainForm(), nullptr);
  Application->SetMainForm(oldMain);
}

TEST(ApplicationRunTest, ModalFormsCancelOnceTheApplicationTerminated) {
  ASSERT_TRUE(Application->Terminated());
  std::unique_ptr<TForm> f(new TForm(nullptr));
  EXPECT_EQ(f->ShowModal(), mrCancel);
}

TEST(ApplicationRunTest, TheHooksLearnThatTheMainFormStillShowingGoesWithTheLoop) {
  ASSERT_TRUE(Application->Terminated());
  std::unique_ptr<TForm> f(new TForm(nullptr));
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(f.get());
  std::vector<std::pair<HWND, UINT>> seen;
  const int cookie = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGED) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      seen.emplace_back(pos->hwnd, pos->flags & SWP_HIDEWINDOW);
    }
    return false;
  });
  // Terminated already: the loop ends at once with the form shown.
  Application->Run();
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{Application->Handle(), SWP_HIDEWINDOW}}));
  Application->UnhookMainWindow(cookie);
  Application->SetMainForm(oldMain);
}

}  // namespace
