// Skinned menus: the skin manager's object that makes the program's main menus and popup menus
// owner-drawn and paints them from the skin. It puts its own measure and draw handlers into the
// items' events (only where the application left them empty), builds one background bitmap per
// open popup level ("MAINMENU" with its border mask, the icon line, the extra line), gives the
// popup window the mask's region, and paints popup items, dividers, caption items ("-Group-")
// and the items of a skinned form's menu line.
//
// Owns: the caption font; the process-wide list of popup backgrounds (an entry released when its
// popup window goes; all when a menu loop ends, on skin commands 1 and 2); the extra line's
// glyph bitmap; the two program-wide popup flags the popup-window adapters read.
// The layout arithmetic is window-free (skin/core/sMenuLayout).
//
// Sections: popup-info list; the object (hooking, measures, backgrounds, painting); links.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "skin/core/sMenuLayout.h"

class TsSkinManager;

// Raised after the skin painted an item, on the item's off-screen canvas.
using TsMenuManagerDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                                      TOwnerDrawState State, TsMenuItemType ItemType)>;

// One open popup level: its root item (the first item of its list), its background, its window
// and whether the extra line shows. The list keeps the background; copies only look at it.
struct TsPopupInfo {
  TMenuItem* Root = nullptr;
  TBitmap* Background = nullptr;
  HWND Window = nullptr;
  bool ExtraLineVisible = false;
};

// The private message an item painter posts to the application's window when it cannot reach
// the popup window itself (WParam 0, LParam the item's command number), and the one naming the
// popup window (LParam the window).
constexpr UINT WM_POPUPITEMPAINTED = 0xBCB3;
constexpr UINT WM_POPUPWINDOWKNOWN = 0xBCB4;

class TsSkinableMenus : public TPersistent {
  ORBEX_CLASS(TsSkinableMenus, TPersistent)
public:
  explicit TsSkinableMenus(TsSkinManager* owner);
  ~TsSkinableMenus() override;

  // --- published
  TAlignment Alignment = taLeftJustify;
  int BevelWidth = 0;   // stored only
  int BorderWidth = 3;
  int Margin = 2;
  int Spacing = 8;
  TFont* CaptionFont() const { return FCaptionFont.get(); }
  // The border width of the "MAINMENU" mask (with section inheritance), computed on first use
  // after each skin change; 3 for a mask without width, 0 without a mask.
  int GetSkinBorderWidth();
  void SetSkinBorderWidth(int value) { FSkinBorderWidth = value; }
  TsMenuManagerDrawItemEvent OnDrawItem;

  TsSkinManager* Owner() const { return FOwner; }
  bool Active() const { return FActive; }
  // On change only: every menu of the application hooked or unhooked.
  void SetActive(bool active);
  // SetActive with the manager's SkinnedPopups (a skin was loaded).
  void ReapplyOwnerDraw();

  // --- hooking
  void HookAllMenus(bool active);
  void HookPopupMenu(TPopupMenu* menu, bool activate);
  void AttachSubItemHandlers(TMenuItem* item, bool activate);
  void AttachItemHandlers(TMenuItem* item, bool activate);
  void AttachMainMenuHandlers(TMainMenu* menu, bool activate);

  // --- item queries
  static bool IsCaptionItem(const TMenuItem* item);
  static bool IsTopLineItem(const TMenuItem* item);
  static TsGlyphSize GlyphSize(TMenuItem* item);
  static bool IsFirstVisible(const TMenuItem* item);
  static bool IsLastVisible(const TMenuItem* item);
  static bool InLaterColumn(const TMenuItem* item);

  // --- popup backgrounds
  // With an item: the entry of its popup level, built first when there is none and a width is
  // given; without: the entry of the window. A copy; empty when none.
  TsPopupInfo FindPopupInfo(TMenuItem* item, int width, HWND window, int height);
  int ExtraLineWidth(const TsPopupInfo& entry) const;
  static void ClearPopupInfo();
  static void ReleasePopupInfo();
  // The popup window went: its own entry dropped; the other levels keep theirs to repaint from.
  static void ReleasePopupInfo(HWND window);
  // The menu loop ended: every background released (also those of popups shown without a
  // window adapter, which never hear of their window going) and no popup is in progress.
  static void EndMenuLoop();
  static int PopupInfoCount();
  const std::vector<TRect>& RegionCutRects() const { return FRegionCutRects; }
  void BuildPopupBackground(TMenuItem* item, int width, HWND window, int height);
  void PaintPopupBorder(HWND window, TBitmap* bitmap);

  // --- measures
  void MeasurePopupItem(TObject* sender, TCanvas* canvas, int& width, int& height);
  int ItemHeight(TMenuItem* item);
  int PopupHeight(TMenuItem* item);
  int PopupWidth(TMenuItem* item);
  void MeasureMenuLineItem(TObject* sender, TCanvas* canvas, int& width, int& height);

  // --- painting
  void PaintPopupItem(TObject* sender, TCanvas* canvas, const TRect& rect, TOwnerDrawState state);
  void PaintDivider(TCanvas* canvas, const TRect& rect, const TsPopupInfo& entry, TBitmap* background,
                    TMenuItem* item);
  void PaintCaptionItem(TCanvas* canvas, const TRect& rect, const TsPopupInfo& entry, TBitmap* background,
                        TMenuItem* item);
  void PaintMenuLineItem(TObject* sender, TCanvas* canvas, const TRect& rect, TOwnerDrawState state);

private:
  void QueryExtraLine(TMenuItem* root, bool& lineVisible);
  int MeasuredWidth(TMenuItem* item, HDC dc);
  std::vector<TsMenuColumnItem> Columns(TMenuItem* item);
  bool HasPopupHandlers(const TMenuItem* item) const;
  void SetPopupHandlers(TMenuItem* item);
  void SetMenuLineHandlers(TMenuItem* item);
  void ClearHandlers(TMenuItem* item);

  TsSkinManager* FOwner;
  std::unique_ptr<TFont> FCaptionFont;
  int FSkinBorderWidth = -1;
  bool FActive = false;
  bool FPaintingBorder = false;
  std::vector<TRect> FRegionCutRects;
  // Command numbers of the items given our handlers: items outside the application's
  // components are found again through the table of live items when we let go.
  std::set<std::uint16_t> FHooked;
};

// Program-wide state of the skinned popup windows, GUI thread only.
struct TsPopupFlags {
  // A skinned popup level is measured or built (before its window shows): popup-window adapters
  // fade the window in and paint its frame and background. Cleared when a popup window goes
  // and when the menu loop ends.
  bool InProgress = false;
  // A popup background was built: popup-window adapters take their frame from it. Cleared when
  // the popup-window adapters go.
  bool Painted = false;
};
TsPopupFlags& PopupFlags();

// Where a popup window's client area lies inside the window (its frame's width; a background
// covers the whole window): 3 on Windows, 0 where the popup window has no non-client area; the
// system's usual 3 pixels when the window cannot tell.
TPoint PopupClientOffset(HWND window);

// ---------------------------------------------------------------------------------------------
// Links to the units that build on the menus; empty until they fill them.
// The skinned form's menu line behind a bar item.
struct TsMenuLineSpot {
  TBitmap* Line = nullptr;   // the menu-line image (the form's)
  TPoint ItemInLine;         // where the item lies in it
  bool FormActive = true;    // the line shows the form's active state
  bool BorderWindow = false; // the frame goes to the screen through the extended-border window
};
struct TsSkinableMenusLinks {
  // The menu line of the skinned form whose menu bar `menuWindow` shows, for `itemRect` (in the
  // coordinates the item is painted in, on `dc`); false when the window has no skinned menu line.
  std::function<bool(HWND menuWindow, HDC dc, const TRect& itemRect, TsMenuLineSpot& spot)> MenuLineBackground;
};
TsSkinableMenusLinks& SkinableMenusLinks();

// True when the system lays menus out right to left and the menu does not read left to right.
bool MenuReadsRightToLeft(const TMenu* menu);
