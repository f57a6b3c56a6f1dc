// The combo-box adapters (see lxComboWnd.h).
#include "skin/adapters/lxComboWnd.h"

#include <algorithm>

#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WinTypes.h"
#include "skin/adapters/lxBtnWnd.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/sComboBoxCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/core/win/sCommonData.h"
#include "skin/paint/win/sThemes.h"

namespace {
constexpr UINT LbStartTracking = 0x1AE, LbEndTracking = 0x1AF;
// No move, no z-order, frame changed, no copy bits, no owner z-order, no changing message.
constexpr UINT FrameRemeasure = SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                                SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
}   // namespace

std::unique_ptr<TlxComboListWnd> TlxComboListWnd::CreateForCombo(HWND list, bool simpleList, bool repaintFrame,
                                                                 const std::string& section, TsSkinManager* manager,
                                                                 TsCommonData* skinData) {
  // Simple from the start: attaching paints the frame already.
  auto adapter = CreateForHandle<TlxComboListWnd>(list, repaintFrame, section, manager, skinData, simpleList);
  if (!simpleList) {
    RECT r{};
    ::GetWindowRect(list, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    ::SetWindowPos(list, nullptr, 0, 0, w + 1, h, FrameRemeasure);
    ::SetWindowPos(list, nullptr, 0, 0, w, h, FrameRemeasure);
  }
  return adapter;
}

TlxComboListWnd::~TlxComboListWnd() {
  ReleaseWndAdapter(Handle(), false, *this);
  if (ThemeEntries().SetWindowTheme != nullptr && Handle() != nullptr && ::IsWindow(Handle()))
    ThemeEntries().SetWindowTheme(Handle(), nullptr, nullptr);
}

void TlxComboListWnd::HandleMessage(TMessage& message) {
  switch (message.Msg) {
    case LbStartTracking: FShowing = true; break;
    case LbEndTracking: FShowing = false; break;
    case WM_ERASEBKGND:
      if (message.WParam != 0 && !Defunct() && SkinData() != nullptr && SkinData()->HasSkin(false)) {
        // The list area in the adapter's colour; the items paint over it.
        RECT r{};
        ::GetClientRect(Handle(), &r);
        TOwnedBrush brush(::CreateSolidBrush(static_cast<COLORREF>(Color())));
        ::FillRect(reinterpret_cast<HDC>(message.WParam), &r, brush.Get());
        message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TlxEditWnd::HandleMessage(message);
  if (message.Msg == WM_NCPAINT && FSimpleList && !ScrollInProgress && !Defunct()) FillStripBelow();
}

void TlxComboListWnd::FillStripBelow() {
  // The box's erasing is swallowed and its list keeps whole items: what lies below the list in
  // the box shows the box's parent.
  const HWND box = ::GetParent(Handle());
  RECT list{}, area{}, frame{};
  if (box == nullptr || !::GetWindowRect(Handle(), &list) || !::GetClientRect(box, &area) || !::GetWindowRect(box, &frame))
    return;
  ::MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const TRect strip{list.left - frame.left, list.bottom - frame.top, list.right - frame.left, area.bottom - frame.top};
  if (strip.Height() <= 0 || strip.Width() <= 0) return;
  TsBackgroundInfo background;
  GetWindowParentBackground(box, background);
  TWindowDC dc(box, TWindowDC::TArea::Window);
  PaintParentBackground(dc.Get(), strip, background);
}

bool TlxComboListWnd::KeepsCaptureAfterBar() const {
  return !FSimpleList && (SkinData() == nullptr || SkinData()->OwnerControl() == nullptr);
}

void TlxComboListWnd::RebuildCache() {
  if (FSimpleList) {
    TlxEditWnd::RebuildCache();
    return;
  }
  TsCommonData* d = SkinData();
  const TlxWndGeometry g = GetWndGeometry(Handle());
  LayoutRect = g.WndRect;
  LayoutPoint = g.TopLeft;
  if (d == nullptr || (d->BGChanged == 0 && d->CacheBitmap() != nullptr)) return;
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  if (cache->GetWidth() != g.Width || cache->GetHeight() != g.Height) cache->SetSize(g.Width, g.Height);
  const RECT r{0, 0, g.Width, g.Height};
  const TOwnedBrush fill(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color()))));
  const TOwnedBrush line(::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(BorderLineColor()))));
  ::FillRect(cache->Canvas()->GetHandle(), &r, fill.Get());
  ::FrameRect(cache->Canvas()->GetHandle(), &r, line.Get());
  d->BGChanged = 0;
}

// ---------------------------------------------------------------------------------------------
// TlxComboBoxWnd

namespace {
// A combo list is open somewhere in the program.
bool ComboListOpen = false;
}   // namespace

TlxComboBoxWnd::~TlxComboBoxWnd() {
  ForgetList(false);
  ReleaseWndAdapter(Handle(), false, *this);
  FListSkinData.reset();
}

void TlxComboBoxWnd::TakeSection(const std::string& section) {
  SkinData()->SetSkinSection(section.empty() ? std::string("COMBOBOX") : section);
}

void TlxComboBoxWnd::GetButtonRect(TRect& rect) const {
  RECT w{};
  ::GetWindowRect(Handle(), &w);
  rect = ComboAdapterButtonRect(w.right - w.left, w.bottom - w.top, ::GetSystemMetrics(SM_CXVSCROLL),
                                static_cast<std::uint32_t>(::GetWindowLongPtrA(Handle(), GWL_STYLE)),
                                (::GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0);
}

void TlxComboBoxWnd::ForgetList(bool plainFrame) {
  if (FListAdapter) {
    if (plainFrame && ::IsWindow(FListHandle)) {
      const LONG_PTR style = ::GetWindowLongPtrA(FListHandle, GWL_STYLE);
      ::SetWindowLongPtrA(FListHandle, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
    }
    // Released whatever owns the skin data: the list is subclassed either way.
    ReleaseScrollWndAdapter(FListHandle, plainFrame, FListAdapter);
  }
  FListHandle = nullptr;
}

void TlxComboBoxWnd::MakeList(HWND list) {
  if (FListHandle != nullptr || list == nullptr) return;
  FListHandle = list;
  if (FListAdapter) return;
  const std::uint32_t style = static_cast<std::uint32_t>(::GetWindowLongPtrA(Handle(), GWL_STYLE));
  const bool simple = (style & lxCBS_TYPEMASK) == lxCBS_SIMPLE;
  TlxAdapterFlags& flags = AdapterFlags();
  const bool before = flags.DialogMode;
  if (SkinData()->OwnerControl() == nullptr) flags.DialogMode = DialogMode();
  FListAdapter = TlxComboListWnd::CreateForCombo(list, simple, ::SendMessageA(Handle(), CB_GETCOUNT, 0, 0) > 0,
                                                 "EDIT", SkinManager(), FListSkinData.get());
  flags.DialogMode = before;
}

void TlxComboBoxWnd::ListColors(TMessage& message) {
  if (FListOpening) {
    TlxEditWnd::HandleMessage(message);
    return;
  }
  FListOpening = true;
  TlxEditWnd::HandleMessage(message);
  MakeList(reinterpret_cast<HWND>(message.LParam));
  FListOpening = false;
  TlxSectionInfo info;
  info.SectionIndex = -1;
  if (FListHandle != nullptr) SendSkinCommand(FListHandle, SkinCmdQuerySectionIndex, reinterpret_cast<LPARAM>(&info));
  const TsSkinTables* t = SkinManager() != nullptr ? SkinManager()->Tables() : nullptr;
  if (info.SectionIndex < 0 || DialogMode() || t == nullptr ||
      info.SectionIndex >= static_cast<int>(t->GeneralData.size()))
    return;
  const TsGeneralData& g = t->GeneralData[static_cast<size_t>(info.SectionIndex)];
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (g.Props[0].FontColor[0] >= 0) ::SetTextColor(dc, static_cast<COLORREF>(g.Props[0].FontColor[0]));
  ::SetBkColor(dc, static_cast<COLORREF>(g.Props[0].Color));
  if (FListBrush.Get() == nullptr || FListBrushColor != g.Props[0].Color) {
    FListBrush.Reset(::CreateSolidBrush(static_cast<COLORREF>(g.Props[0].Color)));
    FListBrushColor = g.Props[0].Color;
  }
  message.Result = reinterpret_cast<LRESULT>(FListBrush.Get());
}

void TlxComboBoxWnd::Repaint() {
  if (SkinData()->OwnerControl() == nullptr) return;
  ::InvalidateRect(Handle(), nullptr, TRUE);
  ::UpdateWindow(Handle());
}

void TlxComboBoxWnd::PaintFrameAndButton(HDC dc) {
  TsCommonData* d = SkinData();
  d->BGChanged = 1;
  const bool simple = (::GetWindowLongPtrA(Handle(), GWL_STYLE) & lxCBS_TYPEMASK) == lxCBS_SIMPLE;
  if (simple) PrepareSimpleCache();
  else RebuildCache();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() <= 0) return;
  CopyBorderStrips(dc, 0, 0, 3, 0, 0, cache->Canvas()->GetHandle(), cache->GetHeight(), cache->GetWidth());
  if (!simple) PaintButton(dc, cache);
}

void TlxComboBoxWnd::PaintButton(HDC dc, TBitmap* cache) {
  TRect button;
  GetButtonRect(button);
  if (button.Width() <= 0) return;
  TsCommonData* d = SkinData();
  const bool open = FListHandle != nullptr && ::IsWindowVisible(FListHandle);
  const bool hot = SkinManager() != nullptr && SkinManager()->HoverWindow() == Handle();
  std::unique_ptr<TBitmap> piece = CloneEmptyBitmap(cache);
  ::BitBlt(piece->Canvas()->GetHandle(), 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0,
           0, SRCCOPY);
  PaintComboButton(piece.get(), button, ComboButtonState(open, d->IsActiveState() || hot), cache->GetHeight(),
                   SkinManager());
  ::BitBlt(dc, button.Left, button.Top, button.Width(), button.Height(), piece->Canvas()->GetHandle(), button.Left,
           button.Top, SRCCOPY);
}

void TlxComboBoxWnd::PrepareSimpleCache() {
  const int item = static_cast<int>(::SendMessageA(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  PrepareWndCache(SkinData(), Handle(), DialogMode(), std::max(item, 0) + 8);
  FillTransparentCorners(SkinData(), *this);
}

void TlxComboBoxWnd::DrawCurrentText(TBitmap* cache) {
  TRect button;
  GetButtonRect(button);
  const bool rtl = (::GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  const int w = cache->GetWidth(), h = cache->GetHeight();
  RECT r{rtl ? button.Right : 3, 3, rtl ? w - 3 : button.Left, h - 3};
  if (r.right <= r.left || r.bottom <= r.top) return;
  // The selected item's text, its length asked first; no selection: the window's text.
  std::string text;
  const LRESULT index = ::SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
  const LRESULT length = index >= 0 ? ::SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) : CB_ERR;
  if (length >= 0) {
    text.assign(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = ::SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? std::min(static_cast<size_t>(got), static_cast<size_t>(length)) : 0);
  } else {
    text.assign(static_cast<size_t>(std::max<int>(::GetWindowTextLengthA(Handle()), 0)) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(::GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size())), 0)));
  }
  const HDC dc = cache->Canvas()->GetHandle();
  TSaveDC saved(dc);
  ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(Handle(), WM_GETFONT, 0, 0)));
  ::SetBkMode(dc, TRANSPARENT);
  TsCommonData* d = SkinData();
  const std::uint32_t style = static_cast<std::uint32_t>(::GetWindowLongPtrA(Handle(), GWL_STYLE));
  const bool selected = (style & lxCBS_TYPEMASK) == lxCBS_DROPDOWNLIST && ::GetFocus() == Handle();
  TColor colour = clWindowText;
  if (selected) {
    const TOwnedBrush fill(::CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT)));
    ::FillRect(dc, &r, fill.Get());
    colour = clHighlightText;
  } else if (TControl* owner = d->OwnerControl()) {
    colour = owner->Font()->GetColor();
  } else if (const TsSkinTables* t = SkinManager() != nullptr ? SkinManager()->Tables() : nullptr;
             t != nullptr && SectionIndexInRange(t, d->SectionIndex())) {
    colour = t->GeneralData[static_cast<size_t>(d->SectionIndex())].Props[0].FontColor[0];
  }
  ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(colour)));
  RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &inner,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (rtl ? DT_RIGHT | DT_RTLREADING : 0));
  if (selected) ::DrawFocusRect(dc, &r);
}

void TlxComboBoxWnd::Print(TMessage& message) {
  const HDC dc = reinterpret_cast<HDC>(message.WParam);
  TsCommonData* d = SkinData();
  const bool simple = (::GetWindowLongPtrA(Handle(), GWL_STYLE) & lxCBS_TYPEMASK) == lxCBS_SIMPLE;
  if (dc == nullptr) {
    TlxEditWnd::HandleMessage(message);
    return;
  }
  if (!ParamsApplied) ApplySkinColors();
  d->SetPaintLock(false);
  // A simple combo's edit and list print themselves; the frame goes over them.
  if (simple) message.Result = CallOldProc(message);
  d->BGChanged = 1;
  if (simple) {
    PrepareSimpleCache();
  } else {
    RebuildCache();
  }
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() <= 0) return;
  if (simple) {
    CopyBorderStrips(dc, 0, 0, 3, 0, 0, cache->Canvas()->GetHandle(), cache->GetHeight(), cache->GetWidth());
    return;
  }
  DrawCurrentText(cache);
  ::BitBlt(dc, 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  PaintButton(dc, cache);
  message.Result = 0;
}

void TlxComboBoxWnd::MouseEnterLeave(TMessage& message) {
  TsCommonData* d = SkinData();
  const bool enter = message.Msg == CM_MOUSEENTER;
  POINT p{};
  RECT r{};
  const bool inside = ::GetCursorPos(&p) && ::GetWindowRect(Handle(), &r) && ::PtInRect(&r, p);
  if ((enter && d->MouseAbove == 0) || (!enter && d->MouseAbove != 0 && !inside)) {
    d->MouseAbove = enter ? 1 : 0;
    d->BGChanged = 1;
    TlxEditWnd::HandleMessage(message);
    Repaint();
    return;
  }
  TlxEditWnd::HandleMessage(message);
}

void TlxComboBoxWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (Defunct() || d == nullptr || !d->HasSkin(false)) {
    TlxEditWnd::HandleMessage(message);
    return;
  }
  const std::uint32_t style = static_cast<std::uint32_t>(::GetWindowLongPtrA(Handle(), GWL_STYLE));
  if (message.Msg == WM_SKINCOMMAND) {
    const WORD command = HIWORD(message.WParam);
    TlxEditWnd::HandleMessage(message);
    if (command == SkinCmdUnskin && IsFromOwnManager(message, d)) ForgetList(true);
    else if (command == SkinCmdHoverIn || command == SkinCmdHoverOut) Repaint();
    return;
  }
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
      TlxEditWnd::HandleMessage(message);
      Repaint();
      return;
    case WM_PAINT: {
      message.Result = CallOldProc(message);
      TWindowDC dc(Handle(), TWindowDC::TArea::Window);
      PaintFrameAndButton(dc.Get());
      return;
    }
    case WM_PRINT: Print(message); return;
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_DRAWITEM:
      message.Result = CallOldProc(message);
      Repaint();
      return;
    case WM_NCCALCSIZE:
      TlxEditWnd::HandleMessage(message);
      LeftEdge = 3;
      return;
    case WM_COMMAND:
    case CN_COMMAND:
      if (message.Msg == WM_COMMAND && (style & lxCBS_TYPEMASK) == lxCBS_SIMPLE) break;
      if (HIWORD(message.WParam) == CBN_DROPDOWN) {
        ComboListOpen = true;
      } else if (HIWORD(message.WParam) == CBN_CLOSEUP) {
        ComboListOpen = false;
        d->BGChanged = 1;
        TlxEditWnd::HandleMessage(message);
        TWindowDC dc(Handle(), TWindowDC::TArea::Window);
        PaintFrameAndButton(dc.Get());
        return;
      }
      break;
    case WM_CTLCOLORLISTBOX: ListColors(message); return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: MouseEnterLeave(message); return;
    default: break;
  }
  TlxEditWnd::HandleMessage(message);
}

// ---------------------------------------------------------------------------------------------
// TlxWWComboBoxWnd

std::unique_ptr<TlxWWComboBoxWnd> TlxWWComboBoxWnd::CreateForControl(TWinControl* control, bool repaintFrame,
                                                                     const std::string& section,
                                                                     TsSkinManager* manager, TsCommonData* skinData) {
  if (control == nullptr) return nullptr;
  auto adapter = CreateForHandle<TlxWWComboBoxWnd>(control->Handle(), repaintFrame, section, manager, skinData);
  if (auto* box = As<TComboBox>(control))
    adapter->FHasButton = box->Style() == csDropDown || box->Style() == csDropDownList;
  const HWND edit = ::FindWindowExA(control->Handle(), nullptr, "Edit", nullptr);
  if (edit != nullptr) {
    adapter->FEditHandle = edit;
    adapter->FEditSkinData = std::make_unique<TsCommonData>(nullptr, 0);
    if (adapter->SkinManager() != nullptr) adapter->FEditSkinData->SetSkinManager(adapter->SkinManager());
    adapter->FEditAdapter =
        CreateForHandle<TlxEditWnd>(edit, repaintFrame, "EDIT", adapter->SkinManager(), adapter->FEditSkinData.get());
  }
  return adapter;
}

TlxWWComboBoxWnd::~TlxWWComboBoxWnd() {
  // The edit's adapter reads its data while it lets go: the adapter goes first.
  ReleaseScrollWndAdapter(FEditHandle, false, FEditAdapter);
  FEditSkinData.reset();
}

void TlxWWComboBoxWnd::GetButtonRect(TRect& rect) const {
  RECT w{};
  ::GetWindowRect(Handle(), &w);
  rect = ForeignComboButtonRect(w.right - w.left, w.bottom - w.top, ::GetSystemMetrics(SM_CXVSCROLL), FHasButton,
                                (::GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0);
}

void TlxWWComboBoxWnd::HandleMessage(TMessage& message) {
  if (message.Msg == WM_CTLCOLORLISTBOX) {
    message.Result = CallOldProc(message);
    return;
  }
  TlxComboBoxWnd::HandleMessage(message);
}

namespace {
TObject* MakeComboList(HWND list, bool simple, TsSkinManager* manager) {
  return TlxComboListWnd::CreateForCombo(list, simple, true, "EDIT", manager, nullptr).release();
}

void FreeComboList(HWND list, TObject* adapter) {
  std::unique_ptr<TlxComboListWnd> owned(static_cast<TlxComboListWnd*>(adapter));
  ReleaseScrollWndAdapter(list, true, owned);
}
}   // namespace

void FillComboListLinks() {
  ComboListLinks().MakeList = &MakeComboList;
  ComboListLinks().FreeList = &FreeComboList;
}

void ClearComboListLinks() { ComboListLinks() = TsComboListLinks{}; }
