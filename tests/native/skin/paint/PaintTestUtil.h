// Test helpers of the painting layer: images with chosen row layouts (padding, bottom-up rows,
// odd offsets) filled from a seeded generator, whole-storage comparison (so that a write into
// row padding shows up too) and an image hash for regression pins.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "skin/paint/sAlphaGraph.h"

namespace painttest {

enum class TLayout { TopDown, Padded, BottomUp, Odd };

// Owns its bytes; View() lays the rows out as the layout says. Odd starts one byte into the
// storage so that pixels are not 4-byte aligned.
class TTestImage {
public:
  TTestImage(int w, int h, TLayout layout = TLayout::TopDown, int bpp = 4);
  TTestImage(const TTestImage& o);
  TTestImage& operator=(const TTestImage&) = delete;
  const TlxPixelBuffer& View() const { return FView; }
  const std::vector<Byte>& Storage() const { return FData; }
  void FillRandom(std::mt19937& rng, int alphaMode = -1);  // -1 any alpha, else that alpha
  void Fill(std::uint32_t px);
  std::uint32_t Get(int x, int y) const { return GetPix(FView, x, y); }
  void Set(int x, int y, std::uint32_t v) { SetPix(FView, x, y, v); }

private:
  void Layout(int w, int h, TLayout layout, int bpp);
  std::vector<Byte> FData;
  TlxPixelBuffer FView;
  TLayout FLayout;
};

// FNV-1a over the pixels (row by row, width * bpp bytes each), independent of the layout.
std::uint64_t HashImage(const TlxPixelBuffer& b);
// Random pixel with a few key pixels and extreme alphas mixed in.
std::uint32_t RandomPixel(std::mt19937& rng, int alphaMode = -1);

}  // namespace painttest
