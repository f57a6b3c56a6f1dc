// The spin adapter: an up-down window ("msctls_updown32", alone or as a tab control's scroll
// arrows) painted as two skinned buttons with the skin's scroll-arrow glyphs, each half with
// its own hot and pressed look, from the section given (normally "UPDOWNBTN", "BUTTON" when the
// skin lacks it).
//
// Ownership: the cache image belongs to the skin data. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

class TlxSpinWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // Up-down windows without UDS_HORZ stack their halves.
  virtual bool IsVertical() const;
  // The states of the halves at the last paint (0 normal, 1 hot, 2 pressed).
  int FirstState() const { return FFirstState; }
  int SecondState() const { return FSecondState; }

  // Pixels at the left of a vertical spin that are left alone.
  int LeftOffset = 0;

  TlxSpinWnd() = default;   // made through CreateForHandle

protected:
  // "UPDOWNBTN" when no section is given.
  void TakeSection(const std::string& section) override;
  void RebuildCache() override { PrepareCache(); }

private:
  // "BUTTON" when the skin lacks the section.
  void FallBackToButton();
  void PrepareCache();
  void Paint(HDC given);
  void Redraw();
  void WMMouseMove(TMessage& message);

  bool FMouseDown = false;
  int FFirstState = 0, FSecondState = 0;
};
