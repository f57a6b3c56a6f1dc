// Scroll demo: a plain top-level window with a bare 200-item list box and a multi-line edit with
// both scroll bars, each given a scroll adapter, so that the skinned bars can be looked at; with
// "controls" a second window shows a two-row tab control, a spin, two track bars and a native
// tool bar, each with its adapter. The skin is one of the built-in skins, read from the skins'
// source folder (the second argument, else the one this program was built from).
//
//   scrolldemo.exe [Linden|Dusk] [skins folder] [controls]
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include <commctrl.h>

#include "skin/adapters/lxScrollWnd.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/adapters/lxTabWnd.h"
#include "skin/adapters/lxToolBarWnd.h"
#include "skin/adapters/lxTrackWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace {

TsSkinManager* Manager = nullptr;

// The window is filled with the skin's own colour, and answers the bars' background request
// with it.
LRESULT CALLBACK DemoProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(h, &r);
      const TColor c = Manager->GlobalInfoColor();
      HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(c) & 0xFFFFFF);
      FillRect(reinterpret_cast<HDC>(wp), &r, b);
      DeleteObject(b);
      return 1;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
  }
  if (msg == WM_SKINCOMMAND && SkinCommandOf(wp) == SkinCmdQueryBackground && lp != 0) {
    auto* request = reinterpret_cast<TsBackgroundRequest*>(lp);
    request->Kind = bkColor;
    request->Color = Manager->GlobalInfoColor();
    return 1;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

std::string SkinsFolder(int argc, char** argv) {
  std::string dir = argc > 2 ? argv[2] : ORBEX_SKINS_DIR;
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return dir;
}

// The common controls' window with their adapters, kept while it is open.
struct TControlsDemo {
  std::unique_ptr<TlxTabControlWnd> Tabs;
  std::unique_ptr<TlxSpinWnd> Spin;
  std::unique_ptr<TlxTrackWnd> Track, VTrack;
  std::unique_ptr<TlxToolBarWnd> Bar;
};

HWND DemoChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr, nullptr, nullptr);
}

void ShowControls(HWND top, TsSkinManager* m, TControlsDemo& demo) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND bar = DemoChild(TOOLBARCLASSNAMEA, "", CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_FLAT |
                       TBSTYLE_LIST, 12, 8, 520, 28, top);
  SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const char* captions[] = {"Run", "Stop", "", "Zoom in", "Zoom out", "", "Export trace"};
  for (int i = 0; i < 7; ++i) {
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = 100 + i;
    b.fsState = static_cast<BYTE>(TBSTATE_ENABLED | (i == 1 ? TBSTATE_CHECKED : 0));
    b.fsStyle = static_cast<BYTE>(captions[i][0] == 0 ? BTNS_SEP : BTNS_BUTTON | BTNS_AUTOSIZE);
    b.iString = captions[i][0] == 0 ? -1 : SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>((std::string(captions[i]) + '\0').c_str()));
    SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
  }
  HWND tabs = DemoChild(WC_TABCONTROLA, "", TCS_MULTILINE | WS_CLIPCHILDREN, 12, 44, 330, 200, top);
  SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  for (int i = 0; i < 8; ++i) {
    std::string text = "Channel " + std::to_string(i + 1);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(tabs, TCM_SETCURSEL, 2, 0);
  HWND edit = DemoChild("EDIT", "5", WS_BORDER, 360, 52, 60, 22, top);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  HWND spin = DemoChild(UPDOWN_CLASSA, "", UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 0, 0, top);
  SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  HWND track = DemoChild(TRACKBAR_CLASSA, "", TBS_AUTOTICKS | TBS_BOTH, 360, 90, 180, 44, top);
  SendMessageA(track, TBM_SETTICFREQ, 10, 0);
  SendMessageA(track, TBM_SETPOS, TRUE, 30);
  HWND vtrack = DemoChild(TRACKBAR_CLASSA, "", TBS_AUTOTICKS | TBS_VERT, 380, 140, 40, 110, top);
  SendMessageA(vtrack, TBM_SETTICFREQ, 20, 0);
  demo.Bar = TlxMainWnd::CreateForHandle<TlxToolBarWnd>(bar, true, "", m, nullptr);
  demo.Tabs = TlxMainWnd::CreateForHandle<TlxTabControlWnd>(tabs, true, "", m, nullptr);
  demo.Spin = TlxMainWnd::CreateForHandle<TlxSpinWnd>(spin, true, "", m, nullptr);
  demo.Track = TlxMainWnd::CreateForHandle<TlxTrackWnd>(track, true, "", m, nullptr);
  demo.VTrack = TlxMainWnd::CreateForHandle<TlxTrackWnd>(vtrack, true, "", m, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  InitGraphicsUnit();
  sMessagesInitialization();
  InitAlphaGraphUnit();
  InitPNGUnit();
  InitSkinManagerUnit();
  InitForms();
  InitSBUtilsUnit();
  auto manager = std::make_unique<TsSkinManager>(nullptr);
  Manager = manager.get();
  manager->SetSkinDirectory(SkinsFolder(argc, argv));
  manager->SetSkinName(argc > 1 ? argv[1] : "Linden");
  if (!manager->SkinData().Active) {
    std::fprintf(stderr, "scrolldemo: the skin could not be loaded\n");
    return 1;
  }

  WNDCLASSA wc{};
  wc.lpfnWndProc = DemoProc;
  wc.lpszClassName = "OrbexScrollDemo";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "OrbexScrollDemo", "Scroll bars", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                             60, 60, 560, 380, nullptr, nullptr, nullptr, nullptr);
  RECT c{};
  GetClientRect(top, &c);
  HWND list =
      CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 12,
                      12, 180, c.bottom - 24, top, nullptr, nullptr, nullptr);
  for (int i = 0; i < 200; ++i)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Channel sample " + std::to_string(i)).c_str()));
  std::string text;
  for (int i = 0; i < 80; ++i)
    text += "Line " + std::to_string(i) + ": the trace of a handheld oscilloscope, sampled and kept for later\r\n";
  // The edit fills the window's bottom-right corner, where its corner square shows the grip.
  HWND edit =
      CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", text.c_str(),
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                      204, 12, c.right - 204, c.bottom - 12, top, nullptr, nullptr, nullptr);
  SendMessageA(edit, EM_LINESCROLL, 6, 20);
  auto listBars = TlxMainWnd::CreateForHandle<TlxScrollWnd>(list, true, "EDIT", manager.get(), nullptr);
  auto editBars = TlxMainWnd::CreateForHandle<TlxScrollWnd>(edit, true, "EDIT", manager.get(), nullptr);
  SendMessageA(list, LB_SETTOPINDEX, 40, 0);
  TControlsDemo controls;
  if (argc > 3 && std::string(argv[3]) == "controls") {
    HWND second = CreateWindowExA(0, "OrbexScrollDemo", "Common controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN |
                                  WS_VISIBLE, 640, 60, 570, 300, nullptr, nullptr, nullptr, nullptr);
    ShowControls(second, manager.get(), controls);
  }

  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  controls = TControlsDemo{};
  editBars.reset();
  listBars.reset();
  manager.reset();
  DoneSBUtilsUnit();
  return 0;
}
