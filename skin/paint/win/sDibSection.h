// The GDI side of the pixel buffers: move-only owners of GDI objects and memory DCs, and a
// 32-bit DIB section whose bits the window-free kernels paint through a TlxPixelBuffer view.
// Each object owns its handle and releases it in its destructor; a memory DC owner restores
// the object it replaced before deleting the DC.
#pragma once

#include <windows.h>

#include <utility>

#include "skin/paint/sAlphaGraph.h"

// Owner of one GDI object (bitmap, brush, region, pen, font): DeleteObject on destruction.
template <typename H>
class TlxGdiObject {
public:
  TlxGdiObject() = default;
  explicit TlxGdiObject(H h) : FHandle(h) {}
  TlxGdiObject(TlxGdiObject&& o) noexcept : FHandle(std::exchange(o.FHandle, nullptr)) {}
  TlxGdiObject& operator=(TlxGdiObject&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.FHandle, nullptr));
    return *this;
  }
  TlxGdiObject(const TlxGdiObject&) = delete;
  TlxGdiObject& operator=(const TlxGdiObject&) = delete;
  ~TlxGdiObject() { Reset(); }
  H Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  void Reset(H h = nullptr) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = h;
  }
  H Release() { return std::exchange(FHandle, nullptr); }

private:
  H FHandle = nullptr;
};

using TlxBrushOwner = TlxGdiObject<HBRUSH>;
using TlxBitmapOwner = TlxGdiObject<HBITMAP>;
using TlxRegionOwner = TlxGdiObject<HRGN>;

// A memory DC compatible with the screen, with one bitmap selected into it; the previous
// bitmap is selected back before the DC is deleted (the bitmap stays with its owner).
class TlxMemoryDC {
public:
  explicit TlxMemoryDC(HBITMAP select);
  TlxMemoryDC(const TlxMemoryDC&) = delete;
  TlxMemoryDC& operator=(const TlxMemoryDC&) = delete;
  ~TlxMemoryDC();
  HDC Get() const { return FDC; }

private:
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

// A 32-bit DIB section (bottom-up, as the framework's bitmaps are, or top-down) and the view
// of its bits. Empty (no handle, empty view) for sizes below 1 or when the system refuses.
class TlxDibSection {
public:
  TlxDibSection(int width, int height, bool bottomUp = true);
  HBITMAP GetHandle() const { return FBitmap.Get(); }
  const TlxPixelBuffer& View() const { return FView; }

private:
  TlxBitmapOwner FBitmap;
  TlxPixelBuffer FView;
};
