// The hue shift of pixels in exact integer lanes, for either vector width of sLaneOps.h (the
// 128-bit form in sColorMath.cpp, the 256-bit one in sPaintAvx2.cpp). Internal linkage, as
// everything built on sLaneOps.h; window-free.
#pragma once

#include "skin/paint/sLaneOps.h"

namespace {

template <class O>
inline typename O::V Times60(typename O::V x) {
  return O::Sub32(O::template Slli32<6>(x), O::template Slli32<2>(x));
}

// Round-half-even of x / 60 for 0 <= x + 30 < 65536, and a mask of the lanes where x / 60 lies
// exactly halfway (x mod 60 = 30) added to `tie`.
template <class O>
inline typename O::V RoundDiv60(typename O::V x, typename O::V& tie) {
  const typename O::V up = O::Add32(x, O::Set1(30));
  // floor(y / 60) = (y * 34953) >> 21 for y below 74898.
  const typename O::V q = O::template Srli32<5>(O::MulHiU16(up, O::Set1(34953)));
  tie = O::Or(tie, O::CmpEq32(O::Madd16(q, O::Set1(60)), up));
  return q;
}

// q (odd sectors) or t (even sectors) of four pixels, rounded, by the reference's own double
// operations in the same order: where the exact value lies halfway between two integers, the
// rounding errors of those operations decide, so only the same operations give the same byte.
inline __m128i ThirdValueAsReference(__m128i v, __m128i d, __m128i hue, __m128i i, __m128i odd) {
  const __m128d one = _mm_set1_pd(1.0), sixty = _mm_set1_pd(60.0);
  auto half = [&](__m128i vi, __m128i di, __m128i hi, __m128i ii, __m128i oi) {
    const __m128d vv = _mm_cvtepi32_pd(vi);
    const __m128d s = _mm_div_pd(_mm_cvtepi32_pd(di), vv);
    const __m128d f = _mm_sub_pd(_mm_div_pd(_mm_cvtepi32_pd(hi), sixty), _mm_cvtepi32_pd(ii));
    const __m128d q = _mm_mul_pd(vv, _mm_sub_pd(one, _mm_mul_pd(f, s)));
    const __m128d t = _mm_mul_pd(vv, _mm_sub_pd(one, _mm_mul_pd(_mm_sub_pd(one, f), s)));
    // The odd mask's two lanes widened to the two doubles.
    const __m128d pick = _mm_castsi128_pd(_mm_shuffle_epi32(oi, _MM_SHUFFLE(1, 1, 0, 0)));
    // Rounded half to even, as lrint in the default rounding mode.
    return _mm_cvtpd_epi32(_mm_or_pd(_mm_and_pd(pick, q), _mm_andnot_pd(pick, t)));
  };
  // Black lanes (greys, dropped later) would divide 0 by 0: they divide by 1 instead, so no
  // lane raises a floating-point exception.
  v = _mm_max_epi16(v, _mm_set1_epi32(1));
  const __m128i lo = half(v, d, hue, i, odd);
  const __m128i hi = half(_mm_srli_si128(v, 8), _mm_srli_si128(d, 8), _mm_srli_si128(hue, 8), _mm_srli_si128(i, 8),
                          _mm_srli_si128(odd, 8));
  const __m128i r = _mm_unpacklo_epi64(lo, hi);
  // Clamped to a byte (the values lie within 0..v anyway).
  return _mm_max_epi16(_mm_min_epi16(r, _mm_set1_epi32(255)), _mm_setzero_si128());
}

inline __m128i ThirdValues(TlxOps128, __m128i v, __m128i d, __m128i hue, __m128i i, __m128i odd) {
  return ThirdValueAsReference(v, d, hue, i, odd);
}
#if defined(__AVX2__)
inline __m256i ThirdValues(TlxOps256, __m256i v, __m256i d, __m256i hue, __m256i i, __m256i odd) {
  auto low = [](__m256i a) { return _mm256_castsi256_si128(a); };
  auto high = [](__m256i a) { return _mm256_extracti128_si256(a, 1); };
  const __m128i lo = ThirdValueAsReference(low(v), low(d), low(hue), low(i), low(odd));
  const __m128i hi = ThirdValueAsReference(high(v), high(d), high(hue), high(i), high(odd));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}
#endif

// Lanes32 pixels of ColorHueShift in exact integers. The reference's floating-point maths
// lands on the exact rational values of hue, p, q and t up to tiny errors, so rounding them
// agrees with rounding the exact values, except where q or t is exactly halfway between two
// integers: those lanes take the reference's double operations. offset lies in 0..359.
template <class O>
inline typename O::V HueShiftLanes(typename O::V px, int offset) {
  using V = typename O::V;
  V tie = O::Zero();
  const V byte = O::Set1(0xFF);
  const V bl = O::And(px, byte), gr = O::And(O::template Srli32<8>(px), byte);
  const V rd = O::And(O::template Srli32<16>(px), byte);
  // The channels sit in the low halves of the lanes: 16-bit max and min are exact, and so are
  // 16-bit multiply-adds of values within 0..32767.
  const V v = O::Max16(rd, O::Max16(gr, bl)), mn = O::Min16(rd, O::Min16(gr, bl));
  const V d = O::Max16(O::Sub32(v, mn), O::Set1(1));  // grey lanes are dropped later
  // Hue * d = 60 * x + base * d by the largest channel (red, then green, then blue).
  const V isR = O::CmpEq32(rd, v), isG = O::AndNot(isR, O::CmpEq32(gr, v));
  const V x = Select<O>(isR, O::Sub32(gr, bl), Select<O>(isG, O::Sub32(bl, rd), O::Sub32(rd, gr)));
  const V negR = O::And(isR, O::CmpGt32(O::Zero(), x));
  const V base = Select<O>(isR, O::And(negR, O::Set1(360)), Select<O>(isG, O::Set1(120), O::Set1(240)));
  const V n = O::Add32(Times60<O>(x), O::Madd16(O::Add32(base, O::Set1(offset)), d));
  // n / d rounded half to even; n < 2^18 and d < 2^8, so the float quotient truncates to the
  // exact floor.
  V q = O::Truncate(O::Div(O::ToFloat(n), O::ToFloat(d)));
  const V rem2 = O::template Slli32<1>(O::Sub32(n, O::Madd16(q, d)));
  const V one = O::Set1(1);
  const V up = O::Or(O::CmpGt32(rem2, d), O::And(O::CmpEq32(rem2, d), O::CmpEq32(O::And(q, one), one)));
  q = O::Sub32(q, up);  // up is -1 where rounding up
  const V v359 = O::Set1(359), v360 = O::Set1(360);
  q = O::Sub32(q, O::And(O::CmpGt32(q, v359), v360));
  const V hue = O::Sub32(q, O::And(O::CmpGt32(q, v359), v360));
  // Sector i = hue div 60 and k = hue mod 60.
  V i = O::Zero();
  for (int edge = 59; edge < 359; edge += 60) i = O::Sub32(i, O::CmpGt32(hue, O::Set1(edge)));
  const V k = O::Sub32(hue, Times60<O>(i));
  // p = min; q = round(v - k d / 60) = round((60 min + (60 - k) d) / 60) in odd sectors and
  // t = round((60 min + k d) / 60) in even ones: one rounding, with k mirrored in odd sectors.
  const V odd = O::Sub32(O::Zero(), O::And(i, one));
  const V kk = Select<O>(odd, O::Sub32(O::Set1(60), k), k);
  V m3 = RoundDiv60<O>(O::Add32(Times60<O>(mn), O::Madd16(kk, d)), tie);
  if (O::MoveMask8(tie) != 0) m3 = Select<O>(tie, ThirdValues(O{}, v, d, hue, i, odd), m3);
  // Each channel is min, v or the third value, by sector.
  auto sector = [&](int s) { return O::CmpEq32(i, O::Set1(s)); };
  const V s0 = sector(0), s1 = sector(1), s2 = sector(2), s3 = sector(3), s4 = sector(4), s5 = sector(5);
  const V toV = O::Sub32(v, mn), toM = O::Sub32(m3, mn);
  auto channel = [&](V vLanes, V mLanes) { return O::Add32(mn, O::Add32(O::And(vLanes, toV), O::And(mLanes, toM))); };
  const V R = channel(O::Or(s0, s5), O::Or(s1, s4));
  const V G = channel(O::Or(s1, s2), O::Or(s0, s3));
  const V B = channel(O::Or(s3, s4), O::Or(s2, s5));
  return O::Or(O::And(px, O::Set1(static_cast<int>(0xFF000000u))),
               O::Or(O::template Slli32<16>(R), O::Or(O::template Slli32<8>(G), B)));
}

// Lanes32 pixels in place through the hue shift; the key and greys stay.
template <class O>
inline void HueShiftGroup(std::uint8_t* p, int turn, std::uint32_t key) {
  using V = typename O::V;
  const V byte = O::Set1(0xFF);
  const V px = O::Load(p);
  const V bl = O::And(px, byte);
  const V grey = O::And(O::CmpEq32(O::And(O::template Srli32<8>(px), byte), bl),
                        O::CmpEq32(O::And(O::template Srli32<16>(px), byte), bl));
  const V keep = O::Or(grey, O::CmpEq32(px, O::Set1(static_cast<int>(key))));
  if (O::MoveMask8(keep) == O::AllBytes) return;
  O::Store(p, Select<O>(keep, px, HueShiftLanes<O>(px, turn)));
}

// n pixels in place through the hue shift, Lanes32 at a time (the last few padded with the
// key); turn is the offset taken into 0..359.
template <class O>
inline void HueShiftPixelsIn(std::uint8_t* p, int n, int turn, std::uint32_t key) {
  constexpr int L = O::Lanes32;
  int x = 0;
  for (; x + L <= n; x += L) HueShiftGroup<O>(p + x * 4, turn, key);
  if (x == n) return;
  alignas(32) std::uint8_t last[4 * L];
  for (int k = 0; k < L; ++k) std::memcpy(last + k * 4, &key, 4);
  const std::size_t bytes = static_cast<std::size_t>(n - x) * 4;
  std::memcpy(last, p + x * 4, bytes);
  HueShiftGroup<O>(last, turn, key);
  std::memcpy(p + x * 4, last, bytes);
}

}  // namespace
