// Fuzz target of the skin loaders: an options text, optionally CommonSections and small images,
// loaded with hue and saturation. Input: the options text, then parts each introduced by a line
// "@@@@ NAME": the part named COMMON is the CommonSections text, every other part an image of
// the packed skin by that name; the last byte picks the options (bits 0-1 the hue offset in
// steps of 120 degrees, bits 2-4 the saturation in steps of 15). Images are limited to 256 K
// pixels. A failure must be an Exception; a load must leave tables whose look-ups and geometry
// answer for every entry, with no negative count or width.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "skin/core/sSkinLoader.h"

namespace {

constexpr const char* PartMark = "\n@@@@ ";

// Pictures of at most 256 K pixels keep every run short.
class TSmallImageHost : public TsPixelImageHost {
public:
  std::unique_ptr<TObject> NewImage32(int width, int height) override {
    if (static_cast<std::int64_t>(width) * height > (1 << 18)) throw EInvalidGraphic("too large");
    return TsPixelImageHost::NewImage32(width, height);
  }
};

void CheckTables(TsSkinTables& t, TsSkinImageHost& host) {
  for (int i = 0; i < static_cast<int>(t.MaskData.size()); ++i) {
    const TsMaskData& m = t.MaskData[static_cast<size_t>(i)];
    if (m.Bmp && host.Pixels(m.Bmp.get()).Empty()) std::abort();
    if (m.CornerType < 0 || m.CornerType > 2) std::abort();
    // No negative count or width reaches the painters (a mask type of -1: frames without height).
    if (std::min({m.WL, m.WT, m.WR, m.WB, m.BorderWidth, m.ImageCount, m.DrawMode}) < 0 || m.MaskType < -1) std::abort();
    (void)MaskFrameWidth(m);
    (void)MaskFrameHeight(m);
    (void)(MaskBorderLeft(&t, i) + MaskBorderTop(&t, i) + MaskBorderRight(&t, i) + MaskBorderBottom(&t, i));
  }
  for (int i = 0; i < static_cast<int>(t.GeneralData.size()); ++i) {
    const TsGeneralData& g = t.GeneralData[static_cast<size_t>(i)];
    for (int index : {g.BorderIndex, g.ImgTL, g.ImgTR, g.ImgBL, g.ImgBR, g.TextureIndex})
      if (index != -1 && !MaskIndexInRange(&t, index)) std::abort();
    if (g.States < 2 && !(g.Props[1].Color == g.Props[0].Color)) std::abort();
    (void)FindPatternEntry(&t, i, g.ClassName, "PATTERN");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > (1 << 20)) return 0;
  const std::uint8_t options = data[size - 1];
  const std::string input(reinterpret_cast<const char*>(data), size - 1);
  std::size_t at = input.find(PartMark);
  std::string text = input.substr(0, at);
  TsLoadSettings settings;
  settings.HueOffset = (options & 3) * 120;
  settings.Saturation = ((options >> 2) & 7) * 15;
  settings.MaxImagePixels = 1 << 18;
  auto packed = std::make_unique<TlxSkinConvertor>();
  while (at != std::string::npos) {
    const std::size_t nameAt = at + 6;
    const std::size_t lineEnd = input.find('\n', nameAt);
    if (lineEnd == std::string::npos) break;
    const std::string name = input.substr(nameAt, lineEnd - nameAt);
    at = input.find(PartMark, lineEnd);
    const std::string body = input.substr(lineEnd + 1, at == std::string::npos ? std::string::npos : at - lineEnd - 1);
    if (name == "COMMON") {
      settings.CommonSections = body;
    } else {
      TlxImageItem& item = packed->ImageData().emplace_back();
      item.FileName = name;
      item.Data = std::make_unique<TMemoryStream>();
      item.Data->WriteBuffer(body.data(), static_cast<std::int64_t>(body.size()));
    }
  }
  std::unique_ptr<TMemIniFile> ini = SkinIniFromText(text);
  // A skin path that names no folder: every image comes from the parts.
  const TsSkinSource source{ini.get(), packed.get(), "/nonexistent-orbex-skin/"};
  TSmallImageHost host;
  TsLoadedSkin skin;
  try {
    LoadSkin(source, settings, host, skin);
  } catch (const Exception&) {
    return 0;
  }
  CheckTables(skin.Tables, host);
  return 0;
}
