// The skin manager's window-free rules: the skin directory from the program's folder, skin
// names of packed files, the version text and notices, the editor's data block, the option
// objects' defaults and the foreign class lists by their list index.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/TypInfo.h"
#include "skin/core/sSkinManagerCore.h"

namespace {

TEST(SkinManagerCore, ResolvesTheSkinDirectoryFromTheProgramFolder) {
  const std::string bin = "C:\\App\\Bin\\";
  EXPECT_EQ(ResolveSkinDirectory("..\\Skins", bin), "C:\\App\\Skins");
  EXPECT_EQ(ResolveSkinDirectory(".\\Skins", bin), "C:\\App\\Bin\\Skins");
  EXPECT_EQ(ResolveSkinDirectory("./Skins", bin), "C:\\App\\Bin\\Skins");
  EXPECT_EQ(ResolveSkinDirectory("Skins", bin), "C:\\App\\Bin\\Skins");
  EXPECT_EQ(ResolveSkinDirectory("Skins\\Dark", bin), "C:\\App\\Bin\\Skins\\Dark");
  EXPECT_EQ(ResolveSkinDirectory("\\\\server\\share", bin), "\\\\server\\share");
  EXPECT_EQ(ResolveSkinDirectory("c:\\Skins", bin), "c:\\Skins");
  EXPECT_EQ(ResolveSkinDirectory("..", bin), "C:\\App\\");
}

TEST(SkinManagerCore, PackedNamesAndVersionTexts) {
  EXPECT_EQ(SkinNameWithoutTez("Dusk (internal).TEZ"), "Dusk (internal)");
  EXPECT_EQ(SkinNameWithoutTez(".tez"), ".tez");   // nothing would be left
  EXPECT_EQ(SkinNameWithoutTez("Dusk"), "Dusk");
  // The listed name is what loads the file: only the extension goes.
  EXPECT_EQ(PackedSkinNameOf("Blue.Theme.tez"), "Blue.Theme");
  EXPECT_EQ(PackedSkinNameOf("Red.TEZ"), "");
  EXPECT_EQ(PackedSkinNameOf(".tez"), "");
  EXPECT_EQ(FormatSkinVersion(7.2), "7.2");
  EXPECT_EQ(FormatSkinVersion(7.63), "7.63");
  EXPECT_EQ(FormatSkinVersion(8), "8");
  EXPECT_EQ(SkinVersionNotice(7.2, "A", true), "");
  EXPECT_EQ(SkinVersionNotice(7.99, "A", true), "");
  EXPECT_EQ(SkinVersionNotice(8.0, "A", false).rfind("This version of the skin have not complete", 0), 0u);
  EXPECT_EQ(SkinVersionNotice(6.5, "A", false), "");
  EXPECT_EQ(SkinVersionNotice(6.5, "Old", true).rfind("You are using an old version of the \"Old\" skin.", 0), 0u);
}

std::vector<std::uint8_t> EditorBlock(std::size_t size, std::uint32_t marker) {
  std::vector<std::uint8_t> b(size, 'x');
  for (int i = 0; i < 4 && static_cast<std::size_t>(i) < size; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(marker >> (8 * i));
  return b;
}

TEST(SkinManagerCore, TheEditorBlockIsReadOnlyWhenWholeAndBoundedByItsFields) {
  auto b = EditorBlock(TsEditorBlock::Size, 0xA400);
  std::memcpy(&b[4], "Ed", 3);
  std::memcpy(&b[132], "c:\\Ed", 6);
  // The text field holds no zero at all: it ends with its field, not beyond.
  auto e = ParseEditorBlock(b);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->SkinName, "Ed");
  EXPECT_EQ(e->SkinDirectory, "c:\\Ed");
  EXPECT_EQ(e->SkinText.size(), TsEditorBlock::TextSize);
  // A name field without a zero stops at its 128 characters.
  std::memset(&b[4], 'n', 128);
  EXPECT_EQ(ParseEditorBlock(b)->SkinName, std::string(128, 'n'));
  EXPECT_FALSE(ParseEditorBlock(EditorBlock(TsEditorBlock::Size - 1, 0xA400)).has_value());
  EXPECT_FALSE(ParseEditorBlock(EditorBlock(TsEditorBlock::Size + 1, 0xA400)).has_value());
  EXPECT_FALSE(ParseEditorBlock(EditorBlock(TsEditorBlock::Size, 0xA401)).has_value());
  EXPECT_FALSE(ParseEditorBlock({}).has_value());
}

TEST(SkinManagerCore, OptionDefaults) {
  TlxAnimEffects a;
  EXPECT_EQ(a.SkinChanging()->Time, 100);
  EXPECT_EQ(a.SkinChanging()->Mode, atFading);
  EXPECT_TRUE(a.SkinChanging()->Active);
  EXPECT_EQ(a.FormHide()->Time, 0);
  EXPECT_EQ(a.FormHide()->Mode, atAero);
  EXPECT_FALSE(a.BlendOnMoving()->Active);
  EXPECT_EQ(a.BlendOnMoving()->BlendValue, 170);
  EXPECT_EQ(a.BlendOnMoving()->Time, 1000);
  EXPECT_EQ(a.Minimizing()->Time, 200);
  EXPECT_EQ(a.Buttons()->Events, TlxBtnEffects::AllEvents);
  // Values equal to their published defaults are not streamed.
  EXPECT_TRUE(IsDefaultPropValue(a.SkinChanging(), *GetPropInfo(a.SkinChanging(), "Time")));
  EXPECT_TRUE(IsDefaultPropValue(a.BlendOnMoving(), *GetPropInfo(a.BlendOnMoving(), "Active")));
  EXPECT_EQ(GetEnumProp(a.SkinChanging(), "Mode"), "atFading");
  EXPECT_EQ(GetPropInfo(a.PageChange(), "Mode"), nullptr);
  // Glowing needs layered windows and is off under WOW64 without composition.
  TlxSkinEffects e;
  TlxSkinEffects::LayeredWindows = false;
  EXPECT_FALSE(e.GetAllowGlowing());
  TlxSkinEffects::LayeredWindows = true;
  EXPECT_TRUE(e.GetAllowGlowing());
  bool wow64WithoutComposition = true;
  TlxSkinEffects::Wow64WithoutComposition = &wow64WithoutComposition;
  EXPECT_FALSE(e.GetAllowGlowing());
  wow64WithoutComposition = false;
  EXPECT_TRUE(e.GetAllowGlowing());
  TlxSkinEffects::Wow64WithoutComposition = nullptr;
  e.SetAllowGlowing(false);
  EXPECT_FALSE(e.GetAllowGlowing());
  TlxSkinEffects::LayeredWindows = false;
}

TEST(SkinManagerCore, ForeignClassListsByTheirListIndex) {
  ThirdPartyList l;
  EXPECT_EQ(l.ReadList(ThirdPartyList::tiButtons), "TButton");
  EXPECT_EQ(l.ReadList(0), " ");
  // Every property's list index; the published order differs from it.
  static const std::pair<const char*, int> kIndexes[] = {
      {"ThirdEdits", 0},         {"ThirdButtons", 1},        {"ThirdBitBtns", 2},        {"ThirdCheckBoxes", 3},
      {"ThirdGroupBoxes", 6},    {"ThirdListViews", 7},      {"ThirdPanels", 8},         {"ThirdGrids", 5},
      {"ThirdTreeViews", 9},     {"ThirdComboBoxes", 4},     {"ThirdWWEdits", 10},       {"ThirdVirtualTrees", 12},
      {"ThirdGridEh", 11},       {"ThirdPageControl", 13},   {"ThirdTabControl", 14},    {"ThirdToolBar", 15},
      {"ThirdStatusBar", 16},    {"ThirdSpeedButton", 17},   {"ThirdScrollControl", 18}, {"ThirdUpDown", 19}};
  // A different text in every list, so that a property reading a wrong one shows.
  for (const auto& [name, index] : kIndexes) l.WriteList(index, "TList" + std::to_string(index));
  for (const auto& [name, index] : kIndexes) EXPECT_EQ(GetStrProp(&l, name), "TList" + std::to_string(index)) << name;
  for (const auto& [name, index] : kIndexes) SetStrProp(&l, name, name);
  for (const auto& [name, index] : kIndexes) EXPECT_EQ(l.ReadList(index), name) << name;
  l.WriteList(20, "X");
  l.WriteList(-1, "X");
  EXPECT_EQ(l.ReadList(20), "");
  l.WriteList(4, "");
  l.FillDefaults();
  EXPECT_EQ(l.ReadList(4), " ");
}

TEST(SkinManagerCore, AClassTakesTheFirstListNamingItsWholeName) {
  ThirdPartyList l;
  l.WriteList(ThirdPartyList::tiPanels, "TMyEdit\r\nTOther");
  l.WriteList(ThirdPartyList::tiEdits, "TFoo\r\nTMyEdit");
  l.WriteList(ThirdPartyList::tiSpeedButton, "TMySpeed");
  const std::pair<const char*, int> cases[] = {
      {"TMyEdit", ThirdPartyList::tiEdits},   // in edits and panels: the lower index
      {"TOther", ThirdPartyList::tiPanels},
      {"TMySpeed", ThirdPartyList::tiSpeedButton},
      {"TButton", ThirdPartyList::tiButtons},
      {"tmyedit", -1},   // case counts
      {"TMy", -1},       // whole names only
      {"", -1},
  };
  for (const auto& [name, index] : cases) EXPECT_EQ(l.IndexOfClass(name), index) << name;
}

}  // namespace
