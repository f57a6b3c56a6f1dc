// Fuzz target of the link's receive path: the input is cut into the chunks a reader would
// append (sizes taken from the input itself, up to a full 1024-byte read), each chunk is
// appended to a receive buffer and parsed, and the results are checked:
//  - reads of at most 1024 bytes never overflow the buffer: after parsing at most one partial
//    packet (under 266 bytes) is left, so any exception is a finding;
//  - OnSamples reports columns within 0..255, last >= first - 1 (the empty range packet);
//  - a column changes only inside a reported range, or is cleared (by a timebase change).
//
// Input: repeated [c][chunk], chunk length c + 1 for c < 128, else (c - 127) * 8.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/OrbexBuffer.h"
#include "app/OrbexPackets.h"

namespace {
[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_packets: %s\n", what);
  std::abort();
}

struct Checker {
  TOrbexScopeState State;
  std::array<std::uint8_t, OrbexSampleCount> Before{};

  Checker() {
    Snapshot();
    State.OnSamples = [this](int first, int last) { Check(first, last); };
  }
  void Snapshot() { Before = State.GetSamples(); }
  // Outside [first, last] a column may only have been cleared (a packet with a new timebase,
  // possibly an "S" packet that stored nothing and fired the empty range).
  void CheckOutside(int first, int last) {
    const auto& now = State.GetSamples();
    for (int i = 0; i < OrbexSampleCount; ++i) {
      if (i >= first && i <= last) continue;
      const size_t k = static_cast<size_t>(i);
      if (now[k] != Before[k] && now[k] != NoSample) Fail("column changed outside the event");
    }
  }
  void Check(int first, int last) {
    if (first < 0 || first > 255 || last > 255 || last < first - 1) Fail("event range");
    CheckOutside(first, last);
    Snapshot();
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Checker c;
  TOrbexBuffer buffer;
  std::size_t at = 0;
  while (at < size) {
    const unsigned code = data[at++];
    std::size_t n = code < 128 ? code + 1 : (code - 127) * 8;
    if (n > size - at) n = size - at;
    try {
      buffer.Append(data + at, static_cast<std::int32_t>(n));
      ParseBuffer(c.State, buffer);
    } catch (...) {
      Fail("exception while appending and parsing");
    }
    at += n;
    // Packets that fired nothing may only have cleared columns.
    c.CheckOutside(0, -1);
    c.Snapshot();
    if (buffer.GetCount() >= FramePacketSize) Fail("a complete packet was left unparsed");
    if (buffer.GetCount() >= PacketHeaderSize &&
        !(buffer.PeekByte(0) == 'B' && IsValidHeader(buffer.Unread())))
      Fail("head is not a packet start");
  }
  return 0;
}
