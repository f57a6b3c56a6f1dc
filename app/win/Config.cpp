// The program's settings object and its unit steps (see Config.h).
#include "app/win/Config.h"

TConfigurationSettings* ConfigurationSettings = nullptr;

ORBEX_IMPLEMENT_CLASS(TConfigurationSettings, TObject, nullptr)

TConfigurationSettings::TConfigurationSettings()
    : FRegistry(std::make_unique<TRegistry>(KEY_ALL_ACCESS)) {
  FRegistry->SetRootKey(HKEY_CURRENT_USER);
}

TConfigurationSettings::~TConfigurationSettings() = default;

void InitConfigUnit() {
  if (ConfigurationSettings == nullptr) ConfigurationSettings = new TConfigurationSettings();
}

void DoneConfigUnit() {
  delete ConfigurationSettings;
  ConfigurationSettings = nullptr;
}
