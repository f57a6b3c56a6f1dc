// Section fills (see sSectionFill.h).
#include "skin/paint/sSectionFill.h"

#include <algorithm>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/sTextures.h"

static bool NoBackground(const TlxBackgroundView& bg) { return !bg.HasBitmap() && (bg.Color & 0xFFFFFF) == clKeyColor; }

// The gradient, or the plain colour when the state has no gradient data.
static void PaintGradientOrColor(const TlxPixelBuffer& b, const TRect& r, const TlxSectionState& s) {
  if (s.Gradient.empty()) FillRectOpaque(b, r, s.Color);
  else PaintGradient(b, r, s.Gradient, 0);
}

void FillSection(const TlxPixelBuffer& b, const TRect& r, const TlxSectionState& s, const TlxBackgroundView& bg) {
  const TRect k = ClipRectTo(r, b);
  if (k.IsEmpty()) return;
  const int ip = s.ImagePercent, gp = s.GradientPercent;
  const int gMode = s.Gradient.empty() ? -1 : s.Gradient[0].Mode;
  // 1. Gradient and tiled texture in one pass.
  if (ip + gp == 100 && gp > 0 && gp < 100 && s.Texture && s.Texture->DrawMode == 0 && !s.PatternImage &&
      (gMode == gmVertical || gMode == gmHorizontal)) {
    PaintGradientPattern(b, k, s.Gradient, static_cast<Byte>(std::clamp(ip * 255 / 100, 0, 255)), s.Texture->SrcRect,
                         s.Texture->Image);
    return;
  }
  // 2. Texture; what its mode leaves uncovered takes the colour (all of it when no texture was
  // found: a texture share is never a see-through mix of its own).
  bool textured = false;
  if (ip > 0) {
    TRect left = k;
    if (s.PatternImage) PaintTextureByMode(b, left, s.PatternImage, 0, TlxMaskImage{});
    else if (s.Texture && s.Texture->MaskType != 0) FillSectionRect(b, left, bg, s.Texture->DrawMode, *s.Texture);
    else if (s.Texture) PaintTextureByMode(b, left, nullptr, s.Texture->DrawMode, *s.Texture);
    if (!(left == lxNoRect)) FillRectOpaque(b, left, s.Color);
    textured = s.PatternImage || s.Texture;
  }
  // 3. Gradient: over the texture by the texture's share, else directly.
  if (gp > 0) {
    if (textured) {
      TlxImageBuffer tmp(k.Width(), k.Height());
      PaintGradientOrColor(tmp.View(), tmp.View().BoundsRect(), s);
      BlendBitmapPart(b, tmp.View(), static_cast<Byte>(std::clamp(ip * 255 / 100, 0, 255)), TPoint{k.Left, k.Top},
                      tmp.View().BoundsRect());
    } else {
      PaintGradientOrColor(b, k, s);
    }
  }
  // 4. Neither share: the colour, mixed with a known background colour for a see-through state
  // in the same order as the transparent background mix (the background's share is the
  // transparency); the "no colour" key is never mixed in.
  if (ip <= 0 && gp <= 0) {
    TColor c = s.Color;
    if (!bg.HasBitmap() && (bg.Color & 0xFFFFFF) != clKeyColor && s.Transparency != 0 && s.Transparency != 100)
      c = BlendColors(bg.Color, s.Color, s.Transparency / 100.0);
    FillRectOpaque(b, k, c);
  }
  // 5. A partial share keeps that share of texture or gradient; the rest becomes the colour.
  if (ip + gp > 0 && ip + gp < 100) BlendColorIntoRect(b, k, ip + gp, s.Color);
}

// The background under k, with `at` mapping destination coordinates into the background.
static void PaintBackground(const TlxPixelBuffer& b, const TRect& k, const TlxBackgroundView& at) {
  if (at.HasBitmap()) {
    if (at.Bitmap->Bits == b.Bits) return;  // the destination itself already holds it
    CopyPixelRect(b, k.Left, k.Top, *at.Bitmap, TRect{at.X + k.Left, at.Y + k.Top, at.X + k.Right, at.Y + k.Bottom});
  } else {
    FillRectOpaque(b, k, at.Color);
  }
}

void PaintSectionFill(const TlxPixelBuffer& b, const TRect& r, const TlxSectionState& s, const TlxBackgroundView& bg,
                      TPoint pt) {
  const TRect k = ClipRectTo(r, b);
  if (k.IsEmpty() || !SaneRect(r) || !SanePoint(pt) || !SaneCoord(bg.X) || !SaneCoord(bg.Y)) return;
  // Destination (x, y) lies over background (at.X + x, at.Y + y).
  const TlxBackgroundView at{bg.Bitmap, bg.X + pt.X - r.Left, bg.Y + pt.Y - r.Top, bg.Color};
  const int t = s.Transparency;
  const bool share = s.GradientPercent > 0 || s.ImagePercent > 0;
  if (NoBackground(bg) || t == 0) {
    FillSection(b, k, s, at);
  } else if (t >= 100) {
    PaintBackground(b, k, at);
  } else if (bg.HasBitmap() || share) {
    TlxImageBuffer tmp(k.Width(), k.Height());
    FillSection(tmp.View(), tmp.View().BoundsRect(), s, TlxBackgroundView{bg.Bitmap, at.X + k.Left, at.Y + k.Top, bg.Color});
    PaintBackground(b, k, at);
    BlendBitmapPart(b, tmp.View(), static_cast<Byte>(t * 255 / 100), TPoint{k.Left, k.Top}, tmp.View().BoundsRect());
  } else {
    FillRectOpaque(b, k, BlendColors(bg.Color, s.Color, t / 100.0));
  }
  if (s.Overlay && s.Overlay->MaskType > 0 && s.Overlay->DrawMode == 10) {
    TRect left = k;
    FillSectionRect(b, left, at, 10, *s.Overlay);
  }
}
