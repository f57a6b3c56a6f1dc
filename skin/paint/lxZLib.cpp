// Inflate stream wrappers over zlib: see lxZLib.h.
#include "skin/paint/lxZLib.h"

#include <algorithm>
#include <cstring>

namespace {
const char* const SInvalidZStreamOperation = "Invalid ZStream operation!";
constexpr std::int64_t SkipPieceSize = 8192;
}  // namespace

// Made by the engine only, never by name.
ORBEX_IMPLEMENT_CLASS(TCustomZStream, TStream, nullptr)
ORBEX_IMPLEMENT_CLASS(TZDecompressionStream, TCustomZStream, nullptr)

EZLibError::EZLibError(int code) : Exception(zError(code)), FErrorCode(code) {}

int ZInflateInit(z_stream& stream) {
  return inflateInit_(&stream, "1.2.3", static_cast<int>(sizeof(z_stream)));
}

int ZCheckInflate(int code) {
  if (code < 0) throw EZDecompressionError(code);
  return code;
}

// ---------------------------------------------------------------------------------------------
TCustomZStream::TCustomZStream(TStream* source)
    : FStream(source), FBuffer(new std::uint8_t[InputBufferSize]) {
  FStreamPos = FStream->Position();
}

void TCustomZStream::NotifyProgress() {
  if (OnProgress) OnProgress(this);
}

// ---------------------------------------------------------------------------------------------
TZDecompressionStream::TZDecompressionStream(TStream* source) : TCustomZStream(source) {
  FZStream.next_in = FBuffer.get();
  FZStream.avail_in = 0;
  ZCheckInflate(ZInflateInit(FZStream));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZStream); }

std::int64_t TZDecompressionStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  // zlib counts in 32 bits: hand it at most 1 GiB per call and loop.
  std::int64_t done = 0;
  if (FStream->Position() != FStreamPos) FStream->Seek(FStreamPos, soBeginning);
  while (done < count && FLastResult != Z_STREAM_END) {
    const std::int64_t piece = std::min<std::int64_t>(count - done, 1 << 30);
    FZStream.next_out = static_cast<Bytef*>(buffer) + done;
    FZStream.avail_out = static_cast<uInt>(piece);
    while (FZStream.avail_out > 0 && FLastResult != Z_STREAM_END) {
      if (FZStream.avail_in == 0) {
        const std::int64_t got = FStream->Read(FBuffer.get(), InputBufferSize);
        if (got <= 0) return done + (piece - FZStream.avail_out);   // the source ended early
        FZStream.next_in = FBuffer.get();
        FZStream.avail_in = static_cast<uInt>(got);
        FStreamPos = FStream->Position();
        NotifyProgress();
      }
      int rc = inflate(&FZStream, Z_NO_FLUSH);
      // A stream asking for a preset dictionary would otherwise be asked again and again
      // without progress: the engine never has one, so it is damaged data.
      if (rc == Z_NEED_DICT) rc = Z_DATA_ERROR;
      FLastResult = ZCheckInflate(rc);
    }
    done += piece - FZStream.avail_out;
    if (FZStream.avail_out > 0) break;
  }
  if (FLastResult == Z_STREAM_END && FZStream.avail_in > 0) {
    // Hand the unread input back so that the source stands right behind the zlib stream.
    FStream->Seek(-static_cast<std::int64_t>(FZStream.avail_in), soCurrent);
    FStreamPos = FStream->Position();
    FZStream.avail_in = 0;
  }
  return done;
}

std::int64_t TZDecompressionStream::Write(const void*, std::int64_t) {
  throw EZDecompressionError(Z_STREAM_ERROR, SInvalidZStreamOperation);
}

void TZDecompressionStream::SkipOutput(std::int64_t count, bool toEnd) {
  std::uint8_t piece[SkipPieceSize];
  while (toEnd || count > 0) {
    const std::int64_t want = toEnd ? SkipPieceSize : std::min(count, SkipPieceSize);
    const std::int64_t got = Read(piece, want);
    if (got <= 0) break;
    count -= got;
  }
}

std::int64_t TZDecompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t produced = static_cast<std::int64_t>(FZStream.total_out);
  if (offset == 0 && origin == soBeginning) {
    ZCheckInflate(inflateReset(&FZStream));
    FZStream.next_in = FBuffer.get();
    FZStream.avail_in = 0;
    FLastResult = Z_OK;
    FStream->Seek(0, soBeginning);
    FStreamPos = 0;
  } else if ((origin == soCurrent && offset >= 0) ||
             (origin == soBeginning && offset >= produced)) {
    SkipOutput(origin == soCurrent ? offset : offset - produced, false);
  } else if (offset == 0 && origin == soEnd) {
    SkipOutput(0, true);
  } else {
    throw EZDecompressionError(Z_STREAM_ERROR, SInvalidZStreamOperation);
  }
  return static_cast<std::int64_t>(FZStream.total_out);
}
