// Cross-fades of a test control between two looks: the frames offered with command 24 carry
// the old image at the fade's weights and the end repaints the control, a fade turned half-way
// runs back, a section that does not fade repaints at once, a disabled control ends its fade
// at the next step, nothing fades while a skin is loaded or applied, and no timer is left. The
// skin is a small folder in a scratch directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sFade.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/skin/ScratchSkins.h"

namespace {

// A control whose cache is one colour per look; it records the blue of every frame offered and
// counts its paints.
class TFaded : public TWinControl {
public:
  explicit TFaded(TWinControl* parent) : TWinControl(nullptr), Data(this, 51) {
    SetBounds(0, 0, 40, 20);
    SetParent(parent);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_PAINT) ++Paints;
    if (m.Msg == WM_SKINCOMMAND && SkinCommandAllowed(m.WParam, m.LParam)) {
      switch (SkinCommandOf(m.WParam)) {
        case SkinCmdRebuildCache:
          PaintCache();
          m.Result = 1;
          return;
        case SkinCmdCancelFade:
          ++Cancels;
          if (TakesCancel) StopFadeTimer(&Fade, &Data);
          return;
        case SkinCmdFadeFrame: {
          auto* frame = reinterpret_cast<TBitmap*>(m.LParam);
          Frames.push_back(static_cast<int>(GetPix(TargetPixels32(frame), 3, 3) & 0xFF));
          m.Result = 1;
          return;
        }
        default: break;
      }
    }
    TWinControl::WndProc(m);
  }
  void PaintCache() {
    Data.EnsureCacheBitmap();
    FillRectOpaque(TargetPixels32(Data.CacheBitmap()), TRect{0, 0, 40, 20}, Look);
    Data.BGChanged = 0;
  }
  TsCommonData Data;
  TsFadeTimer* Fade = nullptr;
  TColor Look = 0;
  std::vector<int> Frames;
  int Cancels = 0;
  int Paints = 0;
  bool TakesCancel = true;   // false: command 16 is ignored, the timer stays
};

class Fades : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Dir = formtest::ScratchPath("fade");
    formtest::WriteSkinFolder(Dir, "Fade",
        "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\n"
        "[BUTTON]\r\nSTATES=3\r\nCOLOR=0\r\nFADINGENABLED=1\r\nFADINGITERATIONS=5\r\n"
        "[STILL]\r\nSTATES=3\r\nCOLOR=0\r\nFADINGENABLED=0\r\n");
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(Dir);
    M->SetSkinName("Fade");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 200, 100);
    Form->Show();
    C = std::make_unique<TFaded>(Form.get());
    C->Data.SetSkinSection("BUTTON");
    C->HandleNeeded();
    C->PaintCache();   // the old look: black
  }
  void TearDown() override {
    if (C) StopFadeTimer(&C->Fade, &C->Data);
    C.reset();
    Form.reset();
    M.reset();
    EXPECT_EQ(FadeTimerCount, 0);
  }
  // The control turns white with a fade; the steps are then driven here, one per call.
  void TurnWhite(bool halve = false, std::uint8_t direction = 1) {
    C->Look = 0xFFFFFF;
    ChangeStateWithFade(&C->Fade, &C->Data, halve, direction, true);
  }
  // One tick's work without the timer (Finished, then a step).
  bool Step() {
    if (C->Fade == nullptr) return false;
    C->Fade->SetEnabled(false);
    if (C->Fade->Finished()) return false;
    C->Fade->FadeStep();
    return true;
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TFaded> C;
};
std::string Fades::Dir;

// The blue of a black-to-white frame where the old image keeps weight w.
int Mixed(int w) { return (255 * (255 - w) + 127) >> 8; }

TEST_F(Fades, FramesCarryTheOldImageAtFallingWeightsAndTheTimerGoes) {
  TurnWhite();
  ASSERT_NE(C->Fade, nullptr);
  EXPECT_EQ(C->Fade->Interval(), 10u);
  EXPECT_TRUE(C->Fade->Enabled());
  EXPECT_EQ(FadeTimerCount, 1);
  // The timer's own ticks: the end (command 16) frees it inside its tick.
  const DWORD start = GetTickCount();
  while (C->Fade != nullptr && GetTickCount() - start < 3000) Application->ProcessMessages();
  EXPECT_EQ(C->Fade, nullptr);
  EXPECT_EQ(C->Frames, (std::vector<int>{Mixed(204), Mixed(153), Mixed(102), Mixed(51), Mixed(0)}));
  EXPECT_EQ(C->Cancels, 1);
  Application->ProcessMessages();
  EXPECT_EQ(FadeTimerCount, 0);
}

TEST_F(Fades, AFadeEndsAfterItsLastStepAlsoWhenTheControlIgnoresTheEnd) {
  C->TakesCancel = false;
  TurnWhite();
  ASSERT_NE(C->Fade, nullptr);
  const DWORD start = GetTickCount();
  while (C->Fade->Enabled() && GetTickCount() - start < 3000) Application->ProcessMessages();
  ASSERT_NE(C->Fade, nullptr);
  EXPECT_FALSE(C->Fade->Enabled());
  EXPECT_EQ(C->Frames.size(), 5u);
  EXPECT_EQ(C->Cancels, 1);
}

TEST_F(Fades, TheEndOfAFadeRepaintsTheControl) {
  TurnWhite();
  while (C->Fade != nullptr && C->Fade->Level <= C->Fade->Iterations) Step();
  ASSERT_NE(C->Fade, nullptr);
  const int paints = C->Paints;
  EXPECT_FALSE(Step());   // the end: command 16, the timer freed outside a tick
  EXPECT_EQ(C->Fade, nullptr);
  EXPECT_EQ(C->Cancels, 1);
  EXPECT_GT(C->Paints, paints);
}

TEST_F(Fades, HalvedSevenStepsRunThree) {
  M->Tables()->GeneralData[static_cast<size_t>(C->Data.SectionIndex())].FadingIterations = 7;
  TurnWhite(true);
  while (Step()) {}
  EXPECT_EQ(C->Frames.size(), 3u);
  EXPECT_EQ(C->Cancels, 1);
}

TEST_F(Fades, ATurnHalfWayRunsBackOverTheStepsMade) {
  TurnWhite();
  Step();
  Step();
  ASSERT_EQ(C->Fade->Level, 3);
  // Back to black while the fade still runs: as many steps back as were made.
  C->Look = 0;
  C->Data.BGChanged = 0;
  ChangeStateWithFade(&C->Fade, &C->Data, false, 1, true);
  ASSERT_NE(C->Fade, nullptr);
  EXPECT_EQ(C->Fade->Iterations, 3);
  EXPECT_EQ(C->Fade->Level, 1);
  C->Frames.clear();
  while (Step()) {}
  EXPECT_EQ(C->Frames.size(), 3u);
  EXPECT_EQ(C->Frames.back(), 0);   // ends on the new (black) face
}

TEST_F(Fades, NoFadeWithoutTheSectionsSwitchOrWhileASkinIsLoadedOrApplied) {
  // Each change without a fade paints the new look at once.
  auto paintsAtOnce = [this] {
    const int paints = C->Paints;
    TurnWhite();
    return C->Paints > paints;
  };
  C->Data.SetSkinSection("STILL");
  C->PaintCache();
  EXPECT_TRUE(paintsAtOnce());
  EXPECT_EQ(C->Fade, nullptr);
  EXPECT_EQ(FadeTimerCount, 0);
  C->Data.SetSkinSection("BUTTON");
  for (bool* flag : {&SkinLoading, &SkinApplying}) {
    C->PaintCache();
    *flag = true;
    EXPECT_TRUE(paintsAtOnce());
    *flag = false;
    EXPECT_EQ(C->Fade, nullptr);
  }
  // Fading stopped for the application's end.
  C->PaintCache();
  FadeStopAll = true;
  TurnWhite();
  FadeStopAll = false;
  EXPECT_EQ(C->Fade, nullptr);
}

TEST_F(Fades, ADisabledControlEndsItsFadeAtTheNextStep) {
  TurnWhite();
  Step();
  C->SetEnabled(false);
  Step();
  EXPECT_EQ(C->Frames.size(), 1u);
  EXPECT_EQ(C->Fade->Iterations, 0);
  EXPECT_FALSE(C->Fade->Enabled());
}

TEST_F(Fades, EventsAllowedByTheControlOrTheManager) {
  M->AnimEffects()->Buttons()->Events = BtnEventBit(beMouseDown);
  EXPECT_TRUE(FadeEventAllowed(aeMouseDown, AnimatEventBit(aeGlobalDef), nullptr));
  EXPECT_FALSE(FadeEventAllowed(aeMouseEnter, AnimatEventBit(aeGlobalDef), M.get()));
  EXPECT_TRUE(FadeEventAllowed(aeMouseEnter, AnimatEventBit(aeMouseEnter), M.get()));
}

}  // namespace
