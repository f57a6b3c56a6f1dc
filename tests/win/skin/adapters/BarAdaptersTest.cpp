// The tab, page, spin, track-bar and tool-bar adapters under Wine on bare windows and a
// framework tool bar, with the "TabAdapters" fixture skins: the tab control's page area, tab
// faces, rows, turned captions and commands, its arrows; the pages' adapters, their painting
// and the adoption of their children; the spin's halves by cursor and button and its "BUTTON"
// fallback; the track bar's thumb at its own size or stretched, pressed, its tick marks and its
// disabled look; the native tool bar's faces by state, its separators and its captions; the
// framework tool bar's hot tracking, drop-down arrow and the application's handlers.
//
// Pixels are read back through a window DC after the window painted itself.
#include "framework/win/Forms.h"

#include <commctrl.h>
#include <windowsx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "framework/win/ComCtrls.h"
#include "framework/win/Messages.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/adapters/lxTabWnd.h"
#include "skin/adapters/lxToolBarVCLWnd.h"
#include "skin/adapters/lxToolBarWnd.h"
#include "skin/adapters/lxTrackWnd.h"
#include "skin/core/lxTabWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("bar adapter test", true));

// The fixture's colours (make_tab_adapter_skins.py).
constexpr COLORREF Form = RGB(64, 64, 72), TrackFill = RGB(50, 50, 50), Text = RGB(250, 250, 250),
                   Tick = RGB(255, 60, 60);
constexpr COLORREF UpDownFrame[3] = {RGB(110, 60, 20), RGB(20, 110, 60), RGB(60, 20, 110)};
constexpr COLORREF ButtonFrame[3] = {RGB(120, 0, 0), RGB(0, 100, 0), RGB(0, 0, 120)};
constexpr COLORREF Arrow = RGB(255, 255, 255);
constexpr COLORREF ToolFrame[3] = {RGB(90, 90, 0), RGB(0, 90, 90), RGB(90, 0, 90)};
constexpr COLORREF Bar = RGB(20, 80, 80), Divider = RGB(250, 0, 120), BarText = RGB(255, 200, 200);
constexpr COLORREF CheckFace = RGB(90, 70, 50), PageTop = RGB(30, 60, 130), PageFrame = RGB(240, 200, 0);
constexpr COLORREF TabFrame[3] = {RGB(0, 0, 250), RGB(0, 250, 0), RGB(250, 0, 0)};
constexpr COLORREF Slider[2] = {RGB(250, 150, 0), RGB(250, 0, 150)};
constexpr COLORREF TabText = RGB(255, 255, 0);

COLORREF Shown(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}
COLORREF Painted(HWND h, int x, int y) {
  RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
  return Shown(h, x, y);
}

// Adoption requests (command 25) the parent was sent.
int GAdoptions = 0;

LRESULT CALLBACK ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdAdoptControls) ++GAdoptions;
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdQueryBackground && lp != 0) {
    auto* request = reinterpret_cast<TsBackgroundRequest*>(lp);
    request->Kind = bkColor;
    request->Color = Form;
    return 1;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

// The box of the pixels of `colour` inside `r` (client coordinates of `h`), empty without any.
TRect InkBox(HWND h, const RECT& r, COLORREF colour) {
  TRect box{r.right, r.bottom, r.left, r.top};
  HDC dc = GetDC(h);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Near(GetPixel(dc, x, y), colour)) {
        box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
      }
  ReleaseDC(h, dc);
  return box;
}

// WM_PAINT messages sent to `GCountedWindow` while the hook is set.
HWND GCountedWindow = nullptr;
int GPaintsSent = 0;
LRESULT CALLBACK CountPaints(int code, WPARAM wp, LPARAM lp) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && sent->hwnd == GCountedWindow && sent->message == WM_PAINT) ++GPaintsSent;
  return CallNextHookEx(nullptr, code, wp, lp);
}

RECT ItemRect(HWND h, UINT msg) {
  RECT r{};
  SendMessageA(h, msg, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

class BarAdapters : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    RegisterAdapterParentClass("OrbexBarAdapterParent", ParentProc);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
  }
  void SetUp() override {
    Load("TabAdapters");
    Parent = CreateWindowExA(0, "OrbexBarAdapterParent", "bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 460, 340,
                             nullptr, nullptr, nullptr, nullptr);
    SetCursorPos(0, 0);
  }
  void TearDown() override {
    if (Parent != nullptr) DestroyWindow(Parent);
    M.reset();
  }
  void Load(const char* skin) {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_TAB_ADAPTER_SKINS);
    M->SetSkinName(skin);
    ASSERT_TRUE(M->SkinData().Active);
  }
  HWND Child(const char* cls, DWORD style, int w, int h) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 20, 20, w, h, Parent, nullptr, nullptr,
                           nullptr);
  }
  void CursorAt(HWND h, int x, int y) {
    RECT r{};
    GetWindowRect(h, &r);
    SetCursorPos(r.left + x, r.top + y);
  }

  std::unique_ptr<TsSkinManager> M;
  HWND Parent = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Spin windows.

TEST_F(BarAdapters, SpinHalvesHotAndPressedUnderTheCursor) {
  const HWND h = Child(UPDOWN_CLASSA, 0, 18, 40);
  auto a = TlxMainWnd::CreateForHandle<TlxSpinWnd>(h, true, "", M.get(), nullptr);
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "UPDOWNBTN");
  EXPECT_PRED2(Near, Painted(h, 0, 5), UpDownFrame[0]);
  EXPECT_PRED2(Near, Shown(h, 9, 10), Arrow);
  struct Case {
    int Y;
    bool Down;
    int First, Second;
  } cases[] = {{5, false, 1, 0}, {30, false, 0, 1}, {30, true, 0, 2}};
  for (const Case& c : cases) {
    CursorAt(h, 9, c.Y);
    if (c.Down) SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(9, c.Y));
    EXPECT_PRED2(Near, Painted(h, 0, 5), UpDownFrame[c.First]) << c.Y;
    EXPECT_PRED2(Near, Shown(h, 0, 35), UpDownFrame[c.Second]) << c.Y;
    if (c.Down) SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(9, c.Y));
  }
}

TEST_F(BarAdapters, SpinWithoutItsSectionPaintsAsAButton) {
  Load("TabAdaptersBare");
  const HWND h = Child(UPDOWN_CLASSA, 0, 18, 40);
  auto a = TlxMainWnd::CreateForHandle<TlxSpinWnd>(h, true, "", M.get(), nullptr);
  EXPECT_PRED2(Near, Painted(h, 0, 5), ButtonFrame[0]);
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "BUTTON");
}

// ---------------------------------------------------------------------------------------------
// Track bars.

TEST_F(BarAdapters, ThumbStretchedAtTheDefaultSizeAndOwnSizeAt23) {
  struct Case {
    DWORD Style;
    int Length;          // TBM_SETTHUMBLENGTH, 0 for the default
    bool MaskAtTheEdge;  // the mask reaches the thumb's top row
  } cases[] = {{0, 0, true}, {TBS_FIXEDLENGTH, 23, false}};
  for (const Case& c : cases) {
    const HWND h = Child(TRACKBAR_CLASSA, c.Style, 200, 40);
    if (c.Length > 0) {
      SendMessageA(h, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(c.Length), 0);
      // Wine measures the thumb again only when the bar is sized.
      SetWindowPos(h, nullptr, 0, 0, 200, 41, SWP_NOMOVE | SWP_NOZORDER);
    }
    auto a = TlxMainWnd::CreateForHandle<TlxTrackWnd>(h, true, "", M.get(), nullptr);
    const RECT t = ItemRect(h, TBM_GETTHUMBRECT);
    if (c.Length > 0) {
      ASSERT_EQ(t.bottom - t.top, c.Length);
    }
    const int x = (t.left + t.right) / 2;
    EXPECT_PRED2(Near, Painted(h, x, (t.top + t.bottom) / 2), Slider[0]) << c.Style;
    EXPECT_EQ(Near(Shown(h, x, t.top), Slider[0]), c.MaskAtTheEdge) << c.Style << " thumb " << t.bottom - t.top;
    a.reset();
    DestroyWindow(h);
  }
}

TEST_F(BarAdapters, ThumbPressedWhileTheButtonIsDown) {
  const HWND h = Child(TRACKBAR_CLASSA, 0, 200, 40);
  auto a = TlxMainWnd::CreateForHandle<TlxTrackWnd>(h, true, "", M.get(), nullptr);
  const RECT t = ItemRect(h, TBM_GETTHUMBRECT);
  const int x = (t.left + t.right) / 2, y = (t.top + t.bottom) / 2;
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  EXPECT_TRUE(a->MousePressed());
  EXPECT_PRED2(Near, Painted(h, x, y), Slider[1]);
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  EXPECT_PRED2(Near, Painted(h, x, y), Slider[0]);
}

TEST_F(BarAdapters, TicksFromTheMaskOrAsPlainLines) {
  struct Case {
    const char* Skin;
    COLORREF Mark;
  } cases[] = {{"TabAdapters", Tick}, {"TabAdaptersBare", Text}};
  for (const Case& c : cases) {
    Load(c.Skin);
    const HWND h = Child(TRACKBAR_CLASSA, TBS_AUTOTICKS, 200, 40);
    SendMessageA(h, TBM_SETTICFREQ, 50, 0);
    auto a = TlxMainWnd::CreateForHandle<TlxTrackWnd>(h, true, "", M.get(), nullptr);
    const RECT ch = ItemRect(h, TBM_GETCHANNELRECT), t = ItemRect(h, TBM_GETTHUMBRECT);
    const int mid = static_cast<int>(SendMessageA(h, TBM_GETTICPOS, 0, 0));
    const int end = ch.right - (t.right - t.left) / 2;
    EXPECT_PRED2(Near, Painted(h, mid, ch.bottom + 5), c.Mark) << c.Skin;
    EXPECT_PRED2(Near, Shown(h, end, ch.bottom + 5), c.Mark) << c.Skin;
    EXPECT_PRED2(Near, Shown(h, end + 3, ch.bottom + 5), TrackFill) << c.Skin;
    a.reset();
    DestroyWindow(h);
  }
}

TEST_F(BarAdapters, VerticalBarsTickAtTheirValues) {
  const HWND h = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_AUTOTICKS, 20, 20, 40,
                                 200, Parent, nullptr, nullptr, nullptr);
  SendMessageA(h, TBM_SETTICFREQ, 50, 0);
  auto a = TlxMainWnd::CreateForHandle<TlxTrackWnd>(h, true, "", M.get(), nullptr);
  const RECT ch = ItemRect(h, TBM_GETCHANNELRECT);
  Painted(h, 0, 0);
  // The tick of 50 marks the middle third of the channel, right of it.
  const int third = (ch.bottom - ch.top) / 3;
  const TRect mark = InkBox(h, RECT{ch.right, ch.top + third, ch.right + 12, ch.bottom - third}, Tick);
  EXPECT_GT(mark.Height(), 0);
}

TEST_F(BarAdapters, DisabledTrackBarBlendedWithTheParent) {
  const HWND h = Child(TRACKBAR_CLASSA, 0, 200, 40);
  auto a = TlxMainWnd::CreateForHandle<TlxTrackWnd>(h, true, "", M.get(), nullptr);
  EXPECT_PRED2(Near, Painted(h, 2, 2), TrackFill);
  EnableWindow(h, FALSE);
  const COLORREF c = Painted(h, 2, 2);
  EXPECT_GT(GetRValue(c), GetRValue(TrackFill));
  EXPECT_LT(GetRValue(c), GetRValue(Form));
}

// ---------------------------------------------------------------------------------------------
// Native tool bars.

// A bar of `count` 40 x 30 buttons (or as wide as their captions with `autoSize`), the one at
// `separator` (-1 none) a separator.
HWND NativeBar(HWND parent, int count, int separator, const char* caption = "Go", bool autoSize = false) {
  const HWND h = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE |
                                 CCS_NODIVIDER, 10, 10, 400, 40, parent, nullptr, nullptr, nullptr);
  SendMessageA(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const auto text = SendMessageA(h, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(std::string(caption).append(1, '\0').c_str()));
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = 100 + i;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = static_cast<BYTE>(i == separator ? BTNS_SEP : BTNS_BUTTON | (autoSize ? BTNS_AUTOSIZE : 0));
    b.iString = i == separator ? -1 : text;
    SendMessageA(h, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
  }
  SendMessageA(h, TB_SETBUTTONSIZE, 0, MAKELPARAM(40, 30));
  return h;
}

RECT ButtonRect(HWND h, int index) {
  RECT r{};
  SendMessageA(h, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

TEST_F(BarAdapters, ToolButtonFacesNormalHotPressed) {
  const HWND h = NativeBar(Parent, 3, -1);
  auto a = TlxMainWnd::CreateForHandle<TlxToolBarWnd>(h, true, "", M.get(), nullptr);
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "BAR");
  SendMessageA(h, TB_SETSTATE, 102, TBSTATE_ENABLED | TBSTATE_PRESSED);
  const RECT hot = ButtonRect(h, 1);
  CursorAt(h, hot.left + 5, hot.top + 5);
  Painted(h, 0, 0);
  for (int i = 0; i < 3; ++i) {
    const RECT r = ButtonRect(h, i);
    EXPECT_PRED2(Near, Shown(h, r.left, (r.top + r.bottom) / 2), ToolFrame[i]) << i;
  }
}

TEST_F(BarAdapters, SeparatorDrawsOnlyWithTheDividersFrame) {
  struct Case {
    const char* Skin;
    COLORREF Centre;
  } cases[] = {{"TabAdapters", Divider}, {"TabAdaptersBare", Bar}};
  for (const Case& c : cases) {
    Load(c.Skin);
    const HWND h = NativeBar(Parent, 3, 1);
    auto a = TlxMainWnd::CreateForHandle<TlxToolBarWnd>(h, true, "", M.get(), nullptr);
    const RECT r = ButtonRect(h, 1);
    const TRect strip = ToolSeparatorRect(r.right - r.left, r.bottom - r.top);
    EXPECT_PRED2(Near, Painted(h, r.left + strip.Left, (r.top + r.bottom) / 2), c.Centre) << c.Skin;
    a.reset();
    DestroyWindow(h);
  }
}

TEST_F(BarAdapters, ACaptionAsWideAsItsButtonStaysOnTheFirstLine) {
  const HWND h = NativeBar(Parent, 1, -1, "Zoom", true);
  auto a = TlxMainWnd::CreateForHandle<TlxToolBarWnd>(h, true, "", M.get(), nullptr);
  const RECT r = ButtonRect(h, 0);
  Painted(h, 0, 0);
  const TRect ink = InkBox(h, r, BarText);
  TEXTMETRICA tm{};
  HDC dc = GetDC(h);
  {
    const TSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &tm);
  }
  ReleaseDC(h, dc);
  ASSERT_GT(ink.Width(), 0);
  EXPECT_LT(ink.Top - r.top, 2 + tm.tmHeight);
}

TEST_F(BarAdapters, CaptionsOfAnyLengthAndNone) {
  const std::string longCaption(700, 'x');
  const HWND h = NativeBar(Parent, 2, 1, longCaption.c_str());
  auto a = TlxMainWnd::CreateForHandle<TlxToolBarWnd>(h, true, "", M.get(), nullptr);
  EXPECT_EQ(a->ButtonText(100), longCaption);
  EXPECT_EQ(a->ButtonText(101), "");
}

// ---------------------------------------------------------------------------------------------
// Tab and page controls.

HWND TabControl(HWND parent, int tabs, int width = 300, DWORD style = 0) {
  const HWND h = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | style, 10, 10, width,
                                 150, parent, nullptr, nullptr, nullptr);
  for (int i = 0; i < tabs; ++i) {
    std::string text = "Tab " + std::to_string(i);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(h, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  return h;
}

RECT TabRect(HWND h, int i) {
  RECT r{};
  SendMessageA(h, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  return r;
}

TEST_F(BarAdapters, TabControlWithoutTabsIsACheckBoxWithoutStrip) {
  const HWND h = TabControl(Parent, 0);
  auto a = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(h, true, "", M.get(), nullptr);
  EXPECT_PRED2(Near, Painted(h, 150, 3), CheckFace);
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "CHECKBOX");
}

TEST_F(BarAdapters, SelectedTabOverThePageFrameOthersNormalAndSetCurSelRepaints) {
  const HWND h = TabControl(Parent, 3);
  auto a = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(h, true, "", M.get(), nullptr);
  EXPECT_EQ(SendSkinCommand(h, SkinCmdIsSkinned), 1);
  EXPECT_EQ(SendSkinCommand(h, SkinCmdQueryContainer), reinterpret_cast<LRESULT>(M.get()));
  const RECT t0 = TabRect(h, 0), t1 = TabRect(h, 1);
  EXPECT_PRED2(Near, Painted(h, (t0.left + t0.right) / 2, t0.top), TabFrame[2]);
  EXPECT_PRED2(Near, Shown(h, (t1.left + t1.right) / 2, t1.top + 1), TabFrame[0]);
  EXPECT_PRED2(Near, Shown(h, 150, 100), PageTop);
  // The selected tab stands out above its neighbours and leaves the page's frame whole.
  EXPECT_PRED2(Near, Shown(h, (t0.left + t0.right) / 2, t0.top - 1), TabFrame[2]);
  EXPECT_PRED2(Near, Shown(h, (t0.left + t0.right) / 2, a->PageAreaRect().Top), PageFrame);
  SendMessageA(h, TCM_SETCURSEL, 1, 0);
  UpdateWindow(h);
  EXPECT_PRED2(Near, Shown(h, (t1.left + t1.right) / 2, t1.top), TabFrame[2]);
}

TEST_F(BarAdapters, BackRowsLieUnderTheFrontRow) {
  const HWND h = TabControl(Parent, 10, 300, TCS_MULTILINE);
  auto a = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(h, true, "", M.get(), nullptr);
  ASSERT_GE(SendMessageA(h, TCM_GETROWCOUNT, 0, 0), 2);
  // A tab of the front row (the lowest) that is not the selected one, over a tab of the row
  // behind it, whose face reaches into it.
  const int selected = static_cast<int>(SendMessageA(h, TCM_GETCURSEL, 0, 0));
  const int front = TabRect(h, selected).top;
  int x = -1, top = 0;
  for (int i = 0; i < 10 && x < 0; ++i) {
    const RECT f = TabRect(h, i);
    if (i == selected || f.top != front) continue;
    const int mid = (f.left + f.right) / 2;
    for (int j = 0; j < 10; ++j) {
      const RECT b = TabRect(h, j);
      if (b.bottom == f.top && b.left < mid && mid < b.right - 1) x = mid, top = f.top;
    }
  }
  ASSERT_GE(x, 0);
  // The front tab's frame, not the middle of the back tab's face.
  EXPECT_PRED2(Near, Painted(h, x, top), TabFrame[0]);
}

TEST_F(BarAdapters, NoTabFacesWithoutTabTopOrWithItFirst) {
  for (const char* skin : {"TabAdaptersBare", "TabAdaptersTabFirst"}) {
    Load(skin);
    const HWND h = TabControl(Parent, 3);
    auto a = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(h, true, "", M.get(), nullptr);
    const RECT t1 = TabRect(h, 1);
    EXPECT_PRED2(Near, Painted(h, (t1.left + t1.right) / 2, t1.top + 1), Form) << skin;
    a.reset();
    DestroyWindow(h);
  }
}

TEST_F(BarAdapters, LeftTabCaptionsInABitmapFaceTurnUpright) {
  const HWND h = TabControl(Parent, 3, 300, TCS_VERTICAL | TCS_MULTILINE);
  const HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  auto a = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(h, true, "", M.get(), nullptr);
  ASSERT_EQ(a->Position(), TlxTabPos::Left);
  Painted(h, 0, 0);
  const TRect ink = InkBox(h, TabRect(h, 1), TabText);
  EXPECT_GT(ink.Height(), ink.Width());
  EXPECT_GT(ink.Width(), 0);
  a.reset();
  DestroyWindow(h);
  DeleteObject(font);
}

TEST_F(BarAdapters, TabControlsArrowsGetASpinAdapter) {
  const HWND h = TabControl(Parent, 12, 200);
  auto a = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(h, true, "", M.get(), nullptr);
  Painted(h, 0, 0);
  const HWND spin = FindWindowExA(h, nullptr, UPDOWN_CLASSA, nullptr);
  ASSERT_NE(spin, nullptr);
  ASSERT_NE(a->Arrows(), nullptr);
  EXPECT_EQ(GetWndAdapter(spin), a->Arrows());
  EXPECT_EQ(a->Arrows()->SkinData()->GetSkinSection(), "UPDOWNBTN");
}

TEST_F(BarAdapters, PagesGetAdaptersAndADeadPagesIsSweptAtTheNextAdapt) {
  const HWND h = TabControl(Parent, 2);
  const HWND page = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 4, 30, 200, 100, h, nullptr, nullptr, nullptr);
  const int before = PageAdapterCount();
  auto a = TlxMainWnd::CreateForHandle<TlxPageControlWnd>(h, true, "", M.get(), nullptr);
  EXPECT_EQ(PageAdapterCount(), before + 1);
  EXPECT_EQ(SendSkinCommand(page, SkinCmdIsSkinned), 1);
  DestroyWindow(page);
  a->AdaptPages();
  EXPECT_EQ(PageAdapterCount(), before);
}

TEST_F(BarAdapters, PageControlErasesNothingWhileAnAnimationRuns) {
  const HWND h = TabControl(Parent, 2);
  auto a = TlxMainWnd::CreateForHandle<TlxPageControlWnd>(h, true, "", M.get(), nullptr);
  HDC dc = GetDC(h);
  FillDCRect(dc, TRect{0, 0, 300, 150}, RGB(1, 2, 3));
  AnimationInProgress = true;
  EXPECT_EQ(SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  AnimationInProgress = false;
  EXPECT_EQ(GetPixel(dc, 150, 100), RGB(1, 2, 3));
  ReleaseDC(h, dc);
}

// A page adapter on a window of the test's parent, which answers the background request with a
// colour.
struct TBarePage {
  HWND Window;
  std::unique_ptr<TlxPageWnd> Adapter;
};
TBarePage BarePage(HWND parent, TsSkinManager* m) {
  const HWND page = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 20, 200, 100, parent, nullptr, nullptr,
                                    nullptr);
  return {page, TlxMainWnd::CreateForHandle<TlxPageWnd>(page, false, "CHECKBOX", m, nullptr)};
}

TEST_F(BarAdapters, PageOverAColourPaintsNothingAndAnswersOne) {
  const TBarePage p = BarePage(Parent, M.get());
  HDC dc = GetDC(p.Window);
  FillDCRect(dc, TRect{0, 0, 200, 100}, RGB(1, 2, 3));
  EXPECT_EQ(SendMessageA(p.Window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(GetPixel(dc, 100, 50), RGB(1, 2, 3));
  ReleaseDC(p.Window, dc);
}

TEST_F(BarAdapters, PrintedPageSendsItselfAPaint) {
  const TBarePage p = BarePage(Parent, M.get());
  GCountedWindow = p.Window;
  GPaintsSent = 0;
  const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountPaints, nullptr, GetCurrentThreadId());
  HDC dc = GetDC(p.Window);
  SendMessageA(p.Window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  ReleaseDC(p.Window, dc);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(GPaintsSent, 1);
}

TEST_F(BarAdapters, AChildMadeInAPageIsAdoptedByTheTopWindow) {
  const TBarePage p = BarePage(Parent, M.get());
  const int before = GAdoptions;
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, p.Window, nullptr, nullptr, nullptr);
  EXPECT_EQ(GAdoptions - before, 1);
}

// ---------------------------------------------------------------------------------------------
// Framework tool bars.

struct TBarForm {
  std::unique_ptr<TForm> Form;
  TToolBar* Bar = nullptr;
  std::unique_ptr<TsCommonData> Data;
  std::unique_ptr<TlxToolBarVCLWnd> Adapter;
  TToolButton* Button(int i) const { return Bar->Buttons(i); }
  LPARAM Centre(int i) const {
    const TRect r = Bar->ButtonRect(i);
    return MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  // The cursor put over the button too: the framework drops the hot button when it leaves.
  void MoveTo(int i) const {
    POINT p{GET_X_LPARAM(Centre(i)), GET_Y_LPARAM(Centre(i))};
    ClientToScreen(Bar->Handle(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(Bar->Handle(), WM_MOUSEMOVE, 0, Centre(i));
  }
  COLORREF LeftEdge(int i) const {
    const TRect r = Bar->ButtonRect(i);
    return Shown(Bar->Handle(), r.Left, (r.Top + r.Bottom) / 2);
  }
};

// A non-flat bar of `count` buttons on a form, with the application's own background handler
// counting its calls in `appDraws`.
TBarForm BarForm(TsSkinManager* m, int count, int& appDraws) {
  TBarForm f;
  f.Form = std::make_unique<TForm>(nullptr);
  f.Form->SetBounds(40, 40, 400, 200);
  f.Bar = new TToolBar(f.Form.get());
  f.Bar->SetParent(f.Form.get());
  f.Bar->OnAdvancedCustomDraw = [&appDraws](TToolBar*, const TRect&, TCustomDrawStage, bool&) { ++appDraws; };
  for (int i = 0; i < count; ++i) {
    auto* b = new TToolButton(f.Form.get());
    b->SetParent(f.Bar);
  }
  f.Form->Show();
  f.Data = std::make_unique<TsCommonData>(f.Bar, 0);
  f.Data->SetSkinManager(m);
  f.Adapter = TlxMainWnd::CreateForHandle<TlxToolBarVCLWnd>(f.Bar->Handle(), true, "", m, f.Data.get());
  return f;
}

TEST_F(BarAdapters, FrameworkBarHotTrackingAndADownButton) {
  int appDraws = 0;
  TBarForm f = BarForm(M.get(), 3, appDraws);
  f.Button(2)->SetStyle(tbsCheck);
  f.Button(2)->SetDown(true);
  RedrawWindow(f.Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_PRED2(Near, f.LeftEdge(0), ToolFrame[0]);
  EXPECT_PRED2(Near, f.LeftEdge(2), ToolFrame[2]);
  struct Case {
    int Under, Hot;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}};
  for (const Case& c : cases) {
    f.MoveTo(c.Under);
    EXPECT_EQ(f.Adapter->HotIndex(), c.Hot);
    for (int i = 0; i < 2; ++i) EXPECT_PRED2(Near, f.LeftEdge(i), ToolFrame[i == c.Hot ? 1 : 0]) << c.Under << " " << i;
    EXPECT_PRED2(Near, f.LeftEdge(2), ToolFrame[2]) << c.Under;
  }
}

TEST_F(BarAdapters, MovingBetweenButtonsRepaintsOnlyTheOldAndTheNewHotOne) {
  int appDraws = 0;
  TBarForm f = BarForm(M.get(), 4, appDraws);
  f.MoveTo(0);
  // A mark over the whole bar, without invalidating it: what is repainted loses it.
  HDC dc = GetDC(f.Bar->Handle());
  FillDCRect(dc, TRect{0, 0, 400, 100}, RGB(1, 2, 3));
  ReleaseDC(f.Bar->Handle(), dc);
  f.MoveTo(1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.LeftEdge(i) == RGB(1, 2, 3), i >= 2) << i;
}

TEST_F(BarAdapters, DropDownButtonShowsItsArrow) {
  int appDraws = 0;
  TBarForm f = BarForm(M.get(), 2, appDraws);
  f.Button(1)->SetStyle(tbsDropDown);
  RedrawWindow(f.Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  for (int i = 0; i < 2; ++i) {
    const TRect r = f.Bar->ButtonRect(i);
    const TRect arrow = InkBox(f.Bar->Handle(), RECT{r.Left, r.Top, r.Right, r.Bottom}, Arrow);
    EXPECT_EQ(arrow.Width() > 0, i == 1) << i;
    if (i == 1) {
      EXPECT_GE(arrow.Left, r.Right - GetSystemMetrics(SM_CXVSCROLL));
    }
  }
}

TEST_F(BarAdapters, UnskinningGivesTheApplicationsHandlerBack) {
  int appDraws = 0;
  TBarForm f = BarForm(M.get(), 2, appDraws);
  const int before = appDraws;
  RedrawWindow(f.Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(appDraws, before);
  SendSkinCommand(f.Bar->Handle(), SkinCmdUnskin, reinterpret_cast<LPARAM>(M.get()));
  RedrawWindow(f.Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_GT(appDraws, before);
}

TEST_F(BarAdapters, DeletingTheHotLastButtonIsHarmless) {
  int appDraws = 0;
  TBarForm f = BarForm(M.get(), 3, appDraws);
  f.MoveTo(2);
  ASSERT_EQ(f.Adapter->HotIndex(), 2);
  // The system's notice, which comes while the button is still there (the cursor away, so that
  // the bar does not make it hot again meanwhile).
  SetCursorPos(0, 0);
  TBBUTTON last{};
  SendMessageA(f.Bar->Handle(), TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&last));
  NMTOOLBARA notice{};
  notice.hdr = NMHDR{f.Bar->Handle(), 0, static_cast<UINT>(TBN_DELETINGBUTTON)};
  notice.iItem = last.idCommand;
  SendMessageA(GetParent(f.Bar->Handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  EXPECT_EQ(f.Adapter->HotIndex(), -1);
  delete f.Button(2);
  f.MoveTo(0);
  EXPECT_EQ(f.Adapter->HotIndex(), 0);
}

}  // namespace
