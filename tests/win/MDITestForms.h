// An MDI main form for tests: a menu bar "&File" (group 0) and "&Window" (group 9, the window
// menu), and three shown MDI children "Child 1".."Child 3", each with a menu of "&Edit" (group
// 1) and "Child &File" (group 0). The main form is the application's main form while the
// object lives; the children go before it. beforeShow runs on the main form before it is
// shown, beforeChildShow on each child (skin providers are made there).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

class TMDITestForms {
public:
  template <class F, class G>
  TMDITestForms(F&& beforeShow, G&& beforeChildShow) : FOldMain(Application->MainForm()) {
    Main = std::make_unique<TForm>(nullptr);
    Main->SetFormStyle(fsMDIForm);
    Main->SetPosition(poDesigned);
    Main->SetBounds(40, 40, 520, 400);
    Main->SetCaption("MDI parent");
    MainMenu = new TMainMenu(Main.get());
    FileItem = AddItem(MainMenu, "&File", 0);
    FileItem->Add(MakeItem(Main.get(), "E&xit", 0));
    WindowItem = AddItem(MainMenu, "&Window", 9);
    WindowItem->Add(MakeItem(Main.get(), "&Arrange", 0));
    Main->SetMenu(MainMenu);
    Main->SetWindowMenu(WindowItem);
    Application->SetMainForm(Main.get());
    beforeShow(Main.get());
    Main->Show();
    for (int i = 0; i < 3; ++i) {
      auto* c = new TForm(nullptr);
      c->SetFormStyle(fsMDIChild);
      c->SetCaption("Child " + std::to_string(i + 1));
      c->SetBounds(10 + 30 * i, 10 + 30 * i, 220, 160);
      auto* menu = new TMainMenu(c);
      ChildEdit.push_back(AddItem(menu, "&Edit", 1));
      ChildEdit.back()->Add(MakeItem(c, "&Copy", 0));
      AddItem(menu, "Child &File", 0)->Add(MakeItem(c, "&Close", 0));
      c->SetMenu(menu);
      beforeChildShow(c);
      c->Show();
      Children.push_back(c);
    }
  }
  TMDITestForms() : TMDITestForms([](TForm*) {}, [](TForm*) {}) {}
  ~TMDITestForms() {
    for (auto it = Children.rbegin(); it != Children.rend(); ++it) delete *it;
    Main.reset();
    Application->SetMainForm(FOldMain);
  }
  TMDITestForms(const TMDITestForms&) = delete;
  TMDITestForms& operator=(const TMDITestForms&) = delete;

  // The captions of the main form's menu bar as the system holds it, entries without text
  // (the maximized child's icon and buttons) as "".
  std::vector<std::string> BarCaptions() const {
    std::vector<std::string> out;
    HMENU bar = ::GetMenu(Main->Handle());
    for (int i = 0; bar != nullptr && i < ::GetMenuItemCount(bar); ++i) {
      MENUITEMINFOA mii{};
      mii.cbSize = sizeof(mii);
      mii.fMask = MIIM_ID;
      ::GetMenuItemInfoA(bar, static_cast<UINT>(i), TRUE, &mii);
      TMenuItem* item = FindMenuItemByCommand(static_cast<std::uint16_t>(mii.wID));
      out.push_back(item != nullptr ? item->Caption() : "");
    }
    return out;
  }

  std::unique_ptr<TForm> Main;
  TMainMenu* MainMenu = nullptr;
  TMenuItem* FileItem = nullptr;
  TMenuItem* WindowItem = nullptr;
  std::vector<TForm*> Children;
  std::vector<TMenuItem*> ChildEdit;

private:
  static TMenuItem* MakeItem(TComponent* owner, const std::string& caption, std::uint8_t group) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetGroupIndex(group);
    return item;
  }
  static TMenuItem* AddItem(TMainMenu* menu, const std::string& caption, std::uint8_t group) {
    TMenuItem* item = MakeItem(menu->Owner(), caption, group);
    menu->Items()->Add(item);
    return item;
  }
  TCustomForm* FOldMain;
};
