// A skinned MDI main form with three children (each with a provider and a menu): its client
// window skinned from "MDIAREA", the maximized child's icon, merged items and buttons on the
// menu line and their actions, the hidden form over them while a menu is open, the window menu
// of the visible children, tiling, a skin switch and the skin withdrawn. The skins are written
// by tests/fixtures/skins/make_frame_skins.py.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "framework/win/Menus.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sBackgroundInfo.h"
#include "tests/win/MDITestForms.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>((r << 16) | (g << 8) | b); }
constexpr COLORREF MDIFillA = RGB(120, 160, 110), MDIFrameA = RGB(20, 90, 30), MDIFillB = RGB(90, 60, 110);

class MDI : public formtest::TSkinnedFormTest {
protected:
  void SetUp() override {
    UseSkin(ORBEX_FRAME_SKINS, "FrameA");
    // Providers on every form, as designed forms have.
    Forms = std::make_unique<TMDITestForms>([](TForm* main) { NewComponent<TsSkinProvider>(main); },
                                            [](TForm* child) { NewComponent<TsSkinProvider>(child); });
    formtest::Pump(150);
  }
  void TearDown() override {
    Forms.reset();
    M.reset();
  }
  TsSkinProvider* MainProvider() const {
    return reinterpret_cast<TsSkinProvider*>(formtest::Command(Forms->Main.get(), SkinCmdFindProvider));
  }
  HWND Client() const { return Forms->Main->ClientHandle(); }
  // A pixel of the client window (window coordinates; negative: from the right or bottom),
  // after it painted itself.
  COLORREF ClientPixel(int x, int y) const {
    RedrawWindow(Client(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT r = formtest::WindowRectOf(Client());
    TWindowDC dc(Client(), TWindowDC::TArea::Window);
    return GetPixel(dc.Get(), x < 0 ? r.right - r.left + x : x, y < 0 ? r.bottom - r.top + y : y);
  }
  // The maximized child's button's centre on the screen.
  TPoint ButtonOnScreen(TsSkinProvider* p, int code) {
    return formtest::ToScreen(p, formtest::ButtonCentre(p, code));
  }
  void MaximizeActive() {
    SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(Forms->Main->ActiveMDIChild()->Handle()), 0);
    formtest::Pump(100);
    formtest::RepaintFrame(MainProvider());
  }
  TsSkinProvider* ProviderOf(TCustomForm* f) const {
    return reinterpret_cast<TsSkinProvider*>(formtest::Command(f, SkinCmdFindProvider));
  }
  // A pixel of the window's client area after the window erased a black picture of it.
  static COLORREF ErasedPixel(HWND w, int x, int y) {
    RECT r{};
    GetClientRect(w, &r);
    std::unique_ptr<TBitmap> probe = CreateBitmap32(r.right, r.bottom);
    PatBlt(probe->Canvas()->GetHandle(), 0, 0, r.right, r.bottom, BLACKNESS);
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(probe->Canvas()->GetHandle()), 0);
    return GetPixel(probe->Canvas()->GetHandle(), x, y);
  }
  std::unique_ptr<TMDITestForms> Forms;
};

// A control that answers the background question, recording where it was asked.
class TBackgroundProbe : public TGraphicControl {
public:
  TBackgroundProbe(TComponent* owner, bool opaque) : TGraphicControl(owner) {
    SetControlStyle(opaque ? ControlStyle() | csOpaque : ControlStyle() & ~csOpaque);
    SetBounds(4, 4, 30, 20);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdQueryBackground && m.LParam != 0) {
      const auto& r = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      Asked = r.DC != nullptr && r.Rect.Left == Left() && r.Rect.Top == Top() && r.Rect.Right == Left() + Width() &&
              r.Rect.Bottom == Top() + Height();
      m.Result = 1;
      return;
    }
    TGraphicControl::Dispatch(m);
  }
  bool Asked = false;
};

// Messages the main form is sent while the caption cover shows over its caption strip.
struct TCoverWatch {
  TCoverWatch(HWND main, TsSkinProvider* p) : Hook(SetWindowsHookExA(WH_CALLWNDPROC, &Proc, nullptr, GetCurrentThreadId())) {
    Main = main;
    Provider = p;
    Seen = Covered = 0;
  }
  ~TCoverWatch() { UnhookWindowsHookEx(Hook); }
  TCoverWatch(const TCoverWatch&) = delete;
  TCoverWatch& operator=(const TCoverWatch&) = delete;
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == Main) {
      ++Seen;
      const HWND cover = Provider->CaptionCoverWindow();
      if (cover != nullptr && IsWindowVisible(cover)) ++Covered;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK Hook;
  static inline HWND Main = nullptr;
  static inline TsSkinProvider* Provider = nullptr;
  static inline int Seen = 0, Covered = 0;
};

TEST_F(MDI, TheClientAndTheChildrenAreSkinned) {
  EXPECT_EQ(SendSkinCommand(Client(), SkinCmdIsSkinned), 1);
  EXPECT_NE(GetWndAdapter(Client()), nullptr);
  EXPECT_EQ(ClientPixel(-30, -30), MDIFillA);
  EXPECT_EQ(ClientPixel(0, 0), MDIFrameA);
  // Printed, the form shows its client window and the children in it.
  {
    const HWND main = Forms->Main->Handle();
    const std::vector<COLORREF> printed = formtest::WindowPixels(main, formtest::TPixelSource::Print);
    const RECT w = formtest::WindowRectOf(main), c = formtest::WindowRectOf(Client());
    const RECT child = formtest::WindowRectOf(Forms->Children[2]->Handle());
    const auto at = [&](LONG x, LONG y) { return printed.at(static_cast<size_t>((y - w.top) * (w.right - w.left) + (x - w.left))); };
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(at(c.right - 30, c.bottom - 30), MDIFillA);
    // The frame cache holds the area too, for those who take the form's image from it.
    formtest::RepaintFrame(MainProvider());
    EXPECT_EQ(formtest::CachePixel(MainProvider(), c.right - 30 - w.left, c.bottom - 30 - w.top), Rgb(120, 160, 110));
    EXPECT_NE(at((child.left + child.right) / 2, child.bottom - 10), MDIFillA);
  }
  for (TForm* c : Forms->Children) {
    EXPECT_EQ(formtest::Command(c, SkinCmdIsSkinned), 1);
    EXPECT_EQ(formtest::HasSysMenuStyle(c->Handle()), false);
    TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(GetWindowRgn(c->Handle(), rgn.Get()), ERROR) << c->Caption();
  }
  // A child made without a provider gets one from its main form.
  auto* plain = new TForm(nullptr);
  plain->SetFormStyle(fsMDIChild);
  plain->Show();
  Forms->Children.push_back(plain);
  formtest::Pump();
  EXPECT_EQ(formtest::Command(plain, SkinCmdIsSkinned), 1);
}

TEST_F(MDI, AMaximizedChildShowsItsIconItemsAndButtonsOnTheMenuLine) {
  MaximizeActive();
  TsSkinProvider* p = MainProvider();
  ASSERT_NE(p->MaximizedMDIChild(), nullptr);
  // The client draws nothing of its own under the child.
  {
    std::unique_ptr<TBitmap> probe = CreateBitmap32(8, 8);
    PatBlt(probe->Canvas()->GetHandle(), 0, 0, 8, 8, BLACKNESS);
    SendMessageA(Client(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(probe->Canvas()->GetHandle()), 0);
    EXPECT_EQ(GetPixel(probe->Canvas()->GetHandle(), 4, 4), RGB(0, 0, 0));
  }
  const std::vector<TMenuItem*> bar = Forms->MainMenu->BarItems();
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_EQ(bar[1]->Caption(), "&Edit");
  // Close, restore and minimize in their normal frames, close rightmost.
  EXPECT_EQ(formtest::ButtonPixel(p, htcMDIClose), Rgb(150, 30, 30));
  EXPECT_EQ(formtest::ButtonPixel(p, htcMDIRestore), Rgb(150, 30, 150));
  EXPECT_EQ(formtest::ButtonPixel(p, htcMDIMinimize), Rgb(30, 30, 150));
  EXPECT_GT(p->TitleButton(htcMDIClose)->Rect.Left, p->TitleButton(htcMDIRestore)->Rect.Left);
  for (int code : {htcMDIClose, htcMDIRestore, htcMDIMinimize})
    EXPECT_EQ(p->TitleHitTest(ButtonOnScreen(p, code)), code);
  // The icon at the line's left end is not the menu line's colour.
  const TsFormGeometry f = p->Geometry();
  const int lineTop = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  EXPECT_NE(formtest::CachePixel(p, f.ShadowLeft + GetSystemMetrics(SM_CXFRAME) + 8, lineTop + 8), Rgb(170, 210, 240));
  // While a menu of the form is open a hidden form shows the buttons above it.
  SendMessageA(Forms->Main->Handle(), WM_ENTERMENULOOP, 0, 0);
  HWND icons = nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->Name() == "lxMDIIcons") icons = Screen->Forms(i)->Handle();
  ASSERT_NE(icons, nullptr);
  EXPECT_TRUE(IsWindowVisible(icons));
  SendMessageA(Forms->Main->Handle(), WM_EXITMENULOOP, 0, 0);
  EXPECT_FALSE(IsWindow(icons));
}

// Under a maximized child the client window asks the form's controls that paint themselves
// for their backgrounds instead of painting its area.
TEST_F(MDI, WithAMaximizedChildTheClientAsksTheFormsOpaqueControls) {
  auto* opaque = new TBackgroundProbe(Forms->Main.get(), true);
  auto* seeThrough = new TBackgroundProbe(Forms->Main.get(), false);
  opaque->SetParent(Forms->Main.get());
  seeThrough->SetParent(Forms->Main.get());
  MaximizeActive();
  ErasedPixel(Client(), 4, 4);
  EXPECT_TRUE(opaque->Asked);
  EXPECT_FALSE(seeThrough->Asked);
}

// A maximized child's caption change repaints the main form's caption (which shows the
// child's) under the main form's caption cover.
TEST_F(MDI, AMaximizedChildsCaptionChangeIsCoveredOnTheMainForm) {
  MaximizeActive();
  TCustomForm* child = Forms->Main->ActiveMDIChild();
  {
    TCoverWatch watch(Forms->Main->Handle(), MainProvider());
    SetWindowTextA(child->Handle(), "Renamed");
    EXPECT_GT(TCoverWatch::Seen, 0);
    EXPECT_EQ(TCoverWatch::Covered, TCoverWatch::Seen);
  }
  EXPECT_EQ(MainProvider()->CaptionCoverWindow(), nullptr);
  EXPECT_EQ(child->Caption(), "Renamed");
}

// Children under a maximized one paint nothing; the maximized one paints.
TEST_F(MDI, ChildrenUnderAMaximizedOnePaintNothing) {
  MaximizeActive();
  const struct {
    int Child;
    bool Painted;
  } cases[] = {{0, false}, {1, false}, {2, true}};
  for (const auto& c : cases)
    EXPECT_EQ(ErasedPixel(Forms->Children[static_cast<size_t>(c.Child)]->Handle(), 10, 10) != RGB(0, 0, 0), c.Painted)
        << c.Child;
}

// A child lying whole inside the client window builds its frame cache anew when erased; one
// reaching out of it keeps its cache.
TEST_F(MDI, AnErasedChildInsideTheClientBuildsItsCacheAnew) {
  const struct {
    int Left;
    bool Built;
  } cases[] = {{10, true}, {-60, false}};
  TForm* child = Forms->Children[0];
  TsSkinProvider* p = ProviderOf(child);
  for (const auto& c : cases) {
    child->SetBounds(c.Left, 10, 220, 160);
    formtest::Pump();
    formtest::RepaintFrame(p);
    const int builds = p->FrameCacheBuilds;
    ErasedPixel(child->Handle(), 10, 10);
    EXPECT_EQ(p->FrameCacheBuilds > builds, c.Built) << c.Left;
    EXPECT_EQ(p->SkinData()->CacheBitmap()->GetHeight(), child->Height()) << c.Left;
  }
}

// The end of a scroll in any form redraws the MDI client window too.
TEST_F(MDI, AScrollsEndRedrawsTheClient) {
  ASSERT_EQ(ClientPixel(-30, -30), MDIFillA);
  const RECT r = formtest::WindowRectOf(Client());
  {
    TWindowDC dc(Client(), TWindowDC::TArea::Window);
    PatBlt(dc.Get(), r.right - r.left - 60, r.bottom - r.top - 60, 60, 60, BLACKNESS);
  }
  formtest::Command(Forms->Children[0], SkinCmdScrollFinish);
  TWindowDC dc(Client(), TWindowDC::TArea::Window);
  EXPECT_EQ(GetPixel(dc.Get(), r.right - r.left - 30, r.bottom - r.top - 30), MDIFillA);
}

// A skin applied marks the main form active when its active child is the active form.
TEST_F(MDI, ALoadedSkinMarksTheMainFormActiveWithItsActiveChild) {
  const struct {
    bool OtherFormActive, Active;
  } cases[] = {{false, true}, {true, false}};
  for (const auto& c : cases) {
    std::unique_ptr<TForm> other;
    if (c.OtherFormActive) {
      other = std::make_unique<TForm>(nullptr);
      other->Show();
      SetActiveWindow(other->Handle());
      formtest::Pump();
    }
    TsSkinProvider* p = MainProvider();
    p->FormActive = false;
    formtest::Command(Forms->Main.get(), SkinCmdSkinLoaded, M.get());
    EXPECT_EQ(p->FormActive, c.Active) << c.OtherFormActive;
  }
}

TEST_F(MDI, TheMaximizedChildsButtonsCloseRestoreAndMinimizeIt) {
  const struct {
    int Code;
    bool Visible, Zoomed, Iconic;
  } cases[] = {{htcMDIClose, false, false, false}, {htcMDIRestore, true, false, false}, {htcMDIMinimize, true, false, true}};
  bool first = true;
  for (const auto& c : cases) {
    if (!first) {
      TearDown();
      SetUp();
    }
    first = false;
    MaximizeActive();
    TsSkinProvider* p = MainProvider();
    TCustomForm* child = Forms->Main->ActiveMDIChild();
    ASSERT_TRUE(IsZoomed(child->Handle()));
    p->PressTitleButton(c.Code);
    EXPECT_EQ(p->TitleButton(c.Code)->State, 2);
    p->ReleaseTitleButton(c.Code, ButtonOnScreen(p, c.Code));
    formtest::Pump(100);
    EXPECT_EQ(IsWindowVisible(child->Handle()) != FALSE, c.Visible) << c.Code;
    EXPECT_EQ(IsZoomed(child->Handle()) != FALSE, c.Zoomed) << c.Code;
    EXPECT_EQ(IsIconic(child->Handle()) != FALSE, c.Iconic) << c.Code;
  }
}

TEST_F(MDI, TheWindowMenuListsTheVisibleChildrenAndAStaleEntryDoesNothing) {
  Forms->Children[1]->Hide();
  formtest::Pump();
  TMessage m{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Forms->WindowItem->Handle()), 0, 0};
  MainProvider()->HandleInitMenuPopup(m);
  std::vector<std::string> captions;
  for (int i = 0; i < Forms->WindowItem->Count(); ++i) captions.push_back(Forms->WindowItem->Items(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"&Arrange", "-", "Child 1", "Child 3"}));
  TMenuItem* third = Forms->WindowItem->Items(3);
  EXPECT_TRUE(third->Checked());
  Forms->WindowItem->Items(2)->Click();
  EXPECT_EQ(Forms->Main->ActiveMDIChild(), Forms->Children[0]);
  // The third child goes: its entry names an index past the children now.
  delete Forms->Children[2];
  Forms->Children.pop_back();
  third->Click();
  EXPECT_EQ(Forms->Main->ActiveMDIChild(), Forms->Children[0]);
}

TEST_F(MDI, TilingTakesTheSystemMenuStyleFromTheActiveChild) {
  HWND active = Forms->Main->ActiveMDIChild()->Handle();
  SetWindowLongA(active, GWL_STYLE, GetWindowLongA(active, GWL_STYLE) | WS_SYSMENU);
  SendMessageA(Client(), WM_MDITILE, MDITILE_VERTICAL, 0);
  EXPECT_FALSE(formtest::HasSysMenuStyle(active));
}

TEST_F(MDI, ASkinSwitchReachesTheClientAndUnskinningRestoresAll) {
  M->SetSkinName("FrameB");
  formtest::Pump();
  EXPECT_EQ(ClientPixel(-30, -30), MDIFillB);
  M->SetActive(false);
  formtest::Pump();
  EXPECT_NE(SendSkinCommand(Client(), SkinCmdIsSkinned), 1);
  EXPECT_EQ(GetWndAdapter(Client()), nullptr);
  EXPECT_NE(ClientPixel(-30, -30), MDIFillB);
  for (TForm* c : Forms->Children) EXPECT_TRUE(formtest::HasSysMenuStyle(c->Handle())) << c->Caption();
  EXPECT_TRUE(formtest::HasSysMenuStyle(Forms->Main->Handle()));
  // And back.
  M->SetActive(true);
  formtest::Pump();
  EXPECT_EQ(SendSkinCommand(Client(), SkinCmdIsSkinned), 1);
  EXPECT_EQ(ClientPixel(-30, -30), MDIFillB);
}

}  // namespace
