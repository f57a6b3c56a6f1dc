// The utilities' image record and file search under the engine's names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "skin/paint/sUtils.h"

TEST(UtilsImageSpec, BitmapPieceReadyWithTheKeyColour) {
  auto* fake = reinterpret_cast<TBitmap*>(static_cast<std::uintptr_t>(0x1000));
  const TsBackgroundInfo s = FillImageSpec(fake, -2, 7);
  EXPECT_EQ(s.Bitmap, fake);
  EXPECT_EQ(s.X, -2);
  EXPECT_EQ(s.Y, 7);
  EXPECT_EQ(s.Color, 0xFF00FF);
  EXPECT_EQ(s.Ready, 1);
  const TsBackgroundInfo e = EmptyBackgroundInfo();
  EXPECT_EQ(e.Bitmap, nullptr);
  EXPECT_EQ(e.Color, 0xFF00FF);
  EXPECT_EQ(e.Ready, 0);
}

TEST(UtilsSearch, FindsTheSkinFilesOfAFolder) {
  const auto dir = std::filesystem::temp_directory_path() / "orbex_utils_search";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "Dusk.tez") << "x";
  std::ofstream(dir / "readme") << "x";
  TSearchRec rec;
  ASSERT_EQ(SearchFirst(IncludeTrailingPathDelimiter(dir.string()) + "*.TEZ", faAnyFile, rec), 0);
  EXPECT_EQ(rec.Name, "Dusk.tez");
  EXPECT_NE(SearchNext(rec), 0);
  SearchClose(rec);
  EXPECT_EQ(rec.FindHandle, nullptr);
  std::filesystem::remove_all(dir);
}
