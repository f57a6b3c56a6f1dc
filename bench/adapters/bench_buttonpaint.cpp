// Timing harness, run under Wine: a skinned 75 x 25 push button window repainted through its
// adapter (the face for its state over the parent's background, the caption, the copy to the
// screen), and its face alone (the cache rebuilt), against a BitBlt of 75 x 25 pixels, in one run with the stored skin "Dusk". Prints
// microseconds per operation and the ratio; always exits 0.
//
//   wine bench_buttonpaint.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr int Width = 75, Height = 25;

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(h, msg, wp, lp); }

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_buttonpaint")) return 0;
  InitSBUtilsUnit();
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "OrbexBenchButton";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "OrbexBenchButton", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, Width, Height, top,
                                nullptr, nullptr, nullptr);
  // The same button drawn by the system: what a repaint costs before the skin adds to it.
  HWND plain = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 50, Width, Height, top,
                               nullptr, nullptr, nullptr);
  auto adapter = TlxMainWnd::CreateForHandle<TlxBtnWnd>(button, true, "BUTTON", &manager, nullptr);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  auto src = CreateBitmap32(Width, Height);
  HDC screen = GetDC(button);
  const double blit = MicrosPerRun(rounds, [&] {
    BitBlt(screen, 0, 0, Width, Height, src->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  });
  ReleaseDC(button, screen);
  const double repaint = MicrosPerRun(rounds, [&] {
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
  const double system = MicrosPerRun(rounds, [&] {
    RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
  // The face alone: the cache rebuilt through the skin's command, nothing shown.
  const double cache = MicrosPerRun(rounds, [&] { SendSkinCommand(button, SkinCmdRebuildCache); });

  std::printf("BitBlt %dx%d to the window      %8.2f us\n", Width, Height, blit);
  std::printf("Button repaint %dx%d             %8.2f us  x%.1f BitBlt\n", Width, Height, repaint, repaint / blit);
  std::printf("System button repaint %dx%d      %8.2f us  x%.1f BitBlt\n", Width, Height, system, system / blit);
  std::printf("Button cache rebuild %dx%d       %8.2f us  x%.1f BitBlt\n", Width, Height, cache, cache / blit);
  adapter.reset();
  DestroyWindow(top);
  DoneSBUtilsUnit();
  return 0;
}
