// Timing harness, run under Wine: the skinned cool bar's paint (PaintToDC: the cache beneath
// the client, the band header with its grip, from a valid cache and with the cache painted
// anew) against a BitBlt of the bar's size, and one paint of a skinned label against the
// framework label's paint of the same text on the same panel, all measured in one run with the
// stored skin "Dusk". Prints microseconds per operation and the ratios; always exits 0.
//
//   wine bench_coolbar_labels.exe [rounds]
#include "bench/controls/StoredSkinBench.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr int BarW = 740, BarH = 56;

template <class T>
T* Label(TForm* form, TWinControl* parent) {
  auto* l = new T(form);
  l->SetParent(parent);
  l->SetCaption("Port name:");
  l->SetBounds(20, 20, 80, 16);
  return l;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  TsSkinManager manager(nullptr);
  if (!StartWithStoredSkin(manager, "Dusk", "bench_coolbar_labels")) return 0;
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 780, 400);
  form->Show();
  auto* bar = new TsCoolBar(form.get());
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, BarW, BarH);
  auto* tools = new TPanel(form.get());
  tools->SetParent(bar);
  tools->SetBounds(0, 0, 400, 52);
  TCoolBand* band = bar->Bands()->Add();
  band->SetControl(tools);
  band->SetMinHeight(52);
  bar->SkinData()->AfterLoad();
  bar->Loaded();
  auto* panel = new TsPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 100, 300, 200);
  panel->SkinData()->AfterLoad();
  TsLabel* skinned = Label<TsLabel>(form.get(), panel);
  TLabel* plain = Label<TLabel>(form.get(), panel);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

  auto src = CreateBitmap32(BarW, BarH), dst = CreateBitmap32(BarW, BarH);
  HDC d = dst->Canvas()->GetHandle();
  const double blit = MicrosPerRun(rounds, [&] { BitBlt(d, 0, 0, BarW, BarH, src->Canvas()->GetHandle(), 0, 0, SRCCOPY); });
  const double barPaint = MicrosPerRun(rounds, [&] { bar->PaintToDC(d, false); });
  const double barRebuilt = MicrosPerRun(rounds, [&] {
    bar->SkinData()->BGChanged = 1;
    bar->PaintToDC(d, false);
  });
  auto target = CreateBitmap32(skinned->Width(), skinned->Height());
  HDC t = target->Canvas()->GetHandle();
  const double labelSkinned = MicrosPerRun(rounds, [&] { skinned->Perform(WM_PAINT, reinterpret_cast<WPARAM>(t), 0); });
  const double labelPlain = MicrosPerRun(rounds, [&] { plain->Perform(WM_PAINT, reinterpret_cast<WPARAM>(t), 0); });

  std::printf("BitBlt %dx%d                   %8.2f us\n", BarW, BarH, blit);
  std::printf("cool bar PaintToDC, valid cache  %8.2f us  x%.1f BitBlt\n", barPaint, barPaint / blit);
  std::printf("cool bar PaintToDC, cache anew   %8.2f us  x%.1f BitBlt\n", barRebuilt, barRebuilt / blit);
  std::printf("framework label paint            %8.2f us\n", labelPlain);
  std::printf("skinned label paint              %8.2f us  x%.2f framework label\n", labelSkinned,
              labelSkinned / labelPlain);
  return 0;
}
