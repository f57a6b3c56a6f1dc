// The skinned labels, bound label, cool bar and context menus with the "Controls" fixture
// skins: text colours from the container, the designed colour kept, the disabled blend,
// sections under a label, one paint per paint, the web label; the bound label's name, font and
// lifetime; the cool bar's "PROGRESSV" grip, its erase and its band text; owner-drawn menus.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Menus.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

class Skinned : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    UseSkin("Controls");
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 500, 300);
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void UseSkin(const char* name) {
    if (!M) M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_CONTROL_SKINS);
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
  T* Label(TWinControl* parent) {
    auto* l = new T(Form.get());
    l->SetParent(parent);
    l->SetCaption("Label text");
    l->SetBounds(20, 20, 120, 24);
    l->Font()->SetHeight(-16);
    return l;
  }
  // A label painted once on white, or a window printed, into a 32-bit image.
  static std::unique_ptr<TBitmap> Painted(TControl* c) {
    auto b = CreateBitmap32(c->Width(), c->Height());
    HDC dc = b->Canvas()->GetHandle();
    PatBlt(dc, 0, 0, c->Width(), c->Height(), WHITENESS);
    if (auto* w = As<TWinControl>(c))
      SendMessageA(w->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT);
    else
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    GdiFlush();
    return b;
  }
  static int Count(TBitmap* b, TColor c, TRect r = {}) {
    if (r.IsEmpty()) r = TRect{0, 0, b->GetWidth(), b->GetHeight()};
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += GetPixel(b->Canvas()->GetHandle(), x, y) == static_cast<COLORREF>(c);
    return n;
  }
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};

// ---------------------------------------------------------------------------------------------
// Labels.

TEST_F(Skinned, LabelTakesTheContainersFontColourUnlessItKeepsItsOwn) {
  TsPanel* p = Panel("PANEL");
  auto *skinned = Label<TsLabel>(p), *own = Label<TsLabel>(p);
  own->UseSkinColor = false;
  own->Font()->SetColor(clGray);
  Painted(skinned);
  Painted(own);
  EXPECT_EQ(skinned->Font()->GetColor(), 0x44AAFF);
  EXPECT_EQ(own->Font()->GetColor(), clGray);
}

TEST_F(Skinned, DisabledLabelBlendsTowardTheBackground) {
  auto* l = Label<TsLabel>(Panel("WHITE"));
  l->SetEnabled(false);
  auto image = Painted(l);
  EXPECT_GT(Count(image.get(), 0x999999), 5);
  EXPECT_EQ(Count(image.get(), 0x000000), 0);
}

TEST_F(Skinned, LabelSectionColoursTheTextAndPaintsBeneathAboveIndexZero) {
  const struct {
    const char* Section;
    TColor Font, Fill;
    bool Filled;
  } cases[] = {{"LABELZERO", 0x3366CC, 0x00FF80, false}, {"LABELBOX", 0xFFFFFF, 0x8000FF, true}};
  for (const auto& k : cases) {
    auto* l = Label<TsLabel>(Form.get());
    l->SetSkinSection(k.Section);
    auto image = Painted(l);
    EXPECT_GT(Count(image.get(), k.Font), 5) << k.Section;
    EXPECT_EQ(Count(image.get(), k.Fill) > 0, k.Filled) << k.Section;
  }
}

TEST_F(Skinned, LabelPaintStartsNoOtherPaint) {
  auto* l = Label<TsLabel>(Panel("PANEL"));
  ValidateRect(l->Parent()->Handle(), nullptr);
  Painted(l);
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(l->Parent()->Handle(), &pending, FALSE));
}

TEST_F(Skinned, UnskinGivesTheLabelItsDesignedColourBack) {
  auto* l = Label<TsLabel>(Panel("PANEL"));
  l->Font()->SetColor(clGray);
  Painted(l);
  ASSERT_EQ(l->Font()->GetColor(), 0x44AAFF);
  SendSkinCommandToControl(l, SkinCmdUnskin, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(l->Font()->GetColor(), clGray);
}

TEST_F(Skinned, WebLabelOpensItsLinkAndShowsItsHoverColour) {
  auto* l = Label<TsWebLabel>(Form.get());
  EXPECT_EQ(l->Cursor(), crHandPoint);
  std::vector<std::pair<std::string, int>> opened;
  l->Opener = [&](const std::string& url, int show) { opened.emplace_back(url, show); };
  l->OpenURL();
  l->URL = "https://example.invalid/forum";
  l->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(opened, (std::vector<std::pair<std::string, int>>{{l->URL, 10}}));
  // Not above, no skinned container, "TCBOTTOM" not given (-1): the normal font's colour.
  TFont normal;
  normal.SetColor(clBlue);
  l->SetFont(&normal);
  Painted(l);
  EXPECT_EQ(l->Font()->GetColor(), clBlue);
  for (const auto& [skin, hover] : {std::pair<const char*, TColor>{"ControlsLink", 0x00AA00}, {"Controls", 0x0000FF}}) {
    UseSkin(skin);
    l->Perform(CM_MOUSEENTER, 0, 0);
    Painted(l);
    EXPECT_EQ(l->Font()->GetColor(), hover) << skin;   // "TCTOP", red for -1
    l->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

// ---------------------------------------------------------------------------------------------
// The bound label of a combo box.

TsComboBox* Box(TForm* form) {
  auto* cb = new TsComboBox(form);
  cb->SetName("cbPort");
  cb->SetParent(form);
  cb->SetBounds(128, 64, 121, 21);
  return cb;
}

TEST_F(Skinned, BoundLabelIsNamedAfterItsControlAndFollowsIt) {
  TsComboBox* cb = Box(Form.get());
  cb->BoundLabel()->SetActive(true);
  TsEditLabel* l = cb->BoundLabel()->Label();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Name() + "|" + l->Caption(), "cbPortLabel|cbPort");
  EXPECT_EQ(l->FocusControl(), cb);
  cb->SetBounds(200, 100, 121, 21);
  EXPECT_EQ(l->Left() + l->Width() + 4, 200);
  cb->SetVisible(false);
  EXPECT_FALSE(l->Visible());
}

TEST_F(Skinned, BoundLabelKeepsAFontSetBeforeActivation) {
  TsComboBox* cb = Box(Form.get());
  TFont f;
  f.SetColor(clGray);
  cb->BoundLabel()->SetFont(&f);
  cb->BoundLabel()->SetActive(true);
  EXPECT_EQ(cb->BoundLabel()->Label()->Font()->GetColor(), clGray);
}

TEST_F(Skinned, BoundLabelFreedFirstByItsFormIsForgotten) {
  TsComboBox* cb = Box(Form.get());
  cb->BoundLabel()->SetActive(true);
  delete cb->BoundLabel()->Label();   // the form frees its last child first
  EXPECT_EQ(cb->BoundLabel()->Label(), nullptr);
  EXPECT_FALSE(cb->BoundLabel()->GetActive());
  delete cb;
}

// ---------------------------------------------------------------------------------------------
// The cool bar: one band holding a panel, with the text "Tools".

class CoolBar : public Skinned {
protected:
  void SetUp() override {
    Skinned::SetUp();
    Bar = new TsCoolBar(Form.get());
    Bar->SetParent(Form.get());
    Child = new TPanel(Form.get());
    Child->SetParent(Bar);
    Child->SetBounds(0, 0, 200, 30);
    TCoolBand* band = Bar->Bands()->Add();
    band->SetControl(Child);
    band->SetText("Tools");
    Bar->SkinData()->AfterLoad();
    SendSkinCommandToControl(Bar, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
    Bar->SetCaption("Bar");
  }
  // The band's header in window coordinates.
  TRect Header() {
    POINT o{0, 0};
    RECT w{};
    ClientToScreen(Bar->Handle(), &o);
    GetWindowRect(Bar->Handle(), &w);
    const int x = Child->Left() + o.x - w.left, y = Child->Top() + o.y - w.top;
    return TRect{x - Bar->HeaderSize(Bar->Bands()->Items(0)), y, x, y + Child->Height()};
  }
  TsCoolBar* Bar = nullptr;
  TPanel* Child = nullptr;
};

TEST_F(CoolBar, GripFromProgressWithoutGriph) {
  EXPECT_EQ(Bar->GripName(), "PROGRESSV");
  const TRect h = Header();
  const TRect grip{h.Left + 1, h.Top + 2, h.Left + Bar->GripWidth(Bar->Bands()->Items(0)) - 3, h.Bottom - 2};
  EXPECT_EQ(Count(Painted(Bar).get(), 0x00C000, grip), grip.Width() * grip.Height());
}

TEST_F(CoolBar, EraseAnswersOneAndDrawsNothing) {
  auto b = CreateBitmap32(Bar->Width(), Bar->Height());
  EXPECT_EQ(SendMessageA(Bar->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(b->Canvas()->GetHandle()), 0), 1);
  EXPECT_EQ(Count(b.get(), 0), Bar->Width() * Bar->Height());
}

TEST_F(CoolBar, BandTextDrawnCaptionKept) {
  EXPECT_GT(Count(Painted(Bar).get(), 0x00FFFF, Header()), 5);   // "TOOLBAR"'s font colour
  EXPECT_EQ(Bar->Caption(), "Bar");
}

// ---------------------------------------------------------------------------------------------
// Context menus: the owner-draw state of a popup as it opens, then closed.

std::vector<bool> OwnerDrawn;

void CALLBACK ClosePopup(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TPopupMenu* Probe(TComponent* owner) {
  auto* menu = new TPopupMenu(owner);
  auto* item = new TMenuItem(owner);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  menu->OnPopup = [menu](TObject*) {
    OwnerDrawn.push_back(menu->OwnerDraw());
    SetTimer(nullptr, 0, 20, &ClosePopup);
  };
  return menu;
}

TEST_F(Skinned, ContextMenusOfSkinnedWindowsAreOwnerDrawn) {
  NewComponent<TsSkinProvider>(Form.get());
  SendSkinCommandToControl(Form.get(), SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
  TsPanel* p = Panel("PANEL");
  p->SetPopupMenu(Probe(Form.get()));
  Form->SetPopupMenu(Probe(Form.get()));
  OwnerDrawn.clear();
  const LPARAM keys = MAKELPARAM(-1, -1);
  SendMessageA(p->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(p->Handle()), keys);
  SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), keys);
  M->SetSkinnedPopups(false);
  SendMessageA(Form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form->Handle()), keys);
  EXPECT_EQ(OwnerDrawn, (std::vector<bool>{true, true, false}));
}

}  // namespace
