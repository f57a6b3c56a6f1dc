// The track-bar adapter (see lxTrackWnd.h).
#include "skin/adapters/lxTrackWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/win/Graphics.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/lxTabWndCore.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace {

// Marks stand this far from the channel and are this long without a mask.
constexpr int TickHeight = 4;
constexpr int TickLineWidth = 2;

std::uint32_t StyleOf(HWND wnd) { return static_cast<std::uint32_t>(GetWindowLongA(wnd, GWL_STYLE)); }

TRect ItemRect(HWND wnd, UINT msg) {
  RECT r{};
  SendMessageA(wnd, msg, 0, reinterpret_cast<LPARAM>(&r));
  return TRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

void TlxTrackWnd::TakeSection(const std::string&) { TlxMainWnd::TakeSection("TRACKBAR"); }

bool TlxTrackWnd::IsVertical() const { return (StyleOf(Handle()) & lxTBS_VERT) != 0; }

void TlxTrackWnd::PaintTicks(const TRect& channel, const TRect& thumb) {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  const bool vertical = IsVertical();
  const int side = TrackTickSide(StyleOf(Handle()));
  const int mask = FindMaskEntry(t, d->SectionIndex(), "TRACKBAR", vertical ? "TICKVERT" : "TICKHORZ");
  TBitmap* cache = d->CacheBitmap();
  // The interior marks come from the control, the two ends where the thumb's centre stops.
  const int half = (vertical ? thumb.Height() : thumb.Width()) / 2;
  std::vector<int> positions{vertical ? channel.Top + half : channel.Left + half,
                             vertical ? channel.Bottom - half : channel.Right - half};
  // A bar over a wide range can report more ticks than it has pixels: no more are drawn than
  // can be told apart.
  const int count = std::min(static_cast<int>(SendMessageA(Handle(), TBM_GETNUMTICS, 0, 0)),
                             (vertical ? channel.Height() : channel.Width()) + 2);
  // Wine answers TBM_GETTICPOS of a vertical bar with places across it: there the places come
  // from the ticks' values, between the two ends.
  const int low = static_cast<int>(SendMessageA(Handle(), TBM_GETRANGEMIN, 0, 0));
  const int high = static_cast<int>(SendMessageA(Handle(), TBM_GETRANGEMAX, 0, 0));
  const int first = positions[0], last = positions[1];
  for (int i = 0; i + 2 < count; ++i) {
    const auto index = static_cast<WPARAM>(i);
    positions.push_back(vertical ? TrackTickPosition(first, last, static_cast<int>(SendMessageA(Handle(), TBM_GETTIC, index, 0)),
                                                     low, high)
                                 : static_cast<int>(SendMessageA(Handle(), TBM_GETTICPOS, index, 0)));
  }
  const TsBackgroundInfo none{cache, 0, 0, clKeyColor, 1};
  const TsGeneralData* section = AdapterSection(d);
  const TColor lineColor = section != nullptr ? section->FontColor[0] : clBlack;
  for (const int pos : positions) {
    if (MaskIndexInRange(t, mask)) {
      const TsMaskData& md = t->MaskData[static_cast<size_t>(mask)];
      const int w = MaskFrameWidth(md), h = MaskFrameHeight(md);
      TrackTickRects(channel, vertical, side, pos, vertical ? w : h, vertical ? h : w, TickHeight,
                     [&](const TRect& r) { DrawMaskState(cache, TPoint{r.Left, r.Top}, 0, none, t, mask, 1, m->MasterBitmap()); });
    } else {
      TrackTickRects(channel, vertical, side, pos, TickHeight, TickLineWidth, TickHeight,
                     [&](const TRect& r) { FillDCRect(cache->Canvas()->GetHandle(), r, lineColor); });
    }
  }
}

void TlxTrackWnd::PaintThumb(const TRect& thumb) {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  int mask = IsVertical() ? FindMaskEntry(t, d->SectionIndex(), "TRACKBAR", "SLIDERVMASK") : -1;
  if (!MaskIndexInRange(t, mask)) mask = FindMaskEntry(t, d->SectionIndex(), "TRACKBAR", "SLIDERMASK");
  if (!MaskIndexInRange(t, mask) || thumb.IsEmpty()) return;
  const TsMaskData& md = t->MaskData[static_cast<size_t>(mask)];
  const int w = MaskFrameWidth(md), h = MaskFrameHeight(md);
  if (w <= 0 || h <= 0) return;
  TBitmap* cache = d->CacheBitmap();
  const TRect r = TrackThumbRect(thumb, IsVertical(), w, h);
  const int state = FMousePressed ? 1 : 0;
  if (r.Width() == w && r.Height() == h) {
    DrawMaskState(cache, TPoint{r.Left, r.Top}, state, TsBackgroundInfo{cache, 0, 0, clKeyColor, 1}, t, mask, 1,
                  m->MasterBitmap());
    return;
  }
  // Any other thumb size takes the mask stretched over it.
  TBitmap* piece = KeptWorkBitmap(FThumb, w, h);
  const HDC pdc = piece->Canvas()->GetHandle(), cdc = cache->Canvas()->GetHandle();
  SetStretchBltMode(pdc, COLORONCOLOR);
  StretchBlt(pdc, 0, 0, w, h, cdc, r.Left, r.Top, r.Width(), r.Height(), SRCCOPY);
  DrawMaskState(piece, TPoint{0, 0}, state, TsBackgroundInfo{piece, 0, 0, clKeyColor, 1}, t, mask, 1,
                m->MasterBitmap());
  SetStretchBltMode(cdc, COLORONCOLOR);
  StretchBlt(cdc, r.Left, r.Top, r.Width(), r.Height(), pdc, 0, 0, w, h, SRCCOPY);
}

void TlxTrackWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr || AdapterSection(d) == nullptr) return;
  const TlxWndGeometry g = GetWndGeometry(Handle());
  const TsSkinTables* t = m->Tables();
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  PaintSectionItem(d->SectionIndex(), d->GetSkinSection(), bg, d->HotTextureIndex(), d->TextureIndex(), t, cache,
                   TPoint{0, 0}, TRect{0, 0, g.Width, g.Height}, 0, m->MasterBitmap());
  const bool vertical = IsVertical();
  TRect channel = ItemRect(Handle(), TBM_GETCHANNELRECT);
  // The system reports a vertical bar's channel lying across.
  if (vertical && channel.Width() > channel.Height())
    channel = TRect{channel.Top, channel.Left, channel.Bottom, channel.Right};
  const TRect thumb = ItemRect(Handle(), TBM_GETTHUMBRECT);
  const int channelMask = FindMaskEntry(t, d->SectionIndex(), "TRACKBAR", "SLIDERCHANNEL");
  if (MaskIndexInRange(t, channelMask)) {
    const TsMaskData& md = t->MaskData[static_cast<size_t>(channelMask)];
    const int thickness = vertical ? MaskFrameWidth(md) : MaskFrameHeight(md);
    PaintMaskFrame(cache, TrackChannelRect(channel, vertical, thickness), true, 1, md, bg, m->MasterBitmap());
  }
  if ((StyleOf(Handle()) & lxTBS_NOTICKS) == 0) PaintTicks(channel, thumb);
  PaintThumb(thumb);
  if (!IsWindowEnabled(Handle())) BlendDisabled(cache, Handle(), d->OwnerControl());
  d->BGChanged = 0;
}

void TlxTrackWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0 || (given == nullptr && IsWindowVisible(Handle()) == FALSE)) return;
  PrepareCache();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  CopyCacheTo(Handle(), cache, given, TRect{0, 0, cache->GetWidth(), cache->GetHeight()}, TPoint{0, 0});
}

void TlxTrackWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this) || AdapterSection(SkinData()) == nullptr) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  if (HandlePaintOrPrint(Handle(), message, [this](HDC given) { Paint(given); })) return;
  switch (message.Msg) {
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      FMousePressed = message.Msg == WM_LBUTTONDOWN;
      TlxMainWnd::HandleMessage(message);
      InvalidateRect(Handle(), nullptr, FALSE);
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}
