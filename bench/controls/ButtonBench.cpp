// The skinned push button of the dialogs (75 x 25) in the stored "Dusk" skin: its face built
// into the cache (section gradient, border mask, caption) and copied to a window-sized bitmap,
// and the copy alone. Each reports "x_blt": its time per call divided by that of a BitBlt of
// 75 x 25 between two 32-bit bitmaps measured in this run.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "framework/win/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"
#include "bench/harness/RatioBench.h"

namespace {

constexpr int W = 75, H = 25;

struct TScene {
  std::unique_ptr<TsSkinManager> Manager;
  std::unique_ptr<TForm> Form;
  TsButton* Button = nullptr;
  std::unique_ptr<TBitmap> Target = CreateBitmap32(W, H);
  bool Ready = false;

  TScene() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Manager = std::make_unique<TsSkinManager>(nullptr);
    Manager->SetSkinDirectory(benchratio::SkinsDir());
    Manager->SetSkinName("Dusk");
    if (!Manager->SkinData().Active) return;
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 200, 100);
    Form->HandleNeeded();
    Form->Show();
    Button = new TsButton(Form.get());
    Button->SetParent(Form.get());
    Button->SetBounds(20, 20, W, H);
    Button->SetCaption("&Cancel");
    Button->HandleNeeded();
    Ready = true;
  }
  void Copy() {
    TBitmap* cache = Button->SkinData()->CacheBitmap();
    BitBlt(Target->Canvas()->GetHandle(), 0, 0, W, H, cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  }
};

TScene& Scene() {
  static TScene s;
  return s;
}

template <typename F>
void Measure(benchmark::State& st, F body) {
  static const double blt = benchratio::BltNs(W, H);
  benchratio::MeasureRatio(st, Scene().Ready, blt, body);
}

void BM_ButtonFaceBuildAndCopy(benchmark::State& st) {
  Measure(st, [] {
    Scene().Button->BuildFace();
    Scene().Copy();
  });
}

void BM_ButtonCacheCopy(benchmark::State& st) {
  Measure(st, [] { Scene().Copy(); });
}

}  // namespace

BENCHMARK(BM_ButtonFaceBuildAndCopy);
BENCHMARK(BM_ButtonCacheCopy);
