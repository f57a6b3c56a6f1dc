// The tree view adapter: a system tree view ("SysTreeView32") or a framework tree view keeps
// the edit adapter's frame, scroll bars and colours, and its items take the section's
// background and font colour (the window colours in dialog mode).
//
// Ownership: the tree's own background and text colours are read at attach and given back
// when the adapter detaches, whether the tree is shown or not. GUI thread only.
#pragma once

#include "skin/adapters/lxEditWnd.h"

class TlxTreeViewWnd : public TlxEditWnd {
public:
  // Gives the tree its colours back first.
  ~TlxTreeViewWnd() override;

  void StoreControlColors() override;
  void RestoreControlColors() override;
  // The edit adapter's colours, then the tree's background (unless the control has its own
  // colour) and text (unless it has its own font) from the section's state: hot when the
  // section has more than one state and the control is active.
  void ApplySkinColors() override;
  void HandleMessage(TMessage& message) override;

  TlxTreeViewWnd() = default;   // made through CreateForHandle

private:
  // The background colour the tree is given.
  TColor TreeColor() const;

  COLORREF FSavedBk = CLR_NONE, FSavedText = CLR_NONE;
  bool FColorsSaved = false;
};
