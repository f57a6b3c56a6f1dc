// Timing harness, run under Wine: what a full frame-cache build of the skinned save dialog
// (the program's "Export scope trace to file", skinned by the thread hook in the frame fixture
// skin "FrameA") costs against a BitBlt of the dialog's size measured in the same run, from a
// timer inside the dialog's own loop. Prints microseconds per operation and the ratio; always
// exits 0.
//
//   wine bench_dialog.exe [rounds]
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/win/Startup.h"
#include "framework/win/WinTypes.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxDialogWnd.h"

namespace {

int GRounds = 200;
bool GMeasured = false;

void CALLBACK Measure(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND box = FindWindowA("#32770", "Export scope trace to file");
  TlxDialogWnd* d = DialogAdapterOf(box);
  if (d == nullptr) {
    std::printf("bench_dialog: the save dialog is not skinned\n");
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  RECT r{};
  GetWindowRect(box, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  TWindowDC screen(nullptr);
  TMemoryDC mem(screen.Get());
  TOwnedBitmap image(CreateCompatibleBitmap(screen.Get(), w, h));
  TSelectObject selected(mem.Get(), image.Get());
  const double blit = MicrosPerRun(GRounds, [&] {
    TWindowDC dc(box, TWindowDC::TArea::Window);
    BitBlt(dc.Get(), 0, 0, w, h, mem.Get(), 0, 0, SRCCOPY);
  });
  const double cache = MicrosPerRun(GRounds, [&] {
    d->SkinData()->BGChanged = 1;
    d->PaintFrameCache();
  });
  std::printf("save dialog %d x %d: BitBlt %.1f us\n", w, h, blit);
  std::printf("  PaintFrameCache %9.1f us  %6.2f x BitBlt\n", cache, cache / blit);
  GMeasured = true;
  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int main(int argc, char** argv) {
  GRounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  TUnitStartup units(OrbexUnitSteps());
  units.Initialize();
  Application->Initialize();
  auto manager = std::make_unique<TsSkinManager>(nullptr);
  manager->SetSkinDirectory(ORBEX_FRAME_SKINS);
  manager->SetSkinName("FrameA");
  if (!manager->SkinData().Active) {
    std::printf("bench_dialog: no skin FrameA in %s\n", ORBEX_FRAME_SKINS);
    return 0;
  }
  TSaveDialog dlg(nullptr);
  dlg.SetTitle("Export scope trace to file");
  dlg.SetFilter("Windows Bitmap (256 colors)|*.bmp");
  SetTimer(nullptr, 0, 500, &Measure);
  dlg.Execute();
  if (!GMeasured) std::printf("bench_dialog: nothing measured\n");
  manager.reset();
  return 0;
}
