// The skinned tool bar (see sToolBar.h).
//
// Sections: set-up and geometry; painting (cache, bar, buttons, dividers); messages (skin
// commands, frame, print, hot tracking, window procedure); registration.
#include "skin/controls/sToolBar.h"

#include "framework/base/TypInfo.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/win/Forms.h"
#include "framework/win/ImgList.h"
#include "framework/win/Messages.h"
#include "skin/controls/sGlyphPainters.h"
#include "skin/core/sMessages.h"
#include "skin/core/sToolBarCore.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

const char* const ButtonSection = "TOOLBUTTON";
const char* const DividerSection = "DIVIDER";

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

}  // namespace

TCustomDrawState ToolButtonStateOf(HWND bar, int index) {
  const LRESULT s = ::SendMessageA(bar, TB_GETSTATE, static_cast<WPARAM>(index), 0);
  if (s == -1) return 0;
  return ((s & TBSTATE_CHECKED) ? cdsChecked : 0u) | ((s & TBSTATE_PRESSED) ? cdsSelected : 0u) |
         ((s & TBSTATE_ENABLED) ? 0u : cdsDisabled) | ((s & TBSTATE_MARKED) ? cdsMarked : 0u) |
         ((s & TBSTATE_INDETERMINATE) ? cdsIndeterminate : 0u);
}

namespace {

bool IsPushStyle(TToolButtonStyle s) { return s == tbsButton || s == tbsCheck || s == tbsDropDown; }

}  // namespace

ORBEX_IMPLEMENT_PUBLISHED(TsToolBar, TToolBar, &CreateComponentOf<TsToolBar>)

void TsToolBar::PublishProperties(TPublisher<TsToolBar>& P) {
  P.Object("SkinData", &TsToolBar::SkinData);
  P.Set("BtnDisabledKind", &TsToolBar::BtnDisabledKind, &TsToolBar::SetBtnDisabledKind, {"dkBlended", "dkGrayed"})
      .Default(dkBlended);
}

// ---------------------------------------------------------------------------------------------
// Set-up and geometry.

TsToolBar::TsToolBar(TComponent* AOwner)
    : TToolBar(AOwner), FSkinData(std::make_unique<TsCommonData>(this, 54, true)) {
  SetDoubleBuffered(true);
}

TsToolBar::~TsToolBar() { SetDroppedButton(nullptr); }

void TsToolBar::AfterConstruction() {
  TToolBar::AfterConstruction();
  FSkinData->AfterLoad();
  HookCustomDraw();
}

void TsToolBar::Loaded() {
  TToolBar::Loaded();
  FSkinData->AfterLoad();
  HookCustomDraw();
}

void TsToolBar::SetBtnDisabledKind(int v) {
  if (FBtnDisabledKind == v) return;
  FBtnDisabledKind = v;
  if (HandleAllocated()) Repaint();
}

void TsToolBar::HookCustomDraw() {
  const bool design = Designing(this);
  if (FSkinData->HasSkin()) {
    OnAdvancedCustomDraw = [this](TToolBar* s, const TRect& r, TCustomDrawStage st, bool& d) { PaintBar(s, r, st, d); };
    if (!design)
      OnAdvancedCustomDrawButton = [this](TToolBar* s, TToolButton* b, TCustomDrawState st, TCustomDrawStage sg,
                                          TTBCustomDrawFlags& f, bool& d) { PaintButton(s, b, st, sg, f, d); };
  } else {
    OnAdvancedCustomDraw = nullptr;
    if (!design) OnAdvancedCustomDrawButton = nullptr;
  }
}

TPoint ToolBarEdgeOffsetOf(const TToolBar* bar) {
  return ToolBarEdgeOffset(TsToolBarEdges{(bar->EdgeBorders() & ebLeft) != 0, (bar->EdgeBorders() & ebTop) != 0,
                                          bar->BorderWidth(), bar->EdgeLines()});
}

TPoint TsToolBar::EdgeOffset() const { return ToolBarEdgeOffsetOf(this); }

TRect TsToolBar::ItemRect(int Index) const {
  RECT r{};
  if (!HandleAllocated() ||
      !::SendMessageA(FHandle, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r)))
    r.left = r.right;
  return ToTRect(r);
}

int ToolBarHitTest(const TToolBar* bar, HWND wnd, TPoint P) {
  for (int i = 0; i < bar->ButtonCount(); ++i) {
    RECT item{};
    if (!::SendMessageA(wnd, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    const TRect r = ToTRect(item);
    if (P.X >= r.Left && P.X < r.Right && P.Y >= r.Top && P.Y < r.Bottom)
      return IsPushStyle(bar->Buttons(i)->Style()) ? i : -1;
  }
  return -1;
}

int TsToolBar::HitTest(TPoint P) const { return HandleAllocated() ? ToolBarHitTest(this, FHandle, P) : -1; }

// ---------------------------------------------------------------------------------------------
// Painting.

void TsToolBar::PrepareCache() { PaintCacheFromParent(this, FSkinData.get()); }

void PaintToolBarBackground(TToolBar* bar, TsCommonData* d) {
  TBitmap* cache = d->CacheBitmap();
  if (d->BGChanged != 0 || cache == nullptr || cache->GetWidth() != bar->Width() || cache->GetHeight() != bar->Height())
    PaintCacheFromParent(bar, d);
  d->CacheBitmap()->Canvas()->Font()->Assign(bar->Font());
  HDC dc = bar->Canvas()->GetHandle();
  const TRect c = ClientRectInWindow(bar->Handle());
  // The whole client area: a double-buffered paint reports only the buttons' bounds, and the
  // bar beyond them would keep what the buffer held.
  const TRect all = bar->ClientRect();
  CopyCacheExcludingChildren(bar, d, TRect{c.Left, c.Top, c.Left + all.Width(), c.Top + all.Height()}, 0, 0, false, dc,
                             all);
  PaintGraphicChildren(dc, bar);
  RefreshChildControls(bar);
  if (c.Left != 0 || c.Top != 0 || c.Width() != bar->Width() || c.Height() != bar->Height())
    ::SendMessageA(bar->Handle(), WM_NCPAINT, 1, 0);
}

void TsToolBar::PaintBar(TToolBar*, const TRect&, TCustomDrawStage Stage, bool& DefaultDraw) {
  TsCommonData* d = FSkinData.get();
  if (!d->HasSkin()) {
    DefaultDraw = true;
    return;
  }
  d->SetPaintLock(d->IsPaintLocked());
  if (Stage != cdPrePaint) {
    DefaultDraw = false;
    // The dividers go into the DC the buttons were painted into, whichever origin it has (the
    // screen, a double buffer or a print of the bar inside its parent).
    if (Stage == cdPostPaint) PaintDividers(Canvas()->GetHandle(), TPoint{});
    return;
  }
  if (d->HoldPaint != 0) return;
  PaintToolBarBackground(this, d);
}

void TsToolBar::PaintButton(TToolBar*, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                            TTBCustomDrawFlags& Flags, bool& DefaultDraw) {
  if (!FSkinData->HasSkin()) {
    DefaultDraw = true;
    return;
  }
  DefaultDraw = false;
  if (Stage != cdPrePaint || Button == nullptr) return;
  const int index = Button->Index();
  if (!Designing(this) && !Flat() && index >= 0 && index == FHotIndex) State |= cdsHot;
  Flags |= tbNoEdges | tbNoEtchedEffect;
  // The system's item is what is painted; a button that thinks itself another width has the
  // bar laid out anew once the paint is over, never under the system's paint loop.
  const TRect item = ItemRect(index);
  if (item.Width() != Button->Width()) FRelayoutWanted = true;
  if (item.Width() <= 0 || item.Height() <= 0) return;
  PaintToolButtonFace(TsToolFace{this, FSkinData.get(), Button, State, item,
                                 Button == FDroppedButton && Button->DropdownMenu() != nullptr, FBtnDisabledKind, false});
}

void PaintToolButtonFace(const TsToolFace& f) {
  TToolBar* bar = f.Bar;
  TsCommonData* d = f.Data;
  TToolButton* Button = f.Button;
  const TCustomDrawState State = f.State;
  const TRect& Item = f.Item;
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  TBitmap* master = m->MasterBitmap();
  if (d->BGChanged != 0 || d->CacheBitmap() == nullptr || d->CacheBitmap()->GetWidth() != bar->Width())
    PaintCacheFromParent(bar, d);
  TBitmap* cache = d->CacheBitmap();
  const int w = Item.Width(), h = Item.Height();
  const int section = FindSectionIndex(t, ButtonSection);
  const int border = section >= 0 ? FindMaskEntry(t, section, ButtonSection, "BORDERSMASK") : -1;
  const int state = ToolButtonFaceState(State, Button->Marked() || Button->Indeterminate());
  // 4. The face over the bar's background, then the border.
  std::unique_ptr<TBitmap> work = CreateBitmap32(w, h);
  TCanvas* canvas = work->Canvas();
  canvas->Font()->Assign(bar->Font());
  const TPoint edge = ToolBarEdgeOffsetOf(bar);
  const TsBackgroundInfo bg{cache, edge.X + 2 * bar->BorderWidth(), edge.Y + 2 * bar->BorderWidth(), 0xFF00FF, 1};
  const TsBackgroundInfo self{work.get(), 0, 0, 0xFF00FF, 1};
  const TRect whole{0, 0, w, h};
  if (section >= 0)
    PaintSectionBackground(section, ButtonSection, bg, 0xFF00FF, -1, -1, t, work.get(), TPoint{Item.Left, Item.Top},
                           whole, state, master);
  if (border >= 0) PaintMaskFrame(work.get(), whole, true, state, t->MaskData[static_cast<size_t>(border)], self, master);
  // 5. The caption.
  const bool dropDown = Button->Style() == tbsDropDown;
  const int partWidth = dropDown ? ::GetSystemMetrics(SM_CXVSCROLL) - 2 : 0;
  TCustomImageList* images = bar->Images();
  if (bar->ShowCaptions()) {
    TsToolCaptionQuery q;
    q.Button = TsToolButtonLayout{w, h, images != nullptr ? images->GetWidth() : 0, images != nullptr ? images->GetHeight() : 0,
                                  bar->List(), true, dropDown, canvas->TextHeight("A"), state};
    q.BarHasImages = images != nullptr;
    q.ShowsImage = images != nullptr && Button->ImageIndex() >= 0;
    q.DropDownWidth = partWidth;
    q.TextWidth = canvas->TextWidth(Button->Caption());
    DrawSkinText(canvas, Button->Caption(), true, state > BtnNormal,
                 TextSkinInfoOf(m, section >= 0 ? section : d->SectionIndex()), DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                 ToolButtonCaptionRect(q));
  }
  // 6. The image.
  if (images != nullptr && Button->ImageIndex() >= 0 && Button->ImageIndex() < ImageCountOf(images))
    f.Foreign ? ForeignToolButtonGlyphPainter(bar, Button, State, work.get())
              : ToolButtonGlyphPainter(bar, Button, State, work.get(), TSize{w, h});
  // 7. The drop-down part with its arrow, where the skin has an arrow.
  const int arrow = t->CommonIndexes.ScrollParts[1].Glyph;
  if (dropDown && MaskIndexInRange(t, arrow)) {
    const int partState = f.MenuOpen || Button->Down() ? BtnPressed
                          : (State & cdsHot) != 0                                                         ? BtnHot
                                                                                                          : BtnNormal;
    const TRect part = ToolButtonDropDownRect(w, h, partWidth);
    if (border >= 0) PaintMaskFrame(work.get(), part, true, partState, t->MaskData[static_cast<size_t>(border)], self, master);
    const TsMaskData& glyph = t->MaskData[static_cast<size_t>(arrow)];
    DrawMaskState(work.get(), ToolButtonArrowPos(part, MaskFrameWidth(glyph), MaskFrameHeight(glyph)), partState, self, t,
                  arrow, 1, master);
  }
  // 8. The disabled look over the bar.
  if ((!Button->Enabled() || Button->Indeterminate()) && bar->DisabledImages() == nullptr)
    MakeDisabledLook(work.get(), f.DisabledKind, bar, TPoint{0, 0},
                     TsBackgroundInfo{cache, bg.X + Item.Left, bg.Y + Item.Top, 0xFF00FF, 1});
  // 9.
  ::BitBlt(bar->Canvas()->GetHandle(), Item.Left, Item.Top, w, h, canvas->GetHandle(), 0, 0, SRCCOPY);
}

void TsToolBar::RepaintButton(int Index) {
  if (Index < 0 || Index >= ButtonCount() || !HandleAllocated() || !FSkinData->HasSkin()) return;
  TWindowDC dc(Handle(), TWindowDC::TArea::Client);
  if (!dc.Valid()) return;
  TTBCustomDrawFlags flags = 0;
  bool defaultDraw = true;
  Canvas()->SetHandle(dc.Get());
  try {
    PaintButton(this, Buttons(Index), ToolButtonStateOf(Handle(), Index), cdPrePaint, flags, defaultDraw);
  } catch (...) {
    Canvas()->SetHandle(nullptr);
    throw;
  }
  Canvas()->SetHandle(nullptr);
}

void TsToolBar::PaintDivider(HDC DC, const TRect& R, bool Line, TPoint Origin) {
  TsSkinManager* m = FSkinData->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  const int section = FindSectionIndex(t, DividerSection);
  if (section < 0 || FindMaskEntry(t, section, DividerSection, "BORDERSMASK") < 0 || R.Width() <= 0 || R.Height() <= 0)
    return;
  std::unique_ptr<TBitmap> work = CreateBitmap32(R.Width(), R.Height());
  // The bar's own background: its cache when that is ready, else what the window answers (a
  // skin change may be half done and answer with the section's colour).
  TsBackgroundRequest req;
  req.Rect = R;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (FSkinData->BGChanged == 0 && cache != nullptr && cache->GetWidth() == Width() && cache->GetHeight() == Height()) {
    const TPoint edge = EdgeOffset();
    req = TsBackgroundRequest{cache, 0, edge.X, edge.Y, R, bkBitmap};
  } else {
    RequestWindowBackground(req, Handle(), false);
  }
  if (req.Kind == bkBitmap && req.Bitmap != nullptr)
    ::BitBlt(work->Canvas()->GetHandle(), 0, 0, R.Width(), R.Height(), req.Bitmap->Canvas()->GetHandle(),
             R.Left + req.OffsetX, R.Top + req.OffsetY, SRCCOPY);
  else
    FillDCRect(work->Canvas()->GetHandle(), TRect{0, 0, R.Width(), R.Height()}, req.Color);
  if (Line) {
    const int left = R.Width() / 2 - 2;
    const TsBackgroundInfo self{work.get(), 0, 0, 0xFF00FF, 1};
    PaintSectionItem(section, DividerSection, self, -1, -1, t, work.get(), TPoint{R.Left + BorderWidth(), R.Top + BorderWidth()},
                     TRect{left, 2, left + 4, R.Height() - 2}, 0, m->MasterBitmap());
  }
  ::BitBlt(DC, R.Left + Origin.X, R.Top + Origin.Y, R.Width(), R.Height(), work->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TsToolBar::PaintDividers(HDC DC, TPoint Origin) {
  if (DC == nullptr || !FSkinData->HasSkin()) return;
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton* b = Buttons(i);
    const bool separator = b->Style() == tbsSeparator;
    if ((!separator && b->Style() != tbsDivider) || b->Wrap() || !b->Visible()) continue;
    PaintDivider(DC, ItemRect(i), !separator || Flat(), Origin);
  }
}

// ---------------------------------------------------------------------------------------------
// Messages.

void TsToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TToolBar::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FDroppedButton) FDroppedButton = nullptr;
  auto* menu = As<TPopupMenu>(AComponent);
  TsSkinManager* m = TsSkinManager::DefaultManager();
  if (menu == nullptr || Designing(this) || m == nullptr || !FSkinData->HasSkin() || m->SkinableMenus() == nullptr)
    return;
  // A menu on its way out has lost its items already: only a live one is given back.
  if (Operation == TOperation::opInsert) m->SkinableMenus()->HookPopupMenu(menu, true);
  else if (!menu->IsDestroying()) m->SkinableMenus()->HookPopupMenu(menu, false);
}

void TsToolBar::SetDroppedButton(TToolButton* Button) {
  if (FDroppedButton == Button) return;
  if (FDroppedButton != nullptr) FDroppedButton->RemoveFreeNotification(this);
  FDroppedButton = Button;
  if (Button != nullptr) Button->FreeNotification(this);
}

void TsToolBar::SetHotIndex(int Index) {
  const int old = FHotIndex;
  FHotIndex = Index;
  for (int i : {old, Index})
    if (i >= 0 && i < ButtonCount() && !Buttons(i)->Down()) RepaintButton(i);
}

void TsToolBar::RelayoutIfNeeded() {
  if (!FRelayoutWanted) return;
  FRelayoutWanted = false;
  const TPoint size{Width(), Height()};
  if (FRelaidCount == ButtonCount() && FRelaidSize.X == size.X && FRelaidSize.Y == size.Y) return;
  FRelaidCount = ButtonCount();
  FRelaidSize = size;
  RecreateButtons();
}

bool TsToolBar::SkinCommand(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (!SkinCommandAllowed(m.WParam, m.LParam)) return false;
  const bool own = IsFromOwnManager(m, d);
  const bool design = Designing(this);
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
      if (!BarSkinLoaded(m, d, this)) return false;
      HookCustomDraw();
      return true;
    case SkinCmdUnskin:
    case SkinCmdRedrawSkin:
      if (!own) return false;
      SetDroppedButton(nullptr);
      HandleCommonMessage(m, d);
      if (SkinCommandOf(m.WParam) == SkinCmdUnskin && !design && HandleAllocated()) ResetWindowTheme(Handle());
      BroadcastToChildControls(this, m);
      HookCustomDraw();
      if (HandleAllocated()) {
        Repaint();
        ::SendMessageA(Handle(), WM_NCPAINT, 1, 0);
      }
      return true;
    case SkinCmdResumePaint:
      if (d->HoldPaint == 0) return true;
      d->HoldPaint = 0;
      d->BGChanged = 1;
      if (HandleAllocated())
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
      return true;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return true;
    case SkinCmdQueryBackground: {
      if (m.LParam == 0 || !d->HasSkin()) return false;
      auto& req = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      req.OffsetX = req.OffsetY = 0;
      d->ProvideBackground(req, 0, nullptr);
      const TPoint edge = EdgeOffset();
      req.OffsetX += edge.X;
      req.OffsetY += edge.Y;
      m.Result = 1;
      return true;
    }
    default: return false;
  }
}

void TsToolBar::WMNCPaint(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  m.Result = 0;
  d->SetPaintLock(d->IsPaintLocked());
  if (IsDestroying() || d->HoldPaint != 0) return;
  if (Designing(this) && d->BGChanged != 0) PrepareCache();
  TWindowDC dc(Handle(), TWindowDC::TArea::Window);
  if (!dc.Valid()) return;
  const TRect c = ClientRectInWindow(Handle());
  ::ExcludeClipRect(dc.Get(), c.Left, c.Top, c.Right, c.Bottom);
  CopyCacheFrame(this, d, dc.Get());
}

void TsToolBar::WMPrint(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  d->HoldPaint = 0;
  m.Result = 0;
  if (dc == nullptr) return;
  if (d->BGChanged != 0) PrepareCache();
  CopyCacheFrame(this, d, dc);
  const TRect c = ClientRectInWindow(Handle());
  TSaveDC saved(dc);
  ::OffsetViewportOrgEx(dc, c.Left, c.Top, nullptr);
  ::IntersectClipRect(dc, 0, 0, c.Width(), c.Height());
  // While a skin is loaded or applied the parent's redraw is held around the paint, so that
  // nothing of it reaches the screen through the parent; a hidden parent stays hidden.
  const HWND parent = Parent() != nullptr && Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
  const bool hold = (SkinLoading || SkinApplying) && parent != nullptr &&
                    (::GetWindowLongA(parent, GWL_STYLE) & WS_VISIBLE) != 0;
  if (hold) ::SendMessageA(parent, WM_SETREDRAW, 0, 0);
  ::SendMessageA(Handle(), WM_PAINT, m.WParam, 0);
  if (hold) ::SendMessageA(parent, WM_SETREDRAW, 1, 0);
}

void TsToolBar::HotTracking(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      const int i = HitTest(TPoint{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      if (i != FHotIndex && (i < 0 || Buttons(i)->Enabled())) SetHotIndex(i);
      return;
    }
    case CM_MOUSELEAVE:
      if (FHotIndex >= 0) SetHotIndex(-1);
      return;
    case CN_DROPDOWNCLOSED:
      if (TToolButton* b = FDroppedButton) {
        FHotIndex = -1;
        SetDroppedButton(nullptr);
        RepaintButton(b->Index());
      }
      return;
    default: return;
  }
}

void TsToolBar::WndProc(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (m.Msg == WM_SKINCOMMAND) {
    if (!SkinCommand(m) && !HandleSkinCommand(m, d)) TToolBar::WndProc(m);
    return;
  }
  const bool skinned = d->HasSkin() && ControlIsPaintable(this);
  if (!skinned) {
    TToolBar::WndProc(m);
    return;
  }
  const bool tracking = !Flat() && !Designing(this);
  switch (m.Msg) {
    case WM_PAINT:
      if (AnimationInProgress && d->PrintDC() == nullptr) {
        ValidateRect(Handle(), nullptr);
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (Designing(this)) break;
      d->SetPaintLock(d->IsPaintLocked());
      m.Result = 1;
      return;
    case WM_PRINT: WMPrint(m); return;
    case WM_NCPAINT: WMNCPaint(m); return;
    case CM_COLORCHANGED: return;
    case CM_TEXTCHANGED: Repaint(); return;
    case CN_NOTIFY: {
      // The framework shows a drop-down menu within its own handling: the button is marked
      // before, so that it shows pressed while the menu is open.
      const auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
      const UINT code = hdr != nullptr ? hdr->code : 0;
      if (code == static_cast<UINT>(TBN_DELETINGBUTTON)) {
        const int deleted = static_cast<int>(
            ::SendMessageA(Handle(), TB_COMMANDTOINDEX, static_cast<WPARAM>(reinterpret_cast<const NMTOOLBARA*>(m.LParam)->iItem), 0));
        FHotIndex = HotIndexAfterDeleting(FHotIndex, deleted, static_cast<int>(::SendMessageA(Handle(), TB_BUTTONCOUNT, 0, 0)));
      }
      if (code == static_cast<UINT>(TBN_DROPDOWN) && tracking) {
        const int i = reinterpret_cast<const NMTOOLBARA*>(m.LParam)->iItem;
        TBBUTTON info{};
        if (i >= 0 && i < ButtonCount() &&
            ::SendMessageA(Handle(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info))) {
          SetDroppedButton(Buttons(i));
          RepaintButton(i);
        }
      }
      break;
    }
    default: break;
  }
  if (HandleCommonMessage(m, d)) return;
  TToolBar::WndProc(m);
  switch (m.Msg) {
    case WM_SIZE:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      d->BGChanged = 1;
      ::InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_PAINT: RelayoutIfNeeded(); break;
    default: break;
  }
  if (tracking && HandleAllocated()) HotTracking(m);
}

void InitToolBarUnit() { RegisterClassOf<TsToolBar>(); }
