// TOrbexBuffer: the link's receive buffer. The reader thread appends each chunk read from the
// port; the packet parser reads from the head and consumes whole packets. Owns its fixed
// 2048-byte block; it never grows and is compacted in place only when the tail is too small.
// Window-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "framework/base/Classes.h"

class TOrbexBuffer : public TObject {
  ORBEX_CLASS(TOrbexBuffer, TObject)
public:
  static constexpr std::int32_t Capacity = 2048;

  TOrbexBuffer();
  ~TOrbexBuffer() override;

  // Appends the bytes behind the unread ones, first moving the unread bytes to the start of
  // the block when the tail is too small. Raises EOrbexError "Buffer overflowed. OOps" when
  // they still do not fit; the unread bytes are then kept as they were.
  void Append(std::span<const std::uint8_t> data);
  void Append(const std::uint8_t* data, std::int32_t n);
  // Consumes n unread bytes (n is clamped to the unread count: a caller's mistake must not
  // break the block's invariant).
  void Advance(std::int32_t n);

  // Address of the first unread byte.
  const std::uint8_t* HeadPtr() const { return FBlock.get() + FReadPos; }
  // The unread bytes as a span.
  std::span<const std::uint8_t> Unread() const {
    return {HeadPtr(), static_cast<std::size_t>(FCount)};
  }
  // The unread byte at offset i from the head; i must lie below GetCount().
  std::uint8_t PeekByte(std::int32_t i) const;
  std::int32_t GetCount() const { return FCount; }
  std::int32_t GetReadPos() const { return FReadPos; }

private:
  std::int32_t FReadPos = 0;   // index of the first unread byte
  std::int32_t FCount = 0;     // number of unread bytes; FReadPos + FCount <= Capacity
  std::unique_ptr<std::uint8_t[]> FBlock;
};
