// The window-free core of the PNG reader: the table-driven CRC-32, `TLZ77Decoder` over zlib's
// inflate, and `TPNGDecoder`, which reads a PNG file from a span of bytes chunk by chunk,
// inflates, unfilters and de-interlaces its rows and hands them, converted by its
// `TColorManager`, to a `TPNGTarget` (the picture). The decoder owns its colour manager, the
// inflate state, the chunk buffer and the two row buffers (the last three only during a
// load); it borrows the input bytes and the target.
//
// Failures raise EInvalidGraphic (malformed files), EGraphicCompression (inflate set-up and
// end), EColorConversionError (converter problems) and EReadError (input ending before a
// chunk header is complete). Sizes are bounded by what the input holds and by
// `MaxImageBytes` for the target picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <zlib.h>

#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"
#include "skin/paint/lxPNGColorManager.h"
#include "skin/paint/sAlphaGraph.h"

ORBEX_EXCEPTION(EGraphicCompression, Exception);

// The framework's "no colour" value, which leaves a picture without a transparent colour.
constexpr TColor PNGNoColor = 0x1FFFFFFF;

// CRC-32 of ISO 3309 / ITU-T V.42 (the one PNG chunks carry), continued from `crc`: the value
// is complemented on entry and exit, so Crc32Update(0, ...) starts a new one. Returns 0 for a
// missing buffer.
std::uint32_t Crc32Update(std::uint32_t crc, const void* buffer, std::size_t count);

// A thin owner of one zlib inflate state.
class TLZ77Decoder {
public:
  TLZ77Decoder(int flushMode, bool autoReset);
  ~TLZ77Decoder();
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  // Raises EGraphicCompression "LZ77 decompression error." when zlib cannot start.
  void DecodeInit();
  // Inflates from `source` (packedSize bytes) into `dest` (unpackedSize bytes) with the flush
  // mode; both pointers are moved past what was taken and written. The zlib result is kept.
  void Decode(const std::uint8_t*& source, std::uint8_t*& dest, std::uint32_t packedSize,
              std::uint32_t unpackedSize);
  // Ends the inflate state; raises EGraphicCompression when zlib reports a failure.
  void DecodeEnd();

  int GetZLibResult() const { return FZLibResult; }
  std::uint32_t GetAvailableInput() const { return FStream.avail_in; }
  std::uint32_t GetAvailableOutput() const { return FStream.avail_out; }

private:
  z_stream FStream{};
  int FFlushMode;
  bool FAutoReset;
  bool FInitialized = false;
  int FZLibResult = Z_OK;
};

// Stages of the progress events a load sends.
enum class TPNGProgressStage { psStarting, psRunning, psEnding };

// What the picture is told before the rows arrive.
struct TPNGTargetFormat {
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  int BitsPerPixel = 0;              // 1, 4, 8, 24 or 32
  bool HasPalette = false;           // the PLTE palette or the grey ramp
  TPaletteColors Palette;
  TColor BackgroundColor = 0xFFFFFF; // fills the whole picture before the first row
  bool Transparent = false;          // the picture is drawn with a transparent colour
  TColor TransparentColor = PNGNoColor;
};

// The picture a decoder writes to: a bitmap of the framework, or plain memory in tests.
class TPNGTarget {
public:
  virtual ~TPNGTarget() = default;
  // Makes the picture Width x Height in the given format, selects the palette, fills it with
  // the background colour and sets its transparency.
  virtual void SetFormat(const TPNGTargetFormat& format) = 0;
  // Scan line `row` (0 = top) in the picture's format: at least (width x bits + 7) / 8 bytes,
  // valid until the next call. Pixels the decoder does not write keep their value.
  virtual std::uint8_t* ScanLine(std::uint32_t row) = 0;
  // The framework's progress event; `rect` is a strip one pixel high across the image.
  virtual void Progress(TPNGProgressStage stage, int percent, bool redraw, const TRect& rect,
                        const std::string& message) {}
};

// Image properties record, filled from IHDR and gAMA before the image is decoded.
using TPNGImageOptions = Byte;
constexpr TPNGImageOptions ioHeaderRead = 1;
constexpr TPNGImageOptions ioUseGamma = 2;
constexpr Byte ctNone = 0;       // compression unknown
constexpr Byte ctDeflate = 2;    // compression deflate (IHDR method 0)

struct TPNGImageProperties {
  TPNGImageOptions Options = 0;
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  TColorScheme ColorScheme = TColorScheme::None;
  Byte BitsPerSample = 0;
  Byte SamplesPerPixel = 0;
  Byte BitsPerPixel = 0;
  Byte Compression = ctNone;
  float FileGamma = 1.0f;
  bool Interlaced = false;
  bool HasAlpha = false;
  Byte FilterMode = 0;
};

class TPNGDecoder {
public:
  // Default bound on the decoded picture (scan lines of the target format times the height).
  static constexpr std::uint64_t DefaultMaxImageBytes = 512ull << 20;

  TPNGDecoder() = default;
  TPNGDecoder(const TPNGDecoder&) = delete;
  TPNGDecoder& operator=(const TPNGDecoder&) = delete;

  // Decodes the PNG that starts at data[0] into `target`. Raises on every failure (see the
  // file comment); the target keeps what was decoded before it. Position() tells afterwards
  // where reading stopped.
  void Decode(std::span<const std::uint8_t> data, TPNGTarget& target);

  std::size_t Position() const { return FPosition; }
  const TPNGImageProperties& GetImageProperties() const { return FImageProperties; }
  TColorManager& GetColorManager() { return FColorManager; }
  TColor GetBackgroundColor() const { return FBackgroundColor; }
  TColor GetTransparentColor() const { return FTransparentColor; }
  // 256 entries after a tRNS chunk of an indexed image, else empty.
  const std::vector<Byte>& GetTransparency() const { return FTransparency; }
  // The PLTE palette or the grey ramp of the last load (none for RGB images).
  bool GetHasPalette() const { return FHasPalette; }
  const TPaletteColors& GetPalette() const { return FPalette; }
  std::uint64_t GetMaxImageBytes() const { return FMaxImageBytes; }
  void SetMaxImageBytes(std::uint64_t value) { FMaxImageBytes = value; }

  // Reverses a row's filter in place; `previous` is the unfiltered row above (zeros for the
  // first row of an image or pass); `distance` is the filter distance in bytes (>= 1). An
  // unknown filter type leaves the row as it is.
  static void UnfilterRow(Byte filterType, std::uint8_t* row, std::size_t length,
                          std::size_t distance, const std::uint8_t* previous);
  static Byte PaethPredict(Byte a, Byte b, Byte c);

private:
  struct TChunkHeader {
    std::uint32_t Length = 0;
    std::uint8_t Type[4] = {};
    std::uint32_t CRC = 0;
  };

  void ReadSignatureAndHeader();
  void CheckImageSize() const;
  void ReadChunkHeader();
  void ReadChunkData();
  void SkipChunkData();
  void LoadChunks();
  void Finish(bool raise);
  bool IsChunk(const char* type) const;
  void ReadPalette();
  void ReadGamma();
  void ReadBackground();
  void ReadTransparency();
  unsigned SetupColorManager();
  void ReadImageData();
  void DecodeRows(std::uint64_t rowBytes);
  void DecodeInterlacedRows(std::uint64_t m);
  bool InflateData(std::uint8_t* buffer, std::uint32_t size);
  Byte GreyLevel(unsigned sample) const;
  TColor RGBSampleColor(const std::uint8_t* d) const;
  void ReadBytes(void* buffer, std::size_t count);
  std::uint32_t ReadBE32();

  std::span<const std::uint8_t> FData;
  std::size_t FPosition = 0;
  TPNGTarget* FTarget = nullptr;
  TColorManager FColorManager;
  TRect FProgressRect;
  TPNGImageProperties FImageProperties;
  Byte FColorType = 0;
  Byte FInterlaceMethod = 0;
  std::unique_ptr<TLZ77Decoder> FDecoder;
  std::uint32_t FIDATSize = 0;
  const std::uint8_t* FChunkData = nullptr;   // data of the chunk last read, inside FData
  const std::uint8_t* FCurrentSource = nullptr;
  TChunkHeader FHeader;
  unsigned FSourceBPP = 0;
  bool FFormatSet = false;
  bool FImageDataRead = false;
  bool FHasPalette = false;
  TPaletteColors FPalette;
  std::vector<Byte> FTransparency;
  TColor FTransparentColor = PNGNoColor;
  TColor FBackgroundColor = 0xFFFFFF;
  std::vector<std::uint8_t> FRowBuffers[2];
  std::uint64_t FMaxImageBytes = DefaultMaxImageBytes;
};

// The clean-up passes over 32-bit pixels that the skin loader chooses between after a PNG
// (buffers of another depth are left as they are): every fully transparent white pixel
// (0x00FFFFFF) becomes 0; every pixel's red, green and blue become channel x alpha / 255.
void ClearTransparentWhitePixels(const TlxPixelBuffer& v);
void PremultiplyAlphaPixels(const TlxPixelBuffer& v);
