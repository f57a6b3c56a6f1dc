// Timing harness, run under Wine: the skinned combo box's repaint (a 121 x 21 box, its cache
// rebuilt as a hover or focus change asks) and the frame paint of its dropped list, each
// against a BitBlt of its size, in one run with the stored skin "Dusk". Prints microseconds
// per operation and the ratios; always exits 0.
//
//   wine bench_combopaint.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/adapters/lxComboWnd.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/win/sCommonData.h"
#include "skin/paint/win/sBitmap32.h"

namespace {
double BlitOf(int rounds, int w, int h) {
  auto src = CreateBitmap32(w, h);
  auto dst = CreateBitmap32(w, h);
  return MicrosPerRun(rounds, [&] {
    BitBlt(dst->Canvas()->GetHandle(), 0, 0, w, h, src->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  });
}
}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_combopaint")) return 0;
  InitSBUtilsUnit();
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 300);
  form->Show();
  auto* box = NewComponent<TsComboBox>(form.get());
  box->SetStyle(csDropDownList);
  box->SetParent(form.get());
  box->SetBounds(10, 10, 121, 21);
  for (int i = 0; i < 12; ++i) box->Items()->Add("COM" + std::to_string(51 + i));
  box->SetItemIndex(0);
  box->HandleNeeded();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  const HWND h = box->Handle();
  const double boxBlit = BlitOf(rounds, box->Width(), box->Height());
  const double repaint = MicrosPerRun(rounds, [&] {
    box->SkinData()->BGChanged = 1;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });

  box->SetDroppedDown(true);
  const HWND list = box->ListHandle();
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  RECT lr{};
  GetWindowRect(list, &lr);
  const int lw = lr.right - lr.left, lh = lr.bottom - lr.top;
  const double listBlit = BlitOf(rounds, lw, lh);
  const double frame = MicrosPerRun(rounds, [&] { SendMessageA(list, WM_NCPAINT, 1, 0); });
  box->SetDroppedDown(false);

  std::printf("BitBlt %dx%d                    %8.2f us\n", box->Width(), box->Height(), boxBlit);
  std::printf("combo box repaint %dx%d         %8.2f us  x%.1f BitBlt\n", box->Width(), box->Height(), repaint,
              repaint / boxBlit);
  std::printf("BitBlt %dx%d                   %8.2f us\n", lw, lh, listBlit);
  std::printf("dropped list frame %dx%d       %8.2f us  x%.1f BitBlt (%s)\n", lw, lh, frame, frame / listBlit,
              box->ListAdapter() != nullptr ? "skinned" : "not skinned");
  form.reset();
  DoneSBUtilsUnit();
  return 0;
}
