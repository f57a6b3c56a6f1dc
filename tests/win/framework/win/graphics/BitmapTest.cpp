// Bitmaps: scan lines of the bottom-up DIB section, pixel-format conversion, 8-bit bitmaps with
// a palette saved as Windows bitmap files (checked byte by byte and by the system's own
// reader), reading malformed files, pictures and the format registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/Graphics.h"
#include "framework/win/Jpeg.h"
#include "tests/win/framework/win/graphics/GraphicsTestUtil.h"

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& d, size_t at) {
  return d.at(at) | (d.at(at + 1) << 8) | (d.at(at + 2) << 16) | (static_cast<std::uint32_t>(d.at(at + 3)) << 24);
}
std::uint16_t Le16(const std::vector<std::uint8_t>& d, size_t at) {
  return static_cast<std::uint16_t>(d.at(at) | (d.at(at + 1) << 8));
}

std::vector<std::uint8_t> SaveBytes(TGraphic& g) {
  TMemoryStream m;
  g.SaveToStream(m);
  return std::vector<std::uint8_t>(m.Memory(), m.Memory() + m.Size());
}

void LoadBytes(TGraphic& g, const std::vector<std::uint8_t>& d) {
  TReadOnlyMemoryStream s(d.data(), static_cast<std::int64_t>(d.size()));
  g.LoadFromStream(s);
}

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "orbex_fwg_" + std::to_string(::GetCurrentProcessId()) + "_" + name;
}

// A 256-entry palette whose entry i is (i, 255 - i, i * 7 mod 256), built by the
// graphics' own palette builder, for a bitmap to take over.
HPALETTE TestPalette() {
  std::vector<PALETTEENTRY> e(256);
  for (int i = 0; i < 256; ++i)
    e[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
  return MakePalette(e).Release();
}

// A minimal Windows bitmap file in memory, for the reader's edge cases.
std::vector<std::uint8_t> MakeBmp(int w, int h, int bits, std::uint32_t compression, std::uint32_t clrUsed,
                                  const std::vector<std::uint8_t>& tableAndMasks, const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> d;
  auto p32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) d.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto p16 = [&](std::uint16_t v) {
    d.push_back(static_cast<std::uint8_t>(v));
    d.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  std::uint32_t off = 14 + 40 + static_cast<std::uint32_t>(tableAndMasks.size());
  d.push_back('B');
  d.push_back('M');
  p32(off + static_cast<std::uint32_t>(pixels.size()));
  p32(0);
  p32(off);
  p32(40);
  p32(static_cast<std::uint32_t>(w));
  p32(static_cast<std::uint32_t>(h));
  p16(1);
  p16(static_cast<std::uint16_t>(bits));
  p32(compression);
  p32(static_cast<std::uint32_t>(pixels.size()));
  p32(0);
  p32(0);
  p32(clrUsed);
  p32(0);
  d.insert(d.end(), tableAndMasks.begin(), tableAndMasks.end());
  d.insert(d.end(), pixels.begin(), pixels.end());
  return d;
}

}  // namespace

TEST(BitmapScanLines, Pf32RowsAreTopDownOverBottomUpStorage) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(7, 5);
  EXPECT_EQ(b.GetHandleType(), TBitmapHandleType::bmDIB);
  auto* r0 = static_cast<std::uint8_t*>(b.ScanLine(0));
  auto* r1 = static_cast<std::uint8_t*>(b.ScanLine(1));
  EXPECT_EQ(r0 - r1, b.RowStride()) << "bottom-up: row 1 lies one stride below row 0 in memory";
  EXPECT_EQ(b.RowStride(), 28);
  for (int y = 0; y < 5; ++y) {
    auto* row = static_cast<std::uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < 7; ++x) row[x] = static_cast<std::uint32_t>((x * 30) << 16 | (y * 40) << 8 | 0x11);
  }
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      ASSERT_EQ(GdiPixel(b, x, y), RGB(x * 30, y * 40, 0x11)) << x << "," << y;
  // The canvas draws where ScanLine reads.
  b.Canvas()->Brush()->SetColor(0x00123456);
  b.Canvas()->FillRect(Rect(6, 4, 7, 5));
  EXPECT_EQ(static_cast<std::uint32_t*>(b.ScanLine(4))[6] & 0xFFFFFF, 0x563412u);
  EXPECT_THROW(b.ScanLine(5), EInvalidGraphic);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(BitmapScanLines, DeviceFormatBecomesDefiniteOnScanLine) {
  TBitmap b;
  EXPECT_EQ(b.GetPixelFormat(), TPixelFormat::pfDevice);
  EXPECT_EQ(b.GetHandleType(), TBitmapHandleType::bmDDB);
  b.SetSize(3, 3);
  b.ScanLine(0);
  EXPECT_NE(b.GetPixelFormat(), TPixelFormat::pfDevice);
  EXPECT_EQ(b.GetHandleType(), TBitmapHandleType::bmDIB);
}

TEST(BitmapSize, ResizeKeepsTheTopLeftPixels) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  b.SetSize(4, 4);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 2, 2));
  b.SetSize(6, 3);
  EXPECT_EQ(GdiPixel(b, 0, 0), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(b, 1, 1), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(b, 2, 2), static_cast<COLORREF>(clBlack));
  EXPECT_EQ(GdiPixel(b, 5, 2), static_cast<COLORREF>(clBlack));
  EXPECT_THROW(b.SetSize(-1, 3), EInvalidGraphic);
  EXPECT_THROW(b.SetSize(MaxBitmapSide + 1, 1), EInvalidGraphic);
  EXPECT_THROW(b.SetSize(MaxBitmapSide, MaxBitmapSide), EInvalidGraphic) << "beyond the memory limit";
  EXPECT_EQ(b.GetWidth(), 6) << "a refused size leaves the bitmap as it was";
  b.SetSize(0, 0);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.GetHandle(), nullptr);
}

TEST(BitmapFormats, ConversionsKeepOrQuantiseColours) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  b.SetSize(3, 1);
  auto* p = static_cast<std::uint8_t*>(b.ScanLine(0));
  const std::uint8_t px[9] = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF, 0x07, 0x86, 0xF9};   // BGR
  std::memcpy(p, px, 9);

  b.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(Pixel32(b, 0, 0), 0x302010u);
  EXPECT_EQ(Pixel32(b, 2, 0), 0xF98607u);

  b.SetPixelFormat(TPixelFormat::pf16bit);   // 5-6-5, expanded back by bit replication
  b.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(Pixel32(b, 0, 0), 0x312010u);
  EXPECT_EQ(Pixel32(b, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel32(b, 2, 0), 0xFF8600u);

  b.SetPixelFormat(TPixelFormat::pf15bit);
  auto* w = static_cast<std::uint8_t*>(b.ScanLine(0));
  EXPECT_EQ(w[2] | (w[3] << 8), 0x7FFF);
  b.SetPixelFormat(TPixelFormat::pf1bit);
  ASSERT_EQ(b.ColorTable().size(), 2u);
  b.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(Pixel32(b, 1, 0), 0xFFFFFFu);
  EXPECT_THROW(b.SetPixelFormat(TPixelFormat::pfCustom), EInvalidGraphic);
}

// The scope export: a picture of a few colours made 8-bit keeps every colour exactly.
TEST(BitmapFormats, FewColoursBecomeAnExactPalette) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(64, 40);
  b.Canvas()->Brush()->SetColor(clBlack);
  b.Canvas()->FillRect(Rect(0, 0, 64, 40));
  b.Canvas()->Pen()->SetColor(0x565656);
  b.Canvas()->MoveTo(0, 10);
  b.Canvas()->LineTo(64, 10);
  b.Canvas()->Pen()->SetColor(0xD9701F);
  b.Canvas()->MoveTo(0, 30);
  b.Canvas()->LineTo(64, 30);
  b.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_EQ(b.GetPixelFormat(), TPixelFormat::pf8bit);
  ASSERT_NE(b.GetPalette(), nullptr);
  EXPECT_EQ(GdiPixel(b, 5, 10), static_cast<COLORREF>(0x565656));
  EXPECT_EQ(GdiPixel(b, 5, 30), static_cast<COLORREF>(0xD9701F));
  EXPECT_EQ(GdiPixel(b, 5, 20), static_cast<COLORREF>(clBlack));
}

TEST(BitmapFormats, ManyColoursMapToTheNearestHalftoneEntry) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(64, 64);
  for (int y = 0; y < 64; ++y) {
    auto* row = static_cast<std::uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < 64; ++x) row[x] = static_cast<std::uint32_t>((x * 4) << 16 | (y * 4) << 8 | ((x + y) * 2));
  }
  b.SetPixelFormat(TPixelFormat::pf8bit);
  std::vector<RGBQUAD> t = b.ColorTable();
  ASSERT_EQ(t.size(), 256u);
  // Every pixel is its table entry, and no entry lies nearer the original colour.
  int maxErr = 0;
  for (int y = 0; y < 64; y += 7)
    for (int x = 0; x < 64; x += 5) {
      int idx = static_cast<std::uint8_t*>(b.ScanLine(y))[x];
      int r = x * 4, g = y * 4, bl = (x + y) * 2;
      auto d = [&](const RGBQUAD& q) {
        return (q.rgbRed - r) * (q.rgbRed - r) + (q.rgbGreen - g) * (q.rgbGreen - g) + (q.rgbBlue - bl) * (q.rgbBlue - bl);
      };
      for (const RGBQUAD& q : t) ASSERT_LE(d(t[static_cast<size_t>(idx)]), d(q));
      maxErr = std::max(maxErr, d(t[static_cast<size_t>(idx)]));
    }
  EXPECT_LT(maxErr, 3 * 40 * 40);
}

// An 8-bit bitmap with a palette saved as an 8-bit Windows bitmap file: headers, colour table
// and rows checked byte by byte, then read back by the system and by TBitmap.
TEST(BitmapFiles, Pf8WithPaletteSavesAn8BitFile) {
  const int W = 13, H = 7;   // odd width: rows are padded to 16 bytes
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf8bit);
  b.SetSize(W, H);
  b.SetPalette(TestPalette());
  for (int y = 0; y < H; ++y) {
    auto* row = static_cast<std::uint8_t*>(b.ScanLine(y));
    for (int x = 0; x < W; ++x) row[x] = static_cast<std::uint8_t>(x * 17 + y * 31);
  }
  EXPECT_EQ(GdiPixel(b, 1, 0), RGB(17, 255 - 17, (17 * 7) & 0xFF)) << "the palette reached the colour table";
  EXPECT_FALSE(MakePalette({}).Valid()) << "no entries, no palette";

  std::vector<std::uint8_t> d = SaveBytes(b);
  const size_t stride = 16;
  ASSERT_EQ(d.size(), 14u + 40u + 1024u + stride * H);
  EXPECT_EQ(d[0], 'B');
  EXPECT_EQ(d[1], 'M');
  EXPECT_EQ(Le32(d, 2), d.size());
  EXPECT_EQ(Le32(d, 10), 14u + 40u + 1024u);
  EXPECT_EQ(Le32(d, 14), 40u);
  EXPECT_EQ(static_cast<std::int32_t>(Le32(d, 18)), W);
  EXPECT_EQ(static_cast<std::int32_t>(Le32(d, 22)), H);
  EXPECT_EQ(Le16(d, 26), 1);
  EXPECT_EQ(Le16(d, 28), 8);
  EXPECT_EQ(Le32(d, 30), 0u);
  EXPECT_EQ(Le32(d, 46), 256u);
  for (int i = 0; i < 256; ++i) {
    size_t at = 54 + 4 * static_cast<size_t>(i);
    ASSERT_EQ(d[at], static_cast<std::uint8_t>(i * 7)) << i;   // blue
    ASSERT_EQ(d[at + 1], 255 - i) << i;
    ASSERT_EQ(d[at + 2], i) << i;
  }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      size_t at = 14 + 40 + 1024 + stride * static_cast<size_t>(H - 1 - y) + static_cast<size_t>(x);
      ASSERT_EQ(d[at], static_cast<std::uint8_t>(x * 17 + y * 31)) << x << "," << y;
    }

  // The system's reader.
  std::string path = TempPath("pal8.bmp");
  b.SaveToFile(path);
  TOwnedBitmap sys(static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  ASSERT_TRUE(sys.Valid());
  DIBSECTION ds{};
  ASSERT_EQ(::GetObjectA(sys.Get(), sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
  EXPECT_EQ(ds.dsBmih.biBitCount, 8);
  EXPECT_EQ(ds.dsBm.bmWidth, W);
  EXPECT_EQ(ds.dsBm.bmHeight, H);
  {
    TMemoryDC dc(nullptr, sys.Get());
    RGBQUAD table[256];
    ASSERT_EQ(::GetDIBColorTable(dc.Get(), 0, 256, table), 256u);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i].rgbRed, i);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const auto* bits = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
        ASSERT_EQ(bits[static_cast<size_t>(H - 1 - y) * stride + static_cast<size_t>(x)],
                  static_cast<std::uint8_t>(x * 17 + y * 31));
      }
  }
  // And our own reader.
  TBitmap back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.GetPixelFormat(), TPixelFormat::pf8bit);
  ASSERT_NE(back.GetPalette(), nullptr);
  for (int y = 0; y < H; ++y)
    ASSERT_EQ(std::memcmp(back.ScanLine(y), b.ScanLine(y), W), 0) << y;
  EXPECT_EQ(SaveBytes(back), d);
  ::DeleteFileA(path.c_str());
}

TEST(BitmapFiles, EveryOwnFormatRoundTrips) {
  for (TPixelFormat pf : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf15bit,
                          TPixelFormat::pf16bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf32bit);
    b.SetSize(9, 4);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 9, 4));
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->FillRect(Rect(0, 0, 3, 2));
    b.SetPixelFormat(pf);
    std::vector<std::uint8_t> d = SaveBytes(b);
    TBitmap c;
    LoadBytes(c, d);
    EXPECT_EQ(c.GetPixelFormat(), pf) << PixelFormatBits(pf);
    EXPECT_EQ(GdiPixel(c, 0, 0), static_cast<COLORREF>(clBlack)) << PixelFormatBits(pf);
    EXPECT_EQ(GdiPixel(c, 8, 3), static_cast<COLORREF>(clWhite)) << PixelFormatBits(pf);
    EXPECT_EQ(SaveBytes(c), d) << PixelFormatBits(pf);
  }
}

TEST(BitmapFiles, OtherLayoutsAreRead) {
  // Top-down 24-bit, 2 x 2: first stored row is the top.
  std::vector<std::uint8_t> rows = {0, 0, 255, 0, 255, 0, 0, 0,   // red, green, pad
                                    255, 0, 0, 255, 255, 255, 0, 0};
  TBitmap b;
  LoadBytes(b, MakeBmp(2, -2, 24, BI_RGB, 0, {}, rows));
  EXPECT_EQ(GdiPixel(b, 0, 0), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(b, 1, 1), static_cast<COLORREF>(clWhite));

  // 16-bit bit fields 5-6-5.
  std::vector<std::uint8_t> masks = {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  TBitmap c;
  LoadBytes(c, MakeBmp(1, 1, 16, BI_BITFIELDS, 0, masks, {0x00, 0xF8, 0, 0}));
  EXPECT_EQ(c.GetPixelFormat(), TPixelFormat::pf16bit);
  EXPECT_EQ(GdiPixel(c, 0, 0), static_cast<COLORREF>(clRed));

  // 32-bit with unusual masks (red in the low byte) is decoded to ordinary pixels.
  std::vector<std::uint8_t> m32 = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
  TBitmap e;
  LoadBytes(e, MakeBmp(1, 1, 32, BI_BITFIELDS, 0, m32, {0x11, 0x22, 0x33, 0}));
  EXPECT_EQ(Pixel32(e, 0, 0), 0x112233u);

  // 4-bit with a short colour table (2 entries used).
  std::vector<std::uint8_t> t4 = {0, 0, 0, 0, 0, 255, 0, 0};   // black, green
  TBitmap f;
  LoadBytes(f, MakeBmp(2, 1, 4, BI_RGB, 2, t4, {0x10, 0, 0, 0}));
  EXPECT_EQ(GdiPixel(f, 0, 0), static_cast<COLORREF>(clLime));
  EXPECT_EQ(GdiPixel(f, 1, 0), static_cast<COLORREF>(clBlack));

  // An index beyond a short table reads as black, not beyond the table.
  TBitmap g;
  LoadBytes(g, MakeBmp(1, 1, 8, BI_RGB, 1, {0, 0, 255, 0}, {200, 0, 0, 0}));
  EXPECT_EQ(GdiPixel(g, 0, 0), static_cast<COLORREF>(clBlack));
}

TEST(BitmapFiles, MalformedFilesFailCleanly) {
  std::vector<std::uint8_t> good = MakeBmp(2, 2, 24, BI_RGB, 0, {}, std::vector<std::uint8_t>(16, 0x80));
  struct Case {
    const char* What;
    std::vector<std::uint8_t> Data;
  };
  std::vector<Case> cases;
  for (size_t n : {size_t(0), size_t(1), size_t(13), size_t(20), size_t(54), good.size() - 1})
    cases.push_back({"truncated", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n))});
  auto bad = good;
  bad[0] = 'X';
  cases.push_back({"magic", bad});
  bad = good;
  bad[14] = 41;   // header size
  cases.push_back({"header size", bad});
  cases.push_back({"bit count", MakeBmp(2, 2, 7, BI_RGB, 0, {}, std::vector<std::uint8_t>(16))});
  cases.push_back({"rle", MakeBmp(2, 2, 8, BI_RLE8, 0, std::vector<std::uint8_t>(1024), std::vector<std::uint8_t>(16))});
  cases.push_back({"too many colours", MakeBmp(2, 2, 8, BI_RGB, 300, std::vector<std::uint8_t>(1200), std::vector<std::uint8_t>(8))});
  cases.push_back({"huge", MakeBmp(30000, 30000, 32, BI_RGB, 0, {}, std::vector<std::uint8_t>(16))});
  cases.push_back({"negative width", MakeBmp(-5, 2, 24, BI_RGB, 0, {}, std::vector<std::uint8_t>(16))});
  cases.push_back({"wide", MakeBmp(MaxBitmapSide + 1, 1, 1, BI_RGB, 0, std::vector<std::uint8_t>(8), std::vector<std::uint8_t>(16))});
  bad = good;
  bad[26] = 2;   // planes
  cases.push_back({"planes", bad});
  bad = good;
  bad[10] = 20;   // pixel data offset inside the header
  cases.push_back({"offset", bad});

  for (const Case& c : cases) {
    TBitmap b;
    b.SetSize(3, 3);
    EXPECT_THROW(LoadBytes(b, c.Data), EInvalidGraphic) << c.What;
    EXPECT_TRUE(b.Empty()) << c.What;
  }
  TBitmap ok;
  LoadBytes(ok, good);
  EXPECT_EQ(ok.GetWidth(), 2);
}

TEST(BitmapAssign, CopiesAreIndependent) {
  TBitmap a;
  a.SetPixelFormat(TPixelFormat::pf8bit);
  a.SetSize(4, 4);
  a.SetPalette(TestPalette());
  static_cast<std::uint8_t*>(a.ScanLine(2))[3] = 9;
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.GetPixelFormat(), TPixelFormat::pf8bit);
  EXPECT_NE(b.GetHandle(), a.GetHandle());
  EXPECT_NE(b.GetPalette(), a.GetPalette());
  EXPECT_EQ(static_cast<std::uint8_t*>(b.ScanLine(2))[3], 9);
  static_cast<std::uint8_t*>(a.ScanLine(2))[3] = 1;
  EXPECT_EQ(static_cast<std::uint8_t*>(b.ScanLine(2))[3], 9);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(BitmapHandle, ForeignBitmapsAreTakenOver) {
  TWindowDC screen(nullptr);
  HBITMAP ddb = ::CreateCompatibleBitmap(screen.Get(), 5, 3);
  {
    TOwnedBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    TMemoryDC dc(nullptr, ddb);
    RECT r{0, 0, 5, 3};
    ::FillRect(dc.Get(), &r, red.Get());
  }
  TBitmap b;
  b.SetHandle(ddb);
  EXPECT_FALSE(GdiAlive(ddb)) << "a device bitmap is copied, then deleted";
  EXPECT_EQ(b.GetWidth(), 5);
  EXPECT_EQ(b.GetHeight(), 3);
  EXPECT_EQ(Pixel32(b, 4, 2), 0xFF0000u);
  HBITMAP mine = b.ReleaseHandle();
  EXPECT_TRUE(b.Empty());
  EXPECT_TRUE(GdiAlive(mine));
  TBitmap c;
  c.SetHandle(mine);   // a DIB section of our layout is kept as it is
  EXPECT_EQ(c.GetHandle(), mine);
  EXPECT_EQ(Pixel32(c, 0, 0), 0xFF0000u);
}

// ---------------------------------------------------------------------------------------------
// Pictures and formats

namespace {
// A graphic class registered for the test's own extension.
class TTestGraphic : public TBitmap {
  ORBEX_CLASS(TTestGraphic, TBitmap)
public:
  static int Loads;
  void LoadFromStream(TStream& s) override {
    ++Loads;
    TBitmap::LoadFromStream(s);
  }
};
int TTestGraphic::Loads = 0;
}  // namespace
ORBEX_IMPLEMENT_CLASS(TTestGraphic, TBitmap, &CreateObjectOf<TTestGraphic>)

TEST(Picture, LoadsByExtensionThroughTheRegistry) {
  InitGraphicsUnit();
  TBitmap src;
  src.SetPixelFormat(TPixelFormat::pf24bit);
  src.SetSize(3, 2);
  std::string bmp = TempPath("pic.BMP");
  src.SaveToFile(bmp);

  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  p.LoadFromFile(bmp);
  EXPECT_STREQ(p.GetGraphic()->ClassName(), "TBitmap");
  EXPECT_EQ(p.GetWidth(), 3);
  EXPECT_GT(changes, 0);

  EXPECT_EQ(TPicture::FindFileFormat("jpg"), &TJPEGImage::StaticClassInfo());
  EXPECT_EQ(TPicture::FindFileFormat(".JPEG"), &TJPEGImage::StaticClassInfo());
  EXPECT_EQ(TPicture::FindFileFormat("ico"), &TIcon::StaticClassInfo());
  EXPECT_NE(TPicture::GraphicFilter(nullptr).find("*.bmp"), std::string::npos);

  std::string tst = TempPath("pic.tst");
  src.SaveToFile(tst);
  EXPECT_THROW(p.LoadFromFile(tst), EInvalidGraphic) << "unknown extension";
  EXPECT_STREQ(p.GetGraphic()->ClassName(), "TBitmap") << "a failed load keeps the picture";
  TPicture::RegisterFileFormat("tst", "Test pictures", &TTestGraphic::StaticClassInfo());
  p.LoadFromFile(tst);
  EXPECT_STREQ(p.GetGraphic()->ClassName(), "TTestGraphic");
  EXPECT_EQ(TTestGraphic::Loads, 1);
  TPicture::UnregisterGraphicClass(&TTestGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::FindFileFormat("tst"), nullptr);

  std::string broken = TempPath("broken.bmp");
  FILE* f = std::fopen(broken.c_str(), "wb");
  std::fputs("BMnot really", f);
  std::fclose(f);
  EXPECT_THROW(p.LoadFromFile(broken), EInvalidGraphic);
  EXPECT_STREQ(p.GetGraphic()->ClassName(), "TTestGraphic");
  for (const std::string& s : {bmp, tst, broken}) ::DeleteFileA(s.c_str());
}

TEST(Picture, StoredDataNamesTheGraphicClass) {
  InitGraphicsUnit();
  TPicture p;
  TBitmap* b = p.Bitmap();
  b->SetPixelFormat(TPixelFormat::pf24bit);
  b->SetSize(2, 2);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(Rect(0, 0, 2, 2));
  TMemoryStream m;
  p.WriteData(m);
  ASSERT_GT(m.Size(), 8);
  EXPECT_EQ(m.Memory()[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()) + 1, 7), "TBitmap");
  m.SetPosition(0);
  TPicture q;
  q.ReadData(m);
  ASSERT_NE(As<TBitmap>(q.GetGraphic()), nullptr);
  EXPECT_EQ(GdiPixel(*q.Bitmap(), 1, 1), static_cast<COLORREF>(clRed));

  const std::uint8_t unknown[] = {4, 'T', 'X', 'Y', 'Z', 1, 2, 3};
  TReadOnlyMemoryStream u(unknown, sizeof(unknown));
  EXPECT_THROW(q.ReadData(u), EInvalidGraphic);
  RegisterClassOf<TStringList>();
  const std::uint8_t notGraphic[] = {11, 'T', 'S', 't', 'r', 'i', 'n', 'g', 'L', 'i', 's', 't'};
  TReadOnlyMemoryStream ng(notGraphic, sizeof(notGraphic));
  EXPECT_THROW(q.ReadData(ng), EInvalidGraphic) << "a registered class that is no graphic";
  const std::uint8_t empty[] = {0};
  TReadOnlyMemoryStream e(empty, 1);
  q.ReadData(e);
  EXPECT_EQ(q.GetGraphic(), nullptr);

  TPicture r;
  r.Assign(&p);
  EXPECT_NE(r.GetGraphic(), p.GetGraphic());
  EXPECT_EQ(r.GetWidth(), 2);
}

// A bitmap can be selected into one DC only: asking for the handle lets the canvas's DC go,
// unless the canvas is locked.
TEST(BitmapHandle, HandleCanBeSelectedElsewhereAfterCanvasUse) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(4, 4);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 4, 4));
  {
    TMemoryDC dc;
    ASSERT_TRUE(dc.Select(b.GetHandle()));
    EXPECT_EQ(::GetPixel(dc.Get(), 1, 1), static_cast<COLORREF>(clRed));
  }
  b.Canvas()->Lock();
  HDC h = b.Canvas()->GetHandle();
  EXPECT_NE(b.GetHandle(), nullptr);
  EXPECT_EQ(b.Canvas()->GetHandle(), h);
  EXPECT_EQ(::GetPixel(h, 1, 1), static_cast<COLORREF>(clRed));
  b.Canvas()->Unlock();
}

// ---------------------------------------------------------------------------------------------
// Icons

namespace {
// A 16 x 16 32-bit icon file: red, opaque, with a transparent 4 x 4 top-left corner.
std::vector<std::uint8_t> MakeIco() {
  std::vector<std::uint8_t> img;
  auto p32 = [&](std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
  };
  auto p16 = [&](std::vector<std::uint8_t>& v, std::uint16_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
  };
  p32(img, 40);
  p32(img, 16);
  p32(img, 32);   // colour and mask stacked
  p16(img, 1);
  p16(img, 32);
  for (int i = 0; i < 6; ++i) p32(img, 0);
  for (int y = 15; y >= 0; --y)   // bottom-up
    for (int x = 0; x < 16; ++x) p32(img, (x < 4 && y < 4) ? 0x00000000u : 0xFFFF0000u);
  for (int y = 15; y >= 0; --y) {   // AND mask, rows of 4 bytes
    std::uint8_t first = y < 4 ? 0xF0 : 0x00;
    img.push_back(first);
    img.push_back(0);
    img.push_back(0);
    img.push_back(0);
  }
  std::vector<std::uint8_t> f;
  p16(f, 0);
  p16(f, 1);
  p16(f, 1);
  f.push_back(16);
  f.push_back(16);
  f.push_back(0);
  f.push_back(0);
  p16(f, 1);
  p16(f, 32);
  p32(f, static_cast<std::uint32_t>(img.size()));
  p32(f, 22);
  f.insert(f.end(), img.begin(), img.end());
  return f;
}
}  // namespace

TEST(Icon, ReadsDrawsAndSavesAnIconFile) {
  std::vector<std::uint8_t> ico = MakeIco();
  TIcon icon;
  LoadBytes(icon, ico);
  EXPECT_EQ(icon.GetWidth(), 16);
  EXPECT_EQ(icon.GetHeight(), 16);
  ASSERT_NE(icon.GetHandle(), nullptr);
  TBitmap t;
  t.SetPixelFormat(TPixelFormat::pf32bit);
  t.SetSize(20, 20);
  t.Canvas()->Brush()->SetColor(clLime);
  t.Canvas()->FillRect(Rect(0, 0, 20, 20));
  t.Canvas()->Draw(2, 2, &icon);
  EXPECT_EQ(GdiPixel(t, 10, 10), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(t, 3, 3), static_cast<COLORREF>(clLime)) << "the transparent corner";
  EXPECT_EQ(SaveBytes(icon), ico);
  EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);

  TIcon copy;
  copy.Assign(&icon);
  EXPECT_NE(copy.GetHandle(), icon.GetHandle());
  EXPECT_EQ(copy.GetWidth(), 16);

  std::string path = TempPath("i.ico");
  icon.SaveToFile(path);
  TPicture p;
  p.LoadFromFile(path);
  ASSERT_NE(As<TIcon>(p.GetGraphic()), nullptr);
  EXPECT_EQ(p.GetWidth(), 16);
  ::DeleteFileA(path.c_str());

  TIcon fromHandle;
  fromHandle.SetHandle(::CopyIcon(icon.GetHandle()));
  EXPECT_EQ(fromHandle.GetWidth(), 16);
  EXPECT_THROW(SaveBytes(fromHandle), EInvalidGraphic) << "no file data to write";
}

TEST(Icon, MalformedIconFilesFailCleanly) {
  std::vector<std::uint8_t> ico = MakeIco();
  std::vector<std::vector<std::uint8_t>> bad;
  bad.push_back({});
  bad.push_back(std::vector<std::uint8_t>(ico.begin(), ico.begin() + 10));
  auto b = ico;
  b[4] = 0;   // no images
  bad.push_back(b);
  b = ico;
  b[2] = 2;   // a cursor file
  bad.push_back(b);
  b = ico;
  b[18] = 0xFF;   // image offset far beyond the data
  bad.push_back(b);
  b = ico;
  b[4] = 200;   // more entries than the directory holds
  bad.push_back(b);
  for (size_t i = 0; i < bad.size(); ++i) {
    TIcon icon;
    EXPECT_THROW(LoadBytes(icon, bad[i]), EInvalidGraphic) << i;
    EXPECT_TRUE(icon.Empty()) << i;
  }
}
