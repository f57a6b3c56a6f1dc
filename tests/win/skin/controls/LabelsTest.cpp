// The skinned labels, the bound label and the popup menus of skinned windows, with the
// "Controls" fixture skins: text colours from the container, the designed colour kept, the
// disabled blend, sections under a label, one paint per paint, the web label's link and hover
// look, the bound label's name, font and lifetime, and context menus owner-drawn while skinned.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win/Menus.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr TColor PanelFont = 0x44AAFF, ZeroFont = 0x3366CC, ZeroFill = 0x00FF80, BoxFont = 0xFFFFFF,
                 BoxFill = 0x8000FF, LinkTop = 0x00AA00, Designed = 0x808080;   // clGray

class Labels : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    UseSkin("Controls");
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void UseSkin(const char* name) {
    if (!M) {
      M = std::make_unique<TsSkinManager>(nullptr);
      M->SetSkinDirectory(ORBEX_CONTROL_SKINS);
    }
    M->SetSkinName(name);
    ASSERT_TRUE(M->SkinData().Active);
  }
  TsPanel* Panel(const char* section) {
    auto* p = new TsPanel(Form.get());
    p->SetParent(Form.get());
    p->SetBounds(10, 10, 300, 200);
    p->SkinData()->SetSkinSection(section);
    p->SkinData()->AfterLoad();
    p->HandleNeeded();
    return p;
  }
  template <class T>
  T* Label(TWinControl* parent, const char* caption = "Label text") {
    auto* l = new T(Form.get());
    l->SetParent(parent);
    l->SetCaption(caption);
    l->SetBounds(20, 20, 120, 24);
    l->Font()->SetHeight(-16);
    return l;
  }
  // The label painted once on white, as its parent would paint it.
  std::unique_ptr<TBitmap> Painted(TControl* l) {
    auto b = CreateBitmap32(l->Width(), l->Height());
    HDC dc = b->Canvas()->GetHandle();
    PatBlt(dc, 0, 0, l->Width(), l->Height(), WHITENESS);
    l->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    GdiFlush();
    return b;
  }
  static int Count(TBitmap* b, TColor c) {
    int n = 0;
    for (int y = 0; y < b->GetHeight(); ++y)
      for (int x = 0; x < b->GetWidth(); ++x)
        n += GetPixel(b->Canvas()->GetHandle(), x, y) == static_cast<COLORREF>(c) ? 1 : 0;
    return n;
  }
  void Unskin(TControl* c) { SendSkinCommandToControl(c, SkinCmdUnskin, reinterpret_cast<LPARAM>(M.get())); }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};

TEST_F(Labels, TakesTheContainersFontColourUnlessItsOwnIsKept) {
  TsPanel* p = Panel("PANEL");
  auto* skinned = Label<TsLabel>(p);
  auto* own = Label<TsLabel>(p);
  own->UseSkinColor = false;
  own->Font()->SetColor(clGray);
  Painted(skinned);
  Painted(own);
  EXPECT_EQ(skinned->Font()->GetColor(), PanelFont);
  EXPECT_EQ(own->Font()->GetColor(), clGray);
}

TEST_F(Labels, DisabledTextBlendsTowardTheBackground) {
  auto* l = Label<TsLabel>(Panel("WHITE"));
  l->SetEnabled(false);
  auto image = Painted(l);
  EXPECT_GT(Count(image.get(), 0x999999), 5);
  EXPECT_EQ(Count(image.get(), 0x000000), 0);
}

TEST_F(Labels, SectionColoursTheTextAndPaintsBeneathAboveIndexZero) {
  const struct {
    const char* Section;
    TColor Font, Fill;
    bool Filled;
  } cases[] = {{"LABELZERO", ZeroFont, ZeroFill, false}, {"LABELBOX", BoxFont, BoxFill, true}};
  for (const auto& k : cases) {
    auto* l = Label<TsLabel>(Form.get());
    l->SetSkinSection(k.Section);
    auto image = Painted(l);
    EXPECT_EQ(l->Font()->GetColor(), k.Font) << k.Section;
    EXPECT_GT(Count(image.get(), k.Font), 5) << k.Section;
    EXPECT_EQ(Count(image.get(), k.Fill) > 0, k.Filled) << k.Section;
  }
}

TEST_F(Labels, OnePaintStartsNoOther) {
  auto* l = Label<TsLabel>(Panel("PANEL"));
  l->Font()->SetColor(clGray);
  ValidateRect(l->Parent()->Handle(), nullptr);
  Painted(l);
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(l->Parent()->Handle(), &pending, FALSE));
}

TEST_F(Labels, UnskinRestoresTheDesignedColour) {
  TsPanel* p = Panel("PANEL");
  auto* l = Label<TsLabel>(p);
  l->Font()->SetColor(Designed);
  Painted(l);
  ASSERT_EQ(l->Font()->GetColor(), PanelFont);
  Unskin(l);
  EXPECT_EQ(l->Font()->GetColor(), Designed);
}

TEST_F(Labels, WebLabelOpensItsLinkAndShowsItsHoverLook) {
  auto* l = Label<TsWebLabel>(Form.get());
  EXPECT_EQ(l->Cursor(), crHandPoint);
  std::vector<std::pair<std::string, int>> opened;
  l->Opener = [&](const std::string& url, int show) { opened.emplace_back(url, show); };
  l->OpenURL();
  EXPECT_TRUE(opened.empty());
  l->URL = "https://example.invalid/forum";
  l->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (std::pair<std::string, int>{l->URL, 10}));

  // Mouse not above, no skinned container, "TCBOTTOM" missing (-1): the normal font's colour.
  TFont normal;
  normal.SetColor(clBlue);
  l->SetFont(&normal);
  Painted(l);
  EXPECT_EQ(l->Font()->GetColor(), clBlue);
  // Above: "TCTOP" of the skin, red for -1.
  const struct {
    const char* Skin;
    TColor Hover;
  } cases[] = {{"ControlsLink", LinkTop}, {"Controls", 0x0000FF}};
  for (const auto& k : cases) {
    UseSkin(k.Skin);
    l->Perform(CM_MOUSEENTER, 0, 0);
    Painted(l);
    EXPECT_EQ(l->Font()->GetColor(), k.Hover) << k.Skin;
    l->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

// ---------------------------------------------------------------------------------------------
// The bound label.

TsComboBox* Box(TForm* form) {
  auto* cb = new TsComboBox(form);
  cb->SetName("cbPort");
  cb->SetParent(form);
  cb->SetBounds(128, 64, 121, 21);
  return cb;
}

TEST_F(Labels, BoundLabelIsNamedAfterItsControlAndSitsBesideIt) {
  TsComboBox* cb = Box(Form.get());
  cb->BoundLabel()->SetActive(true);
  TsEditLabel* l = cb->BoundLabel()->Label();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Name(), "cbPortLabel");
  EXPECT_EQ(l->Caption(), "cbPort");
  EXPECT_EQ(l->FocusControl(), cb);
  EXPECT_EQ(l->Left() + l->Width() + 4, 128);
  cb->SetBounds(200, 100, 121, 21);
  EXPECT_EQ(l->Left() + l->Width() + 4, 200);
  cb->SetVisible(false);
  EXPECT_FALSE(l->Visible());
}

TEST_F(Labels, BoundLabelFontSetBeforeActivationIsKept) {
  TsComboBox* cb = Box(Form.get());
  TFont f;
  f.SetColor(clGray);
  f.SetHeight(-15);
  cb->BoundLabel()->SetFont(&f);
  EXPECT_EQ(cb->BoundLabel()->GetFont()->GetColor(), clGray);
  cb->BoundLabel()->SetActive(true);
  ASSERT_NE(cb->BoundLabel()->Label(), nullptr);
  EXPECT_EQ(cb->BoundLabel()->Label()->Font()->GetColor(), clGray);
  EXPECT_EQ(cb->BoundLabel()->Label()->Font()->GetHeight(), -15);
}

TEST_F(Labels, BoundLabelFreedFirstByItsFormIsForgotten) {
  TsComboBox* cb = Box(Form.get());
  cb->BoundLabel()->SetActive(true);
  // The form frees its children from the last: the label, listed after the box, goes first.
  delete cb->BoundLabel()->Label();
  EXPECT_EQ(cb->BoundLabel()->Label(), nullptr);
  EXPECT_FALSE(cb->BoundLabel()->GetActive());
  delete cb;   // no second free of the label
}

// ---------------------------------------------------------------------------------------------
// Context menus.

// Reads a popup menu's look as it opens, then closes it.
struct TPopupProbe {
  static inline std::vector<bool> OwnerDrawn;
  static void CALLBACK Close(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  }
  static TPopupMenu* Make(TComponent* owner) {
    auto* menu = new TPopupMenu(owner);
    auto* item = new TMenuItem(owner);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    menu->OnPopup = [menu](TObject*) {
      OwnerDrawn.push_back(menu->OwnerDraw());
      SetTimer(nullptr, 0, 20, &Close);
    };
    return menu;
  }
};

TEST_F(Labels, ContextMenusOfSkinnedWindowsAreOwnerDrawn) {
  NewComponent<TsSkinProvider>(Form.get());
  SendSkinCommandToControl(Form.get(), SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
  TsPanel* p = Panel("PANEL");
  p->SetPopupMenu(TPopupProbe::Make(Form.get()));
  Form->SetPopupMenu(TPopupProbe::Make(Form.get()));
  TPopupProbe::OwnerDrawn.clear();
  SendMessageA(p->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p->Handle()), MAKELPARAM(-1, -1));
  SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), MAKELPARAM(-1, -1));
  M->SetSkinnedPopups(false);
  SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), MAKELPARAM(-1, -1));
  EXPECT_EQ(TPopupProbe::OwnerDrawn, (std::vector<bool>{true, true, false}));
}

}  // namespace
