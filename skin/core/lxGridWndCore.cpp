// The grid adapters' colour plan (see lxGridWndCore.h).
#include "skin/core/lxGridWndCore.h"

#include "skin/paint/sColorMath.h"

namespace {

constexpr TColor Black = 0x000000, White = 0xFFFFFF;

}   // namespace

std::vector<TlxGridColorEntry> GridColorPlan(const TlxGridSkinColors& c, bool hasControlLook) {
  const TColor titleStart = BlendColors(c.Fixed, c.Hot, 0.5);
  const TColor dataLine = BlendColors(c.Hot, c.EditFont, 0.8);
  std::vector<TlxGridColorEntry> plan = {{"FixedColor", c.Fixed}, {"TitleFont.Color", c.FixedFont}};
  if (hasControlLook) {
    plan.insert(plan.end(), {
        {"FixedFont.Color", c.FixedFont},
        {"GridFixedLineColor", c.Border},
        {"GridLineColor", BlendColors(c.Hot, c.EditFont, 0.7)},
        {"ControlLook.FixedGradientFrom", titleStart},
        {"ControlLook.FixedGradientTo", c.Fixed},
        {"ControlLook.FixedGradientMirrorFrom", BlendColors(c.Fixed, Black, 0.95)},
        {"ControlLook.FixedGradientMirrorTo", BlendColors(c.Fixed, White, 0.9)},
        {"ControlLook.SelectionColor", c.Selection},
        {"ControlLook.SelectionTextColor", c.SelectionFont},
    });
  }
  plan.insert(plan.end(), {
      {"GridStyle.Title.StartColor", titleStart},
      {"GridStyle.Title.EndColor", c.Fixed},
      {"LineColors.FixedColor", c.Border},
      {"LineColors.DataColor", dataLine},
      {"LineColors.ShadowColor", dataLine},
      {"FooterColor", c.Constant},
      {"FooterCellColor", c.Constant},
      {"TitleColor", c.Constant},
      {"IndicatorIconColor", c.SectionFont},
  });
  return plan;
}

std::vector<std::string> SplitPropPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  for (;;) {
    const auto dot = path.find('.', start);
    parts.push_back(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
    if (dot == std::string::npos) return parts;
    start = dot + 1;
  }
}
