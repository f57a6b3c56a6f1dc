// The skin provider's window method on shown test forms: what reaches the form's own method
// while skinned, the icon double click and the editor's close (also when the close frees the
// provider, or is refused), the designed colours back after unskinning, the screen snap with
// SWP_NOSIZE and SWP_NOMOVE, the caption double click, the window menu greyed by the form,
// the caption cover and redraw lock around the system's caption painting, the own drag, the
// menu-changed notification, a run-time provider's first hit test, and a caption and border
// drag by the mouse, the move and the resize leaving no stale pixels and the region following
// each size. The skin is a small folder written to a scratch directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/win/StdCtrls.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sDwmApi.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

using formtest::Pump;
using formtest::WindowRectOf;

using formtest::Command;

class WndProc : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Dir = formtest::ScratchPath("wndproc");
    formtest::WriteSkinFolder(Dir, "Plain", "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=4478310\r\n[FORM]\r\nSTATES=1\r\nCOLOR=3364215\r\n");
  }
  void SetUp() override {
    SetAeroIsActiveOverride(false);
    M = formtest::ManagerWith(Dir, "Plain");
    ASSERT_TRUE(M->SkinData().Active);
    M->SetSkinnedPopups(false);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Form->SetCaption("Skinned");
  }
  void TearDown() override {
    // The provider keeps the form's method it found and calls it until the form is gone; what
    // a test put there reads the provider, which goes first.
    Inside = nullptr;
    if (Form) Form->WindowProc = nullptr;
    Form.reset();
    M.reset();
    SetAeroIsActiveOverride(std::nullopt);
    SetDragFullWindowsOverride(std::nullopt);
  }
  // The provider on the shown form, with a marker below it that records what reaches the
  // form's own method.
  TsSkinProvider* ShowSkinned() {
    Form->WindowProc = [this, f = Form.get()](TMessage& m) {
      Seen.push_back(m.Msg);
      if (m.Msg == WM_SKINCOMMAND) SeenCommands.push_back(SkinCommandOf(m.WParam));
      if (Inside) Inside(m);
      f->WndProc(m);
    };
    // The pointer is left wherever an earlier program put it: over the form it would bring
    // hover glows, windows of their own in the Z order.
    SetCursorPos(0, 0);
    auto* p = NewComponent<TsSkinProvider>(Form.get());
    Form->Show();
    Pump();
    return p;
  }
  bool SeenMsg(UINT msg) const { return std::find(Seen.begin(), Seen.end(), msg) != Seen.end(); }
  HWND Wnd() const { return Form->Handle(); }
  // The window's region is the whole window (the test skin has no rounded corners).
  bool RegionCoversTheWindow() const {
    TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
    RECT box{};
    const RECT w = WindowRectOf(Wnd());
    return GetWindowRgn(Wnd(), rgn.Get()) != ERROR && GetRgnBox(rgn.Get(), &box) != ERROR && box.left == 0 &&
           box.top == 0 && box.right == w.right - w.left && box.bottom == w.bottom - w.top;
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  std::vector<UINT> Seen;
  std::vector<int> SeenCommands;
  std::function<void(TMessage&)> Inside;
};
std::string WndProc::Dir;

TEST_F(WndProc, WhatReachesTheFormWhileSkinned) {
  ShowSkinned();
  // The client offset is where the client area lies in the window.
  RECT wr = WindowRectOf(Wnd());
  POINT origin{0, 0};
  ClientToScreen(Wnd(), &origin);
  const LRESULT offset = Command(Form.get(), SkinCmdQueryClientOffset);
  EXPECT_EQ(LOWORD(offset), origin.x - wr.left);
  EXPECT_EQ(HIWORD(offset), origin.y - wr.top);
  // A child's background request is answered by the form (the section's colour here), its
  // offsets those of the client area in the window image.
  TsBackgroundRequest request;
  request.OffsetX = request.OffsetY = 7;
  request.Rect = Rect(0, 0, 10, 10);
  EXPECT_EQ(DeliverToControl(Form.get(), WM_SKINCOMMAND, MakeSkinWParam(SkinCmdQueryBackground),
                             reinterpret_cast<LPARAM>(&request)), 1);
  EXPECT_EQ(request.Kind, bkColor);
  EXPECT_EQ(static_cast<COLORREF>(request.Color), 3364215u);
  EXPECT_EQ(request.OffsetX, origin.x - wr.left);
  EXPECT_EQ(request.OffsetY, origin.y - wr.top);
  Seen.clear();
  SeenCommands.clear();
  for (int c : {13, 23, 28, 16, 99})
    EXPECT_EQ(Command(Form.get(), static_cast<std::uint16_t>(c)), 0) << c;
  Form->Perform(WM_ENTERIDLE, 0, 0);
  SendMessageA(Wnd(), WM_PRINTCLIENT, 0, PRF_CLIENT);
  EXPECT_TRUE(SeenCommands.empty());
  EXPECT_FALSE(SeenMsg(WM_ENTERIDLE));
  EXPECT_FALSE(SeenMsg(WM_PRINTCLIENT));
  // Without skinned popups the form prepares its own popups.
  HMENU popup = CreatePopupMenu();
  SendMessageA(Wnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  DestroyMenu(popup);
  EXPECT_TRUE(SeenMsg(WM_INITMENUPOPUP));
  // Unskinned, the commands reach the form again.
  Command(Form.get(), SkinCmdUnskin, M.get());
  M->SetActive(false);
  SeenCommands.clear();
  Command(Form.get(), SkinCmdSectionChanged);
  EXPECT_EQ(SeenCommands, std::vector<int>{SkinCmdSectionChanged});
}

TEST_F(WndProc, UnskinningPutsBackTheDesignedColours) {
  auto* label = new TLabel(Form.get());
  label->SetParent(Form.get());
  label->Font()->SetColor(clRed);
  Form->SetColor(static_cast<TColor>(0x00C000));
  ShowSkinned();
  EXPECT_NE(Form->Color(), static_cast<TColor>(0x00C000));   // the skin's global colour
  Command(Form.get(), SkinCmdUnskin, M.get());
  EXPECT_EQ(label->Font()->GetColor(), clRed);
  EXPECT_EQ(Form->Color(), static_cast<TColor>(0x00C000));
}

TEST_F(WndProc, IconDoubleClickClosesAlsoWhenRefusedOrTheProviderGoes) {
  TsSkinProvider* p = ShowSkinned();
  // Refused: the form stays and paints again.
  Form->OnCloseQuery = [](TObject*, bool& can) { can = false; };
  Form->Perform(WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_EQ(p->SkinData()->HoldPaint, 0);
  // Accepted: hidden.
  Form->OnCloseQuery = nullptr;
  Form->Perform(WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
  EXPECT_FALSE(IsWindowVisible(Wnd()));
  // The close frees the provider inside the call (a run-time one goes with its form's
  // closing): the form closes and the provider's window method is gone from it.
  Form->Show();
  Pump();
  Form->OnClose = [p](TObject*, TCloseAction&) { delete p; };
  Seen.clear();
  SendMessageA(Wnd(), WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
  EXPECT_FALSE(IsWindowVisible(Wnd()));
  Form->Perform(WM_SKINCOMMAND, MakeSkinWParam(SkinCmdFindProvider), 0);
  EXPECT_TRUE(SeenMsg(WM_SKINCOMMAND));
}

TEST_F(WndProc, TheEditorClosesTheFormAlsoWhenTheProviderGoes) {
  TsSkinProvider* p = ShowSkinned();
  EXPECT_EQ(SendMessageA(Wnd(), WM_SKINEDITOR, 4, 0), 1);
  Form->OnClose = [p](TObject*, TCloseAction&) { delete p; };
  SendMessageA(Wnd(), WM_SKINEDITOR, 1, 0);
  EXPECT_FALSE(IsWindowVisible(Wnd()));
  EXPECT_EQ(Command(Form.get(), SkinCmdFindProvider), 0);
}

TEST_F(WndProc, ScreenSnapOnlyForMovesAndWithTheFormsSize) {
  TsSkinProvider* p = ShowSkinned();
  p->ScreenSnap = true;
  const TRect work = MonitorWorkArea(Form.get());
  const RECT wr = WindowRectOf(Wnd());
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  // A move alone (SWP_NOSIZE: the record's size is unset) snaps by the form's own size.
  SetWindowPos(Wnd(), nullptr, work.Right - w - 9, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRectOf(Wnd()).right, work.Right);
  SetWindowPos(Wnd(), nullptr, work.Right - w - 10, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRectOf(Wnd()).right, work.Right - 10);
  // A size change that keeps the place (SWP_NOMOVE) is never snapped.
  SetWindowPos(Wnd(), nullptr, work.Left + 5, work.Top + 5, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRectOf(Wnd()).left, work.Left);
  SetWindowPos(Wnd(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(Wnd(), nullptr, 0, 0, w + 20, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRectOf(Wnd()).left, 300);
  EXPECT_EQ(WindowRectOf(Wnd()).top, 300);
}

// The maximized bounds and region themselves are checked on the program's main window.
TEST_F(WndProc, CaptionDoubleClickMaximizesAndRestores) {
  ShowSkinned();
  const RECT normal = WindowRectOf(Wnd());
  Form->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  Pump();
  ASSERT_TRUE(IsZoomed(Wnd()));
  Form->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  Pump();
  EXPECT_FALSE(IsZoomed(Wnd()));
  EXPECT_EQ(WindowRectOf(Wnd()).left, normal.left);
  EXPECT_EQ(WindowRectOf(Wnd()).bottom, normal.bottom);
  EXPECT_TRUE(RegionCoversTheWindow()) << "the maximized region stayed";
}

// The window menu, read while it is open and then closed.
struct TMenuProbe {
  static inline HMENU Menu = nullptr;
  static inline std::vector<UINT> States;
  static inline bool Open = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Open = FindWindowA("#32768", nullptr) != nullptr;
    States.clear();
    for (UINT c : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
      States.push_back(GetMenuState(Menu, c, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    EndMenu();
  }
};

TEST_F(WndProc, RightClickOnTheCaptionOpensTheWindowMenuAsTheFormAllows) {
  Form->SetBorderStyle(bsDialog);
  ShowSkinned();
  TMenuProbe::Menu = GetSystemMenu(Wnd(), FALSE);
  ASSERT_NE(TMenuProbe::Menu, nullptr);
  SetTimer(nullptr, 0, 100, &TMenuProbe::Tick);
  RECT wr = WindowRectOf(Wnd());
  SendMessageA(Wnd(), WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 60, wr.top + 8));
  EXPECT_TRUE(TMenuProbe::Open);
  ASSERT_EQ(TMenuProbe::States.size(), 6u);
  // Restore, Size, Minimize, Maximize greyed; Move and Close enabled.
  EXPECT_NE(TMenuProbe::States[0], 0u);
  EXPECT_EQ(TMenuProbe::States[1], 0u);
  EXPECT_NE(TMenuProbe::States[2], 0u);
  EXPECT_NE(TMenuProbe::States[3], 0u);
  EXPECT_NE(TMenuProbe::States[4], 0u);
  EXPECT_EQ(TMenuProbe::States[5], 0u);
  // The style is whole again after the menu.
  EXPECT_TRUE(IsWindowVisible(Wnd()));
}

TEST_F(WndProc, TheSystemsCaptionPaintingIsCoveredOrLocked) {
  TsSkinProvider* p = ShowSkinned();
  // Without composition a cover lies over the caption strip while the system handles it.
  bool covered = false, locked = false;
  Inside = [&](TMessage& m) {
    if (m.Msg != WM_SETTEXT && m.Msg != WM_NCACTIVATE) return;
    const HWND cover = p->CaptionCoverWindow();
    if (cover != nullptr && IsWindowVisible(cover)) {
      const RECT c = WindowRectOf(cover), w = WindowRectOf(Wnd());
      covered = c.left == w.left && c.top == w.top && c.right == w.right &&
                c.bottom - c.top == GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
    }
    locked = p->LockCount() > 0;
  };
  SetWindowTextA(Wnd(), "Orbex test");
  EXPECT_TRUE(covered);
  EXPECT_FALSE(locked);
  EXPECT_EQ(p->CaptionCoverWindow(), nullptr);
  covered = false;
  SendMessageA(Wnd(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_TRUE(covered);
  // Under composition the form's redraw is locked instead.
  SetAeroIsActiveOverride(true);
  covered = locked = false;
  SetWindowTextA(Wnd(), "Orbex test 2");
  EXPECT_FALSE(covered);
  EXPECT_TRUE(locked);
  EXPECT_EQ(p->LockCount(), 0);
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  char text[32] = {};
  GetWindowTextA(Wnd(), text, sizeof text);
  EXPECT_STREQ(text, "Orbex test 2");
}

// The caption cover lies just above its form in the Z order, so that a window of another
// program over the caption stays over it too; it is topmost only with a topmost form.
TEST_F(WndProc, TheCaptionCoverLiesJustAboveItsForm) {
  TsSkinProvider* p = ShowSkinned();
  for (const bool topmost : {false, true}) {
    SCOPED_TRACE(topmost ? "topmost form" : "normal form");
    SetWindowPos(Wnd(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    bool seen = false, justAbove = false, coverTopmost = !topmost;
    std::string zOrder;
    Inside = [&](TMessage& m) {
      const HWND cover = p->CaptionCoverWindow();
      if (m.Msg != WM_SETTEXT || cover == nullptr) return;
      seen = true;
      justAbove = formtest::ShowsJustAbove(cover, Wnd(), zOrder);
      coverTopmost = (GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    SetWindowTextA(Wnd(), topmost ? "On top" : "Normal");
    ASSERT_TRUE(seen);
    EXPECT_TRUE(justAbove) << zOrder;
    EXPECT_EQ(coverTopmost, topmost);
  }
}

TEST_F(WndProc, OwnDragOnlyWithoutComposition) {
  SetDragFullWindowsOverride(false);
  TsSkinProvider* p = ShowSkinned();
  p->ResizeMode = rmBorder;
  const RECT before = WindowRectOf(Wnd());
  POINT start{before.left + 80, before.top + 8};
  SetCursorPos(start.x, start.y);
  Form->Perform(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(start.x, start.y));
  EXPECT_EQ(GetCapture(), Wnd());
  SetCursorPos(start.x + 40, start.y + 25);
  Form->Perform(WM_MOUSEMOVE, 0, 0);
  Form->Perform(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(WindowRectOf(Wnd()).left, before.left + 40);
  EXPECT_EQ(WindowRectOf(Wnd()).top, before.top + 25);
  // A border drag resizes, the opposite edge staying.
  const RECT moved = WindowRectOf(Wnd());
  start = POINT{moved.right - 1, moved.bottom - 1};
  SetCursorPos(start.x, start.y);
  Form->Perform(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(start.x, start.y));
  SetCursorPos(start.x + 30, start.y + 20);
  Form->Perform(WM_MOUSEMOVE, 0, 0);
  Form->Perform(WM_NCLBUTTONUP, HTBOTTOMRIGHT, 0);
  const RECT sized = WindowRectOf(Wnd());
  EXPECT_EQ(sized.left, moved.left);
  EXPECT_EQ(sized.right, moved.right + 30);
  EXPECT_EQ(sized.bottom, moved.bottom + 20);
  // Under composition the first frame painting turns it into the standard mode.
  SetAeroIsActiveOverride(true);
  SendMessageA(Wnd(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(p->ResizeMode, rmStandard);
}

TEST_F(WndProc, MenuChangesReachTheFormAndTheRunTimeProviderStartsAtItsHitTest) {
  auto* menu = new TMainMenu(Form.get());
  auto* item = new TMenuItem(menu);
  item->SetCaption("&File");
  menu->Items()->Add(item);
  Form->SetMenu(menu);
  ShowSkinned();
  Seen.clear();
  item->SetCaption("&Data");
  EXPECT_TRUE(SeenMsg(CM_MENUCHANGED));
  // A run-time provider on another form prepares it at its first hit test.
  TForm other(nullptr);
  other.HandleNeeded();
  TsSkinProvider* runtime = TsSkinProvider::CreateRuntime(&other);
  EXPECT_EQ(runtime->SystemMenu(), nullptr);
  SendMessageA(other.Handle(), WM_NCHITTEST, 0, 0);
  EXPECT_NE(runtime->SystemMenu(), nullptr);
}

// The mouse itself, from a helper thread (the system's move and size loops block the caller).
void DragWithTheMouse(POINT from, POINT to) {
  std::atomic<bool> done{false};
  std::thread t([&] {
    auto send = [](DWORD flags, POINT p) {
      formtest::MouseInput(p, flags);
      Sleep(60);
    };
    send(0, from);
    send(MOUSEEVENTF_LEFTDOWN, from);
    for (int i = 1; i <= 4; ++i)
      send(0, POINT{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4});
    send(MOUSEEVENTF_LEFTUP, to);
    done = true;
  });
  while (!done) Pump(10);
  t.join();
  Pump(100);
}

TEST_F(WndProc, CaptionAndBorderDragsByTheMouse) {
  TsSkinProvider* p = ShowSkinned();
  SetForegroundWindow(Wnd());
  Pump();
  // What the window shows after the move is what it shows when painted afresh.
  const auto freshRepaint = [&] {
    formtest::RepaintFrame(p);
    RedrawWindow(Wnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    return formtest::WindowPixels(Wnd());
  };
  const RECT before = WindowRectOf(Wnd());
  const int captionY = before.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  DragWithTheMouse(POINT{before.left + 120, captionY}, POINT{before.left + 170, captionY + 30});
  const RECT moved = WindowRectOf(Wnd());
  EXPECT_EQ(moved.left, before.left + 50);
  EXPECT_EQ(moved.top, before.top + 30);
  const std::vector<COLORREF> afterMove = formtest::WindowPixels(Wnd());
  EXPECT_EQ(formtest::DifferentPixels(afterMove, freshRepaint()), 0) << "stale pixels after the move";
  const int borderX = moved.right - GetSystemMetrics(SM_CXFRAME) / 2 - 1;
  DragWithTheMouse(POINT{borderX, moved.top + 150}, POINT{borderX + 40, moved.top + 150});
  const RECT sized = WindowRectOf(Wnd());
  EXPECT_EQ(sized.left, moved.left);
  EXPECT_EQ(sized.right, moved.right + 40);
  // The region follows the last sizing step (and a single one).
  EXPECT_TRUE(RegionCoversTheWindow());
  const std::vector<COLORREF> afterSize = formtest::WindowPixels(Wnd());
  EXPECT_EQ(formtest::DifferentPixels(afterSize, freshRepaint()), 0) << "stale pixels after the border drag";
  SetWindowPos(Wnd(), nullptr, 0, 0, sized.right - sized.left + 10, sized.bottom - sized.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_TRUE(RegionCoversTheWindow());
}

}  // namespace
