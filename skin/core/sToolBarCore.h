// The skinned tool bar's geometry that needs no window: where its client area sits inside its
// edges, where a tool button's caption and drop-down part go, the arrow's place in that part,
// and which face a button shows. The window code (skin/controls/sToolBar) measures the font and
// reads the bar; nothing here is owned. Window-free.
#pragma once

#include "framework/base/Types.h"
#include "skin/core/sButtonCore.h"

// The offset of the client area inside a bar's edges: on each side that has an edge, the edge's
// lines (one pixel each) plus the border width, times the number of lines.
struct TsToolBarEdges {
  bool Left = false, Top = false;   // EdgeBorders holds ebLeft, ebTop
  int BorderWidth = 0;
  int Lines = 2;                    // EdgeInner and EdgeOuter that are not esNone
};
TPoint ToolBarEdgeOffset(const TsToolBarEdges& e);

// The caption of a tool button (the layout's TextHeight is the height of "A"):
// `List` bars: from 1 (or the image width + 6 when the button shows an image) to the width less
// the drop-down part less 2, from 2 to the height - 2. Otherwise centred on `textWidth` within
// the width less the drop-down part, and below the image when the bar has images (the image,
// 3 pixels and one line centred together), else centred vertically. Moved by (1, 1) in state 2.
struct TsToolCaptionQuery {
  TsToolButtonLayout Button;
  bool BarHasImages = false;
  bool ShowsImage = false;          // the bar has images and the button's index is not negative
  int DropDownWidth = 0;            // the drop-down part's width, 0 for other buttons
  int TextWidth = 0;
};
TRect ToolButtonCaptionRect(const TsToolCaptionQuery& q);

// The drop-down part of a `width` x `height` button: `partWidth` at the right end.
TRect ToolButtonDropDownRect(int width, int height, int partWidth);
// The top left corner of the arrow glyph of size glyphW x glyphH centred in the part.
TPoint ToolButtonArrowPos(const TRect& part, int glyphW, int glyphH);

// The face of a tool button: 2 (pressed) when marked or indeterminate, else as ToolButtonState.
int ToolButtonFaceState(TCustomDrawState state, bool markedOrIndeterminate);

// The hot button's index once the system announces the deletion of the button at `deleted`
// (the bar still holds `count` buttons): -1 when it named that button or would lie past the
// end afterwards (not below count - 1); else unchanged.
int HotIndexAfterDeleting(int hot, int deleted, int count);
