// Fuzz target of the glyph and caption geometry: the first byte picks a routine from the table
// below, the following bytes give sizes, rectangles, margins, modes, states and pixels. Every
// routine must stay inside its buffers (sanitizer and row guards) and keep its invariants: the
// nine-piece plan lists only non-empty copies that read inside the source rectangle, and a
// glyph and caption placed in a rectangle keep their sizes.
#include <cstdint>
#include <cstdlib>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/paint/sGlyphPaint.h"
#include "skin/paint/sTextEffects.h"

using paintfuzz::TGuardedImage;
using paintfuzz::TReader;

namespace {

void FuzzGlyphState(TReader& r) {
  const int bpp = (r.U8() & 1) ? 4 : 3;
  TGuardedImage strip(r.Small(0, 40), r.Small(0, 12), r.U8() & 1, r, bpp);
  TGuardedImage dst(r.Small(0, 24), r.Small(0, 24), r.U8() & 1, r);
  TlxGlyphState s;
  s.StateIndex = r.Coord();
  s.BlendPercent = r.Small(-10, 120);
  s.Kind = r.Small(-1, 3);
  s.DisabledKinds = r.Small(0, 3);
  s.UseStates = r.U8() & 1;
  s.Count = r.Small(-2, 45);
  s.LowColor = r.U8() & 1;
  const TlxGlyphPick p = PickGlyphColumn(strip.View().Width, s);
  if (p.Column >= 0 && (p.Column >= s.Count || (p.Column + 1) * p.ColumnWidth > strip.View().Width)) std::abort();
  PaintGlyphState(strip.View(), dst.View(), TPoint{r.Coord(), r.Coord()}, s);
  strip.CheckGuards();
  dst.CheckGuards();
}

void FuzzStretchPiece(TReader& r) {
  TGuardedImage src(r.Small(0, 20), r.Small(0, 20), r.U8() & 1, r);
  TGuardedImage dst(r.Small(0, 40), r.Small(0, 40), r.U8() & 1, r);
  TlxStretchSpec layout;
  layout.PaintCentre = r.U8() & 1;
  layout.CentreMode = r.Small(0, 2);
  for (int& m : layout.SideModes) m = r.Small(0, 2);
  layout.Margins1 = TlxMargins{r.Small(-3, 30), r.Small(-3, 30), r.Small(-3, 30), r.Small(-3, 30)};
  layout.Margins2 = TlxMargins{r.Small(-3, 30), r.Small(-3, 30), r.Small(-3, 30), r.Small(-3, 30)};
  const TRect dr = r.Rect(), sr = r.Rect();
  for (const TlxBlit& b : StretchPiecePlan(dr, sr, layout, dst.View().BoundsRect())) {
    if (b.Dst.IsEmpty() || b.Src.IsEmpty()) std::abort();
    if (b.Src.Left < sr.Left || b.Src.Top < sr.Top || b.Src.Right > sr.Right || b.Src.Bottom > sr.Bottom) std::abort();
  }
  StretchPiece(dst.View(), src.View(), dr, sr, layout);
  src.CheckGuards();
  dst.CheckGuards();
}

void FuzzLayout(TReader& r) {
  const TSize g{r.Coord(), r.Coord()}, c{r.Coord(), r.Coord()};
  const TRect rect = r.Rect();
  const TlxGlyphCaptionPlace p = GlyphCaptionLayout(g, c, r.U8(), rect, r.Small(-1, 4), r.Coord(), r.Coord(), r.Small(-1, 3));
  if (SaneRect(rect) && g.cx >= 0 && g.cy >= 0 && g.cx <= lxMaxCoord && g.cy <= lxMaxCoord &&
      (p.Glyph.Width() != g.cx || p.Glyph.Height() != g.cy))
    std::abort();
}

void FuzzCaptionEffects(TReader& r) {
  TGuardedImage dst(r.Small(0, 30), r.Small(0, 30), r.U8() & 1, r);
  TGuardedImage mask(r.Small(0, 30), r.Small(0, 30), r.U8() & 1, r, 1);
  TGuardedImage temp(r.Small(0, 30), r.Small(0, 30), r.U8() & 1, r);
  ComposeGlow(dst.View(), mask.View(), TPoint{r.Coord(), r.Coord()}, r.U8() << 8 | r.U8());
  ComposeInk(dst.View(), temp.View(), TPoint{r.Coord(), r.Coord()}, r.U8() << 16 | r.U8());
  DrawSoftShadow(dst.View(), r.Rect(), r.Small(-10, 110), r.Small(-2, 20), r.Small(-2, 20), r.U8());
  DrawSmallArrow(dst.View(), 0, r.Rect(), (r.U8() & 1) ? saRight : saDown);
  DrawDottedFrame(dst.View(), r.Rect(), 0, 0xFFFFFF);
  CopyChannel(dst.View(), mask.View(), r.Small(-1, 4), r.U8() & 1);
  dst.CheckGuards();
  mask.CheckGuards();
  temp.CheckGuards();
}

// The routines by the first byte. The glow windows' cuts (their edges clipped by covering
// windows) join this table as one more entry.
using TFuzzRoutine = void (*)(TReader&);
constexpr TFuzzRoutine Routines[] = {FuzzGlyphState, FuzzStretchPiece, FuzzLayout, FuzzCaptionEffects};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TReader r(data, size);
  Routines[r.U8() % (sizeof(Routines) / sizeof(Routines[0]))](r);
  return 0;
}
