// The alpha image list, its drawing routines and the unit's global list: see
// lxAlphaImageList.h.
//
// Sections: items; the list (generation, images, drawing, assignment, change); drawing into
// bitmaps and DCs; start-up.
#include "skin/paint/win/lxAlphaImageList.h"

#include "framework/base/TypInfo.h"

#include <cstring>

#include "framework/base/SysUtils.h"
#include "framework/base/win/ResourceStream.h"
#include "framework/win/WinTypes.h"
#include "skin/paint/lxAlphaImageListCore.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

namespace {

// Systems before version 6 with a screen below 32 bits give icons' colour bitmaps no alpha.
bool IconsLoseAlpha() {
  const DWORD major = LOBYTE(LOWORD(::GetVersion()));
  return major < 6 && BitsPerPixelOf() < 32;
}

bool IsNTPlatform() { return (::GetVersion() & 0x80000000u) == 0; }

// A new 32-bit bitmap with the pixels of a 32-bit one.
std::unique_ptr<TBitmap> Copy32(TBitmap* source) {
  auto copy = CreateBitmap32(source->GetWidth(), source->GetHeight());
  const TlxPixelBuffer from = BitmapPixels(source), to = BitmapPixels(copy.get());
  for (int y = 0; y < from.Height; ++y) std::memcpy(to.Row(y), from.Row(y), std::size_t(from.Width) * 4);
  return copy;
}

// The colour and mask bitmaps of an icon, owned.
struct TIconBitmaps {
  TOwnedBitmap Color;
  TOwnedBitmap Mask;
};
TIconBitmaps BitmapsOf(const TOwnedIcon& icon) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon.Get(), &info)) return {};
  return TIconBitmaps{TOwnedBitmap(info.hbmColor), TOwnedBitmap(info.hbmMask)};
}

// Image `index` of a system list as a new 32-bit bitmap of width x height (its colour
// bitmap, cut or padded to that size); null when the list gives no icon.
std::unique_ptr<TBitmap> SystemListImage(HIMAGELIST list, int index, int width, int height) {
  TIconBitmaps bitmaps = BitmapsOf(TOwnedIcon(::ImageList_GetIcon(list, index, 0)));
  if (!bitmaps.Color) return nullptr;
  auto image = std::make_unique<TBitmap>();
  image->SetHandle(bitmaps.Color.Release());
  image->SetHandleType(TBitmapHandleType::bmDIB);
  image->SetPixelFormat(TPixelFormat::pf32bit);
  image->SetSize(width, height);
  if (IconsLoseAlpha()) FixAlpha(image.get());
  return image;
}

// Paints into a 32-bit work bitmap that holds the DC's w x h area at (x, y), and puts the
// result back there.
template <class F>
void ThroughWorkBitmap(HDC dc, int x, int y, int w, int h, F paint) {
  const auto work = CreateBitmap32(w, h);
  ::BitBlt(work->Canvas()->GetHandle(), 0, 0, w, h, dc, x, y, SRCCOPY);
  paint(work.get());
  ::BitBlt(dc, x, y, w, h, work->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// Adds an item's icon at the end of the list. Raises when the system refuses it, since the
// images would no longer stand at their items' indexes.
void AppendIcon(HIMAGELIST list, HICON icon) {
  if (icon == nullptr || ::ImageList_ReplaceIcon(list, -1, icon) < 0)
    throw EOutOfResources("the system image list did not take the image");
}

TColor FromColorRef(COLORREF c) {
  if (c == CLR_NONE) return clNone;
  if (c == CLR_DEFAULT) return clDefault;
  return static_cast<TColor>(c);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Items

ORBEX_IMPLEMENT_PUBLISHED(TsImgListItem, TCollectionItem, nullptr)

void TsImgListItem::PublishProperties(TPublisher<TsImgListItem>& P) {
  P.Enum("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::ImageFormat, {"ifPNG", "ifICO"});
  P.Enum("PixelFormat", &TsImgListItem::PixelFormat, &TsImgListItem::PixelFormat,
         {"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit", "pf16bit", "pf24bit", "pf32bit", "pfCustom"})
      .Default(static_cast<int>(TPixelFormat::pf32bit));
  P.Binary(
      "ImgData",
      [](TsImgListItem& it, TStream& s) {
        const std::int64_t n = s.Size() - s.Position();
        it.Data.assign(static_cast<size_t>(n > 0 ? n : 0), 0);
        if (!it.Data.empty()) s.ReadBuffer(it.Data.data(), static_cast<std::int64_t>(it.Data.size()));
      },
      [](TsImgListItem& it, TStream& s) {
        if (!it.Data.empty()) s.WriteBuffer(it.Data.data(), static_cast<std::int64_t>(it.Data.size()));
      },
      [](TsImgListItem&) { return true; });
}

TsImgListItem::TsImgListItem(TCollection* collection) : TCollectionItem(collection) {}

TsImgListItem::~TsImgListItem() = default;

void TsImgListItem::CopyFrom(const TsImgListItem& source) {
  ImageFormat = source.ImageFormat;
  PixelFormat = source.PixelFormat;
  DecodedWidth = source.DecodedWidth;
  DecodedHeight = source.DecodedHeight;
  Data = source.Data;
  FCacheBmp.reset();   // the cache belonged to the old data
}

void TsImgListItem::Assign(TPersistent* source) {
  if (auto* s = As<TsImgListItem>(source)) CopyFrom(*s);
  else TCollectionItem::Assign(source);
}

void TsImgListItem::AssignTo(TPersistent* dest) {
  if (auto* d = As<TsImgListItem>(dest)) d->CopyFrom(*this);
  else TCollectionItem::AssignTo(dest);
}

ORBEX_IMPLEMENT_CLASS(TsImgListItems, TCollection, nullptr)

TsImgListItems::TsImgListItems(TsAlphaImageList* owner)
    : TCollection(&TsImgListItem::StaticClassInfo(), [](TCollection* c) { return new TsImgListItem(c); }, owner) {}

// ---------------------------------------------------------------------------------------------
// The list

ORBEX_IMPLEMENT_PUBLISHED(TsAlphaImageList, TImageList, &CreateComponentOf<TsAlphaImageList>)

void TsAlphaImageList::PublishProperties(TPublisher<TsAlphaImageList>& P) {
  P.Color("BkColor", &TsAlphaImageList::GetBkColor, &TsAlphaImageList::SetBkColor).Default(clNone);
  P.Object("Items", &TsAlphaImageList::Items, &TsAlphaImageList::SetItems);
}

TsAlphaImageList::TsAlphaImageList(TComponent* AOwner)
    : TImageList(AOwner), FItems(std::make_unique<TsImgListItems>(this)) {}

TsAlphaImageList::~TsAlphaImageList() = default;

void TsAlphaImageList::AfterConstruction() {
  TImageList::AfterConstruction();
  if (IsLoading()) return;
  GetHandle();
  if (!FGenerated) GenerateStdList();
}

void TsAlphaImageList::Loaded() {
  TImageList::Loaded();
  GetHandle();
  if (!FGenerated) {
    GenerateStdList();
    FGenerated = true;
  }
}

void TsAlphaImageList::SetItems(TsImgListItems* value) { FItems->Assign(value); }

TColor TsAlphaImageList::GetBkColor() const {
  return FStoredBkColor == clNone ? TCustomImageList::GetBkColor() : FStoredBkColor;
}

void TsAlphaImageList::SetBkColor(TColor c) {
  FStoredBkColor = c;
  TCustomImageList::SetBkColor(c);
}

bool TsAlphaImageList::KeepsSourceData() const { return FKeepSourceData || (ComponentState() & csDesigning) != 0; }

void TsAlphaImageList::GenerateStdList() {
  if (!HandleAllocated()) return;
  const HIMAGELIST list = GetHandle();
  // Put back on every way out: a failed decode must not leave the list deaf to changes.
  const TFlagScope changing(FChanging);
  ::ImageList_Remove(list, -1);
  for (int i = 0; i < FItems->Count(); ++i) {
    TsImgListItem* it = FItems->Items(i);
    try {
      TReadOnlyMemoryStream s(it->Data.data(), static_cast<std::int64_t>(it->Data.size()));
      if (it->ImageFormat == ifICO) {
        TIcon icon;
        icon.LoadFromStream(s);
        it->DecodedWidth = icon.GetWidth();
        it->DecodedHeight = icon.GetHeight();
        AppendIcon(list, icon.GetHandle());
        continue;
      }
      TPNGGraphic png;
      png.LoadFromStream(s);
      it->DecodedWidth = png.GetWidth();
      it->DecodedHeight = png.GetHeight();
      const TOwnedIcon icon = IsNTPlatform() ? BitmapToIcon(&png, static_cast<TColor>(::ImageList_GetBkColor(list) & 0xFFFFFF))
                                             : png.MakeIcon(false);
      AppendIcon(list, icon.Get());
    } catch (Exception& e) {
      e.SetMessage(Format("Image %d of %s: %s", i, Name().empty() ? "an alpha image list" : Name().c_str(),
                          e.Message().c_str()));
      throw;
    }
  }
  if (FItems->Count() > 0) FGenerated = true;
}

TBitmap* TsAlphaImageList::ItemImage(int index, int width, int height) {
  if (!KeepsSourceData() || index >= FItems->Count()) return nullptr;
  TsImgListItem* it = FItems->Items(index);
  if (it->ImageFormat != ifPNG || it->Data.empty()) return nullptr;
  std::unique_ptr<TBitmap>& cache = it->FCacheBmp;
  if (cache && cache->GetWidth() == width && cache->GetHeight() == height) return cache.get();
  cache.reset();
  auto png = std::make_unique<TPNGGraphic>();
  TReadOnlyMemoryStream s(it->Data.data(), static_cast<std::int64_t>(it->Data.size()));
  png->LoadFromStream(s);
  if (png->GetPixelFormat() != TPixelFormat::pf32bit) {
    png->SetPixelFormat(TPixelFormat::pf32bit);
    FixAlpha(png.get());
  }
  // Only a request at the image's own size is served unscaled; any other size is resampled,
  // even when the image has the list's size.
  if (png->GetWidth() == width && png->GetHeight() == height) {
    cache = std::move(png);
  } else {
    cache = CreateBitmap32(width, height);
    SmoothStretch(png.get(), cache.get(), width, height, 6);
  }
  return cache.get();
}

std::unique_ptr<TBitmap> TsAlphaImageList::CreateImageBitmap(int index, int width, int height) {
  std::unique_ptr<TBitmap> owned;
  TBitmap* image = ImageForDraw(index, width, height, owned);
  if (owned == nullptr && image != nullptr) return Copy32(image);
  return owned;
}

TBitmap* TsAlphaImageList::ImageForDraw(int index, int width, int height, std::unique_ptr<TBitmap>& owned) {
  // The item's cached image is blended as it is: one draw needs no copy of it.
  if (!HandleAllocated() || index < 0 || index >= Count() || width < 1 || height < 1) return nullptr;
  if (TBitmap* image = ItemImage(index, width, height)) return image;
  owned = SystemListImage(GetHandle(), index, width, height);
  return owned.get();
}

void TsAlphaImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT /*style*/, bool /*enabled*/) {
  if (!HandleAllocated() || index < 0 || canvas == nullptr) return;
  const HIMAGELIST list = GetHandle();
  const int w = GetWidth(), h = GetHeight();
  const HDC dc = canvas->GetHandle();
  if (index >= FItems->Count() || FItems->Items(index)->ImageFormat == ifICO) {
    ::ImageList_SetBkColor(list, CLR_NONE);
    const TOwnedIcon icon(::ImageList_GetIcon(list, index, ILD_TRANSPARENT));
    if (icon) ::DrawIconEx(dc, x, y, icon.Get(), w, h, 0, nullptr, DI_NORMAL);
    return;
  }
  std::unique_ptr<TBitmap> owned;
  TBitmap* image = ImageForDraw(index, w, h, owned);
  if (image == nullptr) return;
  ThroughWorkBitmap(dc, x, y, w, h, [&](TBitmap* work) {
    const TRect all{0, 0, w, h};
    CopyWithAlpha(all, all, work, false, 0, clNone, false, FillImageSpec(work, 0, 0), image);
  });
}

// ---- assignment ----

void TsAlphaImageList::CopyFromList(TsAlphaImageList& source) {
  const TFlagScope changing(FChanging);
  // The old list goes before ShareImages is copied: a shared list would not let it go.
  SetHandle(nullptr);
  SetMasked(source.GetMasked());
  SetImageType(source.GetImageType());
  SetDrawingStyle(source.GetDrawingStyle());
  SetBlendColor(source.GetBlendColor());
  // The source's system list is made when it has none yet: its size and colour are read there.
  const HIMAGELIST from = source.GetHandle();
  int w = source.GetWidth(), h = source.GetHeight();
  ::ImageList_GetIconSize(from, &w, &h);
  SetSize(w, h);
  const HIMAGELIST list = GetHandle();
  SetBkColor(FromColorRef(::ImageList_GetBkColor(from)));
  ::ImageList_SetBkColor(from, CLR_NONE);
  if (KeepsSourceData()) {
    FItems->Assign(source.Items());
    GenerateStdList();
  } else {
    for (int i = 0; i < source.Count(); ++i) {
      const TOwnedIcon icon(::ImageList_GetIcon(from, i, ILD_TRANSPARENT));
      if (icon) ::ImageList_ReplaceIcon(list, -1, icon.Get());
    }
  }
  SetShareImages(source.GetShareImages());
}

void TsAlphaImageList::Assign(TPersistent* source) {
  if (auto* s = As<TsAlphaImageList>(source)) {
    if (s != this) CopyFromList(*s);
    return;
  }
  TImageList::Assign(source);
}

void TsAlphaImageList::AssignTo(TPersistent* dest) {
  if (auto* d = As<TsAlphaImageList>(dest)) {
    if (d != this) d->CopyFromList(*this);
    return;
  }
  TImageList::AssignTo(dest);
}

// ---- change ----

void TsAlphaImageList::Change() {
  if (FChanging || !HandleAllocated() || IsLoading() || !FGenerated) return;
  const bool designing = (ComponentState() & csDesigning) != 0;
  const int images = Count(), items = FItems->Count();
  if (!KeepsSourceData() || items < images || designing) TImageList::Change();
  if (designing || !KeepsSourceData() || items == images) return;
  if (items > images) {
    GenerateStdList();
    TImageList::Change();
    return;
  }
  RepairImagesWithoutAlpha();
}

// Images added through the framework's own methods come without alpha: all but their key
// pixels (0x00FF00FF) are made opaque, and each repaired image replaces itself.
void TsAlphaImageList::RepairImagesWithoutAlpha() {
  const TFlagScope changing(FChanging);
  const HIMAGELIST list = GetHandle();
  for (int i = 0; i < Count(); ++i) {
    TIconBitmaps bitmaps = BitmapsOf(TOwnedIcon(::ImageList_GetIcon(list, i, ILD_NORMAL)));
    if (!bitmaps.Color || !bitmaps.Mask) continue;
    TBitmap color;
    color.SetHandle(bitmaps.Color.Release());
    color.SetPixelFormat(TPixelFormat::pf32bit);
    if (!MakeOpaqueExceptKey(BitmapPixels(&color), KeyPixel)) continue;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color.GetHandle();
    info.hbmMask = bitmaps.Mask.Get();
    const TOwnedIcon repaired(::CreateIconIndirect(&info));
    if (repaired) ::ImageList_ReplaceIcon(list, i, repaired.Get());
  }
}

// ---------------------------------------------------------------------------------------------
// Drawing into bitmaps and DCs

void DrawAlphaImage(TCustomImageList* list, TBitmap* target, int x, TSize& size, bool reflected, int stateCount,
                    int state, int blendPercent, TColor tint, int index, int y) {
  if (list == nullptr || target == nullptr || target->GetWidth() == 0 || !list->HandleAllocated()) return;
  const int h = list->GetHeight();
  const TlxStateColumn column = StateColumn(list->GetWidth(), stateCount, state);
  size = TSize{column.Width, h};
  if (!SaneCoord(x) || !SaneCoord(y) || column.Width < 1) return;
  if (auto* alpha = As<TsAlphaImageList>(list)) {
    std::unique_ptr<TBitmap> owned;
    TBitmap* image = alpha->ImageForDraw(index, list->GetWidth(), h, owned);
    if (image == nullptr) return;
    const TRect dst{x, y, x + column.Width, y + h}, src{column.Left, 0, column.Left + column.Width, h};
    CopyWithAlpha(dst, src, target, reflected, blendPercent, tint, false, EmptyBackgroundInfo(), image);
    return;
  }
  ThroughWorkBitmap(target->Canvas()->GetHandle(), x, y, column.Width, h,
                    [&](TBitmap* work) { list->Draw(work->Canvas(), -column.Left, 0, index); });
}

void DrawAlphaImageToDC(TCustomImageList* list, HDC dc, int x, bool reflected, int stateCount, int state,
                        int blendPercent, TColor tint, int index, int y) {
  if (list == nullptr || dc == nullptr || !list->HandleAllocated()) return;
  const int h = list->GetHeight() + (reflected ? list->GetHeight() / 2 : 0);
  ThroughWorkBitmap(dc, x, y, list->GetWidth(), h, [&](TBitmap* work) {
    TSize size;
    DrawAlphaImage(list, work, 0, size, reflected, stateCount, state, blendPercent, tint, index, 0);
  });
}

void FixAlpha(TBitmap* bitmap) {
  if (bitmap == nullptr || bitmap->GetPixelFormat() != TPixelFormat::pf32bit) return;
  FixAlphaPixels(BitmapPixels(bitmap));
}

int BitsPerPixelOf() {
  const TWindowDC screen(nullptr);
  return ::GetDeviceCaps(screen.Get(), BITSPIXEL);
}

// ---------------------------------------------------------------------------------------------
// Start-up

namespace {
int UnitCount = 0;
std::unique_ptr<TsAlphaImageList> GlobalList;
}  // namespace

void InitAlphaImageListUnit() {
  if (UnitCount++ > 0) return;
  try {
    RegisterClassOf<TsAlphaImageList>();
    std::unique_ptr<TsAlphaImageList> list(NewComponent<TsAlphaImageList>(nullptr));
    list->SetSize(48, 16);
    for (const char* name : {"SF", "SR", "SD", "SE", "SC"}) {
      TResourceStream s(nullptr, name);
      TsImgListItem* it = list->Items()->Add();
      it->ImageFormat = ifPNG;
      it->PixelFormat = TPixelFormat::pf32bit;
      it->Data.assign(s.Memory(), s.Memory() + s.Size());
    }
    list->GetHandle();
    list->GenerateStdList();
    GlobalList = std::move(list);
  } catch (...) {
    UnitCount = 0;
    throw;
  }
}

void DoneAlphaImageListUnit() {
  if (UnitCount == 0 || --UnitCount > 0) return;
  GlobalList.reset();
}

TsAlphaImageList* GlobalAlphaImageList() { return GlobalList.get(); }
