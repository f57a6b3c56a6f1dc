// The control adapter of a skinned form (see lxCtrlAdapter.h).
#include "skin/forms/lxCtrlAdapter.h"

#include <algorithm>
#include <utility>

#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/adapters/lxCheckBoxWnd.h"
#include "skin/adapters/lxComboWnd.h"
#include "skin/adapters/lxEditWnd.h"
#include "skin/adapters/lxGridWnd.h"
#include "skin/adapters/lxGroupBoxWnd.h"
#include "skin/adapters/lxListViewWnd.h"
#include "skin/adapters/lxPanelWnd.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/adapters/lxStatusBarWnd.h"
#include "skin/adapters/lxTabWnd.h"
#include "skin/adapters/lxToolBarVCLWnd.h"
#include "skin/adapters/lxToolBarWnd.h"
#include "skin/adapters/lxTreeViewWnd.h"
#include "skin/adapters/lxVirtualTreeWnd.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManagerCore.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"

namespace {

// Controls marked so are never adapted; labels marked 98 keep their colours.
constexpr std::intptr_t TagNeverAdapt = -98;
constexpr std::intptr_t TagKeepLabelColour = 98;

bool SkinsItself(TControl* control) { return SendSkinCommandToControl(control, SkinCmdIsSkinned) != 0; }

// Set while a walk runs: a walk asked for meanwhile (from a message a new adapter sends) is
// refused; the walk's own descent into children is plain recursion.
bool Walking = false;

}  // namespace

ORBEX_IMPLEMENT_CLASS(TlxAdapterItem, TPersistent, nullptr)
ORBEX_IMPLEMENT_CLASS(TlxGraphItem, TPersistent, nullptr)
ORBEX_IMPLEMENT_CLASS(TlxCtrlAdapter, TPersistent, nullptr)

std::unique_ptr<TlxMainWnd> MakeListedAdapter(int listIndex, HWND handle, const std::string& section,
                                              TsSkinManager* manager, TsCommonData* data) {
  switch (listIndex) {
    case ThirdPartyList::tiButtons:
      return TlxMainWnd::CreateForHandle<TlxBtnWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiBitBtns:
      return TlxMainWnd::CreateForHandle<TlxBitBtnWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiCheckBoxes:
      return TlxMainWnd::CreateForHandle<TlxCheckBoxWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiComboBoxes:
      return TlxMainWnd::CreateForHandle<TlxComboBoxWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiGroupBoxes:
      return TlxMainWnd::CreateForHandle<TlxGroupBoxWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiPanels:
      return TlxMainWnd::CreateForHandle<TlxPanelWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiStatusBar:
      return TlxMainWnd::CreateForHandle<TlxStatusBarWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiEdits:
      return TlxMainWnd::CreateForHandle<TlxEditWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiGrids:
      return TlxMainWnd::CreateForHandle<TlxGridWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiGridEh:
      return TlxMainWnd::CreateForHandle<TlxGridEhWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiListViews:
      return TlxMainWnd::CreateForHandle<TlxListViewWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiTreeViews:
      return TlxMainWnd::CreateForHandle<TlxTreeViewWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiVirtualTrees:
      return TlxMainWnd::CreateForHandle<TlxVirtualTreeViewWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiPageControl:
      return TlxMainWnd::CreateForHandle<TlxPageControlWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiTabControl:
      return TlxMainWnd::CreateForHandle<TlxTabControlWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiToolBar:
      if (data != nullptr && dynamic_cast<TToolBar*>(data->OwnerControl()) != nullptr)
        return TlxMainWnd::CreateForHandle<TlxToolBarVCLWnd>(handle, true, section, manager, data);
      return TlxMainWnd::CreateForHandle<TlxToolBarWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiWWEdits:
      // Made for the control itself: its inner edit is found through it.
      if (auto* control = data != nullptr ? As<TWinControl>(data->OwnerControl()) : nullptr)
        return TlxWWComboBoxWnd::CreateForControl(control, true, section, manager, data);
      return nullptr;
    case ThirdPartyList::tiUpDown:
      return TlxMainWnd::CreateForHandle<TlxSpinWnd>(handle, true, section, manager, data);
    case ThirdPartyList::tiScrollControl:
      return TlxMainWnd::CreateForHandle<TlxEditWnd>(handle, true, section.empty() ? "PANEL_LOW" : section, manager, data);
    default:
      // The other kinds come with their adapters; until then such a control stays as it is.
      return nullptr;
  }
}

// ---------------------------------------------------------------------------------------------
// Items.

TlxAdapterItem::TlxAdapterItem(TlxCtrlAdapter* adapter)
    : SkinData(std::make_unique<TsCommonData>(this, AdaptedControlKind, true)), Adapter(adapter) {}

TlxAdapterItem::~TlxAdapterItem() {
  // A window adapter that let go because the window died may outlive its control: the state
  // must not reach the control then.
  if (ScrollAdapter != nullptr && ScrollAdapter->Defunct()) SkinData->SetOwner(nullptr);
  ScrollAdapter.reset();
  SkinData.reset();
}

void TlxAdapterItem::DoHook(TWinControl* control) {
  if (control->Tag() == TagNeverAdapt || !control->HandleAllocated() || control->Parent() == nullptr ||
      SkinsItself(control))
    return;
  Control = control;
  SkinData->SetOwner(control);
  TsSkinManager* manager = SkinData->GetSkinManager();
  if (manager == nullptr) return;
  const int list = manager->ThirdParty()->IndexOfClass(control->ClassName());
  if (list >= 0) ScrollAdapter = MakeListedAdapter(list, control->Handle(), SkinData->GetSkinSection(), manager, SkinData.get());
}

TlxGraphItem::TlxGraphItem(TlxCtrlAdapter* adapter)
    : SkinData(std::make_unique<TsCommonData>(this, AdaptedControlKind)), Adapter(adapter) {}

TlxGraphItem::~TlxGraphItem() {
  Handler.reset();
  SkinData.reset();
}

void TlxGraphItem::DoHook(TControl* control) {
  if (control->Tag() == TagNeverAdapt) return;
  Control = control;
  SkinData->SetOwner(control);
  Handler = std::make_unique<TlxSpeedButtonHandler>(control, true, SkinData->GetSkinSection(), SkinData->GetSkinManager(),
                                                    SkinData.get());
}

// ---------------------------------------------------------------------------------------------
// The adapter.

TlxCtrlAdapter::TlxCtrlAdapter(TsSkinProvider* provider) : FProvider(provider) {}

TlxCtrlAdapter::~TlxCtrlAdapter() {
  CleanItems();
  RemoveAllItems();
}

TsSkinManager* TlxCtrlAdapter::SkinManager() const {
  return FProvider != nullptr && FProvider->SkinData() != nullptr ? FProvider->SkinData()->GetSkinManager() : nullptr;
}

bool TlxCtrlAdapter::WalkRunning() { return Walking; }

bool TlxCtrlAdapter::AskProvider(TObject* item, std::string& section) {
  bool canBeAdded = true;
  if (FProvider != nullptr && FProvider->OnSkinItem) FProvider->OnSkinItem(item, canBeAdded, section);
  return canBeAdded;
}

bool TlxCtrlAdapter::IsAdaptable(TComponent* component) {
  if (component == nullptr || component->Tag() == TagNeverAdapt) return false;
  if (auto* windowed = As<TWinControl>(component)) {
    if (!windowed->HandleAllocated() || SkinsItself(windowed)) return false;
  } else if (auto* control = As<TControl>(component)) {
    if (As<TCustomLabel>(control) == nullptr) return false;
    std::string section;
    return AskProvider(control, section);
  }
  TsSkinManager* m = SkinManager();
  return m != nullptr && m->ThirdParty()->IndexOfClass(component->ClassName()) >= 0;
}

TlxAdapterItem* TlxCtrlAdapter::GetItem(int index) const {
  return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)].get() : nullptr;
}

void TlxCtrlAdapter::AdaptChildren(TWinControl* control) {
  if (Walking) return;
  TsSkinManager* m = SkinManager();
  if (m == nullptr || (m->GetSkinningRules() & (1u << srThirdParty)) == 0) return;
  if (control == nullptr) control = FProvider != nullptr ? FProvider->Form() : nullptr;
  if (control == nullptr) return;
  Walking = true;
  try {
    CleanItems();
    Walk(control);
  } catch (...) {
    Walking = false;
    throw;
  }
  Walking = false;
}

void TlxCtrlAdapter::Walk(TWinControl* control) {
  const auto descend = [this](TComponent* c) {
    auto* w = As<TWinControl>(c);
    if (w != nullptr && w->HandleAllocated() && w->Parent() != nullptr) Walk(w);
  };
  // Components may be added while adapters are made: the bounds are read at every step.
  for (int i = 0; i < control->ComponentCount(); ++i) {
    TComponent* c = control->Components(i);
    AdaptComponent(c);
    descend(c);
  }
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* c = control->Controls(i);
    AdaptComponent(c);
    descend(c);
  }
}

void TlxCtrlAdapter::AdaptComponent(TComponent* component) {
  if (!IsAdaptable(component)) return;
  if (auto* windowed = As<TWinControl>(component))
    AddItem(windowed, std::string());
  else if (auto* label = As<TCustomLabel>(component); label != nullptr && As<TsCustomLabel>(label) == nullptr)
    RecolourLabel(label);
}

void TlxCtrlAdapter::RecolourLabel(TControl* label) {
  TsSkinManager* m = SkinManager();
  if (m == nullptr || label->Tag() == TagKeepLabelColour) return;
  const TColor colour = m->GlobalInfoFontColor();
  // A skin without global info has no text colour ("no colour" is magenta): labels stay.
  if (colour == clFuchsia) return;
  if (FProvider != nullptr) FProvider->RememberLabelColours(label);
  label->SetControlStyle(label->ControlStyle() & ~static_cast<TControlStyle>(csOpaque));
  static_cast<TCustomLabel*>(label)->Font()->SetColor(colour);
}

void TlxCtrlAdapter::AddNewItem(TWinControl* control) { AddItem(control, FDefaultSection); }

void TlxCtrlAdapter::AddItem(TWinControl* control, const std::string& section) {
  if (control == nullptr || control->Tag() == TagNeverAdapt || control->Parent() == nullptr || SkinsItself(control))
    return;
  std::string skinSection = section;
  if (!AskProvider(control, skinSection)) return;
  TlxAdapterItem* item = nullptr;
  for (auto it = FItems.rbegin(); it != FItems.rend() && item == nullptr; ++it)
    if ((*it)->Control == control) item = it->get();
  if (item != nullptr) {
    item->SkinData->SetSkinSection(skinSection);
    if (item->ScrollAdapter != nullptr && item->ScrollAdapter->Defunct()) {
      item->ScrollAdapter.reset();
      item->DoHook(control);
    }
    return;
  }
  FItems.push_back(std::make_unique<TlxAdapterItem>(this));
  item = FItems.back().get();
  item->Control = control;
  // An empty section on a new item stays empty: the window adapter applies its own default.
  if (!skinSection.empty()) item->SkinData->SetSkinSection(skinSection);
  item->DoHook(control);
  if (item->ScrollAdapter == nullptr) {
    // Removed by identity: hooking may have added items of its own meanwhile.
    FItems.erase(std::find_if(FItems.begin(), FItems.end(), [item](const auto& p) { return p.get() == item; }));
    return;
  }
  // The framework takes a freed control's window from its method before destroying it, so the
  // adapter never hears of it; a control owned elsewhere (by a panel, a frame) is freed without
  // the form hearing of it either: the provider is told, so that the item goes with it.
  if (FProvider != nullptr) control->FreeNotification(FProvider);
}

void TlxCtrlAdapter::AddGraphicControl(TControl* control) {
  if (control == nullptr || control->Tag() == TagNeverAdapt || control->Parent() == nullptr ||
      control->Perform(WM_SKINCOMMAND, MakeSkinWParam(SkinCmdIsSkinned), 0) == 1)
    return;
  std::string section = "SPEEDBUTTON";
  if (!AskProvider(control, section)) return;
  auto* button = As<TSpeedButton>(control);
  section = button != nullptr && button->SmallButton() ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON";
  for (auto it = FGraphicItems.rbegin(); it != FGraphicItems.rend(); ++it) {
    TlxGraphItem* item = it->get();
    if (item->Control != control) continue;
    item->SkinData->SetSkinSection(section);
    if (item->Handler != nullptr && item->Handler->Destroyed()) {
      item->Handler.reset();
      item->DoHook(control);
    }
    return;
  }
  auto item = std::make_unique<TlxGraphItem>(this);
  item->SkinData->SetSkinSection(section);
  item->DoHook(control);
  if (item->HandlerGone()) return;
  FGraphicItems.push_back(std::move(item));
  // A button owned elsewhere (by a frame) is freed without the form hearing of it: the provider
  // is told, so that the handler lets go of it untouched.
  if (FProvider != nullptr) control->FreeNotification(FProvider);
}

TlxGraphItem* TlxCtrlAdapter::GetGraphicItem(int index) const {
  return index >= 0 && index < GraphicCount() ? FGraphicItems[static_cast<size_t>(index)].get() : nullptr;
}

void TlxCtrlAdapter::RemoveItem(int index) {
  if (index < 0 || index >= Count()) return;
  FItems[static_cast<size_t>(index)] = std::move(FItems.back());
  FItems.pop_back();
}

void TlxCtrlAdapter::ForgetControl(const TComponent* control) {
  for (int i = Count() - 1; i >= 0; --i) {
    TlxAdapterItem* item = FItems[static_cast<size_t>(i)].get();
    if (item->Control != control) continue;
    // The control is going: its state lets go of it before the item is freed.
    item->SkinData->SetOwner(nullptr);
    RemoveItem(i);
  }
  for (auto it = FGraphicItems.begin(); it != FGraphicItems.end();) {
    if ((*it)->Control != control) {
      ++it;
      continue;
    }
    if ((*it)->Handler != nullptr) (*it)->Handler->ForgetControl();
    (*it)->SkinData->SetOwner(nullptr);
    it = FGraphicItems.erase(it);
  }
}

void TlxCtrlAdapter::BroadcastMessage(TMessage& message) {
  for (size_t i = 0; i < FItems.size(); ++i) {
    TlxAdapterItem* item = FItems[i].get();
    if (item->ScrollAdapter == nullptr || item->ScrollAdapter->Defunct() || item->Control == nullptr ||
        item->Control->Parent() == nullptr || !item->Control->HandleAllocated())
      continue;
    SendMessageA(item->Control->Handle(), message.Msg, message.WParam, message.LParam);
  }
}

void TlxCtrlAdapter::CleanItems() {
  FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                              [](const auto& item) {
                                return item == nullptr || item->ScrollAdapter == nullptr || item->ScrollAdapter->Defunct();
                              }),
               FItems.end());
  FGraphicItems.erase(std::remove_if(FGraphicItems.begin(), FGraphicItems.end(),
                                     [](const auto& item) { return item == nullptr || item->HandlerGone(); }),
                      FGraphicItems.end());
}

void TlxCtrlAdapter::RemoveAllItems() {
  if (FRemovingAll) return;
  FRemovingAll = true;
  while (!FItems.empty()) FItems.pop_back();
  // While the program ends the buttons may be gone before their items: the handlers let go of
  // them untouched.
  const bool ending = Application == nullptr || Application->Terminated();
  while (!FGraphicItems.empty()) {
    TlxGraphItem* item = FGraphicItems.back().get();
    if (ending) {
      if (item->Handler != nullptr) item->Handler->ForgetControl();
      item->Control = nullptr;
      item->SkinData->SetOwner(nullptr);
    }
    FGraphicItems.pop_back();
  }
  FRemovingAll = false;
}
