// The list view adapter (see lxListViewWnd.h).
//
// Sections: the header hook; colours; the header's window method and painting; the list
// view's window method.
#include "skin/adapters/lxListViewWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/core/lxListViewCore.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/sUtils.h"

namespace {

constexpr const char* HeaderProp = "LXLVHDR";
constexpr const char* HeaderClass = "SysHeader32";
// HDM_HITTEST's divider areas: a press there sizes a column, it does not press one.
constexpr UINT DividerHits = HHT_ONDIVIDER | HHT_ONDIVOPEN;
constexpr int NoColumn = -1, OutsideColumns = -2;
constexpr int TextBufferSize = 129;

bool Visible(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }

bool IsHeaderWindow(HWND wnd) {
  char name[32] = {};
  GetClassNameA(wnd, name, sizeof(name));
  return lstrcmpiA(name, HeaderClass) == 0;
}

TRect HeaderItemRect(HWND header, int index) {
  RECT r{};
  SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return TRect{r.left, r.top, r.right, r.bottom};
}

}   // namespace

// ---------------------------------------------------------------------------------------------
// The header hook.

TlxHeaderHook::TlxHeaderHook(HWND header, TlxListViewWnd& owner) : FHeader(header), FCell(new TCell{&owner, nullptr}) {
  SetPropA(header, HeaderProp, FCell);
  FCell->OldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TlxHeaderHook::HeaderProc)));
}

TlxHeaderHook::~TlxHeaderHook() {
  const bool current =
      GetWindowLongPtrA(FHeader, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TlxHeaderHook::HeaderProc);
  if (!IsWindow(FHeader) || current) {
    if (IsWindow(FHeader)) {
      SetWindowLongPtrA(FHeader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FCell->OldProc));
      RemovePropA(FHeader, HeaderProp);
    }
    delete FCell;
  } else {
    // A later subclasser still calls ours: it forwards from now on and the header's
    // WM_NCDESTROY frees the record.
    FCell->Owner = nullptr;
  }
}

LRESULT TlxHeaderHook::CallOld(UINT msg, WPARAM wparam, LPARAM lparam) const {
  return CallWindowProcA(FCell->OldProc, FHeader, msg, wparam, lparam);
}

LRESULT CALLBACK TlxHeaderHook::HeaderProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* cell = static_cast<TCell*>(GetPropA(wnd, HeaderProp));
  if (cell == nullptr) return DefWindowProcA(wnd, msg, wparam, lparam);
  if (cell->Owner == nullptr) {
    const WNDPROC old = cell->OldProc;
    if (msg == WM_NCDESTROY) {
      RemovePropA(wnd, HeaderProp);
      delete cell;
    }
    return CallWindowProcA(old, wnd, msg, wparam, lparam);
  }
  try {
    return cell->Owner->HeaderMessage(msg, wparam, lparam);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
    return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Attach, detach and colours.

TlxListViewWnd::~TlxListViewWnd() {
  ReleaseWndAdapter(Handle(), false, *this);
  FHeader.reset();
}

void TlxListViewWnd::AttachToWindow(bool repaintFrame) {
  TlxEditWnd::AttachToWindow(repaintFrame);
  if (HWND header = FindWindowExA(Handle(), nullptr, HeaderClass, nullptr)) HookHeader(header);
}

bool TlxListViewWnd::KeepsVisualStyle() const { return WindowsVistaOrLater() || TlxEditWnd::KeepsVisualStyle(); }

void TlxListViewWnd::DetachParts() {
  TlxEditWnd::DetachParts();
  FHeader.reset();
}

void TlxListViewWnd::HookHeader(HWND header) {
  FHeader.reset();
  FHeader = std::make_unique<TlxHeaderHook>(header, *this);
  FHotColumn = FPressedColumn = NoColumn;
}

void TlxListViewWnd::StoreControlColors() {
  TlxEditWnd::StoreControlColors();
  FSavedBk = static_cast<COLORREF>(SendMessageA(Handle(), LVM_GETBKCOLOR, 0, 0));
  FSavedText = static_cast<COLORREF>(SendMessageA(Handle(), LVM_GETTEXTCOLOR, 0, 0));
  FSavedTextBk = static_cast<COLORREF>(SendMessageA(Handle(), LVM_GETTEXTBKCOLOR, 0, 0));
  FColorsSaved = true;
}

void TlxListViewWnd::RestoreControlColors() {
  TlxEditWnd::RestoreControlColors();
  if (!FColorsSaved || !IsWindow(Handle())) return;
  SendMessageA(Handle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(FSavedBk));
  SendMessageA(Handle(), LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(FSavedText));
  SendMessageA(Handle(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(FSavedTextBk));
}

void TlxListViewWnd::ApplySkinColors() {
  TlxEditWnd::ApplySkinColors();
  TsCommonData* d = SkinData();
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (t == nullptr || !SectionIndexInRange(t, d->SectionIndex())) return;
  TColor back = ColorToRGB(clWindow), text = ColorToRGB(clWindowText);
  if (!DialogMode()) {
    back = d->SectionColor(0, Handle());
    text = ColorToRGB(SectionState(t->GeneralData[static_cast<size_t>(d->SectionIndex())], 0).FontColor[0]);
  }
  SendMessageA(Handle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  SendMessageA(Handle(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
  SendMessageA(Handle(), LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
}

int TlxListViewWnd::ListViewStyle() const {
  TControl* owner = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  if (owner != nullptr && PublishedPropExists(owner, "ViewStyle")) return static_cast<int>(ReadOrdProp(owner, "ViewStyle"));
  return ListViewStyleOfView(static_cast<int>(SendMessageA(Handle(), LVM_GETVIEW, 0, 0)));
}

// ---------------------------------------------------------------------------------------------
// The header.

LRESULT TlxListViewWnd::HeaderMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND header = FHeader->Handle();
  if (ListViewStyle() != lxViewReport || !SkinData()->HasSkin(false)) return FHeader->CallOld(msg, wparam, lparam);
  switch (msg) {
    case WM_PAINT:
      if (wparam != 0) {
        PaintHeaderTo(reinterpret_cast<HDC>(wparam));
      } else {
        const TPaintDC paint(header);
        PaintHeaderTo(paint.Get());
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_WINDOWPOSCHANGING:
      if (Visible(Handle())) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
      break;
    case WM_NCDESTROY: {
      const LRESULT r = FHeader->CallOld(msg, wparam, lparam);
      FHeader.reset();
      return r;
    }
    case WM_NCHITTEST: {
      const LRESULT r = FHeader->CallOld(msg, wparam, lparam);
      POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      ScreenToClient(header, &p);
      int hot = OutsideColumns;
      const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
      for (int i = 0; i < count && hot == OutsideColumns; ++i) {
        const TRect c = HeaderItemRect(header, i);
        if (p.x >= c.Left && p.x < c.Right && p.y >= c.Top && p.y < c.Bottom) hot = i;
      }
      if (hot != FHotColumn) {
        FHotColumn = hot;
        RepaintHeader();
      }
      return r;
    }
    case WM_LBUTTONUP:
      FPressedColumn = NoColumn;
      break;
    case WM_LBUTTONDOWN: {
      const LRESULT r = FHeader->CallOld(msg, wparam, lparam);
      if (FHeader == nullptr) return r;
      HDHITTESTINFO hit{};
      hit.pt = POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      const int column = static_cast<int>(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      FPressedColumn = (hit.flags & DividerHits) != 0 ? NoColumn : column;
      InvalidateRect(header, nullptr, FALSE);
      return r;
    }
    default:
      break;
  }
  return FHeader->CallOld(msg, wparam, lparam);
}

void TlxListViewWnd::RepaintHeader() {
  if (FHeader == nullptr || ListViewStyle() != lxViewReport || !Visible(FHeader->Handle())) return;
  const TWindowDC dc(FHeader->Handle());
  PaintHeaderTo(dc.Get());
}

void TlxListViewWnd::PaintHeaderTo(HDC dc) {
  const HWND header = FHeader->Handle();
  RECT client{};
  GetClientRect(header, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  if (FHeaderWork == nullptr) {
    FHeaderWork = std::make_unique<TBitmap>();
    FHeaderWork->SetPixelFormat(TPixelFormat::pf32bit);
  }
  if (FHeaderWork->GetWidth() != client.right || FHeaderWork->GetHeight() != client.bottom)
    FHeaderWork->SetSize(client.right, client.bottom);
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
  if ((GetWindowLongA(header, GWL_STYLE) & HDS_DRAGDROP) != 0 && count > 0)
    SendMessageA(header, HDM_GETORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order.data()));
  int right = 0;
  for (int index : order) {
    const TRect r = HeaderItemRect(header, index);
    if (r.IsEmpty()) continue;
    PaintColumn(FHeaderWork.get(), index, r);
    right = std::max(right, r.Right);
  }
  if (right < client.right) PaintColumn(FHeaderWork.get(), OutsideColumns, TRect{right, 0, client.right, client.bottom});
  BitBlt(dc, 0, 0, client.right, client.bottom, FHeaderWork->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

void PaintSkinHeaderColumn(TBitmap* work, const TRect& r, TsCommonData* d, TColor back, const TlxHeaderColumn& c) {
  TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (t == nullptr) return;
  const char* name = "COLHEADER";
  int section = FindSectionIndex(t, name);
  if (section < 0) section = FindSectionIndex(t, name = "BUTTON");
  const TsBackgroundInfo bg{nullptr, 0, 0, back, 0};
  if (section >= 0)
    PaintSectionWithBorder(work, r, section, FindMaskEntry(t, section, name, "BORDERSMASK"), c.State, t, bg,
                           TPoint{r.Left, r.Top}, m->MasterBitmap());
  if (c.Text == nullptr) return;
  TCanvas* canvas = work->Canvas();
  SelectCaptionFont(canvas, c.FontOwner, c.Font);
  const TSize textSize = canvas->TextExtent(c.Text);
  const int glyph = (c.Format & HDF_SORTDOWN) != 0 ? t->CommonIndexes.ScrollParts[1].Glyph
                    : (c.Format & HDF_SORTUP) != 0 ? t->CommonIndexes.ScrollParts[0].Glyph
                                                   : -1;
  TSize arrow;
  if (MaskIndexInRange(t, glyph)) {
    const TsMaskData& g = t->MaskData[static_cast<size_t>(glyph)];
    arrow = TSize{MaskFrameWidth(g), MaskFrameHeight(g)};
  }
  TSize image;
  if (c.Images != nullptr && (c.Format & HDF_IMAGE) != 0) ImageList_GetIconSize(c.Images, &image.cx, &image.cy);
  const TlxHeaderColumnLayout l = HeaderColumnLayout({r, textSize, arrow, image, c.Format, c.State == 2});

  if (!l.Arrow.IsEmpty()) {
    const TsBackgroundInfo self{work, 0, 0, 0xFF00FF, 1};
    DrawMaskState(work, TPoint{l.Arrow.Left, l.Arrow.Top}, 0, self, t, glyph, 1, m->MasterBitmap());
  }
  if (!l.Image.IsEmpty())
    ImageList_Draw(c.Images, c.Image, canvas->GetHandle(), l.Image.Left, l.Image.Top, ILD_TRANSPARENT);
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  TsTextSkinInfo info = TextSkinInfoOf(m, section);
  info.CustomFont = d->GetCustomFont();
  const unsigned lines = c.WordWrap ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
  const TRect clip{l.Text.Left, c.WordWrap ? l.Text.Top : r.Top, std::min(l.Text.Right, r.Right - 4), r.Bottom};
  DrawSkinText(canvas, c.Text, true, c.State != 0, info, lines | DT_END_ELLIPSIS | DT_NOPREFIX, clip);
}

void TlxListViewWnd::PaintColumn(TBitmap* work, int index, const TRect& r) {
  TsCommonData* d = SkinData();
  TlxHeaderColumn c;
  c.State = index >= 0 && index == FPressedColumn ? 2 : index >= 0 && index == FHotColumn ? 1 : 0;
  const TColor back = DialogMode() ? ColorToRGB(clWindow) : d->SectionColor(0, Handle());
  char text[TextBufferSize] = {};
  if (index >= 0) {
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = TextBufferSize;
    SendMessageA(FHeader->Handle(), HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    c.Text = text;
    c.Format = item.fmt;
    c.Image = item.iImage;
    c.Images = reinterpret_cast<HIMAGELIST>(SendMessageA(FHeader->Handle(), HDM_GETIMAGELIST, 0, 0));
    c.FontOwner = d->OwnerControl();
    c.Font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
  }
  PaintSkinHeaderColumn(work, r, d, back, c);
}

void TlxListViewWnd::PrintHeader(HDC dc) {
  if (FHeader == nullptr || dc == nullptr || !Visible(FHeader->Handle())) return;
  RECT w{}, c{};
  GetWindowRect(Handle(), &w);
  GetClientRect(Handle(), &c);
  POINT origin{0, 0};
  ClientToScreen(Handle(), &origin);
  const int left = origin.x - w.left, top = origin.y - w.top;
  const TSaveDC saved(dc);
  IntersectClipRect(dc, left, top, left + c.right, top + c.bottom);
  SetViewportOrgEx(dc, left, top, nullptr);
  PaintHeaderTo(dc);
}

// ---------------------------------------------------------------------------------------------
// The list view's window method.

void TlxListViewWnd::ThumbTrack(TMessage& message) {
  const int pos = message.LParam != 0 ? static_cast<int>(message.LParam) : static_cast<int>(HIWORD(message.WParam));
  RECT item{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  const TPoint delta = ThumbTrackScroll(ListViewStyle(), message.Msg == WM_VSCROLL, pos, ScrollState().DragLastPos,
                                        item.right - item.left, item.bottom - item.top);
  if (delta.X != 0 || delta.Y != 0) SendMessageA(Handle(), LVM_SCROLL, static_cast<WPARAM>(delta.X), delta.Y);
  message.Result = 0;
}

void TlxListViewWnd::ParentNotify(const TMessage& message) {
  if (LOWORD(message.WParam) != WM_CREATE) return;
  const auto child = reinterpret_cast<HWND>(message.LParam);
  // A list view that makes its header anew gets the new one hooked, the old one given back.
  if (child != nullptr && IsHeaderWindow(child) && (FHeader == nullptr || FHeader->Handle() != child)) HookHeader(child);
}

void TlxListViewWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxEditWnd::HandleMessage(message);
    return;
  }
  if (message.Msg == WM_SKINCOMMAND) {
    if (HIWORD(message.WParam) == SkinCmdScrollStart) {
      message.Result = 1;
      return;
    }
    TlxEditWnd::HandleMessage(message);
    if (HIWORD(message.WParam) == SkinCmdRedrawSkin && !Defunct()) RepaintHeader();
    return;
  }
  switch (message.Msg) {
    case WM_NCHITTEST:
      if (FHotColumn != NoColumn || FPressedColumn != NoColumn) {
        FHotColumn = FPressedColumn = NoColumn;
        RepaintHeader();
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(message.WParam) == SB_THUMBTRACK) {
        ThumbTrack(message);
        return;
      }
      // The skinned bar hands its position in LParam, which the list view would take for a
      // scroll-bar control.
      message.LParam = 0;
      break;
    default:
      break;
  }
  TlxEditWnd::HandleMessage(message);
  if (Defunct()) return;
  switch (message.Msg) {
    case WM_STYLECHANGED:
    case LVM_ARRANGE:
    case LVM_INSERTITEMA:
      if (!d->IsPaintLocked()) RefreshScrollInfo(true);
      break;
    case WM_LBUTTONUP:
      if (GetCapture() == Handle()) ReleaseCapture();
      break;
    case WM_PARENTNOTIFY:
      ParentNotify(message);
      break;
    case WM_PRINT:
      if (ListViewStyle() == lxViewReport) PrintHeader(reinterpret_cast<HDC>(message.WParam));
      break;
    default:
      break;
  }
}
