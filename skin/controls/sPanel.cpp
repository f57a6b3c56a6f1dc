// The skinned panel (see sPanel.h).
#include "skin/controls/sPanel.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sMessages.h"
#include "skin/paint/sColorMath.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"

ORBEX_IMPLEMENT_PUBLISHED(TsPanel, TPanel, &CreateComponentOf<TsPanel>)

void TsPanel::PublishProperties(TPublisher<TsPanel>& P) {
  P.Object("SkinData", &TsPanel::SkinData);
}

const char* PanelSectionOfBevel(TBevelCut bevel) {
  switch (bevel) {
    case bvNone: return "CHECKBOX";
    case bvLowered: return "PANEL_LOW";
    case bvRaised: return "PANEL";
    default: return "";
  }
}

TsPanel::TsPanel(TComponent* AOwner)
    : TPanel(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 51, true)), FOldBevel(BevelOuter()) {}

TsPanel::~TsPanel() = default;

void TsPanel::Loaded() {
  TPanel::Loaded();
  FSkinData->AfterLoad();
  FOldBevel = BevelOuter();
}

void TsPanel::FollowBevel() {
  // A stored panel's bevel and section arrive in any order: the stored bevel is the one
  // remembered, whatever section follows it.
  if (IsLoading()) FOldBevel = BevelOuter();
  if (BevelOuter() == FOldBevel) return;
  const std::string next = PanelSectionOfBevel(BevelOuter());
  if (!next.empty() && FSkinData->GetSkinSection() == PanelSectionOfBevel(FOldBevel))
    FSkinData->SetSkinSection(next);
  FOldBevel = BevelOuter();
}

bool TsPanel::Paintable() const {
  return HandleAllocated() && !IsDestroying();
}

TRect TsPanel::CaptionRect() const {
  TRect r = ClientRect();
  const int bevels = (BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0);
  const int d = BevelWidth() * bevels + BorderWidth();
  return TRect{r.Left + d, r.Top + d, r.Right - d, r.Bottom - d};
}

void TsPanel::Paint() {
  TPanel::Paint();
  if (Showing() && OnPaint) OnPaint(this, Canvas());
}

void TsPanel::PaintWindow(HDC DC) {
  if ((ControlState() & csPaintCopy) != 0 && FSkinData->HasSkin())
    PaintToDC(DC, true);
  else
    TPanel::PaintWindow(DC);
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TsPanel::WriteText(const TRect& r, TCanvas* ACanvas, HDC DC) {
  std::unique_ptr<TCanvas> own;
  if (ACanvas == nullptr) {
    if (DC == nullptr) return;
    own = std::make_unique<TCanvas>();
    own->SetHandle(DC);
    ACanvas = own.get();
  }
  const std::string text = Caption();
  if (!text.empty()) {
    ACanvas->Font()->Assign(Font());
    const UINT flags = TextAlignFlags(Alignment());
    RECT m = ToRECT(r);
    HDC tdc = ACanvas->GetHandle();
    {
      TSaveDC saved(tdc);
      ::SelectObject(tdc, ACanvas->Font()->GetHandle());
      ::DrawTextA(tdc, text.c_str(), static_cast<int>(text.size()), &m, flags | DT_CALCRECT | DT_WORDBREAK);
    }
    const int th = m.bottom - m.top;
    TRect t = r;
    t.Top = (r.Height() - th) / 2 + BorderWidth();
    t.Bottom = t.Top + th;
    TsSkinManager* sm = FSkinData->GetSkinManager();
    DrawSkinText(ACanvas, text, Enabled(), false, TextSkinInfoOf(sm, FSkinData->SectionIndex()),
                 flags | DT_WORDBREAK, t);
  }
  if (own) own->SetHandle(nullptr);
}

void TsPanel::PrepareCache() {
  TsCommonData* d = FSkinData.get();
  if (!d->NeedsOwnBackground() && !AnimationInProgress) return;
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() <= 0 || cache->GetHeight() <= 0) return;
  TsSkinManager* sm = d->GetSkinManager();
  PaintControlItemFromParent(this, d->SectionIndex(), sm != nullptr ? sm->Tables() : nullptr,
                             d->GetCustomColor() ? Color() : TColor(0xFF00FF), d->HueOffsetOf(), d->SaturationOf(),
                             cache, 0, sm != nullptr ? sm->MasterBitmap() : nullptr);
  WriteText(CaptionRect(), cache->Canvas(), nullptr);
  if (OnPaint) OnPaint(this, cache->Canvas());
  d->BGChanged = 0;
}

void TsPanel::PaintToDC(HDC DC, bool RefreshChildren) {
  TsCommonData* d = FSkinData.get();
  if (!Showing() || !d->HasSkin()) return;
  if (DC == nullptr) DC = Canvas()->GetHandle();
  const TRect full{0, 0, Width(), Height()};
  if ((d->NeedsOwnBackground() && !d->GetCustomColor()) || AnimationInProgress) {
    d->SetPaintLock(d->IsPaintLocked());
    if (d->HoldPaint == 0) {
      bool noted = d->PartlyHidden != 0 || d->BGChanged != 0;
      RECT clip{};
      ::GetClipBox(DC, &clip);
      d->PartlyHidden = (clip.left != 0 || clip.top != 0 || clip.right != full.Right || clip.bottom != full.Bottom) ? 1 : 0;
      TBitmap* cache = d->CacheBitmap();
      if (cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) noted = true;
      if (noted && d->UrgentPainting == 0) PrepareCache();
      CopyCacheExcludingChildren(this, d, full, 0, 0, false, DC, full);
      PaintGraphicChildren(DC, this);
    }
  } else {
    d->HoldPaint = 0;
    PaintDirect(DC);
  }
  if (RefreshChildren && (ControlState() & csPaintCopy) == 0)
    RefreshChildControls(this);
}

void TsPanel::PaintDirect(HDC DC) {
  TsCommonData* d = FSkinData.get();
  TsSkinManager* sm = d->GetSkinManager();
  const TsSkinTables* t = sm->Tables();
  const int w = Width(), h = Height();
  const int b = d->BorderWidth();
  {
    TSaveDC saved(DC);
    ExcludeChildControls(DC, this, 0, 0, false);
    TsBackgroundRequest req;
    req.Rect = TRect{0, 0, w, h};
    if (d->GetCustomColor()) {
      req.Kind = bkColor;
      req.Color = Color();
    } else if (Parent() != nullptr) {
      RequestControlBackground(req, Parent(), false);
    }
    d->EnsureCacheBitmap();
    TBitmap* cache = d->CacheBitmap();
    const TsGenState& s = SectionState(t->GeneralData[static_cast<size_t>(d->SectionIndex())], 0);
    const bool parentBitmap = s.Transparency >= 100 && req.Kind == bkBitmap && req.Bitmap != nullptr;
    TRect inner{b, b, w - b, h - b};
    if (b > 0) {
      PaintBorderToDC(DC, TRect{0, 0, w, h}, b, inner, 0, cache, this, t, d->SectionIndex(), d->BorderIndex(),
                      sm->MasterBitmap());
    }
    if (parentBitmap) {
      // The parent's image shows through the inside, as far as it reaches: a panel partly
      // outside its parent gets the overlapping part (the DC clips the other side).
      int dx = inner.Left, dy = inner.Top, sx = req.OffsetX + inner.Left, sy = req.OffsetY + inner.Top;
      int cw = inner.Width(), ch = inner.Height();
      if (sx < 0) { dx -= sx; cw += sx; sx = 0; }
      if (sy < 0) { dy -= sy; ch += sy; sy = 0; }
      cw = std::min(cw, req.Bitmap->GetWidth() - sx);
      ch = std::min(ch, req.Bitmap->GetHeight() - sy);
      if (cw > 0 && ch > 0) ::BitBlt(DC, dx, dy, cw, ch, req.Bitmap->Canvas()->GetHandle(), sx, sy, SRCCOPY);
    } else {
      const TColor c = d->GetCustomColor() && s.Transparency <= 0 ? (ColorToRGB(Color()) & 0xFFFFFF) : d->SectionColor(0, nullptr);
      TOwnedBrush brush(::CreateSolidBrush(static_cast<COLORREF>(c)));
      RECT fr = ToRECT(inner);
      ::FillRect(DC, &fr, brush.Get());
    }
    TCanvas canvas;
    canvas.SetHandle(DC);
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    WriteText(CaptionRect(), &canvas, nullptr);
    if (OnPaint) OnPaint(this, &canvas);
    canvas.SetHandle(nullptr);
    d->BGChanged = 0;
  }
  PaintGraphicChildren(DC, this);
}

// ---------------------------------------------------------------------------------------------
// Messages.

bool TsPanel::SkinCommandFirst(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (!SkinCommandAllowed(m.WParam, m.LParam)) return false;
  const bool own = IsFromOwnManager(m, d);
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
      SetControlStyle(ControlStyle() & ~csOpaque);
      BroadcastToChildControls(this, m);
      if (own) HandleCommonMessage(m, d);
      Invalidate();
      return true;
    case SkinCmdUnskin:
      SetControlStyle(ControlStyle() & ~csOpaque);
      if (own) {
        HandleCommonMessage(m, d);
        Invalidate();
      }
      BroadcastToChildControls(this, m);
      return true;
    case SkinCmdRedrawSkin:
      if (own) {
        HandleCommonMessage(m, d);
        if (HandleAllocated() && !IsLoading() && Visible()) {
          ::InvalidateRect(Handle(), nullptr, TRUE);
          ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        }
      }
      BroadcastToChildControls(this, m);
      return true;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdQueryBackground: {
      if (m.LParam == 0 || d->GetSkinManager() == nullptr || d->SectionIndex() < 0) return false;
      auto& req = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      d->ProvideBackground(req, 0, nullptr);
      if (ClientRect().Width() != Width() && req.Kind == bkBitmap && req.PaintToDC == 0) {
        const int bevels = (BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0);
        req.OffsetX += BevelWidth() * bevels + BorderWidth();
        req.OffsetY += BevelWidth() * bevels + BorderWidth();
      }
      m.Result = 1;
      return true;
    }
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return false;
  }
}

void TsPanel::WmPaint(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps{};
  const bool begun = dc == nullptr;
  if (begun) dc = ::BeginPaint(Handle(), &ps);
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint == 0) {
    TSaveDC saved(dc);
    SetControlState(ControlState() | csCustomPaint);
    TCanvasLock lock(*Canvas());
    FCanvas->FreeHandle();
    {
      TCanvasDC bound(*Canvas(), dc);
      PaintToDC(dc, true);
    }
    SetControlState(ControlState() & ~csCustomPaint);
  } else if (!ParentBackground()) {
    PaintToDC(dc, true);
  }
  if (begun) ::EndPaint(Handle(), &ps);
  m.Result = 0;
}

void TsPanel::WmEraseBkgnd(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (m.WParam == static_cast<WPARAM>(m.LParam) && m.WParam != 0) {
    // The engine's own erase into a buffer: the cache as it stands.
    if (d->BGChanged != 0) PrepareCache();
    TBitmap* cache = d->CacheBitmap();
    if (cache != nullptr && cache->GetWidth() == Width() && cache->GetHeight() == Height()) {
      ::BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    } else {
      TOwnedBrush brush(::CreateSolidBrush(GetWindowColor(Parent() != nullptr ? Parent()->Handle() : nullptr)));
      RECT r{0, 0, Width(), Height()};
      ::FillRect(dc, &r, brush.Get());
    }
  } else if (d->HoldPaint == 0 && dc != nullptr) {
    PaintToDC(dc, true);
  }
  m.Result = 1;
}

void TsPanel::WndProc(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  // Every repaint request checks the bevel, skinned or not, with or without a window, so the
  // section is right by the time a skin arrives.
  if (m.Msg == CM_INVALIDATE) FollowBevel();
  if (m.Msg == WM_SKINCOMMAND && SkinCommandFirst(m)) {
    // answered
  } else if (Paintable() && d->HasSkin()) {
    bool done = true;
    if (m.Msg == WM_SKINCOMMAND) {
      if (SkinCommandOf(m.WParam) == SkinCmdResumePaint) {
        if (d->HoldPaint != 0) {
          d->SetPaintLock(d->IsPaintLocked());
          if (d->HoldPaint == 0)
            ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        }
        RefreshChildControls(this);
      } else if (SkinCommandOf(m.WParam) == SkinCmdIsHeld) {
        TBitmap* cache = d->CacheBitmap();
        if (d->IsPaintLocked())
          m.Result = 1;
        else if (cache != nullptr && cache->GetWidth() == Width() && cache->GetHeight() == Height())
          m.Result = 0;
        else
          m.Result = !d->GetCustomColor() ? 1 : 0;
      } else if (!HandleCommonMessage(m, d)) {
        TPanel::WndProc(m);
      }
    } else {
      switch (m.Msg) {
        case WM_PAINT:
          if (!Visible()) { done = false; break; }
          WmPaint(m);
          break;
        case WM_ERASEBKGND: WmEraseBkgnd(m); break;
        case WM_PRINT:
          d->HoldPaint = 0;
          PrepareCache();
          PaintToDC(reinterpret_cast<HDC>(m.WParam), false);
          break;
        case WM_SIZE: d->BGChanged = 1; done = false; break;
        case WM_WINDOWPOSCHANGING:
          if (d->SectionIndex() >= 0 &&
              SectionState(d->GetSkinManager()->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())], 0)
                      .Transparency > 0)
            d->BGChanged = 1;
          done = false;
          break;
        case WM_SETFOCUS: case WM_KILLFOCUS: TPanel::WndProc(m); break;
        case CM_VISIBLECHANGED: d->BGChanged = 1; d->HoldPaint = 0; TPanel::WndProc(m); break;
        case CM_COLORCHANGED: if (d->GetCustomColor()) d->BGChanged = 1; done = false; break;
        case CM_SHOWINGCHANGED:
          // Shown during a form's animation: paint into its picture instead of waiting.
          if (AnimationInProgress && Visible()) d->HoldPaint = 0;
          done = false;
          break;
        case CM_TEXTCHANGED:
          if (Parent() != nullptr) {
            d->BGChanged = 1;
            d->RequestRepaint();
          }
          break;
        default: done = false; break;
      }
    }
    if (!done) {
      if (!HandleCommonMessage(m, d)) TPanel::WndProc(m);
      if (m.Msg == WM_SETFONT && !Caption().empty()) {
        d->BGChanged = 1;
        Repaint();
      } else if (m.Msg == CM_ENABLEDCHANGED) {
        d->BGChanged = 1;
        d->RequestRepaint();
      }
    }
  } else if (m.Msg == WM_ERASEBKGND && OnPaint) {
    m.Result = 1;
  } else if (m.Msg == WM_PRINT && OnPaint) {
    OnPaint(this, Canvas());
    if (m.WParam != 0 && Canvas()->HandleAllocated())
      ::BitBlt(reinterpret_cast<HDC>(m.WParam), 0, 0, Width(), Height(), Canvas()->GetHandle(), 0, 0, SRCCOPY);
  } else {
    if (!HandleContainerMessage(m, d, this)) TPanel::WndProc(m);
  }
  if (m.Msg == CM_MOUSEENTER && OnMouseEnter) OnMouseEnter(this);
  if (m.Msg == CM_MOUSELEAVE && OnMouseLeave) OnMouseLeave(this);
}

void InitPanelUnit() { RegisterClassOf<TsPanel>(); }
