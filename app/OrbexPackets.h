// The instrument's packet stream and the state it drives. TOrbexScopeState holds what the
// packets carry (the seven status fields and the 256-column sample store); the parser finds
// packets in a TOrbexBuffer, checks their headers, applies them to a state and consumes them.
// The link (TOrbexScope) owns one state and hands its receive buffer to ParseBuffer; keeping
// both window-free lets the parser run under the sanitizers and the fuzzer.
//
// Packet: "B", type ("A" frame, "R" range, "S" roll sample), 16-bit little-endian length,
// status bytes 4 and 5, an unused byte 6, bytes 7-9 by type, then the sample bytes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "app/Constants.h"

class TOrbexBuffer;

inline constexpr int OrbexSampleCount = 256;
inline constexpr std::uint8_t NoSample = 0xFF;   // a column without a sample
inline constexpr std::int32_t PacketHeaderSize = 10;
inline constexpr std::int32_t FramePacketSize = 266;    // "A"
inline constexpr std::int32_t SinglePacketSize = 11;    // "S"

// Seconds per division of the rolling timebases, by timebase index; 0 where the instrument
// sends no roll samples (indexes 0-21).
extern const std::array<double, TimebaseCount> RollDivisors;

class TOrbexScopeState {
public:
  using TSamplesEvent = std::function<void(int first, int last)>;

  TOrbexScopeState() { ClearSamples(); }

  std::uint8_t GetTimebase() const { return FTimebase; }
  std::uint8_t GetVoltsIndex() const { return FVoltsIndex; }
  std::uint8_t GetRunMode() const { return FRunMode; }
  bool GetHold() const { return FHold; }
  bool GetMemory() const { return FMemory; }
  bool GetProbeX10() const { return FProbeX10; }
  bool GetCouplingDC() const { return FCouplingDC; }
  const std::array<std::uint8_t, OrbexSampleCount>& GetSamples() const { return FSamples; }

  void ClearSamples() { FSamples.fill(NoSample); }
  // A changed timebase invalidates every stored column; an equal one changes nothing.
  void SetTimebase(std::uint8_t index);
  // Status byte 4 (run mode, timebase) and byte 5 (hold, memory, coupling, probe, volts).
  void ApplyStatus(std::uint8_t b4, std::uint8_t b5);
  void SetSample(int index, std::uint8_t value) { FSamples[static_cast<std::size_t>(index)] = value; }
  // Marks column 0 empty (what closing the port leaves behind).
  void ClearFirstSample() { FSamples[0] = NoSample; }

  // Fired once per decoded packet with the indexes it covered.
  TSamplesEvent OnSamples;
  void DoSamples(int first, int last) {
    if (OnSamples) OnSamples(first, last);
  }

private:
  std::uint8_t FTimebase = 22;
  std::uint8_t FVoltsIndex = 4;
  std::uint8_t FRunMode = 0;
  bool FHold = false;
  bool FMemory = false;
  bool FProbeX10 = false;
  bool FCouplingDC = false;
  std::array<std::uint8_t, OrbexSampleCount> FSamples{};
};

// Header check of the bytes at a packet start; `head` must hold at least 10 bytes (false if
// not).
bool IsValidHeader(std::span<const std::uint8_t> head);
// Drops bytes from the head of the buffer until it starts with "B" and a valid header; false
// when fewer than 10 unread bytes remain (they stay for the next call).
bool FindPacketStart(TOrbexBuffer& buffer);
// Length of the packet whose valid header is at the head of the buffer.
std::int32_t PacketLength(const TOrbexBuffer& buffer);
// Column of an "S" sample: position / RollDivisors[timebase], rounded to the nearest integer,
// halves to even. False when the timebase has no divisor or the column lies beyond 255.
bool RollColumn(std::uint8_t timebase, std::uint32_t position, int& column);
// Applies the complete packet `packet` (its header already checked) to the state. An "S"
// packet without a column stores nothing, but its status bytes still apply: it fires the
// empty range (0, -1), so that whoever shows the status follows it.
void DecodePacket(TOrbexScopeState& state, std::span<const std::uint8_t> packet);
// Consumes every complete packet in the buffer; an incomplete one stays at the head.
void ParseBuffer(TOrbexScopeState& state, TOrbexBuffer& buffer);
