// Owners of Windows handles for the whole framework: one move-only RAII type per kind of handle
// (GDI objects, DCs, icons, menus, windows, hooks, timers, image lists), guards that restore
// what they selected into a DC, and the conversions between the framework's TRect/TPoint and
// the Win32 RECT/POINT. Owns nothing itself; each object owns the one handle it was given.
//
// Owning types never convert implicitly to the raw handle: call Get(). Release() hands the
// handle back to the caller, who then owns it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <utility>

#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"

// ---------------------------------------------------------------------------------------------
// Conversions at the framework's edge. Both sides are half-open rectangles.
inline RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }
inline POINT ToPOINT(const TPoint& p) { return POINT{p.X, p.Y}; }
inline TPoint ToTPoint(const POINT& p) { return TPoint{p.x, p.y}; }
inline SIZE ToSIZE(const TSize& s) { return SIZE{s.cx, s.cy}; }
inline TSize ToTSize(const SIZE& s) { return TSize{s.cx, s.cy}; }

// The one way a failed system call is raised: E (EOSError or a class derived from it) carrying
// `code`, with the message "<what>: <system text> (<code>)", or the system's text alone when
// `what` is empty. Read the code with GetLastError() into a variable right at the failure,
// before anything else (building `what` included) may overwrite it.
template <class E = EOSError>
[[noreturn]] void RaiseWin32Error(const std::string& what, DWORD code) {
  const std::string text = SysErrorMessage(code);
  throw E(what.empty() ? text : what + ": " + text + " (" + std::to_string(code) + ")", code);
}

// ---------------------------------------------------------------------------------------------
// Generic owner: Traits gives the handle type, the empty value and Close(handle).
template <class Traits>
class THandleOwner {
public:
  using Handle = typename Traits::Handle;
  THandleOwner() = default;
  explicit THandleOwner(Handle h) : FHandle(h) {}
  THandleOwner(const THandleOwner&) = delete;
  THandleOwner& operator=(const THandleOwner&) = delete;
  THandleOwner(THandleOwner&& o) noexcept : FHandle(o.Release()) {}
  THandleOwner& operator=(THandleOwner&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~THandleOwner() { Reset(); }

  Handle Get() const { return FHandle; }
  bool Valid() const { return FHandle != Handle{}; }
  explicit operator bool() const { return Valid(); }
  // Takes ownership of h (closing the handle held before).
  void Reset(Handle h = Handle{}) {
    if (FHandle != Handle{} && FHandle != h) Traits::Close(FHandle);
    FHandle = h;
  }
  // Gives up ownership without closing.
  [[nodiscard]] Handle Release() { return std::exchange(FHandle, Handle{}); }

private:
  Handle FHandle{};
};

template <class H>
struct TGdiObjectTraits {
  using Handle = H;
  static void Close(H h) { ::DeleteObject(h); }
};
using TOwnedBitmap = THandleOwner<TGdiObjectTraits<HBITMAP>>;
using TOwnedFont = THandleOwner<TGdiObjectTraits<HFONT>>;
using TOwnedPen = THandleOwner<TGdiObjectTraits<HPEN>>;
using TOwnedBrush = THandleOwner<TGdiObjectTraits<HBRUSH>>;
using TOwnedPalette = THandleOwner<TGdiObjectTraits<HPALETTE>>;
using TOwnedRegion = THandleOwner<TGdiObjectTraits<HRGN>>;

struct TIconTraits {
  using Handle = HICON;
  static void Close(HICON h) { ::DestroyIcon(h); }
};
using TOwnedIcon = THandleOwner<TIconTraits>;

struct TCursorTraits {
  using Handle = HCURSOR;
  static void Close(HCURSOR h) { ::DestroyCursor(h); }
};
// Only for cursors made by CreateCursor/CreateIconIndirect; shared (loaded) cursors are borrowed.
using TOwnedCursor = THandleOwner<TCursorTraits>;

struct TMenuTraits {
  using Handle = HMENU;
  static void Close(HMENU h) { ::DestroyMenu(h); }
};
using TOwnedMenu = THandleOwner<TMenuTraits>;

struct TWindowTraits {
  using Handle = HWND;
  static void Close(HWND h) {
    if (::IsWindow(h)) ::DestroyWindow(h);
  }
};
// A window the framework made and must destroy; destroying an already destroyed one is skipped.
using TOwnedWindow = THandleOwner<TWindowTraits>;

struct THookTraits {
  using Handle = HHOOK;
  static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
using TOwnedHook = THandleOwner<THookTraits>;

struct TImageListTraits {
  using Handle = HIMAGELIST;
  static void Close(HIMAGELIST h) { ::ImageList_Destroy(h); }
};
using TOwnedImageList = THandleOwner<TImageListTraits>;

// A memory DC from CreateCompatibleDC, freed with DeleteDC.
struct TMemoryDCTraits {
  using Handle = HDC;
  static void Close(HDC h) { ::DeleteDC(h); }
};
using TOwnedMemoryDC = THandleOwner<TMemoryDCTraits>;

// ---------------------------------------------------------------------------------------------
// A timer of a window (SetTimer with a window and an id); KillTimer on destruction.
class TOwnedTimer {
public:
  TOwnedTimer() = default;
  // Starts the timer; raises EOSError when the system refuses.
  TOwnedTimer(HWND wnd, UINT_PTR id, UINT interval) : FWnd(wnd), FId(id) {
    if (::SetTimer(wnd, id, interval, nullptr) == 0) {
      DWORD code = ::GetLastError();
      FWnd = nullptr;
      FId = 0;
      RaiseWin32Error("SetTimer", code);
    }
  }
  TOwnedTimer(const TOwnedTimer&) = delete;
  TOwnedTimer& operator=(const TOwnedTimer&) = delete;
  TOwnedTimer(TOwnedTimer&& o) noexcept
      : FWnd(std::exchange(o.FWnd, nullptr)), FId(std::exchange(o.FId, 0)) {}
  TOwnedTimer& operator=(TOwnedTimer&& o) noexcept {
    if (this != &o) {
      Reset();
      FWnd = std::exchange(o.FWnd, nullptr);
      FId = std::exchange(o.FId, 0);
    }
    return *this;
  }
  ~TOwnedTimer() { Reset(); }
  void Reset() {
    if (FWnd != nullptr) ::KillTimer(FWnd, FId);
    FWnd = nullptr;
    FId = 0;
  }
  bool Valid() const { return FWnd != nullptr; }
  HWND Window() const { return FWnd; }
  UINT_PTR Id() const { return FId; }

private:
  HWND FWnd = nullptr;
  UINT_PTR FId = 0;
};

// ---------------------------------------------------------------------------------------------
// A DC from GetDC (client area) or GetWindowDC (whole window), given back with ReleaseDC.
// A null window means the screen.
class TWindowDC {
public:
  enum class TArea { Client, Window };
  explicit TWindowDC(HWND wnd, TArea area = TArea::Client)
      : FWnd(wnd), FDC(area == TArea::Client ? ::GetDC(wnd) : ::GetWindowDC(wnd)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (FDC != nullptr) ::ReleaseDC(FWnd, FDC);
  }
  HDC Get() const { return FDC; }
  bool Valid() const { return FDC != nullptr; }

private:
  HWND FWnd;
  HDC FDC;
};

// BeginPaint/EndPaint around a WM_PAINT handler.
class TPaintDC {
public:
  explicit TPaintDC(HWND wnd) : FWnd(wnd) { FDC = ::BeginPaint(wnd, &FPS); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  ~TPaintDC() { ::EndPaint(FWnd, &FPS); }
  HDC Get() const { return FDC; }
  const PAINTSTRUCT& PaintStruct() const { return FPS; }
  TRect PaintRect() const { return ToTRect(FPS.rcPaint); }

private:
  HWND FWnd;
  PAINTSTRUCT FPS{};
  HDC FDC = nullptr;
};

// A memory DC compatible with `dc` (null: the screen).
class TMemoryDC {
public:
  explicit TMemoryDC(HDC dc = nullptr) : FDC(::CreateCompatibleDC(dc)) {}
  HDC Get() const { return FDC.Get(); }
  bool Valid() const { return FDC.Valid(); }

private:
  TOwnedMemoryDC FDC;
};

// ---------------------------------------------------------------------------------------------
// Selects one GDI object into a DC and puts the previous one back on destruction, so that the
// object can be deleted afterwards (a selected object cannot be). Not for regions: selecting a
// region copies it into the clip and returns no previous object.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(obj != nullptr ? ::SelectObject(dc, obj) : nullptr) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (FOld != nullptr && FOld != HGDI_ERROR) ::SelectObject(FDC, FOld);
  }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// Selects a palette (not realised unless asked) and puts the previous one back.
class TSelectPalette {
public:
  TSelectPalette(HDC dc, HPALETTE pal, bool realize = false)
      : FDC(dc), FOld(pal != nullptr ? ::SelectPalette(dc, pal, TRUE) : nullptr) {
    if (FOld != nullptr && realize) ::RealizePalette(dc);
  }
  TSelectPalette(const TSelectPalette&) = delete;
  TSelectPalette& operator=(const TSelectPalette&) = delete;
  ~TSelectPalette() {
    if (FOld != nullptr) ::SelectPalette(FDC, FOld, TRUE);
  }

private:
  HDC FDC;
  HPALETTE FOld;
};

// SaveDC on construction, RestoreDC on destruction: restores selections, clipping, origins,
// colours and modes changed in between.
class TSaveDC {
public:
  explicit TSaveDC(HDC dc) : FDC(dc), FSaved(::SaveDC(dc)) {}
  TSaveDC(const TSaveDC&) = delete;
  TSaveDC& operator=(const TSaveDC&) = delete;
  ~TSaveDC() {
    if (FSaved != 0) ::RestoreDC(FDC, FSaved);
  }

private:
  HDC FDC;
  int FSaved;
};
