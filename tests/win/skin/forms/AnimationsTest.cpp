// Form animations on shown test forms with the frame fixture skins: the skin change fading
// the new image in over the frozen form, its options (off, time 0, a translucent form), forms
// hidden or unregistered while frozen, the hide timer's copies and the show of a form. Every
// layered upload is recorded; the frame pause is replaced so nothing waits.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/win/ExtCtrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sAnimations.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/LayeredRecorder.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

using layeredtest::TUpload;

// Counts the WM_PAINT messages each window of the thread is sent while it lives.
class TPaintCounter {
public:
  TPaintCounter() : FHook(SetWindowsHookExA(WH_CALLWNDPROC, &Proc, nullptr, GetCurrentThreadId())) { Self = this; }
  TPaintCounter(const TPaintCounter&) = delete;
  TPaintCounter& operator=(const TPaintCounter&) = delete;
  ~TPaintCounter() {
    UnhookWindowsHookEx(FHook);
    Self = nullptr;
  }
  std::map<HWND, int> Paints;

private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && Self != nullptr && sent->message == WM_PAINT) ++Self->Paints[sent->hwnd];
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline TPaintCounter* Self = nullptr;
  HHOOK FHook;
};

class Animations : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (Application == nullptr) InitForms();
  }
  void SetUp() override {
    InitAnimationsUnit();
    SavedSleep = AnimSleep;
    AnimSleep = [this](int ms) {
      ++Sleeps;
      SleptWithFlag = SleptWithFlag || AnimationInProgress;
      EXPECT_GE(ms, 0);   // what remains of the frame's 12 ms
      EXPECT_LE(ms, 12);
    };
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_FRAME_SKINS);
    M->SetSkinName("FrameA");
    ASSERT_TRUE(M->SkinData().Active);
    Recorder.Install();
  }
  void TearDown() override {
    StopHideAnimation();
    Forms.clear();
    M.reset();
    AnimSleep = SavedSleep;
    DoneAnimationsUnit();
  }
  TsSkinProvider* Make(int left = 80) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(left, 70, 320, 240);
    form->HandleNeeded();
    auto* p = NewComponent<TsSkinProvider>(form.get());
    form->Show();
    Pump();
    Forms.push_back(std::move(form));
    return p;
  }
  static void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  // The uploads of windows other than the given ones (the copies).
  std::vector<std::pair<HWND, std::vector<TUpload>>> CopyUploads(std::initializer_list<HWND> own = {}) const {
    std::vector<std::pair<HWND, std::vector<TUpload>>> out;
    for (const auto& [h, list] : Recorder.Uploads)
      if (std::find(own.begin(), own.end(), h) == own.end()) out.emplace_back(h, list);
    return out;
  }
  static bool Frozen(TsSkinProvider* p) { return (p->FormState & TsSkinProvider::Frozen) != 0; }
  static bool VisibleStyle(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0; }

  layeredtest::TLayeredRecorder Recorder;
  std::function<void(int)> SavedSleep;
  int Sleeps = 0;
  bool SleptWithFlag = false;
  std::unique_ptr<TsSkinManager> M;
  std::vector<std::unique_ptr<TForm>> Forms;
};

TEST_F(Animations, ASkinChangeFadesTheNewImageInAndLeavesNoCopy) {
  TsSkinProvider* p = Make();
  TlxSkinChanging* changing = M->AnimEffects()->SkinChanging();
  changing->Time = 120;
  changing->Mode = atAero;
  M->SetSkinName("FrameB");
  const auto copies = CopyUploads();
  ASSERT_EQ(copies.size(), 1u);
  const std::vector<TUpload>& f = copies[0].second;
  ASSERT_EQ(f.size(), 11u);   // i = 0 .. 10
  EXPECT_EQ(Sleeps, 11);
  EXPECT_TRUE(SleptWithFlag);
  for (size_t i = 1; i < f.size(); ++i) EXPECT_GE(f[i].Alpha, f[i - 1].Alpha);
  EXPECT_EQ(f.back().Alpha, 255);
  EXPECT_EQ(f.front().Alpha, 26);
  // The first frame is the picture at three quarters: its corner is clear; the last one fills.
  ASSERT_FALSE(f.front().Pixels.empty());
  EXPECT_EQ(f.front().At(0, 0), 0u);
  EXPECT_EQ(f.back().At(f.back().Size.cx / 2, f.back().Size.cy / 2) >> 24, 255u);
  EXPECT_EQ(f.back().At(f.back().Size.cx / 2, 0) >> 24, 255u);
  EXPECT_EQ(f.back().At(0, 0), 0u);   // outside the rounded window region
  RECT r{};
  GetWindowRect(p->Form()->Handle(), &r);
  ASSERT_TRUE(f.front().Dest.has_value());
  EXPECT_EQ(f.front().Dest->x, r.left);
  EXPECT_FALSE(IsWindow(copies[0].first));
  EXPECT_FALSE(Frozen(p));
  EXPECT_FALSE(p->InAnimation);
  EXPECT_FALSE(AnimationInProgress);
  EXPECT_TRUE(IsWindowVisible(p->Form()->Handle()));
}

// Forms changing their skin together fade in one loop of frames, and each draws its new face
// once beneath its copy.
TEST_F(Animations, FormsChangeTogetherAndDrawTheirNewFaceOnce) {
  const HWND first = Make(60)->Form()->Handle();
  const HWND second = Make(420)->Form()->Handle();
  TlxSkinChanging* changing = M->AnimEffects()->SkinChanging();
  changing->Time = 120;
  changing->Mode = atAero;
  TPaintCounter counter;
  M->SetSkinName("FrameB");
  EXPECT_EQ(Sleeps, 11);   // n + 1 frames for both forms
  const auto copies = CopyUploads();
  ASSERT_EQ(copies.size(), 2u);
  for (const auto& [copy, frames] : copies) EXPECT_EQ(frames.size(), 11u);
  EXPECT_EQ(counter.Paints[first], 1);
  EXPECT_EQ(counter.Paints[second], 1);
}

TEST_F(Animations, SkinChangeOptions) {
  TsSkinProvider* p = Make();
  TlxSkinChanging* changing = M->AnimEffects()->SkinChanging();
  // Off, time 0, and an opaque fade: the new face, painted once off screen, goes onto the form
  // itself (over its child too), at once or blended frame by frame; no copy; the form shows
  // what a full redraw shows, and is released.
  auto* child = new TPanel(p->Form());
  child->SetParent(p->Form());
  child->SetBounds(20, 20, 120, 80);
  const HWND form = p->Form()->Handle();
  const auto onTheForm = [&](int sleeps) {
    EXPECT_TRUE(CopyUploads({form}).empty());
    EXPECT_EQ(Sleeps, sleeps);
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_FALSE(Frozen(p));
    const std::vector<COLORREF> shown = formtest::WindowPixels(form);
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(shown, formtest::WindowPixels(form));
    Recorder.Uploads.clear();
    Sleeps = 0;
  };
  Pump();
  changing->Active = false;
  M->SetSkinName("FrameB");
  onTheForm(0);
  changing->Active = true;
  changing->Time = 0;
  M->SetSkinName("FrameA");
  onTheForm(0);
  changing->Time = 48;
  changing->Mode = atFading;
  M->SetSkinName("FrameB");
  onTheForm(5);
  // A translucent form's copy ends at its own alpha.
  changing->Time = 48;
  changing->Mode = atFading;
  p->Form()->SetAlphaBlend(true);
  p->Form()->SetAlphaBlendValue(200);
  M->SetSkinName("FrameB");
  const auto copies = CopyUploads({p->Form()->Handle()});
  ASSERT_EQ(copies.size(), 1u);
  ASSERT_EQ(copies[0].second.size(), 5u);
  EXPECT_EQ(copies[0].second.back().Alpha, 200);
  EXPECT_EQ(copies[0].second.front().Alpha, 50);
  EXPECT_EQ(p->Form()->AlphaBlendValue(), 200);
}

TEST_F(Animations, FormsHiddenOrUnregisteredWhileFrozenDrawAgain) {
  TsSkinProvider* hidden = Make(60);
  TsSkinProvider* dropped = Make(420);
  TForm* hiddenForm = Forms[0].get();
  TForm* droppedForm = Forms[1].get();
  FreezeSkinnedForms(M.get());
  ASSERT_TRUE(Frozen(hidden));
  ASSERT_TRUE(Frozen(dropped));
  EXPECT_FALSE(VisibleStyle(droppedForm->Handle()));   // redraw off
  hiddenForm->Hide();
  delete dropped;   // the form is no longer registered
  ReleaseSkinnedForms(M.get());
  EXPECT_TRUE(VisibleStyle(droppedForm->Handle()));
  EXPECT_FALSE(VisibleStyle(hiddenForm->Handle()));   // still hidden, not half shown
  EXPECT_FALSE(Frozen(hidden));
  hiddenForm->Show();
  Pump();
  EXPECT_TRUE(IsWindowVisible(hiddenForm->Handle()));
}

TEST_F(Animations, WithoutLayeredWindowsTheOldImageBlendsOnACoverWindow) {
  TsSkinProvider* p = Make();
  const HWND form = p->Form()->Handle();
  const auto layered = UpdateLayeredWindowProc;
  UpdateLayeredWindowProc = nullptr;
  // A first change makes what the form keeps (its caches); the second one must leave nothing.
  FreezeSkinnedForms(M.get());
  AnimateSkinChange(p->Form(), 48, atFading, 255);
  ReleaseSkinnedForms(M.get());
  Sleeps = 0;
  const TResourceCount before = CountResources();
  FreezeSkinnedForms(M.get());
  std::vector<HWND> covers;
  std::string caption;
  AnimSleep = [&](int) {
    ++Sleeps;
    TOutputWindow* cover = CoverWindow();
    if (cover == nullptr) return;
    covers.push_back(cover->Handle());
    char text[32] = {};
    GetWindowTextA(cover->Handle(), text, sizeof text);
    caption = text;
    EXPECT_EQ(cover->Tag(), -98);
    EXPECT_TRUE(IsWindowVisible(cover->Handle()));
    EXPECT_EQ(GetWindow(cover->Handle(), GW_HWNDNEXT), form);   // just above the form
  };
  AnimateSkinChange(p->Form(), 48, atFading, 255);
  EXPECT_EQ(Sleeps, 5);   // n + 1 frames
  ASSERT_EQ(covers.size(), 5u);
  EXPECT_EQ(caption, "lxOutputWindow");
  EXPECT_EQ(CoverWindow(), nullptr);
  EXPECT_FALSE(IsWindow(covers[0]));
  EXPECT_TRUE(IsWindowVisible(form));
  ReleaseSkinnedForms(M.get());
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  UpdateLayeredWindowProc = layered;
}

TEST_F(Animations, TheHideTimerFadesOneCopyAtATime) {
  auto bitmap = [] {
    std::unique_ptr<TBitmap> b = CreateBitmap32(64, 48);
    return b;
  };
  std::unique_ptr<TForm> first = MakeCopyWindow(TRect{10, 10, 74, 58});
  const HWND firstWnd = first->Handle();
  StartHideAnimation(std::move(first), bitmap(), 200, atAero, 255);
  EXPECT_EQ(HidingCopyWindow(), firstWnd);
  EXPECT_EQ(GetWindowLongA(firstWnd, GWL_EXSTYLE) & 0x08080080, 0x08080080);
  EXPECT_NE(GetWindowLongA(firstWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  ASSERT_EQ(Recorder.Uploads[firstWnd].size(), 2u);   // the first image and the first tick
  EXPECT_EQ(Recorder.Uploads[firstWnd][0].Alpha, 255);
  // A second hide frees the first copy at once.
  std::unique_ptr<TForm> second = MakeCopyWindow(TRect{10, 10, 74, 58});
  const HWND secondWnd = second->Handle();
  StartHideAnimation(std::move(second), bitmap(), 200, atAero, 255);
  EXPECT_FALSE(IsWindow(firstWnd));
  const DWORD start = GetTickCount();
  while (IsWindow(secondWnd) && GetTickCount() - start < 3000) {
    Pump();
    Sleep(5);
  }
  EXPECT_FALSE(IsWindow(secondWnd));
  const std::vector<TUpload>& s = Recorder.Uploads[secondWnd];
  ASSERT_EQ(s.size(), 18u);   // the first image and n + 1 = 17 ticks
  EXPECT_EQ(s.back().Alpha, 0);
  // Time 0: freed without being shown.
  std::unique_ptr<TForm> third = MakeCopyWindow(TRect{10, 10, 74, 58});
  const HWND thirdWnd = third->Handle();
  StartHideAnimation(std::move(third), bitmap(), 0, atAero, 255);
  EXPECT_FALSE(IsWindow(thirdWnd));
  EXPECT_EQ(Recorder.Uploads.count(thirdWnd), 0u);
}

// The application frees the hide timer with its components before the units stop (the
// program's end): the next hide makes a timer of its own and the freed one is never reached.
TEST_F(Animations, AHideTimerTheApplicationFreedIsNeverReachedAgain) {
  auto hide = [] {
    std::unique_ptr<TForm> copy = MakeCopyWindow(TRect{10, 10, 74, 58});
    const HWND wnd = copy->Handle();
    StartHideAnimation(std::move(copy), CreateBitmap32(64, 48), 200, atFading, 255);
    return wnd;
  };
  const int owned = Application->ComponentCount();
  hide();
  ASSERT_EQ(Application->ComponentCount(), owned + 1);
  delete Application->Components(owned);
  ASSERT_EQ(Application->ComponentCount(), owned);
  EXPECT_EQ(HidingCopyWindow(), nullptr);
  const HWND second = hide();
  EXPECT_EQ(Application->ComponentCount(), owned + 1);
  EXPECT_EQ(HidingCopyWindow(), second);
}

TEST_F(Animations, AShowOf120msIsElevenGrowingFramesOnACopyThatGoes) {
  M->AnimEffects()->FormShow()->Time = 120;
  M->AnimEffects()->FormShow()->Mode = atAero;
  std::vector<TlxAnimationEvent> after;
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(100, 90, 300, 200);
  form->HandleNeeded();
  auto* p = NewComponent<TsSkinProvider>(form.get());
  p->OnAfterAnimation = [&](TlxAnimationEvent e) { after.push_back(e); };
  form->Show();
  Pump();
  const auto copies = CopyUploads({form->Handle()});
  ASSERT_EQ(copies.size(), 1u);
  const std::vector<TUpload>& f = copies[0].second;
  ASSERT_EQ(f.size(), 11u);
  EXPECT_EQ(f.front().At(0, 0), 0u);
  EXPECT_EQ(f.back().Alpha, 255);
  EXPECT_FALSE(IsWindow(copies[0].first));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(after, (std::vector<TlxAnimationEvent>{aeShowing}));
  EXPECT_FALSE(p->InAnimation);
  // A topmost form's copy is topmost too.
  form->Hide();
  Pump();
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  bool copyTopmost = false;
  AnimSleep = [&](int) {
    for (const auto& [h, list] : Recorder.Uploads)
      if (h != form->Handle() && IsWindow(h)) copyTopmost = (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  };
  form->Show();
  Pump();
  EXPECT_TRUE(copyTopmost);
}

TEST_F(Animations, AHidingFormLeavesAFadingCopy) {
  M->AnimEffects()->FormHide()->Time = 200;
  TsSkinProvider* p = Make();
  const TResourceCount before = CountResources();
  p->Form()->Hide();
  const HWND copy = HidingCopyWindow();
  ASSERT_NE(copy, nullptr);
  EXPECT_FALSE(IsWindowVisible(p->Form()->Handle()));
  EXPECT_TRUE(IsWindowVisible(copy));
  StopHideAnimation();
  EXPECT_FALSE(IsWindow(copy));
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

}   // namespace
