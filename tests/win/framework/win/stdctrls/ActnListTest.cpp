// Actions: properties reaching linked menu items and tool buttons, updates, execution, a
// shortcut firing from the form (directly and as a key message through the application), and
// actions and links that outlive one another.
#include <gtest/gtest.h>

#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/Menus.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

// A form with an action list, one action (Ctrl+O), a main menu item and a tool button linked
// to it.
struct TActionForm {
  std::unique_ptr<TForm> Form = fwtest::MakeForm(300, 200);
  TActionList* List = new TActionList(Form.get());
  TAction* Connect = new TAction(Form.get());
  TMainMenu* Menu = new TMainMenu(Form.get());
  TMenuItem* FileItem = new TMenuItem(Form.get());
  TMenuItem* ConnectItem = new TMenuItem(Form.get());
  TToolBar* Bar = new TToolBar(Form.get());
  TToolButton* Button = new TToolButton(Form.get());
  int Executed = 0;

  TActionForm() {
    Connect->SetActionList(List);
    Connect->SetCaption("&Connect..");
    Connect->SetHint("Connect");
    Connect->SetShortCut(scCtrl | 'O');
    Connect->OnExecute = [this](TObject*) { ++Executed; };
    FileItem->SetCaption("&File");
    Menu->Items()->Add(FileItem);
    FileItem->Add(ConnectItem);
    ConnectItem->SetAction(Connect);
    Form->SetMenu(Menu);
    Bar->SetParent(Form.get());
    Bar->SetShowCaptions(true);
    Button->SetParent(Bar);
    Button->SetAction(Connect);
  }

  UINT MenuState() {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE;
    ::GetMenuItemInfoA(FileItem->Handle(), 0, TRUE, &mii);
    return mii.fState;
  }
  LRESULT ButtonState() { return ::SendMessageA(Bar->Handle(), TB_GETSTATE, 0, 0); }
};

}  // namespace

TEST(Actions, PropertiesReachMenuItemAndToolButton) {
  TActionForm f;
  EXPECT_EQ(f.ConnectItem->Caption(), "&Connect..");
  EXPECT_EQ(f.ConnectItem->GetShortCut(), scCtrl | 'O');
  EXPECT_EQ(f.ConnectItem->Hint(), "Connect");
  EXPECT_EQ(f.Button->Caption(), "&Connect..");
  EXPECT_EQ(f.Connect->ClientCount(), 2);

  f.Form->Show();
  ASSERT_NE(f.ButtonState(), -1);
  EXPECT_NE(f.ButtonState() & TBSTATE_ENABLED, 0);
  EXPECT_EQ(f.MenuState() & MFS_GRAYED, 0u);

  f.Connect->SetEnabled(false);
  EXPECT_FALSE(f.ConnectItem->Enabled());
  EXPECT_FALSE(f.Button->Enabled());
  EXPECT_NE(f.MenuState() & MFS_GRAYED, 0u);
  EXPECT_EQ(f.ButtonState() & TBSTATE_ENABLED, 0);

  f.Connect->SetEnabled(true);
  f.Connect->SetImageIndex(3);
  f.Connect->SetCaption("&Open");
  EXPECT_TRUE(f.ConnectItem->Enabled());
  EXPECT_NE(f.ButtonState() & TBSTATE_ENABLED, 0);
  EXPECT_EQ(f.ConnectItem->ImageIndex(), 3);
  EXPECT_EQ(f.Button->ImageIndex(), 3);
  EXPECT_EQ(f.Button->Caption(), "&Open");
}

TEST(Actions, IdleUpdateSetsTheEnabledStateOfTheClients) {
  TActionForm f;
  f.Form->Show();
  bool connected = true;
  int updates = 0;
  f.Connect->OnUpdate = [&](TObject* s) {
    ++updates;
    static_cast<TAction*>(s)->SetEnabled(!connected);
  };
  f.Form->RefreshActions();
  EXPECT_GE(updates, 1);
  EXPECT_FALSE(f.ConnectItem->Enabled());
  EXPECT_EQ(f.ButtonState() & TBSTATE_ENABLED, 0);
  connected = false;
  Application->Idle();
  EXPECT_TRUE(f.ConnectItem->Enabled());
  EXPECT_NE(f.ButtonState() & TBSTATE_ENABLED, 0);
}

TEST(Actions, ShortCutFiresFromTheForm) {
  TActionForm f;
  f.Form->Show();
  EXPECT_TRUE(f.Form->IsShortCut('O', ssCtrl));
  EXPECT_EQ(f.Executed, 1);
  EXPECT_FALSE(f.Form->IsShortCut('O', 0));
  EXPECT_FALSE(f.Form->IsShortCut('P', ssCtrl));
  EXPECT_EQ(f.Executed, 1);

  // A disabled action keeps its key but does not run.
  f.Connect->SetEnabled(false);
  EXPECT_TRUE(DispatchActionShortCut(f.Form.get(), scCtrl | 'O'));
  EXPECT_EQ(f.Executed, 1);
  f.Connect->SetEnabled(true);

  // As a key message: Ctrl held, 'O' pressed while the form has the focus.
  BYTE keys[256] = {};
  ASSERT_TRUE(::GetKeyboardState(keys));
  BYTE saved[256];
  std::copy(std::begin(keys), std::end(keys), saved);
  keys[VK_CONTROL] = 0x80;
  ASSERT_TRUE(::SetKeyboardState(keys));
  ::SetFocus(f.Form->Handle());
  ::PostMessageA(f.Form->Handle(), WM_KEYDOWN, 'O', 1);
  fwtest::PumpUntil([&] { return f.Executed == 2; }, 2000);
  ::SetKeyboardState(saved);
  EXPECT_EQ(f.Executed, 2);
}

TEST(Actions, ClickingAMenuItemOrToolButtonRunsTheAction) {
  TActionForm f;
  f.Form->Show();
  f.ConnectItem->Click();
  EXPECT_EQ(f.Executed, 1);
  EXPECT_TRUE(f.Menu->DispatchCommand(f.ConnectItem->Command()));
  EXPECT_EQ(f.Executed, 2);
  // The tool bar reports a click of its button as WM_COMMAND to its parent.
  ::SendMessageA(f.Form->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(f.Bar->Handle()));
  EXPECT_EQ(f.Executed, 3);
  // The action component is the client while it runs.
  TComponent* seen = nullptr;
  f.Connect->OnExecute = [&](TObject* s) { seen = static_cast<TAction*>(s)->ActionComponent(); };
  f.ConnectItem->Click();
  EXPECT_EQ(seen, f.ConnectItem);
  EXPECT_EQ(f.Connect->ActionComponent(), nullptr);
}

TEST(Actions, ListHandlersAndSuspendedLists) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  auto* a = new TAction(&owner);
  a->SetActionList(list);
  int runs = 0;
  a->OnExecute = [&](TObject*) { ++runs; };
  list->OnExecute = [&](TBasicAction* action, bool& handled) { handled = action == a && runs > 0; };
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(a->Execute());   // the list handled it this time
  EXPECT_EQ(runs, 1);
  list->SetState(TActionListState::asSuspended);
  EXPECT_FALSE(a->Execute());
  a->SetShortCut(VK_F6);
  EXPECT_FALSE(list->IsShortCut(VK_F6));
}

TEST(Actions, AutoCheckAndGroups) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  auto* light = new TAction(&owner);
  auto* dark = new TAction(&owner);
  for (TAction* a : {light, dark}) {
    a->SetActionList(list);
    a->SetGroupIndex(1);
    a->SetAutoCheck(true);
    a->OnExecute = [](TObject*) {};
  }
  light->Execute();
  EXPECT_TRUE(light->Checked());
  dark->Execute();
  EXPECT_TRUE(dark->Checked());
  EXPECT_FALSE(light->Checked());
}

TEST(Actions, FreeingTheActionOrTheClientFirstIsSafe) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  auto* action = new TAction(&owner);
  action->SetActionList(list);
  auto* item = new TMenuItem(&owner);
  item->SetAction(action);
  EXPECT_EQ(action->ClientCount(), 1);
  delete action;
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(list->ActionCount(), 0);
  item->Click();   // nothing to run, nothing to crash

  auto* action2 = new TAction(&owner);
  auto* item2 = new TMenuItem(&owner);
  item2->SetAction(action2);
  delete item2;
  EXPECT_EQ(action2->ClientCount(), 0);
  EXPECT_THROW(list->Actions(0), EListError);
}
