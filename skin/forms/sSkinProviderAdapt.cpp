// The skin provider's side of its control adapter: making and freeing it, the walks started by
// the form's messages, and the label colours the walks change (see sSkinProvider.h).
#include "skin/forms/sSkinProvider.h"

#include "framework/win/StdCtrls.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/forms/lxCtrlAdapter.h"

namespace {

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

// The windowed control below `parent` whose address is `address`; null when none is.
TWinControl* FindWindowedChild(TWinControl* parent, WPARAM address) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = As<TWinControl>(parent->Controls(i));
    if (w == nullptr) continue;
    if (reinterpret_cast<WPARAM>(w) == address) return w;
    if (TWinControl* found = FindWindowedChild(w, address)) return found;
  }
  return nullptr;
}

}  // namespace

void TsSkinProvider::AdaptControls() {
  if (Designing(this) || FForm == nullptr || !FSkinData->HasSkin()) return;
  if (FCtrlAdapter == nullptr) FCtrlAdapter = std::make_unique<TlxCtrlAdapter>(this);
  FCtrlAdapter->AdaptChildren(nullptr);
}

void TsSkinProvider::ReadaptControls() {
  if (FCtrlAdapter != nullptr)
    FCtrlAdapter->AdaptChildren(nullptr);
  else
    AdaptControls();
}

void TsSkinProvider::UnadaptControls() {
  if (Designing(this) || FCtrlAdapter == nullptr) return;
  TMessage unskin{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdUnskin), reinterpret_cast<LPARAM>(SkinManager()), 0};
  SendToAdapter(unskin);
  FCtrlAdapter.reset();
}

void TsSkinProvider::SendToAdapter(TMessage& message) {
  if (!Designing(this) && FCtrlAdapter != nullptr) FCtrlAdapter->BroadcastMessage(message);
}

void TsSkinProvider::ControlNotification(TComponent* component, TOperation operation) {
  // A control that leaves is forgotten (a later one at the same address is a new control). Told
  // from its base destructor it no longer shows its class: it is compared only.
  if (operation == TOperation::opRemove && FCtrlAdapter != nullptr) FCtrlAdapter->ForgetControl(component);
  auto* control = As<TControl>(component);
  if (control == nullptr) return;
  if (operation == TOperation::opRemove) {
    FLabelColours.erase(control);
  } else if (auto* windowed = As<TWinControl>(control);
             windowed != nullptr && FCtrlAdapter != nullptr && FCtrlAdapter->IsAdaptable(windowed)) {
    FCtrlAdapter->AddNewItem(windowed);
  }
}

void TsSkinProvider::WMParentNotify(TMessage& message) {
  const WORD event = LOWORD(message.WParam);
  if (FForm->IsLoading() || (event != WM_CREATE && event != WM_DESTROY)) {
    CallSavedWndProc(message);
    return;
  }
  const std::shared_ptr<bool> alive = FAlive;
  CallSavedWndProc(message);
  if (!*alive || DestroyingForm() || event != WM_CREATE) return;
  ReadaptControls();
  TMessage look{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdTransparencyState), 1, 0};
  BroadcastToChildControls(FForm, look);
}

void TsSkinProvider::CMControlListChange(TMessage& message) {
  const std::shared_ptr<bool> alive = FAlive;
  CallSavedWndProc(message);
  if (!*alive || DestroyingForm() || message.LParam != 1) return;
  // The message may come from anywhere: WParam names a control only when it is one of the
  // form's windowed controls, found by its address alone.
  TWinControl* windowed = FindWindowedChild(FForm, message.WParam);
  if (windowed == nullptr) return;
  if (FCtrlAdapter != nullptr) {
    if (FCtrlAdapter->IsAdaptable(windowed)) FCtrlAdapter->AddNewItem(windowed);
    FCtrlAdapter->AdaptChildren(windowed);
  }
  TMessage look{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdTransparencyState), 1, 0};
  BroadcastToChildControls(windowed, look);
  SendSkinCommandToControl(windowed, SkinCmdTransparencyState, 1);
}

void TsSkinProvider::RememberLabelColours(const TControl* label) {
  const auto* l = As<TCustomLabel>(label);
  if (l != nullptr) FLabelColours.try_emplace(label, TLabelLook{l->Font()->GetColor(), !l->Transparent()});
}

void TsSkinProvider::RestoreLabelColours(TCustomForm* form) {
  // Only labels found in the form now are looked up, so a freed one is never touched; a label
  // the skin never recoloured keeps what it has.
  const auto restore = [this](TWinControl* parent, const auto& self) -> void {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      if (auto* w = As<TWinControl>(c)) {
        self(w, self);
        continue;
      }
      auto* label = As<TCustomLabel>(c);
      const auto it = label != nullptr ? FLabelColours.find(label) : FLabelColours.end();
      if (it == FLabelColours.end()) continue;
      label->Font()->SetColor(it->second.Colour);
      if (it->second.Opaque) label->SetControlStyle(label->ControlStyle() | csOpaque);
    }
  };
  if (form != nullptr) restore(form, restore);
  FLabelColours.clear();
}
