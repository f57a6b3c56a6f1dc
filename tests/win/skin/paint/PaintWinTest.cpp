// The GDI side of the painting layer under the real (or Wine's) GDI: pixels painted through
// the window-free kernels into a DIB section are what a DC reads back; GradientFill meshes
// meet their corner colours; DC fills honour system colours; mask corners cut window regions;
// no GDI objects leak over a loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sDibSection.h"
#include "skin/paint/win/sGradientWin.h"
#include "skin/paint/win/sMaskRegion.h"
#include "tests/win/ResourceCount.h"

namespace {

class PaintWin : public testing::Test {
protected:
  static void SetUpTestSuite() {
    InitAlphaGraphUnit();
    InitGradientUnit();
  }
  static void TearDownTestSuite() {
    DoneGradientUnit();
    DoneAlphaGraphUnit();
  }
};

COLORREF Read(HDC dc, int x, int y) { return GetPixel(dc, x, y) & 0xFFFFFF; }

TEST_F(PaintWin, StartUpFindsEntryPointsAndGlyphSize) {
  EXPECT_TRUE(LayeredWindowsAvailable());
  EXPECT_NE(SetLayeredWindowAttributesProc, nullptr);
  EXPECT_GT(CheckBoxWidth, 0);
  EXPECT_GT(CheckBoxHeight, 0);
  EXPECT_TRUE(GradientFillAvailable());
}

TEST_F(PaintWin, DibSectionViewMatchesTheDC) {
  for (bool bottomUp : {true, false}) {
    TlxDibSection dib(5, 4, bottomUp);
    ASSERT_TRUE(dib.GetHandle());
    EXPECT_EQ(dib.View().Stride < 0, bottomUp);
    SetPix(dib.View(), 1, 0, 0xFF0000FF);  // blue pixel (pixel order)
    SetPix(dib.View(), 4, 3, 0xFFFF0000);  // red
    GdiFlush();
    TMemoryDC dc(nullptr, dib.GetHandle());
    EXPECT_EQ(Read(dc.Get(), 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(Read(dc.Get(), 4, 3), RGB(255, 0, 0));
  }
  TlxDibSection none(0, 3);
  EXPECT_FALSE(none.GetHandle());
  EXPECT_TRUE(none.View().Empty());
}

TEST_F(PaintWin, NinePieceFrameReadBackThroughADC) {
  // Mask: one 9 x 9 frame of type 0, corners red, sides green, centre blue, borders 3.
  TlxDibSection maskImg(9, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      const bool sx = x >= 3 && x < 6, sy = y >= 3 && y < 6;
      SetPix(maskImg.View(), x, y, sx && sy ? 0xFF0000FF : (sx || sy) ? 0xFF00FF00 : 0xFFFF0000);
    }
  TlxMaskImage m;
  m.Image = maskImg.View();
  m.SrcRect = TRect{0, 0, 9, 9};
  m.DrawMode = dmPaintCentre;
  m.WL = m.WT = m.WR = m.WB = 3;
  TlxDibSection target(40, 25);
  PaintMaskFrame(target.View(), TRect{0, 0, 40, 25}, false, 0, m, TlxBackgroundView{});
  GdiFlush();
  TlxDibSection screenCopy(40, 25);
  TMemoryDC src(nullptr, target.GetHandle()), dst(nullptr, screenCopy.GetHandle());
  ASSERT_TRUE(BitBlt(dst.Get(), 0, 0, 40, 25, src.Get(), 0, 0, SRCCOPY));
  EXPECT_EQ(Read(dst.Get(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(Read(dst.Get(), 39, 24), RGB(255, 0, 0));
  EXPECT_EQ(Read(dst.Get(), 20, 1), RGB(0, 255, 0));
  EXPECT_EQ(Read(dst.Get(), 38, 12), RGB(0, 255, 0));
  EXPECT_EQ(Read(dst.Get(), 20, 12), RGB(0, 0, 255));
}

TEST_F(PaintWin, GradientMeshCorners) {
  TlxDibSection dib(64, 64);
  TMemoryDC dc(nullptr, dib.GetHandle());
  TsGradientArray stops;
  ParseGradientData("255;0;0;2;0;16777215;0;0;2;0;65280;0;0;2;0;16711680;0;0;2;0;0;0;0;2;0", stops);
  PaintGradientMesh(dc.Get(), TRect{0, 0, 64, 64}, stops);
  GdiFlush();
  auto close = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 24 && std::abs(GetGValue(a) - GetGValue(b)) < 24 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 24;
  };
  EXPECT_TRUE(close(Read(dc.Get(), 0, 0), RGB(255, 0, 0)));
  EXPECT_TRUE(close(Read(dc.Get(), 32, 32), RGB(255, 255, 255)));
  EXPECT_TRUE(close(Read(dc.Get(), 62, 1), RGB(0, 255, 0)));
  EXPECT_TRUE(close(Read(dc.Get(), 62, 62), RGB(0, 0, 255)));
  EXPECT_TRUE(close(Read(dc.Get(), 1, 62), RGB(0, 0, 0)));
  // One stop: every vertex takes it.
  TsGradientArray one{{0x00FF00, 0, 0, 2}};
  PaintGradientMesh(dc.Get(), TRect{0, 0, 64, 64}, one);
  GdiFlush();
  EXPECT_TRUE(close(Read(dc.Get(), 50, 10), RGB(0, 255, 0)));
}

TEST_F(PaintWin, DCFillsAndStrips) {
  TlxDibSection dib(20, 20);
  TMemoryDC dc(nullptr, dib.GetHandle());
  FillDCRect(dc.Get(), TRect{0, 0, 20, 20}, static_cast<TColor>(0x80000000 | COLOR_WINDOW));
  EXPECT_EQ(Read(dc.Get(), 5, 5), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  FillDCBorderStrips(dc.Get(), TRect{0, 0, 20, 20}, 2, 0x0000FF, 3, 4, 1);
  EXPECT_EQ(Read(dc.Get(), 10, 0), RGB(255, 0, 0));
  EXPECT_EQ(Read(dc.Get(), 1, 10), RGB(255, 0, 0));
  EXPECT_EQ(Read(dc.Get(), 10, 18), RGB(255, 0, 0));
  EXPECT_EQ(Read(dc.Get(), 17, 10), RGB(255, 0, 0));
  EXPECT_EQ(Read(dc.Get(), 10, 10), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  TlxDibSection copy(20, 20);
  TMemoryDC dc2(nullptr, copy.GetHandle());
  FillDCRect(dc2.Get(), TRect{0, 0, 20, 20}, 0x00FF00);
  CopyBorderStrips(dc2.Get(), 0, 0, 1, 0, 0, dc.Get(), 20, 20);
  EXPECT_EQ(Read(dc2.Get(), 10, 0), RGB(255, 0, 0));
  EXPECT_EQ(Read(dc2.Get(), 0, 10), RGB(255, 0, 0));
  EXPECT_EQ(Read(dc2.Get(), 10, 10), RGB(0, 255, 0));
}

TEST_F(PaintWin, WindowRegionCutFromMaskCorners) {
  // A 12 x 6 frame (type 0) whose top-left and bottom-right corners have key pixels.
  TlxDibSection img(12, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) SetPix(img.View(), x, y, 0xFF808080);
  SetPix(img.View(), 0, 0, KeyPixel);
  SetPix(img.View(), 1, 0, KeyPixel);
  SetPix(img.View(), 0, 1, KeyPixel);
  SetPix(img.View(), 11, 5, KeyPixel);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 12, 6};
  m.WL = m.WT = m.WR = m.WB = 3;
  TOwnedRegion rgn = WindowRegionFromMask(100, 50, m);
  ASSERT_TRUE(rgn);
  EXPECT_FALSE(PtInRegion(rgn.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(rgn.Get(), 1, 0));
  EXPECT_FALSE(PtInRegion(rgn.Get(), 0, 1));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 2, 0));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 1, 1));
  EXPECT_FALSE(PtInRegion(rgn.Get(), 99, 49));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 98, 49));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 50, 25));
}

TEST_F(PaintWin, NoGdiObjectsLeak) {
  TlxDibSection img(12, 6);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 12, 6};
  m.WL = m.WT = 3;
  const TResourceCount before = CountResources();
  for (int i = 0; i < 300; ++i) {
    TlxDibSection dib(30, 30);
    TMemoryDC dc(nullptr, dib.GetHandle());
    FillDCRect(dc.Get(), TRect{0, 0, 30, 30}, 0x123456);
    FillDCBorderStrips(dc.Get(), TRect{0, 0, 30, 30}, 1, 0x654321, 1, 1, 1);
    TOwnedRegion rgn = WindowRegionFromMask(30, 30, m);
  }
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

}  // namespace
