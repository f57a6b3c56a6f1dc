// Control utilities and the animation flag (see sControlUtils.h).
#include "skin/core/win/sControlUtils.h"

#include "framework/win/Controls.h"
#include "skin/paint/win/sThemes.h"

bool AnimationInProgress = false;

bool ControlIsPaintable(TControl* control) {
  if (control == nullptr || control->Parent() == nullptr) return false;
  if (auto* w = As<TWinControl>(control); w != nullptr && !w->HandleAllocated()) return false;
  if ((control->ControlState() & (csCreating | csReadingState)) != 0) return false;
  return (control->ComponentState() & (csLoading | csDestroying)) == 0;
}

HWND TopLevelWindowOf(HWND wnd) {
  HWND top = wnd;
  for (HWND p = wnd != nullptr ? GetParent(wnd) : nullptr; p != nullptr; p = GetParent(p)) top = p;
  return top;
}

bool ResetWindowTheme(HWND wnd) {
  const auto entry = ThemeEntries().SetWindowTheme;
  if (entry == nullptr || wnd == nullptr) return false;
  entry(wnd, nullptr, nullptr);
  return true;
}
