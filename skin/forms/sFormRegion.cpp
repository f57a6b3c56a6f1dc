// A skinned form's live geometry and window region (see sFormRegion.h).
#include "skin/forms/sFormRegion.h"

#include <array>

#include "framework/win/Menus.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sMaskRegion.h"

// ---- system metrics and window sizes ------------------------------------------------------

namespace {

class TsSystemMetrics final : public ISystemMetrics {
public:
  int Get(int index) const override {
    if (index < 0 || index >= static_cast<int>(FValues.size())) return ::GetSystemMetrics(index);
    auto& v = FValues[static_cast<std::size_t>(index)];
    if (!v.Read) v = TValue{true, ::GetSystemMetrics(index)};
    return v.Value;
  }

private:
  struct TValue {
    bool Read = false;
    int Value = 0;
  };
  // Indexes of the metrics kept; others are read each time.
  mutable std::array<TValue, 100> FValues{};
};

TRect WindowRectOf(HWND wnd) {
  RECT r{};
  if (wnd == nullptr || !::GetWindowRect(wnd, &r)) return {};
  return TRect{r.left, r.top, r.right, r.bottom};
}

TRect ClientRectOf(HWND wnd) {
  RECT r{};
  if (wnd == nullptr || !::GetClientRect(wnd, &r)) return {};
  return TRect{r.left, r.top, r.right, r.bottom};
}

static_assert(static_cast<int>(TsFormBorder::SizeToolWin) == bsSizeToolWin &&
                  static_cast<int>(TsFormBorder::Dialog) == bsDialog,
              "the form description keeps the framework's border style order");

void ReadMainMenu(TsFormGeometry& f, TCustomForm* form, HWND wnd) {
  TMainMenu* menu = form->Menu();
  if (menu == nullptr) return;
  f.HasMainMenu = true;
  f.MenuAutoMerge = menu->AutoMerge();
  TMenuItem* items = menu->Items();
  f.MenuItemCount = items != nullptr ? items->Count() : 0;
  // An MDI main form's bar shows its active child's items merged in: they count too.
  f.MenuHasVisibleItem = !menu->BarItems().empty();
  HMENU bar = wnd != nullptr ? ::GetMenu(wnd) : nullptr;
  RECT r{};
  if (bar != nullptr && ::GetMenuItemCount(bar) > 0 && ::GetMenuItemRect(wnd, bar, 0, &r)) f.FirstMenuItemBottom = r.bottom;
}

}  // namespace

const ISystemMetrics& SystemMetrics() {
  static const TsSystemMetrics metrics;
  return metrics;
}

int WindowWidthOf(HWND wnd) { return WindowRectOf(wnd).Width(); }
int WindowHeightOf(HWND wnd) { return WindowRectOf(wnd).Height(); }
int ClientWidthOf(HWND wnd) { return ClientRectOf(wnd).Width(); }
int ClientHeightOf(HWND wnd) { return ClientRectOf(wnd).Height(); }

TRect MonitorWorkArea(TCustomForm* form) {
  HWND wnd = form != nullptr && form->HandleAllocated() ? form->Handle() : nullptr;
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR mon = wnd != nullptr ? ::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST)
                                : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (mon != nullptr && ::GetMonitorInfoA(mon, &mi))
    return TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  RECT r{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// ---- form description ---------------------------------------------------------------------

TsFormGeometry FormGeometryOf(TCustomForm* form) {
  TsFormGeometry f;
  if (form == nullptr) return f;
  f.BorderStyle = static_cast<TsFormBorder>(form->BorderStyle());
  f.BorderWidth = form->BorderWidth();
  f.FormWidth = form->Width();
  f.FormHeight = form->Height();
  f.MainForm = Application != nullptr && Application->MainForm() == form;
  f.MDIChild = form->FormStyle() == fsMDIChild;
  const TSizeConstraints* c = form->Constraints();
  f.HasMaxConstraints = c != nullptr && (c->MaxWidth() > 0 || c->MaxHeight() > 0);
  // Docked forms are not built: the framework does not dock forms (no drag kind, no dock
  // sites), so `Docked` stays unset.
  HWND wnd = form->HandleAllocated() ? form->Handle() : nullptr;
  ReadMainMenu(f, form, wnd);
  if (wnd == nullptr) return f;
  f.Style = static_cast<std::uint32_t>(::GetWindowLongA(wnd, GWL_STYLE));
  f.ExStyle = static_cast<std::uint32_t>(::GetWindowLongA(wnd, GWL_EXSTYLE));
  f.Iconic = ::IsIconic(wnd) != FALSE;
  f.Zoomed = ::IsZoomed(wnd) != FALSE;
  const TRect w = WindowRectOf(wnd), cl = ClientRectOf(wnd);
  // The form's bounds follow its window only when the system's change of place and size has
  // returned (WM_WINDOWPOSCHANGED); its frame is painted inside that change already
  // (WM_NCPAINT), so the window's own size is the form's. An iconic form keeps its bounds.
  if (!f.Iconic) {
    f.FormWidth = w.Width();
    f.FormHeight = w.Height();
  }
  f.Top = w.Top;
  f.WindowOrigin = TPoint{w.Left, w.Top};
  f.WindowWidth = w.Width();
  f.WindowHeight = w.Height();
  f.ClientWidth = cl.Width();
  f.ClientHeight = cl.Height();
  POINT origin{0, 0};
  ::ClientToScreen(wnd, &origin);
  f.ClientOrigin = TPoint{origin.x, origin.y};
  const ISystemMetrics& sm = SystemMetrics();
  if (f.Style & WS_VSCROLL) f.VScrollWidth = sm.Get(SM_CXVSCROLL);
  if (f.Style & WS_HSCROLL) f.HScrollHeight = sm.Get(SM_CYHSCROLL);
  f.HasSystemMenu = (f.Style & WS_SYSMENU) != 0;
  return f;
}

// ---- region -------------------------------------------------------------------------------

void BuildRegionRects(std::vector<TRect>& list, const TsSkinTables* tables, TBitmap* master, int borderIndex,
                      const std::string& titleSection, int width, int height) {
  list.clear();
  if (tables == nullptr) return;
  if (MaskIndexInRange(tables, borderIndex)) {
    const TlxMaskImage mask = MaskImageOf(tables->MaskData[static_cast<std::size_t>(borderIndex)], master);
    CollectCornerKeyRuns(list, width, mask, false, 0);
    CollectCornerKeyRuns(list, width, mask, true, height - mask.WB);
  }
  const std::string name = titleSection.empty() ? std::string("FORMTITLE") : titleSection;
  const int title = FindMaskEntry(tables, FindSectionIndex(tables, name), name, "BORDERSMASK");
  if (MaskIndexInRange(tables, title))
    CollectCornerKeyRuns(list, width, MaskImageOf(tables->MaskData[static_cast<std::size_t>(title)], master), false, 0);
}

TOwnedRegion CreateRegion(int x, int y, int width, int height, const std::vector<TRect>& cuts) {
  TOwnedRegion rgn(::CreateRectRgn(x, y, x + width, y + height));
  if (rgn && !CutRunsFromRegion(rgn.Get(), OffsetRects(cuts, x, y))) rgn.Reset();
  return rgn;
}

bool UpdateRegion(TCustomForm* form, const TsFormGeometry& f, const ISystemMetrics& sm, const std::vector<TRect>& cuts,
                  bool drawNonClientArea, bool inMenu, TsRegionFlags& flags, bool redraw) {
  if (form == nullptr) return false;
  const TsRegionPlan plan = PlanFormRegion(f, sm, drawNonClientArea, form->HandleAllocated(), inMenu);
  if (plan.Kind == TsRegionKind::Skip) return false;
  HWND wnd = form->Handle();
  flags.Changing = true;
  TOwnedRegion rgn;
  if (plan.Kind == TsRegionKind::Rectangle)
    rgn.Reset(::CreateRectRgn(plan.Rect.Left, plan.Rect.Top, plan.Rect.Right, plan.Rect.Bottom));
  else if (plan.Kind == TsRegionKind::CutAways)
    rgn = CreateRegion(0, 0, CacheWidth(f, sm), f.FormHeight, cuts);
  flags.Changed = false;
  bool applied = false;
  if (plan.Kind == TsRegionKind::Remove)
    applied = ::SetWindowRgn(wnd, nullptr, redraw) != 0;
  else if (rgn && ::SetWindowRgn(wnd, rgn.Get(), redraw) != 0) {
    // The window owns the region now; on failure our owner still deletes it.
    (void)rgn.Release();
    applied = true;
  }
  if (applied) {
    flags.Width = CacheWidth(f, sm);
    flags.Height = f.FormHeight;
  }
  flags.Changing = false;
  return applied;
}

// ---- title-button strip -------------------------------------------------------------------

void SaveTitleButtonsArea(TBitmap* work, TBitmap* cache, const TsTitleStrip& strip) {
  if (work == nullptr || cache == nullptr || cache->Empty()) return;
  if (work->GetPixelFormat() != cache->GetPixelFormat()) work->SetPixelFormat(cache->GetPixelFormat());
  if (work->GetWidth() != strip.Width || work->GetHeight() != strip.Height) work->SetSize(strip.Width, strip.Height);
  SaveTitleStrip(BitmapPixels(work), BitmapPixels(cache), strip);
}

void RestoreTitleButtonsArea(TBitmap* cache, TBitmap* work, const TsTitleStrip& strip) {
  if (work == nullptr || cache == nullptr || work->Empty()) return;
  RestoreTitleStrip(BitmapPixels(cache), BitmapPixels(work), strip);
}
