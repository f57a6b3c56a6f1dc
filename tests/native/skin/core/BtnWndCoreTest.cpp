// The window-free layouts of the button, check box, group box and panel adapters.
#include "skin/core/lxBtnWndCore.h"
#include "skin/core/lxPanelWndCore.h"

#include <gtest/gtest.h>

TEST(BtnWndCore, FaceStateByPushFocusAndDefaultStyle) {
  struct Case {
    std::uint32_t ButtonState;
    bool Enabled, Hot;
    std::uint32_t Style;
    bool Owned;
    int Expected;
  } cases[] = {
      {lxBST_PUSHED, false, false, 0, false, 2},    {0, false, true, 1, false, 0},
      {0, true, true, 0, false, 1},                 {0, true, false, 0x1, false, 1},
      {0, true, false, 0x3, false, 1},              {0, true, false, 0x3, true, 0},
      {0, true, false, 0x1, true, 1},               {0, true, false, 0x0, true, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BtnFaceState({c.ButtonState, c.Enabled, c.Hot, c.Style, c.Owned}), c.Expected) << c.Style;
}

TEST(BtnWndCore, CaptionOfA75By25ButtonCentredAndPressed) {
  EXPECT_EQ(BtnCaptionRect(75, 25, 20, 13, false), (TRect{27, 6, 49, 19}));
  EXPECT_EQ(BtnCaptionRect(75, 25, 20, 13, true), (TRect{28, 7, 50, 20}));
}

TEST(BtnWndCore, TextWidthWithoutCaptionWithoutAndWithGlyph) {
  struct Case {
    bool Caption;
    int Glyph, Expected;
  } cases[] = {{false, 0, 0}, {true, 0, 73}, {true, 16, 59}, {true, 90, 0}};
  for (const Case& c : cases) EXPECT_EQ(BtnMaxTextWidth(c.Caption, 75, c.Glyph), c.Expected) << c.Glyph;
}

TEST(BtnWndCore, BareBitmapButtonGlyphLeftOfTheMovedCaption) {
  const TRect caption = BareBitBtnCaptionRect(TRect{27, 6, 49, 19}, 16);
  EXPECT_EQ(caption, (TRect{36, 6, 58, 19}));
  EXPECT_EQ(BareBitBtnGlyphRect(caption, 16, 16, 25, false), (TRect{18, 4, 34, 20}));
  EXPECT_EQ(BareBitBtnGlyphRect(caption, 16, 16, 25, true), (TRect{18, 5, 34, 21}));
  EXPECT_EQ(BareBitBtnCaptionRect(TRect{27, 6, 49, 19}, 0), (TRect{27, 6, 49, 19}));
}

TEST(BtnWndCore, CaptionFormatByStyles) {
  EXPECT_EQ(BtnCaptionFormat(0, 0), 0x41u);
  EXPECT_EQ(BtnCaptionFormat(lxBS_MULTILINE, 0), 0x51u);
  EXPECT_EQ(BtnCaptionFormat(0, lxWS_EX_RTLREADING), 0x20041u);
}

TEST(CheckBoxCore, GlyphNamesByKindAndCheckState) {
  struct Case {
    std::uint32_t Style, ButtonState;
    const char* Expected;
  } cases[] = {
      {2, 0, "BOXUNCHECKED"},       {3, lxBST_CHECKED, "BOXCHECKED"},  {5, lxBST_INDETERMINATE, "BOXGRAYED"},
      {6, lxBST_CHECKED, "BOXCHECKED"}, {4, 0, "RADIOUNCHECKED"},      {9, lxBST_CHECKED, "RADIOCHECKED"},
      {9, lxBST_INDETERMINATE | lxBST_CHECKED, "BOXGRAYED"},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckGlyphName(c.Style, CheckState(c.ButtonState)), c.Expected);
}

TEST(CheckBoxCore, GlyphStatePushedFocusedHot) {
  EXPECT_EQ(CheckGlyphState(lxBST_PUSHED | lxBST_FOCUS, false), 2);
  EXPECT_EQ(CheckGlyphState(lxBST_FOCUS, false), 1);
  EXPECT_EQ(CheckGlyphState(0, true), 1);
  EXPECT_EQ(CheckGlyphState(lxBST_CHECKED, false), 0);
}

TEST(CheckBoxCore, GlyphSizeOwnBitmapMasterRegionAndNone) {
  struct Case {
    TlxCheckMask Mask;
    TSize Expected;
  } cases[] = {
      {{true, true, 39, 26, 0, 0, 1, 1}, {13, 13}},
      {{true, false, 0, 0, 48, 32, 3, 1}, {16, 16}},
      {{true, false, 0, 0, 48, 32, 0, -1}, {48, 32}},
      {{false}, {16, 16}},
  };
  for (const Case& c : cases) {
    const TSize s = CheckGlyphSize(c.Mask);
    EXPECT_EQ(s.cx, c.Expected.cx);
    EXPECT_EQ(s.cy, c.Expected.cy);
  }
}

TEST(CheckBoxCore, BoxAndCaptionPlaces) {
  constexpr int W = 120, H = 20;
  struct Case {
    TSize Glyph;
    std::uint32_t Style, ExStyle;
    TRect Box, Caption;
    unsigned Format;
  } cases[] = {
      {{13, 13}, 2, 0, {0, 3, 13, 16}, {17, 2, 47, 16}, lxDT_SINGLELINE},
      {{16, 16}, 2, 0, {0, 2, 16, 18}, {20, 2, 50, 16}, lxDT_SINGLELINE},
      {{13, 13}, 2 | lxBS_MULTILINE, 0, {0, 3, 13, 16}, {16, 2, 46, 16}, 0x10},
      {{13, 13}, 2 | lxBS_RIGHTBUTTON, 0, {W - 13, 3, W, 16}, {2, 3, 32, 17}, lxDT_SINGLELINE},
      {{13, 13}, 2 | lxBS_RIGHTBUTTON, lxWS_EX_RTLREADING, {W - 13, 3, W, 16}, {W - 49, 3, W - 19, 17},
       lxDT_SINGLELINE | lxDT_RTLREADING | lxDT_RIGHT},
  };
  for (const Case& c : cases) {
    const TlxCheckLayout l = CheckBoxLayout(W, H, c.Glyph, 30, 13, true, c.Style, c.ExStyle);
    EXPECT_EQ(l.Glyph, c.Box) << c.Style;
    EXPECT_EQ(l.Caption, c.Caption) << c.Style;
    EXPECT_EQ(l.Format, c.Format) << c.Style;
  }
  EXPECT_EQ(CheckMeasureWidth(W, 13), W - 15);
  EXPECT_TRUE(CheckBoxLayout(W, H, {13, 13}, 0, 0, false, 2, 0).Caption.IsEmpty());
}

TEST(GroupBoxCore, CaptionBandLeftRightToLeftEmptyAndCut) {
  struct Case {
    int TextW, TextH;
    bool Rtl;
    TRect Expected;
  } cases[] = {
      {30, 13, false, {6, 0, 44, 15}},
      {30, 13, true, {56, 0, 94, 15}},
      {0, 0, false, {6, 0, 14, 6}},
      {120, 13, false, {6, 0, 99, 15}},
  };
  for (const Case& c : cases) EXPECT_EQ(GroupBoxCaptionRect(100, c.TextW, c.TextH, c.Rtl), c.Expected) << c.TextW;
}

TEST(PanelCore, SectionByBevels) {
  struct Case {
    int Outer, Inner;
    bool Border;
    const char* Expected;
  } cases[] = {
      {lxBevelLowered, lxBevelRaised, false, "GROUPBOX"}, {lxBevelLowered, lxBevelNone, false, "PANEL_LOW"},
      {lxBevelRaised, lxBevelLowered, false, "GROUPBOX"}, {lxBevelRaised, lxBevelRaised, false, "PANEL"},
      {lxBevelNone, lxBevelRaised, true, "PANEL_LOW"},    {lxBevelNone, lxBevelNone, false, "CHECKBOX"},
  };
  for (const Case& c : cases) EXPECT_EQ(PanelSectionName(c.Outer, c.Inner, c.Border), c.Expected);
}

TEST(PanelCore, FrameInsetIsHalfTheWidthDifference) {
  EXPECT_EQ(PanelFrameInset(104, 100), 2);
  EXPECT_EQ(PanelFrameInset(100, 100), 0);
  EXPECT_EQ(PanelFrameInset(90, 100), 0);
}
