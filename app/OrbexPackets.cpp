// The packet parser and the scope state it drives (see OrbexPackets.h).
#include "app/OrbexPackets.h"

#include <cassert>
#include <cmath>

#include "app/OrbexBuffer.h"

const std::array<double, TimebaseCount> RollDivisors = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0,  0,  0,   0,   0,   0,
    0, 0, 0, 0, 0, 1, 2, 5, 10, 20, 30, 60, 120, 300, 900, 1800, 3600};

namespace {
constexpr std::uint8_t StartByte = 'B';
constexpr std::uint8_t TypeFrame = 'A';
constexpr std::uint8_t TypeRange = 'R';
constexpr std::uint8_t TypeSingle = 'S';

std::uint32_t LengthField(std::span<const std::uint8_t> head) {
  return static_cast<std::uint32_t>(head[2]) | (static_cast<std::uint32_t>(head[3]) << 8);
}
}  // namespace

void TOrbexScopeState::SetTimebase(std::uint8_t index) {
  if (index == FTimebase) return;
  FTimebase = index;
  ClearSamples();
}

void TOrbexScopeState::ApplyStatus(std::uint8_t b4, std::uint8_t b5) {
  FRunMode = static_cast<std::uint8_t>(b4 >> 6);
  SetTimebase(static_cast<std::uint8_t>(b4 & 0x3F));
  FVoltsIndex = static_cast<std::uint8_t>(b5 & 0x0F);
  FHold = (b5 & 0x80) != 0;
  FMemory = (b5 & 0x40) != 0;
  FCouplingDC = (b5 & 0x20) != 0;
  FProbeX10 = (b5 & 0x10) != 0;
}

bool IsValidHeader(std::span<const std::uint8_t> head) {
  if (head.size() < static_cast<std::size_t>(PacketHeaderSize)) return false;
  switch (head[1]) {
    case TypeFrame:
      return LengthField(head) == FramePacketSize && head[7] == 0 && head[9] == 0;
    case TypeRange:
      return head[7] <= head[8] && head[9] == 0;
    case TypeSingle:
      return LengthField(head) == SinglePacketSize;
    default:
      return false;
  }
}

bool FindPacketStart(TOrbexBuffer& buffer) {
  while (buffer.GetCount() >= PacketHeaderSize) {
    std::span<const std::uint8_t> head = buffer.Unread();
    if (head[0] == StartByte && IsValidHeader(head)) return true;
    buffer.Advance(1);
  }
  return false;
}

std::int32_t PacketLength(const TOrbexBuffer& buffer) {
  switch (buffer.PeekByte(1)) {
    case TypeFrame:
      return FramePacketSize;
    case TypeRange:
      return static_cast<std::int32_t>(buffer.PeekByte(8)) - buffer.PeekByte(7) + PacketHeaderSize;
    default:
      return SinglePacketSize;
  }
}

bool RollColumn(std::uint8_t timebase, std::uint32_t position, int& column) {
  if (timebase >= RollDivisors.size()) return false;
  const double divisor = RollDivisors[timebase];
  if (!(divisor > 0)) return false;
  // nearbyint rounds halves to even in the default rounding mode.
  const double c = std::nearbyint(static_cast<double>(position) / divisor);
  if (c < 0 || c >= OrbexSampleCount) return false;
  column = static_cast<int>(c);
  return true;
}

void DecodePacket(TOrbexScopeState& state, std::span<const std::uint8_t> packet) {
  assert(packet.size() >= static_cast<std::size_t>(PacketHeaderSize) && "short packet");
  state.ApplyStatus(packet[4], packet[5]);
  const std::span<const std::uint8_t> samples = packet.subspan(PacketHeaderSize);
  switch (packet[1]) {
    case TypeFrame: {
      if (samples.size() < static_cast<std::size_t>(OrbexSampleCount)) return;
      for (int i = 0; i < OrbexSampleCount; ++i) state.SetSample(i, samples[static_cast<std::size_t>(i)]);
      state.DoSamples(0, OrbexSampleCount - 1);
      break;
    }
    case TypeRange: {
      const int start = packet[7];
      const int end = packet[8];
      if (end < start || samples.size() < static_cast<std::size_t>(end - start)) return;
      for (int i = start; i < end; ++i) state.SetSample(i, samples[static_cast<std::size_t>(i - start)]);
      state.DoSamples(start, end - 1);
      break;
    }
    case TypeSingle: {
      if (samples.empty()) return;
      const std::uint32_t position = static_cast<std::uint32_t>(packet[7]) |
                                     (static_cast<std::uint32_t>(packet[8]) << 8) |
                                     (static_cast<std::uint32_t>(packet[9]) << 16);
      int column = 0;
      if (!RollColumn(state.GetTimebase(), position, column)) {
        state.DoSamples(0, -1);
        return;
      }
      state.SetSample(column, samples[0]);
      state.DoSamples(column, column);
      break;
    }
    default:
      break;
  }
}

void ParseBuffer(TOrbexScopeState& state, TOrbexBuffer& buffer) {
  while (FindPacketStart(buffer)) {
    const std::int32_t length = PacketLength(buffer);
    if (buffer.GetCount() < length) return;
    std::span<const std::uint8_t> packet = buffer.Unread().first(static_cast<std::size_t>(length));
    DecodePacket(state, packet);
    buffer.Advance(length);
  }
}
