// Utilities of the skin engine that ask Windows: the caption font from the non-client
// metrics, the system's minimize/restore animation switch, the system version, the debugger
// and WOW64 checks with the entry points looked up at start-up, the program's folder, and the
// engine's message box. Owns the looked-up entry points (kernel32 stays loaded for the
// process's life) and the preset position of the next message box.
//
// The message box's help button shows nothing: the application has no help system behind it.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Dialogs.h"

#include <windows.h>

#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"
#include "framework/win/WinTypes.h"

#include <memory>
#include <string>

// Height of the system caption font (SPI_GETNONCLIENTMETRICS with the 340-byte record that
// every system version accepts); 0 on failure.
int CaptionFontHeight();
// A new font from the caption-font description, owned by the caller; empty on failure.
TOwnedFont CreateCaptionFont();

// The system minimize/restore animation (SPI_GETANIMATION / SPI_SETANIMATION, not saved).
bool GetWindowAnimationOn();
void SetWindowAnimationOn(bool on);

// System version 5.1 or later.
bool IsXpOrLater();
// The system's answer whether a debugger is attached; true when the entry point is missing.
bool DebuggerAttached();
// The process runs under WOW64; false when the entry point is missing.
bool RunningUnderWow64();
// Set at start-up: running under WOW64 while desktop composition is off.
extern bool Wow64WithoutComposition;

// The program file's folder with a trailing backslash.
std::string ApplicationFolder();

// Message box kinds: 0 "Warning", 1 "Error", 2 "Information", 3 "Confirm", 4 "" (no icon); any
// other kind counts as 4.
enum TsMessageKind { smkWarning = 0, smkError = 1, smkInformation = 2, smkConfirm = 3, smkNone = 4 };

// Where the dialog hook places the next message box, in screen pixels; -1, -1 for no preset.
extern TPoint SkinMessageBoxPosition;

// Shows a system message box owned by the application window: the given caption or else the
// kind's, the kind's icon, buttons chosen from the set (OK with or without Cancel; without OK:
// abort/retry/ignore, yes/no(/cancel), retry/cancel), a help button for mbHelp. x, y preset
// its position (-1: none) for the box only. Tells the application a modal window runs
// meanwhile. Returns the button's identifier (IDOK, IDCANCEL, ...).
int ShowSkinMessageBox(const std::string& caption, const std::string& text, int kind,
                       int helpContext = 0, int x = -1, int y = -1,
                       TMsgDlgButtons buttons = mbOK);
// ShowSkinMessageBox with the kind's caption and no position.
int ShowSkinMessage(const std::string& text, int kind, TMsgDlgButtons buttons = mbOK);
// An error box ("Error") with an OK button.
void ShowErrorMessage(const std::string& text);

// Handles the application's messages (the thread's, before the application exists) until `ms`
// milliseconds (tick count) have passed.
void DelayWithMessages(DWORD ms);
// A message record of the framework's window methods.
TMessage MakeMessageRecord(UINT msg, WPARAM wparam, LPARAM lparam);
// The large or small icon of an executable file (its first icon), owned by the caller; an
// empty icon when the file has none or cannot be read.
std::unique_ptr<TIcon> ExtractAppIcon(const std::string& fileName, bool large);

// Start-up step: looks up IsDebuggerPresent and IsWow64Process in "kernel32.dll" (absent
// entry points are tolerated) and sets Wow64WithoutComposition.
void sUtilsInitialization();
