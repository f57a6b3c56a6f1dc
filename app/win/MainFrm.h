// The main window: the live trace of the instrument's 256 samples on a fixed grid, the five
// status texts, connecting and disconnecting, the bitmap export, the About box and help form,
// and the switch between the two stored skins, whose name is kept in the ini file beside the
// program. Owns the instrument link (TOrbexScope) and the ini-file object; its components
// belong to the form.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/win/Orbex.h"
#include "framework/base/IniFiles.h"
#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/lxAlphaImageList.h"

// Posted by the main window to itself: show the errors of failed readers kept in the window
// (WParam and LParam unused), once the reader's hand-over has returned.
inline constexpr UINT CM_SHOWREADERERROR = WM_APP + 0x0101;

inline constexpr const char* DarkSkinName = "Dusk (internal)";
inline constexpr const char* LightSkinName = "Linden (internal)";

class TMainForm : public TForm {
  ORBEX_CLASS(TMainForm, TForm)
public:
  // Reads the stored form, creates the link and applies the ini file's skin name. The ini file
  // is the program's path with the extension ".ini"; the second form takes another scope
  // (owned from then on) and ini path.
  explicit TMainForm(TComponent* AOwner);
  TMainForm(TComponent* AOwner, std::unique_ptr<TOrbexScope> scope, const std::string& iniPath);
  ~TMainForm() override;

  // Stored components.
  TsStatusBar* StatusBar = nullptr;
  TsPanel* DrawBuffer = nullptr;
  TsPanel* Panel1 = nullptr;
  TPaintBox* Scope = nullptr;
  TsCoolBar* CoolBar1 = nullptr;
  TsToolBar* ToolBar1 = nullptr;
  TActionList* alCommon = nullptr;
  TAction* aCloseApplication = nullptr;
  TAction* aShowAboutBox = nullptr;
  TAction* aConnect = nullptr;
  TAction* aDisconnect = nullptr;
  TAction* aScreenCapture = nullptr;
  TAction* aHelpIndex = nullptr;
  TMainMenu* mnuMain = nullptr;
  TsAlphaImageList* ilMenu32 = nullptr;
  TsAlphaImageList* ilMenu16 = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsSkinProvider* SkinProvider = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;

  TOrbexScope* GetScope() const { return FScope.get(); }
  TColor TraceColor() const { return FTraceColor; }
  TColor GridColor() const { return FGridColor; }
  TColor BackgroundColor() const { return FBackgroundColor; }
  const std::array<TPoint, OrbexSampleCount>& TracePoints() const { return FTracePoints; }
  const std::string& SettingsFileName() const { return FIniPath; }

  // Maps samples first..last to paint-box points (nothing when last < first). A column
  // without a sample ($FF) gets no point: the trace is broken there.
  void MapSamplesToPoints(int first, int last);
  // Background, grid and trace for a W x H area on `canvas`, as the paint box shows them.
  void PaintTrace(TCanvas* canvas, int W, int H);
  // A new 8-bit bitmap of the paint box's size with the trace painted into it; owned by the
  // caller.
  std::unique_ptr<TBitmap> CreateTraceBitmap();
  // The five status texts from the link's state; "?" for a timebase or volts index that no
  // table names (the wire carries 0-63 and 0-15).
  void UpdateStatusTexts();

  void RefreshActions() override;

  // Handlers bound by the stored form.
  void FormResize(TObject* Sender);
  void ScopePaint(TObject* Sender);
  void aConnectExecute(TObject* Sender);
  void aDisconnectExecute(TObject* Sender);
  void aScreenCaptureExecute(TObject* Sender);
  void aHelpIndexExecute(TObject* Sender);
  void aShowAboutBoxExecute(TObject* Sender);
  void aCloseApplicationExecute(TObject* Sender);
  void aShowConfigDlgExecute(TObject* Sender);
  void SkinManagerAfterChange(TObject* Sender);
  // The trace, grid and background colours of the dark or the light skin.
  void SetPlotColours(bool dark);
  void Light1Click(TObject* Sender);
  void Dark1Click(TObject* Sender);

  // Link events.
  void ScopeStateChanged(TObject* Sender);
  void ScopeSamplesArrived(TObject* Sender, int first, int last);
  // Keeps the failed reader's message and posts CM_SHOWREADERERROR: the box is shown after the
  // reader's hand-over has returned, never while the reader waits for it.
  void ScopeReaderError(TObject* Sender, const std::string& message);

  void Dispatch(TMessage& Message) override;

  // Where the export is written: asks the user with the save dialog; false when cancelled.
  // Tests replace it.
  std::function<bool(std::string& fileName)> AskExportFileName;

private:
  void Setup(std::unique_ptr<TOrbexScope> scope, const std::string& iniPath);
  bool RunExportDialog(std::string& fileName);
  void CMShowReaderError(TMessage& Message);
  std::unique_ptr<TOrbexScope> FScope;
  std::array<TPoint, OrbexSampleCount> FTracePoints{};
  // The samples the points were last mapped from; a column whose sample changed is remapped
  // even when the packet's range does not name it (a timebase change clears every column).
  std::array<std::uint8_t, OrbexSampleCount> FMappedSamples{};
  TColor FTraceColor = 0;
  TColor FGridColor = 0;
  TColor FBackgroundColor = 0;
  std::string FIniPath;
  std::unique_ptr<TIniFile> FIni;
  std::vector<std::string> FReaderErrors;   // not shown yet
};

// Registers the form's class, handlers and component fields (start-up).
void RegisterMainForm();

extern TMainForm* MainForm;
