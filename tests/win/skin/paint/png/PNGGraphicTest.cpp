// TPNGGraphic on GDI, under Wine: the "png" picture format, pictures decoded into bitmaps of
// the right format, drawing with alpha over a coloured background (same size and scaled) read
// back through the bitmap's bits, Windows bitmap data read by the same class, the clean-up
// passes and the icon builders.
#include "skin/paint/win/lxPNGGraphic.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "skin/paint/sAlphaCopy.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"
#include "tests/win/ResourceCount.h"

using namespace pngtest;

namespace {

class PNGGraphicTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    InitGraphicsUnit();
    InitPNGUnit();
  }
  static void TearDownTestSuite() { DonePNGUnit(); }
};

// The pixel at (x, y) of a 32-bit bitmap, blue in the low byte.
std::uint32_t Pixel(TBitmap& b, int x, int y) {
  std::uint32_t v;
  std::memcpy(&v, static_cast<std::uint8_t*>(b.ScanLine(y)) + x * 4, 4);
  return v;
}

// A 2 x 1 RGBA picture: opaque red, then blue at alpha 128.
Bytes RedAndHalfBlue() {
  return File(IHDR(2, 1, 8, 6), {Chunk("IDAT", Deflate(PlainRows({{255, 0, 0, 255, 0, 0, 255, 128}})))});
}

void LoadBytes(TGraphic& g, const Bytes& data) {
  TMemoryStream s;
  s.WriteBuffer(data.data(), std::int64_t(data.size()));
  s.SetPosition(0);
  g.LoadFromStream(s);
}

// One pixel blended the way the painting primitives blend images (weights divide by 256).
std::uint32_t Blended(std::uint32_t destination, std::uint32_t source) {
  TlxImageBuffer d(1, 1), s(1, 1);
  SetPix(d.View(), 0, 0, destination);
  SetPix(s.View(), 0, 0, source);
  CopyWithAlpha(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), d.View(), false, 0, clNoneTint, false,
                TlxBackgroundView{}, s.View());
  return GetPix(d.View(), 0, 0) & 0xFFFFFF;
}

// A green 32-bit canvas to draw on.
void MakeGreen(TBitmap& b, int w, int h) {
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(w, h);
  b.Canvas()->Brush()->SetColor(clLime);
  b.Canvas()->FillRect(Rect(0, 0, w, h));
}

}  // namespace

TEST_F(PNGGraphicTest, PngIsARegisteredPictureFormatLoadedByExtension) {
  EXPECT_EQ(TPicture::FindFileFormat("PNG"), &TPNGGraphic::StaticClassInfo());
  EXPECT_NE(TPicture::GraphicFilter(nullptr).find("Portable network graphics (Quillon) (*.png)|*.png"),
            std::string::npos);
  const Bytes data = RedAndHalfBlue();
  const char* path = "png_graphic_test.png";
  std::FILE* f = std::fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
  TPicture picture;
  std::vector<std::string> messages;
  picture.OnProgress = [&](TObject*, TProgressStage, Byte, bool, const TRect&, const std::string& m) {
    messages.push_back(m);
  };
  picture.LoadFromFile(path);
  std::remove(path);
  auto* png = As<TPNGGraphic>(picture.GetGraphic());
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->GetWidth(), 2);
  EXPECT_EQ(png->GetPixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(Pixel(*png, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*png, 1, 0), 0x800000FFu);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front(), "Preparing...");
}

TEST_F(PNGGraphicTest, DrawBlendsOverTheCanvasAtSizeAndScaled) {
  TPNGGraphic png;
  LoadBytes(png, RedAndHalfBlue());
  TBitmap target;
  MakeGreen(target, 4, 3);
  png.Draw(target.Canvas(), Rect(1, 1, 3, 2));
  const std::uint32_t green = 0x0000FF00u;
  const std::uint32_t red = Blended(green, 0xFFFF0000u);
  const std::uint32_t halfBlue = Blended(green, 0x800000FFu);
  EXPECT_EQ(halfBlue, 0x007F7Fu);   // each channel d + ((s - d) * 128 >> 8)
  EXPECT_EQ(Pixel(target, 1, 1) & 0xFFFFFF, red);
  EXPECT_EQ(Pixel(target, 2, 1) & 0xFFFFFF, halfBlue);
  EXPECT_EQ(Pixel(target, 0, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Pixel(target, 3, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Pixel(target, 1, 0) & 0xFFFFFF, 0x00FF00u);

  TBitmap wide;
  MakeGreen(wide, 4, 2);
  png.Draw(wide.Canvas(), Rect(0, 0, 4, 2));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(Pixel(wide, 0, y) & 0xFFFFFF, red) << y;
    EXPECT_EQ(Pixel(wide, 1, y) & 0xFFFFFF, red) << y;
    EXPECT_EQ(Pixel(wide, 2, y) & 0xFFFFFF, halfBlue) << y;
    EXPECT_EQ(Pixel(wide, 3, y) & 0xFFFFFF, halfBlue) << y;
  }
}

TEST_F(PNGGraphicTest, AReflectedPictureAlsoPaintsBelowItself) {
  // 1 x 4, opaque white: the work area grows by half the height, and the blend paints the
  // mirror below the picture (one row for four).
  const Bytes row = {255, 255, 255, 255};
  const Bytes white = File(IHDR(1, 4, 8, 6), {Chunk("IDAT", Deflate(PlainRows({row, row, row, row})))});
  TPNGGraphic png;
  LoadBytes(png, white);
  TBitmap plain, reflected;
  MakeGreen(plain, 1, 7);
  MakeGreen(reflected, 1, 7);
  png.Draw(plain.Canvas(), Rect(0, 0, 1, 4));
  png.SetReflected(true);
  png.Draw(reflected.Canvas(), Rect(0, 0, 1, 4));
  EXPECT_EQ(Pixel(plain, 0, 4) & 0xFFFFFF, 0x00FF00u);
  EXPECT_NE(Pixel(reflected, 0, 4) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Pixel(reflected, 0, 5) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Pixel(reflected, 0, 0), Pixel(plain, 0, 0));
}

TEST_F(PNGGraphicTest, FormatsPalettesAndTransparencyReachTheBitmap) {
  TPNGGraphic grey;
  LoadBytes(grey, File(IHDR(4, 1, 2, 0), {Chunk("IDAT", Deflate(PlainRows({{0x1B}})))}));
  EXPECT_EQ(grey.GetPixelFormat(), TPixelFormat::pf4bit);
  const std::vector<RGBQUAD> table = grey.ColorTable();
  ASSERT_GE(table.size(), 16u);
  EXPECT_EQ(table[5].rgbRed, 85);
  EXPECT_EQ(static_cast<std::uint8_t*>(grey.ScanLine(0))[0], 0x05);

  TPNGGraphic rgb;
  LoadBytes(rgb, File(IHDR(2, 1, 8, 2), {Chunk("tRNS", {0, 10, 0, 20, 0, 30}),
                                         Chunk("IDAT", Deflate(PlainRows({{10, 20, 30, 1, 2, 3}})))}));
  EXPECT_EQ(rgb.GetPixelFormat(), TPixelFormat::pf24bit);
  EXPECT_TRUE(rgb.GetTransparent());
  EXPECT_EQ(rgb.GetTransparentColor(), 0x1E140A);

  // A failure names what was wrong and leaves the stream where reading stopped.
  Bytes broken = RedAndHalfBlue();
  broken[7] ^= 1;
  TMemoryStream s;
  s.WriteBuffer(broken.data(), std::int64_t(broken.size()));
  s.SetPosition(0);
  TPNGGraphic failed;
  try {
    failed.LoadFromStream(s);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Cannot load image. Invalid or unexpected PNG image format.");
  }
  EXPECT_EQ(s.Position(), 8);
  EXPECT_TRUE(failed.Empty());
}

TEST_F(PNGGraphicTest, WindowsBitmapDataLoadsThroughTheSameClass) {
  TBitmap source;
  source.SetPixelFormat(TPixelFormat::pf24bit);
  source.SetSize(3, 2);
  source.Canvas()->Brush()->SetColor(clRed);
  source.Canvas()->FillRect(Rect(0, 0, 3, 2));
  source.Canvas()->SetPixel(2, 1, clBlue);
  TMemoryStream s;
  source.SaveToStream(s);
  const std::int64_t end = s.Position();
  s.WriteBuffer("tail", 4);
  s.SetPosition(0);
  TPNGGraphic png;
  png.LoadFromStream(s);
  EXPECT_EQ(s.Position(), end);
  EXPECT_EQ(png.GetWidth(), 3);
  EXPECT_EQ(png.GetHeight(), 2);
  EXPECT_EQ(png.Canvas()->GetPixel(0, 0), clRed);
  EXPECT_EQ(png.Canvas()->GetPixel(2, 1), clBlue);

  // The way a stored form keeps the picture: the class name, then the bitmap data.
  TMemoryStream stored;
  const std::string name = "TPNGGraphic";
  const std::uint8_t len = std::uint8_t(name.size());
  stored.WriteBuffer(&len, 1);
  stored.WriteBuffer(name.data(), len);
  source.SaveToStream(stored);
  stored.SetPosition(0);
  TPicture picture;
  picture.ReadData(stored);
  ASSERT_NE(As<TPNGGraphic>(picture.GetGraphic()), nullptr);
  EXPECT_EQ(picture.GetWidth(), 3);
}

TEST_F(PNGGraphicTest, CleanUpPassesTouchOnly32BitPictures) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(3, 1);
  const std::uint32_t px[3] = {0x00FFFFFFu, 0x80FF8040u, 0x01FFFFFFu};
  std::memcpy(b.ScanLine(0), px, sizeof px);
  ClearTransparentWhite(&b);
  EXPECT_EQ(Pixel(b, 0, 0), 0u);
  EXPECT_EQ(Pixel(b, 2, 0), 0x01FFFFFFu);
  PremultiplyAlpha(&b);
  EXPECT_EQ(Pixel(b, 1, 0), 0x80804020u);   // 255 * 128 / 255 = 128, 128 * 128 / 255 = 64, 64 * 128 / 255 = 32
  EXPECT_EQ(Pixel(b, 2, 0), 0x01010101u);

  TBitmap rgb;
  rgb.SetPixelFormat(TPixelFormat::pf24bit);
  rgb.SetSize(1, 1);
  rgb.Canvas()->SetPixel(0, 0, clWhite);
  ClearTransparentWhite(&rgb);
  PremultiplyAlpha(&rgb);
  EXPECT_EQ(rgb.Canvas()->GetPixel(0, 0), clWhite);
}

namespace {
// Whether the icon's mask marks (x, y) transparent.
bool MaskBit(HICON icon, int x, int y, int* width) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return false;
  const TOwnedBitmap mask(info.hbmMask), color(info.hbmColor);   // copies made for us
  BITMAP bm{};
  ::GetObject(mask.Get(), sizeof bm, &bm);
  *width = bm.bmWidth;
  std::vector<std::uint8_t> bits(std::size_t(bm.bmWidthBytes) * bm.bmHeight);
  ::GetBitmapBits(mask.Get(), LONG(bits.size()), bits.data());
  return (bits[std::size_t(y) * bm.bmWidthBytes + std::size_t(x / 8)] & (0x80 >> (x % 8))) != 0;
}
}  // namespace

TEST_F(PNGGraphicTest, IconsTakeTheirMaskFromAlphaOrTheCornerColour) {
  TPNGGraphic png;
  // Transparent first pixel, opaque second.
  LoadBytes(png, File(IHDR(2, 1, 8, 6), {Chunk("IDAT", Deflate(PlainRows({{9, 9, 9, 0, 200, 0, 0, 255}})))}));
  int width = 0;
  TOwnedIcon icon = BitmapToIcon(&png, clWhite);
  ASSERT_TRUE(icon.Valid());
  EXPECT_TRUE(MaskBit(icon.Get(), 0, 0, &width));
  EXPECT_FALSE(MaskBit(icon.Get(), 1, 0, &width));
  EXPECT_EQ(width, 2);

  icon = png.MakeIcon(false);   // 32-bit: all opaque in the mask
  ASSERT_TRUE(icon.Valid());
  EXPECT_FALSE(MaskBit(icon.Get(), 0, 0, &width));
  icon = png.MakeIcon(true);    // keyed by the top-left pixel
  ASSERT_TRUE(icon.Valid());
  EXPECT_TRUE(MaskBit(icon.Get(), 0, 0, &width));
  EXPECT_FALSE(MaskBit(icon.Get(), 1, 0, &width));
  EXPECT_FALSE(BitmapToIcon(nullptr, clWhite).Valid());
  // Each icon goes with its owner, and so do the masks and bitmaps made for it.
  const TResourceCount before = CountResources();
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(BitmapToIcon(&png, clWhite).Valid());
    EXPECT_TRUE(png.MakeIcon(true).Valid());
  }
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}
