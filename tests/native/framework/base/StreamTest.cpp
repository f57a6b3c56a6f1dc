// Streams: short reads raise, seeking bounds, memory stream growth, read-only views, string
// streams, and file streams with the path and the system's reason in their errors.
#include "framework/base/Classes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

TEST(Stream, ShortReadRaisesReadErrorButReadReturnsWhatThereIs) {
  TMemoryStream s;
  const char data[] = "abcdef";
  s.WriteBuffer(data, 6);
  s.SetPosition(2);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);
  EXPECT_STREQ(buf, "cdef");
  EXPECT_EQ(s.Read(buf, 8), 0);   // at the end
  s.SetPosition(4);
  try {
    s.ReadBuffer(buf, 3);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  s.SetPosition(0);
  s.ReadBuffer(buf, 6);   // exactly what there is: fine
  EXPECT_EQ(s.Position(), 6);
  EXPECT_THROW(s.ReadBuffer(buf, -1), EReadError);
  s.ReadBuffer(buf, 0);   // nothing to read is no error
}

TEST(Stream, SeekBounds) {
  TMemoryStream s;
  s.WriteBuffer("0123456789", 10);
  EXPECT_EQ(s.Seek(-3, soEnd), 7);
  EXPECT_EQ(s.Seek(2, soCurrent), 9);
  EXPECT_EQ(s.Seek(0, soBeginning), 0);
  try {
    s.Seek(-1, soBeginning);
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Stream seek error");
  }
  EXPECT_EQ(s.Position(), 0);   // a refused seek moves nothing
  EXPECT_THROW(s.Seek(-11, soEnd), EStreamError);
  EXPECT_THROW(s.Seek(INT64_MAX, soEnd), EStreamError);
  // Beyond the end: reads give nothing, a write extends with zeros in between.
  EXPECT_EQ(s.Seek(12, soBeginning), 12);
  char c;
  EXPECT_EQ(s.Read(&c, 1), 0);
  s.WriteBuffer("X", 1);
  EXPECT_EQ(s.Size(), 13);
  EXPECT_EQ(s.Memory()[10], 0);
  EXPECT_EQ(s.Memory()[11], 0);
  EXPECT_EQ(s.Memory()[12], 'X');
}

TEST(Stream, MemoryStreamGrowsKeepsDataAndShrinks) {
  TMemoryStream s;
  std::vector<std::uint8_t> expect;
  for (int i = 0; i < 5000; ++i) {
    std::uint8_t b[3] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 0xA5};
    s.WriteBuffer(b, 3);
    expect.insert(expect.end(), b, b + 3);
  }
  ASSERT_EQ(s.Size(), 15000);
  EXPECT_EQ(s.Position(), 15000);
  EXPECT_EQ(0, std::memcmp(s.Memory(), expect.data(), expect.size()));
  s.SetSize(10);
  EXPECT_EQ(s.Size(), 10);
  EXPECT_EQ(s.Position(), 10);   // clamped to the new end
  s.SetPosition(0);
  s.WriteBuffer("zz", 2);
  EXPECT_EQ(s.Size(), 10);   // overwriting inside does not grow
  EXPECT_THROW(s.SetSize(-1), EStreamError);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);

  TMemoryStream copy;
  TStringStream src("hello world");
  EXPECT_EQ(copy.CopyFrom(src, 0), 11);   // 0: the whole source from its start
  src.SetPosition(6);
  EXPECT_EQ(copy.CopyFrom(src, 5), 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy.Memory()), 16), "hello worldworld");
  src.SetPosition(8);
  EXPECT_THROW(copy.CopyFrom(src, 5), EReadError);
}

TEST(Stream, ReadOnlyViewRefusesWritesAndResizing) {
  const std::uint8_t bytes[] = {1, 2, 3, 4};
  TReadOnlyMemoryStream s(bytes, 4);
  EXPECT_EQ(s.Size(), 4);
  std::uint8_t out[4];
  s.ReadBuffer(out, 4);
  EXPECT_EQ(out[3], 4);
  try {
    s.WriteBuffer(bytes, 1);
    FAIL();
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  EXPECT_THROW(s.SetSize(2), EStreamError);
  EXPECT_EQ(s.Size(), 4);
  TReadOnlyMemoryStream empty(nullptr, 10);   // no memory: empty, not a wild read
  EXPECT_EQ(empty.Size(), 0);
}

TEST(Stream, StringStreamAndLoadFromStream) {
  TStringStream s("abc");
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.DataString(), "abc");
  s.Seek(0, soEnd);
  s.WriteBuffer("de", 2);
  EXPECT_EQ(s.DataString(), "abcde");
  TMemoryStream m;
  s.SetPosition(3);
  m.LoadFromStream(s);   // whole source, whatever its position
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 0);
}

namespace {
struct TTempFile {
  std::string Path;
  explicit TTempFile(const char* name) : Path(name) { std::remove(name); }
  ~TTempFile() { std::remove(Path.c_str()); }
};
}  // namespace

TEST(FileStream, WriteReadSeekAndResize) {
  TTempFile t("fwbase_stream_test.bin");
  {
    TFileStream f(t.Path, fmCreate);
    EXPECT_EQ(f.FileName(), t.Path);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.Position(), 10);
    f.SetPosition(2);
    char buf[4] = {};
    f.ReadBuffer(buf, 3);   // read right after a write, through a seek
    EXPECT_STREQ(buf, "234");
    f.WriteBuffer("xy", 2);   // write right after a read
    f.SetSize(8);
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Position(), 7);
  }
  TFileStream r(t.Path, fmOpenRead);
  char all[9] = {};
  EXPECT_EQ(r.Read(all, 20), 8);
  EXPECT_STREQ(all, "01234xy7");
  EXPECT_THROW(r.ReadBuffer(all, 1), EReadError);
  EXPECT_THROW(r.Seek(-1, soBeginning), EStreamError);
  EXPECT_EQ(r.Seek(-2, soEnd), 6);
  // A file opened for reading only takes no writes.
  EXPECT_THROW(r.WriteBuffer("q", 1), EWriteError);
}

TEST(FileStream, ErrorsNameThePathAndTheReason) {
  const std::string missing = "fwbase_no_such_dir/none.bin";
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    const std::string prefix = "Cannot open file \"" + missing + "\". ";
    ASSERT_EQ(e.Message().compare(0, prefix.size(), prefix), 0) << e.Message();
    EXPECT_GT(e.Message().size(), prefix.size()) << "the system's reason is missing";
  }
  try {
    TFileStream f(missing, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"" + missing + "\". ", 0), 0u) << e.Message();
  }
  // A folder is not a file.
  EXPECT_THROW(TFileStream(".", fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(".", fmOpenReadWrite), EFOpenError);
}

TEST(FileStream, StringsAndMemoryStreamsThroughFiles) {
  TTempFile t("fwbase_strings_test.txt");
  TStringList l;
  l.Add("a");
  l.Add("b");
  l.SaveToFile(t.Path);
  TMemoryStream m;
  m.LoadFromFile(t.Path);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size())), "a\r\nb\r\n");
  TStringList back;
  back.LoadFromFile(t.Path);
  EXPECT_EQ(back.Count(), 2);
  EXPECT_EQ(back[1], "b");
  m.SaveToFile(t.Path);
  EXPECT_THROW(back.LoadFromFile("fwbase_missing.txt"), EFOpenError);
}
