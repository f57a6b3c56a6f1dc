// The native tool-bar adapter: a bare tool-bar window ("ToolbarWindow32", found in dialogs of
// other code) painted button by button from the window's own button table: the bar's section
// and frame, "TOOLBUTTON" faces by state (hot under the cursor, pressed content one pixel
// down), images from the bar's image list, the whole-drop-down arrow, captions split over two
// lines, "DIVIDER" separators where the skin frames them, disabled buttons blended.
//
// Ownership: the caption font is the window's; the cache image belongs to the skin data; the
// adapter keeps its work bitmaps from one paint to the next. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <memory>
#include <string>

class TBitmap;

class TlxToolBarWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The caption of the button with command `id`; empty for none.
  std::string ButtonText(int id) const;
  // Half of what the window is higher than its client area.
  int BorderWidth() const { return FBorderWidth; }

  TlxToolBarWnd() = default;   // made through CreateForHandle

protected:
  // "BAR" when no section is given.
  void TakeSection(const std::string& section) override;
  void RebuildCache() override;

private:
  // The cache rebuilt when its background is marked changed.
  void Prepare();
  // `cursor` in client coordinates makes the button under it hot.
  void PaintButton(int index, TBitmap* target, TPoint cursor);
  void PaintTo(HDC dc);
  void PaintFrame();
  bool Locked();

  int FBorderWidth = 0;
  // The frame being painted, one button's face and a disabled button's blend.
  std::unique_ptr<TBitmap> FFrame, FWork, FBlend;
};
