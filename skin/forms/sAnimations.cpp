// The form animations and the freezing of forms around a skin change: see sAnimations.h.
#include "skin/forms/sAnimations.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "framework/win/WinTypes.h"
#include "skin/core/lxBorderGeometry.h"
#include "skin/core/sAnimSteps.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxDialogWnd.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sAppWindowHook.h"
#include "skin/forms/sFormImage.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"

namespace {

constexpr UINT CopyPlacing = SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOREDRAW;
constexpr UINT FullRedraw = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;
// The frame and the form's own client only: its children already show their new faces.
constexpr UINT FrameRedraw = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;

TRect ScreenRectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return TRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

// The form's provider, asked with command 4 and found among the form's own components (an
// answer that is not one of them is not trusted).
TsSkinProvider* ProviderOf(TCustomForm* form) {
  if (form == nullptr || !form->HandleAllocated()) return nullptr;
  auto* answer = reinterpret_cast<TsSkinProvider*>(SendSkinCommand(form->Handle(), SkinCmdFindProvider));
  if (answer == nullptr) return nullptr;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (form->Components(i) == answer) return answer;
  return nullptr;
}

int FormAlpha(const TCustomForm* form) { return form->AlphaBlend() ? form->AlphaBlendValue() : 255; }

bool Topmost(HWND wnd) { return (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace

void PlaceJustAbove(HWND wnd, HWND target, const TRect& at, UINT flags) {
  const bool topmost = Topmost(target);
  if (topmost != Topmost(wnd))
    SetWindowPos(wnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Another program's window may come, go or move between reading the target's neighbour and
  // placing: placed again, a few times at most, until it lies just above the target.
  for (int tries = 0; tries < 4; ++tries) {
    HWND above = GetWindow(target, GW_HWNDPREV);
    UINT f = flags;
    if (above == wnd)
      f |= SWP_NOZORDER;  // in its place already (a new window starts at the top)
    else if (above != nullptr && !topmost && Topmost(above))
      above = nullptr;  // the first window of the target's band: to that band's top
    SetWindowPos(wnd, above != nullptr ? above : (topmost ? HWND_TOPMOST : HWND_TOP), at.Left, at.Top, at.Width(),
                 at.Height(), f);
    if (GetWindow(target, GW_HWNDPREV) == wnd) return;
  }
}

namespace {

// One frame into `dest`: the image stretched into the rectangle (atAero, the rest cleared) or
// copied whole.
void DrawFrame(TBitmap* dest, TBitmap* image, const TlxAnimFrame& frame, TlxAnimType kind) {
  const HDC dc = dest->Canvas()->GetHandle();
  const int w = image->GetWidth(), h = image->GetHeight();
  if (kind == atAero) {
    GdiFlush();
    const TlxPixelBuffer px = TargetPixels32(dest);
    for (int y = 0; y < px.Height; ++y) std::fill_n(reinterpret_cast<std::uint32_t*>(px.Row(y)), px.Width, 0u);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, frame.Rect.Left, frame.Rect.Top, frame.Rect.Width(), frame.Rect.Height(),
               image->Canvas()->GetHandle(), 0, 0, w, h, SRCCOPY);
  } else {
    BitBlt(dc, 0, 0, w, h, image->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  }
  GdiFlush();
}

// The copy window gets its layered style (it shows nothing before its first image) and shows
// directly above `above` (topmost without one or above a topmost window).
void ShowCopy(HWND copy, HWND above, const TRect& at) {
  SetWindowLongA(copy, GWL_EXSTYLE, GetWindowLongA(copy, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
  ShowWindow(copy, SW_SHOWNOACTIVATE);
  if (above != nullptr)
    PlaceJustAbove(copy, above, at, CopyPlacing);
  else
    SetWindowPos(copy, HWND_TOPMOST, at.Left, at.Top, at.Width(), at.Height(), CopyPlacing);
}

// Plays the frames on the copy, one every 12 ms.
void PlayFrames(HWND copy, TBitmap* image, const std::vector<TlxAnimFrame>& frames, TlxAnimType kind,
                const TRect& at) {
  std::unique_ptr<TBitmap> dest = CreateBitmap32(image->GetWidth(), image->GetHeight());
  const POINT pt{at.Left, at.Top};
  for (const TlxAnimFrame& f : frames) {
    DrawFrame(dest.get(), image, f, kind);
    ShowLayeredBitmap(copy, dest->GetHandle(), static_cast<BYTE>(f.Alpha), &pt);
    AnimSleep(AnimFrameInterval);
  }
}

// The pixels of the image outside the window's region (the skin's rounded corners) become
// clear, so that the copy shows what the window shows and nothing around it.
void ClearOutsideRegion(TBitmap* image, HWND wnd) {
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  if (GetWindowRgn(wnd, region.Get()) == ERROR) return;
  const int w = image->GetWidth(), h = image->GetHeight();
  std::unique_ptr<TBitmap> mask = CreateBitmap32(w, h);
  TGdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
  FillRgn(mask->Canvas()->GetHandle(), region.Get(), white.Get());
  GdiFlush();
  const TlxPixelBuffer m = TargetPixels32(mask.get());
  const TlxPixelBuffer px = TargetPixels32(image);
  for (int y = 0; y < px.Height && y < m.Height; ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(m.Row(y));
    auto* out = reinterpret_cast<std::uint32_t*>(px.Row(y));
    for (int x = 0; x < px.Width && x < m.Width; ++x)
      if ((in[x] & 0xFFFFFF) == 0) out[x] = 0;
  }
}

// The whole form image for a copy window, null without a cache.
std::unique_ptr<TBitmap> CopyImage(TsSkinProvider* provider, HWND imageWindow) {
  std::unique_ptr<TBitmap> image = MakeFormImage(provider, false);
  // A border window's region has a hole where the form lies: only the form's own counts.
  if (image != nullptr && imageWindow == provider->Form()->Handle()) ClearOutsideRegion(image.get(), imageWindow);
  return image;
}

// Where the whole form image lies on screen: over the border window when there is one.
HWND ImageWindow(TsSkinProvider* provider) {
  TlxBorderForm* border = provider->BorderForm();
  if (border != nullptr && border->Handle() != nullptr) return border->Handle();
  return provider->Form()->Handle();
}

void AfterAnimation(TsSkinProvider* provider, TlxAnimationEvent event) {
  if (provider->OnAfterAnimation) provider->OnAfterAnimation(event);
}

// ---------------------------------------------------------------------------------------------
// The hide timer: fades the copy of a window that went.

class TlxHideTimer;
TlxHideTimer* GHideTimer = nullptr;

class TlxHideTimer : public TlxThreadedTimer {
public:
  explicit TlxHideTimer(TComponent* owner) : TlxThreadedTimer(owner, true) {}
  // The application frees the timer with its components, before the units stop: the unit
  // must not reach it afterwards.
  ~TlxHideTimer() override {
    if (GHideTimer == this) GHideTimer = nullptr;
  }

  void Start(std::unique_ptr<TForm> copy, std::unique_ptr<TBitmap> bitmap, int time, TlxAnimType kind,
             int startAlpha) {
    FCopy = std::move(copy);
    FBitmap = std::move(bitmap);
    FKind = kind;
    FFrames = HideFrames(time, kind, startAlpha, FBitmap->GetWidth(), FBitmap->GetHeight());
    FIndex = 0;
    FDest = CreateBitmap32(FBitmap->GetWidth(), FBitmap->GetHeight());
    FAt = ScreenRectOf(FCopy->Handle());
    const HWND h = FCopy->Handle();
    SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
    const POINT pt{FAt.Left, FAt.Top};
    ShowLayeredBitmap(h, FBitmap->GetHandle(), static_cast<BYTE>(startAlpha), &pt);
    ShowCopy(h, nullptr, FAt);
    SetInterval(AnimFrameInterval);
    if (Application != nullptr && Application->Terminated()) {
      // The program ends: no message loop runs the ticks any more.
      while (FCopy != nullptr) {
        TimerProc();
        if (FCopy != nullptr) AnimSleep(AnimFrameInterval);
      }
      return;
    }
    TimerProc();
    if (FCopy != nullptr) SetEnabled(true);
  }

  void Free() {
    SetEnabled(false);
    FCopy.reset();
    FBitmap.reset();
    FDest.reset();
    FFrames.clear();
  }

  HWND CopyHandle() const { return FCopy != nullptr && FCopy->HandleAllocated() ? FCopy->Handle() : nullptr; }

protected:
  void TimerProc() override {
    if (FCopy == nullptr) return;
    if (FIndex >= FFrames.size()) {
      Free();
      return;
    }
    DrawFrame(FDest.get(), FBitmap.get(), FFrames[FIndex], FKind);
    const POINT pt{FAt.Left, FAt.Top};
    ShowLayeredBitmap(FCopy->Handle(), FDest->GetHandle(), static_cast<BYTE>(FFrames[FIndex].Alpha), &pt);
    ++FIndex;
  }

private:
  std::unique_ptr<TForm> FCopy;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TBitmap> FDest;
  std::vector<TlxAnimFrame> FFrames;
  size_t FIndex = 0;
  TlxAnimType FKind = atFading;
  TRect FAt;
};

}   // namespace

std::unique_ptr<TForm> MakeCopyWindow(const TRect& screenRect) { return NewLayeredToolForm(screenRect); }

// ---------------------------------------------------------------------------------------------
// Show and hide

namespace {

// The copy window over `at` with the image faded (and grown, atAero) in to `target`; null
// without an image.
std::unique_ptr<TForm> FadeInCopy(HWND wnd, TBitmap* image, const TRect& at, int time, TlxAnimType kind, int target) {
  if (image == nullptr) return nullptr;
  std::unique_ptr<TForm> copy = MakeCopyWindow(at);
  const std::vector<TlxAnimFrame> frames = ShowFrames(time, kind, target, image->GetWidth(), image->GetHeight());
  ShowCopy(copy->Handle(), wnd, at);
  PlayFrames(copy->Handle(), image, frames, kind, at);
  // The last frame is the whole image at the target already; without frames it shows now.
  const POINT pt{at.Left, at.Top};
  if (frames.empty()) ShowLayeredBitmap(copy->Handle(), image->GetHandle(), static_cast<BYTE>(target), &pt);
  return copy;
}

// The window goes directly beneath its copy (which the caller frees afterwards) and is redrawn.
void RevealBeneath(HWND wnd, TForm* copy) {
  if (copy != nullptr)
    SetWindowPos(wnd, copy->Handle(), 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  SendMessageA(wnd, WM_SETREDRAW, 1, 0);
  AnimationInProgress = false;
  RedrawWindow(wnd, nullptr, nullptr, FullRedraw | RDW_ERASENOW);
  if (DwmCompositionEnabled()) AnimSleep(AnimFrameInterval);
}

TRect ImageRectAt(HWND imageWindow, const TBitmap* image) {
  const TRect r = ScreenRectOf(imageWindow);
  return TRect{r.Left, r.Top, r.Left + image->GetWidth(), r.Top + image->GetHeight()};
}

}  // namespace

void AnimShowForm(TsSkinProvider* provider, int time, TlxAnimType kind, int target) {
  if (provider == nullptr || provider->SkinData() == nullptr || provider->Form() == nullptr) return;
  TBitmap* cache = provider->SkinData()->CacheBitmap();
  TCustomForm* form = provider->Form();
  if (cache == nullptr || !form->HandleAllocated()) return;
  target = std::clamp(target, 0, 255);
  AnimationInProgress = true;
  provider->SkinData()->BGChanged = 1;
  provider->PaintFrameCache();
  std::unique_ptr<TBitmap> image = CopyImage(provider, ImageWindow(provider));
  const HWND wnd = form->Handle();
  std::unique_ptr<TForm> copy =
      image != nullptr ? FadeInCopy(wnd, image.get(), ImageRectAt(ImageWindow(provider), image.get()), time, kind, target)
                       : nullptr;
  provider->InAnimation = false;
  if (form->AlphaBlend()) form->SetAlphaBlendValue(static_cast<Byte>(target));
  RevealBeneath(wnd, copy.get());
  copy.reset();
  if (TlxBorderForm* border = provider->BorderForm()) border->RestoreRegion();
  AfterAnimation(provider, aeShowing);
}

void PaintDialogTo(TlxDialogWnd* dialog, TBitmap* bitmap, bool fromScreen) {
  const HWND h = dialog->Handle();
  RECT cr{};
  GetClientRect(h, &cr);
  const int x = dialog->ClientOffsetX(), y = dialog->ClientOffsetY();
  const HDC dc = bitmap->Canvas()->GetHandle();
  if (fromScreen) {
    TWindowDC window(h, TWindowDC::TArea::Window);
    BitBlt(dc, x, y, cr.right, cr.bottom, window.Get(), x, y, SRCCOPY);
    GdiFlush();
    OpaqueFramePixels(TargetPixels32(bitmap), TRect{x, y, x + static_cast<int>(cr.right), y + static_cast<int>(cr.bottom)});
    return;
  }
  if (dialog->Provider() == nullptr) return;
  const TSaveDC saved(dc);
  SetViewportOrgEx(dc, x, y, nullptr);
  IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
  dialog->Provider()->PaintChildrenTo(h, dc);
}

namespace {

// The dialog's whole image: its frame cache with the children painted over the client, opaque.
std::unique_ptr<TBitmap> DialogImage(TlxDialogWnd* dialog) {
  TsCommonData* data = dialog->SkinData();
  if (data == nullptr) return nullptr;
  data->BGChanged = 1;
  dialog->PaintFrameCache();
  TBitmap* cache = data->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return nullptr;
  std::unique_ptr<TBitmap> image = CreateBitmap32(cache->GetWidth(), cache->GetHeight());
  BitBlt(image->Canvas()->GetHandle(), 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0,
         SRCCOPY);
  PaintDialogTo(dialog, image.get(), IsWindowVisible(dialog->Handle()) != FALSE);
  GdiFlush();
  if (dialog->BorderForm() != nullptr) {
    // The border window's image: the shadow keeps its alpha, the client is opaque.
    RECT cr{};
    GetClientRect(dialog->Handle(), &cr);
    const int x = dialog->ClientOffsetX(), y = dialog->ClientOffsetY();
    OpaqueFramePixels(TargetPixels32(image.get()), TRect{x, y, x + static_cast<int>(cr.right), y + static_cast<int>(cr.bottom)});
    return image;
  }
  OpaqueFramePixels(TargetPixels32(image.get()), TRect{0, 0, image->GetWidth(), image->GetHeight()});
  ClearOutsideRegion(image.get(), dialog->Handle());
  return image;
}

// Where the dialog's image lies on the screen: at its window, or round it as its border
// window shows it.
TRect DialogImageRect(TlxDialogWnd* dialog, const TBitmap* image) {
  TRect r = ImageRectAt(dialog->Handle(), image);
  if (const TlxBorderForm* border = dialog->BorderForm()) {
    const int dx = border->FormLeftOffset(), dy = border->PlacedTopOffset();
    r = TRect{r.Left - dx, r.Top - dy, r.Right - dx, r.Bottom - dy};
  }
  return r;
}

}  // namespace

void AnimShowDialog(TlxDialogWnd* dialog, int time, TlxAnimType kind, int target) {
  if (dialog == nullptr || dialog->Handle() == nullptr) return;
  target = std::clamp(target, 0, 255);
  AnimationInProgress = true;
  // The border window shows nothing of its own while the copy carries the whole image.
  TlxBorderForm* border = dialog->BorderForm();
  if (border != nullptr) border->Updating = true;
  std::unique_ptr<TBitmap> image = DialogImage(dialog);
  const HWND wnd = dialog->Handle();
  std::unique_ptr<TForm> copy =
      image != nullptr ? FadeInCopy(wnd, image.get(), DialogImageRect(dialog, image.get()), time, kind, target) : nullptr;
  RevealBeneath(wnd, copy.get());
  // The border window takes over the frame before the copy goes.
  if (border != nullptr && dialog->BorderForm() == border) {
    border->Updating = false;
    border->UpdateExBorder(true, 255);
  }
}

void AnimHideDialog(TlxDialogWnd* dialog) {
  TsSkinManager* m = dialog != nullptr ? dialog->SkinManager() : nullptr;
  if (m == nullptr) return;
  std::unique_ptr<TBitmap> image = DialogImage(dialog);
  if (image == nullptr) return;
  std::unique_ptr<TForm> copy = MakeCopyWindow(DialogImageRect(dialog, image.get()));
  TlxFormAnimation* options = m->AnimEffects()->DialogHide();
  StartHideAnimation(std::move(copy), std::move(image), options->Time, options->Mode, 255);
}

void StartHideAnimation(std::unique_ptr<TForm> copy, std::unique_ptr<TBitmap> bitmap, int time, TlxAnimType kind,
                        int startAlpha) {
  if (GHideTimer != nullptr) GHideTimer->Free();
  if (copy == nullptr || bitmap == nullptr || bitmap->Empty() || AnimStepCount(time) < 1) return;
  if (GHideTimer == nullptr) GHideTimer = new TlxHideTimer(Application);
  GHideTimer->Start(std::move(copy), std::move(bitmap), time, kind, startAlpha);
}

HWND HidingCopyWindow() { return GHideTimer != nullptr ? GHideTimer->CopyHandle() : nullptr; }

void StopHideAnimation() {
  if (GHideTimer != nullptr) GHideTimer->Free();
}

void AnimHideForm(TsSkinProvider* provider) {
  // An MDI child hides inside its main form's client window: no copy window plays it.
  if (provider == nullptr || provider->Form() == nullptr || provider->SkinData() == nullptr || provider->MDIChild())
    return;
  TsCommonData* data = provider->SkinData();
  if (data->CacheBitmap() == nullptr || data->CacheBitmap()->Empty()) return;
  TsSkinManager* m = provider->SkinManager();
  if (m == nullptr) return;
  data->HideGlow();
  std::unique_ptr<TBitmap> image = CopyImage(provider, ImageWindow(provider));
  if (image == nullptr) return;
  const TRect r = ScreenRectOf(ImageWindow(provider));
  std::unique_ptr<TForm> copy =
      MakeCopyWindow(TRect{r.Left, r.Top, r.Left + image->GetWidth(), r.Top + image->GetHeight()});
  TlxFormAnimation* options = m->AnimEffects()->FormHide();
  StartHideAnimation(std::move(copy), std::move(image), options->Time, options->Mode, 255);
}

// ---------------------------------------------------------------------------------------------
// Skin change

namespace {

std::unique_ptr<TOutputWindow> GCoverWindow;
std::unique_ptr<TBitmap> GCoverBitmap;

// What the screen shows at `at`, into the bitmap's top left corner.
void CopyScreen(TBitmap* into, const TRect& at) {
  TWindowDC screen(nullptr);
  BitBlt(into->Canvas()->GetHandle(), 0, 0, at.Width(), at.Height(), screen.Get(), at.Left, at.Top, SRCCOPY);
}

// The control's new face drawn into a bitmap of its size.
std::unique_ptr<TBitmap> NewFace(TWinControl* control, TsSkinProvider* provider) {
  if (provider != nullptr) {
    provider->SkinData()->BGChanged = 1;
    provider->PaintFrameCache();
    if (std::unique_ptr<TBitmap> image = MakeFormImage(provider, false)) return image;
  }
  const TRect r = ScreenRectOf(control->Handle());
  std::unique_ptr<TBitmap> image = CreateBitmap32(r.Width(), r.Height());
  PaintControlTo(image.get(), control, 0, nullptr, 0);
  return image;
}

// The skin change without layered windows: the old and the new image blended on the cover
// window, the old one's weight falling frame by frame.
void BlendOnCover(TWinControl* control, TsSkinProvider* provider, int time) {
  CreateCoverWindow(control);
  if (GCoverWindow == nullptr || GCoverBitmap == nullptr) return;
  std::unique_ptr<TBitmap> face = NewFace(control, provider);
  const int w = std::min(face->GetWidth(), GCoverBitmap->GetWidth());
  const int h = std::min(face->GetHeight(), GCoverBitmap->GetHeight());
  if (w <= 0 || h <= 0) return;
  std::unique_ptr<TBitmap> frame = CreateBitmap32(w, h);
  TWindowDC dc(GCoverWindow->Handle());
  for (int weight : CoverBlendWeights(time)) {
    BitBlt(frame->Canvas()->GetHandle(), 0, 0, w, h, GCoverBitmap->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    GdiFlush();
    BlendConst(TargetPixels32(frame.get()), 0, 0, TargetPixels32(face.get()), 0, 0, w, h, static_cast<Byte>(weight));
    BitBlt(dc.Get(), 0, 0, w, h, frame->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    AnimSleep(AnimFrameInterval);
  }
  BitBlt(dc.Get(), 0, 0, w, h, face->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// The new image laid over the old face (opaque) where the image is not clear: the last frame
// of a fade of an opaque form.
std::unique_ptr<TBitmap> NewFaceOver(TBitmap* oldFace, TBitmap* image) {
  std::unique_ptr<TBitmap> face = CreateBitmap32(image->GetWidth(), image->GetHeight());
  GdiFlush();
  const TlxPixelBuffer out = TargetPixels32(face.get());
  const TlxPixelBuffer old = TargetPixels32(oldFace);
  const TlxPixelBuffer in = TargetPixels32(image);
  for (int y = 0; y < out.Height; ++y) {
    auto* o = reinterpret_cast<std::uint32_t*>(out.Row(y));
    const auto* b = reinterpret_cast<const std::uint32_t*>(old.Row(y));
    const auto* n = reinterpret_cast<const std::uint32_t*>(in.Row(y));
    for (int x = 0; x < out.Width; ++x) o[x] = ((n[x] >> 24) != 0 ? n[x] : b[x]) | 0xFF000000u;
  }
  return face;
}

// One form's skin change on screen. A form without a border window whose new face shows
// opaque (an opaque fade, or at once) gets it painted once, off screen, and put onto its own
// window in one piece, blended with the old face frame by frame: nothing is painted on the
// screen half done, and nothing twice. Other changes show the new face on a copy (or, with an
// extended border, on the border window itself while a copy shows the old face going) until
// the form has drawn the new face beneath. The frames of every form changing together are
// played in one loop.
struct TSkinChangeRun {
  enum class TWay { Direct, Copy, Blended, Border };
  TWinControl* Control = nullptr;
  TWay Way = TWay::Copy;
  TlxAnimType Kind = atFading;
  int Target = 255;
  std::vector<TlxAnimFrame> Frames;
  std::unique_ptr<TForm> Copy;          // goes once the form's last redraw is over
  std::unique_ptr<TBitmap> Image;       // the new face
  std::unique_ptr<TBitmap> Dest;        // the frame shown
  std::unique_ptr<TBitmap> OwnOldFace;  // the old face when no saved one is borrowed
  TBitmap* OldFace = nullptr;           // direct, blended: the screen's old face; border: the old border image
  std::unique_ptr<TBitmap> NewFace;     // blended: the new face laid over the old one, opaque
  TlxBorderForm* Border = nullptr;
  bool BorderWasUpdating = false;
  POINT At{}, OldAt{};
  // The new face is on the form's window itself: only the frame and the form's own client are
  // drawn again (the frame to take the new skin's region).
  bool FaceOnWindow() const { return Way == TWay::Direct && Image != nullptr; }
};

// `dest` = the old face blended with the new one, the new one at `alpha`; opaque.
void BlendFaces(TBitmap* dest, TBitmap* oldFace, TBitmap* newFace, int alpha) {
  const int w = newFace->GetWidth(), h = newFace->GetHeight();
  BitBlt(dest->Canvas()->GetHandle(), 0, 0, w, h, oldFace->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  GdiFlush();
  const TlxPixelBuffer px = TargetPixels32(dest);
  BlendConst(px, 0, 0, TargetPixels32(newFace), 0, 0, w, h, static_cast<Byte>(255 - alpha));
  SetRectAlpha(px, px.BoundsRect(), 255, false);
}

// The picture onto the whole window, over its children's places too, in one piece.
void PutOnWindow(HWND wnd, TBitmap* picture) {
  TWindowDC dc(wnd, TWindowDC::TArea::OverChildren);
  if (!dc.Valid()) return;
  BitBlt(dc.Get(), 0, 0, picture->GetWidth(), picture->GetHeight(), picture->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  GdiFlush();
}

// One frame of a run. An opaque fade shows one blend of the old face on the screen and the new
// one, opaque: what a display shows does not depend on its blending a translucent copy with the
// frozen form beneath. A border window shows the new face where the new skin's border places
// it, while the copy at the old border window's place shows the old face fading out late (alpha
// min(255, 3 x (target - current))), so that the old shadow never lies over the new one's.
void ShowChangeFrame(TSkinChangeRun& r, const TlxAnimFrame& f) {
  switch (r.Way) {
    case TSkinChangeRun::TWay::Direct:
      if (f.Alpha >= 255) {
        PutOnWindow(r.Control->Handle(), r.Image.get());
      } else {
        BlendFaces(r.Dest.get(), r.OldFace, r.Image.get(), f.Alpha);
        PutOnWindow(r.Control->Handle(), r.Dest.get());
      }
      return;
    case TSkinChangeRun::TWay::Copy:
      DrawFrame(r.Dest.get(), r.Image.get(), f, r.Kind);
      ShowLayeredBitmap(r.Copy->Handle(), r.Dest->GetHandle(), static_cast<BYTE>(f.Alpha), &r.At);
      return;
    case TSkinChangeRun::TWay::Blended: {
      // The last frame is the new face itself (the blend would lose a level).
      TBitmap* shown = f.Alpha >= 255 ? r.NewFace.get() : r.Dest.get();
      if (shown == r.Dest.get()) BlendFaces(r.Dest.get(), r.OldFace, r.NewFace.get(), f.Alpha);
      ShowLayeredBitmap(r.Copy->Handle(), shown->GetHandle(), 255, &r.At);
      return;
    }
    case TSkinChangeRun::TWay::Border:
      DrawFrame(r.Dest.get(), r.Image.get(), f, r.Kind);
      ShowLayeredBitmap(r.Border->Handle(), r.Dest->GetHandle(), static_cast<BYTE>(f.Alpha), &r.At);
      ShowLayeredBitmap(r.Copy->Handle(), r.OldFace->GetHandle(), static_cast<BYTE>(OldImageAlpha(r.Target, f.Alpha)),
                        &r.OldAt);
      return;
  }
}

// The runs play their frames together, a frame of them all every 12 ms: the pause after each
// is what remains of its 12 ms once it is shown, so that the change takes its animation time
// however many forms it shows. A run without frames (a time below one frame) shows its new
// face at once.
void PlaySkinChanges(std::vector<TSkinChangeRun*>& runs) {
  using Clock = std::chrono::steady_clock;
  size_t count = 0;
  for (TSkinChangeRun* r : runs) count = std::max(count, r->Frames.size());
  const Clock::time_point start = Clock::now();
  for (size_t i = 0; i < count; ++i) {
    for (TSkinChangeRun* r : runs)
      if (i < r->Frames.size()) ShowChangeFrame(*r, r->Frames[i]);
    const auto due = start + std::chrono::milliseconds(AnimFrameInterval * static_cast<int>(i + 1));
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
    AnimSleep(static_cast<int>(std::clamp<long long>(left, 0, AnimFrameInterval)));
  }
  for (TSkinChangeRun* r : runs) {
    if (r->FaceOnWindow() && r->Frames.empty()) {
      PutOnWindow(r->Control->Handle(), r->Image.get());
    } else if (r->Image != nullptr && r->Frames.empty()) {
      const HWND on = r->Way == TSkinChangeRun::TWay::Border ? r->Border->Handle() : r->Copy->Handle();
      ShowLayeredBitmap(on, r->Image->GetHandle(), static_cast<BYTE>(r->Target), &r->At);
    }
    if (r->Border != nullptr) r->Border->Updating = r->BorderWasUpdating;
  }
}

// The animation is over: the control draws again; with `redraw` flags it draws now what its
// new face still needs (beneath the copy, which the caller frees after).
void FinishSkinChange(TWinControl* control, UINT redraw) {
  AnimationInProgress = false;
  // Frozen, the window has WS_VISIBLE off: the control says whether it shows.
  if (control->Visible()) {
    SendMessageA(control->Handle(), WM_SETREDRAW, 1, 0);
    if (redraw != 0) RedrawWindow(control->Handle(), nullptr, nullptr, redraw);
  }
  GCoverWindow.reset();
  GCoverBitmap.reset();
}

// The old border image: the picture saved before the change, else a copy of the cache still
// holding it (null without either).
void TakeOldBorderFace(TSkinChangeRun& r, TsSkinProvider* provider) {
  r.OldFace = provider->SkinChangeCover.get();
  if (r.OldFace != nullptr) return;
  TBitmap* cache = provider->SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  r.OwnOldFace = CreateBitmap32(cache->GetWidth(), cache->GetHeight());
  BitBlt(r.OwnOldFace->Canvas()->GetHandle(), 0, 0, cache->GetWidth(), cache->GetHeight(),
         cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  r.OldFace = r.OwnOldFace.get();
}

// The border window takes the new face; a copy at its old place shows the old one.
void StartOnBorderWindow(TSkinChangeRun& r, TsSkinProvider* provider, TlxBorderForm* border) {
  r.Way = TSkinChangeRun::TWay::Border;
  r.Border = border;
  const HWND h = border->Handle();
  const TRect old = ScreenRectOf(h);
  const TRect oldAt{old.Left, old.Top, old.Left + r.OldFace->GetWidth(), old.Top + r.OldFace->GetHeight()};
  const TRect form = ScreenRectOf(provider->Form()->Handle());
  r.At = POINT{form.Left - border->FormLeftOffset(), form.Top - border->PlacedTopOffset()};
  r.OldAt = POINT{oldAt.Left, oldAt.Top};
  r.Copy = MakeCopyWindow(oldAt);
  ShowCopy(r.Copy->Handle(), h, oldAt);
  r.BorderWasUpdating = border->Updating;
  border->Updating = true;
  SetWindowRgn(h, nullptr, FALSE);
}

// Everything of a control's skin change up to its frames: the new face painted and the copy
// shown over the control. Without layered windows the old and new images blend on the cover
// window at once, frame by frame (there is one cover window).
TSkinChangeRun StartSkinChange(TWinControl* control, TsSkinProvider* provider, int time, TlxAnimType kind,
                               int target) {
  // Only a change that animates holds children's refreshes back; shown at once, it does not.
  if (AnimStepCount(time) >= 1) AnimationInProgress = true;
  TSkinChangeRun r;
  r.Control = control;
  r.Kind = kind;
  r.Target = std::clamp(target, 0, 255);
  if (provider == nullptr || !LayeredWindowsAvailable()) {
    if (AnimStepCount(time) >= 1) BlendOnCover(control, provider, time);
    return r;
  }
  TlxBorderForm* border = provider->BorderForm() != nullptr && provider->BorderForm()->Handle() != nullptr
                              ? provider->BorderForm()
                              : nullptr;
  if (border != nullptr) TakeOldBorderFace(r, provider);
  provider->SkinData()->BGChanged = 1;
  provider->PaintFrameCache();
  // An opaque fade is blended here, border window or not.
  const bool blended = kind == atFading && r.Target == 255;
  if (border == nullptr && (blended || AnimStepCount(time) < 1)) {
    r.Way = TSkinChangeRun::TWay::Direct;
    r.Image = MakeFormImage(provider, false);
    if (r.Image == nullptr) return r;
    const int w = r.Image->GetWidth(), h = r.Image->GetHeight();
    r.Frames = ShowFrames(time, kind, r.Target, w, h);
    if (r.Frames.empty()) return r;
    r.Dest = CreateBitmap32(w, h);
    r.OwnOldFace = CreateBitmap32(w, h);
    const TRect screen = ScreenRectOf(control->Handle());
    CopyScreen(r.OwnOldFace.get(), TRect{screen.Left, screen.Top, screen.Left + w, screen.Top + h});
    r.OldFace = r.OwnOldFace.get();
    return r;
  }
  r.Image = CopyImage(provider, ImageWindow(provider));
  if (r.Image == nullptr) return r;
  const int w = r.Image->GetWidth(), h = r.Image->GetHeight();
  const TRect screen = ScreenRectOf(ImageWindow(provider));
  const TRect at{screen.Left, screen.Top, screen.Left + w, screen.Top + h};
  r.Frames = ShowFrames(time, kind, r.Target, w, h);
  // Without frames the new face shows at once: nothing is drawn or blended on the way.
  const bool framed = !r.Frames.empty();
  if (framed) r.Dest = CreateBitmap32(w, h);
  if (border != nullptr && r.OldFace != nullptr && !blended) {
    StartOnBorderWindow(r, provider, border);
    return r;
  }
  r.At = POINT{at.Left, at.Top};
  r.Copy = MakeCopyWindow(at);
  ShowCopy(r.Copy->Handle(), ImageWindow(provider), at);
  if (blended) {
    r.Way = TSkinChangeRun::TWay::Blended;
    if (!framed) return r;
    r.OwnOldFace = CreateBitmap32(w, h);
    CopyScreen(r.OwnOldFace.get(), at);
    r.OldFace = r.OwnOldFace.get();
    r.NewFace = NewFaceOver(r.OldFace, r.Image.get());
  }
  return r;
}

}   // namespace

TOutputWindow::TOutputWindow(bool topLevel) : TCustomControl(nullptr), FTopLevel(topLevel) {
  SetTag(-98);
  SetColor(clFuchsia);
}

void TOutputWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Caption = "lxOutputWindow";
  if (FTopLevel) {
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
  }
}

void TOutputWindow::WndProc(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND || message.Msg == WM_NCPAINT) {
    message.Result = 1;
    return;
  }
  TCustomControl::WndProc(message);
}

void CreateCoverWindow(TWinControl* control) {
  if (control == nullptr || !control->HandleAllocated()) return;
  const TRect r = ScreenRectOf(control->Handle());
  if (r.Width() <= 0 || r.Height() <= 0) return;
  if (GCoverBitmap == nullptr) GCoverBitmap = CreateBitmap32(r.Width(), r.Height());
  CopyScreen(GCoverBitmap.get(), r);
  TWinControl* parent = control->Parent();
  if (GCoverWindow == nullptr) GCoverWindow = std::make_unique<TOutputWindow>(parent == nullptr);
  if (parent != nullptr) {
    GCoverWindow->SetParent(parent);
    GCoverWindow->SetBounds(control->Left(), control->Top(), control->Width(), control->Height());
    GCoverWindow->HandleNeeded();
    ShowWindow(GCoverWindow->Handle(), SW_SHOWNOACTIVATE);
  } else {
    GCoverWindow->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    GCoverWindow->HandleNeeded();
    PlaceJustAbove(GCoverWindow->Handle(), control->Handle(), r, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  TWindowDC dc(GCoverWindow->Handle());
  BitBlt(dc.Get(), 0, 0, r.Width(), r.Height(), GCoverBitmap->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

TOutputWindow* CoverWindow() { return GCoverWindow.get(); }
TBitmap* CoverBitmap() { return GCoverBitmap.get(); }

void AnimateSkinChange(TWinControl* control, int time, TlxAnimType kind, int target) {
  if (control == nullptr || !control->HandleAllocated()) return;
  TsSkinProvider* provider = ProviderOf(As<TCustomForm>(control));
  TSkinChangeRun run = StartSkinChange(control, provider, time, kind, target);
  std::vector<TSkinChangeRun*> runs{&run};
  PlaySkinChanges(runs);
  FinishSkinChange(control, run.FaceOnWindow() ? FrameRedraw : FullRedraw);
  // The copy goes only now: the form beneath it has painted its new face completely.
  run.Copy.reset();
  if (provider == nullptr) return;
  // A border window that showed the new face whole gets its hole for the form back.
  if (TlxBorderForm* border = provider->BorderForm(); border != nullptr && border->Handle() != nullptr) {
    border->ResetRegion();
    border->UpdateExBorder(true, 255);
  }
  AfterAnimation(provider, aeSkinChanging);
}

// ---------------------------------------------------------------------------------------------
// Freezing and releasing forms around a skin change

namespace {

bool ApplicationIconic() {
  TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
  return main != nullptr && main->HandleAllocated() && IsIconic(main->Handle());
}

bool ManagerBusy(TsSkinManager* m) {
  return (m->ComponentState() & (csDesigning | csLoading | csReading)) != 0;
}

// A form the manager re-skins: no parent, not an MDI child (its main form's redraw holds it),
// not minimized, its provider belongs to the manager.
TsSkinProvider* QualifyingProvider(TCustomForm* form, TsSkinManager* m, bool allowMinimized = false) {
  if (form == nullptr || form->Parent() != nullptr || form->FormStyle() == fsMDIChild || !form->HandleAllocated())
    return nullptr;
  if (!allowMinimized && IsIconic(form->Handle())) return nullptr;
  TsSkinProvider* p = ProviderOf(form);
  return p != nullptr && p->SkinManager() == m ? p : nullptr;
}

void SetAnimationFlagFor(TsSkinManager* m) {
  if (TsSkinManager::DefaultManager() == m && m->AnimEffects()->SkinChanging()->Active) AnimationInProgress = true;
}

// The forms of the walk, copied: a form may go while another animates.
std::vector<TCustomForm*> Forms() { return RegisteredSkinnedForms(); }

bool StillRegistered(TCustomForm* form) {
  const std::vector<TCustomForm*>& now = RegisteredSkinnedForms();
  return std::find(now.begin(), now.end(), form) != now.end();
}

// WS_VISIBLE off while ShowWindow maximizes the form again, back on every way out.
class TVisibleStyleOff {
public:
  explicit TVisibleStyleOff(HWND wnd) : FWnd(wnd) {
    SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~static_cast<LONG>(WS_VISIBLE));
  }
  TVisibleStyleOff(const TVisibleStyleOff&) = delete;
  TVisibleStyleOff& operator=(const TVisibleStyleOff&) = delete;
  ~TVisibleStyleOff() { SetWindowLongA(FWnd, GWL_STYLE, GetWindowLongA(FWnd, GWL_STYLE) | WS_VISIBLE); }

private:
  HWND FWnd;
};

// The windows frozen by the last freeze: each gets its redraw back at the release, also when
// its form was hidden, minimized or unregistered meanwhile.
std::vector<HWND>& FrozenWindows() {
  static std::vector<HWND> list;
  return list;
}

}   // namespace

void PrepareSkinChangeAnimation(TsSkinManager* manager) {
  if (manager == nullptr || ApplicationIconic() || ManagerBusy(manager)) return;
  SetAnimationFlagFor(manager);
  for (TCustomForm* form : Forms()) {
    TsSkinProvider* p = QualifyingProvider(form, manager);
    if (p == nullptr || !form->Visible()) continue;
    TlxBorderForm* border = p->BorderForm();
    if (border != nullptr && border->Handle() != nullptr) {
      p->FormState |= TsSkinProvider::SkinChanging;
      p->SkinChangeCover.reset();
      p->SkinChangeCover = MakeFormImage(p, false);
    }
    p->InAnimation = true;
  }
}

void FreezeSkinnedForms(TsSkinManager* manager) {
  if (manager == nullptr || ApplicationIconic()) return;
  SetAnimationFlagFor(manager);
  for (TCustomForm* form : Forms()) {
    TsSkinProvider* p = QualifyingProvider(form, manager);
    if (p == nullptr || As<TForm>(form) == nullptr || !IsWindowVisible(form->Handle())) continue;
    p->InAnimation = true;
    p->FormState |= TsSkinProvider::Frozen;
    TlxBorderForm* border = p->BorderForm();
    if (border != nullptr && border->Handle() != nullptr) {
      if (p->SkinChangeCover != nullptr)
        ShowLayeredBitmap(border->Handle(), p->SkinChangeCover->GetHandle(), static_cast<BYTE>(FormAlpha(form)));
      border->ResetRegion();
    }
    SendMessageA(form->Handle(), WM_SETREDRAW, 0, 0);
    std::vector<HWND>& frozen = FrozenWindows();
    if (std::find(frozen.begin(), frozen.end(), form->Handle()) == frozen.end()) frozen.push_back(form->Handle());
  }
}

void ReleaseSkinnedForms(TsSkinManager* manager) {
  if (manager == nullptr || ApplicationIconic()) return;
  if (TsSkinManager::DefaultManager() == manager) AnimationInProgress = false;
  // Every window frozen draws again, whatever became of its form meanwhile (minimized or no
  // longer registered). Redraw on means WS_VISIBLE on: a form hidden meanwhile keeps it off
  // and gets it back from its next showing.
  std::vector<HWND> frozen;
  frozen.swap(FrozenWindows());
  for (HWND wnd : frozen) {
    if (!IsWindow(wnd)) continue;
    auto* form = As<TCustomForm>(FindControl(wnd));
    if (form != nullptr && !form->Visible()) continue;
    SendMessageA(wnd, WM_SETREDRAW, 1, 0);
  }
  // The new faces show on copies over the forms, faded in together or at once, until each form
  // has drawn its new face whole beneath: the screen never shows a form half drawn in the new
  // skin, and each form draws it once.
  TlxSkinChanging* changing = manager->AnimEffects()->SkinChanging();
  struct TReleased {
    TCustomForm* Form;
    TsSkinProvider* Provider;
    TSkinChangeRun Run;
  };
  std::vector<TReleased> released;
  for (TCustomForm* form : Forms()) {
    if (!StillRegistered(form)) continue;
    TsSkinProvider* p = QualifyingProvider(form, manager);
    if (p == nullptr || !form->Visible() || (p->FormState & TsSkinProvider::Frozen) == 0) continue;
    const bool animate = changing->Active && p->DrawNonClientArea();
    released.push_back({form, p,
                        StartSkinChange(form, p, animate ? changing->Time : 0, animate ? changing->Mode : atFading,
                                        animate ? FormAlpha(form) : 255)});
  }
  std::vector<TSkinChangeRun*> runs;
  for (TReleased& r : released) runs.push_back(&r.Run);
  PlaySkinChanges(runs);
  for (auto& [form, p, run] : released) {
    if (!StillRegistered(form)) continue;
    FinishSkinChange(form, 0);
    p->FormState &= ~static_cast<std::uint32_t>(TsSkinProvider::SkinChanging);
    p->SkinChangeCover.reset();
    const HWND wnd = form->Handle();
    if (p->BorderForm() != nullptr && IsZoomed(wnd)) {
      const HWND active = GetActiveWindow();
      {
        TVisibleStyleOff hidden(wnd);
        ShowWindow(wnd, SW_SHOWMAXIMIZED);
      }
      if (active != nullptr) SetActiveWindow(active);
    }
    p->InAnimation = false;
    if (p->DrawNonClientArea()) p->RegionChanged = true;
    RedrawWindow(wnd, nullptr, nullptr, run.FaceOnWindow() ? FrameRedraw : FullRedraw);
    if (TlxBorderForm* border = p->BorderForm();
        p->DrawNonClientArea() && border != nullptr && border->Handle() != nullptr) {
      border->ResetRegion();
      border->UpdateExBorder(true, 255);
    }
    p->FormState &= ~static_cast<std::uint32_t>(TsSkinProvider::Frozen);
    run.Copy.reset();
    if (changing->Active) AfterAnimation(p, aeSkinChanging);
  }
  // Forms frozen but no longer released here (hidden, minimized, gone): their marks go too.
  for (TCustomForm* form : Forms())
    if (TsSkinProvider* p = QualifyingProvider(form, manager, true)) {
      p->FormState &= ~static_cast<std::uint32_t>(TsSkinProvider::Frozen | TsSkinProvider::SkinChanging);
      p->InAnimation = false;
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up

namespace {

// The main form hides while the application ends: its copy fades in a blocking loop on a new
// hide timer (the one still held keeps its copy; the application owns and frees both).
void HideMainFormAtShutDown(TsSkinProvider* provider) {
  provider->SkipAnimation = true;
  GHideTimer = nullptr;
  AnimHideForm(provider);
}

}   // namespace

void InitAnimationsUnit() {
  SetMainFormHide(&HideMainFormAtShutDown);
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.SnapshotForms = &PrepareSkinChangeAnimation;
  links.FreezeForms = &FreezeSkinnedForms;
  links.ReleaseForms = &ReleaseSkinnedForms;
}

void DoneAnimationsUnit() {
  SetMainFormHide(nullptr);
  TsSkinManagerLinks& links = SkinManagerLinks();
  links.SnapshotForms = nullptr;
  links.FreezeForms = nullptr;
  links.ReleaseForms = nullptr;
  StopHideAnimation();
  GHideTimer = nullptr;   // owned and freed by the application object
}
