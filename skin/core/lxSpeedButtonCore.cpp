#include "skin/core/lxSpeedButtonCore.h"

namespace {
int Shift(const TlxSpeedButtonLayout& b) { return b.Pressed ? 1 : 0; }
bool HasGlyph(const TlxSpeedButtonLayout& b) {
  return SpeedButtonGlyphWidth(b.GlyphWidth, b.NumGlyphs) > 0 && b.GlyphHeight > 0;
}
}   // namespace

int SpeedButtonFaceState(TlxSpeedButtonState state, bool active) {
  if (state == lxsbDown || state == lxsbExclusive) return 2;
  return active ? 1 : 0;
}

int SpeedButtonGlyphWidth(int stripWidth, int numGlyphs) {
  if (stripWidth <= 0) return 0;
  return stripWidth / (numGlyphs < 1 ? 1 : numGlyphs);
}

TRect SpeedButtonGlyphRect(const TlxSpeedButtonLayout& b) {
  const int gw = HasGlyph(b) ? SpeedButtonGlyphWidth(b.GlyphWidth, b.NumGlyphs) : 0;
  const int gh = gw > 0 ? b.GlyphHeight : 0;
  const bool caption = b.TextWidth > 0 || b.TextHeight > 0;
  const int fw = (b.Width - (gw + (gw > 0 && caption ? b.Spacing : 0) + b.TextWidth)) / 2;
  const int fh = (b.Height - (gh + (gh > 0 && caption ? b.Spacing : 0) + b.TextHeight)) / 2;
  const bool margin = b.Margin != -1;
  int x = 0, y = 0;
  switch (b.Layout) {
    case lxGlyphLeft: x = margin ? b.Margin : fw; y = (b.Height - gh) / 2; break;
    case lxGlyphRight: x = b.Width - (margin ? b.Margin : fw) - gw; y = (b.Height - gh) / 2; break;
    case lxGlyphTop: x = (b.Width - gw) / 2; y = margin ? b.Margin : fh; break;
    case lxGlyphBottom: x = (b.Width - gw) / 2; y = b.Height - (margin ? b.Margin : fh) - gh; break;
  }
  const int p = Shift(b);
  return TRect{x + p, y + p, x + p + gw, y + p + gh};
}

TRect SpeedButtonCaptionRect(const TlxSpeedButtonLayout& b) {
  const int p = Shift(b), tw = b.TextWidth, th = b.TextHeight;
  const int centreX = p + (b.Width - tw) / 2, centreY = p + (b.Height - th) / 2;
  int left = centreX, top = centreY;
  if (HasGlyph(b)) {
    const TRect g = SpeedButtonGlyphRect(b);
    switch (b.Layout) {
      case lxGlyphLeft: left = g.Right + b.Spacing; break;
      case lxGlyphRight: left = g.Left - b.Spacing - tw; break;
      case lxGlyphTop: top = g.Bottom + b.Spacing; break;
      case lxGlyphBottom: top = g.Top - b.Spacing - th; break;
    }
  } else if (b.Margin != -1) {
    switch (b.Layout) {
      case lxGlyphLeft: left = b.Margin; break;
      case lxGlyphRight: left = b.Width - b.Margin - tw; break;
      case lxGlyphTop: top = b.Margin; break;
      case lxGlyphBottom: top = b.Height - b.Margin - th; break;
    }
  }
  return TRect{left, top, left + tw, top + th};
}
