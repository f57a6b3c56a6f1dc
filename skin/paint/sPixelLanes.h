// Building blocks of the fast pixel kernels: the SSE2 switch, taps in the form that a 16-bit
// multiply-add takes two at a time, and the lane helpers that apply such taps to 16 bytes at
// once. Sums stay exact 32-bit integers, so a kernel built on them gives its reference's
// integer results bit for bit. Window-free; owns nothing but the tap tables.
#pragma once

#include <cstdint>
#include <vector>

#if defined(__SSE2__) && !defined(ORBEX_NO_FAST_PIXELS)
#include <emmintrin.h>
#define ORBEX_SSE2 1
#endif

// Weighted taps of a run of output samples (a filter's contributions, a blur kernel), padded
// to an even count per sample, every weight within 16 bits: a larger weight is split into
// several taps on the same input with the same sum, and a zero tap pads.
class TlxPairTaps {
public:
  void Add(int index, int weight);
  // Closes the taps of the current output sample (the next Add starts the next sample).
  void EndSample();
  int Samples() const { return static_cast<int>(FFirst.size()); }
  int First(int sample) const { return FFirst[static_cast<std::size_t>(sample)]; }
  int Last(int sample) const {  // one past the sample's last tap
    const std::size_t next = static_cast<std::size_t>(sample) + 1;
    return next < FFirst.size() ? FFirst[next] : static_cast<int>(FIndex.size());
  }
  int Taps() const { return static_cast<int>(FIndex.size()); }
  int Index(int tap) const { return FIndex[static_cast<std::size_t>(tap)]; }
  int Weight(int tap) const { return FWeight[static_cast<std::size_t>(tap)]; }
  // Both weights of the pair starting at an even tap: second << 16 | first (16 bits each).
  std::int32_t Pair(int tap) const { return FPair[static_cast<std::size_t>(tap) / 2]; }
  // Every pair four times over, so that the pair of even tap p is one 16-byte load at 2 p.
  std::vector<std::int32_t> PairLanes() const;

private:
  std::vector<int> FFirst;
  std::vector<int> FIndex;
  std::vector<int> FWeight;
  std::vector<std::int32_t> FPair;
  bool FOpen = false;
};

#ifdef ORBEX_SSE2
// acc[0..3] += the 16 bytes of a and of b, widened, times the weight pair w (a's weight in the
// low half): acc[k] holds the sums of bytes 4k .. 4k + 3.
inline void MulAddPair(__m128i a, __m128i b, __m128i w, __m128i acc[4]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
  acc[0] = _mm_add_epi32(acc[0], _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
  acc[1] = _mm_add_epi32(acc[1], _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
  acc[2] = _mm_add_epi32(acc[2], _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
  acc[3] = _mm_add_epi32(acc[3], _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
}

// 16 sums of 16.16 fixed point as bytes: 0 when negative, sum >> 16 up to 255 (the saturating
// packs give exactly that clamp).
inline __m128i SumsToBytes(const __m128i acc[4]) {
  const __m128i a = _mm_packs_epi32(_mm_srai_epi32(acc[0], 16), _mm_srai_epi32(acc[1], 16));
  const __m128i b = _mm_packs_epi32(_mm_srai_epi32(acc[2], 16), _mm_srai_epi32(acc[3], 16));
  return _mm_packus_epi16(a, b);
}

inline __m128i LoadBytes16(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void StoreBytes16(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// 16 bytes of weighted sums over `pairs` tap pairs, as SumsToBytes gives them: a(q) and b(q)
// give the 16 bytes of pair q's two taps, w(q) its weight lanes.
template <typename A, typename B, typename W>
inline __m128i WeightedBytes16(int pairs, A a, B b, W w) {
  __m128i acc[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
  for (int q = 0; q < pairs; ++q) MulAddPair(a(q), b(q), w(q), acc);
  return SumsToBytes(acc);
}
#endif
