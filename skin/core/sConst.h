// The skin library's start-up defaults, shared enumerations and user-interface strings. The
// strings live in the program's string table under the identifiers below and are loaded once
// at start-up (skin/core/win/sConstWin.h); this unit owns the process-wide copies.
// Window-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "framework/base/Types.h"
#include "skin/paint/sBackgroundInfo.h"

// ---------------------------------------------------------------------------------------------
// Defaults.

// Key colour for transparency, also the answer meaning "no colour" of colour queries.
constexpr TColor sKeyColor = 0xFF00FF;
// Set at start-up: the key colour, and the system's horizontal scroll-bar height
// (SM_CXHSCROLL) as the engine's scroll-bar width (0 until set).
extern TColor sTransparentColor;
extern int sScrollWidth;
// The default background record: no bitmap, offsets -99 (meaning none), colour $FF00FF, not
// ready. Reset by sConstInitDefaults.
extern TsBackgroundInfo sDefaultBackground;

// Sets the window-free defaults. The Windows start-up step calls it first.
void sConstInitDefaults();
// Frees the strings (shut-down).
void sConstFinalization();

// ---------------------------------------------------------------------------------------------
// Enumerations.

enum TlxAnimType { atFading, atAero };
enum TlxBtnEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TlxBtnEvents = std::uint8_t;   // bit (1 << TlxBtnEvent)
constexpr TlxBtnEvents BtnEventBit(TlxBtnEvent e) { return static_cast<TlxBtnEvents>(1u << e); }
// The events a control may fade on; aeGlobalDef defers to the manager's button events.
enum TlxAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TlxAnimatEvents = std::uint8_t;   // bit (1 << TlxAnimatEvent)
constexpr TlxAnimatEvents AnimatEventBit(TlxAnimatEvent e) { return static_cast<TlxAnimatEvents>(1u << e); }
enum TsCaptionLayout {
  sclLeft, sclTopLeft, sclTopCenter, sclTopRight, sclLeftTop, sclBottomLeft, sclBottomCenter,
  sclBottomRight
};
// How a window or a started program is shown; each mode stands for one of the system's SW_
// show commands (ShowModeToSW).
enum TsWindowShowMode {
  soHide, soNormal, soShowMinimized, soShowMaximized, soMaximize, soShowNoActivate, soShow,
  soMinimize, soShowMinNoActive, soShowNA, soRestore, soDefault
};
// The system's show command of a mode (SW_HIDE 0 ... SW_SHOWDEFAULT 10); SW_SHOWNORMAL for a
// value outside the enumeration.
int ShowModeToSW(TsWindowShowMode mode);

// ---------------------------------------------------------------------------------------------
// User-interface strings: string-table identifiers and the process-wide strings they fill.

extern std::string s_MsgDlgOK, s_MsgDlgCancel, s_MsgDlgHelp;
extern std::string s_RestoreStr, s_MoveStr, s_SizeStr, s_MinimizeStr, s_MaximizeStr,
    s_CloseStr;
extern std::string s_Calculator, s_FileOpen, s_AvailSkins, s_InternalSkin;
extern std::string s_ErrorSettingCount, s_ListBoxMustBeVirtual;
extern std::string s_ColorDlgAdd, s_ColorDlgDefine, s_ColorDlgMainPal, s_ColorDlgAddPal,
    s_ColorDlgTitle, s_ColorDlgRed, s_ColorDlgGreen, s_ColorDlgBlue, s_ColorDlgDecimal,
    s_ColorDlgHex;
extern std::string s_FrameAdapterError, s_HintDsgTitle, s_HintDsgPreservedSettings,
    s_HintDsgStyle, s_HintDsgBevelWidth, s_HintDsgBlur, s_HintDsgArrowLength,
    s_HintDsgHorizMargin, s_HintDsgVertMargin, s_HintDsgRadius, s_HintDsgMaxWidth,
    s_HintDsgPauseHide, s_HintDsgPercent, s_HintDsgOffset, s_HintDsgTransparency,
    s_HintDsgNoPicture, s_HintDsgFont, s_HintDsgTexture, s_HintDsgLoadFromFile,
    s_HintDsgSaveToFile, s_HintDsgColor, s_HintDsgTopBorder, s_HintDsgBottomBorder,
    s_HintDsgShadow, s_HintDsgBackground, s_HintDsgGradient, s_HintDsgPreview;
extern std::string s_SelectDir, s_Create;

struct TsUIString {
  int Id;                // string-table identifier
  std::string* Value;    // the process-wide string it fills
};
// All 54 strings of the string table, in identifier order from the highest.
std::span<const TsUIString> SkinUIStrings();

// Resource strings compiled into the unit itself.
inline constexpr const char* s_InvalidDate = "Invalid date";
inline constexpr const char* s_Root = "Root :";
inline constexpr const char* s_SkinDirectory = "Directory with skins :";
inline constexpr const char* s_SelectSkinTitle = "Select skin";
inline constexpr const char* s_SkinPreview = "Skin preview";
