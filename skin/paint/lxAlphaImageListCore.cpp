// Alpha repair and state columns of the alpha image list (see lxAlphaImageListCore.h).
#include "skin/paint/lxAlphaImageListCore.h"

#include <algorithm>

namespace {
bool Usable32(const TlxPixelBuffer& b) { return !b.Empty() && b.BytesPerPixel == 4; }
}  // namespace

bool HasAlphaPixels(const TlxPixelBuffer& b) {
  if (!Usable32(b)) return false;
  for (int y = 0; y < b.Height; ++y) {
    const Byte* row = b.Row(y);
    for (int x = 0; x < b.Width; ++x)
      if (row[x * 4 + 3] != 0) return true;
  }
  return false;
}

bool MakeOpaqueExceptKey(const TlxPixelBuffer& b, std::uint32_t key) {
  if (!Usable32(b) || HasAlphaPixels(b)) return false;
  bool changed = false;
  for (int y = 0; y < b.Height; ++y) {
    Byte* row = b.Row(y);
    for (int x = 0; x < b.Width; ++x) {
      Byte* p = row + x * 4;
      if (LoadPixel(p) == key) continue;
      p[3] = 255;
      changed = true;
    }
  }
  return changed;
}

void FixAlphaPixels(const TlxPixelBuffer& b) {
  if (!Usable32(b)) return;
  // Without alpha anywhere the bottom-left pixel's whole value is its colour.
  MakeOpaqueExceptKey(b, GetPix(b, 0, b.Height - 1));
}

TlxStateColumn StateColumn(int imageWidth, int stateCount, int state) {
  const int count = std::max(stateCount, 1);
  const int width = std::max(imageWidth, 0) / count;
  return TlxStateColumn{std::clamp(state, 0, count - 1) * width, width};
}
