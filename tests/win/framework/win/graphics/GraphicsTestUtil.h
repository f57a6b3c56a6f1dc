// Helpers shared by the graphics tests: pixel access through the DIB section and whether a GDI
// handle is alive (counting them is tests/win/ResourceCount.h, shared by every leak test).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "framework/win/Graphics.h"
#include "tests/win/ResourceCount.h"

// The 32-bit pixel (0x00RRGGBB) at (x, y) of a pf32bit bitmap, read from its scan line.
inline std::uint32_t Pixel32(TBitmap& b, int x, int y) {
  std::uint32_t v;
  std::memcpy(&v, static_cast<std::uint8_t*>(b.ScanLine(y)) + 4 * x, 4);
  return v & 0xFFFFFF;
}

// A COLORREF-order colour (0x00BBGGRR) of the pixel at (x, y), read through GDI.
inline COLORREF GdiPixel(TBitmap& b, int x, int y) { return ::GetPixel(b.Canvas()->GetHandle(), x, y); }

// Whether a GDI handle still names a live object.
inline bool GdiAlive(HGDIOBJ h) { return h != nullptr && ::GetObjectType(h) != 0; }


