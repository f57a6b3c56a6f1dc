// The PNG reader core: CRC, unfiltering, the corpus (every broken file fails with its message
// and class, every valid one decodes, interlaced images equal their plain twins), and the
// cases built here byte by byte: chunk names and places, 16-bit scaling, low depths,
// transparency and background colours, short image data, gamma between loads and size limits.
#include "skin/paint/lxPNG.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>

#include "tests/native/skin/paint/png/PNGMemoryTarget.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"

using namespace pngtest;

namespace {

struct TDecodeResult {
  bool Ok = false;
  std::string ClassName;
  std::string Message;
};

TDecodeResult TryDecode(TPNGDecoder& decoder, const Bytes& data, TPNGMemoryTarget& target) {
  TDecodeResult r;
  try {
    decoder.Decode(data, target);
    r.Ok = true;
  } catch (const Exception& e) {
    r.ClassName = e.ClassName();
    r.Message = e.Message();
  }
  return r;
}

// Decodes a corpus file or a built file with a fresh decoder; fails the test on an exception.
TPNGMemoryTarget Decoded(const Bytes& data) {
  TPNGDecoder decoder;
  TPNGMemoryTarget target;
  const TDecodeResult r = TryDecode(decoder, data, target);
  EXPECT_TRUE(r.Ok) << r.ClassName << ": " << r.Message;
  return target;
}

void ExpectSamePicture(const TPNGMemoryTarget& a, const TPNGMemoryTarget& b, const std::string& what) {
  ASSERT_EQ(a.Format.Width, b.Format.Width) << what;
  ASSERT_EQ(a.Format.Height, b.Format.Height) << what;
  ASSERT_EQ(a.Format.BitsPerPixel, b.Format.BitsPerPixel) << what;
  EXPECT_EQ(a.Format.Palette, b.Format.Palette) << what;
  for (std::uint32_t y = 0; y < a.Format.Height; ++y)
    for (std::uint32_t x = 0; x < a.Format.Width; ++x)
      ASSERT_EQ(a.Raw(x, y), b.Raw(x, y)) << what << " at " << x << "," << y;
}

const std::string SInvalid = "Cannot load image. Invalid or unexpected PNG image format.";
const std::string SCRC = "Cannot load image. CRC error found in PNG file.";
const std::string SCritical = "Cannot load PNG image. Unexpected but critical chunk detected.";

}  // namespace

// ---------------------------------------------------------------------------------------------
TEST(PNGCrc, MatchesTheStandardCrcForAnyLengthAndContinues) {
  EXPECT_EQ(Crc32Update(0, "IEND", 4), 0xAE426082u);
  EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32Update(0x1234, nullptr, 10), 0u);
  std::mt19937 rng(7);
  Bytes data(100);
  for (auto& b : data) b = std::uint8_t(rng());
  for (std::size_t n = 0; n <= data.size(); ++n) {
    ASSERT_EQ(Crc32Update(0, data.data(), n), crc32(0, data.data(), uInt(n))) << n;
    const std::size_t half = n / 3;
    ASSERT_EQ(Crc32Update(Crc32Update(0, data.data(), half), data.data() + half, n - half),
              crc32(0, data.data(), uInt(n)));
  }
}

TEST(PNGUnfilter, PaethPicksInTheStandardOrderAndFirstBytesUseZeroNeighbours) {
  EXPECT_EQ(TPNGDecoder::PaethPredict(10, 10, 10), 10);
  EXPECT_EQ(TPNGDecoder::PaethPredict(1, 2, 3), 1);      // p = 0: pa 1, pb 2, pc 3
  EXPECT_EQ(TPNGDecoder::PaethPredict(5, 9, 5), 9);      // p = 9: pa 4, pb 0, pc 4
  EXPECT_EQ(TPNGDecoder::PaethPredict(9, 5, 5), 9);      // p = 9: pa 0
  EXPECT_EQ(TPNGDecoder::PaethPredict(100, 0, 50), 50);  // p = 50: pa 50, pb 50, pc 0
  EXPECT_EQ(TPNGDecoder::PaethPredict(1, 4, 3), 1);      // p = 2: pa 1, pb 2, pc 1 -> a before c
  EXPECT_EQ(TPNGDecoder::PaethPredict(0, 6, 2), 6);      // p = 4: pa 4, pb 2, pc 2 -> b before c
  // Every type over one 2-byte-pixel row against a previous row; sums wrap modulo 256.
  const Bytes prev = {200, 100, 50, 250};
  Bytes row = {10, 20, 30, 40};
  TPNGDecoder::UnfilterRow(1, row.data(), 4, 2, prev.data());
  EXPECT_EQ(row, (Bytes{10, 20, 40, 60}));
  row = {10, 20, 30, 40};
  TPNGDecoder::UnfilterRow(2, row.data(), 4, 2, prev.data());
  EXPECT_EQ(row, (Bytes{210, 120, 80, 34}));
  row = {10, 20, 30, 40};
  TPNGDecoder::UnfilterRow(3, row.data(), 4, 2, prev.data());
  EXPECT_EQ(row, (Bytes{110, 70, 30 + (110 + 50) / 2, std::uint8_t(40 + (70 + 250) / 2)}));
  row = {10, 20, 30, 40};
  TPNGDecoder::UnfilterRow(4, row.data(), 4, 2, prev.data());
  // x = 2: a = 210, b = 50, c = 200 -> p = 60: pa 150, pb 10, pc 140 -> b
  // x = 3: a = 120, b = 250, c = 100 -> p = 270: pa 150, pb 20, pc 170 -> b
  EXPECT_EQ(row, (Bytes{210, 120, 80, 34}));
  row = {10, 20, 30, 40};
  TPNGDecoder::UnfilterRow(7, row.data(), 4, 2, prev.data());
  EXPECT_EQ(row, (Bytes{10, 20, 30, 40}));
  // A row shorter than the filter distance (one 16-bit grey-alpha pixel is 4 bytes).
  row = {1, 2};
  TPNGDecoder::UnfilterRow(3, row.data(), 2, 4, prev.data());
  EXPECT_EQ(row, (Bytes{101, 52}));
}

// ---------------------------------------------------------------------------------------------
// The corpus

TEST(PNGCorpus, BrokenFilesFailWithTheirClassAndMessageAndTheDecoderStaysUsable) {
  const auto manifest = ReadManifest();
  ASSERT_GT(manifest.size(), 500u) << "corpus missing: run the build of png_corpus";
  int broken = 0;
  TPNGDecoder decoder;
  for (const auto& e : manifest) {
    if (e.Kind != "broken") continue;
    ++broken;
    TPNGMemoryTarget target;
    const TDecodeResult r = TryDecode(decoder, ReadCorpusFile(e.File), target);
    EXPECT_FALSE(r.Ok) << e.File;
    EXPECT_EQ(r.ClassName, e.ClassName) << e.File;
    EXPECT_EQ(r.Message, e.Message) << e.File;
    // Every started load ends with a progress end event, also on failure.
    if (!target.Events.empty()) {
      EXPECT_EQ(target.Events.back().Stage, TPNGProgressStage::psEnding) << e.File;
    }
  }
  EXPECT_GT(broken, 30);
  TPNGMemoryTarget target;
  EXPECT_TRUE(TryDecode(decoder, ReadCorpusFile("t2_d8_p_w05.png"), target).Ok);
}

TEST(PNGCorpus, ValidFilesDecodeWithTheProgressEventsInOrder) {
  int valid = 0;
  for (const auto& e : ReadManifest()) {
    if (e.Kind == "broken") continue;
    ++valid;
    const Bytes data = ReadCorpusFile(e.File);
    TPNGDecoder decoder;
    TPNGMemoryTarget target;
    const TDecodeResult r = TryDecode(decoder, data, target);
    ASSERT_TRUE(r.Ok) << e.File << ": " << r.Message;
    EXPECT_EQ(target.FormatCalls, 1) << e.File;
    ASSERT_EQ(target.Events.size(), 4u) << e.File;
    EXPECT_EQ(target.Events[0].Message, "Preparing...");
    EXPECT_EQ(target.Events[0].Stage, TPNGProgressStage::psStarting);
    EXPECT_EQ(target.Events[1].Stage, TPNGProgressStage::psEnding);
    EXPECT_EQ(target.Events[2].Message, "Transfering...");
    EXPECT_EQ(target.Events[3].Stage, TPNGProgressStage::psEnding);
    // The progress strip went down one pixel per row (of the last pass when interlaced).
    const int h = int(target.Format.Height);
    const int moved = decoder.GetImageProperties().Interlaced ? h / 2 : h;
    EXPECT_EQ(target.Events[3].Rect, Rect(0, moved, int(target.Format.Width), moved + 1)) << e.File;
    // Everything up to the end of IEND was read.
    EXPECT_EQ(decoder.Position(), data.size()) << e.File;
  }
  EXPECT_GT(valid, 500);
}

TEST(PNGCorpus, InterlacedImagesEqualTheirPlainTwins) {
  const std::regex interlaced("(.*)_i(_w\\d\\d)?\\.png");
  int pairs = 0;
  for (const auto& e : ReadManifest()) {
    std::smatch m;
    if (e.Kind != "valid" || !std::regex_match(e.File, m, interlaced)) continue;
    const std::string twin = m[1].str() + "_p" + m[2].str() + ".png";
    const TPNGMemoryTarget a = Decoded(ReadCorpusFile(e.File));
    const TPNGMemoryTarget b = Decoded(ReadCorpusFile(twin));
    ExpectSamePicture(a, b, e.File);
    ++pairs;
  }
  // Every colour type and depth at widths 1 (passes from column 1 on skipped) to 33, and the
  // images whose passes all start with one filter type (Up, Average, Paeth among them).
  EXPECT_GT(pairs, 250);
}

TEST(PNGCorpus, ChunkNamesAndAncillaryChunksDoNotChangeThePicture) {
  const TPNGMemoryTarget plain = Decoded(ReadCorpusFile("split_idat.png"));
  for (const char* f : {"anc_before_idat.png", "anc_between_idat_iend.png", "anc_private.png",
                        "lower_idat.png", "empty_idats.png", "level0.png"}) {
    ExpectSamePicture(Decoded(ReadCorpusFile(f)), plain, f);
  }
  // Every chunk name in lower case: the palette and the transparency table are still read.
  TPNGDecoder decoder;
  TPNGMemoryTarget lower;
  ASSERT_TRUE(TryDecode(decoder, ReadCorpusFile("lower_names.png"), lower).Ok);
  EXPECT_EQ(lower.Format.Palette.size(), 16u);
  ASSERT_EQ(decoder.GetTransparency().size(), 256u);
  EXPECT_EQ(decoder.GetTransparency()[1], 0x20);
  // A palette in an RGB image is ignored.
  EXPECT_FALSE(Decoded(ReadCorpusFile("plte_in_rgb.png")).Format.HasPalette);
}

// ---------------------------------------------------------------------------------------------
// Built cases

TEST(PNGReader, WrongEighthSignatureByteFailsBeforeAnyProgress) {
  Bytes data = File(IHDR(1, 1, 8, 0), {Chunk("IDAT", Deflate(PlainRows({{7}})))});
  ASSERT_EQ(Decoded(data).Raw(0, 0), 7u);
  data[7] ^= 0x01;
  TPNGDecoder decoder;
  TPNGMemoryTarget target;
  const TDecodeResult r = TryDecode(decoder, data, target);
  EXPECT_EQ(r.ClassName, "EInvalidGraphic");
  EXPECT_EQ(r.Message, SInvalid);
  EXPECT_TRUE(target.Events.empty());
  EXPECT_EQ(target.FormatCalls, 0);
}

TEST(PNGReader, CriticalChunksAreCheckedAncillaryOnesSkippedUnchecked) {
  const Bytes idat = Chunk("IDAT", Deflate(PlainRows({{1, 2, 3}})));
  Bytes text = Chunk("tEXt", {'a', 0, 'b'});
  text.back() ^= 0xFF;   // a skipped chunk's CRC is never looked at
  EXPECT_EQ(Decoded(File(IHDR(1, 1, 8, 2), {text, idat, text})).Raw(0, 0), 0x010203u);

  for (const char* name : {"PLTE", "gAMA", "bKGD", "tRNS", "IDAT"}) {
    Bytes bad = Chunk(name, name == std::string("IDAT") ? Deflate(PlainRows({{1, 2, 3}}))
                                                        : Bytes{0, 0, 0, 1, 2, 3});
    bad[bad.size() - 2] ^= 0x10;
    const Bytes data = name == std::string("IDAT") ? File(IHDR(1, 1, 8, 2), {bad})
                                                   : File(IHDR(1, 1, 8, 2), {bad, idat});
    TPNGDecoder decoder;
    TPNGMemoryTarget target;
    const TDecodeResult r = TryDecode(decoder, data, target);
    EXPECT_EQ(r.Message, SCRC) << name;
  }
  // Right after the image data an ancillary chunk is passed over, a critical one fails.
  EXPECT_TRUE(Decoded(File(IHDR(1, 1, 8, 2), {idat, Chunk("gAMA", {0, 0, 0, 1})})).Format.Width == 1);
  TPNGDecoder decoder;
  TPNGMemoryTarget target;
  EXPECT_EQ(TryDecode(decoder, File(IHDR(1, 1, 8, 2), {idat, Chunk("IHDR", {})}), target).Message,
            SCritical);
}

TEST(PNGReader, Rgba16ScalesEachSampleTruncating) {
  const Bytes row = {0x01, 0x00, 0xFF, 0xFF, 0x80, 0x00, 0x01, 0x00,   // pixel 0
                     0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF};  // pixel 1
  const TPNGMemoryTarget t = Decoded(File(IHDR(2, 1, 16, 6), {Chunk("IDAT", Deflate(PlainRows({row})))}));
  ASSERT_EQ(t.Format.BitsPerPixel, 32);
  EXPECT_FALSE(t.Format.HasPalette);
  // Blue in the low byte: pixel 0 is red 0, green 255, blue 127, alpha 0.
  EXPECT_EQ(t.Raw(0, 0), 0x0000FF7Fu);
  EXPECT_EQ(t.Raw(1, 0), 0xFFFF0000u);
}

TEST(PNGReader, LowDepthGreyAndIndexedBecomeFourBitPictures) {
  // 2-bit samples 0, 1, 2, 3.
  const Bytes idat = Chunk("IDAT", Deflate(PlainRows({{0x1B}})));
  const TPNGMemoryTarget grey = Decoded(File(IHDR(4, 1, 2, 0), {idat}));
  EXPECT_EQ(grey.Format.BitsPerPixel, 4);
  ASSERT_EQ(grey.Format.Palette.size(), 16u);
  EXPECT_EQ((std::vector<std::uint32_t>{grey.Raw(0, 0), grey.Raw(1, 0), grey.Raw(2, 0), grey.Raw(3, 0)}),
            (std::vector<std::uint32_t>{0, 5, 10, 15}));
  EXPECT_EQ(grey.Shown(1, 0), 0x555555u);
  const Bytes plte = Chunk("PLTE", {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4});
  const TPNGMemoryTarget indexed = Decoded(File(IHDR(4, 1, 2, 3), {plte, idat}));
  EXPECT_EQ(indexed.Format.BitsPerPixel, 4);
  ASSERT_EQ(indexed.Format.Palette.size(), 4u);
  EXPECT_EQ(indexed.Raw(3, 0), 3u);
  EXPECT_EQ(indexed.Shown(3, 0), 0x040404u);
  // 1-bit grey stays 1-bit with a black and white ramp.
  const TPNGMemoryTarget mono = Decoded(File(IHDR(3, 1, 1, 0), {Chunk("IDAT", Deflate(PlainRows({{0xA0}})))}));
  EXPECT_EQ(mono.Format.BitsPerPixel, 1);
  EXPECT_EQ(mono.Shown(0, 0), 0xFFFFFFu);
  EXPECT_EQ(mono.Shown(1, 0), 0u);
}

TEST(PNGReader, GreyWithAlphaGivesGreyIndicesOverARamp) {
  const TPNGMemoryTarget t =
      Decoded(File(IHDR(2, 1, 8, 4), {Chunk("IDAT", Deflate(PlainRows({{90, 0, 180, 255}})))}));
  EXPECT_EQ(t.Format.BitsPerPixel, 8);
  ASSERT_EQ(t.Format.Palette.size(), 256u);
  EXPECT_EQ(t.Raw(0, 0), 90u);
  EXPECT_EQ(t.Raw(1, 0), 180u);
  EXPECT_EQ(t.Shown(1, 0), 0xB4B4B4u);
}

TEST(PNGReader, TransparencyInRgbSetsTheColourAndInRgbaChangesNothing) {
  const Bytes trns = Chunk("tRNS", {0, 10, 0, 20, 0, 30});
  const Bytes rgb = Chunk("IDAT", Deflate(PlainRows({{10, 20, 30, 1, 2, 3}})));
  const TPNGMemoryTarget t = Decoded(File(IHDR(2, 1, 8, 2), {trns, rgb}));
  EXPECT_TRUE(t.Format.Transparent);
  EXPECT_EQ(t.Format.TransparentColor, 0x1E140A);
  EXPECT_FALSE(Decoded(File(IHDR(2, 1, 8, 2), {rgb})).Format.Transparent);

  const Bytes rgba = Chunk("IDAT", Deflate(PlainRows({{10, 20, 30, 40, 1, 2, 3, 4}})));
  const TPNGMemoryTarget with = Decoded(File(IHDR(2, 1, 8, 6), {trns, rgba}));
  const TPNGMemoryTarget without = Decoded(File(IHDR(2, 1, 8, 6), {rgba}));
  EXPECT_FALSE(with.Format.Transparent);
  ExpectSamePicture(with, without, "tRNS in RGBA");
  // An indexed image keeps a 256-entry table, padded with 255; pixels unchanged.
  TPNGDecoder decoder;
  TPNGMemoryTarget target;
  ASSERT_TRUE(TryDecode(decoder,
                        File(IHDR(1, 1, 8, 3), {Chunk("PLTE", {9, 9, 9}), Chunk("tRNS", {0, 7}),
                                                Chunk("IDAT", Deflate(PlainRows({{0}})))}),
                        target).Ok);
  ASSERT_EQ(decoder.GetTransparency().size(), 256u);
  EXPECT_EQ(decoder.GetTransparency()[1], 7);
  EXPECT_EQ(decoder.GetTransparency()[2], 255);
  EXPECT_FALSE(target.Format.Transparent);
}

TEST(PNGReader, LowDepthGreyTransparencyAndBackgroundMatchThePixelsTheyName) {
  struct Case { int depth; unsigned sample; TColor colour; };
  for (const Case c : {Case{1, 1, 0xFFFFFF}, Case{2, 2, 0xAAAAAA}, Case{4, 5, 0x555555},
                       Case{8, 0x1234, 0x343434}, Case{16, 0xFFFF, 0xFFFFFF}}) {
    const Bytes sample = {std::uint8_t(c.sample >> 8), std::uint8_t(c.sample)};
    const Bytes idat = Chunk("IDAT", Deflate(PlainRows({{0xFF, 0xFF}})));
    TPNGDecoder decoder;
    TPNGMemoryTarget target;
    ASSERT_TRUE(TryDecode(decoder, File(IHDR(1, 1, c.depth, 0),
                                        {Chunk("tRNS", sample), Chunk("bKGD", sample), idat}),
                          target).Ok);
    EXPECT_EQ(target.Format.TransparentColor, c.colour) << c.depth;
    EXPECT_EQ(target.Format.BackgroundColor, c.colour) << c.depth;
  }
  // A white 1-bit pixel is shown in exactly the transparent colour.
  const TPNGMemoryTarget t = Decoded(File(IHDR(1, 1, 1, 0), {Chunk("tRNS", {0, 1}),
                                                             Chunk("IDAT", Deflate(PlainRows({{0x80}})))}));
  EXPECT_EQ(TColor(t.Shown(0, 0)), t.Format.TransparentColor);
  // Chunks too short for their colour type are ignored.
  EXPECT_FALSE(Decoded(File(IHDR(1, 1, 8, 2), {Chunk("tRNS", {0, 1}),
                                               Chunk("IDAT", Deflate(PlainRows({{1, 2, 3}})))}))
                   .Format.Transparent);
  // An indexed background names a palette entry.
  TPNGDecoder decoder;
  TPNGMemoryTarget target;
  ASSERT_TRUE(TryDecode(decoder, File(IHDR(1, 1, 8, 3), {Chunk("PLTE", {0, 0, 0, 10, 20, 30}),
                                                         Chunk("bKGD", {1}),
                                                         Chunk("IDAT", Deflate(PlainRows({{0}})))}),
                        target).Ok);
  EXPECT_EQ(target.Format.BackgroundColor, 0x1E140A);
}

TEST(PNGReader, RowsAfterShortImageDataAreZero) {
  // Rows 0 and 1 flushed out of the deflate stream, which then stops without its end.
  const Bytes raw = PlainRows({{11, 12}, {21, 22}, {31, 32}, {41, 42}});
  z_stream z{};
  ASSERT_EQ(deflateInit(&z, 6), Z_OK);
  Bytes out(256);
  z.next_in = const_cast<Bytef*>(raw.data());
  z.avail_in = 6;
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  ASSERT_EQ(deflate(&z, Z_SYNC_FLUSH), Z_OK);
  out.resize(out.size() - z.avail_out);
  deflateEnd(&z);
  const TPNGMemoryTarget t = Decoded(File(IHDR(2, 4, 8, 0), {Chunk("IDAT", out)}));
  EXPECT_EQ(t.Raw(1, 1), 22u);
  for (std::uint32_t y = 2; y < 4; ++y)
    for (std::uint32_t x = 0; x < 2; ++x) EXPECT_EQ(t.Raw(x, y), 0u) << x << "," << y;
  // The corpus file whose deflate stream is cut half-way.
  const TPNGMemoryTarget s = Decoded(ReadCorpusFile("short_image_data.png"));
  EXPECT_EQ(s.Raw(7, 3), 0u);
}

TEST(PNGReader, GammaAppliesToItsOwnImageOnly) {
  const Bytes idat = Chunk("IDAT", Deflate(PlainRows({{100, 150, 200}})));
  TPNGDecoder decoder;
  TPNGMemoryTarget a, b;
  ASSERT_TRUE(TryDecode(decoder, File(IHDR(1, 1, 8, 2), {Chunk("gAMA", {0, 0, 0x55, 0xF0}), idat}), a).Ok);
  EXPECT_NE(a.Raw(0, 0), 0x6496C8u);
  EXPECT_TRUE(decoder.GetImageProperties().Options & ioUseGamma);
  EXPECT_FLOAT_EQ(decoder.GetImageProperties().FileGamma, 0.22f);
  ASSERT_TRUE(TryDecode(decoder, File(IHDR(1, 1, 8, 2), {idat}), b).Ok);
  EXPECT_EQ(b.Raw(0, 0), 0x6496C8u);
  EXPECT_FALSE(decoder.GetImageProperties().Options & ioUseGamma);
}

TEST(PNGReader, SizesAreBoundedByTheInputAndTheMemoryLimit) {
  const Bytes idat = Chunk("IDAT", Deflate(PlainRows({{1}})));
  auto failure = [](const Bytes& data, std::uint64_t limit = TPNGDecoder::DefaultMaxImageBytes) {
    TPNGDecoder decoder;
    decoder.SetMaxImageBytes(limit);
    TPNGMemoryTarget target;
    const TDecodeResult r = TryDecode(decoder, data, target);
    return r.Ok ? std::string("ok") : r.ClassName + ": " + r.Message;
  };
  const std::string invalid = "EInvalidGraphic: " + SInvalid;
  EXPECT_EQ(failure(File(IHDR(1, 1, 8, 0), {idat})), "ok");
  EXPECT_EQ(failure(File(IHDR(1, 1, 8, 0), {idat}), 8), "ok");
  EXPECT_EQ(failure(File(IHDR(2, 2, 8, 0), {idat}), 7), invalid);
  EXPECT_EQ(failure(File(IHDR(0x10000, 0x10000, 16, 6), {idat})), invalid);
  EXPECT_EQ(failure(File(IHDR(0x7FFFFFFF, 1, 8, 0), {idat})), invalid);
  // A chunk claiming more data than the file holds, read or skipped.
  Bytes data = File(IHDR(1, 1, 8, 0), {Chunk("tEXt", {1, 2, 3}), idat});
  data[33 + 3] = 200;
  EXPECT_EQ(failure(data), invalid);
  data = File(IHDR(1, 1, 8, 0), {idat});
  data[33] = 0x7F;
  EXPECT_EQ(failure(data), invalid);
  data[33] = 0x80;   // beyond 2^31 - 1
  EXPECT_EQ(failure(data), invalid);
  // IHDR must hold exactly its 13 bytes.
  Bytes ihdr = IHDR(1, 1, 8, 0);
  Bytes longer(ihdr.begin() + 8, ihdr.end() - 4);
  longer.push_back(0);
  EXPECT_EQ(failure(File(Chunk("IHDR", longer), {idat})), invalid);
}

TEST(PNGReader, TrailingBytesAfterIendAreLeftUnread) {
  Bytes data = File(IHDR(1, 1, 8, 0), {Chunk("IDAT", Deflate(PlainRows({{1}})))});
  const std::size_t end = data.size();
  data.insert(data.end(), {'B', 'M', 0, 0});
  TPNGDecoder decoder;
  TPNGMemoryTarget target;
  ASSERT_TRUE(TryDecode(decoder, data, target).Ok);
  EXPECT_EQ(decoder.Position(), end);
}
