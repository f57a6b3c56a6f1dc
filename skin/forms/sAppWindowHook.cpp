#include "skin/forms/sAppWindowHook.h"

#include "framework/win/Menus.h"
#include "framework/win/Messages.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sFade.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sFormImage.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sDwmApi.h"
#include "skin/paint/win/sWinUtils.h"

namespace {

constexpr UINT WM_DWMSENDICONICTHUMBNAIL_ = 0x323;
constexpr UINT WM_DWMSENDICONICLIVEPREVIEWBITMAP_ = 0x326;
constexpr DWORD DwmForceIconicRepresentation = 7;
constexpr UINT RedrawFrame = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;

TlxAppShowState ShowState = ssNone;
TsSkinManager* HookingManager = nullptr;
int HookCookie = 0;
TMainFormHide MainFormHide;

TsSkinProvider* ProviderOf(TCustomForm* form) {
  if (form == nullptr || !form->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsSkinProvider*>(SendSkinCommand(form->Handle(), SkinCmdFindProvider));
}

TsSkinManager* Manager() { return HookingManager != nullptr ? HookingManager : TsSkinManager::DefaultManager(); }

bool SkinActive(TsSkinManager* m) { return m != nullptr && m->GetActive() && m->Tables() != nullptr; }

// The system's minimize-and-restore animation off around the application's own call, put
// back on every path.
template <class F>
void WithoutSystemAnimation(F&& call) {
  const bool was = GetWindowAnimationOn();
  if (was) SetWindowAnimationOn(false);
  try {
    call();
  } catch (...) {
    if (was) SetWindowAnimationOn(true);
    throw;
  }
  if (was) SetWindowAnimationOn(true);
}

bool HideAtShutDown(const TMessage& message) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
  TsSkinManager* m = Manager();
  // The application ends with its main form: every control fade stops at its next tick.
  if (pos != nullptr && (pos->flags & SWP_HIDEWINDOW) != 0 && Application->Terminated()) FadeStopAll = true;
  if (!LayeredWindowsAvailable() || pos == nullptr || (pos->flags & SWP_HIDEWINDOW) == 0 || m == nullptr) return false;
  const TlxFormHide* hide = m->AnimEffects()->FormHide();
  if (!hide->Active || hide->Time == 0 || Application->Minimized() || !Application->Terminated()) return false;
  TCustomForm* main = Application->MainForm();
  if (main == nullptr || !main->HandleAllocated() || !IsWindowVisible(main->Handle())) return false;
  TsSkinProvider* p = ProviderOf(main);
  // A form whose hide has played already (or is told to skip it) goes without a second one.
  if (p == nullptr || !p->DrawNonClientArea() || !p->AllowAnimation || p->SkipAnimation || !MainFormHide)
    return false;
  p->FormState |= TsSkinProvider::Hiding;
  if (TlxBorderForm* border = p->BorderForm(); border != nullptr && border->Handle() != nullptr)
    border->ResetRegion();
  SetNearlyTransparent(main->Handle(), true);
  main->Update();
  MainFormHide(p);
  return false;
}

bool SysCommand(TMessage& message) {
  TsSkinManager* m = Manager();
  if (!SkinActive(m)) return false;
  const unsigned command = message.WParam & 0xFFF0;
  TCustomForm* main = Application->MainForm();
  const TlxMinimizing* minimizing = m->AnimEffects()->Minimizing();
  if (command == SC_MINIMIZE) {
    ShowState = ssMinimizing;
    if (Application->Minimized() || main == nullptr || !main->Visible()) return false;
    TsSkinProvider* p = ProviderOf(main);
    if (p == nullptr) return false;
    if (!minimizing->Active) {
      if (TlxBorderForm* border = p->BorderForm(); border != nullptr && border->Handle() != nullptr) {
        border->Updating = true;
        border->FreeWindow();
      }
      return false;
    }
    if (!p->DrawNonClientArea()) return false;
    p->StartMinimizeAnimation();
    if (AeroIsActive()) return false;
    WithoutSystemAnimation([] { Application->Minimize(); });
    return true;
  }
  if (command == SC_RESTORE) {
    ShowState = ssRestoring;
    TsSkinProvider* p = ProviderOf(main);
    if (main == nullptr || p == nullptr) return false;
    const HWND wnd = main->Handle();
    if ((p->FormState & TsSkinProvider::Hiding) != 0) {
      p->FormState &= ~static_cast<std::uint32_t>(TsSkinProvider::Hiding);
      TlxBorderForm* border = p->BorderForm();
      if (m->GetExtendedBorders() && p->AllowExtBorders() && (border == nullptr || border->Handle() == nullptr))
        p->SkinData()->DropCache();
      if (border != nullptr) border->Updating = false;
      WithoutSystemAnimation([&] {
        Application->Restore();
        if (AeroIsActive()) {
          RedrawWindow(wnd, nullptr, nullptr, RedrawFrame);
          if ((GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) {
            p->SkinData()->BGChanged = 1;
            SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
          }
        }
      });
      return false;
    }
    if (minimizing->Active && main->Visible()) {
      if (!p->DrawNonClientArea()) return false;
      if (!p->StartRestoreAnimation()) {
        ShowWindow(wnd, SW_RESTORE);
        InvalidateRect(wnd, nullptr, TRUE);
        RedrawWindow(wnd, nullptr, nullptr, RedrawFrame | RDW_UPDATENOW);
      }
      if (AeroIsActive()) return false;
      WithoutSystemAnimation([] { Application->Restore(); });
      return true;
    }
    if (!AeroIsActive()) return false;
    WithoutSystemAnimation([] { Application->Restore(); });
    InvalidateRect(wnd, nullptr, TRUE);
    RedrawWindow(wnd, nullptr, nullptr, RedrawFrame);
    return true;
  }
  ShowState = ssNone;
  return false;
}

bool PopupItemPainted(const TMessage& message) {
  TsSkinManager* m = Manager();
  if (m == nullptr || !m->GetSkinnedPopups()) return false;
  // The painter posts the item's command number: only a live item is looked at.
  TMenuItem* item = message.LParam > 0 && message.LParam <= 0xFFFF
                        ? FindMenuItemByCommand(static_cast<std::uint16_t>(message.LParam))
                        : nullptr;
  if (item == nullptr || item->Parent() == nullptr || m->SkinableMenus() == nullptr) return true;
  const HMENU menu = item->Parent()->Handle();
  RECT r{};
  if (!GetMenuItemRect(nullptr, menu, 0, &r) && !GetMenuItemRect(PopupListWindow(), menu, 0, &r)) return true;
  const POINT centre{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
  const HWND wnd = WindowFromPoint(centre);
  if (wnd == nullptr || WindowClassNameOf(wnd) != "#32768") return true;
  const TsPopupInfo entry = m->SkinableMenus()->FindPopupInfo(item, 0, nullptr, 0);
  if (entry.Background != nullptr) m->SkinableMenus()->PaintPopupBorder(wnd, entry.Background);
  return true;
}

bool PopupWindowKnown(const TMessage& message) {
  TsSkinManager* m = Manager();
  if (m == nullptr || !m->GetSkinnedPopups()) return false;
  const HWND wnd = reinterpret_cast<HWND>(message.LParam);
  if (wnd != nullptr && IsWindow(wnd) && WindowClassNameOf(wnd) == "#32768" && m->SkinableMenus() != nullptr) {
    const TsPopupInfo entry = m->SkinableMenus()->FindPopupInfo(nullptr, 0, wnd, 0);
    if (entry.Background != nullptr) m->SkinableMenus()->PaintPopupBorder(wnd, entry.Background);
  }
  return true;
}

}  // namespace

TlxAppShowState AppShowState() { return ShowState; }

void SetMainFormHide(TMainFormHide hide) { MainFormHide = std::move(hide); }

bool AppWindowHook(TMessage& message) {
  if (Application == nullptr) return false;
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGED: return HideAtShutDown(message);
    case WM_SYSCOMMAND: return SysCommand(message);
    case WM_THEMECHANGED: return true;
    case WM_DWMSENDICONICTHUMBNAIL_: {
      TCustomForm* main = Application->MainForm();
      const int w = HIWORD(message.LParam), h = LOWORD(message.LParam);
      if (!IconicPreviewOn() || main == nullptr || w == 0 || h == 0) return false;
      TsSkinProvider* p = ProviderOf(main);
      message.Result = 0;
      return p != nullptr && SetIconicThumbnail(Application->Handle(), p, w, h);
    }
    case WM_DWMSENDICONICLIVEPREVIEWBITMAP_: {
      TCustomForm* main = Application->MainForm();
      if (!IconicPreviewOn() || main == nullptr) return false;
      TsSkinProvider* p = ProviderOf(main);
      message.Result = 0;
      return p != nullptr && SetIconicLivePreview(Application->Handle(), p);
    }
    case CM_ACTIVATE:
      if (Screen != nullptr) {
        for (int i = Screen->FormCount() - 1; i >= 0; --i) {
          if (i >= Screen->FormCount()) continue;   // a form went while the others repainted
          TCustomForm* form = Screen->Forms(i);
          SendSkinCommand(form->Handle(), SkinCmdRepaintNow);
        }
      }
      return false;
    case WM_POPUPITEMPAINTED: return PopupItemPainted(message);
    case WM_POPUPWINDOWKNOWN: return PopupWindowKnown(message);
    default: return false;
  }
}

void SetTaskbarThumbnailMode(HWND wnd, bool on) {
  if (!IconicPreviewOn()) return;
  const DWORD value = on ? 1 : 0;
  if (DwmSetAttribute(wnd, DwmHasIconicBitmap, &value, sizeof(value)) == 0)
    DwmSetAttribute(wnd, DwmForceIconicRepresentation, &value, sizeof(value));
  InvalidateIconicBitmaps(wnd);
}

void InitAppWindowHookUnit() {
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.HookAppWindow = [](TsSkinManager* m) {
    if (Application == nullptr || HookCookie != 0) return;
    HookingManager = m;
    HookCookie = Application->HookMainWindow(&AppWindowHook);
  };
  links.UnhookAppWindow = [](TsSkinManager* m) {
    if (Application == nullptr || HookCookie == 0 || m != HookingManager) return;
    Application->UnhookMainWindow(HookCookie);
    HookCookie = 0;
    HookingManager = nullptr;
  };
}
