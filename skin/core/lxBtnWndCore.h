// The window-free layouts of the button-like adapters: the face state of a push-button window,
// where its caption goes and how wide it may be, where a bare bitmap button's glyph stands,
// which check glyph a check box or radio window shows and how large, where its box and caption
// go, and the caption band of a group box. The adapters (skin/adapters lxBtnWnd,
// lxCheckBoxWnd, lxGroupBoxWnd) read the window's styles and the skin's records and call these.
// Owns nothing. Window-free.
#pragma once

#include <cstdint>
#include <string>

#include "framework/base/Types.h"
#include "skin/core/lxAdapterCore.h"

// The system's button styles and text-format bits the layouts read and pass on.
constexpr std::uint32_t lxBS_TYPEMASK = 0xF, lxBS_DEFPUSHBUTTON = 0x1, lxBS_RADIOBUTTON = 0x4,
                        lxBS_AUTORADIOBUTTON = 0x9, lxBS_OWNERDRAW = 0xB, lxBS_RIGHTBUTTON = 0x20,
                        lxBS_MULTILINE = 0x2000, lxWS_EX_RTLREADING = 0x2000;
constexpr std::uint32_t lxBST_CHECKED = 0x1, lxBST_INDETERMINATE = 0x2, lxBST_PUSHED = 0x4, lxBST_FOCUS = 0x8;
constexpr unsigned lxDT_CENTER = 0x1, lxDT_SINGLELINE = 0x20;

// ---- push buttons --------------------------------------------------------------------------

struct TlxBtnStateInput {
  std::uint32_t ButtonState = 0;   // BM_GETSTATE
  bool Enabled = true;
  bool FocusedOrHot = false;       // has the focus or is the manager's hot window
  std::uint32_t Style = 0;         // the window style
  bool OwnedByControl = false;     // a framework control owns the window
};
// 2 pushed; 0 disabled; 1 focused or hot; else 1 for a default button (an owned button's type
// BS_DEFPUSHBUTTON, a bare window's style bit 0), 0 otherwise.
int BtnFaceState(const TlxBtnStateInput& in);

// The width a caption is measured in: 0 without caption, the window width less 2 without a
// glyph, else the width less the glyph's (never below 0).
int BtnMaxTextWidth(bool hasCaption, int width, int glyphWidth);
// The measured caption (textW x textH) centred in the window: top (h - textH) / 2, bottom
// h - top; left (w - textW) / 2, right w - left + 1; moved by (1, 1) when pressed.
TRect BtnCaptionRect(int width, int height, int textW, int textH, bool pressed);
// A bare bitmap button: the caption moves right by half the glyph width + 1 (nothing without
// a glyph); the glyph stands 2 pixels left of the moved caption, centred vertically in the
// window, 1 lower when pushed.
TRect BareBitBtnCaptionRect(const TRect& caption, int glyphWidth);
TRect BareBitBtnGlyphRect(const TRect& caption, int glyphWidth, int glyphHeight, int height, bool pushed);
// The caption's DrawText flags: centred, tabs expanded; word-wrapped for BS_MULTILINE, read
// right to left under WS_EX_RTLREADING.
unsigned BtnCaptionFormat(std::uint32_t style, std::uint32_t exStyle);

// ---- check boxes and radios ----------------------------------------------------------------

bool IsRadioStyle(std::uint32_t style);
// 2 indeterminate, else the checked bit.
int CheckState(std::uint32_t buttonState);
// The "GLOBALINFO" mask name of the glyph: "BOX"/"RADIO" + "UNCHECKED"/"CHECKED", "BOXGRAYED"
// for both kinds when indeterminate.
std::string CheckGlyphName(std::uint32_t style, int checkState);
// 2 pushed, 1 focused or hot, else 0.
int CheckGlyphState(std::uint32_t buttonState, bool hot);

// A check mask as the size rule reads it.
struct TlxCheckMask {
  bool Found = false;         // the mask exists
  bool OwnBitmap = false;
  int BitmapW = 0, BitmapH = 0;
  int RectW = 0, RectH = 0;   // the mask rectangle (of the master bitmap)
  int ImageCount = 1;
  int MaskType = 0;
};
// An own bitmap: width / 3 x height / 2; a master region: width / image count x height /
// (mask type + 1), counts below 1 counting as 1; no mask: 16 x 16.
TSize CheckGlyphSize(const TlxCheckMask& m);

struct TlxCheckLayout {
  TRect Glyph;
  TRect Caption;        // empty without caption
  unsigned Format = 0;  // DrawText flags for the caption
};
// The measure width (window width - glyph width - 2) and its flags: word-wrapped for
// BS_MULTILINE, else single line.
int CheckMeasureWidth(int width, int glyphWidth);
unsigned CheckMeasureFormat(std::uint32_t style);
// The box centred vertically at x 0, or at the right edge under BS_RIGHTBUTTON; the caption
// (textW x textH measured) beside it as the adapter draws it (see the source).
TlxCheckLayout CheckBoxLayout(int width, int height, TSize glyph, int textW, int textH, bool hasCaption,
                              std::uint32_t style, std::uint32_t exStyle);

// ---- group boxes ---------------------------------------------------------------------------

// The caption band: left 6, or width - textW - 14 right to left; top 0; bottom max(4, textH) +
// 2; right left + textW + 8, cut to width - 1.
TRect GroupBoxCaptionRect(int width, int textW, int textH, bool rightToLeft);
