// The frame adapter (see sFrameAdapter.h).
#include "skin/forms/sFrameAdapter.h"

#include <cstdint>

#include "framework/base/TypInfo.h"
#include "framework/win/Graphics.h"
#include "framework/win/Menus.h"
#include "skin/adapters/lxScrollWnd.h"
#include "skin/core/sConst.h"
#include "skin/core/sFrameAdapterCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"

ORBEX_IMPLEMENT_PUBLISHED(TsFrameAdapter, TComponent, &CreateComponentOf<TsFrameAdapter>)

void TsFrameAdapter::PublishProperties(TPublisher<TsFrameAdapter>& P) {
  P.Object("SkinData", &TsFrameAdapter::SkinData);
}

namespace {
bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }
bool ThirdPartyRule(const TsSkinManager* m) {
  return m != nullptr && (m->GetSkinningRules() & (1u << srThirdParty)) != 0;
}
// The data's resolved section in its manager's skin; null without one.
const TsGeneralData* SectionOf(const TsCommonData* d) {
  const TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  const int i = d->SectionIndex();
  return t != nullptr && i >= 0 && i < static_cast<int>(t->GeneralData.size()) ? &t->GeneralData[static_cast<size_t>(i)]
                                                                                : nullptr;
}
constexpr UINT WholeRedraw = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;
}   // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner) : TComponent(AOwner) {
  auto* frame = As<TFrame>(AOwner);
  // Thrown before anything is made: the base lets go of the owner on the way out.
  if (frame == nullptr) throw Exception(s_FrameAdapterError);
  FSkinData = std::make_unique<TsCommonData>(frame, FrameAdapterControlKind, true);
  const std::string section = FSkinData->GetSkinSection();
  if (section.empty() || section == ClassName()) FSkinData->SetSkinSection("GROUPBOX");
  FFrame = frame;
  FHook.Install(frame->WindowProc, [this](TMessage& m) { WndProc(m); });
}

TsFrameAdapter::~TsFrameAdapter() {
  if (FScrollAdapter != nullptr && FFrame != nullptr)
    ReleaseScrollWndAdapter(FFrame->HandleAllocated() ? FFrame->Handle() : nullptr, false, FScrollAdapter);
  FHook.Release();
  FSkinData.reset();
}

void TsFrameAdapter::AfterConstruction() {
  TComponent::AfterConstruction();
  if (QuerySkinControl(FFrame, SkinCmdIsSkinned) == 1 || !FFrame->HandleAllocated()) FSkinData->ResolveSection();
}

void TsFrameAdapter::Loaded() {
  TComponent::Loaded();
  TsSkinManager* m = FSkinData->GetSkinManager();
  if (QuerySkinControl(FFrame, SkinCmdIsSkinned) != 1 || m == nullptr) return;
  FSkinData->ResolveSection();
  if (!m->GetActive() || Designing(this)) return;
  if (m->GetSkinnedPopups()) HookPopupMenus();
  if (FSkinData->HasSkin() && ThirdPartyRule(m)) AskFormToAdopt();
}

void TsFrameAdapter::HookPopupMenus() {
  TsSkinManager* m = FSkinData->GetSkinManager();
  TsSkinableMenus* menus = m != nullptr ? m->SkinableMenus() : nullptr;
  if (menus == nullptr || !m->GetSkinnedPopups()) return;
  for (int i = 0; i < FFrame->ComponentCount(); ++i)
    if (auto* popup = As<TPopupMenu>(FFrame->Components(i))) menus->HookPopupMenu(popup, m->GetActive());
}

void TsFrameAdapter::AskFormToAdopt() {
  TCustomForm* form = GetParentForm(FFrame);
  if (form != nullptr)
    SendSkinCommandToControl(form, SkinCmdAdoptControls, reinterpret_cast<LPARAM>(static_cast<TControl*>(FFrame)));
}

void TsFrameAdapter::RedrawWhole() {
  if (!FFrame->HandleAllocated()) return;
  ::SetWindowPos(FFrame->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::RedrawWindow(FFrame->Handle(), nullptr, nullptr, WholeRedraw);
}

// ---------------------------------------------------------------------------------------------
// The window method.

void TsFrameAdapter::WndProc(TMessage& m) {
  if (Designing(this)) {
    CallOld(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND && SkinCommandStage(m)) return;
  TsSkinManager* manager = FSkinData->GetSkinManager();
  if (IsDestroying() || FFrame->IsDestroying() || !FSkinData->HasSkin() || manager == nullptr || !manager->GetActive())
    UnskinnedStage(m);
  else
    SkinnedStage(m);
}

bool TsFrameAdapter::SkinCommandStage(TMessage& m) {
  if (!SkinCommandAllowed(m.WParam, m.LParam)) {
    m.Result = 0;
    return true;
  }
  TsCommonData* d = FSkinData.get();
  TsSkinManager* manager = d->GetSkinManager();
  const bool own = IsFromOwnManager(m, d);
  const auto scrollTest = [&] {
    return QuerySkinControl(FFrame, SkinCmdIsSeeThrough) != 0 || d->DependsOnBackground();
  };
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
      if (!own) return false;
      BroadcastToChildControls(FFrame, m);
      HandleCommonMessage(m, d);
      if (manager != nullptr) HookPopupMenus();
      return true;
    case SkinCmdUnskin:
      if (!own) return false;
      if (FScrollAdapter != nullptr)
        ReleaseScrollWndAdapter(FFrame->HandleAllocated() ? FFrame->Handle() : nullptr, false, FScrollAdapter);
      HandleCommonMessage(m, d);
      BroadcastToChildControls(FFrame, m);
      RedrawWhole();
      return true;
    case SkinCmdRedrawSkin:
      if (!own) return false;
      HandleCommonMessage(m, d);
      d->ResolveSection();
      if (manager != nullptr) {
        BroadcastToChildControls(FFrame, m);
        RedrawWhole();
        UpdateScrollWndAdapter(d, FScrollAdapter);
      }
      return true;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdCancelFade: BroadcastToChildControls(FFrame, m); return false;
    case SkinCmdQuerySectionIndex:
      if (m.LParam != 0) *reinterpret_cast<std::int32_t*>(m.LParam) = d->SectionIndex();
      return true;
    case SkinCmdScrollStart:
      if (FFrame->HandleAllocated() && scrollTest()) ::SendMessageA(FFrame->Handle(), WM_SETREDRAW, 0, 0);
      return false;
    case SkinCmdScrollFinish:
      if (FFrame->HandleAllocated() && scrollTest()) {
        ::SendMessageA(FFrame->Handle(), WM_SETREDRAW, 1, 0);
        ::RedrawWindow(FFrame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      }
      return false;
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return false;
  }
}

void TsFrameAdapter::UnskinnedStage(TMessage& m) {
  TsSkinManager* manager = FSkinData->GetSkinManager();
  if (manager != nullptr && manager->GetActive() && (m.Msg == CM_VISIBLECHANGED || m.Msg == CM_SHOWINGCHANGED) &&
      FFrame->HandleAllocated()) {
    FSkinData->ResolveSection();
    TMessage loaded{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdSkinLoaded, 1), reinterpret_cast<LPARAM>(manager), 0};
    TSkinCommandSendScope scope(loaded.WParam, loaded.LParam);
    BroadcastToChildControls(FFrame, loaded);
  }
  CallOld(m);
}

TColor TsFrameAdapter::QueryColor() {
  TsCommonData* d = FSkinData.get();
  TsFrameColorQuery q;
  q.HasSkin = d->HasSkin();
  q.OwnColor = ColorToRGB(FFrame->Color()) & 0xFFFFFF;
  const TsGeneralData* g = SectionOf(d);
  if (g == nullptr) q.HasSkin = false;
  if (!q.HasSkin) return FrameQueryColor(q);
  q.NeedsOwnBackground = d->NeedsOwnBackground();
  q.Transparency = g->Props[0].Transparency;
  q.SectionColor = g->Props[0].Color;
  q.HasParent = FFrame->Parent() != nullptr;
  if (q.HasParent && q.Transparency != 0 && !q.NeedsOwnBackground) {
    q.ParentAnswer = static_cast<TColor>(SendSkinCommandToControl(FFrame->Parent(), SkinCmdQueryColor, 0));
    q.ParentColor = ColorToRGB(FFrame->Parent()->Color()) & 0xFFFFFF;
  }
  return FrameQueryColor(q);
}

void TsFrameAdapter::SkinnedCommand(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdResumePaint:
      if (d->HoldPaint != 0 || !d->NeedsOwnBackground()) {
        d->SetPaintLock(false);
        if (FFrame->HandleAllocated())
          ::RedrawWindow(FFrame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      }
      RefreshChildControls(FFrame);
      return;
    case SkinCmdHoldPaint:
      d->SetPaintLock(SkinArgumentOf(m.WParam) == 1);
      for (int i = 0; i < FFrame->ControlCount(); ++i) FFrame->Controls(i)->Perform(m.Msg, m.WParam, m.LParam);
      return;
    case SkinCmdIsHeld: m.Result = (d->CtrlState() & 0x0001) == 0 && d->HoldPaint != 0 ? 1 : 0; return;
    case SkinCmdIsSeeThrough: {
      LRESULT v = 0;
      if (const TsGeneralData* g = SectionOf(d)) {
        const TsGenState& s = g->Props[0];
        v = s.GradientPercent + s.ImagePercent > 0 || d->DependsOnBackground() ? 1 : 0;
      }
      m.LParam = v;
      m.Result = v;
      return;
    }
    case SkinCmdQueryColor: m.Result = static_cast<LRESULT>(QueryColor()); return;
    case SkinCmdQueryBackground:
      if (d->BGChanged != 0 && d->HoldPaint == 0 && d->NeedsOwnBackground()) UpdateBackground();
      // The request is answered from the cache by the common handling.
      break;
    default: break;
  }
  if (!HandleCommonMessage(m, d)) CallOld(m);
}

void TsFrameAdapter::SkinnedStage(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  TsSkinManager* manager = d->GetSkinManager();
  if (m.Msg == WM_SKINCOMMAND) {
    SkinnedCommand(m);
    return;
  }
  switch (m.Msg) {
    case WM_MOVE:
    case WM_SIZE: {
      const bool changed = d->BGChanged != 0 || m.Msg == WM_SIZE || d->DependsOnBackground();
      d->BGChanged = changed ? 1 : 0;
      if (changed) {
        TMessage dirty{WM_SKINCOMMAND, MakeSkinWParam(SkinCmdBackgroundDirty, 1), 0, 0};
        for (int i = 0; i < FFrame->ControlCount(); ++i) FFrame->Controls(i)->Perform(dirty.Msg, dirty.WParam, dirty.LParam);
      }
      if (m.Msg == WM_SIZE && FFrame->HandleAllocated()) ::InvalidateRect(FFrame->Handle(), nullptr, TRUE);
      CallOld(m);
      return;
    }
    case WM_PAINT:
      if (FFrame->Parent() == nullptr || IsDestroying()) {
        CallOld(m);
        return;
      }
      PaintFrame(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (!FFrame->Showing()) {
        CallOld(m);
        return;
      }
      if (!AnimationInProgress) {
        d->SetPaintLock(d->IsPaintLocked());
        if (d->HoldPaint == 0 && (!d->NeedsOwnBackground() || d->BGChanged == 0))
          PaintBackground(reinterpret_cast<HDC>(m.WParam));
      }
      m.Result = 1;
      return;
    case WM_NCPAINT:
      d->SetPaintLock(d->IsPaintLocked());
      m.Result = 0;
      return;
    case WM_PARENTNOTIFY:
      if ((LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) && !IsLoading() && !FFrame->IsLoading()) {
        if (LOWORD(m.WParam) == WM_CREATE && ThirdPartyRule(manager)) AskFormToAdopt();
        CallOld(m);
        if (FScrollAdapter != nullptr) FScrollAdapter->RefreshScrollInfo(false);
        return;
      }
      break;
    case WM_PRINT:
      d->SetPaintLock(false);
      if (ControlIsPaintable(FFrame)) {
        PaintBackground(reinterpret_cast<HDC>(m.WParam));
        if (FScrollAdapter != nullptr) FScrollAdapter->PaintScrollBars(reinterpret_cast<HDC>(m.WParam));
      }
      return;
    case CM_VISIBLECHANGED:
      d->BGChanged = 1;
      CallOld(m);
      if (manager != nullptr) SendSkinCommandToControl(FFrame, SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(manager));
      return;
    case CM_MOUSEENTER:
      CallOld(m);
      if (TsSkinManager* def = TsSkinManager::DefaultManager(); def != nullptr && FFrame->HandleAllocated())
        def->TrackHoverWindow(FFrame->Handle());
      return;
    case CM_SHOWINGCHANGED:
      CallOld(m);
      UpdateScrollWndAdapter(d, FScrollAdapter);
      if (ThirdPartyRule(manager)) AskFormToAdopt();
      return;
    default: break;
  }
  CallOld(m);
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TsFrameAdapter::PaintFrame(HDC dc) {
  if (!FFrame->HandleAllocated()) return;
  const HWND h = FFrame->Handle();
  // The whole frame is painted from the cache: the update region becomes all of it.
  if (!FFrame->IsDestroying() && FFrame->Parent() != nullptr) ::InvalidateRect(h, nullptr, FALSE);
  PAINTSTRUCT ps{};
  const HDC painted = ::BeginPaint(h, &ps);
  const HDC target = dc != nullptr ? dc : painted;
  if (FSkinData->HasSkin() && !FSkinData->IsPaintLocked()) PaintBackground(target);
  ::EndPaint(h, &ps);
}

bool TsFrameAdapter::HalfHidden() const {
  TWinControl* parent = FFrame->Parent();
  if (parent == nullptr) return false;
  const TRect c = parent->ClientRect();
  const auto outside = [&c](int x, int y) { return x < c.Left || y < c.Top || x >= c.Right || y >= c.Bottom; };
  return outside(FFrame->Left(), FFrame->Top()) ||
         outside(FFrame->Left() + FFrame->Width() - 1, FFrame->Top() + FFrame->Height() - 1);
}

void TsFrameAdapter::BuildCache() {
  PaintCacheFromParent(FFrame, FSkinData.get());
  ++FCacheBuilds;
}

void TsFrameAdapter::UpdateBackground() {
  if (FSkinData->BGChanged != 0) BuildCache();
}

void TsFrameAdapter::PaintBackground(HDC dc) {
  TsCommonData* d = FSkinData.get();
  if (dc == nullptr || (AnimationInProgress && dc != d->PrintDC())) return;
  const int w = FFrame->Width(), h = FFrame->Height();
  const TRect full{0, 0, w, h};
  TsSkinManager* m = d->GetSkinManager();
  if (d->HasSkin() && m != nullptr) {
    if (d->IsPaintLocked()) return;
    const TsGeneralData* g = SectionOf(d);
    const int transparency = g != nullptr ? g->Props[0].Transparency : 0;
    if (d->BorderIndex() < 0 && transparency == 100) {
      TsBackgroundRequest request;
      request.Rect = full;
      if (FFrame->Parent() != nullptr) RequestControlBackground(request, FFrame->Parent(), false);
      if (request.Kind == bkBitmap && request.Bitmap != nullptr) {
        ::BitBlt(dc, 0, 0, w, h, request.Bitmap->Canvas()->GetHandle(), request.OffsetX + FFrame->Left(),
                 request.OffsetY + FFrame->Top(), SRCCOPY);
      } else {
        const TColor colour = FFrame->Parent() != nullptr ? FFrame->Parent()->Color() : FFrame->Color();
        TOwnedBrush brush(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(colour) & 0xFFFFFF)));
        RECT r{0, 0, w, h};
        ::FillRect(dc, &r, brush.Get());
      }
    } else {
      const bool halfHidden = d->DependsOnBackground() && HalfHidden();
      if (halfHidden || FWasHalfHidden) d->BGChanged = 1;
      FWasHalfHidden = halfHidden;
      TBitmap* cache = d->CacheBitmap();
      if (cache == nullptr || cache->GetWidth() != w || cache->GetHeight() != h) d->BGChanged = 1;
      if (d->BGChanged != 0 && d->UrgentPainting == 0) BuildCache();
      CopyCacheExcludingChildren(FFrame, d, full, 0, 0, false, dc, full);
    }
    PaintGraphicChildren(dc, FFrame);
    RefreshChildControls(FFrame);
    return;
  }
  TOwnedBrush brush(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FFrame->Color()) & 0xFFFFFF)));
  RECT r{0, 0, w, h};
  ::FillRect(dc, &r, brush.Get());
  const int border = d->BorderWidth();
  if (border > 0 && m != nullptr) {
    TBitmap scratch;
    scratch.SetPixelFormat(TPixelFormat::pf32bit);
    scratch.SetSize(w, h);
    TRect inner;
    PaintBorderToDC(dc, full, border, inner, 0, &scratch, FFrame, m->Tables(), d->SectionIndex(), d->BorderIndex(),
                    m->MasterBitmap());
  }
  PaintGraphicChildren(dc, FFrame);
}

void InitFrameAdapterUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TsFrameAdapter>();
}
