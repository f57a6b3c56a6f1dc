// The dialog adapter as the owner of an extended-border window: the owner operations of
// IlxBorderOwner over the dialog, its frame cache and its title buttons (see lxBorderForm.h).
// A dialog has no provider and no menu line; its state word keeps Sizing and Moving only.
// Border-window coordinates are those of the dialog's frame cache.
#include "skin/forms/lxBorderForm.h"

#include <algorithm>

#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxDialogWnd.h"
#include "skin/forms/sFormRegion.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

class TlxDialogBorderOwner final : public IlxBorderOwner {
public:
  explicit TlxDialogBorderOwner(TlxDialogWnd* dialog) : D(dialog) {}

  HWND OwnerHandle() const override { return D->Handle(); }
  TRect ShadowMargins() const override {
    TsSkinManager* m = D->SkinManager();
    return m != nullptr ? m->ShadowSizes() : TRect{};
  }
  TsCommonData* SkinData() const override { return D->SkinData(); }

  TlxOwnerFrame Frame() const override { return OwnerFrameOf(D->Geometry(), D->SkinManager()); }

  void SetHotButton(int code) override { D->SetHotButton(code < 0 ? 0 : code, true); }
  int CaptionHeight(bool withExtTitle) const override {
    return ::CaptionHeight(D->Geometry(), SystemMetrics(), withExtTitle);
  }
  int MenuHeight() const override { return 0; }
  TRect IconRect() const override { return ::IconRect(D->Geometry(), SystemMetrics()); }
  void RepaintOwner() override { D->PaintFrameCache(); }

  void RenderWholeImage() override {
    TBitmap* cache = D->EffectFrameCache();
    const HWND h = D->Handle();
    if (cache == nullptr || cache->Empty() || h == nullptr) return;
    // The client as it shows now, at its place in the image, opaque.
    RECT cr{};
    GetClientRect(h, &cr);
    const TRect client = Bounds(D->ClientOffsetX(), D->ClientOffsetY(), cr.right, cr.bottom);
    CopyClientIntoCache(h, cache, client);
  }

  std::uint32_t OwnerState() const override { return D->State; }
  void SetOwnerState(std::uint32_t state) override { D->State = state & (lxOwnerSizing | lxOwnerMoving); }
  void StopButtonAnimations() override { D->StopButtonAnimations(); }

  TRect ContentRect(int width, int height) const override {
    const TsFormGeometry f = D->Geometry();
    RECT cr{};
    GetClientRect(D->Handle(), &cr);
    const int left = D->ClientOffsetX(), top = D->ClientOffsetY();
    int cw = cr.right, ch = cr.bottom;
    // While sized, the new size.
    if ((D->State & lxOwnerSizing) != 0) {
      cw += width - f.FormWidth;
      ch += height - f.FormHeight;
    }
    return TRect{left, top, left + std::max(cw, 0), top + std::max(ch, 0)};
  }

  TlxButtonsAt ButtonAt(TPoint p) const override {
    TlxButtonsAt at;
    TlxTitleButtonFlags& b = at.Flags;
    const TlxDialogState s = D->DialogState();
    b.Provider = false;
    b.Iconic = s.Iconic;
    b.VisibleClose = s.SysMenu;
    b.ShowMax = s.SysMenu && s.MaxBox;
    b.ShowMin = s.SysMenu && s.MinBox;
    b.ShowHelp = s.SysMenu && s.Help;
    b.EnabledMax = s.MaxPossible();
    b.EnabledRestore = s.RestorePossible();
    b.EnabledMin = s.MinPossible();
    // A dialog knows close (1) and maximize (2) only.
    int number = 0;
    for (const int code : {htcClose, htcMaxButton}) {
      ++number;
      const TlxDialogWnd::TButton* button = D->Button(code);
      if (button == nullptr || button->State < 0) continue;
      ++b.SystemCount;
      const TRect& r = button->Rect;
      if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) at.Number = number;
    }
    return at;
  }

  bool GripAt(TPoint& corner) const override {
    (void)corner;
    return false;
  }
  bool PaintingHeld() const override {
    const TsCommonData* d = D->SkinData();
    return d == nullptr || d->IsPaintLocked();
  }
  bool Destroying() const override { return D->Destroyed(); }
  TRect WorkArea() const override {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoA(MonitorFromWindow(D->Handle(), MONITOR_DEFAULTTONEAREST), &mi)) return TRect{};
    return TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  }

private:
  TlxDialogWnd* D;
};

}  // namespace

std::unique_ptr<IlxBorderOwner> MakeDialogBorderOwner(TlxDialogWnd* dialog) {
  return std::make_unique<TlxDialogBorderOwner>(dialog);
}

// ---------------------------------------------------------------------------------------------
// The dialog's operations on its border window.

bool TlxDialogWnd::MayHaveBorderForm(bool wanted) const {
  const HWND h = Handle();
  return wanted && h != nullptr && !FDestroyed && BorderKind != dbkNone &&
         (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) == 0 && SkinData() != nullptr;
}

void TlxDialogWnd::MakeBorderForm() {
  FBorderForm = std::make_unique<TlxBorderForm>(MakeDialogBorderOwner(this));
  FSizedFrame = FrameImageSize(Geometry());
}

void TlxDialogWnd::PrepareBorderForm(bool wanted) {
  if (FBorderForm != nullptr || !MayHaveBorderForm(wanted)) return;
  MakeBorderForm();
  SkinData()->BGChanged = 1;
  // The frame is the border window's: the dialog appears with its content only.
  UpdateRegion(false);
}

void TlxDialogWnd::UpdateBorderForm(bool wanted) {
  const HWND h = Handle();
  if (!MayHaveBorderForm(wanted) || !IsWindowVisible(h)) {
    if (FBorderForm == nullptr) return;
    FBorderForm.reset();
    SkinData()->BGChanged = 1;
    // The dialog draws its whole frame again, in its own region.
    FRegionChanged = true;
    if (h != nullptr && IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return;
  }
  const bool made = FBorderForm == nullptr;
  if (made) MakeBorderForm();
  SkinData()->BGChanged = 1;
  FRegionChanged = true;
  FBorderForm->UpdateExBorder(true, 255);
  // The dialog keeps only its content: its region is cut to it now.
  if (made) UpdateRegion(true);
}
