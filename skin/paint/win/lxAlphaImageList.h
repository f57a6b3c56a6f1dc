// The alpha image list: an image list that keeps its images' source files (PNG or ICO data,
// stored with the form as the items' "ImgData") and builds the system image list with 32-bit
// colour from them, so that images with per-pixel alpha keep their soft edges; the drawing of
// one image (or one state of an image strip) with alpha into a bitmap or a DC; and the unit's
// global 48 x 16 list of five PNG resources, made at start-up.
//
// Ownership: a TsAlphaImageList owns its Items, each item its source data and its cached
// bitmap, and (through the framework's list) the system image list. Bitmaps returned by
// CreateImageBitmap belong to the caller. Window-free parts (the alpha repair, the state
// columns) are in skin/paint/lxAlphaImageListCore.h.
#pragma once

#include "framework/win/ImgList.h"

#include <cstdint>
#include <memory>
#include <vector>

enum TsImageFormat { ifPNG, ifICO };

class TsImgListItem : public TCollectionItem {
  ORBEX_CLASS(TsImgListItem, TCollectionItem)
public:
  explicit TsImgListItem(TCollection* collection);
  ~TsImgListItem() override;
  // From another item: format, pixel format, decoded size and data.
  void Assign(TPersistent* source) override;

  TsImageFormat ImageFormat = ifPNG;
  TPixelFormat PixelFormat = TPixelFormat::pf32bit;
  // The decoded image's size, known once the list was generated.
  int DecodedWidth = 0;
  int DecodedHeight = 0;
  // The whole PNG or ICO file.
  std::vector<std::uint8_t> Data;

  // The image at the size last asked of CreateImageBitmap (32-bit), or null.
  TBitmap* CachedBitmap() const { return FCacheBmp.get(); }

protected:
  void AssignTo(TPersistent* dest) override;

private:
  friend class TsAlphaImageList;
  std::unique_ptr<TBitmap> FCacheBmp;
  void CopyFrom(const TsImgListItem& source);
};

class TsAlphaImageList;

class TsImgListItems : public TCollection {
  ORBEX_CLASS(TsImgListItems, TCollection)
public:
  explicit TsImgListItems(TsAlphaImageList* owner);
  TsImgListItem* Items(int i) const { return static_cast<TsImgListItem*>(TCollection::Items(i)); }
  TsImgListItem* Add() { return static_cast<TsImgListItem*>(TCollection::Add()); }
};

class TsAlphaImageList : public TImageList {
  ORBEX_CLASS(TsAlphaImageList, TImageList)
public:
  explicit TsAlphaImageList(TComponent* AOwner);
  ~TsAlphaImageList() override;
  // Made at run time (not loading): the system list is made and generated from Items.
  void AfterConstruction() override;
  void Loaded() override;
  // From another TsAlphaImageList: its settings, size, background colour and images (its
  // items when source data is kept); from another class as the framework's image list.
  void Assign(TPersistent* source) override;

  TsImgListItems* Items() const { return FItems.get(); }
  void SetItems(TsImgListItems* value);
  // The colour set here, or the system list's while none was set (clNone).
  TColor GetBkColor() const;
  void SetBkColor(TColor c);
  bool KeepsSourceData() const;

  // Rebuilds the system list from Items (nothing without a system list). An item whose data
  // cannot be decoded raises the PNG reader's (or icon's) error, one the system list refuses
  // EOutOfResources, the message naming the item; the list then holds the images before it.
  void GenerateStdList();
  // A new 32-bit bitmap of image `index` at width x height, owned by the caller; null for a
  // bad index, a list without a system list or a size below 1. PNG items are drawn from their
  // source (decoded afresh at their own size, resampled otherwise, cached per item at the size
  // last asked); other images come from the system list. Decoding errors propagate.
  std::unique_ptr<TBitmap> CreateImageBitmap(int index, int width, int height);

  // The framework's own image stream is not used: the images persist only through Items.
  void ReadData(TStream&) override {}
  void WriteData(TStream&) override {}

protected:
  void AssignTo(TPersistent* dest) override;
  // Draws one image with its alpha over what the canvas shows; style and enabled are not used.
  void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) override;
  // Keeps the system list and Items in step: regenerates when Items outnumber the images, and
  // gives images added through the framework without alpha their shape.
  void Change() override;

private:
  std::unique_ptr<TsImgListItems> FItems;
  TColor FStoredBkColor = clNone;
  bool FGenerated = false;
  bool FChanging = false;
  bool FKeepSourceData = true;

  friend void DrawAlphaImage(TCustomImageList* list, TBitmap* target, int x, TSize& size, bool reflected,
                             int stateCount, int state, int blendPercent, TColor tint, int index, int y);
  void CopyFromList(TsAlphaImageList& source);
  // The item's image at width x height from its source, cached in the item; null when the
  // image is not a PNG item with data.
  TBitmap* ItemImage(int index, int width, int height);
  // The image for one draw: the item's cached image (borrowed) or one from the system list
  // (put into `owned`); null for a bad index or size, or when the system list gives none.
  TBitmap* ImageForDraw(int index, int width, int height, std::unique_ptr<TBitmap>& owned);
  void RepairImagesWithoutAlpha();
};

// Draws state `state` of image `index` of `list` into the 32-bit bitmap `target` at (x, y):
// the image holds `stateCount` states side by side (a count below 1 counts as 1; the state
// is limited to the last one). `size` receives the size of one state. A TsAlphaImageList
// image is blended by its alpha (reflected adds the fading mirror below; blendPercent and
// tint as CopyWithAlpha takes them, tint clNone for none); another list draws through the
// framework. Nothing for no list, a list without a system list or a target of width 0.
void DrawAlphaImage(TCustomImageList* list, TBitmap* target, int x, TSize& size, bool reflected, int stateCount,
                    int state, int blendPercent, TColor tint, int index, int y);
// The same onto a DC at (x, y), over the DC's area of the list's Width by its Height (and half
// as much again below when reflected).
void DrawAlphaImageToDC(TCustomImageList* list, HDC dc, int x, bool reflected, int stateCount, int state,
                        int blendPercent, TColor tint, int index, int y);
// Repairs a 32-bit bitmap without alpha: when no pixel has alpha, every pixel of another
// colour than the bottom-left one gets alpha 255. Other formats are left alone.
void FixAlpha(TBitmap* bitmap);
// Bits per pixel of the screen.
int BitsPerPixelOf();

// Start-up and shut-down of the unit (counted: only the first start and the last stop act):
// registers TsAlphaImageList for stored forms and builds the global 48 x 16 list from the
// program's PNG resources "SF", "SR", "SD", "SE" and "SC" (raising EResNotFound when one is
// missing); the shut-down frees that list.
void InitAlphaImageListUnit();
void DoneAlphaImageListUnit();
// The global list while the unit is started, else null.
TsAlphaImageList* GlobalAlphaImageList();
