// Captions in their section's colours (see sSkinText.h).
#include "skin/core/win/sSkinText.h"

#include "framework/win/WinTypes.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/win/sTextPaintWin.h"

namespace {

constexpr TColor NoContour = -1;
// The embossed look of unskinned disabled text: the button highlight, then the button shadow, as
// system colour values (ColorToRGB resolves them when drawing).
constexpr TColor EmbossLight = static_cast<TColor>(0xFF000000u | COLOR_BTNHIGHLIGHT);
constexpr TColor EmbossDark = static_cast<TColor>(0xFF000000u | COLOR_BTNSHADOW);
// Left, up, right, down: the order of the contour colours 1 .. 4 of a state.
constexpr TPoint ContourShift[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};

const TsGenState& StateOf(const TsSkinTables* sm, int sectionIndex, int state) {
  return sm->GeneralData[static_cast<std::size_t>(sectionIndex)].Props[state == 1 ? 1 : 0];
}

// Contours then the main colour; the last pass draws without clipping.
std::vector<TsTextPass> ContourPasses(const TsGenState& st, int hueOffset, int saturation, UINT format) {
  auto tone = [&](TColor c) { return ApplyColorSaturation(ApplyHueOffset(hueOffset, c), saturation); };
  std::vector<TsTextPass> out;
  for (int i = 0; i < 4; ++i)
    if (st.FontColor[i + 1] != NoContour)
      out.push_back(TsTextPass{ContourShift[i].X, ContourShift[i].Y, tone(st.FontColor[i + 1]), format});
  out.push_back(TsTextPass{0, 0, tone(st.FontColor[0]), format | DT_NOCLIP});
  return out;
}

}  // namespace

TsTextSkinInfo TextSkinInfoOf(TsSkinManager* manager, int sectionIndex) {
  TsTextSkinInfo info;
  info.SectionIndex = sectionIndex;
  if (manager != nullptr && manager->GetActive()) {
    info.Tables = manager->Tables();
    info.GlobalInfoColor = manager->GlobalInfoColor();
  }
  return info;
}

// ---- plans ---------------------------------------------------------------------------------

std::vector<TsTextPass> SkinTextPasses(const TsSkinTables* sm, int sectionIndex, int state, bool enabled,
                                       TColor globalInfoColor, int hueOffset, int saturation, UINT format) {
  if (!SectionIndexInRange(sm, sectionIndex)) return {};
  const TsGenState& st = StateOf(sm, sectionIndex, state);
  if (enabled) return ContourPasses(st, hueOffset, saturation, format);
  const TColor c = BlendColors(st.FontColor[0], globalInfoColor, 0.4);
  return {TsTextPass{0, 0, ApplyColorSaturation(ApplyHueOffset(hueOffset, c), saturation), format | DT_NOCLIP}};
}

std::vector<TsTextPass> ColoredTextPasses(const TsSkinTables* sm, int sectionIndex, int state, bool enabled,
                                          UINT format) {
  if (!SectionIndexInRange(sm, sectionIndex)) return {};
  if (enabled) return ContourPasses(StateOf(sm, sectionIndex, state), 0, 0, format);
  const TsGenState& normal = StateOf(sm, sectionIndex, 0);
  return {TsTextPass{0, 0, BlendColors(normal.FontColor[0], normal.Color, 0.4), format | DT_NOCLIP}};
}

std::vector<TsTextPass> PlainTextPasses(bool enabled, TColor fontColor, UINT format) {
  if (enabled) return {TsTextPass{0, 0, fontColor, format}};
  return {TsTextPass{1, 1, EmbossLight, format}, TsTextPass{0, 0, EmbossDark, format}};
}

int TextColorSection(const TsTextSkinInfo& info, int state) {
  if (SectionIndexInRange(info.Tables, info.SectionIndex) && SectionIndexInRange(info.Tables, info.ParentSectionIndex) &&
      StateOf(info.Tables, info.SectionIndex, state).Transparency > 0)
    return info.ParentSectionIndex;
  return info.SectionIndex;
}

// ---- painters ------------------------------------------------------------------------------

void DrawTextPasses(TCanvas* canvas, const std::string& text, const TRect& r, const std::vector<TsTextPass>& passes) {
  if (canvas == nullptr || text.empty() || passes.empty()) return;
  const HDC dc = canvas->GetHandle();
  TSaveDC saved(dc);
  ::IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  ::SelectObject(dc, canvas->Font()->GetHandle());
  ::SetBkMode(dc, TRANSPARENT);
  for (const TsTextPass& p : passes) {
    ::SetTextColor(dc, ColorToRGB(p.Color));
    RECT rc{r.Left + p.DX, r.Top + p.DY, r.Right + p.DX, r.Bottom + p.DY};
    ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rc, p.Format);
  }
}

void DrawSkinText(TCanvas* canvas, const std::string& text, bool enabled, bool hot, const TsTextSkinInfo& info,
                  UINT format, const TRect& r) {
  if (canvas == nullptr || text.empty()) return;
  const TColor fontColor = canvas->Font()->GetColor();
  if (info.Tables == nullptr || info.CustomFont) {
    DrawTextPasses(canvas, text, r, PlainTextPasses(enabled || info.Tables != nullptr, fontColor, format));
    return;
  }
  const int state = hot ? 1 : 0;
  const int section = TextColorSection(info, state);
  if (!SectionIndexInRange(info.Tables, section)) {
    DrawTextPasses(canvas, text, r, PlainTextPasses(true, fontColor, format));
    return;
  }
  const TsGenState& st = StateOf(info.Tables, section, state);
  if (info.Cache != nullptr && st.GlowSize > 0) {
    std::unique_ptr<TBitmap> local;
    PaintTextGlow(info.Cache, text, r, info.GlowMask ? *info.GlowMask : local, st.GlowColor, st.GlowSize, 15, format);
  }
  DrawTextPasses(canvas, text, r,
                 SkinTextPasses(info.Tables, section, state, enabled, info.GlobalInfoColor, info.HueOffset,
                                info.Saturation, format));
}

void DrawSkinTextSimple(TCanvas* canvas, const std::string& text, bool enabled, bool hot, const TsTextSkinInfo& info,
                        UINT format, const TRect& r) {
  DrawSkinText(canvas, text, enabled, hot, info, format, r);
}

void DrawColoredText(TCanvas* canvas, const std::string& text, bool enabled, const TsSkinTables* sm, int state,
                     int sectionIndex, UINT format, const TRect& r) {
  if (canvas == nullptr) return;
  std::vector<TsTextPass> passes = ColoredTextPasses(sm, sectionIndex, state, enabled, format);
  if (passes.empty()) passes = PlainTextPasses(enabled, canvas->Font()->GetColor(), format);
  DrawTextPasses(canvas, text, r, passes);
}

void DrawColoredText(TCanvas* canvas, const std::string& text, bool enabled, TsSkinManager* manager, int state,
                     int sectionIndex, UINT format, const TRect& r) {
  DrawColoredText(canvas, text, enabled, TextSkinInfoOf(manager, sectionIndex).Tables, state, sectionIndex, format, r);
}

void DrawColoredTextSimple(TCanvas* canvas, const std::string& text, bool enabled, TsSkinManager* manager,
                           int state, int sectionIndex, UINT format, const TRect& r) {
  DrawColoredText(canvas, text, enabled, manager, state, sectionIndex, format, r);
}

void DrawSectionText(TBitmap* bitmap, const std::string& text, bool withOffsets, const TsSkinTables* sm, bool hot,
                     int sectionIndex, UINT format, const TRect& r) {
  if (bitmap == nullptr || text.empty()) return;
  if (!SectionIndexInRange(sm, sectionIndex)) {
    DrawTextWithEffect(bitmap, text, bitmap->Canvas()->Font()->GetColor(), format, r);
    return;
  }
  const int state = hot && sm->GeneralData[static_cast<std::size_t>(sectionIndex)].States > 0 ? 1 : 0;
  for (const TsTextPass& p : ContourPasses(StateOf(sm, sectionIndex, state), 0, 0, format)) {
    if (!withOffsets && (p.DX != 0 || p.DY != 0)) continue;
    DrawTextWithEffect(bitmap, text, p.Color, p.Format,
                       TRect{r.Left + p.DX, r.Top + p.DY, r.Right + p.DX, r.Bottom + p.DY});
  }
}
