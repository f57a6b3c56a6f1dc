// JPEG pictures: images compressed here with libjpeg's own compressor are decoded through
// TJPEGImage and compared approximately; bitmaps compressed by TJPEGImage are decoded by
// libjpeg directly; corrupt data fails with libjpeg's message and leaves the image empty.
#include <gtest/gtest.h>

#include <windows.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "framework/win/Jpeg.h"
#include "tests/win/framework/win/graphics/GraphicsTestUtil.h"

namespace {

// RGB of the test image at (x, y): smooth gradients, which JPEG keeps within a few levels.
void TestColour(int x, int y, int& r, int& g, int& b) {
  r = x * 4;
  g = y * 4;
  b = 128;
}

// Compresses the test image (w x h) with libjpeg's compressor at quality 95.
std::vector<std::uint8_t> CompressTestImage(int w, int h, bool gray) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = gray ? 1 : 3;
  c.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  while (c.next_scanline < c.image_height) {
    int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < w; ++x) {
      int r, g, b;
      TestColour(x, y, r, g, b);
      if (gray) {
        row[static_cast<size_t>(x)] = static_cast<unsigned char>(r);
      } else {
        row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(r);
        row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(g);
        row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>(b);
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<std::uint8_t> out(buf, buf + size);
  std::free(buf);
  return out;
}

// Decodes with libjpeg directly into RGB rows.
std::vector<std::uint8_t> DecodeWithLibjpeg(const std::vector<std::uint8_t>& data, int& w, int& h) {
  jpeg_decompress_struct d{};
  jpeg_error_mgr err{};
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d);
  w = static_cast<int>(d.output_width);
  h = static_cast<int>(d.output_height);
  std::vector<std::uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  while (d.output_scanline < d.output_height) {
    JSAMPROW p = rgb.data() + static_cast<size_t>(d.output_scanline) * w * 3;
    jpeg_read_scanlines(&d, &p, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return rgb;
}

void LoadJpeg(TJPEGImage& j, const std::vector<std::uint8_t>& data) {
  TReadOnlyMemoryStream s(data.data(), static_cast<std::int64_t>(data.size()));
  j.LoadFromStream(s);
}

}  // namespace

TEST(Jpeg, DecodesWhatLibjpegCompressed) {
  const int W = 48, H = 33;
  std::vector<std::uint8_t> data = CompressTestImage(W, H, false);
  TJPEGImage j;
  int changes = 0;
  j.OnChange = [&](TObject*) { ++changes; };
  LoadJpeg(j, data);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(j.GetWidth(), W);
  EXPECT_EQ(j.GetHeight(), H);
  EXPECT_FALSE(j.Empty());
  TBitmap* b = j.Bitmap();
  ASSERT_EQ(b->GetPixelFormat(), TPixelFormat::pf24bit);
  ASSERT_EQ(b->GetWidth(), W);
  int worst = 0;
  for (int y = 0; y < H; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(b->ScanLine(y));
    for (int x = 0; x < W; ++x) {
      int r, g, bl;
      TestColour(x, y, r, g, bl);
      worst = std::max({worst, std::abs(row[x * 3 + 2] - r), std::abs(row[x * 3 + 1] - g), std::abs(row[x * 3] - bl)});
    }
  }
  EXPECT_LE(worst, 12) << "a quality-95 gradient decodes within a few levels";

  // Drawing goes through the decoded bitmap.
  TBitmap canvas;
  canvas.SetPixelFormat(TPixelFormat::pf32bit);
  canvas.SetSize(W, H);
  canvas.Canvas()->Draw(0, 0, &j);
  int r, g, bl;
  TestColour(40, 20, r, g, bl);
  std::uint32_t p = Pixel32(canvas, 40, 20);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), r, 12);
  EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), g, 12);

  // The data is kept as read: saving writes the same bytes.
  TMemoryStream m;
  j.SaveToStream(m);
  ASSERT_EQ(m.Size(), static_cast<std::int64_t>(data.size()));
  EXPECT_EQ(std::memcmp(m.Memory(), data.data(), data.size()), 0);
}

TEST(Jpeg, GrayscaleDecodesToAnEightBitGreyBitmap) {
  std::vector<std::uint8_t> data = CompressTestImage(16, 8, false);
  TJPEGImage j;
  j.SetGrayscale(true);
  LoadJpeg(j, data);
  TBitmap* b = j.Bitmap();
  EXPECT_EQ(b->GetPixelFormat(), TPixelFormat::pf8bit);
  std::vector<RGBQUAD> t = b->ColorTable();
  ASSERT_EQ(t.size(), 256u);
  EXPECT_EQ(t[100].rgbRed, 100);
  EXPECT_EQ(t[100].rgbBlue, 100);
}

TEST(Jpeg, BitmapsAreCompressedForLibjpeg) {
  TBitmap src;
  src.SetPixelFormat(TPixelFormat::pf32bit);
  src.SetSize(24, 16);
  src.Canvas()->Brush()->SetColor(RGB(200, 40, 90));
  src.Canvas()->FillRect(Rect(0, 0, 24, 16));
  TJPEGImage j;
  j.SetCompressionQuality(95);
  j.Assign(&src);
  EXPECT_EQ(j.GetWidth(), 24);
  TMemoryStream m;
  j.SaveToStream(m);
  std::vector<std::uint8_t> data(m.Memory(), m.Memory() + m.Size());
  ASSERT_GT(data.size(), 100u);
  EXPECT_EQ(data[0], 0xFF);
  EXPECT_EQ(data[1], 0xD8);
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgb = DecodeWithLibjpeg(data, w, h);
  EXPECT_EQ(w, 24);
  EXPECT_EQ(h, 16);
  EXPECT_NEAR(rgb[(5 * 24 + 7) * 3], 200, 6);
  EXPECT_NEAR(rgb[(5 * 24 + 7) * 3 + 1], 40, 6);
  EXPECT_NEAR(rgb[(5 * 24 + 7) * 3 + 2], 90, 6);

  TBitmap back;
  back.Assign(&j);
  EXPECT_EQ(back.GetWidth(), 24);
  EXPECT_EQ(j.GetCompressionQuality(), 95);
  j.SetCompressionQuality(500);
  EXPECT_EQ(j.GetCompressionQuality(), 100);
}

TEST(Jpeg, CorruptDataFailsWithLibjpegsMessage) {
  std::vector<std::uint8_t> data = CompressTestImage(16, 16, false);
  std::vector<std::vector<std::uint8_t>> bad = {
      {},
      {0x00, 0x01, 0x02, 0x03},
      {0xFF, 0xD8},
      std::vector<std::uint8_t>(data.begin(), data.begin() + 20),
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    TJPEGImage j;
    try {
      LoadJpeg(j, bad[i]);
      ADD_FAILURE() << "case " << i << " loaded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u) << e.what();
    }
    EXPECT_TRUE(j.Empty()) << i;
    EXPECT_EQ(j.GetWidth(), 0) << i;
  }
  // A header followed by garbage scans decodes to something (libjpeg warns and fills) or fails
  // cleanly; it never crashes.
  std::vector<std::uint8_t> cut(data.begin(), data.end() - 40);   // inside the scan data
  TJPEGImage j;
  LoadJpeg(j, cut);
  EXPECT_EQ(j.GetWidth(), 16);
  try {
    j.DIBNeeded();
  } catch (const EInvalidGraphic&) {
  }
  EXPECT_THROW(j.SetWidth(3), EInvalidGraphicOperation);
}

TEST(Jpeg, PictureLoadsJpegFilesByExtension) {
  InitGraphicsUnit();
  std::vector<std::uint8_t> data = CompressTestImage(10, 6, false);
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "orbex_fwg_" + std::to_string(::GetCurrentProcessId()) + ".jpeg";
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
  }
  TPicture p;
  p.LoadFromFile(path);
  ASSERT_NE(As<TJPEGImage>(p.GetGraphic()), nullptr);
  EXPECT_EQ(p.GetWidth(), 10);
  // Stored-form data by class name.
  TMemoryStream m;
  p.WriteData(m);
  m.SetPosition(0);
  TPicture q;
  q.ReadData(m);
  ASSERT_NE(As<TJPEGImage>(q.GetGraphic()), nullptr);
  EXPECT_EQ(q.GetHeight(), 6);
  ::DeleteFileA(path.c_str());
}
