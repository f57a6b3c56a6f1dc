// The painters of button images shared by the skinned controls: the glyph of a skinned push
// button (used when it is drawn without a skin), and the image of a tool button of a skinned
// tool bar or of a framework tool bar painted by the tool-bar adapter. Images come from the
// alpha image list with their alpha, or from any other image list through a 32-bit copy keyed
// on the list's background colour (clFuchsia when it has none). The painters keep no state;
// temporary bitmaps are freed before they return.
#pragma once

#include "framework/base/Types.h"

class TCanvas;
class TBitmap;
class TControl;
class TCustomImageList;
class TToolBar;
class TToolButton;

// The list's Count; 0 for none.
int ImageCountOf(TCustomImageList* list);

// The glyph of a TsButton in the state it shows, on `canvas` (null: the button's cache canvas).
// Other controls, no list and an index outside it draw nothing.
void ButtonGlyphPainter(TControl* button, TCanvas* canvas);

// The image of `button` of a skinned tool bar (TsToolBar) in custom-draw state `state`, into
// the bar's paint bitmap `target`: DisabledImages for a disabled button when the bar has them,
// HotImages for a hot or pressed one whose index they hold, else Images. The image is placed in
// `item` (the system's item size) when it is given, else in the button's own size.
void ToolButtonGlyphPainter(TToolBar* bar, TToolButton* button, TCustomDrawState state, TBitmap* target,
                            TSize item = TSize{});
// The same for a framework tool bar painted by the tool-bar adapter: HotImages or Images (no
// disabled images); alpha images take the hot, checked or normal column of their strip.
void ForeignToolButtonGlyphPainter(TToolBar* bar, TToolButton* button, TCustomDrawState state, TBitmap* target);
