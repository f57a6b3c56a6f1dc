// The window-free rules of a skinned system dialog (see lxDialogCore.h).
#include "skin/core/lxDialogCore.h"

#include "skin/core/lxFormAnimPlan.h"

namespace {

constexpr std::uint32_t Popup = 0x80000000, Caption = 0x00C00000, ThickFrame = 0x00040000;
constexpr std::uint32_t ModalFrame = 0x80, SysMenuStyle = 0x00080000;
constexpr std::uint32_t MinBoxStyle = 0x00020000, MaxBoxStyle = 0x00010000;
constexpr std::uint32_t ContextHelpEx = 0x00000400, NoCloseClass = 0x0200;
// DS_CONTEXTHELP: a template's wish for the help button, which some dialog managers leave in
// the dialog's style without turning it into WS_EX_CONTEXTHELP.
constexpr std::uint32_t ContextHelpStyle = 0x2000;

// Thirty ticks of 12 ms: the time blend while moving takes to reach its value.
constexpr int DialogBlendTime = 30 * MoveTimerInterval;

}  // namespace

std::uint8_t DialogBorderKind(std::uint32_t style) {
  if ((style & Popup) && (style & Caption) != Caption) return dbkNone;
  if (style & ThickFrame) return dbkSizeable;
  if (style & ModalFrame) return dbkDialog;
  return dbkSingle;
}

TlxDialogState DialogStateOf(std::uint32_t style, std::uint32_t exStyle, std::uint32_t classStyle,
                             bool iconic, bool zoomed) {
  TlxDialogState s;
  s.BorderKind = DialogBorderKind(style);
  s.SysMenu = (style & SysMenuStyle) != 0;
  s.NoCloseClass = (classStyle & NoCloseClass) != 0;
  s.MaxBox = (style & MaxBoxStyle) != 0;
  s.MinBox = (style & MinBoxStyle) != 0;
  s.Help = (exStyle & ContextHelpEx) != 0 || (style & ContextHelpStyle) != 0;
  s.Iconic = iconic;
  s.Zoomed = zoomed;
  return s;
}

std::vector<TlxDialogButton> DialogTitleButtons(const TlxDialogState& s) {
  std::vector<TlxDialogButton> b;
  if (!s.SysMenu) return b;
  b.push_back({20, s.CloseEnabled()});
  if (s.MaxBox) b.push_back({9, s.MaxPossible() || s.RestorePossible()});
  if (s.MinBox || s.Iconic) b.push_back({8, s.MinPossible() || s.Iconic});
  if (s.Help) b.push_back({21, true});
  return b;
}

int DialogSlotHitCode(const TlxDialogState& s, int slot) {
  const std::vector<TlxDialogButton> b = DialogTitleButtons(s);
  if (slot < 1 || slot > static_cast<int>(b.size())) return 2;
  const TlxDialogButton& button = b[static_cast<size_t>(slot - 1)];
  return button.Enabled ? button.Code : 2;
}

std::array<TlxSysMenuItemState, smiCount> DialogSysMenuStates(const TlxDialogState& s) {
  const std::uint8_t k = s.BorderKind;
  std::array<TlxSysMenuItemState, smiCount> m{};
  m[smiRestore] = {s.SysMenu && k != dbkDialog && k != dbkNone, s.RestorePossible()};
  m[smiMove] = {true, !s.Zoomed};
  m[smiSize] = {k != dbkDialog && k != dbkNone, k != dbkSingle && !s.Iconic};
  m[smiMinimize] = {s.MinBox, s.MinPossible()};
  m[smiMaximize] = {s.MaxBox, s.MaxPossible()};
  m[smiClose] = {s.SysMenu, true};
  return m;
}

int DialogBlendStep(int blendValue) { return BlendMoveStep(DialogBlendTime, blendValue); }
