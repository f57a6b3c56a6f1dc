// The other program of the shut-down hide test, found beside it: a skinned main form with a
// 200 ms fading hide, closed by a timer once it has painted. The loop ends, the application
// window's hook plays the main form's hide while the application terminates, then the program
// frees its forms and units and ends as the real one does. Its uploads and pauses are written
// to the file named by the first argument, one "key value..." line each:
//   copy <uploads> <alpha>...    the layered uploads of the one copy window, in order
//   sleeps <n>                   frame pauses taken while the application was terminated
//   copy-left <0|1>              the copy window still exists when the loop has returned
//   second-hide-copies <n>       copies made by a second hide notice to the hooks
//   fade-stop <0|1>              control fades were told to stop
#include <windows.h>

#include <cstdio>
#include <memory>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "skin/core/win/sFade.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sAnimations.h"
#include "skin/forms/sAppWindowHook.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sWinUtils.h"
#include "tests/win/skin/LayeredRecorder.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) return 2;
  InitForms();
  Application->Initialize();
  IsNTFamily = true;
  if (UpdateLayeredWindowProc == nullptr) InitAlphaGraphUnit();
  TlxSkinEffects::LayeredWindows = LayeredWindowsAvailable();
  InitAppWindowHookUnit();
  InitAnimationsUnit();
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  int sleeps = 0;
  AnimSleep = [&](int ms) {
    sleeps += Application->Terminated();
    Sleep(static_cast<DWORD>(ms));
  };

  auto manager = std::make_unique<TsSkinManager>(nullptr);
  manager->SetSkinDirectory(ORBEX_FRAME_SKINS);
  manager->SetSkinName("FrameA");
  // Only the hide's copy is layered: no show, and no title-button glow under a mouse left
  // wherever.
  manager->AnimEffects()->FormShow()->Active = false;
  manager->Effects()->SetAllowGlowing(false);
  TlxFormHide* hide = manager->AnimEffects()->FormHide();
  hide->Active = true;
  hide->Time = 200;
  hide->Mode = atFading;

  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBounds(120, 90, 400, 300);
  main->SetCaption("Orbex");
  main->HandleNeeded();
  NewComponent<TsSkinProvider>(main);
  auto* closer = NewComponent<TTimer>(main);
  closer->SetInterval(300);
  closer->SetOnTimer([&](TObject*) {
    closer->SetEnabled(false);
    main->Close();
  });
  closer->SetEnabled(true);
  Application->Run();

  const HWND mainWnd = main->Handle();
  HWND copy = nullptr;
  int copies = 0;
  for (const auto& [h, list] : rec.Uploads)
    if (h != mainWnd) copy = h, ++copies;
  std::fprintf(report, "copies %d\n", copies);
  if (copy != nullptr) {
    std::fprintf(report, "copy %u", static_cast<unsigned>(rec.Uploads[copy].size()));
    for (const layeredtest::TUpload& u : rec.Uploads[copy]) std::fprintf(report, " %d", u.Alpha);
    std::fprintf(report, "\n");
  }
  std::fprintf(report, "sleeps %d\n", sleeps);
  std::fprintf(report, "copy-left %d\n", copy != nullptr && IsWindow(copy) ? 1 : 0);
  std::fprintf(report, "fade-stop %d\n", FadeStopAll ? 1 : 0);
  // The hooks told again that the application window goes: the hide has played once already.
  const size_t before = rec.Uploads.size();
  WINDOWPOS pos{};
  pos.hwnd = Application->Handle();
  pos.flags = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  SendMessageA(Application->Handle(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  std::fprintf(report, "second-hide-copies %d\n", static_cast<int>(rec.Uploads.size() - before));
  std::fclose(report);

  // The end of the real program: forms first, then the skin and its units, the application
  // (with the hide timers it owns) last.
  Application->DestroyComponents();
  manager.reset();
  DoneAnimationsUnit();
  DoneForms();
  return 0;
}
