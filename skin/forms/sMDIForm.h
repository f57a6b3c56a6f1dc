// The MDI part of a skinned MDI main form: wraps the form's client window (the area behind the
// MDI children) with the MDI client adapter while the form's provider is skinned.
//
// Ownership: owns the adapter; the provider and its form are borrowed (the provider owns this
// object). GUI thread only.
#pragma once

// The framework's Windows headers first (see sSkinProvider.h).
#include "framework/win/Forms.h"

#include "framework/base/Classes.h"

#include <memory>

class TsSkinProvider;
class TCustomForm;
class TlxMDIWnd;

class TsMDIForm : public TPersistent {
  ORBEX_CLASS(TsMDIForm, TPersistent)
public:
  // Keeps the provider and its form; the form's window is made now.
  explicit TsMDIForm(TsSkinProvider* provider);
  ~TsMDIForm() override;

  // Nothing while designing or while the adapter exists; else Refresh.
  void ConnectToClient();
  // With the provider skinned the client gets a new adapter (any old one freed first); without
  // a skin the adapter is freed.
  void Refresh();
  void Disconnect();
  // The provider's frame painted again.
  void InvalidateFrame();
  TlxMDIWnd* Adapter() const { return FAdapter.get(); }

private:
  TsSkinProvider* FProvider;
  TCustomForm* FForm = nullptr;
  std::unique_ptr<TlxMDIWnd> FAdapter;
};
