// The window-free part of the glow windows: where a glow goes around a control (margins, cuts
// at covering edges, glows of no pixels refused) and its picture as premultiplied colour with
// the glow mask's band as coverage, also where the painter stretches it or a cut crops it.
#include <gtest/gtest.h>

#include "skin/paint/lxGlowCore.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using painttest::TTestImage;

namespace {

const TRect Control = Bounds(200, 150, 100, 30);
const TRect Borders12{12, 12, 12, 12};

TlxGlowGeometry Geometry(const TRect& visible, const TRect& borders = Borders12, int margin = 2) {
  TlxGlowGeometry g;
  EXPECT_TRUE(GlowGeometry(Control, visible, borders, margin, g));
  return g;
}

}  // namespace

TEST(GlowGeometry, MarginsAndCuts) {
  TlxGlowGeometry g = Geometry(TRect{0, 0, 100, 30});
  EXPECT_EQ(g.Window, Bounds(190, 140, 120, 50));
  EXPECT_EQ(g.FullRect, Bounds(0, 0, 120, 50));

  // Covered right of x 60 and below y 20: cut at both edges, no halo beyond them.
  g = Geometry(TRect{0, 0, 60, 20});
  EXPECT_EQ(g.Window, Rect(190, 140, 260, 170));
  EXPECT_EQ(g.FullRect, Bounds(0, 0, 120, 50));
  // Covered left of x 40 and above y 5: the kept part starts inside the full picture.
  g = Geometry(TRect{40, 5, 100, 30});
  EXPECT_EQ(g.Window, Rect(240, 155, 310, 190));
  EXPECT_EQ(g.FullRect, Bounds(-50, -15, 120, 50));
  // A visible part of the control's size is never cut, wherever it lies.
  EXPECT_EQ(Geometry(TRect{5, 5, 105, 35}).Window, Bounds(190, 140, 120, 50));
  // A margin wider than the border already keeps the glow inside the visible part there.
  g = Geometry(TRect{1, 0, 100, 30}, TRect{2, 2, 2, 2}, 5);
  EXPECT_EQ(g.Window, Rect(203, 153, 297, 177));
}

TEST(GlowGeometry, NoPixelsNoGlow) {
  TlxGlowGeometry g;
  EXPECT_FALSE(GlowGeometry(Bounds(0, 0, 1, 1), TRect{0, 0, 1, 1}, TRect{}, 1, g));   // -1 x -1
  EXPECT_FALSE(GlowGeometry(Bounds(0, 0, 10, 10), TRect{0, 0, 10, 10}, TRect{0, 5, 0, 5}, 5, g));   // width 0
  EXPECT_TRUE(GlowGeometry(Bounds(0, 0, 10, 10), TRect{0, 0, 10, 10}, TRect{0, 5, 1, 5}, 5, g));
  EXPECT_EQ(g.Window.Width(), 1);
  // Cuts that leave nothing: the visible part lies outside the control.
  EXPECT_FALSE(GlowGeometry(Control, TRect{200, 0, 260, 30}, Borders12, 2, g));
  EXPECT_FALSE(GlowGeometry(Control, TRect{0, 0, 60, -40}, Borders12, 2, g));
  EXPECT_FALSE(GlowGeometry(Control, TRect{0, 0, 0, 30}, Borders12, 2, g));   // nothing visible
  // Sizes from skin data beyond any screen.
  EXPECT_FALSE(GlowGeometry(Control, TRect{0, 0, 100, 30}, TRect{1 << 29, 0, 0, 0}, 2, g));
  EXPECT_FALSE(GlowGeometry(Bounds(0, 0, 100000, 100000), TRect{0, 0, 100000, 100000}, Borders12, 0, g));
}

namespace {

// One frame of 30 x 30 over its band: colour (200, 100, 50) throughout, the band's red 0 left
// of x 10, 128 up to x 20, 255 from there; a key pixel at (15, 15).
TTestImage BandedMask() {
  TTestImage img(30, 60);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      img.Set(x, y, 0xFFC86432u);
      const std::uint32_t m = x < 10 ? 0 : x < 20 ? 128 : 255;
      img.Set(x, y + 30, 0xFF000000u | m << 16 | m << 8 | m);
    }
  img.Set(15, 15, KeyPixel);
  return img;
}

TlxMaskImage MaskOver(const TTestImage& img, int drawMode) {
  TlxMaskImage m;
  m.Image = img.View();
  m.OwnImage = true;
  m.SrcRect = TRect{0, 0, 30, 60};
  m.ImageCount = 1;
  m.MaskType = 1;
  m.DrawMode = drawMode;
  m.WL = m.WT = m.WR = m.WB = 12;
  return m;
}

}  // namespace

TEST(GlowImage, PremultipliedColourWithBandCoverage) {
  const TTestImage img = BandedMask();
  TTestImage out(30, 30, painttest::TLayout::BottomUp);
  out.Fill(0x12345678u);
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, MaskOver(img, dmPaintCentre));
  EXPECT_EQ(out.Get(5, 5), 0xFFC86432u);     // band 0: all of the colour
  EXPECT_EQ(out.Get(12, 5), 0x7F643219u);    // band 128: alpha 127, colour * 127 / 255
  EXPECT_EQ(out.Get(25, 5), 0x00000000u);    // band 255: nothing
  EXPECT_EQ(out.Get(15, 15), 0x00000000u);   // key pixel of the centre
  EXPECT_EQ(out.Get(16, 15), 0x7F643219u);

  // Without the centre bit the centre stays fully transparent.
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, MaskOver(img, 0));
  EXPECT_EQ(out.Get(15, 14), 0u);
  EXPECT_EQ(out.Get(5, 5), 0xFFC86432u);
  // Nothing in state 0 with draw mode value 2: all cleared.
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, MaskOver(img, dmNoNormal));
  EXPECT_EQ(out.Get(5, 5), 0u);

  // A mask without a band covers fully wherever it is not the key.
  TlxMaskImage plain = MaskOver(img, dmPaintCentre);
  plain.SrcRect = TRect{0, 0, 30, 30};
  plain.MaskType = 0;
  PaintGlowImage(out.View(), TRect{0, 0, 30, 30}, plain);
  EXPECT_EQ(out.Get(25, 5), 0xFFC86432u);
  EXPECT_EQ(out.Get(15, 15), 0u);
}

TEST(GlowImage, StretchedAndCutPicturesAgree) {
  const TTestImage img = BandedMask();
  for (int mode : {dmStretch | dmPaintCentre, dmPaintCentre}) {
    TTestImage full(120, 50);
    PaintGlowImage(full.View(), TRect{0, 0, 120, 50}, MaskOver(img, mode));
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 120; ++x) {
        const std::uint32_t p = full.Get(x, y), a = p >> 24;
        ASSERT_LE(p & 0xFF, a);
        ASSERT_LE(p >> 8 & 0xFF, a);
        ASSERT_LE(p >> 16 & 0xFF, a);
      }
    EXPECT_EQ(full.Get(110, 45), 0u);            // right corner over band 255
    EXPECT_EQ(full.Get(3, 45), 0xFFC86432u);     // left corner over band 0
    // A cut keeps exactly that part of the full picture.
    TTestImage cut(70, 35);
    PaintGlowImage(cut.View(), Bounds(-50, -15, 120, 50), MaskOver(img, mode));
    for (int y = 0; y < 35; ++y)
      for (int x = 0; x < 70; ++x) ASSERT_EQ(cut.Get(x, y), full.Get(x + 50, y + 15)) << x << "," << y;
  }
}
