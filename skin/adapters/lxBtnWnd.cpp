// The push-button and bitmap-button adapters and the helpers of the button-like adapters (see
// lxBtnWnd.h).
//
// Sections: shared helpers; TlxBtnWnd state and layout; TlxBtnWnd painting; TlxBtnWnd window
// method; TlxBitBtnWnd.
#include "skin/adapters/lxBtnWnd.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "framework/base/TypInfo.h"
#include "framework/win/Graphics.h"
#include "skin/core/lxBtnWndCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGlyphPaint.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmapKernels.h"
#include "skin/paint/win/sTextPaintWin.h"

namespace {

// The dotted focus frame lies this far outside the caption.
constexpr int FocusMargin = 1;
// The system's non-client font kind of message boxes.
constexpr int MessageFontKind = 5;

std::uint32_t StyleOf(HWND wnd) { return static_cast<std::uint32_t>(GetWindowLongA(wnd, GWL_STYLE)); }
std::uint32_t ExStyleOf(HWND wnd) { return static_cast<std::uint32_t>(GetWindowLongA(wnd, GWL_EXSTYLE)); }
std::uint32_t ButtonStateOf(HWND wnd) { return static_cast<std::uint32_t>(SendMessageA(wnd, BM_GETSTATE, 0, 0)); }
bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

bool IsHotWindow(HWND wnd) {
  const TsSkinManager* m = TsSkinManager::DefaultManager();
  return m != nullptr && m->HoverWindow() == wnd;
}

bool CursorInWindow(HWND wnd) {
  POINT p{};
  RECT r{};
  return GetCursorPos(&p) && GetWindowRect(wnd, &r) && PtInRect(&r, p);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared helpers.

bool AdapterSkinned(const TlxMainWnd& adapter) {
  return !adapter.Defunct() && adapter.SkinData() != nullptr && adapter.SkinData()->HasSkin(false);
}

const TsGeneralData* AdapterSection(const TsCommonData* data) {
  const TsSkinManager* m = data != nullptr ? data->GetSkinManager() : nullptr;
  if (m == nullptr || !SectionIndexInRange(m->Tables(), data->SectionIndex())) return nullptr;
  return &m->Tables()->GeneralData[static_cast<size_t>(data->SectionIndex())];
}

TBitmap* SizedCache(TsCommonData* data, HWND wnd) {
  const TlxWndGeometry g = GetWndGeometry(wnd);
  data->EnsureCacheBitmap();
  TBitmap* cache = data->CacheBitmap();
  if (cache->GetWidth() != g.Width || cache->GetHeight() != g.Height) cache->SetSize(g.Width, g.Height);
  if (g.Width <= 0 || g.Height <= 0 || data->GetSkinManager() == nullptr) return nullptr;
  return cache;
}

TBitmap* KeptWorkBitmap(std::unique_ptr<TBitmap>& slot, int w, int h) {
  if (slot == nullptr) {
    slot = std::make_unique<TBitmap>();
    slot->SetPixelFormat(TPixelFormat::pf32bit);
  }
  if (slot->GetWidth() < w || slot->GetHeight() < h)
    slot->SetSize(std::max(w, slot->GetWidth()), std::max(h, slot->GetHeight()));
  return slot.get();
}

void HandlePaintMessage(HWND wnd, TMessage& message, const std::function<void(HDC given)>& paint) {
  std::optional<TPaintDC> validate;
  if (message.WParam == 0) validate.emplace(wnd);
  paint(reinterpret_cast<HDC>(message.WParam));
  message.Result = 0;
}

bool HandlePaintOrPrint(HWND wnd, TMessage& message, const std::function<void(HDC given)>& paint) {
  if (message.Msg == WM_PAINT) {
    HandlePaintMessage(wnd, message, paint);
    return true;
  }
  if (message.Msg != WM_PRINT) return false;
  paint(reinterpret_cast<HDC>(message.WParam));
  message.Result = 0;
  return true;
}

void SelectCaptionFont(TCanvas* canvas, TControl* owner, HFONT fallback) {
  const HFONT wanted = owner != nullptr ? owner->Font()->GetHandle() : fallback;
  LOGFONTA want{}, have{};
  if (wanted == nullptr || GetObjectA(wanted, sizeof want, &want) == 0) return;
  const HFONT current = canvas->Font()->GetHandle();
  // Compared by what the framework's font keeps of a description.
  if (current != nullptr && GetObjectA(current, sizeof have, &have) != 0 && want.lfHeight == have.lfHeight &&
      (want.lfWeight >= FW_BOLD) == (have.lfWeight >= FW_BOLD) && want.lfItalic == have.lfItalic &&
      want.lfUnderline == have.lfUnderline && want.lfStrikeOut == have.lfStrikeOut &&
      want.lfCharSet == have.lfCharSet && std::strncmp(want.lfFaceName, have.lfFaceName, LF_FACESIZE) == 0)
    return;
  if (owner != nullptr)
    canvas->Font()->Assign(owner->Font());
  else
    canvas->Font()->SetHandle(fallback);
}

void WithRedrawOff(HWND wnd, const std::function<void()>& handling) {
  SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
  handling();
  SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
}

void CopyCacheTo(HWND wnd, TBitmap* cache, HDC dc, const TRect& source, TPoint dest) {
  if (cache == nullptr || cache->Empty()) return;
  const TWindowDC window(dc == nullptr ? wnd : nullptr, TWindowDC::TArea::Window);
  const HDC target = dc != nullptr ? dc : window.Get();
  if (target == nullptr) return;
  BitBlt(target, dest.X, dest.Y, source.Width(), source.Height(), cache->Canvas()->GetHandle(), source.Left,
         source.Top, SRCCOPY);
}

bool PaintParentBackground(HDC dc, const TRect& r, const TsBackgroundInfo& bg) {
  if (bg.Bitmap == nullptr) {
    FillDCRect(dc, r, bg.Color);
    return true;
  }
  if (bg.X < 0 || bg.Y < 0) return false;
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bg.Bitmap->Canvas()->GetHandle(), bg.X + r.Left, bg.Y + r.Top,
         SRCCOPY);
  return true;
}

void BlendDisabled(TBitmap* cache, HWND wnd, TControl* owner) {
  TsBackgroundInfo bg;
  GetWindowParentBackground(wnd, bg);
  const TColor color = owner != nullptr ? static_cast<TColor>(GetControlColor(owner)) : bg.Color;
  MakeDisabledLook(cache, dkBlended, color, TPoint{0, 0}, bg);
}

// ---------------------------------------------------------------------------------------------
// TlxBtnWnd: state and layout.

void TlxBtnWnd::TakeSection(const std::string& section) {
  TlxMainWnd::TakeSection(section.empty() ? "BUTTON" : section);
}

void TlxBtnWnd::AttachToWindow(bool repaintFrame) {
  FHasFocus = GetFocus() == Handle();
  TlxMainWnd::AttachToWindow(repaintFrame);
}

int TlxBtnWnd::CurrentState() const {
  const HWND h = Handle();
  TlxBtnStateInput in;
  in.ButtonState = ButtonStateOf(h);
  in.Enabled = IsWindowEnabled(h) != FALSE;
  in.FocusedOrHot = FHasFocus || IsHotWindow(h);
  in.Style = StyleOf(h);
  in.OwnedByControl = SkinData()->OwnerControl() != nullptr;
  return BtnFaceState(in);
}

TCanvas* TlxBtnWnd::CaptionCanvas() {
  TCanvas* canvas = SkinData()->CacheBitmap()->Canvas();
  // One message font for the adapter's life: made at the first caption, freed with the adapter.
  if (SkinData()->OwnerControl() == nullptr && !FCaptionFont.Valid())
    FCaptionFont.Reset(CreateNonClientFont(MessageFontKind));
  SelectCaptionFont(canvas, SkinData()->OwnerControl(), FCaptionFont.Get());
  return canvas;
}

int TlxBtnWnd::MaxTextWidth() {
  return BtnMaxTextWidth(!Caption().empty(), GetWndGeometry(Handle()).Width, GlyphSize().cx);
}

TSize TlxBtnWnd::MeasureCaption() {
  if (Caption().empty()) return TSize{0, 0};
  TCanvas* canvas = CaptionCanvas();
  const unsigned wrap = (StyleOf(Handle()) & lxBS_MULTILINE) != 0 ? DT_WORDBREAK : 0;
  RECT r{0, 0, MaxTextWidth(), 0};
  DrawTextA(canvas->GetHandle(), Caption().c_str(), static_cast<int>(Caption().size()), &r,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_CENTER | wrap);
  return TSize{r.right - r.left, r.bottom - r.top};
}

TRect TlxBtnWnd::CaptionRect() {
  const TlxWndGeometry g = GetWndGeometry(Handle());
  const TSize text = MeasureCaption();
  return BtnCaptionRect(g.Width, g.Height, text.cx, text.cy, Pressed());
}

// ---------------------------------------------------------------------------------------------
// TlxBtnWnd: painting.

void TlxBtnWnd::DrawTextIn(const std::string& text, const TRect& r, unsigned format) {
  TsCommonData* d = SkinData();
  TsTextSkinInfo info = TextSkinInfoOf(SkinManager(), d->SectionIndex());
  info.CustomFont = d->GetCustomFont();
  info.Cache = d->CacheBitmap();
  DrawSkinText(CaptionCanvas(), text, true, CurrentState() != 0, info, format, r);
}

void TlxBtnWnd::DrawCaption() {
  if (Caption().empty()) return;
  TCanvas* canvas = CaptionCanvas();
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const TRect r = CaptionRect();
  DrawTextIn(Caption(), r, BtnCaptionFormat(StyleOf(Handle()), ExStyleOf(Handle())));
  const TsGeneralData* section = AdapterSection(SkinData());
  const bool focused = (ButtonStateOf(Handle()) & BST_FOCUS) != 0;
  if (IsWindowEnabled(Handle()) && focused && section != nullptr && section->ShowFocus) {
    const TRect f{r.Left - FocusMargin, r.Top - FocusMargin, r.Right + FocusMargin - 1, r.Bottom + FocusMargin - 1};
    DrawDottedFrame(canvas, f, clBtnFace, clBtnFace);
  }
}

void TlxBtnWnd::PrepareCache() {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  LayoutRect = g.WndRect;
  LayoutPoint = g.TopLeft;
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  const int state = CurrentState();
  if (state == 2 && d->GlowID() >= 0) d->HideGlow();
  PaintSectionWithBorder(cache, TRect{0, 0, g.Width, g.Height}, d->SectionIndex(), d->BorderIndex(), state,
                         m->Tables(), bg, TPoint{0, 0}, m->MasterBitmap());
  DrawCaption();
  DrawGlyph();
  if (!IsWindowEnabled(Handle())) BlendDisabled(cache, Handle(), d->OwnerControl());
  d->BGChanged = 0;
}

void TlxBtnWnd::Paint(HDC given) {
  TsCommonData* d = SkinData();
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  d->BGChanged = 1;
  PrepareCache();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr) return;
  CopyCacheTo(Handle(), cache, given, TRect{0, 0, cache->GetWidth(), cache->GetHeight()}, TPoint{0, 0});
}

void TlxBtnWnd::Redraw() {
  SkinData()->BGChanged = 1;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// ---------------------------------------------------------------------------------------------
// TlxBtnWnd: window method.

void TlxBtnWnd::HoverIn(TMessage& message) {
  TsCommonData* d = SkinData();
  if (!FMouseInside && IsHotWindow(Handle()) && CursorInWindow(Handle())) {
    FMouseInside = true;
    d->MouseAbove = 1;
    d->SetPaintLock(false);
    Redraw();
    if ((ButtonStateOf(Handle()) & BST_PUSHED) == 0) d->UpdateGlow(false, Handle());
  }
  TlxMainWnd::HandleMessage(message);
}

void TlxBtnWnd::HoverOut(TMessage& message) {
  TsCommonData* d = SkinData();
  if (FMouseInside) {
    d->HideGlow();
    FMouseInside = false;
    d->MouseAbove = 0;
    d->SetPaintLock(false);
    Redraw();
  }
  TlxMainWnd::HandleMessage(message);
}

void TlxBtnWnd::WMFocus(TMessage& message) {
  WithRedrawOff(Handle(), [&] { TlxMainWnd::HandleMessage(message); });
  FHasFocus = message.Msg == WM_SETFOCUS;
  SkinData()->BGChanged = 1;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TlxBtnWnd::WMMouseMove(TMessage& message) {
  TlxMainWnd::HandleMessage(message);
  TsSkinManager* m = TsSkinManager::DefaultManager();
  if (m == nullptr || (m->ComponentState() & csDesigning) != 0 || !IsWindowEnabled(Handle())) return;
  const bool inside = CursorInWindow(Handle());
  if (inside && m->HoverWindow() != Handle()) m->TrackHoverWindow(Handle());
  if (!inside && m->HoverWindow() == Handle()) m->TrackHoverWindow(nullptr);
}

void TlxBtnWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  TsCommonData* d = SkinData();
  if (message.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdHoverIn: HoverIn(message); return;
      case SkinCmdHoverOut: HoverOut(message); return;
      default: TlxMainWnd::HandleMessage(message); return;
    }
  }
  switch (message.Msg) {
    case WM_MOVE: {
      message.Result = CallOldProc(message);
      const TsGeneralData* s = AdapterSection(d);
      const bool active = FMouseInside || CurrentState() != 0;
      if (s != nullptr && (s->Transparency > 0 || (active && s->HotTransparency > 0))) Redraw();
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (!IsWindowEnabled(Handle())) break;
      WMFocus(message);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
      if (!Visible(Handle())) break;
      WithRedrawOff(Handle(), [&] {
        if (message.Msg == BM_SETSTATE) message.Result = CallOldProc(message);
        else TlxMainWnd::HandleMessage(message);
      });
      Redraw();
      return;
    case WM_PAINT:
      if (!Visible(Handle()) && message.WParam == 0) break;
      if (!ParamsApplied) ApplySkinColors();
      HandlePaintMessage(Handle(), message, [this](HDC given) { Paint(given); });
      return;
    case WM_PRINT:
      Paint(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
      message.Result = 1;
      return;
    case WM_MOUSEHOVER:
      SendSkinCommand(Handle(), SkinCmdHoverIn, reinterpret_cast<LPARAM>(SkinManager()));
      break;
    case WM_MOUSELEAVE:
      if (IsHotWindow(Handle())) TsSkinManager::DefaultManager()->TrackHoverWindow(nullptr);
      break;
    case WM_MOUSEMOVE:
      WMMouseMove(message);
      return;
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// TlxBitBtnWnd.

TBitmap* TlxBitBtnWnd::OwnerGlyph() const {
  TControl* owner = SkinData()->OwnerControl();
  if (owner == nullptr || !IsPublishedProp(owner, "Glyph")) return nullptr;
  auto* glyph = dynamic_cast<TBitmap*>(GetObjectProp(owner, "Glyph"));
  return glyph != nullptr && !glyph->Empty() ? glyph : nullptr;
}

int TlxBitBtnWnd::NumGlyphs() const {
  TControl* owner = SkinData()->OwnerControl();
  const std::int64_t n = owner != nullptr && IsPublishedProp(owner, "NumGlyphs") ? GetOrdProp(owner, "NumGlyphs") : 1;
  // A count of 0 or less would divide the glyph's width by it.
  return static_cast<int>(std::max<std::int64_t>(1, n));
}

TSize TlxBitBtnWnd::GlyphSize() {
  if (SkinData()->OwnerControl() != nullptr) {
    TBitmap* glyph = OwnerGlyph();
    if (glyph == nullptr) return TSize{0, 0};
    return TSize{glyph->GetWidth() / NumGlyphs(), glyph->GetHeight()};
  }
  const auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(Handle(), BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return TSize{0, 0};
  return TSize{info.bmWidth, info.bmHeight};
}

int TlxBitBtnWnd::MaxTextWidth() {
  return BtnMaxTextWidth(!Caption().empty(), GetWndGeometry(Handle()).Width, GlyphSize().cx);
}

TlxBitBtnWnd::TPlace TlxBitBtnWnd::OwnerPlace() {
  TControl* owner = SkinData()->OwnerControl();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  const TSize glyph = GlyphSize();
  const TSize text = MeasureCaption();
  auto ord = [owner](const char* name, std::int64_t fallback) {
    return IsPublishedProp(owner, name) ? GetOrdProp(owner, name) : fallback;
  };
  const bool both = glyph.cx > 0 && text.cx > 0;
  const int spacing = both ? static_cast<int>(ord("Spacing", 4)) : 0;
  const int margin = static_cast<int>(ord("Margin", -1));
  const int layout = static_cast<int>(ord("Layout", glGlyphLeft));
  TlxGlyphCaptionPlace p =
      GlyphCaptionLayout(glyph, text, 0, TRect{0, 0, g.Width, g.Height}, layout, margin, spacing, 2);
  if (Pressed()) {
    p.Glyph = TRect{p.Glyph.Left + 1, p.Glyph.Top + 1, p.Glyph.Right + 1, p.Glyph.Bottom + 1};
    p.Caption = TRect{p.Caption.Left + 1, p.Caption.Top + 1, p.Caption.Right + 1, p.Caption.Bottom + 1};
  }
  return TPlace{p.Glyph, p.Caption};
}

TRect TlxBitBtnWnd::CaptionRect() {
  if (SkinData()->OwnerControl() != nullptr) return OwnerPlace().Caption;
  return BareBitBtnCaptionRect(TlxBtnWnd::CaptionRect(), GlyphSize().cx);
}

void TlxBitBtnWnd::DrawGlyph() {
  TBitmap* cache = SkinData()->CacheBitmap();
  const TSize size = GlyphSize();
  if (size.cx <= 0 || size.cy <= 0) return;
  TRect r;
  TBitmap* glyph = OwnerGlyph();
  int count = 1;
  // A bare window's bitmap is the application's: a copy is painted.
  std::unique_ptr<TBitmap> copy;
  if (SkinData()->OwnerControl() != nullptr) {
    if (glyph == nullptr) return;
    r = OwnerPlace().Glyph;
    count = NumGlyphs();
  } else {
    const auto own = reinterpret_cast<HBITMAP>(SendMessageA(Handle(), BM_GETIMAGE, IMAGE_BITMAP, 0));
    copy = std::make_unique<TBitmap>();
    copy->SetHandle(static_cast<HBITMAP>(CopyImage(own, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (copy->Empty()) return;
    glyph = copy.get();
    const TRect caption = CaptionRect();
    r = BareBitBtnGlyphRect(caption, size.cx, size.cy, GetWndGeometry(Handle()).Height,
                            (ButtonStateOf(Handle()) & BST_PUSHED) != 0);
  }
  const bool enabled = IsWindowEnabled(Handle()) != FALSE;
  if (count > 1 || glyph->GetPixelFormat() != TPixelFormat::pf32bit) {
    const int state = CurrentState();
    PaintGlyphState(glyph, cache, r, state, 0, state == 2 ? 2 : 0, dkBlended, enabled, count);
    return;
  }
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(cache->Canvas()->GetHandle(), r.Left, r.Top, size.cx, size.cy, glyph->Canvas()->GetHandle(), 0, 0,
             size.cx, size.cy, blend);
}
