// Windows utilities of the skin engine: see sWinUtils.h.
#include "skin/paint/win/sWinUtils.h"

#include "skin/paint/win/sDwmApi.h"

#include <cstddef>

#include "framework/base/SysUtils.h"
#include "framework/win/Forms.h"

#include <shellapi.h>

bool Wow64WithoutComposition = false;
TPoint SkinMessageBoxPosition{-1, -1};

namespace {
using IsDebuggerPresentProc = BOOL(WINAPI*)();
using IsWow64ProcessProc = BOOL(WINAPI*)(HANDLE, PBOOL);

IsDebuggerPresentProc IsDebuggerPresentEntry = nullptr;
IsWow64ProcessProc IsWow64ProcessEntry = nullptr;

// The record as the oldest systems know it, without the padded border width.
constexpr UINT NonClientMetricsSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
static_assert(NonClientMetricsSize == 340);

bool ReadNonClientMetrics(NONCLIENTMETRICSA& m) {
  ZeroMemory(&m, sizeof(m));
  m.cbSize = NonClientMetricsSize;
  return SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &m, 0) != FALSE;
}

template <class Proc>
Proc Lookup(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

int CaptionFontHeight() {
  NONCLIENTMETRICSA m;
  return ReadNonClientMetrics(m) ? m.lfCaptionFont.lfHeight : 0;
}

TOwnedFont CreateCaptionFont() {
  NONCLIENTMETRICSA m;
  if (!ReadNonClientMetrics(m)) return TOwnedFont();
  return TOwnedFont(CreateFontIndirectA(&m.lfCaptionFont));
}

bool GetWindowAnimationOn() {
  ANIMATIONINFO info{};
  info.cbSize = sizeof(info);
  if (!SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0)) return false;
  return info.iMinAnimate != 0;
}

void SetWindowAnimationOn(bool on) {
  ANIMATIONINFO info{};
  info.cbSize = sizeof(info);
  info.iMinAnimate = on ? 1 : 0;
  SystemParametersInfoA(SPI_SETANIMATION, sizeof(info), &info, 0);
}

bool IsXpOrLater() {
  const DWORD v = GetVersion();
  const DWORD major = LOBYTE(LOWORD(v)), minor = HIBYTE(LOWORD(v));
  return major > 5 || (major == 5 && minor >= 1);
}

bool DebuggerAttached() {
  return IsDebuggerPresentEntry == nullptr || IsDebuggerPresentEntry() != FALSE;
}

bool RunningUnderWow64() {
  BOOL wow = FALSE;
  return IsWow64ProcessEntry != nullptr &&
         IsWow64ProcessEntry(GetCurrentProcess(), &wow) != FALSE && wow != FALSE;
}

std::string ApplicationFolder() {
  char path[MAX_PATH + 1];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFilePath(std::string(path, n));
}

void sUtilsInitialization() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  IsDebuggerPresentEntry = Lookup<IsDebuggerPresentProc>(kernel, "IsDebuggerPresent");
  IsWow64ProcessEntry = Lookup<IsWow64ProcessProc>(kernel, "IsWow64Process");
  Wow64WithoutComposition = RunningUnderWow64() && !DwmCompositionEnabled();
}

// ---------------------------------------------------------------------------------------------
namespace {
struct TMessageKindInfo {
  const char* Caption;
  UINT Icon;
};
constexpr TMessageKindInfo MessageKinds[] = {{"Warning", MB_ICONWARNING},
                                             {"Error", MB_ICONERROR},
                                             {"Information", MB_ICONINFORMATION},
                                             {"Confirm", MB_ICONQUESTION},
                                             {"", 0}};
static_assert(sizeof(MessageKinds) / sizeof(MessageKinds[0]) == smkNone + 1);

UINT ButtonStyle(TMsgDlgButtons b) {
  UINT style = MB_OK;
  if ((b & mbOK) == 0) {
    if ((b & (mbAbort | mbIgnore)) != 0) style = MB_ABORTRETRYIGNORE;
    else if ((b & (mbYes | mbNo)) != 0) style = (b & mbCancel) != 0 ? MB_YESNOCANCEL : MB_YESNO;
    else if ((b & mbRetry) != 0) style = MB_RETRYCANCEL;
  } else if ((b & mbCancel) != 0) {
    style = MB_OKCANCEL;
  }
  if ((b & mbHelp) != 0) style |= MB_HELP;
  return style;
}

// Resets the preset position and ends the application's modal state on every path.
class TModalBox {
public:
  TModalBox() {
    if (Application != nullptr) Application->ModalStarted();
  }
  ~TModalBox() {
    SkinMessageBoxPosition = TPoint{-1, -1};
    if (Application != nullptr) Application->ModalFinished();
  }
  TModalBox(const TModalBox&) = delete;
  TModalBox& operator=(const TModalBox&) = delete;
};
}  // namespace

int ShowSkinMessageBox(const std::string& caption, const std::string& text, int kind,
                       int helpContext, int x, int y, TMsgDlgButtons buttons) {
  const TMessageKindInfo& k = MessageKinds[(kind >= 0 && kind < smkNone) ? kind : smkNone];
  const std::string title = caption.empty() ? std::string(k.Caption) : caption;
  MSGBOXPARAMSA p{};
  p.cbSize = sizeof(p);
  p.hwndOwner = Application != nullptr ? Application->Handle() : nullptr;
  p.hInstance = GetModuleHandleA(nullptr);
  p.lpszText = text.c_str();
  p.lpszCaption = title.c_str();
  p.dwStyle = ButtonStyle(buttons) | k.Icon;
  p.dwContextHelpId = static_cast<DWORD_PTR>(helpContext);
  SkinMessageBoxPosition = TPoint{x, y};
  TModalBox modal;
  return MessageBoxIndirectA(&p);
}

int ShowSkinMessage(const std::string& text, int kind, TMsgDlgButtons buttons) {
  return ShowSkinMessageBox("", text, kind, 0, -1, -1, buttons);
}

void ShowErrorMessage(const std::string& text) {
  ShowSkinMessageBox("Error", text, smkError, 0, -1, -1, mbOK);
}

// ---------------------------------------------------------------------------------------------
void DelayWithMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  // Unsigned difference: correct across the tick count's wrap-around.
  while (GetTickCount() - start < ms) {
    if (Application != nullptr) {
      Application->ProcessMessages();
    } else {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

TMessage MakeMessageRecord(UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage m;
  m.Msg = msg;
  m.WParam = wparam;
  m.LParam = lparam;
  return m;
}

std::unique_ptr<TIcon> ExtractAppIcon(const std::string& fileName, bool large) {
  auto icon = std::make_unique<TIcon>();
  // Some systems hand out a stock icon for a file that is not there.
  if (!FileExists(fileName)) return icon;
  HICON big = nullptr, small = nullptr;
  if (ExtractIconExA(fileName.c_str(), 0, &big, &small, 1) == 0) return icon;
  TOwnedIcon bigIcon(big), smallIcon(small);   // the one not kept goes with its owner
  TOwnedIcon& keep = large ? bigIcon : smallIcon;
  if (keep.Valid()) icon->SetHandle(keep.Release());
  return icon;
}
