// The skinned non-client scroll bars on bare windows under Wine, with the "Scroll" fixture
// skins: hit codes, arrow presses and their repeat, swallowed clicks and system commands, the
// thumb drag, the scroll-start command, the hidden style change, the skin's colours after the
// control scrolls, missing sections, the size grip, detaching and the system entry points.
//
// The windows' own procedures are wrapped by a recorder installed before the adapter, so it
// sees what the adapter passes on. Mouse input is sent as the NC messages with screen
// coordinates, plus SetCursorPos where the engine reads the cursor.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxScrollWnd.h"
#include "skin/core/lxSBUtilsCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("scroll test", false));

// The fixture's colours (make_scroll_skins.py).
constexpr COLORREF Bar1V = RGB(40, 40, 200), Bar2V = RGB(200, 200, 200), SliderV = RGB(0, 120, 120),
                   SliderVPressed = RGB(0, 220, 220), BtnTop = RGB(60, 100, 0), BtnBottom = RGB(100, 0, 60),
                   BtnBottomHot = RGB(140, 0, 60), BtnLeft = RGB(100, 60, 0), Grip = RGB(250, 250, 0),
                   Form = RGB(70, 70, 70);

// ---------------------------------------------------------------------------------------------
// What reaches the window's own procedure below the adapter.
struct TScrollCall {
  UINT Msg;
  int Code;
  int Pos;  // the high word of WParam
  LPARAM LParam;
};
struct TRecorder {
  WNDPROC Old = nullptr;
  int StyleChanged = 0;
  std::vector<UINT> Seen;
  std::vector<TScrollCall> Scrolls;
  bool Answer51 = false;          // answer the scroll-start command with 1
  bool KeepScroll = false;        // keep scroll messages from the control
  bool AnswerBackground = false;  // answer background requests with Form
  bool Saw(UINT msg) const { return std::find(Seen.begin(), Seen.end(), msg) != Seen.end(); }
};
TRecorder* Rec = nullptr;

LRESULT AnswerWithForm(LPARAM request, LRESULT result) {
  reinterpret_cast<TsBackgroundRequest*>(request)->Kind = bkColor;
  reinterpret_cast<TsBackgroundRequest*>(request)->Color = Form;
  return result;
}

LRESULT CALLBACK RecordProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TRecorder& r = *Rec;
  r.Seen.push_back(msg);
  if (msg == WM_STYLECHANGED) ++r.StyleChanged;
  if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
    r.Scrolls.push_back(TScrollCall{msg, LOWORD(wp), static_cast<short>(HIWORD(wp)), lp});
    if (r.KeepScroll) return 0;
  }
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdScrollStart && r.Answer51) return 1;
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdQueryBackground && r.AnswerBackground)
    return AnswerWithForm(lp, 5);
  // The system's own scroll tracking would start a modal loop.
  if (msg == WM_SYSCOMMAND) return 0;
  return CallWindowProcA(r.Old, h, msg, wp, lp);
}

// The parent answers the background request with the skin's form colour, so that what the bars
// are laid on is known.
LRESULT CALLBACK ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdQueryBackground && lp != 0) return AnswerWithForm(lp, 1);
  return DefWindowProcA(h, msg, wp, lp);
}

// Public, so that the tables of actions below can drive it.
class ScrollWnd : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    RegisterAdapterParentClass("OrbexScrollParent", ParentProc);
  }
  void SetUp() override {
    Rec = &R;
    Load("Scroll");
    Parent = CreateWindowExA(0, "OrbexScrollParent", "scroll", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40,
                             40, 460, 340, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    Adapter.reset();
    if (Parent != nullptr) DestroyWindow(Parent);
    M.reset();
    Rec = nullptr;
  }
  void Load(const char* skin) {
    Adapter.reset();
    M.reset();  // the new manager becomes the default one, whose colour the parent answers
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_SCROLL_SKINS);
    M->SetSkinName(skin);
    ASSERT_TRUE(M->SkinData().Active);
  }
  // The window recorded, then adapted.
  void Adapt(HWND h) {
    Wnd = h;
    R.Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordProc)));
    Adapter = TlxMainWnd::CreateForHandle<TlxScrollWnd>(h, true, "EDIT", M.get(), nullptr);
    UpdateWindow(Parent);
    R.Seen.clear();
    R.Scrolls.clear();
  }
  void MakeList() {
    HWND h = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                             10, 10, 150, 220, Parent, nullptr, nullptr, nullptr);
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 200; ++i)
      SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    Adapt(h);
  }
  // A multi-line edit with both bars, in the parent's bottom-right client corner or not.
  void MakeEdit(bool inCorner) {
    RECT c{};
    GetClientRect(Parent, &c);
    const int w = 200, h = 150;
    const int x = inCorner ? c.right - w : 180, y = inCorner ? c.bottom - h : 10;
    std::string text;
    for (int i = 0; i < 60; ++i) text += "Line " + std::to_string(i) + std::string(80, 'x') + "\r\n";
    HWND e = CreateWindowExA(
        0, "EDIT", text.c_str(),
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, x,
        y, w, h, Parent, nullptr, nullptr, nullptr);
    Adapt(e);
  }

  TRect VBar() const { return Adapter->GetVertBarRect(); }
  int Arrow() const { return GetSystemMetrics(SM_CYVSCROLL); }
  // The middle of the second arrow, of the thumb, and of the track below the thumb.
  TPoint DownArrow() const { return TPoint{(VBar().Left + VBar().Right) / 2, VBar().Bottom - Arrow() / 2}; }
  // The thumb's top and bottom (screen).
  std::pair<int, int> ThumbSpan() const {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Wnd, SB_VERT, &si);
    const TRect r = VBar();
    const TlxThumb t =
        ScrollThumb(TlxScrollInfo{si.nMin, si.nMax, si.nPage, si.nPos}, TlxScrollBarLen{r.Height(), Arrow(), 10});
    return {r.Top + Arrow() + t.Offset, r.Top + Arrow() + t.Offset + t.Size};
  }
  TPoint ThumbCentre() const {
    const auto [top, bottom] = ThumbSpan();
    return TPoint{(VBar().Left + VBar().Right) / 2, (top + bottom) / 2};
  }
  int Pos() const {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(Wnd, SB_VERT, &si);
    return si.nPos;
  }

  LRESULT NC(UINT msg, WPARAM hit, TPoint screen) {
    return SendMessageA(Wnd, msg, hit, MAKELPARAM(screen.X, screen.Y));
  }
  void Client(UINT msg, TPoint screen) {
    POINT p{screen.X, screen.Y};
    ScreenToClient(Wnd, &p);
    SendMessageA(Wnd, msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
  }
  // The window's pixel at a screen point, as its window DC holds it.
  COLORREF Pixel(TPoint screen) const {
    RECT wr{};
    GetWindowRect(Wnd, &wr);
    HDC dc = GetWindowDC(Wnd);
    const COLORREF c = GetPixel(dc, screen.X - wr.left, screen.Y - wr.top);
    ReleaseDC(Wnd, dc);
    return c;
  }
  std::vector<TScrollCall> Scrolls() const { return R.Scrolls; }
  // The thumb pressed at its middle and moved down by each offset in turn; released at the
  // last one unless `hold`. `check` runs after each move.
  template <class F = void (*)(int)>
  void Drag(
      std::initializer_list<int> dys, bool hold = false, F check = [](int) {}) {
    const TPoint p = ThumbCentre();
    NC(WM_NCLBUTTONDOWN, HTVSCROLL, p);
    int last = 0;
    for (int dy : dys) {
      Client(WM_MOUSEMOVE, TPoint{p.X, p.Y + dy});
      check(last = dy);
    }
    if (!hold) Client(WM_LBUTTONUP, TPoint{p.X, p.Y + last});
  }
  void Drop() {
    Adapter.reset();
    DestroyWindow(Wnd);
  }

  TRecorder R;
  std::unique_ptr<TsSkinManager> M;
  HWND Parent = nullptr;
  HWND Wnd = nullptr;
  std::unique_ptr<TlxScrollWnd> Adapter;
};

// ---------------------------------------------------------------------------------------------

TEST_F(ScrollWnd, TheThreeEntryPointsAreFound) {
  const TlxScrollEntries& e = ScrollEntries();
  EXPECT_NE(e.GetScrollBarInfo, nullptr);
  EXPECT_NE(e.InitializeFlatSB, nullptr);
  EXPECT_NE(e.UninitializeFlatSB, nullptr);
}

TEST_F(ScrollWnd, HitCodesOfBarsAndOfTheCornerInTheParentsCorner) {
  constexpr LRESULT NotTheGrip = -100;
  struct {
    bool inCorner;
    int where;
    LRESULT expected;
  } const cases[] = {{true, 0, HTVSCROLL},
                     {true, 1, HTHSCROLL},
                     {true, 2, HTBOTTOMRIGHT},
                     {true, 3, HTCLIENT},
                     {false, 2, NotTheGrip}};
  for (const auto& c : cases) {
    MakeEdit(c.inCorner);
    const TRect v = Adapter->GetVertBarRect(), h = Adapter->GetHorzBarRect();
    const TPoint points[] = {
        {v.Left + 3, v.Top + 40}, {h.Left + 40, h.Top + 3}, {v.Left + 3, h.Top + 3}, {h.Left + 40, v.Top + 40}};
    const LRESULT hit = NC(WM_NCHITTEST, 0, points[c.where]);
    if (c.expected == NotTheGrip)
      EXPECT_NE(hit, HTBOTTOMRIGHT) << "a window away from the parent's corner";
    else
      EXPECT_EQ(hit, c.expected) << c.where << " in corner " << c.inCorner;
    Drop();
  }
}

TEST_F(ScrollWnd, AnArrowSendsAtOnceThenOncePerRepeatTimerWhileTheCursorStaysOnIt) {
  MakeList();
  const TPoint arrow = DownArrow(), away{VBar().Left - 40, VBar().Top + 40};
  SetCursorPos(arrow.X, arrow.Y);
  NC(WM_NCLBUTTONDOWN, HTVSCROLL, arrow);
  ASSERT_EQ(Scrolls().size(), 1u);
  EXPECT_EQ(Scrolls()[0].Code, SB_LINEDOWN);
  struct {
    bool onArrow;
    UINT_PTR timer;
    size_t sent;
  } const steps[] = {{true, ScrollFirstRepeatTimer, 2},
                     {true, ScrollRepeatTimer, 3},
                     {false, ScrollRepeatTimer, 3},
                     {false, ScrollRepeatTimer, 3},
                     {true, ScrollRepeatTimer, 4}};
  for (const auto& s : steps) {
    const TPoint p = s.onArrow ? arrow : away;
    SetCursorPos(p.X, p.Y);
    SendMessageA(Wnd, WM_TIMER, s.timer, 0);
    EXPECT_EQ(Scrolls().size(), s.sent) << "timer " << s.timer << " on arrow " << s.onArrow;
  }
  for (const TScrollCall& c : Scrolls()) EXPECT_EQ(c.Code, SB_LINEDOWN);
  Client(WM_LBUTTONUP, arrow);
  ASSERT_EQ(Scrolls().size(), 5u);
  EXPECT_EQ(Scrolls().back().Code, SB_ENDSCROLL);
  EXPECT_EQ(GetCapture(), nullptr);
  // Released, our timer ids are the control's own: passed on, and nothing repeats.
  for (UINT_PTR id : {ScrollFirstRepeatTimer, ScrollRepeatTimer, ScrollHotTimer}) {
    R.Seen.clear();
    SendMessageA(Wnd, WM_TIMER, id, 0);
    EXPECT_TRUE(R.Saw(WM_TIMER)) << id;
    EXPECT_EQ(Scrolls().size(), 5u) << id;
  }
}

TEST_F(ScrollWnd, RightAndMiddleClicksAndTheVerticalScrollCommandAreSwallowed) {
  MakeList();
  const TPoint p = DownArrow();
  struct {
    UINT msg;
    WPARAM wparam;
    bool passed;
  } const cases[] = {{WM_NCRBUTTONDOWN, HTVSCROLL, false}, {WM_NCRBUTTONUP, HTVSCROLL, false},
                     {WM_NCMBUTTONDOWN, HTVSCROLL, false}, {WM_NCMBUTTONUP, HTHSCROLL, false},
                     {WM_SYSCOMMAND, 0xF077, false},       {WM_SYSCOMMAND, 0xF086, true},
                     {WM_SYSCOMMAND, SC_KEYMENU, true}};
  for (const auto& c : cases) {
    R.Seen.clear();
    NC(c.msg, c.wparam, p);
    EXPECT_EQ(R.Saw(c.msg), c.passed) << std::hex << c.msg << " " << c.wparam;
  }
  EXPECT_TRUE(Scrolls().empty());
}

TEST_F(ScrollWnd, ADragSendsTrackOnChangeThenTheLastPositionThenEnd) {
  MakeList();
  Drag({0, 12, 12, 24, 40});
  const std::vector<TScrollCall> s = Scrolls();
  ASSERT_GE(s.size(), 4u);
  // One track message per position change: the repeated point and the start send nothing.
  EXPECT_EQ(s.size(), 3u + 2u);
  for (size_t i = 0; i + 2 < s.size(); ++i) {
    EXPECT_EQ(s[i].Code, SB_THUMBTRACK);
    if (i > 0) {
      EXPECT_GT(s[i].Pos, s[i - 1].Pos);
    }
  }
  const int last = s[s.size() - 3].Pos;
  EXPECT_EQ(s[s.size() - 2].Code, SB_THUMBPOSITION);
  EXPECT_EQ(s[s.size() - 2].Pos, last);
  EXPECT_EQ(s.back().Code, SB_ENDSCROLL);
  EXPECT_EQ(Pos(), last);
}

TEST_F(ScrollWnd, AControlThatTakesTheScrollStartGetsThePositionInLParam) {
  struct {
    bool answer;
    bool positionInLParam;
    bool infoMoved;
  } const cases[] = {{true, true, false}, {false, false, true}};
  for (const auto& c : cases) {
    MakeList();
    R.Answer51 = c.answer;
    R.KeepScroll = true;
    const int before = Pos();
    Drag({30}, true);
    ASSERT_FALSE(Scrolls().empty());
    const TScrollCall track = Scrolls()[0];
    EXPECT_EQ(track.Code, SB_THUMBTRACK);
    EXPECT_EQ(track.LParam == track.Pos, c.positionInLParam) << c.answer;
    EXPECT_EQ(Pos() != before, c.infoMoved) << c.answer;
    Client(WM_LBUTTONUP, ThumbCentre());
    Drop();
    R = TRecorder{};
  }
}

TEST_F(ScrollWnd, ABackgroundRequestIsTheControlsToAnswerElseTheSkins) {
  struct {
    bool controlAnswers;
    LRESULT result;
    TColor color;
  } const cases[] = {{true, 5, Form}, {false, 0, RGB(250, 250, 250)}};
  MakeList();
  for (const auto& c : cases) {
    R.AnswerBackground = c.controlAnswers;
    TsBackgroundRequest request;
    EXPECT_EQ(SendSkinCommand(Wnd, SkinCmdQueryBackground, reinterpret_cast<LPARAM>(&request)), c.result);
    EXPECT_NE(request.Kind, bkNotAnswered);
    EXPECT_EQ(request.Color, c.color) << c.controlAnswers;
  }
}

TEST_F(ScrollWnd, TheControlNeverSeesTheHiddenStyleChange) {
  MakeList();
  R.StyleChanged = 0;
  SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  EXPECT_TRUE(R.Saw(WM_NCCALCSIZE));
  EXPECT_EQ(R.StyleChanged, 0);
  EXPECT_NE(GetWindowLongA(Wnd, GWL_STYLE) & WS_VSCROLL, 0);
  // The room is still reserved: by us, for our bar.
  RECT wr{}, cr{};
  GetWindowRect(Wnd, &wr);
  GetClientRect(Wnd, &cr);
  EXPECT_EQ(cr.right, wr.right - wr.left - 2 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ScrollWnd, TheBarsShowTheSkinAfterTheControlScrolls) {
  struct {
    const char* what;
    void (*act)(ScrollWnd& t);
  } const actions[] = {
      {"wheel", [](ScrollWnd& t) { SendMessageA(t.Wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }},
      {"drag", [](ScrollWnd& t) { t.Drag({20}); }},
      {"keys",
       [](ScrollWnd& t) {
         for (int i = 0; i < 2; ++i) SendMessageA(t.Wnd, WM_KEYDOWN, VK_NEXT, 0);
       }},
      {"frame",
       [](ScrollWnd& t) { RedrawWindow(t.Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); }},
  };
  MakeList();
  for (const auto& a : actions) {
    const int before = Pos();
    a.act(*this);
    if (std::string(a.what) != "frame") {
      EXPECT_NE(Pos(), before) << a.what;
    }
    const TRect v = VBar();
    const int x = (v.Left + v.Right) / 2;
    const auto [top, bottom] = ThumbSpan();
    EXPECT_TRUE(Near(Pixel(TPoint{v.Left + 2, v.Top + 2}), BtnTop)) << a.what;
    EXPECT_TRUE(Near(Pixel(TPoint{v.Left + 2, v.Bottom - 3}), BtnBottom)) << a.what;
    EXPECT_TRUE(Near(Pixel(TPoint{v.Left + 2, (top + bottom) / 2}), SliderV)) << a.what;
    // Each track half where it shows between an arrow and the thumb.
    if (top - (v.Top + Arrow()) >= 2) {
      EXPECT_TRUE(Near(Pixel(TPoint{x, (v.Top + Arrow() + top) / 2}), Bar1V)) << a.what;
    }
    if (v.Bottom - Arrow() - bottom >= 2) {
      EXPECT_TRUE(Near(Pixel(TPoint{x, (bottom + v.Bottom - Arrow()) / 2}), Bar2V)) << a.what;
    }
  }
}

TEST_F(ScrollWnd, WhileOneBarIsDraggedTheOtherKeepsTheSkin) {
  MakeEdit(false);
  const TRect h = Adapter->GetHorzBarRect();
  Drag({10, 20}, false, [&](int dy) { EXPECT_TRUE(Near(Pixel(TPoint{h.Left + 2, h.Top + 2}), BtnLeft)) << dy; });
}

TEST_F(ScrollWnd, PressedAndHotPartsShowTheirStates) {
  MakeList();
  const TPoint arrow = DownArrow(), edge{VBar().Left + 2, VBar().Bottom - 3};
  SetCursorPos(arrow.X, arrow.Y);
  // The system's own hot tracking of the mouse over its bars never shows through.
  for (UINT msg : {WM_NCMOUSEMOVE, WM_NCMOUSELEAVE}) {
    NC(msg, HTVSCROLL, arrow);
    EXPECT_TRUE(Near(Pixel(edge), BtnBottom)) << msg;
    EXPECT_TRUE(Near(Pixel(TPoint{VBar().Left + 2, ThumbCentre().Y}), SliderV)) << msg;
  }
  SendMessageA(Wnd, WM_TIMER, ScrollHotTimer, 0);
  EXPECT_TRUE(Near(Pixel(edge), BtnBottomHot));
  SetCursorPos(VBar().Left - 60, VBar().Top + 30);
  SendMessageA(Wnd, WM_TIMER, ScrollHotTimer, 0);
  EXPECT_TRUE(Near(Pixel(edge), BtnBottom));
  // The dragged thumb is pressed where it is dragged to, while the control scrolls along.
  const int y = ThumbCentre().Y;
  Drag({0, 15, 30}, false, [&](int dy) {
    EXPECT_TRUE(Near(Pixel(TPoint{VBar().Left + 2, y + dy}), SliderVPressed)) << dy;
  });
}

TEST_F(ScrollWnd, TheSystemsDisabledArrowsIgnorePressesAndBothMakeTheBarUnusable) {
  MakeList();
  // Both disabled: 40 % of the arrow's colour over 60 % of the parent's, and no hit.
  struct {
    UINT disable;
    size_t sent;
    bool blended;
  } const cases[] = {{ESB_DISABLE_DOWN, 0, false}, {ESB_DISABLE_UP, 2, false}, {ESB_DISABLE_BOTH, 0, true}};
  for (const auto& c : cases) {
    R.Scrolls.clear();
    EnableScrollBar(Wnd, SB_VERT, ESB_ENABLE_BOTH);
    EnableScrollBar(Wnd, SB_VERT, c.disable);
    RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Near(Pixel(TPoint{VBar().Left + 2, VBar().Top + 2}), RGB(66, 82, 42)), c.blended) << c.disable;
    EXPECT_EQ(NC(WM_NCHITTEST, 0, DownArrow()) == HTNOWHERE, c.blended) << c.disable;
    NC(WM_NCLBUTTONDOWN, HTVSCROLL, DownArrow());
    Client(WM_LBUTTONUP, DownArrow());
    EXPECT_EQ(Scrolls().size(), c.sent) << c.disable;
  }
}

TEST_F(ScrollWnd, TheMouseMovingToAnotherWindowsBarTakesNoHotPartAlong) {
  MakeEdit(false);
  const TPoint editThumb = ThumbCentre();
  SetCursorPos(editThumb.X, editThumb.Y);
  NC(WM_NCMOUSEMOVE, HTVSCROLL, editThumb);
  SendMessageA(Wnd, WM_TIMER, ScrollHotTimer, 0);
  ASSERT_EQ(ScrollState().HotPart, 5);
  const HWND edit = Wnd;
  auto editBars = std::move(Adapter);
  MakeList();
  const TPoint arrow = DownArrow();
  SetCursorPos(arrow.X, arrow.Y);
  NC(WM_NCMOUSEMOVE, HTVSCROLL, arrow);
  EXPECT_TRUE(Near(Pixel(TPoint{VBar().Left + 2, ThumbCentre().Y}), SliderV));
  SendMessageA(Wnd, WM_TIMER, ScrollHotTimer, 0);
  EXPECT_TRUE(Near(Pixel(TPoint{VBar().Left + 2, VBar().Bottom - 3}), BtnBottomHot));
  editBars.reset();
  DestroyWindow(edit);
}

TEST_F(ScrollWnd, WithoutTheFirstVerticalTrackNoVerticalBarIsPainted) {
  Load("ScrollNoV");
  MakeList();
  const TRect v = VBar();
  ASSERT_FALSE(v.IsEmpty());
  for (int y = v.Top; y < v.Bottom; y += 3) {
    const COLORREF c = Pixel(TPoint{v.Left + 3, y});
    for (COLORREF skin : {Bar2V, SliderV, BtnTop, BtnBottom}) EXPECT_FALSE(Near(c, skin)) << y;
  }
}

TEST_F(ScrollWnd, TheCornerShowsTheGripOnlyInTheParentsCornerWithAGripImage) {
  struct {
    const char* skin;
    bool inCorner;
    COLORREF expected;
  } const cases[] = {{"Scroll", true, Grip}, {"ScrollNoGrip", true, Form}, {"Scroll", false, Form}};
  for (const auto& c : cases) {
    Load(c.skin);
    MakeEdit(c.inCorner);
    const TRect v = Adapter->GetVertBarRect(), h = Adapter->GetHorzBarRect();
    EXPECT_TRUE(Near(Pixel(TPoint{v.Right - 2, h.Bottom - 2}), c.expected)) << c.skin << " " << c.inCorner;
    Drop();
  }
}

TEST_F(ScrollWnd, DetachingOrDestroyingForgetsThePressAndFreesTheBars) {
  for (bool destroy : {false, true}) {
    MakeList();
    NC(WM_NCLBUTTONDOWN, HTVSCROLL, DownArrow());
    ASSERT_EQ(ScrollState().ScrollStateWnd, Wnd);
    if (destroy)
      DestroyWindow(Wnd);
    else
      ReleaseScrollWndAdapter(Wnd, false, *Adapter);
    EXPECT_TRUE(Adapter->Defunct());
    EXPECT_EQ(Adapter->VertBar(), nullptr);
    EXPECT_EQ(ScrollState().ScrollStateWnd, nullptr);
    EXPECT_EQ(ScrollState().PressedPart, -1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetAdapterScrollBar(Wnd, SB_VERT), nullptr);
    // A defunct adapter does nothing more.
    TMessage m{WM_NCHITTEST, 0, 0, 7};
    Adapter->HandleMessage(m);
    EXPECT_EQ(m.Result, 7);
    Drop();
  }
}

TEST_F(ScrollWnd, AFrameworkControlsAdapterFollowsItsSkin) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  TsCommonData data(edit, 0);
  data.SetSkinManager(M.get());
  data.SetSkinSection("EDIT");
  std::unique_ptr<TlxScrollWnd> a;
  TlxScrollWnd* before = nullptr;
  // A defunct adapter is replaced by a live one; an attached one is kept.
  struct { const char* step; bool adapter; } const steps[] = {
      {"loading", false}, {"skinned", true}, {"again", true}, {"defunct", true}, {"unskinned", false}};
  for (const auto& s : steps) {
    const std::string step = s.step;
    edit->SetLoading(step == "loading");
    if (step == "defunct") ReleaseScrollWndAdapter(edit->Handle(), false, *a);
    if (step == "unskinned") data.SetSkinSection("NOSUCHSECTION");
    UpdateScrollWndAdapter(&data, a);
    EXPECT_EQ(a != nullptr, s.adapter) << step;
    EXPECT_EQ(GetWndAdapter(edit->Handle()), a.get()) << step;
    if (step == "again") {
      EXPECT_EQ(a.get(), before);
    }
    before = a.get();
  }
}

TEST_F(ScrollWnd, NothingLeaksOverRepeatedAttachPaintAndDetach) {
  auto round = [this] {
    MakeList();
    NC(WM_NCLBUTTONDOWN, HTVSCROLL, DownArrow());
    SendMessageA(Wnd, WM_TIMER, ScrollFirstRepeatTimer, 0);
    Client(WM_LBUTTONUP, DownArrow());
    RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Drop();
  };
  round();
  const long gdi = GdiObjectCount();
  for (int i = 0; i < 5; ++i) round();
  EXPECT_EQ(GdiObjectCount(), gdi);
}

}  // namespace
