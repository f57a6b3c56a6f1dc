// The skin loaders over the Windows image host: the master bitmap, own bitmaps and textures are
// 32-bit DIB bitmaps of the framework whose pixels (key pixels and alpha included) are what the
// loader decoded, the mask painting reads them, the system's values reach the settings, and
// loads that succeed or raise leave no GDI object behind.
#include <gtest/gtest.h>

#include "framework/win/Graphics.h"

#include "skin/core/win/sSkinImagesWin.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/ResourceCount.h"

namespace {

const std::string Fixtures = ORBEX_LOADER_FIXTURES;

}  // namespace

TEST(SkinLoaderWin, TablesHoldDibBitmaps) {
  TsSkinFiles files;
  OpenSkinFiles(Fixtures + "/Vivid.tez", files);
  TsDibImageHost host;
  TsLoadSettings settings;
  UseSystemValues(settings);
  EXPECT_GT(settings.FrameWidth, 0);
  TsLoadedSkin skin;
  LoadSkin(files.Source(), settings, host, skin);

  auto* master = As<TBitmap>(skin.MasterBitmap.get());
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->GetPixelFormat(), TPixelFormat::pf32bit);
  const TlxPixelBuffer m = BitmapPixels(master);
  EXPECT_EQ(GetPix(m, 10, 20), 0x00FF00FFu);
  EXPECT_EQ(GetPix(m, 0, 0), 0xFF3060A0u);
  EXPECT_EQ(skin.Tables.SkinData.ExContentOffs, settings.FrameWidth);

  const int i = FindMaskEntryDirect(&skin.Tables, "PANEL", "BORDERSMASK");
  ASSERT_GE(i, 0);
  const TlxMaskImage view = MaskImageOf(skin.Tables.MaskData[static_cast<size_t>(i)], master);
  EXPECT_EQ(view.Image.Width, 128);
  EXPECT_EQ(skin.Tables.MaskData[static_cast<size_t>(i)].CornerType, 1);

  const int own = FindMaskEntryDirect(&skin.Tables, "EDIT", "OWNTHIRDS");
  ASSERT_GE(own, 0);
  const TlxMaskImage ownView = MaskImageOf(skin.Tables.MaskData[static_cast<size_t>(own)], master);
  EXPECT_TRUE(ownView.OwnImage);
  EXPECT_EQ(GetPix(ownView.Image, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(GetPix(ownView.Image, 1, 0), 0xFF785028u);

  ASSERT_EQ(skin.Tables.PatternData.size(), 1u);
  auto* texture = As<TBitmap>(skin.Tables.PatternData[0].Img.get());
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetWidth(), 1000);
  EXPECT_EQ(host.Pixels(texture).Height, 900);
  EXPECT_THROW(host.NewImage32(MaxSkinImageSide + 1, 1), EInvalidGraphic);
}

TEST(SkinLoaderWin, LoadsLeaveNoGdiObjects) {
  auto loadAll = [] {
    // The last load raises in CommonSections, after the master and own bitmaps were made.
    for (const char* common : {"", "", "", "[PANEL]\r\nX=# (0,0,3,3) (1,0,0,x)\r\n"}) {
      TsSkinFiles files;
      OpenSkinFiles(Fixtures + "/Vivid", files);
      TsDibImageHost host;
      TsLoadedSkin skin;
      TsLoadSettings settings;
      settings.HueOffset = 60;
      settings.CommonSections = common;
      if (*common == 0) {
        EXPECT_NO_THROW(LoadSkin(files.Source(), settings, host, skin));
      } else {
        EXPECT_THROW(LoadSkin(files.Source(), settings, host, skin), EConvertError);
      }
    }
  };
  loadAll();
  const TResourceCount before = CountResources();
  for (int i = 0; i < 5; ++i) loadAll();
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}
