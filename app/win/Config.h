// The program's settings object: one process-wide TConfigurationSettings holding a registry
// accessor rooted at HKEY_CURRENT_USER with full access. Nothing reads or writes settings
// through it (the only persisted setting, the skin name, lives in the ini file beside the
// program); it exists from the unit's start-up step to its shut-down step. Owns the registry
// accessor; the unit owns the global instance.
#pragma once

#include <memory>

#include <windows.h>

#include "framework/base/Classes.h"
#include "framework/base/win/Registry.h"

class TConfigurationSettings : public TObject {
  ORBEX_CLASS(TConfigurationSettings, TObject)
public:
  TConfigurationSettings();
  ~TConfigurationSettings() override;
  TRegistry* Registry() const { return FRegistry.get(); }

private:
  std::unique_ptr<TRegistry> FRegistry;
};

// The global instance between the start-up and shut-down steps; null outside them.
extern TConfigurationSettings* ConfigurationSettings;

// Unit start-up step: creates the global instance (once). Shut-down step: frees it.
void InitConfigUnit();
void DoneConfigUnit();
