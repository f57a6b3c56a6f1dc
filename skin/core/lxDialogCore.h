// The rules of a skinned system dialog's frame that need no window: its border kind, which
// title buttons it has and which of them can act, what each title-button slot answers to a hit
// test, which skin images and title section it draws with, its system menu's item states and
// the alpha step of blend while moving. The dialog adapter (skin/forms/lxDialogWnd) reads the
// window's styles and state into a TlxDialogState and asks these. Owns nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Border kinds (the order the dialog adapter stores them in).
constexpr std::uint8_t dbkDialog = 0, dbkSingle = 1, dbkNone = 2, dbkSizeable = 3;

// From GWL_STYLE: a popup without a full caption has no border of ours, a sizing frame is
// sizeable, a modal frame is a dialog frame, anything else single.
std::uint8_t DialogBorderKind(std::uint32_t style);

// What the title buttons and the system menu depend on.
struct TlxDialogState {
  std::uint8_t BorderKind = dbkSingle;
  bool SysMenu = false;     // WS_SYSMENU of the style saved before the adapter cleared it
  bool NoCloseClass = false;   // CS_NOCLOSE of the window class
  bool MaxBox = false, MinBox = false;
  bool Help = false;        // WS_EX_CONTEXTHELP, or DS_CONTEXTHELP in the dialog's style
  bool Iconic = false, Zoomed = false;

  bool CloseEnabled() const { return SysMenu && !NoCloseClass; }
  bool MaxPossible() const { return MaxBox && !Zoomed && (BorderKind == dbkSingle || BorderKind == dbkSizeable); }
  bool MinPossible() const { return MinBox && !Iconic; }
  bool RestorePossible() const { return MaxBox && (Iconic || Zoomed); }
};

// The state from the saved style words and the window's class style and show state.
TlxDialogState DialogStateOf(std::uint32_t style, std::uint32_t exStyle, std::uint32_t classStyle,
                             bool iconic, bool zoomed);

// One title button as drawn: its hit code (8, 9, 20, 21) and whether it acts.
struct TlxDialogButton {
  int Code = 0;
  bool Enabled = false;
};
// The buttons shown, right to left: close, maximize, minimize, help. Without a system menu
// the title shows none: the system draws no buttons for such a window either.
std::vector<TlxDialogButton> DialogTitleButtons(const TlxDialogState& s);

// The hit code of title-button slot `slot` (1 the rightmost): the button's own code when it
// can act, 2 (the caption) for a disabled button or a slot beyond the shown buttons.
int DialogSlotHitCode(const TlxDialogState& s, int slot);

// The image names of the title buttons and the title section. `has` answers whether the
// skin's "GLOBALINFO" section holds an image of that name, or the skin has a section of that
// name ("DIALOGTITLE").
struct TlxDialogImages {
  std::string Close, Min, Max, Norm, Help;
  std::string TitleSection;
  bool Large = true;
};
template <class HasFn>
TlxDialogImages DialogTitleImages(const TlxDialogState& s, HasFn has);

// The system menu's items in their order, with the state of each.
enum TlxSysMenuItem : std::uint8_t { smiRestore, smiMove, smiSize, smiMinimize, smiMaximize, smiClose, smiCount };
struct TlxSysMenuItemState {
  bool Visible = false, Enabled = false;
};
std::array<TlxSysMenuItemState, smiCount> DialogSysMenuStates(const TlxDialogState& s);

// The alpha a dragged dialog loses per 12 ms tick on its way to `blendValue`: a thirtieth of
// the way, never 0 while the value is below opaque.
int DialogBlendStep(int blendValue);

// ---------------------------------------------------------------------------------------------

template <class HasFn>
TlxDialogImages DialogTitleImages(const TlxDialogState& s, HasFn has) {
  TlxDialogImages im;
  const bool framed = s.BorderKind == dbkSingle || s.BorderKind == dbkSizeable;
  if (!framed && has("SICONCLOSE")) {
    im = {"SICONCLOSE", "SICONMIN", "SICONMAX", "SICONNORM", has("SICONHELP") ? "SICONHELP" : "BICONHELP",
          "", false};
  } else {
    const bool alone = !s.MaxBox && !s.MinBox && has("BICLOSEALONE");
    im = {alone ? "BICLOSEALONE" : "BICONCLOSE", "BICONMIN", "BICONMAX", "BICONNORM", "BICONHELP", "", true};
  }
  im.TitleSection = !framed && has("DIALOGTITLE") ? "DIALOGTITLE" : "FORMTITLE";
  return im;
}
