// Feeds arbitrary text through the in-memory ini file and the string list's comma text, and
// checks the round trips that settings and skin options rely on: what is written back reads
// back the same, and comma text survives a second pass unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/base/Classes.h"
#include "framework/base/IniFiles.h"

static void Check(bool ok) {
  if (!ok) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the options; the rest is the text.
  const bool caseSensitive = (data[0] & 1) != 0;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  TStringList lines;
  lines.SetText(text);
  TMemIniFile ini;
  ini.SetCaseSensitive(caseSensitive);
  ini.SetStrings(lines);

  // Every key listed for a section can be read back from it.
  TStringList sections;
  ini.ReadSections(sections);
  for (int s = 0; s < sections.Count(); ++s) {
    TStringList keys;
    ini.ReadSection(sections[s], keys);
    for (int k = 0; k < keys.Count(); ++k) {
      Check(ini.ValueExists(sections[s], keys[k]));
      ini.ReadString(sections[s], keys[k], "");
      ini.ReadInteger(sections[s], keys[k], 0);
      ini.ReadBool(sections[s], keys[k], false);
    }
  }

  // Written back and read again, the file holds the same sections.
  TStringList saved;
  ini.GetStrings(saved);
  TMemIniFile again;
  again.SetCaseSensitive(caseSensitive);
  again.SetStrings(saved);
  TStringList sections2;
  again.ReadSections(sections2);
  Check(sections2.Count() == sections.Count());

  // Comma text: a list read from comma text writes comma text that reads back to the same list.
  TStringList a;
  a.SetCommaText(text);
  const std::string once = a.CommaText();
  TStringList b;
  b.SetCommaText(once);
  Check(b.Count() == a.Count());
  for (int i = 0; i < a.Count(); ++i) Check(a[i] == b[i]);
  return 0;
}
