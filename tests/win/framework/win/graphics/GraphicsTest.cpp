// Colours, graphics objects and their change notification, canvas drawing read back from the
// pixels, DC restoration, and GDI handle accounting around long create/destroy loops.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/base/TypInfo.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/Jpeg.h"
#include "tests/win/framework/win/graphics/GraphicsTestUtil.h"

namespace {

std::unique_ptr<TBitmap> MakeBitmap32(int w, int h, TColor fill) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf32bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(fill);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  return b;
}

}  // namespace

TEST(Colors, SystemColoursResolveThroughTheSystem) {
  EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0x80000000u | COLOR_BTNFACE);
  EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clWindowText), static_cast<TColor>(::GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(clNone, 0x1FFFFFFF);
  EXPECT_EQ(clDefault, 0x20000000);
}

TEST(Colors, NamesAndNumbersRoundTrip) {
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
  EXPECT_EQ(StringToColor("clNone"), clNone);
  EXPECT_EQ(ColorToString(0x00D9701F), "$00D9701F");
  EXPECT_EQ(StringToColor("$00D9701F"), 0x00D9701F);
  EXPECT_EQ(StringToColor("$80000005"), clWindow);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
  EXPECT_THROW(StringToColor(""), EConvertError);
}

TEST(Colors, PropertyTablesKnowColourNames) {
  InitGraphicsUnit();
  TFont f;
  SetPropValue(&f, "Color", "clHighlight");
  EXPECT_EQ(f.GetColor(), clHighlight);
  EXPECT_EQ(GetPropValue(&f, "Color"), "clHighlight");
  SetPropValue(&f, "Style", "[fsBold,fsItalic]");
  EXPECT_EQ(f.GetStyle(), fsBold | fsItalic);
  SetPropValue(&f, "Name", "Tahoma");
  SetPropValue(&f, "Height", "-16");
  EXPECT_EQ(f.GetName(), "Tahoma");
  EXPECT_EQ(f.GetHeight(), -16);
  EXPECT_THROW(SetPropValue(&f, "Colour", "clRed"), EPropertyError);
}

TEST(GraphicsObjects, FontNotifiesEachRealChangeOnce) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &f);
    ++changes;
  };
  EXPECT_EQ(f.GetName(), "MS Sans Serif");
  EXPECT_EQ(f.GetHeight(), -11);
  f.SetName("MS Sans Serif");
  f.SetHeight(-11);
  f.SetColor(clWindowText);
  EXPECT_EQ(changes, 0);
  f.SetName("Tahoma");
  f.SetHeight(-20);
  f.SetColor(clRed);
  f.SetStyle(fsBold);
  f.SetCharset(ANSI_CHARSET);
  EXPECT_EQ(changes, 5);
  TFont g;
  g.Assign(&f);
  EXPECT_EQ(g.GetName(), "Tahoma");
  EXPECT_EQ(g.GetStyle(), fsBold);
  EXPECT_EQ(g.GetColor(), clRed);
}

TEST(GraphicsObjects, FontHandleFollowsTheDescription) {
  TFont f;
  f.PixelsPerInch = 96;
  f.SetSize(8);
  EXPECT_EQ(f.GetHeight(), -11);
  EXPECT_EQ(f.GetSize(), 8);
  HFONT first = f.GetHandle();
  ASSERT_TRUE(GdiAlive(first));
  f.SetHeight(-30);
  EXPECT_FALSE(GdiAlive(first)) << "the old handle is deleted after a change";
  LOGFONTA lf{};
  ASSERT_NE(::GetObjectA(f.GetHandle(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfHeight, -30);
  f.SetStyle(fsBold | fsUnderline);
  ASSERT_NE(::GetObjectA(f.GetHandle(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfUnderline, 1);
  TFont g;
  g.SetHandle(f.GetHandle());
  EXPECT_EQ(g.GetHeight(), -30);
  EXPECT_EQ(g.GetStyle(), fsBold | fsUnderline);
}

TEST(GraphicsObjects, PenAndBrushNotify) {
  TPen p;
  int pc = 0;
  p.OnChange = [&](TObject*) { ++pc; };
  p.SetColor(clRed);
  p.SetWidth(0);   // becomes 1, the current width: no change
  p.SetWidth(3);
  p.SetStyle(TPenStyle::psDash);
  p.SetMode(TPenMode::pmXor);
  EXPECT_EQ(pc, 4);
  EXPECT_EQ(p.GetWidth(), 3);
  EXPECT_EQ(p.Rop2(), R2_XORPEN);

  TBrush b;
  int bc = 0;
  b.OnChange = [&](TObject*) { ++bc; };
  b.SetStyle(TBrushStyle::bsClear);
  EXPECT_EQ(b.GetHandle(), static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
  b.SetColor(clBlue);   // a colour makes a clear brush solid again
  EXPECT_EQ(b.GetStyle(), TBrushStyle::bsSolid);
  EXPECT_EQ(bc, 2);
  LOGBRUSH lb{};
  ASSERT_NE(::GetObjectA(b.GetHandle(), sizeof(lb), &lb), 0);
  EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(clBlue));
}

TEST(Canvas, DrawingReadsBackFromThePixels) {
  auto b = MakeBitmap32(40, 30, clWhite);
  TCanvas* c = b->Canvas();
  EXPECT_EQ(GdiPixel(*b, 5, 5), static_cast<COLORREF>(clWhite));

  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(2, 2, 6, 6));   // half-open: 2..5
  EXPECT_EQ(GdiPixel(*b, 2, 2), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(*b, 5, 5), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(*b, 6, 6), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(Pixel32(*b, 3, 3), 0xFF0000u) << "a scan line holds blue in the low byte";

  c->Pen()->SetColor(clBlue);
  c->MoveTo(0, 20);
  c->LineTo(10, 20);   // the end point is not drawn
  EXPECT_EQ(GdiPixel(*b, 0, 20), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GdiPixel(*b, 9, 20), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GdiPixel(*b, 10, 20), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(c->GetPenPos(), Point(10, 20));

  std::vector<TPoint> pts = {Point(20, 0), Point(20, 10), Point(30, 10)};
  c->Pen()->SetColor(clLime);
  c->Polyline(pts);
  EXPECT_EQ(GdiPixel(*b, 20, 5), static_cast<COLORREF>(clLime));
  EXPECT_EQ(GdiPixel(*b, 25, 10), static_cast<COLORREF>(clLime));

  c->Brush()->SetColor(clYellow);
  c->Pen()->SetColor(clBlack);
  c->Rectangle(10, 22, 20, 28);
  EXPECT_EQ(GdiPixel(*b, 10, 22), static_cast<COLORREF>(clBlack));
  EXPECT_EQ(GdiPixel(*b, 19, 27), static_cast<COLORREF>(clBlack));
  EXPECT_EQ(GdiPixel(*b, 15, 25), static_cast<COLORREF>(clYellow));

  c->Brush()->SetColor(clNavy);
  c->FrameRect(Rect(30, 20, 36, 26));
  EXPECT_EQ(GdiPixel(*b, 30, 20), static_cast<COLORREF>(clNavy));
  EXPECT_EQ(GdiPixel(*b, 33, 23), static_cast<COLORREF>(clWhite));

  c->FillRect(Rect(5, 5, 5, 10));   // empty: nothing
  EXPECT_EQ(GdiPixel(*b, 5, 7), static_cast<COLORREF>(clWhite));
}

TEST(Canvas, FocusRectDrawnTwiceLeavesNoTrace) {
  auto b = MakeBitmap32(20, 20, clWhite);
  b->Canvas()->DrawFocusRect(Rect(2, 2, 18, 18));
  int changed = 0;
  for (int x = 2; x < 18; ++x)
    if (GdiPixel(*b, x, 2) != static_cast<COLORREF>(clWhite)) ++changed;
  EXPECT_GT(changed, 0);
  b->Canvas()->DrawFocusRect(Rect(2, 2, 18, 18));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(GdiPixel(*b, x, y), static_cast<COLORREF>(clWhite)) << x << "," << y;
}

TEST(Canvas, TextUsesFontColourAndClearBrush) {
  auto b = MakeBitmap32(120, 40, clWhite);
  TCanvas* c = b->Canvas();
  c->Font()->SetColor(clRed);
  c->Font()->SetName("Tahoma");
  c->Font()->SetHeight(-24);
  TSize big = c->TextExtent("WWWW");
  c->Font()->SetHeight(-10);
  TSize small = c->TextExtent("WWWW");
  EXPECT_GT(big.cx, small.cx) << "a font change reaches the DC";
  EXPECT_GT(big.cy, small.cy);
  EXPECT_EQ(c->TextWidth("WWWW"), small.cx);

  // Glyph edges may be smoothed: count strongly red pixels, and look at the cell's top-left
  // corner (above every glyph) for the background box.
  auto reddish = [](COLORREF p) { return GetRValue(p) > 200 && GetGValue(p) < 90 && GetBValue(p) < 90; };
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  c->Font()->SetHeight(-24);
  c->TextOut(2, 2, "WWWW");
  int red = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
      if (reddish(GdiPixel(*b, x, y))) ++red;
  EXPECT_GT(red, 20);
  EXPECT_EQ(GdiPixel(*b, 2, 2), static_cast<COLORREF>(clWhite)) << "clear brush: no background box";
  c->Brush()->SetColor(clAqua);
  c->TextOut(2, 2, "WWWW");
  EXPECT_EQ(GdiPixel(*b, 2, 2), static_cast<COLORREF>(clAqua)) << "solid brush: the cell is filled";

  // TextRect clips to its rectangle and fills it with a solid brush.
  auto t = MakeBitmap32(60, 30, clWhite);
  t->Canvas()->Brush()->SetColor(clAqua);
  t->Canvas()->TextRect(Rect(0, 0, 10, 10), 0, 0, "WWWWWWWW");
  EXPECT_EQ(GdiPixel(*t, 30, 5), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(GdiPixel(*t, 0, 20), static_cast<COLORREF>(clWhite));
}

TEST(Canvas, BindingAForeignDCPutsItsObjectsBack) {
  TOwnedBitmap bmp(::CreateCompatibleBitmap(TWindowDC(nullptr).Get(), 10, 10));
  TMemoryDC dc(nullptr, bmp.Get());
  HGDIOBJ font = ::GetCurrentObject(dc.Get(), OBJ_FONT);
  HGDIOBJ pen = ::GetCurrentObject(dc.Get(), OBJ_PEN);
  HGDIOBJ brush = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
  {
    TCanvas c;
    c.SetHandle(dc.Get());
    c.Brush()->SetColor(clRed);
    c.Rectangle(0, 0, 5, 5);
    c.TextOut(0, 0, "x");
    EXPECT_NE(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush);
    c.Brush()->SetColor(clBlue);   // the old brush is deselected before it is deleted
    c.FillRect(Rect(0, 0, 2, 2));
    c.SetHandle(nullptr);
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), font);
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen);
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush);
  }
  TCanvas none;
  EXPECT_THROW(none.GetHandle(), EInvalidGraphicOperation);
}

TEST(Canvas, DrawCopyRectAndStretchDraw) {
  auto src = MakeBitmap32(4, 4, clBlue);
  src->Canvas()->Brush()->SetColor(clRed);
  src->Canvas()->FillRect(Rect(0, 0, 2, 2));
  auto dst = MakeBitmap32(20, 20, clWhite);
  dst->Canvas()->Draw(1, 1, src.get());
  EXPECT_EQ(GdiPixel(*dst, 1, 1), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(*dst, 4, 4), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GdiPixel(*dst, 5, 5), static_cast<COLORREF>(clWhite));

  dst->Canvas()->StretchDraw(Rect(10, 10, 18, 18), src.get());   // 2x
  EXPECT_EQ(GdiPixel(*dst, 13, 13), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(*dst, 14, 14), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GdiPixel(*dst, 17, 17), static_cast<COLORREF>(clBlue));

  auto copy = MakeBitmap32(4, 4, clWhite);
  copy->Canvas()->CopyRect(Rect(0, 0, 2, 2), dst->Canvas(), Rect(3, 3, 5, 5));
  EXPECT_EQ(GdiPixel(*copy, 0, 0), static_cast<COLORREF>(clBlue));
  EXPECT_EQ(GdiPixel(*copy, 2, 2), static_cast<COLORREF>(clWhite));

  // Transparent: the bottom-left colour (blue) is not drawn.
  src->SetTransparent(true);
  EXPECT_EQ(src->GetTransparentColor(), clBlue);
  auto bg = MakeBitmap32(10, 10, clLime);
  bg->Canvas()->Draw(0, 0, src.get());
  EXPECT_EQ(GdiPixel(*bg, 0, 0), static_cast<COLORREF>(clRed));
  EXPECT_EQ(GdiPixel(*bg, 3, 3), static_cast<COLORREF>(clLime));
  src->SetTransparentColor(clRed);
  EXPECT_EQ(src->GetTransparentMode(), TTransparentMode::tmFixed);
  bg->Canvas()->Draw(5, 5, src.get());
  EXPECT_EQ(GdiPixel(*bg, 5, 5), static_cast<COLORREF>(clLime));
  EXPECT_EQ(GdiPixel(*bg, 8, 8), static_cast<COLORREF>(clBlue));

  dst->Canvas()->Draw(0, 0, nullptr);   // nothing, no crash
}

TEST(Canvas, LockIsRecursiveAndCounted) {
  TBitmap b;
  TCanvas* c = b.Canvas();
  c->Lock();
  EXPECT_TRUE(c->TryLock());
  EXPECT_EQ(c->LockCount(), 2);
  c->Unlock();
  c->Unlock();
  EXPECT_EQ(c->LockCount(), 0);
}

// Every object made and freed in a loop gives its handles back: the process's GDI object
// count is the same afterwards, and each handle seen in the loop is dead.
TEST(GdiAccounting, LongCreateDestroyLoopLeaksNothing) {
  InitGraphicsUnit();
  auto once = [](std::vector<HGDIOBJ>& seen) {
    auto b = MakeBitmap32(16, 16, clWhite);
    b->Canvas()->Font()->SetHeight(-13);
    b->Canvas()->TextOut(0, 0, "ab");
    b->Canvas()->Font()->SetHeight(-15);   // reselects while the DC is bound
    b->Canvas()->Pen()->SetWidth(2);
    b->Canvas()->LineTo(8, 8);
    seen.push_back(b->GetHandle());
    seen.push_back(b->Canvas()->Font()->GetHandle());
    b->SetPixelFormat(TPixelFormat::pf8bit);   // palette and new section
    seen.push_back(b->GetPalette());
    b->SetSize(20, 20);
    TBitmap copy;
    copy.Assign(b.get());
    TImageList il(nullptr);
    il.Add(b.get(), nullptr);
    il.Draw(copy.Canvas(), 0, 0, 0);
    TIcon icon;
    EXPECT_TRUE(il.GetIcon(0, &icon));
    TBrush br;
    br.SetStyle(TBrushStyle::bsCross);
    seen.push_back(br.GetHandle());
  };
  std::vector<HGDIOBJ> warm;
  once(warm);   // first use makes process-wide objects (stock, halftone cache)
  const TResourceCount before = CountResources();
  ASSERT_GT(before.GdiObjects, 0) << "the process's GDI objects are counted";
  std::vector<HGDIOBJ> seen;
  for (int i = 0; i < 300; ++i) once(seen);
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  // Handle values may be reused by later iterations; the last iteration's must all be dead.
  for (size_t i = seen.size() - 4; i < seen.size(); ++i) {
    EXPECT_NE(seen[i], nullptr) << i;
    EXPECT_EQ(::GetObjectType(seen[i]), 0u) << i;
  }
}
