// The edit adapters: windows with a sunken frame, a client area the control paints itself and
// scroll bars (edits, memos, list boxes, generic scrolling controls). TlxBaseWnd adds to the
// skinned scroll bars the refresh rules of a bordered window; TlxEditWnd paints the whole frame
// from the skin data's cache image and keeps the control's colours and font in step with the
// skin. Beside them the cache helpers every painting adapter uses: the cache rebuilt from the
// parent's background and the section, and its see-through corners filled.
//
// Ownership: an edit adapter owns what TlxScrollWnd owns; the cache image belongs to the skin
// data. Colours it changed on an owner control are given back when it detaches. GUI thread
// only.
#pragma once

#include "skin/adapters/lxScrollWnd.h"

#include <memory>
#include <string>

class TlxEditWnd;

// A scroll adapter that also paints the skin's border.
class TlxBaseWnd : public TlxScrollWnd {
public:
  void HandleMessage(TMessage& message) override;

  TlxBaseWnd() = default;   // made through CreateForHandle

protected:
  // Command 23: the cache rebuilt with the skin's frame.
  void RebuildCache() override;
};

class TlxEditWnd : public TlxBaseWnd {
public:
  // Gives the owner control its own colours back first (see TlxMainWnd's destructor).
  ~TlxEditWnd() override;

  void StoreControlColors() override;
  void RestoreControlColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& message) override;

  // The area inside the frame (client area and scroll bars) in window coordinates, as of the
  // last frame painted.
  const TRect& ClientRect() const { return FClientRect; }
  // The colour of a window without owner control, set from the skin.
  TColor Color() const { return FColor; }
  // The skin's border colour (0 without a section).
  TColor BorderLineColor() const { return FBorderLineColor; }

  TlxEditWnd() = default;   // made through CreateForHandle

protected:
  // The focus flag taken, then attached as a scroll adapter.
  void AttachToWindow(bool repaintFrame) override;
  // Names the given section always, "EDIT" when none is given.
  void TakeSection(const std::string& section) override;
  // List views (from Windows 6 on) and controls that choose their own visual style keep it.
  bool KeepsVisualStyle() const override;
  // Command 23: geometry refreshed, cache rebuilt (a plain frame in dialog mode) and its
  // see-through corners filled.
  void RebuildCache() override;

private:
  // Slot 3 once after the skin changed.
  void ApplyColorsOnce();
  // The framework's message record handlers.
  void SkinCommand(TMessage& message);
  void WMFocus(TMessage& message);
  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMNCPaint();
  void WMPrint(TMessage& message);
  // After the scroll adapter's handling: the scroll info refreshed as the message asks.
  void AfterMessage(const TMessage& message);
  // The paint DC of WM_PAINT or WM_ERASEBKGND has nothing to paint (its clip is empty), or
  // painting waits; true when the message is answered.
  bool PaintEndsEarly(TMessage& message, bool swallowWhileLocked);
  // The inner area (client and bars) in window coordinates.
  TRect InnerRect() const;
  // The frame: the cache copied outside the inner area, then the bars.
  void PaintFrameTo(HDC dc);

  TRect FClientRect{0, -1, 0, 0};
  TColor FColor = 0;
  TColor FFocusColor = 0;
  TColor FBorderLineColor = 0;
  bool FApplying = false;
};

// The system is Windows 6 or later (visual styles draw list views' selection there).
bool WindowsVistaOrLater();

// Keeps a framework control's edit adapter in step with its skin: with a skin (the active state
// not asked) a defunct adapter is freed and one made when there is none; without one the
// adapter is freed.
void UpdateEditWndAdapter(TsCommonData* data, std::unique_ptr<TlxEditWnd>& adapter);

// Rebuilds the skin data's cache image of a window, only when its background is marked changed:
// sized to the window, the section with its border painted over the parent's background (hot
// while focused or under the mouse when the section has frame states) or, with `plainFrame`
// and a skin border colour, the window colour in a one-pixel border; a disabled owner control
// blended with the background. The mark is cleared. Nothing without data. A `height` of 0 or
// more sizes the cache to it instead of the window's height (a simple combo's edit field).
void PrepareWndCache(TsCommonData* data, HWND handle, bool plainFrame, int height = -1);

// After PrepareWndCache: the cache's corner pixels that the border mask marks with the key
// colour take the parent's background. Nothing in dialog mode, without a border mask, or for a
// window of 1 pixel or less in either direction.
void FillTransparentCorners(TsCommonData* data, const TlxMainWnd& adapter);
