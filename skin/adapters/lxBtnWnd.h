// The push-button adapters: TlxBtnWnd paints a push-button window that is not a skinned
// control (a button of a system dialog, the framework's TButton) from the skin section
// "BUTTON" through the skin data's cache image, with hover (the section's glow), focus,
// pressed and disabled looks; TlxBitBtnWnd adds a glyph: the bitmap a bare button window
// shows (BM_GETIMAGE) or an owning bitmap button's published "Glyph", laid out by its
// "NumGlyphs", "Layout", "Spacing" and "Margin". Beside them the helpers the button-like
// adapters (check boxes, group boxes, panels, status bars) share.
//
// Ownership: an adapter owns the message font its captions are drawn in (made once, freed
// with it); the cache image belongs to the skin data; a bare window's bitmap stays the
// window's (copied for each paint, never freed here). GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <functional>
#include <memory>
#include <string>

#include "framework/win/WinTypes.h"

class TBitmap;
class TCanvas;
struct TsBackgroundInfo;
struct TsGeneralData;

class TlxBtnWnd : public TlxMainWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The face state: 2 pushed, 0 disabled, 1 focused, hot or default, else 0.
  int CurrentState() const;
  bool MouseInside() const { return FMouseInside; }

  TlxBtnWnd() = default;   // made through CreateForHandle

protected:
  // The focus is read once here and then followed by the focus messages: asking the system at
  // every paint costs more than the paint (a server call under Wine).
  void AttachToWindow(bool repaintFrame) override;
  // "BUTTON" when no section is given.
  void TakeSection(const std::string& section) override;
  // Command 23: the cache prepared for the current state.
  void RebuildCache() override { PrepareCache(); }

  // The caption into the cache: font, rectangle, flags, skin text, focus frame.
  virtual void DrawCaption();
  // The glyph into the cache (none for a push button).
  virtual void DrawGlyph() {}
  // The glyph's size (0 x 0 for a push button).
  virtual TSize GlyphSize() { return TSize{0, 0}; }
  // `text` in the section's colours (hot in a non-zero state) within `r`.
  virtual void DrawTextIn(const std::string& text, const TRect& r, unsigned format);
  // Where the caption goes (cache coordinates).
  virtual TRect CaptionRect();
  // The width the caption is measured in.
  virtual int MaxTextWidth();
  // The caption's size in the cache canvas's font, measured in MaxTextWidth.
  virtual TSize MeasureCaption();
  // The cache sized to the window, the section for the state over the parent's background,
  // caption and glyph, a disabled window blended with the background.
  virtual void PrepareCache();

  // The cache canvas with the caption font selected: the owner control's, else the message font.
  TCanvas* CaptionCanvas();
  bool Pressed() const { return CurrentState() == 2; }

private:
  void Paint(HDC given);
  void Redraw();
  void HoverIn(TMessage& message);
  void HoverOut(TMessage& message);
  void WMFocus(TMessage& message);
  void WMMouseMove(TMessage& message);

  TOwnedFont FCaptionFont;
  bool FMouseInside = false;
  bool FHasFocus = false;
};

class TlxBitBtnWnd : public TlxBtnWnd {
public:
  TlxBitBtnWnd() = default;   // made through CreateForHandle

protected:
  void DrawGlyph() override;
  TSize GlyphSize() override;
  TRect CaptionRect() override;
  int MaxTextWidth() override;

private:
  // The owning bitmap button's published glyph and its count (below 1 counting as 1).
  TBitmap* OwnerGlyph() const;
  int NumGlyphs() const;
  // The owning button's glyph and caption placed (cache coordinates).
  struct TPlace {
    TRect Glyph, Caption;
  };
  TPlace OwnerPlace();
};

// ---------------------------------------------------------------------------------------------
// Shared by the button-like adapters.

// The adapter paints: not defunct, with data naming a section of a live skin.
bool AdapterSkinned(const TlxMainWnd& adapter);
// The section record of the data, or null.
const TsGeneralData* AdapterSection(const TsCommonData* data);
// The data's cache image made and sized to the window; null when the window has no area (the
// cache is then empty) or the data has no live manager.
TBitmap* SizedCache(TsCommonData* data, HWND wnd);
// The 32-bit work bitmap an adapter keeps in `slot` between paints, made on first use and
// grown to at least `w` x `h`; the caller paints into its top-left `w` x `h`. Making a bitmap
// (and its DC) for every item or paint costs more under Wine than what is painted into it, and
// items of different sizes would make it anew at each one if it were sized to fit.
TBitmap* KeptWorkBitmap(std::unique_ptr<TBitmap>& slot, int w, int h);
// A paint message: `paint` called with the message's DC (a print) or, for a real paint, with
// none between BeginPaint and EndPaint, so the update region is always validated; answers 0.
void HandlePaintMessage(HWND wnd, TMessage& message, const std::function<void(HDC given)>& paint);
// WM_PAINT as HandlePaintMessage and WM_PRINT (`paint` with the message's DC, answer 0): true
// when the message was one of them.
bool HandlePaintOrPrint(HWND wnd, TMessage& message, const std::function<void(HDC given)>& paint);
// The canvas takes the owner control's font, else `fallback` (none: the canvas keeps its own),
// only when its font differs: a font made anew at every paint is the slowest part of a paint.
void SelectCaptionFont(TCanvas* canvas, TControl* owner, HFONT fallback);
// `handling` run with the window's redrawing switched off (WM_SETREDRAW), so that the system's
// own painting of the message does not reach the screen.
void WithRedrawOff(HWND wnd, const std::function<void()>& handling);
// The cache's part `source` (cache coordinates) copied to `dc` at `dest`, or, for a null DC,
// to a window DC: a paint the adapter sends itself has no update region, so BeginPaint's DC
// would show nothing.
void CopyCacheTo(HWND wnd, TBitmap* cache, HDC dc, const TRect& source, TPoint dest);
// The parent's background (`bg`, at the window's place) into `r` of `dc` (window coordinates):
// the bitmap's piece or the colour; false, with nothing painted, when the bitmap does not reach
// the window's place.
bool PaintParentBackground(HDC dc, const TRect& r, const TsBackgroundInfo& bg);
// The whole cache of a disabled window blended with the parent's background behind it.
void BlendDisabled(TBitmap* cache, HWND wnd, TControl* owner);
