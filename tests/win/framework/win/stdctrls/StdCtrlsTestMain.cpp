// Makes the application object (and its window) once for the whole test program: the framework's
// controls need it for their window classes, exception handling and message loops.
#include <gtest/gtest.h>

#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/Dialogs.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
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
