// The dialog adapter: takes over one system dialog window (class "#32770") that the thread
// hook found and draws its whole non-client area from the skin (frame from section "DIALOG",
// title bar, small icon, caption, close, maximize, minimize and help buttons), gives it a
// window region cut from the skin's corners, a skinned system menu, the skin's background for
// its client and blend while moving; scroll bars come from the scroll adapter it builds on.
//
// Owns: its skin data (made by the adapter base), the system menu, the caption font, the
// dialog-colour brush, the move timer and the system-menu style bit it took from the window
// (given back when the skin is withdrawn or the adapter goes while the window lives). The
// provider that made it and the manager are borrowed. GUI thread only.
#pragma once

#include "skin/adapters/lxScrollWnd.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/WinTypes.h"
#include "skin/core/lxDialogCore.h"
#include "skin/core/sFormMetrics.h"
#include "skin/forms/lxFormTimers.h"

class TlxProvider;
class TlxSystemMenu;
class TlxBorderForm;
class TBitmap;

class TlxDialogWnd : public TlxScrollWnd, public IlxEffectOwner {
public:
  // One title button: its hit code, the image's mask index, its place in window coordinates
  // and its state (-1 hidden, 0 normal, 1 hot, 2 pressed).
  struct TButton {
    int Code = 0;
    int MaskIndex = -1;
    TRect Rect;
    int State = -1;
    bool Enabled = true;
    std::string Key;   // the image's key in "GLOBALINFO" (its glow adds "GLOW")
  };

  TlxDialogWnd();
  ~TlxDialogWnd() override;
  void HandleMessage(TMessage& message) override;

  void SetProvider(TlxProvider* provider) { FProvider = provider; }
  TlxProvider* Provider() const { return FProvider; }

  // Reads whether the window has WS_SYSMENU (once: a later call keeps what it read, since the
  // window's own style has lost it by then), the border kind, the images and the caption
  // font, and takes WS_SYSMENU from the window so that the system draws no buttons.
  void Prepare();
  // The title's height: 0 without a caption (unless iconic).
  int CaptionHeight() const;
  // Where the client area starts in the window (pixels from the window's top-left).
  int ClientOffsetX() const;
  int ClientOffsetY() const;
  // The dialog's state as the title buttons and the system menu see it.
  TlxDialogState DialogState() const;
  // The window's style with the WS_SYSMENU it had before the adapter took it.
  std::uint32_t SavedStyle() const;
  // The frame image's size (the frame cache's): the window's, or with a border window the
  // border window's.
  static TSize FrameImageSize(const TsFormGeometry& f);
  // The frame cache (the skin data's cache bitmap) painted again when its size or the
  // background changed; nothing while moving.
  void PaintFrameCache();
  // The window region cut from the skin's corners; `redraw` as SetWindowRgn's.
  void UpdateRegion(bool redraw);
  // The hit code of a screen point in the title bar (icon, buttons), 0 when outside them.
  int TitleHitTest(TPoint screen);
  void SetHotButton(int code, bool repaint);
  const TButton* Button(int code) const;
  // Frees the title buttons' animations.
  void StopButtonAnimations();
  // Stops all pending work: the animations, the press and hover, the move timer.
  void StopWork();
  // Blend while moving: the dialog fades toward the manager's blend value while it is
  // dragged by its caption (the drag runs inside), and comes back opaque. Not re-entrant.
  void StartMoving();
  void StopMoving();
  TlxMoveTimer* MoveTimer() const { return FMoveTimer.get(); }
  // The running animation of a title button (its glow while hot), or null.
  TlxSBAnimation* ButtonAnimation(int code) const { return FAnimations.Find(code); }
  TlxBorderForm* EffectBorderForm() const override { return FBorderForm.get(); }
  TBitmap* EffectFrameCache() const override;
  HWND EffectWindow() const override { return Handle(); }
  TsSkinManager* EffectSkinManager() const override { return SkinManager(); }
  bool EffectActive() const override { return FormActive; }
  bool EffectButton(int hitCode, TsSkinProvider::TsTitleButtonState& face) const override;

  // Extended borders: the border window round the dialog (null without). `wanted` is the
  // manager's answer; a dialog without frame or not shown keeps none.
  TlxBorderForm* BorderForm() const { return FBorderForm.get(); }
  void UpdateBorderForm(bool wanted);
  // Before the show animation: the border window object of a dialog that will have one (its
  // window still hidden), so that the animation shows the image with the border round it.
  void PrepareBorderForm(bool wanted);
  // The dialog described as a form (with the border window's margins while it has one).
  TsFormGeometry Geometry() const;
  // Sizing and Moving (lxOwnerSizing, lxOwnerMoving) as the border window reads them.
  std::uint32_t State = 0;

  bool Destroyed() const { return FDestroyed; }
  // Nesting depth of the adapter's window method: the provider frees an adapter only at 0.
  int MethodDepth() const { return FDepth; }
  TlxSystemMenu* SystemMenu() const { return FSystemMenu.get(); }
  // Checked by the provider when it creates a child's adapter.
  bool PaintForbidden = false;
  // Where the window goes at its first showing (screen pixels); -1, -1 for nowhere.
  TPoint PresetPosition{-1, -1};
  bool FormActive = true;
  std::uint8_t BorderKind = dbkSingle;
  // The dialog's own colour brush (WM_CTLCOLORDLG); renewed when the skin changes.
  HBRUSH DialogBrush();

protected:
  void AttachToWindow(bool repaintFrame) override;
  void DetachParts() override;

private:
  void ResolveImages();
  // Hover is shown by a fading picture above the button (glowing, or a border window).
  bool AnimatesHover() const;
  void PlaceButtons(TBitmap* cache);
  void PaintTitle(TBitmap* cache, const TsFormGeometry& f);
  void PaintNonClient();
  void GiveSysMenuBack();
  void RefreshSysMenu();
  void OpenSystemMenu(TPoint screen);
  bool NCLButtonDown(TMessage& message);
  bool ButtonUp(TMessage& message);
  void NCLButtonDblClk(TMessage& message);
  void EraseBackground(TMessage& message);
  void SkinCommand(TMessage& message);
  bool CtlColorStatic(TMessage& message);
  // WM_SIZE while a border window shows the frame.
  void SizeWithBorder(TMessage& message);
  // The client parts under the section's right-hand corner images ("IMGTOPRIGHT",
  // "IMGBTMRIGHT") at the present size.
  void InvalidateRightCorners();
  // A frame of ours, no child window, the manager wants extended borders (`wanted`).
  bool MayHaveBorderForm(bool wanted) const;
  // The border window object made, the frame image's size taken with it.
  void MakeBorderForm();
  // The first showing: the preset place, the show animation.
  void Showing();
  // The manager animates a dialog's showing (or hiding) and layered windows exist.
  bool Animated(bool showing) const;

  TlxProvider* FProvider = nullptr;
  bool FSysMenu = false;
  bool FPrepared = false;
  bool FSysMenuTaken = false;
  bool FInitialized = false;
  bool FRegionChanged = true;
  bool FDestroyed = false;
  bool FMoving = false;
  // The dialog was layered of its own before the move made it so: it stays layered after.
  bool FWasLayered = false;
  int FDepth = 0;
  int FCaptionIndex = -1, FTitleIndex = -1;
  std::string FTitleSection;
  TButton FButtons[4];   // close, maximize, minimize, help
  int FRestoreMask = -1;
  int FHotCode = 0;
  int FPressedCode = 0;
  TSize FCacheSize{0, 0};
  // The client size and the frame image's size at the last WM_SIZE.
  TSize FLastClient{0, 0};
  TSize FSizedFrame{0, 0};
  TOwnedFont FTitleFont;
  TOwnedBrush FBrush;
  // The frame cache as a brush for children that paint no background of their own.
  TOwnedBrush FChildBrush;
  std::unique_ptr<TlxSystemMenu> FSystemMenu;
  std::unique_ptr<TlxMoveTimer> FMoveTimer;
  TlxButtonAnimations FAnimations;
  std::unique_ptr<TlxBorderForm> FBorderForm;
};

// The live dialog adapter of a window, or null.
TlxDialogWnd* DialogAdapterOf(HWND wnd);
