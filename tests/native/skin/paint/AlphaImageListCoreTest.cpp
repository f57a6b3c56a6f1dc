// The alpha image list's window-free rules: the alpha repair of images decoded without alpha
// and the column of one state of a strip.
#include <gtest/gtest.h>

#include "skin/paint/lxAlphaImageListCore.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

// A 3 x 2 image without alpha: the bottom-left pixel's colour (0x00102030) twice, and others.
TTestImage NoAlphaImage(TLayout layout) {
  TTestImage img(3, 2, layout);
  const std::uint32_t px[2][3] = {{0x00102030u, 0x00FF00FFu, 0x00405060u}, {0x00102030u, 0x00000000u, 0x00FFFFFFu}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) img.Set(x, y, px[y][x]);
  return img;
}

TEST(FixAlphaPixels, OpaqueUnlessBottomLeftColourOrAlphaPresent) {
  for (TLayout layout : {TLayout::TopDown, TLayout::BottomUp, TLayout::Odd}) {
    TTestImage img = NoAlphaImage(layout);
    FixAlphaPixels(img.View());
    const std::uint32_t fixed[2][3] = {{0x00102030u, 0xFFFF00FFu, 0xFF405060u}, {0x00102030u, 0xFF000000u, 0xFFFFFFFFu}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(img.Get(x, y), fixed[y][x]) << x << "," << y;
    // Any alpha at all: the image is taken as it is.
    TTestImage some = NoAlphaImage(layout);
    some.Set(2, 0, 0x01405060u);
    const TTestImage before(some);
    FixAlphaPixels(some.View());
    EXPECT_EQ(some.Storage(), before.Storage());
  }
}

TEST(StateColumn, WidthByCountAndStateLimited) {
  struct {
    int width, count, state;
    TlxStateColumn want;
  } const cases[] = {
      {48, 3, 0, {0, 16}},  {48, 3, 1, {16, 16}}, {48, 3, 5, {32, 16}},   // beyond the last: the last
      {48, 3, -2, {0, 16}}, {50, 3, 2, {32, 16}},                          // integer division
      {48, 0, 0, {0, 48}},  {48, -4, 3, {0, 48}}, {48, 1, 7, {0, 48}},    // below 1: one state
      {2, 5, 4, {0, 0}},
  };
  for (const auto& c : cases) {
    const TlxStateColumn got = StateColumn(c.width, c.count, c.state);
    EXPECT_EQ(got.Left, c.want.Left) << c.width << " " << c.count << " " << c.state;
    EXPECT_EQ(got.Width, c.want.Width) << c.width << " " << c.count << " " << c.state;
  }
}

}  // namespace
