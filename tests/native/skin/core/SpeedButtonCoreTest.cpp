// The window-free layouts of the speed-button handler and the foreign combo adapter, and the
// frame adapter's colour answer.
#include "skin/core/lxSpeedButtonCore.h"
#include "skin/core/sComboBoxCore.h"
#include "skin/core/sFrameAdapterCore.h"

#include <gtest/gtest.h>

namespace {
// A 75 x 25 button with a 30 x 13 caption.
TlxSpeedButtonLayout Button(int margin, int glyphW, int glyphH, int numGlyphs, bool pressed) {
  TlxSpeedButtonLayout b;
  b.Width = 75;
  b.Height = 25;
  b.Margin = margin;
  b.Spacing = 4;
  b.GlyphWidth = glyphW;
  b.GlyphHeight = glyphH;
  b.NumGlyphs = numGlyphs;
  b.TextWidth = 30;
  b.TextHeight = 13;
  b.Pressed = pressed;
  return b;
}
}   // namespace

TEST(SpeedButtonCore, GlyphAndCaptionPlaces) {
  struct Case {
    int Margin, GlyphW, GlyphH, NumGlyphs;
    bool Pressed;
    TRect Glyph;
    TPoint Caption;
  } cases[] = {
      {-1, 0, 0, 1, false, {22, 12, 22, 12}, {22, 6}},     // centred, no glyph
      {-1, 0, 0, 1, true, {23, 13, 23, 13}, {23, 7}},
      {4, 0, 0, 1, false, {4, 12, 4, 12}, {4, 6}},         // by Margin: does not move sideways
      {4, 0, 0, 1, true, {5, 13, 5, 13}, {4, 7}},
      {-1, 16, 16, 1, false, {12, 4, 28, 20}, {32, 6}},    // glyph left
      {-1, 16, 16, 1, true, {13, 5, 29, 21}, {33, 7}},
      {-1, 32, 16, 2, false, {12, 4, 28, 20}, {32, 6}},    // a strip of two
      {-1, 32, 16, 0, false, {4, 4, 36, 20}, {40, 6}},     // no count counts as one
  };
  for (const Case& c : cases) {
    const TlxSpeedButtonLayout b = Button(c.Margin, c.GlyphW, c.GlyphH, c.NumGlyphs, c.Pressed);
    const TRect caption = SpeedButtonCaptionRect(b);
    EXPECT_EQ(SpeedButtonGlyphRect(b), c.Glyph) << c.Margin << " " << c.GlyphW << " " << c.NumGlyphs << " " << c.Pressed;
    EXPECT_EQ(caption, (TRect{c.Caption.X, c.Caption.Y, c.Caption.X + 30, c.Caption.Y + 13}))
        << c.Margin << " " << c.GlyphW << " " << c.NumGlyphs << " " << c.Pressed;
  }
}

TEST(SpeedButtonCore, FaceState) {
  struct Case {
    TlxSpeedButtonState State;
    bool Active;
    int Face;
  } cases[] = {
      {lxsbUp, false, 0}, {lxsbUp, true, 1}, {lxsbDisabled, false, 0}, {lxsbDown, false, 2}, {lxsbExclusive, true, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(SpeedButtonFaceState(c.State, c.Active), c.Face) << c.State;
}

TEST(ForeignComboCore, ButtonRightLeftAndNone) {
  struct Case {
    bool HasButton, RightToLeft;
    TRect Expected;
  } cases[] = {
      {true, false, {81, 2, 98, 22}},
      {true, true, {2, 2, 19, 22}},
      {false, false, {98, 2, 98, 22}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ForeignComboButtonRect(100, 24, 17, c.HasButton, c.RightToLeft), c.Expected) << c.HasButton;
}

TEST(FrameAdapterCore, QueryColourByTransparency) {
  struct Case {
    bool HasSkin, OwnImage;
    int Transparency;
    bool HasParent;
    TColor ParentAnswer, Expected;
  } cases[] = {
      {false, false, 50, true, 0xFFFFFF, 0x123456},         // unskinned: its own colour
      {true, true, 50, true, 0xFFFFFF, 0xFF00FF},           // an image of its own
      {true, false, 0, true, 0xFFFFFF, 0x000000},           // opaque: the section's
      {true, false, 100, true, 0x00FF00, 0x00FF00},         // see-through: the parent's
      {true, false, 100, true, 0xFF00FF, 0x0000FF},         // ... its colour for the key
      {true, false, 100, false, 0x00FF00, 0x123456},        // ... its own without a parent
      {true, false, 50, true, 0xFFFFFF, 0x808080},          // half: mixed
      {true, false, 50, true, 0x01FFFFFF, 0x01808080},      // keeping the parent's fourth byte
  };
  for (const Case& c : cases) {
    TsFrameColorQuery q;
    q.HasSkin = c.HasSkin;
    q.NeedsOwnBackground = c.OwnImage;
    q.Transparency = c.Transparency;
    q.SectionColor = 0x000000;
    q.HasParent = c.HasParent;
    q.ParentAnswer = c.ParentAnswer;
    q.ParentColor = 0x0000FF;
    q.OwnColor = 0x123456;
    EXPECT_EQ(FrameQueryColor(q), c.Expected) << c.Transparency << " " << c.ParentAnswer;
  }
}
