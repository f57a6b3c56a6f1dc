// Button states and layouts (see sButtonCore.h).
#include "skin/core/sButtonCore.h"

#include <algorithm>

namespace {

constexpr int StyleDefPushButton = 1;   // BS_DEFPUSHBUTTON

// No control is 2^24 pixels large: sizes and margins are held inside that, so that the sums
// below never overflow whatever a control was given.
constexpr int MaxExtent = 1 << 24;
int Fit(int v) { return std::clamp(v, -MaxExtent, MaxExtent); }

TsButtonLayout Fitted(TsButtonLayout b) {
  for (int* v : {&b.Width, &b.Height, &b.ContentMargin, &b.Margins.Left, &b.Margins.Top, &b.Margins.Right,
                 &b.Margins.Bottom, &b.ImageWidth, &b.ImageHeight})
    *v = Fit(*v);
  return b;
}

TRect Moved(TRect r, bool pressed) {
  if (pressed) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

// A caption of height textH centred between two rows.
TRect Between(int left, int right, int top, int bottom, int textH) {
  const int t = top + (bottom - top - textH) / 2;
  return TRect{left, t, right, t + textH};
}

}  // namespace

int ButtonCurrentState(const TsButtonStateInput& in) {
  if ((in.Pushed && (in.MouseInside || !in.LeftHeldHere)) || in.Down || in.DroppedDown) return BtnPressed;
  if (in.FocusedOrDefault || in.StyleType == StyleDefPushButton || in.ActiveState || in.DesignDefault) return BtnHot;
  return BtnNormal;
}

int ButtonCurrentImageIndex(const TsButtonImages& images, bool enabled, int state, bool focused) {
  int index = images.ImageIndex;
  if (!enabled) index = images.DisabledImageIndex;
  else if (state == BtnPressed) index = images.PressedImageIndex;
  else if (focused) index = images.SelectedImageIndex;
  else if (state == BtnHot) index = images.HotImageIndex;
  return index >= 0 && index < images.Count ? index : images.ImageIndex;
}

int ButtonContentWidth(const TsButtonLayout& in) {
  const TsButtonLayout b = Fitted(in);
  return b.Style == bsSplitButton ? b.Width - SplitPartWidth : b.Width;
}

TSize ButtonGlyphSize(const TsButtonLayout& in) {
  const TsButtonLayout b = Fitted(in);
  return b.HasGlyph ? TSize{b.ImageWidth, b.ImageHeight} : TSize{NoGlyphSize, NoGlyphSize};
}

TSize ButtonGlyphSizeWithMargins(const TsButtonLayout& in) {
  const TsButtonLayout b = Fitted(in);
  const TSize s = ButtonGlyphSize(b);
  return TSize{s.cx + b.Margins.Left + b.Margins.Right, s.cy + b.Margins.Top + b.Margins.Bottom};
}

TRect ButtonGlyphRect(const TsButtonLayout& in) {
  const TsButtonLayout b = Fitted(in);
  if (!b.HasGlyph) return TRect{};
  const int w = ButtonContentWidth(b), m = b.ContentMargin, iw = b.ImageWidth, ih = b.ImageHeight;
  int left = (w - iw) / 2;
  int top = (b.Height - ih) / 2;
  if (b.Style == bsCommandLink) {
    left = b.Margins.Left + m;
    top = m;
  } else {
    switch (b.Alignment) {
      case iaLeft: left = b.Margins.Left + m; break;
      case iaRight: left = w - b.Margins.Right - m - iw; break;
      case iaTop: top = b.Margins.Top + m; break;
      case iaBottom: top = b.Height - b.Margins.Bottom - m - ih; break;
      case iaCenter: break;
    }
  }
  return Moved(TRect{left, top, left + iw, top + ih}, b.Pressed);
}

int ButtonCaptionMeasureWidth(const TsButtonLayout& in) {
  const TsButtonLayout b = Fitted(in);
  const int w = ButtonContentWidth(b);
  if (b.Style != bsCommandLink) return w;
  return w - 2 * b.ContentMargin - ButtonGlyphSizeWithMargins(b).cx - 6;
}

int ButtonHintMeasureWidth(const TsButtonLayout& in) {
  const TsButtonLayout b = Fitted(in);
  return b.Width - 2 * b.ContentMargin - ButtonGlyphSizeWithMargins(b).cx;
}

TRect ButtonTextRect(const TsButtonLayout& in, int textW, int textH) {
  const TsButtonLayout b = Fitted(in);
  textW = Fit(textW);
  textH = Fit(textH);
  const int w = ButtonContentWidth(b), h = b.Height, m = b.ContentMargin, iw = b.ImageWidth, ih = b.ImageHeight;
  const TRect& g = b.Margins;
  TRect r;
  if (b.Style == bsCommandLink) {
    const int left = ButtonGlyphSizeWithMargins(b).cx + m + 6;
    r = TRect{left, m, w - m, m + textH};
  } else if (b.HasGlyph && b.Alignment == iaTop) {
    r = Between(m, w - m, g.Top + 2 * m + ih, h - m, textH);
  } else if (b.HasGlyph && b.Alignment == iaBottom) {
    r = Between(m, w - m, g.Top, h - g.Bottom - m - ih - g.Top, textH);
  } else {
    int left = (w - textW) / 2, right = left + textW + 2;
    if (b.HasGlyph && b.Alignment == iaLeft) {
      left = g.Left + m + iw + g.Right;
      right = w - m;
    } else if (b.HasGlyph && b.Alignment == iaRight) {
      left = m;
      right = w - g.Right - m - iw - g.Left;
    }
    const int top = (h - textH) / 2;
    r = TRect{left, top, right, h - top};
  }
  return Moved(r, b.Pressed);
}

int ToolButtonState(TCustomDrawState state) {
  if (state == 0 || state == cdsDisabled) return BtnNormal;
  if ((state & (cdsSelected | cdsChecked)) != 0) return BtnPressed;
  return BtnHot;
}

TRect ToolButtonImageRect(const TsToolButtonLayout& in) {
  TsToolButtonLayout t = in;
  for (int* v : {&t.ButtonWidth, &t.ButtonHeight, &t.ImageWidth, &t.ImageHeight, &t.TextHeight}) *v = Fit(*v);
  int left = 5;
  int top = (t.ButtonHeight - t.ImageHeight) / 2;
  if (!t.List) {
    left = (t.ButtonWidth - t.ImageWidth) / 2 + 1 - (t.DropDown ? 8 : 0);
    top = (t.ButtonHeight - t.ImageHeight - (t.TextHeight + 3) * (t.ShowCaptions ? 1 : 0)) / 2;
  }
  return Moved(TRect{left, top, left + t.ImageWidth, top + t.ImageHeight}, t.State == BtnPressed);
}

int BitBtnGlyphWidth(const TsBitBtnGlyph& g) {
  const int whole = Fit(g.UsesImageList ? g.ListWidth : g.GlyphWidth);
  if (whole <= 0) return 0;
  return whole / std::max(g.NumGlyphs, 1);
}

int BitBtnGlyphHeight(const TsBitBtnGlyph& g) {
  if (g.UsesImageList) return std::max(Fit(g.ListHeight), 0);
  return g.GlyphHeight > 0 ? Fit(g.GlyphHeight) : 0;
}

TRect BitBtnGlyphRect(const TsBitBtnGlyph& g) {
  const int w = BitBtnGlyphWidth(g), h = BitBtnGlyphHeight(g);
  const int x = Fit(g.Position.X), y = Fit(g.Position.Y);
  TRect r = Moved(TRect{x, y, x + w, y + h}, g.Down);
  if (g.Reflected) {
    r.Top -= w / 6;
    r.Bottom -= w / 6;
  }
  return r;
}

TsDropDownHints DropDownHints;

bool SuspendDropDownHints(bool showHint, const void* button) {
  if (DropDownHints.Off) return false;
  DropDownHints = TsDropDownHints{true, showHint, button};
  return true;
}

std::optional<bool> TakeDropDownHints() {
  if (!DropDownHints.Off) return std::nullopt;
  const bool saved = DropDownHints.Saved;
  DropDownHints = TsDropDownHints{};
  return saved;
}

void ForgetDropDownButton(const void* button) {
  if (DropDownHints.Button == button) DropDownHints.Button = nullptr;
}
