// Menus: shortcut texts, the HMENU built from the items, item ownership, command dispatch, and
// owner-drawn items measured and drawn (through the dispatch functions and through a real
// popup menu the system measures and paints), and letters typed in a form's open owner-drawn
// menu bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

std::string MenuText(HMENU menu, UINT pos) {
  char buf[256] = {};
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STRING;
  mii.dwTypeData = buf;
  mii.cch = sizeof(buf);
  if (!::GetMenuItemInfoA(menu, pos, TRUE, &mii)) return "<none>";
  return buf;
}

MENUITEMINFOA MenuInfo(HMENU menu, UINT pos) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
  ::GetMenuItemInfoA(menu, pos, TRUE, &mii);
  return mii;
}

TMenuItem* NewItem(TComponent* owner, const std::string& caption, TShortCut sc = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetShortCut(sc);
  return item;
}

}  // namespace

TEST(ShortCuts, TextRoundTrip) {
  struct Case {
    TShortCut Sc;
    const char* Text;
  };
  const Case cases[] = {
      {scCtrl | 'O', "Ctrl+O"},
      {scAlt | VK_F4, "Alt+F4"},
      {scCtrl | VK_F4, "Ctrl+F4"},
      {VK_F6, "F6"},
      {VK_F1, "F1"},
      {scShift | scCtrl | 'A', "Shift+Ctrl+A"},
      {scCtrl | VK_DELETE, "Ctrl+Del"},
      {VK_F24, "F24"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.Sc), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Sc) << c.Text;
  }
  EXPECT_EQ(TextToShortCut("ctrl+o"), scCtrl | 'O');
  // Nothing that names no key becomes a shortcut.
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(scCtrl | 0xE8), "");
  EXPECT_EQ(TextToShortCut(""), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Banana"), 0);
  EXPECT_EQ(TextToShortCut("F25"), 0);
}

TEST(Menus, HandleMirrorsItems) {
  TComponent owner(nullptr);
  auto* menu = new TMainMenu(&owner);
  TMenuItem* file = NewItem(&owner, "&File");
  menu->Items()->Add(file);
  TMenuItem* connect = NewItem(&owner, "&Connect..", scCtrl | 'O');
  TMenuItem* line = NewItem(&owner, "-");
  TMenuItem* exitItem = NewItem(&owner, "E&xit", scAlt | VK_F4);
  file->Add(connect);
  file->Add(line);
  file->Add(exitItem);

  HMENU bar = menu->Handle();
  ASSERT_EQ(::GetMenuItemCount(bar), 1);
  EXPECT_EQ(MenuText(bar, 0), "&File");
  HMENU sub = MenuInfo(bar, 0).hSubMenu;
  ASSERT_EQ(sub, file->Handle());
  ASSERT_EQ(::GetMenuItemCount(sub), 3);
  EXPECT_EQ(MenuText(sub, 0), "&Connect..\tCtrl+O");
  EXPECT_NE(MenuInfo(sub, 1).fType & MFT_SEPARATOR, 0u);
  EXPECT_EQ(MenuText(sub, 2), "E&xit\tAlt+F4");
  EXPECT_EQ(MenuInfo(sub, 2).wID, exitItem->Command());

  // State changes reach the handle.
  connect->SetEnabled(false);
  connect->SetChecked(true);
  EXPECT_NE(MenuInfo(sub, 0).fState & MFS_GRAYED, 0u);
  EXPECT_NE(MenuInfo(sub, 0).fState & MFS_CHECKED, 0u);
  exitItem->SetVisible(false);
  EXPECT_EQ(::GetMenuItemCount(sub), 2);
  exitItem->SetVisible(true);
  exitItem->SetCaption("&Quit");
  EXPECT_EQ(MenuText(sub, 2), "&Quit\tAlt+F4");

  // Freeing an item takes it out of its parent and of the handle; its number is free again.
  std::uint16_t cmd = line->Command();
  delete line;
  EXPECT_EQ(file->Count(), 2);
  EXPECT_EQ(::GetMenuItemCount(sub), 2);
  EXPECT_EQ(FindMenuItemByCommand(cmd), nullptr);
  EXPECT_EQ(FindMenuItemByCommand(connect->Command()), connect);
}

TEST(Menus, InsertingAnItemTwiceOrIntoItselfIsRefused) {
  TComponent owner(nullptr);
  TMenuItem* a = NewItem(&owner, "a");
  TMenuItem* b = NewItem(&owner, "b");
  a->Add(b);
  EXPECT_THROW(a->Add(b), EMenuError);
  EXPECT_THROW(b->Add(a), EMenuError);
  EXPECT_THROW(a->Items(5), EMenuError);
  EXPECT_EQ(a->Find("B"), b);
  EXPECT_EQ(b->Parent(), a);
}

TEST(Menus, ParentFreesSubItemsAndOwnerFreesTheRest) {
  auto owner = std::make_unique<TComponent>(nullptr);
  TMenuItem* root = NewItem(owner.get(), "root");
  TMenuItem* child = NewItem(owner.get(), "child");
  TMenuItem* grandChild = NewItem(owner.get(), "grand child");
  root->Add(child);
  child->Add(grandChild);
  (void)root->Handle();
  std::uint16_t cmd = grandChild->Command();
  EXPECT_EQ(owner->ComponentCount(), 3);
  delete child;   // frees its sub-item too, and both leave the owner's list
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(root->Count(), 0);
  EXPECT_EQ(::GetMenuItemCount(root->Handle()), 0);
  EXPECT_EQ(FindMenuItemByCommand(cmd), nullptr);
  owner.reset();   // the owner frees the root; nothing is freed twice
}

TEST(Menus, CommandsAndShortCutsClickTheirItem) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  TMenuItem* sub = NewItem(&owner, "sub");
  TMenuItem* item = NewItem(&owner, "item", scCtrl | 'K');
  menu->Items()->Add(sub);
  sub->Add(item);
  int clicks = 0;
  item->OnClick = [&](TObject*) { ++clicks; };

  EXPECT_TRUE(menu->DispatchCommand(item->Command()));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(menu->DispatchCommand(0));
  EXPECT_FALSE(menu->DispatchCommand(0xF060));   // a system command is not ours

  EXPECT_TRUE(menu->IsShortCut(scCtrl | 'K'));
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(menu->IsShortCut(scCtrl | 'J'));
  // A disabled parent keeps its sub-items from running, as the menu itself would.
  sub->SetEnabled(false);
  EXPECT_FALSE(menu->IsShortCut(scCtrl | 'K'));
  EXPECT_EQ(clicks, 2);

  // Another menu's command is not dispatched here.
  auto* other = new TPopupMenu(&owner);
  TMenuItem* foreign = NewItem(&owner, "foreign");
  other->Items()->Add(foreign);
  EXPECT_FALSE(menu->DispatchCommand(foreign->Command()));
}

TEST(Menus, RadioItemsOfAGroupExcludeEachOther) {
  TComponent owner(nullptr);
  TMenuItem* root = NewItem(&owner, "root");
  TMenuItem* a = NewItem(&owner, "a");
  TMenuItem* b = NewItem(&owner, "b");
  TMenuItem* c = NewItem(&owner, "c");
  for (TMenuItem* i : {a, b, c}) {
    i->SetRadioItem(true);
    root->Add(i);
  }
  c->SetGroupIndex(2);
  a->SetChecked(true);
  c->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());   // another group
}

// ---------------------------------------------------------------------------------------------
// Owner drawing

TEST(MenusOwnerDraw, MeasureAndDrawGoThroughTheEvents) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  TMenuItem* item = NewItem(&owner, "Owner drawn", scCtrl | 'D');
  menu->Items()->Add(item);
  int measured = 0;
  item->OnMeasureItem = [&](TObject* sender, TCanvas* canvas, int& w, int& h) {
    EXPECT_EQ(sender, item);
    ASSERT_NE(canvas, nullptr);
    EXPECT_TRUE(canvas->HandleAllocated());
    // The defaults are already there to be adjusted.
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    w = 123;
    h = 31;
    ++measured;
  };
  std::vector<TRect> rects;
  std::vector<TOwnerDrawState> states;
  item->OnAdvancedDrawItem = [&](TObject*, TCanvas* canvas, const TRect& r, TOwnerDrawState s) {
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(r);
    rects.push_back(r);
    states.push_back(s);
  };
  EXPECT_TRUE(item->IsOwnerDraw());
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE;
  ASSERT_TRUE(::GetMenuItemInfoA(menu->Handle(), 0, TRUE, &mii));
  EXPECT_NE(mii.fType & MFT_OWNERDRAW, 0u);

  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = item->Command();
  ASSERT_TRUE(MenuMeasureItem(mis));
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 31u);

  // Drawing into a bitmap: the handler's red fill lands in the item rectangle only.
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::pf32bit);
  bmp.SetSize(140, 40);
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect(Rect(0, 0, 140, 40));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = item->Command();
  dis.itemState = ODS_SELECTED;
  dis.hDC = bmp.Canvas()->GetHandle();
  dis.rcItem = RECT{10, 5, 133, 36};
  ASSERT_TRUE(MenuDrawItem(dis));
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0], Rect(10, 5, 133, 36));
  EXPECT_EQ(states[0] & odSelected, odSelected);
  EXPECT_EQ(bmp.Canvas()->GetPixel(20, 20), clRed);
  EXPECT_EQ(bmp.Canvas()->GetPixel(5, 20), clWhite);

  // Messages about items that are not ours, or not menus, are left alone.
  MEASUREITEMSTRUCT foreign{};
  foreign.CtlType = ODT_MENU;
  foreign.itemID = 0;
  EXPECT_FALSE(MenuMeasureItem(foreign));
  foreign.CtlType = ODT_BUTTON;
  foreign.itemID = item->Command();
  EXPECT_FALSE(MenuMeasureItem(foreign));
}

TEST(MenusOwnerDraw, ItemsWithImagesAreDrawnByTheFramework) {
  TComponent owner(nullptr);
  auto* images = new TImageList(&owner);
  images->SetSize(16, 16);
  TBitmap strip;
  strip.SetPixelFormat(TPixelFormat::pf24bit);
  strip.SetSize(16, 16);
  strip.Canvas()->Brush()->SetColor(clBlue);
  strip.Canvas()->FillRect(Rect(0, 0, 16, 16));
  ASSERT_EQ(images->Add(&strip, nullptr), 0);

  auto* menu = new TPopupMenu(&owner);
  menu->SetImages(images);
  TMenuItem* plain = NewItem(&owner, "plain");
  TMenuItem* pictured = NewItem(&owner, "pictured", VK_F6);
  pictured->SetImageIndex(0);
  menu->Items()->Add(plain);
  menu->Items()->Add(pictured);
  // In a menu with images every item is drawn by the framework; without images by the system.
  EXPECT_TRUE(plain->IsOwnerDraw());
  EXPECT_TRUE(pictured->IsOwnerDraw());
  menu->SetImages(nullptr);
  EXPECT_FALSE(pictured->IsOwnerDraw());
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE;
  ASSERT_TRUE(::GetMenuItemInfoA(menu->Handle(), 1, TRUE, &mii));
  EXPECT_EQ(mii.fType & MFT_OWNERDRAW, 0u);
  menu->SetImages(images);
  ASSERT_TRUE(::GetMenuItemInfoA(menu->Handle(), 1, TRUE, &mii));
  EXPECT_NE(mii.fType & MFT_OWNERDRAW, 0u);

  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = pictured->Command();
  ASSERT_TRUE(MenuMeasureItem(mis));
  EXPECT_GE(mis.itemHeight, 20u);   // the 16-pixel image and a margin

  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::pf32bit);
  bmp.SetSize(200, 24);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = pictured->Command();
  dis.hDC = bmp.Canvas()->GetHandle();
  dis.rcItem = RECT{0, 0, 200, 24};
  dis.itemState = 0;
  ASSERT_TRUE(MenuDrawItem(dis));
  EXPECT_EQ(bmp.Canvas()->GetPixel(8, 12), clBlue);   // the image at the left
  EXPECT_EQ(bmp.Canvas()->GetPixel(150, 1), ColorToRGB(clMenu));
  dis.itemState = ODS_SELECTED;
  ASSERT_TRUE(MenuDrawItem(dis));
  EXPECT_EQ(bmp.Canvas()->GetPixel(150, 1), ColorToRGB(clHighlight));
}

TEST(MenusOwnerDraw, ASystemPopupMeasuresAndPaintsOwnerDrawnItems) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  menu->SetOwnerDraw(true);
  int measured = 0;
  int drawn = 0;
  for (const char* caption : {"First", "-", "Third"}) {
    TMenuItem* item = NewItem(&owner, caption);
    item->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
      ++measured;
      w = 100;
      h = 20;
    };
    item->OnDrawItem = [&](TObject*, TCanvas* c, const TRect& r, bool) {
      ++drawn;
      c->FillRect(r);
    };
    menu->Items()->Add(item);
  }
  int popups = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  // The menu runs its own loop; a timer closes it once it has been painted.
  TTimer closer(nullptr);
  closer.SetInterval(300);
  closer.SetOnTimer([&](TObject*) {
    ::EndMenu();
    closer.SetEnabled(false);
  });
  menu->Popup(100, 100);
  EXPECT_EQ(popups, 1);
  EXPECT_GE(measured, 3);
  EXPECT_GE(drawn, 3);
}

TEST(Menus, HandlesAreDestroyedWithTheirItems) {
  std::vector<HMENU> handles;
  {
    TComponent owner(nullptr);
    auto* menu = new TMainMenu(&owner);
    TMenuItem* top = NewItem(&owner, "&File");
    menu->Items()->Add(top);
    TMenuItem* sub = NewItem(&owner, "&Recent");
    top->Add(sub);
    sub->Add(NewItem(&owner, "a"));
    handles = {menu->Handle(), top->Handle(), sub->Handle()};
    for (HMENU h : handles) EXPECT_TRUE(::IsMenu(h));
    delete sub;   // its own sub-menu goes with it, the parent's stays
    EXPECT_FALSE(::IsMenu(handles[2]));
    EXPECT_TRUE(::IsMenu(handles[1]));
  }
  for (HMENU h : handles) EXPECT_FALSE(::IsMenu(h));
}

TEST(MenusOwnerDraw, TypedCharactersFindTheItemOfTheirAccelerator) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  menu->SetOwnerDraw(true);
  TMenuItem* lamp = NewItem(&owner, "&Lamp");
  lamp->SetEnabled(false);
  menu->Items()->Add(lamp);
  menu->Items()->Add(NewItem(&owner, "&Light"));
  menu->Items()->Add(NewItem(&owner, "&&No accelerator"));
  menu->Items()->Add(NewItem(&owner, "&Dark"));
  HMENU h = menu->Handle();
  EXPECT_EQ(MenuChar('d', h), MAKELRESULT(3, MNC_EXECUTE));
  EXPECT_EQ(MenuChar('L', h), MAKELRESULT(1, MNC_EXECUTE));   // the disabled one is skipped
  EXPECT_EQ(HIWORD(MenuChar('N', h)), MNC_IGNORE);            // "&&" is no accelerator
  EXPECT_EQ(HIWORD(MenuChar('x', h)), MNC_IGNORE);
}

// Ends a menu loop that did not end by itself, so that a fault cannot hang the test.
void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::EndMenu();
}

// The owner-drawn menu bar of a form: letters typed while it is open (WM_MENUCHAR to the form)
// find the item of their accelerator, in the bar and in its sub-menus.
TEST(MenusOwnerDraw, TheFormAnswersLettersTypedInItsOpenMenuBar) {
  auto form = fwtest::MakeForm();
  auto* menu = new TMainMenu(form.get());
  menu->SetOwnerDraw(true);
  TMenuItem* file = NewItem(form.get(), "&File");
  TMenuItem* open = NewItem(form.get(), "&Open");
  file->Add(open);
  menu->Items()->Add(file);
  TMenuItem* skin = NewItem(form.get(), "&Skin");
  int skinClicks = 0;
  skin->OnClick = [&](TObject*) { ++skinClicks; };
  menu->Items()->Add(skin);
  form->SetMenu(menu);
  form->Show();
  HWND h = form->Handle();
  const LPARAM bar = reinterpret_cast<LPARAM>(menu->Handle());
  const LPARAM sub = reinterpret_cast<LPARAM>(file->Handle());
  EXPECT_EQ(::SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('s', 0), bar), MAKELRESULT(1, MNC_EXECUTE));
  EXPECT_EQ(::SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('F', 0), bar), MAKELRESULT(0, MNC_EXECUTE));
  EXPECT_EQ(::SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('o', MF_POPUP), sub), MAKELRESULT(0, MNC_EXECUTE));
  // Letters no item has, and the system menu, stay with the default handling.
  EXPECT_NE(HIWORD(::SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('q', 0), bar)), MNC_EXECUTE);
  EXPECT_NE(HIWORD(::SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('s', MF_SYSMENU), bar)), MNC_EXECUTE);
  EXPECT_NE(HIWORD(::SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('s', 0), 0)), MNC_EXECUTE);

  // Through the system's own menu loop: Alt+S opens the bar at "&Skin" and runs it.
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 3000, &EndMenuTimer);
  ::SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 's');
  fwtest::PumpUntil([&] { return skinClicks > 0; }, 3000);
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(skinClicks, 1);
}
