// Image lists: adding strips and masked images, drawing them read back from the pixels, change
// links in both orders of destruction, stored-form data.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/base/TypInfo.h"
#include "framework/win/ImgList.h"
#include "tests/win/framework/win/graphics/GraphicsTestUtil.h"

namespace {

const TColor kColours[] = {clRed, clLime, clBlue, clYellow};

// A strip of n 16 x 16 images, image i filled with kColours[i] and a 4 x 4 fuchsia corner.
std::unique_ptr<TBitmap> Strip(int n) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf24bit);
  b->SetSize(16 * n, 16);
  for (int i = 0; i < n; ++i) {
    b->Canvas()->Brush()->SetColor(kColours[i]);
    b->Canvas()->FillRect(Rect(16 * i, 0, 16 * i + 16, 16));
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(16 * i, 0, 16 * i + 4, 4));
  }
  return b;
}

std::unique_ptr<TBitmap> Target(TColor bg) {
  auto t = std::make_unique<TBitmap>();
  t->SetPixelFormat(TPixelFormat::pf32bit);
  t->SetSize(40, 20);
  t->Canvas()->Brush()->SetColor(bg);
  t->Canvas()->FillRect(Rect(0, 0, 40, 20));
  return t;
}

}  // namespace

TEST(ImageList, AddCountAndDraw) {
  TImageList il(nullptr);
  EXPECT_EQ(il.Count(), 0);
  EXPECT_EQ(il.GetWidth(), 16);
  auto s = Strip(3);
  EXPECT_EQ(il.Add(s.get(), nullptr), 0);
  EXPECT_EQ(il.Count(), 3);
  EXPECT_EQ(il.Add(s.get(), nullptr), 3);
  EXPECT_EQ(il.Count(), 6);
  EXPECT_EQ(il.Add(nullptr, nullptr), -1);

  auto t = Target(clWhite);
  il.Draw(t->Canvas(), 2, 2, 1);
  EXPECT_EQ(GdiPixel(*t, 10, 10), static_cast<COLORREF>(clLime));
  EXPECT_EQ(GdiPixel(*t, 2, 2), static_cast<COLORREF>(clFuchsia)) << "no mask: the corner is drawn";
  EXPECT_EQ(GdiPixel(*t, 18, 18), static_cast<COLORREF>(clWhite));
  il.Draw(t->Canvas(), 20, 0, 2);
  EXPECT_EQ(GdiPixel(*t, 30, 10), static_cast<COLORREF>(clBlue));

  auto before = Target(clWhite);
  il.Draw(before->Canvas(), 0, 0, 6);    // beyond the list
  il.Draw(before->Canvas(), 0, 0, -1);
  EXPECT_EQ(GdiPixel(*before, 5, 5), static_cast<COLORREF>(clWhite));

  TBitmap one;
  ASSERT_TRUE(il.GetBitmap(2, &one));
  EXPECT_EQ(one.GetWidth(), 16);
  EXPECT_EQ(GdiPixel(one, 8, 8), static_cast<COLORREF>(clBlue));
  EXPECT_FALSE(il.GetBitmap(9, &one));

  il.Delete(0);
  EXPECT_EQ(il.Count(), 5);
  il.Delete(99);
  EXPECT_EQ(il.Count(), 5);
  il.Clear();
  EXPECT_EQ(il.Count(), 0);
}

TEST(ImageList, MaskedImagesShowTheBackground) {
  TImageList il(nullptr);
  auto s = Strip(2);
  EXPECT_EQ(il.AddMasked(s.get(), clFuchsia), 0);
  EXPECT_EQ(il.Count(), 2);
  auto t = Target(clGray);
  il.Draw(t->Canvas(), 0, 0, 0);
  EXPECT_EQ(GdiPixel(*t, 1, 1), static_cast<COLORREF>(clGray)) << "masked corner keeps the background";
  EXPECT_EQ(GdiPixel(*t, 8, 8), static_cast<COLORREF>(clRed));

  TIcon icon;
  ASSERT_TRUE(il.GetIcon(1, &icon));
  EXPECT_EQ(icon.GetWidth(), 16);
  EXPECT_EQ(il.AddIcon(&icon), 2);
  auto u = Target(clGray);
  il.Draw(u->Canvas(), 0, 0, 2);
  EXPECT_EQ(GdiPixel(*u, 1, 1), static_cast<COLORREF>(clGray));
  EXPECT_EQ(GdiPixel(*u, 8, 8), static_cast<COLORREF>(clLime));
}

TEST(ImageList, DisabledImagesAreDrawnDifferently) {
  TImageList il(nullptr);
  auto s = Strip(1);
  il.Add(s.get(), nullptr);
  auto a = Target(clWhite), b = Target(clWhite);
  il.Draw(a->Canvas(), 0, 0, 0, true);
  il.Draw(b->Canvas(), 0, 0, 0, false);
  EXPECT_EQ(GdiPixel(*a, 8, 8), static_cast<COLORREF>(clRed));
  EXPECT_NE(GdiPixel(*b, 8, 8), static_cast<COLORREF>(clRed));
}

TEST(ImageList, ChangeLinksFollowEveryChange) {
  auto il = std::make_unique<TImageList>(nullptr);
  TChangeLink link;
  int changes = 0;
  link.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, il.get());
    ++changes;
  };
  il->RegisterChanges(&link);
  EXPECT_EQ(link.GetSender(), il.get());
  auto s = Strip(2);
  il->Add(s.get(), nullptr);
  EXPECT_EQ(changes, 1);
  il->Delete(0);
  EXPECT_EQ(changes, 2);
  il->BeginUpdate();
  il->Add(s.get(), nullptr);
  il->Add(s.get(), nullptr);
  EXPECT_EQ(changes, 2);
  il->EndUpdate();
  EXPECT_EQ(changes, 3) << "one change for the whole update";
  il->SetSize(24, 24);
  EXPECT_EQ(il->Count(), 0) << "a new size empties the list";
  EXPECT_EQ(changes, 4);
  il->Delete(5);   // nothing changed: no notification
  EXPECT_EQ(changes, 4);

  {   // a link freed first leaves the list
    TChangeLink shortLived;
    il->RegisterChanges(&shortLived);
  }
  il->SetSize(16, 16);
  il->Add(Strip(1).get(), nullptr);
  EXPECT_EQ(changes, 6);

  il.reset();   // the list freed first: the link forgets it
  EXPECT_EQ(link.GetSender(), nullptr);
}

TEST(ImageList, LinkMayUnregisterWhileBeingTold) {
  TImageList il(nullptr);
  TChangeLink a, b;
  int na = 0, nb = 0;
  a.OnChange = [&](TObject*) {
    ++na;
    il.UnRegisterChanges(&b);
  };
  b.OnChange = [&](TObject*) { ++nb; };
  il.RegisterChanges(&a);
  il.RegisterChanges(&b);
  il.Add(Strip(1).get(), nullptr);
  EXPECT_EQ(na, 1);
  EXPECT_EQ(nb, 0);
}

TEST(ImageList, StoredDataRoundTrips) {
  TImageList il(nullptr);
  auto s = Strip(3);
  il.AddMasked(s.get(), clFuchsia);
  TMemoryStream m;
  il.WriteData(m);
  m.SetPosition(0);
  TImageList back(nullptr);
  back.ReadData(m);
  ASSERT_EQ(back.Count(), 3);
  auto t = Target(clGray);
  back.Draw(t->Canvas(), 0, 0, 2);
  EXPECT_EQ(GdiPixel(*t, 8, 8), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GdiPixel(*t, 1, 1), static_cast<COLORREF>(clGray)) << "the mask came back";

  // Through the property table, as the form reader does.
  const TPropInfo* p = GetPropInfo(&back, "Bitmap");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Kind, TTypeKind::tkBinary);
  SetPropValue(&back, "Width", "16");
  EXPECT_EQ(GetOrdProp(&back, "Masked"), 1);

  // Bad data: clear error, empty list.
  const std::uint8_t junk[] = {'O', 'I', 'L', '1', 2, 0, 0, 0, 'B', 'M', 1};
  TReadOnlyMemoryStream j(junk, sizeof(junk));
  EXPECT_THROW(back.ReadData(j), EInvalidGraphic);
  EXPECT_EQ(back.Count(), 0);
  const std::uint8_t magic[] = {'X', 'I', 'L', '1', 0, 0, 0, 0};
  TReadOnlyMemoryStream mg(magic, sizeof(magic));
  EXPECT_THROW(back.ReadData(mg), EInvalidGraphic);
  // A strip that does not match the count and image size.
  TMemoryStream wrong;
  const std::uint8_t head[] = {'O', 'I', 'L', '1', 5, 0, 0, 0};
  wrong.WriteBuffer(head, sizeof(head));
  s->SaveToStream(wrong);
  wrong.SetPosition(0);
  EXPECT_THROW(back.ReadData(wrong), EInvalidGraphic);
  EXPECT_EQ(back.Count(), 0);
}

TEST(ImageList, BkColorAndAssign) {
  TImageList il(nullptr);
  EXPECT_EQ(il.GetBkColor(), clNone);
  il.SetBkColor(clRed);
  EXPECT_EQ(il.GetBkColor(), clRed);
  il.Add(Strip(2).get(), nullptr);
  TImageList copy(nullptr);
  copy.Assign(&il);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_NE(copy.GetHandle(), il.GetHandle());
  il.Clear();
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_THROW(il.SetSize(0, 16), EInvalidGraphicOperation);
}
