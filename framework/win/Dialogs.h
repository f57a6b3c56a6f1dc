// Dialogs: the system's file dialogs as components (TOpenDialog, TSaveDialog) and the
// framework's message dialog, a real form of class "TMessageForm" with an icon, the message
// and one button per answer; Ctrl+C (or Ctrl+Insert) on it copies its text to the clipboard.
//
// Owns: a file dialog owns only its strings; the OPENFILENAME it builds lives for one Execute.
// MessageDlg owns the form it makes for as long as it is shown. The message form owns the
// clipboard memory of a copy until the system takes it, and holds the clipboard open only
// during the copy.
//
// Sections: file dialogs; message dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/win/Forms.h"

// ---------------------------------------------------------------------------------------------
// File dialogs

using TOpenOptions = std::uint32_t;
enum TOpenOption : std::uint32_t {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofNoChangeDir = 1u << 3,
  ofShowHelp = 1u << 4,
  ofNoValidate = 1u << 5,
  ofAllowMultiSelect = 1u << 6,
  ofExtensionDifferent = 1u << 7,
  ofPathMustExist = 1u << 8,
  ofFileMustExist = 1u << 9,
  ofCreatePrompt = 1u << 10,
  ofShareAware = 1u << 11,
  ofNoReadOnlyReturn = 1u << 12,
  ofNoTestFileCreate = 1u << 13,
  ofNoNetworkButton = 1u << 14,
  ofNoLongNames = 1u << 15,
  ofOldStyleDialog = 1u << 16,
  ofNoDereferenceLinks = 1u << 17,
  ofEnableIncludeNotify = 1u << 18,
  ofEnableSizing = 1u << 19,
  ofDontAddToRecent = 1u << 20,
  ofForceShowHidden = 1u << 21,
};

class TCommonDialog : public TComponent {
  ORBEX_CLASS(TCommonDialog, TComponent)
public:
  explicit TCommonDialog(TComponent* AOwner);
  // Shows the dialog modally; true when the user confirmed.
  virtual bool Execute() = 0;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

protected:
  // The window the dialog belongs to: the active form, else the application's main form.
  HWND ParentWindow() const;
};

// The OPENFILENAME of one Execute, with the buffers it points into. Filled by
// TOpenDialog::PrepareOpenFileName; the pointers stay valid while this object lives.
struct TOpenFileNameData {
  OPENFILENAMEA OFN{};
  std::string Filter;        // "a\0b\0...\0\0"
  std::vector<char> File;    // the file name buffer, zero-terminated, at least MAX_PATH
  std::string InitialDir;
  std::string Title;
  std::string DefaultExt;
};

class TOpenDialog : public TCommonDialog {
  ORBEX_CLASS(TOpenDialog, TCommonDialog)
public:
  explicit TOpenDialog(TComponent* AOwner);
  bool Execute() override;

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }
  // "Description|*.ext|Description|*.a;*.b"; an odd last part without a pattern is dropped.
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& v) { FFilter = v; }
  // 1-based as the system counts; 0 picks the first filter.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int v) { FFilterIndex = v; }
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& v) { FInitialDir = v; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& v) { FFileName = v; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions v) { FOptions = v; }
  // The chosen files of a multiple selection (one entry otherwise).
  const std::vector<std::string>& Files() const { return FFiles; }

  // Fills the system structure from the properties (used by Execute; tests look at it).
  void PrepareOpenFileName(TOpenFileNameData& Data, HWND Owner) const;
  // Takes the user's choice back from a filled structure.
  void ReadOpenFileName(const TOpenFileNameData& Data);

protected:
  // GetOpenFileNameA here, GetSaveFileNameA for the save dialog.
  virtual BOOL RunDialog(OPENFILENAMEA& OFN);
  virtual DWORD SystemFlags() const;

private:
  std::string FTitle;
  std::string FFilter;
  int FFilterIndex = 1;
  std::string FDefaultExt;
  std::string FInitialDir;
  std::string FFileName;
  TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
  std::vector<std::string> FFiles;
};

class TSaveDialog : public TOpenDialog {
  ORBEX_CLASS(TSaveDialog, TOpenDialog)
public:
  explicit TSaveDialog(TComponent* AOwner);

protected:
  BOOL RunDialog(OPENFILENAMEA& OFN) override;
};

// The filter text with '|' turned into the system's zero separators and a closing double zero.
std::string FilterToSystem(const std::string& Filter);

// ---------------------------------------------------------------------------------------------
// Message dialogs

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using TMsgDlgButtons = std::uint16_t;
enum TMsgDlgBtn : std::uint16_t {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbNoToAll = 1u << 8,
  mbYesToAll = 1u << 9,
  mbHelp = 1u << 10,
};
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// The message form (class "TMessageForm"), made but not shown; the caller owns it. Its
// buttons carry their modal results; the first button is the default one, and Cancel (or No,
// or OK when alone) the cancel one. Caption: "Warning", "Error", "Information", "Confirm", or
// the application title for mtCustom. Ctrl+C and Ctrl+Insert put the box's text on the
// clipboard (CF_TEXT) as the system's message boxes lay it out, caption, message and buttons
// between lines of 27 dashes:
//   "---------------------------\r\n<caption>\r\n---------------------------\r\n<message>\r\n
//    ---------------------------\r\n<each button caption without '&', then three blanks>\r\n
//    ---------------------------\r\n"
// A busy clipboard leaves it unchanged, without a message.
TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows the message form modally and returns the modal result of the button pressed.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int HelpCtx = 0);
// An information box with an OK button.
void ShowMessage(const std::string& Msg);

// Start-up step of the unit: registers the stored-form classes (file dialogs) by name. Runs once;
// later calls do nothing.
void InitDialogsUnit();
