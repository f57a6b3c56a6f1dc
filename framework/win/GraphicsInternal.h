// Little-endian byte readers shared by the stored-image code of the graphics unit (bitmap files
// in Bitmap.cpp; icons and pictures in Graphics.cpp). Private to the unit; owns nothing.
#pragma once

#include <cstdint>

#include "framework/base/Classes.h"

namespace graphics_internal {

// Reads exactly n bytes; raises EInvalidGraphic "Bitmap image is truncated" when fewer come.
void ReadExact(TStream& s, void* buf, std::uint64_t n);
// The integer at p (2 or 4 bytes, least significant first).
std::uint32_t Le32(const std::uint8_t* p);
std::uint16_t Le16(const std::uint8_t* p);

}  // namespace graphics_internal
