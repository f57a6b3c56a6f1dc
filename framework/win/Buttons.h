// The speed button: a graphic control (no window of its own) that paints a push face, a glyph
// from a strip of state images and a caption, and that may stay down alone or as one of a group
// of buttons of its parent sharing a GroupIndex.
//
// Owns its glyph bitmap. GUI thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"

// Where the glyph stands beside the caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The state the face shows: up, disabled, pressed by the mouse, held down (Down).
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
  ORBEX_CLASS(TSpeedButton, TGraphicControl)
public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  TButtonState State() const { return FState; }
  // Buttons of one parent with the same non-zero GroupIndex stay down one at a time; 0 makes a
  // button that springs back up.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int v);
  // Whether the down button of a group may be clicked up, leaving none down.
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v);
  // Down only in a group (GroupIndex non-zero); putting one down puts the others up.
  bool Down() const { return FDown; }
  void SetDown(bool v);
  // A flat button shows its face only while the mouse is over it or it is down.
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* v) { FGlyph->Assign(v); }
  // The glyph strip holds this many state images side by side (up, disabled, down,
  // exclusive); a count below 1 counts as 1.
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int v);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout v);
  // Pixels from the layout's side to the glyph; -1 centres glyph and caption.
  int Margin() const { return FMargin; }
  void SetMargin(int v);
  // Pixels between glyph and caption.
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v);
  // Marks a small button (a skin paints it with its small-button section).
  bool SmallButton() const { return FSmallButton; }
  void SetSmallButton(bool v);
  bool MouseInControl() const { return FMouseInControl; }

  // Draws the glyph image of the current state (its column of the strip, the first when the
  // strip has none for it) into `dest` of `dc`, its bottom-left pixel's colour see-through.
  // Nothing for an empty glyph or rectangle.
  void DrawGlyph(HDC dc, const TRect& dest);
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  // The others of the group go up when this one went down.
  void UpdateExclusive();
  void ButtonPressed(TMessage& m);
  void GlyphChanged(TObject* Sender);

  std::unique_ptr<TBitmap> FGlyph;
  TButtonState FState = bsUp;
  TButtonLayout FLayout = blGlyphLeft;
  int FGroupIndex = 0;
  int FNumGlyphs = 1;
  int FMargin = -1;
  int FSpacing = 4;
  bool FAllowAllUp = false;
  bool FDown = false;
  bool FFlat = false;
  bool FSmallButton = false;
  bool FMouseInControl = false;
  bool FDragging = false;
};

// Start-up step of the unit: registers the speed button by name. Runs once.
void InitButtonsUnit();
