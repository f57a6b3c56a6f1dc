// Extra controls: the paint box (paints through OnPaint), the image (shows a picture), the
// panel (a bevelled container with a caption) and the timer (ticks as window messages on the
// GUI thread, through a hidden "TPUtilWindow").
//
// Owns: the image its picture; the panel nothing beyond its window; each running timer one
// system timer of the shared utility window, killed when the timer stops or is freed.
//
// Sections: TPaintBox; TImage; TCustomPanel/TPanel; TTimer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"
#include "framework/win/StdCtrls.h"

// ---------------------------------------------------------------------------------------------
class TPaintBox : public TGraphicControl {
  ORBEX_CLASS(TPaintBox, TGraphicControl)
public:
  explicit TPaintBox(TComponent* AOwner);
  TNotifyEvent OnPaint;

protected:
  void Paint() override;
};

// ---------------------------------------------------------------------------------------------
class TImage : public TGraphicControl {
  ORBEX_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  // The picture's bitmap (a non-bitmap picture is replaced by an empty bitmap).
  TCanvas* Canvas();
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool v);
  bool Center() const { return FCenter; }
  void SetCenter(bool v);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  // Where the picture is drawn in client coordinates.
  TRect DestRect() const;
  void Loaded() override;

protected:
  void Paint() override;
  void PictureChanged(TObject* Sender);

private:
  std::unique_ptr<TPicture> FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FTransparent = false;
};

// ---------------------------------------------------------------------------------------------
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TPanelBorderStyle { pbsNone, pbsSingle };

class TCustomPanel : public TCustomControl {
  ORBEX_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* AOwner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TTextLayout VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TTextLayout v);
  // The face shows the parent's colour rather than the panel's own Color.
  bool ParentBackground() const { return (ControlStyle() & csParentBackground) != 0; }
  void SetParentBackground(bool v);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool v) { FFullRepaint = v; }
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  // Bevels and BorderWidth narrow the area the children are aligned in.
  void AdjustClientRect(TRect& Rect) const override;
  int BevelExtent() const;

private:
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  TAlignment FAlignment = taCenter;
  TTextLayout FVerticalAlignment = tlCenter;
  bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
  ORBEX_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
// A timer. It runs while Enabled, Interval > 0 and OnTimer assigned; each tick calls Timer
// (which fires OnTimer). A tick's handler may free the timer or change it.
class TTimer : public TComponent {
  ORBEX_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  // Milliseconds.
  std::uint32_t Interval() const { return FInterval; }
  void SetInterval(std::uint32_t v);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent v);
  // True while the system timer runs.
  bool Running() const { return FTimer.Valid(); }

protected:
  // One tick: fires OnTimer. Descendants do their stepping here.
  virtual void Timer();

private:
  friend struct TTimerWindow;
  void UpdateTimer();
  bool FEnabled = true;
  std::uint32_t FInterval = 1000;
  TNotifyEvent FOnTimer;
  TOwnedTimer FTimer;
  UINT_PTR FId = 0;
};

// Start-up step of the unit: registers the stored-form classes (paint boxes, images, panels and
// timers) by name. Runs once; later calls do nothing.
void InitExtCtrlsUnit();
