// Painting that must give the system's own results under the real (or Wine's) GDI: stretched
// textures and mask sides equal to StretchBlt pixel for pixel, a bottom-rounded window region
// cut from a mask's corner runs, and the kernels over the framework's bitmaps reading sources
// of other formats.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>

#include "skin/paint/sTextures.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"
#include "skin/paint/win/sDibSection.h"
#include "skin/paint/win/sMaskRegion.h"

namespace {

class PaintSystem : public testing::Test {
protected:
  static void SetUpTestSuite() { InitAlphaGraphUnit(); }
  static void TearDownTestSuite() { DoneAlphaGraphUnit(); }
};

TlxDibSection RandomImage(int w, int h, unsigned seed) {
  TlxDibSection img(w, h);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPix(img.View(), x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
  return img;
}

// StretchBlt (COLORONCOLOR) of piece s of src onto a new w x h DIB section.
TlxDibSection SystemStretch(const TlxDibSection& src, const TRect& s, int w, int h) {
  TlxDibSection out(w, h);
  TMemoryDC from(nullptr, src.GetHandle()), to(nullptr, out.GetHandle());
  SetStretchBltMode(to.Get(), COLORONCOLOR);
  StretchBlt(to.Get(), 0, 0, w, h, from.Get(), s.Left, s.Top, s.Width(), s.Height(), SRCCOPY);
  GdiFlush();
  return out;
}

// Every pixel of dst inside `painted` equals ref at (x - ox, y - oy); every other pixel is 0.
int Mismatches(const TlxDibSection& dst, const TRect& painted, const TlxDibSection& ref, int ox, int oy) {
  int bad = 0;
  for (int y = 0; y < dst.View().Height; ++y)
    for (int x = 0; x < dst.View().Width; ++x) {
      const bool in = x >= painted.Left && x < painted.Right && y >= painted.Top && y < painted.Bottom;
      bad += GetPix(dst.View(), x, y) != (in ? GetPix(ref.View(), x - ox, y - oy) : 0u);
    }
  return bad;
}

TEST_F(PaintSystem, StretchedTexturesEqualStretchBlt) {
  const TlxDibSection img = RandomImage(16, 12, 7);
  const int pieces[][2] = {{1, 1}, {3, 2}, {7, 5}, {11, 9}};
  int samples = 0;
  for (const auto& p : pieces)
    for (int dw : {1, 2, 5, 8, 13, 21})
      for (int dh : {1, 3, 6, 10, 17})
        for (int mode : {1, 4, 5})
          for (const TPoint o : {TPoint{4, 5}, TPoint{-3, -2}}) {
            const int sw = p[0], sh = p[1];
            TlxMaskImage m;
            m.Image = img.View();
            m.SrcRect = TRect{2, 1, 2 + sw, 1 + sh};
            TlxDibSection dst(30, 30);
            TRect r{o.X, o.Y, o.X + dw, o.Y + dh};
            PaintTextureByMode(dst.View(), r, nullptr, mode, m);
            // Mode 4 keeps the natural height, mode 5 the natural width, cropped to the rectangle.
            const int rw = mode == 5 ? sw : dw, rh = mode == 4 ? sh : dh;
            const TlxDibSection ref = SystemStretch(img, m.SrcRect, rw, rh);
            const TRect painted{std::max(o.X, 0), std::max(o.Y, 0), o.X + std::min(rw, dw), o.Y + std::min(rh, dh)};
            ASSERT_EQ(Mismatches(dst, painted, ref, o.X, o.Y), 0)
                << "mode " << mode << " " << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << o.X;
            ++samples;
          }
  EXPECT_EQ(samples, 4 * 6 * 5 * 3 * 2);
}

TEST_F(PaintSystem, StretchedMaskSidesEqualStretchBlt) {
  const TlxDibSection img = RandomImage(9, 9, 11);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 9, 9};
  m.DrawMode = dmStretch | dmPaintCentre;
  m.WL = m.WT = m.WR = m.WB = 3;
  for (int w : {7, 8, 16, 31})
    for (int h : {7, 9, 20}) {
      TlxDibSection dst(w, h);
      PaintMaskFrame(dst.View(), TRect{0, 0, w, h}, false, 0, m, TlxBackgroundView{});
      // The top side and the centre, each the system's stretch of its piece.
      const TlxDibSection top = SystemStretch(img, TRect{3, 0, 6, 3}, w - 6, 3);
      const TlxDibSection centre = SystemStretch(img, TRect{3, 3, 6, 6}, w - 6, h - 6);
      int bad = 0;
      for (int y = 0; y < h - 3; ++y)
        for (int x = 3; x < w - 3; ++x)
          bad += GetPix(dst.View(), x, y) != (y < 3 ? GetPix(top.View(), x - 3, y) : GetPix(centre.View(), x - 3, y - 3));
      EXPECT_EQ(bad, 0) << w << "x" << h;
    }
}

TEST_F(PaintSystem, BottomRoundedWindowRegion) {
  // A banded mask (type 1): a 12 x 6 frame over a 12 x 12 rectangle, bottom width 2. Its bottom
  // corner rows are frame rows 4 and 5: the window's last two rows.
  TlxDibSection img(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) SetPix(img.View(), x, y, 0xFF808080u);
  SetPix(img.View(), 0, 5, KeyPixel);
  SetPix(img.View(), 1, 5, KeyPixel);
  SetPix(img.View(), 0, 4, KeyPixel);
  SetPix(img.View(), 11, 5, KeyPixel);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 12, 12};
  m.MaskType = 1;
  m.WL = m.WT = m.WR = 3;
  m.WB = 2;
  HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  TOwnedRegion rgn = WindowRegionFromMask(100, 50, m);
  ASSERT_TRUE(rgn);
  ASSERT_NE(SetWindowRgn(wnd, rgn.Release(), FALSE), 0);
  TOwnedRegion got(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(wnd, got.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(got.Get(), 0, 49));
  EXPECT_FALSE(PtInRegion(got.Get(), 1, 49));
  EXPECT_FALSE(PtInRegion(got.Get(), 0, 48));
  EXPECT_FALSE(PtInRegion(got.Get(), 99, 49));
  EXPECT_TRUE(PtInRegion(got.Get(), 1, 48));
  EXPECT_TRUE(PtInRegion(got.Get(), 2, 49));
  EXPECT_TRUE(PtInRegion(got.Get(), 0, 47));
  EXPECT_TRUE(PtInRegion(got.Get(), 0, 0));
  DestroyWindow(wnd);
}

// A 24-bit bitmap of w x h, every pixel `rgb` (colour bytes in memory order, blue first).
std::unique_ptr<TBitmap> Bitmap24(int w, int h, std::uint32_t rgb) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf24bit);
  b->SetSize(w, h);
  const TlxPixelBuffer v = BitmapPixels(b.get());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Byte* p = v.At(x, y);
      p[0] = rgb & 0xFF;
      p[1] = (rgb >> 8) & 0xFF;
      p[2] = (rgb >> 16) & 0xFF;
    }
  return b;
}

TEST_F(PaintSystem, FrameworkBitmapKernelsRead24BitSources) {
  auto src = Bitmap24(2, 2, 0x6496C8);
  Byte* key = BitmapPixels(src.get()).At(1, 1);
  key[0] = 0xFF; key[1] = 0x00; key[2] = 0xFF;
  // The image copy sets its source to 32 bits, opaque but for the key colour.
  auto dst = CreateBitmap32(3, 3);
  CopyWithAlpha(TRect{0, 0, 2, 2}, TRect{0, 0, 2, 2}, dst.get(), false, 0, clNoneTint, false, TsBackgroundInfo{},
                src.get());
  EXPECT_EQ(src->GetPixelFormat(), TPixelFormat::pf32bit);
  // Weight 255 over 0: (c * 255) >> 8 per channel; the destination's alpha stays.
  EXPECT_EQ(GetPix(BitmapPixels(dst.get()), 0, 0), 0x006395C7u);
  EXPECT_EQ(GetPix(BitmapPixels(dst.get()), 1, 1), 0u);  // the key pixel weighs nothing
  // The keyed copy reads a 24-bit source as three bytes.
  auto src24 = Bitmap24(2, 1, 0x123456);
  Byte* k24 = BitmapPixels(src24.get()).At(0, 0);
  k24[0] = 0xFF; k24[1] = 0x00; k24[2] = 0xFF;
  auto d2 = CreateBitmap32(2, 1);
  CopyBitmapKeyed(d2.get(), src24.get(), 0, clKeyColor, 0);
  EXPECT_EQ(src24->GetPixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(GetPix(BitmapPixels(d2.get()), 0, 0), 0u);
  EXPECT_EQ(GetPix(BitmapPixels(d2.get()), 1, 0), 0xFF123456u);
  // A destination that is not 32-bit is refused.
  auto rgbDst = Bitmap24(2, 2, 0);
  EXPECT_THROW(BlendBitmapsFast(rgbDst.get(), dst.get(), 0), EAssertionFailed);
}

TEST_F(PaintSystem, SmoothStretchOfFrameworkBitmaps) {
  auto src = Bitmap24(4, 4, 0x102030);
  BitmapPixels(src.get()).At(3, 3)[0] = 0x77;
  TBitmap dst;
  SmoothStretch(src.get(), &dst, 8, 8, 0);  // box filter, enlarged: every sample one source pixel
  EXPECT_EQ(dst.GetPixelFormat(), TPixelFormat::pf24bit);
  ASSERT_EQ(dst.GetWidth(), 8);
  ASSERT_EQ(dst.GetHeight(), 8);
  EXPECT_EQ(BitmapPixels(&dst).At(0, 0)[0], 0x30);
  EXPECT_EQ(BitmapPixels(&dst).At(7, 7)[0], 0x77);
  auto src32 = CreateBitmap32(3, 3);
  SmoothStretch(src32.get(), &dst, 3, 3, 6);  // the same size: a copy, in the source's format
  EXPECT_EQ(dst.GetPixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(dst.GetWidth(), 3);
  auto tiny = Bitmap24(1, 4, 0);
  EXPECT_THROW(SmoothStretch(tiny.get(), &dst, 5, 5, 6), Exception);
}

}  // namespace
