// The skin provider as the owner of an extended-border window: the owner operations of
// IlxBorderOwner over the provider's form, its frame cache, title buttons and system menu
// (see lxBorderForm.h). Border-window coordinates are those of the provider's frame cache.
#include "skin/forms/lxBorderForm.h"

#include <algorithm>

#include "skin/adapters/lxGlow.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sBitmap32.h"

class TlxProviderBorderOwner final : public IlxBorderOwner {
public:
  explicit TlxProviderBorderOwner(TsSkinProvider* provider) : P(provider) {}

  HWND OwnerHandle() const override {
    return P->FForm != nullptr && P->FForm->HandleAllocated() ? P->FForm->Handle() : nullptr;
  }
  TRect ShadowMargins() const override {
    TsSkinManager* m = P->SkinManager();
    return m != nullptr ? m->ShadowSizes() : TRect{};
  }
  TsCommonData* SkinData() const override { return P->SkinData(); }

  TlxOwnerFrame Frame() const override { return OwnerFrameOf(P->Geometry(), P->SkinManager()); }

  void SetHotButton(int code) override { P->SetHotElement(code < 0 ? 0 : code, true); }
  int CaptionHeight(bool withExtTitle) const override {
    return ::CaptionHeight(P->Geometry(), SystemMetrics(), withExtTitle);
  }
  int MenuHeight() const override {
    const int line = MenuLineHeight(P->Geometry(), SystemMetrics());
    return line != 0 ? std::max(P->MenuLineCount, 0) * line + 1 : 0;
  }
  TRect IconRect() const override { return ::IconRect(P->Geometry(), SystemMetrics()); }
  void RepaintOwner() override { P->PaintFrameCache(); }

  void RenderWholeImage() override {
    TBitmap* cache = P->SkinData()->CacheBitmap();
    const HWND h = OwnerHandle();
    if (cache == nullptr || cache->Empty() || h == nullptr) return;
    // The client as it shows now, at its place in the image, opaque.
    const TsFormGeometry f = P->Geometry();
    const ISystemMetrics& sm = SystemMetrics();
    const TRect client = Bounds(ClientOffsetX(f, sm), ClientOffsetY(f, sm, std::max(P->MenuLineCount, 0)), f.ClientWidth,
                                f.ClientHeight);
    CopyClientIntoCache(h, cache, client);
  }

  std::uint32_t OwnerState() const override { return P->FormState; }
  void SetOwnerState(std::uint32_t state) override { P->FormState = state; }
  TRect StretchedBounds() const override { return P->StretchedBounds; }
  void SetStretchedBounds(const TRect& bounds) override { P->StretchedBounds = bounds; }

  void StopButtonAnimations() override {
    P->StopButtonAnimations();
    for (TsSkinProvider::TsTitleButtonState* b : {&P->FButtonClose, &P->FButtonMax, &P->FButtonMin, &P->FButtonHelp}) {
      HideGlow(b->GlowId);
      b->GlowId = -1;
    }
    for (TsSkinProvider::TsTitleButtonState& b : P->FUserButtons) {
      HideGlow(b.GlowId);
      b.GlowId = -1;
    }
  }

  TRect ContentRect(int width, int height) const override {
    const TsFormGeometry f = P->Geometry();
    const ISystemMetrics& sm = SystemMetrics();
    const int left = ClientOffsetX(f, sm);
    const int top = ClientOffsetY(f, sm, std::max(P->MenuLineCount, 0));
    int cw = f.ClientWidth + f.VScrollWidth, ch = f.ClientHeight + f.HScrollHeight;
    if ((P->FormState & TsSkinProvider::Sizing) != 0) {
      // The new size, within the form's constraints.
      const TSizeConstraints* c = P->FForm->Constraints();
      int w = width, h = height;
      if (c != nullptr) {
        if (c->MinWidth() > 0) w = std::max(w, c->MinWidth());
        if (c->MaxWidth() > 0) w = std::min(w, c->MaxWidth());
        if (c->MinHeight() > 0) h = std::max(h, c->MinHeight());
        if (c->MaxHeight() > 0) h = std::min(h, c->MaxHeight());
      }
      cw += w - f.FormWidth;
      ch += h - f.FormHeight;
    }
    // The form paints its menu line itself, except while it is activated.
    const int menu = (P->FormState & TsSkinProvider::Activating) != 0 ? 0 : MenuHeight();
    return TRect{left, top - menu, left + std::max(cw, 0), top + std::max(ch, 0)};
  }

  TlxButtonsAt ButtonAt(TPoint p) const override {
    TlxButtonsAt at;
    TlxTitleButtonFlags& b = at.Flags;
    TsSystemMenu* menu = P->FSystemMenu.get();
    const TsFormGeometry f = P->Geometry();
    b.Provider = true;
    b.Iconic = f.Iconic;
    if (menu != nullptr && P->FSysMenuStyleTaken) {
      b.VisibleClose = menu->VisibleClose();
      b.ShowMax = menu->VisibleMax();
      b.ShowMin = menu->VisibleMin();
      b.EnabledMax = menu->EnabledMax();
      b.EnabledRestore = menu->EnabledRestore();
      b.EnabledMin = menu->EnabledMin();
    }
    b.ShowHelp = P->ShowsHelpButton();
    const auto shown = [](const TsSkinProvider::TsTitleButtonState& s) { return s.State >= 0 && !s.Rect.IsEmpty(); };
    const auto inside = [&](const TRect& r) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; };
    std::vector<const TsSkinProvider::TsTitleButtonState*> order;
    for (const auto* s : {&P->FButtonClose, &P->FButtonMax, &P->FButtonMin, &P->FButtonHelp})
      if (shown(*s)) order.push_back(s);
    b.SystemCount = static_cast<int>(order.size());
    // Every user button keeps its collection index in the numbering, hidden ones too, so the
    // code is the provider's own (1000 + index); a hidden one is never hit.
    for (int i = 0; i < P->FTitleButtons->Count() && i < static_cast<int>(P->FUserButtons.size()); ++i) {
      const TsTitleButton* tb = P->FTitleButtons->Items(i);
      b.UserEnabled.push_back(tb->Visible() && tb->Enabled);
      order.push_back(&P->FUserButtons[static_cast<size_t>(i)]);
    }
    for (size_t i = 0; i < order.size(); ++i)
      if (shown(*order[i]) && inside(order[i]->Rect)) at.Number = static_cast<int>(i) + 1;
    return at;
  }

  bool GripAt(TPoint& corner) const override {
    const TsFormGeometry f = P->Geometry();
    const bool scrollSquare = f.VScrollWidth > 0 && f.HScrollHeight > 0;
    if (!((P->GripMode == gmRightBottom && !f.Zoomed && (f.Style & wsfThickFrame) != 0) || scrollSquare)) return false;
    TsSkinManager* m = P->SkinManager();
    const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
    const int grip = FindMaskEntry(t, FindSectionIndex(t, "GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
    TBitmap* cache = P->SkinData()->CacheBitmap();
    if (!MaskIndexInRange(t, grip) || cache == nullptr) return false;
    const TsMaskData& mask = t->MaskData[static_cast<size_t>(grip)];
    const TPoint size = GripFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
    corner = GripPoint(f, SystemMetrics(), cache->GetWidth(), cache->GetHeight(), size.X, size.Y);
    return true;
  }

  bool PaintingHeld() const override {
    const TsCommonData* d = P->SkinData();
    return d->IsPaintLocked() || P->LockCount() > 0 || !P->FDrawNonClientArea;
  }
  bool Destroying() const override { return P->DestroyingForm(); }
  TsSkinProvider* Provider() const override { return P; }

  bool ExtHitTest(TMessage& message) override {
    if (!P->OnExtHitTest) return false;
    P->OnExtHitTest(P, message);
    return message.Result != 0;
  }
  void ReleaseBorder() override { P->UpdateBorderForm(false); }
  int AlphaValue(int alpha) const override {
    return P->FForm != nullptr && P->FForm->AlphaBlend() ? P->FForm->AlphaBlendValue() : alpha;
  }
  bool ScreenSnap(int& buffer) const override {
    buffer = P->SnapBuffer;
    return P->ScreenSnap;
  }
  TRect WorkArea() const override { return MonitorWorkArea(P->FForm); }
  void EndPendingDrag() override { P->EndOwnDrag(true); }

private:
  TsSkinProvider* P;
};

TlxOwnerFrame OwnerFrameOf(const TsFormGeometry& f, TsSkinManager* m) {
  const ISystemMetrics& sm = SystemMetrics();
  TlxOwnerFrame o;
  o.PlainFrame = FrameBorderWidth(f, sm, false);
  o.ExtBorderWidth = f.ExtBorderWidthSkin;
  o.ExtraWidth = ExtBorderExtraWidth(f, sm);
  o.ExtTitleHeight = f.ExtTitleHeightSkin;
  o.ExtTitleExtra = ExtTitleExtraHeight(f);
  o.CaptionHeight = ::CaptionHeight(f, sm, false);
  o.HasCaption = (f.Style & wsfCaption) == wsfCaption;
  o.ThickFrame = (f.Style & wsfThickFrame) != 0;
  o.Maximized = f.Zoomed;
  o.Iconic = f.Iconic;
  o.SysExtendedHeight = f.SysExtendedHeight;
  if (m != nullptr && m->Tables() != nullptr) {
    o.AlignOffset = m->SkinData().ExShadowOffs;
    o.CornerSide = m->SkinData().ExContentOffs;
  }
  return o;
}

void CopyClientIntoCache(HWND owner, TBitmap* cache, const TRect& client) {
  const TWindowDC dc(owner, TWindowDC::TArea::Window);
  POINT origin{0, 0};
  ClientToScreen(owner, &origin);
  RECT wr{};
  GetWindowRect(owner, &wr);
  BitBlt(cache->Canvas()->GetHandle(), client.Left, client.Top, client.Width(), client.Height(), dc.Get(),
         origin.x - wr.left, origin.y - wr.top, SRCCOPY);
  SetRectAlpha(TargetPixels32(cache), client, 255, false);
}

std::unique_ptr<IlxBorderOwner> MakeProviderBorderOwner(TsSkinProvider* provider) {
  return std::make_unique<TlxProviderBorderOwner>(provider);
}

// ---------------------------------------------------------------------------------------------
// The provider's operations on its border window.

void TsSkinProvider::UpdateBorderForm(bool wanted) {
  const bool may = wanted && FForm != nullptr && FForm->HandleAllocated() && !DestroyingForm() && DrawsFrame(Geometry()) &&
                   FDrawNonClientArea && FForm->Parent() == nullptr && !MDIChild() && FAllowExtBorders;
  if (!may) {
    if (FBorderForm == nullptr) return;
    FBorderForm.reset();
    FSkinData->BGChanged = 1;
    // The form draws its whole frame again, in its own region.
    RegionChanged = true;
    if (FormShowing()) ForceNCPaint();
    return;
  }
  const bool made = FBorderForm == nullptr;
  if (made) FBorderForm = std::make_unique<TlxBorderForm>(MakeProviderBorderOwner(this));
  FSkinData->BGChanged = 1;
  FBorderForm->UpdateExBorder(true, 255);
  if (made && FBorderForm != nullptr && FormShowing()) {
    // The form keeps only its content: its region is cut to it now.
    RegionChanged = true;
    ForceNCPaint();
  }
}

bool TsSkinProvider::RefreshBorderForm(bool repaint, int alpha) {
  if (FBorderForm == nullptr) return false;
  FBorderForm->UpdateExBorder(repaint, alpha);
  return true;
}

void TsSkinProvider::SetAllowExtBorders(bool value) {
  if (value == FAllowExtBorders) return;
  FAllowExtBorders = value;
  if (FForm == nullptr || FForm->IsLoading()) return;
  TsSkinManager* m = SkinManager();
  UpdateBorderForm(m != nullptr && m->GetExtendedBorders());
  FSkinData->BGChanged = 1;
  if (FForm->HandleAllocated()) RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
  if (value == FTitleSkin) return;
  FTitleSkin = value;
  // The resolved title section is forgotten and looked up again under the new name.
  TsSkinManager* m = SkinManager();
  FTitleIndex = -1;
  if (m != nullptr && m->Tables() != nullptr) FTitleIndex = FindSectionIndex(m->Tables(), value.empty() ? "FORMTITLE" : value);
  FSkinData->BGChanged = 1;
  if (FForm == nullptr || !FForm->HandleAllocated() || !IsWindowVisible(FForm->Handle())) return;
  if (!RefreshBorderForm(true)) SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
}

TPoint TsSkinProvider::WindowOriginInCache() {
  if (FBorderForm == nullptr) {
    const TsFormGeometry f = Geometry();
    return TPoint{f.ShadowLeft, f.ShadowTop};
  }
  return TPoint{FBorderForm->FormLeftOffset(), FBorderForm->PlacedTopOffset()};
}

void TsSkinProvider::BorderWindowMessage(TMessage& message) {
  const std::shared_ptr<bool> alive = FAlive;
  CallSavedWndProc(message);
  if (!*alive || FBorderForm == nullptr || DestroyingForm()) return;
  switch (message.Msg) {
    case WM_ACTIVATEAPP:
      // A form minimized by its title button is left to the minimize.
      if ((FormState & Minimizing) == 0) FBorderForm->UpdateExBorder(true, 255);
      return;
    case WM_STYLECHANGED: {
      if (message.WParam != static_cast<WPARAM>(GWL_EXSTYLE) || message.LParam == 0 ||
          (FormState & (Moving | Minimizing | Restoring)) != 0)
        return;
      const auto& change = *reinterpret_cast<const STYLESTRUCT*>(message.LParam);
      if (((change.styleOld ^ change.styleNew) & WS_EX_LAYERED) != 0) FBorderForm->UpdateExBorder(true, 255);
      return;
    }
    case CM_MOUSEENTER:
      // The mouse left the border window for the form: its title-button hover ends and the
      // pixel cut out under the mouse over the shadow is given back.
      if ((FormState & Sizing) == 0) {
        FBorderForm->RestoreRegion();
        SetHotElement(0, true);
      }
      return;
    default: return;
  }
}

void TsSkinProvider::BorderBeforeSysCommand(WPARAM command) {
  if (command == SC_RESTORE || (command == SC_MAXIMIZE && MaxWindowRule())) FBorderForm.reset();
}

void TsSkinProvider::BorderAfterSysCommand(WPARAM command) {
  if (command != SC_RESTORE || !DrawsFrame(Geometry())) return;
  TsSkinManager* m = SkinManager();
  UpdateBorderForm(m != nullptr && m->GetExtendedBorders());
}

bool TsSkinProvider::BorderDroppedWhenMaximized() {
  if (FBorderForm == nullptr || !MaxWindowRule() || !FForm->HandleAllocated() || !IsZoomed(FForm->Handle())) return false;
  FBorderForm.reset();
  FSkinData->BGChanged = 1;
  RegionChanged = true;
  return true;
}

void TsSkinProvider::BorderAfterActivation() {
  if (FBorderForm != nullptr && !BorderDroppedWhenMaximized()) FBorderForm->UpdateExBorder(true, 255);
}

void TsSkinProvider::BorderBeforePosChange(const WINDOWPOS& pos) {
  if (!MaxWindowRule() || FBorderForm != nullptr || !FormShowing() || IsZoomed(FForm->Handle()) ||
      (pos.flags & SWP_NOMOVE) != 0 || (pos.x == 0 && pos.y == 0))
    return;
  // Back from maximized: the form takes its border window again.
  TsSkinManager* m = SkinManager();
  UpdateBorderForm(m != nullptr && m->GetExtendedBorders());
}

void TsSkinProvider::BorderAfterPosChange() {
  // A minimize without the minimize run freed the window and held it away while the form is
  // iconic (the application-window hook); the minimize run and the hide hold it themselves.
  if (FBorderForm == nullptr || !FBorderForm->Updating || FBorderForm->Handle() != nullptr || !FormShowing()) return;
  const HWND wnd = FForm->Handle();
  if (IsWindowVisible(wnd) && !IsIconic(wnd) && (FormState & (Minimizing | Restoring | Hiding)) == 0)
    FBorderForm->Updating = false;
}
