// The geometry and state rules of the skinned push button and of the glyph painters, window-
// free: which face state a button shows, which of its image indexes that state uses, where the
// glyph and the caption go, and the state and image place of a tool button and of a bitmap
// button's glyph. The window code (skin/controls/sButton, sGlyphPainters) gathers the inputs
// from its controls and paints at these places. Owns nothing.
#pragma once

#include <optional>

#include "framework/base/Types.h"

enum TImageAlignment { iaLeft, iaRight, iaTop, iaBottom, iaCenter };
enum TButtonStyle { bsPushButton, bsCommandLink, bsSplitButton };

// Width of the drop-down part at the right end of a split button.
constexpr int SplitPartWidth = 16;
// The glyph size a command link reserves when it has no glyph.
constexpr int NoGlyphSize = 32;

// The face states of every button-like painter.
enum : int { BtnNormal = 0, BtnHot = 1, BtnPressed = 2 };

// --- the face state
struct TsButtonStateInput {
  bool Pushed = false;          // BM_GETSTATE reports pushed, or all buttons paint pressed now
  bool MouseInside = false;
  bool LeftHeldHere = false;    // the left mouse button is held down on the control
  bool Down = false;
  bool DroppedDown = false;     // the split part's menu is open
  bool FocusedOrDefault = false;
  int StyleType = 0;            // the window style's low four bits
  bool ActiveState = false;     // the skin state's IsActiveState
  bool DesignDefault = false;   // at design time, the Default button
};
// 2 pressed: pushed while the mouse is inside or not held on it, Down, or dropped down; 1 hot:
// the active button (focused or default), a BS_DEFPUSHBUTTON style, an active skin state or the
// design-time default; else 0.
int ButtonCurrentState(const TsButtonStateInput& in);

// --- the image of a state
struct TsButtonImages {
  bool HasList = false;
  int Count = 0;                // images in the list
  int ImageIndex = -1, HotImageIndex = -1, PressedImageIndex = -1, SelectedImageIndex = -1,
      DisabledImageIndex = -1;
  // A glyph is drawn: a list is set and ImageIndex lies inside it.
  bool HasGlyph() const { return HasList && ImageIndex >= 0 && ImageIndex < Count; }
};
// The index for the state: disabled -> DisabledImageIndex, pressed -> PressedImageIndex,
// focused -> SelectedImageIndex, hot -> HotImageIndex, else ImageIndex; an index outside the
// list falls back to ImageIndex.
int ButtonCurrentImageIndex(const TsButtonImages& images, bool enabled, int state, bool focused);

// --- the layout
struct TsButtonLayout {
  int Width = 0, Height = 0;
  TButtonStyle Style = bsPushButton;
  int ContentMargin = 6;
  TImageAlignment Alignment = iaLeft;
  TRect Margins;               // ImageMargins: Left, Top, Right, Bottom
  bool HasGlyph = false;
  int ImageWidth = 0, ImageHeight = 0;
  bool Pressed = false;
};
// The width the face content uses: the whole width less the split part.
int ButtonContentWidth(const TsButtonLayout& b);
// The glyph's size (the image size, or 32 x 32 without a glyph), and with the margins added.
TSize ButtonGlyphSize(const TsButtonLayout& b);
TSize ButtonGlyphSizeWithMargins(const TsButtonLayout& b);
// Where the glyph goes (empty without one); moved by (1, 1) when pressed.
TRect ButtonGlyphRect(const TsButtonLayout& b);
// The width a caption is measured in (DT_CALCRECT): the content width, or for a command link
// what is left beside the glyph; and the width of a command link's hint.
int ButtonCaptionMeasureWidth(const TsButtonLayout& b);
int ButtonHintMeasureWidth(const TsButtonLayout& b);
// Where the caption of measured size textW x textH goes; moved by (1, 1) when pressed.
TRect ButtonTextRect(const TsButtonLayout& b, int textW, int textH);

// --- tool buttons
// 0 for an empty state or exactly [cdsDisabled]; 2 with cdsSelected or cdsChecked; else 1.
int ToolButtonState(TCustomDrawState state);
struct TsToolButtonLayout {
  int ButtonWidth = 0, ButtonHeight = 0;
  int ImageWidth = 0, ImageHeight = 0;
  bool List = false;            // captions beside the images
  bool ShowCaptions = false;
  bool DropDown = false;        // a tbsDropDown button
  int TextHeight = 0;           // the height of "A" in the bar's font
  int State = 0;
};
// The image's place inside the button (see the source); moved by (1, 1) in state 2.
TRect ToolButtonImageRect(const TsToolButtonLayout& t);

// --- bitmap-button glyphs
struct TsBitBtnGlyph {
  bool UsesImageList = false;   // an image list with images, and the index inside it
  int ListWidth = 0, ListHeight = 0;
  int GlyphWidth = 0, GlyphHeight = 0;   // the Glyph bitmap (0 without one)
  int NumGlyphs = 1;
  TPoint Position;              // the stored glyph position
  bool Down = false;
  bool Reflected = false;
};
// One glyph's width: the list's or the bitmap's width divided by NumGlyphs (below 1 counts as
// 1); 0 without a glyph. Its height: the list's, else the bitmap's when positive, else 0.
int BitBtnGlyphWidth(const TsBitBtnGlyph& g);
int BitBtnGlyphHeight(const TsBitBtnGlyph& g);
// The glyph's rectangle at its position, moved by (1, 1) when down and up by a sixth of its
// width when reflected.
TRect BitBtnGlyphRect(const TsBitBtnGlyph& g);

// --- hints around a split button's menu
// The application's hints are switched off while a split button opens its drop-down menu, so
// that no hint window covers the menu; the first menu item painted (or the button, when its
// menu returns without painting one) puts the saved value back. One record for the program.
struct TsDropDownHints {
  bool Off = false;            // switched off and not yet given back
  bool Saved = true;           // the application's ShowHint before
  const void* Button = nullptr;   // the button that switched them off (null once it is freed)
};
extern TsDropDownHints DropDownHints;
// Records the switch and answers true; false (nothing recorded) when they are off already.
bool SuspendDropDownHints(bool showHint, const void* button);
// The value to give back, once: the record is cleared. Nothing when hints are not off.
std::optional<bool> TakeDropDownHints();
// A freed button leaves the record; the hints still come back with the next item painted.
void ForgetDropDownButton(const void* button);
