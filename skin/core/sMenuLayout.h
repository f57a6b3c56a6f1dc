// The arithmetic of skinned menus, window-free: item heights and widths from measured text and
// glyph sizes, the columns of a popup (an item with a break starts a new column), caption items
// ("-Group-"), the glyph size order, and the column rule of the skin list. The skinned-menus
// unit measures text and glyphs with the system and hands the numbers here. Owns nothing.
#pragma once

#include <string>
#include <vector>

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// The kind of an item by its caption: "-" alone a divider, "-Text-" a caption item.
TsMenuItemType MenuItemTypeOf(const std::string& caption);
// The text shown on a caption item: the first word between the "-" signs ("-Group-" -> "Group",
// "--Two words--" -> "Two"); empty when there is none.
std::string CaptionItemText(const std::string& caption);
// Every "&" removed.
std::string StripAmpersands(const std::string& text);

// Height of an item: 2 for a divider; otherwise round(1.25 x the text height of "W") — at least
// the glyph height for a normal item — plus twice the margin.
int MenuItemHeight(TsMenuItemType type, int textHeightW, int glyphHeight, int margin);
// Width of a popup item: twice the glyph width, the text, three margins and the spacing, plus
// the extra line's width for an item of the first column.
int PopupItemWidth(int glyphWidth, int textWidth, int margin, int spacing, int extraLineWidth, bool firstColumn);

// One item of a popup as its columns see it.
struct TsMenuColumnItem {
  bool Visible = true;
  bool Break = false;   // starts a new column
  int Width = 0;        // measured width
  int Height = 0;
};
// Width of the popup's items: per column the widest item + 12, and 4 between columns.
int PopupColumnsWidth(const std::vector<TsMenuColumnItem>& items);
// Height of the popup's items: the tallest column.
int PopupColumnsHeight(const std::vector<TsMenuColumnItem>& items);

// Which size a glyph takes, in this order: the item's own bitmap, the parent item's sub-menu
// images, the menu's images, else 16 x 16. A size of 0 x 0 stands for "none".
struct TsGlyphSize {
  int Width = 0, Height = 0;
  bool Given() const { return Width > 0 && Height > 0; }
};
TsGlyphSize MenuGlyphSize(TsGlyphSize bitmap, TsGlyphSize subMenuImages, TsGlyphSize menuImages);

// The skin list of the system menu lays its items out in columns of 20: the item at a positive
// multiple of 20 starts a new one.
bool SkinListStartsColumn(int index);
