// Ini files as text: TMemIniFile holds the parsed sections in memory (case-sensitive by
// default, as the skin options need); TIniFile is a case-insensitive view of a file on disk
// that reads the file before each use and writes it back after each change. Window-free.
//
// Sections: TCustomIniFile helpers; TMemIniFile data and parsing; TMemIniFile access;
// TIniFile.
#include "framework/base/IniFiles.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

ORBEX_IMPLEMENT_CLASS(TCustomIniFile, TObject, nullptr)

std::int32_t TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                         std::int32_t def) {
  return StrToIntDef(ReadString(section, ident, std::string()), def);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, std::int32_t value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) {
  double v;
  return TryStrToFloat(ReadString(section, ident, std::string()), v) ? v : def;
}

bool TCustomIniFile::SectionExists(const std::string& section) {
  TStringList keys;
  ReadSection(section, keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
  TStringList keys;
  keys.SetCaseSensitive(false);
  ReadSection(section, keys);
  return keys.IndexOf(ident) >= 0;
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile data and parsing

namespace {
enum class TLineKind { Value, Other, Comment };
struct TIniLine {
  TLineKind Kind = TLineKind::Value;
  std::string Key;    // Value lines: the trimmed name; other lines: the whole trimmed line
  std::string Value;
};
struct TIniSection {
  std::string Name;
  std::vector<TIniLine> Lines;
};
}  // namespace

struct TMemIniFile::Data {
  std::vector<TIniLine> Preamble;   // lines before the first section, kept for rewriting
  std::vector<TIniSection> Sections;
};

ORBEX_IMPLEMENT_CLASS(TMemIniFile, TCustomIniFile, nullptr)

TMemIniFile::TMemIniFile(const std::string& fileName)
    : TCustomIniFile(fileName), FData(std::make_unique<Data>()) {
  if (!fileName.empty() && FileExists(fileName)) {
    TStringList lines;
    lines.LoadFromFile(fileName);
    SetStrings(lines);
  }
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Clear() {
  FData->Preamble.clear();
  FData->Sections.clear();
}

void TMemIniFile::SetCaseSensitive(bool on) { FCaseSensitive = on; }

void TMemIniFile::SetStrings(const TStrings& lines) {
  Clear();
  TIniSection* cur = nullptr;
  for (int i = 0, n = lines.Count(); i < n; ++i) {
    std::string s = lines.Get(i);
    s = Trim(s);
    // A UTF-8 mark opens the first line (a text saved twice may carry it twice); blanks on either
    // side of it are no content either, so the text reads the same however it was written.
    while (i == 0 && s.compare(0, 3, "\xEF\xBB\xBF") == 0) s = Trim(s.substr(3));
    if (s.empty() || s[0] == ';') {
      TIniLine line{TLineKind::Comment, s, std::string()};
      if (cur != nullptr) cur->Lines.push_back(line);
      else FData->Preamble.push_back(line);
      continue;
    }
    if (s.front() == '[' && s.back() == ']' && s.size() >= 2) {
      FData->Sections.push_back(TIniSection{Trim(s.substr(1, s.size() - 2)), {}});
      cur = &FData->Sections.back();
      continue;
    }
    if (cur == nullptr) {   // not inside a section: no value, but kept for rewriting
      FData->Preamble.push_back(TIniLine{TLineKind::Other, s, std::string()});
      continue;
    }
    size_t eq = s.find('=');
    if (eq == std::string::npos) cur->Lines.push_back(TIniLine{TLineKind::Other, s, std::string()});
    else cur->Lines.push_back(TIniLine{TLineKind::Value, Trim(s.substr(0, eq)), s.substr(eq + 1)});
  }
}

void TMemIniFile::GetStrings(TStrings& lines) const {
  lines.BeginUpdate();
  try {
    lines.Clear();
    for (const TIniLine& l : FData->Preamble) lines.Add(l.Key);
    for (const TIniSection& sec : FData->Sections) {
      lines.Add("[" + sec.Name + "]");
      for (const TIniLine& l : sec.Lines)
        lines.Add(l.Kind == TLineKind::Value ? l.Key + "=" + l.Value : l.Key);
    }
  } catch (...) {
    lines.EndUpdate();
    throw;
  }
  lines.EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile access

namespace {
bool Same(bool caseSensitive, const std::string& a, const std::string& b) {
  return caseSensitive ? a == b : SameText(a, b);
}
TIniSection* FindSection(std::vector<TIniSection>& secs, bool cs, const std::string& name) {
  for (TIniSection& s : secs)
    if (Same(cs, s.Name, name)) return &s;
  return nullptr;
}
TIniLine* FindKey(TIniSection* sec, bool cs, const std::string& key) {
  if (sec == nullptr) return nullptr;
  for (TIniLine& l : sec->Lines)
    if (l.Kind == TLineKind::Value && Same(cs, l.Key, key)) return &l;
  return nullptr;
}
}  // namespace

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& def) {
  TIniLine* l = FindKey(FindSection(FData->Sections, FCaseSensitive, section), FCaseSensitive, ident);
  return l != nullptr ? l->Value : def;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  TIniSection* sec = FindSection(FData->Sections, FCaseSensitive, section);
  if (sec == nullptr) {
    FData->Sections.push_back(TIniSection{section, {}});
    sec = &FData->Sections.back();
  }
  if (TIniLine* l = FindKey(sec, FCaseSensitive, ident)) {
    l->Value = value;
    return;
  }
  // After the last value, ahead of the blank lines and comments that close the section.
  auto at = sec->Lines.end();
  while (at != sec->Lines.begin() && std::prev(at)->Kind == TLineKind::Comment) --at;
  sec->Lines.insert(at, TIniLine{TLineKind::Value, ident, value});
}

void TMemIniFile::ReadSection(const std::string& section, TStrings& keys) {
  keys.BeginUpdate();
  keys.Clear();
  if (TIniSection* sec = FindSection(FData->Sections, FCaseSensitive, section))
    for (const TIniLine& l : sec->Lines)
      if (l.Kind == TLineKind::Value) keys.Add(l.Key);
  keys.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& sections) {
  sections.BeginUpdate();
  sections.Clear();
  for (const TIniSection& s : FData->Sections) sections.Add(s.Name);
  sections.EndUpdate();
}

void TMemIniFile::ReadSectionValues(const std::string& section, TStrings& lines) {
  lines.BeginUpdate();
  lines.Clear();
  if (TIniSection* sec = FindSection(FData->Sections, FCaseSensitive, section))
    for (const TIniLine& l : sec->Lines) {
      if (l.Kind == TLineKind::Value) lines.Add(l.Key + "=" + l.Value);
      else if (l.Kind == TLineKind::Other) lines.Add(l.Key);
    }
  lines.EndUpdate();
}

void TMemIniFile::EraseSection(const std::string& section) {
  auto& secs = FData->Sections;
  secs.erase(std::remove_if(secs.begin(), secs.end(),
                            [&](const TIniSection& s) { return Same(FCaseSensitive, s.Name, section); }),
             secs.end());
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  TIniSection* sec = FindSection(FData->Sections, FCaseSensitive, section);
  if (sec == nullptr) return;
  auto& ls = sec->Lines;
  ls.erase(std::remove_if(ls.begin(), ls.end(),
                          [&](const TIniLine& l) {
                            return l.Kind == TLineKind::Value && Same(FCaseSensitive, l.Key, ident);
                          }),
           ls.end());
}

bool TMemIniFile::SectionExists(const std::string& section) {
  return FindSection(FData->Sections, FCaseSensitive, section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& ident) {
  return FindKey(FindSection(FData->Sections, FCaseSensitive, section), FCaseSensitive, ident) != nullptr;
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  TStringList lines;
  GetStrings(lines);
  lines.SaveToFile(FileName());
}

// ---------------------------------------------------------------------------------------------
// TIniFile

ORBEX_IMPLEMENT_CLASS(TIniFile, TCustomIniFile, nullptr)

TIniFile::TIniFile(const std::string& fileName)
    : TCustomIniFile(fileName), FCache(std::make_unique<TMemIniFile>()) {
  FCache->SetCaseSensitive(false);
}

TIniFile::~TIniFile() = default;

TMemIniFile& TIniFile::Reload() {
  FCache->Clear();
  if (FileExists(FileName())) {
    TStringList lines;
    lines.LoadFromFile(FileName());
    FCache->SetStrings(lines);
  }
  return *FCache;
}

void TIniFile::Save() {
  TStringList lines;
  FCache->GetStrings(lines);
  lines.SaveToFile(FileName());
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
  return Reload().ReadString(section, ident, def);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  Reload().WriteString(section, ident, value);
  Save();
}

void TIniFile::ReadSection(const std::string& section, TStrings& keys) { Reload().ReadSection(section, keys); }

void TIniFile::ReadSections(TStrings& sections) { Reload().ReadSections(sections); }

void TIniFile::ReadSectionValues(const std::string& section, TStrings& lines) {
  Reload().ReadSectionValues(section, lines);
}

void TIniFile::EraseSection(const std::string& section) {
  TMemIniFile& m = Reload();
  if (!m.SectionExists(section)) return;
  m.EraseSection(section);
  Save();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  TMemIniFile& m = Reload();
  if (!m.ValueExists(section, ident)) return;
  m.DeleteKey(section, ident);
  Save();
}

bool TIniFile::SectionExists(const std::string& section) { return Reload().SectionExists(section); }

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) {
  return Reload().ValueExists(section, ident);
}

// Every change is already on disk.
void TIniFile::UpdateFile() {}
