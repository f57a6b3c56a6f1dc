// Fuzz target of the alpha image list's window-free rules: the alpha repair of an image
// decoded without alpha (keyed on its bottom-left colour, or on a key read from the input)
// and the state column of a strip. The image's size and row order come first, then its
// pixels; the trailing bytes give the key, width, state count and state. Invariants: nothing
// is written outside the pixels (row guards); an image with any alpha is left as it was; one
// without alpha keeps every colour, and exactly the pixels unlike the key become opaque; a
// state column lies inside the strip.
#include <cstdint>
#include <cstdlib>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/paint/lxAlphaImageListCore.h"

using paintfuzz::TGuardedImage;
using paintfuzz::TReader;

namespace {

// Checks `after` against `before` for a repair keyed on `key`.
void CheckRepair(const TGuardedImage& before, const TGuardedImage& after, std::uint32_t key) {
  after.CheckGuards();
  if (HasAlphaPixels(before.View())) {
    if (!(after == before)) std::abort();
    return;
  }
  const TlxPixelBuffer& b = before.View();
  const TlxPixelBuffer& a = after.View();
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      const std::uint32_t was = GetPix(b, x, y), now = GetPix(a, x, y);
      if (now != (was == key ? was : was | 0xFF000000u)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TReader r(data, size);
  const int w = r.Small(0, 24), h = r.Small(0, 24);
  const bool bottomUp = r.U8() & 1;
  // Most inputs have no alpha at all, so that the repair itself runs.
  const bool clearAlpha = (r.U8() & 3) != 0;
  TGuardedImage image(w, h, bottomUp, r);
  if (clearAlpha)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image.View().At(x, y)[3] = 0;

  const TGuardedImage before(image);
  FixAlphaPixels(image.View());
  if (w > 0 && h > 0) CheckRepair(before, image, GetPix(before.View(), 0, h - 1));
  else if (!(image == before)) std::abort();

  TGuardedImage keyed(before);
  std::uint32_t key = 0;
  for (int i = 0; i < 4; ++i) key = key << 8 | r.U8();
  if (r.U8() & 1) key = KeyPixel;
  MakeOpaqueExceptKey(keyed.View(), key);
  CheckRepair(before, keyed, key);

  const int stripWidth = r.Coord(), count = r.Coord(), state = r.Coord();
  const TlxStateColumn c = StateColumn(stripWidth, count, state);
  const int width = stripWidth > 0 ? stripWidth : 0;
  if (c.Width < 0 || c.Left < 0 || c.Width > width || c.Left > width - c.Width) std::abort();
  return 0;
}
