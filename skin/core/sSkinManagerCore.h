// The window-free part of the skin manager unit: the option objects the manager publishes
// (animation timings, button fades, effects), the twenty lists of foreign control classes, and
// the manager's rules that need no window: where the skin directory lies, how a packed file's
// name becomes a skin name, the version notices, the skin-info text and the skin editor's
// data block. Owns nothing beyond its objects' own values; the manager links are not owned.
//
// Sections: option objects; foreign class lists; skin names and folders; version notices;
// the editor block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"
#include "skin/core/sConst.h"

class TsSkinManager;

// ---------------------------------------------------------------------------------------------
// Option objects. Each knows its manager (not owned); the manager sets the links right after
// making them.

// One animation's timing: whether it runs, how long (milliseconds) and how.
class TlxFormAnimation : public TPersistent {
  ORBEX_CLASS(TlxFormAnimation, TPersistent)
public:
  TlxFormAnimation() = default;
  std::uint16_t Time = 0;
  bool Active = true;
  TlxAnimType Mode = atAero;
  void Assign(TPersistent* source) override;
};

class TlxFormShow : public TlxFormAnimation {
  ORBEX_CLASS(TlxFormShow, TlxFormAnimation)
};
class TlxFormHide : public TlxFormAnimation {
  ORBEX_CLASS(TlxFormHide, TlxFormAnimation)
};
class TlxPageChange : public TlxFormAnimation {
  ORBEX_CLASS(TlxPageChange, TlxFormAnimation)
};
class TlxDialogShow : public TlxFormAnimation {
  ORBEX_CLASS(TlxDialogShow, TlxFormAnimation)
};
class TlxSkinChanging : public TlxFormAnimation {
  ORBEX_CLASS(TlxSkinChanging, TlxFormAnimation)
public:
  TlxSkinChanging();
};
class TlxMinimizing : public TlxFormAnimation {
  ORBEX_CLASS(TlxMinimizing, TlxFormAnimation)
public:
  TlxMinimizing();
};
// The window turns translucent towards BlendValue while it is dragged.
class TlxBlendOnMoving : public TlxFormAnimation {
  ORBEX_CLASS(TlxBlendOnMoving, TlxFormAnimation)
public:
  TlxBlendOnMoving();
  std::uint8_t BlendValue = 170;
  void Assign(TPersistent* source) override;
};

// Which button events fade when a control asks for the manager's default.
class TlxBtnEffects : public TPersistent {
  ORBEX_CLASS(TlxBtnEffects, TPersistent)
public:
  static constexpr TlxBtnEvents AllEvents = BtnEventBit(beMouseEnter) | BtnEventBit(beMouseLeave) |
                                            BtnEventBit(beMouseDown) | BtnEventBit(beMouseUp);
  TlxBtnEvents Events = AllEvents;
  TsSkinManager* Manager = nullptr;
  void Assign(TPersistent* source) override;
};

// The animation switches of the manager: nine timing objects, made and freed in one order.
class TlxAnimEffects : public TPersistent {
  ORBEX_CLASS(TlxAnimEffects, TPersistent)
public:
  TlxAnimEffects();
  ~TlxAnimEffects() override;
  TlxBlendOnMoving* BlendOnMoving() const { return FBlendOnMoving; }
  TlxBtnEffects* Buttons() const { return FButtons; }
  TlxDialogShow* DialogShow() const { return FDialogShow; }
  TlxFormShow* FormShow() const { return FFormShow; }
  TlxFormHide* FormHide() const { return FFormHide; }
  TlxFormHide* DialogHide() const { return FDialogHide; }
  TlxMinimizing* Minimizing() const { return FMinimizing; }
  TlxPageChange* PageChange() const { return FPageChange; }
  TlxSkinChanging* SkinChanging() const { return FSkinChanging; }
  TsSkinManager* Manager = nullptr;
  void Assign(TPersistent* source) override;

private:
  TlxBtnEffects* FButtons = nullptr;
  TlxDialogShow* FDialogShow = nullptr;
  TlxFormShow* FFormShow = nullptr;
  TlxFormHide* FFormHide = nullptr;
  TlxSkinChanging* FSkinChanging = nullptr;
  TlxPageChange* FPageChange = nullptr;
  TlxFormHide* FDialogHide = nullptr;
  TlxMinimizing* FMinimizing = nullptr;
  TlxBlendOnMoving* FBlendOnMoving = nullptr;
};

// Glows and blur behind. Glowing needs layered windows (or the designer) and is off for a
// 32-bit process on a 64-bit system while desktop composition is off.
class TlxSkinEffects : public TPersistent {
  ORBEX_CLASS(TlxSkinEffects, TPersistent)
public:
  bool GetAllowGlowing() const;
  void SetAllowGlowing(bool v) { FAllowGlowing = v; }
  bool AllowAeroBluring = true;
  TsSkinManager* Manager = nullptr;
  // Set at start-up by the Windows side: whether layered windows are available (false until
  // then: no glowing) and where the WOW64-without-composition flag lives (none: not so).
  static inline bool LayeredWindows = false;
  static inline const bool* Wow64WithoutComposition = nullptr;
  // Whether the manager is being designed; none: never.
  static inline bool (*ManagerDesigning)(const TsSkinManager*) = nullptr;
  void Assign(TPersistent* source) override;

private:
  bool FAllowGlowing = true;
};

// ---------------------------------------------------------------------------------------------
// The twenty lists of foreign control class names, each kept as its text and reached by its
// list index (the position of the matching list among the manager's twenty class lists).
class ThirdPartyList : public TPersistent {
  ORBEX_CLASS(ThirdPartyList, TPersistent)
public:
  static constexpr int kCount = 20;
  // List indexes of the published properties.
  enum TThirdIndex {
    tiEdits = 0, tiButtons = 1, tiBitBtns = 2, tiCheckBoxes = 3, tiComboBoxes = 4, tiGrids = 5,
    tiGroupBoxes = 6, tiListViews = 7, tiPanels = 8, tiTreeViews = 9, tiWWEdits = 10,
    tiGridEh = 11, tiVirtualTrees = 12, tiPageControl = 13, tiTabControl = 14, tiToolBar = 15,
    tiStatusBar = 16, tiSpeedButton = 17, tiScrollControl = 18, tiUpDown = 19
  };
  ThirdPartyList();
  // An index outside 0 to 19 reads "" and writes nothing.
  std::string ReadList(int index) const;
  void WriteList(int index, const std::string& text);
  // Every empty text gets its default: "TButton" for the buttons, a single blank elsewhere.
  void FillDefaults();
  // The index of the first list, in index order, holding a line equal to `className` (whole
  // line, case-sensitive); -1 when none does.
  int IndexOfClass(const std::string& className) const;
  void Assign(TPersistent* source) override;

private:
  std::vector<std::string> FLists;
};

// ---------------------------------------------------------------------------------------------
// Skin names and folders. Folders are spelt with backslashes (either separator is accepted).

// The skin directory as the manager uses it, from the program's folder (with its trailing
// separator): "..": the folder's parent followed by the rest after 3 characters; ".\" or "./":
// the folder followed by the rest after 2 characters; neither ":" nor "\\" in it: the folder
// followed by the value; else the value itself. No separator is added at the end.
std::string ResolveSkinDirectory(const std::string& value, const std::string& programFolder);
// A name longer than 4 characters ending in ".tez" (any letter case) without it; else as is.
std::string SkinNameWithoutTez(const std::string& name);
// The skin name a file of the skin directory stands for: for a name ending in ".tez" (exactly
// this case) the name without it, which is what loads that file; else "".
std::string PackedSkinNameOf(const std::string& fileName);
// The version as a skin states it: "." as separator, no trailing zeros ("7.2" for 7.20).
std::string FormatSkinVersion(double version);

// ---------------------------------------------------------------------------------------------
// Version notices: the text to show for a skin of this version, "" for none. Versions from 7
// up to 7.99 are silent; newer ones warn; older ones are told only under "/lxtest".
std::string SkinVersionNotice(double version, const std::string& skinName, bool testSwitch);

// ---------------------------------------------------------------------------------------------
// The skin editor's data block (sent as WM_COPYDATA with WParam 7).
struct TsEditorBlock {
  static constexpr std::uint32_t Marker = 0xA400;
  static constexpr std::size_t NameOffset = 4, NameSize = 128;
  static constexpr std::size_t DirOffset = 132, DirSize = 513;
  static constexpr std::size_t TextOffset = 645, TextSize = 30001;
  static constexpr std::size_t Size = TextOffset + TextSize;   // 30,646
  std::string SkinName, SkinDirectory, SkinText;
};
static_assert(TsEditorBlock::Size == 30646);
// The block's fields when it is exactly TsEditorBlock::Size bytes with the marker; each string
// ends at its first zero or at the end of its field. Else nothing.
std::optional<TsEditorBlock> ParseEditorBlock(std::span<const std::uint8_t> data);
