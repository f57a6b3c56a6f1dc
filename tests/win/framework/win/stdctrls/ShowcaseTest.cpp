// The showcase form: a main menu with images, a tool bar with images in a cool bar, nested
// panels, a status bar with five panels, a combo box, buttons and labels, all drawn by the
// system. The test checks the layout; with ORBEX_SHOWCASE_SECONDS set in the environment the
// form stays on screen that long so that a screenshot can be taken of the display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/Dialogs.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

// Coloured tiles with a white letter, as stand-ins for the program's artwork.
TImageList* MakeTiles(TComponent* owner, int size, const char* letters) {
  auto* images = new TImageList(owner);
  images->SetSize(size, size);
  static const TColor colours[] = {0x2E8B57, 0x3C14DC, 0xB48246, 0x008CFF, 0x800080, 0x808000};
  for (int i = 0; letters[i] != '\0'; ++i) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::pf24bit);
    bmp.SetSize(size, size);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, size, size));
    c->Brush()->SetColor(colours[i % 6]);
    c->Pen()->SetColor(clBlack);
    c->Rectangle(1, 1, size - 1, size - 1);
    c->Font()->SetColor(clWhite);
    c->Font()->SetHeight(-(size * 2) / 3);
    c->Font()->SetStyle(fsBold);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    std::string s(1, letters[i]);
    TSize ext = c->TextExtent(s);
    c->TextOut((size - ext.cx) / 2, (size - ext.cy) / 2, s);
    images->AddMasked(&bmp, clFuchsia);
  }
  return images;
}

struct TShowcase {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TStatusBar* StatusBar = nullptr;
  TCoolBar* CoolBar = nullptr;
  TToolBar* ToolBar = nullptr;
  TPanel* DrawBuffer = nullptr;
  TPanel* Panel1 = nullptr;
  TPanel* Side = nullptr;
  TPaintBox* Scope = nullptr;
  TComboBox* Port = nullptr;

  TShowcase() {
    TForm* f = Form.get();
    f->SetCaption("Orbex framework showcase");
    f->SetBounds(20, 20, 740, 559);
    f->Font()->SetName("MS Sans Serif");
    f->Font()->SetHeight(-11);

    TImageList* il32 = MakeTiles(f, 32, "CDXHAS");
    TImageList* il16 = MakeTiles(f, 16, "CDXHA");

    auto* actions = new TActionList(f);
    actions->SetImages(il32);
    struct A {
      const char* Caption;
      const char* Hint;
      int Image;
      TShortCut Sc;
    };
    const A defs[] = {{"&Connect..", "Connect", 0, scCtrl | 'O'},
                      {"&Disconnect", "Disconnect", 1, scCtrl | VK_F4},
                      {"&Capture", "Export to bitmap", 2, VK_F6},
                      {"&Help", "", 3, VK_F1},
                      {"&About", "", -1, 0},
                      {"E&xit", "Close application", -1, scAlt | VK_F4}};
    std::vector<TAction*> a;
    for (const A& d : defs) {
      auto* act = new TAction(f);
      act->SetActionList(actions);
      act->SetCaption(d.Caption);
      act->SetHint(d.Hint);
      act->SetImageIndex(d.Image);
      act->SetShortCut(d.Sc);
      act->OnExecute = [](TObject*) {};
      a.push_back(act);
    }
    a[1]->SetEnabled(false);

    auto* menu = new TMainMenu(f);
    menu->SetImages(il16);
    auto addMenu = [&](const char* caption, std::vector<TAction*> items) {
      auto* top = new TMenuItem(f);
      top->SetCaption(caption);
      menu->Items()->Add(top);
      for (TAction* act : items) {
        auto* item = new TMenuItem(f);
        if (act != nullptr) item->SetAction(act);
        else item->SetCaption("-");
        top->Add(item);
      }
    };
    addMenu("&File", {a[0], a[1], nullptr, a[5]});
    addMenu("&Tools", {a[2]});
    addMenu("&Help", {a[3], a[4]});
    f->SetMenu(menu);

    auto* popup = new TPopupMenu(f);
    for (const char* c : {"&Light", "&Dark"}) {
      auto* item = new TMenuItem(f);
      item->SetCaption(c);
      popup->Items()->Add(item);
    }

    StatusBar = new TStatusBar(f);
    StatusBar->SetParent(f);
    const int widths[] = {60, 60, 70, 50, 50};
    const char* texts[] = {"0.1s/div", "HOLD", "5mV/div", "x1", "AC"};
    for (int i = 0; i < 5; ++i) {
      TStatusPanel* p = StatusBar->Panels()->Add();
      p->SetWidth(widths[i]);
      p->SetText(texts[i]);
    }

    CoolBar = new TCoolBar(f);
    CoolBar->SetParent(f);
    CoolBar->SetAutoSize(true);
    CoolBar->SetEdgeBorders(ebTop | ebBottom);
    ToolBar = new TToolBar(f);
    ToolBar->SetParent(CoolBar);
    ToolBar->SetButtonHeight(52);
    ToolBar->SetButtonWidth(67);
    ToolBar->SetFlat(true);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetShowHint(true);
    ToolBar->SetImages(il32);
    auto addButton = [&](TAction* act, TToolButtonStyle style) {
      auto* b = new TToolButton(f);
      b->SetParent(ToolBar);
      b->SetStyle(style);
      if (act != nullptr) b->SetAction(act);
      return b;
    };
    addButton(a[0], tbsButton);
    addButton(a[1], tbsButton);
    addButton(nullptr, tbsSeparator);
    addButton(a[2], tbsButton);
    addButton(nullptr, tbsSeparator);
    addButton(a[3], tbsButton);
    addButton(nullptr, tbsSeparator);
    TToolButton* skin = addButton(nullptr, tbsDropDown);
    skin->SetCaption("Skin");
    skin->SetImageIndex(5);
    skin->SetDropdownMenu(popup);
    TCoolBand* band = CoolBar->Bands()->Add();
    band->SetMinHeight(52);
    band->SetControl(ToolBar);

    Side = new TPanel(f);
    Side->SetParent(f);
    Side->SetAlign(alRight);
    Side->SetWidth(210);
    Side->SetBevelOuter(bvLowered);
    Side->SetBorderWidth(4);
    auto* heading = new TLabel(f);
    heading->SetParent(Side);
    heading->SetBounds(12, 12, 10, 10);
    heading->Font()->SetStyle(fsBold);
    heading->SetCaption("Select device");
    auto* portLabel = new TLabel(f);
    portLabel->SetParent(Side);
    portLabel->SetBounds(12, 44, 10, 10);
    portLabel->Font()->SetColor(clGray);
    portLabel->SetCaption("Port name:");
    Port = new TComboBox(f);
    Port->SetParent(Side);
    Port->SetBounds(80, 40, 115, 21);
    for (const char* p : {"COM3", "COM7", "COM12"}) Port->Items()->Add(p);
    Port->SetItemIndex(1);
    portLabel->SetFocusControl(Port);
    auto* ok = new TButton(f);
    ok->SetParent(Side);
    ok->SetBounds(12, 80, 88, 25);
    ok->SetCaption("&OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(f);
    cancel->SetParent(Side);
    cancel->SetBounds(107, 80, 88, 25);
    cancel->SetCaption("&Cancel");
    cancel->SetModalResult(mrCancel);
    auto* note = new TLabel(f);
    note->SetParent(Side);
    note->SetWordWrap(true);
    note->SetBounds(12, 120, 183, 10);
    note->SetCaption("Labels, buttons, combo box, edit and panels are the system's own controls.");
    auto* edit = new TEdit(f);
    edit->SetParent(Side);
    edit->SetBounds(12, 180, 183, 21);
    edit->SetText("Edit text");

    DrawBuffer = new TPanel(f);
    DrawBuffer->SetParent(f);
    DrawBuffer->SetAlign(alClient);
    DrawBuffer->SetBevelOuter(bvNone);
    DrawBuffer->SetBorderWidth(10);
    DrawBuffer->SetColor(clWhite);
    Panel1 = new TPanel(f);
    Panel1->SetParent(DrawBuffer);
    Panel1->SetAlign(alClient);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBorderWidth(2);
    Panel1->SetColor(clGray);
    Panel1->SetCaption("Panel1");
    Scope = new TPaintBox(f);
    Scope->SetParent(Panel1);
    Scope->SetAlign(alClient);
    Scope->OnPaint = [this](TObject*) { PaintScope(); };
  }

  void PaintScope() {
    TCanvas* c = Scope->Canvas();
    const int w = Scope->Width();
    const int h = Scope->Height();
    c->Brush()->SetColor(clBlack);
    c->FillRect(Rect(0, 0, w, h));
    c->Pen()->SetColor(0x565656);
    for (int i = 0; i < 256; i += 10) {
      int x = static_cast<int>(std::lround(i * (w / 256.0)));
      c->MoveTo(x, 0);
      c->LineTo(x, h);
    }
    for (int j = 0; j <= 40; j += 5) {
      int y = static_cast<int>(std::lround(j * (h / 40.0)));
      c->MoveTo(0, y);
      c->LineTo(w, y);
    }
    std::vector<TPoint> pts;
    for (int i = 0; i < 256; ++i) {
      double s = 128 + 90 * std::sin(i * 6.2831853 / 64.0);
      pts.push_back(TPoint{static_cast<int>(std::lround(i * (w / 256.0))),
                           static_cast<int>(std::lround(s * (h / 256.0)))});
    }
    c->Pen()->SetColor(0xD9701F);
    c->Polyline(pts);
  }
};

}  // namespace

TEST(Showcase, LaysOutBarsPanelsAndControls) {
  TShowcase s;
  s.Form->Show();
  fwtest::Pump(300);
  const TRect client = s.Form->ClientRect();
  // Cool bar on top (as high as its band), status bar at the bottom, panels between.
  EXPECT_EQ(s.CoolBar->Top(), 0);
  EXPECT_EQ(s.CoolBar->Width(), client.Width());
  EXPECT_GE(s.CoolBar->Height(), 52);
  EXPECT_EQ(s.StatusBar->Top() + s.StatusBar->Height(), client.Height());
  EXPECT_EQ(s.DrawBuffer->Top(), s.CoolBar->Height());
  EXPECT_EQ(s.DrawBuffer->Top() + s.DrawBuffer->Height(), s.StatusBar->Top());
  EXPECT_EQ(s.Side->Left(), s.DrawBuffer->Width());
  EXPECT_EQ(s.Panel1->BoundsRect(),
            Rect(10, 10, s.DrawBuffer->Width() - 10, s.DrawBuffer->Height() - 10));
  EXPECT_EQ(s.Scope->BoundsRect(), Rect(2, 2, s.Panel1->Width() - 2, s.Panel1->Height() - 2));
  EXPECT_EQ(::SendMessageA(s.StatusBar->Handle(), SB_GETPARTS, 0, 0), 5);
  EXPECT_EQ(::SendMessageA(s.ToolBar->Handle(), TB_BUTTONCOUNT, 0, 0), 8);
  EXPECT_EQ(::GetMenuItemCount(::GetMenu(s.Form->Handle())), 3);
  EXPECT_EQ(s.Port->Text(), "COM7");

  const char* seconds = std::getenv("ORBEX_SHOWCASE_SECONDS");
  const int wait = seconds != nullptr ? std::atoi(seconds) : 0;
  if (wait > 0) {
    ::SetForegroundWindow(s.Form->Handle());
    // Open the File menu for the picture, so that its owner-drawn items show; the menu's own
    // loop runs until the timer closes it shortly before the end.
    TTimer closer(nullptr);
    closer.SetInterval(static_cast<std::uint32_t>(wait) * 1000 - 500);
    closer.SetOnTimer([&](TObject*) {
      closer.SetEnabled(false);
      ::EndMenu();
    });
    ::PostMessageA(s.Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    fwtest::Pump(static_cast<DWORD>(wait) * 1000);
  }
}

TEST(Showcase, MessageFormShowsIconTextAndButtons) {
  // Pressed after a moment (or after ORBEX_SHOWCASE_SECONDS, for a screenshot of the form).
  const char* seconds = std::getenv("ORBEX_SHOWCASE_SECONDS");
  const int wait = seconds != nullptr ? std::atoi(seconds) : 0;
  TTimer presser(nullptr);
  presser.SetInterval(wait > 0 ? static_cast<std::uint32_t>(wait) * 1000 : 100);
  RECT okRect{};
  RECT textRect{};
  presser.SetOnTimer([&](TObject*) {
    HWND dlg = ::FindWindowA("TMessageForm", "Error");
    if (dlg == nullptr || !::IsWindowVisible(dlg)) return;
    HWND ok = ::FindWindowExA(dlg, nullptr, "TButton", "OK");
    if (ok == nullptr) return;
    presser.SetEnabled(false);
    ::GetWindowRect(ok, &okRect);
    ::GetClientRect(dlg, &textRect);
    ::MapWindowPoints(dlg, HWND_DESKTOP, reinterpret_cast<POINT*>(&textRect), 2);
    ::PostMessageA(ok, BM_CLICK, 0, 0);
  });
  int result = MessageDlg("Please select a device", TMsgDlgType::mtError, mbOK);
  EXPECT_EQ(result, mrOk);
  // The lone button sits centred at the bottom of the client area.
  EXPECT_GT(okRect.right, okRect.left);
  EXPECT_NEAR((okRect.left + okRect.right) / 2, (textRect.left + textRect.right) / 2, 1);
  EXPECT_EQ(textRect.bottom - okRect.bottom, 12);
}
