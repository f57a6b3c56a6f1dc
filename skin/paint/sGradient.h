// Gradients of section fills: the gradient description string of a skin ("GRADIENTDATA"), its
// parsed stops, and the vertical and horizontal band fills and the one-pass gradient with
// texture, painted into 32-bit pixel buffers. Owns nothing; window-free. The triangle mesh
// (mode 2) is drawn by the system's GradientFill, installed from win/.
#pragma once

#include <string>
#include <vector>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

// One stop: two colours (colour order), its share of the extent in percent and the mode; the
// first stop's mode decides the kind of the whole gradient.
struct TsGradientStop {
  TColor Color1 = 0;
  TColor Color2 = 0;
  int Percent = 0;
  int Mode = 0;
  friend bool operator==(const TsGradientStop&, const TsGradientStop&) = default;
};
using TsGradientArray = std::vector<TsGradientStop>;

constexpr int gmVertical = 0, gmHorizontal = 1, gmTriangles = 2;

// Words separated by ";" in groups of five (colour 1; colour 2; percent; mode; unused); a
// trailing incomplete group is ignored. Colours below 0 become 0, the percent is limited to
// 0..100. A word of the first four that is not an integer raises EConvertError. The array is
// emptied first.
void ParseGradientData(const std::string& text, TsGradientArray& stops);

// The triangle mesh painted by the window system into r (already clipped to b), alpha 255. The
// GDI layer installs its painter at start-up; without one a mesh paints nothing.
using TlxGradientMeshProc = void (*)(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops);
void SetGradientMeshProc(TlxGradientMeshProc proc);

// Paints a gradient into the rectangle (clipped), alpha 255: vertical and horizontal bands here,
// the triangle mesh through the installed mesh painter; other modes paint nothing. offset: rows
// of the same gradient above the rectangle (a piece of a taller vertical gradient).
void PaintGradient(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops, int offset);

// Gradient (vertical or horizontal) and a tiled texture in one pass: each pixel mixes the
// gradient with the texture pixel, the texture weighted by alpha; alpha 255. An empty
// texture rectangle means the whole texture.
void PaintGradientPattern(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops, Byte alpha,
                          const TRect& texRect, const TlxPixelBuffer& texture);
