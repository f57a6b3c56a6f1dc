// Fake USB devices in the prefix's registry (see FakeDevices.h).
#include "tests/win/app/connectdlg/FakeDevices.h"

#include <stdexcept>

namespace {

const char* const kEnumUsb = "System\\CurrentControlSet\\Enum\\USB";
const char* const kInterfaceClass = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const char* const kDeviceClasses =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

// An open key, closed on scope exit.
class TKey {
public:
  TKey(const std::string& path) {
    LONG rc = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &FKey, nullptr);
    if (rc != ERROR_SUCCESS)
      throw std::runtime_error("cannot create HKLM\\" + path + " (error " + std::to_string(rc) + ")");
  }
  ~TKey() { ::RegCloseKey(FKey); }
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  void Set(const char* name, DWORD type, const void* data, size_t size) {
    LONG rc = ::RegSetValueExA(FKey, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    if (rc != ERROR_SUCCESS)
      throw std::runtime_error(std::string("cannot set ") + name + " (error " + std::to_string(rc) + ")");
  }
  void SetText(const char* name, const std::string& s) { Set(name, REG_SZ, s.c_str(), s.size() + 1); }
  void SetDword(const char* name, DWORD v) { Set(name, REG_DWORD, &v, sizeof(v)); }

private:
  HKEY FKey = nullptr;
};

void DeleteTree(const std::string& path) { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str()); }

// The subkey names of a key (none when it cannot be opened).
std::vector<std::string> SubKeys(const std::string& path) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof(name);
    if (::RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  ::RegCloseKey(key);
  return names;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
TFakePortName TFakePortName::Text(const std::string& name) {
  TFakePortName p;
  p.Data.assign(name.begin(), name.end());
  p.Data.push_back(0);
  return p;
}

TFakePortName TFakePortName::Unterminated(const std::string& name) {
  TFakePortName p;
  p.Data.assign(name.begin(), name.end());
  return p;
}

TFakePortName TFakePortName::Dword(DWORD value) {
  TFakePortName p;
  p.Type = REG_DWORD;
  const BYTE* b = reinterpret_cast<const BYTE*>(&value);
  p.Data.assign(b, b + sizeof(value));
  return p;
}

TFakePortName TFakePortName::Missing() {
  TFakePortName p;
  p.Present = false;
  return p;
}

TFakeDeviceSpec OrbexDevice(const std::string& instance, const std::string& port) {
  TFakeDeviceSpec s;
  s.Instance = instance;
  s.PortName = TFakePortName::Text(port);
  return s;
}

// ---------------------------------------------------------------------------------------------
TFakeDevice::TFakeDevice(TFakeDeviceSpec device) : FSpec(std::move(device)) {
  FPresent = true;
  try {
    {
      TKey dev(EnumKey());
      if (!FSpec.HardwareIds.empty()) {
        std::string multi;
        for (const std::string& id : FSpec.HardwareIds) multi += id + '\0';
        multi += '\0';
        dev.Set("HardwareID", REG_MULTI_SZ, multi.data(), multi.size());
      }
      if (FSpec.HasDescription) dev.SetText("DeviceDesc", FSpec.Description);
      // Wine's device set leaves out a device without a setup class (the ports class here).
      dev.SetText("ClassGUID", "{4d36e978-e325-11ce-bfc1-08002be10318}");
    }
    if (FSpec.HasDeviceParameters) {
      TKey params(EnumKey() + "\\Device Parameters");
      if (FSpec.PortName.Present)
        params.Set("PortName", FSpec.PortName.Type, FSpec.PortName.Data.data(), FSpec.PortName.Data.size());
    }
    const std::string usbPath = "USB#" + FSpec.UsbId + "#" + FSpec.Instance + "#" + kInterfaceClass;
    {
      TKey iface(InterfaceKey());
      iface.SetText("DeviceInstance", "USB\\" + FSpec.UsbId + "\\" + FSpec.Instance);
    }
    {
      TKey link(InterfaceKey() + "\\#");
      link.SetText("SymbolicLink", "\\\\?\\" + usbPath);
    }
    {
      // Without Linked = 1 the present-devices query does not return the interface.
      TKey control(InterfaceKey() + "\\#\\Control");
      control.SetDword("Linked", 1);
    }
  } catch (...) {
    Remove();
    throw;
  }
}

TFakeDevice::~TFakeDevice() { Remove(); }

void TFakeDevice::Remove() {
  if (!FPresent) return;
  FPresent = false;
  DeleteTree(InterfaceKey());
  DeleteTree(EnumKey());
  // The USB ID key goes too once no instance is left under it.
  const std::string idKey = std::string(kEnumUsb) + "\\" + FSpec.UsbId;
  if (SubKeys(idKey).empty()) DeleteTree(idKey);
}

std::string TFakeDevice::EnumKey() const {
  return std::string(kEnumUsb) + "\\" + FSpec.UsbId + "\\" + FSpec.Instance;
}

std::string TFakeDevice::InterfaceKey() const {
  return std::string(kDeviceClasses) + "\\##?#USB#" + FSpec.UsbId + "#" + FSpec.Instance + "#" + kInterfaceClass;
}

void ClearFakeDevices() {
  for (const std::string& iface : SubKeys(kDeviceClasses))
    if (iface.find("#ORBEXTEST") != std::string::npos) DeleteTree(std::string(kDeviceClasses) + "\\" + iface);
  for (const std::string& id : SubKeys(kEnumUsb)) {
    const std::string idKey = std::string(kEnumUsb) + "\\" + id;
    for (const std::string& inst : SubKeys(idKey))
      if (inst.rfind("ORBEXTEST", 0) == 0) DeleteTree(idKey + "\\" + inst);
  }
}
