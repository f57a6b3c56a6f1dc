// The skin command message: its process-wide number, the layout of WParam, the command
// numbers and the record that commands 15 and 26 carry. Window-free; the send and query
// helpers over window handles are skin/core/win/sMessagesWin.h. Owns the number variable.
#pragma once

#include <cstdint>
#include <string>

// Number of the skin command message, read by every sender and receiver; 0 until the
// start-up step of this unit has run.
extern std::uint32_t WM_SKINCOMMAND;
constexpr std::uint32_t SkinCommandMessageNumber = 0xA100;   // WM_APP + 0x2100

// Sets WM_SKINCOMMAND (guarded by the unit's initialisation counter); the finalisation step
// undoes one initialisation.
void sMessagesInitialization();
void sMessagesFinalization();

// WParam: low word a small argument (1 = on for commands 8, 9, 17 and 20), high word the
// command. Result 0 means no, none or not handled.
enum TSkinCommand : std::uint16_t {
  SkinCmdSkinLoaded = 1,               // LParam the manager
  SkinCmdUnskin = 2,                   // LParam the manager
  SkinCmdRedrawSkin = 3,               // LParam the manager
  SkinCmdFindProvider = 4,             // Result the form's skin provider
  SkinCmdBackgroundWithOffset = 5,     // LParam TsBackgroundRequest*
  SkinCmdResumePaint = 6,
  SkinCmdIsSkinned = 7,                // Result 1 = skinned
  SkinCmdHoldPaint = 8,
  SkinCmdPaintAtOnce = 9,
  SkinCmdIsHeld = 10,
  SkinCmdIsPartlyHidden = 11,
  SkinCmdSectionChanged = 13,
  SkinCmdPopupState = 14,
  SkinCmdTakeSection = 15,             // LParam TlxSectionInfo*
  SkinCmdCancelFade = 16,
  SkinCmdBackgroundDirty = 17,
  SkinCmdRepaintNow = 18,
  SkinCmdIsSeeThrough = 19,
  SkinCmdParentMoved = 20,
  SkinCmdQueryColor = 21,              // LParam 0 or clFuchsia; Result RGB
  SkinCmdMarkPartlyHidden = 22,
  SkinCmdRebuildCache = 23,
  SkinCmdFadeFrame = 24,               // LParam a bitmap
  SkinCmdAdoptControls = 25,           // LParam a control or 0
  SkinCmdQuerySectionIndex = 26,       // LParam TlxSectionInfo*: the index is written into it
  SkinCmdQueryContainer = 27,          // Result a manager or a height
  SkinCmdSkinChildren = 28,
  SkinCmdHoverIn = 29,
  SkinCmdHoverOut = 30,
  SkinCmdLockBegun = 31,
  SkinCmdLockEnded = 32,
  SkinCmdDropCache = 33,
  SkinCmdQueryBackground = 34,         // LParam TsBackgroundRequest*
  SkinCmdDisabledLook = 35,            // LParam int*
  SkinCmdTransparencyState = 36,
  SkinCmdQueryCommonData = 37,         // Result the TsCommonData
  SkinCmdPrintMode = 38,               // LParam a DC or 0
  SkinCmdScrollStart = 51,
  SkinCmdScrollFinish = 52,
  SkinCmdQueryAppObject = 60,          // Result the application object
  SkinCmdQueryClientOffset = 61,
};

// Every command, in number order (12, 39 to 50 and 53 to 59 are not used).
inline constexpr std::uint16_t SkinCommands[] = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
    23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 51, 52, 60, 61};
static_assert(sizeof(SkinCommands) / sizeof(SkinCommands[0]) == 41);
static_assert(SkinCommands[40] == SkinCmdQueryClientOffset);

constexpr std::uint32_t MakeSkinWParam(std::uint16_t command, std::uint16_t argument = 0) {
  return (static_cast<std::uint32_t>(command) << 16) | argument;
}
constexpr std::uint16_t SkinCommandOf(std::uintptr_t wparam) {
  return static_cast<std::uint16_t>((wparam >> 16) & 0xFFFF);
}
constexpr std::uint16_t SkinArgumentOf(std::uintptr_t wparam) {
  return static_cast<std::uint16_t>(wparam & 0xFFFF);
}

// True for the commands whose LParam or result is an address (or handle) inside this
// process. The message number is fixed, so any program on the desktop could send them; they
// are honoured only when sent from within the program.
bool SkinCommandCarriesPointer(std::uint16_t command);

// The record that commands 15 and 26 carry by address. Command 26 writes only the index.
struct TlxSectionInfo {
  std::int32_t SectionIndex = -1;
  std::string SectionName;
  std::uint8_t Reserved = 0;
};
