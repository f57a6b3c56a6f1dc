// The main window's behaviour without a port: status texts from packets, the mapping of
// samples to points (every changed sample, broken at columns without one), the grid and trace
// painted straight into the export bitmap, the ini file and the skin switch, and the actions'
// enabled state.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/win/app/mainform/AppTestUtil.h"

using namespace apptest;

namespace {

constexpr TColor kDarkTrace = 0xD9701F, kDarkGrid = 0x565656, kDarkBack = 0x000000;
constexpr TColor kLightTrace = 0x000000, kLightGrid = 0x808080, kLightBack = 0xFFFFFF;

int R(double v) { return static_cast<int>(std::nearbyint(v)); }

std::vector<std::string> PanelTexts(TMainForm& f) {
  std::vector<std::string> t;
  for (int i = 0; i < f.StatusBar->Panels()->Count(); ++i)
    t.push_back(f.StatusBar->Panels()->Items(i)->Text());
  return t;
}

class MainFormTest : public testing::Test {
protected:
  void SetUp() override { Ini = ScratchIni("main"); }
  void TearDown() override { DeleteFileA(Ini.c_str()); }
  std::string Ini;
};

TEST_F(MainFormTest, StatusTextsFollowTheFramesStatusBytes) {
  auto f = MakeMainForm(Ini);
  struct Row { std::uint8_t b4, b5; std::vector<std::string> texts; };
  const Row rows[] = {
      {0x16, 0x04, {"1s/div", "Normal", "1v/div", "x1", "AC"}},
      {0xD7, 0x94, {"2s/div", "HOLD", "10v/div", "x10", "AC"}},
      {0x56, 0x6B, {"1s/div", "MEMORY", "5mV/div", "x1", "DC"}},
      {0x80, 0x00, {"50ns/div", "Once", "20V/div", "x1", "AC"}},
      // Indexes the wire carries but no table names (timebase 34-63, volts 12-15).
      {0x28, 0x0D, {"?", "Normal", "?", "x1", "AC"}},
      {0xFF, 0x1F, {"?", "Roll", "?", "x10", "AC"}},
      {0x21, 0x0B, {"1h/div", "Normal", "5mV/div", "x1", "AC"}}};
  for (const Row& r : rows) {
    Feed(*f->GetScope(), Frame(r.b4, r.b5, 128));
    EXPECT_EQ(PanelTexts(*f), r.texts) << int(r.b4) << " " << int(r.b5);
  }
  // "S" packets that store nothing (no column at 1 s/div past 255; no roll samples at
  // 0.1 ms/div) still bring their status bytes, and the trace follows the cleared columns.
  Feed(*f->GetScope(), Single(0x56, 0x6B, 1000, 7));
  EXPECT_EQ(PanelTexts(*f), (std::vector<std::string>{"1s/div", "MEMORY", "5mV/div", "x1", "DC"}));
  Feed(*f->GetScope(), Single(0x0A, 0x94, 5, 7));
  EXPECT_EQ(PanelTexts(*f), (std::vector<std::string>{"0.1ms/div", "HOLD", "10v/div", "x10", "AC"}));
  EXPECT_EQ(f->TracePoints()[5].Y, R(NoSample * 402 / 256.0));   // was 128: now cleared
}

TEST_F(MainFormTest, MapsSamplesToThePaintBox) {
  auto f = MakeMainForm(Ini, 700, 402);
  std::vector<std::uint8_t> s(256);
  for (int i = 0; i < 256; ++i) s[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i == 255 ? 0 : i);
  s[10] = 128;
  Feed(*f->GetScope(), Frame(0x16, 0x04, s));
  const auto& p = f->TracePoints();
  EXPECT_EQ(p[10].X, 27);     // 10 * 700 / 256 = 27.34
  EXPECT_EQ(p[10].Y, 201);    // 128 * 402 / 256 = 201
  EXPECT_EQ(p[0].X, 0);
  EXPECT_EQ(p[0].Y, 0);
  EXPECT_EQ(p[254].Y, R(254 * 402 / 256.0));
  // Halves round to even: 128 * 700 / 256 = 350 exactly; 64 * 402 / 256 = 100.5 -> 100.
  EXPECT_EQ(p[128].X, 350);
  EXPECT_EQ(p[64].Y, 100);
  // A resize maps every column again.
  f->Scope->SetBounds(0, 0, 512, 256);
  f->FormResize(f.get());
  EXPECT_EQ(p[10].X, 20);
  EXPECT_EQ(p[10].Y, 128);
}

TEST_F(MainFormTest, ATimebaseChangeRemapsEveryClearedColumn) {
  auto f = MakeMainForm(Ini, 700, 402);
  Feed(*f->GetScope(), Frame(0x16, 0x04, 128));
  // A range packet with another timebase: the store drops every other column.
  Feed(*f->GetScope(), Range(0x17, 0x04, 10, std::vector<std::uint8_t>(10, 64)));
  ASSERT_EQ(f->GetScope()->GetSamples()[100], NoSample);
  std::unique_ptr<TBitmap> bmp = f->CreateTraceBitmap();
  // Only columns 10..19 carry a trace now: nothing at Y 201 where the old frame was.
  for (int x = 40; x < 690; x += 7) {
    if (x % 27 == 0) continue;
    EXPECT_NE(PixelOf(*bmp, x, 201), kDarkTrace) << x;
  }
  EXPECT_EQ(PixelOf(*bmp, R(12 * 700 / 256.0), R(64 * 402 / 256.0)), kDarkTrace);
}

TEST_F(MainFormTest, ColumnsWithoutASampleBreakTheTrace) {
  auto f = MakeMainForm(Ini, 700, 402);
  std::vector<std::uint8_t> s(256, 128);
  for (int i = 100; i < 110; ++i) s[static_cast<size_t>(i)] = NoSample;
  s[200] = NoSample;
  s[202] = NoSample;   // 201 stands alone: one point
  Feed(*f->GetScope(), Frame(0x16, 0x04, s));
  std::unique_ptr<TBitmap> bmp = f->CreateTraceBitmap();
  const int y = 201;
  // Inside the gap, away from the grid's verticals, no trace and nothing near the bottom.
  for (int x = R(99 * 700 / 256.0) + 1; x < R(110 * 700 / 256.0); ++x) {
    if (x == R(100 * 700 / 256.0)) continue;   // grid line at i = 100
    EXPECT_NE(PixelOf(*bmp, x, y), kDarkTrace) << x;
    EXPECT_NE(PixelOf(*bmp, x, 399), kDarkTrace) << x;
  }
  EXPECT_EQ(PixelOf(*bmp, R(99 * 700 / 256.0), y), kDarkTrace);
  EXPECT_EQ(PixelOf(*bmp, R(50 * 700 / 256.0) + 1, y), kDarkTrace);
  EXPECT_EQ(PixelOf(*bmp, R(201 * 700 / 256.0), y), kDarkTrace);
  EXPECT_NE(PixelOf(*bmp, R(201 * 700 / 256.0) + 1, y), kDarkTrace);
}

TEST_F(MainFormTest, ExportBitmapHoldsGridAndTracePaintedDirectly) {
  auto f = MakeMainForm(Ini, 700, 402);
  const int W = 700, H = 402;
  Feed(*f->GetScope(), Frame(0x16, 0x04, 128));
  std::unique_ptr<TBitmap> bmp = f->CreateTraceBitmap();
  ASSERT_EQ(bmp->GetPixelFormat(), TPixelFormat::pf8bit);
  ASSERT_EQ(bmp->GetWidth(), W);
  ASSERT_EQ(bmp->GetHeight(), H);
  const int yTrace = R(128 * H / 256.0);
  auto isVertical = [&](int x) {
    for (int i = 0; i < 256; i += 10) if (R(i * W / 256.0) == x) return true;
    return false;
  };
  auto isTick = [&](int x) {
    for (int i = 0; i < 256; i += 2) if (i % 10 != 0 && R(i * W / 256.0) == x) return true;
    return false;
  };
  auto isHorizontal = [&](int y) {
    for (int j = 0; j <= 40; j += 5) if (R(j * H / 40.0) == y) return true;
    return false;
  };
  // Full verticals from top to bottom, ticks only in the bottom 5 rows.
  for (int i = 0; i < 256; i += 10) {
    const int x = R(i * W / 256.0);
    for (int y : {1, 50, H / 2 + 3, H - 1}) {
      if (y == yTrace || isHorizontal(y)) continue;
      EXPECT_EQ(PixelOf(*bmp, x, y), kDarkGrid) << i << "," << y;
    }
  }
  for (int i = 2; i < 256; i += 2) {
    if (i % 10 == 0) continue;
    const int x = R(i * W / 256.0);
    EXPECT_EQ(PixelOf(*bmp, x, H - 3), kDarkGrid) << i;
    if (!isVertical(x)) {
      EXPECT_EQ(PixelOf(*bmp, x, H - 7), kDarkBack) << i;
    }
  }
  // Full horizontals across, ticks only in the first 5 columns.
  for (int j = 0; j <= 40; ++j) {
    const int y = R(j * H / 40.0);
    if (y >= H || y == yTrace) continue;
    EXPECT_EQ(PixelOf(*bmp, 2, y), kDarkGrid) << j;
    const int x = 333;   // not a vertical
    ASSERT_FALSE(isVertical(x) || isTick(x));
    EXPECT_EQ(PixelOf(*bmp, x, y), j % 5 == 0 ? kDarkGrid : kDarkBack) << j;
  }
  // The trace of a frame of 128s lies on one row.
  for (int x = 0; x < R(255 * W / 256.0); x += 13) EXPECT_EQ(PixelOf(*bmp, x, yTrace), kDarkTrace) << x;
  EXPECT_EQ(PixelOf(*bmp, 333, yTrace - 1), kDarkBack);

  // An "R" packet changes only its columns.
  Feed(*f->GetScope(), Range(0x16, 0x04, 100, std::vector<std::uint8_t>(20, 64)));
  bmp = f->CreateTraceBitmap();
  const int y64 = R(64 * H / 256.0);
  EXPECT_EQ(PixelOf(*bmp, R(110 * W / 256.0) + 1, y64), kDarkTrace);
  EXPECT_NE(PixelOf(*bmp, R(110 * W / 256.0) + 1, yTrace), kDarkTrace);
  EXPECT_EQ(PixelOf(*bmp, R(50 * W / 256.0) + 1, yTrace), kDarkTrace);
  EXPECT_EQ(PixelOf(*bmp, R(200 * W / 256.0) + 1, yTrace), kDarkTrace);
}

TEST_F(MainFormTest, ExportWritesTheBitmapFileTheUserChose) {
  auto f = MakeMainForm(Ini, 300, 200);
  Feed(*f->GetScope(), Frame(0x16, 0x04, 128));
  const std::string out = ScratchIni("export") + ".bmp";
  f->AskExportFileName = [&](std::string& name) { name = out; return true; };
  f->aScreenCaptureExecute(f.get());
  TBitmap bmp;
  bmp.LoadFromFile(out);
  EXPECT_EQ(bmp.GetPixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(bmp.GetWidth(), 300);
  EXPECT_EQ(bmp.GetHeight(), 200);
  EXPECT_EQ(PixelOf(bmp, 11, R(128 * 200 / 256.0)), kDarkTrace);
  DeleteFileA(out.c_str());
  // Cancelling writes nothing.
  f->AskExportFileName = [&](std::string&) { return false; };
  f->aScreenCaptureExecute(f.get());
  EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MainFormTest, FreshStartIsDarkAndWritesTheIni) {
  auto f = MakeMainForm(Ini);
  EXPECT_EQ(f->SkinManager->GetSkinName(), "Dusk (internal)");
  EXPECT_EQ(f->TraceColor(), kDarkTrace);
  EXPECT_EQ(f->GridColor(), kDarkGrid);
  EXPECT_EQ(f->BackgroundColor(), kDarkBack);
  EXPECT_NE(ReadFileText(Ini).find("[Settings]"), std::string::npos);
  EXPECT_NE(ReadFileText(Ini).find("Skin=Dusk (internal)"), std::string::npos);
  EXPECT_TRUE(f->aConnect->Enabled());
  EXPECT_FALSE(f->aDisconnect->Enabled());
}

TEST_F(MainFormTest, LightAndDarkSwitchColoursAndAreRemembered) {
  {
    auto f = MakeMainForm(Ini);
    f->Light1Click(f.get());
    EXPECT_EQ(f->SkinManager->GetSkinName(), "Linden (internal)");
    EXPECT_EQ(f->TraceColor(), kLightTrace);
    EXPECT_EQ(f->GridColor(), kLightGrid);
    EXPECT_EQ(f->BackgroundColor(), kLightBack);
    EXPECT_NE(ReadFileText(Ini).find("Skin=Linden (internal)"), std::string::npos);
    std::unique_ptr<TBitmap> bmp = f->CreateTraceBitmap();
    EXPECT_EQ(PixelOf(*bmp, 333, 7), kLightBack);
    EXPECT_EQ(PixelOf(*bmp, 0, 7), kLightGrid);
  }
  {
    auto f = MakeMainForm(Ini);   // a restart keeps the light skin
    EXPECT_EQ(f->SkinManager->GetSkinName(), "Linden (internal)");
    EXPECT_EQ(f->BackgroundColor(), kLightBack);
    f->Dark1Click(f.get());
    EXPECT_EQ(f->TraceColor(), kDarkTrace);
    EXPECT_EQ(f->BackgroundColor(), kDarkBack);
    EXPECT_NE(ReadFileText(Ini).find("Skin=Dusk (internal)"), std::string::npos);
  }
}

TEST_F(MainFormTest, UnknownSkinNamesFallBackToTheFirstStoredSkin) {
  for (const char* stored : {"Foo", "dusk (internal)", "", "Linden (internal).tez"}) {
    WriteFileText(Ini, std::string("[Settings]\r\nSkin=") + stored + "\r\n");
    auto f = MakeMainForm(Ini);
    const bool light = std::string(stored) == "Linden (internal).tez";
    EXPECT_EQ(f->SkinManager->GetSkinName(), light ? "Linden (internal)" : "Dusk (internal)") << stored;
    EXPECT_EQ(f->BackgroundColor(), light ? kLightBack : kDarkBack) << stored;
    EXPECT_NE(ReadFileText(Ini).find(light ? "Skin=Linden (internal)" : "Skin=Dusk (internal)"),
              std::string::npos)
        << stored;
  }
}

TEST_F(MainFormTest, AnUnwritableSettingsFileIsReportedAndTheSkinStillApplies) {
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const std::exception& e) { reported.push_back(e.what()); };
  const std::string ini = "C:\\orbex-no-such-folder\\orbex.ini";
  auto f = MakeMainForm(ini);
  f->Light1Click(f.get());
  Application->OnException = nullptr;
  EXPECT_EQ(reported.size(), 2u);   // the start-up write and the switch
  EXPECT_EQ(f->BackgroundColor(), kLightBack);
  EXPECT_EQ(f->SkinManager->GetSkinName(), "Linden (internal)");
}

}  // namespace
