// Timing harness, run under Wine: what the skinned frame costs against a BitBlt of the whole
// window measured in the same run: a full frame-cache build, a non-client paint from a valid
// cache, one title-button repaint and the whole-form image (frame and children, as the taskbar
// preview takes it), on a sizeable form of 740 x 559 with a few panels and maximized. The skin
// is the frame fixture "FrameA". Prints microseconds per operation and the ratios; always
// exits 0.
//
//   wine bench_frame.exe [rounds]
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "framework/win/ExtCtrls.h"
#include "framework/win/WinTypes.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sFormImage.h"
#include "skin/forms/sSkinProvider.h"

namespace {

void Measure(const char* title, TForm* form, TsSkinProvider* p, int rounds) {
  const HWND h = form->Handle();
  RECT r{};
  GetWindowRect(h, &r);
  const int w = static_cast<int>(r.right - r.left), ht = static_cast<int>(r.bottom - r.top);
  TWindowDC screen(nullptr);
  TMemoryDC mem(screen.Get());
  TOwnedBitmap image(CreateCompatibleBitmap(screen.Get(), w, ht));
  TSelectObject selected(mem.Get(), image.Get());
  const double blit = MicrosPerRun(rounds, [&] {
    TWindowDC dc(h, TWindowDC::TArea::Window);
    BitBlt(dc.Get(), 0, 0, w, ht, mem.Get(), 0, 0, SRCCOPY);
  });
  const double cache = MicrosPerRun(rounds, [&] {
    p->SkinData()->BGChanged = 1;
    p->PaintFrameCache();
  });
  const double nonClient = MicrosPerRun(rounds, [&] { p->PaintNonClient(); });
  int state = 0;
  const double button = MicrosPerRun(rounds, [&] {
    p->SetHotElement((state ^= 1) != 0 ? htcClose : 0, true);
  });
  const double formImage = MicrosPerRun(rounds, [&] { MakeFormImage(p, false); });
  std::printf("%s (%d x %d): window BitBlt %.1f us\n", title, w, ht, blit);
  std::printf("  PaintFrameCache     %9.1f us  %6.2f x BitBlt\n", cache, cache / blit);
  std::printf("  PaintNonClient      %9.1f us  %6.2f x BitBlt\n", nonClient, nonClient / blit);
  std::printf("  title-button repaint%9.1f us  %6.2f x BitBlt\n", button, button / blit);
  std::printf("  MakeFormImage       %9.1f us  %6.2f x BitBlt\n", formImage, formImage / blit);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  InitForms();
  TsSkinManager manager(nullptr);
  manager.SetSkinDirectory(ORBEX_FRAME_SKINS);
  manager.SetSkinName("FrameA");
  if (!manager.SkinData().Active) {
    std::printf("bench_frame: the skin FrameA did not load from %s\n", ORBEX_FRAME_SKINS);
    return 0;
  }
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(40, 40, 740, 559);
  form->SetCaption("Orbex frame benchmark");
  form->HandleNeeded();
  auto* provider = NewComponent<TsSkinProvider>(form.get());
  for (int i = 0; i < 4; ++i) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10 + i * 180, 20, 170, 400);
    panel->SetCaption("Channel");
  }
  form->Show();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  Measure("normal", form.get(), provider, rounds);
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  provider->SkinData()->BGChanged = 1;
  provider->RegionChanged = true;
  Measure("maximized", form.get(), provider, rounds);
  return 0;
}
