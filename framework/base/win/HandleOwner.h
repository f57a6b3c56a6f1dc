// The one owner family of Windows handles: THandleOwner<Traits> is a move-only owner of one
// handle that closes it in its destructor; each kind of handle names its close call in a small
// traits struct. This unit holds the template and the kernel kinds (kernel objects, registry
// keys, libraries); framework/win/WinTypes.h adds the GDI and USER kinds, other units their own.
//
// Owning types never convert implicitly to the raw handle: call Get(). Release() hands the
// handle back to the caller, who then owns it. Windows only.
#pragma once

#include <windows.h>

#include <utility>

// Traits give the handle type (`Handle`) and `Close(handle)`. A kind whose creating calls
// report failure with a value other than null (INVALID_HANDLE_VALUE) adds `Adopt(handle)`,
// which turns that value into null, so that an owner has one "none".
template <class Traits>
class THandleOwner {
public:
  using Handle = typename Traits::Handle;
  THandleOwner() = default;
  explicit THandleOwner(Handle h) : FHandle(Adopt(h)) {}
  THandleOwner(const THandleOwner&) = delete;
  THandleOwner& operator=(const THandleOwner&) = delete;
  THandleOwner(THandleOwner&& o) noexcept : FHandle(o.Release()) {}
  THandleOwner& operator=(THandleOwner&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~THandleOwner() { Reset(); }

  Handle Get() const { return FHandle; }
  bool Valid() const { return FHandle != Handle{}; }
  explicit operator bool() const { return Valid(); }
  // Takes ownership of h, closing the handle held before; handed the handle it already holds,
  // it keeps it (closing it would leave the owner with a dead handle).
  void Reset(Handle h = Handle{}) {
    h = Adopt(h);
    if (FHandle != Handle{} && FHandle != h) Traits::Close(FHandle);
    FHandle = h;
  }
  // Gives up ownership without closing.
  [[nodiscard]] Handle Release() { return std::exchange(FHandle, Handle{}); }

private:
  static Handle Adopt(Handle h) {
    if constexpr (requires { Traits::Adopt(h); }) return Traits::Adopt(h);
    else return h;
  }
  Handle FHandle{};
};

// A kernel object (file, port, event, thread), closed with CloseHandle. CreateFile reports
// failure with INVALID_HANDLE_VALUE, CreateEvent with null: both mean none.
struct TKernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Adopt(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
using TOwnedHandle = THandleOwner<TKernelHandleTraits>;

// A library loaded with LoadLibrary, freed with FreeLibrary.
struct TModuleTraits {
  using Handle = HMODULE;
  static void Close(HMODULE m) { ::FreeLibrary(m); }
};
using TOwnedModule = THandleOwner<TModuleTraits>;

// An open registry key, closed with RegCloseKey; the predefined root keys (HKEY_CURRENT_USER
// and the other HKEY_* constants) belong to the system and are never closed.
struct TRegKeyTraits {
  using Handle = HKEY;
  static bool IsPredefined(HKEY k) {
    const auto v = reinterpret_cast<ULONG_PTR>(k);
    return v >= 0x80000000u && v <= 0x800000FFu;
  }
  static void Close(HKEY k) {
    if (!IsPredefined(k)) ::RegCloseKey(k);
  }
};
using TOwnedRegKey = THandleOwner<TRegKeyTraits>;
