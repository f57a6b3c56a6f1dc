// Skin records, look-ups, mask geometry, common indexes and colour queries: see sSkinData.h.
#include "skin/core/sSkinData.h"

#include <algorithm>

namespace {

constexpr TColor ColorNone = 0xFF00FF;

template <class Entry, class Accept>
int FindEntryDirect(const std::vector<Entry>& entries, const std::string& sectionName,
                    const std::string& key, Accept accept) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (e.ClassName == sectionName && e.PropertyName == key && accept(e))
      return static_cast<int>(i);
  }
  return -1;
}

// Direct search, then along "PARENTCLASS"; each section is visited at most once so that a
// cycle of parents ends.
template <class Entry, class Accept>
int FindEntryInherited(const TsSkinTables* sm, const std::vector<Entry>& entries,
                       int sectionIndex, std::string sectionName, const std::string& key,
                       Accept accept) {
  if (sm == nullptr) return -1;
  std::vector<bool> visited(sm->GeneralData.size(), false);
  while (sectionIndex >= 0 && !sectionName.empty()) {
    const int found = FindEntryDirect(entries, sectionName, key, accept);
    if (found >= 0) return found;
    if (!SectionIndexInRange(sm, sectionIndex) || visited[static_cast<size_t>(sectionIndex)])
      return -1;
    visited[static_cast<size_t>(sectionIndex)] = true;
    const std::string& parent = sm->GeneralData[static_cast<size_t>(sectionIndex)].ParentClass;
    if (parent.empty() || parent == sectionName) return -1;
    sectionName = parent;
    sectionIndex = FindSectionIndex(sm, parent);
  }
  return -1;
}

bool AnyEntry(const TsMaskData&) { return true; }
bool AnyPattern(const TsPatternData&) { return true; }
bool TextureEntry(const TsMaskData& m) { return m.ImgType == 1; }

const TsGeneralData* Section(const TsSkinTables* sm, const std::string& name) {
  const int i = FindSectionIndex(sm, name);
  return i < 0 ? nullptr : &sm->GeneralData[static_cast<size_t>(i)];
}

const TsMaskData* Mask(const TsSkinTables* sm, int index) {
  return MaskIndexInRange(sm, index) ? &sm->MaskData[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
int FindSectionIndex(const TsSkinTables* sm, const std::string& name) {
  if (sm == nullptr) return -1;
  for (size_t i = 0; i < sm->GeneralData.size(); ++i)
    if (sm->GeneralData[i].ClassName == name) return static_cast<int>(i);
  return -1;
}

int FindMaskEntry(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName,
                  const std::string& key) {
  if (sm == nullptr) return -1;
  return FindEntryInherited(sm, sm->MaskData, sectionIndex, sectionName, key, AnyEntry);
}

int FindMaskEntryDirect(const TsSkinTables* sm, const std::string& sectionName,
                        const std::string& key) {
  if (sm == nullptr || sectionName.empty()) return -1;
  return FindEntryDirect(sm->MaskData, sectionName, key, AnyEntry);
}

int FindTextureEntry(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName,
                     const std::string& key) {
  if (sm == nullptr) return -1;
  return FindEntryInherited(sm, sm->MaskData, sectionIndex, sectionName, key, TextureEntry);
}

int FindPatternEntry(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName,
                     const std::string& key) {
  if (sm == nullptr) return -1;
  return FindEntryInherited(sm, sm->PatternData, sectionIndex, sectionName, key, AnyPattern);
}

bool MaskIndexInRange(const TsSkinTables* sm, int i) {
  return sm != nullptr && i >= 0 && static_cast<size_t>(i) < sm->MaskData.size();
}

bool SectionIndexInRange(const TsSkinTables* sm, int i) {
  return sm != nullptr && i >= 0 && static_cast<size_t>(i) < sm->GeneralData.size();
}

// ---------------------------------------------------------------------------------------------
int MaskFrameWidth(const TsMaskData& mask) {
  if (mask.ImageCount <= 0) return 0;
  const int w = mask.R.Width();
  return mask.ImageCount == 1 ? w : w / mask.ImageCount;
}

int MaskFrameHeight(const TsMaskData& mask) {
  if (mask.MaskType < 0) return 0;
  const int h = mask.R.Height();
  if (mask.MaskType == 0) return h;
  return h / (mask.MaskType + 1);
}

namespace {
int BorderOr(const TsMaskData* m, std::int16_t own, bool horizontal) {
  if (m == nullptr) return 0;
  if (own > 0) return own;
  if (m->BorderWidth > 0) return m->BorderWidth;
  if (horizontal) {
    // A mask without frames counts as one frame here.
    const int count = m->ImageCount > 0 ? m->ImageCount : 1;
    return count == 1 ? m->R.Width() : m->R.Width() / count;
  }
  return MaskFrameHeight(*m);
}
}  // namespace

int MaskBorderLeft(const TsSkinTables* sm, int index) {
  const TsMaskData* m = Mask(sm, index);
  return BorderOr(m, m ? m->WL : 0, true);
}
int MaskBorderTop(const TsSkinTables* sm, int index) {
  const TsMaskData* m = Mask(sm, index);
  return BorderOr(m, m ? m->WT : 0, false);
}
int MaskBorderRight(const TsSkinTables* sm, int index) {
  const TsMaskData* m = Mask(sm, index);
  return BorderOr(m, m ? m->WR : 0, true);
}
int MaskBorderBottom(const TsSkinTables* sm, int index) {
  const TsMaskData* m = Mask(sm, index);
  return BorderOr(m, m ? m->WB : 0, false);
}

// ---------------------------------------------------------------------------------------------
void CacheCommonIndexes(TsSkinTables* sm) {
  if (sm == nullptr) return;
  TsCommonIndexes c;
  auto mask = [sm](int section, const char* sectionName, const char* key) {
    return FindMaskEntry(sm, section, sectionName, key);
  };

  c.GlobalInfo = FindSectionIndex(sm, "GLOBALINFO");
  if (c.GlobalInfo >= 0) {
    static const char* const Glyphs[3][3] = {
        {"BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED"},
        {"RADIOCHECKED", "RADIOUNCHECKED", "RADIOGRAYED"},
        {"SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"}};
    for (int i = 0; i < 3; ++i) {
      c.CheckBox[i] = mask(c.GlobalInfo, "GLOBALINFO", Glyphs[0][i]);
      c.RadioButton[i] = mask(c.GlobalInfo, "GLOBALINFO", Glyphs[1][i]);
      c.SmallCheckBox[i] = mask(c.GlobalInfo, "GLOBALINFO", Glyphs[2][i]);
    }
    c.ExBorder = mask(c.GlobalInfo, "GLOBALINFO", "EXBORDER");
    c.GripImage = mask(c.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    c.GripHorz = mask(c.GlobalInfo, "GLOBALINFO", "GRIPHORZ");
    c.GripVert = mask(c.GlobalInfo, "GLOBALINFO", "GRIPVERT");
  }

  c.ComboBtn = FindSectionIndex(sm, "COMBOBTN");
  c.ComboBtnBorder = mask(c.ComboBtn, "COMBOBTN", "BORDERSMASK");
  c.ComboBtnPattern = FindTextureEntry(sm, c.ComboBtn, "COMBOBTN", "PATTERN");
  c.ComboBtnHotPattern = FindTextureEntry(sm, c.ComboBtn, "COMBOBTN", "HOTPATTERN");
  c.ComboGlyph = mask(FindSectionIndex(sm, "COMBOBOX"), "COMBOBOX", "GLYPHMASK");

  static const char* const Tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  for (int i = 0; i < 4; ++i) {
    c.TabSection[i] = FindSectionIndex(sm, Tabs[i]);
    c.TabBorder[i] = mask(c.TabSection[i], Tabs[i], "BORDERSMASK");
  }

  static const char* const Parts[6] = {"SCROLLBTNTOP",  "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                       "SCROLLBTNRIGHT", "SCROLLSLIDERV",   "SCROLLSLIDERH"};
  for (int i = 0; i < 6; ++i) {
    TsScrollPartIndexes& p = c.ScrollParts[i];
    p.Section = FindSectionIndex(sm, Parts[i]);
    p.Border = mask(p.Section, Parts[i], "BORDERSMASK");
    p.Glyph = mask(p.Section, Parts[i], "GLYPHMASK");
    p.Pattern = mask(p.Section, Parts[i], "PATTERN");
    p.HotPattern = mask(p.Section, Parts[i], "HOTPATTERN");
  }
  static const char* const Bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  for (int i = 0; i < 4; ++i) {
    TsScrollPartIndexes& p = c.ScrollBars[i];
    p.Section = FindSectionIndex(sm, Bars[i]);
    p.Border = mask(p.Section, Bars[i], "BORDERSMASK");
    p.Pattern = mask(p.Section, Bars[i], "PATTERN");
    p.HotPattern = mask(p.Section, Bars[i], "HOTPATTERN");
  }
  c.WebButton = FindSectionIndex(sm, "WEBBUTTON");
  sm->CommonIndexes = c;
}

// ---------------------------------------------------------------------------------------------
TColor GlobalInfoColor(const TsSkinTables* sm, TColor noSection) {
  const TsGeneralData* g = Section(sm, "GLOBALINFO");
  return g ? g->Props[0].Color : noSection;
}

TColor GlobalInfoFontColor(const TsSkinTables* sm) {
  const TsGeneralData* g = Section(sm, "GLOBALINFO");
  return g ? g->Props[0].FontColor[0] : ColorNone;
}

TColor GlobalInfoHotColor(const TsSkinTables* sm, TColor noSection) {
  const TsGeneralData* g = Section(sm, "GLOBALINFO");
  return g ? g->HotColor : noSection;
}

TColor EditFontColor(const TsSkinTables* sm, TColor noSection) {
  const TsGeneralData* g = Section(sm, "EDIT");
  return g ? g->Props[0].FontColor[0] : noSection;
}

namespace {
// The "SELECTION" value of the state asked, or -1 without the section.
TColor SelectionValue(const TsSkinTables* sm, bool hot, bool font) {
  const TsGeneralData* s = Section(sm, "SELECTION");
  if (s == nullptr) return -1;
  const TsGenState& st = s->Props[(hot && s->States > 1) ? 1 : 0];
  return font ? st.FontColor[0] : st.Color;
}

TColor SelectionOrMenuItem(const TsSkinTables* sm, bool hot, bool font, TColor fallback) {
  const TColor c = SelectionValue(sm, hot, font);
  if (c != -1 && c != ColorNone) return c;
  const TsGeneralData* m = Section(sm, "MENUITEM");
  if (m == nullptr) return fallback;
  const TColor h = font ? m->HotFontColor[0] : m->HotColor;
  if (h == ColorNone || h == 0xFFFFFF || h == -1) return fallback;
  return h;
}
}  // namespace

TColor SelectionColor(const TsSkinTables* sm, bool hot, TColor fallback) {
  return SelectionOrMenuItem(sm, hot, false, fallback);
}

TColor SelectionFontColor(const TsSkinTables* sm, bool hot, TColor fallback) {
  return SelectionOrMenuItem(sm, hot, true, fallback);
}

TlxMaskImage MaskImageOf(const TsMaskData& mask, bool ownImage, const TlxPixelBuffer& image) {
  TlxMaskImage m;
  m.OwnImage = ownImage;
  m.Image = image;
  m.HasManager = !image.Empty();
  m.SrcRect = mask.R;
  m.ImageCount = mask.ImageCount;
  m.MaskType = mask.MaskType;
  m.DrawMode = mask.DrawMode;
  m.WL = mask.WL;
  m.WT = mask.WT;
  m.WR = mask.WR;
  m.WB = mask.WB;
  m.CornerType = mask.CornerType;
  return m;
}
