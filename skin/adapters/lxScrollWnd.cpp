// The skinned non-client scroll bars (see lxScrollWnd.h).
//
// Sections: program-wide state and helpers; attach, detach and metrics; geometry and scroll
// info; painting; commands; one handler per message; the window method; the framework
// control's adapter.
#include "skin/adapters/lxScrollWnd.h"

#include <algorithm>
#include <optional>

#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "skin/core/lxSBUtilsCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

// ---------------------------------------------------------------------------------------------
// Program-wide state and helpers.

TlxScrollState& ScrollState() {
  static TlxScrollState state;
  return state;
}

namespace {

constexpr LONG ScrollStyles = WS_HSCROLL | WS_VSCROLL;
// BarRect's kind for the square between the two bars.
constexpr int CornerKind = -1;
constexpr UINT HotInterval = 20, FirstRepeatInterval = 300, RepeatInterval = 55;
// WM_SYSCOMMAND of the system's own vertical scroll tracking (SC_VSCROLL + HTVSCROLL).
constexpr WPARAM SysVertScroll = 0xF077;

bool IsVert(const TlxScrollBar& bar) { return bar.Kind == SB_VERT; }

TlxScrollInfo CoreInfo(const SCROLLINFO& si) { return TlxScrollInfo{si.nMin, si.nMax, si.nPage, si.nPos}; }

bool SameValues(const SCROLLINFO& a, const SCROLLINFO& b) {
  return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

// A length the bar fields hold: 0 or above as it is, below 0 that many system sizes.
int Scaled(int value, int system) { return value >= 0 ? value : -value * system; }

// Start and length of a rectangle along a bar.
int Start(const TRect& r, bool vert) { return vert ? r.Top : r.Left; }
int Length(const TRect& r, bool vert) { return vert ? r.Height() : r.Width(); }

// A piece of a bar of cross extent `cross`, from a to b along it.
TRect Span(bool vert, int a, int b, int cross) { return vert ? TRect{0, a, cross, b} : TRect{a, 0, b, cross}; }

TRect Offset(TRect r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

bool Inside(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

TRect WindowRectOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return ToTRect(r);
}

TPoint ScreenPointOf(LPARAM lp) { return TPoint{LParamX(lp), LParamY(lp)}; }

// The skin's pieces of one bar: track halves, arrow buttons and thumb.
struct TBarParts {
  const TsScrollPartIndexes* Track[2];
  const TsScrollPartIndexes* Button[2];
  const TsScrollPartIndexes* Slider;
};
TBarParts PartsOf(const TsCommonIndexes& c, bool vert) {
  const TsScrollPartIndexes* first = &c.ScrollBars[vert ? 1 : 0];
  const TsScrollPartIndexes* second = &c.ScrollBars[vert ? 3 : 2];
  // A skin without the second track part shows the first one on both sides of the thumb.
  if (second->Section < 0) second = first;
  return TBarParts{
      {first, second}, {&c.ScrollParts[vert ? 0 : 2], &c.ScrollParts[vert ? 1 : 3]}, &c.ScrollParts[vert ? 4 : 5]};
}

// What lies behind a piece of the window at `at` (window coordinates): the piece of the parent's
// background bitmap, or its colour.
// An MDI main form's client window finds its piece in the form's frame cache, which holds
// "MDIAREA" where the client window lies.
// TODO: an extended-border form's offsets move this piece; they come with the form adapter,
// which does not exist yet.
TsBackgroundInfo BackgroundAt(HWND h, TPoint at) {
  TsBackgroundInfo info;
  GetWindowParentBackground(h, info);
  if (info.Bitmap != nullptr) {
    info.X += at.X;
    info.Y += at.Y;
    info.Ready = 1;
  }
  return info;
}

// `b` made a 32-bit bitmap of the piece's size (kept from the last paint when it has it)
// holding the background.
TBitmap* BackgroundBitmap(std::unique_ptr<TBitmap>& b, const TsBackgroundInfo& bg, int w, int h) {
  if (!b || b->GetWidth() != w || b->GetHeight() != h) b = CreateBitmap32(w, h);
  if (bg.Bitmap != nullptr)
    BitBlt(b->Canvas()->GetHandle(), 0, 0, w, h, bg.Bitmap->Canvas()->GetHandle(), bg.X, bg.Y, SRCCOPY);
  else
    FillRectOpaque(TargetPixels32(b.get()), TRect{0, 0, w, h}, bg.Color);
  return b.get();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Attach, detach and metrics.

void TlxScrollWnd::AttachToWindow(bool repaintFrame) { AttachScrollAdapter(*this, Handle(), repaintFrame); }

void AttachScrollAdapter(TlxScrollWnd& adapter, HWND handle, bool repaintFrame) {
  adapter.Attach(handle, repaintFrame);
}

void TlxScrollWnd::Attach(HWND handle, bool repaintFrame) {
  ScrollInProgress = false;
  FHandle = handle;
  const LONG style = GetWindowLongA(handle, GWL_STYLE);
  for (int kind : {SB_HORZ, SB_VERT}) {
    auto bar = std::make_unique<TlxScrollBar>();
    bar->Owner = this;
    bar->Kind = kind;
    bar->Flags = (style & (kind == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0 ? sbfHasStyle : 0;
    ReadInfo(*bar);
    (kind == SB_VERT ? FVertBar : FHorzBar) = std::move(bar);
  }
  LeftScrollBar = (GetWindowLongA(handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  PreventStyleChange = false;
  AttachAdapter(*this, handle);
  FHorzBar->MinThumbSize = FVertBar->MinThumbSize = 10;
  if (repaintFrame) RedrawNonClient(handle, true);
}

void ReleaseScrollWndAdapter(HWND handle, bool repaintFrame, TlxScrollWnd& adapter) {
  ReleaseWndAdapter(handle, repaintFrame, adapter);
}

void TlxScrollWnd::ForgetScrollState() {
  FRepeatTimer.Reset();
  FHotTimer.Reset();
  ThumbTracking = false;
  TlxScrollState& s = ScrollState();
  if (s.ScrollStateWnd != Handle()) return;
  if (s.PressedPart != sbpNone && GetCapture() == Handle()) ReleaseCapture();
  s = TlxScrollState{};
}

void TlxScrollWnd::DetachParts() {
  ForgetScrollState();
  for (auto* bar : {FHorzBar.get(), FVertBar.get()})
    if (bar != nullptr) bar->Owner = nullptr;
  FHorzBar.reset();
  FVertBar.reset();
  for (auto& work : FWork) work.reset();
}

TlxScrollWnd::~TlxScrollWnd() {
  // Detached here, while the detach still reaches this class's parts (the base's destructor
  // would not); the frame is measured again for the system's own bars.
  if (!Defunct() && Handle() != nullptr && SkinData() != nullptr) Detach(true, IsWindow(Handle()) == FALSE);
  DetachParts();
}

int TlxScrollWnd::GetScrollBarMetric(const TlxScrollBar& bar, bool wantThickness, bool useSkin) const {
  const bool vert = IsVert(bar);
  if (wantThickness) return Scaled(bar.Thickness, GetSystemMetrics(vert ? SM_CXVSCROLL : SM_CYHSCROLL));
  const int system = Scaled(bar.ArrowLength, GetSystemMetrics(vert ? SM_CYVSCROLL : SM_CXHSCROLL));
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (!useSkin || bar.ArrowLength >= 0 || t == nullptr) return system;
  const TsScrollPartIndexes& first = t->CommonIndexes.ScrollParts[vert ? 0 : 2];
  const TsScrollPartIndexes& second = t->CommonIndexes.ScrollParts[vert ? 1 : 3];
  if (first.Section < 0 || second.Section < 0 || !MaskIndexInRange(t, first.Glyph) ||
      !MaskIndexInRange(t, second.Glyph))
    return system;
  const TsMaskData& glyph = t->MaskData[static_cast<size_t>(first.Glyph)];
  return std::max(system, vert ? MaskFrameHeight(glyph) : MaskFrameWidth(glyph));
}

bool TlxScrollWnd::ScrollBarUsable(const TlxScrollBar& bar) const {
  TControl* owner = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  if (owner != nullptr && !owner->Enabled()) return false;
  const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
  const auto getInfo = ScrollEntries().GetScrollBarInfo;
  if (getInfo == nullptr) return (style & (IsVert(bar) ? WS_VSCROLL : WS_HSCROLL)) != 0;
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  const LONG object = bar.Kind == SB_HORZ ? OBJID_HSCROLL : bar.Kind == SB_VERT ? OBJID_VSCROLL : OBJID_CLIENT;
  if (!getInfo(Handle(), object, &sbi)) return false;
  if ((bar.Flags & (sbfFirstArrowDisabled | sbfSecondArrowDisabled)) ==
      (sbfFirstArrowDisabled | sbfSecondArrowDisabled))
    return false;
  const SCROLLINFO& si = bar.Info;
  if ((bar.Flags & sbfNeedsRange) != 0 && !(si.nMax >= static_cast<int>(si.nPage) && si.nMin < si.nMax && si.nMax != 0))
    return false;
  return (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

// ---------------------------------------------------------------------------------------------
// Geometry and scroll info.

void TlxScrollWnd::ReadInfo(TlxScrollBar& bar) const {
  bar.Info = SCROLLINFO{};
  bar.Info.cbSize = sizeof(SCROLLINFO);
  bar.Info.fMask = SIF_ALL;
  GetScrollInfo(Handle(), bar.Kind, &bar.Info);
  // The arrows' disabled state is the system's (EnableScrollBar); the bar's flags follow it, so
  // that a disabled arrow ignores presses and a bar with both disabled cannot be used.
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  const auto getInfo = ScrollEntries().GetScrollBarInfo;
  if (getInfo == nullptr || !getInfo(Handle(), IsVert(bar) ? OBJID_VSCROLL : OBJID_HSCROLL, &sbi)) return;
  const auto off = [&](int i) { return (sbi.rgstate[i] & STATE_SYSTEM_UNAVAILABLE) != 0; };
  bar.Flags = static_cast<std::uint16_t>((bar.Flags & ~(sbfFirstArrowDisabled | sbfSecondArrowDisabled)) |
                                         (off(1) ? sbfFirstArrowDisabled : 0) | (off(5) ? sbfSecondArrowDisabled : 0));
}

TRect TlxScrollWnd::BarRect(int kind) const {
  if (!FHorzBar || !FVertBar) return {};
  TlxScrollFrame f;
  f.Window = WindowRectOf(Handle());
  f.LeftEdge = LeftEdge;
  f.TopEdge = TopEdge;
  f.RightEdge = RightEdge;
  f.BottomEdge = BottomEdge;
  f.HorzThickness = GetScrollBarMetric(*FHorzBar, true, false) * FHorzBar->BarShown;
  f.VertThickness = GetScrollBarMetric(*FVertBar, true, false) * FVertBar->BarShown;
  f.LeftScrollBar = LeftScrollBar;
  if (kind == CornerKind) return ScrollCornerRect(f);
  const TRect r = kind == SB_VERT ? ScrollVertBarRect(f) : ScrollHorzBarRect(f);
  return r.IsEmpty() ? TRect{} : r;
}

TRect TlxScrollWnd::GetHorzBarRect() const { return BarRect(SB_HORZ); }
TRect TlxScrollWnd::GetVertBarRect() const { return BarRect(SB_VERT); }

// One arrow length serves hit tests and painting, so that a click lands on the part it shows.
int TlxScrollWnd::ArrowOf(const TlxScrollBar& bar) const { return GetScrollBarMetric(bar, false, true); }

int TlxScrollWnd::PartAt(const TlxScrollBar& bar, TPoint screen) const {
  return ScrollHitPart(BarRect(bar.Kind), IsVert(bar), screen, CoreInfo(bar.Info), ArrowOf(bar), bar.MinThumbSize);
}

void TlxScrollWnd::RefreshScrollInfo(bool repaint) {
  if (!FHorzBar || !FVertBar || !IsWindowVisible(Handle())) return;
  TsCommonData* d = SkinData();
  if (d != nullptr && d->IsPaintLocked()) return;
  ReadInfo(*FHorzBar);
  ReadInfo(*FVertBar);
  if (repaint && !AdapterFlags().WindowMoving) PaintScrollBars(nullptr);
}

void TlxScrollWnd::FollowScrollInfo() {
  if (Defunct() || !FHorzBar || !FVertBar || ScrollInProgress || ThumbTracking) return;
  for (TlxScrollBar* bar : {FHorzBar.get(), FVertBar.get()}) {
    TlxScrollBar now;
    now.Kind = bar->Kind;
    ReadInfo(now);
    if (bar->BarShown != 0 && !SameValues(now.Info, bar->Info)) {
      RefreshScrollInfo(true);
      return;
    }
  }
}

bool TlxScrollWnd::SitsInParentCorner() const {
  const HWND parent = GetParent(Handle());
  if (parent == nullptr || (GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD) == 0 ||
      (GetWindowLongA(parent, GWL_STYLE) & WS_CHILD) != 0)
    return false;
  const TRect sq = BarRect(CornerKind);
  if (sq.IsEmpty()) return false;
  RECT c{};
  GetClientRect(parent, &c);
  POINT tl{c.left, c.top}, br{c.right, c.bottom};
  ClientToScreen(parent, &tl);
  ClientToScreen(parent, &br);
  const bool side = LeftScrollBar ? sq.Left - LeftEdge == tl.x : sq.Right + RightEdge == br.x;
  return side && sq.Bottom + BottomEdge == br.y;
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TlxScrollWnd::PaintScrollBars(HDC dc, int thumbOverride) {
  TsCommonData* d = SkinData();
  TsSkinManager* m = SkinManager();
  if (d == nullptr || m == nullptr || m->Tables() == nullptr || !FHorzBar || !FVertBar) return;
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  TControl* owner = d->OwnerControl();
  if (owner != nullptr && (owner->ControlState() & csCreating) != 0) return;
  auto* windowed = dynamic_cast<TWinControl*>(owner);
  if (!IsWindowVisible(Handle()) && !(windowed != nullptr && windowed->Showing())) return;
  if (d->BGChanged != 0) SendSkinCommand(Handle(), SkinCmdRebuildCache);
  std::optional<TWindowDC> own;
  if (dc == nullptr) dc = own.emplace(Handle(), TWindowDC::TArea::Window).Get();
  if (dc == nullptr) return;
  const TlxScrollState& s = ScrollState();
  const bool ours = s.ScrollStateWnd == Handle();
  for (TlxScrollBar* bar : {FHorzBar.get(), FVertBar.get()}) {
    const bool pressed = ours && s.PressedBarKind == bar->Kind;
    int start = thumbOverride, thumbState = -1;
    if (pressed && ThumbTracking) {
      start = s.DragThumbStart - Start(BarRect(bar->Kind), IsVert(*bar));
      thumbState = 2;
    }
    PaintBar(dc, *bar, pressed ? s.RepeatCommand : sbpNone, start, thumbState);
  }
  PaintCorner(dc);
}

void TlxScrollWnd::PaintBar(HDC dc, TlxScrollBar& bar, int pressedPart, int thumbStart, int thumbState) {
  const TsSkinTables* t = SkinManager()->Tables();
  TBitmap* master = SkinManager()->MasterBitmap();
  const bool vert = IsVert(bar);
  const TBarParts parts = PartsOf(t->CommonIndexes, vert);
  const TRect screen = BarRect(bar.Kind);
  if (bar.BarShown == 0 || parts.Track[0]->Section < 0 || screen.Width() <= 1 || screen.Height() <= 1) return;
  ReadInfo(bar);
  const bool usable = ScrollBarUsable(bar);
  const TlxScrollState& s = ScrollState();
  const bool ours = s.ScrollStateWnd == Handle();
  const int hot = ours && s.HotBarKind == bar.Kind ? s.HotPart : sbpNone;
  auto stateOf = [&](int part) { return pressedPart == part ? 2 : hot == part ? 1 : 0; };

  const TRect wr = WindowRectOf(Handle());
  const TRect local = Offset(screen, -wr.Left, -wr.Top);  // window coordinates
  const int w = local.Width(), h = local.Height(), len = vert ? h : w, cross = vert ? w : h;
  const TsBackgroundInfo bg = BackgroundAt(Handle(), TPoint{local.Left, local.Top});
  TBitmap* work = BackgroundBitmap(FWork[vert ? 1 : 0], bg, w, h);
  const TsBackgroundInfo self{work, 0, 0, 0xFF00FF, 1};
  auto piece = [&](const TsScrollPartIndexes& p, const TRect& r, int state, bool glyph) {
    if (r.IsEmpty()) return;
    if (p.Section >= 0)
      PaintSectionWithBorder(work, r, p.Section, p.Border, state, t, bg, TPoint{r.Left, r.Top}, master);
    if (glyph && MaskIndexInRange(t, p.Glyph)) {
      const TsMaskData& g = t->MaskData[static_cast<size_t>(p.Glyph)];
      const TPoint at{r.Left + (r.Width() - MaskFrameWidth(g)) / 2, r.Top + (r.Height() - MaskFrameHeight(g)) / 2};
      DrawMaskState(work, at, state, self, t, p.Glyph, 1, master);
    }
  };

  const TlxScrollBarLen b{len, ArrowOf(bar), bar.MinThumbSize};
  if (2 * static_cast<long long>(b.Arrow) < len) {
    const TlxThumb thumb = ScrollThumb(CoreInfo(bar.Info), b);
    const bool shown = usable && ScrollThumbShown(thumb, b);
    const int start = thumbStart >= 0 ? thumbStart : b.Arrow + thumb.Offset;
    const int mid = shown ? start + thumb.Size / 2 : len / 2;
    piece(*parts.Track[0], Span(vert, 0, mid, cross), pressedPart == sbpTrackBefore ? 2 : 0, false);
    piece(*parts.Track[1], Span(vert, mid, len, cross), pressedPart == sbpTrackAfter ? 2 : 0, false);
    piece(*parts.Button[0], Span(vert, 0, b.Arrow, cross), stateOf(sbpFirstArrow), true);
    piece(*parts.Button[1], Span(vert, len - b.Arrow, len, cross), stateOf(sbpSecondArrow), true);
    const int sliderState = thumbState >= 0 ? thumbState : (hot == sbpThumb ? 1 : 0);
    if (shown) piece(*parts.Slider, Span(vert, start, start + thumb.Size, cross), sliderState, true);
  } else {
    // Too short for a thumb: each half shows its track part under a half-length arrow.
    const int half = len / 2;
    piece(*parts.Track[0], Span(vert, 0, half, cross), 0, false);
    piece(*parts.Track[1], Span(vert, half, len, cross), 0, false);
    piece(*parts.Button[0], Span(vert, 0, half, cross), stateOf(sbpFirstArrow), true);
    piece(*parts.Button[1], Span(vert, len - half, len, cross), stateOf(sbpSecondArrow), true);
  }
  if (!usable) {
    if (bg.Bitmap != nullptr)
      BlendWithBackground(work, 0, 0, 0xFF00FF, 0.4, TRect{bg.X, bg.Y, bg.X + w - 1, bg.Y + h - 1}, bg.Bitmap);
    else
      BlendColorIntoRect(TargetPixels32(work), TRect{0, 0, w, h}, 40, bg.Color);
  }
  BitBlt(dc, local.Left, local.Top, w, h, work->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TlxScrollWnd::PaintCorner(HDC dc) {
  const TRect screen = BarRect(CornerKind);
  if (screen.IsEmpty()) return;
  const TsSkinTables* t = SkinManager()->Tables();
  const TRect wr = WindowRectOf(Handle());
  const TRect local = Offset(screen, -wr.Left, -wr.Top);
  const int w = local.Width(), h = local.Height();
  TBitmap* work = BackgroundBitmap(FWork[2], BackgroundAt(Handle(), TPoint{local.Left, local.Top}), w, h);
  const int grip = t->CommonIndexes.GripImage;
  if (MaskIndexInRange(t, grip) && SitsInParentCorner()) {
    const TsMaskData& m = t->MaskData[static_cast<size_t>(grip)];
    DrawMaskState(work, TPoint{w - MaskFrameWidth(m), h - MaskFrameHeight(m)}, 0,
                  TsBackgroundInfo{work, 0, 0, 0xFF00FF, 1}, t, grip, 1, SkinManager()->MasterBitmap());
  }
  BitBlt(dc, local.Left, local.Top, w, h, work->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Commands.

void SendScrollCommand(HWND handle, UINT scrollMsg, int code, int pos) {
  const LPARAM what = static_cast<LPARAM>(MAKELONG(code, scrollMsg));
  LPARAM lparam = pos;
  if (SendSkinCommand(handle, SkinCmdScrollStart, what) != 1) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    const int bar = scrollMsg == WM_HSCROLL ? SB_HORZ : SB_VERT;
    GetScrollInfo(handle, bar, &si);
    if (code == SB_THUMBTRACK) {
      si.fMask = SIF_POS;
      si.nPos = pos;
      SetScrollInfo(handle, bar, &si, FALSE);
    }
    lparam = 0;
  }
  SendMessageA(handle, scrollMsg, MAKEWPARAM(code, std::min(pos, 0xFFFF)), lparam);
  SendSkinCommand(handle, SkinCmdScrollFinish, what);
}

void TlxScrollWnd::ScrollCommand(int code, int pos) {
  ScrollInProgress = true;
  try {
    SendScrollCommand(Handle(), ScrollState().PressedScrollMsg, code, pos);
  } catch (...) {
    ScrollInProgress = false;
    throw;
  }
  ScrollInProgress = false;
}

TlxScrollBar* GetAdapterScrollBar(HWND handle, int kind) {
  auto* a = dynamic_cast<TlxScrollWnd*>(GetWndAdapter(handle));
  if (a == nullptr || (kind != SB_HORZ && kind != SB_VERT)) return nullptr;
  return a->Bar(kind);
}

void TlxScrollWnd::StartTimer(TOwnedTimer& timer, UINT_PTR id, UINT ms) {
  try {
    timer = TOwnedTimer(Handle(), id, ms);
  } catch (const EOSError&) {
    // Without a timer the press still works; it only does not repeat or track.
    timer.Reset();
  }
}

// ---------------------------------------------------------------------------------------------
// Message handlers.

void TlxScrollWnd::WMSkinCommand(TMessage& m) {
  TsCommonData* d = SkinData();
  const bool own = IsFromOwnManager(m, d);
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdRedrawSkin:
      if (own) {
        d->ResolveSection();
        d->BGChanged = 1;
      }
      break;
    case SkinCmdResumePaint:
      if (d->HoldPaint == 0) break;
      d->SetPaintLock(false);
      d->SetPaintLock(d->IsPaintLocked());
      if (d->HoldPaint == 0)
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      return;
    case SkinCmdHoldPaint: d->SetPaintLock(LOWORD(m.WParam) == 1); break;
    case SkinCmdQueryBackground: {
      if (!SkinCommandAllowed(m.WParam, m.LParam) || m.LParam == 0) {
        m.Result = 0;
        return;
      }
      m.Result = CallOldProc(m);
      auto* request = reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      if (request->Kind == bkNotAnswered) d->ProvideBackground(*request, 0, Handle());
      return;
    }
    // The rest as every adapter answers them.
    default: HandleSkinCommandMessage(m); return;
  }
  m.Result = CallOldProc(m);
}

void TlxScrollWnd::WMNCCalcSize(TMessage& m) {
  auto* r = reinterpret_cast<RECT*>(m.LParam);
  if (r == nullptr) {
    m.Result = CallOldProc(m);
    return;
  }
  const RECT proposed = *r;
  const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
  if ((style & ScrollStyles) != 0) {
    // The system measures the frame without the scroll bars; the room is reserved here.
    struct TRestore {
      TlxScrollWnd* W;
      LONG Style;
      ~TRestore() {
        SetWindowLongA(W->Handle(), GWL_STYLE, Style);
        W->PreventStyleChange = false;
      }
    } restore{this, style};
    PreventStyleChange = true;
    SetWindowLongA(Handle(), GWL_STYLE, style & ~ScrollStyles);
    m.Result = CallOldProc(m);
  } else {
    m.Result = CallOldProc(m);
  }
  LeftEdge = r->left - proposed.left;
  TopEdge = r->top - proposed.top;
  RightEdge = proposed.right - r->right;
  BottomEdge = proposed.bottom - r->bottom;
  if (!FHorzBar || !FVertBar) return;
  // Only the style bit: the arrows' bits are the system's state, kept.
  const auto styled = [&](TlxScrollBar& bar, LONG bit) {
    bar.Flags = static_cast<std::uint16_t>((bar.Flags & ~sbfHasStyle) | ((style & bit) != 0 ? sbfHasStyle : 0));
    return (bar.Flags & sbfHasStyle) != 0;
  };
  const int ht = GetScrollBarMetric(*FHorzBar, true, false);
  FHorzBar->BarShown = styled(*FHorzBar, WS_HSCROLL) && r->bottom - r->top >= ht;
  if (FHorzBar->BarShown) r->bottom -= ht;
  const int vt = GetScrollBarMetric(*FVertBar, true, false);
  FVertBar->BarShown = styled(*FVertBar, WS_VSCROLL) && r->right - r->left >= vt;
  if (FVertBar->BarShown != 0 && LeftScrollBar)
    r->left += vt;
  else if (FVertBar->BarShown != 0)
    r->right -= vt;
}

void TlxScrollWnd::WMStyleChanged(TMessage& m) {
  if (PreventStyleChange) {
    m.Result = 0;
    return;
  }
  if (static_cast<int>(m.WParam) == GWL_EXSTYLE && m.LParam != 0)
    LeftScrollBar = (reinterpret_cast<const STYLESTRUCT*>(m.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
  m.Result = CallOldProc(m);
}

void TlxScrollWnd::WMNCHitTest(TMessage& m) {
  const TPoint p = ScreenPointOf(m.LParam);
  for (TlxScrollBar* bar : {FHorzBar.get(), FVertBar.get()}) {
    if (bar->BarShown != 0 && Inside(BarRect(bar->Kind), p)) {
      m.Result = ScrollBarUsable(*bar) ? (IsVert(*bar) ? HTVSCROLL : HTHSCROLL) : HTNOWHERE;
      return;
    }
  }
  if (Inside(BarRect(CornerKind), p) && SitsInParentCorner()) {
    m.Result = HTBOTTOMRIGHT;
    return;
  }
  m.Result = CallOldProc(m);
}

void TlxScrollWnd::WMNCMouseMove(TMessage& m) {
  const bool onBar = m.WParam == HTHSCROLL || m.WParam == HTVSCROLL;
  if (onBar) {
    TlxScrollState& s = ScrollState();
    const int kind = m.WParam == HTVSCROLL ? SB_VERT : SB_HORZ;
    // A bar of the same kind in another window is another bar: its hot part is not ours.
    const bool otherBar = kind != s.HotBarKind || s.ScrollStateWnd != Handle();
    s.ScrollStateWnd = Handle();
    if (otherBar) {
      s.LastHotPart = s.HotPart = sbpNone;
      s.HotBarRect = BarRect(kind);
      s.HotBarKind = kind;
      StartTimer(FHotTimer, ScrollHotTimer, HotInterval);
      s.HotTimerId = FHotTimer.Valid() ? ScrollHotTimer : 0;
    }
  }
  PassOn(m);
  // The system tracks the mouse over the bars it thinks it has and paints its own hot parts
  // there, so ours are painted again after it.
  if (onBar && !Defunct()) PaintScrollBars(nullptr);
}

void TlxScrollWnd::WMNCLButtonDown(TMessage& m) {
  if (m.WParam != HTHSCROLL && m.WParam != HTVSCROLL) {
    PassOn(m);
    return;
  }
  TlxScrollState& s = ScrollState();
  const bool vert = m.WParam == HTVSCROLL;
  TlxScrollBar& bar = *Bar(vert ? SB_VERT : SB_HORZ);
  const TPoint p = ScreenPointOf(m.LParam);
  s.ScrollStateWnd = Handle();
  s.PressedScrollMsg = vert ? WM_VSCROLL : WM_HSCROLL;
  s.PressedBarKind = bar.Kind;
  ReadInfo(bar);
  const int part = PartAt(bar, p);
  const bool usable = ScrollBarUsable(bar);
  m.Result = 0;
  // A disabled arrow, or a bar that cannot be used, ignores the press entirely.
  if ((part == sbpFirstArrow && (bar.Flags & sbfFirstArrowDisabled) != 0) ||
      (part == sbpSecondArrow && (bar.Flags & sbfSecondArrowDisabled) != 0) || (part == sbpThumb && !usable))
    return;
  if (part == sbpNone) {
    PassOn(m);
    return;
  }
  s.PressedPart = part;
  if (part == sbpThumb) {
    const TRect r = BarRect(bar.Kind);
    const TlxScrollBarLen b{Length(r, vert), ArrowOf(bar), bar.MinThumbSize};
    const TlxThumb thumb = ScrollThumb(CoreInfo(bar.Info), b);
    s.DragThumbSize = thumb.Size;
    s.DragThumbStart = s.DragStartThumb = Start(r, vert) + b.Arrow + thumb.Offset;
    s.DragBarRect = r;
    s.DragGrabOffset = (vert ? p.Y : p.X) - s.DragThumbStart;
    s.DragLastPos = bar.Info.nPos;
    bar.Info.nTrackPos = bar.Info.nPos;
    ThumbTracking = true;
    PaintScrollBars(nullptr);
  } else if (usable) {
    s.RepeatCommand = part;
    ScrollCommand(part, 0);
    // Painted after the command: the control's new scroll values repaint the system's bar.
    PaintScrollBars(nullptr);
    StartTimer(FRepeatTimer, ScrollFirstRepeatTimer, FirstRepeatInterval);
    s.RepeatTimerId = FRepeatTimer.Valid() ? ScrollFirstRepeatTimer : 0;
  }
  SetCapture(Handle());
}

void TlxScrollWnd::PressedMove(TPoint screen) {
  TlxScrollState& s = ScrollState();
  TlxScrollBar* bar = Bar(s.PressedBarKind);
  const int part = PartAt(*bar, screen);
  const int repeat = part == s.PressedPart ? part : sbpNone;
  if (repeat == s.RepeatCommand) return;
  s.RepeatCommand = repeat;
  PaintScrollBars(nullptr);
}

void TlxScrollWnd::DragThumb(TPoint screen) {
  TlxScrollState& s = ScrollState();
  TlxScrollBar& bar = *Bar(s.PressedBarKind);
  const bool vert = IsVert(bar);
  const TlxScrollBarLen b{Length(s.DragBarRect, vert), ArrowOf(bar), bar.MinThumbSize};
  const int trackStart = Start(s.DragBarRect, vert) + b.Arrow;
  const int highest = std::max(trackStart, trackStart + b.Track() - s.DragThumbSize);
  s.DragThumbStart = std::clamp((vert ? screen.Y : screen.X) - s.DragGrabOffset, trackStart, highest);
  const int pos = ScrollDragPos(CoreInfo(bar.Info), b, s.DragThumbSize, s.DragThumbStart - trackStart);
  if (pos != s.DragLastPos) {
    bar.Info.nTrackPos = pos;
    ScrollCommand(SB_THUMBTRACK, pos);
    s.DragLastPos = pos;
  }
  // Painted after the command, and both bars: a control that scrolls sets the scroll values of
  // both, and the system repaints its own bars for each.
  if (FHorzBar && FVertBar) PaintScrollBars(nullptr);
}

void TlxScrollWnd::WMMouseMove(TMessage& m) {
  const TlxScrollState& s = ScrollState();
  if (s.ScrollStateWnd != Handle() || s.PressedPart == sbpNone) {
    PassOn(m);
    return;
  }
  // The message's own point: a sent message leaves GetMessagePos behind.
  POINT p{LParamX(m.LParam), LParamY(m.LParam)};
  ClientToScreen(Handle(), &p);
  if (ThumbTracking)
    DragThumb(ToTPoint(p));
  else
    PressedMove(ToTPoint(p));
  m.Result = 0;
}

void TlxScrollWnd::WMLButtonUp(TMessage& m) {
  TlxScrollState& s = ScrollState();
  if (s.ScrollStateWnd != Handle() || s.PressedPart == sbpNone) {
    PassOn(m);
    return;
  }
  // TODO: the drop-down list of a combo box keeps the capture here and sends thumb codes of
  // its own on release; that comes with the combo-box list adapter, which does not exist yet.
  if (GetCapture() == Handle()) ReleaseCapture();
  int endPos = 0;
  if (s.PressedPart == sbpThumb) {
    ThumbTracking = false;
    ScrollCommand(SB_THUMBPOSITION, s.DragLastPos);
    endPos = s.DragLastPos;
  } else {
    FRepeatTimer.Reset();
  }
  ScrollCommand(SB_ENDSCROLL, endPos);
  s.PressedPart = s.RepeatCommand = s.PressedBarKind = sbpNone;
  s.PressedScrollMsg = 0;
  s.RepeatTimerId = 0;
  RefreshScrollInfo(true);
  // Foreign image views react to a stray button-up; theirs is kept from them.
  TControl* owner = SkinData()->OwnerControl();
  const std::string cls = owner != nullptr ? owner->ClassName() : "";
  if (cls == "TImageEnView" || cls == "TImageEnVect") {
    m.Result = 0;
    return;
  }
  PassOn(m);
}

void TlxScrollWnd::WMTimer(TMessage& m) {
  TlxScrollState& s = ScrollState();
  const bool ours = s.ScrollStateWnd == Handle();
  const bool repeat = ours && FRepeatTimer.Valid() && m.WParam == FRepeatTimer.Id();
  const bool hot = FHotTimer.Valid() && m.WParam == ScrollHotTimer;
  if (!repeat && !hot) {
    m.Result = CallOldProc(m);
  } else if (m.WParam == ScrollFirstRepeatTimer || m.WParam == ScrollRepeatTimer) {
    // The first delay ends with a repeat too: held, an arrow sends its second command after
    // the delay, then one per repeat period.
    if (m.WParam == ScrollFirstRepeatTimer) {
      StartTimer(FRepeatTimer, ScrollRepeatTimer, RepeatInterval);
      s.RepeatTimerId = FRepeatTimer.Valid() ? ScrollRepeatTimer : 0;
    }
    POINT p{};
    GetCursorPos(&p);
    PressedMove(ToTPoint(p));
    if (s.RepeatCommand != sbpNone) ScrollCommand(s.RepeatCommand, 0);
  } else if (!ours) {
    // Another window's bar took the program-wide state over.
    FHotTimer.Reset();
  } else if (!ThumbTracking) {
    POINT c{};
    GetCursorPos(&c);
    if (Inside(s.HotBarRect, ToTPoint(c)) && (s.HotBarKind == SB_HORZ || s.HotBarKind == SB_VERT)) {
      s.HotPart = PartAt(*Bar(s.HotBarKind), ToTPoint(c));
      if (s.HotPart != s.LastHotPart) PaintScrollBars(nullptr);
      s.LastHotPart = s.HotPart;
    } else {
      FHotTimer.Reset();
      s.HotTimerId = 0;
      s.HotBarKind = s.LastHotPart = s.HotPart = sbpNone;
      PaintScrollBars(nullptr);
    }
  }
  if (!ScrollInProgress && !ThumbTracking && !Defunct()) RefreshScrollInfo(true);
}

void TlxScrollWnd::WMNCPaint(TMessage& m) {
  // The system's frame painting draws its own bars where ours are (the styles still carry the
  // scroll bits), so ours come after it.
  m.Result = CallOldProc(m);
  if (Defunct()) return;
  TsCommonData* d = SkinData();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint == 0 && !ScrollInProgress) PaintScrollBars(nullptr);
}

void TlxScrollWnd::PassOn(TMessage& m) {
  TlxMainWnd::HandleMessage(m);
  FollowScrollInfo();
}

// ---------------------------------------------------------------------------------------------
// The window method.

// An unnamed framework combo box being rebuilt while hidden keeps its old window.
bool TlxScrollWnd::KeepsOldWindow() const {
  TsCommonData* d = SkinData();
  auto* combo = d != nullptr ? dynamic_cast<TCustomComboBox*>(d->OwnerControl()) : nullptr;
  return combo != nullptr && combo->Name().empty() && !IsWindowVisible(Handle());
}

void TlxScrollWnd::HandleMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: HandleDestroyMessage(m); return;
    case CM_RECREATEWND:
      if (KeepsOldWindow()) {
        m.Result = 0;
        return;
      }
      break;
    default: break;
  }
  if (Defunct()) return;
  TsCommonData* d = SkinData();
  if (d == nullptr || !d->HasSkin(false) || !FHorzBar || !FVertBar) {
    if (d != nullptr && m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdSkinLoaded &&
        IsFromOwnManager(m, d))
      d->ResolveSection();
    m.Result = CallOldProc(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    WMSkinCommand(m);
    return;
  }
  switch (m.Msg) {
    case WM_NOTIFY: m.Result = CallOldProc(m); return;
    case WM_STYLECHANGED: WMStyleChanged(m); return;
    case WM_NCCALCSIZE: WMNCCalcSize(m); return;
    case WM_NCHITTEST: WMNCHitTest(m); return;
    case WM_NCMOUSEMOVE: WMNCMouseMove(m); return;
    case WM_NCMOUSELEAVE:
      // The system paints its own bars back to normal when the mouse leaves them.
      PassOn(m);
      if (!Defunct()) PaintScrollBars(nullptr);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDown(m); return;
    case WM_MOUSEMOVE: WMMouseMove(m); return;
    case WM_LBUTTONUP: WMLButtonUp(m); return;
    case WM_TIMER: WMTimer(m); return;
    case WM_NCPAINT:
      if (IsWindowVisible(Handle())) {
        WMNCPaint(m);
        return;
      }
      break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSCOMMAND:
      if (LOWORD(m.WParam) == SysVertScroll) {
        m.Result = 0;
        return;
      }
      break;
    default: break;
  }
  PassOn(m);
  if (Defunct()) return;
  if (((m.Msg == WM_MOUSEWHEEL || m.Msg == CM_MOUSEWHEEL) && !ScrollInProgress) || m.Msg == CM_FOCUSCHANGED)
    RefreshScrollInfo(true);
}

// ---------------------------------------------------------------------------------------------
// The framework control's adapter.

void UpdateScrollWndAdapter(TsCommonData* data, std::unique_ptr<TlxScrollWnd>& adapter) {
  if (data == nullptr) return;
  auto* control = dynamic_cast<TWinControl*>(data->OwnerControl());
  if (control == nullptr || (control->ComponentState() & (csLoading | csDestroying | csDesigning)) != 0 ||
      !control->HandleAllocated())
    return;
  const HWND h = control->Handle();
  const TlxScrollEntries& e = ScrollEntries();
  if (data->HasSkin(false)) {
    if (e.UninitializeFlatSB != nullptr) e.UninitializeFlatSB(h);
    if (adapter && adapter->Defunct()) adapter.reset();
    if (!adapter)
      adapter =
          TlxMainWnd::CreateForHandle<TlxScrollWnd>(h, true, data->GetSkinSection(), data->GetSkinManager(), data);
  } else {
    ReleaseScrollWndAdapter(h, true, adapter);
    if (e.InitializeFlatSB != nullptr) e.InitializeFlatSB(h);
  }
}
