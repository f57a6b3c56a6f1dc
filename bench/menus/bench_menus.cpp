// Timing harness, run under Wine: opening a popup like the main window's "&File" ("&Connect..",
// a disabled "&Disconnect", a divider, "E&xit", with shortcuts) drawn from the stored skin "Dusk"
// (its background built, every item measured and painted) against the same popup drawn by the
// framework's default owner drawing, in the same run, and the skinned popup once more with its
// popup window wrapped by the popup-menu adapter (the thread hook on, as in the program). Each
// round opens the menu and closes it as soon as the system reports it idle (everything
// painted). Prints microseconds per opening and the ratios; always exits 0.
//
//   wine bench_menus.exe [rounds]
#include "framework/win/Forms.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "framework/win/UtilWindow.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/forms/lxProvider.h"

namespace {

using Clock = std::chrono::steady_clock;

// The window the menus report to: draws their items and closes them once they are idle.
HWND GOwner = nullptr;
void OwnerProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ENTERIDLE:
      EndMenu();
      m.Result = 0;
      return;
    case WM_MEASUREITEM:
      m.Result = MenuMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam));
      return;
    case WM_DRAWITEM:
      m.Result = MenuDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      return;
    default: m.Result = DefWindowProcA(GOwner, m.Msg, m.WParam, m.LParam);
  }
}

std::unique_ptr<TPopupMenu> FileMenu() {
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  struct TEntry {
    const char* Caption;
    TShortCut Key;
    bool Enabled;
  };
  for (const TEntry& e : {TEntry{"&Connect..", TShortCut(scCtrl | 'O'), true}, TEntry{"&Disconnect", TShortCut(scCtrl | VK_F4), false},
                          TEntry{"-", 0, true}, TEntry{"E&xit", TShortCut(scAlt | VK_F4), true}}) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(e.Caption);
    item->SetShortCut(e.Key);
    item->SetEnabled(e.Enabled);
    menu->Items()->Add(item);
  }
  menu->SetWindowHandle(GOwner);
  return menu;
}

double MicrosPerOpening(TPopupMenu& menu, int rounds) {
  menu.Popup(200, 200);
  const auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) menu.Popup(200, 200);
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  InitForms();
  InitMenusUnit();
  GOwner = AllocateHWnd(&OwnerProc);
  // Before the skin: the manager installs the thread hook when it applies one.
  InitDialogHookUnit();
  TsSkinManager manager(nullptr);
  manager.SetSkinDirectory(ORBEX_STORED_SKINS);
  manager.SetSkinName("Dusk");
  if (!manager.SkinData().Active) {
    std::printf("bench_menus: the skin Dusk did not load from %s\n", ORBEX_STORED_SKINS);
    return 0;
  }
  auto plain = FileMenu();
  plain->SetOwnerDraw(true);
  // The skin turns the popup animation off; the comparison runs both without it.
  plain->SetMenuAnimation(maNone);
  auto skinned = FileMenu();
  manager.SkinableMenus()->HookPopupMenu(skinned.get(), true);
  // Alternating halves, so that neither side profits from running second. Without the hook
  // unit the installed hook passes every window by: only the popup adapter is left out.
  double framework = 0, skin = 0, wrapped = 0;
  DoneDialogHookUnit();
  for (int half = 0; half < 2; ++half) {
    framework += MicrosPerOpening(*plain, rounds / 2 + 1) / 2;
    skin += MicrosPerOpening(*skinned, rounds / 2 + 1) / 2;
    InitDialogHookUnit();
    wrapped += MicrosPerOpening(*skinned, rounds / 2 + 1) / 2;
    DoneDialogHookUnit();
  }
  std::printf("opening \"&File\" (4 items), %d rounds\n", rounds);
  std::printf("  framework owner drawing %9.1f us\n", framework);
  std::printf("  skinned                 %9.1f us  %6.2f x framework\n", skin, skin / framework);
  std::printf("  skinned, popup adapter  %9.1f us  %6.2f x skinned\n", wrapped, wrapped / skin);
  plain.reset();
  skinned.reset();
  DeallocateHWnd(GOwner);
  return 0;
}
