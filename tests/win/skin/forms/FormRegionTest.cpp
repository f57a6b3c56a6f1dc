// A skinned form's live geometry and window region under Wine: the key-colour corners of a
// border mask and of the title's "BORDERSMASK" cut out of the region, the region applied to a
// real window (a maximized form's plain rectangle, no region leaked however often it is
// replaced), a real menu bar counted as one line, and the title-button strip of a narrow form
// saved and restored through the framework's bitmaps.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "framework/win/Menus.h"
#include "skin/forms/sFormRegion.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/native/skin/core/FakeMetrics.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/core/painting/SkinPaintTestUtil.h"

namespace {

constexpr std::uint32_t Opaque = 0xFF808080u;

// A 12 x 12 mask with 3-pixel borders over its own bitmap, key pixels where given.
TsMaskData KeyedMask(std::initializer_list<TPoint> keys, const char* section, const char* key) {
  auto img = FilledBitmap32(12, 12, Opaque);
  for (const TPoint& p : keys) SetPixelAt(img.get(), p.X, p.Y, KeyPixel);
  TsMaskData m = MaskOver(std::move(img), TRect{0, 0, 12, 12}, 1, 0, 0, 3, 3, 3, 3);
  m.ClassName = section;
  m.PropertyName = key;
  return m;
}

// Border mask 0 (section "FORM") with one key pixel in each corner, two in the top-left;
// the title section "FORMTITLE" with a "BORDERSMASK" keyed at (2, 0) and (9, 0).
TsSkinTables CornerSkin() {
  TsSkinTables t;
  t.MaskData.push_back(KeyedMask({{0, 0}, {1, 0}, {11, 0}, {0, 11}, {11, 11}}, "FORM", "BORDER"));
  t.MaskData.push_back(KeyedMask({{2, 0}, {9, 0}}, "FORMTITLE", "BORDERSMASK"));
  TsGeneralData title;
  title.ClassName = "FORMTITLE";
  t.GeneralData.push_back(std::move(title));
  return t;
}

std::unique_ptr<TForm> NewForm() {
  if (Application == nullptr) InitForms();
  auto f = std::make_unique<TForm>(nullptr);
  f->SetBounds(50, 50, 300, 200);
  return f;
}

TRect RegionBox(HWND wnd) {
  TOwnedRegion r(::CreateRectRgn(0, 0, 0, 0));
  RECT b{};
  if (::GetWindowRgn(wnd, r.Get()) == ERROR) return {};
  ::GetRgnBox(r.Get(), &b);
  return TRect{b.left, b.top, b.right, b.bottom};
}

TEST(FormRegion, CutsTheKeyCornersOfTheBorderAndTitleMasks) {
  const TsSkinTables skin = CornerSkin();
  std::vector<TRect> cuts{TRect{1, 1, 2, 2}};   // emptied first
  BuildRegionRects(cuts, &skin, nullptr, 0, "", 100, 50);
  ASSERT_EQ(cuts.size(), 6u);
  const TOwnedRegion rgn = CreateRegion(5, 7, 100, 50, cuts);
  ASSERT_TRUE(rgn);
  auto in = [&](int x, int y) { return ::PtInRegion(rgn.Get(), 5 + x, 7 + y) != FALSE; };
  EXPECT_FALSE(in(0, 0));
  EXPECT_FALSE(in(1, 0));
  EXPECT_TRUE(in(0, 1));
  EXPECT_FALSE(in(99, 0));
  EXPECT_FALSE(in(0, 49));
  EXPECT_FALSE(in(99, 49));
  EXPECT_TRUE(in(98, 49));
  EXPECT_FALSE(in(2, 0));    // the title's corners
  EXPECT_FALSE(in(97, 0));
  EXPECT_TRUE(in(50, 25));
  RECT box{};
  ::GetRgnBox(rgn.Get(), &box);
  EXPECT_EQ((TRect{box.left, box.top, box.right, box.bottom}), (TRect{5, 7, 105, 57}));

  // A named title section without the mask, and a border index outside the tables: nothing.
  BuildRegionRects(cuts, &skin, nullptr, 7, "OTHERTITLE", 100, 50);
  EXPECT_TRUE(cuts.empty());
  BuildRegionRects(cuts, nullptr, nullptr, 0, "", 100, 50);
  EXPECT_TRUE(cuts.empty());
}

TEST(FormRegion, AppliesThePlannedRegionWithoutLeaking) {
  const TFakeMetrics sm;
  auto form = NewForm();
  form->HandleNeeded();
  TsFormGeometry f = FormGeometryOf(form.get());
  f.Zoomed = true;
  TsRegionFlags flags;
  ASSERT_TRUE(UpdateRegion(form.get(), f, sm, {}, true, false, flags, false));
  EXPECT_FALSE(flags.Changed);
  EXPECT_FALSE(flags.Changing);
  EXPECT_EQ(RegionBox(form->Handle()), (TRect{4, 4, f.WindowWidth - 4, f.WindowHeight - 4}));

  f.Zoomed = false;
  const TsSkinTables skin = CornerSkin();
  std::vector<TRect> cuts;
  BuildRegionRects(cuts, &skin, nullptr, 0, "", CacheWidth(f, sm), f.FormHeight);
  const TResourceCount before = CountResources();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(UpdateRegion(form.get(), f, sm, cuts, true, false, flags, i % 2 == 0));
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  TOwnedRegion now(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(form->Handle(), now.Get()), ERROR);
  EXPECT_FALSE(::PtInRegion(now.Get(), 0, 0));
  EXPECT_TRUE(::PtInRegion(now.Get(), 150, 100));
  // Without skinned frame nothing is touched.
  EXPECT_FALSE(UpdateRegion(form.get(), f, sm, cuts, false, false, flags, false));
}

TEST(FormRegion, ARealMenuBarIsOneLine) {
  auto form = NewForm();
  auto* menu = new TMainMenu(form.get());
  auto* item = new TMenuItem(form.get());
  item->SetCaption("&File");
  menu->Items()->Add(item);
  form->SetMenu(menu);
  form->HandleNeeded();
  TsFormGeometry f = FormGeometryOf(form.get());
  ASSERT_TRUE(f.FirstMenuItemBottom.has_value());
  EXPECT_TRUE(HasMenuLine(f));
  EXPECT_EQ(MenuLineCount(f, SystemMetrics()), 1);
  EXPECT_EQ(MenuLineHeight(f, SystemMetrics()), ::GetSystemMetrics(SM_CYMENU) - 1);
  menu->SetAutoMerge(true);
  f = FormGeometryOf(form.get());
  EXPECT_FALSE(HasMenuLine(f));
  EXPECT_EQ(MenuLineHeight(f, SystemMetrics()), 0);
}

TEST(FormRegion, TitleStripOfANarrowFormRoundTrips) {
  const TFakeMetrics sm;
  TsFormGeometry f;
  f.Style = wsfCaption | wsfThickFrame;
  f.FormWidth = f.WindowWidth = 40;
  const TsTitleStrip s = TitleButtonsStrip(f, sm, 60, 40, true);
  ASSERT_LT(s.X, 0);
  auto cache = CreateBitmap32(40, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) SetPixelAt(cache.get(), x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 40 + x));
  TBitmap work;
  SaveTitleButtonsArea(&work, cache.get(), s);
  EXPECT_EQ(work.GetPixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(work.GetWidth(), s.Width);
  EXPECT_EQ(work.GetHeight(), s.Height);
  for (int y = 0; y < s.Height; ++y) SetPixelAt(cache.get(), 10, y, 0);
  RestoreTitleButtonsArea(cache.get(), &work, s);
  EXPECT_EQ(PixelAt(cache.get(), 10, 5), 0xFF000000u | (5u * 40u + 10u));
  TBitmap none;
  RestoreTitleButtonsArea(cache.get(), &none, s);   // nothing saved: nothing changes
  EXPECT_EQ(PixelAt(cache.get(), 10, 5), 0xFF000000u | (5u * 40u + 10u));
}

}  // namespace
