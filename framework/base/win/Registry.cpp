// TRegistry over the ANSI registry functions. Owns the one open key (TOwnedRegKey); every
// other handle is opened and closed within one call.
#include "framework/base/win/Registry.h"

#include <vector>

namespace {
std::string TrimSlashes(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == '\\') ++b;
  while (e > b && s[e - 1] == '\\') --e;
  return s.substr(b, e - b);
}

// Deletes `sub` below `parent` with everything under it (RegDeleteKey refuses keys that still
// have subkeys).
bool DeleteTree(HKEY parent, const std::string& sub) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(parent, sub.c_str(), 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS) return false;
  TOwnedRegKey key(raw);
  for (;;) {
    // Always the first child: the enumeration restarts after each deletion.
    char name[256];
    DWORD len = sizeof name;
    LONG rc = RegEnumKeyExA(key.Get(), 0, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS || !DeleteTree(key.Get(), std::string(name, len))) return false;
  }
  key.Reset();
  return RegDeleteKeyA(parent, sub.c_str()) == ERROR_SUCCESS;
}
}  // namespace

ORBEX_IMPLEMENT_CLASS(TRegistry, TObject, nullptr)

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  FRootKey = root;
}

void TRegistry::CloseKey() {
  FCurrentKey.Reset();
  FCurrentPath.clear();
}

HKEY TRegistry::BaseKey(const std::string& key, std::string& relative, std::string& full) const {
  relative = TrimSlashes(key);
  bool absolute = !key.empty() && key[0] == '\\';
  if (absolute || FCurrentKey.Get() == nullptr) {
    full = relative;
    return FRootKey;
  }
  full = relative.empty() ? FCurrentPath : FCurrentPath + "\\" + relative;
  return FCurrentKey.Get();
}

HKEY TRegistry::KeyForValues() const { return FCurrentKey.Get(); }

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string rel, full;
  HKEY base = BaseKey(key, rel, full);
  HKEY raw = nullptr;
  LONG rc;
  if (canCreate && !rel.empty())
    rc = RegCreateKeyExA(base, rel.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess, nullptr, &raw, nullptr);
  else
    rc = RegOpenKeyExA(base, rel.c_str(), 0, FAccess, &raw);
  if (rc != ERROR_SUCCESS) return false;
  FCurrentKey.Reset(raw);
  FCurrentPath = full;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  REGSAM saved = FAccess;
  FAccess = KEY_READ;
  bool ok = OpenKey(key, false);
  FAccess = saved;
  return ok;
}

bool TRegistry::CreateKey(const std::string& key) {
  std::string rel, full;
  HKEY base = BaseKey(key, rel, full);
  if (rel.empty()) return false;
  HKEY raw = nullptr;
  if (RegCreateKeyExA(base, rel.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS)
    return false;
  TOwnedRegKey closeIt(raw);
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string rel, full;
  HKEY base = BaseKey(key, rel, full);
  if (rel.empty()) return false;
  return DeleteTree(base, rel);
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string rel, full;
  HKEY base = BaseKey(key, rel, full);
  HKEY raw = nullptr;
  // Any access at all proves it exists, even where reading it is not allowed.
  if (RegOpenKeyExA(base, rel.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS &&
      RegOpenKeyExA(base, rel.c_str(), 0, STANDARD_RIGHTS_READ, &raw) != ERROR_SUCCESS)
    return false;
  TOwnedRegKey closeIt(raw);
  return true;
}

bool TRegistry::HasSubKeys() {
  DWORD subKeys = 0;
  HKEY k = KeyForValues();
  if (k == nullptr) return false;
  if (RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subKeys > 0;
}

bool TRegistry::ValueExists(const std::string& name) {
  HKEY k = KeyForValues();
  return k != nullptr && RegQueryValueExA(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
  HKEY k = KeyForValues();
  if (k == nullptr) throw ERegistryException("Failed to get data for '" + name + "'");
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::string();
    if (rc != ERROR_SUCCESS) throw ERegistryException("Failed to get data for '" + name + "'");
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
    std::vector<char> buf(size + 1u);
    DWORD got = size;
    rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;   // it grew in between: ask again
    if (rc != ERROR_SUCCESS) throw ERegistryException("Failed to get data for '" + name + "'");
    std::string s(buf.data(), got <= size ? got : size);
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
  }
  throw ERegistryException("Failed to get data for '" + name + "'");
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  HKEY k = KeyForValues();
  if (k == nullptr || value.size() >= 0x7FFFFFFF ||
      RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
  HKEY k = KeyForValues();
  DWORD type = 0, value = 0, size = sizeof value;
  LONG rc = k == nullptr ? ERROR_INVALID_HANDLE
                         : RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof value)))
    throw ERegistryException("Invalid data type for '" + name + "'");
  if (rc != ERROR_SUCCESS) throw ERegistryException("Failed to get data for '" + name + "'");
  return static_cast<std::int32_t>(value);
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  HKEY k = KeyForValues();
  DWORD v = static_cast<DWORD>(value);
  if (k == nullptr ||
      RegSetValueExA(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

bool TRegistry::DeleteValue(const std::string& name) {
  HKEY k = KeyForValues();
  return k != nullptr && RegDeleteValueA(k, name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::GetKeyNames(TStrings& names) {
  names.BeginUpdate();
  names.Clear();
  HKEY k = KeyForValues();
  DWORD count = 0, maxLen = 0;
  if (k != nullptr && RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    std::vector<char> buf(maxLen + 1u);
    for (DWORD i = 0; i < count; ++i) {
      DWORD len = static_cast<DWORD>(buf.size());
      if (RegEnumKeyExA(k, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.Add(std::string(buf.data(), len));
    }
  }
  names.EndUpdate();
}

void TRegistry::GetValueNames(TStrings& names) {
  names.BeginUpdate();
  names.Clear();
  HKEY k = KeyForValues();
  DWORD count = 0, maxLen = 0;
  if (k != nullptr && RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxLen,
                                       nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    std::vector<char> buf(maxLen + 1u);
    for (DWORD i = 0; i < count; ++i) {
      DWORD len = static_cast<DWORD>(buf.size());
      if (RegEnumValueA(k, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.Add(std::string(buf.data(), len));
    }
  }
  names.EndUpdate();
}
