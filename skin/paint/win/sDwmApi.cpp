// The desktop window manager's entry points and the layered-window services: see sDwmApi.h.
#include "skin/paint/win/sDwmApi.h"

#include "framework/base/win/HandleOwner.h"
#include "framework/win/WinTypes.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace {

template <class Proc>
void Lookup(HMODULE module, const char* name, Proc& proc) {
  proc = module == nullptr ? nullptr
                           : reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct TDwmLibrary {
  TOwnedModule Module;
  TDwmEntries Entries;
  TDwmLibrary() : Module(LoadLibraryA("DWMAPI.DLL")) {
    HMODULE m = Module.Get();
    Lookup(m, "DwmIsCompositionEnabled", Entries.IsCompositionEnabled);
    Lookup(m, "DwmSetWindowAttribute", Entries.SetWindowAttribute);
    Lookup(m, "DwmEnableBlurBehindWindow", Entries.EnableBlurBehindWindow);
    Lookup(m, "DwmSetIconicThumbnail", Entries.SetIconicThumbnail);
    Lookup(m, "DwmSetIconicLivePreviewBitmap", Entries.SetIconicLivePreviewBitmap);
    Lookup(m, "DwmInvalidateIconicBitmaps", Entries.InvalidateIconicBitmaps);
  }
};

std::optional<bool> AeroOverride;

constexpr COLORREF NoColorKey = 0x1FFFFFFF;

}  // namespace

TDwmEntries& LoadDwmLibrary() {
  static TDwmLibrary lib;
  return lib.Entries;
}

bool SystemMajorAtLeast6() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

bool DwmCompositionEnabled() {
  BOOL on = FALSE;
  const auto proc = LoadDwmLibrary().IsCompositionEnabled;
  return proc != nullptr && SUCCEEDED(proc(&on)) && on != FALSE;
}

bool AeroIsActive() {
  if (AeroOverride) return *AeroOverride;
  return SystemMajorAtLeast6() && DwmCompositionEnabled();
}

void SetAeroIsActiveOverride(std::optional<bool> value) { AeroOverride = value; }

HRESULT DwmSetAttribute(HWND wnd, DWORD attribute, const void* value, DWORD size) {
  const auto proc = LoadDwmLibrary().SetWindowAttribute;
  return proc != nullptr ? proc(wnd, attribute, value, size) : E_NOTIMPL;
}

void SetDwmTransitionsOff(HWND wnd, bool off) {
  if (!AeroIsActive()) return;
  const DWORD value = off ? 1 : 0;
  DwmSetAttribute(wnd, DwmTransitionsForceDisabled, &value, sizeof(value));
}

void EnableBlurBehind(HWND wnd, bool enable, HRGN region) {
  const auto proc = LoadDwmLibrary().EnableBlurBehindWindow;
  if (proc == nullptr) return;
  TDwmBlurBehind blur;
  blur.Flags = region != nullptr ? 3 : 1;
  blur.Enable = enable ? TRUE : FALSE;
  blur.Region = region;
  proc(wnd, &blur);
}

void InvalidateIconicBitmaps(HWND wnd) {
  const auto proc = LoadDwmLibrary().InvalidateIconicBitmaps;
  if (proc != nullptr && SystemMajorAtLeast6()) proc(wnd);
}

// ---------------------------------------------------------------------------------------------
// Layered windows.

namespace {

TOwnedBitmap EmptyBitmap32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return TOwnedBitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

void AddExStyle(HWND wnd, LONG bits) {
  const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
  if ((ex & bits) != bits) SetWindowLongA(wnd, GWL_EXSTYLE, ex | bits);
}

}  // namespace

bool ShowLayeredBitmap(HWND wnd, HBITMAP bitmap, BYTE alpha, const POINT* dest) {
  if (UpdateLayeredWindowProc == nullptr || !IsWindow(wnd)) return false;
  TOwnedBitmap empty;
  SIZE size{};
  if (bitmap == nullptr) {
    RECT r{};
    GetWindowRect(wnd, &r);
    size = SIZE{r.right - r.left, r.bottom - r.top};
    if (size.cx <= 0 || size.cy <= 0) return false;
    empty = EmptyBitmap32(size.cx, size.cy);
    bitmap = empty.Get();
  } else {
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof(info), &info) == 0) return false;
    size = SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
  }
  if (bitmap == nullptr) return false;
  AddExStyle(wnd, WS_EX_LAYERED);
  TWindowDC screen(nullptr);
  TMemoryDC source(screen.Get(), bitmap);
  POINT origin{0, 0};
  POINT at = dest != nullptr ? *dest : POINT{};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  return UpdateLayeredWindowProc(wnd, screen.Get(), dest != nullptr ? &at : nullptr, &size, source.Get(), &origin,
                                 NoColorKey, &blend, ULW_ALPHA) != FALSE;
}

bool SetNearlyTransparent(HWND wnd, bool on) {
  if (on && LayeredWindowsAvailable() && SetLayeredWindowAttributesProc != nullptr) {
    if ((GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) return false;
    AddExStyle(wnd, WS_EX_LAYERED);
    SetLayeredWindowAttributesProc(wnd, NoColorKey, 1, LWA_ALPHA);
    return true;
  }
  SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~static_cast<LONG>(WS_VISIBLE));
  SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
  return false;
}

HWND TopmostHandle() { return HWND_TOPMOST; }

HWND TaskbarWindow() { return FindWindowA("Shell_TrayWnd", nullptr); }
