// Timing harness, run under Wine: a window with a skinned vertical scroll bar 17 pixels thick and
// 400 long (range 0-999, page 50), its bar repainted whole into the window, and one thumb drag
// step (the thumb moved by a pixel: the scroll command sent and the dragged bar repainted), each
// against a BitBlt of the bar's size, all in one run with the stored skin "Dusk". The window
// takes the scroll messages without scrolling anything, so only the bar's own work is timed.
// Prints microseconds per operation and the ratios; always exits 0.
//
//   wine bench_scrollbars.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "skin/adapters/lxScrollWnd.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr int Thick = 17, Long = 400;

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(h, msg, wp, lp); }

HWND MakeWindow(const char* cls, DWORD style, HWND parent, int w, int h) {
  return CreateWindowExA(0, cls, "", style, 0, 0, w, h, parent, nullptr, nullptr, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_scrollbars")) return 0;
  InitSBUtilsUnit();
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "OrbexBenchScroll";
  RegisterClassA(&wc);
  HWND top = MakeWindow("OrbexBenchScroll", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 300, 500);
  HWND wnd = MakeWindow("OrbexBenchScroll", WS_CHILD | WS_VISIBLE | WS_VSCROLL, top, 200, Long);
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 999, 50, 0, 0};
  SetScrollInfo(wnd, SB_VERT, &si, FALSE);
  auto adapter = TlxMainWnd::CreateForHandle<TlxScrollWnd>(wnd, false, "EDIT", &manager, nullptr);
  adapter->VertBar()->Thickness = Thick;
  RedrawNonClient(wnd, true);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  const TRect bar = adapter->GetVertBarRect();
  auto src = CreateBitmap32(bar.Width(), bar.Height());
  HDC dc = GetWindowDC(wnd);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const int x = bar.Left - wr.left, y = bar.Top - wr.top;
  const double blit = MicrosPerRun(
      rounds, [&] { BitBlt(dc, x, y, bar.Width(), bar.Height(), src->Canvas()->GetHandle(), 0, 0, SRCCOPY); });
  const double repaint = MicrosPerRun(rounds, [&] { adapter->PaintScrollBars(dc); });

  // The thumb pressed at its middle, then moved down and back by one pixel per step.
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  const POINT press{(bar.Left + bar.Right) / 2, bar.Top + arrow + 10};
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(press.x, press.y));
  POINT client = press;
  ScreenToClient(wnd, &client);
  int step = 0;
  const double drag = MicrosPerRun(rounds, [&] {
    step = 1 - step;
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y + 20 + step));
  });
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  ReleaseDC(wnd, dc);

  std::printf("BitBlt %dx%d                 %8.2f us\n", bar.Width(), bar.Height(), blit);
  std::printf("bar repaint                    %8.2f us  x%.1f BitBlt\n", repaint, repaint / blit);
  std::printf("drag step (command + bar)      %8.2f us  x%.1f BitBlt\n", drag, drag / blit);
  ReleaseWndAdapter(wnd, false, adapter);
  DestroyWindow(top);
  DoneSBUtilsUnit();
  return 0;
}
