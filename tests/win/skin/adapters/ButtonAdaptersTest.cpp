// The button, check box, group box, panel and status bar adapters under Wine, with the
// "BtnAdapters" fixture skins: faces by state and the hover glow, check glyphs by kind and
// state shown at once, the owner-drawn box's erase, the group box's frame and caption, a
// panel's finite paints and its section by bevels, the status bar's dividers and texts, a flat
// GDI count and the procedures given back.
//
// Pixels are read back through a window DC after the window painted itself, so a test sees
// what reached the screen.
#include "framework/win/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/adapters/lxCheckBoxWnd.h"
#include "skin/adapters/lxGlow.h"
#include "skin/adapters/lxGroupBoxWnd.h"
#include "skin/adapters/lxPanelWnd.h"
#include "skin/adapters/lxStatusBarWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

// A bitmap button as the framework has none: a push button publishing a glyph strip and its
// layout by name.
class TTestBitBtn : public TButton {
  ORBEX_CLASS(TTestBitBtn, TButton)
public:
  explicit TTestBitBtn(TComponent* owner) : TButton(owner), FGlyph(std::make_unique<TBitmap>()) {}
  TBitmap* Glyph() const { return FGlyph.get(); }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int v) { FNumGlyphs = v; }
  int Spacing() const { return 4; }
  int Margin() const { return -1; }

private:
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestBitBtn, TButton, &CreateComponentOf<TTestBitBtn>)
void TTestBitBtn::PublishProperties(TPublisher<TTestBitBtn>& P) {
  P.Object("Glyph", &TTestBitBtn::Glyph);
  P.Integer("NumGlyphs", &TTestBitBtn::NumGlyphs, &TTestBitBtn::SetNumGlyphs);
  P.Integer("Spacing", &TTestBitBtn::Spacing);
  P.Integer("Margin", &TTestBitBtn::Margin);
}

namespace {

// The glow windows come with the adapter environment.
class TButtonAdapterEnvironment : public TAdapterTestEnvironment {
public:
  TButtonAdapterEnvironment() : TAdapterTestEnvironment("button adapter test", true) {}

protected:
  void InitUnits() override {
    TAdapterTestEnvironment::InitUnits();
    InitGlowUnit();
  }
  void Stopped() override {
    DoneGlowUnit();
    TAdapterTestEnvironment::Stopped();
  }
};

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TButtonAdapterEnvironment);

// The fixture's colours (make_button_adapter_skins.py).
constexpr COLORREF Form = RGB(64, 64, 72), GroupFill = RGB(30, 90, 120), GroupFrame = RGB(230, 130, 20),
                   PanelColor = RGB(100, 30, 130), PanelLow = RGB(30, 120, 60), CheckFace = RGB(90, 70, 50),
                   StatusFill = RGB(20, 20, 100), StatusText = RGB(255, 255, 255), Divider = RGB(250, 0, 120),
                   PanelMask = RGB(0, 230, 230), BoxGrayed = RGB(130, 130, 130);
constexpr COLORREF ButtonFrame[3] = {RGB(120, 0, 0), RGB(0, 100, 0), RGB(0, 0, 120)};

// The window's pixel as it is on screen (window coordinates), without painting first.
COLORREF Shown(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}
// The same after the window painted itself completely.
COLORREF Painted(HWND h, int x, int y) {
  RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return Shown(h, x, y);
}
// Whether a colour appears in the window's rectangle r.
bool Shows(HWND h, const RECT& r, COLORREF c) {
  HDC dc = GetWindowDC(h);
  bool found = false;
  for (int y = r.top; y < r.bottom && !found; ++y)
    for (int x = r.left; x < r.right && !found; ++x) found = Near(GetPixel(dc, x, y), c);
  ReleaseDC(h, dc);
  return found;
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  // One message at a time: an endless stream of paints must not keep the loop from its end.
  while (GetTickCount() < end) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
    else
      Sleep(5);
  }
}

// What reaches a window's procedure above or below the adapter.
struct TRecorder {
  WNDPROC Old = nullptr;
  std::vector<UINT> Seen;
  std::uint32_t ForcedState = 0;   // added to BM_GETSTATE's answer
  int Count(UINT msg) const { return static_cast<int>(std::count(Seen.begin(), Seen.end(), msg)); }
};
TRecorder Rec;
std::vector<UINT> ParentSeen;

LRESULT CALLBACK RecordProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Rec.Seen.push_back(msg);
  const LRESULT r = CallWindowProcA(Rec.Old, h, msg, wp, lp);
  return msg == BM_GETSTATE ? (r & ~3) | Rec.ForcedState : r;
}

// The parent answers the background request with the skin's form colour.
LRESULT CALLBACK ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  ParentSeen.push_back(msg);
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdQueryBackground && lp != 0) {
    auto* request = reinterpret_cast<TsBackgroundRequest*>(lp);
    request->Kind = bkColor;
    request->Color = Form;
    return 1;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

class ButtonAdapters : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    RegisterAdapterParentClass("OrbexBtnAdapterParent", ParentProc);
    RegisterAdapterParentClass("OrbexBarePanel", DefWindowProcA);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void SetUp() override {
    Load("BtnAdapters");
    Parent = CreateWindowExA(0, "OrbexBtnAdapterParent", "buttons", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 460,
                             340, nullptr, nullptr, nullptr, nullptr);
    Rec = TRecorder{};
    ParentSeen.clear();
  }
  void TearDown() override {
    AdapterFlags().DialogMode = false;
    if (Parent != nullptr) DestroyWindow(Parent);
    M.reset();
  }
  void Load(const char* skin) {
    M.reset();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_BUTTON_ADAPTER_SKINS);
    M->SetSkinName(skin);
    ASSERT_TRUE(M->SkinData().Active);
  }
  HWND Child(const char* cls, const char* text, DWORD style, int w = 75, int h = 25) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 20, 20, w, h, Parent, nullptr, nullptr,
                           nullptr);
  }
  static void Record(HWND h) {
    Rec.Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordProc)));
  }
  template <class T>
  std::unique_ptr<T> Adapt(HWND h, const char* section, TsCommonData* data = nullptr) {
    return TlxMainWnd::CreateForHandle<T>(h, true, section, M.get(), data);
  }

  std::unique_ptr<TsSkinManager> M;
  HWND Parent = nullptr;
};

// A framework control on a form, with skin data the test owns.
template <class T>
struct TOnForm {
  std::unique_ptr<TForm> Form;
  T* Control = nullptr;
  std::unique_ptr<TsCommonData> Data;
};
template <class T>
TOnForm<T> OnForm(TsSkinManager* m, int w, int h) {
  TOnForm<T> f;
  f.Form = std::make_unique<TForm>(nullptr);
  f.Form->SetBounds(40, 40, 400, 300);
  f.Control = new T(f.Form.get());
  f.Control->SetParent(f.Form.get());
  f.Control->SetBounds(20, 20, w, h);
  f.Form->Show();
  f.Data = std::make_unique<TsCommonData>(f.Control, 0);
  f.Data->SetSkinManager(m);
  return f;
}

// ---------------------------------------------------------------------------------------------
// Push buttons.

TEST_F(ButtonAdapters, FacesByStatePushDefaultAndFrameworkButton) {
  struct Case {
    DWORD Style;
    int State;
  } cases[] = {{BS_PUSHBUTTON, 0}, {BS_DEFPUSHBUTTON, 1}};
  for (const Case& c : cases) {
    const HWND h = Child("BUTTON", "OK", c.Style);
    auto a = Adapt<TlxBtnWnd>(h, "");
    EXPECT_EQ(a->SkinData()->GetSkinSection(), "BUTTON");
    EXPECT_PRED2(Near, Painted(h, 1, 12), ButtonFrame[c.State]) << c.Style;
    EXPECT_FALSE(Near(Shown(h, 37, 3), GetSysColor(COLOR_BTNFACE)));
    a.reset();
    DestroyWindow(h);
  }
  auto f = OnForm<TButton>(M.get(), 75, 25);
  f.Control->SetCaption("OK");
  auto a = Adapt<TlxBtnWnd>(f.Control->Handle(), "BUTTON", f.Data.get());
  SetFocus(f.Control->Handle());
  EXPECT_PRED2(Near, Painted(f.Control->Handle(), 1, 12), ButtonFrame[1]);
}

TEST_F(ButtonAdapters, HoverShowsTheHotFaceWithTheGlowAndAPushedButtonNone) {
  const HWND h = Child("BUTTON", "OK", BS_PUSHBUTTON);
  auto a = Adapt<TlxBtnWnd>(h, "BUTTON");
  Painted(h, 0, 0);
  RECT r{};
  GetWindowRect(h, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  M->TrackHoverWindow(h);
  EXPECT_TRUE(a->MouseInside());
  EXPECT_PRED2(Near, Shown(h, 1, 12), ButtonFrame[1]);
  TlxGlowEffect* glow = GlowEffects().Get(a->SkinData()->GlowID());
  ASSERT_NE(glow, nullptr);
  RECT g{};
  GetWindowRect(glow->GlowForm()->Handle(), &g);
  EXPECT_TRUE(IsWindowVisible(glow->GlowForm()->Handle()));
  EXPECT_TRUE(g.left <= r.left && g.top <= r.top && g.right >= r.right && g.bottom >= r.bottom);
  SendMessageA(h, BM_SETSTATE, TRUE, 0);
  EXPECT_PRED2(Near, Shown(h, 1, 12), ButtonFrame[2]);
  EXPECT_LT(a->SkinData()->GlowID(), 0);
  SendMessageA(h, BM_SETSTATE, FALSE, 0);
  M->TrackHoverWindow(nullptr);
  EnableWindow(h, FALSE);
  // Disabled: the normal face blended with the parent's background.
  const COLORREF blended = Shown(h, 1, 12);
  EXPECT_FALSE(Near(blended, ButtonFrame[0]) || Near(blended, Form));
  EXPECT_LT(GetRValue(blended), GetRValue(ButtonFrame[0]));
  EnableWindow(h, TRUE);
  EXPECT_FALSE(a->MouseInside());
  EXPECT_EQ(GlowEffects().Get(a->SkinData()->GlowID()), nullptr);
  EXPECT_PRED2(Near, Shown(h, 1, 12), ButtonFrame[0]);
}

TEST_F(ButtonAdapters, AFocusedButtonShowsTheDottedFrameOfItsSection) {
  const HWND h = Child("BUTTON", "OK", BS_PUSHBUTTON);
  auto a = Adapt<TlxBtnWnd>(h, "BUTTON");
  const RECT inner{4, 4, 71, 21};
  SetFocus(nullptr);
  Painted(h, 0, 0);
  EXPECT_FALSE(Shows(h, inner, GetSysColor(COLOR_BTNFACE)));
  SetFocus(h);
  Painted(h, 0, 0);
  EXPECT_TRUE(Shows(h, inner, GetSysColor(COLOR_BTNFACE)));
}

TEST_F(ButtonAdapters, AThousandRepaintsLeaveTheGdiCountFlat) {
  const HWND h = Child("BUTTON", "Repaint", BS_PUSHBUTTON);
  auto a = Adapt<TlxBtnWnd>(h, "BUTTON");
  for (int i = 0; i < 10; ++i) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const long before = GdiObjectCount();
  for (int i = 0; i < 1000; ++i) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(ButtonAdapters, ABareBitmapButtonShowsItsBitmapAndKeepsIt) {
  const HWND h = Child("BUTTON", "Go", BS_PUSHBUTTON | BS_BITMAP, 75, 25);
  // A 16 x 16 bitmap in the check face's colour; its bottom-left pixel is the transparent one.
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  {
    TMemoryDC mem(nullptr, bitmap);
    const RECT all{0, 0, 16, 16};
    const TOwnedBrush brush(CreateSolidBrush(CheckFace));
    FillRect(mem.Get(), &all, brush.Get());
    SetPixel(mem.Get(), 0, 15, RGB(0, 0, 0));
  }
  SendMessageA(h, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  auto a = Adapt<TlxBitBtnWnd>(h, "BUTTON");
  const RECT r{0, 0, 75, 25};
  Painted(h, 0, 0);
  EXPECT_TRUE(Shows(h, r, CheckFace));
  a.reset();
  BITMAP info{};
  EXPECT_NE(GetObjectA(bitmap, sizeof info, &info), 0);   // still the window's
  DestroyWindow(h);
  DeleteObject(bitmap);
}

TEST_F(ButtonAdapters, AnOwnedBitmapButtonShowsItsGlyphAndANumGlyphsBelowOneCountsAsOne) {
  for (const int count : {1, 0, -3}) {
    auto f = OnForm<TTestBitBtn>(M.get(), 90, 30);
    TBitmap* glyph = f.Control->Glyph();
    glyph->SetPixelFormat(TPixelFormat::pf24bit);
    glyph->SetSize(16, 16);
    const RECT all{0, 0, 16, 16};
    const TOwnedBrush brush(CreateSolidBrush(CheckFace));
    FillRect(glyph->Canvas()->GetHandle(), &all, brush.Get());
    SetPixel(glyph->Canvas()->GetHandle(), 0, 15, RGB(0, 0, 0));
    f.Control->SetNumGlyphs(count);
    f.Control->SetCaption("Go");
    auto a = Adapt<TlxBitBtnWnd>(f.Control->Handle(), "BUTTON", f.Data.get());
    Painted(f.Control->Handle(), 0, 0);
    EXPECT_TRUE(Shows(f.Control->Handle(), RECT{0, 0, 90, 30}, CheckFace)) << count;
  }
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons.

TEST_F(ButtonAdapters, CheckGlyphsByTypeAndStateChangeAtOnce) {
  struct Case {
    DWORD Type;
    COLORREF Unchecked, Checked;
  } cases[] = {
      {BS_CHECKBOX, RGB(10, 10, 10), RGB(250, 10, 10)},      {BS_AUTOCHECKBOX, RGB(10, 10, 10), RGB(250, 10, 10)},
      {BS_3STATE, RGB(10, 10, 10), RGB(250, 10, 10)},        {BS_AUTO3STATE, RGB(10, 10, 10), RGB(250, 10, 10)},
      {BS_RADIOBUTTON, RGB(10, 10, 120), RGB(10, 250, 10)},  {BS_AUTORADIOBUTTON, RGB(10, 10, 120), RGB(10, 250, 10)},
  };
  for (const Case& c : cases) {
    const HWND h = Child("BUTTON", "Check", c.Type, 120, 20);
    auto a = Adapt<TlxCheckBoxWnd>(h, "");
    EXPECT_EQ(a->SkinData()->GetSkinSection(), "CHECKBOX");
    EXPECT_PRED2(Near, Painted(h, 6, 10), c.Unchecked) << c.Type;
    // Drawn by the message itself: no paint is pumped before the pixel is read.
    SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_PRED2(Near, Shown(h, 6, 10), c.Checked) << c.Type;
    EXPECT_PRED2(Near, Shown(h, 60, 1), CheckFace) << c.Type;
    a.reset();
    DestroyWindow(h);
  }
}

TEST_F(ButtonAdapters, TheGlyphSizeComesFromTheSkinsOwnBitmapsElse16) {
  struct Case {
    const char* Skin;
    int Size;
  } cases[] = {{"BtnAdapters", 13}, {"BtnAdaptersNoGlyphs", 16}};
  for (const Case& c : cases) {
    Load(c.Skin);
    const HWND h = Child("BUTTON", "Check", BS_AUTOCHECKBOX, 120, 20);
    auto a = Adapt<TlxCheckBoxWnd>(h, "");
    EXPECT_EQ(a->GlyphSize().cx, c.Size) << c.Skin;
    EXPECT_EQ(a->GlyphSize().cy, c.Size) << c.Skin;
    a.reset();
    DestroyWindow(h);
  }
}

TEST_F(ButtonAdapters, AnIndeterminateRadioShowsBoxGrayed) {
  const HWND h = Child("BUTTON", "Radio", BS_AUTORADIOBUTTON, 120, 20);
  Record(h);
  Rec.ForcedState = BST_INDETERMINATE;
  auto a = Adapt<TlxCheckBoxWnd>(h, "CHECKBOX");
  EXPECT_PRED2(Near, Painted(h, 6, 10), BoxGrayed);
}

TEST_F(ButtonAdapters, AnOwnerDrawnBoxGetsOnlyItsEraseAndIsDrawnByItsOwner) {
  const HWND h = Child("BUTTON", "Owner", BS_OWNERDRAW, 120, 20);
  auto a = Adapt<TlxCheckBoxWnd>(h, "");
  EXPECT_TRUE(a->OwnerDrawn());
  ParentSeen.clear();
  Painted(h, 0, 0);
  EXPECT_GT(std::count(ParentSeen.begin(), ParentSeen.end(), static_cast<UINT>(WM_DRAWITEM)), 0);
  HDC dc = GetDC(h);
  SetPixel(dc, 5, 5, RGB(1, 2, 3));
  EXPECT_EQ(SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_PRED2(Near, GetPixel(dc, 5, 5), Form);
  ReleaseDC(h, dc);
}

// ---------------------------------------------------------------------------------------------
// Group boxes.

TEST_F(ButtonAdapters, AGroupBoxShowsTheSkinsFrameAndCaptionAlsoInDialogMode) {
  for (const bool dialog : {false, true}) {
    SCOPED_TRACE(dialog ? "dialog mode" : "normal");
    AdapterFlags().DialogMode = dialog;
    const HWND h = Child("BUTTON", "Group", BS_GROUPBOX, 200, 120);
    auto a = Adapt<TlxGroupBoxWnd>(h, "");
    EXPECT_EQ(a->SkinData()->GetSkinSection(), "GROUPBOX");
    const int band = static_cast<int>(SendSkinCommand(h, SkinCmdQueryContainer));
    EXPECT_EQ(band, a->CaptionRect().Height());
    EXPECT_PRED2(Near, Painted(h, 0, 80), GroupFrame);
    EXPECT_PRED2(Near, Shown(h, 199, 80), GroupFrame);
    EXPECT_PRED2(Near, Shown(h, 2, 1), Form);
    if (!dialog) {
      EXPECT_PRED2(Near, Shown(h, 100, 80), GroupFill);
    }
    a.reset();
    DestroyWindow(h);
  }
}

// ---------------------------------------------------------------------------------------------
// Panels.

TEST_F(ButtonAdapters, APanelIsPaintedFinitelyOften) {
  const HWND h = Child("OrbexBarePanel", "Panel", 0, 200, 100);
  auto a = Adapt<TlxPanelWnd>(h, "PANEL");
  // Recorded above the adapter: every WM_PAINT the system sends it.
  Record(h);
  InvalidateRect(h, nullptr, TRUE);
  Pump(1000);
  EXPECT_GE(Rec.Count(WM_PAINT), 1);
  EXPECT_LE(Rec.Count(WM_PAINT), 3);
  EXPECT_PRED2(Near, Shown(h, 5, 5), PanelColor);
  SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Rec.Old));
}

TEST_F(ButtonAdapters, FrameworkPanelsTakeTheirSectionFromTheirBevels) {
  struct Case {
    TBevelCut Outer, Inner;
    const char* Section;
    COLORREF Fill;
  } cases[] = {
      {bvRaised, bvNone, "PANEL", PanelColor},
      {bvLowered, bvNone, "PANEL_LOW", PanelLow},
      {bvNone, bvNone, "CHECKBOX", CheckFace},
  };
  for (const Case& c : cases) {
    auto f = OnForm<TPanel>(M.get(), 150, 80);
    f.Control->SetBevelOuter(c.Outer);
    f.Control->SetBevelInner(c.Inner);
    auto a = Adapt<TlxPanelWnd>(f.Control->Handle(), "", f.Data.get());
    EXPECT_EQ(a->SkinData()->GetSkinSection(), c.Section);
    EXPECT_PRED2(Near, Painted(f.Control->Handle(), 75, 10), c.Fill) << c.Section;
  }
}

// ---------------------------------------------------------------------------------------------
// Status bars.

TEST_F(ButtonAdapters, AFrameworkStatusBarDividesItsPanelsAndShowsSimpleTextWithout) {
  auto f = OnForm<TStatusBar>(M.get(), 300, 22);
  for (int i = 0; i < 3; ++i) {
    auto* p = static_cast<TStatusPanel*>(f.Control->Panels()->Add());
    p->SetWidth(100);
    p->SetText("Part");
  }
  const HWND h = f.Control->Handle();
  auto a = Adapt<TlxStatusBarWnd>(h, "", f.Data.get());
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "STATUSBAR");
  RECT bar{};
  GetWindowRect(h, &bar);
  const int w = bar.right - bar.left, hgt = bar.bottom - bar.top;
  Painted(h, 0, 0);
  RECT part{};
  SendMessageA(h, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
  EXPECT_TRUE(Shows(h, RECT{part.right - 3, 2, part.right + 3, hgt - 2}, Divider));
  SendMessageA(h, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&part));
  EXPECT_FALSE(Shows(h, RECT{part.left + 4, 2, w, hgt - 2}, Divider));
  EXPECT_TRUE(Shows(h, RECT{0, 0, w, hgt}, StatusText));
  f.Control->Panels()->Clear();
  f.Control->SetSimpleText("Simple");
  Painted(h, 0, 0);
  EXPECT_EQ(a->PartText(0), "Simple");
  EXPECT_TRUE(Shows(h, RECT{0, 0, w, hgt}, StatusText));
}

TEST_F(ButtonAdapters, AForeignStatusBarShowsItsPartTexts) {
  for (const char* skin : {"BtnAdapters", "BtnAdaptersPanelMask"}) {
    SCOPED_TRACE(skin);
    Load(skin);
    const HWND h = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Parent, nullptr,
                                   nullptr, nullptr);
    int edges[2] = {150, -1};
    SendMessageA(h, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageA(h, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("\tReady"));
    SendMessageA(h, SB_SETTEXTA, 1 | SBT_OWNERDRAW, 7);
    auto a = Adapt<TlxStatusBarWnd>(h, "");
    EXPECT_EQ(a->PartText(0), "Ready");
    EXPECT_EQ(a->PartText(1), "");
    RECT part{};
    SendMessageA(h, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    Painted(h, 0, 0);
    EXPECT_TRUE(Shows(h, part, StatusText));
    EXPECT_EQ(Shows(h, part, PanelMask), std::string(skin) == "BtnAdaptersPanelMask");
    a.reset();
    DestroyWindow(h);
  }
}

// ---------------------------------------------------------------------------------------------
// The stored skins.

// Every adapted control of a dialog-like window painted in each stored skin shows on screen
// what its adapter prepared.
// With ORBEX_SHOWCASE_HOLD set (seconds), the window stays on screen that long per skin, so
// that it can be photographed.
TEST_F(ButtonAdapters, StoredSkinsPaintEveryAdaptedControl) {
  const char* hold = std::getenv("ORBEX_SHOWCASE_HOLD");
  for (const char* skin : {"Linden", "Dusk"}) {
    SCOPED_TRACE(skin);
    M.reset();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_STORED_SKINS);
    M->SetSkinName(skin);
    ASSERT_TRUE(M->SkinData().Active);
    TForm form(nullptr);
    form.SetBounds(60, 60, 420, 300);
    form.SetCaption(std::string("Adapters - ") + skin);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(230, 10, 170, 150);
    panel->SetCaption("Panel");
    auto* bar = new TStatusBar(&form);
    bar->SetParent(&form);
    for (const char* text : {"Ready", "CH1 2 V", "10 ms"}) {
      auto* p = static_cast<TStatusPanel*>(bar->Panels()->Add());
      p->SetWidth(110);
      p->SetText(text);
    }
    // The form stands for a skinned one: its background is the skin's global colour.
    const TColor back = M->GlobalInfoColor();
    form.WindowProc = [own = form.WindowProc, &form, back](TMessage& m) {
      if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdQueryBackground && m.LParam != 0) {
        auto* request = reinterpret_cast<TsBackgroundRequest*>(m.LParam);
        request->Kind = bkColor;
        request->Color = back;
        m.Result = 1;
        return;
      }
      if (m.Msg == WM_ERASEBKGND) {
        RECT r{};
        GetClientRect(form.Handle(), &r);
        const TOwnedBrush brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(back))));
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush.Get());
        m.Result = 1;
        return;
      }
      own(m);
    };
    form.Show();
    const HWND parent = form.Handle();
    auto make = [parent](const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
      return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr, nullptr,
                             nullptr);
    };
    const HWND group = make("BUTTON", "Trigger", BS_GROUPBOX, 10, 10, 210, 150);
    const HWND boxes[] = {make("BUTTON", "Auto", BS_AUTOCHECKBOX, 20, 35, 180, 20),
                          make("BUTTON", "Rising edge", BS_AUTORADIOBUTTON, 20, 60, 180, 20),
                          make("BUTTON", "Falling edge", BS_AUTORADIOBUTTON, 20, 85, 180, 20),
                          make("BUTTON", "Hold", BS_AUTO3STATE, 20, 110, 180, 20)};
    const HWND ok = make("BUTTON", "OK", BS_DEFPUSHBUTTON, 230, 180, 75, 25);
    const HWND cancel = make("BUTTON", "Cancel", BS_PUSHBUTTON, 320, 180, 75, 25);
    SendMessageA(boxes[0], BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(boxes[1], BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(boxes[3], BM_SETCHECK, BST_INDETERMINATE, 0);
    std::vector<std::unique_ptr<TlxMainWnd>> adapters;
    adapters.push_back(Adapt<TlxGroupBoxWnd>(group, ""));
    for (const HWND b : boxes) adapters.push_back(Adapt<TlxCheckBoxWnd>(b, ""));
    adapters.push_back(Adapt<TlxBtnWnd>(ok, ""));
    adapters.push_back(Adapt<TlxBtnWnd>(cancel, ""));
    TsCommonData panelData(panel, 0), barData(bar, 0);
    adapters.push_back(Adapt<TlxPanelWnd>(panel->Handle(), "", &panelData));
    adapters.push_back(Adapt<TlxStatusBarWnd>(bar->Handle(), "", &barData));
    // What the adapters prepared is what reached the screen.
    for (size_t i = 0; i < adapters.size(); ++i) {
      const HWND h = adapters[i]->Handle();
      Painted(h, 0, 0);
      TBitmap* cache = adapters[i]->SkinData()->CacheBitmap();
      ASSERT_NE(cache, nullptr);
      const int x = cache->GetWidth() / 3, y = cache->GetHeight() / 2;
      EXPECT_PRED2(Near, Shown(h, x, y), GetPixel(cache->Canvas()->GetHandle(), x, y)) << i;
    }
    if (hold != nullptr) Pump(static_cast<DWORD>(std::atoi(hold)) * 1000);
    adapters.clear();
  }
}

// ---------------------------------------------------------------------------------------------
// Unskinning.

TEST_F(ButtonAdapters, UnskinningGivesEveryWindowItsProcedureBack) {
  struct Case {
    const char* Class;
    DWORD Style;
    int Kind;
  } cases[] = {{"BUTTON", BS_PUSHBUTTON, 0},     {"BUTTON", BS_PUSHBUTTON | BS_BITMAP, 1},
               {"BUTTON", BS_AUTOCHECKBOX, 2},   {"BUTTON", BS_GROUPBOX, 3},
               {"OrbexBarePanel", 0, 4},         {"OrbexBarePanel", 0, 5},
               {STATUSCLASSNAMEA, 0, 6}};
  for (const Case& c : cases) {
    const HWND h = Child(c.Class, "x", c.Style, 100, 30);
    const LONG_PTR own = GetWindowLongPtrA(h, GWLP_WNDPROC);
    std::unique_ptr<TlxMainWnd> a;
    switch (c.Kind) {
      case 0: a = Adapt<TlxBtnWnd>(h, ""); break;
      case 1: a = Adapt<TlxBitBtnWnd>(h, ""); break;
      case 2: a = Adapt<TlxCheckBoxWnd>(h, ""); break;
      case 3: a = Adapt<TlxGroupBoxWnd>(h, ""); break;
      case 4: a = Adapt<TlxPanelWnd>(h, ""); break;
      case 5: a = Adapt<TlxTransPanelWnd>(h, "CHECKBOX"); break;
      default: a = Adapt<TlxStatusBarWnd>(h, ""); break;
    }
    Painted(h, 0, 0);
    EXPECT_NE(GetWindowLongPtrA(h, GWLP_WNDPROC), own) << c.Kind;
    ReleaseWndAdapter(h, false, a);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_WNDPROC), own) << c.Kind;
    EXPECT_EQ(GetWndAdapter(h), nullptr) << c.Kind;
    DestroyWindow(h);
  }
  // A framework control's method and control style.
  auto f = OnForm<TButton>(M.get(), 75, 25);
  const TControlStyle style = f.Control->ControlStyle();
  auto a = Adapt<TlxBtnWnd>(f.Control->Handle(), "BUTTON", f.Data.get());
  EXPECT_EQ(GetWndAdapter(f.Control->Handle()), a.get());
  ReleaseWndAdapter(f.Control->Handle(), false, a);
  EXPECT_EQ(GetWndAdapter(f.Control->Handle()), nullptr);
  EXPECT_EQ(f.Control->ControlStyle(), style);
}

}  // namespace
