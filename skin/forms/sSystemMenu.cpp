// The skinned system menu: see sSystemMenu.h.
#include "skin/forms/sSystemMenu.h"

#include <string>

#include "skin/core/sConst.h"
#include "skin/core/sMenuLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxDialogWnd.h"
#include "skin/forms/sSkinProvider.h"

ORBEX_IMPLEMENT_CLASS(TsCustomSysMenu, TPopupMenu, nullptr)
ORBEX_IMPLEMENT_CLASS(TsSystemMenu, TsCustomSysMenu, nullptr)
ORBEX_IMPLEMENT_CLASS(TlxSystemMenu, TsCustomSysMenu, nullptr)

namespace {

// The text of a menu entry (by command or position); "" when there is none.
std::string MenuText(HMENU menu, UINT item, UINT flag) {
  char buf[256] = {};
  const int n = GetMenuStringA(menu, item, buf, sizeof(buf), flag);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string BeforeTab(const std::string& s) { return s.substr(0, s.find('\t')); }

TShortCut ShortCutAfterTab(const std::string& s) {
  const size_t tab = s.find('\t');
  return tab == std::string::npos ? 0 : TextToShortCut(s.substr(tab + 1));
}

// A skin name as a menu caption: "&" doubled, so that it shows instead of underlining.
std::string CaptionOfName(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

constexpr const char* SkinSelectName = "SkinSelectItem";

}  // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider)
    : TsCustomSysMenu(provider), FProvider(provider), FForm(provider->Form()) {
  SetName("lxSysMenu" + std::to_string(GetTickCount()));
  MakeItems();
}

TsSystemMenu::~TsSystemMenu() = default;

bool TsSystemMenu::Iconic() const {
  return FForm != nullptr && FForm->HandleAllocated() && IsIconic(FForm->Handle()) != FALSE;
}

bool TsSystemMenu::MDIChild() const {
  return FForm != nullptr && FForm->HandleAllocated() &&
         (GetWindowLongA(FForm->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

void TsSystemMenu::SendCommand(UINT command, bool update) {
  if (FForm == nullptr || !FForm->HandleAllocated()) return;
  SendMessageA(FForm->Handle(), WM_SYSCOMMAND, command, 0);
  if (update) UpdateItems(false);
}

TMenuItem* TsSystemMenu::AddStandard(HMENU source, const char* name, UINT command,
                                     const std::string& fallback) {
  auto* item = new TMenuItem(this);
  item->SetName(name);
  item->SetTag(static_cast<std::intptr_t>(command));
  const std::string text = MenuText(source, command, MF_BYCOMMAND);
  item->SetCaption(text.empty() ? fallback : BeforeTab(text));
  Items()->Add(item);
  return item;
}

void TsSystemMenu::AddLine() {
  auto* line = new TMenuItem(this);
  line->SetCaption("-");
  Items()->Add(line);
}

void TsSystemMenu::MakeItems() {
  Items()->Clear();
  FSkinNames.clear();
  FExtraCount = 0;
  ItemRestore = ItemMove = ItemSize = ItemMinimize = ItemMaximize = ItemClose = nullptr;
  const HMENU source = FProvider->WindowSystemMenu();
  if (source == nullptr) return;
  ItemRestore = AddStandard(source, "lxIR", SC_RESTORE, s_RestoreStr.empty() ? "Restore" : s_RestoreStr);
  ItemRestore->OnClick = [this](TObject*) { SendCommand(SC_RESTORE, true); };
  ItemMove = AddStandard(source, "lxIM", SC_MOVE, s_MoveStr.empty() ? "Move" : s_MoveStr);
  ItemMove->OnClick = [this](TObject*) { SendCommand(SC_MOVE, false); };
  ItemSize = AddStandard(source, "lxIS", SC_SIZE, s_SizeStr.empty() ? "Size" : s_SizeStr);
  ItemSize->OnClick = [this](TObject*) { SendCommand(SC_SIZE, false); };
  ItemMinimize = AddStandard(source, "lxIN", SC_MINIMIZE, s_MinimizeStr.empty() ? "Minimize" : s_MinimizeStr);
  ItemMinimize->OnClick = [this](TObject*) {
    FProvider->MenuMinimizing = true;
    SendCommand(SC_MINIMIZE, false);
    FProvider->MenuMinimizing = false;
    UpdateItems(false);
  };
  ItemMaximize = AddStandard(source, "lxIX", SC_MAXIMIZE, s_MaximizeStr.empty() ? "Maximize" : s_MaximizeStr);
  ItemMaximize->OnClick = [this](TObject*) { SendCommand(SC_MAXIMIZE, true); };
  AddLine();
  const int count = GetMenuItemCount(source);
  for (int i = 0; i < count; ++i) {
    const UINT id = GetMenuItemID(source, i);
    if (id == static_cast<UINT>(-1) || id == 0 || id >= 0xF000) continue;
    const std::string text = MenuText(source, static_cast<UINT>(i), MF_BYPOSITION);
    if (text.empty()) continue;
    auto* item = new TMenuItem(this);
    item->SetCaption(BeforeTab(text));
    item->SetTag(static_cast<std::intptr_t>(id));
    item->SetShortCut(ShortCutAfterTab(text));
    item->OnClick = [this, id](TObject*) {
      if (FForm != nullptr && FForm->HandleAllocated()) PostMessageA(FForm->Handle(), WM_SYSCOMMAND, id, 0);
    };
    Items()->Add(item);
    ++FExtraCount;
  }
  if (FExtraCount > 0) AddLine();
  ItemClose = AddStandard(source, "lxIC", SC_CLOSE, s_CloseStr.empty() ? "Close" : s_CloseStr);
  ItemClose->SetShortCut(ShortCutAfterTab(MenuText(source, SC_CLOSE, MF_BYCOMMAND)));
  ItemClose->OnClick = [this](TObject*) { SendCommand(SC_CLOSE, false); };
}

void TsSystemMenu::UpdateItems(bool rebuild) {
  if (rebuild || ItemClose == nullptr) MakeItems();
  if (ItemClose == nullptr) return;
  ItemRestore->SetVisible(VisibleRestore());
  ItemRestore->SetEnabled(EnabledRestore());
  ItemMove->SetEnabled(EnabledMove());
  ItemSize->SetVisible(VisibleSize());
  ItemSize->SetEnabled(EnabledSize());
  ItemMinimize->SetVisible(VisibleMin());
  ItemMinimize->SetEnabled(EnabledMin());
  ItemMaximize->SetVisible(VisibleMax());
  ItemMaximize->SetEnabled(EnabledMax());
  ItemClose->SetVisible(VisibleClose());
  ItemClose->SetEnabled(true);
}

void TsSystemMenu::RemoveSkinItems() {
  if (Items()->Count() == 0 || Items()->Items(0)->Name() != SkinSelectName) return;
  Items()->Delete(0);
  if (Items()->Count() > 0 && Items()->Items(0)->IsLine()) Items()->Delete(0);
  FSkinNames.clear();
}

void TsSystemMenu::MakeSkinItems() {
  RemoveSkinItems();
  TsSkinManager* m = FProvider->SkinManager();
  if (m == nullptr) return;
  TStringList list;
  std::string first;
  m->ListSkins(list, 2, first);
  if (list.Count() == 0) return;
  auto* root = new TMenuItem(this);
  root->SetName(SkinSelectName);
  root->SetCaption(s_AvailSkins.empty() ? "Available skins" : s_AvailSkins);
  Items()->Insert(0, root);
  auto* line = new TMenuItem(this);
  line->SetCaption("-");
  Items()->Insert(1, line);
  FSkinNames.clear();
  for (int i = 0; i < list.Count(); ++i) {
    const std::string name = list[i];
    FSkinNames.push_back(name);
    auto* item = new TMenuItem(this);
    item->SetName(SkinSelectName + std::to_string(i));
    item->SetCaption(CaptionOfName(name));
    item->SetRadioItem(true);
    item->SetChecked(name == m->GetSkinName());
    if (SkinListStartsColumn(i)) item->SetBreak(mbBreak);
    const size_t index = static_cast<size_t>(i);
    item->OnClick = [this, index](TObject*) { SelectSkin(index); };
    root->Add(item);
  }
}

// The name comes from the list the items were built from, not from the caption: a caption
// shows "&" doubled, and a name may hold any text.
void TsSystemMenu::SelectSkin(size_t index) {
  TsSkinManager* m = FProvider->SkinManager();
  if (m == nullptr || index >= FSkinNames.size()) return;
  const std::string name = FSkinNames[index];
  m->SetSkinName(name);
}

bool TsSystemMenu::VisibleClose() {
  if (!FProvider->SysMenuStyleTaken()) return false;
  const HMENU menu = FProvider->WindowSystemMenu();
  return menu != nullptr && GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool TsSystemMenu::VisibleMax() {
  if (!FProvider->SysMenuStyleTaken() || FForm == nullptr) return false;
  const TFormBorderStyle b = FForm->BorderStyle();
  return Iconic() || MDIChild() || ((b == bsSingle || b == bsSizeable) && (FForm->BorderIcons() & biMaximize) != 0);
}

bool TsSystemMenu::VisibleMin() {
  if (!FProvider->SysMenuStyleTaken() || FForm == nullptr) return false;
  const TFormBorderStyle b = FForm->BorderStyle();
  return Iconic() || MDIChild() || ((b == bsSingle || b == bsSizeable) && (FForm->BorderIcons() & biMinimize) != 0);
}

bool TsSystemMenu::EnabledMax() {
  if (FForm == nullptr) return false;
  if (MDIChild()) return (FForm->BorderIcons() & biMaximize) != 0;
  if (FForm->WindowState() == wsMaximized) return false;
  const TFormBorderStyle b = FForm->BorderStyle();
  if (b == bsNone || b > bsSizeable) return false;
  return (FForm->BorderIcons() & biMaximize) != 0;
}

bool TsSystemMenu::EnabledMin() {
  if (FForm == nullptr || (FForm->BorderIcons() & biMinimize) == 0) return false;
  return !Iconic() || (Application != nullptr && Application->MainForm() == FForm);
}

bool TsSystemMenu::EnabledRestore() {
  if (FForm == nullptr) return false;
  return ((FForm->BorderIcons() & biMaximize) != 0 && FForm->WindowState() != wsNormal) || Iconic();
}

bool TsSystemMenu::VisibleRestore() {
  if (!FProvider->SysMenuStyleTaken() || FForm == nullptr) return false;
  const TFormBorderStyle b = FForm->BorderStyle();
  return MDIChild() || b == bsSingle || b == bsSizeable;
}

bool TsSystemMenu::EnabledMove() { return FForm != nullptr && FForm->WindowState() != wsMaximized; }

bool TsSystemMenu::VisibleSize() {
  if (FForm == nullptr) return false;
  const TFormBorderStyle b = FForm->BorderStyle();
  return MDIChild() || (b != bsNone && b != bsDialog && b != bsToolWindow);
}

bool TsSystemMenu::EnabledSize() {
  return FForm != nullptr && FForm->BorderStyle() != bsSingle && !Iconic();
}

// ---------------------------------------------------------------------------------------------
// The dialog's system menu.

TlxSystemMenu::TlxSystemMenu(TlxDialogWnd* owner) : TsCustomSysMenu(nullptr), FOwner(owner) {
  struct TEntry {
    const char* Name;
    const std::string* Caption;
    const char* Fallback;
    UINT Command;
    bool Update;
  };
  const TEntry entries[] = {
      {"miRestore", &s_RestoreStr, "Restore", SC_RESTORE, true},  {"miMove", &s_MoveStr, "Move", SC_MOVE, false},
      {"miSize", &s_SizeStr, "Size", SC_SIZE, false},             {"miMinimize", &s_MinimizeStr, "Minimize", SC_MINIMIZE, false},
      {"miMaximize", &s_MaximizeStr, "Maximize", SC_MAXIMIZE, true}, {"miClose", &s_CloseStr, "Close", SC_CLOSE, false},
  };
  int i = 0;
  for (const TEntry& e : entries) {
    if (e.Command == SC_CLOSE) {
      auto* line = new TMenuItem(this);
      line->SetCaption("-");
      Items()->Add(line);
    }
    auto* item = new TMenuItem(this);
    item->SetName(e.Name);
    item->SetTag(static_cast<std::intptr_t>(e.Command));
    item->SetCaption(e.Caption->empty() ? e.Fallback : *e.Caption);
    const UINT command = e.Command;
    const bool update = e.Update;
    item->OnClick = [this, command, update](TObject*) { SendCommand(command, update); };
    Items()->Add(item);
    Items6[i++] = item;
  }
  Items6[smiClose]->SetShortCut(TextToShortCut("Alt+F4"));
  UpdateItems();
}

TlxSystemMenu::~TlxSystemMenu() = default;

bool TlxSystemMenu::VisibleClose() { return (FOwner->SavedStyle() & WS_SYSMENU) != 0; }

void TlxSystemMenu::SendCommand(UINT command, bool update) {
  SendMessageA(FOwner->Handle(), WM_SYSCOMMAND, command, 0);
  if (update) UpdateItems();
}

void TlxSystemMenu::UpdateItems() {
  const auto states = DialogSysMenuStates(FOwner->DialogState());
  for (int i = 0; i < smiCount; ++i) {
    Items6[i]->SetVisible(states[static_cast<size_t>(i)].Visible);
    Items6[i]->SetEnabled(states[static_cast<size_t>(i)].Enabled);
  }
}
