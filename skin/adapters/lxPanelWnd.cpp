// The panel adapters (see lxPanelWnd.h).
//
// Sections: TlxPanelWnd painting; TlxPanelWnd window method; TlxTransPanelWnd.
#include "skin/adapters/lxPanelWnd.h"


#include "framework/base/TypInfo.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/lxPanelWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinText.h"

namespace {

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

TSize WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return TSize{r.right - r.left, r.bottom - r.top};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TlxPanelWnd: painting.

TCustomPanel* TlxPanelWnd::OwnerPanel() const {
  return SkinData() != nullptr ? dynamic_cast<TCustomPanel*>(SkinData()->OwnerControl()) : nullptr;
}

void TlxPanelWnd::TakeSection(const std::string& section) {
  if (!section.empty()) {
    TlxMainWnd::TakeSection(section);
    return;
  }
  TCustomPanel* panel = OwnerPanel();
  const bool border = panel != nullptr && IsPublishedProp(panel, "BorderStyle") && GetOrdProp(panel, "BorderStyle") != 0;
  const int outer = panel != nullptr ? panel->BevelOuter() : lxBevelNone;
  const int inner = panel != nullptr ? panel->BevelInner() : lxBevelNone;
  // Nothing is painted while the section changes.
  SkinData()->SetPaintLock(true);
  TlxMainWnd::TakeSection(PanelSectionName(outer, inner, border));
  SkinData()->SetPaintLock(false);
}

bool TlxPanelWnd::HasFrame() const {
  RECT c{};
  GetClientRect(Handle(), &c);
  const TSize w = WindowSize(Handle());
  return w.cx > c.right || w.cy > c.bottom;
}

void TlxPanelWnd::DrawCaption(const TRect& r) {
  if (Caption().empty()) return;
  TsCommonData* d = SkinData();
  TCanvas* canvas = d->CacheBitmap()->Canvas();
  TCustomPanel* panel = OwnerPanel();
  SelectCaptionFont(canvas, d->OwnerControl(), reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  // One line high, centred vertically.
  const int line = canvas->TextHeight("W");
  const int top = r.Top + (r.Height() - line) / 2;
  const UINT flags =
      panel == nullptr ? DT_CENTER | DT_VCENTER : TextAlignFlags(panel->Alignment()) | DT_VCENTER | DT_SINGLELINE;
  TsTextSkinInfo info = TextSkinInfoOf(SkinManager(), d->SectionIndex());
  info.CustomFont = d->GetCustomFont();
  const bool enabled = d->OwnerControl() == nullptr || d->OwnerControl()->Enabled();
  DrawSkinText(canvas, Caption(), enabled, false, info, flags, TRect{r.Left, top, r.Right, top + line});
}

void TlxPanelWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  const TSize size = WindowSize(Handle());
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  PaintSectionItem(d->SectionIndex(), d->GetSkinSection(), bg, d->HotTextureIndex(), d->TextureIndex(), m->Tables(),
                   cache, TPoint{0, 0}, TRect{0, 0, size.cx, size.cy}, 0, m->MasterBitmap());
  DrawCaption(ClientRectInWindow(Handle()));
  d->BGChanged = 0;
}

void TlxPanelWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  TControl* owner = d->OwnerControl();
  if (owner != nullptr && (owner->IsDestroying() || (owner->Parent() != nullptr && !owner->Parent()->HandleAllocated())))
    return;
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  const TWindowDC window(given == nullptr ? Handle() : nullptr, TWindowDC::TArea::Window);
  const HDC dc = given != nullptr ? given : window.Get();
  if (dc == nullptr) return;
  const TSaveDC saved(dc);
  const TSize size = WindowSize(Handle());
  bool rebuild = d->PartlyHidden != 0 || d->BGChanged != 0;
  if (d->DependsOnBackground()) {
    RECT clip{};
    GetClipBox(dc, &clip);
    d->PartlyHidden = clip.left > 0 || clip.top > 0 || clip.right < size.cx || clip.bottom < size.cy ? 1 : 0;
  } else {
    d->PartlyHidden = 0;
  }
  TBitmap* cache = d->CacheBitmap();
  if (rebuild || cache == nullptr || cache->GetWidth() != size.cx || cache->GetHeight() != size.cy) PrepareCache();
  RECT c{};
  GetClientRect(Handle(), &c);
  const int inset = PanelFrameInset(size.cx, c.right);
  const TRect inner{inset, inset, size.cx - inset, size.cy - inset};
  auto* windowed = dynamic_cast<TWinControl*>(owner);
  if (windowed != nullptr) {
    CopyCacheExcludingChildren(windowed, d, inner, 0, 0, false, dc, inner);
    PaintGraphicChildren(dc, windowed);
    RefreshChildControls(windowed);
  } else {
    CopyCacheExcludingChildWindows(Handle(), d, inner, 0, 0, false, dc, inner);
    RefreshChildWindows(Handle());
  }
  if (HasFrame()) PaintFrame(dc);
}

void TlxPanelWnd::PaintFrame(HDC given) {
  TsCommonData* d = SkinData();
  SendSkinCommand(Handle(), SkinCmdRebuildCache);
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  const TWindowDC window(given == nullptr ? Handle() : nullptr, TWindowDC::TArea::Window);
  const HDC dc = given != nullptr ? given : window.Get();
  if (dc == nullptr) return;
  const TSaveDC saved(dc);
  const TRect client = ClientRectInWindow(Handle());
  ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  BitBlt(dc, 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// TlxPanelWnd: window method.

void TlxPanelWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  TControl* owner = d != nullptr ? d->OwnerControl() : nullptr;
  if (owner != nullptr && (owner->ComponentState() & csDesigning) != 0 && message.Msg == WM_SKINCOMMAND) {
    // A designed panel is left to the designer: the skin's commands change nothing.
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdSkinLoaded:
      case SkinCmdUnskin:
      case SkinCmdRedrawSkin:
      case SkinCmdIsSkinned:
      case SkinCmdRebuildCache:
      case SkinCmdQueryAppObject:
        message.Result = 0;
        return;
      case SkinCmdResumePaint:
        d->SetPaintLock(false);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
      default:
        break;
    }
  }
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_SETTEXT:
      if (!Visible(Handle())) break;
      WithRedrawOff(Handle(), [&] { TlxMainWnd::HandleMessage(message); });
      d->BGChanged = 1;
      Paint(nullptr);
      return;
    case WM_PAINT:
      // Validated here: an invalidated window would be sent WM_PAINT again without end.
      HandlePaintMessage(Handle(), message, [this](HDC given) { Paint(given); });
      return;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      if (HasFrame()) PaintFrame(nullptr);
      message.Result = 0;
      return;
    case WM_PARENTNOTIFY:
      TlxMainWnd::HandleMessage(message);
      if (LOWORD(message.WParam) == WM_CREATE && owner != nullptr) NotifyParentForm(owner);
      return;
    case WM_PRINT:
      d->BGChanged = 1;
      Paint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    case CM_TEXTCHANGED:
    case CM_SHOWINGCHANGED:
      TlxMainWnd::HandleMessage(message);
      d->BGChanged = 1;
      RefreshChildWindows(Handle());
      return;
    case WM_WINDOWPOSCHANGING:
      TlxMainWnd::HandleMessage(message);
      if (Visible(Handle()) && HasFrame()) PaintFrame(nullptr);
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// TlxTransPanelWnd.

void TlxTransPanelWnd::RebuildCache() {
  TsCommonData* d = SkinData();
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  const TSize size = WindowSize(Handle());
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  PaintParentBackground(cache->Canvas()->GetHandle(), TRect{0, 0, size.cx, size.cy}, bg);
  d->BGChanged = 0;
}

void TlxTransPanelWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  d->BGChanged = 1;
  SendSkinCommand(Handle(), SkinCmdRebuildCache);
  const TWindowDC window(given == nullptr ? Handle() : nullptr, TWindowDC::TArea::Window);
  const HDC dc = given != nullptr ? given : window.Get();
  TBitmap* cache = d->CacheBitmap();
  if (dc == nullptr || cache == nullptr || cache->Empty()) return;
  const TRect all{0, 0, cache->GetWidth(), cache->GetHeight()};
  CopyCacheExcludingChildWindows(Handle(), d, all, 0, 0, false, dc, all);
}

void TlxTransPanelWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_ERASEBKGND:
      Paint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    default:
      TlxMainWnd::HandleMessage(message);
      return;
  }
}
