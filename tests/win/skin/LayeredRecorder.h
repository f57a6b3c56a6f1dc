// A test wrapper of the layered-window entry points: every UpdateLayeredWindow and
// SetLayeredWindowAttributes made through UpdateLayeredWindowProc/SetLayeredWindowAttributesProc
// is recorded per window (the source bitmap's pixels top row first, destination point, size,
// constant alpha, flags) and then handed to the system's own. Install() puts the wrapper in,
// the destructor puts the previous entries back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "skin/core/win/sControlUtils.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace layeredtest {

struct TUpload {
  std::optional<POINT> Dest;
  SIZE Size{};
  BYTE Alpha = 0;
  bool PerPixelAlpha = false;
  DWORD Flags = 0;
  bool Animating = false;              // the process-wide animation flag at the upload
  std::vector<std::uint32_t> Pixels;   // empty when the source was not a 32-bit DIB section
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Size.cx + x)]; }
};
struct TAttributes {
  COLORREF Key = 0;
  BYTE Alpha = 0;
  DWORD Flags = 0;
};

class TLayeredRecorder {
public:
  TLayeredRecorder() { Current() = this; }
  TLayeredRecorder(const TLayeredRecorder&) = delete;
  TLayeredRecorder& operator=(const TLayeredRecorder&) = delete;
  ~TLayeredRecorder() {
    if (FInstalled) {
      UpdateLayeredWindowProc = FRealUpdate;
      SetLayeredWindowAttributesProc = FRealAttributes;
    }
    Current() = nullptr;
  }
  void Install() {
    if (UpdateLayeredWindowProc == nullptr) InitAlphaGraphUnit();
    FRealUpdate = UpdateLayeredWindowProc;
    FRealAttributes = SetLayeredWindowAttributesProc;
    UpdateLayeredWindowProc = &RecordUpdate;
    SetLayeredWindowAttributesProc = &RecordAttributes;
    FInstalled = true;
  }
  std::map<HWND, std::vector<TUpload>> Uploads;
  std::map<HWND, std::vector<TAttributes>> Attributes;

private:
  static TLayeredRecorder*& Current() {
    static TLayeredRecorder* current = nullptr;
    return current;
  }
  static BOOL WINAPI RecordUpdate(HWND h, HDC dst, POINT* pt, SIZE* size, HDC src, POINT* srcPt, COLORREF key,
                                  BLENDFUNCTION* blend, DWORD flags) {
    TLayeredRecorder* r = Current();
    TUpload u;
    if (pt != nullptr) u.Dest = *pt;
    if (size != nullptr) u.Size = *size;
    if (blend != nullptr) u.Alpha = blend->SourceConstantAlpha, u.PerPixelAlpha = blend->AlphaFormat == AC_SRC_ALPHA;
    u.Flags = flags;
    u.Animating = AnimationInProgress;
    DIBSECTION ds{};
    if (src != nullptr && size != nullptr &&
        GetObjectA(GetCurrentObject(src, OBJ_BITMAP), sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBitsPixel == 32) {
      const auto* bits = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
      const bool bottomUp = ds.dsBmih.biHeight > 0;
      for (int y = 0; y < size->cy && y < ds.dsBm.bmHeight; ++y)
        for (int x = 0; x < size->cx && x < ds.dsBm.bmWidth; ++x)
          u.Pixels.push_back(bits[(bottomUp ? ds.dsBm.bmHeight - 1 - y : y) * ds.dsBm.bmWidth + x]);
    }
    r->Uploads[h].push_back(std::move(u));
    return r->FRealUpdate != nullptr ? r->FRealUpdate(h, dst, pt, size, src, srcPt, key, blend, flags) : FALSE;
  }
  static BOOL WINAPI RecordAttributes(HWND h, COLORREF key, BYTE alpha, DWORD flags) {
    TLayeredRecorder* r = Current();
    r->Attributes[h].push_back(TAttributes{key, alpha, flags});
    return r->FRealAttributes != nullptr ? r->FRealAttributes(h, key, alpha, flags) : FALSE;
  }
  TUpdateLayeredWindow FRealUpdate = nullptr;
  TSetLayeredWindowAttributes FRealAttributes = nullptr;
  bool FInstalled = false;
};

}  // namespace layeredtest
