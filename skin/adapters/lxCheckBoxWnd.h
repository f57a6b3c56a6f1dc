// The check-box and radio-button adapter: check-box and radio windows (system dialogs, the
// framework's check boxes and radio buttons) painted from the skin section "CHECKBOX" for the
// face and caption, and the check glyph from the mask entries of the skin's "GLOBALINFO"
// section ("BOXCHECKED", "RADIOUNCHECKED", "BOXGRAYED", ...). Owner-drawn buttons are left to
// their owner apart from the background on erase.
//
// Ownership: the cache image belongs to the skin data; nothing else is held. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <string>

class TlxCheckBoxWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  bool OwnerDrawn() const { return FOwnerDrawn; }
  // The glyph's size for the window's kind and check state (16 x 16 without skin glyphs).
  TSize GlyphSize() const;

  TlxCheckBoxWnd() = default;   // made through CreateForHandle

protected:
  // "CHECKBOX" when no section is given; the owner-drawn flag read from the style.
  void TakeSection(const std::string& section) override;
  // Command 23: the cache prepared.
  void RebuildCache() override { PrepareCache(); }

private:
  // The mask index of the glyph the window shows now; -1 when the skin has none.
  int GlyphMask() const;
  // Face, caption and glyph into the cache; a disabled window blended with the background.
  void PrepareCache();
  void DrawCaption(const TRect& r, unsigned format, bool hot);
  void Paint(HDC given);
  void EraseOwnerDrawn(HDC dc);
  // The window painted again at once (the picture goes to a window DC).
  void Repaint();

  bool FOwnerDrawn = false;
};
