// The skinned tool bar: the framework's tool bar, its layout and commands kept, painted through
// its advanced custom-draw events. The background comes from the skin data's cache bitmap (the
// bar's section, default "TOOLBAR"); each button is composed in a 32-bit work bitmap from the
// "TOOLBUTTON" section and its border mask, with the caption, the image and, for drop-down
// buttons, the "SCROLLBTNBOTTOM" arrow; separators and dividers come from "DIVIDER". A bar that
// is not flat tracks its hot button itself. Owns its SkinData; the hot and dropped buttons are
// borrowed (a dropped button freed meanwhile is forgotten).
#pragma once

#include <memory>

#include "framework/win/ComCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsToolBar : public TToolBar {
  ORBEX_CLASS(TsToolBar, TToolBar)
public:
  explicit TsToolBar(TComponent* AOwner);
  ~TsToolBar() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FSkinData.get(); }
  // How disabled buttons are drawn: bit 0 blended, bit 1 greyed. A change repaints.
  int BtnDisabledKind() const { return FBtnDisabledKind; }
  void SetBtnDisabledKind(int v);
  int HotIndex() const { return FHotIndex; }
  TToolButton* DroppedButton() const { return FDroppedButton; }

  // The client area's offset inside the bar's edges (see ToolBarEdgeOffset).
  TPoint EdgeOffset() const;
  // TB_GETITEMRECT of the button; an empty rectangle (left = right) when it fails.
  TRect ItemRect(int Index) const;
  // The button under the client point when it is a push, check or drop-down button; else -1.
  int HitTest(TPoint P) const;
  // Paints one button into the window DC at once (nothing for an index out of range).
  void RepaintButton(int Index);
  // The separators and dividers into DC, whose client area starts at `Origin` (the bar paints
  // them after its buttons, into the same DC).
  void PaintDividers(HDC DC, TPoint Origin);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;

private:
  void HookCustomDraw();
  void PrepareCache();
  void PaintBar(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
  void PaintButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                   TTBCustomDrawFlags& Flags, bool& DefaultDraw);
  void PaintDivider(HDC DC, const TRect& R, bool Line, TPoint Origin);
  // After a paint that found a button's item width not its own: one new layout per change of
  // the buttons or the bar's size, outside the system's paint loop.
  void RelayoutIfNeeded();
  void SetDroppedButton(TToolButton* Button);
  void SetHotIndex(int Index);
  bool SkinCommand(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMPrint(TMessage& Message);
  void HotTracking(TMessage& Message);

  std::unique_ptr<TsCommonData> FSkinData;
  int FBtnDisabledKind = 1;   // [dkBlended]
  int FHotIndex = -1;
  TToolButton* FDroppedButton = nullptr;
  bool FRelayoutWanted = false;
  // The button count and size at the last new layout made for a width disagreement.
  TPoint FRelaidSize{-1, -1};
  int FRelaidCount = -1;
};

// ---------------------------------------------------------------------------------------------
// The painting a framework tool bar shares with the tool-bar adapter, which skins a plain
// TToolBar through the same events.

// The custom-draw state a button shows by itself (the hot state is the bar's to add).
TCustomDrawState ToolButtonStateOf(HWND bar, int index);
// The client area's offset inside the bar's edges: each edge's lines and twice BorderWidth.
TPoint ToolBarEdgeOffsetOf(const TToolBar* bar);
// The push, check or drop-down button under the client point of the bar's window; else -1.
int ToolBarHitTest(const TToolBar* bar, HWND wnd, TPoint P);
// The bar's background on its canvas: the skin data's cache (rebuilt when marked changed) under
// the client area less the visible child controls, the graphic children over it, the frame
// repainted when the client area does not fill the window.
void PaintToolBarBackground(TToolBar* bar, TsCommonData* data);
// One button composed in a 32-bit work bitmap ("TOOLBUTTON" face and border by state, caption,
// image, drop-down part and arrow, disabled look) and copied to the bar's canvas at its item.
struct TsToolFace {
  TToolBar* Bar = nullptr;
  TsCommonData* Data = nullptr;   // the bar's skin data with its cache
  TToolButton* Button = nullptr;
  TCustomDrawState State = 0;
  TRect Item;
  bool MenuOpen = false;          // the button's drop-down menu is open
  int DisabledKind = 1;           // as TsToolBar::BtnDisabledKind
  bool Foreign = false;           // images by ForeignToolButtonGlyphPainter
};
void PaintToolButtonFace(const TsToolFace& face);

// Start-up step of the unit: registers TsToolBar for stored forms.
void InitToolBarUnit();
