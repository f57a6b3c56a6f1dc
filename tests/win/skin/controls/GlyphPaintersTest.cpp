// The glyph painters of tool buttons: an alpha list's image blended at its soft edges, another
// list keyed on clFuchsia when it has no background colour, the hot list only for the indexes
// it holds, and no image for index -1. Each paints into a blue 32-bit target that is then
// counted by colour.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "framework/win/ComCtrls.h"
#include "skin/controls/sGlyphPainters.h"
#include "skin/core/sMessages.h"
#include "skin/paint/win/lxAlphaImageList.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr COLORREF Blue = RGB(0, 0, 255), Green = RGB(0, 160, 0), Red = RGB(220, 0, 0);

// A 16 x 16 image: `inner` in the middle 8 x 8 over `outer`; with `alpha` the outer ring is
// half transparent (premultiplied) and the rest transparent.
std::unique_ptr<TBitmap> Image(COLORREF inner, COLORREF outer, bool alpha) {
  auto bmp = CreateBitmap32(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool in = x >= 4 && x < 12 && y >= 4 && y < 12;
      const bool ring = !in && x >= 3 && x < 13 && y >= 3 && y < 13;
      const COLORREF c = in ? inner : outer;
      std::uint32_t px = 0xFF000000u | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
      if (alpha) px = in ? px : ring ? (0x80000000u | (GetRValue(c) / 2) << 16) : 0u;
      SetPix(BitmapPixels(bmp.get()), x, y, px);
    }
  return bmp;
}

std::map<COLORREF, int> Colours(TBitmap* bmp) {
  std::map<COLORREF, int> n;
  for (int y = 0; y < bmp->GetHeight(); ++y)
    for (int x = 0; x < bmp->GetWidth(); ++x) ++n[GetPixel(bmp->Canvas()->GetHandle(), x, y)];
  return n;
}

class Painters : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 120);
    Bar = new TToolBar(Form.get());
    Bar->SetParent(Form.get());
    Bar->SetButtonWidth(40);
    Bar->SetButtonHeight(30);
    Button = new TToolButton(Form.get());
    Button->SetParent(Bar);
    Form->Show();
  }
  std::unique_ptr<TBitmap> Target() {
    auto t = CreateBitmap32(Button->Width(), Button->Height());
    t->Canvas()->Brush()->SetColor(static_cast<TColor>(Blue));
    t->Canvas()->FillRect(TRect{0, 0, t->GetWidth(), t->GetHeight()});
    return t;
  }
  TImageList* Keyed(COLORREF inner) {
    auto* list = new TImageList(Form.get());
    list->SetMasked(false);
    auto img = Image(inner, RGB(255, 0, 255), false);
    list->Add(img.get(), nullptr);
    return list;
  }
  std::unique_ptr<TForm> Form;
  TToolBar* Bar = nullptr;
  TToolButton* Button = nullptr;
};

TEST_F(Painters, AlphaImagesBlendTheirEdges) {
  auto* list = new TsAlphaImageList(Form.get());
  list->SetMasked(false);
  auto img = Image(Red, Red, true);
  list->Add(img.get(), nullptr);
  Bar->SetImages(list);
  Button->SetImageIndex(0);
  auto t = Target();
  ForeignToolButtonGlyphPainter(Bar, Button, 0, t.get());
  // The opaque middle in the image's red (give or take the blend's rounding), the half
  // transparent ring some of the red over some of the blue, the rest blue.
  int opaque = 0, blended = 0;
  for (auto [c, count] : Colours(t.get())) {
    if (GetBValue(c) == 0 && GetRValue(c) >= 215) opaque += count;
    else if (GetRValue(c) > 0 && GetBValue(c) > 0 && GetBValue(c) < 255) blended += count;
  }
  EXPECT_EQ(opaque, 64);
  EXPECT_EQ(blended, 100 - 64);
}

TEST_F(Painters, ListsWithoutBackgroundAreKeyedOnFuchsiaAndHotImagesServeTheirIndexes) {
  TImageList* images = Keyed(Green);
  auto second = Image(Green, RGB(255, 0, 255), false);
  images->Add(second.get(), nullptr);
  ASSERT_EQ(images->GetBkColor(), clNone);
  Bar->SetImages(images);
  Bar->SetHotImages(Keyed(Red));
  struct Case {
    int Index;
    TCustomDrawState State;
    COLORREF Inner;   // 0: nothing drawn
  };
  const Case cases[] = {{0, 0, Green}, {0, cdsHot, Red}, {1, cdsHot, Green}, {-1, cdsHot, 0}, {5, 0, 0}};
  for (const Case& c : cases) {
    Button->SetImageIndex(c.Index);
    auto t = Target();
    ForeignToolButtonGlyphPainter(Bar, Button, c.State, t.get());
    auto n = Colours(t.get());
    EXPECT_EQ(n[RGB(255, 0, 255)], 0) << c.Index;
    EXPECT_EQ(n[c.Inner], c.Inner != 0 ? 64 : 0) << c.Index << " " << c.State;
    EXPECT_EQ(n[Blue], t->GetWidth() * t->GetHeight() - (c.Inner != 0 ? 64 : 0)) << c.Index;
  }
}

}  // namespace
