// Inflate stream wrappers: a read-only, forward-only stream that inflates zlib data (RFC 1950)
// taken from another stream, and the zlib initialisation and result check that the PNG reader
// shares. Owns the zlib inflate state and its 64 KiB input buffer; borrows the source stream.
// Window-free.
#pragma once

#include <cstdint>
#include <memory>

#include <zlib.h>

#include "framework/base/Classes.h"
#include "framework/base/SysUtils.h"

// A zlib failure: carries zlib's result code; the message is zlib's own text for that code.
class EZLibError : public Exception {
public:
  explicit EZLibError(int code);
  EZLibError(int code, std::string msg) : Exception(std::move(msg)), FErrorCode(code) {}
  int ErrorCode() const { return FErrorCode; }
  const char* ClassName() const override { return "EZLibError"; }

private:
  int FErrorCode = 0;
};

// The class the inflate wrappers actually raise.
class EZDecompressionError : public EZLibError {
public:
  using EZLibError::EZLibError;
  const char* ClassName() const override { return "EZDecompressionError"; }
};

// zlib's inflate initialisation. The record size is the size of this build's z_stream (it is
// 56 only for 32-bit builds), so that the native build gets a working inflater too.
int ZInflateInit(z_stream& stream);
// Returns a non-negative zlib result unchanged; raises EZDecompressionError for a negative one.
int ZCheckInflate(int code);

// Base of the zlib stream wrappers: the borrowed source, where this stream last left it, and
// the inflate state with its input buffer.
class TCustomZStream : public TStream {
  ORBEX_CLASS(TCustomZStream, TStream)
public:
  static constexpr std::int64_t InputBufferSize = 65536;

  // Keeps `source` (not owned; it must outlive this stream) and its current position.
  explicit TCustomZStream(TStream* source);

  // Fired after every block of input taken from the source.
  TNotifyEvent OnProgress;

protected:
  void NotifyProgress();

  TStream* FStream;             // the source, borrowed
  std::int64_t FStreamPos = 0;  // where this stream last left the source
  z_stream FZStream{};
  std::unique_ptr<std::uint8_t[]> FBuffer;
};

// Read-only, forward-only decompressor. Reads stop at the end of the zlib stream and leave the
// source exactly behind it, so that data following the stream can be read next.
class TZDecompressionStream : public TCustomZStream {
  ORBEX_CLASS(TZDecompressionStream, TCustomZStream)
public:
  // Raises EZDecompressionError when zlib cannot be initialised.
  explicit TZDecompressionStream(TStream* source);
  ~TZDecompressionStream() override;

  // Inflates up to count bytes into buffer; fewer when the zlib stream or the source ends.
  // A damaged stream raises EZDecompressionError with zlib's text.
  std::int64_t Read(void* buffer, std::int64_t count) override;
  // Always raises EZDecompressionError "Invalid ZStream operation!".
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  // Allowed: 0 from the beginning (restart), forward seeks, 0 from the end (skip to the end);
  // anything else raises "Invalid ZStream operation!". Returns the bytes produced so far.
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

  // True once the zlib stream's end (with its check value) has been inflated.
  bool StreamEnded() const { return FLastResult == Z_STREAM_END; }

private:
  void SkipOutput(std::int64_t count, bool toEnd);
  int FLastResult = Z_OK;
};
