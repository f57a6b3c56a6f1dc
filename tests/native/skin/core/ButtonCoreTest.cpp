// The skinned button's face state, state images, glyph and caption places; a tool button's
// state and image place; a bitmap button's glyph width.
#include <gtest/gtest.h>

#include "skin/core/sButtonCore.h"

namespace {

// A 75 x 25 button with the default margin of 6 and a 16-pixel glyph.
TsButtonLayout Button(TImageAlignment a) {
  TsButtonLayout b;
  b.Width = 75;
  b.Height = 25;
  b.Alignment = a;
  b.HasGlyph = true;
  b.ImageWidth = b.ImageHeight = 16;
  return b;
}

TEST(ButtonCore, GlyphAndCaptionPlaces) {
  struct Case {
    TImageAlignment Align;
    bool Pressed;
    TPoint Glyph;
    int TextLeft, TextRight;
  };
  const Case cases[] = {
      {iaLeft, false, {6, 4}, 22, 69},
      {iaRight, false, {53, 4}, 6, 53},
      {iaLeft, true, {7, 5}, 23, 70},
  };
  for (const Case& c : cases) {
    TsButtonLayout b = Button(c.Align);
    b.Pressed = c.Pressed;
    const TRect g = ButtonGlyphRect(b);
    EXPECT_EQ((TPoint{g.Left, g.Top}), c.Glyph) << c.Align << c.Pressed;
    EXPECT_EQ(g.Width(), 16);
    const TRect t = ButtonTextRect(b, 20, 13);
    EXPECT_EQ(t.Left, c.TextLeft) << c.Align << c.Pressed;
    EXPECT_EQ(t.Right, c.TextRight) << c.Align << c.Pressed;
  }
  const TRect top = ButtonGlyphRect(Button(iaTop));
  EXPECT_EQ((TPoint{top.Left, top.Top}), (TPoint{29, 6}));
  // The split part is left out of the content.
  TsButtonLayout split = Button(iaCenter);
  split.Style = bsSplitButton;
  EXPECT_EQ(ButtonContentWidth(split), 59);
  EXPECT_EQ(ButtonGlyphRect(split).Left, (59 - 16) / 2);
  // No glyph: no glyph place, and the caption centred in the content.
  TsButtonLayout bare = Button(iaLeft);
  bare.HasGlyph = false;
  EXPECT_TRUE(ButtonGlyphRect(bare).IsEmpty());
  EXPECT_EQ(ButtonTextRect(bare, 21, 13), (TRect{27, 6, 50, 19}));
}

TEST(ButtonCore, StateImageFallsBackToImageIndex) {
  TsButtonImages im;
  im.HasList = true;
  im.Count = 5;
  im.ImageIndex = 1;
  im.HotImageIndex = 9;
  im.PressedImageIndex = 3;
  im.DisabledImageIndex = 4;
  EXPECT_EQ(ButtonCurrentImageIndex(im, true, BtnHot, false), 1);
  EXPECT_EQ(ButtonCurrentImageIndex(im, true, BtnPressed, true), 3);
  EXPECT_EQ(ButtonCurrentImageIndex(im, false, BtnPressed, true), 4);
  EXPECT_EQ(ButtonCurrentImageIndex(im, true, BtnNormal, true), 1);   // SelectedImageIndex -1
  im.ImageIndex = 5;
  EXPECT_FALSE(im.HasGlyph());
}

TEST(ButtonCore, CurrentState) {
  struct Case {
    TsButtonStateInput In;
    int State;
  };
  auto with = [](auto set) {
    TsButtonStateInput in;
    set(in);
    return in;
  };
  const Case cases[] = {
      {{}, BtnNormal},
      {with([](auto& i) { i.Pushed = true; }), BtnPressed},
      {with([](auto& i) { i.Pushed = i.LeftHeldHere = true; }), BtnNormal},   // dragged off
      {with([](auto& i) { i.Pushed = i.LeftHeldHere = i.MouseInside = true; }), BtnPressed},
      {with([](auto& i) { i.Down = true; }), BtnPressed},
      {with([](auto& i) { i.DroppedDown = true; }), BtnPressed},
      {with([](auto& i) { i.FocusedOrDefault = true; }), BtnHot},
      {with([](auto& i) { i.StyleType = 1; }), BtnHot},
      {with([](auto& i) { i.StyleType = 0xB; }), BtnNormal},
      {with([](auto& i) { i.ActiveState = true; }), BtnHot},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ButtonCurrentState(cases[i].In), cases[i].State) << i;
}

TEST(ButtonCore, ToolButtonStateAndImagePlace) {
  const std::pair<TCustomDrawState, int> states[] = {
      {0, 0}, {cdsDisabled, 0}, {cdsChecked, 2}, {cdsSelected | cdsHot, 2}, {cdsHot, 1}, {cdsDisabled | cdsHot, 1}};
  for (auto [s, want] : states) EXPECT_EQ(ToolButtonState(s), want) << s;
  // A 67 x 52 button, 32-pixel images, captions below in a font whose "A" is 13 high.
  TsToolButtonLayout t{67, 52, 32, 32, false, true, false, 13, 0};
  const std::pair<TsToolButtonLayout, TPoint> places[] = {
      {t, {18, 2}},
      {[&] { auto d = t; d.DropDown = true; return d; }(), {10, 2}},
      {[&] { auto l = t; l.List = true; return l; }(), {5, 10}},
      {[&] { auto p = t; p.State = 2; return p; }(), {19, 3}},
  };
  for (const auto& [in, at] : places) {
    const TRect r = ToolButtonImageRect(in);
    EXPECT_EQ((TPoint{r.Left, r.Top}), at);
    EXPECT_EQ(r.Width(), 32);
  }
}

TEST(ButtonCore, BitmapGlyphWidthCountsNoGlyphsAsOne) {
  TsBitBtnGlyph g;
  g.GlyphWidth = 64;
  g.GlyphHeight = 16;
  const std::pair<int, int> widths[] = {{4, 16}, {1, 64}, {0, 64}, {-3, 64}};
  for (auto [n, w] : widths) {
    g.NumGlyphs = n;
    EXPECT_EQ(BitBtnGlyphWidth(g), w) << n;
  }
  g.NumGlyphs = 4;
  g.Position = TPoint{10, 5};
  g.Down = g.Reflected = true;
  EXPECT_EQ(BitBtnGlyphRect(g), (TRect{11, 6 - 2, 27, 22 - 2}));
}

}  // namespace
