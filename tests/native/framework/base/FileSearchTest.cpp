// The framework's file search over a folder made for the test: patterns with letter case
// ignored, "*.*", folders found only when asked for, the end of a search and searches that
// find nothing (nothing left open). Also the thread's stored priority.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "framework/base/SysUtils.h"
#include "framework/base/Thread.h"

namespace {

class FileSearch : public ::testing::Test {
protected:
  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() /
           ("orbex_search_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(FDir);
    std::filesystem::create_directories(FDir / "sub");
    for (const char* n : {"a.txt", "B.TXT", "c.dat", "noext"}) std::ofstream(FDir / n) << "12345";
  }
  void TearDown() override { std::filesystem::remove_all(FDir); }

  std::string Path(const std::string& pattern) const {
    return IncludeTrailingPathDelimiter(FDir.string()) + pattern;
  }
  // Every name found for the pattern and attributes.
  std::set<std::string> Names(const std::string& pattern, int attr) {
    std::set<std::string> names;
    TSearchRec rec;
    for (int r = FindFirst(Path(pattern), attr, rec); r == 0; r = FindNext(rec)) names.insert(rec.Name);
    FindClose(rec);
    EXPECT_EQ(rec.FindHandle, nullptr);
    return names;
  }
  std::filesystem::path FDir;
};

}  // namespace

TEST_F(FileSearch, PatternsIgnoreLetterCase) {
  EXPECT_EQ(Names("*.txt", faAnyFile), (std::set<std::string>{"a.txt", "B.TXT"}));
  EXPECT_EQ(Names("?.TxT", 0), (std::set<std::string>{"a.txt", "B.TXT"}));
  EXPECT_EQ(Names("c*", 0), (std::set<std::string>{"c.dat"}));
}

TEST_F(FileSearch, FoldersOnlyWhenAskedFor) {
  const std::set<std::string> files{"a.txt", "B.TXT", "c.dat", "noext"};
  EXPECT_EQ(Names("*", 0), files);
  std::set<std::string> all = Names("*.*", faDirectory);
  EXPECT_TRUE(all.count("sub"));
  EXPECT_TRUE(all.count("noext"));   // "*.*" matches names without a dot
  for (const std::string& f : files) EXPECT_TRUE(all.count(f)) << f;

  TSearchRec rec;
  ASSERT_EQ(FindFirst(Path("sub"), faDirectory, rec), 0);
  EXPECT_EQ(rec.Name, "sub");
  EXPECT_NE(rec.Attr & faDirectory, 0);
  EXPECT_NE(FindNext(rec), 0);
  ASSERT_EQ(FindFirst(Path("a.txt"), faAnyFile, rec), 0);   // a second search replaces the first
  EXPECT_EQ(rec.Size, 5);
  EXPECT_EQ(rec.Attr & faDirectory, 0);
}

TEST_F(FileSearch, NothingFoundHoldsNothing) {
  TSearchRec rec;
  EXPECT_EQ(FindFirst(Path("*.none"), faAnyFile, rec), 2);
  EXPECT_EQ(rec.FindHandle, nullptr);
  EXPECT_EQ(FindFirst(Path("sub"), 0, rec), 2);   // a folder not asked for
  EXPECT_NE(FindFirst(Path("missing") + PathDelim() + "*", faAnyFile, rec), 0);
  EXPECT_EQ(rec.FindHandle, nullptr);
  EXPECT_EQ(FindNext(rec), 18);
  FindClose(rec);
  FindClose(rec);
}

TEST(ThreadPriority, StoredAndNormalByDefault) {
  class TIdle : public TThread {
  public:
    TIdle() : TThread(true) {}
    void Execute() override {}
  } t;
  EXPECT_EQ(t.GetPriority(), tpNormal);
  t.SetPriority(tpTimeCritical);
  EXPECT_EQ(t.GetPriority(), tpTimeCritical);
  EXPECT_LT(tpIdle, tpLowest);
  EXPECT_LT(tpHighest, tpTimeCritical);
}
