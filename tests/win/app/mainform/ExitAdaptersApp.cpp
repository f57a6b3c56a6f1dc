// The other program of the exit test, found beside it: the program's units started as the
// program starts them, popup-menu adapters made on windows of its own and left alive, the units
// stopped as the program ends. Exits 0 when the shut-down freed each adapter exactly once, 1
// otherwise.
#include "framework/win/Forms.h"

#include <windows.h>

#include "app/win/Startup.h"
#include "skin/adapters/lxMnuWnd.h"

namespace {

int Freed = 0;

class TCountedMnuWnd : public TlxMnuWnd {
public:
  ~TCountedMnuWnd() override { ++Freed; }
};

}  // namespace

int main() {
  constexpr int Made = 3;
  {
    TUnitStartup units(OrbexUnitSteps());
    units.Initialize();
    for (int i = 0; i < Made; ++i) {
      const HWND h = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 80, 40, nullptr, nullptr, GetModuleHandleA(nullptr),
                                     nullptr);
      AppendSkinnedPopupMenu(TlxMainWnd::CreateForHandle<TCountedMnuWnd>(h, false, "MAINMENU", nullptr, nullptr));
    }
  }
  return Freed == Made ? 0 : 1;
}
