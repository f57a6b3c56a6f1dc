// The window-free layout of a skinned speed button: which face state it shows, where its glyph
// stands and where its caption goes. The
// speed-button handler (skin/adapters lxSpeedButtonHandler) reads the button and measures the
// caption, then calls these. Owns nothing. Window-free.
#pragma once

#include "framework/base/Types.h"

// Where the glyph stands beside the caption (the framework's button layouts, in their order).
enum TlxGlyphLayout { lxGlyphLeft, lxGlyphRight, lxGlyphTop, lxGlyphBottom };

// The button's state as the framework keeps it (its order).
enum TlxSpeedButtonState { lxsbUp, lxsbDisabled, lxsbDown, lxsbExclusive };

// What places a speed button's glyph and caption. `GlyphWidth` is the whole strip's width;
// `TextWidth` x `TextHeight` the caption as measured (0 x 0 for an empty caption).
struct TlxSpeedButtonLayout {
  int Width = 0, Height = 0;
  TlxGlyphLayout Layout = lxGlyphLeft;
  int Margin = -1;   // -1: centred
  int Spacing = 4;
  int GlyphWidth = 0, GlyphHeight = 0;
  int NumGlyphs = 1;
  int TextWidth = 0, TextHeight = 0;
  bool Pressed = false;   // face state 2: glyph and centred caption one pixel right and down
};

// 2 while down or exclusive, else 1 when active (hovered or focused), else 0.
int SpeedButtonFaceState(TlxSpeedButtonState state, bool active);
// One glyph's width: the strip's width over its glyph count, a count below 1 counting as 1.
int SpeedButtonGlyphWidth(int stripWidth, int numGlyphs);
// The glyph's rectangle (empty at its place for no glyph).
TRect SpeedButtonGlyphRect(const TlxSpeedButtonLayout& b);
// The caption's rectangle: beside the glyph at `Spacing` by the layout; without a glyph
// centred for margin -1, else `Margin` in from the layout's side and centred the other way.
// Halvings round toward zero.
TRect SpeedButtonCaptionRect(const TlxSpeedButtonLayout& b);
