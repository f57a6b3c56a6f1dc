// JPEG coding over libjpeg (version 62 API), window-free: the picture class of the framework
// (framework/win/Jpeg) and the skin loader's texture reader share it. libjpeg reports fatal
// errors through error_exit; the codec leaves with longjmp into a frame that holds only plain
// data, never by throwing through C code. Owns nothing beyond a call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TJpegHeaderInfo {
  int Width = 0;
  int Height = 0;
  int Components = 0;
  bool Cmyk = false;
};

// Each call returns false with `message` "JPEG error #<n>: <libjpeg's text>" on a failure.

// Reads the header of the JPEG in data[0, size).
bool JpegReadHeader(const unsigned char* data, unsigned long size, TJpegHeaderInfo& info, std::string& message);
// Decodes rows from the top into `out` (`outStride` bytes apart; negative for a bottom-up DIB):
// 3 bytes blue, green, red a pixel, or 1 grey byte when `gray`. The picture must be width x
// height (the header's size).
bool JpegDecode(const unsigned char* data, unsigned long size, bool gray, unsigned char* out, long outStride,
                int width, int height, std::string& message);
// Compresses rows of RGB (3 bytes) or grey (1 byte) from the top into `out`.
bool JpegEncode(const unsigned char* rows, long stride, int width, int height, bool gray, int quality,
                std::vector<std::uint8_t>& out, std::string& message);
