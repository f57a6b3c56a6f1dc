// Control utilities, the painting of graphic children and the animation flag (see
// sControlUtils.h).
#include "skin/core/win/sControlUtils.h"

#include <iterator>
#include <vector>

#include "framework/win/ComCtrls.h"
#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/paint/win/sDibSection.h"
#include "skin/paint/win/sThemes.h"

bool AnimationInProgress = false;

bool ControlIsPaintable(TControl* control) {
  if (control == nullptr || control->Parent() == nullptr) return false;
  if (auto* w = As<TWinControl>(control); w != nullptr && !w->HandleAllocated()) return false;
  if ((control->ControlState() & (csCreating | csReadingState)) != 0) return false;
  return (control->ComponentState() & (csLoading | csDestroying)) == 0;
}

HWND TopLevelWindowOf(HWND wnd) {
  HWND top = wnd;
  for (HWND p = wnd != nullptr ? GetParent(wnd) : nullptr; p != nullptr; p = GetParent(p)) top = p;
  return top;
}

namespace {

// SetWindowTheme through the theme table; false without the entry or the window.
bool SetTheme(HWND wnd, LPCWSTR appName, LPCWSTR idList) {
  const auto entry = ThemeEntries().SetWindowTheme;
  if (entry == nullptr || wnd == nullptr) return false;
  entry(wnd, appName, idList);
  return true;
}

}  // namespace

bool ResetWindowTheme(HWND wnd) { return SetTheme(wnd, nullptr, nullptr); }

bool SwitchOffWindowTheme(HWND wnd) { return SetTheme(wnd, L" ", L" "); }

UINT TextAlignFlags(TAlignment alignment) {
  static constexpr UINT Flags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static_assert(std::size(Flags) == taCenter + 1, "one flag per alignment");
  const UINT flag = alignment >= taLeftJustify && alignment <= taCenter ? Flags[alignment] : DT_LEFT;
  return flag | DT_EXPANDTABS | DT_VCENTER;
}

TRect ClientRectInWindow(HWND wnd) {
  RECT window{}, client{};
  POINT origin{0, 0};
  if (wnd == nullptr || !GetWindowRect(wnd, &window) || !GetClientRect(wnd, &client)) return TRect{};
  ClientToScreen(wnd, &origin);
  const int x = origin.x - window.left, y = origin.y - window.top;
  return TRect{x, y, x + client.right, y + client.bottom};
}

TCustomForm* OwnerFormOf(TComponent* component) {
  for (TComponent* c = component; c != nullptr; c = c->Owner())
    if (auto* form = As<TCustomForm>(c)) return form;
  return nullptr;
}

int AlignedChildrenExtent(TWinControl* control, TAlign align, bool withGraphic) {
  if (control == nullptr) return 0;
  const bool vertical = align == alTop || align == alBottom;
  if (!vertical && align != alLeft && align != alRight) return 0;
  int extent = 0;
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* c = control->Controls(i);
    if (!c->Visible() || c->Align() != align || (!withGraphic && As<TWinControl>(c) == nullptr)) continue;
    extent += vertical ? c->Height() : c->Width();
  }
  return extent;
}

TPoint CursorPosition() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{static_cast<int>(p.x), static_cast<int>(p.y)};
}

// ---------------------------------------------------------------------------------------------
// Graphic children.

namespace {

// Set while PaintGraphicChildren runs: a child painting its own children through it (or a
// container asked for its background meanwhile) must not start a second off-screen pass.
bool PaintingGraphicChildren = false;

class TPaintingGraphicChildren {
public:
  TPaintingGraphicChildren() { PaintingGraphicChildren = true; }
  ~TPaintingGraphicChildren() { PaintingGraphicChildren = false; }
  TPaintingGraphicChildren(const TPaintingGraphicChildren&) = delete;
  TPaintingGraphicChildren& operator=(const TPaintingGraphicChildren&) = delete;
};

bool Designing(const TControl* c) { return (c->ComponentState() & csDesigning) != 0; }

bool ClipBoxEmpty(HDC dc) {
  RECT r{};
  return GetClipBox(dc, &r) == NULLREGION || r.right <= r.left || r.bottom <= r.top;
}

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
  TOwnedBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &r, brush.Get());
}

// The area under each child before it paints: an opaque child's own colour, else the piece
// of the container's background at the child's place, or the background colour.
void FillUnderChildren(HDC mem, const std::vector<TControl*>& children, const TsBackgroundRequest& bg) {
  const bool bitmap = bg.Kind == bkBitmap && bg.Bitmap != nullptr && !bg.Bitmap->Empty();
  const COLORREF colour = static_cast<COLORREF>(ColorToRGB(bg.Color)) & 0xFFFFFF;
  for (TControl* c : children) {
    const RECT r = ToRECT(c->BoundsRect());
    if ((c->ControlStyle() & csOpaque) != 0)
      FillColour(mem, r, GetControlColor(c));
    else if (bitmap)
      BitBlt(mem, r.left, r.top, c->Width(), c->Height(), bg.Bitmap->Canvas()->GetHandle(), bg.OffsetX + r.left,
             bg.OffsetY + r.top, SRCCOPY);
    else
      FillColour(mem, r, colour);
  }
}

// One child's WM_PAINT into the off-screen DC, its origin at the child's top left and clipped
// to it; it sees the container's painting-a-copy state for the time of its painting.
void PaintChild(HDC mem, TControl* child, bool paintCopy) {
  TSaveDC saved(mem);
  OffsetWindowOrgEx(mem, -child->Left(), -child->Top(), nullptr);
  IntersectClipRect(mem, 0, 0, child->Width(), child->Height());
  const bool added = paintCopy && (child->ControlState() & csPaintCopy) == 0;
  if (added) child->SetControlState(child->ControlState() | csPaintCopy);
  try {
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  } catch (...) {
    // One child's failure must not leave its siblings unpainted or a half-made frame on
    // screen; what it managed to draw stays.
  }
  if (added) child->SetControlState(child->ControlState() & ~csPaintCopy);
}

}  // namespace

bool IsPaintableGraphicChild(TControl* child, HDC DC) {
  if (As<TGraphicControl>(child) == nullptr || child->IsDestroying()) return false;
  if (!child->Visible() && !Designing(child)) return false;
  if (child->Width() < 1 || child->Height() < 1) return false;
  if (auto* button = As<TToolButton>(child); button != nullptr && button->Style() <= tbsDropDown) return false;
  const RECT r = ToRECT(child->BoundsRect());
  return RectVisible(DC, &r) != FALSE;
}

void PaintGraphicChildren(HDC DC, TWinControl* control, bool skipWhenHidden, TPoint offset) {
  if (PaintingGraphicChildren || DC == nullptr || control == nullptr || control->ControlCount() == 0) return;
  if (skipWhenHidden && !control->Visible() && !Designing(control)) return;
  if (ClipBoxEmpty(DC)) {
    SendSkinCommandToControl(control, SkinCmdMarkPartlyHidden);
    return;
  }
  TPaintingGraphicChildren running;
  std::vector<TControl*> children;
  for (int i = 0; i < control->ControlCount(); ++i)
    if (IsPaintableGraphicChild(control->Controls(i), DC)) children.push_back(control->Controls(i));
  if (children.empty()) return;
  // Aligned graphic children of an MDI main form lie beside its client window, whose size
  // follows them: they take their new place's image now, before they are copied.
  if (const auto* form = As<TCustomForm>(control); form != nullptr && form->FormStyle() == fsMDIForm)
    for (TControl* c : children)
      if (c->Align() != alNone) SendSkinCommandToControl(c, SkinCmdRepaintNow);

  TsBackgroundRequest bg;
  bg.Rect = TRect{0, 0, control->Width(), control->Height()};
  RequestControlBackground(bg, control, false);
  // A bare DIB section in a memory DC, released on every way out: the pixels are all that is
  // needed of it (the key colour is read from them).
  const TlxDibSection image(control->Width(), control->Height());
  const TMemoryDC memory(DC, image.GetHandle());
  if (image.GetHandle() == nullptr || !memory.Valid()) return;
  const HDC mem = memory.Get();
  FillUnderChildren(mem, children, bg);
  const bool paintCopy = (control->ControlState() & csPaintCopy) != 0;
  for (TControl* c : children) {
    RECT target = ToRECT(c->BoundsRect());
    OffsetRect(&target, offset.X, offset.Y);
    if (!RectVisible(DC, &target)) SendSkinCommandToControl(c, SkinCmdMarkPartlyHidden);
    PaintChild(mem, c, paintCopy);
  }

  GdiFlush();
  const TlxPixelBuffer& pixels = image.View();
  for (TControl* c : children) {
    // The key pixel is looked up where the child lands in DC, which for a child at the right
    // or bottom edge lies beyond the off-screen bitmap: such a child is copied.
    const int x = c->Left() + offset.X, y = c->Top() + offset.Y;
    if (pixels.Contains(x, y) && (GetPix(pixels, x, y) & 0xFFFFFF) == 0xFF00FF) continue;
    BitBlt(DC, x, y, c->Width(), c->Height(), mem, c->Left(), c->Top(), SRCCOPY);
  }
}
