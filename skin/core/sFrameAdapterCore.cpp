#include "skin/core/sFrameAdapterCore.h"

#include <cstdint>

#include "skin/core/sCommonDataCore.h"
#include "skin/core/sConst.h"

TColor FrameQueryColor(const TsFrameColorQuery& q) {
  if (!q.HasSkin) return q.OwnColor;
  if (q.NeedsOwnBackground) return sKeyColor;
  if (q.Transparency == 0) return q.SectionColor;
  const TColor parent = !q.HasParent ? q.OwnColor : q.ParentAnswer == sKeyColor ? q.ParentColor : q.ParentAnswer;
  if (q.Transparency >= 100) return parent;
  const TColor alpha = static_cast<TColor>(static_cast<std::uint32_t>(parent) & 0xFF000000u);
  return MixSectionColor(q.SectionColor, parent, q.Transparency) | alpha;
}
