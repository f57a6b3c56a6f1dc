// The spin adapter (see lxSpinWnd.h).
#include "skin/adapters/lxSpinWnd.h"

#include <commctrl.h>

#include "framework/win/Graphics.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/lxTabWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"

namespace {

// The manager's scroll-part slots of the arrows: up, down, left, right.
constexpr int UpArrow = 0, DownArrow = 1, LeftArrow = 2, RightArrow = 3;

TPoint CursorIn(HWND wnd) {
  POINT p{-1, -1};
  RECT r{};
  if (!GetCursorPos(&p) || !GetWindowRect(wnd, &r)) return TPoint{-1, -1};
  return TPoint{p.x - r.left, p.y - r.top};
}

}  // namespace

void TlxSpinWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "UPDOWNBTN" : section);
  FallBackToButton();
}

void TlxSpinWnd::FallBackToButton() {
  // A skin without the spin's own section paints it as a button.
  TsCommonData* d = SkinData();
  TsSkinManager* m = d != nullptr ? d->GetSkinManager() : nullptr;
  if (m != nullptr && m->Tables() != nullptr && FindSectionIndex(m->Tables(), d->GetSkinSection()) < 0)
    d->SetSkinSection("BUTTON");
}

bool TlxSpinWnd::IsVertical() const { return (GetWindowLongA(Handle(), GWL_STYLE) & UDS_HORZ) == 0; }

void TlxSpinWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  const TlxWndGeometry g = GetWndGeometry(Handle());
  const bool vertical = IsVertical();
  const TlxSpinStates states = SpinHalfStates(g.Width, g.Height, vertical, CursorIn(Handle()), FMouseDown);
  FFirstState = states.First;
  FSecondState = states.Second;
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  TRect halves[2];
  SpinHalves(g.Width, g.Height, vertical, vertical ? LeftOffset : 0, halves[0], halves[1]);
  const int state[2] = {FFirstState, FSecondState};
  const int arrow[2] = {vertical ? UpArrow : LeftArrow, vertical ? DownArrow : RightArrow};
  const TsSkinTables* t = m->Tables();
  for (int i = 0; i < 2; ++i) {
    const TRect& r = halves[i];
    PaintSectionWithBorder(cache, r, d->SectionIndex(), d->BorderIndex(), state[i], t, bg, TPoint{r.Left, r.Top},
                           m->MasterBitmap());
    const int glyph = t->CommonIndexes.ScrollParts[arrow[i]].Glyph;
    if (!MaskIndexInRange(t, glyph)) continue;
    const TsMaskData& mask = t->MaskData[static_cast<size_t>(glyph)];
    const TSize size = SpinArrowSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
    DrawMaskState(cache, TPoint{r.Left + (r.Width() - size.cx) / 2, r.Top + (r.Height() - size.cy) / 2}, state[i],
                  bg, t, glyph, 1, m->MasterBitmap());
  }
  if (!IsWindowEnabled(Handle())) BlendDisabled(cache, Handle(), d->OwnerControl());
  d->BGChanged = 0;
}

void TlxSpinWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  PrepareCache();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  const int left = IsVertical() ? LeftOffset : 0;
  CopyCacheTo(Handle(), cache, given, TRect{left, 0, cache->GetWidth(), cache->GetHeight()}, TPoint{left, 0});
}

void TlxSpinWnd::Redraw() { RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void TlxSpinWnd::WMMouseMove(TMessage& message) {
  TlxMainWnd::HandleMessage(message);
  TsSkinManager* m = TsSkinManager::DefaultManager();
  if (m == nullptr || (m->ComponentState() & csDesigning) != 0 || !IsWindowEnabled(Handle())) return;
  const TPoint p = CursorIn(Handle());
  const TlxWndGeometry g = GetWndGeometry(Handle());
  const bool inside = p.X >= 0 && p.Y >= 0 && p.X < g.Width && p.Y < g.Height;
  if (inside) {
    // The halves change under a moving cursor, so an already hot spin repaints.
    if (m->HoverWindow() == Handle()) Redraw();
    else m->TrackHoverWindow(Handle());
  } else if (m->HoverWindow() == Handle()) {
    m->TrackHoverWindow(nullptr);
  }
}

void TlxSpinWnd::HandleMessage(TMessage& message) {
  if (message.Msg == WM_SKINCOMMAND && SkinCommandOf(message.WParam) == SkinCmdSkinLoaded && SkinData() != nullptr) {
    TlxMainWnd::HandleMessage(message);
    FallBackToButton();
    return;
  }
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    TlxMainWnd::HandleMessage(message);
    if (SkinCommandOf(message.WParam) == SkinCmdHoverOut || SkinCommandOf(message.WParam) == SkinCmdHoverIn) Redraw();
    return;
  }
  if (HandlePaintOrPrint(Handle(), message, [this](HDC given) { Paint(given); })) return;
  switch (message.Msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      FMouseDown = message.Msg == WM_LBUTTONDOWN;
      TlxMainWnd::HandleMessage(message);
      Redraw();
      return;
    case WM_LBUTTONDBLCLK:
      FMouseDown = true;
      TlxMainWnd::HandleMessage(message);
      Redraw();
      FMouseDown = false;
      return;
    case WM_MOUSELEAVE:
      TlxMainWnd::HandleMessage(message);
      InvalidateRect(Handle(), nullptr, FALSE);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(message);
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}
