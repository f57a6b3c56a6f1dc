// Actions, action lists and the links through which menu items, controls and tool buttons
// follow an action.
//
// Sections: TBasicActionLink; TBasicAction; TContainedAction; TCustomAction, TAction; action
// lists; update and shortcut helpers for forms; the client links.
#include "framework/win/ActnList.h"

#include <algorithm>

#include "framework/base/TypInfo.h"
#include "framework/win/Controls.h"
#include "framework/win/ImgList.h"

// ---------------------------------------------------------------------------------------------
// TBasicActionLink

ORBEX_IMPLEMENT_CLASS(TBasicActionLink, TObject, nullptr)

TBasicActionLink::~TBasicActionLink() {
  if (FAction != nullptr) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction != nullptr) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction != nullptr) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* Target) {
  if (FAction == nullptr) return false;
  FAction->SetActionComponent(Target);
  // The action may free the client (closing a form): nothing of this link is used afterwards.
  TBasicAction* action = FAction;
  bool result = false;
  try {
    result = action->Execute();
  } catch (...) {
    action->SetActionComponent(nullptr);
    throw;
  }
  action->SetActionComponent(nullptr);
  return result;
}

bool TBasicActionLink::Update() { return FAction != nullptr && FAction->Update(); }

// ---------------------------------------------------------------------------------------------
// TBasicAction

ORBEX_IMPLEMENT_PUBLISHED(TBasicAction, TComponent, nullptr)

void TBasicAction::PublishProperties(TPublisher<TBasicAction>& P) {
  P.Event("OnExecute", &TBasicAction::OnExecute);
  P.Event("OnUpdate", &TBasicAction::OnUpdate);
}

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  // Clients keep their links; the links only forget this action.
  for (TBasicActionLink* link : FClients) link->FAction = nullptr;
  FClients.clear();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::Change() {
  // A client may unlink itself while it follows the change: walk a copy.
  std::vector<TBasicActionLink*> clients = FClients;
  for (TBasicActionLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
  if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end())
    FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

// ---------------------------------------------------------------------------------------------
// TContainedAction

ORBEX_IMPLEMENT_PUBLISHED(TContainedAction, TBasicAction, nullptr)

void TContainedAction::PublishProperties(TPublisher<TContainedAction>& P) {
  P.String("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (FActionList == Value) return;
  if (FActionList != nullptr) FActionList->RemoveAction(this);
  if (Value != nullptr) Value->AddAction(this);
}

int TContainedAction::Index() const {
  return FActionList != nullptr ? FActionList->IndexOfAction(this) : -1;
}

void TContainedAction::SetParentComponent(TComponent* Value) {
  SetActionList(As<TCustomActionList>(Value));
}

bool TContainedAction::Execute() {
  if (FActionList != nullptr && FActionList->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList != nullptr && FActionList->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

// ---------------------------------------------------------------------------------------------
// TCustomAction, TAction

ORBEX_IMPLEMENT_PUBLISHED(TCustomAction, TContainedAction, nullptr)

void TCustomAction::PublishProperties(TPublisher<TCustomAction>& P) {
  P.Boolean("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck).Default(0);
  P.String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
  P.Boolean("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(0);
  P.Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(1);
  P.Integer("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
  P.Integer("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).Default(0);
  P.String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
  P.Integer("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
  P.Integer("ShortCut", &TCustomAction::GetShortCut, &TCustomAction::SetShortCut).Default(0);
  P.Boolean("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(1);
}

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

bool TCustomAction::Execute() {
  if (ActionList() != nullptr && ActionList()->State() != TActionListState::asNormal) return false;
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

void TCustomAction::SetCaption(const std::string& Value) {
  if (SetAndCheck(FCaption, Value)) Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  // Checking one action of a group unchecks the others of its list.
  if (Value && FGroupIndex > 0 && ActionList() != nullptr) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      TCustomAction* other = As<TCustomAction>(ActionList()->Actions(i));
      if (other != nullptr && other != this && other->FGroupIndex == FGroupIndex)
        other->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (SetAndCheck(FEnabled, Value)) Change();
}

void TCustomAction::SetHint(const std::string& Value) {
  if (SetAndCheck(FHint, Value)) Change();
}

void TCustomAction::SetImageIndex(int Value) {
  if (SetAndCheck(FImageIndex, Value)) Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (SetAndCheck(FShortCut, Value)) Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (SetAndCheck(FVisible, Value)) Change();
}

void TCustomAction::SetGroupIndex(int Value) {
  if (SetAndCheck(FGroupIndex, Value)) Change();
}

TCustomImageList* TCustomAction::Images() const {
  return ActionList() != nullptr ? ActionList()->Images() : nullptr;
}

ORBEX_IMPLEMENT_PUBLISHED(TAction, TCustomAction, &CreateComponentOf<TAction>)
void TAction::PublishProperties(TPublisher<TAction>&) {}

TAction::TAction(TComponent* AOwner) : TCustomAction(AOwner) {}

// ---------------------------------------------------------------------------------------------
// Action lists

ORBEX_IMPLEMENT_PUBLISHED(TCustomActionList, TComponent, nullptr)

void TCustomActionList::PublishProperties(TPublisher<TCustomActionList>& P) {
  P.Component("Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
  P.Enum("State", &TCustomActionList::State, &TCustomActionList::SetState,
         {"asNormal", "asSuspended", "asSuspendedEnabled"})
      .Default(0);
  P.Event("OnChange", &TCustomActionList::OnChange);
  P.Event("OnExecute", &TCustomActionList::OnExecute);
  P.Event("OnUpdate", &TCustomActionList::OnUpdate);
}

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
  Destroying();
  while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
  SetImages(nullptr);
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount())
    throw EListError(Format("List index out of bounds (%d)", Index));
  return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  if (Action == nullptr || Action->FActionList == this) return;
  if (Action->FActionList != nullptr) Action->FActionList->RemoveAction(Action);
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
  if (OnChange) OnChange(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
  Action->RemoveFreeNotification(this);
  if (OnChange && !IsDestroying()) OnChange(this);
}

int TCustomActionList::IndexOfAction(const TContainedAction* Action) const {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  return it == FActions.end() ? -1 : static_cast<int>(it - FActions.begin());
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages != nullptr) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TCustomActionList::SetState(TActionListState Value) {
  if (FState == Value) return;
  FState = Value;
  // Suspended-enabled: every action is shown enabled while the list does not run them.
  if (Value == TActionListState::asSuspendedEnabled)
    for (TContainedAction* a : FActions)
      if (TCustomAction* c = As<TCustomAction>(a)) c->SetEnabled(true);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (TContainedAction* a = As<TContainedAction>(AComponent)) RemoveAction(a);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  if (FState != TActionListState::asNormal) return true;   // suspended: nothing changes
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TShortCut ShortCut) {
  if (ShortCut == 0 || FState != TActionListState::asNormal) return false;
  // The handler may free the list (closing its form): copy before running anything.
  std::vector<TContainedAction*> actions = FActions;
  for (TContainedAction* a : actions) {
    TCustomAction* c = As<TCustomAction>(a);
    if (c == nullptr || c->GetShortCut() != ShortCut) continue;
    c->Update();
    // A disabled action still owns its shortcut: the key is consumed without running it.
    if (c->Enabled() && c->Visible()) c->Execute();
    return true;
  }
  return false;
}

void TCustomActionList::UpdateActions() {
  if (FState != TActionListState::asNormal) return;
  std::vector<TContainedAction*> actions = FActions;
  for (TContainedAction* a : actions)
    if (std::find(FActions.begin(), FActions.end(), a) != FActions.end()) a->Update();
}

ORBEX_IMPLEMENT_PUBLISHED(TActionList, TCustomActionList, &CreateComponentOf<TActionList>)
void TActionList::PublishProperties(TPublisher<TActionList>&) {}

TActionList::TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}

// ---------------------------------------------------------------------------------------------
// Helpers for forms

void UpdateActionsOf(TComponent* Root) {
  if (Root == nullptr) return;
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (TCustomActionList* list = As<TCustomActionList>(Root->Components(i))) list->UpdateActions();
}

bool DispatchActionShortCut(TComponent* Root, TShortCut ShortCut) {
  if (Root == nullptr || ShortCut == 0) return false;
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (TCustomActionList* list = As<TCustomActionList>(Root->Components(i)))
      if (list->IsShortCut(ShortCut)) return true;
  return false;
}

// ---------------------------------------------------------------------------------------------
// Client links

ORBEX_IMPLEMENT_CLASS(TActionLink, TBasicActionLink, nullptr)

TCustomAction* TActionLink::CustomAction() const { return As<TCustomAction>(FAction); }

ORBEX_IMPLEMENT_CLASS(TMenuActionLink, TActionLink, nullptr)

TMenuActionLink::TMenuActionLink(TMenuItem* AClient) : TActionLink(AClient), FMenuItem(AClient) {}

ORBEX_IMPLEMENT_CLASS(TControlActionLink, TActionLink, nullptr)

TControlActionLink::TControlActionLink(TControl* AClient)
    : TActionLink(AClient), FControl(AClient) {}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitActnListUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TActionList>();
  RegisterClassOf<TAction>();
}
