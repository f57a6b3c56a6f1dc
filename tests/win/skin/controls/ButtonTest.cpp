// The skinned push button under Wine with the button fixture skins (make_button_skins.py):
// its owner-drawn style and the active button, its faces by pixel, the focus frame, the window
// region of a region-type mask, the split part's menu and the hints, a click during a hover
// fade, the skin commands, the unskinned faces (system and visual styles), and the extension
// hooks of the skin manager and the child broadcast.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Messages.h"
#include "skin/controls/sButton.h"
#include "skin/core/sAnimSteps.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sFade.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sThemes.h"
#include "skin/paint/win/sWinUtils.h"

namespace {

// The faces of make_button_skins.py (normal, hot, pressed) as COLORREF.
constexpr COLORREF FacesA[] = {RGB(200, 60, 60), RGB(60, 190, 60), RGB(60, 60, 210)};
constexpr COLORREF FacesB[] = {RGB(230, 230, 200), RGB(250, 210, 120), RGB(120, 90, 40)};

// What a control paints when asked to print itself.
struct TPrinted {
  explicit TPrinted(TWinControl* c) : W(c->Width()), H(c->Height()) {
    Bmp.SetPixelFormat(TPixelFormat::pf32bit);
    Bmp.SetSize(W, H);
    SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Bmp.Canvas()->GetHandle()), PRF_CLIENT);
  }
  COLORREF At(int x, int y) { return GetPixel(Bmp.Canvas()->GetHandle(), x, y); }
  int Count(COLORREF c) {
    int n = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) n += At(x, y) == c ? 1 : 0;
    return n;
  }
  int W, H;
  TBitmap Bmp;
};

class Buttons : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_BUTTON_SKINS);
    UseSkin("ButtonA");
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 320, 200);
    Form->HandleNeeded();
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(8, 8, 100, 21);
    Edit->HandleNeeded();
    Edit->SetFocus();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void UseSkin(const char* name) {
    M->SetSkinName(name);
    ASSERT_TRUE(M->SkinData().Active) << name;
  }
  TsButton* Button(const char* caption, int left, int top = 100) {
    auto* b = new TsButton(Form.get());
    b->SetParent(Form.get());
    b->SetBounds(left, top, 75, 25);
    b->SetCaption(caption);
    b->HandleNeeded();
    UpdateWindow(b->Handle());
    return b;
  }
  static LONG_PTR StyleType(TsButton* b) { return GetWindowLongPtrA(b->Handle(), GWL_STYLE) & 0xF; }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  TEdit* Edit = nullptr;
};

TEST_F(Buttons, StaysOwnerDrawnAndTheDefaultIsActiveWhileNoButtonHasTheFocus) {
  TsButton* ok = Button("&OK", 20);
  TsButton* cancel = Button("&Cancel", 110);
  ok->SetDefault(true);
  EXPECT_EQ(StyleType(ok), 0xB);
  EXPECT_EQ(ok->CurrentState(), BtnHot);   // the edit holds the focus
  EXPECT_EQ(cancel->CurrentState(), BtnNormal);
  cancel->SetFocus();
  EXPECT_EQ(StyleType(ok), 0xB);
  EXPECT_EQ(StyleType(cancel), 0xB);
  EXPECT_EQ(ok->CurrentState(), BtnNormal);
  EXPECT_EQ(cancel->CurrentState(), BtnHot);
  Edit->SetFocus();
  EXPECT_EQ(ok->CurrentState(), BtnHot);
  EXPECT_EQ(cancel->CurrentState(), BtnNormal);
}

TEST_F(Buttons, FacesFollowTheState) {
  TsButton* b = Button("", 20);
  EXPECT_EQ(TPrinted(b).At(6, 12), FacesA[0]);
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(TPrinted(b).At(6, 12), FacesA[1]);
  b->SetDown(true);
  EXPECT_EQ(TPrinted(b).At(6, 12), FacesA[2]);
  b->SetDown(false);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(TPrinted(b).At(6, 12), FacesA[0]);
}

TEST_F(Buttons, FocusFrameOnlyWhenTheSectionShowsFocus) {
  const COLORREF frame = GetSysColor(COLOR_BTNFACE);
  TsButton* b = Button("OK", 20);
  b->SetFocus();
  EXPECT_EQ(TPrinted(b).Count(frame), 0);
  UseSkin("ButtonB");
  EXPECT_GT(TPrinted(b).Count(frame), 10);
  Edit->SetFocus();
  EXPECT_EQ(TPrinted(b).Count(frame), 0);
}

TEST_F(Buttons, RegionOnlyFromARegionMaskAndShrinkingRepaintsTheParent) {
  TsButton* b = Button("", 20);
  RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(b->Handle(), rgn.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(rgn.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(rgn.Get(), 74, 24));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 37, 12));
  // Shrunk: where the old corners stood the parent paints again.
  ValidateRect(Form->Handle(), nullptr);
  b->SetBounds(20, 100, 60, 20);
  ValidateRect(Form->Handle(), nullptr);
  UpdateWindow(b->Handle());
  TOwnedRegion update(CreateRectRgn(0, 0, 0, 0));
  GetUpdateRgn(Form->Handle(), update.Get(), FALSE);
  EXPECT_TRUE(PtInRegion(update.Get(), 20 + 74, 100 + 24));
  EXPECT_TRUE(PtInRegion(update.Get(), 20 + 74, 100 + 10));
  // A type 1 mask paints the frame but leaves the window whole.
  UseSkin("ButtonB");
  TsButton* whole = Button("", 120);
  RedrawWindow(whole->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(GetWindowRgn(whole->Handle(), rgn.Get()), ERROR);
  // The skin change gives the window back its whole shape.
  SendSkinCommandToControl(b, SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(GetWindowRgn(b->Handle(), rgn.Get()), ERROR);
}

// Closes the open menu from inside its loop after running `during`.
std::function<void()> GDuringMenu;
void CALLBACK InMenuLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (GDuringMenu) GDuringMenu();
  EndMenu();
}

TEST_F(Buttons, SplitPartOpensTheMenuWithoutAClickAndHintsReturnWithTheFirstItem) {
  TsButton* b = Button("Split", 20);
  b->SetStyle(bsSplitButton);
  auto* menu = new TPopupMenu(Form.get());
  auto* item = new TMenuItem(menu);
  item->SetCaption("&Light");
  menu->Items()->Add(item);
  b->SetDropDownMenu(menu);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  Application->SetShowHint(true);
  struct {
    bool Dropped = false, HintsWhileOpen = true, HintsAfterItem = false;
  } seen;
  GDuringMenu = [&] {
    seen.Dropped = b->DroppedDown();
    seen.HintsWhileOpen = Application->ShowHint();
    auto bmp = CreateBitmap32(80, 20);
    M->SkinableMenus()->PaintPopupItem(item, bmp->Canvas(), TRect{0, 0, 80, 20}, TOwnerDrawState{});
    seen.HintsAfterItem = Application->ShowHint();
  };
  SetTimer(nullptr, 0, 50, &InMenuLoop);
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 12));
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(70, 12));
  GDuringMenu = nullptr;
  EXPECT_TRUE(seen.Dropped);
  EXPECT_FALSE(seen.HintsWhileOpen);
  EXPECT_TRUE(seen.HintsAfterItem);
  EXPECT_FALSE(b->DroppedDown());
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(Application->ShowHint());
  // Left of the split part the button is clicked as any other.
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 12));
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 12));
  EXPECT_EQ(clicks, 1);
}

// Runs `during` inside the open menu's loop, which then goes on (the keys it posted choose).
void CALLBACK ChooseInMenuLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (GDuringMenu) GDuringMenu();
}

// A button whose memory is poisoned when freed: touching it afterwards crashes at once.
class TPoisonedButton : public TsButton {
public:
  using TsButton::TsButton;
  static void operator delete(void* p, std::size_t size) {
    std::memset(p, 0xCC, size);
    ::operator delete(p);
  }
};

TEST_F(Buttons, AMenuItemMayFreeTheButtonWithItsForm) {
  auto* owner = new TForm(nullptr);
  owner->SetBounds(60, 60, 200, 100);
  owner->Show();
  auto* b = new TPoisonedButton(owner);
  b->SetParent(owner);
  b->SetBounds(10, 10, 75, 25);
  b->SetStyle(bsSplitButton);
  b->HandleNeeded();
  auto* menu = new TPopupMenu(Form.get());
  auto* item = new TMenuItem(menu);
  item->SetCaption("&Close");
  item->OnClick = [&](TObject*) { delete owner; };
  menu->Items()->Add(item);
  b->SetDropDownMenu(menu);
  Application->SetShowHint(true);
  // The item is chosen in the open menu; its handler runs when the menu has returned it.
  GDuringMenu = [] {
    HWND open = FindWindowA("#32768", nullptr);
    PostMessageA(open, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(open, WM_KEYDOWN, VK_RETURN, 0);
  };
  SetTimer(nullptr, 0, 50, &ChooseInMenuLoop);
  const HWND h = b->Handle();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 12));
  GDuringMenu = nullptr;
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(Application->ShowHint());
}

TEST_F(Buttons, AClickDuringAHoverFadeShowsThePressedFaceAtOnce) {
  UseSkin("ButtonB");
  TsButton* b = Button("", 20);
  std::vector<int> pauses;
  COLORREF shown = CLR_INVALID;
  const auto saved = AnimSleep;
  AnimSleep = [&](int ms) {
    pauses.push_back(ms);
    HDC dc = GetDC(b->Handle());
    shown = GetPixel(dc, 6, 12);
    ReleaseDC(b->Handle(), dc);
  };
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_NE(b->FadeTimer(), nullptr);
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 12));
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 12));
  AnimSleep = saved;
  EXPECT_EQ(pauses, std::vector<int>{30});
  EXPECT_EQ(shown, FacesB[2]);
}

TEST_F(Buttons, SkinCommands) {
  UseSkin("ButtonB");
  TsButton* b = Button("", 20);
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_NE(b->FadeTimer(), nullptr);
  EXPECT_EQ(FadeTimerCount, 1);
  SendSkinCommand(b->Handle(), SkinCmdCancelFade);
  EXPECT_EQ(b->FadeTimer(), nullptr);
  EXPECT_EQ(FadeTimerCount, 0);
  EXPECT_EQ(SendSkinCommand(b->Handle(), SkinCmdIsSkinned), 1);
  EXPECT_EQ(SendSkinCommand(b->Handle(), SkinCmdQueryAppObject), reinterpret_cast<LRESULT>(Application));
  // A fade frame is not drawn by the button: the fade puts it on the window itself.
  auto frame = CreateBitmap32(75, 25);
  EXPECT_EQ(SendSkinCommand(b->Handle(), SkinCmdFadeFrame, reinterpret_cast<LPARAM>(frame.get())), 0);
}

// The recording theme table: every push-button draw as part x 10 + state, in a flat colour.
std::vector<int> GThemeStates;
int GThemeOpened = 0, GThemeClosed = 0;
BOOL WINAPI Yes() { return TRUE; }
BOOL WINAPI No() { return FALSE; }
TThemeHandle WINAPI FakeOpenThemeData(HWND, LPCWSTR) {
  ++GThemeOpened;
  return reinterpret_cast<TThemeHandle>(0x77);
}
HRESULT WINAPI FakeCloseThemeData(TThemeHandle) {
  ++GThemeClosed;
  return S_OK;
}
HRESULT WINAPI FakeDrawThemeParentBackground(HWND, HDC, const RECT*) { return S_OK; }
HRESULT WINAPI FakeDrawThemeBackground(TThemeHandle, HDC dc, int part, int state, const RECT* r, const RECT*) {
  GThemeStates.push_back(part * 10 + state);
  TOwnedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  FillRect(dc, r, brush.Get());
  return S_OK;
}

TEST_F(Buttons, UnskinnedFaceIsTheSystemsOrTheVisualStyle) {
  M.reset();
  TsButton* b = Button("", 20);
  b->SetDefault(true);
  const TThemeEntries saved = ThemeEntries();
  TThemeEntries& t = ThemeEntries();
  t.IsAppThemed = &No;
  TPrinted plain(b);
  EXPECT_EQ(plain.At(0, 0), RGB(0, 0, 0));   // the default button's black frame
  EXPECT_EQ(plain.At(30, 12), GetSysColor(COLOR_BTNFACE));
  // Through a recording theme table.
  GThemeStates.clear();
  GThemeOpened = GThemeClosed = 0;
  t.IsAppThemed = &Yes;
  t.IsThemeActive = &Yes;
  t.OpenThemeData = &FakeOpenThemeData;
  t.CloseThemeData = &FakeCloseThemeData;
  t.DrawThemeParentBackground = &FakeDrawThemeParentBackground;
  t.DrawThemeBackground = &FakeDrawThemeBackground;
  TPrinted themed(b);
  b->Perform(CM_MOUSEENTER, 0, 0);
  TPrinted hot(b);
  ThemeEntries() = saved;
  EXPECT_EQ(themed.At(30, 12), RGB(1, 2, 3));
  EXPECT_EQ(GThemeStates, (std::vector<int>{15, 12}));   // push button: defaulted, then hot
  EXPECT_EQ(GThemeOpened, GThemeClosed);
}

TEST_F(Buttons, ExtensionHooksAreCalledWhenSet) {
  std::vector<std::string> calls;
  ExternalSkinSwitchHook = [&](bool on) { calls.push_back(on ? "switch on" : "switch off"); };
  ExternalAfterApplyHook = [&] { calls.push_back("applied"); };
  UseSkin("ButtonB");
  M->SetActive(false);
  { TsSkinManager another(nullptr); }
  ExternalSkinSwitchHook = nullptr;
  ExternalAfterApplyHook = nullptr;
  // Withdrawn; another manager made, then freed (which withdraws its skin).
  EXPECT_EQ(calls, (std::vector<std::string>{"switch on", "applied", "switch off", "switch off", "switch off"}));
  // A plain panel's children are passed over when the hook handled the panel.
  auto* panel = new TPanel(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(150, 10, 120, 60);
  auto* inner = new TsButton(Form.get());
  inner->SetParent(panel);
  inner->HandleNeeded();
  std::vector<TWinControl*> offered;
  for (bool handled : {true, false}) {
    ExternalChildHandledHook = [&](TWinControl* c) { offered.push_back(c); return handled; };
    inner->SkinData()->BGChanged = 0;
    TMessage m = MakeMessageRecord(WM_SKINCOMMAND, MakeSkinWParam(17), 0);
    BroadcastToChildControls(Form.get(), m);
    EXPECT_EQ(inner->SkinData()->BGChanged, handled ? 0 : 1);
  }
  ExternalChildHandledHook = nullptr;
  EXPECT_EQ(offered, (std::vector<TWinControl*>{Edit, panel, Edit, panel}));
}

}  // namespace
