// Sending the skin command message to window handles and to the framework's controls: one
// window or control, its children, colour queries; and the check a receiver makes before it
// honours a command that carries or returns an address. Owns nothing but the calling thread's
// record of its sends in progress.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "skin/core/sMessages.h"

// SendMessage of WM_SKINCOMMAND with WParam MakeLong(0, command); the receiver's answer.
LRESULT SendSkinCommand(HWND wnd, std::uint16_t command, LPARAM lparam = 0);
// SendMessage of WM_SKINCOMMAND with a low-word argument (commands 8, 9, 17 and 20).
LRESULT SendSkinCommandArg(HWND wnd, std::uint16_t command, std::uint16_t argument,
                           LPARAM lparam = 0);
// True when the window answers `command` (LParam 0) with exactly 1. False for handle 0.
bool WindowAnswersSkinCommand(HWND wnd, std::uint16_t command);
// Sends the message to every descendant of `wnd` whose parent is `wnd` itself.
void BroadcastToChildWindows(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Sends command 6 to the direct child windows with WS_CHILD, in Z order from the top.
void RefreshChildWindows(HWND wnd);
// clFuchsia ($FF00FF) for handle 0; else the RGB value of the window's answer to command 21
// (asked with LParam clFuchsia).
COLORREF GetWindowColor(HWND wnd);

class TControl;
class TWinControl;
struct TMessage;

// A windowed control gets the command by SendMessage, a graphic control by Perform; nothing is
// sent (result 0) to a control being destroyed or a windowed one without a window handle (the
// handle is never made for this).
LRESULT SendSkinCommandToControl(TControl* control, std::uint16_t command, LPARAM lparam = 0);
// SendSkinCommandToControl with LParam 0; command 7 answered with exactly 1 means skinned.
LRESULT QuerySkinControl(TControl* control, std::uint16_t command);
// Passes the message down the control tree in child order: graphic children and windowed
// children without a handle by Perform; a skinned windowed child (command 7 answers 1) by
// SendMessage, not descending into it; an unskinned windowed child is not sent the message but
// its children are visited, unless ExternalChildHandledHook takes it first. Children being
// destroyed are skipped.
void BroadcastToChildControls(TWinControl* control, TMessage& message);
// A hook an extension outside the engine may set: offered each unskinned windowed child of a
// broadcast; true means it handled the child, whose children are then not visited. Nothing in
// the program sets it.
extern std::function<bool(TWinControl* child)> ExternalChildHandledHook;
// Lets the children of a container that finished painting resume theirs (command 6): windowed
// children with a window handle that are showing, by SendMessage; graphic children and
// children being destroyed are passed over. Nothing while a form's show, hide or skin-change
// animation runs (AnimationInProgress): the animation paints them into its pictures itself.
void RefreshChildControls(TWinControl* control);
// clFuchsia ($FF00FF) for no control; an unskinned control's own colour; a skinned control's
// answer to command 21 (asked with LParam clFuchsia). RGB values.
COLORREF GetControlColor(TControl* control);
// Tells the form holding the control that controls were added (command 25, the control in
// LParam), unless the control is being designed or loaded.
void NotifyParentForm(TControl* control);

// Delivers any message to a control as the skin commands travel: by SendMessage to its window
// when it has one, else by Perform (no window is made for it). Marked as the engine's own send.
LRESULT DeliverToControl(TControl* control, UINT msg, WPARAM wparam, LPARAM lparam);

// Marks the calling thread as sending one message through the engine's own code, for the
// duration of the send (the helpers above use it; code that sends a skin command itself wraps
// its SendMessage or Perform in one). `target` is the window sent to, or null for a direct call
// (Perform). Only a send that reaches its receiver on this very thread can vouch for its
// addresses: a window of another thread receives the message as any foreign one.
class TSkinCommandSendScope {
public:
  TSkinCommandSendScope(WPARAM wparam, LPARAM lparam, HWND target = nullptr);
  ~TSkinCommandSendScope();
  TSkinCommandSendScope(const TSkinCommandSendScope&) = delete;
  TSkinCommandSendScope& operator=(const TSkinCommandSendScope&) = delete;

private:
  WPARAM FWParam;
  LPARAM FLParam;
  bool FSameThread;
  // The system's send state of this thread when the send began (InSendMessageEx).
  DWORD FSendState;
  TSkinCommandSendScope* FOuter;
  friend bool SkinCommandAllowed(WPARAM wparam, LPARAM lparam);
};

// A receiver's check before it acts on a skin command: a command that carries or returns an
// address (SkinCommandCarriesPointer) is allowed only when it is the engine's own send of
// this thread: the innermost send in progress is exactly this command, made to a receiver on
// this thread, and the thread is not serving a message of another thread or process that
// arrived after that send began. Our own sends made while this thread serves another
// program's message (WM_COPYDATA, WM_ACTIVATEAPP) are therefore honoured; the same command
// from another thread or process, or sent around the engine's senders, is not. Every other
// command is allowed. A receiver answers 0 to a command that is not allowed.
bool SkinCommandAllowed(WPARAM wparam, LPARAM lparam);
