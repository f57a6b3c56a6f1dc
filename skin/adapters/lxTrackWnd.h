// The track-bar adapter: a track-bar window ("msctls_trackbar32") painted from the skin section
// "TRACKBAR": the section over the bar, the channel from its "SLIDERCHANNEL" mask at the mask's
// own thickness, the tick marks from "TICKHORZ"/"TICKVERT" (plain lines without them), the thumb
// from "SLIDERMASK" ("SLIDERVMASK" for vertical bars), pressed while the mouse button is down.
//
// Ownership: the cache image belongs to the skin data; the adapter keeps the stretched thumb's
// work bitmap. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <memory>

class TlxTrackWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // TBS_VERT.
  virtual bool IsVertical() const;
  bool MousePressed() const { return FMousePressed; }

  TlxTrackWnd() = default;   // made through CreateForHandle

protected:
  // "TRACKBAR" always: the bar paints nothing else.
  void TakeSection(const std::string& section) override;
  void RebuildCache() override { PrepareCache(); }

private:
  void PrepareCache();
  void PaintTicks(const TRect& channel, const TRect& thumb);
  void PaintThumb(const TRect& thumb);
  void Paint(HDC given);

  bool FMousePressed = false;
  // A thumb of another size than the mask's is painted through this at the mask's size.
  std::unique_ptr<TBitmap> FThumb;
};
