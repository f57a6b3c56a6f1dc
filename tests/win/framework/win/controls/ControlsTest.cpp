// Controls with and without windows: ownership and destruction order, message dispatch and the
// reflected notifications, the swappable window method, Perform on graphic controls, painting
// through PaintTo, alignment with BorderWidth and anchors, mouse enter and leave, exceptions in
// handlers, fonts and text, and GDI/USER object counts around many forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

bool Contains(const std::vector<UINT>& v, UINT m) { return std::find(v.begin(), v.end(), m) != v.end(); }

class ControlsTest : public testing::Test {
protected:
  void SetUp() override {
    EventLog().clear();
    HandledErrors().clear();
    Form = new TForm(nullptr);
    Form->SetName("Form");
    Form->SetBounds(10, 10, 400, 300);
  }
  void TearDown() override {
    delete Form;
    Pump();
  }
  TTestPanel* NewPanel(TWinControl* parent, const char* name) {
    auto* p = new TTestPanel(Form);
    p->SetName(name);
    p->SetParent(parent);
    return p;
  }
  TForm* Form = nullptr;
};

// ---------------------------------------------------------------------------------------------
TEST_F(ControlsTest, WindowsFollowTheControlTreeAndDieWithIt) {
  TTestPanel* outer = NewPanel(Form, "Outer");
  TTestPanel* inner = NewPanel(outer, "Inner");
  auto* dot = new TTestGraphic(Form);
  dot->SetName("Dot");
  dot->SetParent(inner);
  auto* list = new TTestList(Form);
  list->SetName("List");
  HWND formWnd = Form->Handle();
  ASSERT_TRUE(outer->HandleAllocated());
  ASSERT_TRUE(inner->HandleAllocated());
  EXPECT_EQ(::GetParent(inner->Handle()), outer->Handle());
  EXPECT_EQ(::GetParent(outer->Handle()), formWnd);
  EXPECT_EQ(FindControl(inner->Handle()), inner);
  char cls[64] = {};
  ::GetClassNameA(inner->Handle(), cls, sizeof(cls));
  EXPECT_STREQ(cls, "TTestPanel");
  ::GetClassNameA(formWnd, cls, sizeof(cls));
  EXPECT_STREQ(cls, "TForm");
  EXPECT_EQ(GetParentForm(dot), Form);

  HWND innerWnd = inner->Handle();
  HWND outerWnd = outer->Handle();
  const int formsBefore = Screen->FormCount();
  delete Form;
  Form = nullptr;
  EXPECT_FALSE(::IsWindow(formWnd));
  EXPECT_FALSE(::IsWindow(outerWnd));
  EXPECT_FALSE(::IsWindow(innerWnd));
  EXPECT_EQ(Screen->FormCount(), formsBefore - 1);
  // A windowed control frees its children from its own destructor (after the derived class's
  // destructor ran, as in the classic framework); components that are not controls go after
  // all controls.
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"~Outer", "~Inner", "~Dot", "~List"}));
}

TEST_F(ControlsTest, FreeingAChildTakesItsWindowAndLeavesTheParentList) {
  TTestPanel* outer = NewPanel(Form, "Outer");
  TTestPanel* inner = NewPanel(outer, "Inner");
  Form->HandleNeeded();
  HWND innerWnd = inner->Handle();
  ASSERT_EQ(outer->ControlCount(), 1);
  delete outer;   // frees Inner too (still listed as its child)
  EXPECT_FALSE(::IsWindow(innerWnd));
  EXPECT_EQ(Form->ControlCount(), 0);
  EXPECT_EQ(Form->ComponentCount(), 0);
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"~Outer", "~Inner"}));
}

TEST_F(ControlsTest, ReparentingMovesTheWindow) {
  TTestPanel* a = NewPanel(Form, "A");
  TTestPanel* b = NewPanel(Form, "B");
  TTestPanel* c = NewPanel(a, "C");
  Form->HandleNeeded();
  c->SetParent(b);
  EXPECT_EQ(a->ControlCount(), 0);
  ASSERT_EQ(b->ControlCount(), 1);
  ASSERT_TRUE(c->HandleAllocated());
  EXPECT_EQ(::GetParent(c->Handle()), b->Handle());
  EXPECT_THROW(b->SetParent(c), EInvalidOperation);   // would be its own grandparent
  EXPECT_THROW(b->SetParent(b), EInvalidOperation);
}

TEST_F(ControlsTest, AChildWithoutParentHasNoWindow) {
  auto* lone = new TTestPanel(Form);
  EXPECT_THROW(lone->Handle(), EInvalidOperation);
  EXPECT_FALSE(lone->HandleAllocated());
}

// ---------------------------------------------------------------------------------------------
TEST_F(ControlsTest, MessagesReachTheControlsDispatch) {
  TTestPanel* p = NewPanel(Form, "P");
  Form->HandleNeeded();
  p->Seen.clear();
  ::SendMessageA(p->Handle(), WM_USER + 1, 0, 0);
  EXPECT_TRUE(Contains(p->Seen, WM_USER + 1));
  // Framework notifications keep their numbers.
  p->Seen.clear();
  p->SetVisible(false);
  EXPECT_TRUE(Contains(p->Seen, 0xB00Bu));   // CM_VISIBLECHANGED
  EXPECT_FALSE(p->Showing());
  EXPECT_FALSE(::IsWindowVisible(p->Handle()));
  p->SetEnabled(false);
  EXPECT_TRUE(Contains(p->Seen, 0xB00Cu));   // CM_ENABLEDCHANGED
  EXPECT_FALSE(::IsWindowEnabled(p->Handle()));
  p->SetColor(clRed);
  EXPECT_TRUE(Contains(p->Seen, 0xB00Du));   // CM_COLORCHANGED
  p->SetCaption("Hello");
  EXPECT_TRUE(Contains(p->Seen, 0xB012u));   // CM_TEXTCHANGED
  char text[16] = {};
  ::GetWindowTextA(p->Handle(), text, sizeof(text));
  EXPECT_STREQ(text, "Hello");
  EXPECT_EQ(p->Caption(), "Hello");
}

TEST_F(ControlsTest, PropertyChangesSendTheirNotificationsInOrder) {
  TTestPanel* p = NewPanel(Form, "P");
  Form->Show();
  Pump();
  auto notices = [&]() {
    std::vector<UINT> out;
    for (UINT m : p->Seen)
      if (m >= CM_BASE && m < CN_BASE) out.push_back(m);
    p->Seen.clear();
    return out;
  };
  notices();
  p->SetVisible(false);
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  p->SetVisible(true);
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  p->SetVisible(true);   // no change, no notice
  EXPECT_EQ(notices(), std::vector<UINT>{});
  // A change that repaints asks for it through the window method as well.
  p->SetEnabled(false);
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_ENABLEDCHANGED, CM_INVALIDATE}));
  p->SetCaption("x");
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_TEXTCHANGED}));
  Form->Font()->SetHeight(-15);
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_PARENTFONTCHANGED, CM_FONTCHANGED, CM_INVALIDATE}));
  Form->SetColor(clAqua);
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_PARENTCOLORCHANGED, CM_COLORCHANGED, CM_INVALIDATE}));
  EXPECT_EQ(p->Color(), clAqua);
  auto* q = new TTestPanel(Form);
  // A control coming or going is told to the container, and on up to the form.
  q->SetParent(p);
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_CONTROLCHANGE, CM_CONTROLLISTCHANGE}));
  delete q;
  EXPECT_EQ(notices(), (std::vector<UINT>{CM_CONTROLLISTCHANGE, CM_CONTROLCHANGE}));
  Form->Hide();
}

TEST_F(ControlsTest, ParentReflectsCommandsAndNotificationsToTheChild) {
  auto* b = new TTestButton(Form);
  b->SetName("B");
  b->SetParent(Form);
  b->SetCaption("&OK");
  Form->Show();
  Pump();
  char cls[64] = {};
  ::GetClassNameA(b->Handle(), cls, sizeof(cls));
  EXPECT_STREQ(cls, "TTestButton");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  // The system button sends WM_COMMAND/BN_CLICKED to the form, which reflects it as CN_COMMAND.
  ::SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(b->Clicks, 1);
  EXPECT_EQ(clicks, 1);
  // WM_NOTIFY from the child arrives at the child as CN_NOTIFY (0xBC4E).
  TTestPanel* p = NewPanel(Form, "P");
  TTestPanel* q = NewPanel(p, "Q");
  q->Seen.clear();
  NMHDR hdr{q->Handle(), 0, static_cast<UINT>(-710)};
  ::SendMessageA(p->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
  EXPECT_TRUE(Contains(q->Seen, 0xBC4Eu));
  // A notification naming a window that is not ours goes to the default handler.
  p->Seen.clear();
  q->Seen.clear();
  NMHDR foreign{::GetDesktopWindow(), 0, 0};
  ::SendMessageA(p->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&foreign));
  EXPECT_FALSE(Contains(q->Seen, 0xBC4Eu));

  // Owner-draw and colour messages go to the control they name (by window or by child id).
  std::vector<UINT> reflected;
  TWndMethod saved = b->WindowProc;
  b->WindowProc = [&](TMessage& m) {
    if (m.Msg >= CN_BASE) reflected.push_back(m.Msg);
    saved(m);
  };
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = b->Handle();
  ::SendMessageA(Form->Handle(), WM_DRAWITEM, ControlIdOf(b), reinterpret_cast<LPARAM>(&dis));
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_LISTBOX;
  mis.CtlID = ControlIdOf(b);
  ::SendMessageA(Form->Handle(), WM_MEASUREITEM, ControlIdOf(b), reinterpret_cast<LPARAM>(&mis));
  TMemoryDC mem;
  b->SetColor(clYellow);
  LRESULT brush = ::SendMessageA(Form->Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(mem.Get()),
                                 reinterpret_cast<LPARAM>(b->Handle()));
  EXPECT_EQ(reflected, (std::vector<UINT>{CN_DRAWITEM, CN_MEASUREITEM, CN_CTLCOLORBTN}));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), b->Brush()->GetHandle());
  EXPECT_EQ(::GetBkColor(mem.Get()), static_cast<COLORREF>(ColorToRGB(clYellow)));
  b->WindowProc = saved;
  Form->Hide();
}

TEST_F(ControlsTest, WindowProcIsReplacedChainedAndRestored) {
  TTestPanel* p = NewPanel(Form, "P");
  Form->HandleNeeded();
  std::vector<UINT> hooked;
  TWndMethod saved = p->WindowProc;
  p->WindowProc = [&](TMessage& m) {
    hooked.push_back(m.Msg);
    if (m.Msg == WM_USER + 5) {
      m.Result = 42;
      return;   // consumed: the control never sees it
    }
    saved(m);
  };
  p->Seen.clear();
  EXPECT_EQ(::SendMessageA(p->Handle(), WM_USER + 5, 0, 0), 42);
  EXPECT_FALSE(Contains(p->Seen, WM_USER + 5));
  // Chained messages still do their work.
  ::SetWindowTextA(p->Handle(), "chained");
  EXPECT_TRUE(Contains(hooked, static_cast<UINT>(WM_SETTEXT)));
  EXPECT_EQ(p->Caption(), "chained");
  // Perform goes through the replaced method too (graphic-control style access).
  EXPECT_EQ(p->Perform(WM_USER + 5, 0, 0), 42);
  // Restored: the hook sees nothing more.
  p->WindowProc = saved;
  hooked.clear();
  EXPECT_EQ(::SendMessageA(p->Handle(), WM_USER + 5, 0, 0), 0);
  EXPECT_TRUE(hooked.empty());
  EXPECT_TRUE(Contains(p->Seen, WM_USER + 5));
}

TEST_F(ControlsTest, InvalidateGoesThroughTheWindowMethodAndItsDefaultRepaints) {
  TTestPanel* p = NewPanel(Form, "P");
  Form->Show();
  ::UpdateWindow(p->Handle());
  std::vector<WPARAM> seen;
  bool swallow = true;
  TWndMethod saved = p->WindowProc;
  p->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_INVALIDATE) {
      seen.push_back(m.WParam);
      if (swallow) return;
    }
    saved(m);
  };
  // Taken over by the method: nothing is invalidated.
  p->Invalidate();
  EXPECT_EQ(seen, (std::vector<WPARAM>{0}));
  EXPECT_FALSE(::GetUpdateRect(p->Handle(), nullptr, FALSE));
  // Passed on: the whole window, erased unless the control is opaque.
  swallow = false;
  p->Invalidate();
  RECT r{};
  EXPECT_TRUE(::GetUpdateRect(p->Handle(), &r, FALSE));
  EXPECT_EQ(r.right - r.left, p->Width());
  ::ValidateRect(p->Handle(), nullptr);
  p->SetControlStyle(p->ControlStyle() | csOpaque);
  p->Invalidate();
  EXPECT_EQ(seen.back(), 1u);
  EXPECT_TRUE(::GetUpdateRect(p->Handle(), nullptr, FALSE));
  p->WindowProc = saved;
  Form->Hide();
}

TEST_F(ControlsTest, PerformReachesAGraphicControlWithoutWindow) {
  auto* g = new TTestGraphic(Form);
  g->SetParent(Form);
  EXPECT_EQ(g->Perform(WM_USER + 7, 21, 0), 42);
  // Text of a control without a window lives in the control.
  g->SetCaption("dot");
  char buf[8] = {};
  EXPECT_EQ(g->Perform(WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf)), 3);
  EXPECT_STREQ(buf, "dot");
  // A buffer too small is cut, never overrun.
  char small[3] = {'x', 'x', 'x'};
  EXPECT_EQ(g->Perform(WM_GETTEXT, 2, reinterpret_cast<LPARAM>(small)), 1);
  EXPECT_EQ(small[1], '\0');
  EXPECT_EQ(small[2], 'x');
  EXPECT_EQ(g->Perform(CM_HITTEST, 0, 0), HTCLIENT);
}

TEST_F(ControlsTest, PaintToDrawsControlsAndGraphicChildrenAsACopy) {
  Form->SetColor(clWhite);
  TTestPanel* p = NewPanel(Form, "P");
  p->SetBounds(10, 10, 60, 40);
  p->FillColor = 0x00FF00;
  auto* g = new TTestGraphic(Form);
  g->SetParent(p);
  g->SetBounds(5, 5, 10, 10);
  g->FillColor = 0x0000FF;
  Form->HandleNeeded();
  TOwnedBitmap bmp(::CreateBitmap(200, 200, 1, 32, nullptr));
  ASSERT_TRUE(bmp.Valid());
  {
    TMemoryDC mem(nullptr, bmp.Get());
    Form->PaintTo(mem.Get(), 0, 0);
    EXPECT_EQ(::GetPixel(mem.Get(), 100, 100) & 0xFFFFFF, 0xFFFFFFu);   // form background
    EXPECT_EQ(::GetPixel(mem.Get(), 12, 12) & 0xFFFFFF, 0x00FF00u);     // the panel
    EXPECT_EQ(::GetPixel(mem.Get(), 17, 17) & 0xFFFFFF, 0x0000FFu);     // graphic child
    EXPECT_EQ(::GetPixel(mem.Get(), 24, 24) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(::GetPixel(mem.Get(), 25, 25) & 0xFFFFFF, 0x00FF00u);     // half-open edge
  }
  EXPECT_TRUE(g->StateInPaint & csPaintCopy);
  EXPECT_FALSE(p->ControlState() & csPaintCopy);
  // WM_PRINTCLIENT paints a self-painted control into the DC.
  TOwnedBitmap bmp2(::CreateBitmap(100, 100, 1, 32, nullptr));
  TMemoryDC mem(nullptr, bmp2.Get());
  ::SendMessageA(p->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.Get()), PRF_CLIENT);
  EXPECT_EQ(::GetPixel(mem.Get(), 2, 2) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(::GetPixel(mem.Get(), 7, 7) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(ControlsTest, ACanvasOutsidePaintingDrawsOnTheParentWindowUntilIdle) {
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 100, 100);
  auto* g = new TTestGraphic(Form);
  g->SetParent(Form);
  g->SetBounds(20, 30, 10, 10);
  Form->Show();
  Pump();
  TCanvas* c = g->Canvas();
  c->Brush()->SetColor(0x123456);
  c->FillRect(Bounds(0, 0, 50, 50));   // clipped to the control
  {
    TWindowDC dc(Form->Handle());
    EXPECT_EQ(::GetPixel(dc.Get(), 21, 31) & 0xFFFFFF, 0x123456u);
    EXPECT_NE(::GetPixel(dc.Get(), 35, 45) & 0xFFFFFF, 0x123456u);
  }
  EXPECT_TRUE(c->HandleAllocated());
  Application->Idle();
  EXPECT_FALSE(c->HandleAllocated());
  Form->Hide();
}

TEST_F(ControlsTest, GraphicChildPaintsWhenItsParentPaints) {
  TTestPanel* p = NewPanel(Form, "P");
  auto* g = new TTestGraphic(Form);
  g->SetParent(p);
  Form->Show();
  Pump();
  p->Repaint();
  EXPECT_GT(p->PaintCount, 0);
  EXPECT_GT(g->PaintCount, 0);
  EXPECT_FALSE(g->StateInPaint & csPaintCopy);
  const int before = g->PaintCount;
  g->SetVisible(false);
  p->Repaint();
  EXPECT_EQ(g->PaintCount, before);
  Form->Hide();
}

// ---------------------------------------------------------------------------------------------
TEST_F(ControlsTest, NestedPanelsAlignWithBorderWidth) {
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 400, 300);
  TTestPanel* top = NewPanel(Form, "Top");
  top->SetHeight(50);
  top->SetAlign(alTop);
  TTestPanel* bottom = NewPanel(Form, "Bottom");
  bottom->SetHeight(30);
  bottom->SetAlign(alBottom);
  TTestPanel* left = NewPanel(Form, "Left");
  left->SetWidth(60);
  left->SetAlign(alLeft);
  TTestPanel* right = NewPanel(Form, "Right");
  right->SetWidth(70);
  right->SetAlign(alRight);
  TTestPanel* outer = NewPanel(Form, "Outer");
  outer->SetBorderWidth(10);
  outer->SetAlign(alClient);
  TTestPanel* inner = NewPanel(outer, "Inner");
  inner->SetBorderWidth(2);
  inner->SetAlign(alClient);
  auto* g = new TTestGraphic(Form);
  g->SetParent(inner);
  g->SetAlign(alClient);

  auto check = [](TControl* c, int l, int t, int w, int h) {
    EXPECT_EQ(c->BoundsRect(), Bounds(l, t, w, h)) << c->Name();
  };
  check(top, 0, 0, 400, 50);
  check(bottom, 0, 270, 400, 30);
  check(left, 0, 50, 60, 220);
  check(right, 330, 50, 70, 220);
  check(outer, 60, 50, 270, 220);
  check(inner, 10, 10, 250, 200);
  check(g, 2, 2, 246, 196);

  // With windows the client areas are the real ones; resizing realigns everything.
  Form->HandleNeeded();
  Form->SetBounds(0, 0, 500, 400);
  check(top, 0, 0, 500, 50);
  check(bottom, 0, 370, 500, 30);
  check(right, 430, 50, 70, 320);
  check(outer, 60, 50, 370, 320);
  check(inner, 10, 10, 350, 300);
  check(g, 2, 2, 346, 296);
  RECT r{};
  ::GetWindowRect(inner->Handle(), &r);
  ::MapWindowPoints(HWND_DESKTOP, outer->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(ToTRect(r), Bounds(10, 10, 350, 300));

  // Too little room: sizes stop at zero instead of going negative.
  outer->SetBorderWidth(200);
  EXPECT_EQ(inner->Width(), 0);
  EXPECT_EQ(inner->Height(), 0);
}

TEST_F(ControlsTest, SameAlignmentKeepsPositionOrder) {
  Form->SetBorderStyle(bsNone);
  TTestPanel* a = NewPanel(Form, "A");
  a->SetBounds(0, 100, 10, 20);
  TTestPanel* b = NewPanel(Form, "B");
  b->SetBounds(0, 0, 10, 30);
  a->SetAlign(alTop);
  b->SetAlign(alTop);
  EXPECT_EQ(b->Top(), 0);
  EXPECT_EQ(a->Top(), 30);
  // Hidden controls take no room.
  b->SetVisible(false);
  EXPECT_EQ(a->Top(), 0);
}

TEST_F(ControlsTest, AnchorsKeepDistancesToTheirEdges) {
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 100);
  TTestPanel* br = NewPanel(Form, "BR");
  br->SetBounds(150, 60, 40, 30);   // 10 from the right, 10 from the bottom
  br->SetAnchors(akRight | akBottom);
  TTestPanel* stretch = NewPanel(Form, "Stretch");
  stretch->SetBounds(10, 10, 100, 20);
  stretch->SetAnchors(akLeft | akTop | akRight);
  TTestPanel* fixed = NewPanel(Form, "Fixed");
  fixed->SetBounds(5, 5, 10, 10);
  Form->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(br->BoundsRect(), Bounds(250, 110, 40, 30));
  EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 10, 200, 20));
  EXPECT_EQ(fixed->BoundsRect(), Bounds(5, 5, 10, 10));
}

TEST_F(ControlsTest, ConstraintsLimitTheSize) {
  TTestPanel* p = NewPanel(Form, "P");
  p->Constraints()->SetMinWidth(50);
  p->Constraints()->SetMaxHeight(40);
  p->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(p->Width(), 50);
  EXPECT_EQ(p->Height(), 40);
  p->SetBounds(0, 0, -5, -5);   // negative sizes become the minimum
  EXPECT_EQ(p->Width(), 50);
  EXPECT_EQ(p->Height(), 0);
}

TEST_F(ControlsTest, DoubleBufferedPaintingReachesTheScreen) {
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 120, 80);
  TTestPanel* p = NewPanel(Form, "P");
  p->SetBounds(0, 0, 100, 60);
  p->FillColor = 0x0000FF;
  p->SetDoubleBuffered(true);
  auto* g = new TTestGraphic(Form);
  g->SetParent(p);
  g->SetBounds(10, 10, 10, 10);
  g->FillColor = 0xFF0000;
  Form->Show();
  Pump();
  p->Repaint();
  // The window's own pixels (BitBlt from its DC returns them even where covered).
  TWindowDC dc(p->Handle());
  EXPECT_EQ(::GetPixel(dc.Get(), 50, 40) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(::GetPixel(dc.Get(), 12, 12) & 0xFFFFFF, 0xFF0000u);
  Form->Hide();
}

TEST_F(ControlsTest, TheCursorOfTheControlUnderTheMouseIsShown) {
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 200);
  TTestPanel* p = NewPanel(Form, "P");
  p->SetBounds(0, 0, 200, 200);
  p->SetCursor(crHandPoint);
  Form->Show();
  Pump();
  ::SetCursorPos(100, 100);
  EXPECT_EQ(::SendMessageA(p->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(p->Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  EXPECT_EQ(::GetCursor(), Screen->Cursors(crHandPoint));
  Form->Hide();
}

// ---------------------------------------------------------------------------------------------
TEST_F(ControlsTest, MouseEnterAndLeaveFollowTheMouseOverGraphicChildren) {
  TTestPanel* p = NewPanel(Form, "P");
  p->SetBounds(0, 0, 100, 100);
  auto* g = new TTestGraphic(Form);
  g->SetParent(p);
  g->SetBounds(10, 10, 20, 20);
  std::vector<std::string> events;
  p->OnMouseEnter = [&](TObject*) { events.push_back("enter P"); };
  p->OnMouseLeave = [&](TObject*) { events.push_back("leave P"); };
  g->OnMouseEnter = [&](TObject*) { events.push_back("enter G"); };
  g->OnMouseLeave = [&](TObject*) { events.push_back("leave G"); };
  int gx = -1, gy = -1;
  g->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    gx = x;
    gy = y;
  };
  Form->HandleNeeded();
  ::SendMessageA(p->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  ::SendMessageA(p->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(15, 17));
  EXPECT_EQ(gx, 5);   // in the graphic control's own coordinates
  EXPECT_EQ(gy, 7);
  ::SendMessageA(p->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
  ::SendMessageA(p->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"enter P", "leave P", "enter G", "leave G", "enter P", "leave P"}));
  EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(ControlsTest, ClickNeedsPressAndReleaseInside) {
  auto* g = new TTestGraphic(Form);
  g->SetParent(Form);
  g->SetBounds(0, 0, 20, 20);
  int clicks = 0;
  g->OnClick = [&](TObject*) { ++clicks; };
  g->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  g->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);
  g->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  g->Perform(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-3), 5));   // released outside
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, AnExceptionInAHandlerGoesToTheApplication) {
  TTestPanel* p = NewPanel(Form, "P");
  Form->HandleNeeded();
  EXPECT_EQ(::SendMessageA(p->Handle(), WM_USER + 9, 0, 0), 0);
  ASSERT_EQ(HandledErrors().size(), 1u);
  EXPECT_EQ(HandledErrors()[0], "handler failed on purpose");
  // The window is still alive and answering.
  EXPECT_TRUE(::IsWindow(p->Handle()));
  ::SetWindowTextA(p->Handle(), "alive");
  EXPECT_EQ(p->Caption(), "alive");
}

TEST_F(ControlsTest, AControlMayBeFreedInsideItsOwnMessage) {
  TTestPanel* p = NewPanel(Form, "P");
  TTestPanel* q = NewPanel(p, "Q");
  Form->HandleNeeded();
  HWND pw = p->Handle();
  HWND qw = q->Handle();
  TWndMethod saved = p->WindowProc;
  p->WindowProc = [p, saved](TMessage& m) {
    if (m.Msg == WM_USER + 11) {
      // Nested: the freeing happens two calls deep.
      ::SendMessageA(p->Handle(), WM_USER + 12, 0, 0);
      m.Result = 5;
      return;
    }
    if (m.Msg == WM_USER + 12) {
      delete p;
      return;
    }
    saved(m);
  };
  EXPECT_EQ(::SendMessageA(pw, WM_USER + 11, 0, 0), 5);
  EXPECT_FALSE(::IsWindow(pw));
  EXPECT_FALSE(::IsWindow(qw));
  EXPECT_EQ(Form->ControlCount(), 0);
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"~P", "~Q"}));
}

TEST_F(ControlsTest, FontsFollowTheParentUntilSetOnTheControl) {
  TTestPanel* p = NewPanel(Form, "P");
  TTestPanel* q = NewPanel(p, "Q");
  Form->Font()->SetHeight(-20);
  EXPECT_EQ(p->Font()->GetHeight(), -20);
  EXPECT_EQ(q->Font()->GetHeight(), -20);
  EXPECT_TRUE(q->ParentFont());
  q->Font()->SetHeight(-9);
  EXPECT_FALSE(q->ParentFont());
  Form->Font()->SetHeight(-14);
  EXPECT_EQ(p->Font()->GetHeight(), -14);
  EXPECT_EQ(q->Font()->GetHeight(), -9);
  q->SetParentFont(true);
  EXPECT_EQ(q->Font()->GetHeight(), -14);
  // A system control's window uses the control's font, also after a change.
  auto* b = new TTestButton(Form);
  b->SetParent(q);
  Form->HandleNeeded();
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(b->Handle(), WM_GETFONT, 0, 0)), b->Font()->GetHandle());
  b->Font()->SetHeight(-17);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(b->Handle(), WM_GETFONT, 0, 0)), b->Font()->GetHandle());
}

TEST_F(ControlsTest, RecreateWndKeepsTextAndChildren) {
  TTestPanel* p = NewPanel(Form, "P");
  TTestPanel* q = NewPanel(p, "Q");
  Form->HandleNeeded();
  p->SetCaption("kept");
  HWND old = p->Handle();
  p->RecreateWnd();
  ASSERT_TRUE(p->HandleAllocated());
  EXPECT_NE(p->Handle(), old);
  EXPECT_FALSE(::IsWindow(old));
  EXPECT_EQ(p->Caption(), "kept");
  ASSERT_TRUE(q->HandleAllocated());
  EXPECT_EQ(::GetParent(q->Handle()), p->Handle());
}

// ---------------------------------------------------------------------------------------------
TEST(ControlsResources, FormsMadeAndFreedManyTimesLeaveNoObjects) {
  auto once = []() {
    auto* f = new TForm(nullptr);
    auto* p = new TTestPanel(f);
    p->SetParent(f);
    p->SetDoubleBuffered(true);
    auto* g = new TTestGraphic(f);
    g->SetParent(p);
    auto* b = new TTestButton(f);
    b->SetParent(p);
    f->Font()->SetHeight(-13);
    f->Show();
    f->Repaint();
    Pump();
    TOwnedBitmap bmp(::CreateBitmap(50, 50, 1, 32, nullptr));
    {
      TMemoryDC mem(nullptr, bmp.Get());
      f->PaintTo(mem.Get(), 0, 0);
    }
    delete f;
    Pump();
  };
  once();   // first use makes the classes and cached objects
  const TResourceCount before = CountResources();
  for (int i = 0; i < 20; ++i) once();
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}

}  // namespace
