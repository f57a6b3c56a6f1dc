// The tab, spin, track-bar and native tool-bar rules (see lxTabWndCore.h).
#include "skin/core/lxTabWndCore.h"

#include "skin/core/sTitleLayout.h"

#include <algorithm>

namespace {

TRect Inflate(TRect r, int dx, int dy) { return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy}; }

}  // namespace

// ---- tab controls ----------------------------------------------------------------------------

TlxTabPos TabPosition(std::uint32_t style) {
  if ((style & lxTCS_VERTICAL) == 0) return (style & lxTCS_BOTTOM) != 0 ? TlxTabPos::Bottom : TlxTabPos::Top;
  return (style & lxTCS_RIGHT) != 0 ? TlxTabPos::Right : TlxTabPos::Left;
}

int TabButtonKind(std::uint32_t style) {
  if ((style & lxTCS_FLATBUTTONS) != 0) return 2;
  return (style & lxTCS_BUTTONS) != 0 ? 1 : 0;
}

TRect AdjustedTabRect(const TlxTabQuery& q, int index, const TRect& item, bool selected) {
  if (index < 0 || index >= q.Count) return TRect{};
  if (q.Kind != 0 || item.IsEmpty()) return item;
  TRect r = item;
  // The unselected tab reaches down to the page frame; the selected one stops a line short of
  // it so that its own face closes the frame.
  if (selected) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  const int d = selected ? 1 : 0;
  switch (q.Pos) {
    case TlxTabPos::Top:
      r = Inflate(r, 2 * d, 2 * d);
      r.Bottom += 1;
      break;
    case TlxTabPos::Bottom:
      r = Inflate(r, 2 * d, d);
      r.Top -= 2;
      r.Bottom += selected ? 1 : -3;
      break;
    case TlxTabPos::Left: {
      const int oldRight = r.Right;
      r = Inflate(r, 0, 1);
      r.Right += 2;
      if (selected) {
        r = Inflate(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right = oldRight + 4;
      }
      break;
    }
    case TlxTabPos::Right:
      r = Inflate(r, 1, 0);
      r = TRect{r.Left - 1, r.Top - 1, r.Right - 1, r.Bottom - 1};
      if (selected) {
        r = Inflate(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  return r;
}

TRect TabPageAreaRect(TlxTabPos pos, const TRect& client, const TRect& display, bool hasTabs) {
  TRect r = client;
  if (!hasTabs) return r;
  switch (pos) {
    case TlxTabPos::Top: r.Top = display.Top - 4; break;
    case TlxTabPos::Bottom: r.Bottom = display.Bottom + 2; break;
    case TlxTabPos::Left: r.Left = display.Left - 1; break;
    case TlxTabPos::Right: r.Right = display.Right + 1; break;
  }
  return r;
}

TRect TabStripRect(TlxTabPos pos, const TRect& client, const TRect& display, bool hasTabs) {
  TRect r = client;
  if (!hasTabs) return r;
  switch (pos) {
    case TlxTabPos::Top: r.Bottom = display.Top - 4; break;
    case TlxTabPos::Bottom: r.Top = display.Bottom + 2; break;
    case TlxTabPos::Left: r.Right = display.Left - 1; break;
    case TlxTabPos::Right: r.Left = display.Right + 1; break;
  }
  return r;
}

int TabRow(TlxTabPos pos, const TRect& item, int rows, const TRect& strip) {
  if (rows < 2) return 1;
  const int w = item.Width(), h = item.Height();
  const bool across = pos == TlxTabPos::Left || pos == TlxTabPos::Right;
  if (across ? w <= 0 : h <= 0) return 1;
  switch (pos) {
    case TlxTabPos::Top: return (item.Bottom + h / 2) / h;
    case TlxTabPos::Left: return (item.Right + w / 2) / w;
    case TlxTabPos::Right: return rows - (item.Right + w / 2 - strip.Left) / w + 1;
    case TlxTabPos::Bottom: return rows - (item.Bottom + h / 2 - strip.Top) / h + 1;
  }
  return 1;
}

std::string TabPageSection(TlxTabPos pos, bool hasTabs, const std::string& own) {
  if (!hasTabs) return "CHECKBOX";
  if (!own.empty() && own != "PAGECONTROL") return own;
  static const char* const names[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};
  return names[static_cast<int>(pos)];
}

std::string TabFaceSection(TlxTabPos pos, int kind) {
  if (kind == 1) return "BUTTON";
  if (kind == 2) return "TOOLBUTTON";
  static const char* const names[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  return names[static_cast<int>(pos)];
}

std::string RotatableFace(const std::string& face) { return face == "MS Sans Serif" ? "Arial" : face; }

// ---- spin windows ----------------------------------------------------------------------------

TlxSpinStates SpinHalfStates(int width, int height, bool vertical, TPoint cursor, bool mouseDown) {
  if (cursor.X < 0 || cursor.Y < 0 || cursor.X >= width || cursor.Y >= height) return {};
  const int state = 1 + (mouseDown ? 1 : 0);
  const bool first = vertical ? cursor.Y < height / 2 : cursor.X < width / 2;
  return first ? TlxSpinStates{state, 0} : TlxSpinStates{0, state};
}

void SpinHalves(int width, int height, bool vertical, int leftOffset, TRect& first, TRect& second) {
  if (vertical) {
    first = TRect{leftOffset, 0, width, height - height / 2};
    second = TRect{leftOffset, height / 2, width, height};
  } else {
    first = TRect{leftOffset, 0, width - width / 2, height};
    second = TRect{width / 2, 0, width, height};
  }
}

TSize SpinArrowSize(int maskW, int maskH, int imageCount, int maskType) {
  const TPoint frame = GripFrameSize(maskW, maskH, imageCount, maskType);
  return TSize{frame.X, frame.Y};
}

// ---- track bars ------------------------------------------------------------------------------

int TrackTickSide(std::uint32_t style) {
  if ((style & lxTBS_BOTH) != 0) return 2;
  return (style & lxTBS_TOP) != 0 ? 1 : 0;
}

TRect TrackChannelRect(const TRect& channel, bool vertical, int thickness) {
  TRect r = channel;
  if (vertical) {
    r.Left = channel.Left + (channel.Width() - thickness) / 2;
    r.Right = r.Left + thickness;
  } else {
    r.Top = channel.Top + (channel.Height() - thickness) / 2;
    r.Bottom = r.Top + thickness;
  }
  return r;
}

int TrackTickPosition(int first, int last, int tic, int low, int high) {
  if (high <= low) return first;
  return first + static_cast<int>(static_cast<long long>(last - first) * (tic - low) / (high - low));
}

TRect TrackThumbRect(const TRect& thumb, bool vertical, int maskW, int maskH) {
  constexpr int DefaultThumb = 23;
  const int across = vertical ? thumb.Width() : thumb.Height();
  if (across != DefaultThumb) return thumb;
  const int left = thumb.Left + (thumb.Width() - maskW) / 2;
  const int top = thumb.Top + (thumb.Height() - maskH) / 2;
  return TRect{left, top, left + maskW, top + maskH};
}

void TrackTickRects(const TRect& channel, bool vertical, int side, int pos, int length, int thick, int gap,
                    const std::function<void(const TRect&)>& each) {
  const int a = pos - thick / 2;
  // Side 0 is below (right of) the channel, 1 above (left of) it, 2 both.
  if (side != 1) {
    each(vertical ? TRect{channel.Right + gap, a, channel.Right + gap + length, a + thick}
                  : TRect{a, channel.Bottom + gap, a + thick, channel.Bottom + gap + length});
  }
  if (side != 0) {
    each(vertical ? TRect{channel.Left - gap - length, a, channel.Left - gap, a + thick}
                  : TRect{a, channel.Top - gap - length, a + thick, channel.Top - gap});
  }
}

// ---- native tool bars --------------------------------------------------------------------------

TRect ToolSeparatorRect(int width, int height) {
  const int left = width / 2 - 1;
  return TRect{left, 2, left + 4, height - 2};
}

TlxCaptionLines SplitToolCaption(const std::string& caption, int width,
                                 const std::function<int(const std::string&)>& textWidth) {
  TlxCaptionLines lines;
  if (textWidth(caption) <= width) {
    lines.First = caption;
    return lines;
  }
  size_t cut = 0;   // the end of the longest run of words that fits
  for (size_t space = caption.find(' '); space != std::string::npos; space = caption.find(' ', space + 1)) {
    if (textWidth(caption.substr(0, space)) > width) break;
    cut = space;
  }
  lines.TwoLines = true;
  lines.First = caption.substr(0, cut);
  lines.Second = caption.substr(cut == 0 ? 0 : cut + 1);
  return lines;
}

int NativeToolButtonState(bool enabled, bool pressed, bool hot) {
  if (!enabled) return 0;
  if (pressed) return 2;
  return hot ? 1 : 0;
}
