// The Windows image host: see sSkinImagesWin.h.
#include "skin/core/win/sSkinImagesWin.h"

#include <windows.h>

#include "framework/base/SysUtils.h"
#include "skin/paint/win/sBitmap32.h"

std::unique_ptr<TObject> TsDibImageHost::NewImage32(int width, int height) {
  if (width <= 0 || height <= 0 || width > MaxSkinImageSide || height > MaxSkinImageSide ||
      std::uint64_t(width) * std::uint64_t(height) > MaxSkinImagePixels)
    throw EInvalidGraphic(Format("Image size %d x %d is not supported", width, height));
  return CreateBitmap32(width, height);
}

TlxPixelBuffer TsDibImageHost::Pixels(TObject* image) const {
  auto* b = As<TBitmap>(image);
  if (b == nullptr || b->Empty() || b->GetPixelFormat() != TPixelFormat::pf32bit) return TlxPixelBuffer{};
  return BitmapPixels(b);
}

void UseSystemValues(TsLoadSettings& settings) {
  settings.SystemColorToRGB = [](TColor c) { return ColorToRGB(c); };
  settings.FrameWidth = GetSystemMetrics(SM_CXFRAME);
}
