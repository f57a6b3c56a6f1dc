// Cache and work bitmaps over the framework's TBitmap: see sBitmap32.h.
#include "skin/paint/win/sBitmap32.h"

#include <algorithm>

std::unique_ptr<TBitmap> CreateBitmap32(int width, int height) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf32bit);
  b->SetHandleType(TBitmapHandleType::bmDIB);
  b->SetSize(std::max(width, 0), std::max(height, 0));
  return b;
}

std::unique_ptr<TBitmap> CloneEmptyBitmap(TBitmap* bitmap) {
  if (bitmap == nullptr) return nullptr;
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(bitmap->GetPixelFormat());
  b->SetSize(bitmap->GetWidth(), bitmap->GetHeight());
  return b;
}

TlxPixelBuffer BitmapPixels(TBitmap* bitmap) {
  TlxPixelBuffer v;
  if (bitmap == nullptr || bitmap->Empty()) return v;
  Byte* row0 = static_cast<Byte*>(bitmap->ScanLine(0));
  // ScanLine settles a device format, so the format is read after it.
  const int bits = PixelFormatBits(bitmap->GetPixelFormat());
  v.Bits = row0;
  v.Width = bitmap->GetWidth();
  v.Height = bitmap->GetHeight();
  v.Stride = bitmap->GetHeight() > 1 ? static_cast<Byte*>(bitmap->ScanLine(1)) - row0
                                     : -static_cast<std::ptrdiff_t>(bitmap->RowStride());
  v.BytesPerPixel = bits / 8;
  return v;
}

TlxPixelBuffer TargetPixels32(TBitmap* bitmap) {
  if (bitmap == nullptr || bitmap->Empty()) return TlxPixelBuffer{};
  if (bitmap->GetPixelFormat() != TPixelFormat::pf32bit) throw EAssertionFailed("Bitmap format is not supported");
  return BitmapPixels(bitmap);
}

bool AttachFast32(TlxFast32& fast, TBitmap* bitmap) { return fast.Attach(BitmapPixels(bitmap)); }

bool AttachFastSum32(TlxFastSum32& sum, TBitmap* source, TBitmap* destination) {
  return sum.Attach(BitmapPixels(source), BitmapPixels(destination));
}

TlxBackgroundView BackgroundView(const TsBackgroundInfo& info, TlxPixelBuffer& storage) {
  TlxBackgroundView v;
  v.X = info.X;
  v.Y = info.Y;
  v.Color = info.Color;
  if (info.Bitmap != nullptr && info.Bitmap->GetPixelFormat() == TPixelFormat::pf32bit) {
    storage = BitmapPixels(info.Bitmap);
    if (!storage.Empty()) v.Bitmap = &storage;
  }
  return v;
}
