// The arithmetic of skinned menus; see the header.
#include "skin/core/sMenuLayout.h"

#include <algorithm>
#include <cmath>

TsMenuItemType MenuItemTypeOf(const std::string& caption) {
  if (caption == "-") return smDivider;
  if (caption.size() >= 2 && caption.front() == '-' && caption.back() == '-') return smCaption;
  return smNormal;
}

std::string CaptionItemText(const std::string& caption) {
  const size_t start = caption.find_first_not_of("- ");
  if (start == std::string::npos) return std::string();
  const size_t end = caption.find_first_of("- ", start);
  return caption.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string StripAmpersands(const std::string& text) {
  std::string r;
  r.reserve(text.size());
  for (char c : text)
    if (c != '&') r += c;
  return r;
}

int MenuItemHeight(TsMenuItemType type, int textHeightW, int glyphHeight, int margin) {
  if (type == smDivider) return 2;
  const int text = static_cast<int>(std::lround(textHeightW * 1.25));
  return (type == smCaption ? text : std::max(text, glyphHeight)) + 2 * margin;
}

int PopupItemWidth(int glyphWidth, int textWidth, int margin, int spacing, int extraLineWidth, bool firstColumn) {
  return 2 * glyphWidth + textWidth + 3 * margin + spacing + (firstColumn ? extraLineWidth : 0);
}

int PopupColumnsWidth(const std::vector<TsMenuColumnItem>& items) {
  int total = 0, column = 0;
  for (const TsMenuColumnItem& item : items) {
    if (!item.Visible) continue;
    if (item.Break) {
      total += column + 4;
      column = 0;
    }
    column = std::max(column, item.Width + 12);
  }
  return total + column;
}

int PopupColumnsHeight(const std::vector<TsMenuColumnItem>& items) {
  int tallest = 0, column = 0;
  for (const TsMenuColumnItem& item : items) {
    if (!item.Visible) continue;
    if (item.Break) column = 0;
    column += item.Height;
    tallest = std::max(tallest, column);
  }
  return tallest;
}

TsGlyphSize MenuGlyphSize(TsGlyphSize bitmap, TsGlyphSize subMenuImages, TsGlyphSize menuImages) {
  if (bitmap.Given()) return bitmap;
  if (subMenuImages.Given()) return subMenuImages;
  if (menuImages.Given()) return menuImages;
  return TsGlyphSize{16, 16};
}

bool SkinListStartsColumn(int index) { return index > 0 && index % 20 == 0; }
