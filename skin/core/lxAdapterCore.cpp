// The window-free parts of the edit, static, link and size-grip adapters (see lxAdapterCore.h).
#include "skin/core/lxAdapterCore.h"

#include <algorithm>
#include <cctype>

unsigned StaticTextFormat(std::uint32_t style, std::uint32_t exStyle, bool rightToLeft) {
  unsigned format = lxDT_WORDBREAK | lxDT_EXPANDTABS | lxDT_NOCLIP;
  if ((style & lxSS_NOPREFIX) != 0) format |= lxDT_NOPREFIX;
  if ((exStyle & lxWS_EX_RIGHT) != 0) format |= lxDT_RIGHT;
  if (rightToLeft) format |= lxDT_RTLREADING;
  return format;
}

namespace {

bool IsAnchorTag(const std::string& s, std::size_t at, std::size_t& end) {
  std::size_t i = at + 1;
  if (i < s.size() && s[i] == '/') ++i;
  if (i >= s.size() || std::toupper(static_cast<unsigned char>(s[i])) != 'A') return false;
  ++i;
  // "<a>" or "<a" followed by its attributes; "<abbr>" is no anchor.
  if (i >= s.size() || (s[i] != '>' && std::isspace(static_cast<unsigned char>(s[i])) == 0)) return false;
  end = s.find('>', i);
  return end != std::string::npos;
}

}  // namespace

std::string StripLinkTags(const std::string& caption) {
  std::string out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    std::size_t end = 0;
    if (caption[i] == '<' && IsAnchorTag(caption, i, end)) {
      i = end;
      continue;
    }
    out += caption[i];
  }
  return out;
}

TPoint SizeGripOrigin(int width, int height, int maskWidth, int maskHeight, int imageCount, int stateCount) {
  const int imageWidth = maskWidth / std::max(imageCount, 1);
  const int imageHeight = maskHeight / std::max(stateCount + 1, 1);
  return TPoint{std::max(width - imageWidth, 0), std::max(height - imageHeight, 0)};
}

void FillTransparentCornerPixels(const TlxPixelBuffer& cache, const TlxMaskImage& mask, int state,
                                 const TlxBackgroundView& bg) {
  if (cache.Empty() || cache.BytesPerPixel != 4 || mask.Image.Empty() || mask.Image.BytesPerPixel != 4) return;
  const int fw = MaskFrameWidth(mask), fh = MaskFrameHeight(mask);
  if (fw <= 0 || fh <= 0) return;
  const bool bitmap = bg.HasBitmap();
  const std::uint32_t rgb = static_cast<std::uint32_t>(bg.Color) & 0xFFFFFFu;
  if (!bitmap && rgb == clKeyColor) return;
  const std::uint32_t colour = SwapRB(rgb) | 0xFF000000u;
  const int frameLeft = mask.SrcRect.Left + fw * std::clamp(state, 0, std::max(mask.ImageCount - 1, 0));
  const int frameTop = mask.SrcRect.Top;
  struct TCorner {
    int W, H, SrcX, SrcY, DstX, DstY;
  };
  const TCorner corners[4] = {
      {mask.WL, mask.WT, frameLeft, frameTop, 0, 0},
      {mask.WR, mask.WT, frameLeft + fw - mask.WR, frameTop, cache.Width - mask.WR, 0},
      {mask.WL, mask.WB, frameLeft, frameTop + fh - mask.WB, 0, cache.Height - mask.WB},
      {mask.WR, mask.WB, frameLeft + fw - mask.WR, frameTop + fh - mask.WB, cache.Width - mask.WR,
       cache.Height - mask.WB},
  };
  for (const TCorner& c : corners) {
    // A corner larger than the cache starts left of or above it, or reaches past it.
    const int left = std::max(c.DstX, 0), top = std::max(c.DstY, 0);
    const int right = std::min(c.DstX + c.W, cache.Width), bottom = std::min(c.DstY + c.H, cache.Height);
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        const int sx = c.SrcX + x - c.DstX, sy = c.SrcY + y - c.DstY;
        if (!mask.Image.Contains(sx, sy) || (GetPix(mask.Image, sx, sy) & 0xFFFFFFu) != 0xFF00FFu) continue;
        if (!bitmap) {
          SetPix(cache, x, y, colour);
        } else if (bg.Bitmap->Contains(bg.X + x, bg.Y + y)) {
          SetPix(cache, x, y, GetPix(*bg.Bitmap, bg.X + x, bg.Y + y) | 0xFF000000u);
        }
      }
    }
  }
}
