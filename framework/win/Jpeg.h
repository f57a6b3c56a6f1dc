// JPEG pictures over libjpeg (version 62 API): TJPEGImage keeps the compressed file data and
// decodes it into a bitmap on demand; a bitmap assigned to it is compressed on demand. It is
// registered with the picture formats as "jpg" and "jpeg". Owns its data and decoded bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/win/Graphics.h"

// Largest image decoded: a side of 16384 pixels and 64 million pixels.
constexpr int MaxJpegSide = 16384;
constexpr std::uint64_t MaxJpegPixels = 64ull << 20;

class TJPEGImage : public TGraphic {
  ORBEX_CLASS(TJPEGImage, TGraphic)
public:
  TJPEGImage();
  ~TJPEGImage() override;
  // From another TJPEGImage (data and bitmap), or from a TBitmap (compressed on demand).
  void Assign(TPersistent* source) override;

  void Draw(TCanvas* canvas, const TRect& r) override;
  bool Empty() const override;
  int GetWidth() const override;
  int GetHeight() const override;
  // The size is the image's; setting it raises EInvalidGraphicOperation.
  void SetWidth(int w) override;
  void SetHeight(int h) override;

  // Reads from the stream's current position to its end; only the header is parsed here
  // (size), the pixels are decoded when first needed. A stream without a JPEG header raises
  // EInvalidGraphic "JPEG error #<n>: <libjpeg message>" and leaves the image empty.
  void LoadFromStream(TStream& stream) override;
  // Writes the compressed data (compressing the bitmap first when needed).
  void SaveToStream(TStream& stream) override;
  void LoadFromData(std::span<const std::uint8_t> data);

  // 1..100; used when a bitmap is compressed. Default 90.
  int GetCompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int q);
  // Decode to an 8-bit grey bitmap instead of 24-bit colour.
  bool GetGrayscale() const { return FGrayscale; }
  void SetGrayscale(bool on);

  // The decoded picture (24-bit, or 8-bit grey), owned by the image.
  TBitmap* Bitmap();
  // Decodes now (raises EInvalidGraphic for corrupt data) / compresses now.
  void DIBNeeded();
  void JPEGNeeded();
  void Compress() { JPEGNeeded(); }
  const std::vector<std::uint8_t>& Data() const { return FData; }

protected:
  void AssignTo(TPersistent* dest) override;

private:
  std::vector<std::uint8_t> FData;
  std::unique_ptr<TBitmap> FBitmap;
  int FWidth = 0;
  int FHeight = 0;
  int FQuality = 90;
  bool FGrayscale = false;
  void ReadHeader();
};

// Picture-format registration of "jpg" and "jpeg" (called by the picture format registry when
// it is first used).
void RegisterJpegFormats();
