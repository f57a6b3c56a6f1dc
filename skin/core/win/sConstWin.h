// Start-up and shut-down of the skin library's defaults and UI strings on Windows: the
// scroll-bar width from the system metrics and the strings from the program's string table
// (sConst.rc, linked into every program that uses the skin core).
#pragma once

#include <windows.h>

// Start-up step: the defaults of sConst, the scroll-bar width, and every UI string loaded
// from the string table of `module` (the program by default). A missing string stays empty.
void sConstInitialization(HINSTANCE module = nullptr);
// Shut-down step: frees the strings.
void sConstFinalizationStep();
