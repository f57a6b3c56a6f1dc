// The skin manager component: for now a stand-in that holds the published settings of the
// stored form (skin name and directory, stored skins, menu support, foreign class lists) and
// already resolves the skin name the way the full manager does: a name that names no stored
// skin becomes the first stored skin's name. It loads and paints nothing; every window is drawn
// by the system until the skinning engine arrives. Owns its stored-skin collection and option
// objects; the process-wide default manager is the first one created.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"
#include "framework/win/Graphics.h"

class TsSkinManager;

// One skin stored in the form data: its name, a few descriptive values and the packed skin
// file itself (binary property "Data").
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
  const std::vector<std::uint8_t>& PackedData() const { return FData; }
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
  TsStoredSkin* Items(int i) const { return static_cast<TsStoredSkin*>(TCollection::Items(i)); }
  TsStoredSkin* Add() { return static_cast<TsStoredSkin*>(TCollection::Add()); }
  // Index of the skin with exactly this name (case-sensitive); -1 when none.
  int IndexOf(const std::string& name) const;
};

class TlxMenuSupport : public TPersistent {
  ORBEX_CLASS(TlxMenuSupport, TPersistent)
public:
  int AlphaBlend = 255;
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
};

// The twenty lists of foreign control class names, each kept as its text.
class ThirdPartyList : public TPersistent {
  ORBEX_CLASS(ThirdPartyList, TPersistent)
public:
  static constexpr int kCount = 20;
  ThirdPartyList();
  // By published order (ThirdEdits 0 ... ThirdUpDown 19); an empty text gets its default
  // ("TButton" for ThirdButtons, a single blank for the others).
  const std::string& Get(int i) const { return FLists.at(static_cast<size_t>(i)); }
  void Set(int i, const std::string& v) { FLists.at(static_cast<size_t>(i)) = v; }
  void FillDefaults();

private:
  std::vector<std::string> FLists;
};

class TsSkinManager : public TComponent {
  ORBEX_CLASS(TsSkinManager, TComponent)
public:
  explicit TsSkinManager(TComponent* AOwner);
  ~TsSkinManager() override;

  // The current skin's name. Outside loading, setting it fires OnBeforeChange, drops a trailing
  // ".tez", replaces a name that names no stored skin by the first stored skin's name (with no
  // stored skin at all the name is kept and the manager has no skin), and fires OnAfterChange.
  const std::string& GetSkinName() const { return FSkinName; }
  void SetSkinName(const std::string& value);
  // The loaded skin's version ("7.2"), "N/A" without a skin; writes are ignored.
  std::string GetSkinInfo() const;
  void SetSkinInfo(const std::string&) {}
  // True while a stored skin is selected.
  bool HasSkin() const { return FSkinIndex >= 0; }
  bool GetActive() const { return FActive; }
  void SetActive(bool v);
  bool GetIsDefault() const { return FIsDefault; }
  void SetIsDefault(bool v) { FIsDefault = v; }
  const std::string& GetSkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& v) { FSkinDirectory = v; }
  TsStoredSkins* InternalSkins() const { return FInternalSkins.get(); }
  TlxMenuSupport* MenuSupport() const { return FMenuSupport.get(); }
  ThirdPartyList* ThirdParty() const { return FThirdParty.get(); }
  bool SkinnedPopups = true;
  int HueOffset = 0;
  int Saturation = 0;

  TNotifyEvent OnBeforeChange;
  TNotifyEvent OnAfterChange;

  void Loaded() override;

  // The first manager created in the process (null when none).
  static TsSkinManager* DefaultManager();

private:
  void ApplySkin();
  std::string FSkinName;
  std::string FSkinDirectory;
  int FSkinIndex = -1;
  bool FActive = true;
  bool FIsDefault = true;
  std::unique_ptr<TsStoredSkins> FInternalSkins;
  std::unique_ptr<TlxMenuSupport> FMenuSupport;
  std::unique_ptr<ThirdPartyList> FThirdParty;
};

// Start-up step of the unit: registers the manager's class for stored forms.
void InitSkinManagerUnit();
