// The layout of a skinned title bar (see sTitleLayout.h).
#include "skin/core/sTitleLayout.h"

#include <algorithm>
#include <cmath>

// ---- title buttons ------------------------------------------------------------------------

int TitleButtonTop(const TsTitleRowInput& in, int height, bool big) {
  if (big && in.VAlign == 1) return in.Zoomed ? 3 : 0;
  int top = (in.FrameWidth + in.CaptionHeight - height) / 2 + in.ShadowTop;
  // Small images of the large set sit a little lower, on the caption's text line.
  if (big && height < 16) top += 2;
  return top;
}

std::vector<TsPlacedButton> PlaceTitleButtons(const TsTitleRowInput& in) {
  std::vector<TsPlacedButton> out;
  int x = in.CacheWidth - in.RightMargin - in.ShadowRight - in.FrameWidthExt;
  auto place = [&](const TsTitleButtonSpec& b, int right) {
    const int top = TitleButtonTop(in, b.Height, b.Big);
    out.push_back({b.Code, TRect{right - b.Width, top, right, top + b.Height}});
    return right - b.Width;
  };
  for (const TsTitleButtonSpec& b : in.System) {
    // Help stands apart from the window buttons.
    const int left = place(b, b.Code == htcHelp ? x - 6 : x);
    x = left - (b.Big ? in.Spacing : 0);
  }
  if (!in.User.empty()) {
    x -= 8;
    for (const TsTitleButtonSpec& b : in.User) x = place(b, x) - (in.LargeSet ? in.Spacing : 0);
  }
  return out;
}

// ---- caption ------------------------------------------------------------------------------

TRect CaptionTextRect(const TsCaptionInput& in) {
  TRect r;
  r.Left = in.FrameWidthExt + in.IconWidth + in.LeftMargin + in.ShadowLeft + (in.HasCaptionSection ? 2 : 0) + 4;
  r.Right = in.CacheWidth - in.ButtonsWidth - in.ShadowRight - 12;
  // The text is centred in the caption strip (halves rounded down).
  const int stripTop = in.FrameWidth + in.ShadowTop;
  const int free = in.CaptionHeight - in.TextHeight;
  r.Top = stripTop + (free >= 0 ? free / 2 : -((-free + 1) / 2));
  r.Bottom = r.Top + in.TextHeight;
  int alignment = in.Alignment;
  if (in.RightToLeft && alignment != 2) alignment = 1 - alignment;
  const int total = in.TextWidth + in.AddedWidth + 4;
  const int width = r.Right - r.Left;
  if (alignment == 1) {
    if (total < width) r.Left = r.Right - total;
  } else if (alignment == 2) {
    r.Left = std::max(r.Left, r.Left + (width - total) / 2);
    r.Right = std::min(r.Left + in.TextWidth, r.Right);
  }
  return r;
}

// ---- hit test -----------------------------------------------------------------------------

namespace {

bool Inside(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// What a press on a button answers: its own code, or the caption (2) or client (1) when it
// cannot act now.
int ButtonAnswer(const TsHitTestInput& in, int code) {
  switch (code) {
    case htcClose: return in.SystemButtons ? htcClose : htcClient;
    case htcMaxButton:
      if (in.EnabledMax) return htcMaxButton;
      return !in.EnabledRestore || in.Iconic ? htcCaption : htcMaxButton;
    case htcMinButton: return in.Iconic || in.EnabledMin ? htcMinButton : htcCaption;
    case htcHelp: return htcHelp;
    default: {
      const size_t i = static_cast<size_t>(code - htcUserButton);
      return code >= htcUserButton && i < in.UserEnabled.size() && in.UserEnabled[i] ? code : htcClient;
    }
  }
}

int BorderAnswer(const TsHitTestInput& in) {
  const int b = in.FrameWidth, x = in.Point.X, y = in.Point.Y;
  int code = htcClient;
  if (y > in.Height - b)
    code = htcBottom;
  else if (y < in.TopFrame)
    code = htcTop;
  if (x < b) return code == htcTop ? htcTopLeft : code == htcBottom ? htcBottomLeft : htcLeft;
  if (x > in.Width - b) return code == htcTop ? htcTopRight : code == htcBottom ? htcBottomRight : htcRight;
  return code;
}

}  // namespace

int TitleHitTestAt(const TsHitTestInput& in) {
  const TPoint p = in.Point;
  for (const TsPlacedButton& b : in.Buttons) {
    if (!Inside(b.Rect, p)) continue;
    const int answer = ButtonAnswer(in, b.Code);
    if (answer != htcClient) return answer;
    break;
  }
  if (!in.Zoomed && in.ThickFrame) {
    const int answer = BorderAnswer(in);
    if (answer != htcClient) return answer;
  }
  const int captionBottom = in.TopFrame + in.CaptionHeight;
  if (p.Y >= 0 && p.Y <= captionBottom) {
    if (in.MenuLinesHeight > 0 && p.Y >= captionBottom) return htcMenu;
    return Inside(in.Icon, p) ? htcSysMenu : htcCaption;
  }
  if (p.Y > captionBottom + in.MenuLinesHeight) {
    if (in.GripShown && !in.Grip.IsEmpty() && p.X >= in.Grip.Left && p.Y >= in.Grip.Top) return htcBottomRight;
    return htcClient;
  }
  for (const TsPlacedButton& b : in.MDIButtons)
    if (Inside(b.Rect, p)) return b.Code;
  return htcMenu;
}

std::vector<TsPlacedButton> PlaceMDIButtons(int lineRight, int lineTop, int lineHeight, int buttonWidth,
                                            int buttonHeight) {
  constexpr int slot = MDIButtonsAreaWidth / 3;
  std::vector<TsPlacedButton> out;
  int right = lineRight;
  for (int code : {htcMDIClose, htcMDIRestore, htcMDIMinimize}) {
    const int left = right - slot + (slot - buttonWidth) / 2;
    const int top = lineTop + (lineHeight - buttonHeight) / 2;
    out.push_back({code, TRect{left, top, left + buttonWidth, top + buttonHeight}});
    right -= slot;
  }
  return out;
}

// ---- cache and grip -----------------------------------------------------------------------

int FrameCacheHeight(const TsFormGeometry& f, const ISystemMetrics& sm, int menuLines) {
  if (f.Iconic && !f.MainForm) return FrameBorderWidthPlain(f, sm) + CaptionHeight(f, sm, true) + 2;
  int h = f.FormHeight;
  if (f.HasBorderWindow)
    h += ExtBorderExtraWidth(f, sm) + ExtTitleExtraHeight(f) + f.ShadowTop + f.ShadowBottom + (menuLines > 0 ? 1 : 0);
  return h;
}

TPoint GripFrameSize(int maskWidth, int maskHeight, int imageCount, int maskType) {
  return TPoint{maskWidth / std::max(imageCount, 1), maskHeight / std::max(maskType + 1, 1)};
}

void MendOldSkinAlpha(const TlxPixelBuffer& px) {
  if (px.Empty() || px.BytesPerPixel != 4) return;
  for (int y = 0; y < px.Height; ++y)
    for (int x = 0; x < px.Width; ++x) {
      const std::uint32_t v = GetPix(px, x, y);
      const int a = static_cast<int>(v >> 24);
      if (a >= 255) continue;
      const int b = static_cast<int>(v & 0xFF), g = static_cast<int>((v >> 8) & 0xFF), r = static_cast<int>((v >> 16) & 0xFF);
      const int spread = std::max({b, g, r}) - std::min({b, g, r});
      if (spread == 0) continue;
      const double grown = (510.0 - 2.0 * a) / std::sqrt(255.0 / spread) + a;
      const std::uint32_t alpha = static_cast<std::uint32_t>(std::min(255L, std::lround(grown)));
      const auto less = [](int c) { return static_cast<std::uint32_t>(c - c / 16); };
      SetPix(px, x, y, (alpha << 24) | (less(r) << 16) | (less(g) << 8) | less(b));
    }
}
