// Image lists over comctl32: the owned HIMAGELIST, adding and drawing images, change links and
// the stored-form data of the images.
#include "framework/win/ImgList.h"

#include <algorithm>
#include <cstring>

#include "framework/base/TypInfo.h"

namespace {

COLORREF ToColorRef(TColor c) {
  if (c == clNone) return CLR_NONE;
  if (c == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(c));
}

// A monochrome mask of `image`: 1 (transparent) where the pixel has colour `key`.
std::unique_ptr<TBitmap> MakeMask(TBitmap* image, TColor key) {
  auto mask = std::make_unique<TBitmap>();
  TBitmap work;
  work.Assign(image);
  work.SetPixelFormat(TPixelFormat::pf32bit);
  mask->SetPixelFormat(TPixelFormat::pf1bit);   // an empty 1-bit bitmap is black and white
  mask->SetSize(image->GetWidth(), image->GetHeight());
  std::uint32_t k = static_cast<std::uint32_t>(ColorToRGB(key));
  std::uint32_t kp = ((k & 0xFF) << 16) | (k & 0xFF00) | ((k >> 16) & 0xFF);
  for (int y = 0; y < work.GetHeight(); ++y) {
    const auto* in = static_cast<const std::uint32_t*>(work.ScanLine(y));
    auto* out = static_cast<std::uint8_t*>(mask->ScanLine(y));
    for (int x = 0; x < work.GetWidth(); ++x) {
      if ((in[x] & 0xFFFFFF) == kp) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
  return mask;
}

// The list is given copies of the bitmaps (see Add); a copy of the mask, or none when there is
// no mask or it is empty.
std::unique_ptr<TBitmap> CopyOfMask(TBitmap* mask) {
  if (mask == nullptr || mask->Empty()) return nullptr;
  auto m = std::make_unique<TBitmap>();
  m->Assign(mask);
  return m;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Change link

TChangeLink::~TChangeLink() {
  if (FSender != nullptr) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---------------------------------------------------------------------------------------------
// Image list

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* l : FLinks) l->SetSender(nullptr);
  FLinks.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (FHandle != nullptr && !FShareImages) ::ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TCustomImageList::GetHandle() {
  if (FHandle == nullptr) {
    UINT flags = ILC_COLOR32 | (FMasked ? ILC_MASK : 0);
    FHandle = ::ImageList_Create(FWidth, FHeight, flags, 0, FAllocBy);
    if (FHandle == nullptr) {
      const DWORD code = ::GetLastError();
      RaiseWin32Error<EOutOfResources>("ImageList_Create", code);
    }
    if (FBkColor != clNone) ::ImageList_SetBkColor(FHandle, ToColorRef(FBkColor));
  }
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST h) {
  if (h == FHandle) return;
  FreeHandle();
  FHandle = h;
  if (h != nullptr) {
    int w = 0, hh = 0;
    if (::ImageList_GetIconSize(h, &w, &hh)) {
      FWidth = w;
      FHeight = hh;
    }
  }
  Change();
}

void TCustomImageList::Recreate() {
  FreeHandle();
  Change();   // the size of the images changed even when there were none yet
}

void TCustomImageList::SetWidth(int w) { SetSize(w, FHeight); }
void TCustomImageList::SetHeight(int h) { SetSize(FWidth, h); }

void TCustomImageList::SetSize(int w, int h) {
  if (w < 1 || h < 1 || w > MaxBitmapSide || h > MaxBitmapSide)
    throw EInvalidGraphicOperation(Format("Invalid image size %dx%d", w, h));
  if (w == FWidth && h == FHeight) return;
  FWidth = w;
  FHeight = h;
  Recreate();
}

void TCustomImageList::SetMasked(bool on) {
  if (SetAndCheck(FMasked, on)) Recreate();
}

TColor TCustomImageList::GetBkColor() const {
  if (FHandle == nullptr) return FBkColor;
  COLORREF c = ::ImageList_GetBkColor(FHandle);
  return c == CLR_NONE ? clNone : static_cast<TColor>(c);
}

void TCustomImageList::SetBkColor(TColor c) {
  FBkColor = c;
  if (FHandle != nullptr) ::ImageList_SetBkColor(FHandle, ToColorRef(c));
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle s) {
  if (SetAndCheck(FDrawingStyle, s)) Change();
}

int TCustomImageList::Count() const { return FHandle != nullptr ? ::ImageList_GetImageCount(FHandle) : 0; }

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (image == nullptr || image->Empty()) return -1;
  HIMAGELIST h = GetHandle();
  // The list copies the bitmaps; a bitmap selected into its canvas DC could not be read.
  TBitmap img;
  img.Assign(image);
  std::unique_ptr<TBitmap> m = CopyOfMask(mask);
  int first = ::ImageList_Add(h, img.GetHandle(), m ? m->GetHandle() : nullptr);
  if (first >= 0) Change();
  return first;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (image == nullptr || image->Empty()) return -1;
  std::unique_ptr<TBitmap> mask = MakeMask(image, maskColor);
  return Add(image, mask.get());
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (icon == nullptr || icon->Empty()) return -1;
  int i = ::ImageList_ReplaceIcon(GetHandle(), -1, icon->GetHandle());
  if (i >= 0) Change();
  return i;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index >= Count() || image == nullptr) return;
  TBitmap img;
  img.Assign(image);
  std::unique_ptr<TBitmap> m = CopyOfMask(mask);
  if (::ImageList_Replace(FHandle, index, img.GetHandle(), m ? m->GetHandle() : nullptr)) Change();
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  if (::ImageList_Remove(FHandle, index)) Change();
}

void TCustomImageList::Clear() {
  if (FHandle == nullptr || Count() == 0) return;
  ::ImageList_Remove(FHandle, -1);
  Change();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (image == nullptr || index < 0 || index >= Count()) return false;
  image->SetPixelFormat(TPixelFormat::pf24bit);
  image->SetSize(FWidth, FHeight);
  TCanvas* c = image->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, FWidth, FHeight));
  ::ImageList_Draw(FHandle, index, c->GetHandle(), 0, 0, ILD_NORMAL);
  return true;
}

bool TCustomImageList::GetIcon(int index, TIcon* icon) {
  if (icon == nullptr || index < 0 || index >= Count()) return false;
  HICON h = ::ImageList_GetIcon(FHandle, index, ILD_TRANSPARENT);
  if (h == nullptr) return false;
  icon->SetHandle(h);
  return true;
}

UINT TCustomImageList::DrawStyleFlags(TDrawingStyle style, TImageType type) const {
  UINT f = ILD_NORMAL;
  switch (style) {
    case TDrawingStyle::dsFocus: f = ILD_FOCUS; break;
    case TDrawingStyle::dsSelected: f = ILD_SELECTED; break;
    case TDrawingStyle::dsTransparent: f = ILD_TRANSPARENT; break;
    default: break;
  }
  if (type == TImageType::itMask) f |= ILD_MASK;
  return f;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
  if (canvas == nullptr || FHandle == nullptr || index < 0 || index >= Count()) return;
  DoDraw(index, canvas, x, y, DrawStyleFlags(style, type), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  HDC dc = canvas->GetHandle();
  COLORREF fg = FBlendColor == clNone ? CLR_DEFAULT : ToColorRef(FBlendColor);
  if (enabled) {
    ::ImageList_DrawEx(FHandle, index, dc, x, y, 0, 0, CLR_DEFAULT, fg, style);
    return;
  }
  // Disabled: the image's own pixels (those that differ from the background it was drawn on)
  // become grey, halfway to clBtnFace. Done on our own pixels, since the system's blend styles
  // are not honoured everywhere.
  TBitmap back, drawn;
  for (TBitmap* b : {&back, &drawn}) {
    b->SetPixelFormat(TPixelFormat::pf32bit);
    b->SetSize(FWidth, FHeight);
    ::BitBlt(b->Canvas()->GetHandle(), 0, 0, FWidth, FHeight, dc, x, y, SRCCOPY);
  }
  ::ImageList_DrawEx(FHandle, index, drawn.Canvas()->GetHandle(), 0, 0, 0, 0, CLR_DEFAULT, fg, style);
  std::uint32_t face = static_cast<std::uint32_t>(ColorToRGB(clBtnFace));
  int fr = face & 0xFF, fgc = (face >> 8) & 0xFF, fb = (face >> 16) & 0xFF;
  for (int row = 0; row < FHeight; ++row) {
    auto* b = static_cast<std::uint32_t*>(back.ScanLine(row));
    const auto* d = static_cast<const std::uint32_t*>(drawn.ScanLine(row));
    for (int col = 0; col < FWidth; ++col) {
      if ((b[col] & 0xFFFFFF) == (d[col] & 0xFFFFFF)) continue;
      std::uint32_t p = d[col];
      int grey = (static_cast<int>((p >> 16) & 0xFF) * 77 + static_cast<int>((p >> 8) & 0xFF) * 150 +
                  static_cast<int>(p & 0xFF) * 29) >> 8;
      b[col] = static_cast<std::uint32_t>(((grey + fr) / 2) << 16 | ((grey + fgc) / 2) << 8 | ((grey + fb) / 2));
    }
  }
  ::BitBlt(dc, x, y, FWidth, FHeight, back.Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (link == nullptr) return;
  if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end()) FLinks.push_back(link);
  link->SetSender(this);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), link);
  if (it == FLinks.end()) return;
  FLinks.erase(it);
  link->SetSender(nullptr);
}

void TCustomImageList::BeginUpdate() { ++FUpdateCount; }

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0 || IsLoading()) {
    FChanged = true;
    return;
  }
  FChanged = false;
  // A link may unregister itself (or another) while being told: walk a copy, check each.
  std::vector<TChangeLink*> links = FLinks;
  for (TChangeLink* l : links)
    if (std::find(FLinks.begin(), FLinks.end(), l) != FLinks.end()) l->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::Loaded() {
  Inherited::Loaded();
  if (FChanged) Change();
}

void TCustomImageList::Assign(TPersistent* source) {
  if (source == nullptr) {
    FreeHandle();
    Change();
    return;
  }
  if (TCustomImageList* s = As<TCustomImageList>(source)) {
    if (s == this) return;
    FreeHandle();
    FWidth = s->FWidth;
    FHeight = s->FHeight;
    FMasked = s->FMasked;
    FBkColor = s->FBkColor;
    FBlendColor = s->FBlendColor;
    FDrawingStyle = s->FDrawingStyle;
    FImageType = s->FImageType;
    FAllocBy = s->FAllocBy;
    if (s->FHandle != nullptr) {
      FHandle = ::ImageList_Duplicate(s->FHandle);
      if (FHandle == nullptr) {
        const DWORD code = ::GetLastError();
        RaiseWin32Error<EOutOfResources>("ImageList_Duplicate", code);
      }
    }
    Change();
    return;
  }
  Inherited::Assign(source);
}

// Stored data: "OIL1", count, the colour strip, the mask strip when Masked.
void TCustomImageList::WriteData(TStream& stream) {
  int n = Count();
  std::uint8_t head[8] = {'O', 'I', 'L', '1', static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
  stream.WriteBuffer(head, sizeof(head));
  if (n == 0) return;
  // Drawn out of the list rather than copied from its bitmaps: the list may keep those selected
  // into DCs of its own, where no other DC can select them.
  TBitmap strip, mask;
  strip.SetPixelFormat(TPixelFormat::pf32bit);
  strip.SetSize(FWidth * n, FHeight);   // black: masked pixels are stored black
  mask.SetPixelFormat(TPixelFormat::pf32bit);
  mask.SetSize(FWidth * n, FHeight);
  mask.Canvas()->Brush()->SetColor(clWhite);   // ILD_MASK ands the mask onto the target
  mask.Canvas()->FillRect(Rect(0, 0, FWidth * n, FHeight));
  HDC sdc = strip.Canvas()->GetHandle();
  HDC mdc = mask.Canvas()->GetHandle();
  for (int i = 0; i < n; ++i) {
    ::ImageList_DrawEx(FHandle, i, sdc, i * FWidth, 0, 0, 0, CLR_NONE, CLR_NONE, FMasked ? ILD_TRANSPARENT : ILD_NORMAL);
    if (FMasked) ::ImageList_DrawEx(FHandle, i, mdc, i * FWidth, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  }
  strip.SetPixelFormat(TPixelFormat::pf24bit);   // drawing may leave stray alpha bytes behind
  strip.SaveToStream(stream);
  if (FMasked) {
    mask.SetPixelFormat(TPixelFormat::pf1bit);   // black opaque, white transparent
    mask.SaveToStream(stream);
  }
}

void TCustomImageList::ReadData(TStream& stream) {
  FreeHandle();
  try {
    std::uint8_t head[8];
    if (stream.Read(head, 8) != 8 || std::memcmp(head, "OIL1", 4) != 0)
      throw EInvalidGraphic("Image list data is not valid");
    std::uint32_t n = head[4] | (head[5] << 8) | (head[6] << 16) | (static_cast<std::uint32_t>(head[7]) << 24);
    if (n > 0) {
      TBitmap strip, mask;
      strip.LoadFromStream(stream);
      if (static_cast<std::uint64_t>(strip.GetWidth()) != static_cast<std::uint64_t>(FWidth) * n ||
          strip.GetHeight() != FHeight)
        throw EInvalidGraphic("Image list data does not match its image size");
      if (FMasked) mask.LoadFromStream(stream);
      ::ImageList_Add(GetHandle(), strip.GetHandle(), FMasked ? mask.GetHandle() : nullptr);
    }
  } catch (...) {
    FreeHandle();
    Change();
    throw;
  }
  Change();
}

ORBEX_IMPLEMENT_CLASS(TChangeLink, TObject, &CreateObjectOf<TChangeLink>)
ORBEX_IMPLEMENT_PUBLISHED(TCustomImageList, TComponent, &CreateComponentOf<TCustomImageList>)
ORBEX_IMPLEMENT_CLASS(TImageList, TCustomImageList, &CreateComponentOf<TImageList>)

void TCustomImageList::PublishProperties(TPublisher<TCustomImageList>& P) {
  P.Integer("AllocBy", &TCustomImageList::GetAllocBy, &TCustomImageList::SetAllocBy).Default(4);
  P.Color("BkColor", &TCustomImageList::GetBkColor, &TCustomImageList::SetBkColor).Default(clNone);
  P.Color("BlendColor", &TCustomImageList::GetBlendColor, &TCustomImageList::SetBlendColor).Default(clNone);
  P.Enum("DrawingStyle", &TCustomImageList::GetDrawingStyle, &TCustomImageList::SetDrawingStyle,
         {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"})
      .Default(static_cast<int>(TDrawingStyle::dsNormal));
  P.Integer("Height", &TCustomImageList::GetHeight, &TCustomImageList::SetHeight).Default(16);
  P.Enum("ImageType", &TCustomImageList::GetImageType, &TCustomImageList::SetImageType, {"itImage", "itMask"})
      .Default(0);
  P.Boolean("Masked", &TCustomImageList::GetMasked, &TCustomImageList::SetMasked).Default(1);
  P.Boolean("ShareImages", &TCustomImageList::GetShareImages, &TCustomImageList::SetShareImages).Default(0);
  P.Integer("Width", &TCustomImageList::GetWidth, &TCustomImageList::SetWidth).Default(16);
  P.Event("OnChange", &TCustomImageList::OnChange);
  P.Binary("Bitmap", &TCustomImageList::ReadData, &TCustomImageList::WriteData,
           [](TCustomImageList& l) { return l.Count() > 0; });
}

void InitImgListUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TImageList>();
}

namespace {
[[maybe_unused]] const bool ImgListUnitStarted = (InitImgListUnit(), true);   // as the graphics unit
}
