// The alpha image list under Wine: item images from their PNG source (fresh at their own
// size, resampled and cached at another), 24-bit items given alpha, drawing by alpha and as
// icons without leaks, one state of a strip, the background colour taken over by assignment,
// a broken item named, and images added through the framework repaired after it.
#include "skin/paint/win/lxAlphaImageList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"
#include "tests/win/ResourceCount.h"

using namespace pngtest;

namespace {

class AlphaImageList : public testing::Test {
protected:
  static void SetUpTestSuite() { InitPNGUnit(); }
  static void TearDownTestSuite() { DonePNGUnit(); }
};

std::uint32_t* At(TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y)) + x; }

// A w x h PNG whose pixel (x, y) is px(x, y) as 0xAARRGGBB; RGB only (colour type 2) when
// `alpha` is off.
template <class F>
Bytes Png(int w, int h, F px, bool alpha = true) {
  Bytes raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x)
      for (int shift : {16, 8, 0, 24})
        if (alpha || shift != 24) raw.push_back(std::uint8_t(px(x, y) >> shift));
  }
  return File(IHDR(std::uint32_t(w), std::uint32_t(h), 8, alpha ? 6 : 2), {Chunk("IDAT", Deflate(raw))});
}

// A generated w x h list with one PNG item per picture.
std::unique_ptr<TsAlphaImageList> MakeList(int w, int h, std::initializer_list<Bytes> pictures) {
  std::unique_ptr<TsAlphaImageList> list(NewComponent<TsAlphaImageList>(nullptr));
  list->SetSize(w, h);
  for (const Bytes& p : pictures) list->Items()->Add()->Data = p;
  list->GetHandle();
  list->GenerateStdList();
  return list;
}

// 16 x 16, alpha rising across.
const Bytes Gradient = Png(16, 16, [](int x, int y) { return std::uint32_t(x * 17) << 24 | std::uint32_t(y * 16) << 8; });

// Opaque red without alpha, a magenta key pixel at (3, 4); added through the framework.
int AddRedWithKey(TsAlphaImageList& list) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  b.SetSize(16, 16);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 16, 16));
  b.Canvas()->SetPixel(3, 4, clFuchsia);
  return list.Add(&b, nullptr);
}

std::unique_ptr<TBitmap> Filled(int w, int h, std::uint32_t pixel) {
  auto b = CreateBitmap32(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(At(b.get(), 0, y), w, pixel);
  return b;
}

// A pixel laid over another as the painting primitives lay images; colour only.
std::uint32_t Over(std::uint32_t dst, std::uint32_t src) {
  TlxImageBuffer d(1, 1), s(1, 1);
  SetPix(d.View(), 0, 0, dst);
  SetPix(s.View(), 0, 0, src);
  CopyWithAlpha(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), d.View(), false, 0, clNoneTint, false, {}, s.View());
  return GetPix(d.View(), 0, 0) & 0xFFFFFF;
}

TEST_F(AlphaImageList, ItemImagesComeFreshAtTheirSizeAndResampledAndCachedAtAnother) {
  auto list = MakeList(16, 16, {Gradient});
  TsImgListItem* item = list->Items()->Items(0);
  const auto own = list->CreateImageBitmap(0, 16, 16);
  TPNGGraphic png;
  TReadOnlyMemoryStream s(Gradient.data(), std::int64_t(Gradient.size()));
  png.LoadFromStream(s);
  for (int y = 0; y < 16; ++y) EXPECT_EQ(std::memcmp(At(own.get(), 0, y), png.ScanLine(y), 64), 0) << y;

  const auto larger = list->CreateImageBitmap(0, 24, 24);
  EXPECT_EQ(larger->GetWidth(), 24);
  EXPECT_EQ(larger->GetHeight(), 24);
  TBitmap* cache = item->CachedBitmap();
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(cache->GetWidth(), 24);
  // The next request at that size is a copy of the cache, not a new resample.
  *At(cache, 5, 5) = 0x12345678u;
  EXPECT_EQ(*At(list->CreateImageBitmap(0, 24, 24).get(), 5, 5), 0x12345678u);
  EXPECT_EQ(item->CachedBitmap(), cache);
}

TEST_F(AlphaImageList, A24BitItemIsOpaqueWhereItDiffersFromItsBottomLeftPixel) {
  const std::uint32_t px[2][3] = {{0xC80000, 0x00C800, 0x102030}, {0x102030, 0x0000C8, 0x090909}};
  auto list = MakeList(3, 2, {Png(3, 2, [&](int x, int y) { return px[y][x]; }, false)});
  const auto image = list->CreateImageBitmap(0, 3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(*At(image.get(), x, y), px[y][x] | (px[y][x] == 0x102030 ? 0 : 0xFF000000u));
}

TEST_F(AlphaImageList, DrawsItemsByTheirAlphaAndOtherImagesAsIconsLeavingNothingBehind) {
  // Item 0: opaque red at (0, 0), blue at alpha 128 at (1, 0), clear elsewhere.
  auto list = MakeList(16, 16, {Png(16, 16, [](int x, int y) {
    return y != 0 ? 0u : x == 0 ? 0xFFFF0000u : x == 1 ? 0x800000FFu : 0u;
  })});
  AddRedWithKey(*list);
  ImageList_SetBkColor(list->GetHandle(), RGB(0, 0, 255));
  const std::uint32_t green = 0xFF00FF00u;
  const struct {
    int index, x, y;
    std::uint32_t want;
  } cases[] = {{0, 0, 0, Over(green, 0xFFFF0000u)}, {0, 1, 0, Over(green, 0x800000FFu)}, {0, 5, 5, green},
               {1, 0, 0, 0xFF0000u}, {1, 3, 4, green}};
  TResourceCount before;
  for (int round = 0; round < 10; ++round) {
    if (round == 1) before = CountResources();   // after the item's image was cached
    for (const auto& c : cases) {
      const auto canvas = Filled(20, 20, green);
      list->Draw(canvas->Canvas(), 2, 3, c.index);
      GdiFlush();
      EXPECT_EQ(*At(canvas.get(), 2 + c.x, 3 + c.y) & 0xFFFFFF, c.want & 0xFFFFFF) << c.index << " " << c.x;
    }
  }
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  EXPECT_EQ(ImageList_GetBkColor(list->GetHandle()), CLR_NONE);   // icons are drawn transparent
}

TEST_F(AlphaImageList, DrawsTheLastStateForAStateBeyondTheStrip) {
  const std::uint32_t states[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}, grey = 0xFF808080u;
  auto list = MakeList(12, 4, {Png(12, 4, [&](int x, int) { return states[x / 4]; })});
  const auto target = Filled(10, 10, grey);
  TSize size;
  DrawAlphaImage(list.get(), target.get(), 1, size, false, 3, 5, 0, clNone, 0, 2);
  EXPECT_EQ(size, (TSize{4, 4}));
  EXPECT_EQ(*At(target.get(), 1, 2) & 0xFFFFFF, Over(grey, states[2]));
  EXPECT_EQ(*At(target.get(), 4, 5) & 0xFFFFFF, Over(grey, states[2]));
  EXPECT_EQ(*At(target.get(), 5, 2), grey);
}

TEST_F(AlphaImageList, AssignmentTakesTheSourceListsBackgroundColour) {
  const struct {
    COLORREF system;
    TColor want;
  } cases[] = {{CLR_NONE, TColor(0x1FFFFFFF)}, {CLR_DEFAULT, TColor(0x20000000)}, {RGB(1, 2, 3), 0x030201}};
  for (const auto& c : cases) {
    auto source = MakeList(16, 16, {Gradient});
    ImageList_SetBkColor(source->GetHandle(), c.system);
    auto target = MakeList(8, 8, {});
    target->Assign(source.get());
    EXPECT_EQ(target->GetBkColor(), c.want) << std::hex << c.system;
    EXPECT_EQ(target->Count(), 1);
  }
}

TEST_F(AlphaImageList, ABrokenItemIsNamedAndLaterImagesAreStillRepaired) {
  auto list = MakeList(16, 16, {Gradient});
  list->SetName("ilTest");
  list->Items()->Add()->Data = {'n', 'o', 't', ' ', 'p', 'n', 'g'};
  try {
    list->GenerateStdList();
    ADD_FAILURE() << "a broken item was taken";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("Image 1 of ilTest"), std::string::npos) << e.Message();
  }
  // Images added through the framework still get their shape (read beyond Items, from the
  // system list), the key pixel staying transparent.
  list->Items()->Delete(1);
  ASSERT_EQ(AddRedWithKey(*list), 1);
  const auto added = list->CreateImageBitmap(1, 16, 16);
  EXPECT_EQ(*At(added.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(*At(added.get(), 3, 4) >> 24, 0u);
}

}  // namespace
