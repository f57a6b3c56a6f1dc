// The skinned system menu of a form: a popup menu that mirrors the window's own system menu
// (captions, shortcut texts, the application's extra commands) and sends its commands to the
// form as WM_SYSCOMMAND; and the six visibility and enabled queries that the title buttons
// and the hit test share with it. Items are owned by the menu; the provider and form are
// borrowed.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Menus.h"

#include <windows.h>

#include "framework/win/Forms.h"

#include <string>
#include <vector>

class TsSkinProvider;
class TlxDialogWnd;

// The queries of a skinned system menu, shared with the dialog adapter's.
class TsCustomSysMenu : public TPopupMenu {
  ORBEX_CLASS(TsCustomSysMenu, TPopupMenu)
public:
  using TPopupMenu::TPopupMenu;
  virtual bool VisibleClose() = 0;
  virtual bool VisibleMax() = 0;
  virtual bool VisibleMin() = 0;
  virtual bool EnabledMax() = 0;
  virtual bool EnabledMin() = 0;
  virtual bool EnabledRestore() = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
  ORBEX_CLASS(TsSystemMenu, TsCustomSysMenu)
public:
  // Owned by the provider; named "lxSysMenu" and the tick count; builds its items.
  explicit TsSystemMenu(TsSkinProvider* provider);
  ~TsSystemMenu() override;

  bool VisibleClose() override;
  bool VisibleMax() override;
  bool VisibleMin() override;
  bool EnabledMax() override;
  bool EnabledMin() override;
  bool EnabledRestore() override;
  bool VisibleRestore();
  bool EnabledMove();
  bool VisibleSize();
  bool EnabledSize();

  // Rebuilds the items from the window's system menu.
  void MakeItems();
  // MakeItems when asked or without a Close item; then visibility and enabled states.
  void UpdateItems(bool rebuild);
  // On top: "Available skins" with one radio item per skin the manager offers (the current
  // one checked, columns of 20), then a separator. Nothing when there is no skin to offer.
  void MakeSkinItems();

  TsSkinProvider* Provider() const { return FProvider; }
  TCustomForm* Form() const { return FForm; }
  int ExtraCount() const { return FExtraCount; }
  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

private:
  TMenuItem* AddStandard(HMENU source, const char* name, UINT command, const std::string& fallback);
  void AddLine();
  void SendCommand(UINT command, bool update);
  bool Iconic() const;
  bool MDIChild() const;
  // Takes out the skin items and their separator when the menu starts with them.
  void RemoveSkinItems();
  void SelectSkin(size_t index);
  TsSkinProvider* FProvider;
  TCustomForm* FForm;
  int FExtraCount = 0;
  // The names the skin items were built from, in item order.
  std::vector<std::string> FSkinNames;
};

// The system menu of a skinned system dialog, whose adapter takes WS_SYSMENU from the window
// and draws the title itself: Restore, Move, Size, Minimize, Maximize, a line and Close
// (Alt+F4), each sending its WM_SYSCOMMAND to the dialog. Owned by the dialog adapter; the
// adapter is borrowed.
class TlxSystemMenu : public TsCustomSysMenu {
  ORBEX_CLASS(TlxSystemMenu, TsCustomSysMenu)
public:
  explicit TlxSystemMenu(TlxDialogWnd* owner);
  ~TlxSystemMenu() override;

  // Close shows while the dialog had a system menu; the title buttons of a dialog come from
  // its own rules, so the other queries answer false.
  bool VisibleClose() override;
  bool VisibleMax() override { return false; }
  bool VisibleMin() override { return false; }
  bool EnabledMax() override { return false; }
  bool EnabledMin() override { return false; }
  bool EnabledRestore() override { return false; }

  // Visibility and enabled states from the dialog's styles and show state.
  void UpdateItems();

  // In item order: restore, move, size, minimize, maximize, close (the line is not listed).
  TMenuItem* Items6[6] = {};

private:
  void SendCommand(UINT command, bool update);
  TlxDialogWnd* FOwner;
};
