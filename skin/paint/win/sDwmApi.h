// The desktop window manager's entry points, looked up at run time, and the window services
// built on them and on layered windows: "DWMAPI.DLL" is loaded on first use and kept until the
// program ends (older systems and Wine's default prefix either lack it or report composition
// off). Every entry the engine calls lives in one table, so that a test can put its own in.
// Owns the loaded library; the layered images it shows are freed before it returns.
#pragma once

#include <windows.h>

#include <optional>

// The blur-behind record handed to the DWM.
struct TDwmBlurBehind {
  DWORD Flags = 0;   // 1: Enable given; 3: Enable and Region given
  BOOL Enable = FALSE;
  HRGN Region = nullptr;
  BOOL TransitionOnMaximized = FALSE;
};

// The entries looked up by name; null where the library or the entry is missing.
struct TDwmEntries {
  HRESULT(WINAPI* IsCompositionEnabled)(BOOL* enabled) = nullptr;
  HRESULT(WINAPI* SetWindowAttribute)(HWND wnd, DWORD attribute, LPCVOID value, DWORD size) = nullptr;
  HRESULT(WINAPI* EnableBlurBehindWindow)(HWND wnd, const TDwmBlurBehind* blur) = nullptr;
  HRESULT(WINAPI* SetIconicThumbnail)(HWND wnd, HBITMAP bitmap, DWORD flags) = nullptr;
  HRESULT(WINAPI* SetIconicLivePreviewBitmap)(HWND wnd, HBITMAP bitmap, POINT* client, DWORD flags) = nullptr;
  HRESULT(WINAPI* InvalidateIconicBitmaps)(HWND wnd) = nullptr;
};

// Loads the library on first use and answers the table of its entries. The table may be
// overwritten (tests put a fake in and the saved one back).
TDwmEntries& LoadDwmLibrary();

// The loaded library's "DwmIsCompositionEnabled" answer; false without library or entry.
bool DwmCompositionEnabled();
// System major version 6 or later (the DWM's services exist).
bool SystemMajorAtLeast6();
// Desktop composition is on: system major version 6 or later and the DWM reports it on.
// Tests may fix the answer (SetAeroIsActiveOverride).
bool AeroIsActive();
// Fixes AeroIsActive's answer (nullopt: ask the DWM again). For tests only.
void SetAeroIsActiveOverride(std::optional<bool> value);
// DwmSetWindowAttribute; E_NOTIMPL when the library or the entry is missing.
HRESULT DwmSetAttribute(HWND wnd, DWORD attribute, const void* value, DWORD size);
// With composition on: the window's transitions force-disabled (attribute 3) set to 1 or 0.
void SetDwmTransitionsOff(HWND wnd, bool off);
// Blur behind the window (in the region when one is given); nothing without the entry.
void EnableBlurBehind(HWND wnd, bool enable, HRGN region);
// Asks the DWM for new taskbar thumbnails and live previews of the window.
void InvalidateIconicBitmaps(HWND wnd);

// The DWM attributes the engine sets.
constexpr DWORD DwmTransitionsForceDisabled = 3;
constexpr DWORD DwmHasIconicBitmap = 10;

// Shows the 32-bit bitmap in the window as its layered image (WS_EX_LAYERED set when missing):
// per-pixel alpha times the constant alpha, at the destination point (screen) or where the
// window is. Without a bitmap an empty image of the window's size is shown. False when the
// system has no layered windows or refuses.
bool ShowLayeredBitmap(HWND wnd, HBITMAP bitmap, BYTE alpha, const POINT* dest = nullptr);
// On: the window becomes layered with constant alpha 1 and the answer is true, unless it was
// layered already (false) or layered windows are missing. Off (or without layered windows):
// WS_VISIBLE and WS_EX_LAYERED are cleared, false.
bool SetNearlyTransparent(HWND wnd, bool on);
// HWND_TOPMOST, for SetWindowPos.
HWND TopmostHandle();
// The taskbar's window (class "Shell_TrayWnd"), null when there is none.
HWND TaskbarWindow();
