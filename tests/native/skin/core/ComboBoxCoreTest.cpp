// The window-free layout of the skinned combo box and the combo-box adapter, on the device
// dialog's port box (121 x 21, a 17-pixel scroll bar).
#include "skin/core/sComboBoxCore.h"

#include <gtest/gtest.h>

TEST(ComboBoxCore, ButtonAndItemOfThePortBoxBothWays) {
  struct Case {
    bool HasButton, RightToLeft;
    TRect Button, Item;
  } cases[] = {
      {true, false, {101, 2, 119, 19}, {3, 3, 100, 18}},
      {true, true, {2, 2, 20, 19}, {21, 3, 118, 18}},
      {false, false, {119, 2, 119, 19}, {3, 3, 118, 18}},
  };
  for (const Case& c : cases) {
    const TRect b = ComboButtonRect(121, 21, 17, c.HasButton, c.RightToLeft);
    EXPECT_EQ(b, c.Button) << c.HasButton << c.RightToLeft;
    EXPECT_EQ(ComboItemRect(b, 121, 21, c.RightToLeft), c.Item) << c.HasButton << c.RightToLeft;
  }
}

TEST(ComboBoxCore, AdapterButtonBySimpleStyleAndReadingOrder) {
  struct Case {
    std::uint32_t Style;
    bool Rtl;
    TRect Expected;
  } cases[] = {
      {lxCBS_DROPDOWNLIST, false, {102, 2, 119, 19}},
      {lxCBS_DROPDOWNBIT, true, {2, 2, 19, 19}},
      {lxCBS_SIMPLE, false, {119, 2, 119, 19}},
  };
  for (const Case& c : cases) EXPECT_EQ(ComboAdapterButtonRect(121, 21, 17, c.Style, c.Rtl), c.Expected) << c.Style;
}

TEST(ComboBoxCore, ArrowCentredInTheButton) {
  EXPECT_EQ(ComboArrowOrigin(ComboButtonRect(121, 21, 17, true, false), 21, 12, 8), (TPoint{104, 6}));
}

TEST(ComboBoxCore, ButtonStateOpenOverActive) {
  struct Case {
    bool Open, Active;
    int Expected;
  } cases[] = {{true, false, 2}, {true, true, 2}, {false, true, 1}, {false, false, 0}};
  for (const Case& c : cases) EXPECT_EQ(ComboButtonState(c.Open, c.Active), c.Expected);
}
