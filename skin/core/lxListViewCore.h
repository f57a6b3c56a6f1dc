// The window-free arithmetic of the list view adapter: which view style a list view shows, how
// far a dragged thumb scrolls it, where a column header's text, sort arrow and image go, and
// the width of all columns. The adapter (skin/adapters/lxListViewWnd) reads the window and
// calls these. Owns nothing. Window-free.
#pragma once

#include <vector>

#include "framework/base/Types.h"

// The view styles by the framework's numbering (vsIcon, vsSmallIcon, vsList, vsReport).
constexpr int lxViewIcon = 0, lxViewSmallIcon = 1, lxViewList = 2, lxViewReport = 3;

// The view style of LVM_GETVIEW's answer: 0 icon, 1 details (report), 2 small icon, any other
// list.
int ListViewStyleOfView(int lvmView);

// A dragged thumb: the distance in pixels (dx, dy) ListView_Scroll is given for the thumb's
// move from `lastPos` to `newPos`. A list view scrolls by whole items: in list style sideways
// by the item width, in report style downwards by the item height; other styles scroll by
// pixels. A vertical drag that did not move scrolls nothing (0, 0).
TPoint ThumbTrackScroll(int viewStyle, bool vertical, int newPos, int lastPos, int itemWidth, int itemHeight);

// The header format bits the layout reads.
constexpr int lxHDF_RIGHT = 1, lxHDF_CENTER = 2, lxHDF_IMAGE = 0x800, lxHDF_SORTUP = 0x400, lxHDF_SORTDOWN = 0x200;

// Where a header column's pieces go, in the column's coordinates: the text, the sort arrow and
// the image (empty rectangles for a piece that is not shown).
struct TlxHeaderColumnLayout {
  TRect Text, Arrow, Image;
};
struct TlxHeaderColumnInput {
  TRect Column;          // the column's rectangle
  TSize Text;            // the measured text
  TSize Arrow;           // the sort glyph (0 x 0 without one)
  TSize Image;           // the column image (0 x 0 without one)
  int Format = 0;        // HDITEM.fmt
  bool Pressed = false;
};
// The text band is the column inflated by -4, -1, pieces centred vertically in it; the arrow
// stands 6 pixels right of the text, the image 4 pixels left of it. Right alignment puts text
// and arrow at the band's right, centre alignment centres image, text and arrow together, else
// they start at the band's left. A pressed column's pieces move by (1, 1).
TlxHeaderColumnLayout HeaderColumnLayout(const TlxHeaderColumnInput& in);

// The sum of the column widths, stopping before the first whose magnitude exceeds 999999 (an
// answer of a column that is not there).
int TotalColumnWidth(const std::vector<int>& widths);
