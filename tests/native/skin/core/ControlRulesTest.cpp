// The window-free rules of the skinned cool bar, bound label and labels: a band's grip and
// header size, where a bound label sits, and which colour a label's text takes from the skin.
#include <gtest/gtest.h>

#include "skin/core/sBoundLabelLayout.h"
#include "skin/core/sCoolBarLayout.h"
#include "skin/core/sLabelColors.h"

namespace {

TEST(CoolBarLayout, GripWidthAndHeaderSize) {
  // Exists, hidden, vertical, text, text width, font height, image index, list, image size, grip.
  const struct {
    TsBandHeaderQuery Band;
    int Size;
  } headers[] = {{{true, false, false, true, 30, 13, 0, true, 16, 16, 9}, 61},
                 {{true, false, false, false, 0, 13, 0, false, 0, 0, 9}, 13},   // image 0, no list, no text
                 {{true, true, false, true, 30, 13, 0, true, 16, 16, 9}, 0},    // hidden
                 {{true, false, true, true, 30, 13, 0, true, 16, 20, 9}, 48}};  // vertical
  for (const auto& c : headers) EXPECT_EQ(BandHeaderSize(c.Band), c.Size) << c.Size;
  // Fixed order, band, fixed size, comctl32 version.
  const struct {
    TsBandGripQuery Band;
    int Width;
  } grips[] = {{{false, 0, false, ComCtlVersion471}, 9}, {{false, 0, true, ComCtlVersion471}, 0},
               {{true, 0, false, ComCtlVersion471}, 0}, {{true, 1, false, ComCtlVersion471}, 9},
               {{false, 0, false, 0x40046}, 12}};
  for (const auto& c : grips) EXPECT_EQ(BandGripWidth(c.Band), c.Width) << c.Width;
}

TEST(BoundLabelLayout, PositionBesideTheControl) {
  const TRect c = Bounds(128, 64, 121, 21);
  const struct {
    TsCaptionLayout Layout;
    TPoint At;
  } cases[] = {{sclLeft, {74, 68}}, {sclTopCenter, {163, 50}}, {sclBottomRight, {199, 85}},
               {sclLeftTop, {74, 67}}, {sclTopLeft, {128, 50}}};
  for (const auto& k : cases) EXPECT_EQ(BoundLabelPosition(k.Layout, c, TSize{50, 14}, 0), k.At) << k.Layout;
  EXPECT_EQ(BoundLabelPosition(sclBottomLeft, c, TSize{50, 14}, 3), (TPoint{128, 88}));
}

// A skin with "GLOBALINFO" (font colour 0x111111, contour entries as given) and a panel.
TsSkinTables Skin(bool globalInfo, TColor top, TColor bottom) {
  TsSkinTables t;
  TsGeneralData panel;
  panel.ClassName = "PANEL";
  panel.Props[0].FontColor[0] = 0x222222;
  t.GeneralData.push_back(panel);
  if (globalInfo) {
    TsGeneralData g;
    g.ClassName = "GLOBALINFO";
    g.Props[0].FontColor[0] = 0x111111;
    g.Props[0].FontColor[2] = top;
    g.Props[0].FontColor[4] = bottom;
    t.GeneralData.push_back(g);
  }
  return t;
}

TEST(LabelColors, FromTheAncestorElseGlobalInfo) {
  const TsSkinTables full = Skin(true, 0x333333, 0x444444), noBottom = Skin(true, -1, -1),
                     bare = Skin(false, 0, 0);
  const struct {
    const TsSkinTables* Skin;
    int Ancestor;
    TColor Label, Web;
  } cases[] = {
      {&full, 0, 0x222222, 0x222222},              // the ancestor's
      {&full, -1, 0x111111, 0x444444},             // GLOBALINFO's
      {&noBottom, -1, 0x111111, LabelKeepColor},   // -1 is no colour: the font keeps its own
      {&bare, -1, LabelKeepColor, LabelKeepColor}, // $FF00FF leaves the font alone
  };
  for (const auto& k : cases) {
    EXPECT_EQ(LabelSkinFontColor(k.Skin, k.Ancestor), k.Label);
    EXPECT_EQ(WebLabelNormalColor(k.Skin, k.Ancestor), k.Web);
  }
  EXPECT_EQ(WebLabelHoverColor(&full, true, 0x555555), 0x333333);
  EXPECT_EQ(WebLabelHoverColor(&noBottom, true, 0x555555), 0x0000FF);
  EXPECT_EQ(WebLabelHoverColor(&full, false, 0x555555), 0x555555);
  EXPECT_EQ(WebLabelHoverColor(&bare, true, -1), 0x0000FF);
}

}  // namespace
