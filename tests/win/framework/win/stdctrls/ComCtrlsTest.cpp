// Status bar, tool bar and cool bar: the system controls under the framework's class names,
// panels as parts, tool buttons with images as system buttons inside a cool-bar band, clicks,
// drop-down menus and custom drawing; bands the cool bar makes for controls placed in it without
// one, and controls whose window is made anew staying in their band.
#include <gtest/gtest.h>

#include <string>

#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/ImgList.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

std::string WindowClass(HWND h) {
  char buf[64] = {};
  ::GetClassNameA(h, buf, sizeof(buf));
  return buf;
}

std::string PartText(HWND bar, int i) {
  char buf[128] = {};
  LRESULT r = ::SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(i), 0);
  if (LOWORD(r) >= sizeof(buf)) return "<too long>";
  ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
  return buf;
}

TImageList* MakeImages(TComponent* owner, int count, int size) {
  auto* images = new TImageList(owner);
  images->SetSize(size, size);
  static const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};
  for (int i = 0; i < count; ++i) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::pf24bit);
    bmp.SetSize(size, size);
    bmp.Canvas()->Brush()->SetColor(colours[i % 6]);
    bmp.Canvas()->FillRect(Rect(0, 0, size, size));
    images->Add(&bmp, nullptr);
  }
  return images;
}

// Closes the open menu from inside its loop.
void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::EndMenu();
}

}  // namespace

TEST(StatusBar, FivePanelsBecomeFiveParts) {
  auto form = fwtest::MakeForm(400, 300);
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  const int widths[] = {60, 60, 70, 50, 50};
  const char* texts[] = {"0.1s/div", "HOLD", "5mV/div", "x1", "AC"};
  for (int i = 0; i < 5; ++i) {
    TStatusPanel* p = bar->Panels()->Add();
    p->SetWidth(widths[i]);
    p->SetText(texts[i]);
  }
  form->Show();
  HWND h = bar->Handle();
  EXPECT_EQ(WindowClass(h), "TStatusBar");
  int edges[8] = {};
  ASSERT_EQ(::SendMessageA(h, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
  EXPECT_EQ(edges[0], 60);
  EXPECT_EQ(edges[1], 120);
  EXPECT_EQ(edges[2], 190);
  EXPECT_EQ(edges[3], 240);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(PartText(h, i), texts[i]);
  // Aligned to the bottom of the form, full width.
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(bar->Width(), form->ClientWidth());

  bar->Panels()->Items(1)->SetText("MEMORY");
  EXPECT_EQ(PartText(h, 1), "MEMORY");
  bar->Panels()->Items(2)->SetAlignment(taCenter);
  EXPECT_EQ(PartText(h, 2), "\t5mV/div");
  bar->SetSimplePanel(true);
  bar->SetSimpleText("simple");
  EXPECT_NE(::SendMessageA(h, SB_ISSIMPLE, 0, 0), 0);
  bar->SetSimplePanel(false);
  bar->Panels()->Delete(4);
  EXPECT_EQ(::SendMessageA(h, SB_GETPARTS, 0, 0), 4);
  // Panels added while the bar has its window: the bar hears of each one only once it is
  // whole (its text not yet made would otherwise be read).
  for (int i = 0; i < 20; ++i) bar->Panels()->Add()->SetWidth(10);
  ASSERT_EQ(::SendMessageA(h, SB_GETPARTS, 0, 0), 24);
  EXPECT_EQ(PartText(h, 23), "");
  EXPECT_EQ(PartText(h, 3), "x1");
}

TEST(StatusBar, OwnerDrawnPanelsGoThroughOnDrawPanel) {
  auto form = fwtest::MakeForm(400, 300);
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  bar->Panels()->Add()->SetWidth(100);
  TStatusPanel* drawnPanel = bar->Panels()->Add();
  drawnPanel->SetStyle(psOwnerDraw);
  std::vector<TStatusPanel*> drawn;
  bar->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* p, const TRect& r) {
    EXPECT_EQ(sb, bar);
    EXPECT_GT(r.Width(), 0);
    sb->Canvas()->FillRect(r);
    drawn.push_back(p);
  };
  form->Show();
  ::RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), drawnPanel);
}

TEST(ToolBar, ButtonsWithImagesInACoolBarBand) {
  auto form = fwtest::MakeForm(500, 300);
  TImageList* images = MakeImages(form.get(), 3, 32);
  auto* cool = new TCoolBar(form.get());
  cool->SetParent(form.get());
  cool->SetAutoSize(true);
  cool->SetEdgeBorders(ebTop | ebBottom);
  auto* bar = new TToolBar(form.get());
  bar->SetParent(cool);
  bar->SetFlat(true);
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(67);
  bar->SetButtonHeight(52);
  bar->SetImages(images);
  const char* captions[] = {"Connect", "", "Capture"};
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 3; ++i) {
    auto* b = new TToolButton(form.get());
    b->SetParent(bar);
    b->SetCaption(captions[i]);
    if (i == 1) b->SetStyle(tbsSeparator);
    else b->SetImageIndex(i);
    buttons.push_back(b);
  }
  TCoolBand* band = cool->Bands()->Add();
  band->SetMinHeight(52);
  band->SetControl(bar);
  form->Show();

  HWND hb = bar->Handle();
  HWND hc = cool->Handle();
  EXPECT_EQ(WindowClass(hb), "TToolBar");
  EXPECT_EQ(WindowClass(hc), "TCoolBar");
  EXPECT_EQ(::GetParent(hb), hc);
  ASSERT_EQ(::SendMessageA(hb, TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(hb, TB_GETIMAGELIST, 0, 0)),
            images->GetHandle());
  TBBUTTON tb{};
  ASSERT_TRUE(::SendMessageA(hb, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&tb)));
  EXPECT_EQ(tb.iBitmap, 2);
  ASSERT_TRUE(::SendMessageA(hb, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&tb)));
  EXPECT_NE(tb.fsStyle & BTNS_SEP, 0);
  RECT r{};
  ASSERT_TRUE(::SendMessageA(hb, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ(r.bottom - r.top, 52);
  EXPECT_EQ(buttons[0]->BoundsRect(), ToTRect(r));

  ASSERT_EQ(::SendMessageA(hc, RB_GETBANDCOUNT, 0, 0), 1);
  REBARBANDINFOA bi{};
  bi.cbSize = REBARBANDINFOA_V6_SIZE;
  bi.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE;
  ASSERT_TRUE(::SendMessageA(hc, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&bi)));
  EXPECT_EQ(bi.hwndChild, hb);
  EXPECT_EQ(bi.cyMinChild, 52u);
  // AutoSize: the bar is as high as its row plus its top and bottom edges.
  int rows = static_cast<int>(::SendMessageA(hc, RB_GETBARHEIGHT, 0, 0));
  EXPECT_GE(rows, 52);
  EXPECT_EQ(cool->Height(), rows + 4);
  EXPECT_EQ(cool->Top(), 0);

  // A click on a button of the bar inside the band reaches the button.
  int clicks = 0;
  buttons[2]->OnClick = [&](TObject*) { ++clicks; };
  TRect br = buttons[2]->BoundsRect();
  LPARAM at = MAKELPARAM((br.Left + br.Right) / 2, (br.Top + br.Bottom) / 2);
  ::SendMessageA(hb, WM_MOUSEMOVE, 0, at);
  ::SendMessageA(hb, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(hb, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(clicks, 1);

  // A bar whose window is made anew stays in its band.
  bar->SetList(true);
  ASSERT_NE(bar->Handle(), hb);
  ASSERT_EQ(::SendMessageA(hc, RB_GETBANDCOUNT, 0, 0), 1);
  ASSERT_TRUE(::SendMessageA(hc, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&bi)));
  EXPECT_EQ(bi.hwndChild, bar->Handle());
  EXPECT_EQ(::SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
}

namespace {
// The child window of band `i` of a cool bar's window.
HWND BandChild(HWND cool, int i) {
  REBARBANDINFOA bi{};
  bi.cbSize = REBARBANDINFOA_V6_SIZE;
  bi.fMask = RBBIM_CHILD;
  if (!::SendMessageA(cool, RB_GETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&bi)))
    return reinterpret_cast<HWND>(-1);
  return bi.hwndChild;
}
}  // namespace

TEST(CoolBar, AControlWithoutABandGetsOneAndRejoinsItWhenItsWindowIsMadeAnew) {
  auto form = fwtest::MakeForm(500, 300);
  auto* cool = new TCoolBar(form.get());
  cool->SetParent(form.get());
  cool->SetBounds(0, 0, 500, 60);
  form->Show();
  HWND hc = cool->Handle();

  auto* edit = new TEdit(form.get());
  edit->SetParent(cool);
  ASSERT_EQ(cool->Bands()->Count(), 1);
  EXPECT_EQ(cool->Bands()->Items(0)->Control(), edit);
  ASSERT_EQ(::SendMessageA(hc, RB_GETBANDCOUNT, 0, 0), 1);
  EXPECT_EQ(BandChild(hc, 0), edit->Handle());
  // A control without a window gets no band; one with a band of its own gets no second one.
  auto* label = new TLabel(form.get());
  label->SetParent(cool);
  auto* panel = new TPanel(form.get());
  TCoolBand* panelBand = cool->Bands()->Add();
  panelBand->SetControl(panel);
  EXPECT_EQ(panel->Parent(), cool);
  ASSERT_EQ(cool->Bands()->Count(), 2);
  EXPECT_EQ(::SendMessageA(hc, RB_GETBANDCOUNT, 0, 0), 2);

  // Windows made anew rejoin their bands: the edit's and the panel's.
  HWND oldEdit = edit->Handle();
  edit->RecreateWnd();
  ASSERT_NE(edit->Handle(), oldEdit);
  EXPECT_EQ(BandChild(hc, 0), edit->Handle());
  HWND oldPanel = panel->Handle();
  panel->RecreateWnd();
  ASSERT_NE(panel->Handle(), oldPanel);
  EXPECT_EQ(BandChild(hc, 1), panel->Handle());
  EXPECT_EQ(BandChild(hc, 0), edit->Handle());

  // A band given the edit takes the place of the band made for it.
  TCoolBand* editBand = cool->Bands()->Add();
  editBand->SetMinHeight(30);
  editBand->SetControl(edit);
  ASSERT_EQ(cool->Bands()->Count(), 2);
  EXPECT_EQ(cool->Bands()->Items(0), panelBand);
  EXPECT_EQ(cool->Bands()->Items(1), editBand);
  EXPECT_EQ(BandChild(hc, 1), edit->Handle());
  // ... and an explicit band given a control another explicit band holds leaves that band empty.
  TCoolBand* third = cool->Bands()->Add();
  third->SetControl(panel);
  ASSERT_EQ(cool->Bands()->Count(), 3);
  EXPECT_EQ(panelBand->Control(), nullptr);
  EXPECT_EQ(cool->Bands()->FindBand(panel), third);
}

TEST(ToolBar, MouseClicksAndCheckButtons) {
  auto form = fwtest::MakeForm(300, 200);
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  auto* push = new TToolButton(form.get());
  push->SetParent(bar);
  auto* check = new TToolButton(form.get());
  check->SetParent(bar);
  check->SetStyle(tbsCheck);
  int clicks = 0;
  push->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, push);
    ++clicks;
  };
  form->Show();
  auto clickAt = [&](TToolButton* b) {
    TRect r = b->BoundsRect();
    LPARAM at = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    ::SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, at);
    ::SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
    fwtest::Pump(20);
  };
  clickAt(push);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(check->Down());
  clickAt(check);
  EXPECT_TRUE(check->Down());
  clickAt(check);
  EXPECT_FALSE(check->Down());
  check->SetDown(true);
  EXPECT_NE(::SendMessageA(bar->Handle(), TB_ISBUTTONCHECKED, 1, 0), 0);
  // Disabled buttons do not click.
  push->SetEnabled(false);
  clickAt(push);
  EXPECT_EQ(clicks, 1);
}

TEST(ToolBar, DropDownButtonOpensItsMenuAndCustomDrawIsAsked) {
  auto form = fwtest::MakeForm(300, 200);
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  auto* skin = new TToolButton(form.get());
  skin->SetParent(bar);
  skin->SetStyle(tbsDropDown);
  skin->SetCaption("Skin");
  auto* menu = new TPopupMenu(form.get());
  auto* light = new TMenuItem(form.get());
  light->SetCaption("&Light");
  menu->Items()->Add(light);
  skin->SetDropdownMenu(menu);
  int popups = 0;
  menu->OnPopup = [&](TObject* m) {
    ++popups;
    EXPECT_EQ(static_cast<TPopupMenu*>(m)->PopupComponent(), skin);
  };
  int barDraws = 0;
  int buttonDraws = 0;
  bar->OnCustomDraw = [&](TToolBar*, const TRect&, bool&) { ++barDraws; };
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton* b, TCustomDrawState, bool&) {
    EXPECT_EQ(b, skin);
    ++buttonDraws;
  };
  form->Show();
  ::RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(barDraws, 1);
  EXPECT_GE(buttonDraws, 1);

  // The system asks with TBN_DROPDOWN when the arrow is pressed.
  NMTOOLBARA nm{};
  nm.hdr.hwndFrom = bar->Handle();
  nm.hdr.idFrom = 0;
  nm.hdr.code = TBN_DROPDOWN;
  nm.iItem = 0;
  ::SetTimer(nullptr, 0, 200, &CloseMenuTimer);
  ::SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(popups, 1);
  // A button index that is not ours is ignored.
  nm.iItem = 7;
  EXPECT_EQ(::SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm)), 0);
  EXPECT_EQ(popups, 1);
}

TEST(ToolBar, FreeingButtonsAndTheBar) {
  auto form = fwtest::MakeForm(300, 200);
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  auto* a = new TToolButton(form.get());
  a->SetParent(bar);
  auto* b = new TToolButton(form.get());
  b->SetParent(bar);
  form->Show();
  EXPECT_EQ(bar->ButtonCount(), 2);
  delete a;
  EXPECT_EQ(bar->ButtonCount(), 1);
  EXPECT_EQ(::SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 1);
  EXPECT_EQ(b->Index(), 0);
  delete bar;   // frees its remaining button
  EXPECT_EQ(form->ComponentCount(), 0);
}

TEST(ToolBar, ImageListsAndEdgeBorders) {
  auto form = fwtest::MakeForm(300, 200);
  TImageList* normal = MakeImages(form.get(), 2, 16);
  TImageList* hot = MakeImages(form.get(), 2, 16);
  TImageList* disabled = MakeImages(form.get(), 2, 16);
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  bar->SetImages(normal);
  bar->SetHotImages(hot);
  bar->SetDisabledImages(disabled);
  auto* b = new TToolButton(form.get());
  b->SetParent(bar);
  b->SetImageIndex(1);
  form->Show();
  HWND h = bar->Handle();
  auto list = [h](UINT msg) { return reinterpret_cast<HIMAGELIST>(::SendMessageA(h, msg, 0, 0)); };
  EXPECT_EQ(list(TB_GETIMAGELIST), normal->GetHandle());
  EXPECT_EQ(list(TB_GETHOTIMAGELIST), hot->GetHandle());
  EXPECT_EQ(list(TB_GETDISABLEDIMAGELIST), disabled->GetHandle());

  // A freed image list leaves the bar; the button keeps its index but shows no image.
  delete hot;
  EXPECT_EQ(bar->HotImages(), nullptr);
  EXPECT_EQ(list(TB_GETHOTIMAGELIST), nullptr);
  delete normal;
  EXPECT_EQ(bar->Images(), nullptr);
  TBBUTTON tb{};
  ASSERT_TRUE(::SendMessageA(h, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&tb)));
  EXPECT_EQ(tb.iBitmap, I_IMAGENONE);
  EXPECT_EQ(b->ImageIndex(), 1);

  // Edge borders take room outside the client area: two pixels per edge.
  auto border = [h]() {
    RECT w{}, c{};
    ::GetWindowRect(h, &w);
    ::GetClientRect(h, &c);
    return TSize{(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
  };
  EXPECT_EQ(border(), (TSize{0, 2}));   // ebTop by default
  bar->SetEdgeBorders(ebLeft | ebTop | ebRight | ebBottom);
  EXPECT_EQ(border(), (TSize{4, 4}));
  bar->SetEdgeBorders(0);
  EXPECT_EQ(border(), (TSize{0, 0}));
}

TEST(ToolBar, HintsAndCustomDrawAnswers) {
  auto form = fwtest::MakeForm(300, 200);
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  auto* b = new TToolButton(form.get());
  b->SetParent(bar);
  b->SetHint(std::string(200, 'h'));   // longer than the system's 80-character buffer
  form->Show();

  NMTTDISPINFOA tip{};
  tip.hdr.hwndFrom = bar->Handle();
  tip.hdr.idFrom = 0;
  tip.hdr.code = TTN_GETDISPINFOA;
  ::SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  ASSERT_EQ(tip.lpszText, tip.szText);
  EXPECT_EQ(std::string(tip.szText), std::string(sizeof(tip.szText) - 1, 'h'));

  // Custom draw: without handlers the system draws; a handler may take the drawing over.
  NMTBCUSTOMDRAW cd{};
  cd.nmcd.hdr.hwndFrom = bar->Handle();
  cd.nmcd.hdr.code = NM_CUSTOMDRAW;
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  TWindowDC dc(bar->Handle());
  cd.nmcd.hdc = dc.Get();
  auto send = [&] {
    return ::SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&cd));
  };
  EXPECT_EQ(send(), CDRF_DODEFAULT);
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton* button, TCustomDrawState, bool& def) {
    EXPECT_EQ(button, b);
    def = false;
  };
  EXPECT_EQ(send(), CDRF_NOTIFYITEMDRAW);
  cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  cd.nmcd.dwItemSpec = 0;
  EXPECT_EQ(send(), CDRF_SKIPDEFAULT);
  cd.nmcd.dwItemSpec = 9;   // no such button: the system draws it
  EXPECT_EQ(send(), CDRF_DODEFAULT);
}
