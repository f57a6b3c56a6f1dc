// Helpers of the tests on shown forms: letting the messages flow for a while, a window's
// screen rectangle, scratch paths and small skin folders written there, a form shown with a
// provider and the pixels of its frame cache.
#pragma once

#include "framework/win/Forms.h"
#include "framework/win/WinTypes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>

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

inline RECT WindowRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
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

// How many pixels of the window's caption strip (frame and caption rows) on the screen show
// the system's own caption colours.
inline int SystemCaptionPixels(HWND w) {
  const RECT r = WindowRectOf(w);
  const int strip = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  TWindowDC dc(w, TWindowDC::TArea::Window);
  int found = 0;
  for (int y = 0; y < strip; ++y)
    for (int x = 0; x < r.right - r.left; ++x) found += SystemCaptionColour(GetPixel(dc.Get(), x, y)) ? 1 : 0;
  return found;
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
