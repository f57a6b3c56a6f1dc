// The skin provider of a form: the component that takes over the form's window method,
// registers the form among the skinned forms, prepares it for the skin (system menu, style
// bit, section indexes, colour) and answers the skin commands that reach the form. Beside it
// its published option objects (added title, title icon, user title buttons) and the pairing
// of a previewed form with the skin editor.
//
// Owns its skin state, option objects, system menu and the form's saved window method while
// hooked (given back when the provider or the form goes). The form and the manager are
// borrowed.
//
// Sections: option objects; the provider; globals of the unit.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"
#include "framework/win/Graphics.h"
#include "framework/win/HintWindow.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/core/sFormMetrics.h"
#include "skin/core/win/lxThreadedTimer.h"
#include "skin/core/win/sCommonData.h"

class TsSkinProvider;
class TsSkinManager;
class TsSystemMenu;
class TlxBorderForm;
class TlxProviderBorderOwner;
class TlxThreadedTimer;
class TlxCtrlAdapter;
class TlxSBAnimation;
class TlxButtonAnimations;
class IlxEffectOwner;
class TsMDIForm;
struct TsMenuLineSpot;

// ---------------------------------------------------------------------------------------------
// Option objects.

// An extra text drawn in the title bar.
class TlxAddedTitle : public TPersistent {
  ORBEX_CLASS(TlxAddedTitle, TPersistent)
public:
  explicit TlxAddedTitle(TsSkinProvider* owner);
  ~TlxAddedTitle() override;
  TsSkinProvider* Owner() const { return FOwner; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* value);
  const std::string& Text() const { return FText; }
  void SetText(const std::string& value);
  bool ShowMainCaption() const { return FShowMainCaption; }
  void SetShowMainCaption(bool value);

private:
  void Changed();
  TsSkinProvider* FOwner;
  std::unique_ptr<TFont> FFont;
  std::string FText;
  bool FShowMainCaption = true;
};

// The custom title icon.
class TsTitleIcon : public TPersistent {
  ORBEX_CLASS(TsTitleIcon, TPersistent)
public:
  // The owner's frame is repainted when the glyph changes (none: nothing repaints).
  explicit TsTitleIcon(TsSkinProvider* owner = nullptr);
  ~TsTitleIcon() override;
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* value);
  int Height = 0;
  int Width = 0;

private:
  TsSkinProvider* FOwner;
  std::unique_ptr<TBitmap> FGlyph;
};

class TsTitleButton;
using TsTitleButtonMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

// One user button of the title bar.
class TsTitleButton : public TCollectionItem {
  ORBEX_CLASS(TsTitleButton, TCollectionItem)
public:
  explicit TsTitleButton(TCollection* collection);
  ~TsTitleButton() override;
  bool Enabled = true;
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* value);
  std::string Hint;
  const std::string& GetName() const { return FName; }
  void SetName(const std::string& value);
  bool UseSkinData = true;
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  TsTitleButtonMouseEvent OnMouseDown;
  TsTitleButtonMouseEvent OnMouseUp;
  // The skin's user-button mask ("TITLEBUTTON" of "GLOBALINFO"), -1 for none.
  int MaskIndex = -1;

  std::string DisplayName() const override { return FName; }
  void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
  // Copies to another title button everything but Visible.
  void AssignTo(TPersistent* dest) override;

private:
  std::unique_ptr<TBitmap> FGlyph;
  std::string FName = "TsTitleButton";
  bool FVisible = true;
};

class TsTitleButtons : public TCollection {
  ORBEX_CLASS(TsTitleButtons, TCollection)
public:
  explicit TsTitleButtons(TsSkinProvider* provider);
  ~TsTitleButtons() override;
  TsTitleButton* Items(int i) const { return static_cast<TsTitleButton*>(TCollection::Items(i)); }
  TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }
  TsSkinProvider* Provider() const { return FProvider; }

private:
  TsSkinProvider* FProvider;
};

// ---------------------------------------------------------------------------------------------
// The provider.

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };
enum TlxAnimationEvent { aeShowing, aeHiding, aeSkinChanging };
using TlxAfterAnimation = std::function<void(TlxAnimationEvent Event)>;
// The application may change the hit-test answer in Result.
using TlxNCHitTest = std::function<void(TObject* Sender, TMessage& Message)>;
// The control adapter asks whether a component is skinned and with which section.
using TAddItemEvent =
    std::function<void(TObject* Item, bool& CanBeAdded, std::string& SkinSection)>;

class TsSkinProvider : public TComponent, public IlxWndMethodHost {
  ORBEX_CLASS(TsSkinProvider, TComponent)
public:
  // The form's window method that the provider passes messages to; an adapter on the form
  // takes it over and gives it back.
  TWndMethod& HeldWndMethod() override { return FSavedWndProc; }
  // Whether adapters on this form may switch its visual style off (on by default).
  bool AllowsThemeChanges() const override { return FAllowThemeChanges; }
  void SetAllowThemeChanges(bool value) { FAllowThemeChanges = value; }
  // The form-state word: bits of transient work on the form that other parts read.
  enum TFormStateBit : std::uint32_t {
    Sizing = 0x1,
    Moving = 0x80,
    Minimizing = 0x100,
    Hiding = 0x200,
    Restoring = 0x400,
    Previewing = 0x800,
    SkinChanging = 0x1000,
    StretchedVertically = 0x2000,
    StretchedHorizontally = 0x4000,
    Activating = 0x8000,
    Frozen = 0x10000,
    MakingScrollAdapter = 0x20000,
  };

  // Raises EAbort for an owner that is not a form. On a form that already has a designed
  // provider this one stays empty (touches nothing of the form); a run-time-made one is
  // replaced.
  explicit TsSkinProvider(TComponent* AOwner);
  ~TsSkinProvider() override;
  // Made at run time for a form without a designed provider.
  static TsSkinProvider* CreateRuntime(TComponent* AOwner);

  void AfterConstruction() override;
  void Loaded() override;
  // The form goes: the provider gives the window method back and unregisters the form now,
  // while the form's window still exists.
  void Destroying() override;

  // --- published properties
  TlxAddedTitle* AddedTitle() const { return FAddedTitle.get(); }
  bool AllowAnimation = true;
  bool AllowExtBorders() const { return FAllowExtBorders; }
  void SetAllowExtBorders(bool value);
  bool AllowBlendOnMoving = true;
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment value);
  bool DrawNonClientArea() const { return FDrawNonClientArea; }
  void SetDrawNonClientArea(bool value);
  TsCommonData* SkinData() const { return FSkinData.get(); }
  TsGripMode GripMode = gmNone;
  bool MakeSkinMenu = false;
  const std::string& MenuLineSkin() const { return FMenuLineSkin; }
  void SetMenuLineSkin(const std::string& value);
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon() const { return FShowAppIcon; }
  void SetShowAppIcon(bool value);
  TsTitleButtons* TitleButtons() const { return FTitleButtons.get(); }
  void SetTitleButtons(TsTitleButtons* value);
  TsTitleIcon* TitleIcon() const { return FTitleIcon.get(); }
  const std::string& TitleSkin() const { return FTitleSkin; }
  void SetTitleSkin(const std::string& value);
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void SetUseGlobalColor(bool value);
  TlxAfterAnimation OnAfterAnimation;
  TlxNCHitTest OnExtHitTest;
  TAddItemEvent OnSkinItem;

  // --- state
  TCustomForm* Form() const { return FForm; }
  // The control adapter (null until the skin adapts the form's controls).
  TlxCtrlAdapter* CtrlAdapter() const { return FCtrlAdapter.get(); }
  // Makes the control adapter and adapts the form's controls (not at design time, nor without
  // a skin).
  virtual void AdaptControls();
  // Tells every adapted control that the skin goes, then frees the control adapter.
  void UnadaptControls();
  // Hands the message to every adapted control.
  void SendToAdapter(TMessage& message);
  // A label's designed font colour and opacity, recorded before the skin recolours it (the
  // first record of a label wins).
  void RememberLabelColours(const TControl* label);
  bool IsEmptyProvider() const { return FEmpty; }
  bool RuntimeMade() const { return FRuntimeMade; }
  // The form's window method is the provider's.
  bool Hooked() const { return FHooked; }
  std::uint32_t FormState = 0;
  // The normal bounds an edge double click of the border window stretched the form from (with
  // StretchedVertically its top and bottom, with StretchedHorizontally its left and right).
  TRect StretchedBounds;
  bool FormActive = true;
  // WS_SYSMENU was taken into the provider's care (the form had it when skinned).
  bool SysMenuStyleTaken() const { return FSysMenuStyleTaken; }
  // The window's own system menu, taken before WS_SYSMENU is first cleared (a window may have
  // none while the bit is off); null without one.
  HMENU WindowSystemMenu();
  TsSystemMenu* SystemMenu() const { return FSystemMenu.get(); }
  // The title bar shows a help button: the form's border icons hold biHelp (the one rule of
  // its painting, its layout and every hit test of it).
  bool ShowsHelpButton() const;
  int TitleSectionIndex() const { return FTitleIndex; }
  int CaptionSectionIndex() const { return FCaptionIndex; }
  int MenuLineCount = -1;
  bool RegionChanged = true;
  bool CaptionChanged = true;
  bool MenusInitialized = false;
  // Set by the system menu while its minimize command runs.
  bool MenuMinimizing = false;
  // Desktop composition was on when the provider was made.
  bool CompositionMode() const { return FCompositionMode; }

  // --- MDI (sSkinProviderMDI.cpp)
  // The form is an MDI main form, or an MDI child.
  bool MDIParent() const;
  bool MDIChild() const;
  // The wrapper of an MDI main form's client window (null for other forms, and until the
  // skin first reaches the form).
  TsMDIForm* MDIForm() const { return FMDIForm.get(); }
  // on: the client window skinned (a wrapper whose client no longer answers as skinned is made
  // anew) and this provider becomes MDIParentProvider; off: the wrapper freed.
  void SetMDIChildrenSkinning(bool on);
  // The MDI main form's active child, when it is maximized (null otherwise).
  TCustomForm* MaximizedMDIChild() const;
  // Paints the piece of the menu line that holds the maximized child's buttons onto the given
  // form's canvas (the hidden form "lxMDIIcons" shown over them while a menu is open).
  void CopyMenuLineCorner(TCustomForm* form);
  // The MDI main form's provider, alive and skinned (null otherwise).
  static TsSkinProvider* SkinnedMDIParent();
  // The MDI main form's active child is the screen's active form (the framework's screen
  // knows only top-level forms: an active child's main form being active counts).
  bool ActiveChildIsActiveForm() const;
  // An MDI child hidden under another child that is maximized and active: it paints nothing.
  bool UnderMaximizedChild() const;
  // An MDI child lying whole inside its main form's client window keeps of its frame cache
  // only the frame and caption strip, to be built anew whole (its erasing does so at once).
  void ShortenCacheInsideParent();

  // --- operations
  // The skin initialisation of the form (see the source for its steps).
  void PrepareForm();
  // Prepares the form when the skin is on (from Loaded and from skin changes).
  void InitProvider();
  // on: WS_SYSMENU taken into the provider's care (cleared while the frame is drawn from the
  // skin); off: given back, and the small icon set again so that the system draws it.
  void SetSystemMenuStyle(bool on);
  // Tells the skin editor which window shows the previewed skin (preview mode only).
  void AnnounceToSkinEditor(HWND handle, bool recreated = false);
  // The form's background colour in RGB: the section's, or the form's own colour.
  TColor FormBackColor() const;
  // WM_INITMENUPOPUP while popups are skinned.
  void HandleInitMenuPopup(TMessage& message);
  // Hands WM_NCPAINT (0, 0) to the provider's own window method.
  void ForceNCPaint();
  // The skin data holds a skin of an active manager (the section is looked up when needed).
  bool Skinned() const;
  // Where the client area lies in the window (pixels from the window's top-left corner).
  TPoint ClientOffset() const;
  // The title bar needs painting again (a change of caption options).
  void RepaintFormFrame();
  // The menu line's items or the maximized child's buttons changed: frame cache and menu line
  // measured anew, and (with `repaint`) the frame painted again.
  void MenuLineChanged(bool repaint);
  TsSkinManager* SkinManager() const { return FSkinData->GetSkinManager(); }

  // --- title-button measures (pixels) over the form metrics
  // The form as the metrics read it: its window, the provider's settings and the skin's values.
  TsFormGeometry Geometry();
  // The width the title buttons take at the right end of the title bar (shown ones only).
  int TitleButtonsWidth();
  int UserButtonWidth(const TsTitleButton* button);
  // The right end of the frame cache, without buttons, into the work bitmap (`whole`: down to
  // the menu line), and back before the buttons are painted again.
  void SaveTitleButtonsArea(bool whole);
  void RestoreTitleButtonsArea();
  TBitmap* WorkBitmap() const { return FWorkBitmap.get(); }

  // The provider's window method, standing in the form's WindowProc slot while hooked.
  void NewWndProc(TMessage& message);

  // --- frame painting and title buttons (sSkinProviderPaint.cpp, sTitleButtons.cpp)
  // One title button: state 0 normal, 1 hot, 2 pressed (-1 not shown); its image in the skin's
  // masks; its place in the frame cache; its glow (-1 none); hit code; of the large set.
  struct TsTitleButtonState {
    int State = -1;
    int MaskIndex = -1;
    TRect Rect;
    int GlowId = -1;
    int HitCode = 0;
    bool Big = false;
    bool Enabled = true;
    const char* MaskKey = "";   // the image's key in "GLOBALINFO" (its glow adds "GLOW")
    // The inactive look (normal state on an inactive form, or a disabled button) is the
    // mask's normal frame drawn lighter (mask painting mode 0); every other state shows the
    // image as the skin has it (mode 1).
    bool InactiveLook(bool formActive) const { return State <= 0 && (!formActive || !Enabled); }
    int Frame(bool formActive) const { return InactiveLook(formActive) ? 0 : std::max(0, State); }
    int DrawMode(bool formActive) const { return InactiveLook(formActive) ? 0 : 1; }
  };
  // Rebuilds the frame cache (the skin data's cache bitmap) when the background changed.
  void PaintFrameCache();
  // The WM_NCPAINT work once the window method decided to paint: the region when it changed,
  // then the four strips of the frame cache around the client area into the window DC.
  void PaintNonClient();
  // One top-level item of the main menu drawn again into the cache and onto the window.
  void RedrawMenuLineItem(TMenuItem* item, const TRect& rect, unsigned state);
  // The menu-line image behind a bar item painted into dc (the frame cache, in cache
  // coordinates, or the window, in window coordinates), the item's place in it, the form's
  // state and whether the extended-border window shows the frame; false while the form shows
  // no skinned menu line.
  bool MenuLineBackgroundAt(HDC dc, const TRect& itemRect, TsMenuLineSpot& spot);
  // The main menu handed to the skinned menus (on) or given back as it was (off).
  void SetMenuLineOwnerDraw(bool on);
  TBitmap* MenuLineBitmap() const { return FMenuLineBitmap.get(); }
  // The title-button images of the skin for this form's border style.
  void ResolveTitleButtonMasks();
  // The user buttons' image in the skin in use ("TITLEBUTTON", none without UseSkinData).
  void ResolveUserButtonMasks();
  // Lays out and draws the title buttons into the frame cache.
  void PaintTitleButtons();
  // One button drawn again in its state into the cache and onto the window.
  void RepaintTitleButton(int code);
  void SetHotElement(int code, bool repaint);
  // The left button went down on a title button of this form: it is drawn pressed and the form
  // takes the mouse capture, so that the release comes here wherever it happens.
  void PressTitleButton(int code);
  // The hit code of the title button pressed on this form and not yet released (0 none).
  int PressedButton() const { return FPressedButton; }
  // The press ends without its action (capture lost, the form or its window going): the
  // button is drawn normal again and the capture given back.
  void EndTitleButtonPress();
  // The hit-test code of a screen point (the provider's and the system's codes).
  int TitleHitTest(TPoint screenPoint);
  // The press of a button ends at the point: the button's action when it is still over it.
  void ReleaseTitleButton(int code, TPoint screenPoint);
  // The button of a hit code (null for none).
  TsTitleButtonState* TitleButton(int code);
  // A maximized MDI child's buttons laid out on the menu line and drawn into the frame cache
  // (nothing, and no hit codes, without one).
  void PaintMDIButtons(TBitmap* cache);
  // The hint of the hot user button while it shows (null otherwise).
  THintWindow* UserButtonHint() const { return FUserButtonHint.get(); }
  // The code of the element under the mouse (-1 none yet, 0 none).
  int HotElement = -1;
  // Frame caches built since the provider was made (counted for tests and benchmarks).
  int FrameCacheBuilds = 0;
  // The menu line must be laid out again; the frame cache was built once.
  bool MenuChanged = true;
  bool FirstInitialized = false;

  // --- the window method's services and state (sSkinProviderWndProc.cpp)
  // WM_SETREDRAW nesting: 0 while the form redraws.
  int LockCount() const { return FLockCount; }
  // What the last showing of the window was: 0 none, 1 normal, 2 minimized, 3 maximized.
  int ShowAction = 0;
  // Hands the form's menus to the skinned menus; `skinned`: owner-drawn while skinned.
  void UpdateMenus(bool skinned);
  // The system menu at a screen point. With skinned popups the skin paints the provider's
  // own copy (with "Available skins" when MakeSkinMenu is set); else the window's own menu,
  // its items greyed as the form allows, the choice posted to the form as WM_SYSCOMMAND.
  void ShowSystemMenu(int x, int y);
  void ShowSkinnedSystemMenu(int x, int y);
  // Maximized, a skinned form covers the work area with its frame just outside it.
  void HandleGetMinMaxInfo(TMessage& message);
  // The client's face (PaintClientBackground) into `dc`, the graphic children over it and,
  // with `resumeChildren`, the child controls let resume their painting.
  void PaintClient(HDC dc, bool resumeChildren);
  // The client's face alone: the client part of the frame cache without the children's areas,
  // or a flat client's colour with the grip.
  void PaintClientBackground(HDC dc);
  // The form's OnPaint with the form's canvas on `dc` (client coordinates); nothing without one.
  void PaintFormOnPaint(HDC dc);
  // WM_ERASEBKGND's painting into `dc`.
  void EraseBackground(HDC dc);
  // WM_PAINT with a valid frame cache.
  void PaintClientMessage(TMessage& message);
  // WM_NCMOUSEMOVE: the element under the mouse becomes hot.
  void HandleNCMouseMove(TMessage& message);
  // The hit code of what lies under the mouse on this form (or its border window), 0 elsewhere.
  int ElementUnderMouse();
  // The caption cover's window while it is shown (null otherwise).
  HWND CaptionCoverWindow() const;

  // --- extended-border window (lxBorderForm.cpp, lxProviderBorderOwner.cpp)
  // Makes the border window when wanted (the manager's ExtendedBorders) and the form may have
  // one (a border, the frame drawn, no parent, not an MDI child, AllowExtBorders); frees it
  // otherwise.
  void UpdateBorderForm(bool wanted);
  TlxBorderForm* BorderForm() const { return FBorderForm.get(); }
  // Refreshes the border window when there is one (true then).
  bool RefreshBorderForm(bool repaint, int alpha = 255);
  // A maximized form whose title is lower than its caption (set by the maximized-size rule).
  bool SysExtendedHeight = false;
  // Where the form window's top-left lies in the frame cache.
  TPoint WindowOriginInCache();
  // The window messages whose handling only concerns the border window (application
  // activation, a layered-style change, the mouse entering the form): passed on, then the
  // border window follows.
  void BorderWindowMessage(TMessage& message);
  // Around a system command: SC_MAXIMIZE (under the maximized-window rule) and SC_RESTORE
  // free the border window before the system acts; SC_RESTORE makes it again afterwards.
  void BorderBeforeSysCommand(WPARAM command);
  void BorderAfterSysCommand(WPARAM command);
  // After activation: the border window takes the new frame, or is freed for a maximized
  // form under the maximized-window rule.
  void BorderAfterActivation();
  // Under the maximized-window rule: frees the border window of a maximized form (true then).
  bool BorderDroppedWhenMaximized();
  // Under the maximized-window rule: a form moved in normal state gets its border window back.
  void BorderBeforePosChange(const WINDOWPOS& pos);
  // Back from iconic without the minimize run: the border window freed for the minimize is no
  // longer held away.
  void BorderAfterPosChange();

  // --- form animations (sAnimations.cpp)
  // Set while the form is shown, hidden or re-skinned through an animation (frozen included).
  bool InAnimation = false;
  // The whole form's image taken before a skin change of a form with a border window.
  std::unique_ptr<TBitmap> SkinChangeCover;
  // Set while the hide animation runs, so that the form's own hiding does not start another.
  bool SkipAnimation = false;
  // --- form effects (lxFormTimers.cpp, lxFormEffects.cpp): blend on moving, the minimize
  // and restore run, the title-button glows.
  // The form's one effect timer (blend on moving or the minimize run), or null.
  TlxThreadedTimer* FormTimer() const { return FFormTimer.get(); }
  // Replaces the form timer (null frees it). A timer replaced or freed inside its own tick
  // is kept until the tick has returned.
  void SetFormTimer(std::unique_ptr<TlxThreadedTimer> timer);
  // An effect runs on the form (its frame is not rebuilt meanwhile by others).
  bool Animating = false;
  void StartBlendMoving();
  void EndBlendMoving();
  void StartMinimizeAnimation();
  bool StartRestoreAnimation();
  // Starts or retargets the animation of a title button toward `state` (0 normal, 1 hot, 2
  // pressed).
  void StartTitleButtonAnimation(const TsTitleButtonState& b, int state);
  // Frees every title-button animation.
  void StopButtonAnimations();
  // The animation of the title button of a hit code, or null.
  TlxSBAnimation* ButtonAnimation(int hitCode) const;

private:
  // Stage 2 and 3 of the window method.
  void UnskinnedMessage(TMessage& message);
  void SkinnedMessage(TMessage& message);
  bool SkinnedCommand(TMessage& message);
  void QueryBackground(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMNCLButtonUp(TMessage& message);
  void WMNCLButtonDblClk(TMessage& message);
  void WMNCRButtonUp(TMessage& message);
  void WMNCActivate(TMessage& message);
  void WMSetText(TMessage& message);
  void WMSetIcon(TMessage& message);
  void WMSize(TMessage& message);
  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMWindowPosChanging(TMessage& message);
  void WMWindowPosChanged(TMessage& message);
  void WMSysCommand(TMessage& message);
  void WMPrint(TMessage& message);
  void WMShowWindow(TMessage& message);
  // A child window was made: the new controls are adapted and told to look again.
  void WMParentNotify(TMessage& message);
  // A control came into the form: it and its children are adapted.
  void CMControlListChange(TMessage& message);
  void WMActivate(TMessage& message);
  void CMVisibleChanged(TMessage& message);
  void CMMenuChanged(TMessage& message);
  // A run-time-made provider prepares its form at the first hit test, frame painting or
  // showing of the form.
  void InitRuntimeProvider();
  bool FormShowing() const;
  // Own drag (ResizeMode rmBorder, full-window dragging off).
  void StartOwnDrag(int kind, bool moving);
  // Sets or clears the adapters' "a form is being moved" flag for this form's move or size.
  void SetFormMoving(bool moving);
  void MoveOwnDrag();
  void EndOwnDrag(bool apply);
  // Passes a message on with the form's redraw locked, or under the caption cover, so that
  // the system's own caption never shows.
  void PassCovered(TMessage& message);
  // The caption cover over the form's caption strip showing what the strip shows now; false
  // (nothing shown) when there is no strip to cover or a cover lies there already.
  bool CoverCaption();
  void UncoverCaption();
  void ShowSystemMenuBelowIcon();

private:
  bool CacheValid() const;
  // The recorded labels still in the form get their designed colours back; the records go.
  void RestoreLabelColours(TCustomForm* form);
  // Walks the form again (or makes the control adapter).
  void ReadaptControls();
  // A control coming into or leaving the form's components.
  void ControlNotification(TComponent* component, TOperation operation);
  // What the skin took from the form given back (menus, system-menu style, region, colours),
  // the form redrawn by itself: when the skin goes, and when the provider goes before its form.
  void GiveFormBack();
  struct TLabelLook {
    TColor Colour;
    bool Opaque;
  };
  std::map<const TControl*, TLabelLook> FLabelColours;
  std::unique_ptr<TlxCtrlAdapter> FCtrlAdapter;
  int FLockCount = 0;
  bool FIconDoubleClicked = false;
  std::unique_ptr<TCustomForm> FCaptionCover;
  TOwnedBitmap FCoverImage;


public:

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  // Takes the form's window method and registers the form.
  void HookForm();
  // Puts the saved window method back and unregisters the form; nothing when not hooked.
  void UnhookForm();
  void CallSavedWndProc(TMessage& message);
  // Stage 1: commands answered in every state; true when the message was answered.
  bool AnswerAnyState(TMessage& message);
  void SkinCommand(TMessage& message);
  void SkinLoaded(TMessage& message);
  void Unskin(TMessage& message);
  void RedrawSkin(TMessage& message);
  void WMSkinEditor(TMessage& message);
  void WMCopyData(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMCreate(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void ResolveIndexes();
  void ApplyGlobalColor();
  bool DestroyingForm() const;
  bool SkinIsActive() const;
  // A button image of the skin's "GLOBALINFO"; none when the skin lacks it.
  TsButtonImage SkinButtonImage(const char* key) const;

  TCustomForm* FForm = nullptr;
  TWndMethod FSavedWndProc;
  bool FAllowThemeChanges = true;
  // This form is being moved or sized by the user (it set the adapters' flag).
  bool FMovingForm = false;
  bool FHooked = false;
  bool FEmpty = false;
  bool FRuntimeMade = false;
  bool FRuntimeInitialized = false;
  bool FSysMenuStyleTaken = false;
  bool FCompositionMode = false;
  HMENU FWindowSystemMenu = nullptr;
  HWND FWindowSystemMenuOf = nullptr;
  TColor FDesignedColor = clBtnFace;
  int FTitleIndex = -1;
  int FCaptionIndex = -1;
  bool FAllowExtBorders = true;
  bool FDrawNonClientArea = true;
  bool FShowAppIcon = true;
  bool FUseGlobalColor = true;
  TAlignment FCaptionAlignment = taLeftJustify;
  std::string FMenuLineSkin;
  std::string FTitleSkin;
  std::unique_ptr<TsCommonData> FSkinData;
  std::unique_ptr<TlxAddedTitle> FAddedTitle;
  std::unique_ptr<TsTitleIcon> FTitleIcon;
  std::unique_ptr<TsTitleButtons> FTitleButtons;
  std::unique_ptr<TsSystemMenu> FSystemMenu;
  std::unique_ptr<TBitmap> FWorkBitmap;
  TsTitleStrip FSavedStrip;

  // --- frame painting and title buttons
  void PaintFrameBackground(TBitmap* cache, int state);
  void PaintGrip(TBitmap* cache);
  // Where the grip lies in the frame cache; empty while none is shown (GripMode, a sizeable
  // form that is not zoomed, a grip image in the skin).
  TRect GripRect(const TBitmap* cache);
  void PaintFrameMask(TBitmap* cache, bool drawMode1);   // extended borders
  void PaintTitleBar(TBitmap* cache, bool hasButtons);
  void PaintTitleIcon(TBitmap* cache);
  void PaintMenuLine(TBitmap* cache);
  void PaintCaption(TBitmap* cache);
  void DrawMenuLineText(HDC dc, TMenuItem* item, const TRect& rect, bool hot);
  void DrawMenuLineItemInto(HDC dc, TMenuItem* item, const TRect& rect, unsigned state);
  // The item's place in cache coordinates, from the system's placing of the bar; empty when
  // the bar does not show it.
  TRect MenuLineItemRect(TMenuItem* item);
  void CopyStripsToWindow(HDC dc);
  // The four edges of the window, `width` deep, from the cache (a borderless sizeable form).
  void CopyEdgeStripsToWindow(HDC dc, int width);
  void FixOldSkinAlpha(TBitmap* cache);
  void DrawTitleButton(TBitmap* cache, const TsTitleButtonState& b, int maskIndex);
  int ButtonMaskFor(const TsTitleButtonState& b) const;
  void CopyCacheRectToWindow(const TRect& r);
  void ButtonGlow(TsTitleButtonState& b);
  void ShowUserButtonHint(const TsTitleButton* button);
  int TitleState() const;
  bool ShowsMenuLine();
  TsTitleButtonState FButtonClose, FButtonMax, FButtonMin, FButtonHelp;
  TsTitleButtonState FMDIClose, FMDIRestore, FMDIMin;
  // The maximized MDI child's icon at the left of the menu line.
  void PaintMDIChildIcon(TBitmap* cache, int lineTop, int lineHeight);
  // "MDIAREA" into the cache where the client window lies.
  void PaintMDIArea(TBitmap* cache);
  // MDI messages of the window method; true when the message was handled.
  bool MDIMessage(TMessage& message);
  // The form or the provider goes: the client window's adapter, the hidden form and the globals
  // naming this provider let go; a child's main form lays out its menu line again.
  void ReleaseMDIParts();
  std::unique_ptr<TsMDIForm> FMDIForm;
  bool FMDISkinningStarted = false;
  bool FMDIReleased = false;
  // The tag bit of the window-menu entries the provider adds for the MDI children.
  static constexpr std::intptr_t MDIWindowEntryTag = 0x200;
  // The hidden form over the maximized child's buttons while a menu of the form is open.
  std::unique_ptr<TCustomForm> FMDIIcons;
  bool FInMenu = false;
  std::vector<TsTitleButtonState> FUserButtons;
  int FRestoreBigMask = -1, FRestoreSmallMask = -1;
  std::unique_ptr<TBitmap> FMenuLineBitmap;
  std::vector<TRect> FRegionRects;
  TsRegionFlags FRegionFlags;
  int FMaxMask = -1, FMinMask = -1;
  bool FMenuOwnerDrawTaken = false;
  bool FMenuOwnerDrawBefore = false;
  std::unique_ptr<THintWindow> FUserButtonHint;
  int FPressedButton = 0;
  // The window goes: its press ends and no hover tracking keeps it.
  void WindowGoing();
  std::unique_ptr<TlxBorderForm> FBorderForm;
  friend class TlxProviderBorderOwner;
  // Declared after the border window: freed before it.
  std::unique_ptr<TlxThreadedTimer> FFormTimer;
  std::unique_ptr<TlxThreadedTimer> FRetiredTimer;
  // The provider as the owner of its title-button animations, made at the first one; declared
  // before them: freed after them.
  std::unique_ptr<IlxEffectOwner> FEffectOwner;
  std::unique_ptr<TlxButtonAnimations> FButtonAnimations;
  friend class TlxProviderEffectOwner;
  // Cleared when the provider goes: a caller that sent a command which may free the form (and
  // so the provider) holds a copy and looks before touching the provider again.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// ---------------------------------------------------------------------------------------------
// Globals of the unit.

// Old skins (below version 7.51) get the alpha of their frame cache mended in extended drawing
// mode 1 while this is set.
extern bool OldSkinAlphaFix;

// Set by every provider construction: true outside design time when the program's first
// parameter is exactly "/lxpreview".
extern bool PreviewMode;
// The window announced to the skin editor (0 until then).
extern HWND PreviewWindow;
// WM_QUERYENDSESSION arrived: the session ends.
extern bool EndingSession;
// The provider of the MDI main form; the provider of the MDI child last activated or maximized;
// an MDI child was made while the active child was maximized.
extern TsSkinProvider* MDIParentProvider;
extern TsSkinProvider* ActiveChildProvider;
extern bool ChildWasMaximized;
// The message the skin editor and a previewed form exchange.
constexpr UINT WM_SKINEDITOR = 0xA400;
// The editor's window caption.
inline constexpr const char* SkinEditorCaption = "Tessels Editor";
// How long one announcement waits for the editor's answer (milliseconds).
constexpr UINT SkinEditorTimeout = 1000;

// The program's parameters after its path, as the preview switch reads them; tests replace it
// (an empty function restores the program's own command line).
using TParamSource = std::function<std::vector<std::string>()>;
void SetProviderParamSource(TParamSource source);
// Finds the editor's top-level window; tests replace it to count the searches (null restores
// the system search by caption).
using TEditorWindowFinder = HWND (*)();
void SetEditorWindowFinder(TEditorWindowFinder finder);

// Start-up step of the unit: registers TsSkinProvider for stored forms and gives the manager
// the window announced to the skin editor.
void InitSkinProviderUnit();
// Lets the skinned menus paint bar items over a provider's menu line (done by every provider
// as it is made, so it holds wherever a provider exists).
void RegisterMenuLineBackground();
