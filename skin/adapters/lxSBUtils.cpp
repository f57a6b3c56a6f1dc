// Window adapter base, attach and detach, common message handling and the scroll bars' system
// entry points (see lxSBUtils.h).
#include "skin/adapters/lxSBUtils.h"

#include <array>
#include <unordered_set>
#include <utility>

#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/Menus.h"
#include "skin/adapters/lxComboWnd.h"
#include "skin/adapters/lxMnuWnd.h"
#include "skin/adapters/lxTabWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sDwmApi.h"
#include "skin/paint/win/sThemes.h"

namespace {

constexpr const char* AdapterProp = "LXSBSC";

template <typename T>
void Entry(T& slot, const char* module, const char* name) {
  const HMODULE m = GetModuleHandleA(module);
  slot = m != nullptr ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

// Every adapter alive, so that a property value is trusted only while it names one.
std::unordered_set<const TlxMainWnd*>& LiveAdapters() {
  static std::unordered_set<const TlxMainWnd*> set;
  return set;
}

// A window text in the framework's (ANSI) strings.
std::string WindowTextOf(HWND wnd) {
  const int n = GetWindowTextLengthA(wnd);
  if (n <= 0) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowTextA(wnd, s.data(), n + 1)));
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Entry points and flags.

TlxScrollEntries& ScrollEntries() {
  static TlxScrollEntries table;
  return table;
}

void InitSBUtilsUnit() {
  TlxScrollEntries& t = ScrollEntries();
  Entry(t.GetScrollBarInfo, "user32.dll", "GetScrollBarInfo");
  Entry(t.InitializeFlatSB, "comctl32.dll", "InitializeFlatSB");
  Entry(t.UninitializeFlatSB, "comctl32.dll", "UninitializeFlatSB");
  // The skinned combo box's drop-down list is skinned by an adapter from here on.
  FillComboListLinks();
}

void DoneSBUtilsUnit() {
  // The popup adapters first: they may still hold popup windows.
  FreeSkinnedPopupMenus();
  ScrollEntries() = TlxScrollEntries{};
  // The page adapters no page control has swept yet.
  FreePageAdapters();
  ClearComboListLinks();
}

TlxAdapterFlags& AdapterFlags() {
  static TlxAdapterFlags flags;
  return flags;
}

// ---------------------------------------------------------------------------------------------
// Hooks.
//
// A subclassed window gets a procedure of its own address from a fixed pool: each routes to
// the adapter bound to its slot. When the adapter lets go while a later subclasser still calls
// its procedure, the slot stays and forwards to the procedure it replaced until the window is
// destroyed (or until ours is current again and can be taken out). Static procedures cannot be
// freed under a caller, so no window ever calls freed code.
//
// A method hook (a framework control's WindowProc, a provider's held method) installs a handler
// that shares a cell with the adapter: the cell names the adapter while it is hooked and keeps
// the previous method, which the handler calls once the adapter let go.

struct TlxMethodCell {
  TlxMainWnd* Adapter = nullptr;
  TWndMethod Previous;
};

struct TlxThunks {
  static constexpr int Count = 1024;
  struct TSlot {
    TlxMainWnd* Adapter = nullptr;
    WNDPROC Previous = nullptr;
    HWND Window = nullptr;
    bool Unicode = false;
    bool InUse = false;
  };
  static std::array<TSlot, Count>& Slots() {
    static std::array<TSlot, Count> slots;
    return slots;
  }

  template <int I>
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return Route(I, wnd, msg, wparam, lparam);
  }
  template <int... I>
  static std::array<WNDPROC, sizeof...(I)> Table(std::integer_sequence<int, I...>) {
    return {&Proc<I>...};
  }
  static const std::array<WNDPROC, Count>& Procs() {
    static const std::array<WNDPROC, Count> procs = Table(std::make_integer_sequence<int, Count>{});
    return procs;
  }

  static LONG_PTR CurrentProc(HWND wnd, bool unicode) {
    return unicode ? GetWindowLongPtrW(wnd, GWLP_WNDPROC) : GetWindowLongPtrA(wnd, GWLP_WNDPROC);
  }
  static LONG_PTR SetProc(HWND wnd, bool unicode, LONG_PTR proc) {
    return unicode ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, proc) : SetWindowLongPtrA(wnd, GWLP_WNDPROC, proc);
  }
  static bool IsCurrent(int i) {
    const TSlot& s = Slots()[static_cast<size_t>(i)];
    return CurrentProc(s.Window, s.Unicode) == reinterpret_cast<LONG_PTR>(Procs()[static_cast<size_t>(i)]);
  }

  // Subclasses the window; the slot, or -1 when the pool is used up or the window refuses.
  static int Hook(TlxMainWnd& adapter, HWND wnd) {
    auto& slots = Slots();
    for (int i = 0; i < Count; ++i) {
      TSlot& s = slots[static_cast<size_t>(i)];
      if (s.InUse) continue;
      const bool unicode = IsWindowUnicode(wnd) != FALSE;
      s = TSlot{&adapter, nullptr, wnd, unicode, true};
      SetLastError(0);
      const LONG_PTR old = SetProc(wnd, unicode, reinterpret_cast<LONG_PTR>(Procs()[static_cast<size_t>(i)]));
      if (old == 0 && GetLastError() != 0) {
        s = TSlot{};
        return -1;
      }
      s.Previous = reinterpret_cast<WNDPROC>(old);
      return i;
    }
    return -1;
  }

  // The adapter lets go: the previous procedure put back while ours is current (or the window
  // is gone), else the slot left forwarding.
  static void Unhook(int i) {
    TSlot& s = Slots()[static_cast<size_t>(i)];
    if (!IsWindow(s.Window)) {
      s = TSlot{};
    } else if (IsCurrent(i)) {
      SetProc(s.Window, s.Unicode, reinterpret_cast<LONG_PTR>(s.Previous));
      s = TSlot{};
    } else {
      s.Adapter = nullptr;
    }
  }

  static LRESULT Route(int i, HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    TSlot& s = Slots()[static_cast<size_t>(i)];
    LRESULT result = 0;
    if (s.Adapter != nullptr) {
      TMessage m{msg, wparam, lparam, 0};
      s.Adapter->HandleMessage(m);
      result = m.Result;
    } else if (s.InUse) {
      const WNDPROC previous = s.Previous;
      const bool unicode = s.Unicode;
      // A forwarding procedure that became current again steps out of the chain.
      if (IsCurrent(i)) {
        SetProc(wnd, unicode, reinterpret_cast<LONG_PTR>(previous));
        s = TSlot{};
      }
      result = unicode ? CallWindowProcW(previous, wnd, msg, wparam, lparam)
                       : CallWindowProcA(previous, wnd, msg, wparam, lparam);
    } else {
      result = DefWindowProcA(wnd, msg, wparam, lparam);
    }
    // The window is gone: nothing calls this procedure again.
    if (msg == WM_NCDESTROY && s.InUse && s.Window == wnd) {
      if (s.Adapter != nullptr) {
        s.Adapter->FThunk = -1;
        s.Adapter->FPreviousWndProc = nullptr;
      }
      s = TSlot{};
    }
    return result;
  }
};

// ---------------------------------------------------------------------------------------------
// The adapter.

TlxMainWnd::~TlxMainWnd() {
  if (FSkinData != nullptr && !FDefunct && FHandle != nullptr) Detach(false, !IsWindow(FHandle));
  if (FOwnsSkinData) delete FSkinData;
  FSkinData = nullptr;
  FSkinManager = nullptr;
  LiveAdapters().erase(this);
}

IlxWndMethodHost* TlxMainWnd::MethodHost() const {
  return FSkinData != nullptr ? dynamic_cast<IlxWndMethodHost*>(FSkinData->Owner()) : nullptr;
}

bool TlxMainWnd::MayChangeTheme() const {
  if (ThemeEntries().SetWindowTheme == nullptr || KeepsVisualStyle()) return false;
  const IlxWndMethodHost* host = MethodHost();
  return host == nullptr || host->AllowsThemeChanges();
}

WNDPROC TlxMainWnd::WndProcInstance() const {
  return FThunk >= 0 ? TlxThunks::Procs()[static_cast<size_t>(FThunk)] : nullptr;
}

void TlxMainWnd::Construct(HWND handle, bool repaintFrame, const std::string& section, TsSkinManager* manager,
                           TsCommonData* skinData) {
  LiveAdapters().insert(this);
  FHandle = handle;
  FSkinManager = manager;
  if (skinData != nullptr) {
    FSkinData = skinData;
    if (FSkinManager == nullptr) FSkinManager = skinData->GetSkinManager();
  } else {
    FSkinData = new TsCommonData(nullptr, 0);
    FOwnsSkinData = true;
    if (manager != nullptr) FSkinData->SetSkinManager(manager);
    if (FSkinManager == nullptr) FSkinManager = FSkinData->GetSkinManager();
  }
  // Visual styles would draw the system's frame and bars over the skin's.
  if (section != "DIALOG" && MayChangeTheme()) ThemeEntries().SetWindowTheme(handle, L" ", L" ");
  if (AdapterFlags().OwnFont || FSkinData->GetCustomFont()) FSkinData->SetCustomFont(true);
  TakeSection(section);
  FDialogMode = AdapterFlags().DialogMode;
  StoreControlColors();
  ParamsApplied = false;
  FCaption = WindowTextOf(handle);
  AttachToWindow(repaintFrame);
  if (TControl* control = FSkinData->OwnerControl()) {
    FSavedControlStyle = control->ControlStyle();
    FControlStyleSaved = true;
    control->SetControlStyle(FSavedControlStyle | csOpaque);
  }
}

void TlxMainWnd::TakeSection(const std::string& section) {
  if (FSkinData->GetSkinSection().empty()) FSkinData->SetSkinSection(section);
}

void TlxMainWnd::AttachToWindow(bool) { AttachAdapter(*this, FHandle); }

void TlxMainWnd::Hook() {
  TControl* control = FSkinData->OwnerControl();
  IlxWndMethodHost* host = MethodHost();
  if (control == nullptr && host == nullptr) {
    FThunk = TlxThunks::Hook(*this, FHandle);
    FPreviousWndProc = FThunk >= 0 ? TlxThunks::Slots()[static_cast<size_t>(FThunk)].Previous : nullptr;
    return;
  }
  TWndMethod& slot = host != nullptr ? host->HeldWndMethod() : control->WindowProc;
  FMethod = std::make_shared<TlxMethodCell>();
  FMethod->Adapter = this;
  FMethod->Previous = std::move(slot);
  std::shared_ptr<TlxMethodCell> cell = FMethod;
  // The handler may be replaced while it runs (the adapter lets go in WM_DESTROY): it works
  // on its own reference to the cell, never on its captures after the call.
  slot = OwnedHandler(cell.get(), TWndMethod([cell](TMessage& m) {
                        const std::shared_ptr<TlxMethodCell> keep = cell;
                        if (keep->Adapter != nullptr)
                          keep->Adapter->HandleMessage(m);
                        else if (keep->Previous)
                          keep->Previous(m);
                      }));
}

bool TlxMainWnd::Unhook() {
  if (FMethod != nullptr) {
    IlxWndMethodHost* host = MethodHost();
    TControl* control = FSkinData != nullptr ? FSkinData->OwnerControl() : nullptr;
    TWndMethod* slot = host != nullptr ? &host->HeldWndMethod() : control != nullptr ? &control->WindowProc : nullptr;
    const std::shared_ptr<TlxMethodCell> cell = std::move(FMethod);
    cell->Adapter = nullptr;
    // Put back only while our handler is the one in place; a later one keeps calling ours,
    // which now forwards to the previous method.
    if (slot != nullptr && HandlerOwnedBy(*slot, cell.get())) *slot = cell->Previous;
    return true;
  }
  if (FThunk >= 0) {
    TlxThunks::Unhook(FThunk);
    FThunk = -1;
    FPreviousWndProc = nullptr;
    return true;
  }
  return false;
}

LRESULT TlxMainWnd::CallOldProc(HWND handle, UINT msg, WPARAM wparam, LPARAM& lparam) {
  if (FMethod != nullptr) {
    if (!FMethod->Previous) return 0;
    TMessage m{msg, wparam, lparam, 0};
    // The method may let this adapter go: keep the cell while it runs.
    const std::shared_ptr<TlxMethodCell> cell = FMethod;
    cell->Previous(m);
    lparam = m.LParam;
    return m.Result;
  }
  if (FPreviousWndProc != nullptr) {
    const bool unicode = FThunk >= 0 && TlxThunks::Slots()[static_cast<size_t>(FThunk)].Unicode;
    return unicode ? CallWindowProcW(FPreviousWndProc, handle, msg, wparam, lparam)
                   : CallWindowProcA(FPreviousWndProc, handle, msg, wparam, lparam);
  }
  return 0;
}

LRESULT TlxMainWnd::CallOldProc(TMessage& message) {
  return CallOldProc(FHandle, message.Msg, message.WParam, message.LParam);
}

void TlxMainWnd::HandleDestroyMessage(TMessage& message) {
  if (FSkinData != nullptr && FSkinData->GlowID() >= 0) FSkinData->HideGlow();
  if (!MethodHooked() && !Subclassed()) {
    message.Result = SendMessageA(FHandle, message.Msg, message.WParam, message.LParam);
    return;
  }
  message.Result = CallOldProc(message);
  if (message.Result == 0 && !FDefunct) {
    try {
      Detach(false, true);
    } catch (...) {
      // The destroy message must complete whatever the detach ran into.
    }
  }
}

void TlxMainWnd::ResumeHeldPaint(UINT redrawFlags) {
  FSkinData->SetPaintLock(false);
  FSkinData->SetPaintLock(FSkinData->IsPaintLocked());
  if (FSkinData->HoldPaint == 0) RedrawWindow(FHandle, nullptr, nullptr, redrawFlags);
}

void TlxMainWnd::PrepareContextMenu() {
  TControl* control = FSkinData != nullptr ? FSkinData->OwnerControl() : nullptr;
  if (control == nullptr || control->PopupMenu() == nullptr || FSkinManager == nullptr) return;
  if (TsSkinableMenus* menus = FSkinManager->SkinableMenus())
    menus->HookPopupMenu(control->PopupMenu(), FSkinManager->GetActive());
}

void TlxMainWnd::TrackHover() {
  TsSkinManager* m = TsSkinManager::DefaultManager();
  if (m == nullptr || (m->ComponentState() & csDesigning) != 0 || !IsWindowEnabled(FHandle)) return;
  if (m->HoverWindow() != FHandle) m->TrackHoverWindow(FHandle);
}

void TlxMainWnd::HandleMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      HandleDestroyMessage(message);
      return;
    case WM_UPDATEUISTATE:
      message.Result = 0;
      return;
    case WM_SIZE:
      if (FSkinData != nullptr) FSkinData->BGChanged = 1;
      break;
    case WM_SETTEXT:
      message.Result = CallOldProc(message);
      FCaption = WindowTextOf(FHandle);
      return;
    case WM_CONTEXTMENU:
      PrepareContextMenu();
      break;
    case WM_MOUSEMOVE:
      TrackHover();
      break;
    case WM_PRINT:
      // The print DC becomes the paint DC.
      message.Result = SendMessageA(FHandle, WM_PAINT, message.WParam, message.LParam);
      return;
    default:
      break;
  }
  if (message.Msg == WM_SKINCOMMAND && FSkinData != nullptr && FSkinManager != nullptr && FSkinManager->GetActive()) {
    HandleSkinCommandMessage(message);
    return;
  }
  message.Result = CallOldProc(message);
}

void TlxMainWnd::HandleSkinCommandMessage(TMessage& message) {
  if (!SkinCommandAllowed(message.WParam, message.LParam)) {
    message.Result = 0;
    return;
  }
  TsCommonData* d = FSkinData;
  const bool own = IsFromOwnManager(message, d);
  switch (HIWORD(message.WParam)) {
    case SkinCmdSkinLoaded:
      if (own) {
        d->ResolveSection();
        d->BGChanged = 1;
        PassSkinCommandDown(d->OwnerControl(), FHandle, message);
      }
      break;
    case SkinCmdUnskin:
      if (own) RestoreControlColors();
      break;
    case SkinCmdRedrawSkin:
      if (!own) break;
      d->ResolveSection();
      d->BGChanged = 1;
      d->SetPaintLock(false);
      if (IsWindowVisible(FHandle)) SendMessageA(FHandle, WM_PAINT, 0, 0);
      return;
    case SkinCmdResumePaint:
      if (d->HoldPaint == 0) break;
      ResumeHeldPaint(RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return;
    case SkinCmdIsSkinned:
      message.Result = 1;
      return;
    case SkinCmdIsHeld:
      message.Result = d->HoldPaint;
      return;
    case SkinCmdTakeSection:
      if (message.LParam != 0) d->SetSkinSection(reinterpret_cast<const TlxSectionInfo*>(message.LParam)->SectionName);
      break;
    case SkinCmdIsSeeThrough:
      if (d->OwnerControl() != nullptr && HandleSkinCommand(message, d)) return;
      break;
    case SkinCmdQueryColor:
      message.Result = CallOldProc(message);
      if (message.Result == 0) message.Result = static_cast<LRESULT>(d->SectionColor(0, FHandle));
      return;
    case SkinCmdRebuildCache:
      RebuildCache();
      break;
    case SkinCmdQueryBackground:
      if (message.LParam != 0) d->ProvideBackground(*reinterpret_cast<TsBackgroundRequest*>(message.LParam), 0, FHandle);
      return;
    case SkinCmdQueryCommonData:
      message.Result = reinterpret_cast<LRESULT>(d);
      return;
    case SkinCmdPrintMode:
      d->SetPrintDC(reinterpret_cast<HDC>(message.LParam));
      break;
    case SkinCmdQueryAppObject:
      message.Result = reinterpret_cast<LRESULT>(Application);
      return;
    default:
      break;
  }
  message.Result = CallOldProc(message);
}

// ---------------------------------------------------------------------------------------------
// Attach and detach.

TlxMainWnd* GetWndAdapter(HWND handle) {
  if (handle == nullptr) return nullptr;
  auto* p = static_cast<TlxMainWnd*>(GetPropA(handle, AdapterProp));
  return p != nullptr && LiveAdapters().count(p) != 0 ? p : nullptr;
}

void AttachAdapter(TlxMainWnd& adapter, HWND handle) {
  adapter.ScrollInProgress = false;
  adapter.FHandle = handle;
  SetPropA(handle, AdapterProp, &adapter);
  adapter.Hook();
  // A window that could not be hooked (another thread's or process's, or no procedure left)
  // stays as it was.
  if (!adapter.MethodHooked() && !adapter.Subclassed()) {
    RemovePropA(handle, AdapterProp);
    adapter.FDefunct = true;
  }
}

void ReleaseWndAdapter(HWND handle, bool repaintFrame, TlxMainWnd& adapter) {
  if (adapter.FDefunct) return;
  adapter.FHandle = handle;
  adapter.Detach(repaintFrame, false);
}

void TlxMainWnd::Detach(bool repaintFrame, bool windowGoing) {
  Unhook();
  RemovePropA(FHandle, AdapterProp);
  RestoreControlColors();
  DetachParts();
  TControl* control = FSkinData != nullptr ? FSkinData->OwnerControl() : nullptr;
  if (FControlStyleSaved && control != nullptr) control->SetControlStyle(FSavedControlStyle);
  FControlStyleSaved = false;
  FDefunct = true;
  if (windowGoing) return;
  // The window draws itself again: with its visual style, as before the skin came.
  if (MayChangeTheme() && !(FSkinData != nullptr && FSkinData->ControlKind() == 10 && AeroIsActive()))
    ThemeEntries().SetWindowTheme(FHandle, nullptr, nullptr);
  if (IsWindowVisible(FHandle)) RedrawNonClient(FHandle, repaintFrame);
}

void RedrawNonClient(HWND handle, bool recalcFrame) {
  if (recalcFrame)
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  else
    SendMessageA(handle, WM_NCPAINT, 1, 0);
}

// ---------------------------------------------------------------------------------------------
// Routines.

TlxWndGeometry GetWndGeometry(HWND handle) {
  TlxWndGeometry g;
  RECT r{};
  GetWindowRect(handle, &r);
  g.WndRect = TRect{r.left, r.top, r.right, r.bottom};
  g.Width = r.right - r.left;
  g.Height = r.bottom - r.top;
  g.Parent = GetParent(handle);
  POINT p{r.left, r.top};
  if (g.Parent != nullptr) {
    RECT pr{};
    GetWindowRect(g.Parent, &pr);
    g.ParentRect = TRect{pr.left, pr.top, pr.right, pr.bottom};
    ScreenToClient(g.Parent, &p);
  }
  g.TopLeft = TPoint{p.x, p.y};
  return g;
}

HFONT CreateNonClientFont(int kind) {
  if (kind < 1 || kind > 5) return nullptr;
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof(m);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0)) return nullptr;
  const LOGFONTW* fonts[] = {&m.lfCaptionFont, &m.lfSmCaptionFont, &m.lfMenuFont, &m.lfStatusFont, &m.lfMessageFont};
  return CreateFontIndirectW(fonts[kind - 1]);
}

void PassSkinCommandDown(TControl* ownerControl, HWND handle, TMessage& message) {
  if (auto* container = As<TWinControl>(ownerControl))
    BroadcastToChildControls(container, message);
  else if (ownerControl == nullptr)
    BroadcastToChildWindows(handle, message.Msg, message.WParam, message.LParam);
}

void SetPublishedColor(TObject* control, const std::string& name, TColor value) {
  if (PublishedPropExists(control, name)) WriteOrdProp(control, name, static_cast<std::int64_t>(value));
}

TColor GetPublishedColor(TObject* control, const std::string& name) {
  if (!PublishedPropExists(control, name)) return 0;
  return ColorToRGB(static_cast<TColor>(ReadOrdProp(control, name)));
}

bool SkinHasFrameStates(const TsCommonData* data) {
  if (data == nullptr) return false;
  const TsSkinManager* m = data->GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (t == nullptr || !SectionIndexInRange(t, data->SectionIndex()) || !MaskIndexInRange(t, data->BorderIndex()))
    return false;
  return t->MaskData[static_cast<size_t>(data->BorderIndex())].ImageCount > 1 ||
         t->GeneralData[static_cast<size_t>(data->SectionIndex())].States > 1;
}

void AdoptInTopWindow(HWND handle) {
  const HWND top = GetAncestor(handle, GA_ROOT);
  if (top != nullptr) SendSkinCommand(top, SkinCmdAdoptControls, 0);
}
