// Actions: commands with a caption, hint, image, shortcut and enabled state, kept in action
// lists; menu items, controls and tool buttons linked to an action follow its properties and
// run it when clicked. Forms dispatch shortcuts to their action lists and update the actions
// when the application is idle.
//
// Owns: an action list holds (does not own) its actions; the form owns both as components.
// Each client owns its link; an action only lists the links of its clients and detaches them
// when it is freed, so a client never reaches a freed action.
//
// Sections: TBasicAction and its link; TContainedAction, TCustomAction, TAction; action
// lists; the links of menu items and controls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/win/Menus.h"

class TBasicAction;
class TCustomActionList;
class TCustomImageList;
class TControl;

// ---------------------------------------------------------------------------------------------
// The client side of a link: tells the client when the action changes and runs the action.
class TBasicActionLink : public TObject {
  ORBEX_CLASS(TBasicActionLink, TObject)
public:
  explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);
  TObject* Client() const { return FClient; }
  // Runs the action with the client as its component; false without an action.
  virtual bool Execute(TComponent* Target = nullptr);
  virtual bool Update();
  // Fired after any change of the action's properties (the client then copies them).
  std::function<void()> OnChange;

protected:
  friend class TBasicAction;
  virtual void Change() {
    if (OnChange) OnChange();
  }
  TBasicAction* FAction = nullptr;
  TObject* FClient;
};

class TBasicAction : public TComponent {
  ORBEX_CLASS(TBasicAction, TComponent)
public:
  explicit TBasicAction(TComponent* AOwner);
  // Detaches every link still pointing at this action.
  ~TBasicAction() override;

  // Runs OnExecute; true when the action was handled.
  virtual bool Execute();
  // Runs OnUpdate; true when it was handled.
  virtual bool Update();
  // The component that ran the action most recently (menu item, control).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value) { FActionComponent = Value; }
  int ClientCount() const { return static_cast<int>(FClients.size()); }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

protected:
  friend class TBasicActionLink;
  void Change();   // tells every client
  void RegisterChanges(TBasicActionLink* Link);
  void UnRegisterChanges(TBasicActionLink* Link);
  std::vector<TBasicActionLink*> FClients;

private:
  TComponent* FActionComponent = nullptr;
};

// ---------------------------------------------------------------------------------------------
class TContainedAction : public TBasicAction {
  ORBEX_CLASS(TContainedAction, TBasicAction)
public:
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;
  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  int Index() const;
  const std::string& Category() const { return FCategory; }
  void SetCategory(const std::string& Value) { FCategory = Value; }
  // The list's OnExecute may handle the action first; then OnExecute.
  bool Execute() override;
  bool Update() override;
  // Form streaming places an action in the list that contains it.
  void SetParentComponent(TComponent* Value);

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  std::string FCategory;
};

class TCustomAction : public TContainedAction {
  ORBEX_CLASS(TCustomAction, TContainedAction)
public:
  explicit TCustomAction(TComponent* AOwner);

  // Updates first; a disabled action does not run. An AutoCheck action toggles Checked.
  bool Execute() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  // The images of the action list (null without a list).
  TCustomImageList* Images() const;

private:
  std::string FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  std::string FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FVisible = true;
  bool FAutoCheck = false;
  int FGroupIndex = 0;
  int FHelpContext = 0;
};

class TAction : public TCustomAction {
  ORBEX_CLASS(TAction, TCustomAction)
public:
  explicit TAction(TComponent* AOwner);
};

// ---------------------------------------------------------------------------------------------
enum class TActionListState { asNormal, asSuspended, asSuspendedEnabled };

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
  ORBEX_CLASS(TCustomActionList, TComponent)
public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  TContainedAction* Actions(int Index) const;   // raises EListError when out of range
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  int IndexOfAction(const TContainedAction* Action) const;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TActionListState State() const { return FState; }
  void SetState(TActionListState Value);

  // The list's OnExecute/OnUpdate see the action first; true when they handled it.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Finds an enabled, visible action with this shortcut (after updating it) and runs it.
  // True when the shortcut belongs to one of the list's actions.
  bool IsShortCut(TShortCut ShortCut);
  // Updates every action (the application does this when idle).
  void UpdateActions();

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
  TActionListState FState = TActionListState::asNormal;
};

class TActionList : public TCustomActionList {
  ORBEX_CLASS(TActionList, TCustomActionList)
public:
  explicit TActionList(TComponent* AOwner);
};

// Updates every action of every action list owned by `Root` (a form); the linked menu items,
// controls and tool buttons follow. Used when the application is idle.
void UpdateActionsOf(TComponent* Root);
// Runs the action of the first action list owned by `Root` whose shortcut this is.
bool DispatchActionShortCut(TComponent* Root, TShortCut ShortCut);

// ---------------------------------------------------------------------------------------------
// Link of a client that shows an action: copies caption, enabled, checked ... to the client.
class TActionLink : public TBasicActionLink {
  ORBEX_CLASS(TActionLink, TBasicActionLink)
public:
  using TBasicActionLink::TBasicActionLink;
  // The action as a TCustomAction (null for other action classes).
  TCustomAction* CustomAction() const;
};

// Menu item client: the item takes the action's caption, enabled, checked, shortcut, image,
// hint, visible and group, and clicking the item runs the action.
class TMenuActionLink : public TActionLink {
  ORBEX_CLASS(TMenuActionLink, TActionLink)
public:
  explicit TMenuActionLink(TMenuItem* AClient);
  TMenuItem* MenuItem() const { return FMenuItem; }

private:
  TMenuItem* FMenuItem;
};

// Control client: the control copies the action's properties in its ActionChange.
class TControlActionLink : public TActionLink {
  ORBEX_CLASS(TControlActionLink, TActionLink)
public:
  explicit TControlActionLink(TControl* AClient);
  TControl* Control() const { return FControl; }

private:
  TControl* FControl;
};

// Start-up step of the unit: registers the stored-form classes (action lists and actions) by name.
// Runs once; later calls do nothing.
void InitActnListUnit();
