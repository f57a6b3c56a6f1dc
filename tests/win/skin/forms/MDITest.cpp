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
  std::unique_ptr<TMDITestForms> Forms;
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
