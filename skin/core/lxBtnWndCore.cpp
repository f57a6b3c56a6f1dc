// The button-like adapters' layouts (see lxBtnWndCore.h).
#include "skin/core/lxBtnWndCore.h"

#include <algorithm>

// ---- push buttons --------------------------------------------------------------------------

int BtnFaceState(const TlxBtnStateInput& in) {
  if ((in.ButtonState & lxBST_PUSHED) != 0) return 2;
  if (!in.Enabled) return 0;
  if (in.FocusedOrHot) return 1;
  const bool isDefault = in.OwnedByControl ? (in.Style & lxBS_TYPEMASK) == lxBS_DEFPUSHBUTTON
                                           : (in.Style & lxBS_DEFPUSHBUTTON) != 0;
  return isDefault ? 1 : 0;
}

int BtnMaxTextWidth(bool hasCaption, int width, int glyphWidth) {
  if (!hasCaption) return 0;
  if (glyphWidth <= 0) return std::max(0, width - 2);
  return std::max(0, width - glyphWidth);
}

TRect BtnCaptionRect(int width, int height, int textW, int textH, bool pressed) {
  const int top = (height - textH) / 2;
  const int left = (width - textW) / 2;
  TRect r{left, top, width - left + 1, height - top};
  if (pressed) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

TRect BareBitBtnCaptionRect(const TRect& caption, int glyphWidth) {
  if (glyphWidth <= 0) return caption;
  const int dx = glyphWidth / 2 + 1;
  return TRect{caption.Left + dx, caption.Top, caption.Right + dx, caption.Bottom};
}

TRect BareBitBtnGlyphRect(const TRect& caption, int glyphWidth, int glyphHeight, int height, bool pushed) {
  const int left = caption.Left - 2 - glyphWidth;
  const int top = (height - glyphHeight) / 2 + (pushed ? 1 : 0);
  return TRect{left, top, left + glyphWidth, top + glyphHeight};
}

unsigned BtnCaptionFormat(std::uint32_t style, std::uint32_t exStyle) {
  unsigned f = lxDT_CENTER | lxDT_EXPANDTABS;
  if ((style & lxBS_MULTILINE) != 0) f |= lxDT_WORDBREAK;
  if ((exStyle & lxWS_EX_RTLREADING) != 0) f |= lxDT_RTLREADING;
  return f;
}

// ---- check boxes and radios ----------------------------------------------------------------

bool IsRadioStyle(std::uint32_t style) {
  const std::uint32_t type = style & lxBS_TYPEMASK;
  return type == lxBS_RADIOBUTTON || type == lxBS_AUTORADIOBUTTON;
}

int CheckState(std::uint32_t buttonState) {
  if ((buttonState & lxBST_INDETERMINATE) != 0) return 2;
  return (buttonState & lxBST_CHECKED) != 0 ? 1 : 0;
}

std::string CheckGlyphName(std::uint32_t style, int checkState) {
  if (checkState == 2) return "BOXGRAYED";
  const std::string kind = IsRadioStyle(style) ? "RADIO" : "BOX";
  return kind + (checkState == 1 ? "CHECKED" : "UNCHECKED");
}

int CheckGlyphState(std::uint32_t buttonState, bool hot) {
  if ((buttonState & lxBST_PUSHED) != 0) return 2;
  return (buttonState & lxBST_FOCUS) != 0 || hot ? 1 : 0;
}

TSize CheckGlyphSize(const TlxCheckMask& m) {
  constexpr int NoMaskSize = 16;
  if (!m.Found) return TSize{NoMaskSize, NoMaskSize};
  if (m.OwnBitmap) return TSize{m.BitmapW / 3, m.BitmapH / 2};
  return TSize{m.RectW / std::max(1, m.ImageCount), m.RectH / std::max(1, m.MaskType + 1)};
}

int CheckMeasureWidth(int width, int glyphWidth) { return std::max(0, width - glyphWidth - 2); }

unsigned CheckMeasureFormat(std::uint32_t style) {
  return (style & lxBS_MULTILINE) != 0 ? lxDT_WORDBREAK : lxDT_SINGLELINE;
}

TlxCheckLayout CheckBoxLayout(int width, int height, TSize glyph, int textW, int textH, bool hasCaption,
                              std::uint32_t style, std::uint32_t exStyle) {
  TlxCheckLayout l;
  const bool right = (style & lxBS_RIGHTBUTTON) != 0;
  const bool multiLine = (style & lxBS_MULTILINE) != 0;
  const int gx = right ? width - glyph.cx : 0;
  const int gy = (height - glyph.cy) / 2;
  l.Glyph = TRect{gx, gy, gx + glyph.cx, gy + glyph.cy};
  l.Format = CheckMeasureFormat(style);
  if (!hasCaption) return l;
  const int top = std::max((height - textH) / 2, 0);
  const int bottom = height - top;
  if (!right) {
    const int left = glyph.cx + 4;
    const int dx = multiLine ? -1 : 0;
    l.Caption = TRect{left + dx, top - 1, left + textW + dx, bottom - 1};
  } else if ((exStyle & lxWS_EX_RTLREADING) != 0) {
    const int r = width - glyph.cx - 6;
    l.Caption = TRect{r - textW, top, r, bottom};
    l.Format |= lxDT_RTLREADING;
    if (!multiLine) l.Format |= lxDT_RIGHT;
  } else {
    l.Caption = TRect{2, top, textW + 2, bottom};
  }
  return l;
}

// ---- group boxes ---------------------------------------------------------------------------

TRect GroupBoxCaptionRect(int width, int textW, int textH, bool rightToLeft) {
  const int left = rightToLeft ? width - textW - 14 : 6;
  const int right = std::min(left + textW + 8, width - 1);
  return TRect{left, 0, right, std::max(4, textH) + 2};
}
