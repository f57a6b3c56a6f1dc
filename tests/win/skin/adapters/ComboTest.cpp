// The skinned combo box and the combo-box adapters under Wine with the combo fixture skins
// (make_combo_skins.py): the box's styles and defaults, its frame, button and arrow by state,
// the edit item's state, a box without selection, the read-only filter, the hover over edit
// and button (one enter, one leave, the glow just above the form), a leave with the cursor
// inside, a simple box's frame, the list's visible count with visual styles, the skinned list
// given and taken back, and the adapter's list brush, release order, destruction with the list
// open or closed, printed image (long items too) and a simple combo's list.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxComboWnd.h"
#include "skin/adapters/lxGlow.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/lxSBUtilsCore.h"
#include "skin/core/sComboBoxCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sThemes.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("combo test", true));

// The fixture's colours.
constexpr COLORREF Combo = RGB(20, 90, 160), Button = RGB(200, 60, 20);
constexpr COLORREF Arrow[3] = {RGB(240, 240, 240), RGB(255, 255, 0), RGB(0, 0, 0)};

// A box that records the state its edit item is drawn in.
class TRecordingCombo : public TsComboBox {
public:
  using TsComboBox::TsComboBox;
  int EditState = -1;
  int Drawn = 0;
  WPARAM MinVisible = 0;   // the last CB_SETMINVISIBLE's count
  int Enters = 0, Leaves = 0;

  void WndProc(TMessage& Message) override {
    if (Message.Msg == 0x1701) MinVisible = Message.WParam;
    Enters += Message.Msg == CM_MOUSEENTER ? 1 : 0;
    Leaves += Message.Msg == CM_MOUSELEAVE ? 1 : 0;
    TsComboBox::WndProc(Message);
  }

  // The list's item `index` drawn as not selected into `dc`.
  void DrawListItem(HDC dc, int index, const TRect& r) {
    TCanvasDC bound(*Canvas(), dc);
    DrawItem(index, r, 0);
  }

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override {
    if ((State & odComboBoxEdit) != 0) EditState = static_cast<int>(State);
    ++Drawn;
    TsComboBox::DrawItem(Index, Rect, State);
  }
};

// Drops the list down and lets it paint (it asks for its colours then).
void Drop(TCustomComboBox* c) {
  c->SetDroppedDown(true);
  RedrawWindow(c->ListHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

// What the box prints of itself.
COLORREF PrintedAt(TWinControl* c, int x, int y) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(c->Width(), c->Height());
  SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(b.Canvas()->GetHandle()), PRF_CLIENT);
  return GetPixel(b.Canvas()->GetHandle(), x, y);
}

bool Skinned(HWND h) { return GetPropA(h, "LXSBSC") != nullptr; }

class Combos : public ::testing::Test {
protected:
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_COMBO_SKINS);
    M->SetSkinName("Combo");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 320, 240);
    Form->HandleNeeded();
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  template <class T>
  T* Make(TComboBoxStyle style, int top, int items) {
    auto* c = NewComponent<T>(Form.get());
    c->SetStyle(style);
    c->SetParent(Form.get());
    c->SetBounds(10, top, 121, 21);
    for (int i = 0; i < items; ++i) c->Items()->Add("COM" + std::to_string(51 + i));
    c->HandleNeeded();
    return c;
  }
  TRecordingCombo* Box(TComboBoxStyle style, int items = 3) { return Make<TRecordingCombo>(style, 10, items); }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};

TEST_F(Combos, ANewBoxDrawsItsOwnItemsAndKeepsTheStrings) {
  TsComboBox* c = Box(csDropDown);
  EXPECT_EQ(c->DropDownCount(), 16);
  EXPECT_EQ(c->DisabledKind(), 1);
  EXPECT_EQ(c->SkinData()->GetSkinSection(), "COMBOBOX");
  EXPECT_EQ(SendSkinCommand(c->Handle(), SkinCmdIsSkinned), 1);
  const LONG_PTR style = GetWindowLongPtrA(c->Handle(), GWL_STYLE);
  EXPECT_EQ(style & 0x13, 0x12);
  EXPECT_NE(style & CBS_HASSTRINGS, 0);
  c->SetItemIndex(1);
  EXPECT_EQ(c->Text(), "COM52");
}

// Frame, button and arrow from the skin; the arrow shows the button's state: pressed while
// the list is open, back after it closed (command 14 follows).
TEST_F(Combos, ButtonStateFollowsTheList) {
  TsComboBox* c = Box(csDropDownList);
  c->SetItemIndex(0);
  const TRect button = ComboButtonRect(121, c->Height(), GetSystemMetrics(SM_CXVSCROLL), true, false);
  const TPoint arrow = ComboArrowOrigin(button, c->Height(), 12, 8);
  EXPECT_TRUE(Near(PrintedAt(c, 1, c->Height() / 2), Combo));
  EXPECT_TRUE(Near(PrintedAt(c, button.Left + 1, button.Top + 1), Button));
  EXPECT_TRUE(Near(PrintedAt(c, arrow.X + 1, arrow.Y + 1), Arrow[0]));
  EXPECT_EQ(SendSkinCommand(c->Handle(), SkinCmdPopupState), 0);
  c->SetDroppedDown(true);
  EXPECT_EQ(SendSkinCommand(c->Handle(), SkinCmdPopupState), 1);
  EXPECT_TRUE(Near(PrintedAt(c, arrow.X + 1, arrow.Y + 1), Arrow[2]));
  c->SetDroppedDown(false);
  EXPECT_NE(PrintedAt(c, arrow.X + 1, arrow.Y + 1), Arrow[2]);
}

TEST_F(Combos, AFocusedListOnlyBoxDrawsItsItemSelected) {
  const struct {
    TComboBoxStyle Style;
    int State;
  } cases[] = {{csDropDownList, 0x1011}, {csDropDown, 0x1000}};
  for (const auto& k : cases) {
    TRecordingCombo* c = Box(k.Style);
    c->SetItemIndex(0);
    c->SetFocus();
    c->EditState = -1;
    c->SkinData()->BGChanged = 1;
    PrintedAt(c, 0, 0);
    EXPECT_EQ(c->EditState, k.State) << k.Style;
    delete c;
  }
}

// No item selected: nothing read outside the items, no text drawn.
TEST_F(Combos, NoSelectionDrawsNoText) {
  TRecordingCombo* c = Box(csDropDownList);
  c->SetItemIndex(-1);
  c->Drawn = 0;
  c->SkinData()->BGChanged = 1;
  EXPECT_NO_THROW(PrintedAt(c, 0, 0));
  EXPECT_GT(c->Drawn, 0);
  EXPECT_TRUE(Near(PrintedAt(c, 6, c->Height() / 2), Combo));
}

// A list item that is not selected is written in the box's font, as the selected one is (not
// in the bitmap's stock font): its letters are as tall as the font's.
TEST_F(Combos, AListItemIsWrittenInTheBoxsFont) {
  TRecordingCombo* c = Box(csDropDownList);
  c->Font()->SetHeight(-30);
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(120, 40);
  const HDC dc = b.Canvas()->GetHandle();
  c->DrawListItem(dc, 0, TRect{0, 0, 120, 40});
  const COLORREF back = GetPixel(dc, 119, 1);
  int top = 40, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      if (GetPixel(dc, x, y) != back) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_GE(bottom - top, 18) << top << " " << bottom;   // the stock font's are 11 or 12 high
}

TEST_F(Combos, ReadOnlyNeitherOpensNorTypesButFocusesAndDoubleClicks) {
  TsComboBox* c = Box(csDropDownList);
  c->SetItemIndex(0);
  c->SetReadOnly(true);
  int doubles = 0;
  c->OnDblClick = [&](TObject*) { ++doubles; };
  for (WPARAM key : {WPARAM(VK_F4), WPARAM(VK_DOWN), WPARAM('C')}) {
    SendMessageA(c->Handle(), WM_KEYDOWN, key, 0);
    SendMessageA(c->Handle(), WM_CHAR, key, 0);
    EXPECT_EQ(c->ItemIndex(), 0) << key;
    EXPECT_FALSE(c->DroppedDown()) << key;
  }
  SendMessageA(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(110, 8));
  EXPECT_TRUE(c->Focused());
  EXPECT_FALSE(c->DroppedDown());
  SendMessageA(c->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(110, 8));
  EXPECT_EQ(doubles, 1);
}

// The mouse goes over the edit part, on to the button and away: one enter and one leave, the
// box hot with its glow while the mouse is over it.
TEST_F(Combos, OverEditAndButtonTheBoxIsHotOnce) {
  InitGlowUnit();
  TRecordingCombo* c = Box(csDropDown);
  RECT r{};
  GetWindowRect(c->Handle(), &r);
  const auto mouseTo = [](LONG x, LONG y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 200;) {
      Application->ProcessMessages();
      Sleep(5);
    }
  };
  const LONG middle = (r.top + r.bottom) / 2;
  mouseTo(r.right + 60, r.bottom + 60);
  c->Enters = c->Leaves = 0;
  mouseTo(r.left + 20, middle);
  EXPECT_EQ(c->SkinData()->MouseAbove, 1);
  // The glow window lies just above the form.
  const TlxGlowEffect* glow = GlowEffects().Get(c->SkinData()->GlowID());
  EXPECT_TRUE(glow != nullptr && glow->GlowForm() != nullptr &&
              GetWindow(Form->Handle(), GW_HWNDPREV) == glow->GlowForm()->Handle());
  mouseTo(r.right - 8, middle);
  EXPECT_EQ(c->SkinData()->MouseAbove, 1);
  mouseTo(r.right + 60, r.bottom + 60);
  EXPECT_EQ(c->SkinData()->MouseAbove, 0);
  EXPECT_EQ(c->SkinData()->GlowID(), -1);
  EXPECT_EQ(c->Enters, 1);
  EXPECT_EQ(c->Leaves, 1);
  DoneGlowUnit();
}

// A leave that comes while the cursor is still over the box changes nothing.
TEST_F(Combos, ALeaveWithTheCursorInsideIsIgnored) {
  TsComboBox* c = Box(csDropDownList);
  RECT r{};
  GetWindowRect(c->Handle(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  c->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_EQ(c->SkinData()->MouseAbove, 1);
  c->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(c->SkinData()->MouseAbove, 1);
  SetCursorPos(r.right + 40, r.bottom + 40);
  c->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(c->SkinData()->MouseAbove, 0);
}

// A simple box lays only its 3-pixel frame over what its edit and list paint.
TEST_F(Combos, ASimpleBoxCopiesOnlyItsFrame) {
  TsComboBox* c = Box(csSimple);
  c->SetHeight(90);
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(c->Width(), c->Height());
  const RECT all{0, 0, c->Width(), c->Height()};
  const TOwnedBrush marker(CreateSolidBrush(RGB(1, 2, 3)));
  FillRect(b.Canvas()->GetHandle(), &all, marker.Get());
  SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(b.Canvas()->GetHandle()), PRF_CLIENT);
  EXPECT_TRUE(Near(GetPixel(b.Canvas()->GetHandle(), 1, 6), Combo));
  EXPECT_EQ(GetPixel(b.Canvas()->GetHandle(), 10, 6), RGB(1, 2, 3));
}

BOOL WINAPI ThemedYes() { return TRUE; }

// With visual styles the box asks its list to show 16 items before it scrolls.
TEST_F(Combos, ThemesShowSixteenItems) {
  for (const bool themed : {false, true}) {
    TThemeEntries& e = ThemeEntries();
    const TThemeEntries saved = e;
    if (themed) e.IsAppThemed = e.IsThemeActive = &ThemedYes;
    else e.IsAppThemed = e.IsThemeActive = nullptr;
    TRecordingCombo* c = Box(csDropDownList, 30);
    e = saved;
    EXPECT_EQ(c->MinVisible, themed ? 16u : 0u) << themed;
    delete c;
  }
}

// The first drop-down skins the list; withdrawing the skin gives it its plain frame back.
TEST_F(Combos, TheListIsSkinnedUntilTheSkinGoes) {
  TsComboBox* c = Box(csDropDownList);
  Drop(c);
  const HWND list = c->ListHandle();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(Skinned(list));
  EXPECT_NE(c->ListAdapter(), nullptr);
  c->SetDroppedDown(false);
  SendSkinCommand(c->Handle(), SkinCmdUnskin, reinterpret_cast<LPARAM>(M.get()));
  const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  EXPECT_NE(style & WS_BORDER, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_FALSE(Skinned(list));
}

// ---- the adapter on a framework combo box

class ComboAdapter : public Combos {
protected:
  void TearDown() override {
    Data.reset();
    Combos::TearDown();
  }
  TComboBox* Plain(int items = 3) { return Make<TComboBox>(csDropDownList, 60, items); }
  std::unique_ptr<TlxComboBoxWnd> Adapt(TComboBox* c) {
    Data = std::make_unique<TsCommonData>(nullptr, 3);
    Data->SetOwner(c);
    return TlxMainWnd::CreateForHandle<TlxComboBoxWnd>(c->Handle(), true, "", M.get(), Data.get());
  }
  std::unique_ptr<TsCommonData> Data;
};

// One brush for the list however often it asks for its colours.
TEST_F(ComboAdapter, OneListBrushForAllDropDowns) {
  TComboBox* c = Plain();
  auto a = Adapt(c);
  Drop(c);
  c->SetDroppedDown(false);
  const long before = GdiObjectCount();
  for (int i = 0; i < 100; ++i) {
    Drop(c);
    c->SetDroppedDown(false);
  }
  EXPECT_LE(GdiObjectCount(), before + 1);
  ASSERT_NE(a->ListAdapter(), nullptr);
}

// Freed, the adapter lets the list go first, though the list's skin data has no control.
TEST_F(ComboAdapter, FreedWhileDroppedBothAdaptersGo) {
  TComboBox* c = Plain();
  auto a = Adapt(c);
  Drop(c);
  const HWND list = a->ListHandle();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(Skinned(list));
  a.reset();
  EXPECT_FALSE(Skinned(list));
  EXPECT_FALSE(Skinned(c->Handle()));
  c->SetDroppedDown(false);
}

// A combo box destroyed with its list open, or closed again, takes the list's adapter with
// it; a bare box's adapter lets go of its window too. A framework box's window dies without
// its method, so its adapter is freed by whoever made it, once its data forgot the box (as the
// form's control adapter does).
TEST_F(ComboAdapter, DestroyedWhileDroppedBothAdaptersGo) {
  for (const bool framework : {false, true})
    for (const bool open : {true, false}) {
      SCOPED_TRACE(std::string(framework ? "framework" : "bare") + (open ? " open" : " closed"));
      TComboBox* c = framework ? Plain() : nullptr;
      const HWND box = c != nullptr ? c->Handle()
                                    : CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                                                      10, 60, 121, 200, Form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
      if (c == nullptr)
        for (const char* item : {"COM51", "COM52"}) SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      auto a = c != nullptr ? Adapt(c) : TlxMainWnd::CreateForHandle<TlxComboBoxWnd>(box, true, "", M.get(), nullptr);
      SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
      COMBOBOXINFO info{};
      info.cbSize = sizeof(info);
      GetComboBoxInfo(box, &info);
      RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
      ASSERT_NE(a->ListAdapter(), nullptr);
      if (!open) SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
      const long before = GdiObjectCount();
      if (c != nullptr) delete c;
      else DestroyWindow(box);
      ASSERT_FALSE(IsWindow(info.hwndList));
      EXPECT_TRUE(a->ListAdapter()->Defunct());
      EXPECT_FALSE(a->ListAdapter()->Subclassed());
      if (c == nullptr) EXPECT_TRUE(a->Defunct() && !a->Subclassed());
      else Data->SetOwner(nullptr);
      a.reset();
      Data.reset();
      EXPECT_LE(GdiObjectCount(), before);
    }
}

// Printed, the adapter shows its frame, the "COMBOBTN" button and the selected item's text,
// however long.
TEST_F(ComboAdapter, PrintsFrameButtonAndText) {
  for (const std::string& item : {std::string("COM51"), std::string(5000, 'x')}) {
    TComboBox* c = Plain(0);
    c->Items()->Add(item);
    c->SetItemIndex(0);
    auto a = Adapt(c);
    TRect b;
    a->GetButtonRect(b);
    EXPECT_EQ(b, ComboAdapterButtonRect(121, c->Height(), GetSystemMetrics(SM_CXVSCROLL), CBS_DROPDOWNLIST, false));
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::pf32bit);
    bmp.SetSize(c->Width(), c->Height());
    const HDC dc = bmp.Canvas()->GetHandle();
    SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT);
    EXPECT_TRUE(Near(GetPixel(dc, 1, c->Height() / 2), Combo)) << item.size();
    EXPECT_TRUE(Near(GetPixel(dc, b.Left + 1, b.Top + 1), Button)) << item.size();
    int text = 0;
    for (int y = 4; y < c->Height() - 4; ++y)
      for (int x = 4; x < b.Left - 1; ++x) text += Near(GetPixel(dc, x, y), RGB(250, 250, 250)) ? 1 : 0;
    EXPECT_GT(text, 0) << item.size();
    a.reset();
    Data.reset();
    delete c;
  }
}

// A simple combo's always visible list is skinned too.
TEST_F(ComboAdapter, ASimpleCombosListIsSkinned) {
  TComboBox* c = Make<TComboBox>(csSimple, 60, 3);
  c->SetHeight(90);
  auto a = Adapt(c);
  RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ASSERT_NE(a->ListHandle(), nullptr);
  EXPECT_TRUE(Skinned(a->ListHandle()));
  EXPECT_TRUE(a->ListAdapter()->SimpleList());
}

// A press on a dropped list's bar ends with the list still holding the capture its box gave
// it, so a click elsewhere still closes it; a simple list lets it go.
TEST_F(ComboAdapter, ADroppedListKeepsTheCaptureAfterItsBar) {
  for (const bool simple : {false, true}) {
    TComboBox* c = Make<TComboBox>(simple ? csSimple : csDropDownList, 60, 30);
    if (simple) c->SetHeight(120);
    auto a = Adapt(c);
    if (!simple) Drop(c);
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const HWND list = a->ListHandle();
    ASSERT_NE(list, nullptr) << simple;
    SetCapture(list);
    TlxScrollState& s = ScrollState();
    s.ScrollStateWnd = list;
    s.PressedPart = sbpSecondArrow;
    s.PressedBarKind = SB_VERT;
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(GetCapture() == list, !simple) << simple;
    ReleaseCapture();
    if (!simple) c->SetDroppedDown(false);
    a.reset();
    Data.reset();
    delete c;
  }
}

}   // namespace
