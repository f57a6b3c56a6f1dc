// Packed skin reader: unpacks a ".tez" file, or a stored skin's data block, into the skin's
// options text ("Options.dat") and its image files, each held in a memory stream. Layout
// (integers signed 32-bit little-endian): "TEzf", entry count, then per entry the name
// length, the name, the unpacked size and a zlib stream whose end marks the next entry.
// `TlxSkinConvertor` owns the unpacked streams and, unless it was lent, the packed source.
// Window-free.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Classes.h"

// One unpacked image file of a packed skin.
struct TlxImageItem {
  std::string FileName;            // as stored
  std::uint8_t IsBitmap = 0;       // 1 when the extension, upper-cased, is ".BMP"
  std::unique_ptr<TMemoryStream> Data;
};
using TlxImageItems = std::vector<TlxImageItem>;

class TlxSkinConvertor : public TPersistent {
  ORBEX_CLASS(TlxSkinConvertor, TPersistent)
public:
  // Most a packed skin may unpack to in total; a skin is a few MiB at most.
  static constexpr std::int64_t MaxUnpackedTotal = 256LL * 1024 * 1024;
  // zlib inflates at most about 1032 bytes out of one byte in: an unpacked size above that
  // ratio to the bytes left cannot be true.
  static constexpr std::int64_t MaxInflateRatio = 1032;

  TlxSkinConvertor() = default;
  ~TlxSkinConvertor() override;

  // Frees the unpacked streams and an owned source; a lent source is only let go.
  void Clear();

  int ImageCount() const { return FImageCount; }
  TlxImageItems& ImageData() { return FImageData; }
  const TlxImageItems& ImageData() const { return FImageData; }
  // The unpacked "Options.dat", or null.
  TMemoryStream* Options() const { return FOptions.get(); }

  TStream* SourceStream() const { return FSourceStream; }
  // Takes `source` to read from; owned: freed by Clear, else only lent and never freed.
  void SetSourceStream(TStream* source, bool owned);
  // Frees an owned source now (or lets a lent one go).
  void FreeSourceStream();

private:
  friend void ExtractPackedSkin(std::unique_ptr<TlxSkinConvertor>& convertor);
  void Extract();

  int FImageCount = 0;
  TlxImageItems FImageData;
  std::unique_ptr<TMemoryStream> FOptions;
  TStream* FSourceStream = nullptr;
  bool FOwnsSource = false;
};

// Reads the packed file into a new convertor (or clears the given one) and unpacks it; does
// nothing when the file does not exist. With freeSource the packed bytes are freed afterwards.
// Raises as ExtractPackedSkin.
void LoadPackedSkinFile(const std::string& fileName, std::unique_ptr<TlxSkinConvertor>& convertor,
                        bool freeSource);

// Unpacks the convertor's source stream from its start. Raises Exception "Loaded data is not a
// packed Tessel file" for a wrong magic, Exception naming the entry for counts, lengths or
// sizes that the data cannot hold, for a stream shorter or longer than its stated size and for
// a skin without "Options.dat", and EZDecompressionError for damaged zlib data. On every
// failure the convertor is cleared and freed (`convertor` becomes empty); a lent source
// survives.
void ExtractPackedSkin(std::unique_ptr<TlxSkinConvertor>& convertor);

// Unpacks a block that stays its owner's (a stored skin's data): lends it to the convertor
// (made when empty) and takes it back on every path. Raises as ExtractPackedSkin.
void ExtractPackedSkinFrom(TStream& data, std::unique_ptr<TlxSkinConvertor>& convertor);
