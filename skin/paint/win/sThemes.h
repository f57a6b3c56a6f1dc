// The visual-styles library's entry points ("UXTHEME.DLL"), loaded at start-up where the
// system has it and freed at shut-down. Every theme call of the engine goes through this one
// table, so that a test can put a recording fake in; an entry is null where the library or
// the entry is missing (a system without visual styles), and callers then draw unthemed.
#pragma once

#include <windows.h>

using TThemeHandle = HANDLE;

struct TThemeEntries {
  HRESULT(WINAPI* SetWindowTheme)(HWND wnd, LPCWSTR appName, LPCWSTR idList) = nullptr;
  BOOL(WINAPI* IsAppThemed)() = nullptr;
  BOOL(WINAPI* IsThemeActive)() = nullptr;
  TThemeHandle(WINAPI* OpenThemeData)(HWND wnd, LPCWSTR classList) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(TThemeHandle theme) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(TThemeHandle theme, HDC dc, int part, int state, const RECT* rect,
                                       const RECT* clip) = nullptr;
  HRESULT(WINAPI* DrawThemeParentBackground)(HWND wnd, HDC dc, const RECT* rect) = nullptr;
};

// The table in use; loaded on first use when the start-up has not loaded it (a library user
// without the program's start-up). Tests may overwrite entries and put the saved table back.
TThemeEntries& ThemeEntries();

// The application draws with visual styles: IsAppThemed and IsThemeActive both answer true.
bool ThemesActive();

// Start-up and shut-down steps: the library loaded and the table filled; the table emptied
// and the library freed.
void InitThemesUnit();
void DoneThemesUnit();
