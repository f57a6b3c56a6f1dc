// The program's skinned cool bar and labels in both stored skins: the grip left of the tool
// bar; the title icon from the program's own icons; the labels of the About box, the help form and "Select device" in the font colour of
// the "FORM" section, the port label ending 4 pixels left of its box, the forum link's hover
// colour; and the main window and the About box's logo unchanged after a round of switches.
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
#include "skin/core/sSkinData.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/forms/sFormRegion.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/app/mainform/AppTestUtil.h"
#include "tests/win/skin/forms/FormTestUtil.h"

using namespace apptest;
using formtest::Pump;

namespace {

using TImage = std::vector<std::uint32_t>;

// The window as the screen shows it.
TImage Capture(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap dib;
  dib.SetPixelFormat(TPixelFormat::pf32bit);
  dib.SetSize(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(dib.Canvas()->GetHandle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  TImage out;
  for (int y = 0; y < h; ++y) {
    const auto* row = static_cast<const std::uint32_t*>(dib.ScanLine(y));
    // The screen has no alpha: only the colour counts.
    for (int x = 0; x < w; ++x) out.push_back(row[x] & 0xFFFFFFu);
  }
  return out;
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
  // Runs `check` in the dark skin, then in the light one.
  template <class F>
  void InBothSkins(F check) {
    for (bool light : {false, true}) {
      if (light) Main->Light1Click(Main.get());
      Pump(100);
      check(light ? "Light" : "Dark");
    }
  }
  const TsGenState& SectionOf(const char* name) {
    const TsSkinTables* t = Main->SkinManager->Tables();
    return t->GeneralData[static_cast<size_t>(FindSectionIndex(t, name))].Props[0];
  }
  std::string Ini;
  std::unique_ptr<TMainForm> Main;
};

template <class T>
std::unique_ptr<T> Shown() {
  std::unique_ptr<T> f(NewComponent<T>(nullptr));
  f->Show();
  Pump(100);
  return f;
}

TEST_F(SkinnedControls, GripLeftOfTheToolBar) {
  InBothSkins([&](const char* skin) {
    TsCoolBar* bar = Main->CoolBar1;
    EXPECT_EQ(bar->GripName(), "GRIPH") << skin;
    const int grip = bar->GripWidth(bar->Bands()->Items(0));
    const int x = Main->ToolBar1->Left() - grip;
    ASSERT_GE(x, 0) << skin;
    // The grip's dots vary along a row; the bar's fill beside it runs top to bottom only.
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf32bit);
    b.SetSize(bar->ClientWidth(), bar->ClientHeight());
    bar->PaintToDC(b.Canvas()->GetHandle(), false);
    HDC dc = b.Canvas()->GetHandle();
    int rowsWithDots = 0;
    for (int y = Main->ToolBar1->Top(); y < Main->ToolBar1->Top() + Main->ToolBar1->Height(); ++y)
      for (int i = x + 1; i < x + grip - 2; ++i)
        if (GetPixel(dc, i, y) != GetPixel(dc, x, y)) {
          ++rowsWithDots;
          break;
        }
    EXPECT_GT(rowsWithDots, 3) << skin;
  });
}

TEST_F(SkinnedControls, LabelsTakeTheFormsFontColour) {
  auto about = Shown<TAboutBox>();
  auto help = Shown<THelpForm>();
  auto connect = Shown<TConnectDialog>();
  InBothSkins([&](const char* skin) {
    const TColor font = SectionOf("FORM").FontColor[0];
    for (TsLabel* l : {about->lblProductName, connect->sLabel1, static_cast<TsLabel*>(connect->cbPort->BoundLabel()->Label())})
      EXPECT_EQ(l->Font()->GetColor(), font) << skin << " " << l->Name();
    for (int i = 0; i < help->ControlCount(); ++i) {
      auto* l = As<TsLabel>(help->Controls(i));
      if (l == nullptr || As<TsWebLabel>(l) != nullptr) continue;
      EXPECT_EQ(l->Font()->GetColor(), font) << skin << " " << l->Name();
    }
    TsEditLabel* port = connect->cbPort->BoundLabel()->Label();
    EXPECT_EQ(port->Caption(), "Port name:");
    EXPECT_EQ(port->Left() + port->Width() + 4, connect->cbPort->Left()) << skin;
  });
}

TEST_F(SkinnedControls, ForumLinkShowsTheSkinsHoverColour) {
  auto help = Shown<THelpForm>();
  InBothSkins([&](const char* skin) {
    TColor hover = SectionOf("GLOBALINFO").FontColor[2];
    if (hover == -1) hover = 0x0000FF;
    help->sWebLabel1->Perform(CM_MOUSEENTER, 0, 0);
    Pump(60);
    EXPECT_EQ(help->sWebLabel1->Font()->GetColor(), hover) << skin;
    help->sWebLabel1->Perform(CM_MOUSELEAVE, 0, 0);
    Pump(60);
  });
}

// The main window has no icon of its own: its title shows the program's small icon, made once
// at start-up. Where the icon is opaque (the same drawn on black and on white), the title's
// pixel is the icon's.
TEST_F(SkinnedControls, TitleIconFromTheProgramsIcons) {
  ASSERT_NE(AppLargeIcon(), nullptr);
  ASSERT_NE(AppSmallIcon(), nullptr);
  ASSERT_FALSE(AppSmallIcon()->Empty());
  TsSkinProvider* p = Main->SkinProvider;
  const TRect r = IconRect(p->Geometry(), SystemMetrics());
  ASSERT_FALSE(r.IsEmpty());
  ASSERT_LE(r.Height(), 16);
  auto onBlack = CreateBitmap32(r.Width(), r.Height()), onWhite = CreateBitmap32(r.Width(), r.Height());
  PatBlt(onWhite->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), WHITENESS);
  for (TBitmap* b : {onBlack.get(), onWhite.get()})
    DrawIconEx(b->Canvas()->GetHandle(), 0, 0, AppSmallIcon()->GetHandle(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  const TlxPixelBuffer black = TargetPixels32(onBlack.get()), white = TargetPixels32(onWhite.get());
  // Opaque icon pixels, and how many of them the title shows.
  auto shown = [&](int& opaque) {
    const TlxPixelBuffer cache = TargetPixels32(p->SkinData()->CacheBitmap());
    int same = 0;
    opaque = 0;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) {
        const std::uint32_t c = GetPix(black, x, y) & 0xFFFFFF;
        if (c != (GetPix(white, x, y) & 0xFFFFFF)) continue;
        ++opaque;
        same += (GetPix(cache, r.Left + x, r.Top + y) & 0xFFFFFF) == c ? 1 : 0;
      }
    return same;
  };
  int opaque = 0;
  EXPECT_EQ(shown(opaque), opaque);
  EXPECT_GT(opaque, 20);
  // Without them the title shows the system's application icon: nothing else is loaded.
  DoneRegisteredFormsUnit();
  p->RepaintFormFrame();
  EXPECT_LT(shown(opaque), opaque);
  InitRegisteredFormsUnit();
  p->RepaintFormFrame();
  EXPECT_EQ(shown(opaque), opaque);
}

// The main window's pixels after a round of switches, left out the tool bar (it is still
// drawn by the system: a see-through bar repainted without erasing shows its captions twice).
TEST_F(SkinnedControls, SwitchesLeaveNoStalePixels) {
  auto about = Shown<TAboutBox>();
  HWND logo = about->imgLogo->Parent()->Handle();
  const TImage logoBefore = Capture(logo);
  about->Hide();
  SetForegroundWindow(Main->Handle());
  Pump(100);
  const TImage before = Capture(Main->Handle());
  Main->Light1Click(Main.get());
  Pump(100);
  Main->Dark1Click(Main.get());
  Pump(200);
  const TImage after = Capture(Main->Handle());
  RECT w{}, tb{};
  GetWindowRect(Main->Handle(), &w);
  GetWindowRect(Main->ToolBar1->Handle(), &tb);
  OffsetRect(&tb, -w.left, -w.top);
  const int width = w.right - w.left;
  int stale = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    const POINT p{static_cast<LONG>(i % width), static_cast<LONG>(i / width)};
    if (!PtInRect(&tb, p) && after[i] != before[i]) ++stale;
  }
  EXPECT_EQ(stale, 0);
  about->Show();
  Pump(100);
  EXPECT_TRUE(Capture(logo) == logoBefore);
}

}  // namespace
