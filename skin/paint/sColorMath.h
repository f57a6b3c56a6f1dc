// Colour maths of the skin engine: blends of two colours, hue rotation and saturation of
// colours and of whole 32-bit buffers (how a skin is recoloured at run time), greyscale.
// Owns nothing; window-free. Rounding is to the nearest integer, ties to even. The device
// context routines of the same family live in win/.
#pragma once

#include <cstdint>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

// Per channel round(x * a + (1 - x) * b); the top byte of a.
TColor BlendColors(TColor a, TColor b, double x);
// Hue rotation in HSV of a colour with red in the third byte (pixel order); top byte kept.
// Any offset is accepted: the new hue is wrapped into 0..359.
std::uint32_t ColorHueShift(int offset, std::uint32_t c);
// Offset 0: unchanged; else ColorHueShift on the colour with red and blue exchanged.
TColor ApplyHueOffset(int offset, TColor c);
// Amount 0: unchanged; else each channel moves away from the grey level by amount percent,
// limited to 0..255; top byte kept.
std::uint32_t ColorSaturate(int amount, std::uint32_t c);
TColor ApplyColorSaturation(TColor c, int amount);

// Every pixel's red, green and blue become (r + g + b) div 3.
void GrayscaleBitmap(const TlxPixelBuffer& b);
// The same for pixels whose whole value differs from key.
void GrayscaleExceptKey(const TlxPixelBuffer& b, std::uint32_t key);
// Hue shift / saturation of every pixel that is neither 0x00FF00FF nor grey. Ref evaluates the
// colour maths per pixel; Fast maps each run of one colour once (skin images come in runs),
// the hue shift in exact integer lanes (four or eight colours at a time by `lanes`). The same
// pixels either way.
void HueShiftBitmapRef(const TlxPixelBuffer& b, int offset);
void HueShiftBitmapFast(const TlxPixelBuffer& b, int offset, TlxLanes lanes = TlxLanes::Widest);
void HueShiftBitmap(const TlxPixelBuffer& b, int offset);
void SaturateBitmapRef(const TlxPixelBuffer& b, int amount);
void SaturateBitmapFast(const TlxPixelBuffer& b, int amount);
void SaturateBitmap(const TlxPixelBuffer& b, int amount);
