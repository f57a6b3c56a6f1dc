// The scroll bars' system entry points (see lxSBUtils.h).
#include "skin/adapters/lxSBUtils.h"

namespace {

template <typename T>
void Entry(T& slot, const char* module, const char* name) {
  const HMODULE m = GetModuleHandleA(module);
  slot = m != nullptr ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

}  // namespace

TlxScrollEntries& ScrollEntries() {
  static TlxScrollEntries table;
  return table;
}

void InitSBUtilsUnit() {
  TlxScrollEntries& t = ScrollEntries();
  Entry(t.GetScrollBarInfo, "user32.dll", "GetScrollBarInfo");
  Entry(t.InitializeFlatSB, "comctl32.dll", "InitializeFlatSB");
  Entry(t.UninitializeFlatSB, "comctl32.dll", "UninitializeFlatSB");
}

void DoneSBUtilsUnit() { ScrollEntries() = TlxScrollEntries{}; }
