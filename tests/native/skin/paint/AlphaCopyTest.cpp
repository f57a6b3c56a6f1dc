// Alpha copies and blends: pinned results of the edge cases (background factor, negative
// blend points, key colour info, reflection length), the band copy cases, and every fast copy
// against its reference on random sizes, rectangles and offsets.
#include <gtest/gtest.h>

#include "skin/paint/sAlphaCopy.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

const TLayout kLayouts[] = {TLayout::TopDown, TLayout::Padded, TLayout::BottomUp, TLayout::Odd};

TRect RandomRect(std::mt19937& rng, int w, int h) {
  const int l = static_cast<int>(rng() % (w + 6)) - 3, t = static_cast<int>(rng() % (h + 6)) - 3;
  return TRect{l, t, l + static_cast<int>(rng() % (w + 4)), t + static_cast<int>(rng() % (h + 4))};
}

TEST(AlphaCopy, BlendWithBackgroundKeepsFactorOfDestination) {
  TTestImage d(2, 2), s(2, 2);
  d.Fill(0xFF646464);  // 100
  s.Fill(0x00C8C8C8);  // 200
  s.Set(1, 1, KeyPixel);
  BlendWithBackground(d.View(), 0, 0, clKeyColor, 0.4, TRect{0, 0, 1, 1}, s.View());
  EXPECT_EQ(d.Get(0, 0), 0xFFA0A0A0u);  // 40 % of 100 + 60 % of 200 = 160
  EXPECT_EQ(d.Get(1, 1), 0xFF646464u);  // key skipped
}

TEST(AlphaCopy, BlendBitmapPartNegativePointMovesSource) {
  TTestImage d(4, 2), s(8, 2);
  d.Fill(0);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 2; ++y) s.Set(x, y, 0x01010101u * static_cast<std::uint32_t>(x * 10));
  BlendBitmapPart(d.View(), s.View(), 0, TPoint{-3, 0}, TRect{0, 0, 8, 2});
  // Alpha 0: (source * 255 + 127) >> 8; x 0 shows source column 3 (30 -> 30).
  EXPECT_EQ(d.Get(0, 0) & 0xFF, 30u);
  EXPECT_EQ(d.Get(3, 1) & 0xFF, 60u);
}

TEST(AlphaCopy, TransparentPieceColourInfo) {
  TTestImage d(3, 1), s(3, 1);
  d.Fill(0x11111111);
  s.Set(0, 0, KeyPixel);
  s.Set(1, 0, 0x80203040);
  s.Set(2, 0, KeyPixel);
  TlxBackgroundView none;  // colour 0xFF00FF: key pixels stay key pixels
  CopyTransparentPiece(d.View(), s.View(), 0, true, none, clKeyColor, TRect{0, 0, 2, 0}, 0);
  EXPECT_EQ(d.Get(0, 0), KeyPixel);
  EXPECT_EQ(d.Get(1, 0), 0x80203040u);
  TlxBackgroundView blue;
  blue.Color = 0xFF0000;
  CopyTransparentPiece(d.View(), s.View(), 0, false, blue, clKeyColor, TRect{0, 0, 2, 0}, 0);
  EXPECT_EQ(d.Get(2, 0), 0xFF0000FFu);
}

TEST(AlphaCopy, TransparentPieceFromBackgroundBitmap) {
  TTestImage d(2, 1), s(2, 1), parent(4, 4);
  d.Fill(0);
  parent.Fill(0x00ABCDEF);
  s.Set(0, 0, KeyPixel);
  s.Set(1, 0, 0x00010203);
  TlxBackgroundView bg{&parent.View(), 2, 3, clKeyColor};
  CopyTransparentPiece(d.View(), s.View(), 0, true, bg, clKeyColor, TRect{0, 0, 1, 0}, 0);
  EXPECT_EQ(d.Get(0, 0), 0xFFABCDEFu);
  EXPECT_EQ(d.Get(1, 0), 0xFF010203u);
}

TEST(AlphaCopy, MaskPieceBandCases) {
  // Picture row 0, band row 1 (band offset 1).
  TTestImage s(2, 2);
  s.Set(0, 0, KeyPixel);
  s.Set(1, 0, 0x00C8C8C8);
  s.Set(0, 1, 0x00000000);
  s.Set(1, 1, 0x00808080);  // m = 128 on every channel
  TTestImage d(2, 1);
  d.Fill(0x10646464);
  TlxBackgroundView none;
  CopyMaskPiece(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, d.View(), 1, false, none, s.View());
  EXPECT_EQ(d.Get(0, 0), 0x10646464u);  // key skipped
  // ((100 - 200) * 128 + 200 * 256) >> 8 = 150
  EXPECT_EQ(d.Get(1, 0), 0x10969696u);
  TlxBackgroundView green;
  green.Color = 0x00FF00;
  d.Fill(0x10646464);
  CopyMaskPiece(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, d.View(), 1, true, green, s.View());
  EXPECT_EQ(d.Get(0, 0), 0x0000FF00u);  // the colour with its top byte as alpha
  TTestImage parent(3, 3);
  parent.Fill(0x00ABCDEF);
  TlxBackgroundView bg{&parent.View(), 0, 0, clKeyColor};
  d.Fill(0x10646464);
  CopyMaskPiece(TRect{0, 0, 2, 1}, TRect{0, 0, 2, 1}, d.View(), 1, true, bg, s.View());
  EXPECT_EQ(d.Get(0, 0), 0xFFABCDEFu);
  EXPECT_EQ(d.Get(1, 0), 0xFF969696u);
}

TEST(AlphaCopy, MaskPieceBandRedByteOrOwnChannels) {
  // Band red 128, green and blue 0: the red byte, or each channel its own.
  TTestImage s(1, 2);
  s.Set(0, 0, 0x00C8C8C8);
  s.Set(0, 1, 0x00800000);
  TTestImage parent(2, 2);
  parent.Fill(0x00ABCDEF);
  TlxBackgroundView green, bmp{&parent.View(), 0, 0, clKeyColor};
  green.Color = 0x00FF00;
  struct Case { bool fill; const TlxBackgroundView* bg; std::uint32_t want; };
  const TlxBackgroundView none;
  const Case cases[] = {{true, &bmp, 0xFF96C8C8u},     // bitmap with fill: own channels
                        {false, &bmp, 0x10969696u},    // bitmap without fill: red byte
                        {true, &green, 0x10969696u},   // colour with fill: red byte
                        {false, &none, 0x1096C8C8u}};  // colour without fill: own channels
  for (const Case& c : cases) {
    TTestImage d(1, 1);
    d.Fill(0x10646464);
    CopyMaskPiece(TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1}, d.View(), 1, c.fill, *c.bg, s.View());
    EXPECT_EQ(d.Get(0, 0), c.want) << c.fill << " " << (c.bg == &bmp);
  }
}

TEST(AlphaCopy, AlphaOverPinnedValues) {
  TTestImage d(1, 1), s(1, 1);
  d.Fill(0x80000000);
  s.Fill(0x80FF0064);
  CopyBitmapRect(TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1}, d.View(), false, TlxBackgroundView{}, s.View());
  // Channels: 0 + (255 * 128) >> 8 = 127, 0 + (100 * 128) >> 8 = 50; alpha 128 + 128 * 127 div 255 = 191.
  EXPECT_EQ(d.Get(0, 0), 0xBF7F0032u);
}

TEST(AlphaCopy, KeyedCopyFrom24And32Bits) {
  TTestImage d(3, 3);
  d.Fill(0x01020304);
  TTestImage s24b(2, 1, TLayout::TopDown, 3);
  const Byte px[6] = {0xFF, 0x00, 0xFF, 0x56, 0x34, 0x12};
  std::memcpy(s24b.View().Row(0), px, 6);
  CopyBitmapKeyed(d.View(), s24b.View(), -1, clKeyColor, 2);
  EXPECT_EQ(d.Get(0, 2), 0xFF123456u);  // column 1 of the source at x 0
  EXPECT_EQ(d.Get(1, 2), 0x01020304u);
  // 32 bits: only the whole key pixel (alpha 0) is skipped; opaque magenta is painted.
  TTestImage s32(5, 1);
  const std::uint32_t row[5] = {KeyPixel, 0xFFFF00FFu, 0x80FF00FFu, 0x00FF00FEu, KeyPixel};
  for (int x = 0; x < 5; ++x) s32.Set(x, 0, row[x]);
  for (bool fast : {false, true}) {
    TTestImage e(5, 1);
    e.Fill(0x01020304);
    (fast ? CopyBitmapKeyedFast : CopyBitmapKeyedRef)(e.View(), s32.View(), 0, clKeyColor, 0);
    const std::uint32_t want[5] = {0x01020304u, 0xFFFF00FFu, 0xFFFF00FFu, 0xFFFF00FEu, 0x01020304u};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(e.Get(x, 0), want[x]) << fast << " " << x;
  }
}

TEST(AlphaCopy, ReflectionLengthAndTinyImages) {
  TTestImage s(4, 40);
  s.Fill(0xFFFFFFFF);
  TTestImage d(4, 100);
  d.Fill(0xFF000000);
  CopyWithAlpha(TRect{0, 0, 4, 40}, TRect{0, 0, 4, 40}, d.View(), true, 0, clNoneTint, false, TlxBackgroundView{},
                s.View());
  int rows = 0;
  for (int y = 40; y < 100; ++y) rows += (d.Get(0, y) & 0xFF) != 0;
  EXPECT_EQ(rows, 19);
  // Fades out: the first mirrored row is the brightest.
  EXPECT_GT(d.Get(0, 40) & 0xFF, d.Get(0, 50) & 0xFF);
  // A source of 1 to 3 rows draws no reflection and divides by nothing.
  for (int h = 1; h <= 3; ++h) {
    TTestImage t(2, h), e(2, 10);
    t.Fill(0xFFFFFFFF);
    e.Fill(0xFF000000);
    CopyWithAlpha(TRect{0, 0, 2, h}, TRect{0, 0, 2, h}, e.View(), true, 50, clNoneTint, false, TlxBackgroundView{},
                  t.View());
    EXPECT_EQ(e.Get(0, h), 0xFF000000u);
  }
}

TEST(AlphaCopy, TintAndBlendPercent) {
  TTestImage d(1, 1), s(1, 1);
  d.Fill(0xFF000000);
  s.Fill(0xFF3C3C3C);  // grey 60, opaque
  // Tint 0x0000FF (red): red = round(60 * 255 / 255) = 60, others 0; blend 50 -> weight 127.
  CopyWithAlpha(TRect{0, 0, 1, 1}, TRect{0, 0, 1, 1}, d.View(), false, 50, 0x0000FF, false, TlxBackgroundView{},
                s.View());
  EXPECT_EQ(d.Get(0, 0), 0xFF1D0000u);  // 60 * 127 >> 8 = 29
}

TEST(AlphaCopy, FastCopiesEqualReference) {
  std::mt19937 rng(4711);
  for (int iter = 0; iter < 400; ++iter) {
    const int sw = static_cast<int>(rng() % 23), sh = static_cast<int>(rng() % 7);
    const int dw = static_cast<int>(rng() % 23), dh = static_cast<int>(rng() % 7);
    TTestImage s(sw, sh, kLayouts[rng() % 4]), d(dw, dh, kLayouts[rng() % 4]);
    const int alphaMode = static_cast<int>(rng() % 4) == 0 ? -1 : static_cast<int>(rng() % 3) * 127 + (rng() % 2);
    s.FillRandom(rng, alphaMode);
    d.FillRandom(rng);
    TTestImage parent(dw + 4, dh + 4);
    parent.FillRandom(rng);
    TlxBackgroundView bg = rng() % 2 ? TlxBackgroundView{&parent.View(), 1, 2, clKeyColor} : TlxBackgroundView{};
    const TRect dr = RandomRect(rng, dw, dh), sr = RandomRect(rng, sw, sh);
    const bool fill = rng() % 2, refl = rng() % 2;
    {
      TTestImage a(d), b(d);
      CopyBitmapRectRef(dr, sr, a.View(), fill, bg, s.View());
      CopyBitmapRectFast(dr, sr, b.View(), fill, bg, s.View());
      ASSERT_EQ(a.Storage(), b.Storage()) << "CopyBitmapRect " << iter;
    }
    {
      TTestImage a(d), b(d);
      const int blend = rng() % 3 ? 0 : static_cast<int>(rng() % 120);
      const TColor tint = rng() % 3 ? clNoneTint : static_cast<TColor>(rng() & 0xFFFFFF);
      CopyWithAlphaRef(dr, sr, a.View(), refl, blend, tint, fill, bg, s.View());
      CopyWithAlphaFast(dr, sr, b.View(), refl, blend, tint, fill, bg, s.View());
      ASSERT_EQ(a.Storage(), b.Storage()) << "CopyWithAlpha " << iter;
    }
    {
      TTestImage a(d), b(d);
      const int x = static_cast<int>(rng() % (dw + 8)) - 4, y = static_cast<int>(rng() % (dh + 8)) - 4;
      CopyBitmapKeyedRef(a.View(), s.View(), x, clKeyColor, y);
      CopyBitmapKeyedFast(b.View(), s.View(), x, clKeyColor, y);
      ASSERT_EQ(a.Storage(), b.Storage()) << "CopyBitmapKeyed " << iter;
    }
  }
}

TEST(AlphaCopy, RegressionHashOfComposedImage) {
  std::mt19937 rng(2026);
  TTestImage d(37, 21), s(19, 17);
  d.FillRandom(rng);
  s.FillRandom(rng);
  TlxBackgroundView bg;
  CopyWithAlpha(TRect{3, 2, 30, 20}, TRect{0, 0, 19, 17}, d.View(), true, 0, clNoneTint, false, bg, s.View());
  CopyBitmapRect(TRect{-4, 5, 20, 20}, TRect{2, 0, 19, 17}, d.View(), false, bg, s.View());
  CopyBitmapKeyed(d.View(), s.View(), 20, clKeyColor, -3);
  BlendBitmapPart(d.View(), s.View(), 77, TPoint{5, 5}, TRect{1, 1, 15, 12});
  EXPECT_EQ(HashImage(d.View()), 14050204034194105523ull);
}

}  // namespace
