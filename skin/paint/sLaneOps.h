// Vector lane operations of the fast pixel kernels: one struct per vector width with the same
// names, so that one kernel source serves the 128-bit SSE2 lanes every target has and the
// 256-bit AVX2 lanes of the processors that have them (built in sPaintAvx2.cpp, with AVX2
// enabled for that unit alone). Everything here has internal linkage, so that nothing compiled
// for AVX2 can stand in for the SSE2 build of the same function. Included by the kernels'
// units only; window-free.
#pragma once

#include <cstdint>
#include <cstring>

#include <emmintrin.h>
#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace {

struct TlxOps128 {
  using V = __m128i;
  using F = __m128;
  static constexpr int Lanes32 = 4;  // pixels or 32-bit sums a vector
  static constexpr int Lanes16 = 8;  // 16-bit samples a vector

  static V Zero() { return _mm_setzero_si128(); }
  static V Set1(int v) { return _mm_set1_epi32(v); }
  static V Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
  static void Store(void* p, V v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }  // ~a & b
  static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V Sub32(V a, V b) { return _mm_sub_epi32(a, b); }
  template <int N> static V Srli32(V a) { return _mm_srli_epi32(a, N); }
  template <int N> static V Slli32(V a) { return _mm_slli_epi32(a, N); }
  template <int N> static V Srai32(V a) { return _mm_srai_epi32(a, N); }
  static V Max16(V a, V b) { return _mm_max_epi16(a, b); }
  static V Min16(V a, V b) { return _mm_min_epi16(a, b); }
  static V CmpEq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
  static V CmpGt32(V a, V b) { return _mm_cmpgt_epi32(a, b); }
  static V Madd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V MulHiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  static V UnpackLo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
  static V Packs32(V a, V b) { return _mm_packs_epi32(a, b); }
  // The 2 * Lanes16 bytes of the 16-bit lanes of a, then b, saturated, in order.
  static V PackBytes(V a, V b) { return _mm_packus_epi16(a, b); }
  // Lanes16 bytes from p widened to 16-bit lanes.
  static V WidenBytes(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static int MoveMask8(V a) { return _mm_movemask_epi8(a); }
  static constexpr int AllBytes = 0xFFFF;
  static F ToFloat(V a) { return _mm_cvtepi32_ps(a); }
  static F Div(F a, F b) { return _mm_div_ps(a, b); }
  static V Truncate(F a) { return _mm_cvttps_epi32(a); }
};

#if defined(__AVX2__)
// The 256-bit unpacks and packs work within each 128-bit half: a multiply-add over unpacked
// pairs and the pack of its sums put 16 outputs back in order, PackBytes needs a permute.
struct TlxOps256 {
  using V = __m256i;
  using F = __m256;
  static constexpr int Lanes32 = 8;
  static constexpr int Lanes16 = 16;

  static V Zero() { return _mm256_setzero_si256(); }
  static V Set1(int v) { return _mm256_set1_epi32(v); }
  static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
  static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V Sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
  template <int N> static V Srli32(V a) { return _mm256_srli_epi32(a, N); }
  template <int N> static V Slli32(V a) { return _mm256_slli_epi32(a, N); }
  template <int N> static V Srai32(V a) { return _mm256_srai_epi32(a, N); }
  static V Max16(V a, V b) { return _mm256_max_epi16(a, b); }
  static V Min16(V a, V b) { return _mm256_min_epi16(a, b); }
  static V CmpEq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
  static V CmpGt32(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
  static V Madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V MulHiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  static V UnpackLo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V Packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
  static V PackBytes(V a, V b) { return _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8); }
  static V WidenBytes(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static int MoveMask8(V a) { return _mm256_movemask_epi8(a); }
  static constexpr int AllBytes = -1;
  static F ToFloat(V a) { return _mm256_cvtepi32_ps(a); }
  static F Div(F a, F b) { return _mm256_div_ps(a, b); }
  static V Truncate(F a) { return _mm256_cvttps_epi32(a); }
};
#endif

template <class O>
inline typename O::V Select(typename O::V mask, typename O::V a, typename O::V b) {
  return O::Or(O::And(mask, a), O::AndNot(mask, b));
}

// The bytes of v at x of a row of end bytes, or those of them before its end.
template <class O>
inline void StoreRowBytes(std::uint8_t* out, int x, int end, typename O::V v) {
  if (x + static_cast<int>(sizeof(v)) <= end) {
    O::Store(out + x, v);
    return;
  }
  alignas(32) std::uint8_t last[sizeof(typename O::V)];
  O::Store(last, v);
  std::memcpy(out + x, last, static_cast<std::size_t>(end - x));
}

}  // namespace
