// Whole-form images, the snapshot cover and the taskbar previews: see sFormImage.h.
#include "skin/forms/sFormImage.h"

#include "framework/win/WinTypes.h"
#include "skin/core/sFormMetrics.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"

namespace {

bool IconicPreview = false;

bool HasBorderWindow(TsSkinProvider* provider) { return provider != nullptr && provider->BorderForm() != nullptr; }

TRect ScreenRectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return TRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

// The form's window lies at `inner` in what it prints: (0, 0) unless its frame cache holds an
// extended border around it, which the print copies whole (and no clip to the window).
void PaintWindowedTo(HDC dc, TWinControl* control, int x, int y, TPoint inner = TPoint{0, 0}, bool clip = true) {
  TSaveDC save(dc);
  SetViewportOrgEx(dc, x, y, nullptr);
  if (clip) IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
  auto* form = As<TCustomForm>(control);
  if (form != nullptr && control->Parent() != nullptr && !control->Visible()) {
    // A hidden child form shows its parent's face where it stands.
    FillDCRect(dc, TRect{0, 0, control->Width(), control->Height()}, control->Parent()->Color());
    return;
  }
  if (!control->HandleAllocated() || !WindowAnswersSkinCommand(control->Handle(), SkinCmdIsSkinned)) {
    control->PaintTo(dc, 0, 0);
    return;
  }
  const HWND wnd = control->Handle();
  SendSkinCommand(wnd, SkinCmdPrintMode, reinterpret_cast<LPARAM>(dc));
  SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  SendSkinCommand(wnd, SkinCmdPrintMode, 0);
  const TRect outer = ScreenRectOf(wnd);
  for (int i = 0; i < control->ControlCount(); ++i) {
    auto* child = As<TWinControl>(control->Controls(i));
    if (child == nullptr || !child->Visible() || !child->HandleAllocated()) continue;
    const TRect at = ScreenRectOf(child->Handle());
    PaintWindowedTo(dc, child, x + inner.X + at.Left - outer.Left, y + inner.Y + at.Top - outer.Top);
  }
}

void MakeOpaque(TBitmap* bitmap) {
  GdiFlush();
  const TlxPixelBuffer px = TargetPixels32(bitmap);
  SetRectAlpha(px, px.BoundsRect(), 255, false);
}

std::unique_ptr<TBitmap> NewBitmap32(int width, int height) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf32bit);
  b->SetSize(width, height);
  return b;
}

// The source stretched to the size, alpha included.
std::unique_ptr<TBitmap> StretchedCopy(TBitmap* src, TSize size) {
  auto out = NewBitmap32(size.cx, size.cy);
  const HDC dst = out->Canvas()->GetHandle();
  SetStretchBltMode(dst, COLORONCOLOR);
  StretchBlt(dst, 0, 0, size.cx, size.cy, src->Canvas()->GetHandle(), 0, 0, src->GetWidth(), src->GetHeight(), SRCCOPY);
  GdiFlush();
  return out;
}

TBitmap* PreviewSource(TsSkinProvider* provider) {
  if (provider == nullptr || provider->SkinData() == nullptr) return nullptr;
  TBitmap* cache = provider->SkinData()->CacheBitmap();
  return cache != nullptr && !cache->Empty() ? cache : nullptr;
}

// While the form shrinks to its taskbar button or grows back, its frame cache no longer shows
// what the form looked like: the run's saved picture of the whole form does.
TBitmap* MinimizePicture(TsSkinProvider* provider) {
  auto* timer = provider != nullptr ? dynamic_cast<TlxMinTimer*>(provider->FormTimer()) : nullptr;
  if (timer == nullptr || !timer->Enabled() || timer->Image == nullptr || timer->Image->Empty()) return nullptr;
  return timer->Image.get();
}

// Previewing is set while the taskbar's image is made.
class TPreviewing {
public:
  explicit TPreviewing(TsSkinProvider* p) : FProvider(p) { FProvider->FormState |= TsSkinProvider::Previewing; }
  TPreviewing(const TPreviewing&) = delete;
  TPreviewing& operator=(const TPreviewing&) = delete;
  ~TPreviewing() { FProvider->FormState &= ~static_cast<std::uint32_t>(TsSkinProvider::Previewing); }

private:
  TsSkinProvider* FProvider;
};

// The borderless cover that shows a window's snapshot as its layered image.
class TSnapshotCoverForm : public TForm {
public:
  explicit TSnapshotCoverForm(const TRect& bounds) : TForm(nullptr) {
    SetTag(-98);
    SetBorderStyle(bsNone);
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
  }
};

}  // namespace

void PaintControlTo(TBitmap* bitmap, TWinControl* control, int x, TsSkinProvider* provider, int y) {
  if (bitmap == nullptr || bitmap->Empty() || control == nullptr) return;
  const bool bordered = HasBorderWindow(provider);
  const TPoint inner = bordered ? provider->WindowOriginInCache() : TPoint{0, 0};
  PaintWindowedTo(bitmap->Canvas()->GetHandle(), control, x, y, inner, !bordered);
  GdiFlush();
}

std::unique_ptr<TBitmap> MakeFormImage(TsSkinProvider* provider, bool freeCache) {
  TBitmap* cache = PreviewSource(provider);
  if (cache == nullptr || provider->Form() == nullptr) return nullptr;
  auto image = NewBitmap32(cache->GetWidth(), cache->GetHeight());
  PaintControlTo(image.get(), provider->Form(), 0, provider, 0);
  // The border window's image keeps the shadow's alpha.
  if (!HasBorderWindow(provider)) MakeOpaque(image.get());
  if (freeCache) cache->SetSize(0, 0);
  return image;
}

std::unique_ptr<TCustomForm> MakeSnapshotCover(HWND wnd) {
  if (!IsWindow(wnd)) return nullptr;
  const TRect r = ScreenRectOf(wnd);
  if (r.Width() <= 0 || r.Height() <= 0) return nullptr;
  auto image = NewBitmap32(r.Width(), r.Height());
  {
    TWindowDC src(wnd, TWindowDC::TArea::Window);
    BitBlt(image->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), src.Get(), 0, 0, SRCCOPY);
  }
  MakeOpaque(image.get());
  auto cover = NewLayeredToolForm(r);
  const POINT at{r.Left, r.Top};
  ShowLayeredBitmap(cover->Handle(), image->GetHandle(), 255, &at);
  SetWindowPos(cover->Handle(), TopmostHandle(), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
  return cover;
}

std::unique_ptr<TForm> NewLayeredToolForm(const TRect& bounds) {
  auto form = std::make_unique<TSnapshotCoverForm>(bounds);
  form->HandleNeeded();
  return form;
}

bool SetIconicThumbnail(HWND wnd, TsSkinProvider* provider, int requestedWidth, int requestedHeight) {
  const auto entry = LoadDwmLibrary().SetIconicThumbnail;
  if (!SystemMajorAtLeast6() || entry == nullptr) return false;
  TBitmap* picture = MinimizePicture(provider);
  TBitmap* source = picture != nullptr ? picture : PreviewSource(provider);
  if (source == nullptr) return false;
  const std::optional<TSize> size = FitThumbnail(requestedWidth, requestedHeight, source->GetWidth(), source->GetHeight());
  if (!size) return false;
  TPreviewing previewing(provider);
  if (FAILED(entry(wnd, StretchedCopy(source, *size)->GetHandle(), 0))) return false;
  if (picture != nullptr) return true;
  // The frame cache alone lacks the client: the whole form follows.
  if (const std::unique_ptr<TBitmap> whole = MakeFormImage(provider, false)) {
    entry(wnd, StretchedCopy(whole.get(), *size)->GetHandle(), 0);
    provider->RefreshBorderForm(false);
  }
  return true;
}

bool SetIconicLivePreview(HWND wnd, TsSkinProvider* provider) {
  const auto entry = LoadDwmLibrary().SetIconicLivePreviewBitmap;
  if (!SystemMajorAtLeast6() || entry == nullptr) return false;
  TBitmap* picture = MinimizePicture(provider);
  if (picture == nullptr && PreviewSource(provider) == nullptr) return false;
  TPreviewing previewing(provider);
  // The frame cache alone lacks the client: the whole form is shown instead.
  const std::unique_ptr<TBitmap> whole = picture == nullptr ? MakeFormImage(provider, false) : nullptr;
  TBitmap* shown = picture != nullptr ? picture : whole.get();
  if (shown == nullptr) return false;
  POINT origin{0, 0};
  constexpr DWORD ShowFrame = 1;
  const bool done = SUCCEEDED(entry(wnd, shown->GetHandle(), &origin, ShowFrame));
  if (whole != nullptr) provider->RefreshBorderForm(false);
  return done;
}

bool IconicPreviewOn() { return IconicPreview; }
void SetIconicPreviewForTests(bool on) { IconicPreview = on; }
