// The hook the default skin manager puts on the application window: it plays the main form's
// hide when the application closes, replaces the system's minimize and restore animations by
// the skin's own, swallows theme-change notices, answers the taskbar's preview requests while
// the preview switch is on, tells every form when the application becomes active, and
// finishes the borders of skinned popup menus painted before their window was known.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <functional>

class TsSkinProvider;

// The last system command the hook saw while a skin was active.
enum TlxAppShowState { ssNone = 0, ssRestoring = 1, ssMinimizing = 2 };
TlxAppShowState AppShowState();

// True: the message is handled and the application window does not process it.
bool AppWindowHook(TMessage& message);

// While the preview switch is on: the window's taskbar picture is the program's own (on) or
// the system's (off).
void SetTaskbarThumbnailMode(HWND wnd, bool on);

// The blocking hide of the main form at shut-down, filled by the form animations' unit; the
// hook plays no hide while it is empty.
using TMainFormHide = std::function<void(TsSkinProvider* provider)>;
void SetMainFormHide(TMainFormHide hide);

// Start-up step: the skin manager's hook links (hook and unhook the application window).
void InitAppWindowHookUnit();
