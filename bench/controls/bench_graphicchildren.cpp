// Timing harness, run under Wine: the graphic children of the main window's inner drawing
// panel ("Panel1", the trace's paint box on it) painted through PaintGraphicChildren (one
// off-screen bitmap over the panel's background, then copied) against the framework's own
// PaintControls (each child straight into the DC), both into a 32-bit bitmap of the panel's
// size, with a sine trace fed to the scope. Prints microseconds per paint and their ratio,
// measured in the same run, for both stored skins. Always exits 0.
//
//   wine bench_graphicchildren.exe [rounds]
#include "bench/forms/BenchMainWindow.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/OrbexBuffer.h"
#include "app/win/MainFrm.h"
#include "skin/controls/sPanel.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDibSection.h"

namespace {

// A scope whose packets come from the harness instead of a port.
class TFeedScope : public TOrbexScope {
public:
  // One full frame of a sine wave, two periods over the 256 samples.
  void FeedSine() {
    std::vector<std::uint8_t> p{'B', 'A', 10, 1, 0x4A, 0x24, 0, 0, 0, 0};
    for (int i = 0; i < 256; ++i)
      p.push_back(static_cast<std::uint8_t>(128 + 100 * std::sin(i * 2 * 3.14159265358979 * 2 / 256)));
    TOrbexBuffer buffer;
    buffer.Append(p.data(), static_cast<std::int32_t>(p.size()));
    DecodeReceived(buffer);
  }
};

// The framework's painting of graphic children is protected; this reaches it from outside.
struct TPaintControlsAccess : TWinControl {
  using TWinControl::PaintControls;
};

void Measure(TMainForm* main, int rounds) {
  TsPanel* panel = main->Panel1;
  const std::unique_ptr<TBitmap> target = CreateBitmap32(panel->Width(), panel->Height());
  const HDC dc = target->Canvas()->GetHandle();
  const auto paintControls = &TPaintControlsAccess::PaintControls;
  const double offScreen = MicrosPerRun(rounds, [&] { PaintGraphicChildren(dc, panel); });
  const double direct = MicrosPerRun(rounds, [&] { (panel->*paintControls)(dc, nullptr); });
  // Most of what the off-screen pass adds: a fresh bitmap of the panel's size, made and
  // filled once (its memory is touched for the first time), for every paint.
  const double fresh = MicrosPerRun(rounds, [&] {
    const TlxDibSection image(panel->Width(), panel->Height());
    const TMemoryDC memory(dc, image.GetHandle());
    PatBlt(memory.Get(), 0, 0, panel->Width(), panel->Height(), BLACKNESS);
  });
  std::printf("%-18s Panel1 %d x %d: PaintGraphicChildren %7.1f us, PaintControls %7.1f us, ratio %5.2f"
              " (a fresh bitmap of its size made and filled %6.1f us)\n",
              main->SkinManager->GetSkinName().c_str(), panel->Width(), panel->Height(), offScreen, direct,
              offScreen / direct, fresh);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  auto feed = std::make_unique<TFeedScope>();
  TFeedScope* scope = feed.get();
  TBenchMainWindow program("Orbex graphic-children benchmark", "graphicchildren", std::move(feed));
  TMainForm* main = program.Main();
  scope->FeedSine();
  Pump();
  if (program.Skinned("bench_graphicchildren")) {
    std::printf("%d paints a case\n", rounds);
    Measure(main, rounds);
    const bool dark = main->SkinManager->GetSkinName() == DarkSkinName;
    main->SkinManager->SetSkinName(dark ? LightSkinName : DarkSkinName);
    Pump();
    Measure(main, rounds);
  }
  return 0;
}
