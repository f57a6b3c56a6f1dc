// The skinned cool bar (see sCoolBar.h).
//
// Sections: set-up and geometry; painting; messages; registration.
#include "skin/controls/sCoolBar.h"

#include "framework/base/TypInfo.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"
#include "framework/win/Messages.h"
#include "skin/core/sCoolBarLayout.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

// The band's control shows: it is visible, or the bar is being designed.
bool ControlShown(const TCoolBand* band, const TCoolBar* bar) {
  return band->Control() != nullptr && (band->Control()->Visible() || Designing(bar));
}

}  // namespace

ORBEX_IMPLEMENT_PUBLISHED(TsCoolBar, TCoolBar, &CreateComponentOf<TsCoolBar>)

void TsCoolBar::PublishProperties(TPublisher<TsCoolBar>& P) {
  P.Object("SkinData", &TsCoolBar::SkinData);
}

// ---------------------------------------------------------------------------------------------
// Set-up and geometry.

TsCoolBar::TsCoolBar(TComponent* AOwner)
    : TCoolBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 53, true)) {
  SetupGrip();
}

TsCoolBar::~TsCoolBar() = default;

void TsCoolBar::AfterConstruction() {
  TCoolBar::AfterConstruction();
  FSkinData->AfterLoad();
}

void TsCoolBar::Loaded() {
  TCoolBar::Loaded();
  FSkinData->AfterLoad();
  SetupGrip();
  if (FSkinData->HasSkin()) UpdateBands();
}

void TsCoolBar::SetupGrip() {
  FGripIndex = FGripBorder = FGripTexture = -1;
  TsSkinManager* m = FSkinData->GetSkinManager();
  if (!FSkinData->HasSkin(false) || m == nullptr) return;
  const TsSkinTables* t = m->Tables();
  FGripName = Vertical() ? "GRIPV" : "GRIPH";
  FGripIndex = FindSectionIndex(t, FGripName);
  if (FGripIndex < 0) {
    FGripName = "PROGRESSV";
    FGripIndex = FindSectionIndex(t, FGripName);
  }
  if (FGripIndex < 0) return;
  FGripBorder = FindMaskEntry(t, FGripIndex, FGripName, "BORDERSMASK");
  // A progress section's own texture, when it has one, looks as its bar does.
  FGripTexture = FindTextureEntry(t, FGripIndex, FGripName, "PATTERN");
}

int TsCoolBar::GripWidth(const TCoolBand* band) const {
  return BandGripWidth(TsBandGripQuery{FixedOrder(), band->Index(), band->FixedSize() || FixedSize(),
                                       static_cast<std::uint32_t>(GetComCtlVersion())});
}

std::string TsCoolBar::ShownText(const TCoolBand* band) const { return ShowText() ? band->Text() : std::string(); }

int TsCoolBar::HeaderSize(const TCoolBand* band) {
  if (band == nullptr) return 0;
  TsBandHeaderQuery q;
  q.Hidden = !band->Visible() && !Designing(this);
  q.Vertical = Vertical();
  const std::string text = ShownText(band);
  q.HasText = !text.empty();
  if (q.HasText) {
    // Measured in the bar's font, as the header draws it.
    std::unique_ptr<TBitmap> probe = CreateBitmap32(1, 1);
    probe->Canvas()->Font()->Assign(Font());
    q.TextWidth = probe->Canvas()->TextWidth(text);
    q.TextHeight = probe->Canvas()->TextHeight(text);
  }
  q.ImageIndex = band->ImageIndex();
  q.HasImages = Images() != nullptr;
  if (q.HasImages) {
    q.ImageWidth = Images()->GetWidth();
    q.ImageHeight = Images()->GetHeight();
  }
  q.GripWidth = GripWidth(band);
  return BandHeaderSize(q);
}

int TsCoolBar::BandHeaderRoom(const TCoolBand* band) {
  return FSkinData->HasSkin() ? HeaderSize(band) : -1;
}

TPoint TsCoolBar::ClientOffset() {
  POINT p{0, 0};
  RECT w{};
  ::ClientToScreen(Handle(), &p);
  ::GetWindowRect(Handle(), &w);
  return TPoint{p.x - w.left, p.y - w.top};
}

TRect TsCoolBar::HeaderRect(int index) {
  TCoolBand* band = Bands()->Items(index);
  if (!ControlShown(band, this)) return TRect{};
  TWinControl* c = band->Control();
  const int size = HeaderSize(band);
  RECT br{};
  ::SendMessageA(Handle(), RB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&br));
  if (Vertical()) {
    const int bandW = br.right > br.left ? br.right - br.left : c->Width();
    const int left = std::min(c->Left() - (bandW - c->Width()) / 2, c->Left());
    return TRect{left, c->Top() - size, left + bandW, c->Top()};
  }
  const int bandH = br.bottom > br.top ? br.bottom - br.top : c->Height();
  const int top = std::min(c->Top() - (bandH - c->Height()) / 2, c->Top());
  return TRect{c->Left() - size, top, c->Left(), top + bandH};
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TsCoolBar::PrepareCache() { PaintCacheFromParent(this, FSkinData.get()); }

void TsCoolBar::CopyFrame(HDC DC) { CopyCacheFrame(this, FSkinData.get(), DC); }

void TsCoolBar::PaintBandHeader(HDC DC, int index, const TPoint& offset) {
  const TRect area = HeaderRect(index);
  if (area.IsEmpty()) return;
  TCoolBand* band = Bands()->Items(index);
  TsSkinManager* m = FSkinData->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  std::unique_ptr<TBitmap> work = CreateBitmap32(area.Width(), area.Height());
  HDC w = work->Canvas()->GetHandle();
  ::BitBlt(w, 0, 0, area.Width(), area.Height(), FSkinData->CacheBitmap()->Canvas()->GetHandle(),
           area.Left + offset.X, area.Top + offset.Y, SRCCOPY);
  const int grip = GripWidth(band);
  const bool vertical = Vertical();
  if (FGripIndex >= 0 && grip > 2) {
    const TsBackgroundInfo behind{work.get(), 0, 0, 0xFF00FF, 1};
    const TRect r = vertical ? TRect{0, 0, area.Width(), grip - 2} : TRect{0, 0, grip - 2, area.Height()};
    PaintSectionItem(FGripIndex, FGripName, behind, -1, FGripTexture, t, work.get(), TPoint{0, 0}, r, 0,
                     m->MasterBitmap());
  }
  TRect text = vertical ? TRect{0, grip, area.Width(), area.Height()} : TRect{grip, 0, area.Width(), area.Height()};
  if (Images() != nullptr && band->ImageIndex() >= 0) {
    Images()->SetDrawingStyle(TDrawingStyle::dsTransparent);
    const int iw = Images()->GetWidth(), ih = Images()->GetHeight();
    if (vertical) {
      Images()->Draw(work->Canvas(), (area.Width() - iw) / 2, grip, band->ImageIndex());
      text.Top += ih + 2;
    } else {
      Images()->Draw(work->Canvas(), grip, (area.Height() - ih) / 2, band->ImageIndex());
      text.Left += iw + 2;
    }
  }
  // The text is drawn, never made the bar's own: its caption stays as it is.
  const std::string caption = ShownText(band);
  if (!caption.empty()) {
    work->Canvas()->Font()->Assign(Font());
    DrawSkinText(work->Canvas(), caption, true, false, TextSkinInfoOf(m, FSkinData->SectionIndex()),
                 DT_VCENTER | DT_SINGLELINE | DT_NOCLIP, text);
  }
  ::BitBlt(DC, area.Left, area.Top, area.Width(), area.Height(), w, 0, 0, SRCCOPY);
}

void TsCoolBar::PaintToDC(HDC DC, bool RefreshChildren) {
  TsCommonData* d = FSkinData.get();
  if (IsDestroying() || !HandleAllocated() || (Parent() != nullptr && (Parent()->ControlState() & csPaintCopy) != 0) ||
      !d->HasSkin())
    return;
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  // 1. The cache is rebuilt when the bar was partly hidden or its background changed.
  bool noted = d->PartlyHidden != 0 || d->BGChanged != 0;
  RECT clip{};
  const TRect client = ClientRect();
  if (DC != nullptr && ::GetClipBox(DC, &clip) != NULLREGION &&
      (clip.left > 0 || clip.top > 0 || clip.right < client.Right || clip.bottom < client.Bottom)) {
    const TRect p = Parent() != nullptr ? Parent()->ClientRect() : TRect{};
    auto inside = [&p](int x, int y) { return x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom; };
    d->PartlyHidden = inside(Left() + 1, Top() + 1) && inside(Left() + Width() - 1, Top() + Height() - 1) ? 0 : 1;
  } else {
    d->PartlyHidden = 0;
  }
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) noted = true;
  if (noted && d->UrgentPainting == 0) PrepareCache();
  TsSkinManager* m = d->GetSkinManager();
  FillControlCorners(d->CacheBitmap(), this, m->Tables(), d->BorderIndex(), 0, m->MasterBitmap());
  if (DC == nullptr) return;
  // 2. The cache beneath the client area, leaving the band headers and the children out.
  const TPoint o = ClientOffset();
  {
    TSaveDC saved(DC);
    for (int i = 0; i < Bands()->Count(); ++i) {
      const TRect h = HeaderRect(i);
      if (!h.IsEmpty()) ::ExcludeClipRect(DC, h.Left, h.Top, h.Right, h.Bottom);
    }
    CopyCacheExcludingChildren(this, d, TRect{o.X, o.Y, o.X + client.Width(), o.Y + client.Height()}, 0, 0, false,
                               DC, client);
  }
  PaintGraphicChildren(DC, this);
  for (int i = 0; i < Bands()->Count(); ++i) PaintBandHeader(DC, i, o);
  if (RefreshChildren) RefreshChildControls(this);
}

// ---------------------------------------------------------------------------------------------
// Messages.

void TsCoolBar::EraseForChild(HDC DC) {
  // A see-through band control (a flat tool bar) has the bar erase its background into its
  // own DC, moved to the bar's coordinates: it gets the bar's face. The bar's own erase draws
  // nothing; its paint covers everything.
  HWND target = DC != nullptr ? ::WindowFromDC(DC) : nullptr;
  if (target == nullptr || target == Handle() || ::GetParent(target) != Handle()) return;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (FSkinData->BGChanged != 0 || cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height())
    PrepareCache();
  cache = FSkinData->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) return;
  const TPoint o = ClientOffset();
  ::BitBlt(DC, 0, 0, ClientWidth(), ClientHeight(), cache->Canvas()->GetHandle(), o.X, o.Y, SRCCOPY);
}

void TsCoolBar::WMPaint(TMessage& m) {
  HDC given = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps{};
  HDC painted = ::BeginPaint(Handle(), &ps);
  HDC dc = given != nullptr ? given : painted;
  if (dc != nullptr && !AnimationInProgress) {
    TSaveDC saved(dc);
    PaintToDC(dc, true);
  }
  ::EndPaint(Handle(), &ps);
  m.Result = 0;
}

void TsCoolBar::WMNCPaint(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  m.Result = 0;
  if (AnimationInProgress) return;
  d->SetPaintLock(d->IsPaintLocked());
  if (IsDestroying() || d->HoldPaint != 0) return;
  TWindowDC dc(Handle(), TWindowDC::TArea::Window);
  if (!dc.Valid()) return;
  const TPoint o = ClientOffset();
  ::ExcludeClipRect(dc.Get(), o.X, o.Y, o.X + ClientWidth(), o.Y + ClientHeight());
  if (d->BGChanged != 0) PrepareCache();
  CopyFrame(dc.Get());
}

void TsCoolBar::WMPrint(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  d->HoldPaint = 0;
  if (dc == nullptr) return;
  if (d->BGChanged != 0) PrepareCache();
  CopyFrame(dc);
  const TPoint o = ClientOffset();
  TSaveDC saved(dc);
  POINT old{};
  ::OffsetViewportOrgEx(dc, o.X, o.Y, &old);
  ::IntersectClipRect(dc, 0, 0, ClientWidth(), ClientHeight());
  PaintToDC(dc, true);
  for (int i = 0; i < Bands()->Count(); ++i) {
    TWinControl* c = Bands()->Items(i)->Control();
    if (c == nullptr || !c->HandleAllocated() || !ControlShown(Bands()->Items(i), this)) continue;
    TSaveDC inner(dc);
    POINT before{};
    ::OffsetViewportOrgEx(dc, c->Left(), c->Top(), &before);
    ::IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    ::SendMessageA(c->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  m.Result = 0;
}

bool TsCoolBar::SkinCommand(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (!SkinCommandAllowed(m.WParam, m.LParam)) return false;
  const bool own = IsFromOwnManager(m, d);
  const bool design = Designing(this);
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
      if (!BarSkinLoaded(m, d, this)) return false;
      SetupGrip();
      UpdateBands();
      return true;
    case SkinCmdUnskin:
      if (!own) return false;
      HandleCommonMessage(m, d);
      SetupGrip();
      UpdateBands();
      if (HandleAllocated()) {
        if (!design) ResetWindowTheme(Handle());
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
      }
      BroadcastToChildControls(this, m);
      return true;
    case SkinCmdRedrawSkin:
      if (!own) return false;
      if (!design && HandleAllocated()) SwitchOffWindowTheme(Handle());
      HandleCommonMessage(m, d);
      BroadcastToChildControls(this, m);
      Perform(CM_CHANGED, 0, 0);
      if (HandleAllocated())
        ::RedrawWindow(Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      for (int i = 0; i < Bands()->Count(); ++i)
        if (TWinControl* c = Bands()->Items(i)->Control()) c->Perform(m.Msg, m.WParam, m.LParam);
      return true;
    case SkinCmdBackgroundWithOffset:
    case SkinCmdQueryBackground: {
      if (m.LParam == 0 || !d->HasSkin()) return false;
      auto& req = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      d->ProvideBackground(req, 0, nullptr);
      const TPoint o = HandleAllocated() ? ClientOffset() : TPoint{};
      if (SkinCommandOf(m.WParam) == SkinCmdBackgroundWithOffset) {
        req.OffsetX = o.X;
        req.OffsetY = o.Y;
      } else if (req.Kind == bkBitmap && req.PaintToDC == 0) {
        req.OffsetX += o.X;
        req.OffsetY += o.Y;
      }
      m.Result = 1;
      return true;
    }
    case SkinCmdResumePaint:
      d->HoldPaint = 0;
      d->BGChanged = 1;
      if (HandleAllocated()) ::RedrawWindow(Handle(), nullptr, nullptr, 0x707);
      RefreshChildControls(this);
      return true;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdIsHeld: m.Result = d->HoldPaint; return true;
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return HandleSkinCommand(m, d);
  }
}

void TsCoolBar::WndProc(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (m.Msg == WM_SKINCOMMAND) {
    if (!SkinCommand(m)) TCoolBar::WndProc(m);
    return;
  }
  const bool skinned = d->HasSkin() && HandleAllocated() && !IsDestroying();
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!skinned) break;
      EraseForChild(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PAINT:
      if (!skinned) break;
      WMPaint(m);
      return;
    case WM_NCPAINT:
      if (!skinned) break;
      WMNCPaint(m);
      return;
    case WM_PRINT:
      if (!skinned) break;
      WMPrint(m);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: TCoolBar::WndProc(m); return;
    case CM_VISIBLECHANGED:
      d->BGChanged = 1;
      TCoolBar::WndProc(m);
      if (!d->IsPaintLocked()) Repaint();
      return;
    default: break;
  }
  if (!HandleCommonMessage(m, d)) TCoolBar::WndProc(m);
  if (m.Msg == WM_SIZE && skinned) {
    d->BGChanged = 1;
    ::RedrawWindow(Handle(), nullptr, nullptr, 0x707);
  }
}

void InitCoolBarUnit() { RegisterClassOf<TsCoolBar>(); }
