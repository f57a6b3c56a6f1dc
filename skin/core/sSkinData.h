// The loaded skin as flat records: mask entries, texture entries, one record per skin section,
// the skin-wide values and the block of common indexes cached after each load, with the
// look-ups by name (inheriting along "PARENTCLASS"), the mask frame and border sizes and the
// colour queries. Window-free. `TsSkinTables` owns all of it; the skin manager holds one.
//
// Sections: records; tables; look-ups; mask geometry; common indexes; colour queries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/IniFiles.h"
#include "framework/base/Types.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sMaskPaint.h"

class TsSkinManager;

// ---------------------------------------------------------------------------------------------
// Records.

// One mask entry: an image region with its cut-up rules.
struct TsMaskData {
  std::unique_ptr<TObject> Bmp;    // the entry's own 32-bit bitmap; none: the master bitmap
  std::string ClassName;           // section the entry belongs to
  std::string PropertyName;        // key that defined it
  TRect R;                         // region holding all frames and states
  std::int16_t ImageCount = 0;     // frames side by side (0 = none)
  std::int16_t MaskType = 0;       // bands stacked vertically; -1 = no height
  std::int16_t BorderWidth = 0;    // common border width, used when a side's own width is 0
  std::int16_t DrawMode = 0;       // nine-piece bits 1 stretch, 2 nothing in state 0, 4 centre
  std::uint8_t ImgType = 0;        // 0 nine-piece, 1 whole image/texture, 2 master region
  TsSkinManager* Manager = nullptr;
  std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;   // piece sizes for nine-piece painting
  std::int16_t CornerType = 0;     // transparent corners: 0 none, 1 key colour found, 2 never
};

// One texture entry.
struct TsPatternData {
  std::unique_ptr<TObject> Img;
  std::string ClassName;
  std::string PropertyName;
};

// The values of one state of a section. Font colours: [0] the font colour, [1]..[4] the left,
// top, right and bottom text-contour colours (-1 = no contour); they are entries 1 to 5.
struct TsGenState {
  TColor Color = 0;
  TColor FontColor[5] = {0, 0, 0, 0, 0};
  std::int32_t GradientPercent = 0;
  std::string GradientData;
  TsGradientArray GradientArray;   // GradientData parsed
  std::int32_t ImagePercent = 0;
  TColor GlowColor = 0;
  std::uint8_t GlowSize = 0;
  std::int32_t Transparency = 0;   // 100 = fully the parent's background
};
// Index 0 the normal state, 1 the hot state.
using TsProps = TsGenState[2];

// One section record.
struct TsGeneralData {
  std::string ParentClass;
  std::string ClassName;
  std::int32_t States = 0;
  TsProps Props;
  bool GiveOwnFont = false, ReservedBoolean = false, ShowFocus = false;
  std::int32_t GlowCount = 0, GlowMargin = 0;
  std::int32_t BorderIndex = -1, ImgTL = -1, ImgTR = -1, ImgBL = -1, ImgBR = -1;
  std::int32_t TextureIndex = -1;
  TColor Color = 0;
  std::int32_t Transparency = 0, GradientPercent = 0;
  std::string GradientData;
  TsGradientArray GradientArray;
  std::int32_t ImagePercent = 0;
  TColor FontColor[5] = {0, 0, 0, 0, 0};
  TColor HotColor = 0;
  std::int32_t HotTransparency = 0, HotGradientPercent = 0;
  std::string HotGradientData;
  TsGradientArray HotGradientArray;
  std::int32_t HotImagePercent = 0;
  TColor HotFontColor[5] = {0, 0, 0, 0, 0};
  bool FadingEnabled = false;
  std::int32_t FadingIterations = 0;
  TColor HotGlowColor = 0, GlowColor = 0;
  std::uint8_t HotGlowSize = 0, GlowSize = 0;
};

using TsMaskArray = std::vector<TsMaskData>;
using TsPatternArray = std::vector<TsPatternData>;
using TsGeneralDataArray = std::vector<TsGeneralData>;

// The skin-wide record: where images come from, the version and the GLOBALINFO values.
struct TsSkinData {
  std::string SkinPath;   // with trailing backslash; empty for stored skins
  bool Active = false;
  double Version = 0;
  std::string Author, Description;
  std::int32_t ExBorderWidth = 4, ExTitleHeight = 30, ExMaxHeight = 0;
  std::int32_t ExContentOffs = 0, ExShadowOffs = 0, ExCenterOffs = 0, ExDrawMode = 0;
  TColor Shadow1Color = 0;
  std::int32_t Shadow1Offset = 0, Shadow1Blur = 0, Shadow1Transparency = 0;
  std::int32_t BISpacing = 0, BIVAlign = 0, BIRightMargin = 0, BITopMargin = 0;
  std::int32_t BILeftMargin = 0;   // "BILEFT": margin of the title icon and caption
  TColor BorderColor = 0;
  std::int32_t BIKeepHUE = 0;
  std::int32_t BICloseGlow = 0, BICloseGlowMargin = 0, BIMaxGlow = 0, BIMaxGlowMargin = 0;
  std::int32_t BIMinGlow = 0, BIMinGlowMargin = 0;
  bool UseAeroBluring = false;
  TColor ExShadowColor = 0;
  // An ini built from skin text that is still to be read; freed with the record.
  std::unique_ptr<TMemIniFile> PendingIni;
};

// The section and mask indexes every skinned control needs, refreshed after each load.
struct TsScrollPartIndexes {
  std::int32_t Section = -1, Border = -1, Glyph = -1, Pattern = -1, HotPattern = -1;
};

struct TsCommonIndexes {
  std::int32_t GlobalInfo = -1;
  // [0] checked, [1] unchecked, [2] greyed.
  std::int32_t CheckBox[3] = {-1, -1, -1};
  std::int32_t RadioButton[3] = {-1, -1, -1};
  std::int32_t SmallCheckBox[3] = {-1, -1, -1};
  std::int32_t ExBorder = -1, GripImage = -1, GripHorz = -1, GripVert = -1;
  std::int32_t ComboBtn = -1, ComboBtnBorder = -1, ComboBtnPattern = -1, ComboBtnHotPattern = -1;
  std::int32_t ComboGlyph = -1;
  // [0] top, [1] bottom, [2] left, [3] right.
  std::int32_t TabSection[4] = {-1, -1, -1, -1};
  std::int32_t TabBorder[4] = {-1, -1, -1, -1};
  // Button top, bottom, left, right, then slider vertical, horizontal.
  TsScrollPartIndexes ScrollParts[6];
  // Bar 1 horizontal, 1 vertical, 2 horizontal, 2 vertical (no glyphs).
  TsScrollPartIndexes ScrollBars[4];
  std::int32_t WebButton = -1;
};

// ---------------------------------------------------------------------------------------------
// The tables of one loaded skin.
struct TsSkinTables {
  TsSkinData SkinData;
  TsMaskArray MaskData;
  TsPatternArray PatternData;
  TsGeneralDataArray GeneralData;
  TsCommonIndexes CommonIndexes;
};

// ---------------------------------------------------------------------------------------------
// Look-ups. Names are compared exactly (case-sensitive). The inheriting look-ups follow
// "PARENTCLASS" and visit each section at most once, so a cycle ends with -1.

// Index of the first section named `name`; -1 when none or no tables.
int FindSectionIndex(const TsSkinTables* sm, const std::string& name);
// Index of the first mask entry of (sectionName, key), else of the section's parents; -1 when
// sectionIndex is negative, the name empty or nothing is found.
int FindMaskEntry(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName,
                  const std::string& key);
// The same without inheritance.
int FindMaskEntryDirect(const TsSkinTables* sm, const std::string& sectionName,
                        const std::string& key);
// As FindMaskEntry over mask entries of image type 1 only.
int FindTextureEntry(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName,
                     const std::string& key);
// As FindMaskEntry over the texture entries.
int FindPatternEntry(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName,
                     const std::string& key);

bool MaskIndexInRange(const TsSkinTables* sm, int i);
bool SectionIndexInRange(const TsSkinTables* sm, int i);

// ---------------------------------------------------------------------------------------------
// Mask geometry. Counts and band numbers come from skin text: values that would divide by zero
// or by a negative number give 0.

int MaskFrameWidth(const TsMaskData& mask);
int MaskFrameHeight(const TsMaskData& mask);
// The side's own width when above 0, else the common width when above 0, else the frame width
// (left, right) or height (top, bottom). 0 for an index out of range.
int MaskBorderLeft(const TsSkinTables* sm, int index);
int MaskBorderTop(const TsSkinTables* sm, int index);
int MaskBorderRight(const TsSkinTables* sm, int index);
int MaskBorderBottom(const TsSkinTables* sm, int index);

// What the painting kernels read of a mask entry. `image` is what the entry paints from: its own
// bitmap's pixels when ownImage, else the master bitmap's; an empty view paints nothing (the
// tables stand for the owning manager only when there is an image to paint from).
TlxMaskImage MaskImageOf(const TsMaskData& mask, bool ownImage, const TlxPixelBuffer& image);

// ---------------------------------------------------------------------------------------------
// Refreshes sm->CommonIndexes from the current tables.
void CacheCommonIndexes(TsSkinTables* sm);

// ---------------------------------------------------------------------------------------------
// Colour queries (RGB). The caller passes the system colour to use without the section, since
// the tables know nothing of the system's colours.

TColor GlobalInfoColor(const TsSkinTables* sm, TColor noSection);       // button face
TColor GlobalInfoFontColor(const TsSkinTables* sm);                     // $FF00FF without it
TColor GlobalInfoHotColor(const TsSkinTables* sm, TColor noSection);    // window colour
TColor EditFontColor(const TsSkinTables* sm, TColor noSection);         // window text value
// "SELECTION" colour (hot state when asked and the section has more than one state); when
// that is -1 or $FF00FF, the hot colour of "MENUITEM" unless that is $FF00FF, $FFFFFF, -1 or
// missing; else `fallback` (the highlight colour value).
TColor SelectionColor(const TsSkinTables* sm, bool hot, TColor fallback);
TColor SelectionFontColor(const TsSkinTables* sm, bool hot, TColor fallback);
