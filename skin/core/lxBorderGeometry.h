// The geometry of the extended-border window, window-free: where its owner lies inside it,
// the region it keeps (the frame and shadow around the owner's content), which element of the
// frame lies under a point (title buttons, sizing edges, caption, icon, menu line, grip),
// whether a point lies in the shadow band, and the part of the frame image that desktop
// composition may blur. All values are pixels in border-window coordinates, which are those
// of the owner's frame cache (the owner's window image with the shadow around it).
//
// The border window (skin/forms/lxBorderForm) fills these records from its owner and applies
// the answers; everything here runs under the sanitizers. Owns nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

// The skin's sizes of the extended frame ("BORDERWIDTH", "TITLEHEIGHT", "MAXHEIGHT",
// "FORMOFFSET", "ALIGNOFFSET") are kept within 0-255, so that no negative or giant window or
// bitmap is ever made from a skin's text.
constexpr int MaxSkinFrameSize = 255;
int ClampSkinFrameSize(long long value);

// The owner's left edge inside the border window: extended border width + shadow left - the
// plain frame width (the system frame the owner keeps). A width of 0 is the plain frame's.
int FormLeftOffset(int extBorderWidth, int shadowLeft, int plainFrame);
// The owner's top edge inside the border window: shadow top + the extended title height (only
// when the owner has a caption) - the plain frame width - the owner's caption height. A title
// height of 0 is the caption's.
int FormTopOffset(int shadowTop, int extTitleHeight, bool hasCaption, int plainFrame, int captionHeight);

// ---------------------------------------------------------------------------------------------
// Region.

struct TlxBorderRegionInput {
  int Width = 0, Height = 0;   // the border window
  TRect Shadow;                // left, top, right, bottom margins
  bool Maximized = false;
  int PlainFrame = 0;          // the owner's system frame width
  int ExtraWidth = 0;          // the extended border's extra width over the system frame
  bool Transient = false;      // moving, minimizing, changing skin or hiding
  TRect Content;               // the owner's content, cut out of the region
};
// The region is `Outer` (nothing at all when `Whole` is false and `Outer` is empty), with
// `Hole` cut out of it when `HasHole`.
struct TlxBorderRegion {
  bool None = false;   // no region: the whole window shows
  TRect Outer;
  bool HasHole = false;
  TRect Hole;
  friend bool operator==(const TlxBorderRegion&, const TlxBorderRegion&) = default;
};
// Maximized, only the part inside the system frame shows; while the owner moves or animates
// the content shows too (the image holds it); otherwise the owner's content is cut out, so
// that the border window never covers what the owner paints itself.
TlxBorderRegion MakeBorderRegionPlan(const TlxBorderRegionInput& in);

// ---------------------------------------------------------------------------------------------
// Hit testing.

// Hit-test codes the border window answers.
enum : int {
  lxHitNone = -1,
  lxHitCaption = 2, lxHitSysMenu = 3, lxHitMenu = 5,
  lxHitMinButton = 8, lxHitMaxButton = 9,
  lxHitLeft = 10, lxHitRight = 11, lxHitTop = 12, lxHitTopLeft = 13, lxHitTopRight = 14,
  lxHitBottom = 15, lxHitBottomLeft = 16, lxHitBottomRight = 17,
  lxHitBorder = 19, lxHitClose = 20, lxHitHelp = 21,
  lxHitUserButton = 1000,
};

// The title buttons as the owner shows them: which are shown and what is allowed.
struct TlxTitleButtonFlags {
  bool Provider = true;        // a dialog knows close and maximize only
  bool VisibleClose = true;
  bool ShowMax = false, ShowMin = false, ShowHelp = false;
  bool EnabledMax = false, EnabledRestore = false, EnabledMin = false;
  bool Iconic = false;
  int SystemCount = 0;                // shown system buttons (k)
  std::vector<bool> UserEnabled;      // every user button by collection index (false: hidden or disabled)
};
// The code of the title button numbered `number` (1 close, then as far as shown maximize,
// minimize, help, then every user button by collection index, coded 1000 + index); -1 for
// none or a hidden or disabled user button.
int TitleButtonCode(int number, const TlxTitleButtonFlags& flags);

struct TlxBorderHitInput {
  TPoint Point;                // relative to the border window
  int Width = 0, Height = 0;
  TRect Shadow;
  int PlainFrame = 0;
  bool Maximized = false, ThickFrame = false;
  int CaptionHeight = 0;       // with the extended title
  int MenuHeight = 0;
  TRect IconRect;
  bool HasGrip = false;        // a grip shows and its image exists
  TPoint GripCorner;           // top-left of the grip image
};
// Sizing edges, caption, icon, menu line and grip (the title buttons are asked first by the
// caller): an edge code, 2, 3, 5, 17 or -1.
int BorderFrameHitTest(const TlxBorderHitInput& in);

// True when a point relative to the window lies in the shadow band around the frame.
bool PointInShadowBand(TPoint p, int width, int height, const TRect& shadow);

// ---------------------------------------------------------------------------------------------
// Blur behind.

// The blurred rectangle (shadow left - 1, shadow top - 1, width - shadow right + 1, height -
// shadow bottom + 1) and the runs of fully transparent pixels (32-bit value 0) of its four
// corner squares of side `cornerSide`, which are left out. The squares are clipped to the
// image, so a large side never reads outside it.
struct TlxBlurPlan {
  TRect Rect;
  std::vector<TRect> Removed;
};
TlxBlurPlan MakeBlurPlan(const TlxPixelBuffer& image, const TRect& shadow, int cornerSide);

// ---------------------------------------------------------------------------------------------
// Frame image.

// The frame's pixels inside `rect` (clipped to the image) made opaque, except those of the key
// colour ($FF00FF, the skin's cut-away corners), which become fully transparent (value 0):
// the layered window shows per-pixel alpha, and skin images leave the alpha of opaque pixels
// undefined. 32-bit images only.
void OpaqueFramePixels(const TlxPixelBuffer& image, const TRect& rect);

// The frame mask laid over the finished frame: source-over with straight (not premultiplied)
// alpha, so that over the transparent shadow area the mask's pixels stand as they are and over
// the opaque frame its translucent edge mixes with the frame. Equal-sized 32-bit images only.
void BlendFrameOver(const TlxPixelBuffer& dst, const TlxPixelBuffer& src);

// The piece sizes of the frame mask drawn round the whole image: the mask's own border widths
// (or, for a template without a mask, the shadow sizes plus the content offset), each at most
// half the template less one so that the corners never overlap; in extended drawing mode 1 the
// top piece (the title part) reaches no lower than `titleLimit`.
struct TlxFrameMaskInput {
  TRect MaskWidths;       // the mask's left, top, right and bottom border widths
  bool HasMask = false;
  TRect Shadow;           // the shadow sizes
  int ContentOffset = 0;  // "FORMOFFSET"
  int TemplateWidth = 0, TemplateHeight = 0;
  bool DrawMode1 = false;
  int TitleLimit = 0;
};
TRect FrameMaskPieces(const TlxFrameMaskInput& in);
