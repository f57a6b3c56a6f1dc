// The owners of Windows handles: each releases exactly what it owns, moves leave the source
// empty, and the DC guards put back what they selected.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "framework/win/WinTypes.h"
#include "tests/win/framework/win/graphics/GraphicsTestUtil.h"

TEST(WinTypes, OwnersDeleteOnceAndMoveOwnership) {
  HBRUSH raw = ::CreateSolidBrush(RGB(1, 2, 3));
  TOwnedBrush a(raw);
  TOwnedBrush b(std::move(a));
  EXPECT_FALSE(a.Valid());
  EXPECT_EQ(b.Get(), raw);
  TOwnedBrush c;
  c = std::move(b);
  EXPECT_TRUE(GdiAlive(raw));
  HBRUSH other = ::CreateSolidBrush(RGB(4, 5, 6));
  c.Reset(other);
  EXPECT_FALSE(GdiAlive(raw)) << "Reset deletes the handle held before";
  c.Reset(c.Get());   // handed its own handle, the owner keeps it alive
  EXPECT_TRUE(GdiAlive(other));
  HBRUSH back = c.Release();
  EXPECT_FALSE(c.Valid());
  EXPECT_TRUE(GdiAlive(back));
  { TOwnedBrush d(back); }
  EXPECT_FALSE(GdiAlive(back));

  HRGN rgn = ::CreateRectRgn(0, 0, 4, 4);
  { TOwnedRegion r(rgn); }
  EXPECT_FALSE(GdiAlive(rgn));
  HMENU menu = ::CreatePopupMenu();
  { TOwnedMenu m(menu); }
  EXPECT_FALSE(::IsMenu(menu));
  // A failed CreateFile gives INVALID_HANDLE_VALUE: the owner holds none.
  TOwnedHandle file(::CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(file.Valid());
  HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  { TOwnedHandle e(event); }
  EXPECT_FALSE(::SetEvent(event)) << "the owner closed its event";
}

// The memory-DC guard puts back the DC's own objects, whatever was selected in between, so
// that each bitmap it was given can be selected elsewhere; a move hands the DC and its
// selections over.
TEST(WinTypes, MemoryDCGuardPutsBackItsSelections) {
  TOwnedBitmap a(::CreateBitmap(4, 4, 1, 32, nullptr)), b(::CreateBitmap(4, 4, 1, 32, nullptr));
  TOwnedBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
  TMemoryDC other;
  {
    TMemoryDC dc(nullptr, a.Get());
    ASSERT_TRUE(dc.Valid());
    EXPECT_TRUE(dc.Select(b.Get()));
    EXPECT_TRUE(dc.Select(brush.Get()));
    EXPECT_FALSE(dc.Select(nullptr));
    EXPECT_FALSE(other.Select(b.Get())) << "a bitmap lives in one DC at a time";
    TMemoryDC moved(std::move(dc));
    EXPECT_FALSE(dc.Valid());
    EXPECT_EQ(::GetCurrentObject(moved.Get(), OBJ_BITMAP), b.Get());
    EXPECT_EQ(::GetCurrentObject(moved.Get(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_TRUE(other.Select(b.Get()));
  EXPECT_TRUE(other.Select(a.Get()));
}

// The leak tests' counter sees one object or window more: a deliberate leak fails them.
TEST(WinTypes, ResourceCountCatchesADeliberateLeak) {
  const TResourceCount before = CountResources();
  HBRUSH leaked = ::CreateSolidBrush(RGB(7, 7, 7));
  EXPECT_EQ(CountResources().GdiObjects, before.GdiObjects + 1);
  EXPECT_FALSE(NothingLeaked(before, CountResources()));
  HWND wnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 2, 2, wnd, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  ::DeleteObject(leaked);
  EXPECT_EQ(CountResources().Windows, before.Windows + 2);
  EXPECT_FALSE(NothingLeaked(before, CountResources()));
  ::DestroyWindow(wnd);
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

TEST(WinTypes, GuardsPutBackWhatTheySelected) {
  TMemoryDC dc;
  ASSERT_TRUE(dc.Valid());
  HGDIOBJ pen0 = ::GetCurrentObject(dc.Get(), OBJ_PEN);
  TOwnedPen pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  {
    TSelectObject sel(dc.Get(), pen.Get());
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
  }
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen0);
  pen.Reset();   // deletable: no longer selected

  ::SetTextColor(dc.Get(), RGB(1, 1, 1));
  {
    TSaveDC save(dc.Get());
    ::SetTextColor(dc.Get(), RGB(9, 9, 9));
    ::SetViewportOrgEx(dc.Get(), 5, 5, nullptr);
  }
  EXPECT_EQ(::GetTextColor(dc.Get()), RGB(1, 1, 1));
  POINT org{};
  ::GetViewportOrgEx(dc.Get(), &org);
  EXPECT_EQ(org.x, 0);
}

TEST(WinTypes, WindowTimerAndWindowDCOwners) {
  HWND raw = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    TOwnedWindow w(raw);
    {
      TOwnedTimer t(w.Get(), 7, 1000);
      EXPECT_TRUE(t.Valid());
      TOwnedTimer moved(std::move(t));
      EXPECT_FALSE(t.Valid());
      EXPECT_EQ(moved.Id(), 7u);
    }
    EXPECT_FALSE(::KillTimer(raw, 7)) << "the owner killed its timer";
    TWindowDC dc(w.Get());
    EXPECT_TRUE(dc.Valid());
    TWindowDC whole(w.Get(), TWindowDC::TArea::Window);
    EXPECT_TRUE(whole.Valid());
  }
  EXPECT_FALSE(::IsWindow(raw));

  TRect r = Rect(1, 2, 3, 4);
  RECT rc = ToRECT(r);
  EXPECT_EQ(rc.left, 1);
  EXPECT_EQ(rc.bottom, 4);
  EXPECT_EQ(ToTRect(rc), r);
  EXPECT_EQ(ToTPoint(ToPOINT(Point(-3, 7))), Point(-3, 7));
}
