// Captions in their section's colours: the main font colour with up to four one-pixel contour
// copies (left, up, right, down), the disabled colour mixed from the skin's global colour, the
// embossed look of unskinned disabled text, the glow laid into the owner's cache bitmap, and
// section text laid into 32-bit bitmaps. Reads the skin's section records; the text passes are
// planned first (SkinTextPasses and friends) and then drawn, so that the plan can be checked on
// its own. Owns nothing: canvases, bitmaps and the cached glow mask belong to the caller.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/core/sSkinData.h"

class TsSkinManager;

// One draw of the text: shifted by (DX, DY), in Color (a colour or a system colour value), with
// Format (the last pass adds DT_NOCLIP).
struct TsTextPass {
  int DX = 0, DY = 0;
  TColor Color = 0;
  UINT Format = 0;
  friend bool operator==(const TsTextPass&, const TsTextPass&) = default;
};

// What a caption needs to know of its owner's skin state.
struct TsTextSkinInfo {
  const TsSkinTables* Tables = nullptr;   // null: not skinned
  TColor GlobalInfoColor = 0;             // the skin's global colour (disabled text mixes it in)
  int SectionIndex = -1;
  // The parent's section, for owners that take their text colours from it (graphic and
  // label-like controls with ParentFont and a parent); -1 for the others. Used only when the
  // owner's own section is see-through (transparency above 0).
  int ParentSectionIndex = -1;
  bool CustomFont = false;
  int HueOffset = 0;
  int Saturation = 0;
  TBitmap* Cache = nullptr;                      // the glow is drawn into it when there is one
  std::unique_ptr<TBitmap>* GlowMask = nullptr;  // the owner's cached glow mask (optional)
};
// The info of a section under a manager (its tables and global colour; not skinned when the
// manager is null or inactive).
TsTextSkinInfo TextSkinInfoOf(TsSkinManager* manager, int sectionIndex);

// ---- plans ---------------------------------------------------------------------------------

// The passes of a skinned caption of section `sectionIndex` in `state` (0 normal, 1 hot):
// enabled, each contour colour that is not -1 one pixel left, up, right and down, then the main
// colour; disabled, once in BlendColors(font colour, global colour, 0.4). Colours go through the
// hue offset and saturation. Empty for a section outside the tables.
std::vector<TsTextPass> SkinTextPasses(const TsSkinTables* sm, int sectionIndex, int state, bool enabled,
                                       TColor globalInfoColor, int hueOffset, int saturation, UINT format);
// The passes of DrawColoredText: enabled as above (without hue and saturation); disabled, once in
// BlendColors(the section's normal font colour, its normal background colour, 0.4).
std::vector<TsTextPass> ColoredTextPasses(const TsSkinTables* sm, int sectionIndex, int state, bool enabled,
                                          UINT format);
// Unskinned text: enabled once in `fontColor`; disabled embossed, one pixel right and down in the
// button highlight, then in place in the button shadow.
std::vector<TsTextPass> PlainTextPasses(bool enabled, TColor fontColor, UINT format);
// The section a caption takes its colours from: the parent's for owners that name one when the
// own section is see-through in the state, else the own.
int TextColorSection(const TsTextSkinInfo& info, int state);

// ---- painters ------------------------------------------------------------------------------

// Draws the passes with the canvas's font, background transparent, clipped to r; the DC's state
// is put back.
void DrawTextPasses(TCanvas* canvas, const std::string& text, const TRect& r, const std::vector<TsTextPass>& passes);

// The caption of a skinned control: nothing for no text; with a cache bitmap and a glow size in
// the state, the glow first (PaintTextGlow, offset flags 15); then the passes above. Custom fonts
// and unskinned owners get the plain passes in the canvas's font colour.
void DrawSkinText(TCanvas* canvas, const std::string& text, bool enabled, bool hot, const TsTextSkinInfo& info,
                  UINT format, const TRect& r);
void DrawSkinTextSimple(TCanvas* canvas, const std::string& text, bool enabled, bool hot, const TsTextSkinInfo& info,
                        UINT format, const TRect& r);
// Text in the colours of a section by index (the plain passes without a skinned section).
void DrawColoredText(TCanvas* canvas, const std::string& text, bool enabled, TsSkinManager* manager, int state,
                     int sectionIndex, UINT format, const TRect& r);
void DrawColoredTextSimple(TCanvas* canvas, const std::string& text, bool enabled, TsSkinManager* manager,
                           int state, int sectionIndex, UINT format, const TRect& r);
void DrawColoredText(TCanvas* canvas, const std::string& text, bool enabled, const TsSkinTables* sm, int state,
                     int sectionIndex, UINT format, const TRect& r);
// Text into a 32-bit bitmap through DrawTextWithEffect: the contour copies when asked, then the
// main colour of the hot state when hot and the section has one (state count above 0), else of
// the normal state; without a valid section, once in the canvas's font colour.
void DrawSectionText(TBitmap* bitmap, const std::string& text, bool withOffsets, const TsSkinTables* sm, bool hot,
                     int sectionIndex, UINT format, const TRect& r);
