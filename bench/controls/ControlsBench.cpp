// The main window's skinned status bar (740 x 19, five panels, grip) and a panel of the size of
// its drawing frame (725 x 437), painted from the stored "Dusk" skin: the bar's cache rebuild,
// and the panel's repaint by its cache path (rebuilt, and copied only) and by its direct path.
// Each reports "x_blt": its time per call divided by that of a BitBlt of the same size between
// two 32-bit bitmaps, measured in this run, so the numbers say what the skin costs on any
// machine.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "framework/win/Forms.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"
#include "bench/harness/RatioBench.h"

namespace {

using benchratio::BltNs;
using benchratio::SkinsDir;

constexpr int BarW = 740, BarH = 19, PanelW = 725, PanelH = 437;

// One shown form with the manager's skin, a bar and a panel, made at the first use.
struct TScene {
  std::unique_ptr<TsSkinManager> Manager;
  std::unique_ptr<TForm> Form;
  TsStatusBar* Bar = nullptr;
  TsPanel* Panel = nullptr;
  std::unique_ptr<TBitmap> Target = CreateBitmap32(PanelW, PanelH);
  bool Ready = false;

  TScene() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Manager = std::make_unique<TsSkinManager>(nullptr);
    Manager->SetSkinDirectory(SkinsDir());
    Manager->SetSkinName("Dusk");
    if (!Manager->SkinData().Active) return;
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 780, 520);
    Form->HandleNeeded();
    Form->Show();
    Bar = new TsStatusBar(Form.get());
    for (int w : {60, 60, 70, 50, 50}) Bar->Panels()->Add()->SetWidth(w);
    const char* texts[] = {"0.1s/div", "HOLD", "5mV/div", "x1", "AC"};
    for (int i = 0; i < 5; ++i) Bar->Panels()->Items(i)->SetText(texts[i]);
    Bar->SetParent(Form.get());
    Bar->SetAlign(alNone);
    Bar->SetBounds(0, 460, BarW, BarH);
    Bar->SkinData()->AfterLoad();
    Bar->HandleNeeded();
    Panel = new TsPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(4, 4, PanelW, PanelH);
    Panel->SetBorderWidth(10);
    Panel->SkinData()->AfterLoad();
    Panel->HandleNeeded();
    Ready = true;
  }
  // The panel's section: "BAR" has a gradient, so the panel keeps its own image (cache path);
  // "PANEL" is a flat fill with a border, painted straight into the DC (direct path).
  void PanelSection(const char* section) {
    if (Panel->SkinData()->GetSkinSection() != section) Panel->SkinData()->SetSkinSection(section);
  }
};

TScene& Scene() {
  static TScene s;
  return s;
}

template <typename F>
void Measure(benchmark::State& st, double bltNs, F body) {
  benchratio::MeasureRatio(st, Scene().Ready, bltNs, body);
}

void BM_BitBltBar(benchmark::State& st) {
  auto src = CreateBitmap32(BarW, BarH), dst = CreateBitmap32(BarW, BarH);
  static const double blt = BltNs(BarW, BarH);
  Measure(st, blt, [&] { BitBlt(dst->Canvas()->GetHandle(), 0, 0, BarW, BarH, src->Canvas()->GetHandle(), 0, 0, SRCCOPY); });
}

void BM_StatusBarRebuild(benchmark::State& st) {
  static const double blt = BltNs(BarW, BarH);
  Measure(st, blt, [] { Scene().Bar->RebuildCache(); });
}

void BM_BitBltPanel(benchmark::State& st) {
  auto src = CreateBitmap32(PanelW, PanelH), dst = CreateBitmap32(PanelW, PanelH);
  static const double blt = BltNs(PanelW, PanelH);
  Measure(st, blt, [&] {
    BitBlt(dst->Canvas()->GetHandle(), 0, 0, PanelW, PanelH, src->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  });
}

// The cache path when the background changed: the cache is painted anew, then copied.
void BM_PanelCachePathRebuilt(benchmark::State& st) {
  static const double blt = BltNs(PanelW, PanelH);
  TScene& s = Scene();
  if (s.Ready) s.PanelSection("BAR");
  Measure(st, blt, [&] {
    s.Panel->SkinData()->BGChanged = 1;
    s.Panel->PaintToDC(s.Target->Canvas()->GetHandle(), false);
  });
}

// The cache path with the cache as it stands: a copy that leaves out the child controls.
void BM_PanelCachePathCopy(benchmark::State& st) {
  static const double blt = BltNs(PanelW, PanelH);
  TScene& s = Scene();
  if (s.Ready) s.PanelSection("BAR");
  Measure(st, blt, [&] { s.Panel->PaintToDC(s.Target->Canvas()->GetHandle(), false); });
}

void BM_PanelDirectPath(benchmark::State& st) {
  static const double blt = BltNs(PanelW, PanelH);
  TScene& s = Scene();
  if (s.Ready) s.PanelSection("PANEL");
  Measure(st, blt, [&] { s.Panel->PaintToDC(s.Target->Canvas()->GetHandle(), false); });
}

}  // namespace

BENCHMARK(BM_BitBltBar);
BENCHMARK(BM_StatusBarRebuild);
BENCHMARK(BM_BitBltPanel);
BENCHMARK(BM_PanelCachePathRebuilt);
BENCHMARK(BM_PanelCachePathCopy);
BENCHMARK(BM_PanelDirectPath);
