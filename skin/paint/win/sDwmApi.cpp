// The desktop window manager's entry points: see sDwmApi.h.
#include "skin/paint/win/sDwmApi.h"

#include "framework/base/win/HandleOwner.h"

namespace {
using DwmIsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL*);
using DwmSetWindowAttributeProc = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

constexpr DWORD DwmTransitionsForceDisabled = 3;

struct TDwmLibrary {
  TOwnedModule Module;
  DwmIsCompositionEnabledProc IsCompositionEnabled = nullptr;
  DwmSetWindowAttributeProc SetWindowAttribute = nullptr;
};

template <class Proc>
Proc Lookup(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loaded once; the entries are looked up together with it.
const TDwmLibrary& Dwm() {
  static const TDwmLibrary lib = [] {
    TDwmLibrary l;
    l.Module = TOwnedModule(LoadLibraryA("DWMAPI.DLL"));
    l.IsCompositionEnabled = Lookup<DwmIsCompositionEnabledProc>(l.Module.Get(), "DwmIsCompositionEnabled");
    l.SetWindowAttribute = Lookup<DwmSetWindowAttributeProc>(l.Module.Get(), "DwmSetWindowAttribute");
    return l;
  }();
  return lib;
}

std::optional<bool> AeroOverride;

bool SystemMajorAtLeast6() { return LOBYTE(LOWORD(GetVersion())) >= 6; }
}  // namespace

bool DwmCompositionEnabled() {
  BOOL on = FALSE;
  const auto proc = Dwm().IsCompositionEnabled;
  return proc != nullptr && SUCCEEDED(proc(&on)) && on != FALSE;
}

bool AeroIsActive() {
  if (AeroOverride) return *AeroOverride;
  return SystemMajorAtLeast6() && DwmCompositionEnabled();
}

void SetAeroIsActiveOverride(std::optional<bool> value) { AeroOverride = value; }

HRESULT DwmSetAttribute(HWND wnd, DWORD attribute, const void* value, DWORD size) {
  const auto proc = Dwm().SetWindowAttribute;
  return proc != nullptr ? proc(wnd, attribute, value, size) : E_NOTIMPL;
}

void SetDwmTransitionsOff(HWND wnd, bool off) {
  if (!AeroIsActive()) return;
  const DWORD value = off ? 1 : 0;
  DwmSetAttribute(wnd, DwmTransitionsForceDisabled, &value, sizeof(value));
}
