// Skin images and their decoders: see sSkinImages.h.
#include "skin/core/sSkinImages.h"

#include "framework/base/SysUtils.h"

ORBEX_IMPLEMENT_CLASS(TsPixelImage, TObject, nullptr)

namespace {

void CheckSize(int width, int height) {
  if (width <= 0 || height <= 0 || width > MaxSkinImageSide || height > MaxSkinImageSide ||
      std::uint64_t(width) * std::uint64_t(height) > MaxSkinImagePixels)
    throw EInvalidGraphic(Format("Image size %d x %d is not supported", width, height));
}

}  // namespace

std::unique_ptr<TObject> TsPixelImageHost::NewImage32(int width, int height) {
  CheckSize(width, height);
  return std::make_unique<TsPixelImage>(width, height);
}

TlxPixelBuffer TsPixelImageHost::Pixels(TObject* image) const {
  auto* p = As<TsPixelImage>(image);
  return p != nullptr ? p->View() : TlxPixelBuffer{};
}

void DecodeBmp(std::span<const std::uint8_t>, TsDecodedImage&) { throw EInvalidGraphic("BMP decoder not built yet"); }
void DecodePng(std::span<const std::uint8_t>, double, TsDecodedImage&) { throw EInvalidGraphic("PNG decoder not built yet"); }
void DecodeJpeg(std::span<const std::uint8_t>, TsDecodedImage&) { throw EInvalidGraphic("JPEG decoder not built yet"); }

std::unique_ptr<TObject> MakeHostImage(TsSkinImageHost& host, const TsDecodedImage& image) {
  auto obj = host.NewImage32(image.Width(), image.Height());
  const TlxPixelBuffer dst = host.Pixels(obj.get());
  const TlxPixelBuffer& src = image.Pixels.View();
  for (int y = 0; y < src.Height && y < dst.Height; ++y)
    for (int x = 0; x < src.Width && x < dst.Width; ++x) SetPix(dst, x, y, GetPix(src, x, y));
  return obj;
}
