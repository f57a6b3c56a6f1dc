// Section backgrounds and items from the skin's records: see sSectionPaint.h.
#include "skin/core/win/sSectionPaint.h"

#include <algorithm>

#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

namespace {

TlxPixelBuffer Pixels32(TBitmap* b) {
  if (b == nullptr || b->Empty() || b->GetPixelFormat() != TPixelFormat::pf32bit) return TlxPixelBuffer{};
  return BitmapPixels(b);
}

const TsGeneralData* SectionAt(const TsSkinTables* sm, int i) {
  return SectionIndexInRange(sm, i) ? &sm->GeneralData[static_cast<size_t>(i)] : nullptr;
}

const TsMaskData* MaskAt(const TsSkinTables* sm, int i) {
  return MaskIndexInRange(sm, i) ? &sm->MaskData[static_cast<size_t>(i)] : nullptr;
}

// A state index limited to the section's states (a count below 1 allows state 0 only).
int ClipState(const TsGeneralData& g, int state) { return std::clamp(state, 0, std::max(g.States - 1, 0)); }

// A texture of the pattern list as 32-bit pixels: a 32-bit bitmap is read in place; a JPEG
// picture (TJPEGImage) or a bitmap of another format is drawn into a 32-bit copy kept in `copy`.
TlxPixelBuffer PatternPixels(TObject* img, std::unique_ptr<TBitmap>& copy) {
  auto* bmp = As<TBitmap>(img);
  if (bmp != nullptr && bmp->GetPixelFormat() == TPixelFormat::pf32bit) return Pixels32(bmp);
  auto* graphic = As<TGraphic>(img);
  if (graphic == nullptr || graphic->Empty()) return TlxPixelBuffer{};
  copy = CreateBitmap32(graphic->GetWidth(), graphic->GetHeight());
  copy->Canvas()->Draw(0, 0, graphic);
  const TlxPixelBuffer v = Pixels32(copy.get());
  SetRectAlpha(v, v.BoundsRect(), 255, false);
  return v;
}

// The fill texture's mask index of a state: a given index whose mask has no band, else the
// section's own entry looked up by key (-1 when none).
int FillTextureIndex(const TsSkinTables* sm, int si, const std::string& name, const TsGeneralData& g, bool hot,
                     int hotTextureIndex, int textureIndex) {
  if (hot) {
    if (const TsMaskData* m = MaskAt(sm, hotTextureIndex)) return m->MaskType == 0 ? hotTextureIndex : -1;
    return hotTextureIndex == -1 ? FindMaskEntry(sm, si, name, "HOTPATTERN") : -1;
  }
  const int t = textureIndex == -1 ? g.TextureIndex : textureIndex;
  if (const TsMaskData* m = MaskAt(sm, t)) return m->MaskType == 0 ? t : -1;
  return FindMaskEntry(sm, si, name, "PATTERN");
}

}  // namespace

bool ResolveSectionState(const TsSkinTables* sm, int si, const std::string& name, int state, TColor customColor,
                         int hotTextureIndex, int textureIndex, TBitmap* master, TlxSectionState& out,
                         TsSectionStateStore& keep) {
  const TsGeneralData* g = SectionAt(sm, si);
  if (g == nullptr) return false;
  state = ClipState(*g, state);
  const bool hot = state != 0;
  const TsGenState& gs = g->Props[hot ? 1 : 0];
  out = TlxSectionState{};
  if (customColor != clKeyColor) {
    out.Color = ColorToRGB(customColor) & 0xFFFFFF;
  } else {
    out.Color = gs.Color;
    out.Transparency = std::clamp(gs.Transparency, 0, 100);
    if (out.Transparency != 100) {
      out.ImagePercent = std::clamp(gs.ImagePercent, 0, 100);
      out.GradientPercent = std::clamp(gs.GradientPercent, 0, 100);
    }
    if (out.ImagePercent > 0) {
      const int t = FillTextureIndex(sm, si, name, *g, hot, hotTextureIndex, textureIndex);
      if (const TsMaskData* m = MaskAt(sm, t)) {
        keep.Texture = MaskImageOf(*m, master);
        out.Texture = &keep.Texture;
      } else {
        const int p = FindPatternEntry(sm, si, name, hot ? "HOTPATTERN" : "PATTERN");
        if (p >= 0 && p < static_cast<int>(sm->PatternData.size())) {
          keep.Pattern = PatternPixels(sm->PatternData[static_cast<size_t>(p)].Img.get(), keep.PatternCopy);
          if (!keep.Pattern.Empty()) out.PatternImage = &keep.Pattern;
        }
      }
    }
    if (out.GradientPercent != 0) out.Gradient = gs.GradientArray;
  }
  if (!hot) {
    const int o = textureIndex != -1 ? textureIndex : hotTextureIndex;
    if (const TsMaskData* m = MaskAt(sm, o); m != nullptr && m->MaskType > 0 && m->DrawMode == 10) {
      keep.Overlay = MaskImageOf(*m, master);
      out.Overlay = &keep.Overlay;
    }
  }
  return true;
}

void PaintSectionBackground(int si, const std::string& name, const TsBackgroundInfo& bg, TColor customColor,
                            int hotTextureIndex, int textureIndex, const TsSkinTables* sm, TBitmap* bitmap,
                            TPoint pt, const TRect& r, int state, TBitmap* master) {
  const TlxPixelBuffer b = TargetPixels32(bitmap);
  if (b.Empty()) return;
  TlxSectionState s;
  TsSectionStateStore keep;
  if (!ResolveSectionState(sm, si, name, state, customColor, hotTextureIndex, textureIndex, master, s, keep)) return;
  TlxPixelBuffer bgPixels;
  PaintSectionFill(b, r, s, BackgroundView(bg, bgPixels), pt);
}

namespace {

// The four corner images of a section at the corners of r (mode 1 over the bitmap itself),
// then its border mask; true when a border mask was painted (not for state 0 of a mask that
// paints nothing in the normal state).
bool PaintCornersAndBorder(const TsGeneralData& g, const TsBackgroundInfo& bg, const TsSkinTables* sm,
                           TBitmap* bitmap, TPoint pt, const TRect& r, int state, TBitmap* master) {
  const TsBackgroundInfo self{bitmap, 0, 0, clKeyColor, 1};
  const int corners[4] = {g.ImgTL, g.ImgTR, g.ImgBL, g.ImgBR};
  for (int i = 0; i < 4; ++i) {
    const TsMaskData* m = MaskAt(sm, corners[i]);
    if (m == nullptr) continue;
    const int x = (i % 2 == 0) ? r.Left : r.Right - MaskFrameWidth(*m);
    const int y = (i < 2) ? r.Top : r.Bottom - MaskFrameHeight(*m);
    DrawMaskState(bitmap, TPoint{x, y}, state, self, sm, corners[i], 1, master);
  }
  if (const TsMaskData* border = MaskAt(sm, g.BorderIndex)) {
    // The same background pixel lies under the frame as under the fill.
    TsBackgroundInfo moved = bg;
    moved.X += pt.X - r.Left;
    moved.Y += pt.Y - r.Top;
    PaintMaskFrame(bitmap, r, true, state, *border, moved, master);
    return !(state == 0 && (border->DrawMode & dmNoNormal));
  }
  return false;
}

bool ItemRectUsable(TBitmap* bitmap, const TRect& r) {
  return bitmap != nullptr && !r.IsEmpty() && r.Left >= 0 && r.Top >= 0 && r.Left < bitmap->GetWidth() &&
         r.Top < bitmap->GetHeight();
}

}  // namespace

void PaintSectionItem(int si, const std::string& name, const TsBackgroundInfo& bg, int hotTextureIndex,
                      int textureIndex, const TsSkinTables* sm, TBitmap* bitmap, TPoint pt, const TRect& r, int state,
                      TBitmap* master) {
  const TsGeneralData* g = SectionAt(sm, si);
  if (g == nullptr || !ItemRectUsable(bitmap, r)) return;
  state = ClipState(*g, state);
  PaintSectionBackground(si, name, bg, clKeyColor, hotTextureIndex, textureIndex, sm, bitmap, pt, r, state, master);
  PaintCornersAndBorder(*g, bg, sm, bitmap, pt, r, state, master);
}

void PaintSectionItemToDC(int si, const std::string& name, const TsBackgroundInfo& bg, int hotTextureIndex,
                          int textureIndex, const TsSkinTables* sm, HDC dc, TPoint pt, const TRect& r, int state,
                          TBitmap* master) {
  if (dc == nullptr || r.IsEmpty() || !SaneRect(r) || static_cast<long long>(r.Width()) * r.Height() > lxMaxWorkPixels)
    return;
  std::unique_ptr<TBitmap> work = CreateBitmap32(r.Width(), r.Height());
  PaintSectionItem(si, name, bg, hotTextureIndex, textureIndex, sm, work.get(), pt, TRect{0, 0, r.Width(), r.Height()},
                   state, master);
  const int saved = SaveDC(dc);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), work->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

bool PaintSectionByName(const std::string& name, const std::string& secondName, TBitmap* bitmap, const TRect& r,
                        int state, const TsSkinTables* sm, HDC copyFrom, TBitmap* master) {
  int si = FindSectionIndex(sm, name);
  std::string found = name;
  if (si < 0) {
    si = FindSectionIndex(sm, secondName);
    found = secondName;
  }
  if (si < 0) return false;
  if (!ItemRectUsable(bitmap, r)) return true;
  TsBackgroundInfo bg;
  if (copyFrom != nullptr) {
    BitBlt(bitmap->Canvas()->GetHandle(), r.Left, r.Top, r.Width(), r.Height(), copyFrom, r.Left, r.Top, SRCCOPY);
    GdiFlush();
    bg = TsBackgroundInfo{bitmap, 0, 0, clKeyColor, 1};
  }
  PaintSectionItem(si, found, bg, -1, -1, sm, bitmap, TPoint{r.Left, r.Top}, r, state, master);
  return true;
}

void PaintControlItem(int si, const TsSkinTables* sm, TColor customColor, int hueOffset, int saturation,
                      const TsBackgroundInfo& bg, TBitmap* bitmap, TPoint pt, const TRect& r, int state,
                      TBitmap* master) {
  const TsGeneralData* g = SectionAt(sm, si);
  if (g == nullptr || !ItemRectUsable(bitmap, r)) return;
  state = ClipState(*g, state);
  PaintSectionBackground(si, g->ClassName, bg, customColor, -1, -1, sm, bitmap, pt, r, state, master);
  const bool bordered = PaintCornersAndBorder(*g, bg, sm, bitmap, pt, r, state, master);
  // A section flagged by its reserved key keeps its own colours when no border was painted.
  if (!bordered && g->ReservedBoolean) return;
  const TlxPixelBuffer b = TargetPixels32(bitmap);
  if (hueOffset != 0) HueShiftBitmap(b, hueOffset);
  if (saturation != 0) SaturateBitmap(b, saturation);
}

void PaintControlItemFromParent(TControl* owner, int si, const TsSkinTables* sm, TColor customColor, int hueOffset,
                                int saturation, TBitmap* bitmap, int state, TBitmap* master) {
  if (owner == nullptr || bitmap == nullptr) return;
  TsBackgroundRequest req;
  req.Rect = TRect{0, 0, bitmap->GetWidth(), bitmap->GetHeight()};
  if (owner->Parent() != nullptr)
    RequestControlBackground(req, owner->Parent(), false);
  else if (auto* w = As<TWinControl>(owner); w != nullptr && w->HandleAllocated() && GetParent(w->Handle()))
    RequestWindowBackground(req, GetParent(w->Handle()), false);
  TsBackgroundInfo info;
  if (req.Kind != bkNotAnswered) {
    BackgroundRequestToInfo(req, info);
    if (info.Bitmap != nullptr) {
      info.X += owner->Left();
      info.Y += owner->Top();
    }
  }
  PaintControlItem(si, sm, customColor, hueOffset, saturation, info, bitmap, TPoint{0, 0},
                   TRect{0, 0, bitmap->GetWidth(), bitmap->GetHeight()}, state, master);
}

// ---------------------------------------------------------------------------------------------

void PaintSectionBackgroundOnly(int si, const TsSkinTables* sm, TColor customColor, int hotTextureIndex,
                                int textureIndex, const TsBackgroundInfo& bg, int state, TBitmap* bitmap, TPoint pt,
                                const TRect& r, TBitmap* master) {
  const TsGeneralData* g = SectionAt(sm, si);
  if (g == nullptr) return;
  PaintSectionBackground(si, g->ClassName, bg, customColor, hotTextureIndex, textureIndex, sm, bitmap, pt, r,
                         ClipState(*g, state), master);
}

void PaintSectionImage(TBitmap* bitmap, const TRect& r, int si, int state, const TsSkinTables* sm,
                       const TsBackgroundInfo& bg, TPoint pt, TBitmap* master) {
  const TsGeneralData* g = SectionAt(sm, si);
  const TlxPixelBuffer b = TargetPixels32(bitmap);
  if (g == nullptr || b.Empty()) return;
  TlxSectionState s;
  TsSectionStateStore keep;
  if (!ResolveSectionState(sm, si, g->ClassName, state, clKeyColor, -1, -1, master, s, keep)) return;
  s.Overlay = nullptr;
  TlxPixelBuffer bgPixels;
  const TlxBackgroundView view = BackgroundView(bg, bgPixels);
  if (view.HasBitmap()) {
    PaintSectionFill(b, r, s, view, pt);
    return;
  }
  // Painted directly: a see-through state shows the background colour, unless that is the key
  // colour (no background known), which never becomes a fill.
  if (s.Transparency == 100 && (static_cast<std::uint32_t>(view.Color) & 0xFFFFFF) != clKeyColor)
    s.Color = SkinColorToRGB(view.Color);
  s.Transparency = 0;
  FillSection(b, ClipRectTo(r, b), s, TlxBackgroundView{});
}

void PaintSectionWithBorder(TBitmap* bitmap, const TRect& r, int si, int maskIndex, int state, const TsSkinTables* sm,
                            const TsBackgroundInfo& bg, TPoint pt, TBitmap* master) {
  PaintSectionImage(bitmap, r, si, state, sm, bg, pt, master);
  const TsGeneralData* g = SectionAt(sm, si);
  const TsMaskData* m = MaskAt(sm, maskIndex);
  if (g == nullptr || m == nullptr) return;
  TsBackgroundInfo moved = bg;
  moved.X += pt.X - r.Left;
  moved.Y += pt.Y - r.Top;
  PaintMaskFrame(bitmap, r, true, ClipState(*g, state), *m, moved, master);
}

namespace {

// The background under the owner, asked of its parent control (paint-into-DC off); a bitmap
// answer carries the owner's position. Empty info when there is nobody to ask.
TsBackgroundInfo OwnerBackground(TControl* owner, const TRect& r) {
  TsBackgroundInfo info;
  if (owner == nullptr || owner->Parent() == nullptr) return info;
  TsBackgroundRequest req;
  req.Rect = r;
  RequestControlBackground(req, owner->Parent(), false);
  BackgroundRequestToInfo(req, info);
  if (info.Bitmap != nullptr) {
    info.X += owner->Left();
    info.Y += owner->Top();
  }
  return info;
}

}  // namespace

void PaintBorderToDC(HDC dc, const TRect& r, int borderWidth, TRect& inner, int state, TBitmap* cache,
                     TControl* owner, const TsSkinTables* sm, int si, int maskIndex, TBitmap* master) {
  inner = r;
  const TsGeneralData* g = SectionAt(sm, si);
  if (g == nullptr || r.IsEmpty() || !SaneRect(r)) return;
  state = ClipState(*g, state);
  const TColor colour = ColorToRGB(g->Props[state == 0 ? 0 : 1].Color) & 0xFFFFFF;
  const int w = std::max(borderWidth, 0);
  const TsMaskData* m = MaskAt(sm, maskIndex);
  const TlxPixelBuffer cb = TargetPixels32(cache);
  if (m == nullptr || cb.Empty()) {
    if (w > 0 && dc != nullptr) FillDCBorderStrips(dc, r, w, colour, w, w, w);
    if (w > 0) inner = TRect{r.Left + w, r.Top + w, std::max(r.Right - w, r.Left + w), std::max(r.Bottom - w, r.Top + w)};
    return;
  }
  const TsBackgroundInfo bg = OwnerBackground(owner, r);
  if (m->MaskType == 1) {
    TlxPixelBuffer parent = Pixels32(bg.Bitmap);
    // bg's offsets already hold the owner's position inside the parent's bitmap.
    if (!parent.Empty())
      CopyPixelRect(cb, r.Left, r.Top, parent, TRect{bg.X + r.Left, bg.Y + r.Top, bg.X + r.Right, bg.Y + r.Bottom});
    else
      FillFrameOpaque(cb, r, m->WL, colour, m->WB, m->WR, m->WT);
  }
  PaintMaskFrame(cache, r, true, state, *m, bg, master);
  const int wl = m->WL, wt = m->WT, wr = m->WR, wb = m->WB;
  inner = TRect{r.Left + wl, r.Top + wt, r.Right - wr, r.Bottom - wb};
  if (w <= 0) return;
  const int width = r.Width(), height = r.Height();
  const TRect between{r.Left + wl, r.Top + wt, r.Right - wr, r.Bottom - wb};
  FillFrameOpaque(cb, between, std::max(std::min(w, width - wr) - wl, 0), colour,
                  std::max(std::min(w, height - wt) - wb, 0), std::max(std::min(w, width - wl) - wr, 0),
                  std::max(std::min(w, height - wb) - wt, 0));
  inner = TRect{r.Left + w, r.Top + w, std::max(r.Right - w, r.Left + w), std::max(r.Bottom - w, r.Top + w)};
  HDC cacheDC = cache->Canvas()->GetHandle();
  if (dc != nullptr && dc != cacheDC) CopyBorderStrips(dc, r.Left, r.Top, w, r.Top, r.Left, cacheDC, height, width);
}

void MakeDisabledLook(TBitmap* bitmap, int flags, TControl* control, TPoint offset, const TsBackgroundInfo& bg) {
  // The control is asked only when its colour is mixed in.
  const bool colour = (flags & dkBlended) != 0 && bg.Bitmap == nullptr && (bg.Color & 0xFFFFFF) == clKeyColor;
  MakeDisabledLook(bitmap, flags, colour ? static_cast<TColor>(GetControlColor(control)) : clKeyColor, offset, bg);
}
