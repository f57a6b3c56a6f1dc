// The PNG picture class, icon builders, clean-up passes and format registration: see
// lxPNGGraphic.h.
//
// Sections: the bitmap target of the decoder; TPNGGraphic; icons; clean-up passes; start-up.
#include "skin/paint/win/lxPNGGraphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/win/sDibSection.h"

namespace {
const char* const SPNGDescription = "Portable network graphics (Quillon)";
const char* const SReadError = "Stream read error";

TPixelFormat FormatOfBits(int bits) {
  switch (bits) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 24: return TPixelFormat::pf24bit;
    default: return TPixelFormat::pf32bit;
  }
}

// A system palette of the decoder's colours; empty for none.
TOwnedPalette PaletteOf(const TPaletteColors& colors) {
  std::vector<PALETTEENTRY> entries;
  entries.reserve(colors.size());
  for (const TPaletteColor& c : colors) entries.push_back(PALETTEENTRY{c.Red, c.Green, c.Blue, c.Flags});
  return MakePalette(entries);
}

// A view of a 32-bit framework bitmap's pixels, top row first.
TlxPixelBuffer BitmapView(TBitmap* b) {
  TlxPixelBuffer v;
  if (b == nullptr || b->Empty() || b->GetPixelFormat() != TPixelFormat::pf32bit) return v;
  v.Bits = static_cast<Byte*>(b->ScanLine(0));
  v.Width = b->GetWidth();
  v.Height = b->GetHeight();
  v.Stride = -static_cast<std::ptrdiff_t>(b->RowStride());   // bottom-up storage
  v.BytesPerPixel = 4;
  return v;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// The decoder writes straight into the bitmap's scan lines.

class TPNGGraphic::TBitmapTarget : public TPNGTarget {
public:
  explicit TBitmapTarget(TPNGGraphic& owner) : FOwner(owner) {}

  void SetFormat(const TPNGTargetFormat& f) override {
    FOwner.FreeImage();
    FOwner.SetPixelFormat(FormatOfBits(f.BitsPerPixel));
    if (f.HasPalette) FOwner.SetPalette(PaletteOf(f.Palette).Release());
    FOwner.SetSize(int(f.Width), int(f.Height));
    TCanvas* canvas = FOwner.Canvas();
    {
      TCanvasLock lock(*canvas);
      canvas->Brush()->SetColor(f.BackgroundColor);
      canvas->FillRect(Rect(0, 0, int(f.Width), int(f.Height)));
    }
    if (f.Transparent) {
      FOwner.SetTransparentColor(f.TransparentColor);
      FOwner.SetTransparent(true);
    }
  }

  std::uint8_t* ScanLine(std::uint32_t row) override {
    return static_cast<std::uint8_t*>(FOwner.ScanLine(int(row)));
  }

  void Progress(TPNGProgressStage stage, int percent, bool redraw, const TRect& rect,
                const std::string& message) override {
    const TProgressStage s = stage == TPNGProgressStage::psStarting ? TProgressStage::psStarting
                             : stage == TPNGProgressStage::psRunning ? TProgressStage::psRunning
                                                                     : TProgressStage::psEnding;
    FOwner.Progress(&FOwner, s, Byte(percent), redraw, rect, message);
  }

private:
  TPNGGraphic& FOwner;
};

// ---------------------------------------------------------------------------------------------
// TPNGGraphic

TPNGGraphic::TPNGGraphic() { FDecoder.SetMaxImageBytes(MaxBitmapBytes); }
TPNGGraphic::~TPNGGraphic() = default;

void TPNGGraphic::Assign(TPersistent* source) {
  if (const TPNGGraphic* png = As<TPNGGraphic>(source)) FImageProperties = png->FImageProperties;
  Inherited::Assign(source);
}

void TPNGGraphic::LoadFromStream(TStream& stream) {
  FreeImage();
  const std::int64_t base = stream.Position();
  const std::int64_t available = stream.Size() - base;
  std::uint8_t magic[2] = {0, 0};
  if (available >= 2 && stream.Read(magic, 2) == 2 && magic[0] == 'B' && magic[1] == 'M') {
    // Stored pictures of this class may hold a Windows bitmap instead of a PNG.
    stream.SetPosition(base);
    TBitmap::LoadFromStream(stream);
    return;
  }
  stream.SetPosition(base);
  if (available <= 0) throw EReadError(SReadError);
  // The input is bounded like the picture it may become.
  if (std::uint64_t(available) > MaxBitmapBytes * 2)
    throw EInvalidGraphic(Format("Cannot load image. Invalid or unexpected %s image format.", "PNG"));
  std::vector<std::uint8_t> data(static_cast<std::size_t>(available));
  stream.ReadBuffer(data.data(), available);
  TBitmapTarget target(*this);
  try {
    FDecoder.Decode(data, target);
  } catch (...) {
    FImageProperties = FDecoder.GetImageProperties();
    stream.SetPosition(base + std::int64_t(FDecoder.Position()));
    Changed(this);
    throw;
  }
  FImageProperties = FDecoder.GetImageProperties();
  stream.SetPosition(base + std::int64_t(FDecoder.Position()));
  Changed(this);
}

TlxPixelBuffer TPNGGraphic::View32() { return BitmapView(this); }

void TPNGGraphic::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || canvas == nullptr) return;
  if (GetPixelFormat() != TPixelFormat::pf32bit) {
    Inherited::Draw(canvas, r);
    return;
  }
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  const int workHeight = FReflected ? h + h / 2 : h;
  TlxDibSection work(w, workHeight);
  if (!work.GetHandle()) return;
  HDC dst = canvas->GetHandle();
  {
    TMemoryDC dc(nullptr, work.GetHandle());
    ::BitBlt(dc.Get(), 0, 0, w, workHeight, dst, r.Left, r.Top, SRCCOPY);
  }
  const TlxBackgroundView noBackground;
  if (w == GetWidth() && h == GetHeight()) {
    ::GdiFlush();
    CopyWithAlpha(Rect(0, 0, w, h), Rect(0, 0, w, h), work.View(), FReflected, 0, clNoneTint, false,
                  noBackground, View32());
  } else {
    // Colour and alpha are stretched apart (GDI drops alpha when stretching), the same way, and
    // joined again before the blend.
    TlxDibSection scaled(w, h), alphaOf(GetWidth(), GetHeight()), alphaScaled(w, h);
    if (!scaled.GetHandle() || !alphaOf.GetHandle() || !alphaScaled.GetHandle()) return;
    const TlxPixelBuffer self = View32();
    for (int y = 0; y < self.Height; ++y)
      for (int x = 0; x < self.Width; ++x) {
        const std::uint32_t a = GetPix(self, x, y) >> 24;
        SetPix(alphaOf.View(), x, y, a | (a << 8) | (a << 16));
      }
    HDC src = Canvas()->GetHandle();
    TMemoryDC scaledDC(nullptr, scaled.GetHandle()), alphaDC(nullptr, alphaOf.GetHandle()),
        alphaScaledDC(nullptr, alphaScaled.GetHandle());
    ::SetStretchBltMode(scaledDC.Get(), COLORONCOLOR);
    ::SetStretchBltMode(alphaScaledDC.Get(), COLORONCOLOR);
    ::StretchBlt(scaledDC.Get(), 0, 0, w, h, src, 0, 0, GetWidth(), GetHeight(), SRCCOPY);
    ::StretchBlt(alphaScaledDC.Get(), 0, 0, w, h, alphaDC.Get(), 0, 0, GetWidth(), GetHeight(), SRCCOPY);
    ::GdiFlush();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        SetPix(scaled.View(), x, y,
               (GetPix(scaled.View(), x, y) & 0xFFFFFF) | ((GetPix(alphaScaled.View(), x, y) & 0xFF) << 24));
    CopyWithAlpha(Rect(0, 0, w, h), Rect(0, 0, w, h), work.View(), false, 0, clNoneTint, false,
                  noBackground, scaled.View());
  }
  TMemoryDC dc(nullptr, work.GetHandle());
  ::BitBlt(dst, r.Left, r.Top, w, workHeight, dc.Get(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Icons

namespace {
// A monochrome mask bitmap (1 = transparent) from a per-pixel test, rows padded to 16 bits as
// CreateBitmap wants them.
template <class F>
TOwnedBitmap MakeMask(int w, int h, F transparent) {
  const int stride = ((w + 15) / 16) * 2;
  std::vector<std::uint8_t> bits(std::size_t(stride) * std::size_t(h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (transparent(x, y)) bits[std::size_t(y) * stride + std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
  return TOwnedBitmap(::CreateBitmap(w, h, 1, 1, bits.data()));
}

// The icon copies both bitmaps: they stay with their owners.
TOwnedIcon IconOf(HBITMAP color, const TOwnedBitmap& mask) {
  if (!mask) return {};
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask.Get();
  return TOwnedIcon(::CreateIconIndirect(&info));
}
}  // namespace

TOwnedIcon TPNGGraphic::MakeIcon(bool keyByCorner) {
  if (Empty()) return {};
  const int w = GetWidth(), h = GetHeight();
  TOwnedBitmap mask;
  if (keyByCorner || GetPixelFormat() != TPixelFormat::pf32bit) {
    SetPixelFormat(TPixelFormat::pf32bit);
    const TlxPixelBuffer v = View32();
    const std::uint32_t corner = GetPix(v, 0, 0);
    mask = MakeMask(w, h, [&](int x, int y) { return GetPix(v, x, y) == corner; });
  } else {
    mask = MakeMask(w, h, [](int, int) { return false; });
  }
  return IconOf(GetHandle(), mask);
}

TOwnedIcon BitmapToIcon(TBitmap* bitmap, TColor background) {
  if (bitmap == nullptr || bitmap->Empty()) return {};
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  TBitmap composed;
  composed.SetPixelFormat(TPixelFormat::pf32bit);
  composed.SetSize(w, h);
  composed.Canvas()->Brush()->SetColor(background);
  composed.Canvas()->FillRect(Rect(0, 0, w, h));
  bitmap->Draw(composed.Canvas(), Rect(0, 0, w, h));
  if (bitmap->GetPixelFormat() != TPixelFormat::pf32bit) {
    bitmap->SetPixelFormat(TPixelFormat::pf32bit);
    const TlxPixelBuffer v = BitmapView(bitmap);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const std::uint32_t p = GetPix(v, x, y) & 0xFFFFFF;
        SetPix(v, x, y, p == KeyPixel ? p : p | 0xFF000000u);
      }
  }
  const TlxPixelBuffer src = BitmapView(bitmap);
  const TlxPixelBuffer out = BitmapView(&composed);
  for (int y = 0; y < h; ++y) std::memcpy(out.Row(y), src.Row(y), std::size_t(w) * 4);
  const TOwnedBitmap mask = MakeMask(w, h, [&](int x, int y) { return (GetPix(src, x, y) >> 24) == 0; });
  return IconOf(composed.GetHandle(), mask);
}

// ---------------------------------------------------------------------------------------------
// Clean-up passes

void ClearTransparentWhite(TBitmap* bitmap) { ClearTransparentWhitePixels(BitmapView(bitmap)); }

void PremultiplyAlpha(TBitmap* bitmap) { PremultiplyAlphaPixels(BitmapView(bitmap)); }

// ---------------------------------------------------------------------------------------------
// Class information and start-up

ORBEX_IMPLEMENT_CLASS(TPNGGraphic, TBitmap, &CreateObjectOf<TPNGGraphic>)

namespace {
int PNGUnitCount = 0;
}

void InitPNGUnit() {
  if (PNGUnitCount++ != 0) return;
  if (FindClassInfo("TPNGGraphic") == nullptr) RegisterClassInfo(&TPNGGraphic::StaticClassInfo());
  TPicture::RegisterFileFormat("png", SPNGDescription, &TPNGGraphic::StaticClassInfo());
}

void DonePNGUnit() {
  if (PNGUnitCount == 0 || --PNGUnitCount != 0) return;
  TPicture::UnregisterGraphicClass(&TPNGGraphic::StaticClassInfo());
}
