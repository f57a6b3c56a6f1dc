// Resampling and blur: pinned filter results, the guards for tiny and empty sizes, indexes kept
// inside the line for every filter, and the row-wise fast passes against their references.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/paint/sBlur.h"
#include "skin/paint/sSmoothStretch.h"
#include "tests/native/skin/paint/PaintTestUtil.h"

using namespace painttest;

namespace {

TEST(SmoothStretch, HermiteHalvingPinned) {
  // Two equal rows: the vertical pass keeps them (same height), the horizontal one halves.
  TTestImage s(8, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 8; ++x) s.Set(x, y, 0x01010101u * static_cast<std::uint32_t>(10 * (x + 1)));
  TlxImageBuffer d;
  SmoothStretch(s.View(), d, 4, 2, 2);
  ASSERT_EQ(d.GetWidth(), 4);
  const std::uint32_t want[4] = {15, 30, 50, 70};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPix(d.View(), x, y), 0x01010101u * want[x]) << x;
}

TEST(SmoothStretch, TooSmallAndEmptySizes) {
  TTestImage thin(1, 5), flat(5, 1);
  TlxImageBuffer d;
  for (const TTestImage* s : {&thin, &flat}) {
    try {
      SmoothStretch(s->View(), d, 4, 4, 2);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Source bitmap is too small");
    }
  }
  TTestImage s(4, 4);
  d.SetSize(3, 3);
  SmoothStretch(s.View(), d, 0, 4, 2);  // a new width of 0 paints nothing (no division by zero)
  SmoothStretch(s.View(), d, 4, 0, 2);
  EXPECT_EQ(d.GetWidth(), 3);
}

TEST(SmoothStretch, SameSizeCopiesAndFormatsStay) {
  std::mt19937 rng(3);
  TTestImage s(5, 4, TLayout::BottomUp, 3);
  s.FillRandom(rng);
  TlxImageBuffer d;
  SmoothStretch(s.View(), d, 5, 4, 6);
  EXPECT_EQ(d.View().BytesPerPixel, 3);
  EXPECT_EQ(HashImage(d.View()), HashImage(s.View()));
  SmoothStretch(s.View(), d, 9, 7, 6);
  EXPECT_EQ(d.View().BytesPerPixel, 3);
}

TEST(SmoothStretch, ContributionsStayInsideTheLine) {
  for (int f = 0; f < lxFilterCount; ++f)
    for (int c : {1, 2, 3, 10}) {
      for (int n : {1, 2, 5, 20}) {
        const TlxContributions list = BuildContributions(n, c, 1, f);
        ASSERT_EQ(static_cast<int>(list.size()), n);
        for (const auto& e : list)
          for (const TlxContributor& k : e) {
            EXPECT_GE(k.Offset, 0);
            EXPECT_LT(k.Offset, c) << "filter " << f << " " << c << "->" << n;
          }
      }
    }
  EXPECT_TRUE(BuildContributions(0, 5, 4, 2).empty());
}

TEST(SmoothStretch, BoxFilterDoesNotDoubleHalfwaySamples) {
  // Enlarging 2 -> 4 puts samples exactly between two source pixels.
  TTestImage s(2, 2);
  s.Fill(0xC8C8C8C8);
  TlxImageBuffer d;
  SmoothStretch(s.View(), d, 4, 4, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPix(d.View(), x, y), 0xC8C8C8C8u);
}

TEST(SmoothStretch, TriangleEnlargingMirrorsBorders) {
  TTestImage s(2, 2);
  s.Set(0, 0, 0xFF000000);
  s.Set(1, 0, 0xFF646464);
  s.Set(0, 1, 0xFF000000);
  s.Set(1, 1, 0xFF646464);
  TlxImageBuffer d;
  SmoothStretch(s.View(), d, 4, 4, 1);
  // g = 1.5 mixes index 1 and the mirrored index 2 -> 1: the border value, not outside memory.
  EXPECT_EQ(GetPix(d.View(), 3, 0) & 0xFF, 100u);
  EXPECT_EQ(GetPix(d.View(), 1, 0) & 0xFF, 50u);
}

TEST(SmoothStretch, FastEqualsReference) {
  std::mt19937 rng(77);
  for (int iter = 0; iter < 120; ++iter) {
    const int bpp = rng() % 3 ? 4 : 3;
    TTestImage s(2 + static_cast<int>(rng() % 14), 2 + static_cast<int>(rng() % 14),
                 rng() % 2 ? TLayout::BottomUp : TLayout::Odd, bpp);
    s.FillRandom(rng);
    const int nw = 1 + static_cast<int>(rng() % 30), nh = 1 + static_cast<int>(rng() % 30);
    const int f = static_cast<int>(rng() % lxFilterCount);
    TlxImageBuffer a, b;
    SmoothStretchRef(s.View(), a, nw, nh, f);
    SmoothStretchFast(s.View(), b, nw, nh, f);
    ASSERT_EQ(HashImage(a.View()), HashImage(b.View())) << iter << " filter " << f;
    ASSERT_EQ(a.GetWidth(), nw);
    ASSERT_EQ(a.GetHeight(), nh);
  }
}

// Larger sizes and strong shrinking and enlarging (many taps, split weights), every filter,
// 24 and 32 bits, any row layout.
TEST(SmoothStretch, FastEqualsReferenceOnLargeRatios) {
  std::mt19937 rng(78);
  for (int iter = 0; iter < 60; ++iter) {
    const int f = iter % lxFilterCount;
    const int bpp = iter % 5 == 4 ? 3 : 4;
    const bool shrink = iter % 2 == 0;
    const int sw = 2 + static_cast<int>(rng() % (shrink ? 300 : 40)), sh = 2 + static_cast<int>(rng() % (shrink ? 200 : 30));
    TTestImage s(sw, sh, rng() % 2 ? TLayout::BottomUp : TLayout::Odd, bpp);
    s.FillRandom(rng);
    const int nw = 1 + static_cast<int>(rng() % (shrink ? 40 : 260)), nh = 1 + static_cast<int>(rng() % (shrink ? 30 : 150));
    TlxImageBuffer a, b;
    SmoothStretchRef(s.View(), a, nw, nh, f);
    SmoothStretchFast(s.View(), b, nw, nh, f);
    ASSERT_EQ(HashImage(a.View()), HashImage(b.View())) << iter << " filter " << f;
  }
}

// Exact halvings of one axis or both, where the triangle and Hermite filters take the 1-2-1
// sums and the others their folded stencils; small sizes and single destination rows take the
// mirrored edge samples.
TEST(SmoothStretch, FastEqualsReferenceOnHalving) {
  std::mt19937 rng(80);
  for (int iter = 0; iter < 120; ++iter) {
    const int f = iter % lxFilterCount;
    const int bpp = iter % 7 == 6 ? 3 : 4;
    const int nw = 1 + static_cast<int>(rng() % 45), nh = 1 + static_cast<int>(rng() % 25);
    const int sw = iter % 5 == 4 ? 2 + static_cast<int>(rng() % 60) : 2 * nw, sh = iter % 5 == 3 ? 2 + static_cast<int>(rng() % 40) : 2 * nh;
    TTestImage s(sw, sh, rng() % 2 ? TLayout::BottomUp : TLayout::Odd, bpp);
    s.FillRandom(rng);
    TlxImageBuffer a, b;
    SmoothStretchRef(s.View(), a, nw, nh, f);
    SmoothStretchFast(s.View(), b, nw, nh, f);
    ASSERT_EQ(HashImage(a.View()), HashImage(b.View())) << iter << " filter " << f << " " << sw << "x" << sh;
  }
}

TEST(SmoothStretch, SourceInsideTheDestination) {
  // Resampling a buffer into itself (a view of its own pixels) gives what a separate source
  // gives: the rows are not read after the destination has been sized.
  std::mt19937 rng(79);
  for (const auto& [nw, nh] : {std::pair{30, 7}, std::pair{5, 4}, std::pair{9, 20}}) {
    TlxImageBuffer d(11, 9);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x) SetPix(d.View(), x, y, static_cast<std::uint32_t>(rng()));
    TTestImage copy(11, 9);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x) copy.Set(x, y, GetPix(d.View(), x, y));
    TlxImageBuffer expected;
    SmoothStretchRef(copy.View(), expected, nw, nh, 6);
    const TlxPixelBuffer self = d.View();
    SmoothStretchFast(self, d, nw, nh, 6);
    ASSERT_EQ(HashImage(d.View()), HashImage(expected.View()));
  }
}

TEST(SmoothStretch, RegressionHashes) {
  std::mt19937 rng(5);
  TTestImage s(13, 9);
  s.FillRandom(rng);
  std::uint64_t h = 0;
  for (int f = 0; f < lxFilterCount; ++f) {
    TlxImageBuffer d;
    SmoothStretch(s.View(), d, 7 + f * 3, 20 - f, f);
    h = h * 31 + HashImage(d.View());
  }
  EXPECT_EQ(h, 10897821458564628976ull);
  TTestImage s24(11, 6, TLayout::BottomUp, 3);
  s24.FillRandom(rng);
  TlxImageBuffer d24;
  SmoothStretch(s24.View(), d24, 17, 4, 6);
  EXPECT_EQ(HashImage(d24.View()), 5128428738487588070ull);
}

TEST(GaussianBlur8, KernelSumsExactlyAndGuardsSigma) {
  EXPECT_TRUE(GaussianKernel8(0).empty());
  EXPECT_TRUE(GaussianKernel8(-2).empty());
  for (double sigma : {0.3, 1.0, 2.5, 7.0, 40.0}) {
    const std::vector<int> k = GaussianKernel8(sigma);
    ASSERT_EQ(k.size() % 2, 1u);
    long long sum = 0;
    for (int v : k) sum += v;
    EXPECT_EQ(sum, 65536);
    EXPECT_EQ(k.front(), k.back());
  }
  EXPECT_GT(GaussianKernel8(5).size(), GaussianKernel8(1).size());
}

TEST(GaussianBlur8, ConstantAreasKeepTheirValue) {
  for (int v : {0, 1, 128, 254, 255}) {
    TTestImage m(17, 9, TLayout::Padded, 1);
    m.Fill(static_cast<std::uint32_t>(v));
    GaussianBlur8(m.View(), 3.0);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 17; ++x) ASSERT_EQ(m.View().At(x, y)[0], v);
  }
  TTestImage m(5, 5, TLayout::TopDown, 1);
  m.Fill(7);
  m.View().At(2, 2)[0] = 200;
  TTestImage before(m);
  GaussianBlur8(m.View(), 0);  // sigma 0: unchanged, no division by zero
  EXPECT_EQ(m.Storage(), before.Storage());
  TTestImage rgba(4, 4);
  GaussianBlur8(rgba.View(), 2);  // not an 8-bit buffer: unchanged
}

TEST(GaussianBlur8, RowPassIsTheTruncatedConvolution) {
  // One row: the column pass maps each value to itself, so this checks the row pass alone.
  std::mt19937 rng(12);
  TTestImage m(30, 1, TLayout::Odd, 1);
  m.FillRandom(rng);
  TTestImage orig(m);
  const std::vector<int> k = GaussianKernel8(2.0);
  const int r = static_cast<int>(k.size() / 2);
  GaussianBlur8(m.View(), 2.0);
  for (int i = 0; i < 30; ++i) {
    long long sum = 0;
    for (int j = -r; j <= r; ++j) sum += static_cast<long long>(k[static_cast<std::size_t>(j + r)]) * orig.View().At(std::clamp(i - j, 0, 29), 0)[0];
    EXPECT_EQ(m.View().At(i, 0)[0], sum >> 16) << i;
  }
}

TEST(GaussianBlur8, FastEqualsReference) {
  std::mt19937 rng(11);
  for (int iter = 0; iter < 60; ++iter) {
    TTestImage m(1 + static_cast<int>(rng() % 150), 1 + static_cast<int>(rng() % 40),
                 rng() % 2 ? TLayout::BottomUp : TLayout::Odd, 1);
    m.FillRandom(rng);
    // Tiny sigmas give a centre weight beyond 16 bits; large ones a kernel wider than the mask.
    const double sigma = iter % 10 == 0 ? 0.05 : iter % 10 == 1 ? 60.0 : 0.2 + (rng() % 100) / 10.0;
    TTestImage a(m), b(m), c(m);
    GaussianBlur8Ref(a.View(), sigma);
    GaussianBlur8Fast(b.View(), sigma);
    GaussianBlur8Fast(c.View(), sigma, TlxLanes::Sse2);
    ASSERT_EQ(a.Storage(), b.Storage()) << iter;
    ASSERT_EQ(a.Storage(), c.Storage()) << iter;
  }
}

}  // namespace
