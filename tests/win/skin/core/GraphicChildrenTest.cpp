// Tests of the painting of a container's graphic children through one off-screen bitmap (an
// empty clip, children too small to paint, a nested call, a child that throws, a child at the
// container's edge copied with an offset) and of letting child controls resume their painting.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/ResourceCount.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Fuchsia = RGB(255, 0, 255);
constexpr int W = 40, H = 30;

// Counts command 22 (partly hidden) and command 6 (resume painting).
template <class Base>
class TCounting : public Base {
public:
  using Base::Base;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdMarkPartlyHidden) ++Marked;
    if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdResumePaint) ++Resumed;
    Base::WndProc(m);
  }
  int Marked = 0;
  int Resumed = 0;
};

// A graphic child that fills itself with its colour, or throws, or paints its parent's
// graphic children again from within its own painting.
class TChild : public TCounting<TGraphicControl> {
public:
  enum TKind { Fill, Throw, Nest };
  TChild(TWinControl* parent, TRect r, COLORREF colour, TKind kind = Fill)
      : TCounting<TGraphicControl>(nullptr), Colour(colour), Kind(kind) {
    SetParent(parent);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
  }
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    if (Kind == Throw) throw std::runtime_error("a child's painting failed");
    if (Kind == Nest) PaintGraphicChildren(Canvas()->GetHandle(), Parent(), false);
    Canvas()->Brush()->SetColor(static_cast<TColor>(Colour));
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }

private:
  COLORREF Colour;
  TKind Kind;
};

class GraphicChildren : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
  }
  void SetUp() override {
    Form.SetBounds(0, 0, 200, 150);
    Form.HandleNeeded();
    Box = new TCounting<TWinControl>(&Form);
    Box->SetParent(&Form);
    Box->SetBounds(0, 0, W, H);
    Box->HandleNeeded();
  }
  // The colour in the target at (x, y).
  COLORREF At(int x, int y) const { return GetPixel(Target->Canvas()->GetHandle(), x, y) & 0xFFFFFF; }
  HDC TargetDC() const { return Target->Canvas()->GetHandle(); }

  TForm Form{nullptr};
  TCounting<TWinControl>* Box = nullptr;
  // Wider than the box, for children copied with an offset.
  std::unique_ptr<TBitmap> Target = CreateBitmap32(W + 20, H);
};

}  // namespace

TEST_F(GraphicChildren, AnEmptyClipMarksTheContainerAndPaintsNothing) {
  TChild child(Box, TRect{0, 0, 10, 10}, Red);
  const int saved = SaveDC(TargetDC());
  IntersectClipRect(TargetDC(), 0, 0, 0, 0);
  PaintGraphicChildren(TargetDC(), Box);
  RestoreDC(TargetDC(), saved);
  EXPECT_EQ(Box->Marked, 1);
  EXPECT_EQ(child.Paints, 0);
  EXPECT_EQ(At(5, 5), 0u);
}

TEST_F(GraphicChildren, OnlyChildrenOfAPixelAtLeastArePainted) {
  struct Case {
    int Width, Height;
    bool Painted;
  };
  for (const Case c : {Case{0, 10, false}, Case{10, 0, false}, Case{1, 1, true}}) {
    TChild child(Box, TRect{5, 5, 5 + c.Width, 5 + c.Height}, Red);
    PaintGraphicChildren(TargetDC(), Box);
    EXPECT_EQ(child.Paints, c.Painted ? 1 : 0) << c.Width << " x " << c.Height;
  }
}

TEST_F(GraphicChildren, ACallFromAChildsPaintingReturnsAtOnce) {
  TChild nesting(Box, TRect{0, 0, 10, 10}, Red, TChild::Nest);
  TChild other(Box, TRect{10, 0, 20, 10}, Green);
  PaintGraphicChildren(TargetDC(), Box);
  EXPECT_EQ(nesting.Paints, 1);
  EXPECT_EQ(other.Paints, 1);
  EXPECT_EQ(At(5, 5), Red);
}

TEST_F(GraphicChildren, AThrowingChildLeavesTheOthersPaintedAndNothingLeaks) {
  TChild failing(Box, TRect{0, 0, 10, 10}, Red, TChild::Throw);
  TChild other(Box, TRect{10, 0, 20, 10}, Green);
  PaintGraphicChildren(TargetDC(), Box);   // caches made on first use stay
  const TResourceCount before = CountResources();
  for (int i = 0; i < 20; ++i) PaintGraphicChildren(TargetDC(), Box);
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  EXPECT_EQ(other.Paints, 21);
  EXPECT_EQ(At(15, 5), Green);
}

TEST_F(GraphicChildren, AChildAtTheRightEdgeIsCopiedWithTheOffset) {
  // Where the edge child lands in the target lies outside the off-screen bitmap; the pixel
  // that follows the end of its row is the fuchsia child's, a row higher.
  TChild edge(Box, TRect{W - 10, 20, W, H}, Red);
  TChild keyed(Box, TRect{0, 10, 10, 20}, Fuchsia);
  PaintGraphicChildren(TargetDC(), Box, true, TPoint{10, 0});
  EXPECT_EQ(At(W + 5, 25), Red);
}

TEST_F(GraphicChildren, RefreshReachesShowingWindowedChildrenOnlyAndNoneWhileAnimating) {
  Form.Show();
  TChild graphic(&Form, TRect{0, 0, 10, 10}, Red);
  for (const bool animating : {false, true}) {
    for (const bool visible : {true, false}) {
      TCounting<TWinControl> child(nullptr);
      child.SetVisible(visible);
      child.SetParent(&Form);
      child.HandleNeeded();
      AnimationInProgress = animating;
      RefreshChildControls(&Form);
      AnimationInProgress = false;
      EXPECT_EQ(child.Resumed, visible && !animating ? 1 : 0) << visible << animating;
    }
  }
  EXPECT_EQ(graphic.Resumed, 0);
}

namespace {

// The extent of a container's aligned children: visible ones of that alignment, graphic ones
// only when asked, heights for top and bottom, widths for left and right; and the owner form.
TEST_F(GraphicChildren, AlignedChildrenAddUpAndTheOwnerFormIsFound) {
  Box->SetBounds(0, 0, 200, 150);
  const auto add = [&](TControl* c, TAlign align, bool visible) {
    c->SetParent(Box);
    c->SetBounds(0, 0, 20, 10);
    c->SetAlign(align);
    c->SetVisible(visible);
  };
  add(new TWinControl(&Form), alTop, true);
  add(new TWinControl(&Form), alTop, false);
  add(new TChild(Box, TRect{}, Red), alTop, true);
  add(new TWinControl(&Form), alLeft, true);
  const struct {
    TAlign Align;
    bool WithGraphic;
    int Extent;
  } cases[] = {{alTop, false, 10}, {alTop, true, 20}, {alLeft, true, 20}, {alBottom, true, 0}, {alClient, true, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(AlignedChildrenExtent(Box, c.Align, c.WithGraphic), c.Extent) << c.Align << " " << c.WithGraphic;
  EXPECT_EQ(OwnerFormOf(Box), &Form);
  EXPECT_EQ(OwnerFormOf(&Form), &Form);
  EXPECT_EQ(OwnerFormOf(nullptr), nullptr);
}

}  // namespace
