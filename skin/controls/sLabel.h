// The skinned labels: for now stand-ins. `TsLabel` is the framework's label with the skinned
// label's published properties (`SkinSection`, `UseSkinColor`) stored; `TsWebLabel` adds a link
// (`URL`, `ShowMode`, `HoverFont`) that opens in the system's browser on a click and shows the
// hover font while the mouse is above it. They draw with the system until the skinning engine
// arrives. The web label owns its hover and normal fonts.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/win/StdCtrls.h"
#include "skin/core/sConst.h"

class TsCustomLabel : public TCustomLabel {
  ORBEX_CLASS(TsCustomLabel, TCustomLabel)
public:
  explicit TsCustomLabel(TComponent* AOwner);
  const std::string& GetSkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& v);

private:
  std::string FSkinSection;
};

class TsLabel : public TsCustomLabel {
  ORBEX_CLASS(TsLabel, TsCustomLabel)
public:
  explicit TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}
  bool UseSkinColor = true;
};

class TsWebLabel : public TsLabel {
  ORBEX_CLASS(TsWebLabel, TsLabel)
public:
  explicit TsWebLabel(TComponent* AOwner);
  ~TsWebLabel() override;

  std::string URL;
  TsWindowShowMode ShowMode = soDefault;
  TFont* HoverFont() const { return FHoverFont.get(); }
  // The font shown while the mouse is not above the label.
  TFont* NormalFont() const { return FNormalFont.get(); }
  bool MouseAbove() const { return FMouseAbove; }
  // Opens URL with the shell verb "open" (nothing for an empty URL). Tests replace the opener.
  void OpenURL();
  std::function<void(const std::string& url, int showCmd)> Opener;

  void Loaded() override;
  void WndProc(TMessage& Message) override;

private:
  std::unique_ptr<TFont> FHoverFont;
  std::unique_ptr<TFont> FNormalFont;
  bool FMouseAbove = false;
  void ShowFont(TFont* f);
};

// Start-up step of the unit: registers the label classes for stored forms.
void InitLabelUnit();
