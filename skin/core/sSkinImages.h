// The images a skin is loaded into, and the window-free decoders that fill them. The loaders
// decode every file (BMP, PNG, JPEG) here into plain 32-bit pixels and hand them to an image
// host, which makes the image objects the tables keep (TsMaskData::Bmp, TsPatternData::Img and
// the master bitmap): on Windows 32-bit DIB bitmaps of the framework (skin/core/win/
// sSkinImagesWin.h), natively TsPixelImage. Objects made by a host belong to the caller.
//
// Every decoder bounds the picture before allocating: a side above MaxSkinImageSide or more
// than `maxPixels` (MaxSkinImagePixels unless asked for less) raises EInvalidGraphic, as does a
// malformed file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "framework/base/Classes.h"
#include "skin/paint/sAlphaGraph.h"

// Largest picture a skin may hold: skins are a few hundred pixels wide; textures are photos.
constexpr int MaxSkinImageSide = 16384;
constexpr std::uint64_t MaxSkinImagePixels = 32ull << 20;

// Makes the image objects of one load and shows their pixels.
class TsSkinImageHost {
public:
  virtual ~TsSkinImageHost() = default;
  // A new 32-bit image of the given size, every pixel 0. The caller owns it. Raises
  // EInvalidGraphic for a size of 0 or beyond the bounds above (or what the system refuses).
  virtual std::unique_ptr<TObject> NewImage32(int width, int height) = 0;
  // The pixels of an image this host made (any row order; the view says). An empty view for
  // null or an object of another kind. Valid while the image lives.
  virtual TlxPixelBuffer Pixels(TObject* image) const = 0;
};

// A 32-bit image in plain memory (top row first): the native image of the tables. Owns its
// pixels.
class TsPixelImage : public TObject {
  ORBEX_CLASS(TsPixelImage, TObject)
public:
  TsPixelImage(int width, int height) : FBuffer(width, height, 4) {}
  const TlxPixelBuffer& View() const { return FBuffer.View(); }
  int Width() const { return FBuffer.GetWidth(); }
  int Height() const { return FBuffer.GetHeight(); }

private:
  TlxImageBuffer FBuffer;
};

// The host of TsPixelImage (native builds, tests, tools; usable on Windows too).
class TsPixelImageHost : public TsSkinImageHost {
public:
  std::unique_ptr<TObject> NewImage32(int width, int height) override;
  TlxPixelBuffer Pixels(TObject* image) const override;
};

// A decoded picture, always 32 bits a pixel, top row first, blue in the low byte.
struct TsDecodedImage {
  TlxImageBuffer Pixels;
  int SourceBits = 0;        // bits a pixel of the file (1, 4, 8, 16, 24 or 32)
  bool HasAlpha = false;     // the file's fourth byte (or PNG alpha channel) was kept
  int Width() const { return Pixels.GetWidth(); }
  int Height() const { return Pixels.GetHeight(); }
};

// A Windows bitmap file ("BM", info header of 40 bytes or more; 1, 4, 8, 16, 24 and 32 bits,
// uncompressed or bit fields; bottom-up or top-down). A 32-bit file keeps its fourth byte as
// alpha; other depths get alpha 255 and their $FF00FF pixels become exactly 0x00FF00FF, so key
// pixels survive. Raises EInvalidGraphic for anything else or data that ends early.
void DecodeBmp(std::span<const std::uint8_t> data, TsDecodedImage& out,
               std::uint64_t maxPixels = MaxSkinImagePixels);
// A PNG through the skin engine's reader (skin/paint/lxPNG). Pictures with an alpha channel
// keep it and then get the clean-up pass the skin version asks for: up to 7.45 fully
// transparent white becomes 0 (older skins), above it colours are premultiplied by alpha.
// Others get alpha 255 with key pixels kept as above. Raises as the reader does.
void DecodePng(std::span<const std::uint8_t> data, double skinVersion, TsDecodedImage& out,
               std::uint64_t maxPixels = MaxSkinImagePixels);
// A JPEG through libjpeg (colour or grey), alpha 255. Raises EInvalidGraphic "JPEG error #<n>:
// <message>" for a damaged file.
void DecodeJpeg(std::span<const std::uint8_t> data, TsDecodedImage& out,
                std::uint64_t maxPixels = MaxSkinImagePixels);

// A new host image holding the decoded pixels. Raises as NewImage32.
std::unique_ptr<TObject> MakeHostImage(TsSkinImageHost& host, const TsDecodedImage& image);
