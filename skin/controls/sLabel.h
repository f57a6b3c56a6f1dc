// The skinned labels. They take their text colour from the skin of the container they sit on
// (else the skin's global font colour), draw disabled text blended toward the background, may
// paint a skin section under themselves, and the web label opens a link and shows a hover font.
// Labels have no window and no skin state of their own: they always ask the default skin
// manager. `TsEditLabel` is the caption label a bound label (sBoundLabel) makes beside its
// control.
//
// Painting sets the skin's colour on the label's font; the colour the label was designed with
// is kept aside and comes back when the skin is withdrawn. The web label owns its hover,
// normal and painting fonts.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/core/sConst.h"

class TsBoundLabel;
class TsSkinManager;

class TsCustomLabel : public TCustomLabel {
  ORBEX_CLASS(TsCustomLabel, TCustomLabel)
public:
  explicit TsCustomLabel(TComponent* AOwner);
  const std::string& GetSkinSection() const { return FSkinSection; }
  // Repaints when the name differs (case-sensitive).
  void SetSkinSection(const std::string& v);
  // The font the text is painted with, its colour set from the skin (see FontToPaint of each
  // class); null never.
  virtual TFont* FontToPaint();
  // The colour the font had before the skin coloured it.
  TColor DesignedColor() const { return FDesignedColor; }
  // The section found for the paint in progress, -1 outside painting.
  int SectionIndex() const { return FSectionIndex; }
  void WndProc(TMessage& Message) override;

protected:
  void Paint() override;
  void DoDrawText(TRect& Rect, UINT Flags) override;
  // The default manager when its skin is active and it is not going, else null.
  static TsSkinManager* ActiveManager();
  // The skin's colour for the label's own font, LabelKeepColor for none.
  TColor SkinFontColor();
  // Sets the colour on the font when it differs; LabelKeepColor changes nothing.
  static void ApplyColor(TFont* font, TColor color);
  // The skin was withdrawn: the font takes its designed colour again.
  void RestoreDesignedColor();

private:
  void FontChangedMessage(TMessage& Message);
  void PaintSectionUnder(TsSkinManager* m);

  std::string FSkinSection;
  int FSectionIndex = -1;
  TColor FDesignedColor;
  bool FInFontChanged = false;
};

class TsLabel : public TsCustomLabel {
  ORBEX_CLASS(TsLabel, TsCustomLabel)
public:
  explicit TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}
  bool UseSkinColor = true;
  TFont* FontToPaint() override;
  void WndProc(TMessage& Message) override;
};

class TsWebLabel : public TsLabel {
  ORBEX_CLASS(TsWebLabel, TsLabel)
public:
  explicit TsWebLabel(TComponent* AOwner);
  ~TsWebLabel() override;

  std::string URL;
  TsWindowShowMode ShowMode = soDefault;
  TFont* HoverFont() const { return FHoverFont.get(); }
  void SetHoverFont(TFont* f) { FHoverFont->Assign(f); }
  // The font shown while the mouse is not above the label.
  TFont* NormalFont() const { return FNormalFont.get(); }
  // The painted font and the normal font take `f`; the label repaints.
  void SetFont(TFont* f);
  bool MouseAbove() const { return FMouseAbove; }
  // Opens URL with the shell verb "open" (nothing for an empty URL). Tests replace the opener.
  void OpenURL();
  std::function<void(const std::string& url, int showCmd)> Opener;

  // The normal font, or the hover font while the mouse is above, in a copy coloured from the
  // skin: the label's own fonts keep the colours they were given.
  TFont* FontToPaint() override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;

private:
  void MouseMoved(bool above);

  std::unique_ptr<TFont> FHoverFont;
  std::unique_ptr<TFont> FNormalFont;
  std::unique_ptr<TFont> FPaintFont;
  bool FMouseAbove = false;
};

// The caption label of a bound label; owned by the bound control, told to its bound label when
// it goes (its parent form may free it before the control).
class TsEditLabel : public TsLabel {
  ORBEX_CLASS(TsEditLabel, TsLabel)
public:
  TsEditLabel(TComponent* AOwner, TsBoundLabel* bound);
  ~TsEditLabel() override;
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }

private:
  TsBoundLabel* FBoundLabel;
};

// Start-up step of the unit: registers the label classes for stored forms.
void InitLabelUnit();
