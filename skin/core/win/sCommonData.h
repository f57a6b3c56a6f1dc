// The skin state that every skinned control, window adapter and form skin provider owns and
// publishes as `SkinData`: the section it is bound to and that section's resolved indexes, its
// hover and focus state, a 32-bit cache image of the owner, the hold-paint and paint-lock
// state and whether its image depends on what lies beneath it. Beside it the two routines every
// skinned window method calls first: the common answer to the skin command message and the
// common reaction to ordinary window messages, and the background exchange helpers.
//
// Owns its cache bitmap and nothing else: the owner, its manager and glows are borrowed (a
// glow is hidden again through the manager's glow links).
//
// Sections: skin state; background and parent helpers; cache copies; message routines.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Controls.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/paint/sBackgroundInfo.h"

class TsSkinManager;
class TBitmap;
class TCustomForm;
struct TMessage;

// Control-state flags of the skin state.
constexpr std::uint16_t csPlainOwner = 0x0001;     // the image is the parent's background or a flat colour
constexpr std::uint16_t csPrintingToDC = 0x0200;   // being painted into the print DC
constexpr std::uint16_t csPaintLockHeld = 0x0800;

// ---------------------------------------------------------------------------------------------
// Skin state.
class TsCommonData : public TPersistent {
  ORBEX_CLASS(TsCommonData, TPersistent)
public:
  // `controlKind` chooses the default section and the hover, glow and focus rules; with
  // `createCache` the 32-bit cache bitmap is made at once.
  TsCommonData(TPersistent* owner, int controlKind, bool createCache = false);
  ~TsCommonData() override;

  // --- published settings
  // Upper-cased; "" becomes "UNKNOWN"; the same name again changes nothing.
  const std::string& GetSkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& value);
  // The own manager, else the process-wide default one.
  TsSkinManager* GetSkinManager() const;
  // Null unless a manager other than the default one was set: what is stored with the owner.
  TsSkinManager* StoredSkinManager() const { return FSkinManager; }
  void SetSkinManager(TsSkinManager* value);
  bool GetCustomColor() const { return FCustomColor; }
  void SetCustomColor(bool v) { FCustomColor = v; }
  bool GetCustomFont() const { return FCustomFont; }
  void SetCustomFont(bool v) { FCustomFont = v; }
  void Assign(TPersistent* source) override;

  // --- owner and indexes
  TPersistent* Owner() const { return FOwner; }
  // Binds the state to another owner (a control adapter's item to the control it adapts);
  // null lets go of the owner before it goes.
  void SetOwner(TPersistent* owner);
  TControl* OwnerControl() const { return FOwnerControl; }
  int SectionIndex() const { return FSectionIndex; }
  int BorderIndex() const { return FBorderIndex; }
  int TextureIndex() const { return FTextureIndex; }
  int HotTextureIndex() const { return FHotTextureIndex; }
  int GlowID() const { return FGlowID; }
  int ControlKind() const { return FControlKind; }
  std::uint16_t CtrlState() const { return FCtrlState; }
  void ClearCtrlStateBits(std::uint16_t bits) { FCtrlState &= static_cast<std::uint16_t>(~bits); }
  std::uint8_t BGKind() const { return FBGKind; }
  HDC PrintDC() const { return FPrintDC; }
  int LockDepth() const { return FLockDepth; }
  TBitmap* CacheBitmap() const { return FCache.get(); }
  // The manager's hue and saturation change of this control's colours (0 for TsCommonData).
  int HueOffsetOf() const { return FHueOffset; }
  int SaturationOf() const { return FSaturation; }

  // --- flags (bytes: plain state, set by commands and messages)
  std::uint8_t Focused = 0;
  std::uint8_t MouseAbove = 0;
  std::uint8_t HoldPaint = 0;
  std::uint8_t BGChanged = 1;
  std::uint8_t UrgentPainting = 0;
  std::uint8_t PartlyHidden = 1;
  std::uint8_t GraphicControl = 0;

  // --- skin
  // A section is named and resolved in a live manager, and the owner is not going; with
  // `checkActive` the manager's skin must also be active.
  bool HasSkin(bool checkActive = true) const;
  // Looks the section up again in the manager with its border mask, textures and transparency.
  void ResolveSection();
  // After the owner was loaded: the kind's default section when none is named, else the
  // section resolved; then a skinned owner with a parent tells its form and takes its colours.
  void AfterLoad();
  // Edit kinds only: the owner's colour and font colour follow the section.
  void UpdateColors(bool repaint);
  void RequestRepaint();
  // Nested holds of painting; the owner is told at the first begin of each (command 31) and at
  // the end of the outermost (command 32).
  void BeginPaintLock();
  void EndPaintLock(bool repaint);
  void SetPaintLock(bool value) { HoldPaint = value ? 1 : 0; }
  bool IsPaintLocked() const;
  bool NeedsOwnBackground() const;
  bool IsActiveState() const;
  bool DependsOnBackground() const;
  // The parent's answer to command 19 (0 without parent or window).
  LRESULT IsSeeThroughParent() const;
  bool NeedsOwnImage() const;
  void UpdateTransparency(bool children);
  // The widest side of the border mask; 0 without one or for a mask that paints nothing in its
  // normal state.
  int BorderWidth() const;
  // The background colour (RGB) of the owner in `state`; `wnd` stands for an owner without a
  // control.
  TColor SectionColor(int state, HWND wnd) const;
  // Answers a background request (command 34); `wnd` as in SectionColor.
  void ProvideBackground(TsBackgroundRequest& request, int state, HWND wnd);
  void ParentBackgroundInfo(TsBackgroundInfo& info);
  // Shows, moves or hides the owner's hover glow; `wnd` for an owner without a control.
  void UpdateGlow(bool force, HWND wnd);
  void HideGlow();
  // Creates, types and sizes the cache bitmap to the owner.
  void EnsureCacheBitmap();
  // Empties the cache bitmap (width 0, handle released).
  void DropCache();
  // Section, border and both texture indexes to -1 (the skin was withdrawn).
  void ClearIndexes();
  // Painting into `dc` (command 38) begins; 0 ends it.
  void SetPrintDC(HDC dc);

protected:
  int FHueOffset = 0;
  int FSaturation = 0;

private:
  // ResolveSection when the manager holds a skin's sections, else no section.
  void ResolveIfLoaded();
  TCustomForm* ProviderForm() const;
  TWinControl* OwnerWindowed() const;
  const TsGeneralData* Section() const;
  void TellOwner(std::uint16_t command, LPARAM lparam);
  void ForwardToParent(TsBackgroundRequest& request, HWND wnd);
  void AnswerFromCache(TsBackgroundRequest& request);

  TPersistent* FOwner;
  TControl* FOwnerControl;
  std::string FSkinSection;
  TsSkinManager* FSkinManager = nullptr;
  bool FCustomColor = false;
  bool FCustomFont = false;
  int FSectionIndex = -1;
  int FBorderIndex = -1;
  int FTextureIndex = -1;
  int FHotTextureIndex = -1;
  int FGlowID = -1;
  std::unique_ptr<TBitmap> FCache;
  int FLockDepth = 0;
  int FControlKind;
  std::uint16_t FCtrlState = 0;
  std::uint8_t FBGKind = 0;
  HDC FPrintDC = nullptr;
};

class TsCtrlSkinData : public TsCommonData {
  ORBEX_CLASS(TsCtrlSkinData, TsCommonData)
public:
  using TsCommonData::TsCommonData;
  int GetHUEOffset() const { return FHueOffset; }
  void SetHUEOffset(int v) { FHueOffset = v; }
  int GetSaturation() const { return FSaturation; }
  void SetSaturation(int v) { FSaturation = v; }
  void Assign(TPersistent* source) override;
};

// ---------------------------------------------------------------------------------------------
// Background and parent helpers.

// The info of a window without a control: its parent window asked, or the process-wide
// default info for a window without parent.
void GetWindowParentBackground(HWND wnd, TsBackgroundInfo& info);
// The section index of the nearest ancestor of `control` with an opaque skin (see source);
// `defaultIndex` when none.
int ParentSectionIndex(TControl* control, int defaultIndex, TsSkinManager* manager, int state);

// ---------------------------------------------------------------------------------------------
// Cache copies: the piece (source rect moved by the offsets) of the skin data's cache into DC
// at `dest`, leaving out the children that paint themselves.
void CopyCacheExcludingChildren(TWinControl* control, TsCommonData* data, const TRect& source,
                                int yOffset, int xOffset, bool updateFirst, HDC dc, const TRect& dest);
void CopyCacheExcludingChildWindows(HWND wnd, TsCommonData* data, const TRect& source, int yOffset,
                                    int xOffset, bool updateFirst, HDC dc, const TRect& dest);
// The four strips of the cache around the control's client area (top, left, bottom, right)
// into DC, whose origin is the window's top left corner. Nothing unless the cache has the
// control's size.
void CopyCacheFrame(TWinControl* control, TsCommonData* data, HDC dc);
// The cache made to fit the control and its section item painted into it over the parent's
// background at the control's place; the background-changed flag is cleared.
void PaintCacheFromParent(TControl* control, TsCommonData* data);

// ---------------------------------------------------------------------------------------------
// Message routines. Both answer false for no skin data; true means the message was answered
// and the owner's own handling must not run.
bool HandleSkinCommand(TMessage& message, TsCommonData* data);
// The skin command came from the skin data's own manager (LParam 0 stands for the default one).
bool IsFromOwnManager(const TMessage& message, const TsCommonData* data);
bool HandleCommonMessage(TMessage& message, TsCommonData* data);
// The first step of a skinned container's window method: HandleCommonMessage, then the skin
// loaded, unskin and redraw commands passed on to its child controls.
bool HandleContainerMessage(TMessage& message, TsCommonData* data, TWinControl* container);
// The first steps of a skinned bar at the skin-loaded command: false when it came from another
// manager; else the bar's visual style switched off (outside design time, with a window), the
// command passed to its children and the common handling run. The bar's own set-up follows.
bool BarSkinLoaded(TMessage& message, TsCommonData* data, TWinControl* bar);
