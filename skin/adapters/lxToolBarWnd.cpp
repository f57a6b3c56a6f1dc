// The native tool-bar adapter (see lxToolBarWnd.h).
//
// Sections: texts; painting; window method.
#include "skin/adapters/lxToolBarWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/adapters/lxEditWnd.h"
#include "skin/core/lxTabWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/sBitmapKernels.h"

namespace {

// The manager's scroll-part slot of the down arrow.
constexpr int DownArrow = 1;
// Images stand this far from the button's top.
constexpr int ImageTop = 4;
// A disabled button keeps this much of the bar behind it.
constexpr double DisabledBlend = 0.4;

// The cursor in the window's client coordinates, read once a frame: each read is a server call
// under Wine that costs more than a button's face. Far outside when it cannot be read.
TPoint ClientCursor(HWND wnd) {
  POINT p{};
  if (!GetCursorPos(&p) || !ScreenToClient(wnd, &p)) return TPoint{-100000, -100000};
  return TPoint{p.x, p.y};
}

bool Inside(TPoint p, const RECT& r) { return p.X >= r.left && p.X < r.right && p.Y >= r.top && p.Y < r.bottom; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts.

void TlxToolBarWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "BAR" : section);
}

std::string TlxToolBarWnd::ButtonText(int id) const {
  // The caption's length first: the system writes as much as the caption holds.
  const LRESULT length = SendMessageA(Handle(), TB_GETBUTTONTEXTA, static_cast<WPARAM>(id), 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(Handle(), TB_GETBUTTONTEXTA, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::min(text.find('\0'), static_cast<size_t>(length)));
  return text;
}

// ---------------------------------------------------------------------------------------------
// Painting.

bool TlxToolBarWnd::Locked() {
  TsCommonData* d = SkinData();
  const HWND parent = GetParent(Handle());
  const bool parentHeld = parent != nullptr && SendSkinCommand(parent, SkinCmdIsHeld, 0) != 0;
  d->SetPaintLock(parentHeld || d->IsPaintLocked());
  return d->HoldPaint != 0;
}

void TlxToolBarWnd::Prepare() {
  TsCommonData* d = SkinData();
  if (d->BGChanged == 0 && d->CacheBitmap() != nullptr && !d->CacheBitmap()->Empty()) return;
  d->BGChanged = 1;
  PrepareWndCache(d, Handle(), false);
  const TlxWndGeometry g = GetWndGeometry(Handle());
  RECT client{};
  GetClientRect(Handle(), &client);
  FBorderWidth = std::max(0, (g.Height - static_cast<int>(client.bottom)) / 2);
}

void TlxToolBarWnd::RebuildCache() {
  SkinData()->BGChanged = 1;
  Prepare();
}

void TlxToolBarWnd::PaintButton(int index, TBitmap* target, TPoint cursor) {
  TBBUTTON button{};
  if (SendMessageA(Handle(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)) == 0) return;
  RECT item{};
  SendMessageA(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  const TRect r{item.left + FBorderWidth, item.top + FBorderWidth, item.right + FBorderWidth, item.bottom + FBorderWidth};
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  TBitmap* cache = d->CacheBitmap();
  const TsBackgroundInfo under{cache, r.Left, r.Top, clKeyColor, 1};
  TBitmap* work = KeptWorkBitmap(FWork, w, h);
  const HDC wdc = work->Canvas()->GetHandle();
  BitBlt(wdc, 0, 0, w, h, cache->Canvas()->GetHandle(), r.Left, r.Top, SRCCOPY);
  if ((button.fsStyle & TBSTYLE_SEP) != 0) {
    const int divider = FindSectionIndex(t, "DIVIDER");
    const int mask = FindMaskEntryDirect(t, "DIVIDER", "BORDERSMASK");
    if (divider < 0 || !MaskIndexInRange(t, mask)) return;
    PaintSectionItem(divider, "DIVIDER", under, -1, -1, t, work, TPoint{0, 0}, ToolSeparatorRect(w, h), 0,
                     m->MasterBitmap());
    BitBlt(target->Canvas()->GetHandle(), r.Left, r.Top, w, h, wdc, 0, 0, SRCCOPY);
    return;
  }
  const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
  const bool pressed = (button.fsState & TBSTATE_PRESSED) != 0;
  const int state = NativeToolButtonState(enabled, pressed, Inside(cursor, item));
  const int shift = state == 2 ? 1 : 0;
  const int section = FindSectionIndex(t, "TOOLBUTTON");
  PaintSectionItem(section, "TOOLBUTTON", under, -1, -1, t, work, TPoint{0, 0}, TRect{0, 0, w, h}, state,
                   m->MasterBitmap());
  // The image, and the arrow of a button that drops down as a whole.
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), TB_GETIMAGELIST, 0, 0));
  int imageW = 0, imageH = 0;
  const bool hasImage = images != nullptr && button.iBitmap >= 0 && button.iBitmap < ImageList_GetImageCount(images) &&
                        ImageList_GetIconSize(images, &imageW, &imageH) != FALSE;
  int room = w;
  const int arrow = t->CommonIndexes.ScrollParts[DownArrow].Glyph;
  if ((button.fsStyle & BTNS_WHOLEDROPDOWN) != 0 && MaskIndexInRange(t, arrow)) {
    const TsMaskData& glyph = t->MaskData[static_cast<size_t>(arrow)];
    const int gw = MaskFrameWidth(glyph), gh = MaskFrameHeight(glyph);
    DrawMaskState(work, TPoint{w - 2 - gw, (h - gh) / 2}, state, under, t, arrow, 1, m->MasterBitmap());
    room = w - 2 - gw;
  }
  if (hasImage) {
    ImageList_SetBkColor(images, CLR_NONE);
    ImageList_Draw(images, button.iBitmap, wdc, (room - imageW) / 2 + shift, ImageTop + shift, ILD_TRANSPARENT);
  }
  // The caption, on one line or split over two.
  const std::string caption = ButtonText(button.idCommand);
  if (!caption.empty()) {
    TCanvas* canvas = work->Canvas();
    SelectCaptionFont(canvas, nullptr, reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    const TsGeneralData* own = AdapterSection(d);
    const int colours = state == 0 && own != nullptr && own->GiveOwnFont ? d->SectionIndex() : section;
    const TsTextSkinInfo info = TextSkinInfoOf(m, colours);
    const TRect box{2 + shift, (hasImage ? imageH + 2 : 0) + 2 + shift, w - 2 + shift, h - 2 + shift};
    // Measured in the caption's font (the canvas selects it into its DC only for its own
    // drawing) against the button's width: a caption the bar sized its button to stays on one
    // line.
    const TlxCaptionLines lines =
        SplitToolCaption(caption, w, [canvas](const std::string& s) { return canvas->TextWidth(s); });
    if (lines.TwoLines) {
      const int lineH = canvas->TextHeight("Wg");
      DrawSkinText(canvas, lines.First, enabled, state != 0, info, DT_CENTER | DT_SINGLELINE, box);
      DrawSkinText(canvas, lines.Second, enabled, state != 0, info, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
                   TRect{box.Left, box.Top + lineH, box.Right, box.Bottom});
    } else {
      DrawSkinText(canvas, caption, enabled, state != 0, info, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS,
                   box);
    }
  }
  if (!enabled) {
    TBitmap* blended = KeptWorkBitmap(FBlend, w, h);
    BitBlt(blended->Canvas()->GetHandle(), 0, 0, w, h, cache->Canvas()->GetHandle(), r.Left, r.Top, SRCCOPY);
    BlendWithBackground(blended, 0, 0, clFuchsia, DisabledBlend, TRect{0, 0, w - 1, h - 1}, work);
    work = blended;
  }
  BitBlt(target->Canvas()->GetHandle(), r.Left, r.Top, w, h, work->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TlxToolBarWnd::PaintTo(HDC dc) {
  if (Locked()) return;
  GetWndGeometry(Handle());
  Prepare();
  TBitmap* cache = SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  TBitmap* frame = KeptWorkBitmap(FFrame, cache->GetWidth(), cache->GetHeight());
  BitBlt(frame->Canvas()->GetHandle(), 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0,
         SRCCOPY);
  const int count = static_cast<int>(SendMessageA(Handle(), TB_BUTTONCOUNT, 0, 0));
  const TPoint cursor = ClientCursor(Handle());
  for (int i = 0; i < count; ++i) PaintButton(i, frame, cursor);
  const int b = FBorderWidth;
  const TWindowDC window(dc == nullptr ? Handle() : nullptr, TWindowDC::TArea::Client);
  const HDC target = dc != nullptr ? dc : window.Get();
  if (target == nullptr) return;
  BitBlt(target, 0, 0, cache->GetWidth() - 2 * b, cache->GetHeight() - 2 * b, frame->Canvas()->GetHandle(), b, b,
         SRCCOPY);
}

void TlxToolBarWnd::PaintFrame() {
  if ((GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0 || Locked()) return;
  Prepare();
  TBitmap* cache = SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  const TWindowDC window(Handle(), TWindowDC::TArea::Window);
  const int b = FBorderWidth, w = cache->GetWidth(), h = cache->GetHeight();
  const TSaveDC saved(window.Get());
  ExcludeClipRect(window.Get(), b, b, w - b, h - b);
  BitBlt(window.Get(), 0, 0, w, h, cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Window method.

void TlxToolBarWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  TsCommonData* d = SkinData();
  if (message.Msg == WM_SKINCOMMAND && SkinCommandOf(message.WParam) == SkinCmdResumePaint && d->HoldPaint != 0) {
    d->SetPaintLock(false);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
    return;
  }
  switch (message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      d->BGChanged = 1;
      TlxMainWnd::HandleMessage(message);
      SendMessageA(Handle(), WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT:
    case WM_PRINT:
      if (message.Msg == WM_PAINT && message.WParam == 0 && IsWindowVisible(Handle()) == FALSE) break;
      HandlePaintOrPrint(Handle(), message, [this](HDC given) { PaintTo(given); });
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      PaintFrame();
      message.Result = 0;
      return;
    case WM_MOUSEMOVE:
      TlxMainWnd::HandleMessage(message);
      if (IsWindowEnabled(Handle())) TrackHover();
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}
