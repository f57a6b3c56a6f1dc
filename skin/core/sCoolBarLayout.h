// The skinned cool bar's band geometry that needs no window: how wide a band's grip is and how
// far its control sits from the band's start (grip, image and text). The caller measures the
// text and the image list; nothing here is owned. Window-free.
#pragma once

#include <cstdint>

// comctl32 4.71, the first version whose rebar draws the narrow (9 pixel) grip.
constexpr std::uint32_t ComCtlVersion471 = 0x40047;

struct TsBandGripQuery {
  bool FixedOrder = false;      // the bar keeps its bands in order
  int BandID = 0;               // the band's position id
  bool FixedSize = false;       // the band cannot be resized
  std::uint32_t ComCtlVersion = ComCtlVersion471;   // major in the high word
};

// 0 for the first band of a bar with a fixed order, or a band of fixed size; else 9 from
// comctl32 4.71 on, 12 before.
int BandGripWidth(const TsBandGripQuery& q);

struct TsBandHeaderQuery {
  bool Exists = true;           // there is a band
  bool Hidden = false;          // hidden at run time
  bool Vertical = false;        // the bar's bands run top to bottom
  // A text is shown (ShowText, or a band's name at design time) and it is not empty.
  bool HasText = false;
  int TextWidth = 0;            // the text's extent along a horizontal bar
  int TextHeight = 0;           // the font's height, the extent along a vertical bar
  int ImageIndex = -1;
  bool HasImages = false;       // the bar has an image list
  int ImageWidth = 0, ImageHeight = 0;
  int GripWidth = 0;
};

// Pixels from a band's start to its control along the bar: the shown text, a 2-pixel gap and
// the image (or 4 pixels for an image index without a list), 4 more after text or an image
// of the list, and the grip. 0 for no band or a hidden one.
int BandHeaderSize(const TsBandHeaderQuery& q);
