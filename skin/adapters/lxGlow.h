// Glow windows: a soft halo around a hovered control, shown by a top-level layered window of
// its own with per-pixel alpha that lets the mouse through. All glows of the program sit in
// one process-wide list; a glow is known by its id, which the caller keeps to hide it later.
// Ids are never used twice, also after the list was cleared, so a stale id hides nothing.
//
// Owns: the glow list, each glow's form (a framework form without owner, Tag -98) and, while
// a glow is being shown, its alpha bitmap. A form that is released rather than freed at once
// frees itself when its queued release message is handled.
//
// Sections: the glow; the list; showing, hiding and clearing; start-up.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/paint/lxGlowCore.h"

class TsSkinManager;
class TlxDibSection;

// ---------------------------------------------------------------------------------------------
// One glow.
class TlxGlowEffect : public TObject {
  ORBEX_CLASS(TlxGlowEffect, TObject)
public:
  TlxGlowEffect() = default;
  // Puts the form's window method back, then frees the form at once when the manager is being
  // destroyed or the application is terminating (or `immediate`), else releases it (the form
  // frees itself once the messages now queued are handled).
  ~TlxGlowEffect() override;
  TlxGlowEffect(const TlxGlowEffect&) = delete;
  TlxGlowEffect& operator=(const TlxGlowEffect&) = delete;

  // Makes the glow form and shows it around the control (screen rectangle, visible part in
  // control coordinates, the window whose z-order the glow follows). Nothing when the glow
  // already has a form. False, with no form left, when the glow would have no pixels.
  bool Show(const TRect& controlRect, const TRect& visibleRect, HWND controlWnd);
  // The glow picture for a window of the geometry's size into AlphaBitmap.
  void BuildAlphaBitmap(const TlxGlowGeometry& g);
  // Ask for the form to be freed at once rather than released when the glow goes.
  void FreeFormAtOnce() { FImmediate = true; }

  TForm* GlowForm() const { return FGlowForm.get(); }
  TsSkinManager* SkinManager = nullptr;
  int GlowMaskIndex = -1;
  // How far the glow is pulled in toward the control on every side (pixels).
  int Margin = 0;
  // Only while the glow is being shown.
  std::unique_ptr<TlxDibSection> AlphaBitmap;

private:
  std::unique_ptr<TForm> FGlowForm;
  TWndMethod FPreviousWndProc;
  bool FImmediate = false;

  void GlowWndProc(TMessage& m);
  TRect MaskBorders() const;
};

// ---------------------------------------------------------------------------------------------
// The process-wide glow list. The id of a glow is the first id of the list plus its index; a
// hidden glow leaves an empty slot, so later ids stay valid; clearing the list moves its first
// id past every id it gave out.
class TlxGlowEffects {
public:
  // The new glow's id; -1 when no id is left.
  int Add(std::unique_ptr<TlxGlowEffect> glow);
  // The glow of an id, or null for a hidden, cleared or unknown id.
  TlxGlowEffect* Get(int id) const;
  // Frees the glow of an id; nothing for a hidden, cleared or unknown id.
  void Remove(int id);
  // Frees every glow (forms freed at once with `immediate`) and empties the list.
  void Clear(bool immediate);
  // Slots in the list, hidden ones included.
  int Count() const { return static_cast<int>(FItems.size()); }

private:
  std::vector<std::unique_ptr<TlxGlowEffect>> FItems;
  int FFirstId = 0;
};

TlxGlowEffects& GlowEffects();

// ---------------------------------------------------------------------------------------------
// Shows a glow around a control and returns its id, or -1 (nothing made) without layered
// windows, without the mask `maskName` + "0" in `sectionName` (looked up without inheritance
// in the manager's skin; no manager: the default one) or when the glow would have no pixels.
// controlRect in screen coordinates; visibleRect, the control's visible part, in control
// coordinates; `alpha` is not used (the mask's coverage decides).
int ShowGlow(const TRect& controlRect, const TRect& visibleRect, const std::string& sectionName,
             TsSkinManager* manager, HWND controlWnd, int alpha, int margin, const std::string& maskName);
// Frees the glow of an id; nothing for -1 or a stale id.
void HideGlow(int glowId);
// Frees every glow; with restoreMethods each form is freed at once.
void ClearGlows(bool restoreMethods);

// Start-up step "lxGlow": fills the skin manager's glow links. DoneGlowUnit clears every glow
// and the links.
void InitGlowUnit();
void DoneGlowUnit();
