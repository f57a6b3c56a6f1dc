// The status-bar adapter (see lxStatusBarWnd.h).
//
// Sections: texts; painting; window method.
#include "skin/adapters/lxStatusBarWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "framework/win/ComCtrls.h"
#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/controls/sStatusBar.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinText.h"

namespace {

// The system keeps at most this many parts.
constexpr int MaxParts = 256;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts.

void TlxStatusBarWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "STATUSBAR" : section);
}

TStatusBar* TlxStatusBarWnd::OwnerBar() const {
  return SkinData() != nullptr ? dynamic_cast<TStatusBar*>(SkinData()->OwnerControl()) : nullptr;
}

bool TlxStatusBarWnd::Simple() const { return SendMessageA(Handle(), SB_ISSIMPLE, 0, 0) != 0; }

std::string TlxStatusBarWnd::PartText(int part) const {
  if (TStatusBar* bar = OwnerBar()) {
    if (part < 0 || bar->Panels()->Count() == 0) return bar->SimpleText();
    if (part >= bar->Panels()->Count() || bar->Panels()->Items(part)->Style() == psOwnerDraw) return {};
    return bar->Panels()->Items(part)->Text();
  }
  // A foreign bar keeps its texts in the control.
  const WPARAM id = part < 0 ? SB_SIMPLEID : static_cast<WPARAM>(part);
  const LRESULT info = SendMessageA(Handle(), SB_GETTEXTLENGTHA, id, 0);
  if ((HIWORD(info) & (SBT_OWNERDRAW >> 8)) != 0 || LOWORD(info) == 0) return {};
  std::string text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
  SendMessageA(Handle(), SB_GETTEXTA, id, reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::min(text.find('\0'), static_cast<size_t>(LOWORD(info))));
  // The alignment travels as leading tabs.
  const size_t first = text.find_first_not_of('\t');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TlxStatusBarWnd::PaintPart(int part, const TRect& rect, bool last, bool simple, int panelMask, int dividerMask) {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  TBitmap* cache = d->CacheBitmap();
  const TRect r{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  PaintStatusPartFrame(cache, m->Tables(), m->MasterBitmap(),
                       TsStatusPartFrame{rect, r, last, simple, panelMask, dividerMask});
  TStatusBar* bar = OwnerBar();
  TStatusPanel* panel = bar != nullptr && !simple && part < bar->Panels()->Count() ? bar->Panels()->Items(part) : nullptr;
  TCanvas* canvas = cache->Canvas();
  if (panel != nullptr && panel->Style() == psOwnerDraw) {
    if (bar->OnDrawPanel) {
      // The handler draws on the bar's canvas, which points into the cache meanwhile.
      const TSaveDC saved(canvas->GetHandle());
      const TCanvasDC bound(*bar->Canvas(), canvas->GetHandle());
      bar->Canvas()->Font()->Assign(bar->Font());
      bar->OnDrawPanel(bar, panel, r);
    }
    return;
  }
  SelectCaptionFont(canvas, bar, reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const UINT flags = TextAlignFlags(panel != nullptr ? panel->Alignment() : taLeftJustify) | DT_SINGLELINE |
                     DT_VCENTER | DT_END_ELLIPSIS;
  TsTextSkinInfo info = TextSkinInfoOf(m, d->SectionIndex());
  info.CustomFont = d->GetCustomFont();
  DrawSkinText(canvas, PartText(simple ? -1 : part), true, false, info, flags,
               TRect{r.Left + 2, r.Top, r.Right - 4, r.Bottom - 1});
}

void TlxStatusBarWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  const TsSkinTables* t = m->Tables();
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  PaintSectionItem(d->SectionIndex(), d->GetSkinSection(), bg, d->HotTextureIndex(), d->TextureIndex(), t, cache,
                   TPoint{0, 0}, TRect{0, 0, g.Width, g.Height}, 0, m->MasterBitmap());
  const int panelMask = StatusPanelMask(t, d);
  const int dividerMask = StatusDividerMask(t);
  if (Simple()) {
    PaintPart(-1, TRect{0, 1, g.Width - 1, g.Height - 1}, true, true, panelMask, dividerMask);
  } else {
    const int count = std::clamp(static_cast<int>(SendMessageA(Handle(), SB_GETPARTS, 0, 0)), 0, MaxParts);
    for (int i = 0; i < count; ++i) {
      RECT r{};
      SendMessageA(Handle(), SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
      PaintPart(i, TRect{r.left, r.top, r.right, r.bottom}, i + 1 == count, false, panelMask, dividerMask);
    }
  }
  d->BGChanged = 0;
}

void TlxStatusBarWnd::PaintTo(HDC dc) {
  if (dc == nullptr) return;
  PrepareCache();
  TBitmap* cache = SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  BitBlt(dc, 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Window method.

void TlxStatusBarWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT: {
      if (message.WParam != 0) {
        PaintTo(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return;
      }
      // The bar is painted whole by the erase that BeginPaint sends.
      InvalidateRect(Handle(), nullptr, TRUE);
      const TPaintDC paint(Handle());
      message.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      PaintTo(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_PRINT:
      PaintTo(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
  if (message.Msg == WM_SIZE) RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}
