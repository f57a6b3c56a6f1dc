// Builds instrument packets byte by byte for the link's tests, fuzz seeds and benchmarks. Kept
// apart from the parser's own code, so that a misreading of the format shows up as a mismatch
// instead of being shared by both sides.
#pragma once

#include <cstdint>
#include <vector>

namespace orbex_test {

using Bytes = std::vector<std::uint8_t>;

inline void PutHeader(Bytes& p, char type, unsigned length, std::uint8_t b4, std::uint8_t b5,
                      std::uint8_t b7, std::uint8_t b8, std::uint8_t b9) {
  p.push_back('B');
  p.push_back(static_cast<std::uint8_t>(type));
  p.push_back(static_cast<std::uint8_t>(length & 0xFF));
  p.push_back(static_cast<std::uint8_t>((length >> 8) & 0xFF));
  p.push_back(b4);
  p.push_back(b5);
  p.push_back(0);   // unused
  p.push_back(b7);
  p.push_back(b8);
  p.push_back(b9);
}

// Status byte 4 from run mode and timebase; byte 5 from the flags and the volts index.
inline std::uint8_t Status4(unsigned runMode, unsigned timebase) {
  return static_cast<std::uint8_t>((runMode << 6) | (timebase & 0x3F));
}
inline std::uint8_t Status5(bool hold, bool memory, bool dc, bool x10, unsigned volts) {
  return static_cast<std::uint8_t>((hold ? 0x80 : 0) | (memory ? 0x40 : 0) | (dc ? 0x20 : 0) |
                                   (x10 ? 0x10 : 0) | (volts & 0x0F));
}

inline Bytes Frame(std::uint8_t b4, std::uint8_t b5, const Bytes& samples) {
  Bytes p;
  PutHeader(p, 'A', 266, b4, b5, 0, 0, 0);
  for (int i = 0; i < 256; ++i)
    p.push_back(i < static_cast<int>(samples.size()) ? samples[static_cast<size_t>(i)] : 0);
  return p;
}

// Samples i -> f(i) for a whole frame.
template <class F>
Bytes FrameOf(std::uint8_t b4, std::uint8_t b5, F f) {
  Bytes s;
  for (int i = 0; i < 256; ++i) s.push_back(static_cast<std::uint8_t>(f(i)));
  return Frame(b4, b5, s);
}

inline Bytes Range(std::uint8_t b4, std::uint8_t b5, std::uint8_t start, std::uint8_t end,
                   const Bytes& values) {
  Bytes p;
  const unsigned n = end >= start ? static_cast<unsigned>(end - start) : 0;
  PutHeader(p, 'R', 10 + n, b4, b5, start, end, 0);
  for (unsigned i = 0; i < n; ++i) p.push_back(i < values.size() ? values[i] : 0);
  return p;
}

inline Bytes Single(std::uint8_t b4, std::uint8_t b5, std::uint32_t position, std::uint8_t value) {
  Bytes p;
  PutHeader(p, 'S', 11, b4, b5, static_cast<std::uint8_t>(position & 0xFF),
            static_cast<std::uint8_t>((position >> 8) & 0xFF),
            static_cast<std::uint8_t>((position >> 16) & 0xFF));
  p.push_back(value);
  return p;
}

inline void Add(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

}  // namespace orbex_test
