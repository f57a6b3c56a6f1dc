// Glow windows under Wine: none without a glow mask, layered windows or pixels; place, cuts,
// styles and z-order around real windows; the picture given to UpdateLayeredWindow; ids that
// stay valid and are never used twice; forms released or freed at once; the links; no leaks.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "skin/adapters/lxGlow.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/GuiTestEnvironment.h"
#include "tests/win/ResourceCount.h"

namespace {

class TGlowEnvironment : public TGuiTestEnvironment {
public:
  TGlowEnvironment() : TGuiTestEnvironment("glow test") {}

protected:
  void InitUnits() override {
    InitGraphicsUnit();
    sMessagesInitialization();
    InitAlphaGraphUnit();
    InitGlowUnit();
  }
  void Stopped() override {
    DoneGlowUnit();
    DoneAlphaGraphUnit();
  }
};

[[maybe_unused]] testing::Environment* const Env = testing::AddGlobalTestEnvironment(new TGlowEnvironment);

// What the glow handed to UpdateLayeredWindow last: blend, flags, size and the source pixels
// (top row first), read from the bitmap selected into the source DC.
struct TLayeredCall {
  BLENDFUNCTION Blend{};
  DWORD Flags = 0;
  SIZE Size{};
  std::vector<std::uint32_t> Pixels;
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Size.cx + x)]; }
};
TLayeredCall LastCall;
TUpdateLayeredWindow RealUpdateLayeredWindow = nullptr;

BOOL WINAPI RecordLayeredWindow(HWND h, HDC dst, POINT* pt, SIZE* size, HDC src, POINT* srcPt, COLORREF key,
                                BLENDFUNCTION* blend, DWORD flags) {
  LastCall = TLayeredCall{*blend, flags, *size, {}};
  DIBSECTION ds{};
  if (GetObjectA(GetCurrentObject(src, OBJ_BITMAP), sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBitsPixel == 32) {
    const auto* bits = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    const bool bottomUp = ds.dsBmih.biHeight > 0;
    for (int y = 0; y < size->cy; ++y)
      for (int x = 0; x < size->cx; ++x)
        LastCall.Pixels.push_back(bits[(bottomUp ? size->cy - 1 - y : y) * ds.dsBm.bmWidth + x]);
  }
  return RealUpdateLayeredWindow(h, dst, pt, size, src, srcPt, key, blend, flags);
}

// A 30 x 30 glow frame over its band, colour (200, 100, 50); the band's red is 0 left of
// x 10, 128 up to x 20 and 255 from there; borders 12, stretched, no centre.
TsMaskData GlowMask(TsSkinManager* manager) {
  TsMaskData m;
  auto bmp = CreateBitmap32(30, 60);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      SetPix(BitmapPixels(bmp.get()), x, y, 0xFFC86432u);
      SetPix(BitmapPixels(bmp.get()), x, y + 30, 0xFF000000u | (x < 10 ? 0 : x < 20 ? 128 : 255) * 0x010101u);
    }
  m.Bmp = std::move(bmp);
  m.ClassName = "BUTTON";
  m.PropertyName = "GLOW0";
  m.R = TRect{0, 0, 30, 60};
  m.ImageCount = 1;
  m.MaskType = 1;
  m.DrawMode = dmStretch;
  m.WL = m.WT = m.WR = m.WB = 12;
  m.Manager = manager;
  return m;
}

TRect WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

class Glow : public testing::Test {
protected:
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->Tables()->MaskData.push_back(GlowMask(M.get()));
    Below = MakeWindow(Bounds(150, 100, 300, 150));
    Control = MakeWindow(Bounds(200, 150, 100, 30));
    RealUpdateLayeredWindow = UpdateLayeredWindowProc;
  }
  void TearDown() override {
    UpdateLayeredWindowProc = RealUpdateLayeredWindow;
    ClearGlows(true);
    Control.reset();
    Below.reset();
    M.reset();
    Application->ProcessMessages();
  }
  static std::unique_ptr<TForm> MakeWindow(const TRect& r) {
    auto f = std::make_unique<TForm>(nullptr);
    f->SetBorderStyle(bsNone);
    f->SetBoundsRect(r);
    ShowWindow(f->Handle(), SW_SHOWNOACTIVATE);
    return f;
  }
  int Show(const TRect& visible = TRect{0, 0, 100, 30}, int margin = 2, const std::string& section = "BUTTON") {
    return ShowGlow(WindowRect(Control->Handle()), visible, section, M.get(), Control->Handle(), 255, margin, "GLOW");
  }
  static HWND GlowWindow(int id) {
    TlxGlowEffect* g = GlowEffects().Get(id);
    return g != nullptr && g->GlowForm() != nullptr ? g->GlowForm()->Handle() : nullptr;
  }
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Below, Control;
};

}  // namespace

TEST_F(Glow, NoneWithoutMaskLayeredWindowsOrPixels) {
  const long windows = ThreadWindowCount();
  EXPECT_EQ(Show(TRect{0, 0, 100, 30}, 2, "PANEL"), -1);
  UpdateLayeredWindowProc = nullptr;   // as on a system without layered windows
  EXPECT_EQ(Show(), -1);
  UpdateLayeredWindowProc = RealUpdateLayeredWindow;
  EXPECT_EQ(Show(TRect{0, 0, 100, 30}, 62), -1);   // 100 + 12 + 12 - 2 * 62 = 0 pixels wide
  EXPECT_EQ(ThreadWindowCount(), windows);
}

TEST_F(Glow, PlacedStyledAndTransparentToTheMouse) {
  HWND above = GetWindow(Control->Handle(), GW_HWNDPREV);
  const int id = Show();
  HWND g = GlowWindow(id);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(WindowRect(g), Bounds(190, 140, 120, 50));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(g, GWL_EXSTYLE)), 0x080800A0u);
  EXPECT_EQ(GlowEffects().Get(id)->GlowForm()->Tag(), -98);
  EXPECT_TRUE(IsWindowVisible(g));
  // Right above the control, below what was above it.
  EXPECT_EQ(GetWindow(Control->Handle(), GW_HWNDPREV), g);
  EXPECT_EQ(GetWindow(g, GW_HWNDPREV), above);
  // Clicks reach the window below the halo.
  EXPECT_EQ(SendMessageA(g, WM_NCHITTEST, 0, MAKELPARAM(195, 145)), HTTRANSPARENT);
  EXPECT_EQ(WindowFromPoint(POINT{195, 145}), Below->Handle());
  // Cut where the control is covered right of x 60 and below y 20.
  EXPECT_EQ(WindowRect(GlowWindow(Show(TRect{0, 0, 60, 20}))), Rect(190, 140, 260, 170));
  // Around a topmost window the glow is topmost.
  SetWindowPos(Control->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(GlowWindow(Show()), GWL_EXSTYLE)), 0x080800A0u | WS_EX_TOPMOST);
}

TEST_F(Glow, LayeredPictureIsPremultipliedWithBandCoverage) {
  UpdateLayeredWindowProc = &RecordLayeredWindow;
  ASSERT_GE(Show(), 0);
  const BLENDFUNCTION& b = LastCall.Blend;
  EXPECT_TRUE(b.BlendOp == AC_SRC_OVER && b.BlendFlags == 0 && b.SourceConstantAlpha == 255 &&
              b.AlphaFormat == AC_SRC_ALPHA);
  EXPECT_EQ(LastCall.Flags, static_cast<DWORD>(ULW_ALPHA));
  ASSERT_EQ(LastCall.Size.cx * LastCall.Size.cy, 6000);
  ASSERT_EQ(LastCall.Pixels.size(), 6000u);
  EXPECT_EQ(LastCall.At(5, 5), 0xFFC86432u);     // band 0: opaque
  EXPECT_EQ(LastCall.At(11, 45), 0x7F643219u);   // band 128: alpha 127, colour * 127 / 255
  EXPECT_EQ(LastCall.At(108, 5), 0x7F643219u);   // right corner from frame column 18
  EXPECT_EQ(LastCall.At(112, 5), 0u);            // band 255: nothing
  EXPECT_EQ(LastCall.At(60, 25), 0u);            // no centre
}

TEST_F(Glow, IdsStayValidAndAreNeverReused) {
  const int a = Show(), b = Show();
  ASSERT_EQ(b, a + 1);
  HWND ha = GlowWindow(a), hb = GlowWindow(b);
  HideGlow(a);
  HideGlow(a);   // stale and -1: nothing
  HideGlow(-1);
  EXPECT_EQ(GlowEffects().Get(a), nullptr);
  EXPECT_TRUE(IsWindowVisible(GlowWindow(b)));
  EXPECT_TRUE(IsWindow(ha));   // released: gone once the queued messages are handled
  Application->ProcessMessages();
  EXPECT_FALSE(IsWindow(ha));
  ClearGlows(true);   // forms freed at once
  EXPECT_FALSE(IsWindow(hb));
  const int c = Show();   // a new id; the old ones hide nothing
  EXPECT_GT(c, b);
  HideGlow(a);
  HideGlow(b);
  EXPECT_NE(GlowWindow(c), nullptr);
}

TEST_F(Glow, TheManagerReachesGlowsThroughItsLinks) {
  const TsSkinManagerLinks& links = SkinManagerLinks();
  ASSERT_TRUE(links.ShowGlow && links.HideGlow && links.ClearGlows);
  const int id = links.ShowGlow(WindowRect(Control->Handle()), TRect{0, 0, 100, 30}, "BUTTON", nullptr,
                                Control->Handle(), 255, 2, "GLOW");   // the default manager
  ASSERT_NE(GlowWindow(id), nullptr);
  links.HideGlow(id);
  EXPECT_EQ(GlowEffects().Get(id), nullptr);
  const int second = Show();
  M->ApplySkin(false);   // applying a skin removes every glow
  EXPECT_EQ(GlowEffects().Get(second), nullptr);
  HWND h = GlowWindow(Show());
  M.reset();   // a manager being destroyed frees the forms at once
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(Glow, NothingLeaks) {
  auto once = [this] {
    HideGlow(Show());
    ClearGlows(false);
    Application->ProcessMessages();
  };
  once();
  const TResourceCount before = CountResources();
  for (int i = 0; i < 20; ++i) once();
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}
