// The window-free JPEG codec: see JpegCodec.h.
#include "framework/base/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace {

struct TJpegError {
  jpeg_error_mgr Mgr;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX + 32];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  char text[JMSG_LENGTH_MAX] = {};
  (*cinfo->err->format_message)(cinfo, text);
  std::snprintf(err->Message, sizeof(err->Message), "JPEG error #%d: %s", cinfo->err->msg_code, text);
  std::longjmp(err->Jump, 1);
}

void OutputMessage(j_common_ptr) {}   // warnings are not shown

void InitError(TJpegError& e) {
  jpeg_std_error(&e.Mgr);
  e.Mgr.error_exit = ErrorExit;
  e.Mgr.output_message = OutputMessage;
  e.Message[0] = 0;
}

// Clears a (de)compression struct and routes its errors to err. The caller then arms
// err->Jump with setjmp in its own frame: the frame that longjmp returns to must still exist.
template <class TInfo>
void AttachError(TInfo& cinfo, TJpegError& err) {
  std::memset(&cinfo, 0, sizeof(cinfo));
  InitError(err);
  cinfo.err = &err.Mgr;
}

// Starts reading data's header into cinfo, after AttachError and setjmp.
void ReadHeader(jpeg_decompress_struct& cinfo, const unsigned char* data, unsigned long size) {
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
}

bool IsCmyk(const jpeg_decompress_struct& cinfo) {
  return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

struct THeaderInfo {
  int Width = 0;
  int Height = 0;
  int Components = 0;
  bool Cmyk = false;
};

// Only plain data lives in the frames below between setjmp and longjmp.
bool ReadHeaderRaw(const unsigned char* data, unsigned long size, THeaderInfo* info, TJpegError* err) {
  jpeg_decompress_struct cinfo;
  AttachError(cinfo, *err);
  if (setjmp(err->Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  ReadHeader(cinfo, data, size);
  info->Width = static_cast<int>(cinfo.image_width);
  info->Height = static_cast<int>(cinfo.image_height);
  info->Components = cinfo.num_components;
  info->Cmyk = IsCmyk(cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Writes rows from the top into `out` (stride bytes apart, `outStride` may be negative for a
// bottom-up DIB): 3 bytes BGR per pixel, or 1 grey byte when gray.
bool DecodeRaw(const unsigned char* data, unsigned long size, bool gray, unsigned char* out, long outStride,
               int width, int height, unsigned char* work, TJpegError* err) {
  jpeg_decompress_struct cinfo;
  AttachError(cinfo, *err);
  if (setjmp(err->Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  ReadHeader(cinfo, data, size);
  cinfo.out_color_space = gray ? JCS_GRAYSCALE : IsCmyk(cinfo) ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (static_cast<int>(cinfo.output_width) != width || static_cast<int>(cinfo.output_height) != height) {
    std::snprintf(err->Message, sizeof(err->Message), "JPEG image size changed while decoding");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  int comps = cinfo.output_components;
  while (cinfo.output_scanline < cinfo.output_height) {
    int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW row = work;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    unsigned char* dst = out + static_cast<long>(y) * outStride;
    if (gray) {
      std::memcpy(dst, work, static_cast<size_t>(width));
    } else if (comps == 4) {   // Adobe CMYK is stored inverted
      for (int x = 0; x < width; ++x) {
        unsigned k = work[x * 4 + 3];
        dst[x * 3] = static_cast<unsigned char>(work[x * 4 + 2] * k / 255);
        dst[x * 3 + 1] = static_cast<unsigned char>(work[x * 4 + 1] * k / 255);
        dst[x * 3 + 2] = static_cast<unsigned char>(work[x * 4] * k / 255);
      }
    } else {
      for (int x = 0; x < width; ++x) {
        dst[x * 3] = work[x * 3 + 2];
        dst[x * 3 + 1] = work[x * 3 + 1];
        dst[x * 3 + 2] = work[x * 3];
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Compresses rows of RGB (3 bytes) or grey (1 byte) from the top; the result is malloc'ed by
// libjpeg and freed by the caller.
bool EncodeRaw(const unsigned char* rows, long stride, int width, int height, bool gray, int quality,
               unsigned char** outBuf, unsigned long* outSize, TJpegError* err) {
  jpeg_compress_struct cinfo;
  AttachError(cinfo, *err);
  *outBuf = nullptr;
  *outSize = 0;
  if (setjmp(err->Jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(*outBuf);
    *outBuf = nullptr;
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, outBuf, outSize);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = gray ? 1 : 3;
  cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(rows + static_cast<long>(cinfo.next_scanline) * stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool JpegReadHeader(const unsigned char* data, unsigned long size, TJpegHeaderInfo& info, std::string& message) {
  TJpegError err;
  THeaderInfo raw;
  if (!ReadHeaderRaw(data, size, &raw, &err)) {
    message = err.Message;
    return false;
  }
  info = TJpegHeaderInfo{raw.Width, raw.Height, raw.Components, raw.Cmyk};
  return true;
}

bool JpegDecode(const unsigned char* data, unsigned long size, bool gray, unsigned char* out, long outStride,
                int width, int height, std::string& message) {
  TJpegError err;
  // Room for the widest row libjpeg hands out (four components for CMYK).
  std::vector<unsigned char> work(static_cast<size_t>(width > 0 ? width : 0) * 4 + 4);
  if (!DecodeRaw(data, size, gray, out, outStride, width, height, work.data(), &err)) {
    message = err.Message;
    return false;
  }
  return true;
}

bool JpegEncode(const unsigned char* rows, long stride, int width, int height, bool gray, int quality,
                std::vector<std::uint8_t>& out, std::string& message) {
  TJpegError err;
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  if (!EncodeRaw(rows, stride, width, height, gray, quality, &buf, &size, &err)) {
    message = err.Message;
    return false;
  }
  out.assign(buf, buf + size);
  std::free(buf);
  return true;
}
