// The skinned status bar and panel: panel rectangles with and without the size grip, a text
// set through the system control repainted from a rebuilt cache, restyling only by the own
// manager, the panel's section following its outer bevel, and both fills in their section's
// colour. The skin is a small folder written to a scratch directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>

#include "framework/win/Messages.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"

namespace {

constexpr COLORREF BarColour = 0x123456, TextColour = 0x00FFFF, PanelColour = 0x224466, LowColour = 0x665544;

const std::string Options =
    "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\n"
    "[STATUSBAR]\r\nSTATES=1\r\nCOLOR=" + std::to_string(BarColour) + "\r\nFONTCOLOR=" + std::to_string(TextColour) +
    "\r\n[PANEL]\r\nSTATES=1\r\nCOLOR=" + std::to_string(PanelColour) + "\r\nFONTCOLOR=16777215\r\n"
    "[PANEL_LOW]\r\nSTATES=1\r\nCOLOR=" + std::to_string(LowColour) + "\r\n"
    "[CHECKBOX]\r\nSTATES=1\r\nCOLOR=0\r\nTRANSPARENCY=100\r\n";

// What a control paints when asked to print itself into a 32-bit image.
class TPrinted {
public:
  explicit TPrinted(TWinControl* c) : W(c->Width()), H(c->Height()) {
    Bmp.SetPixelFormat(TPixelFormat::pf32bit);
    Bmp.SetSize(W, H);
    SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Bmp.Canvas()->GetHandle()), PRF_CLIENT);
  }
  COLORREF At(int x, int y) { return GetPixel(Bmp.Canvas()->GetHandle(), x, y); }
  int Count(const TRect& r, COLORREF c) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += At(x, y) == c ? 1 : 0;
    return n;
  }
  int W, H;
  TBitmap Bmp;
};

class Bars : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    Dir = std::string(tmp) + "orbex-bars-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(Dir.c_str(), nullptr);
    CreateDirectoryA((Dir + "\\Plain").c_str(), nullptr);
    std::ofstream(Dir + "\\Plain\\Options.dat", std::ios::binary | std::ios::trunc) << Options;
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(Dir);
    M->SetSkinName("Plain");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 760, 300);
    Form->HandleNeeded();
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  TsStatusBar* Bar(bool grip) {
    auto* b = new TsStatusBar(Form.get());
    b->SetSizeGrip(grip);
    for (int w : {60, 60, 70, 50, 50}) b->Panels()->Add()->SetWidth(w);
    b->SetParent(Form.get());
    b->SetBounds(0, 250, 740, 19);
    b->SkinData()->AfterLoad();
    b->HandleNeeded();
    return b;
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};
std::string Bars::Dir;

TEST_F(Bars, PanelRectanglesLeaveRoomForTheGrip) {
  const std::vector<int> widths{60, 60, 70, 50, 50};
  auto plain = StatusPanelRects(widths, false, false, 740, 19);
  auto grip = StatusPanelRects(widths, false, true, 740, 19);
  ASSERT_EQ(plain.size(), 5u);
  EXPECT_EQ(plain[1].Left, 60);
  EXPECT_EQ(plain[3].Right, 240);
  EXPECT_EQ(plain[4].Right, 740);
  EXPECT_EQ(grip[4].Right, 740 - 18);
  EXPECT_EQ(grip[0].Right, 60);
  auto simple = StatusPanelRects(widths, true, true, 740, 19);
  ASSERT_EQ(simple.size(), 1u);
  EXPECT_EQ(simple[0], (TRect{0, 1, 740 - 18 - 1, 18}));
  EXPECT_EQ(StatusPanelRects({}, false, false, 100, 19).size(), 1u);
  // A bar reads its window: with and without grip.
  TsStatusBar* withGrip = Bar(true);
  EXPECT_EQ(withGrip->PanelRects().back().Right, withGrip->Width() - 18);
  EXPECT_EQ(withGrip->PanelRects()[2].Right, 190);
  TsStatusBar* without = Bar(false);
  EXPECT_EQ(without->PanelRects().back().Right, without->Width());
}

TEST_F(Bars, StatusBarFillsWithItsSectionAndRepaintsANewText) {
  TsStatusBar* b = Bar(true);
  EXPECT_EQ(b->PanelText(2), "");
  TPrinted before(b);
  EXPECT_EQ(before.At(100, 9), BarColour);
  EXPECT_EQ(before.At(730, 3), BarColour);
  EXPECT_EQ(b->SkinData()->BGChanged, 0);
  const TRect third{121, 1, 189, 18};
  EXPECT_EQ(before.Count(third, TextColour), 0);
  // The system control keeps the text; the bar marks its cache stale and paints it anew.
  SendMessageA(b->Handle(), SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("5mV/div"));
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
  EXPECT_EQ(b->PanelText(2), "5mV/div");
  b->SkinData()->BGChanged = 0;
  SendMessageA(b->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
  TPrinted after(b);
  EXPECT_GT(after.Count(third, TextColour), 10);
  EXPECT_EQ(after.At(730, 3), BarColour);
}

TEST_F(Bars, RestyleCommandsOfAnotherManagerAreIgnored) {
  TsStatusBar* b = Bar(false);
  TPrinted first(b);
  ASSERT_EQ(b->SkinData()->BGChanged, 0);
  TsSkinManager other(nullptr);
  ASSERT_NE(TsSkinManager::DefaultManager(), &other);
  for (std::uint16_t command : {SkinCmdSkinLoaded, SkinCmdUnskin, SkinCmdRedrawSkin}) {
    const WPARAM wp = MakeSkinWParam(command);
    TSkinCommandSendScope scope(wp, reinterpret_cast<LPARAM>(&other), b->Handle());
    SendMessageA(b->Handle(), WM_SKINCOMMAND, wp, reinterpret_cast<LPARAM>(&other));
  }
  EXPECT_EQ(b->SkinData()->BGChanged, 0);
  EXPECT_TRUE(b->SkinData()->HasSkin());
  EXPECT_EQ(SendSkinCommand(b->Handle(), SkinCmdIsSkinned), 1);
  {
    const WPARAM wp = MakeSkinWParam(SkinCmdRedrawSkin);
    TSkinCommandSendScope scope(wp, reinterpret_cast<LPARAM>(M.get()), b->Handle());
    SendMessageA(b->Handle(), WM_SKINCOMMAND, wp, reinterpret_cast<LPARAM>(M.get()));
  }
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
}

TEST_F(Bars, PanelSectionFollowsTheBevelOnlyFromItsDefaults) {
  auto* p = new TsPanel(Form.get());
  p->SetParent(Form.get());
  p->SetBounds(10, 10, 200, 100);
  p->SkinData()->AfterLoad();
  p->HandleNeeded();
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL");
  TPrinted raised(p);
  EXPECT_EQ(raised.At(100, 50), PanelColour);
  p->SetBevelOuter(bvNone);
  p->Perform(CM_INVALIDATE, 0, 0);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "CHECKBOX");
  p->SetBevelOuter(bvLowered);
  p->Perform(CM_INVALIDATE, 0, 0);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL_LOW");
  TPrinted lowered(p);
  EXPECT_EQ(lowered.At(100, 50), LowColour);
  p->SetBevelOuter(bvSpace);
  p->Perform(CM_INVALIDATE, 0, 0);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL_LOW");
  p->SkinData()->SetSkinSection("MINE");
  p->SetBevelOuter(bvRaised);
  p->Perform(CM_INVALIDATE, 0, 0);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "MINE");
  EXPECT_EQ(SendSkinCommand(p->Handle(), SkinCmdIsSkinned), 1);
  EXPECT_EQ(SendSkinCommand(p->Handle(), SkinCmdQueryAppObject), reinterpret_cast<LRESULT>(Application));
}

}  // namespace
