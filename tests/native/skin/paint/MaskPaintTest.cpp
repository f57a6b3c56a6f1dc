// Mask painting: border shrinking and tile runs (the geometry the frame painter relies on),
// painting by state with the draw-mode bits, transparent corners over a parent bitmap, the
// stretched band copy, and a hash of a painted frame.
#include <gtest/gtest.h>

#include <random>

#include "skin/paint/sMaskPaint.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(MaskGeometry, ShrinkBordersMeetExactly) {
  int l = 4, r = 4;
  ShrinkBorders(3, l, r);
  EXPECT_EQ(l, 2);
  EXPECT_EQ(r, 1);
  l = 3; r = 3;
  ShrinkBorders(4, l, r);
  EXPECT_EQ(l + r, 4);
  l = 5; r = 2;  // an even width with an odd excess used to overlap by one pixel
  ShrinkBorders(4, l, r);
  EXPECT_EQ(l + r, 4);
  l = 10; r = 0;  // what one side cannot give up, the other does
  ShrinkBorders(2, l, r);
  EXPECT_EQ(l, 2);
  EXPECT_EQ(r, 0);
  l = 2; r = 3;
  ShrinkBorders(9, l, r);  // fits: unchanged
  EXPECT_EQ(l, 2);
  EXPECT_EQ(r, 3);
  for (int w = 0; w < 12; ++w)
    for (int a = 0; a < 8; ++a)
      for (int b = 0; b < 8; ++b) {
        int x = a, y = b;
        ShrinkBorders(w, x, y);
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_EQ(x + y, std::min(a + b, w));
      }
}

TEST(MaskGeometry, TileRunsCropTheLastTile) {
  using Runs = std::vector<std::pair<int, int>>;
  EXPECT_EQ(TileRuns(0, 25, 10), (Runs{{0, 10}, {10, 10}, {20, 5}}));
  EXPECT_EQ(TileRuns(4, 24, 10), (Runs{{4, 10}, {14, 10}}));
  EXPECT_EQ(TileRuns(0, 3, 10), (Runs{{0, 3}}));
  EXPECT_TRUE(TileRuns(0, 25, 0).empty());
  EXPECT_TRUE(TileRuns(5, 5, 3).empty());
  // Only the visible part of a very long span is listed, on the same grid.
  EXPECT_EQ(TileRuns(-1000000000, 1000000000, 10, 95, 120), (Runs{{90, 10}, {100, 10}, {110, 10}}));
  EXPECT_EQ(TileRuns(0, 25, 10, 22, 30), (Runs{{20, 5}}));
  EXPECT_EQ(TileRuns(0, 25, 10, 5, 12), (Runs{{0, 10}, {10, 10}}));
}

// A 3-state nine-piece mask of mask type 1: 3 x 12 wide frames, 12 high picture + 12 band.
// Picture pixels carry their state and position; the band is 0 (opaque).
struct TMaskFixture {
  TTestImage Img{36, 24};
  TlxMaskImage Mask;
  TMaskFixture(int type = 1) {
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 36; ++x) Img.Set(x, y, y >= 12 && type == 1 ? 0u : 0xFF000000u | (x / 12 + 1) << 16 | x << 8 | y);
    Mask.Image = Img.View();
    Mask.SrcRect = TRect{0, 0, 36, type == 1 ? 24 : 12};
    Mask.ImageCount = 3;
    Mask.MaskType = type;
    Mask.DrawMode = dmPaintCentre;
    Mask.WL = Mask.WT = Mask.WR = Mask.WB = 4;
  }
};

TEST(MaskFrame, LayoutOfANarrowRectangle) {
  TMaskFixture f;
  TlxMaskLayout lay;
  ASSERT_TRUE(MaskFrameLayout(TRect{0, 0, 3, 20}, 1, f.Mask, lay));
  EXPECT_EQ(lay.WL, 2);
  EXPECT_EQ(lay.WR, 1);
  EXPECT_EQ(lay.BandOffset, 12);
  // Top-left corner 2 px, top-right corner 1 px, meeting at x = 2.
  EXPECT_EQ(lay.Pieces[0].Dst, (TRect{0, 0, 2, 4}));
  EXPECT_EQ(lay.Pieces[6].Dst, (TRect{2, 0, 3, 4}));
  EXPECT_EQ(lay.Pieces[0].Src.Left, 12);  // state 1 frame
  TTestImage d(3, 20);
  d.Fill(0);
  PaintMaskFrame(d.View(), TRect{0, 0, 3, 20}, false, 1, f.Mask, TlxBackgroundView{});
  for (int x = 0; x < 3; ++x) EXPECT_EQ((d.Get(x, 0) >> 16) & 0xFF, 2u) << x;  // every column painted by state 1
}

TEST(MaskFrame, StatesAndDrawModes) {
  TMaskFixture f;
  TTestImage d(20, 20);
  d.Fill(0x00ABCDEF);
  TTestImage before(d);
  f.Mask.DrawMode = dmNoNormal | dmPaintCentre;
  PaintMaskFrame(d.View(), TRect{0, 0, 20, 20}, false, 0, f.Mask, TlxBackgroundView{});
  EXPECT_EQ(d.Storage(), before.Storage());  // state 0 with "nothing for state 0"
  PaintMaskFrame(d.View(), TRect{0, 0, 20, 20}, false, 9, f.Mask, TlxBackgroundView{});
  EXPECT_EQ((d.Get(0, 0) >> 16) & 0xFF, 3u);  // beyond the count: the last state
  // Without the centre bit the centre keeps what was there.
  f.Mask.DrawMode = 0;
  TTestImage e(20, 20);
  e.Fill(0x00ABCDEF);
  PaintMaskFrame(e.View(), TRect{0, 0, 20, 20}, false, 1, f.Mask, TlxBackgroundView{});
  EXPECT_EQ(e.Get(10, 10), 0x00ABCDEFu);
  EXPECT_NE(e.Get(10, 1), 0x00ABCDEFu);
  // Too small, no manager, no images: nothing.
  TTestImage g(20, 20);
  TTestImage gBefore(g);
  PaintMaskFrame(g.View(), TRect{0, 0, 1, 20}, false, 1, f.Mask, TlxBackgroundView{});
  f.Mask.HasManager = false;
  PaintMaskFrame(g.View(), TRect{0, 0, 20, 20}, false, 1, f.Mask, TlxBackgroundView{});
  EXPECT_EQ(g.Storage(), gBefore.Storage());
}

TEST(MaskFrame, TiledSideEndsWithCroppedTile) {
  TMaskFixture f;
  f.Mask.DrawMode = 0;
  TTestImage d(33, 10);
  d.Fill(0);
  // Top side spans x 4 .. 29 (25 px) with a 4-px tile (frame 12 - 4 - 4).
  PaintMaskFrame(d.View(), TRect{0, 0, 33, 10}, false, 0, f.Mask, TlxBackgroundView{});
  for (int x = 4; x < 29; ++x) EXPECT_EQ((d.Get(x, 0) >> 8) & 0xFF, static_cast<std::uint32_t>(4 + (x - 4) % 4)) << x;
}

TEST(MaskFrame, CornersShowParentWhenFilled) {
  TMaskFixture f;
  f.Img.Set(12, 0, KeyPixel);     // state 1, top-left corner pixel ...
  f.Img.Set(12, 12, 0x00FFFFFF);  // ... fully transparent in the band, as skins draw them
  f.Mask.CornerType = 1;
  TTestImage parent(40, 40);
  parent.Fill(0x00123456);
  TlxBackgroundView bg{&parent.View(), 5, 5, clKeyColor};
  TTestImage d(20, 20);
  d.Fill(0x00000000);
  PaintMaskFrame(d.View(), TRect{0, 0, 20, 20}, true, 1, f.Mask, bg);
  EXPECT_EQ(d.Get(0, 0), 0xFF123456u);
  d.Fill(0x00000000);
  PaintMaskFrame(d.View(), TRect{0, 0, 20, 20}, false, 1, f.Mask, bg);
  EXPECT_EQ(d.Get(0, 0), 0x00000000u);  // fill off: the destination shows through
}

TEST(MaskFrame, StretchRegionSinglePixelFill) {
  TTestImage src(1, 2);
  src.Set(0, 0, 0xFF0000FF);        // blue picture
  src.Set(0, 1, 0x00000000);        // band 0: fill
  TTestImage d(6, 6);
  d.Fill(0xFF000000);
  StretchRegion(1, 1, 3, true, 1, src.View(), d.View(), 1, 1, 0, 0, 2);
  EXPECT_EQ(d.Get(1, 1), 0xFF0000FFu);
  EXPECT_EQ(d.Get(3, 2), 0xFF0000FFu);
  EXPECT_EQ(d.Get(4, 2), 0xFF000000u);
  // Band 64 over 0xFF102030: c + (d - c) * 64 >> 8 per channel, alpha kept, on every pixel
  // of whole rows.
  d.Fill(0xFF102030);
  src.Set(0, 1, 0x00400000);
  StretchRegion(0, 0, 6, true, 1, src.View(), d.View(), 1, 1, 0, 0, 6);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(d.Get(i % 6, i / 6), 0xFF0408CBu) << i;
  d.Fill(0xFF000000);
  src.Set(0, 1, 0x00FF0000);        // band 255: destination left
  StretchRegion(0, 0, 6, true, 1, src.View(), d.View(), 1, 1, 0, 0, 6);
  EXPECT_EQ(d.Get(0, 0), 0xFF000000u);
  // A piece reaching beyond the source paints nothing.
  StretchRegion(0, 0, 6, false, 1, src.View(), d.View(), 2, 1, 0, 0, 6);
  EXPECT_EQ(d.Get(0, 0), 0xFF000000u);
}

TEST(MaskFrame, StretchedFrameRegressionHash) {
  TMaskFixture f;
  f.Mask.DrawMode = dmStretch | dmPaintCentre;
  TTestImage d(50, 31);
  d.Fill(0xFF202020);
  PaintMaskFrame(d.View(), TRect{2, 3, 47, 30}, false, 2, f.Mask, TlxBackgroundView{});
  TMaskFixture t0(0);
  t0.Mask.DrawMode = dmPaintCentre;
  PaintMaskFrame(d.View(), TRect{0, 0, 25, 13}, false, 0, t0.Mask, TlxBackgroundView{});
  EXPECT_EQ(HashImage(d.View()), 11441005025822997439ull);
}

TEST(MaskState, DrawMaskStateAndCornerRuns) {
  TMaskFixture f;
  f.Mask.OwnImage = true;
  TTestImage d(14, 14);
  d.Fill(0xFF000000);
  DrawMaskState(d.View(), TPoint{-2, 0}, 1, TlxBackgroundView{}, f.Mask, 1);
  // A negative point skips the image's first two columns: x 0 shows frame column 2.
  EXPECT_EQ(d.Get(0, 0), 0xFF000000u | 2u << 16 | 14u << 8 | 0u);
  f.Img.Set(0, 0, KeyPixel);
  f.Img.Set(1, 0, KeyPixel);
  f.Img.Set(11, 1, KeyPixel);
  std::vector<TRect> runs;
  CollectCornerKeyRuns(runs, 100, f.Mask, false, 7);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], (TRect{0, 7, 2, 8}));
  EXPECT_EQ(runs[1], (TRect{99, 8, 100, 9}));
}

TEST(MaskState, BottomCornerRunsCountFromTheCornerRow) {
  // Frame 12 x 12 (band below), bottom width 3: the bottom corner rows are frame rows 9..11.
  // Called as a window region does: y offset = window height - bottom width.
  TMaskFixture f;
  f.Mask.WB = 3;
  f.Img.Set(0, 11, KeyPixel);
  f.Img.Set(11, 9, KeyPixel);
  std::vector<TRect> runs;
  CollectCornerKeyRuns(runs, 100, f.Mask, true, 50 - 3);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], (TRect{99, 47, 100, 48}));  // frame row 9: the window's row 47
  EXPECT_EQ(runs[1], (TRect{0, 49, 1, 50}));     // frame row 11: the window's last row
}

TEST(MaskFrame, CornerBandLiesHalfTheMaskHeightBelow) {
  // Mask type 2: a 4 x 12 rectangle of three 4-row bands. The frame is 4 rows high, but the
  // corners read their band half the rectangle (6 rows) below the picture.
  TTestImage img(4, 12);
  img.Fill(0xFF0000C8);                                          // picture blue 200
  for (int y = 4; y < 12; ++y)
    for (int x = 0; x < 4; ++x) img.Set(x, y, y >= 6 && y < 8 ? 0x00808080u : 0x00FFFFFFu);  // rows 6, 7: 128
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 4, 12};
  m.MaskType = 2;
  m.WL = m.WT = m.WR = m.WB = 2;
  TTestImage d(4, 4);
  d.Fill(0xFF000064);                                            // destination blue 100
  PaintMaskFrame(d.View(), TRect{0, 0, 4, 4}, false, 0, m, TlxBackgroundView{});
  EXPECT_EQ(d.Get(0, 0), 0xFF000096u);  // row 0 + 6: ((100 - 200) * 128 + 200 * 256) >> 8 = 150
  EXPECT_EQ(d.Get(0, 2) & 0xFF, 0x64u);  // row 2 + 6 = 8: band 255 keeps nearly the destination
}

// Tiled frames painted by whole rows give the tile-by-tile pixels: random masks (band or not,
// any key pixels and band values), borders, states, rectangles reaching outside the
// destination, tiles reaching outside the image, bottom-up and unaligned layouts.
TEST(MaskFrame, FastFramesEqualReference) {
  std::mt19937 rng(404);
  for (int iter = 0; iter < 300; ++iter) {
    TTestImage img(8 + static_cast<int>(rng() % 60), 4 + static_cast<int>(rng() % 50), rng() % 2 ? TLayout::Odd : TLayout::TopDown);
    img.FillRandom(rng);
    for (int k = 0; k < 20; ++k) img.Set(static_cast<int>(rng() % img.View().Width), static_cast<int>(rng() % img.View().Height), KeyPixel);
    TlxMaskImage m;
    m.Image = img.View();
    const int l = static_cast<int>(rng() % 6), t = static_cast<int>(rng() % 4);
    // Now and then a source rectangle beyond the image.
    m.SrcRect = TRect{l, t, l + 3 + static_cast<int>(rng() % (img.View().Width + 4)), t + 2 + static_cast<int>(rng() % (img.View().Height + 4))};
    m.ImageCount = 1 + static_cast<int>(rng() % 3);
    m.MaskType = static_cast<int>(rng() % 3);
    m.DrawMode = (rng() % 4 ? dmPaintCentre : 0) | (rng() % 3 ? 0 : dmStretch);
    m.CornerType = static_cast<int>(rng() % 2);
    m.WL = static_cast<int>(rng() % 7);
    m.WT = static_cast<int>(rng() % 7);
    m.WR = static_cast<int>(rng() % 7);
    m.WB = static_cast<int>(rng() % 7);
    TTestImage dst(20 + static_cast<int>(rng() % 120), 10 + static_cast<int>(rng() % 90), rng() % 2 ? TLayout::BottomUp : TLayout::Padded);
    dst.FillRandom(rng);
    const int dl = static_cast<int>(rng() % 40) - 20, dt = static_cast<int>(rng() % 30) - 15;
    const TRect r{dl, dt, dl + 2 + static_cast<int>(rng() % 160), dt + 2 + static_cast<int>(rng() % 110)};
    const int state = static_cast<int>(rng() % 4);
    // Corners filled now and then, over no background, a colour or a bitmap.
    const bool fill = rng() % 2;
    TTestImage parent(40, 30, TLayout::TopDown);
    parent.FillRandom(rng);
    const int kind = static_cast<int>(rng() % 3);
    const TlxBackgroundView bg = kind == 0   ? TlxBackgroundView{}
                                 : kind == 1 ? TlxBackgroundView{nullptr, 0, 0, static_cast<TColor>(rng() & 0xFFFFFF)}
                                             : TlxBackgroundView{&parent.View(), static_cast<int>(rng() % 30) - 15,
                                                                 static_cast<int>(rng() % 20) - 10, clKeyColor};
    TTestImage a(dst), b(dst);
    PaintMaskFrameRef(a.View(), r, fill, state, m, bg);
    PaintMaskFrameFast(b.View(), r, fill, state, m, bg);
    ASSERT_EQ(a.Storage(), b.Storage()) << iter;
  }
}

}  // namespace
