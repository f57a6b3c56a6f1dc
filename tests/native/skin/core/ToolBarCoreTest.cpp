// The skinned tool bar's client offset inside its edges, a tool button's caption and drop-down
// places and its face state.
#include <gtest/gtest.h>

#include <array>

#include "skin/core/sToolBarCore.h"

namespace {

TEST(ToolBarCore, EdgeOffsets) {
  const struct {
    TsToolBarEdges Edges;
    TPoint Want;
  } cases[] = {{{false, true, 0, 2}, {0, 2}},
               {{true, false, 1, 2}, {4, 2}},   // the border width counts on every side
               {{true, true, 0, 1}, {1, 1}},
               {{true, true, 3, 0}, {0, 0}}};
  for (const auto& c : cases) {
    const TPoint p = ToolBarEdgeOffset(c.Edges);
    EXPECT_EQ(p.X, c.Want.X) << c.Edges.BorderWidth << " " << c.Edges.Lines;
    EXPECT_EQ(p.Y, c.Want.Y) << c.Edges.BorderWidth << " " << c.Edges.Lines;
  }
}

// The program's buttons: 67 x 52, 32-pixel images, "A" 13 pixels high.
TEST(ToolBarCore, CaptionPlaces) {
  const TsToolButtonLayout button{67, 52, 32, 32, false, true, false, 13, 0};
  TsToolButtonLayout list = button, pressed = button;
  list.List = true;
  pressed.State = BtnPressed;
  const struct {
    TsToolCaptionQuery Query;
    TRect Want;
  } cases[] = {
      {{button, true, true, 0, 21}, {23, 37, 44, 50}},
      {{pressed, true, true, 0, 21}, {24, 38, 45, 51}},
      {{button, false, false, 0, 21}, {23, 19, 44, 33}},     // (52 - 13) / 2 = 19 from each side
      {{button, true, true, 15, 21}, {15, 37, 36, 50}},      // centred left of the drop-down part
      {{list, true, true, 15, 21}, {38, 2, 50, 50}},
      {{list, true, false, 0, 21}, {1, 2, 65, 50}},
  };
  for (const auto& c : cases) {
    const TRect r = ToolButtonCaptionRect(c.Query);
    EXPECT_EQ((std::array<int, 4>{r.Left, r.Top, r.Right, r.Bottom}),
              (std::array<int, 4>{c.Want.Left, c.Want.Top, c.Want.Right, c.Want.Bottom}))
        << c.Query.Button.List << c.Query.ShowsImage << c.Query.DropDownWidth << c.Query.Button.State;
  }
}

TEST(ToolBarCore, DropDownPartArrowAndFace) {
  const TRect part = ToolButtonDropDownRect(67, 52, 15);
  EXPECT_EQ((std::array<int, 4>{part.Left, part.Top, part.Right, part.Bottom}), (std::array<int, 4>{52, 0, 67, 52}));
  EXPECT_EQ(ToolButtonDropDownRect(10, 20, 15).Left, 0);   // never wider than the button
  const TPoint arrow = ToolButtonArrowPos(part, 10, 5);
  EXPECT_EQ(arrow.X, 52 + 1 + 2);
  EXPECT_EQ(arrow.Y, 23);
  const struct {
    TCustomDrawState State;
    bool Marked;
    int Want;
  } faces[] = {{0, false, BtnNormal}, {cdsDisabled, false, BtnNormal}, {cdsHot, false, BtnHot},
               {cdsChecked, false, BtnPressed}, {0, true, BtnPressed}, {cdsDisabled, true, BtnPressed}};
  for (const auto& f : faces) EXPECT_EQ(ToolButtonFaceState(f.State, f.Marked), f.Want) << f.State << f.Marked;
}

}  // namespace

TEST(ToolBarCore, HotIndexForgottenWhenItsButtonOrTheLastGoes) {
  struct Case {
    int Hot, Deleted, Count, Expected;
  } cases[] = {{4, 4, 5, -1}, {4, 1, 5, -1}, {2, 2, 5, -1}, {1, 3, 5, 1}, {-1, 0, 5, -1}};
  for (const Case& c : cases) EXPECT_EQ(HotIndexAfterDeleting(c.Hot, c.Deleted, c.Count), c.Expected) << c.Hot;
}
