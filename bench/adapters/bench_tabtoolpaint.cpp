// Timing harness, run under Wine: a skinned 300 x 150 tab control with two rows of tabs
// repainted through its adapter (strip, back row, page area, selected tab, copy to the screen)
// and a skinned 10-button native tool bar (400 x 30) repainted through its adapter, each against
// a BitBlt of its size, in one run with the stored skin "Dusk". Prints microseconds per operation
// and the ratios; always exits 0.
//
//   wine bench_tabtoolpaint.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/adapters/lxTabWnd.h"
#include "skin/adapters/lxToolBarWnd.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr int TabW = 300, TabH = 150, BarW = 400, BarH = 30, Buttons = 10;

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(h, msg, wp, lp); }

double Blit(HWND wnd, int w, int h, int rounds) {
  auto src = CreateBitmap32(w, h);
  HDC screen = GetDC(wnd);
  const double us = MicrosPerRun(rounds, [&] { BitBlt(screen, 0, 0, w, h, src->Canvas()->GetHandle(), 0, 0, SRCCOPY); });
  ReleaseDC(wnd, screen);
  return us;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_tabtoolpaint")) return 0;
  InitSBUtilsUnit();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "OrbexBenchTabs";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "OrbexBenchTabs", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 460, 260, nullptr,
                             nullptr, nullptr, nullptr);
  HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_MULTILINE, 10, 10, TabW, TabH, top,
                              nullptr, nullptr, nullptr);
  // Six tabs that need two rows in 300 pixels.
  for (int i = 0; i < 6; ++i) {
    std::string text = "Channel " + std::to_string(i + 1);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE |
                             CCS_NODIVIDER | TBSTYLE_FLAT, 10, 170, BarW, BarH, top, nullptr, nullptr, nullptr);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const auto text = SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("Run\0"));
  for (int i = 0; i < Buttons; ++i) {
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = 100 + i;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iString = text;
    SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
  }
  auto tabAdapter = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(tabs, true, "", &manager, nullptr);
  auto barAdapter = TlxMainWnd::CreateForHandle<TlxToolBarWnd>(bar, true, "", &manager, nullptr);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  const int rows = static_cast<int>(SendMessageA(tabs, TCM_GETROWCOUNT, 0, 0));
  const double tabBlit = Blit(tabs, TabW, TabH, rounds);
  const double tabPaint =
      MicrosPerRun(rounds, [&] { RedrawWindow(tabs, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); });
  const double barBlit = Blit(bar, BarW, BarH, rounds);
  const double barPaint = MicrosPerRun(rounds, [&] { RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });

  std::printf("BitBlt %dx%d to the window         %8.2f us\n", TabW, TabH, tabBlit);
  std::printf("Tab control repaint %dx%d, %d rows  %8.2f us  x%.1f BitBlt\n", TabW, TabH, rows, tabPaint,
              tabPaint / tabBlit);
  std::printf("BitBlt %dx%d to the window          %8.2f us\n", BarW, BarH, barBlit);
  std::printf("Tool bar repaint %dx%d, %d buttons  %8.2f us  x%.1f BitBlt\n", BarW, BarH, Buttons, barPaint,
              barPaint / barBlit);
  tabAdapter.reset();
  barAdapter.reset();
  DestroyWindow(top);
  DoneSBUtilsUnit();
  return 0;
}
