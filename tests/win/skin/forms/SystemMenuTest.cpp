// The skinned system menu: on the program's main window (Alt+Space) it mirrors the window's
// menu, owner-drawn, with "Available skins" on top; the application's own window-menu entries,
// a dialog's short menu, a window menu without Close; picking a skin switches it and the ini
// remembers it, including folder skins in a second column and names holding "&". Choices are
// made by mouse messages to the open menu windows from a timer inside the menu loop. With
// ORBEX_MENU_SHOTS set to a folder, the open menus are also saved there as screen images.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "app/win/ConnectDlg.h"
#include "app/win/MainFrm.h"
#include "skin/adapters/lxMnuWnd.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/forms/AppFormTestUtil.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new formtest::TProgramUnits("system menu test", true));

std::string TempPath(const std::string& name) { return formtest::ScratchPath("sysmenu", name); }

std::string IniPath() { return TempPath(".ini"); }

std::string IniSkin() {
  char buf[256] = {};
  GetPrivateProfileStringA("Settings", "Skin", "", buf, sizeof(buf), IniPath().c_str());
  return buf;
}

std::unique_ptr<TMainForm> MainWindow(const std::string& skin) { return formtest::MainWindow(skin, IniPath()); }

// A plain test form with a provider of its own, skinned by the main window's manager.
std::unique_ptr<TForm> TestForm(TFormBorderStyle border) {
  auto f = std::make_unique<TForm>(nullptr);
  f->SetBorderStyle(border);
  NewComponent<TsSkinProvider>(f.get());
  f->SetBounds(120, 120, 320, 220);
  f->Show();
  Application->ProcessMessages();
  return f;
}

// An item of an open menu as the system holds it, with the item of ours it stands for.
struct TShown {
  TMenuItem* Item = nullptr;
  UINT Type = 0, State = 0;
  HMENU Sub = nullptr;
  bool Line() const { return (Type & MFT_SEPARATOR) != 0; }
  std::string Caption() const { return Item != nullptr ? Item->Caption() : std::string(); }
  std::intptr_t Tag() const { return Item != nullptr && !Line() ? Item->Tag() : 0; }
};

std::vector<TShown> Shown(HMENU menu) {
  std::vector<TShown> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii);
    out.push_back(TShown{FindMenuItemByCommand(static_cast<std::uint16_t>(mii.dwItemData)), mii.fType, mii.fState,
                         mii.hSubMenu});
  }
  return out;
}

std::vector<std::intptr_t> Tags(HMENU menu) {
  std::vector<std::intptr_t> tags;
  for (const TShown& s : Shown(menu)) tags.push_back(s.Tag());
  return tags;
}

// The open menu window showing `menu` (any open one for null).
HWND MenuWindow(HMENU menu) {
  for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w != nullptr;
       w = FindWindowExA(nullptr, w, "#32768", nullptr))
    if (IsWindowVisible(w) && (menu == nullptr || reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0)) == menu))
      return w;
  return nullptr;
}

HMENU OpenMenu() {
  HWND w = MenuWindow(nullptr);
  return w != nullptr ? reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0)) : nullptr;
}

// Moves the mouse onto an item of an open menu (a sub-menu opens) and, with `press`, presses
// and releases it there; false while the menu is not shown.
bool PointAtItem(HMENU menu, int pos, bool press) {
  HWND w = MenuWindow(menu);
  const RECT r = formtest::MenuItemRect(menu, pos);
  if (w == nullptr || IsRectEmpty(&r)) return false;
  // The menu loop reads the point of a mouse message in screen coordinates.
  const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  if (!press) return true;
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  return true;
}
bool ClickItem(HMENU menu, int pos) { return PointAtItem(menu, pos, true); }

void Shot(HMENU menu, const std::string& name) { formtest::Shot(MenuWindow(menu), 20, name); }

// Steps run one per timer tick inside the menu loop, each until it answers true; a menu still
// open after a bounded number of ticks is closed so that a failing test ends.
std::vector<std::function<bool()>> GSteps;
size_t GStep = 0;
int GTicks = 0;
void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (GStep < GSteps.size() && GSteps[GStep]()) ++GStep;
  if (++GTicks > 200) EndMenu();
}
bool Drive(HWND form, std::vector<std::function<bool()>> steps) {
  GSteps = std::move(steps);
  GStep = 0;
  GTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, &StepTimer);
  SendMessageA(form, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  KillTimer(nullptr, timer);
  return GStep == GSteps.size();
}
bool Close() {
  EndMenu();
  return true;
}

// The commands of the form's system menu as it shows (0 for a separator), then closed.
std::vector<std::intptr_t> ShownTags(HWND form) {
  std::vector<std::intptr_t> tags;
  EXPECT_TRUE(Drive(form, {[&] {
                      HMENU menu = OpenMenu();
                      tags = Tags(menu);
                      return menu != nullptr && Close();
                    }}));
  return tags;
}

// The "Available skins" sub-menu of the open system menu: opened by pointing at it, then
// `then`.
std::vector<std::function<bool()>> InSkinList(const std::function<bool(HMENU)>& then) {
  auto sub = std::make_shared<HMENU>(nullptr);
  return {[sub] {
            HMENU top = OpenMenu();
            if (top == nullptr) return false;
            *sub = GetSubMenu(top, 0);
            return *sub != nullptr && PointAtItem(top, 0, false);
          },
          [sub, then] { return MenuWindow(*sub) != nullptr && then(*sub); }};
}

// The pixels at the right end of an open menu's item, where the system draws a sub-menu's
// arrow: those that differ from the item's fill just left of it (the arrow), and those in the
// system's own menu or highlight colour where the fill is neither. The menu window paints
// itself into a bitmap for it, so what is read does not wait for the screen to catch up.
struct TArrowBox {
  int Arrow = -1, SystemColoured = -1;
};
TArrowBox ArrowBox(HMENU menu, int pos) {
  const HWND w = MenuWindow(menu);
  RECT r = formtest::MenuItemRect(menu, pos), client{};
  if (w == nullptr || IsRectEmpty(&r)) return {};
  MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
  GetClientRect(w, &client);
  TBitmap image;
  image.SetPixelFormat(TPixelFormat::pf32bit);
  image.SetSize(client.right, client.bottom);
  const HDC dc = image.Canvas()->GetHandle();
  SendMessageA(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF fill = GetPixel(dc, r.right - 24, (r.top + r.bottom) / 2);
  TArrowBox box{0, 0};
  for (int y = r.top + 1; y < r.bottom - 1; ++y)
    for (int x = r.right - 16; x < r.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c != fill) ++box.Arrow;
      if (c != fill && (c == GetSysColor(COLOR_MENU) || c == GetSysColor(COLOR_HIGHLIGHT))) ++box.SystemColoured;
    }
  return box;
}

class SystemMenu : public ::testing::TestWithParam<const char*> {};

TEST_P(SystemMenu, MainWindowShowsTheSkinListAndTheWindowMenu) {
  auto f = MainWindow(GetParam());
  const std::string tag = formtest::ShortSkinName(GetParam());
  std::vector<TShown> top, skins;
  TArrowBox arrow;
  auto steps = InSkinList([&](HMENU sub) {
    Shot(sub, "skins-" + tag);
    skins = Shown(sub);
    return Close();
  });
  int waits = 0;
  steps.insert(steps.begin(), [&] {
    HMENU menu = OpenMenu();
    if (menu == nullptr) return false;
    // Read once the menu has laid out its items, or after two seconds (the arrow is then
    // missing).
    arrow = ArrowBox(menu, 0);
    if (arrow.Arrow <= 0 && ++waits < 50) return false;
    Shot(menu, "sysmenu-" + tag);
    top = Shown(menu);
    return true;
  });
  ASSERT_TRUE(Drive(f->Handle(), steps));
  ASSERT_EQ(top.size(), 9u);
  for (const TShown& s : top) EXPECT_TRUE(s.Type & MFT_OWNERDRAW);
  EXPECT_EQ(top[0].Caption(), "Available skins");
  EXPECT_NE(top[0].Sub, nullptr);
  // The system's sub-menu arrow lies on the item's own fill, not on a box of its menu colours.
  EXPECT_GT(arrow.Arrow, 0);
  EXPECT_EQ(arrow.SystemColoured, 0);
  const std::vector<std::string> captions{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize"};
  for (size_t i = 0; i < captions.size(); ++i) EXPECT_EQ(top[i + 2].Caption(), captions[i]);
  EXPECT_TRUE(top[1].Line() && top[7].Line());
  EXPECT_TRUE(top[2].State & MFS_GRAYED);
  for (size_t i = 3; i < 9; ++i) EXPECT_FALSE(top[i].State & MFS_GRAYED) << i;
  EXPECT_EQ(top[8].Caption(), "&Close");
  EXPECT_EQ(ShortCutToText(top[8].Item->GetShortCut()), "Alt+F4");
  for (const TShown& s : top) EXPECT_NE(s.Tag(), 0xF141);
  ASSERT_EQ(skins.size(), 2u);
  EXPECT_EQ(skins[0].Caption(), "Dusk (internal)");
  EXPECT_EQ(skins[1].Caption(), "Linden (internal)");
  for (const TShown& s : skins) {
    EXPECT_TRUE(s.Type & MFT_RADIOCHECK);
    EXPECT_TRUE(s.Type & MFT_OWNERDRAW);
    EXPECT_EQ((s.State & MFS_CHECKED) != 0, s.Caption() == GetParam());
  }
}

INSTANTIATE_TEST_SUITE_P(BothSkins, SystemMenu, formtest::StoredSkins(),
                         [](const auto& info) { return formtest::ShortSkinName(info.param); });

TEST(SystemMenuCommands, AnEntryOfTheWindowMenuSitsBetweenSeparatorsAndIsPosted) {
  auto f = MainWindow("Dusk (internal)");
  AppendMenuA(GetSystemMenu(f->Handle(), FALSE), MF_STRING, 0x100, "Extra\tCtrl+E");
  std::vector<TShown> top;
  ASSERT_TRUE(Drive(f->Handle(), {[&] {
                                    HMENU menu = OpenMenu();
                                    if (menu == nullptr) return false;
                                    top = Shown(menu);
                                    return true;
                                  },
                                  [&] { return ClickItem(OpenMenu(), 8); }}));
  ASSERT_EQ(top.size(), 11u);
  EXPECT_TRUE(top[7].Line());
  EXPECT_EQ(top[8].Caption(), "Extra");
  EXPECT_EQ(top[8].Tag(), 0x100);
  EXPECT_EQ(ShortCutToText(top[8].Item->GetShortCut()), "Ctrl+E");
  EXPECT_TRUE(top[9].Line());
  EXPECT_EQ(top[10].Tag(), SC_CLOSE);
  // The choice was posted to the form, after the menu closed.
  MSG msg{};
  bool posted = false;
  while (PeekMessageA(&msg, f->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) posted |= msg.wParam == 0x100;
  EXPECT_TRUE(posted);
}

TEST(SystemMenuCommands, ADialogShowsMoveAndCloseOnly) {
  auto main = MainWindow("Dusk (internal)");
  auto f = TestForm(bsDialog);
  EXPECT_EQ(ShownTags(f->Handle()), (std::vector<std::intptr_t>{SC_MOVE, 0, SC_CLOSE}));
}

TEST(SystemMenuCommands, AWindowMenuWithoutCloseHasNoCloseItem) {
  auto main = MainWindow("Dusk (internal)");
  auto f = TestForm(bsSizeable);
  DeleteMenu(GetSystemMenu(f->Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
  EXPECT_EQ(ShownTags(f->Handle()), (std::vector<std::intptr_t>{SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0}));
}

// Every showing builds the items again: the old sub-menu goes, and no popup background or
// window stays behind.
TEST(SystemMenuSkins, ShowingItAgainLeavesNothingBehind) {
  auto f = MainWindow("Dusk (internal)");
  HMENU first = nullptr;
  auto skinList = [&] {
    return InSkinList([&](HMENU sub) {
      if (first == nullptr) first = sub;
      return Close();
    });
  };
  ASSERT_TRUE(Drive(f->Handle(), skinList()));
  Application->ProcessMessages();
  const TResourceCount before = CountResources();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Drive(f->Handle(), skinList()));
  Application->ProcessMessages();
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  EXPECT_FALSE(IsMenu(first));
}

TEST(SystemMenuSkins, PickingASkinSwitchesItAndTheIniRemembersIt) {
  auto f = MainWindow("Dusk (internal)");
  ASSERT_TRUE(Drive(f->Handle(), InSkinList([](HMENU sub) { return ClickItem(sub, 1); })));
  EXPECT_EQ(f->SkinManager->GetSkinName(), "Linden (internal)");
  EXPECT_EQ(IniSkin(), "Linden (internal)");
}

// Folder skins beside the two stored ones: 21 names, the 21st in a second column, and a name
// with "&" shown as it is and chosen as it is.
TEST(SystemMenuSkins, FolderSkinsTakeASecondColumnAndNamesWithAmpersandsCanBeChosen) {
  const std::string dir = TempPath("-skins");
  std::vector<std::string> names{"R&B"};
  for (int i = 1; i <= 18; ++i) names.push_back("Skin" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  for (const std::string& n : names)
    formtest::WriteSkinFolder(dir, n, "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\n[FORM]\r\nSTATES=1\r\nCOLOR=3355443\r\n");
  auto f = MainWindow("Dusk (internal)");
  f->SkinManager->SetSkinDirectory(dir);
  std::vector<TShown> skins;
  ASSERT_TRUE(Drive(f->Handle(), InSkinList([&](HMENU sub) {
                      skins = Shown(sub);
                      return ClickItem(sub, 2);
                    })));
  ASSERT_EQ(skins.size(), 21u);
  for (size_t i = 0; i < skins.size(); ++i) EXPECT_EQ((skins[i].Type & MFT_MENUBREAK) != 0, i == 20) << i;
  EXPECT_EQ(skins[2].Caption(), "R&&B");
  EXPECT_EQ(skins[20].Caption(), "Skin18");
  EXPECT_EQ(f->SkinManager->GetSkinName(), "R&B");
  EXPECT_EQ(IniSkin(), "R&B");
  f.reset();
  for (const std::string& n : names) {
    DeleteFileA((dir + "\\" + n + "\\Options.dat").c_str());
    RemoveDirectoryA((dir + "\\" + n).c_str());
  }
  RemoveDirectoryA(dir.c_str());
}

// ---------------------------------------------------------------------------------------------
// The popup-menu windows' adapters.

// Paint messages reaching `GCounted` while `GGoing` handles its WM_DESTROY.
HWND GCounted = nullptr, GGoing = nullptr;
bool GInGoing = false;
int GRepaints = 0;
LRESULT CALLBACK BeforeProc(int code, WPARAM wp, LPARAM lp) {
  const auto* c = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && c->hwnd == GGoing && c->message == WM_DESTROY) GInGoing = true;
  if (code == HC_ACTION && GInGoing && c->hwnd == GCounted && (c->message == WM_PAINT || c->message == WM_NCPAINT))
    ++GRepaints;
  return CallNextHookEx(nullptr, code, wp, lp);
}
LRESULT CALLBACK AfterProc(int code, WPARAM wp, LPARAM lp) {
  const auto* c = reinterpret_cast<const CWPRETSTRUCT*>(lp);
  if (code == HC_ACTION && c->hwnd == GGoing && c->message == WM_DESTROY) GInGoing = false;
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(SystemMenuPopups, ClosingTheSkinListRepaintsTheMenuAndClosingTheLastFreesEveryAdapter) {
  auto f = MainWindow("Dusk (internal)");
  HMENU top = nullptr, sub = nullptr;
  size_t wrapped = 0;
  int backgrounds = -1;
  GRepaints = 0;
  const HHOOK before = SetWindowsHookExA(WH_CALLWNDPROC, &BeforeProc, nullptr, GetCurrentThreadId());
  const HHOOK after = SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterProc, nullptr, GetCurrentThreadId());
  const bool driven = Drive(f->Handle(), {[&] {
                                            top = OpenMenu();
                                            sub = top != nullptr ? GetSubMenu(top, 0) : nullptr;
                                            return sub != nullptr && PointAtItem(top, 0, false);
                                          },
                                          [&] {
                                            GGoing = MenuWindow(sub);
                                            if (GGoing == nullptr) return false;
                                            GCounted = MenuWindow(top);
                                            wrapped = SkinnedPopupMenus().size();
                                            // "&Move" closes the skin list.
                                            return PointAtItem(top, 3, false);
                                          },
                                          [&] {
                                            if (IsWindow(GGoing)) return false;
                                            backgrounds = TsSkinableMenus::PopupInfoCount();
                                            return Close();
                                          }});
  UnhookWindowsHookEx(before);
  UnhookWindowsHookEx(after);
  ASSERT_TRUE(driven);
  EXPECT_EQ(wrapped, 2u);
  EXPECT_GT(GRepaints, 0);
  EXPECT_EQ(backgrounds, 1);
  EXPECT_TRUE(SkinnedPopupMenus().empty());
  EXPECT_FALSE(PopupFlags().InProgress);
  EXPECT_FALSE(PopupFlags().Painted);
  // The next menu is wrapped again; withdrawing the skin lets go of it at once.
  size_t rewrapped = 0, withdrawn = 1;
  HANDLE prop = nullptr;
  ASSERT_TRUE(Drive(f->Handle(), {[&] {
                      HMENU menu = OpenMenu();
                      if (menu == nullptr) return false;
                      rewrapped = SkinnedPopupMenus().size();
                      f->SkinManager->SetActive(false);
                      withdrawn = SkinnedPopupMenus().size();
                      prop = GetPropA(MenuWindow(menu), "LXSBSC");
                      return Close();
                    }}));
  EXPECT_EQ(rewrapped, 1u);
  EXPECT_EQ(withdrawn, 0u);
  EXPECT_EQ(prop, nullptr);
}

}  // namespace
