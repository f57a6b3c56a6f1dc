// A test's stand-in for a system function: the test program's own import of it (the units
// under test are compiled into the program, so their calls go through that import) points at
// the stand-in while the patch lives, and back at the system's function afterwards.
#pragma once

#include <windows.h>

#include <cstring>

// Points this program's import of `function` from `dll` at `replacement` while it lives.
class TImportPatch {
public:
  TImportPatch(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; desc->Name != 0; ++desc) {
      if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
        FSlot = &slots->u1.Function;
        FOriginal = *FSlot;
        Write(reinterpret_cast<decltype(FOriginal)>(replacement));
        return;
      }
    }
  }
  ~TImportPatch() {
    if (FSlot != nullptr) Write(FOriginal);
  }
  TImportPatch(const TImportPatch&) = delete;
  TImportPatch& operator=(const TImportPatch&) = delete;
  bool Patched() const { return FSlot != nullptr; }

private:
  void Write(decltype(IMAGE_THUNK_DATA{}.u1.Function) value) {
    DWORD old = 0;
    ::VirtualProtect(FSlot, sizeof(*FSlot), PAGE_READWRITE, &old);
    *FSlot = value;
    ::VirtualProtect(FSlot, sizeof(*FSlot), old, &old);
  }
  decltype(IMAGE_THUNK_DATA{}.u1.Function)* FSlot = nullptr;
  decltype(IMAGE_THUNK_DATA{}.u1.Function) FOriginal{};
};
