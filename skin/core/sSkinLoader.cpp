// Skin options text loaders: see sSkinLoader.h.
//
// Sections: reading text and files; mask values; LoadMasks; LoadPatterns; section records;
// hue and saturation; LoadSections; opening skins from disk.
#include "skin/core/sSkinLoader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <fstream>
#include <optional>
#include <set>
#include <vector>

#include "framework/base/SysUtils.h"
#include "skin/core/lxBorderGeometry.h"
#include "skin/paint/sColorMath.h"

namespace {

constexpr std::uint32_t KeyPixel = 0x00FF00FFu;
constexpr const char* GlobalInfo = "GLOBALINFO";
// A texture up to this many pixels is kept as a mask entry (painted from the mask list).
constexpr std::int64_t MaxMaskTexturePixels = 899999;
// Largest image file read from disk; as much as a packed skin may unpack to.
constexpr std::uintmax_t MaxImageFileBytes = static_cast<std::uintmax_t>(TlxSkinConvertor::MaxUnpackedTotal);

using TBytes = std::vector<std::uint8_t>;

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

std::vector<std::string> SectionNames(TCustomIniFile& ini) {
  TStringList list;
  ini.ReadSections(list);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}

std::vector<std::string> KeyNames(TCustomIniFile& ini, const std::string& section) {
  TStringList list;
  ini.ReadSection(section, list);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}

// The skin version: a decimal number with "." as separator; 0 when it is not one.
double ReadVersion(TCustomIniFile& ini) {
  double v = 0;
  return TryStrToFloat(Trim(ini.ReadString(GlobalInfo, "VERSION", "0")), v) ? v : 0;
}

// ---------------------------------------------------------------------------------------------
// Reading files.

// The file at `path`, or one whose name differs only in letter case (skins are written for a
// file system that ignores case); empty when neither exists.
std::filesystem::path ExistingFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p(path);
  if (std::filesystem::is_regular_file(p, ec)) return p;
  const std::filesystem::path dir = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
  const std::string name = UpperCase(p.filename().string());
  if (name.empty()) return {};
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (UpperCase(it->path().filename().string()) == name && it->is_regular_file(ec)) return it->path();
  return {};
}

// The whole file; false when it does not exist. Raises EReadError for a file that cannot be read
// or is larger than any skin image.
bool ReadWholeFile(const std::string& path, TBytes& out) {
  const std::filesystem::path p = ExistingFile(path);
  if (p.empty()) return false;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(p, ec);
  if (ec || size > MaxImageFileBytes) throw EReadError("Cannot read file " + p.string());
  std::ifstream f(p, std::ios::binary);
  out.resize(static_cast<std::size_t>(size));
  if (!f || (size > 0 && !f.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size))))
    throw EReadError("Cannot read file " + p.string());
  return true;
}

// A name without ":" is taken relative to the skin path.
std::string SkinFilePath(const std::string& skinPath, const std::string& name) {
  return Contains(name, ":") ? name : skinPath + name;
}

// An image of the skin by name: the packed entry (names compared ignoring case), else the file.
// False when neither exists.
bool ReadSkinImage(const TsSkinSource& source, const std::string& name, TBytes& out) {
  if (source.Packed != nullptr)
    for (const TlxImageItem& item : source.Packed->ImageData())
      if (item.Data && SameText(item.FileName, name)) {
        const std::uint8_t* bytes = item.Data->Memory();
        out.assign(bytes, bytes + item.Data->Size());
        return true;
      }
  return ReadWholeFile(SkinFilePath(source.SkinPath, name), out);
}

// ---------------------------------------------------------------------------------------------
// Mask values.

// How a mask entry was written; the later passes of LoadMasks treat the forms differently.
enum class TMaskForm { Own, Region, Bordered, Texture, Bitmap, Free };

struct TLoading {
  const TsSkinSource& Source;
  const TsLoadSettings& Settings;
  TsSkinImageHost& Images;
  TsLoadedSkin& Skin;
  double Version = 0;
  std::vector<TMaskForm> Forms;   // one per mask entry of the text

  TsMaskData& Add(TMaskForm form, const std::string& section, const std::string& key) {
    TsMaskData& m = Skin.Tables.MaskData.emplace_back();
    m.ClassName = section;
    m.PropertyName = key;
    m.Manager = Settings.Owner;
    Forms.push_back(form);
    return m;
  }
  void DropLast() {
    Skin.Tables.MaskData.pop_back();
    Forms.pop_back();
  }
};

// Characters [pos, pos + count) of a value, 1-based, as far as the value reaches.
std::string Column(const std::string& v, std::size_t pos, std::size_t count) {
  return pos - 1 < v.size() ? v.substr(pos - 1, count) : std::string();
}
// A fixed-column number: raises EConvertError when it is not one.
int ColumnInt(const std::string& v, std::size_t pos, std::size_t count) { return StrToInt(Column(v, pos, count)); }

TRect ColumnRect(const std::string& v) {
  return TRect{ColumnInt(v, 2, 4), ColumnInt(v, 7, 4), ColumnInt(v, 12, 4), ColumnInt(v, 17, 4)};
}

// Splits at any of `separators`; runs of them count as one, leading ones are skipped.
std::vector<std::string> SplitFields(const std::string& v, const char* separators) {
  std::vector<std::string> out;
  std::string cur;
  bool in = false;
  for (char c : v) {
    if (std::strchr(separators, c) != nullptr) {
      if (in) out.push_back(cur);
      cur.clear();
      in = false;
    } else {
      cur += c;
      in = true;
    }
  }
  if (in) out.push_back(cur);
  return out;
}

// Mask fields are 16-bit: a count or width from the text outside [lowest, 32767] is held at
// the nearer end, never cut to 16 bits (a cut 40000 would be a negative width).
std::int16_t Short(int v, int lowest = 0) {
  return static_cast<std::int16_t>(std::clamp(v, lowest, int{std::numeric_limits<std::int16_t>::max()}));
}
// A mask type of -1 means frames without height.
constexpr int NoBands = -1;

// Borders a third of a frame: left and right from the frame width, top and bottom from the band
// height. A count or band number below 1 would divide by zero: the borders are then 0 and the
// entry is not stretched.
void ThirdBorders(TsMaskData& m, int widthDivisor, int heightDivisor) {
  if (widthDivisor < 1 || heightDivisor < 1) {
    m.WL = m.WT = m.WR = m.WB = 0;
    m.DrawMode = Short(m.DrawMode & ~1);
    return;
  }
  m.WL = m.WR = Short(m.R.Width() / widthDivisor);
  m.WT = m.WB = Short(m.R.Height() / heightDivisor);
}

// A bitmap file whose header gives it no pixels: such an image adds no entry (not an error).
bool EmptyBitmap(const TBytes& data) {
  auto field = [&](std::size_t at) {
    return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | (std::uint32_t(data[at + 3]) << 24);
  };
  return data.size() >= 26 && data[0] == 'B' && data[1] == 'M' && (field(18) == 0 || field(22) == 0);
}

std::unique_ptr<TObject> DecodeToHost(TLoading& ld, const TBytes& data, bool bitmap, int& width, int& height) {
  TsDecodedImage img;
  if (bitmap)
    DecodeBmp(data, img, ld.Settings.MaxImagePixels);
  else
    DecodePng(data, ld.Version, img, ld.Settings.MaxImagePixels);
  width = img.Width();
  height = img.Height();
  return MakeHostImage(ld.Images, img);
}

// "!name!count!masktype!imagetype!l!t!r!b!drawmode": an image of its own.
void AddOwnImage(TLoading& ld, const std::string& section, const std::string& key, const std::string& value) {
  const std::vector<std::string> f = SplitFields(value, "!");
  if (f.empty()) return;
  const std::string& name = f[0];
  const bool bitmap = Contains(name, ".BMP");
  if (!bitmap && !Contains(name, ".PNG")) return;
  TBytes data;
  if (!ReadSkinImage(ld.Source, name, data) || data.empty() || (bitmap && EmptyBitmap(data))) return;
  int w = 0, h = 0;
  std::unique_ptr<TObject> image = DecodeToHost(ld, data, bitmap, w, h);
  auto field = [&](std::size_t i) { return i <= f.size() ? StrToIntDef(f[i - 1], 0) : 0; };
  TsMaskData& m = ld.Add(TMaskForm::Own, section, key);
  m.Bmp = std::move(image);
  m.R = TRect{0, 0, w, h};
  m.ImageCount = Short(field(2));
  m.MaskType = Short(field(3), NoBands);
  // Image types 0 to 4; larger values read as 4, negative ones (no such type) as 0.
  m.ImgType = static_cast<std::uint8_t>(std::clamp(field(4), 0, 4));
  m.DrawMode = Short(f.size() < 9 ? 1 : field(9));
  if (f.size() < 5) {
    ThirdBorders(m, m.ImageCount * 3, (m.MaskType + 1) * 3);
  } else {
    m.WL = Short(field(5));
    m.WT = Short(field(6));
    m.WR = Short(field(7));
    m.WB = Short(field(8));
  }
}

// "NAME.BMP": a separate bitmap of three frames over a band.
void AddBitmapFile(TLoading& ld, const std::string& section, const std::string& key, const std::string& name,
                   bool fromSkin) {
  TBytes data;
  const bool found = fromSkin ? ReadSkinImage(ld.Source, name, data)
                              : ReadWholeFile(SkinFilePath(ld.Source.SkinPath, name), data);
  if (!found || data.empty() || EmptyBitmap(data)) return;
  int w = 0, h = 0;
  std::unique_ptr<TObject> image = DecodeToHost(ld, data, true, w, h);
  TsMaskData& m = ld.Add(TMaskForm::Bitmap, UpperCase(section), UpperCase(key));
  m.Bmp = std::move(image);
  if (!fromSkin) return;   // CommonSections bitmaps carry only their image
  m.R = TRect{0, 0, w, h};
  m.ImageCount = 3;
  m.MaskType = 1;
  m.WL = m.WR = Short(w / 9);
  m.WT = m.WB = Short(h / 6);
}

// "# (l,t,r,b) (count,masktype,border,drawmode)": a free-form region of the master bitmap.
void AddFreeRegion(TLoading& ld, const std::string& section, const std::string& key, const std::string& value) {
  const std::vector<std::string> f = SplitFields(value, " ()");
  std::vector<std::string> rect = f.size() > 1 ? SplitFields(f[1], ",") : std::vector<std::string>{};
  std::vector<std::string> counts = f.size() > 2 ? SplitFields(f[2], ",") : std::vector<std::string>{};
  auto at = [](const std::vector<std::string>& v, std::size_t i) { return i < v.size() ? StrToIntDef(v[i], 0) : 0; };
  TsMaskData& m = ld.Add(TMaskForm::Free, UpperCase(section), UpperCase(key));
  m.R = TRect{at(rect, 0), at(rect, 1), at(rect, 2), at(rect, 3)};
  m.ImageCount = Short(std::max(at(counts, 0), 1));
  m.MaskType = Short(std::max(at(counts, 1), 0));
  m.BorderWidth = Short(counts.size() > 2 ? std::max(StrToInt(counts[2]), 0) : 0);
  m.DrawMode = Short(counts.size() > 3 ? StrToInt(counts[3]) : 1);
  if (m.BorderWidth != 0)
    m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
  else
    ThirdBorders(m, m.ImageCount * 3, m.MaskType * 3 + 3);
}

void AddMaskValue(TLoading& ld, const std::string& section, const std::string& key, const std::string& value) {
  switch (value[0]) {
    case '!': AddOwnImage(ld, section, key, value); return;
    case '@': {
      const TRect r = ColumnRect(value);
      const int count = ColumnInt(value, 22, 1), maskType = ColumnInt(value, 24, 1);
      TsMaskData& m = ld.Add(TMaskForm::Region, section, key);
      m.R = r;
      m.ImageCount = Short(count);
      m.MaskType = Short(maskType, NoBands);
      m.ImgType = 2;
      return;
    }
    case '^': {
      const TRect r = ColumnRect(value);
      const int wl = ColumnInt(value, 22, 4), wt = ColumnInt(value, 27, 4), wr = ColumnInt(value, 32, 4),
                wb = ColumnInt(value, 37, 4);
      const int count = ColumnInt(value, 42, 1), maskType = ColumnInt(value, 44, 1),
                drawMode = ColumnInt(value, 46, 1), border = ColumnInt(value, 48, 1);
      TsMaskData& m = ld.Add(TMaskForm::Bordered, section, key);
      m.R = r;
      m.WL = Short(wl);
      m.WT = Short(wt);
      m.WR = Short(wr);
      m.WB = Short(wb);
      m.ImageCount = Short(count);
      m.MaskType = Short(maskType, NoBands);
      m.DrawMode = Short(drawMode);
      m.BorderWidth = Short(border);
      return;
    }
    case '~': {
      const TRect r = ColumnRect(value);
      const int drawMode = ColumnInt(value, 22, 2);
      const int maskType = value.size() < 25 ? 0 : ColumnInt(value, 25, 1);
      TsMaskData& m = ld.Add(TMaskForm::Texture, section, key);
      m.R = r;
      m.ImageCount = 1;
      m.DrawMode = Short(drawMode);
      m.MaskType = Short(maskType, NoBands);
      m.ImgType = 1;
      return;
    }
    default: break;
  }
  const std::string upper = UpperCase(value);
  if (Contains(upper, ".BMP") && !Contains(upper, "#"))
    AddBitmapFile(ld, section, key, upper, true);
  else if (Contains(value, "#") && value != "#")
    AddFreeRegion(ld, section, key, value);
}

// Skins before 7.4 stretched a bordered mask only when each frame's middle piece is one pixel;
// their region textures never stretched.
void ApplyOldDrawModes(TLoading& ld) {
  for (std::size_t i = 0; i < ld.Forms.size(); ++i) {
    TsMaskData& m = ld.Skin.Tables.MaskData[i];
    if (m.MaskType <= 0) continue;
    if (ld.Forms[i] == TMaskForm::Bordered) {
      const int bands = m.MaskType + 1;
      const bool onePixel = m.ImageCount >= 1 && m.R.Width() / m.ImageCount - m.WL - m.WR == 1 &&
                            m.R.Height() / bands - m.WT - m.WB == 1;
      m.DrawMode = Short(onePixel ? m.DrawMode | 1 : m.DrawMode & ~1);
    } else if (ld.Forms[i] == TMaskForm::Texture) {
      m.DrawMode = Short(m.DrawMode & ~1);
    }
  }
}

// Bordered masks without borders: the common width, else a third of a frame.
void ComputeBorders(TLoading& ld) {
  for (std::size_t i = 0; i < ld.Forms.size(); ++i) {
    TsMaskData& m = ld.Skin.Tables.MaskData[i];
    if (ld.Forms[i] != TMaskForm::Bordered || m.WL + m.WT + m.WR + m.WB != 0) continue;
    if (m.BorderWidth != 0)
      m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
    else
      ThirdBorders(m, m.ImageCount * 3, (m.MaskType + 1) * 3);
  }
}

// True when a key pixel lies in columns [x0, x1) and rows [y0, y1), limited to the image less
// its last column and row.
bool KeyIn(const TlxPixelBuffer& img, int x0, int x1, int y0, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, img.Width - 1);
  y1 = std::min(y1, img.Height - 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (GetPix(img, x, y) == KeyPixel) return true;
  return false;
}

// The corner pieces of an entry's first frame are searched for key pixels, so that painting
// knows to fill them from the background. Only pixels of an existing image are read.
void ScanCorners(TLoading& ld) {
  const TlxPixelBuffer master = ld.Images.Pixels(ld.Skin.MasterBitmap.get());
  for (std::size_t i = 0; i < ld.Forms.size(); ++i) {
    TsMaskData& m = ld.Skin.Tables.MaskData[i];
    const TMaskForm f = ld.Forms[i];
    const bool scanned = (f == TMaskForm::Own && m.ImgType == 0) || f == TMaskForm::Bordered ||
                         f == TMaskForm::Bitmap || f == TMaskForm::Free;
    if (!scanned) continue;
    if (m.ClassName == "BUTTON_HUGE" && m.PropertyName == "BORDERSMASK") {
      m.CornerType = 2;
      continue;
    }
    m.CornerType = 0;
    const TlxPixelBuffer img = m.Bmp ? ld.Images.Pixels(m.Bmp.get()) : master;
    if (img.Empty() || img.BytesPerPixel != 4 || m.ImageCount < 1 || m.MaskType + 1 < 1 || !SaneRect(m.R)) continue;
    const int right = m.R.Left + m.R.Width() / m.ImageCount;
    const int bottom = m.R.Top + m.R.Height() / (m.MaskType + 1);
    const int l = m.R.Left, t = m.R.Top;
    const bool found = KeyIn(img, l, l + m.WL, t, t + m.WT) || KeyIn(img, right - m.WR, right, t, t + m.WT) ||
                       KeyIn(img, l, l + m.WL, bottom - m.WB, bottom) ||
                       KeyIn(img, right - m.WR, right, bottom - m.WB, bottom);
    m.CornerType = found ? 1 : 0;
  }
}

// The CommonSections text as its own ini.
std::unique_ptr<TMemIniFile> CommonIni(const TsLoadSettings& settings) {
  if (settings.CommonSections.empty()) return nullptr;
  return SkinIniFromText(settings.CommonSections);
}

void LoadCommonMasks(TLoading& ld) {
  std::unique_ptr<TMemIniFile> common = CommonIni(ld.Settings);
  if (!common) return;
  for (const std::string& section : SectionNames(*common)) {
    if (UpperCase(section) == GlobalInfo) continue;
    for (const std::string& key : KeyNames(*common, section)) {
      const std::string value = common->ReadString(section, key, "-");
      if (!ld.Skin.MasterBitmap || !Contains(value, "#")) {
        const std::string upper = UpperCase(value);
        if (Contains(upper, ".BMP")) AddBitmapFile(ld, section, key, upper, false);
      } else if (value != "#") {
        AddFreeRegion(ld, section, key, value);
      }
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
void LoadMasks(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
               TsLoadedSkin& skin) {
  skin.Tables.MaskData.clear();
  skin.MasterBitmap.reset();
  if (source.Ini == nullptr) return;
  TCustomIniFile& ini = *source.Ini;
  TLoading ld{source, settings, images, skin, ReadVersion(ini), {}};
  const std::string masterName = ini.ReadString(GlobalInfo, "MASTERBITMAP", "");
  if (!masterName.empty()) {
    TBytes data;
    if (ReadSkinImage(source, masterName, data) && !data.empty() && !EmptyBitmap(data)) {
      TsDecodedImage img;
      DecodeBmp(data, img, settings.MaxImagePixels);
      skin.MasterBitmap = MakeHostImage(images, img);
    }
  }
  for (const std::string& section : SectionNames(ini))
    for (const std::string& key : KeyNames(ini, section)) {
      if (section == GlobalInfo && key == "MASTERBITMAP") continue;
      const std::string value = ini.ReadString(section, key, "");
      if (!value.empty()) AddMaskValue(ld, section, key, value);
    }
  if (ld.Version < 7.4) ApplyOldDrawModes(ld);
  ComputeBorders(ld);
  ScanCorners(ld);
  LoadCommonMasks(ld);
}

// ---------------------------------------------------------------------------------------------
namespace {

bool NamesJpeg(const std::string& upper) { return Contains(upper, ".JPG") || Contains(upper, ".JPEG"); }

}  // namespace

void LoadPatterns(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
                  TsLoadedSkin& skin) {
  skin.Tables.PatternData.clear();
  if (source.Ini == nullptr) return;
  TCustomIniFile& ini = *source.Ini;
  for (const std::string& section : SectionNames(ini))
    for (const std::string& key : KeyNames(ini, section)) {
      const std::string name = UpperCase(ini.ReadString(section, key, "-"));
      if (!NamesJpeg(name)) continue;
      TBytes data;
      if (!ReadSkinImage(source, name, data) || data.empty()) continue;
      TsDecodedImage img;
      DecodeJpeg(data, img, settings.MaxImagePixels);
      if (static_cast<std::int64_t>(img.Width()) * img.Height() > MaxMaskTexturePixels) {
        TsPatternData& p = skin.Tables.PatternData.emplace_back();
        p.Img = MakeHostImage(images, img);
        p.ClassName = UpperCase(section);
        p.PropertyName = UpperCase(key);
      } else {
        // Small textures are painted from the mask list, as whole images: the rectangle is the
        // whole picture (an empty one would leave the texture unpainted).
        TsMaskData& m = skin.Tables.MaskData.emplace_back();
        m.Bmp = MakeHostImage(images, img);
        m.R = TRect{0, 0, img.Width(), img.Height()};
        m.ClassName = UpperCase(section);
        m.PropertyName = UpperCase(key);
        m.ImgType = 1;
        m.ImageCount = 1;
        m.Manager = settings.Owner;
      }
    }
  std::unique_ptr<TMemIniFile> common = CommonIni(settings);
  if (!common) return;
  for (const std::string& section : SectionNames(*common))
    for (const std::string& key : KeyNames(*common, section)) {
      const std::string name = UpperCase(common->ReadString(section, key, "-"));
      if (!NamesJpeg(name)) continue;
      TBytes data;
      if (!ReadWholeFile(SkinFilePath(source.SkinPath, name), data) || data.empty()) continue;
      TsDecodedImage img;
      DecodeJpeg(data, img, settings.MaxImagePixels);
      TsPatternData& p = skin.Tables.PatternData.emplace_back();
      p.Img = MakeHostImage(images, img);
      p.ClassName = UpperCase(section);
      p.PropertyName = UpperCase(key);
    }
}

// ---------------------------------------------------------------------------------------------
// Section records.
namespace {

// The colours of the usual system scheme by COLOR_* index, for builds without a system.
constexpr TColor DefaultSystemColors[] = {
    0xC8D0D4, 0x984E00, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
    0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4,
    0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xD77800,
    0xF0F0F0};

TColor SystemColor(const TsLoadSettings& s, TColor c) {
  if (c >= 0 || c == -1) return c;
  if (s.SystemColorToRGB) return s.SystemColorToRGB(c);
  const std::uint32_t index = static_cast<std::uint32_t>(c) & 0xFF;
  return index < std::size(DefaultSystemColors) ? DefaultSystemColors[index] : 0;
}

// Where the values of a record come from. Each read returns false for a key that is not given,
// which leaves the record's value as it is.
class TKeySource {
public:
  virtual ~TKeySource() = default;
  // Integers: -1 is not given. `converted` when the value came from elsewhere than the section
  // itself (it then names a colour through the system when negative).
  virtual bool Int(const std::string& key, std::int32_t& v, bool& converted) = 0;
  // Texts: "?" is not given.
  virtual bool Text(const std::string& key, std::string& v) = 0;
};

// One section's own value of a key: an integer other than -1, or a text other than "?".
bool ReadGivenInt(TCustomIniFile& ini, const std::string& section, const std::string& key, std::int32_t& v) {
  std::int32_t n;
  if (!TryStrToInt(Trim(ini.ReadString(section, key, "")), n) || n == -1) return false;
  v = n;
  return true;
}

bool ReadGivenText(TCustomIniFile& ini, const std::string& section, const std::string& key, std::string& v) {
  if (!ini.ValueExists(section, key)) return false;
  std::string text = ini.ReadString(section, key, "?");
  if (text == "?") return false;
  v = std::move(text);
  return true;
}

// A section of the skin text, inheriting along "PARENTCLASS" (each section visited once).
class TInheritedKeys : public TKeySource {
public:
  TInheritedKeys(TCustomIniFile& ini, std::string section) : FIni(ini), FSection(std::move(section)) {}
  bool Int(const std::string& key, std::int32_t& v, bool& converted) override {
    return Walk([&](const std::string& s, bool own) {
      if (!ReadGivenInt(FIni, s, key, v)) return false;
      converted = !own;
      return true;
    });
  }
  bool Text(const std::string& key, std::string& v) override {
    return Walk([&](const std::string& s, bool) { return ReadGivenText(FIni, s, key, v); });
  }

private:
  template <class Try>
  bool Walk(Try tryIn) {
    std::set<std::string> visited;
    std::string s = FSection;
    for (bool own = true;; own = false) {
      if (tryIn(s, own)) return true;
      visited.insert(s);
      const std::string parent = FIni.ReadString(s, "PARENTCLASS", "");
      if (parent.empty() || parent == "?" || parent == s || visited.count(parent) != 0) return false;
      s = parent;
    }
  }
  TCustomIniFile& FIni;
  std::string FSection;
};

// A section of CommonSections: only what it names itself.
class TCommonKeys : public TKeySource {
public:
  TCommonKeys(TCustomIniFile& ini, std::string section) : FIni(ini), FSection(std::move(section)) {}
  bool Int(const std::string& key, std::int32_t& v, bool& converted) override {
    converted = false;
    return ReadGivenInt(FIni, FSection, key, v);
  }
  bool Text(const std::string& key, std::string& v) override { return ReadGivenText(FIni, FSection, key, v); }

private:
  TCustomIniFile& FIni;
  std::string FSection;
};

// A record holding every default of the section keys.
TsGeneralData DefaultRecord() {
  TsGeneralData g;
  g.Color = 0xFFFFFF;
  for (int i = 1; i < 5; ++i) g.FontColor[i] = g.HotFontColor[i] = -1;
  g.GradientData = " ";
  g.FadingIterations = 5;
  g.GlowColor = g.HotGlowColor = 0xFFFFFF;
  g.States = 4;
  g.HotColor = 0xFFFFFF;
  return g;
}

bool IsTrue(const std::string& v) {
  const std::string u = UpperCase(v);
  return u == "1" || u == "TRUE";
}

// Index 0 of the states from the plain fields; index 1 from the hot ones, or a copy of index 0
// below two states.
void CopyStates(TsGeneralData& g) {
  TsGenState& n = g.Props[0];
  n.Color = g.Color;
  std::copy(std::begin(g.FontColor), std::end(g.FontColor), n.FontColor);
  n.GradientPercent = g.GradientPercent;
  n.GradientData = g.GradientData;
  n.GradientArray = g.GradientArray;
  n.ImagePercent = g.ImagePercent;
  n.GlowColor = g.GlowColor;
  n.GlowSize = g.GlowSize;
  n.Transparency = g.Transparency;
  if (g.States < 2) {
    g.Props[1] = n;
    return;
  }
  TsGenState& h = g.Props[1];
  h.Color = g.HotColor;
  std::copy(std::begin(g.HotFontColor), std::end(g.HotFontColor), h.FontColor);
  h.GradientPercent = g.HotGradientPercent;
  h.GradientData = g.HotGradientData;
  h.GradientArray = g.HotGradientArray;
  h.ImagePercent = g.HotImagePercent;
  h.GlowColor = g.HotGlowColor;
  h.GlowSize = g.HotGlowSize;
  h.Transparency = g.HotTransparency;
}

// A gradient description shorter than two characters means no gradient.
void ParseGradient(const std::string& text, std::int32_t& percent, TsGradientArray& stops) {
  if (text.size() < 2) {
    percent = 0;
    stops.clear();
  } else {
    ParseGradientData(text, stops);
  }
}

// One state: the hot fields are not read and stay 0.
void ClearHotFields(TsGeneralData& g) {
  g.HotColor = 0;
  std::fill(std::begin(g.HotFontColor), std::end(g.HotFontColor), 0);
  g.HotTransparency = g.HotGradientPercent = g.HotImagePercent = 0;
  g.HotGradientData.clear();
  g.HotGradientArray.clear();
  g.HotGlowColor = 0;
  g.HotGlowSize = 0;
}

// Reads of one key into a record field: integers (converted as a colour when inherited, or
// always when asked), bytes, flags and texts. A key that is not given leaves the field.
struct TFieldReader {
  TKeySource& Keys;
  const TsLoadSettings& Settings;
  void Integer(const char* key, std::int32_t& field, bool alwaysColor = false) {
    std::int32_t v;
    bool converted = false;
    if (Keys.Int(key, v, converted)) field = (converted || alwaysColor) ? SystemColor(Settings, v) : v;
  }
  void SmallInt(const char* key, std::uint8_t& field) {
    std::int32_t v = field;
    Integer(key, v);
    field = static_cast<std::uint8_t>(v);
  }
  void Flag(const char* key, bool& field) {
    std::string v;
    if (Keys.Text(key, v)) field = IsTrue(v);
  }
  void Text(const char* key, std::string& field) {
    std::string v;
    if (Keys.Text(key, v)) field = v;
  }
};

void FillHotFields(TsGeneralData& g, TKeySource& keys, const TsLoadSettings& s) {
  TFieldReader r{keys, s};
  r.Integer("HOTFONTCOLOR", g.HotFontColor[0]);
  r.Integer("HOTTCLEFT", g.HotFontColor[1]);
  r.Integer("HOTTCTOP", g.HotFontColor[2]);
  r.Integer("HOTTCRIGHT", g.HotFontColor[3]);
  r.Integer("HOTTCBOTTOM", g.HotFontColor[4]);
  r.Integer("HGCOL", g.HotGlowColor, true);
  r.SmallInt("HGSIZE", g.HotGlowSize);
  r.Integer("HOTCOLOR", g.HotColor);
  r.Integer("HOTTRANSPARENCY", g.HotTransparency);
  r.Integer("HOTGRADIENTPERCENT", g.HotGradientPercent);
  r.Text("HOTGRADIENTDATA", g.HotGradientData);
  ParseGradient(g.HotGradientData, g.HotGradientPercent, g.HotGradientArray);
  r.Integer("HOTIMAGEPERCENT", g.HotImagePercent);
}

// Fills `g` from `keys` in the reading order of the section keys.
void FillRecord(TsGeneralData& g, TKeySource& keys, const TsLoadSettings& s) {
  TFieldReader r{keys, s};
  r.Text("PARENTCLASS", g.ParentClass);
  r.Integer("COLOR", g.Color, true);
  r.Flag("RESERVEDBOOLEAN", g.ReservedBoolean);
  r.Flag("GIVEOWNFONT", g.GiveOwnFont);
  r.Integer("GLOW", g.GlowCount);
  r.Integer("GLOWMARGIN", g.GlowMargin);
  r.Integer("FONTCOLOR", g.FontColor[0]);
  r.Integer("TCLEFT", g.FontColor[1]);
  r.Integer("TCTOP", g.FontColor[2]);
  r.Integer("TCRIGHT", g.FontColor[3]);
  r.Integer("TCBOTTOM", g.FontColor[4]);
  r.Integer("TRANSPARENCY", g.Transparency);
  r.Integer("GRADIENTPERCENT", g.GradientPercent);
  r.Integer("IMAGEPERCENT", g.ImagePercent);
  r.Text("GRADIENTDATA", g.GradientData);
  ParseGradient(g.GradientData, g.GradientPercent, g.GradientArray);
  r.Flag("SHOWFOCUS", g.ShowFocus);
  r.Flag("FADINGENABLED", g.FadingEnabled);
  r.Integer("FADINGITERATIONS", g.FadingIterations);
  r.Integer("GCOL", g.GlowColor, true);
  r.SmallInt("GSIZE", g.GlowSize);
  r.Integer("STATES", g.States);
  if (g.States < 2)
    ClearHotFields(g);
  else
    FillHotFields(g, keys, s);
  CopyStates(g);
}

void ReadGlobalInfo(TCustomIniFile& ini, const TsLoadSettings& s, TsSkinData& d) {
  auto number = [&](const char* key, const char* def) { return StrToInt(Trim(ini.ReadString(GlobalInfo, key, def))); };
  auto integer = [&](const char* key, std::int32_t def) { return ini.ReadInteger(GlobalInfo, key, def); };
  d.Version = ReadVersion(ini);
  d.Author = ini.ReadString(GlobalInfo, "AUTHOR", "");
  d.Description = ini.ReadString(GlobalInfo, "DESCRIPTION", "");
  // The extended frame's sizes make windows and bitmaps: kept within 0-255 whatever the text says.
  const auto frameSize = [&](const char* key, std::int32_t def) { return ClampSkinFrameSize(integer(key, def)); };
  d.ExBorderWidth = frameSize("BORDERWIDTH", 4);
  d.ExTitleHeight = frameSize("TITLEHEIGHT", 30);
  d.ExMaxHeight = frameSize("MAXHEIGHT", 0);
  if (d.ExMaxHeight == 0) d.ExMaxHeight = d.ExTitleHeight;
  d.ExContentOffs = frameSize("FORMOFFSET", s.FrameWidth);
  d.ExShadowOffs = frameSize("ALIGNOFFSET", 0);
  d.ExCenterOffs = integer("CENTEROFFSET", 0);
  d.ExDrawMode = integer("BORDERMODE", 0);
  d.Shadow1Color = integer("SHADOW1COLOR", 0);
  d.Shadow1Offset = number("SHADOW1OFFSET", "0");
  d.Shadow1Blur = number("SHADOW1BLUR", "-1");
  d.Shadow1Transparency = number("SHADOW1TRANSPARENCY", "0");
  d.BISpacing = integer("BISPACE", 0);
  d.BIVAlign = integer("BIVALIGN", 0);
  d.BIRightMargin = integer("BIRIGHT", 0);
  d.BILeftMargin = integer("BILEFT", 0);
  d.BITopMargin = integer("BITOP", 0);
  d.BorderColor = integer("BORDERCOLOR", 0);
  d.BIKeepHUE = integer("BIKEEPHUE", 0);
  d.BICloseGlow = number("BICONCLOSEGLOW", "0");
  d.BICloseGlowMargin = number("BICONCLOSEGLOWMARGIN", "0");
  d.BIMaxGlow = number("BICONMAXGLOW", "0");
  d.BIMaxGlowMargin = number("BICONMAXGLOWMARGIN", "0");
  d.BIMinGlow = number("BICONMINGLOW", "0");
  d.BIMinGlowMargin = number("BICONMINGLOWMARGIN", "0");
  d.UseAeroBluring = integer("AEROBLUR", 0) != 0;
  d.ExShadowColor = integer("EXTSHADOW", 0);
}

void MergeCommonSections(TsGeneralDataArray& records, const TsLoadSettings& s) {
  std::unique_ptr<TMemIniFile> common = CommonIni(s);
  if (!common) return;
  for (const std::string& section : SectionNames(*common)) {
    auto byName = [&](const std::string& name) {
      return std::find_if(records.begin(), records.end(), [&](const TsGeneralData& g) { return g.ClassName == name; });
    };
    auto existing = byName(section);
    TsGeneralData g;
    if (existing != records.end()) {
      g = *existing;
    } else {
      auto parent = byName(UpperCase(common->ReadString(section, "PARENTCLASS", "-1")));
      g = parent != records.end() ? *parent : DefaultRecord();
    }
    g.ClassName = section;
    TCommonKeys keys(*common, section);
    FillRecord(g, keys, s);
    existing = byName(section);
    if (existing != records.end())
      *existing = std::move(g);
    else
      records.push_back(std::move(g));
  }
}

// ---------------------------------------------------------------------------------------------
// Hue and saturation.

void ShiftGradient(TsGradientArray& stops, const std::function<TColor(TColor)>& f) {
  for (auto& stop : stops) {
    stop.Color1 = f(stop.Color1);
    stop.Color2 = f(stop.Color2);
  }
}

// The caption-button regions of the master bitmap that keep their hue, with their pixels.
struct TKeptRegion {
  TRect R;
  std::vector<std::uint32_t> Pixels;
};

std::vector<std::string> HueKeptKeys(std::int32_t keepHue) {
  if (keepHue == 0) return {};
  std::vector<std::string> keys{"BICONCLOSE", "SICONCLOSE"};
  if (keepHue == 1)
    for (const char* k : {"BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONMAX", "SICONMIN", "SICONNORM"})
      keys.emplace_back(k);
  return keys;
}

void ApplyHue(TsLoadedSkin& skin, TsSkinImageHost& images, int offset) {
  TsSkinTables& t = skin.Tables;
  const TlxPixelBuffer master = images.Pixels(skin.MasterBitmap.get());
  std::vector<TKeptRegion> kept;
  std::set<const TsMaskData*> keptOwn;
  const int gi = FindSectionIndex(&t, GlobalInfo);
  for (const std::string& key : HueKeptKeys(t.SkinData.BIKeepHUE)) {
    const int i = FindMaskEntry(&t, gi, GlobalInfo, key);
    if (!MaskIndexInRange(&t, i)) continue;
    const TsMaskData& m = t.MaskData[static_cast<std::size_t>(i)];
    if (m.Bmp) {
      keptOwn.insert(&m);
      continue;
    }
    if (master.Empty() || !SaneRect(m.R)) continue;
    TKeptRegion k{ClipRectTo(m.R, master), {}};
    for (int y = k.R.Top; y < k.R.Bottom; ++y)
      for (int x = k.R.Left; x < k.R.Right; ++x) k.Pixels.push_back(GetPix(master, x, y));
    kept.push_back(std::move(k));
  }
  if (!master.Empty()) HueShiftBitmap(master, offset);
  for (TsMaskData& m : t.MaskData)
    if (m.Bmp && keptOwn.count(&m) == 0) HueShiftBitmap(images.Pixels(m.Bmp.get()), offset);
  for (const TKeptRegion& k : kept) {
    std::size_t n = 0;
    for (int y = k.R.Top; y < k.R.Bottom; ++y)
      for (int x = k.R.Left; x < k.R.Right; ++x) SetPix(master, x, y, k.Pixels[n++]);
  }
  const std::function<TColor(TColor)> f = [offset](TColor c) { return ApplyHueOffset(offset, c); };
  for (TsGeneralData& g : t.GeneralData) {
    g.Color = f(g.Color);
    g.HotColor = f(g.HotColor);
    g.GlowColor = f(g.GlowColor);
    g.HotGlowColor = f(g.HotGlowColor);
    for (int i = 0; i < 5; ++i) {
      g.FontColor[i] = f(g.FontColor[i]);
      g.HotFontColor[i] = f(g.HotFontColor[i]);
    }
    ShiftGradient(g.GradientArray, f);
    ShiftGradient(g.HotGradientArray, f);
    // The states are copies of the plain fields: they follow, gradients included, so that
    // painting (which reads the states) shows the shifted skin.
    CopyStates(g);
  }
  t.SkinData.Shadow1Color = f(t.SkinData.Shadow1Color);
  t.SkinData.BorderColor = f(t.SkinData.BorderColor);
}

void ApplySaturation(TsLoadedSkin& skin, TsSkinImageHost& images, int amount) {
  TsSkinTables& t = skin.Tables;
  const TlxPixelBuffer master = images.Pixels(skin.MasterBitmap.get());
  if (!master.Empty()) SaturateBitmap(master, amount);
  for (TsMaskData& m : t.MaskData)
    if (m.Bmp) SaturateBitmap(images.Pixels(m.Bmp.get()), amount);
  for (TsGeneralData& g : t.GeneralData) {
    g.Color = ApplyColorSaturation(g.Color, amount);
    g.HotColor = ApplyColorSaturation(g.HotColor, amount);
    for (int i = 0; i < 5; ++i) {
      g.FontColor[i] = ApplyColorSaturation(g.FontColor[i], amount);
      g.HotFontColor[i] = ApplyColorSaturation(g.HotFontColor[i], amount);
    }
    CopyStates(g);
  }
}

}  // namespace

void LoadSections(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
                  TsLoadedSkin& skin) {
  TsSkinTables& t = skin.Tables;
  t.SkinData.SkinPath = source.SkinPath;
  if (source.Ini == nullptr) return;
  TCustomIniFile& ini = *source.Ini;
  ReadGlobalInfo(ini, settings, t.SkinData);
  if (settings.OnSkinVersion) settings.OnSkinVersion(t.SkinData.Version);

  t.GeneralData.clear();
  for (const std::string& section : SectionNames(ini)) {
    TsGeneralData g = DefaultRecord();
    g.ClassName = section;
    TInheritedKeys keys(ini, section);
    FillRecord(g, keys, settings);
    // The parent is the section's own word, never inherited.
    g.ParentClass = ini.ReadString(section, "PARENTCLASS", "");
    t.GeneralData.push_back(std::move(g));
  }
  MergeCommonSections(t.GeneralData, settings);

  for (std::size_t i = 0; i < t.GeneralData.size(); ++i) {
    TsGeneralData& g = t.GeneralData[i];
    if (g.ClassName == GlobalInfo) continue;
    const int si = static_cast<int>(i);
    g.BorderIndex = FindMaskEntry(&t, si, g.ClassName, "BORDERSMASK");
    g.ImgTL = FindMaskEntry(&t, si, g.ClassName, "IMGTOPLEFT");
    g.ImgTR = FindMaskEntry(&t, si, g.ClassName, "IMGTOPRIGHT");
    g.ImgBL = FindMaskEntry(&t, si, g.ClassName, "IMGBTMLEFT");
    g.ImgBR = FindMaskEntry(&t, si, g.ClassName, "IMGBTMRIGHT");
    g.TextureIndex = FindTextureEntry(&t, si, g.ClassName, "PATTERN");
  }

  if (settings.HueOffset != 0) ApplyHue(skin, images, settings.HueOffset);
  const int saturation = settings.Saturation % 101;
  if (saturation != 0) ApplySaturation(skin, images, saturation);
}

void LoadSkin(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
              TsLoadedSkin& skin) {
  LoadMasks(source, settings, images, skin);
  LoadPatterns(source, settings, images, skin);
  LoadSections(source, settings, images, skin);
  CacheCommonIndexes(&skin.Tables);
}

// ---------------------------------------------------------------------------------------------
std::unique_ptr<TMemIniFile> SkinIniFromText(const std::string& text) {
  auto ini = std::make_unique<TMemIniFile>();
  ini->SetCaseSensitive(true);
  TStringList lines;
  lines.SetText(text);
  ini->SetStrings(lines);
  return ini;
}

namespace {

// The options text of an unpacked skin as its ini.
void ReadPackedOptions(TsSkinFiles& out) {
  if (!out.Packed || out.Packed->Options() == nullptr) throw Exception("Loaded data is not a packed Tessel file");
  const std::uint8_t* bytes = out.Packed->Options()->Memory();
  out.Ini = SkinIniFromText(std::string(bytes, bytes + out.Packed->Options()->Size()));
}

}  // namespace

void OpenPackedSkinData(TStream& data, TsSkinFiles& out) {
  out = TsSkinFiles{};
  ExtractPackedSkinFrom(data, out.Packed);
  ReadPackedOptions(out);
}

void OpenSkinFiles(const std::string& path, TsSkinFiles& out) {
  out = TsSkinFiles{};
  std::error_code ec;
  if (UpperCase(ExtractFileExt(path)) == ".TEZ" && std::filesystem::is_regular_file(path, ec)) {
    LoadPackedSkinFile(path, out.Packed, true);
    ReadPackedOptions(out);
    out.SkinPath = ExtractFilePath(path);
    return;
  }
  const std::string folder = IncludeTrailingPathDelimiter(path);
  TBytes text;
  if (!std::filesystem::is_directory(path, ec) || !ReadWholeFile(folder + "Options.dat", text))
    throw Exception("Skin not found: " + path);
  out.Ini = SkinIniFromText(std::string(text.begin(), text.end()));
  out.SkinPath = folder;
}
