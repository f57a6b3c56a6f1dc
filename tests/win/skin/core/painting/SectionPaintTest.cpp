// Section backgrounds and items painted from the skin's tables: the colour of each state (and
// the state index limited to the section's states, a count of 0 included), custom colours,
// see-through shares over colour and bitmap backgrounds (never mixing in the key colour),
// textures from masks and from the pattern list, corner images and the border mask, the
// section painted into a DC, looked up by name, a control's hue shift (skipped for a flagged
// section without border), the mesh gradient through a section fill, and the disabled look.
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

#include <gtest/gtest.h>

#include "framework/win/Jpeg.h"
#include "framework/win/ExtCtrls.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sGradientWin.h"

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu;

// Tables with one section "PANEL": normal red, hot blue, two states.
TsSkinTables PanelTables() {
  TsSkinTables sm;
  TsGeneralData g;
  g.ClassName = "PANEL";
  g.States = 2;
  g.Props[0].Color = 0x0000FF;   // red (colour order)
  g.Props[1].Color = 0xFF0000;   // blue
  sm.GeneralData.push_back(std::move(g));
  return sm;
}

std::uint32_t Paint(const TsSkinTables& sm, int state, const TsBackgroundInfo& bg = EmptyBackgroundInfo(),
                    TColor custom = 0xFF00FF) {
  auto b = FilledBitmap32(6, 4, White);
  PaintSectionBackground(0, "PANEL", bg, custom, -1, -1, &sm, b.get(), TPoint{0, 0}, TRect{0, 0, 6, 4}, state, nullptr);
  return PixelAt(b.get(), 3, 2);
}

}  // namespace

TEST(SectionPaint, ColourByStateLimitedToTheStates) {
  TsSkinTables sm = PanelTables();
  EXPECT_EQ(Paint(sm, 0), 0xFFFF0000u);
  EXPECT_EQ(Paint(sm, 1), 0xFF0000FFu);
  EXPECT_EQ(Paint(sm, 9), 0xFF0000FFu);
  EXPECT_EQ(Paint(sm, -3), 0xFFFF0000u);
  sm.GeneralData[0].States = 0;   // no states given: only the normal state, nothing divides
  EXPECT_EQ(Paint(sm, 1), 0xFFFF0000u);
  EXPECT_EQ(Paint(sm, 0, EmptyBackgroundInfo(), 0x00FF00), 0xFF00FF00u);   // custom colour
  EXPECT_EQ(Paint(sm, 0, EmptyBackgroundInfo(), static_cast<TColor>(0x80000000 | COLOR_BTNFACE)),
            0xFF000000u | SwapRB(GetSysColor(COLOR_BTNFACE)));
  // Outside the tables, no tables: nothing.
  auto b = FilledBitmap32(6, 4, White);
  PaintSectionBackground(1, "PANEL", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, &sm, b.get(), {}, TRect{0, 0, 6, 4}, 0,
                         nullptr);
  PaintSectionBackground(0, "PANEL", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, nullptr, b.get(), {}, TRect{0, 0, 6, 4},
                         0, nullptr);
  EXPECT_EQ(PixelAt(b.get(), 3, 2), White);
  auto rgb = std::make_unique<TBitmap>();
  rgb->SetPixelFormat(TPixelFormat::pf24bit);
  rgb->SetSize(6, 4);
  EXPECT_THROW(PaintSectionBackground(0, "PANEL", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, &sm, rgb.get(), {},
                                      TRect{0, 0, 6, 4}, 0, nullptr),
               EAssertionFailed);
}

TEST(SectionPaint, SeeThroughOverColourAndBitmap) {
  TsSkinTables sm = PanelTables();
  sm.GeneralData[0].Props[0].Color = 0x000000;
  sm.GeneralData[0].Props[0].Transparency = 100;
  const TsBackgroundInfo green{nullptr, 0, 0, 0x00FF00, 0};
  EXPECT_EQ(Paint(sm, 0, green), 0xFF00FF00u);
  sm.GeneralData[0].Props[0].Transparency = 50;
  const TsBackgroundInfo white{nullptr, 0, 0, 0xFFFFFF, 0};
  EXPECT_EQ(Paint(sm, 0, white), 0xFF808080u);   // round(127.5) to even
  // No background known (the key colour): the fill alone, the key never mixed in.
  EXPECT_EQ(Paint(sm, 0, EmptyBackgroundInfo()), 0xFF000000u);
  // A bitmap background at 100 percent: the parent's pixels at the point.
  sm.GeneralData[0].Props[0].Transparency = 100;
  auto parent = FilledBitmap32(20, 20, 0xFF101010u);
  SetPixelAt(parent.get(), 7 + 3, 5 + 2, 0xFF445566u);
  auto b = FilledBitmap32(6, 4, White);
  PaintSectionBackground(0, "PANEL", TsBackgroundInfo{parent.get(), 7, 5, 0xFF00FF, 1}, 0xFF00FF, -1, -1, &sm, b.get(),
                         TPoint{0, 0}, TRect{0, 0, 6, 4}, 0, nullptr);
  EXPECT_EQ(PixelAt(b.get(), 3, 2), 0xFF445566u);
  EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFF101010u);
}

TEST(SectionPaint, TexturesFromMasksAndThePatternList) {
  TsSkinTables sm = PanelTables();
  sm.GeneralData[0].Props[0].ImagePercent = 100;
  auto tex = FilledBitmap32(2, 2, 0xFF111111u);
  SetPixelAt(tex.get(), 1, 1, 0xFF222222u);
  sm.MaskData.push_back(MaskOver(std::move(tex), TRect{0, 0, 2, 2}, 1, 0, 0, 0, 0, 0, 0));
  sm.MaskData[0].ClassName = "PANEL";
  sm.MaskData[0].PropertyName = "PATTERN";
  sm.MaskData[0].ImgType = 1;
  auto b = FilledBitmap32(6, 4, White);
  PaintSectionBackground(0, "PANEL", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, &sm, b.get(), {}, TRect{0, 0, 6, 4}, 0,
                         nullptr);
  EXPECT_EQ(PixelAt(b.get(), 0, 0) & 0xFFFFFF, 0x111111u);
  EXPECT_EQ(PixelAt(b.get(), 3, 1) & 0xFFFFFF, 0x222222u);   // tiled

  // No texture mask: the pattern list's image under the same key, a 24-bit bitmap made 32-bit.
  sm.MaskData.clear();
  auto pattern = std::make_unique<TBitmap>();
  pattern->SetPixelFormat(TPixelFormat::pf24bit);
  pattern->SetSize(2, 2);
  pattern->Canvas()->Brush()->SetColor(0x0000AA);
  pattern->Canvas()->FillRect(TRect{0, 0, 2, 2});
  TsPatternData p;
  p.Img = std::move(pattern);
  p.ClassName = "PANEL";
  p.PropertyName = "PATTERN";
  sm.PatternData.push_back(std::move(p));
  auto c = FilledBitmap32(6, 4, White);
  PaintSectionBackground(0, "PANEL", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, &sm, c.get(), {}, TRect{0, 0, 6, 4}, 0,
                         nullptr);
  EXPECT_EQ(PixelAt(c.get(), 5, 3) & 0xFFFFFF, 0xAA0000u);   // red 0xAA in pixel order
}

TEST(SectionPaint, ItemWithCornersAndBorder) {
  TsSkinTables sm = PanelTables();
  // Mask 0: a border frame 6 x 6 with borders 2, key-free, cyan; mask 1: a 2 x 2 yellow image.
  sm.MaskData.push_back(MaskOver(FilledBitmap32(6, 6, 0xFF00FFFFu), TRect{0, 0, 6, 6}, 1, 0, 0, 2, 2, 2, 2));
  sm.MaskData.push_back(MaskOver(FilledBitmap32(2, 2, 0xFFFFFF00u), TRect{0, 0, 2, 2}, 1, 0, 0, 0, 0, 0, 0));
  sm.GeneralData[0].ImgBR = 1;
  auto b = FilledBitmap32(12, 10, White);
  PaintSectionItem(0, "PANEL", EmptyBackgroundInfo(), -1, -1, &sm, b.get(), {}, TRect{1, 1, 11, 9}, 0, nullptr);
  EXPECT_EQ(PixelAt(b.get(), 9, 7), 0xFFFFFF00u);    // corner image at the bottom-right
  EXPECT_EQ(PixelAt(b.get(), 5, 5), 0xFFFF0000u);    // fill
  EXPECT_EQ(PixelAt(b.get(), 0, 0), White);          // outside the rectangle
  sm.GeneralData[0].BorderIndex = 0;
  PaintSectionItem(0, "PANEL", EmptyBackgroundInfo(), -1, -1, &sm, b.get(), {}, TRect{1, 1, 11, 9}, 0, nullptr);
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0xFF00FFFFu);    // the border painted last
  EXPECT_EQ(PixelAt(b.get(), 10, 8), 0xFF00FFFFu);
  EXPECT_EQ(PixelAt(b.get(), 5, 5), 0xFFFF0000u);    // centre not painted by the frame
  // A rectangle at a negative left paints nothing.
  auto n = FilledBitmap32(12, 10, White);
  PaintSectionItem(0, "PANEL", EmptyBackgroundInfo(), -1, -1, &sm, n.get(), {}, TRect{-1, 0, 5, 5}, 0, nullptr);
  PaintSectionItem(0, "PANEL", EmptyBackgroundInfo(), -1, -1, &sm, n.get(), {}, TRect{12, 0, 15, 5}, 0, nullptr);
  EXPECT_EQ(PixelAt(n.get(), 0, 0), White);
  EXPECT_EQ(PixelAt(n.get(), 11, 0), White);
}

TEST(SectionPaint, IntoADCAndByName) {
  TsSkinTables sm = PanelTables();
  auto target = FilledBitmap32(16, 16, White);
  PaintSectionItemToDC(0, "PANEL", EmptyBackgroundInfo(), -1, -1, &sm, target->Canvas()->GetHandle(), {},
                       TRect{4, 4, 10, 8}, 1, nullptr);
  EXPECT_EQ(DCPixel(target.get(), 4, 4), 0xFF0000u);   // blue (hot)
  EXPECT_EQ(DCPixel(target.get(), 9, 7), 0xFF0000u);
  EXPECT_EQ(DCPixel(target.get(), 10, 7), 0xFFFFFFu);
  EXPECT_EQ(DCPixel(target.get(), 3, 4), 0xFFFFFFu);

  auto b = FilledBitmap32(8, 8, White);
  EXPECT_TRUE(PaintSectionByName("BUTTON", "PANEL", b.get(), TRect{0, 0, 4, 4}, 0, &sm, nullptr, nullptr));
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0xFFFF0000u);
  EXPECT_FALSE(PaintSectionByName("BUTTON", "EDIT", b.get(), TRect{4, 4, 8, 8}, 0, &sm, nullptr, nullptr));
  EXPECT_EQ(PixelAt(b.get(), 5, 5), White);
  EXPECT_FALSE(PaintSectionByName("panel", "", b.get(), TRect{4, 4, 8, 8}, 0, &sm, nullptr, nullptr));

  // Copied from a DC: a fully see-through section shows the DC's pixels.
  sm.GeneralData[0].Props[0].Transparency = 100;
  auto source = FilledBitmap32(8, 8, 0xFF336699u);
  auto c = FilledBitmap32(8, 8, White);
  EXPECT_TRUE(PaintSectionByName("PANEL", "", c.get(), TRect{2, 2, 6, 6}, 0, &sm, source->Canvas()->GetHandle(),
                                 nullptr));
  EXPECT_EQ(PixelAt(c.get(), 3, 3) & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(PixelAt(c.get(), 1, 1), White);
}

TEST(SectionPaint, ControlItemHueShift) {
  TsSkinTables sm = PanelTables();
  auto b = FilledBitmap32(4, 4, White);
  PaintControlItem(0, &sm, 0xFF00FF, 120, 0, EmptyBackgroundInfo(), b.get(), {}, TRect{0, 0, 4, 4}, 0, nullptr);
  const std::uint32_t p = PixelAt(b.get(), 2, 2);
  // Red turned by 120 degrees is green.
  EXPECT_EQ(p & 0xFFFFFF, 0x00FF00u);
}

TEST(SectionPaint, ControlItemKeepsAFlaggedSectionsColoursWithoutBorder) {
  TsSkinTables sm = PanelTables();
  sm.GeneralData[0].ReservedBoolean = true;
  sm.MaskData.push_back(MaskOver(FilledBitmap32(6, 6, 0xFF0000FFu), TRect{0, 0, 6, 6}, 1, 0, dmNoNormal, 1, 1, 1, 1));
  auto paint = [&](int border, int state) {
    sm.GeneralData[0].BorderIndex = border;
    auto b = FilledBitmap32(8, 8, White);
    PaintControlItem(0, &sm, 0x0000FF, 120, 0, EmptyBackgroundInfo(), b.get(), {}, TRect{0, 0, 8, 8}, state, nullptr);
    return PixelAt(b.get(), 4, 4) & 0xFFFFFF;
  };
  EXPECT_EQ(paint(-1, 0), 0xFF0000u);  // no border mask: red kept
  EXPECT_EQ(paint(0, 0), 0xFF0000u);   // a mask that paints nothing in state 0
  EXPECT_EQ(paint(0, 1), 0x00FF00u);   // a border painted: shifted
  sm.GeneralData[0].ReservedBoolean = false;
  EXPECT_EQ(paint(-1, 0), 0x00FF00u);
}

TEST(SectionPaint, MeshGradientThroughASectionFill) {
  InitGradientUnit();
  TsSkinTables sm = PanelTables();
  TsGenState& st = sm.GeneralData[0].Props[0];
  st.GradientPercent = 100;
  ParseGradientData("255;0;0;2;0;16777215;0;0;2;0;65280;0;0;2;0;16711680;0;0;2;0;0;0;0;2;0", st.GradientArray);
  for (int transparency : {0, 50}) {
    st.Transparency = transparency;
    auto b = FilledBitmap32(70, 70, 0xFF808080u);
    PaintSectionBackground(0, "PANEL", TsBackgroundInfo{nullptr, 0, 0, 0x000000, 0}, 0xFF00FF, -1, -1, &sm, b.get(),
                           TPoint{3, 3}, TRect{3, 3, 67, 67}, 0, nullptr);
    // Read back through the bitmap's DC: the corners' colours, halved over black at 50 percent.
    const int k = transparency == 0 ? 1 : 2;
    auto about = [k](COLORREF got, COLORREF want) {
      return std::abs(GetRValue(got) - GetRValue(want) / k) < 24 && std::abs(GetGValue(got) - GetGValue(want) / k) < 24 &&
             std::abs(GetBValue(got) - GetBValue(want) / k) < 24;
    };
    EXPECT_TRUE(about(DCPixel(b.get(), 3, 3), RGB(255, 0, 0))) << transparency;
    EXPECT_TRUE(about(DCPixel(b.get(), 35, 35), RGB(255, 255, 255))) << transparency;
    EXPECT_TRUE(about(DCPixel(b.get(), 65, 4), RGB(0, 255, 0))) << transparency;
    EXPECT_TRUE(about(DCPixel(b.get(), 65, 65), RGB(0, 0, 255))) << transparency;
    EXPECT_EQ(DCPixel(b.get(), 2, 2), RGB(128, 128, 128));  // outside the rectangle
    if (transparency == 0) {
      EXPECT_EQ(PixelAt(b.get(), 35, 35) >> 24, 255u);
    }
  }
  DoneGradientUnit();
}

TEST(SectionPaint, DisabledLookWithTheControlsColour) {
  TPanel panel(nullptr);
  panel.SetColor(0x0000FF);
  auto b = FilledBitmap32(2, 2, 0xFF000000u);
  MakeDisabledLook(b.get(), dkBlended, &panel, TPoint{}, EmptyBackgroundInfo());
  EXPECT_EQ(PixelAt(b.get(), 1, 1), 0xFF800000u);  // half the control's red (127.5 to even)
  auto parent = FilledBitmap32(4, 4, 0xFFC8C8C8u);
  auto c = FilledBitmap32(2, 2, 0xFF646464u);
  MakeDisabledLook(c.get(), dkBlended | dkGrayed, &panel, TPoint{1, 1}, TsBackgroundInfo{parent.get(), 0, 0, 0xFF00FF, 1});
  EXPECT_EQ(PixelAt(c.get(), 0, 0), 0xFFA0A0A0u);  // the image keeps 40 percent: 160
}

TEST(SectionPaint, ImageForTheScrollBarEngine) {
  TsSkinTables sm = PanelTables();
  auto paint = [&](const TsBackgroundInfo& bg) {
    auto b = FilledBitmap32(6, 4, White);
    PaintSectionImage(b.get(), TRect{0, 0, 6, 4}, 0, 0, &sm, bg, TPoint{0, 0}, nullptr);
    return PixelAt(b.get(), 2, 2);
  };
  const TsBackgroundInfo green{nullptr, 0, 0, 0x00FF00, 0};
  EXPECT_EQ(paint(green), 0xFFFF0000u);   // opaque: the section colour
  sm.GeneralData[0].Props[0].Transparency = 50;
  EXPECT_EQ(paint(green), 0xFFFF0000u);   // painted directly, not mixed
  sm.GeneralData[0].Props[0].Transparency = 100;
  EXPECT_EQ(paint(green), 0xFF00FF00u);   // the background colour
  EXPECT_EQ(paint(EmptyBackgroundInfo()), 0xFFFF0000u);   // never the key colour
  auto parent = FilledBitmap32(10, 10, 0xFF0A0B0Cu);
  EXPECT_EQ(paint(TsBackgroundInfo{parent.get(), 2, 2, 0xFF00FF, 1}), 0xFF0A0B0Cu);

  // With a border mask by index.
  sm.GeneralData[0].Props[0].Transparency = 0;
  sm.MaskData.push_back(MaskOver(FilledBitmap32(6, 6, 0xFF00FFFFu), TRect{0, 0, 6, 6}, 1, 0, 0, 2, 2, 2, 2));
  auto b = FilledBitmap32(10, 10, White);
  PaintSectionWithBorder(b.get(), TRect{0, 0, 10, 10}, 0, 0, 0, &sm, EmptyBackgroundInfo(), TPoint{0, 0}, nullptr);
  EXPECT_EQ(PixelAt(b.get(), 0, 5), 0xFF00FFFFu);
  EXPECT_EQ(PixelAt(b.get(), 5, 5), 0xFFFF0000u);
  PaintSectionWithBorder(b.get(), TRect{0, 0, 10, 10}, 0, 3, 0, &sm, EmptyBackgroundInfo(), TPoint{0, 0}, nullptr);
  EXPECT_EQ(PixelAt(b.get(), 0, 5), 0xFFFF0000u);   // no mask at that index: the fill alone
}

TEST(SectionPaint, BorderIntoADC) {
  TsSkinTables sm = PanelTables();
  sm.GeneralData[0].States = 0;
  auto target = FilledBitmap32(20, 20, White);
  HDC dc = target->Canvas()->GetHandle();
  TRect inner;
  // No mask: strips of the border width in the section colour (state 1 limited to 0: red).
  PaintBorderToDC(dc, TRect{0, 0, 12, 10}, 2, inner, 1, nullptr, nullptr, &sm, 0, -1, nullptr);
  EXPECT_EQ(inner, (TRect{2, 2, 10, 8}));
  EXPECT_EQ(DCPixel(target.get(), 1, 5), 0x0000FFu);
  EXPECT_EQ(DCPixel(target.get(), 11, 9), 0x0000FFu);
  EXPECT_EQ(DCPixel(target.get(), 2, 2), 0xFFFFFFu);

  // A 2-pixel mask and a border width of 4: the mask outside, the colour between, both copied.
  sm.MaskData.push_back(MaskOver(FilledBitmap32(6, 6, 0xFF00FFFFu), TRect{0, 0, 6, 6}, 1, 0, 0, 2, 2, 2, 2));
  auto cache = FilledBitmap32(12, 10, White);
  auto other = FilledBitmap32(12, 10, White);
  PaintBorderToDC(other->Canvas()->GetHandle(), TRect{0, 0, 12, 10}, 4, inner, 0, cache.get(), nullptr, &sm, 0, 0,
                  nullptr);
  EXPECT_EQ(inner, (TRect{4, 4, 8, 6}));
  EXPECT_EQ(PixelAt(cache.get(), 1, 5), 0xFF00FFFFu);
  EXPECT_EQ(PixelAt(cache.get(), 3, 5), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(cache.get(), 5, 5), White);
  EXPECT_EQ(DCPixel(other.get(), 1, 5), 0xFFFF00u);
  EXPECT_EQ(DCPixel(other.get(), 3, 5), 0x0000FFu);
  EXPECT_EQ(DCPixel(other.get(), 5, 5), 0xFFFFFFu);
  PaintBorderToDC(nullptr, TRect{0, 0, 12, 10}, 0, inner, 0, cache.get(), nullptr, &sm, 0, 0, nullptr);
  EXPECT_EQ(inner, (TRect{2, 2, 10, 8}));
}

TEST(SectionPaint, JpegTextureOfThePatternList) {
  TsSkinTables sm = PanelTables();
  sm.GeneralData[0].Props[0].ImagePercent = 100;
  auto src = std::make_unique<TBitmap>();
  src->SetPixelFormat(TPixelFormat::pf24bit);
  src->SetSize(8, 8);
  src->Canvas()->Brush()->SetColor(0x00C08040);
  src->Canvas()->FillRect(TRect{0, 0, 8, 8});
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->Assign(src.get());
  jpeg->JPEGNeeded();
  TsPatternData p;
  p.Img = std::move(jpeg);
  p.ClassName = "PANEL";
  p.PropertyName = "PATTERN";
  sm.PatternData.push_back(std::move(p));
  auto b = FilledBitmap32(12, 12, White);
  PaintSectionBackground(0, "PANEL", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, &sm, b.get(), {}, TRect{0, 0, 12, 12}, 0,
                         nullptr);
  const std::uint32_t px = PixelAt(b.get(), 10, 10);   // a second tile
  EXPECT_NEAR(static_cast<int>((px >> 16) & 0xFF), 0x40, 6);
  EXPECT_NEAR(static_cast<int>((px >> 8) & 0xFF), 0x80, 6);
  EXPECT_NEAR(static_cast<int>(px & 0xFF), 0xC0, 6);
}
