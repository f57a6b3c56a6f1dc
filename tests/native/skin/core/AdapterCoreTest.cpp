// The window-free parts of the edit, static, link and size-grip adapters: the static text
// format, link tag stripping, the grip's place and the corner filling of a cache.
#include "skin/core/lxAdapterCore.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(StaticTextFormat, StylesAddTheirFlags) {
  struct Case {
    std::uint32_t Style, ExStyle;
    bool Rtl;
    unsigned Expected;
  } cases[] = {
      {0, 0, false, 0x150},
      {lxSS_NOPREFIX, 0, false, 0x950},
      {0, lxWS_EX_RIGHT, false, 0x152},
      {0, 0, true, 0x20150},
  };
  for (const Case& c : cases) EXPECT_EQ(StaticTextFormat(c.Style, c.ExStyle, c.Rtl), c.Expected) << c.Expected;
}

TEST(StripLinkTags, AnchorTagsGoAndEverythingElseStays) {
  struct Case {
    const char* In;
    const char* Out;
  } cases[] = {
      {"Visit <A>forum</A> now", "Visit forum now"},
      {"<a href=\"x\">one</a> and <A>two</A>", "one and two"},
      {"a < b <abbr> <a", "a < b <abbr> <a"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StripLinkTags(c.In), c.Out) << c.In;
}

TEST(SizeGripOrigin, BottomRightNeverBeforeTheOriginAndZeroCountsCountAsOne) {
  struct Case {
    int W, H, MaskW, MaskH, Images, States;
    TPoint Expected;
  } cases[] = {
      {40, 30, 32, 24, 2, 1, {24, 18}},   // 16 x 12 frames
      {10, 8, 32, 24, 2, 1, {0, 0}},      // window smaller than the image
      {40, 30, 16, 12, 0, -1, {24, 18}},  // counts a skin left at 0 and -1
  };
  for (const Case& c : cases) {
    const TPoint p = SizeGripOrigin(c.W, c.H, c.MaskW, c.MaskH, c.Images, c.States);
    EXPECT_EQ(p.X, c.Expected.X);
    EXPECT_EQ(p.Y, c.Expected.Y);
  }
}

namespace {

// A mask of one 12 x 12 frame with 5-pixel borders: key pixels in the corner pieces, grey
// elsewhere.
TlxImageBuffer KeyCornerMask() {
  TlxImageBuffer m(12, 12);
  const TlxPixelBuffer b = m.View();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) SetPix(b, x, y, (x < 5 || x >= 7) && (y < 5 || y >= 7) ? KeyPixel : 0xFF808080u);
  return m;
}

TlxMaskImage MaskOf(const TlxImageBuffer& image) {
  TlxMaskImage m;
  m.Image = image.View();
  m.SrcRect = TRect{0, 0, 12, 12};
  m.WL = m.WT = m.WR = m.WB = 5;
  return m;
}

}  // namespace

TEST(FillTransparentCornerPixels, AWindowSmallerThanTheCornersIsFilledInsideItsOwnPixelsOnly) {
  const TlxImageBuffer maskImage = KeyCornerMask();
  const TlxMaskImage mask = MaskOf(maskImage);
  // The 3 x 3 cache in exactly its own memory, so that a write beside it is caught.
  auto pixels = std::make_unique<std::uint32_t[]>(9);
  const TlxPixelBuffer cache{reinterpret_cast<Byte*>(pixels.get()), 3, 3, 12, 4};
  for (int i = 0; i < 9; ++i) pixels[static_cast<size_t>(i)] = 0xFF000000u;
  FillTransparentCornerPixels(cache, mask, 0, TlxBackgroundView{nullptr, 0, 0, 0x0000FF});
  for (int i = 0; i < 9; ++i) EXPECT_EQ(pixels[static_cast<size_t>(i)], 0xFFFF0000u) << i;
}

TEST(FillTransparentCornerPixels, KeyPixelsTakeTheBackgroundPieceAndOthersStay) {
  const TlxImageBuffer maskImage = KeyCornerMask();
  const TlxMaskImage mask = MaskOf(maskImage);
  TlxImageBuffer cache(20, 20), back(40, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) SetPix(back.View(), x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 256 + y));
  FillTransparentCornerPixels(cache.View(), mask, 0, TlxBackgroundView{&back.View(), 7, 3, clKeyColor});
  struct Probe {
    int X, Y;
    std::uint32_t Expected;
  } probes[] = {
      {0, 0, 0xFF000000u | (7 * 256 + 3)},
      {19, 19, 0xFF000000u | (26 * 256 + 22)},
      {5, 0, 0},   // between the corners: not a corner piece
      {10, 10, 0},
  };
  for (const Probe& p : probes) EXPECT_EQ(GetPix(cache.View(), p.X, p.Y), p.Expected) << p.X << "," << p.Y;
}
