// The skinned non-client scroll bars' system entry points: GetScrollBarInfo from user32 and the
// flat scroll-bar pair from comctl32, looked up by the start-up step and dropped at shut-down.
// Each may be missing (older systems): a scroll bar's usability then falls back to the window's
// scroll styles, and the flat scroll-bar calls are skipped. Tests may overwrite entries and put
// the saved table back. GUI thread only.
#pragma once

#include <windows.h>

struct TlxScrollEntries {
  BOOL(WINAPI* GetScrollBarInfo)(HWND wnd, LONG object, PSCROLLBARINFO info) = nullptr;
  BOOL(WINAPI* InitializeFlatSB)(HWND wnd) = nullptr;
  HRESULT(WINAPI* UninitializeFlatSB)(HWND wnd) = nullptr;
};

// The table in use; empty before the start-up step and after shut-down.
TlxScrollEntries& ScrollEntries();

// Start-up and shut-down steps: the entries looked up (user32 and comctl32 are loaded with the
// program, so nothing is loaded or freed here); the table emptied.
void InitSBUtilsUnit();
void DoneSBUtilsUnit();
