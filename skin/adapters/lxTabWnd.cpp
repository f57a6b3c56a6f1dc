// The tab and page adapters (see lxTabWnd.h).
//
// Sections: the page list; tab geometry; painting; tab window method; page control; page.
#include "skin/adapters/lxTabWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/adapters/lxSpinWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/sBackgroundInfo.h"

namespace {

// What a tab's caption is read into.
constexpr int TabTextBuffer = 4096;
// The caption stands this far inside the tab; image and caption this far apart.
constexpr int ContentInset = 3;
constexpr int ImageGap = 8;

std::uint32_t StyleOf(HWND wnd) { return static_cast<std::uint32_t>(GetWindowLongA(wnd, GWL_STYLE)); }

// The page adapters of every page control.
std::vector<std::unique_ptr<TlxPageWnd>>& PageList() {
  static std::vector<std::unique_ptr<TlxPageWnd>> list;
  return list;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The page list.

int PageAdapterCount() { return static_cast<int>(PageList().size()); }

void FreePageAdapters() { PageList().clear(); }

// ---------------------------------------------------------------------------------------------
// Tab geometry.

void TlxTabControlWnd::TakeSection(const std::string& section) {
  FOwnSection = section.empty() ? "PAGECONTROL" : section;
  TlxMainWnd::TakeSection(FOwnSection);
}

TlxTabPos TlxTabControlWnd::Position() const { return TabPosition(StyleOf(Handle())); }
int TlxTabControlWnd::ButtonKind() const { return TabButtonKind(StyleOf(Handle())); }
int TlxTabControlWnd::TabCount() const { return static_cast<int>(SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0)); }
int TlxTabControlWnd::SelectedTab() const { return static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)); }

TRect TlxTabControlWnd::DisplayRect() const {
  RECT r{};
  GetClientRect(Handle(), &r);
  SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return TRect{r.left, r.top + 2, r.right, r.bottom};
}

TRect TlxTabControlWnd::PageAreaRect() const {
  RECT c{};
  GetClientRect(Handle(), &c);
  return TabPageAreaRect(Position(), TRect{0, 0, c.right, c.bottom}, DisplayRect(), TabCount() > 0);
}

TRect TlxTabControlWnd::StripRect() const {
  RECT c{};
  GetClientRect(Handle(), &c);
  return TabStripRect(Position(), TRect{0, 0, c.right, c.bottom}, DisplayRect(), TabCount() > 0);
}

TRect TlxTabControlWnd::TabItemRect(int index) const {
  RECT r{};
  if (SendMessageA(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) == 0) return {};
  return TRect{r.left, r.top, r.right, r.bottom};
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TlxTabControlWnd::PaintContent(TBitmap* face, TSize size, int index, int state, int section) {
  char text[TabTextBuffer] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  item.pszText = text;
  item.cchTextMax = TabTextBuffer;
  item.iImage = -1;
  if (SendMessageA(Handle(), TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == 0) return;
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  TCanvas* canvas = face->Canvas();
  SelectCaptionFont(canvas, d->OwnerControl(), reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const TRect r{ContentInset, ContentInset, size.cx - ContentInset, size.cy - ContentInset};
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), TCM_GETIMAGELIST, 0, 0));
  int iw = 0, ih = 0;
  const bool hasImage = images != nullptr && item.iImage >= 0 && ImageList_GetIconSize(images, &iw, &ih) != FALSE;
  const std::string caption = text;
  const TlxTabPos pos = Position();
  const HDC dc = canvas->GetHandle();
  if (pos == TlxTabPos::Top || pos == TlxTabPos::Bottom) {
    TRect captionRect = r;
    if (hasImage) {
      const int tw = canvas->TextWidth(caption);
      const int x = r.Left + (r.Width() - (tw + iw + ImageGap)) / 2;
      ImageList_Draw(images, item.iImage, dc, x, r.Top + (r.Height() - ih) / 2, ILD_TRANSPARENT);
      captionRect.Left = x + iw + ImageGap;
      captionRect.Right = captionRect.Left + tw;
    }
    TsTextSkinInfo info = TextSkinInfoOf(m, section);
    info.CustomFont = d->GetCustomFont();
    DrawSkinText(canvas, caption, true, state == 2, info, DT_CENTER | DT_VCENTER | DT_SINGLELINE, captionRect);
    return;
  }
  // Vertical tabs: the caption turned, reading up on the left side and down on the right one.
  LOGFONTA lf{};
  GetObjectA(canvas->Font()->GetHandle(), sizeof lf, &lf);
  LOGFONTA turned{};
  turned.lfHeight = lf.lfHeight;
  turned.lfItalic = lf.lfItalic;
  turned.lfUnderline = lf.lfUnderline;
  turned.lfStrikeOut = lf.lfStrikeOut;
  turned.lfCharSet = lf.lfCharSet;
  turned.lfWeight = FW_NORMAL;
  const bool left = pos == TlxTabPos::Left;
  turned.lfEscapement = turned.lfOrientation = left ? -2700 : -900;
  std::strncpy(turned.lfFaceName, RotatableFace(lf.lfFaceName).c_str(), LF_FACESIZE - 1);
  // Made once for all tabs and paints while the description stays: a font made anew is
  // realised anew by the system at its first text.
  if (!FTurnedFont.Valid() || std::memcmp(&turned, &FTurnedDesc, sizeof turned) != 0) {
    FTurnedFont.Reset(CreateFontIndirectA(&turned));
    FTurnedDesc = turned;
  }
  const TSelectObject selected(dc, FTurnedFont.Get());
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  const TsGeneralData* s = SectionIndexInRange(m->Tables(), section)
                               ? &m->Tables()->GeneralData[static_cast<size_t>(section)]
                               : nullptr;
  const bool hot = state == 2 && s != nullptr && s->States > 1;
  SetTextColor(dc, s == nullptr ? 0 : static_cast<COLORREF>(hot ? s->HotFontColor[0] : s->FontColor[0]));
  SetBkMode(dc, TRANSPARENT);
  const int shift = state == 2 ? 2 : 0;
  const int block = extent.cx + (hasImage ? ih + ContentInset : 0);
  const int textH = extent.cy;
  const int x = r.Left + (r.Width() - textH) / 2 + shift;
  if (left) {
    // From the bottom up: the image below the text.
    const int bottom = r.Bottom - (r.Height() - block) / 2;
    if (hasImage) ImageList_Draw(images, item.iImage, dc, r.Left + (r.Width() - iw) / 2 + shift, bottom - ih, ILD_TRANSPARENT);
    TextOutA(dc, x, bottom - (hasImage ? ih + ContentInset : 0), caption.c_str(), static_cast<int>(caption.size()));
  } else {
    const int top = r.Top + (r.Height() - block) / 2;
    if (hasImage) ImageList_Draw(images, item.iImage, dc, r.Left + (r.Width() - iw) / 2 + shift, top, ILD_TRANSPARENT);
    TextOutA(dc, x + textH, top + (hasImage ? ih + ContentInset : 0), caption.c_str(), static_cast<int>(caption.size()));
  }
}

void TlxTabControlWnd::PaintTab(int index, int state, TBitmap* target, TPoint offset) {
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m->Tables();
  // A skin whose "TABTOP" is missing (or comes first, index 0) has no tab faces.
  if (t->CommonIndexes.TabSection[0] <= 0) return;
  const TlxTabPos pos = Position();
  const int kind = ButtonKind();
  const bool selected = state == 2 && index == SelectedTab();
  const TRect r = AdjustedTabRect({pos, kind, TabCount()}, index, TabItemRect(index), selected);
  if (r.IsEmpty()) return;
  const std::string name = TabFaceSection(pos, kind);
  const int side = static_cast<int>(pos);
  const int section = kind == 0 ? t->CommonIndexes.TabSection[side] : FindSectionIndex(t, name);
  const int mask = kind == 0 ? t->CommonIndexes.TabBorder[side] : FindMaskEntryDirect(t, name, "BORDERSMASK");
  if (!MaskIndexInRange(t, mask) || section < 0) return;
  TBitmap* cache = d->CacheBitmap();
  TBitmap* face = KeptWorkBitmap(FFace, r.Width(), r.Height());
  BitBlt(face->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), cache->Canvas()->GetHandle(), r.Left, r.Top, SRCCOPY);
  const TsBackgroundInfo under{cache, r.Left, r.Top, clKeyColor, 1};
  PaintSectionItem(section, name, under, -1, -1, t, face, TPoint{0, 0}, TRect{0, 0, r.Width(), r.Height()},
                   state, m->MasterBitmap());
  PaintContent(face, TSize{r.Width(), r.Height()}, index, state, section);
  const HDC tdc = target->Canvas()->GetHandle();
  const TSaveDC saved(tdc);
  // Top and left tabs stop at the page frame.
  if (pos == TlxTabPos::Top || pos == TlxTabPos::Left) {
    const TRect page = PageAreaRect();
    ExcludeClipRect(tdc, page.Left - offset.X, page.Top - offset.Y, page.Right - offset.X, page.Bottom - offset.Y);
  }
  BitBlt(tdc, r.Left - offset.X, r.Top - offset.Y, r.Width(), r.Height(), face->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TlxTabControlWnd::PaintStrip(TBitmap* cache, const TsBackgroundInfo& bg) {
  const TRect strip = StripRect();
  PaintParentBackground(cache->Canvas()->GetHandle(), strip, bg);
  const int rows = std::max(1, static_cast<int>(SendMessageA(Handle(), TCM_GETROWCOUNT, 0, 0)));
  const int count = TabCount(), selected = SelectedTab();
  const TlxTabPos pos = Position();
  // Rows further back first, so that front rows cover them.
  for (int row = 1; row <= rows; ++row)
    for (int i = 0; i < count; ++i)
      if (i != selected && TabRow(pos, TabItemRect(i), rows, strip) == row) PaintTab(i, 0, cache, TPoint{0, 0});
}

void TlxTabControlWnd::PaintControl(HDC dc) {
  TsCommonData* d = SkinData();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  FLastWidth = g.Width;
  FLastHeight = g.Height;
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0) return;
  d->BGChanged = 1;
  const bool hasTabs = TabCount() > 0;
  const std::string section = TabPageSection(Position(), hasTabs, FOwnSection);
  if (d->GetSkinSection() != section) d->SetSkinSection(section);
  TsSkinManager* m = d->GetSkinManager();
  TsBackgroundInfo bg;
  GetWindowParentBackground(Handle(), bg);
  TBitmap* cache = SizedCache(d, Handle());
  if (cache == nullptr) return;
  if (hasTabs) PaintStrip(cache, bg);
  const TRect page = PageAreaRect();
  PaintSectionItem(d->SectionIndex(), section, bg, d->HotTextureIndex(), d->TextureIndex(), m->Tables(), cache,
                   TPoint{page.Left, page.Top}, page, 0, m->MasterBitmap());
  d->BGChanged = 0;
  const TWindowDC window(dc == nullptr ? Handle() : nullptr, TWindowDC::TArea::Client);
  const HDC target = dc != nullptr ? dc : window.Get();
  if (target == nullptr) return;
  const int selected = SelectedTab();
  const TRect tab = hasTabs ? AdjustedTabRect({Position(), ButtonKind(), TabCount()}, selected, TabItemRect(selected), true)
                            : TRect{};
  {
    const TSaveDC saved(target);
    if (!tab.IsEmpty()) ExcludeClipRect(target, tab.Left, tab.Top, tab.Right, tab.Bottom);
    BitBlt(target, 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  }
  if (!tab.IsEmpty()) {
    // The selected tab goes over the copy through a bitmap of its size.
    TBitmap* piece = KeptWorkBitmap(FPiece, tab.Width(), tab.Height());
    BitBlt(piece->Canvas()->GetHandle(), 0, 0, tab.Width(), tab.Height(), cache->Canvas()->GetHandle(), tab.Left,
           tab.Top, SRCCOPY);
    PaintTab(selected, 2, piece, TPoint{tab.Left, tab.Top});
    BitBlt(target, tab.Left, tab.Top, tab.Width(), tab.Height(), piece->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  }
  if (auto* owner = dynamic_cast<TWinControl*>(d->OwnerControl())) PaintGraphicChildren(target, owner);
}

// ---------------------------------------------------------------------------------------------
// Tab window method.

TlxTabControlWnd::~TlxTabControlWnd() {
  ReleaseWndAdapter(Handle(), false, *this);
}

void TlxTabControlWnd::DetachParts() { FArrows.reset(); }

void TlxTabControlWnd::UpdateArrows() {
  const HWND spin = FindWindowExA(Handle(), nullptr, UPDOWN_CLASSA, nullptr);
  if (spin == nullptr || !AdapterSkinned(*this)) {
    FArrows.reset();
    return;
  }
  // The same arrows keep their adapter: remaking it at every erase would hook and unhook the
  // window each time.
  if (FArrows != nullptr && FArrows->Handle() == spin && !FArrows->Defunct()) return;
  FArrows.reset();
  FArrows = CreateForHandle<TlxSpinWnd>(spin, false, "UPDOWNBTN", SkinManager(), nullptr);
}

void TlxTabControlWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (message.Msg == WM_SKINCOMMAND && d != nullptr) {
    const bool own = reinterpret_cast<TsSkinManager*>(message.LParam) == d->GetSkinManager();
    auto passDown = [&] {
      TMessage copy = message;
      PassSkinCommandDown(d->OwnerControl(), Handle(), copy);
    };
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdSkinLoaded:
        // The common handling passes the command down itself.
        if (own) TlxMainWnd::HandleMessage(message);
        else passDown();
        return;
      case SkinCmdUnskin:
        if (own) {
          TlxMainWnd::HandleMessage(message);
          UpdateArrows();
          passDown();
          RedrawWindow(Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                           RDW_ERASENOW | RDW_FRAME);
        } else {
          passDown();
        }
        return;
      case SkinCmdRedrawSkin:
        if (own) {
          TlxMainWnd::HandleMessage(message);
          InvalidateRect(Handle(), nullptr, TRUE);
          UpdateArrows();
        }
        passDown();
        return;
      case SkinCmdResumePaint:
        if (!AdapterSkinned(*this)) break;
        d->SetPaintLock(false);
        InvalidateRect(Handle(), nullptr, TRUE);
        return;
      case SkinCmdQueryContainer:
        message.Result = reinterpret_cast<LRESULT>(SkinManager());
        return;
      default:
        break;
    }
    TlxMainWnd::HandleMessage(message);
    return;
  }
  if (!AdapterSkinned(*this)) {
    TlxMainWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT: {
      // Everything is painted by the erase that BeginPaint sends.
      InvalidateRect(Handle(), nullptr, TRUE);
      const TPaintDC paint(Handle());
      message.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      if (IsWindowVisible(Handle()) == FALSE) break;
      if (!AnimationInProgress) PaintControl(reinterpret_cast<HDC>(message.WParam));
      UpdateArrows();
      message.Result = 0;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_PRINT:
      UpdateArrows();
      PaintControl(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    case TCM_SETCURSEL:
      WithRedrawOff(Handle(), [&] { TlxMainWnd::HandleMessage(message); });
      RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
      return;
    case WM_SIZE: {
      const int w = FLastWidth, h = FLastHeight;
      TlxMainWnd::HandleMessage(message);
      UpdateArrows();
      const TlxWndGeometry g = GetWndGeometry(Handle());
      // A window that only grew shows its old pixels in place; a smaller one repaints.
      if (g.Width < w || g.Height < h)
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
      return;
    }
    default:
      break;
  }
  TlxMainWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// Page control.

void TlxPageControlWnd::AttachToWindow(bool repaintFrame) {
  TlxTabControlWnd::AttachToWindow(repaintFrame);
  AdaptPages();
}

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

}  // namespace

void TlxPageControlWnd::AdaptPages() {
  auto& pages = PageList();
  // Adapters of pages that are gone; never freed inside their own window procedure, which has
  // returned by now.
  std::erase_if(pages, [](const std::unique_ptr<TlxPageWnd>& p) { return p->Defunct(); });
  std::vector<HWND> children;
  EnumChildWindows(Handle(), CollectChild, reinterpret_cast<LPARAM>(&children));
  for (const HWND child : children) {
    if (GetParent(child) != Handle() || SendSkinCommand(child, SkinCmdIsSkinned, 0) == 1) continue;
    auto* manager = reinterpret_cast<TsSkinManager*>(SendSkinCommand(Handle(), SkinCmdQueryContainer, 0));
    pages.push_back(CreateForHandle<TlxPageWnd>(child, false, "CHECKBOX", manager, nullptr));
  }
}

void TlxPageControlWnd::HandleMessage(TMessage& message) {
  if (!AdapterSkinned(*this)) {
    TlxTabControlWnd::HandleMessage(message);
    return;
  }
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (IsWindowVisible(Handle()) == FALSE) break;
      if (!AnimationInProgress) PaintControl(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_NCPAINT:
      AdaptPages();
      message.Result = 0;
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE || LOWORD(message.WParam) == WM_DESTROY) AdaptPages();
      break;
    case WM_PRINT:
      UpdateArrows();
      AdaptPages();
      PaintControl(reinterpret_cast<HDC>(message.WParam));
      message.Result = 0;
      return;
    case TCM_SETCURSEL:
      if (TControl* owner = SkinData()->OwnerControl()) {
        AdaptPages();
        NotifyParentForm(owner);
      }
      break;
    default:
      break;
  }
  TlxTabControlWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// Page.

void TlxPageWnd::AttachToWindow(bool repaintFrame) {
  GetWndGeometry(Handle());
  TlxMainWnd::AttachToWindow(repaintFrame);
}

bool TlxPageWnd::PaintPage(HDC dc) {
  const TlxWndGeometry g = GetWndGeometry(Handle());
  TsBackgroundRequest request;
  request.Rect = TRect{0, 0, g.Width, g.Height};
  RequestWindowBackground(request, g.Parent, false);
  if (request.Bitmap == nullptr) return true;   // a colour: nothing to paint
  if (request.Bitmap->Empty()) {
    SendMessageA(g.Parent, WM_PAINT, reinterpret_cast<WPARAM>(request.Bitmap->Canvas()->GetHandle()), 0);
    if (request.Bitmap->Empty()) return false;
  }
  const TWindowDC window(dc == nullptr ? Handle() : nullptr, TWindowDC::TArea::Client);
  const HDC target = dc != nullptr ? dc : window.Get();
  if (target != nullptr)
    BitBlt(target, 0, 0, g.Width, g.Height, request.Bitmap->Canvas()->GetHandle(), g.TopLeft.X + request.OffsetX,
           g.TopLeft.Y + request.OffsetY, SRCCOPY);
  return true;
}

void TlxPageWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  const bool skinned = AdapterSkinned(*this);
  if (message.Msg == WM_SKINCOMMAND && d != nullptr) {
    const bool own = reinterpret_cast<TsSkinManager*>(message.LParam) == d->GetSkinManager();
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdSkinLoaded: {
        TMessage copy = message;
        PassSkinCommandDown(d->OwnerControl(), Handle(), copy);
        if (own) HandleSkinCommandMessage(message);
        return;
      }
      case SkinCmdUnskin:
      case SkinCmdRedrawSkin: {
        if (own) {
          HandleSkinCommandMessage(message);
          InvalidateRect(Handle(), nullptr, TRUE);
        }
        TMessage copy = message;
        PassSkinCommandDown(d->OwnerControl(), Handle(), copy);
        if (SkinCommandOf(message.WParam) == SkinCmdUnskin) TlxMainWnd::HandleMessage(message);
        return;
      }
      case SkinCmdResumePaint:
        if (d->IsPaintLocked()) {
          d->SetPaintLock(false);
          InvalidateRect(Handle(), nullptr, TRUE);
          return;
        }
        break;
      case SkinCmdQueryBackground:
        if (message.LParam != 0) {
          auto& request = *reinterpret_cast<TsBackgroundRequest*>(message.LParam);
          const TlxWndGeometry g = GetWndGeometry(Handle());
          RequestWindowBackground(request, g.Parent, request.PaintToDC != 0);
          request.OffsetX += g.TopLeft.X;
          request.OffsetY += g.TopLeft.Y;
        }
        return;
      default:
        break;
    }
  } else if (skinned) {
    switch (message.Msg) {
      case WM_PAINT:
        if (IsWindowVisible(Handle()) == FALSE) break;
        HandlePaintMessage(Handle(), message, [this](HDC given) { PaintPage(given); });
        return;
      case WM_ERASEBKGND:
        if (IsWindowVisible(Handle()) == FALSE) break;
        if (PaintPage(reinterpret_cast<HDC>(message.WParam))) message.Result = 1;
        return;
      case WM_NCPAINT:
        message.Result = 0;
        return;
      case WM_PRINT:
        PaintPage(reinterpret_cast<HDC>(message.WParam));
        SendMessageA(Handle(), WM_PAINT, message.WParam, message.LParam);
        message.Result = 0;
        return;
      default:
        break;
    }
  }
  TlxMainWnd::HandleMessage(message);
  if (message.Msg == WM_PARENTNOTIFY && LOWORD(message.WParam) == WM_CREATE) AdoptInTopWindow(Handle());
}
