// Registered skinned forms and the broadcasts to forms: see sSkinDataWin.h.
#include "skin/core/win/sSkinDataWin.h"

#include <algorithm>

#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sWinUtils.h"

namespace {
std::vector<TCustomForm*> RegisteredForms;
std::unique_ptr<TIcon> LargeIcon, SmallIcon;

bool Receives(TCustomForm* form) {
  return form != nullptr && (form->ComponentState() & (csDestroying | csLoading)) == 0;
}

// The form's window (by Perform while it has none), its child controls and, for an MDI main
// form, its client window (whose adapter skins the area behind the children).
void SendToForm(TCustomForm* form, TMessage& message) {
  DeliverToControl(form, message.Msg, message.WParam, message.LParam);
  BroadcastToChildControls(form, message);
  if (form->FormStyle() == fsMDIForm && form->ClientHandle() != nullptr && !form->IsDestroying())
    SendMessageA(form->ClientHandle(), message.Msg, message.WParam, message.LParam);
}
}  // namespace

const std::vector<TCustomForm*>& RegisteredSkinnedForms() { return RegisteredForms; }

void RegisterSkinnedForm(TCustomForm* form) { RegisteredForms.push_back(form); }

void UnregisterSkinnedForm(TCustomForm* form) {
  auto it = std::find(RegisteredForms.begin(), RegisteredForms.end(), form);
  if (it == RegisteredForms.end()) return;
  *it = RegisteredForms.back();
  RegisteredForms.pop_back();
}

void BroadcastToForms(TMessage& message) {
  if (Application != nullptr) {
    // A receiver may free forms: count again on every turn.
    for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
      if (i >= Application->ComponentCount()) continue;
      auto* form = As<TCustomForm>(Application->Components(i));
      // MDI children hear it through their own providers, as registered forms.
      if (!Receives(form) || form->FormStyle() == fsMDIChild) continue;
      if (form->HandleAllocated() && WindowAnswersSkinCommand(form->Handle(), SkinCmdIsSkinned))
        continue;
      SendToForm(form, message);
    }
  }
  BroadcastToRegisteredForms(message);
}

void BroadcastToRegisteredForms(TMessage& message) {
  // A receiver may unregister forms: index, and count again on every turn.
  for (size_t i = 0; i < RegisteredForms.size(); ++i) {
    TCustomForm* form = RegisteredForms[i];
    if (Receives(form)) SendToForm(form, message);
  }
  const TsSkinManagerLinks& links = SkinManagerLinks();
  if (links.VisibleHookedWindows)
    for (HWND h : links.VisibleHookedWindows()) SendMessageA(h, message.Msg, message.WParam, message.LParam);
}

TIcon* AppLargeIcon() { return LargeIcon.get(); }
TIcon* AppSmallIcon() { return SmallIcon.get(); }

namespace {

// The program's "MAINICON" at one size, loaded from its own resources; empty without it.
std::unique_ptr<TIcon> MainIconOfSize(int metricX, int metricY) {
  auto icon = std::make_unique<TIcon>();
  HANDLE h = ::LoadImageA(::GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, ::GetSystemMetrics(metricX),
                          ::GetSystemMetrics(metricY), 0);
  if (h != nullptr) icon->SetHandle(static_cast<HICON>(h));
  return icon;
}

}  // namespace

void InitRegisteredFormsUnit() {
  // The program's own icon is loaded from its resources at each size: so it draws as drawn
  // (Wine's extraction hands out a small icon that draws garbled). A program without one
  // gets the icons extracted from its file.
  LargeIcon = MainIconOfSize(SM_CXICON, SM_CYICON);
  SmallIcon = MainIconOfSize(SM_CXSMICON, SM_CYSMICON);
  if (!LargeIcon->Empty() && !SmallIcon->Empty()) return;
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  LargeIcon = ExtractAppIcon(path, true);
  SmallIcon = ExtractAppIcon(path, false);
}

void DoneRegisteredFormsUnit() {
  LargeIcon.reset();
  SmallIcon.reset();
}
