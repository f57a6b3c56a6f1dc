// The geometry of a skinned form's window image (see sFormMetrics.h).
#include "skin/core/sFormMetrics.h"

#include <algorithm>

#include "skin/core/sSkinData.h"
#include "skin/paint/sMaskPaint.h"

namespace {

bool IsToolStyle(TsFormBorder b) { return b == TsFormBorder::ToolWindow || b == TsFormBorder::SizeToolWin; }
bool HasCaptionStyle(std::uint32_t style) { return (style & wsfCaption) == wsfCaption; }

}  // namespace

void ApplySkinGeometry(TsFormGeometry& f, const TsSkinData& skin) {
  f.ExtBorderWidthSkin = skin.ExBorderWidth;
  f.ExtTitleHeightSkin = skin.ExTitleHeight;
  f.TitleHeight = skin.ExTitleHeight;
  f.MaxTitleHeight = skin.ExMaxHeight;
  f.ExtDrawMode = skin.ExDrawMode;
  f.ExtCenterOffset = skin.ExCenterOffs;
  f.TitleButtonLeftMargin = skin.BILeftMargin;
  f.TitleButtonTopMargin = skin.BITopMargin;
}

// ---- frame and caption --------------------------------------------------------------------

int FrameBorderWidth(const TsFormGeometry& f, const ISystemMetrics& sm, bool useExtended) {
  if (useExtended && f.HasBorderWindow && f.ExtBorderWidthSkin > 0) return f.ExtBorderWidthSkin;
  if (f.Style & wsfThickFrame) return sm.Get(smCxFrame);
  if (f.Style & wsfBorder) return sm.Get(smCxDlgFrame);
  return 0;
}

int FrameBorderWidthPlain(const TsFormGeometry& f, const ISystemMetrics& sm) {
  return f.HasBorderWindow ? 0 : FrameBorderWidth(f, sm, false);
}

int CaptionHeightFor(const TsFormGeometry& f, const ISystemMetrics& sm) {
  return sm.Get(IsToolStyle(f.BorderStyle) && !f.Iconic ? smCySmCaption : smCyCaption);
}

int ExtTitleHeight(const TsFormGeometry& f) { return f.HasBorderWindow ? f.ExtTitleHeightSkin : 0; }
int ExtBorderWidth(const TsFormGeometry& f) { return f.HasBorderWindow ? f.ExtBorderWidthSkin : 0; }
int ExtTitleExtraHeight(const TsFormGeometry& f) { return f.HasBorderWindow ? f.ExtTitleExtra : 0; }

int ExtBorderExtraWidth(const TsFormGeometry& f, const ISystemMetrics& sm) {
  return f.HasBorderWindow ? FrameBorderWidth(f, sm, true) - FrameBorderWidth(f, sm, false) : 0;
}

bool SizeableWithoutCaption(std::uint32_t style) { return (style & wsfThickFrame) != 0; }

bool DrawsFrame(const TsFormGeometry& f) {
  return f.BorderStyle != TsFormBorder::None || (f.Style & wsfChild) != 0 || f.MDIChild;
}

int CaptionHeight(const TsFormGeometry& f, const ISystemMetrics& sm, bool withExtTitle) {
  if (!((DrawsFrame(f) && HasCaptionStyle(f.Style)) || f.Iconic)) return 0;
  const int h = withExtTitle ? ExtTitleHeight(f) : 0;
  const int sys = CaptionHeightFor(f, sm);
  if (f.SysExtendedHeight) return std::max(h, sys + 4);
  return h != 0 ? h : sys;
}

int FrameWidthPlusBorder(const TsFormGeometry& f, const ISystemMetrics& sm) {
  return FrameBorderWidthPlain(f, sm) + f.BorderWidth;
}

int FrameWidthExt(const TsFormGeometry& f, const ISystemMetrics& sm, bool useExtended) {
  return FrameBorderWidth(f, sm, useExtended) + f.BorderWidth;
}

// ---- menu lines ---------------------------------------------------------------------------

int MenuLineHeight(const TsFormGeometry& f, const ISystemMetrics& sm) {
  const bool own = f.HasMainMenu && f.MenuItemCount > 0 && !f.MenuAutoMerge && !f.MDIChild &&
                   f.BorderStyle != TsFormBorder::Dialog;
  return own ? sm.Get(smCyMenu) - 1 : 0;
}

int MenuLineCount(const TsFormGeometry& f, const ISystemMetrics& sm) {
  if (!f.HasMainMenu || f.Iconic || !f.FirstMenuItemBottom) return 0;
  // Where the client area starts below the menu bar, in screen coordinates.
  const long long y0 = static_cast<long long>(f.Top) + f.FormHeight - f.ClientHeight - FrameWidthPlusBorder(f, sm) -
                       f.HScrollHeight - 2LL * f.BorderWidth;
  const long long bottom = *f.FirstMenuItemBottom;
  if (bottom >= y0) return 1;
  // A menu metric of 2 or less would divide by zero or go backwards: one line per pixel.
  const long long line = std::max(sm.Get(smCyMenu) - 2, 1);
  return static_cast<int>(std::min<long long>((y0 - bottom) / line + 1, 1 << 16));
}

bool HasMenuLine(const TsFormGeometry& f) {
  return f.BorderStyle != TsFormBorder::Dialog && !f.MDIChild && f.HasMainMenu && !f.MenuAutoMerge &&
         f.MenuHasVisibleItem;
}

// ---- cache and client offsets -------------------------------------------------------------

int CacheWidth(const TsFormGeometry& f, const ISystemMetrics& sm) {
  const int shadows = f.ShadowLeft + f.ShadowRight;
  if (f.Iconic && !f.MainForm) return f.WindowWidth + shadows;
  return f.FormWidth + shadows + (f.HasBorderWindow ? 2 * ExtBorderExtraWidth(f, sm) : 0);
}

int ClientOffsetX(const TsFormGeometry& f, const ISystemMetrics& sm) {
  if (f.HasBorderWindow) return FrameWidthExt(f, sm, true) + f.ShadowLeft;
  return (f.WindowWidth - f.ClientWidth - f.VScrollWidth) / 2;
}

int ClientOffsetY(const TsFormGeometry& f, const ISystemMetrics& sm, int menuLines) {
  if (f.HasBorderWindow) {
    const int line = MenuLineHeight(f, sm);
    return CaptionHeight(f, sm, true) + menuLines * line + f.BorderWidth + f.ShadowTop + (line != 0 ? 1 : 0);
  }
  return f.WindowHeight - f.ClientHeight - ((f.Style & wsfBorder) ? FrameWidthExt(f, sm, true) : 0) - f.HScrollHeight;
}

int TopStripHeight(const TsFormGeometry& f, const ISystemMetrics& sm) {
  const int plain = FrameBorderWidthPlain(f, sm);
  int h;
  if (f.HasBorderWindow)
    h = plain + CaptionHeight(f, sm, false);
  else if (HasCaptionStyle(f.Style))
    h = f.WindowHeight - f.ClientHeight - FrameWidthPlusBorder(f, sm);
  else
    h = f.WindowHeight - f.ClientHeight - ((f.Style & wsfBorder) ? FrameWidthPlusBorder(f, sm) : 0);
  h = std::max(h, 0);
  if (f.Iconic) h += plain;
  if (f.Skinned) h -= f.HScrollHeight;
  return std::max(h, 0);
}

// ---- title icon, system menu, extended title, MDI buttons, grip ---------------------------

int TitleIconSizeFor(int captionHeight) {
  if (captionHeight <= 8) return 1;
  if (captionHeight <= 16) return 8;
  return 16;
}

TRect IconRect(const TsFormGeometry& f, const ISystemMetrics& sm) {
  const int plain = FrameBorderWidthPlain(f, sm);
  const int caption = CaptionHeight(f, sm, false);
  const bool shown = (f.BorderStyle == TsFormBorder::Single || f.BorderStyle == TsFormBorder::Sizeable) &&
                     f.ShowAppIcon && f.HasSystemMenu;
  const int size = TitleIconSizeFor(caption);
  const int w = shown ? (f.TitleIconWidth != 0 ? f.TitleIconWidth : size) : 0;
  const int h = shown ? (f.TitleIconHeight != 0 ? f.TitleIconHeight : size) : 0;
  const int left = FrameWidthExt(f, sm, true) + f.TitleButtonLeftMargin + f.ShadowLeft;
  int top = plain / 2 - 1 + f.ShadowTop;
  // Centred in what is left of the caption below that.
  top += (plain + caption + f.ShadowTop - top - h) / 2;
  if (f.HasBorderWindow) {
    top += f.ExtCenterOffset;
    if (f.Zoomed && f.TitleHeight != f.MaxTitleHeight) top += (f.TitleHeight - f.MaxTitleHeight) / 2 - 2;
  }
  return TRect{left, top, left + w, top + h};
}

TPoint SystemMenuOrigin(const TsFormGeometry& f, const ISystemMetrics& sm) {
  if (!f.MDIChild) return f.WindowOrigin;
  const int frame = FrameBorderWidth(f, sm, false);
  return TPoint{f.ClientOrigin.X - frame,
                f.ClientOrigin.Y - frame - (f.Iconic ? 0 : CaptionHeight(f, sm, false))};
}

int ExtTitleOffset(const TsFormGeometry& f, const ISystemMetrics& sm) {
  if (f.ExtDrawMode != 1) return 0;
  int r = (f.TitleHeight != f.MaxTitleHeight ? std::max(0, f.TitleHeight - f.MaxTitleHeight) : 0) +
          f.TitleButtonTopMargin;
  const int over = CaptionHeight(f, sm, true) - CaptionHeightFor(f, sm) - 4;
  if (over > 0) r -= over;
  return r;
}

int TsButtonImage::FrameWidth() const {
  if (!Exists) return 0;
  return Width / std::max(ImageCount, 1);
}

int MDIButtonWidth(const TsButtonImage& closeImage) {
  if (!closeImage.Exists) return 16;
  return closeImage.Separate ? closeImage.Width / 3 : closeImage.FrameWidth();
}

int MDIButtonHeight(const TsButtonImage& closeImage) {
  if (!closeImage.Exists) return 16;
  return closeImage.Separate ? closeImage.FrameHeight / 2 : closeImage.FrameHeight;
}

TPoint GripPoint(const TsFormGeometry& f, const ISystemMetrics& sm, int cacheWidth, int cacheHeight, int gripWidth,
                 int gripHeight) {
  return TPoint{cacheWidth - gripWidth - FrameWidthExt(f, sm, true) - f.ShadowRight - 1,
                cacheHeight - gripHeight - FrameWidthExt(f, sm, false) - f.ShadowBottom - 1};
}

// ---- region plan --------------------------------------------------------------------------

TsRegionPlan PlanFormRegion(const TsFormGeometry& f, const ISystemMetrics& sm, bool drawNonClientArea,
                            bool handleExists, bool inMenu) {
  if (!drawNonClientArea || !handleExists || inMenu) return {};
  if (!(DrawsFrame(f) || f.Iconic || SizeableWithoutCaption(f.Style))) return {};
  if (f.Docked) return TsRegionPlan{TsRegionKind::Remove, {}};
  if (f.HasBorderWindow) {
    // The border window draws the frame: the form keeps only what lies inside it.
    const int fw = FrameBorderWidth(f, sm, false);
    const int t = f.SysExtendedHeight ? fw + CaptionHeightFor(f, sm)
                                      : FrameBorderWidthPlain(f, sm) + CaptionHeightFor(f, sm) + fw;
    return TsRegionPlan{TsRegionKind::Rectangle, TRect{fw, t, f.FormWidth - fw, f.FormHeight - fw}};
  }
  if (!f.Zoomed || f.HasMaxConstraints || f.MDIChild) return TsRegionPlan{TsRegionKind::CutAways, {}};
  // A maximized window lies partly off the monitor: only the part inside the frame shows.
  const int fw = FrameBorderWidth(f, sm, true), plain = FrameBorderWidthPlain(f, sm);
  return TsRegionPlan{TsRegionKind::Rectangle,
                      TRect{fw, plain, f.WindowWidth - fw, f.WindowHeight - plain}};
}

bool RegionSizeChanged(const TsRegionFlags& flags, const TsFormGeometry& f, const ISystemMetrics& sm) {
  return flags.Width != CacheWidth(f, sm) || flags.Height != f.FormHeight;
}

std::vector<TRect> OffsetRects(const std::vector<TRect>& rects, int x, int y) {
  std::vector<TRect> out;
  out.reserve(rects.size());
  for (const TRect& r : rects) out.push_back(TRect{r.Left + x, r.Top + y, r.Right + x, r.Bottom + y});
  return out;
}

// ---- title buttons ------------------------------------------------------------------------

int UserButtonWidth(const TsUserButtonInfo& button, const TsButtonImage& userImage) {
  const int glyph = button.HasGlyph ? button.GlyphWidth + 2 : 0;
  return std::max(glyph, userImage.Exists ? userImage.FrameWidth() : 21);
}

int TitleButtonsWidth(const TsTitleButtonsInput& in) {
  const int gap = in.LargeSet ? in.Spacing : 0;
  int w = in.RightMargin;
  if (in.SystemButtons) {
    w += in.Close.FrameWidth();
    if (in.VisibleMax) w += in.Max.FrameWidth() + gap;
    if (in.VisibleMin) w += in.Min.FrameWidth() + gap;
    if (in.ShowHelp) w += in.Help.FrameWidth() + gap;
  }
  // Only shown user buttons take room, as in the title-button layout: a hidden one would
  // leave an empty gap in the title.
  bool anyShown = false;
  for (const TsUserButtonInfo& b : in.UserButtons) {
    if (!b.Visible) continue;
    anyShown = true;
    w += UserButtonWidth(b, in.UserImage) + gap;
  }
  return anyShown ? w + 8 : w;
}

std::optional<TSize> FitThumbnail(int requestedWidth, int requestedHeight, int srcWidth, int srcHeight) {
  if (requestedWidth <= 0 || requestedHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return std::nullopt;
  std::int64_t w = requestedWidth, h = requestedHeight;
  // Rounded halves up: w * sw / sh + 0.5 in integers.
  const auto divRound = [](std::int64_t n, std::int64_t d) { return (2 * n + d) / (2 * d); };
  if (w * srcHeight > h * srcWidth)
    w = divRound(h * srcWidth, srcHeight);
  else
    h = divRound(w * srcHeight, srcWidth);
  if (w <= 0 || h <= 0) return std::nullopt;
  return TSize{static_cast<int>(w), static_cast<int>(h)};
}

// ---- title-button strip -------------------------------------------------------------------

TsTitleStrip TitleButtonsStrip(const TsFormGeometry& f, const ISystemMetrics& sm, int titleButtonsWidth,
                               int cacheWidth, bool whole) {
  TsTitleStrip s;
  const int plain = FrameBorderWidthPlain(f, sm);
  const int caption = CaptionHeight(f, sm, true);
  s.Width = std::max(FrameWidthExt(f, sm, true) + titleButtonsWidth + f.ShadowRight + 10, 0);
  s.Height = std::max(plain + caption + FrameBorderWidth(f, sm, false) + MenuLineHeight(f, sm) + f.ShadowTop, 0);
  s.X = cacheWidth - s.Width - 1;
  s.SaveRows = whole ? s.Height : std::clamp(plain + caption, 0, s.Height);
  return s;
}

void SaveTitleStrip(const TlxPixelBuffer& work, const TlxPixelBuffer& cache, const TsTitleStrip& strip) {
  CopyPixelRect(work, 0, 0, cache, TRect{strip.X, 0, strip.X + strip.Width, strip.SaveRows});
}

void RestoreTitleStrip(const TlxPixelBuffer& cache, const TlxPixelBuffer& work, const TsTitleStrip& strip) {
  CopyPixelRect(cache, strip.X, 0, work, TRect{0, 0, strip.Width, strip.SaveRows});
}
