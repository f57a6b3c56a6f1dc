// TResourceStream: finds, loads and locks a resource and exposes its bytes as a read-only
// memory stream. Win32 keeps loaded resources mapped with the module: nothing to release.
#include "framework/base/win/ResourceStream.h"

ORBEX_IMPLEMENT_CLASS(TResourceStream, TCustomMemoryStream, nullptr)

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type) {
  Initialize(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, LPCSTR type) {
  if (id < 0 || id > 0xFFFF) throw EResNotFound(Format("Resource %d not found", id));
  Initialize(instance, MAKEINTRESOURCEA(id), type, IntToStr(id));
}

void TResourceStream::Initialize(HINSTANCE instance, LPCSTR name, LPCSTR type, const std::string& shownName) {
  if (instance == nullptr) instance = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(instance, name, type);
  HGLOBAL handle = info != nullptr ? LoadResource(instance, info) : nullptr;
  const void* data = handle != nullptr ? LockResource(handle) : nullptr;
  if (data == nullptr) throw EResNotFound(Format("Resource %s not found", shownName.c_str()));
  SetPointer(static_cast<const std::uint8_t*>(data), SizeofResource(instance, info));
}

std::int64_t TResourceStream::Write(const void*, std::int64_t) {
  throw EStreamError("Can't write to a read-only resource stream");
}
