// The skinned push button: the framework's button whose face is painted from the skin section
// of its SkinData (default "BUTTON") into the skin data's cache bitmap: the section's fill for
// the face state (normal, hot, pressed) over the parent's background, its border mask (or the
// window region cut from a region-type mask), image-list glyphs (one index per state), the
// caption in the section's colours and, for a split button, the drop-down part of 16 pixels that
// opens DropDownMenu. State changes cross-fade (sFade) where the section and AnimatEvents allow
// it. Without a skin the button is drawn by its owner-draw path: the visual style's push button,
// or the system's frame control, with the same caption and glyph places (sButtonCore).
//
// Owns: its SkinData (and through it the cache bitmap), ImageMargins, the image change link,
// the fade timer (as its component, freed through StopFadeTimer) and the window region until
// the window takes it. Images and DropDownMenu are borrowed (free notification).
//
// Sections: image margins; the button (state, layout, painting, mouse, window procedure,
// unskinned drawing); registration.
#pragma once

#include <memory>
#include <string>

#include "framework/win/ImgList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WinTypes.h"
#include "skin/core/sButtonCore.h"
#include "skin/core/sConst.h"
#include "skin/core/win/sCommonData.h"

class TsFadeTimer;

// The margins around a button's glyph. Setting a value fires OnChange only when it changes;
// Assign from other margins copies all four and fires once.
class TImageMargins : public TPersistent {
  ORBEX_CLASS(TImageMargins, TPersistent)
public:
  int Left() const { return FValues[0]; }
  int Top() const { return FValues[1]; }
  int Right() const { return FValues[2]; }
  int Bottom() const { return FValues[3]; }
  void SetLeft(int v) { SetMargin(0, v); }
  void SetTop(int v) { SetMargin(1, v); }
  void SetRight(int v) { SetMargin(2, v); }
  void SetBottom(int v) { SetMargin(3, v); }
  // 0 Left, 1 Top, 2 Right, 3 Bottom.
  void SetMargin(int index, int value);
  TRect AsRect() const { return TRect{FValues[0], FValues[1], FValues[2], FValues[3]}; }
  void Assign(TPersistent* source) override;
  TNotifyEvent OnChange;

private:
  int FValues[4] = {0, 0, 0, 0};
};

class TsButton : public TButton {
  ORBEX_CLASS(TsButton, TButton)
public:
  explicit TsButton(TComponent* AOwner);
  ~TsButton() override;
  void AfterConstruction() override;
  void Loaded() override;

  // --- published settings
  TsCtrlSkinData* SkinData() const { return FSkinData.get(); }
  TlxAnimatEvents AnimatEvents = AnimatEventBit(aeGlobalDef);
  int FocusMargin = 1;
  int GetDisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(int v);
  bool GetShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool v);
  bool GetDown() const { return FDown; }
  void SetDown(bool v);
  const std::string& GetCommandLinkHint() const { return FCommandLinkHint; }
  void SetCommandLinkHint(const std::string& v);
  int GetContentMargin() const { return FContentMargin; }
  void SetContentMargin(int v);
  TButtonStyle GetStyle() const { return FStyle; }
  void SetStyle(TButtonStyle v);
  bool GetReflected() const { return FReflected; }
  void SetReflected(bool v);
  TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* v);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* v);
  TImageAlignment GetImageAlignment() const { return FImageAlignment; }
  void SetImageAlignment(TImageAlignment v);
  TImageMargins* ImageMargins() const { return FImageMargins.get(); }
  // Indexes: 0 ImageIndex, 1 HotImageIndex, 2 PressedImageIndex, 3 SelectedImageIndex,
  // 4 DisabledImageIndex.
  int GetImageIndexOf(int kind) const { return FImageIndexes[kind]; }
  void SetImageIndexOf(int kind, int v);

  // --- state and layout
  // 0 normal, 1 hot, 2 pressed (see ButtonCurrentState).
  int CurrentState();
  int CurrentImageIndex();
  bool HasGlyph() const;
  TRect GlyphRect();
  virtual TRect TextRect();
  // The caption (and a command link's hint and the focus frame) on the canvas, or the cache's.
  virtual void DrawCaption(TCanvas* canvas);
  virtual void DrawGlyph(TCanvas* canvas);
  // Paints the face of the current state into the cache bitmap (see the source's steps).
  void BuildFace();
  TsFadeTimer* FadeTimer() const { return FFadeTimer; }
  bool DroppedDown() const { return FDroppedDown; }

  // All buttons paint pressed (the release of a click that came during a fade).
  static bool PaintAsPressed;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetButtonStyle(bool ADefault) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

private:
  bool Skinned() const;
  bool Designing() const { return (ComponentState() & csDesigning) != 0; }
  void Repaint_();
  TsButtonLayout Layout();
  TSize MeasureText(const std::string& text, int width, bool wordWrap);
  // Applies the skin's region mask of the current state to the cache (cutting the region).
  void PaintFaceMask(int state);
  void PaintButton(HDC dc);
  void SetWindowRegion();
  void InvalidateShrunkStrips();
  void StopFade();
  void Fade(TlxAnimatEvent event);
  // The press and the release of the mouse (after the system button had them).
  void ButtonPressed(TMouseButton button);
  void ButtonReleased(TMouseButton button);
  bool InSplitPart(int x) const;
  // The drop-down part was pressed: its menu opens below the button.
  void DropDown();
  void MouseEnterLeave(bool enter);
  bool SkinCommand(TMessage& m);
  bool SkinnedMessage(TMessage& m);
  // Handlers of SkinnedMessage; true when the message was answered.
  bool PaintCommand(TMessage& m);
  bool KillFocusStep(TMessage& m);
  bool EraseBackground(TMessage& m);
  bool FocusChanged(TMessage& m);
  void AfterFramework(const TMessage& m);
  void FocusStep(TMessage& m);
  void DrawUnskinned(const DRAWITEMSTRUCT& item);
  void ImagesChanged(TObject*);

  std::unique_ptr<TsCtrlSkinData> FSkinData;
  int FDisabledKind = 1;   // [dkBlended]
  TsFadeTimer* FFadeTimer = nullptr;
  TOwnedRegion FRegion;    // cut, not yet given to the window
  bool FRegionEverSet = false;
  TRect FLastRegionBounds;
  bool FShowFocus = true;
  bool FReflected = false;
  TButtonStyle FStyle = bsPushButton;
  int FContentMargin = 6;
  TPopupMenu* FDropDownMenu = nullptr;
  std::string FCommandLinkHint;
  TCustomImageList* FImages = nullptr;
  TImageAlignment FImageAlignment = iaLeft;
  int FImageIndexes[5] = {-1, -1, -1, -1, -1};
  std::unique_ptr<TChangeLink> FImageChangeLink;
  std::unique_ptr<TImageMargins> FImageMargins;
  bool FDown = false;
  bool FFocusedOrDefault = false;
  bool FRegionChanged = true;
  bool FDroppedDown = false;
  bool FMouseClicked = false;
  // While a face is drawn: the state it shows, asked once (-1 outside).
  int FStateNow = -1;
  class TStateScope {
  public:
    explicit TStateScope(TsButton& b) : FButton(b), FOuter(b.FStateNow) {
      b.FStateNow = -1;
      b.FStateNow = b.CurrentState();
    }
    ~TStateScope() { FButton.FStateNow = FOuter; }
    TStateScope(const TStateScope&) = delete;
    TStateScope& operator=(const TStateScope&) = delete;

  private:
    TsButton& FButton;
    int FOuter;
  };
  // Cleared when the button goes: a menu handler or a click may free it with its form.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Start-up step of the unit: registers TsButton for stored forms.
void InitButtonUnit();
