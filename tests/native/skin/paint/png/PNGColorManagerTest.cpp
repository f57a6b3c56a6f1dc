// TColorManager: format checks, converter selection, the row converters the PNG reader uses,
// pixel masks, the gamma table and the palettes.
#include "skin/paint/lxPNGColorManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Row = std::vector<std::uint8_t>;

void SetFormats(TColorManager& cm, TColorScheme source, Byte sourceBits, Byte sourceSamples,
                TColorScheme target, Byte targetBits, Byte targetSamples) {
  cm.SetSourceColorScheme(source);
  cm.SetSourceBitsPerSample(sourceBits);
  cm.SetSourceSamplesPerPixel(sourceSamples);
  cm.SetTargetColorScheme(target);
  cm.SetTargetBitsPerSample(targetBits);
  cm.SetTargetSamplesPerPixel(targetSamples);
}

void Convert(TColorManager& cm, const Row& source, Row& target, std::uint32_t count,
             std::uint8_t mask = 0xFF) {
  const std::uint8_t* planes[1] = {source.data()};
  cm.Convert(planes, source.size(), target.data(), count, mask);
}

template <class F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const EColorConversionError& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

}  // namespace

TEST(PNGColorManager, SettersRejectDepthsAndCountsOutOfRange) {
  TColorManager cm;
  const std::string depth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
  const std::string count = "Sample count per pixel does not correspond to the given color scheme.";
  EXPECT_EQ(MessageOf([&] { cm.SetTargetBitsPerSample(0); }), depth);
  EXPECT_EQ(MessageOf([&] { cm.SetTargetBitsPerSample(17); }), depth);
  EXPECT_EQ(MessageOf([&] { cm.SetSourceBitsPerSample(0); }), depth);
  EXPECT_EQ(MessageOf([&] { cm.SetSourceSamplesPerPixel(5); }), count);
  EXPECT_EQ(MessageOf([&] { cm.SetTargetSamplesPerPixel(0); }), count);
  // The formats stay as they were.
  EXPECT_EQ(cm.GetTargetBitsPerSample(), 8);
  EXPECT_EQ(cm.GetSourceSamplesPerPixel(), 3);
  EXPECT_EQ(MessageOf([&] { cm.SetTargetBitsPerSample(16); }), "(nothing raised)");
}

TEST(PNGColorManager, SelectionRefusesMixedIndexingAndMissingConverters) {
  TColorManager cm;
  Row src(8), dst(8);
  SetFormats(cm, TColorScheme::Indexed, 8, 1, TColorScheme::BGR, 8, 3);
  EXPECT_EQ(MessageOf([&] { Convert(cm, src, dst, 1); }),
            "Conversion between indexed and non-indexed pixel formats is not supported.");
  SetFormats(cm, TColorScheme::CMYK, 8, 4, TColorScheme::BGR, 8, 3);
  EXPECT_EQ(MessageOf([&] { Convert(cm, src, dst, 1); }),
            "Color conversion failed. Could not find a proper method.");
  // After a setter changes something, the next Convert selects again and succeeds.
  cm.SetSourceColorScheme(TColorScheme::RGB);
  cm.SetSourceSamplesPerPixel(3);
  EXPECT_EQ(MessageOf([&] { Convert(cm, src, dst, 1); }), "(nothing raised)");
}

TEST(PNGColorManager, Rgb16IsReadBigEndianScaledAndWrittenBlueFirst) {
  TColorManager cm;
  SetFormats(cm, TColorScheme::RGB, 16, 3, TColorScheme::BGR, 8, 3);
  cm.SetSourceOptions(coNeedByteSwap);
  // Pixel 0: red 0x0100, green 0xFFFF, blue 0x8000; pixel 1: 0xFFFE, 0x0101, 0x0000.
  const Row src = {0x01, 0x00, 0xFF, 0xFF, 0x80, 0x00, 0xFF, 0xFE, 0x01, 0x01, 0x00, 0x00};
  Row dst(6, 0xAA);
  Convert(cm, src, dst, 2);
  EXPECT_EQ(dst, (Row{0x7F, 0xFF, 0x00, 0x00, 0x01, 0xFE}));
  // Without the byte swap the same bytes are little-endian samples.
  const Row red = {0x00, 0xFF, 0, 0, 0, 0};
  Convert(cm, red, dst, 1);
  EXPECT_EQ(dst[2], 0);
  cm.SetSourceOptions(0);
  Convert(cm, red, dst, 1);
  EXPECT_EQ(dst[2], 0xFF00u * 255 / 65535);
}

TEST(PNGColorManager, RgbaKeepsAlphaUngammaedAndGammaTouchesColourOnly) {
  TColorManager cm;
  SetFormats(cm, TColorScheme::RGBA, 8, 4, TColorScheme::BGRA, 8, 4);
  cm.SetGamma(1.0f, 1.0f / 1.2f);   // exponent 1.2: darkens the middle
  cm.SetTargetOptions(coApplyGamma);
  const Row src = {100, 0, 255, 100};
  Row dst(4);
  Convert(cm, src, dst, 1);
  const int expected = int(std::nearbyint(std::pow(100 / 255.0, 1.2) * 255));
  EXPECT_EQ(dst[2], expected);
  EXPECT_EQ(dst[1], 0);
  EXPECT_EQ(dst[0], 255);
  EXPECT_EQ(dst[3], 100);
  // RGB into BGRA leaves the alpha byte as it was.
  SetFormats(cm, TColorScheme::RGB, 8, 3, TColorScheme::BGRA, 8, 4);
  cm.SetTargetOptions(0);
  Row dst2 = {9, 9, 9, 77, 9, 9, 9, 66};
  Convert(cm, Row{1, 2, 3, 4, 5, 6}, dst2, 2);
  EXPECT_EQ(dst2, (Row{3, 2, 1, 77, 6, 5, 4, 66}));
}

TEST(PNGColorManager, GreyWithAlphaDropsTheAlphaSamples) {
  TColorManager cm;
  SetFormats(cm, TColorScheme::GA, 8, 1, TColorScheme::Indexed, 8, 1);
  Row dst(3);
  Convert(cm, Row{10, 200, 20, 201, 30, 202}, dst, 3);
  EXPECT_EQ(dst, (Row{10, 20, 30}));
  cm.SetSourceBitsPerSample(16);
  cm.SetSourceOptions(coNeedByteSwap);
  Convert(cm, Row{0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, dst, 2);
  EXPECT_EQ(dst[0], 0);
  EXPECT_EQ(dst[1], 255);
}

TEST(PNGColorManager, BitRepackerScalesGreyAndKeepsIndices) {
  TColorManager cm;
  // 2-bit samples 0, 1, 2, 3 packed into one byte.
  const Row src = {0x1B};
  SetFormats(cm, TColorScheme::G, 2, 1, TColorScheme::G, 4, 1);
  Row dst(2);
  Convert(cm, src, dst, 4);
  EXPECT_EQ(dst, (Row{0x05, 0xAF}));
  SetFormats(cm, TColorScheme::Indexed, 2, 1, TColorScheme::Indexed, 4, 1);
  Convert(cm, src, dst, 4);
  EXPECT_EQ(dst, (Row{0x01, 0x23}));
  // 1-bit grey into 8 bits spreads to 0 and 255; 4-bit indexed into 8 bits keeps the values.
  SetFormats(cm, TColorScheme::G, 1, 1, TColorScheme::G, 8, 1);
  Row dst8(8);
  Convert(cm, Row{0xA5}, dst8, 8);
  EXPECT_EQ(dst8, (Row{255, 0, 255, 0, 0, 255, 0, 255}));
  SetFormats(cm, TColorScheme::Indexed, 4, 1, TColorScheme::Indexed, 8, 1);
  Convert(cm, Row{0x9C, 0x30}, dst8, 3);
  EXPECT_EQ((Row{dst8[0], dst8[1], dst8[2]}), (Row{9, 12, 3}));
}

TEST(PNGColorManager, PixelMaskWritesOnlySelectedPixelsAndSourceAdvancesOnlyForThem) {
  TColorManager cm;
  SetFormats(cm, TColorScheme::G, 8, 1, TColorScheme::G, 8, 1);
  Row dst(10, 0xEE);
  Convert(cm, Row{1, 2, 3}, dst, 10, 0x88);
  EXPECT_EQ(dst, (Row{1, 0xEE, 0xEE, 0xEE, 2, 0xEE, 0xEE, 0xEE, 3, 0xEE}));
  // Packed targets keep the neighbouring bits: 1-bit pixels 1, 3, 5, 7 set from 1111.
  SetFormats(cm, TColorScheme::Indexed, 1, 1, TColorScheme::Indexed, 1, 1);
  Row bits = {0x00};
  Convert(cm, Row{0xF0}, bits, 8, 0x55);
  EXPECT_EQ(bits[0], 0x55);
  // 24-bit targets under the mask 0x22.
  SetFormats(cm, TColorScheme::RGB, 8, 3, TColorScheme::BGR, 8, 3);
  Row bgr(8 * 3, 0);
  Convert(cm, Row{1, 2, 3, 4, 5, 6}, bgr, 8, 0x22);
  EXPECT_EQ((Row{bgr[6], bgr[7], bgr[8]}), (Row{3, 2, 1}));
  EXPECT_EQ((Row{bgr[18], bgr[19], bgr[20]}), (Row{6, 5, 4}));
  EXPECT_EQ(bgr[0] + bgr[3] + bgr[9] + bgr[12] + bgr[15] + bgr[21], 0);
}

TEST(PNGColorManager, GammaTableIsIdentityForTheUsualFileGammaAndFallsBackOnBadValues) {
  TColorManager cm;
  cm.SetGamma(0.45455f, 2.2f);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(cm.GammaTable(Byte(i)), i) << i;
  cm.SetGamma(0.0f, -1.0f);
  EXPECT_EQ(cm.GetMainGamma(), 1.0f);
  EXPECT_EQ(cm.GetDisplayGamma(), 2.2f);
  EXPECT_EQ(cm.GammaTable(0), 0);
  EXPECT_EQ(cm.GammaTable(255), 255);
  EXPECT_EQ(cm.GammaTable(64), int(std::nearbyint(std::pow(64 / 255.0, 1 / 2.2) * 255)));
  // The table covers all 256 entries whatever the sample depth (palettes look up 8-bit values).
  cm.SetSourceBitsPerSample(1);
  cm.SetTargetBitsPerSample(1);
  cm.SetGamma(1.0f, 0.5f);
  EXPECT_EQ(cm.GammaTable(255), 255);
  EXPECT_EQ(cm.GammaTable(128), int(std::nearbyint(std::pow(128 / 255.0, 2.0) * 255)));
}

TEST(PNGColorManager, GreyRampFollowsTargetDepthGammaAndOrder) {
  TColorManager cm;
  SetFormats(cm, TColorScheme::G, 2, 1, TColorScheme::G, 4, 1);
  TPaletteColors ramp = cm.CreateGrayscalePalette(false);
  ASSERT_EQ(ramp.size(), 16u);
  EXPECT_EQ(ramp[5], (TPaletteColor{85, 85, 85, 0}));
  EXPECT_EQ(ramp[15].Red, 255);
  ramp = cm.CreateGrayscalePalette(true);
  EXPECT_EQ(ramp[0].Green, 255);
  EXPECT_EQ(ramp[15].Blue, 0);
  cm.SetTargetBitsPerSample(8);
  cm.SetGamma(1.0f, 0.5f);
  cm.SetTargetOptions(coApplyGamma);
  ramp = cm.CreateGrayscalePalette(false);
  ASSERT_EQ(ramp.size(), 256u);
  EXPECT_EQ(ramp[128].Red, cm.GammaTable(128));
  EXPECT_NE(ramp[128].Red, 128);
  cm.SetTargetBitsPerSample(1);
  EXPECT_EQ(cm.CreateGrayscalePalette(false), (TPaletteColors{{0, 0, 0, 0}, {255, 255, 255, 0}}));
}

TEST(PNGColorManager, ColourPaletteTakesTriplesCutsAt256AndAtTheData) {
  TColorManager cm;
  Row data(300 * 3);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = Byte(i);
  const std::uint8_t* planes[1] = {data.data()};
  TPaletteColors p = cm.CreateColorPalette(planes, data.size(), TRawPaletteFormat::Interlaced, 300, false);
  ASSERT_EQ(p.size(), 256u);
  EXPECT_EQ(p[1], (TPaletteColor{3, 4, 5, 0}));
  p = cm.CreateColorPalette(planes, 7, TRawPaletteFormat::Interlaced, 5, true);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[1], (TPaletteColor{5, 4, 3, 0}));
}

TEST(PNGColorManager, PixelFormatsFollowBitsAndSamples) {
  TColorManager cm;
  struct Case { Byte bits, samples; int format; };
  for (const Case c : {Case{1, 1, 1}, Case{2, 1, 4}, Case{4, 1, 4}, Case{8, 1, 8}, Case{16, 1, 8},
                       Case{5, 3, 15}, Case{8, 3, 24}, Case{8, 4, 32}, Case{16, 4, 32},
                       Case{4, 4, 0}, Case{8, 2, 0}}) {
    cm.SetTargetBitsPerSample(c.bits);
    cm.SetTargetSamplesPerPixel(c.samples);
    EXPECT_EQ(cm.GetPixelFormat(true), c.format) << int(c.bits) << "x" << int(c.samples);
  }
}
