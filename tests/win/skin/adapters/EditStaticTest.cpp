// The edit and static adapters under Wine, with the "Adapters" fixture skins: an edit's frame
// from the skin (normal and focused), its swallowed WM_NCPAINT, empty-clip paints, the section
// index command, colours given back; a list box scrolled by the skinned bars; static captions
// with SS_NOPREFIX, a bitmap larger than its window, the size grip, the link's caption and the
// edge static's frame.
//
// The windows' own procedures are wrapped by a recorder installed before the adapter, so it
// sees what the adapter passes on. Pictures are taken through WM_PRINT or the adapter's own
// painting into a memory DC, or from the screen for the non-client frame.
#include "framework/win/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxEditWnd.h"
#include "skin/adapters/lxStaticWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("edit and static adapter test", true));

// The fixture's colours (make_adapter_skins.py).
constexpr COLORREF Form = RGB(70, 70, 70), EditFrame = RGB(0, 160, 255), EditFrameHot = RGB(255, 120, 0),
                   EditFillHot = RGB(30, 50, 70), Panel = RGB(90, 60, 110), Grip = RGB(240, 240, 0),
                   Sentinel = RGB(1, 2, 3);

// What reaches a window's own procedure below the adapter.
struct TRecorder {
  WNDPROC Old = nullptr;
  std::vector<UINT> Seen;
  int Count(UINT msg) const { return static_cast<int>(std::count(Seen.begin(), Seen.end(), msg)); }
};
TRecorder Rec;

LRESULT CALLBACK RecordProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Rec.Seen.push_back(msg);
  return CallWindowProcA(Rec.Old, h, msg, wp, lp);
}

// The parent answers the background request with the skin's form colour.
LRESULT CALLBACK ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdQueryBackground && lp != 0) {
    auto* request = reinterpret_cast<TsBackgroundRequest*>(lp);
    request->Kind = bkColor;
    request->Color = Form;
    return 1;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

// A 32-bit picture filled with the sentinel, that a window paints into.
std::unique_ptr<TBitmap> Picture(int w, int h) {
  auto picture = CreateBitmap32(w, h);
  const RECT r{0, 0, w, h};
  const TOwnedBrush fill(CreateSolidBrush(Sentinel));
  FillRect(picture->Canvas()->GetHandle(), &r, fill.Get());
  return picture;
}
COLORREF At(TBitmap& picture, int x, int y) { return GetPixel(picture.Canvas()->GetHandle(), x, y); }

class EditStatic : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    RegisterAdapterParentClass("OrbexAdapterParent", ParentProc);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
  }
  void SetUp() override {
    Load("Adapters");
    Parent = CreateWindowExA(0, "OrbexAdapterParent", "adapters", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 460,
                             340, nullptr, nullptr, nullptr, nullptr);
    Rec = TRecorder{};
  }
  void TearDown() override {
    if (Parent != nullptr) DestroyWindow(Parent);
    M.reset();
  }
  void Load(const char* skin) {
    M.reset();   // the new manager becomes the default one
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_ADAPTER_SKINS);
    M->SetSkinName(skin);
    ASSERT_TRUE(M->SkinData().Active);
  }
  HWND Child(const char* cls, const char* text, DWORD style, int w = 120, int h = 60, DWORD ex = 0) {
    return CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, 20, 20, w, h, Parent, nullptr, nullptr,
                           nullptr);
  }
  void Record(HWND h) {
    Rec.Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordProc)));
  }
  void Record(TControl* control) {
    control->WindowProc = [own = control->WindowProc](TMessage& m) {
      Rec.Seen.push_back(m.Msg);
      own(m);
    };
  }
  template <class T>
  std::unique_ptr<T> Adapt(HWND h, const char* section, TsCommonData* data = nullptr) {
    return TlxMainWnd::CreateForHandle<T>(h, true, section, M.get(), data);
  }
  // The window's pixel on screen, in window coordinates.
  static COLORREF ScreenPixel(HWND h, int x, int y) {
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(h);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(h, dc);
    return c;
  }

  std::unique_ptr<TsSkinManager> M;
  HWND Parent = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Edits.

// A bare multi-line edit, or a framework TEdit whose skin data the test owns.
struct TEditUnderTest {
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TsCommonData> Data;
  HWND Handle = nullptr;
};

TEditUnderTest MakeEdit(EditStatic& t, bool framework) {
  TEditUnderTest e;
  if (!framework) {
    e.Handle = t.Child("EDIT", "one\r\ntwo", ES_MULTILINE | WS_VSCROLL, 160, 80, WS_EX_CLIENTEDGE);
    return e;
  }
  e.Form = std::make_unique<TForm>(nullptr);
  e.Form->SetBounds(40, 40, 300, 200);
  auto* edit = new TEdit(e.Form.get());
  edit->SetParent(e.Form.get());
  edit->SetBounds(20, 20, 160, 40);
  e.Form->Show();
  e.Data = std::make_unique<TsCommonData>(edit, 0);
  e.Data->SetSkinManager(t.M.get());
  e.Handle = edit->Handle();
  return e;
}

TEST_F(EditStatic, TheFrameIsTheSkinsNormalAndFocusedAndWMNCPaintNeverReachesTheControl) {
  for (const bool framework : {false, true}) {
    SCOPED_TRACE(framework ? "TEdit" : "bare EDIT");
    TEditUnderTest e = MakeEdit(*this, framework);
    Rec = TRecorder{};
    if (framework)
      Record(e.Data->OwnerControl());
    else
      Record(e.Handle);
    auto a = Adapt<TlxEditWnd>(e.Handle, "EDIT", e.Data.get());
    RECT r{};
    GetWindowRect(e.Handle, &r);
    const int midY = (r.bottom - r.top) / 2;
    SetFocus(nullptr);
    EXPECT_TRUE(Near(ScreenPixel(e.Handle, 1, midY), EditFrame));
    SetFocus(e.Handle);
    EXPECT_TRUE(Near(ScreenPixel(e.Handle, 1, midY), EditFrameHot));
    EXPECT_EQ(Rec.Count(WM_NCPAINT), 0);
    a.reset();
    if (!framework) DestroyWindow(e.Handle);
  }
}

TEST_F(EditStatic, APaintWithAnEmptyClipDoesNothing) {
  const HWND h = Child("EDIT", "text", ES_MULTILINE, 160, 80, WS_EX_CLIENTEDGE);
  Record(h);
  auto a = Adapt<TlxEditWnd>(h, "EDIT");
  Rec.Seen.clear();
  HDC dc = GetDC(h);
  IntersectClipRect(dc, 0, 0, 0, 0);
  RECT box{};
  ASSERT_EQ(GetClipBox(dc, &box), NULLREGION);
  SendMessageA(h, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(h, dc);
  EXPECT_EQ(Rec.Count(WM_PAINT), 0);
  EXPECT_EQ(Rec.Count(WM_ERASEBKGND), 0);
}

TEST_F(EditStatic, TheSectionIndexCommandWritesTheIndexAndAnswersNothing) {
  const HWND h = Child("EDIT", "text", 0, 160, 24, WS_EX_CLIENTEDGE);
  auto a = Adapt<TlxEditWnd>(h, "");
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "EDIT");
  TlxSectionInfo info;
  EXPECT_EQ(SendSkinCommand(h, SkinCmdQuerySectionIndex, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_GE(info.SectionIndex, 0);
  EXPECT_EQ(info.SectionIndex, a->SkinData()->SectionIndex());
}

TEST_F(EditStatic, UnskinningGivesTheControlItsColoursBackAndMeasuresTheFrameAgain) {
  TEditUnderTest e = MakeEdit(*this, true);
  auto* edit = static_cast<TEdit*>(e.Data->OwnerControl());
  edit->SetColor(clYellow);
  edit->Font()->SetColor(clRed);
  Record(edit);
  auto a = Adapt<TlxEditWnd>(e.Handle, "EDIT", e.Data.get());
  SendMessageA(e.Handle, WM_NCPAINT, 1, 0);
  // The focused edit takes the section's hot colour.
  EXPECT_EQ(ColorToRGB(edit->Color()), static_cast<TColor>(EditFillHot));
  Rec.Seen.clear();
  ReleaseWndAdapter(e.Handle, false, a);
  EXPECT_EQ(edit->Color(), clYellow);
  EXPECT_EQ(edit->Font()->GetColor(), clRed);
  EXPECT_GT(Rec.Count(WM_NCCALCSIZE), 0);
}

TEST_F(EditStatic, AControlsEditAdapterFollowsItsSkin) {
  TEditUnderTest e = MakeEdit(*this, true);
  e.Data->SetSkinSection("EDIT");
  std::unique_ptr<TlxEditWnd> a;
  UpdateEditWndAdapter(e.Data.get(), a);
  ASSERT_NE(a, nullptr);
  ReleaseWndAdapter(e.Handle, false, *a);   // defunct: replaced by a new one
  UpdateEditWndAdapter(e.Data.get(), a);
  EXPECT_TRUE(a != nullptr && !a->Defunct() && GetWndAdapter(e.Handle) == a.get());
  e.Data->SetSkinSection("NOSUCHSECTION");
  UpdateEditWndAdapter(e.Data.get(), a);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(GetWndAdapter(e.Handle), nullptr);
}

TEST_F(EditStatic, AListBoxScrollsThroughTheSkinnedBars) {
  const HWND h = Child("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 150, 200);
  for (int i = 0; i < 100; ++i) SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
  auto a = Adapt<TlxEditWnd>(h, "EDIT");
  const TRect bar = a->GetVertBarRect();
  ASSERT_FALSE(bar.IsEmpty());
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  const LPARAM at = MAKELPARAM((bar.Left + bar.Right) / 2, bar.Bottom - arrow / 2);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, at), HTVSCROLL);
  SendMessageA(h, WM_NCLBUTTONDOWN, HTVSCROLL, at);
  SendMessageA(h, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(SendMessageA(h, LB_GETTOPINDEX, 0, 0), 1);
}

// ---------------------------------------------------------------------------------------------
// Statics.

// The static's picture through WM_PRINT, or painted by the adapter itself.
std::unique_ptr<TBitmap> Print(HWND h, int w, int ht) {
  auto p = Picture(w, ht);
  SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(p->Canvas()->GetHandle()), PRF_CLIENT);
  return p;
}
std::unique_ptr<TBitmap> Painted(TlxStaticWnd& a, int w, int h) {
  auto p = Picture(w, h);
  a.PaintThroughCache(p->Canvas()->GetHandle());
  return p;
}

bool SamePicture(TBitmap& a, TBitmap& b) {
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x)
      if (At(a, x, y) != At(b, x, y)) return false;
  return true;
}

TEST_F(EditStatic, AStaticWithoutPrefixesShowsItsAmpersand) {
  struct Case {
    const char* Text;
    DWORD Style;
  } cases[] = {{"A&B", SS_NOPREFIX}, {"A&&B", 0}, {"A&B", 0}};
  std::vector<std::unique_ptr<TBitmap>> pictures;
  for (const Case& c : cases) {
    const HWND h = Child("STATIC", c.Text, c.Style, 80, 30);
    auto a = Adapt<TlxStaticWnd>(h, "CHECKBOX");
    pictures.push_back(Print(h, 80, 30));
  }
  // "A&B" unprefixed draws as the escaped "A&&B" does, and not as the prefixed "A&B".
  EXPECT_TRUE(SamePicture(*pictures[0], *pictures[1]));
  EXPECT_FALSE(SamePicture(*pictures[0], *pictures[2]));
}

// The application's 64 x 64 bitmap of one colour channel at 0xC0, 24-bit (a 32-bit one is laid
// over the window by its alpha instead).
TOwnedBitmap Flat24(int channel) {
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 64, -64, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  TOwnedBitmap b(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  for (int i = 0; i < 64 * 64; ++i) static_cast<std::uint8_t*>(bits)[i * 3 + channel] = 0xC0;
  return b;
}

TEST_F(EditStatic, ALargerBitmapIsCutAtTheWindowEdgeAndTheApplicationsBitmapsOutliveTheAdapter) {
  const TOwnedBitmap green = Flat24(1), blue = Flat24(0);
  const HWND h = Child("STATIC", "", SS_BITMAP | SS_REALSIZECONTROL, 30, 20);
  auto a = Adapt<TlxIconWnd>(h, "CHECKBOX");
  struct Step {
    HBITMAP Bitmap;
    COLORREF Shown;
  } steps[] = {{green.Get(), RGB(0, 0xC0, 0)}, {blue.Get(), RGB(0, 0, 0xC0)}};
  for (const Step& s : steps) {
    SendMessageA(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(s.Bitmap));
    SetWindowPos(h, nullptr, 0, 0, 30, 20, SWP_NOMOVE | SWP_NOZORDER);
    const auto p = Painted(*a, 64, 64);
    EXPECT_EQ(At(*p, 29, 19), s.Shown);
    EXPECT_EQ(At(*p, 30, 5), Sentinel);
    EXPECT_EQ(At(*p, 5, 20), Sentinel);
  }
  ReleaseWndAdapter(h, false, a);
  BITMAP info{};
  for (const Step& s : steps) EXPECT_NE(GetObjectA(s.Bitmap, sizeof(info), &info), 0);
  DestroyWindow(h);
}

TEST_F(EditStatic, TheGripAnswersBottomRightAndIsPaintedOnlyWithAGripImage) {
  struct Case {
    const char* Skin;
    COLORREF Corner;
  } cases[] = {{"Adapters", Grip}, {"AdaptersNoGrip", Sentinel}, {"AdaptersZeroGrip", Form}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Skin);
    Load(c.Skin);
    const HWND h = Child("SCROLLBAR", "", SBS_SIZEGRIP, 10, 10);
    auto a = Adapt<TlxSizerWnd>(h, "");
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, 0), HTBOTTOMRIGHT);
    EXPECT_EQ(At(*Print(h, 10, 10), 9, 9), c.Corner);
  }
}

TEST_F(EditStatic, TheLinkShowsItsCaptionWithoutTagsUnderlined) {
  const HWND h = Child("SysLink", "Visit <A>forum</A> now", 0, 200, 24);
  ASSERT_NE(h, nullptr);
  auto a = Adapt<TlxLinkWnd>(h, "CHECKBOX");
  const auto p = Painted(*a, 200, 24);
  // The text's extent and its longest run of text pixels in one row (the underline).
  int left = 200, right = -1, longest = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0, run = 0; x < 200; ++x) {
      const bool text = !Near(At(*p, x, y), Form);
      run = text ? run + 1 : 0;
      longest = std::max(longest, run);
      if (!text) continue;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  const TOwnedFont font(CreateNonClientFont(5));
  const TWindowDC dc(h);
  const TSelectObject selected(dc.Get(), font.Get());
  SIZE shown{};
  GetTextExtentPoint32A(dc.Get(), "Visit forum now", 15, &shown);
  EXPECT_NEAR(right - left + 1, shown.cx, 2);
  EXPECT_GE(longest, shown.cx * 9 / 10);
}

TEST_F(EditStatic, TheEdgeStaticPaintsOnlyItsTwoPixelFrame) {
  const HWND h = Child("STATIC", "", SS_ETCHEDFRAME, 40, 30);
  auto a = Adapt<TlxEdgeWnd>(h, "PANEL");
  const auto p = Painted(*a, 40, 30);
  struct Probe {
    int X, Y;
    COLORREF Expected;
  } probes[] = {{0, 0, Panel}, {1, 15, Panel}, {39, 29, Panel}, {20, 1, Panel}, {2, 2, Sentinel}, {20, 15, Sentinel}};
  for (const Probe& q : probes) EXPECT_EQ(At(*p, q.X, q.Y), q.Expected) << q.X << "," << q.Y;
}

TEST_F(EditStatic, AStaticWithASunkenEdgeIsLeftToTheSystem) {
  const HWND h = Child("STATIC", "", SS_ICON, 40, 40, WS_EX_STATICEDGE);
  SendMessageA(h, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_APPLICATION)), 0);
  Record(h);
  auto a = Adapt<TlxIconWnd>(h, "CHECKBOX");
  Rec.Seen.clear();
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_GT(Rec.Count(WM_PAINT), 0);
  EXPECT_GT(Rec.Count(WM_NCPAINT), 0);
}

}  // namespace
