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
#include "framework/base/win/HandleOwner.h"

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
// Owners of GDI and USER handles, of the one family of framework/base/win/HandleOwner.h.

template <class H>
struct TGdiObjectTraits {
  using Handle = H;
  static void Close(H h) { ::DeleteObject(h); }
};
// A GDI object of kind H (bitmap, font, pen, brush, palette, region), deleted with DeleteObject.
template <class H>
using TGdiObject = THandleOwner<TGdiObjectTraits<H>>;
using TOwnedBitmap = TGdiObject<HBITMAP>;
using TOwnedFont = TGdiObject<HFONT>;
using TOwnedPen = TGdiObject<HPEN>;
using TOwnedBrush = TGdiObject<HBRUSH>;
using TOwnedPalette = TGdiObject<HPALETTE>;
using TOwnedRegion = TGdiObject<HRGN>;

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
  // OverChildren: the whole window, its children's places included (a finished picture of
  // the window and its children put on screen in one piece).
  enum class TArea { Client, Window, OverChildren };
  explicit TWindowDC(HWND wnd, TArea area = TArea::Client) : FWnd(wnd), FDC(Open(wnd, area)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (FDC != nullptr) ::ReleaseDC(FWnd, FDC);
  }
  HDC Get() const { return FDC; }
  bool Valid() const { return FDC != nullptr; }

private:
  static HDC Open(HWND wnd, TArea area) {
    switch (area) {
      case TArea::Client: return ::GetDC(wnd);
      case TArea::Window: return ::GetWindowDC(wnd);
      case TArea::OverChildren: return ::GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_CLIPSIBLINGS);
    }
    return nullptr;
  }
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

// The memory-DC guard: a DC from CreateCompatibleDC that puts back, before DeleteDC, the
// original object of every kind it was given through Select or SelectPalette, so that what was
// selected stays with its owner and can be deleted (a selected object cannot be). Declare the
// objects it selects before it. Move-only; a moved-from guard holds no DC.
class TMemoryDC {
public:
  // Compatible with `dc` (null: the screen); `select` (a bitmap, brush, pen or font) is
  // selected when given. Valid() is false when the system gives no DC.
  explicit TMemoryDC(HDC dc = nullptr, HGDIOBJ select = nullptr);
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  TMemoryDC(TMemoryDC&& o) noexcept;
  TMemoryDC& operator=(TMemoryDC&& o) noexcept;
  ~TMemoryDC() { Free(); }

  HDC Get() const { return FDC; }
  bool Valid() const { return FDC != nullptr; }
  // Selects a bitmap, brush, pen or font (not a region: selecting one copies it into the clip
  // and replaces nothing); false when the DC refuses it or there is no DC.
  bool Select(HGDIOBJ obj);
  // Selects a palette as a background palette, realised when asked.
  bool SelectPalette(HPALETTE pal, bool realize);

private:
  enum { kBitmap, kBrush, kPen, kFont, kPalette, kKinds };
  HDC FDC = nullptr;
  HGDIOBJ FOriginal[kKinds] = {};   // what the DC held before our first selection of each kind

  void Remember(int kind, HGDIOBJ old) {
    if (FOriginal[kind] == nullptr) FOriginal[kind] = old;
  }
  void Free();
};

inline TMemoryDC::TMemoryDC(HDC dc, HGDIOBJ select) : FDC(::CreateCompatibleDC(dc)) {
  if (select != nullptr) Select(select);
}

inline TMemoryDC::TMemoryDC(TMemoryDC&& o) noexcept : FDC(std::exchange(o.FDC, nullptr)) {
  for (int k = 0; k < kKinds; ++k) FOriginal[k] = std::exchange(o.FOriginal[k], nullptr);
}

inline TMemoryDC& TMemoryDC::operator=(TMemoryDC&& o) noexcept {
  if (this != &o) {
    Free();
    FDC = std::exchange(o.FDC, nullptr);
    for (int k = 0; k < kKinds; ++k) FOriginal[k] = std::exchange(o.FOriginal[k], nullptr);
  }
  return *this;
}

inline bool TMemoryDC::Select(HGDIOBJ obj) {
  if (FDC == nullptr || obj == nullptr) return false;
  int kind;
  switch (::GetObjectType(obj)) {
    case OBJ_BITMAP: kind = kBitmap; break;
    case OBJ_BRUSH: kind = kBrush; break;
    case OBJ_PEN:
    case OBJ_EXTPEN: kind = kPen; break;
    case OBJ_FONT: kind = kFont; break;
    default: return false;
  }
  HGDIOBJ old = ::SelectObject(FDC, obj);
  if (old == nullptr || old == HGDI_ERROR) return false;
  Remember(kind, old);
  return true;
}

inline bool TMemoryDC::SelectPalette(HPALETTE pal, bool realize) {
  if (FDC == nullptr || pal == nullptr) return false;
  HPALETTE old = ::SelectPalette(FDC, pal, TRUE);
  if (old == nullptr) return false;
  Remember(kPalette, old);
  if (realize) ::RealizePalette(FDC);
  return true;
}

inline void TMemoryDC::Free() {
  if (FDC == nullptr) return;
  for (int k = 0; k < kKinds; ++k) {
    HGDIOBJ old = std::exchange(FOriginal[k], nullptr);
    if (old == nullptr) continue;
    if (k == kPalette) ::SelectPalette(FDC, static_cast<HPALETTE>(old), TRUE);
    else ::SelectObject(FDC, old);
  }
  ::DeleteDC(std::exchange(FDC, nullptr));
}

// ---------------------------------------------------------------------------------------------
// Selects one GDI object into a borrowed DC (a paint, window or canvas DC; a memory DC of our own
// is a TMemoryDC and selects through it) and puts the previous one back on destruction, so
// that the object can be deleted afterwards. Not for regions: selecting a region copies it
// into the clip and returns no previous object.
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

// Selects a palette into a borrowed DC (not realised unless asked) and puts the previous one back.
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
