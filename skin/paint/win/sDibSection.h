// The GDI side of the pixel buffers: a 32-bit DIB section whose bits the window-free kernels
// paint through a TlxPixelBuffer view. It owns its bitmap through the framework's owner family
// (framework/win/WinTypes.h), as the painting code owns its brushes, regions and memory DCs.
#pragma once

#include <windows.h>

#include "framework/win/WinTypes.h"
#include "skin/paint/sAlphaGraph.h"

// A 32-bit DIB section (bottom-up, as the framework's bitmaps are, or top-down) and the view
// of its bits. Empty (no handle, empty view) for sizes below 1 or when the system refuses.
class TlxDibSection {
public:
  TlxDibSection(int width, int height, bool bottomUp = true);
  HBITMAP GetHandle() const { return FBitmap.Get(); }
  const TlxPixelBuffer& View() const { return FView; }

private:
  TOwnedBitmap FBitmap;
  TlxPixelBuffer FView;
};
