// Window-free rules of the control skin state (see sCommonDataCore.h).
#include "skin/core/sCommonDataCore.h"

#include <algorithm>
#include <cctype>

#include "skin/paint/sColorMath.h"

namespace {

bool InRange(int kind, int lo, int hi) { return kind >= lo && kind <= hi; }

bool OneOf(int kind, std::initializer_list<int> codes) {
  return std::find(codes.begin(), codes.end(), kind) != codes.end();
}

struct TKindSection {
  int Lo, Hi;
  const char* Section;
};

constexpr TKindSection KindSections[] = {
    {2, 8, "EDIT"},        {10, 10, "EDIT"},         {41, 41, "EDIT"},        {76, 76, "EDIT"},
    {78, 78, "EDIT"},      {83, 85, "EDIT"},         {96, 96, "EDIT"},        {131, 131, "EDIT"},
    {140, 140, "EDIT"},    {227, 227, "EDIT"},       {11, 18, "COMBOBOX"},    {81, 82, "COMBOBOX"},
    {19, 19, "BAR"},       {20, 20, "BARTITLE"},     {32, 32, "CHECKBOX"},    {152, 152, "CHECKBOX"},
    {33, 33, "RADIOBUTTON"}, {51, 51, "PANEL"},      {59, 59, "PANEL"},       {68, 68, "PANEL"},
    {73, 73, "PANEL"},     {52, 52, "PANEL_LOW"},    {58, 58, "PANEL_LOW"},   {53, 54, "TOOLBAR"},
    {60, 60, "TOOLBAR"},   {56, 56, "DRAGBAR"},      {57, 57, "TABSHEET"},    {74, 74, "GROUPBOX"},
    {226, 226, "GROUPBOX"}, {75, 75, "SPLITTER"},    {92, 92, "SPEEDBUTTON"}, {95, 95, "SPEEDBUTTON"},
    {93, 94, "BUTTON"},    {98, 98, "TOOLBUTTON"},   {141, 141, "PAGECONTROL"}, {143, 143, "PAGECONTROL"},
    {151, 151, "STATUSBAR"}, {161, 161, "GAUGE"},    {165, 165, "TRACKBAR"},
};

}  // namespace

bool IsContainerKind(int kind) {
  return kind == 19 || InRange(kind, 51, 74) || kind == 110 || InRange(kind, 141, 161);
}

bool IsNoGlowKind(int kind) {
  return OneOf(kind, {51, 52, 54, 68, 73, 74, 110, 141, 143, 151, 161, 226}) ||
         InRange(kind, 56, 60) || InRange(kind, 92, 94);
}

bool IsEditKind(int kind) {
  return InRange(kind, 2, 18) || kind == 41 || InRange(kind, 76, 84) || kind == 96 ||
         InRange(kind, 131, 140);
}

std::string DefaultSectionOfKind(int kind, const std::string& ownerClassName) {
  for (const TKindSection& k : KindSections)
    if (InRange(kind, k.Lo, k.Hi)) return k.Section;
  std::string name = ownerClassName;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

const TsGenState& SectionState(const TsGeneralData& section, int state) {
  return state >= 1 && section.States > 1 ? section.Props[1] : section.Props[0];
}

bool StateHasGradient(const TsGenState& state) {
  return state.GradientPercent > 0 && !state.GradientArray.empty();
}

bool StateHasTexture(const TsGenState& state, int textureIndex) {
  return textureIndex >= 0 && state.ImagePercent > 0;
}

std::uint8_t BackgroundKindBits(const TsGenState& state, int textureIndex) {
  std::uint8_t bits = StateHasTexture(state, textureIndex) ? 4 : 0;
  if (StateHasGradient(state)) {
    switch (state.GradientArray.front().Mode) {
      case 0: bits |= 2; break;
      case 1: bits |= 1; break;
      case 2: bits |= 3; break;
      default: break;
    }
  }
  return bits;
}

bool GradientFollowsExtent(const TsGenState& state, bool widthChanged, bool heightChanged) {
  if (!StateHasGradient(state)) return false;
  switch (state.GradientArray.front().Mode) {
    case gmVertical: return heightChanged;
    case gmHorizontal: return widthChanged;
    case gmTriangles: return widthChanged || heightChanged;
    default: return false;
  }
}

TColor MixSectionColor(TColor sectionColor, TColor parentColor, int transparency) {
  const int t = std::clamp(transparency, 0, 100);
  return BlendColors(parentColor & 0xFFFFFF, sectionColor & 0xFFFFFF, t / 100.0) & 0xFFFFFF;
}

bool NeedsOwnImageFor(const TsOwnImageQuery& q) {
  if (q.Skin == nullptr || !SectionIndexInRange(q.Skin, q.Section)) return false;
  if (MaskIndexInRange(q.Skin, q.BorderMask)) {
    const TsMaskData& m = q.Skin->MaskData[static_cast<size_t>(q.BorderMask)];
    if ((m.DrawMode & 4) != 0) return true;
    if (MaskBorderLeft(q.Skin, q.BorderMask) + MaskBorderRight(q.Skin, q.BorderMask) > 20) return true;
    if (MaskBorderTop(q.Skin, q.BorderMask) + MaskBorderBottom(q.Skin, q.BorderMask) > 20) return true;
  }
  const TsGenState& s = q.Skin->GeneralData[static_cast<size_t>(q.Section)].Props[0];
  const bool filled = StateHasGradient(s) || StateHasTexture(s, q.Texture);
  if (s.Transparency == 100) {
    if (MaskIndexInRange(q.Skin, q.Texture) &&
        q.Skin->MaskData[static_cast<size_t>(q.Texture)].DrawMode == 10)
      return true;
    if (!q.HasParent || !q.ParentPlain) return true;
    return filled;
  }
  if (s.Transparency != 0) return true;
  return filled;
}
