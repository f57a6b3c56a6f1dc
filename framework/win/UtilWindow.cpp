// Hidden "TPUtilWindow" windows for non-visual components: registration of the class, the
// window procedure that forwards to the owner's method, AllocateHWnd/DeallocateHWnd.
#include "framework/win/UtilWindow.h"

#include <map>

#include "framework/win/Forms.h"

LRESULT CALLBACK UtilWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

namespace {
const char kUtilClass[] = "TPUtilWindow";
const char kUtilProp[] = "OrbexUtilWindow";

void RegisterUtilClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = &UtilWindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kUtilClass;
  if (::RegisterClassA(&wc) == 0) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_CLASS_ALREADY_EXISTS) RaiseWin32Error("RegisterClass TPUtilWindow", code);
  }
  registered = true;
}

// Windows made by AllocateHWnd, owned here until DeallocateHWnd.
std::map<HWND, TUtilWindow*>& Allocated() {
  static std::map<HWND, TUtilWindow*> table;
  return table;
}
}  // namespace

LRESULT CALLBACK UtilWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* w = static_cast<TUtilWindow*>(::GetPropA(h, kUtilProp));
  if (w == nullptr || !w->FMethod) return ::DefWindowProcA(h, msg, wp, lp);
  if (msg == WM_NCDESTROY) ::RemovePropA(h, kUtilProp);
  TMessage m{msg, wp, lp, 0};
  try {
    // Copy: the method may replace itself or free its owner while it runs.
    TWndMethod method = w->FMethod;
    method(m);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
  return m.Result;
}

TUtilWindow::TUtilWindow(TWndMethod method) : FMethod(std::move(method)) {
  RegisterUtilClass();
  HWND h = ::CreateWindowExA(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (h == nullptr) {
    const DWORD code = ::GetLastError();
    RaiseWin32Error("CreateWindowEx TPUtilWindow", code);
  }
  FWindow.Reset(h);
  ::SetPropA(h, kUtilProp, this);
}

TUtilWindow::~TUtilWindow() {
  if (FWindow.Valid()) ::RemovePropA(FWindow.Get(), kUtilProp);
  FWindow.Reset();
}

void TUtilWindow::SetMethod(TWndMethod method) { FMethod = std::move(method); }

HWND AllocateHWnd(TWndMethod method) {
  auto* w = new TUtilWindow(std::move(method));
  Allocated()[w->Handle()] = w;
  return w->Handle();
}

void DeallocateHWnd(HWND wnd) {
  auto it = Allocated().find(wnd);
  if (it == Allocated().end()) return;
  TUtilWindow* w = it->second;
  Allocated().erase(it);
  delete w;
}
