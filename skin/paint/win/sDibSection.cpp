// The 32-bit DIB section (see sDibSection.h).
#include "skin/paint/win/sDibSection.h"

TlxDibSection::TlxDibSection(int width, int height, bool bottomUp) {
  if (width < 1 || height < 1) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = bottomUp ? height : -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FBitmap.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!FBitmap || !bits) {
    FBitmap.Reset();
    return;
  }
  const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(width) * 4;
  Byte* base = static_cast<Byte*>(bits);
  // Row 0 is the top row: in a bottom-up DIB it is the last one in memory.
  FView.Bits = bottomUp ? base + stride * (height - 1) : base;
  FView.Stride = bottomUp ? -stride : stride;
  FView.Width = width;
  FView.Height = height;
  FView.BytesPerPixel = 4;
}
