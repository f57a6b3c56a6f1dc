#include "skin/core/sComboBoxCore.h"

namespace {
TRect ButtonAt(int width, int height, int w, bool left) {
  const int l = left ? 2 : width - w - 2;
  return TRect{l, 2, l + w, height - 2};
}
}   // namespace

TRect ComboButtonRect(int width, int height, int scrollWidth, bool hasButton, bool rightToLeft) {
  return ButtonAt(width, height, hasButton ? scrollWidth + 1 : 0, rightToLeft);
}

TRect ComboAdapterButtonRect(int width, int height, int scrollWidth, std::uint32_t style, bool rtlReading) {
  return ForeignComboButtonRect(width, height, scrollWidth, (style & lxCBS_DROPDOWNBIT) != 0, rtlReading);
}

TRect ComboItemRect(const TRect& button, int width, int cacheHeight, bool rightToLeft) {
  if (rightToLeft) return TRect{button.Right + 1, 3, width - 3, cacheHeight - 3};
  return TRect{3, 3, button.Left - 1, cacheHeight - 3};
}

TPoint ComboArrowOrigin(const TRect& button, int height, int glyphWidth, int glyphHeight) {
  return TPoint{button.Left + (button.Width() - glyphWidth) / 2, (height - glyphHeight) / 2};
}

int ComboButtonState(bool listOpen, bool active) { return listOpen ? 2 : (active ? 1 : 0); }

TRect ForeignComboButtonRect(int width, int height, int scrollWidth, bool hasButton, bool rtlReading) {
  return ButtonAt(width, height, hasButton ? scrollWidth : 0, rtlReading);
}
