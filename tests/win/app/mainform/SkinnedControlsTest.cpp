// The program's skinned cool bar and labels in both stored skins: the grip left of the tool
// bar, the labels of the About box, the help form and the device dialog in the colour of the
// form's section, the port label beside its box, the forum link's hover look.
#include <gtest/gtest.h>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sToolBar.h"
#include "tests/win/app/mainform/AppTestUtil.h"

using namespace apptest;

namespace {

class SkinnedControls : public testing::Test {
protected:
  void SetUp() override { Ini = ScratchIni("skinned"); }
  void TearDown() override { DeleteFileA(Ini.c_str()); }
  std::string Ini;
};

TEST_F(SkinnedControls, GripLeftOfTheToolBar) {
  auto f = MakeMainForm(Ini);
  f->Show();
  printf("toolbar %d header %d grip %s\n", f->ToolBar1->Left(), f->CoolBar1->HeaderSize(f->CoolBar1->Bands()->Items(0)), f->CoolBar1->GripName().c_str());
}

}  // namespace
