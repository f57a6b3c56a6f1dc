// The hint window and the application's hint logic under Wine: the hint shows after the pause
// once the mouse control changes to a control with ShowHint and a Hint, below the cursor and
// inside the work area, never activated; it hides on leaving, a click, a key, deactivation and
// after the hide pause; ShowHint (the control's, its parent's, the application's) and
// CM_HINTSHOW decide; "short|long" splits between the window and Application->Hint/OnHint; a
// hint window fading in ends shown like one shown at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/HintWindow.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

// A panel that answers CM_HINTSHOW as the test asks.
class THintPanel : public TTestPanel {
public:
  using TTestPanel::TTestPanel;
  LRESULT Refuse = 0;
  std::string NewText;           // replaces HintStr when not empty
  bool MoveTo = false;
  TPoint NewPos;
  THintInfo Info;   // as the control received it
  int HintShows = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW) {
      ++HintShows;
      auto* info = reinterpret_cast<THintInfo*>(m.LParam);
      Info = *info;
      if (!NewText.empty()) info->HintStr = NewText;
      if (MoveTo) info->HintPos = NewPos;
      m.Result = Refuse;
      return;
    }
    TTestPanel::Dispatch(m);
  }
};

BOOL CALLBACK FindHintProc(HWND h, LPARAM lp) {
  char cls[64] = {};
  ::GetClassNameA(h, cls, sizeof(cls));
  if (std::string(cls) == "THintWindow" && ::IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  return TRUE;
}

// The visible hint window of this thread, or null.
HWND VisibleHint() {
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindHintProc, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Handles messages until `done` holds or `ms` milliseconds passed; the result of `done`.
template <class F>
bool PumpUntil(F done, DWORD ms = 3000) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    Application->ProcessMessages();
    if (done()) return true;
    if (::GetTickCount() - start > ms) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::string WindowText(HWND h) {
  char buf[256] = {};
  ::GetWindowTextA(h, buf, sizeof(buf));
  return buf;
}

class HintTest : public testing::Test {
protected:
  void SetUp() override {
    HandledErrors().clear();
    Application->SetShowHint(true);
    Application->SetHintPause(20);
    Application->SetHintShortPause(10);
    // Long enough never to end a hint while a test looks at it.
    Application->SetHintHidePause(60000);
    Application->OnHint = nullptr;
    Form = new TForm(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 300, 200);
    A = NewPanel("A", 10, 10);
    A->SetHint("Short A|Long text of A");
    A->SetShowHint(true);
    B = NewPanel("B", 150, 10);
    B->SetHint("B");
    B->SetShowHint(true);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Application->CancelHint();
    delete Form;
    Pump();
    Application->SetMouseControl(nullptr);
    Application->OnHint = nullptr;
    Application->SetShowHint(true);
    Application->SetHintPause(500);
    Application->SetHintShortPause(50);
    Application->SetHintHidePause(2500);
    EXPECT_EQ(HandledErrors(), std::vector<std::string>{});
  }
  THintPanel* NewPanel(const char* name, int x, int y) {
    auto* p = new THintPanel(Form);
    p->SetName(name);
    p->SetParent(Form);
    p->SetBounds(x, y, 100, 50);
    return p;
  }
  // Puts the cursor at the control's client point (20, 20) and tells the control, as the
  // system does when the mouse moves there.
  TPoint MoveOver(TWinControl* c) {
    TPoint p = c->ClientToScreen(TPoint{20, 20});
    ::SetCursorPos(p.X, p.Y);
    ::SendMessageA(c->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    return p;
  }
  void MoveAway(TWinControl* c) {
    ::SetCursorPos(1270, 790);
    ::SendMessageA(c->Handle(), WM_MOUSELEAVE, 0, 0);
  }
  // Handles messages for `ms` and says whether a hint showed meanwhile (for the cases that
  // must show none: ten times the pause).
  bool HintShowsWithin(DWORD ms) {
    return PumpUntil([] { return VisibleHint() != nullptr; }, ms);
  }
  TForm* Form = nullptr;
  THintPanel* A = nullptr;
  THintPanel* B = nullptr;
};

// ---------------------------------------------------------------------------------------------
TEST(HintText, ShortAndLongPartsSplitAtTheFirstBar) {
  EXPECT_EQ(GetShortHint("Open|Opens a file"), "Open");
  EXPECT_EQ(GetLongHint("Open|Opens a file"), "Opens a file");
  EXPECT_EQ(GetShortHint("Open"), "Open");
  EXPECT_EQ(GetLongHint("Open"), "Open");
  EXPECT_EQ(GetShortHint("|only long"), "");
  EXPECT_EQ(GetLongHint("|only long"), "only long");
  EXPECT_EQ(GetShortHint("only short|"), "only short");
  EXPECT_EQ(GetLongHint("only short|"), "");
  EXPECT_EQ(GetLongHint("a|b|c"), "b|c");
  EXPECT_EQ(GetShortHint(""), "");
  EXPECT_EQ(GetLongHint(""), "");
}

// ---------------------------------------------------------------------------------------------
TEST_F(HintTest, TheShortHintShowsBelowTheCursorAfterThePauseWithoutActivation) {
  HWND active = ::GetActiveWindow();
  const TPoint cursor = MoveOver(A);
  // The pause has not passed: nothing yet.
  EXPECT_EQ(VisibleHint(), nullptr);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  HWND h = VisibleHint();
  EXPECT_EQ(WindowText(h), "Short A");
  EXPECT_EQ(Application->Hint(), "Long text of A");
  EXPECT_EQ(A->HintShows, 1);
  EXPECT_EQ(A->Info.HintControl, A);
  EXPECT_EQ(A->Info.HintStr, "Short A");
  EXPECT_EQ(A->Info.CursorPos, (TPoint{20, 20}));

  const LONG style = ::GetWindowLongA(h, GWL_STYLE);
  const LONG ex = ::GetWindowLongA(h, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_EQ(::GetActiveWindow(), active);
  EXPECT_NE(::GetForegroundWindow(), h);

  RECT r{};
  ::GetWindowRect(h, &r);
  EXPECT_EQ(r.left, cursor.X);
  EXPECT_GT(r.top, cursor.Y);   // below the cursor's image, not under it
  EXPECT_LE(r.top, cursor.Y + ::GetSystemMetrics(SM_CYCURSOR));
  THintWindow probe(nullptr);
  const TRect size = probe.CalcHintRect(10000, "Short A");
  EXPECT_EQ(r.right - r.left, size.Width());
  EXPECT_EQ(r.bottom - r.top, size.Height());
  // The window paints in the tool-tip background colour.
  TWindowDC dc(h);
  EXPECT_EQ(::GetPixel(dc.Get(), 1, size.Height() / 2 - 1) & 0xFFFFFF,
            static_cast<COLORREF>(ColorToRGB(clInfoBk)));
}

TEST(HintWindow, AFadingHintEndsShownInsideTheWorkAreaWithoutActivation) {
  THintWindow hint(nullptr);
  const HWND active = ::GetActiveWindow();
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  hint.ActivateHintFading(TRect{work.right - 20, 40, work.right + 80, 60}, "Fading", 200);
  const HWND h = hint.Handle();
  EXPECT_TRUE(::IsWindowVisible(h));
  EXPECT_TRUE(hint.Active());
  EXPECT_EQ(::GetActiveWindow(), active);
  EXPECT_EQ(WindowText(h), "Fading");
  RECT r{};
  ::GetWindowRect(h, &r);
  EXPECT_EQ(r.right, work.right);   // moved back inside, keeping its size
  EXPECT_EQ(r.right - r.left, 100);
}

TEST_F(HintTest, LeavingTheControlHidesTheHintAndClearsApplicationHint) {
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  MoveAway(A);
  EXPECT_EQ(VisibleHint(), nullptr);
  EXPECT_EQ(Application->Hint(), "");
  // Nothing comes back while the mouse is elsewhere.
  EXPECT_FALSE(HintShowsWithin(200));
}

TEST_F(HintTest, OnHintFiresWithTheLongTextWhenItChanges) {
  std::vector<std::string> seen;
  Application->OnHint = [&](TObject*) { seen.push_back(Application->Hint()); };
  MoveOver(A);
  MoveOver(B);
  MoveAway(B);
  EXPECT_EQ(seen, (std::vector<std::string>{"Long text of A", "B", ""}));
}

TEST_F(HintTest, NoHintWithoutShowHint) {
  A->SetShowHint(false);
  MoveOver(A);
  EXPECT_FALSE(HintShowsWithin(200));
  // The status-bar text follows the mouse all the same.
  EXPECT_EQ(Application->Hint(), "Long text of A");
  EXPECT_EQ(A->HintShows, 0);
}

TEST_F(HintTest, NoHintWhenTheApplicationHasHintsOff) {
  Application->SetShowHint(false);
  MoveOver(A);
  EXPECT_FALSE(HintShowsWithin(200));
  // Turning hints off hides one already shown.
  Application->SetShowHint(true);
  MoveOver(B);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  Application->SetShowHint(false);
  EXPECT_EQ(VisibleHint(), nullptr);
}

TEST_F(HintTest, NegativePausesCountAsNone) {
  Application->SetHintPause(-5);
  Application->SetHintShortPause(-1);
  Application->SetHintHidePause(-100);
  EXPECT_EQ(Application->HintPause(), 0);
  EXPECT_EQ(Application->HintShortPause(), 0);
  EXPECT_EQ(Application->HintHidePause(), 0);
}

TEST_F(HintTest, NoHintForAnEmptyHint) {
  A->SetHint("");
  MoveOver(A);
  EXPECT_FALSE(HintShowsWithin(200));
}

TEST_F(HintTest, ParentShowHintFollowsTheParent) {
  THintPanel* c = NewPanel("C", 10, 100);
  c->SetHint("C");
  ASSERT_TRUE(c->ParentShowHint());
  // The form shows no hints: neither does C.
  MoveOver(c);
  EXPECT_FALSE(HintShowsWithin(200));
  MoveAway(c);
  Form->SetShowHint(true);
  MoveOver(c);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  EXPECT_EQ(WindowText(VisibleHint()), "C");
}

TEST_F(HintTest, ShowHintPassesDownToChildrenThatFollowTheirParent) {
  THintPanel* outer = NewPanel("Outer", 10, 100);
  auto* inner = new TTestPanel(Form);
  inner->SetParent(outer);
  auto* dot = new TTestGraphic(Form);
  dot->SetParent(inner);
  EXPECT_FALSE(dot->ShowHint());
  Form->SetShowHint(true);
  EXPECT_TRUE(outer->ShowHint());
  EXPECT_TRUE(inner->ShowHint());
  EXPECT_TRUE(dot->ShowHint());
  EXPECT_TRUE(dot->ParentShowHint());
  // A control with its own switch stops following, and its children follow it.
  outer->SetShowHint(false);
  EXPECT_FALSE(outer->ParentShowHint());
  EXPECT_FALSE(inner->ShowHint());
  EXPECT_FALSE(dot->ShowHint());
  Form->SetShowHint(false);
  Form->SetShowHint(true);
  EXPECT_FALSE(dot->ShowHint());
  // Following again takes the parent's switch at once; a control moved under another parent
  // takes the new one.
  outer->SetParentShowHint(true);
  EXPECT_TRUE(outer->ShowHint());
  EXPECT_TRUE(dot->ShowHint());
  B->SetShowHint(false);
  inner->SetParent(B);
  EXPECT_FALSE(inner->ShowHint());
  EXPECT_FALSE(dot->ShowHint());
}

TEST_F(HintTest, ANonZeroHintShowResultCancelsTheHint) {
  A->Refuse = 1;
  MoveOver(A);
  EXPECT_TRUE(PumpUntil([&] { return A->HintShows > 0; }));
  EXPECT_FALSE(HintShowsWithin(200));
}

TEST_F(HintTest, HintShowMayChangeTextAndPosition) {
  A->NewText = "Changed";
  A->MoveTo = true;
  A->NewPos = TPoint{40, 30};
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  HWND h = VisibleHint();
  EXPECT_EQ(WindowText(h), "Changed");
  RECT r{};
  ::GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 30);
}

TEST_F(HintTest, TheHintStaysInsideTheWorkArea) {
  // A control in the bottom right corner of the work area, with a long hint.
  const TRect work = Screen->WorkAreaRect();
  Form->SetBounds(work.Right - 120, work.Bottom - 60, 120, 60);
  A->SetBounds(0, 0, 120, 60);
  A->SetHint("A rather long hint that cannot fit to the right of the cursor");
  Pump();
  TPoint p = A->ClientToScreen(TPoint{110, 50});
  ::SetCursorPos(p.X, p.Y);
  ::SendMessageA(A->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(110, 50));
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  RECT r{};
  ::GetWindowRect(VisibleHint(), &r);
  EXPECT_LE(r.right, work.Right);
  EXPECT_LE(r.bottom, work.Bottom);
  EXPECT_GE(r.left, work.Left);
  EXPECT_GE(r.top, work.Top);
  // No room below: the hint goes above the cursor rather than over it.
  EXPECT_LE(r.bottom, p.Y);
}

TEST_F(HintTest, AClickOrAKeyHidesTheHint) {
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  ::PostMessageA(A->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  ::PostMessageA(A->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_TRUE(PumpUntil([] { return VisibleHint() == nullptr; }));
  // Still over the same control: the hint does not come back by itself.
  EXPECT_FALSE(HintShowsWithin(200));

  MoveOver(B);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  ::PostMessageA(B->Handle(), WM_KEYDOWN, VK_SHIFT, 0);
  EXPECT_TRUE(PumpUntil([] { return VisibleHint() == nullptr; }));
}

TEST_F(HintTest, DeactivationHidesTheHint) {
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  ::SendMessageA(Application->Handle(), CM_DEACTIVATE, 0, 0);
  EXPECT_EQ(VisibleHint(), nullptr);
}

TEST_F(HintTest, TheHintHidesAfterTheHidePause) {
  Application->SetHintHidePause(50);
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  EXPECT_TRUE(PumpUntil([] { return VisibleHint() == nullptr; }));
}

TEST_F(HintTest, WhileHintsShowTheNextOneFollowsAfterTheShortPause) {
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  // From now on the normal pause would outlast the test's deadline.
  Application->SetHintPause(60000);
  MoveOver(B);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  EXPECT_EQ(WindowText(VisibleHint()), "B");
  // After a cancel the quick mode is over: back to the normal pause.
  Application->CancelHint();
  MoveOver(A);
  EXPECT_FALSE(HintShowsWithin(200));
}

TEST_F(HintTest, FreeingTheControlUnderTheHintHidesIt) {
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  delete A;
  A = nullptr;
  EXPECT_EQ(VisibleHint(), nullptr);
  EXPECT_EQ(Application->MouseControl(), nullptr);
  EXPECT_FALSE(HintShowsWithin(100));
}

TEST_F(HintTest, CalcHintRectWrapsLongTextAtTheWidth) {
  THintWindow w(nullptr);
  const std::string text = "one two three four five six seven eight nine ten eleven twelve";
  const TRect line = w.CalcHintRect(10000, text);
  const TRect wrapped = w.CalcHintRect(100, text);
  const TRect oneWord = w.CalcHintRect(10000, "one");
  EXPECT_GT(line.Width(), 100);
  EXPECT_EQ(line.Height(), oneWord.Height());
  EXPECT_LT(wrapped.Width(), line.Width());
  EXPECT_GT(wrapped.Height(), 2 * oneWord.Height());
  // Explicit line breaks make lines too.
  EXPECT_GT(w.CalcHintRect(10000, "one\r\ntwo").Height(), oneWord.Height());
  // A non-positive width does not break it.
  EXPECT_GT(w.CalcHintRect(0, "x").Width(), 0);
  EXPECT_GT(w.CalcHintRect(-5, "x").Width(), 0);
}

TEST_F(HintTest, ShowingAndHidingManyHintsLeaksNoObjects) {
  MoveOver(A);
  ASSERT_TRUE(PumpUntil([] { return VisibleHint() != nullptr; }));
  MoveAway(A);
  const TResourceCount before = CountResources();
  for (int i = 0; i < 100; ++i) {
    const TPoint p = MoveOver(i % 2 ? A : B);
    Application->ActivateHint(p);
    ASSERT_NE(VisibleHint(), nullptr);
    MoveAway(i % 2 ? A : B);
    ASSERT_EQ(VisibleHint(), nullptr);
  }
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

}  // namespace
