// The MDI part of a skinned MDI main form (see sMDIForm.h).
#include "skin/forms/sMDIForm.h"

#include "skin/adapters/lxMDIWnd.h"
#include "skin/forms/sSkinProvider.h"

ORBEX_IMPLEMENT_CLASS(TsMDIForm, TPersistent, nullptr)

TsMDIForm::TsMDIForm(TsSkinProvider* provider) : FProvider(provider) {
  if (provider != nullptr && provider->Form() != nullptr) {
    FForm = provider->Form();
    FForm->HandleNeeded();
  }
}

TsMDIForm::~TsMDIForm() { Disconnect(); }

void TsMDIForm::ConnectToClient() {
  if (FProvider == nullptr || (FProvider->ComponentState() & csDesigning) != 0 || FAdapter) return;
  Refresh();
}

void TsMDIForm::Refresh() {
  if (FProvider != nullptr && FForm != nullptr && FForm->ClientHandle() != nullptr &&
      FProvider->SkinData()->HasSkin()) {
    Disconnect();
    FAdapter = TlxMainWnd::CreateForHandle<TlxMDIWnd>(FForm->ClientHandle(), true, "CHECKBOX",
                                                      FProvider->SkinManager(), nullptr);
    FAdapter->Form = FForm;
    FAdapter->MDIAreaSkinData = FProvider->SkinData();
    return;
  }
  Disconnect();
}

void TsMDIForm::Disconnect() {
  if (!FAdapter) return;
  const HWND client = FAdapter->Handle();
  ReleaseScrollWndAdapter(client, client != nullptr && IsWindow(client) != FALSE, FAdapter);
}

void TsMDIForm::InvalidateFrame() {
  if (FProvider != nullptr) FProvider->RepaintFormFrame();
}
