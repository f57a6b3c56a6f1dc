// The MDI client adapter (see lxMDIWnd.h).
#include "skin/adapters/lxMDIWnd.h"

#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

TRect WindowBounds(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return TRect{0, 0, r.right - r.left, r.bottom - r.top};
}

// The client area in window coordinates.
TRect ClientInWindow(HWND h) {
  RECT w{}, c{};
  GetWindowRect(h, &w);
  GetClientRect(h, &c);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  const int x = o.x - w.left, y = o.y - w.top;
  return TRect{x, y, x + c.right, y + c.bottom};
}

}  // namespace

bool TlxMDIWnd::MaximizedChildActive() const {
  BOOL maximized = FALSE;
  const auto active = reinterpret_cast<HWND>(SendMessageA(Handle(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  return active != nullptr && maximized != FALSE;
}

void TlxMDIWnd::PaintArea(HDC dc, bool frame) {
  TsSkinManager* m = SkinManager();
  if (m == nullptr || m->Tables() == nullptr) return;
  const TRect all = WindowBounds(Handle());
  if (all.IsEmpty()) return;
  std::unique_ptr<TBitmap> image = CreateBitmap32(all.Width(), all.Height());
  const TColor face = MDIAreaSkinData != nullptr ? MDIAreaSkinData->SectionColor(0, Handle()) : clBtnFace;
  image->Canvas()->Brush()->SetColor(face);
  image->Canvas()->FillRect(all);
  PaintSectionByName("MDIAREA", "", image.get(), all, 0, m->Tables(), nullptr, m->MasterBitmap());
  const TRect client = ClientInWindow(Handle());
  TSaveDC saved(dc);
  if (frame) {
    ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    BitBlt(dc, 0, 0, all.Width(), all.Height(), image->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  } else {
    BitBlt(dc, 0, 0, client.Width(), client.Height(), image->Canvas()->GetHandle(), client.Left, client.Top, SRCCOPY);
  }
}

void TlxMDIWnd::RefreshFormControls() {
  if (Form == nullptr || !Form->HandleAllocated()) return;
  TWindowDC canvas(Form->Handle(), TWindowDC::TArea::Client);
  if (!canvas.Valid()) return;
  for (int i = 0; i < Form->ControlCount(); ++i) {
    TControl* c = Form->Controls(i);
    if (!c->Visible() || (c->ControlStyle() & csOpaque) == 0) continue;
    TsBackgroundRequest request;
    request.Rect = c->BoundsRect();
    request.DC = canvas.Get();
    RequestControlBackground(request, c, true);
  }
}

void TlxMDIWnd::PrintChildren(HDC dc, LPARAM flags) {
  RECT self{};
  GetWindowRect(Handle(), &self);
  // From the bottom of the z-order up, so that the active child comes out on top.
  for (HWND child = GetWindow(GetWindow(Handle(), GW_CHILD), GW_HWNDLAST); child != nullptr;
       child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT r{};
    GetWindowRect(child, &r);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    // Each child prints into a picture of its own: its printing sets its own origins.
    std::unique_ptr<TBitmap> image = CreateBitmap32(r.right - r.left, r.bottom - r.top);
    SendMessageA(child, WM_PRINT, reinterpret_cast<WPARAM>(image->Canvas()->GetHandle()), flags);
    BitBlt(dc, r.left - self.left, r.top - self.top, r.right - r.left, r.bottom - r.top, image->Canvas()->GetHandle(),
           0, 0, SRCCOPY);
  }
}

void TlxMDIWnd::ThumbScroll(TMessage& message) {
  const int bar = message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(Handle(), bar, &si);
  // The skinned bar hands the position over in LParam (its command 51 was answered 1).
  const int pos = message.LParam != 0 ? static_cast<int>(message.LParam) : HIWORD(message.WParam);
  const int moved = FThumb[bar].Release(pos, si.nMin);
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(Handle(), bar, &si, FALSE);
  if (moved != 0) {
    if (bar == SB_HORZ)
      ScrollWindow(Handle(), moved, 0, nullptr, nullptr);
    else
      ScrollWindow(Handle(), 0, moved, nullptr, nullptr);
  }
  message.Result = 0;
}

void TlxMDIWnd::ArrangeDone() {
  if (Form == nullptr || !Form->HandleAllocated()) return;
  // A restored active child draws no system menu of its own: the skinned frame does.
  if (TCustomForm* active = Form->ActiveMDIChild())
    if (active->HandleAllocated()) {
      const LONG style = GetWindowLongA(active->Handle(), GWL_STYLE);
      if ((style & WS_SYSMENU) != 0 && SendSkinCommand(active->Handle(), SkinCmdIsSkinned, 0) == 1)
        SetWindowLongA(active->Handle(), GWL_STYLE, style & ~static_cast<LONG>(WS_SYSMENU));
    }
  Form->Perform(CM_MENUCHANGED, 0, 0);
  if (MDIAreaSkinData != nullptr) MDIAreaSkinData->BGChanged = 1;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TlxMDIWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxBaseWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdBackgroundWithOffset:
        if (Form != nullptr && Form->HandleAllocated()) message.Result = Form->Perform(message.Msg, message.WParam, 0);
        return;
      case SkinCmdScrollStart: {
        // The adapter moves the contents itself for a thumb let go or dragged.
        const int code = LOWORD(message.LParam);
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
          message.Result = 1;
          return;
        }
        break;
      }
      case SkinCmdScrollFinish:
        RefreshScrollInfo(true);
        message.Result = 0;
        return;
      default: break;
    }
    TlxBaseWnd::HandleMessage(message);
    return;
  }
  if (MDIAreaSkinData != nullptr) {
    switch (message.Msg) {
      case WM_PAINT:
        if (AdapterFlags().WindowMoving) {
          ValidateRect(Handle(), nullptr);
          message.Result = 0;
          return;
        }
        break;
      case WM_ERASEBKGND:
        if (message.WParam != 0 && !AdapterFlags().WindowMoving) {
          if (MaximizedChildActive())
            RefreshFormControls();
          else
            PaintArea(reinterpret_cast<HDC>(message.WParam), false);
          message.Result = 1;
          return;
        }
        break;
      case WM_NCPAINT:
        if (IsWindowVisible(Handle())) {
          RefreshScrollInfo(false);
          if (!MaximizedChildActive()) {
            TWindowDC dc(Handle(), TWindowDC::TArea::Window);
            if (dc.Valid()) {
              PaintArea(dc.Get(), true);
              PaintScrollBars(dc.Get());
            }
          }
          message.Result = 0;
          return;
        }
        break;
      case WM_PRINT:
        if (message.WParam != 0) {
          const auto dc = reinterpret_cast<HDC>(message.WParam);
          if (!MaximizedChildActive()) {
            PaintArea(dc, true);
            PaintArea(dc, false);
            PaintScrollBars(dc);
          }
          if ((message.LParam & PRF_CHILDREN) != 0) PrintChildren(dc, message.LParam);
          message.Result = 0;
          return;
        }
        break;
      case WM_WINDOWPOSCHANGING:
        MDIAreaSkinData->BGChanged = 1;
        break;
      case WM_WINDOWPOSCHANGED:
        TlxBaseWnd::HandleMessage(message);
        if (Form != nullptr && Form->HandleAllocated()) RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
      case WM_STYLECHANGED:
        message.Result = CallOldProc(message);
        return;
      case WM_HSCROLL:
      case WM_VSCROLL:
        if (LOWORD(message.WParam) == SB_THUMBTRACK) {
          message.Result = 0;
          return;
        }
        if (LOWORD(message.WParam) == SB_THUMBPOSITION) {
          ThumbScroll(message);
          return;
        }
        break;
      case WM_MDITILE:
      case WM_MDICASCADE:
        message.Result = CallOldProc(message);
        ArrangeDone();
        return;
      case WM_MDISETMENU:
        message.Result = CallOldProc(message);
        if (Form != nullptr && Form->HandleAllocated()) Form->Perform(CM_MENUCHANGED, 0, 0);
        return;
      default: break;
    }
  }
  TlxBaseWnd::HandleMessage(message);
  if (Defunct()) return;
  // The system tells only the client window of a child made in it: the form's provider
  // hears it too and skins a child that has no provider of its own.
  if (message.Msg == WM_PARENTNOTIFY && LOWORD(message.WParam) == WM_CREATE && Form != nullptr &&
      Form->HandleAllocated())
    SendMessageA(Form->Handle(), WM_PARENTNOTIFY, message.WParam, message.LParam);
  switch (message.Msg) {
    case WM_PARENTNOTIFY:
    case WM_MDIREFRESHMENU:
      // A child came or went: the bars may have come or gone with it.
      RefreshScrollInfo(true);
      if (message.Msg == WM_MDIREFRESHMENU && Form != nullptr && Form->HandleAllocated())
        Form->Perform(CM_MENUCHANGED, 0, 0);
      break;
    default: break;
  }
}
