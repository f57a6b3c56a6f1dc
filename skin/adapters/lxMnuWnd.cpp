// The popup-menu window adapter and the popup array (see lxMnuWnd.h).
#include "skin/adapters/lxMnuWnd.h"

#include <algorithm>
#include <utility>

#include "framework/win/Forms.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sDwmApi.h"

namespace {

TlxMnuArray& PopupArray() {
  static TlxMnuArray array;
  return array;
}

// Popup adapters' window methods running now (nested ones counted), and a freeing of the array
// that waits for the outermost to return.
int GMethodDepth = 0;
bool GFreeWaiting = false;
// The show step is changing a window's style: the position messages that brings are not shown
// again.
bool GShowing = false;

void FreeArrayNow() {
  GFreeWaiting = false;
  TlxMnuArray gone = std::move(PopupArray());
  PopupArray().clear();
  gone.clear();
  PopupFlags().Painted = false;
}

}  // namespace

const TlxMnuArray& SkinnedPopupMenus() { return PopupArray(); }

void AppendSkinnedPopupMenu(std::unique_ptr<TlxMnuWnd> adapter) {
  if (adapter != nullptr) PopupArray().push_back(std::move(adapter));
}

void FreeSkinnedPopupMenus() {
  if (GMethodDepth > 0) {
    GFreeWaiting = true;
    return;
  }
  FreeArrayNow();
}

// ---------------------------------------------------------------------------------------------
// The adapter.

void TlxMnuWnd::HandleMessage(TMessage& message) {
  ++GMethodDepth;
  try {
    Dispatch(message);
  } catch (...) {
    --GMethodDepth;
    throw;
  }
  // The array may be freed with this adapter in it: nothing of the object is touched after.
  if (--GMethodDepth == 0 && GFreeWaiting) FreeArrayNow();
}

void TlxMnuWnd::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      Destroying(message);
      return;
    case WM_TIMER:
      message.Result = CallOldProc(message);
      return;
    default:
      break;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdIsSkinned:
        message.Result = 1;
        return;
      case SkinCmdHoldPaint:
        message.Result = FPending ? 1 : 0;
        return;
      case SkinCmdPopupState:
        if (IsWindowVisible(Handle())) FPending = true;
        message.Result = 0;
        return;
      case SkinCmdQueryAppObject:
        message.Result = reinterpret_cast<LRESULT>(Application);
        return;
      default:
        break;
    }
  }
  if (PopupFlags().InProgress) {
    switch (message.Msg) {
      case WM_ERASEBKGND:
        EraseBackground(message);
        return;
      case WM_WINDOWPOSCHANGING:
        PositionChanging(message);
        return;
      case WM_NCPAINT:
        if (PopupFlags().Painted) {
          PaintFrame(message);
          return;
        }
        break;
      default:
        break;
    }
  }
  TlxScrollWnd::HandleMessage(message);
  // A popup whose items the application draws gets no background, so no frame paint shows
  // it: its first paint does.
  if (message.Msg == WM_PAINT && FHidden && !FShown && !Defunct()) FadeIn();
}

void TlxMnuWnd::Destroying(TMessage& message) {
  const bool hooked = MethodHooked() || Subclassed();
  TlxScrollWnd::HandleMessage(message);
  if (!hooked) return;
  FDestroyed = true;
  FPending = false;
  TsSkinableMenus::ReleasePopupInfo(Handle());
  // The other popups of the chain repaint from their own backgrounds; with none left the
  // menu is over. An adapter whose window could not be hooked or went unseen holds no popup.
  std::vector<HWND> open;
  for (const auto& a : PopupArray())
    if (a.get() != this && !a->FDestroyed && !a->Defunct() && IsWindow(a->Handle())) open.push_back(a->Handle());
  for (HWND h : open) RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
  if (open.empty()) FreeSkinnedPopupMenus();
  PopupFlags().InProgress = false;
}

void TlxMnuWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d != nullptr ? d->GetSkinManager() : nullptr;
  if (m == nullptr) return;
  const TlxWndGeometry g = GetWndGeometry(Handle());
  const TBitmap* old = d->CacheBitmap();
  if (d->BGChanged == 0 && old != nullptr && old->GetWidth() == g.Width && old->GetHeight() == g.Height) return;
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  PaintSectionItem(d->SectionIndex(), d->GetSkinSection(), EmptyBackgroundInfo(), d->HotTextureIndex(),
                   d->TextureIndex(), m->Tables(), cache, TPoint{g.WndRect.Left, g.WndRect.Top},
                   TRect{0, 0, g.Width, g.Height}, 0, m->MasterBitmap());
  d->BGChanged = 0;
}

void TlxMnuWnd::EraseBackground(TMessage& message) {
  PrepareCache();
  const TBitmap* cache = SkinData() != nullptr ? SkinData()->CacheBitmap() : nullptr;
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (dc != nullptr && cache != nullptr && !cache->Empty()) {
    // The client area lies inside the frame.
    const TPoint frame = PopupClientOffset(Handle());
    RECT c{};
    GetClientRect(Handle(), &c);
    BitBlt(dc, 0, 0, c.right, c.bottom, const_cast<TBitmap*>(cache)->Canvas()->GetHandle(), frame.X, frame.Y, SRCCOPY);
  }
  FPending = false;
  message.Result = 1;
}

void TlxMnuWnd::PositionChanging(TMessage& message) {
  TlxScrollWnd::HandleMessage(message);
  if (GShowing || Defunct() || message.LParam == 0 || SetLayeredWindowAttributesProc == nullptr) return;
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
  if ((pos->flags & SWP_NOREDRAW) != 0 || (pos->flags & SWP_SHOWWINDOW) == 0 || IsWindowVisible(Handle())) return;
  // Shown see-through: the window appears once its frame or items are painted.
  const TFlagScope showing(GShowing);
  SetWindowLongA(Handle(), GWL_EXSTYLE, GetWindowLongA(Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributesProc(Handle(), 0, 0, LWA_ALPHA);
  FHidden = true;
}

void TlxMnuWnd::PaintFrame(TMessage& message) {
  const TlxWndGeometry g = GetWndGeometry(Handle());
  TsSkinableMenus* menus = SkinManager() != nullptr ? SkinManager()->SkinableMenus() : nullptr;
  TBitmap* frame = menus != nullptr ? menus->FindPopupInfo(nullptr, 0, Handle(), 0).Background : nullptr;
  if (frame == nullptr || frame->GetWidth() != g.Width || frame->GetHeight() != g.Height) {
    PrepareCache();
    frame = SkinData() != nullptr ? SkinData()->CacheBitmap() : nullptr;
  }
  const int band = PopupClientOffset(Handle()).X;
  if (frame != nullptr && !frame->Empty() && band > 0) {
    const TWindowDC dc(Handle(), TWindowDC::TArea::Window);
    if (dc.Valid()) CopyBorderStrips(dc.Get(), 0, 0, band, 0, 0, frame->Canvas()->GetHandle(), g.Height, g.Width);
  }
  // A composed desktop shows a layered window only once it was painted whole.
  if (AeroIsActive() && !FShown) RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
  FadeIn();
  message.Result = 0;
}

void TlxMnuWnd::FadeIn() {
  const TlxMenuSupport* support = SkinManager() != nullptr ? SkinManager()->MenuSupport() : nullptr;
  const int alpha = std::clamp(support != nullptr ? support->AlphaBlend : 255, 0, 255);
  const LONG ex = GetWindowLongA(Handle(), GWL_EXSTYLE);
  if (alpha == 255) {
    if ((ex & WS_EX_LAYERED) != 0) SetWindowLongA(Handle(), GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
  } else if (SetLayeredWindowAttributesProc != nullptr) {
    if ((ex & WS_EX_LAYERED) == 0) SetWindowLongA(Handle(), GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributesProc(Handle(), 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  }
  FShown = true;
}
