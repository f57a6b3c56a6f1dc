// Layered-window entry points, check-box glyph size and DC fills (see sAlphaGraphWin.h).
#include "skin/paint/win/sAlphaGraphWin.h"

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
}

void DoneAlphaGraphUnit() {
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
