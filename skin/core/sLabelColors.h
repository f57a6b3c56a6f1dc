// Which colour a skinned label's text takes from the loaded skin: the font colour of the
// section it sits on, else the skin's global one; for a link label its normal and hover
// colours from "GLOBALINFO". Window-free; reads the skin's tables, owns nothing. Colours are
// in the framework's encoding (red in the low byte).
#pragma once

#include "framework/base/Types.h"
#include "skin/core/sSkinData.h"

// The answer that leaves the label's font colour as it is.
constexpr TColor LabelKeepColor = 0xFF00FF;

// The normal font colour of the section at `ancestorSection` (the nearest ancestor with an
// opaque skin, -1 for none), else the "GLOBALINFO" font colour; LabelKeepColor without either.
TColor LabelSkinFontColor(const TsSkinTables* t, int ancestorSection);
// A link label's colour while the mouse is not above it: the ancestor's font colour, else
// "GLOBALINFO"'s fifth colour entry ("TCBOTTOM"); LabelKeepColor without either, and for -1
// (no colour given).
TColor WebLabelNormalColor(const TsSkinTables* t, int ancestorSection);
// A link label's colour while the mouse is above it: "GLOBALINFO"'s third colour entry
// ("TCTOP") when `fromSkin` and the skin has that section, else `own`; -1 stands for red.
TColor WebLabelHoverColor(const TsSkinTables* t, bool fromSkin, TColor own);
