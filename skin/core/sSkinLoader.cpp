// Skin options text loaders: see sSkinLoader.h.
#include "skin/core/sSkinLoader.h"

#include "framework/base/SysUtils.h"

void LoadMasks(const TsSkinSource&, const TsLoadSettings&, TsSkinImageHost&, TsLoadedSkin&) {
  throw Exception("LoadMasks not built yet");
}
void LoadPatterns(const TsSkinSource&, const TsLoadSettings&, TsSkinImageHost&, TsLoadedSkin&) {
  throw Exception("LoadPatterns not built yet");
}
void LoadSections(const TsSkinSource&, const TsLoadSettings&, TsSkinImageHost&, TsLoadedSkin&) {
  throw Exception("LoadSections not built yet");
}
void LoadSkin(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
              TsLoadedSkin& skin) {
  LoadMasks(source, settings, images, skin);
  LoadPatterns(source, settings, images, skin);
  LoadSections(source, settings, images, skin);
  CacheCommonIndexes(&skin.Tables);
}
std::unique_ptr<TMemIniFile> SkinIniFromText(const std::string&) { throw Exception("not built yet"); }
void OpenSkinFiles(const std::string&, TsSkinFiles&) { throw Exception("not built yet"); }
