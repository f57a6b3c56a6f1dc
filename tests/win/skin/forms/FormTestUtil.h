// Helpers of the tests on shown forms: letting the messages flow for a while, a mouse drag
// from another thread, a window's screen rectangle and its pixels (on the screen or printed), scratch paths and small skin
// folders written there, a form shown with a provider and the pixels of its frame cache.
#pragma once

#include "framework/win/Forms.h"
#include "framework/win/WinTypes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/skin/ScratchSkins.h"

namespace formtest {

// Processes the thread's messages for about `ms` milliseconds (once at least).
inline void Pump(int ms = 40) {
  const DWORD start = GetTickCount();
  do {
    Application->ProcessMessages();
    Sleep(2);
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

// The mouse moved to a screen point through the system's input, as a user moves it; `flags`
// adds a button going down or up there.
inline void MouseInput(POINT p, DWORD flags = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

// Mouse input from another thread: press at a point, move by (dx, dy) in steps, release.
inline void DragFrom(POINT at, int dx, int dy) {
  auto send = [](DWORD flags, LONG x, LONG y) {
    MouseInput(POINT{x, y}, flags);
    Sleep(30);
  };
  send(0, at.x, at.y);
  send(MOUSEEVENTF_LEFTDOWN, at.x, at.y);
  for (int i = 1; i <= 10; ++i) send(0, at.x + dx * i / 10, at.y + dy * i / 10);
  Sleep(300);
  send(MOUSEEVENTF_LEFTUP, at.x + dx, at.y + dy);
}

inline RECT WindowRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

// Whether `upper` shows just above `lower`: above it in the Z order with no visible window
// between (a hidden one hides nothing). Otherwise `why` lists the Z order from the top window
// down to `lower` (class, visible, topmost), for the failure message.
inline bool ShowsJustAbove(HWND upper, HWND lower, std::string& why) {
  why.clear();
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower) return true;
    if (IsWindowVisible(w)) break;
  }
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    why += std::string(w == upper ? "[upper] " : w == lower ? "[lower] " : "") + cls +
           (IsWindowVisible(w) ? " visible" : " hidden") +
           ((GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? " topmost" : "") + "\n";
    if (w == lower) break;
  }
  return false;
}

// The mouse moved (and a button pressed or released) as a user does, and what follows handled.
inline void MouseAt(POINT p, DWORD flags = 0) {
  MouseInput(p, flags);
  Pump(250);
}

// A screen point beside the window, off it and on the screen.
inline POINT BesideTheWindow(HWND w) {
  const RECT r = WindowRectOf(w);
  const int x = r.right + 30 < GetSystemMetrics(SM_CXSCREEN) ? r.right + 30 : r.left - 30;
  return POINT{x, r.top + 10};
}

// A skin command delivered to the form as the engine sends it, from the manager `m`.
inline LRESULT Command(TCustomForm* f, std::uint16_t command, TsSkinManager* m = nullptr) {
  return DeliverToControl(f, WM_SKINCOMMAND, MakeSkinWParam(command), reinterpret_cast<LPARAM>(m));
}

inline bool HasSysMenuStyle(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_SYSMENU) != 0; }

// Which of the points (window coordinates; a negative one counts from the right or bottom
// edge) the window's region holds, one '1' or '0' each; "no region" without one.
inline std::string InRegion(HWND w, std::initializer_list<POINT> points) {
  TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  if (GetWindowRgn(w, rgn.Get()) == ERROR) return "no region";
  const RECT r = WindowRectOf(w);
  std::string out;
  for (POINT p : points) {
    const int x = p.x < 0 ? r.right - r.left + p.x : p.x, y = p.y < 0 ? r.bottom - r.top + p.y : p.y;
    out += PtInRegion(rgn.Get(), x, y) ? '1' : '0';
  }
  return out;
}

// Whether a colour is one the system paints its own active caption with.
inline bool SystemCaptionColour(COLORREF c) {
  return c == GetSysColor(COLOR_ACTIVECAPTION) || c == GetSysColor(COLOR_GRADIENTACTIVECAPTION);
}

// Where a window's pixels are read: the screen (the window's DC), or the window printing
// itself (PrintWindow, which reaches the provider's print handling instead).
enum class TPixelSource { Screen, Print };

// The pixels of the window's top `rows` rows (all with -1), row by row as COLORREF; empty when
// the window does not print itself.
inline std::vector<COLORREF> WindowPixels(HWND w, TPixelSource source = TPixelSource::Screen, int rows = -1) {
  const RECT r = WindowRectOf(w);
  const int width = r.right - r.left, height = rows < 0 ? r.bottom - r.top : std::min(rows, int(r.bottom - r.top));
  if (width <= 0 || height <= 0) return {};
  std::unique_ptr<TBitmap> image = CreateBitmap32(width, r.bottom - r.top);
  const HDC dc = image->Canvas()->GetHandle();
  if (source == TPixelSource::Print) {
    if (!PrintWindow(w, dc, 0)) return {};
  } else {
    TWindowDC screen(w, TWindowDC::TArea::Window);
    BitBlt(dc, 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  const TlxPixelBuffer view = BitmapPixels(image.get());
  std::vector<COLORREF> pixels;
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = GetPix(view, x, y);
      pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  return pixels;
}

// The pixels of the window's caption strip (frame and caption rows).
inline std::vector<COLORREF> CaptionStripPixels(HWND w, TPixelSource source = TPixelSource::Screen) {
  return WindowPixels(w, source, GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION));
}

// How many pixels two captures of the same size differ in (-1 for different sizes).
inline int DifferentPixels(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i] ? 1 : 0;
  return n;
}

// How many pixels of the window's caption strip show the system's own caption colours (-1
// when the window does not print itself).
inline int SystemCaptionPixels(HWND w, TPixelSource source = TPixelSource::Screen) {
  const std::vector<COLORREF> pixels = CaptionStripPixels(w, source);
  if (pixels.empty()) return -1;
  return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), SystemCaptionColour));
}

// An item's rectangle on the screen while its menu is open.
inline RECT MenuItemRect(HMENU menu, int pos) {
  RECT r{};
  GetMenuItemRect(nullptr, menu, static_cast<UINT>(pos), &r);
  return r;
}

// A manager with the skin `name` of the folder `dir` loaded; check SkinData().Active.
inline std::unique_ptr<TsSkinManager> ManagerWith(const std::string& dir, const std::string& name) {
  auto m = std::make_unique<TsSkinManager>(nullptr);
  m->SetSkinDirectory(dir);
  m->SetSkinName(name);
  return m;
}

// Tests on forms skinned by a manager of their own, made for each test with the skin `name`
// of the folder `dir` and freed after it.
class TSkinnedFormTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (Application == nullptr) InitForms();
  }
  void UseSkin(const std::string& dir, const std::string& name) {
    M = ManagerWith(dir, name);
    ASSERT_TRUE(M->SkinData().Active) << name;
  }
  std::unique_ptr<TsSkinManager> M;
};

// Gives the form a provider, shows it and paints its frame cache.
inline TsSkinProvider* ShowWithFrame(TForm* form) {
  form->HandleNeeded();
  auto* p = NewComponent<TsSkinProvider>(form);
  form->Show();
  Pump();
  p->PaintFrameCache();
  return p;
}

// Paints the frame cache anew, as after a change of what the frame shows.
inline void RepaintFrame(TsSkinProvider* p) {
  p->SkinData()->BGChanged = 1;
  p->PaintFrameCache();
}

// A pixel of the frame cache, without alpha.
inline std::uint32_t CachePixel(TsSkinProvider* p, int x, int y) {
  return GetPix(TargetPixels32(p->SkinData()->CacheBitmap()), x, y) & 0xFFFFFF;
}

// The centre of a title button in the frame cache (window coordinates).
inline TPoint ButtonCentre(TsSkinProvider* p, int code) {
  const TRect r = p->TitleButton(code)->Rect;
  return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

inline std::uint32_t ButtonPixel(TsSkinProvider* p, int code) {
  const TPoint c = ButtonCentre(p, code);
  return CachePixel(p, c.X, c.Y);
}

// A point of the form's window on the screen.
inline TPoint ToScreen(TsSkinProvider* p, TPoint inWindow) {
  const RECT w = WindowRectOf(p->Form()->Handle());
  return TPoint{static_cast<int>(w.left) + inWindow.X, static_cast<int>(w.top) + inWindow.Y};
}

}  // namespace formtest
