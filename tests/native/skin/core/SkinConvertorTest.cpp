// Tests of the packed skin reader: the packer's fixtures unpacked byte for byte, the broken
// fixtures and hand-made files whose counts and sizes lie rejected with clear errors, and a
// lent source (a stored skin's data) never freed by the reader.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/base/SysUtils.h"
#include "skin/core/lxSkinConvertor.h"
#include "skin/paint/lxZLib.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"

namespace {

const std::string Fixtures = ORBEX_SKIN_FIXTURES;
const std::string Sources = ORBEX_SKIN_FIXTURE_SOURCES;

std::string Fixture(const std::string& name) { return Fixtures + "/" + name + ".tez"; }
std::string Source(const std::string& path) { return ReadFileBytes(Sources + "/" + path); }

std::string Contents(TMemoryStream* m) {
  if (m == nullptr) return "<none>";
  return std::string(reinterpret_cast<const char*>(m->Memory()), static_cast<size_t>(m->Size()));
}

std::unique_ptr<TlxSkinConvertor> LoadFixture(const std::string& name) {
  std::unique_ptr<TlxSkinConvertor> c;
  LoadPackedSkinFile(Fixture(name), c, true);
  return c;
}

// Unpacks bytes through the lent-source path; returns the error message or "" on success.
std::string ExtractError(const std::string& bytes, std::unique_ptr<TlxSkinConvertor>& c) {
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  try {
    ExtractPackedSkinFrom(data, c);
  } catch (const Exception& e) {
    EXPECT_EQ(c, nullptr) << "a failed convertor must be gone";
    EXPECT_EQ(data.Size(), static_cast<std::int64_t>(bytes.size())) << "lent data damaged";
    return e.Message();
  }
  return "";
}

std::string ExtractError(const std::string& bytes) {
  std::unique_ptr<TlxSkinConvertor> c;
  return ExtractError(bytes, c);
}

}  // namespace

TEST(PackedSkinFixtures, GoodSkinsUnpackByteExact) {
  auto tiny = LoadFixture("Tiny");
  ASSERT_NE(tiny, nullptr);
  EXPECT_EQ(Contents(tiny->Options()), Source("Tiny/Options.dat"));
  ASSERT_EQ(tiny->ImageCount(), 2);
  ASSERT_EQ(tiny->ImageData().size(), 2u);
  EXPECT_EQ(tiny->ImageData()[0].FileName, "Frame.bmp");
  EXPECT_EQ(tiny->ImageData()[0].IsBitmap, 1);
  EXPECT_EQ(Contents(tiny->ImageData()[0].Data.get()), Source("Tiny/Frame.bmp"));
  EXPECT_EQ(tiny->ImageData()[1].FileName, "Glyph.png");
  EXPECT_EQ(tiny->ImageData()[1].IsBitmap, 0);
  EXPECT_EQ(Contents(tiny->ImageData()[1].Data.get()), Source("Tiny/Glyph.png"));
  EXPECT_EQ(tiny->SourceStream(), nullptr);   // freed as asked

  auto single = LoadFixture("Single");
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(single->ImageCount(), 0);
  EXPECT_TRUE(single->ImageData().empty());
  EXPECT_EQ(Contents(single->Options()), Source("Single/Options.dat"));

  auto zero = LoadFixture("ZeroSize");
  ASSERT_NE(zero, nullptr);
  ASSERT_EQ(zero->ImageData().size(), 3u);
  for (const TlxImageItem& item : zero->ImageData()) EXPECT_EQ(item.Data->Size(), 0);
  EXPECT_EQ(zero->ImageData()[2].FileName, "C.png");
  EXPECT_EQ(Contents(zero->Options()), Source("ZeroSize/Options.dat"));

  auto mixed = LoadFixture("MixedCase");
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(Contents(mixed->Options()), Source("MixedCase/options.DAT"));
  ASSERT_EQ(mixed->ImageData().size(), 1u);
}

TEST(PackedSkinFixtures, BrokenSkinsFailClearly) {
  std::unique_ptr<TlxSkinConvertor> c;
  try {
    LoadPackedSkinFile(Fixture("BadMagic"), c, true);
    FAIL() << "bad magic accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Loaded data is not a packed Tessel file");
  }
  EXPECT_EQ(c, nullptr);

  for (const char* name : {"Truncated", "Oversized"}) {
    std::unique_ptr<TlxSkinConvertor> b = std::make_unique<TlxSkinConvertor>();
    try {
      LoadPackedSkinFile(Fixture(name), b, false);
      FAIL() << name << " accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message().rfind("Packed skin is damaged: entry \"", 0), 0u) << e.Message();
    }
    EXPECT_EQ(b, nullptr);
  }
}

TEST(PackedSkinFile, MissingFileDoesNothing) {
  std::unique_ptr<TlxSkinConvertor> c;
  LoadPackedSkinFile(Fixtures + "/NoSuchSkin.tez", c, true);
  EXPECT_EQ(c, nullptr);
  // Reloading into an existing convertor replaces its contents; the source is kept when asked.
  c = LoadFixture("Tiny");
  LoadPackedSkinFile(Fixture("Single"), c, false);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->ImageCount(), 0);
  EXPECT_NE(c->SourceStream(), nullptr);
}

TEST(PackedSkinData, EntriesFollowWithoutPaddingAndNamesAreMatchedAsSaid) {
  const std::string options = "[GLOBALINFO]\r\nVERSION=7.63\r\n";
  std::unique_ptr<TlxSkinConvertor> c;
  const std::string bytes = BuildPackedSkin({{"OPTIONS.DAT", options},
                                             {"a.Bmp", ""},
                                             {"b.bmp", "x"},
                                             {"c.jpg", ImageLikeBytes(70000, 9)}});
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  ExtractPackedSkinFrom(data, c);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->SourceStream(), nullptr);   // the lent data was handed back
  EXPECT_EQ(Contents(c->Options()), options);
  ASSERT_EQ(c->ImageCount(), 3);
  EXPECT_EQ(c->ImageData()[0].IsBitmap, 1);
  EXPECT_EQ(Contents(c->ImageData()[1].Data.get()), "x");
  EXPECT_EQ(c->ImageData()[2].IsBitmap, 0);
  EXPECT_EQ(Contents(c->ImageData()[2].Data.get()), ImageLikeBytes(70000, 9));
}

TEST(PackedSkinData, LentSourceSurvivesEveryFailure) {
  // Bad magic and a damaged zlib stream both clear the convertor; the lent data must stay.
  EXPECT_EQ(ExtractError(BuildPackedSkin({{"Options.dat", "x"}}, "TEZF")),
            "Loaded data is not a packed Tessel file");
  std::string damaged = BuildPackedSkin({{"Options.dat", ImageLikeBytes(3000, 1)}});
  damaged[8 + 4 + 11 + 4 + 5] ^= 0x55;
  std::unique_ptr<TlxSkinConvertor> c = std::make_unique<TlxSkinConvertor>();
  EXPECT_NE(ExtractError(damaged, c), "");
  EXPECT_EQ(ExtractError(""), "Loaded data is not a packed Tessel file");
  EXPECT_EQ(ExtractError("TEz"), "Loaded data is not a packed Tessel file");
}

TEST(PackedSkinData, CountsAndSizesThatDoNotFitAreRejected) {
  const std::string ok = Deflated("abc");
  auto withHeader = [](std::int64_t count, const std::string& rest) {
    std::string s("TEzf");
    PutInt32(s, count);
    return s + rest;
  };
  auto entry = [&ok](std::int64_t nameLength, const std::string& name, std::int64_t size) {
    std::string s;
    PutInt32(s, nameLength);
    s += name;
    PutInt32(s, size);
    return s + ok;
  };
  const std::string good = entry(11, "Options.dat", 3);
  EXPECT_EQ(ExtractError(withHeader(1, good)), "");

  EXPECT_NE(ExtractError(withHeader(-1, good)).find("entry count -1"), std::string::npos);
  EXPECT_NE(ExtractError(withHeader(0x7FFFFFFF, good)).find("entry count"), std::string::npos);
  EXPECT_NE(ExtractError(withHeader(2, good)).find("entry count 2"), std::string::npos);
  EXPECT_NE(ExtractError("TEzf").find("entry count is missing"), std::string::npos);
  EXPECT_NE(ExtractError(withHeader(1, entry(-5, "", 3))).find("name length -5"),
            std::string::npos);
  EXPECT_NE(ExtractError(withHeader(1, entry(0x40000000, "Options.dat", 3))).find("name length"),
            std::string::npos);
  EXPECT_NE(ExtractError(withHeader(1, entry(11, "Options.dat", -1))).find("unpacked size -1"),
            std::string::npos);
  EXPECT_NE(
      ExtractError(withHeader(1, entry(11, "Options.dat", 0x7FFFFFFF))).find("unpacked size"),
      std::string::npos);
  EXPECT_NE(ExtractError(withHeader(1, entry(11, "Options.dat", 9))).find("ends after 3 of"),
            std::string::npos);
  EXPECT_NE(ExtractError(withHeader(1, entry(11, "Options.dat", 2))).find("holds more than"),
            std::string::npos);
  EXPECT_NE(ExtractError(withHeader(1, entry(9, "Frame.bmp", 3))).find("no Options.dat"),
            std::string::npos);
}

TEST(PackedSkinData, SecondOptionsEntryDoesNotInflateTheImageCount) {
  std::unique_ptr<TlxSkinConvertor> c;
  EXPECT_EQ(ExtractError(BuildPackedSkin({{"Options.dat", "one"},
                                          {"A.bmp", "img"},
                                          {"options.dat", "two"}}),
                         c),
            "");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->ImageCount(), 1);
  EXPECT_EQ(Contents(c->Options()), "two");
}
