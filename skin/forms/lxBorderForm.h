// The extended-border window: a hidden-from-taskbar, never-activated, layered top-level window
// owned by a skinned window and kept next to it in the Z order (the system keeps an owned
// window above its owner; the window's region has a hole where the owner's content lies), showing the owner's whole frame image
// with the shadow around it (the owner's frame cache) with per-pixel alpha. The skinned
// window keeps only its content; this window takes the mouse over the frame: hit testing,
// cursor shapes, title-button hover, double-click actions and dragging are decided here and
// forwarded to the owner.
//
// An owner is a form's skin provider or the adapter of a skinned system dialog; both supply
// the operations of IlxBorderOwner (TlxProviderBorderOwner serves the provider).
//
// Owns the border window (a framework form, Tag -98, never skinned) and the owner adapter it
// was given. The owner, its skin data and its window are borrowed.
//
// Sections: owner operations; the border window object; the provider's owner adapter.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>
// The border window object's own CreateWindow: the system's macro of that name is not used by
// the units that see this header.
#undef CreateWindow

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/base/Classes.h"
#include "skin/core/lxBorderGeometry.h"

class TsCommonData;
class TsSkinProvider;
class TsSkinManager;
struct TsFormGeometry;

// ---------------------------------------------------------------------------------------------
// Owner operations.

// Owner-state bits the border window reads (the provider's form-state word; a dialog keeps
// Sizing and Moving only).
constexpr std::uint32_t lxOwnerSizing = 0x1;
constexpr std::uint32_t lxOwnerMoving = 0x80;
constexpr std::uint32_t lxOwnerMinimizing = 0x100;
constexpr std::uint32_t lxOwnerHiding = 0x200;
constexpr std::uint32_t lxOwnerSkinChanging = 0x1000;
constexpr std::uint32_t lxOwnerStretchedVertically = 0x2000;
constexpr std::uint32_t lxOwnerStretchedHorizontally = 0x4000;
constexpr std::uint32_t lxOwnerActivating = 0x8000;

// The owner's frame as the border window measures it (pixels).
struct TlxOwnerFrame {
  int PlainFrame = 0;       // the system frame the owner keeps (SM_CXFRAME, SM_CXDLGFRAME or 0)
  int ExtBorderWidth = 0;   // the skin's extended border width
  int ExtraWidth = 0;       // the extended border's extra width over the system frame
  int ExtTitleHeight = 0;   // the skin's extended title height
  int ExtTitleExtra = 0;    // the extended title's extra height
  int CaptionHeight = 0;    // the owner's system caption height
  bool HasCaption = false;
  bool ThickFrame = false;
  bool Maximized = false;
  bool Iconic = false;
  // A maximized provider form whose title is lower than its caption (the maximized-size rule).
  bool SysExtendedHeight = false;
  int AlignOffset = 0;      // the skin's "ALIGNOFFSET"
  int CornerSide = 0;       // the skin's "FORMOFFSET": side of the blur region's corner squares
};

// The title buttons under a point: the number of the button (1 close, then as far as shown
// maximize, minimize, help, then every user button by collection index), 0 for none, and the
// flags that turn it into a hit code.
struct TlxButtonsAt {
  int Number = 0;
  TlxTitleButtonFlags Flags;
};

class IlxBorderOwner {
public:
  virtual ~IlxBorderOwner() = default;
  // The owner window (none while the form has no handle).
  virtual HWND OwnerHandle() const = 0;
  // Left, top, right and bottom shadow margins.
  virtual TRect ShadowMargins() const = 0;
  virtual TsCommonData* SkinData() const = 0;
  virtual TlxOwnerFrame Frame() const = 0;
  // Title-button hover (-1 clears it).
  virtual void SetHotButton(int code) = 0;
  // The owner's caption height, with or without the extended title.
  virtual int CaptionHeight(bool withExtTitle) const = 0;
  // The menu lines' height (0 for a dialog).
  virtual int MenuHeight() const = 0;
  // The title icon in border-window coordinates.
  virtual TRect IconRect() const = 0;
  // Rebuilds the frame cache.
  virtual void RepaintOwner() = 0;
  // The owner's whole image, content included, into the cache (while it moves or animates).
  virtual void RenderWholeImage() = 0;
  virtual std::uint32_t OwnerState() const = 0;
  virtual void SetOwnerState(std::uint32_t state) = 0;
  // The normal bounds an edge double click stretched the owner from, kept by the owner with
  // its stretched bits (this object is made anew at every restore and show).
  virtual TRect StretchedBounds() const { return TRect{}; }
  virtual void SetStretchedBounds(const TRect& bounds) { (void)bounds; }
  // Frees the glow animations of the title buttons.
  virtual void StopButtonAnimations() = 0;
  // The owner's content in border-window coordinates for a window of width x height (the
  // new size while sizing).
  virtual TRect ContentRect(int width, int height) const = 0;
  // The title button at a point in border-window coordinates.
  virtual TlxButtonsAt ButtonAt(TPoint p) const = 0;
  // The grip: shown with its image, and its image's top-left in border-window coordinates.
  virtual bool GripAt(TPoint& corner) const = 0;
  // The skin data is being printed, paint-locked or updating, painting is suspended or the
  // frame is not drawn: no update now.
  virtual bool PaintingHeld() const = 0;
  // The owner (or its form) is being destroyed.
  virtual bool Destroying() const = 0;
  // The provider when the owner is one (null for a dialog).
  virtual TsSkinProvider* Provider() const { return nullptr; }

  // Provider services (a dialog keeps the defaults).
  // The application's own hit test (OnExtHitTest); true when it answered non-zero.
  virtual bool ExtHitTest(TMessage& message) { (void)message; return false; }
  // The owner no longer wants its border window (frees the border window object).
  virtual void ReleaseBorder() {}
  // The constant alpha of an upload asked with `alpha`.
  virtual int AlphaValue(int alpha) const { return alpha; }
  // Screen snap while moving: on, with its buffer.
  virtual bool ScreenSnap(int& buffer) const { (void)buffer; return false; }
  // The work area of the owner's monitor.
  virtual TRect WorkArea() const = 0;
  // Ends the owner's own frame drag still pending (a double click ends it where it stands).
  virtual void EndPendingDrag() {}
};

// The maximized-window rule: a maximized form keeps no extended-border window. A program-wide
// switch, off unless the program turns it on.
bool MaxWindowRule();
void SetMaxWindowRule(bool on);

// ---------------------------------------------------------------------------------------------
// The border window object.

class TlxBorderForm : public TPersistent {
  ORBEX_CLASS(TlxBorderForm, TPersistent)
public:
  explicit TlxBorderForm(std::unique_ptr<IlxBorderOwner> owner);
  ~TlxBorderForm() override;

  IlxBorderOwner* Owner() const { return FOwner.get(); }
  TsSkinProvider* Provider() const { return FOwner->Provider(); }
  TForm* BorderWindow() const { return FBorderWindow.get(); }
  // The border window's handle, or none while it is freed.
  HWND Handle() const;
  TWndMethod OldWndMethod;
  HWND OldParent = nullptr;
  TsCommonData* SkinData() const { return FOwner->SkinData(); }
  bool Updating = false;
  bool RegionBusy = false;
  bool RegionDirty = false;

  // Makes the window: hidden, borderless, Tag -98, extended style 0x08080080, owned by the
  // owner window, its window method replaced by BorderWndProc.
  void CreateWindow();
  // Frees the window (the object stays; the next update makes it again).
  void FreeWindow();
  // Repaints (when asked or when the image changed size) and shows the window behind the
  // owner with the constant alpha.
  void UpdateExBorder(bool repaint = true, int alpha = 255);
  // Puts the window next to its owner in the Z order (the system keeps it just above).
  void PlaceBehindOwner();
  // After the window moved in the Z order: a stay-on-top form's border window goes back next
  // to it, or topmost under composition when the form is the active main form.
  void KeepWithStayOnTopOwner();
  // The hit-test code of the screen point in the message.
  int HitTest(const TMessage& message);
  // Gives the window its region for the owner's present size again, also when it is thought
  // unchanged (after its pixels were replaced by another image).
  void ResetRegion();
  // True when the message's point lies in the shadow band.
  bool PointInShadow(const TMessage& message);
  void RestoreRegion();
  // The owner's left and top edges inside the border window.
  int FormLeftOffset() const;
  int FormTopOffset() const;
  // Where the owner's top edge lies inside the window as it is placed: FormTopOffset, or for a
  // maximized form whose title is lower than its caption, shadow top + extended-title extra
  // height + 4. The frame cache holds the owner's window there too.
  int PlacedTopOffset() const;

  void BorderWndProc(TMessage& message);

private:
  void DefaultHandling(TMessage& message);
  // WM_SHOWWINDOW hiding the window: kept while the owner minimizes or hides, and with the
  // hide animation on, kept showing the owner's whole image; true when swallowed.
  bool HidesAnimated(TMessage& message);
  // The window's region for an owner of width x height (0: its present size) as a plan; false
  // without a window.
  bool RegionPlan(int width, int height, TlxBorderRegion& plan) const;
  // Sets the region unless the window has that region already.
  void SetRegion(int width, int height);
  // The border window lies next to its owner in the Z order.
  bool NextToOwner() const;
  void ForwardToOwner(UINT msg, WPARAM wParam, LPARAM lParam);
  void DoubleClick(TMessage& message);
  void SetCursorFor(TMessage& message);
  void CutPixelUnderCursor(const TMessage& message);
  void SnapWhileMoving(TMessage& message);
  void ApplyBlur(HWND wnd);
  // The device context to upload from: the cache's own, or, when the region cuts the owner's
  // content out, that of a copy whose content pixels are cleared (colour and alpha 0).
  HDC UploadSource(TBitmap* cache, int ownerWidth, int ownerHeight);
  TPoint WindowPoint(const TMessage& message) const;

  std::unique_ptr<IlxBorderOwner> FOwner;
  std::unique_ptr<TForm> FBorderWindow;
  // The region last set by SetRegion, while the window still has it (setting a region costs
  // a round trip to the display on every update).
  bool FRegionKnown = false;
  TlxBorderRegion FRegion;
  // The uploaded copy of the cache, kept for the next upload of the same size.
  std::unique_ptr<TBitmap> FUpload;
};

// ---------------------------------------------------------------------------------------------
// The provider's owner adapter.

std::unique_ptr<IlxBorderOwner> MakeProviderBorderOwner(TsSkinProvider* provider);
// Shared by the owner adapters: the frame of an owner described by its geometry, and the
// owner's client as it shows now copied into its cache at `client`, opaque.
TlxOwnerFrame OwnerFrameOf(const TsFormGeometry& f, TsSkinManager* m);
void CopyClientIntoCache(HWND owner, TBitmap* cache, const TRect& client);
// The dialog adapter's owner adapter (lxDialogBorderOwner.cpp).
class TlxDialogWnd;
std::unique_ptr<IlxBorderOwner> MakeDialogBorderOwner(TlxDialogWnd* dialog);
