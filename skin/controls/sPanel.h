// The skinned panel: the framework's panel painted from a skin section (default "PANEL"): its
// background, border mask and caption go into the skin data's cache bitmap, which is copied
// to the screen, or straight into the device context when the panel must show a custom colour.
// Its section follows the outer bevel while it holds a bevel's default section. Graphic
// children paint over it as the framework paints them. Owns its SkinData.
#pragma once

#include <functional>
#include <memory>

#include "framework/win/ExtCtrls.h"
#include "skin/core/win/sCommonData.h"

// The panel's paint event: sender and the canvas painted on.
using TsPaintEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;

class TsPanel : public TPanel {
  ORBEX_CLASS(TsPanel, TPanel)
public:
  explicit TsPanel(TComponent* AOwner);
  ~TsPanel() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FSkinData.get(); }
  TsPaintEvent OnPaint;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // Paints the panel into DC (the canvas's DC when null): from the cache when the panel draws
  // its own background, else directly; then the graphic children.
  virtual void PaintToDC(HDC DC, bool RefreshChildren);
  // The caption, vertically centred in r, in the section's text colours; on the canvas, else on
  // a temporary canvas over DC.
  virtual void WriteText(const TRect& r, TCanvas* ACanvas, HDC DC);
  // Background, border and caption into the cache bitmap when the panel draws its own
  // background.
  void PrepareCache();
  // The client rectangle less the bevels and BorderWidth.
  TRect CaptionRect() const;

protected:
  void WndProc(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  void Paint() override;

private:
  // The section follows the outer bevel while it holds the old bevel's default section.
  void FollowBevel();
  bool Paintable() const;
  void PaintDirect(HDC DC);
  void WmPaint(TMessage& Message);
  void WmEraseBkgnd(TMessage& Message);
  bool SkinCommandFirst(TMessage& Message);

  std::unique_ptr<TsCommonData> FSkinData;
  TBevelCut FOldBevel = bvRaised;
};

// The default section of a bevel: "CHECKBOX", "PANEL_LOW" or "PANEL"; "" for bvSpace.
const char* PanelSectionOfBevel(TBevelCut bevel);

// Start-up step of the unit: registers TsPanel for stored forms.
void InitPanelUnit();
