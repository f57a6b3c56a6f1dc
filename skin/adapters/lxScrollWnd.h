// The skinned non-client scroll bars: the window adapter that replaces a window's standard
// scroll bars by bars drawn from the skin in its non-client area. The window keeps its system
// scroll information (set by the control as usual, read back with GetScrollInfo); the adapter
// hides the scroll styles from the system while the frame is measured, reserves the room
// itself, draws both bars and the corner square, answers hit tests and turns arrow, page and
// thumb presses into ordinary WM_HSCROLL/WM_VSCROLL messages. Every edit-like adapter and the
// dialog adapter build on it.
//
// Ownership: the adapter owns its two bars, its repeat and hot-tracking timers on the window
// and the off-screen pictures of the bars; all go when it detaches. The hot, pressed and drag
// state is program-wide (only one bar anywhere is hot or pressed at a time) and is reset when
// the window it names detaches. GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include <cstdint>
#include <memory>

#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"

class TlxScrollWnd;

// Bar flags.
constexpr std::uint16_t sbfFirstArrowDisabled = 0x1, sbfSecondArrowDisabled = 0x2, sbfNeedsRange = 0x4,
                        sbfHasStyle = 0x8;

// One bar of a window.
class TlxScrollBar : public TObject {
public:
  std::uint16_t Flags = 0;
  // The bar occupies room now (set by WM_NCCALCSIZE); every geometry multiplies the thickness
  // by it.
  std::uint8_t BarShown = 0;
  // Last values read with GetScrollInfo (SIF_ALL).
  SCROLLINFO Info{};
  // Arrow button length: -1 from the skin, else one system size; below 0 that many system
  // sizes.
  int ArrowLength = -1;
  // Bar thickness: -1 the system's; below 0 that many system sizes.
  int Thickness = -1;
  // SB_HORZ (0) or SB_VERT (1).
  int Kind = SB_HORZ;
  std::uint16_t MinThumbSize = 10;
  // Cleared before the bar is freed.
  TlxScrollWnd* Owner = nullptr;
};

class TlxScrollWnd : public TlxMainWnd {
public:
  ~TlxScrollWnd() override;
  void HandleMessage(TMessage& message) override;

  TlxScrollBar* HorzBar() const { return FHorzBar.get(); }
  TlxScrollBar* VertBar() const { return FVertBar.get(); }
  TlxScrollBar* Bar(int kind) const { return kind == SB_VERT ? VertBar() : HorzBar(); }

  // Re-reads both bars' scroll info; with `repaint` (and unless a form is being moved) paints
  // them. Nothing while the window is invisible or paint-locked, or a bar is missing.
  void RefreshScrollInfo(bool repaint);
  // The bars' screen rectangles (empty when not shown).
  TRect GetHorzBarRect() const;
  TRect GetVertBarRect() const;
  // Paints both bars and the corner square into `dc` (window coordinates; the window DC when
  // null), each bar composed off screen and put on `dc` in one piece; a `thumbOverride` other
  // than -1 replaces the computed thumb start (pixels from the bar's start). While the thumb is
  // dragged the dragged bar shows it pressed where it is dragged to.
  void PaintScrollBars(HDC dc, int thumbOverride = -1);
  // The bar's thickness or arrow length; with `useSkin` the arrow grows to the skin's arrow
  // glyph.
  int GetScrollBarMetric(const TlxScrollBar& bar, bool wantThickness, bool useSkin) const;
  // The bar can be used: its scroll style, or the system's scroll-bar info when available.
  bool ScrollBarUsable(const TlxScrollBar& bar) const;

  bool ThumbTracking = false;
  bool LeftScrollBar = false;
  // The border widths the previous procedure reserved in the last WM_NCCALCSIZE.
  int LeftEdge = 0, RightEdge = 0, TopEdge = 0, BottomEdge = 0;
  // Set while WM_NCCALCSIZE hides the scroll styles: WM_STYLECHANGED is swallowed meanwhile.
  bool PreventStyleChange = false;

  TlxScrollWnd() = default;   // made through CreateForHandle

protected:
  // AttachScrollAdapter.
  void AttachToWindow(bool repaintFrame) override;
  void DetachParts() override;
  // A button-up on a bar leaves the capture with the window (a dropped combo list holds it to
  // close on a click elsewhere).
  virtual bool KeepsCaptureAfterBar() const { return false; }

private:
  friend void AttachScrollAdapter(TlxScrollWnd& adapter, HWND handle, bool repaintFrame);
  void Attach(HWND handle, bool repaintFrame);
  // The bars' rectangle of `kind` (screen), the arrow length it is drawn with, and the part
  // under a screen point.
  TRect BarRect(int kind) const;
  int ArrowOf(const TlxScrollBar& bar) const;
  int PartAt(const TlxScrollBar& bar, TPoint screen) const;
  void ReadInfo(TlxScrollBar& bar) const;
  // Re-reads the scroll info after a message the control handled and repaints the bars when
  // it moved: the system paints its own bar over ours whenever the control sets new values.
  void FollowScrollInfo();
  void PassOn(TMessage& message);
  bool KeepsOldWindow() const;
  // The bar composed off screen and put on `dc` (window coordinates) in one piece; thumbStart
  // -1 for the computed place, thumbState the thumb's state.
  void PaintBar(HDC dc, TlxScrollBar& bar, int pressedPart, int thumbStart, int thumbState);
  void PaintCorner(HDC dc);
  bool SitsInParentCorner() const;
  void StartTimer(TOwnedTimer& timer, UINT_PTR id, UINT ms);
  void ForgetScrollState();
  // One handler per message.
  void WMSkinCommand(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMStyleChanged(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCMouseMove(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMTimer(TMessage& message);
  void WMNCPaint(TMessage& message);
  void PressedMove(TPoint screen);
  void DragThumb(TPoint screen);
  void ScrollCommand(int code, int pos);

  std::unique_ptr<TlxScrollBar> FHorzBar, FVertBar;
  // The auto-repeat and hot-tracking timers on the window (ids in ScrollState()).
  TOwnedTimer FRepeatTimer, FHotTimer;
  // The off-screen pictures of the horizontal bar, the vertical bar and the corner, kept
  // between paints while their size stays.
  std::unique_ptr<TBitmap> FWork[3];
};

// The scroll adapters' attach: both bars made and read, the property set, the window hooked
// (AttachAdapter), the least thumb 10 on both bars and, with `repaintFrame`, the frame measured
// again.
void AttachScrollAdapter(TlxScrollWnd& adapter, HWND handle, bool repaintFrame);
// Detaches as ReleaseWndAdapter, the bars freed; the unique_ptr form also frees the adapter.
void ReleaseScrollWndAdapter(HWND handle, bool repaintFrame, TlxScrollWnd& adapter);
template <class T>
void ReleaseScrollWndAdapter(HWND handle, bool repaintFrame, std::unique_ptr<T>& adapter) {
  if (!adapter) return;
  ReleaseScrollWndAdapter(handle, repaintFrame, static_cast<TlxScrollWnd&>(*adapter));
  adapter.reset();
}

// The bar of kind SB_HORZ or SB_VERT of the window's scroll adapter; null without one.
TlxScrollBar* GetAdapterScrollBar(HWND handle, int kind);

// Sends a scroll command as the skinned bar does: command 51 first (answered 1, the window
// takes the position in LParam and its scroll info is untouched; else a thumb-track position
// is written into the scroll info), the scroll message, then command 52.
void SendScrollCommand(HWND handle, UINT scrollMsg, int code, int pos);

// Keeps a framework control's scroll adapter in step with its skin: nothing while the control
// loads or goes; with a skin the flat scroll bars are given up and an adapter made when there
// is none (a defunct one is freed first); without one the adapter is freed and the flat
// scroll bars put back.
void UpdateScrollWndAdapter(TsCommonData* data, std::unique_ptr<TlxScrollWnd>& adapter);

// The program-wide hot, pressed and drag state.
struct TlxScrollState {
  HWND ScrollStateWnd = nullptr;
  int HotBarKind = -1;
  TRect HotBarRect;
  int HotPart = -1, LastHotPart = -1;
  UINT_PTR HotTimerId = 0;
  int PressedPart = -1;
  int PressedBarKind = -1;
  UINT PressedScrollMsg = 0;
  int RepeatCommand = -1;
  UINT_PTR RepeatTimerId = 0;
  int DragThumbSize = 0, DragThumbStart = 0;
  TRect DragBarRect;
  int DragGrabOffset = 0, DragStartThumb = 0, DragLastPos = 0;
};
TlxScrollState& ScrollState();

// Timer ids on the adapted window.
constexpr UINT_PTR ScrollFirstRepeatTimer = 0xFFFD;   // 300 ms
constexpr UINT_PTR ScrollRepeatTimer = 0xFFFE;        // 55 ms
constexpr UINT_PTR ScrollHotTimer = 0xFFF2;           // 20 ms
