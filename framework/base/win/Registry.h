// TRegistry: access to one key of the system registry at a time, below a root key. Owns the
// open key handle (a TOwnedRegKey, released by CloseKey, by opening another key, and by the
// destructor).
// Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "framework/base/Classes.h"
#include "framework/base/win/HandleOwner.h"

ORBEX_EXCEPTION(ERegistryException, Exception);

class TRegistry : public TObject {
  ORBEX_CLASS(TRegistry, TObject)
public:
  // Root key HKEY_CURRENT_USER; keys are opened with `access` (OpenKeyReadOnly: KEY_READ).
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
  ~TRegistry() override;

  HKEY RootKey() const { return FRootKey; }
  // Closes the current key first.
  void SetRootKey(HKEY root);
  REGSAM Access() const { return FAccess; }
  void SetAccess(REGSAM access) { FAccess = access; }
  // The open key (null when none) and its path below the root, without a leading '\'.
  HKEY CurrentKey() const { return FCurrentKey.Get(); }
  const std::string& CurrentPath() const { return FCurrentPath; }

  // A path starting with '\' is taken from the root key, any other from the current key (or
  // the root when none is open). False when the key does not exist (and canCreate is false)
  // or cannot be opened with the access mask; the current key then stays as it was.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool CreateKey(const std::string& key);
  // Deletes the key with all its subkeys; false when it could not.
  bool DeleteKey(const std::string& key);
  bool KeyExists(const std::string& key);
  bool HasSubKeys();

  // Values of the current key. A missing value reads as "" (ReadString); ReadInteger of a
  // missing value raises ERegistryException "Failed to get data for '<name>'"; a value of
  // another type raises "Invalid data type for '<name>'"; a failed write raises
  // "Failed to set data for '<name>'".
  bool ValueExists(const std::string& name);
  std::string ReadString(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
  std::int32_t ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, std::int32_t value);
  bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
  bool DeleteValue(const std::string& name);
  void GetKeyNames(TStrings& names);
  void GetValueNames(TStrings& names);

private:
  // The key a path names is relative to, and the path below the root it ends up at.
  HKEY BaseKey(const std::string& key, std::string& relative, std::string& full) const;
  HKEY KeyForValues() const;
  HKEY FRootKey = HKEY_CURRENT_USER;
  REGSAM FAccess;
  TOwnedRegKey FCurrentKey;
  std::string FCurrentPath;
};
