// TResourceStream over the test program's own resources (TestResources.rc).
#include "framework/base/win/ResourceStream.h"

#include <gtest/gtest.h>

TEST(ResourceStream, ReadsRcdataByName) {
  TResourceStream s(nullptr, "ORBEXTESTDATA");
  ASSERT_EQ(s.Size(), 7);   // "Orbex" without a terminator, then the word 0x0201
  char text[6] = {};
  s.ReadBuffer(text, 5);
  EXPECT_STREQ(text, "Orbex");
  std::uint8_t word[2];
  s.ReadBuffer(word, 2);
  EXPECT_EQ(word[0], 0x01);
  EXPECT_EQ(word[1], 0x02);
  EXPECT_THROW(s.ReadBuffer(word, 1), EReadError);
  s.SetPosition(1);
  EXPECT_EQ(s.Memory()[s.Position()], 'r');
}

TEST(ResourceStream, ReadsByIdAndByOwnType) {
  TResourceStream byId(GetModuleHandleA(nullptr), 101);
  EXPECT_EQ(byId.Size(), 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(byId.Memory()), 5), "by id");
  TResourceStream own(nullptr, "OWNTYPEDATA", "ORBEXTYPE");
  EXPECT_EQ(own.Size(), 3);
  EXPECT_THROW(TResourceStream(nullptr, "OWNTYPEDATA"), EResNotFound);   // not RCDATA
}

TEST(ResourceStream, MissingResourceAndWritesAreErrors) {
  try {
    TResourceStream s(nullptr, "NOSUCHRESOURCE");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NOSUCHRESOURCE not found");
  }
  try {
    TResourceStream s(nullptr, 4242);
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource 4242 not found");
  }
  EXPECT_THROW(TResourceStream(nullptr, -1), EResNotFound);
  TResourceStream s(nullptr, 101);
  try {
    s.WriteBuffer("x", 1);
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Can't write to a read-only resource stream");
  }
  EXPECT_THROW(s.SetSize(1), EStreamError);
}
