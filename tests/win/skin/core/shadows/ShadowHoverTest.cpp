// The skin manager's hover tracking (the window left hears of it before the window entered)
// and its form-shadow templates: the built-in images with sizes 9, an "EXBORDER" mask with
// its sizes by "BORDERMODE" and "FORMOFFSET", frames 0 and 1 from its own image or from the
// master bitmap at its rectangle, transparent white cleared, sizes 0 without extended borders.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/skin/ScratchSkins.h"
#include "tests/win/skin/SkinManagerTestEnvironment.h"

namespace {

// The built-in shadow images come from the test program's resources.
[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TSkinManagerTestEnvironment("shadow test"));

struct TSeen {
  HWND Wnd;
  std::uint16_t Command;
  LPARAM LParam;
  bool operator==(const TSeen&) const = default;
};
std::vector<TSeen> Seen;

class THoverTarget : public TForm {
public:
  explicit THoverTarget(TComponent* owner) : TForm(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND) Seen.push_back({Handle(), SkinCommandOf(m.WParam), m.LParam});
    TForm::WndProc(m);
  }
};

TEST(HoverTracking, LeaveBeforeEnterOncePerChange) {
  TsSkinManager m(nullptr);
  THoverTarget a(nullptr), b(nullptr);
  const LPARAM lp = reinterpret_cast<LPARAM>(&m);
  Seen.clear();
  m.TrackHoverWindow(nullptr);   // nothing hovered, nothing to tell
  m.TrackHoverWindow(a.Handle());
  m.TrackHoverWindow(b.Handle());
  m.TrackHoverWindow(b.Handle());   // the same window again
  m.TrackHoverWindow(nullptr);
  const std::vector<TSeen> expected{{a.Handle(), SkinCmdHoverIn, lp},
                                    {a.Handle(), SkinCmdHoverOut, lp},
                                    {b.Handle(), SkinCmdHoverIn, lp},
                                    {b.Handle(), SkinCmdHoverOut, lp}};
  EXPECT_EQ(Seen, expected);
  EXPECT_EQ(m.HoverWindow(), nullptr);
}

// ---------------------------------------------------------------------------------------------

std::uint32_t Pixel(TBitmap* b, int x, int y) { return GetPix(BitmapPixels(b), x, y); }

class Shadows : public testing::Test {
protected:
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetExtendedBorders(true);   // no skin active yet: only the flag
    M->Tables()->GeneralData.emplace_back().ClassName = "GLOBALINFO";
  }
  // An own-image "EXBORDER" entry with borders 20, 10, 15, 12 whose pixels say their frame
  // (0xFF000001 + frame, 40 pixels a frame), with a transparent white pixel at (1, 1).
  void AddExBorder(int frames) {
    TsMaskData& e = M->Tables()->MaskData.emplace_back();
    e.Bmp = CreateBitmap32(40 * frames, 30);
    const TlxPixelBuffer v = BitmapPixels(As<TBitmap>(e.Bmp.get()));
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40 * frames; ++x) SetPix(v, x, y, x % 40 == 1 && y == 1 ? 0x00FFFFFFu : 0xFF000001u + x / 40);
    e.ClassName = "GLOBALINFO";
    e.PropertyName = "EXBORDER";
    e.R = TRect{0, 0, 40 * frames, 30};
    e.ImageCount = static_cast<std::int16_t>(frames);
    e.WL = 20, e.WT = 10, e.WR = 15, e.WB = 12;
  }
  void Rebuild(int formOffset, int borderMode) {
    M->SkinData().ExContentOffs = formOffset;
    M->SkinData().ExDrawMode = borderMode;
    CacheCommonIndexes(M->Tables());
    M->UpdateShadowTemplates();
  }
  std::unique_ptr<TsSkinManager> M;
};

TEST_F(Shadows, BuiltInImagesWithoutExBorder) {
  ASSERT_NE(BuiltInShadowActive(), nullptr);
  Rebuild(6, 0);
  EXPECT_EQ(M->ShadowSizes(), Rect(9, 9, 9, 9));
  EXPECT_EQ(M->ShadowActive()->GetWidth(), BuiltInShadowActive()->GetWidth());
  EXPECT_EQ(M->ShadowInactive()->GetHeight(), BuiltInShadowInactive()->GetHeight());
}

TEST_F(Shadows, ExBorderSizesAndFrames) {
  AddExBorder(2);
  Rebuild(6, 0);
  EXPECT_EQ(M->ShadowSizes(), Rect(14, 4, 9, 6));   // each border less "FORMOFFSET"
  ASSERT_EQ(M->ShadowInactive()->GetWidth(), 40);
  EXPECT_EQ(Pixel(M->ShadowInactive(), 39, 29), 0xFF000001u);   // frame 0
  EXPECT_EQ(Pixel(M->ShadowActive(), 0, 0), 0xFF000002u);       // frame 1
  EXPECT_EQ(Pixel(M->ShadowActive(), 1, 1), 0u);                // transparent white cleared
  Rebuild(6, 1);
  EXPECT_EQ(M->ShadowSizes(), Rect(6, 6, 6, 6));
  // Without extended borders, or once the skin is withdrawn, no shadow.
  M->SetExtendedBorders(false);
  M->UpdateShadowTemplates();
  EXPECT_EQ(M->ShadowSizes(), TRect{});
  M->SetExtendedBorders(true);
  Rebuild(6, 0);
  M->SetActive(false);
  EXPECT_EQ(M->ShadowSizes(), TRect{});
}

TEST_F(Shadows, OneFrameGivesEqualTemplates) {
  AddExBorder(1);
  Rebuild(0, 0);
  EXPECT_EQ(M->ShadowSizes(), Rect(20, 10, 15, 12));
  ASSERT_EQ(M->ShadowActive()->GetWidth(), 40);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(Pixel(M->ShadowActive(), x, 1), Pixel(M->ShadowInactive(), x, 1));
}

// A folder skin whose "EXBORDER" lies in the master bitmap at (10, 0): its frames come from
// there, not from the bitmap's corner.
TEST_F(Shadows, ExBorderInTheMasterBitmap) {
  const std::string dir = formtest::ScratchPath("shadows");
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA((dir + "\\Shadow").c_str(), nullptr);
  auto master = CreateBitmap32(100, 40);
  const TlxPixelBuffer v = BitmapPixels(master.get());
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) SetPix(v, x, y, x < 10 ? 0xFF101010u : x < 50 ? 0xFF202020u : 0xFF303030u);
  master->SaveToFile(dir + "\\Shadow\\MASTER.BMP");
  std::ofstream(dir + "\\Shadow\\Options.dat", std::ios::binary)
      << "[GLOBALINFO]\r\nVERSION=7.2\r\nMASTERBITMAP=MASTER.BMP\r\nFORMOFFSET=6\r\n"
         "EXBORDER=^0010 0000 0090 0030 0020 0010 0015 0012 2 0 0 0\r\n";
  M->SetSkinDirectory(dir);
  M->SetSkinName("Shadow");
  EXPECT_EQ(M->ShadowSizes(), Rect(14, 4, 9, 6));
  ASSERT_EQ(M->ShadowInactive()->GetWidth(), 40);
  EXPECT_EQ(Pixel(M->ShadowInactive(), 0, 0) & 0xFFFFFF, 0x202020u);
  EXPECT_EQ(Pixel(M->ShadowActive(), 0, 0) & 0xFFFFFF, 0x303030u);
  M->SetExtendedBorders(false);   // with the skin active: the shadow goes
  EXPECT_EQ(M->ShadowSizes(), TRect{});
  M.reset();
  for (const char* f : {"\\Shadow\\MASTER.BMP", "\\Shadow\\Options.dat"}) DeleteFileA((dir + f).c_str());
  RemoveDirectoryA((dir + "\\Shadow").c_str());
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
