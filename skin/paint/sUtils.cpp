// Window-free utilities of the skin engine: see sUtils.h.
#include "skin/paint/sUtils.h"

#include <algorithm>

#include "framework/base/SysUtils.h"
#include "framework/base/TypInfo.h"

int RectWidth(const TRect& r, bool clamp) {
  const std::int64_t w = static_cast<std::int64_t>(r.Right) - r.Left;
  if (clamp && w < 0) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(w, INT32_MIN, INT32_MAX));
}

int RectHeight(const TRect& r, bool clamp) {
  const std::int64_t h = static_cast<std::int64_t>(r.Bottom) - r.Top;
  if (clamp && h < 0) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(h, INT32_MIN, INT32_MAX));
}

bool RectsIntersect(const TRect& r1, const TRect& r2) {
  if (r1.IsEmpty() || r2.IsEmpty()) return false;
  return r1.Left < r2.Right && r2.Left < r1.Right && r1.Top < r2.Bottom && r2.Top < r1.Bottom;
}

bool RectInsideRect(const TRect& inner, const TRect& outer) {
  auto inside = [&outer](int x, int y) {
    return x >= outer.Left && x <= outer.Right && y >= outer.Top && y <= outer.Bottom;
  };
  return inside(inner.Left, inner.Top) && inside(inner.Right, inner.Top) &&
         inside(inner.Left, inner.Bottom) && inside(inner.Right, inner.Bottom);
}

std::uint8_t ClampByte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

bool IsValueBetween(int v, int bound1, int bound2) {
  return v >= std::min(bound1, bound2) && v <= std::max(bound1, bound2);
}

int MaxOf(int a, int b) { return a > b ? a : b; }
int MinOf(int a, int b) { return a < b ? a : b; }
void SwapInts(int& a, int& b) { std::swap(a, b); }

std::string IfThenStr(bool condition, const std::string& ifTrue, const std::string& ifFalse) {
  return condition ? ifTrue : ifFalse;
}

TObject* IfThenObj(bool condition, TObject* ifTrue, TObject* ifFalse) {
  return condition ? ifTrue : ifFalse;
}

// ---------------------------------------------------------------------------------------------
void ParseIniText(const std::vector<std::string>& lines, TIniTextSections& sections) {
  sections.clear();
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back(TIniTextSection{line.substr(1, line.size() - 2), {}});
    } else if (!sections.empty()) {
      sections.back().Lines.push_back(line);
    }
  }
}

void ParseIniText(const TStrings& lines, TIniTextSections& sections) {
  std::vector<std::string> copy;
  copy.reserve(static_cast<size_t>(std::max(lines.Count(), 0)));
  for (int i = 0; i < lines.Count(); ++i) copy.push_back(lines.Get(i));
  ParseIniText(copy, sections);
}

namespace {
bool FindIniTextValue(const TIniTextSections& sections, const std::string& section,
                      const std::string& key, std::string& value) {
  for (const TIniTextSection& s : sections) {
    if (s.Name != section) continue;
    for (const std::string& line : s.Lines) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      if (SameText(line.substr(0, eq), key)) {
        value = line.substr(eq + 1);
        return true;
      }
    }
    return false;
  }
  return false;
}

bool ParseHex32(const std::string& digits, std::int32_t& out) {
  if (digits.empty() || digits.size() > 8) return false;
  std::uint32_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  out = static_cast<std::int32_t>(v);
  return true;
}
}  // namespace

std::string IniTextReadString(const TIniTextSections& sections, const std::string& section,
                              const std::string& def, const std::string& key) {
  std::string value;
  return FindIniTextValue(sections, section, key, value) ? value : def;
}

std::int32_t IniTextReadInteger(const TIniTextSections& sections, const std::string& section,
                                std::int32_t def, const std::string& key) {
  std::string value;
  if (!FindIniTextValue(sections, section, key, value)) return def;
  std::int32_t out = def;
  if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
    return ParseHex32(value.substr(2), out) ? out : def;
  return TryStrToInt(value, out) ? out : def;
}

// ---------------------------------------------------------------------------------------------
namespace {
bool IsDelimiter(char c, const std::string& delimiters) {
  return delimiters.find(c) != std::string::npos;
}

// Start (0-based) and length of the n-th word; false when there are fewer words.
bool FindWord(int n, const std::string& text, const std::string& delimiters, size_t& start,
              size_t& length) {
  if (n < 1) return false;
  int index = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsDelimiter(text[i], delimiters)) ++i;
    if (i >= text.size()) break;
    const size_t begin = i;
    while (i < text.size() && !IsDelimiter(text[i], delimiters)) ++i;
    if (++index == n) {
      start = begin;
      length = i - begin;
      return true;
    }
  }
  return false;
}
}  // namespace

std::string NthWord(int n, const std::string& text, const std::string& delimiters) {
  size_t start = 0, length = 0;
  return FindWord(n, text, delimiters, start, length) ? text.substr(start, length)
                                                      : std::string();
}

int WordCount(const std::string& text, const std::string& delimiters) {
  int count = 0;
  bool inWord = false;
  for (char c : text) {
    const bool d = IsDelimiter(c, delimiters);
    if (!d && !inWord) ++count;
    inWord = !d;
  }
  return count;
}

int WordPosition(int n, const std::string& text, const std::string& delimiters) {
  size_t start = 0, length = 0;
  return FindWord(n, text, delimiters, start, length) ? static_cast<int>(start) + 1 : 0;
}

std::string RemoveChars(const std::string& text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text)
    if (ch != c) out += ch;
  return out;
}

std::string ReplaceText(const std::string& text, const std::string& oldText,
                        const std::string& newText) {
  if (oldText.empty()) return text;
  std::string out;
  size_t from = 0;
  for (size_t at = text.find(oldText); at != std::string::npos; at = text.find(oldText, from)) {
    out.append(text, from, at - from);
    out += newText;
    from = at + oldText.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

// ---------------------------------------------------------------------------------------------
namespace {
const TPropInfo* PropOf(TObject* obj, const std::string& name) {
  return obj == nullptr ? nullptr : GetPropInfo(obj, name);
}

const TPropInfo* OrdinalProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = PropOf(obj, name);
  return (p != nullptr && p->IsOrdinal() && p->GetOrd) ? p : nullptr;
}

// Bit of the named element of a set property, or -1.
int SetElementBit(const TPropInfo* p, const std::string& element) {
  if (p == nullptr || p->Kind != TTypeKind::tkSet) return -1;
  for (size_t i = 0; i < p->Names.size() && i < 64; ++i)
    if (SameText(p->Names[i], element)) return static_cast<int>(i);
  return -1;
}
}  // namespace

bool PublishedPropExists(TObject* obj, const std::string& name) {
  return PropOf(obj, name) != nullptr;
}

TObject* ReadObjectProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = PropOf(obj, name);
  if (p == nullptr || !p->GetObj ||
      (p->Kind != TTypeKind::tkClass && p->Kind != TTypeKind::tkComponent))
    return nullptr;
  return GetObjectProp(obj, *p);
}

std::int64_t ReadOrdProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = OrdinalProp(obj, name);
  return p == nullptr ? -1 : GetOrdProp(obj, *p);
}

bool WriteOrdProp(TObject* obj, const std::string& name, std::int64_t value) {
  const TPropInfo* p = OrdinalProp(obj, name);
  if (p == nullptr || !p->IsWritable()) return false;
  try {
    SetOrdProp(obj, *p, value);
  } catch (const EPropertyError&) {
    return false;
  }
  return true;
}

bool SetPropHasElement(TObject* obj, const std::string& name, const std::string& element) {
  const TPropInfo* p = OrdinalProp(obj, name);
  const int bit = SetElementBit(p, element);
  return bit >= 0 && ((static_cast<std::uint64_t>(GetOrdProp(obj, *p)) >> bit) & 1u) != 0;
}

bool ToggleSetPropElement(TObject* obj, const std::string& name, const std::string& element,
                          bool include) {
  const TPropInfo* p = OrdinalProp(obj, name);
  const int bit = SetElementBit(p, element);
  if (bit < 0) return false;
  std::uint64_t v = static_cast<std::uint64_t>(GetOrdProp(obj, *p));
  const std::uint64_t mask = std::uint64_t{1} << bit;
  v = include ? (v | mask) : (v & ~mask);
  return WriteOrdProp(obj, name, static_cast<std::int64_t>(v));
}

std::string WithTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + '\\';
}

// ---------------------------------------------------------------------------------------------
int SearchFirst(const std::string& path, int attr, TSearchRec& rec) { return FindFirst(path, attr, rec); }
int SearchNext(TSearchRec& rec) { return FindNext(rec); }
void SearchClose(TSearchRec& rec) { FindClose(rec); }

TsBackgroundInfo FillImageSpec(TBitmap* bitmap, int x, int y) {
  return TsBackgroundInfo{bitmap, x, y, 0xFF00FF, 1};
}
