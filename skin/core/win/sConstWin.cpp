// Windows start-up of the skin library's defaults and UI strings: see sConstWin.h.
#include "skin/core/win/sConstWin.h"

#include "skin/core/sConst.h"

void sConstInitialization(HINSTANCE module) {
  if (module == nullptr) module = GetModuleHandleA(nullptr);
  sConstInitDefaults();
  sScrollWidth = GetSystemMetrics(SM_CXHSCROLL);
  for (const TsUIString& s : SkinUIStrings()) {
    // A string-table entry holds at most 4097 characters with its terminator.
    char buffer[4097];
    const int n = LoadStringA(module, static_cast<UINT>(s.Id), buffer, sizeof(buffer));
    s.Value->assign(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  }
}

void sConstFinalizationStep() { sConstFinalization(); }
