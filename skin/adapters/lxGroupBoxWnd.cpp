// The group-box adapter (see lxGroupBoxWnd.h).
//
// Sections: layout; painting; window method.
#include "skin/adapters/lxGroupBoxWnd.h"


#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/lxBtnWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace {

bool RightToLeft(HWND wnd) { return (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Layout.

void TlxGroupBoxWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "GROUPBOX" : section);
}

void TlxGroupBoxWnd::SelectFont() {
  TsCommonData* d = SkinData();
  d->EnsureCacheBitmap();
  TCanvas* canvas = d->CacheBitmap()->Canvas();
  SelectCaptionFont(canvas, d->OwnerControl(), reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
}

TRect TlxGroupBoxWnd::CaptionRect() {
  SelectFont();
  RECT r{0, 0, 0, 0};
  if (!Caption().empty())
    DrawTextA(SkinData()->CacheBitmap()->Canvas()->GetHandle(), Caption().c_str(), static_cast<int>(Caption().size()),
              &r, DT_CALCRECT | DT_CENTER);
  return GroupBoxCaptionRect(GetWndGeometry(Handle()).Width, r.right - r.left, r.bottom - r.top,
                             RightToLeft(Handle()));
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TlxGroupBoxWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  const TRect caption = CaptionRect();
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  if (!PaintParentBackground(cache->Canvas()->GetHandle(), TRect{0, 0, g.Width, caption.Bottom}, bg)) return;
  const int top = caption.Height() / 2;
  PaintSectionItem(d->SectionIndex(), d->GetSkinSection(), bg, d->HotTextureIndex(), d->TextureIndex(), m->Tables(),
                   cache, TPoint{0, top}, TRect{0, top, g.Width, g.Height}, 0, m->MasterBitmap());
  if (!Caption().empty()) {
    PaintParentBackground(cache->Canvas()->GetHandle(), caption, bg);
    TCanvas* canvas = cache->Canvas();
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    TsTextSkinInfo info = TextSkinInfoOf(m, d->SectionIndex());
    info.CustomFont = d->GetCustomFont();
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (RightToLeft(Handle()) ? DT_RTLREADING : 0);
    DrawSkinText(canvas, Caption(), true, false, info, flags, caption);
  }
  d->BGChanged = 0;
}

void TlxGroupBoxWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  PrepareCache();
  const TWindowDC window(given == nullptr ? Handle() : nullptr, TWindowDC::TArea::Window);
  const HDC dc = given != nullptr ? given : window.Get();
  TBitmap* cache = d->CacheBitmap();
  if (dc == nullptr || cache == nullptr || cache->Empty()) return;
  const TSaveDC saved(dc);
  const TRect all{0, 0, cache->GetWidth(), cache->GetHeight()};
  if (DialogMode()) {
    // The dialog paints the interior: only the frame and the caption band are ours.
    const TsSkinManager* m = d->GetSkinManager();
    const TsSkinTables* t = m->Tables();
    const int b = d->BorderIndex();
    const TRect caption = CaptionRect();
    ExcludeClipRect(dc, MaskBorderLeft(t, b), caption.Bottom, all.Right - MaskBorderRight(t, b),
                    all.Bottom - MaskBorderBottom(t, b));
  }
  CopyCacheExcludingChildWindows(Handle(), d, all, 0, 0, false, dc, all);
  if (auto* owner = dynamic_cast<TWinControl*>(d->OwnerControl())) PaintGraphicChildren(dc, owner);
  RefreshChildWindows(Handle());
}

void TlxGroupBoxWnd::Redraw() {
  SkinData()->BGChanged = 1;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
}

// ---------------------------------------------------------------------------------------------
// Window method.

void TlxGroupBoxWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  TsCommonData* d = SkinData();
  if (message.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdUnskin:
        if (TControl* owner = d->OwnerControl()) owner->SetControlStyle(owner->ControlStyle() & ~csOpaque);
        break;
      case SkinCmdQueryContainer:
        message.Result = CaptionRect().Height();
        return;
      default:
        break;
    }
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      WithRedrawOff(Handle(), [&] { TlxMainWnd::HandleMessage(message); });
      Redraw();
      return;
    case WM_SETTEXT:
      WithRedrawOff(Handle(), [&] { TlxMainWnd::HandleMessage(message); });
      Redraw();
      return;
    case WM_PAINT:
      // In dialog mode too: the system's own frame would otherwise cover the skin's.
      HandlePaintMessage(Handle(), message, [this](HDC given) { Paint(given); });
      return;
    case WM_ERASEBKGND:
      if (DialogMode()) break;
      if (message.WParam != 0 && static_cast<LPARAM>(message.WParam) == message.LParam) {
        const auto dc = reinterpret_cast<HDC>(message.WParam);
        if (d->BGChanged != 0) PrepareCache();
        TBitmap* cache = d->CacheBitmap();
        if (d->DependsOnBackground() && cache != nullptr)
          BitBlt(dc, 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
        else
          FillDCRect(dc, ClientRectInWindow(Handle()), d->SectionColor(0, Handle()));
      }
      message.Result = 1;
      return;
    case WM_NCPAINT:
      if (!DialogMode()) break;
      Paint(nullptr);
      message.Result = 1;
      return;
    case WM_PARENTNOTIFY:
      TlxMainWnd::HandleMessage(message);
      if (LOWORD(message.WParam) == WM_CREATE && d->OwnerControl() != nullptr) NotifyParentForm(d->OwnerControl());
      return;
    case WM_PRINT:
      d->BGChanged = 1;
      Paint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}
