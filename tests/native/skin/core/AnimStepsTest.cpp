// The step plans of control fades and of form show, hide and skin-change animations.
#include <gtest/gtest.h>

#include "skin/core/sAnimSteps.h"

namespace {

TEST(FadeSteps, WeightsFallFromTheOldImageToTheNew) {
  std::vector<int> w;
  for (int level = 1; level <= 5; ++level) w.push_back(FadeWeight(level, 5));
  EXPECT_EQ(w, (std::vector<int>{204, 153, 102, 51, 0}));
  EXPECT_EQ(FadeWeight(0, 5), 255);
  EXPECT_EQ(FadeWeight(9, 5), 0);     // beyond the end: clamped, never negative
  EXPECT_EQ(FadeWeight(-3, 5), 255);
  EXPECT_EQ(FadeWeight(1, 0), 0);     // no division by zero
}

TEST(FadeSteps, IterationsFollowTheHeldFade) {
  EXPECT_EQ(FadeIterations(7, 0, 1, true), 3);   // halving rounds toward zero
  EXPECT_EQ(FadeIterations(7, 0, 1, false), 7);
  // A reversal half-way runs back over the steps already made, or over those still left.
  EXPECT_EQ(FadeIterations(10, 1, 4, false), 4);
  EXPECT_EQ(FadeIterations(10, 2, 4, false), 6);
  EXPECT_EQ(FadeIterations(10, 2, 12, false), 0);   // never negative
  EXPECT_EQ(FadeStartLevel(2, 4), 2);
  EXPECT_EQ(FadeStartLevel(4, 4), 1);
  EXPECT_EQ(FadeStartLevel(0, 4), 1);
  EXPECT_EQ(FadeStartLevel(-1, 4), 1);
}

TEST(FadeSteps, EventsFromTheControlOrTheManagersDefault) {
  const TlxBtnEvents enterOnly = BtnEventBit(beMouseEnter);
  EXPECT_TRUE(FadeEventInSets(aeMouseDown, AnimatEventBit(aeMouseDown), 0));
  EXPECT_TRUE(FadeEventInSets(aeMouseEnter, AnimatEventBit(aeGlobalDef), enterOnly));
  EXPECT_FALSE(FadeEventInSets(aeMouseLeave, AnimatEventBit(aeGlobalDef), enterOnly));
  EXPECT_FALSE(FadeEventInSets(aeMouseEnter, AnimatEventBit(aeMouseUp), enterOnly));
  EXPECT_FALSE(FadeEventInSets(9, 0xFF, 0xFF));
  EXPECT_FALSE(FadeEventInSets(-1, 0xFF, 0xFF));
}

TEST(FormFrames, A120msAeroShowGrowsToTheWholeWindowInElevenFrames) {
  const std::vector<TlxAnimFrame> f = ShowFrames(120, atAero, 255, 400, 320);
  ASSERT_EQ(f.size(), 11u);
  EXPECT_EQ(f.front().Rect, (TRect{50, 40, 350, 280}));
  EXPECT_EQ(f.back().Rect, (TRect{0, 0, 400, 320}));
  EXPECT_EQ(f.front().Alpha, 26);
  EXPECT_EQ(f.back().Alpha, 255);
  for (size_t i = 1; i < f.size(); ++i) {
    EXPECT_GE(f[i].Alpha, f[i - 1].Alpha);
    EXPECT_LE(f[i].Rect.Left, f[i - 1].Rect.Left);
    EXPECT_GE(f[i].Rect.Right, f[i - 1].Rect.Right);
  }
  // A translucent form ends at its own alpha; fading keeps the whole window.
  const std::vector<TlxAnimFrame> g = ShowFrames(60, atFading, 200, 10, 10);
  ASSERT_EQ(g.size(), 6u);
  EXPECT_EQ(g.back().Alpha, 200);
  EXPECT_EQ(g[2].Rect, (TRect{0, 0, 10, 10}));
}

TEST(FormFrames, ShortTimesShowTheFinalImageAtOnce) {
  EXPECT_TRUE(ShowFrames(0, atAero, 255, 10, 10).empty());
  EXPECT_TRUE(ShowFrames(11, atFading, 255, 10, 10).empty());
  EXPECT_TRUE(HideFrames(0, atAero, 255, 10, 10).empty());
  EXPECT_TRUE(CoverBlendWeights(0).empty());
  EXPECT_TRUE(CoverBlendWeights(-50).empty());
  EXPECT_EQ(ShowFrames(12, atFading, 255, 10, 10).size(), 2u);
}

TEST(FormFrames, AHideFadesOutAndShrinks) {
  const std::vector<TlxAnimFrame> f = HideFrames(200, atAero, 255, 160, 80);
  ASSERT_EQ(f.size(), 17u);   // n = 16
  EXPECT_EQ(f.front().Rect, (TRect{0, 0, 160, 80}));
  EXPECT_EQ(f.back().Rect, (TRect{20, 10, 140, 70}));
  EXPECT_EQ(f.back().Alpha, 0);
  EXPECT_EQ(f[f.size() - 2].Alpha, 0);
  EXPECT_EQ(f.front().Alpha, 239);
}

TEST(FormFrames, CoverWeightsAndTheOldBorderImage) {
  EXPECT_EQ(CoverBlendWeights(48), (std::vector<int>{255, 191, 128, 64, 0}));
  EXPECT_EQ(OldImageAlpha(255, 0), 255);
  EXPECT_EQ(OldImageAlpha(255, 200), 165);
  EXPECT_EQ(OldImageAlpha(200, 255), 0);
}

}   // namespace
