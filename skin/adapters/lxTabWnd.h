// The tab and page adapters: TlxTabControlWnd paints a native tab control ("SysTabControl32")
// from the skin: the page area from "PAGECONTROL" (by the tabs' side; "CHECKBOX" without tabs),
// the tab strip over the parent's background with the rows further back first, every tab from
// "TABTOP" ... "TABRIGHT" (or "BUTTON"/"TOOLBUTTON" for button tabs) with its image and caption,
// vertical tabs with rotated captions, the selected tab last and over the page frame; its
// scroll arrows get a spin adapter. TlxPageControlWnd adds the pages: each page window of the
// control gets a TlxPageWnd, which paints the page with the background the control gives it.
//
// Ownership: a tab adapter owns its arrows' spin adapter, its work bitmaps and the turned font
// of vertical captions. Page adapters belong to the program-wide page list: one whose window
// is gone is freed at the next AdaptPages of any page control (never inside its own window
// procedure), the rest at the "lxSBUtils" shut-down.
// GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <memory>
#include <string>

#include "framework/win/WinTypes.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/core/lxTabWndCore.h"

class TBitmap;

class TlxTabControlWnd : public TlxMainWnd {
public:
  ~TlxTabControlWnd() override;
  void HandleMessage(TMessage& message) override;

  // The display area (TCM_ADJUSTRECT of the client area), its top 2 lower.
  virtual TRect DisplayRect() const;
  // The page frame: the client area met by the display area on the tabs' side.
  virtual TRect PageAreaRect() const;

  TlxTabPos Position() const;
  int ButtonKind() const;
  int TabCount() const;
  // The spin adapter of the control's scroll arrows, or null.
  TlxSpinWnd* Arrows() const { return FArrows.get(); }
  // Paints the whole control into `dc` (a window DC when null).
  void PaintControl(HDC dc);

  TlxTabControlWnd() = default;   // made through CreateForHandle

protected:
  // "PAGECONTROL" when no section is given.
  void TakeSection(const std::string& section) override;
  void DetachParts() override;
  // Looks for the control's arrows: a spin adapter made for a new "msctls_updown32" child,
  // the old one freed when the child is gone or the skin is.
  void UpdateArrows();

private:
  TRect StripRect() const;
  TRect TabItemRect(int index) const;
  int SelectedTab() const;
  void PaintStrip(TBitmap* cache, const struct TsBackgroundInfo& bg);
  // One tab into `target` at its place less `offset`; state 2 paints the selected tab.
  void PaintTab(int index, int state, TBitmap* target, TPoint offset);
  // The image and caption of a tab into the top-left `size` of `face`.
  void PaintContent(TBitmap* face, TSize size, int index, int state, int section);

  std::unique_ptr<TlxSpinWnd> FArrows;
  // The section the adapter was given: "PAGECONTROL" follows the tabs' side.
  std::string FOwnSection;
  int FLastWidth = 0, FLastHeight = 0;
  // One tab's face and the selected tab's piece, kept from one paint to the next.
  std::unique_ptr<TBitmap> FFace, FPiece;
  // The turned caption font of vertical tabs and the description it was made from.
  TOwnedFont FTurnedFont;
  LOGFONTA FTurnedDesc{};
};

class TlxPageControlWnd : public TlxTabControlWnd {
public:
  void HandleMessage(TMessage& message) override;
  // Every child page window of the control without an adapter gets a TlxPageWnd ("CHECKBOX",
  // the control's manager) in the page list; page adapters whose window is gone are freed.
  void AdaptPages();

  TlxPageControlWnd() = default;   // made through CreateForHandle

protected:
  void AttachToWindow(bool repaintFrame) override;
};

class TlxPageWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  TlxPageWnd() = default;   // made through CreateForHandle

protected:
  void AttachToWindow(bool repaintFrame) override;

private:
  // The page's piece of the parent's background into `dc`; false when there is none to show.
  bool PaintPage(HDC dc);
};

// The program-wide page adapters (for tests and the shut-down step).
int PageAdapterCount();
void FreePageAdapters();
