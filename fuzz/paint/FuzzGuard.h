// Shared by the painting fuzz targets: a byte reader over the input, masks read from it, and
// pixel buffers with guard bytes after every row (and a bottom-up option), so that a write
// past a row's end is seen even where the sanitizer cannot see it (inside the same allocation).
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sMaskPaint.h"

namespace paintfuzz {

class TReader {
public:
  TReader(const std::uint8_t* d, std::size_t n) : FData(d), FSize(n) {}
  std::uint8_t U8() { return FPos < FSize ? FData[FPos++] : 0; }
  int Small(int lo, int hi) { return lo + U8() % (hi - lo + 1); }
  // Coordinates: mostly small, sometimes far outside, now and then any 32-bit value (skin
  // data can hold any).
  int Coord() {
    const std::uint8_t k = U8();
    if (k < 200) return static_cast<int>(k) - 40;
    if (k < 250) return static_cast<std::int16_t>(U8() | U8() << 8);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | U8();
    return static_cast<int>(v);
  }
  TRect Rect() {
    const int l = Coord(), t = Coord();
    return TRect{l, t, Add(l, Coord()), Add(t, Coord())};
  }
  // Sum limited to the int range (the fuzzer itself must not overflow).
  static int Add(int a, int b) {
    const long long s = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(s, INT32_MIN, INT32_MAX));
  }

private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

// A mask over `image` with every field read from the input: sizes, counts, bands, borders and
// modes, in range and beyond it.
inline TlxMaskImage ReadMaskImage(TReader& r, const TlxPixelBuffer& image) {
  TlxMaskImage m;
  m.Image = image;
  m.SrcRect = r.Rect();
  m.ImageCount = r.Small(-1, 5);
  m.MaskType = r.Small(-1, 3);
  m.DrawMode = r.U8();
  m.WL = r.Small(-2, 20);
  m.WT = r.Small(-2, 20);
  m.WR = r.Small(-2, 20);
  m.WB = r.Small(-2, 20);
  m.CornerType = r.Small(0, 1);
  return m;
}

constexpr int kGuard = 16;
constexpr std::uint8_t kGuardByte = 0xA5;

class TGuardedImage {
public:
  TGuardedImage(int w, int h, bool bottomUp, TReader& r, int bpp = 4) {
    const std::size_t stride = static_cast<std::size_t>(w) * bpp + kGuard;
    FData.assign(stride * static_cast<std::size_t>(h) + kGuard, kGuardByte);
    for (int y = 0; y < h; ++y)
      for (int i = 0; i < w * bpp; ++i) FData[stride * y + i] = r.U8();
    FView = TlxPixelBuffer{FData.data(), w, h, static_cast<std::ptrdiff_t>(stride), bpp};
    if (bottomUp && h > 0) {
      FView.Bits = FData.data() + stride * (h - 1);
      FView.Stride = -static_cast<std::ptrdiff_t>(stride);
    }
    FStride = stride;
    FRowBytes = static_cast<std::size_t>(w) * bpp;
  }
  TGuardedImage(const TGuardedImage& o) : FData(o.FData), FView(o.FView), FStride(o.FStride), FRowBytes(o.FRowBytes) {
    FView.Bits = FData.data() + (o.FView.Bits - o.FData.data());
  }
  const TlxPixelBuffer& View() const { return FView; }
  void CheckGuards() const {
    for (std::size_t i = 0; i < FData.size(); ++i) {
      const std::size_t inRow = i % FStride;
      const bool pixel = i < FStride * static_cast<std::size_t>(FView.Height) && inRow < FRowBytes;
      if (!pixel && FData[i] != kGuardByte) std::abort();
    }
  }
  bool operator==(const TGuardedImage& o) const { return FData == o.FData; }

private:
  std::vector<std::uint8_t> FData;
  TlxPixelBuffer FView;
  std::size_t FStride = 0;
  std::size_t FRowBytes = 0;
};

}  // namespace paintfuzz
