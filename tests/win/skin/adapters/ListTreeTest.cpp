// The list view and tree view adapters under Wine, with the "Lists" fixture skins: a report
// list view's header painted column by column (sort glyph, hot and pressed columns), the thumb
// drag by whole items, a recreated header hooked, the colours given back; a tree's colours by
// mode and given back, shown or hidden.
#include "framework/win/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/adapters/lxListViewWnd.h"
#include "skin/adapters/lxScrollWnd.h"
#include "skin/adapters/lxTreeViewWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("list adapter test", false));

// The fixture's colours (make_list_adapter_skins.py).
constexpr COLORREF Form = RGB(70, 70, 70), EditFill = RGB(20, 40, 60), EditText = RGB(230, 230, 120),
                   GlyphTop = RGB(200, 0, 255), GlyphBottom = RGB(255, 255, 0);
constexpr COLORREF HeaderFrame[3] = {RGB(0, 160, 255), RGB(255, 120, 0), RGB(0, 220, 90)};

LRESULT CALLBACK ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (AnswerBackgroundRequest(msg, wp, lp, Form)) return 1;
  return DefWindowProcA(h, msg, wp, lp);
}

// Whether a colour appears in the client rectangle r of the window as it is on screen.
bool Shows(HWND h, const RECT& r, COLORREF c) {
  HDC dc = GetDC(h);
  bool found = false;
  for (int y = r.top; y < r.bottom && !found; ++y)
    for (int x = r.left; x < r.right && !found; ++x) found = Near(GetPixel(dc, x, y), c);
  ReleaseDC(h, dc);
  return found;
}

COLORREF ClientPixel(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

class ListTree : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    RegisterAdapterParentClass("OrbexListParent", ParentProc);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void SetUp() override {
    Load("Lists");
    Parent = CreateWindowExA(0, "OrbexListParent", "lists", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 460, 340,
                             nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    AdapterFlags().DialogMode = false;
    if (Parent != nullptr) DestroyWindow(Parent);
    M.reset();
  }
  void Load(const char* skin) {
    LoadFixtureSkin(M, ORBEX_LIST_ADAPTER_SKINS, skin);
    ASSERT_TRUE(M->SkinData().Active);
  }
  // A 200-item report list view with three 100-pixel columns.
  HWND ReportList() {
    HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 400, 260,
                             Parent, nullptr, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
      std::string title = "Col " + std::to_string(i);
      LVCOLUMNA c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH;
      c.cx = 100;
      c.pszText = title.data();
      SendMessageA(h, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
    for (int i = 0; i < 200; ++i) {
      std::string text = "Item " + std::to_string(i);
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = text.data();
      SendMessageA(h, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    return h;
  }
  template <class T>
  std::unique_ptr<T> Adapt(HWND h) {
    return TlxMainWnd::CreateForHandle<T>(h, true, "", M.get(), nullptr);
  }
  static HWND HeaderOf(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }
  static RECT ColumnRect(HWND header, int i) {
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  static void Repaint(HWND h) { RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

  std::unique_ptr<TsSkinManager> M;
  HWND Parent = nullptr;
};

// ---------------------------------------------------------------------------------------------
// List views.

TEST_F(ListTree, SortFormatShowsTheSkinsArrowGlyph) {
  struct Case {
    int Format;
    COLORREF Shown, Absent;
  } cases[] = {{HDF_STRING | HDF_SORTDOWN, GlyphBottom, GlyphTop}, {HDF_STRING | HDF_SORTUP, GlyphTop, GlyphBottom}};
  for (const Case& c : cases) {
    HWND list = ReportList();
    auto adapter = Adapt<TlxListViewWnd>(list);
    HWND header = HeaderOf(list);
    ASSERT_EQ(adapter->HeaderWnd(), header);
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    item.fmt = c.Format;
    SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    Repaint(list);
    EXPECT_TRUE(Shows(header, ColumnRect(header, 0), c.Shown)) << c.Format;
    EXPECT_FALSE(Shows(header, ColumnRect(header, 0), c.Absent)) << c.Format;
    adapter.reset();
    DestroyWindow(list);
  }
}

TEST_F(ListTree, HeaderColumnHotOnHitTestAndPressedOnPress) {
  HWND list = ReportList();
  auto adapter = Adapt<TlxListViewWnd>(list);
  HWND header = HeaderOf(list);
  Repaint(list);
  const RECT c1 = ColumnRect(header, 1);
  EXPECT_TRUE(Near(ClientPixel(header, c1.left + 1, c1.top + 1), HeaderFrame[0]));
  POINT p{(c1.left + c1.right) / 2, (c1.top + c1.bottom) / 2};
  POINT screen = p;
  ClientToScreen(header, &screen);
  SendMessageA(header, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(adapter->HotColumn(), 1);
  EXPECT_TRUE(Near(ClientPixel(header, c1.left + 1, c1.top + 1), HeaderFrame[1]));
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(adapter->PressedColumn(), 1);
  Repaint(header);
  EXPECT_TRUE(Near(ClientPixel(header, c1.left + 1, c1.top + 1), HeaderFrame[2]));
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(adapter->PressedColumn(), -1);
}

TEST_F(ListTree, TopIndexFollowsTheDraggedThumb) {
  HWND list = ReportList();
  auto adapter = Adapt<TlxListViewWnd>(list);
  // The scroll engine keeps the drag's last position after each send.
  ScrollState().DragLastPos = 0;
  for (int pos : {5, 7, 3}) {
    SendScrollCommand(list, WM_VSCROLL, SB_THUMBTRACK, pos);
    ScrollState().DragLastPos = pos;
    EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), pos);
  }
}

TEST_F(ListTree, ARecreatedHeaderIsHookedAndTheOldOneGivenBack) {
  HWND list = ReportList();
  HWND old = HeaderOf(list);
  const LONG_PTR oldProc = GetWindowLongPtrA(old, GWLP_WNDPROC);
  auto adapter = Adapt<TlxListViewWnd>(list);
  ASSERT_NE(GetWindowLongPtrA(old, GWLP_WNDPROC), oldProc);
  HWND fresh = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD, 0, 0, 100, 20, list, nullptr, nullptr, nullptr);
  EXPECT_EQ(adapter->HeaderWnd(), fresh);
  EXPECT_EQ(GetWindowLongPtrA(old, GWLP_WNDPROC), oldProc);
  adapter.reset();
  EXPECT_EQ(GetWindowLongPtrA(fresh, GWLP_WNDPROC), GetClassLongPtrA(fresh, GCLP_WNDPROC));
}

TEST_F(ListTree, ListColoursFromTheSectionAndAllThreeBack) {
  HWND list = ReportList();
  const COLORREF own[3] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)};
  SendMessageA(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(own[0]));
  SendMessageA(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(own[1]));
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(own[2]));
  auto adapter = Adapt<TlxListViewWnd>(list);
  SendSkinCommand(list, SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)), EditFill);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)), EditFill);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)), EditText);
  adapter.reset();
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)), own[0]);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)), own[1]);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)), own[2]);
}

// ---------------------------------------------------------------------------------------------
// Tree views.

TEST_F(ListTree, TreeColoursByModeAndBothBackShownOrHidden) {
  struct Case {
    bool DialogMode, Visible;
    COLORREF Back, Text;
  } cases[] = {
      {false, true, EditFill, EditText},
      {true, true, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)},
      {false, false, EditFill, EditText},
  };
  for (const Case& c : cases) {
    AdapterFlags().DialogMode = c.DialogMode;
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | (c.Visible ? WS_VISIBLE : 0), 10, 10,
                                200, 200, Parent, nullptr, nullptr, nullptr);
    SendMessageA(tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(RGB(1, 2, 3)));
    SendMessageA(tree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(RGB(4, 5, 6)));
    auto adapter = Adapt<TlxTreeViewWnd>(tree);
    SendSkinCommand(tree, SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), c.Back) << c.DialogMode;
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree, TVM_GETTEXTCOLOR, 0, 0)), c.Text) << c.DialogMode;
    adapter.reset();
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), RGB(1, 2, 3)) << c.Visible;
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree, TVM_GETTEXTCOLOR, 0, 0)), RGB(4, 5, 6)) << c.Visible;
    DestroyWindow(tree);
    AdapterFlags().DialogMode = false;
  }
}

}   // namespace
