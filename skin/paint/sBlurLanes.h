// The folded 8-bit blur's row-level steps for either vector width of sLaneOps.h (the 128-bit
// steps in sBlur.cpp, the 256-bit ones in sPaintAvx2.cpp). Each step runs over a whole line: the
// row pass from the widened line (tap t of output x at line[x + t]) into a slot of the ring of
// 16-bit rows, the column pass from the ring into a row of the mask. Lines and slots are padded
// to whole steps of Block outputs, so a step never reads or writes past them. Each pass comes in
// one version per radius up to UnrolledRadius, whose loops over the taps the compiler unrolls
// (that halves their time), and one for any radius at index 0. Window-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "skin/paint/sLaneOps.h"

constexpr int UnrolledRadius = 16;  // glows of sigma up to 5.5
constexpr int RingBlock = 16;       // columns of a block of the ring

// A slot of the ring of 16-bit rows, kept in blocks of RingBlock columns: the slot's block j at
// Base + j * Stride, its second copy Copy further on.
struct TlxBlockRing {
  std::int16_t* Base;
  std::size_t Stride;
  std::size_t Copy;
};
using TlxWidenStep = void (*)(const std::uint8_t* from, int n, std::int16_t* to);
using TlxRowsStep = void (*)(int r, const std::int32_t* lanes, const std::int16_t* line, int w, TlxBlockRing out);
using TlxColumnsStep = void (*)(int r, const std::int32_t* lanes, TlxBlockRing in, int w, std::uint8_t* out);
struct TlxFoldedLanes {
  int Block;
  // to[0 .. n) = from[0 .. n), widened.
  TlxWidenStep Widen;
  // The row pass, into 16-bit samples (whole steps: up to w rounded up to Block).
  TlxRowsStep Rows[UnrolledRadius + 1];
  // The column pass, into out[0 .. w).
  TlxColumnsStep Columns[UnrolledRadius + 1];
};

namespace {

// Lanes16 outputs from x on, as 16-bit lanes in order (sums >> 16: the weights are positive and
// sum to 65536, so each is a byte), tap t of output x at tap(t)[x]: the samples at equal
// distance from the centre are added first, then terms t and t + 1 take one multiply-add with
// their weight pair (lanes + 4 t, the pair eight times over).
template <class O, class Tap>
inline typename O::V FoldedSums(int r, const std::int32_t* lanes, Tap tap, int x) {
  using V = typename O::V;
  V lo = O::Zero(), hi = O::Zero();
  for (int t = 0; t <= r; t += 2) {
    V a = O::Load(tap(t) + x), b = O::Zero();
    if (t < r) a = O::Add16(a, O::Load(tap(2 * r - t) + x));
    if (t + 1 <= r) b = O::Load(tap(t + 1) + x);
    if (t + 1 < r) b = O::Add16(b, O::Load(tap(2 * r - t - 1) + x));
    const V w = O::Load(lanes + 4 * t);
    lo = O::Add32(lo, O::Madd16(O::UnpackLo16(a, b), w));
    hi = O::Add32(hi, O::Madd16(O::UnpackHi16(a, b), w));
  }
  return O::Packs32(O::template Srai32<16>(lo), O::template Srai32<16>(hi));
}

template <class O>
void WidenLine(const std::uint8_t* from, int n, std::int16_t* to) {
  int x = 0;
  for (; x + O::Lanes16 <= n; x += O::Lanes16) O::Store(to + x, O::WidenBytes(from + x));
  for (; x < n; ++x) to[x] = from[x];
}

// R the radius, or 0 for the radius r.
template <class O, int R>
struct TlxFoldedRows {
  static void Run(int r, const std::int32_t* lanes, const std::int16_t* line, int w, TlxBlockRing out) {
    if (R > 0) r = R;
    for (int x = 0; x < w; x += O::Lanes16) {
      const typename O::V v = FoldedSums<O>(r, lanes, [line](int t) { return line + t; }, x);
      std::int16_t* to = out.Base + static_cast<std::size_t>(x / RingBlock) * out.Stride + x % RingBlock;
      O::Store(to, v);
      O::Store(to + out.Copy, v);
    }
  }
};

template <class O, int R>
struct TlxFoldedColumns {
  static void Run(int r, const std::int32_t* lanes, TlxBlockRing in, int w, std::uint8_t* out) {
    if (R > 0) r = R;
    // The outputs from x on read their block's slots one after the other.
    auto sums = [&](int x) {
      const std::int16_t* block = in.Base + static_cast<std::size_t>(x / RingBlock) * in.Stride + x % RingBlock;
      return FoldedSums<O>(r, lanes, [block](int t) { return block + RingBlock * t; }, 0);
    };
    for (int x = 0; x < w; x += 2 * O::Lanes16) {
      StoreRowBytes<O>(out, x, w, O::PackBytes(sums(x), sums(x + O::Lanes16)));
    }
  }
};

template <class O, int... R>
constexpr TlxFoldedLanes FoldedLanesOf(std::integer_sequence<int, R...>) {
  return TlxFoldedLanes{2 * O::Lanes16, &WidenLine<O>, {&TlxFoldedRows<O, R>::Run...}, {&TlxFoldedColumns<O, R>::Run...}};
}
template <class O>
constexpr TlxFoldedLanes FoldedLanesOf() {
  return FoldedLanesOf<O>(std::make_integer_sequence<int, UnrolledRadius + 1>{});
}

}  // namespace
