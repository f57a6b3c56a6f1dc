// The MDI client adapter: skins the client window of an MDI main form, the area behind the
// MDI children, from the skin's "MDIAREA" section (face and frame) with skinned scroll bars; a
// maximized child covers it and it paints nothing then: the form's controls that paint
// themselves are asked for their backgrounds on the form instead. Tiling, cascading and a new
// window menu make the form lay out its frame and menu line again.
//
// Ownership: the adapter owns what a scroll adapter owns; the form and the skin data of its
// frame (the form's provider's) are borrowed and must outlive it. GUI thread only.
#pragma once

#include "skin/adapters/lxEditWnd.h"
#include "skin/core/lxMDIWndCore.h"

class TCustomForm;
class TsCommonData;

class TlxMDIWnd : public TlxBaseWnd {
public:
  void HandleMessage(TMessage& message) override;

  // The MDI main form and the skin data of its frame; without the skin data the adapter paints
  // nothing of its own.
  TCustomForm* Form = nullptr;
  TsCommonData* MDIAreaSkinData = nullptr;

  // The active child covers the client area: it is maximized.
  bool MaximizedChildActive() const;

  TlxMDIWnd() = default;   // made through CreateForHandle

private:
  // "MDIAREA" over the client window's rectangle into `dc` (window coordinates): the client
  // area alone, or (frame) all but the client area, then the bars.
  void PaintArea(HDC dc, bool frame);
  // Each visible control of the form that paints itself (csOpaque) asked for its background
  // at its bounds on the form's client surface.
  void RefreshFormControls();
  // Each visible child printed at its place (printing the client with its children).
  void PrintChildren(HDC dc, LPARAM flags);
  void ThumbScroll(TMessage& message);
  // Tiling or cascading changed the children: the form's menu line and frame follow.
  void ArrangeDone();
  TlxMDIThumbScroll FThumb[2];
};
