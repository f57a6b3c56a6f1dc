// The skinned frame of test forms, painted by calling the provider directly: title buttons in
// their mask frames by state without a cache rebuild, active and inactive and two skins apart,
// no system caption colour in the caption, the key-colour corners outside the window region,
// the button images by border style, the hit test and releases (a release whose command frees
// the provider, a minimize released on the caption), the menu line and its owner-draw bar. The
// skins are written by tests/fixtures/skins/make_frame_skins.py.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Menus.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

using formtest::ButtonCentre;
using formtest::ButtonPixel;
using formtest::CachePixel;
using formtest::ToScreen;

constexpr std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>((r << 16) | (g << 8) | b); }

class Frame : public formtest::TSkinnedFormTest {
protected:
  void SetUp() override {
    UseSkin(ORBEX_FRAME_SKINS, "FrameA");
  }
  void TearDown() override {
    Forms.clear();
    M.reset();
  }
  TsSkinProvider* Make(TFormBorderStyle style, TBorderIcons icons = biSystemMenu | biMinimize | biMaximize,
                       const std::string& caption = "") {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(style);
    form->SetBorderIcons(icons);
    form->SetBounds(60, 60, 740, 559);
    form->SetCaption(caption);
    TsSkinProvider* p = formtest::ShowWithFrame(form.get());
    Forms.push_back(std::move(form));
    return p;
  }
  // Middle of the caption strip, left of the buttons and right of the text.
  static TPoint TitlePoint(TsSkinProvider* p) {
    return TPoint{p->TitleButton(htcMinButton)->Rect.Left - 40, GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
  }
  std::vector<std::unique_ptr<TForm>> Forms;
};

TEST_F(Frame, CloseButtonShowsItsMaskFrameByStateWithoutACacheRebuild) {
  TsSkinProvider* p = Make(bsSizeable);
  const int builds = p->FrameCacheBuilds;
  ASSERT_GE(builds, 1);
  const TRect close = p->TitleButton(htcClose)->Rect;
  EXPECT_EQ(close.Right, p->SkinData()->CacheBitmap()->GetWidth() - 2 - GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(200, 0, 0));
  EXPECT_EQ(ButtonPixel(p, htcMaxButton), Rgb(0, 160, 0));
  EXPECT_EQ(ButtonPixel(p, htcMinButton), Rgb(0, 0, 200));
  const TResourceCount before = CountResources();
  p->SetHotElement(htcClose, true);
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(255, 90, 90));
  p->PressTitleButton(htcClose);
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(110, 0, 0));
  EXPECT_EQ(GetCapture(), p->Form()->Handle());
  // The window shows the pressed frame too.
  {
    TWindowDC dc(p->Form()->Handle(), TWindowDC::TArea::Window);
    const TPoint c = ButtonCentre(p, htcClose);
    EXPECT_EQ(GetPixel(dc.Get(), c.X, c.Y), RGB(110, 0, 0));
  }
  p->ReleaseTitleButton(htcCaption, ToScreen(p, TitlePoint(p)));   // released elsewhere: no action
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(200, 0, 0));
  EXPECT_EQ(p->FrameCacheBuilds, builds);
  p->PaintNonClient();
  EXPECT_EQ(p->FrameCacheBuilds, builds);
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

// Band masks show at full strength on an active form in every state; the inactive look is the
// normal frame drawn lighter over the caption.
TEST_F(Frame, BandMaskButtonsShowAsTheSkinHasThemExceptWhenInactive) {
  M->SetSkinName("FrameBand");
  TsSkinProvider* p = Make(bsSizeable);
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(200, 0, 0));
  p->SetHotElement(htcClose, true);
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(255, 90, 90));
  p->SetHotElement(0, true);
  p->FormActive = false;
  formtest::RepaintFrame(p);
  const std::uint32_t inactive = ButtonPixel(p, htcClose);
  EXPECT_NE(inactive, Rgb(200, 0, 0));
  EXPECT_GT(inactive & 0xFF, 0u) << "the caption shows through the lighter drawing";
}

TEST_F(Frame, ActiveInactiveAndSkinsDiffer) {
  TsSkinProvider* p = Make(bsSizeable);
  const TPoint t = TitlePoint(p);
  EXPECT_EQ(CachePixel(p, t.X, t.Y), Rgb(50, 80, 190));
  p->FormActive = false;
  formtest::RepaintFrame(p);
  EXPECT_EQ(CachePixel(p, t.X, t.Y), Rgb(150, 150, 150));
  p->FormActive = true;
  M->SetSkinName("FrameB");
  formtest::RepaintFrame(p);
  EXPECT_EQ(CachePixel(p, t.X, t.Y), Rgb(170, 120, 30));
  EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(0, 200, 0));
}

TEST_F(Frame, NoSystemCaptionColourInTheCaption) {
  TsSkinProvider* p = Make(bsSizeable, biSystemMenu | biMinimize | biMaximize, "Orbex test");
  p->PaintNonClient();
  EXPECT_EQ(formtest::SystemCaptionPixels(p->Form()->Handle()), 0);
  const int w = p->SkinData()->CacheBitmap()->GetWidth();
  const int strip = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  int found = 0;
  for (int y = 0; y < strip; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = CachePixel(p, x, y);
      found += formtest::SystemCaptionColour(RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)) ? 1 : 0;
    }
  EXPECT_EQ(found, 0);
}

TEST_F(Frame, KeyCornersLieOutsideTheRegion) {
  TsSkinProvider* p = Make(bsSizeable);
  p->PaintNonClient();
  EXPECT_EQ(formtest::InRegion(p->Form()->Handle(), {{0, 0}, {1, 0}, {-1, 0}, {0, -1}, {6, 6}, {740 / 2, 0}}),
            "000011");
}

TEST_F(Frame, ButtonImagesByBorderStyleAndSkin) {
  TsSkinProvider* single = Make(bsSingle, biSystemMenu);
  EXPECT_EQ(ButtonPixel(single, htcClose), Rgb(0, 160, 160));   // the close-alone image
  EXPECT_EQ(single->TitleButton(htcMaxButton)->State, -1);
  TsSkinProvider* dialog = Make(bsDialog, biSystemMenu);
  EXPECT_EQ(ButtonPixel(dialog, htcClose), Rgb(150, 30, 30));   // the small set
  EXPECT_EQ(dialog->TitleButton(htcClose)->Rect.Height(), 14);
  M->SetSkinName("FrameB");   // neither image: the large close serves both
  for (TsSkinProvider* p : {single, dialog}) {
    formtest::RepaintFrame(p);
    EXPECT_EQ(ButtonPixel(p, htcClose), Rgb(0, 200, 0));
    EXPECT_EQ(p->TitleButton(htcClose)->Rect.Height(), 18);
  }
}

TEST_F(Frame, GripOfAnImageWithoutImageCount) {
  M->SetSkinName("FrameB");
  TsSkinProvider* p = Make(bsSizeable);
  p->GripMode = gmRightBottom;
  formtest::RepaintFrame(p);
  TBitmap* cache = p->SkinData()->CacheBitmap();
  const int f = GetSystemMetrics(SM_CXFRAME);
  const TPoint grip{cache->GetWidth() - 12 - f - 1, cache->GetHeight() - 12 - f - 1};
  EXPECT_EQ(CachePixel(p, grip.X + 11, grip.Y + 11), Rgb(255, 255, 0));
  EXPECT_EQ(p->TitleHitTest(ToScreen(p, TPoint{grip.X + 8, grip.Y + 8})), htcBottomRight);
  EXPECT_EQ(p->TitleHitTest(ToScreen(p, TPoint{grip.X - 8, grip.Y + 8})), htcClient);
}

// A title button lit under the mouse is normal again, on the window too, once the mouse leaves
// it straight into the client area or off the window (drawn directly, without the animation
// that follows the mouse on its own).
TEST_F(Frame, ALitTitleButtonGoesOutWhenTheMouseLeavesTheFrame) {
  M->Effects()->SetAllowGlowing(false);
  TsSkinProvider* p = Make(bsSizeable);
  const HWND w = p->Form()->Handle();
  const RECT wr = formtest::WindowRectOf(w);
  const TPoint c = ToScreen(p, ButtonCentre(p, htcClose));
  const POINT close{c.X, c.Y};
  const auto onScreen = [](POINT at) {
    TWindowDC dc(nullptr);
    return GetPixel(dc.Get(), at.x, at.y);
  };
  formtest::MouseAt(formtest::BesideTheWindow(w));
  const COLORREF normal = onScreen(close);
  const struct {
    const char* name;
    POINT to;
  } leaves[] = {{"into the client area", POINT{(wr.left + wr.right) / 2, (wr.top + wr.bottom) / 2}},
                {"off the window", formtest::BesideTheWindow(w)}};
  for (const auto& leave : leaves) {
    SCOPED_TRACE(leave.name);
    formtest::MouseAt(close);
    ASSERT_EQ(p->HotElement, htcClose);
    ASSERT_NE(onScreen(close), normal);
    formtest::MouseAt(leave.to);
    EXPECT_EQ(p->HotElement, 0);
    EXPECT_EQ(p->TitleButton(htcClose)->State, 0);
    EXPECT_EQ(onScreen(close), normal);
  }
}

// The grip reaches the window, also over a client area the form paints in its flat colour.
TEST_F(Frame, TheGripShowsOnTheWindow) {
  M->SetSkinName("FrameB");
  TsSkinProvider* p = Make(bsSizeable);
  p->GripMode = gmRightBottom;
  formtest::RepaintFrame(p);
  RedrawWindow(p->Form()->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  formtest::Pump();
  const RECT w = formtest::WindowRectOf(p->Form()->Handle());
  const int f = GetSystemMetrics(SM_CXFRAME);
  const POINT corner{w.right - w.left - f - 2, w.bottom - w.top - f - 2};   // the grip's last pixel
  TWindowDC dc(p->Form()->Handle(), TWindowDC::TArea::Window);
  EXPECT_EQ(GetPixel(dc.Get(), corner.x, corner.y), RGB(255, 255, 0));
}

TEST_F(Frame, AUserButtonShowsItsHintWhileHot) {
  TsSkinProvider* p = Make(bsSizeable);
  TsTitleButton* record = p->TitleButtons()->Add();
  record->Hint = "Record the trace|Long text";
  p->TitleButtons()->Add();   // no hint
  formtest::RepaintFrame(p);
  p->SetHotElement(htcUserButton, true);
  ASSERT_NE(p->UserButtonHint(), nullptr);
  const HWND hint = p->UserButtonHint()->Handle();
  EXPECT_TRUE(IsWindowVisible(hint));
  EXPECT_NE(GetWindowLongA(hint, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetForegroundWindow(), hint);
  EXPECT_EQ(p->UserButtonHint()->Caption(), "Record the trace");
  p->SetHotElement(htcUserButton + 1, true);
  EXPECT_EQ(p->UserButtonHint(), nullptr);
  EXPECT_FALSE(IsWindow(hint));
}

TEST_F(Frame, TheFormsOwnPaintingGoesIntoTheCacheAtTheClient) {
  TsSkinProvider* p = Make(bsSizeable);
  TCustomForm* form = p->Form();
  form->OnPaint = [form](TObject*) { SetPixel(form->Canvas()->GetHandle(), 3, 2, RGB(1, 2, 3)); };
  formtest::RepaintFrame(p);
  const TPoint client = p->ClientOffset();
  EXPECT_EQ(CachePixel(p, client.X + 3, client.Y + 2), Rgb(1, 2, 3));
  EXPECT_NE(CachePixel(p, 3, 2), Rgb(1, 2, 3));
  form->OnPaint = nullptr;
}

TEST_F(Frame, GraphicChildrenArePaintedOverTheClientOnce) {
  TsSkinProvider* p = Make(bsSizeable);
  TCustomForm* form = p->Form();
  auto* box = new TPaintBox(form);
  box->SetParent(form);
  box->SetBounds(10, 20, 30, 40);
  int paints = 0;
  box->OnPaint = [box, &paints](TObject*) {
    ++paints;
    box->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(1, 2, 3)));
    box->Canvas()->FillRect(TRect{0, 0, box->Width(), box->Height()});
  };
  const std::unique_ptr<TBitmap> image = CreateBitmap32(form->Width(), form->Height());
  SendMessageA(form->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(image->Canvas()->GetHandle()), PRF_CLIENT);
  const TPoint client = p->ClientOffset();
  EXPECT_EQ(GetPixel(image->Canvas()->GetHandle(), client.X + 25, client.Y + 40) & 0xFFFFFF, RGB(1, 2, 3));
  EXPECT_EQ(paints, 1);
}

TEST_F(Frame, HitTestAndReleases) {
  TsSkinProvider* p = Make(bsSizeable, biSystemMenu | biMinimize | biMaximize | biHelp);
  for (int code : {htcClose, htcMaxButton, htcMinButton, htcHelp})
    EXPECT_EQ(p->TitleHitTest(ToScreen(p, ButtonCentre(p, code))), code);
  EXPECT_EQ(p->TitleHitTest(ToScreen(p, TitlePoint(p))), htcCaption);
  EXPECT_EQ(p->TitleHitTest(ToScreen(p, TPoint{GetSystemMetrics(SM_CXFRAME) + 8, TitlePoint(p).Y})), htcSysMenu);
  EXPECT_EQ(p->TitleHitTest(ToScreen(p, TPoint{370, 300})), htcClient);
  // A minimize press released on the caption does nothing and leaves the button normal.
  p->PressTitleButton(htcMinButton);
  p->ReleaseTitleButton(htcMinButton, ToScreen(p, TitlePoint(p)));
  EXPECT_FALSE(IsIconic(p->Form()->Handle()));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ButtonPixel(p, htcMinButton), Rgb(0, 0, 200));
}

// The window's close command frees the provider while its release is still running.
WNDPROC OuterPrevious = nullptr;
TsSkinProvider* FreedOnClose = nullptr;
LRESULT CALLBACK FreeingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE && FreedOnClose != nullptr) {
    delete FreedOnClose;
    FreedOnClose = nullptr;
    return 0;
  }
  return CallWindowProcA(OuterPrevious, w, msg, wp, lp);
}

TEST_F(Frame, ACloseThatFreesTheProviderEndsTheRelease) {
  TsSkinProvider* p = Make(bsSizeable);
  const HWND h = p->Form()->Handle();
  FreedOnClose = p;
  OuterPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FreeingProc)));
  p->PressTitleButton(htcClose);
  p->ReleaseTitleButton(htcClose, ToScreen(p, ButtonCentre(p, htcClose)));
  SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterPrevious));
  EXPECT_EQ(FreedOnClose, nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Forms.back()->ComponentCount(), 0);
}

TEST_F(Frame, MenuLineOwnerDrawnWhileSkinned) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* menu = NewComponent<TMainMenu>(form.get());
  for (const char* caption : {"&File", "&Help"}) {
    auto* item = NewComponent<TMenuItem>(menu);
    item->SetCaption(caption);
    item->Add(NewComponent<TMenuItem>(item));
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  form->SetBounds(60, 60, 740, 559);
  TsSkinProvider* p = formtest::ShowWithFrame(form.get());
  Forms.push_back(std::move(form));
  EXPECT_TRUE(menu->OwnerDraw());
  const int y = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) / 2;
  EXPECT_EQ(CachePixel(p, 700, y), Rgb(170, 210, 240));
  ASSERT_NE(p->MenuLineBitmap(), nullptr);
  // The system names a bar item that opens a popup by its command number in the item data:
  // drawn plain it shows the item's normal face (opaque "MENUITEM" colour in this skin; a
  // see-through one shows the menu line), drawn hot the selection's face.
  TMenuItem* file = menu->Items()->Items(0);
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = file->Command();
  mis.itemData = file->Command();
  ASSERT_TRUE(MenuMeasureItem(mis));
  EXPECT_EQ(mis.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU) - 1));
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf32bit);
  target.SetSize(60, y + 10);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = file->Command();
  dis.itemData = file->Command();
  dis.hDC = target.Canvas()->GetHandle();
  dis.rcItem = RECT{10, y - 5, 40, y + 5};
  ASSERT_TRUE(MenuDrawItem(dis));
  EXPECT_EQ(GetPixel(dis.hDC, 11, y - 4), RGB(180, 200, 180));
  dis.itemState = ODS_SELECTED;
  ASSERT_TRUE(MenuDrawItem(dis));
  EXPECT_EQ(GetPixel(dis.hDC, 11, y - 4), RGB(10, 20, 60));
  p->RedrawMenuLineItem(file, TRect{10, y - 5, 40, y + 5}, ODS_SELECTED);
  EXPECT_EQ(CachePixel(p, 11, y - 4), Rgb(10, 20, 60));
  M->SetActive(false);
  EXPECT_FALSE(menu->OwnerDraw());
}

// The bar's items are painted into the frame cache in the state the menu painter hides the
// accelerator underlines in, as the system asks while the keyboard is not in use.
TEST_F(Frame, MenuLineItemsArePaintedWithoutAcceleratorUnderlines) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* menu = NewComponent<TMainMenu>(form.get());
  std::vector<TOwnerDrawState> states;
  const struct {
    const char* caption;
    bool enabled;
    TOwnerDrawState expected;
  } items[] = {{"&File", true, odNoAccel}, {"&Help", false, odNoAccel | odGrayed | odDisabled}};
  for (const auto& i : items) {
    auto* item = NewComponent<TMenuItem>(menu);
    item->SetCaption(i.caption);
    item->SetEnabled(i.enabled);
    item->OnAdvancedDrawItem = [&states](TObject*, TCanvas*, const TRect&, TOwnerDrawState state) { states.push_back(state); };
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  form->SetBounds(60, 60, 740, 559);
  TsSkinProvider* p = formtest::ShowWithFrame(form.get());
  Forms.push_back(std::move(form));
  states.clear();
  formtest::RepaintFrame(p);
  ASSERT_EQ(states.size(), 2u);
  for (size_t i = 0; i < states.size(); ++i) EXPECT_EQ(states[i], items[i].expected) << items[i].caption;
}

// A form inside a panel starts its frame from the panel: the key-colour corners show it.
TEST_F(Frame, AFormInAPanelShowsThePanelInItsCorners) {
  auto host = std::make_unique<TForm>(nullptr);
  host->SetBounds(40, 40, 500, 400);
  host->Show();
  auto* panel = new TPanel(host.get());
  panel->SetParent(host.get());
  panel->SetBounds(10, 10, 460, 340);
  panel->SetColor(static_cast<TColor>(RGB(10, 200, 30)));
  auto child = std::make_unique<TForm>(nullptr);
  child->SetParent(panel);
  child->SetBounds(20, 20, 300, 200);
  TsSkinProvider* p = formtest::ShowWithFrame(child.get());
  formtest::RepaintFrame(p);
  EXPECT_EQ(CachePixel(p, 0, child->Height() - 1), Rgb(10, 200, 30));
  child.reset();
}

// A borderless form with a sizing frame shows its edges from the cache; a form that reads
// right to left has its caption at the right.
TEST_F(Frame, BorderlessSizingEdgesAndARightToLeftCaption) {
  TsSkinProvider* bare = Make(bsNone);
  const HWND h = bare->Form()->Handle();
  SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_THICKFRAME);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  formtest::RepaintFrame(bare);
  const int y = bare->Form()->Height() / 2, edge = GetSystemMetrics(SM_CXFRAME) + 1;
  {
    TWindowDC dc(h, TWindowDC::TArea::Window);
    const RECT all{0, 0, bare->Form()->Width(), bare->Form()->Height()};
    const TOwnedBrush marker(CreateSolidBrush(RGB(1, 2, 3)));
    FillRect(dc.Get(), &all, marker.Get());
    bare->PaintNonClient();
    for (int x : {1, edge}) {
      const COLORREF c = GetPixel(dc.Get(), x, y);
      EXPECT_EQ(Rgb(GetRValue(c), GetGValue(c), GetBValue(c)), CachePixel(bare, x, y)) << x;
    }
  }
  // Pixels of the caption's text colour between the caption's middle and the buttons.
  TsSkinProvider* p = Make(bsSizeable, biSystemMenu | biMinimize | biMaximize, "Orbex test");
  const auto rightHalfText = [p] {
    const int top = GetSystemMetrics(SM_CYFRAME), bottom = top + GetSystemMetrics(SM_CYCAPTION);
    int n = 0;
    for (int x = p->SkinData()->CacheBitmap()->GetWidth() / 2; x < p->TitleButton(htcMinButton)->Rect.Left; ++x)
      for (int y = top; y < bottom; ++y) {
        const std::uint32_t c = CachePixel(p, x, y);
        n += ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) > 200 ? 1 : 0;
      }
    return n;
  };
  EXPECT_EQ(rightHalfText(), 0);
  const HWND f = p->Form()->Handle();
  SetWindowLongA(f, GWL_EXSTYLE, GetWindowLongA(f, GWL_EXSTYLE) | WS_EX_RTLREADING);
  formtest::RepaintFrame(p);
  EXPECT_GT(rightHalfText(), 0);
}

}  // namespace
