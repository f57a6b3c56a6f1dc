// Tests of the skin records' look-ups: inheritance along "PARENTCLASS" (and its cycles), exact
// names, range checks, mask frame and border sizes, the common index block and colour queries.
#include <gtest/gtest.h>

#include "skin/core/sSkinData.h"

namespace {

void AddSection(TsSkinTables& t, const std::string& name, const std::string& parent = "") {
  TsGeneralData g;
  g.ClassName = name;
  g.ParentClass = parent;
  t.GeneralData.push_back(std::move(g));
}

int AddMask(TsSkinTables& t, const std::string& section, const std::string& key,
            std::uint8_t imgType = 0) {
  TsMaskData m;
  m.ClassName = section;
  m.PropertyName = key;
  m.ImgType = imgType;
  t.MaskData.push_back(std::move(m));
  return static_cast<int>(t.MaskData.size()) - 1;
}

// PANEL <- BUTTON <- TOOLBUTTON, a self-parented section, a cycle A <-> B with C under it.
TsSkinTables Sample() {
  TsSkinTables t;
  AddSection(t, "PANEL");
  AddSection(t, "BUTTON", "PANEL");
  AddSection(t, "TOOLBUTTON", "BUTTON");
  AddSection(t, "SELF", "SELF");
  AddSection(t, "A", "B");
  AddSection(t, "B", "A");
  AddSection(t, "C", "A");
  AddSection(t, "ORPHAN", "MISSING");
  AddMask(t, "PANEL", "BORDERSMASK");      // 0
  AddMask(t, "BUTTON", "GLYPHMASK");       // 1
  AddMask(t, "PANEL", "PATTERN", 1);       // 2
  AddMask(t, "PANEL", "HOTPATTERN", 0);    // 3
  AddMask(t, "BUTTON", "BORDERSMASK");     // 4: BUTTON's own
  TsPatternData p;
  p.ClassName = "PANEL";
  p.PropertyName = "PATTERN";
  t.PatternData.push_back(std::move(p));
  return t;
}

int Idx(const TsSkinTables& t, const char* name) { return FindSectionIndex(&t, name); }

}  // namespace

TEST(SkinLookups, InheritanceAlongParentClass) {
  TsSkinTables t = Sample();
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "BUTTON"), "BUTTON", "BORDERSMASK"), 4);   // own first
  t.MaskData[4].PropertyName = "OTHER";
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "BUTTON"), "BUTTON", "BORDERSMASK"), 0);   // from PANEL
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "TOOLBUTTON"), "TOOLBUTTON", "BORDERSMASK"), 0);
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "TOOLBUTTON"), "TOOLBUTTON", "GLYPHMASK"), 1);
  EXPECT_EQ(FindMaskEntryDirect(&t, "TOOLBUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "PANEL"), "PANEL", "GLYPHMASK"), -1);   // no child lookup
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "ORPHAN"), "ORPHAN", "BORDERSMASK"), -1);

  EXPECT_EQ(FindTextureEntry(&t, Idx(t, "BUTTON"), "BUTTON", "PATTERN"), 2);
  EXPECT_EQ(FindTextureEntry(&t, Idx(t, "BUTTON"), "BUTTON", "HOTPATTERN"), -1);   // type 0
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "BUTTON"), "BUTTON", "HOTPATTERN"), 3);
  EXPECT_EQ(FindPatternEntry(&t, Idx(t, "TOOLBUTTON"), "TOOLBUTTON", "PATTERN"), 0);
  EXPECT_EQ(FindPatternEntry(&t, Idx(t, "TOOLBUTTON"), "TOOLBUTTON", "HOTPATTERN"), -1);
}

TEST(SkinLookups, ParentCyclesEnd) {
  const TsSkinTables t = Sample();
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "SELF"), "SELF", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "A"), "A", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskEntry(&t, Idx(t, "C"), "C", "BORDERSMASK"), -1);
  EXPECT_EQ(FindTextureEntry(&t, Idx(t, "C"), "C", "PATTERN"), -1);
  EXPECT_EQ(FindPatternEntry(&t, Idx(t, "B"), "B", "PATTERN"), -1);
}

TEST(SkinLookups, NamesAreExactAndIndexesRangeChecked) {
  const TsSkinTables t = Sample();
  EXPECT_EQ(Idx(t, "PANEL"), 0);
  EXPECT_EQ(Idx(t, "Panel"), -1);
  EXPECT_EQ(Idx(t, "PANEL "), -1);
  EXPECT_EQ(FindSectionIndex(nullptr, "PANEL"), -1);
  EXPECT_EQ(FindMaskEntry(&t, 0, "PANEL", "bordersmask"), -1);
  EXPECT_EQ(FindMaskEntry(&t, 0, "panel", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskEntry(&t, -1, "PANEL", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskEntry(&t, 0, "", "BORDERSMASK"), -1);
  EXPECT_EQ(FindMaskEntry(nullptr, 0, "PANEL", "BORDERSMASK"), -1);
  // An index past the sections still finds the section's own entry but inherits nothing.
  EXPECT_EQ(FindMaskEntry(&t, 999, "PANEL", "BORDERSMASK"), 0);
  EXPECT_EQ(FindMaskEntry(&t, 999, "TOOLBUTTON", "BORDERSMASK"), -1);

  const int masks = static_cast<int>(t.MaskData.size());
  EXPECT_TRUE(MaskIndexInRange(&t, 0));
  EXPECT_TRUE(MaskIndexInRange(&t, masks - 1));
  EXPECT_FALSE(MaskIndexInRange(&t, masks));
  EXPECT_FALSE(MaskIndexInRange(&t, -1));
  EXPECT_FALSE(MaskIndexInRange(nullptr, 0));
  EXPECT_TRUE(SectionIndexInRange(&t, 7));
  EXPECT_FALSE(SectionIndexInRange(&t, 8));
  EXPECT_FALSE(SectionIndexInRange(nullptr, 0));
}

TEST(SkinMaskGeometry, FramesAndBorders) {
  TsMaskData m;
  m.R = Rect(10, 20, 100, 60);   // 90 x 40
  m.ImageCount = 3;
  m.MaskType = 1;
  EXPECT_EQ(MaskFrameWidth(m), 30);
  EXPECT_EQ(MaskFrameHeight(m), 20);
  m.R = Rect(0, 0, 90, 60);
  m.MaskType = 2;
  EXPECT_EQ(MaskFrameHeight(m), 20);
  m.MaskType = 0;
  EXPECT_EQ(MaskFrameHeight(m), 60);
  m.ImageCount = 1;
  EXPECT_EQ(MaskFrameWidth(m), 90);

  // Counts from skin text that would divide by zero or by a negative number give 0.
  m.ImageCount = 0;
  EXPECT_EQ(MaskFrameWidth(m), 0);
  m.ImageCount = -3;
  EXPECT_EQ(MaskFrameWidth(m), 0);
  m.MaskType = -1;
  EXPECT_EQ(MaskFrameHeight(m), 0);
  m.MaskType = -2;
  EXPECT_EQ(MaskFrameHeight(m), 0);

  TsSkinTables t;
  TsMaskData b;
  b.R = Rect(0, 0, 90, 40);
  b.ImageCount = 3;
  b.MaskType = 1;
  t.MaskData.push_back(std::move(b));
  EXPECT_EQ(MaskBorderLeft(&t, 0), 30);    // no widths: the whole frame
  EXPECT_EQ(MaskBorderTop(&t, 0), 20);
  t.MaskData[0].BorderWidth = 4;
  EXPECT_EQ(MaskBorderRight(&t, 0), 4);
  t.MaskData[0].WB = 6;
  EXPECT_EQ(MaskBorderBottom(&t, 0), 6);
  t.MaskData[0].BorderWidth = 0;
  t.MaskData[0].ImageCount = 0;            // counts as one frame here
  EXPECT_EQ(MaskBorderLeft(&t, 0), 90);
  t.MaskData[0].MaskType = -1;
  EXPECT_EQ(MaskBorderTop(&t, 0), 0);
  EXPECT_EQ(MaskBorderLeft(&t, 5), 0);
  EXPECT_EQ(MaskBorderLeft(nullptr, 0), 0);
}

TEST(SkinCommonIndexes, CachedFromTheTables) {
  TsSkinTables t;
  CacheCommonIndexes(&t);
  EXPECT_EQ(t.CommonIndexes.GlobalInfo, -1);
  EXPECT_EQ(t.CommonIndexes.CheckBox[0], -1);
  EXPECT_EQ(t.CommonIndexes.ScrollParts[5].Section, -1);

  AddSection(t, "PANEL");
  AddSection(t, "GLOBALINFO");
  AddSection(t, "COMBOBTN", "PANEL");
  AddSection(t, "COMBOBOX");
  AddSection(t, "TABLEFT");
  AddSection(t, "SCROLLSLIDERH", "PANEL");
  AddSection(t, "SCROLLBAR2V");
  AddSection(t, "WEBBUTTON");
  const int boxGrayed = AddMask(t, "GLOBALINFO", "BOXGRAYED");
  const int smallChecked = AddMask(t, "GLOBALINFO", "SMALLCHECKED");
  const int grip = AddMask(t, "GLOBALINFO", "GRIPVERT");
  const int panelBorder = AddMask(t, "PANEL", "BORDERSMASK");
  const int comboTexture = AddMask(t, "COMBOBTN", "PATTERN", 1);
  AddMask(t, "COMBOBTN", "HOTPATTERN", 0);   // not a texture
  const int comboGlyph = AddMask(t, "COMBOBOX", "GLYPHMASK");
  const int tabLeft = AddMask(t, "TABLEFT", "BORDERSMASK");
  const int sliderGlyph = AddMask(t, "SCROLLSLIDERH", "GLYPHMASK");
  const int sliderHot = AddMask(t, "SCROLLSLIDERH", "HOTPATTERN", 0);
  const int barPattern = AddMask(t, "SCROLLBAR2V", "PATTERN");
  CacheCommonIndexes(&t);

  const TsCommonIndexes& c = t.CommonIndexes;
  EXPECT_EQ(c.GlobalInfo, 1);
  EXPECT_EQ(c.CheckBox[2], boxGrayed);
  EXPECT_EQ(c.CheckBox[0], -1);
  EXPECT_EQ(c.SmallCheckBox[0], smallChecked);
  EXPECT_EQ(c.GripVert, grip);
  EXPECT_EQ(c.ComboBtn, 2);
  EXPECT_EQ(c.ComboBtnBorder, panelBorder);   // inherited from PANEL
  EXPECT_EQ(c.ComboBtnPattern, comboTexture);
  EXPECT_EQ(c.ComboBtnHotPattern, -1);
  EXPECT_EQ(c.ComboGlyph, comboGlyph);
  EXPECT_EQ(c.TabSection[2], 4);
  EXPECT_EQ(c.TabBorder[2], tabLeft);
  EXPECT_EQ(c.TabSection[0], -1);
  EXPECT_EQ(c.ScrollParts[5].Section, 5);
  EXPECT_EQ(c.ScrollParts[5].Border, panelBorder);
  EXPECT_EQ(c.ScrollParts[5].Glyph, sliderGlyph);
  EXPECT_EQ(c.ScrollParts[5].HotPattern, sliderHot);   // scroll patterns are plain masks
  EXPECT_EQ(c.ScrollBars[3].Pattern, barPattern);
  EXPECT_EQ(c.ScrollBars[0].Section, -1);
  EXPECT_EQ(c.WebButton, 7);
}

TEST(SkinColourQueries, SectionsOrTheGivenDefaults) {
  TsSkinTables t;
  EXPECT_EQ(GlobalInfoColor(&t, 0x123456), 0x123456);
  EXPECT_EQ(GlobalInfoFontColor(&t), 0xFF00FF);
  EXPECT_EQ(GlobalInfoHotColor(nullptr, 0xFFFFFF), 0xFFFFFF);
  EXPECT_EQ(EditFontColor(&t, -2), -2);
  EXPECT_EQ(SelectionColor(&t, false, 77), 77);

  AddSection(t, "GLOBALINFO");
  t.GeneralData[0].Props[0].Color = 0x101010;
  t.GeneralData[0].Props[0].FontColor[0] = 0x202020;
  t.GeneralData[0].HotColor = 0x303030;
  EXPECT_EQ(GlobalInfoColor(&t, 0), 0x101010);
  EXPECT_EQ(GlobalInfoFontColor(&t), 0x202020);
  EXPECT_EQ(GlobalInfoHotColor(&t, 0), 0x303030);

  AddSection(t, "MENUITEM");
  t.GeneralData[1].HotColor = 0x00AA00;
  t.GeneralData[1].HotFontColor[0] = 0xFFFFFF;
  EXPECT_EQ(SelectionColor(&t, false, 77), 0x00AA00);     // no SELECTION: MENUITEM's hot colour
  EXPECT_EQ(SelectionFontColor(&t, false, 88), 88);       // white counts as none

  AddSection(t, "SELECTION");
  TsGeneralData& s = t.GeneralData[2];
  s.States = 1;
  s.Props[0].Color = 0x0000CC;
  s.Props[1].Color = 0x00CC00;
  EXPECT_EQ(SelectionColor(&t, true, 77), 0x0000CC);      // one state: normal even when hot
  s.States = 2;
  EXPECT_EQ(SelectionColor(&t, true, 77), 0x00CC00);
  s.Props[1].Color = 0xFF00FF;
  EXPECT_EQ(SelectionColor(&t, true, 77), 0x00AA00);
  t.GeneralData[1].HotColor = -1;
  EXPECT_EQ(SelectionColor(&t, true, 77), 77);
}
