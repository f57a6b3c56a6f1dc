// Gradient description strings and gradient fills: parsing rules and errors, the pinned
// vertical ramp, stop ends, horizontal rows, the one-pass gradient with texture, clipping.
#include <gtest/gtest.h>

#include "skin/paint/sGradient.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(GradientData, ParsesGroupsOfFive) {
  TsGradientArray st;
  ParseGradientData("255;16711680;100;0;x", st);
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0], (TsGradientStop{255, 16711680, 100, 0}));
  ParseGradientData("-5;7;150;1;0;1;2;", st);  // seven words: one stop
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0], (TsGradientStop{0, 7, 100, 1}));
  ParseGradientData("1;2;-3;9;0;4;5;6;2;0", st);
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[0].Percent, 0);
  EXPECT_EQ(st[0].Mode, 9);
  EXPECT_EQ(st[1], (TsGradientStop{4, 5, 6, 2}));
  ParseGradientData("", st);
  EXPECT_TRUE(st.empty());
}

TEST(GradientData, BadWordsRaiseTheConversionError) {
  TsGradientArray st{TsGradientStop{1, 2, 3, 4}};
  EXPECT_THROW(ParseGradientData("a;1;2;3;4", st), EConvertError);
  EXPECT_THROW(ParseGradientData("1;2;3; 4;5", st), EConvertError);
  EXPECT_THROW(ParseGradientData("1;2;99999999999;0;0", st), EConvertError);
}

TEST(Gradient, VerticalRampPinned) {
  TTestImage img(4, 256, TLayout::BottomUp);
  TsGradientArray st;
  ParseGradientData("255;16711680;100;0;0", st);
  PaintGradient(img.View(), TRect{0, 0, 4, 256}, st, 0);
  for (int r = 0; r < 256; ++r) {
    const std::uint32_t want = 0xFF000000u | static_cast<std::uint32_t>(255 - r) << 16 | static_cast<std::uint32_t>(r);
    ASSERT_EQ(img.Get(0, r), want) << r;
    ASSERT_EQ(img.Get(3, r), want) << r;
  }
}

TEST(Gradient, StopsEndAtTheBottomAndShareRows) {
  TTestImage img(2, 20);
  img.Fill(0);
  TsGradientArray st{{0x000000, 0x0000FF, 30, 0}, {0x00FF00, 0x00FF00, 30, 0}, {0xFF0000, 0xFF0000, 30, 0}};
  PaintGradient(img.View(), TRect{0, 0, 2, 20}, st, 0);
  // First stop rows 0..6, the second starts at row 6 (20 * 30 div 100 = 6), the third at 12
  // and ends at the bottom although its share alone would stop earlier.
  EXPECT_EQ(img.Get(0, 0), 0xFF000000u);
  EXPECT_EQ(img.Get(0, 5), 0xFFD40000u);   // 255 / 6 * 5 = 212.5 -> 212 (ties to even)
  EXPECT_EQ(img.Get(0, 6), 0xFF00FF00u);
  EXPECT_EQ(img.Get(0, 12), 0xFF0000FFu);
  EXPECT_EQ(img.Get(1, 19), 0xFF0000FFu);
}

TEST(Gradient, HorizontalAndClipped) {
  TTestImage img(6, 3, TLayout::Padded);
  img.Fill(0);
  TTestImage before(img);
  TsGradientArray st{{0x000000, 0x0000FA, 100, 1}};
  PaintGradient(img.View(), TRect{-4, 1, 20, 9}, st, 0);  // clipped to columns 0..5, rows 1..2
  EXPECT_EQ(img.Get(0, 0), 0u);
  EXPECT_EQ(img.Get(0, 1), 0xFF000000u);
  EXPECT_EQ(img.Get(5, 2), 0xFFFA0000u);
  EXPECT_EQ(img.Get(1, 2), 0xFF320000u);  // 250 / 5 per column
  PaintGradient(img.View(), TRect{0, 0, 6, 3}, TsGradientArray{{1, 2, 100, 7}}, 0);  // unknown mode
  TsGradientArray none;
  PaintGradient(img.View(), TRect{0, 0, 6, 3}, none, 0);
  EXPECT_EQ(img.Get(0, 0), 0u);
}

TEST(Gradient, PatternMixesTextureAndRepeats) {
  TTestImage tex(2, 2);
  tex.Fill(0xFFFFFFFF);
  tex.Set(1, 1, 0xFF000000);
  TTestImage img(7, 5);
  TsGradientArray st{{0x000000, 0x000000, 100, 1}};
  PaintGradientPattern(img.View(), TRect{0, 0, 7, 5}, st, 255, TRect{}, tex.View());
  EXPECT_EQ(img.Get(0, 0), 0xFFFEFEFEu);  // (255 * 255 + 127) >> 8
  EXPECT_EQ(img.Get(1, 1), 0xFF000000u);
  EXPECT_EQ(img.Get(3, 3), 0xFF000000u);  // the period repeats downward and across
  EXPECT_EQ(img.Get(4, 4), 0xFFFEFEFEu);
  TTestImage img2(7, 5);
  st[0].Mode = 0;
  PaintGradientPattern(img2.View(), TRect{0, 0, 7, 5}, st, 255, TRect{}, tex.View());
  EXPECT_EQ(HashImage(img.View()), HashImage(img2.View()));
}

}  // namespace
