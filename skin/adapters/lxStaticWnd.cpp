// The static, edge, icon, link and size-grip adapters (see lxStaticWnd.h).
//
// Sections: TlxStaticWnd; TlxEdgeWnd; TlxIconWnd; TlxLinkWnd; TlxSizerWnd.
#include "skin/adapters/lxStaticWnd.h"

#include <algorithm>
#include <optional>

#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxEditWnd.h"
#include "skin/core/lxAdapterCore.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"

namespace {

constexpr int EdgeWidth = 2;

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

bool Skinned(const TlxMainWnd& adapter) {
  return !adapter.Defunct() && adapter.SkinData() != nullptr && adapter.SkinData()->HasSkin(false);
}

LONG StyleOf(HWND wnd) { return GetWindowLongA(wnd, GWL_STYLE); }
LONG ExStyleOf(HWND wnd) { return GetWindowLongA(wnd, GWL_EXSTYLE); }

// The window's size (the cache's).
TPoint SizeOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return TPoint{r.right - r.left, r.bottom - r.top};
}

// The cache copied to `dc` (the window DC when null); with `edgeOnly` only its outer frame.
void CopyCache(HWND wnd, TBitmap* cache, HDC given, bool edgeOnly) {
  const TWindowDC window(given == nullptr ? wnd : nullptr, TWindowDC::TArea::Window);
  const HDC dc = given != nullptr ? given : window.Get();
  if (dc == nullptr || cache == nullptr) return;
  const TSaveDC saved(dc);
  const int w = cache->GetWidth(), h = cache->GetHeight();
  if (edgeOnly) ExcludeClipRect(dc, EdgeWidth, EdgeWidth, w - EdgeWidth, h - EdgeWidth);
  BitBlt(dc, 0, 0, w, h, cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TlxStaticWnd.

void TlxStaticWnd::PrepareCache() {
  const TlxWndGeometry g = GetWndGeometry(Handle());
  LayoutRect = g.WndRect;
  LayoutPoint = g.TopLeft;
  SkinData()->BGChanged = 1;
  PrepareWndCache(SkinData(), Handle(), false);
}

void TlxStaticWnd::PaintThroughCache(HDC dc) {
  PrepareCache();
  if (DrawContent()) CopyCache(Handle(), SkinData()->CacheBitmap(), dc, false);
}

void TlxStaticWnd::DrawCaption(const std::string& text, unsigned format, const TRect& r, bool underline) {
  TBitmap* cache = SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return;
  TCanvas* canvas = cache->Canvas();
  const TOwnedFont font(CreateNonClientFont(5));
  if (font.Get() != nullptr) canvas->Font()->SetHandle(font.Get());
  canvas->Font()->SetStyle(static_cast<TFontStyles>(underline ? fsUnderline : 0));
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const TsTextSkinInfo info = TextSkinInfoOf(SkinManager(), SkinData()->SectionIndex());
  DrawSkinText(canvas, text, IsWindowEnabled(Handle()) != FALSE, false, info, format, r);
}

bool TlxStaticWnd::DrawContent() {
  if (Caption().empty()) return true;
  TBitmap* cache = SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return false;
  const unsigned format = StaticTextFormat(static_cast<std::uint32_t>(StyleOf(Handle())),
                                           static_cast<std::uint32_t>(ExStyleOf(Handle())),
                                           (ExStyleOf(Handle()) & WS_EX_RTLREADING) != 0);
  DrawCaption(Caption(), format, TRect{0, 0, cache->GetWidth(), cache->GetHeight()}, false);
  return true;
}

void TlxStaticWnd::Redraw() {
  SkinData()->BGChanged = 1;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void TlxStaticWnd::HandleMessage(TMessage& message) {
  // A static that takes the focus or has a sunken edge is drawn by the system.
  const bool ownLook = (StyleOf(Handle()) & WS_TABSTOP) == 0 && (ExStyleOf(Handle()) & WS_EX_STATICEDGE) == 0;
  if (!Skinned(*this) || !ownLook || !Visible(Handle())) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_MOVE:
    case WM_ENABLE:
      SkinData()->BGChanged = 1;
      message.Result = CallOldProc(message);
      Redraw();
      return;
    case WM_SETTEXT:
      SendMessageA(Handle(), WM_SETREDRAW, 0, 0);
      TlxMainWnd::HandleMessage(message);
      SendMessageA(Handle(), WM_SETREDRAW, 1, 0);
      Redraw();
      return;
    case WM_PAINT:
      if (message.WParam != 0) {
        PaintThroughCache(reinterpret_cast<HDC>(message.WParam));
      } else {
        const TPaintDC paint(Handle());
        PaintThroughCache(paint.Get());
      }
      message.Result = 0;
      return;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_PRINT:
      PaintThroughCache(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    default:
      TlxMainWnd::HandleMessage(message);
      return;
  }
}

// ---------------------------------------------------------------------------------------------
// TlxEdgeWnd.

void TlxEdgeWnd::PaintThroughCache(HDC dc) {
  PrepareCache();
  DrawContent();
  CopyCache(Handle(), SkinData()->CacheBitmap(), dc, true);
}

void TlxEdgeWnd::HandleMessage(TMessage& message) {
  if (!Skinned(*this)) {
    TlxStaticWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      // The system paints the inside; the frame is painted over its edge afterwards.
      message.Result = CallOldProc(message);
      PaintThroughCache(nullptr);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      message.Result = 0;
      return;
    default:
      TlxStaticWnd::HandleMessage(message);
      return;
  }
}

// ---------------------------------------------------------------------------------------------
// TlxIconWnd.

TlxIconWnd::~TlxIconWnd() = default;

bool TlxIconWnd::DrawBitmap(TBitmap* cache) {
  if (FBitmap == nullptr) {
    const auto own = reinterpret_cast<HBITMAP>(SendMessageA(Handle(), STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (own == nullptr) return false;
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->SetHandle(static_cast<HBITMAP>(CopyImage(own, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  if (FBitmap->Empty()) return false;
  BITMAP info{};
  GetObjectA(FBitmap->GetHandle(), sizeof(info), &info);
  const HDC target = cache->Canvas()->GetHandle();
  const HDC source = FBitmap->Canvas()->GetHandle();
  if (info.bmBitsPixel == 32) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target, 0, 0, cache->GetWidth(), cache->GetHeight(), source, 0, 0, FBitmap->GetWidth(),
               FBitmap->GetHeight(), blend);
  } else {
    // 1:1 from the top-left corner; a bitmap larger than the window is cut at its edges.
    BitBlt(target, 0, 0, std::min(cache->GetWidth(), FBitmap->GetWidth()),
           std::min(cache->GetHeight(), FBitmap->GetHeight()), source, 0, 0, SRCCOPY);
  }
  return true;
}

bool TlxIconWnd::DrawContent() {
  TBitmap* cache = SkinData()->CacheBitmap();
  if (cache == nullptr || cache->Empty()) return false;
  if ((StyleOf(Handle()) & SS_TYPEMASK) != SS_ICON) return DrawBitmap(cache);
  const auto icon = reinterpret_cast<HICON>(SendMessageA(Handle(), STM_GETICON, 0, 0));
  if (icon == nullptr) return false;
  DrawIconEx(cache->Canvas()->GetHandle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  return true;
}

void TlxIconWnd::HandleMessage(TMessage& message) {
  if (message.Msg == STM_SETIMAGE) {
    // The next paint copies the new image.
    FBitmap.reset();
    if (SkinData() != nullptr) SkinData()->BGChanged = 1;
  }
  TlxStaticWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// TlxLinkWnd.

bool TlxLinkWnd::DrawContent() {
  const TPoint size = SizeOf(Handle());
  DrawCaption(StripLinkTags(Caption()), lxDT_WORDBREAK | lxDT_EXPANDTABS | lxDT_NOCLIP,
              TRect{0, 0, size.X + 4, size.Y}, true);
  return true;
}

void TlxLinkWnd::HandleMessage(TMessage& message) {
  if (!Skinned(*this) || (ExStyleOf(Handle()) & WS_EX_STATICEDGE) != 0) {
    TlxStaticWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_MOVE:
      SkinData()->BGChanged = 1;
      message.Result = CallOldProc(message);
      Redraw();
      return;
    case WM_SETTEXT:
      TlxMainWnd::HandleMessage(message);
      Redraw();
      return;
    case WM_PAINT: {
      // The link is painted with its background (below), never over a stale one.
      const TPaintDC paint(Handle());
      message.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      if (!Visible(Handle())) break;
      PaintThroughCache(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    default:
      break;
  }
  TlxStaticWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// TlxSizerWnd.

void TlxSizerWnd::WMPaint(HDC given) {
  // A print request's DC (WM_PRINT arrives as WM_PAINT with it) is painted instead.
  std::optional<TPaintDC> paint;
  if (given == nullptr) paint.emplace(Handle());
  const HDC target = given != nullptr ? given : paint->Get();
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  const int grip = t != nullptr ? t->CommonIndexes.GripImage : -1;
  // Without a grip image the window keeps whatever was there.
  if (!MaskIndexInRange(t, grip)) return;
  const TPoint size = SizeOf(Handle());
  if (size.X <= 0 || size.Y <= 0) return;
  TBitmap work;
  work.SetPixelFormat(TPixelFormat::pf32bit);
  work.SetSize(size.X, size.Y);
  const HDC dc = work.Canvas()->GetHandle();
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  if (bg.Bitmap != nullptr) {
    BitBlt(dc, 0, 0, size.X, size.Y, bg.Bitmap->Canvas()->GetHandle(), bg.X, bg.Y, SRCCOPY);
  } else {
    const RECT r{0, 0, size.X, size.Y};
    const TOwnedBrush brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(bg.Color))));
    FillRect(dc, &r, brush.Get());
  }
  const TsMaskData& mask = t->MaskData[static_cast<size_t>(grip)];
  const TPoint at = SizeGripOrigin(size.X, size.Y, mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
  DrawMaskState(&work, at, 0, TsBackgroundInfo{&work, 0, 0, clKeyColor, 1}, t, grip, 0, m->MasterBitmap());
  BitBlt(target, 0, 0, size.X, size.Y, dc, 0, 0, SRCCOPY);
}

void TlxSizerWnd::HandleMessage(TMessage& message) {
  // The grip paints no section: a live skin is all it needs.
  if (Defunct() || SkinManager() == nullptr || !SkinManager()->GetActive()) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      WMPaint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_NCHITTEST:
      TlxMainWnd::HandleMessage(message);
      if (IsWindowEnabled(Handle()) != FALSE) {
        if (TsSkinManager* m = TsSkinManager::DefaultManager(); m != nullptr && m->HoverWindow() != nullptr)
          m->TrackHoverWindow(nullptr);
      }
      message.Result = HTBOTTOMRIGHT;
      return;
    default:
      TlxMainWnd::HandleMessage(message);
      return;
  }
}
