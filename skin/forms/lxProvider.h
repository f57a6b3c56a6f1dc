// The thread hook that skins top-level windows the program does not skin itself, and the
// provider object (TlxProvider) it attaches to each of them. A framework form designed without
// a skin provider gets a run-time TsSkinProvider when it is activated (or created as a top-level
// window without parent), unless its tag, its class or the manager's skinning rules keep it
// plain. The skin manager installs the hook (with SkinWindowsHookProc as its procedure) when a
// skin is applied and removes it when the skin is withdrawn.
//
// Owns: the process-wide provider list (it lists providers; a provider made for a form is owned
// by that form) and the exempt class list. Both are GUI-thread only; the unit's start-up step
// makes the exempt list and fills the manager's hook links, its shut-down step frees the
// popup-menu adapters, every listed provider, then both lists.
//
// System dialogs (class "#32770") without a parent window get a provider of their own that
// owns the dialog adapter and one window adapter per skinned child; at most two skinned dialogs
// show at a time, unless a further one holds a tool bar. Popup-menu windows (class "#32768")
// get a popup-menu adapter (lxMnuWnd) while the default manager shows skinned popups; those
// adapters live in the popup array and go with it (when the hook is removed, and first at the
// unit's shut-down).
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject.
#include "framework/win/Forms.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/lxProviderCore.h"

class TsSkinProvider;
class TsSkinManager;
class TlxMainWnd;
class TlxDialogWnd;

// What the hook attached to one window: for a framework form, the run-time skin provider it
// made for the form (the form owns both); for a system dialog, the dialog adapter and the
// child adapters (owned by the provider).
class TlxProvider : public TComponent {
  ORBEX_CLASS(TlxProvider, TComponent)
public:
  // `AOwner`: the form the provider serves, or null.
  explicit TlxProvider(TComponent* AOwner);
  // Takes the provider off the provider list; the skin provider stays with its form.
  ~TlxProvider() override;

  // Makes a run-time skin provider for the form (it keeps the form's own colour) and has the
  // form drawn again. Whatever the skin provider's construction raises propagates; the form
  // then has no skin provider from here.
  void AttachFormProvider(TCustomForm* form);

  // The window a dialog provider serves (null for a form's provider).
  HWND Handle() const { return FHandle; }

  // Skins the dialog: its adapter made and told this provider, the preset message-box
  // position kept for its first showing, every child wrapped, the adapter prepared and the
  // skin's command 1 sent. False when a child could not be wrapped; the provider has then left
  // the list. True also when there is no active default manager (nothing is made).
  bool InitDialog(HWND wnd);
  // Every child in Z order, its own children first, wrapped by SkinChildControl.
  bool SkinChildren(HWND wnd);
  // The child gets the adapter its class and style ask for (nothing when it has one already
  // or none fits); true for any window.
  bool SkinChildControl(HWND child);
  // Paints every visible child of `wnd`, at its place, into `dc` (WM_PRINT between commands 38).
  void PaintChildrenTo(HWND wnd, HDC dc);
  TlxDialogWnd* DialogWnd() const { return FDialogWnd.get(); }
  size_t ChildAdapterCount() const { return FChildren.size(); }
  // WS_EX_LEFTSCROLLBAR of the dialog.
  bool RightToLeft = false;
  // The dialog adapter's window method is running: the provider must not be freed now.
  bool Busy() const;
  // The run-time skin provider made for the form; null before AttachFormProvider and once
  // that provider is gone.
  TsSkinProvider* SkinProvider() const { return FSkinProvider; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  HWND FHandle = nullptr;
  TsSkinProvider* FSkinProvider = nullptr;
  std::unique_ptr<TlxDialogWnd> FDialogWnd;
  std::vector<std::unique_ptr<TlxMainWnd>> FChildren;
};

// Makes the window adapter of `rule` for a dialog's child; null for kinds that have no adapter
// yet. The caller has set the adapters' dialog-mode flag.
std::unique_ptr<TlxMainWnd> MakeChildAdapter(HWND child, const TlxChildRule& rule, TsSkinManager* manager,
                                             bool repaint);

// The procedure of the thread's window-creation hook: asks the rest of the chain first and
// returns its answer in every case. Only when the rest of the chain allows the activation or
// creation (answers 0) and the application is not being destroyed does it skin the window
// (activation: AttachSkinToWindow; creation of a top-level window of a named class without
// parent: AttachSkinToWindow with the creation record). No exception leaves it.
LRESULT CALLBACK SkinWindowsHookProc(int code, WPARAM wparam, LPARAM lparam);

// Skins a window that is not skinned yet: for a framework form that may be skinned, a
// TlxProvider owned by the form is listed and its run-time skin provider attached. `creation`
// is the creation record while the window is being made, else null. True when a provider was
// made; false when the window stays as it is (no default manager, the application is going,
// already skinned, a borderless popup, already listed, no form, or the form's tag, class or
// the skinning rules keep it plain).
bool AttachSkinToWindow(HWND wnd, const CREATESTRUCTA* creation);

// A form may be skinned by the hook: not with tag -98 (the engine's own auxiliary forms), -1
// or -2, not of an exempt class; "TMessageForm" needs srStdDialogs in `rules`, any other form
// srStdForms.
bool FormMayBeSkinned(std::intptr_t tag, const std::string& className, std::uint8_t rules);

// Listed providers whose dialog window is visible.
int CountVisibleSkinnedDialogs();
// A window below `wnd` (depth first in Z order: a child, then its children) has the class
// `lowerClass` (compared in lower case).
bool HasChildOfClass(HWND wnd, const std::string& lowerClass);
// Sends the message to every direct child of `wnd`, in Z order.
void BroadcastToChildWindowsZ(HWND wnd, TMessage& message);
// Frees the providers whose dialog window went (WM_DESTROY seen). One whose dialog adapter is
// still inside its window method waits for a later call.
void FreeDestroyedProviders();
// Stops what the listed dialog adapters have running (button animations, move timers).
void StopDialogHookWork();

// The window's class name (at most 127 characters); "" for no window.
std::string WindowClassNameOf(HWND wnd);
// The listed provider serving this window, or null (also while the application goes).
TlxProvider* FindDialogProvider(HWND wnd);
// The form whose window this is (an MDI main form also answers for its children's windows):
// the screen's forms from the last made to the first, forms being destroyed skipped; null when
// none.
TCustomForm* FindFormOfWindow(HWND wnd);
// The providers listed now (first listed first).
const std::vector<TlxProvider*>& ListedProviders();
// True for a class name the hook never skins: "TApplication", "TfcPopup" (exact case).
bool IsSkinExemptClass(const std::string& className);

// Start-up step: makes the exempt class list and gives the skin manager the hook's procedure
// and the hooked-window links. Shut-down step: frees the popup-menu adapters, every listed
// provider (first listed first), then the lists.
void InitDialogHookUnit();
void DoneDialogHookUnit();
