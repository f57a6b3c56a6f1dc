// The skinned tool bar with the "Tools" fixture skins: custom drawing and visual styles follow
// the skin commands, the faces of the button states (an item of width 0 left alone), hot
// tracking of a bar that is not flat, divider lines, the drop-down part while its menu is open,
// a dropped button freed meanwhile, no new layout per paint, and popup menus added later.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/win/Menus.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sThemes.h"

namespace {

constexpr COLORREF Normal = RGB(90, 120, 160), Hot = RGB(240, 200, 80), Pressed = RGB(200, 60, 60);
constexpr COLORREF Divider = RGB(0, 200, 200), DividerFill = RGB(0, 120, 0);

// The face a pixel shows: the mask's picture passes its opaque band, which may round a channel
// by one. 0 for none of the three.
COLORREF Face(COLORREF c) {
  for (COLORREF f : {Normal, Hot, Pressed})
    if (std::abs(GetRValue(c) - GetRValue(f)) <= 2 && std::abs(GetGValue(c) - GetGValue(f)) <= 2 &&
        std::abs(GetBValue(c) - GetBValue(f)) <= 2)
      return f;
  return 0;
}

// A bar that counts the buttons taken out of its window (each new layout takes all out).
class TCountingBar : public TsToolBar {
public:
  using TsToolBar::TsToolBar;
  int Deleted = 0;

protected:
  void WndProc(TMessage& m) override {
    Deleted += m.Msg == TB_DELETEBUTTON;
    TsToolBar::WndProc(m);
  }
};

// A button that never takes the width the bar gives it.
class TStubbornButton : public TToolButton {
public:
  using TToolButton::TToolButton;
  void SetBounds(int l, int t, int w, int h) override { TToolButton::SetBounds(l, t, w + 7, h); }
};

// Buttons: 0 "One", 1 "Two", 2 a separator, 3 "Off" (disabled), 4 "Menu" (drop-down), 5 a
// divider, 6 hidden.
class ToolBar : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_TOOLBAR_SKINS);
    M->SetSkinName("Tools");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 560, 200);
    Form->Show();
    Menu = new TPopupMenu(Form.get());
    auto* item = new TMenuItem(Form.get());
    item->SetCaption("Item");
    Menu->Items()->Add(item);
    Make(false);
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void Make(bool flat) {
    delete Bar;
    Bar = new TCountingBar(Form.get());
    Bar->SetFlat(flat);
    Bar->SetShowCaptions(true);
    Bar->SetButtonWidth(60);
    Bar->SetButtonHeight(40);
    Bar->SetParent(Form.get());
    const std::pair<const char*, TToolButtonStyle> buttons[] = {{"One", tbsButton}, {"Two", tbsButton}, {"", tbsSeparator},
                                                                {"Off", tbsButton}, {"Menu", tbsDropDown}, {"", tbsDivider},
                                                                {"Gone", tbsButton}};
    for (const auto& [caption, style] : buttons) {
      auto* b = new TToolButton(Form.get());
      b->SetCaption(caption);
      b->SetStyle(style);
      b->SetParent(Bar);
    }
    Bar->Buttons(3)->SetEnabled(false);
    Bar->Buttons(4)->SetDropdownMenu(Menu);
    Bar->Buttons(6)->SetVisible(false);
    Bar->SkinData()->AfterLoad();
    SendSkinCommandToControl(Bar, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
    Bar->HandleNeeded();
    UpdateWindow(Form->Handle());
  }
  // The bar's client area as the screen shows it.
  std::unique_ptr<TBitmap> OnScreen() {
    auto b = CreateBitmap32(Bar->ClientWidth(), Bar->ClientHeight());
    HDC dc = GetDC(Bar->Handle());
    BitBlt(b->Canvas()->GetHandle(), 0, 0, b->GetWidth(), b->GetHeight(), dc, 0, 0, SRCCOPY);
    ReleaseDC(Bar->Handle(), dc);
    GdiFlush();
    return b;
  }
  // The colour 5 pixels inside the item's top left corner (client coordinates), or at `dx`
  // from its right edge.
  COLORREF At(TBitmap* b, int index, int dx = 0) {
    const TRect r = Bar->ItemRect(index);
    const int x = dx > 0 ? r.Right - dx : r.Left + 5;
    return Face(GetPixel(b->Canvas()->GetHandle(), x, r.Top + 5));
  }
  int Count(TBitmap* b, COLORREF c, TRect r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += GetPixel(b->Canvas()->GetHandle(), x, y) == c;
    return n;
  }
  void Move(int index) {
    const TRect r = Bar->ItemRect(index);
    SendMessageA(Bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(r.Left + 3, r.Top + 3));
  }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  TCountingBar* Bar = nullptr;
  TPopupMenu* Menu = nullptr;
};

std::vector<std::pair<bool, bool>> Themes;   // (app name given, " ")

HRESULT WINAPI RecordTheme(HWND, LPCWSTR app, LPCWSTR) {
  Themes.emplace_back(app != nullptr, app != nullptr && app[0] == L' ');
  return S_OK;
}

TEST_F(ToolBar, SkinCommandsSwitchThemesAndCustomDrawing) {
  const TThemeEntries saved = ThemeEntries();
  ThemeEntries().SetWindowTheme = &RecordTheme;
  Themes.clear();
  const LPARAM manager = reinterpret_cast<LPARAM>(M.get());
  SendSkinCommandToControl(Bar, SkinCmdSkinLoaded, manager);
  const bool hookedSkinned = Bar->OnAdvancedCustomDraw && Bar->OnAdvancedCustomDrawButton;
  SendSkinCommandToControl(Bar, SkinCmdUnskin, manager);
  const bool hookedUnskinned = Bar->OnAdvancedCustomDraw || Bar->OnAdvancedCustomDrawButton;
  ThemeEntries() = saved;
  EXPECT_TRUE(hookedSkinned);
  EXPECT_FALSE(hookedUnskinned);
  EXPECT_EQ(Themes, (std::vector<std::pair<bool, bool>>{{true, true}, {false, false}}));
}

TEST_F(ToolBar, FacesFollowTheDrawState) {
  // Button 6 is hidden: its item has width 0 and nothing is painted for it.
  const struct {
    int Index;
    TCustomDrawState State;
    bool Marked;
    COLORREF Face;
  } cases[] = {{0, 0, false, Normal},      {0, cdsHot, false, Hot}, {0, cdsSelected, false, Pressed},
               {0, cdsChecked, false, Pressed}, {0, 0, true, Pressed},   {6, 0, false, 0}};
  for (const auto& c : cases) {
    auto target = CreateBitmap32(Bar->ClientWidth(), Bar->ClientHeight());
    Bar->Buttons(c.Index)->SetMarked(c.Marked);
    TTBCustomDrawFlags flags = 0;
    bool defaultDraw = true;
    Bar->Canvas()->SetHandle(target->Canvas()->GetHandle());
    Bar->OnAdvancedCustomDrawButton(Bar, Bar->Buttons(c.Index), c.State, cdPrePaint, flags, defaultDraw);
    Bar->Canvas()->SetHandle(nullptr);
    GdiFlush();
    EXPECT_EQ(At(target.get(), c.Index), c.Face) << c.Index << " " << c.State << c.Marked;
    EXPECT_FALSE(defaultDraw);
    EXPECT_EQ(flags, tbNoEdges | tbNoEtchedEffect);
  }
}

TEST_F(ToolBar, HotTrackingOfBarsThatAreNotFlat) {
  SetForegroundWindow(Form->Handle());
  Move(0);
  EXPECT_EQ(Bar->HotIndex(), 0);
  EXPECT_EQ(At(OnScreen().get(), 0), Hot);
  Move(1);
  auto moved = OnScreen();
  EXPECT_EQ(Bar->HotIndex(), 1);
  EXPECT_EQ(std::make_pair(At(moved.get(), 0), At(moved.get(), 1)), std::make_pair(Normal, Hot));
  Move(3);   // disabled: nothing changes
  EXPECT_EQ(Bar->HotIndex(), 1);
  EXPECT_EQ(At(OnScreen().get(), 1), Hot);
  Make(true);
  Move(0);
  EXPECT_EQ(Bar->HotIndex(), -1);
}

TEST_F(ToolBar, DividerLines) {
  const struct {
    const char* Skin;
    bool Flat;
    bool SeparatorLine, DividerLine;
  } cases[] = {{"Tools", false, false, true}, {"Tools", true, true, true}, {"ToolsBare", true, false, false}};
  for (const auto& c : cases) {
    M->SetSkinName(c.Skin);
    Make(c.Flat);
    auto image = OnScreen();
    EXPECT_EQ(Count(image.get(), Divider, Bar->ItemRect(2)) > 0, c.SeparatorLine) << c.Skin << c.Flat;
    EXPECT_EQ(Count(image.get(), Divider, Bar->ItemRect(5)) > 0, c.DividerLine) << c.Skin << c.Flat;
    EXPECT_EQ(Count(image.get(), DividerFill, Bar->ClientRect()), 0) << c.Skin << c.Flat;
  }
}

// Read inside the menu loop of a drop-down menu.
struct TInMenu {
  ToolBar* Test = nullptr;
  TCountingBar* Bar = nullptr;
  bool FreeButton = false;
  bool Dropped = false;
  COLORREF Part = 0, Face = 0;
} InMenu;

void CALLBACK ReadInMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  TsToolBar* bar = InMenu.Bar;
  InMenu.Dropped = bar->DroppedButton() == bar->Buttons(4);
  HDC dc = GetDC(bar->Handle());
  const TRect r = bar->ItemRect(4);
  InMenu.Part = Face(GetPixel(dc, r.Right - 3, r.Top + 5));
  InMenu.Face = Face(GetPixel(dc, r.Left + 5, r.Top + 5));
  ReleaseDC(bar->Handle(), dc);
  if (InMenu.FreeButton) delete bar->Buttons(4);   // what a chosen item's handler may do
  EndMenu();
}

void DropDown(TCountingBar* bar, bool freeButton) {
  InMenu = TInMenu{};
  InMenu.Bar = bar;
  InMenu.FreeButton = freeButton;
  NMTOOLBARA nm{};
  nm.hdr.hwndFrom = bar->Handle();
  nm.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
  nm.iItem = 4;
  SetTimer(nullptr, 0, 50, &ReadInMenu);
  bar->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));   // as the parent reflects WM_NOTIFY
}

// Delivers what is queued (the framework posts CN_DROPDOWNCLOSED once the menu has closed).
void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST_F(ToolBar, DropDownPartPressedWhileItsMenuIsOpen) {
  SetForegroundWindow(Form->Handle());
  DropDown(Bar, false);
  Pump();
  EXPECT_TRUE(InMenu.Dropped);
  EXPECT_EQ(std::make_pair(InMenu.Part, InMenu.Face), std::make_pair(Pressed, Normal));
  EXPECT_EQ(Bar->DroppedButton(), nullptr);
  EXPECT_EQ(At(OnScreen().get(), 4, 3), Normal);
}

TEST_F(ToolBar, DroppedButtonFreedByTheMenuIsForgotten) {
  SetForegroundWindow(Form->Handle());
  DropDown(Bar, true);
  EXPECT_TRUE(InMenu.Dropped);
  EXPECT_EQ(Bar->DroppedButton(), nullptr);   // before the menu's close is handled
  Pump();
  EXPECT_EQ(Bar->ButtonCount(), 6);
}

TEST_F(ToolBar, TenPaintsLayTheBarOutAtMostOnce) {
  auto* b = new TStubbornButton(Form.get());
  b->SetCaption("Wide");
  b->SetParent(Bar);
  UpdateWindow(Bar->Handle());
  Bar->Deleted = 0;
  for (int i = 0; i < 10; ++i) {
    InvalidateRect(Bar->Handle(), nullptr, FALSE);
    UpdateWindow(Bar->Handle());
  }
  EXPECT_LE(Bar->Deleted, Bar->ButtonCount());
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(Bar->Handle(), &pending, FALSE));
}

TEST_F(ToolBar, PopupMenuAddedLaterIsOwnerDrawn) {
  auto* later = new TPopupMenu(nullptr);
  auto* item = new TMenuItem(later);
  item->SetCaption("Later");
  later->Items()->Add(item);
  ASSERT_FALSE(later->OwnerDraw());
  Form->InsertComponent(later);
  EXPECT_TRUE(later->OwnerDraw());
}

}  // namespace
