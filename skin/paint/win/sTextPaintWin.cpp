// Text, glow, shadow and small glyphs through GDI (see sTextPaintWin.h).
#include "skin/paint/win/sTextPaintWin.h"

#include <array>

#include "framework/win/WinTypes.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

// Draws text in black with `font`, background transparent, into a DC; the DC's state is put back.
void DrawBlackText(HDC dc, TFont* font, const std::string& text, TRect r, UINT format) {
  TSaveDC saved(dc);
  if (font != nullptr) ::SelectObject(dc, font->GetHandle());
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkMode(dc, TRANSPARENT);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rc, format);
}

// A new 8-bit bitmap whose colour table is the grey ramp, so that an index is its grey level.
std::unique_ptr<TBitmap> CreateGreyMask(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf8bit);
  b->SetSize(w, h);
  std::array<PALETTEENTRY, 256> ramp{};
  for (int i = 0; i < 256; ++i) {
    const BYTE v = static_cast<BYTE>(i);
    ramp[static_cast<std::size_t>(i)] = PALETTEENTRY{v, v, v, 0};
  }
  b->SetPalette(MakePalette(ramp).Release());
  return b;
}

}  // namespace

// ---- text into 32-bit bitmaps --------------------------------------------------------------

void DrawTextWithEffect(TBitmap* bitmap, const std::string& text, TColor color, UINT format, const TRect& r) {
  if (bitmap == nullptr || text.empty() || r.IsEmpty() || !SaneRect(r)) return;
  const TlxPixelBuffer target = TargetPixels32(bitmap);
  if (target.Empty() || static_cast<long long>(r.Width()) * r.Height() > lxMaxWorkPixels) return;
  auto temp = CreateBitmap32(r.Width(), r.Height());
  const HDC dc = temp->Canvas()->GetHandle();
  const TlxPixelBuffer tv = BitmapPixels(temp.get());
  for (int y = 0; y < tv.Height; ++y) FillDWords(tv.Row(y), tv.Width, 0x00FFFFFFu);
  DrawBlackText(dc, bitmap->Canvas()->Font(), text, TRect{0, 0, r.Width(), r.Height()}, format);
  ::GdiFlush();
  ComposeInk(TargetPixels32(bitmap), tv, TPoint{r.Left, r.Top}, ColorToRGB(color));
}

void PaintTextGlow(TBitmap* target, const std::string& text, const TRect& r, std::unique_ptr<TBitmap>& mask,
                   TColor glowColor, int glowSize, int offsetFlags, UINT format) {
  if (target == nullptr || text.empty()) return;
  const TlxGlowPlan plan = GlowPlan(r, glowSize);
  if (!plan.Draw) return;
  if (!mask || !GlowMaskFits(BitmapPixels(mask.get()), plan)) {
    mask = CreateGreyMask(plan.Area.Width(), plan.Area.Height());
    const HDC dc = mask->Canvas()->GetHandle();
    const TlxPixelBuffer mv = BitmapPixels(mask.get());
    TFont* font = target->Canvas()->Font();
    BuildGlowMask(mv, plan, glowSize, offsetFlags, [&](TPoint at) {
      DrawBlackText(dc, font, text, TRect{at.X, at.Y, at.X + r.Width(), at.Y + r.Height()}, format);
      ::GdiFlush();
    });
  }
  ComposeGlow(TargetPixels32(target), BitmapPixels(mask.get()), TPoint{plan.Area.Left, plan.Area.Top},
              ColorToRGB(glowColor));
}

void DrawSoftShadow(TBitmap* bitmap, const TRect& r, int transparency, int radius, int blur, TColor color) {
  if (bitmap == nullptr) return;
  ::GdiFlush();
  DrawSoftShadow(TargetPixels32(bitmap), r, transparency, radius, blur, ColorToRGB(color));
}

// ---- measuring -----------------------------------------------------------------------------

int TextWidthOf(TCanvas* canvas, const std::string& text) { return canvas ? canvas->TextWidth(text) : 0; }
TSize TextExtentOf(TCanvas* canvas, const std::string& text) { return canvas ? canvas->TextExtent(text) : TSize{}; }
void TextRectOf(TCanvas* canvas, const TRect& r, int x, int y, const std::string& text) {
  if (canvas) canvas->TextRect(r, x, y, text);
}

TSize TextExtentStr(HDC dc, const std::string& text) {
  SIZE s{0, 0};
  if (dc) ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &s);
  return TSize{s.cx, s.cy};
}

int DrawTextStr(HDC dc, const std::string& text, TRect& r, UINT format) {
  if (!dc) return 0;
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  const int h = ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rc, format);
  r = TRect{rc.left, rc.top, rc.right, rc.bottom};
  return h;
}

int FontHeightOf(TFont* font) {
  if (font == nullptr) return 0;
  TWindowDC screen(nullptr);
  TEXTMETRICA tm{};
  TSelectObject sel(screen.Get(), font->GetHandle());
  return ::GetTextMetricsA(screen.Get(), &tm) ? tm.tmHeight : 0;
}

std::string ShortenText(TCanvas* canvas, const std::string& text, int width) {
  if (canvas == nullptr) return "";
  return ShortenText(text, width, [canvas](const std::string& s) { return canvas->TextWidth(s); });
}

// ---- small glyphs --------------------------------------------------------------------------

void DrawSmallArrow(TCanvas* canvas, TColor color, const TRect& r, int direction) {
  if (canvas == nullptr) return;
  const HDC dc = canvas->GetHandle();
  for (const TlxPixelRun& run : SmallArrowRuns(r, direction))
    FillDCRect(dc, run.Vertical ? TRect{run.X, run.Y, run.X + 1, run.Y + run.Length}
                                : TRect{run.X, run.Y, run.X + run.Length, run.Y + 1},
               color);
}

void DrawFocusFrame(HDC dc, const TRect& r, TColor topLeftColor, int count, TColor bottomRightColor) {
  if (!dc || !SaneRect(r)) return;
  TOwnedPen first(::CreatePen(PS_SOLID, 1, SkinColorToRGB(topLeftColor)));
  TOwnedPen second(::CreatePen(PS_SOLID, 1, SkinColorToRGB(bottomRightColor)));
  if (!first || !second) return;
  TSaveDC saved(dc);
  TRect f = r;   // a copy: the caller's rectangle stays as it was
  for (int i = 0; i < count && f.Width() > 0 && f.Height() > 0; ++i) {
    const POINT tl[3] = {{f.Left, f.Bottom - 1}, {f.Left, f.Top}, {f.Right - 1, f.Top}};
    const POINT br[3] = {{f.Right - 1, f.Top}, {f.Right - 1, f.Bottom - 1}, {f.Left - 1, f.Bottom - 1}};
    ::SelectObject(dc, first.Get());
    ::Polyline(dc, tl, 3);
    ::SelectObject(dc, second.Get());
    ::Polyline(dc, br, 3);
    f = TRect{f.Left + 1, f.Top + 1, f.Right - 1, f.Bottom - 1};
  }
}

void DrawDottedFrame(TCanvas* canvas, const TRect& inclusive, TColor a, TColor b) {
  if (canvas == nullptr) return;
  const HDC dc = canvas->GetHandle();
  const COLORREF ca = SkinColorToRGB(a), cb = SkinColorToRGB(b);
  RECT box{};
  if (::GetClipBox(dc, &box) == ERROR) return;
  for (const TlxFramePixel& p : DottedFramePixels(inclusive, ToTRect(box))) ::SetPixelV(dc, p.X, p.Y, p.IsB ? cb : ca);
}

// ---- glyph strips and frame pieces ---------------------------------------------------------

void PaintGlyphState(TBitmap* glyph, TBitmap* dst, const TRect& r, int stateIndex, int blendPercent, int kind,
                     int disabledKinds, bool useStates, int count, bool lowColor) {
  if (glyph == nullptr || glyph->Empty() || dst == nullptr || count < 1) return;
  TlxGlyphState s;
  s.StateIndex = stateIndex;
  s.BlendPercent = blendPercent;
  s.Kind = kind;
  s.DisabledKinds = disabledKinds;
  s.UseStates = useStates;
  s.Count = count;
  s.LowColor = lowColor || glyph->GetPixelFormat() == TPixelFormat::pf4bit;
  std::unique_ptr<TBitmap> copy;
  TBitmap* strip = glyph;
  if (glyph->GetPixelFormat() != TPixelFormat::pf32bit) {
    // Any other format is drawn into a 32-bit copy (palettes and bit fields resolved by GDI).
    copy = CreateBitmap32(glyph->GetWidth(), glyph->GetHeight());
    ::BitBlt(copy->Canvas()->GetHandle(), 0, 0, glyph->GetWidth(), glyph->GetHeight(), glyph->Canvas()->GetHandle(), 0,
             0, SRCCOPY);
    strip = copy.get();
  }
  ::GdiFlush();
  PaintGlyphState(BitmapPixels(strip), TargetPixels32(dst), TPoint{r.Left, r.Top}, s);
}

void StretchPiece(TBitmap* dst, TBitmap* src, const TRect& dstRect, const TRect& srcRect, const TlxStretchSpec& layout) {
  if (dst == nullptr || src == nullptr || dst->Empty() || src->Empty() || dst == src) return;
  const HDC d = dst->Canvas()->GetHandle();
  const HDC s = src->Canvas()->GetHandle();
  TSaveDC saved(d);
  ::SetStretchBltMode(d, COLORONCOLOR);
  for (const TlxBlit& b : StretchPiecePlan(dstRect, srcRect, layout, TRect{0, 0, dst->GetWidth(), dst->GetHeight()})) {
    if (b.Dst.Width() == b.Src.Width() && b.Dst.Height() == b.Src.Height())
      ::BitBlt(d, b.Dst.Left, b.Dst.Top, b.Dst.Width(), b.Dst.Height(), s, b.Src.Left, b.Src.Top, SRCCOPY);
    else
      ::StretchBlt(d, b.Dst.Left, b.Dst.Top, b.Dst.Width(), b.Dst.Height(), s, b.Src.Left, b.Src.Top, b.Src.Width(),
                   b.Src.Height(), SRCCOPY);
  }
}

void CopyChannel(TBitmap* image, TBitmap* mask, int channel, bool toMask) {
  if (image == nullptr || mask == nullptr) return;
  ::GdiFlush();
  CopyChannel(BitmapPixels(image), BitmapPixels(mask), channel, toMask);
}
