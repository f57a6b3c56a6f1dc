// The window-free rules of the control skin state: kind sets and default sections, the state
// record a section answers, fill bits, the per-cent colour mix of see-through sections, and
// each rule deciding whether a control needs an image of its own.
#include "skin/core/sCommonDataCore.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(CommonDataKinds, SetsAndDefaultSections) {
  for (int kind : {-1, 256, 300, 100000}) {
    EXPECT_FALSE(IsContainerKind(kind)) << kind;
    EXPECT_FALSE(IsEditKind(kind)) << kind;
    EXPECT_FALSE(IsNoGlowKind(kind)) << kind;
  }
  for (int kind : {19, 51, 74, 110, 141, 151, 161}) EXPECT_TRUE(IsContainerKind(kind)) << kind;
  for (int kind : {18, 50, 75, 140, 162}) EXPECT_FALSE(IsContainerKind(kind)) << kind;
  for (int kind : {2, 3, 18, 41, 76, 84, 96, 131, 140}) EXPECT_TRUE(IsEditKind(kind)) << kind;
  for (int kind : {1, 19, 85, 141}) EXPECT_FALSE(IsEditKind(kind)) << kind;
  for (int kind : {51, 56, 60, 92, 93, 94, 151, 226}) EXPECT_TRUE(IsNoGlowKind(kind)) << kind;
  for (int kind : {53, 55, 61, 95, 152}) EXPECT_FALSE(IsNoGlowKind(kind)) << kind;

  EXPECT_EQ(DefaultSectionOfKind(151, "TsStatusBar"), "STATUSBAR");
  EXPECT_EQ(DefaultSectionOfKind(3, "TsComboBox"), "EDIT");
  EXPECT_EQ(DefaultSectionOfKind(11, ""), "COMBOBOX");
  EXPECT_EQ(DefaultSectionOfKind(52, ""), "PANEL_LOW");
  EXPECT_EQ(DefaultSectionOfKind(93, ""), "BUTTON");
  EXPECT_EQ(DefaultSectionOfKind(227, ""), "EDIT");
  EXPECT_EQ(DefaultSectionOfKind(300, "TsGauge"), "TSGAUGE");
  EXPECT_EQ(DefaultSectionOfKind(9, "TMyEdit"), "TMYEDIT");
}

TEST(CommonDataSections, StateRecordAndFillBits) {
  TsGeneralData s;
  s.Props[0].Color = 1;
  s.Props[1].Color = 2;
  s.States = 1;
  EXPECT_EQ(SectionState(s, 1).Color, 1);   // one state: the hot record is not used
  s.States = 2;
  EXPECT_EQ(SectionState(s, 1).Color, 2);
  EXPECT_EQ(SectionState(s, 0).Color, 1);

  TsGenState g;
  EXPECT_EQ(BackgroundKindBits(g, 5), 0);   // a texture without image share does not count
  g.ImagePercent = 40;
  EXPECT_EQ(BackgroundKindBits(g, -1), 0);
  EXPECT_EQ(BackgroundKindBits(g, 5), 4);
  g.GradientPercent = 60;
  EXPECT_EQ(BackgroundKindBits(g, 5), 4);   // a share without stops paints nothing
  g.GradientArray = {TsGradientStop{0, 0, 100, 1}};
  EXPECT_EQ(BackgroundKindBits(g, 5), 5);
  g.GradientArray[0].Mode = 0;
  EXPECT_EQ(BackgroundKindBits(g, -1), 2);
  g.GradientArray[0].Mode = 2;
  EXPECT_EQ(BackgroundKindBits(g, -1), 3);
}

TEST(CommonDataSections, GradientFollowsTheExtentItRunsAlong) {
  TsGenState g;
  EXPECT_FALSE(GradientFollowsExtent(g, true, true));   // no gradient
  g.GradientPercent = 100;
  g.GradientArray = {TsGradientStop{0, 0, 100, gmVertical}};
  EXPECT_EQ(std::make_pair(GradientFollowsExtent(g, true, false), GradientFollowsExtent(g, false, true)), std::make_pair(false, true));
  g.GradientArray[0].Mode = gmHorizontal;
  EXPECT_EQ(std::make_pair(GradientFollowsExtent(g, true, false), GradientFollowsExtent(g, false, true)), std::make_pair(true, false));
  g.GradientArray[0].Mode = gmTriangles;
  EXPECT_EQ(std::make_pair(GradientFollowsExtent(g, true, false), GradientFollowsExtent(g, false, true)), std::make_pair(true, true));
}

TEST(CommonDataColors, PerCentMixOfSeeThroughSections) {
  EXPECT_EQ(MixSectionColor(0x000000, 0xFFFFFF, 0), 0x000000);
  EXPECT_EQ(MixSectionColor(0x000000, 0xFFFFFF, 100), 0xFFFFFF);
  EXPECT_EQ(MixSectionColor(0x000000, 0xFFFFFF, 50), 0x808080);
  // Per channel and per cent, never by 256ths: 25 % of the way from 200 to 0 is 150.
  EXPECT_EQ(MixSectionColor(0x0000C8, 0x00C800, 25), 0x003296);
  // A parent darker than the section: no negative shift.
  EXPECT_EQ(MixSectionColor(0xFFFFFF, 0x000000, 50), 0x808080);
  EXPECT_EQ(MixSectionColor(0x123456, 0xABCDEF, -7), 0x123456);
  EXPECT_EQ(MixSectionColor(0x123456, 0xABCDEF, 250), 0xABCDEF);
  EXPECT_EQ(MixSectionColor(0x7F123456, 0x7FABCDEF, 0), 0x123456);   // RGB only
}

class NeedsOwnImage : public ::testing::Test {
protected:
  void SetUp() override {
    T.GeneralData.resize(1);
    T.MaskData.resize(2);
    for (TsMaskData& m : T.MaskData) {
      m.R = TRect{0, 0, 30, 30};
      m.ImageCount = 1;
      m.MaskType = 0;
      m.WL = m.WT = m.WR = m.WB = 5;
    }
    Q.Skin = &T;
    Q.Section = 0;
    Q.HasParent = true;
    Q.ParentPlain = true;
  }
  TsGenState& State() { return T.GeneralData[0].Props[0]; }
  TsSkinTables T;
  TsOwnImageQuery Q;
};

TEST_F(NeedsOwnImage, NoSkinOrSection) {
  TsOwnImageQuery none;
  EXPECT_FALSE(NeedsOwnImageFor(none));
  Q.Section = 1;
  State().Transparency = 50;
  EXPECT_FALSE(NeedsOwnImageFor(Q));
  Q.Section = -1;
  EXPECT_FALSE(NeedsOwnImageFor(Q));
}

TEST_F(NeedsOwnImage, BorderMasks) {
  Q.BorderMask = 0;
  EXPECT_FALSE(NeedsOwnImageFor(Q));   // opaque flat section, thin borders
  T.MaskData[0].DrawMode = 4;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  T.MaskData[0].DrawMode = 1;
  T.MaskData[0].WL = 11;
  T.MaskData[0].WR = 10;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  T.MaskData[0].WR = 9;
  EXPECT_FALSE(NeedsOwnImageFor(Q));   // exactly 20 is not above
  T.MaskData[0].WT = 15;
  T.MaskData[0].WB = 6;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  Q.BorderMask = 7;                    // out of range: no mask
  EXPECT_FALSE(NeedsOwnImageFor(Q));
}

TEST_F(NeedsOwnImage, FullySeeThrough) {
  State().Transparency = 100;
  EXPECT_FALSE(NeedsOwnImageFor(Q));   // under a plain parent
  Q.ParentPlain = false;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  Q.ParentPlain = true;
  Q.HasParent = false;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  Q.HasParent = true;
  Q.Texture = 1;
  T.MaskData[1].DrawMode = 10;         // tiles with a transparency band
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  T.MaskData[1].DrawMode = 0;
  EXPECT_FALSE(NeedsOwnImageFor(Q));
  State().GradientPercent = 100;
  State().GradientArray = {TsGradientStop{0, 0, 100, 0}};
  EXPECT_TRUE(NeedsOwnImageFor(Q));
}

TEST_F(NeedsOwnImage, PartlyAndNotSeeThrough) {
  State().Transparency = 50;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  State().Transparency = 0;
  EXPECT_FALSE(NeedsOwnImageFor(Q));
  Q.Texture = 1;
  EXPECT_FALSE(NeedsOwnImageFor(Q));   // no image share
  State().ImagePercent = 30;
  EXPECT_TRUE(NeedsOwnImageFor(Q));
  Q.Texture = -1;
  State().GradientPercent = 100;
  State().GradientArray = {TsGradientStop{0, 0, 100, 0}};
  EXPECT_TRUE(NeedsOwnImageFor(Q));
}

}  // namespace
