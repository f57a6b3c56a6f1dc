// The framework's private message numbers (CM_ notifications between controls, CN_ messages
// reflected from a parent window to the child control they concern) and the message record
// that every framework window method receives. Owns nothing.
//
// The numbers are fixed: the skinning engine and adapters send and match them by value.
#pragma once

#include <windows.h>

// One message as the framework's window methods see it. Handlers set Result; LParam may be
// changed by a handler and is copied back by those who chain.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Signed point extraction from an LParam (never LOWORD: negative coordinates stay right).
inline int LParamX(LPARAM lp) { return static_cast<short>(static_cast<WORD>(lp & 0xFFFF)); }
inline int LParamY(LPARAM lp) { return static_cast<short>(static_cast<WORD>((lp >> 16) & 0xFFFF)); }

// ---------------------------------------------------------------------------------------------
// Control notifications. CM_BASE + n; each one is sent with Perform (or SendMessage to a handle).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;            // the application became active
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;          // the application became inactive
constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;          // LParam: the control taking over
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;           // WParam: virtual key; Result 1: used
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;          // WParam: character; Result 1: used
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;        // LParam: the newly focused control
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;             // LParam: client point; Result 1: hit
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;      // WParam: 1 shown, 0 hidden
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;          // LParam: the control entered
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;          // LParam: the control left
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 0x16;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 0x17;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;      // a windowed control's Showing changed
constexpr UINT CM_ENTER = CM_BASE + 0x1A;               // focus entered the control
constexpr UINT CM_EXIT = CM_BASE + 0x1B;                // focus left the control
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;             // posted to a form that frees itself
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;
constexpr UINT CM_FONTCHANGE = CM_BASE + 0x26;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x28;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;   // WParam: control, LParam: 1 inserted
constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;            // WParam: key, LParam: the control
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;          // WParam: 1 when not erasing
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;       // WParam: control, LParam: 1 inserted
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 0x3B;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;        // LParam: the action
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;       // LParam: the action
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 0x44;

// ---------------------------------------------------------------------------------------------
// Reflected notifications: a parent window passes these messages on to the child control they
// concern, as CN_BASE + the WM_ number, with the same WParam and LParam.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
static_assert(CN_NOTIFY == 0xBC4E, "the engine matches CN_NOTIFY by value");

// Reflected notifications reach a control only through Perform from its parent; one that comes
// through a window procedure was sent or posted from outside, and its LParam is no address of
// ours.
constexpr bool IsReflectedNotification(UINT msg) { return msg >= CN_BASE && msg < CN_BASE + 0x400; }

// Messages whose LParam is the address of a structure: the system sends them, within this
// thread, and never posts them; a posted one comes from another program and is not dispatched.
constexpr bool CarriesStructureAddress(UINT msg) {
  return msg == WM_NOTIFY || msg == WM_DRAWITEM || msg == WM_MEASUREITEM || msg == WM_DELETEITEM ||
         msg == WM_COMPAREITEM || IsReflectedNotification(msg);
}

// A tool bar's drop-down menu closed (posted by the tool bar to itself).
constexpr UINT CN_DROPDOWNCLOSED = WM_USER + 0x1000;
static_assert(CN_DROPDOWNCLOSED == 0x1400, "the engine matches CN_DROPDOWNCLOSED by value");
