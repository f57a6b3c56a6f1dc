// Timing harness, run under Wine: what one refresh of the extended-border window costs
// (UpdateExBorder(true, 255): the layered upload of the frame image with its shadow, the
// region and the place behind the form) against a BitBlt of the form's size measured in the
// same run, on a sizeable form of 740 x 559 with extended borders in the border fixture skin
// "BorderA". Prints microseconds per operation and the ratio; always exits 0.
//
//   wine bench_border.exe [rounds]
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "framework/win/WinTypes.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sAlphaGraphWin.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  InitForms();
  InitGraphicsUnit();
  sMessagesInitialization();
  InitAlphaGraphUnit();
  InitPNGUnit();
  InitSkinManagerUnit();
  TsSkinManager manager(nullptr);
  manager.SetSkinDirectory(ORBEX_BORDER_SKINS);
  manager.SetExtendedBorders(true);
  manager.SetSkinName("BorderA");
  if (!manager.SkinData().Active || !manager.GetExtendedBorders()) {
    std::printf("bench_border: no extended borders with BorderA from %s\n", ORBEX_BORDER_SKINS);
    return 0;
  }
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(40, 40, 740, 559);
  form->SetCaption("Orbex border benchmark");
  form->HandleNeeded();
  auto* provider = NewComponent<TsSkinProvider>(form.get());
  form->Show();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  TlxBorderForm* border = provider->BorderForm();
  if (border == nullptr) {
    std::printf("bench_border: the form has no border window\n");
    return 0;
  }
  const HWND h = form->Handle();
  constexpr int w = 740, ht = 559;
  TWindowDC screen(nullptr);
  TMemoryDC mem(screen.Get());
  TOwnedBitmap image(CreateCompatibleBitmap(screen.Get(), w, ht));
  TSelectObject selected(mem.Get(), image.Get());
  const double blit = MicrosPerRun(rounds, [&] {
    TWindowDC dc(h, TWindowDC::TArea::Window);
    BitBlt(dc.Get(), 0, 0, w, ht, mem.Get(), 0, 0, SRCCOPY);
  });
  const double update = MicrosPerRun(rounds, [&] { border->UpdateExBorder(true, 255); });
  TBitmap* cache = provider->SkinData()->CacheBitmap();
  // The system's share: the upload alone.
  const double upload = MicrosPerRun(rounds, [&] {
    SIZE size{cache->GetWidth(), cache->GetHeight()};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindowProc(border->Handle(), screen.Get(), nullptr, &size, cache->Canvas()->GetHandle(), &origin, 0,
                            &blend, ULW_ALPHA);
  });
  std::printf("border window (%d x %d image) of a %d x %d form: BitBlt %.1f us\n", cache->GetWidth(), cache->GetHeight(),
              w, ht, blit);
  std::printf("  UpdateExBorder(true, 255) %9.1f us  %6.2f x BitBlt\n", update, update / blit);
  std::printf("  of which the upload      %9.1f us  %6.2f x BitBlt\n", upload, upload / blit);
  form.reset();
  DoneSkinManagerUnit();
  DonePNGUnit();
  DoneAlphaGraphUnit();
  return 0;
}
