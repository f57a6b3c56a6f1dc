// Skinned menus on the program's main window: "&File" owner-drawn and measured from the skin,
// its popup window cut by the border mask, items painted in their states, the "Skin" drop-down,
// application handlers kept, and nothing owner-drawn without skinned popups. With
// ORBEX_MENU_SHOTS set to a folder, the open menus are also saved there as screen images.
#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <utility>

#include "app/win/ConnectDlg.h"
#include "app/win/MainFrm.h"
#include "skin/adapters/lxMnuWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "tests/win/skin/forms/AppFormTestUtil.h"

namespace {

using formtest::InRegion;
using formtest::MenuItemRect;
using formtest::WindowRectOf;

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new formtest::TProgramUnits("menus test", true));

std::unique_ptr<TMainForm> MainWindow(const std::string& skin) {
  return formtest::MainWindow(skin, formtest::ScratchPath("menus", ".ini"));
}

// Runs `open`, waits in the message loop until a popup menu window shows (with `GSelected`'s
// first item selected, when set), hands it to `inspect` and closes the menu. False when no
// menu window showed. The mouse is parked in the screen's far corner first: a menu opened from
// the keyboard selects its first item only while the mouse is not over another one.
// A test that reads the screen sets `GShown` to tell when the menu's painting has reached it
// (under load the screen lags behind the window): inspected then, or after two seconds.
std::function<void(HWND)> GInspect;
std::function<bool()> GShown;
bool GInspected = false;
HMENU GSelected = nullptr;
int GShownWaits = 0;
void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (popup == nullptr || !IsWindowVisible(popup)) return;
  if (GSelected != nullptr && (GetMenuState(GSelected, 0, MF_BYPOSITION) & MF_HILITE) == 0) return;
  if (GShown && !GShown() && ++GShownWaits < 40) return;
  KillTimer(nullptr, id);
  UpdateWindow(popup);
  GInspect(popup);
  GInspected = true;
  EndMenu();
}
bool WithOpenMenu(const std::function<void()>& open, std::function<void(HWND)> inspect) {
  GInspect = std::move(inspect);
  GInspected = false;
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &MenuTimer);
  open();
  // A bound on the waiting, not a measure of speed.
  for (int i = 0; i < 200 && !GInspected; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
  KillTimer(nullptr, timer);
  GSelected = nullptr;
  GShown = nullptr;
  GShownWaits = 0;
  return GInspected;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

int TextHeightW() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Screen->MenuFont()->GetHandle());
  SIZE s{};
  GetTextExtentPoint32A(dc, "W", 1, &s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return s.cy;
}

bool OwnerDrawn(HMENU menu, int pos) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE;
  return GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &mii) && (mii.fType & MFT_OWNERDRAW) != 0;
}

int Channel(COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }
// The sum of the channel differences.
int Distance(COLORREF a, COLORREF b) {
  int d = 0;
  for (int s : {0, 8, 16}) d += std::abs(Channel(a, s) - Channel(b, s));
  return d;
}
// `part` of `c` over the rest of `under`, per channel.
COLORREF Mixed(COLORREF c, COLORREF under, double part) {
  COLORREF out = 0;
  for (int s : {0, 8, 16})
    out |= static_cast<COLORREF>(std::lround(Channel(under, s) + (Channel(c, s) - Channel(under, s)) * part)) << s;
  return out;
}

const TsGeneralData& Section(TsSkinManager* m, const char* name) {
  const int i = FindSectionIndex(m->Tables(), name);
  EXPECT_GE(i, 0) << name;
  return m->Tables()->GeneralData[static_cast<size_t>(std::max(i, 0))];
}

class MenusTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MenusTest, FileMenuIsDrawnFromTheSkin) {
  auto f = MainWindow(GetParam());
  TsSkinManager* m = f->SkinManager;
  ASSERT_TRUE(m->SkinableMenus()->Active());
  TMenuItem* file = f->mnuMain->Items()->Find("&File");
  ASSERT_NE(file, nullptr);
  HMENU bar = GetMenu(f->Handle());
  ASSERT_NE(bar, nullptr);
  // The menu line's items and every item of "&File" are owner-drawn.
  for (int i = 0; i < GetMenuItemCount(bar); ++i) EXPECT_TRUE(OwnerDrawn(bar, i)) << i;
  HMENU menu = file->Handle();
  ASSERT_EQ(GetMenuItemCount(menu), 4);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(OwnerDrawn(menu, i)) << i;
  ASSERT_FALSE(f->aDisconnect->Enabled());
  // Top-line items sit on the menu line: an unselected item's edge shows what the line shows
  // past the last item.
  {
    RECT tools{}, help{};
    ASSERT_TRUE(GetMenuItemRect(f->Handle(), bar, 1, &tools));
    ASSERT_TRUE(GetMenuItemRect(f->Handle(), bar, 2, &help));
    RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(tools.left + 1, tools.top + 2), ScreenPixel(help.right + 20, tools.top + 2));
  }
  const TsGeneralData& item = Section(m, "MENUITEM");
  const int normal = std::max(static_cast<int>(std::lround(1.25 * TextHeightW())), 16) + 4;
  GSelected = menu;
  GShown = [&] {
    const RECT connect = MenuItemRect(menu, 0);
    return ScreenPixel(connect.right - 5, (connect.top + connect.bottom) / 2) == (item.HotColor & 0xFFFFFF);
  };
  ASSERT_TRUE(WithOpenMenu([&] { PostMessageA(f->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f'); },
                           [&](HWND popup) {
                             formtest::Shot(popup, 60, std::string("file-") + GetParam());
                             const RECT connect = MenuItemRect(menu, 0), disconnect = MenuItemRect(menu, 1),
                                        divider = MenuItemRect(menu, 2), exitItem = MenuItemRect(menu, 3);
                             EXPECT_EQ(divider.bottom - divider.top, 2);
                             EXPECT_EQ(connect.bottom - connect.top, normal);
                             EXPECT_EQ(exitItem.bottom - exitItem.top, normal);
                             // The window's region lacks the mask's cut-out corner.
                             const RECT wr = WindowRectOf(popup);
                             EXPECT_EQ(InRegion(popup, {{0, 0}, {(wr.right - wr.left) / 2, (wr.bottom - wr.top) / 2}}), "01");
                             // The first item is selected: the hot fill at its right, past the
                             // shortcut.
                             const int cy = (connect.top + connect.bottom) / 2;
                             const COLORREF hot = item.HotColor & 0xFFFFFF;
                             EXPECT_EQ(ScreenPixel(connect.right - 5, cy), hot);
                             // "Ctrl+O" on the selection and "Alt+F4" on the plain menu end 8
                             // pixels from the right: their last inked columns.
                             const COLORREF plain = ScreenPixel(exitItem.right - 5, (exitItem.top + exitItem.bottom) / 2);
                             for (const auto& [r, fill] : {std::pair{connect, hot}, std::pair{exitItem, plain}}) {
                               int inked = -1;
                               for (int x = r.right - 1; x > r.left + (r.right - r.left) / 2 && inked < 0; --x)
                                 for (int y = r.top + 2; y < r.bottom - 2; ++y)
                                   if (ScreenPixel(x, y) != fill) {
                                     inked = x;
                                     break;
                                   }
                               EXPECT_GE(inked, r.right - 8 - 3) << r.top;
                               EXPECT_LT(inked, r.right - 8) << r.top;
                             }
                             // The disabled item is blended 0.4 over the background: its inked pixel
                             // nearest the text colour holds 40 percent of it (text drawn as enabled,
                             // anti-aliased or not, has pixels of the text colour itself).
                             const COLORREF fill = ScreenPixel(disconnect.right - 5, (disconnect.top + disconnect.bottom) / 2);
                             const COLORREF text = item.FontColor[0] & 0xFFFFFF;
                             COLORREF nearest = fill;
                             for (int x = disconnect.left + 30; x < disconnect.left + 90; ++x)
                               for (int y = disconnect.top + 3; y < disconnect.bottom - 3; ++y)
                                 if (const COLORREF c = ScreenPixel(x, y); Distance(c, text) < Distance(nearest, text)) nearest = c;
                             EXPECT_LE(Distance(nearest, Mixed(text, fill, 0.4)), 6)
                                 << std::hex << nearest << " text " << text << " fill " << fill;
                           }));
  // The menu loop's end let go of the popup backgrounds.
  EXPECT_EQ(TsSkinableMenus::PopupInfoCount(), 0);
}

TEST_P(MenusTest, SkinDropDownIsDrawnFromTheSkin) {
  auto f = MainWindow(GetParam());
  TPopupMenu* skins = f->PopupMenu1;
  EXPECT_TRUE(skins->OwnerDraw());
  EXPECT_TRUE((skins->MenuAnimation() & maNone) != 0);
  ASSERT_TRUE(WithOpenMenu([&] { skins->Popup(200, 160); },
                           [&](HWND popup) {
                             formtest::Shot(popup, 60, std::string("skin-") + GetParam());
                             HMENU menu = skins->Handle();
                             for (int i = 0; i < GetMenuItemCount(menu); ++i) EXPECT_TRUE(OwnerDrawn(menu, i)) << i;
                             EXPECT_EQ(InRegion(popup, {{0, 0}}), "0");
                           }));
  EXPECT_EQ(TsSkinableMenus::PopupInfoCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, MenusTest, formtest::StoredSkins(),
                         [](const auto& info) { return formtest::ShortSkinName(info.param); });

TEST(Menus, ApplicationHandlersAreKept) {
  auto f = MainWindow("Dusk (internal)");
  TsSkinableMenus* menus = f->SkinManager->SkinableMenus();
  TPopupMenu popup(nullptr);
  auto* own = new TMenuItem(nullptr);
  own->SetCaption("Own");
  int measured = 0;
  own->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) { ++measured, w = 77, h = 33; };
  auto* plain = new TMenuItem(nullptr);
  plain->SetCaption("Plain");
  popup.Items()->Add(own);
  popup.Items()->Add(plain);
  menus->HookPopupMenu(&popup, true);
  EXPECT_FALSE(HandlerOwnedBy(own->OnMeasureItem, menus));
  EXPECT_TRUE(HandlerOwnedBy(own->OnAdvancedDrawItem, menus));
  EXPECT_TRUE(HandlerOwnedBy(plain->OnMeasureItem, menus));
  TCanvas canvas;
  TWindowDC screen(nullptr);
  TCanvasDC bound(canvas, screen.Get());
  int w = 0, h = 0;
  own->MeasureItem(&canvas, w, h);
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(w, 77);
  menus->HookPopupMenu(&popup, false);
  ASSERT_TRUE(own->OnMeasureItem);
  EXPECT_FALSE(own->OnAdvancedDrawItem);
  EXPECT_FALSE(plain->OnMeasureItem);
  EXPECT_FALSE(popup.OwnerDraw());
}

TEST(Menus, WithoutSkinnedPopupsNothingIsOwnerDrawn) {
  auto f = MainWindow("Dusk (internal)");
  TsSkinManager* m = f->SkinManager;
  m->SetSkinnedPopups(false);
  m->SkinableMenus()->ReapplyOwnerDraw();
  EXPECT_FALSE(m->SkinableMenus()->Active());
  HMENU bar = GetMenu(f->Handle());
  for (HMENU menu : {bar, f->PopupMenu1->Handle()})
    for (int i = 0; i < GetMenuItemCount(menu); ++i) EXPECT_FALSE(OwnerDrawn(menu, i)) << i;
  // "&File" is the framework's again: no item keeps the skin's handlers (the framework itself
  // draws the items of a menu with images).
  TMenuItem* file = f->mnuMain->Items()->Find("&File");
  ASSERT_EQ(file->Count(), 4);
  auto skinHandled = [&](TMenuItem* item) {
    return HandlerOwnedBy(item->OnAdvancedDrawItem, m->SkinableMenus()) ||
           HandlerOwnedBy(item->OnMeasureItem, m->SkinableMenus());
  };
  for (int i = 0; i < file->Count(); ++i) EXPECT_FALSE(skinHandled(file->Items(i))) << i;
  // And back.
  m->SetSkinnedPopups(true);
  EXPECT_TRUE(m->SkinableMenus()->Active());
  for (int i = 0; i < GetMenuItemCount(bar); ++i) EXPECT_TRUE(OwnerDrawn(bar, i)) << i;
  for (int i = 0; i < file->Count(); ++i) EXPECT_TRUE(skinHandled(file->Items(i))) << i;
}

// A bar item painted by the skinned menus into a window-sized bitmap at its place on the
// window, as the frame painting does: the colours of the pixels that differ from the menu line
// behind it, and the columns they span (relative to the item).
struct TBarPaint {
  std::set<COLORREF> Colors;
  int First = -1, Last = -1, Width = 0;
};
TBarPaint PaintBarItem(TMainForm* f, int pos, TOwnerDrawState state = 0) {
  TBarPaint out;
  RECT ir{};
  EXPECT_TRUE(GetMenuItemRect(f->Handle(), GetMenu(f->Handle()), static_cast<UINT>(pos), &ir));
  const RECT wr = WindowRectOf(f->Handle());
  const TRect r{ir.left - wr.left, ir.top - wr.top, ir.right - wr.left, ir.bottom - wr.top};
  out.Width = r.Width();
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(wr.right - wr.left, wr.bottom - wr.top);
  f->SkinManager->SkinableMenus()->PaintMenuLineItem(f->mnuMain->Items()->Items(pos), b.Canvas(), r, state);
  TsMenuLineSpot spot;
  EXPECT_TRUE(SkinableMenusLinks().MenuLineBackground(f->Handle(), b.Canvas()->GetHandle(), r, spot));
  if (spot.Line == nullptr) return out;
  for (int x = 0; x < r.Width(); ++x)
    for (int y = 0; y < r.Height(); ++y) {
      const COLORREF c = GetPixel(b.Canvas()->GetHandle(), r.Left + x, r.Top + y);
      if (c == GetPixel(spot.Line->Canvas()->GetHandle(), spot.ItemInLine.X + x, spot.ItemInLine.Y + y)) continue;
      out.Colors.insert(c);
      if (out.First < 0) out.First = x;
      out.Last = x;
    }
  return out;
}

TEST(Menus, BarItemTextTakesTheLinesColourInTheFormsStateAndTheAlignment) {
  auto f = MainWindow("Linden (internal)");
  const TsGeneralData& line = Section(f->SkinManager, "MENULINE");
  const COLORREF activeText = line.Props[1].FontColor[0] & 0xFFFFFF, idleText = line.Props[0].FontColor[0] & 0xFFFFFF;
  ASSERT_NE(activeText, idleText);
  // "&File", not selected, on the active form: the line's active text colour, centred.
  TBarPaint p = PaintBarItem(f.get(), 0);
  EXPECT_TRUE(p.Colors.count(activeText));
  EXPECT_FALSE(p.Colors.count(idleText));
  ASSERT_GE(p.First, 0);
  EXPECT_LE(std::abs(p.First - (p.Width - 1 - p.Last)), 2) << p.First << " " << p.Last << " of " << p.Width;
  // A selected item keeps the line's colours over the selection.
  EXPECT_TRUE(PaintBarItem(f.get(), 0, odSelected).Colors.count(activeText));
  // The inactive form's line: its normal text colour.
  f->SkinProvider->FormActive = false;
  p = PaintBarItem(f.get(), 0);
  EXPECT_TRUE(p.Colors.count(idleText));
  EXPECT_FALSE(p.Colors.count(activeText));
  f->SkinProvider->FormActive = true;
  // Right-aligned captions end at the item's margin.
  TsSkinableMenus* menus = f->SkinManager->SkinableMenus();
  menus->Alignment = taRightJustify;
  const TBarPaint right = PaintBarItem(f.get(), 0);
  menus->Alignment = taLeftJustify;
  EXPECT_GT(right.First, p.First);
  EXPECT_GE(right.Last, right.Width - 1 - menus->Margin - 2);
  // A menu bar no skinned form shows is left alone.
  TMainMenu loose(nullptr);
  auto* item = new TMenuItem(nullptr);
  item->SetCaption("Loose");
  loose.Items()->Add(item);
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(60, 20);
  b.Canvas()->Brush()->SetColor(clFuchsia);
  b.Canvas()->FillRect(TRect{0, 0, 60, 20});
  menus->PaintMenuLineItem(item, b.Canvas(), TRect{0, 0, 60, 20}, 0);
  for (int x = 0; x < 60; x += 7)
    for (int y = 0; y < 20; y += 3) ASSERT_EQ(GetPixel(b.Canvas()->GetHandle(), x, y), 0xFF00FFu) << x << "," << y;
}

// ---------------------------------------------------------------------------------------------
// Fixture skins: a border mask through "PARENTCLASS", check glyphs without "CHECK", a mask
// without cut-outs.

class MenuFixture : public ::testing::Test {
protected:
  void Load(const char* skin) {
    M = formtest::ManagerWith(ORBEX_LOADER_FIXTURES, skin);
    ASSERT_TRUE(M->SkinData().Active);
    Menus = M->SkinableMenus();
    ASSERT_TRUE(Menus->Active());
    for (const char* caption : {"Box", "Radio", "Plain"}) {
      auto* item = new TMenuItem(nullptr);
      item->SetCaption(caption);
      Popup.Items()->Add(item);
    }
    Popup.Items()->Items(0)->SetChecked(true);
    Popup.Items()->Items(1)->SetRadioItem(true);
    Popup.Items()->Items(1)->SetChecked(true);
    Menus->HookPopupMenu(&Popup, true);
  }
  TMenuItem* AddItem(const char* caption) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    Popup.Items()->Add(item);
    return item;
  }
  // Paints `item` into a bitmap of `w` x `h` of its own, a DC no popup window owns; the border
  // request this posts and the background built for it are taken back.
  std::unique_ptr<TBitmap> PaintAlone(TMenuItem* item, int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(TPixelFormat::pf32bit);
    b->SetSize(w, h);
    Menus->PaintPopupItem(item, b->Canvas(), TRect{0, 0, w, h}, 0);
    MSG m;
    while (PeekMessageA(&m, Application->Handle(), WM_POPUPITEMPAINTED, WM_POPUPWINDOWKNOWN, PM_REMOVE)) {
    }
    TsSkinableMenus::ClearPopupInfo();
    return b;
  }
  // "-Group-" shows "Group" centred in `text` on `fill`; a divider is 2 high, its top row a
  // line of `line` inside the margins, the rest of it not.
  void CheckCaptionAndDivider(COLORREF fill, COLORREF text, COLORREF line) {
    TMenuItem* caption = AddItem("-Group-");
    TMenuItem* divider = AddItem("-");
    constexpr int W = 120;
    auto c = PaintAlone(caption, W, 20);
    HDC dc = c->Canvas()->GetHandle();
    EXPECT_EQ(GetPixel(dc, 3, 2), fill);
    // The text's columns: whatever differs from the fill inside the section's edge (the
    // letters are smoothed), and the text colour among them.
    int first = -1, last = -1;
    bool inText = false;
    for (int x = 2; x < W - 2; ++x)
      for (int y = 2; y < 18; ++y)
        if (const COLORREF p = GetPixel(dc, x, y); p != fill) {
          inText = inText || p == text;
          if (first < 0) first = x;
          last = x;
        }
    EXPECT_TRUE(inText);
    ASSERT_GE(first, 0);
    SIZE group{};
    {
      TSelectObject sel(dc, Menus->CaptionFont()->GetHandle());
      GetTextExtentPoint32A(dc, "Group", 5, &group);
    }
    EXPECT_LE(last - first + 1, group.cx + 1);
    EXPECT_GE(last - first + 1, group.cx - 4);
    EXPECT_LE(std::abs(first - (W - 1 - last)), 2) << first << " " << last;
    TWindowDC screen(nullptr);
    TCanvas canvas;
    TCanvasDC bound(canvas, screen.Get());
    int w = 0, h = 0;
    Menus->MeasurePopupItem(divider, &canvas, w, h);
    EXPECT_EQ(h, 2);
    auto d = PaintAlone(divider, W, 2);
    dc = d->Canvas()->GetHandle();
    EXPECT_EQ(GetPixel(dc, W / 2, 0), line);
    EXPECT_NE(GetPixel(dc, W / 2, 1), line);
    EXPECT_NE(GetPixel(dc, Menus->Margin, 0), line);
    EXPECT_NE(GetPixel(dc, W - 1 - Menus->Margin, 0), line);
  }
  // The colour in the check glyph's place of item `pos` of the open popup.
  COLORREF GlyphPixel(int pos) {
    const RECT r = MenuItemRect(Popup.Handle(), pos);
    return ScreenPixel(r.left + Menus->Margin + 5, (r.top + r.bottom) / 2);
  }
  std::unique_ptr<TsSkinManager> M;
  TsSkinableMenus* Menus = nullptr;
  TImageList Images{nullptr};
  TPopupMenu Popup{nullptr};
};

constexpr COLORREF Red = 0x0000FF, Blue = 0xFF0000, Cyan = 0xFFFF00, Yellow = 0x00FFFF;

TEST_F(MenuFixture, InheritedBorderMaskCutsCornersAndGivesItsWidth) {
  Load("MenuInherit");
  // The mask comes through "PARENTCLASS": its width counts, so items keep off the border.
  EXPECT_EQ(Menus->GetSkinBorderWidth(), 4);
  ASSERT_TRUE(WithOpenMenu([&] { Popup.Popup(120, 120); },
                           [&](HWND popup) {
                             EXPECT_EQ(TsSkinableMenus::PopupInfoCount(), 1);
                             // Corners cut, the next pixel kept.
                             EXPECT_EQ(InRegion(popup, {{0, 0}, {-1, 0}, {-1, -1}, {1, 0}}), "0001");
                             // No "CHECK": a checked item shows "BOXCHECKED", a radio item
                             // "RADIOCHECKED".
                             EXPECT_EQ(GlyphPixel(0), Red);
                             EXPECT_EQ(GlyphPixel(1), Blue);
                             EXPECT_NE(GlyphPixel(2), Red);
                           }));
  EXPECT_EQ(TsSkinableMenus::PopupInfoCount(), 0);
}

TEST_F(MenuFixture, MaskWithoutCutOutsLosesOnlyTheFirstPixel) {
  Load("MenuSquare");
  EXPECT_EQ(Menus->GetSkinBorderWidth(), 4);
  ASSERT_TRUE(WithOpenMenu([&] { Popup.Popup(120, 120); },
                           [&](HWND popup) {
                             EXPECT_EQ(InRegion(popup, {{0, 0}, {-1, 0}, {0, -1}}), "011");
                             // With "CHECK" a checked item shows it.
                             EXPECT_EQ(GlyphPixel(0), Blue);
                           }));
}

TEST_F(MenuFixture, CheckedImageSitsOnThePressedSmallButton) {
  Load("MenuSquare");
  TBitmap picture;
  picture.SetPixelFormat(TPixelFormat::pf32bit);
  picture.SetSize(16, 16);
  picture.Canvas()->Brush()->SetColor(TColor(Red));
  picture.Canvas()->FillRect(TRect{0, 0, 16, 16});
  Images.SetSize(16, 16);
  ASSERT_EQ(Images.Add(&picture, nullptr), 0);
  Popup.SetImages(&Images);
  TMenuItem* item = Popup.Items()->Items(2);
  item->SetImageIndex(0);
  constexpr int H = 24, At = (H - 16) / 2;
  auto plain = PaintAlone(item, 120, H);
  item->SetChecked(true);
  auto checked = PaintAlone(item, 120, H);
  HDC dc = checked->Canvas()->GetHandle();
  EXPECT_EQ(GetPixel(dc, At + 8, At + 8), Red);
  // The button's pressed frame shows one pixel around the image, and no further.
  for (auto [x, y] : {std::pair{At - 1, At + 8}, {At + 16, At + 8}, {At + 8, At - 1}, {At + 8, At + 16}})
    EXPECT_EQ(GetPixel(dc, x, y), Cyan) << x << "," << y;
  EXPECT_NE(GetPixel(dc, At - 2, At + 8), Cyan);
  EXPECT_NE(GetPixel(plain->Canvas()->GetHandle(), At - 1, At + 8), Cyan);
  Popup.SetImages(nullptr);
}

// Caption items on "MENUCAPTION", else on "TOOLBAR"; dividers from "DIVIDERV", else a line in
// the border colour, the button shadow when that is the key colour.
TEST_F(MenuFixture, CaptionAndDividerFromTheirSections) {
  Load("MenuSquare");
  CheckCaptionAndDivider(Yellow, 0x800000, 0x0080FF);
}

TEST_F(MenuFixture, CaptionOnTheToolBarAndDividerInTheBorderColour) {
  Load("MenuInherit");
  CheckCaptionAndDivider(Cyan, 0x000080, 0x00A000);
}

TEST_F(MenuFixture, DividerInTheButtonShadowForTheKeyColour) {
  Load("MenuKeyLine");
  TMenuItem* divider = AddItem("-");
  auto d = PaintAlone(divider, 120, 2);
  EXPECT_EQ(GetPixel(d->Canvas()->GetHandle(), 60, 0), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(MenuFixture, ItemPaintedWithoutItsWindowPostsItsCommandNumberOnce) {
  Load("MenuInherit");
  HWND app = Application->Handle();
  MSG m;
  while (PeekMessageA(&m, app, WM_POPUPITEMPAINTED, WM_POPUPWINDOWKNOWN, PM_REMOVE)) {
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf32bit);
  bitmap->SetSize(120, 24);
  TMenuItem* item = Popup.Items()->Items(2);
  // A memory DC belongs to no window: the item cannot reach the popup's border itself.
  Menus->PaintPopupItem(item, bitmap->Canvas(), TRect{0, 0, 120, 24}, 0);
  Menus->PaintPopupItem(item, bitmap->Canvas(), TRect{0, 0, 120, 24}, 0);
  ASSERT_TRUE(PeekMessageA(&m, app, WM_POPUPITEMPAINTED, WM_POPUPITEMPAINTED, PM_REMOVE));
  EXPECT_EQ(m.lParam, static_cast<LPARAM>(item->Command()));
  EXPECT_FALSE(PeekMessageA(&m, app, WM_POPUPITEMPAINTED, WM_POPUPWINDOWKNOWN, PM_REMOVE));
  TsSkinableMenus::ClearPopupInfo();
}

TEST_F(MenuFixture, ExtraLineWidensFirstColumnAndDrawsIntoTheEnginesGlyph) {
  Load("MenuInherit");
  int calls = 0;
  TBitmap* handed = nullptr;
  M->OnGetMenuExtraLineData = [&](TMenuItem*, std::string&, std::string& caption, TBitmap* glyph, bool&) {
    ++calls;
    handed = glyph;
    if (glyph != nullptr) glyph->SetSize(8, 8);
    caption = "&File";
  };
  TMenuItem* plain = Popup.Items()->Items(2);
  TWindowDC screen(nullptr);
  TCanvas canvas;
  TCanvasDC bound(canvas, screen.Get());
  int w0 = 0, h0 = 0, w1 = 0, h1 = 0;
  Menus->MeasurePopupItem(plain, &canvas, w0, h0);
  EXPECT_EQ(calls, 1);   // asked even while the line is off
  M->MenuSupport()->UseExtraLine = true;
  Menus->MeasurePopupItem(plain, &canvas, w1, h1);
  EXPECT_EQ(calls, 2);
  ASSERT_NE(handed, nullptr);
  EXPECT_EQ(w1 - w0, M->MenuSupport()->ExtraLineWidth);
  // The system menu's skin list never asks and never shows the line.
  Popup.Items()->Items(0)->SetName("SkinSelectItem");
  int w2 = 0, h2 = 0;
  Menus->MeasurePopupItem(plain, &canvas, w2, h2);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(w2, w0);
  // A later column has no extra line.
  Popup.Items()->Items(0)->SetName("");
  plain->SetBreak(mbBreak);
  int w3 = 0, h3 = 0;
  Menus->MeasurePopupItem(plain, &canvas, w3, h3);
  EXPECT_EQ(w3, w0);
}

// ---------------------------------------------------------------------------------------------
// Popup windows wrapped by the popup-menu adapter.

bool OpenFileMenu(TMainForm* f, std::function<void(HWND)> inspect) {
  return WithOpenMenu([&] { PostMessageA(f->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f'); }, std::move(inspect));
}

// The popup's layered state: whether it is layered, and its alpha when it is.
struct TFade {
  bool Layered = false;
  BYTE Alpha = 255;
};
TFade FadeOf(HWND popup) {
  TFade f;
  f.Layered = (GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  DWORD flags = 0;
  if (f.Layered) GetLayeredWindowAttributes(popup, nullptr, &f.Alpha, &flags);
  return f;
}

TEST(PopupWindow, FileMenuWindowIsWrappedOnceAndAnswersTheSkin) {
  auto f = MainWindow("Dusk (internal)");
  const COLORREF face = Section(f->SkinManager, "MAINMENU").Color & 0xFFFFFF;
  ASSERT_TRUE(OpenFileMenu(f.get(), [&](HWND popup) {
    EXPECT_NE(GetPropA(popup, "LXSBSC"), nullptr);
    ASSERT_EQ(SkinnedPopupMenus().size(), 1u);
    EXPECT_EQ(SkinnedPopupMenus()[0]->Handle(), popup);
    EXPECT_EQ(SendSkinCommand(popup, SkinCmdIsSkinned), 1);
    EXPECT_EQ(SendSkinCommand(popup, SkinCmdQueryAppObject), reinterpret_cast<LRESULT>(Application));
    SendSkinCommand(popup, SkinCmdPopupState);
    EXPECT_EQ(SendSkinCommand(popup, SkinCmdHoldPaint), 1);
    // Erasing into a DC of no window paints the skin's menu face and takes the repaint back.
    RECT c{};
    GetClientRect(popup, &c);
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf32bit);
    b.SetSize(c.right, c.bottom);
    SendMessageA(popup, WM_ERASEBKGND, reinterpret_cast<WPARAM>(b.Canvas()->GetHandle()), 0);
    EXPECT_EQ(SendSkinCommand(popup, SkinCmdHoldPaint), 0);
    EXPECT_EQ(GetPixel(b.Canvas()->GetHandle(), c.right / 2, c.bottom / 2), face);
  }));
}

TEST(PopupWindow, TheMenusAlphaBlendFadesThePopupIn) {
  auto f = MainWindow("Dusk (internal)");
  for (const auto& [alpha, layered] : {std::pair{255, false}, std::pair{200, true}}) {
    f->SkinManager->MenuSupport()->AlphaBlend = alpha;
    TFade fade;
    ASSERT_TRUE(OpenFileMenu(f.get(), [&](HWND popup) { fade = FadeOf(popup); }));
    EXPECT_EQ(fade.Layered, layered) << alpha;
    if (layered) {
      EXPECT_EQ(fade.Alpha, alpha);
    }
  }
}

// The skin measures the item but never paints it, so no background is built for the popup.
TEST(PopupWindow, APopupTheApplicationDrawsEndsVisible) {
  auto f = MainWindow("Dusk (internal)");
  TPopupMenu popup(nullptr);
  auto* item = new TMenuItem(nullptr);
  item->SetCaption("Own");
  item->OnAdvancedDrawItem = [](TObject*, TCanvas* canvas, const TRect& r, TOwnerDrawState) { canvas->FillRect(r); };
  popup.Items()->Add(item);
  f->SkinManager->SkinableMenus()->HookPopupMenu(&popup, true);
  TFade fade;
  ASSERT_TRUE(WithOpenMenu([&] { popup.Popup(120, 120); }, [&](HWND w) { fade = FadeOf(w); }));
  EXPECT_TRUE(!fade.Layered || fade.Alpha != 0);
}

TEST(PopupWindow, WithoutSkinnedPopupsNothingIsWrapped) {
  auto f = MainWindow("Dusk (internal)");
  f->SkinManager->SetSkinnedPopups(false);
  ASSERT_TRUE(WithOpenMenu([&] { f->PopupMenu1->Popup(200, 160); }, [&](HWND popup) {
    EXPECT_EQ(GetPropA(popup, "LXSBSC"), nullptr);
    EXPECT_TRUE(SkinnedPopupMenus().empty());
  }));
}

}  // namespace
