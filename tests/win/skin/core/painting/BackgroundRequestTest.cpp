// Background requests between real windows and between the framework's controls: a parent that
// answers with a piece of its bitmap (a see-through child then shows the parent's pixels, its
// key-colour corners too), one that answers with a colour, one that does not answer and is made
// to paint itself into the asker's DC, and the colour fall-backs of each kind of parent.
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDibSection.h"

namespace {

// How a test parent answers command 34, and what it saw.
struct TParentState {
  int Mode = 0;                 // 0 no answer, 1 colour, 2 bitmap piece
  TColor Color = 0;
  TBitmap* Cache = nullptr;
  TPoint ChildPos;              // added to the offsets of a bitmap answer
  int Asked = 0;
  int SeenPaintToDC = -1;
};

// Answers the request as a skinned parent would; paints itself when told to by DC.
bool Answer(TParentState& s, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  if (SkinCommandOf(wparam) != SkinCmdQueryBackground) return false;
  result = 0;
  if (!SkinCommandAllowed(wparam, lparam)) return true;
  auto* r = reinterpret_cast<TsBackgroundRequest*>(lparam);
  ++s.Asked;
  s.SeenPaintToDC = r->PaintToDC;
  if (s.Mode == 1) {
    r->Color = s.Color;
    r->Kind = bkColor;
  } else if (s.Mode == 2) {
    r->Bitmap = s.Cache;
    r->OffsetX += s.ChildPos.X;
    r->OffsetY += s.ChildPos.Y;
    r->Kind = bkBitmap;
  }
  result = s.Mode != 0 ? 1 : 0;
  return true;
}

// The parent's own painting into a DC given in WParam: erase all blue, paint (20, 10, 30, 20) red.
void PaintSelf(UINT msg, HDC dc) {
  TOwnedBrush brush(CreateSolidBrush(msg == WM_ERASEBKGND ? RGB(0, 0, 255) : RGB(255, 0, 0)));
  RECT r = msg == WM_ERASEBKGND ? RECT{0, 0, 100, 100} : RECT{20, 10, 30, 20};
  FillRect(dc, &r, brush.Get());
}

LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* s = reinterpret_cast<TParentState*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (msg == WM_SKINCOMMAND && s != nullptr && Answer(*s, wparam, lparam, result)) return result;
  if ((msg == WM_ERASEBKGND || msg == WM_PAINT) && wparam != 0) {
    PaintSelf(msg, reinterpret_cast<HDC>(wparam));
    return 1;
  }
  return DefWindowProcA(wnd, msg, wparam, lparam);
}

class BackgroundRequest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrbexSkinPaintParent";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    FWnd = CreateWindowExA(0, "OrbexSkinPaintParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(FWnd, nullptr);
    SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&FState));
  }
  void TearDown() override { DestroyWindow(FWnd); }
  HWND FWnd = nullptr;
  TParentState FState;
};

// A parent control of the framework answering like the test window.
class TParentCtrl : public TWinControl {
public:
  explicit TParentCtrl(TWinControl* parent) : TWinControl(nullptr) {
    if (parent != nullptr) SetParent(parent);
  }
  void WndProc(TMessage& m) override {
    LRESULT r = 0;
    if (m.Msg == WM_SKINCOMMAND && Answer(State, m.WParam, m.LParam, r)) {
      m.Result = r;
      return;
    }
    if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdQueryColor) {
      m.Result = ColorAnswer;
      return;
    }
    TWinControl::WndProc(m);
  }
  TParentState State;
  LRESULT ColorAnswer = 0;
};

class TChildCtrl : public TWinControl {
public:
  TChildCtrl(TWinControl* parent, TRect r) : TWinControl(nullptr) {
    SetParent(parent);
    SetBoundsRect(r);
  }
};

}  // namespace

TEST_F(BackgroundRequest, BitmapAnswerBecomesAReadyInfo) {
  auto cache = FilledBitmap32(60, 60, 0xFF000000u);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) SetPixelAt(cache.get(), x, y, 0xFF000000u | (x << 8) | y);
  FState.Mode = 2;
  FState.Cache = cache.get();
  FState.ChildPos = TPoint{10, 5};
  TsBackgroundRequest req;
  req.Rect = TRect{0, 0, 6, 4};
  req.PaintToDC = 1;   // the caller's wish does not reach the receiver: the paint flag does
  EXPECT_EQ(RequestWindowBackground(req, FWnd, false), 1);
  EXPECT_EQ(FState.SeenPaintToDC, 0);
  EXPECT_EQ(req.Kind, bkBitmap);
  TsBackgroundInfo info;
  BackgroundRequestToInfo(req, info);
  EXPECT_EQ(info.Bitmap, cache.get());
  EXPECT_EQ(info.X, 10);
  EXPECT_EQ(info.Y, 5);
  EXPECT_EQ(info.Color, 0xFF00FF);
  EXPECT_EQ(info.Ready, 1);
  EXPECT_EQ(RequestWindowBackground(req, FWnd, true), 1);
  EXPECT_EQ(FState.SeenPaintToDC, 1);

  // A fully see-through child shows the parent's pixels under it.
  TsSkinTables sm;
  TsGeneralData g;
  g.ClassName = "PANEL";
  g.States = 1;
  g.Props[0].Transparency = 100;
  sm.GeneralData.push_back(g);
  auto child = FilledBitmap32(6, 4, 0xFFFFFFFFu);
  BackgroundRequestToInfo(req, info);
  PaintSectionBackground(0, "PANEL", info, 0xFF00FF, -1, -1, &sm, child.get(), {}, TRect{0, 0, 6, 4}, 0, nullptr);
  for (auto [x, y] : {std::pair{0, 0}, {5, 3}, {2, 1}})
    EXPECT_EQ(PixelAt(child.get(), x, y), PixelAt(cache.get(), 20 + x, 10 + y)) << x << "," << y;
}

TEST_F(BackgroundRequest, ColourAnswersAndFallbacks) {
  FState.Mode = 1;
  FState.Color = 0x00336699;
  TsBackgroundRequest req;
  EXPECT_EQ(RequestWindowBackground(req, FWnd, false), 1);
  TsBackgroundInfo info;
  BackgroundRequestToInfo(req, info);
  EXPECT_EQ(info.Bitmap, nullptr);
  EXPECT_EQ(info.Color, 0x336699);
  EXPECT_EQ(info.Ready, 0);
  FState.Color = static_cast<TColor>(0x80000000 | COLOR_BTNFACE);
  RequestWindowBackground(req, FWnd, false);
  BackgroundRequestToInfo(req, info);
  EXPECT_EQ(static_cast<COLORREF>(info.Color), GetSysColor(COLOR_BTNFACE));

  // Nobody answers: without a default skin manager the button face value, with one its global
  // colour (never the asker's tables).
  FState.Mode = 0;
  TsBackgroundRequest plain;
  EXPECT_EQ(RequestWindowBackground(plain, FWnd, true), 0);
  EXPECT_EQ(plain.Kind, bkColor);
  EXPECT_EQ(static_cast<std::uint32_t>(plain.Color), 0xFF00000Fu);
  BackgroundRequestToInfo(plain, info);
  EXPECT_EQ(static_cast<COLORREF>(info.Color), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(plain.PaintToDC, 1);   // the last paint flag is now the fallback wish
  plain.PaintToDC = 0;
  SetDefaultGlobalColorSource([] { return static_cast<TColor>(0x0000AA); });
  EXPECT_EQ(RequestWindowBackground(plain, FWnd, false), 0);
  EXPECT_EQ(plain.Color, 0x0000AA);
  SetDefaultGlobalColorSource(nullptr);
  EXPECT_EQ(RequestWindowBackground(plain, nullptr, false), 0);
  EXPECT_EQ(plain.Kind, bkColor);
  EXPECT_EQ(static_cast<std::uint32_t>(plain.Color), 0xFF00000Fu);
}

TEST_F(BackgroundRequest, UnansweredParentPaintsIntoTheDC) {
  FState.Mode = 0;
  auto target = FilledBitmap32(50, 40, 0xFFFFFFFFu);
  HDC dc = target->Canvas()->GetHandle();
  TsBackgroundRequest req;
  req.DC = reinterpret_cast<HDC__*>(dc);
  req.PaintToDC = 1;
  req.OffsetX = 15;
  req.OffsetY = 5;
  req.Rect = TRect{0, 0, 20, 15};
  EXPECT_EQ(RequestWindowBackground(req, FWnd, false), 0);
  EXPECT_EQ(req.Kind, bkNotAnswered);
  EXPECT_EQ(req.Rect, (TRect{15, 5, 35, 20}));
  // The parent's (20, 10) lies at the asker's (5, 5); its painting is clipped to the asker's Rect.
  EXPECT_EQ(DCPixel(target.get(), 2, 2), 0xFF0000u);     // erased blue
  EXPECT_EQ(DCPixel(target.get(), 5, 5), 0x0000FFu);     // painted red
  EXPECT_EQ(DCPixel(target.get(), 14, 14), 0x0000FFu);
  EXPECT_EQ(DCPixel(target.get(), 15, 14), 0xFF0000u);
  EXPECT_EQ(DCPixel(target.get(), 20, 5), 0xFFFFFFu);    // outside Rect: untouched
  EXPECT_EQ(DCPixel(target.get(), 5, 15), 0xFFFFFFu);
  POINT org;
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(org.y, 0);

  // Without a DC only the rectangle moves.
  TsBackgroundRequest none;
  none.PaintToDC = 1;
  none.OffsetX = 3;
  none.Rect = TRect{0, 0, 4, 4};
  EXPECT_EQ(RequestWindowBackground(none, FWnd, false), 0);
  EXPECT_EQ(none.Rect, (TRect{3, 0, 7, 4}));
}

TEST_F(BackgroundRequest, ControlsAnswerOrFallBackToTheirColour) {
  TForm form(nullptr);
  form.HandleNeeded();
  TParentCtrl parent(&form);
  parent.HandleNeeded();
  TsBackgroundRequest req;
  req.Rect = TRect{0, 0, 4, 4};
  parent.State.Mode = 1;
  parent.State.Color = 0x00445566;
  EXPECT_EQ(RequestControlBackground(req, &parent, false), 1);
  EXPECT_EQ(req.Color, 0x00445566);

  // Not answered: the answer to command 21, else the control's own colour.
  parent.State.Mode = 0;
  parent.ColorAnswer = 0x00ABCDEF;
  EXPECT_EQ(RequestControlBackground(req, &parent, false), 0);
  EXPECT_EQ(req.Kind, bkColor);
  EXPECT_EQ(req.Color, 0x00ABCDEF);
  parent.ColorAnswer = 0;
  parent.SetColor(0x00112233);
  EXPECT_EQ(RequestControlBackground(req, &parent, false), 0);
  EXPECT_EQ(req.Color, 0x00112233);

  // With the paint flag and a bitmap in the request, the colour is filled into the DC at Rect.
  auto target = FilledBitmap32(10, 10, 0xFFFFFFFFu);
  req.DC = reinterpret_cast<HDC__*>(target->Canvas()->GetHandle());
  req.Bitmap = target.get();
  req.Rect = TRect{2, 2, 5, 5};
  EXPECT_EQ(RequestControlBackground(req, &parent, true), 0);
  EXPECT_EQ(parent.State.SeenPaintToDC, 1);
  EXPECT_EQ(DCPixel(target.get(), 3, 3), 0x112233u);
  EXPECT_EQ(DCPixel(target.get(), 6, 6), 0xFFFFFFu);

  // A windowed control without a handle is asked through Perform, and gets no handle.
  TForm bare(nullptr);
  TParentCtrl windowless(&bare);
  windowless.State.Mode = 1;
  windowless.State.Color = 0x00010203;
  TsBackgroundRequest w;
  EXPECT_EQ(RequestControlBackground(w, &windowless, false), 1);
  EXPECT_FALSE(windowless.HandleAllocated());
  TsBackgroundRequest n;
  EXPECT_EQ(RequestControlBackground(n, nullptr, false), 0);
}

TEST_F(BackgroundRequest, ControlCornersTakeTheParentsPixels) {
  TForm form(nullptr);
  form.HandleNeeded();
  TParentCtrl parent(&form);
  parent.SetBoundsRect(TRect{0, 0, 80, 80});
  auto cache = FilledBitmap32(80, 80, 0xFF000000u);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x) SetPixelAt(cache.get(), x, y, 0xFF000000u | (x << 8) | y);
  parent.State.Mode = 2;
  parent.State.Cache = cache.get();
  TChildCtrl child(&parent, TRect{12, 7, 32, 21});

  TsSkinTables sm;
  auto img = FilledBitmap32(9, 9, 0xFF00FF00u);
  SetPixelAt(img.get(), 0, 0, KeyPixel);
  SetPixelAt(img.get(), 8, 8, KeyPixel);
  sm.MaskData.push_back(MaskOver(std::move(img), TRect{0, 0, 9, 9}, 1, 0, dmPaintCentre, 3, 3, 3, 3, 1));
  auto own = FilledBitmap32(20, 14, 0xFFFFFFFFu);
  FillControlCorners(own.get(), &child, &sm, 0, 0, nullptr);
  EXPECT_EQ(PixelAt(own.get(), 0, 0), PixelAt(cache.get(), 12, 7));
  EXPECT_EQ(PixelAt(own.get(), 19, 13), PixelAt(cache.get(), 31, 20));
  EXPECT_EQ(PixelAt(own.get(), 1, 0), 0xFFFFFFFFu);   // not a key pixel of the mask

  // A colour answer of the key colour leaves the corners; a mask without transparent corners
  // is not asked about at all.
  parent.State.Mode = 1;
  parent.State.Color = 0xFF00FF;
  auto keep = FilledBitmap32(20, 14, 0xFFFFFFFFu);
  FillControlCorners(keep.get(), &child, &sm, 0, 0, nullptr);
  EXPECT_EQ(PixelAt(keep.get(), 0, 0), 0xFFFFFFFFu);
  parent.State.Color = 0x0000FF;
  FillControlCorners(keep.get(), &child, &sm, 0, 0, nullptr);
  EXPECT_EQ(PixelAt(keep.get(), 0, 0), 0xFFFF0000u);
  sm.MaskData[0].CornerType = 0;
  const int asked = parent.State.Asked;
  FillControlCorners(keep.get(), &child, &sm, 0, 0, nullptr);
  EXPECT_EQ(parent.State.Asked, asked);
}
