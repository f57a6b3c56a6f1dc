// Makes the application object (and its window) once for the whole test program: the framework's
// controls need it for their window classes, exception handling and message loops.
#include <gtest/gtest.h>

#include "framework/win/win/ActnList.h"
#include "framework/win/win/ComCtrls.h"
#include "framework/win/win/Dialogs.h"
#include "framework/win/win/ExtCtrls.h"
#include "framework/win/win/Graphics.h"
#include "framework/win/win/ImgList.h"
#include "framework/win/win/Menus.h"
#include "framework/win/win/StdCtrls.h"
#include "tests/win/GuiTestEnvironment.h"

namespace {

class TApplicationEnvironment : public TGuiTestEnvironment {
public:
  TApplicationEnvironment() : TGuiTestEnvironment("fw stdctrls test") {}

protected:
  void InitUnits() override {
    InitGraphicsUnit();
    InitImgListUnit();
    InitMenusUnit();
    InitActnListUnit();
    InitStdCtrlsUnit();
    InitExtCtrlsUnit();
    InitComCtrlsUnit();
    InitDialogsUnit();
  }
};

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

}  // namespace
