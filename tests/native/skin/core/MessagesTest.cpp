// Tests of the skin command message's window-free part: the start-up step, the WParam layout
// and which commands carry addresses.
#include <gtest/gtest.h>

#include "skin/core/sMessages.h"

TEST(SkinCommandMessage, StartUpSetsTheNumberOnce) {
  sMessagesInitialization();
  EXPECT_EQ(WM_SKINCOMMAND, 0xA100u);
  sMessagesInitialization();
  sMessagesFinalization();
  sMessagesFinalization();
  EXPECT_EQ(WM_SKINCOMMAND, 0xA100u);   // the number stays for late senders
}

TEST(SkinCommandMessage, WParamLayout) {
  const std::uint32_t w = MakeSkinWParam(SkinCmdHoldPaint, 1);
  EXPECT_EQ(w, 0x00080001u);
  EXPECT_EQ(SkinCommandOf(w), SkinCmdHoldPaint);
  EXPECT_EQ(SkinArgumentOf(w), 1);
  EXPECT_EQ(SkinCommandOf(MakeSkinWParam(SkinCmdQueryClientOffset)), 61);
  for (size_t i = 1; i < sizeof(SkinCommands) / sizeof(SkinCommands[0]); ++i)
    EXPECT_LT(SkinCommands[i - 1], SkinCommands[i]);
}

TEST(SkinCommandMessage, CommandsThatCarryAddresses) {
  for (std::uint16_t c : {1, 2, 3, 4, 5, 15, 24, 25, 26, 27, 34, 35, 37, 38, 60})
    EXPECT_TRUE(SkinCommandCarriesPointer(c)) << c;
  for (std::uint16_t c : {6, 7, 8, 9, 10, 11, 13, 14, 16, 17, 18, 19, 20, 21, 22, 23, 28, 29, 30,
                          31, 32, 33, 36, 51, 52, 61, 12, 0, 999})
    EXPECT_FALSE(SkinCommandCarriesPointer(c)) << c;
}
