// The framework tool-bar adapter: a plain TToolBar skinned through its two advanced custom-draw
// events, painted as the skinned tool bar paints itself (background from the skin data's cache,
// "TOOLBUTTON" faces by state, captions, images, drop-down parts), with its own hot tracking
// for bars that are not flat.
//
// Ownership: the bar and its buttons are borrowed (the bar owns the skin data's owner slot).
// The application's handlers of the two events are kept while ours are in and given back when
// the skin goes (command 2) and when the adapter goes, only while ours are still the current
// ones (a handler set meanwhile stays). GUI thread only.
#pragma once

#include "skin/adapters/lxSBUtils.h"

#include "framework/win/ComCtrls.h"

class TlxToolBarVCLWnd : public TlxMainWnd {
public:
  ~TlxToolBarVCLWnd() override;
  void HandleMessage(TMessage& message) override;

  // The owning tool bar; null when the owner is not one.
  TToolBar* Bar() const { return FBar; }
  int HotIndex() const { return FHotIndex; }

  TlxToolBarVCLWnd() = default;   // made through CreateForHandle

protected:
  // The owning bar's events taken over.
  void AttachToWindow(bool repaintFrame) override;
  // "TOOLBAR" when no section is given.
  void TakeSection(const std::string& section) override;

private:
  void InstallHandlers();
  void RemoveHandlers();
  void PaintBackground(TToolBar* sender, const TRect& rect, TCustomDrawStage stage, bool& defaultDraw);
  void PaintButton(TToolBar* sender, TToolButton* button, TCustomDrawState state, TCustomDrawStage stage,
                   TTBCustomDrawFlags& flags, bool& defaultDraw);
  void RepaintButton(int index);
  void SetHotIndex(int index);
  void HotTracking(TMessage& message);
  // The four frame strips around the client area into `dc` (window coordinates).
  void CopyFrame(HDC dc);

  TToolBar* FBar = nullptr;
  TToolButton* FDroppedButton = nullptr;
  int FHotIndex = -1;
  TTBAdvancedCustomDrawEvent FAppDraw;
  TTBAdvancedCustomDrawBtnEvent FAppDrawButton;
  bool FInstalled = false;
};
