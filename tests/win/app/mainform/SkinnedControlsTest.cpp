// The program's skinned cool bar, labels and title icon in both stored skins: the grip left of
// the tool bar; the labels of the About box, the help form and "Select device" in the "FORM"
// font colour, the port label 4 pixels left of its box, the forum link's hover colour; the
// title icon from the program's own icons; no stale pixels after a round of switches.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "framework/win/ExtCtrls.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/sFormMetrics.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/forms/sFormRegion.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/app/mainform/AppTestUtil.h"
#include "tests/win/skin/forms/FormTestUtil.h"

using namespace apptest;
using formtest::Pump;

namespace {

// The window's colours as the screen shows them, row by row.
std::vector<std::uint32_t> Capture(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  auto dib = CreateBitmap32(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(dib->Canvas()->GetHandle(), 0, 0, dib->GetWidth(), dib->GetHeight(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  std::vector<std::uint32_t> out;
  const TlxPixelBuffer px = TargetPixels32(dib.get());
  for (int y = 0; y < px.Height; ++y)
    for (int x = 0; x < px.Width; ++x) out.push_back(GetPix(px, x, y) & 0xFFFFFF);
  return out;
}

template <class T>
std::unique_ptr<T> Shown() {
  std::unique_ptr<T> f(NewComponent<T>(nullptr));
  f->Show();
  Pump(100);
  return f;
}

class SkinnedControls : public testing::Test {
protected:
  void SetUp() override {
    Ini = ScratchIni("skinned");
    Main = MakeMainForm(Ini);
    Main->Show();
    SetForegroundWindow(Main->Handle());
    Pump(100);
  }
  void TearDown() override {
    Main.reset();
    DeleteFileA(Ini.c_str());
  }
  const TsGenState& SectionOf(const char* name) {
    const TsSkinTables* t = Main->SkinManager->Tables();
    return t->GeneralData[static_cast<size_t>(FindSectionIndex(t, name))].Props[0];
  }
  std::string Ini;
  std::unique_ptr<TMainForm> Main;
};

// The grip's dots vary along a row; the bar's fill beside them changes only from top to bottom.
int RowsWithDots(TsCoolBar* bar, TControl* tools) {
  const int grip = bar->GripWidth(bar->Bands()->Items(0)), x = tools->Left() - grip;
  auto b = CreateBitmap32(bar->ClientWidth(), bar->ClientHeight());
  HDC dc = b->Canvas()->GetHandle();
  bar->PaintToDC(dc, false);
  int rows = 0;
  for (int y = tools->Top(); y < tools->Top() + tools->Height(); ++y)
    for (int i = x + 1; i < x + grip - 2; ++i)
      if (GetPixel(dc, i, y) != GetPixel(dc, x, y)) {
        ++rows;
        break;
      }
  return rows;
}

TEST_F(SkinnedControls, GripLabelsAndLinkFollowBothSkins) {
  auto about = Shown<TAboutBox>();
  auto help = Shown<THelpForm>();
  auto connect = Shown<TConnectDialog>();
  TsEditLabel* port = connect->cbPort->BoundLabel()->Label();
  ASSERT_NE(port, nullptr);
  std::vector<TsLabel*> labels{about->lblProductName, connect->sLabel1, port};
  for (int i = 0; i < help->ControlCount(); ++i)
    if (auto* l = As<TsLabel>(help->Controls(i)); l != nullptr && l != help->sWebLabel1) labels.push_back(l);
  for (bool light : {false, true}) {
    if (light) Main->Light1Click(Main.get());
    Pump(100);
    EXPECT_EQ(Main->CoolBar1->GripName(), "GRIPH");
    EXPECT_GT(RowsWithDots(Main->CoolBar1, Main->ToolBar1), 3) << light;
    for (TsLabel* l : labels) EXPECT_EQ(l->Font()->GetColor(), SectionOf("FORM").FontColor[0]) << light << l->Name();
    EXPECT_EQ(port->Caption(), "Port name:");
    EXPECT_EQ(port->Left() + port->Width() + 4, connect->cbPort->Left());
    const TColor top = SectionOf("GLOBALINFO").FontColor[2];
    help->sWebLabel1->Perform(CM_MOUSEENTER, 0, 0);
    Pump(60);
    EXPECT_EQ(help->sWebLabel1->Font()->GetColor(), top == -1 ? 0x0000FF : top) << light;
    help->sWebLabel1->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

// The main window has no icon of its own: its title shows the program's small icon. Where the
// icon is opaque (the same drawn on black and on white) the title's pixel is the icon's; with
// the program's icons freed the system's application icon shows instead.
TEST_F(SkinnedControls, TitleIconFromTheProgramsIcons) {
  ASSERT_TRUE(AppLargeIcon() != nullptr && AppSmallIcon() != nullptr && !AppSmallIcon()->Empty());
  TsSkinProvider* p = Main->SkinProvider;
  const TRect r = IconRect(p->Geometry(), SystemMetrics());
  ASSERT_TRUE(!r.IsEmpty() && r.Height() <= 16);
  auto onBlack = CreateBitmap32(r.Width(), r.Height()), onWhite = CreateBitmap32(r.Width(), r.Height());
  PatBlt(onWhite->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), WHITENESS);
  for (TBitmap* b : {onBlack.get(), onWhite.get()})
    DrawIconEx(b->Canvas()->GetHandle(), 0, 0, AppSmallIcon()->GetHandle(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  const TlxPixelBuffer black = TargetPixels32(onBlack.get()), white = TargetPixels32(onWhite.get());
  // How many opaque icon pixels the title does not show.
  auto missing = [&] {
    p->RepaintFormFrame();
    const TlxPixelBuffer cache = TargetPixels32(p->SkinData()->CacheBitmap());
    int n = 0;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) {
        const std::uint32_t c = GetPix(black, x, y) & 0xFFFFFF;
        n += c == (GetPix(white, x, y) & 0xFFFFFF) && (GetPix(cache, r.Left + x, r.Top + y) & 0xFFFFFF) != c;
      }
    return n;
  };
  EXPECT_EQ(missing(), 0);
  // The small icon draws as the icon file's own 16-pixel image (extracted, Wine's garbled it).
  auto designed = CreateBitmap32(r.Width(), r.Height());
  PatBlt(designed->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), WHITENESS);
  HANDLE own = LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 16, 16, 0);
  DrawIconEx(designed->Canvas()->GetHandle(), 0, 0, static_cast<HICON>(own), r.Width(), r.Height(), 0, nullptr,
             DI_NORMAL);
  DestroyIcon(static_cast<HICON>(own));
  GdiFlush();
  const TlxPixelBuffer d = TargetPixels32(designed.get());
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) ASSERT_EQ(GetPix(d, x, y), GetPix(white, x, y)) << x << "," << y;
  DoneRegisteredFormsUnit();
  EXPECT_GT(missing(), 0);
  InitRegisteredFormsUnit();
  EXPECT_EQ(missing(), 0);
}

// The main window after a round of switches, the tool bar left out (still drawn by the system:
// a see-through bar repainted without erasing shows its captions twice); the About logo.
TEST_F(SkinnedControls, SwitchesLeaveNoStalePixels) {
  auto about = Shown<TAboutBox>();
  HWND logo = about->imgLogo->Parent()->Handle();
  const auto logoBefore = Capture(logo);
  about->Hide();
  SetForegroundWindow(Main->Handle());
  Pump(100);
  const auto before = Capture(Main->Handle());
  Main->Light1Click(Main.get());
  Pump(100);
  Main->Dark1Click(Main.get());
  Pump(200);
  const auto after = Capture(Main->Handle());
  RECT w{}, tb{};
  GetWindowRect(Main->Handle(), &w);
  GetWindowRect(Main->ToolBar1->Handle(), &tb);
  OffsetRect(&tb, -w.left, -w.top);
  int stale = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    const POINT p{static_cast<LONG>(i % (w.right - w.left)), static_cast<LONG>(i / (w.right - w.left))};
    stale += !PtInRect(&tb, p) && after[i] != before[i];
  }
  EXPECT_EQ(stale, 0);
  about->Show();
  Pump(100);
  EXPECT_TRUE(Capture(logo) == logoBefore);
}

}  // namespace
