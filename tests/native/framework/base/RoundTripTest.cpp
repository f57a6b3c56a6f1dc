// Text formats written and read back: random string lists through Text and CommaText, random
// ini contents through the ini text. Fixed seeds, so a failure repeats.
#include "framework/base/IniFiles.h"

#include <gtest/gtest.h>

#include <random>

namespace {
std::string RandomString(std::mt19937& rng, const std::string& alphabet, int maxLen) {
  std::uniform_int_distribution<int> len(0, maxLen);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string s;
  for (int i = len(rng); i > 0; --i) s += alphabet[pick(rng)];
  return s;
}
std::vector<std::string> Items(const TStrings& l) {
  std::vector<std::string> v;
  for (int i = 0; i < l.Count(); ++i) v.push_back(l[i]);
  return v;
}
}  // namespace

TEST(RoundTrip, CommaTextOfAnyStrings) {
  std::mt19937 rng(20261208);
  const std::string alphabet = std::string("ab ,\"\t=;x\xE9", 11) + std::string(1, '\0');
  for (int round = 0; round < 2000; ++round) {
    TStringList l;
    for (int n = std::uniform_int_distribution<int>(0, 5)(rng); n > 0; --n) l.Add(RandomString(rng, alphabet, 6));
    TStringList back;
    back.SetCommaText(l.CommaText());
    ASSERT_EQ(Items(back), Items(l)) << "comma text: " << l.CommaText();
  }
}

TEST(RoundTrip, TextOfLinesWithoutBreaks) {
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    TStringList l;
    for (int n = std::uniform_int_distribution<int>(0, 5)(rng); n > 0; --n) l.Add(RandomString(rng, "ab =[];", 5));
    TStringList back;
    back.SetText(l.Text());
    ASSERT_EQ(Items(back), Items(l));
  }
}

TEST(RoundTrip, IniContentsThroughTheirText) {
  std::mt19937 rng(42);
  const std::string nameChars = "abAB_1 .";
  const std::string valueChars = "abAB_1 .=;[]\"";
  for (int round = 0; round < 500; ++round) {
    TMemIniFile ini;
    std::vector<std::tuple<std::string, std::string, std::string>> written;
    for (int n = std::uniform_int_distribution<int>(0, 8)(rng); n > 0; --n) {
      // What the text form can carry: trimmed, non-empty names; values without trailing blanks.
      std::string sec = Trim(RandomString(rng, nameChars, 4));
      std::string key = Trim(RandomString(rng, nameChars, 4));
      std::string value = TrimRight(RandomString(rng, valueChars, 8));
      if (sec.empty() || key.empty()) continue;
      ini.WriteString(sec, key, value);
      written.emplace_back(sec, key, value);
    }
    TStringList text;
    ini.GetStrings(text);
    TMemIniFile back;
    back.SetStrings(text);
    for (const auto& [sec, key, value] : written)
      ASSERT_EQ(back.ReadString(sec, key, "<none>"), ini.ReadString(sec, key, "<none>"))
          << sec << "/" << key << " in\n" << text.Text();
    TStringList again;
    back.GetStrings(again);
    ASSERT_EQ(again.Text(), text.Text());
  }
}
