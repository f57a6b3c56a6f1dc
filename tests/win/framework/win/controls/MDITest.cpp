// MDI forms: the main form's client window beside aligned controls, its children, the active
// child's menu merged into the main form's bar by group index, the window menu, and a child
// without an MDI main form.
#include <gtest/gtest.h>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "tests/win/MDITestForms.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

TEST(MDITest, AChildWithoutAnMDIMainFormRaises) {
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(nullptr);
  std::unique_ptr<TForm> child(new TForm(nullptr));
  child->SetFormStyle(fsMDIChild);
  EXPECT_THROW(child->Show(), EInvalidOperation);
  Application->SetMainForm(oldMain);
}

TEST(MDITest, TheClientWindowFillsWhatTheAlignedControlsLeave) {
  TMDITestForms forms(
      [](TForm* main) {
        auto* top = new TTestPanel(main);
        top->SetParent(main);
        top->SetHeight(30);
        top->SetAlign(alTop);
      },
      [](TForm*) {});
  HWND client = forms.Main->ClientHandle();
  char name[32] = {};
  ::GetClassNameA(client, name, sizeof(name));
  EXPECT_EQ(::lstrcmpiA(name, "MDICLIENT"), 0);
  RECT r{};
  ::GetWindowRect(client, &r);
  ::MapWindowPoints(HWND_DESKTOP, forms.Main->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, forms.Main->ClientWidth());
  EXPECT_EQ(r.bottom - r.top, forms.Main->ClientHeight() - 30);
  forms.Main->SetHeight(forms.Main->Height() + 40);
  ::GetWindowRect(client, &r);
  EXPECT_EQ(r.bottom - r.top, forms.Main->ClientHeight() - 30);
}

TEST(MDITest, TheMainFormListsItsChildrenAndTheActiveOne) {
  TMDITestForms forms;
  ASSERT_EQ(forms.Main->MDIChildCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(forms.Main->MDIChildren(i), forms.Children[static_cast<size_t>(i)]);
    EXPECT_EQ(::GetParent(forms.Children[static_cast<size_t>(i)]->Handle()), forms.Main->ClientHandle());
  }
  EXPECT_EQ(forms.Main->MDIChildren(3), nullptr);
  EXPECT_EQ(forms.Main->ActiveMDIChild(), forms.Children[2]);
  ::SendMessageA(forms.Main->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(forms.Children[0]->Handle()), 0);
  EXPECT_EQ(forms.Main->ActiveMDIChild(), forms.Children[0]);
  EXPECT_TRUE(forms.Children[0]->Active());
  EXPECT_FALSE(forms.Children[2]->Active());
}

TEST(MDITest, TheActiveChildsMenuIsMergedByGroupIndex) {
  TMDITestForms forms;
  // The child's group 0 replaces the main form's; its group 1 comes before group 9.
  EXPECT_EQ(forms.BarCaptions(), (std::vector<std::string>{"Child &File", "&Edit", "&Window"}));
  int clicks = 0;
  forms.ChildEdit[0]->Items(0)->OnClick = [&](TObject*) { ++clicks; };
  ::SendMessageA(forms.Main->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(forms.Children[0]->Handle()), 0);
  // A merged item's command reaches the child that owns it.
  ::SendMessageA(forms.Main->Handle(), WM_COMMAND, forms.ChildEdit[0]->Items(0)->Command(), 0);
  EXPECT_EQ(clicks, 1);
  forms.ChildEdit[0]->SetCaption("&Edit more");
  EXPECT_EQ(forms.BarCaptions(), (std::vector<std::string>{"Child &File", "&Edit more", "&Window"}));
  for (TForm* c : forms.Children) delete c;
  forms.Children.clear();
  EXPECT_EQ(forms.BarCaptions(), (std::vector<std::string>{"&File", "&Window"}));
}

TEST(MDITest, TheWindowMenuListsTheChildren) {
  TMDITestForms forms;
  HMENU window = forms.WindowItem->Handle();
  std::vector<std::string> names;
  for (int i = 0; i < ::GetMenuItemCount(window); ++i) {
    char text[64] = {};
    if (::GetMenuItemID(window, i) >= 0xFF00) {
      ::GetMenuStringA(window, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
      names.emplace_back(text);
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"&1 Child 1", "&2 Child 2", "&3 Child 3"}));
}

}  // namespace
