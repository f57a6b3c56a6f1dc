// The arithmetic of skinned menus: item heights, popup columns, caption items, glyph sizes,
// item widths and the skin list's columns.
#include "skin/core/sMenuLayout.h"

#include <gtest/gtest.h>

TEST(MenuLayout, ItemHeights) {
  EXPECT_EQ(MenuItemHeight(smDivider, 13, 16, 2), 2);
  // round(13 x 1.25) = 16 against a glyph of 16, plus two margins.
  EXPECT_EQ(MenuItemHeight(smNormal, 13, 16, 2), 20);
  // A taller glyph wins; a caption item ignores the glyph.
  EXPECT_EQ(MenuItemHeight(smNormal, 13, 24, 2), 28);
  EXPECT_EQ(MenuItemHeight(smCaption, 13, 24, 2), 20);
  // round(14 x 1.25) = 17.5 rounds up.
  EXPECT_EQ(MenuItemHeight(smNormal, 14, 0, 2), 22);
}

TEST(MenuLayout, ColumnsAcrossBreaks) {
  std::vector<TsMenuColumnItem> items{{true, false, 70, 20}, {true, false, 50, 20}, {true, false, 30, 2},
                                      {true, true, 40, 20},  {false, false, 500, 90}};
  EXPECT_EQ(PopupColumnsWidth(items), 82 + 4 + 52);
  EXPECT_EQ(PopupColumnsHeight(items), 42);
  // A hidden item starting a column starts none; a taller second column wins.
  items[3].Visible = false;
  items.push_back({true, true, 10, 60});
  EXPECT_EQ(PopupColumnsWidth(items), 82 + 4 + 22);
  EXPECT_EQ(PopupColumnsHeight(items), 60);
  EXPECT_EQ(PopupColumnsWidth({}), 0);
  EXPECT_EQ(PopupColumnsHeight({}), 0);
}

TEST(MenuLayout, CaptionItemsAndDividers) {
  EXPECT_EQ(MenuItemTypeOf("-"), smDivider);
  EXPECT_EQ(MenuItemTypeOf("-Group-"), smCaption);
  EXPECT_EQ(CaptionItemText("-Group-"), "Group");
  EXPECT_EQ(CaptionItemText("--Two words--"), "Two");
  EXPECT_EQ(CaptionItemText("--"), "");
  EXPECT_EQ(MenuItemTypeOf("-Group"), smNormal);
  EXPECT_EQ(MenuItemTypeOf("&Open"), smNormal);
  EXPECT_EQ(MenuItemTypeOf(""), smNormal);
  EXPECT_EQ(StripAmpersands("&File && &more"), "File  more");
}

TEST(MenuLayout, GlyphSizeOrder) {
  const TsGlyphSize none, bmp{20, 18}, sub{24, 24}, menu{32, 32};
  EXPECT_EQ(MenuGlyphSize(bmp, sub, menu).Width, 20);
  EXPECT_EQ(MenuGlyphSize(none, sub, menu).Width, 24);
  EXPECT_EQ(MenuGlyphSize(none, none, menu).Height, 32);
  EXPECT_EQ(MenuGlyphSize(none, none, none).Width, 16);
  EXPECT_EQ(MenuGlyphSize(TsGlyphSize{0, 18}, none, none).Height, 16);
}

TEST(MenuLayout, ItemWidthWithExtraLine) {
  EXPECT_EQ(PopupItemWidth(16, 60, 2, 8, 32, true), 32 + 60 + 6 + 8 + 32);
  EXPECT_EQ(PopupItemWidth(16, 60, 2, 8, 32, false), 32 + 60 + 6 + 8);
  EXPECT_EQ(PopupItemWidth(16, 60, 2, 8, 0, true), 32 + 60 + 6 + 8);
}

TEST(MenuLayout, SkinListColumns) {
  EXPECT_FALSE(SkinListStartsColumn(0));
  EXPECT_FALSE(SkinListStartsColumn(19));
  EXPECT_TRUE(SkinListStartsColumn(20));
  EXPECT_FALSE(SkinListStartsColumn(21));
  EXPECT_TRUE(SkinListStartsColumn(40));
}
