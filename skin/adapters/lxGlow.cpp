// Glow windows (see lxGlow.h).
//
// Sections: the glow; the list; showing, hiding and clearing; start-up.
#include "skin/adapters/lxGlow.h"

#include <climits>

#include "skin/core/sSkinData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sDibSection.h"

// ---------------------------------------------------------------------------------------------
// The glow

ORBEX_IMPLEMENT_CLASS(TlxGlowEffect, TObject, nullptr)

namespace {

// The glow form's window style: never activated, layered with per-pixel alpha, no taskbar
// button, and transparent to the mouse.
constexpr DWORD GlowExStyle = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
static_assert(GlowExStyle == 0x080800A0);
// Placed without size change, activation, owner reordering or WM_WINDOWPOSCHANGING.
constexpr UINT GlowPosFlags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
static_assert(GlowPosFlags == 0x611);

bool FormMustGoAtOnce(const TsSkinManager* manager) {
  return (manager != nullptr && manager->IsDestroying()) || Application == nullptr || Application->Terminated();
}

}  // namespace

TlxGlowEffect::~TlxGlowEffect() {
  if (!FGlowForm) return;
  FGlowForm->WindowProc = FPreviousWndProc;
  // Release needs a window to queue its message on; without one the form goes now.
  if (FImmediate || FormMustGoAtOnce(SkinManager) || !FGlowForm->HandleAllocated()) {
    FGlowForm.reset();
  } else {
    FGlowForm->Release();
    (void)FGlowForm.release();   // it frees itself when its release message is handled
  }
}

TRect TlxGlowEffect::MaskBorders() const {
  const TsSkinTables* t = SkinManager != nullptr ? SkinManager->Tables() : nullptr;
  return TRect{MaskBorderLeft(t, GlowMaskIndex), MaskBorderTop(t, GlowMaskIndex), MaskBorderRight(t, GlowMaskIndex),
               MaskBorderBottom(t, GlowMaskIndex)};
}

void TlxGlowEffect::BuildAlphaBitmap(const TlxGlowGeometry& g) {
  AlphaBitmap = std::make_unique<TlxDibSection>(g.Window.Width(), g.Window.Height());
  const TsSkinTables* t = SkinManager != nullptr ? SkinManager->Tables() : nullptr;
  if (!MaskIndexInRange(t, GlowMaskIndex)) {
    PaintGlowImage(AlphaBitmap->View(), g.FullRect, TlxMaskImage{});
    return;
  }
  const TsMaskData& mask = t->MaskData[static_cast<size_t>(GlowMaskIndex)];
  PaintGlowImage(AlphaBitmap->View(), g.FullRect, MaskImageOf(mask, SkinManager->MasterBitmap()));
}

void TlxGlowEffect::GlowWndProc(TMessage& m) {
  // The mouse passes through the glow to whatever lies below.
  if (m.Msg == WM_NCHITTEST) {
    m.Result = HTTRANSPARENT;
    return;
  }
  FPreviousWndProc(m);
}

bool TlxGlowEffect::Show(const TRect& controlRect, const TRect& visibleRect, HWND controlWnd) {
  if (FGlowForm) return true;
  TlxGlowGeometry g;
  if (!GlowGeometry(controlRect, visibleRect, MaskBorders(), Margin, g)) return false;
  BuildAlphaBitmap(g);
  if (AlphaBitmap->GetHandle() == nullptr) {
    AlphaBitmap.reset();
    return false;
  }

  FGlowForm = std::make_unique<TForm>(nullptr);
  TForm* f = FGlowForm.get();
  f->SetTag(-98);   // the engine's own window: never skinned or adopted
  FPreviousWndProc = f->WindowProc;
  f->WindowProc = [this](TMessage& m) { GlowWndProc(m); };
  f->SetControlStyle(f->ControlStyle() & ~csCaptureMouse);
  f->SetBorderStyle(bsNone);
  f->SetBounds(g.Window.Left, g.Window.Top, g.Window.Width(), g.Window.Height());
  HWND h = f->Handle();

  HWND insertAfter = HWND_TOPMOST;
  if ((GetWindowLongA(controlWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
    HWND prev = GetWindow(controlWnd, GW_HWNDPREV);
    insertAfter = prev != nullptr ? prev : controlWnd;
  }
  SetWindowLongA(h, GWL_EXSTYLE, static_cast<LONG>(GlowExStyle));
  SetWindowPos(h, insertAfter, g.Window.Left, g.Window.Top, 0, 0, GlowPosFlags);

  {
    TWindowDC screen(nullptr);
    TMemoryDC source(screen.Get(), AlphaBitmap->GetHandle());
    SIZE size{g.Window.Width(), g.Window.Height()};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (UpdateLayeredWindowProc != nullptr)
      UpdateLayeredWindowProc(h, screen.Get(), nullptr, &size, source.Get(), &origin, 0, &blend, ULW_ALPHA);
  }
  ShowWindow(h, SW_SHOWNOACTIVATE);
  AlphaBitmap.reset();
  return true;
}

// ---------------------------------------------------------------------------------------------
// The list

int TlxGlowEffects::Add(std::unique_ptr<TlxGlowEffect> glow) {
  const long long id = static_cast<long long>(FFirstId) + static_cast<long long>(FItems.size());
  if (id >= INT_MAX) return -1;
  FItems.push_back(std::move(glow));
  return static_cast<int>(id);
}

TlxGlowEffect* TlxGlowEffects::Get(int id) const {
  const long long i = static_cast<long long>(id) - FFirstId;
  if (id < 0 || i < 0 || i >= static_cast<long long>(FItems.size())) return nullptr;
  return FItems[static_cast<size_t>(i)].get();
}

void TlxGlowEffects::Remove(int id) {
  const long long i = static_cast<long long>(id) - FFirstId;
  if (id < 0 || i < 0 || i >= static_cast<long long>(FItems.size())) return;
  // Taken out of its slot first: freeing the form sends messages whose handlers may hide
  // glows themselves.
  std::unique_ptr<TlxGlowEffect> glow = std::move(FItems[static_cast<size_t>(i)]);
}

void TlxGlowEffects::Clear(bool immediate) {
  std::vector<std::unique_ptr<TlxGlowEffect>> items = std::move(FItems);
  FItems.clear();
  // Every id given out so far stays unknown from now on.
  FFirstId += static_cast<int>(items.size());
  for (auto& g : items) {
    if (g == nullptr) continue;
    if (immediate) g->FreeFormAtOnce();
    g.reset();
  }
}

TlxGlowEffects& GlowEffects() {
  static TlxGlowEffects list;
  return list;
}

// ---------------------------------------------------------------------------------------------
// Showing, hiding and clearing

int ShowGlow(const TRect& controlRect, const TRect& visibleRect, const std::string& sectionName,
             TsSkinManager* manager, HWND controlWnd, int /*alpha*/, int margin, const std::string& maskName) {
  if (!LayeredWindowsAvailable()) return -1;
  TsSkinManager* m = manager != nullptr ? manager : TsSkinManager::DefaultManager();
  if (m == nullptr) return -1;
  const int index = FindMaskEntryDirect(m->Tables(), sectionName, maskName + "0");
  if (index < 0) return -1;
  auto glow = std::make_unique<TlxGlowEffect>();
  glow->SkinManager = m;
  glow->Margin = margin;
  glow->GlowMaskIndex = index;
  if (!glow->Show(controlRect, visibleRect, controlWnd)) return -1;
  return GlowEffects().Add(std::move(glow));
}

void HideGlow(int glowId) { GlowEffects().Remove(glowId); }

void ClearGlows(bool restoreMethods) { GlowEffects().Clear(restoreMethods); }

// ---------------------------------------------------------------------------------------------
// Start-up

void InitGlowUnit() {
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.ShowGlow = &ShowGlow;
  links.HideGlow = &HideGlow;
  links.ClearGlows = &ClearGlows;
}

void DoneGlowUnit() {
  ClearGlows(false);
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.ShowGlow = nullptr;
  links.HideGlow = nullptr;
  links.ClearGlows = nullptr;
}
