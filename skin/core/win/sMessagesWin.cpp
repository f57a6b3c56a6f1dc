// Skin command senders over window handles and the receivers' guard: see sMessagesWin.h.
#include "skin/core/win/sMessagesWin.h"

#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"
#include "skin/core/win/sControlUtils.h"

namespace {
// Innermost send in progress on this thread.
thread_local TSkinCommandSendScope* CurrentSend = nullptr;

constexpr COLORREF ColorNone = 0xFF00FF;

// The part of the system's send state that tells where the message being served came from.
DWORD CurrentSendState() {
  return InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK);
}

struct ChildBroadcast {
  HWND Parent;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

BOOL CALLBACK SendToDirectChild(HWND child, LPARAM data) {
  const ChildBroadcast* b = reinterpret_cast<const ChildBroadcast*>(data);
  if (GetParent(child) == b->Parent) {
    TSkinCommandSendScope scope(b->WParam, b->LParam, child);
    SendMessageA(child, b->Msg, b->WParam, b->LParam);
  }
  return TRUE;
}

// An answer in the framework's colour encoding (system colours included) as RGB.
COLORREF ColorToRGBValue(LRESULT c) {
  return static_cast<COLORREF>(ColorToRGB(static_cast<TColor>(c))) & 0xFFFFFF;
}
}  // namespace

TSkinCommandSendScope::TSkinCommandSendScope(WPARAM wparam, LPARAM lparam, HWND target)
    : FWParam(wparam),
      FLParam(lparam),
      FSameThread(target == nullptr ||
                  GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()),
      FSendState(CurrentSendState()),
      FOuter(CurrentSend) {
  CurrentSend = this;
}

TSkinCommandSendScope::~TSkinCommandSendScope() { CurrentSend = FOuter; }

bool SkinCommandAllowed(WPARAM wparam, LPARAM lparam) {
  if (!SkinCommandCarriesPointer(SkinCommandOf(wparam))) return true;
  const TSkinCommandSendScope* s = CurrentSend;
  if (s == nullptr || !s->FSameThread || s->FWParam != wparam || s->FLParam != lparam)
    return false;
  // A send within the thread leaves the system's state as it was when our send began (the
  // state of the message the thread was serving then, maybe another program's). A message
  // of another thread that arrives while our send is in progress, in a wait of the receiver,
  // shows as being served from outside, where our send began with nothing from outside.
  const DWORD now = CurrentSendState();
  return now == 0 || now == s->FSendState;
}

LRESULT SendSkinCommand(HWND wnd, std::uint16_t command, LPARAM lparam) {
  return SendSkinCommandArg(wnd, command, 0, lparam);
}

LRESULT SendSkinCommandArg(HWND wnd, std::uint16_t command, std::uint16_t argument,
                           LPARAM lparam) {
  const WPARAM wparam = MakeSkinWParam(command, argument);
  TSkinCommandSendScope scope(wparam, lparam, wnd);
  return SendMessageA(wnd, WM_SKINCOMMAND, wparam, lparam);
}

bool WindowAnswersSkinCommand(HWND wnd, std::uint16_t command) {
  return wnd != nullptr && SendSkinCommand(wnd, command, 0) == 1;
}

void BroadcastToChildWindows(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (wnd == nullptr) return;
  ChildBroadcast b{wnd, msg, wparam, lparam};
  EnumChildWindows(wnd, SendToDirectChild, reinterpret_cast<LPARAM>(&b));
}

void RefreshChildWindows(HWND wnd) {
  if (wnd == nullptr) return;
  for (HWND child = GetWindow(wnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & WS_CHILD) != 0)
      SendSkinCommand(child, SkinCmdResumePaint, 0);
  }
}

COLORREF GetWindowColor(HWND wnd) {
  if (wnd == nullptr) return ColorNone;
  return ColorToRGBValue(SendSkinCommand(wnd, SkinCmdQueryColor, ColorNone));
}

// ---------------------------------------------------------------------------------------------
LRESULT DeliverToControl(TControl* control, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (auto* w = As<TWinControl>(control); w != nullptr && w->HandleAllocated()) {
    TSkinCommandSendScope scope(wparam, lparam, w->Handle());
    return SendMessageA(w->Handle(), msg, wparam, lparam);
  }
  TSkinCommandSendScope scope(wparam, lparam);
  return control->Perform(msg, wparam, lparam);
}

LRESULT SendSkinCommandToControl(TControl* control, std::uint16_t command, LPARAM lparam) {
  if (control == nullptr || control->IsDestroying()) return 0;
  auto* windowed = As<TWinControl>(control);
  if (windowed != nullptr && !windowed->HandleAllocated()) return 0;
  return DeliverToControl(control, WM_SKINCOMMAND, MakeSkinWParam(command), lparam);
}

LRESULT QuerySkinControl(TControl* control, std::uint16_t command) {
  return SendSkinCommandToControl(control, command, 0);
}

std::function<bool(TWinControl*)> ExternalChildHandledHook;

void BroadcastToChildControls(TWinControl* control, TMessage& message) {
  if (control == nullptr) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* child = control->Controls(i);
    // A child on its way out is passed over; its later siblings still get the message.
    if (child->IsDestroying()) continue;
    auto* windowed = As<TWinControl>(child);
    if (windowed == nullptr || !windowed->HandleAllocated()) {
      DeliverToControl(child, message.Msg, message.WParam, message.LParam);
    } else if (QuerySkinControl(windowed, SkinCmdIsSkinned) == 1) {
      DeliverToControl(windowed, message.Msg, message.WParam, message.LParam);
    } else if (!(ExternalChildHandledHook && ExternalChildHandledHook(windowed))) {
      BroadcastToChildControls(windowed, message);
    }
  }
}

void RefreshChildControls(TWinControl* control) {
  if (control == nullptr || AnimationInProgress) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* child = control->Controls(i);
    if (child->IsDestroying() || As<TGraphicControl>(child) != nullptr) continue;
    if (auto* windowed = As<TWinControl>(child)) {
      if (windowed->HandleAllocated() && windowed->Showing()) SendSkinCommand(windowed->Handle(), SkinCmdResumePaint);
    } else {
      SendSkinCommandToControl(child, SkinCmdResumePaint);
    }
  }
}

COLORREF GetControlColor(TControl* control) {
  if (control == nullptr) return ColorNone;
  if (QuerySkinControl(control, SkinCmdIsSkinned) != 1)
    return ColorToRGBValue(control->Color());
  return ColorToRGBValue(SendSkinCommandToControl(control, SkinCmdQueryColor, ColorNone));
}

void NotifyParentForm(TControl* control) {
  if (control == nullptr ||
      (control->ComponentState() & (csDesigning | csLoading | csReading)) != 0)
    return;
  TCustomForm* form = GetParentForm(control);
  if (form != nullptr)
    SendSkinCommandToControl(form, SkinCmdAdoptControls, reinterpret_cast<LPARAM>(control));
}
