// Tests of the window-free utilities: ini text, words, rectangles and small helpers.
#include <gtest/gtest.h>

#include "skin/paint/sUtils.h"

namespace {
TIniTextSections Parse(const std::vector<std::string>& lines) {
  TIniTextSections s;
  ParseIniText(lines, s);
  return s;
}
}  // namespace

TEST(IniText, SectionsCommentsAndStrayLines) {
  const TIniTextSections s = Parse({"Stray=1", "", "; comment", "[Main]", "Width=10",
                                    ";x=1", "", "Name=a=b", "[main]", "Width=20", "[]", "K=v"});
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].Name, "Main");
  EXPECT_EQ(s[0].Lines, (std::vector<std::string>{"Width=10", "Name=a=b"}));
  EXPECT_EQ(s[2].Name, "");
  EXPECT_EQ(IniTextReadString(s, "Main", "-", "Stray"), "-");        // before any section
  EXPECT_EQ(IniTextReadString(s, "Main", "-", "NAME"), "a=b");       // key ignores case
  EXPECT_EQ(IniTextReadString(s, "main", "-", "Width"), "20");       // section is exact
  EXPECT_EQ(IniTextReadString(s, "MAIN", "-", "Width"), "-");
  EXPECT_EQ(IniTextReadString(s, "Main", "-", "x"), "-");            // comment not a key
  EXPECT_EQ(IniTextReadString(s, "", "-", "K"), "v");
}

TEST(IniText, Integers) {
  const TIniTextSections s = Parse({"[S]", "Hex=0x1F", "HEX2=0X7fffFFFF", "Bare=0x", "Dec=-42",
                                    "Word=abc", "Long=0x123456789", "Bad=0x1G", "Neg=0xFFFFFFFF",
                                    "Empty="});
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Hex"), 31);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "hex2"), 0x7FFFFFFF);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Bare"), 7);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Dec"), -42);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Word"), 7);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Long"), 7);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Bad"), 7);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Neg"), -1);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Empty"), 7);
  EXPECT_EQ(IniTextReadInteger(s, "S", 7, "Missing"), 7);
}

TEST(Words, NthWordCountAndPosition) {
  EXPECT_EQ(NthWord(2, "alpha  beta", " "), "beta");
  EXPECT_EQ(NthWord(3, "alpha  beta", " "), "");
  EXPECT_EQ(NthWord(1, "  alpha", " "), "alpha");
  EXPECT_EQ(NthWord(0, "alpha", " "), "");
  EXPECT_EQ(NthWord(2, "a,b;;c", ",;"), "b");
  EXPECT_EQ(NthWord(1, "abc", ""), "abc");
  EXPECT_EQ(WordCount("  a b  c ", " "), 3);
  EXPECT_EQ(WordCount("", " "), 0);
  EXPECT_EQ(WordPosition(2, "alpha  beta", " "), 8);
  EXPECT_EQ(WordPosition(3, "alpha  beta", " "), 0);
}

TEST(Strings, RemoveAndReplace) {
  EXPECT_EQ(RemoveChars("a b  c ", ' '), "abc");
  EXPECT_EQ(ReplaceText("aXbXXc", "X", "yy"), "ayybyyyyc");
  EXPECT_EQ(ReplaceText("aaa", "aa", "a"), "aa");
  EXPECT_EQ(ReplaceText("abc", "", "z"), "abc");
  EXPECT_EQ(WithTrailingBackslash("C:\\Skins"), "C:\\Skins\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\Skins\\"), "C:\\Skins\\");
  EXPECT_EQ(WithTrailingBackslash(""), "");
  EXPECT_EQ(IfThenStr(false, "a"), "");
}

TEST(Rects, SizesAndTests) {
  const TRect flipped = Rect(10, 10, 4, 2);
  EXPECT_EQ(RectWidth(flipped), -6);
  EXPECT_EQ(RectWidth(flipped, true), 0);
  EXPECT_EQ(RectHeight(flipped), -8);
  EXPECT_EQ(RectHeight(flipped, true), 0);
  EXPECT_EQ(RectWidth(Rect(INT32_MIN, 0, INT32_MAX, 0)), INT32_MAX);   // no overflow

  EXPECT_TRUE(RectsIntersect(Rect(0, 0, 10, 10), Rect(9, 9, 20, 20)));
  EXPECT_FALSE(RectsIntersect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));   // touching
  EXPECT_FALSE(RectsIntersect(Rect(0, 0, 10, 10), Rect(5, 5, 5, 8)));      // empty

  EXPECT_TRUE(RectInsideRect(Rect(0, 0, 10, 10), Rect(0, 0, 10, 10)));   // edges count
  EXPECT_TRUE(RectInsideRect(Rect(2, 2, 3, 3), Rect(0, 0, 10, 10)));
  EXPECT_FALSE(RectInsideRect(Rect(2, 2, 11, 3), Rect(0, 0, 10, 10)));
  EXPECT_FALSE(RectInsideRect(Rect(-1, 2, 3, 3), Rect(0, 0, 10, 10)));
}

TEST(Numbers, Helpers) {
  EXPECT_EQ(ClampByte(-5), 0);
  EXPECT_EQ(ClampByte(300), 255);
  EXPECT_EQ(ClampByte(128), 128);
  EXPECT_TRUE(IsValueBetween(5, 10, 1));
  EXPECT_TRUE(IsValueBetween(10, 10, 1));
  EXPECT_FALSE(IsValueBetween(11, 1, 10));
  int a = 1, b = 2;
  SwapInts(a, b);
  EXPECT_EQ(a * 10 + b, 21);
  EXPECT_EQ(MaxOf(-3, -4), -3);
  EXPECT_EQ(MinOf(-3, -4), -4);
}

TEST(IniText, FromAStringList) {
  TStringList lines;
  lines.SetText("[A]\r\nKey=0X10\r\n[B]\nKey=x\n");
  TIniTextSections s;
  ParseIniText(lines, s);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(IniTextReadInteger(s, "A", 0, "key"), 16);
  EXPECT_EQ(IniTextReadString(s, "B", "", "KEY"), "x");
}
