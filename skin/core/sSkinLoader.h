// The skin options text turned into the tables of one skin: LoadMasks (images and their cut-up
// rules), LoadPatterns (textures) and LoadSections (the skin-wide values and one record per
// section, the common sections merged in, hue and saturation applied), in that order, then the
// common index cache. Window-free: images are made by a TsSkinImageHost (sSkinImages.h);
// system colours and the frame width come in through the settings.
//
// The loaders fill a TsLoadedSkin the caller made for this load (new tables and a new master
// bitmap), so a skin in use is never touched: swap the result in only when the load returned.
// On a raise the half-filled result is the caller's to throw away. Errors raised: EConvertError
// for numbers of the fixed-column forms and of GLOBALINFO's shadow and glow values that are
// not numbers (and the "#" form's border width and draw mode); EInvalidGraphic and the PNG
// reader's exceptions for damaged images; EFOpenError/EReadError for files that cannot be read.
// Missing image files are skipped, never an error.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/base/IniFiles.h"
#include "framework/base/Types.h"
#include "skin/core/lxSkinConvertor.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sSkinImages.h"

class TsSkinManager;

// Where the text and images of a skin come from. Borrowed for the load.
struct TsSkinSource {
  // The options text, sections and keys case-sensitive. None: nothing is loaded.
  TCustomIniFile* Ini = nullptr;
  // The unpacked packed skin (".tez" or a stored skin's data) whose images are used; null: image
  // names are files, taken relative to SkinPath when they hold no ":".
  const TlxSkinConvertor* Packed = nullptr;
  // Folder of the images with a trailing delimiter; empty for stored skins. Copied into
  // TsSkinData::SkinPath.
  std::string SkinPath;
};

// What the manager's properties and the system add to a load.
struct TsLoadSettings {
  TsSkinManager* Owner = nullptr;   // recorded as every mask entry's owner
  std::string CommonSections;       // the manager's CommonSections text (lines), merged over the skin
  int HueOffset = 0;                // degrees; 0 leaves colours as they are
  int Saturation = 0;               // taken modulo 101; 0 leaves colours as they are
  // A system colour value (negative, not -1) to RGB; null: a fixed table of the usual scheme.
  // The Windows side passes the framework's ColorToRGB.
  std::function<TColor(TColor)> SystemColorToRGB;
  int FrameWidth = 4;               // the system frame width, default of "FORMOFFSET"
  // Largest picture decoded (pixels); larger ones raise EInvalidGraphic. At most
  // MaxSkinImagePixels.
  std::uint64_t MaxImagePixels = MaxSkinImagePixels;
  // Called once by LoadSections with the skin's "VERSION" (the manager's WarnOnSkinVersion);
  // may raise to end the load.
  std::function<void(double version)> OnSkinVersion;
};

// The result of one load: the tables and the master bitmap (null when the skin has none; made
// by the image host). Owns both.
struct TsLoadedSkin {
  TsSkinTables Tables;
  std::unique_ptr<TObject> MasterBitmap;
};

// Frees the masks and master bitmap, then reads every image value of the text (and the "#" and
// ".BMP" values of CommonSections) into mask entries.
void LoadMasks(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
               TsLoadedSkin& skin);
// Frees the textures, then reads every ".JPG"/".JPEG" value: pictures up to 899,999 pixels
// become mask entries of image type 1, larger ones texture entries; those of CommonSections
// always texture entries.
void LoadPatterns(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
                  TsLoadedSkin& skin);
// Reads GLOBALINFO into the skin data (calls OnSkinVersion), one record per section with
// "PARENTCLASS" inheritance, merges CommonSections, caches each section's mask and texture
// indexes, then applies the hue offset and the saturation to colours and images.
void LoadSections(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
                  TsLoadedSkin& skin);
// LoadMasks, LoadPatterns, LoadSections and CacheCommonIndexes into `skin` (made new by the
// caller). Raises as the three loaders.
void LoadSkin(const TsSkinSource& source, const TsLoadSettings& settings, TsSkinImageHost& images,
              TsLoadedSkin& skin);

// A case-sensitive in-memory ini of skin text (lines end in LF or CR LF). The caller owns it.
std::unique_ptr<TMemIniFile> SkinIniFromText(const std::string& text);

// A skin opened from disk for the tools and tests: a folder holding "Options.dat", or a ".tez"
// file (unpacked). Owns the ini and the unpacked skin; Source() borrows them.
struct TsSkinFiles {
  std::unique_ptr<TMemIniFile> Ini;
  std::unique_ptr<TlxSkinConvertor> Packed;
  std::string SkinPath;
  TsSkinSource Source() const { return TsSkinSource{Ini.get(), Packed.get(), SkinPath}; }
};
// Opens `path` (a ".tez" file or a skin folder). Raises Exception naming the path when neither
// exists, and as ExtractPackedSkin for a damaged packed skin.
void OpenSkinFiles(const std::string& path, TsSkinFiles& out);
// Unpacks a stored skin's data (lent: it stays the caller's) into `out`, with an empty skin
// path. Raises as ExtractPackedSkin; "Loaded data is not a packed Tessel file" also for data
// without an options text.
void OpenPackedSkinData(TStream& data, TsSkinFiles& out);
