// TResourceStream: a read-only stream over a resource of a loaded module (stored forms,
// images, packed skins). Borrows the resource's memory, which lives as long as the module;
// owns nothing. Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "framework/base/Classes.h"

ORBEX_EXCEPTION(EResNotFound, Exception);

class TResourceStream : public TCustomMemoryStream {
  ORBEX_CLASS(TResourceStream, TCustomMemoryStream)
public:
  // The resource `name` (or number `id`) of type `type` (RT_RCDATA unless given) in module
  // `instance` (null: the program). Raises EResNotFound "Resource <name> not found" (the
  // number in decimal for an id) when the module has no such resource or it cannot be loaded.
  TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type = RT_RCDATA);
  TResourceStream(HINSTANCE instance, int id, LPCSTR type = RT_RCDATA);
  // Raises EStreamError "Can't write to a read-only resource stream".
  std::int64_t Write(const void* buffer, std::int64_t count) override;

private:
  void Initialize(HINSTANCE instance, LPCSTR name, LPCSTR type, const std::string& shownName);
};
