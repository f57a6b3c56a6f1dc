// Stand-in alpha image list: items with their source files, generated into the system list
// (see lxAlphaImageList.h).
#include "skin/paint/win/lxAlphaImageList.h"

#include "framework/base/TypInfo.h"

#include <commctrl.h>

#include "framework/base/SysUtils.h"
#include "framework/win/WinTypes.h"
#include "skin/paint/win/lxPNGGraphic.h"

ORBEX_IMPLEMENT_PUBLISHED(TsImgListItem, TCollectionItem, nullptr)

void TsImgListItem::PublishProperties(TPublisher<TsImgListItem>& P) {
  P.Enum("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::ImageFormat,
         {"ifPNG", "ifICO"});
  P.Binary(
      "ImgData",
      [](TsImgListItem& it, TStream& s) {
        std::int64_t n = s.Size() - s.Position();
        it.Data.assign(static_cast<size_t>(n > 0 ? n : 0), 0);
        if (!it.Data.empty()) s.ReadBuffer(it.Data.data(), static_cast<std::int64_t>(it.Data.size()));
      },
      [](TsImgListItem& it, TStream& s) {
        if (!it.Data.empty()) s.WriteBuffer(it.Data.data(), static_cast<std::int64_t>(it.Data.size()));
      },
      [](TsImgListItem&) { return true; });
}

void TsImgListItem::Assign(TPersistent* source) {
  auto* s = As<TsImgListItem>(source);
  if (s == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  ImageFormat = s->ImageFormat;
  Data = s->Data;
  DecodedWidth = s->DecodedWidth;
  DecodedHeight = s->DecodedHeight;
}

ORBEX_IMPLEMENT_CLASS(TsImgListItems, TCollection, nullptr)

TsImgListItems::TsImgListItems(TsAlphaImageList* owner)
    : TCollection(&TsImgListItem::StaticClassInfo(),
                  [](TCollection* c) { return new TsImgListItem(c); }, owner) {}

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsAlphaImageList, TImageList, &CreateComponentOf<TsAlphaImageList>)

void TsAlphaImageList::PublishProperties(TPublisher<TsAlphaImageList>& P) {
  P.Object("Items", &TsAlphaImageList::Items);
}

TsAlphaImageList::TsAlphaImageList(TComponent* AOwner)
    : TImageList(AOwner), FItems(std::make_unique<TsImgListItems>(this)) {
  // Alpha decides what shows through; a mask would cut the soft edges.
  SetMasked(false);
}

TsAlphaImageList::~TsAlphaImageList() = default;

void TsAlphaImageList::Loaded() {
  TImageList::Loaded();
  GenerateStdList();
}

void TsAlphaImageList::GenerateStdList() {
  HIMAGELIST list = GetHandle();
  BeginUpdate();
  Clear();
  try {
    for (int i = 0; i < FItems->Count(); ++i) {
      TsImgListItem* it = FItems->Items(i);
      TReadOnlyMemoryStream s(it->Data.data(), static_cast<std::int64_t>(it->Data.size()));
      if (it->ImageFormat == ifICO) {
        TIcon icon;
        icon.LoadFromStream(s);
        it->DecodedWidth = icon.GetWidth();
        it->DecodedHeight = icon.GetHeight();
        if (ImageList_ReplaceIcon(list, -1, icon.GetHandle()) < 0)
          throw EInvalidGraphic(Format("Image %d could not be added to the image list", i));
        continue;
      }
      TPNGGraphic png;
      png.LoadFromStream(s);
      it->DecodedWidth = png.GetWidth();
      it->DecodedHeight = png.GetHeight();
      const TOwnedIcon icon = BitmapToIcon(&png, clBlack);
      if (!icon.Valid() || ImageList_ReplaceIcon(list, -1, icon.Get()) < 0)
        throw EInvalidGraphic(Format("Image %d could not be added to the image list", i));
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void InitAlphaImageListUnit() { RegisterClassOf<TsAlphaImageList>(); }
