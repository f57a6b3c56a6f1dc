// The desktop window manager's entry points, looked up at run time: "DWMAPI.DLL" is loaded on
// first use and kept until the program ends (older systems and Wine's default prefix either
// lack it or report composition off). Owns the loaded library.
#pragma once

#include <windows.h>

#include <optional>

// The loaded library's "DwmIsCompositionEnabled" answer; false without library or entry.
bool DwmCompositionEnabled();
// Desktop composition is on: system major version 6 or later and the DWM reports it on.
// Tests may fix the answer (SetAeroIsActiveOverride).
bool AeroIsActive();
// Fixes AeroIsActive's answer (nullopt: ask the system again). For tests only.
void SetAeroIsActiveOverride(std::optional<bool> value);
// DwmSetWindowAttribute; E_NOTIMPL when the library or the entry is missing.
HRESULT DwmSetAttribute(HWND wnd, DWORD attribute, const void* value, DWORD size);
// With composition on: the window's transitions force-disabled (attribute 3) set to 1 or 0.
void SetDwmTransitionsOff(HWND wnd, bool off);
