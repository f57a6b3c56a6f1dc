// The list view and grid adapters' arithmetic: view styles, thumb drags, header column layout,
// total column width; the grid colour plan.
#include "skin/core/lxGridWndCore.h"
#include "skin/core/lxListViewCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/paint/sColorMath.h"

TEST(ListViewCore, ViewStyleOfLvmGetView) {
  const int expected[] = {lxViewIcon, lxViewReport, lxViewSmallIcon, lxViewList, lxViewList};
  for (int view = 0; view < 5; ++view) EXPECT_EQ(ListViewStyleOfView(view), expected[view]) << view;
}

TEST(ListViewCore, ThumbDragScrollsByWholeItems) {
  struct Case {
    int Style;
    bool Vertical;
    int NewPos, LastPos;
    TPoint Expected;
  } cases[] = {
      {lxViewReport, true, 5, 0, {0, 85}},   {lxViewReport, true, 7, 5, {0, 34}},
      {lxViewReport, true, 5, 5, {0, 0}},    {lxViewList, false, 2, 0, {240, 0}},
      {lxViewIcon, true, 30, 10, {0, 20}},   {lxViewIcon, false, 4, 10, {-6, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ThumbTrackScroll(c.Style, c.Vertical, c.NewPos, c.LastPos, 120, 17), c.Expected) << c.NewPos;
}

TEST(ListViewCore, HeaderColumnPiecesByAlignmentAndPress) {
  // A 100 x 20 column at 50: the band is (54, 1, 146, 19); text 30 x 13, arrow 8 x 4, image 16 x 16.
  struct Case {
    int Format;
    bool Pressed;
    TRect Text, Arrow, Image;
  } cases[] = {
      {lxHDF_SORTDOWN, false, {54, 3, 84, 16}, {90, 8, 98, 12}, {}},
      {lxHDF_RIGHT | lxHDF_SORTUP, false, {102, 3, 132, 16}, {138, 8, 146, 12}, {}},
      {lxHDF_CENTER | lxHDF_SORTDOWN | lxHDF_IMAGE, false, {88, 3, 118, 16}, {124, 8, 132, 12}, {68, 2, 84, 18}},
      {lxHDF_IMAGE, false, {74, 3, 104, 16}, {}, {54, 2, 70, 18}},
      {lxHDF_SORTDOWN, true, {55, 4, 85, 17}, {91, 9, 99, 13}, {}},
      {0, false, {54, 3, 84, 16}, {}, {}},
  };
  for (const Case& c : cases) {
    const TlxHeaderColumnLayout l =
        HeaderColumnLayout({TRect{50, 0, 150, 20}, TSize{30, 13}, TSize{8, 4}, TSize{16, 16}, c.Format, c.Pressed});
    EXPECT_EQ(l.Text, c.Text) << c.Format;
    EXPECT_EQ(l.Arrow, c.Arrow) << c.Format;
    EXPECT_EQ(l.Image, c.Image) << c.Format;
  }
}

TEST(ListViewCore, TotalColumnWidthStopsAboveTheLimit) {
  EXPECT_EQ(TotalColumnWidth({100, 50, 999999, 7}), 1000156);
  EXPECT_EQ(TotalColumnWidth({100, 50, 1000000, 7}), 150);
  EXPECT_EQ(TotalColumnWidth({100, -1000000, 7}), 100);
}

TEST(GridWndCore, ControlLookLinesOnlyForGridsThatHaveIt) {
  TlxGridSkinColors c;
  c.Fixed = 0x102030;
  c.Hot = 0x405060;
  c.EditFont = 0xFFFFFF;
  c.Border = 0x0000FF;
  auto has = [](const std::vector<TlxGridColorEntry>& plan, const std::string& path) {
    return std::any_of(plan.begin(), plan.end(), [&](const TlxGridColorEntry& e) { return e.Path == path; });
  };
  EXPECT_FALSE(has(GridColorPlan(c, false), "GridLineColor"));
  EXPECT_FALSE(has(GridColorPlan(c, false), "ControlLook.SelectionColor"));
  for (const TlxGridColorEntry& e : GridColorPlan(c, true)) {
    if (e.Path == "GridLineColor") {
      EXPECT_EQ(e.Value, BlendColors(c.Hot, c.EditFont, 0.7));
    } else if (e.Path == "LineColors.FixedColor") {
      EXPECT_EQ(e.Value, c.Border);
    }
  }
  EXPECT_EQ(SplitPropPath("GridStyle.Title.StartColor"), (std::vector<std::string>{"GridStyle", "Title", "StartColor"}));
}
