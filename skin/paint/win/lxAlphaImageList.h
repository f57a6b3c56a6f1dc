// The alpha image list: for now a stand-in that keeps its images' source files (PNG or ICO
// data, stored with the form as the items' "ImgData") and fills the framework's 32-bit system
// image list from them through the PNG picture class, so that the images keep their alpha.
// Images are drawn by the system image list until the full alpha image list arrives. Owns its
// items and (through the framework list) the system image list.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/win/ImgList.h"

enum TsImageFormat { ifPNG, ifICO };

class TsImgListItem : public TCollectionItem {
  ORBEX_CLASS(TsImgListItem, TCollectionItem)
public:
  explicit TsImgListItem(TCollection* collection) : TCollectionItem(collection) {}
  TsImageFormat ImageFormat = ifPNG;
  // The whole PNG or ICO file.
  std::vector<std::uint8_t> Data;
  // The decoded image's size, known once the list was generated.
  int DecodedWidth = 0;
  int DecodedHeight = 0;
  void Assign(TPersistent* source) override;
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
  TsImgListItems* Items() const { return FItems.get(); }
  // Rebuilds the system list from Items. An item whose data cannot be decoded raises
  // EInvalidGraphic (or the PNG reader's error) naming its index; the list then holds the
  // images before it.
  void GenerateStdList();
  // The framework's own image stream is not used: the images persist only through Items.
  void ReadData(TStream&) override {}
  void WriteData(TStream&) override {}
  void Loaded() override;

private:
  std::unique_ptr<TsImgListItems> FItems;
};

// Start-up step of the unit: registers TsAlphaImageList for stored forms.
void InitAlphaImageListUnit();
