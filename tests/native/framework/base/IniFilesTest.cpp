// Ini files: the in-memory ini is case-sensitive and parses sections, keys and comments; the
// file ini is case-insensitive and every write reaches the disk at once.
#include "framework/base/IniFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {
void Fill(TStrings& l, std::initializer_list<const char*> items) {
  l.Clear();
  for (const char* s : items) l.Add(s);
}
void Load(TMemIniFile& ini, std::initializer_list<const char*> items) {
  TStringList l;
  Fill(l, items);
  ini.SetStrings(l);
}
std::string FileText(const std::string& path) {
  TMemoryStream m;
  m.LoadFromFile(path);
  return std::string(reinterpret_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}
struct TTempFile {
  std::string Path;
  explicit TTempFile(const char* name) : Path(name) { std::remove(name); }
  ~TTempFile() { std::remove(Path.c_str()); }
};
}  // namespace

TEST(MemIniFile, CaseSensitiveSectionsAndKeys) {
  TMemIniFile ini;
  Load(ini, {"[BUTTON]", "Glow=2", "GLOW=3", "[button]", "Glow=9"});
  EXPECT_EQ(ini.ReadString("BUTTON", "Glow", "?"), "2");
  EXPECT_EQ(ini.ReadString("BUTTON", "GLOW", "?"), "3");
  EXPECT_EQ(ini.ReadString("button", "Glow", "?"), "9");
  EXPECT_EQ(ini.ReadString("Button", "Glow", "?"), "?");
  EXPECT_TRUE(ini.SectionExists("button"));
  EXPECT_FALSE(ini.SectionExists("Button"));
  EXPECT_FALSE(ini.ValueExists("BUTTON", "glow"));

  ini.SetCaseSensitive(false);
  EXPECT_EQ(ini.ReadString("Button", "glow", "?"), "2");   // the first match
}

TEST(MemIniFile, ParsingTrimsKeysKeepsValuesAfterTheFirstEqualsAndSkipsComments) {
  TMemIniFile ini;
  Load(ini, {"orphan=1", "; a comment", "  [ General ]  ", " Key = a=b ", ";Hidden=1", "", "Empty=",
             "NoEquals"});
  TStringList s;
  ini.ReadSections(s);
  ASSERT_EQ(s.Count(), 1);
  EXPECT_EQ(s[0], "General");
  EXPECT_EQ(ini.ReadString("General", "Key", "?"), " a=b");
  EXPECT_EQ(ini.ReadString("General", "Empty", "?"), "");
  EXPECT_EQ(ini.ReadString("General", ";Hidden", "?"), "?");
  EXPECT_EQ(ini.ReadString("General", "orphan", "?"), "?");
  ini.ReadSection("General", s);
  EXPECT_EQ(s.CommaText(), "Key,Empty");
  ini.ReadSectionValues("General", s);
  EXPECT_EQ(s.Text(), "Key= a=b\r\nEmpty=\r\nNoEquals\r\n");
}

TEST(MemIniFile, AUtf8MarkIsSkippedWithTheBlanksAroundIt) {
  // Whatever blanks stand before or after the mark, the first line reads the same, and the
  // text written back reads back to the same sections.
  for (const std::string& first : {std::string("\xEF\xBB\xBF[A]"), std::string("  \xEF\xBB\xBF [A]"),
                                  std::string("\x01\xEF\xBB\xBF\x02[A]")}) {
    TStringList lines;
    lines.Add(first);
    lines.Add("k=v");
    TMemIniFile ini;
    ini.SetStrings(lines);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "v") << first;
    TStringList saved;
    ini.GetStrings(saved);
    TMemIniFile again;
    again.SetStrings(saved);
    EXPECT_EQ(again.ReadString("A", "k", ""), "v") << first;
  }
}

TEST(MemIniFile, TypedValuesAndEditing) {
  TMemIniFile ini;
  ini.WriteInteger("N", "I", -5);
  ini.WriteBool("N", "B", true);
  ini.WriteString("N", "H", "$1F");
  ini.WriteString("N", "X", "12x");
  ini.WriteString("N", "F", "2.5");
  EXPECT_EQ(ini.ReadInteger("N", "I", 0), -5);
  EXPECT_EQ(ini.ReadInteger("N", "H", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "X", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("N", "B", false));
  EXPECT_TRUE(ini.ReadBool("N", "X", true));   // not a number: the default
  EXPECT_FALSE(ini.ReadBool("N", "X", false));
  ini.WriteBool("N", "B", false);
  EXPECT_FALSE(ini.ReadBool("N", "B", true));
  EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "F", 0), 2.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "X", 1.5), 1.5);

  ini.DeleteKey("N", "X");
  EXPECT_FALSE(ini.ValueExists("N", "X"));
  ini.WriteString("M", "k", "v");
  ini.EraseSection("N");
  TStringList out;
  ini.GetStrings(out);
  EXPECT_EQ(out.Text(), "[M]\r\nk=v\r\n");
  ini.DeleteKey("none", "k");   // nothing to delete is no error
  ini.Clear();
  ini.GetStrings(out);
  EXPECT_EQ(out.Count(), 0);
}

TEST(MemIniFile, LoadsAndUpdatesItsFileKeepingComments) {
  TTempFile t("fwbase_memini.ini");
  TStringList l;
  Fill(l, {"; kept", "[A]", "x=1", "", "[B]", "y=2"});
  l.SaveToFile(t.Path);
  {
    TMemIniFile ini(t.Path);
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    ini.WriteString("A", "z", "3");
    EXPECT_EQ(FileText(t.Path), l.Text());   // nothing written before UpdateFile
    ini.UpdateFile();
  }
  EXPECT_EQ(FileText(t.Path), "; kept\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
  TMemIniFile none("fwbase_memini_missing.ini");   // a missing file starts empty
  TStringList s;
  none.ReadSections(s);
  EXPECT_EQ(s.Count(), 0);
}

TEST(IniFile, WritesThroughAtOnceAndReadsCaseInsensitively) {
  TTempFile t("fwbase_settings.ini");
  TIniFile ini(t.Path);
  EXPECT_EQ(ini.ReadString("Settings", "Skin", "Dusk (internal)"), "Dusk (internal)");
  ini.WriteString("Settings", "Skin", "Dawn (internal)");
  EXPECT_EQ(FileText(t.Path), "[Settings]\r\nSkin=Dawn (internal)\r\n");
  EXPECT_EQ(ini.ReadString("SETTINGS", "skin", "?"), "Dawn (internal)");
  ini.WriteString("settings", "SKIN", "Dusk (internal)");   // same key, other case
  EXPECT_EQ(FileText(t.Path), "[Settings]\r\nSkin=Dusk (internal)\r\n");
  EXPECT_TRUE(ini.SectionExists("SETTINGS"));
  EXPECT_TRUE(ini.ValueExists("Settings", "skin"));

  // Another instance sees the change, and this one sees the other's.
  TIniFile other(t.Path);
  EXPECT_EQ(other.ReadString("Settings", "Skin", "?"), "Dusk (internal)");
  other.WriteInteger("Window", "Left", 10);
  EXPECT_EQ(ini.ReadInteger("window", "left", 0), 10);
  ini.DeleteKey("Window", "LEFT");
  ini.EraseSection("nothing");
  EXPECT_EQ(FileText(t.Path), "[Settings]\r\nSkin=Dusk (internal)\r\n[Window]\r\n");
  ini.EraseSection("WINDOW");
  TStringList s;
  other.ReadSections(s);
  EXPECT_EQ(s.CommaText(), "Settings");
}

TEST(IniFile, UnwritableFileRaisesCreateError) {
  TIniFile ini("fwbase_no_such_dir/settings.ini");
  EXPECT_EQ(ini.ReadString("Settings", "Skin", "d"), "d");
  EXPECT_THROW(ini.WriteString("Settings", "Skin", "x"), EFCreateError);
}
