// A 5 x 7 pixel font for the labels of the skin preview: upper-case letters, digits and the
// few signs the labels use (others print as a blank). Lower-case letters print as capitals.
#pragma once

#include <cstdint>

// Seven rows of a glyph, bit 4 the leftmost column; nullptr for a character without a glyph.
const std::uint8_t* TinyGlyph(char c);
constexpr int TinyGlyphWidth = 5;
constexpr int TinyGlyphHeight = 7;
constexpr int TinyAdvance = 6;
