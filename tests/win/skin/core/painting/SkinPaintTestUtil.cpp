// Helpers of the painting tests: see SkinPaintTestUtil.h.
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

#include "skin/paint/win/sBitmap32.h"

std::unique_ptr<TBitmap> FilledBitmap32(int w, int h, std::uint32_t pixel) {
  auto b = CreateBitmap32(w, h);
  const TlxPixelBuffer v = BitmapPixels(b.get());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPix(v, x, y, pixel);
  return b;
}

std::uint32_t PixelAt(TBitmap* b, int x, int y) { return GetPix(BitmapPixels(b), x, y); }

void SetPixelAt(TBitmap* b, int x, int y, std::uint32_t pixel) { SetPix(BitmapPixels(b), x, y, pixel); }

COLORREF DCPixel(TBitmap* b, int x, int y) { return ::GetPixel(b->Canvas()->GetHandle(), x, y) & 0xFFFFFF; }

TsMaskData MaskOver(std::unique_ptr<TBitmap> image, TRect r, int imageCount, int maskType, int drawMode, int wl,
                    int wt, int wr, int wb, int cornerType) {
  TsMaskData m;
  m.Bmp = std::move(image);
  m.R = r;
  m.ImageCount = static_cast<std::int16_t>(imageCount);
  m.MaskType = static_cast<std::int16_t>(maskType);
  m.DrawMode = static_cast<std::int16_t>(drawMode);
  m.WL = static_cast<std::int16_t>(wl);
  m.WT = static_cast<std::int16_t>(wt);
  m.WR = static_cast<std::int16_t>(wr);
  m.WB = static_cast<std::int16_t>(wb);
  m.CornerType = static_cast<std::int16_t>(cornerType);
  return m;
}
