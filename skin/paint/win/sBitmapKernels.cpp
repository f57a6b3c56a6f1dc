// The painting kernels over the framework's bitmaps (see sBitmapKernels.h).
#include "skin/paint/win/sBitmapKernels.h"

#include <algorithm>
#include <cstring>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/sSmoothStretch.h"
#include "skin/paint/win/sBitmap32.h"

TlxPixelBuffer Bitmap32Source(TBitmap* bitmap) {
  if (bitmap == nullptr || bitmap->Empty()) return TlxPixelBuffer{};
  if (bitmap->GetPixelFormat() != TPixelFormat::pf32bit) {
    // The conversion leaves alpha 0: opaque everywhere but on the key colour.
    bitmap->SetPixelFormat(TPixelFormat::pf32bit);
    const TlxPixelBuffer v = BitmapPixels(bitmap);
    SetRectAlpha(v, v.BoundsRect(), 255, true);
    return v;
  }
  return BitmapPixels(bitmap);
}

namespace {

// A background info's view with its pixels kept alive for one call.
struct TBackground {
  TlxPixelBuffer Pixels;
  TlxBackgroundView View;
  explicit TBackground(const TsBackgroundInfo& info) : View(BackgroundView(info, Pixels)) {}
  TBackground(const TBackground&) = delete;
  TBackground& operator=(const TBackground&) = delete;
};

}  // namespace

void CopyMaskPiece(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, const TlxMaskImage& mask, bool fill,
                   const TsBackgroundInfo& bg, TBitmap* src) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  const TBackground b(bg);
  CopyMaskPiece(dstRect, srcRect, TargetPixels32(dst), mask.SrcRect.Height() / 2, fill, b.View, s);
}

void CopyTransparentPiece(TBitmap* dst, TBitmap* src, int dx, bool fill, const TsBackgroundInfo& bg, TColor key,
                          const TRect& srcInclusive, int dy) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  const TBackground b(bg);
  CopyTransparentPiece(TargetPixels32(dst), s, dx, fill, b.View, key, srcInclusive, dy);
}

void CopyMaskPieceKeyed(TBitmap* dst, TBitmap* src, int dx, TColor key, const TRect& srcInclusive, int dy) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  CopyMaskPieceKeyed(TargetPixels32(dst), s, dx, key, srcInclusive, dy);
}

void CopyBitmapKeyed(TBitmap* dst, TBitmap* src, int x, TColor key, int y) {
  if (src == nullptr || src->Empty()) return;
  if (src->GetPixelFormat() != TPixelFormat::pf32bit) src->SetPixelFormat(TPixelFormat::pf24bit);
  const TlxPixelBuffer s = BitmapPixels(src);
  CopyBitmapKeyed(TargetPixels32(dst), s, x, key, y);
}

void CopyBitmapRect(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, bool fill, const TsBackgroundInfo& bg,
                    TBitmap* src) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  const TBackground b(bg);
  CopyBitmapRect(dstRect, srcRect, TargetPixels32(dst), fill, b.View, s);
}

void BlendWithBackground(TBitmap* dst, int x, int y, TColor key, double factor, const TRect& srcInclusive,
                         TBitmap* src) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  BlendWithBackground(TargetPixels32(dst), x, y, key, factor, srcInclusive, s);
}

void TintBitmap(TBitmap* bitmap, TColor c, double factor) { TintBitmap(Bitmap32Source(bitmap), c, factor); }

void MultiplyByMask(TBitmap* bitmap, TBitmap* mask, TColor c) {
  const TlxPixelBuffer m = Bitmap32Source(mask);
  MultiplyByMask(Bitmap32Source(bitmap), m, c);
}

void BlendBitmapsFast(TBitmap* dst, TBitmap* src, Byte alpha) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  BlendBitmapsFast(TargetPixels32(dst), s, alpha);
}

void BlendBitmapPart(TBitmap* dst, TBitmap* src, Byte alpha, TPoint pt, const TRect& srcRect) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  BlendBitmapPart(TargetPixels32(dst), s, alpha, pt, srcRect);
}

void MergeByMask(TBitmap* out, TBitmap* a, TBitmap* b, Byte constant, TBitmap* mask) {
  const TlxPixelBuffer pa = Bitmap32Source(a), pb = Bitmap32Source(b);
  const TlxPixelBuffer pm = mask != nullptr ? Bitmap32Source(mask) : TlxPixelBuffer{};
  if (mask != nullptr && pm.Empty()) return;
  MergeByMask(TargetPixels32(out), pa, pb, constant, mask != nullptr ? &pm : nullptr);
}

void CopyWithAlpha(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, bool reflected, int blendPercent,
                   TColor tint, bool fillKey, const TsBackgroundInfo& bg, TBitmap* src) {
  const TlxPixelBuffer s = Bitmap32Source(src);
  const TBackground b(bg);
  CopyWithAlpha(dstRect, srcRect, TargetPixels32(dst), reflected, blendPercent, tint, fillKey, b.View, s);
}

void SmoothStretch(TBitmap* src, TBitmap* dst, int newWidth, int newHeight, int filter) {
  if (src == nullptr || dst == nullptr || newWidth <= 0 || newHeight <= 0) return;
  if (src->GetWidth() < 2 || src->GetHeight() < 2) throw Exception("Source bitmap is too small");
  if (newWidth == src->GetWidth() && newHeight == src->GetHeight()) {
    dst->Assign(src);
    return;
  }
  const TPixelFormat work =
      src->GetPixelFormat() == TPixelFormat::pf32bit ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  src->SetPixelFormat(work);
  TlxImageBuffer out;
  SmoothStretch(BitmapPixels(src), out, newWidth, newHeight, filter);
  const TlxPixelBuffer& o = out.View();
  if (o.Empty()) return;  // beyond the largest work bitmap
  dst->SetPixelFormat(work);
  dst->SetSize(newWidth, newHeight);
  const TlxPixelBuffer d = BitmapPixels(dst);
  for (int y = 0; y < o.Height; ++y)
    std::memcpy(d.Row(y), o.Row(y), static_cast<std::size_t>(o.Width) * static_cast<std::size_t>(o.BytesPerPixel));
}

void MakeDisabledLook(TBitmap* bitmap, int flags, TColor controlColor, TPoint offset, const TsBackgroundInfo& bg) {
  const TBackground b(bg);
  MakeDisabledLook(Bitmap32Source(bitmap), flags, offset, b.View, controlColor);
}

void GrayscaleBitmap(TBitmap* bitmap) { GrayscaleBitmap(Bitmap32Source(bitmap)); }

void DrawGlyphOver(TBitmap* dst, TBitmap* glyph, int x, int y, bool keyed, bool greyed, bool raiseAlpha) {
  if (dst == nullptr || glyph == nullptr || glyph->Empty()) return;
  const TlxPixelBuffer target = TargetPixels32(dst);
  const int w = glyph->GetWidth(), h = glyph->GetHeight();
  // A 32-bit working copy: the glyph's own bitmap keeps its format and colours.
  TBitmap copy;
  copy.SetPixelFormat(TPixelFormat::pf32bit);
  copy.SetSize(w, h);
  const bool own = glyph->GetPixelFormat() == TPixelFormat::pf32bit;
  if (own) {
    CopyPixelRect(BitmapPixels(&copy), 0, 0, BitmapPixels(glyph), TRect{0, 0, w, h});
  } else {
    BitBlt(copy.Canvas()->GetHandle(), 0, 0, w, h, glyph->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  const TlxPixelBuffer px = BitmapPixels(&copy);
  if (!own) {
    const std::uint32_t key = GetPix(px, 0, h - 1) & 0xFFFFFF;
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) {
        const std::uint32_t v = GetPix(px, col, row) & 0xFFFFFF;
        SetPix(px, col, row, keyed && v == key ? 0u : v | 0xFF000000u);
      }
  }
  if (greyed) GrayscaleBitmap(px);
  CopyWithAlpha(TRect{x, y, x + w, y + h}, TRect{0, 0, w, h}, target, false, 0, clNoneTint, false, TlxBackgroundView{}, px);
  if (!raiseAlpha) return;
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) {
      if (!target.Contains(x + col, y + row)) continue;
      Byte* a = target.At(x + col, y + row) + 3;
      *a = std::max(*a, px.At(col, row)[3]);
    }
}

void HueShiftBitmap(TBitmap* bitmap, int offset) { HueShiftBitmap(Bitmap32Source(bitmap), offset); }

void SaturateBitmap(TBitmap* bitmap, int amount) { SaturateBitmap(Bitmap32Source(bitmap), amount); }
