// The visual-styles entry table (see sThemes.h).
#include "skin/paint/win/sThemes.h"

namespace {

HMODULE GModule = nullptr;
bool GLoaded = false;

TThemeEntries& Table() {
  static TThemeEntries table;
  return table;
}

template <typename T>
void Entry(T& slot, const char* name) {
  slot = GModule != nullptr ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(GModule, name))) : nullptr;
}

void Load() {
  GLoaded = true;
  GModule = LoadLibraryA("UXTHEME.DLL");
  TThemeEntries& t = Table();
  Entry(t.SetWindowTheme, "SetWindowTheme");
  Entry(t.IsAppThemed, "IsAppThemed");
  Entry(t.IsThemeActive, "IsThemeActive");
  Entry(t.OpenThemeData, "OpenThemeData");
  Entry(t.CloseThemeData, "CloseThemeData");
  Entry(t.DrawThemeBackground, "DrawThemeBackground");
  Entry(t.DrawThemeParentBackground, "DrawThemeParentBackground");
}

}  // namespace

TThemeEntries& ThemeEntries() {
  if (!GLoaded) Load();
  return Table();
}

bool ThemesActive() {
  const TThemeEntries& t = ThemeEntries();
  return t.IsAppThemed != nullptr && t.IsThemeActive != nullptr && t.IsAppThemed() != FALSE &&
         t.IsThemeActive() != FALSE;
}

void InitThemesUnit() {
  if (!GLoaded) Load();
}

void DoneThemesUnit() {
  Table() = TThemeEntries{};
  if (GModule != nullptr) FreeLibrary(GModule);
  GModule = nullptr;
  GLoaded = false;
}
