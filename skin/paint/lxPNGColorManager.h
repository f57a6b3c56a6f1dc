// Colour conversion of the PNG reader: `TColorManager` turns one unfiltered PNG row (samples in
// file order, 16-bit samples big-endian) into one scan line of the target picture, and builds
// the palettes that go with indexed and grey targets. It owns its gamma table and the selected
// row converter; it borrows the rows it converts. Window-free: palettes are returned as plain
// colour lists, which the picture side turns into system palettes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"

ORBEX_EXCEPTION(EColorConversionError, Exception);

// Colour schemes of a source or target row; the byte values are the ones stored in the
// manager's format fields. Grey with alpha, RGB with alpha and BGR with alpha carry alpha.
enum class TColorScheme : Byte {
  None = 0,
  Indexed = 1,
  G = 2,
  GA = 3,
  RGB = 4,
  RGBA = 5,
  BGR = 6,
  BGRA = 7,
  CMY = 8,
  CMYK = 9,
  CIELab = 10,
  YCbCr = 11,
  PhotoYCC = 12,
};

// Conversion options, one set per side.
using TConvertOptions = Byte;
constexpr TConvertOptions coAlpha = 1;         // the side's scheme carries alpha (set by selection)
constexpr TConvertOptions coApplyGamma = 2;    // target: colour samples pass the gamma table
constexpr TConvertOptions coNeedByteSwap = 4;  // source: 16-bit samples are big-endian

// One palette entry as the system palette takes it: red, green, blue and flags.
struct TPaletteColor {
  Byte Red = 0;
  Byte Green = 0;
  Byte Blue = 0;
  Byte Flags = 0;
  friend bool operator==(const TPaletteColor&, const TPaletteColor&) = default;
};
using TPaletteColors = std::vector<TPaletteColor>;

// How the planes given to CreateColorPalette hold their samples.
enum class TRawPaletteFormat { Interlaced, Planar };

class TColorManager {
public:
  TColorManager();

  // Format setters: each marks the formats changed only when the value differs. Bits per
  // sample outside 1..16 and samples per pixel outside 1..4 raise EColorConversionError; the
  // schemes are not checked here (the next Convert does).
  void SetSourceBitsPerSample(Byte value);
  void SetTargetBitsPerSample(Byte value);
  void SetSourceSamplesPerPixel(Byte value);
  void SetTargetSamplesPerPixel(Byte value);
  void SetSourceColorScheme(TColorScheme value);
  void SetTargetColorScheme(TColorScheme value);
  Byte GetSourceBitsPerSample() const { return FSourceBPS; }
  Byte GetTargetBitsPerSample() const { return FTargetBPS; }
  Byte GetSourceSamplesPerPixel() const { return FSourceSPP; }
  Byte GetTargetSamplesPerPixel() const { return FTargetSPP; }
  TColorScheme GetSourceColorScheme() const { return FSourceScheme; }
  TColorScheme GetTargetColorScheme() const { return FTargetScheme; }

  TConvertOptions GetSourceOptions() const { return FSourceOptions; }
  TConvertOptions GetTargetOptions() const { return FTargetOptions; }
  void SetSourceOptions(TConvertOptions value);
  void SetTargetOptions(TConvertOptions value);

  // Rebuilds the gamma table; a value that is not above 0 becomes 1.0 (main) or 2.2 (display).
  void SetGamma(float mainGamma, float displayGamma = 2.2f);
  float GetMainGamma() const { return FMainGamma; }
  float GetDisplayGamma() const { return FDisplayGamma; }
  Byte GammaTable(Byte index) const { return FGammaTable[index]; }

  // Converts `count` target pixels of one row. `source` lists the row's planes (the PNG reader
  // passes one plane of interleaved samples); `sourceSize` is the byte count of each plane and
  // must cover every pixel that `mask` selects. Target pixel x is written only where bit
  // (0x80 >> (x % 8)) of `mask` is set; the source advances only for written pixels.
  // Raises EColorConversionError when the formats have no converter.
  void Convert(std::span<const std::uint8_t* const> source, std::size_t sourceSize,
               std::uint8_t* target, std::uint32_t count, std::uint8_t mask);

  // Bits per pixel of the target or source format: 1, 4, 8, 15, 24 or 32; 0 for a format that
  // has no bitmap equivalent (the framework's custom format).
  int GetPixelFormat(bool targetSide) const;

  // The grey ramp of the target format: 2^min(bits x samples, 8) entries from black to white,
  // through the gamma table when the target applies gamma; `reversed` runs from white to black.
  TPaletteColors CreateGrayscalePalette(bool reversed) const;
  // Up to 256 entries from raw triples: one interleaved plane or three planes (red, green,
  // blue; blue, green, red with `bgr`), each sample through the gamma table when the target
  // applies gamma. `planeSize` is the byte count of each plane; entries beyond it are cut.
  TPaletteColors CreateColorPalette(std::span<const std::uint8_t* const> planes,
                                    std::size_t planeSize, TRawPaletteFormat format,
                                    std::size_t entryCount, bool bgr) const;

private:
  using TRowConverter = void (TColorManager::*)(const std::uint8_t* source, std::uint8_t* target,
                                                std::uint32_t count, std::uint8_t mask);

  void SelectConverter();
  void RowConvertIndexed8(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count,
                          std::uint8_t mask);
  void RowConvertGray(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count,
                      std::uint8_t mask);
  void RowConvertRGB2BGR(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count,
                         std::uint8_t mask);
  // Bytes of one plane that `count` pixels under `mask` read in the source format.
  std::uint64_t SourceBytesNeeded(std::uint32_t count, std::uint8_t mask) const;

  bool FChanged = true;
  Byte FSourceBPS = 8;
  Byte FTargetBPS = 8;
  Byte FSourceSPP = 3;
  Byte FTargetSPP = 3;
  float FMainGamma = 1.0f;
  float FDisplayGamma = 2.2f;
  Byte FGammaTable[256] = {};
  TColorScheme FSourceScheme = TColorScheme::RGB;
  TColorScheme FTargetScheme = TColorScheme::BGR;
  TRowConverter FRowConversion = nullptr;
  TConvertOptions FSourceOptions = 0;
  TConvertOptions FTargetOptions = 0;
};
