// Masks of the skin's records painted into the framework's bitmaps and read back through their
// DC: the nine-piece frame by state (tiled, cropped, stretched, centre or not, key corners
// over a background), single state images by index, window regions cut from key-colour
// corners (their exact shape), and graphic children clipped out of a DC.
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDibSection.h"

namespace {

constexpr std::uint32_t Red = 0xFFFF0000u, Green = 0xFF00FF00u, Blue = 0xFF0000FFu, Yellow = 0xFFFFFF00u,
                        Cyan = 0xFF00FFFFu, White = 0xFFFFFFFFu, Grey = 0xFF808080u;

// A 9 x 9 frame per state, borders 3: corners red, sides green (the top side's columns green,
// yellow, cyan), centre blue. State s > 0 has grey corners.
std::unique_ptr<TBitmap> FrameImage(int states) {
  auto img = FilledBitmap32(9 * states, 9, Green);
  for (int s = 0; s < states; ++s) {
    const int o = 9 * s;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x) {
        const bool cx = x < 3 || x >= 6, cy = y < 3 || y >= 6;
        if (cx && cy) SetPixelAt(img.get(), o + x, y, s == 0 ? Red : Grey);
        else if (!cx && !cy) SetPixelAt(img.get(), o + x, y, Blue);
      }
    for (int y = 0; y < 3; ++y) {
      SetPixelAt(img.get(), o + 4, y, Yellow);
      SetPixelAt(img.get(), o + 5, y, Cyan);
    }
  }
  return img;
}

COLORREF C(std::uint32_t pixel) { return SwapRB(pixel) & 0xFFFFFF; }

}  // namespace

TEST(SkinMaskPaint, NinePieceFrameReadBackThroughTheDC) {
  TsMaskData mask = MaskOver(FrameImage(1), TRect{0, 0, 9, 9}, 1, 0, dmPaintCentre, 3, 3, 3, 3);
  auto dst = FilledBitmap32(20, 14, White);
  PaintMaskFrame(dst.get(), TRect{0, 0, 20, 14}, false, 0, mask, EmptyBackgroundInfo(), nullptr);
  TBitmap* d = dst.get();
  EXPECT_EQ(DCPixel(d, 0, 0), C(Red));
  EXPECT_EQ(DCPixel(d, 2, 2), C(Red));
  EXPECT_EQ(DCPixel(d, 19, 13), C(Red));
  EXPECT_EQ(DCPixel(d, 17, 0), C(Red));
  EXPECT_EQ(DCPixel(d, 1, 7), C(Green));   // left side
  EXPECT_EQ(DCPixel(d, 10, 7), C(Blue));   // centre
  EXPECT_EQ(DCPixel(d, 3, 3), C(Blue));
  // Top side from x 3 to 17 in tiles of 3 (green, yellow, cyan): whole tiles at 3, 6, 9, 12,
  // then a cropped tile at 15: green, yellow. Never squeezed.
  EXPECT_EQ(DCPixel(d, 3, 0), C(Green));
  EXPECT_EQ(DCPixel(d, 5, 0), C(Cyan));
  EXPECT_EQ(DCPixel(d, 14, 1), C(Cyan));
  EXPECT_EQ(DCPixel(d, 15, 1), C(Green));
  EXPECT_EQ(DCPixel(d, 16, 2), C(Yellow));

  // Without the centre bit the centre keeps what was there.
  mask.DrawMode = 0;
  auto keep = FilledBitmap32(20, 14, White);
  PaintMaskFrame(keep.get(), TRect{0, 0, 20, 14}, false, 0, mask, EmptyBackgroundInfo(), nullptr);
  EXPECT_EQ(DCPixel(keep.get(), 10, 7), C(White));
  EXPECT_EQ(DCPixel(keep.get(), 0, 0), C(Red));
}

TEST(SkinMaskPaint, StatesAndRefusals) {
  TsMaskData mask = MaskOver(FrameImage(2), TRect{0, 0, 18, 9}, 2, 0, dmPaintCentre | dmNoNormal, 3, 3, 3, 3);
  auto dst = FilledBitmap32(12, 12, White);
  // State 0 with the no-normal bit paints nothing.
  PaintMaskFrame(dst.get(), TRect{0, 0, 12, 12}, false, 0, mask, EmptyBackgroundInfo(), nullptr);
  EXPECT_EQ(DCPixel(dst.get(), 0, 0), C(White));
  // A state beyond the frames paints the last one.
  PaintMaskFrame(dst.get(), TRect{0, 0, 12, 12}, false, 7, mask, EmptyBackgroundInfo(), nullptr);
  EXPECT_EQ(DCPixel(dst.get(), 0, 0), C(Grey));
  // A rectangle below 2 x 2, a bitmap that is not 32-bit, no image: nothing.
  auto small = FilledBitmap32(12, 12, White);
  PaintMaskFrame(small.get(), TRect{0, 0, 1, 12}, false, 1, mask, EmptyBackgroundInfo(), nullptr);
  EXPECT_EQ(DCPixel(small.get(), 0, 0), C(White));
  auto rgb = std::make_unique<TBitmap>();
  rgb->SetPixelFormat(TPixelFormat::pf24bit);
  rgb->SetSize(12, 12);
  EXPECT_THROW(PaintMaskFrame(rgb.get(), TRect{0, 0, 12, 12}, false, 1, mask, EmptyBackgroundInfo(), nullptr),
               EAssertionFailed);
  TsMaskData noImage = MaskOver(nullptr, TRect{0, 0, 18, 9}, 2, 0, dmPaintCentre, 3, 3, 3, 3);
  PaintMaskFrame(small.get(), TRect{0, 0, 12, 12}, false, 1, noImage, EmptyBackgroundInfo(), nullptr);
  EXPECT_EQ(DCPixel(small.get(), 0, 0), C(White));
  // A mask without its own bitmap paints from the master bitmap.
  auto master = FrameImage(2);
  PaintMaskFrame(small.get(), TRect{0, 0, 12, 12}, false, 1, noImage, EmptyBackgroundInfo(), master.get());
  EXPECT_EQ(DCPixel(small.get(), 0, 0), C(Grey));
}

TEST(SkinMaskPaint, KeyCornersShowTheBackgroundOnlyWithFill) {
  auto img = FrameImage(1);
  SetPixelAt(img.get(), 0, 0, KeyPixel);
  TsMaskData mask = MaskOver(std::move(img), TRect{0, 0, 9, 9}, 1, 0, dmPaintCentre, 3, 3, 3, 3, 1);
  auto parent = FilledBitmap32(30, 30, 0x00123456u);
  SetPixelAt(parent.get(), 5, 4, 0x00ABCDEFu);
  auto dst = FilledBitmap32(10, 10, White);
  PaintMaskFrame(dst.get(), TRect{0, 0, 10, 10}, true, 0, mask, TsBackgroundInfo{parent.get(), 5, 4, 0xFF00FF, 1},
                 nullptr);
  EXPECT_EQ(PixelAt(dst.get(), 0, 0), 0xFFABCDEFu);   // the parent's pixel, opaque
  EXPECT_EQ(PixelAt(dst.get(), 1, 0), Red);
  auto keep = FilledBitmap32(10, 10, White);
  PaintMaskFrame(keep.get(), TRect{0, 0, 10, 10}, false, 0, mask, TsBackgroundInfo{parent.get(), 5, 4, 0xFF00FF, 1},
                 nullptr);
  EXPECT_EQ(PixelAt(keep.get(), 0, 0), White);
}

TEST(SkinMaskPaint, StateImageByIndex) {
  TsSkinTables sm;
  sm.MaskData.push_back(MaskOver(FrameImage(2), TRect{0, 0, 18, 9}, 2, 0, 0, 0, 0, 0, 0));
  auto dst = FilledBitmap32(20, 20, White);
  DrawMaskState(dst.get(), TPoint{4, 5}, 1, EmptyBackgroundInfo(), &sm, 0, 1, nullptr);
  EXPECT_EQ(PixelAt(dst.get(), 4, 5), Grey);
  EXPECT_EQ(PixelAt(dst.get(), 8, 9), Blue);
  EXPECT_EQ(PixelAt(dst.get(), 3, 5), White);
  EXPECT_EQ(PixelAt(dst.get(), 13, 14), White);
  auto same = FilledBitmap32(20, 20, White);
  DrawMaskState(same.get(), TPoint{0, 0}, 0, EmptyBackgroundInfo(), &sm, 1, 1, nullptr);
  DrawMaskState(same.get(), TPoint{0, 0}, 0, EmptyBackgroundInfo(), &sm, -1, 1, nullptr);
  DrawMaskState(same.get(), TPoint{0, 0}, 0, EmptyBackgroundInfo(), nullptr, 0, 1, nullptr);
  EXPECT_EQ(PixelAt(same.get(), 0, 0), White);
}

namespace {

// A frame whose four corners are rounded by key pixels: the corner pixel and its two
// neighbours along the edges.
TsMaskData RoundedMask(int maskType) {
  const int h = maskType == 1 ? 18 : 9;
  auto img = FilledBitmap32(9, h, Green);
  if (maskType == 1)
    for (int y = 9; y < 18; ++y)
      for (int x = 0; x < 9; ++x) SetPixelAt(img.get(), x, y, 0xFF000000u);   // band 0: the picture
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {8, 0}, {7, 0}, {8, 1}, {0, 8}, {1, 8}, {0, 7}, {8, 8}, {7, 8},
                      {8, 7}})
    SetPixelAt(img.get(), x, y, KeyPixel);
  return MaskOver(std::move(img), TRect{0, 0, 9, h}, 1, maskType, dmPaintCentre, 3, 3, 3, 3, 1);
}

// The window rectangle less the rounded corners' pixels.
TOwnedRegion ExpectedRounded(int w, int h) {
  TOwnedRegion r(CreateRectRgn(0, 0, w, h));
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {w - 1, 0}, {w - 2, 0}, {w - 1, 1}, {0, h - 1}, {1, h - 1},
                      {0, h - 2}, {w - 1, h - 1}, {w - 2, h - 1}, {w - 1, h - 2}}) {
    TOwnedRegion px(CreateRectRgn(x, y, x + 1, y + 1));
    CombineRgn(r.Get(), r.Get(), px.Get(), RGN_DIFF);
  }
  return r;
}

}  // namespace

TEST(SkinMaskRegion, KeyCornersCutTheExactShape) {
  for (int type : {0, 1}) {
    SCOPED_TRACE(type);
    TsMaskData mask = RoundedMask(type);
    auto bmp = FilledBitmap32(20, 14, White);
    TOwnedRegion rgn(CreateRectRgn(0, 0, 20, 14));
    ControlRegionFromMask(bmp.get(), rgn.Get(), true, 0, mask, nullptr);
    TOwnedRegion expected = ExpectedRounded(20, 14);
    EXPECT_TRUE(EqualRgn(rgn.Get(), expected.Get()));
    EXPECT_FALSE(PtInRegion(rgn.Get(), 1, 0));
    EXPECT_TRUE(PtInRegion(rgn.Get(), 2, 0));
    EXPECT_TRUE(PtInRegion(rgn.Get(), 1, 1));
    EXPECT_FALSE(PtInRegion(rgn.Get(), 18, 0));
    EXPECT_TRUE(PtInRegion(rgn.Get(), 17, 0));
    // Key pixels are not painted; the rest is (the centre too).
    EXPECT_EQ(PixelAt(bmp.get(), 0, 0), White);
    EXPECT_EQ(PixelAt(bmp.get(), 2, 0) & 0xFFFFFF, Green & 0xFFFFFF);
    EXPECT_EQ(PixelAt(bmp.get(), 10, 7) & 0xFFFFFF, Green & 0xFFFFFF);
    EXPECT_EQ(PixelAt(bmp.get(), 19, 13), White);
  }
}

TEST(SkinMaskRegion, RefusalsLeaveRegionAndBitmap) {
  TsMaskData mask = RoundedMask(0);
  mask.MaskType = -1;   // a band of no rows: nothing to divide by
  auto bmp = FilledBitmap32(20, 14, White);
  TOwnedRegion rgn(CreateRectRgn(0, 0, 20, 14)), full(CreateRectRgn(0, 0, 20, 14));
  ControlRegionFromMask(bmp.get(), rgn.Get(), true, 0, mask, nullptr);
  EXPECT_TRUE(EqualRgn(rgn.Get(), full.Get()));
  EXPECT_EQ(PixelAt(bmp.get(), 5, 0), White);

  TsMaskData ok = RoundedMask(0);
  auto row = FilledBitmap32(20, 1, White);
  ControlRegionFromMask(row.get(), rgn.Get(), true, 0, ok, nullptr);
  EXPECT_TRUE(EqualRgn(rgn.Get(), full.Get()));
  // No image count: the whole image is one frame.
  ok.ImageCount = 0;
  ControlRegionFromMask(bmp.get(), rgn.Get(), true, 3, ok, nullptr);
  TOwnedRegion expected = ExpectedRounded(20, 14);
  EXPECT_TRUE(EqualRgn(rgn.Get(), expected.Get()));
}

TEST(SkinMaskRegion, PieceRunsEndedByRowOrPixel) {
  // One row: key, key, opaque, key, key (to the row's end).
  auto src = FilledBitmap32(5, 2, Green);
  for (int x : {0, 1, 3, 4}) SetPixelAt(src.get(), x, 0, KeyPixel);
  auto dst = FilledBitmap32(10, 4, White);
  TOwnedRegion rgn(CreateRectRgn(0, 0, 10, 4));
  PaintPieceCutRegion(BitmapPixels(dst.get()), 2, 1, BitmapPixels(src.get()), TRect{0, 0, 5, 1}, 0, 0, rgn.Get());
  for (int x : {2, 3, 5, 6}) EXPECT_FALSE(PtInRegion(rgn.Get(), x, 1)) << x;
  EXPECT_TRUE(PtInRegion(rgn.Get(), 4, 1));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 7, 1));
  EXPECT_EQ(PixelAt(dst.get(), 4, 1), Green);
  EXPECT_EQ(PixelAt(dst.get(), 2, 1), White);
  // Without a region every pixel is copied, keys included.
  PaintPieceCutRegion(BitmapPixels(dst.get()), 2, 1, BitmapPixels(src.get()), TRect{0, 0, 5, 1}, 0, 0, nullptr);
  EXPECT_EQ(PixelAt(dst.get(), 2, 1), KeyPixel);
}

namespace {
class TChildGraphic : public TGraphicControl {
public:
  TChildGraphic(TWinControl* parent, TRect r) : TGraphicControl(nullptr) {
    SetParent(parent);
    SetBoundsRect(r);
  }
};
}  // namespace

TEST(SkinMaskPaint, GraphicChildrenClippedOutOfTheDC) {
  if (Application == nullptr) InitForms();
  TForm form(nullptr);
  TChildGraphic shown(&form, TRect{2, 2, 5, 5}), hidden(&form, TRect{6, 6, 8, 8});
  hidden.SetVisible(false);
  for (bool separately : {false, true}) {
    auto bmp = FilledBitmap32(12, 12, White);
    HDC dc = bmp->Canvas()->GetHandle();
    const int saved = SaveDC(dc);
    ExcludeChildControls(dc, &form, 1, 1, separately);
    TOwnedBrush brush(CreateSolidBrush(RGB(0, 0, 255)));
    RECT all{0, 0, 12, 12};
    FillRect(dc, &all, brush.Get());
    RestoreDC(dc, saved);
    EXPECT_EQ(DCPixel(bmp.get(), 3, 3), separately ? 0xFF0000u : 0xFFFFFFu);   // moved by (1, 1)
    EXPECT_EQ(DCPixel(bmp.get(), 2, 2), 0xFF0000u);
    EXPECT_EQ(DCPixel(bmp.get(), 6, 6), 0xFF0000u);   // hidden child not excluded
  }
}
