// Stand-in skin manager: published settings and the skin-name rule (see sSkinManager.h).
#include "skin/core/win/sSkinManager.h"

#include "framework/base/SysUtils.h"

namespace {

TsSkinManager* GDefaultManager = nullptr;

const char* const kDefaultSkinDirectory = "c:\\Skins";

const char* const kThirdNames[ThirdPartyList::kCount] = {
    "ThirdEdits",       "ThirdButtons",     "ThirdBitBtns",      "ThirdCheckBoxes",
    "ThirdGroupBoxes",  "ThirdListViews",   "ThirdPanels",       "ThirdGrids",
    "ThirdTreeViews",   "ThirdComboBoxes",  "ThirdWWEdits",      "ThirdVirtualTrees",
    "ThirdGridEh",      "ThirdPageControl", "ThirdTabControl",   "ThirdToolBar",
    "ThirdStatusBar",   "ThirdSpeedButton", "ThirdScrollControl", "ThirdUpDown"};

bool EndsWithTez(const std::string& s) {
  return s.size() > 4 && SameText(s.substr(s.size() - 4), ".tez");
}

}  // namespace

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsStoredSkin, TCollectionItem, nullptr)

void TsStoredSkin::PublishProperties(TPublisher<TsStoredSkin>& P) {
  P.String("Name", &TsStoredSkin::Name, &TsStoredSkin::Name);
  P.Object("MasterBitmap", &TsStoredSkin::MasterBitmap);
  P.Color("Shadow1Color", &TsStoredSkin::Shadow1Color, &TsStoredSkin::Shadow1Color).Default(0);
  P.Integer("Shadow1Offset", &TsStoredSkin::Shadow1Offset, &TsStoredSkin::Shadow1Offset).Default(0);
  P.Integer("Shadow1Blur", &TsStoredSkin::Shadow1Blur, &TsStoredSkin::Shadow1Blur).Default(-1);
  P.Integer("Shadow1Transparency", &TsStoredSkin::Shadow1Transparency,
            &TsStoredSkin::Shadow1Transparency)
      .Default(0);
  P.Color("BorderColor", &TsStoredSkin::BorderColor, &TsStoredSkin::BorderColor).Default(0xFF00FF);
  P.Float("Version", &TsStoredSkin::Version, &TsStoredSkin::Version);
  P.String("Author", &TsStoredSkin::Author, &TsStoredSkin::Author);
  P.String("Description", &TsStoredSkin::Description, &TsStoredSkin::Description);
  P.Binary("Data", &TsStoredSkin::ReadData, &TsStoredSkin::WriteData,
           [](TsStoredSkin& s) { return !s.FData.empty(); });
}

TsStoredSkin::TsStoredSkin(TCollection* collection)
    : TCollectionItem(collection), FMasterBitmap(std::make_unique<TBitmap>()) {}

TsStoredSkin::~TsStoredSkin() = default;

void TsStoredSkin::ReadData(TStream& s) {
  std::int64_t n = s.Size() - s.Position();
  FData.assign(static_cast<size_t>(n > 0 ? n : 0), 0);
  if (!FData.empty()) s.ReadBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TsStoredSkin::WriteData(TStream& s) {
  if (!FData.empty()) s.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TsStoredSkin::Assign(TPersistent* source) {
  auto* s = As<TsStoredSkin>(source);
  if (s == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  Name = s->Name;
  Version = s->Version;
  Description = s->Description;
  Author = s->Author;
  Shadow1Offset = s->Shadow1Offset;
  Shadow1Color = s->Shadow1Color;
  Shadow1Blur = s->Shadow1Blur;
  Shadow1Transparency = s->Shadow1Transparency;
  BorderColor = s->BorderColor;
  FMasterBitmap->Assign(s->FMasterBitmap.get());
  FData = s->FData;
}

ORBEX_IMPLEMENT_CLASS(TsStoredSkins, TCollection, nullptr)

TsStoredSkins::TsStoredSkins(TsSkinManager* manager)
    : TCollection(&TsStoredSkin::StaticClassInfo(),
                  [](TCollection* c) { return new TsStoredSkin(c); }, manager) {}

int TsStoredSkins::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name == name) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TlxMenuSupport, TPersistent, nullptr)

void TlxMenuSupport::PublishProperties(TPublisher<TlxMenuSupport>& P) {
  P.Integer("AlphaBlend", &TlxMenuSupport::AlphaBlend, &TlxMenuSupport::AlphaBlend).Default(255);
  P.String("IcoLineSkin", &TlxMenuSupport::IcoLineSkin, &TlxMenuSupport::IcoLineSkin);
  P.Boolean("UseExtraLine", &TlxMenuSupport::UseExtraLine, &TlxMenuSupport::UseExtraLine)
      .Default(0);
  P.Integer("ExtraLineWidth", &TlxMenuSupport::ExtraLineWidth, &TlxMenuSupport::ExtraLineWidth)
      .Default(32);
}

ORBEX_IMPLEMENT_PUBLISHED(ThirdPartyList, TPersistent, nullptr)

void ThirdPartyList::PublishProperties(TPublisher<ThirdPartyList>& P) {
  for (int i = 0; i < kCount; ++i)
    P.String(
        kThirdNames[i], [i](ThirdPartyList& l) { return l.Get(i); },
        [i](ThirdPartyList& l, const std::string& v) { l.Set(i, v); });
}

ThirdPartyList::ThirdPartyList() : FLists(kCount) { FillDefaults(); }

void ThirdPartyList::FillDefaults() {
  for (int i = 0; i < kCount; ++i)
    if (FLists[static_cast<size_t>(i)].empty()) FLists[static_cast<size_t>(i)] = i == 1 ? "TButton" : " ";
}

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsSkinManager, TComponent, &CreateComponentOf<TsSkinManager>)

void TsSkinManager::PublishProperties(TPublisher<TsSkinManager>& P) {
  P.Boolean("SkinnedPopups", &TsSkinManager::SkinnedPopups, &TsSkinManager::SkinnedPopups)
      .Default(1);
  P.Boolean("IsDefault", &TsSkinManager::GetIsDefault, &TsSkinManager::SetIsDefault).Default(1);
  P.Boolean("Active", &TsSkinManager::GetActive, &TsSkinManager::SetActive).Default(1);
  P.Integer("Saturation", &TsSkinManager::Saturation, &TsSkinManager::Saturation).Default(0);
  P.Integer("HueOffset", &TsSkinManager::HueOffset, &TsSkinManager::HueOffset).Default(0);
  P.Object("InternalSkins", &TsSkinManager::InternalSkins);
  P.Object("MenuSupport", &TsSkinManager::MenuSupport);
  P.String("SkinDirectory", &TsSkinManager::GetSkinDirectory, &TsSkinManager::SetSkinDirectory);
  P.String("SkinName", &TsSkinManager::GetSkinName, &TsSkinManager::SetSkinName);
  P.String("SkinInfo", &TsSkinManager::GetSkinInfo, &TsSkinManager::SetSkinInfo);
  P.Object("ThirdParty", &TsSkinManager::ThirdParty);
  P.Event("OnAfterChange", &TsSkinManager::OnAfterChange);
  P.Event("OnBeforeChange", &TsSkinManager::OnBeforeChange);
}

TsSkinManager::TsSkinManager(TComponent* AOwner)
    : TComponent(AOwner),
      FSkinDirectory(kDefaultSkinDirectory),
      FInternalSkins(std::make_unique<TsStoredSkins>(this)),
      FMenuSupport(std::make_unique<TlxMenuSupport>()),
      FThirdParty(std::make_unique<ThirdPartyList>()) {
  if (GDefaultManager == nullptr) GDefaultManager = this;
}

TsSkinManager::~TsSkinManager() {
  if (GDefaultManager == this) GDefaultManager = nullptr;
}

TsSkinManager* TsSkinManager::DefaultManager() { return GDefaultManager; }

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  FThirdParty->FillDefaults();
  if (FSkinDirectory.empty()) FSkinDirectory = kDefaultSkinDirectory;
  if (FMenuSupport->IcoLineSkin.empty()) FMenuSupport->IcoLineSkin = "ICOLINE";
  if (FActive && !FSkinName.empty()) ApplySkin();
}

void TsSkinManager::SetSkinName(const std::string& value) {
  FSkinName = value;
  // While the form is read the stored skins may still be coming; Loaded applies the name.
  if (!FActive || (ComponentState() & csLoading) != 0) return;
  if (OnBeforeChange) OnBeforeChange(this);
  ApplySkin();
}

void TsSkinManager::ApplySkin() {
  if (EndsWithTez(FSkinName)) FSkinName.resize(FSkinName.size() - 4);
  // TODO: skins from packed files and folders of SkinDirectory come with the skin loader;
  // until then only the stored skins are known.
  FSkinIndex = FInternalSkins->IndexOf(FSkinName);
  if (FSkinIndex < 0 && FInternalSkins->Count() > 0) {
    FSkinIndex = 0;
    FSkinName = FInternalSkins->Items(0)->Name;
  }
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::SetActive(bool v) {
  if (FActive == v) return;
  FActive = v;
  if (!v) {
    FSkinIndex = -1;
  } else if ((ComponentState() & csLoading) == 0 && !FSkinName.empty()) {
    ApplySkin();
  }
}

std::string TsSkinManager::GetSkinInfo() const {
  if (FSkinIndex < 0 || FSkinIndex >= FInternalSkins->Count()) return "N/A";
  std::string s = Format("%.2f", FInternalSkins->Items(FSkinIndex)->Version);
  // "7.20" -> "7.2": the version as the skin states it, "." as the separator.
  while (s.size() > 3 && s.back() == '0') s.pop_back();
  return s;
}

void InitSkinManagerUnit() {
  RegisterClassOf<TsSkinManager>();
}
