// The window-free core of the PNG reader: see lxPNG.h.
//
// Sections: messages and small helpers; CRC-32; TLZ77Decoder; reading chunks; signature and
// header; the chunk loop; ancillary chunks; colour set-up; image data; unfiltering.
#include "skin/paint/lxPNG.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
const char* const SPNG = "PNG";
const char* const SInvalidImage = "Cannot load image. Invalid or unexpected %s image format.";
const char* const SUnsupportedFeature = "Cannot load image. %s not supported for %s files.";
const char* const SCompressionScheme = "The compression scheme is";
const char* const SInvalidPalette = "Cannot load image. Palette in %s file is invalid.";
const char* const SInvalidCRC = "Cannot load image. CRC error found in %s file.";
const char* const SCompressionError = "Cannot load image. Compression error found in %s file.";
const char* const SExtraCompressedData =
    "Cannot load image. Extra compressed data found in %s file.";
const char* const SUnknownCriticalChunk =
    "Cannot load PNG image. Unexpected but critical chunk detected.";
const char* const SInvalidColorFormat = "Invalid color format in %s file.";
const char* const SLZ77Error = "LZ77 decompression error.";
const char* const SReadError = "Stream read error";
const char* const SPreparing = "Preparing...";
const char* const STransfering = "Transfering...";

constexpr std::uint8_t PNGSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// The standard's limit on chunk lengths and image dimensions.
constexpr std::uint32_t MaxPNGValue = 0x7FFFFFFF;

[[noreturn]] void InvalidImage() { throw EInvalidGraphic(Format(SInvalidImage, SPNG)); }

inline std::uint32_t BE32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}
inline unsigned BE16(const std::uint8_t* p) { return (unsigned(p[0]) << 8) | p[1]; }

inline TColor RGBColor(unsigned r, unsigned g, unsigned b) {
  return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Bits per pixel of the picture a colour type and depth decode into (32 for combinations
// that the set-up refuses later, so that the size bound never lets them through).
int TargetBitsFor(Byte colorType, Byte depth) {
  switch (colorType) {
    case 0:
      return depth == 1 ? 1 : (depth <= 4 ? 4 : 8);
    case 2:
      return 24;
    case 3:
      return depth == 1 ? 1 : (depth <= 4 ? 4 : 8);
    case 4:
      return 8;
    default:
      return 32;
  }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CRC-32

namespace {
// The generator polynomial from its bit positions; (31 - position) gives the reflected form.
std::array<std::uint32_t, 256> BuildCrcTable() {
  static const int Positions[14] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
  std::uint32_t poly = 0;
  for (int p : Positions) poly |= 1u << (31 - p);
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ poly : c >> 1;
    table[i] = c;
  }
  return table;
}

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = BuildCrcTable();
  return table;
}
}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const void* buffer, std::size_t count) {
  if (buffer == nullptr) return 0;
  const std::uint32_t* t = CrcTable().data();
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  std::uint32_t v = ~crc;
  for (; count >= 8; count -= 8, p += 8) {
    v = t[(v ^ p[0]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[1]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[2]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[3]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[4]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[5]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[6]) & 0xFF] ^ (v >> 8);
    v = t[(v ^ p[7]) & 0xFF] ^ (v >> 8);
  }
  for (; count > 0; --count, ++p) v = t[(v ^ *p) & 0xFF] ^ (v >> 8);
  return ~v;
}

// ---------------------------------------------------------------------------------------------
// TLZ77Decoder

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset)
    : FFlushMode(flushMode), FAutoReset(autoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
  if (FInitialized) inflateEnd(&FStream);
}

void TLZ77Decoder::DecodeInit() {
  if (FInitialized) return;
  FStream = z_stream{};
  // The version string only has to agree in its major number with the zlib linked in.
  if (inflateInit_(&FStream, "1.2.3", static_cast<int>(sizeof(z_stream))) != Z_OK)
    throw EGraphicCompression(SLZ77Error);
  FInitialized = true;
}

void TLZ77Decoder::Decode(const std::uint8_t*& source, std::uint8_t*& dest,
                          std::uint32_t packedSize, std::uint32_t unpackedSize) {
  FStream.next_in = const_cast<Bytef*>(source);
  FStream.avail_in = packedSize;
  if (FAutoReset) FZLibResult = inflateReset(&FStream);
  FStream.next_out = dest;
  FStream.avail_out = unpackedSize;
  FZLibResult = inflate(&FStream, FFlushMode);
  source = FStream.next_in;
  dest = FStream.next_out;
}

void TLZ77Decoder::DecodeEnd() {
  if (!FInitialized) return;
  FInitialized = false;
  if (inflateEnd(&FStream) != Z_OK) throw EGraphicCompression(SLZ77Error);
}

// ---------------------------------------------------------------------------------------------
// Reading chunks. The input is a span; FPosition never passes its end.

void TPNGDecoder::ReadBytes(void* buffer, std::size_t count) {
  if (count > FData.size() - FPosition) {
    FPosition = FData.size();
    throw EReadError(SReadError);
  }
  std::memcpy(buffer, FData.data() + FPosition, count);
  FPosition += count;
}

std::uint32_t TPNGDecoder::ReadBE32() {
  std::uint8_t b[4];
  ReadBytes(b, 4);
  return BE32(b);
}

void TPNGDecoder::ReadChunkHeader() {
  FHeader.Length = ReadBE32();
  ReadBytes(FHeader.Type, 4);
  FHeader.CRC = Crc32Update(0, FHeader.Type, 4);
  if (FHeader.Length > MaxPNGValue) InvalidImage();
}

// Checks the data of the current chunk against its CRC and leaves it in FChunkData. The data
// stays in the input: a chunk never needs more memory than the file already takes.
void TPNGDecoder::ReadChunkData() {
  const std::uint64_t need = std::uint64_t(FHeader.Length) + 4;
  if (need > FData.size() - FPosition) InvalidImage();
  FChunkData = FData.data() + FPosition;
  FHeader.CRC = Crc32Update(FHeader.CRC, FChunkData, FHeader.Length);
  FPosition += FHeader.Length;
  if (ReadBE32() != FHeader.CRC) throw EInvalidGraphic(Format(SInvalidCRC, SPNG));
}

// Passes over the data and CRC unchecked. A chunk claiming more bytes than the input holds is
// malformed whether it is read or skipped.
void TPNGDecoder::SkipChunkData() {
  const std::uint64_t skip = std::uint64_t(FHeader.Length) + 4;
  if (skip > FData.size() - FPosition) InvalidImage();
  FPosition += std::size_t(skip);
}

// Chunk types are compared without the case bit of their letters, so "idat" is IDAT.
bool TPNGDecoder::IsChunk(const char* type) const {
  for (int i = 0; i < 4; ++i)
    if ((FHeader.Type[i] & ~0x20) != (std::uint8_t(type[i]) & ~0x20)) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Signature and header

void TPNGDecoder::ReadSignatureAndHeader() {
  FImageProperties = TPNGImageProperties{};
  FImageProperties.FileGamma = 1.0f;
  std::uint8_t signature[8];
  ReadBytes(signature, 8);
  if (std::memcmp(signature, PNGSignature, 8) != 0) InvalidImage();
  ReadChunkHeader();
  if (!IsChunk("IHDR") || FHeader.Length != 13) InvalidImage();
  ReadChunkData();
  const std::uint8_t* d = FChunkData;
  const std::uint32_t width = BE32(d);
  const std::uint32_t height = BE32(d + 4);
  if (width == 0 || height == 0 || width > MaxPNGValue || height > MaxPNGValue) InvalidImage();

  TPNGImageProperties& p = FImageProperties;
  p.Width = width;
  p.Height = height;
  p.BitsPerSample = d[8];
  FColorType = d[9];
  switch (FColorType) {
    case 0: p.ColorScheme = TColorScheme::G; p.SamplesPerPixel = 1; break;
    case 2: p.ColorScheme = TColorScheme::RGB; p.SamplesPerPixel = 3; break;
    case 3: p.ColorScheme = TColorScheme::Indexed; p.SamplesPerPixel = 1; break;
    case 4: p.ColorScheme = TColorScheme::GA; p.SamplesPerPixel = 2; break;
    case 6: p.ColorScheme = TColorScheme::RGBA; p.SamplesPerPixel = 4; break;
    default: p.ColorScheme = TColorScheme::None; p.SamplesPerPixel = 1; break;
  }
  p.BitsPerPixel = static_cast<Byte>(p.SamplesPerPixel * p.BitsPerSample);
  p.Compression = d[10] == 0 ? ctDeflate : ctNone;
  p.FilterMode = d[11];
  FInterlaceMethod = d[12];
  p.Interlaced = FInterlaceMethod != 0;
  p.HasAlpha = p.ColorScheme == TColorScheme::GA || p.ColorScheme == TColorScheme::RGBA;
  p.Options |= ioHeaderRead;
  CheckImageSize();

  for (;;) {
    ReadChunkHeader();
    if (IsChunk("IEND")) break;
    if (IsChunk("gAMA")) {
      ReadChunkData();
      if (FHeader.Length >= 4) p.FileGamma = float(BE32(FChunkData) / 100000.0);
    } else {
      SkipChunkData();
    }
  }
}

// The picture and the row buffers must fit in memory: the scan lines of the target format
// times the height, and a source row of up to 8 bytes per pixel, are bounded.
void TPNGDecoder::CheckImageSize() const {
  const std::uint64_t w = FImageProperties.Width;
  const std::uint64_t h = FImageProperties.Height;
  const std::uint64_t bits = std::uint64_t(TargetBitsFor(FColorType, FImageProperties.BitsPerSample));
  const std::uint64_t stride = (w * bits + 31) / 32 * 4;
  if (stride * h > FMaxImageBytes || w * 8 > FMaxImageBytes) InvalidImage();
}

// ---------------------------------------------------------------------------------------------
// The chunk loop

void TPNGDecoder::Decode(std::span<const std::uint8_t> data, TPNGTarget& target) {
  FData = data;
  FPosition = 0;
  FTarget = &target;
  ReadSignatureAndHeader();
  FPosition = 8;

  FProgressRect = Rect(0, 0, int(FImageProperties.Width), 1);
  target.Progress(TPNGProgressStage::psStarting, 0, false, FProgressRect, SPreparing);

  FHasPalette = false;
  FPalette.clear();
  FTransparency.clear();
  FBackgroundColor = 0xFFFFFF;
  FTransparentColor = PNGNoColor;
  FFormatSet = false;
  FImageDataRead = false;
  FIDATSize = 0;
  FCurrentSource = nullptr;
  FColorManager.SetSourceOptions(FColorManager.GetSourceOptions() | coNeedByteSwap);
  // Gamma belongs to the image that has a gAMA chunk, not to the next one loaded.
  FColorManager.SetTargetOptions(FColorManager.GetTargetOptions() & ~coApplyGamma);

  try {
    LoadChunks();
  } catch (...) {
    Finish(false);
    throw;
  }
  Finish(true);
}

void TPNGDecoder::LoadChunks() {
  ReadChunkHeader();
  ReadChunkData();
  if (FChunkData[10] != 0)
    throw EInvalidGraphic(Format(SUnsupportedFeature, SCompressionScheme, SPNG));
  FDecoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
  FDecoder->DecodeInit();

  for (;;) {
    ReadChunkHeader();
    if (IsChunk("IDAT")) {
      // Image data comes in one run of IDAT chunks; a second run cannot belong to the image.
      if (FImageDataRead) throw EInvalidGraphic(Format(SExtraCompressedData, SPNG));
      FTarget->Progress(TPNGProgressStage::psEnding, 0, false, FProgressRect, std::string());
      ReadImageData();
      FImageDataRead = true;
      // The chunk after the run is current with its data unread; it is passed over below.
    } else if (IsChunk("PLTE")) {
      ReadPalette();
      continue;
    } else if (IsChunk("gAMA")) {
      ReadGamma();
      continue;
    } else if (IsChunk("bKGD")) {
      ReadBackground();
      continue;
    } else if (IsChunk("tRNS")) {
      ReadTransparency();
      continue;
    }
    SkipChunkData();
    if (IsChunk("IEND")) {
      // A file without image data has no picture to give; it must not load as an empty one.
      if (!FImageDataRead) InvalidImage();
      break;
    }
    if ((FHeader.Type[0] & 0x20) == 0) throw EInvalidGraphic(SUnknownCriticalChunk);
  }
}

void TPNGDecoder::Finish(bool raise) {
  bool endFailed = false;
  if (FDecoder) {
    try {
      FDecoder->DecodeEnd();
    } catch (const EGraphicCompression&) {
      endFailed = true;
    }
    FDecoder.reset();
  }
  FChunkData = nullptr;
  FCurrentSource = nullptr;
  FIDATSize = 0;
  for (auto& b : FRowBuffers) std::vector<std::uint8_t>().swap(b);
  FTarget->Progress(TPNGProgressStage::psEnding, 0, false, FProgressRect, std::string());
  if (endFailed && raise) throw EGraphicCompression(SLZ77Error);
}

// ---------------------------------------------------------------------------------------------
// Ancillary chunks and the palette

void TPNGDecoder::ReadPalette() {
  if (FHeader.Length % 3 != 0) throw EInvalidGraphic(Format(SInvalidPalette, SPNG));
  ReadChunkData();
  if (FColorType != 3) return;
  FSourceBPP = SetupColorManager();
  FFormatSet = true;
  const std::uint8_t* planes[1] = {FChunkData};
  FPalette = FColorManager.CreateColorPalette(planes, FHeader.Length,
                                              TRawPaletteFormat::Interlaced,
                                              FHeader.Length / 3, false);
  FHasPalette = true;
}

void TPNGDecoder::ReadGamma() {
  ReadChunkData();
  if (FHeader.Length < 4) return;   // too short to hold a value: ignored like any broken extra
  FColorManager.SetGamma(float(BE32(FChunkData) / 100000.0), 2.2f);
  FColorManager.SetTargetOptions(FColorManager.GetTargetOptions() | coApplyGamma);
  FImageProperties.Options |= ioUseGamma;
}

// A grey sample of the image's depth as an 8-bit level, scaled the way the pixels are: low
// depths spread over 0..255 (a 1-bit 1 is white), 16 bits divided down.
Byte TPNGDecoder::GreyLevel(unsigned sample) const {
  const unsigned depth = FImageProperties.BitsPerSample;
  if (depth == 16) return static_cast<Byte>(sample * 255u / 65535u);
  if (depth == 1 || depth == 2 || depth == 4) {
    const unsigned max = (1u << depth) - 1;
    return static_cast<Byte>((sample & max) * 255u / max);
  }
  return static_cast<Byte>(sample & 0xFF);
}

// Three 16-bit samples as a colour: 16-bit images scale them, the others take the low byte.
TColor TPNGDecoder::RGBSampleColor(const std::uint8_t* d) const {
  unsigned c[3] = {BE16(d), BE16(d + 2), BE16(d + 4)};
  for (unsigned& v : c) v = FImageProperties.BitsPerSample == 16 ? v * 255u / 65535u : v & 0xFF;
  return RGBColor(c[0], c[1], c[2]);
}

void TPNGDecoder::ReadBackground() {
  ReadChunkData();
  const std::uint8_t* d = FChunkData;
  const std::uint32_t n = FHeader.Length;
  switch (FColorType) {
    case 0:
    case 4:
      if (n >= 2) {
        const Byte level = GreyLevel(BE16(d));
        FBackgroundColor = RGBColor(level, level, level);
      }
      break;
    case 2:
    case 6:
      if (n >= 6) {
        FBackgroundColor = RGBSampleColor(d);
      }
      break;
    default:
      // A palette index: the colour of that entry when the palette holds it.
      if (n >= 1) {
        const Byte index = d[0];
        if (FHasPalette && index < FPalette.size()) {
          const TPaletteColor& e = FPalette[index];
          FBackgroundColor = RGBColor(e.Red, e.Green, e.Blue);
        } else {
          FBackgroundColor = index;
        }
      }
      break;
  }
}

void TPNGDecoder::ReadTransparency() {
  ReadChunkData();
  const std::uint8_t* d = FChunkData;
  const std::uint32_t n = FHeader.Length;
  switch (FColorType) {
    case 0:
      if (n >= 2) {
        const Byte level = GreyLevel(BE16(d));
        FTransparentColor = RGBColor(level, level, level);
      }
      break;
    case 2:
      if (n >= 6) {
        FTransparentColor = RGBSampleColor(d);
      }
      break;
    case 4:
    case 6:
      break;   // the alpha channel already says it
    default:
      FTransparency.assign(256, 255);
      std::memcpy(FTransparency.data(), d, std::min<std::size_t>(n, 256));
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Colour set-up: source and target formats by colour type and depth. Returns the source bytes
// per pixel (the filter distance); sets the grey ramp for grey images.

namespace {
// Source and target formats per IHDR colour type (0 to 6; 1 and 5 do not exist) and the bit
// depths each allows. Grey with alpha goes into an indexed target over a grey ramp.
struct TColorSetup {
  TColorScheme Source;
  Byte SourceSamples;
  TColorScheme Target;
  Byte TargetSamples;
  Byte Depths[5];   // allowed depths, 0 = none
};
constexpr TColorSetup ColorSetups[7] = {
    {TColorScheme::G, 1, TColorScheme::G, 1, {1, 2, 4, 8, 16}},
    {TColorScheme::None, 0, TColorScheme::None, 0, {}},
    {TColorScheme::RGB, 3, TColorScheme::BGR, 3, {8, 16}},
    {TColorScheme::Indexed, 1, TColorScheme::Indexed, 1, {1, 2, 4, 8}},
    {TColorScheme::GA, 1, TColorScheme::Indexed, 1, {8, 16}},
    {TColorScheme::None, 0, TColorScheme::None, 0, {}},
    {TColorScheme::RGBA, 4, TColorScheme::BGRA, 4, {8, 16}},
};
static_assert(std::size(ColorSetups) == 7, "one entry per colour type 0..6");
}  // namespace

unsigned TPNGDecoder::SetupColorManager() {
  const Byte depth = FImageProperties.BitsPerSample;
  const Byte type = FColorType;
  if (type >= 7 || std::find(std::begin(ColorSetups[type].Depths),
                             std::end(ColorSetups[type].Depths), depth) ==
                       std::end(ColorSetups[type].Depths) || depth == 0)
    throw EInvalidGraphic(Format(SInvalidColorFormat, SPNG));
  const TColorSetup& setup = ColorSetups[type];
  TColorManager& cm = FColorManager;
  cm.SetSourceColorScheme(setup.Source);
  cm.SetSourceSamplesPerPixel(setup.SourceSamples);
  cm.SetSourceBitsPerSample(depth);
  cm.SetTargetColorScheme(setup.Target);
  cm.SetTargetSamplesPerPixel(setup.TargetSamples);
  // 1 bit stays 1 bit, 2 and 4 bits become 4, 8 and 16 bits become 8.
  cm.SetTargetBitsPerSample(depth == 1 ? 1 : (depth <= 4 ? 4 : 8));
  if (type == 0 || type == 4) {
    FPalette = cm.CreateGrayscalePalette(false);
    FHasPalette = true;
  } else if (type != 3) {
    FPalette.clear();
    FHasPalette = false;
  }
  // The filter distance: whole bytes per pixel of the file, at least one.
  return std::max(1u, unsigned(depth) * FImageProperties.SamplesPerPixel / 8);
}

// ---------------------------------------------------------------------------------------------
// Image data

void TPNGDecoder::ReadImageData() {
  FTarget->Progress(TPNGProgressStage::psStarting, 0, false, FProgressRect, STransfering);
  if (!FFormatSet) {
    FSourceBPP = SetupColorManager();
    FFormatSet = true;
  }
  const Byte depth = FImageProperties.BitsPerSample;
  const std::uint64_t m = depth == 16 ? FSourceBPP / 2 : FSourceBPP;

  TPNGTargetFormat format;
  format.Width = FImageProperties.Width;
  format.Height = FImageProperties.Height;
  format.BitsPerPixel = FColorManager.GetPixelFormat(true);
  format.HasPalette = FHasPalette;
  if (FHasPalette) format.Palette = FPalette;
  format.BackgroundColor = FBackgroundColor;
  format.Transparent = FTransparentColor != PNGNoColor;
  format.TransparentColor = FTransparentColor;
  FTarget->SetFormat(format);

  const std::uint64_t rowBytes = (std::uint64_t(format.Width) * depth + 7) / 8 * m;
  for (auto& b : FRowBuffers) b.assign(std::size_t(rowBytes + 1), 0);
  // Only method 1 (Adam7) is interlaced; the record's flag is set for any non-zero method.
  if (FInterlaceMethod == 1)
    DecodeInterlacedRows(m);
  else
    DecodeRows(rowBytes);

  while (IsChunk("IDAT")) {
    ReadChunkData();
    ReadChunkHeader();
  }
  for (auto& b : FRowBuffers) std::vector<std::uint8_t>().swap(b);
}

void TPNGDecoder::DecodeRows(std::uint64_t rowBytes) {
  std::uint8_t* current = FRowBuffers[0].data();
  std::uint8_t* previous = FRowBuffers[1].data();
  const std::uint32_t width = FImageProperties.Width;
  for (std::uint32_t y = 0; y < FImageProperties.Height; ++y) {
    InflateData(current, std::uint32_t(rowBytes + 1));
    UnfilterRow(current[0], current + 1, std::size_t(rowBytes), FSourceBPP, previous + 1);
    const std::uint8_t* planes[1] = {current + 1};
    FColorManager.Convert(planes, std::size_t(rowBytes), FTarget->ScanLine(y), width, 0xFF);
    FProgressRect.Top += 1;
    FProgressRect.Bottom += 1;
    std::swap(current, previous);
  }
}

void TPNGDecoder::DecodeInterlacedRows(std::uint64_t m) {
  static const std::uint32_t StartRow[7] = {0, 0, 4, 0, 2, 0, 1};
  static const std::uint32_t StartColumn[7] = {0, 4, 0, 2, 0, 1, 0};
  static const std::uint32_t RowStep[7] = {8, 8, 8, 4, 4, 2, 2};
  static const std::uint32_t ColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
  static const std::uint8_t PassMask[7] = {0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};
  const std::uint64_t width = FImageProperties.Width;
  const std::uint32_t height = FImageProperties.Height;
  const Byte depth = FImageProperties.BitsPerSample;
  std::uint8_t* current = FRowBuffers[0].data();
  std::uint8_t* previous = FRowBuffers[1].data();
  for (int pass = 0; pass < 7; ++pass) {
    if (StartColumn[pass] >= width) continue;
    const std::uint64_t passWidth =
        (width + ColumnStep[pass] - StartColumn[pass] - 1) / ColumnStep[pass];
    const std::uint64_t rowBytes = (passWidth * depth + 7) / 8 * m;
    std::memset(previous, 0, std::size_t(rowBytes + 1));
    for (std::uint64_t y = StartRow[pass]; y < height; y += RowStep[pass]) {
      InflateData(current, std::uint32_t(rowBytes + 1));
      UnfilterRow(current[0], current + 1, std::size_t(rowBytes), FSourceBPP, previous + 1);
      const std::uint8_t* planes[1] = {current + 1};
      FColorManager.Convert(planes, std::size_t(rowBytes), FTarget->ScanLine(std::uint32_t(y)),
                            std::uint32_t(width), PassMask[pass]);
      if (pass == 6) {
        FProgressRect.Top += 1;
        FProgressRect.Bottom += 1;
      }
      std::swap(current, previous);
    }
  }
}

// Inflates `size` bytes of row data, taking the next IDAT chunk whenever the current one is
// used up. Returns false when the image data ends first; the rest of the row is then zero, so
// that short image data decodes to black rows instead of stale buffer contents.
bool TPNGDecoder::InflateData(std::uint8_t* buffer, std::uint32_t size) {
  std::uint8_t* out = buffer;
  std::uint32_t left = size;
  bool streamEnded = false;
  while (left > 0) {
    while (FIDATSize == 0) {
      if (!IsChunk("IDAT")) {
        std::memset(out, 0, left);
        return false;
      }
      ReadChunkData();
      FCurrentSource = FChunkData;
      FIDATSize = FHeader.Length;
      ReadChunkHeader();
    }
    const std::uint8_t* source = FCurrentSource;
    std::uint8_t* dest = out;
    FDecoder->Decode(source, dest, FIDATSize, left);
    FIDATSize -= std::uint32_t(source - FCurrentSource);
    FCurrentSource = source;
    left -= std::uint32_t(dest - out);
    out = dest;
    const int result = FDecoder->GetZLibResult();
    if (result == Z_STREAM_END) {
      streamEnded = true;
      break;
    }
    if (result != Z_OK) throw EInvalidGraphic(Format(SCompressionError, SPNG));
  }
  if (streamEnded && (left > 0 || FIDATSize > 0))
    throw EInvalidGraphic(Format(SExtraCompressedData, SPNG));
  return true;
}

// ---------------------------------------------------------------------------------------------
// Unfiltering

Byte TPNGDecoder::PaethPredict(Byte a, Byte b, Byte c) {
  const int p = int(a) + int(b) - int(c);
  const int pa = std::abs(p - int(a));
  const int pb = std::abs(p - int(b));
  const int pc = std::abs(p - int(c));
  if (pa <= pb && pa <= pc) return a;
  if (pb <= pc) return b;
  return c;
}

namespace {
// Paeth over rows of whole pixels of a fixed size: the channels of one pixel are independent,
// so each keeps its left (a) and upper-left (c) neighbour in registers.
template <std::size_t Distance>
void UnfilterPaeth(std::uint8_t* row, std::size_t length, const std::uint8_t* previous) {
  int a[Distance], c[Distance];
  for (std::size_t k = 0; k < Distance; ++k) {
    row[k] = std::uint8_t(row[k] + previous[k]);
    a[k] = row[k];
    c[k] = previous[k];
  }
  for (std::size_t x = Distance; x < length; x += Distance) {
    for (std::size_t k = 0; k < Distance; ++k) {
      const int b = previous[x + k];
      const int pa = std::abs(b - c[k]);
      const int pb = std::abs(a[k] - c[k]);
      const int pc = std::abs(a[k] + b - 2 * c[k]);
      const int pred = (pa <= pb && pa <= pc) ? a[k] : (pb <= pc ? b : c[k]);
      a[k] = (row[x + k] + pred) & 0xFF;
      row[x + k] = std::uint8_t(a[k]);
      c[k] = b;
    }
  }
}

#if defined(__SSE2__)
// Paeth for pixels of 3 to 8 bytes with the channels side by side in 16-bit lanes; the same
// choice as the scalar form (a, then b, then c on ties). Only where SSE2 is always present.
inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }
inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <std::size_t Distance>
void UnfilterPaethSSE2(std::uint8_t* row, std::size_t length, const std::uint8_t* previous) {
  static_assert(Distance >= 3 && Distance <= 8, "one pixel per 64-bit load");
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_set1_epi16(0xFF);
  __m128i a = zero, c = zero;
  alignas(16) std::uint8_t in[16] = {};
  alignas(16) std::uint8_t up[16] = {};
  alignas(16) std::uint8_t out[16] = {};
  for (std::size_t x = 0; x < length; x += Distance) {
    std::memcpy(in, row + x, Distance);
    std::memcpy(up, previous + x, Distance);
    const __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(up)), zero);
    const __m128i d = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in)), zero);
    __m128i pa = _mm_sub_epi16(b, c);   // p - a
    __m128i pb = _mm_sub_epi16(a, c);   // p - b
    const __m128i pc = Abs16(_mm_add_epi16(pa, pb));
    pa = Abs16(pa);
    pb = Abs16(pb);
    const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    const __m128i nearest = Select(_mm_cmpeq_epi16(smallest, pa), a,
                                   Select(_mm_cmpeq_epi16(smallest, pb), b, c));
    a = _mm_and_si128(_mm_add_epi16(d, nearest), low);
    c = b;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(a, a));
    std::memcpy(row + x, out, Distance);
  }
}
#endif

template <std::size_t Distance>
void UnfilterSub(std::uint8_t* row, std::size_t length) {
  unsigned a[Distance];
  for (std::size_t k = 0; k < Distance; ++k) a[k] = row[k];
  for (std::size_t x = Distance; x < length; x += Distance)
    for (std::size_t k = 0; k < Distance; ++k) {
      a[k] = (row[x + k] + a[k]) & 0xFF;
      row[x + k] = std::uint8_t(a[k]);
    }
}

template <std::size_t Distance>
void UnfilterAverage(std::uint8_t* row, std::size_t length, const std::uint8_t* previous) {
  unsigned a[Distance];
  for (std::size_t k = 0; k < Distance; ++k) {
    row[k] = std::uint8_t(row[k] + (previous[k] >> 1));
    a[k] = row[k];
  }
  for (std::size_t x = Distance; x < length; x += Distance)
    for (std::size_t k = 0; k < Distance; ++k) {
      a[k] = (row[x + k] + ((a[k] + previous[x + k]) >> 1)) & 0xFF;
      row[x + k] = std::uint8_t(a[k]);
    }
}

// The per-pixel forms for whole rows of the usual pixel sizes; false when none applies.
template <std::size_t Distance>
bool UnfilterFixed(Byte filterType, std::uint8_t* row, std::size_t length,
                   const std::uint8_t* previous) {
  switch (filterType) {
    case 1: UnfilterSub<Distance>(row, length); return true;
    case 3: UnfilterAverage<Distance>(row, length, previous); return true;
    case 4:
#if defined(__SSE2__)
      if constexpr (Distance >= 3) {
        UnfilterPaethSSE2<Distance>(row, length, previous);
        return true;
      }
#endif
      UnfilterPaeth<Distance>(row, length, previous);
      return true;
    default: return false;
  }
}
}  // namespace

void TPNGDecoder::UnfilterRow(Byte filterType, std::uint8_t* row, std::size_t length,
                              std::size_t distance, const std::uint8_t* previous) {
  if (length >= distance && length % distance == 0) {
    bool done = false;
    switch (distance) {
      case 1: done = UnfilterFixed<1>(filterType, row, length, previous); break;
      case 2: done = UnfilterFixed<2>(filterType, row, length, previous); break;
      case 3: done = UnfilterFixed<3>(filterType, row, length, previous); break;
      case 4: done = UnfilterFixed<4>(filterType, row, length, previous); break;
      case 6: done = UnfilterFixed<6>(filterType, row, length, previous); break;
      case 8: done = UnfilterFixed<8>(filterType, row, length, previous); break;
      default: break;
    }
    if (done) return;
  }
  const std::size_t head = std::min(distance, length);
  switch (filterType) {
    case 1:
      for (std::size_t x = distance; x < length; ++x)
        row[x] = std::uint8_t(row[x] + row[x - distance]);
      break;
    case 2:
      for (std::size_t x = 0; x < length; ++x) row[x] = std::uint8_t(row[x] + previous[x]);
      break;
    case 3:
      for (std::size_t x = 0; x < head; ++x) row[x] = std::uint8_t(row[x] + (previous[x] >> 1));
      for (std::size_t x = distance; x < length; ++x)
        row[x] = std::uint8_t(row[x] + ((unsigned(row[x - distance]) + previous[x]) >> 1));
      break;
    case 4:
      for (std::size_t x = 0; x < head; ++x) row[x] = std::uint8_t(row[x] + previous[x]);
      for (std::size_t x = distance; x < length; ++x) {
        // Branch-light form of the predictor: same choice and tie order as PaethPredict.
        const int a = row[x - distance];
        const int b = previous[x];
        const int c = previous[x - distance];
        const int pa = std::abs(b - c);
        const int pb = std::abs(a - c);
        const int pc = std::abs(a + b - 2 * c);
        const int pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        row[x] = std::uint8_t(row[x] + pred);
      }
      break;
    default:
      break;   // None, and unknown types leave the row as it is
  }
}

// ---------------------------------------------------------------------------------------------
// Clean-up passes

void ClearTransparentWhitePixels(const TlxPixelBuffer& v) {
  if (v.BytesPerPixel != 4) return;
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x)
      if (GetPix(v, x, y) == 0x00FFFFFFu) SetPix(v, x, y, 0);
}

void PremultiplyAlphaPixels(const TlxPixelBuffer& v) {
  if (v.BytesPerPixel != 4) return;
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x) {
      const std::uint32_t p = GetPix(v, x, y);
      const std::uint32_t a = p >> 24;
      const std::uint32_t b = (p & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255,
                          r = ((p >> 16) & 0xFF) * a / 255;
      SetPix(v, x, y, b | (g << 8) | (r << 16) | (a << 24));
    }
}
