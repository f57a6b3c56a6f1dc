// Pixel buffers, the fast views, fills and the disabled look: pinned values, clipping of
// out-of-range rectangles, and the constant-alpha blend's fast path against its reference.
#include <gtest/gtest.h>

#include <cstring>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

const TLayout kLayouts[] = {TLayout::TopDown, TLayout::Padded, TLayout::BottomUp, TLayout::Odd};

TEST(AlphaGraph, SwapRBExchangesRedAndBlueOnly) {
  EXPECT_EQ(SwapRB(0x11223344u), 0x11443322u);
  EXPECT_EQ(ReverseColorBytes(SwapRB(0xA1B2C3D4u)), 0xA1B2C3D4u);
  EXPECT_EQ(SwapRB(static_cast<std::uint32_t>(clKeyColor)), KeyPixel);
}

TEST(AlphaGraph, Fast32AttachRefusesSmallAndForeignFormats) {
  TTestImage oneRow(5, 1), ok(1, 2), rgb(4, 4, TLayout::TopDown, 3);
  TlxFast32 f;
  EXPECT_FALSE(f.Attach(oneRow.View()));
  EXPECT_EQ(f.GetWidth(), 0);
  EXPECT_TRUE(f.Attach(ok.View()));
  try {
    f.Attach(rgb.View());
    FAIL() << "24-bit buffer attached";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Bitmap format is not supported");
  }
  TlxFastSum32 s;
  EXPECT_FALSE(s.Attach(ok.View(), ok.View()));  // 1 column is below 2
}

TEST(AlphaGraph, Fast32PixelsAreColoursOnAnyLayout) {
  for (TLayout l : kLayouts) {
    TTestImage img(3, 3, l);
    TlxFast32 f;
    ASSERT_TRUE(f.Attach(img.View()));
    f.SetPixel(2, 1, static_cast<TColor>(0x80112233));
    EXPECT_EQ(img.Get(2, 1), 0x80332211u);
    EXPECT_EQ(f.GetPixel(2, 1), static_cast<TColor>(0x80112233));
    EXPECT_EQ(f.GetDelta(), img.View().Stride);
  }
}

TEST(AlphaGraph, FillRectForcesAlphaAndClips) {
  TTestImage img(6, 4, TLayout::Padded);
  img.Fill(0);
  TTestImage before(img);
  TlxFast32 f;
  ASSERT_TRUE(f.Attach(img.View()));
  f.FillRect(TRect{3, 2, 3, 4}, 0x123456);  // empty
  f.FillRect(TRect{4, 3, 2, 1}, 0x123456);  // inverted
  f.FillRect(TRect{10, 10, 20, 20}, 0x123456);  // outside
  EXPECT_EQ(img.Storage(), before.Storage());
  f.FillRect(TRect{-5, -5, 2, 1}, 0x123456);
  EXPECT_EQ(img.Get(0, 0), 0xFF123456u);
  EXPECT_EQ(img.Get(1, 0), 0xFF123456u);
  EXPECT_EQ(img.Get(2, 0), 0u);
  EXPECT_EQ(img.Get(0, 1), 0u);
}

TEST(AlphaGraph, FillRectOpaqueOneRowAndClipping) {
  TTestImage row(5, 1, TLayout::Padded);
  row.Fill(0);
  TTestImage before(row);
  FillRectOpaque(row.View(), TRect{-3, 0, 2, 1}, 0x0000FF);  // negative left: clipped, not before the row
  EXPECT_EQ(row.Get(0, 0), 0xFFFF0000u);
  EXPECT_EQ(row.Get(1, 0), 0xFFFF0000u);
  EXPECT_EQ(row.Get(2, 0), 0u);
  FillRectOpaque(row.View(), TRect{3, 0, 99, 1}, 0x00FF00);
  EXPECT_EQ(row.Get(4, 0), 0xFF00FF00u);
  TTestImage after(row);
  FillRectOpaque(row.View(), TRect{0, 1, 5, 2}, 0x00FF00);  // row outside
  EXPECT_EQ(row.Storage(), after.Storage());
  // The padding behind the row is never touched.
  for (std::size_t i = 20; i < row.Storage().size(); ++i) EXPECT_EQ(row.Storage()[i], before.Storage()[i]);
}

TEST(AlphaGraph, FillFrameOpaquePaintsOnlyTheStrips) {
  TTestImage img(6, 5);
  img.Fill(0);
  FillFrameOpaque(img.View(), TRect{0, 0, 6, 5}, 1, 0xFFFFFF, 1, 2, 1);
  int painted = 0;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) painted += img.Get(x, y) == 0xFFFFFFFFu;
  // Inner area: columns 1..3, rows 1..3 stay untouched.
  EXPECT_EQ(painted, 30 - 3 * 3);
  EXPECT_EQ(img.Get(1, 1), 0u);
  EXPECT_EQ(img.Get(4, 2), 0xFFFFFFFFu);
}

TEST(AlphaGraph, SetRectAlphaSkipsOnlyTrueKeyPixels) {
  TTestImage img(3, 2);
  img.Fill(0x00102030);
  img.Set(0, 0, KeyPixel);
  img.Set(1, 0, 0x01FF00FF);  // magenta with some alpha is not a key pixel
  SetRectAlpha(img.View(), TRect{-1, -1, 10, 10}, 0xFF, true);
  EXPECT_EQ(img.Get(0, 0), KeyPixel);
  EXPECT_EQ(img.Get(1, 0), 0xFFFF00FFu);
  EXPECT_EQ(img.Get(2, 1), 0xFF102030u);
  SetRectAlpha(img.View(), TRect{0, 0, 1, 1}, 0x40, false);
  EXPECT_EQ(img.Get(0, 0), 0x40FF00FFu);
}

TEST(AlphaGraph, BlendColorIntoRectIsHalfOpenAndRounds) {
  TTestImage img(4, 4);
  img.Fill(0x80000000);
  BlendColorIntoRect(img.View(), TRect{0, 0, 2, 2}, 50, 0x0000FF);
  EXPECT_EQ(img.Get(1, 1), 0x80800000u);  // red 127.5 -> 128 (ties to even), alpha kept
  EXPECT_EQ(img.Get(2, 1), 0x80000000u);  // right edge excluded
  EXPECT_EQ(img.Get(1, 2), 0x80000000u);  // bottom edge excluded
  // Larger than the bitmap: the last row and column are reached, nothing beyond.
  TTestImage big(3, 3, TLayout::Padded);
  big.Fill(0);
  TTestImage before(big);
  BlendColorIntoRect(big.View(), TRect{-2, -2, 50, 50}, 0, 0xFFFFFF);
  EXPECT_EQ(big.Get(2, 2), 0x00FFFFFFu);
  for (int y = 0; y < 3; ++y)
    for (std::size_t i = 12; i < 24; ++i)
      EXPECT_EQ(big.Storage()[static_cast<std::size_t>(y) * 24 + i], before.Storage()[static_cast<std::size_t>(y) * 24 + i]);
}

TEST(AlphaGraph, DisabledLookKeepsKeyPixels) {
  TTestImage img(2, 2);
  img.Fill(0xFF0030C0);
  img.Set(1, 1, KeyPixel);
  MakeDisabledLook(img.View(), dkGrayed, TPoint{}, TlxBackgroundView{}, 0);
  EXPECT_EQ(img.Get(0, 0), 0xFF505050u);  // (192 + 48 + 0) div 3
  EXPECT_EQ(img.Get(1, 1), KeyPixel);
  // Blended with the control colour when the background names none.
  MakeDisabledLook(img.View(), dkBlended, TPoint{}, TlxBackgroundView{}, 0x000000);
  EXPECT_EQ(img.Get(0, 0), 0xFF282828u);
  // Blended with a parent bitmap: the image keeps 40 percent; key pixels of either are left.
  TTestImage parent(5, 4);
  parent.Fill(0xFFC8C8C8);
  parent.Set(4, 3, KeyPixel);  // under image pixel (1, 0)
  TTestImage img2(2, 2);
  img2.Fill(0xFF646464);
  img2.Set(0, 1, KeyPixel);
  TlxBackgroundView bg{&parent.View(), 1, 1, clKeyColor};
  MakeDisabledLook(img2.View(), dkBlended, TPoint{2, 2}, bg, 0);
  EXPECT_EQ(img2.Get(0, 0), 0xFFA0A0A0u);  // 200 - (200 - 100) * 0.4 = 160
  EXPECT_EQ(img2.Get(1, 0), 0xFF646464u);  // over a key pixel of the parent
  EXPECT_EQ(img2.Get(0, 1), KeyPixel);
  EXPECT_EQ(img2.Get(1, 1), 0xFF646464u);  // (1, 1) + 3 lies outside the parent: left alone
}

TEST(AlphaGraph, BlendBitmapsFastPinnedValues) {
  for (int alpha : {0, 128, 255}) {
    TTestImage d(4, 3), s(4, 3);
    d.Fill(0xFFFFFFFF);
    s.Fill(0xFFFFFFFF);
    BlendBitmapsFast(d.View(), s.View(), static_cast<Byte>(alpha));
    EXPECT_EQ(d.Get(3, 2), 0xFEFEFEFEu) << alpha;
  }
  TTestImage d(5, 2), s(5, 2);
  d.Fill(0x64646464);
  s.Fill(0xC8C8C8C8);
  BlendBitmapsFast(d.View(), s.View(), 128);
  EXPECT_EQ(d.Get(4, 1), 0x95959595u);  // (100 * 128 + 200 * 127 + 127) >> 8 = 149
}

TEST(AlphaGraph, FastSum32BlendClipsForeignRectangles) {
  TTestImage d(6, 5, TLayout::Padded), s(4, 4, TLayout::BottomUp);
  std::mt19937 rng(7);
  d.FillRandom(rng);
  s.FillRandom(rng);
  TlxFastSum32 f;
  ASSERT_TRUE(f.Attach(s.View(), d.View()));
  EXPECT_EQ(f.GetWidth(), 4);
  EXPECT_EQ(f.GetHeight(), 4);
  f.SetAlpha(0);
  f.SetDstRect(TRect{-3, -2, 40, 40});
  f.SetSrcRect(TRect{-1, -1, 50, 40});
  f.Blend();  // must stay inside both (checked by the sanitizer and the padding below)
  f.SetDstRect(TRect{2, 1, 4, 3});
  f.SetSrcRect(TRect{0, 0, 2, 2});
  const std::uint32_t sp = s.Get(0, 0);
  f.Blend();
  const std::uint32_t got = d.Get(2, 1);
  // Alpha 0 gives (source * 255 + 127) >> 8 per byte.
  for (int sh = 0; sh < 32; sh += 8)
    EXPECT_EQ((got >> sh) & 0xFF, ((((sp >> sh) & 0xFF) * 255u) + 127u) >> 8);
}

TEST(AlphaGraph, BlendConstFastEqualsReference) {
  std::mt19937 rng(1234);
  for (int w = 0; w <= 37; ++w)
    for (TLayout l : kLayouts) {
      const int h = 1 + static_cast<int>(rng() % 5);
      TTestImage d(w + 3, h + 2, l), s(w + 2, h + 1, kLayouts[rng() % 4]);
      d.FillRandom(rng);
      s.FillRandom(rng);
      for (int alpha : {0, 1, 127, 128, 254, 255, static_cast<int>(rng() % 256)}) {
        // Any offset that keeps the w x h block inside both buffers.
        const int dx = static_cast<int>(rng() % 4), dy = static_cast<int>(rng() % 3);
        const int sx = static_cast<int>(rng() % 3), sy = static_cast<int>(rng() % 2);
        TTestImage a(d), b(d);
        BlendConstRef(a.View(), dx, dy, s.View(), sx, sy, w, h, static_cast<Byte>(alpha));
        BlendConstFast(b.View(), dx, dy, s.View(), sx, sy, w, h, static_cast<Byte>(alpha));
        ASSERT_EQ(a.Storage(), b.Storage()) << "w=" << w << " alpha=" << alpha;
      }
    }
}

// A reused work bitmap sized for overwriting keeps the old pixels but zeroes the row padding
// (24-bit rows of 5 pixels end in one padding byte), so whole-row comparisons and hashes of a
// result see zeros there as after SetSize; a new size gives the new layout.
TEST(AlphaGraph, SetSizeForOverwriteZeroesOnlyRowPadding) {
  TlxImageBuffer b(5, 3, 3);
  const TlxPixelBuffer& v = b.View();
  ASSERT_EQ(v.Stride, 16);
  for (int y = 0; y < 3; ++y) std::memset(v.Row(y), 0xAB, 16);
  b.SetSizeForOverwrite(5, 3, 3);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(v.Row(y)[14], 0xAB);
    EXPECT_EQ(v.Row(y)[15], 0) << y;
  }
  b.SetSizeForOverwrite(7, 2, 4);
  EXPECT_EQ(v.Width, 7);
  EXPECT_EQ(v.Height, 2);
  EXPECT_EQ(v.Stride, 28);
  EXPECT_EQ(v.BytesPerPixel, 4);
  b.SetSizeForOverwrite(-3, 2, 4);
  EXPECT_TRUE(v.Empty());
}

}  // namespace
