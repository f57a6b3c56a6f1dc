// Handles: making and freeing forms full of standard controls, menus and image lists many times
// leaves the process's GDI objects and the thread's windows as they were.
#include <gtest/gtest.h>

#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/ResourceCount.h"
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

}  // namespace

TEST(Handles, NoGdiObjectsOrWindowsLeak) {
  MakeAndFreeOnce();   // first use makes the shared windows, fonts and classes
  const TResourceCount before = CountResources();
  for (int i = 0; i < 20; ++i) MakeAndFreeOnce();
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
}
