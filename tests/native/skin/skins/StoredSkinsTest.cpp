// The program's two stored skins as the build packs them (Dusk, Linden): read by the engine's
// loaders, each holds every section, key, state, mask and glyph the program's windows look up,
// by the authoring rules the reader needs, and every text colour reads on the fill it is drawn
// on (contrast ratio at least 4.5:1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/core/lxSkinConvertor.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sSkinImages.h"
#include "skin/core/sSkinLoader.h"

namespace {

struct TStoredSkin {
  const char* Name;
  int Entries;   // "Options.dat" and the images
};
const TStoredSkin kSkins[] = {{"Dusk", 9}, {"Linden", 10}};

struct TLoaded {
  TsSkinFiles Files;
  TsPixelImageHost Host;
  TsLoadedSkin Skin;
  const TsSkinTables* T() const { return &Skin.Tables; }
};

void Load(const std::string& name, TLoaded& out) {
  OpenSkinFiles(std::string(ORBEX_STORED_SKINS) + "/" + name + ".tez", out.Files);
  TsLoadSettings settings;
  LoadSkin(out.Files.Source(), settings, out.Host, out.Skin);
}

// What the program's windows look up: each section with the keys written in it (value keys)
// and the masks found for it (with inheritance, as the engine looks them up).
struct TNeed {
  const char* Section;
  std::vector<const char*> Keys;
  std::vector<const char*> Masks;
  int MinStates = 1;
};

const std::vector<TNeed>& Needs() {
  static const std::vector<TNeed> needs = {
      {"GLOBALINFO",
       {"VERSION", "MASTERBITMAP", "COLOR", "FONTCOLOR", "HOTCOLOR", "HOTFONTCOLOR", "BORDERCOLOR", "TCTOP",
        "TCBOTTOM"},
       {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "SICONCLOSE", "BICLOSEALONE", "BICONHELP", "SICONHELP", "BOXCHECKED",
        "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED", "CHECK", "GRIPIMAGE"},
       2},
      {"FORM", {"COLOR", "HOTCOLOR", "FONTCOLOR"}, {"BORDERSMASK"}, 2},
      {"FORMTITLE", {"COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"}, {"BORDERSMASK"}, 2},
      {"CAPTION", {"TRANSPARENCY", "FONTCOLOR", "HOTFONTCOLOR"}, {}, 2},
      {"DIALOG", {"COLOR", "FONTCOLOR"}, {"BORDERSMASK"}, 2},
      {"MENULINE", {"COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"}, {}, 2},
      {"MENUITEM", {"COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"}, {}, 2},
      {"MAINMENU", {"COLOR", "FONTCOLOR"}, {"BORDERSMASK"}},
      {"ICOLINE", {"COLOR"}, {}},
      {"DIVIDERV", {}, {"BORDERSMASK"}},
      {"SELECTION", {"COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"}, {}, 2},
      {"TOOLBAR", {"COLOR", "FONTCOLOR"}, {}},
      {"TOOLBUTTON", {"COLOR", "HOTCOLOR"}, {"BORDERSMASK"}, 3},
      {"DIVIDER", {}, {"BORDERSMASK"}},
      {"GRIPH", {}, {"BORDERSMASK", "PATTERN"}},
      {"PANEL", {"COLOR", "FONTCOLOR"}, {"BORDERSMASK"}},
      {"PANEL_LOW", {"COLOR", "FONTCOLOR"}, {"BORDERSMASK"}},
      {"STATUSBAR", {"COLOR", "FONTCOLOR"}, {"STATUSPANELMASK"}},
      {"BUTTON", {"COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR", "SHOWFOCUS", "GLOW"}, {"BORDERSMASK"}, 3},
      {"EDIT", {"COLOR", "FONTCOLOR"}, {"BORDERSMASK"}, 2},
      {"COMBOBOX", {"COLOR", "FONTCOLOR", "GLOW"}, {"BORDERSMASK", "GLYPHMASK"}, 2},
      {"COMBOBTN", {}, {"BORDERSMASK"}, 3},
      {"CHECKBOX", {"TRANSPARENCY", "FONTCOLOR", "HOTFONTCOLOR"}, {}, 2},
      {"GROUPBOX", {"FONTCOLOR"}, {"BORDERSMASK"}},
      {"BAR", {"COLOR"}, {}},
      {"COLHEADER", {"COLOR", "HOTCOLOR", "FONTCOLOR"}, {"BORDERSMASK"}, 3},
      {"SPEEDBUTTON_SMALL", {"COLOR", "HOTCOLOR"}, {"BORDERSMASK"}, 3},
      {"PAGECONTROL", {"COLOR", "FONTCOLOR"}, {"BORDERSMASK"}},
      {"PAGECONTROLBOTTOM", {}, {"BORDERSMASK"}},
      {"PAGECONTROLLEFT", {}, {"BORDERSMASK"}},
      {"PAGECONTROLRIGHT", {}, {"BORDERSMASK"}},
      {"TABTOP", {"COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"}, {"BORDERSMASK"}, 3},
      {"TABBOTTOM", {}, {"BORDERSMASK"}, 3},
      {"TABLEFT", {}, {"BORDERSMASK"}, 3},
      {"TABRIGHT", {}, {"BORDERSMASK"}, 3},
      {"UPDOWNBTN", {}, {"BORDERSMASK"}, 3},
      {"TRACKBAR", {"FONTCOLOR"}, {"SLIDERCHANNEL", "SLIDERMASK", "SLIDERVMASK", "TICKHORZ", "TICKVERT"}},
      {"SCROLLBAR1H", {"COLOR"}, {"BORDERSMASK"}, 3},
      {"SCROLLBAR2H", {"COLOR"}, {"BORDERSMASK"}, 3},
      {"SCROLLBAR1V", {"COLOR"}, {"BORDERSMASK"}, 3},
      {"SCROLLBAR2V", {"COLOR"}, {"BORDERSMASK"}, 3},
      {"SCROLLSLIDERH", {"COLOR"}, {"BORDERSMASK", "GLYPHMASK"}, 3},
      {"SCROLLSLIDERV", {"COLOR"}, {"BORDERSMASK", "GLYPHMASK"}, 3},
      {"SCROLLBTNLEFT", {"COLOR"}, {"BORDERSMASK", "GLYPHMASK"}, 3},
      {"SCROLLBTNRIGHT", {"COLOR"}, {"BORDERSMASK", "GLYPHMASK"}, 3},
      {"SCROLLBTNTOP", {"COLOR"}, {"BORDERSMASK", "GLYPHMASK"}, 3},
      {"SCROLLBTNBOTTOM", {"COLOR"}, {"BORDERSMASK", "GLYPHMASK"}, 3},
  };
  return needs;
}

bool UpperName(const std::string& s) {
  return !s.empty() && std::none_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::vector<std::string> List(TStrings& s) {
  std::vector<std::string> out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s[i]);
  return out;
}

const TsGeneralData& Section(const TLoaded& l, const std::string& name) {
  const int i = FindSectionIndex(l.T(), name);
  if (i < 0) throw std::runtime_error("no section " + name);
  return l.T()->GeneralData[static_cast<size_t>(i)];
}

const TsMaskData* Mask(const TLoaded& l, const std::string& section, const std::string& key) {
  const int i = FindMaskEntry(l.T(), FindSectionIndex(l.T(), section), section, key);
  return i >= 0 ? &l.T()->MaskData[static_cast<size_t>(i)] : nullptr;
}

TEST(StoredSkins, PackedWithTheirImagesOnly) {
  for (const TStoredSkin& s : kSkins) {
    SCOPED_TRACE(s.Name);
    TLoaded l;
    ASSERT_NO_THROW(Load(s.Name, l));
    ASSERT_NE(l.Files.Packed, nullptr);
    EXPECT_EQ(static_cast<int>(l.Files.Packed->ImageData().size()) + 1, s.Entries);
    // Every packed image is named, exactly, by a value of the options text.
    TStringList sections;
    l.Files.Ini->ReadSections(sections);
    std::string values;
    for (const std::string& sec : List(sections)) {
      TStringList keys;
      l.Files.Ini->ReadSection(sec, keys);
      for (const std::string& k : List(keys)) values += l.Files.Ini->ReadString(sec, k, "") + "\n";
    }
    for (const TlxImageItem& item : l.Files.Packed->ImageData()) {
      EXPECT_TRUE(UpperName(item.FileName)) << item.FileName;
      EXPECT_NE(values.find(item.FileName), std::string::npos) << item.FileName << " is not used";
      // A 32-bit BMP without compression, so that no conversion touches its key pixels.
      const std::uint8_t* b = item.Data->Memory();
      ASSERT_GE(item.Data->Size(), 54) << item.FileName;
      EXPECT_EQ(std::string(b, b + 2), "BM") << item.FileName;
      EXPECT_EQ(b[28] | b[29] << 8, 32) << item.FileName;
      EXPECT_EQ(b[30] | b[31] << 8 | b[32] << 16 | b[33] << 24, 0) << item.FileName;
    }
    EXPECT_DOUBLE_EQ(l.T()->SkinData.Version, 7.2);
  }
}

TEST(StoredSkins, EverySectionKeyStateAndMaskTheWindowsNeed) {
  for (const TStoredSkin& s : kSkins) {
    SCOPED_TRACE(s.Name);
    TLoaded l;
    ASSERT_NO_THROW(Load(s.Name, l));
    EXPECT_EQ(FindSectionIndex(l.T(), "GLOBALINFO"), 0);
    for (const TNeed& n : Needs()) {
      SCOPED_TRACE(n.Section);
      ASSERT_GE(FindSectionIndex(l.T(), n.Section), 0);
      EXPECT_GE(Section(l, n.Section).States, n.MinStates);
      for (const char* k : n.Keys) EXPECT_TRUE(l.Files.Ini->ValueExists(n.Section, k)) << k;
      for (const char* k : n.Masks) {
        const TsMaskData* m = Mask(l, n.Section, k);
        ASSERT_NE(m, nullptr) << k;
        EXPECT_GE(m->ImageCount, 1) << k;
        EXPECT_GT(MaskFrameWidth(*m), 0) << k;
        EXPECT_GT(MaskFrameHeight(*m), 0) << k;
      }
    }
    // States and masks frames line up where the engine picks a frame by state.
    for (const char* sec : {"BUTTON", "TOOLBUTTON", "COMBOBTN", "SCROLLSLIDERH", "SCROLLBTNTOP", "COLHEADER"})
      EXPECT_GE(Mask(l, sec, "BORDERSMASK")->ImageCount, 3) << sec;
    for (const char* key : {"BICONCLOSE", "BOXCHECKED", "RADIOUNCHECKED"})
      EXPECT_EQ(Mask(l, "GLOBALINFO", key)->ImageCount, 3) << key;
    // The push button: a nine-piece frame with a band (never a region), and a soft glow.
    const TsMaskData* button = Mask(l, "BUTTON", "BORDERSMASK");
    EXPECT_EQ(button->ImgType, 0);
    EXPECT_EQ(button->MaskType, 1);
    for (const char* sec : {"BUTTON", "COMBOBOX"}) {
      EXPECT_GE(Section(l, sec).GlowCount, 1) << sec;
      const int g = FindMaskEntryDirect(l.T(), sec, "GLOW0");
      ASSERT_GE(g, 0) << sec;
      EXPECT_EQ(l.T()->MaskData[static_cast<size_t>(g)].MaskType, 1) << sec;
    }
    // Form and dialog frames fit inside the system's dialog frame (3 pixels).
    for (const char* sec : {"FORM", "DIALOG"}) {
      const TsMaskData* m = Mask(l, sec, "BORDERSMASK");
      EXPECT_LE(std::max({m->WL, m->WT, m->WR, m->WB}), 3) << sec;
      EXPECT_EQ(m->ImageCount, 2) << sec;
    }
  }
}

TEST(StoredSkins, AuthoringRules) {
  for (const TStoredSkin& s : kSkins) {
    SCOPED_TRACE(s.Name);
    TLoaded l;
    ASSERT_NO_THROW(Load(s.Name, l));
    TStringList sections;
    l.Files.Ini->ReadSections(sections);
    ASSERT_GT(sections.Count(), 0);
    EXPECT_EQ(sections[0], "GLOBALINFO");
    for (const std::string& sec : List(sections)) {
      EXPECT_TRUE(UpperName(sec)) << sec;
      EXPECT_TRUE(l.Files.Ini->ValueExists(sec, "STATES")) << sec;
      TStringList keys;
      l.Files.Ini->ReadSection(sec, keys);
      for (const std::string& k : List(keys)) EXPECT_TRUE(UpperName(k)) << sec << "." << k;
    }
    // Parent chains end without coming back.
    for (const TsGeneralData& g : l.T()->GeneralData) {
      std::set<std::string> seen{g.ClassName};
      for (std::string p = g.ParentClass; !p.empty(); p = Section(l, p).ParentClass)
        ASSERT_TRUE(seen.insert(p).second) << g.ClassName << " derives from itself";
    }
    // Images: every pixel opaque or exactly the key; bands grey.
    std::vector<TlxPixelBuffer> images{l.Host.Pixels(l.Skin.MasterBitmap.get())};
    ASSERT_FALSE(images[0].Empty());
    for (const TsMaskData& m : l.T()->MaskData)
      if (m.Bmp) images.push_back(l.Host.Pixels(m.Bmp.get()));
    for (const TlxPixelBuffer& b : images)
      for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) {
          const std::uint32_t p = GetPix(b, x, y);
          ASSERT_TRUE((p >> 24) == 255 || p == 0x00FF00FFu) << std::hex << p << " at " << x << "," << y;
        }
    for (const TsMaskData& m : l.T()->MaskData) {
      if (m.MaskType != 1) continue;
      const TlxPixelBuffer b = m.Bmp ? l.Host.Pixels(m.Bmp.get()) : images[0];
      const int h = MaskFrameHeight(m);
      for (int y = m.R.Top + h; y < m.R.Top + 2 * h; ++y)
        for (int x = m.R.Left; x < m.R.Right; ++x) {
          const std::uint32_t p = GetPix(b, x, y);
          ASSERT_TRUE((p & 0xFF) == ((p >> 8) & 0xFF) && (p & 0xFF) == ((p >> 16) & 0xFF))
              << m.ClassName << "." << m.PropertyName << " band pixel " << std::hex << p;
        }
    }
  }
}

// ---- contrast ------------------------------------------------------------------------------

double Channel(int v) {
  const double c = v / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(TColor c) {
  return 0.2126 * Channel(c & 0xFF) + 0.7152 * Channel((c >> 8) & 0xFF) + 0.0722 * Channel((c >> 16) & 0xFF);
}
double Contrast(TColor a, TColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
TColor Blend(TColor over, TColor under, int percentUnder) {
  TColor out = 0;
  for (int shift : {0, 8, 16}) {
    const int o = (over >> shift) & 0xFF, u = (under >> shift) & 0xFF;
    out |= static_cast<TColor>((o * (100 - percentUnder) + u * percentUnder) / 100) << shift;
  }
  return out;
}

// What a see-through section is painted over in the program.
const std::map<std::string, std::vector<std::string>>& SitsOn() {
  static const std::map<std::string, std::vector<std::string>> m = {
      {"CAPTION", {"FORMTITLE"}},
      {"CHECKBOX", {"FORM", "DIALOG", "PANEL", "PANEL_LOW", "GROUPBOX", "TOOLBAR"}},
      {"GROUPBOX", {"FORM", "DIALOG", "PANEL"}},
      {"TOOLBUTTON", {"TOOLBAR"}},
  };
  return m;
}

// Every colour a state's fill can show: the colour, each gradient stop, and for a see-through
// state the fills of what it sits on (blended by its share).
std::vector<TColor> Fills(const TLoaded& l, const TsGeneralData& g, int state, int depth = 0) {
  const TsGenState& s = g.Props[state > 0 && g.States > 1 ? 1 : 0];
  std::vector<TColor> own;
  if (s.GradientPercent < 100) own.push_back(s.Color & 0xFFFFFF);
  if (s.GradientPercent > 0)
    for (const TsGradientStop& stop : s.GradientArray) {
      own.push_back(stop.Color1 & 0xFFFFFF);
      own.push_back(stop.Color2 & 0xFFFFFF);
    }
  if (s.Transparency <= 0) return own;
  std::vector<TColor> under;
  auto it = SitsOn().find(g.ClassName);
  const std::vector<std::string> bases = it != SitsOn().end() ? it->second : std::vector<std::string>{"FORM"};
  for (const std::string& b : bases)
    for (int bs = 0; bs < 2 && depth < 4; ++bs)
      for (TColor c : Fills(l, Section(l, b), bs, depth + 1)) under.push_back(c);
  if (s.Transparency >= 100) return under;
  std::vector<TColor> mixed;
  for (TColor o : own)
    for (TColor u : under) mixed.push_back(Blend(o, u, s.Transparency));
  return mixed;
}

// The state's text colours: the font colour and the contours that are set.
std::vector<TColor> TextColours(const TsGeneralData& g, int state) {
  const TsGenState& s = g.Props[state > 0 && g.States > 1 ? 1 : 0];
  std::vector<TColor> out{s.FontColor[0]};
  for (int i = 1; i < 5; ++i)
    if (s.FontColor[i] != -1) out.push_back(s.FontColor[i]);
  return out;
}

void ExpectReadable(const std::vector<TColor>& texts, const std::vector<TColor>& fills, const std::string& what) {
  ASSERT_FALSE(fills.empty()) << what;
  for (TColor t : texts)
    for (TColor f : fills)
      EXPECT_GE(Contrast(t & 0xFFFFFF, f), 4.5)
          << what << ": text " << std::hex << (t & 0xFFFFFF) << " on " << f << std::dec << " ratio "
          << Contrast(t & 0xFFFFFF, f);
}

TEST(StoredSkins, EveryTextReadsOnItsFill) {
  for (const TStoredSkin& s : kSkins) {
    SCOPED_TRACE(s.Name);
    TLoaded l;
    ASSERT_NO_THROW(Load(s.Name, l));
    for (const TsGeneralData& g : l.T()->GeneralData)
      for (int state = 0; state < std::min(std::max(g.States, 1), 2); ++state)
        ExpectReadable(TextColours(g, state), Fills(l, g, state), g.ClassName + " state " + std::to_string(state));
    // Tool-button captions take the tool bar's colours over the button's states.
    const TsGeneralData& bar = Section(l, "TOOLBAR");
    const TsGeneralData& button = Section(l, "TOOLBUTTON");
    for (int ts = 0; ts < 2; ++ts)
      for (int bs = 0; bs < 3; ++bs)
        ExpectReadable(TextColours(bar, ts), Fills(l, button, bs), "tool-button caption");
  }
}

}  // namespace
