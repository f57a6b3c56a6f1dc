// Tests of the status name tables and their lookups for every value the wire can carry.
#include "app/Constants.h"

#include <gtest/gtest.h>

#include <string>

TEST(Constants, TimebaseNamesCoverTheNamedIndexesOnly) {
  EXPECT_STREQ(TimebaseName(0), "50ns/div");
  EXPECT_STREQ(TimebaseName(10), "0.1ms/div");
  EXPECT_STREQ(TimebaseName(22), "1s/div");
  EXPECT_STREQ(TimebaseName(23), "2s/div");
  EXPECT_STREQ(TimebaseName(31), "0.25h/div");
  EXPECT_STREQ(TimebaseName(33), "1h/div");
  // Six bits on the wire: 34-63 have no name.
  for (int i = 34; i < 64; ++i) EXPECT_STREQ(TimebaseName(i), "?") << i;
  EXPECT_STREQ(TimebaseName(-1), "?");
  for (int i = 0; i < 34; ++i) EXPECT_NE(std::string(TimebaseName(i)), "?") << i;
}

TEST(Constants, VoltsNamesByProbe) {
  EXPECT_STREQ(VoltsName(0, false), "20V/div");
  EXPECT_STREQ(VoltsName(2, false), "4v/div");
  EXPECT_STREQ(VoltsName(7, false), "0.1v/div");
  EXPECT_STREQ(VoltsName(11, false), "5mV/div");
  EXPECT_STREQ(VoltsName(0, true), "200V/div");
  EXPECT_STREQ(VoltsName(9, true), "0.25V/div");
  EXPECT_STREQ(VoltsName(11, true), "50mV/div");
  // Four bits on the wire: 12-15 have no name in either table.
  for (int i = 12; i < 16; ++i) {
    EXPECT_STREQ(VoltsName(i, false), "?");
    EXPECT_STREQ(VoltsName(i, true), "?");
  }
}

TEST(Constants, ProbeCouplingAndRunMode) {
  EXPECT_STREQ(ProbeName(false), "x1");
  EXPECT_STREQ(ProbeName(true), "x10");
  EXPECT_STREQ(CouplingName(false), "AC");
  EXPECT_STREQ(CouplingName(true), "DC");
  EXPECT_STREQ(RunModeName(0), "Normal");
  EXPECT_STREQ(RunModeName(1), "Run");
  EXPECT_STREQ(RunModeName(2), "Once");
  EXPECT_STREQ(RunModeName(3), "Roll");
  EXPECT_STREQ(RunModeName(4), "?");
}
