// Window adapters: an object bound to one window handle that is not a skinned control (a system
// control, a framework control that draws through the system, a dialog) takes over the
// window's message stream, paints it from a skin section and passes everything else on to the
// procedure or method the window had before. This unit holds the adapter base, the attach and
// detach protocol, the "LXSBSC" window property that ties a window to its adapter, the message
// handling common to all adapters, the program-wide flags the adapters read, and the start-up
// step with the scroll bars' system entry points.
//
// Ownership: whoever creates an adapter owns it (a std::unique_ptr). The adapter owns its skin
// data only when it made it; the window, its manager and any given skin data are borrowed.
// Hooking never outlives its reachability: a window procedure or method that a later
// subclasser still calls forwards to the one it replaced after the adapter is gone, until the
// window is destroyed. GUI thread only.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject.
#include "framework/win/Controls.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "framework/base/Classes.h"
#include "framework/win/Messages.h"
#include "framework/win/UtilWindow.h"

class TsSkinManager;
class TsCommonData;

// ---------------------------------------------------------------------------------------------
// The scroll bars' system entry points: GetScrollBarInfo from user32 and the flat scroll-bar
// pair from comctl32, looked up by the start-up step and dropped at shut-down. Each may be
// missing (older systems): a scroll bar's usability then falls back to the window's scroll
// styles, and the flat scroll-bar calls are skipped. Tests may overwrite entries and put the
// saved table back.
struct TlxScrollEntries {
  BOOL(WINAPI* GetScrollBarInfo)(HWND wnd, LONG object, PSCROLLBARINFO info) = nullptr;
  BOOL(WINAPI* InitializeFlatSB)(HWND wnd) = nullptr;
  HRESULT(WINAPI* UninitializeFlatSB)(HWND wnd) = nullptr;
};

// The table in use; empty before the start-up step and after shut-down.
TlxScrollEntries& ScrollEntries();

// Start-up and shut-down steps: the entries looked up (user32 and comctl32 are loaded with the
// program, so nothing is loaded or freed here); the popup-menu adapters that are left freed,
// the table emptied and the page adapters that are left freed (the adapters share no work
// bitmap).
void InitSBUtilsUnit();
void DoneSBUtilsUnit();

// ---------------------------------------------------------------------------------------------
// Program-wide flags the adapters read.
struct TlxAdapterFlags {
  // Dialog windows are being skinned (set by the thread hook); adapters copy it when made.
  bool DialogMode = false;
  // Adapters' skin data keep the control's own font.
  bool OwnFont = false;
  // The user moves or sizes a form (from WM_ENTERSIZEMOVE, or the provider's own drag, to
  // WM_EXITSIZEMOVE): scroll bars do not repaint on a scroll-info refresh meanwhile.
  bool WindowMoving = false;
};
TlxAdapterFlags& AdapterFlags();

// ---------------------------------------------------------------------------------------------
// What the adapter base needs of the object above it that holds a form's window method (the
// skin provider): the method it passes the form's messages to, which an adapter on that form
// takes over, and whether it lets adapters switch the form's visual style off.
class IlxWndMethodHost {
public:
  virtual TWndMethod& HeldWndMethod() = 0;
  virtual bool AllowsThemeChanges() const = 0;

protected:
  ~IlxWndMethodHost() = default;
};

// ---------------------------------------------------------------------------------------------
// The adapter base. Made by CreateForHandle, which constructs the object and then attaches it,
// so that the attach steps reach the descendant's operations.
class TlxMainWnd : public TObject {
public:
  // Constructs a T (with `args` for its constructor) and attaches it to `handle`: the visual
  // style switched off (section "DIALOG" and adapters that keep it excepted), the skin data
  // taken (else made, owned, without owner control) and given `section` when it has none,
  // the control's colours stored, the window hooked and, for an owner control, csOpaque added
  // to its style (the old style given back when the adapter goes).
  template <class T, class... A>
  static std::unique_ptr<T> CreateForHandle(HWND handle, bool repaintFrame, const std::string& section,
                                            TsSkinManager* manager, TsCommonData* skinData, A&&... args) {
    std::unique_ptr<T> adapter(new T(std::forward<A>(args)...));
    adapter->Construct(handle, repaintFrame, section, manager, skinData);
    return adapter;
  }
  // Detaches first when still attached. Descendants that restore colours or let parts go call
  // ReleaseWndAdapter in their own destructor, since a base destructor reaches only the base's
  // operations.
  ~TlxMainWnd() override;
  TlxMainWnd(const TlxMainWnd&) = delete;
  TlxMainWnd& operator=(const TlxMainWnd&) = delete;

  // Descendants save the control's own colours, fonts and options before the skin changes
  // them, and put them back.
  virtual void StoreControlColors() {}
  virtual void RestoreControlColors() {}
  // Descendants set control colours and fonts from the section; the base marks it done.
  virtual void ApplySkinColors() { ParamsApplied = true; }
  // The adapter's window method. Every descendant handles its own messages first and ends
  // here or in CallOldProc.
  virtual void HandleMessage(TMessage& message);

  // The previous procedure's or method's answer to the message; 0 when the adapter hooks
  // nothing (a method may change LParam, which is written back).
  LRESULT CallOldProc(HWND handle, UINT msg, WPARAM wparam, LPARAM& lparam);
  LRESULT CallOldProc(TMessage& message);

  HWND Handle() const { return FHandle; }
  TsSkinManager* SkinManager() const { return FSkinManager; }
  TsCommonData* SkinData() const { return FSkinData; }
  bool Defunct() const { return FDefunct; }
  bool OwnsSkinData() const { return FOwnsSkinData; }
  bool DialogMode() const { return FDialogMode; }
  const std::string& Caption() const { return FCaption; }
  // Hooked by a method (framework control or provider) or by a window procedure.
  bool MethodHooked() const { return FMethod != nullptr; }
  bool Subclassed() const { return FThunk >= 0; }
  WNDPROC PreviousWndProc() const { return FPreviousWndProc; }
  // The procedure installed in the window while subclassed (null otherwise).
  WNDPROC WndProcInstance() const;

  // Set while the scroll engine sends scroll messages.
  bool ScrollInProgress = false;
  bool ParamsApplied = false;

  // Made through CreateForHandle; until then the object is bound to nothing.
  TlxMainWnd() = default;

protected:
  // Attaches the adapter: the scroll adapters take the scroll-bar route.
  virtual void AttachToWindow(bool repaintFrame);
  // Popup-menu adapters keep the system's visual style.
  virtual bool KeepsVisualStyle() const { return false; }
  // Command 23: the painting adapters rebuild their cache image; the base paints nothing.
  virtual void RebuildCache() {}
  // The section given at construction: the base names it only when the skin data has none yet;
  // adapters with a section of their own name it always.
  virtual void TakeSection(const std::string& section);
  // The skin's command answered by the base (see the source); the scroll adapter adds to it.
  void HandleSkinCommandMessage(TMessage& message);
  // WM_DESTROY and WM_NCDESTROY: the glow hidden, the message passed on and, when that
  // answers 0, the adapter detached (errors swallowed, so that the destroy always completes).
  void HandleDestroyMessage(TMessage& message);
  // Called while detaching, after the colours are restored and before the frame is redrawn:
  // descendants let go of what belongs to the window (the scroll adapter its bars and the
  // program-wide scroll state naming it).
  virtual void DetachParts() {}
  // Command 6 while painting is held: the hold re-read and, when it is over, the window
  // redrawn with `redrawFlags`.
  void ResumeHeldPaint(UINT redrawFlags);
  // WM_CONTEXTMENU: the owner control's popup menu prepared by the skinned menus.
  void PrepareContextMenu();
  // WM_MOUSEMOVE: the default manager told that the mouse is over this window.
  void TrackHover();
  // Whether this adapter switches the window's visual style (construction rule, without the
  // section test).
  bool MayChangeTheme() const;
  void SetDefunct(bool value) { FDefunct = value; }
  // Layout state for descendants (button, tab and panel adapters keep content geometry here).
  TRect LayoutRect;
  int LayoutA = 0, LayoutB = 0;
  TPoint LayoutPoint;
  int Layout[4] = {0, 0, 0, 0};
  int Extra[3] = {0, 0, 0};

private:
  void Construct(HWND handle, bool repaintFrame, const std::string& section, TsSkinManager* manager,
                 TsCommonData* skinData);
  // Hooks the window as AttachAdapter describes; false when nothing could be hooked.
  void Hook();
  // Takes the hook out: a procedure or method is put back only while ours is current; one
  // still reachable forwards to the previous one from now on. Returns whether a hook was held.
  bool Unhook();
  // The provider that holds the form's method, when the skin data's owner is one.
  IlxWndMethodHost* MethodHost() const;
  // Lets go of the window: unhooked, property removed, colours and control style restored,
  // descendants' parts let go and, unless the window is going, its visual style given back
  // and (when visible) its frame redrawn.
  void Detach(bool repaintFrame, bool windowGoing);

  friend void AttachAdapter(TlxMainWnd& adapter, HWND handle);
  friend void ReleaseWndAdapter(HWND handle, bool repaintFrame, TlxMainWnd& adapter);
  friend struct TlxThunks;
  friend class TlxScrollWnd;

  bool FDialogMode = false;
  std::string FCaption;
  TControlStyle FSavedControlStyle = 0;
  bool FControlStyleSaved = false;
  // The method hook's shared cell (null when not method-hooked): it holds the previous method
  // and a pointer back here that is cleared when the adapter lets go.
  std::shared_ptr<struct TlxMethodCell> FMethod;
  WNDPROC FPreviousWndProc = nullptr;
  HWND FHandle = nullptr;
  TsSkinManager* FSkinManager = nullptr;
  TsCommonData* FSkinData = nullptr;
  bool FDefunct = false;
  bool FOwnsSkinData = false;
  // The thunk slot routing the window procedure here; -1 when not subclassed.
  int FThunk = -1;
};

// The window's live adapter (the value of "LXSBSC" when it names one); null otherwise.
TlxMainWnd* GetWndAdapter(HWND handle);

// Binds the adapter to the window: the property set and the window hooked, by its owner
// control's WindowProc, by the provider's held method, or by subclassing the bare window.
void AttachAdapter(TlxMainWnd& adapter, HWND handle);
// Detaches (the object stays, marked defunct): the hook taken out, the property removed, the
// colours restored and, when the window is visible, its frame redrawn. Nothing for a defunct
// adapter.
void ReleaseWndAdapter(HWND handle, bool repaintFrame, TlxMainWnd& adapter);
// Detaches and frees; the pointer is null after.
template <class T>
void ReleaseWndAdapter(HWND handle, bool repaintFrame, std::unique_ptr<T>& adapter) {
  if (!adapter) return;
  ReleaseWndAdapter(handle, repaintFrame, static_cast<TlxMainWnd&>(*adapter));
  adapter.reset();
}

// With `recalcFrame` the frame is measured again (SWP_FRAMECHANGED); else WM_NCPAINT.
void RedrawNonClient(HWND handle, bool recalcFrame);

// A window's place: its screen rectangle, its parent and the parent's screen rectangle, its
// size and its top-left corner in the parent's client coordinates.
struct TlxWndGeometry {
  TRect WndRect;
  HWND Parent = nullptr;
  TRect ParentRect;
  int Width = 0, Height = 0;
  TPoint TopLeft;
};
TlxWndGeometry GetWndGeometry(HWND handle);

// The system's non-client font of `kind`: 1 caption, 2 small caption, 3 menu, 4 status, 5
// message; null for any other kind or a failed query. The caller owns the font.
HFONT CreateNonClientFont(int kind);

// Hands a skin command to the children: through the control tree when there is an owner
// control, else to the child windows of `handle`.
void PassSkinCommandDown(TControl* ownerControl, HWND handle, TMessage& message);

// A foreign control's published ordinal colour property: written when the class publishes it;
// read as RGB, 0 when missing.
void SetPublishedColor(TObject* control, const std::string& name, TColor value);
TColor GetPublishedColor(TObject* control, const std::string& name);

// The data's section has frame states: a live manager, a valid section and border mask, and
// either more than one state image in the mask or more than one state in the section.
bool SkinHasFrameStates(const TsCommonData* data);

// Asks the top-level window above `handle` to adopt its new controls (command 25).
void AdoptInTopWindow(HWND handle);

