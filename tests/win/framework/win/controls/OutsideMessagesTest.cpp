// Messages from other threads and programs: a reflected notification, or a message whose
// LParam is a structure address, that arrives from outside is never acted on, and only a
// form's own release frees it. Each case once crashed the program or freed a form under its
// owner's feet.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "framework/win/Forms.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

// A form that records the messages its Dispatch sees and tells when it is freed.
class TRecordingForm : public TForm {
public:
  using TForm::TForm;
  ~TRecordingForm() override {
    if (Freed != nullptr) *Freed = true;
  }
  std::vector<UINT> Seen;
  bool* Freed = nullptr;
  void Dispatch(TMessage& m) override {
    Seen.push_back(m.Msg);
    TForm::Dispatch(m);
  }
  bool Saw(UINT msg) const { return std::find(Seen.begin(), Seen.end(), msg) != Seen.end(); }
};

// Runs `send` on another thread, as another program would send or post, while this (the GUI)
// thread keeps serving messages.
void FromAnotherThread(const std::function<void()>& send) {
  std::atomic<bool> done{false};
  std::thread t([&] {
    send();
    done = true;
  });
  while (!done) Application->ProcessMessages();
  t.join();
  Pump();
}

constexpr LPARAM kBogusAddress = 0x10;   // no structure lives there

}  // namespace

TEST(OutsideMessages, StructureAddressesFromOutsideAreNeverRead) {
  auto* f = new TRecordingForm(nullptr);
  std::unique_ptr<TRecordingForm> owner(f);
  const HWND h = f->Handle();
  FromAnotherThread([h] {
    ::SendMessageA(h, CN_NOTIFY, 0, kBogusAddress);
    ::PostMessageA(h, CN_NOTIFY, 0, kBogusAddress);
    ::PostMessageA(h, CN_DRAWITEM, 0, kBogusAddress);
    ::PostMessageA(h, WM_NOTIFY, 0, kBogusAddress);
    ::PostMessageA(h, WM_DRAWITEM, 0, kBogusAddress);
    ::PostMessageA(h, WM_MEASUREITEM, 0, kBogusAddress);
  });
  EXPECT_FALSE(f->Saw(CN_NOTIFY));
  EXPECT_FALSE(f->Saw(CN_DRAWITEM));
  EXPECT_FALSE(f->Saw(WM_NOTIFY));
  EXPECT_FALSE(f->Saw(WM_DRAWITEM));
  EXPECT_FALSE(f->Saw(WM_MEASUREITEM));
  // Messages that carry no address still arrive.
  FromAnotherThread([h] { ::PostMessageA(h, WM_NULL, 0, 0); });
  EXPECT_TRUE(f->Saw(WM_NULL));
}

TEST(OutsideMessages, OnlyTheFormsOwnReleaseFreesIt) {
  bool freed = false;
  auto* f = new TRecordingForm(nullptr);
  f->Freed = &freed;
  const HWND h = f->Handle();
  FromAnotherThread([h] { ::PostMessageA(h, CM_RELEASE, 0, 0); });
  ASSERT_FALSE(freed);
  EXPECT_EQ(FindControl(h), f);
  f->Release();
  EXPECT_FALSE(freed);   // freed once the queued release runs
  Pump();
  EXPECT_TRUE(freed);
}
