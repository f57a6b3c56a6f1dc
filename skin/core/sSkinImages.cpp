// Skin images and their decoders: see sSkinImages.h.
#include "skin/core/sSkinImages.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/base/JpegCodec.h"
#include "framework/base/SysUtils.h"
#include "skin/paint/lxPNG.h"

ORBEX_IMPLEMENT_CLASS(TsPixelImage, TObject, nullptr)

namespace {

constexpr std::uint32_t KeyPixel = 0x00FF00FFu;

void CheckSize(std::int64_t width, std::int64_t height, std::uint64_t maxPixels = MaxSkinImagePixels) {
  if (width <= 0 || height <= 0 || width > MaxSkinImageSide || height > MaxSkinImageSide ||
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > std::min(maxPixels, MaxSkinImagePixels))
    throw EInvalidGraphic(Format("Image size %lld x %lld is not supported", static_cast<long long>(width),
                                 static_cast<long long>(height)));
}

// An opaque pixel from blue, green, red; magenta stays the key colour with alpha 0, so the
// see-through corners of an image without alpha survive.
std::uint32_t OpaquePixel(std::uint32_t b, std::uint32_t g, std::uint32_t r) {
  const std::uint32_t v = b | (g << 8) | (r << 16);
  return v == KeyPixel ? KeyPixel : v | 0xFF000000u;
}

std::uint32_t ReadLE32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t ReadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// One channel out of a bit-field pixel, scaled to 8 bits; 0 for no mask.
std::uint32_t MaskChannel(std::uint32_t v, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const std::uint64_t m = mask >> shift;
  const std::uint64_t c = (v & mask) >> shift;
  return static_cast<std::uint32_t>((c * 255 + m / 2) / m);
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

// ---------------------------------------------------------------------------------------------
// Windows bitmap files.

void DecodeBmp(std::span<const std::uint8_t> data, TsDecodedImage& out, std::uint64_t maxPixels) {
  const std::uint8_t* d = data.data();
  const std::size_t size = data.size();
  if (size < 54 || d[0] != 'B' || d[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
  const std::uint32_t offBits = ReadLE32(d + 10);
  const std::uint32_t headerSize = ReadLE32(d + 14);
  if (headerSize < 40 || headerSize > size - 14) throw EInvalidGraphic("Bitmap image is not valid");
  const std::int64_t width = static_cast<std::int32_t>(ReadLE32(d + 18));
  std::int64_t height = static_cast<std::int32_t>(ReadLE32(d + 22));
  const int bits = ReadLE16(d + 28);
  const std::uint32_t compression = ReadLE32(d + 30);
  std::uint32_t colorsUsed = ReadLE32(d + 46);
  const bool topDown = height < 0;
  if (topDown) height = -height;
  CheckSize(width, height, maxPixels);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    throw EInvalidGraphic("Bitmap image is not valid");
  const bool bitFields = compression == 3 || compression == 6;
  if (compression != 0 && !(bitFields && (bits == 16 || bits == 32)))
    throw EInvalidGraphic("Bitmap compression is not supported");

  // Channel masks: from a V4/V5 header, else right after the info header for bit fields.
  std::uint32_t rMask = 0, gMask = 0, bMask = 0, aMask = 0;
  std::size_t paletteAt = 14 + headerSize;
  if (bitFields) {
    const std::size_t at = 14 + 40;
    if (at + 12 > size) throw EInvalidGraphic("Bitmap image is not valid");
    rMask = ReadLE32(d + at);
    gMask = ReadLE32(d + at + 4);
    bMask = ReadLE32(d + at + 8);
    if (headerSize >= 56 || compression == 6) {
      if (at + 16 > size) throw EInvalidGraphic("Bitmap image is not valid");
      aMask = ReadLE32(d + at + 12);
    }
    if (headerSize == 40) paletteAt += compression == 6 ? 16 : 12;
  } else if (bits == 16) {
    rMask = 0x7C00;
    gMask = 0x03E0;
    bMask = 0x001F;
  }
  std::vector<std::uint32_t> palette;
  if (bits <= 8) {
    const std::uint32_t maxColors = 1u << bits;
    if (colorsUsed == 0 || colorsUsed > maxColors) colorsUsed = maxColors;
    if (paletteAt + std::size_t(colorsUsed) * 4 > size) throw EInvalidGraphic("Bitmap palette is not valid");
    palette.resize(maxColors, 0xFF000000u);
    for (std::uint32_t i = 0; i < colorsUsed; ++i) {
      const std::uint8_t* e = d + paletteAt + std::size_t(i) * 4;
      palette[i] = OpaquePixel(e[0], e[1], e[2]);
    }
  }
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
  if (offBits > size || stride * static_cast<std::uint64_t>(height) > size - offBits)
    throw EInvalidGraphic("Bitmap image data is truncated");

  const int w = static_cast<int>(width), h = static_cast<int>(height);
  out.Pixels.SetSize(w, h, 4);
  out.SourceBits = bits;
  out.HasAlpha = bits == 32;
  const TlxPixelBuffer& v = out.Pixels.View();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = d + offBits + stride * static_cast<std::uint64_t>(topDown ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = 0;
      switch (bits) {
        case 1: p = palette[(row[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: p = palette[(x % 2) ? row[x / 2] & 0x0F : row[x / 2] >> 4]; break;
        case 8: p = palette[row[x]]; break;
        case 16: {
          const std::uint32_t s = ReadLE16(row + x * 2);
          p = OpaquePixel(MaskChannel(s, bMask), MaskChannel(s, gMask), MaskChannel(s, rMask));
          break;
        }
        case 24: p = OpaquePixel(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]); break;
        default: {
          const std::uint32_t s = ReadLE32(row + x * 4);
          if (!bitFields) {
            p = s;   // the fourth byte is the image's alpha
          } else {
            const std::uint32_t a = aMask != 0 ? MaskChannel(s, aMask) : s >> 24;
            p = MaskChannel(s, bMask) | (MaskChannel(s, gMask) << 8) | (MaskChannel(s, rMask) << 16) | (a << 24);
          }
        }
      }
      SetPix(v, x, y, p);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// PNG files.

namespace {

// The PNG reader's picture in plain memory: rows as the reader writes them, converted to 32
// bits afterwards.
class TPngPixels : public TPNGTarget {
public:
  explicit TPngPixels(std::uint64_t maxPixels) : MaxPixels(maxPixels) {}
  std::uint64_t MaxPixels;
  TPNGTargetFormat Format;
  std::size_t Stride = 0;
  std::vector<std::uint8_t> Rows;

  void SetFormat(const TPNGTargetFormat& format) override {
    CheckSize(format.Width, format.Height, MaxPixels);
    Format = format;
    Stride = std::size_t((std::uint64_t(format.Width) * std::uint64_t(format.BitsPerPixel) + 31) / 32 * 4);
    Rows.assign(Stride * format.Height, 0);
    if (format.BitsPerPixel >= 24) {
      // The background colour fills the picture before the first row arrives.
      const std::uint8_t b = (format.BackgroundColor >> 16) & 0xFF, g = (format.BackgroundColor >> 8) & 0xFF,
                         r = format.BackgroundColor & 0xFF;
      const std::size_t step = std::size_t(format.BitsPerPixel / 8);
      for (std::uint32_t y = 0; y < format.Height; ++y)
        for (std::uint32_t x = 0; x < format.Width; ++x) {
          std::uint8_t* p = Rows.data() + y * Stride + x * step;
          p[0] = b;
          p[1] = g;
          p[2] = r;
        }
    }
  }
  std::uint8_t* ScanLine(std::uint32_t row) override { return Rows.data() + Stride * row; }

  std::uint32_t Pixel(std::uint32_t x, std::uint32_t y) const {
    const std::uint8_t* line = Rows.data() + Stride * y;
    std::uint32_t index = 0;
    switch (Format.BitsPerPixel) {
      case 1: index = (line[x / 8] >> (7 - x % 8)) & 1; break;
      case 4: index = (x % 2) ? line[x / 2] & 0x0F : line[x / 2] >> 4; break;
      case 8: index = line[x]; break;
      case 24: return OpaquePixel(line[x * 3], line[x * 3 + 1], line[x * 3 + 2]);
      default: return ReadLE32(line + x * 4);
    }
    if (index >= Format.Palette.size()) return 0xFF000000u;
    const TPaletteColor& e = Format.Palette[index];
    return OpaquePixel(e.Blue, e.Green, e.Red);
  }
};

}  // namespace

void DecodePng(std::span<const std::uint8_t> data, double skinVersion, TsDecodedImage& out,
               std::uint64_t maxPixels) {
  TPNGDecoder decoder;
  decoder.SetMaxImageBytes(std::min(maxPixels, MaxSkinImagePixels) * 4);
  TPngPixels target(maxPixels);
  decoder.Decode(data, target);
  const int w = static_cast<int>(target.Format.Width), h = static_cast<int>(target.Format.Height);
  CheckSize(w, h);
  out.Pixels.SetSize(w, h, 4);
  out.SourceBits = target.Format.BitsPerPixel;
  out.HasAlpha = target.Format.BitsPerPixel == 32;
  const TlxPixelBuffer& v = out.Pixels.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPix(v, x, y, target.Pixel(std::uint32_t(x), std::uint32_t(y)));
  if (out.HasAlpha) {
    // Older skins drew their PNGs with plain alpha; newer ones expect premultiplied colours.
    if (skinVersion <= 7.45)
      ClearTransparentWhitePixels(v);
    else
      PremultiplyAlphaPixels(v);
  }
}

// ---------------------------------------------------------------------------------------------
// JPEG files.

void DecodeJpeg(std::span<const std::uint8_t> data, TsDecodedImage& out, std::uint64_t maxPixels) {
  TJpegHeaderInfo info;
  std::string message;
  const auto* bytes = data.data();
  const auto size = static_cast<unsigned long>(data.size());
  if (!JpegReadHeader(bytes, size, info, message)) throw EInvalidGraphic(message);
  CheckSize(info.Width, info.Height, maxPixels);
  const int w = info.Width, h = info.Height;
  std::vector<std::uint8_t> rows(std::size_t(w) * 3 * std::size_t(h));
  if (!JpegDecode(bytes, size, false, rows.data(), long(w) * 3, w, h, message)) throw EInvalidGraphic(message);
  out.Pixels.SetSize(w, h, 4);
  out.SourceBits = 24;
  out.HasAlpha = false;
  const TlxPixelBuffer& v = out.Pixels.View();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = rows.data() + std::size_t(y) * std::size_t(w) * 3;
    // Textures are pictures, never keyed: every pixel opaque.
    for (int x = 0; x < w; ++x)
      SetPix(v, x, y, row[x * 3] | (row[x * 3 + 1] << 8) | (std::uint32_t(row[x * 3 + 2]) << 16) | 0xFF000000u);
  }
}

std::unique_ptr<TObject> MakeHostImage(TsSkinImageHost& host, const TsDecodedImage& image) {
  auto obj = host.NewImage32(image.Width(), image.Height());
  const TlxPixelBuffer dst = host.Pixels(obj.get());
  const TlxPixelBuffer& src = image.Pixels.View();
  if (dst.BytesPerPixel != 4 || dst.Width != src.Width || dst.Height != src.Height)
    throw EInvalidGraphic("Image could not be made");
  for (int y = 0; y < src.Height; ++y) std::memcpy(dst.Row(y), src.Row(y), std::size_t(src.Width) * 4);
  return obj;
}
