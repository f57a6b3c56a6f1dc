// Fuzz target of the scroll-bar geometry: the bytes give a scroll info, a bar (length, arrow,
// least thumb) and a point. Nothing may overflow or divide by zero, and the answers keep their
// invariants: a shown thumb lies inside the track, a drag position lies within the range, the
// part under a point is one of the part codes, and dragging a thumb to its own offset gives a
// position whose thumb lies at that offset (give or take a pixel of rounding) for scroll info
// as the system keeps it.
#include <cstdint>
#include <cstdlib>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/core/lxSBUtilsCore.h"

using paintfuzz::TReader;

namespace {

int Value(TReader& r) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | r.U8();
  return r.U8() & 1 ? static_cast<int>(v) : r.Coord();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TReader r(data, size);
  TlxScrollInfo si;
  si.nMin = Value(r);
  si.nMax = Value(r);
  si.nPage = static_cast<unsigned>(Value(r));
  si.nPos = Value(r);
  const TlxScrollBarLen b{r.Coord(), r.Coord(), r.Small(0, 40)};

  const TlxThumb t = ScrollThumb(si, b);
  const bool shown = ScrollThumbShown(t, b);
  if (shown && (t.Offset < 0 || static_cast<std::int64_t>(t.Offset) + t.Size > b.Track())) std::abort();

  const int pos = ScrollDragPos(si, b, t.Size, t.Offset);
  const std::int64_t page = si.nPage == 0 ? 1 : si.nPage;
  if (pos < si.nMin || (pos != si.nMin && pos > static_cast<std::int64_t>(si.nMax) - page + 1)) std::abort();
  // The round trip holds for scroll info as the system keeps it: the page within the range and
  // the position where a page can start.
  const std::int64_t range = static_cast<std::int64_t>(si.nMax) - si.nMin;
  const bool kept = range >= 0 && si.nPage <= range + 1 && si.nPos >= si.nMin &&
                    si.nPos <= si.nMax - page + 1;
  if (shown && kept && b.Arrow >= 0) {
    TlxScrollInfo back = si;
    back.nPos = pos;
    const TlxThumb t2 = ScrollThumb(back, b);
    if (t2.Size != t.Size || std::abs(t2.Offset - t.Offset) > 1) std::abort();
  }

  const TRect bar = r.Rect();
  const bool vertical = r.U8() & 1;
  const TPoint at{r.Coord(), r.Coord()};
  const int part = ScrollHitPart(bar, vertical, at, si, b.Arrow, b.MinThumb);
  if (part < sbpNone || part > sbpThumb || part == 4) std::abort();
  return 0;
}
