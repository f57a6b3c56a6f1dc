// Decoding a PNG file held in memory with libpng, the independent decoder the PNG reader is
// checked against (the oracle test) and timed against (the benchmark). libpng gives raw
// samples: de-interlaced, nothing else changed. Native only: libpng is a dependency of the
// host build's tests and benchmarks. Owns nothing beyond the image it fills.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace pngtest {

// What libpng read. Kept outside the function that calls setjmp, so that a longjmp skips no
// destructor.
struct TLibpngImage {
  png_uint_32 Width = 0, Height = 0;
  int Depth = 0, ColorType = 0, Interlace = 0;
  std::vector<std::uint8_t> Pixels;
  std::vector<png_bytep> Rows;
  std::size_t RowBytes = 0;
  std::vector<png_color> Palette;
  bool HasTrns = false;
  png_color_16 TrnsColor{};
  bool HasBkgd = false;
  png_color_16 Bkgd{};
  char Error[256] = {};
};

// The read position in the file; the caller's, for the same reason.
struct TLibpngSource {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
};

inline void LibpngReadFn(png_structp png, png_bytep out, png_size_t n) {
  auto* src = static_cast<TLibpngSource*>(png_get_io_ptr(png));
  if (n > src->Size - src->Pos) png_error(png, "read past the end");
  std::memcpy(out, src->Data + src->Pos, n);
  src->Pos += n;
}

inline void LibpngErrorFn(png_structp png, png_const_charp msg) {
  auto* img = static_cast<TLibpngImage*>(png_get_error_ptr(png));
  std::snprintf(img->Error, sizeof img->Error, "%s", msg);
  png_longjmp(png, 1);
}

inline void LibpngWarningFn(png_structp, png_const_charp) {}

// Decodes data into img: header, raw rows, palette, transparent colour and background colour.
// With readEnd the chunks after the image data are read too (up to IEND), as a full decode
// does. Returns false with libpng's message in img.Error when libpng fails.
inline bool DecodeWithLibpng(const std::vector<std::uint8_t>& data, TLibpngImage& img,
                             TLibpngSource& src, bool readEnd = false) {
  src = TLibpngSource{data.data(), data.size(), 0};
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &img, LibpngErrorFn, LibpngWarningFn);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &src, LibpngReadFn);
  png_read_info(png, info);
  png_get_IHDR(png, info, &img.Width, &img.Height, &img.Depth, &img.ColorType, &img.Interlace,
               nullptr, nullptr);
  if (img.Interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
  png_read_update_info(png, info);
  img.RowBytes = png_get_rowbytes(png, info);
  img.Pixels.assign(img.RowBytes * img.Height, 0);
  img.Rows.resize(img.Height);
  for (png_uint_32 y = 0; y < img.Height; ++y) img.Rows[y] = img.Pixels.data() + img.RowBytes * y;
  png_read_image(png, img.Rows.data());
  if (readEnd) png_read_end(png, nullptr);
  png_colorp palette = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &palette, &count) != 0) img.Palette.assign(palette, palette + count);
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  png_color_16p trns = nullptr;
  if (png_get_tRNS(png, info, &alpha, &alphaCount, &trns) != 0 && trns != nullptr) {
    img.HasTrns = true;
    img.TrnsColor = *trns;
  }
  png_color_16p bkgd = nullptr;
  if (png_get_bKGD(png, info, &bkgd) != 0) {
    img.HasBkgd = true;
    img.Bkgd = *bkgd;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace pngtest
