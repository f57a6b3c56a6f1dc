// The thread hook and the providers it attaches (see lxProvider.h).
//
// Sections: process-wide lists; the provider; finding windows and forms; attaching; the hook
// procedure; start-up and shut-down.
#include "skin/forms/lxProvider.h"

#include <cstring>
#include <memory>
#include <utility>

#include "framework/base/SysUtils.h"
#include "framework/base/TypInfo.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/adapters/lxCheckBoxWnd.h"
#include "skin/adapters/lxComboWnd.h"
#include "skin/adapters/lxEditWnd.h"
#include "skin/adapters/lxGroupBoxWnd.h"
#include "skin/adapters/lxListViewWnd.h"
#include "skin/adapters/lxMnuWnd.h"
#include "skin/adapters/lxPanelWnd.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/adapters/lxTabWnd.h"
#include "skin/adapters/lxToolBarWnd.h"
#include "skin/adapters/lxTrackWnd.h"
#include "skin/adapters/lxTreeViewWnd.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/adapters/lxStaticWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxDialogWnd.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sDwmApi.h"
#include "skin/paint/win/sWinUtils.h"

// ---------------------------------------------------------------------------------------------
// Process-wide lists

namespace {

std::vector<TlxProvider*> GProviders;
std::unique_ptr<TStringList> GExemptClasses;
// More skinned dialogs than this on screen: a further one is skinned only with a tool bar.
constexpr int VisibleDialogThreshold = 2;
constexpr ATOM DialogClassAtom = 32770;
constexpr ATOM PopupMenuClassAtom = 32768;

bool ApplicationGoing() { return Application == nullptr || Application->IsDestroying(); }

void Unlist(TlxProvider* provider) {
  for (TlxProvider*& p : GProviders)
    if (p == provider) p = nullptr;
  std::erase(GProviders, nullptr);
}

// Frees every listed provider, the first listed first. A form's provider leaves its form's
// component list; the form keeps its skin provider.
void FreeListedProviders() {
  std::vector<TlxProvider*> listed = std::move(GProviders);
  GProviders.clear();
  for (TlxProvider* p : listed) delete p;
}

// Everything the hook attached: the popup-menu adapters, then the providers.
void FreeHookedWindows() {
  FreeSkinnedPopupMenus();
  FreeListedProviders();
}

std::vector<HWND> VisibleListedWindows() {
  std::vector<HWND> result;
  for (TlxProvider* p : GProviders)
    if (p->Handle() != nullptr && IsWindowVisible(p->Handle())) result.push_back(p->Handle());
  return result;
}

}  // namespace

const std::vector<TlxProvider*>& ListedProviders() { return GProviders; }

bool IsSkinExemptClass(const std::string& className) {
  if (!GExemptClasses) return false;
  for (int i = 0; i < GExemptClasses->Count(); ++i)
    if (GExemptClasses->Get(i) == className) return true;
  return false;
}

// ---------------------------------------------------------------------------------------------
// The provider

ORBEX_IMPLEMENT_CLASS(TlxProvider, TComponent, nullptr)

TlxProvider::TlxProvider(TComponent* AOwner) : TComponent(AOwner) {}

TlxProvider::~TlxProvider() {
  if (FSkinProvider != nullptr) FSkinProvider->RemoveFreeNotification(this);
  Unlist(this);
  // The children's adapters go before the dialog's: they may ask the dialog for its background.
  FChildren.clear();
  FDialogWnd.reset();
}

bool TlxProvider::Busy() const { return FDialogWnd != nullptr && FDialogWnd->MethodDepth() > 0; }

namespace {

TsSkinManager* ActiveDefaultManager() {
  TsSkinManager* m = TsSkinManager::DefaultManager();
  return m != nullptr && m->GetActive() ? m : nullptr;
}

template <class F>
void ForEachChildZ(HWND wnd, F&& f) {
  for (HWND c = GetWindow(wnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) f(c);
}

}  // namespace

bool TlxProvider::InitDialog(HWND wnd) {
  FHandle = wnd;
  TsSkinManager* m = ActiveDefaultManager();
  if (FDialogWnd != nullptr || m == nullptr) return true;
  RightToLeft = (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  FDialogWnd = TlxMainWnd::CreateForHandle<TlxDialogWnd>(wnd, false, "DIALOG", m, nullptr);
  FDialogWnd->SetProvider(this);
  // The box's own placing comes after its creation: the preset waits for the first showing.
  if (SkinMessageBoxPosition.X != -1 || SkinMessageBoxPosition.Y != -1) FDialogWnd->PresetPosition = SkinMessageBoxPosition;
  if (!SkinChildren(wnd)) {
    Unlist(this);
    return false;
  }
  FDialogWnd->Prepare();
  SendSkinCommand(wnd, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(m));
  return true;
}

bool TlxProvider::SkinChildren(HWND wnd) {
  bool ok = true;
  ForEachChildZ(wnd, [&](HWND c) {
    if (!ok) return;
    ok = SkinChildren(c) && ((GetWindowLongA(c, GWL_STYLE) & WS_CHILD) == 0 || SkinChildControl(c));
  });
  return ok;
}

bool TlxProvider::SkinChildControl(HWND child) {
  if (child == nullptr || GetWndAdapter(child) != nullptr || WindowAnswersSkinCommand(child, SkinCmdIsSkinned))
    return true;
  TsSkinManager* m = FDialogWnd != nullptr ? FDialogWnd->SkinManager() : nullptr;
  if (m == nullptr) return true;
  const auto style = static_cast<std::uint32_t>(GetWindowLongA(child, GWL_STYLE));
  const auto ex = static_cast<std::uint32_t>(GetWindowLongA(child, GWL_EXSTYLE));
  const TlxChildRule rule = ChildAdapterRule(LowerCase(WindowClassNameOf(child)), style, ex, (style & WS_VISIBLE) != 0);
  if (rule.ClearsPaintForbidden) FDialogWnd->PaintForbidden = false;
  if (rule.Kind == TlxChildKind::None) return true;
  TBitmap* cache = FDialogWnd->SkinData() != nullptr ? FDialogWnd->SkinData()->CacheBitmap() : nullptr;
  const bool repaint = rule.RepaintWhenCached && cache != nullptr && !cache->Empty();
  AdapterFlags().DialogMode = true;
  std::unique_ptr<TlxMainWnd> adapter;
  try {
    adapter = MakeChildAdapter(child, rule, m, repaint);
  } catch (...) {
    AdapterFlags().DialogMode = false;
    throw;
  }
  AdapterFlags().DialogMode = false;
  if (adapter != nullptr) FChildren.push_back(std::move(adapter));
  return true;
}

void TlxProvider::PaintChildrenTo(HWND wnd, HDC dc) {
  ForEachChildZ(wnd, [&](HWND c) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
    const TSaveDC saved(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + r.left, origin.y + r.top, nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    if ((style & WS_CHILD) != 0 && (style & WS_VISIBLE) != 0) {
      SendSkinCommand(c, SkinCmdPrintMode, reinterpret_cast<LPARAM>(dc));
      SendMessageA(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
      SendSkinCommand(c, SkinCmdPrintMode, 0);
    }
    PaintChildrenTo(c, dc);
  });
}

std::unique_ptr<TlxMainWnd> MakeChildAdapter(HWND child, const TlxChildRule& rule, TsSkinManager* manager,
                                             bool repaint) {
  using K = TlxChildKind;
  const std::string section = rule.Section;
  switch (rule.Kind) {
    case K::Static: return TlxMainWnd::CreateForHandle<TlxStaticWnd>(child, repaint, section, manager, nullptr);
    case K::Edge: return TlxMainWnd::CreateForHandle<TlxEdgeWnd>(child, repaint, section, manager, nullptr);
    case K::Icon: return TlxMainWnd::CreateForHandle<TlxIconWnd>(child, repaint, section, manager, nullptr);
    case K::Edit: return TlxMainWnd::CreateForHandle<TlxEditWnd>(child, repaint, section, manager, nullptr);
    case K::Sizer: return TlxMainWnd::CreateForHandle<TlxSizerWnd>(child, repaint, section, manager, nullptr);
    case K::Link: return TlxMainWnd::CreateForHandle<TlxLinkWnd>(child, repaint, section, manager, nullptr);
    case K::Button: return TlxMainWnd::CreateForHandle<TlxBtnWnd>(child, repaint, section, manager, nullptr);
    case K::CheckBox: return TlxMainWnd::CreateForHandle<TlxCheckBoxWnd>(child, repaint, section, manager, nullptr);
    case K::GroupBox: return TlxMainWnd::CreateForHandle<TlxGroupBoxWnd>(child, repaint, section, manager, nullptr);
    case K::Panel:
    case K::SilentPanel: return TlxMainWnd::CreateForHandle<TlxPanelWnd>(child, repaint, section, manager, nullptr);
    case K::TransPanel: return TlxMainWnd::CreateForHandle<TlxTransPanelWnd>(child, repaint, section, manager, nullptr);
    case K::TabControl: return TlxMainWnd::CreateForHandle<TlxTabControlWnd>(child, repaint, section, manager, nullptr);
    case K::Spin: return TlxMainWnd::CreateForHandle<TlxSpinWnd>(child, repaint, section, manager, nullptr);
    case K::TrackBar: return TlxMainWnd::CreateForHandle<TlxTrackWnd>(child, repaint, section, manager, nullptr);
    case K::ToolBar: return TlxMainWnd::CreateForHandle<TlxToolBarWnd>(child, repaint, section, manager, nullptr);
    case K::ComboBox: return TlxMainWnd::CreateForHandle<TlxComboBoxWnd>(child, repaint, section, manager, nullptr);
    case K::ListView: return TlxMainWnd::CreateForHandle<TlxListViewWnd>(child, repaint, section, manager, nullptr);
    case K::TreeView: return TlxMainWnd::CreateForHandle<TlxTreeViewWnd>(child, repaint, section, manager, nullptr);
    default:
      // Children of no kind stay as the system draws them.
      return nullptr;
  }
}

int CountVisibleSkinnedDialogs() {
  int n = 0;
  for (TlxProvider* p : GProviders)
    if (p->DialogWnd() != nullptr && IsWindowVisible(p->DialogWnd()->Handle())) ++n;
  return n;
}

bool HasChildOfClass(HWND wnd, const std::string& lowerClass) {
  for (HWND c = GetWindow(wnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    if (LowerCase(WindowClassNameOf(c)) == lowerClass || HasChildOfClass(c, lowerClass)) return true;
  return false;
}

void BroadcastToChildWindowsZ(HWND wnd, TMessage& message) {
  ForEachChildZ(wnd, [&](HWND c) { message.Result = SendMessageA(c, message.Msg, message.WParam, message.LParam); });
}

void FreeDestroyedProviders() {
  std::vector<TlxProvider*> gone;
  for (TlxProvider* p : GProviders)
    if (p->DialogWnd() != nullptr && p->DialogWnd()->Destroyed() && !p->Busy()) gone.push_back(p);
  for (TlxProvider* p : gone) delete p;
}

void StopDialogHookWork() {
  for (TlxProvider* p : GProviders)
    if (p->DialogWnd() != nullptr) p->DialogWnd()->StopWork();
}

void TlxProvider::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // The skin provider belongs to the form, which may free or replace it at any time.
  if (Operation == TOperation::opRemove && AComponent == FSkinProvider) FSkinProvider = nullptr;
}

void TlxProvider::AttachFormProvider(TCustomForm* form) {
  TsSkinProvider* provider = TsSkinProvider::CreateRuntime(form);
  FSkinProvider = provider;
  provider->FreeNotification(this);
  provider->SetUseGlobalColor(false);
  if (!form->HandleAllocated()) return;
  const HWND h = form->Handle();
  if (AeroIsActive()) {
    // A provider whose controls were adapted has taken the skin already.
    if (provider->CtrlAdapter() == nullptr) provider->Loaded();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageA(h, WM_NCPAINT, 1, 0);
  } else if ((form->ComponentState() & csDesigning) == 0) {
    UpdateWindow(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
}

// ---------------------------------------------------------------------------------------------
// Finding windows and forms

std::string WindowClassNameOf(HWND wnd) {
  char name[128] = {};
  if (wnd == nullptr) return {};
  const int n = GetClassNameA(wnd, name, static_cast<int>(sizeof(name)));
  return n > 0 ? std::string(name, static_cast<size_t>(n)) : std::string();
}

TlxProvider* FindDialogProvider(HWND wnd) {
  if (ApplicationGoing() || wnd == nullptr) return nullptr;
  for (TlxProvider* p : GProviders)
    if (p->Handle() == wnd) return p;
  return nullptr;
}

TCustomForm* FindFormOfWindow(HWND wnd) {
  if (Screen == nullptr || wnd == nullptr) return nullptr;
  for (int i = Screen->FormCount() - 1; i >= 0; --i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->IsDestroying() || !f->HandleAllocated()) continue;
    if (f->Handle() == wnd) return f;
    // An MDI main form answers for the windows of its children too.
    if (f->FormStyle() == fsMDIForm)
      for (int c = 0; c < f->MDIChildCount(); ++c)
        if (f->MDIChildren(c)->Handle() == wnd) return f;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Attaching

bool FormMayBeSkinned(std::intptr_t tag, const std::string& className, std::uint8_t rules) {
  // Exactly these tags: a bit test on -98 would also catch -97, which is an ordinary tag.
  if (tag == -98 || tag == -1 || tag == -2) return false;
  if (IsSkinExemptClass(className)) return false;
  const TsSkinningRule needed = className == "TMessageForm" ? srStdDialogs : srStdForms;
  return (rules & (1u << needed)) != 0;
}

bool AttachSkinToWindow(HWND wnd, const CREATESTRUCTA* creation) {
  TsSkinManager* manager = TsSkinManager::DefaultManager();
  if (manager == nullptr || ApplicationGoing() || wnd == nullptr) return false;
  if (WindowAnswersSkinCommand(wnd, SkinCmdIsSkinned)) return false;
  const bool namedClass = creation != nullptr && !IS_INTRESOURCE(creation->lpszClass) &&
                          creation->lpszClass[0] != '\0';
  const std::string className = namedClass ? std::string(creation->lpszClass) : WindowClassNameOf(wnd);
  const auto style = static_cast<DWORD>(GetWindowLongA(wnd, GWL_STYLE));
  if ((style & WS_POPUP) != 0 && (style & WS_BORDER) == 0) return false;
  if (FindDialogProvider(wnd) != nullptr) return false;
  TCustomForm* form = FindFormOfWindow(wnd);
  if (form == nullptr || form->IsLoading()) {
    // Only a system dialog of its own (not a child: an owned one has an owner, not a parent).
    if (className != "#32770" || (style & WS_CHILD) != 0) return false;
    if ((manager->GetSkinningRules() & (1u << srStdDialogs)) == 0) return false;
    // A skin without a dialog section leaves dialogs as the system draws them.
    if (FindSectionIndex(manager->Tables(), "DIALOG") < 0) return false;
    if (CountVisibleSkinnedDialogs() >= VisibleDialogThreshold && !HasChildOfClass(wnd, "toolbarwindow32")) return false;
    auto* dialog = NewComponent<TlxProvider>(nullptr);
    GProviders.push_back(dialog);
    try {
      if (dialog->InitDialog(wnd)) return true;
    } catch (...) {
      delete dialog;
      throw;
    }
    delete dialog;
    return false;
  }
  if (!FormMayBeSkinned(form->Tag(), className, manager->GetSkinningRules())) return false;
  auto* provider = NewComponent<TlxProvider>(form);
  GProviders.push_back(provider);
  try {
    provider->AttachFormProvider(form);
  } catch (...) {
    delete provider;
    throw;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// The hook procedure

namespace {

// A popup-menu window, while skinned popups are on and nothing skins it yet: a popup adapter
// on "MAINMENU" of the default manager.
void SkinPopupMenuWindow(HWND wnd) {
  TsSkinManager* m = TsSkinManager::DefaultManager();
  if (m == nullptr || !m->GetSkinnedPopups() || WindowAnswersSkinCommand(wnd, SkinCmdIsSkinned)) return;
  AppendSkinnedPopupMenu(TlxMainWnd::CreateForHandle<TlxMnuWnd>(wnd, false, "MAINMENU", m, nullptr));
}

// A top-level window of a class given by name, other than the hidden utility windows, with
// both style words set, that is not the main form's window.
void WindowCreating(HWND wnd, const CBT_CREATEWNDA* record) {
  if (wnd == nullptr || record == nullptr || record->lpcs == nullptr) return;
  const CREATESTRUCTA* cs = record->lpcs;
  if (IS_INTRESOURCE(cs->lpszClass)) {
    const auto atom = reinterpret_cast<ULONG_PTR>(cs->lpszClass);
    if (atom == DialogClassAtom) AttachSkinToWindow(wnd, cs);
    if (atom == PopupMenuClassAtom) SkinPopupMenuWindow(wnd);
    return;
  }
  if (std::strcmp(cs->lpszClass, "TPUtilWindow") == 0) return;
  if (cs->dwExStyle == 0 || cs->style == 0) return;
  TCustomForm* main = Application->MainForm();
  if (main != nullptr && main->HandleAllocated() && main->Handle() == wnd) return;
  if (GetParent(wnd) != nullptr) return;
  AttachSkinToWindow(wnd, cs);
}

}  // namespace

LRESULT CALLBACK SkinWindowsHookProc(int code, WPARAM wparam, LPARAM lparam) {
  const LRESULT next = CallNextHookEx(nullptr, code, wparam, lparam);
  // A hook later in the chain refused the activation or creation: the window is not ours to
  // touch.
  // Outside the unit's life (before its start-up, after its shut-down) nothing is skinned.
  if (code < 0 || next != 0 || ApplicationGoing() || !GExemptClasses) return next;
  try {
    switch (code) {
      case HCBT_CREATEWND:
        WindowCreating(reinterpret_cast<HWND>(wparam), reinterpret_cast<const CBT_CREATEWNDA*>(lparam));
        break;
      case HCBT_DESTROYWND:
        FreeDestroyedProviders();
        break;
      case HCBT_ACTIVATE:
        AttachSkinToWindow(reinterpret_cast<HWND>(wparam), nullptr);
        break;
      default:
        break;
    }
  } catch (...) {
    // No exception crosses the system's frames; the window stays unskinned.
    Application->HandleException(nullptr);
  }
  return next;
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void InitDialogHookUnit() {
  GExemptClasses = std::make_unique<TStringList>();
  GExemptClasses->SetSorted(true);
  GExemptClasses->Add("TApplication");
  GExemptClasses->Add("TfcPopup");
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.CbtHook = &SkinWindowsHookProc;
  links.FreeHookedWindows = &FreeHookedWindows;
  links.VisibleHookedWindows = &VisibleListedWindows;
  links.StopDialogHookWork = &StopDialogHookWork;
}

void DoneDialogHookUnit() {
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.CbtHook = nullptr;
  links.FreeHookedWindows = nullptr;
  links.VisibleHookedWindows = nullptr;
  links.StopDialogHookWork = nullptr;
  FreeHookedWindows();
  GExemptClasses.reset();
}
