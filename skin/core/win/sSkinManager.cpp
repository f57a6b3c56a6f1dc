// The skin manager component (see sSkinManager.h).
//
// Sections: process-wide state; stored skins; menu support; the window-creation hook;
// construction; properties; loading; applying and withdrawing; hover tracking and form
// shadows; listing; editor intake; start-up.
#include "skin/core/win/sSkinManager.h"

#include <algorithm>
#include <exception>

#include "framework/base/SysUtils.h"
#include "framework/base/win/ResourceStream.h"
#include "framework/win/Dialogs.h"
#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinImagesWin.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sWinUtils.h"

// ---------------------------------------------------------------------------------------------
// Process-wide state

bool SkinLoading = false;
bool SkinApplying = false;
std::function<void(bool)> ExternalSkinSwitchHook;
std::function<void()> ExternalAfterApplyHook;
bool IsNTFamily = false;
bool SkinEditorActive = false;
std::string SkinEditorText;
bool SkinEditorTextPending = false;

namespace {

TsSkinManager* GDefaultManager = nullptr;
// Every manager alive, for what all of them must hear (a window that goes).
std::vector<TsSkinManager*> GManagers;
std::unique_ptr<TPNGGraphic> GShadowActive, GShadowInactive;

bool CommandLineHas(const std::string& flag) {
  for (int i = 1; i <= TApplication::ParamCount(); ++i)
    if (SameText(TApplication::ParamStr(i), flag)) return true;
  return false;
}

}  // namespace

TsSkinManagerLinks& SkinManagerLinks() {
  static TsSkinManagerLinks links;
  return links;
}

TPNGGraphic* BuiltInShadowActive() { return GShadowActive.get(); }
TPNGGraphic* BuiltInShadowInactive() { return GShadowInactive.get(); }

// ---------------------------------------------------------------------------------------------
// Stored skins

ORBEX_IMPLEMENT_PUBLISHED(TsStoredSkin, TCollectionItem, nullptr)

void TsStoredSkin::PublishProperties(TPublisher<TsStoredSkin>& P) {
  P.String("Name", &TsStoredSkin::Name, &TsStoredSkin::Name);
  P.Object("MasterBitmap", &TsStoredSkin::MasterBitmap);
  P.Color("Shadow1Color", &TsStoredSkin::Shadow1Color, &TsStoredSkin::Shadow1Color);
  P.Integer("Shadow1Offset", &TsStoredSkin::Shadow1Offset, &TsStoredSkin::Shadow1Offset);
  P.Integer("Shadow1Blur", &TsStoredSkin::Shadow1Blur, &TsStoredSkin::Shadow1Blur).Default(-1);
  P.Integer("Shadow1Transparency", &TsStoredSkin::Shadow1Transparency, &TsStoredSkin::Shadow1Transparency);
  P.Color("BorderColor", &TsStoredSkin::BorderColor, &TsStoredSkin::BorderColor).Default(0xFF00FF);
  P.Float("Version", &TsStoredSkin::Version, &TsStoredSkin::Version);
  P.String("Author", &TsStoredSkin::Author, &TsStoredSkin::Author);
  P.String("Description", &TsStoredSkin::Description, &TsStoredSkin::Description);
  // Always written, also when empty.
  P.Binary("Data", &TsStoredSkin::ReadData, &TsStoredSkin::WriteData, [](TsStoredSkin&) { return true; });
}

TsStoredSkin::TsStoredSkin(TCollection* collection)
    : TCollectionItem(collection), FMasterBitmap(std::make_unique<TBitmap>()) {}

TsStoredSkin::~TsStoredSkin() = default;

void TsStoredSkin::ReadData(TStream& s) {
  const std::int64_t n = s.Size() - s.Position();
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
  FData = s->FData;
  Name = s->Name;
  FMasterBitmap->Assign(s->FMasterBitmap.get());
  Shadow1Color = s->Shadow1Color;
  Shadow1Offset = s->Shadow1Offset;
  Shadow1Blur = s->Shadow1Blur;
  Shadow1Transparency = s->Shadow1Transparency;
  BorderColor = s->BorderColor;
  Version = s->Version;
  Author = s->Author;
  Description = s->Description;
}

ORBEX_IMPLEMENT_CLASS(TsStoredSkins, TCollection, nullptr)

TsStoredSkins::TsStoredSkins(TsSkinManager* manager)
    : TCollection(&TsStoredSkin::StaticClassInfo(), [](TCollection* c) { return new TsStoredSkin(c); }, manager),
      FManager(manager) {}

TsStoredSkins::~TsStoredSkins() {
  // The items go without telling a manager that is itself going.
  FManager = nullptr;
  Clear();
}

int TsStoredSkins::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name == name) return i;
  return -1;
}

void TsStoredSkins::Assign(TPersistent*) {}

void TsStoredSkins::Update(TCollectionItem* item) {
  TCollection::Update(item);
  if (FManager != nullptr && FManager->OnSkinListChanged) FManager->OnSkinListChanged(FManager);
}

// ---------------------------------------------------------------------------------------------
// Menu support

ORBEX_IMPLEMENT_PUBLISHED(TlxMenuSupport, TPersistent, nullptr)

void TlxMenuSupport::PublishProperties(TPublisher<TlxMenuSupport>& P) {
  P.Integer("AlphaBlend", &TlxMenuSupport::AlphaBlend, &TlxMenuSupport::AlphaBlend).Default(255);
  P.String("IcoLineSkin", &TlxMenuSupport::IcoLineSkin, &TlxMenuSupport::IcoLineSkin);
  P.Boolean("UseExtraLine", &TlxMenuSupport::UseExtraLine, &TlxMenuSupport::UseExtraLine).Default(0);
  P.Integer("ExtraLineWidth", &TlxMenuSupport::ExtraLineWidth, &TlxMenuSupport::ExtraLineWidth).Default(32);
  P.Object("ExtraLineFont", &TlxMenuSupport::ExtraLineFont);
}

TlxMenuSupport::TlxMenuSupport() : FExtraLineFont(std::make_unique<TFont>()) {}
TlxMenuSupport::~TlxMenuSupport() = default;

// ---------------------------------------------------------------------------------------------
// The window-creation hook of the GUI thread: one owner, installed for the default manager
// with the procedure the hook's unit gives.

namespace {

class TThreadHook {
public:
  explicit TThreadHook(HHOOK hook) : FHook(hook) {}
  ~TThreadHook() {
    if (FHook != nullptr) UnhookWindowsHookEx(FHook);
  }
  TThreadHook(const TThreadHook&) = delete;
  TThreadHook& operator=(const TThreadHook&) = delete;

private:
  HHOOK FHook;
};

std::unique_ptr<TThreadHook> GThreadHook;

}  // namespace

void TsSkinManager::InstallGlobalHook() {
  if (GDefaultManager != this || (ComponentState() & csDesigning) != 0 || FHookInstalled) return;
  const HOOKPROC proc = SkinManagerLinks().CbtHook;
  if (proc == nullptr) return;   // nothing would act on the hook's calls
  HHOOK h = SetWindowsHookExA(WH_CBT, proc, nullptr, GetCurrentThreadId());
  if (h == nullptr) return;   // foreign windows stay unskinned; nothing else depends on it
  GThreadHook = std::make_unique<TThreadHook>(h);
  FHookInstalled = true;
}

void TsSkinManager::RemoveGlobalHook() {
  if (GDefaultManager != this || (ComponentState() & csDesigning) != 0 || !FHookInstalled) return;
  const TsSkinManagerLinks& links = SkinManagerLinks();
  if (links.StopDialogHookWork) links.StopDialogHookWork();
  GThreadHook.reset();
  if (links.FreeHookedWindows) links.FreeHookedWindows();
  FHookInstalled = false;
}

// ---------------------------------------------------------------------------------------------
// Construction

ORBEX_IMPLEMENT_PUBLISHED(TsSkinManager, TComponent, &CreateComponentOf<TsSkinManager>)

void TsSkinManager::PublishProperties(TPublisher<TsSkinManager>& P) {
  using M = TsSkinManager;
  P.Object("Effects", &M::Effects);
  P.Boolean("ExtendedBorders", &M::GetExtendedBorders, &M::SetExtendedBorders).Default(0);
  P.Boolean("SkinnedPopups", &M::GetSkinnedPopups, &M::SetSkinnedPopups).Default(1);
  P.Object("AnimEffects", &M::AnimEffects);
  P.Boolean("IsDefault", &M::GetIsDefault, &M::SetIsDefault).Default(1);
  P.Boolean("Active", &M::GetActive, &M::SetActive).Default(1);
  P.Object("CommonSections", &M::CommonSections, &M::SetCommonSections);
  P.Integer("Saturation", &M::GetSaturation, &M::SetSaturation).Default(0);
  P.Integer("HueOffset", &M::GetHueOffset, &M::SetHueOffset).Default(0);
  P.Object("InternalSkins", &M::InternalSkins, &M::SetInternalSkins);
  P.Object("MenuSupport", &M::MenuSupport);
  P.String("SkinDirectory", &M::GetSkinDirectory, &M::SetSkinDirectory);
  P.String("SkinName", &M::GetSkinName, &M::SetSkinName);
  P.String("SkinInfo", &M::GetSkinInfo, &M::SetSkinInfo);
  P.Set("SkinningRules", &M::GetSkinningRules, &M::SetSkinningRules, {"srStdForms", "srStdDialogs", "srThirdParty"})
      .Default(AllSkinningRules);
  P.Object("ThirdParty", &M::ThirdParty);
  P.String("Version", &M::GetVersion, &M::SetVersion);
  P.Event("OnAfterChange", &M::OnAfterChange);
  P.Event("OnBeforeChange", &M::OnBeforeChange);
  P.Event("OnSkinListChanged", &M::OnSkinListChanged);
  P.Event("OnGetMenuExtraLineData", &M::OnGetMenuExtraLineData);
}

TsSkinManager::TsSkinManager(TComponent* AOwner)
    : TComponent(AOwner),
      FEffects(std::make_unique<TlxSkinEffects>()),
      FAnimEffects(std::make_unique<TlxAnimEffects>()),
      FThirdParty(std::make_unique<ThirdPartyList>()),
      FInternalSkins(std::make_unique<TsStoredSkins>(this)),
      FCommonSections(std::make_unique<TStringList>()),
      FMenuSupport(std::make_unique<TlxMenuSupport>()),
      FSkinableMenus(std::make_unique<TsSkinableMenus>(this)),
      FSkin(std::make_unique<TsLoadedSkin>()) {
  FEffects->Manager = this;
  FAnimEffects->Manager = this;
  FAnimEffects->Buttons()->Manager = this;
  for (auto& l : FThirdLists) {
    l = std::make_unique<TStringList>();
    l->SetCaseSensitive(true);
  }
  FCommonSections->SetCaseSensitive(true);
  if (GDefaultManager == nullptr) {
    GDefaultManager = this;
    if (IsNTFamily && (ComponentState() & csDesigning) == 0 && SkinManagerLinks().HookAppWindow)
      SkinManagerLinks().HookAppWindow(this);
  }
  FIsDefault = GDefaultManager == this;
  GManagers.push_back(this);
  CopyClassLists();
  FSkinDirectory = DefaultSkinDirectory;
  const bool reading = Reading() || (AOwner != nullptr && (AOwner->ComponentState() & (csLoading | csReading)) != 0);
  if (!reading && ExternalSkinSwitchHook) ExternalSkinSwitchHook(FActive && !FSkinName.empty());
}

TsSkinManager::~TsSkinManager() {
  GManagers.erase(std::remove(GManagers.begin(), GManagers.end(), this), GManagers.end());
  // Marked first: what goes with the skin (glow windows) is freed at once, not queued.
  Destroying();
  // Withdraw without telling the application: its handlers may be gone already.
  OnBeforeChange = nullptr;
  OnAfterChange = nullptr;
  OnSkinListChanged = nullptr;
  if (FActive) {
    FActive = false;
    if (!SkinLoading) WithdrawSkin();
  }
  // The manager that hooked the application window takes its hook off, default or not.
  if (SkinManagerLinks().UnhookAppWindow) SkinManagerLinks().UnhookAppWindow(this);
  if (GDefaultManager == this) {
    RemoveGlobalHook();
    GDefaultManager = nullptr;
  }
  for (int i = 0; i < ThirdPartyList::kCount; ++i) FThirdParty->WriteList(i, FThirdLists[static_cast<size_t>(i)]->Text());
}

TsSkinManager* TsSkinManager::DefaultManager() { return GDefaultManager; }

void TsSkinManager::CopyClassLists() {
  FThirdParty->FillDefaults();
  for (int i = 0; i < ThirdPartyList::kCount; ++i) FThirdLists[static_cast<size_t>(i)]->SetText(FThirdParty->ReadList(i));
}

TStringList* TsSkinManager::ThirdLists(int index) const {
  if (index < 0 || index >= ThirdPartyList::kCount) return nullptr;
  return FThirdLists[static_cast<size_t>(index)].get();
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  CopyClassLists();
  if (FSkinDirectory.empty()) FSkinDirectory = DefaultSkinDirectory;
  if (FMenuSupport->IcoLineSkin.empty()) FMenuSupport->IcoLineSkin = "ICOLINE";
  if (FActive && !FSkinName.empty()) ApplySkin(false);
}

// ---------------------------------------------------------------------------------------------
// Properties

bool TsSkinManager::GetExtendedBorders() const { return FExtendedBorders && LayeredWindowsAvailable(); }

std::string TsSkinManager::GetSkinInfo() const {
  if (!FActive || !FSkin->Tables.SkinData.Active) return "N/A";
  return FormatSkinVersion(FSkin->Tables.SkinData.Version);
}

TBitmap* TsSkinManager::MasterBitmap() const { return As<TBitmap>(FSkin->MasterBitmap.get()); }

TColor TsSkinManager::GlobalInfoColor() const { return ::GlobalInfoColor(Tables(), ColorToRGB(clBtnFace)); }
TColor TsSkinManager::GlobalInfoFontColor() const { return ::GlobalInfoFontColor(Tables()); }

void TsSkinManager::SetSkinName(const std::string& value) {
  const std::string old = FSkinName;
  FSkinName = value;
  if (!FActive) return;
  if (OnBeforeChange) OnBeforeChange(this);
  const TsSkinManagerLinks& links = SkinManagerLinks();
  if (GetExtendedBorders() && !FNoAutoUpdate && FAnimEffects->SkinChanging()->Active && links.SnapshotForms)
    links.SnapshotForms(this);
  {
    TFlagScope loading(SkinLoading);
    const bool wasActive = SkinData().Active;
    SkinData().Active = false;
    FSkinName = SkinNameWithoutTez(FSkinName);
    try {
      LoadBySourceRule();
    } catch (const std::exception& e) {
      // The previous skin is still whole: it is applied again under its own name, and the
      // error box already shows in it.
      FSkinName = old;
      SkinData().Active = wasActive;
      ShowLoadError(e);
    }
  }
  // The load is over: applying the skin ends in releasing the frozen forms with the
  // skin-changing animation, which waits for no load.
  if (!FActive)
    WithdrawSkin();
  else if (!FNoAutoUpdate)
    ApplySkin(true);
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::SetActive(bool value) {
  if (FActive == value) return;
  FActive = value;
  if (value) {
    SetSkinName(FSkinName);
  } else {
    if (!SkinLoading) WithdrawSkin();
    CacheCommonIndexes(Tables());
    UpdateShadowTemplates();
  }
}

void TsSkinManager::SetIsDefault(bool value) {
  if (value || GDefaultManager == nullptr) {
    GDefaultManager = this;
    FIsDefault = true;
    if (FActive)
      ApplySkin(true);
    else
      WithdrawSkin();
  } else {
    FIsDefault = GDefaultManager == this;
  }
}

void TsSkinManager::SetSkinDirectory(const std::string& value) {
  if (value == FSkinDirectory) return;
  FSkinDirectory = value;
  SkinData().SkinPath = ResolvedSkinDirectory();
  if (OnSkinListChanged) OnSkinListChanged(this);
}

void TsSkinManager::ReloadForSetting() {
  {
    TFlagScope loading(SkinLoading);
    LoadBySourceRule();
  }
  if (!FNoAutoUpdate) RefreshAllForms(true);
}

void TsSkinManager::SetHueOffset(int value) {
  if (value == FHueOffset) return;
  const int old = FHueOffset;
  FHueOffset = value;
  if (!FActive || Reading()) return;
  try {
    ReloadForSetting();
  } catch (const std::exception& e) {
    // The skin in use stays, and so does the value it was loaded with.
    FHueOffset = old;
    ShowLoadError(e);
  }
}

void TsSkinManager::SetSaturation(int value) {
  if (value == FSaturation) return;
  const int old = FSaturation;
  FSaturation = value;
  if (!FActive || Reading()) return;
  try {
    ReloadForSetting();
  } catch (const std::exception& e) {
    FSaturation = old;
    ShowLoadError(e);
  }
}

void TsSkinManager::SetExtendedBorders(bool value) {
  if (value == FExtendedBorders) return;
  FExtendedBorders = value;
  if (!FActive || !SkinData().Active || Reading()) return;
  UpdateShadowTemplates();
  try {
    TFlagScope loading(SkinLoading);
    LoadBySourceRule();
  } catch (const std::exception& e) {
    ShowLoadError(e);
  }
  if (!SkinLoading) RefreshAllForms(true);
}

void TsSkinManager::SetCommonSections(TStringList* value) {
  FCommonSections->Assign(value);
  for (int i = 0; i < FCommonSections->Count(); ++i) {
    const std::string line = FCommonSections->Get(i);
    if (line.empty() || line[0] == ';') continue;
    FCommonSections->Put(i, RemoveChars(line, ' '));
  }
  SetSkinName(FSkinName);
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  FSkinnedPopups = value;
  if (value && GDefaultManager == this && !Reading() && (ComponentState() & csDesigning) == 0 && SkinData().Active)
    FSkinableMenus->ReapplyOwnerDraw();
}

void TsSkinManager::SetInternalSkins(TsStoredSkins* value) { FInternalSkins->Assign(value); }

std::string TsSkinManager::ResolvedSkinDirectory() const {
  return ResolveSkinDirectory(FSkinDirectory, ApplicationFolder());
}

// ---------------------------------------------------------------------------------------------
// Loading

std::string TsSkinManager::PackedFileName() const {
  // The same folder the list of skins is made from.
  return IncludeTrailingPathDelimiter(ResolvedSkinDirectory()) + FSkinName + ".tez";
}

bool TsSkinManager::PackedSourceExists() const {
  if (!FileExists(PackedFileName())) return false;
  return !SkinEditorTextPending || !DirectoryExists(IncludeTrailingPathDelimiter(ResolvedSkinDirectory()) + FSkinName);
}

void TsSkinManager::LoadBySourceRule() {
  if (PackedSourceExists())
    LoadPackedSkin();
  else
    LoadSkinFromFolder();
}

void TsSkinManager::LoadInto(const TsSkinSource& source) {
  auto skin = std::make_unique<TsLoadedSkin>();
  TsLoadSettings settings;
  settings.Owner = this;
  settings.CommonSections = FCommonSections->Text();
  settings.HueOffset = FHueOffset;
  settings.Saturation = FSaturation;
  UseSystemValues(settings);
  settings.OnSkinVersion = [this](double v) { WarnOnSkinVersion(v); };
  TsDibImageHost host;
  LoadSkin(source, settings, host, *skin);
  // A reload for a new hue or saturation keeps the skin applied; a new skin is applied after.
  skin->Tables.SkinData.Active = FSkin->Tables.SkinData.Active;
  // Only a whole skin replaces the one in use.
  FSkin = std::move(skin);
  // The loader cached the common indexes of the new skin.
  UpdateShadowTemplates();
}

void TsSkinManager::LoadPackedSkin() {
  if (!FActive) return;
  TFlagScope loading(SkinLoading);
  const std::string file = PackedFileName();
  if (!FileExists(file)) throw Exception("Skin not found: " + file);
  TsSkinFiles files;
  OpenSkinFiles(file, files);
  LoadInto(files.Source());
  FPacked = true;
}

void TsSkinManager::LoadSkinFromFolder() {
  if (!FActive) return;
  TFlagScope loading(SkinLoading);
  const std::string skinPath = IncludeTrailingPathDelimiter(ResolvedSkinDirectory()) + FSkinName + "\\";
  TsSkinFiles files;
  if (SkinEditorTextPending) {
    files.Ini = SkinIniFromText(SkinEditorText);
    files.SkinPath = skinPath;
    LoadInto(files.Source());
    FPacked = false;
    return;
  }
  if (FileExists(skinPath + "Options.dat")) {
    OpenSkinFiles(skinPath, files);
    LoadInto(files.Source());
    FPacked = false;
    return;
  }
  int index = FInternalSkins->IndexOf(FSkinName);
  if (index < 0) {
    if (FInternalSkins->Count() == 0) {
      FActive = false;
      return;
    }
    index = 0;
    FSkinName = FInternalSkins->Items(0)->Name;
  }
  const std::vector<std::uint8_t>& bytes = FInternalSkins->Items(index)->PackedData();
  // A stored skin without data loads nothing.
  if (!bytes.empty()) {
    TReadOnlyMemoryStream data(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    OpenPackedSkinData(data, files);
  }
  LoadInto(files.Source());
  FPacked = !bytes.empty();
}

void TsSkinManager::ShowLoadError(const std::exception& e) const { ShowErrorMessage(e.what()); }

void TsSkinManager::WarnOnSkinVersion(double version) const {
  const std::string text = SkinVersionNotice(version, FSkinName, CommandLineHas("/lxtest"));
  if (!text.empty()) ShowSkinMessage(text, smkWarning);
}

// ---------------------------------------------------------------------------------------------
// Applying and withdrawing

void TsSkinManager::Broadcast(std::uint16_t command) {
  TMessage m = MakeMessageRecord(WM_SKINCOMMAND, MakeSkinWParam(command), reinterpret_cast<LPARAM>(this));
  BroadcastToForms(m);
}

void TsSkinManager::ApplySkin(bool animate) {
  if (Reading()) return;
  const TsSkinManagerLinks& links = SkinManagerLinks();
  if (links.ClearGlows) links.ClearGlows(false);
  if (animate && links.FreezeForms) links.FreezeForms(this);
  FSkinableMenus->SetSkinBorderWidth(-1);
  TsSkinableMenus::ClearPopupInfo();
  SkinData().Active = false;
  {
    TFlagScope applying(SkinApplying);
    CacheCommonIndexes(Tables());
    UpdateShadowTemplates();
    Broadcast(SkinCmdSkinLoaded);
  }
  SkinData().Active = true;
  // Menus follow the skin: skinned while it is applied with skinned popups.
  FSkinableMenus->ReapplyOwnerDraw();
  if (GDefaultManager == this && !FHookInstalled) InstallGlobalHook();
  if (animate) RefreshAllForms(false);
  if (ExternalSkinSwitchHook) ExternalSkinSwitchHook(true);
  if (ExternalAfterApplyHook) ExternalAfterApplyHook();
}

void TsSkinManager::RefreshAllForms(bool freeze) {
  const TsSkinManagerLinks& links = SkinManagerLinks();
  Broadcast(SkinCmdCancelFade);
  if (SkinLoading) {
    Broadcast(SkinCmdRedrawSkin);
  } else {
    if (freeze && links.FreezeForms) links.FreezeForms(this);
    Broadcast(SkinCmdRedrawSkin);
    if (links.ReleaseForms) links.ReleaseForms(this);
  }
  if (links.EditorPreviewWindow) {
    if (HWND preview = links.EditorPreviewWindow())
      SendSkinCommand(preview, SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(this));
  }
  if (links.VisibleHookedWindows)
    for (HWND h : links.VisibleHookedWindows())
      RedrawWindow(h, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinManager::WithdrawSkin() {
  TFlagScope removing(FRemoving);
  if (SkinManagerLinks().ClearGlows) SkinManagerLinks().ClearGlows(false);
  RemoveGlobalHook();
  SkinData().Active = false;
  FSkinableMenus->SetActive(false);
  TsSkinableMenus::ClearPopupInfo();
  Broadcast(SkinCmdUnskin);
  FSkin->Tables.PatternData.clear();
  FSkin->Tables.MaskData.clear();
  FSkin->Tables.GeneralData.clear();
  if (ExternalSkinSwitchHook) ExternalSkinSwitchHook(false);
}

void TsSkinManager::ReapplySkin(bool animate, bool immediate) {
  FNoAutoUpdate = false;
  if (immediate) {
    ApplySkin(animate);
    return;
  }
  TlxSkinChanging* changing = FAnimEffects->SkinChanging();
  const bool was = changing->Active;
  changing->Active = false;
  try {
    ApplySkin(animate);
  } catch (...) {
    changing->Active = was;
    throw;
  }
  changing->Active = was;
}

// ---------------------------------------------------------------------------------------------
// Hover tracking and form shadows

void TsSkinManager::TrackHoverWindow(HWND wnd) {
  if (wnd == FHoverWindow) return;
  HWND left = FHoverWindow;
  FHoverWindow = wnd;
  if (left != nullptr) SendSkinCommand(left, SkinCmdHoverOut, reinterpret_cast<LPARAM>(this));
  if (wnd != nullptr) SendSkinCommand(wnd, SkinCmdHoverIn, reinterpret_cast<LPARAM>(this));
}

void TsSkinManager::ForgetHoverWindow(HWND wnd) {
  if (wnd == nullptr) return;
  for (TsSkinManager* m : GManagers)
    if (m->FHoverWindow == wnd) m->FHoverWindow = nullptr;
}

namespace {

// A 32-bit template holding srcRect of the image (as much of it as the image has).
void CopyShadowFrame(TPNGGraphic& dst, const TlxPixelBuffer& image, const TRect& srcRect) {
  dst.SetPixelFormat(TPixelFormat::pf32bit);
  dst.SetHandleType(TBitmapHandleType::bmDIB);
  dst.SetSize(srcRect.Width(), srcRect.Height());
  CopyPixelRect(BitmapPixels(&dst), 0, 0, image, srcRect);
}

}  // namespace

void TsSkinManager::UpdateShadowTemplates() {
  if (!FActive || !GetExtendedBorders()) {
    FShadowSizes = TRect{};
    return;
  }
  FShadowActive = std::make_unique<TPNGGraphic>();
  FShadowInactive = std::make_unique<TPNGGraphic>();
  const TsSkinTables* t = Tables();
  const int i = t->CommonIndexes.ExBorder;
  if (MaskIndexInRange(t, i)) {
    const TsMaskData& mask = t->MaskData[static_cast<size_t>(i)];
    const TsSkinData& d = t->SkinData;
    const int offset = d.ExContentOffs;
    FShadowSizes = d.ExDrawMode != 0 ? TRect{offset, offset, offset, offset}
                                     : TRect{mask.WL - offset, mask.WT - offset, mask.WR - offset, mask.WB - offset};
    const int w = MaskFrameWidth(mask), h = MaskFrameHeight(mask);
    if (w > 0 && h > 0) {
      // An entry without an image of its own lies in the master bitmap at its rectangle; one
      // with its own image covers it from its rectangle's origin (0, 0) on.
      const TlxMaskImage view = MaskImageOf(mask, MasterBitmap());
      const TRect& r = mask.R;
      CopyShadowFrame(*FShadowInactive, view.Image, Bounds(r.Left, r.Top, w, h));
      if (mask.ImageCount == 1)
        FShadowActive->Assign(FShadowInactive.get());
      else
        CopyShadowFrame(*FShadowActive, view.Image, Bounds(r.Left + w, r.Top, w, h));
    }
  } else if (BuiltInShadowActive() != nullptr && BuiltInShadowInactive() != nullptr) {
    FShadowActive->Assign(BuiltInShadowActive());
    FShadowInactive->Assign(BuiltInShadowInactive());
    FShadowSizes = TRect{9, 9, 9, 9};
  }
  ClearTransparentWhite(FShadowActive.get());
  ClearTransparentWhite(FShadowInactive.get());
}

// ---------------------------------------------------------------------------------------------
// Listing

void TsSkinManager::ListSkins(TStrings& list, int kind, std::string& firstName) const {
  list.Clear();
  firstName.clear();
  TStringList names;
  for (int i = 0; i < FInternalSkins->Count(); ++i) {
    names.Add(FInternalSkins->Items(i)->Name);
    if (i == 0) firstName = FInternalSkins->Items(i)->Name;
  }
  const std::string dir = IncludeTrailingPathDelimiter(ResolvedSkinDirectory());
  if (DirectoryExists(dir)) {
    TSearchRec rec;
    for (int r = FindFirst(dir + "*.*", faAnyFile, rec); r == 0; r = FindNext(rec)) {
      if (rec.Name.empty() || rec.Name[0] == '.') continue;
      std::string name;
      if ((rec.Attr & faDirectory) != 0) {
        if ((kind == 0 || kind == 2) && FileExists(dir + rec.Name + "\\Options.dat")) name = rec.Name;
      } else if (kind == 1 || kind == 2) {
        name = PackedSkinNameOf(rec.Name);
      }
      if (name.empty()) continue;
      names.Add(name);
      if (firstName.empty()) firstName = name;
    }
    FindClose(rec);
  }
  names.Sort();
  list.Assign(&names);
}

// ---------------------------------------------------------------------------------------------
// Editor intake

void TsSkinManager::HandleEditorData(TMessage& message) {
  message.Result = 0;
  if (message.WParam != 7 || message.LParam == 0) return;
  const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(message.LParam);
  if (cds->lpData == nullptr) return;
  const std::optional<TsEditorBlock> block =
      ParseEditorBlock(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(cds->lpData), cds->cbData));
  if (!block) return;
  SkinEditorActive = true;
  SuspendRepaint();
  SkinEditorText = block->SkinText;
  SkinEditorTextPending = true;
  try {
    SetSkinDirectory(block->SkinDirectory);
    SetSkinName(block->SkinName);
    ReapplySkin(true, false);
  } catch (...) {
    // Failed before the skin was applied again: later switches must repaint on their own.
    FNoAutoUpdate = false;
    SkinEditorTextPending = false;
    SkinEditorText.clear();
    throw;
  }
  SkinEditorTextPending = false;
  SkinEditorText.clear();
  message.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// Start-up

namespace {

std::unique_ptr<TPNGGraphic> ShadowImage(const char* name) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (FindResourceA(module, name, RT_RCDATA) == nullptr) return nullptr;
  auto png = std::make_unique<TPNGGraphic>();
  png->LoadFromResourceName(module, name);
  return png;
}

}  // namespace

void InitSkinManagerUnit() {
  RegisterClassOf<TsSkinManager>();
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  IsNTFamily = GetVersionExA(&v) != 0 && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
  TlxSkinEffects::LayeredWindows = LayeredWindowsAvailable();
  TlxSkinEffects::Wow64WithoutComposition = &Wow64WithoutComposition;
  TlxSkinEffects::ManagerDesigning = [](const TsSkinManager* m) {
    return m != nullptr && (m->ComponentState() & csDesigning) != 0;
  };
  // Popup backgrounds live no longer than the menu loop that shows them: a popup shown without
  // a window adapter (the thread hook is off or the system refused the subclassing) never
  // releases its own.
  SetMenuLoopEndHandler(&TsSkinableMenus::EndMenuLoop);
  GShadowActive = ShadowImage("LXSHDA");
  GShadowInactive = ShadowImage("LXSHDI");
  if (CommandLineHas("/lxver")) ShowMessage(std::string("Quillon v") + TsSkinManager::VersionText);
}

void DoneSkinManagerUnit() {
  SetMenuLoopEndHandler(nullptr);
  TsSkinableMenus::ReleasePopupInfo();
  GShadowActive.reset();
  GShadowInactive.reset();
}
