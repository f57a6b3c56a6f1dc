// Fuzz target of the button geometry: the bytes give a button (sizes, margins, style,
// alignment, image size and indexes), a tool button and a bitmap-button glyph. Nothing may
// overflow or divide by zero, and the answers keep their invariants: a state is 0, 1 or 2, a
// state image is one of the button's indexes, a glyph rectangle has the image's size, and the
// pressed places are the normal ones moved by (1, 1).
#include <cstdint>
#include <cstdlib>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/core/sButtonCore.h"

using paintfuzz::TReader;

namespace {

bool Shifted(const TRect& a, const TRect& b) {
  return b.Left == a.Left + 1 && b.Top == a.Top + 1 && b.Right == a.Right + 1 && b.Bottom == a.Bottom + 1;
}

void FuzzButton(TReader& r) {
  TsButtonStateInput s;
  const std::uint8_t f = r.U8();
  s.Pushed = f & 1;
  s.MouseInside = f & 2;
  s.LeftHeldHere = f & 4;
  s.Down = f & 8;
  s.DroppedDown = f & 16;
  s.FocusedOrDefault = f & 32;
  s.ActiveState = f & 64;
  s.DesignDefault = f & 128;
  s.StyleType = r.Small(0, 15);
  const int state = ButtonCurrentState(s);
  if (state < 0 || state > 2) std::abort();

  TsButtonImages im;
  im.HasList = r.U8() & 1;
  im.Count = r.Coord();
  for (int* i : {&im.ImageIndex, &im.HotImageIndex, &im.PressedImageIndex, &im.SelectedImageIndex,
                 &im.DisabledImageIndex})
    *i = r.Coord();
  const int index = ButtonCurrentImageIndex(im, r.U8() & 1, state, r.U8() & 1);
  if (index != im.ImageIndex && (index < 0 || index >= im.Count)) std::abort();

  TsButtonLayout b;
  b.Width = r.Coord();
  b.Height = r.Coord();
  b.Style = static_cast<TButtonStyle>(r.Small(0, 2));
  b.ContentMargin = r.Coord();
  b.Alignment = static_cast<TImageAlignment>(r.Small(0, 4));
  b.Margins = TRect{r.Coord(), r.Coord(), r.Coord(), r.Coord()};
  b.HasGlyph = im.HasGlyph();
  b.ImageWidth = r.Coord();
  b.ImageHeight = r.Coord();
  const int tw = r.Coord(), th = r.Coord();
  const TRect g = ButtonGlyphRect(b), t = ButtonTextRect(b, tw, th);
  (void)ButtonCaptionMeasureWidth(b);
  (void)ButtonHintMeasureWidth(b);
  (void)ButtonGlyphSizeWithMargins(b);
  if (b.HasGlyph && b.ImageWidth >= 0 && b.ImageWidth < (1 << 24) && g.Width() != b.ImageWidth) std::abort();
  if (!b.HasGlyph && !(g == TRect{})) std::abort();
  b.Pressed = true;
  if (b.HasGlyph && !Shifted(g, ButtonGlyphRect(b))) std::abort();
  if (!Shifted(t, ButtonTextRect(b, tw, th))) std::abort();
}

void FuzzToolButton(TReader& r) {
  const int state = ToolButtonState(static_cast<TCustomDrawState>(r.U8() | r.U8() << 8));
  if (state < 0 || state > 2) std::abort();
  TsToolButtonLayout t{r.Coord(), r.Coord(), r.Coord(), r.Coord(), static_cast<bool>(r.U8() & 1),
                       static_cast<bool>(r.U8() & 1), static_cast<bool>(r.U8() & 1), r.Coord(), state};
  (void)ToolButtonImageRect(t);
}

void FuzzBitBtn(TReader& r) {
  TsBitBtnGlyph g;
  g.UsesImageList = r.U8() & 1;
  g.ListWidth = r.Coord();
  g.ListHeight = r.Coord();
  g.GlyphWidth = r.Coord();
  g.GlyphHeight = r.Coord();
  g.NumGlyphs = r.Coord();
  g.Position = TPoint{r.Coord(), r.Coord()};
  g.Down = r.U8() & 1;
  g.Reflected = r.U8() & 1;
  const int w = BitBtnGlyphWidth(g);
  if (w < 0 || BitBtnGlyphHeight(g) < 0) std::abort();
  if (BitBtnGlyphRect(g).Width() != w) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TReader r(data, size);
  switch (r.U8() % 3) {
    case 0: FuzzButton(r); break;
    case 1: FuzzToolButton(r); break;
    default: FuzzBitBtn(r); break;
  }
  return 0;
}
