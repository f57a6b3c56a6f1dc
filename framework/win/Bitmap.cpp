// TBitmap (declared in Graphics.h): device-independent bitmaps as DIB sections, pixel formats
// and palettes, conversion between formats, the bitmap canvas's DC, and Windows bitmap files
// read and written byte by byte. Each bitmap owns its DIB section, palette and memory DC (see
// Graphics.h); the rest of the graphics unit is in Graphics.cpp.
//
// Sections: DIB sections and pixel formats; Windows bitmap files.
#include "framework/win/Graphics.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/win/GraphicsInternal.h"

using graphics_internal::Le16;
using graphics_internal::Le32;
using graphics_internal::ReadExact;

// ---------------------------------------------------------------------------------------------
// Bitmap: DIB sections, pixel formats

namespace {

int ScreenBits() {
  static const int bits = [] {
    TWindowDC dc(nullptr);
    return dc.Valid() ? ::GetDeviceCaps(dc.Get(), BITSPIXEL) * ::GetDeviceCaps(dc.Get(), PLANES) : 32;
  }();
  return bits;
}

// The DIB header with room for a full colour table (or the three bit-field masks).
struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

std::uint64_t StrideOf(int w, int bits) { return ((static_cast<std::uint64_t>(w) * bits + 31) / 32) * 4; }

void CheckSize(int w, int h, int bits) {
  if (w < 0 || h < 0 || w > MaxBitmapSide || h > MaxBitmapSide)
    throw EInvalidGraphic(Format("Bitmap size %dx%d is not valid", w, h));
  if (StrideOf(w, bits) * static_cast<std::uint64_t>(h) > MaxBitmapBytes)
    throw EInvalidGraphic(Format("Bitmap size %dx%d is too large", w, h));
}

std::uint32_t QuadToPixel(const RGBQUAD& q) {
  return static_cast<std::uint32_t>(q.rgbBlue) | (static_cast<std::uint32_t>(q.rgbGreen) << 8) |
         (static_cast<std::uint32_t>(q.rgbRed) << 16);
}
RGBQUAD PixelToQuad(std::uint32_t p) {
  return RGBQUAD{static_cast<BYTE>(p), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p >> 16), 0};
}

std::vector<RGBQUAD> PaletteEntries(HPALETTE pal) {
  std::vector<RGBQUAD> t;
  if (pal == nullptr) return t;
  WORD n = 0;
  if (::GetObjectA(pal, sizeof(n), &n) == 0 || n == 0) return t;
  std::vector<PALETTEENTRY> e(n);
  n = static_cast<WORD>(::GetPaletteEntries(pal, 0, n, e.data()));
  for (WORD i = 0; i < n; ++i) t.push_back(RGBQUAD{e[i].peBlue, e[i].peGreen, e[i].peRed, 0});
  return t;
}

TOwnedPalette PaletteFromTable(const std::vector<RGBQUAD>& table) {
  std::vector<PALETTEENTRY> e;
  e.reserve(table.size());
  for (const RGBQUAD& q : table) e.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
  return MakePalette(e);
}

// The fallback palettes for a palettised target whose image has too many colours.
std::vector<RGBQUAD> DefaultTable(int bits) {
  std::vector<RGBQUAD> t;
  if (bits == 1) {
    t = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  } else if (bits == 4) {
    static const std::uint32_t vga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                          0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                          0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};   // as BGR pixels
    for (std::uint32_t v : vga) t.push_back(PixelToQuad(v));
  } else {
    TWindowDC dc(nullptr);
    TOwnedPalette half(::CreateHalftonePalette(dc.Get()));
    t = PaletteEntries(half.Get());
    if (t.empty()) {   // a 6x6x6 cube when the system gives none
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            t.push_back(RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(r * 51), 0});
    }
    if (t.size() > 256) t.resize(256);
  }
  return t;
}

int NearestIndex(const std::vector<RGBQUAD>& table, std::uint32_t p) {
  int best = 0;
  long bestD = LONG_MAX;
  int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  for (size_t i = 0; i < table.size(); ++i) {
    long dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
    long d = dr * dr + dg * dg + db * db;
    if (d < bestD) {
      bestD = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
std::uint8_t Expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

}  // namespace

TOwnedPalette MakePalette(std::span<const PALETTEENTRY> entries) {
  if (entries.empty() || entries.size() > 0xFFFF) return {};
  std::vector<std::uint8_t> buf(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(entries.size());
  std::memcpy(buf.data() + offsetof(LOGPALETTE, palPalEntry), entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return TOwnedPalette(::CreatePalette(lp));
}

int PixelFormatBits(TPixelFormat pf) {
  switch (pf) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    default: return 0;
  }
}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  if (FDC) return;
  TMemoryDC dc;
  if (!dc.Valid()) {
    const DWORD code = ::GetLastError();
    RaiseWin32Error<EOutOfResources>("CreateCompatibleDC", code);
  }
  if (HBITMAP bmp = FBitmap->FHandle.Get()) dc.Select(bmp);
  if (HPALETTE pal = FBitmap->GetPalette()) dc.SelectPalette(pal, true);
  FDC.emplace(std::move(dc));
  SetHandle(FDC->Get());
}

void TBitmapCanvas::FreeContext() {
  if (!FDC) return;
  SetHandle(nullptr);
  FDC.reset();
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { FreeContext(); }

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->OnChange = [this](TObject* s) { Changed(s); };
  }
  return FCanvas.get();
}

TPixelFormat TBitmap::StoredFormat() const {
  if (FPixelFormat != TPixelFormat::pfDevice) return FPixelFormat;
  switch (ScreenBits()) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 15: return TPixelFormat::pf15bit;
    case 16: return TPixelFormat::pf16bit;
    case 24: return TPixelFormat::pf24bit;
    default: return TPixelFormat::pf32bit;
  }
}

TBitmapHandleType TBitmap::GetHandleType() const {
  return FPixelFormat == TPixelFormat::pfDevice ? TBitmapHandleType::bmDDB : TBitmapHandleType::bmDIB;
}

void TBitmap::SetHandleType(TBitmapHandleType t) {
  // The storage is a DIB section either way; only the reported format changes.
  if (t == TBitmapHandleType::bmDIB && FPixelFormat == TPixelFormat::pfDevice) FPixelFormat = StoredFormat();
  else if (t == TBitmapHandleType::bmDDB && FPixelFormat != TPixelFormat::pfDevice) SetPixelFormat(TPixelFormat::pfDevice);
}

int TBitmap::RowStride() const { return static_cast<int>(StrideOf(FWidth, PixelFormatBits(StoredFormat()))); }

std::uint8_t* TBitmap::RowPtr(int y) const {
  return static_cast<std::uint8_t*>(FBits) + static_cast<std::ptrdiff_t>(FHeight - 1 - y) * RowStride();
}

void TBitmap::NewDIB(TPixelFormat pf, int w, int h, std::vector<RGBQUAD> table) {
  TPixelFormat saved = FPixelFormat;
  FPixelFormat = pf;
  TPixelFormat stored = StoredFormat();
  FPixelFormat = saved;
  int bits = PixelFormatBits(stored);
  CheckSize(w, h, bits);
  if (bits > 8) table.clear();
  else table.resize(static_cast<size_t>(1) << bits, RGBQUAD{0, 0, 0, 0});

  TOwnedBitmap bmp;
  void* pixels = nullptr;
  if (w > 0 && h > 0) {
    TBitmapInfo256 bi{};
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = w;
    bi.Header.biHeight = h;   // bottom-up, as bitmap files store rows
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = static_cast<WORD>(bits);
    bi.Header.biCompression = BI_RGB;
    if (stored == TPixelFormat::pf16bit) {
      bi.Header.biCompression = BI_BITFIELDS;
      const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(bi.Colors, masks, sizeof(masks));
    }
    for (size_t i = 0; i < table.size(); ++i) bi.Colors[i] = table[i];
    bi.Header.biClrUsed = static_cast<DWORD>(table.size());
    bmp.Reset(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bmp.Valid() || pixels == nullptr) {
      const DWORD code = ::GetLastError();
      RaiseWin32Error<EOutOfResources>(Format("CreateDIBSection %dx%d", w, h), code);
    }
    std::memset(pixels, 0, static_cast<size_t>(StrideOf(w, bits) * static_cast<std::uint64_t>(h)));
  }
  FreeContext();
  FHandle = std::move(bmp);
  FBits = pixels;
  FWidth = w;
  FHeight = h;
  FPixelFormat = pf;
  FTable = std::move(table);
}

HBITMAP TBitmap::GetHandle() {
  // A bitmap can be selected into one DC only: let the canvas go so that the caller may select
  // it elsewhere. A locked canvas keeps its DC (someone is drawing through it).
  if (FCanvas && FCanvas->LockCount() == 0) FreeContext();
  return FHandle.Get();
}

void TBitmap::FreeImage() {
  FreeContext();
  FHandle.Reset();
  FPalette.Reset();
  FBits = nullptr;
  FWidth = FHeight = 0;
  FTable.clear();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  HBITMAP h = FHandle.Release();
  FBits = nullptr;
  FWidth = FHeight = 0;
  FTable.clear();
  Changed(this);
  return h;
}

void TBitmap::SetHandle(HBITMAP bmp) {
  if (bmp == FHandle.Get()) return;
  TOwnedBitmap owned(bmp);
  if (bmp == nullptr) {
    FreeImage();
    Changed(this);
    return;
  }
  DIBSECTION ds{};
  int got = ::GetObjectA(bmp, sizeof(ds), &ds);
  if (got == 0) throw EInvalidGraphic("Bitmap handle is not valid");
  bool adopt = got == sizeof(DIBSECTION) && ds.dsBmih.biHeight > 0 && ds.dsBm.bmBits != nullptr &&
               ((ds.dsBmih.biCompression == BI_RGB && ds.dsBmih.biBitCount != 16) ||
                (ds.dsBmih.biBitCount == 16 && ds.dsBmih.biCompression == BI_RGB) ||
                (ds.dsBmih.biBitCount == 16 && ds.dsBmih.biCompression == BI_BITFIELDS &&
                 ds.dsBitfields[0] == 0xF800 && ds.dsBitfields[1] == 0x07E0 && ds.dsBitfields[2] == 0x001F));
  int w = ds.dsBm.bmWidth, h = ds.dsBm.bmHeight;
  if (adopt) {
    TPixelFormat pf = TPixelFormat::pf32bit;
    switch (ds.dsBmih.biBitCount) {
      case 1: pf = TPixelFormat::pf1bit; break;
      case 4: pf = TPixelFormat::pf4bit; break;
      case 8: pf = TPixelFormat::pf8bit; break;
      case 16: pf = ds.dsBmih.biCompression == BI_RGB ? TPixelFormat::pf15bit : TPixelFormat::pf16bit; break;
      case 24: pf = TPixelFormat::pf24bit; break;
      default: pf = TPixelFormat::pf32bit; break;
    }
    std::vector<RGBQUAD> table;
    if (ds.dsBmih.biBitCount <= 8) {
      table.resize(static_cast<size_t>(1) << ds.dsBmih.biBitCount);
      TMemoryDC dc(nullptr, bmp);
      ::GetDIBColorTable(dc.Get(), 0, static_cast<UINT>(table.size()), table.data());
    }
    FreeContext();
    FPalette.Reset();
    FHandle = std::move(owned);
    FBits = ds.dsBm.bmBits;
    FWidth = w;
    FHeight = h;
    FPixelFormat = pf;
    FTable = std::move(table);
    if (pf == TPixelFormat::pf8bit || pf == TPixelFormat::pf4bit || pf == TPixelFormat::pf1bit)
      FPalette = PaletteFromTable(FTable);
  } else {
    // A device bitmap (or an unusual DIB): copy it as 32-bit pixels into our own DIB section.
    NewDIB(TPixelFormat::pf32bit, w, h < 0 ? -h : h, {});
    BITMAPINFOHEADER bh{};
    bh.biSize = sizeof(bh);
    bh.biWidth = FWidth;
    bh.biHeight = FHeight;
    bh.biPlanes = 1;
    bh.biBitCount = 32;
    bh.biCompression = BI_RGB;
    TWindowDC screen(nullptr);
    if (FWidth > 0 && FHeight > 0)
      ::GetDIBits(screen.Get(), bmp, 0, static_cast<UINT>(FHeight), FBits, reinterpret_cast<BITMAPINFO*>(&bh), DIB_RGB_COLORS);
    FPalette.Reset();
  }
  Changed(this);
}

void TBitmap::SetSize(int w, int h) {
  if (w == FWidth && h == FHeight) return;
  TPixelFormat pf = FPixelFormat;
  int bits = PixelFormatBits(StoredFormat());
  CheckSize(w, h, bits);
  // Keep the overlapping top-left part: rows are copied from the top, whole bytes.
  std::vector<std::uint8_t> keep;
  int oldW = FWidth, oldH = FHeight;
  size_t oldStride = static_cast<size_t>(StrideOf(oldW, bits));
  if (FBits != nullptr) {
    ::GdiFlush();
    keep.assign(static_cast<std::uint8_t*>(FBits), static_cast<std::uint8_t*>(FBits) + oldStride * static_cast<size_t>(oldH));
  }
  std::vector<RGBQUAD> table = FTable;
  NewDIB(pf, w, h, table);
  if (!keep.empty() && FBits != nullptr) {
    size_t rowBytes = static_cast<size_t>((static_cast<std::uint64_t>(std::min(oldW, w)) * bits + 7) / 8);
    int rows = std::min(oldH, h);
    for (int y = 0; y < rows; ++y)
      std::memcpy(RowPtr(y), keep.data() + static_cast<size_t>(oldH - 1 - y) * oldStride, rowBytes);
  }
  Changed(this);
}

void* TBitmap::ScanLine(int y) {
  if (FBits == nullptr || y < 0 || y >= FHeight)
    throw EInvalidGraphic(Format("Scan line index out of range (%d)", y));
  if (FPixelFormat == TPixelFormat::pfDevice) FPixelFormat = StoredFormat();
  ::GdiFlush();   // GDI may still be drawing into the section
  return RowPtr(y);
}

std::vector<std::uint32_t> TBitmap::ReadPixels32() const {
  std::vector<std::uint32_t> px(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight));
  if (FBits == nullptr) return px;
  ::GdiFlush();
  for (int y = 0; y < FHeight; ++y) DecodeRow(y, px.data() + static_cast<size_t>(y) * FWidth);
  return px;
}

void TBitmap::DecodeRow(int y, std::uint32_t* out) const {
  TPixelFormat pf = StoredFormat();
  int bits = PixelFormatBits(pf);
  {
    const std::uint8_t* row = RowPtr(y);
    for (int x = 0; x < FWidth; ++x) {
      std::uint32_t v = 0;
      if (bits <= 8) {
        unsigned idx = bits == 8 ? row[x]
                       : bits == 4 ? (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0xF
                                   : (row[x / 8] >> (7 - (x & 7))) & 1;
        v = idx < FTable.size() ? QuadToPixel(FTable[idx]) : 0;
      } else if (bits == 16) {
        unsigned w16 = row[x * 2] | (row[x * 2 + 1] << 8);
        if (pf == TPixelFormat::pf15bit)
          v = Expand5(w16 & 0x1F) | (Expand5((w16 >> 5) & 0x1F) << 8) | (static_cast<std::uint32_t>(Expand5((w16 >> 10) & 0x1F)) << 16);
        else
          v = Expand5(w16 & 0x1F) | (Expand6((w16 >> 5) & 0x3F) << 8) | (static_cast<std::uint32_t>(Expand5((w16 >> 11) & 0x1F)) << 16);
      } else if (bits == 24) {
        v = row[x * 3] | (row[x * 3 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
      } else {
        std::memcpy(&v, row + x * 4, 4);
      }
      out[x] = v;
    }
  }
}

void TBitmap::WritePixels32(const std::vector<std::uint32_t>& px) {
  if (FBits == nullptr) return;
  TPixelFormat pf = StoredFormat();
  int bits = PixelFormatBits(pf);
  std::unordered_map<std::uint32_t, int> nearest;
  for (int y = 0; y < FHeight; ++y) {
    std::uint8_t* row = RowPtr(y);
    const std::uint32_t* in = px.data() + static_cast<size_t>(y) * FWidth;
    std::memset(row, 0, static_cast<size_t>(RowStride()));
    for (int x = 0; x < FWidth; ++x) {
      std::uint32_t v = in[x];
      if (bits <= 8) {
        std::uint32_t key = v & 0xFFFFFF;
        auto it = nearest.find(key);
        int idx = it != nearest.end() ? it->second : (nearest[key] = NearestIndex(FTable, key));
        if (bits == 8) row[x] = static_cast<std::uint8_t>(idx);
        else if (bits == 4) row[x / 2] |= static_cast<std::uint8_t>(idx << ((x & 1) ? 0 : 4));
        else row[x / 8] |= static_cast<std::uint8_t>((idx & 1) << (7 - (x & 7)));
      } else if (bits == 16) {
        unsigned r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
        unsigned w16 = pf == TPixelFormat::pf15bit ? ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                                                   : ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        row[x * 2] = static_cast<std::uint8_t>(w16);
        row[x * 2 + 1] = static_cast<std::uint8_t>(w16 >> 8);
      } else if (bits == 24) {
        row[x * 3] = static_cast<std::uint8_t>(v);
        row[x * 3 + 1] = static_cast<std::uint8_t>(v >> 8);
        row[x * 3 + 2] = static_cast<std::uint8_t>(v >> 16);
      } else {
        std::memcpy(row + x * 4, &v, 4);
      }
    }
  }
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
  if (pf == TPixelFormat::pfCustom) throw EInvalidGraphic("Custom pixel formats cannot be set");
  if (pf == FPixelFormat) return;
  if (FPixelFormat == TPixelFormat::pfDevice && pf == StoredFormat()) {   // same storage
    FPixelFormat = pf;
    Changed(this);
    return;
  }
  TPixelFormat saved = FPixelFormat;
  FPixelFormat = pf;
  int bits = PixelFormatBits(StoredFormat());
  FPixelFormat = saved;
  std::vector<std::uint32_t> px = ReadPixels32();
  std::vector<RGBQUAD> table;
  if (bits <= 8) {
    size_t cap = static_cast<size_t>(1) << bits;
    std::vector<RGBQUAD> own = PaletteEntries(FPalette.Get());
    if (!own.empty() && own.size() <= cap) {
      table = own;
    } else {
      // The image's own colours when they fit: a few-colour picture stays exact.
      std::vector<std::uint32_t> distinct;
      std::unordered_map<std::uint32_t, bool> seen;
      for (std::uint32_t p : px) {
        std::uint32_t k = p & 0xFFFFFF;
        if (seen.emplace(k, true).second) {
          distinct.push_back(k);
          if (distinct.size() > cap) break;
        }
      }
      if (distinct.empty()) {
        table = DefaultTable(bits);   // no pixels yet: a useful palette, not all black
      } else if (distinct.size() <= cap) {
        std::sort(distinct.begin(), distinct.end());
        for (std::uint32_t k : distinct) table.push_back(PixelToQuad(k));
      } else {
        table = DefaultTable(bits);
      }
    }
  }
  NewDIB(pf, FWidth, FHeight, table);
  WritePixels32(px);
  FPalette = bits <= 8 ? PaletteFromTable(table) : TOwnedPalette();
  Changed(this);
}

void TBitmap::SetTable(std::vector<RGBQUAD> table) {
  int bits = PixelFormatBits(StoredFormat());
  if (bits > 8) return;
  table.resize(static_cast<size_t>(1) << bits, RGBQUAD{0, 0, 0, 0});
  FTable = table;
  if (!FHandle.Valid()) return;
  if (FCanvas && FCanvas->HandleAllocated()) {
    ::SetDIBColorTable(FCanvas->GetHandle(), 0, static_cast<UINT>(FTable.size()), FTable.data());
  } else {
    TMemoryDC dc(nullptr, FHandle.Get());
    ::SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(FTable.size()), FTable.data());
  }
}

void TBitmap::SetPalette(HPALETTE pal) {
  if (pal == FPalette.Get()) return;
  FreeContext();   // the canvas DC has the old palette selected
  FPalette.Reset(pal);
  std::vector<RGBQUAD> entries = PaletteEntries(pal);
  if (!entries.empty()) SetTable(entries);
  Changed(this);
}

HPALETTE TBitmap::ReleasePalette() {
  FreeContext();
  return FPalette.Release();
}

std::vector<RGBQUAD> TBitmap::ColorTable() const { return FTable; }

TColor TBitmap::GetTransparentColor() {
  if (FTransparentMode == TTransparentMode::tmFixed) return FTransparentColor;
  if (FBits == nullptr) return clDefault;
  // The bottom-left pixel, read from the section without the canvas.
  ::GdiFlush();
  std::vector<std::uint32_t> row(static_cast<size_t>(FWidth));
  DecodeRow(FHeight - 1, row.data());
  std::uint32_t p = row[0];
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

void TBitmap::SetTransparentColor(TColor c) {
  FTransparentColor = c;
  FTransparentMode = c == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
  if (SetAndCheck(FTransparentMode, m)) Changed(this);
}

void TBitmap::Changed(TObject* sender) { Inherited::Changed(sender); }

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || canvas == nullptr) return;
  HDC dst = canvas->GetHandle();
  HDC src = Canvas()->GetHandle();
  TSelectPalette pal(dst, FPalette.Get(), true);
  if (FTransparent) {
    COLORREF key = static_cast<COLORREF>(ColorToRGB(GetTransparentColor()) & 0xFFFFFF);
    ::TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, key);
  } else {
    int oldMode = ::SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, canvas->CopyMode);
    ::SetStretchBltMode(dst, oldMode);
  }
}

void TBitmap::Assign(TPersistent* source) {
  if (source == nullptr) {
    FreeImage();
    Changed(this);
    return;
  }
  if (TBitmap* b = As<TBitmap>(source)) {
    if (b == this) return;
    ::GdiFlush();
    NewDIB(b->FPixelFormat, b->FWidth, b->FHeight, b->FTable);
    if (FBits != nullptr && b->FBits != nullptr)
      std::memcpy(FBits, b->FBits, static_cast<size_t>(RowStride()) * static_cast<size_t>(FHeight));
    FPalette = b->FPalette.Valid() ? PaletteFromTable(PaletteEntries(b->FPalette.Get())) : TOwnedPalette();
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed(this);
    return;
  }
  Inherited::Assign(source);
}

void TBitmap::AssignTo(TPersistent* dest) { Inherited::AssignTo(dest); }

// ---------------------------------------------------------------------------------------------
// Bitmap: Windows bitmap files. Every field is read byte by byte, little-endian; every size is
// checked before memory is given to it.

namespace graphics_internal {

void ReadExact(TStream& s, void* buf, std::uint64_t n) {
  if (n == 0) return;
  if (s.Read(buf, static_cast<std::int64_t>(n)) != static_cast<std::int64_t>(n))
    throw EInvalidGraphic("Bitmap image is truncated");
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace graphics_internal

namespace {

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}

// Value of one bit-field channel scaled to 0..255.
unsigned MaskChannel(std::uint32_t v, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  std::uint32_t m = mask >> shift;
  std::uint32_t x = (v & mask) >> shift;
  return static_cast<unsigned>((static_cast<std::uint64_t>(x) * 255 + m / 2) / m);
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
  FreeImage();
  try {
    ReadBMP(stream);
  } catch (...) {
    FreeImage();
    Changed(this);
    throw;
  }
  Changed(this);
}

namespace {

// What the headers of a bitmap file say, checked.
struct TBmpHeader {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int BitCount = 0;
  bool Core = false;            // OS/2 header: 3-byte colour entries
  std::uint32_t ClrUsed = 0;
  std::uint32_t Masks[3] = {0, 0, 0};
  bool Bitfields = false;
  std::uint32_t OffBits = 0;
  std::uint64_t Consumed = 0;   // bytes read so far
};

const char* const kBadBitmap = "Bitmap image is not valid";

// Reads the file header, the info header and the bit-field masks.
TBmpHeader ReadBmpHeader(TStream& stream) {
  TBmpHeader h;
  std::uint8_t fh[14];
  ReadExact(stream, fh, sizeof(fh));
  if (fh[0] != 'B' || fh[1] != 'M') throw EInvalidGraphic(kBadBitmap);
  h.OffBits = Le32(fh + 10);
  std::uint8_t ih[124] = {};
  ReadExact(stream, ih, 4);
  std::uint32_t hsize = Le32(ih);
  if (hsize != 12 && hsize != 40 && hsize != 52 && hsize != 56 && hsize != 64 && hsize != 108 && hsize != 124)
    throw EInvalidGraphic(kBadBitmap);
  ReadExact(stream, ih + 4, hsize - 4);
  h.Consumed = 14 + hsize;
  std::int64_t w, ht;
  std::uint32_t compression = BI_RGB;
  h.Core = hsize == 12;
  if (h.Core) {
    w = Le16(ih + 4);
    ht = static_cast<std::int16_t>(Le16(ih + 6));
    if (Le16(ih + 8) != 1) throw EInvalidGraphic(kBadBitmap);
    h.BitCount = Le16(ih + 10);
  } else {
    w = static_cast<std::int32_t>(Le32(ih + 4));
    ht = static_cast<std::int32_t>(Le32(ih + 8));
    if (Le16(ih + 12) != 1) throw EInvalidGraphic(kBadBitmap);
    h.BitCount = Le16(ih + 14);
    compression = Le32(ih + 16);
    h.ClrUsed = Le32(ih + 32);
  }
  h.TopDown = ht < 0;
  if (h.TopDown) ht = -ht;
  if (w < 0 || w > MaxBitmapSide || ht > MaxBitmapSide)
    throw EInvalidGraphic(Format("Bitmap size %lldx%lld is not valid", static_cast<long long>(w), static_cast<long long>(ht)));
  h.Width = static_cast<int>(w);
  h.Height = static_cast<int>(ht);
  int bc = h.BitCount;
  if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
    throw EInvalidGraphic(Format("Bitmaps of %d bits per pixel are not supported", bc));
  if (compression == BI_BITFIELDS) {
    if (bc != 16 && bc != 32) throw EInvalidGraphic(kBadBitmap);
    h.Bitfields = true;
    if (hsize == 40) {   // the masks follow the header
      std::uint8_t m[12];
      ReadExact(stream, m, 12);
      h.Consumed += 12;
      for (int i = 0; i < 3; ++i) h.Masks[i] = Le32(m + 4 * i);
    } else {
      for (int i = 0; i < 3; ++i) h.Masks[i] = Le32(ih + 40 + 4 * i);
    }
  } else if (compression != BI_RGB) {
    throw EInvalidGraphic("Compressed bitmaps are not supported");
  } else if (bc == 16) {
    h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
  } else if (bc == 32) {
    h.Masks[0] = 0xFF0000, h.Masks[1] = 0xFF00, h.Masks[2] = 0xFF;
  }
  return h;
}

// Reads the colour table of a palettised file and skips to the pixel data.
std::vector<RGBQUAD> ReadBmpTable(TStream& stream, TBmpHeader& h) {
  std::vector<RGBQUAD> table;
  if (h.BitCount <= 8) {
    std::uint32_t cap = 1u << h.BitCount;
    std::uint32_t n = h.ClrUsed == 0 ? cap : h.ClrUsed;
    if (n > 256) throw EInvalidGraphic(kBadBitmap);
    int entry = h.Core ? 3 : 4;
    std::vector<std::uint8_t> raw(static_cast<size_t>(n) * entry);
    ReadExact(stream, raw.data(), raw.size());
    h.Consumed += raw.size();
    for (std::uint32_t i = 0; i < n && i < cap; ++i)
      table.push_back(RGBQUAD{raw[i * entry], raw[i * entry + 1], raw[i * entry + 2], 0});
  }
  // A table of a direct-colour file lies in the gap and is skipped with it.
  if (h.OffBits < h.Consumed) {
    if (h.OffBits != 0) throw EInvalidGraphic(kBadBitmap);
    return table;
  }
  std::uint64_t gap = h.OffBits - h.Consumed;
  if (gap > MaxBitmapBytes) throw EInvalidGraphic(kBadBitmap);
  std::vector<std::uint8_t> skip(static_cast<size_t>(std::min<std::uint64_t>(gap, 65536)));
  while (gap > 0) {
    std::uint64_t n = std::min<std::uint64_t>(gap, skip.size());
    ReadExact(stream, skip.data(), n);
    gap -= n;
  }
  return table;
}

// The framework format a file's pixels are kept in; false in `direct` when each pixel must be
// decoded through its bit-field masks.
TPixelFormat BmpPixelFormat(const TBmpHeader& h, bool& direct) {
  direct = true;
  const std::uint32_t* m = h.Masks;
  switch (h.BitCount) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 16:
      if (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F) return TPixelFormat::pf15bit;
      if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F) return TPixelFormat::pf16bit;
      direct = false;
      return TPixelFormat::pf32bit;
    case 24: return TPixelFormat::pf24bit;
    default:
      direct = m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;
      return TPixelFormat::pf32bit;
  }
}

}  // namespace

void TBitmap::ReadBMP(TStream& stream) {
  TBmpHeader h = ReadBmpHeader(stream);
  std::vector<RGBQUAD> table = ReadBmpTable(stream, h);
  std::uint64_t stride = StrideOf(h.Width, h.BitCount);
  if (stride * static_cast<std::uint64_t>(h.Height) > MaxBitmapBytes) throw EInvalidGraphic("Bitmap image is too large");
  std::vector<std::uint8_t> data(static_cast<size_t>(stride * static_cast<std::uint64_t>(h.Height)));
  ReadExact(stream, data.data(), data.size());
  auto fileRow = [&](int y) {   // row y from the top
    return data.data() + static_cast<size_t>(h.TopDown ? y : (h.Height - 1 - y)) * static_cast<size_t>(stride);
  };
  bool direct = true;
  TPixelFormat pf = BmpPixelFormat(h, direct);
  NewDIB(pf, h.Width, h.Height, table);
  if (h.BitCount <= 8) FPalette = PaletteFromTable(table.empty() ? FTable : table);
  if (FBits == nullptr) return;
  for (int y = 0; y < FHeight; ++y) {
    const std::uint8_t* in = fileRow(y);
    std::uint8_t* out = RowPtr(y);
    if (direct) {
      std::memcpy(out, in, static_cast<size_t>(stride));
      continue;
    }
    for (int x = 0; x < FWidth; ++x) {
      std::uint32_t v = h.BitCount == 16 ? Le16(in + 2 * x) : Le32(in + 4 * x);
      out[x * 4] = static_cast<std::uint8_t>(MaskChannel(v, h.Masks[2]));
      out[x * 4 + 1] = static_cast<std::uint8_t>(MaskChannel(v, h.Masks[1]));
      out[x * 4 + 2] = static_cast<std::uint8_t>(MaskChannel(v, h.Masks[0]));
      out[x * 4 + 3] = 0;
    }
  }
}

void TBitmap::SaveToStream(TStream& stream) {
  ::GdiFlush();
  TPixelFormat pf = StoredFormat();
  int bits = FBits != nullptr ? PixelFormatBits(pf) : 24;
  std::uint64_t stride = StrideOf(FWidth, bits);
  std::uint64_t dataSize = stride * static_cast<std::uint64_t>(FHeight);
  std::uint32_t tableBytes = bits <= 8 ? (4u << bits) : (pf == TPixelFormat::pf16bit ? 12u : 0u);
  std::uint32_t offBits = 14 + 40 + tableBytes;
  std::vector<std::uint8_t> head;
  head.push_back('B');
  head.push_back('M');
  Put32(head, static_cast<std::uint32_t>(offBits + dataSize));
  Put32(head, 0);
  Put32(head, offBits);
  Put32(head, 40);
  Put32(head, static_cast<std::uint32_t>(FWidth));
  Put32(head, static_cast<std::uint32_t>(FHeight));   // bottom-up, as stored
  Put16(head, 1);
  Put16(head, static_cast<std::uint16_t>(bits));
  Put32(head, pf == TPixelFormat::pf16bit ? BI_BITFIELDS : BI_RGB);
  Put32(head, static_cast<std::uint32_t>(dataSize));
  Put32(head, 2835);   // 72 dpi
  Put32(head, 2835);
  Put32(head, bits <= 8 ? (1u << bits) : 0);
  Put32(head, 0);
  if (bits <= 8) {
    for (size_t i = 0; i < (static_cast<size_t>(1) << bits); ++i) {
      RGBQUAD q = i < FTable.size() ? FTable[i] : RGBQUAD{0, 0, 0, 0};
      head.push_back(q.rgbBlue);
      head.push_back(q.rgbGreen);
      head.push_back(q.rgbRed);
      head.push_back(0);
    }
  } else if (pf == TPixelFormat::pf16bit) {
    Put32(head, 0xF800);
    Put32(head, 0x07E0);
    Put32(head, 0x001F);
  }
  stream.WriteBuffer(head.data(), static_cast<std::int64_t>(head.size()));
  if (FBits != nullptr) stream.WriteBuffer(FBits, static_cast<std::int64_t>(dataSize));
}
