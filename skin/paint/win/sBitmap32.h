// The framework's bitmaps as the engine's cache and work bitmaps: making them (32-bit DIB
// sections), views of their pixels for the window-free kernels, attaching the fast row views
// TlxFast32 and TlxFastSum32 to them, and a background info turned into the kernels' view.
// Owns nothing: a bitmap made here belongs to the caller; views borrow the bitmap's pixels
// and stay valid until its size, format or handle changes.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include <memory>

#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBackgroundInfo.h"

// A new bitmap of 32 bits a pixel, a DIB section of the given size (negative sizes count as
// 0). The caller owns it. Raises EInvalidGraphic for a size beyond the framework's limits and
// EOutOfResources when the system refuses.
std::unique_ptr<TBitmap> CreateBitmap32(int width, int height);
// A new bitmap of the same width, height and pixel format; no pixels are copied (they are 0).
// Null for no bitmap.
std::unique_ptr<TBitmap> CloneEmptyBitmap(TBitmap* bitmap);

// The pixels of a bitmap for the kernels: row 0 at ScanLine(0), the row delta
// ScanLine(1) - ScanLine(0) (negative, as the framework's bitmaps are bottom-up).
// BytesPerPixel is the format's (4 for 32-bit, 3 for 24-bit, 1 for 8-bit; 0 for formats
// below a byte). An empty view for no bitmap or an empty one.
TlxPixelBuffer BitmapPixels(TBitmap* bitmap);

// The pixels of a bitmap that painting routines write into: an empty view for no bitmap or an
// empty one; raises EAssertionFailed "Bitmap format is not supported" for a bitmap that is not
// 32-bit (a cache or work bitmap of another format is the caller's mistake).
TlxPixelBuffer TargetPixels32(TBitmap* bitmap);

// TlxFast32.Attach over a framework bitmap: false (width cleared) for no bitmap or one below
// 1 x 2 pixels; raises EAssertionFailed "Bitmap format is not supported" for a bitmap that is
// not 32-bit.
bool AttachFast32(TlxFast32& fast, TBitmap* bitmap);
// TlxFastSum32.Attach over two framework bitmaps (source, destination).
bool AttachFastSum32(TlxFastSum32& sum, TBitmap* source, TBitmap* destination);

// A background info as the kernels read it. A bitmap info's pixels are put into `storage`,
// which must outlive the view; an info whose bitmap is not 32-bit counts as its colour.
TlxBackgroundView BackgroundView(const TsBackgroundInfo& info, TlxPixelBuffer& storage);
