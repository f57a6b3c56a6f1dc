// The skin manager component: finds and loads the current skin (a packed ".tez" file, a skin
// folder with "Options.dat", a skin text sent by the skin editor or a skin stored in the form
// data), keeps its tables and master bitmap, applies hue and saturation through the loaders,
// tells every skinned window of a change through the skin command message, installs the
// thread's window-creation hook and removes all of it again; it tracks the one window the mouse
// is over and builds the form-shadow templates from the skin. Also the stored skins of the form
// data, the menu support settings, the process-wide flags other units read while a skin is
// loaded or broadcast, and the unit's start-up step.
//
// Owns: its loaded skin (tables and master bitmap), option objects, stored-skin collection,
// common-sections list, class lists and shadow templates; the process-wide window-creation
// hook while installed and the two built-in shadow images. The first manager made in the
// process is the default.
//
// Sections: stored skins; menu support; links to later units; process-wide state; manager;
// start-up.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinManagerCore.h"

class TsSkinManager;
class TsSkinableMenus;
class TMenuItem;
class TPNGGraphic;
struct TMessage;

// ---------------------------------------------------------------------------------------------
// Stored skins.

// One skin stored in the form data: its name, a few descriptive values (not read by the
// loader) and the packed skin file itself, the binary property "Data".
class TsStoredSkin : public TCollectionItem {
  ORBEX_CLASS(TsStoredSkin, TCollectionItem)
public:
  explicit TsStoredSkin(TCollection* collection);
  ~TsStoredSkin() override;
  std::string Name;
  double Version = 0;
  std::string Description;
  std::string Author;
  int Shadow1Offset = 0;
  TColor Shadow1Color = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  TColor BorderColor = 0xFF00FF;
  TBitmap* MasterBitmap() const { return FMasterBitmap.get(); }
  // The packed skin file, byte for byte.
  const std::vector<std::uint8_t>& PackedData() const { return FData; }
  void SetPackedData(std::vector<std::uint8_t> data) { FData = std::move(data); }
  // Copies another stored skin; any other source (or none) goes to the inherited assignment,
  // which raises that it cannot be assigned.
  void Assign(TPersistent* source) override;
  std::string DisplayName() const override { return Name; }

private:
  std::unique_ptr<TBitmap> FMasterBitmap;
  std::vector<std::uint8_t> FData;
  void ReadData(TStream& s);
  void WriteData(TStream& s);
};

class TsStoredSkins : public TCollection {
  ORBEX_CLASS(TsStoredSkins, TCollection)
public:
  explicit TsStoredSkins(TsSkinManager* manager);
  ~TsStoredSkins() override;
  TsStoredSkin* Items(int i) const { return static_cast<TsStoredSkin*>(TCollection::Items(i)); }
  TsStoredSkin* Add() { return static_cast<TsStoredSkin*>(TCollection::Add()); }
  // Index of the first skin with exactly this name (case-sensitive); -1 when none.
  int IndexOf(const std::string& name) const;
  // Does nothing: the stored skins come from the form data only.
  void Assign(TPersistent* source) override;
  TsSkinManager* Manager() const { return FManager; }

protected:
  // The collection changed: tells the manager's OnSkinListChanged.
  void Update(TCollectionItem* item) override;

private:
  TsSkinManager* FManager;
};

// ---------------------------------------------------------------------------------------------
// Menu support settings (the skinned menus read them).
class TlxMenuSupport : public TPersistent {
  ORBEX_CLASS(TlxMenuSupport, TPersistent)
public:
  TlxMenuSupport();
  ~TlxMenuSupport() override;
  int AlphaBlend = 255;
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  TFont* ExtraLineFont() const { return FExtraLineFont.get(); }
  // Copies the font; the support object keeps its own.
  void SetExtraLineFont(TFont* value) { FExtraLineFont->Assign(value); }

private:
  std::unique_ptr<TFont> FExtraLineFont;
};

// ---------------------------------------------------------------------------------------------
// Links to the units that build on the manager. Each is empty until its unit fills it at
// start-up; the manager calls only what is filled.
struct TsSkinManagerLinks {
  // Glow windows: show a glow around a control (screen rectangle, visible part in control
  // coordinates, section, manager or null for the default, the window the glow follows in
  // z-order, an alpha that is not used, margin, mask name without its "0"), answering its id or
  // -1; hide the glow of an id (-1 and stale ids: nothing); remove every glow (with the
  // argument, forms freed at once).
  std::function<int(const TRect& controlRect, const TRect& visibleRect, const std::string& section,
                    TsSkinManager* manager, HWND controlWnd, int alpha, int margin, const std::string& maskName)>
      ShowGlow;
  std::function<void(int glowId)> HideGlow;
  std::function<void(bool restoreMethods)> ClearGlows;
  // Filled by the form animations (sAnimations): copy the visible forms before a skin change,
  // freeze the skinned forms, release them with the skin-changing animation.
  std::function<void(TsSkinManager*)> SnapshotForms;
  std::function<void(TsSkinManager*)> FreezeForms;
  std::function<void(TsSkinManager*)> ReleaseForms;
  // Filled by the application-window hook (sAppWindowHook): hook and unhook the application's
  // window.
  std::function<void(TsSkinManager*)> HookAppWindow;
  std::function<void(TsSkinManager*)> UnhookAppWindow;
  // The thread hook that skins windows the program does not build itself: the procedure of
  // the window-creation hook (it calls CallNextHookEx itself, returns its answer and lets no
  // exception out; without it no hook is installed), freeing the hooked windows, and the
  // visible hooked windows to redraw.
  HOOKPROC CbtHook = nullptr;
  std::function<void()> FreeHookedWindows;
  std::function<std::vector<HWND>()> VisibleHookedWindows;
  // Stops the pending work of the hooked dialogs (their title-button animations and move
  // timers) before the hooked windows are freed.
  std::function<void()> StopDialogHookWork;
  // The skin provider fills this: the skin editor's preview window, or null.
  std::function<HWND()> EditorPreviewWindow;
};
TsSkinManagerLinks& SkinManagerLinks();

// ---------------------------------------------------------------------------------------------
// Hooks an extension outside the engine may set to take part in skin changes; nothing in the
// program sets them, and the manager works the same while they are empty. The switch hook
// hears true at the end of applying a skin, false when the skin is withdrawn, and after a
// manager's construction (not while it is read from a form) whether it is active with a skin
// name; the after-apply hook runs right after the switch hook's true.
extern std::function<void(bool skinned)> ExternalSkinSwitchHook;
extern std::function<void()> ExternalAfterApplyHook;

// ---------------------------------------------------------------------------------------------
// Process-wide state, GUI thread only.

// Set while a skin is loaded, and while the skin-loaded command is broadcast; other units skip
// repaint work meanwhile.
extern bool SkinLoading;
extern bool SkinApplying;
// True on the NT family of Windows (set at start-up).
extern bool IsNTFamily;
// Set once the skin editor has sent a skin; its text while it is being loaded.
extern bool SkinEditorActive;
extern std::string SkinEditorText;
extern bool SkinEditorTextPending;
// The built-in form-shadow images "lxSHDA" (active) and "lxSHDI" (inactive), read at start-up;
// null when the program has none.
TPNGGraphic* BuiltInShadowActive();
TPNGGraphic* BuiltInShadowInactive();

// ---------------------------------------------------------------------------------------------
// The manager.

enum TsSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TsSkinningRules = std::uint8_t;   // bit (1 << TsSkinningRule)
constexpr TsSkinningRules AllSkinningRules = 0x7;

// A popup's extra line: its section, caption, glyph and whether it shows. The glyph is the
// menus' own empty bitmap: the handler sizes it and draws into it, and never keeps it.
using TlxGetExtraLineData = std::function<void(TMenuItem* firstItem, std::string& skinSection,
                                               std::string& caption, TBitmap* glyph, bool& lineVisible)>;

class TsSkinManager : public TComponent {
  ORBEX_CLASS(TsSkinManager, TComponent)
public:
  static constexpr const char* VersionText = "7.63";
  static constexpr const char* DefaultSkinDirectory = "c:\\Skins";

  explicit TsSkinManager(TComponent* AOwner);
  ~TsSkinManager() override;

  // The first manager made in the process while it lives; null when none.
  static TsSkinManager* DefaultManager();

  // --- published properties
  TlxSkinEffects* Effects() const { return FEffects.get(); }
  // Reads true only when set and layered windows are available.
  bool GetExtendedBorders() const;
  void SetExtendedBorders(bool value);
  bool GetSkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool value);
  TlxAnimEffects* AnimEffects() const { return FAnimEffects.get(); }
  bool GetIsDefault() const { return FIsDefault; }
  void SetIsDefault(bool value);
  bool GetActive() const { return FActive; }
  void SetActive(bool value);
  TStringList* CommonSections() const { return FCommonSections.get(); }
  // Takes the lines (blanks removed from every line but comments), then reloads the skin.
  void SetCommonSections(TStringList* value);
  int GetSaturation() const { return FSaturation; }
  void SetSaturation(int value);
  int GetHueOffset() const { return FHueOffset; }
  void SetHueOffset(int value);
  TsStoredSkins* InternalSkins() const { return FInternalSkins.get(); }
  void SetInternalSkins(TsStoredSkins* value);
  TlxMenuSupport* MenuSupport() const { return FMenuSupport.get(); }
  // The skinned menus (made with the manager, active while a skin is applied with
  // SkinnedPopups).
  TsSkinableMenus* SkinableMenus() const { return FSkinableMenus.get(); }
  const std::string& GetSkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& value);
  const std::string& GetSkinName() const { return FSkinName; }
  // Loads and applies the named skin (see the steps in the source). A load that fails shows
  // its message in an error box and keeps the previous skin, name and tables whole.
  void SetSkinName(const std::string& value);
  // The loaded skin's version ("7.2"), "N/A" without a skin; writes are ignored.
  std::string GetSkinInfo() const;
  void SetSkinInfo(const std::string&) {}
  TsSkinningRules GetSkinningRules() const { return FSkinningRules; }
  void SetSkinningRules(TsSkinningRules value) { FSkinningRules = value; }
  ThirdPartyList* ThirdParty() const { return FThirdParty.get(); }
  std::string GetVersion() const { return VersionText; }
  void SetVersion(const std::string&) {}
  TNotifyEvent OnAfterChange, OnBeforeChange, OnSkinListChanged;
  TlxGetExtraLineData OnGetMenuExtraLineData;

  // --- operations
  // Loads the packed file of SkinName from the resolved skin directory; raises on failure
  // (the current skin stays).
  void LoadPackedSkin();
  // Loads the skin folder of SkinName, else the editor's pending text, else the stored skin of
  // that name (the first one, renaming SkinName, when none has it). Raises on failure.
  void LoadSkinFromFolder();
  // SkinDirectory taken from the program's folder when it is relative.
  std::string ResolvedSkinDirectory() const;
  void ApplySkin(bool animate);
  void RefreshAllForms(bool freeze);
  void WithdrawSkin();
  void SuspendRepaint() { FNoAutoUpdate = true; }
  void ReapplySkin(bool animate, bool immediate);
  // kind 0: folders, 1: ".tez" files, 2: both; stored skins always. Sorted into `list`;
  // `firstName` the first stored skin, else the first found.
  void ListSkins(TStrings& list, int kind, std::string& firstName) const;
  // The notice for a skin of this version, shown in a box (see SkinVersionNotice).
  void WarnOnSkinVersion(double version) const;
  // The skin editor's WM_COPYDATA (WParam 7): loads the sent skin text; Result 1 when the
  // block was the editor's (exactly 30,646 bytes with the marker), else 0.
  void HandleEditorData(TMessage& message);
  void InstallGlobalHook();
  void RemoveGlobalHook();
  bool HookInstalled() const { return FHookInstalled; }

  // --- hover tracking and form shadows
  // The one window the mouse is over (0 for none). A change tells the window left (command
  // 30) before the window entered (command 29), each with LParam this manager.
  void TrackHoverWindow(HWND wnd);
  HWND HoverWindow() const { return FHoverWindow; }
  // A window that goes (destroyed, or its skinned owner freed) is forgotten by the hover
  // tracking of every manager, without a command: a later change must not reach it, nor a
  // new window given the same handle.
  static void ForgetHoverWindow(HWND wnd);
  // Rebuilds the two form-shadow templates and the four shadow sizes from the skin's
  // "EXBORDER" mask (frame 0 inactive, frame 1 active), else from the built-in images. Without
  // a skin or extended borders only the sizes change, to 0.
  void UpdateShadowTemplates();
  // The templates (null before the first rebuild with extended borders) and how far the shadow
  // reaches beyond a form on its left, top, right and bottom (pixels).
  TPNGGraphic* ShadowActive() const { return FShadowActive.get(); }
  TPNGGraphic* ShadowInactive() const { return FShadowInactive.get(); }
  const TRect& ShadowSizes() const { return FShadowSizes; }

  // --- the loaded skin
  TsSkinTables* Tables() const { return FSkin ? &FSkin->Tables : nullptr; }
  TsSkinData& SkinData() const { return FSkin->Tables.SkinData; }
  // The master bitmap of the loaded skin (a 32-bit DIB), or null.
  TBitmap* MasterBitmap() const;
  bool SkinIsPacked() const { return FPacked; }
  // The manager's twenty class lists, by list index (case-sensitive); null outside 0 to 19.
  TStringList* ThirdLists(int index) const;
  // Colour queries over the loaded skin (RGB).
  TColor GlobalInfoColor() const;
  TColor GlobalInfoFontColor() const;

  void Loaded() override;

private:
  // Loads into a new skin by the source rule of SkinName (packed file when it exists, else
  // folder, editor text or stored skin); swaps it in only when the load returned.
  void LoadBySourceRule();
  bool PackedSourceExists() const;
  std::string PackedFileName() const;
  void LoadInto(const TsSkinSource& source);
  // A failure while loading: the message in an error box.
  void ShowLoadError(const std::exception& e) const;
  // Reloads after a hue, saturation or border change, keeping the skin on failure.
  void ReloadForSetting();
  void Broadcast(std::uint16_t command);
  void CopyClassLists();
  bool Reading() const { return (ComponentState() & (csLoading | csReading)) != 0; }

  std::unique_ptr<TlxSkinEffects> FEffects;
  std::unique_ptr<TlxAnimEffects> FAnimEffects;
  std::unique_ptr<ThirdPartyList> FThirdParty;
  std::array<std::unique_ptr<TStringList>, ThirdPartyList::kCount> FThirdLists;
  std::unique_ptr<TsStoredSkins> FInternalSkins;
  std::unique_ptr<TStringList> FCommonSections;
  std::unique_ptr<TlxMenuSupport> FMenuSupport;
  std::unique_ptr<TsSkinableMenus> FSkinableMenus;
  // Never null: an empty skin until the first load.
  std::unique_ptr<TsLoadedSkin> FSkin;
  std::string FSkinName;
  std::string FSkinDirectory;
  int FHueOffset = 0;
  int FSaturation = 0;
  bool FExtendedBorders = false;
  bool FSkinnedPopups = true;
  bool FActive = true;
  bool FIsDefault = true;
  TsSkinningRules FSkinningRules = AllSkinningRules;
  bool FPacked = false;
  bool FNoAutoUpdate = false;
  bool FRemoving = false;
  bool FHookInstalled = false;
  HWND FHoverWindow = nullptr;
  std::unique_ptr<TPNGGraphic> FShadowActive, FShadowInactive;
  TRect FShadowSizes;
};

// Start-up step of the unit: registers the manager's class for stored forms, sets the NT flag,
// reads the built-in shadow images and, for "/lxver" on the command line, shows the library
// version. DoneSkinManagerUnit frees the images.
void InitSkinManagerUnit();
void DoneSkinManagerUnit();
