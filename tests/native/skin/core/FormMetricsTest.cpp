// Form metrics with the system metrics 4/3/19/16/19 (sizing frame, dialog frame, caption,
// small caption, menu line): caption heights, title icon sizes, menu-line counts, the region
// plan, the title-button widths and the clipped title-button strip of a narrow form.
#include <gtest/gtest.h>

#include "skin/core/sFormMetrics.h"
#include "tests/native/skin/core/FakeMetrics.h"

namespace {

// A sizeable captioned form, 400 x 300 at screen y 100, client 392 x 269.
TsFormGeometry SizeableForm() {
  TsFormGeometry f;
  f.Style = wsfCaption | wsfThickFrame | wsfSysMenu;
  f.BorderStyle = TsFormBorder::Sizeable;
  f.Top = 100;
  f.FormWidth = f.WindowWidth = 400;
  f.FormHeight = f.WindowHeight = 300;
  f.ClientWidth = 392;
  f.ClientHeight = 269;
  return f;
}

TEST(FormMetrics, TitleIconFollowsTheCaption) {
  EXPECT_EQ(TitleIconSizeFor(8), 1);
  EXPECT_EQ(TitleIconSizeFor(9), 8);
  EXPECT_EQ(TitleIconSizeFor(16), 8);
  EXPECT_EQ(TitleIconSizeFor(17), 16);
  TFakeMetrics sm;
  TsFormGeometry f = SizeableForm();
  f.HasSystemMenu = true;
  TRect r = IconRect(f, sm);
  EXPECT_EQ(r.Width(), 16);
  EXPECT_EQ(r.Left, 4);
  f.TitleIconWidth = 24;   // a set size wins, per side
  r = IconRect(f, sm);
  EXPECT_EQ(r.Width(), 24);
  EXPECT_EQ(r.Height(), 16);
  f.BorderStyle = TsFormBorder::Dialog;   // no icon on dialogs
  EXPECT_TRUE(IconRect(f, sm).IsEmpty());
}

TEST(FormMetrics, CaptionHeightByStyleAndState) {
  TFakeMetrics sm;
  TsFormGeometry f = SizeableForm();
  EXPECT_EQ(CaptionHeight(f, sm, true), 19);
  f.BorderStyle = TsFormBorder::ToolWindow;
  EXPECT_EQ(CaptionHeight(f, sm, true), 16);
  f.Iconic = true;
  EXPECT_EQ(CaptionHeight(f, sm, true), 19);
  f.Iconic = false;
  f.SysExtendedHeight = true;
  EXPECT_EQ(CaptionHeight(f, sm, true), 20);
  f.BorderStyle = TsFormBorder::None;   // no frame, not iconic: no caption
  EXPECT_EQ(CaptionHeight(f, sm, false), 0);
  f.Style = wsfBorder;
  f.BorderStyle = TsFormBorder::Single;
  EXPECT_EQ(CaptionHeight(f, sm, false), 0);
  EXPECT_EQ(FrameBorderWidth(f, sm, true), 3);
}

TEST(FormMetrics, MenuLinesFromTheFirstItemsBottom) {
  TFakeMetrics sm;
  TsFormGeometry f = SizeableForm();
  f.HasMainMenu = true;
  f.MenuItemCount = 3;
  // y0 = 100 + 300 - 269 - 4 = 127.
  f.FirstMenuItemBottom = 127;
  EXPECT_EQ(MenuLineCount(f, sm), 1);
  f.FirstMenuItemBottom = 127 - 34;   // two lines of 17 above
  EXPECT_EQ(MenuLineCount(f, sm), 3);
  f.FirstMenuItemBottom = 127 - 33;
  EXPECT_EQ(MenuLineCount(f, sm), 2);
  f.HScrollHeight = 17;   // a horizontal scroll bar moves y0 up by its height
  EXPECT_EQ(MenuLineCount(f, sm), 1);
  f.HScrollHeight = 0;
  sm.Menu = 2;   // a degenerate menu metric must not divide by zero
  EXPECT_GT(MenuLineCount(f, sm), 0);
  sm.Menu = 19;
  f.FirstMenuItemBottom.reset();
  EXPECT_EQ(MenuLineCount(f, sm), 0);
  f.FirstMenuItemBottom = 127;
  f.Iconic = true;
  EXPECT_EQ(MenuLineCount(f, sm), 0);
  f.Iconic = false;
  EXPECT_EQ(MenuLineHeight(f, sm), 18);
  f.MenuAutoMerge = true;
  EXPECT_EQ(MenuLineHeight(f, sm), 0);
}

TEST(FormMetrics, RegionPlan) {
  TFakeMetrics sm;
  TsFormGeometry f = SizeableForm();
  EXPECT_EQ(PlanFormRegion(f, sm, true, true, false).Kind, TsRegionKind::CutAways);
  EXPECT_EQ(PlanFormRegion(f, sm, false, true, false).Kind, TsRegionKind::Skip);
  EXPECT_EQ(PlanFormRegion(f, sm, true, true, true).Kind, TsRegionKind::Skip);
  f.Zoomed = true;
  const TsRegionPlan p = PlanFormRegion(f, sm, true, true, false);
  EXPECT_EQ(p.Kind, TsRegionKind::Rectangle);
  EXPECT_EQ(p.Rect, (TRect{4, 4, 400 - 4, 300 - 4}));
  f.HasMaxConstraints = true;   // a constrained maximized form keeps its skin's corners
  EXPECT_EQ(PlanFormRegion(f, sm, true, true, false).Kind, TsRegionKind::CutAways);
  f.Docked = true;
  EXPECT_EQ(PlanFormRegion(f, sm, true, true, false).Kind, TsRegionKind::Remove);
  EXPECT_EQ(OffsetRects({TRect{1, 2, 3, 4}}, 10, 20)[0], (TRect{11, 22, 13, 24}));
}

TEST(FormMetrics, UserButtonWidths) {
  const TsButtonImage none;
  EXPECT_EQ(UserButtonWidth(TsUserButtonInfo{}, none), 21);
  EXPECT_EQ(UserButtonWidth(TsUserButtonInfo{true, true, 30}, none), 32);
  const TsButtonImage skin{true, 75, 3, 18, false};   // 25-pixel frames
  EXPECT_EQ(UserButtonWidth(TsUserButtonInfo{true, true, 10}, skin), 25);
  const TsButtonImage broken{true, 75, 0, 18, false};   // a count of 0 counts as 1
  EXPECT_EQ(UserButtonWidth(TsUserButtonInfo{}, broken), 75);
  EXPECT_EQ(MDIButtonWidth(none), 16);
  EXPECT_EQ(MDIButtonWidth(TsButtonImage{true, 48, 1, 40, true}), 16);
  EXPECT_EQ(MDIButtonHeight(TsButtonImage{true, 48, 1, 40, true}), 20);
}

TEST(FormMetrics, TitleButtonsWidthCountsShownButtonsOnly) {
  TsTitleButtonsInput in;
  in.RightMargin = 5;
  in.Spacing = 2;
  in.LargeSet = true;
  in.SystemButtons = true;
  in.VisibleMax = in.VisibleMin = true;
  in.Close = TsButtonImage{true, 90, 3, 20, false};   // 30
  in.Max = TsButtonImage{true, 60, 3, 20, false};     // 20
  in.Min = TsButtonImage{true, 60, 0, 20, false};     // bad count: 60
  in.Help = TsButtonImage{true, 30, 3, 20, false};    // not shown
  EXPECT_EQ(TitleButtonsWidth(in), 5 + 30 + (20 + 2) + (60 + 2));
  in.UserButtons = {TsUserButtonInfo{true, false, 0}, TsUserButtonInfo{false, true, 30}};
  const int withUser = 5 + 30 + 22 + 62 + 8 + (21 + 2);   // the hidden one takes no room
  EXPECT_EQ(TitleButtonsWidth(in), withUser);
  in.SystemButtons = false;   // no system menu: only the margin and the user buttons
  in.LargeSet = false;
  EXPECT_EQ(TitleButtonsWidth(in), 5 + 8 + 21);
  in.UserButtons[1].Visible = true;
  EXPECT_EQ(TitleButtonsWidth(in), 5 + 8 + 21 + 32);
  in.UserButtons[0].Visible = in.UserButtons[1].Visible = false;   // none shown: no gap either
  EXPECT_EQ(TitleButtonsWidth(in), 5);
}

TEST(FormMetrics, ThumbnailKeepsTheImagesAspectRatio) {
  const auto fit = [](int rw, int rh, int sw, int sh) {
    const std::optional<TSize> s = FitThumbnail(rw, rh, sw, sh);
    return s ? std::make_pair(s->cx, s->cy) : std::make_pair(-1, -1);
  };
  EXPECT_EQ(fit(200, 100, 400, 400), std::make_pair(100, 100));   // wider request: height rules
  EXPECT_EQ(fit(100, 200, 400, 400), std::make_pair(100, 100));   // taller request: width rules
  EXPECT_EQ(fit(200, 100, 740, 559), std::make_pair(132, 100));   // 132.37 rounds down
  EXPECT_EQ(fit(100, 100, 3, 2), std::make_pair(100, 67));        // 66.67 rounds up
  EXPECT_EQ(fit(0, 100, 400, 400), std::make_pair(-1, -1));
  EXPECT_EQ(fit(100, 0, 400, 400), std::make_pair(-1, -1));
  EXPECT_EQ(fit(100, 100, 0, 400), std::make_pair(-1, -1));
  EXPECT_EQ(fit(1, 100, 1, 1000), std::make_pair(-1, -1));        // 0.1 pixel wide: nothing
  EXPECT_EQ(fit(65535, 65535, 1, 30000), std::make_pair(2, 65535));   // no overflow
}

TEST(FormMetrics, TitleStripIsClippedOnANarrowForm) {
  TFakeMetrics sm;
  TsFormGeometry f = SizeableForm();
  f.FormWidth = f.WindowWidth = 40;
  const TsTitleStrip s = TitleButtonsStrip(f, sm, 60, 40, true);
  EXPECT_EQ(s.Width, 4 + 60 + 10);
  EXPECT_EQ(s.Height, 4 + 19 + 4);
  EXPECT_LT(s.X, 0);
  EXPECT_EQ(TitleButtonsStrip(f, sm, 60, 40, false).SaveRows, 4 + 19);
  TlxImageBuffer cache(40, 50), work(s.Width, s.Height);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 40; ++x) SetPix(cache.View(), x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 40 + x));
  SaveTitleStrip(work.View(), cache.View(), s);
  // The cache's column 0 lands where the strip's left edge lies outside the cache.
  EXPECT_EQ(GetPix(work.View(), -s.X, 3), 0xFF000000u | (3u * 40u));
  EXPECT_EQ(GetPix(work.View(), 0, 0), 0u);
  for (int y = 0; y < s.Height; ++y)
    for (int x = 0; x < 40; ++x) SetPix(cache.View(), x, y, 0);
  RestoreTitleStrip(cache.View(), work.View(), s);
  // Every column but the last (the strip ends one pixel short of the cache's right edge).
  EXPECT_EQ(GetPix(cache.View(), 0, 0), 0xFF000000u);
  EXPECT_EQ(GetPix(cache.View(), 38, 26), 0xFF000000u | (26u * 40u + 38u));
  EXPECT_EQ(GetPix(cache.View(), 39, 26), 0u);
  EXPECT_EQ(GetPix(cache.View(), 5, 27), 0xFF000000u | (27u * 40u + 5u));   // below: untouched
  // A partial save (frame and caption rows) restores those rows only, not the stale rest.
  const TsTitleStrip part = TitleButtonsStrip(f, sm, 60, 40, false);
  SaveTitleStrip(work.View(), cache.View(), part);
  for (int y = 0; y < s.Height; ++y) SetPix(cache.View(), 3, y, 0);
  RestoreTitleStrip(cache.View(), work.View(), part);
  EXPECT_EQ(GetPix(cache.View(), 3, part.SaveRows - 1), 0xFF000000u | ((part.SaveRows - 1u) * 40u + 3u));
  EXPECT_EQ(GetPix(cache.View(), 3, part.SaveRows), 0u);
}

}  // namespace
