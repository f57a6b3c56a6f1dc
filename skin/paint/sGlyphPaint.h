// The window-free geometry and pixel work of glyphs and frame pieces: where a glyph and its
// caption go inside a rectangle, which column of a glyph strip a state shows and how it is laid
// (keyed copy or blend), the pieces of an opaque nine-piece copy of frame and title images, and
// the copy of one byte channel between 32-bit and 8-bit buffers. Owns nothing but short-lived
// work buffers. The GDI side (framework bitmaps, BitBlt and StretchBlt) is in win/sTextPaintWin.
#pragma once

#include <vector>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

// ---- glyph and caption -------------------------------------------------------------------------

// Layout kinds: the glyph left, right, above or below the caption.
constexpr int glGlyphLeft = 0;
constexpr int glGlyphRight = 1;
constexpr int glGlyphTop = 2;
constexpr int glGlyphBottom = 3;
constexpr int glRightToLeft = 2;   // flag value: kinds 0 and 1 exchanged

struct TlxGlyphCaptionPlace {
  TRect Glyph;
  TRect Caption;
};
// Places a glyph and a caption inside r. Along the layout axis (horizontal for kinds 0 and 1,
// vertical for 2 and 3): spacing -1 is a third of the free space (0 when the pair does not fit);
// with one of the two empty there is no spacing; margin -1 centres the pair, else the pair
// starts `margin` from the glyph's side. Across the axis the pieces are centred for kinds 0 and
// 1; for kinds 2 and 3 alignment 0 puts them left, 1 right, 2 centred. Unknown kinds count as 0.
TlxGlyphCaptionPlace GlyphCaptionLayout(TSize glyph, TSize caption, int flags, const TRect& r, int kind, int margin,
                                        int spacing, int alignment);

// ---- glyph states ------------------------------------------------------------------------------

// Glyph kinds: 0 blended (the disabled or idle look), 1 the second column, 2 one column per state.
struct TlxGlyphState {
  int StateIndex = 0;
  int BlendPercent = 0;    // p
  int Kind = 0;            // 0, 1, 2
  int DisabledKinds = 0;   // dkBlended | dkGrayed
  bool UseStates = false;
  int Count = 1;           // glyphs in the strip
  bool LowColor = false;   // a 16-colour strip or the global low-colour flag: no column 1
};
// The column a state shows, and whether it is blended at p / 100 instead of a keyed copy;
// -1 when there is nothing to draw (a count below 1, a column narrower than a pixel).
struct TlxGlyphPick {
  int Column = -1;
  int ColumnWidth = 0;
  bool Blend = false;   // BlendWithBackground at BlendPercent / 100
  bool Grey = false;    // turned grey first (a single glyph, disabled kind grey)
  bool Keyed = true;    // a keyed copy (CopyBitmapKeyed for one glyph, CopyMaskPieceKeyed else)
  double Factor = 0;    // the destination's weight of a blend
};
TlxGlyphPick PickGlyphColumn(int stripWidth, const TlxGlyphState& s);
// Draws the chosen glyph of a 32-bit strip into the destination at `at`. The glyph is copied
// into a work buffer first; the transparent colour is the work copy's bottom-left pixel, and
// every pixel of that colour becomes the key (alpha 0). Nothing for a count below 1.
void PaintGlyphState(const TlxPixelBuffer& strip, const TlxPixelBuffer& dst, TPoint at, const TlxGlyphState& s);

// ---- nine pieces -------------------------------------------------------------------------------

constexpr int spTile = 0;
constexpr int spStretch = 1;
struct TlxMargins {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TlxStretchSpec {
  bool PaintCentre = false;
  int CentreMode = spTile;
  int SideModes[4] = {spTile, spTile, spTile, spTile};   // left, top, right, bottom
  TlxMargins Margins1, Margins2;
};
// One copy of the plan: Src (width and height) onto Dst; a stretch when the sizes differ.
struct TlxBlit {
  TRect Dst;
  TRect Src;
  friend bool operator==(const TlxBlit&, const TlxBlit&) = default;
};
// The copies of an opaque nine-piece copy of src into dst. A corner's size is the larger margin
// of the two sets, and it is split into two copies where the smaller one lies (pixel for pixel
// one copy); sides are tiled (the last tile cropped) or stretched between the corners; the
// centre only when asked. A side or centre whose source length is 0 or less is skipped (no
// tiles of nothing); margins below 0 count as 0; nothing for an insane rectangle. Tiles that
// miss `clip` (the destination bitmap) are left out.
std::vector<TlxBlit> StretchPiecePlan(const TRect& dst, const TRect& src, const TlxStretchSpec& layout,
                                      const TRect& clip);
// The plan executed between 32-bit buffers: copies clipped to both, stretches nearest-pixel
// (as COLORONCOLOR does).
void StretchPiece(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, const TRect& dstRect, const TRect& srcRect,
                  const TlxStretchSpec& layout);
// One blit between 32-bit buffers, nearest-pixel, limited to both buffers.
void BlitNearest(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, const TlxBlit& b);

// ---- channels ----------------------------------------------------------------------------------

// Copies byte `channel` (0 blue, 1 green, 2 red, 3 alpha) of every pixel of a 32-bit buffer into
// an 8-bit buffer (toMask), or back. The overlapping top-left part of the two; a channel outside
// 0 .. 3 or buffers of other formats copy nothing.
void CopyChannel(const TlxPixelBuffer& image, const TlxPixelBuffer& mask, int channel, bool toMask);
