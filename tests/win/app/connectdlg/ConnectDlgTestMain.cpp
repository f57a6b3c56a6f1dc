// Makes the application object once for the dialog's tests, with the stored-form classes the
// dialog names (framework controls and the skinned label, button and combo box).
#include <gtest/gtest.h>

#include "app/win/ConnectDlg.h"
#include "framework/win/Dialogs.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/StdCtrls.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"
#include "tests/win/GuiTestEnvironment.h"
#include "tests/win/app/connectdlg/FakeDevices.h"

namespace {

class TApplicationEnvironment : public TGuiTestEnvironment {
public:
  TApplicationEnvironment() : TGuiTestEnvironment("connect dialog test") {}

protected:
  void InitUnits() override {
    InitGraphicsUnit();
    InitImgListUnit();
    InitStdCtrlsUnit();
    InitExtCtrlsUnit();
    InitDialogsUnit();
    InitLabelUnit();
    InitButtonUnit();
    InitComboBoxUnit();
    InitConnectDlgUnit();
  }
  void Started() override { ClearFakeDevices(); }
  void Stopped() override { ClearFakeDevices(); }
};

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

}  // namespace
