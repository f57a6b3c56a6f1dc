// The speed-button handler: skins a framework speed button (a graphic control, no window of its
// own) by taking over its WindowProc. It answers the skin's commands for the button, builds the
// face from the button's section over the background its parent gives, draws the glyph of the
// button's state and the caption in the section's text colours, and passes everything else on to
// the method it replaced.
//
// Ownership: the graphic item of a form's control adapter owns the handler; the button, its skin
// data and the manager are borrowed. The handler's method stays in the button's chain as long as
// a later hook holds it: after the handler lets go (or is freed) it only forwards to the method
// it replaced, so no button ever calls freed code. GUI thread only.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject.
#include "framework/win/Controls.h"

#include <windows.h>

#include <memory>
#include <string>

#include "framework/base/Classes.h"
#include "framework/win/Messages.h"
#include "skin/adapters/lxMethodHook.h"

class TsSkinManager;
class TsCommonData;
class TSpeedButton;

class TlxSpeedButtonHandler : public TObject {
public:
  // Hooks the control's WindowProc; the data gets `section` when it has none. `repaint` is
  // taken for the makers' common signature and not used. The manager is the data's when null.
  TlxSpeedButtonHandler(TControl* control, bool repaint, const std::string& section, TsSkinManager* manager,
                        TsCommonData* data);
  // The saved WindowProc put back while the handler's is the one in place.
  ~TlxSpeedButtonHandler() override;
  TlxSpeedButtonHandler(const TlxSpeedButtonHandler&) = delete;
  TlxSpeedButtonHandler& operator=(const TlxSpeedButtonHandler&) = delete;

  // The handler's window method (in place of the control's WindowProc).
  virtual void WndProc(TMessage& message);

  TControl* Control() const { return FControl; }
  TsSkinManager* SkinManager() const { return FSkinManager; }
  // The skin was withdrawn and the hook taken out.
  bool Destroyed() const { return FDestroyed; }
  // The control is going while the program ends: the handler lets go of it without touching it.
  void ForgetControl();
  // The face state: 2 down or exclusive, 1 active, else 0.
  int State() const;
  // Where the last face build put the caption (empty before one, or without a caption).
  const TRect& CaptionRect() const { return FCaptionRect; }

  // Handlers alive in the program (the test of a program's end counts them).
  static int LiveCount();

private:
  void Repaint();
  void BuildFace();
  void PaintCaption(TSpeedButton* button, int state);
  void Paint(HDC dc);

  TControl* FControl;
  // Passing on: the saved WindowProc with a fresh message.
  TlxMethodHook FHook;
  TsSkinManager* FSkinManager;
  TsCommonData* FSkinData;
  bool FDestroyed = false;
  TRect FCaptionRect;
};
