// Menus: main and popup menus over real HMENUs, their items, keyboard shortcuts and the
// owner-draw events through which the skinning engine paints menus.
//
// Owns: each TMenuItem with sub-items owns the HMENU of its sub-menu (a main menu's root item
// owns the menu bar's HMENU); each item owns its command number. Items own their sub-items
// (freeing an item frees its sub-items); the component owner (the form) owns the menus and,
// when streamed, the items too; whichever is freed first detaches the item from the other.
//
// Sections: shortcuts; owner-draw state and events; TMenuItem; TMenu, TMainMenu, TPopupMenu;
// dispatch of menu messages (for forms and the popup window).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/win/WinTypes.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TBasicAction;
class TMenuActionLink;
class TMenu;

// ---------------------------------------------------------------------------------------------
// Shortcuts: virtual-key code in the low byte, modifier flags above.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// "Ctrl+O", "Shift+Ctrl+F4", "Alt+F4", "F6"; "" for 0 or a key without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText, case-insensitive; 0 when the text names no shortcut.
TShortCut TextToShortCut(const std::string& Text);
// The shortcut of a key-down message, with the modifiers currently held (GetKeyState).
TShortCut ShortCutFromKeyDown(WPARAM Key);

// ---------------------------------------------------------------------------------------------
// Owner-draw state: the bits are the system's ODS_ values, so a DRAWITEMSTRUCT's itemState is
// the state as it stands.
using TOwnerDrawState = std::uint32_t;
constexpr TOwnerDrawState odSelected = ODS_SELECTED;
constexpr TOwnerDrawState odGrayed = ODS_GRAYED;
constexpr TOwnerDrawState odDisabled = ODS_DISABLED;
constexpr TOwnerDrawState odChecked = ODS_CHECKED;
constexpr TOwnerDrawState odFocused = ODS_FOCUS;
constexpr TOwnerDrawState odDefault = ODS_DEFAULT;
constexpr TOwnerDrawState odHotLight = ODS_HOTLIGHT;
constexpr TOwnerDrawState odInactive = ODS_INACTIVE;
constexpr TOwnerDrawState odNoAccel = ODS_NOACCEL;
constexpr TOwnerDrawState odNoFocusRect = ODS_NOFOCUSRECT;
constexpr TOwnerDrawState odComboBoxEdit = ODS_COMBOBOXEDIT;

using TMenuMeasureItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas,
                                                      const TRect& ARect, TOwnerDrawState State)>;

// An event handler that keeps the object which set it. std::function cannot be compared, so a
// component that puts its handlers into other objects' events (the skin into menu items) asks
// HandlerOwnedBy before taking one out again and never removes a handler the application set.
template <class Sig>
struct TOwnedHandler;
template <class R, class... A>
struct TOwnedHandler<R(A...)> {
  const void* Owner;
  std::function<R(A...)> Fn;
  R operator()(A... a) const { return Fn(std::forward<A>(a)...); }
};
template <class R, class... A>
std::function<R(A...)> OwnedHandler(const void* Owner, std::function<R(A...)> Fn) {
  return TOwnedHandler<R(A...)>{Owner, std::move(Fn)};
}
template <class R, class... A>
bool HandlerOwnedBy(const std::function<R(A...)>& Event, const void* Owner) {
  const auto* h = Event.template target<TOwnedHandler<R(A...)>>();
  return h != nullptr && h->Owner == Owner;
}

// Where an item starts a new column of its popup: mbBreak plainly, mbBarBreak with a line.
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
// Reading order of a menu; anything but bdLeftToRight lays it out right to left where the
// system supports it.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// ---------------------------------------------------------------------------------------------
class TMenuItem : public TComponent {
  ORBEX_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // Sub-items. Add/Insert take ownership of the item (it leaves its old parent first).
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;   // raises EMenuError when out of range
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Detaches without freeing; the caller then owns the item.
  void Remove(TMenuItem* Item);
  void Delete(int Index);   // frees the item
  void Clear();             // frees every sub-item
  int IndexOf(const TMenuItem* Item) const;
  TMenuItem* Find(const std::string& ACaption) const;   // case-insensitive, accelerators ignored
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  // The menu whose root this item hangs under (null while detached).
  TMenu* GetParentMenu() const;
  // Images of the nearest parent with SubMenuImages, else of the menu.
  TCustomImageList* GetImageList() const;
  // Form streaming places nested items with their parent item.
  void SetParentComponent(TComponent* Value);

  // The sub-menu handle (created on first use, filled with the visible sub-items).
  HMENU Handle();
  bool HandleAllocated() const { return FHandle.Valid(); }
  // The command number WM_COMMAND carries for this item.
  std::uint16_t Command() const { return FCommand; }

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool IsLine() const { return FCaption == "-"; }
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  std::uint8_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(std::uint8_t Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TMenuBreak Break() const { return FBreak; }
  void SetBreak(TMenuBreak Value);
  // The item's own glyph, made empty on first use and owned by the item; HasBitmap tells
  // whether it holds a picture.
  TBitmap* Bitmap();
  bool HasBitmap() const;
  void SetBitmap(TBitmap* Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* Value);

  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  // Copies the linked action's properties (called by the action link on every change).
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // Updates the linked action (and so this item) now.
  void InitiateAction();

  // Runs the item: toggles an AutoCheck item, then its own OnClick, else its action.
  virtual void Click();
  // True when the item is drawn through the owner-draw events rather than by the system.
  bool IsOwnerDraw() const;
  // Owner-draw entry points, called for WM_MEASUREITEM and WM_DRAWITEM. TopLevel: an item of
  // a menu bar.
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State,
                                bool TopLevel);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

  // Rebuilds this item's sub-menu from its visible sub-items (after any change).
  void RebuildHandle();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Something shown in the parent's menu changed: the parent re-fills its handle.
  void MenuChanged(bool Rebuild);
  void DrawDefault(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

private:
  friend class TMenu;
  void AppendTo(HMENU Menu);
  void ReleaseHandle();
  void TurnSiblingsOff();

  TOwnedMenu FHandle;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;   // set on a menu's root item only
  std::uint16_t FCommand = 0;
  std::string FCaption;
  TShortCut FShortCut = 0;
  int FImageIndex = -1;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  bool FRadioItem = false;
  bool FAutoCheck = false;
  bool FDefault = false;
  TMenuBreak FBreak = mbNone;
  std::unique_ptr<TBitmap> FBitmap;
  std::uint8_t FGroupIndex = 0;
  std::string FHint;
  TCustomImageList* FSubMenuImages = nullptr;
  std::unique_ptr<TMenuActionLink> FActionLink;
};

ORBEX_EXCEPTION(EMenuError, Exception);

// ---------------------------------------------------------------------------------------------
class TMenu : public TComponent {
  ORBEX_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's entries. Owned by the menu.
  TMenuItem* Items() const { return FItems.get(); }
  HMENU Handle() { return FItems->Handle(); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // Owner drawing of every item (the skin sets it); items with images or owner-draw events
  // are owner drawn anyway.
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }

  // Finds the item with a shortcut and clicks it; true when one was found and enabled.
  bool IsShortCut(TShortCut ShortCut);
  // Item by command number, only among this menu's items.
  TMenuItem* FindItem(std::uint16_t Command) const;
  bool DispatchCommand(std::uint16_t Command);
  // WM_INITMENUPOPUP for one of this menu's sub-menus: updates the actions of its items.
  bool DispatchPopup(HMENU Menu);

  // Something changed in the menu's items (the main menu redraws the menu bar).
  virtual void MenuChanged(TMenuItem* Source, bool Rebuild);
  // Called as a top-level menu's handle is created: the main menu makes a menu bar.
  virtual bool IsMenuBar() const { return false; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::unique_ptr<TMenuItem> FItems;
  TCustomImageList* FImages = nullptr;
  bool FOwnerDraw = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
};

class TMainMenu : public TMenu {
  ORBEX_CLASS(TMainMenu, TMenu)
public:
  explicit TMainMenu(TComponent* AOwner);
  bool IsMenuBar() const override { return true; }
  // The window whose menu bar this is (set by the form when it attaches the menu; 0: none).
  HWND WindowHandle() const { return FWindowHandle; }
  void SetWindowHandle(HWND Value) { FWindowHandle = Value; }
  void MenuChanged(TMenuItem* Source, bool Rebuild) override;
  // Merged into another form's menu bar instead of showing its own (published; default
  // False). The skinned frame draws no menu line for such a menu.
  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }
  ~TMainMenu() override;
  // Shows the visible items of Menu (an MDI child's menu; null: none) in this menu bar: the
  // items of a group index Menu has are replaced by Menu's, which come before the first item
  // of a greater group index. Menu keeps its items, whose clicks and changes stay its own.
  void Merge(TMainMenu* Menu);
  TMainMenu* Merged() const { return FMerged; }
  // The top-level items the menu bar shows, in order: the visible items, merged as above.
  std::vector<TMenuItem*> BarItems() const;

private:
  HWND FWindowHandle = nullptr;
  bool FAutoMerge = false;
  TMainMenu* FMerged = nullptr;       // the menu shown merged into this one
  TMainMenu* FMergedInto = nullptr;   // the menu bar this one is shown merged into
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
// Menu animations as a set of bits; maNone turns the system's popup animation off.
using TMenuAnimation = std::uint8_t;
constexpr TMenuAnimation maLeftToRight = 1, maRightToLeft = 2, maTopToBottom = 4, maBottomToTop = 8,
                         maNone = 16;

class TPopupMenu : public TMenu {
  ORBEX_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // Shows the menu at a screen point and runs the chosen item; returns when the menu closed.
  virtual void Popup(int X, int Y);
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  TMenuAnimation MenuAnimation() const { return FMenuAnimation; }
  void SetMenuAnimation(TMenuAnimation Value) { FMenuAnimation = Value; }
  // The window the menu reports to while tracked (a form for its system menu); 0: the popup
  // list window.
  HWND WindowHandle() const { return FWindowHandle; }
  void SetWindowHandle(HWND Value) { FWindowHandle = Value; }
  TNotifyEvent OnPopup;

private:
  TMenuAnimation FMenuAnimation = 0;
  HWND FWindowHandle = nullptr;
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = TPopupAlignment::paLeft;
};

// ---------------------------------------------------------------------------------------------
// Menu messages, for any window that shows a menu (forms and the popup window). Each returns
// true when it handled the message. Items are found by their command number in the table of
// live items, never through pointers carried by the message.
TMenuItem* FindMenuItemByCommand(std::uint16_t Command);
// The live item a WM_MEASUREITEM/WM_DRAWITEM is about (by its identifier, else by its item
// data, which holds the command number), or null.
TMenuItem* ItemOfOwnerDrawMessage(UINT id, ULONG_PTR data);
bool MenuMeasureItem(MEASUREITEMSTRUCT& Info);
bool MenuDrawItem(const DRAWITEMSTRUCT& Info);
// WM_INITMENUPOPUP: the items of the sub-menu about to open update their actions.
bool MenuInitPopup(HMENU Menu);
// The accelerator character of a caption ("&File" -> 'F'; "&&" shows a plain '&'), 0 when
// none; and whether a typed character is it, in either case.
char AccelChar(const std::string& Caption);
bool IsAccel(char Char, const std::string& Caption);
// WM_MENUCHAR: the answer for a character typed in an open menu (owner-drawn items have no
// accelerators the system could see): execute the enabled item whose caption has it.
LRESULT MenuChar(char Char, HMENU Menu);
// The window all popup menus report to (class "TPUtilWindow"); created on first popup.
HWND PopupListWindow();
// Called whenever a menu loop ends (WM_EXITMENULOOP at forms and at the popup list window,
// and when TPopupMenu::Popup returns), so that whoever caches per-popup pictures can let go of
// them. One handler; setting an empty one removes it.
void SetMenuLoopEndHandler(std::function<void()> Handler);
void MenuLoopEnded();

// Start-up step of the unit: registers the stored-form classes (menus) by name. Runs once; later
// calls do nothing.
void InitMenusUnit();
