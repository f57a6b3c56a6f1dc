// Chief unit of the painting layer: the window-free pixel buffer every kernel works on, the
// fast row-pointer views TlxFast32 and TlxFastSum32, colour/pixel byte-order conversion, the
// solid and alpha fills of rectangles and the disabled look of control images.
// Owns nothing but TlxImageBuffer's pixel memory; every other routine borrows the caller's
// buffers. Window-free: the GDI side (DIB sections, DCs, layered windows) lives in win/.
//
// Pixel order: a 32-bit pixel read as an integer holds blue in the low byte, then green, red,
// alpha. A colour (TColor) holds red in the low byte. The key colour 0xFF00FF reads 0x00FF00FF
// as a pixel with alpha 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"

// Raised when a bitmap of a pixel format the kernels cannot read is attached.
ORBEX_EXCEPTION(EAssertionFailed, Exception);

constexpr TColor clKeyColor = 0xFF00FF;       // colour order
constexpr std::uint32_t KeyPixel = 0x00FF00FFu; // the key as a pixel, alpha 0
constexpr TColor clNoneTint = 0x1FFFFFFF;      // the framework's "no colour" value

// The vector lanes a fast kernel may use: the widest this processor has (256-bit AVX2 where
// the processor and the system support it), or the 128-bit SSE2 lanes every target has.
enum class TlxLanes { Widest, Sse2 };

// A borrowed view of pixel memory: row y starts at Bits + y * Stride. Stride is negative for
// bottom-up DIBs. BytesPerPixel is 4 for the engine's bitmaps, 3 for 24-bit sources that some
// routines read, 1 for 8-bit masks.
struct TlxPixelBuffer {
  Byte* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t Stride = 0;
  int BytesPerPixel = 4;

  Byte* Row(int y) const { return Bits + static_cast<std::ptrdiff_t>(y) * Stride; }
  Byte* At(int x, int y) const { return Row(y) + static_cast<std::ptrdiff_t>(x) * BytesPerPixel; }
  bool Empty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
  TRect BoundsRect() const { return TRect{0, 0, Width, Height}; }
};

// Unaligned-safe pixel access (DIB rows are aligned, but views into foreign memory need not be).
inline std::uint32_t LoadPixel(const Byte* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void StorePixel(Byte* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
inline std::uint32_t GetPix(const TlxPixelBuffer& b, int x, int y) { return LoadPixel(b.At(x, y)); }
inline void SetPix(const TlxPixelBuffer& b, int x, int y, std::uint32_t v) { StorePixel(b.At(x, y), v); }

// Owns pixel memory laid out like a top-down DIB (rows padded to 4 bytes). Used for work
// bitmaps of the kernels and by tests; the cache bitmaps themselves are DIB sections.
class TlxImageBuffer {
public:
  TlxImageBuffer() = default;
  TlxImageBuffer(int width, int height, int bytesPerPixel = 4) { SetSize(width, height, bytesPerPixel); }
  // Sizes below 0 count as 0; the contents are zeroed.
  void SetSize(int width, int height, int bytesPerPixel = 4);
  // As SetSize for a caller that writes every pixel next: only the padding at the rows' ends
  // is zeroed (a full-screen result is not cleared just to be overwritten).
  void SetSizeForOverwrite(int width, int height, int bytesPerPixel = 4);
  const TlxPixelBuffer& View() const { return FView; }
  int GetWidth() const { return FView.Width; }
  int GetHeight() const { return FView.Height; }

private:
  void Reshape(int width, int height, int bytesPerPixel);
  std::unique_ptr<Byte[]> FData;  // movable, not copyable: the view points into it
  std::size_t FBytes = 0;
  TlxPixelBuffer FView;
};

// Exchanges the red and blue bytes: colour order <-> pixel order, both ways.
constexpr std::uint32_t SwapRB(std::uint32_t v) {
  return (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
}
constexpr std::uint32_t ReverseColorBytes(std::uint32_t v) { return SwapRB(v); }

// Coordinates the kernels work with: far beyond any bitmap, yet small enough that sums of a
// few of them never overflow. Rectangles and points from skin data outside this range paint
// nothing.
constexpr int lxMaxCoord = 1 << 28;
// Largest work bitmap a kernel makes for one call (pixels); larger requests paint nothing.
constexpr long long lxMaxWorkPixels = 1LL << 25;
constexpr bool SaneCoord(long long v) { return v >= -lxMaxCoord && v <= lxMaxCoord; }
constexpr bool SaneRect(const TRect& r) {
  return SaneCoord(r.Left) && SaneCoord(r.Top) && SaneCoord(r.Right) && SaneCoord(r.Bottom);
}
constexpr bool SanePoint(const TPoint& p) { return SaneCoord(p.X) && SaneCoord(p.Y); }

// Limits a rectangle to a buffer; empty (0,0,0,0 after normalising) when nothing is left.
TRect ClipRectTo(const TRect& r, const TlxPixelBuffer& b);
// The same, limited to `clip` as well.
TRect ClipRectTo(const TRect& r, const TlxPixelBuffer& b, const TRect& clip);

// Stores value count times (nothing for count <= 0).
void FillDWords(Byte* start, int count, std::uint32_t value);

// Direct row access to one 32-bit buffer. Unchecked per pixel: callers clip to GetWidth() and
// GetHeight() first.
class TlxFast32 {
public:
  // false (and width cleared) for fewer than 2 rows or 1 column; raises EAssertionFailed
  // "Bitmap format is not supported" for a buffer that is not 32-bit.
  bool Attach(const TlxPixelBuffer& b);
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  std::ptrdiff_t GetDelta() const { return FDelta; }
  Byte* GetStart() const { return FStart; }
  // Colour values with alpha on top (red and blue exchanged from memory order).
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);
  // Fills with c (pixel order) with alpha forced to 255; clipped to the attached buffer.
  void FillRect(const TRect& r, std::uint32_t c);

private:
  TlxPixelBuffer FBuffer;
  int FWidth = 0;
  int FHeight = 0;
  std::ptrdiff_t FDelta = 0;
  Byte* FStart = nullptr;
};

// A source and a destination attached together for constant-alpha blends.
class TlxFastSum32 {
public:
  // false when either buffer is narrower or lower than 2 pixels; raises EAssertionFailed for
  // a buffer that is not 32-bit.
  bool Attach(const TlxPixelBuffer& src, const TlxPixelBuffer& dst);
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  Byte GetAlpha() const { return FAlpha; }
  void SetAlpha(Byte a) { FAlpha = a; }
  void SetDstRect(const TRect& r) { FDstRect = r; }
  void SetSrcRect(const TRect& r) { FSrcRect = r; }
  const TRect& GetDstRect() const { return FDstRect; }
  const TRect& GetSrcRect() const { return FSrcRect; }
  // dst = (dst * alpha + src * (255 - alpha) + 127) >> 8 on every byte of the destination
  // rectangle, source from the source rectangle's matching place. The rectangles are limited
  // to both buffers here too, so a caller's slip cannot write outside.
  void Blend();

private:
  TlxPixelBuffer FSrc;
  TlxPixelBuffer FDst;
  int FWidth = 0;
  int FHeight = 0;
  Byte FAlpha = 0;
  TRect FDstRect;
  TRect FSrcRect;
};

// The constant-alpha blend behind TlxFastSum32.Blend: w x h pixels from src at (sx, sy) onto
// dst at (dx, dy); the caller has clipped. Ref is the plain formula; Fast uses SIMD lanes where
// available; BlendConst picks Fast unless ORBEX_NO_FAST_PIXELS.
void BlendConstRef(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, int sx,
                   int sy, int w, int h, Byte alpha);
void BlendConstFast(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, int sx,
                    int sy, int w, int h, Byte alpha);
void BlendConst(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, int sx,
                int sy, int w, int h, Byte alpha);

// Fills a rectangle with a colour (colour order), alpha 255; clipped. A buffer of one row is
// filled along that row.
void FillRectOpaque(const TlxPixelBuffer& b, const TRect& r, TColor c);
// Four strips in the order top, left, bottom, right.
void FillFrameOpaque(const TlxPixelBuffer& b, const TRect& r, int leftWidth, TColor c,
                     int bottomWidth, int rightWidth, int topWidth);
// Sets the alpha byte of every pixel of the rectangle (clipped); with skipKey the pixels equal
// to 0x00FF00FF keep theirs.
void SetRectAlpha(const TlxPixelBuffer& b, const TRect& r, Byte alpha, bool skipKey);
// Mixes an RGB colour (colour order) into the half-open rectangle: each channel becomes
// round(p * old + (1 - p) * colour) with p = percent / 100; alpha unchanged.
void BlendColorIntoRect(const TlxPixelBuffer& b, const TRect& r, int percent, TColor c);

// What lies behind a painted area, window-free: a buffer with the area's origin (X, Y) in it,
// or a colour (RGB, 0xFF00FF for none) when Bitmap is nil.
struct TlxBackgroundView {
  const TlxPixelBuffer* Bitmap = nullptr;
  int X = 0;
  int Y = 0;
  TColor Color = clKeyColor;
  bool HasBitmap() const { return Bitmap != nullptr && !Bitmap->Empty(); }
};

// Disabled kinds of skinned controls (the flag bits of MakeDisabledLook).
constexpr int dkBlended = 1;
constexpr int dkGrayed = 2;

// Gives a control image its disabled look: flag dkGrayed greys every non-key pixel; flag
// dkBlended then mixes in the background: the parent piece under the image (moved by the
// view's X, Y plus offset) is blended onto the non-key pixels, the image keeping 40 percent;
// or 50 percent of the background colour (controlColor when the view's colour is 0xFF00FF).
void MakeDisabledLook(const TlxPixelBuffer& b, int flags, TPoint offset, const TlxBackgroundView& bg,
                      TColor controlColor);
