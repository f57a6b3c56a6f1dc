// A skinned system dialog's window-free rules: the adapter each child gets, the title-button
// slots' hit codes, the image choice, the system menu's item states and the blend step.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin/core/lxDialogCore.h"
#include "skin/core/lxProviderCore.h"

namespace {

using K = TlxChildKind;

struct ChildCase {
  const char* Class;
  std::uint32_t Style, ExStyle;
  bool Visible;
  K Kind;
  const char* Section;
};

TEST(DialogCore, ChildAdapterByExactType) {
  const ChildCase cases[] = {
      {"static", 0x0, 0, true, K::Static, "CHECKBOX"},
      {"static", 0xC, 0, true, K::Static, "CHECKBOX"},
      {"static", 0x3, 0x00020000, true, K::Edge, "EDIT"},
      {"static", 0xE, 0, true, K::Icon, "CHECKBOX"},
      {"static", 0x7, 0, true, K::None, ""},     // a frame: the text adapter would paint over it
      {"static", 0xB, 0, true, K::None, ""},     // simple text
      {"static", 0xF, 0, true, K::None, ""},     // a metafile
      {"static", 0x10, 0, true, K::None, ""},    // an etched line
      {"button", 0x0, 0, true, K::Button, "BUTTON"},
      {"button", 0xB, 0, true, K::None, ""},     // owner-drawn
      {"button", 0xF, 0, true, K::Button, "BUTTON"},
      {"button", 0xC, 0, true, K::Button, "BUTTON"},
      {"button", 0x9, 0, true, K::CheckBox, "CHECKBOX"},
      {"button", 0x7, 0, true, K::GroupBox, "GROUPBOX"},
      {"scrollbar", 0x10, 0, true, K::Sizer, "CHECKBOX"},
      {"scrollbar", 0x1, 0, true, K::None, ""},
      {"edit", 0, 0, true, K::Edit, "EDIT"},
      {"edit", 0, 0, false, K::None, ""},
      {"toolbarwindow32", 0x200, 0, true, K::ToolBar, "BAR"},
      {"shelldll_defview", 0, 0, true, K::None, ""},
  };
  for (const ChildCase& c : cases) {
    const TlxChildRule r = ChildAdapterRule(c.Class, c.Style, c.ExStyle, c.Visible);
    EXPECT_EQ(r.Kind, c.Kind) << c.Class << " " << c.Style;
    EXPECT_EQ(std::string(r.Section), c.Section) << c.Class << " " << c.Style;
  }
}

constexpr std::uint32_t SysMenu = 0x00080000, MaxBox = 0x00010000, MinBox = 0x00020000;
constexpr std::uint32_t ThickFrame = 0x00040000, ModalFrame = 0x80, Caption = 0x00C00000;
constexpr std::uint32_t Popup = 0x80000000, Help = 0x400;

TEST(DialogCore, BorderKindFromStyle) {
  EXPECT_EQ(DialogBorderKind(Popup | 0x00800000), dbkNone);
  EXPECT_EQ(DialogBorderKind(Popup | Caption | ThickFrame | ModalFrame), dbkSizeable);
  EXPECT_EQ(DialogBorderKind(Popup | Caption | ModalFrame), dbkDialog);
  EXPECT_EQ(DialogBorderKind(Caption), dbkSingle);
}

TEST(DialogCore, TitleSlotHitCodes) {
  struct Case {
    std::uint32_t Style, ExStyle;
    bool Zoomed;
    std::vector<int> Slots;   // slots 1.. up to one past the buttons
  };
  const Case cases[] = {
      {Caption | ModalFrame | SysMenu, Help, false, {20, 21, 2}},
      {Caption | ModalFrame | SysMenu, 0, false, {20, 2}},
      {Caption | ModalFrame | SysMenu | 0x2000, 0, false, {20, 21, 2}},   // DS_CONTEXTHELP left in the style
      {Caption | SysMenu | MaxBox | MinBox, Help, false, {20, 9, 8, 21, 2}},
      // A dialog frame cannot be maximized: its maximize slot is caption.
      {Caption | ModalFrame | SysMenu | MaxBox | MinBox, 0, false, {20, 2, 8, 2}},
      {Caption | SysMenu | MaxBox, 0, true, {20, 9, 2}},
      {Caption | MaxBox, 0, false, {2}},
  };
  for (const Case& c : cases) {
    const TlxDialogState s = DialogStateOf(c.Style, c.ExStyle, 0, false, c.Zoomed);
    for (size_t i = 0; i < c.Slots.size(); ++i)
      EXPECT_EQ(DialogSlotHitCode(s, static_cast<int>(i) + 1), c.Slots[i]) << c.Style << " slot " << i + 1;
  }
  // A class without a close command shows the button disabled.
  EXPECT_EQ(DialogSlotHitCode(DialogStateOf(Caption | SysMenu, 0, 0x200, false, false), 1), 2);
}

TEST(DialogCore, TitleImages) {
  struct Case {
    std::uint32_t Style;
    std::set<std::string> Skin;
    const char* Close;
    const char* HelpImage;
    const char* Title;
    bool Large;
  };
  const std::set<std::string> full = {"BICLOSEALONE", "SICONCLOSE", "SICONHELP", "DIALOGTITLE"};
  const Case cases[] = {
      {Caption | SysMenu, full, "BICLOSEALONE", "BICONHELP", "FORMTITLE", true},
      {Caption | SysMenu | MinBox, full, "BICONCLOSE", "BICONHELP", "FORMTITLE", true},
      {Caption | SysMenu | ModalFrame, full, "SICONCLOSE", "SICONHELP", "DIALOGTITLE", false},
      {Caption | SysMenu | ModalFrame, {"SICONCLOSE"}, "SICONCLOSE", "BICONHELP", "FORMTITLE", false},
      // Without the small set a dialog frame draws the large one.
      {Caption | SysMenu | ModalFrame, {"DIALOGTITLE"}, "BICONCLOSE", "BICONHELP", "DIALOGTITLE", true},
  };
  for (const Case& c : cases) {
    const TlxDialogImages im = DialogTitleImages(DialogStateOf(c.Style, 0, 0, false, false),
                                                 [&](const char* n) { return c.Skin.count(n) > 0; });
    EXPECT_EQ(im.Close, c.Close) << c.Style;
    EXPECT_EQ(im.Help, c.HelpImage) << c.Style;
    EXPECT_EQ(im.TitleSection, c.Title) << c.Style;
    EXPECT_EQ(im.Large, c.Large) << c.Style;
  }
}

TEST(DialogCore, SystemMenuStates) {
  using S = TlxSysMenuItemState;
  struct Case {
    std::uint32_t Style;
    bool Iconic, Zoomed;
    std::array<S, smiCount> Items;   // restore, move, size, minimize, maximize, close
  };
  const S off{}, on{true, true}, grey{true, false};
  const Case cases[] = {
      {Caption | ModalFrame | SysMenu, false, false, {off, on, off, off, off, on}},
      {Caption | ThickFrame | SysMenu, false, false, {grey, on, on, off, off, on}},
      {Caption | ThickFrame | SysMenu | MaxBox, false, true, {on, grey, on, off, grey, on}},
      {Caption | SysMenu | MinBox, true, false, {grey, on, grey, grey, off, on}},
  };
  for (const Case& c : cases) {
    const auto m = DialogSysMenuStates(DialogStateOf(c.Style, 0, 0, c.Iconic, c.Zoomed));
    for (int i = 0; i < smiCount; ++i) {
      EXPECT_EQ(m[i].Visible, c.Items[i].Visible) << c.Style << " item " << i;
      if (m[i].Visible) {
        EXPECT_EQ(m[i].Enabled, c.Items[i].Enabled) << c.Style << " item " << i;
      }
    }
  }
}

TEST(DialogCore, BlendStepNeverStallsBelowOpaque) {
  const int cases[][2] = {{255, 0}, {240, 1}, {226, 1}, {165, 3}, {0, 9}};
  for (const auto& c : cases) EXPECT_EQ(DialogBlendStep(c[0]), c[1]) << c[0];
}

}  // namespace
