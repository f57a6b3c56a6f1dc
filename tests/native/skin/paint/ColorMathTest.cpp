// Colour maths: pinned colours of hue rotation, saturation and blends (rounding ties to even),
// wrapping of negative hue offsets, and the whole-buffer transforms against their references.
#include <gtest/gtest.h>

#include <vector>

#include "skin/paint/sColorMath.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(ColorMath, HueOffsetPinnedColours) {
  EXPECT_EQ(ApplyHueOffset(120, 0x0000FF), 0x00FF00);
  EXPECT_EQ(ApplyHueOffset(30, 0x0000FD), 0x007EFD);  // 126.5 rounds to even
  EXPECT_EQ(ApplyHueOffset(240, 0x0000FF), 0xFF0000);
  EXPECT_EQ(ApplyHueOffset(0, 0x12345678), 0x12345678);  // bit for bit
  EXPECT_EQ(ApplyHueOffset(77, static_cast<TColor>(0x7F808080)), static_cast<TColor>(0x7F808080));  // grey stays grey
  EXPECT_EQ(ApplyHueOffset(120, static_cast<TColor>(0xAB0000FF)), static_cast<TColor>(0xAB00FF00));  // top byte kept
}

TEST(ColorMath, NegativeAndLargeHueOffsetsWrap) {
  EXPECT_EQ(ApplyHueOffset(-120, 0x0000FF), 0xFF0000);
  EXPECT_EQ(ApplyHueOffset(-480, 0x0000FF), 0xFF0000);
  EXPECT_EQ(ApplyHueOffset(480, 0x0000FF), 0x00FF00);
  EXPECT_EQ(ApplyHueOffset(-360, 0x0040FF), 0x0040FF);
  // Every offset yields a valid colour of the same value (max channel) for a saturated colour.
  for (int off = -1000; off <= 1000; off += 37) {
    const std::uint32_t c = ColorHueShift(off, 0x00FF2000);
    EXPECT_EQ(std::max({(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF}), 0xFFu) << off;
  }
}

TEST(ColorMath, SaturationPinnedColours) {
  EXPECT_EQ(ApplyColorSaturation(0x0000FF, -100), 0x555555);
  EXPECT_EQ(ApplyColorSaturation(0x123456, 0), 0x123456);
  // Positive amounts push away from the grey level and clip at 0 and 255.
  EXPECT_EQ(ApplyColorSaturation(0x4080C0, 100), 0x0080FF);
  EXPECT_EQ(ApplyColorSaturation(static_cast<TColor>(0x5A0000FF), -100), static_cast<TColor>(0x5A555555));
}

TEST(ColorMath, BlendColorsRatiosAndTopByte) {
  EXPECT_EQ(BlendColors(0xFFFFFF, 0, 0.5), 0x808080);
  EXPECT_EQ(BlendColors(static_cast<TColor>(0x11FF8000), 0x0000FF, 1.0), static_cast<TColor>(0x11FF8000));
  EXPECT_EQ(BlendColors(static_cast<TColor>(0x11FF8000), 0x2200FF, 0.0), static_cast<TColor>(0x112200FF));
  EXPECT_EQ(BlendColors(0x000003, 0x000000, 0.5), 0x000002);  // 1.5 -> 2
  EXPECT_EQ(BlendColors(0x000005, 0x000000, 0.5), 0x000002);  // 2.5 -> 2
}

TEST(ColorMath, GreyscaleAndKeys) {
  TTestImage img(3, 1);
  img.Set(0, 0, 0x80030201);
  img.Set(1, 0, KeyPixel);
  img.Set(2, 0, 0xFF0000FF);
  TTestImage copy(img);
  GrayscaleBitmap(img.View());
  EXPECT_EQ(img.Get(0, 0), 0x80020202u);
  EXPECT_EQ(img.Get(1, 0), 0x00AAAAAAu);
  GrayscaleExceptKey(copy.View(), KeyPixel);
  EXPECT_EQ(copy.Get(1, 0), KeyPixel);
  EXPECT_EQ(copy.Get(2, 0), 0xFF555555u);
}

TEST(ColorMath, HueShiftBitmapLeavesGreyAndKeyPixels) {
  TTestImage img(3, 2);
  img.Fill(0xFF00FF00);  // green pixel
  img.Set(0, 0, KeyPixel);
  img.Set(1, 0, 0x40777777);
  HueShiftBitmap(img.View(), 120);
  EXPECT_EQ(img.Get(0, 0), KeyPixel);
  EXPECT_EQ(img.Get(1, 0), 0x40777777u);
  EXPECT_EQ(img.Get(2, 1), 0xFF0000FFu);  // green + 120 degrees = blue
}

TEST(ColorMath, BufferTransformsFastEqualReference) {
  std::mt19937 rng(99);
  for (int w = 0; w <= 33; w += 3)
    for (TLayout l : {TLayout::TopDown, TLayout::BottomUp, TLayout::Odd}) {
      TTestImage img(w, 1 + static_cast<int>(rng() % 6), l);
      img.FillRandom(rng);
      // Runs of equal pixels, as skin images have them.
      for (int x = 1; x < w; x += 2) img.Set(x, 0, img.Get(x - 1, 0));
      for (int off : {-200, -1, 1, 90, 359, 725}) {
        TTestImage a(img), b(img), c(img);
        HueShiftBitmapRef(a.View(), off);
        HueShiftBitmapFast(b.View(), off);
        HueShiftBitmapFast(c.View(), off, TlxLanes::Sse2);
        ASSERT_EQ(a.Storage(), b.Storage()) << off;
        ASSERT_EQ(a.Storage(), c.Storage()) << off;
      }
      for (int amt : {-100, -30, 25, 100}) {
        TTestImage a(img), b(img);
        SaturateBitmapRef(a.View(), amt);
        SaturateBitmapFast(b.View(), amt);
        ASSERT_EQ(a.Storage(), b.Storage()) << amt;
      }
    }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Every 24-bit colour, a million at a time, with alphas cycling: the fast hue shift gives the
// reference's pixels (the integer form meets the float maths at every rounding tie too). The
// other offsets and the saturation amounts sweep a dense sample.
TEST(ColorMath, BitmapTransformsEqualReferenceOnEveryColour) {
  TTestImage img(1024, 1024);
  auto sweep = [&](std::uint32_t first, std::uint32_t step, const std::vector<int>& offsets, const std::vector<int>& amounts) {
    for (std::uint32_t c = first; c < (1u << 24); c += step * (1u << 20)) {
      for (std::uint32_t i = 0; i < (1u << 20); ++i) {
        const std::uint32_t rgb = (c + i * step) & 0xFFFFFF;
        img.Set(static_cast<int>(i % 1024), static_cast<int>(i / 1024), rgb | ((i * 37u) & 0xFF) << 24);
      }
      img.Set(0, 0, KeyPixel);
      img.Set(1, 0, 0xFFFF00FFu);  // opaque magenta is coloured
      for (int off : offsets) {
        TTestImage a(img), b(img), d(img);
        HueShiftBitmapRef(a.View(), off);
        HueShiftBitmapFast(b.View(), off);
        HueShiftBitmapFast(d.View(), off, TlxLanes::Sse2);
        ASSERT_EQ(a.Storage(), b.Storage()) << "offset " << off << " from " << c;
        ASSERT_EQ(a.Storage(), d.Storage()) << "offset " << off << " from " << c << " (128-bit lanes)";
      }
      for (int amt : amounts) {
        TTestImage a(img), b(img);
        SaturateBitmapRef(a.View(), amt);
        SaturateBitmapFast(b.View(), amt);
        ASSERT_EQ(a.Storage(), b.Storage()) << "amount " << amt << " from " << c;
      }
    }
  };
  // Every colour for one offset; under the sanitizers (ten times slower) every seventh.
  sweep(0, kSanitized ? 7 : 1, {40}, {});
  sweep(5, 13, {-77, 1, 30, 90, 180, 359, 360 * 3 + 7, -1000000, (1 << 30) + 5, 0x7FFFFF00}, {-100, -35, 1, 50, 250});
}

}  // namespace
