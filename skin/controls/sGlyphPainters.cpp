// The glyph painters of buttons and tool buttons (see sGlyphPainters.h).
#include "skin/controls/sGlyphPainters.h"

#include <algorithm>
#include <memory>

#include "framework/win/ComCtrls.h"
#include "framework/win/ImgList.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/sButtonCore.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/lxAlphaImageList.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

namespace {

// The fill of a keyed copy: the list's background colour, clFuchsia when it has none.
TColor KeyColorOf(TCustomImageList* list) {
  const TColor bk = list != nullptr ? list->GetBkColor() : clNone;
  return bk == clNone ? TColor(clFuchsia) : ColorToRGB(bk);
}

// Image `index` of the list over `fill` in a new bitmap of the list's image size. It is made
// 24-bit: a keyed copy then compares colours only, whatever alpha the list's drawing left.
std::unique_ptr<TBitmap> ImageOver(TCustomImageList* list, int index, TColor fill) {
  auto bmp = CreateBitmap32(list->GetWidth(), list->GetHeight());
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(fill);
  c->FillRect(TRect{0, 0, list->GetWidth(), list->GetHeight()});
  list->Draw(c, 0, 0, index, true);
  bmp->SetPixelFormat(TPixelFormat::pf24bit);
  return bmp;
}

// Any other list's image copied keyed on its fill colour into the 32-bit target at `at`.
void DrawKeyedImage(TCustomImageList* list, int index, TColor fill, TBitmap* target, TPoint at) {
  auto bmp = ImageOver(list, index, fill);
  CopyBitmapKeyed(target, bmp.get(), at.X, fill, at.Y);
}

TsToolButtonLayout ToolLayout(TToolBar* bar, TToolButton* button, TCustomDrawState state, TCanvas* measure,
                              TSize item = TSize{}) {
  TsToolButtonLayout t;
  t.ButtonWidth = item.cx > 0 ? item.cx : button->Width();
  t.ButtonHeight = item.cy > 0 ? item.cy : button->Height();
  TCustomImageList* images = bar->Images();
  t.ImageWidth = images != nullptr ? images->GetWidth() : 0;
  t.ImageHeight = images != nullptr ? images->GetHeight() : 0;
  t.List = bar->List();
  t.ShowCaptions = bar->ShowCaptions();
  t.DropDown = button->Style() == tbsDropDown;
  if (measure != nullptr) {
    measure->Font()->Assign(bar->Font());
    t.TextHeight = measure->TextHeight("A");
  }
  t.State = ToolButtonState(state);
  return t;
}

}  // namespace

int ImageCountOf(TCustomImageList* list) { return list != nullptr ? list->Count() : 0; }

void ButtonGlyphPainter(TControl* control, TCanvas* canvas) {
  auto* b = As<TsButton>(control);
  if (b == nullptr) return;
  TCustomImageList* list = b->GetImages();
  const int index = b->CurrentImageIndex();
  if (list == nullptr || index < 0 || index >= ImageCountOf(list)) return;
  TsCommonData* d = b->SkinData();
  const bool skinned = d->HasSkin();
  TBitmap* cache = d->CacheBitmap();
  if (canvas == nullptr) canvas = cache != nullptr ? cache->Canvas() : nullptr;
  if (canvas == nullptr) return;
  const TRect r = b->GlyphRect();
  const bool enabled = b->Enabled();
  if (As<TsAlphaImageList>(list) != nullptr) {
    // One image per glyph; a disabled glyph is half blended (the button's DisabledKind is the
    // face's), without a grey tint.
    const int state = b->CurrentState();
    const int column = (state == BtnPressed ? 1 : 0) + state;
    const int blend = enabled ? 0 : 50;
    if (skinned && cache != nullptr && canvas == cache->Canvas()) {
      TSize size;
      DrawAlphaImage(list, cache, r.Left, size, b->GetReflected(), 1, column, blend, clNone, index, r.Top);
    } else {
      DrawAlphaImageToDC(list, canvas->GetHandle(), r.Left, b->GetReflected(), 1, column, blend, clNone, index, r.Top);
    }
    return;
  }
  const TColor fill = KeyColorOf(list);
  if (!skinned || cache == nullptr || canvas != cache->Canvas()) {
    // The framework's transparent drawing, keyed on clFuchsia.
    auto bmp = ImageOver(list, index, clFuchsia);
    bmp->SetTransparentColor(clFuchsia);
    bmp->SetTransparent(true);
    canvas->Draw(r.Left, r.Top, bmp.get());
    return;
  }
  auto bmp = ImageOver(list, index, fill);
  // A disabled button's glyph is half blended into the face (its DisabledKind is the face's).
  if (!enabled)
    BlendWithBackground(cache, r.Left, r.Top, clFuchsia, 0.5, TRect{0, 0, bmp->GetWidth() - 1, bmp->GetHeight() - 1},
                        bmp.get());
  else
    CopyBitmapKeyed(cache, bmp.get(), r.Left, fill, r.Top);
}

void ToolButtonGlyphPainter(TToolBar* bar, TToolButton* button, TCustomDrawState state, TBitmap* target, TSize item) {
  if (bar == nullptr || button == nullptr || target == nullptr || bar->Images() == nullptr) return;
  const int index = button->ImageIndex();
  const int drawState = ToolButtonState(state);
  TCustomImageList* list = bar->Images();
  if (!button->Enabled() && bar->DisabledImages() != nullptr) list = bar->DisabledImages();
  else if (drawState != BtnNormal && bar->HotImages() != nullptr && index < ImageCountOf(bar->HotImages()))
    list = bar->HotImages();
  if (index < 0 || index >= ImageCountOf(list)) return;
  auto* skinned = As<TsToolBar>(bar);
  TBitmap* cache = skinned != nullptr ? skinned->SkinData()->CacheBitmap() : nullptr;
  const TRect r = ToolButtonImageRect(ToolLayout(bar, button, state, cache != nullptr ? cache->Canvas() : nullptr, item));
  if (As<TsAlphaImageList>(list) != nullptr || skinned == nullptr || !skinned->SkinData()->HasSkin()) {
    list->Draw(target->Canvas(), r.Left, r.Top, index, true);
    return;
  }
  DrawKeyedImage(list, index, KeyColorOf(bar->Images()), target, TPoint{r.Left, r.Top});
}

void ForeignToolButtonGlyphPainter(TToolBar* bar, TToolButton* button, TCustomDrawState state, TBitmap* target) {
  if (bar == nullptr || button == nullptr || target == nullptr || bar->Images() == nullptr) return;
  const int index = button->ImageIndex();
  const int drawState = ToolButtonState(state);
  TCustomImageList* list = bar->Images();
  if (drawState != BtnNormal && bar->HotImages() != nullptr && index < ImageCountOf(bar->HotImages()))
    list = bar->HotImages();
  if (index < 0 || index >= ImageCountOf(list)) return;
  const TRect r = ToolButtonImageRect(ToolLayout(bar, button, state, target->Canvas()));
  if (As<TsAlphaImageList>(list) != nullptr) {
    const int column = (state & cdsHot) != 0 ? 1 : (state & cdsChecked) != 0 ? 2 : 0;
    TSize size;
    DrawAlphaImage(list, target, r.Left, size, false, 1, column, 0, clNone, index, r.Top);
    return;
  }
  DrawKeyedImage(list, index, KeyColorOf(list), target, TPoint{r.Left, r.Top});
}
