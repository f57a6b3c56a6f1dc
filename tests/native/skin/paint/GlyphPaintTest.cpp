// Glyphs and frame pieces: glyph and caption placed by each layout kind (right-to-left,
// centred, derived spacing), the column a glyph state shows and its key, the nine-piece plan
// with margins beyond the source, and channel copies with channels out of range.
#include <gtest/gtest.h>

#include "skin/paint/sGlyphPaint.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(GlyphCaptionLayout, KindsDirectionAndCentring) {
  const TRect r{0, 0, 100, 40};
  const TSize g{16, 16}, c{40, 10};
  auto at = [&](int kind, int flags, int margin, int spacing, int align = 2) {
    return GlyphCaptionLayout(g, c, flags, r, kind, margin, spacing, align);
  };
  TlxGlyphCaptionPlace p = at(0, 0, 4, 6);
  EXPECT_EQ(p.Glyph, (TRect{4, 12, 20, 28}));
  EXPECT_EQ(p.Caption, (TRect{26, 15, 66, 25}));
  p = at(1, 0, 4, 6);
  EXPECT_EQ(p.Glyph, (TRect{80, 12, 96, 28}));
  EXPECT_EQ(p.Caption, (TRect{34, 15, 74, 25}));
  EXPECT_EQ(at(0, glRightToLeft, 4, 6).Glyph, p.Glyph);      // right-to-left exchanges 0 and 1
  EXPECT_EQ(at(1, glRightToLeft, 4, 6).Glyph, (TRect{4, 12, 20, 28}));
  p = at(2, glRightToLeft, 4, 6);                              // not for the vertical kinds
  EXPECT_EQ(p.Glyph, (TRect{42, 4, 58, 20}));
  EXPECT_EQ(p.Caption, (TRect{30, 26, 70, 36}));
  p = at(3, 0, 4, 6);
  EXPECT_EQ(p.Glyph, (TRect{42, 20, 58, 36}));
  EXPECT_EQ(p.Caption, (TRect{30, 4, 70, 14}));
  EXPECT_EQ(at(2, 0, 4, 6, 0).Caption.Left, 0);
  EXPECT_EQ(at(2, 0, 4, 6, 1).Glyph.Left, 84);
  // Margin -1 centres the pair; spacing -1 is a third of the free space.
  p = at(0, 0, -1, 6);
  EXPECT_EQ(p.Glyph, (TRect{19, 12, 35, 28}));
  EXPECT_EQ(p.Caption, (TRect{41, 15, 81, 25}));
  p = at(1, 0, -1, -1);
  EXPECT_EQ(p.Caption, (TRect{15, 15, 55, 25}));
  EXPECT_EQ(p.Glyph, (TRect{69, 12, 85, 28}));
  // No caption: no spacing; the rectangle's origin is added; unknown kinds count as 0.
  p = GlyphCaptionLayout(g, TSize{0, 0}, 0, TRect{10, 5, 110, 45}, 7, -1, 6, 2);
  EXPECT_EQ(p.Glyph, (TRect{52, 17, 68, 33}));
}

// A strip of three 4 x 3 glyphs: column c is filled with 0xFF0000(c+1) (pixel order), and its
// bottom-left pixel, the key, with 0xFF00FF00 (opaque green).
TTestImage Strip(int columns) {
  TTestImage s(4 * columns, 3, TLayout::BottomUp);
  for (int c = 0; c < columns; ++c)
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) s.Set(4 * c + x, y, 0xFF000001u + static_cast<std::uint32_t>(c));
  for (int c = 0; c < columns; ++c) {
    s.Set(4 * c, 2, 0xFF00FF00u);
    s.Set(4 * c + 3, 0, 0xFF00FF00u);
  }
  return s;
}

TEST(PaintGlyphState, ColumnsByKindAndState) {
  // A strip 12 pixels wide of `count` glyphs.
  auto pick = [](int count, bool useStates, int kind, int state = 0, bool low = false, int p = 0) {
    TlxGlyphState s;
    s.Count = count;
    s.UseStates = useStates;
    s.Kind = kind;
    s.StateIndex = state;
    s.LowColor = low;
    s.BlendPercent = p;
    return PickGlyphColumn(12, s);
  };
  EXPECT_EQ(pick(3, true, 2).Column, 2);          // state 0 -> column 2
  EXPECT_EQ(pick(3, true, 2, 1).Column, 1);       // no column 3: as kind 1
  EXPECT_EQ(pick(3, true, 2, -9).Column, 1);
  EXPECT_EQ(pick(3, true, 2, 1, true).Column, 0); // low colour: no column 1
  EXPECT_EQ(pick(3, true, 1).Column, 1);
  EXPECT_EQ(pick(3, true, 0, 0, false, 40).Column, 0);
  EXPECT_FALSE(pick(3, true, 0, 0, false, 40).Blend);
  EXPECT_EQ(pick(3, false, 1, 0, false, 40).Column, 0);
  EXPECT_FALSE(pick(3, false, 1, 0, false, 40).Blend);
  EXPECT_TRUE(pick(3, false, 0, 0, false, 40).Blend);
  // A count of 0 or below, or columns narrower than a pixel: nothing (no division by zero).
  for (int n : {0, -2, 13}) EXPECT_EQ(pick(n, true, 2).Column, -1) << n;
}

TEST(PaintGlyphState, KeySkippedBlendAndNothing) {
  TTestImage strip = Strip(3);
  TTestImage d(6, 5);
  d.Fill(0xFF808080u);
  TlxGlyphState s;
  s.Count = 3;
  s.UseStates = true;
  s.Kind = 2;   // column 2
  PaintGlyphState(strip.View(), d.View(), TPoint{1, 1}, s);
  EXPECT_EQ(d.Get(2, 1), 0xFF000003u);
  EXPECT_EQ(d.Get(1, 3), 0xFF808080u);   // the key (bottom-left) is skipped...
  EXPECT_EQ(d.Get(4, 1), 0xFF808080u);   // ...wherever it occurs
  EXPECT_EQ(d.Get(0, 0), 0xFF808080u);
  // One glyph with the flag, kind 0 and p 40: the destination keeps 40 %, the key is skipped.
  TTestImage one = Strip(1);
  d.Fill(0xFF808080u);
  s.Count = 1;
  s.Kind = 0;
  s.BlendPercent = 40;
  PaintGlyphState(one.View(), d.View(), TPoint{0, 0}, s);
  EXPECT_EQ(d.Get(1, 1) & 0xFFFFFFu, 0x333334u);   // round(1 - (1 - 128) * 0.4) = 52, 51.2 -> 51
  EXPECT_EQ(d.Get(0, 2), 0xFF808080u);
  // Without the flag, disabled grey: the glyph's grey level (1 + 0 + 0) / 3 = 0, opaque.
  d.Fill(0xFF808080u);
  s.UseStates = false;
  s.DisabledKinds = dkGrayed;
  PaintGlyphState(one.View(), d.View(), TPoint{0, 0}, s);
  EXPECT_EQ(d.Get(1, 1), 0xFF000000u);
  EXPECT_EQ(d.Get(0, 2), 0xFF808080u);
  d.Fill(0xFF808080u);
  s.Count = 0;
  PaintGlyphState(one.View(), d.View(), TPoint{0, 0}, s);
  EXPECT_EQ(d.Get(1, 1), 0xFF808080u);
}

TTestImage Numbered(int w, int h) {
  TTestImage s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.Set(x, y, static_cast<std::uint32_t>(x + 10 * y));
  return s;
}

TEST(StretchPiece, CornersSidesAndCentre) {
  TTestImage src = Numbered(6, 6);
  TTestImage d(10, 10);
  d.Fill(0xEEu);
  TlxStretchSpec layout;
  layout.Margins1 = layout.Margins2 = TlxMargins{2, 2, 2, 2};
  StretchPiece(d.View(), src.View(), TRect{0, 0, 10, 10}, TRect{0, 0, 6, 6}, layout);
  EXPECT_EQ(d.Get(1, 1), 11u);
  EXPECT_EQ(d.Get(9, 9), 55u);
  EXPECT_EQ(d.Get(2, 0), 2u);   // top side tiled: source columns 2, 3 again and again
  EXPECT_EQ(d.Get(4, 0), 2u);
  EXPECT_EQ(d.Get(7, 1), 13u);
  EXPECT_EQ(d.Get(0, 7), 30u);
  EXPECT_EQ(d.Get(5, 5), 0xEEu);   // centre not asked
  layout.PaintCentre = true;
  layout.CentreMode = spStretch;
  layout.SideModes[2] = spStretch;
  StretchPiece(d.View(), src.View(), TRect{0, 0, 10, 10}, TRect{0, 0, 6, 6}, layout);
  EXPECT_EQ(d.Get(5, 5), 33u);   // 2 + 3 * 2 / 6 both ways
  EXPECT_EQ(d.Get(8, 7), 34u);   // right side stretched: source row 2 + 5 * 2 / 6
}

TEST(StretchPiece, MarginsBeyondTheSourceAndSplitCorners) {
  TlxStretchSpec layout;
  layout.PaintCentre = true;
  layout.Margins1 = TlxMargins{4, 4, 4, 4};
  layout.Margins2 = TlxMargins{-7, 1, 4, 1};
  // Sides and centre of no source pixels are skipped (they would be tiled endlessly).
  const std::vector<TlxBlit> plan = StretchPiecePlan(TRect{0, 0, 50, 50}, TRect{0, 0, 6, 6}, layout, TRect{0, 0, 50, 50});
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0], (TlxBlit{TRect{0, 0, 4, 4}, TRect{0, 0, 4, 4}}));
  EXPECT_EQ(plan[3], (TlxBlit{TRect{46, 46, 50, 50}, TRect{2, 2, 6, 6}}));
  layout.Margins2 = TlxMargins{1, 4, 4, 4};
  const std::vector<TlxBlit> split = StretchPiecePlan(TRect{0, 0, 50, 50}, TRect{0, 0, 6, 6}, layout, TRect{0, 0, 50, 50});
  EXPECT_EQ(split[0], (TlxBlit{TRect{0, 0, 1, 4}, TRect{0, 0, 1, 4}}));
  EXPECT_EQ(split[1], (TlxBlit{TRect{1, 0, 4, 4}, TRect{1, 0, 4, 4}}));
  // Tiles that miss the destination bitmap are not listed.
  layout = TlxStretchSpec{};
  layout.Margins1 = layout.Margins2 = TlxMargins{1, 1, 1, 1};
  EXPECT_LT(StretchPiecePlan(TRect{0, 0, 1 << 27, 3}, TRect{0, 0, 3, 3}, layout, TRect{0, 0, 8, 8}).size(), 24u);
}

TEST(CopyChannel, ThereAndBackAndBadChannels) {
  TTestImage img(3, 2);
  img.Fill(0);
  img.Set(1, 1, 0x44332211u);
  TTestImage m(2, 3, TLayout::Padded, 1);
  m.Fill(7);
  CopyChannel(img.View(), m.View(), 2, true);
  EXPECT_EQ(m.View().At(1, 1)[0], 0x33);
  EXPECT_EQ(m.View().At(0, 2)[0], 7);   // outside the overlap
  m.View().At(0, 0)[0] = 0x99;
  CopyChannel(img.View(), m.View(), 3, false);
  EXPECT_EQ(img.Get(0, 0), 0x99000000u);
  EXPECT_EQ(img.Get(1, 1), 0x33332211u);
  EXPECT_EQ(img.Get(2, 1), 0u);
  const TTestImage keep(img);
  for (int ch : {-1, 4, 1 << 30}) CopyChannel(img.View(), m.View(), ch, false);
  EXPECT_EQ(img.Storage(), keep.Storage());
}

}  // namespace
