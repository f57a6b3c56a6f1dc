// The list view adapter's arithmetic (see lxListViewCore.h).
#include "skin/core/lxListViewCore.h"

#include <cstdlib>

namespace {

constexpr int TextInsetX = 4, TextInsetY = 1, ArrowGap = 6, ImageGap = 4;
constexpr int MaxColumnWidth = 999999;

// A piece of `size` starting at `left`, centred vertically in the band.
TRect PieceAt(int left, TSize size, const TRect& band) {
  const int top = band.Top + (band.Bottom - band.Top - size.cy) / 2;
  return TRect{left, top, left + size.cx, top + size.cy};
}

}   // namespace

int ListViewStyleOfView(int lvmView) {
  switch (lvmView) {
    case 0: return lxViewIcon;
    case 1: return lxViewReport;
    case 2: return lxViewSmallIcon;
    default: return lxViewList;
  }
}

TPoint ThumbTrackScroll(int viewStyle, bool vertical, int newPos, int lastPos, int itemWidth, int itemHeight) {
  const int delta = newPos - lastPos;
  if (vertical) {
    if (delta == 0) return TPoint{0, 0};
    return TPoint{0, viewStyle == lxViewReport ? delta * itemHeight : delta};
  }
  return TPoint{viewStyle == lxViewList ? delta * itemWidth : delta, 0};
}

TlxHeaderColumnLayout HeaderColumnLayout(const TlxHeaderColumnInput& in) {
  const TRect band{in.Column.Left + TextInsetX, in.Column.Top + TextInsetY, in.Column.Right - TextInsetX,
                   in.Column.Bottom - TextInsetY};
  const bool hasArrow = in.Arrow.cx > 0 && (in.Format & (lxHDF_SORTUP | lxHDF_SORTDOWN)) != 0;
  const bool hasImage = in.Image.cx > 0 && (in.Format & lxHDF_IMAGE) != 0;
  const int arrowPart = hasArrow ? ArrowGap + in.Arrow.cx : 0;
  const int imagePart = hasImage ? in.Image.cx + ImageGap : 0;
  int textLeft;
  if ((in.Format & 3) == lxHDF_RIGHT)
    textLeft = band.Right - arrowPart - in.Text.cx;
  else if ((in.Format & 3) == lxHDF_CENTER)
    textLeft = band.Left + (band.Right - band.Left - (imagePart + in.Text.cx + arrowPart)) / 2 + imagePart;
  else
    textLeft = band.Left + imagePart;
  TlxHeaderColumnLayout out;
  out.Text = PieceAt(textLeft, in.Text, band);
  if (hasArrow) out.Arrow = PieceAt(out.Text.Right + ArrowGap, in.Arrow, band);
  if (hasImage) out.Image = PieceAt(textLeft - ImageGap - in.Image.cx, in.Image, band);
  if (in.Pressed)
    for (TRect* r : {&out.Text, &out.Arrow, &out.Image})
      if (r->Right > r->Left) *r = TRect{r->Left + 1, r->Top + 1, r->Right + 1, r->Bottom + 1};
  return out;
}

int TotalColumnWidth(const std::vector<int>& widths) {
  int total = 0;
  for (int w : widths) {
    if (std::abs(w) > MaxColumnWidth) break;
    total += w;
  }
  return total;
}
