// The application's main loop, in an executable of its own: once the loop has ended, the
// application stays terminated for the rest of the process.
#include <gtest/gtest.h>

#include <thread>

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
  Application->Run();
  worker.join();
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

}  // namespace
