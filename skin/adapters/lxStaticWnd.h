// The adapters of windows that only show something: static text (TlxStaticWnd), statics with an
// edge (TlxEdgeWnd), icon and bitmap statics (TlxIconWnd), link windows whose caption carries
// anchor tags (TlxLinkWnd) and the size grip (TlxSizerWnd). Each paints its window through the
// skin data's cache image over the parent's background.
//
// Ownership: an icon static's adapter owns a copy of the window's bitmap (the window keeps its
// own); the cache image belongs to the skin data. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <memory>

class TBitmap;

class TlxStaticWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The window painted through the cache into `dc` (the window DC when null): the parent's
  // background and the section, then the content, copied when DrawContent answers true.
  virtual void PaintThroughCache(HDC dc);
  // The content drawn into the cache; true when the cache is ready to be copied. The caption in
  // the system's message font and the section's normal colours.
  virtual bool DrawContent();

  TlxStaticWnd() = default;   // made through CreateForHandle

protected:
  // The caption drawn into the cache with `format`, in the message font (underlined on demand),
  // within `r`.
  void DrawCaption(const std::string& text, unsigned format, const TRect& r, bool underline);
  // The cache sized to the window and painted with the parent's background and the section.
  void PrepareCache();
  // The redraw after a move, enabling or a new text.
  void Redraw();
};

// A static with an edge: the system paints the window, the skin its 2-pixel frame.
class TlxEdgeWnd : public TlxStaticWnd {
public:
  void HandleMessage(TMessage& message) override;
  void PaintThroughCache(HDC dc) override;

  TlxEdgeWnd() = default;
};

// An icon or bitmap static.
class TlxIconWnd : public TlxStaticWnd {
public:
  ~TlxIconWnd() override;
  void HandleMessage(TMessage& message) override;
  bool DrawContent() override;

  TlxIconWnd() = default;

private:
  bool DrawBitmap(TBitmap* cache);
  // A copy of the window's bitmap, taken at the first paint and again after STM_SETIMAGE: the
  // window's own bitmap stays the application's.
  std::unique_ptr<TBitmap> FBitmap;
};

// A link window: its caption without anchor tags, underlined.
class TlxLinkWnd : public TlxStaticWnd {
public:
  void HandleMessage(TMessage& message) override;
  bool DrawContent() override;

  TlxLinkWnd() = default;
};

// A size grip: the skin's grip image at its bottom-right corner over the parent's background.
class TlxSizerWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  TlxSizerWnd() = default;

private:
  void WMPaint(HDC given);
};
