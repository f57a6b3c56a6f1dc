// TRegistry under HKEY_CURRENT_USER\Software\OrbexTest (removed before and after each test):
// opening and creating keys, relative and absolute paths, values and their types, listing,
// read-only access and deleting whole trees.
#include "framework/base/win/Registry.h"

#include <gtest/gtest.h>

namespace {
const char* const kTestKey = "\\Software\\OrbexTest";

class RegistryTest : public testing::Test {
protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    TRegistry r;
    r.DeleteKey(kTestKey);
    ASSERT_FALSE(r.KeyExists(kTestKey));
  }
};
}  // namespace

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked) {
  TRegistry r;
  EXPECT_EQ(r.RootKey(), HKEY_CURRENT_USER);
  EXPECT_EQ(r.Access(), static_cast<REGSAM>(KEY_ALL_ACCESS));
  EXPECT_FALSE(r.OpenKey(kTestKey, false));
  EXPECT_EQ(r.CurrentKey(), nullptr);
  ASSERT_TRUE(r.OpenKey(kTestKey, true));
  EXPECT_NE(r.CurrentKey(), nullptr);
  EXPECT_EQ(r.CurrentPath(), "Software\\OrbexTest");
  // Relative to the open key.
  ASSERT_TRUE(r.OpenKey("Child\\Grandchild", true));
  EXPECT_EQ(r.CurrentPath(), "Software\\OrbexTest\\Child\\Grandchild");
  EXPECT_TRUE(r.KeyExists("\\Software\\OrbexTest\\Child"));
  EXPECT_FALSE(r.KeyExists("\\Software\\OrbexTest\\Other"));
  // A failed open keeps the current key.
  EXPECT_FALSE(r.OpenKey("\\Software\\OrbexTest\\Missing", false));
  EXPECT_EQ(r.CurrentPath(), "Software\\OrbexTest\\Child\\Grandchild");
  r.CloseKey();
  EXPECT_EQ(r.CurrentKey(), nullptr);
  EXPECT_EQ(r.CurrentPath(), "");
  // With no key open a relative path starts at the root.
  EXPECT_TRUE(r.KeyExists("Software\\OrbexTest\\Child\\Grandchild"));
}

TEST_F(RegistryTest, ValuesOfEachKindAndTheirErrors) {
  TRegistry r;
  ASSERT_TRUE(r.OpenKey(kTestKey, true));
  EXPECT_FALSE(r.ValueExists("Skin"));
  EXPECT_EQ(r.ReadString("Skin"), "");   // missing: empty
  r.WriteString("Skin", "Dusk (internal)");
  r.WriteString("Empty", "");
  r.WriteInteger("Left", -12);
  r.WriteBool("Maximized", true);
  EXPECT_TRUE(r.ValueExists("Skin"));
  EXPECT_EQ(r.ReadString("Skin"), "Dusk (internal)");
  EXPECT_EQ(r.ReadString("Empty"), "");
  EXPECT_EQ(r.ReadInteger("Left"), -12);
  EXPECT_TRUE(r.ReadBool("Maximized"));
  try {
    r.ReadInteger("Skin");
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "Invalid data type for 'Skin'");
  }
  EXPECT_THROW(r.ReadString("Left"), ERegistryException);
  try {
    r.ReadInteger("Nothing");
    FAIL();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "Failed to get data for 'Nothing'");
  }
  EXPECT_TRUE(r.DeleteValue("Left"));
  EXPECT_FALSE(r.DeleteValue("Left"));
  EXPECT_FALSE(r.ValueExists("Left"));

  TStringList names;
  r.GetValueNames(names);
  names.SetSorted(true);
  EXPECT_EQ(names.CommaText(), "Empty,Maximized,Skin");

  r.CloseKey();   // no key open: values cannot be written anywhere by accident
  EXPECT_THROW(r.WriteString("Skin", "x"), ERegistryException);
  EXPECT_FALSE(r.ValueExists("Skin"));
}

TEST_F(RegistryTest, KeyNamesReadOnlyAccessAndDeletingTrees) {
  TRegistry r;
  ASSERT_TRUE(r.CreateKey("\\Software\\OrbexTest\\B\\Deep\\Deeper"));
  ASSERT_TRUE(r.CreateKey("\\Software\\OrbexTest\\A"));
  ASSERT_TRUE(r.OpenKey(kTestKey, false));
  EXPECT_TRUE(r.HasSubKeys());
  TStringList keys;
  r.GetKeyNames(keys);
  keys.SetSorted(true);
  EXPECT_EQ(keys.CommaText(), "A,B");

  TRegistry ro;
  ASSERT_TRUE(ro.OpenKeyReadOnly(kTestKey));
  EXPECT_EQ(ro.Access(), static_cast<REGSAM>(KEY_ALL_ACCESS));   // only that open was read-only
  EXPECT_THROW(ro.WriteString("x", "y"), ERegistryException);
  ro.CloseKey();

  EXPECT_TRUE(r.DeleteKey("B"));   // relative, with its subkeys
  EXPECT_FALSE(r.KeyExists("B"));
  EXPECT_FALSE(r.DeleteKey("B"));
  EXPECT_TRUE(r.KeyExists("A"));
  r.SetRootKey(HKEY_LOCAL_MACHINE);   // closes the open key
  EXPECT_EQ(r.CurrentKey(), nullptr);
  EXPECT_EQ(r.RootKey(), HKEY_LOCAL_MACHINE);
}
