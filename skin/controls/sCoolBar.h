// The skinned cool bar: the framework's cool bar (a rebar of bands) drawn from its skin section
// (default "TOOLBAR"). Background and frame come from the skin data's cache bitmap; each band's
// header (grip, image, text) is composed in a work bitmap over that background, the grip from
// the "GRIPH" or "GRIPV" section (a horizontal bar's from "PROGRESSV" when the skin has no
// "GRIPH"). The band controls paint themselves. Owns its SkinData.
#pragma once

#include <memory>
#include <string>

#include "framework/win/ComCtrls.h"
#include "skin/core/win/sCommonData.h"

class TsCoolBar : public TCoolBar {
  ORBEX_CLASS(TsCoolBar, TCoolBar)
public:
  explicit TsCoolBar(TComponent* AOwner);
  ~TsCoolBar() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FSkinData.get(); }
  // Paints background and band headers into DC (client coordinates); with `RefreshChildren`
  // the band controls are told to paint again. Nothing unskinned or while painting is held.
  virtual void PaintToDC(HDC DC, bool RefreshChildren);
  // The band's grip width (0 for none) and the distance from its start to its control.
  int GripWidth(const TCoolBand* band) const;
  int HeaderSize(const TCoolBand* band);
  // The grip's section found by the last set-up (-1 for none) and its name.
  int GripSection() const { return FGripIndex; }
  const std::string& GripName() const { return FGripName; }

  // Skinned, each band keeps the room its header is painted in.
  int BandHeaderRoom(const TCoolBand* band) override;

protected:
  void WndProc(TMessage& Message) override;

private:
  // The grip's section, border mask and texture from the skin (none unskinned).
  void SetupGrip();
  void PrepareCache();
  // Where the client area starts inside the window.
  TPoint ClientOffset();
  // A band's header area in client coordinates (empty for a band without a shown control).
  TRect HeaderRect(int index);
  // The band's text as it is shown, "" when not shown.
  std::string ShownText(const TCoolBand* band) const;
  void PaintBandHeader(HDC DC, int index, const TPoint& offset);
  void CopyFrame(HDC DC);
  void EraseForChild(HDC DC);
  bool SkinCommand(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMPrint(TMessage& Message);

  std::unique_ptr<TsCommonData> FSkinData;
  int FGripIndex = -1;
  int FGripBorder = -1;
  std::string FGripName;
  int FGripTexture = -1;
};

// Start-up step of the unit: registers TsCoolBar for stored forms.
void InitCoolBarUnit();
