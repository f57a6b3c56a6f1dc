// The skin provider's window method: every message of a hooked form passes here first. Skin
// commands are answered in three stages (any state; unskinned or going; skinned), and while
// the form is skinned the window method drives the frame painting, the hit testing and the
// title buttons, activation and caption changes (covered so that the system's own caption
// never shows), sizing, screen snapping, the own frame drag, system commands and the window
// menu. With an extended-border window the frame's mouse answers come from that window.
// MDI messages go through the provider's MDI part (sSkinProviderMDI). The window method starts the blend while moving (lxFormEffects), answers
// the taskbar's preview requests with the form image (sFormImage) and starts the show and the
// hide of the form animations (sAnimations).
#include "skin/forms/sSkinProvider.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/win/StdCtrls.h"
#include "skin/core/sAnimSteps.h"
#include "skin/core/sFormMoves.h"
#include "skin/core/sMessages.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxCtrlAdapter.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/sAnimations.h"
#include "skin/forms/sFormImage.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sDwmApi.h"

bool EndingSession = false;

namespace {

// An editor block is being handed to the manager.
bool InCopyData = false;

// The own drag of a form with ResizeMode rmBorder (one at a time in the program).
struct TOwnDrag {
  TsSkinProvider* Provider = nullptr;
  int Kind = 0;          // hit code 2 (move) or 10-17
  bool Moving = true;
  POINT Start{};         // mouse position at the start
  TRect StartRect, Rect; // the frame at the start and now (screen)
  bool FrameDrawn = false;
};
TOwnDrag OwnDrag;

// The drag frame, drawn inverted on the screen (drawn twice it is gone).
void DrawDragFrame(const TRect& r) {
  TWindowDC dc(nullptr);
  if (!dc.Valid()) return;
  const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  for (int i = 0; i < 3; ++i) {
    const RECT ri{rc.left + i, rc.top + i, rc.right - i, rc.bottom - i};
    DrawFocusRect(dc.Get(), &ri);
  }
}

TPoint LParamPoint(LPARAM lp) { return TPoint{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

TPoint CursorPoint() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{static_cast<int>(p.x), static_cast<int>(p.y)};
}

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Entry.

void TsSkinProvider::CallSavedWndProc(TMessage& message) {
  if (FSavedWndProc) FSavedWndProc(message);
}

bool TsSkinProvider::FormShowing() const {
  return FForm != nullptr && FForm->HandleAllocated() && FForm->Showing();
}

void TsSkinProvider::NewWndProc(TMessage& message) {
  if (message.Msg == WM_SKINCOMMAND) {
    SkinCommand(message);
    return;
  }
  switch (message.Msg) {
    case WM_SKINEDITOR: WMSkinEditor(message); return;
    case WM_COPYDATA: WMCopyData(message); return;
    case WM_DESTROY: WindowGoing(); break;
    case WM_ENTERSIZEMOVE: SetFormMoving(true); break;
    case WM_EXITSIZEMOVE:
      SetFormMoving(false);
      // The hooked dialogs' border windows may lie under the moved form's: they are shown anew.
      if (FBorderForm != nullptr) {
        const TsSkinManagerLinks& links = SkinManagerLinks();
        if (links.VisibleHookedWindows)
          for (HWND h : links.VisibleHookedWindows()) SendMessageA(h, WM_SKINCOMMAND, MakeSkinWParam(SkinCmdRepaintNow), 0);
      }
      break;
    default: break;
  }
  if (DestroyingForm() || !Skinned())
    UnskinnedMessage(message);
  else
    SkinnedMessage(message);
}

void TsSkinProvider::UnskinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST:
    case WM_NCPAINT:
      // A run-time provider may find the skin at its first frame message.
      InitRuntimeProvider();
      if (!DestroyingForm() && Skinned()) {
        SkinnedMessage(message);
        return;
      }
      break;
    case WM_CREATE: WMCreate(message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case WM_NCDESTROY:
      if (MDIChild()) {
        CallSavedWndProc(message);
        // The main form's frame (and, with no child left active, its client) shows the change.
        if (TsSkinProvider* parent = SkinnedMDIParent(); parent != nullptr && parent != this) {
          parent->MenuLineChanged(true);
          if (parent->FForm->ActiveMDIChild() == nullptr && parent->FForm->ClientHandle() != nullptr)
            RedrawWindow(parent->FForm->ClientHandle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        }
        return;
      }
      break;
    default: break;
  }
  CallSavedWndProc(message);
}

void TsSkinProvider::InitRuntimeProvider() {
  if (!FRuntimeMade || FRuntimeInitialized || DestroyingForm()) return;
  FRuntimeInitialized = true;
  if (Skinned()) InitProvider();
}

// ---------------------------------------------------------------------------------------------
// Skin commands.

void TsSkinProvider::SkinLoaded(TMessage& message) {
  if (!IsFromOwnManager(message, FSkinData.get())) return;
  ResolveIndexes();
  if (SkinManager() == nullptr) return;
  SetSystemMenuStyle(FDrawNonClientArea);
  // An MDI main form is as active as its active child.
  if (MDIParent() && ActiveChildIsActiveForm()) FormActive = true;
  if (FForm->Menu() != nullptr && FForm->Menu()->OwnerDraw()) MenusInitialized = true;
  // Menus follow the loaded skin (their popups as the manager's SkinnedPopups says).
  if (TsSkinableMenus* menus = SkinManager()->SkinableMenus()) menus->ReapplyOwnerDraw();
  FSkinData->BGChanged = 1;
  MenuLineCount = -1;
  ReadaptControls();
}

void TsSkinProvider::Unskin(TMessage& message) {
  if (!IsFromOwnManager(message, FSkinData.get())) {
    if (FForm != nullptr && !DestroyingForm()) BroadcastToChildControls(FForm, message);
    return;
  }
  HandleSkinCommand(message, FSkinData.get());
  FBorderForm.reset();   // extended borders: the skin went
  if (FMDIForm != nullptr) FMDIForm->Disconnect();
  if (FForm != nullptr && FForm->HandleAllocated()) SetDwmTransitionsOff(FForm->Handle(), false);
  MenuLineCount = -1;
  FTitleIndex = FCaptionIndex = -1;
  if (FForm != nullptr && !DestroyingForm()) BroadcastToChildControls(FForm, message);
  if (!Designing(this)) UnadaptControls();
  if (DestroyingForm() || SkinManager() == nullptr) return;
  GiveFormBack();
}

void TsSkinProvider::GiveFormBack() {
  if (SkinManager() != nullptr) UpdateMenus(false);
  SetSystemMenuStyle(false);
  SetMenuLineOwnerDraw(false);
  if (FForm->HandleAllocated() && FForm->BorderStyle() != bsNone) SetWindowRgn(FForm->Handle(), nullptr, TRUE);
  // Labels and the form get back the colours they were designed with, not fixed ones.
  RestoreLabelColours(FForm);
  if (FUseGlobalColor && !FSkinData->GetCustomColor()) FForm->SetColor(FDesignedColor);
  FSkinData->DropCache();
  if (FForm->HandleAllocated())
    RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (FForm->ClientHandle() != nullptr)
    RedrawWindow(FForm->ClientHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool TsSkinProvider::AnswerAnyState(TMessage& message) {
  switch (SkinCommandOf(message.WParam)) {
    case SkinCmdSkinLoaded:
      if (!DestroyingForm() && IsFromOwnManager(message, FSkinData.get()) && FSystemMenu == nullptr)
        PrepareForm();
      return false;
    case SkinCmdUnskin:
      Unskin(message);
      return true;
    case SkinCmdIsSkinned:
      message.Result = 1;
      return true;
    case SkinCmdLockEnded:
      if ((FSkinData->CtrlState() & 0x400) != 0 && FForm != nullptr && !DestroyingForm()) {
        FSkinData->ClearCtrlStateBits(0x400);
        FForm->Perform(CM_MENUCHANGED, 0, 0);
      }
      return false;
    case SkinCmdQueryBackground:
      QueryBackground(message);
      return true;
    case SkinCmdTransparencyState:
      message.Result = FSkinData->CtrlState();
      return true;
    case SkinCmdQueryAppObject:
      message.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case SkinCmdQueryClientOffset: {
      const TPoint p = ClientOffset();
      message.Result = static_cast<LRESULT>(MAKELONG(p.X, p.Y));
      return true;
    }
    default:
      return false;
  }
}

// A child asks for the form's background under it: answered from the frame cache (client
// coordinates are moved by the client offset).
void TsSkinProvider::QueryBackground(TMessage& message) {
  message.Result = 0;
  if (message.LParam == 0 || FForm == nullptr || DestroyingForm() || !Skinned()) return;
  auto& request = *reinterpret_cast<TsBackgroundRequest*>(message.LParam);
  request.OffsetX = request.OffsetY = 0;
  if (FSkinData->BGChanged != 0 && FSkinData->HoldPaint == 0) PaintFrameCache();
  const TPoint offset = ClientOffset();
  if (request.PaintToDC != 0) {
    request.OffsetX += offset.X;
    request.OffsetY += offset.Y;
  }
  const auto& section = SkinManager()->Tables()->GeneralData[static_cast<size_t>(FSkinData->SectionIndex())];
  const int state = FormActive && section.States > 1 ? 1 : 0;
  FSkinData->ProvideBackground(request, state, FForm->HandleAllocated() ? FForm->Handle() : nullptr);
  if (request.Kind == 2 && request.Bitmap == nullptr && request.PaintToDC == 0) {
    PaintFrameCache();
    request.Bitmap = FSkinData->CacheBitmap();
  }
  request.OffsetX += offset.X;
  request.OffsetY += offset.Y;
  message.Result = 1;
}

void TsSkinProvider::SkinCommand(TMessage& message) {
  if (!SkinCommandAllowed(message.WParam, message.LParam)) {
    message.Result = 0;
    return;
  }
  if (AnswerAnyState(message)) return;
  const std::uint16_t command = SkinCommandOf(message.WParam);
  if (command == SkinCmdFindProvider) {
    message.Result = reinterpret_cast<LRESULT>(this);
    return;
  }
  if (DestroyingForm() || !Skinned()) {
    if (command != SkinCmdSkinLoaded || DestroyingForm()) {
      CallSavedWndProc(message);
      return;
    }
    // The skin is being applied (not yet marked active): the form takes it now.
    if (IsFromOwnManager(message, FSkinData.get())) {
      SkinLoaded(message);
      SetMDIChildrenSkinning(true);
      ApplyGlobalColor();
      if (FDrawNonClientArea && FForm->HandleAllocated()) SetDwmTransitionsOff(FForm->Handle(), true);
    }
    return;
  }
  // Skinned: a command not answered here does not reach the form.
  message.Result = 0;
  (void)SkinnedCommand(message);
}

bool TsSkinProvider::SkinnedCommand(TMessage& message) {
  switch (SkinCommandOf(message.WParam)) {
    case SkinCmdSkinLoaded:
      SkinLoaded(message);
      if (IsFromOwnManager(message, FSkinData.get())) {
        RepaintFormFrame();
        if (FMDIForm != nullptr) FMDIForm->ConnectToClient();
      }
      return true;
    case SkinCmdRedrawSkin: RedrawSkin(message); return true;
    case SkinCmdAdoptControls:
      if (!FForm->IsLoading()) {
        auto* control = reinterpret_cast<TControl*>(message.LParam);
        if (FCtrlAdapter != nullptr)
          FCtrlAdapter->AdaptChildren(control != nullptr ? As<TWinControl>(control) : nullptr);
        else
          AdaptControls();
      }
      return true;
    case SkinCmdResumePaint:
      if (FSkinData->HoldPaint != 0) {
        FSkinData->HoldPaint = 0;
        if (FForm->HandleAllocated()) RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      }
      return true;
    case SkinCmdHoldPaint:
      FSkinData->HoldPaint = LOWORD(message.WParam) == 1 ? 1 : 0;
      if (FSkinData->HoldPaint != 0) FSkinData->BGChanged = 1;
      return true;
    case SkinCmdBackgroundDirty: FSkinData->BGChanged = 1; return true;
    case SkinCmdPaintAtOnce:
      HandleSkinCommand(message, FSkinData.get());
      if (FSkinData->UrgentPainting != 0) PaintFrameCache();
      return true;
    case SkinCmdIsHeld: {
      const TBitmap* cache = FSkinData->CacheBitmap();
      message.Result = cache != nullptr && !cache->Empty() && FSkinData->HoldPaint != 0 ? 1 : 0;
      return true;
    }
    case SkinCmdIsSeeThrough: {
      const auto& section = SkinManager()->Tables()->GeneralData[static_cast<size_t>(FSkinData->SectionIndex())];
      const bool through = section.Props[0].GradientPercent + section.Props[0].ImagePercent > 0;
      message.Result = through ? 1 : 0;
      message.LParam = message.Result;
      return true;
    }
    // Children that see through ask the form's colour.
    case SkinCmdQueryColor: message.Result = static_cast<LRESULT>(FormBackColor()); return true;
    case SkinCmdHoverOut:
      // A pending press keeps its button: the form holds the capture until the press ends.
      if (FPressedButton == 0) SetHotElement(0, true);
      return true;
    case SkinCmdScrollStart:
      SendMessageA(FForm->Handle(), WM_SETREDRAW, FALSE, 0);
      return true;
    case SkinCmdScrollFinish:
      SendMessageA(FForm->Handle(), WM_SETREDRAW, TRUE, 0);
      RedrawWindow(FForm->Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_UPDATENOW | RDW_INVALIDATE);
      // The MDI main form's client window shows again what the scroll held back over it.
      if (TsSkinProvider* parent = SkinnedMDIParent(); parent != nullptr && parent->FForm->ClientHandle() != nullptr)
        RedrawWindow(parent->FForm->ClientHandle(), nullptr, nullptr,
                     RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_UPDATENOW | RDW_INVALIDATE);
      return true;
    default: return false;
  }
}

void TsSkinProvider::RedrawSkin(TMessage& message) {
  if (!IsFromOwnManager(message, FSkinData.get())) return;
  ReadaptControls();
  MenuLineCount = -1;
  if (FDrawNonClientArea) RegionChanged = true;
  // While a skin change animates, the border window keeps the old face at its old place: the
  // animation moves it on and refreshes it at its end.
  const bool changing = (FormState & SkinChanging) != 0;
  if (FForm->Visible()) {
    FSkinData->BGChanged = 1;
    // The manager's extended borders may have been turned on or off since the skin was
    // applied: a shown form gets or loses its border window now, not only when it shows again.
    if (!changing && FormShowing() && SkinManager() != nullptr) UpdateBorderForm(SkinManager()->GetExtendedBorders());
    if (FForm->HandleAllocated())
      RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
  }
  ApplyGlobalColor();
  if (FMDIForm != nullptr) {
    FMDIForm->ConnectToClient();
    if (FForm->Visible() && FForm->ClientHandle() != nullptr)
      RedrawWindow(FForm->ClientHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  FSkinData->HoldPaint = 0;
  if (FSystemMenu != nullptr) FSystemMenu->UpdateItems(false);
  if (!Designing(this)) SendToAdapter(message);
  if (!changing) RefreshBorderForm(true);
}

void TsSkinProvider::WMSkinEditor(TMessage& message) {
  if (DestroyingForm() || !Skinned()) {
    CallSavedWndProc(message);
    return;
  }
  if (message.WParam == 1)
    FForm->Close();   // may free the form and this provider: nothing of it is read after
  else if (message.WParam == 3)
    CallSavedWndProc(message);
  else if (message.WParam == 4)
    message.Result = 1;
}

void TsSkinProvider::WMCopyData(TMessage& message) {
  CallSavedWndProc(message);
  // Only the window announced to the editor takes its skin data, one block at a time; the
  // manager takes a block only whole.
  if (message.Result != 0 || InCopyData || PreviewWindow == nullptr || DestroyingForm() ||
      !FForm->HandleAllocated() || FForm->Handle() != PreviewWindow || message.LParam == 0)
    return;
  if (reinterpret_cast<const COPYDATASTRUCT*>(message.LParam)->lpData == nullptr) return;
  TsSkinManager* m = SkinManager();
  if (m == nullptr) return;
  InCopyData = true;
  try {
    m->HandleEditorData(message);
  } catch (...) {
    InCopyData = false;
    throw;
  }
  InCopyData = false;
}

void TsSkinProvider::WMCreate(TMessage& message) {
  CallSavedWndProc(message);
  if (!DestroyingForm() && Skinned()) PrepareForm();
}

// ---------------------------------------------------------------------------------------------
// Skinned messages.

void TsSkinProvider::SkinnedMessage(TMessage& message) {
  if (MDIMessage(message)) return;
  switch (message.Msg) {
    case WM_CREATE:
    case WM_NCCREATE: WMCreate(message); return;
    case WM_SIZE: WMSize(message); return;
    case WM_ACTIVATE: WMActivate(message); return;
    case WM_SETREDRAW:
      FLockCount = message.WParam == 1 ? std::max(0, FLockCount - 1) : FLockCount + 1;
      CallSavedWndProc(message);
      return;
    case WM_SETTEXT: WMSetText(message); return;
    case WM_PAINT: WMPaint(message); return;
    case WM_QUERYENDSESSION:
      EndingSession = true;
      CallSavedWndProc(message);
      return;
    case WM_ERASEBKGND: WMEraseBkgnd(message); return;
    case WM_SYSCOLORCHANGE:
      CallSavedWndProc(message);
      MenusInitialized = false;
      MenuLineCount = -1;
      return;
    case WM_SHOWWINDOW: WMShowWindow(message); return;
    case WM_SETTINGCHANGE:
      FSkinData->BGChanged = 1;
      // The taskbar moved or resized: a minimized form's run ends at its new place.
      if (message.WParam == SPI_SETWORKAREA)
        if (auto* timer = dynamic_cast<TlxMinTimer*>(FormTimer())) timer->RetargetToTaskbar();
      CallSavedWndProc(message);
      return;
    case WM_GETMINMAXINFO: HandleGetMinMaxInfo(message); return;
    case WM_SIZING:
      CallSavedWndProc(message);
      RefreshBorderForm(false);   // extended borders follow the frame being dragged
      return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(message); return;
    case WM_SETICON: WMSetIcon(message); return;
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_NCACTIVATE: WMNCActivate(message); return;
    case WM_NOTIFY:
      CallSavedWndProc(message);
      // A tab page came into view: its controls may be new to the adapter.
      if (message.LParam != 0 && reinterpret_cast<const NMHDR*>(message.LParam)->code == static_cast<UINT>(TCN_SELCHANGE))
        ReadaptControls();
      return;
    case WM_PARENTNOTIFY: WMParentNotify(message); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(message); return;
    case WM_NCMOUSEMOVE: {
      if (TsSkinManager* m = SkinManager()) m->TrackHoverWindow(FForm->Handle());
      // Leaving the frame for the client area or off the window is reported (WM_NCMOUSELEAVE).
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, FForm->Handle(), 0};
      TrackMouseEvent(&track);
      HandleNCMouseMove(message);
      return;
    }
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(message); return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: WMNCLButtonUp(message); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(message); return;
    case WM_NCRBUTTONDOWN:
      if (message.WParam == HTCAPTION || message.WParam == HTSYSMENU) return;
      break;
    case WM_NCRBUTTONUP: WMNCRButtonUp(message); return;
    case WM_SYSCOMMAND: WMSysCommand(message); return;
    case WM_INITMENUPOPUP:
      // Without skinned popups the form's own menu preparation (its actions' updates) runs.
      if (SkinManager()->GetSkinnedPopups())
        HandleInitMenuPopup(message);
      else
        CallSavedWndProc(message);
      return;
    case WM_ENTERIDLE: message.Result = 0; return;
    case WM_CONTEXTMENU:
      // The form's own popup menu opens skinned (when popups are) on its way to the framework.
      if (TsSkinManager* m = SkinManager(); m != nullptr && m->SkinableMenus() != nullptr)
        m->SkinableMenus()->HookPopupMenu(FForm->PopupMenu(), true);
      break;
    case WM_MOUSEMOVE: {
      const std::shared_ptr<bool> alive = FAlive;
      CallSavedWndProc(message);
      if (!*alive) return;
      if (OwnDrag.Provider == this) {
        MoveOwnDrag();
        return;
      }
      // The mouse is over the client area: no title element is hot, no window is hovered. A
      // pending press (the form holds the capture) keeps its button until it ends.
      if (FPressedButton != 0) return;
      SetHotElement(0, true);
      if (TsSkinManager* m = TsSkinManager::DefaultManager(); m != nullptr && !Designing(this)) m->TrackHoverWindow(nullptr);
      return;
    }
    case WM_CAPTURECHANGED:
      CallSavedWndProc(message);
      if (reinterpret_cast<HWND>(message.LParam) == FForm->Handle()) return;
      if (OwnDrag.Provider == this) EndOwnDrag(false);
      EndTitleButtonPress();
      return;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE:
      // The system also reports the end of an earlier tracking when a new one starts: a report
      // while the mouse is over the hot element is not a leave.
      if (FPressedButton == 0 && (HotElement <= 0 || ElementUnderMouse() != HotElement)) SetHotElement(0, true);
      break;
    case 0x313: {   // the taskbar asks for the window menu
      const TPoint p = CursorPoint();
      ShowSystemMenu(p.X, p.Y);
      return;
    }
    case WM_PRINT: WMPrint(message); return;
    case WM_PRINTCLIENT: return;
    // The taskbar asks for the form's thumbnail (LParam: the largest width in the high word,
    // height in the low word) and its live preview; the answers are Booleans in 7 bits.
    case WM_DWMSENDICONICTHUMBNAIL:
      if (IconicPreviewOn() && HIWORD(message.LParam) != 0 && LOWORD(message.LParam) != 0) {
        message.Result = SetIconicThumbnail(FForm->Handle(), this, HIWORD(message.LParam), LOWORD(message.LParam)) & 0x7F;
        return;
      }
      break;
    case WM_DWMSENDICONICLIVEPREVIEWBITMAP:
      if (IconicPreviewOn()) {
        message.Result = SetIconicLivePreview(FForm->Handle(), this) & 0x7F;
        return;
      }
      break;
    case CM_VISIBLECHANGED: CMVisibleChanged(message); return;
    case CM_ENABLEDCHANGED:
      CallSavedWndProc(message);
      if (FDrawNonClientArea && !DestroyingForm()) {
        FSkinData->BGChanged = 1;
        if (FForm->HandleAllocated()) SendMessageA(FForm->Handle(), WM_NCPAINT, 1, 0);
      }
      return;
    case CM_MENUCHANGED: CMMenuChanged(message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case CM_RECREATEWND:
      CallSavedWndProc(message);
      if (PreviewWindow != nullptr && !DestroyingForm() && FForm->HandleAllocated())
        AnnounceToSkinEditor(FForm->Handle(), true);
      return;
    case 0xB04C:
    case 0xBC4D: message.Result = 0; return;
    case CM_MOUSEENTER:
      if (TsSkinManager* m = SkinManager()) m->TrackHoverWindow(FForm->Handle());
      BorderWindowMessage(message);   // extended borders
      return;
    case WM_ACTIVATEAPP:
    case WM_STYLECHANGED: BorderWindowMessage(message); return;   // extended borders
    default: break;
  }
  CallSavedWndProc(message);
}

void TsSkinProvider::CMShowingChanged(TMessage& message) {
  // Shown again: a hide that its border window played is over.
  if (FForm->Showing()) FormState &= ~static_cast<std::uint32_t>(Hiding);
  if (FDrawNonClientArea && !DestroyingForm() && FForm->Showing()) {
    // A minimize run is over once the form is shown again: its pictures (two of the form's
    // size) go with it.
    if (dynamic_cast<TlxMinTimer*>(FFormTimer.get()) != nullptr) SetFormTimer(nullptr);
    InitRuntimeProvider();
    if (PreviewMode && FForm->HandleAllocated()) AnnounceToSkinEditor(FForm->Handle());
    if (Skinned()) {
      UpdateMenus(true);
      ReadaptControls();
    }
  }
  // Form animations: a form shown with the manager's FormShow appears through its copy. It is
  // shown nearly transparent, then with its redraw off (WS_VISIBLE off) until the copy is done.
  const TlxFormAnimation* show = Skinned() ? SkinManager()->AnimEffects()->FormShow() : nullptr;
  const bool animating = FDrawNonClientArea && !DestroyingForm() && FForm->Showing() && show != nullptr &&
                         AllowAnimation && show->Active && AnimStepCount(show->Time) > 0 &&
                         FForm->Parent() == nullptr && LayeredWindowsAvailable() && FForm->HandleAllocated() &&
                         SetNearlyTransparent(FForm->Handle(), true);
  if (animating) InAnimation = true;
  const std::shared_ptr<bool> alive = FAlive;
  CallSavedWndProc(message);
  if (!*alive || DestroyingForm()) return;
  if (animating) {
    SetNearlyTransparent(FForm->Handle(), false);
    if (FForm->Showing() && Skinned()) {
      UpdateBorderForm(SkinManager()->GetExtendedBorders());
      AnimShowForm(this, show->Time, show->Mode, FForm->AlphaBlend() ? FForm->AlphaBlendValue() : 255);
    } else {
      InAnimation = false;
      SendMessageA(FForm->Handle(), WM_SETREDRAW, 1, 0);
      RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
    return;
  }
  // Extended borders: made or freed per the manager when the form shows, freed when it hides.
  if (FForm->Showing() && FDrawNonClientArea && Skinned())
    UpdateBorderForm(SkinManager()->GetExtendedBorders());
  else if (!FForm->Showing())
    FBorderForm.reset();
}

void TsSkinProvider::CMVisibleChanged(TMessage& message) {
  if (message.WParam == 1) InitRuntimeProvider();
  CallSavedWndProc(message);
  if (message.WParam == 0 && !DestroyingForm()) FSkinData->DropCache();
}

void TsSkinProvider::CMMenuChanged(TMessage& message) {
  const bool creating = (FForm->FormState() & fsCreating) != 0;
  if (!creating && FForm->Visible() && (FSkinData->CtrlState() & 0x800) == 0) {
    MenuLineCount = -1;
    MenuChanged = true;
    FSkinData->BGChanged = 1;
  }
  CallSavedWndProc(message);
}

void TsSkinProvider::WMActivate(TMessage& message) {
  CallSavedWndProc(message);
  if (!FormShowing() || DestroyingForm()) return;
  MenuLineCount = -1;
  if (LOWORD(message.WParam) != WA_INACTIVE) {
    UpdateMenus(true);
    if (FSystemMenu != nullptr) FSystemMenu->UpdateItems(false);
    // The children of a borderless form that hold their painting for it are let go here.
    if (FForm->BorderStyle() == bsNone) RefreshChildControls(FForm);
  }
}

void TsSkinProvider::WMShowWindow(TMessage& message) {
  if (message.WParam == 1) {
    FormState &= Restoring;
    if (CompositionMode() && (GetWindowLongA(FForm->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) == 0)
      RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
    if (ShowAction != 0) ShowAction = IsIconic(FForm->Handle()) ? 2 : IsZoomed(FForm->Handle()) ? 3 : 1;
  }
  CallSavedWndProc(message);
  if (message.WParam == 1 && !DestroyingForm() && FForm->Parent() != nullptr) {
    FSkinData->ClearCtrlStateBits(0x1);
    FSkinData->BGChanged = 1;
  }
}

// ---------------------------------------------------------------------------------------------
// Hit testing and the mouse on the frame.

void TsSkinProvider::WMNCHitTest(TMessage& message) {
  InitRuntimeProvider();
  // Extended borders: the form shows only its content; the border window tells its parts.
  if (FBorderForm != nullptr && FDrawNonClientArea) {
    const int code = FBorderForm->HitTest(message);
    if (code > 0)
      message.Result = code;
    else
      CallSavedWndProc(message);
    return;
  }
  if (!FDrawNonClientArea || CaptionHeight(Geometry(), SystemMetrics(), true) == 0) {
    CallSavedWndProc(message);
    return;
  }
  const int code = TitleHitTest(LParamPoint(message.LParam));
  // The system gives an MDI child its system-menu style back now and then: taken again.
  if (MDIChild() && (code == htcMinButton || code == htcMaxButton || code == htcClose)) SetSystemMenuStyle(true);
  if (FrameKeepsHitCode(code))
    message.Result = code;
  else
    CallSavedWndProc(message);
  if (OnExtHitTest) OnExtHitTest(this, message);
}

int TsSkinProvider::ElementUnderMouse() {
  const TPoint p = CursorPoint();
  const HWND under = WindowFromPoint(POINT{p.X, p.Y});
  if (FBorderForm != nullptr && under == FBorderForm->Handle())
    return FBorderForm->HitTest(TMessage{WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y), 0});
  return under == FForm->Handle() ? TitleHitTest(p) : 0;
}

void TsSkinProvider::HandleNCMouseMove(TMessage& message) {
  const int code = TitleHitTest(LParamPoint(message.LParam));
  message.WParam = static_cast<WPARAM>(code);
  if (HotElementCode(code)) {
    SetHotElement(code, true);
    return;
  }
  SetHotElement(0, true);
  CallSavedWndProc(message);
}

void TsSkinProvider::WMNCLButtonDown(TMessage& message) {
  if (!FDrawNonClientArea) {
    CallSavedWndProc(message);
    return;
  }
  // Extended borders: a press forwarded by the border window leaves the code to the form.
  if (FBorderForm != nullptr && message.WParam == static_cast<WPARAM>(-1)) {
    message.WParam = static_cast<WPARAM>(FBorderForm->HitTest(message));
    if (message.WParam == static_cast<WPARAM>(-1)) return;
  }
  const int code = static_cast<int>(message.WParam);
  const HWND wnd = FForm->Handle();
  switch (code) {
    case HTBORDER: CallSavedWndProc(message); return;
    case HTSYSMENU: {
      message.Result = 0;
      CallSavedWndProc(message);
      if (message.Result != 0) return;
      EndTitleButtonPress();
      SetHotElement(0, false);
      // A second click may follow (the double click closes the form): wait for it, keeping
      // the messages flowing; the form may be gone afterwards.
      const std::shared_ptr<bool> alive = FAlive;
      FIconDoubleClicked = false;
      const DWORD start = GetTickCount();
      while (GetTickCount() - start < 200) {
        Application->ProcessMessages();
        if (!*alive || FIconDoubleClicked) return;
        Sleep(5);
      }
      if (DestroyingForm()) return;
      ShowSystemMenuBelowIcon();
      return;
    }
    case HTMENU: CallSavedWndProc(message); return;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
    case htcMDIClose:
      PressTitleButton(code);
      return;
    case htcMDIRestore:
    case htcMDIMinimize: {
      // The maximized child's system menu says whether it may be restored or minimized.
      TsSkinProvider* child = ActiveChildProvider;
      TsSystemMenu* rules = child != nullptr ? child->SystemMenu() : nullptr;
      const bool allowed = rules == nullptr || (code == htcMDIRestore ? rules->EnabledRestore() : rules->EnabledMin());
      if (allowed) PressTitleButton(code);
      return;
    }
    default: break;
  }
  if (code >= 1000) {
    PressTitleButton(code);
    if (TsTitleButton* b = code - 1000 < FTitleButtons->Count() ? FTitleButtons->Items(code - 1000) : nullptr) {
      const TPoint p = LParamPoint(message.LParam);
      b->DoMouseDown(mbLeft, TShiftState{}, p.X, p.Y);
    }
    return;
  }
  if (IsIconic(wnd)) {
    FForm->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return;
  }
  SetHotElement(0, true);
  if (IsZoomed(wnd)) {
    const TsFormGeometry f = Geometry();
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const int y = GET_Y_LPARAM(message.LParam) - wr.top;
    if (y < FrameBorderWidthPlain(f, SystemMetrics()) + CaptionHeight(f, SystemMetrics(), true)) {
      SetFocus(wnd);
      return;
    }
  }
  const bool dragKind = code == HTCAPTION || (code >= HTLEFT && code <= HTBOTTOMRIGHT);
  if (ResizeMode == rmBorder && !DragFullWindows() && FForm->Enabled() && dragKind) {
    StartOwnDrag(code, code == HTCAPTION);
    return;
  }
  // Dragged by the caption, the form fades while it moves (blend on moving).
  if (code == HTCAPTION && DragFullWindows() && FForm->Parent() == nullptr && AllowBlendOnMoving) {
    TsSkinManager* m = SkinManager();
    const TlxBlendOnMoving* blend = m != nullptr ? m->AnimEffects()->BlendOnMoving() : nullptr;
    if (blend != nullptr && blend->Active && blend->BlendValue != 255) {
      FSkinData->BGChanged = 1;
      FormActive = true;
      SetFocus(wnd);
      StartBlendMoving();
      return;
    }
  }
  CallSavedWndProc(message);
}

void TsSkinProvider::WMNCLButtonUp(TMessage& message) {
  if (!FDrawNonClientArea) {
    CallSavedWndProc(message);
    return;
  }
  if (OwnDrag.Provider == this) {
    EndOwnDrag(true);
    return;
  }
  if (FBorderForm != nullptr && message.Msg == WM_NCLBUTTONUP && message.WParam == static_cast<WPARAM>(-1))
    message.WParam = static_cast<WPARAM>(FBorderForm->HitTest(message));   // extended borders
  const TPoint point = message.Msg == WM_NCLBUTTONUP ? LParamPoint(message.LParam) : CursorPoint();
  int code = static_cast<int>(message.WParam);
  if (message.Msg == WM_LBUTTONUP) {
    // A client-area release (also a captured one, anywhere on the screen): what lies under the
    // mouse, told by the border window where it shows the frame.
    const TMessage at{WM_NCHITTEST, 0, MAKELPARAM(point.X, point.Y), 0};
    code = FBorderForm != nullptr ? FBorderForm->HitTest(at) : TitleHitTest(point);
  }
  // The release acts only on the button pressed on this form and still under the mouse; a
  // press released elsewhere only ends, and its release goes no further. Releasing the close
  // button may free the form and this provider with it.
  const std::shared_ptr<bool> alive = FAlive;
  const bool pressed = FPressedButton != 0;
  ReleaseTitleButton(code, point);
  if (!*alive || pressed) return;
  CallSavedWndProc(message);
}

void TsSkinProvider::WMNCLButtonDblClk(TMessage& message) {
  if (OwnDrag.Provider == this) EndOwnDrag(true);
  const HWND wnd = FForm->Handle();
  switch (message.WParam) {
    case HTCAPTION: {
      if (FSysMenuStyleTaken && FSystemMenu != nullptr &&
          (FSystemMenu->EnabledMax() || FSystemMenu->EnabledRestore())) {
        const WPARAM command = IsZoomed(wnd) || IsIconic(wnd) ? SC_RESTORE : SC_MAXIMIZE;
        FForm->Perform(WM_SYSCOMMAND, command, 0);
        if (!DestroyingForm() && FSystemMenu != nullptr) FSystemMenu->UpdateItems(false);
      } else if (IsIconic(wnd)) {
        FForm->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
      }
      message.WParam = 0;
      return;
    }
    case HTSYSMENU: {
      FIconDoubleClicked = true;
      const bool popupsSkinned = SkinManager()->GetSkinnedPopups();
      if (!popupsSkinned) FSkinData->HoldPaint = 1;
      const std::shared_ptr<bool> alive = FAlive;
      FForm->Close();
      // The close may have freed the form and this provider; a refused one leaves the form
      // painting again.
      if (!*alive) return;
      if (!popupsSkinned) FSkinData->HoldPaint = 0;
      return;
    }
    default: CallSavedWndProc(message); return;
  }
}

void TsSkinProvider::WMNCRButtonUp(TMessage& message) {
  const TsFormGeometry f = Geometry();
  if (!DrawsFrame(f)) {
    CallSavedWndProc(message);
    return;
  }
  const TPoint p = LParamPoint(message.LParam);
  // As in the hit test, the system's answer stands where the frame keeps none of its own.
  int code = TitleHitTest(p);
  if (!FrameKeepsHitCode(code)) code = static_cast<int>(message.WParam);
  if (FBorderForm != nullptr && message.WParam == static_cast<WPARAM>(-1)) code = FBorderForm->HitTest(message);
  message.WParam = static_cast<WPARAM>(code);
  if (code == HTCAPTION || code == HTSYSMENU) {
    EndTitleButtonPress();
    SetHotElement(0, true);
    ShowSystemMenu(p.X, p.Y);
  }
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TsSkinProvider::WMNCPaint(TMessage& message) {
  if (FSystemMenu == nullptr) PrepareForm();
  if (FDrawNonClientArea) {
    if ((FSkinData->CtrlState() & 0xC00) != 0) return;
    if (FForm->Menu() != nullptr && FForm->Menu()->Items()->Count() > 0 && FForm->Menu()->Handle() == nullptr)
      return;
  }
  InitRuntimeProvider();
  if (!FDrawNonClientArea) {
    CallSavedWndProc(message);
    return;
  }
  if (FForm->HandleAllocated() && IsIconic(FForm->Handle())) FSkinData->BGChanged = 1;
  if (!FormShowing() || FForm->IsLoading() || FSystemMenu == nullptr) return;
  // The own drag has no sense under composition: the system drags as it likes there.
  if (ResizeMode == rmBorder && AeroIsActive()) ResizeMode = rmStandard;
  if (FCtrlAdapter == nullptr) AdaptControls();
  PaintNonClient();
  message.Result = 0;
}

bool TsSkinProvider::CacheValid() const {
  const TBitmap* cache = FSkinData->CacheBitmap();
  return cache != nullptr && !cache->Empty();
}

void TsSkinProvider::PaintClient(HDC dc, bool resumeChildren) {
  PaintClientBackground(dc);
  PaintGraphicChildren(dc, FForm);
  if (resumeChildren) {
    RefreshChildControls(FForm);
    TMessage resume{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdResumePaint), 0, 0};
    SendToAdapter(resume);
  }
}

void TsSkinProvider::PaintClientBackground(HDC dc) {
  TPoint offset = ClientOffset();
  if (FBorderForm != nullptr) {
    // Extended borders: the cache holds the border window's image around the form.
    const TPoint origin = WindowOriginInCache();
    offset = TPoint{offset.X + origin.X, offset.Y + origin.Y};
  }
  if ((FSkinData->CtrlState() & csPlainOwner) != 0) {
    // A flat client: its colour, and the grip from the frame cache over it at its place.
    const TColor colour = FormBackColor();
    TOwnedBrush brush(CreateSolidBrush(static_cast<COLORREF>(colour)));
    RECT cr{};
    GetClientRect(FForm->Handle(), &cr);
    FillRect(dc, &cr, brush.Get());
    TBitmap* cache = FSkinData->CacheBitmap();
    const TRect grip = CacheValid() ? GripRect(cache) : TRect{};
    if (!grip.IsEmpty())
      BitBlt(dc, grip.Left - offset.X, grip.Top - offset.Y, grip.Width(), grip.Height(), cache->Canvas()->GetHandle(),
             grip.Left, grip.Top, SRCCOPY);
    return;
  }
  if (FSkinData->UrgentPainting == 0 && FSkinData->BGChanged != 0) PaintFrameCache();
  if (!CacheValid()) return;
  RECT cr{};
  GetClientRect(FForm->Handle(), &cr);
  const TRect client{0, 0, static_cast<int>(cr.right), static_cast<int>(cr.bottom)};
  const int saved = SaveDC(dc);
  CopyCacheExcludingChildren(FForm, FSkinData.get(), client, offset.Y, offset.X, false, dc, client);
  RestoreDC(dc, saved);
}

void TsSkinProvider::PaintFormOnPaint(HDC dc) {
  if (!FForm->OnPaint) return;
  TCanvas* canvas = FForm->Canvas();
  TCanvasLock lock(*canvas);
  // A DC the canvas took outside painting gives way to this one.
  if (auto* own = dynamic_cast<TControlCanvas*>(canvas)) own->FreeHandle();
  TCanvasDC bound(*canvas, dc);
  FForm->OnPaint(FForm);
}

void TsSkinProvider::PaintClientMessage(TMessage& message) {
  HDC given = reinterpret_cast<HDC>(message.WParam);
  std::optional<TPaintDC> ps;
  if (given == nullptr) {
    ps.emplace(FForm->Handle());
    given = ps->Get();
  }
  message.Result = 0;
  // Hidden under the maximized child: nothing of it shows (a child made maximized paints).
  if (UnderMaximizedChild() && !ChildWasMaximized) return;
  // The graphic children are painted with the client; the form's own painting goes over both.
  PaintClient(given, true);
  PaintFormOnPaint(given);
  message.Result = 0;
}

void TsSkinProvider::WMPaint(TMessage& message) {
  if (!FormShowing()) {
    CallSavedWndProc(message);
    return;
  }
  if (FSkinData->BGChanged != 0 && FSkinData->HoldPaint == 0) PaintFrameCache();
  if (CacheValid()) {
    // (The painting's erasing clears the flag: it is read first.)
    const bool madeMaximized = ChildWasMaximized;
    PaintClientMessage(message);
    // Made while the active child was maximized: this child takes its place maximized.
    if (madeMaximized && MDIChild()) {
      ChildWasMaximized = false;
      if (!IsZoomed(FForm->Handle())) SendMessageA(FForm->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    return;
  }
  // No cache yet: the form paints itself as it would unskinned.
  CallSavedWndProc(message);
}

void TsSkinProvider::EraseBackground(HDC dc) {
  FSkinData->HoldPaint = 0;
  if (UnderMaximizedChild() && !ChildWasMaximized) return;
  PaintClient(dc, true);
}

void TsSkinProvider::WMEraseBkgnd(TMessage& message) {
  if (!FormShowing() || (FSkinData->CtrlState() & 0x800) != 0 || FSkinData->HoldPaint != 0) {
    message.Result = 1;
    return;
  }
  ShortenCacheInsideParent();
  if (FSkinData->BGChanged != 0) PaintFrameCache();
  if (!CacheValid()) {
    CallSavedWndProc(message);
    return;
  }
  EraseBackground(reinterpret_cast<HDC>(message.WParam));
  // (A child hidden under the maximized one is not the one the main form's buttons act on.)
  if (MDIChild() && !UnderMaximizedChild()) {
    ChildWasMaximized = false;
    ActiveChildProvider = this;
  }
  message.Result = 1;
}

void TsSkinProvider::WMPrint(TMessage& message) {
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (FForm->IsLoading() || DestroyingForm() || dc == nullptr) return;
  if (FForm->HandleAllocated()) SetDwmTransitionsOff(FForm->Handle(), true);
  FSkinData->SetPrintDC(dc);
  FSkinData->HoldPaint = 0;
  if (FSkinData->BGChanged != 0 || !CacheValid()) PaintFrameCache();
  if (CacheValid()) {
    TBitmap* cache = FSkinData->CacheBitmap();
    const TPoint offset = ClientOffset();
    RECT cr{};
    GetClientRect(FForm->Handle(), &cr);
    {
      // The frame: everything of the cache outside the client area (extended borders: the
      // whole cache, the client painted over it).
      const int saved = SaveDC(dc);
      if (FBorderForm == nullptr) ExcludeClipRect(dc, offset.X, offset.Y, offset.X + cr.right, offset.Y + cr.bottom);
      BitBlt(dc, 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
      RestoreDC(dc, saved);
    }
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, offset.X, offset.Y, nullptr);
    IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
    PaintClient(dc, false);
    PaintFormOnPaint(dc);
    RestoreDC(dc, saved);
    // An MDI main form's client window prints itself and the children over the client area.
    if (MDIParent() && FForm->ClientHandle() != nullptr && IsWindowVisible(FForm->ClientHandle())) {
      RECT window{}, client{};
      GetWindowRect(FForm->Handle(), &window);
      GetWindowRect(FForm->ClientHandle(), &client);
      const int at = SaveDC(dc);
      SetViewportOrgEx(dc, client.left - window.left, client.top - window.top, nullptr);
      SendMessageA(FForm->ClientHandle(), WM_PRINT, message.WParam,
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
      RestoreDC(dc, at);
    }
  } else {
    CallSavedWndProc(message);
  }
  FSkinData->SetPrintDC(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Activation and caption changes: the system paints its own caption on both unless the
// form's redraw is off or a cover hides the strip; the skinned frame is painted afterwards.

namespace {

// The caption cover: a borderless window over the caption strip showing what the strip
// showed, while the system paints its own caption underneath.
class TCaptionCoverForm : public TForm {
public:
  TCaptionCoverForm(HBITMAP image, const TRect& bounds) : TForm(nullptr), FImage(image) {
    SetTag(-98);
    SetBorderStyle(bsNone);
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    WindowProc = [this](TMessage& m) { CoverWndProc(m); };
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  }

private:
  void CoverWndProc(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND) {
      m.Result = 1;
      return;
    }
    if (m.Msg == WM_PAINT && HandleAllocated()) {
      TPaintDC ps(Handle());
      TMemoryDC mem(ps.Get(), FImage);
      BitBlt(ps.Get(), 0, 0, Width(), Height(), mem.Get(), 0, 0, SRCCOPY);
      m.Result = 0;
      return;
    }
    WndProc(m);
  }
  HBITMAP FImage;
};

}  // namespace

HWND TsSkinProvider::CaptionCoverWindow() const {
  return FCaptionCover != nullptr && FCaptionCover->HandleAllocated() ? FCaptionCover->Handle() : nullptr;
}

void TsSkinProvider::PassCovered(TMessage& message) {
  const HWND wnd = FForm->Handle();
  const std::shared_ptr<bool> alive = FAlive;
  if (CompositionMode() || AeroIsActive() || FCaptionCover != nullptr || !IsWindowVisible(wnd)) {
    // Redraw off: the system paints nothing of the frame meanwhile.
    const bool lock = IsWindowVisible(wnd) != FALSE;
    if (lock) SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    CallSavedWndProc(message);
    if (!*alive) return;
    if (lock && IsWindow(wnd)) SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    return;
  }
  const bool covered = CoverCaption();
  CallSavedWndProc(message);
  if (!*alive) return;
  if (covered) UncoverCaption();
}

bool TsSkinProvider::CoverCaption() {
  const HWND wnd = FForm->Handle();
  if (FCaptionCover != nullptr || !IsWindowVisible(wnd)) return false;
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const TsFormGeometry f = Geometry();
  const int strip = FrameBorderWidthPlain(f, SystemMetrics()) + CaptionHeight(f, SystemMetrics(), true);
  const int width = wr.right - wr.left;
  if (strip <= 0 || width <= 0) return false;
  {
    TWindowDC src(wnd, TWindowDC::TArea::Window);
    FCoverImage = TOwnedBitmap(CreateCompatibleBitmap(src.Get(), width, strip));
    TMemoryDC mem(src.Get(), FCoverImage.Get());
    BitBlt(mem.Get(), 0, 0, width, strip, src.Get(), 0, 0, SRCCOPY);
  }
  // The cover lies just above its form, so that it never comes over another window that
  // overlaps the caption; topmost only with a topmost form.
  const TRect at = Bounds(wr.left, wr.top, width, strip);
  FCaptionCover = std::make_unique<TCaptionCoverForm>(FCoverImage.Get(), at);
  const HWND cover = FCaptionCover->Handle();
  PlaceJustAbove(cover, wnd, at, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(cover);
  return true;
}

void TsSkinProvider::UncoverCaption() {
  FCaptionCover.reset();
  FCoverImage = TOwnedBitmap();
}

void TsSkinProvider::WMNCActivate(TMessage& message) {
  if (DestroyingForm() || !FDrawNonClientArea || !FForm->HandleAllocated()) {
    CallSavedWndProc(message);
    return;
  }
  if (FSystemMenu == nullptr) PrepareForm();
  FormState |= Activating;
  const bool active = message.WParam != 0;
  const bool changed = active != FormActive;
  if ((FormState & Moving) == 0) FormActive = active;
  if (changed) FSkinData->BGChanged = 1;
  FSkinData->HoldPaint = 0;
  const std::shared_ptr<bool> alive = FAlive;
  if (FormShowing() && FForm->Visible())
    PassCovered(message);
  else
    CallSavedWndProc(message);
  if (!*alive) return;
  FormState &= ~static_cast<std::uint32_t>(Activating);
  MenuLineCount = -1;
  if (DestroyingForm()) return;
  if (FormShowing()) {
    ForceNCPaint();
    BorderAfterActivation();   // extended borders: the frame of the new activity
  }
  UpdateMenus(true);
}

void TsSkinProvider::WMSetText(TMessage& message) {
  if (!FormShowing() || !FDrawNonClientArea) {
    CallSavedWndProc(message);
    return;
  }
  // A maximized child's caption is its main form's: the system writes it into the main
  // form's caption, which the cover hides until the skinned frame shows it.
  if (MDIChild() && IsZoomed(FForm->Handle()))
    if (TsSkinProvider* parent = SkinnedMDIParent(); parent != nullptr && parent != this) {
      parent->FSkinData->BGChanged = 1;
      const std::shared_ptr<bool> parentAlive = parent->FAlive;
      const bool covered = !parent->CompositionMode() && !AeroIsActive() && parent->CoverCaption();
      CallSavedWndProc(message);
      if (covered && *parentAlive) parent->UncoverCaption();
      return;
    }
  FSkinData->BGChanged = 1;
  const std::shared_ptr<bool> alive = FAlive;
  PassCovered(message);
  if (!*alive || DestroyingForm()) return;
  ForceNCPaint();
}

void TsSkinProvider::WMSetIcon(TMessage& message) {
  if (FForm->IsLoading() || message.LParam == 0 || !FormShowing()) {
    CallSavedWndProc(message);
    return;
  }
  const bool lock = !CompositionMode() && IsWindowVisible(FForm->Handle());
  if (lock) SendMessageA(FForm->Handle(), WM_SETREDRAW, FALSE, 0);
  CallSavedWndProc(message);
  if (lock && FForm->HandleAllocated()) SendMessageA(FForm->Handle(), WM_SETREDRAW, TRUE, 0);
  FSkinData->BGChanged = 1;
  ForceNCPaint();
}

// ---------------------------------------------------------------------------------------------
// Size and position.

void TsSkinProvider::WMSize(TMessage& message) {
  if (FSkinData->HoldPaint != 0) FSkinData->BGChanged = 1;
  MenuLineCount = -1;
  CallSavedWndProc(message);
}

// The form's bounds follow its window only once the system's handling of the change (which
// sends WM_SIZE) returned: the frame is fitted to the new size here.
void TsSkinProvider::WMWindowPosChanged(TMessage& message) {
  // Form animations: a form that hides leaves a fading copy of itself with FormHide.
  if (message.LParam != 0 && (reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags & SWP_HIDEWINDOW) != 0 &&
      !SkipAnimation && !DestroyingForm() && AllowAnimation && FDrawNonClientArea && Skinned() &&
      SkinManager()->GetActive() && SkinManager()->AnimEffects()->FormHide()->Active && FForm->Parent() == nullptr &&
      CacheValid() && LayeredWindowsAvailable() && !IsIconic(FForm->Handle()) && (FormState & Minimizing) == 0 &&
      !Application->Minimized()) {
    CallSavedWndProc(message);
    SkipAnimation = true;
    AnimHideForm(this);
    SkipAnimation = false;
    return;
  }
  CallSavedWndProc(message);
  if (DestroyingForm() || !FormShowing() || FSkinData->HoldPaint != 0 || message.LParam == 0) return;
  BorderAfterPosChange();   // extended borders
  const UINT flags = reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags;
  // Extended borders: the border window follows the form's place and order.
  if (FBorderForm != nullptr && IsWindowVisible(FForm->Handle()) && !IsIconic(FForm->Handle()) &&
      (flags & (SWP_NOREDRAW | SWP_FRAMECHANGED)) == 0 && (FormState & Moving) == 0) {
    if ((flags & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE)) {
      FBorderForm->PlaceBehindOwner();
    } else if ((flags & SWP_NOSIZE) != 0) {
      FBorderForm->UpdateExBorder(false, 255);
    }
  }
  if ((flags & SWP_NOSIZE) != 0) return;
  const TBitmap* cache = FSkinData->CacheBitmap();
  const TsFormGeometry f = Geometry();
  const bool sameSize = cache != nullptr && cache->GetWidth() == CacheWidth(f, SystemMetrics()) &&
                        cache->GetHeight() == f.FormHeight;
  if (sameSize) return;
  RegionChanged = true;
  FSkinData->BGChanged = 1;
  if (!FDrawNonClientArea) return;
  if (FBorderForm != nullptr && !BorderDroppedWhenMaximized()) {
    // Extended borders: the border window takes the new image, the form stays in front of it.
    FBorderForm->UpdateExBorder(true, 255);
    if (DestroyingForm()) return;
  }
  ForceNCPaint();
  RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TsSkinProvider::WMWindowPosChanging(TMessage& message) {
  if (FForm->IsLoading() || message.LParam == 0) {
    CallSavedWndProc(message);
    return;
  }
  auto& pos = *reinterpret_cast<WINDOWPOS*>(message.LParam);
  BorderBeforePosChange(pos);   // extended borders
  // Moved or sized by anything but its own edge double click, the form is no longer stretched.
  if ((pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
    FormState &= ~static_cast<std::uint32_t>(StretchedVertically | StretchedHorizontally);
  // A change that keeps the place is never snapped; one that keeps the size uses the form's.
  if (ScreenSnap && FormShowing() && (pos.flags & SWP_NOMOVE) == 0 && !IsZoomed(FForm->Handle())) {
    RECT wr{};
    GetWindowRect(FForm->Handle(), &wr);
    TsSnapInput in;
    in.WorkArea = MonitorWorkArea(FForm);
    in.X = pos.x;
    in.Y = pos.y;
    in.Width = (pos.flags & SWP_NOSIZE) != 0 ? wr.right - wr.left : pos.cx;
    in.Height = (pos.flags & SWP_NOSIZE) != 0 ? wr.bottom - wr.top : pos.cy;
    in.Buffer = SnapBuffer;
    if (FBorderForm != nullptr) {
      // Extended borders: the border window's frame reaches beyond the form.
      const TsFormGeometry f = Geometry();
      const int align = SkinManager()->SkinData().ExShadowOffs;
      in.BorderOffset = ExtBorderExtraWidth(f, SystemMetrics()) + align;
      in.TopOffset = ExtTitleExtraHeight(f) + align;
    }
    const TPoint p = SnapPosition(in);
    pos.x = p.X;
    pos.y = p.Y;
  }
  CallSavedWndProc(message);
}

void TsSkinProvider::HandleGetMinMaxInfo(TMessage& message) {
  // An MDI child is maximized into its main form's client window by the system.
  if (FDrawNonClientArea && message.LParam != 0 && FForm->BorderStyle() != bsNone && FForm->Parent() == nullptr &&
      !MDIChild()) {
    const TsFormGeometry f = Geometry();
    const ISystemMetrics& sm = SystemMetrics();
    const int a = FrameBorderWidth(f, sm, false);
    int b = 0;
    if (FBorderForm != nullptr && (f.Style & wsfCaption) == wsfCaption) {
      // Extended borders: a maximized title lower than the system caption keeps the caption.
      const TsSkinData& d = SkinManager()->SkinData();
      const int maxTitle = d.ExMaxHeight != 0 ? d.ExMaxHeight : d.ExTitleHeight;
      SysExtendedHeight = f.Zoomed && maxTitle < CaptionHeightFor(f, sm) + 4;
      b = ExtTitleOffset(Geometry(), sm);
    }
    const TRect work = MonitorWorkArea(FForm);
    auto& info = *reinterpret_cast<MINMAXINFO*>(message.LParam);
    // The maximized position is relative to the monitor; the work area may not start at it.
    HMONITOR monitor = MonitorFromWindow(FForm->Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    POINT origin{0, 0};
    if (GetMonitorInfoA(monitor, &mi) != 0) origin = POINT{mi.rcMonitor.left, mi.rcMonitor.top};
    info.ptMaxPosition = POINT{work.Left - origin.x - a, work.Top - origin.y - a - b};
    info.ptMaxSize = POINT{work.Width() + 2 * a, work.Height() + 2 * a + b};
    message.Result = 0;
  }
  CallSavedWndProc(message);
}

// ---------------------------------------------------------------------------------------------
// The own frame drag.

void TsSkinProvider::StartOwnDrag(int kind, bool moving) {
  if (OwnDrag.Provider != nullptr) return;
  const HWND wnd = FForm->Handle();
  RECT wr{};
  GetWindowRect(wnd, &wr);
  OwnDrag = TOwnDrag{};
  OwnDrag.Provider = this;
  OwnDrag.Kind = kind;
  OwnDrag.Moving = moving;
  GetCursorPos(&OwnDrag.Start);
  OwnDrag.StartRect = OwnDrag.Rect = TRect{wr.left, wr.top, wr.right, wr.bottom};
  SetCapture(wnd);
  DrawDragFrame(OwnDrag.Rect);
  OwnDrag.FrameDrawn = true;
  SetFormMoving(true);
}

void TsSkinProvider::SetFormMoving(bool moving) {
  // Scroll bars hold their repaints while a form is dragged: the whole form follows at the end.
  if (moving == FMovingForm) return;
  FMovingForm = moving;
  AdapterFlags().WindowMoving = moving;
}

void TsSkinProvider::MoveOwnDrag() {
  POINT p{};
  GetCursorPos(&p);
  const int minW = std::max<int>(GetSystemMetrics(SM_CXMINTRACK), FForm->Constraints()->MinWidth());
  const int minH = std::max<int>(GetSystemMetrics(SM_CYMINTRACK), FForm->Constraints()->MinHeight());
  const TRect next = DragFrameRect(OwnDrag.StartRect, OwnDrag.Moving, OwnDrag.Kind, p.x - OwnDrag.Start.x,
                                   p.y - OwnDrag.Start.y, minW, minH);
  if (next == OwnDrag.Rect) return;
  if (OwnDrag.FrameDrawn) DrawDragFrame(OwnDrag.Rect);
  OwnDrag.Rect = next;
  DrawDragFrame(OwnDrag.Rect);
  OwnDrag.FrameDrawn = true;
}

void TsSkinProvider::EndOwnDrag(bool apply) {
  if (OwnDrag.Provider != this) return;
  const TOwnDrag drag = OwnDrag;
  OwnDrag = TOwnDrag{};
  SetFormMoving(false);
  if (drag.FrameDrawn) DrawDragFrame(drag.Rect);
  if (GetCapture() == FForm->Handle()) ReleaseCapture();
  if (apply && !(drag.Rect == drag.StartRect))
    SetWindowPos(FForm->Handle(), nullptr, drag.Rect.Left, drag.Rect.Top, drag.Rect.Width(), drag.Rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------------------------
// System commands and the window menu.

void TsSkinProvider::WMSysCommand(TMessage& message) {
  const WPARAM command = message.WParam & 0xFFF0;
  const std::shared_ptr<bool> alive = FAlive;
  if (ResizeMode == rmBorder && !AeroIsActive() && FForm->Enabled() && OwnDrag.Provider == nullptr &&
      (command == SC_MOVE || command == SC_SIZE) && (message.WParam & 0xF) == 0 && !DragFullWindows()) {
    // From the keyboard or the window menu: the own drag follows the mouse from here.
    StartOwnDrag(command == SC_MOVE ? HTCAPTION : HTBOTTOMRIGHT, command == SC_MOVE);
    return;
  }
  if (command == SC_KEYMENU && message.LParam == ' ' && FSysMenuStyleTaken) {
    ShowSystemMenuBelowIcon();
    return;
  }
  BorderBeforeSysCommand(command);   // extended borders
  CallSavedWndProc(message);
  if (!*alive || DestroyingForm()) return;
  switch (command) {
    case SC_MINIMIZE: FSkinData->DropCache(); break;
    case SC_MAXIMIZE:
    case SC_RESTORE:
      if (FSystemMenu != nullptr && FSystemMenu->VisibleMax()) HotElement = 0;
      if (command == SC_RESTORE) {
        FSkinData->BGChanged = 1;
        RegionChanged = true;
        BorderAfterSysCommand(command);   // extended borders
        RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
      }
      break;
    default: break;
  }
}

// Below the title icon (16 pixels higher for an iconic form, whose caption is all there is).
void TsSkinProvider::ShowSystemMenuBelowIcon() {
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  const TRect icon = IconRect(f, sm);
  const TPoint origin = SystemMenuOrigin(f, sm);
  const int y = origin.Y + icon.Bottom + FrameBorderWidthPlain(f, sm) - (f.Iconic ? 16 : 0);
  ShowSystemMenu(origin.X + icon.Left, y);
}

void TsSkinProvider::ShowSystemMenu(int x, int y) {
  if (DestroyingForm() || !FForm->HandleAllocated()) return;
  if (FSystemMenu == nullptr) PrepareForm();
  const HWND wnd = FForm->Handle();
  TsSkinManager* manager = SkinManager();
  if (FSystemMenu != nullptr && manager != nullptr && manager->GetSkinnedPopups() &&
      manager->SkinableMenus() != nullptr) {
    ShowSkinnedSystemMenu(x, y);
    return;
  }
  HMENU menu = WindowSystemMenu();
  if (menu == nullptr) return;
  // The window's own menu, greyed as the skinned one would be.
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  SetWindowLongA(wnd, GWL_STYLE, style & ~WS_VISIBLE);
  auto enable = [menu](UINT command, bool on) {
    EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : (MF_GRAYED | MF_DISABLED)));
  };
  const bool iconic = IsIconic(wnd) != FALSE, zoomed = IsZoomed(wnd) != FALSE;
  const TFormBorderStyle border = FForm->BorderStyle();
  const bool sizeable = border == bsSizeable || border == bsSizeToolWin;
  if (FSystemMenu != nullptr) {
    enable(SC_RESTORE, (iconic || zoomed) && FSystemMenu->EnabledRestore());
    enable(SC_MOVE, !zoomed && !iconic);
    enable(SC_SIZE, sizeable && !iconic && !zoomed);
    enable(SC_MINIMIZE, FSystemMenu->VisibleMin() && FSystemMenu->EnabledMin());
    enable(SC_MAXIMIZE, FSystemMenu->VisibleMax() && FSystemMenu->EnabledMax());
    enable(SC_CLOSE, FSystemMenu->VisibleClose());
  }
  SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) | (style & WS_VISIBLE));
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, wnd, nullptr));
  if (chosen != 0 && IsWindow(wnd)) PostMessageA(wnd, WM_SYSCOMMAND, chosen, 0);
}

// The menu reports to the form while it is open (its items' painting and the form's menu
// loop), and to nobody afterwards: the menu outlives any one showing.
void TsSkinProvider::ShowSkinnedSystemMenu(int x, int y) {
  TsSystemMenu* menu = FSystemMenu.get();
  menu->UpdateItems(menu->Items()->Count() > 0);
  if (MakeSkinMenu) menu->MakeSkinItems();
  SkinManager()->SkinableMenus()->HookPopupMenu(menu, true);
  const HWND wnd = FForm->Handle();
  const std::shared_ptr<bool> alive = FAlive;
  menu->SetWindowHandle(wnd);
  menu->Popup(x, y);
  // A chosen command may have closed the form and freed this provider.
  if (*alive && FSystemMenu.get() == menu) menu->SetWindowHandle(nullptr);
}

void TsSkinProvider::UpdateMenus(bool skinned) {
  if (FForm == nullptr || Designing(this)) return;
  TsSkinManager* m = SkinManager();
  if (m == nullptr || !m->GetIsDefault() || m->SkinableMenus() == nullptr) return;
  MenuLineCount = -1;
  // The menus of the form skinned or not; the main menu's own owner drawing is handed over by
  // the frame painting (SetMenuLineOwnerDraw), here only its sub-items are prepared.
  TsSkinableMenus* menus = m->SkinableMenus();
  const bool popups = skinned && m->GetSkinnedPopups();
  for (int i = 0; i < FForm->ComponentCount(); ++i) {
    TComponent* c = FForm->Components(i);
    if (auto* mm = As<TMainMenu>(c)) {
      for (int k = 0; k < mm->Items()->Count(); ++k) menus->AttachSubItemHandlers(mm->Items()->Items(k), popups);
    } else if (auto* pm = As<TPopupMenu>(c)) {
      menus->HookPopupMenu(pm, skinned);
    } else if (auto* item = As<TMenuItem>(c); item != nullptr && item->Parent() == nullptr) {
      menus->AttachSubItemHandlers(item, popups);
    }
  }
}
