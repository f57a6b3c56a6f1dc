// Tests of the inflate stream: streams read back to back with the source left exactly between
// them, the allowed and refused seeks, writes, damaged and truncated input.
#include <gtest/gtest.h>

#include <string>

#include "skin/paint/lxZLib.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"

namespace {

std::string ReadAll(TZDecompressionStream& z, std::int64_t chunk = 4096) {
  std::string out;
  std::string buf(static_cast<size_t>(chunk), '\0');
  for (;;) {
    const std::int64_t n = z.Read(buf.data(), chunk);
    if (n <= 0) break;
    out.append(buf.data(), static_cast<size_t>(n));
  }
  return out;
}

TMemoryStream* MemoryOf(const std::string& bytes, TMemoryStream& m) {
  m.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  m.Seek(0, soBeginning);
  return &m;
}

}  // namespace

TEST(ZDecompressionStream, BackToBackStreamsLeaveSourceBetweenThem) {
  // Small streams (both inside one input block) and large ones (the first spans several
  // 64 KiB input blocks and the second starts inside the last one).
  for (size_t size : {size_t{100}, size_t{300000}}) {
    const std::string a = ImageLikeBytes(size, 1), b = ImageLikeBytes(size / 2 + 7, 2);
    const std::string za = Deflated(a), zb = Deflated(b);
    TMemoryStream src;
    MemoryOf(za + zb + "TAIL", src);

    TZDecompressionStream first(&src);
    EXPECT_EQ(ReadAll(first, 1000), a);
    EXPECT_EQ(src.Position(), static_cast<std::int64_t>(za.size()));

    TZDecompressionStream second(&src);
    EXPECT_EQ(ReadAll(second), b);
    EXPECT_EQ(src.Position(), static_cast<std::int64_t>(za.size() + zb.size()));
    char tail[4];
    ASSERT_EQ(src.Read(tail, 4), 4);
    EXPECT_EQ(std::string(tail, 4), "TAIL");
  }
}

TEST(ZDecompressionStream, ReturnsToItsOwnPlaceWhenTheSourceWasMoved) {
  const std::string a = ImageLikeBytes(5000, 3);
  TMemoryStream src;
  MemoryOf(Deflated(a), src);
  TZDecompressionStream z(&src);
  std::string got(100, '\0');
  ASSERT_EQ(z.Read(got.data(), 100), 100);
  src.Seek(0, soBeginning);   // someone else moved the source
  got.resize(a.size());
  ASSERT_EQ(z.Read(got.data() + 100, static_cast<std::int64_t>(a.size()) - 100),
            static_cast<std::int64_t>(a.size()) - 100);
  EXPECT_EQ(got, a);
}

TEST(ZDecompressionStream, WriteAndBackwardSeekAreRefused) {
  TMemoryStream src;
  MemoryOf(Deflated(ImageLikeBytes(20000, 4)), src);
  TZDecompressionStream z(&src);
  try {
    z.Write("x", 1);
    FAIL() << "write accepted";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
  }
  char buf[500];
  ASSERT_EQ(z.Read(buf, 500), 500);
  try {
    z.Seek(100, soBeginning);
    FAIL() << "backward seek accepted";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
  }
  EXPECT_THROW(z.Seek(-1, soCurrent), EZDecompressionError);
  EXPECT_THROW(z.Seek(5, soEnd), EZDecompressionError);
}

TEST(ZDecompressionStream, AllowedSeeks) {
  const std::string a = ImageLikeBytes(40000, 5);
  TMemoryStream src;
  MemoryOf(Deflated(a), src);
  TZDecompressionStream z(&src);
  EXPECT_EQ(z.Seek(1000, soCurrent), 1000);          // forward: skipped
  EXPECT_EQ(z.Seek(30000, soBeginning), 30000);       // forward from the beginning
  char c;
  ASSERT_EQ(z.Read(&c, 1), 1);
  EXPECT_EQ(c, a[30000]);
  EXPECT_EQ(z.Seek(0, soEnd), 40000);                 // to the end
  EXPECT_EQ(z.Position(), 40000);
  EXPECT_EQ(z.Seek(0, soBeginning), 0);               // restart
  EXPECT_EQ(ReadAll(z), a);
}

TEST(ZDecompressionStream, DamagedAndTruncatedInput) {
  const std::string a = ImageLikeBytes(50000, 6);
  std::string bad = Deflated(a);
  bad[0] = 0x12;   // not a zlib header
  TMemoryStream src;
  MemoryOf(bad, src);
  TZDecompressionStream z(&src);
  char buf[64];
  try {
    z.Read(buf, sizeof buf);
    FAIL() << "damaged header accepted";
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.ErrorCode(), Z_DATA_ERROR);
    EXPECT_EQ(e.Message(), zError(Z_DATA_ERROR));
  }

  const std::string whole = Deflated(a);
  TMemoryStream cut;
  MemoryOf(whole.substr(0, whole.size() / 2), cut);
  TZDecompressionStream t(&cut);
  const std::string got = ReadAll(t);
  EXPECT_LT(got.size(), a.size());
  EXPECT_EQ(got, a.substr(0, got.size()));
  EXPECT_FALSE(t.StreamEnded());
}

TEST(ZDecompressionStream, PresetDictionaryStreamFailsInsteadOfHanging) {
  // A valid header with the preset-dictionary flag and a dictionary id.
  const std::string data("\x78\x20\x00\x00\x00\x01\x03\x00", 8);
  TMemoryStream src;
  MemoryOf(data, src);
  TZDecompressionStream z(&src);
  char buf[16];
  EXPECT_THROW(z.Read(buf, sizeof buf), EZDecompressionError);
}
