// JPEG pictures over libjpeg 62: decoding into a TBitmap, compressing a TBitmap, and the
// picture-format registration. The codec itself is the window-free framework/base/JpegCodec.
#include "framework/win/Jpeg.h"

#include "framework/base/JpegCodec.h"

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
  TJpegHeaderInfo info;
  std::string message;
  if (!JpegReadHeader(FData.data(), static_cast<unsigned long>(FData.size()), info, message))
    throw EInvalidGraphic(message);
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
  unsigned char* top = static_cast<unsigned char*>(bmp->ScanLine(0));
  long stride = FHeight > 1 ? static_cast<long>(static_cast<unsigned char*>(bmp->ScanLine(1)) - top)
                            : static_cast<long>(bmp->RowStride());
  std::string message;
  if (!JpegDecode(FData.data(), static_cast<unsigned long>(FData.size()), FGrayscale, top, stride, FWidth, FHeight,
                  message))
    throw EInvalidGraphic(message);
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
  std::string message;
  std::vector<std::uint8_t> data;
  if (!JpegEncode(rows.data(), static_cast<long>(w) * comps, w, h, FGrayscale, FQuality, data, message))
    throw EInvalidGraphic(message);
  FData = std::move(data);
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
