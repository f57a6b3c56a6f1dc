// Timing harness, run under Wine: a skin switch of the program's main window ("Dusk" and
// "Linden" in turn, from the SkinName assignment until OnAfterChange), the main window alone
// and with three more skinned test forms, the skin-change animation on and off, as a ratio to
// one full redraw (frame and children) of the same forms measured in the same run. With the
// animation, also the time beyond its (n + 1) x 12 ms of frames (one loop of frames for all
// forms), and the pauses as slept (what remains of each frame's 12 ms). The program's units
// start as in the program. Prints milliseconds and ratios; always exits 0.
//
//   wine bench_formswitch.exe [rounds]
#include "bench/forms/BenchMainWindow.h"
#include "bench/forms/MicrosPerRun.h"
#include "framework/win/Forms.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/win/MainFrm.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "skin/core/sAnimSteps.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/forms/sAnimations.h"

namespace {

using Clock = std::chrono::steady_clock;

// A test form skinned by the main window's manager, with panels and buttons in it.
std::unique_ptr<TForm> TestForm(int i) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(80 + i * 40, 80 + i * 30, 520, 380);
  form->SetCaption("Test form " + std::to_string(i + 1));
  form->HandleNeeded();
  NewComponent<TsSkinProvider>(form.get());
  for (int k = 0; k < 3; ++k) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10 + k * 165, 10, 155, 300);
    panel->SetCaption("Channel");
    auto* button = new TButton(form.get());
    button->SetParent(panel);
    button->SetBounds(10, 260, 100, 26);
    button->SetCaption("Apply");
  }
  form->Show();
  return form;
}

struct TRun {
  double SwitchMs = 0;   // mean, assignment to OnAfterChange
  double SleptMs = 0;    // mean frame pauses slept per switch
};

// Mean time of `rounds` switches (after one warm-up), alternating the two stored skins.
TRun Switches(TMainForm* main, int rounds, bool& toDark) {
  TsSkinManager* m = main->SkinManager;
  TNotifyEvent saved = m->OnAfterChange;
  Clock::time_point after{};
  m->OnAfterChange = [&](TObject* sender) {
    if (saved) saved(sender);
    after = Clock::now();
  };
  double slept = 0;
  const std::function<void(int)> savedSleep = AnimSleep;
  AnimSleep = [&](int ms) {
    const auto t0 = Clock::now();
    Sleep(static_cast<DWORD>(ms));
    slept += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  };
  TRun run;
  for (int i = 0; i <= rounds; ++i) {
    slept = 0;
    const auto start = Clock::now();
    m->SetSkinName((toDark = !toDark) ? DarkSkinName : LightSkinName);
    GdiFlush();
    Pump();
    if (i == 0) continue;   // warm-up
    run.SwitchMs += std::chrono::duration<double, std::milli>(after - start).count();
    run.SleptMs += slept;
  }
  run.SwitchMs /= rounds;
  run.SleptMs /= rounds;
  m->OnAfterChange = saved;
  AnimSleep = savedSleep;
  return run;
}

// One full redraw of every form: its frame cache rebuilt and the frame and children painted.
double RedrawMs(const std::vector<TCustomForm*>& forms, int rounds) {
  return MicrosPerRun(rounds, [&] {
           for (TCustomForm* f : forms) {
             auto* p = reinterpret_cast<TsSkinProvider*>(SendSkinCommand(f->Handle(), SkinCmdFindProvider));
             if (p != nullptr) p->SkinData()->BGChanged = 1;
             RedrawWindow(f->Handle(), nullptr, nullptr,
                          RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
           }
         }) /
         1000.0;
}

void Measure(const char* title, TMainForm* main, const std::vector<TCustomForm*>& forms, int rounds, bool& toDark) {
  TlxSkinChanging* changing = main->SkinManager->AnimEffects()->SkinChanging();
  const double redraw = RedrawMs(forms, rounds * 4);
  changing->Active = false;
  const TRun off = Switches(main, rounds, toDark);
  changing->Active = true;
  const TRun on = Switches(main, rounds, toDark);
  const double pauses = (AnimStepCount(changing->Time) + 1) * 12.0;
  std::printf("%s (%d form%s): full redraw %.2f ms\n", title, static_cast<int>(forms.size()),
              forms.size() == 1 ? "" : "s", redraw);
  std::printf("  switch, animation off  %8.2f ms  %6.2f x redraw\n", off.SwitchMs, off.SwitchMs / redraw);
  std::printf("  switch, animation on   %8.2f ms  %6.2f x redraw\n", on.SwitchMs, on.SwitchMs / redraw);
  std::printf("    beyond (n + 1) x 12 ms = %.0f ms: %8.2f ms  %6.2f x redraw (pauses slept %.2f ms)\n", pauses,
              on.SwitchMs - pauses, (on.SwitchMs - pauses) / redraw, on.SleptMs);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
  TBenchMainWindow program("Orbex skin-switch benchmark", "formswitch", std::make_unique<TOrbexScope>());
  TMainForm* main = program.Main();
  if (program.Skinned("bench_formswitch")) {
    const int time = main->SkinManager->AnimEffects()->SkinChanging()->Time;
    std::printf("skin change: %d ms, n = %d frames of 12 ms; %d switches a case\n", time, AnimStepCount(time), rounds);
    bool toDark = main->SkinManager->GetSkinName() == DarkSkinName;
    Measure("main window alone", main, {main}, rounds, toDark);
    std::vector<std::unique_ptr<TForm>> more;
    for (int i = 0; i < 3; ++i) more.push_back(TestForm(i));
    Pump();
    Measure("main window and three test forms", main, {main, more[0].get(), more[1].get(), more[2].get()}, rounds,
            toDark);
  }
  return 0;
}
