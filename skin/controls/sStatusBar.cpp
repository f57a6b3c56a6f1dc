// The skinned status bar (see sStatusBar.h).
#include "skin/controls/sStatusBar.h"

#include <algorithm>

#include <commctrl.h>

#include "framework/base/TypInfo.h"
#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/win/sAlphaGraphWin.h"

ORBEX_IMPLEMENT_PUBLISHED(TsStatusBar, TStatusBar, &CreateComponentOf<TsStatusBar>)

void TsStatusBar::PublishProperties(TPublisher<TsStatusBar>& P) {
  P.Object("SkinData", &TsStatusBar::SkinData);
}

std::vector<TRect> StatusPanelRects(const std::vector<int>& panelWidths, bool simple, bool grip, int width,
                                    int height) {
  const int right = width - (grip ? StatusGripWidth : 0);
  if (simple || panelWidths.empty()) return {TRect{0, 1, right - 1, height - 1}};
  std::vector<TRect> rects;
  int x = 0;
  for (size_t i = 0; i < panelWidths.size(); ++i) {
    const bool last = i + 1 == panelWidths.size();
    const int r = last ? right : x + panelWidths[i];
    rects.push_back(TRect{x, 0, r, height});
    x = r;
  }
  return rects;
}

int StatusPanelMask(const TsSkinTables* t, const TsCommonData* data) {
  return FindMaskEntry(t, data->SectionIndex(), data->GetSkinSection(), "STATUSPANELMASK");
}

int StatusDividerMask(const TsSkinTables* t) {
  const int divider = FindSectionIndex(t, "DIVIDER");
  return divider >= 0 ? FindMaskEntry(t, divider, "DIVIDER", "BORDERSMASK") : -1;
}

void PaintStatusPartFrame(TBitmap* cache, const TsSkinTables* t, TBitmap* master, const TsStatusPartFrame& p) {
  const TsBackgroundInfo self{cache, 0, 0, 0xFF00FF, 1};
  const int height = cache->GetHeight();
  if (MaskIndexInRange(t, p.PanelMask)) {
    PaintMaskFrame(cache, p.Simple ? TRect{0, 0, cache->GetWidth(), height} : p.Inner, true, 0,
                   t->MaskData[static_cast<size_t>(p.PanelMask)], self, master);
  } else if (!p.Last && MaskIndexInRange(t, p.DividerMask)) {
    const TsMaskData& m = t->MaskData[static_cast<size_t>(p.DividerMask)];
    const int w = std::max(2, MaskBorderLeft(t, p.DividerMask) + MaskBorderRight(t, p.DividerMask));
    const int x = p.Part.Right - w / 2;
    PaintMaskFrame(cache, TRect{x, 1, x + w, height - 1}, true, 0, m, self, master);
  }
}

TsStatusBar::TsStatusBar(TComponent* AOwner)
    : TStatusBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 151, true)) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

TsStatusBar::~TsStatusBar() = default;

void TsStatusBar::Loaded() {
  TStatusBar::Loaded();
  FSkinData->AfterLoad();
}

bool TsStatusBar::GripShown() {
  if (!SizeGrip()) return false;
  return !HandleAllocated() || (::GetWindowLongA(Handle(), GWL_STYLE) & SBARS_SIZEGRIP) != 0;
}

std::vector<TRect> TsStatusBar::PanelRects() {
  bool simple = SimplePanel();
  if (HandleAllocated()) simple = ::SendMessageA(Handle(), SB_ISSIMPLE, 0, 0) != 0;
  std::vector<int> widths;
  for (int i = 0; i < std::min(Panels()->Count(), 255); ++i) widths.push_back(Panels()->Items(i)->Width());
  return StatusPanelRects(widths, simple, GripShown(), Width(), Height());
}

std::string TsStatusBar::PanelText(int i) {
  std::string text;
  if (!HandleAllocated()) {
    text = i < 0 ? SimpleText() : Panels()->Items(i)->Text();
  } else {
    const WPARAM part = i < 0 ? SB_SIMPLEID : static_cast<WPARAM>(i);
    const int len = LOWORD(::SendMessageA(Handle(), SB_GETTEXTLENGTHA, part, 0));
    text.assign(static_cast<size_t>(len) + 1, '\0');
    ::SendMessageA(Handle(), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min(text.find('\0'), static_cast<size_t>(len)));
  }
  // The alignment travels as leading tabs; the panel's own alignment is used instead.
  text.erase(0, text.find_first_not_of('\t') == std::string::npos ? text.size() : text.find_first_not_of('\t'));
  return text;
}

void TsStatusBar::RebuildCache() {
  TsCommonData* d = FSkinData.get();
  TsSkinManager* sm = d->GetSkinManager();
  if (sm == nullptr || !d->HasSkin()) return;
  const TsSkinTables* t = sm->Tables();
  TBitmap* master = sm->MasterBitmap();
  // 1. A bar reaching out of its parent's client area is partly hidden: rebuilt at every paint.
  if (Parent() != nullptr) {
    const TRect pc = Parent()->ClientRect();
    const bool inside = Left() >= 0 && Top() >= 0 && Left() + Width() <= pc.Right && Top() + Height() <= pc.Bottom;
    d->PartlyHidden = inside ? 0 : 1;
  }
  // 2. The parent's background under the section.
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() <= 0 || cache->GetHeight() <= 0) return;
  PaintControlItemFromParent(this, d->SectionIndex(), t, d->GetCustomColor() ? Color() : TColor(0xFF00FF),
                             d->HueOffsetOf(), d->SaturationOf(), cache, 0, master);
  // 3. - 5. Panels.
  const int panelMask = StatusPanelMask(t, d);
  const int dividerMask = StatusDividerMask(t);
  std::vector<TRect> rects = PanelRects();
  const bool simple = rects.size() == 1 && (Panels()->Count() == 0 || (HandleAllocated() &&
                                            ::SendMessageA(Handle(), SB_ISSIMPLE, 0, 0) != 0));
  TCanvas* canvas = cache->Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const TsTextSkinInfo info = TextSkinInfoOf(sm, d->SectionIndex());
  const TsBackgroundInfo self{cache, 0, 0, 0xFF00FF, 1};
  for (size_t i = 0; i < rects.size(); ++i) {
    TRect r{rects[i].Left + 1, rects[i].Top + 1, rects[i].Right - 1, rects[i].Bottom - 1};
    PaintStatusPartFrame(cache, t, master, TsStatusPartFrame{rects[i], r, i + 1 == rects.size(), simple, panelMask,
                                                             dividerMask});
    TStatusPanel* panel = simple ? nullptr : Panels()->Items(static_cast<int>(i));
    if (panel != nullptr && panel->Style() == psOwnerDraw && OnDrawPanel) {
      // The handler draws on the bar's canvas, which points into the cache meanwhile.
      TSaveDC saved(canvas->GetHandle());
      TCanvasDC bound(*Canvas(), canvas->GetHandle());
      Canvas()->Font()->Assign(Font());
      OnDrawPanel(this, panel, r);
      continue;
    }
    static constexpr UINT AlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_SINGLELINE | DT_VCENTER | AlignFlags[panel != nullptr ? panel->Alignment() : taLeftJustify];
    if ((::GetWindowLongA(HandleAllocated() ? Handle() : nullptr, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0)
      flags |= DT_RTLREADING;
    const TRect tr{r.Left + 2, r.Top, r.Right - 4, r.Bottom - 1};
    DrawSkinText(canvas, PanelText(simple ? -1 : static_cast<int>(i)), true, false, info, flags, tr);
  }
  // 6. The size grip in the bottom-right corner.
  const int grip = t->CommonIndexes.GripImage;
  if (GripShown() && MaskIndexInRange(t, grip)) {
    const TsMaskData& m = t->MaskData[static_cast<size_t>(grip)];
    const int b = d->BorderWidth();
    DrawMaskState(cache, TPoint{Width() - b - MaskFrameWidth(m), Height() - b - MaskFrameHeight(m)}, 0, self, t,
                  grip, 0, master);
  }
  d->BGChanged = 0;
}

bool TsStatusBar::CacheStale() {
  TsCommonData* d = FSkinData.get();
  TBitmap* cache = d->CacheBitmap();
  if (d->BGChanged != 0 || d->PartlyHidden != 0 || cache == nullptr || cache->GetWidth() != Width() ||
      cache->GetHeight() != Height())
    return true;
  return Parent() != nullptr && Parent()->HandleAllocated() &&
         SendSkinCommand(Parent()->Handle(), SkinCmdIsPartlyHidden) != 0;
}

void TsStatusBar::PaintFrameTo(HDC DC) {
  TsCommonData* d = FSkinData.get();
  if (!Visible() || d->IsPaintLocked()) return;
  if (d->UrgentPainting == 0) RebuildCache();
  TBitmap* cache = d->CacheBitmap();
  const int b = d->BorderWidth();
  if (b <= 0 || cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) return;
  CopyBorderStrips(DC, 0, 0, b, 0, 0, cache->Canvas()->GetHandle(), Height(), Width());
}

void TsStatusBar::PaintCacheTo(HDC DC) {
  TsCommonData* d = FSkinData.get();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  if (CacheStale() && d->UrgentPainting == 0) RebuildCache();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) return;
  // The client shows its part of the cache. Without a system frame the border ring lies in the
  // client too, and a client repaint brings no WM_NCPAINT, so the ring is copied with it.
  CopyCacheExcludingChildren(this, d, ClientRectInWindow(Handle()), 0, 0, false, DC, ClientRect());
  PaintGraphicChildren(DC, this);
  RefreshChildControls(this);
}

bool TsStatusBar::SkinCommandFirst(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (!SkinCommandAllowed(m.WParam, m.LParam)) return false;
  const std::uint16_t command = SkinCommandOf(m.WParam);
  switch (command) {
    case SkinCmdSkinLoaded:
    case SkinCmdRedrawSkin:
    case SkinCmdUnskin:
      // Only the bar's own manager restyles it.
      if (!IsFromOwnManager(m, d)) {
        m.Result = 0;
        return true;
      }
      if (command == SkinCmdUnskin) {
        HandleCommonMessage(m, d);
        if (HandleAllocated()) RecreateWnd();
        BroadcastToChildControls(this, m);
      } else {
        BroadcastToChildControls(this, m);
        HandleCommonMessage(m, d);
        d->BGChanged = 1;
        if (command == SkinCmdRedrawSkin && HandleAllocated()) {
          ::InvalidateRect(Handle(), nullptr, TRUE);
          ::SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        }
      }
      return true;
    case SkinCmdResumePaint:
      if (d->HoldPaint != 0) {
        d->HoldPaint = 0;
        if (HandleAllocated()) {
          ::InvalidateRect(Handle(), nullptr, TRUE);
          ::SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        }
      }
      return true;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return false;
  }
}

void TsStatusBar::WndProc(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (m.Msg == WM_SKINCOMMAND && SkinCommandFirst(m)) return;
  if (d->HasSkin() && HandleAllocated() && !IsDestroying()) {
    switch (m.Msg) {
      case WM_SETTEXT:
        // Any text change leaves the cache stale, whatever the section's fill.
        d->BGChanged = 1;
        break;
      case WM_PAINT: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (dc != nullptr) {
          if (!SkinLoading) PaintCacheTo(dc);
        } else {
          TPaintDC paint(Handle());
          // While a skin is loaded its sections are not to be read; the new skin repaints.
          if (!SkinLoading) PaintCacheTo(paint.Get());
        }
        m.Result = 0;
        return;
      }
      case WM_ERASEBKGND:
        if (d->HoldPaint == 0 && d->BGChanged == 0 && m.WParam != 0) {
          TBitmap* cache = d->CacheBitmap();
          if (cache != nullptr && cache->GetWidth() == Width() && cache->GetHeight() == Height()) {
            const TRect full{0, 0, Width(), Height()};
            CopyCacheExcludingChildren(this, d, full, 0, 0, false, reinterpret_cast<HDC>(m.WParam), full);
            PaintGraphicChildren(reinterpret_cast<HDC>(m.WParam), this);
          }
        }
        m.Result = 1;
        return;
      case WM_NCPAINT: {
        TWindowDC dc(Handle(), TWindowDC::TArea::Window);
        if (dc.Valid()) PaintFrameTo(dc.Get());
        m.Result = 0;
        return;
      }
      case WM_PRINT:
        if (m.WParam != 0) {
          const HDC dc = reinterpret_cast<HDC>(m.WParam);
          d->BGChanged = 1;
          PaintFrameTo(dc);
          TSaveDC saved(dc);
          const TRect client = ClientRectInWindow(Handle());
          POINT old{};
          ::OffsetViewportOrgEx(dc, client.Left, client.Top, &old);
          ::IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
          PaintCacheTo(dc);
        }
        m.Result = 0;
        return;
      case WM_PRINTCLIENT:
        if (m.WParam != 0) PaintCacheTo(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
      default: break;
    }
  }
  if (!HandleCommonMessage(m, d)) TStatusBar::WndProc(m);
  switch (m.Msg) {
    case WM_SIZE:
      d->BGChanged = 1;
      if (d->HasSkin() && d->BorderWidth() > 0 && HandleAllocated()) ::SendMessageA(Handle(), WM_NCPAINT, 0, 0);
      break;
    case SB_SETTEXTA:
    case SB_SIMPLE:
    case SB_GETRECT:
    case SB_SETTEXTW:
      d->BGChanged = 1;
      break;
    default: break;
  }
}

void InitStatusBarUnit() { RegisterClassOf<TsStatusBar>(); }
