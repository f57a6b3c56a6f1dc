// Filtered resampling of 24-bit and 32-bit pixel buffers: a separable filter with precomputed
// 16.16 integer weights, first along rows to the new width, then along columns to the new
// height. Used for stretched mask centres and their transparency bands. Owns the contribution
// lists and the intermediate buffer of one call; the result goes into a caller's TlxImageBuffer.
// Window-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/paint/sAlphaGraph.h"

// One source sample of a destination sample: byte offset into the source line, 16.16 weight.
struct TlxContributor {
  std::ptrdiff_t Offset = 0;
  int Weight = 0;
};
using TlxContributions = std::vector<std::vector<TlxContributor>>;

constexpr int lxFilterCount = 7;  // 0 box, 1 triangle, 2 Hermite, 3 bell, 4 B-spline, 5 Lanczos-like, 6 Mitchell

// Support radius and weight of a filter; numbers outside 0..6 are taken as 6.
float FilterSupport(int filter);
double FilterWeight(int filter, double x);

// Contributions of n destination samples from c source samples with the given byte stride.
// Source indexes beyond the edges are mirrored and then limited to 0..c-1, so no entry ever
// points outside the line. Empty for n <= 0 or c <= 0.
TlxContributions BuildContributions(int n, int c, std::ptrdiff_t stride, int filter);

// Resamples src to newWidth x newHeight into dst (same bytes per pixel as src, 3 or 4; the
// alpha byte is filtered like a colour). A new width or height of 0 or less paints nothing.
// Raises Exception "Source bitmap is too small" for a source narrower or lower than 2 pixels,
// and EAssertionFailed for another pixel size. Ref filters column by column; Fast runs the
// vertical pass row by row over whole rows (the same integer sums, so the same result), and
// halves 32-bit pixels by the triangle and Hermite filters as 1-2-1 byte averages and by the
// others (but the box) with their symmetric taps folded.
void SmoothStretchRef(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter);
void SmoothStretchFast(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter);
void SmoothStretch(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter);
