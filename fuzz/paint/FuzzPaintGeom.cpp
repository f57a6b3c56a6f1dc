// Fuzz target of the painting geometry: the first byte picks a routine, the following bytes
// give buffer sizes and layouts, rectangles, offsets, states, modes and the pixels. Every
// routine must stay inside its buffers (sanitizer and row guards), and every fast path must
// produce exactly what its reference produces (frames, resampling, blur, hue and saturation,
// alpha copies).
#include <cstdint>
#include <cstdlib>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sBlur.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sSectionFill.h"
#include "skin/paint/sSmoothStretch.h"
#include "skin/paint/sTextures.h"

using paintfuzz::TGuardedImage;
using paintfuzz::TReader;

namespace {

void Same(const TGuardedImage& a, const TGuardedImage& b) {
  a.CheckGuards();
  b.CheckGuards();
  if (!(a == b)) std::abort();
}

void FuzzMaskFrame(TReader& r) {
  TGuardedImage img(r.Small(1, 40), r.Small(1, 40), r.U8() & 1, r);
  TGuardedImage dst(r.Small(1, 48), r.Small(1, 48), r.U8() & 1, r);
  TGuardedImage parent(r.Small(1, 20), r.Small(1, 20), false, r);
  const TlxMaskImage m = paintfuzz::ReadMaskImage(r, img.View());
  const TlxBackgroundView bg = (r.U8() & 1) ? TlxBackgroundView{&parent.View(), r.Coord(), r.Coord(), clKeyColor}
                                            : TlxBackgroundView{nullptr, 0, 0, static_cast<TColor>(r.U8() << 16 | r.U8())};
  const TRect dr = r.Rect();
  const int state = r.Small(-1, 6);
  const bool fill = r.U8() & 1;
  TGuardedImage ref(dst);
  PaintMaskFrameRef(ref.View(), dr, fill, state, m, bg);
  PaintMaskFrameFast(dst.View(), dr, fill, state, m, bg);
  Same(ref, dst);
  TlxMaskLayout lay;
  if (MaskFrameLayout(dr, state, m, lay)) {
    // Pieces tile the rectangle without overlap: their areas add up to at most its area.
    long long area = 0;
    for (const TlxMaskPiece& p : lay.Pieces) area += static_cast<long long>(std::max(p.Dst.Width(), 0)) * std::max(p.Dst.Height(), 0);
    if (area > static_cast<long long>(dr.Width()) * dr.Height()) std::abort();
  }
  DrawMaskState(dst.View(), TPoint{r.Coord(), r.Coord()}, state, bg, m, r.Small(0, 2));
  dst.CheckGuards();
  img.CheckGuards();
}

void FuzzStretch(TReader& r) {
  const int bpp = (r.U8() & 1) ? 4 : 3;
  TGuardedImage src(r.Small(0, 24), r.Small(0, 24), r.U8() & 1, r, bpp);
  int nw = r.Small(-1, 40), nh = r.Small(-1, 40);
  const int f = r.Small(0, 7);
  // Exact halvings now and then (their own fast path for two of the filters).
  if (r.U8() & 1) {
    nw = src.View().Width / 2;
    nh = src.View().Height / 2;
  }
  TlxImageBuffer a, b;
  try {
    SmoothStretchRef(src.View(), a, nw, nh, f);
  } catch (const Exception&) {
    return;
  }
  SmoothStretchFast(src.View(), b, nw, nh, f);
  const TlxPixelBuffer &va = a.View(), &vb = b.View();
  if (va.Width != vb.Width || va.Height != vb.Height) std::abort();
  for (int y = 0; y < va.Height; ++y)
    if (std::memcmp(va.Row(y), vb.Row(y), static_cast<std::size_t>(va.Width) * bpp) != 0) std::abort();
  src.CheckGuards();
}

// The 8-bit blur and the colour transforms of whole bitmaps, fast against reference.
void FuzzBlurAndColours(TReader& r) {
  const bool blur = r.U8() & 1;
  TGuardedImage img(r.Small(0, 40), r.Small(0, 30), r.U8() & 1, r, blur ? 1 : 4);
  // Runs of one colour, as skin images have them, now and then.
  if (const int run = r.Small(0, 9); run > 1 && !blur)
    for (int y = 0; y < img.View().Height; ++y)
      for (int x = 0; x < img.View().Width; ++x) SetPix(img.View(), x, y, GetPix(img.View(), x - x % run, y));
  TGuardedImage a(img), b(img);
  if (blur) {
    const double sigma = r.Small(0, 200) / 10.0;
    GaussianBlur8Ref(a.View(), sigma);
    GaussianBlur8Fast(b.View(), sigma, (r.U8() & 1) ? TlxLanes::Widest : TlxLanes::Sse2);
  } else if (r.U8() & 1) {
    const int off = (r.U8() & 1) ? r.Coord() : r.Small(-400, 400);
    HueShiftBitmapRef(a.View(), off);
    HueShiftBitmapFast(b.View(), off, (r.U8() & 1) ? TlxLanes::Widest : TlxLanes::Sse2);
  } else {
    const int amount = (r.U8() & 1) ? r.Coord() : r.Small(-150, 300);
    SaturateBitmapRef(a.View(), amount);
    SaturateBitmapFast(b.View(), amount);
  }
  Same(a, b);
}

void FuzzCopies(TReader& r, int op) {
  TGuardedImage src(r.Small(0, 24), r.Small(0, 24), r.U8() & 1, r);
  TGuardedImage dst(r.Small(0, 24), r.Small(0, 24), r.U8() & 1, r);
  TGuardedImage parent(r.Small(1, 20), r.Small(1, 20), false, r);
  const TlxBackgroundView bg = (r.U8() & 1) ? TlxBackgroundView{&parent.View(), r.Coord(), r.Coord(), clKeyColor}
                                            : TlxBackgroundView{nullptr, 0, 0, static_cast<TColor>(r.U8() | r.U8() << 16)};
  const TRect dr = r.Rect(), sr = r.Rect();
  const bool flag = r.U8() & 1;
  TGuardedImage a(dst), b(dst);
  switch (op) {
    case 0: {
      const Byte alpha = r.U8();
      const TPoint pt{r.Coord(), r.Coord()};
      BlendBitmapPart(a.View(), src.View(), alpha, pt, sr);
      a.CheckGuards();
      break;
    }
    case 1: {
      const bool refl = r.U8() & 1;
      const int blend = r.Small(0, 120);
      const TColor tint = (r.U8() & 1) ? clNoneTint : static_cast<TColor>(r.U8() << 8 | r.U8());
      CopyWithAlphaRef(dr, sr, a.View(), refl, blend, tint, flag, bg, src.View());
      CopyWithAlphaFast(dr, sr, b.View(), refl, blend, tint, flag, bg, src.View());
      Same(a, b);
      break;
    }
    case 2: {
      const int x = r.Coord(), y = r.Coord();
      CopyBitmapKeyedRef(a.View(), src.View(), x, clKeyColor, y);
      CopyBitmapKeyedFast(b.View(), src.View(), x, clKeyColor, y);
      Same(a, b);
      break;
    }
    case 3:
      CopyMaskPiece(dr, sr, a.View(), r.Small(-1, 30), flag, bg, src.View());
      a.CheckGuards();
      break;
    default:
      CopyBitmapRectRef(dr, sr, a.View(), flag, bg, src.View());
      CopyBitmapRectFast(dr, sr, b.View(), flag, bg, src.View());
      Same(a, b);
      break;
  }
  src.CheckGuards();
}

// Texture modes, banded textures and section fills over colour and bitmap backgrounds.
void FuzzSectionFill(TReader& r) {
  TGuardedImage img(r.Small(1, 16), r.Small(1, 16), r.U8() & 1, r);
  TGuardedImage dst(r.Small(1, 32), r.Small(1, 32), r.U8() & 1, r);
  TGuardedImage parent(r.Small(1, 20), r.Small(1, 20), false, r);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = r.Rect();
  m.ImageCount = r.Small(-1, 3);
  m.MaskType = r.Small(-1, 2);
  m.DrawMode = r.Small(0, 12);
  const TlxBackgroundView bg = (r.U8() & 1) ? TlxBackgroundView{&parent.View(), r.Coord(), r.Coord(), clKeyColor}
                                            : TlxBackgroundView{nullptr, 0, 0, static_cast<TColor>(r.U8() | r.U8() << 16)};
  TRect rect = r.Rect();
  switch (r.U8() % 3) {
    case 0:
      PaintTextureByMode(dst.View(), rect, (r.U8() & 1) ? &img.View() : nullptr, m.DrawMode, m);
      break;
    case 1:
      FillSectionRect(dst.View(), rect, bg, m.DrawMode, m);
      break;
    default: {
      TlxSectionState s;
      s.Color = static_cast<TColor>(r.U8() << 8 | r.U8());
      s.Transparency = r.Small(-10, 110);
      s.GradientPercent = r.Small(-10, 110);
      s.ImagePercent = r.Small(-10, 110);
      s.Gradient.push_back(TsGradientStop{r.U8(), r.U8() << 16, r.Small(0, 100), r.Small(0, 3)});
      if (r.U8() & 1) s.Texture = &m;
      if (r.U8() & 1) s.Overlay = &m;
      PaintSectionFill(dst.View(), rect, s, bg, TPoint{r.Coord(), r.Coord()});
      break;
    }
  }
  dst.CheckGuards();
  img.CheckGuards();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TReader r(data, size);
  const int op = r.U8() % 9;
  if (op == 0) FuzzMaskFrame(r);
  else if (op == 1) FuzzStretch(r);
  else if (op == 7) FuzzSectionFill(r);
  else if (op == 8) FuzzBlurAndColours(r);
  else FuzzCopies(r, op - 2);
  return 0;
}
