// A PNG decoder target in plain memory, shared by the PNG tests, the fuzz target and the
// benchmark: scan lines padded to 32 bits like a device-independent bitmap, top row first,
// and a record of the progress events. Owns its pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/paint/lxPNG.h"

class TPNGMemoryTarget : public TPNGTarget {
public:
  struct TProgressEvent {
    TPNGProgressStage Stage;
    int Percent;
    bool Redraw;
    TRect Rect;
    std::string Message;
  };

  TPNGTargetFormat Format;
  std::size_t Stride = 0;
  std::vector<std::uint8_t> Pixels;
  std::vector<TProgressEvent> Events;
  int FormatCalls = 0;

  void SetFormat(const TPNGTargetFormat& format) override {
    Format = format;
    ++FormatCalls;
    Stride = std::size_t((std::uint64_t(format.Width) * std::uint64_t(format.BitsPerPixel) + 31) / 32 * 4);
    Fill(format.BackgroundColor);
  }

  std::uint8_t* ScanLine(std::uint32_t row) override { return Pixels.data() + Stride * row; }

  void Progress(TPNGProgressStage stage, int percent, bool redraw, const TRect& rect,
                const std::string& message) override {
    Events.push_back({stage, percent, redraw, rect, message});
  }

  // The raw value of pixel (x, y): a palette index for 1, 4 and 8 bits, else the pixel read as
  // an integer with blue in the low byte (alpha in the top byte for 32 bits).
  std::uint32_t Raw(std::uint32_t x, std::uint32_t y) const {
    const std::uint8_t* line = Pixels.data() + Stride * y;
    switch (Format.BitsPerPixel) {
      case 1: return (line[x / 8] >> (7 - x % 8)) & 1;
      case 4: return (x % 2) ? line[x / 2] & 0x0F : line[x / 2] >> 4;
      case 8: return line[x];
      case 24: return line[x * 3] | (line[x * 3 + 1] << 8) | (line[x * 3 + 2] << 16);
      case 32:
        return line[x * 4] | (line[x * 4 + 1] << 8) | (line[x * 4 + 2] << 16) |
               (std::uint32_t(line[x * 4 + 3]) << 24);
      default: return 0;
    }
  }

  // The colour shown at (x, y) as blue | green << 8 | red << 16 (| alpha << 24 for 32 bits);
  // palette pixels outside the palette read as 0.
  std::uint32_t Shown(std::uint32_t x, std::uint32_t y) const {
    const std::uint32_t v = Raw(x, y);
    if (Format.BitsPerPixel > 8) return v;
    if (v >= Format.Palette.size()) return 0;
    const TPaletteColor& e = Format.Palette[v];
    return e.Blue | (e.Green << 8) | (e.Red << 16);
  }

private:
  // The background as the system fills a bitmap: the colour itself, or the nearest palette
  // entry (alpha stays 0 in 32-bit pictures).
  void Fill(TColor color) {
    const unsigned r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    if (Format.BitsPerPixel == 24 || Format.BitsPerPixel == 32) {
      // One pass over the memory: a filled line, appended once per row.
      const std::size_t step = std::size_t(Format.BitsPerPixel / 8);
      std::vector<std::uint8_t> line(Stride, 0);
      for (std::uint32_t x = 0; x < Format.Width; ++x) {
        line[x * step] = std::uint8_t(b);
        line[x * step + 1] = std::uint8_t(g);
        line[x * step + 2] = std::uint8_t(r);
      }
      Pixels.clear();
      Pixels.reserve(Stride * Format.Height);
      for (std::uint32_t y = 0; y < Format.Height; ++y) Pixels.insert(Pixels.end(), line.begin(), line.end());
      return;
    }
    unsigned best = 0, bestDistance = ~0u;
    for (unsigned i = 0; i < Format.Palette.size(); ++i) {
      const TPaletteColor& e = Format.Palette[i];
      const int dr = int(e.Red) - int(r), dg = int(e.Green) - int(g), db = int(e.Blue) - int(b);
      const unsigned d = unsigned(dr * dr + dg * dg + db * db);
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    const int bits = Format.BitsPerPixel;
    std::uint8_t pattern = std::uint8_t(best);
    if (bits == 4) pattern = std::uint8_t((best << 4) | best);
    if (bits == 1) pattern = best ? 0xFF : 0x00;
    Pixels.assign(Stride * Format.Height, pattern);
  }
};
