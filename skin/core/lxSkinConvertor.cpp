// Packed skin reader: see lxSkinConvertor.h.
#include "skin/core/lxSkinConvertor.h"

#include <algorithm>

#include "framework/base/SysUtils.h"
#include "skin/paint/lxZLib.h"

ORBEX_IMPLEMENT_CLASS(TlxSkinConvertor, TPersistent, nullptr)

namespace {

const char* const SNotPackedSkin = "Loaded data is not a packed Tessel file";
constexpr std::int64_t CopyPieceSize = 65536;
// Name length, unpacked size and the shortest zlib stream (header, empty block, check value).
constexpr std::int64_t MinEntrySize = 4 + 4 + 8;

[[noreturn]] void Damaged(const std::string& what) {
  throw Exception("Packed skin is damaged: " + what);
}

std::int64_t Remaining(TStream& s) { return s.Size() - s.Position(); }

// Reads one little-endian signed 32-bit integer byte by byte; false when the data ends.
bool ReadInt32(TStream& s, std::int32_t& out) {
  std::uint8_t b[4];
  if (s.Read(b, 4) != 4) return false;
  out = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) |
                                  (static_cast<std::uint32_t>(b[1]) << 8) |
                                  (static_cast<std::uint32_t>(b[2]) << 16) |
                                  (static_cast<std::uint32_t>(b[3]) << 24));
  return true;
}

// Inflates the zlib stream at the source's position into dest, which must come out exactly
// `size` bytes long; leaves the source right behind the stream.
void UnpackEntry(TStream& source, const std::string& name, std::int64_t size,
                 TMemoryStream& dest) {
  TZDecompressionStream z(&source);
  std::vector<std::uint8_t> piece(static_cast<size_t>(std::min(size, CopyPieceSize)) + 1);
  std::int64_t done = 0;
  while (done < size) {
    const std::int64_t want = std::min(size - done, CopyPieceSize);
    const std::int64_t got = z.Read(piece.data(), want);
    if (got <= 0)
      Damaged(Format("entry \"%s\" ends after %lld of its %lld bytes", name.c_str(),
                     static_cast<long long>(done), static_cast<long long>(size)));
    dest.WriteBuffer(piece.data(), got);
    done += got;
  }
  // A stream longer than its stated size would leave every later entry parsed from the
  // middle of this one.
  if (z.Read(piece.data(), 1) != 0)
    Damaged(Format("entry \"%s\" holds more than its %lld bytes", name.c_str(),
                   static_cast<long long>(size)));
  if (!z.StreamEnded())
    Damaged(Format("entry \"%s\" is cut short", name.c_str()));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
TlxSkinConvertor::~TlxSkinConvertor() { Clear(); }

void TlxSkinConvertor::Clear() {
  FImageData.clear();
  FImageCount = 0;
  FOptions.reset();
  FreeSourceStream();
}

void TlxSkinConvertor::SetSourceStream(TStream* source, bool owned) {
  if (source == FSourceStream && source != nullptr) {
    FOwnsSource = owned;
    return;
  }
  FreeSourceStream();
  FSourceStream = source;
  FOwnsSource = owned && source != nullptr;
}

void TlxSkinConvertor::FreeSourceStream() {
  if (FOwnsSource) delete FSourceStream;
  FSourceStream = nullptr;
  FOwnsSource = false;
}

void TlxSkinConvertor::Extract() {
  FImageData.clear();
  FImageCount = 0;
  FOptions.reset();
  if (FSourceStream == nullptr) throw Exception(SNotPackedSkin);
  TStream& src = *FSourceStream;
  src.Seek(0, soBeginning);
  char magic[4] = {};
  if (src.Read(magic, 4) != 4 || magic[0] != 'T' || magic[1] != 'E' || magic[2] != 'z' ||
      magic[3] != 'f')
    throw Exception(SNotPackedSkin);

  std::int32_t count = 0;
  if (!ReadInt32(src, count)) Damaged("the entry count is missing");
  if (count < 0 || count > Remaining(src) / MinEntrySize)
    Damaged(Format("entry count %d does not fit the data", count));

  std::int64_t total = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t nameLength = 0;
    if (!ReadInt32(src, nameLength)) Damaged(Format("entry %d is missing", i + 1));
    if (nameLength < 0 || nameLength > Remaining(src) - (MinEntrySize - 4))
      Damaged(Format("name length %d of entry %d does not fit the data", nameLength, i + 1));
    std::string name(static_cast<size_t>(nameLength), '\0');
    if (nameLength > 0 && src.Read(name.data(), nameLength) != nameLength)
      Damaged(Format("name of entry %d is cut short", i + 1));

    std::int32_t size = 0;
    if (!ReadInt32(src, size)) Damaged(Format("size of entry \"%s\" is missing", name.c_str()));
    const std::int64_t left = Remaining(src);
    if (size < 0 || size > left * MaxInflateRatio || total + size > MaxUnpackedTotal)
      Damaged(Format("unpacked size %d of entry \"%s\" does not fit the data", size,
                     name.c_str()));
    total += size;

    auto data = std::make_unique<TMemoryStream>();
    UnpackEntry(src, name, size, *data);
    data->Seek(0, soBeginning);
    if (SameText(name, "Options.dat")) {
      FOptions = std::move(data);
    } else {
      TlxImageItem item;
      item.FileName = name;
      item.IsBitmap = UpperCase(ExtractFileExt(name)) == ".BMP" ? 1 : 0;
      item.Data = std::move(data);
      FImageData.push_back(std::move(item));
    }
  }
  if (!FOptions) Damaged("it holds no Options.dat");
  // The items actually read, so that a second options entry cannot make the count overshoot.
  FImageCount = static_cast<int>(FImageData.size());
}

// ---------------------------------------------------------------------------------------------
void ExtractPackedSkin(std::unique_ptr<TlxSkinConvertor>& convertor) {
  if (!convertor) throw Exception(SNotPackedSkin);
  try {
    convertor->Extract();
  } catch (...) {
    convertor->Clear();
    convertor.reset();
    throw;
  }
}

void LoadPackedSkinFile(const std::string& fileName, std::unique_ptr<TlxSkinConvertor>& convertor,
                        bool freeSource) {
  if (!FileExists(fileName)) return;
  if (convertor) convertor->Clear();
  else convertor = std::make_unique<TlxSkinConvertor>();
  auto source = std::make_unique<TMemoryStream>();
  source->LoadFromFile(fileName);
  convertor->SetSourceStream(source.release(), true);
  ExtractPackedSkin(convertor);
  if (freeSource) convertor->FreeSourceStream();
}

void ExtractPackedSkinFrom(TStream& data, std::unique_ptr<TlxSkinConvertor>& convertor) {
  if (convertor) convertor->Clear();
  else convertor = std::make_unique<TlxSkinConvertor>();
  convertor->SetSourceStream(&data, false);
  ExtractPackedSkin(convertor);   // a failure frees the convertor, never the lent data
  convertor->SetSourceStream(nullptr, false);
}
