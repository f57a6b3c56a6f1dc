// Fuzz target of the ini-text reader and the word helpers: the input's lines as ini text; keys
// and sections to look up are taken from the text itself. A missing key must give the default;
// a key of a section (the first of its name) must be found; a found integer must not depend
// on the default.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/paint/sUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(line);

  TIniTextSections sections;
  ParseIniText(lines, sections);
  // No line holds a line break: as a key it is never found, as a value never read.
  const std::string missing("\n");
  for (size_t i = 0; i < sections.size(); ++i) {
    const TIniTextSection& s = sections[i];
    if (IniTextReadString(sections, s.Name, missing, missing) != missing) std::abort();
    // Only the first section of a name is read.
    bool first = true;
    for (size_t j = 0; j < i; ++j) first = first && sections[j].Name != s.Name;
    if (!first) continue;
    for (const std::string& l : s.Lines) {
      const size_t eq = l.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = l.substr(0, eq);
      const std::string value = IniTextReadString(sections, s.Name, missing, key);
      if (value == missing) std::abort();   // a line of the section must be found
      const std::int32_t a = IniTextReadInteger(sections, s.Name, 12345, key);
      const std::int32_t b = IniTextReadInteger(sections, s.Name, -12345, key);
      if (a != b && (a != 12345 || b != -12345)) std::abort();
    }
  }
  const int words = WordCount(text, " =;[]");
  for (int n = 0; n <= words + 1 && n < 64; ++n) {
    const std::string w = NthWord(n, text, " =;[]");
    if ((n >= 1 && n <= words) == w.empty()) std::abort();
    const int at = WordPosition(n, text, " =;[]");
    if (!w.empty() && text.compare(static_cast<size_t>(at - 1), w.size(), w) != 0) std::abort();
  }
  (void)ReplaceText(text, "==", "=");
  return 0;
}
