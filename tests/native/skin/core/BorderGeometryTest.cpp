// The extended-border window's geometry: the owner's offsets inside it, its region (normal,
// maximized, while moving), the hit test along lines across it, the title-button codes, the
// shadow band, the blur region without the transparent corner pixels (and a corner side
// larger than the image), and the skin's frame sizes clamped.
#include <gtest/gtest.h>

#include <vector>

#include "skin/core/lxBorderGeometry.h"

namespace {

// Shadows 9 all round, "BORDERWIDTH" 6, "TITLEHEIGHT" 34, system frame 4, caption 19.
const TRect Shadow9{9, 9, 9, 9};

TEST(BorderGeometry, OffsetsPlaceTheOwnerInsideTheBorderWindow) {
  EXPECT_EQ(FormLeftOffset(6, 9, 4), 11);
  EXPECT_EQ(FormTopOffset(9, 34, true, 4, 19), 20);
  // Without a caption the extended title is not added.
  EXPECT_EQ(FormTopOffset(9, 34, false, 4, 0), 5);
  // A skin size of 0 keeps the system frame and caption: the owner lies at the shadow's edge.
  EXPECT_EQ(FormLeftOffset(0, 9, 4), 9);
  EXPECT_EQ(FormTopOffset(9, 0, true, 4, 19), 5);
}

TEST(BorderGeometry, SkinFrameSizesStayWithinAByte) {
  EXPECT_EQ(ClampSkinFrameSize(-7), 0);
  EXPECT_EQ(ClampSkinFrameSize(34), 34);
  EXPECT_EQ(ClampSkinFrameSize(255), 255);
  EXPECT_EQ(ClampSkinFrameSize(1LL << 40), 255);
}

// A 420 x 350 border window around a form whose content lies at (15, 43) - (405, 334).
TlxBorderRegionInput Region() {
  TlxBorderRegionInput in;
  in.Width = 420;
  in.Height = 350;
  in.Shadow = Shadow9;
  in.PlainFrame = 4;
  in.ExtraWidth = 2;
  in.Content = TRect{15, 43, 405, 334};
  return in;
}

TEST(BorderGeometry, RegionCutsTheContentOutOfTheWholeWindow) {
  const TlxBorderRegion r = MakeBorderRegionPlan(Region());
  EXPECT_FALSE(r.None);
  EXPECT_EQ(r.Outer, (TRect{0, 0, 420, 350}));
  ASSERT_TRUE(r.HasHole);
  EXPECT_EQ(r.Hole, (TRect{15, 43, 405, 334}));
}

TEST(BorderGeometry, MaximizedRegionShowsOnlyInsideTheSystemFrame) {
  TlxBorderRegionInput in = Region();
  in.Maximized = true;
  const TlxBorderRegion r = MakeBorderRegionPlan(in);
  EXPECT_EQ(r.Outer, (TRect{4 + 2 + 9, 9 + 4, 420 - 6 - 9, 350 - 6 - 9}));
  EXPECT_TRUE(r.HasHole);
  // While moving the maximized rectangle is all, content included.
  in.Transient = true;
  const TlxBorderRegion m = MakeBorderRegionPlan(in);
  EXPECT_FALSE(m.None);
  EXPECT_FALSE(m.HasHole);
  EXPECT_EQ(m.Outer, r.Outer);
}

TEST(BorderGeometry, MovingShowsTheWholeImage) {
  TlxBorderRegionInput in = Region();
  in.Transient = true;
  const TlxBorderRegion r = MakeBorderRegionPlan(in);
  EXPECT_TRUE(r.None);
  EXPECT_FALSE(r.HasHole);
}

// A 420 x 350 sizeable border window with a 34-pixel title, a 16 x 16 icon at (20, 18) and a
// menu line of 18.
TlxBorderHitInput Hit(int x, int y) {
  TlxBorderHitInput in;
  in.Point = TPoint{x, y};
  in.Width = 420;
  in.Height = 350;
  in.Shadow = Shadow9;
  in.PlainFrame = 4;
  in.ThickFrame = true;
  in.CaptionHeight = 34;
  in.MenuHeight = 18;
  in.IconRect = TRect{20, 18, 36, 34};
  return in;
}

TEST(BorderGeometry, HitTestAlongALineDownTheLeftEdge) {
  // x 10 lies in the left band (9 - 13).
  std::vector<int> codes;
  for (int y : {9, 13, 14, 100, 336, 337, 341}) codes.push_back(BorderFrameHitTest(Hit(10, y)));
  EXPECT_EQ(codes, (std::vector<int>{lxHitTopLeft, lxHitTopLeft, lxHitLeft, lxHitLeft, lxHitLeft, lxHitBottomLeft,
                                     lxHitBottomLeft}));
}

TEST(BorderGeometry, HitTestAlongALineAcrossTheTitle) {
  std::vector<int> codes;
  for (int x : {9, 13, 14, 19, 20, 35, 36, 200, 407, 411}) codes.push_back(BorderFrameHitTest(Hit(x, 25)));
  EXPECT_EQ(codes, (std::vector<int>{lxHitLeft, lxHitLeft, lxHitCaption, lxHitCaption, lxHitSysMenu, lxHitSysMenu,
                                     lxHitCaption, lxHitCaption, lxHitRight, lxHitRight}));
  // Along the top: the top band, the corners.
  EXPECT_EQ(BorderFrameHitTest(Hit(200, 10)), lxHitTop);
  EXPECT_EQ(BorderFrameHitTest(Hit(410, 10)), lxHitTopRight);
  EXPECT_EQ(BorderFrameHitTest(Hit(410, 340)), lxHitBottomRight);
  EXPECT_EQ(BorderFrameHitTest(Hit(200, 340)), lxHitBottom);
}

TEST(BorderGeometry, HitTestBelowTheTitleFindsMenuGripOrNothing) {
  EXPECT_EQ(BorderFrameHitTest(Hit(200, 43)), lxHitCaption);
  EXPECT_EQ(BorderFrameHitTest(Hit(200, 44)), lxHitMenu);
  EXPECT_EQ(BorderFrameHitTest(Hit(200, 61)), lxHitMenu);
  EXPECT_EQ(BorderFrameHitTest(Hit(200, 62)), lxHitNone);
  TlxBorderHitInput g = Hit(395, 320);
  g.HasGrip = true;
  g.GripCorner = TPoint{390, 315};
  EXPECT_EQ(BorderFrameHitTest(g), lxHitBottomRight);
  g.Point = TPoint{389, 320};
  EXPECT_EQ(BorderFrameHitTest(g), lxHitNone);
}

TEST(BorderGeometry, RightEdgeWinsOverLeftOnANarrowWindow) {
  TlxBorderHitInput in = Hit(12, 100);
  in.Width = 9 + 9 + 6;   // both bands cover x 9 - 13 and 11 - 15
  EXPECT_EQ(BorderFrameHitTest(in), lxHitRight);
}

TEST(BorderGeometry, MaximizedOrFixedFramesHaveNoEdges) {
  TlxBorderHitInput in = Hit(10, 100);
  in.Maximized = true;
  EXPECT_EQ(BorderFrameHitTest(in), lxHitNone);
  in = Hit(200, 10);
  in.ThickFrame = false;
  EXPECT_EQ(BorderFrameHitTest(in), lxHitCaption);
}

TEST(BorderGeometry, TitleButtonNumbersBecomeCodes) {
  TlxTitleButtonFlags b;
  b.ShowMax = b.ShowMin = true;
  b.EnabledMax = b.EnabledMin = true;
  b.SystemCount = 3;
  b.UserEnabled = {true, false};
  EXPECT_EQ(TitleButtonCode(1, b), lxHitClose);
  EXPECT_EQ(TitleButtonCode(2, b), lxHitMaxButton);
  EXPECT_EQ(TitleButtonCode(3, b), lxHitMinButton);
  EXPECT_EQ(TitleButtonCode(4, b), 1000);
  EXPECT_EQ(TitleButtonCode(5, b), lxHitNone);   // the disabled user button
  EXPECT_EQ(TitleButtonCode(0, b), lxHitNone);
  // Maximize shown but neither maximize nor restore allowed: the caption drags.
  b.EnabledMax = false;
  EXPECT_EQ(TitleButtonCode(2, b), lxHitCaption);
  b.EnabledMin = false;
  EXPECT_EQ(TitleButtonCode(3, b), lxHitCaption);
  // Only close and help: the second is help.
  TlxTitleButtonFlags h;
  h.ShowHelp = true;
  h.SystemCount = 2;
  EXPECT_EQ(TitleButtonCode(2, h), lxHitHelp);
  h.VisibleClose = false;
  EXPECT_EQ(TitleButtonCode(1, h), 0);
  // A dialog knows close and maximize only.
  TlxTitleButtonFlags d;
  d.Provider = false;
  d.VisibleClose = false;
  d.ShowMax = true;
  d.EnabledMax = true;
  d.SystemCount = 2;
  EXPECT_EQ(TitleButtonCode(1, d), lxHitClose);
  EXPECT_EQ(TitleButtonCode(2, d), lxHitMaxButton);
  EXPECT_EQ(TitleButtonCode(3, d), lxHitNone);
}

TEST(BorderGeometry, ShadowBandAroundTheFrame) {
  EXPECT_TRUE(PointInShadowBand(TPoint{8, 100}, 420, 350, Shadow9));
  EXPECT_FALSE(PointInShadowBand(TPoint{9, 100}, 420, 350, Shadow9));
  EXPECT_FALSE(PointInShadowBand(TPoint{410, 340}, 420, 350, Shadow9));
  EXPECT_TRUE(PointInShadowBand(TPoint{411, 100}, 420, 350, Shadow9));
  EXPECT_TRUE(PointInShadowBand(TPoint{100, 8}, 420, 350, Shadow9));
  EXPECT_TRUE(PointInShadowBand(TPoint{100, 341}, 420, 350, Shadow9));
  EXPECT_FALSE(PointInShadowBand(TPoint{100, 9}, 420, 350, Shadow9));
}

// A 40 x 30 image, opaque but for a 3 x 2 block of zero pixels at the top-left of the blurred
// rectangle, one zero pixel at its bottom-right corner, and zeros outside the corners.
TEST(BorderGeometry, BlurRegionLeavesOutTheZeroPixelsOfTheCorners) {
  TlxImageBuffer px(40, 30);
  const TlxPixelBuffer& b = px.View();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) SetPix(b, x, y, 0xFF102030u);
  for (int y = 4; y < 6; ++y)
    for (int x = 4; x < 7; ++x) SetPix(b, x, y, 0);
  SetPix(b, 35, 25, 0);
  SetPix(b, 20, 15, 0);   // middle: blurred anyway
  const TlxBlurPlan plan = MakeBlurPlan(b, TRect{5, 5, 5, 5}, 4);
  EXPECT_EQ(plan.Rect, (TRect{4, 4, 36, 26}));
  EXPECT_EQ(plan.Removed, (std::vector<TRect>{TRect{4, 4, 7, 5}, TRect{4, 5, 7, 6}, TRect{35, 25, 36, 26}}));
  // A colour with alpha 0 is not a zero pixel.
  SetPix(b, 4, 4, 0x00FFFFFFu);
  EXPECT_EQ(MakeBlurPlan(b, TRect{5, 5, 5, 5}, 4).Removed.front(), (TRect{5, 4, 7, 5}));
}

TEST(BorderGeometry, BlurCornersLargerThanTheImageStayInsideIt) {
  TlxImageBuffer px(6, 5);
  const TlxPixelBuffer& b = px.View();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) SetPix(b, x, y, 0);
  // Shadows 0: the rectangle reaches one pixel outside the image on each side.
  const TlxBlurPlan plan = MakeBlurPlan(b, TRect{}, 255);
  ASSERT_FALSE(plan.Removed.empty());
  for (const TRect& r : plan.Removed) {
    EXPECT_GE(r.Left, 0);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Right, 6);
    EXPECT_LE(r.Bottom, 5);
  }
}

}  // namespace

namespace {

TEST(BorderGeometry, FramePixelsBecomeOpaqueAndKeyCornersTransparent) {
  TlxImageBuffer px(4, 3);
  const TlxPixelBuffer& b = px.View();
  SetPix(b, 0, 0, 0x00FF00FFu);   // key colour, any alpha
  SetPix(b, 1, 0, 0x7F102030u);
  SetPix(b, 3, 2, 0x00405060u);   // outside the rectangle: kept
  OpaqueFramePixels(b, TRect{-5, -5, 3, 3});
  EXPECT_EQ(GetPix(b, 0, 0), 0u);
  EXPECT_EQ(GetPix(b, 1, 0), 0xFF102030u);
  EXPECT_EQ(GetPix(b, 2, 2), 0xFF000000u);
  EXPECT_EQ(GetPix(b, 3, 2), 0x00405060u);
}

TEST(BorderGeometry, TheFrameMaskLiesOverTheFrameWithStraightAlpha) {
  TlxImageBuffer dstPx(4, 1), srcPx(4, 1);
  const TlxPixelBuffer& d = dstPx.View();
  const TlxPixelBuffer& s = srcPx.View();
  SetPix(d, 0, 0, 0u);            // shadow area: the mask's pixel as it is, colour not darkened
  SetPix(s, 0, 0, 0x40102030u);
  SetPix(d, 1, 0, 0xFF0000FFu);   // opaque frame under a half-transparent edge: half and half
  SetPix(s, 1, 0, 0x80FF0000u);
  SetPix(d, 2, 0, 0xFF123456u);   // nothing of the mask: the frame stays
  SetPix(s, 2, 0, 0x00FFFFFFu);
  SetPix(d, 3, 0, 0x80000000u);   // translucent under translucent: alpha 1 - (1 - a)(1 - b)
  SetPix(s, 3, 0, 0x80FFFFFFu);
  BlendFrameOver(d, s);
  EXPECT_EQ(GetPix(d, 0, 0), 0x40102030u);
  const std::uint32_t mixed = GetPix(d, 1, 0);
  EXPECT_EQ(mixed >> 24, 255u);
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 127, 1);
  EXPECT_EQ(GetPix(d, 2, 0), 0xFF123456u);
  EXPECT_NEAR(static_cast<int>(GetPix(d, 3, 0) >> 24), 192, 1);
  EXPECT_NEAR(static_cast<int>((GetPix(d, 3, 0) >> 8) & 0xFF), 170, 1);   // two thirds white
  // Different sizes: nothing.
  TlxImageBuffer other(2, 1);
  BlendFrameOver(other.View(), s);
  EXPECT_EQ(GetPix(other.View(), 0, 0), 0u);
}

TEST(BorderGeometry, FrameMaskPiecesComeFromTheMaskAndStayInsideTheTemplate) {
  TlxFrameMaskInput in;
  in.HasMask = true;
  in.MaskWidths = TRect{14, 30, 14, 14};
  in.Shadow = TRect{9, 9, 9, 9};
  in.ContentOffset = 5;
  in.TemplateWidth = 80;
  in.TemplateHeight = 80;
  EXPECT_EQ(FrameMaskPieces(in), (TRect{14, 30, 14, 14}));
  // Drawing mode 1: the title part reaches no lower than the caption.
  in.DrawMode1 = true;
  in.TitleLimit = 22;
  EXPECT_EQ(FrameMaskPieces(in), (TRect{14, 22, 14, 14}));
  // The built-in shadow: the shadow plus the content offset, at most half the template.
  in = TlxFrameMaskInput{};
  in.Shadow = TRect{9, 9, 9, 9};
  in.ContentOffset = 5;
  in.TemplateWidth = 20;
  in.TemplateHeight = 31;
  EXPECT_EQ(FrameMaskPieces(in), (TRect{9, 14, 9, 14}));
  // Bad widths never go negative.
  in.HasMask = true;
  in.MaskWidths = TRect{-3, -1, 0, 2};
  EXPECT_EQ(FrameMaskPieces(in), (TRect{0, 0, 0, 2}));
}

}  // namespace
