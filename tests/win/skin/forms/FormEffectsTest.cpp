// The form effects on a shown skinned main form, uploads recorded: the minimize run by the
// skinned system command toward the taskbar and the restore back, plain minimizing without the
// effect, the fading of blend on moving, animated title buttons (the skin's close glow, a user
// button's glyph), the application-window hook (theme notices, activation, popup-border
// messages) and, in a program of its own, the main form's hide while the application ends.
// The skins are written by tests/fixtures/skins/make_frame_skins.py.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "framework/win/Messages.h"
#include "skin/core/sMessages.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/sAppWindowHook.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sWinUtils.h"
#include "tests/win/ImportPatch.h"
#include "tests/win/OtherProgram.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/ScratchSkins.h"
#include "tests/win/skin/forms/FormTestUtil.h"
#include "tests/win/skin/LayeredRecorder.h"

namespace {

// A form that counts the skin commands it is sent.
class TCountingForm : public TForm {
public:
  using TForm::TForm;
  int RepaintNow = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdRepaintNow) ++RepaintNow;
    TForm::Dispatch(m);
  }
};

RECT WindowRectNow(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

struct TVisibleCount {
  HWND Except;
  int N = 0;
};
BOOL CALLBACK CountVisible(HWND w, LPARAM lp) {
  auto* c = reinterpret_cast<TVisibleCount*>(lp);
  c->N += w != c->Except && IsWindowVisible(w);
  return TRUE;
}
int OtherVisibleWindows(HWND except) {
  TVisibleCount count{except};
  EnumThreadWindows(GetCurrentThreadId(), &CountVisible, reinterpret_cast<LPARAM>(&count));
  return count.N;
}

// The system's minimize-and-restore animation setting on for one test and kept as a system
// that keeps it would (Wine answers it off whatever it is told): this program's import of
// SystemParametersInfoA answers and stores it; every other request reaches the system.
class TKeptSystemAnimation {
public:
  TKeptSystemAnimation() : FPatch("user32.dll", "SystemParametersInfoA", reinterpret_cast<void*>(&Parameters)) {
    On() = 1;
  }
  bool Patched() const { return FPatch.Patched(); }

private:
  static int& On() {
    static int on = 0;
    return on;
  }
  static BOOL WINAPI Parameters(UINT action, UINT param, PVOID data, UINT winIni) {
    static const auto system = reinterpret_cast<decltype(&SystemParametersInfoA)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SystemParametersInfoA")));
    if (action != SPI_GETANIMATION && action != SPI_SETANIMATION) return system(action, param, data, winIni);
    auto* info = static_cast<ANIMATIONINFO*>(data);
    if (info == nullptr || info->cbSize != sizeof(ANIMATIONINFO)) return FALSE;
    if (action == SPI_GETANIMATION)
      info->iMinAnimate = On();
    else
      On() = info->iMinAnimate;
    return TRUE;
  }
  TImportPatch FPatch;
};

class FormEffects : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (Application == nullptr) InitForms();
    if (Application->Handle() == nullptr) Application->Initialize();
    IsNTFamily = true;
    if (UpdateLayeredWindowProc == nullptr) InitAlphaGraphUnit();
    TlxSkinEffects::LayeredWindows = LayeredWindowsAvailable();
    InitAppWindowHookUnit();
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_FRAME_SKINS);
    M->SetSkinName("FrameA");
    ASSERT_TRUE(M->SkinData().Active);
    SavedMain = Application->MainForm();
  }
  void TearDown() override {
    Application->SetMainForm(SavedMain);
    Application->OnRestore = nullptr;
    Form.reset();
    M.reset();
  }
  TsSkinProvider* ShowMain() {
    // The pointer is left wherever an earlier program put it: over a title button it would
    // make that button glow, a layered window of its own.
    SetCursorPos(0, 0);
    Form = std::make_unique<TCountingForm>(nullptr);
    Form->SetBounds(120, 90, 400, 300);
    Form->SetCaption("Orbex");
    Form->HandleNeeded();
    auto* p = NewComponent<TsSkinProvider>(Form.get());
    Application->SetMainForm(Form.get());
    Form->Show();
    Pump(60);
    p->PaintFrameCache();
    return p;
  }
  static void Pump(int ms) {
    const DWORD start = GetTickCount();
    do {
      Application->ProcessMessages();
      Sleep(2);
    } while (GetTickCount() - start < static_cast<DWORD>(ms));
  }
  HWND Wnd() const { return Form->Handle(); }
  LONG ExStyle() const { return GetWindowLongA(Wnd(), GWL_EXSTYLE); }
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TCountingForm> Form;
  TCustomForm* SavedMain = nullptr;
};

TEST_F(FormEffects, MinimizeRunsTowardTheTaskbarAndRestoreComesBack) {
  M->AnimEffects()->Minimizing()->Active = true;
  M->AnimEffects()->Minimizing()->Time = 200;
  TsSkinProvider* p = ShowMain();
  const RECT before = WindowRectNow(Wnd());
  // The system's own animation on: the effect switches it off around its calls and puts it back.
  const TKeptSystemAnimation animation;
  ASSERT_TRUE(animation.Patched());
  const bool systemAnimation = GetWindowAnimationOn();
  ASSERT_TRUE(systemAnimation);
  int restores = 0;
  Application->OnRestore = [&](TObject*) { ++restores; };
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  auto* timer = dynamic_cast<TlxMinTimer*>(p->FormTimer());
  ASSERT_NE(timer, nullptr);
  const HWND anim = timer->AnimationWindow();
  ASSERT_NE(anim, nullptr);
  Pump(500);
  EXPECT_TRUE(IsIconic(Wnd()));
  EXPECT_TRUE(Application->Minimized());
  EXPECT_TRUE(timer->Minimized);
  EXPECT_EQ(GetWindowAnimationOn(), systemAnimation);
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
  EXPECT_FALSE(IsWindowVisible(anim));
  // Falling alphas, each frame's centre nearer the taskbar target; the last upload empties the
  // window.
  const std::vector<layeredtest::TUpload>& ups = rec.Uploads[anim];
  ASSERT_GE(ups.size(), 12u);
  const TRect target = TaskbarTarget(Wnd(), TRect{before.left, before.top, before.right, before.bottom});
  const double tx = (target.Left + target.Right) / 2.0, ty = (target.Top + target.Bottom) / 2.0;
  auto distance = [&](const layeredtest::TUpload& u) {
    return std::hypot(u.Dest->x + u.Size.cx / 2.0 - tx, u.Dest->y + u.Size.cy / 2.0 - ty);
  };
  const double startDistance = std::hypot((before.left + before.right) / 2.0 - tx, (before.top + before.bottom) / 2.0 - ty);
  ASSERT_GT(startDistance, 50.0);
  int frames = 0;
  for (size_t i = 0; i + 1 < ups.size(); ++i) {
    ASSERT_TRUE(ups[i].Dest.has_value()) << i;
    EXPECT_LT(distance(ups[i]), i > 0 ? distance(ups[i - 1]) : startDistance) << i;
    if (i > 0) {
      EXPECT_LT(ups[i].Alpha, ups[i - 1].Alpha) << i;
    }
    ++frames;
  }
  EXPECT_EQ(frames, 11);
  EXPECT_LT(distance(ups[frames - 1]), startDistance / 2);
  EXPECT_EQ(ups.back().Alpha, 0);
  EXPECT_EQ(p->FormState & TsSkinProvider::Minimizing, 0u);
  // No other window of the thread shows once minimized.
  EXPECT_EQ(OtherVisibleWindows(Wnd()), 0);

  rec.Uploads.clear();
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(500);
  EXPECT_FALSE(IsIconic(Wnd()));
  EXPECT_FALSE(Application->Minimized());
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
  const RECT after = WindowRectNow(Wnd());
  EXPECT_EQ(std::make_tuple(after.left, after.top, after.right, after.bottom),
            std::make_tuple(before.left, before.top, before.right, before.bottom));
  EXPECT_EQ(restores, 1);
  EXPECT_EQ(GetWindowAnimationOn(), systemAnimation);
  EXPECT_EQ(p->FormState & TsSkinProvider::Restoring, 0u);
  EXPECT_FALSE(p->Animating);
  EXPECT_EQ(GetFocus(), Wnd());
  // The timer's own form went with the end of the restore, once.
  EXPECT_EQ(timer->AnimationWindow(), nullptr);
  EXPECT_FALSE(IsWindow(anim));
  // Shown again, the form lets the run go with its pictures.
  Form->Hide();
  Form->Show();
  Pump(60);
  EXPECT_EQ(p->FormTimer(), nullptr);
}

// The border window the run was shown in went while the form was minimized: the restore has
// nothing to show its pictures in and brings the form back at once, not left unseen at alpha 0.
TEST_F(FormEffects, ARestoreWithNothingToShowItsRunInShowsTheForm) {
  M->AnimEffects()->Minimizing()->Active = true;
  M->AnimEffects()->Minimizing()->Time = 200;
  M->SetExtendedBorders(true);
  TsSkinProvider* p = ShowMain();
  ASSERT_NE(p->BorderForm(), nullptr);
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump(500);
  ASSERT_TRUE(IsIconic(Wnd()));
  p->SetAllowExtBorders(false);
  ASSERT_EQ(p->BorderForm(), nullptr);
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(300);
  EXPECT_FALSE(IsIconic(Wnd()));
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
  EXPECT_EQ(p->FormState & TsSkinProvider::Restoring, 0u);
  EXPECT_FALSE(p->Animating);
}

TEST_F(FormEffects, WithoutTheEffectTheFormMinimizesPlainly) {
  M->AnimEffects()->Minimizing()->Active = false;
  TsSkinProvider* p = ShowMain();
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump(100);
  EXPECT_TRUE(IsIconic(Wnd()));
  EXPECT_EQ(p->FormTimer(), nullptr);
  EXPECT_TRUE(rec.Uploads.empty());
  EXPECT_EQ(AppShowState(), ssMinimizing);
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(60);
  EXPECT_FALSE(IsIconic(Wnd()));
  EXPECT_EQ(AppShowState(), ssRestoring);
}

TEST_F(FormEffects, BlendOnMovingFadesToTheBlendValue) {
  TsSkinProvider* p = ShowMain();
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  // Time 120 at blend value 170: steps of round(85 / 10) = 9 (never below the target).
  TlxMoveTimer t(p, Wnd(), 255, 170, BlendMoveStep(120, 170));
  for (int i = 0; i < 12; ++i) t.Tick();
  const std::vector<layeredtest::TAttributes>& set = rec.Attributes[Wnd()];
  ASSERT_EQ(set.size(), 12u);
  EXPECT_EQ(set[0].Alpha, 255);
  EXPECT_EQ(set[1].Alpha, 246);
  EXPECT_EQ(set[9].Alpha, 174);
  EXPECT_EQ(set[10].Alpha, 170);
  EXPECT_EQ(set[11].Alpha, 170);
  EXPECT_EQ(set[0].Flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);
  // The end gives the form its opacity back.
  p->EndBlendMoving();
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
}

TEST_F(FormEffects, DraggedByTheCaptionTheFormFadesAndComesBack) {
  M->AnimEffects()->BlendOnMoving()->Active = true;
  M->AnimEffects()->BlendOnMoving()->BlendValue = 170;
  M->AnimEffects()->BlendOnMoving()->Time = 120;
  BOOL full = FALSE;
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
  ShowMain();
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  const RECT before = WindowRectNow(Wnd());
  const POINT caption{before.left + 60, before.top + 10};
  ASSERT_EQ(SendMessageA(Wnd(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
  std::thread mouse([caption] { formtest::DragFrom(caption, 50, 30); });
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 1500) {
    Application->ProcessMessages();
    Sleep(2);
  }
  mouse.join();
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);
  const std::vector<layeredtest::TAttributes>& set = rec.Attributes[Wnd()];
  ASSERT_FALSE(set.empty());
  int lowest = 255;
  for (const layeredtest::TAttributes& a : set) lowest = std::min<int>(lowest, a.Alpha);
  EXPECT_EQ(lowest, 170);
  // Released: opaque again, not layered, and moved with the mouse.
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
  const RECT after = WindowRectNow(Wnd());
  EXPECT_EQ(after.left - before.left, 50);
  EXPECT_EQ(after.top - before.top, 30);
}

TEST_F(FormEffects, HotTitleButtonFadesInAndFreesItsWindowWhenLeft) {
  M->Effects()->SetAllowGlowing(true);
  TsSkinProvider* p = ShowMain();
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  // The mouse over the close button keeps it hot to the end.
  p->SetHotElement(htcClose, true);
  TlxSBAnimation* a = p->ButtonAnimation(htcClose);
  ASSERT_NE(a, nullptr);
  const HWND glow = a->Window();
  ASSERT_NE(glow, nullptr);
  // The skin's close glow (36 x 30, margin 6) stands left of and above the button by the margin.
  const TRect r = a->GlowRect();
  const RECT form = WindowRectNow(Wnd());
  const TRect button = p->TitleButton(htcClose)->Rect;
  EXPECT_EQ(std::make_tuple(r.Left, r.Top, r.Width(), r.Height()),
            std::make_tuple(button.Left + int(form.left) - 6, button.Top + int(form.top) - 6, 36, 30));
  SetCursorPos(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  for (int i = 0; i < 10; ++i) a->Tick();
  std::vector<int> alphas;
  for (const layeredtest::TUpload& u : rec.Uploads[glow]) alphas.push_back(u.Alpha);
  EXPECT_EQ(alphas, (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
  // Every frame shows the glow picture itself, not the button's hot face.
  for (const layeredtest::TUpload& u : rec.Uploads[glow]) {
    ASSERT_EQ(std::make_pair(int(u.Size.cx), int(u.Size.cy)), std::make_pair(36, 30));
    ASSERT_FALSE(u.Pixels.empty());
    EXPECT_EQ(u.At(18, 15), 0xFFFAC81Eu);
    ASSERT_TRUE(u.Dest.has_value());
    EXPECT_EQ(std::make_pair(int(u.Dest->x), int(u.Dest->y)), std::make_pair(r.Left, r.Top));
  }
  const LONG ex = GetWindowLongA(glow, GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW),
            WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW);
  RECT wr{};
  GetWindowRect(glow, &wr);
  EXPECT_EQ(std::make_pair(int(wr.left), int(wr.top)), std::make_pair(r.Left, r.Top));
  // Leaving: back down to nothing, then the window is gone.
  p->SetHotElement(0, true);
  for (int i = 0; i < 12; ++i) a->Tick();
  EXPECT_FALSE(IsWindow(glow));
  EXPECT_EQ(p->ButtonAnimation(htcClose), nullptr);
  // A step count of 1 (pressed) shows at once, without timer.
  p->StartTitleButtonAnimation(*p->TitleButton(htcClose), 2);
  TlxSBAnimation* pressed = p->ButtonAnimation(htcClose);
  ASSERT_NE(pressed, nullptr);
  EXPECT_FALSE(pressed->Enabled());
  EXPECT_EQ(rec.Uploads[pressed->Window()].back().Alpha, 255);
  p->StopButtonAnimations();
  EXPECT_EQ(p->ButtonAnimation(htcClose), nullptr);
}

// A user button's glyph (12 x 12: a red rim around a blue centre) on its animated face, centred,
// a pixel lower and to the right while pressed.
TEST_F(FormEffects, AUserButtonsAnimatedFaceShowsItsGlyph) {
  M->Effects()->SetAllowGlowing(true);
  TsSkinProvider* p = ShowMain();
  TsTitleButton* user = p->TitleButtons()->Add();
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::pf32bit);
  glyph.SetSize(12, 12);
  const TlxPixelBuffer px = BitmapPixels(&glyph);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) SetPix(px, x, y, x >= 2 && y >= 2 && x < 10 && y < 10 ? 0xFF0000C8u : 0xFFC80000u);
  user->SetGlyph(&glyph);
  p->SkinData()->BGChanged = 1;
  p->PaintFrameCache();
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  const int code = htcUserButton;
  p->StartTitleButtonAnimation(*p->TitleButton(code), 2);
  TlxSBAnimation* a = p->ButtonAnimation(code);
  ASSERT_NE(a, nullptr);
  ASSERT_FALSE(rec.Uploads[a->Window()].empty());
  const layeredtest::TUpload pressed = rec.Uploads[a->Window()].back();
  const TRect r = p->TitleButton(code)->Rect;
  ASSERT_EQ(std::make_pair(int(pressed.Size.cx), int(pressed.Size.cy)), std::make_pair(r.Width(), r.Height()));
  ASSERT_FALSE(pressed.Pixels.empty());
  const int gx = (r.Width() - 12) / 2, gy = (r.Height() - 12) / 2;
  // The alpha kernels round an opaque pixel to within one step of its colour.
  auto closeTo = [](std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 32; shift += 8)
      if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1) return false;
    return true;
  };
  EXPECT_TRUE(closeTo(pressed.At(gx + 1, gy + 1), 0xFFC80000u)) << std::hex << pressed.At(gx + 1, gy + 1);
  EXPECT_TRUE(closeTo(pressed.At(gx + 6, gy + 6), 0xFF0000C8u)) << std::hex << pressed.At(gx + 6, gy + 6);
  EXPECT_EQ(pressed.At(gx, gy) >> 24, 0u);   // FrameA has no user-button face: clear around it
  // Hot: the glyph in the middle.
  p->StopButtonAnimations();
  p->StartTitleButtonAnimation(*p->TitleButton(code), 1);
  a = p->ButtonAnimation(code);
  ASSERT_NE(a, nullptr);
  ASSERT_FALSE(rec.Uploads[a->Window()].empty());
  const layeredtest::TUpload hot = rec.Uploads[a->Window()].back();
  EXPECT_TRUE(closeTo(hot.At(gx, gy), 0xFFC80000u)) << std::hex << hot.At(gx, gy);
  EXPECT_TRUE(closeTo(hot.At(gx + 5, gy + 5), 0xFF0000C8u)) << std::hex << hot.At(gx + 5, gy + 5);
  p->StopButtonAnimations();
}

// A form timer that frees itself through its provider in its own tick.
class TSelfFreeingTimer : public TlxThreadedTimer {
public:
  TSelfFreeingTimer(TsSkinProvider* p, bool& destroyed, bool& aliveAfter)
      : TlxThreadedTimer(nullptr, true), P(p), Destroyed(destroyed), AliveAfter(aliveAfter) {
    SetInterval(1);
  }
  ~TSelfFreeingTimer() override { Destroyed = true; }

protected:
  void TimerProc() override {
    P->SetFormTimer(nullptr);
    AliveAfter = !Destroyed;
  }

private:
  TsSkinProvider* P;
  bool& Destroyed;
  bool& AliveAfter;
};

TEST_F(FormEffects, AFormTimerFreedInItsOwnTickOutlivesTheTick) {
  TsSkinProvider* p = ShowMain();
  bool destroyed = false, aliveAfter = false;
  auto timer = std::make_unique<TSelfFreeingTimer>(p, destroyed, aliveAfter);
  TSelfFreeingTimer* t = timer.get();
  p->SetFormTimer(std::move(timer));
  t->SetEnabled(true);
  Pump(60);
  EXPECT_EQ(p->FormTimer(), nullptr);
  EXPECT_TRUE(aliveAfter);
  EXPECT_FALSE(destroyed);
  // Freed with the next change of the form timer.
  p->SetFormTimer(nullptr);
  EXPECT_TRUE(destroyed);
}

TEST_F(FormEffects, TheApplicationWindowHook) {
  ShowMain();
  // Two forms without provider see the skin commands in their own handler.
  auto second = std::make_unique<TCountingForm>(nullptr);
  auto third = std::make_unique<TCountingForm>(nullptr);
  // A hook older than the skin's sees what the skin's hook lets through.
  const std::vector<UINT> watched{WM_THEMECHANGED, CM_ACTIVATE, WM_POPUPITEMPAINTED, WM_POPUPWINDOWKNOWN};
  std::vector<UINT> passed;
  M.reset();
  const int probe = Application->HookMainWindow([&](TMessage& m) {
    if (std::find(watched.begin(), watched.end(), m.Msg) != watched.end()) passed.push_back(m.Msg);
    return false;
  });
  M = std::make_unique<TsSkinManager>(nullptr);
  M->SetSkinDirectory(ORBEX_FRAME_SKINS);
  M->SetSkinName("FrameA");
  const HWND app = Application->Handle();
  SendMessageA(app, WM_THEMECHANGED, 0, 0);
  EXPECT_TRUE(passed.empty());
  SendMessageA(app, CM_ACTIVATE, 0, 0);
  EXPECT_EQ(second->RepaintNow, 1);
  EXPECT_EQ(third->RepaintNow, 1);
  EXPECT_TRUE(second->HandleAllocated());
  EXPECT_EQ(passed, (std::vector<UINT>{CM_ACTIVATE}));
  // Popup items are named by command number; unknown numbers and stray values do nothing.
  passed.clear();
  EXPECT_EQ(SendMessageA(app, WM_POPUPITEMPAINTED, 0, 0xFFF0), 0);
  EXPECT_EQ(SendMessageA(app, WM_POPUPITEMPAINTED, 0, 0x12345678), 0);
  EXPECT_EQ(SendMessageA(app, WM_POPUPWINDOWKNOWN, 0, 0x12345678), 0);
  EXPECT_TRUE(passed.empty());
  // Without skinned popups both pass on.
  M->SetSkinnedPopups(false);
  SendMessageA(app, WM_POPUPITEMPAINTED, 0, 0xFFF0);
  EXPECT_EQ(passed, (std::vector<UINT>{WM_POPUPITEMPAINTED}));
  // The manager that hooked takes the hook off: theme notices pass again.
  M.reset();
  passed.clear();
  SendMessageA(app, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(passed, (std::vector<UINT>{WM_THEMECHANGED}));
  Application->UnhookMainWindow(probe);
}

// The real end of a program (shutdown_hide_app, beside this test): its main form, closed with a
// 200 ms fading hide, leaves a copy that fades out in a blocking loop after the message loop has
// ended; the program then frees everything and exits 0.
TEST(ShutDownHide, ClosingTheMainFormFadesItsCopyBeforeTheProgramEnds) {
  const std::string report = formtest::ScratchPath("shutdown-hide", ".txt");
  ASSERT_EQ(othertest::RunProgramBeside("shutdown_hide_app.exe", "\"" + report + "\""), 0);
  std::stringstream text;
  text << std::ifstream(report).rdbuf();
  std::istringstream in(text.str());
  std::string line, key;
  int copies = -1, uploads = -1, sleeps = -1, left = -1, secondCopies = -1, fadeStop = -1;
  std::vector<int> alphas;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    words >> key;
    if (key == "copies") words >> copies;
    if (key == "copy") {
      words >> uploads;
      for (int a = 0; words >> a;) alphas.push_back(a);
    }
    if (key == "sleeps") words >> sleeps;
    if (key == "copy-left") words >> left;
    if (key == "second-hide-copies") words >> secondCopies;
    if (key == "fade-stop") words >> fadeStop;
  }
  DeleteFileA(report.c_str());
  // One copy: the first image at full alpha and n + 1 = 17 ticks falling to nothing, paused
  // after each tick while the application was terminated (no message loop ran them).
  EXPECT_EQ(copies, 1) << text.str();
  ASSERT_EQ(uploads, 18) << text.str();
  ASSERT_EQ(alphas.size(), 18u);
  EXPECT_EQ(alphas.front(), 255);
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_TRUE(alphas[i] < alphas[i - 1] || alphas[i] == 0) << i;
  EXPECT_EQ(alphas.back(), 0);
  EXPECT_EQ(sleeps, 17);   // one after each frame
  EXPECT_EQ(left, 0);
  EXPECT_EQ(fadeStop, 1);   // control fades stop with the application
  // A second notice finds the hide played already.
  EXPECT_EQ(secondCopies, 0);
}

}  // namespace
