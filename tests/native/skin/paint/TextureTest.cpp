// Texture modes: what each mode covers and what it leaves for the section colour, cropping of
// the last tiles, and banded textures over a background.
#include <gtest/gtest.h>

#include "skin/paint/sTextures.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

struct TTexFixture {
  TTestImage Img{3, 2};
  TlxMaskImage Mask;
  TTexFixture() {
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) Img.Set(x, y, 0xFF000000u | static_cast<std::uint32_t>(x + 1) << 8 | static_cast<std::uint32_t>(y + 1));
    Mask.Image = Img.View();
    Mask.SrcRect = TRect{0, 0, 3, 2};
  }
};

int Painted(const TTestImage& d) {
  int n = 0;
  for (int y = 0; y < d.View().Height; ++y)
    for (int x = 0; x < d.View().Width; ++x) n += d.Get(x, y) != 0;
  return n;
}

TEST(Textures, ModesCoverAndLeave) {
  struct Case { int mode; int painted; TRect left; };
  // Rectangle 8 x 5 at (1, 1) in a 10 x 7 buffer; texture 3 x 2.
  const Case cases[] = {
      {0, 40, lxNoRect}, {1, 40, lxNoRect}, {2, 16, TRect{1, 3, 9, 6}}, {3, 15, TRect{4, 1, 9, 6}},
      {4, 16, TRect{1, 3, 9, 6}}, {5, 15, TRect{4, 1, 9, 6}}, {6, 16, TRect{1, 1, 9, 4}},
      {7, 15, TRect{1, 1, 6, 6}}, {9, 15, TRect{1, 1, 6, 6}}, {10, 32, lxNoRect}};
  for (const Case& c : cases) {
    TTexFixture f;
    TTestImage d(10, 7);
    d.Fill(0);
    TRect r{1, 1, 9, 6};
    PaintTextureByMode(d.View(), r, nullptr, c.mode, f.Mask);
    EXPECT_EQ(Painted(d), c.painted) << "mode " << c.mode;
    EXPECT_EQ(r, c.left) << "mode " << c.mode;
    EXPECT_EQ(d.Get(0, 0), 0u) << "mode " << c.mode;  // nothing outside the rectangle
  }
}

TEST(Textures, EdgeModesOnARectangleSmallerThanTheTexture) {
  // Texture 3 x 2; a 8 x 1 rectangle (lower than it) and a 2 x 5 one (narrower).
  const TRect low{1, 1, 9, 2}, narrow{1, 1, 3, 6};
  for (int mode : {4, 5, 6, 7}) {
    TTexFixture f;
    TTestImage d(10, 7);
    d.Fill(0);
    TRect r = mode % 2 == 0 ? low : narrow;
    PaintTextureByMode(d.View(), r, nullptr, mode, f.Mask);
    EXPECT_EQ(Painted(d), mode % 2 == 0 ? 8 : 10) << "mode " << mode;  // nothing outside the rectangle
    EXPECT_EQ(r, lxNoRect) << "mode " << mode;
    if (mode == 6) {
      EXPECT_EQ(d.Get(1, 1) & 0xFF, 2u);  // the tile's bottom row
    } else if (mode == 7) {
      EXPECT_EQ((d.Get(1, 1) >> 8) & 0xFF, 2u);  // the tile's right columns
      EXPECT_EQ((d.Get(2, 5) >> 8) & 0xFF, 3u);
    }
  }
}

TEST(Textures, TilesAreCroppedNotSqueezed) {
  TTexFixture f;
  TTestImage d(8, 3);
  d.Fill(0);
  TileTexture(d.View(), TRect{0, 0, 8, 3}, f.Img.View());
  EXPECT_EQ(d.Get(6, 0), f.Img.Get(0, 0));
  EXPECT_EQ(d.Get(7, 2), f.Img.Get(1, 0));
  TRect r{0, 0, 8, 3};
  TTestImage pattern(2, 2);
  pattern.Fill(0xFF0000FF);
  PaintTextureByMode(d.View(), r, &pattern.View(), 4, f.Mask);  // a pattern image is always tiled
  EXPECT_EQ(r, lxNoRect);
  EXPECT_EQ(d.Get(7, 2), 0xFF0000FFu);
}

TEST(Textures, BandedTextureOverBackground) {
  // Frame 2 x 1 picture with a 2 x 1 band below: a key pixel and a half-transparent pixel.
  TTestImage img(2, 2);
  img.Set(0, 0, KeyPixel);
  img.Set(1, 0, 0xFF0000C8);
  img.Set(0, 1, 0);
  img.Set(1, 1, 0x00808080);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 2, 2};
  m.MaskType = 1;
  TTestImage parent(10, 10);
  parent.Fill(0xFF00AA00);
  TTestImage d(5, 3);
  d.Fill(0xFF000064);
  TRect r{0, 0, 5, 3};
  FillSectionRect(d.View(), r, TlxBackgroundView{&parent.View(), 0, 0, clKeyColor}, 10, m);
  EXPECT_EQ(r, lxNoRect);
  EXPECT_EQ(d.Get(0, 0), 0xFF00AA00u);  // key: background
  EXPECT_EQ(d.Get(1, 0), 0xFF000096u);  // ((100 - 200) * 128 + 200 * 256) >> 8 = 150
  EXPECT_EQ(d.Get(4, 0), 0xFF00AA00u);  // right of the last whole column: background (mode 10)
  TTestImage e(5, 3);
  e.Fill(0xFF000064);
  TRect r2{0, 0, 5, 3};
  FillSectionRect(e.View(), r2, TlxBackgroundView{}, 0, m);
  EXPECT_EQ(e.Get(0, 0), 0xFF000064u);  // no background colour: key pixels left
  EXPECT_EQ(e.Get(4, 2), 0xFF000064u);
}

}  // namespace
