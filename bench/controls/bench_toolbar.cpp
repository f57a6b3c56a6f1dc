// Timing harness, run under Wine: a skinned tool bar of the main window's shape (67 x 52
// buttons with captions, separators, a drop-down button, a 32-pixel alpha image list) painted
// whole through its window (WM_PRINT: frame, background, every button and the dividers), and one
// hot button painted again into the window as the mouse moves onto it, each against a BitBlt
// of the bar's size, all in one run with the stored skin "Dusk". Prints microseconds per
// operation and the ratios; always exits 0.
//
//   wine bench_toolbar.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "framework/win/ImgList.h"
#include "skin/controls/sToolBar.h"
#include "skin/paint/win/lxAlphaImageList.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

// A 32 x 32 image: an opaque disc with a soft rim, so that its edges are blended.
std::unique_ptr<TBitmap> Disc() {
  auto b = CreateBitmap32(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const int d2 = (x - 16) * (x - 16) + (y - 16) * (y - 16);
      const std::uint32_t a = d2 < 169 ? 255 : d2 < 225 ? 128 : 0;
      SetPix(BitmapPixels(b.get()), x, y, a << 24 | (a * 40 / 255) << 16 | (a * 120 / 255) << 8 | (a * 200 / 255));
    }
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_toolbar")) return 0;
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 780, 200);
  form->Show();
  auto* images = new TsAlphaImageList(form.get());
  images->SetWidth(32);
  images->SetHeight(32);
  auto disc = Disc();
  images->Add(disc.get(), nullptr);
  auto* bar = new TsToolBar(form.get());
  bar->SetBounds(0, 0, 740, 56);
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(67);
  bar->SetButtonHeight(52);
  bar->SetImages(images);
  bar->SetParent(form.get());
  const TToolButtonStyle styles[] = {tbsButton, tbsButton, tbsSeparator, tbsButton, tbsSeparator, tbsButton, tbsSeparator, tbsDropDown};
  const char* captions[] = {"Connect..", "Disconnect", "", "Capture", "", "Help", "", "Skin"};
  for (int i = 0; i < 8; ++i) {
    auto* b = new TToolButton(form.get());
    b->SetCaption(captions[i]);
    b->SetStyle(styles[i]);
    if (styles[i] != tbsSeparator) b->SetImageIndex(0);
    b->SetParent(bar);
  }
  bar->SkinData()->AfterLoad();
  bar->Loaded();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  const int w = bar->Width(), h = bar->Height();
  auto src = CreateBitmap32(w, h), dst = CreateBitmap32(w, h);
  HDC d = dst->Canvas()->GetHandle();
  const double blit = MicrosPerRun(rounds, [&] { BitBlt(d, 0, 0, w, h, src->Canvas()->GetHandle(), 0, 0, SRCCOPY); });
  const double repaint = MicrosPerRun(rounds, [&] {
    SendMessageA(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(d), PRF_CLIENT | PRF_NONCLIENT);
  });
  // The mouse on the first button: a bar that is not flat tracks its hot button itself.
  const TRect first = bar->ItemRect(0);
  SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(first.Left + 5, first.Top + 5));
  const double hot = MicrosPerRun(rounds, [&] { bar->RepaintButton(0); });

  std::printf("BitBlt %dx%d                   %8.2f us\n", w, h, blit);
  std::printf("tool bar repaint (WM_PRINT)      %8.2f us  x%.1f BitBlt\n", repaint, repaint / blit);
  std::printf("one hot button repainted         %8.2f us  x%.1f BitBlt\n", hot, hot / blit);
  return 0;
}
