// The framework tool-bar adapter (see lxToolBarVCLWnd.h).
#include "skin/adapters/lxToolBarVCLWnd.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/win/Menus.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/sMessages.h"
#include "skin/core/sToolBarCore.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"

namespace {

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

}  // namespace

void TlxToolBarVCLWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "TOOLBAR" : section);
}

void TlxToolBarVCLWnd::AttachToWindow(bool repaintFrame) {
  FBar = SkinData() != nullptr ? dynamic_cast<TToolBar*>(SkinData()->OwnerControl()) : nullptr;
  TlxMainWnd::AttachToWindow(repaintFrame);
  InstallHandlers();
}

TlxToolBarVCLWnd::~TlxToolBarVCLWnd() {
  ReleaseWndAdapter(Handle(), false, *this);
  RemoveHandlers();
}

void TlxToolBarVCLWnd::InstallHandlers() {
  if (FBar == nullptr || HandlerOwnedBy(FBar->OnAdvancedCustomDraw, this)) return;
  FAppDraw = FBar->OnAdvancedCustomDraw;
  FAppDrawButton = FBar->OnAdvancedCustomDrawButton;
  FBar->OnAdvancedCustomDraw = OwnedHandler(
      this, TTBAdvancedCustomDrawEvent([this](TToolBar* s, const TRect& r, TCustomDrawStage st, bool& d) {
        PaintBackground(s, r, st, d);
      }));
  FBar->OnAdvancedCustomDrawButton = OwnedHandler(
      this, TTBAdvancedCustomDrawBtnEvent([this](TToolBar* s, TToolButton* b, TCustomDrawState cs, TCustomDrawStage st,
                                                 TTBCustomDrawFlags& f, bool& d) { PaintButton(s, b, cs, st, f, d); }));
  FInstalled = true;
}

void TlxToolBarVCLWnd::RemoveHandlers() {
  if (FBar == nullptr || !FInstalled) return;
  // Only our own handlers are taken out: one the application set meanwhile stays.
  if (HandlerOwnedBy(FBar->OnAdvancedCustomDraw, this)) FBar->OnAdvancedCustomDraw = FAppDraw;
  if (HandlerOwnedBy(FBar->OnAdvancedCustomDrawButton, this)) FBar->OnAdvancedCustomDrawButton = FAppDrawButton;
  FAppDraw = nullptr;
  FAppDrawButton = nullptr;
  FInstalled = false;
}

void TlxToolBarVCLWnd::PaintBackground(TToolBar*, const TRect&, TCustomDrawStage stage, bool& defaultDraw) {
  TsCommonData* d = SkinData();
  if (!AdapterSkinned(*this)) {
    defaultDraw = true;
    return;
  }
  d->SetPaintLock(d->IsPaintLocked());
  if (stage != cdPrePaint) {
    defaultDraw = false;
    return;
  }
  if (d->HoldPaint != 0) return;
  PaintToolBarBackground(FBar, d);
}

void TlxToolBarVCLWnd::PaintButton(TToolBar*, TToolButton* button, TCustomDrawState state, TCustomDrawStage stage,
                                   TTBCustomDrawFlags& flags, bool& defaultDraw) {
  if (!AdapterSkinned(*this)) {
    defaultDraw = true;
    return;
  }
  defaultDraw = false;
  if (stage != cdPrePaint || button == nullptr) return;
  const int index = button->Index();
  if (!Designing(FBar) && !FBar->Flat() && index >= 0 && index == FHotIndex) state |= cdsHot;
  flags |= tbNoEdges | tbNoEtchedEffect;
  RECT item{};
  if (!SendMessageA(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return;
  const TRect r{item.left, item.top, item.right, item.bottom};
  if (r.IsEmpty()) return;
  PaintToolButtonFace(TsToolFace{FBar, SkinData(), button, state, r,
                                 button == FDroppedButton && button->DropdownMenu() != nullptr, dkBlended, true});
}

void TlxToolBarVCLWnd::RepaintButton(int index) {
  if (FBar == nullptr || index < 0 || index >= FBar->ButtonCount() || !AdapterSkinned(*this)) return;
  const TWindowDC dc(Handle(), TWindowDC::TArea::Client);
  if (!dc.Valid()) return;
  TTBCustomDrawFlags flags = 0;
  bool defaultDraw = true;
  const TCanvasDC bound(*FBar->Canvas(), dc.Get());
  PaintButton(FBar, FBar->Buttons(index), ToolButtonStateOf(Handle(), index), cdPrePaint, flags, defaultDraw);
}

void TlxToolBarVCLWnd::SetHotIndex(int index) {
  const int old = FHotIndex;
  FHotIndex = index;
  for (const int i : {old, index})
    if (i >= 0 && i < FBar->ButtonCount() && !FBar->Buttons(i)->Down()) RepaintButton(i);
}

void TlxToolBarVCLWnd::HotTracking(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE: {
      const int i = ToolBarHitTest(FBar, Handle(), TPoint{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
      if (i != FHotIndex && (i < 0 || FBar->Buttons(i)->Enabled())) SetHotIndex(i);
      return;
    }
    case CM_MOUSELEAVE:
      if (FHotIndex >= 0) SetHotIndex(-1);
      return;
    case CN_DROPDOWNCLOSED:
      if (TToolButton* b = FDroppedButton) {
        FDroppedButton = nullptr;
        RepaintButton(b->Index());
      }
      return;
    default:
      return;
  }
}

void TlxToolBarVCLWnd::CopyFrame(HDC dc) {
  TsCommonData* d = SkinData();
  if (d->BGChanged != 0) PaintCacheFromParent(FBar, d);
  const TRect c = ClientRectInWindow(Handle());
  const TSaveDC saved(dc);
  ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
  CopyCacheFrame(FBar, d, dc);
}

void TlxToolBarVCLWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (FBar == nullptr || d == nullptr) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    const bool own = reinterpret_cast<TsSkinManager*>(message.LParam) == d->GetSkinManager();
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdSkinLoaded:
        InstallHandlers();
        break;
      case SkinCmdUnskin:
        if (own) {
          RemoveHandlers();
          FDroppedButton = nullptr;
        }
        break;
      case SkinCmdRedrawSkin:
        if (own) FDroppedButton = nullptr;
        break;
      case SkinCmdQueryBackground:
        if (message.LParam != 0 && AdapterSkinned(*this)) {
          auto& request = *reinterpret_cast<TsBackgroundRequest*>(message.LParam);
          request.OffsetX = request.OffsetY = 0;
          d->ProvideBackground(request, 0, nullptr);
          const TRect c = ClientRectInWindow(Handle());
          request.OffsetX += c.Left;
          request.OffsetY += c.Top;
          message.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
    TlxMainWnd::HandleMessage(message);
    return;
  }
  const bool skinned = AdapterSkinned(*this);
  const bool tracking = skinned && !FBar->Flat() && !Designing(FBar);
  if (skinned) {
    switch (message.Msg) {
      case WM_ERASEBKGND:
        message.Result = 1;
        return;
      case WM_NCPAINT: {
        if (!AnimationInProgress) {
          const TWindowDC dc(Handle(), TWindowDC::TArea::Window);
          if (dc.Valid()) CopyFrame(dc.Get());
        }
        message.Result = 0;
        return;
      }
      case WM_PRINT: {
        const auto dc = reinterpret_cast<HDC>(message.WParam);
        if (dc == nullptr) break;
        CopyFrame(dc);
        const TRect c = ClientRectInWindow(Handle());
        const TSaveDC saved(dc);
        OffsetViewportOrgEx(dc, c.Left, c.Top, nullptr);
        IntersectClipRect(dc, 0, 0, c.Width(), c.Height());
        SendMessageA(Handle(), WM_PAINT, message.WParam, 0);
        message.Result = 0;
        return;
      }
      case CN_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(message.LParam);
        const UINT code = hdr != nullptr ? hdr->code : 0;
        if (code == static_cast<UINT>(TBN_DELETINGBUTTON)) {
          // The notice comes before the deletion: the hot index must not outlive its button.
          const auto* nm = reinterpret_cast<const NMTOOLBARA*>(message.LParam);
          const int deleted =
              static_cast<int>(SendMessageA(Handle(), TB_COMMANDTOINDEX, static_cast<WPARAM>(nm->iItem), 0));
          FHotIndex = HotIndexAfterDeleting(FHotIndex, deleted, static_cast<int>(SendMessageA(Handle(), TB_BUTTONCOUNT, 0, 0)));
        } else if (code == static_cast<UINT>(TBN_DROPDOWN) && tracking) {
          const int i = reinterpret_cast<const NMTOOLBARA*>(message.LParam)->iItem;
          if (i >= 0 && i < FBar->ButtonCount()) {
            FDroppedButton = FBar->Buttons(i);
            RepaintButton(i);
          }
        }
        break;
      }
      default:
        break;
    }
  }
  TlxMainWnd::HandleMessage(message);
  if (message.Msg == WM_SIZE) InvalidateRect(Handle(), nullptr, FALSE);
  if (tracking && !Defunct()) HotTracking(message);
}
