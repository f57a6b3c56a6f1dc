// The window-free layout of a skinned combo box and of the combo-box adapter: where the
// drop-down button stands, where the current item is drawn, where the arrow glyph goes and
// which state the button shows. The skinned control (skin/controls sComboBox) and the adapter
// (skin/adapters lxComboWnd) read the window's style and metrics and call these. Owns nothing.
// Window-free.
#pragma once

#include <cstdint>

#include "framework/base/Types.h"

// The combo-box style bits the layouts read.
constexpr std::uint32_t lxCBS_TYPEMASK = 0x3, lxCBS_SIMPLE = 0x1, lxCBS_DROPDOWNBIT = 0x2,
                        lxCBS_DROPDOWNLIST = 0x3;

// The skinned control's button: scrollWidth + 1 wide (0 without a button), 2 pixels in from
// the top, the bottom and the outer side (the left one right to left).
TRect ComboButtonRect(int width, int height, int scrollWidth, bool hasButton, bool rightToLeft);
// The adapter's button: scrollWidth wide for the drop-down styles (style bit 2), else 0; the
// same insets, on the left with the right-to-left reading ex-style.
TRect ComboAdapterButtonRect(int width, int height, int scrollWidth, std::uint32_t style, bool rtlReading);
// The current item between the 3-pixel frame and the button (a pixel short of it).
TRect ComboItemRect(const TRect& button, int width, int cacheHeight, bool rightToLeft);
// The arrow glyph centred across the button and down the window (halves rounded toward zero).
TPoint ComboArrowOrigin(const TRect& button, int height, int glyphWidth, int glyphHeight);
// 2 while the list is open, 1 active (focused or hovered), else 0.
int ComboButtonState(bool listOpen, bool active);
// Whether a list index names an item of a list of `count`.
inline bool ComboIndexValid(int index, int count) { return index >= 0 && index < count; }
// A foreign combo's button: scrollWidth wide when it has one, else 0; the same insets, on the
// left with the right-to-left reading ex-style.
TRect ForeignComboButtonRect(int width, int height, int scrollWidth, bool hasButton, bool rtlReading);
