// The popup-menu window adapter: TlxMnuWnd wraps a window of the system's popup-menu class
// ("#32768") while skinned popup menus show. It paints the window's frame and background from
// the skin ("MAINMENU"), fades the window in through a layered window at the menus' alpha and,
// when one popup of a chain goes, has the others repaint. The items themselves are drawn by the
// skinned menus (sSkinableMenus), which build each level's background and set the program-wide
// popup flags this adapter reads.
//
// Ownership: the thread hook makes one adapter per popup window and appends it to the popup
// array (TlxMnuArray), which owns them. They all go together: when the last popup window of a
// menu goes, when the hook is removed, and at shut-down. An adapter whose window is going never
// frees itself under its own window method: the array is freed once the outermost popup
// adapter's method has returned. GUI thread only.
#pragma once

#include "skin/adapters/lxScrollWnd.h"

#include <memory>
#include <vector>

class TlxMnuWnd : public TlxScrollWnd {
public:
  void HandleMessage(TMessage& message) override;

  // Set by the skin's command 14 while the window shows, cleared when a background is painted;
  // answered to command 8.
  bool PendingRepaint() const { return FPending; }
  // The window has been faded in.
  bool Shown() const { return FShown; }
  // The window went (WM_DESTROY seen while hooked).
  bool Destroyed() const { return FDestroyed; }

  TlxMnuWnd() = default;   // made through CreateForHandle

protected:
  // Popup windows keep the system's visual style.
  bool KeepsVisualStyle() const override { return true; }
  // Command 23: the cache rebuilt.
  void RebuildCache() override { PrepareCache(); }
  // The section item in state 0 as seen at the window's screen place, with the section's frame,
  // into the data's cache when the background is dirty or the size changed.
  virtual void PrepareCache();

private:
  void Dispatch(TMessage& message);
  void Destroying(TMessage& message);
  void EraseBackground(TMessage& message);
  void PositionChanging(TMessage& message);
  void PaintFrame(TMessage& message);
  // The menus' alpha applied (255: not layered; else layered with that alpha); shown from now.
  void FadeIn();

  bool FPending = false;
  // The show step made the window layered and see-through.
  bool FHidden = false;
  bool FShown = false;
  bool FDestroyed = false;
};

// The popup array: every popup-menu adapter the thread hook made, first made first.
using TlxMnuArray = std::vector<std::unique_ptr<TlxMnuWnd>>;
const TlxMnuArray& SkinnedPopupMenus();
// Takes a new adapter into the array.
void AppendSkinnedPopupMenu(std::unique_ptr<TlxMnuWnd> adapter);
// Frees every popup adapter (each lets go of its window first) and empties the array; the
// popups-painted flag is cleared. Asked while a popup adapter's window method runs, it is done
// when the outermost one returns.
void FreeSkinnedPopupMenus();
