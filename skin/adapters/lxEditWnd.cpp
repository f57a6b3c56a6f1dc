// The edit adapters and the cache helpers (see lxEditWnd.h).
//
// Sections: cache helpers; TlxBaseWnd; TlxEditWnd colours; TlxEditWnd painting; TlxEditWnd
// window method; UpdateEditWndAdapter.
#include "skin/adapters/lxEditWnd.h"

#include <algorithm>

#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/core/lxAdapterCore.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

// The reflected key-down some foreign controls send themselves; the edit would beep at it.
constexpr UINT ReflectedKeyDown = 0x2100;
constexpr const char* FocusColorProp = "FocusColor";

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

const TsSkinTables* TablesOf(const TsCommonData* data) {
  const TsSkinManager* m = data != nullptr ? data->GetSkinManager() : nullptr;
  return m != nullptr ? m->Tables() : nullptr;
}

// The DC of a paint or erase has an empty clip: nothing of the window would show.
bool ClipIsEmpty(HDC dc) {
  RECT r{};
  return dc != nullptr && GetClipBox(dc, &r) == NULLREGION;
}

// The frame is hot while the window has the focus or the mouse, when the skin has a hot frame.
// The focus is the data's flag, kept by the focus messages: asking the system is a server
// round trip under Wine, several times the cost of the whole frame.
int FrameState(const TsCommonData* data, HWND wnd) {
  if (!SkinHasFrameStates(data)) return 0;
  const TsSkinManager* m = TsSkinManager::DefaultManager();
  const bool hover = data->MouseAbove != 0 || (m != nullptr && m->HoverWindow() == wnd);
  return data->Focused != 0 || hover ? 1 : 0;
}

void PaintPlainFrame(TBitmap* cache, TColor border) {
  const HDC dc = cache->Canvas()->GetHandle();
  const RECT r{0, 0, cache->GetWidth(), cache->GetHeight()};
  const TOwnedBrush fill(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
  const TOwnedBrush line(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(border))));
  FillRect(dc, &r, fill.Get());
  FrameRect(dc, &r, line.Get());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Cache helpers.

void PrepareWndCache(TsCommonData* data, HWND handle, bool plainFrame, int height) {
  if (data == nullptr || data->BGChanged == 0) return;
  TlxWndGeometry g = GetWndGeometry(handle);
  if (height >= 0) g.Height = height;
  TsBackgroundInfo bg;
  GetWindowParentBackground(handle, bg);
  data->EnsureCacheBitmap();
  TBitmap* cache = data->CacheBitmap();
  if (cache->GetWidth() != g.Width || cache->GetHeight() != g.Height) cache->SetSize(g.Width, g.Height);
  if (g.Width <= 0 || g.Height <= 0) return;
  TsSkinManager* m = data->GetSkinManager();
  const TsSkinTables* t = TablesOf(data);
  if (plainFrame && t != nullptr && (t->SkinData.BorderColor & 0xFFFFFF) != clKeyColor) {
    PaintPlainFrame(cache, t->SkinData.BorderColor);
  } else if (t != nullptr && SectionIndexInRange(t, data->SectionIndex())) {
    PaintSectionWithBorder(cache, TRect{0, 0, g.Width, g.Height}, data->SectionIndex(), data->BorderIndex(),
                           FrameState(data, handle), t, bg, TPoint{0, 0}, m->MasterBitmap());
  }
  TControl* owner = data->OwnerControl();
  if (owner != nullptr && !owner->Enabled()) {
    int look = dkBlended;
    SendSkinCommand(handle, SkinCmdDisabledLook, reinterpret_cast<LPARAM>(&look));
    MakeDisabledLook(cache, look, owner, TPoint{0, 0}, bg);
  }
  data->BGChanged = 0;
}

void FillTransparentCorners(TsCommonData* data, const TlxMainWnd& adapter) {
  const TsSkinTables* t = TablesOf(data);
  if (t == nullptr || adapter.DialogMode() || !MaskIndexInRange(t, data->BorderIndex())) return;
  const TlxPixelBuffer cache = TargetPixels32(data->CacheBitmap());
  if (cache.Width <= 1 || cache.Height <= 1) return;
  TsBackgroundInfo bg;
  GetWindowParentBackground(adapter.Handle(), bg);
  TlxPixelBuffer storage;
  const TlxBackgroundView view = BackgroundView(bg, storage);
  const TlxMaskImage mask =
      MaskImageOf(t->MaskData[static_cast<size_t>(data->BorderIndex())], data->GetSkinManager()->MasterBitmap());
  FillTransparentCornerPixels(cache, mask, FrameState(data, adapter.Handle()), view);
}

// ---------------------------------------------------------------------------------------------
// TlxBaseWnd.

void TlxBaseWnd::RebuildCache() { PrepareWndCache(SkinData(), Handle(), false); }

void TlxBaseWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxScrollWnd::HandleMessage(message);
    return;
  }
  // Command 23 reaches RebuildCache through the base's command handling.
  if (message.Msg == WM_SKINCOMMAND && HIWORD(message.WParam) == SkinCmdRedrawSkin && IsFromOwnManager(message, d)) {
    TlxScrollWnd::HandleMessage(message);
    if (Visible(Handle())) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
    return;
  }
  switch (message.Msg) {
    case WM_SIZE:
    case WM_EXITSIZEMOVE:
      d->BGChanged = 1;
      break;
    case WM_SETCURSOR:
      message.Result = CallOldProc(message);
      return;
    case ReflectedKeyDown:
      message.Result = 0;
      return;
    default:
      break;
  }
  TlxScrollWnd::HandleMessage(message);
  switch (message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!ScrollInProgress) RefreshScrollInfo(true);
      break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
      if (Visible(Handle())) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// TlxEditWnd colours.

TlxEditWnd::~TlxEditWnd() { ReleaseWndAdapter(Handle(), false, *this); }

void TlxEditWnd::TakeSection(const std::string& section) {
  SkinData()->SetSkinSection(section.empty() ? std::string("EDIT") : section);
}

void TlxEditWnd::AttachToWindow(bool repaintFrame) {
  // The focus messages keep the flag from now on.
  SkinData()->Focused = GetFocus() == Handle() ? 1 : 0;
  TlxBaseWnd::AttachToWindow(repaintFrame);
}

bool TlxEditWnd::KeepsVisualStyle() const {
  const TsCommonData* d = SkinData();
  if (d == nullptr) return false;
  if (d->ControlKind() == 10 && WindowsVistaOrLater()) return true;
  return d->OwnerControl() != nullptr && PublishedPropExists(d->OwnerControl(), "UseXPThemes");
}

void TlxEditWnd::StoreControlColors() {
  TControl* c = SkinData()->OwnerControl();
  if (c == nullptr) return;
  Extra[0] = static_cast<int>(c->Color());
  Extra[1] = static_cast<int>(c->Font()->GetColor());
  if (PublishedPropExists(c, FocusColorProp)) FFocusColor = static_cast<TColor>(ReadOrdProp(c, FocusColorProp));
}

void TlxEditWnd::RestoreControlColors() {
  if (Visible(Handle()))
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  TControl* c = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  if (c == nullptr || c->IsDestroying()) return;
  c->SetColor(static_cast<TColor>(Extra[0]));
  c->Font()->SetColor(static_cast<TColor>(Extra[1]));
  SetPublishedColor(c, FocusColorProp, FFocusColor);
}

void TlxEditWnd::ApplySkinColors() {
  if (FApplying) return;
  FApplying = true;
  TsCommonData* d = SkinData();
  const std::uint8_t held = d->HoldPaint;
  d->SetPaintLock(true);
  ParamsApplied = true;
  const TsSkinTables* t = TablesOf(d);
  if (t != nullptr && SectionIndexInRange(t, d->SectionIndex())) {
    const TsGeneralData& section = t->GeneralData[static_cast<size_t>(d->SectionIndex())];
    if (TControl* c = d->OwnerControl()) {
      const int state = d->IsActiveState() && section.States > 1 ? 1 : 0;
      if (!d->GetCustomColor()) {
        const TColor colour = d->SectionColor(state, Handle());
        if (PublishedPropExists(c, FocusColorProp)) {
          if (GetPublishedColor(c, "Color") != colour) SetPublishedColor(c, "Color", colour);
          SetPublishedColor(c, FocusColorProp, colour);
        } else {
          c->SetColor(colour);
        }
      }
      if (!d->GetCustomFont()) c->Font()->SetColor(ColorToRGB(SectionState(section, state).FontColor[0]));
    } else {
      if (!d->GetCustomColor()) FColor = DialogMode() ? clWindow : d->SectionColor(0, Handle());
      FBorderLineColor = t->SkinData.BorderColor;
    }
    d->BGChanged = 1;
  } else {
    FBorderLineColor = 0;
  }
  d->HoldPaint = held;
  FApplying = false;
}

void TlxEditWnd::ApplyColorsOnce() {
  if (!ParamsApplied) ApplySkinColors();
}

// ---------------------------------------------------------------------------------------------
// TlxEditWnd painting.

void TlxEditWnd::RebuildCache() {
  const TlxWndGeometry g = GetWndGeometry(Handle());
  LayoutRect = g.WndRect;
  LayoutPoint = g.TopLeft;
  PrepareWndCache(SkinData(), Handle(), DialogMode());
  FillTransparentCorners(SkinData(), *this);
}

TRect TlxEditWnd::InnerRect() const {
  RECT w{}, c{};
  GetWindowRect(Handle(), &w);
  GetClientRect(Handle(), &c);
  POINT origin{0, 0};
  ClientToScreen(Handle(), &origin);
  TRect r{origin.x - w.left, origin.y - w.top, origin.x - w.left + c.right, origin.y - w.top + c.bottom};
  // The bars lie inside the frame, beside the client area.
  const TRect h = GetHorzBarRect(), v = GetVertBarRect();
  const int left = static_cast<int>(w.left), top = static_cast<int>(w.top);
  if (!h.IsEmpty()) r.Bottom = std::max(r.Bottom, h.Bottom - top);
  if (!v.IsEmpty()) {
    r.Left = std::min(r.Left, v.Left - left);
    r.Right = std::max(r.Right, v.Right - left);
  }
  return r;
}

void TlxEditWnd::PaintFrameTo(HDC dc) {
  TsCommonData* d = SkinData();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() != g.Width || cache->GetHeight() != g.Height) {
    d->BGChanged = 1;
    RebuildCache();
    cache = d->CacheBitmap();
  }
  if (cache != nullptr && cache->GetWidth() == g.Width && cache->GetHeight() == g.Height) {
    FClientRect = InnerRect();
    const TSaveDC saved(dc);
    ExcludeClipRect(dc, FClientRect.Left, FClientRect.Top, FClientRect.Right, FClientRect.Bottom);
    BitBlt(dc, 0, 0, g.Width, g.Height, cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  }
  PaintScrollBars(dc);
}

void TlxEditWnd::WMNCPaint() {
  TsCommonData* d = SkinData();
  const TWindowDC window(Handle(), TWindowDC::TArea::Window);
  const HDC dc = d->PrintDC() != nullptr ? d->PrintDC() : window.Get();
  if (dc == nullptr || (dc != d->PrintDC() && ClipIsEmpty(dc))) return;
  if (d->BGChanged != 0) {
    ApplyColorsOnce();
    RebuildCache();
  }
  PaintFrameTo(dc);
}

bool TlxEditWnd::PaintEndsEarly(TMessage& message, bool erase) {
  TsCommonData* d = SkinData();
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (dc != d->PrintDC() && ClipIsEmpty(dc)) {
    message.Result = erase ? 1 : 0;
    return true;
  }
  d->SetPaintLock(d->IsPaintLocked());
  if (erase) {
    if (d->HoldPaint == 0) return false;
    message.Result = 0;
    return true;
  }
  if (d->HoldPaint == 0 && !(AnimationInProgress && d->PrintDC() == nullptr)) return false;
  // Painting waits: the update region is validated, so that it is not asked for again.
  if (dc == nullptr) {
    const TPaintDC validate(Handle());
  }
  message.Result = 0;
  return true;
}

void TlxEditWnd::WMPaint(TMessage& message) {
  if (PaintEndsEarly(message, false)) return;
  PaintScrollBars(nullptr);
  ApplyColorsOnce();
  TlxBaseWnd::HandleMessage(message);
}

void TlxEditWnd::WMEraseBkgnd(TMessage& message) {
  if (PaintEndsEarly(message, true)) return;
  ApplyColorsOnce();
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (WindowsVistaOrLater() && AdapterFlags().WindowMoving && dc != SkinData()->PrintDC()) {
    message.Result = 1;
    return;
  }
  TlxBaseWnd::HandleMessage(message);
}

void TlxEditWnd::WMPrint(TMessage& message) {
  message.Result = CallOldProc(message);
  if (message.Result == 2) return;
  TsCommonData* d = SkinData();
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  d->SetPaintLock(false);
  d->BGChanged = 1;
  ApplyColorsOnce();
  RebuildCache();
  PaintFrameTo(dc);
  // The client area painted by the control itself, its origin at the client's corner.
  RECT c{};
  GetClientRect(Handle(), &c);
  const TSaveDC saved(dc);
  POINT org{};
  GetViewportOrgEx(dc, &org);
  SetViewportOrgEx(dc, org.x + FClientRect.Left, org.y + FClientRect.Top, nullptr);
  IntersectClipRect(dc, 0, 0, c.right, c.bottom);
  SendMessageA(Handle(), WM_ERASEBKGND, message.WParam, 0);
  SendMessageA(Handle(), WM_PAINT, message.WParam, 0);
  SendMessageA(Handle(), WM_PRINTCLIENT, message.WParam, PRF_CLIENT | PRF_OWNED);
}

void TlxEditWnd::WMFocus(TMessage& message) {
  TlxBaseWnd::HandleMessage(message);
  TsCommonData* d = SkinData();
  if (Defunct() || !SkinHasFrameStates(d)) return;
  // A framework control takes the focus only while it can and shows; a bare window always.
  auto* w = As<TWinControl>(d->OwnerControl());
  if (w != nullptr ? !(w->CanFocus() && w->Showing()) : !Visible(Handle())) return;
  d->BGChanged = 1;
  d->Focused = message.Msg == WM_SETFOCUS ? 1 : 0;
  SendMessageA(Handle(), WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// TlxEditWnd window method.

void TlxEditWnd::SkinCommand(TMessage& message) {
  TsCommonData* d = SkinData();
  const WORD command = HIWORD(message.WParam);
  switch (command) {
    case SkinCmdRedrawSkin:
      TlxBaseWnd::HandleMessage(message);
      if (IsFromOwnManager(message, d)) ApplySkinColors();
      return;
    case SkinCmdResumePaint:
      if (d->HoldPaint == 0) break;
      ResumeHeldPaint(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      message.Result = CallOldProc(message);
      return;
    case SkinCmdIsSkinned:
      message.Result = 1;
      return;
    case SkinCmdRebuildCache:
      RebuildCache();
      message.Result = CallOldProc(message);
      return;
    case SkinCmdQuerySectionIndex:
      if (message.LParam != 0 && SkinCommandAllowed(message.WParam, message.LParam))
        reinterpret_cast<TlxSectionInfo*>(message.LParam)->SectionIndex = d->SectionIndex();
      message.Result = 0;
      return;
    case SkinCmdQueryBackground: {
      if (message.LParam == 0 || !SkinCommandAllowed(message.WParam, message.LParam)) {
        message.Result = 0;
        return;
      }
      message.Result = CallOldProc(message);
      auto& request = *reinterpret_cast<TsBackgroundRequest*>(message.LParam);
      if (request.Kind != bkNotAnswered) return;
      if (d->GetCustomColor()) {
        request.Kind = bkColor;
        request.Color = FColor;
      } else {
        d->ProvideBackground(request, 0, Handle());
      }
      return;
    }
    case SkinCmdScrollStart:
    case SkinCmdScrollFinish:
      // Left scroll bars: the control would paint its text over the bar while it scrolls.
      if ((GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) == 0) break;
      SendMessageA(Handle(), WM_SETREDRAW, command == SkinCmdScrollFinish ? 1 : 0, 0);
      if (command == SkinCmdScrollFinish) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
      message.Result = 0;
      return;
    case SkinCmdQueryAppObject:
      message.Result = reinterpret_cast<LRESULT>(Application);
      return;
    default:
      break;
  }
  TlxBaseWnd::HandleMessage(message);
}

void TlxEditWnd::AfterMessage(const TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      if (Visible(Handle())) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
      break;
    case WM_SETFONT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN:
    case CN_KEYUP:
      if (!ScrollInProgress) RefreshScrollInfo(true);
      break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
      RefreshScrollInfo(true);
      break;
    case WM_MOUSEMOVE:
      if (SkinData()->HoldPaint == 0 && GetCapture() == Handle()) RefreshScrollInfo(true);
      break;
    default:
      break;
  }
}

void TlxEditWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxBaseWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    SkinCommand(message);
    return;
  }
  const bool shown = Visible(Handle()) && !PreventStyleChange;
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      WMFocus(message);
      return;
    case WM_PAINT:
      if (!shown) break;
      WMPaint(message);
      return;
    case WM_ERASEBKGND:
      if (!shown) break;
      WMEraseBkgnd(message);
      return;
    case WM_NCPAINT:
      // The frame is the skin's: the control never draws its own.
      d->SetPaintLock(d->IsPaintLocked());
      if (shown && !AdapterFlags().WindowMoving && d->HoldPaint == 0) WMNCPaint();
      message.Result = 0;
      return;
    case WM_PRINT:
      WMPrint(message);
      return;
    case CM_FONTCHANGED:
      if (d->HoldPaint == 0) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      break;
    default:
      break;
  }
  TlxBaseWnd::HandleMessage(message);
  if (!Defunct()) AfterMessage(message);
}

bool WindowsVistaOrLater() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

// ---------------------------------------------------------------------------------------------
// UpdateEditWndAdapter.

void UpdateEditWndAdapter(TsCommonData* data, std::unique_ptr<TlxEditWnd>& adapter) {
  auto* control = As<TWinControl>(data != nullptr ? data->OwnerControl() : nullptr);
  if (data == nullptr || !data->HasSkin(false)) {
    adapter.reset();
    return;
  }
  if (adapter != nullptr && adapter->Defunct()) adapter.reset();
  if (adapter == nullptr && control != nullptr && control->HandleAllocated())
    adapter = TlxMainWnd::CreateForHandle<TlxEditWnd>(control->Handle(), true, data->GetSkinSection(),
                                                      data->GetSkinManager(), data);
}
