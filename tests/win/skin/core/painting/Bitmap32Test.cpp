// The framework's bitmaps as cache and work bitmaps: their format, the row views attached to
// them (bottom-up rows, the delta from the scan lines) as GDI reads them back, the refusals of
// small and foreign bitmaps, and background infos turned into the kernels' views.
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

#include <gtest/gtest.h>

#include "skin/paint/win/sBitmap32.h"

TEST(Bitmap32, MadeAsThirtyTwoBitDibSections) {
  auto b = CreateBitmap32(5, 3);
  EXPECT_EQ(b->GetPixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(b->GetHandleType(), TBitmapHandleType::bmDIB);
  EXPECT_EQ(b->GetWidth(), 5);
  EXPECT_EQ(b->GetHeight(), 3);
  EXPECT_NE(b->GetHandle(), nullptr);
  auto none = CreateBitmap32(-4, 2);
  EXPECT_TRUE(none->Empty());

  auto src = std::make_unique<TBitmap>();
  src->SetPixelFormat(TPixelFormat::pf24bit);
  src->SetSize(7, 4);
  src->Canvas()->Brush()->SetColor(clRed);
  src->Canvas()->FillRect(TRect{0, 0, 7, 4});
  auto clone = CloneEmptyBitmap(src.get());
  EXPECT_EQ(clone->GetPixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(clone->GetWidth(), 7);
  EXPECT_EQ(clone->GetHeight(), 4);
  EXPECT_EQ(::GetPixel(clone->Canvas()->GetHandle(), 3, 2) & 0xFFFFFF, 0u);   // nothing copied
  EXPECT_EQ(CloneEmptyBitmap(nullptr), nullptr);
}

TEST(Bitmap32, FastViewWritesWhatGdiReads) {
  auto b = FilledBitmap32(4, 3, 0xFF000000u);
  TlxFast32 f;
  ASSERT_TRUE(AttachFast32(f, b.get()));
  EXPECT_EQ(f.GetWidth(), 4);
  EXPECT_EQ(f.GetHeight(), 3);
  EXPECT_EQ(f.GetDelta(), static_cast<Byte*>(b->ScanLine(1)) - static_cast<Byte*>(b->ScanLine(0)));
  EXPECT_LT(f.GetDelta(), 0);   // bottom-up
  f.SetPixel(2, 1, 0x00112233);    // colour order: red 0x33
  f.SetPixel(0, 2, 0x000000FF);    // pure red
  EXPECT_EQ(DCPixel(b.get(), 2, 1), 0x112233u);
  EXPECT_EQ(DCPixel(b.get(), 0, 2), static_cast<COLORREF>(RGB(255, 0, 0)));
  f.FillRect(TRect{1, 0, 3, 1}, 0x0000FF00);   // pixel order: green
  EXPECT_EQ(DCPixel(b.get(), 1, 0), static_cast<COLORREF>(RGB(0, 255, 0)));
  EXPECT_EQ(DCPixel(b.get(), 3, 0), 0u);
  EXPECT_EQ(PixelAt(b.get(), 2, 0), 0xFF00FF00u);   // alpha forced to 255
}

TEST(Bitmap32, SmallAndForeignBitmapsAreRefused) {
  TlxFast32 f;
  auto row = CreateBitmap32(8, 1);
  EXPECT_FALSE(AttachFast32(f, row.get()));
  EXPECT_EQ(f.GetWidth(), 0);
  EXPECT_FALSE(AttachFast32(f, nullptr));

  auto rgb = std::make_unique<TBitmap>();
  rgb->SetPixelFormat(TPixelFormat::pf24bit);
  rgb->SetSize(4, 4);
  try {
    AttachFast32(f, rgb.get());
    ADD_FAILURE() << "a 24-bit bitmap was attached";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Bitmap format is not supported");
  }
  TlxFastSum32 s;
  auto a = CreateBitmap32(3, 3), narrow = CreateBitmap32(1, 3);
  EXPECT_FALSE(AttachFastSum32(s, a.get(), narrow.get()));
  EXPECT_THROW(AttachFastSum32(s, a.get(), rgb.get()), EAssertionFailed);
}

TEST(Bitmap32, FastSumBlendsBetweenFrameworkBitmaps) {
  auto src = FilledBitmap32(6, 4, 0xFFC8C8C8u);   // 200 in every channel
  auto dst = FilledBitmap32(5, 5, 0x00000000u);
  TlxFastSum32 s;
  ASSERT_TRUE(AttachFastSum32(s, src.get(), dst.get()));
  EXPECT_EQ(s.GetWidth(), 5);
  EXPECT_EQ(s.GetHeight(), 4);
  s.SetAlpha(128);
  s.SetDstRect(TRect{1, 1, 3, 3});
  s.SetSrcRect(TRect{0, 0, 2, 2});
  s.Blend();
  // (0 * 128 + 200 * 127 + 127) >> 8 = 99 in each colour byte; alpha (255) gives 127.
  EXPECT_EQ(PixelAt(dst.get(), 1, 1), 0x7F636363u);
  EXPECT_EQ(PixelAt(dst.get(), 2, 2), 0x7F636363u);
  EXPECT_EQ(PixelAt(dst.get(), 3, 3), 0u);
  EXPECT_EQ(PixelAt(dst.get(), 0, 1), 0u);
}

TEST(Bitmap32, BackgroundInfoAsKernelView) {
  auto b = FilledBitmap32(4, 4, 0xFF102030u);
  TlxPixelBuffer storage;
  const TlxBackgroundView v = BackgroundView(TsBackgroundInfo{b.get(), 3, -2, 0xFF00FF, 1}, storage);
  ASSERT_TRUE(v.HasBitmap());
  EXPECT_EQ(v.X, 3);
  EXPECT_EQ(v.Y, -2);
  EXPECT_EQ(GetPix(*v.Bitmap, 1, 1), 0xFF102030u);

  auto rgb = std::make_unique<TBitmap>();
  rgb->SetPixelFormat(TPixelFormat::pf24bit);
  rgb->SetSize(4, 4);
  const TlxBackgroundView c = BackgroundView(TsBackgroundInfo{rgb.get(), 0, 0, 0x00ABCDEF, 1}, storage);
  EXPECT_FALSE(c.HasBitmap());
  EXPECT_EQ(c.Color, 0x00ABCDEF);
  const TlxBackgroundView e = BackgroundView(EmptyBackgroundInfo(), storage);
  EXPECT_FALSE(e.HasBitmap());
  EXPECT_EQ(e.Color, 0xFF00FF);
}
