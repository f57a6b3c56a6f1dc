// Window-free part of the skin manager unit (see sSkinManagerCore.h).
#include "skin/core/sSkinManagerCore.h"

#include <cmath>

#include "framework/base/SysUtils.h"

namespace {

const std::vector<std::string> kAnimTypeNames = {"atFading", "atAero"};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The folder above `folder` (which ends with a separator), with its own trailing separator.
std::string ParentFolder(const std::string& folder) {
  std::string s = folder;
  while (!s.empty() && IsSeparator(s.back())) s.pop_back();
  while (!s.empty() && !IsSeparator(s.back())) s.pop_back();
  return s;
}

std::string ZeroEnded(std::span<const std::uint8_t> field) {
  std::size_t n = 0;
  while (n < field.size() && field[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(field.data()), n);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Option objects

ORBEX_IMPLEMENT_PUBLISHED(TlxFormAnimation, TPersistent, nullptr)

void TlxFormAnimation::PublishProperties(TPublisher<TlxFormAnimation>& P) {
  P.Boolean("Active", &TlxFormAnimation::Active, &TlxFormAnimation::Active).Default(1);
  P.Integer("Time", &TlxFormAnimation::Time, &TlxFormAnimation::Time).Default(0);
}

void TlxFormAnimation::Assign(TPersistent* source) {
  auto* s = As<TlxFormAnimation>(source);
  if (s == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  Time = s->Time;
  Active = s->Active;
  Mode = s->Mode;
}

ORBEX_IMPLEMENT_PUBLISHED(TlxFormShow, TlxFormAnimation, nullptr)
void TlxFormShow::PublishProperties(TPublisher<TlxFormShow>& P) {
  P.Enum("Mode", &TlxFormShow::Mode, &TlxFormShow::Mode, kAnimTypeNames).Default(atAero);
}

ORBEX_IMPLEMENT_PUBLISHED(TlxFormHide, TlxFormAnimation, nullptr)
void TlxFormHide::PublishProperties(TPublisher<TlxFormHide>& P) {
  P.Enum("Mode", &TlxFormHide::Mode, &TlxFormHide::Mode, kAnimTypeNames).Default(atAero);
}

ORBEX_IMPLEMENT_PUBLISHED(TlxPageChange, TlxFormAnimation, nullptr)
void TlxPageChange::PublishProperties(TPublisher<TlxPageChange>&) {}

ORBEX_IMPLEMENT_PUBLISHED(TlxDialogShow, TlxFormAnimation, nullptr)
void TlxDialogShow::PublishProperties(TPublisher<TlxDialogShow>& P) {
  P.Integer("Time", &TlxDialogShow::Time, &TlxDialogShow::Time).Default(0);
  P.Enum("Mode", &TlxDialogShow::Mode, &TlxDialogShow::Mode, kAnimTypeNames).Default(atAero);
}

ORBEX_IMPLEMENT_PUBLISHED(TlxSkinChanging, TlxFormAnimation, nullptr)
TlxSkinChanging::TlxSkinChanging() {
  Time = 100;
  Mode = atFading;
}
void TlxSkinChanging::PublishProperties(TPublisher<TlxSkinChanging>& P) {
  P.Integer("Time", &TlxSkinChanging::Time, &TlxSkinChanging::Time).Default(100);
  P.Enum("Mode", &TlxSkinChanging::Mode, &TlxSkinChanging::Mode, kAnimTypeNames).Default(atFading);
}

ORBEX_IMPLEMENT_PUBLISHED(TlxMinimizing, TlxFormAnimation, nullptr)
TlxMinimizing::TlxMinimizing() { Time = 200; }
void TlxMinimizing::PublishProperties(TPublisher<TlxMinimizing>& P) {
  P.Integer("Time", &TlxMinimizing::Time, &TlxMinimizing::Time).Default(200);
}

ORBEX_IMPLEMENT_PUBLISHED(TlxBlendOnMoving, TlxFormAnimation, nullptr)
TlxBlendOnMoving::TlxBlendOnMoving() {
  Active = false;
  Time = 1000;
}
void TlxBlendOnMoving::PublishProperties(TPublisher<TlxBlendOnMoving>& P) {
  P.Boolean("Active", &TlxBlendOnMoving::Active, &TlxBlendOnMoving::Active).Default(0);
  P.Integer("BlendValue", &TlxBlendOnMoving::BlendValue, &TlxBlendOnMoving::BlendValue).Default(170);
  P.Integer("Time", &TlxBlendOnMoving::Time, &TlxBlendOnMoving::Time).Default(1000);
}
void TlxBlendOnMoving::Assign(TPersistent* source) {
  TlxFormAnimation::Assign(source);
  if (auto* s = As<TlxBlendOnMoving>(source)) BlendValue = s->BlendValue;
}

ORBEX_IMPLEMENT_PUBLISHED(TlxBtnEffects, TPersistent, nullptr)
void TlxBtnEffects::PublishProperties(TPublisher<TlxBtnEffects>& P) {
  P.Set("Events", &TlxBtnEffects::Events, &TlxBtnEffects::Events,
        {"beMouseEnter", "beMouseLeave", "beMouseDown", "beMouseUp"})
      .Default(AllEvents);
}
void TlxBtnEffects::Assign(TPersistent* source) {
  auto* s = As<TlxBtnEffects>(source);
  if (s == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  Events = s->Events;
}

ORBEX_IMPLEMENT_PUBLISHED(TlxAnimEffects, TPersistent, nullptr)

void TlxAnimEffects::PublishProperties(TPublisher<TlxAnimEffects>& P) {
  P.Object("BlendOnMoving", &TlxAnimEffects::BlendOnMoving);
  P.Object("Buttons", &TlxAnimEffects::Buttons);
  P.Object("DialogShow", &TlxAnimEffects::DialogShow);
  P.Object("FormShow", &TlxAnimEffects::FormShow);
  P.Object("FormHide", &TlxAnimEffects::FormHide);
  P.Object("DialogHide", &TlxAnimEffects::DialogHide);
  P.Object("Minimizing", &TlxAnimEffects::Minimizing);
  P.Object("PageChange", &TlxAnimEffects::PageChange);
  P.Object("SkinChanging", &TlxAnimEffects::SkinChanging);
}

TlxAnimEffects::TlxAnimEffects()
    : FButtons(new TlxBtnEffects),
      FDialogShow(new TlxDialogShow),
      FFormShow(new TlxFormShow),
      FFormHide(new TlxFormHide),
      FSkinChanging(new TlxSkinChanging),
      FPageChange(new TlxPageChange),
      FDialogHide(new TlxFormHide),
      FMinimizing(new TlxMinimizing),
      FBlendOnMoving(new TlxBlendOnMoving) {}

TlxAnimEffects::~TlxAnimEffects() {
  delete FBlendOnMoving;
  delete FButtons;
  delete FDialogShow;
  delete FFormShow;
  delete FFormHide;
  delete FDialogHide;
  delete FMinimizing;
  delete FPageChange;
  delete FSkinChanging;
}

void TlxAnimEffects::Assign(TPersistent* source) {
  auto* s = As<TlxAnimEffects>(source);
  if (s == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  FBlendOnMoving->Assign(s->FBlendOnMoving);
  FButtons->Assign(s->FButtons);
  FDialogShow->Assign(s->FDialogShow);
  FFormShow->Assign(s->FFormShow);
  FFormHide->Assign(s->FFormHide);
  FDialogHide->Assign(s->FDialogHide);
  FMinimizing->Assign(s->FMinimizing);
  FPageChange->Assign(s->FPageChange);
  FSkinChanging->Assign(s->FSkinChanging);
}

ORBEX_IMPLEMENT_PUBLISHED(TlxSkinEffects, TPersistent, nullptr)

void TlxSkinEffects::PublishProperties(TPublisher<TlxSkinEffects>& P) {
  P.Boolean("AllowGlowing", &TlxSkinEffects::GetAllowGlowing, &TlxSkinEffects::SetAllowGlowing)
      .Default(1);
  P.Boolean("AllowAeroBluring", &TlxSkinEffects::AllowAeroBluring, &TlxSkinEffects::AllowAeroBluring)
      .Default(1);
}

bool TlxSkinEffects::GetAllowGlowing() const {
  const bool designing = ManagerDesigning != nullptr && ManagerDesigning(Manager);
  return FAllowGlowing && (LayeredWindows || designing) && !(Wow64WithoutComposition != nullptr && *Wow64WithoutComposition);
}

void TlxSkinEffects::Assign(TPersistent* source) {
  auto* s = As<TlxSkinEffects>(source);
  if (s == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  FAllowGlowing = s->FAllowGlowing;
  AllowAeroBluring = s->AllowAeroBluring;
}

// ---------------------------------------------------------------------------------------------
// Foreign class lists

ORBEX_IMPLEMENT_PUBLISHED(ThirdPartyList, TPersistent, nullptr)

void ThirdPartyList::PublishProperties(TPublisher<ThirdPartyList>& P) {
  // Published order; each property reads and writes the list at its own index.
  static const std::pair<const char*, int> kProps[kCount] = {
      {"ThirdEdits", tiEdits},           {"ThirdButtons", tiButtons},
      {"ThirdBitBtns", tiBitBtns},       {"ThirdCheckBoxes", tiCheckBoxes},
      {"ThirdGroupBoxes", tiGroupBoxes}, {"ThirdListViews", tiListViews},
      {"ThirdPanels", tiPanels},         {"ThirdGrids", tiGrids},
      {"ThirdTreeViews", tiTreeViews},   {"ThirdComboBoxes", tiComboBoxes},
      {"ThirdWWEdits", tiWWEdits},       {"ThirdVirtualTrees", tiVirtualTrees},
      {"ThirdGridEh", tiGridEh},         {"ThirdPageControl", tiPageControl},
      {"ThirdTabControl", tiTabControl}, {"ThirdToolBar", tiToolBar},
      {"ThirdStatusBar", tiStatusBar},   {"ThirdSpeedButton", tiSpeedButton},
      {"ThirdScrollControl", tiScrollControl}, {"ThirdUpDown", tiUpDown}};
  for (const auto& [name, index] : kProps) {
    const int i = index;
    P.String(
        name, [i](ThirdPartyList& l) { return l.ReadList(i); },
        [i](ThirdPartyList& l, const std::string& v) { l.WriteList(i, v); });
  }
}

ThirdPartyList::ThirdPartyList() : FLists(kCount) { FillDefaults(); }

std::string ThirdPartyList::ReadList(int index) const {
  if (index < 0 || index >= kCount) return "";
  return FLists[static_cast<std::size_t>(index)];
}

void ThirdPartyList::WriteList(int index, const std::string& text) {
  if (index < 0 || index >= kCount) return;
  FLists[static_cast<std::size_t>(index)] = text;
}

void ThirdPartyList::FillDefaults() {
  for (int i = 0; i < kCount; ++i) {
    std::string& s = FLists[static_cast<std::size_t>(i)];
    if (s.empty()) s = i == tiButtons ? "TButton" : " ";
  }
}

int ThirdPartyList::IndexOfClass(const std::string& className) const {
  if (className.empty()) return -1;
  for (int i = 0; i < kCount; ++i) {
    const std::string& text = FLists[static_cast<std::size_t>(i)];
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) end = text.size();
      if (text.compare(start, end - start, className) == 0) return i;
      start = end + 1;
    }
  }
  return -1;
}

void ThirdPartyList::Assign(TPersistent* source) {
  auto* s = As<ThirdPartyList>(source);
  if (s == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  FLists = s->FLists;
}

// ---------------------------------------------------------------------------------------------
// Skin names and folders

std::string ResolveSkinDirectory(const std::string& value, const std::string& programFolder) {
  if (value.rfind("..", 0) == 0)
    return ParentFolder(programFolder) + (value.size() > 3 ? value.substr(3) : std::string());
  if (value.rfind(".\\", 0) == 0 || value.rfind("./", 0) == 0) return programFolder + value.substr(2);
  if (value.find(':') == std::string::npos && value.find("\\\\") == std::string::npos)
    return programFolder + value;
  return value;
}

std::string SkinNameWithoutTez(const std::string& name) {
  if (name.size() > 4 && SameText(name.substr(name.size() - 4), ".tez")) return name.substr(0, name.size() - 4);
  return name;
}

std::string PackedSkinNameOf(const std::string& fileName) {
  if (fileName.size() <= 4 || fileName.compare(fileName.size() - 4, 4, ".tez") != 0) return "";
  return fileName.substr(0, fileName.size() - 4);
}

std::string FormatSkinVersion(double version) {
  if (!std::isfinite(version)) return "N/A";
  std::string s = Format("%.4f", version);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

// ---------------------------------------------------------------------------------------------
// Version notices

std::string SkinVersionNotice(double version, const std::string& skinName, bool testSwitch) {
  if (version > 7.99)
    return "This version of the skin have not complete support by used Quillon package release.\r\n"
           "Components must be updated up to latest version for using this skin.";
  if (version < 7 && testSwitch)
    return "You are using an old version of the \"" + skinName +
           "\" skin. Please, update a skins to latest or link with the Quillon support for "
           "upgrading of existing skin.\r\n\r\nThis notification occurs in design-time only for "
           "your information and will not occur in real-time.";
  return "";
}

// ---------------------------------------------------------------------------------------------
// The editor block

std::optional<TsEditorBlock> ParseEditorBlock(std::span<const std::uint8_t> data) {
  if (data.size() != TsEditorBlock::Size) return std::nullopt;
  const std::uint32_t marker = static_cast<std::uint32_t>(data[0]) |
                               (static_cast<std::uint32_t>(data[1]) << 8) |
                               (static_cast<std::uint32_t>(data[2]) << 16) |
                               (static_cast<std::uint32_t>(data[3]) << 24);
  if (marker != TsEditorBlock::Marker) return std::nullopt;
  TsEditorBlock b;
  b.SkinName = ZeroEnded(data.subspan(TsEditorBlock::NameOffset, TsEditorBlock::NameSize));
  b.SkinDirectory = ZeroEnded(data.subspan(TsEditorBlock::DirOffset, TsEditorBlock::DirSize));
  b.SkinText = ZeroEnded(data.subspan(TsEditorBlock::TextOffset, TsEditorBlock::TextSize));
  return b;
}
