// Gradients of section fills (see sGradient.h).
#include "skin/paint/sGradient.h"

#include <algorithm>
#include <atomic>
#include <cmath>

void ParseGradientData(const std::string& text, TsGradientArray& stops) {
  stops.clear();
  // Words as the skin text gives them; empty words between separators are not counted.
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t next = text.find(';', pos);
    if (next == std::string::npos) next = text.size();
    if (next > pos) words.push_back(text.substr(pos, next - pos));
    pos = next + 1;
  }
  const std::size_t count = words.size() / 5;
  stops.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    TsGradientStop s;
    s.Color1 = std::max(StrToInt(words[i * 5]), 0);
    s.Color2 = std::max(StrToInt(words[i * 5 + 1]), 0);
    s.Percent = std::clamp(StrToInt(words[i * 5 + 2]), 0, 100);
    s.Mode = StrToInt(words[i * 5 + 3]);
    stops.push_back(s);
  }
}

// Pixel (alpha 255) of step k of a stop spanning `span` steps.
static std::uint32_t StopPixel(const TsGradientStop& s, int k, int span) {
  const std::uint32_t a = static_cast<std::uint32_t>(s.Color1), b = static_cast<std::uint32_t>(s.Color2);
  if (a == b || span <= 0) return SwapRB(a & 0xFFFFFF) | 0xFF000000u;
  std::uint32_t out = 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    const int ca = (a >> sh) & 0xFF, cb = (b >> sh) & 0xFF;
    const double step = static_cast<double>(cb - ca) / span;
    const long v = std::clamp<long>(std::lrint(ca + step * k), 0, 255);
    out |= static_cast<std::uint32_t>(v) << sh;
  }
  return SwapRB(out);
}

// The colour of every position 0..n-1 along the gradient's direction. `lead` positions of the
// same gradient lie before position 0 (vertical offset).
static std::vector<std::uint32_t> GradientLine(const TsGradientArray& stops, int n, int lead, bool vertical) {
  std::vector<std::uint32_t> line(static_cast<std::size_t>(n), 0);
  std::vector<bool> set(static_cast<std::size_t>(n), false);
  int start = -lead;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    const TsGradientStop& s = stops[i];
    int end;
    if (vertical) end = static_cast<int>((static_cast<long long>(lead) + n) * s.Percent / 100) + start;
    else end = static_cast<int>(std::lrint(s.Percent * static_cast<double>(n) / 100.0 + start));
    end = std::min(end, n - 1);
    if (i + 1 == stops.size()) end = n - 1;
    if (end > start) {
      // Rows start..end inclusive; the shared end row is overwritten by the next stop.
      for (int p = std::max(start, 0); p <= end; ++p) {
        line[static_cast<std::size_t>(p)] = StopPixel(s, p - start, end - start);
        set[static_cast<std::size_t>(p)] = true;
      }
      start = end;
    }
  }
  for (std::size_t p = 0; p < line.size(); ++p)
    if (!set[p]) line[p] = 0;  // marks positions no stop reached (kept as they are)
  return line;
}

static std::atomic<TlxGradientMeshProc> GradientMeshProc{nullptr};

void SetGradientMeshProc(TlxGradientMeshProc proc) { GradientMeshProc.store(proc); }

void PaintGradient(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops, int offset) {
  if (b.Empty() || b.BytesPerPixel != 4 || stops.empty()) return;
  const TRect k = ClipRectTo(r, b);
  if (k.IsEmpty()) return;
  const int mode = stops[0].Mode;
  if (mode == gmVertical) {
    const std::vector<std::uint32_t> line = GradientLine(stops, k.Height(), std::max(offset, 0), true);
    for (int y = 0; y < k.Height(); ++y)
      if (line[static_cast<std::size_t>(y)] != 0) FillDWords(b.At(k.Left, k.Top + y), k.Width(), line[static_cast<std::size_t>(y)]);
  } else if (mode == gmHorizontal) {
    const std::vector<std::uint32_t> line = GradientLine(stops, k.Width(), 0, false);
    for (int x = 0; x < k.Width(); ++x)
      if (line[static_cast<std::size_t>(x)] != 0) SetPix(b, k.Left + x, k.Top, line[static_cast<std::size_t>(x)]);
    // The top row is computed once and copied down.
    for (int y = k.Top + 1; y < k.Bottom; ++y)
      std::copy_n(b.At(k.Left, k.Top), static_cast<std::size_t>(k.Width()) * 4, b.At(k.Left, y));
  } else if (mode == gmTriangles) {
    if (const TlxGradientMeshProc proc = GradientMeshProc.load()) proc(b, k, stops);
  }
}

static inline std::uint32_t MixTexture(std::uint32_t grad, std::uint32_t tex, unsigned alpha) {
  std::uint32_t out = 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    const unsigned g = (grad >> sh) & 0xFF, t = (tex >> sh) & 0xFF;
    out |= ((t * alpha + g * (255u - alpha) + 127u) >> 8) << sh;
  }
  return out;
}

void PaintGradientPattern(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops, Byte alpha,
                          const TRect& texRect, const TlxPixelBuffer& texture) {
  if (b.Empty() || b.BytesPerPixel != 4 || stops.empty() || texture.Empty() || texture.BytesPerPixel != 4) return;
  const int mode = stops[0].Mode;
  if (mode != gmVertical && mode != gmHorizontal) return;
  const TRect k = ClipRectTo(r, b);
  if (k.IsEmpty()) return;
  const TRect t = ClipRectTo(texRect.IsEmpty() ? texture.BoundsRect() : texRect, texture);
  if (t.IsEmpty()) return;
  const int tw = t.Width(), th = t.Height();
  const bool horizontal = mode == gmHorizontal;
  const std::vector<std::uint32_t> line =
      GradientLine(stops, horizontal ? k.Width() : k.Height(), 0, !horizontal);
  auto grad = [&](int x, int y) {
    const std::uint32_t v = line[static_cast<std::size_t>(horizontal ? x : y)];
    return v != 0 ? v : 0xFF000000u;
  };
  auto tex = [&](int x, int y) { return GetPix(texture, t.Left + x % tw, t.Top + y % th); };
  if (horizontal) {
    // One texture period of rows, then copied downward period by period.
    const int period = std::min(th, k.Height());
    for (int y = 0; y < period; ++y)
      for (int x = 0; x < k.Width(); ++x) SetPix(b, k.Left + x, k.Top + y, MixTexture(grad(x, y), tex(x, y), alpha));
    for (int y = period; y < k.Height(); ++y)
      std::copy_n(b.At(k.Left, k.Top + y - period), static_cast<std::size_t>(k.Width()) * 4, b.At(k.Left, k.Top + y));
  } else {
    const int period = std::min(tw, k.Width());
    for (int y = 0; y < k.Height(); ++y) {
      for (int x = 0; x < period; ++x) SetPix(b, k.Left + x, k.Top + y, MixTexture(grad(x, y), tex(x, y), alpha));
      for (int x = period; x < k.Width(); ++x) SetPix(b, k.Left + x, k.Top + y, GetPix(b, k.Left + x - period, k.Top + y));
    }
  }
}
