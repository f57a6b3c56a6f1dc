// Tool bar geometry (see sToolBarCore.h).
#include "skin/core/sToolBarCore.h"

#include <algorithm>

namespace {

// No tool button is 2^24 pixels large: inputs are held inside that so the sums never overflow.
constexpr int MaxExtent = 1 << 24;
int Fit(int v) { return std::clamp(v, -MaxExtent, MaxExtent); }

}  // namespace

TPoint ToolBarEdgeOffset(const TsToolBarEdges& e) {
  const int lines = std::clamp(e.Lines, 0, 2), border = Fit(e.BorderWidth);
  return TPoint{((e.Left ? 1 : 0) + border) * lines, ((e.Top ? 1 : 0) + border) * lines};
}

TRect ToolButtonCaptionRect(const TsToolCaptionQuery& in) {
  const TsToolButtonLayout& b = in.Button;
  const int w = Fit(b.ButtonWidth), h = Fit(b.ButtonHeight), iw = Fit(b.ImageWidth), ih = Fit(b.ImageHeight);
  const int th = Fit(b.TextHeight), tw = Fit(in.TextWidth), drop = Fit(in.DropDownWidth);
  TRect r;
  if (b.List) {
    r = TRect{in.ShowsImage ? iw + 6 : 1, 2, w - drop - 2, h - 2};
  } else {
    const int left = (w - drop - tw) / 2;
    const int space = in.BarHasImages ? (h - ih - th - 3) / 2 : (h - th) / 2;
    const int top = in.BarHasImages ? space + ih + 3 : space;
    r = TRect{left, top, left + tw, h - space};
  }
  if (b.State == BtnPressed) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

TRect ToolButtonDropDownRect(int width, int height, int partWidth) {
  const int w = Fit(width), pw = std::clamp(partWidth, 0, std::max(w, 0));
  return TRect{w - pw, 0, w, Fit(height)};
}

TPoint ToolButtonArrowPos(const TRect& part, int glyphW, int glyphH) {
  return TPoint{(part.Width() - Fit(glyphW) - 3) / 2 + part.Left + 2, (part.Height() - Fit(glyphH)) / 2};
}

int ToolButtonFaceState(TCustomDrawState state, bool markedOrIndeterminate) {
  return markedOrIndeterminate ? BtnPressed : ToolButtonState(state);
}

int HotIndexAfterDeleting(int hot, int deleted, int count) {
  if (hot == deleted || hot >= count - 1) return -1;
  return hot;
}
