// Handles: making and freeing forms full of standard controls, menus and image lists many times
// leaves the process's GDI and USER object counts where they were.
#include <gtest/gtest.h>

#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

void MakeAndFreeOnce() {
  auto form = fwtest::MakeForm(300, 200);
  TForm* f = form.get();
  auto* images = new TImageList(f);
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::pf24bit);
  bmp.SetSize(16, 16);
  images->Add(&bmp, nullptr);
  auto* menu = new TMainMenu(f);
  menu->SetImages(images);
  auto* top = new TMenuItem(f);
  top->SetCaption("&File");
  menu->Items()->Add(top);
  auto* item = new TMenuItem(f);
  item->SetCaption("&Open");
  item->SetImageIndex(0);
  top->Add(item);
  f->SetMenu(menu);
  auto* bar = new TStatusBar(f);
  bar->SetParent(f);
  bar->Panels()->Add()->SetText("x");
  auto* cool = new TCoolBar(f);
  cool->SetParent(f);
  auto* tools = new TToolBar(f);
  tools->SetParent(cool);
  tools->SetImages(images);
  auto* button = new TToolButton(f);
  button->SetParent(tools);
  button->SetImageIndex(0);
  cool->Bands()->Add()->SetControl(tools);
  auto* panel = new TPanel(f);
  panel->SetParent(f);
  panel->SetAlign(alClient);
  auto* combo = new TComboBox(f);
  combo->SetParent(panel);
  combo->Items()->Add("one");
  auto* label = new TLabel(f);
  label->SetParent(panel);
  label->SetCaption("label");
  auto* timer = new TTimer(f);
  timer->SetInterval(1000);
  timer->SetOnTimer([](TObject*) {});
  f->Show();
  f->Update();
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = item->Command();
  MenuMeasureItem(mis);
  fwtest::Pump(5);
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND wnd, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  ::EnumChildWindows(wnd, &CountChild, count);
  return TRUE;
}

// Every window of this thread, children included (what the system counts among USER objects
// and Wine lets us see).
int ThreadWindowCount() {
  int count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace

TEST(Handles, NoGdiOrUserObjectsLeak) {
  HANDLE self = ::GetCurrentProcess();
  MakeAndFreeOnce();   // first use makes the shared windows, fonts and classes
  const int windows = ThreadWindowCount();
  const DWORD gdi = ::GetGuiResources(self, GR_GDIOBJECTS);
  const DWORD user = ::GetGuiResources(self, GR_USEROBJECTS);
  for (int i = 0; i < 40; ++i) MakeAndFreeOnce();
  EXPECT_EQ(ThreadWindowCount(), windows);
  // Wine counts no GUI objects (both stay 0 there); Windows does.
  EXPECT_LE(::GetGuiResources(self, GR_GDIOBJECTS), gdi + 4);
  EXPECT_LE(::GetGuiResources(self, GR_USEROBJECTS), user + 4);
}
