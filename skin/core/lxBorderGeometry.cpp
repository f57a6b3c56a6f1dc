// The geometry of the extended-border window (see lxBorderGeometry.h).
#include "skin/core/lxBorderGeometry.h"

#include <algorithm>

int ClampSkinFrameSize(long long value) { return static_cast<int>(std::clamp<long long>(value, 0, MaxSkinFrameSize)); }

// A skin size of 0 keeps the system's: the frame image is drawn with the plain frame and the
// owner's caption there, so the owner lies at the shadow's edge.
int FormLeftOffset(int extBorderWidth, int shadowLeft, int plainFrame) {
  return (extBorderWidth > 0 ? extBorderWidth : plainFrame) + shadowLeft - plainFrame;
}

int FormTopOffset(int shadowTop, int extTitleHeight, bool hasCaption, int plainFrame, int captionHeight) {
  const int title = extTitleHeight != 0 ? extTitleHeight : captionHeight;
  return shadowTop + (hasCaption ? title : 0) - plainFrame - captionHeight;
}

// ---- region -------------------------------------------------------------------------------

TlxBorderRegion MakeBorderRegionPlan(const TlxBorderRegionInput& in) {
  TlxBorderRegion r;
  const TRect& s = in.Shadow;
  if (in.Maximized) {
    const int edge = in.PlainFrame + in.ExtraWidth;
    r.Outer = TRect{edge + s.Left, s.Top + 4, in.Width - edge - s.Right, in.Height - edge - s.Bottom};
  }
  if (in.Transient) {
    r.None = !in.Maximized;
    return r;
  }
  if (!in.Maximized) r.Outer = TRect{0, 0, in.Width, in.Height};
  r.HasHole = !in.Content.IsEmpty();
  r.Hole = in.Content;
  return r;
}

// ---- hit testing --------------------------------------------------------------------------

int TitleButtonCode(int number, const TlxTitleButtonFlags& b) {
  if (number < 1) return lxHitNone;
  const int k = b.Provider ? b.SystemCount : std::min(b.SystemCount, 2);
  if (b.Provider && number > k) {
    const int i = number - k - 1;
    if (i >= static_cast<int>(b.UserEnabled.size())) return lxHitNone;
    return b.UserEnabled[static_cast<std::size_t>(i)] ? lxHitUserButton + i : lxHitNone;
  }
  const bool showMax = b.ShowMax;
  const bool showMin = b.Provider && b.ShowMin;
  const bool showHelp = b.Provider && b.ShowHelp;
  switch (number) {
    case 1: return !b.Provider || b.VisibleClose ? lxHitClose : 0;
    case 2:
      if (showMax) return b.EnabledMax || (b.EnabledRestore && !b.Iconic) ? lxHitMaxButton : lxHitCaption;
      if (showMin || b.Iconic) return b.EnabledMin ? lxHitMinButton : lxHitCaption;
      return showHelp ? lxHitHelp : lxHitNone;
    case 3:
      if (showMin || b.Iconic) return !b.Iconic && !b.EnabledMin ? lxHitCaption : lxHitMinButton;
      return showHelp ? lxHitHelp : lxHitNone;
    case 4: return showHelp && showMax ? lxHitHelp : lxHitNone;
    default: return lxHitNone;
  }
}

int BorderFrameHitTest(const TlxBorderHitInput& in) {
  const TPoint p = in.Point;
  const TRect& s = in.Shadow;
  if (!in.Maximized && in.ThickFrame) {
    const bool top = p.Y >= s.Top && p.Y <= s.Top + 4;
    const bool bottom = p.Y >= in.Height - in.PlainFrame - s.Bottom && p.Y <= in.Height - s.Bottom;
    const bool left = p.X >= s.Left && p.X <= in.PlainFrame + s.Left;
    const bool right = p.X >= in.Width - in.PlainFrame - s.Right && p.X <= in.Width - s.Right;
    if (right) return top ? lxHitTopRight : bottom ? lxHitBottomRight : lxHitRight;
    if (left) return top ? lxHitTopLeft : bottom ? lxHitBottomLeft : lxHitLeft;
    if (top) return lxHitTop;
    if (bottom) return lxHitBottom;
  }
  if (p.Y >= 0 && p.Y <= in.CaptionHeight + s.Top) {
    const TRect& i = in.IconRect;
    const bool onIcon = !i.IsEmpty() && p.X >= i.Left && p.X < i.Right && p.Y >= i.Top && p.Y < i.Bottom;
    return onIcon ? lxHitSysMenu : lxHitCaption;
  }
  if (in.MenuHeight > 0 && p.Y <= s.Top + in.CaptionHeight + in.MenuHeight) return lxHitMenu;
  if (in.HasGrip && p.X >= in.GripCorner.X && p.Y >= in.GripCorner.Y) return lxHitBottomRight;
  return lxHitNone;
}

bool PointInShadowBand(TPoint p, int width, int height, const TRect& shadow) {
  return p.Y < shadow.Top || p.Y >= height - shadow.Bottom || p.X < shadow.Left || p.X >= width - shadow.Right;
}

// ---- blur behind --------------------------------------------------------------------------

TlxBlurPlan MakeBlurPlan(const TlxPixelBuffer& image, const TRect& shadow, int cornerSide) {
  TlxBlurPlan plan;
  plan.Rect = TRect{shadow.Left - 1, shadow.Top - 1, image.Width - shadow.Right + 1, image.Height - shadow.Bottom + 1};
  if (image.Empty() || image.BytesPerPixel != 4 || cornerSide <= 0) return plan;
  const TRect& r = plan.Rect;
  const int side = cornerSide;
  const TRect corners[4] = {
      TRect{r.Left, r.Top, r.Left + side, r.Top + side},
      TRect{r.Right - side, r.Top, r.Right, r.Top + side},
      TRect{r.Left, r.Bottom - side, r.Left + side, r.Bottom},
      TRect{r.Right - side, r.Bottom - side, r.Right, r.Bottom},
  };
  for (const TRect& c : corners) {
    // Only what lies in both the image and the blurred rectangle is read.
    const int left = std::max({c.Left, r.Left, 0}), right = std::min({c.Right, r.Right, image.Width});
    const int top = std::max({c.Top, r.Top, 0}), bottom = std::min({c.Bottom, r.Bottom, image.Height});
    for (int y = top; y < bottom; ++y) {
      int x = left;
      while (x < right) {
        if (GetPix(image, x, y) != 0) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < right && GetPix(image, x, y) == 0) ++x;
        plan.Removed.push_back(TRect{start, y, x, y + 1});
      }
    }
  }
  return plan;
}

// ---- frame image --------------------------------------------------------------------------

void OpaqueFramePixels(const TlxPixelBuffer& image, const TRect& rect) {
  if (image.Empty() || image.BytesPerPixel != 4) return;
  const int left = std::max(rect.Left, 0), right = std::min(rect.Right, image.Width);
  const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, image.Height);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const std::uint32_t v = GetPix(image, x, y);
      SetPix(image, x, y, (v & 0xFFFFFFu) == 0xFF00FFu ? 0u : (v | 0xFF000000u));
    }
}

void BlendFrameOver(const TlxPixelBuffer& dst, const TlxPixelBuffer& src) {
  if (dst.Empty() || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4 || dst.Width != src.Width ||
      dst.Height != src.Height)
    return;
  for (int y = 0; y < dst.Height; ++y)
    for (int x = 0; x < dst.Width; ++x) {
      const std::uint32_t s = GetPix(src, x, y);
      const std::uint32_t sa = s >> 24;
      if (sa == 0) continue;
      const std::uint32_t d = GetPix(dst, x, y);
      const std::uint32_t da = d >> 24;
      if (sa == 255 || da == 0) {
        SetPix(dst, x, y, s);
        continue;
      }
      // out = s * sa + d * da * (1 - sa), divided by the resulting alpha.
      const std::uint32_t dw = da * (255 - sa);   // the destination's weight, scaled by 255
      const std::uint32_t total = sa * 255 + dw;  // the resulting alpha, scaled by 255
      std::uint32_t out = ((total + 127) / 255) << 24;
      for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t c = (((s >> shift) & 0xFF) * sa * 255 + ((d >> shift) & 0xFF) * dw + total / 2) / total;
        out |= std::min<std::uint32_t>(c, 255) << shift;
      }
      SetPix(dst, x, y, out);
    }
}

TRect FrameMaskPieces(const TlxFrameMaskInput& in) {
  const int o = in.ContentOffset;
  TRect r = in.HasMask ? in.MaskWidths
                       : TRect{in.Shadow.Left + o, in.Shadow.Top + o, in.Shadow.Right + o, in.Shadow.Bottom + o};
  if (in.DrawMode1) r.Top = std::min(r.Top, in.TitleLimit);
  const int cx = std::max((in.TemplateWidth - 1) / 2, 0), cy = std::max((in.TemplateHeight - 1) / 2, 0);
  return TRect{std::clamp(r.Left, 0, cx), std::clamp(r.Top, 0, cy), std::clamp(r.Right, 0, cx), std::clamp(r.Bottom, 0, cy)};
}
