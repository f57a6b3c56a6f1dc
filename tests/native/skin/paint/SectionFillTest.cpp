// Section fills: colour, gradient and texture shares, the transparency over colour and bitmap
// backgrounds, and the see-through colour mix (same order everywhere, never with the key).
#include <gtest/gtest.h>

#include "skin/paint/sColorMath.h"
#include "skin/paint/sSectionFill.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(SectionFill, OpaqueColourAndTransparencyOverColours) {
  TTestImage img(6, 4);
  TlxSectionState s;
  s.Color = 0x0000FF;
  PaintSectionFill(img.View(), TRect{0, 0, 6, 4}, s, TlxBackgroundView{}, TPoint{});
  EXPECT_EQ(img.Get(5, 3), 0xFFFF0000u);
  TlxBackgroundView green;
  green.Color = 0x00FF00;
  s.Transparency = 100;
  PaintSectionFill(img.View(), TRect{0, 0, 6, 4}, s, green, TPoint{});
  EXPECT_EQ(img.Get(0, 0), 0xFF00FF00u);  // just the background colour
  s.Transparency = 40;
  PaintSectionFill(img.View(), TRect{0, 0, 6, 4}, s, green, TPoint{});
  EXPECT_EQ(img.Get(2, 2), SwapRB(static_cast<std::uint32_t>(BlendColors(0x00FF00, 0x0000FF, 0.4))) | 0xFF000000u);
  EXPECT_EQ(img.Get(2, 2), 0xFF996600u);  // 40 % green background, 60 % red
}

TEST(SectionFill, SeeThroughMixNeverUsesTheKeyColour) {
  TTestImage img(3, 3);
  TlxSectionState s;
  s.Color = 0x0000FF;
  s.Transparency = 40;
  FillSection(img.View(), TRect{0, 0, 3, 3}, s, TlxBackgroundView{});  // background unknown (key)
  EXPECT_EQ(img.Get(1, 1), 0xFFFF0000u);
  TlxBackgroundView green;
  green.Color = 0x00FF00;
  FillSection(img.View(), TRect{0, 0, 3, 3}, s, green);
  EXPECT_EQ(img.Get(1, 1), 0xFF996600u);  // same order as the transparent background mix
}

TEST(SectionFill, TextureShareWithoutATextureMixesTheBackgroundOnce) {
  TTestImage img(3, 3);
  TlxSectionState s;
  s.Color = 0x0000FF;
  s.Transparency = 40;
  s.ImagePercent = 50;  // no texture found
  TlxBackgroundView green;
  green.Color = 0x00FF00;
  PaintSectionFill(img.View(), TRect{0, 0, 3, 3}, s, green, TPoint{});
  // The colour blended over the background by alpha 40 * 255 div 100 = 102, once:
  // red (255 * 153 + 127) >> 8 = 152, green (255 * 102 + 127) >> 8 = 102.
  EXPECT_EQ(img.Get(1, 1) & 0xFFFFFFu, 0x986600u);
}

TEST(SectionFill, TransparencyOverBitmapAndOverItself) {
  TTestImage parent(10, 10);
  parent.Fill(0xFF000000);
  parent.Set(2, 3, 0xFFC8C8C8);
  TTestImage img(4, 4);
  img.Fill(0xFF101010);
  TlxSectionState s;
  s.Color = 0xFFFFFF;
  s.Transparency = 100;
  TlxBackgroundView bg{&parent.View(), 1, 2, clKeyColor};
  PaintSectionFill(img.View(), TRect{1, 1, 4, 4}, s, bg, TPoint{1, 1});
  EXPECT_EQ(img.Get(1, 1), 0xFFC8C8C8u);  // the rectangle's corner lies at (X + 1, Y + 1) = (2, 3)
  EXPECT_EQ(img.Get(0, 0), 0xFF101010u);
  TTestImage self(img);
  TlxBackgroundView own{&self.View(), 0, 0, clKeyColor};
  TTestImage before(self);
  PaintSectionFill(self.View(), TRect{0, 0, 4, 4}, s, own, TPoint{});
  EXPECT_EQ(self.Storage(), before.Storage());
  s.Transparency = 50;  // blended: weight of the background 127
  PaintSectionFill(img.View(), TRect{0, 0, 4, 4}, s, bg, TPoint{});
  EXPECT_EQ(img.Get(0, 0) & 0xFF, (0u * 127 + 255u * 128 + 127) >> 8);
}

TEST(SectionFill, GradientShareAndTextureModes) {
  TTestImage img(4, 10);
  TlxSectionState s;
  s.Color = 0x000000;
  s.GradientPercent = 50;
  ParseGradientData("16777215;16777215;100;0;0", s.Gradient);
  FillSection(img.View(), TRect{0, 0, 4, 10}, s, TlxBackgroundView{});
  EXPECT_EQ(img.Get(0, 0), 0xFF808080u);  // half white gradient, half black colour (127.5 -> 128)
  // A texture in mode 2 leaves the rows below it in the section colour.
  TTestImage tex(2, 3);
  tex.Fill(0xFF00FF00);
  TlxMaskImage m;
  m.Image = tex.View();
  m.SrcRect = TRect{0, 0, 2, 3};
  m.DrawMode = 2;
  TlxSectionState t;
  t.Color = 0x0000FF;
  t.ImagePercent = 100;
  t.Texture = &m;
  FillSection(img.View(), TRect{0, 0, 4, 10}, t, TlxBackgroundView{});
  EXPECT_EQ(img.Get(3, 2), 0xFF00FF00u);
  EXPECT_EQ(img.Get(3, 3), 0xFFFF0000u);
  // Texture and gradient in one pass: 70 % texture.
  m.DrawMode = 0;
  t.ImagePercent = 70;
  t.GradientPercent = 30;
  ParseGradientData("0;0;100;0;0", t.Gradient);
  FillSection(img.View(), TRect{0, 0, 4, 10}, t, TlxBackgroundView{});
  EXPECT_EQ(img.Get(1, 9), 0xFF00B100u);  // alpha 70 * 255 div 100 = 178: (255 * 178 + 127) >> 8 = 177
}

}  // namespace
