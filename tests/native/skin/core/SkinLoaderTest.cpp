// Tests of the skin options-text loaders over the generated fixture skins
// (tests/fixtures/skins/make_skins.py): every mask value form, the older draw-mode rule,
// textures by size, section inheritance and its cycles, CommonSections, the version callback,
// hue and saturation, and the fault cases (divisions by zero, scans of missing or too small
// images, key pixels of images without alpha, packed names in mixed case, bounded sizes).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/base/SysUtils.h"
#include "skin/core/sSkinLoader.h"

namespace {

const std::string Fixtures = ORBEX_LOADER_FIXTURES;

struct TLoaded {
  TsSkinFiles Files;
  TsPixelImageHost Host;
  TsLoadedSkin Skin;
  TsSkinTables& T() { return Skin.Tables; }

  const TsMaskData* Mask(const std::string& section, const std::string& key) {
    const int i = FindMaskEntryDirect(&Skin.Tables, section, key);
    return i < 0 ? nullptr : &Skin.Tables.MaskData[static_cast<size_t>(i)];
  }
  const TsGeneralData& Section(const std::string& name) {
    const int i = FindSectionIndex(&Skin.Tables, name);
    EXPECT_GE(i, 0) << name;
    return Skin.Tables.GeneralData.at(static_cast<size_t>(i < 0 ? 0 : i));
  }
  TlxPixelBuffer Pixels(const TObject* image) { return Host.Pixels(const_cast<TObject*>(image)); }
};

std::unique_ptr<TLoaded> Load(const std::string& name, const TsLoadSettings& settings = {}) {
  auto l = std::make_unique<TLoaded>();
  OpenSkinFiles(Fixtures + "/" + name, l->Files);
  LoadSkin(l->Files.Source(), settings, l->Host, l->Skin);
  return l;
}

void ExpectBorders(const TsMaskData* m, int lr, int tb) {
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->WL, lr);
  EXPECT_EQ(m->WR, lr);
  EXPECT_EQ(m->WT, tb);
  EXPECT_EQ(m->WB, tb);
}

}  // namespace

TEST(SkinLoader, FixedColumnAndRegionForms) {
  auto l = Load("Vivid");
  const TsMaskData* b = l->Mask("PANEL", "BORDERSMASK");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->R, (TRect{10, 20, 40, 60}));
  ExpectBorders(b, 5, 5);
  EXPECT_EQ(b->ImageCount, 3);
  EXPECT_EQ(b->MaskType, 2);
  EXPECT_EQ(b->DrawMode, 1);
  EXPECT_EQ(b->BorderWidth, 0);
  EXPECT_EQ(b->ImgType, 0);
  EXPECT_EQ(b->CornerType, 1) << "key pixel at the first frame's top-left";
  EXPECT_FALSE(b->Bmp);

  const TsMaskData* g = l->Mask("PANEL", "GLYPHMASK");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->R, (TRect{0, 0, 48, 32}));
  EXPECT_EQ(g->ImgType, 2);
  EXPECT_EQ(g->ImageCount, 3);
  EXPECT_EQ(g->MaskType, 1);
  EXPECT_EQ(g->WL + g->WT + g->WR + g->WB, 0);

  const TsMaskData* p = l->Mask("PANEL", "PATTERN");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->ImgType, 1);
  EXPECT_EQ(p->ImageCount, 1);
  EXPECT_EQ(p->MaskType, 1);
  EXPECT_EQ(p->DrawMode, 1);

  // "#": names upper-cased; borders computed, or all the common width.
  const TsMaskData* f = l->Mask("BUTTON", "FREEMASK");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->R, (TRect{10, 40, 100, 70}));
  EXPECT_EQ(f->ImageCount, 3);
  EXPECT_EQ(f->MaskType, 1);
  ExpectBorders(f, 10, 5);
  EXPECT_EQ(f->DrawMode, 5);
  EXPECT_EQ(f->CornerType, 1);
  const TsMaskData* f2 = l->Mask("BUTTON", "FREEMASK2");
  ExpectBorders(f2, 4, 4);
  EXPECT_EQ(f2->DrawMode, 1);

  // Before 7.4 the middle piece decides stretching; region textures never stretch.
  auto old = Load("Vivid73");
  EXPECT_EQ(old->Mask("PANEL", "BORDERSMASK")->DrawMode, 0);
  EXPECT_EQ(old->Mask("PANEL", "PATTERN")->DrawMode, 0);
}

TEST(SkinLoader, OwnImagesAndBitmapFiles) {
  auto l = Load("Vivid");
  const TsMaskData* o = l->Mask("EDIT", "OWNMASK");
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->ImgType, 4) << "field 4 of 7 reads as 4";
  EXPECT_EQ(o->R, (TRect{0, 0, 90, 60}));
  EXPECT_EQ(o->DrawMode, 1);
  EXPECT_EQ(o->CornerType, 0) << "only image type 0 is scanned";
  ASSERT_TRUE(o->Bmp);
  const TsMaskData* t = l->Mask("EDIT", "OWNTHIRDS");
  ExpectBorders(t, 10, 10);
  EXPECT_EQ(t->ImgType, 0);
  EXPECT_EQ(t->CornerType, 1);
  EXPECT_EQ(l->Mask("EDIT", "SMALLPNG"), nullptr) << "a \".png\" name is skipped";

  // A PNG of version 7.4 loses only its fully transparent white.
  const TsMaskData* png = l->Mask("EDIT", "GLYPH");
  ASSERT_NE(png, nullptr);
  const TlxPixelBuffer v = l->Pixels(png->Bmp.get());
  ASSERT_EQ(v.Width, 8);
  EXPECT_EQ(GetPix(v, 0, 0), 0u);
  EXPECT_EQ(GetPix(v, 1, 0), 0xFFC86432u);

  const TsMaskData* bmp = l->Mask("EDIT", "FRAME");
  ASSERT_NE(bmp, nullptr) << "a \".bmp\" value is upper-cased and found";
  EXPECT_EQ(bmp->ImageCount, 3);
  EXPECT_EQ(bmp->MaskType, 1);
  EXPECT_EQ(bmp->DrawMode, 0);
  ExpectBorders(bmp, 10, 10);
}

TEST(SkinLoader, TexturesBySize) {
  auto l = Load("Vivid");
  const TsMaskData* small = l->Mask("TEXTURES", "PATTERN");
  ASSERT_NE(small, nullptr) << "999 x 900 is a mask entry";
  EXPECT_EQ(small->ImgType, 1);
  EXPECT_EQ(small->ImageCount, 1);
  EXPECT_EQ(small->R, (TRect{0, 0, 999, 900})) << "the whole picture, so that it paints";
  EXPECT_EQ(l->Pixels(small->Bmp.get()).Width, 999);
  EXPECT_EQ(GetPix(l->Pixels(small->Bmp.get()), 500, 500), 0xFF808080u);
  EXPECT_EQ(l->Mask("TEXTURES", "HOTPATTERN"), nullptr);
  const int si = FindSectionIndex(&l->T(), "TEXTURES");
  const int p = FindPatternEntry(&l->T(), si, "TEXTURES", "HOTPATTERN");
  ASSERT_GE(p, 0) << "1000 x 900 stays a texture";
  EXPECT_EQ(l->Pixels(l->T().PatternData[static_cast<size_t>(p)].Img.get()).Width, 1000);
  EXPECT_EQ(l->Section("TEXTURES").TextureIndex, FindMaskEntryDirect(&l->T(), "TEXTURES", "PATTERN"));
}

TEST(SkinLoader, SectionsInheritAndCyclesEnd) {
  auto l = Load("Vivid");
  const TsGeneralData& panel = l->Section("PANEL");
  const TsGeneralData& button = l->Section("BUTTON");
  EXPECT_EQ(panel.Color, 65280);
  EXPECT_EQ(button.Color, 65280) << "BUTTON takes PANEL's colour";
  EXPECT_EQ(button.Props[0].Color, 65280);
  EXPECT_TRUE(button.ShowFocus);
  EXPECT_FALSE(l->Section("EDIT").ShowFocus) << "yes is not true";
  EXPECT_EQ(button.HotFontColor[0], 255);
  EXPECT_EQ(button.Props[1].FontColor[0], 255);
  EXPECT_EQ(button.BorderIndex, FindMaskEntryDirect(&l->T(), "PANEL", "BORDERSMASK"));
  // One state: the hot state is the normal one; the plain hot fields stay 0.
  EXPECT_EQ(panel.Props[1].Color, panel.Props[0].Color);
  EXPECT_EQ(panel.HotColor, 0);
  EXPECT_EQ(panel.FontColor[1], -1);
  EXPECT_EQ(panel.GradientData, " ");
  EXPECT_EQ(panel.FadingIterations, 5);

  const TsGeneralData& a = l->Section("CYCLEA");
  EXPECT_EQ(a.Color, 0xFFFFFF);
  EXPECT_EQ(a.States, 1);
  EXPECT_EQ(l->Section("CYCLEB").States, 1) << "inherited from CYCLEA";
  EXPECT_EQ(a.BorderIndex, -1);

  const TsSkinData& d = l->T().SkinData;
  EXPECT_DOUBLE_EQ(d.Version, 7.4);
  EXPECT_EQ(d.Shadow1Blur, 3);
  EXPECT_EQ(d.ExMaxHeight, 30);
  EXPECT_EQ(d.BorderColor, 6316128);
  EXPECT_GE(l->T().CommonIndexes.GlobalInfo, 0);
}

TEST(SkinLoader, SystemColorsThroughTheHook) {
  auto native = Load("SysColors");
  EXPECT_EQ(native->Section("BASE").Color, 0xC8D0D4) << "button face of the fixed table";
  TsLoadSettings s;
  s.SystemColorToRGB = [](TColor c) { return static_cast<TColor>(c & 0xFF) * 0x010101; };
  auto l = Load("SysColors", s);
  EXPECT_EQ(l->Section("BASE").Color, 0x0F0F0F);
  EXPECT_EQ(l->Section("BASE").FontColor[0], -16777208) << "given in the section: as written";
  EXPECT_EQ(l->Section("CHILD").FontColor[0], 0x080808) << "inherited: converted";
  EXPECT_EQ(l->Section("CHILD").Color, 0x0F0F0F);
}

TEST(SkinLoader, CommonSectionsMerge) {
  TsLoadSettings s;
  s.CommonSections =
      "[PANEL]\r\nCOLOR=255\r\n[NEWSEC]\r\nPARENTCLASS=panel\r\nFONTCOLOR=16711680\r\n"
      "BORDERSMASK=# (0,0,30,30) (1,0,3)\r\n[GLOBALINFO]\r\nX=# (0,0,3,3)\r\n";
  auto l = Load("Vivid", s);
  EXPECT_EQ(l->Section("PANEL").Color, 255);
  EXPECT_EQ(l->Section("PANEL").FontColor[0], 0) << "not named: kept";
  const TsGeneralData& n = l->Section("NEWSEC");
  EXPECT_EQ(n.Color, 255) << "a copy of the merged PANEL";
  EXPECT_EQ(n.FontColor[0], 16711680);
  const TsMaskData* m = l->Mask("NEWSEC", "BORDERSMASK");
  ASSERT_NE(m, nullptr);
  ExpectBorders(m, 3, 3);
  EXPECT_EQ(n.BorderIndex, FindMaskEntryDirect(&l->T(), "NEWSEC", "BORDERSMASK"));
  EXPECT_EQ(l->Mask("GLOBALINFO", "X"), nullptr);
}

TEST(SkinLoader, VersionCallbackAndConversionErrors) {
  for (auto [name, version] : {std::pair{"Version80", 8.0}, std::pair{"Version65", 6.5}}) {
    double seen = -1;
    TsLoadSettings s;
    s.OnSkinVersion = [&](double v) { seen = v; };
    Load(name, s);
    EXPECT_DOUBLE_EQ(seen, version);
  }
  EXPECT_THROW(Load("BadColumn"), EConvertError);
  TsSkinFiles none;
  EXPECT_THROW(OpenSkinFiles(Fixtures + "/NoSuchSkin", none), Exception);
}

TEST(SkinLoader, FaultCasesDivideNothingByZero) {
  auto l = Load("Faults");
  for (const char* key : {"ZEROCOUNT", "NOBAND", "CARETZERO"}) {
    SCOPED_TRACE(key);
    const TsMaskData* m = l->Mask("PANEL", key);
    ExpectBorders(m, 0, 0);
    EXPECT_EQ(m->DrawMode & 1, 0) << "no stretch";
  }
  EXPECT_EQ(l->Mask("PANEL", "NEGATIVETYPE")->ImgType, 0);
  EXPECT_EQ(l->Mask("PANEL", "ZEROWIDE"), nullptr) << "an image of width 0 adds no entry";
  EXPECT_EQ(l->Mask("PANEL", "MISSING"), nullptr);
  // Only pixels inside the 16 x 16 master are scanned; its key pixel at (14, 14) is found.
  EXPECT_EQ(l->Mask("PANEL", "PAST")->CornerType, 1);
  // A 24-bit image keeps its key pixels exactly.
  const TsMaskData* k = l->Mask("PANEL", "KEY24");
  ASSERT_NE(k, nullptr);
  const TlxPixelBuffer v = l->Pixels(k->Bmp.get());
  EXPECT_EQ(GetPix(v, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(GetPix(v, 1, 0), 0xFFFF0000u);
  EXPECT_EQ(k->CornerType, 1);

  // Without a master bitmap (the description "Blue #2" is a region value) nothing is scanned.
  auto n = Load("NoMaster");
  for (auto [section, key] : {std::pair{"PANEL", "BORDERSMASK"}, std::pair{"PANEL", "CARET"},
                              std::pair{"GLOBALINFO", "DESCRIPTION"}}) {
    ASSERT_NE(n->Mask(section, key), nullptr) << key;
    EXPECT_EQ(n->Mask(section, key)->CornerType, 0) << key;
  }
}

TEST(SkinLoader, CountsAndWidthsOutsideSixteenBitsAreHeldInRange) {
  struct TCase {
    const char* Value;
    int L, T, R, B, Border, Count;
  };
  const TCase cases[] = {
      {"^0010 0020 0040 0060 -999 0005 0005 0005 3 2 1 0", 0, 5, 5, 5, 0, 3},
      {"# (0,0,90,60) (1,0,40000)", 32767, 32767, 32767, 32767, 32767, 1},
      {"# (0,0,90,60) (70000,0)", 0, 20, 0, 20, 0, 32767},
      {"# (40,40,10,10) (1,0)", 0, 0, 0, 0, 0, 1},   // an inverted rectangle: no third of it
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    std::unique_ptr<TMemIniFile> ini =
        SkinIniFromText(std::string("[GLOBALINFO]\r\nVERSION=8\r\n[PANEL]\r\nBORDERSMASK=") + c.Value + "\r\n");
    TsPixelImageHost host;
    TsLoadedSkin skin;
    LoadSkin(TsSkinSource{ini.get(), nullptr, "/nonexistent-orbex-skin/"}, {}, host, skin);
    const int i = FindMaskEntryDirect(&skin.Tables, "PANEL", "BORDERSMASK");
    ASSERT_GE(i, 0);
    const TsMaskData& m = skin.Tables.MaskData[static_cast<size_t>(i)];
    EXPECT_EQ((std::vector<int>{m.WL, m.WT, m.WR, m.WB, m.BorderWidth, m.ImageCount}),
              (std::vector<int>{c.L, c.T, c.R, c.B, c.Border, c.Count}));
  }
}

TEST(SkinLoader, PackedNamesIgnoreCase) {
  auto l = Load("MixedPack.tez");
  const TsMaskData* m = l->Mask("PANEL", "BORDERSMASK");
  ASSERT_NE(m, nullptr) << "\"Mixed.BMP\" found in the pack";
  EXPECT_EQ(m->R, (TRect{0, 0, 90, 60}));
  auto packed = Load("Vivid.tez");
  auto folder = Load("Vivid");
  EXPECT_EQ(packed->T().MaskData.size(), folder->T().MaskData.size());
  EXPECT_EQ(packed->T().PatternData.size(), 1u);
}

TEST(SkinLoader, HueThenSaturation) {
  TsLoadSettings s;
  s.HueOffset = 120;
  auto l = Load("Hue", s);
  const TsGeneralData& p = l->Section("PANEL");
  EXPECT_EQ(p.Color, 65280);
  EXPECT_EQ(p.Props[0].Color, 65280);
  EXPECT_EQ(p.FontColor[0], 8421504) << "grey kept";
  EXPECT_EQ(p.FontColor[1], -1);
  ASSERT_EQ(p.GradientArray.size(), 1u);
  EXPECT_EQ(p.GradientArray[0].Color1, 65280);
  EXPECT_EQ(p.Props[0].GradientArray[0].Color1, 65280);
  EXPECT_EQ(l->T().SkinData.Shadow1Color, 65280);
  EXPECT_EQ(l->T().SkinData.BorderColor, 8421504);
  const TlxPixelBuffer m = l->Pixels(l->Skin.MasterBitmap.get());
  EXPECT_EQ(GetPix(m, 0, 0), 0xFF00FF00u) << "red became green";
  EXPECT_EQ(GetPix(m, 1, 0), 0xFF808080u);
  EXPECT_EQ(GetPix(m, 2, 0), 0x00FF00FFu);
  EXPECT_EQ(GetPix(m, 3, 0), 0xFFFF0000u) << "the close button keeps its hue";
  const TlxPixelBuffer own = l->Pixels(l->Mask("PANEL", "OWN")->Bmp.get());
  EXPECT_EQ(GetPix(own, 0, 0), 0xFF00FF00u);
  EXPECT_EQ(GetPix(own, 1, 0), 0x00FF00FFu);

  TsLoadSettings plain, full, half;
  full.Saturation = 101;
  half.Saturation = 50;
  const TColor hot = Load("Hue", plain)->Section("PANEL").HotColor;
  EXPECT_EQ(Load("Hue", full)->Section("PANEL").HotColor, hot) << "taken modulo 101";
  EXPECT_NE(Load("Hue", half)->Section("PANEL").HotColor, hot);
}

TEST(SkinImages, DecodersBoundAndRejectBadFiles) {
  // A bitmap header claiming 100,000 x 100,000 pixels is refused before any allocation.
  std::vector<std::uint8_t> huge(54, 0);
  huge[0] = 'B';
  huge[1] = 'M';
  huge[10] = 54;
  huge[14] = 40;
  for (int i : {18, 22}) {
    huge[i] = 0xA0;
    huge[i + 1] = 0x86;
    huge[i + 2] = 0x01;
  }
  huge[28] = 32;
  TsDecodedImage img;
  EXPECT_THROW(DecodeBmp(huge, img), EInvalidGraphic);
  huge[18] = huge[22] = 4;
  huge[19] = huge[20] = huge[23] = huge[24] = 0;
  EXPECT_THROW(DecodeBmp(huge, img), EInvalidGraphic) << "4 x 4 pixels but no data";
  const std::vector<std::uint8_t> junk{1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_THROW(DecodeJpeg(junk, img), EInvalidGraphic);
  EXPECT_THROW(DecodePng(junk, 7.2, img), Exception);
  TsPixelImageHost host;
  EXPECT_THROW(host.NewImage32(MaxSkinImageSide + 1, 1), EInvalidGraphic);
  EXPECT_THROW(host.NewImage32(0, 5), EInvalidGraphic);
}
