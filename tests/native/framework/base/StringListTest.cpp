// String lists: sorted insertion and duplicates, case sensitivity, Names/Values, text and comma
// text round trips, index errors, change events.
#include "framework/base/Classes.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Items(const TStrings& l) {
  std::vector<std::string> v;
  for (int i = 0; i < l.Count(); ++i) v.push_back(l[i]);
  return v;
}
}  // namespace

TEST(StringList, SortedInsertAndDuplicates) {
  TStringList l;
  l.SetSorted(true);
  EXPECT_EQ(l.Add("delta"), 0);
  EXPECT_EQ(l.Add("alpha"), 0);
  EXPECT_EQ(l.Add("charlie"), 1);
  EXPECT_EQ(l.Add("bravo"), 1);
  EXPECT_EQ(Items(l), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}));

  EXPECT_EQ(l.Add("charlie"), 2);   // dupIgnore: the existing index, nothing added
  EXPECT_EQ(l.Count(), 4);
  l.Duplicates = TDuplicates::dupError;
  try {
    l.Add("bravo");
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  l.Duplicates = TDuplicates::dupAccept;
  l.Add("bravo");
  EXPECT_EQ(Items(l), (std::vector<std::string>{"alpha", "bravo", "bravo", "charlie", "delta"}));

  int at = -1;
  EXPECT_TRUE(l.Find("charlie", at));
  EXPECT_EQ(at, 3);
  EXPECT_FALSE(l.Find("bz", at));
  EXPECT_EQ(at, 3);   // where it would go
  EXPECT_EQ(l.IndexOf("delta"), 4);
  EXPECT_EQ(l.IndexOf("echo"), -1);

  EXPECT_THROW(l.Insert(0, "zulu"), EListError);
  EXPECT_THROW(l.Put(0, "zulu"), EListError);
}

TEST(StringList, CaseSensitiveByDefaultAndResortsWhenChanged) {
  TStringList l;
  l.SetSorted(true);
  l.Add("b");
  l.Add("B");
  l.Add("a");
  l.Add("A");
  // Byte order: upper case first.
  EXPECT_EQ(Items(l), (std::vector<std::string>{"A", "B", "a", "b"}));
  EXPECT_EQ(l.IndexOf("a"), 2);
  l.SetCaseSensitive(false);
  EXPECT_EQ(l.IndexOf("a") / 2, 0);   // "A" or "a", both sort first now
  EXPECT_EQ(l[0].size(), 1u);
  EXPECT_TRUE(l[0] == "A" || l[0] == "a");
  EXPECT_TRUE(l[2] == "B" || l[2] == "b");

  TStringList u;
  u.Add("Skin");
  EXPECT_EQ(u.IndexOf("SKIN"), -1);
  u.SetCaseSensitive(false);
  EXPECT_EQ(u.IndexOf("SKIN"), 0);
}

TEST(StringList, NamesAndValues) {
  TStringList l;
  l.Add("Skin=Dusk (internal)");
  l.Add("plain line");
  l.Add("Port=COM7=odd");
  l.Add("=empty name");
  EXPECT_EQ(l.Names(0), "Skin");
  EXPECT_EQ(l.Names(1), "");
  EXPECT_EQ(l.ValueFromIndex(1), "");
  EXPECT_EQ(l.Values("Port"), "COM7=odd");
  EXPECT_EQ(l.Values("port"), "");   // case-sensitive list
  EXPECT_EQ(l.IndexOfName("Skin"), 0);
  EXPECT_EQ(l.IndexOfName(""), 3);
  l.SetValue("Skin", "Dawn");
  EXPECT_EQ(l[0], "Skin=Dawn");
  l.SetValue("New", "1");
  EXPECT_EQ(l[4], "New=1");
  l.SetValue("Port", "");   // an empty value removes the line
  EXPECT_EQ(l.IndexOfName("Port"), -1);
  EXPECT_EQ(l.Count(), 4);
  l.SetCaseSensitive(false);
  EXPECT_EQ(l.Values("SKIN"), "Dawn");
}

TEST(StringList, TextRoundTripsAndSplitsAnyLineBreak) {
  TStringList l;
  l.SetText("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(Items(l), (std::vector<std::string>{"one", "two", "three", "four"}));
  EXPECT_EQ(l.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  TStringList m;
  m.SetText(l.Text());
  EXPECT_EQ(Items(m), Items(l));
  m.SetText("a\r\n\r\nb\r\n");   // an empty line in the middle stays; the final break ends "b"
  EXPECT_EQ(Items(m), (std::vector<std::string>{"a", "", "b"}));
  m.SetText("");
  EXPECT_EQ(m.Count(), 0);
  EXPECT_EQ(m.Text(), "");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
  TStringList l;
  l.Add("plain");
  l.Add("with space");
  l.Add("say \"hi\"");
  l.Add("a,b");
  l.Add("");
  // An empty item is written as nothing; reading a trailing comma gives it back.
  EXPECT_EQ(l.CommaText(), "plain,\"with space\",\"say \"\"hi\"\"\",\"a,b\",");
  TStringList m;
  m.SetCommaText(l.CommaText());
  EXPECT_EQ(Items(m), Items(l));
  m.SetCommaText("  x , y,z,");
  EXPECT_EQ(Items(m), (std::vector<std::string>{"x", "y", "z", ""}));
  m.SetCommaText("a b");   // a blank separates unquoted items too
  EXPECT_EQ(Items(m), (std::vector<std::string>{"a", "b"}));
  m.Clear();
  m.Add("");
  EXPECT_EQ(m.CommaText(), "\"\"");
  // A NUL byte is an ordinary character, quoted or not (unquoted, it once made the reader
  // loop for ever on an empty item).
  m.SetCommaText(std::string("a,\0b,c", 6));
  EXPECT_EQ(Items(m), (std::vector<std::string>{"a", std::string("\0b", 2), "c"}));
  m.SetCommaText(std::string("\0", 1));
  EXPECT_EQ(Items(m), (std::vector<std::string>{std::string("\0", 1)}));
}

TEST(StringList, IndexErrorsNameTheIndex) {
  TStringList l;
  l.Add("x");
  try {
    (void)l.Get(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
  EXPECT_THROW(l.Delete(-1), EListError);
  EXPECT_THROW(l.Insert(2, "y"), EListError);
  EXPECT_THROW(l.GetObject(5), EListError);
  l.Insert(1, "y");   // at Count is an append
  EXPECT_EQ(l[1], "y");
}

TEST(StringList, ObjectsAssignAndChangeEvents) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &l);
    ++changes;
  };
  TComponent tag(nullptr);
  l.AddObject("a", &tag);
  EXPECT_EQ(l.GetObject(0), &tag);
  EXPECT_EQ(l.IndexOfObject(&tag), 0);
  EXPECT_EQ(l.Objects(0), &tag);
  EXPECT_EQ(changes, 2);   // add, then put object
  l.BeginUpdate();
  l.Add("b");
  l.Add("c");
  l.Delete(0);
  EXPECT_EQ(changes, 2);
  l.EndUpdate();
  EXPECT_EQ(changes, 3);

  TStringList copy;
  copy.Add("old");
  copy.Assign(&l);
  EXPECT_EQ(Items(copy), (std::vector<std::string>{"b", "c"}));
  copy.AddStrings(l);
  EXPECT_EQ(copy.Count(), 4);
}

TEST(StringList, StreamRoundTrip) {
  TStringList l;
  l.Add("[Settings]");
  l.Add("Skin=Dusk (internal)");
  TMemoryStream s;
  l.SaveToStream(s);
  EXPECT_EQ(s.Size(), 34);
  s.SetPosition(0);
  TStringList m;
  m.LoadFromStream(s);
  EXPECT_EQ(Items(m), Items(l));
}
