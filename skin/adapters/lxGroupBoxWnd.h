// The group-box adapter: group-box windows (system dialogs, the framework's group boxes)
// painted from the skin section "GROUPBOX": a framed area that starts half a caption height
// below the top, and the caption on the parent's background cut into the frame. In dialog mode
// (group boxes of skinned system dialogs) the interior is left clear for the dialog's own
// background.
//
// Ownership: the cache image belongs to the skin data; nothing else is held. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <string>

class TlxGroupBoxWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The caption band in window coordinates, measured in the window's font.
  TRect CaptionRect();

  TlxGroupBoxWnd() = default;   // made through CreateForHandle

protected:
  // "GROUPBOX" when no section is given.
  void TakeSection(const std::string& section) override;
  // Command 23: the cache prepared.
  void RebuildCache() override { PrepareCache(); }

private:
  void SelectFont();
  // The top band on the parent's background, the section below it, the caption.
  void PrepareCache();
  // The cache copied to `given` (a window DC when null: the picture also comes from the
  // non-client pass, where the paint DC would clip it all), children left out and told to
  // refresh; the interior left out in dialog mode.
  void Paint(HDC given);
  void Redraw();
};
