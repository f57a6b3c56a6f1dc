// The tab, spin, track-bar and native tool-bar rules.
#include "skin/core/lxTabWndCore.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TabWndCore, PositionAndKindFromTheStyle) {
  struct Case {
    std::uint32_t Style;
    TlxTabPos Pos;
    int Kind;
  } cases[] = {
      {0x0, TlxTabPos::Top, 0},    {0x80, TlxTabPos::Left, 0},    {0x82, TlxTabPos::Right, 0},
      {0x2, TlxTabPos::Bottom, 0}, {0x100, TlxTabPos::Top, 1},    {0x108, TlxTabPos::Top, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabPosition(c.Style), c.Pos) << c.Style;
    EXPECT_EQ(TabButtonKind(c.Style), c.Kind) << c.Style;
  }
}

TEST(TabWndCore, AdjustedTabRectangles) {
  struct Case {
    TlxTabPos Pos;
    int Kind, Index, Count;
    TRect Item;
    bool Selected;
    TRect Expected;
  } cases[] = {
      {TlxTabPos::Top, 0, 0, 3, {2, 2, 60, 20}, false, {2, 2, 59, 24}},
      {TlxTabPos::Top, 0, 0, 3, {2, 2, 60, 20}, true, {0, 0, 62, 22}},
      {TlxTabPos::Bottom, 0, 0, 3, {2, 100, 60, 118}, false, {2, 98, 59, 118}},
      {TlxTabPos::Bottom, 0, 0, 3, {2, 100, 60, 118}, true, {0, 97, 62, 119}},
      {TlxTabPos::Top, 1, 0, 3, {2, 2, 60, 20}, true, {2, 2, 60, 20}},
      {TlxTabPos::Top, 2, 0, 3, {2, 2, 60, 20}, false, {2, 2, 60, 20}},
      {TlxTabPos::Top, 0, -1, 3, {2, 2, 60, 20}, false, {}},
      {TlxTabPos::Top, 0, 0, 0, {2, 2, 60, 20}, false, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AdjustedTabRect({c.Pos, c.Kind, c.Count}, c.Index, c.Item, c.Selected), c.Expected) << c.Item.Top;
}

TEST(TabWndCore, PageAreaMeetsTheDisplayOnTheTabsSide) {
  const TRect client{0, 0, 200, 100}, display{10, 30, 190, 90};
  struct Case {
    TlxTabPos Pos;
    TRect Page, Strip;
  } cases[] = {
      {TlxTabPos::Top, {0, 26, 200, 100}, {0, 0, 200, 26}},
      {TlxTabPos::Bottom, {0, 0, 200, 92}, {0, 92, 200, 100}},
      {TlxTabPos::Left, {9, 0, 200, 100}, {0, 0, 9, 100}},
      {TlxTabPos::Right, {0, 0, 191, 100}, {191, 0, 200, 100}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabPageAreaRect(c.Pos, client, display, true), c.Page);
    EXPECT_EQ(TabStripRect(c.Pos, client, display, true), c.Strip);
  }
  EXPECT_EQ(TabPageAreaRect(TlxTabPos::Top, client, display, false), client);
}

TEST(TabWndCore, RowsOfTopTabsAndAnEmptyRectangle) {
  struct Case {
    TRect Item;
    int Expected;
  } cases[] = {{{0, 2, 50, 20}, 1}, {{0, 20, 50, 38}, 2}, {{0, 38, 50, 56}, 3}, {{0, 0, 0, 0}, 1}};
  for (const Case& c : cases) EXPECT_EQ(TabRow(TlxTabPos::Top, c.Item, 3, TRect{}), c.Expected) << c.Item.Bottom;
}

TEST(TabWndCore, SectionsByPositionKindAndTabs) {
  EXPECT_EQ(TabPageSection(TlxTabPos::Left, true, "PAGECONTROL"), "PAGECONTROLLEFT");
  EXPECT_EQ(TabPageSection(TlxTabPos::Left, false, "PAGECONTROL"), "CHECKBOX");
  EXPECT_EQ(TabPageSection(TlxTabPos::Bottom, true, "PANEL"), "PANEL");
  EXPECT_EQ(TabFaceSection(TlxTabPos::Right, 0), "TABRIGHT");
  EXPECT_EQ(TabFaceSection(TlxTabPos::Right, 2), "TOOLBUTTON");
  EXPECT_EQ(RotatableFace("MS Sans Serif"), "Arial");
}

TEST(SpinCore, HalvesByCursorAndButton) {
  struct Case {
    bool Vertical;
    TPoint Cursor;
    bool Down;
    TlxSpinStates Expected;
  } cases[] = {
      {true, {5, 3}, false, {1, 0}}, {true, {5, 15}, true, {0, 2}},
      {false, {2, 5}, true, {2, 0}}, {true, {-1, 3}, true, {0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SpinHalfStates(16, 22, c.Vertical, c.Cursor, c.Down), c.Expected) << c.Cursor.Y;
}

TEST(SpinCore, ArrowSizeCountsNoneAsOne) {
  EXPECT_EQ(SpinArrowSize(48, 30, 3, 2), (TSize{16, 10}));
  EXPECT_EQ(SpinArrowSize(48, 30, 0, -1), (TSize{48, 30}));
}

TEST(TrackCore, TickSideChannelAndThumb) {
  EXPECT_EQ(TrackTickSide(0x8 | 0x4), 2);
  EXPECT_EQ(TrackTickSide(0x4), 1);
  EXPECT_EQ(TrackTickSide(0x0), 0);
  EXPECT_EQ(TrackChannelRect(TRect{10, 20, 190, 24}, false, 6), (TRect{10, 19, 190, 25}));
  EXPECT_EQ(TrackThumbRect(TRect{40, 10, 51, 33}, false, 11, 19), (TRect{40, 12, 51, 31}));
  EXPECT_EQ(TrackThumbRect(TRect{40, 10, 51, 31}, false, 11, 19), (TRect{40, 10, 51, 31}));
}

TEST(TrackCore, TickPlacesBetweenTheEnds) {
  struct Case {
    int Tic, Low, High, Expected;
  } cases[] = {{50, 0, 100, 60}, {15, 10, 20, 60}, {10, 10, 20, 10}, {5, 5, 5, 10}};
  for (const Case& c : cases) EXPECT_EQ(TrackTickPosition(10, 110, c.Tic, c.Low, c.High), c.Expected) << c.Tic;
}

TEST(TrackCore, TicksOnBothSidesOfAHorizontalChannel) {
  std::vector<TRect> got;
  TrackTickRects(TRect{10, 20, 190, 24}, false, 2, 50, 4, 2, 4, [&](const TRect& r) { got.push_back(r); });
  EXPECT_EQ(got, (std::vector<TRect>{{49, 28, 51, 32}, {49, 12, 51, 16}}));
}

TEST(ToolBarNativeCore, SeparatorStripAndState) {
  EXPECT_EQ(ToolSeparatorRect(8, 22), (TRect{3, 2, 7, 20}));
  EXPECT_EQ(NativeToolButtonState(false, true, true), 0);
  EXPECT_EQ(NativeToolButtonState(true, true, false), 2);
  EXPECT_EQ(NativeToolButtonState(true, false, true), 1);
}

TEST(ToolBarNativeCore, CaptionSplitAtTheLastSpaceThatFits) {
  const auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 6; };
  struct Case {
    const char* Caption;
    int Width;
    const char *First, *Second;
    bool Two;
  } cases[] = {
      {"Save as file", 45, "Save as", "file", true},
      {"Exportation of traces", 45, "", "Exportation of traces", true},
      {"Save", 45, "Save", "", false},
  };
  for (const Case& c : cases) {
    const TlxCaptionLines l = SplitToolCaption(c.Caption, c.Width, width);
    EXPECT_EQ(l.First, c.First) << c.Caption;
    EXPECT_EQ(l.Second, c.Second) << c.Caption;
    EXPECT_EQ(l.TwoLines, c.Two) << c.Caption;
  }
}
