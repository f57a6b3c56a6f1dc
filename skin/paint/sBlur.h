// Gaussian blur of 8-bit masks (the text-glow masks): a separable convolution, rows then
// columns, with the kernel cut where the dropped tails stay below half a grey level. Owns its
// work lines for the length of one call; window-free.
#pragma once

#include <vector>

#include "skin/paint/sAlphaGraph.h"

// The kernel for sigma: 2r + 1 integer weights (index k + r for offset k) summing to exactly
// 65536, so that a constant area keeps its value (255 stays 255). Empty for sigma <= 0.
std::vector<int> GaussianKernel8(double sigma);

// Blurs an 8-bit buffer in place; other pixel sizes, empty buffers and sigma <= 0 (or not a
// number) leave it unchanged. Edge values repeat beyond the line. Ref convolves the columns one
// by one; Fast runs both passes a row at a time in vector lanes (identical integer sums).
void GaussianBlur8Ref(const TlxPixelBuffer& b, double sigma);
void GaussianBlur8Fast(const TlxPixelBuffer& b, double sigma, TlxLanes lanes = TlxLanes::Widest);
void GaussianBlur8(const TlxPixelBuffer& b, double sigma);
