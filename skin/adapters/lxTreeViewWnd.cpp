// The tree view adapter (see lxTreeViewWnd.h).
#include "skin/adapters/lxTreeViewWnd.h"

#include <commctrl.h>

#include <optional>

#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace {

const TsGeneralData* SectionOf(const TsCommonData* d) {
  const TsSkinManager* m = d != nullptr ? d->GetSkinManager() : nullptr;
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (t == nullptr || !SectionIndexInRange(t, d->SectionIndex())) return nullptr;
  return &t->GeneralData[static_cast<size_t>(d->SectionIndex())];
}

int ColorState(const TsCommonData* d, const TsGeneralData& section) {
  return section.States > 1 && d->IsActiveState() ? 1 : 0;
}

}   // namespace

TlxTreeViewWnd::~TlxTreeViewWnd() { ReleaseWndAdapter(Handle(), false, *this); }

void TlxTreeViewWnd::StoreControlColors() {
  TlxEditWnd::StoreControlColors();
  FSavedBk = static_cast<COLORREF>(SendMessageA(Handle(), TVM_GETBKCOLOR, 0, 0));
  FSavedText = static_cast<COLORREF>(SendMessageA(Handle(), TVM_GETTEXTCOLOR, 0, 0));
  FColorsSaved = true;
}

void TlxTreeViewWnd::RestoreControlColors() {
  TlxEditWnd::RestoreControlColors();
  // Both colours go back whether the tree is shown or not: a hidden tree shown later would
  // otherwise keep the skin's colours on the system's.
  if (!FColorsSaved || !IsWindow(Handle())) return;
  SendMessageA(Handle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(FSavedBk));
  SendMessageA(Handle(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(FSavedText));
}

TColor TlxTreeViewWnd::TreeColor() const {
  const TsCommonData* d = SkinData();
  const TsGeneralData* section = SectionOf(d);
  if (DialogMode() || section == nullptr) return ColorToRGB(clWindow);
  return d->SectionColor(ColorState(d, *section), Handle());
}

void TlxTreeViewWnd::ApplySkinColors() {
  TlxEditWnd::ApplySkinColors();
  const TsCommonData* d = SkinData();
  const TsGeneralData* section = SectionOf(d);
  if (section == nullptr) return;
  if (!d->GetCustomFont()) {
    const TColor text = DialogMode() ? ColorToRGB(clWindowText)
                                     : ColorToRGB(SectionState(*section, ColorState(d, *section)).FontColor[0]);
    SendMessageA(Handle(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
  }
  const TColor back = TreeColor();
  if (!d->GetCustomColor() && static_cast<TColor>(SendMessageA(Handle(), TVM_GETBKCOLOR, 0, 0)) != back)
    SendMessageA(Handle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
}

void TlxTreeViewWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxEditWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_ERASEBKGND) {
    if (!d->IsPaintLocked()) {
      std::optional<TWindowDC> own;
      if (message.WParam == 0) own.emplace(Handle());
      const HDC dc = own ? own->Get() : reinterpret_cast<HDC>(message.WParam);
      RECT r{};
      GetClientRect(Handle(), &r);
      FillDCRect(dc, TRect{0, 0, r.right, r.bottom}, TreeColor());
    }
    message.Result = 1;
    return;
  }
  TlxEditWnd::HandleMessage(message);
  if (!Defunct() && message.Msg == WM_LBUTTONUP && GetCapture() == Handle()) ReleaseCapture();
}
