// The hint window: the small pop-up that shows a control's hint near the mouse, in the system's
// tool-tip colours and status font, shown without taking the activation. Also the hint record
// a control receives with CM_HINTSHOW and the helpers that split "short|long" hint texts. The
// application's hint logic (when a hint shows and hides) is TApplication's, implemented in
// HintWindow.cpp next to the window it drives.
//
// Ownership: the application owns its one hint window (made on the first hint, freed with the
// application); a THintWindow owns its window handle like any windowed control. THintInfo only
// borrows the control it names.
#pragma once

#include <windows.h>

#include <string>

#include "framework/win/Controls.h"

// What the application is about to show, sent by address as the LParam of CM_HINTSHOW to the
// control under the mouse. The control may change the text, position, width or colour; a
// non-zero result (or an empty HintStr) shows no hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  // Top left of the hint window, screen coordinates (below the cursor by default).
  TPoint HintPos;
  // Widest text line before wrapping, pixels.
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  // The text shown: the short part of the control's hint.
  std::string HintStr;
  // The cursor in the control's client coordinates.
  TPoint CursorPos;
};

// The part before the first '|' (the whole text when there is none): what the window shows.
std::string GetShortHint(const std::string& Hint);
// The part after the first '|' (the whole text when there is none): Application->Hint, for a
// status bar.
std::string GetLongHint(const std::string& Hint);

// A top-level pop-up of class "THintWindow" (a thin border, tool-window and topmost styles,
// never activated). Invisible to the mouse: the window under it keeps the mouse messages.
class THintWindow : public TCustomControl {
  ORBEX_CLASS(THintWindow, TCustomControl)
public:
  // Tool-tip colours (clInfoBk, clInfoText) and the system's status font.
  explicit THintWindow(TComponent* AOwner);
  ~THintWindow() override;

  // Shows the hint at Rect (screen coordinates; moved inside the work area of the monitor it
  // is on, keeping its size) with AHint as the window text, without activating it. Raises
  // EOSError when the window cannot be made.
  virtual void ActivateHint(TRect Rect, const std::string& AHint);
  // As ActivateHint, the window blending in over Time milliseconds (shown at once where the
  // system cannot animate it).
  void ActivateHintFading(TRect Rect, const std::string& AHint, DWORD Time);
  // The window rectangle (origin 0, 0) that shows AHint with lines wrapped at MaxWidth
  // pixels (at least one pixel); a word longer than that widens it. Border and margins are
  // included.
  virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint);
  // Hides the hint by destroying its window; the next ActivateHint makes a new one.
  void ReleaseHandle();
  // True while the window is shown.
  bool Active() const;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

private:
  // Moves the window, with the text, to Rect inside the work area, topmost, still hidden.
  void PlaceHint(TRect Rect, const std::string& AHint);
  // DrawText over the client area (or, with DT_CALCRECT, only measuring) in the hint font.
  void DrawHintText(HDC DC, RECT& Rect, const std::string& AHint, UINT Flags);
};
