// The alpha image list under Wine: images served from their PNG source (fresh at their own
// size, resampled and cached at another, the cache copied on the next request), 24-bit items
// given alpha, images added through the framework repaired, drawing with alpha (items by
// their source, other images as icons), one state of a strip drawn, the background colour
// taken over by assignment, a broken item named without leaving the list deaf, and no GDI
// object left behind.
#include "skin/paint/win/lxAlphaImageList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"
#include "tests/win/ResourceCount.h"

using namespace pngtest;

namespace {

class AlphaImageList : public testing::Test {
protected:
  static void SetUpTestSuite() {
    InitGraphicsUnit();
    InitPNGUnit();
  }
  static void TearDownTestSuite() { DonePNGUnit(); }
};

std::uint32_t Pixel(TBitmap* b, int x, int y) {
  std::uint32_t v;
  std::memcpy(&v, static_cast<std::uint8_t*>(b->ScanLine(y)) + x * 4, 4);
  return v;
}
void SetPixel(TBitmap* b, int x, int y, std::uint32_t v) {
  std::memcpy(static_cast<std::uint8_t*>(b->ScanLine(y)) + x * 4, &v, 4);
}

// An RGBA picture of w x h whose pixel (x, y) is colour(x, y) as 0xAARRGGBB.
template <class F>
Bytes Rgba(int w, int h, F colour) {
  Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colour(x, y);
      for (int shift : {16, 8, 0, 24}) raw.push_back(std::uint8_t(c >> shift));
    }
  }
  return File(IHDR(std::uint32_t(w), std::uint32_t(h), 8, 6), {Chunk("IDAT", Deflate(raw))});
}

// 16 x 16: a gradient whose alpha runs 0 .. 255 across, so that scaling shows.
Bytes Gradient16() {
  return Rgba(16, 16, [](int x, int y) {
    return std::uint32_t(x * 17) << 24 | std::uint32_t(x * 16) << 16 | std::uint32_t(y * 16) << 8 | 0x80;
  });
}

// A list of w x h with one PNG item per picture, generated.
std::unique_ptr<TsAlphaImageList> MakeList(int w, int h, std::initializer_list<Bytes> pictures) {
  std::unique_ptr<TsAlphaImageList> list(NewComponent<TsAlphaImageList>(nullptr));
  list->SetSize(w, h);
  for (const Bytes& p : pictures) {
    TsImgListItem* it = list->Items()->Add();
    it->ImageFormat = ifPNG;
    it->Data = p;
  }
  list->GetHandle();
  list->GenerateStdList();
  return list;
}

std::unique_ptr<TPNGGraphic> Decoded(const Bytes& data) {
  auto png = std::make_unique<TPNGGraphic>();
  TReadOnlyMemoryStream s(data.data(), std::int64_t(data.size()));
  png->LoadFromStream(s);
  return png;
}

bool SamePixels(TBitmap* a, TBitmap* b) {
  if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
  for (int y = 0; y < a->GetHeight(); ++y)
    for (int x = 0; x < a->GetWidth(); ++x)
      if (Pixel(a, x, y) != Pixel(b, x, y)) return false;
  return true;
}

// A 16 x 16 opaque red bitmap (24-bit, no alpha) with a magenta pixel at (3, 4).
std::unique_ptr<TBitmap> RedWithKey() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf24bit);
  b->SetSize(16, 16);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(Rect(0, 0, 16, 16));
  b->Canvas()->SetPixel(3, 4, clFuchsia);
  return b;
}

// A source pixel laid over a destination pixel as the painting primitives lay images (their
// weights divide by 256), colour only.
std::uint32_t Over(std::uint32_t destination, std::uint32_t source) {
  TlxImageBuffer d(1, 1), s(1, 1);
  SetPix(d.View(), 0, 0, destination);
  SetPix(s.View(), 0, 0, source);
  CopyWithAlpha(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), d.View(), false, 0, clNoneTint, false, TlxBackgroundView{},
                s.View());
  return GetPix(d.View(), 0, 0) & 0xFFFFFF;
}

std::unique_ptr<TBitmap> Filled32(int w, int h, std::uint32_t pixel) {
  auto b = CreateBitmap32(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(b.get(), x, y, pixel);
  return b;
}

TEST_F(AlphaImageList, ItemImagesComeFreshAtTheirSizeAndResampledAndCachedAtAnother) {
  const Bytes data = Gradient16();
  auto list = MakeList(16, 16, {data});
  TsImgListItem* item = list->Items()->Items(0);
  EXPECT_EQ(item->DecodedWidth, 16);

  const auto own = list->CreateImageBitmap(0, 16, 16);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->GetPixelFormat(), TPixelFormat::pf32bit);
  EXPECT_TRUE(SamePixels(own.get(), Decoded(data).get()));

  const auto larger = list->CreateImageBitmap(0, 24, 24);
  ASSERT_NE(larger, nullptr);
  ASSERT_EQ(larger->GetWidth(), 24);
  ASSERT_EQ(larger->GetHeight(), 24);
  TBitmap* cache = item->CachedBitmap();
  ASSERT_NE(cache, nullptr);
  EXPECT_NE(cache, larger.get());
  auto expected = std::make_unique<TBitmap>();
  SmoothStretch(Decoded(data).get(), expected.get(), 24, 24, 6);
  EXPECT_TRUE(SamePixels(larger.get(), expected.get()));

  // The second request at that size is a copy of the cache, not a new resample.
  SetPixel(cache, 5, 5, 0x12345678u);
  const auto again = list->CreateImageBitmap(0, 24, 24);
  EXPECT_EQ(item->CachedBitmap(), cache);
  EXPECT_EQ(Pixel(again.get(), 5, 5), 0x12345678u);
}

TEST_F(AlphaImageList, A24BitItemIsOpaqueWhereItDiffersFromItsBottomLeftPixel) {
  // 3 x 2 RGB: the bottom-left colour (0x102030) is also at the top right.
  const std::uint8_t rows[2][9] = {{200, 0, 0, 0, 200, 0, 16, 32, 48}, {16, 32, 48, 0, 0, 200, 9, 9, 9}};
  Bytes raw;
  for (const auto& r : rows) {
    raw.push_back(0);
    raw.insert(raw.end(), r, r + 9);
  }
  auto list = MakeList(3, 2, {File(IHDR(3, 2, 8, 2), {Chunk("IDAT", Deflate(raw))})});
  const auto image = list->CreateImageBitmap(0, 3, 2);
  ASSERT_NE(image, nullptr);
  const std::uint32_t want[2][3] = {{0xFFC80000u, 0xFF00C800u, 0x00102030u}, {0x00102030u, 0xFF0000C8u, 0xFF090909u}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel(image.get(), x, y), want[y][x]) << x << "," << y;
}

TEST_F(AlphaImageList, ImagesAddedThroughTheFrameworkGetTheirShape) {
  auto list = MakeList(16, 16, {Gradient16()});
  ASSERT_EQ(list->Add(RedWithKey().get(), nullptr), 1);
  const auto image = list->CreateImageBitmap(1, 16, 16);   // beyond Items: from the system list
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixel(image.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(image.get(), 3, 4) >> 24, 0u);
}

TEST_F(AlphaImageList, DrawsItemsByTheirAlphaAndOtherImagesAsIcons) {
  // Item 0: a 16 x 16 picture, opaque red at (0, 0), blue at alpha 128 at (1, 0) and clear
  // elsewhere; image 1 comes through the framework.
  const Bytes data = Rgba(16, 16, [](int x, int y) {
    return y != 0 ? 0u : x == 0 ? 0xFFFF0000u : x == 1 ? 0x800000FFu : 0u;
  });
  auto list = MakeList(16, 16, {data});
  list->Add(RedWithKey().get(), nullptr);
  ImageList_SetBkColor(list->GetHandle(), RGB(0, 0, 255));
  const std::uint32_t green = 0xFF00FF00u;
  struct {
    int index;
    int x, y;
    std::uint32_t want;
  } const cases[] = {
      {0, 0, 0, Over(green, 0xFFFF0000u)}, {0, 1, 0, Over(green, 0x800000FFu)}, {0, 5, 5, green},  // by alpha
      {1, 0, 0, 0xFFFF0000u}, {1, 3, 4, green},                                                   // icon
  };
  for (const auto& c : cases) {
    const auto canvas = Filled32(20, 20, green);
    list->Draw(canvas->Canvas(), 2, 3, c.index);
    GdiFlush();
    EXPECT_EQ(Pixel(canvas.get(), 2 + c.x, 3 + c.y) & 0xFFFFFF, c.want & 0xFFFFFF) << c.index << " " << c.x;
  }
  EXPECT_EQ(ImageList_GetBkColor(list->GetHandle()), CLR_NONE);   // the icon is drawn transparent
}

TEST_F(AlphaImageList, DrawsTheLastStateForAStateBeyondTheStrip) {
  // A 12 x 4 strip of three opaque states: red, green, blue.
  const std::uint32_t states[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  auto list = MakeList(12, 4, {Rgba(12, 4, [&](int x, int) { return states[x / 4]; })});
  const std::uint32_t grey = 0xFF808080u;
  const auto target = Filled32(10, 10, grey);
  TSize size;
  DrawAlphaImage(list.get(), target.get(), 1, size, false, 3, 5, 0, clNone, 0, 2);
  EXPECT_EQ(size, (TSize{4, 4}));
  EXPECT_EQ(Pixel(target.get(), 1, 2) & 0xFFFFFF, Over(grey, states[2]));
  EXPECT_EQ(Pixel(target.get(), 4, 5) & 0xFFFFFF, Over(grey, states[2]));
  EXPECT_EQ(Pixel(target.get(), 5, 2), grey);
  // Onto a DC: the same state, over the list's whole width.
  const auto onDC = Filled32(14, 10, grey);
  DrawAlphaImageToDC(list.get(), onDC->Canvas()->GetHandle(), 1, false, 3, 1, 0, clNone, 0, 2);
  GdiFlush();
  EXPECT_EQ(Pixel(onDC.get(), 1, 2) & 0xFFFFFF, Over(grey, states[1]));
  EXPECT_EQ(Pixel(onDC.get(), 5, 2), grey);
}

TEST_F(AlphaImageList, AssignmentTakesTheSourceListsBackgroundColour) {
  struct {
    COLORREF system;
    TColor want;
  } const cases[] = {{CLR_NONE, TColor(0x1FFFFFFF)}, {CLR_DEFAULT, TColor(0x20000000)}, {RGB(1, 2, 3), 0x030201}};
  for (const auto& c : cases) {
    auto source = MakeList(16, 16, {Gradient16()});
    ImageList_SetBkColor(source->GetHandle(), c.system);
    std::unique_ptr<TsAlphaImageList> target(NewComponent<TsAlphaImageList>(nullptr));
    target->Assign(source.get());
    EXPECT_EQ(target->GetBkColor(), c.want) << std::hex << c.system;
    EXPECT_EQ(target->Count(), 1);
    EXPECT_EQ(target->Items()->Count(), 1);
  }
}

TEST_F(AlphaImageList, ABrokenItemIsNamedAndTheListStillRepairsLaterImages) {
  auto list = MakeList(16, 16, {Gradient16()});
  list->SetName("ilTest");
  TsImgListItem* broken = list->Items()->Add();
  broken->Data = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  try {
    list->GenerateStdList();
    ADD_FAILURE() << "a broken item was taken";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find("Image 1 of ilTest"), std::string::npos) << e.Message();
  }
  list->Items()->Delete(1);
  ASSERT_EQ(list->Add(RedWithKey().get(), nullptr), 1);
  const auto image = list->CreateImageBitmap(1, 16, 16);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixel(image.get(), 0, 0), 0xFFFF0000u);
}

TEST_F(AlphaImageList, LeavesNoGdiObjectBehind) {
  auto run = [] {
    auto list = MakeList(16, 16, {Gradient16()});
    list->Add(RedWithKey().get(), nullptr);
    const auto canvas = Filled32(40, 40, 0);
    for (int index : {0, 1}) list->Draw(canvas->Canvas(), 0, 0, index);
    list->CreateImageBitmap(0, 24, 24);
    TSize size;
    DrawAlphaImage(list.get(), canvas.get(), 0, size, true, 1, 0, 20, clRed, 0, 0);
    DrawAlphaImageToDC(list.get(), canvas->Canvas()->GetHandle(), 0, true, 1, 0, 0, clNone, 1, 0);
    std::unique_ptr<TsAlphaImageList> copy(NewComponent<TsAlphaImageList>(nullptr));
    copy->Assign(list.get());
  };
  run();
  const TResourceCount before = CountResources();
  for (int i = 0; i < 20; ++i) run();
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

}  // namespace
