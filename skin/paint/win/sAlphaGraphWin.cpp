// Layered-window entry points, check-box glyph size and DC fills (see sAlphaGraphWin.h).
#include "skin/paint/win/sAlphaGraphWin.h"

#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sDibSection.h"

TUpdateLayeredWindow UpdateLayeredWindowProc = nullptr;
TSetLayeredWindowAttributes SetLayeredWindowAttributesProc = nullptr;
int CheckBoxWidth = 0;
int CheckBoxHeight = 0;

static TOwnedModule User32Module;

void InitAlphaGraphUnit() {
  if (!UpdateLayeredWindowProc) {
    User32Module.Reset(LoadLibraryA("user32.dll"));
    if (User32Module) {
      UpdateLayeredWindowProc = reinterpret_cast<TUpdateLayeredWindow>(
          reinterpret_cast<void*>(GetProcAddress(User32Module.Get(), "UpdateLayeredWindow")));
      SetLayeredWindowAttributesProc = reinterpret_cast<TSetLayeredWindowAttributes>(
          reinterpret_cast<void*>(GetProcAddress(User32Module.Get(), "SetLayeredWindowAttributes")));
    }
  }
  CheckBoxGlyphSize();
  // Stretched mask pieces and textures show the system's own stretch.
  SetStretchBltProc(&StretchBltPixels);
}

void DoneAlphaGraphUnit() {
  SetStretchBltProc(nullptr);
  UpdateLayeredWindowProc = nullptr;
  SetLayeredWindowAttributesProc = nullptr;
  User32Module.Reset();
}

bool LayeredWindowsAvailable() { return UpdateLayeredWindowProc != nullptr; }

void CheckBoxGlyphSize() {
  TOwnedBitmap bmp(LoadBitmapA(nullptr, MAKEINTRESOURCEA(32759)));  // OBM_CHECKBOXES
  BITMAP bm{};
  if (!bmp || GetObjectA(bmp.Get(), sizeof(bm), &bm) == 0) return;
  // Four columns and three rows of check-box images.
  CheckBoxWidth = bm.bmWidth / 4;
  CheckBoxHeight = bm.bmHeight / 3;
}

COLORREF SkinColorToRGB(TColor c) {
  const std::uint32_t u = static_cast<std::uint32_t>(c);
  const std::uint32_t top = u >> 24;
  if (top == 0x80 || top == 0xFF) return GetSysColor(static_cast<int>(u & 0xFF));
  return u & 0x00FFFFFFu;
}

namespace {
void FillOne(HDC dc, HBRUSH b, int l, int t, int r, int bt) {
  if (r <= l || bt <= t) return;
  RECT rc{l, t, r, bt};
  FillRect(dc, &rc, b);
}
}  // namespace

void FillDCRect(HDC dc, const TRect& r, TColor c) {
  if (!dc) return;
  TOwnedBrush brush(CreateSolidBrush(SkinColorToRGB(c)));
  if (!brush) return;
  TSaveDC saved(dc);
  FillOne(dc, brush.Get(), r.Left, r.Top, r.Right, r.Bottom);
}

void FillDCBorderStrips(HDC dc, const TRect& r, int leftWidth, TColor c, int bottomWidth, int rightWidth, int topWidth) {
  if (!dc) return;
  TOwnedBrush brush(CreateSolidBrush(SkinColorToRGB(c)));
  if (!brush) return;
  TSaveDC saved(dc);
  FillOne(dc, brush.Get(), r.Left, r.Top, r.Right, r.Top + topWidth);
  FillOne(dc, brush.Get(), r.Left, r.Top + topWidth, r.Left + leftWidth, r.Bottom);
  FillOne(dc, brush.Get(), r.Left + leftWidth, r.Bottom - bottomWidth, r.Right, r.Bottom);
  FillOne(dc, brush.Get(), r.Right - rightWidth, r.Top + topWidth, r.Right, r.Bottom - bottomWidth);
}

void CopyBorderStrips(HDC dst, int x, int y, int w, int srcY, int srcX, HDC src, int height, int width) {
  if (!dst || !src || w <= 0) return;
  BitBlt(dst, x, y, w, height, src, srcX, srcY, SRCCOPY);                                        // left
  BitBlt(dst, x, y, width, w, src, srcX, srcY, SRCCOPY);                                         // top
  BitBlt(dst, x + width - w, y, w, height, src, srcX + width - w, srcY, SRCCOPY);                // right
  BitBlt(dst, x, y + height - w, width, w, src, srcX, srcY + height - w, SRCCOPY);               // bottom
}

bool StretchBltPixels(const TlxPixelBuffer& dst, const TRect& dstRect, const TRect& clip, const TlxPixelBuffer& src,
                      const TRect& srcRect) {
  if (dst.Empty() || src.Empty() || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4) return false;
  if (!SaneRect(dstRect) || !SaneRect(clip) || !SaneRect(srcRect)) return false;
  const int dw = dstRect.Width(), dh = dstRect.Height(), sw = srcRect.Width(), sh = srcRect.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return true;
  // A piece reaching beyond its image is left to the kernel, which skips what lies outside.
  if (srcRect.Left < 0 || srcRect.Top < 0 || srcRect.Right > src.Width || srcRect.Bottom > src.Height) return false;
  const TRect k = ClipRectTo(dstRect, dst, clip);
  if (k.IsEmpty()) return true;
  // The buffers may be any memory: the piece goes through two DIB sections (bottom-up, as the
  // framework's bitmaps are), the destination one only as large as what is painted; GDI clips
  // the stretch to it with the same pixel mapping as on the whole rectangle.
  TlxDibSection from(sw, sh), to(k.Width(), k.Height());
  if (!from.GetHandle() || !to.GetHandle()) return false;
  CopyPixelRect(from.View(), 0, 0, src, srcRect);
  {
    TMemoryDC s(nullptr, from.GetHandle()), t(nullptr, to.GetHandle());
    if (!s.Get() || !t.Get()) return false;
    SetStretchBltMode(t.Get(), COLORONCOLOR);
    if (!StretchBlt(t.Get(), dstRect.Left - k.Left, dstRect.Top - k.Top, dw, dh, s.Get(), 0, 0, sw, sh, SRCCOPY))
      return false;
    GdiFlush();
  }
  CopyPixelRect(dst, k.Left, k.Top, to.View(), to.View().BoundsRect());
  return true;
}
