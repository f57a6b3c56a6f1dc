// The window-free part of the alpha image list: the alpha repair of images that came without
// an alpha channel, and where one state of an image strip lies. Owns nothing: the routines
// work on the caller's pixel buffers.
#pragma once

#include <cstdint>

#include "skin/paint/sAlphaGraph.h"

// True when any pixel of a 32-bit buffer has a non-zero alpha byte.
bool HasAlphaPixels(const TlxPixelBuffer& b);

// Gives an image without alpha its shape: when no pixel has alpha, every pixel whose 32-bit
// value is not `key` gets alpha 255 (key pixels stay transparent); a buffer with any alpha is
// left alone. Returns whether pixels changed. Nothing for an empty or non-32-bit buffer.
bool MakeOpaqueExceptKey(const TlxPixelBuffer& b, std::uint32_t key);

// The repair of a decoded image without alpha: as MakeOpaqueExceptKey, the key being the
// bottom-left pixel's colour.
void FixAlphaPixels(const TlxPixelBuffer& b);

// One state of a strip of `stateCount` states side by side in an image `imageWidth` wide: a
// state is imageWidth / stateCount wide (a count below 1 counts as 1) and the state drawn is
// `state` limited to 0 .. stateCount - 1.
struct TlxStateColumn {
  int Left = 0;
  int Width = 0;
};
TlxStateColumn StateColumn(int imageWidth, int stateCount, int state);
