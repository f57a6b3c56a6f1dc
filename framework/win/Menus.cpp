// Menus: shortcut texts, menu items over real HMENUs, main and popup menus, and the dispatch
// of WM_COMMAND / WM_MEASUREITEM / WM_DRAWITEM / WM_INITMENUPOPUP to the items.
//
// Sections: shortcuts; the table of command numbers; TMenuItem (tree, handle, properties,
// actions, owner draw); TMenu; TMainMenu; TPopupMenu and the popup window; dispatch.
#include "framework/win/Menus.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "framework/base/TypInfo.h"
#include "framework/win/ActnList.h"
#include "framework/win/Forms.h"
#include "framework/win/UtilWindow.h"
#include "framework/win/Graphics.h"
#include "framework/win/ImgList.h"

// ---------------------------------------------------------------------------------------------
// Shortcuts

namespace {

struct TKeyName {
  std::uint16_t Key;
  const char* Name;
};

// Names of the keys that are not a letter, a digit or a function key.
constexpr std::array<TKeyName, 17> KeyNames{{
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},
    {VK_HOME, "Home"},  {VK_LEFT, "Left"},   {VK_UP, "Up"},       {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},  {VK_ADD, "Num +"},
    {VK_SUBTRACT, "Num -"},
}};

std::string KeyName(std::uint16_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  for (const TKeyName& k : KeyNames)
    if (k.Key == key) return k.Name;
  return std::string();
}

// Removes a modifier prefix ("Ctrl+") from the front of text; true when it was there.
bool TakePrefix(std::string& text, const char* prefix) {
  size_t n = std::strlen(prefix);
  if (text.size() <= n || !SameText(text.substr(0, n), prefix)) return false;
  text.erase(0, n);
  return true;
}

}  // namespace

std::string ShortCutToText(TShortCut ShortCut) {
  std::string name = KeyName(static_cast<std::uint16_t>(ShortCut & 0xFF));
  if (name.empty()) return std::string();
  std::string text;
  if (ShortCut & scShift) text += "Shift+";
  if (ShortCut & scCtrl) text += "Ctrl+";
  if (ShortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& Text) {
  std::string text = Trim(Text);
  TShortCut mods = 0;
  for (bool again = true; again;) {
    again = false;
    if (TakePrefix(text, "Shift+")) mods |= scShift, again = true;
    if (TakePrefix(text, "Ctrl+")) mods |= scCtrl, again = true;
    if (TakePrefix(text, "Alt+")) mods |= scAlt, again = true;
  }
  if (text.empty()) return 0;
  for (int key = 1; key < 256; ++key) {
    std::string name = KeyName(static_cast<std::uint16_t>(key));
    if (!name.empty() && SameText(name, text)) return static_cast<TShortCut>(key | mods);
  }
  return 0;
}

TShortCut ShortCutFromKeyDown(WPARAM Key) {
  if (Key == 0 || Key > 0xFF) return 0;
  TShortCut sc = static_cast<TShortCut>(Key);
  if (::GetKeyState(VK_SHIFT) < 0) sc |= scShift;
  if (::GetKeyState(VK_CONTROL) < 0) sc |= scCtrl;
  if (::GetKeyState(VK_MENU) < 0) sc |= scAlt;
  return sc;
}

// ---------------------------------------------------------------------------------------------
// Command numbers. WM_COMMAND carries a 16-bit number; numbers from 0xF000 are the system
// menu's, so items take 1 .. 0xEFFF. The table maps a number to its live item, so that a
// message never hands us a pointer we did not make.

namespace {

constexpr std::uint16_t FirstCommand = 1;
constexpr std::uint16_t LastCommand = 0xEFFF;

std::vector<TMenuItem*>& CommandTable() {
  static std::vector<TMenuItem*> table(LastCommand + 1, nullptr);
  return table;
}

std::uint16_t AllocateCommand(TMenuItem* item) {
  static std::uint16_t next = FirstCommand;
  auto& table = CommandTable();
  for (int tries = 0; tries <= LastCommand; ++tries) {
    std::uint16_t c = next;
    next = (next == LastCommand) ? FirstCommand : static_cast<std::uint16_t>(next + 1);
    if (table[c] == nullptr) {
      table[c] = item;
      return c;
    }
  }
  throw EMenuError("Too many menu items");
}

void ReleaseCommand(std::uint16_t c, TMenuItem* item) {
  auto& table = CommandTable();
  if (c >= FirstCommand && c <= LastCommand && table[c] == item) table[c] = nullptr;
}

}  // namespace

TMenuItem* FindMenuItemByCommand(std::uint16_t Command) {
  if (Command < FirstCommand || Command > LastCommand) return nullptr;
  return CommandTable()[Command];
}

// ---------------------------------------------------------------------------------------------
// TMenuItem: the tree

ORBEX_IMPLEMENT_PUBLISHED(TMenuItem, TComponent, &CreateComponentOf<TMenuItem>)

void TMenuItem::PublishProperties(TPublisher<TMenuItem>& P) {
  P.Component("Action", &TMenuItem::Action, &TMenuItem::SetAction);
  P.Boolean("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(0);
  P.Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak, {"mbNone", "mbBreak", "mbBarBreak"}).Default(0);
  P.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  P.Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(0);
  P.Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(0);
  P.Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(1);
  P.Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  P.String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  P.Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  P.Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(0);
  P.Integer("ShortCut", &TMenuItem::GetShortCut, &TMenuItem::SetShortCut).Default(0);
  P.Component("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
  P.Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(1);
  P.Event("OnClick", &TMenuItem::OnClick);
  P.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
  P.Event("OnDrawItem", &TMenuItem::OnDrawItem);
  P.Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
  FCommand = AllocateCommand(this);
}

TMenuItem::~TMenuItem() {
  Destroying();
  if (FParent != nullptr) FParent->Remove(this);
  // Sub-items go first; each detaches itself from this item as it is freed.
  while (!FItems.empty()) delete FItems.back();
  FActionLink.reset();
  ReleaseHandle();
  ReleaseCommand(FCommand, this);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EMenuError(Format("Menu index out of range (%d)", Index));
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (Item == nullptr) return;
  if (Item->FParent != nullptr) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p != nullptr; p = p->FParent)
    if (p == Item) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) Index = Count();
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  RebuildHandle();
  MenuChanged(true);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
  // Always let go of the item's sub-menu handle; the parents follow unless this one is going.
  RebuildHandle();
  if (!IsDestroying()) MenuChanged(true);
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  auto strip = [](const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '&') {
        if (i + 1 < s.size() && s[i + 1] == '&') r += '&', ++i;
        continue;
      }
      r += s[i];
    }
    return r;
  };
  std::string want = strip(ACaption);
  for (TMenuItem* item : FItems)
    if (SameText(strip(item->FCaption), want)) return item;
  return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* p = this;
  while (p->FParent != nullptr) p = p->FParent;
  return p->FMenu;
}

TCustomImageList* TMenuItem::GetImageList() const {
  for (const TMenuItem* p = FParent; p != nullptr; p = p->FParent)
    if (p->FSubMenuImages != nullptr) return p->FSubMenuImages;
  TMenu* menu = GetParentMenu();
  return menu != nullptr ? menu->Images() : nullptr;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent != nullptr) FParent->Remove(this);
  if (TMenu* menu = As<TMenu>(Value)) menu->Items()->Add(this);
  else if (TMenuItem* item = As<TMenuItem>(Value)) item->Add(this);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FSubMenuImages) SetSubMenuImages(nullptr);
  if (FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
}

// ---------------------------------------------------------------------------------------------
// TMenuItem: the handle

HMENU TMenuItem::Handle() {
  if (!FHandle.Valid()) {
    bool bar = FMenu != nullptr && FMenu->IsMenuBar();
    HMENU h = bar ? ::CreateMenu() : ::CreatePopupMenu();
    if (h == nullptr) {
      const DWORD code = ::GetLastError();
      RaiseWin32Error("CreateMenu", code);
    }
    FHandle.Reset(h);
    RebuildHandle();
  }
  return FHandle.Get();
}

void TMenuItem::ReleaseHandle() {
  if (!FHandle.Valid()) return;
  // Detach the sub-menus first: each belongs to its own item, and DestroyMenu would take them
  // along.
  while (::GetMenuItemCount(FHandle.Get()) > 0)
    if (!::RemoveMenu(FHandle.Get(), 0, MF_BYPOSITION)) break;
  FHandle.Reset();
}

void TMenuItem::RebuildHandle() {
  if (!FHandle.Valid()) return;
  HMENU h = FHandle.Get();
  while (::GetMenuItemCount(h) > 0)
    if (!::RemoveMenu(h, 0, MF_BYPOSITION)) break;
  if (IsDestroying()) return;
  if (FMenu != nullptr && FMenu->IsMenuBar()) {
    for (TMenuItem* item : static_cast<TMainMenu*>(FMenu)->BarItems()) item->AppendTo(h);
    return;
  }
  for (TMenuItem* item : FItems)
    if (item->FVisible) item->AppendTo(h);
}

void TMenuItem::AppendTo(HMENU Menu) {
  std::string text = FCaption;
  if (!IsLine() && FShortCut != 0) {
    std::string sc = ShortCutToText(FShortCut);
    if (!sc.empty()) text += "\t" + sc;
  }
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  mii.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
  if (FRadioItem) mii.fType |= MFT_RADIOCHECK;
  if (FBreak == mbBreak) mii.fType |= MFT_MENUBREAK;
  if (FBreak == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
  if (IsOwnerDraw()) mii.fType |= MFT_OWNERDRAW;
  mii.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : 0u) |
               (FDefault ? MFS_DEFAULT : 0u);
  mii.wID = FCommand;
  mii.hSubMenu = FItems.empty() ? nullptr : Handle();
  mii.dwItemData = FCommand;
  if (!IsLine() && !(mii.fType & MFT_OWNERDRAW)) {
    mii.fMask |= MIIM_STRING;
    mii.dwTypeData = text.data();
    mii.cch = static_cast<UINT>(text.size());
  }
  ::InsertMenuItemA(Menu, static_cast<UINT>(::GetMenuItemCount(Menu)), TRUE, &mii);
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (IsDestroying()) return;
  if (FParent != nullptr) {
    // The parent's handle shows this item's caption, state and sub-menu: refill it.
    FParent->RebuildHandle();
    FParent->MenuChanged(false);
    return;
  }
  if (Rebuild) RebuildHandle();
  if (FMenu != nullptr) FMenu->MenuChanged(this, Rebuild);
}

// ---------------------------------------------------------------------------------------------
// TMenuItem: properties

void TMenuItem::SetCaption(const std::string& Value) {
  if (SetAndCheck(FCaption, Value)) MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (SetAndCheck(FShortCut, Value)) MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
  if (SetAndCheck(FImageIndex, Value)) MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
  if (SetAndCheck(FEnabled, Value)) MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
  if (SetAndCheck(FVisible, Value)) MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
  if (FParent == nullptr) return;
  for (TMenuItem* item : FParent->FItems)
    if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex && item->FChecked) {
      item->FChecked = false;
    }
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetGroupIndex(std::uint8_t Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value && FParent != nullptr)
    for (TMenuItem* item : FParent->FItems) item->FDefault = false;
  FDefault = Value;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (SetAndCheck(FBreak, Value)) MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetBitmap(TBitmap* Value) {
  Bitmap()->Assign(Value);
  MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (FSubMenuImages == Value) return;
  if (FSubMenuImages != nullptr) FSubMenuImages->RemoveFreeNotification(this);
  FSubMenuImages = Value;
  if (Value != nullptr) Value->FreeNotification(this);
  RebuildHandle();
  MenuChanged(false);
}

// ---------------------------------------------------------------------------------------------
// TMenuItem: actions and clicks

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
  if (Value == nullptr) {
    if (FActionLink) {
      if (TBasicAction* old = FActionLink->Action()) old->RemoveFreeNotification(this);
      FActionLink.reset();
    }
    return;
  }
  if (!FActionLink) {
    FActionLink = std::make_unique<TMenuActionLink>(this);
    FActionLink->OnChange = [this] { ActionChange(FActionLink->Action(), false); };
  }
  if (TBasicAction* old = FActionLink->Action()) old->RemoveFreeNotification(this);
  FActionLink->SetAction(Value);
  Value->FreeNotification(this);
  ActionChange(Value, IsLoading());
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  TCustomAction* a = As<TCustomAction>(Sender);
  if (a == nullptr) return;
  // While loading, a property the stored form set on the item itself wins over the action's.
  if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || FChecked == false) SetChecked(a->Checked());
  if (!CheckDefaults || FEnabled == true) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(a->GetShortCut());
  if (!CheckDefaults || FVisible == true) SetVisible(a->Visible());
  if (!CheckDefaults || FAutoCheck == false) SetAutoCheck(a->AutoCheck());
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck && !FActionLink) SetChecked(!FChecked);
  if (OnClick) OnClick(this);
  else if (FActionLink) FActionLink->Execute(this);
}

// ---------------------------------------------------------------------------------------------
// TMenuItem: owner draw

bool TMenuItem::IsOwnerDraw() const {
  if (OnMeasureItem || OnDrawItem || OnAdvancedDrawItem) return true;
  TMenu* menu = GetParentMenu();
  if (menu != nullptr && menu->OwnerDraw()) return true;
  // The system draws no image lists: items of a menu with images are drawn by us, all of them,
  // so that captions and shortcut columns line up. The menu bar itself stays the system's.
  bool topLevel = FParent != nullptr && FParent->FMenu != nullptr && FParent->FMenu->IsMenuBar();
  return !topLevel && GetImageList() != nullptr;
}

namespace {

// The screen's menu font (the stock GUI font before the screen exists).
HFONT MenuFont() {
  return Screen != nullptr ? Screen->MenuFont()->GetHandle() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

constexpr int GlyphMinWidth = 16;   // room for the check mark without images
constexpr int TextGap = 8;          // between glyph column, caption and shortcut

SIZE TextSize(HDC dc, const std::string& s) {
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  HDC dc = ACanvas->GetHandle();
  TSaveDC saved(dc);
  ::SelectObject(dc, MenuFont());
  bool topLevel = FParent != nullptr && FParent->FMenu != nullptr && FParent->FMenu->IsMenuBar();
  TCustomImageList* images = GetImageList();
  int glyphW = std::max(GlyphMinWidth, images != nullptr ? images->GetWidth() : 0);
  int glyphH = images != nullptr ? images->GetHeight() : 0;
  if (IsLine()) {
    Width = 2 * TextGap;
    Height = 8;
  } else if (topLevel) {
    SIZE t = TextSize(dc, FCaption);
    Width = t.cx + TextGap;
    Height = std::max<int>(t.cy, ::GetSystemMetrics(SM_CYMENU));
  } else {
    SIZE t = TextSize(dc, FCaption);
    std::string sc = ShortCutToText(FShortCut);
    int scw = sc.empty() ? 0 : TextGap * 2 + TextSize(dc, sc).cx;
    // The system adds the check-mark width to owner-drawn popup items by itself.
    Width = 2 + glyphW + TextGap + t.cx + scw + TextGap - ::GetSystemMetrics(SM_CXMENUCHECK);
    Height = std::max<int>({static_cast<int>(t.cy) + 4, glyphH + 4,
                            ::GetSystemMetrics(SM_CYMENU)});
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State,
                                 bool TopLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, (State & odSelected) != 0);
    return;
  }
  DrawDefault(ACanvas, ARect, State, TopLevel);
}

void TMenuItem::DrawDefault(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State,
                            bool TopLevel) {
  HDC dc = ACanvas->GetHandle();
  TSaveDC saved(dc);
  RECT r = ToRECT(ARect);
  bool selected = (State & (odSelected | odHotLight)) != 0 && !IsLine();
  ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (IsLine()) {
    RECT line{r.left + 2, (r.top + r.bottom) / 2 - 1, r.right - 2, (r.top + r.bottom) / 2 + 1};
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  bool disabled = (State & (odGrayed | odDisabled)) != 0 || !FEnabled;
  COLORREF fg = ::GetSysColor(disabled ? COLOR_GRAYTEXT
                                       : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  ::SetTextColor(dc, fg);
  ::SetBkMode(dc, TRANSPARENT);
  ::SelectObject(dc, MenuFont());
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (State & odNoAccel) flags |= DT_HIDEPREFIX;
  if (TopLevel) {
    ::DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &r, flags | DT_CENTER);
    return;
  }
  TCustomImageList* images = GetImageList();
  int glyphW = std::max(GlyphMinWidth, images != nullptr ? images->GetWidth() : 0);
  if (images != nullptr && FImageIndex >= 0 && FImageIndex < images->Count()) {
    int y = r.top + (r.bottom - r.top - images->GetHeight()) / 2;
    images->Draw(ACanvas, r.left + 2, y, FImageIndex, !disabled);
  } else if (FChecked) {
    RECT box{r.left + 2, r.top, r.left + 2 + glyphW, r.bottom};
    int side = std::min<int>(glyphW, r.bottom - r.top);
    box.top = r.top + (r.bottom - r.top - side) / 2;
    box.bottom = box.top + side;
    ::DrawFrameControl(dc, &box, DFC_MENU, FRadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  RECT text{r.left + 2 + glyphW + TextGap, r.top, r.right - TextGap, r.bottom};
  ::DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &text, flags);
  std::string sc = ShortCutToText(FShortCut);
  if (!sc.empty())
    ::DrawTextA(dc, sc.c_str(), static_cast<int>(sc.size()), &text, flags | DT_RIGHT);
}

// ---------------------------------------------------------------------------------------------
// TMenu

ORBEX_IMPLEMENT_PUBLISHED(TMenu, TComponent, nullptr)

void TMenu::PublishProperties(TPublisher<TMenu>& P) {
  P.Component("Images", &TMenu::Images, &TMenu::SetImages);
  P.Boolean("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(0);
}

TMenu::TMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  Destroying();
  FItems.reset();
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages != nullptr) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value != nullptr) Value->FreeNotification(this);
  MenuChanged(nullptr, true);
}

void TMenu::SetOwnerDraw(bool Value) {
  if (SetAndCheck(FOwnerDraw, Value)) MenuChanged(nullptr, true);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FImages) SetImages(nullptr);
}

void TMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
  if (Source == nullptr && Rebuild && FItems) {
    // Every handle below the root may show images or owner drawing: rebuild them all.
    std::vector<TMenuItem*> stack{FItems.get()};
    while (!stack.empty()) {
      TMenuItem* item = stack.back();
      stack.pop_back();
      item->RebuildHandle();
      for (TMenuItem* child : item->FItems) stack.push_back(child);
    }
  }
}

namespace {

template <class F>
TMenuItem* FindInTree(TMenuItem* root, F pred) {
  std::vector<TMenuItem*> stack{root};
  while (!stack.empty()) {
    TMenuItem* item = stack.back();
    stack.pop_back();
    if (item != root && pred(item)) return item;
    for (int i = item->Count() - 1; i >= 0; --i) stack.push_back(item->Items(i));
  }
  return nullptr;
}

}  // namespace

bool TMenu::IsShortCut(TShortCut ShortCut) {
  if (ShortCut == 0 || !FItems) return false;
  TMenuItem* item = FindInTree(FItems.get(), [ShortCut](TMenuItem* i) {
    return i->GetShortCut() == ShortCut && i->Visible();
  });
  if (item == nullptr) return false;
  // An item of a sub-menu runs only while all its parents are enabled, as a click would.
  for (TMenuItem* p = item; p != nullptr && p != FItems.get(); p = p->Parent()) {
    p->InitiateAction();
    if (!p->Enabled()) return false;
  }
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItem(std::uint16_t Command) const {
  TMenuItem* item = FindMenuItemByCommand(Command);
  return (item != nullptr && item->GetParentMenu() == this) ? item : nullptr;
}

bool TMenu::DispatchCommand(std::uint16_t Command) {
  TMenuItem* item = FindItem(Command);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU Menu) {
  if (!FItems) return false;
  TMenuItem* owner = FindInTree(FItems.get(), [Menu](TMenuItem* i) {
    return i->HandleAllocated() && i->Handle() == Menu;
  });
  if (owner == nullptr) return false;
  for (int i = 0; i < owner->Count(); ++i) owner->Items(i)->InitiateAction();
  return true;
}

// ---------------------------------------------------------------------------------------------
// TMainMenu

ORBEX_IMPLEMENT_PUBLISHED(TMainMenu, TMenu, &CreateComponentOf<TMainMenu>)
void TMainMenu::PublishProperties(TPublisher<TMainMenu>& P) {
  P.Boolean("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge).Default(0);
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
  // The other bar must not keep showing (or reaching) items that go now.
  if (FMergedInto != nullptr) FMergedInto->Merge(nullptr);
  if (FMerged != nullptr) FMerged->FMergedInto = nullptr;
  FMerged = nullptr;
}

void TMainMenu::Merge(TMainMenu* Menu) {
  if (Menu == this) Menu = nullptr;
  if (FMerged == Menu) return;
  if (FMerged != nullptr) FMerged->FMergedInto = nullptr;
  if (Menu != nullptr && Menu->FMergedInto != nullptr) Menu->FMergedInto->Merge(nullptr);
  FMerged = Menu;
  if (Menu != nullptr) Menu->FMergedInto = this;
  if (IsDestroying()) return;
  Items()->RebuildHandle();
  MenuChanged(nullptr, false);
}

std::vector<TMenuItem*> TMainMenu::BarItems() const {
  std::vector<TMenuItem*> bar;
  TMenuItem* root = Items();
  if (root == nullptr) return bar;
  std::vector<TMenuItem*> merged;
  if (FMerged != nullptr && FMerged->Items() != nullptr)
    for (int i = 0; i < FMerged->Items()->Count(); ++i)
      if (FMerged->Items()->Items(i)->Visible()) merged.push_back(FMerged->Items()->Items(i));
  auto replaced = [&](const TMenuItem* own) {
    return std::any_of(merged.begin(), merged.end(),
                       [own](const TMenuItem* m) { return m->GroupIndex() == own->GroupIndex(); });
  };
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* own = root->Items(i);
    if (own->Visible() && !replaced(own)) bar.push_back(own);
  }
  for (TMenuItem* m : merged) {
    auto at = std::find_if(bar.begin(), bar.end(), [&](const TMenuItem* b) {
      return b->GroupIndex() > m->GroupIndex();
    });
    bar.insert(at, m);
  }
  return bar;
}

void TMainMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
  TMenu::MenuChanged(Source, Rebuild);
  // A merged menu's change shows in the bar it is merged into.
  if (FMergedInto != nullptr) {
    FMergedInto->Items()->RebuildHandle();
    FMergedInto->MenuChanged(nullptr, false);
  }
  if (FWindowHandle == nullptr || !::IsWindow(FWindowHandle)) return;
  ::DrawMenuBar(FWindowHandle);
  // The form lays out what depends on its menu bar (a skinned frame draws the bar itself).
  ::SendMessageA(FWindowHandle, CM_MENUCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// TPopupMenu and the window its menus report to

namespace {

void PopupWindowProc(TMessage& Message);

struct TPopupWindow {
  HWND Handle = nullptr;
  TPopupWindow() { Handle = AllocateHWnd(&PopupWindowProc); }
  ~TPopupWindow() {
    if (Handle != nullptr) DeallocateHWnd(Handle);
  }
};

TPopupWindow& PopupWindowInstance() {
  static TPopupWindow w;
  return w;
}

void PopupWindowProc(TMessage& Message) {
  // Exceptions leaving a utility window's method reach the application's handler there.
  switch (Message.Msg) {
    case WM_MEASUREITEM:
      if (MenuMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))) {
        Message.Result = TRUE;
        return;
      }
      break;
    case WM_DRAWITEM:
      if (MenuDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam))) {
        Message.Result = TRUE;
        return;
      }
      break;
    case WM_INITMENUPOPUP:
      MenuInitPopup(reinterpret_cast<HMENU>(Message.WParam));
      Message.Result = 0;
      return;
    case WM_EXITMENULOOP:
      MenuLoopEnded();
      break;
    case WM_MENUCHAR:
      Message.Result = MenuChar(static_cast<char>(LOWORD(Message.WParam)),
                                reinterpret_cast<HMENU>(Message.LParam));
      return;
    default:
      break;
  }
  Message.Result = ::DefWindowProcA(PopupWindowInstance().Handle, Message.Msg, Message.WParam,
                                    Message.LParam);
}

}  // namespace

HWND PopupListWindow() { return PopupWindowInstance().Handle; }

namespace {
std::function<void()>& LoopEndHandler() {
  static std::function<void()> handler;
  return handler;
}
}  // namespace

void SetMenuLoopEndHandler(std::function<void()> Handler) { LoopEndHandler() = std::move(Handler); }

void MenuLoopEnded() {
  if (LoopEndHandler()) LoopEndHandler()();
}

ORBEX_IMPLEMENT_PUBLISHED(TPopupMenu, TMenu, &CreateComponentOf<TPopupMenu>)

void TPopupMenu::PublishProperties(TPublisher<TPopupMenu>& P) {
  P.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
         {"paLeft", "paRight", "paCenter"})
      .Default(0);
  P.Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(1);
  P.Integer("MenuAnimation", &TPopupMenu::MenuAnimation, &TPopupMenu::SetMenuAnimation).Default(0);
  P.Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  for (int i = 0; i < Items()->Count(); ++i) Items()->Items(i)->InitiateAction();
  UINT align = FAlignment == TPopupAlignment::paRight    ? TPM_RIGHTALIGN
               : FAlignment == TPopupAlignment::paCenter ? TPM_CENTERALIGN
                                                         : TPM_LEFTALIGN;
  if (FMenuAnimation & maNone) align |= TPM_NOANIMATION;
  HWND owner = FWindowHandle != nullptr && ::IsWindow(FWindowHandle) ? FWindowHandle : PopupListWindow();
  // TPM_RETURNCMD: the chosen item runs here, after the menu has closed, so that its handler
  // may open a modal window or free the menu.
  UINT cmd = static_cast<UINT>(::TrackPopupMenu(Handle(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                X, Y, 0, owner, nullptr));
  ::PostMessageA(owner, WM_NULL, 0, 0);
  MenuLoopEnded();
  if (cmd != 0) DispatchCommand(static_cast<std::uint16_t>(cmd));
}

// ---------------------------------------------------------------------------------------------
// Dispatch of menu messages

// The item an owner-draw message is about: by its identifier, else by the item data we gave
// the system (also the command number). Both are looked up in the table of live items.
TMenuItem* ItemOfOwnerDrawMessage(UINT id, ULONG_PTR data) {
  if (id <= 0xFFFF)
    if (TMenuItem* item = FindMenuItemByCommand(static_cast<std::uint16_t>(id))) return item;
  if (data <= 0xFFFF) return FindMenuItemByCommand(static_cast<std::uint16_t>(data));
  return nullptr;
}

char AccelChar(const std::string& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return Caption[i + 1];
  }
  return 0;
}

bool IsAccel(char Char, const std::string& Caption) {
  const char accel = AccelChar(Caption);
  return accel != 0 &&
         std::toupper(static_cast<unsigned char>(accel)) == std::toupper(static_cast<unsigned char>(Char));
}

LRESULT MenuChar(char Char, HMENU Menu) {
  // The system cannot see accelerators of owner-drawn items: find the item of this character.
  const int count = ::GetMenuItemCount(Menu);
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID;
    if (!::GetMenuItemInfoA(Menu, static_cast<UINT>(pos), TRUE, &mii) || mii.wID > 0xFFFF) continue;
    TMenuItem* item = FindMenuItemByCommand(static_cast<std::uint16_t>(mii.wID));
    if (item == nullptr || !item->Enabled()) continue;
    if (IsAccel(Char, item->Caption())) return MAKELRESULT(pos, MNC_EXECUTE);
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

bool MenuInitPopup(HMENU Menu) {
  for (TMenuItem* item : CommandTable())
    if (item != nullptr && item->HandleAllocated() && item->Handle() == Menu) {
      for (int i = 0; i < item->Count(); ++i) item->Items(i)->InitiateAction();
      return true;
    }
  return false;
}

bool MenuMeasureItem(MEASUREITEMSTRUCT& Info) {
  if (Info.CtlType != ODT_MENU) return false;
  TMenuItem* item = ItemOfOwnerDrawMessage(Info.itemID, Info.itemData);
  if (item == nullptr) return false;
  TWindowDC dc(nullptr);
  if (!dc.Valid()) return false;
  TCanvas canvas;
  TCanvasDC bound(canvas, dc.Get());
  int w = 0, h = 0;
  item->MeasureItem(&canvas, w, h);
  Info.itemWidth = static_cast<UINT>(std::max(w, 0));
  Info.itemHeight = static_cast<UINT>(std::max(h, 0));
  return true;
}

bool MenuDrawItem(const DRAWITEMSTRUCT& Info) {
  if (Info.CtlType != ODT_MENU || Info.hDC == nullptr) return false;
  TMenuItem* item = ItemOfOwnerDrawMessage(Info.itemID, Info.itemData);
  if (item == nullptr) return false;
  TMenuItem* parent = item->Parent();
  TMenu* menu = item->GetParentMenu();
  bool topLevel = parent != nullptr && parent->Parent() == nullptr && menu != nullptr &&
                  menu->IsMenuBar();
  COLORREF text = 0, back = 0;
  {
    TSaveDC saved(Info.hDC);
    TCanvas canvas;
    TCanvasDC bound(canvas, Info.hDC);
    item->AdvancedDrawItem(&canvas, ToTRect(Info.rcItem), Info.itemState, topLevel);
    text = ::GetTextColor(Info.hDC);
    back = ::GetBkColor(Info.hDC);
  }
  // The system draws a sub-menu's arrow after the item, in the DC's text and background
  // colours: they stay as the item's painting left them, so the arrow matches the item.
  ::SetTextColor(Info.hDC, text);
  ::SetBkColor(Info.hDC, back);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitMenusUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TMainMenu>();
  RegisterClassOf<TPopupMenu>();
  RegisterClassOf<TMenuItem>();
}
