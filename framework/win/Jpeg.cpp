// JPEG pictures over libjpeg 62: decoding into a TBitmap, compressing a TBitmap, and the
// picture-format registration. libjpeg reports fatal errors by calling error_exit; we leave
// with longjmp back into a frame that holds only plain data, never by throwing through C code.
#include "framework/win/Jpeg.h"

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

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }
int TJPEGImage::GetWidth() const { return FBitmap && FData.empty() ? FBitmap->GetWidth() : FWidth; }
int TJPEGImage::GetHeight() const { return FBitmap && FData.empty() ? FBitmap->GetHeight() : FHeight; }
void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(int q) { FQuality = q < 1 ? 1 : q > 100 ? 100 : q; }

void TJPEGImage::SetGrayscale(bool on) {
  if (on == FGrayscale) return;
  FGrayscale = on;
  if (!FData.empty()) FBitmap.reset();   // decoded again in the new mode
  Changed(this);
}

void TJPEGImage::ReadHeader() {
  THeaderInfo info;
  TJpegError err;
  if (!ReadHeaderRaw(FData.data(), static_cast<unsigned long>(FData.size()), &info, &err))
    throw EInvalidGraphic(err.Message);
  if (info.Width <= 0 || info.Height <= 0 || info.Width > MaxJpegSide || info.Height > MaxJpegSide ||
      static_cast<std::uint64_t>(info.Width) * static_cast<std::uint64_t>(info.Height) > MaxJpegPixels)
    throw EInvalidGraphic(Format("JPEG image size %dx%d is not supported", info.Width, info.Height));
  FWidth = info.Width;
  FHeight = info.Height;
}

void TJPEGImage::LoadFromData(std::span<const std::uint8_t> data) {
  FBitmap.reset();
  FData.assign(data.begin(), data.end());
  try {
    ReadHeader();
  } catch (...) {
    FData.clear();
    FWidth = FHeight = 0;
    Changed(this);
    throw;
  }
  Changed(this);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::int64_t avail = stream.Size() - stream.Position();
  if (avail < 0 || static_cast<std::uint64_t>(avail) > MaxBitmapBytes)
    throw EInvalidGraphic("JPEG data is too large");
  std::vector<std::uint8_t> data(static_cast<size_t>(avail));
  if (avail > 0 && stream.Read(data.data(), avail) != avail) throw EInvalidGraphic("JPEG data is truncated");
  LoadFromData(data);
}

void TJPEGImage::SaveToStream(TStream& stream) {
  JPEGNeeded();
  if (!FData.empty()) stream.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  auto bmp = std::make_unique<TBitmap>();
  if (FGrayscale) {
    bmp->SetPixelFormat(TPixelFormat::pf8bit);
    std::vector<PALETTEENTRY> grey(256);
    for (int i = 0; i < 256; ++i)
      grey[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    bmp->SetSize(FWidth, FHeight);
    bmp->SetPalette(MakePalette(grey).Release());
  } else {
    bmp->SetPixelFormat(TPixelFormat::pf24bit);
    bmp->SetSize(FWidth, FHeight);
  }
  std::vector<unsigned char> work(static_cast<size_t>(FWidth) * 4);
  unsigned char* top = static_cast<unsigned char*>(bmp->ScanLine(0));
  long stride = FHeight > 1 ? static_cast<long>(static_cast<unsigned char*>(bmp->ScanLine(1)) - top)
                            : static_cast<long>(bmp->RowStride());
  TJpegError err;
  if (!DecodeRaw(FData.data(), static_cast<unsigned long>(FData.size()), FGrayscale, top, stride, FWidth, FHeight,
                 work.data(), &err))
    throw EInvalidGraphic(err.Message);
  FBitmap = std::move(bmp);
}

void TJPEGImage::JPEGNeeded() {
  if (!FData.empty() || !FBitmap || FBitmap->Empty()) return;
  int w = FBitmap->GetWidth(), h = FBitmap->GetHeight();
  // Compress from a 24-bit copy (any pixel format), rows turned from BGR into RGB.
  TBitmap src;
  src.Assign(FBitmap.get());
  src.SetPixelFormat(TPixelFormat::pf24bit);
  int comps = FGrayscale ? 1 : 3;
  std::vector<unsigned char> rows(static_cast<size_t>(w) * comps * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const auto* in = static_cast<const unsigned char*>(src.ScanLine(y));
    unsigned char* out = rows.data() + static_cast<size_t>(y) * w * comps;
    for (int x = 0; x < w; ++x) {
      if (FGrayscale) {
        out[x] = static_cast<unsigned char>((in[x * 3 + 2] * 77 + in[x * 3 + 1] * 150 + in[x * 3] * 29) >> 8);
      } else {
        out[x * 3] = in[x * 3 + 2];
        out[x * 3 + 1] = in[x * 3 + 1];
        out[x * 3 + 2] = in[x * 3];
      }
    }
  }
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  TJpegError err;
  if (!EncodeRaw(rows.data(), static_cast<long>(w) * comps, w, h, FGrayscale, FQuality, &buf, &size, &err))
    throw EInvalidGraphic(err.Message);
  FData.assign(buf, buf + size);
  std::free(buf);
  FWidth = w;
  FHeight = h;
}

TBitmap* TJPEGImage::Bitmap() {
  DIBNeeded();
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || canvas == nullptr) return;
  Bitmap()->Draw(canvas, r);
}

void TJPEGImage::Assign(TPersistent* source) {
  if (source == nullptr) {
    FData.clear();
    FBitmap.reset();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  if (TJPEGImage* j = As<TJPEGImage>(source)) {
    if (j == this) return;
    FData = j->FData;
    FWidth = j->FWidth;
    FHeight = j->FHeight;
    FQuality = j->FQuality;
    FGrayscale = j->FGrayscale;
    FBitmap.reset();
    if (j->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(j->FBitmap.get());
    }
    Changed(this);
    return;
  }
  if (TBitmap* b = As<TBitmap>(source)) {
    FData.clear();
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(b);
    FWidth = b->GetWidth();
    FHeight = b->GetHeight();
    Changed(this);
    return;
  }
  Inherited::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (TBitmap* b = As<TBitmap>(dest)) {
    if (Empty()) b->Assign(nullptr);
    else b->Assign(Bitmap());
    return;
  }
  Inherited::AssignTo(dest);
}

ORBEX_IMPLEMENT_CLASS(TJPEGImage, TGraphic, &CreateObjectOf<TJPEGImage>)

void RegisterJpegFormats() {
  TPicture::RegisterFileFormat("jpg", "JPEG Image File", &TJPEGImage::StaticClassInfo());
  TPicture::RegisterFileFormat("jpeg", "JPEG Image File", &TJPEGImage::StaticClassInfo());
}
