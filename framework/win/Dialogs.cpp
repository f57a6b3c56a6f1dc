// File dialogs over comdlg32 and the framework's message dialog form.
//
// Sections: TCommonDialog; filters and the OPENFILENAME mapping; TOpenDialog, TSaveDialog;
// the message form (its copy to the clipboard, then its making and showing).
#include "framework/win/Dialogs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "framework/base/TypInfo.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WinTypes.h"

// ---------------------------------------------------------------------------------------------
// TCommonDialog

ORBEX_IMPLEMENT_PUBLISHED(TCommonDialog, TComponent, nullptr)

void TCommonDialog::PublishProperties(TPublisher<TCommonDialog>& P) {
  P.Event("OnShow", &TCommonDialog::OnShow);
  P.Event("OnClose", &TCommonDialog::OnClose);
}

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

HWND TCommonDialog::ParentWindow() const {
  TCustomForm* active = Screen != nullptr ? Screen->ActiveForm() : nullptr;
  if (active != nullptr && active->HandleAllocated()) return active->Handle();
  if (Application != nullptr && Application->MainForm() != nullptr &&
      Application->MainForm()->HandleAllocated())
    return Application->MainForm()->Handle();
  return Application != nullptr ? Application->Handle() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Filters and the system structure

std::string FilterToSystem(const std::string& Filter) {
  if (Filter.empty()) return std::string();
  // Parts alternate description and pattern; a description without a pattern is dropped,
  // since the system would read past the list looking for it.
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t bar = Filter.find('|', start);
    size_t len = bar == std::string::npos ? std::string::npos : bar - start;
    parts.push_back(Filter.substr(start, len));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  if (parts.size() % 2 != 0) parts.pop_back();
  std::string out;
  for (const std::string& p : parts) {
    out += p;
    out += '\0';
  }
  if (out.empty()) return out;
  out += '\0';
  return out;
}

namespace {

struct TFlagMap {
  TOpenOptions Option;
  DWORD Flag;
};

constexpr std::array<TFlagMap, 21> OptionFlags{{
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
    {ofDontAddToRecent, OFN_DONTADDTORECENT},
    {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
}};

// Room for one long path, or for a multiple selection of many names.
constexpr size_t SingleFileBuffer = 4096;
constexpr size_t MultiFileBuffer = 65536;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TOpenDialog, TSaveDialog

ORBEX_IMPLEMENT_PUBLISHED(TOpenDialog, TCommonDialog, &CreateComponentOf<TOpenDialog>)

void TOpenDialog::PublishProperties(TPublisher<TOpenDialog>& P) {
  P.String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  P.String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  P.String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  P.Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  P.String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  P.String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

ORBEX_IMPLEMENT_PUBLISHED(TSaveDialog, TOpenDialog, &CreateComponentOf<TSaveDialog>)
void TSaveDialog::PublishProperties(TPublisher<TSaveDialog>&) {}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

DWORD TOpenDialog::SystemFlags() const {
  DWORD flags = (FOptions & ofOldStyleDialog) ? 0u : static_cast<DWORD>(OFN_EXPLORER);
  for (const TFlagMap& m : OptionFlags)
    if (FOptions & m.Option) flags |= m.Flag;
  return flags;
}

void TOpenDialog::PrepareOpenFileName(TOpenFileNameData& Data, HWND Owner) const {
  Data = TOpenFileNameData{};
  Data.Filter = FilterToSystem(FFilter);
  size_t size = (FOptions & ofAllowMultiSelect) ? MultiFileBuffer : SingleFileBuffer;
  size = std::max(size, FFileName.size() + 1);
  Data.File.assign(size, '\0');
  std::memcpy(Data.File.data(), FFileName.data(), FFileName.size());
  Data.InitialDir = FInitialDir;
  Data.Title = FTitle;
  // The system wants the extension without its dot.
  Data.DefaultExt = FDefaultExt;
  if (!Data.DefaultExt.empty() && Data.DefaultExt[0] == '.') Data.DefaultExt.erase(0, 1);

  OPENFILENAMEA& o = Data.OFN;
  o.lStructSize = sizeof(OPENFILENAMEA);
  o.hwndOwner = Owner;
  o.hInstance = ::GetModuleHandleA(nullptr);
  o.lpstrFilter = Data.Filter.empty() ? nullptr : Data.Filter.c_str();
  o.nFilterIndex = static_cast<DWORD>(std::max(FFilterIndex, 0));
  o.lpstrFile = Data.File.data();
  o.nMaxFile = static_cast<DWORD>(Data.File.size());
  o.lpstrInitialDir = Data.InitialDir.empty() ? nullptr : Data.InitialDir.c_str();
  o.lpstrTitle = Data.Title.empty() ? nullptr : Data.Title.c_str();
  o.lpstrDefExt = Data.DefaultExt.empty() ? nullptr : Data.DefaultExt.c_str();
  o.Flags = SystemFlags();
}

void TOpenDialog::ReadOpenFileName(const TOpenFileNameData& Data) {
  const std::vector<char>& buf = Data.File;
  // Zero-separated names, the list ending with an empty name; never read past the buffer.
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos < buf.size() && buf[pos] != '\0') {
    size_t end = pos;
    while (end < buf.size() && buf[end] != '\0') ++end;
    names.emplace_back(buf.data() + pos, end - pos);
    pos = end + 1;
    if (!(FOptions & ofAllowMultiSelect)) break;
  }
  FFiles.clear();
  if (names.size() > 1) {
    // A directory followed by the names chosen in it.
    std::string dir = IncludeTrailingPathDelimiter(names[0]);
    for (size_t i = 1; i < names.size(); ++i) FFiles.push_back(dir + names[i]);
  } else if (!names.empty()) {
    FFiles.push_back(names[0]);
  }
  FFileName = FFiles.empty() ? std::string() : FFiles[0];
  FFilterIndex = static_cast<int>(Data.OFN.nFilterIndex);
  if (Data.OFN.Flags & OFN_READONLY) FOptions |= ofReadOnly;
  else FOptions &= ~static_cast<TOpenOptions>(ofReadOnly);
  if (Data.OFN.Flags & OFN_EXTENSIONDIFFERENT) FOptions |= ofExtensionDifferent;
  else FOptions &= ~static_cast<TOpenOptions>(ofExtensionDifferent);
}

BOOL TOpenDialog::RunDialog(OPENFILENAMEA& OFN) { return ::GetOpenFileNameA(&OFN); }
BOOL TSaveDialog::RunDialog(OPENFILENAMEA& OFN) { return ::GetSaveFileNameA(&OFN); }

bool TOpenDialog::Execute() {
  TOpenFileNameData data;
  PrepareOpenFileName(data, ParentWindow());
  if (OnShow) OnShow(this);
  if (Application != nullptr) Application->ModalStarted();
  BOOL ok = FALSE;
  try {
    ok = RunDialog(data.OFN);
  } catch (...) {
    if (Application != nullptr) Application->ModalFinished();
    throw;
  }
  if (Application != nullptr) Application->ModalFinished();
  if (ok) ReadOpenFileName(data);
  if (OnClose) OnClose(this);
  return ok != FALSE;
}

// ---------------------------------------------------------------------------------------------
// The message form

// Ctrl+C and Ctrl+Insert copy the box's text, as the system's own message boxes do.
class TMessageForm : public TForm {
  ORBEX_CLASS(TMessageForm, TForm)
public:
  explicit TMessageForm(TComponent* AOwner) : TForm(AOwner) {}
  bool IsShortCut(WORD Key, TShiftState Shift) override;

private:
  std::string CopyText() const;
  void CopyToClipboard();
};

ORBEX_IMPLEMENT_CLASS(TMessageForm, TForm, nullptr)

namespace {

struct TGlobalMemoryTraits {
  using Handle = HGLOBAL;
  static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
// Global memory for the clipboard: ours until SetClipboardData takes it.
using TOwnedGlobalMemory = THandleOwner<TGlobalMemoryTraits>;

// The clipboard opened for one window; closed when the guard goes.
class TClipboardOpen {
public:
  explicit TClipboardOpen(HWND Owner) : FOpen(::OpenClipboard(Owner) != FALSE) {}
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  ~TClipboardOpen() {
    if (FOpen) ::CloseClipboard();
  }
  bool Opened() const { return FOpen; }

private:
  bool FOpen;
};

// A button caption as the user reads it: accelerator marks dropped, "&&" kept as one '&'.
std::string WithoutAccelerators(const std::string& Caption) {
  std::string out;
  out.reserve(Caption.size());
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] != '&') {
      out += Caption[i];
    } else if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

constexpr const char* CopySeparator = "---------------------------\r\n";

}  // namespace

// The system's layout of a copied message box: caption, message and buttons between lines of
// dashes, each button caption followed by three blanks.
std::string TMessageForm::CopyText() const {
  std::string text = CopySeparator;
  text += Caption();
  text += "\r\n";
  text += CopySeparator;
  if (const auto* label = As<TLabel>(FindComponent("Message"))) text += label->Caption();
  text += "\r\n";
  text += CopySeparator;
  // The buttons in the order they stand on the form, left to right.
  for (int i = 0; i < ControlCount(); ++i) {
    if (const auto* button = As<TButton>(Controls(i))) {
      text += WithoutAccelerators(button->Caption());
      text += "   ";
    }
  }
  text += "\r\n";
  text += CopySeparator;
  return text;
}

// Puts the text on the clipboard as CF_TEXT. A busy clipboard (another window holds it open)
// or no memory: nothing is copied and nothing is reported; the box stays as it was.
void TMessageForm::CopyToClipboard() {
  if (!HandleAllocated()) return;
  std::string text;
  try {
    text = CopyText();
  } catch (const std::bad_alloc&) {
    return;
  }
  TOwnedGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory) return;
  void* data = ::GlobalLock(memory.Get());
  if (data == nullptr) return;
  std::memcpy(data, text.c_str(), text.size() + 1);
  ::GlobalUnlock(memory.Get());

  TClipboardOpen clipboard(Handle());
  if (!clipboard.Opened() || !::EmptyClipboard()) return;
  // The system owns the memory once it accepted it; on failure it stays ours and is freed.
  if (::SetClipboardData(CF_TEXT, memory.Get()) != nullptr) static_cast<void>(memory.Release());
}

bool TMessageForm::IsShortCut(WORD Key, TShiftState Shift) {
  if ((Key == 'C' || Key == VK_INSERT) && (Shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl) {
    CopyToClipboard();
    return true;
  }
  return TForm::IsShortCut(Key, Shift);
}

namespace {

struct TButtonInfo {
  TMsgDlgBtn Button;
  const char* Caption;
  const char* Name;
  TModalResult Result;
};

constexpr std::array<TButtonInfo, 11> ButtonInfos{{
    {mbYes, "&Yes", "Yes", mrYes},
    {mbNo, "&No", "No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "&Abort", "Abort", mrAbort},
    {mbRetry, "&Retry", "Retry", mrRetry},
    {mbIgnore, "&Ignore", "Ignore", mrIgnore},
    {mbAll, "&All", "All", mrAll},
    {mbNoToAll, "N&o to All", "NoToAll", mrNoToAll},
    {mbYesToAll, "Yes to &All", "YesToAll", mrYesToAll},
    {mbHelp, "&Help", "Help", mrNone},
}};

const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
const LPCSTR Icons[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION, nullptr};

constexpr int Margin = 12;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 8;
constexpr int MaxTextWidth = 400;

}  // namespace

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  auto form = std::make_unique<TMessageForm>(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetBorderIcons(biSystemMenu);
  form->SetPosition(poScreenCenter);
  const int type = static_cast<int>(DlgType);
  std::string caption = Captions[type];
  if (DlgType == TMsgDlgType::mtCustom && Application != nullptr) caption = Application->Title();
  form->SetCaption(caption);

  int textLeft = Margin;
  int top = Margin;
  int iconHeight = 0;
  if (Icons[type] != nullptr) {
    auto* image = new TImage(form.get());
    image->SetName("Image");
    image->SetParent(form.get());
    // A shared system icon must not be destroyed: the picture owns a copy.
    HICON shared = ::LoadIconA(nullptr, Icons[type]);
    if (shared != nullptr) {
      TIcon icon;
      icon.SetHandle(::CopyIcon(shared));
      image->Picture()->SetGraphic(&icon);
    }
    image->SetBounds(Margin, Margin, 32, 32);
    textLeft = Margin + 32 + Margin;
    iconHeight = 32;
  }
  auto* label = new TLabel(form.get());
  label->SetName("Message");
  label->SetParent(form.get());
  label->SetWordWrap(true);
  label->SetBounds(textLeft, top, MaxTextWidth, 13);
  label->SetCaption(Msg);
  label->AdjustBounds();
  // A short message stands in the middle of the icon's height.
  if (iconHeight > label->Height()) label->SetTop(top + (iconHeight - label->Height()) / 2);

  std::vector<const TButtonInfo*> infos;
  for (const TButtonInfo& b : ButtonInfos)
    if (Buttons & b.Button) infos.push_back(&b);
  if (infos.empty()) infos.push_back(&ButtonInfos[2]);   // no button at all: an OK button
  const int buttonsWidth =
      static_cast<int>(infos.size()) * ButtonWidth + static_cast<int>(infos.size() - 1) * ButtonGap;
  const int clientWidth = std::max(textLeft + label->Width() + Margin, buttonsWidth + 2 * Margin);
  const int buttonTop = Margin + std::max(iconHeight, label->Height()) + Margin;

  // The cancel button: Cancel, else No, else a lone OK.
  TMsgDlgBtn cancel = (Buttons & mbCancel) ? mbCancel : (Buttons & mbNo) ? mbNo : mbOK;
  if (cancel == mbOK && infos.size() != 1) cancel = mbCancel;
  int x = (clientWidth - buttonsWidth) / 2;
  for (size_t i = 0; i < infos.size(); ++i) {
    auto* button = new TButton(form.get());
    button->SetName(infos[i]->Name);
    button->SetParent(form.get());
    button->SetCaption(infos[i]->Caption);
    button->SetModalResult(infos[i]->Result);
    button->SetDefault(i == 0);
    button->SetCancel(infos[i]->Button == cancel);
    button->SetBounds(x, buttonTop, ButtonWidth, ButtonHeight);
    x += ButtonWidth + ButtonGap;
  }
  form->SetClientSize(TSize{clientWidth, buttonTop + ButtonHeight + Margin});
  return form.release();
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  std::unique_ptr<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
  return form->ShowModal();
}

void ShowMessage(const std::string& Msg) {
  MessageDlg(Msg, TMsgDlgType::mtCustom, mbOK);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitDialogsUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TOpenDialog>();
  RegisterClassOf<TSaveDialog>();
}
