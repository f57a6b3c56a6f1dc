// Scroll demo: a plain top-level window with a bare 200-item list box and a multi-line edit with
// both scroll bars, each given a scroll adapter, so that the skinned bars can be looked at. The
// skin is one of the built-in skins, read from the skins' source folder (the second argument,
// else the one this program was built from).
//
//   scrolldemo.exe [Linden|Dusk] [skins folder]
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "skin/adapters/lxScrollWnd.h"
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

  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  editBars.reset();
  listBars.reset();
  manager.reset();
  DoneSBUtilsUnit();
  return 0;
}
