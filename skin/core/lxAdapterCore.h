// The window-free parts of the edit, static, link and size-grip adapters: the text format a
// static's caption is drawn with, a link caption without its anchor tags, where the size grip's
// image stands in its window, and the filling of an adapter's cache corners that the border
// mask leaves see-through. The adapters (skin/adapters) read the window's styles and the skin's
// records and call these; nothing here is owned. Window-free.
#pragma once

#include <cstdint>
#include <string>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sMaskPaint.h"

// The system's style and text-format bits that the static adapters read and pass on.
constexpr std::uint32_t lxSS_NOPREFIX = 0x80;
constexpr std::uint32_t lxWS_EX_RIGHT = 0x1000;
constexpr unsigned lxDT_RIGHT = 0x2, lxDT_WORDBREAK = 0x10, lxDT_EXPANDTABS = 0x40, lxDT_NOCLIP = 0x100,
                   lxDT_NOPREFIX = 0x800, lxDT_RTLREADING = 0x20000;

// The format of a static's caption: word-wrapped, tabs expanded, unclipped; ampersands shown
// as they are under SS_NOPREFIX; right-aligned under WS_EX_RIGHT; read right to left when the
// application is.
unsigned StaticTextFormat(std::uint32_t style, std::uint32_t exStyle, bool rightToLeft);

// A link window's caption as shown: every anchor tag ("<A>", "<a href=...>", "</A>", in any
// case) taken out, everything else kept. An unclosed "<a" stays as text.
std::string StripLinkTags(const std::string& caption);

// Where the size grip's image stands in a window of `width` x `height`: its bottom-right corner
// at the window's, never left of or above the window's origin. The image is one frame of the
// grip mask (`maskWidth` over `imageCount` frames, `maskHeight` over `stateCount` + 1 bands);
// counts below 1 count as 1, as a skin may give 0 or -1.
TPoint SizeGripOrigin(int width, int height, int maskWidth, int maskHeight, int imageCount, int stateCount);

// The pixels of the four corners of `cache` that the border mask's frame of `state` marks with
// the key colour are replaced by the background behind them: the piece of `bg`'s bitmap at
// (bg.X + x, bg.Y + y), or `bg`'s colour (nothing for the key colour). Corners larger than the
// cache are clipped to it, so a window smaller than the mask's borders is filled inside its
// own pixels only. Nothing for an empty cache or mask, or one that is not 32-bit.
void FillTransparentCornerPixels(const TlxPixelBuffer& cache, const TlxMaskImage& mask, int state,
                                 const TlxBackgroundView& bg);
