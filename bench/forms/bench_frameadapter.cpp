// Timing harness, run under Wine: a frame's skinned background against a BitBlt of the frame's
// size measured in the same run: the background from a valid cache, the cache rebuilt, and the
// see-through section's copy of the parent's image, on a 400 x 300 frame of a skinned form.
// The skins are the speed fixtures "Speed" (opaque) and "SpeedClear" (see-through). Prints
// microseconds per operation and the ratios; always exits 0.
//
//   wine bench_frameadapter.exe [rounds]
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "framework/win/WinTypes.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinProvider.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  sMessagesInitialization();
  InitForms();
  Application->Initialize();
  InitFrameClasses();
  auto manager = std::make_unique<TsSkinManager>(nullptr);
  manager->SetSkinDirectory(ORBEX_SPEED_SKINS);
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(40, 40, 500, 400);
  NewComponent<TsSkinProvider>(form.get());
  auto* frame = NewComponent<TFrame>(form.get());
  frame->SetParent(form.get());
  frame->SetBounds(20, 20, 400, 300);
  auto* adapter = NewComponent<TsFrameAdapter>(frame);
  form->Show();
  TWindowDC screen(nullptr);
  TMemoryDC mem(screen.Get()), target(screen.Get());
  TOwnedBitmap source(CreateCompatibleBitmap(screen.Get(), 400, 300)), image(CreateCompatibleBitmap(screen.Get(), 400, 300));
  TSelectObject s1(mem.Get(), source.Get()), s2(target.Get(), image.Get());
  for (const char* skin : {"Speed", "SpeedClear"}) {
    manager->SetSkinName(skin);
    manager->SetActive(true);
    SendSkinCommandToControl(form.get(), SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(manager.get()));
    const double blit = MicrosPerRun(rounds, [&] { BitBlt(target.Get(), 0, 0, 400, 300, mem.Get(), 0, 0, SRCCOPY); });
    const double cached = MicrosPerRun(rounds, [&] { adapter->PaintBackground(target.Get()); });
    const double rebuilt = MicrosPerRun(rounds, [&] {
      adapter->SkinData()->BGChanged = 1;
      adapter->PaintBackground(target.Get());
    });
    std::printf("%s (400 x 300): BitBlt %.1f us\n", skin, blit);
    std::printf("  background         %9.1f us  %6.2f x BitBlt\n", cached, cached / blit);
    std::printf("  rebuilt background %9.1f us  %6.2f x BitBlt\n", rebuilt, rebuilt / blit);
  }
  form.reset();
  manager.reset();
  DoneForms();
  return 0;
}
