// The skinned combo box and its bound label (see sComboBox.h).
#include "skin/controls/sComboBox.h"

#include <algorithm>

#include "framework/base/TypInfo.h"
#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sComboBoxCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sTextPaintWin.h"
#include "skin/paint/win/sThemes.h"

TsComboListLinks& ComboListLinks() {
  static TsComboListLinks links;
  return links;
}

namespace {
constexpr UINT lxCB_SETMINVISIBLE = 0x1701;
constexpr UINT ItemTextFormat = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;

// Keys a read-only box drops: space, page keys, end, home, arrows, 57, letters, F4.
bool ReadOnlyKey(WPARAM key) {
  const WORD k = LOWORD(key);
  return (k >= 32 && k <= 40) || k == 57 || (k >= 65 && k <= 90) || k == 115;
}
}   // namespace

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsCustomComboBox, TCustomComboBox, nullptr)

void TsCustomComboBox::PublishProperties(TPublisher<TsCustomComboBox>& P) {
  P.Enum("Alignment", &TsCustomComboBox::Alignment, &TsCustomComboBox::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"})
      .Default(taLeftJustify);
  P.Object("BoundLabel", &TsCustomComboBox::BoundLabel);
  P.Set("DisabledKind", &TsCustomComboBox::DisabledKind, &TsCustomComboBox::SetDisabledKind,
        {"dkBlended", "dkGrayed"})
      .Default(1);
  P.Boolean("ReadOnly", &TsCustomComboBox::ReadOnly, &TsCustomComboBox::SetReadOnly).Default(0);
  P.Object("SkinData", &TsCustomComboBox::SkinData);
}

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner),
      FSkinData(std::make_unique<TsCtrlSkinData>(this, 3)),
      FBoundLabel(std::make_unique<TsBoundLabel>(FSkinData.get())) {
  FDrawsFocusRect = true;
  FSkinData->SetSkinSection("COMBOBOX");
  SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() {
  FreeListAdapter(false);
  // The label is owned by this control as a component; free it while the bound label knows it.
  FBoundLabel.reset();
}

void TsCustomComboBox::SetAlignment(TAlignment v) {
  FAlignment = v;
  FSkinData->RequestRepaint();
}

void TsCustomComboBox::SetDisabledKind(int v) {
  FDisabledKind = v;
  FSkinData->RequestRepaint();
}

void TsCustomComboBox::SetDropDownCount(int v) {
  TCustomComboBox::SetDropDownCount(v);
  if (HandleAllocated()) SetMinVisible();
}

void TsCustomComboBox::SetMinVisible() {
  if (ThemesActive()) ::SendMessageA(Handle(), lxCB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount()), 0);
}

bool TsCustomComboBox::Focused() const { return TCustomComboBox::Focused() || FSkinData->Focused != 0; }

void TsCustomComboBox::Invalidate() {
  if (TCustomComboBox::Focused()) FSkinData->Focused = 1;
  TCustomComboBox::Invalidate();
}

void TsCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FBoundLabel) FBoundLabel->Realign();
}

void TsCustomComboBox::SetParent(TWinControl* AParent) {
  TCustomComboBox::SetParent(AParent);
  if (FBoundLabel) FBoundLabel->Realign();
}

void TsCustomComboBox::AfterConstruction() {
  TCustomComboBox::AfterConstruction();
  FSkinData->AfterLoad();
}

void TsCustomComboBox::Loaded() {
  TCustomComboBox::Loaded();
  FSkinData->AfterLoad();
  FBoundLabel->Realign();
}

void TsCustomComboBox::CreateParams(TCreateParams& Params) {
  TCustomComboBox::CreateParams(Params);
  // The box draws its edit-part item itself; with the strings kept by the window, the item
  // data stays free and a picked item reads back its own text.
  if (Style() == csDropDown || Style() == csDropDownList) Params.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

void TsCustomComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  SetMinVisible();
}

void TsCustomComboBox::DestroyWnd() {
  FreeListAdapter(false);
  FListOpen = false;
  TCustomComboBox::DestroyWnd();
}

bool TsCustomComboBox::RightToLeft() const {
  return FHandle != nullptr && (::GetWindowLongPtrA(FHandle, GWL_EXSTYLE) & (WS_EX_RIGHT | WS_EX_RTLREADING)) != 0;
}

bool TsCustomComboBox::IsDrawnByOwner() const { return IsOwnerDraw() && OnDrawItem != nullptr; }

TRect TsCustomComboBox::ButtonRect() const {
  return ComboButtonRect(Width(), Height(), ::GetSystemMetrics(SM_CXVSCROLL), Style() != csSimple && FShowButton,
                         RightToLeft());
}

// ---------------------------------------------------------------------------------------------
// The list adapter

void TsCustomComboBox::MakeListAdapter(HWND list) {
  if (FSkinnedList != nullptr || list == nullptr || IsLoading()) return;
  FSkinnedList = list;
  if (ComboListLinks().MakeList)
    FListAdapter = ComboListLinks().MakeList(list, Style() == csSimple, FSkinData->GetSkinManager());
}

void TsCustomComboBox::FreeListAdapter(bool plainFrame) {
  if (FSkinnedList != nullptr && FListAdapter != nullptr && ComboListLinks().FreeList) {
    if (plainFrame && ::IsWindow(FSkinnedList)) {
      const LONG_PTR style = ::GetWindowLongPtrA(FSkinnedList, GWL_STYLE);
      ::SetWindowLongPtrA(FSkinnedList, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
    }
    ComboListLinks().FreeList(FSkinnedList, FListAdapter);
  } else {
    // The adapters' unit went first (the program is ending): the adapter is deleted as it is,
    // its destructor letting the list go.
    delete FListAdapter;
  }
  FListAdapter = nullptr;
  FSkinnedList = nullptr;
}

// ---------------------------------------------------------------------------------------------
// The window procedure

bool TsCustomComboBox::SkinCommand(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
    case SkinCmdRedrawSkin:
      if (!IsFromOwnManager(m, d)) return false;
      HandleCommonMessage(m, d);
      if (FListAdapter != nullptr && FSkinnedList != nullptr)
        ::SendMessageA(FSkinnedList, m.Msg, m.WParam, m.LParam);
      d->BGChanged = 1;
      Repaint();
      return true;
    case SkinCmdUnskin:
      if (!IsFromOwnManager(m, d)) return false;
      HandleCommonMessage(m, d);
      if (!d->GetCustomColor()) SetColor(clWindow);
      if (!d->GetCustomFont()) Font()->SetColor(clWindowText);
      FreeListAdapter(true);
      Repaint();
      return true;
    case SkinCmdResumePaint:
      if (!d->IsPaintLocked()) return false;
      d->SetPaintLock(false);
      Repaint();
      return true;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdHoverOut: Perform(CM_MOUSELEAVE, 0, 0); return false;
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return false;
  }
}

bool TsCustomComboBox::ReadOnlyDrops(const TMessage& m) const {
  if (!FReadOnly) return false;
  switch (m.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_SYSCHAR:
    case CN_KEYDOWN: case CN_SYSKEYDOWN: case CN_SYSCHAR: return ReadOnlyKey(m.WParam);
    case WM_CHAR: return true;
    case WM_COMMAND: case CN_COMMAND: return HIWORD(m.WParam) == CBN_DROPDOWN;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: return true;
    default: return false;
  }
}

void TsCustomComboBox::MouseEnterLeave(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  const bool enter = m.Msg == CM_MOUSEENTER;
  if (FListOpen) {
    TCustomComboBox::WndProc(m);
    return;
  }
  POINT p{};
  RECT r{};
  if (!enter && ::GetCursorPos(&p) && ::GetWindowRect(Handle(), &r) && ::PtInRect(&r, p)) return;
  if (enter && d->MouseAbove != 0) return;
  // The common handling makes the box the hover window and shows (or hides) its glow.
  HandleCommonMessage(m, d);
  d->MouseAbove = enter ? 1 : 0;
  d->BGChanged = 1;
  Repaint();
  TCustomComboBox::WndProc(m);
}

bool TsCustomComboBox::SkinnedMessage(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENTER:
    case CM_EXIT: {
      const bool in = m.Msg == WM_SETFOCUS || m.Msg == CM_ENTER;
      if (in && !CanFocus()) return false;
      if (!in) FListOpen = false;
      d->Focused = in ? 1 : 0;
      d->MouseAbove = 0;
      d->BGChanged = 1;
      TCustomComboBox::WndProc(m);
      Repaint();
      return true;
    }
    case WM_PAINT: {
      TPaintDC paint(Handle());
      if (!AnimationInProgress) PaintCombo(m.WParam != 0 ? reinterpret_cast<HDC>(m.WParam) : paint.Get());
      return true;
    }
    case WM_NCPAINT:
      if (!AnimationInProgress) return false;
      PaintCombo(nullptr);
      return true;
    case WM_PRINT: {
      d->SetPaintLock(false);
      const HDC dc = reinterpret_cast<HDC>(m.WParam);
      PaintCombo(dc);
      TBitmap* cache = d->CacheBitmap();
      if (Style() == csDropDown && d->Focused != 0 && cache != nullptr)
        ::BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
      return true;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if ((ComponentState() & csDesigning) != 0) return false;
      MouseEnterLeave(m);
      return true;
    case WM_COMMAND:
      FListOpen = false;
      d->BGChanged = 1;
      PaintCombo(nullptr);
      return false;
    case WM_CTLCOLORLISTBOX:
      MakeListAdapter(reinterpret_cast<HWND>(m.LParam));
      return false;
    case CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN) {
        FListOpen = true;
      } else if (HIWORD(m.WParam) == CBN_CLOSEUP) {
        FListOpen = false;
        d->BGChanged = 1;
        PaintCombo(nullptr);
      }
      return false;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
      d->BGChanged = 1;
      return false;
    default: return false;
  }
}

void TsCustomComboBox::AfterSkinned(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  switch (m.Msg) {
    case WM_SETFONT:
    case CM_ENABLEDCHANGED: Repaint(); break;
    case CB_SETCURSEL:
    case CM_TEXTCHANGED:
    case CM_CHANGED:
      d->BGChanged = 1;
      Repaint();
      break;
    case CN_COMMAND:
      // The focus came to or left the edit part: the box shows its item or lets the edit draw.
      if (HIWORD(m.WParam) == CBN_SETFOCUS || HIWORD(m.WParam) == CBN_KILLFOCUS) {
        d->BGChanged = 1;
        Repaint();
      }
      break;
    default:
      if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdPopupState) m.Result = DroppedDown() ? 1 : 0;
      break;
  }
}

void TsCustomComboBox::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SKINCOMMAND && SkinCommand(Message)) return;
  if (Message.Msg != WM_SKINCOMMAND && ReadOnlyDrops(Message)) {
    // A read-only box takes the focus and double clicks, never opens nor types.
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && CanFocus()) SetFocus();
    if (Message.Msg == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
    return;
  }
  if (ControlIsPaintable(this) && FSkinData->HasSkin()) {
    if (SkinnedMessage(Message)) return;
    if (!HandleCommonMessage(Message, FSkinData.get())) TCustomComboBox::WndProc(Message);
    AfterSkinned(Message);
    return;
  }
  if (Message.Msg == WM_SKINCOMMAND && HandleCommonMessage(Message, FSkinData.get())) return;
  TCustomComboBox::WndProc(Message);
}

void TsCustomComboBox::Dispatch(TMessage& Message) {
  TCustomComboBox::Dispatch(Message);
  TsEditLabel* l = FBoundLabel ? FBoundLabel->Label() : nullptr;
  if (l == nullptr) return;
  if (Message.Msg == CM_VISIBLECHANGED) l->SetVisible(Visible());
  else if (Message.Msg == CM_ENABLEDCHANGED) l->SetEnabled(Enabled() || (FDisabledKind & 1) == 0);
}

void TsCustomComboBox::ComboWndProc(TMessage& Message) {
  if (FReadOnly) {
    switch (Message.Msg) {
      case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_SYSKEYDOWN:
      case WM_CUT: case WM_PASTE: case WM_CLEAR: case WM_UNDO:
      case CN_KEYDOWN: case CN_CHAR: case CN_SYSKEYDOWN: case CN_SYSCHAR: return;
      default: break;
    }
  }
  TsCommonData* d = FSkinData.get();
  if (d->HasSkin(false) && !IsDestroying() && Style() != csSimple && !(Focused() && Enabled() && !FReadOnly)) {
    // The idle edit part shows the box's cached image (with the item's text) under it.
    if (Message.Msg == WM_PAINT) {
      TPaintDC paint(EditHandle());
      TBitmap* cache = d->CacheBitmap();
      RECT r{};
      ::GetClientRect(EditHandle(), &r);
      POINT at{0, 0};
      ::MapWindowPoints(EditHandle(), Handle(), &at, 1);
      if (cache != nullptr && paint.Get() != nullptr)
        ::BitBlt(paint.Get(), 0, 0, r.right, r.bottom, cache->Canvas()->GetHandle(), at.x, at.y, SRCCOPY);
      return;
    }
    if (Message.Msg == WM_ERASEBKGND || Message.Msg == WM_NCPAINT) {
      Message.Result = 1;
      return;
    }
  }
  TCustomComboBox::ComboWndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TsCustomComboBox::PaintCombo(HDC given) {
  TsCommonData* d = FSkinData.get();
  if (!Showing() || !HandleAllocated()) return;
  const TRect button = ButtonRect();
  if (AnimationInProgress && d->PrintDC() != nullptr && d->PrintDC() != given) return;
  if (d->IsPaintLocked()) return;
  std::unique_ptr<TWindowDC> own;
  HDC dc = given;
  if (dc == nullptr) {
    own = std::make_unique<TWindowDC>(Handle());
    dc = own->Get();
  }
  if (dc == nullptr) return;
  if (d->PartlyHidden != 0 || IsDrawnByOwner() ||
      (Parent() != nullptr && Parent()->HandleAllocated() &&
       SendSkinCommand(Parent()->Handle(), SkinCmdIsPartlyHidden) != 0))
    d->BGChanged = 1;
  if (Parent() != nullptr) d->PartlyHidden = RectInsideRect(BoundsRect(), Parent()->ClientRect()) ? 0 : 1;
  TBitmap* cache = d->CacheBitmap();
  if (d->BGChanged != 0 || cache == nullptr || cache->GetWidth() != Width()) PrepareCache();
  cache = d->CacheBitmap();
  TsSkinManager* sm = d->GetSkinManager();
  if (cache == nullptr || sm == nullptr) return;
  FillControlCorners(cache, this, sm->Tables(), d->BorderIndex(), 0, sm->MasterBitmap());
  const HDC src = cache->Canvas()->GetHandle();
  TSaveDC saved(dc);
  if (Style() == csSimple || (Style() == csDropDown && Focused())) {
    CopyBorderStrips(dc, 0, 0, 3, 0, 0, src, cache->GetHeight(), Width());
    if (Style() == csDropDown)
      ::BitBlt(dc, button.Left, button.Top, button.Width(), button.Height(), src, button.Left, button.Top, SRCCOPY);
  } else {
    ::BitBlt(dc, 0, 0, Width(), Style() == csDropDown ? cache->GetHeight() : Height(), src, 0, 0, SRCCOPY);
    // The idle edit part is a child window the copy does not reach: it shows the cache itself.
    if (Style() == csDropDown && EditHandle() != nullptr) ::InvalidateRect(EditHandle(), nullptr, FALSE);
  }
}

void TsCustomComboBox::PrepareCache() {
  TsCommonData* d = FSkinData.get();
  TsSkinManager* sm = d->GetSkinManager();
  if (sm == nullptr || d->SectionIndex() < 0 || Width() <= 0 || Height() <= 0) return;
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  if (Style() == csSimple) cache->SetHeight(ItemHeight() + 8);
  const int h = cache->GetHeight();
  const int state = d->IsActiveState() ? 1 : 0;
  TsBackgroundInfo bg;
  d->ParentBackgroundInfo(bg);
  PaintControlItem(d->SectionIndex(), sm->Tables(), d->GetCustomColor() ? Color() : TColor(0xFF00FF),
                   d->HueOffsetOf(), d->SaturationOf(), bg, cache, TPoint{Left(), Top()}, TRect{0, 0, Width(), h},
                   state, sm->MasterBitmap());
  if (Style() != csSimple) {
    const TRect button = ButtonRect();
    const TRect item = ComboItemRect(button, Width(), h, RightToLeft());
    const bool listLike = Style() != csDropDown;
    const TOwnerDrawState s = odComboBoxEdit | ((Focused() && listLike) ? (odFocused | odSelected) : 0);
    {
      TCanvasDC bound(*Canvas(), cache->Canvas()->GetHandle());
      DrawItem(ItemIndex(), item, s);
    }
    if (FShowButton) PaintButton(button);
  }
  if (!Enabled() && !IsDrawnByOwner()) MakeDisabledLook(cache, FDisabledKind, this, TPoint{Left(), Top()}, bg);
  d->BGChanged = 0;
}

void TsCustomComboBox::PaintButton(const TRect& button) {
  TsCommonData* d = FSkinData.get();
  PaintComboButton(d->CacheBitmap(), button, ComboButtonState(FListOpen, d->IsActiveState()), Height(),
                   d->GetSkinManager());
}

void PaintComboButton(TBitmap* bitmap, const TRect& button, int state, int height, TsSkinManager* manager) {
  if (bitmap == nullptr || manager == nullptr || manager->Tables() == nullptr) return;
  const TsSkinTables* t = manager->Tables();
  const TsCommonIndexes& ci = t->CommonIndexes;
  if (ci.ComboBtn >= 0 && button.Width() > 0) {
    std::unique_ptr<TBitmap> back = CloneEmptyBitmap(bitmap);
    ::BitBlt(back->Canvas()->GetHandle(), 0, 0, bitmap->GetWidth(), bitmap->GetHeight(),
             bitmap->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    const TsBackgroundInfo bg{back.get(), 0, 0, 0xFF00FF, 1};
    PaintSectionItem(ci.ComboBtn, "COMBOBTN", bg, ci.ComboBtnHotPattern, ci.ComboBtnPattern, t, bitmap,
                     TPoint{button.Left, button.Top}, button, state, manager->MasterBitmap());
  }
  if (button.Width() > 0 && MaskIndexInRange(t, ci.ComboGlyph)) {
    const TsMaskData& arrow = t->MaskData[static_cast<size_t>(ci.ComboGlyph)];
    const TPoint at = ComboArrowOrigin(button, height, MaskFrameWidth(arrow), MaskFrameHeight(arrow));
    const TsBackgroundInfo bg{bitmap, 0, 0, 0xFF00FF, 1};
    DrawMaskState(bitmap, at, state, bg, t, ci.ComboGlyph, 0, manager->MasterBitmap());
  }
}

// ---------------------------------------------------------------------------------------------
// Items

void TsCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
  if (FSkinData->HasSkin(false) && FSkinData->GetSkinManager() != nullptr) DrawItemSkinned(Index, Rect, State);
  else DrawItemPlain(Index, Rect, State);
}

void TsCustomComboBox::DrawItemSkinned(int Index, const TRect& Rect, TOwnerDrawState State) {
  TsCommonData* d = FSkinData.get();
  TsSkinManager* sm = d->GetSkinManager();
  const TsSkinTables* t = sm->Tables();
  TCanvas* cv = Canvas();
  const bool edit = (State & odComboBoxEdit) != 0;
  const bool selected = (State & odSelected) != 0;
  TBitmap* cache = d->CacheBitmap();
  std::unique_ptr<TBitmap> item = CreateBitmap32(Rect.Width(), Rect.Height());
  item->Canvas()->Font()->Assign(Font());
  const HDC idc = item->Canvas()->GetHandle();
  const TRect whole{0, 0, Rect.Width(), Rect.Height()};
  int selection = -1;
  TColor fontColor;
  if (selected) {
    selection = FindSectionIndex(t, "SELECTION");
    const TColor c = SelectionColor(t, true, ColorToRGB(clHighlight));
    cv->Brush()->SetColor(c);
    if (selection < 0) {
      item->Canvas()->Brush()->SetColor(c);
      item->Canvas()->FillRect(whole);
    } else {
      const TsBackgroundInfo bg = edit && cache != nullptr ? TsBackgroundInfo{cache, Rect.Left, Rect.Top, 0xFF00FF, 1}
                                                           : TsBackgroundInfo{nullptr, 0, 0, c, 0};
      PaintSectionItem(selection, "SELECTION", bg, -1, -1, t, item.get(), TPoint{0, 0}, whole, 1, sm->MasterBitmap());
    }
    fontColor = SelectionFontColor(t, true, ColorToRGB(clHighlightText));
  } else {
    const TColor c = edit ? ColorToRGB(Color()) : GlobalInfoHotColor(t, ColorToRGB(clWindow));
    cv->Brush()->SetColor(c);
    if (edit && cache != nullptr) {
      ::BitBlt(idc, 0, 0, Rect.Width(), Rect.Height(), cache->Canvas()->GetHandle(), Rect.Left, Rect.Top, SRCCOPY);
    } else {
      item->Canvas()->Brush()->SetColor(c);
      item->Canvas()->FillRect(whole);
    }
    fontColor = edit ? ColorToRGB(Font()->GetColor()) : EditFontColor(t, ColorToRGB(clWindowText));
  }
  const bool hasItem = ComboIndexValid(Index, Items()->Count());
  if (IsDrawnByOwner()) {
    if (hasItem) {
      TSaveDC saved(idc);
      TCanvasDC bound(*cv, idc);
      ::SetWindowOrgEx(idc, Rect.Left, Rect.Top, nullptr);
      OnDrawItem(this, Index, Rect, State);
    }
  } else {
    UINT format = ItemTextFormat;
    if (RightToLeft()) format |= DT_RIGHT | DT_RTLREADING;
    // The raw DC has the bitmap's stock font until the canvas draws: the item's own font is
    // selected for the text only.
    const auto drawPlain = [&](const std::string& s, TRect r) {
      TSaveDC saved(idc);
      ::SelectObject(idc, item->Canvas()->Font()->GetHandle());
      ::SetBkMode(idc, TRANSPARENT);
      ::SetTextColor(idc, static_cast<COLORREF>(fontColor));
      DrawTextStr(idc, s, r, format);
    };
    if (!edit || Style() != csDropDown) {
      TRect r{2, 0, Rect.Width() - 2, Rect.Height()};
      if (hasItem) {
        const std::string s = Items()->Get(Index);
        if (selection >= 0) {
          DrawColoredTextSimple(item->Canvas(), s, true, sm, 1, selection, format, r);
        } else {
          drawPlain(s, r);
        }
      }
      if ((State & odFocused) != 0 && selection < 0) {
        const RECT fr{0, 0, Rect.Width(), Rect.Height()};
        ::DrawFocusRect(idc, &fr);
      }
    } else {
      drawPlain(Text(), whole);
    }
  }
  ::BitBlt(cv->GetHandle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), idc, 0, 0, SRCCOPY);
}

void TsCustomComboBox::DrawItemPlain(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* cv = Canvas();
  const bool selected = (State & odSelected) != 0;
  cv->Font()->Assign(Font());
  cv->Font()->SetColor(selected ? clHighlightText : Font()->GetColor());
  cv->Brush()->SetColor(selected ? clHighlight : Color());
  cv->FillRect(Rect);
  if (!ComboIndexValid(Index, Items()->Count())) return;
  TRect r{Rect.Left + 2, Rect.Top, Rect.Right - 2, Rect.Bottom};
  if (IsDrawnByOwner()) {
    OnDrawItem(this, Index, r, State);
  } else {
    const HDC dc = cv->GetHandle();
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(cv->Font()->GetColor())));
    DrawTextStr(dc, Items()->Get(Index), r, ItemTextFormat);
  }
  if ((State & odFocused) != 0) cv->DrawFocusRect(Rect);
}

ORBEX_IMPLEMENT_PUBLISHED(TsComboBox, TsCustomComboBox, &CreateComponentOf<TsComboBox>)
void TsComboBox::PublishProperties(TPublisher<TsComboBox>&) {}

void InitComboBoxUnit() { RegisterClassOf<TsComboBox>(); }
