// The skin provider's MDI work: an MDI main form's client window skinned through its wrapper
// (sMDIForm), the maximized child's icon and buttons (close, restore, minimize) on the main
// form's menu line, the hidden form that shows those buttons while a menu of the form is open,
// and the messages through which MDI children keep their main form's frame in step.
//
// The maximized child's buttons stand in the menu line's last 60 pixels, close rightmost, each
// of the size of the skin's MDI close image, centred in a third of that piece.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sFramePaint.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

TsSkinProvider* MDIParentProvider = nullptr;
TsSkinProvider* ActiveChildProvider = nullptr;
bool ChildWasMaximized = false;

namespace {

// The hidden form over the maximized child's buttons: painted from the provider's frame cache,
// its erasing swallowed.
class TMDIIconsForm : public TForm {
public:
  TMDIIconsForm(TsSkinProvider* provider) : TForm(nullptr), FProvider(provider) {
    SetName("lxMDIIcons");
    SetBorderStyle(bsNone);
    SetTag(-98);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_ERASEBKGND) {
      m.Result = 1;
      return;
    }
    TForm::Dispatch(m);
  }

protected:
  void Paint() override { FProvider->CopyMenuLineCorner(this); }

private:
  TsSkinProvider* FProvider;
};

int CodeIndex(int code) { return code - htcMDIClose; }

// The menu line's right end and top in the frame cache (`cacheWidth` wide): the maximized
// child's buttons end there.
TPoint MenuLineEnd(const TsFormGeometry& f, const ISystemMetrics& sm, int cacheWidth) {
  return {cacheWidth - f.ShadowRight - FrameBorderWidth(f, sm, true),
          FrameBorderWidthPlain(f, sm) + CaptionHeight(f, sm, true) + f.ShadowTop};
}

}  // namespace

bool TsSkinProvider::MDIParent() const { return FForm != nullptr && FForm->FormStyle() == fsMDIForm; }
bool TsSkinProvider::MDIChild() const { return FForm != nullptr && FForm->FormStyle() == fsMDIChild; }

TsSkinProvider* TsSkinProvider::SkinnedMDIParent() {
  TsSkinProvider* p = MDIParentProvider;
  return p != nullptr && !p->DestroyingForm() && p->Skinned() ? p : nullptr;
}

TCustomForm* TsSkinProvider::MaximizedMDIChild() const {
  TCustomForm* main = FForm;
  if (main == nullptr || main->FormStyle() != fsMDIForm || main->ClientHandle() == nullptr) return nullptr;
  BOOL maximized = FALSE;
  const auto h = reinterpret_cast<HWND>(
      SendMessageA(main->ClientHandle(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  return h != nullptr && maximized != FALSE ? main->ActiveMDIChild() : nullptr;
}

bool TsSkinProvider::ActiveChildIsActiveForm() const {
  TCustomForm* child = MDIParent() ? FForm->ActiveMDIChild() : nullptr;
  if (child == nullptr || Screen == nullptr) return false;
  const TCustomForm* active = Screen->ActiveForm();
  return active == child || active == FForm;
}

bool TsSkinProvider::UnderMaximizedChild() const {
  if (!MDIChild()) return false;
  TsSkinProvider* parent = SkinnedMDIParent();
  if (parent == nullptr || parent == this) return false;
  const TCustomForm* maximized = parent->MaximizedMDIChild();
  return maximized != nullptr && maximized != FForm;
}

void TsSkinProvider::ShortenCacheInsideParent() {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (!MDIChild() || cache == nullptr || cache->Empty()) return;
  // A cache that could not be built again at once is kept whole.
  if ((FormState & (Moving | Hiding)) != 0 || FSkinData->UrgentPainting != 0) return;
  const HWND client = GetParent(FForm->Handle());
  if (client == nullptr) return;
  RECT inner{}, own{};
  GetClientRect(client, &inner);
  MapWindowPoints(client, nullptr, reinterpret_cast<POINT*>(&inner), 2);
  GetWindowRect(FForm->Handle(), &own);
  if (own.left < inner.left || own.top < inner.top || own.right > inner.right || own.bottom > inner.bottom) return;
  const TsFormGeometry f = Geometry();
  const int strip = FrameBorderWidthPlain(f, SystemMetrics()) + CaptionHeight(f, SystemMetrics(), true);
  if (strip <= 0 || cache->GetHeight() <= strip) return;
  cache->SetSize(cache->GetWidth(), strip);
  FSkinData->BGChanged = 1;
}

void TsSkinProvider::SetMDIChildrenSkinning(bool on) {
  if (!MDIParent()) return;
  if (!on) {
    FMDIForm.reset();
    return;
  }
  // A wrapper whose client window lost its adapter (the skin went meanwhile) is made anew.
  if (FMDIForm != nullptr && FForm->ClientHandle() != nullptr &&
      SendSkinCommand(FForm->ClientHandle(), SkinCmdIsSkinned) != 1)
    FMDIForm.reset();
  if (FMDIForm == nullptr) {
    MDIParentProvider = this;
    FMDIForm = std::make_unique<TsMDIForm>(this);
    FMDIForm->ConnectToClient();
  }
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TsSkinProvider::PaintMDIArea(TBitmap* cache) {
  if (FMDIForm == nullptr || FMDIForm->Adapter() == nullptr || FForm->ClientHandle() == nullptr) return;
  if (MaximizedMDIChild() != nullptr) return;
  TsSkinManager* m = SkinManager();
  RECT window{}, client{};
  GetWindowRect(FForm->Handle(), &window);
  GetWindowRect(FForm->ClientHandle(), &client);
  const TPoint o = WindowOriginInCache();
  const TRect r{static_cast<int>(client.left - window.left) + o.X, static_cast<int>(client.top - window.top) + o.Y,
                static_cast<int>(client.right - window.left) + o.X, static_cast<int>(client.bottom - window.top) + o.Y};
  PaintSectionByName("MDIAREA", "", cache, r, 0, m->Tables(), nullptr, m->MasterBitmap());
}

void TsSkinProvider::PaintMDIChildIcon(TBitmap* cache, int lineTop, int lineHeight) {
  TCustomForm* child = MaximizedMDIChild();
  if (child == nullptr || lineHeight <= 2) return;
  HICON icon = child->Icon() != nullptr && !child->Icon()->Empty() ? child->Icon()->GetHandle() : nullptr;
  if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessageA(child->Handle(), WM_GETICON, ICON_SMALL2, 0));
  if (icon == nullptr) {
    TIcon* own = AppSmallIcon();
    if (own != nullptr) icon = own->GetHandle();
  }
  if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);
  const TsFormGeometry f = Geometry();
  const int left = f.ShadowLeft + FrameBorderWidth(f, SystemMetrics(), true) + 1;
  const int size = lineHeight - 2;
  DrawTitleIcon(cache, TRect{left, lineTop + 1, left + size, lineTop + 1 + size}, icon);
}

void TsSkinProvider::PaintMDIButtons(TBitmap* cache) {
  for (TsTitleButtonState* b : {&FMDIClose, &FMDIRestore, &FMDIMin}) b->Rect = TRect{};
  TCustomForm* child = MaximizedMDIChild();
  TsSkinManager* m = SkinManager();
  if (child == nullptr || m == nullptr || !ShowsMenuLine()) {
    for (TsTitleButtonState* b : {&FMDIClose, &FMDIRestore, &FMDIMin}) b->State = -1;
    return;
  }
  const TsSkinTables* t = m->Tables();
  const int gi = FindSectionIndex(t, "GLOBALINFO");
  const auto mask = [&](const char* small, const char* big) {
    const int i = FindMaskEntry(t, gi, "GLOBALINFO", small);
    return i >= 0 ? i : FindMaskEntry(t, gi, "GLOBALINFO", big);
  };
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  const TsButtonImage closeImage = SkinButtonImage(FindMaskEntry(t, gi, "GLOBALINFO", "SICONCLOSE") >= 0 ? "SICONCLOSE" : "BICONCLOSE");
  const TPoint end = MenuLineEnd(f, sm, cache->GetWidth());
  const std::vector<TsPlacedButton> placed =
      PlaceMDIButtons(end.X, end.Y, MenuLineHeight(f, sm), MDIButtonWidth(closeImage), MDIButtonHeight(closeImage));
  const struct {
    TsTitleButtonState* Button;
    int Mask;
    const char* Key;
  } buttons[] = {{&FMDIClose, mask("SICONCLOSE", "BICONCLOSE"), "SICONCLOSE"},
                 {&FMDIRestore, mask("SICONNORM", "BICONNORM"), "SICONNORM"},
                 {&FMDIMin, mask("SICONMIN", "BICONMIN"), "SICONMIN"}};
  for (const TsPlacedButton& p : placed) {
    const auto& kind = buttons[CodeIndex(p.Code)];
    TsTitleButtonState& b = *kind.Button;
    b.HitCode = p.Code;
    b.MaskIndex = kind.Mask;
    b.MaskKey = kind.Key;
    b.Rect = p.Rect;
    if (b.State < 0) b.State = 0;
    b.Enabled = true;
    DrawTitleButton(cache, b, b.MaskIndex);
  }
}

void TsSkinProvider::MenuLineChanged(bool repaint) {
  FSkinData->BGChanged = 1;
  MenuLineCount = -1;
  if (repaint) RepaintFormFrame();
}

void TsSkinProvider::CopyMenuLineCorner(TCustomForm* form) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (form == nullptr || cache == nullptr || cache->Empty()) return;
  // The piece the maximized child's buttons are drawn in.
  const TPoint end = MenuLineEnd(Geometry(), SystemMetrics(), cache->GetWidth());
  BitBlt(form->Canvas()->GetHandle(), 0, 0, MDIButtonsAreaWidth, GetSystemMetrics(SM_CYMENU) + 3,
         cache->Canvas()->GetHandle(), end.X - MDIButtonsAreaWidth, end.Y, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Messages.

bool TsSkinProvider::MDIMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_CREATE:
      if (MDIChild()) {
        // A child made while the active one is maximized shows maximized too.
        TsSkinProvider* parent = SkinnedMDIParent();
        ChildWasMaximized = parent != nullptr && parent->MaximizedMDIChild() != nullptr;
      }
      return false;
    case WM_SIZE: {
      if (!MDIChild()) return false;
      WMSize(message);
      // Maximized, or back from it: the main form's menu line shows or drops its icon and
      // buttons.
      TsSkinProvider* parent = SkinnedMDIParent();
      if (DestroyingForm() || parent == nullptr || parent == this) return true;
      if (message.WParam == SIZE_MAXIMIZED || !parent->FMDIClose.Rect.IsEmpty()) {
        parent->MenuLineChanged(true);
      }
      return true;
    }
    case WM_PARENTNOTIFY: {
      if (!MDIParent() || LOWORD(message.WParam) != WM_CREATE) return false;
      WMParentNotify(message);
      // A new child without a provider of its own gets one as the thread hook gives forms
      // (the hook never sees a child window made).
      const auto child = reinterpret_cast<HWND>(message.LParam);
      if (!DestroyingForm() && child != nullptr && GetParent(child) == FForm->ClientHandle() &&
          SendSkinCommand(child, SkinCmdIsSkinned) != 1)
        AttachSkinToWindow(child, nullptr);
      return true;
    }
    case WM_MEASUREITEM:
      if (MDIParent()) MDIParentProvider = this;
      return false;
    case WM_SHOWWINDOW:
      if (!MDIParent()) return false;
      // The client window is made after the form's own window: it is skinned once shown.
      if (message.WParam == 1 && FMDIForm != nullptr) FMDIForm->ConnectToClient();
      WMShowWindow(message);
      // Children made before the skin came get theirs now.
      if (message.WParam == 1 && !DestroyingForm())
        for (int i = 0; i < FForm->MDIChildCount(); ++i) {
          TCustomForm* child = FForm->MDIChildren(i);
          if (SendSkinCommand(child->Handle(), SkinCmdIsSkinned) != 1) AttachSkinToWindow(child->Handle(), nullptr);
        }
      return true;
    case WM_MDIACTIVATE:
    case WM_MDIDESTROY: {
      if (!MDIChild()) return false;
      CallSavedWndProc(message);
      if (DestroyingForm()) return true;
      if (TsSkinProvider* parent = SkinnedMDIParent()) {
        parent->MenuLineChanged(false);
        parent->MenuChanged = true;
        SendMessageA(parent->FForm->Handle(), WM_NCPAINT, 0, 0);
        if (parent->FForm->ClientHandle() != nullptr)
          RedrawWindow(parent->FForm->ClientHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        MenusInitialized = false;
      }
      ActiveChildProvider = this;
      return true;
    }
    case WM_CHILDACTIVATE: {
      if (!MDIChild()) return false;
      CallSavedWndProc(message);
      if (DestroyingForm()) return true;
      if (TsSkinProvider* parent = SkinnedMDIParent()) {
        parent->MenuLineCount = -1;
        if (parent->MaximizedMDIChild() != nullptr)
          RedrawWindow(parent->FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        else
          SetSystemMenuStyle(true);
      }
      return true;
    }
    case WM_ENTERMENULOOP:
      if (!MDIParent() || FInMenu || MaximizedMDIChild() == nullptr) return false;
      FInMenu = true;
      {
        // The system hides the menu line's last piece under the open menu: this form shows it.
        auto icons = std::make_unique<TMDIIconsForm>(this);
        RECT window{};
        GetWindowRect(FForm->Handle(), &window);
        const TsFormGeometry f = Geometry();
        const ISystemMetrics& sm = SystemMetrics();
        const int border = FrameBorderWidth(f, sm, false);
        icons->SetBounds(static_cast<int>(window.right) - border - MDIButtonsAreaWidth,
                         static_cast<int>(window.top) + border + CaptionHeight(f, sm, true), MDIButtonsAreaWidth,
                         GetSystemMetrics(SM_CYMENU) + 3);
        icons->HandleNeeded();
        SetWindowPos(icons->Handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
        RedrawWindow(icons->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        FMDIIcons = std::move(icons);
      }
      CallSavedWndProc(message);
      return true;
    case WM_EXITMENULOOP:
      if (!MDIParent()) return false;
      FInMenu = false;
      FMDIIcons.reset();
      CallSavedWndProc(message);
      return true;
    default: return false;
  }
}
