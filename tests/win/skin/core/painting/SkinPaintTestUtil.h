// Helpers of the painting tests over the framework's bitmaps: bitmaps filled with known
// pixels, pixels read back through the bitmap's own DC, and small skin tables.
#pragma once

#include "framework/win/Graphics.h"

#include <cstdint>
#include <memory>

#include "skin/core/sSkinData.h"

// A new 32-bit bitmap with every pixel set to `pixel` (pixel order, alpha on top).
std::unique_ptr<TBitmap> FilledBitmap32(int w, int h, std::uint32_t pixel);
// The pixel at (x, y) in pixel order as stored.
std::uint32_t PixelAt(TBitmap* b, int x, int y);
void SetPixelAt(TBitmap* b, int x, int y, std::uint32_t pixel);
// The colour GDI reads at (x, y) of the bitmap's DC (RGB, colour order).
COLORREF DCPixel(TBitmap* b, int x, int y);
// A mask entry over its own bitmap.
TsMaskData MaskOver(std::unique_ptr<TBitmap> image, TRect r, int imageCount, int maskType, int drawMode, int wl,
                    int wt, int wr, int wb, int cornerType = 0);
