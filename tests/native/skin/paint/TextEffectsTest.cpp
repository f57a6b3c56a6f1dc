// Caption effects: the glow and ink compositions by their formulas, the glow plan and its cached
// mask, the soft-shadow rings, text shortening with a fixed-width measurer, and the pixels of the
// small arrow and the dotted frame.
#include <gtest/gtest.h>

#include "skin/paint/sTextEffects.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(TextGlow, ComposeTruncatesAndRaisesAlpha) {
  TTestImage t(3, 2);
  t.Fill(0x00000000u);                      // c 0, alpha 0
  TTestImage m(3, 2, TLayout::Padded, 1);
  m.Fill(255);
  m.View().At(1, 0)[0] = 100;
  m.View().At(2, 1)[0] = 0;
  ComposeGlow(t.View(), m.View(), TPoint{0, 0}, 0x0000C8);   // glow red 200
  // 200 + (0 - 200) * 100 / 255 = 122 (truncated), alpha 0 + 155 * 255 / 255 = 155.
  EXPECT_EQ(t.Get(1, 0), 0x9B7A0000u);
  EXPECT_EQ(t.Get(2, 1), 0xFFC80000u);      // v 0: the glow colour, opaque
  EXPECT_EQ(t.Get(0, 0), 0u);               // 255: untouched
  // Placed partly outside the target: only the overlap changes, nothing is written beyond.
  TTestImage t2(2, 2, TLayout::Padded);
  t2.Fill(0xFF000000u);
  const auto before = t2.Storage();
  ComposeGlow(t2.View(), m.View(), TPoint{-1, 1}, 0xFFFFFF);
  EXPECT_EQ(t2.Get(0, 1), 0xFF9B9B9Bu);    // mask (1, 0) = 100 over black
  EXPECT_EQ(t2.Get(1, 1), 0xFF000000u);
  int changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != t2.Storage()[i];
  EXPECT_EQ(changed, 3);
}

TEST(TextGlow, PlanSizeZeroAndCachedMask) {
  EXPECT_FALSE(GlowPlan(TRect{0, 0, 10, 10}, 0).Draw);
  EXPECT_FALSE(GlowPlan(TRect{0, 0, 10, 10}, -3).Draw);
  EXPECT_FALSE(GlowPlan(TRect{0, 0, 1 << 20, 1 << 20}, 2).Draw);
  const TlxGlowPlan p = GlowPlan(TRect{10, 20, 40, 30}, 3);
  ASSERT_TRUE(p.Draw);
  EXPECT_EQ(p.Area, (TRect{3, 13, 47, 37}));
  TlxImageBuffer mask(44, 24, 1);
  EXPECT_TRUE(GlowMaskFits(mask.View(), p));
  mask.SetSize(44, 25, 1);
  EXPECT_FALSE(GlowMaskFits(mask.View(), p));
  TPoint o[5];
  ASSERT_EQ(GlowTextOffsets(15, o), 5);
  EXPECT_EQ(o[0], (TPoint{-1, 0}));
  EXPECT_EQ(o[1], (TPoint{0, -1}));
  EXPECT_EQ(o[2], (TPoint{1, 0}));
  EXPECT_EQ(o[3], (TPoint{0, 1}));
  EXPECT_EQ(o[4], (TPoint{0, 0}));
  ASSERT_EQ(GlowTextOffsets(4, o), 2);
  EXPECT_EQ(o[0], (TPoint{1, 0}));
  // The rebuild: white, the text at the margin plus each offset, blurred (a solid area stays).
  mask.SetSize(44, 24, 1);
  std::vector<TPoint> drawn;
  BuildGlowMask(mask.View(), p, 3, 1, [&](TPoint at) {
    drawn.push_back(at);
    mask.View().At(at.X + 10, at.Y + 5)[0] = 0;
  });
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], (TPoint{6, 7}));
  EXPECT_EQ(drawn[1], (TPoint{7, 7}));
  EXPECT_EQ(mask.View().At(0, 0)[0], 255);
  EXPECT_LT(mask.View().At(17, 12)[0], 255);
  EXPECT_GT(mask.View().At(17, 12)[0], 0);
}

TEST(TextInk, GreyBlackAndWhite) {
  TTestImage t(3, 1);
  t.Fill(0x00C8C8C8u);
  TTestImage tmp(3, 1);
  tmp.Set(0, 0, 0x00808080u);   // grey 128
  tmp.Set(1, 0, 0x00000000u);   // black
  tmp.Set(2, 0, 0x00FFFFFFu);   // white: no ink
  ComposeInk(t.View(), tmp.View(), TPoint{0, 0}, 0x000000);
  EXPECT_EQ(t.Get(0, 0), 0xFF646464u);   // 0 + 200 * 128 / 256 = 100
  EXPECT_EQ(t.Get(1, 0), 0xFF000000u);
  EXPECT_EQ(t.Get(2, 0), 0x00C8C8C8u);
  t.Fill(0x00C8C8C8u);
  ComposeInk(t.View(), tmp.View(), TPoint{1, 0}, 0x3020F0);   // black gives the colour exactly
  EXPECT_EQ(t.Get(2, 0), 0xFFF02030u);
  EXPECT_EQ(t.Get(0, 0), 0x00C8C8C8u);
}

TEST(SoftShadow, RingsInnerAndCorners) {
  TTestImage m(20, 20);
  SoftShadowMask(m.View(), 50, 0, 3);
  const std::uint32_t want[] = {223, 191, 159, 127, 127};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(m.Get(i, 10), 0xFF000000u | 0x010101u * want[i]) << i;
    EXPECT_EQ(m.Get(19 - i, 10), 0xFF000000u | 0x010101u * want[i]) << i;
    EXPECT_EQ(m.Get(10, 19 - i), 0xFF000000u | 0x010101u * want[i]) << i;
  }
  // A rounded corner leaves the corner pixel white; blur wider than half the size is limited.
  SoftShadowMask(m.View(), 50, 6, 3);
  EXPECT_EQ(m.Get(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(m.Get(0, 10), 0xFFDFDFDFu);
  TTestImage small(5, 6);
  SoftShadowMask(small.View(), 0, 0, 9);   // k = 2: rings 170, 85, inner 0
  EXPECT_EQ(small.Get(0, 3), 0xFFAAAAAAu);
  EXPECT_EQ(small.Get(1, 3), 0xFF555555u);
  EXPECT_EQ(small.Get(2, 3), 0xFF000000u);
  // Over a white picture with black: the piece under r only, multiplied by the mask.
  TTestImage b(24, 24, TLayout::BottomUp);
  b.Fill(0xFFFFFFFFu);
  DrawSoftShadow(b.View(), TRect{2, 2, 22, 22}, 50, 0, 3, 0x000000);
  EXPECT_EQ(b.Get(1, 12), 0xFFFFFFFFu);
  EXPECT_EQ(b.Get(2, 12), 0xFFDEDEDEu);   // 255 * 223 / 256
  EXPECT_EQ(b.Get(12, 12), 0xFF7E7E7Eu);
  DrawSoftShadow(b.View(), TRect{-5, 20, 100, 100}, 50, 0, 3, 0);   // clipped, no overrun
}

TEST(TextShorten, FixedWidthCharacters) {
  const auto six = [](const std::string& s) { return static_cast<int>(s.size()) * 6; };
  EXPECT_EQ(ShortenText("Orbex scope", 40, six), "Orb...");
  EXPECT_EQ(ShortenText("Orbex scope", 66, six), "Orbex scope");
  EXPECT_EQ(ShortenText("Orbex scope", 0, six), "");
  EXPECT_EQ(ShortenText("Orbex scope", -4, six), "");
  EXPECT_EQ(ShortenText("Orbex scope", 20, six), "");     // not even one letter with the dots
  EXPECT_EQ(ShortenText("Orbex scope", 24, six), "O...");
  EXPECT_EQ(ShortenText("", 10, six), "");
}

// The picture of a bitmap, one character a pixel (marks[i] for the pixel value px[i], else '.'),
// each row ended by '/'.
std::string Picture(const TTestImage& b, const std::string& marks, std::initializer_list<std::uint32_t> px) {
  std::string out;
  for (int y = 0; y < b.View().Height; ++y, out += '/')
    for (int x = 0; x < b.View().Width; ++x) {
      char c = '.';
      std::size_t i = 0;
      for (std::uint32_t v : px) {
        if (b.Get(x, y) == v) c = marks[i];
        ++i;
      }
      out += c;
    }
  return out;
}

TEST(SmallGlyphs, ArrowsAndDottedFrame) {
  TTestImage b(11, 9);
  b.Fill(0);
  DrawSmallArrow(b.View(), 0x0000FF, TRect{0, 0, 11, 9}, saDown);   // at (2, 2)
  EXPECT_EQ(Picture(b, "#", {0xFFFF0000u}), ".........../.........../..#######../...#####.../....###..../"
                                            ".....#...../.........../.........../.........../");
  b.Fill(0);
  DrawSmallArrow(b.View(), 0x0000FF, TRect{0, 0, 11, 9}, saRight);   // at (3, 1)
  EXPECT_EQ(Picture(b, "#", {0xFFFF0000u}), ".........../...#......./...##....../...###...../...####..../"
                                            "...###...../...##....../...#......./.........../");
  EXPECT_TRUE(SmallArrowRuns(TRect{0, 0, 9, 9}, 2).empty());
  DrawSmallArrow(b.View(), 0, TRect{-20, -20, -12, -12}, saDown);   // off the bitmap: clipped

  TTestImage f(8, 6);
  f.Fill(0);
  DrawDottedFrame(f.View(), TRect{1, 1, 7, 4}, 0x0000FF, 0x00FF00);   // right and bottom inclusive
  // The pixel before the first dot of a line lies outside the frame (at left - 1, top - 1).
  EXPECT_EQ(Picture(f, "Ba", {0xFF00FF00u, 0xFFFF0000u}), ".a.....a/aB.aB.aB/......../.a.....a/aB.aB.aB/......../");
  EXPECT_TRUE(DottedFramePixels(TRect{5, 5, 4, 9}, f.View().BoundsRect()).empty());
  // A frame far larger than the bitmap lists only what can meet it.
  EXPECT_LT(DottedFramePixels(TRect{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}, TRect{0, 0, 9, 9}).size(), 20u);
  EXPECT_EQ(DottedFramePixels(TRect{0, 0, 30, 30}, TRect{0, 0, 9, 9}).size(), 2u * (4 + 4));
}

}  // namespace
