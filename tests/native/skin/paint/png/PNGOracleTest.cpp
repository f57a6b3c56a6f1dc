// The PNG reader against an independent decoder: every valid corpus image is decoded by
// libpng into raw samples (de-interlaced, nothing else changed), the reader's documented
// conversions are applied to them here (depth scaling, grey ramps, blue-first pixels, gamma),
// and the result must equal the reader's picture pixel for pixel, palette, transparent and
// background colour included. Native only: libpng is a test dependency of the host build.
#include "skin/paint/lxPNG.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/native/skin/paint/png/LibpngDecode.h"
#include "tests/native/skin/paint/png/PNGMemoryTarget.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"

using namespace pngtest;

namespace {

// The gAMA value the reader applies: the first gAMA chunk before the image data, or none.
bool FindGamma(const Bytes& data, std::uint32_t& value) {
  std::size_t pos = 8;
  while (pos + 12 <= data.size()) {
    const std::uint32_t len = (std::uint32_t(data[pos]) << 24) | (data[pos + 1] << 16) |
                              (data[pos + 2] << 8) | data[pos + 3];
    const char* type = reinterpret_cast<const char*>(&data[pos + 4]);
    if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "idat", 4) == 0) return false;
    if (std::memcmp(type, "gAMA", 4) == 0 && len >= 4 && pos + 12 <= data.size()) {
      value = (std::uint32_t(data[pos + 8]) << 24) | (data[pos + 9] << 16) | (data[pos + 10] << 8) |
              data[pos + 11];
      return true;
    }
    pos += std::size_t(len) + 12;
  }
  return false;
}

// libpng knows chunks only by their exact names: give chunks written in another case their
// proper name (the reader takes any case).
Bytes WithProperChunkNames(Bytes data) {
  static const char* const Names[] = {"IHDR", "PLTE", "IDAT", "IEND", "tRNS", "gAMA", "bKGD"};
  std::size_t pos = 8;
  while (pos + 12 <= data.size()) {
    const std::uint32_t len = (std::uint32_t(data[pos]) << 24) | (data[pos + 1] << 16) |
                              (data[pos + 2] << 8) | data[pos + 3];
    if (pos + 12 + std::size_t(len) > data.size()) break;
    for (const char* name : Names) {
      bool same = true;
      for (int i = 0; i < 4; ++i) same = same && (data[pos + 4 + i] | 0x20) == (name[i] | 0x20);
      if (!same || std::memcmp(&data[pos + 4], name, 4) == 0) continue;
      std::memcpy(&data[pos + 4], name, 4);
      const uLong crc = crc32(0, &data[pos + 4], uInt(len + 4));
      for (int i = 0; i < 4; ++i) data[pos + 8 + len + i] = std::uint8_t(crc >> (24 - 8 * i));
    }
    pos += std::size_t(len) + 12;
  }
  return data;
}

// The documented conversions, written out independently of the reader.
struct TExpectation {
  const TLibpngImage& Img;
  bool Gamma = false;
  unsigned Table[256] = {};

  TExpectation(const TLibpngImage& img, bool gamma, std::uint32_t gAMA) : Img(img), Gamma(gamma) {
    float mainGamma = float(gAMA / 100000.0);
    if (!(mainGamma > 0)) mainGamma = 1.0f;
    const double exponent = 1.0 / (double(mainGamma) * double(2.2f));
    for (int i = 0; i < 256; ++i)
      Table[i] = unsigned(std::nearbyint(std::pow(i / 255.0, exponent) * 255.0));
  }

  unsigned Sample(std::uint32_t x, std::uint32_t y, int index, int samples) const {
    const std::uint8_t* row = Img.Rows[y];
    const int d = Img.Depth;
    if (d == 16) return (unsigned(row[(x * samples + index) * 2]) << 8) | row[(x * samples + index) * 2 + 1];
    if (d == 8) return row[x * samples + index];
    const std::size_t bit = std::size_t(x) * d;
    return (row[bit / 8] >> (8 - d - bit % 8)) & ((1u << d) - 1);
  }
  unsigned To8(unsigned s) const { return Img.Depth == 16 ? s * 255u / 65535u : s; }
  unsigned Colour(unsigned v) const { return Gamma ? Table[v] : v; }
  int TargetBits() const { return Img.Depth == 1 ? 1 : (Img.Depth <= 4 ? 4 : 8); }
  // A grey sample scaled to 0..255, as the transparent and background colours are.
  unsigned GreyLevel(unsigned s) const {
    if (Img.Depth < 8) return (s & ((1u << Img.Depth) - 1)) * 255u / ((1u << Img.Depth) - 1);
    return Img.Depth == 16 ? s * 255u / 65535u : (s & 0xFF);
  }

  int BitsPerPixel() const {
    switch (Img.ColorType) {
      case 0: case 3: return TargetBits();
      case 4: return 8;
      case 2: return 24;
      default: return 32;
    }
  }

  std::uint32_t Pixel(std::uint32_t x, std::uint32_t y) const {
    switch (Img.ColorType) {
      case 0: {
        const unsigned s = Sample(x, y, 0, 1);
        if (Img.Depth >= 8) return To8(s);
        return s * ((1u << TargetBits()) - 1) / ((1u << Img.Depth) - 1);
      }
      case 3: return Sample(x, y, 0, 1);
      case 4: return To8(Sample(x, y, 0, 2));
      case 2:
      case 6: {
        const int n = Img.ColorType == 2 ? 3 : 4;
        std::uint32_t v = Colour(To8(Sample(x, y, 2, n))) | (Colour(To8(Sample(x, y, 1, n))) << 8) |
                          (Colour(To8(Sample(x, y, 0, n))) << 16);
        if (n == 4) v |= To8(Sample(x, y, 3, n)) << 24;
        return v;
      }
      default: return 0;
    }
  }

  TPaletteColors Palette() const {
    TPaletteColors p;
    if (Img.ColorType == 3) {
      for (const png_color& c : Img.Palette)
        p.push_back(TPaletteColor{Byte(Colour(c.red)), Byte(Colour(c.green)), Byte(Colour(c.blue)), 0});
    } else if (Img.ColorType == 0 || Img.ColorType == 4) {
      const unsigned entries = Img.ColorType == 4 ? 256 : 1u << TargetBits();
      for (unsigned i = 0; i < entries; ++i) {
        const Byte v = Byte(Colour(i * (255 / (entries - 1))));
        p.push_back(TPaletteColor{v, v, v, 0});
      }
    }
    return p;
  }

  TColor TransparentColor() const {
    if (!Img.HasTrns) return PNGNoColor;
    if (Img.ColorType == 0) return TColor(GreyLevel(Img.TrnsColor.gray) * 0x010101u);
    if (Img.ColorType == 2)
      return TColor(To8(Img.TrnsColor.red) | (To8(Img.TrnsColor.green) << 8) | (To8(Img.TrnsColor.blue) << 16));
    return PNGNoColor;
  }

  TColor BackgroundColor(const TPaletteColors& palette) const {
    if (!Img.HasBkgd) return 0xFFFFFF;
    switch (Img.ColorType) {
      case 0: case 4: return TColor(GreyLevel(Img.Bkgd.gray) * 0x010101u);
      case 2: case 6:
        return TColor(To8(Img.Bkgd.red) | (To8(Img.Bkgd.green) << 8) | (To8(Img.Bkgd.blue) << 16));
      default: {
        const TPaletteColor& e = palette.at(Img.Bkgd.index);
        return TColor(e.Red | (e.Green << 8) | (e.Blue << 16));
      }
    }
  }
};

}  // namespace

TEST(PNGOracle, ValidCorpusImagesGiveLibpngsPixelsAfterTheDocumentedConversions) {
  int compared = 0;
  for (const auto& e : ReadManifest()) {
    if (e.Kind != "valid") continue;
    const Bytes data = ReadCorpusFile(e.File);
    const Bytes forLibpng = WithProperChunkNames(data);
    TLibpngImage img;
    TLibpngSource src{};
    ASSERT_TRUE(DecodeWithLibpng(forLibpng, img, src)) << e.File << ": libpng: " << img.Error;

    TPNGDecoder decoder;
    TPNGMemoryTarget ours;
    ASSERT_NO_THROW(decoder.Decode(data, ours)) << e.File;

    std::uint32_t gAMA = 0;
    const bool gamma = FindGamma(data, gAMA);
    const TExpectation expect(img, gamma, gAMA);
    ASSERT_EQ(ours.Format.Width, img.Width) << e.File;
    ASSERT_EQ(ours.Format.Height, img.Height) << e.File;
    ASSERT_EQ(ours.Format.BitsPerPixel, expect.BitsPerPixel()) << e.File;
    const TPaletteColors palette = expect.Palette();
    ASSERT_EQ(ours.Format.Palette, palette) << e.File;
    EXPECT_EQ(ours.Format.TransparentColor, expect.TransparentColor()) << e.File;
    EXPECT_EQ(ours.Format.Transparent, expect.TransparentColor() != PNGNoColor) << e.File;
    EXPECT_EQ(ours.Format.BackgroundColor, expect.BackgroundColor(palette)) << e.File;
    for (std::uint32_t y = 0; y < img.Height; ++y)
      for (std::uint32_t x = 0; x < img.Width; ++x)
        ASSERT_EQ(ours.Raw(x, y), expect.Pixel(x, y)) << e.File << " at " << x << "," << y;
    ++compared;
  }
  EXPECT_GT(compared, 500);
}
