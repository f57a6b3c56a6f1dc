// Forms and the application: modal showing and its result, OnCloseQuery refusing a close,
// Synchronize served while a modal form runs, closing actions, border styles and client sizes,
// translucency (AlphaBlend), positions, size limits, arbitrary message handlers, shortcuts of
// action lists, idle action updates, the screen's form list and the application window.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/base/Thread.h"
#include "framework/win/ActnList.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

// A form that handles WM_DEVICECHANGE itself, as the device dialog does.
class TDeviceForm : public TForm {
public:
  using TForm::TForm;
  std::vector<WPARAM> Events;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_DEVICECHANGE) {
      Events.push_back(m.WParam);
      m.Result = TRUE;
      return;
    }
    TForm::Dispatch(m);
  }
};

class FormsTest : public testing::Test {
protected:
  void SetUp() override {
    EventLog().clear();
    HandledErrors().clear();
  }
  void TearDown() override { Pump(); }
};

TTestButton* AddButton(TForm* f, TModalResult r) {
  auto* b = new TTestButton(f);
  b->SetParent(f);
  b->ModalResult = r;
  return b;
}

// ---------------------------------------------------------------------------------------------
TEST_F(FormsTest, ShowModalReturnsTheButtonsModalResult) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->SetBorderStyle(bsDialog);
  TTestButton* ok = AddButton(f.get(), mrOk);
  int begins = 0, ends = 0;
  Application->OnModalBegin = [&](TObject*) { ++begins; };
  Application->OnModalEnd = [&](TObject*) { ++ends; };
  // The click is queued: it is handled by the modal loop.
  f->OnShow = [&](TObject*) { ::PostMessageA(ok->Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_FALSE(f->Visible());
  EXPECT_FALSE(::IsWindowVisible(f->Handle()));
  EXPECT_FALSE(f->FormState() & fsModal);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(Application->ModalLevel(), 0);
  Application->OnModalBegin = nullptr;
  Application->OnModalEnd = nullptr;
}

TEST_F(FormsTest, OnCloseQueryRefusesAClose) {
  std::unique_ptr<TForm> owner(new TForm(nullptr));
  owner->Show();
  std::unique_ptr<TForm> f(new TForm(nullptr));
  TTestButton* ok = AddButton(f.get(), mrOk);
  int queries = 0;
  bool ownerEnabledDuringModal = true;
  f->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++queries;
    ownerEnabledDuringModal = ::IsWindowEnabled(owner->Handle()) != FALSE;
    canClose = queries >= 2;
    // Refused: the form stays; a second click closes it.
    if (!canClose) ::PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
  };
  f->OnShow = [&](TObject*) { ::PostMessageA(ok->Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);
  EXPECT_FALSE(ownerEnabledDuringModal);
  EXPECT_TRUE(::IsWindowEnabled(owner->Handle()));
  owner->Hide();
}

TEST_F(FormsTest, CloseOfAModalFormCancels) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->OnShow = [&](TObject*) { ::PostMessageA(f->Handle(), WM_CLOSE, 0, 0); };
  EXPECT_EQ(f->ShowModal(), mrCancel);
}

TEST_F(FormsTest, AVisibleFormCannotBecomeModal) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->Show();
  EXPECT_THROW(f->ShowModal(), EInvalidOperation);
  f->Hide();
}

TEST_F(FormsTest, SynchronizeRunsWhileAModalFormRuns) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  const DWORD guiThread = ::GetCurrentThreadId();
  std::atomic<DWORD> ranOn{0};
  std::thread worker;
  f->OnShow = [&](TObject*) {
    worker = std::thread([&]() {
      TThread::Synchronize(nullptr, [&]() {
        ranOn = ::GetCurrentThreadId();
        f->SetModalResult(mrYes);
      });
    });
  };
  EXPECT_EQ(f->ShowModal(), mrYes);
  worker.join();
  EXPECT_EQ(ranOn.load(), guiThread);
}

TEST_F(FormsTest, CloseActionsOfAFormThatIsNotModal) {
  auto* f = new TTestStoredForm(nullptr);
  f->SetName("Closing");
  f->Show();
  TCloseAction action = caNone;
  f->OnClose = [&](TObject*, TCloseAction& a) { a = action; };
  f->Close();
  EXPECT_TRUE(f->Visible());   // caNone keeps it
  action = caHide;
  f->Close();
  EXPECT_FALSE(f->Visible());
  f->Show();
  action = caFree;
  f->Close();
  EXPECT_TRUE(EventLog().empty());   // freed only once the queued messages ran
  Pump();
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"~Closing"}));
}

// ---------------------------------------------------------------------------------------------
TEST_F(FormsTest, BorderStylesGiveTheirWindowStyles) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->SetBorderStyle(bsDialog);
  f->SetBorderIcons(biSystemMenu);
  LONG style = ::GetWindowLongA(f->Handle(), GWL_STYLE);
  LONG ex = ::GetWindowLongA(f->Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
  f->SetBorderStyle(bsToolWindow);
  EXPECT_TRUE(::GetWindowLongA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  f->SetBorderStyle(bsSizeable);
  f->SetBorderIcons(biSystemMenu | biMinimize);
  style = ::GetWindowLongA(f->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  f->SetBorderStyle(bsNone);
  style = ::GetWindowLongA(f->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_CAPTION);
}

TEST_F(FormsTest, AlphaBlendMakesTheWindowLayeredWithItsValue) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->SetAlphaBlendValue(200);   // stored while AlphaBlend is off: the window stays plain
  EXPECT_EQ(::GetWindowLongA(f->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  f->SetAlphaBlend(true);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(f->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
  f->SetAlphaBlendValue(120);
  ASSERT_TRUE(::GetLayeredWindowAttributes(f->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 120);
  // A window made anew (a border style change) gets it again.
  f->SetBorderStyle(bsSingle);
  ASSERT_TRUE(::GetLayeredWindowAttributes(f->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 120);
  f->SetAlphaBlend(false);
  EXPECT_EQ(::GetWindowLongA(f->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(FormsTest, ClientSizeIsTheClientAreaOfTheWindow) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->SetBorderStyle(bsDialog);
  f->SetClientWidth(324);
  f->SetClientHeight(162);
  EXPECT_EQ(f->ClientWidth(), 324);
  EXPECT_EQ(f->ClientHeight(), 162);
  RECT r{};
  ::GetClientRect(f->Handle(), &r);
  EXPECT_EQ(r.right, 324);
  EXPECT_EQ(r.bottom, 162);
  EXPECT_GT(f->Width(), 324);
}

TEST_F(FormsTest, PositionCentresOnScreenOrMainForm) {
  std::unique_ptr<TForm> main(new TForm(nullptr));
  main->SetBounds(100, 50, 500, 400);
  main->Show();
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(main.get());
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->SetBounds(0, 0, 200, 100);
  f->SetPosition(poMainFormCenter);
  f->Show();
  EXPECT_EQ(f->Left(), 100 + (500 - 200) / 2);
  EXPECT_EQ(f->Top(), 50 + (400 - 100) / 2);
  f->Hide();
  std::unique_ptr<TForm> g(new TForm(nullptr));
  g->SetBounds(0, 0, 200, 100);
  g->SetPosition(poScreenCenter);
  g->Show();
  TRect wa = Screen->WorkAreaRect();
  EXPECT_EQ(g->Left(), wa.Left + (wa.Width() - 200) / 2);
  EXPECT_EQ(g->Top(), wa.Top + (wa.Height() - 100) / 2);
  RECT r{};
  ::GetWindowRect(g->Handle(), &r);
  EXPECT_EQ(r.left, g->Left());
  g->Hide();
  main->Hide();
  Application->SetMainForm(oldMain);
}

TEST_F(FormsTest, ConstraintsLimitTheTrackingSize) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->Constraints()->SetMinWidth(268);
  f->Constraints()->SetMinHeight(197);
  f->Show();
  MINMAXINFO mmi{};
  ::SendMessageA(f->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 268);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 197);
  f->SetBounds(0, 0, 100, 100);
  EXPECT_EQ(f->Width(), 268);
  EXPECT_EQ(f->Height(), 197);
  f->Hide();
}

TEST_F(FormsTest, WindowStateAndIcon) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  f->SetBounds(0, 0, 300, 200);
  auto* p = new TTestPanel(f.get());
  p->SetParent(f.get());
  p->SetAlign(alClient);
  f->Show();
  Pump();
  const TRect laid = p->BoundsRect();
  f->SetWindowState(wsMinimized);
  Pump();
  EXPECT_TRUE(::IsIconic(f->Handle()));
  EXPECT_EQ(f->WindowState(), wsMinimized);
  EXPECT_EQ(p->BoundsRect(), laid);   // a minimized form keeps its layout
  f->SetWindowState(wsNormal);
  Pump();
  EXPECT_FALSE(::IsIconic(f->Handle()));
  EXPECT_EQ(p->BoundsRect(), laid);
  f->SetWindowState(wsMaximized);
  Pump();
  EXPECT_TRUE(::IsZoomed(f->Handle()));
  EXPECT_GT(p->Width(), laid.Width());   // laid out again at the new size
  f->SetWindowState(wsNormal);

  TIcon icon;
  icon.SetHandle(::CopyIcon(::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))));
  f->SetIcon(&icon);
  EXPECT_NE(::SendMessageA(f->Handle(), WM_GETICON, ICON_BIG, 0), 0);
  f->Hide();
}

TEST_F(FormsTest, TheMainFormMinimizesAndRestoresTheApplication) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(f.get());
  f->SetBounds(10, 10, 300, 200);
  f->Show();
  Pump();
  std::vector<std::string> seen;
  Application->OnMinimize = [&](TObject*) { seen.push_back("minimize"); };
  Application->OnRestore = [&](TObject*) { seen.push_back("restore"); };
  bool swallow = false;
  int cookie = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg != WM_SYSCOMMAND) return false;
    seen.push_back((m.WParam & 0xFFF0) == SC_MINIMIZE ? "hook-min" : "hook-restore");
    return swallow;
  });
  // A restore while not minimized stays the form's own.
  ::SendMessageA(f->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(seen.empty());
  ::SendMessageA(f->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  EXPECT_TRUE(Application->Minimized());
  EXPECT_TRUE(::IsIconic(f->Handle()));
  ::SendMessageA(f->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  EXPECT_FALSE(Application->Minimized());
  EXPECT_FALSE(::IsIconic(f->Handle()));
  EXPECT_EQ(seen, (std::vector<std::string>{"hook-min", "minimize", "hook-restore", "restore"}));
  // A hook that handles the command keeps the application as it is.
  swallow = true;
  seen.clear();
  ::SendMessageA(f->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(Application->Minimized());
  EXPECT_FALSE(::IsIconic(f->Handle()));
  EXPECT_EQ(seen, (std::vector<std::string>{"hook-min"}));
  // Minimize twice fires once; a form shown normal by other means ends the minimized state.
  swallow = false;
  seen.clear();
  Application->Minimize();
  Application->Minimize();
  ::ShowWindow(f->Handle(), SW_RESTORE);
  EXPECT_FALSE(Application->Minimized());
  Application->Restore();
  EXPECT_EQ(seen, (std::vector<std::string>{"minimize"}));
  Application->UnhookMainWindow(cookie);
  Application->OnMinimize = nullptr;
  Application->OnRestore = nullptr;
  Application->SetMainForm(oldMain);
  f->Hide();
}

TEST_F(FormsTest, AFormHandlesArbitraryMessages) {
  std::unique_ptr<TDeviceForm> f(new TDeviceForm(nullptr));
  EXPECT_EQ(::SendMessageA(f->Handle(), WM_DEVICECHANGE, 0x8000, 0), TRUE);
  ::SendMessageA(f->Handle(), WM_DEVICECHANGE, 0x8004, 0);
  EXPECT_EQ(f->Events, (std::vector<WPARAM>{0x8000, 0x8004}));
}

// ---------------------------------------------------------------------------------------------
TEST_F(FormsTest, ActionShortcutsFireFromTheForm) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  auto* list = new TActionList(f.get());
  auto* capture = new TAction(f.get());
  capture->SetActionList(list);
  capture->SetShortCut(TextToShortCut("F6"));
  int runs = 0;
  capture->OnExecute = [&](TObject*) { ++runs; };
  auto* b = AddButton(f.get(), mrNone);
  f->Show();
  b->SetFocus();
  Pump();
  // The key goes to the focused control; the application loop offers it to the form first.
  ::PostMessageA(b->Handle(), WM_KEYDOWN, VK_F6, 0);
  Pump();
  EXPECT_EQ(runs, 1);
  // A disabled action does not run.
  capture->SetEnabled(false);
  f->IsShortCut(VK_F6, 0);
  EXPECT_EQ(runs, 1);
  capture->SetEnabled(true);
  EXPECT_TRUE(f->IsShortCut(VK_F6, 0));
  EXPECT_EQ(runs, 2);
  EXPECT_FALSE(f->IsShortCut(VK_F7, 0));
  f->Hide();
}

TEST_F(FormsTest, IdleUpdatesTheActionsOfVisibleForms) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  auto* list = new TActionList(f.get());
  auto* a = new TAction(f.get());
  a->SetActionList(list);
  bool connected = false;
  int updates = 0;
  a->OnUpdate = [&](TObject*) {
    ++updates;
    a->SetEnabled(!connected);
  };
  Application->Idle();
  EXPECT_EQ(updates, 0);   // hidden forms are not updated
  f->Show();
  connected = true;
  Application->Idle();
  EXPECT_GE(updates, 1);
  EXPECT_FALSE(a->Enabled());
  f->Hide();
}

TEST_F(FormsTest, ControlsLinkedToAnActionFollowIt) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  auto* a = new TAction(f.get());
  a->SetCaption("&Connect..");
  a->SetHint("Connect");
  int runs = 0;
  a->OnExecute = [&](TObject*) { ++runs; };
  auto* g = new TTestGraphic(f.get());
  g->SetParent(f.get());
  g->SetBounds(0, 0, 20, 20);
  g->SetAction(a);
  EXPECT_EQ(g->Caption(), "&Connect..");
  EXPECT_EQ(g->Hint(), "Connect");
  a->SetEnabled(false);
  EXPECT_FALSE(g->Enabled());
  a->SetEnabled(true);
  g->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  g->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(runs, 1);
  delete a;   // the control forgets it
  EXPECT_EQ(g->Action(), nullptr);
}

TEST_F(FormsTest, TheFormsMenuBarRunsItsItemsAndOwnerDrawsThem) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  auto* menu = new TMainMenu(f.get());
  auto* file = new TMenuItem(f.get());
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* exit = new TMenuItem(f.get());
  exit->SetCaption("E&xit");
  file->Add(exit);
  int clicks = 0, measured = 0, drawn = 0;
  exit->OnClick = [&](TObject*) { ++clicks; };
  exit->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
    ++measured;
    w = 123;
    h = 21;
  };
  exit->OnDrawItem = [&](TObject*, TCanvas* c, const TRect&, bool) {
    ++drawn;
    EXPECT_NE(c, nullptr);
  };
  f->SetMenu(menu);
  EXPECT_EQ(::GetMenu(f->Handle()), menu->Handle());
  // A client size set with a menu bar stays the client size.
  f->SetClientWidth(300);
  f->SetClientHeight(200);
  RECT cr{};
  ::GetClientRect(f->Handle(), &cr);
  EXPECT_EQ(cr.right, 300);
  EXPECT_EQ(cr.bottom, 200);
  // Menu commands (WM_COMMAND without a control) run the item.
  ::SendMessageA(f->Handle(), WM_COMMAND, MAKEWPARAM(exit->Command(), 0), 0);
  EXPECT_EQ(clicks, 1);
  // Owner-draw messages of menu items reach the item's events through the form.
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = exit->Command();
  EXPECT_EQ(::SendMessageA(f->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), 1);
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 21u);
  TMemoryDC mem;
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = exit->Command();
  dis.hwndItem = reinterpret_cast<HWND>(file->Handle());
  dis.hDC = mem.Get();
  dis.rcItem = RECT{0, 0, 123, 21};
  EXPECT_EQ(::SendMessageA(f->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), 1);
  EXPECT_EQ(drawn, 1);
  // The menu component goes first: the form lets go of its bar.
  delete menu;
  EXPECT_EQ(f->Menu(), nullptr);
  EXPECT_EQ(::GetMenu(f->Handle()), nullptr);
}

TEST_F(FormsTest, TabMovesTheFocusAlongTheTabOrder) {
  std::unique_ptr<TForm> f(new TForm(nullptr));
  TTestButton* a = AddButton(f.get(), mrNone);
  TTestButton* b = AddButton(f.get(), mrNone);
  TTestButton* c = AddButton(f.get(), mrNone);
  c->SetTabOrder(0);   // c, a, b
  EXPECT_EQ(c->TabOrder(), 0);
  EXPECT_EQ(a->TabOrder(), 1);
  f->Show();
  Pump();
  EXPECT_EQ(f->ActiveControl(), c);
  ::PostMessageA(c->Handle(), WM_KEYDOWN, VK_TAB, 0);
  Pump();
  EXPECT_EQ(f->ActiveControl(), a);
  EXPECT_EQ(::GetFocus(), a->Handle());
  b->SetEnabled(false);   // skipped
  ::PostMessageA(a->Handle(), WM_KEYDOWN, VK_TAB, 0);
  Pump();
  EXPECT_EQ(f->ActiveControl(), c);
  f->Hide();
  // The control last focused, freed, is no longer the form's nor the screen's active control.
  ASSERT_EQ(Screen->ActiveControl(), c);
  delete c;
  EXPECT_EQ(f->ActiveControl(), nullptr);
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

// ---------------------------------------------------------------------------------------------
TEST_F(FormsTest, ScreenListsFormsInCreationOrder) {
  const int before = Screen->FormCount();
  std::unique_ptr<TForm> a(new TForm(nullptr));
  std::unique_ptr<TForm> b(new TForm(nullptr));
  ASSERT_EQ(Screen->FormCount(), before + 2);
  EXPECT_EQ(Screen->Forms(before), a.get());
  EXPECT_EQ(Screen->Forms(before + 1), b.get());
  a.reset();
  EXPECT_EQ(Screen->FormCount(), before + 1);
  EXPECT_EQ(Screen->Forms(before), b.get());
  EXPECT_NE(Screen->Cursors(crHandPoint), nullptr);
  EXPECT_NE(Screen->Cursors(crHandPoint), Screen->Cursors(crDefault));
  EXPECT_GT(Screen->WorkAreaWidth(), 0);
}

TEST_F(FormsTest, TheApplicationWindowAndParameters) {
  HWND h = Application->Handle();
  ASSERT_NE(h, nullptr);
  char cls[32] = {};
  ::GetClassNameA(h, cls, sizeof(cls));
  EXPECT_STREQ(cls, "TApplication");
  Application->SetTitle("Orbex");
  char title[32] = {};
  ::GetWindowTextA(h, title, sizeof(title));
  EXPECT_STREQ(title, "Orbex");
  EXPECT_FALSE(TApplication::ParamStr(0).empty());
  EXPECT_EQ(TApplication::ParamStr(TApplication::ParamCount() + 1), "");
  EXPECT_EQ(TApplication::ParamStr(-1), "");
  // Hooks see the application window's messages first and may consume them.
  int seen = 0;
  int cookie = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg != WM_USER + 3) return false;
    ++seen;
    m.Result = 7;
    return true;
  });
  EXPECT_EQ(::SendMessageA(h, WM_USER + 3, 0, 0), 7);
  Application->UnhookMainWindow(cookie);
  EXPECT_EQ(::SendMessageA(h, WM_USER + 3, 0, 0), 0);
  EXPECT_EQ(seen, 1);
}

BOOL CALLBACK FindStaticText(HWND h, LPARAM lp) {
  char cls[32] = {};
  ::GetClassNameA(h, cls, sizeof(cls));
  if (_stricmp(cls, "Static") == 0) {
    char text[256] = {};
    ::GetWindowTextA(h, text, sizeof(text));
    if (text[0] != '\0') *reinterpret_cast<std::string*>(lp) = text;
  }
  return TRUE;
}

TEST_F(FormsTest, TheDefaultExceptionHandlerShowsAnErrorBox) {
  auto saved = Application->OnException;
  Application->OnException = nullptr;
  const std::string title = Application->Title();
  std::string shown;
  std::atomic<bool> found{false};
  // The box is modal: a helper finds it by its caption, reads the text and presses OK.
  std::thread closer([&]() {
    for (int i = 0; i < 500 && !found; ++i) {
      HWND box = ::FindWindowA("#32770", title.c_str());
      if (box != nullptr) {
        std::string text;
        ::EnumChildWindows(box, &FindStaticText, reinterpret_cast<LPARAM>(&text));
        if (!text.empty()) {
          shown = text;
          found = true;
          ::PostMessageA(box, WM_COMMAND, IDOK, 0);
          break;
        }
      }
      ::Sleep(10);
    }
  });
  try {
    throw EConvertError("'x' is not a valid integer value");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  closer.join();
  Application->OnException = saved;
  EXPECT_TRUE(found);
  EXPECT_EQ(shown, "'x' is not a valid integer value.");
}

TEST_F(FormsTest, HandleExceptionIsSilentForAbortAndNeverThrows) {
  try {
    throw EAbort("quiet");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  EXPECT_TRUE(HandledErrors().empty());
  auto saved = Application->OnException;
  Application->OnException = [](TObject*, const std::exception&) { throw std::runtime_error("handler broke"); };
  try {
    throw Exception("boom");
  } catch (...) {
    EXPECT_NO_THROW(Application->HandleException(nullptr));
  }
  Application->OnException = saved;
  Application->HandleException(nullptr);   // no exception in flight: nothing happens
  EXPECT_TRUE(HandledErrors().empty());
}

}  // namespace

namespace {

TEST(UtilWindowTest, HiddenWindowsForwardToTheirMethod) {
  std::vector<UINT> seen;
  HandledErrors().clear();
  HWND h = nullptr;
  {
    TUtilWindow w([&](TMessage& m) {
      seen.push_back(m.Msg);
      if (m.Msg == WM_USER + 1) {
        m.Result = 11;
        return;
      }
      if (m.Msg == WM_USER + 2) throw Exception("util failed");
      m.Result = ::DefWindowProcA(h, m.Msg, m.WParam, m.LParam);
    });
    h = w.Handle();
    char cls[32] = {};
    ::GetClassNameA(h, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TPUtilWindow");
    EXPECT_FALSE(::IsWindowVisible(h));
    EXPECT_EQ(::SendMessageA(h, WM_USER + 1, 0, 0), 11);
    EXPECT_EQ(::SendMessageA(h, WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(HandledErrors(), (std::vector<std::string>{"util failed"}));
  }
  EXPECT_FALSE(::IsWindow(h));
  HWND raw = AllocateHWnd([](TMessage& m) { m.Result = 3; });
  EXPECT_EQ(::SendMessageA(raw, WM_USER, 0, 0), 3);
  DeallocateHWnd(raw);
  EXPECT_FALSE(::IsWindow(raw));
  DeallocateHWnd(raw);   // unknown now: nothing happens
}

}  // namespace
