// The grid adapters (see lxGridWnd.h).
#include "skin/adapters/lxGridWnd.h"

#include "skin/core/lxGridWndCore.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sThemes.h"

namespace {

constexpr const char* Fixed3D = "dghFixed3D";
constexpr const char* OptionsEh = "OptionsEh";

// The object holding a path's last property, or null when the grid does not publish the way
// there.
TObject* PathOwner(TObject* grid, const std::vector<std::string>& parts) {
  TObject* o = grid;
  for (size_t i = 0; o != nullptr && i + 1 < parts.size(); ++i) o = ReadObjectProp(o, parts[i]);
  return o != nullptr && PublishedPropExists(o, parts.back()) ? o : nullptr;
}

// The grid's colour plan from the skin's colours.
std::vector<TlxGridColorEntry> PlanFor(TObject* grid, const TsCommonData* d) {
  const TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (t == nullptr) return {};
  TlxGridSkinColors c;
  c.Fixed = GlobalInfoColor(t, ColorToRGB(clBtnFace));
  c.FixedFont = GlobalInfoFontColor(t);
  c.Hot = GlobalInfoHotColor(t, ColorToRGB(clWindow));
  c.EditFont = EditFontColor(t, ColorToRGB(clWindowText));
  c.Border = t->SkinData.BorderColor;
  c.Constant = c.Fixed;
  c.Selection = SelectionColor(t, true, ColorToRGB(clHighlight));
  c.SelectionFont = SelectionFontColor(t, true, ColorToRGB(clHighlightText));
  c.SectionFont = SectionIndexInRange(t, d->SectionIndex())
                      ? ColorToRGB(SectionState(t->GeneralData[static_cast<size_t>(d->SectionIndex())], 0).FontColor[0])
                      : c.EditFont;
  return GridColorPlan(c, ReadObjectProp(grid, "ControlLook") != nullptr);
}

// Every path the skin may set (the plan's paths with the "ControlLook" part).
std::vector<std::string> AllPaths() {
  std::vector<std::string> paths;
  for (const TlxGridColorEntry& e : GridColorPlan(TlxGridSkinColors{}, true)) paths.push_back(e.Path);
  return paths;
}

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

}   // namespace

// ---------------------------------------------------------------------------------------------
// TlxGridWnd.

TlxGridWnd::~TlxGridWnd() { ReleaseWndAdapter(Handle(), false, *this); }

void TlxGridWnd::StoreControlColors() {
  TlxEditWnd::StoreControlColors();
  TControl* grid = SkinData()->OwnerControl();
  FSaved.clear();
  if (grid == nullptr) return;
  for (const std::string& path : AllPaths()) {
    const std::vector<std::string> parts = SplitPropPath(path);
    if (TObject* o = PathOwner(grid, parts)) FSaved[path] = ReadOrdProp(o, parts.back());
  }
}

void TlxGridWnd::RestoreControlColors() {
  TlxEditWnd::RestoreControlColors();
  TControl* grid = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  if (grid == nullptr || grid->IsDestroying()) return;
  for (const auto& [path, value] : FSaved) {
    const std::vector<std::string> parts = SplitPropPath(path);
    if (TObject* o = PathOwner(grid, parts)) WriteOrdProp(o, parts.back(), value);
  }
}

void TlxGridWnd::ApplySkinColors() {
  TlxEditWnd::ApplySkinColors();
  TControl* grid = SkinData()->OwnerControl();
  if (grid == nullptr) return;
  for (const TlxGridColorEntry& e : PlanFor(grid, SkinData())) {
    const std::vector<std::string> parts = SplitPropPath(e.Path);
    if (TObject* o = PathOwner(grid, parts)) SetPublishedColor(o, parts.back(), e.Value);
  }
}

void TlxGridWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxEditWnd::HandleMessage(message);
    return;
  }
  TControl* grid = d->OwnerControl();
  switch (message.Msg) {
    case WM_ERASEBKGND:
      // The grid paints every cell itself.
      d->SetPaintLock(d->IsPaintLocked());
      message.Result = 1;
      return;
    case WM_VSCROLL: {
      if (grid == nullptr || !PublishedPropExists(grid, "DataSource")) break;
      const int code = LOWORD(message.WParam);
      if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        // A data-aware grid reads the record to show from its scroll info, which the skinned
        // bar does not move: the message's position is written there first.
        SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, static_cast<int>(HIWORD(message.WParam)), 0};
        SetScrollInfo(Handle(), SB_VERT, &si, FALSE);
      } else if (code == SB_ENDSCROLL && std::string(grid->ClassName()) == "TwwDBGrid") {
        TlxEditWnd::HandleMessage(message);
        TMessage position{WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, GetScrollPos(Handle(), SB_VERT)), 0, 0};
        TlxEditWnd::HandleMessage(position);
        return;
      }
      break;
    }
    default:
      break;
  }
  TlxEditWnd::HandleMessage(message);
  if (Defunct()) return;
  if (message.Msg == WM_PAINT) RefreshScrollInfo(true);
  if (message.Msg == WM_WINDOWPOSCHANGED && Visible(Handle())) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

// ---------------------------------------------------------------------------------------------
// TlxGridEhWnd.

TlxGridEhSeams& GridEhSeams() {
  static TlxGridEhSeams seams{[] { return static_cast<int>(LOBYTE(LOWORD(GetVersion()))); },
                              [] { return ThemesActive(); }};
  return seams;
}

TlxGridEhWnd::~TlxGridEhWnd() { ReleaseWndAdapter(Handle(), false, *this); }

bool TlxGridEhWnd::TouchesFixed3D() const {
  TControl* grid = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  return grid != nullptr && GridEhSeams().WindowsMajor() < 6 && GridEhSeams().ThemesOn() &&
         PublishedPropExists(grid, OptionsEh);
}

void TlxGridEhWnd::StoreControlColors() {
  TlxGridWnd::StoreControlColors();
  FSaved3D = TouchesFixed3D();
  if (FSaved3D) FFixed3D = SetPropHasElement(SkinData()->OwnerControl(), OptionsEh, Fixed3D);
}

void TlxGridEhWnd::RestoreControlColors() {
  TlxGridWnd::RestoreControlColors();
  TControl* grid = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  if (FSaved3D && grid != nullptr && !grid->IsDestroying()) ToggleSetPropElement(grid, OptionsEh, Fixed3D, FFixed3D);
}

void TlxGridEhWnd::ApplySkinColors() {
  TlxGridWnd::ApplySkinColors();
  if (FSaved3D) ToggleSetPropElement(SkinData()->OwnerControl(), OptionsEh, Fixed3D, false);
}
