// Skinned labels' text colours (see sLabelColors.h).
#include "skin/core/sLabelColors.h"

namespace {

const TsGeneralData* SectionAt(const TsSkinTables* t, int i) {
  return SectionIndexInRange(t, i) ? &t->GeneralData[static_cast<size_t>(i)] : nullptr;
}

const TsGeneralData* GlobalInfo(const TsSkinTables* t) { return SectionAt(t, FindSectionIndex(t, "GLOBALINFO")); }

}  // namespace

TColor LabelSkinFontColor(const TsSkinTables* t, int ancestorSection) {
  if (const TsGeneralData* s = SectionAt(t, ancestorSection)) return s->Props[0].FontColor[0];
  const TsGeneralData* g = GlobalInfo(t);
  return g != nullptr ? g->Props[0].FontColor[0] : LabelKeepColor;
}

TColor WebLabelNormalColor(const TsSkinTables* t, int ancestorSection) {
  if (const TsGeneralData* s = SectionAt(t, ancestorSection)) return s->Props[0].FontColor[0];
  const TsGeneralData* g = GlobalInfo(t);
  // The entry is a text-contour colour, -1 when the skin draws none: no colour for a link.
  if (g == nullptr || g->Props[0].FontColor[4] == -1) return LabelKeepColor;
  return g->Props[0].FontColor[4];
}

TColor WebLabelHoverColor(const TsSkinTables* t, bool fromSkin, TColor own) {
  const TsGeneralData* g = fromSkin ? GlobalInfo(t) : nullptr;
  const TColor c = g != nullptr ? g->Props[0].FontColor[2] : own;
  return c == -1 ? TColor(0x0000FF) : c;
}
