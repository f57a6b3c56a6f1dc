// A skinned form's control adapter under Wine: controls adapted by the class lists, vetoed by
// the form or marked not to be, picked up when made later; plain labels recoloured with the
// skin's text colour and given their designed colours back; walks that do not nest.
#include "framework/win/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxListViewWnd.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/adapters/lxTabWnd.h"
#include "skin/adapters/lxToolBarVCLWnd.h"
#include "skin/adapters/lxTreeViewWnd.h"
#include "skin/core/sSkinManagerCore.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxCtrlAdapter.h"
#include "skin/forms/sSkinProvider.h"

// Test-only controls over the system's tab and up-down windows, as other code brings them.
class TTestTabs : public TWinControl {
  ORBEX_CLASS(TTestTabs, TWinControl)
public:
  explicit TTestTabs(TComponent* owner) : TWinControl(owner) {}

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "SysTabControl32");
  }
};
ORBEX_IMPLEMENT_PUBLISHED(TTestTabs, TWinControl, &CreateComponentOf<TTestTabs>)
void TTestTabs::PublishProperties(TPublisher<TTestTabs>&) {}

class TTestUpDown : public TWinControl {
  ORBEX_CLASS(TTestUpDown, TWinControl)
public:
  explicit TTestUpDown(TComponent* owner) : TWinControl(owner) {}

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "msctls_updown32");
  }
};
ORBEX_IMPLEMENT_PUBLISHED(TTestUpDown, TWinControl, &CreateComponentOf<TTestUpDown>)
void TTestUpDown::PublishProperties(TPublisher<TTestUpDown>&) {}

namespace {

// The "Controls" skin's text colour (GLOBALINFO's font colour).
constexpr TColor SkinText = 0x202020;

class CtrlAdapter : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->ThirdParty()->WriteList(ThirdPartyList::tiEdits, "TEdit");
    M->SetSkinDirectory(ORBEX_CONTROL_SKINS);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 400, 300);
    P = new TsSkinProvider(Form.get());
    Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(200, 10, 150, 100);
    Edit = NewEdit(Form.get());
    Label = NewLabel(Form.get(), clWindowText);
    Nested = NewLabel(Panel, clWindowText);
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void Skin(const char* name = "Controls") {
    M->SetSkinName(name);
    Form->Show();
    SendSkinCommandToControl(Form.get(), SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
  }
  TEdit* NewEdit(TWinControl* parent) {
    auto* e = new TEdit(Form.get());
    e->SetParent(parent);
    e->SetBounds(10, 10, 120, 24);
    return e;
  }
  TLabel* NewLabel(TWinControl* parent, TColor colour) {
    auto* l = new TLabel(Form.get());
    l->SetParent(parent);
    l->SetCaption("text");
    l->SetBounds(10, 60, 80, 20);
    l->Font()->SetColor(colour);
    return l;
  }
  static bool Adapted(TWinControl* c) { return SendSkinCommandToControl(c, SkinCmdIsSkinned) == 1; }
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  TsSkinProvider* P = nullptr;
  TPanel* Panel = nullptr;
  TEdit* Edit = nullptr;
  TLabel* Label = nullptr;
  TLabel* Nested = nullptr;
};

TEST_F(CtrlAdapter, AListedControlIsAdaptedAndPlainLabelsTakeTheSkinsTextColour) {
  Label->SetTag(98);
  Skin();
  ASSERT_NE(P->CtrlAdapter(), nullptr);
  EXPECT_TRUE(Adapted(Edit));
  EXPECT_EQ(P->CtrlAdapter()->Count(), 1);
  EXPECT_EQ(Nested->Font()->GetColor(), SkinText);
  EXPECT_FALSE(Nested->ControlStyle() & csOpaque);
  EXPECT_EQ(Label->Font()->GetColor(), clWindowText);   // marked to keep its colour
}

TEST_F(CtrlAdapter, NothingIsAdaptedOrRecolouredWhereTheControlRulesOrSkinSayNo) {
  const struct {
    const char* Case;
    std::intptr_t EditTag;
    TsSkinningRules Rules;
    const char* Skin;
    bool EditAdapted, LabelsKept;
  } cases[] = {
      {"edit marked -98", -98, AllSkinningRules, "Controls", false, false},
      {"no third-party rule", 0, AllSkinningRules & ~(1u << srThirdParty), "Controls", false, true},
      {"skin without global info", 0, AllSkinningRules, "ControlsNoGlobal", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TearDown();
    SetUp();
    Edit->SetTag(c.EditTag);
    M->SetSkinningRules(c.Rules);
    Skin(c.Skin);
    EXPECT_EQ(Adapted(Edit), c.EditAdapted);
    EXPECT_EQ(Nested->Font()->GetColor() == clWindowText, c.LabelsKept);
    EXPECT_EQ(Label->Font()->GetColor() == clWindowText, c.LabelsKept);
  }
}

TEST_F(CtrlAdapter, AButtonIsAdaptedByTheListThatNamesIt) {
  // Speed buttons are graphic controls: a window listed there gets nothing. The foreign-combo
  // list gives any windowed control its adapter, which answers as skinned only with a
  // "COMBOBOX" section (this skin has none).
  const struct {
    int List;
    bool Adapted;
    int Items;
  } cases[] = {{ThirdPartyList::tiButtons, true, 2}, {ThirdPartyList::tiSpeedButton, false, 1},
               {ThirdPartyList::tiWWEdits, false, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.List);
    TearDown();
    SetUp();
    M->ThirdParty()->WriteList(ThirdPartyList::tiButtons, " ");
    M->ThirdParty()->WriteList(c.List, "TButton");
    auto* b = new TButton(Form.get());
    b->SetParent(Form.get());
    Skin();
    EXPECT_EQ(Adapted(b), c.Adapted);
    EXPECT_EQ(P->CtrlAdapter()->Count(), c.Items);
  }
}

TEST_F(CtrlAdapter, ListViewAndTreeViewRowsMakeTheirAdapters) {
  const struct {
    int List;
    const char* Class;
    bool (*Made)(TlxMainWnd* adapter);
  } cases[] = {
      {ThirdPartyList::tiListViews, WC_LISTVIEWA, [](TlxMainWnd* a) { return dynamic_cast<TlxListViewWnd*>(a) != nullptr; }},
      {ThirdPartyList::tiTreeViews, WC_TREEVIEWA, [](TlxMainWnd* a) { return dynamic_cast<TlxTreeViewWnd*>(a) != nullptr; }},
  };
  Skin();
  for (const auto& c : cases) {
    HWND h = CreateWindowExA(0, c.Class, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, Form->Handle(), nullptr, nullptr,
                             nullptr);
    std::unique_ptr<TlxMainWnd> adapter = MakeListedAdapter(c.List, h, "", M.get(), nullptr);
    EXPECT_TRUE(c.Made(adapter.get())) << c.Class;
    adapter.reset();
    DestroyWindow(h);
  }
}

TEST_F(CtrlAdapter, AnEditMadeLaterIsAdapted) {
  Skin();
  TEdit* late = NewEdit(Panel);   // the panel's new child: the list change reaches the form
  EXPECT_TRUE(Adapted(late));
  EXPECT_EQ(P->CtrlAdapter()->Count(), 2);
  // The same notice from outside, naming no control of the form, is ignored.
  SendMessageA(Form->Handle(), CM_CONTROLLISTCHANGE, 0x12345678, 1);
  EXPECT_EQ(P->CtrlAdapter()->Count(), 2);
}

// A freed control is forgotten, its adapter with it, whoever owns it: the framework takes the
// window away from the adapter before destroying it, so nothing else tells the adapter.
TEST_F(CtrlAdapter, AFreedControlLeavesWithItsAdapterWhoeverOwnsIt) {
  Skin();
  for (TComponent* owner : {static_cast<TComponent*>(Form.get()), static_cast<TComponent*>(Panel)}) {
    SCOPED_TRACE(owner == Panel ? "panel" : "form");
    auto* e = new TEdit(owner);
    e->SetParent(Form.get());
    ASSERT_TRUE(Adapted(e));
    ASSERT_EQ(P->CtrlAdapter()->Count(), 2);
    delete e;
    EXPECT_EQ(P->CtrlAdapter()->Count(), 1);
  }
}

TEST_F(CtrlAdapter, TheFormsItemHandlerMayVetoAControlOrChooseItsSection) {
  TEdit* vetoed = NewEdit(Form.get());
  P->OnSkinItem = [vetoed](TObject* item, bool& canBeAdded, std::string& section) {
    if (item == vetoed) canBeAdded = false;
    if (As<TEdit>(item) != nullptr) section = "PANEL";
  };
  Skin();
  EXPECT_FALSE(Adapted(vetoed));
  ASSERT_EQ(P->CtrlAdapter()->Count(), 1);
  EXPECT_EQ(P->CtrlAdapter()->GetItem(0)->SkinData->GetSkinSection(), "PANEL");
}

TEST_F(CtrlAdapter, UnskinningGivesRecolouredLabelsTheirDesignedColoursOnly) {
  Label->Font()->SetColor(clRed);
  Skin();
  TLabel* added = NewLabel(Form.get(), clBlue);   // never recoloured: no walk saw it
  EXPECT_EQ(Label->Font()->GetColor(), SkinText);
  M->SetActive(false);
  EXPECT_EQ(Label->Font()->GetColor(), clRed);
  EXPECT_EQ(Nested->Font()->GetColor(), clWindowText);
  EXPECT_EQ(added->Font()->GetColor(), clBlue);
  EXPECT_EQ(P->CtrlAdapter(), nullptr);
  EXPECT_FALSE(Adapted(Edit));
}

TEST_F(CtrlAdapter, AWalkStartedByTheMessagesOfAnAdaptingControlDoesNothing) {
  // The panel is walked first (a nested walk), then the edit is adapted: the frame change its
  // adapter makes reaches the edit's own method, which asks for a walk that would adapt `third`.
  TEdit* third = NewEdit(Form.get());
  int asked = 0, changed = 0;
  TWndMethod own = Edit->WindowProc;
  Edit->WindowProc = [&, own](TMessage& m) {
    if (m.Msg == WM_NCCALCSIZE && TlxCtrlAdapter::WalkRunning() && P->CtrlAdapter() != nullptr) {
      const int before = P->CtrlAdapter()->Count();
      P->CtrlAdapter()->AdaptChildren(nullptr);
      ++asked;
      changed += P->CtrlAdapter()->Count() != before;
    }
    own(m);
  };
  Skin();
  EXPECT_GT(asked, 0);
  EXPECT_EQ(changed, 0);
  ASSERT_EQ(P->CtrlAdapter()->Count(), 2);
  EXPECT_TRUE(Adapted(Edit));
  EXPECT_TRUE(Adapted(third));
  // Removing outside the list changes nothing.
  P->CtrlAdapter()->RemoveItem(-1);
  P->CtrlAdapter()->RemoveItem(2);
  EXPECT_EQ(P->CtrlAdapter()->Count(), 2);
}

TEST_F(CtrlAdapter, TabPageSpinAndToolBarListsMakeTheirAdapters) {
  struct Case {
    int List;
    const char* ClassName;
    std::function<TWinControl*(TComponent*)> Make;
    std::function<bool(TlxMainWnd*)> IsExpected;
  } cases[] = {
      {ThirdPartyList::tiTabControl, "TTestTabs", [](TComponent* o) { return new TTestTabs(o); },
       [](TlxMainWnd* a) { return dynamic_cast<TlxTabControlWnd*>(a) != nullptr; }},
      {ThirdPartyList::tiPageControl, "TTestTabs", [](TComponent* o) { return new TTestTabs(o); },
       [](TlxMainWnd* a) { return dynamic_cast<TlxPageControlWnd*>(a) != nullptr; }},
      {ThirdPartyList::tiUpDown, "TTestUpDown", [](TComponent* o) { return new TTestUpDown(o); },
       [](TlxMainWnd* a) { return dynamic_cast<TlxSpinWnd*>(a) != nullptr; }},
      {ThirdPartyList::tiToolBar, "TToolBar", [](TComponent* o) { return new TToolBar(o); },
       [](TlxMainWnd* a) { return dynamic_cast<TlxToolBarVCLWnd*>(a) != nullptr; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ClassName);
    TearDown();
    SetUp();
    M->ThirdParty()->WriteList(c.List, c.ClassName);
    TWinControl* control = c.Make(Form.get());
    control->SetParent(Form.get());
    control->SetBounds(10, 60, 160, 60);
    Skin();
    EXPECT_TRUE(c.IsExpected(GetWndAdapter(control->Handle())));
  }
}

}  // namespace
