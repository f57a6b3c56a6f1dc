// Test helpers of the painting layer (see PaintTestUtil.h).
#include "tests/native/skin/paint/PaintTestUtil.h"

#include <cstring>

namespace painttest {

TTestImage::TTestImage(int w, int h, TLayout layout, int bpp) : FLayout(layout) { Layout(w, h, layout, bpp); }

TTestImage::TTestImage(const TTestImage& o) : FData(o.FData), FView(o.FView), FLayout(o.FLayout) {
  FView.Bits = FData.data() + (o.FView.Bits - o.FData.data());
}

void TTestImage::Layout(int w, int h, TLayout layout, int bpp) {
  const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(w) * bpp;
  const std::ptrdiff_t stride = layout == TLayout::TopDown ? ((rowBytes + 3) & ~3) : rowBytes + 12;
  const std::size_t lead = layout == TLayout::Odd ? 1 : 0;
  FData.assign(lead + static_cast<std::size_t>(stride) * (h > 0 ? h : 0) + 8, 0xCD);
  FView.Width = w;
  FView.Height = h;
  FView.BytesPerPixel = bpp;
  if (layout == TLayout::BottomUp && h > 0) {
    FView.Bits = FData.data() + stride * (h - 1);
    FView.Stride = -stride;
  } else {
    FView.Bits = FData.data() + lead;
    FView.Stride = stride;
  }
}

std::uint32_t RandomPixel(std::mt19937& rng, int alphaMode) {
  std::uint32_t v = rng();
  switch (rng() % 8) {
    case 0: v = KeyPixel; break;                   // key
    case 1: v |= 0xFF000000u; break;               // opaque
    case 2: v &= 0x00FFFFFFu; break;               // clear
    case 3: v = (v & 0x00FFFFFFu) | 0x80000000u; break;
    default: break;
  }
  if (alphaMode >= 0 && v != KeyPixel) v = (v & 0x00FFFFFFu) | (static_cast<std::uint32_t>(alphaMode) << 24);
  return v;
}

void TTestImage::FillRandom(std::mt19937& rng, int alphaMode) {
  for (int y = 0; y < FView.Height; ++y)
    for (int x = 0; x < FView.Width; ++x) {
      const std::uint32_t v = RandomPixel(rng, alphaMode);
      std::memcpy(FView.At(x, y), &v, static_cast<std::size_t>(FView.BytesPerPixel));
    }
}

void TTestImage::Fill(std::uint32_t px) {
  for (int y = 0; y < FView.Height; ++y)
    for (int x = 0; x < FView.Width; ++x) std::memcpy(FView.At(x, y), &px, static_cast<std::size_t>(FView.BytesPerPixel));
}

std::uint64_t HashImage(const TlxPixelBuffer& b) {
  std::uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < b.Height; ++y) {
    const Byte* p = b.Row(y);
    for (int i = 0; i < b.Width * b.BytesPerPixel; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  return h;
}

}  // namespace painttest
