// Title-bar layout with the system metrics 4/3/19/16/19 (sizing frame, dialog frame, caption,
// small caption, menu line): button places, caption alignment, hit-test answers, the iconic
// cache height and the grip size of bad skin data.
#include <gtest/gtest.h>

#include "skin/core/sTitleLayout.h"
#include "tests/native/skin/core/FakeMetrics.h"

namespace {

// A 400-pixel-wide sizeable form: frame 4, caption 19, large 24 x 18 buttons, spacing 2.
TsTitleRowInput Row() {
  TsTitleRowInput in;
  in.CacheWidth = 400;
  in.RightMargin = 3;
  in.Spacing = 2;
  in.FrameWidthExt = in.FrameWidth = 4;
  in.CaptionHeight = 19;
  in.LargeSet = true;
  in.System = {{htcClose, 24, 18, true}, {htcMaxButton, 24, 18, true}, {htcMinButton, 24, 18, true}};
  return in;
}

TRect RectOf(const std::vector<TsPlacedButton>& placed, int code) {
  for (const TsPlacedButton& b : placed)
    if (b.Code == code) return b.Rect;
  ADD_FAILURE() << "no button " << code;
  return {};
}

TEST(TitleLayout, ButtonsRightToLeftHelpApartUsersAfterAGap) {
  TsTitleRowInput in = Row();
  std::vector<TsPlacedButton> placed = PlaceTitleButtons(in);
  EXPECT_EQ(RectOf(placed, htcClose).Right, 400 - 3 - 4);
  EXPECT_EQ(RectOf(placed, htcMaxButton).Right, RectOf(placed, htcClose).Left - 2);
  EXPECT_EQ(RectOf(placed, htcMinButton).Right, RectOf(placed, htcMaxButton).Left - 2);
  // Centred in frame + caption: (4 + 19 - 18) / 2.
  EXPECT_EQ(RectOf(placed, htcClose).Top, 2);
  const int normalRight = RectOf(placed, htcMinButton).Left - 2;
  in.System.push_back({htcHelp, 24, 18, false});
  in.User = {{htcUserButton, 21, 18, false}, {htcUserButton + 1, 21, 18, false}};
  placed = PlaceTitleButtons(in);
  const TRect help = RectOf(placed, htcHelp);
  EXPECT_EQ(help.Right, normalRight - 6);
  // The first user button is the rightmost, 8 pixels left of the system ones.
  EXPECT_EQ(RectOf(placed, htcUserButton).Right, help.Left - 8);
  EXPECT_EQ(RectOf(placed, htcUserButton + 1).Right, RectOf(placed, htcUserButton).Left - 2);
  // A small image of the large set sits 2 pixels lower.
  EXPECT_EQ(TitleButtonTop(in, 14, true), (4 + 19 - 14) / 2 + 2);
  EXPECT_EQ(TitleButtonTop(in, 14, false), (4 + 19 - 14) / 2);
}

TEST(TitleLayout, CaptionAlignment) {
  TsCaptionInput in;
  in.FrameWidthExt = in.FrameWidth = 4;
  in.CaptionHeight = 19;
  in.IconWidth = 16;
  in.CacheWidth = 400;
  in.ButtonsWidth = 80;
  in.TextWidth = 100;
  in.TextHeight = 13;
  const TRect left = CaptionTextRect(in);
  EXPECT_EQ(left.Left, 4 + 16 + 4);
  EXPECT_EQ(left.Right, 400 - 80 - 12);
  EXPECT_EQ(left.Top, 4 + 3);
  in.HasCaptionSection = true;
  EXPECT_EQ(CaptionTextRect(in).Left, left.Left + 2);
  in.HasCaptionSection = false;
  in.Alignment = 1;
  EXPECT_EQ(CaptionTextRect(in).Left, left.Right - 104);
  in.RightToLeft = true;   // mirrored: right becomes left
  EXPECT_EQ(CaptionTextRect(in).Left, left.Left);
  in.RightToLeft = false;
  in.TextWidth = 1000;   // too wide: the left edge stays
  EXPECT_EQ(CaptionTextRect(in).Left, left.Left);
  in.Alignment = 2;
  in.TextWidth = 100;
  const TRect centred = CaptionTextRect(in);
  EXPECT_EQ(centred.Left, left.Left + (left.Width() - 104) / 2);
  EXPECT_EQ(centred.Width(), 100);
}

TsHitTestInput HitInput() {
  TsHitTestInput in;
  in.Width = 400;
  in.Height = 300;
  in.FrameWidth = in.TopFrame = 4;
  in.CaptionHeight = 19;
  in.ThickFrame = in.SystemButtons = true;
  in.EnabledMax = in.EnabledMin = true;
  in.Icon = TRect{4, 5, 20, 21};
  in.Buttons = PlaceTitleButtons(Row());
  return in;
}

int At(TsHitTestInput in, int x, int y) {
  in.Point = TPoint{x, y};
  return TitleHitTestAt(in);
}

TEST(TitleLayout, HitTestAlongTheCaptionAndTheBorders) {
  TsHitTestInput in = HitInput();
  const TRect close = RectOf(in.Buttons, htcClose), max = RectOf(in.Buttons, htcMaxButton),
              min = RectOf(in.Buttons, htcMinButton);
  const struct {
    int X, Y, Code;
  } along[] = {{close.Left + 1, 10, htcClose}, {max.Left + 1, 10, htcMaxButton}, {min.Left + 1, 10, htcMinButton},
               {200, 10, htcCaption},          {10, 10, htcSysMenu},            {200, 100, htcClient},
               {1, 1, htcTopLeft},             {399, 299, htcBottomRight},      {1, 100, htcLeft},
               {200, 299, htcBottom}};
  for (const auto& a : along) EXPECT_EQ(At(in, a.X, a.Y), a.Code) << a.X << "," << a.Y;
  // A menu line below the caption.
  in.MenuLinesHeight = 18;
  EXPECT_EQ(At(in, 200, 30), htcMenu);
  // Maximized: no borders; disabled minimize answers the caption.
  in.Zoomed = true;
  in.EnabledMin = false;
  EXPECT_EQ(At(in, 1, 100), htcClient);
  EXPECT_EQ(At(in, min.Left + 1, 10), htcCaption);
  // Maximize disabled: caption unless it restores.
  in.EnabledMax = false;
  EXPECT_EQ(At(in, max.Left + 1, 10), htcCaption);
  in.EnabledRestore = true;
  EXPECT_EQ(At(in, max.Left + 1, 10), htcMaxButton);
  // Iconic: minimize restores even when disabled; maximize stays the caption.
  in.Iconic = true;
  EXPECT_EQ(At(in, min.Left + 1, 10), htcMinButton);
  EXPECT_EQ(At(in, max.Left + 1, 10), htcCaption);
}

TEST(TitleLayout, HitTestHiddenButtonsHelpUsersAndGrip) {
  TsHitTestInput in = HitInput();
  TsTitleRowInput row = Row();
  row.System = {{htcClose, 24, 18, true}, {htcHelp, 24, 18, false}};   // min/max hidden
  row.User = {{htcUserButton, 21, 18, false}, {htcUserButton + 1, 21, 18, false}};
  in.Buttons = PlaceTitleButtons(row);
  in.UserEnabled = {true, false};
  const TRect help = RectOf(in.Buttons, htcHelp);
  EXPECT_EQ(At(in, help.Left + 1, 10), htcHelp);
  // Where maximize stood there is only caption now.
  EXPECT_EQ(At(in, RectOf(in.Buttons, htcClose).Left - 4, 10), htcCaption);
  EXPECT_EQ(At(in, RectOf(in.Buttons, htcUserButton).Left + 1, 10), htcUserButton);
  // A disabled user button falls through to the caption.
  EXPECT_EQ(At(in, RectOf(in.Buttons, htcUserButton + 1).Left + 1, 10), htcCaption);
  // The grip answers bottom-right only with an image.
  in.ThickFrame = false;
  in.GripShown = true;
  EXPECT_EQ(At(in, 390, 290), htcClient);
  in.Grip = TRect{380, 280, 395, 295};
  EXPECT_EQ(At(in, 390, 290), htcBottomRight);
  EXPECT_EQ(At(in, 370, 290), htcClient);
}

TEST(TitleLayout, MaximizedMDIChildButtonsInTheMenuLinesLastSixtyPixels) {
  // A line from y 30, 18 high, ending at x 396; buttons 16 x 14.
  const std::vector<TsPlacedButton> placed = PlaceMDIButtons(396, 30, 18, 16, 14);
  const struct {
    int Code;
    TRect Rect;
  } expected[] = {{htcMDIClose, {378, 32, 394, 46}}, {htcMDIRestore, {358, 32, 374, 46}}, {htcMDIMinimize, {338, 32, 354, 46}}};
  ASSERT_EQ(placed.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(placed[i].Code, expected[i].Code);
    EXPECT_EQ(placed[i].Rect, expected[i].Rect) << placed[i].Code;
  }
  TsHitTestInput in = HitInput();
  in.MenuLinesHeight = 18;
  in.MDIButtons = placed;
  EXPECT_EQ(At(in, 380, 35), htcMDIClose);
  EXPECT_EQ(At(in, 360, 35), htcMDIRestore);
  EXPECT_EQ(At(in, 340, 35), htcMDIMinimize);
  EXPECT_EQ(At(in, 356, 35), htcMenu);   // between two buttons
}

TEST(TitleLayout, IconicCacheHeightAndGripOfBadSkinData) {
  TFakeMetrics sm;
  TsFormGeometry f;
  f.Style = wsfCaption | wsfThickFrame;
  f.FormHeight = 300;
  EXPECT_EQ(FrameCacheHeight(f, sm, 0), 300);
  f.Iconic = true;
  EXPECT_EQ(FrameCacheHeight(f, sm, 0), 4 + 19 + 2);
  f.MainForm = true;
  EXPECT_EQ(FrameCacheHeight(f, sm, 0), 300);
  EXPECT_EQ(GripFrameSize(30, 20, 0, 0).X, 30);
  EXPECT_EQ(GripFrameSize(30, 20, 3, 1).X, 10);
  EXPECT_EQ(GripFrameSize(30, 20, 3, 1).Y, 10);
  EXPECT_EQ(GripFrameSize(30, 20, 1, -1).Y, 20);
}

TEST(TitleLayout, OldSkinAlphaMendsOnlyColouredSeeThroughPixels) {
  TlxImageBuffer img(4, 1);
  const TlxPixelBuffer& px = img.View();
  SetPix(px, 0, 0, 0x00FF0000u);   // pure red, alpha 0: fully opaque, channels less a sixteenth
  SetPix(px, 1, 0, 0x00808080u);   // grey: no spread, kept
  SetPix(px, 2, 0, 0xFF123456u);   // opaque: kept
  SetPix(px, 3, 0, 0xC8040000u);   // alpha 200, spread 4: 200 + 110 / sqrt(63.75)
  MendOldSkinAlpha(px);
  EXPECT_EQ(GetPix(px, 0, 0), 0xFFF00000u);
  EXPECT_EQ(GetPix(px, 1, 0), 0x00808080u);
  EXPECT_EQ(GetPix(px, 2, 0), 0xFF123456u);
  EXPECT_EQ(GetPix(px, 3, 0), 0xD6040000u);
}

}  // namespace
