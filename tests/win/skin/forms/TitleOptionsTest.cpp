// The title options of a skinned form on shown test forms: the added title and a title icon
// glyph repaint the caption at once, the icon glyph drawn with its alpha, user button glyphs
// keyed or by alpha and greyed when disabled, a hidden button giving up its place and its hit
// at once, and the mouse events of a pressed user button. The skins are written by
// tests/fixtures/skins/make_frame_skins.py ("FrameA" has no "TITLEBUTTON").
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

class TitleOptions : public formtest::TSkinnedFormTest {
protected:
  void SetUp() override {
    UseSkin(ORBEX_FRAME_SKINS, "FrameA");
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(60, 60, 500, 300);
    Form->SetCaption("Orbex");
    P = formtest::ShowWithFrame(Form.get());
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  // The alpha kernels round an opaque pixel to within one step of its colour.
  static bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2) return false;
    return true;
  }
  std::uint32_t Cache(int x, int y) const { return formtest::CachePixel(P, x, y); }
  // The caption strip as the window shows it.
  std::vector<COLORREF> Strip() const {
    TWindowDC dc(Form->Handle(), TWindowDC::TArea::Window);
    std::vector<COLORREF> out;
    const int h = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < Form->Width(); ++x) out.push_back(GetPixel(dc.Get(), x, y));
    return out;
  }
  TPoint ScreenCentre(int code) const { return formtest::ToScreen(P, formtest::ButtonCentre(P, code)); }
  std::uint32_t ButtonCentre(int code) const { return formtest::ButtonPixel(P, code); }
  // A square glyph: a rim of 2 pixels around the centre, set to pf after it is drawn.
  static std::unique_ptr<TBitmap> Glyph(TPixelFormat pf, int size, std::uint32_t centre, std::uint32_t rim) {
    auto g = std::make_unique<TBitmap>();
    g->SetPixelFormat(TPixelFormat::pf32bit);
    g->SetSize(size, size);
    const TlxPixelBuffer px = BitmapPixels(g.get());
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        SetPix(px, x, y, x >= 2 && y >= 2 && x < size - 2 && y < size - 2 ? centre : rim);
    g->SetPixelFormat(pf);
    return g;
  }
  std::unique_ptr<TForm> Form;
  TsSkinProvider* P = nullptr;
};

TEST_F(TitleOptions, AddedTitleAndIconGlyphRepaintTheCaptionAtOnce) {
  const std::vector<COLORREF> plain = Strip();
  const int builds = P->FrameCacheBuilds;
  P->AddedTitle()->SetText("Extra");
  EXPECT_GT(P->FrameCacheBuilds, builds);
  const std::vector<COLORREF> added = Strip();
  EXPECT_NE(added, plain);
  // The icon glyph: opaque red rim, half-transparent green centre, by its alpha.
  const TRect icon = IconRect(P->Geometry(), SystemMetrics());
  ASSERT_FALSE(icon.IsEmpty());
  // A wholly transparent glyph leaves the bar: what lies under the icon.
  P->TitleIcon()->SetGlyph(Glyph(TPixelFormat::pf32bit, 16, 0, 0).get());
  const std::uint32_t under = Cache(icon.Left + 8, icon.Top + 8);
  EXPECT_EQ(Cache(icon.Left, icon.Top), under);
  const auto glyph = Glyph(TPixelFormat::pf32bit, 16, 0x8000FF00u, 0xFFFF0000u);
  P->TitleIcon()->SetGlyph(glyph.get());
  EXPECT_NE(Strip(), added);
  EXPECT_TRUE(Near(Cache(icon.Left, icon.Top), 0xFF0000u));
  const std::uint32_t mid = Cache(icon.Left + 8, icon.Top + 8);
  EXPECT_NEAR(static_cast<int>((mid >> 8) & 0xFF), (255 + static_cast<int>((under >> 8) & 0xFF)) / 2, 2);
  EXPECT_NEAR(static_cast<int>(mid >> 16), static_cast<int>(under >> 16) / 2, 2);
}

TEST_F(TitleOptions, UserButtonGlyphsAreKeyedAndGreyedWhenDisabled) {
  TsTitleButton* opaque = P->TitleButtons()->Add();
  opaque->SetGlyph(Glyph(TPixelFormat::pf32bit, 12, 0xFFC80000u, 0xFFC80000u).get());
  TsTitleButton* keyed = P->TitleButtons()->Add();
  keyed->SetGlyph(Glyph(TPixelFormat::pf24bit, 12, 0x0000C8u, 0xFFFFFFu).get());   // white rim keyed out
  formtest::RepaintFrame(P);
  EXPECT_EQ(P->UserButtonWidth(opaque), 21);
  EXPECT_TRUE(Near(ButtonCentre(htcUserButton), 0xC80000u));
  EXPECT_TRUE(Near(ButtonCentre(htcUserButton + 1), 0x0000C8u));
  const TRect r = P->TitleButton(htcUserButton + 1)->Rect;
  const int gx = r.Left + (r.Width() - 12) / 2, gy = r.Top + (r.Height() - 12) / 2;
  EXPECT_FALSE(Near(Cache(gx, gy), 0xFFFFFFu));
  opaque->Enabled = false;
  formtest::RepaintFrame(P);
  const std::uint32_t grey = 0xC8 / 3;
  EXPECT_TRUE(Near(ButtonCentre(htcUserButton), grey * 0x010101u));
  EXPECT_EQ(opaque->Glyph()->GetPixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(GetPix(BitmapPixels(opaque->Glyph()), 5, 5), 0xFFC80000u);   // the glyph itself stays
}

TEST_F(TitleOptions, AHiddenButtonGivesUpItsPlaceAndHitAtOnce) {
  TsTitleButton* first = P->TitleButtons()->Add();
  P->TitleButtons()->Add();
  formtest::RepaintFrame(P);
  const TPoint firstAt = ScreenCentre(htcUserButton);
  const TRect secondRect = P->TitleButton(htcUserButton + 1)->Rect;
  ASSERT_EQ(P->TitleHitTest(firstAt), htcUserButton);
  const int builds = P->FrameCacheBuilds;
  first->SetVisible(false);
  EXPECT_GT(P->FrameCacheBuilds, builds);
  EXPECT_NE(P->TitleHitTest(firstAt), htcUserButton);
  EXPECT_EQ(P->TitleButton(htcUserButton)->State, -1);
  // The shown one moved right into the freed place.
  EXPECT_GT(P->TitleButton(htcUserButton + 1)->Rect.Left, secondRect.Left);
}

TEST_F(TitleOptions, APressedUserButtonRaisesItsMouseEvents) {
  TsTitleButton* b = P->TitleButtons()->Add();
  formtest::RepaintFrame(P);
  std::vector<std::string> seen;
  b->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int, int) { seen.push_back(s == b ? "down" : "?"); };
  b->OnMouseUp = [&](TObject* s, TMouseButton, TShiftState, int, int) { seen.push_back(s == b ? "up" : "?"); };
  const TPoint at = ScreenCentre(htcUserButton);
  ASSERT_EQ(P->TitleHitTest(at), htcUserButton);
  SendMessageA(Form->Handle(), WM_NCLBUTTONDOWN, htcUserButton, MAKELPARAM(at.X, at.Y));
  P->ReleaseTitleButton(htcUserButton, at);
  EXPECT_EQ(seen, (std::vector<std::string>{"down", "up"}));
}

}  // namespace
