// Fuzz target of the glow geometry and picture: the first byte picks the part. A glow that is
// made lies where its margins and cuts say, inside the uncut glow and never beyond a cut edge;
// the picture stays inside its buffer, every pixel is valid premultiplied colour, and a cut
// picture is exactly its part of the uncut one.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/paint/lxGlowCore.h"

using paintfuzz::TGuardedImage;
using paintfuzz::TReader;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void FuzzGeometry(TReader& r) {
  const TRect control = r.Rect(), visible = r.Rect();
  const TRect borders{r.Coord(), r.Coord(), r.Coord(), r.Coord()};
  const int margin = r.Coord();
  TlxGlowGeometry g;
  if (!GlowGeometry(control, visible, borders, margin, g)) return;
  Check(g.Window.Width() >= 1 && g.Window.Height() >= 1);
  // The window is the part of the uncut glow that is kept.
  Check(g.FullRect.Left <= 0 && g.FullRect.Top <= 0);
  Check(g.FullRect.Right >= g.Window.Width() && g.FullRect.Bottom >= g.Window.Height());
  const long long fullLeft = static_cast<long long>(control.Left) - borders.Left + margin;
  const long long fullTop = static_cast<long long>(control.Top) - borders.Top + margin;
  Check(g.Window.Left + static_cast<long long>(g.FullRect.Left) == fullLeft);
  Check(g.Window.Top + static_cast<long long>(g.FullRect.Top) == fullTop);
  // Where a cut was made, the glow ends at the visible part's edge or inside it.
  if (visible.Width() != control.Width() || visible.Height() != control.Height()) {
    const long long l = control.Left, t = control.Top;
    if (visible.Left != 0) Check(g.Window.Left >= l + visible.Left);
    if (visible.Top != 0) Check(g.Window.Top >= t + visible.Top);
    if (visible.Right != control.Width()) Check(g.Window.Right <= l + visible.Right);
    if (visible.Bottom != control.Height()) Check(g.Window.Bottom <= t + visible.Bottom);
  }
}

void FuzzPicture(TReader& r) {
  TGuardedImage img(r.Small(1, 32), r.Small(1, 32), r.U8() & 1, r);
  TlxMaskImage m = paintfuzz::ReadMaskImage(r, img.View());
  m.OwnImage = true;
  const int w = r.Small(1, 40), h = r.Small(1, 40);
  TGuardedImage full(w, h, r.U8() & 1, r);
  PaintGlowImage(full.View(), TRect{0, 0, w, h}, m);
  full.CheckGuards();
  img.CheckGuards();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = GetPix(full.View(), x, y), a = p >> 24;
      Check((p & 0xFF) <= a && (p >> 8 & 0xFF) <= a && (p >> 16 & 0xFF) <= a);
    }
  const int cl = r.Small(0, w - 1), ct = r.Small(0, h - 1);
  const int cw = r.Small(1, w - cl), ch = r.Small(1, h - ct);
  TGuardedImage cut(cw, ch, r.U8() & 1, r);
  PaintGlowImage(cut.View(), Bounds(-cl, -ct, w, h), m);
  cut.CheckGuards();
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) Check(GetPix(cut.View(), x, y) == GetPix(full.View(), x + cl, y + ct));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TReader r(data, size);
  if (r.U8() & 1)
    FuzzPicture(r);
  else
    FuzzGeometry(r);
  return 0;
}
