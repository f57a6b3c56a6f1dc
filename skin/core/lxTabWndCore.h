// The window-free rules of the tab, spin, track-bar and native tool-bar adapters: where a tab
// control's tabs, strip and page area lie and which row a tab is in, the tab position and
// button kind its style holds, the halves of a spin window, the tick side of a track bar, and
// a native tool button's separator strip and two-line caption. The adapters (skin/adapters
// lxTabWnd, lxSpinWnd, lxTrackWnd, lxToolBarWnd) read the windows and call these. Owns
// nothing. Window-free.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/base/Types.h"

// ---- tab controls ----------------------------------------------------------------------------

constexpr std::uint32_t lxTCS_BOTTOM = 0x2, lxTCS_RIGHT = 0x2, lxTCS_FLATBUTTONS = 0x8, lxTCS_VERTICAL = 0x80,
                        lxTCS_BUTTONS = 0x100;

enum class TlxTabPos { Top = 0, Bottom = 1, Left = 2, Right = 3 };
// Vertical tabs: right with bit 2, else left; horizontal: bottom with bit 2, else top.
TlxTabPos TabPosition(std::uint32_t style);
// 2 flat buttons, 1 buttons, 0 tabs.
int TabButtonKind(std::uint32_t style);

// What the adjusted-rectangle rule reads of the control.
struct TlxTabQuery {
  TlxTabPos Pos = TlxTabPos::Top;
  int Kind = 0;            // TabButtonKind
  int Count = 0;           // tabs in the control
};
// The tab `index`'s item rectangle as it is painted: empty outside 0 .. count - 1; buttons and
// empty rectangles unchanged; a tab grows towards the page and, when selected, over its
// neighbours (see the source for the side rules).
TRect AdjustedTabRect(const TlxTabQuery& q, int index, const TRect& item, bool selected);
// The client rectangle whose side facing the tabs meets the display rectangle: the page frame.
TRect TabPageAreaRect(TlxTabPos pos, const TRect& client, const TRect& display, bool hasTabs);
// The client rectangle less the page area: where the tabs stand.
TRect TabStripRect(TlxTabPos pos, const TRect& client, const TRect& display, bool hasTabs);
// The 1-based row of a tab with item rectangle `item` among `rows` rows; row 1 for fewer than
// two rows and for an empty rectangle (it has no height to count rows by).
int TabRow(TlxTabPos pos, const TRect& item, int rows, const TRect& strip);
// The skin section a tab control paints its page area with: "CHECKBOX" without tabs; a section
// other than "PAGECONTROL" as given; else "PAGECONTROL" + "", "BOTTOM", "LEFT", "RIGHT".
std::string TabPageSection(TlxTabPos pos, bool hasTabs, const std::string& own);
// The section of a single tab by kind and position: "BUTTON", "TOOLBUTTON", "TAB" + side.
std::string TabFaceSection(TlxTabPos pos, int kind);
// The face of a vertical tab's rotated caption: "MS Sans Serif" cannot turn, "Arial" can.
std::string RotatableFace(const std::string& face);

// ---- spin windows ----------------------------------------------------------------------------

// The states of a spin's two halves (first: up or left), 0 normal, 1 hot, 2 pressed.
struct TlxSpinStates {
  int First = 0, Second = 0;
  friend bool operator==(const TlxSpinStates&, const TlxSpinStates&) = default;
};
// Outside the window both 0; inside, the half under `cursor` (window coordinates; split at half
// the height, or width for a horizontal window) 1 + `mouseDown`, the other 0.
TlxSpinStates SpinHalfStates(int width, int height, bool vertical, TPoint cursor, bool mouseDown);
// The two halves of a `width` x `height` spin, the first from `leftOffset` on.
void SpinHalves(int width, int height, bool vertical, int leftOffset, TRect& first, TRect& second);
// One arrow image of a mask `maskW` x `maskH` holding `imageCount` images across and
// `maskType` + 1 state rows; counts below 1 count as 1 (a loaded mask may say "none").
TSize SpinArrowSize(int maskW, int maskH, int imageCount, int maskType);

// ---- track bars ------------------------------------------------------------------------------

constexpr std::uint32_t lxTBS_VERT = 0x2, lxTBS_TOP = 0x4, lxTBS_BOTH = 0x8, lxTBS_NOTICKS = 0x10;
// 2 both sides, 1 top or left, 0 bottom or right.
int TrackTickSide(std::uint32_t style);
// The channel narrowed across the bar to `thickness`, centred.
TRect TrackChannelRect(const TRect& channel, bool vertical, int thickness);
// Where the thumb mask `maskW` x `maskH` goes: centred on the thumb at its own size for the
// system's default thumb (23 across), else stretched over the thumb.
TRect TrackThumbRect(const TRect& thumb, bool vertical, int maskW, int maskH);
// The place along the bar of a tick of value `tic`, between `first`, the place of the range's
// low end `low`, and `last`, that of its high end `high`; `first` for an empty range.
int TrackTickPosition(int first, int last, int tic, int low, int high);
// The tick marks at `pos` (along the bar) beside the channel: one rectangle per side the style
// asks for, `length` long and `thick` wide, `gap` away from the channel.
void TrackTickRects(const TRect& channel, bool vertical, int side, int pos, int length, int thick, int gap,
                    const std::function<void(const TRect&)>& each);

// ---- native tool bars --------------------------------------------------------------------------

// The "DIVIDER" strip of a separator button: 4 wide at width div 2 - 1, from 2 to height - 2.
TRect ToolSeparatorRect(int width, int height);
// A caption split where it fits `width`: the longest run of whole words that fits is the first
// line, the rest the second. A caption that fits whole is one line (Second empty); a first word
// wider than the button leaves the first line empty and goes whole to the second.
struct TlxCaptionLines {
  std::string First, Second;
  bool TwoLines = false;
};
TlxCaptionLines SplitToolCaption(const std::string& caption, int width,
                                 const std::function<int(const std::string&)>& textWidth);
// A native button's face: 0 disabled, 2 pressed, 1 under the cursor, else 0.
int NativeToolButtonState(bool enabled, bool pressed, bool hot);
