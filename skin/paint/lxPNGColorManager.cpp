// Colour conversion of the PNG reader: see lxPNGColorManager.h.
//
// Sections: format setters; gamma; converter selection and Convert; row converters; palettes.
#include "skin/paint/lxPNGColorManager.h"

#include <cassert>
#include <cmath>
#include <bit>
#include <cstring>

#include "framework/base/Classes.h"

namespace {
const char* const SInvalidColorDepth =
    "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const char* const SInvalidSampleCount =
    "Sample count per pixel does not correspond to the given color scheme.";
const char* const SNoConverterFound = "Color conversion failed. Could not find a proper method.";
const char* const SIndexedNotSupported =
    "Conversion between indexed and non-indexed pixel formats is not supported.";

bool CarriesAlpha(TColorScheme s) {
  return s == TColorScheme::GA || s == TColorScheme::RGBA || s == TColorScheme::BGRA;
}

bool IsPackable(Byte bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

// A 16-bit sample scaled to 8 bits the way every converter does: the 32-bit product divided,
// truncating, so that 0x0100 gives 0 and 0xFFFF gives 255.
inline Byte Scale16(unsigned v) { return static_cast<Byte>(v * 255u / 65535u); }

inline unsigned Read16(const std::uint8_t* p, bool bigEndian) {
  return bigEndian ? (unsigned(p[0]) << 8) | p[1] : (unsigned(p[1]) << 8) | p[0];
}
}  // namespace

TColorManager::TColorManager() { SetGamma(FMainGamma, FDisplayGamma); }

// ---------------------------------------------------------------------------------------------
// Format setters

void TColorManager::SetSourceBitsPerSample(Byte value) {
  if (value < 1 || value > 16) throw EColorConversionError(SInvalidColorDepth);
  if (SetAndCheck(FSourceBPS, value)) FChanged = true;
}

void TColorManager::SetTargetBitsPerSample(Byte value) {
  if (value < 1 || value > 16) throw EColorConversionError(SInvalidColorDepth);
  if (SetAndCheck(FTargetBPS, value)) FChanged = true;
}

void TColorManager::SetSourceSamplesPerPixel(Byte value) {
  if (value < 1 || value > 4) throw EColorConversionError(SInvalidSampleCount);
  if (SetAndCheck(FSourceSPP, value)) FChanged = true;
}

void TColorManager::SetTargetSamplesPerPixel(Byte value) {
  if (value < 1 || value > 4) throw EColorConversionError(SInvalidSampleCount);
  if (SetAndCheck(FTargetSPP, value)) FChanged = true;
}

void TColorManager::SetSourceColorScheme(TColorScheme value) {
  if (SetAndCheck(FSourceScheme, value)) FChanged = true;
}

void TColorManager::SetTargetColorScheme(TColorScheme value) {
  if (SetAndCheck(FTargetScheme, value)) FChanged = true;
}

void TColorManager::SetSourceOptions(TConvertOptions value) {
  if (SetAndCheck(FSourceOptions, value)) FChanged = true;
}

void TColorManager::SetTargetOptions(TConvertOptions value) {
  if (SetAndCheck(FTargetOptions, value)) FChanged = true;
}

// ---------------------------------------------------------------------------------------------
// Gamma

// The table always maps the full 8-bit range: every user (the RGB converter, the grey ramp
// and the colour palette) looks it up with 8-bit values, whatever the depth of the samples.
void TColorManager::SetGamma(float mainGamma, float displayGamma) {
  FMainGamma = mainGamma > 0 ? mainGamma : 1.0f;
  FDisplayGamma = displayGamma > 0 ? displayGamma : 2.2f;
  const double exponent = 1.0 / (double(FMainGamma) * double(FDisplayGamma));
  for (int i = 0; i < 256; ++i) {
    // nearbyint rounds to nearest, ties to even, as all colour maths here does.
    const double v = std::nearbyint(std::pow(i / 255.0, exponent) * 255.0);
    FGammaTable[i] = static_cast<Byte>(v < 0 ? 0 : (v > 255 ? 255 : v));
  }
}

// ---------------------------------------------------------------------------------------------
// Converter selection and Convert

void TColorManager::SelectConverter() {
  FRowConversion = nullptr;
  const bool sourceIndexed = FSourceScheme == TColorScheme::Indexed ||
                             FSourceScheme == TColorScheme::G || FSourceScheme == TColorScheme::GA;
  const bool targetIndexed =
      FTargetScheme == TColorScheme::Indexed || FTargetScheme == TColorScheme::G;
  if (sourceIndexed != targetIndexed) throw EColorConversionError(SIndexedNotSupported);

  FSourceOptions = CarriesAlpha(FSourceScheme) ? (FSourceOptions | coAlpha)
                                               : (FSourceOptions & ~coAlpha);
  FTargetOptions = CarriesAlpha(FTargetScheme) ? (FTargetOptions | coAlpha)
                                               : (FTargetOptions & ~coAlpha);

  // Only the members the PNG reader selects exist: 16-bit targets, 16-bit indexed sources and
  // the BGR, CMYK, CIE L*a*b* and YCC sources have no converter and leave the selection empty.
  switch (FSourceScheme) {
    case TColorScheme::Indexed:
    case TColorScheme::G:
      if (FSourceBPS != 16 && FTargetBPS != 16) {
        if (IsPackable(FSourceBPS) && IsPackable(FTargetBPS))
          FRowConversion = &TColorManager::RowConvertIndexed8;
      } else if (FSourceScheme == TColorScheme::G && FSourceBPS >= 8 && FTargetBPS == 8) {
        FRowConversion = &TColorManager::RowConvertGray;
      }
      break;
    case TColorScheme::GA:
      if ((FSourceBPS == 8 || FSourceBPS == 16) && FTargetBPS == 8)
        FRowConversion = &TColorManager::RowConvertGray;
      break;
    case TColorScheme::RGB:
    case TColorScheme::RGBA:
      if ((FTargetScheme == TColorScheme::BGR || FTargetScheme == TColorScheme::BGRA) &&
          (FSourceBPS == 8 || FSourceBPS == 16) && FTargetBPS == 8)
        FRowConversion = &TColorManager::RowConvertRGB2BGR;
      break;
    default:
      break;
  }
  FChanged = false;
}

std::uint64_t TColorManager::SourceBytesNeeded(std::uint32_t count, std::uint8_t mask) const {
  // Pixels the mask selects: full groups of eight, then the leading bits of the last group.
  std::uint64_t pixels = std::uint64_t(count / 8) * std::uint64_t(std::popcount(mask));
  for (std::uint32_t x = 0; x < count % 8; ++x)
    if (mask & (0x80u >> x)) ++pixels;
  std::uint64_t bitsPerPixel = FSourceBPS;
  if (FSourceScheme == TColorScheme::RGB) bitsPerPixel *= 3;
  else if (FSourceScheme == TColorScheme::RGBA) bitsPerPixel *= 4;
  else if (FSourceScheme == TColorScheme::GA) bitsPerPixel *= 2;
  return (pixels * bitsPerPixel + 7) / 8;
}

void TColorManager::Convert(std::span<const std::uint8_t* const> source, std::size_t sourceSize,
                            std::uint8_t* target, std::uint32_t count, std::uint8_t mask) {
  if (FChanged) SelectConverter();
  if (FRowConversion == nullptr) throw EColorConversionError(SNoConverterFound);
  if (source.empty() || source[0] == nullptr || count == 0) return;
  assert(SourceBytesNeeded(count, mask) <= sourceSize && "row shorter than its pixels");
  (void)sourceSize;
  (this->*FRowConversion)(source[0], target, count, mask);
}

int TColorManager::GetPixelFormat(bool targetSide) const {
  const int bits = targetSide ? FTargetBPS : FSourceBPS;
  const int samples = targetSide ? FTargetSPP : FSourceSPP;
  switch (samples) {
    case 1:
      if (bits == 1) return 1;
      if (bits >= 2 && bits <= 4) return 4;
      if (bits >= 8 && bits <= 16) return 8;
      break;
    case 3:
      if (bits >= 1 && bits <= 5) return 15;
      return 24;
    case 4:
      if (bits >= 8) return 32;
      break;
    default:
      break;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Row converters. Each walks the target pixel by pixel; the mask bit of target pixel x is
// 0x80 >> (x % 8), and the source only advances for written pixels.

// Grey or indexed samples of 1, 2, 4 or 8 bits into 1, 4 or 8 bits, most significant first.
void TColorManager::RowConvertIndexed8(const std::uint8_t* source, std::uint8_t* target,
                                       std::uint32_t count, std::uint8_t mask) {
  const unsigned s = FSourceBPS;
  const unsigned t = FTargetBPS;
  if (s == t && mask == 0xFF) {
    std::memcpy(target, source, (std::size_t(count) * s + 7) / 8);
    return;
  }
  const bool grey = FSourceScheme != TColorScheme::Indexed;
  const unsigned sourceMax = (1u << s) - 1;
  const unsigned targetMax = (1u << t) - 1;
  std::size_t sourceBit = 0;
  for (std::uint32_t x = 0; x < count; ++x) {
    if ((mask & (0x80u >> (x & 7))) == 0) continue;
    const unsigned sourceShift = 8 - s - unsigned(sourceBit & 7);
    unsigned v = (source[sourceBit >> 3] >> sourceShift) & sourceMax;
    sourceBit += s;
    if (grey) v = v * targetMax / sourceMax;
    const std::size_t targetBit = std::size_t(x) * t;
    const unsigned targetShift = 8 - t - unsigned(targetBit & 7);
    std::uint8_t& b = target[targetBit >> 3];
    b = static_cast<std::uint8_t>((b & ~(targetMax << targetShift)) | ((v & targetMax) << targetShift));
  }
}

// Grey (or grey with alpha, whose alpha samples are skipped) of 8 or 16 bits into 8 bits.
void TColorManager::RowConvertGray(const std::uint8_t* source, std::uint8_t* target,
                                   std::uint32_t count, std::uint8_t mask) {
  const unsigned step = (FSourceOptions & coAlpha) ? 2 : 1;
  if (FSourceBPS == 8) {
    for (std::uint32_t x = 0; x < count; ++x) {
      if ((mask & (0x80u >> (x & 7))) == 0) continue;
      target[x] = *source;
      source += step;
    }
    return;
  }
  const bool swap = (FSourceOptions & coNeedByteSwap) != 0;
  for (std::uint32_t x = 0; x < count; ++x) {
    if ((mask & (0x80u >> (x & 7))) == 0) continue;
    target[x] = Scale16(Read16(source, swap));
    source += 2 * step;
  }
}

// RGB or RGB with alpha of 8 or 16 bits into BGR or BGR with alpha of 8 bits.
void TColorManager::RowConvertRGB2BGR(const std::uint8_t* source, std::uint8_t* target,
                                      std::uint32_t count, std::uint8_t mask) {
  const bool sourceAlpha = (FSourceOptions & coAlpha) != 0;
  const bool targetAlpha = (FTargetOptions & coAlpha) != 0;
  const bool copyAlpha = sourceAlpha && targetAlpha;
  const bool gamma = (FTargetOptions & coApplyGamma) != 0;
  const unsigned sourceSamples = sourceAlpha ? 4 : 3;
  const unsigned targetStep = targetAlpha ? 4 : 3;
  const Byte* table = FGammaTable;

  if (FSourceBPS == 8) {
    const unsigned sourceStep = sourceSamples;
    // The common case of skin images, kept free of per-pixel option tests.
    if (mask == 0xFF && !gamma && copyAlpha) {
      for (std::uint32_t x = 0; x < count; ++x, source += 4, target += 4) {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
        target[3] = source[3];
      }
      return;
    }
    for (std::uint32_t x = 0; x < count; ++x, target += targetStep) {
      if ((mask & (0x80u >> (x & 7))) == 0) continue;
      if (gamma) {
        target[0] = table[source[2]];
        target[1] = table[source[1]];
        target[2] = table[source[0]];
      } else {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
      }
      if (copyAlpha) target[3] = source[3];
      source += sourceStep;
    }
    return;
  }

  const bool swap = (FSourceOptions & coNeedByteSwap) != 0;
  const unsigned sourceStep = sourceSamples * 2;
  for (std::uint32_t x = 0; x < count; ++x, target += targetStep) {
    if ((mask & (0x80u >> (x & 7))) == 0) continue;
    Byte r = Scale16(Read16(source, swap));
    Byte g = Scale16(Read16(source + 2, swap));
    Byte b = Scale16(Read16(source + 4, swap));
    if (gamma) {
      r = table[r];
      g = table[g];
      b = table[b];
    }
    target[0] = b;
    target[1] = g;
    target[2] = r;
    if (copyAlpha) target[3] = Scale16(Read16(source + 6, swap));
    source += sourceStep;
  }
}

// ---------------------------------------------------------------------------------------------
// Palettes

TPaletteColors TColorManager::CreateGrayscalePalette(bool reversed) const {
  unsigned bits = unsigned(FTargetBPS) * FTargetSPP;
  if (bits > 8) bits = 8;
  const unsigned entries = 1u << bits;
  const unsigned step = 255 / (entries - 1);
  const bool gamma = (FTargetOptions & coApplyGamma) != 0;
  TPaletteColors palette(entries);
  for (unsigned i = 0; i < entries; ++i) {
    Byte v = static_cast<Byte>(i * step);
    if (gamma) v = FGammaTable[v];
    TPaletteColor& e = palette[reversed ? entries - 1 - i : i];
    e.Red = e.Green = e.Blue = v;
    e.Flags = 0;
  }
  return palette;
}

TPaletteColors TColorManager::CreateColorPalette(std::span<const std::uint8_t* const> planes,
                                                 std::size_t planeSize, TRawPaletteFormat format,
                                                 std::size_t entryCount, bool bgr) const {
  if (entryCount > 256) entryCount = 256;
  if (format == TRawPaletteFormat::Interlaced) {
    if (planes.empty() || planes[0] == nullptr) return {};
    if (entryCount > planeSize / 3) entryCount = planeSize / 3;
  } else {
    if (planes.size() < 3 || !planes[0] || !planes[1] || !planes[2]) return {};
    if (entryCount > planeSize) entryCount = planeSize;
  }
  const bool gamma = (FTargetOptions & coApplyGamma) != 0;
  TPaletteColors palette(entryCount);
  for (std::size_t i = 0; i < entryCount; ++i) {
    Byte c[3];
    for (int k = 0; k < 3; ++k)
      c[k] = format == TRawPaletteFormat::Interlaced ? planes[0][i * 3 + std::size_t(k)]
                                                     : planes[std::size_t(k)][i];
    if (bgr) std::swap(c[0], c[2]);
    if (gamma)
      for (Byte& v : c) v = FGammaTable[v];
    palette[i] = TPaletteColor{c[0], c[1], c[2], 0};
  }
  return palette;
}
