// TOrbexBuffer: the link's fixed-size receive buffer (see OrbexBuffer.h).
#include "app/OrbexBuffer.h"

#include <cassert>
#include <cstring>

#include "app/OrbexError.h"

ORBEX_IMPLEMENT_CLASS(TOrbexBuffer, TObject, nullptr)

TOrbexBuffer::TOrbexBuffer() : FBlock(new std::uint8_t[Capacity]()) {}

TOrbexBuffer::~TOrbexBuffer() = default;

void TOrbexBuffer::Append(std::span<const std::uint8_t> data) {
  // 64-bit arithmetic: a span may be larger than the 32-bit counts can hold.
  const std::int64_t n = static_cast<std::int64_t>(data.size());
  if (Capacity - static_cast<std::int64_t>(FReadPos) - FCount < n) {
    // Unread bytes may overlap their destination: memmove copies as an ascending copy would.
    std::memmove(FBlock.get(), FBlock.get() + FReadPos, static_cast<std::size_t>(FCount));
    FReadPos = 0;
  }
  if (static_cast<std::int64_t>(FReadPos) + FCount + n > Capacity)
    throw EOrbexError("Buffer overflowed. OOps");
  if (n > 0)
    std::memcpy(FBlock.get() + FReadPos + FCount, data.data(), static_cast<std::size_t>(n));
  FCount += static_cast<std::int32_t>(n);
}

void TOrbexBuffer::Append(const std::uint8_t* data, std::int32_t n) {
  assert(n >= 0 && "negative byte count");
  if (n <= 0) return;
  Append(std::span<const std::uint8_t>(data, static_cast<std::size_t>(n)));
}

void TOrbexBuffer::Advance(std::int32_t n) {
  assert(n >= 0 && n <= FCount && "advance past the unread bytes");
  if (n < 0) n = 0;
  if (n > FCount) n = FCount;
  FReadPos += n;
  FCount -= n;
}

std::uint8_t TOrbexBuffer::PeekByte(std::int32_t i) const {
  assert(i >= 0 && i < FCount && "peek past the unread bytes");
  if (i < 0 || i >= FCount) return 0;
  return FBlock[static_cast<std::size_t>(FReadPos + i)];
}
