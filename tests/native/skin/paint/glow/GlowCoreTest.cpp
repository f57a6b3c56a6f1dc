// The glow windows' window-free part: where a glow goes (margins, cuts at covered edges, no
// glow of no pixels) and its picture, premultiplied colour with the band's coverage as alpha.
// The fuzz target checks that stretched and cut pictures agree.
#include <gtest/gtest.h>

#include "skin/paint/lxGlowCore.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

TEST(GlowGeometry, MarginsCutsAndNoPixels) {
  const TRect control = Bounds(200, 150, 100, 30), b12{12, 12, 12, 12};
  struct TCase {
    TRect Visible, Borders;
    int Margin;
    bool Made;
    TRect Window, Full;
  } cases[] = {
      {{0, 0, 100, 30}, b12, 2, true, Bounds(190, 140, 120, 50), Bounds(0, 0, 120, 50)},
      {{0, 0, 60, 20}, b12, 2, true, Rect(190, 140, 260, 170), Bounds(0, 0, 120, 50)},        // covered right, below
      {{40, 5, 100, 30}, b12, 2, true, Rect(240, 155, 310, 190), Bounds(-50, -15, 120, 50)},  // covered left, above
      {{5, 5, 105, 35}, b12, 2, true, Bounds(190, 140, 120, 50), Bounds(0, 0, 120, 50)},      // same size: no cut
      {{1, 0, 100, 30}, {2, 2, 2, 2}, 5, true, Rect(203, 153, 297, 177), Bounds(0, 0, 94, 24)},  // margin > border
      {{0, 0, 100, 30}, b12, 62, false, {}, {}},       // 0 pixels wide
      {{200, 0, 260, 30}, b12, 2, false, {}, {}},      // cut beyond the control
      {{0, 0, 0, 30}, b12, 2, false, {}, {}},          // nothing visible
      {{0, 0, 100, 30}, {1 << 29, 0, 0, 0}, 2, false, {}, {}},
  };
  for (const TCase& c : cases) {
    TlxGlowGeometry g;
    EXPECT_EQ(GlowGeometry(control, c.Visible, c.Borders, c.Margin, g), c.Made) << c.Visible.Left;
    EXPECT_EQ(g.Window, c.Window);
    EXPECT_EQ(g.FullRect, c.Full);
  }
  TlxGlowGeometry g;
  EXPECT_FALSE(GlowGeometry(Bounds(0, 0, 100000, 100000), TRect{0, 0, 100000, 100000}, b12, 0, g));
}

TEST(GlowImage, PremultipliedColourWithBandCoverage) {
  // One 30 x 30 frame over its band, colour (200, 100, 50); band red 0 left of x 10, 128 up
  // to x 20, 255 from there; a key pixel at (15, 15).
  painttest::TTestImage img(30, 60);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const std::uint32_t m = x < 10 ? 0 : x < 20 ? 128 : 255;
      img.Set(x, y, 0xFFC86432u);
      img.Set(x, y + 30, 0xFF000000u | m * 0x010101u);
    }
  img.Set(15, 15, KeyPixel);
  TlxMaskImage mask;
  mask.Image = img.View();
  mask.SrcRect = TRect{0, 0, 30, 60};
  mask.MaskType = 1;
  mask.DrawMode = dmPaintCentre;
  mask.WL = mask.WT = mask.WR = mask.WB = 12;
  painttest::TTestImage out(30, 30, painttest::TLayout::BottomUp);
  out.Fill(0x12345678u);
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, mask);
  EXPECT_EQ(out.Get(5, 5), 0xFFC86432u);     // band 0: all of the colour
  EXPECT_EQ(out.Get(12, 5), 0x7F643219u);    // band 128: alpha 127, colour * 127 / 255
  EXPECT_EQ(out.Get(25, 5), 0u);             // band 255: nothing
  EXPECT_EQ(out.Get(15, 15), 0u);            // the key
  // A cut keeps its part of the whole picture.
  PaintGlowImage(out.View(), Bounds(-7, -3, 30, 30), mask);
  EXPECT_EQ(out.Get(5, 2), 0x7F643219u);
  EXPECT_EQ(out.Get(5, 28), 0u);             // beyond the picture: cleared
  // No centre without its bit; nothing at all in state 0 with draw mode value 2.
  mask.DrawMode = 0;
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, mask);
  EXPECT_EQ(out.Get(16, 14), 0u);
  mask.DrawMode = dmNoNormal;
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, mask);
  EXPECT_EQ(out.Get(5, 5), 0u);
  // Without a band every pixel but the key covers fully.
  mask.SrcRect = TRect{0, 0, 30, 30};
  mask.MaskType = 0;
  mask.DrawMode = dmPaintCentre;
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, mask);
  EXPECT_EQ(out.Get(25, 5), 0xFFC86432u);
  EXPECT_EQ(out.Get(15, 15), 0u);
}
