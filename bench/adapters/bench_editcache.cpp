// Timing harness, run under Wine: the cache image of a skinned 300 x 200 edit rebuilt (the
// parent's background asked, the "EDIT" section and its border painted) against a BitBlt of
// 300 x 200 pixels, in one run with the stored skin "Dusk". Prints microseconds per operation
// and the ratio; always exits 0.
//
//   wine bench_editcache.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "skin/adapters/lxEditWnd.h"
#include "skin/core/win/sCommonData.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr int Width = 300, Height = 200;

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(h, msg, wp, lp); }

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_editcache")) return 0;
  InitSBUtilsUnit();
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "OrbexBenchEdit";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "OrbexBenchEdit", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "text", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, Width,
                              Height, top, nullptr, nullptr, nullptr);
  auto adapter = TlxMainWnd::CreateForHandle<TlxEditWnd>(edit, true, "EDIT", &manager, nullptr);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  auto src = CreateBitmap32(Width, Height);
  auto dst = CreateBitmap32(Width, Height);
  const double blit = MicrosPerRun(rounds, [&] {
    BitBlt(dst->Canvas()->GetHandle(), 0, 0, Width, Height, src->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  });
  TsCommonData* data = adapter->SkinData();
  const double cache = MicrosPerRun(rounds, [&] {
    data->BGChanged = 1;
    PrepareWndCache(data, edit, false);
  });

  std::printf("BitBlt %dx%d                 %8.2f us\n", Width, Height, blit);
  std::printf("PrepareWndCache %dx%d edit   %8.2f us  x%.1f BitBlt\n", Width, Height, cache, cache / blit);
  adapter.reset();
  DestroyWindow(top);
  DoneSBUtilsUnit();
  return 0;
}
