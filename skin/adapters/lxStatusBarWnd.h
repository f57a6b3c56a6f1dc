// The status-bar adapter: native status bars ("msctls_statusbar32") and the framework's
// TStatusBar painted from the skin section "STATUSBAR": the section over the whole bar, each
// part framed by the section's "STATUSPANELMASK" or divided from the next by a "DIVIDER"
// strip, the part texts in the section's colours. A foreign bar's texts are read from the
// control; owner-drawn parts are left to their owner.
//
// Ownership: the owning TStatusBar is borrowed from the skin data; the cache image belongs to
// the skin data. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <string>

class TStatusBar;

class TlxStatusBarWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The owning framework status bar; null for a foreign bar.
  TStatusBar* OwnerBar() const;
  // The text part `part` shows (-1: the simple text); empty for an owner-drawn part.
  std::string PartText(int part) const;

  TlxStatusBarWnd() = default;   // made through CreateForHandle

protected:
  // "STATUSBAR" when no section is given.
  void TakeSection(const std::string& section) override;
  // Command 23: the cache rebuilt.
  void RebuildCache() override { PrepareCache(); }

private:
  bool Simple() const;
  // The section over the whole bar, then the parts.
  void PrepareCache();
  void PaintPart(int part, const TRect& rect, bool last, bool simple, int panelMask, int dividerMask);
  // The whole bar into `dc`.
  void PaintTo(HDC dc);
};
