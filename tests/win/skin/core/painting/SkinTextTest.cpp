// Captions and small glyphs through GDI: the text passes of a skinned caption (contours left,
// up, right, down, then the main colour; the disabled mix; the unskinned emboss) and their
// pixels, the glow with its cached mask, text ink in a colour, and the GDI forms of the small
// glyphs, the nine-piece copy and glyph states against the window-free kernels.
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "skin/core/win/sSkinText.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sTextPaintWin.h"

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr UINT Fmt = DT_LEFT | DT_TOP | DT_SINGLELINE;

// One section "BUTTON": normal contours red, green, blue, yellow around black; a hot state
// without contours.
TsSkinTables TextTables() {
  TsSkinTables sm;
  TsGeneralData g;
  g.ClassName = "BUTTON";
  g.States = 1;
  g.Props[0].Color = 0xC0C0C0;
  const TColor normal[5] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
  const TColor hot[5] = {0x804020, -1, -1, -1, -1};
  for (int i = 0; i < 5; ++i) {
    g.Props[0].FontColor[i] = normal[i];
    g.Props[1].FontColor[i] = hot[i];
  }
  sm.GeneralData.push_back(std::move(g));
  return sm;
}

// The colours (RGB, colour order) of the bitmap's pixels.
std::set<TColor> ColoursOf(TBitmap* b) {
  ::GdiFlush();
  std::set<TColor> out;
  for (int y = 0; y < b->GetHeight(); ++y)
    for (int x = 0; x < b->GetWidth(); ++x) out.insert(static_cast<TColor>(SwapRB(PixelAt(b, x, y)) & 0xFFFFFF));
  return out;
}

// Whether a shade of a primary-mixed colour c (channels 0 or 255) shows: c itself, or c mixed with
// black by the font's antialiasing where the main colour (black) covers a contour's edge.
bool HasShadeOf(const std::set<TColor>& colours, TColor c) {
  for (TColor x : colours) {
    int level = -1;
    bool ok = x != 0;
    for (int sh = 0; sh < 24 && ok; sh += 8) {
      const int want = (c >> sh) & 0xFF, got = (x >> sh) & 0xFF;
      if (want == 0) ok = got == 0;
      else if (level < 0) level = got;
      else ok = std::abs(got - level) <= 3;
    }
    if (ok && level > 0) return true;
  }
  return false;
}

std::unique_ptr<TBitmap> TextCanvasBitmap() {
  auto b = FilledBitmap32(80, 30, White);
  b->Canvas()->Font()->SetName("Tahoma");
  b->Canvas()->Font()->SetHeight(-16);
  b->Canvas()->Font()->SetStyle(fsBold);
  return b;
}

// The bitmap's pixels (colour bits) equal the kernel's.
void ExpectSameAsKernel(TBitmap* b, const TlxImageBuffer& k) {
  ::GdiFlush();
  for (int y = 0; y < k.GetHeight(); ++y)
    for (int x = 0; x < k.GetWidth(); ++x)
      ASSERT_EQ(PixelAt(b, x, y) & 0xFFFFFF, GetPix(k.View(), x, y) & 0xFFFFFF) << x << "," << y;
}

TlxImageBuffer Filled(int w, int h, std::uint32_t px) {
  TlxImageBuffer k(w, h);
  for (int y = 0; y < h; ++y) FillDWords(k.View().Row(y), w, px);
  return k;
}

}  // namespace

TEST(SkinText, PassesContoursThenMainDisabledAndEmboss) {
  TsSkinTables sm = TextTables();
  const std::vector<TsTextPass> want = {{-1, 0, 0x0000FF, Fmt}, {0, -1, 0x00FF00, Fmt}, {1, 0, 0xFF0000, Fmt},
                                        {0, 1, 0x00FFFF, Fmt}, {0, 0, 0x000000, Fmt | DT_NOCLIP}};
  EXPECT_EQ(SkinTextPasses(&sm, 0, 0, true, 0, 0, 0, Fmt), want);
  // A missing contour (-1) is left out; hue offset and saturation apply to every colour.
  sm.GeneralData[0].Props[0].FontColor[2] = -1;
  std::vector<TsTextPass> p = SkinTextPasses(&sm, 0, 0, true, 0, 120, 0, Fmt);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].Color, 0x00FF00);   // red turned green
  EXPECT_EQ(p[1].DX, 1);
  EXPECT_EQ(SkinTextPasses(&sm, 0, 1, true, 0, 0, 0, Fmt), (std::vector<TsTextPass>{{0, 0, 0x804020, Fmt | DT_NOCLIP}}));
  sm.GeneralData[0].Props[0].FontColor[0] = 0xFFFFFF;
  EXPECT_EQ(SkinTextPasses(&sm, 0, 0, false, 0, 0, 0, Fmt), (std::vector<TsTextPass>{{0, 0, 0x666666, Fmt | DT_NOCLIP}}));
  // DrawColoredText mixes the section's own background colour instead.
  EXPECT_EQ(ColoredTextPasses(&sm, 0, 1, false, Fmt)[0].Color, BlendColors(0xFFFFFF, 0xC0C0C0, 0.4));
  EXPECT_TRUE(SkinTextPasses(&sm, 1, 0, true, 0, 0, 0, Fmt).empty());
  EXPECT_EQ(PlainTextPasses(false, 0, Fmt),
            (std::vector<TsTextPass>{{1, 1, static_cast<TColor>(0xFF000014u), Fmt},
                                     {0, 0, static_cast<TColor>(0xFF000010u), Fmt}}));
  EXPECT_EQ(PlainTextPasses(true, 0x123456, Fmt), (std::vector<TsTextPass>{{0, 0, 0x123456, Fmt}}));
}

TEST(SkinText, ParentSectionOnlyWhenSeeThrough) {
  TsSkinTables sm = TextTables();
  sm.GeneralData.push_back(sm.GeneralData[0]);
  TsTextSkinInfo info;
  info.Tables = &sm;
  info.SectionIndex = 0;
  info.ParentSectionIndex = 1;
  EXPECT_EQ(TextColorSection(info, 0), 0);
  sm.GeneralData[0].Props[0].Transparency = 30;
  EXPECT_EQ(TextColorSection(info, 0), 1);
  info.ParentSectionIndex = 9;
  EXPECT_EQ(TextColorSection(info, 0), 0);
}

TEST(SkinText, DrawnPixels) {
  TsSkinTables sm = TextTables();
  TsTextSkinInfo info;
  info.Tables = &sm;
  info.SectionIndex = 0;
  auto b = TextCanvasBitmap();
  DrawSkinText(b->Canvas(), "HIH", true, false, info, Fmt, TRect{4, 4, 76, 26});
  const std::set<TColor> enabled = ColoursOf(b.get());
  EXPECT_TRUE(enabled.count(0x000000));
  for (TColor c : {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF}) EXPECT_TRUE(HasShadeOf(enabled, c)) << std::hex << c;
  // The text is clipped to its rectangle: nothing left of it.
  for (int y = 0; y < 30; ++y) EXPECT_EQ(PixelAt(b.get(), 3, y), White);

  sm.GeneralData[0].Props[0].FontColor[0] = 0xFFFFFF;
  auto d = TextCanvasBitmap();
  SetPixelAt(d.get(), 0, 0, 0xFF000000u);
  DrawSkinText(d->Canvas(), "HIH", false, false, info, Fmt, TRect{4, 4, 76, 26});
  EXPECT_TRUE(ColoursOf(d.get()).count(0x666666));

  auto u = TextCanvasBitmap();
  DrawSkinText(u->Canvas(), "HIH", false, false, TsTextSkinInfo{}, Fmt, TRect{4, 4, 76, 26});
  const std::set<TColor> embossed = ColoursOf(u.get());
  EXPECT_TRUE(embossed.count(static_cast<TColor>(::GetSysColor(COLOR_BTNSHADOW))));
  EXPECT_GT(embossed.size(), 1u);
  DrawSkinText(u->Canvas(), "", true, false, info, Fmt, TRect{4, 4, 76, 26});   // no text: nothing
}

TEST(SkinText, GlowIntoTheCacheWithCachedMask) {
  TsSkinTables sm = TextTables();
  sm.GeneralData[0].Props[0].GlowSize = 3;
  sm.GeneralData[0].Props[0].GlowColor = 0x00FF00;
  auto cache = FilledBitmap32(80, 40, 0x00000000u);
  cache->Canvas()->Font()->SetHeight(-14);
  std::unique_ptr<TBitmap> mask;
  TsTextSkinInfo info;
  info.Tables = &sm;
  info.SectionIndex = 0;
  info.Cache = cache.get();
  info.GlowMask = &mask;
  DrawSkinText(cache->Canvas(), "Glow", true, false, info, Fmt, TRect{10, 10, 70, 30});
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->GetPixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(mask->GetWidth(), 60 + 2 * 7);
  EXPECT_EQ(mask->GetHeight(), 20 + 2 * 7);
  // Just outside the text's rectangle the glow shows: green, alpha raised above 0.
  const std::uint32_t px = PixelAt(cache.get(), 12, 9);
  EXPECT_GT(px >> 24, 0u);
  EXPECT_GT((px >> 8) & 0xFF, 0u);
  EXPECT_EQ(px & 0xFF00FFu, 0u);
  // Same size: the mask is reused; another size: rebuilt.
  TBitmap* first = mask.get();
  PaintTextGlow(cache.get(), "Glow", TRect{10, 10, 70, 30}, mask, 0x00FF00, 3, 15, Fmt);
  EXPECT_EQ(mask.get(), first);
  PaintTextGlow(cache.get(), "Glow", TRect{10, 10, 71, 30}, mask, 0x00FF00, 3, 15, Fmt);
  EXPECT_EQ(mask->GetWidth(), 75);
  // Glow size 0: no mask, no pixel changed.
  std::unique_ptr<TBitmap> none;
  auto plain = FilledBitmap32(20, 20, 0x00000000u);
  PaintTextGlow(plain.get(), "Glow", TRect{2, 2, 18, 18}, none, 0x00FF00, 0, 15, Fmt);
  EXPECT_FALSE(none);
  EXPECT_EQ(ColoursOf(plain.get()), (std::set<TColor>{0}));
}

TEST(SkinText, SectionTextInk) {
  TsSkinTables sm = TextTables();
  auto b = TextCanvasBitmap();
  SetPixelAt(b.get(), 0, 0, 0x00FFFFFFu);
  DrawSectionText(b.get(), "HIH", false, &sm, false, 0, Fmt, TRect{4, 4, 76, 26});
  const std::set<TColor> plain = ColoursOf(b.get());
  EXPECT_TRUE(plain.count(0x000000));
  EXPECT_FALSE(HasShadeOf(plain, 0x0000FF));   // no contours unless asked
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0x00FFFFFFu);   // outside r: untouched
  DrawSectionText(b.get(), "HIH", true, &sm, false, 0, Fmt, TRect{4, 4, 76, 26});
  EXPECT_TRUE(HasShadeOf(ColoursOf(b.get()), 0x0000FF));
}

TEST(SmallGlyphsWin, SameAsTheKernels) {
  auto c = FilledBitmap32(16, 16, 0xFF000000u);
  TlxImageBuffer k = Filled(16, 16, 0xFF000000u);
  DrawSmallArrow(c->Canvas(), 0x0000FF, TRect{0, 0, 16, 9}, saDown);
  DrawSmallArrow(k.View(), 0x0000FF, TRect{0, 0, 16, 9}, saDown);
  DrawDottedFrame(c->Canvas(), TRect{2, 9, 14, 14}, 0x00FF00, 0xFF0000);
  DrawDottedFrame(k.View(), TRect{2, 9, 14, 14}, 0x00FF00, 0xFF0000);
  ExpectSameAsKernel(c.get(), k);

  auto f = FilledBitmap32(10, 10, 0xFF000000u);
  const TRect r{0, 0, 10, 10};
  DrawFocusFrame(f->Canvas()->GetHandle(), r, 0x0000FF, 2, 0x00FF00);
  ::GdiFlush();
  EXPECT_EQ(PixelAt(f.get(), 0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(PixelAt(f.get(), 5, 9) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(PixelAt(f.get(), 1, 4) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(PixelAt(f.get(), 8, 4) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(PixelAt(f.get(), 4, 4) & 0xFFFFFF, 0u);

  EXPECT_GT(FontHeightOf(c->Canvas()->Font()), 0);
  const std::string s = ShortenText(c->Canvas(), "Orbex oscilloscope capture", 60);
  EXPECT_EQ(s.substr(s.size() - 3), "...");
  EXPECT_LE(c->Canvas()->TextWidth(s), 60);
}

TEST(SmallGlyphsWin, StretchPieceAndGlyphStrip) {
  auto src = CreateBitmap32(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) SetPixelAt(src.get(), x, y, 0xFF000000u | static_cast<std::uint32_t>(x + 10 * y));
  auto dst = FilledBitmap32(13, 11, 0xFF0000EEu);
  TlxStretchSpec layout;
  layout.Margins1 = layout.Margins2 = TlxMargins{2, 1, 2, 2};
  layout.PaintCentre = true;
  StretchPiece(dst.get(), src.get(), TRect{0, 0, 13, 11}, TRect{0, 0, 6, 6}, layout);
  TlxImageBuffer k = Filled(13, 11, 0xFF0000EEu);
  StretchPiece(k.View(), BitmapPixels(src.get()), TRect{0, 0, 13, 11}, TRect{0, 0, 6, 6}, layout);
  ExpectSameAsKernel(dst.get(), k);
  // Margins beyond the source: corners only, and it returns.
  layout.Margins1 = TlxMargins{9, 9, 9, 9};
  StretchPiece(dst.get(), src.get(), TRect{0, 0, 13, 11}, TRect{0, 0, 6, 6}, layout);

  // A 24-bit strip of two glyphs: column 1 for kind 1, its bottom-left colour skipped.
  auto strip = std::make_unique<TBitmap>();
  strip->SetPixelFormat(TPixelFormat::pf24bit);
  strip->SetSize(8, 4);
  const HDC sdc = strip->Canvas()->GetHandle();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) ::SetPixelV(sdc, x, y, x < 4 ? RGB(10, 0, 0) : RGB(20, 0, 0));
  ::SetPixelV(sdc, 4, 3, RGB(0, 255, 0));
  ::SetPixelV(sdc, 6, 1, RGB(0, 255, 0));
  auto g = FilledBitmap32(6, 6, 0xFF808080u);
  PaintGlyphState(strip.get(), g.get(), TRect{1, 1, 5, 5}, 0, 0, 1, 0, true, 2);
  EXPECT_EQ(PixelAt(g.get(), 1, 1) & 0xFFFFFF, 0x140000u);
  EXPECT_EQ(PixelAt(g.get(), 3, 2), 0xFF808080u);
  EXPECT_EQ(PixelAt(g.get(), 1, 4), 0xFF808080u);
  PaintGlyphState(strip.get(), g.get(), TRect{1, 1, 5, 5}, 0, 0, 1, 0, true, 0);   // count 0: nothing
}
