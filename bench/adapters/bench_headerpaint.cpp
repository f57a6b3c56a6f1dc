// Timing harness, run under Wine: a skinned report list view's 6-column header repainted
// through the list view adapter (each column composed from the skin's header section with its
// text, the picture copied to the screen), and the same header drawn by the system, against a
// BitBlt of the header's size, in one run with the stored skin "Dusk". Prints microseconds per
// operation and the ratio; always exits 0.
//
//   wine bench_headerpaint.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/adapters/lxListViewWnd.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr int Columns = 6, ColumnWidth = 80;

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(h, msg, wp, lp); }

HWND ReportList(HWND parent, int top) {
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, top,
                              Columns * ColumnWidth + 30, 120, parent, nullptr, nullptr, nullptr);
  for (int i = 0; i < Columns; ++i) {
    std::string title = "Column " + std::to_string(i + 1);
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = i % 3;   // left, right, centred
    c.cx = ColumnWidth;
    c.pszText = title.data();
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
  }
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_headerpaint")) return 0;
  InitSBUtilsUnit();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "OrbexBenchHeader";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "OrbexBenchHeader", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 340, nullptr,
                             nullptr, nullptr, nullptr);
  HWND list = ReportList(top, 10);
  HWND plainList = ReportList(top, 160);
  auto adapter = TlxMainWnd::CreateForHandle<TlxListViewWnd>(list, true, "EDIT", &manager, nullptr);
  HWND header = adapter->HeaderWnd();
  HWND plain = reinterpret_cast<HWND>(SendMessageA(plainList, LVM_GETHEADER, 0, 0));
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  RECT r{};
  GetClientRect(header, &r);
  auto src = CreateBitmap32(r.right, r.bottom);
  HDC screen = GetDC(header);
  const double blit = MicrosPerRun(rounds, [&] {
    BitBlt(screen, 0, 0, r.right, r.bottom, src->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  });
  ReleaseDC(header, screen);
  const double repaint = MicrosPerRun(rounds, [&] {
    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
  const double system = MicrosPerRun(rounds, [&] {
    RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });

  std::printf("BitBlt %ldx%ld to the header       %8.2f us\n", r.right, r.bottom, blit);
  std::printf("Header paint, %d columns          %8.2f us  x%.1f BitBlt\n", Columns, repaint, repaint / blit);
  std::printf("System header paint, %d columns   %8.2f us  x%.1f BitBlt\n", Columns, system, system / blit);
  adapter.reset();
  DestroyWindow(top);
  DoneSBUtilsUnit();
  return 0;
}
