// skinpreview: draws a skin (a folder holding "Options.dat", or a packed ".tez") into one
// contact-sheet PNG, for looking at a skin without the program: every section's fill per state
// with its text colour; every frame mask in each state at its natural size and stretched; every
// texture tiled; every glyph (region masks) at its natural size and enlarged; all labelled.
// The skin is read by the engine's own loaders and painted by its window-free kernels, so the
// sheet shows what the engine makes of the skin.
//
//   skinpreview <skin folder | file.tez> <output.png>
//
// Exit code 0, or 1 with a message when the skin cannot be read or the PNG not written.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "framework/base/SysUtils.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sSkinImages.h"
#include "skin/core/sSkinLoader.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sSectionFill.h"
#include "tools/skinpreview/TinyFont.h"

namespace {

constexpr int kSheetWidth = 1200;
constexpr int kMaxSheetHeight = 12000;
constexpr int kMargin = 16;
constexpr std::uint32_t kPaper = 0xFF8A8F96;   // neutral grey between the two skins' worlds
constexpr std::uint32_t kInk = 0xFF000000;

std::uint32_t Pixel(TColor rgb) { return SwapRB(static_cast<std::uint32_t>(rgb) & 0xFFFFFF) | 0xFF000000u; }

// ---- the sheet ----------------------------------------------------------------------------

class TSheet {
public:
  TSheet() : FImage(kSheetWidth, kMaxSheetHeight, 4) { Fill(TRect{0, 0, kSheetWidth, kMaxSheetHeight}, kPaper); }
  const TlxPixelBuffer& View() const { return FImage.View(); }

  void Fill(const TRect& r, std::uint32_t px) const {
    const TRect c = ClipRectTo(r, View());
    for (int y = c.Top; y < c.Bottom; ++y)
      for (int x = c.Left; x < c.Right; ++x) SetPix(View(), x, y, px);
  }
  void Outline(const TRect& r, std::uint32_t px) const {
    Fill(TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Top}, px);
    Fill(TRect{r.Left - 1, r.Bottom, r.Right + 1, r.Bottom + 1}, px);
    Fill(TRect{r.Left - 1, r.Top, r.Left, r.Bottom}, px);
    Fill(TRect{r.Right, r.Top, r.Right + 1, r.Bottom}, px);
  }
  // Text in the tiny font; returns the width drawn.
  int Text(int x, int y, const std::string& s, std::uint32_t px, int scale = 1) const {
    int cx = x;
    for (char c : s) {
      if (const std::uint8_t* g = TinyGlyph(c)) {
        for (int row = 0; row < TinyGlyphHeight; ++row)
          for (int col = 0; col < TinyGlyphWidth; ++col)
            if (g[row] & (0x10 >> col))
              Fill(TRect{cx + col * scale, y + row * scale, cx + (col + 1) * scale, y + (row + 1) * scale}, px);
      }
      cx += TinyAdvance * scale;
    }
    return cx - x;
  }
  void UseHeight(int bottom) { FUsed = std::max(FUsed, bottom); }
  int Used() const { return FUsed; }

private:
  TlxImageBuffer FImage;
  int FUsed = 0;
};

// A flow of blocks, left to right, wrapping at the sheet's width.
struct TFlow {
  int X = kMargin, Y = 0, RowHeight = 0;
  TPoint Place(int w, int h) {
    if (X + w > kSheetWidth - kMargin && X > kMargin) {
      X = kMargin;
      Y += RowHeight + 12;
      RowHeight = 0;
    }
    TPoint p{X, Y};
    X += w + 18;
    RowHeight = std::max(RowHeight, h);
    return p;
  }
  int Bottom() const { return Y + RowHeight; }
};

// ---- the skin as the kernels read it --------------------------------------------------------

struct TSkinView {
  const TsSkinTables* Tables = nullptr;
  TlxPixelBuffer Master;
  TsPixelImageHost* Host = nullptr;
  TColor Window = 0;          // GLOBALINFO's colour: what controls sit on
};

TlxMaskImage MaskImage(const TSkinView& v, const TsMaskData& m) {
  const TlxPixelBuffer own = v.Host->Pixels(m.Bmp.get());
  return MaskImageOf(m, !own.Empty(), own.Empty() ? v.Master : own);
}

const TsMaskData* MaskAt(const TSkinView& v, int i) {
  return MaskIndexInRange(v.Tables, i) ? &v.Tables->MaskData[static_cast<size_t>(i)] : nullptr;
}

// One state of a section as the fill kernel reads it (colour, see-through share, gradient,
// texture); `texture` keeps the texture view alive.
TlxSectionState SectionState(const TSkinView& v, const TsGeneralData& g, int state, TlxMaskImage& texture) {
  const TsGenState& s = g.Props[state > 0 && g.States > 1 ? 1 : 0];
  TlxSectionState out;
  out.Color = s.Color & 0xFFFFFF;
  out.Transparency = std::clamp(s.Transparency, 0, 100);
  if (out.Transparency != 100) {
    out.GradientPercent = std::clamp(s.GradientPercent, 0, 100);
    out.ImagePercent = std::clamp(s.ImagePercent, 0, 100);
  }
  if (out.GradientPercent > 0) out.Gradient = s.GradientArray;
  if (out.ImagePercent > 0) {
    if (const TsMaskData* m = MaskAt(v, g.TextureIndex)) {
      texture = MaskImage(v, *m);
      out.Texture = &texture;
    }
  }
  return out;
}

// The section's fill for a state over GLOBALINFO's colour, then (withFrame) its border mask.
void PaintSection(const TSheet& sheet, const TSkinView& v, const TsGeneralData& g, int state, const TRect& r,
                  bool withFrame = true) {
  sheet.Fill(r, Pixel(v.Window));
  TlxMaskImage texture;
  const TlxSectionState s = SectionState(v, g, state, texture);
  TlxBackgroundView bg;
  bg.Color = v.Window;
  PaintSectionFill(sheet.View(), r, s, bg, TPoint{r.Left, r.Top});
  if (!withFrame) return;
  if (const TsMaskData* m = MaskAt(v, g.BorderIndex)) PaintMaskFrame(sheet.View(), r, true, state, MaskImage(v, *m), bg);
}

std::string Hex6(TColor c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(SwapRB(static_cast<std::uint32_t>(c) & 0xFFFFFF)));
  return buf;   // RRGGBB
}

// ---- the three parts of the sheet -------------------------------------------------------------

// Sections: per state a swatch with the fill, the frame and a line of text in the state's font
// colour, the fill colour and font colour written under it.
int DrawSections(TSheet& sheet, const TSkinView& v, int top) {
  sheet.Text(kMargin, top, "SECTIONS: FILL AND FRAME PER STATE, TEXT IN THE STATE'S FONT COLOUR", kInk, 2);
  TFlow flow;
  flow.Y = top + 26;
  constexpr int kW = 104, kH = 36;
  for (const TsGeneralData& g : v.Tables->GeneralData) {
    const int states = std::clamp(g.States, 1, 3);
    const TPoint p = flow.Place(states * (kW + 8), kH + 34);
    sheet.Text(p.X, p.Y, g.ClassName + (g.ParentClass.empty() ? "" : " < " + g.ParentClass), kInk);
    for (int s = 0; s < states; ++s) {
      const TRect r{p.X + s * (kW + 8), p.Y + 10, p.X + s * (kW + 8) + kW, p.Y + 10 + kH};
      PaintSection(sheet, v, g, s, r);
      const TsGenState& st = g.Props[s > 0 && g.States > 1 ? 1 : 0];
      sheet.Text(r.Left + 8, r.Top + 11, "TEXT AB1", Pixel(st.FontColor[0]), 2);
      const char* names[] = {"NORMAL", "HOT", "PRESSED"};
      sheet.Text(r.Left, r.Bottom + 3, names[s], kInk);
      sheet.Text(r.Left, r.Bottom + 12, Hex6(st.Color) + "/" + Hex6(st.FontColor[0]), kInk);
      // The contour colours that are set (left, top, right, bottom), as chips after the text.
      for (int c = 1; c < 5; ++c)
        if (st.FontColor[c] != -1) {
          const TRect chip{r.Right - 8 * (5 - c), r.Bottom + 3, r.Right - 8 * (5 - c) + 6, r.Bottom + 9};
          sheet.Fill(chip, Pixel(st.FontColor[c]));
          sheet.Outline(chip, kInk);
        }
    }
  }
  return flow.Bottom() + 24;
}

// What a mask is painted over: its section's fill in that state, or GLOBALINFO's colour.
void MaskBackground(TSheet& sheet, const TSkinView& v, const TsMaskData& m, int state, const TRect& r) {
  const int si = FindSectionIndex(v.Tables, m.ClassName);
  if (si > 0 && m.PropertyName != "GLOW0")
    PaintSection(sheet, v, v.Tables->GeneralData[static_cast<size_t>(si)], state, r);
  else
    sheet.Fill(r, Pixel(v.Window));
  if (si >= 0 && m.PropertyName == "GLOW0") {   // the control the glow surrounds
    TRect c{r.Left + 10, r.Top + 10, r.Right - 10, r.Bottom - 10};
    if (c.Right > c.Left && c.Bottom > c.Top)
      PaintSection(sheet, v, v.Tables->GeneralData[static_cast<size_t>(si)], state, c);
  }
}

std::string MaskLabel(const TsMaskData& m) {
  return m.ClassName + "." + m.PropertyName + "  " + std::to_string(m.ImageCount) + "X" +
         std::to_string(m.MaskType + 1) + " TYPE " + std::to_string(m.ImgType) + " MODE " +
         std::to_string(m.DrawMode);
}

// Frame masks: every state at its natural size, then stretched; textures tiled.
int DrawFrames(TSheet& sheet, const TSkinView& v, int top) {
  sheet.Text(kMargin, top, "FRAME MASKS: EACH STATE AT NATURAL SIZE, THEN STRETCHED; TEXTURES TILED", kInk, 2);
  TFlow flow;
  flow.Y = top + 26;
  for (const TsMaskData& m : v.Tables->MaskData) {
    if (m.ImgType == 2) continue;
    const TlxMaskImage mi = MaskImage(v, m);
    const int fw = MaskFrameWidth(mi), fh = MaskFrameHeight(mi);
    if (fw <= 0 || fh <= 0) continue;
    const int count = std::max<int>(1, m.ImageCount);
    if (m.ImgType == 1) {   // a texture: its tile and a larger tiled area
      const TPoint p = flow.Place(std::max(200, fw + 140), std::max(fh, 48) + 12);
      sheet.Text(p.X, p.Y, MaskLabel(m), kInk);
      TlxSectionState s;
      s.ImagePercent = 100;
      s.Texture = &mi;
      const TRect tile{p.X, p.Y + 12, p.X + fw, p.Y + 12 + fh};
      const TRect area{p.X + fw + 12, p.Y + 12, p.X + fw + 132, p.Y + 60};
      TlxBackgroundView bg;
      bg.Color = v.Window;
      FillSection(sheet.View(), tile, s, bg);
      FillSection(sheet.View(), area, s, bg);
      continue;
    }
    const int sw = std::max(fw * 3, 84), sh = std::max(fh * 2, 34);
    const int natural = count * (fw + 6);
    const TPoint p = flow.Place(std::max(natural + count * (sw + 6), 260), fh + sh + 22);
    sheet.Text(p.X, p.Y, MaskLabel(m), kInk);
    TlxBackgroundView bg;
    bg.Color = v.Window;
    for (int s = 0; s < count; ++s) {
      const TRect n{p.X + s * (fw + 6), p.Y + 12, p.X + s * (fw + 6) + fw, p.Y + 12 + fh};
      MaskBackground(sheet, v, m, s, n);
      PaintMaskFrame(sheet.View(), n, true, s, mi, bg);
      const TRect st{p.X + natural + s * (sw + 6), p.Y + 12, p.X + natural + s * (sw + 6) + sw, p.Y + 12 + sh};
      MaskBackground(sheet, v, m, s, st);
      PaintMaskFrame(sheet.View(), st, true, s, mi, bg);
    }
  }
  return flow.Bottom() + 24;
}

// Glyphs (region masks): every state over its usual background, natural size and enlarged 3x.
int DrawGlyphs(TSheet& sheet, const TSkinView& v, int top) {
  sheet.Text(kMargin, top, "GLYPHS: EACH STATE AT NATURAL SIZE, THEN ENLARGED 3X", kInk, 2);
  TFlow flow;
  flow.Y = top + 26;
  const int title = FindSectionIndex(v.Tables, "FORMTITLE");
  for (const TsMaskData& m : v.Tables->MaskData) {
    if (m.ImgType != 2) continue;
    const TlxMaskImage mi = MaskImage(v, m);
    const int fw = MaskFrameWidth(mi), fh = MaskFrameHeight(mi);
    if (fw <= 0 || fh <= 0) continue;
    const int count = std::max<int>(1, m.ImageCount);
    const int w = count * (fw + 8) + count * (fw * 3 + 8);
    const TPoint p = flow.Place(std::max(w, static_cast<int>(MaskLabel(m).size()) * TinyAdvance), fh * 3 + 16);
    sheet.Text(p.X, p.Y, MaskLabel(m), kInk);
    // Caption buttons sit on the active caption strip; everything else on its section.
    const bool caption = m.ClassName == "GLOBALINFO" &&
                         (m.PropertyName.rfind("BICON", 0) == 0 || m.PropertyName.rfind("SICON", 0) == 0 ||
                          m.PropertyName == "BICLOSEALONE");
    const int si = caption ? title : FindSectionIndex(v.Tables, m.ClassName);
    const int sectionState = caption ? 1 : 0;
    for (int s = 0; s < count; ++s) {
      const TRect n{p.X + s * (fw + 8), p.Y + 12, p.X + s * (fw + 8) + fw, p.Y + 12 + fh};
      if (si >= 0)
        PaintSection(sheet, v, v.Tables->GeneralData[static_cast<size_t>(si)], sectionState, n, false);
      else
        sheet.Fill(n, Pixel(v.Window));
      TlxBackgroundView bg;
      bg.Color = v.Window;
      DrawMaskState(sheet.View(), TPoint{n.Left, n.Top}, s, bg, mi, 1);   // mode 1: the band exactly
      // The enlargement reads the natural-size copy beside it on the sheet (never overlapping).
      const int zx = p.X + count * (fw + 8) + s * (fw * 3 + 8);
      StretchCopyNearest(sheet.View(), TRect{zx, p.Y + 12, zx + fw * 3, p.Y + 12 + fh * 3}, sheet.View(), n);
    }
  }
  return flow.Bottom() + 24;
}

// ---- PNG ------------------------------------------------------------------------------------

void PutBE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  PutBE32(png, static_cast<std::uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, png.data() + start, static_cast<uInt>(png.size() - start));
  PutBE32(png, static_cast<std::uint32_t>(crc));
}

// An 8-bit RGB PNG of the first `height` rows. Raises Exception when zlib fails.
std::vector<std::uint8_t> EncodePng(const TlxPixelBuffer& b, int height) {
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(b.Width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < b.Width; ++x) {
      const std::uint32_t p = GetPix(b, x, y);
      raw.push_back(static_cast<std::uint8_t>(p >> 16));
      raw.push_back(static_cast<std::uint8_t>(p >> 8));
      raw.push_back(static_cast<std::uint8_t>(p));
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    throw Exception("zlib could not compress the sheet");
  packed.resize(size);
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  PutBE32(ihdr, static_cast<std::uint32_t>(b.Width));
  PutBE32(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", {});
  return png;
}

std::string BaseName(std::string path) {
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinpreview <skin folder | file.tez> <output.png>\n");
    return 1;
  }
  try {
    TsSkinFiles files;
    OpenSkinFiles(argv[1], files);
    TsPixelImageHost host;
    TsLoadSettings settings;
    TsLoadedSkin skin;
    LoadSkin(files.Source(), settings, host, skin);

    TSkinView v;
    v.Tables = &skin.Tables;
    v.Host = &host;
    v.Master = host.Pixels(skin.MasterBitmap.get());
    v.Window = GlobalInfoColor(&skin.Tables, 0xC0C0C0);

    TSheet sheet;
    char head[160];
    std::snprintf(head, sizeof head, "%s  VERSION %.2f  %zu SECTIONS  %zu MASKS", BaseName(argv[1]).c_str(),
                  skin.Tables.SkinData.Version, skin.Tables.GeneralData.size(), skin.Tables.MaskData.size());
    sheet.Text(kMargin, kMargin, head, kInk, 3);
    int y = DrawSections(sheet, v, kMargin + 40);
    y = DrawFrames(sheet, v, y);
    y = DrawGlyphs(sheet, v, y);
    const std::vector<std::uint8_t> png = EncodePng(sheet.View(), std::min(y, kMaxSheetHeight));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) throw Exception(std::string("cannot write ") + argv[2]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "skinpreview: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
