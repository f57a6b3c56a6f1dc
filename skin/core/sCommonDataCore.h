// The window-free rules of a control's skin state: the control-kind sets (containers, kinds
// without a hover glow, edit kinds) and the default section of each kind, which state record
// of a section applies, whether a section has a gradient or a texture, how a partly
// see-through section's colour mixes with its parent's, and when a control needs an image of
// its own instead of its parent's background. Owns nothing; reads the loaded skin's tables.
#pragma once

#include <cstdint>
#include <string>

#include "framework/base/Types.h"
#include "skin/core/sSkinData.h"

// ---------------------------------------------------------------------------------------------
// Control kinds. Codes outside 0 to 255 belong to no set.

// Hovering does not set the mouse-above flag of a container, nor make it active.
bool IsContainerKind(int kind);
// No hover glow is shown around these kinds.
bool IsNoGlowKind(int kind);
// Edit kinds take their colour and font colour from the section, and focus and hover repaint
// their frame when the section has more than one state.
bool IsEditKind(int kind);
// The section a control of this kind takes when none is named; for the other kinds the
// owner's class name, upper-cased.
std::string DefaultSectionOfKind(int kind, const std::string& ownerClassName);

// ---------------------------------------------------------------------------------------------
// Sections.

// The record of `state` in the section: the hot record (state 1 and above) only when the
// section has more than one state.
const TsGenState& SectionState(const TsGeneralData& section, int state);
bool StateHasGradient(const TsGenState& state);
// The section's own texture (its "PATTERN" index) counts only with an image share.
bool StateHasTexture(const TsGenState& state, int textureIndex);
// Bits of a state's fill: 4 a texture; 2 a gradient of mode 0, 1 of mode 1, 3 of mode 2.
std::uint8_t BackgroundKindBits(const TsGenState& state, int textureIndex);
// The state's gradient looks different after the extent changed: a vertical gradient follows
// the height, a horizontal one the width, a triangle mesh both.
bool GradientFollowsExtent(const TsGenState& state, bool widthChanged, bool heightChanged);

// The colour of a section whose state lets `transparency` per cent of the parent's colour
// through, in RGB: 0 the section colour, 100 the parent colour, between the two mixed by that
// share (the nearest value, ties to even). A transparency outside 0 to 100 is taken as the
// nearer end.
TColor MixSectionColor(TColor sectionColor, TColor parentColor, int transparency);

// ---------------------------------------------------------------------------------------------
// Own image.

// What decides whether a control paints an image of its own.
struct TsOwnImageQuery {
  const TsSkinTables* Skin = nullptr;
  int Section = -1;
  int BorderMask = -1;
  int Texture = -1;
  bool HasParent = false;
  // The parent answers command 36 with the plain bit (0x0001) set.
  bool ParentPlain = false;
};

// False without a skin or section. True for a border mask that paints its centre (draw-mode
// bit 4) or whose left plus right, or top plus bottom, widths exceed 20. A fully see-through
// section needs one when its texture tiles with a transparency band (draw mode 10), when the
// control has no parent or its parent is not plain; under a plain parent only a gradient or
// texture needs one. Any other partial transparency needs one; an opaque section only with a
// gradient or texture.
bool NeedsOwnImageFor(const TsOwnImageQuery& q);
