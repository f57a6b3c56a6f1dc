// Skinned menus; see the header.
#include "skin/core/win/sSkinableMenus.h"

#include <algorithm>

#include "framework/win/ImgList.h"
#include "skin/core/sButtonCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

// ---------------------------------------------------------------------------------------------
// The popup-info list: one entry per open popup level, process-wide (GUI thread only).

namespace {

struct TPopupEntry {
  TsPopupInfo Info;
  std::unique_ptr<TBitmap> Background;
};

std::vector<TPopupEntry>& PopupList() {
  static std::vector<TPopupEntry> list;
  return list;
}

// The extra line as last answered by the application.
struct TExtraLine {
  std::string Section = "EXTRALINE";
  std::string Caption = "Use OnGetExtraLineData event";
  std::unique_ptr<TBitmap> Glyph;   // ours; the application's handler draws into it
  bool Querying = false;
};
TExtraLine& ExtraLine() {
  static TExtraLine e;
  return e;
}

void CopyRect(HDC dst, const TRect& r, HDC src, int sx, int sy) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  ::BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, sx, sy, SRCCOPY);
}

int SectionIndex(const TsSkinTables* t, const std::string& name) { return t != nullptr ? FindSectionIndex(t, name) : -1; }

TColor SectionFontColor(const TsSkinTables* t, int index, int state) {
  if (!SectionIndexInRange(t, index)) return clMenuText;
  return t->GeneralData[static_cast<size_t>(index)].Props[state > 0 ? 1 : 0].FontColor[0];
}

int GlobalMask(const TsSkinTables* t, const std::string& key) {
  const int g = t->CommonIndexes.GlobalInfo >= 0 ? t->CommonIndexes.GlobalInfo : SectionIndex(t, "GLOBALINFO");
  return g >= 0 ? FindMaskEntry(t, g, "GLOBALINFO", key) : -1;
}

// A font handle for menu text: the screen's menu font, bold for the default item.
class TMenuTextFont {
public:
  TMenuTextFont(bool bold, BYTE charset) {
    LOGFONTA lf = Screen->MenuFont()->GetLogFont();
    if (bold) lf.lfWeight = FW_BOLD;
    if (charset != DEFAULT_CHARSET) lf.lfCharSet = charset;
    FFont.Reset(::CreateFontIndirectA(&lf));
  }
  HFONT Get() const { return FFont.Valid() ? FFont.Get() : Screen->MenuFont()->GetHandle(); }

private:
  TOwnedFont FFont;
};

// The character set of the font of the form owning the menu (DEFAULT_CHARSET when none).
BYTE OwnerCharset(const TMenuItem* item) {
  const TMenu* menu = item->GetParentMenu();
  for (TComponent* c = menu != nullptr ? menu->Owner() : nullptr; c != nullptr; c = c->Owner())
    if (auto* form = As<TCustomForm>(c)) return form->Font()->GetCharset();
  return DEFAULT_CHARSET;
}

SIZE TextExtent(HDC dc, const std::string& s, UINT extra = 0) {
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP | extra);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int TextHeightW() {
  TWindowDC screen(nullptr);
  TSelectObject font(screen.Get(), Screen->MenuFont()->GetHandle());
  return static_cast<int>(TextExtent(screen.Get(), "W").cy);
}

void DrawTextIn(HDC dc, const std::string& s, TRect r, UINT flags, TColor color) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, SkinColorToRGB(color));
  RECT rr = ToRECT(r);
  ::DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &rr, flags);
}

// Mirrors a bitmap horizontally in place.
void MirrorBitmap(TBitmap* b) {
  const int w = b->GetWidth(), h = b->GetHeight();
  std::unique_ptr<TBitmap> copy = CreateBitmap32(w, h);
  HDC src = b->Canvas()->GetHandle();
  HDC tmp = copy->Canvas()->GetHandle();
  ::BitBlt(tmp, 0, 0, w, h, src, 0, 0, SRCCOPY);
  ::StretchBlt(src, w - 1, 0, -w, h, tmp, 0, 0, w, h, SRCCOPY);
}

}  // namespace

bool MenuReadsRightToLeft(const TMenu* menu) {
  return menu != nullptr && menu->BiDiMode() != bdLeftToRight && ::GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}

TsSkinableMenusLinks& SkinableMenusLinks() {
  static TsSkinableMenusLinks links;
  return links;
}

// ---------------------------------------------------------------------------------------------
// The object

ORBEX_IMPLEMENT_PUBLISHED(TsSkinableMenus, TPersistent, nullptr)

void TsSkinableMenus::PublishProperties(TPublisher<TsSkinableMenus>& P) {
  using M = TsSkinableMenus;
  P.Enum("Alignment", &M::Alignment, &M::Alignment, {"taLeftJustify", "taRightJustify", "taCenter"}).Default(0);
  P.Integer("BevelWidth", &M::BevelWidth, &M::BevelWidth).Default(0);
  P.Integer("BorderWidth", &M::BorderWidth, &M::BorderWidth).Default(3);
  P.Object("CaptionFont", &M::CaptionFont);
  P.Integer("Margin", &M::Margin, &M::Margin).Default(2);
  P.Integer("Spacing", &M::Spacing, &M::Spacing).Default(8);
}

TsSkinableMenus::TsSkinableMenus(TsSkinManager* owner) : FOwner(owner), FCaptionFont(std::make_unique<TFont>()) {}

TsSkinableMenus::~TsSkinableMenus() {
  // Handlers that call into this object must not outlive it.
  if (FActive && Application != nullptr) HookAllMenus(false);
  for (std::uint16_t c : FHooked)
    if (TMenuItem* item = FindMenuItemByCommand(c)) {
      ClearHandlers(item);
      if (item->Parent() != nullptr && !item->Parent()->IsDestroying()) item->Parent()->RebuildHandle();
    }
}

int TsSkinableMenus::GetSkinBorderWidth() {
  if (FSkinBorderWidth >= 0) return FSkinBorderWidth;
  const TsSkinTables* t = FOwner != nullptr ? FOwner->Tables() : nullptr;
  const int section = SectionIndex(t, "MAINMENU");
  // With inheritance, as the background paints it: an inherited mask has a width too.
  const int mask = section >= 0 ? FindMaskEntry(t, section, "MAINMENU", "BORDERSMASK") : -1;
  if (!MaskIndexInRange(t, mask)) return FSkinBorderWidth = 0;
  const int w = MaskBorderLeft(t, mask);
  return FSkinBorderWidth = w > 0 ? w : 3;
}

void TsSkinableMenus::SetActive(bool active) {
  if (active != FActive) HookAllMenus(active);
}

void TsSkinableMenus::ReapplyOwnerDraw() { SetActive(FOwner != nullptr && FOwner->GetSkinnedPopups()); }

// ---------------------------------------------------------------------------------------------
// Hooking

namespace {

template <class F>
void VisitOwned(TComponent* c, F&& f) {
  for (int i = 0; i < c->ComponentCount(); ++i) {
    TComponent* child = c->Components(i);
    f(child);
    VisitOwned(child, f);
  }
}

}  // namespace

void TsSkinableMenus::HookAllMenus(bool active) {
  FActive = active;
  if (Application == nullptr || (FOwner != nullptr && (FOwner->ComponentState() & csDesigning) != 0)) return;
  const bool popups = active && FOwner != nullptr && FOwner->GetSkinnedPopups();
  VisitOwned(Application, [&](TComponent* c) {
    if (auto* mm = As<TMainMenu>(c)) {
      AttachMainMenuHandlers(mm, active);
      for (int i = 0; i < mm->Items()->Count(); ++i) AttachSubItemHandlers(mm->Items()->Items(i), popups);
    } else if (auto* pm = As<TPopupMenu>(c)) {
      HookPopupMenu(pm, popups);
    } else if (auto* item = As<TMenuItem>(c)) {
      if (As<TMainMenu>(item->GetParentMenu()) == nullptr) AttachSubItemHandlers(item, popups);
    }
  });
}

void TsSkinableMenus::HookPopupMenu(TPopupMenu* menu, bool activate) {
  if (menu == nullptr) return;
  const bool on = activate && FOwner != nullptr && FOwner->GetSkinnedPopups();
  menu->SetOwnerDraw(on);
  menu->SetMenuAnimation(on ? (menu->MenuAnimation() | maNone) : (menu->MenuAnimation() & ~maNone));
  AttachSubItemHandlers(menu->Items(), on);
}

bool TsSkinableMenus::HasPopupHandlers(const TMenuItem* item) const {
  return HandlerOwnedBy(item->OnAdvancedDrawItem, this) || HandlerOwnedBy(item->OnMeasureItem, this);
}

void TsSkinableMenus::SetPopupHandlers(TMenuItem* item) {
  FHooked.insert(item->Command());
  if (!item->OnAdvancedDrawItem)
    item->OnAdvancedDrawItem = OwnedHandler(this, TAdvancedMenuDrawItemEvent([this](TObject* s, TCanvas* c, const TRect& r, TOwnerDrawState st) {
                                              PaintPopupItem(s, c, r, st);
                                            }));
  if (!item->OnMeasureItem)
    item->OnMeasureItem = OwnedHandler(this, TMenuMeasureItemEvent([this](TObject* s, TCanvas* c, int& w, int& h) {
                                         MeasurePopupItem(s, c, w, h);
                                       }));
}

void TsSkinableMenus::SetMenuLineHandlers(TMenuItem* item) {
  FHooked.insert(item->Command());
  // Ours are replaced by the menu-line ones; the application's stay.
  if (!item->OnAdvancedDrawItem || HandlerOwnedBy(item->OnAdvancedDrawItem, this))
    item->OnAdvancedDrawItem = OwnedHandler(this, TAdvancedMenuDrawItemEvent([this](TObject* s, TCanvas* c, const TRect& r, TOwnerDrawState st) {
                                              PaintMenuLineItem(s, c, r, st);
                                            }));
  if (!item->OnMeasureItem || HandlerOwnedBy(item->OnMeasureItem, this))
    item->OnMeasureItem = OwnedHandler(this, TMenuMeasureItemEvent([this](TObject* s, TCanvas* c, int& w, int& h) {
                                         MeasureMenuLineItem(s, c, w, h);
                                       }));
}

void TsSkinableMenus::ClearHandlers(TMenuItem* item) {
  if (HandlerOwnedBy(item->OnAdvancedDrawItem, this)) item->OnAdvancedDrawItem = nullptr;
  if (HandlerOwnedBy(item->OnMeasureItem, this)) item->OnMeasureItem = nullptr;
}

void TsSkinableMenus::AttachSubItemHandlers(TMenuItem* item, bool activate) {
  if (item == nullptr) return;
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* sub = item->Items(i);
    if (!activate) ClearHandlers(sub);
    else if (!IsTopLineItem(sub)) SetPopupHandlers(sub);
    AttachSubItemHandlers(sub, activate);
  }
  // The sub-menu shows its items owner-drawn or not: refill it.
  item->RebuildHandle();
}

void TsSkinableMenus::AttachItemHandlers(TMenuItem* item, bool activate) {
  if (item == nullptr) return;
  if (!activate) ClearHandlers(item);
  else if (IsTopLineItem(item)) SetMenuLineHandlers(item);
  else if (FOwner != nullptr && FOwner->GetSkinnedPopups()) SetPopupHandlers(item);
  if (item->Parent() != nullptr) item->Parent()->RebuildHandle();
}

void TsSkinableMenus::AttachMainMenuHandlers(TMainMenu* menu, bool activate) {
  if (menu == nullptr) return;
  TMenuItem* root = menu->Items();
  if (activate) {
    if (FOwner == nullptr || !FOwner->GetActive()) return;
    // Without skinned popups the menu line stays as the system draws it.
    if (!FOwner->GetSkinnedPopups()) return;
    for (int i = 0; i < root->Count(); ++i) SetMenuLineHandlers(root->Items(i));
  } else {
    for (int i = 0; i < root->Count(); ++i) ClearHandlers(root->Items(i));
  }
  if (!menu->IsDestroying() && root->Count() > 0) {
    if (menu->OwnerDraw() == activate) root->RebuildHandle();
    menu->SetOwnerDraw(activate);
    if (menu->WindowHandle() != nullptr && ::IsWindow(menu->WindowHandle())) ::DrawMenuBar(menu->WindowHandle());
  }
}

// ---------------------------------------------------------------------------------------------
// Item queries

bool TsSkinableMenus::IsCaptionItem(const TMenuItem* item) {
  return item != nullptr && MenuItemTypeOf(item->Caption()) == smCaption;
}

bool TsSkinableMenus::IsTopLineItem(const TMenuItem* item) {
  if (item == nullptr || item->Parent() == nullptr || item->Parent()->Parent() != nullptr) return false;
  return As<TMainMenu>(item->GetParentMenu()) != nullptr;
}

TsGlyphSize TsSkinableMenus::GlyphSize(TMenuItem* item) {
  TsGlyphSize bitmap, sub, menu;
  if (item->HasBitmap()) bitmap = {item->Bitmap()->GetWidth(), item->Bitmap()->GetHeight()};
  if (item->Parent() != nullptr && item->Parent()->SubMenuImages() != nullptr)
    sub = {item->Parent()->SubMenuImages()->GetWidth(), item->Parent()->SubMenuImages()->GetHeight()};
  if (TMenu* m = item->GetParentMenu(); m != nullptr && m->Images() != nullptr)
    menu = {m->Images()->GetWidth(), m->Images()->GetHeight()};
  return MenuGlyphSize(bitmap, sub, menu);
}

bool TsSkinableMenus::IsFirstVisible(const TMenuItem* item) {
  const TMenuItem* p = item->Parent();
  if (p == nullptr) return false;
  for (int i = 0; i < p->Count(); ++i)
    if (p->Items(i)->Visible()) return p->Items(i) == item;
  return false;
}

bool TsSkinableMenus::IsLastVisible(const TMenuItem* item) {
  const TMenuItem* p = item->Parent();
  if (p == nullptr) return false;
  for (int i = p->Count() - 1; i >= 0; --i)
    if (p->Items(i)->Visible()) return p->Items(i) == item;
  return false;
}

bool TsSkinableMenus::InLaterColumn(const TMenuItem* item) {
  const TMenuItem* p = item->Parent();
  if (p == nullptr) return false;
  for (int i = 0; i < p->Count(); ++i) {
    if (p->Items(i)->Break() != mbNone) return true;
    if (p->Items(i) == item) break;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Popup backgrounds

TsPopupInfo TsSkinableMenus::FindPopupInfo(TMenuItem* item, int width, HWND window, int height) {
  auto& list = PopupList();
  if (item == nullptr) {
    for (const TPopupEntry& e : list)
      if (e.Info.Window == window && window != nullptr) return e.Info;
    return TsPopupInfo{};
  }
  TMenuItem* root = item->Parent() != nullptr && item->Parent()->Count() > 0 ? item->Parent()->Items(0) : item;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].Info.Root != root) continue;
    // The same level opened again in a new window (a sub-menu closed and reopened within one
    // menu loop) gets a background and region of its own.
    const bool stale = width > 0 && window != nullptr && list[i].Info.Window != window;
    if (!stale) return list[i].Info;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  if (width <= 0 || height <= 0) return TsPopupInfo{};
  BuildPopupBackground(root, width, window, height);
  return list.empty() ? TsPopupInfo{} : list.back().Info;
}

int TsSkinableMenus::ExtraLineWidth(const TsPopupInfo& entry) const {
  const TlxMenuSupport* ms = FOwner != nullptr ? FOwner->MenuSupport() : nullptr;
  return ms != nullptr && ms->UseExtraLine && entry.ExtraLineVisible ? ms->ExtraLineWidth : 0;
}

void TsSkinableMenus::ClearPopupInfo() { PopupList().clear(); }

void TsSkinableMenus::ReleasePopupInfo() { ClearPopupInfo(); }

void TsSkinableMenus::ReleasePopupInfo(HWND window) {
  if (window == nullptr) return;
  std::erase_if(PopupList(), [window](const TPopupEntry& e) { return e.Info.Window == window; });
}

void TsSkinableMenus::EndMenuLoop() {
  ClearPopupInfo();
  PopupFlags().InProgress = false;
}

TPoint PopupClientOffset(HWND window) {
  if (window == nullptr) return TPoint{3, 3};
  RECT w{};
  POINT p{0, 0};
  if (!::GetWindowRect(window, &w) || !::ClientToScreen(window, &p)) return TPoint{3, 3};
  return TPoint{p.x - w.left, p.y - w.top};
}

TsPopupFlags& PopupFlags() {
  static TsPopupFlags flags;
  return flags;
}

int TsSkinableMenus::PopupInfoCount() { return static_cast<int>(PopupList().size()); }

void TsSkinableMenus::QueryExtraLine(TMenuItem* root, bool& lineVisible) {
  TExtraLine& x = ExtraLine();
  lineVisible = false;
  if (x.Querying || root == nullptr) return;
  if (FOwner != nullptr && (FOwner->ComponentState() & csDesigning) != 0) return;
  // The skin list of the system menu never shows an extra line.
  if (root->Name() == "SkinSelectItem") return;
  x.Section = "EXTRALINE";
  x.Caption = "Use OnGetExtraLineData event";
  x.Glyph = std::make_unique<TBitmap>();
  lineVisible = true;
  if (FOwner != nullptr && FOwner->OnGetMenuExtraLineData) {
    x.Querying = true;
    try {
      FOwner->OnGetMenuExtraLineData(root, x.Section, x.Caption, x.Glyph.get(), lineVisible);
    } catch (...) {
      x.Querying = false;
      throw;
    }
    x.Querying = false;
  }
  x.Caption = StripAmpersands(x.Caption);
  if (!lineVisible || x.Glyph->Empty()) x.Glyph.reset();
}

void TsSkinableMenus::BuildPopupBackground(TMenuItem* item, int width, HWND window, int height) {
  bool lineVisible = false;
  TMenuItem* root = item->Parent() != nullptr && item->Parent()->Count() > 0 ? item->Parent()->Items(0) : item;
  QueryExtraLine(root, lineVisible);
  PopupFlags().InProgress = true;
  TPopupEntry entry;
  entry.Info = TsPopupInfo{root, nullptr, window, lineVisible};
  entry.Background = CreateBitmap32(width, height);
  TBitmap* bmp = entry.Background.get();
  const TsSkinTables* t = FOwner != nullptr ? FOwner->Tables() : nullptr;
  TBitmap* master = FOwner != nullptr ? FOwner->MasterBitmap() : nullptr;
  const TlxMenuSupport* ms = FOwner != nullptr ? FOwner->MenuSupport() : nullptr;
  const int sbw = GetSkinBorderWidth();
  const int extraW = ExtraLineWidth(entry.Info);
  const int glyphColumn = Margin + GlyphSize(item).Width + Spacing;
  const TRect all{0, 0, width, height};
  const int section = SectionIndex(t, "MAINMENU");
  FRegionCutRects.clear();
  if (section >= 0) {
    PaintSectionBackground(section, "MAINMENU", EmptyBackgroundInfo(), 0xFF00FF, -1, -1, t, bmp, TPoint{0, 0}, all, 0,
                           master);
    const bool rightAligned = window != nullptr && (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_RIGHT) != 0;
    const int ico = ms != nullptr ? SectionIndex(t, ms->IcoLineSkin) : -1;
    if (!rightAligned && ico >= 0 && height - 2 * sbw > 0) {
      const TRect strip{extraW + sbw, sbw, extraW + sbw + glyphColumn, height - sbw};
      const TsBackgroundInfo self{bmp, 0, 0, 0xFF00FF, 1};
      PaintSectionBackground(ico, ms->IcoLineSkin, self, 0xFF00FF, -1, -1, t, bmp, TPoint{strip.Left, strip.Top}, strip,
                             0, master);
    }
    const int mask = FindMaskEntry(t, section, "MAINMENU", "BORDERSMASK");
    if (MaskIndexInRange(t, mask)) {
      // The frame, and the mask's transparent corner pixels cut out of the window's region.
      TOwnedRegion whole(::CreateRectRgn(0, 0, width, height));
      ControlRegionFromMask(bmp, whole.Get(), false, 0, t->MaskData[static_cast<size_t>(mask)], master);
      TOwnedRegion cut(::CreateRectRgn(0, 0, width, height));
      ::CombineRgn(cut.Get(), cut.Get(), whole.Get(), RGN_DIFF);
      const DWORD size = ::GetRegionData(cut.Get(), 0, nullptr);
      if (size > sizeof(RGNDATAHEADER)) {
        std::vector<char> data(size);
        auto* rd = reinterpret_cast<RGNDATA*>(data.data());
        if (::GetRegionData(cut.Get(), size, rd) == size) {
          const RECT* rects = reinterpret_cast<const RECT*>(rd->Buffer);
          for (DWORD i = 0; i < rd->rdh.nCount; ++i) FRegionCutRects.push_back(ToTRect(rects[i]));
        }
      }
    }
  }
  // The extra line: its section, the glyph near the bottom, the caption reading upwards.
  const TExtraLine& x = ExtraLine();
  const int xsec = SectionIndex(t, x.Section);
  if (extraW > 0 && xsec >= 0 && height - 2 * sbw > 0) {
    const int h = height - 2 * sbw;
    std::unique_ptr<TBitmap> strip = CreateBitmap32(extraW, h);
    const TsBackgroundInfo under{bmp, sbw, sbw, 0xFF00FF, 1};
    PaintSectionItem(xsec, x.Section, under, -1, -1, t, strip.get(), TPoint{sbw, sbw}, TRect{0, 0, extraW, h}, 0, master);
    HDC dc = strip->Canvas()->GetHandle();
    int textBottom = h - 12;
    if (x.Glyph && !x.Glyph->Empty()) {
      const int gw = x.Glyph->GetWidth(), gh = x.Glyph->GetHeight();
      strip->Canvas()->Draw((extraW - gw) / 2, h - 12 - gh, x.Glyph.get());
      textBottom = h - (20 + gh + 12);
    }
    if (!x.Caption.empty() && ms != nullptr) {
      LOGFONTA lf = ms->ExtraLineFont()->GetLogFont();
      lf.lfEscapement = lf.lfOrientation = 900;   // reading upwards
      TOwnedFont font(::CreateFontIndirectA(&lf));
      TSelectObject sel(dc, font.Get());
      SIZE ext{};
      ::GetTextExtentPoint32A(dc, x.Caption.c_str(), static_cast<int>(x.Caption.size()), &ext);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, SkinColorToRGB(SectionFontColor(t, xsec, 0)));
      ::TextOutA(dc, (extraW - ext.cy) / 2, textBottom, x.Caption.c_str(), static_cast<int>(x.Caption.size()));
    }
    CopyRect(bmp->Canvas()->GetHandle(), TRect{sbw, sbw, sbw + extraW, sbw + h}, dc, 0, 0);
  }
  if (MenuReadsRightToLeft(item->GetParentMenu())) MirrorBitmap(bmp);
  entry.Info.Background = bmp;
  PopupList().push_back(std::move(entry));
  // Set before the region: its redraw brings the popup window the frame paint that shows it.
  PopupFlags().Painted = true;
  if (window != nullptr) PaintPopupBorder(window, bmp);
}

void TsSkinableMenus::PaintPopupBorder(HWND window, TBitmap* bitmap) {
  if (FPaintingBorder) return;
  if (!IsNTFamily || bitmap == nullptr || window == nullptr || !::IsWindow(window)) return;
  FPaintingBorder = true;
  try {
    if (SendSkinCommand(window, SkinCmdHoldPaint) == 0) SendSkinCommand(window, SkinCmdPopupState);
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    TOwnedRegion rgn(::CreateRectRgn(0, 0, w, h));
    if (FRegionCutRects.empty()) {
      TOwnedRegion px(::CreateRectRgn(0, 0, 1, 1));
      ::CombineRgn(rgn.Get(), rgn.Get(), px.Get(), RGN_DIFF);
    }
    for (const TRect& r : FRegionCutRects) {
      TOwnedRegion cut(::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
      ::CombineRgn(rgn.Get(), rgn.Get(), cut.Get(), RGN_DIFF);
    }
    // The window owns the region once it took it.
    if (rgn && ::SetWindowRgn(window, rgn.Get(), TRUE)) (void)rgn.Release();
    TWindowDC dc(window, TWindowDC::TArea::Window);
    if (dc.Valid()) CopyBorderStrips(dc.Get(), 0, 0, 3, 0, 0, bitmap->Canvas()->GetHandle(), h, w);
  } catch (...) {
    FPaintingBorder = false;
    throw;
  }
  FPaintingBorder = false;
}

// ---------------------------------------------------------------------------------------------
// Measures

int TsSkinableMenus::ItemHeight(TMenuItem* item) {
  return MenuItemHeight(MenuItemTypeOf(item->Caption()), TextHeightW(), GlyphSize(item).Height, Margin);
}

int TsSkinableMenus::MeasuredWidth(TMenuItem* item, HDC dc) {
  const TsMenuItemType type = MenuItemTypeOf(item->Caption());
  TMenuTextFont font(item->Default(), OwnerCharset(item));
  TSelectObject sel(dc, font.Get());
  std::string text;
  if (type == smCaption) text = "-" + item->Caption() + "-";
  else if (type == smNormal) text = item->Caption() + ShortCutToText(item->GetShortCut());
  const int textW = text.empty() ? 0 : static_cast<int>(TextExtent(dc, text).cx);
  const TsPopupInfo entry = FindPopupInfo(item, 0, nullptr, 0);
  int extra = 0;
  if (entry.Root != nullptr) extra = ExtraLineWidth(entry);
  else {
    bool visible = false;
    QueryExtraLine(item->Parent() != nullptr && item->Parent()->Count() > 0 ? item->Parent()->Items(0) : item, visible);
    extra = ExtraLineWidth(TsPopupInfo{nullptr, nullptr, nullptr, visible});
  }
  return PopupItemWidth(GlyphSize(item).Width, textW, Margin, Spacing, extra, !InLaterColumn(item));
}

void TsSkinableMenus::MeasurePopupItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = As<TMenuItem>(sender);
  if (item == nullptr || item->IsDestroying()) return;
  // The level is about to show: its window fades in and takes the skin's frame.
  PopupFlags().InProgress = true;
  HDC dc = canvas != nullptr ? canvas->GetHandle() : nullptr;
  TWindowDC screen(nullptr);
  width = MeasuredWidth(item, dc != nullptr ? dc : screen.Get());
  height = ItemHeight(item);
}

std::vector<TsMenuColumnItem> TsSkinableMenus::Columns(TMenuItem* item) {
  std::vector<TsMenuColumnItem> out;
  TMenuItem* p = item->Parent();
  if (p == nullptr) return out;
  TWindowDC screen(nullptr);
  for (int i = 0; i < p->Count(); ++i) {
    TMenuItem* it = p->Items(i);
    if (!it->Visible()) continue;
    out.push_back({true, it->Break() != mbNone, MeasuredWidth(it, screen.Get()), ItemHeight(it)});
  }
  return out;
}

int TsSkinableMenus::PopupHeight(TMenuItem* item) { return PopupColumnsHeight(Columns(item)); }

int TsSkinableMenus::PopupWidth(TMenuItem* item) { return PopupColumnsWidth(Columns(item)); }

void TsSkinableMenus::MeasureMenuLineItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = As<TMenuItem>(sender);
  if (item == nullptr || item->IsDestroying()) return;
  height = ::GetSystemMetrics(SM_CYMENU) - 1;
  TWindowDC screen(nullptr);
  HDC dc = canvas != nullptr ? canvas->GetHandle() : screen.Get();
  TSelectObject sel(dc, Screen->MenuFont()->GetHandle());
  width = static_cast<int>(TextExtent(dc, StripAmpersands(item->Caption())).cx);
  TMenu* menu = item->GetParentMenu();
  if (menu != nullptr && menu->Images() != nullptr && item->ImageIndex() >= 0) width += menu->Images()->GetWidth() + 6;
  else if (item->HasBitmap()) width += item->Bitmap()->GetWidth() + 6;
}

// ---------------------------------------------------------------------------------------------
// Painting

namespace {

// The popup window a menu DC paints, or null.
HWND PopupWindowOf(HDC dc) {
  HWND w = ::WindowFromDC(dc);
  if (w == nullptr) return nullptr;
  char cls[16] = {};
  ::GetClassNameA(w, cls, sizeof(cls));
  return std::string(cls) == "#32768" ? w : nullptr;
}

// Posts the painted item's command number to the application's window so that it finishes the
// popup's border, unless such a request is already waiting there.
void RequestBorderPaint(TMenuItem* item) {
  if (Application == nullptr || Application->Handle() == nullptr) return;
  HWND app = Application->Handle();
  MSG m;
  if (::PeekMessageA(&m, app, WM_POPUPITEMPAINTED, WM_POPUPWINDOWKNOWN, PM_NOREMOVE)) return;
  // The application-window hook (sAppWindowHook) finds the item among live items by this
  // number, never by an address.
  ::PostMessageA(app, WM_POPUPITEMPAINTED, 0, static_cast<LPARAM>(item->Command()));
}

}  // namespace

void TsSkinableMenus::PaintPopupItem(TObject* sender, TCanvas* canvas, const TRect& rect, TOwnerDrawState state) {
  auto* item = As<TMenuItem>(sender);
  if (!FActive || item == nullptr || canvas == nullptr || FOwner == nullptr) return;
  // A split button switched the hints off while its drop-down menu opened: they come back now
  // that the menu shows.
  if (auto hints = TakeDropDownHints(); hints && Application != nullptr) Application->SetShowHint(*hints);
  const TsSkinTables* t = FOwner->Tables();
  TBitmap* master = FOwner->MasterBitmap();
  const bool rtl = MenuReadsRightToLeft(item->GetParentMenu());
  HDC dc = canvas->GetHandle();
  HWND window = IsNTFamily ? PopupWindowOf(dc) : nullptr;
  int w = 0, h = 0;
  if (window != nullptr) {
    RECT wr{};
    ::GetWindowRect(window, &wr);
    w = wr.right - wr.left;
    h = wr.bottom - wr.top;
  } else {
    w = PopupWidth(item) + 2 * BorderWidth;
    h = PopupHeight(item) + 2 * BorderWidth;
  }
  const TsPopupInfo entry = FindPopupInfo(item, w, window, h);
  TBitmap* bg = entry.Background;
  const int extraOff = InLaterColumn(item) ? 0 : ExtraLineWidth(entry);
  const TPoint off = PopupClientOffset(window);
  HDC bgdc = bg != nullptr ? bg->Canvas()->GetHandle() : nullptr;
  // The border strips around the item, through the window's DC.
  if (window != nullptr && bg != nullptr) {
    TWindowDC wdc(window, TWindowDC::TArea::Window);
    if (wdc.Valid()) {
      if (IsFirstVisible(item)) {
        CopyRect(wdc.Get(), TRect{0, 0, w, BorderWidth}, bgdc, 0, 0);
        CopyRect(wdc.Get(), TRect{0, 0, ExtraLineWidth(entry) + std::max(GetSkinBorderWidth(), BorderWidth), h}, bgdc, 0,
                 0);
      }
      if (IsLastVisible(item)) CopyRect(wdc.Get(), TRect{0, h - BorderWidth, w, h}, bgdc, 0, h - BorderWidth);
      CopyRect(wdc.Get(), TRect{w - BorderWidth, BorderWidth + rect.Top, w, BorderWidth + rect.Bottom}, bgdc,
               w - BorderWidth, BorderWidth + rect.Top);
    }
  } else if (window == nullptr) {
    RequestBorderPaint(item);
  }
  const TsMenuItemType type = item->IsLine() ? smDivider : IsCaptionItem(item) ? smCaption : smNormal;
  if (type != smNormal) {
    if (type == smDivider) PaintDivider(canvas, rect, entry, bg, item);
    else PaintCaptionItem(canvas, rect, entry, bg, item);
    if (item->OnDrawItem) item->OnDrawItem(item, canvas, rect, (state & odSelected) != 0);
    return;
  }
  // Fill the rest of a column below its last item, and the gap left of a new column.
  if (bg != nullptr && item->Parent() != nullptr) {
    TMenuItem* p = item->Parent();
    const int idx = p->IndexOf(item);
    const bool nextBreaks = idx + 1 < p->Count() && p->Items(idx + 1)->Break() != mbNone;
    if (nextBreaks || (IsLastVisible(item) && rect.Bottom < bg->GetHeight() - 6))
      CopyRect(dc, TRect{rect.Left, rect.Bottom, rect.Right, bg->GetHeight() - 2 * off.Y}, bgdc, rect.Left + off.X,
               rect.Bottom + off.Y);
    if (item->Break() != mbNone)
      CopyRect(dc, TRect{rect.Left - 4, 0, rect.Left, bg->GetHeight() - 2 * off.Y}, bgdc, rect.Left - 4 + off.X, off.Y);
  }
  const int iw = std::max(0, rect.Width() - extraOff), ih = rect.Height();
  if (iw <= 0 || ih <= 0) return;
  std::unique_ptr<TBitmap> ib = CreateBitmap32(iw, ih);
  HDC idc = ib->Canvas()->GetHandle();
  const TPoint at{extraOff + rect.Left + off.X, rect.Top + off.Y};
  if (bgdc != nullptr) ::BitBlt(idc, 0, 0, iw, ih, bgdc, at.X, at.Y, SRCCOPY);
  const bool enabled = item->Enabled() && (state & (odGrayed | odDisabled)) == 0;
  const bool active = enabled && (state & (odSelected | odHotLight)) != 0;
  const int sec = SectionIndex(t, "MENUITEM");
  if (sec >= 0) {
    const TsBackgroundInfo under{bg, at.X, at.Y, 0xFF00FF, static_cast<std::uint8_t>(bg != nullptr)};
    PaintSectionItem(sec, "MENUITEM", under, -1, -1, t, ib.get(), TPoint{0, 0}, TRect{0, 0, iw, ih}, active ? 1 : 0,
                     master);
  }
  const TsBackgroundInfo self{ib.get(), 0, 0, 0xFF00FF, 1};
  TCustomImageList* images = item->GetImageList();
  const bool hasImage = images != nullptr && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count();
  // The check mark of a checked item without a picture.
  if (item->Checked() && !hasImage && !item->HasBitmap()) {
    int mask = GlobalMask(t, item->RadioItem() ? "RADIOCHECKED" : "CHECK");
    if (!MaskIndexInRange(t, mask)) mask = GlobalMask(t, "BOXCHECKED");
    if (MaskIndexInRange(t, mask)) {
      const TsMaskData& m = t->MaskData[static_cast<size_t>(mask)];
      const int mw = MaskFrameWidth(m), mh = MaskFrameHeight(m);
      const int x = rtl ? iw - 2 - mw + Margin : Margin;
      DrawMaskState(ib.get(), TPoint{x, (ih - mh) / 2}, active ? 1 : 0, self, t, mask, 1, master);
    }
  }
  // The glyph: an image, the system menu's letter, or the item's bitmap.
  auto pressedBehind = [&](int x, int y, int gw, int gh) {
    const int btn = SectionIndex(t, "SPEEDBUTTON_SMALL");
    if (btn >= 0)
      PaintSectionItem(btn, "SPEEDBUTTON_SMALL", self, -1, -1, t, ib.get(), TPoint{x - 1, y - 1},
                       TRect{x - 1, y - 1, x + gw + 1, y + gh + 1}, 2, master);
  };
  TMenu* menu = item->GetParentMenu();
  const bool sysMenu = menu != nullptr && menu->Name().rfind("lxSysMenu", 0) == 0;
  if (hasImage) {
    const int y = (ih - images->GetHeight()) / 2;
    const int x = rtl ? iw - y - images->GetWidth() : y;
    if (item->Checked()) pressedBehind(x, y, images->GetWidth(), images->GetHeight());
    images->Draw(ib->Canvas(), x, y, item->ImageIndex(), enabled);
  } else if (sysMenu && !item->HasBitmap()) {
    const char* letter = nullptr;
    switch (item->Tag()) {
      case SC_MINIMIZE: letter = "0"; break;
      case SC_MAXIMIZE: letter = "1"; break;
      case SC_CLOSE: letter = "r"; break;
      case SC_RESTORE: letter = "2"; break;
      default: break;
    }
    if (letter != nullptr) {
      LOGFONTA lf{};
      lf.lfHeight = -::MulDiv(10, ::GetDeviceCaps(idc, LOGPIXELSY), 72);
      lf.lfCharSet = SYMBOL_CHARSET;
      lstrcpynA(lf.lfFaceName, "Webdings", LF_FACESIZE);
      TOwnedFont font(::CreateFontIndirectA(&lf));
      TSelectObject sel(idc, font.Get());
      // Without the symbol font the mapper picks a text face, whose letters would show as
      // they are: then the item goes without its symbol.
      char face[LF_FACESIZE] = {};
      ::GetTextFaceA(idc, LF_FACESIZE, face);
      if (lstrcmpiA(face, "Webdings") == 0) {
        const int th = TextHeightW();
        const TRect r = rtl ? TRect{iw - th - 4, 0, iw - 4, ih} : TRect{4, 0, th + 14, ih};
        DrawTextIn(idc, letter, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, SectionFontColor(t, sec, active ? 1 : 0));
      }
    }
  } else if (item->HasBitmap()) {
    TBitmap* b = item->Bitmap();
    const int y = (ih - b->GetHeight()) / 2;
    const int x = rtl ? iw - y - b->GetWidth() : y;
    if (item->Checked()) pressedBehind(x, y, b->GetWidth(), b->GetHeight());
    if (b->GetPixelFormat() == TPixelFormat::pf32bit) {
      BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      ::AlphaBlend(idc, x, y, b->GetWidth(), b->GetHeight(), b->Canvas()->GetHandle(), 0, 0, b->GetWidth(),
                   b->GetHeight(), bf);
    } else {
      ib->Canvas()->Draw(x, y, b);
    }
  }
  // The caption, and the shortcut right-aligned.
  {
    TMenuTextFont font((state & odDefault) != 0, OwnerCharset(item));
    TSelectObject sel(idc, font.Get());
    const TColor color = SectionFontColor(t, sec, active ? 1 : 0);
    const int textLeft = GlyphSize(item).Width + 2 * Margin + Spacing;
    TRect tr = rtl ? TRect{0, 0, iw - textLeft, ih} : TRect{textLeft, 0, iw, ih};
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP;
    if (rtl) flags |= DT_RIGHT | DT_RTLREADING;
    if (state & odNoAccel) flags |= DT_HIDEPREFIX;
    std::string caption = item->Caption();
    std::string after;
    if (size_t tab = caption.find('\t'); tab != std::string::npos) {
      after = caption.substr(tab + 1);
      caption.erase(tab);
    }
    UINT align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    if (!caption.empty() && caption[0] == '\b') {
      caption = caption.substr(1) + "      ";
      align = DT_RIGHT;
    }
    DrawTextIn(idc, caption, tr, flags | (rtl ? 0u : align), color);
    if (!after.empty()) DrawTextIn(idc, after, TRect{tr.Left, 0, iw - 8, ih}, DT_RIGHT | DT_VCENTER | DT_SINGLELINE, color);
    const std::string sc = ShortCutToText(item->GetShortCut());
    if (!sc.empty()) {
      const int sw = static_cast<int>(TextExtent(idc, sc).cx);
      const int x = rtl ? 6 : iw - 8 - sw;
      DrawTextIn(idc, sc, TRect{x, 0, x + sw, ih}, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP, color);
    }
  }
  if (OnDrawItem) OnDrawItem(item, ib->Canvas(), TRect{0, 0, iw, ih}, state, smNormal);
  if (!enabled && bg != nullptr)
    BlendWithBackground(ib.get(), 0, 0, 0xFF00FF, 0.4, TRect{at.X, at.Y, at.X + iw - 1, at.Y + ih - 1}, bg);
  ::BitBlt(dc, extraOff + rect.Left, rect.Top, iw, ih, idc, 0, 0, SRCCOPY);
  if (item->Count() > 0) {
    // The system draws the sub-menu arrow over the item's right end in the DC's colours: in
    // the item's text colour on the item's own fill there, not in the system's menu colours.
    ::SetTextColor(dc, SkinColorToRGB(SectionFontColor(t, sec, active ? 1 : 0)));
    ::SetBkColor(dc, ::GetPixel(idc, std::max(0, iw - 4), ih / 2));
  }
  if (bg != nullptr && extraOff > 0 && IsFirstVisible(item))
    CopyRect(dc, TRect{0, 0, extraOff, bg->GetHeight()}, bgdc, off.X, off.Y);
  if (item->OnDrawItem) item->OnDrawItem(item, canvas, rect, (state & odSelected) != 0);
}

void TsSkinableMenus::PaintDivider(TCanvas* canvas, const TRect& rect, const TsPopupInfo& entry, TBitmap* background,
                                   TMenuItem* item) {
  const TsSkinTables* t = FOwner->Tables();
  TBitmap* master = FOwner->MasterBitmap();
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return;
  const int extra = InLaterColumn(item) ? 0 : ExtraLineWidth(entry);
  const int glyphColumn = Margin + GlyphSize(item).Width + Spacing;
  const int left = std::max(extra + Margin + Spacing, extra + glyphColumn + 2);
  const TRect line{left, 0, w - (extra + 2 * Margin + Spacing), h};
  std::unique_ptr<TBitmap> ib = CreateBitmap32(w, h);
  HDC idc = ib->Canvas()->GetHandle();
  const TPoint off = PopupClientOffset(entry.Window);
  if (background != nullptr)
    ::BitBlt(idc, 0, 0, w, h, background->Canvas()->GetHandle(), rect.Left + off.X, rect.Top + off.Y, SRCCOPY);
  else
    FillDCRect(idc, TRect{0, 0, w, h}, clMenu);
  const int sec = SectionIndex(t, "DIVIDERV");
  const int mask = sec >= 0 ? FindMaskEntry(t, sec, "DIVIDERV", "BORDERSMASK") : -1;
  if (MaskIndexInRange(t, mask) && line.Width() > 0) {
    const TsBackgroundInfo self{ib.get(), 0, 0, 0xFF00FF, 1};
    PaintMaskFrame(ib.get(), line, false, 0, t->MaskData[static_cast<size_t>(mask)], self, master);
  } else if (line.Width() > 0) {
    TColor c = t != nullptr ? t->SkinData.BorderColor : TColor(0xFF00FF);
    if (c == 0xFF00FF) c = clBtnShadow;
    FillDCRect(idc, TRect{line.Left, 0, line.Right, 1}, c);
  }
  if (OnDrawItem) OnDrawItem(item, ib->Canvas(), TRect{0, 0, w, h}, 0, smDivider);
  ::BitBlt(canvas->GetHandle(), rect.Left, rect.Top, w, h, idc, 0, 0, SRCCOPY);
}

void TsSkinableMenus::PaintCaptionItem(TCanvas* canvas, const TRect& rect, const TsPopupInfo& entry,
                                       TBitmap* background, TMenuItem* item) {
  const TsSkinTables* t = FOwner->Tables();
  TBitmap* master = FOwner->MasterBitmap();
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return;
  const int extra = InLaterColumn(item) ? 0 : ExtraLineWidth(entry);
  std::unique_ptr<TBitmap> ib = CreateBitmap32(w, h);
  HDC idc = ib->Canvas()->GetHandle();
  const TPoint off = PopupClientOffset(entry.Window);
  if (background != nullptr)
    ::BitBlt(idc, 0, 0, w, h, background->Canvas()->GetHandle(), rect.Left + off.X, rect.Top + off.Y, SRCCOPY);
  std::string name = "MENUCAPTION";
  int sec = SectionIndex(t, name);
  if (sec < 0) sec = SectionIndex(t, name = "TOOLBAR");
  if (sec >= 0 && w - 1 > extra + 1 && h > 2) {
    const TsBackgroundInfo self{ib.get(), 0, 0, 0xFF00FF, 1};
    PaintSectionItem(sec, name, self, -1, -1, t, ib.get(), TPoint{extra + 1, 1}, TRect{extra + 1, 1, w - 1, h - 1}, 0,
                     master);
  }
  TSelectObject sel(idc, CaptionFont()->GetHandle());
  DrawTextIn(idc, CaptionItemText(item->Caption()), TRect{extra, 0, w, h},
             DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX, SectionFontColor(t, sec, 0));
  if (OnDrawItem) OnDrawItem(item, ib->Canvas(), TRect{0, 0, w, h}, 0, smCaption);
  ::BitBlt(canvas->GetHandle(), rect.Left, rect.Top, w, h, idc, 0, 0, SRCCOPY);
}

void TsSkinableMenus::PaintMenuLineItem(TObject* sender, TCanvas* canvas, const TRect& rect, TOwnerDrawState state) {
  auto* item = As<TMenuItem>(sender);
  if (FOwner == nullptr || item == nullptr || canvas == nullptr) return;
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return;
  const TsSkinTables* t = FOwner->Tables();
  TBitmap* master = FOwner->MasterBitmap();
  HDC dc = canvas->GetHandle();
  auto* mm = As<TMainMenu>(item->GetParentMenu());
  HWND wnd = mm != nullptr && mm->WindowHandle() != nullptr ? mm->WindowHandle() : ::WindowFromDC(dc);
  // The item lies on a skinned form's menu line; a bar no skinned form shows is left alone.
  TsMenuLineSpot spot;
  if (!SkinableMenusLinks().MenuLineBackground || !SkinableMenusLinks().MenuLineBackground(wnd, dc, rect, spot) ||
      spot.Line == nullptr)
    return;
  std::unique_ptr<TBitmap> ib = CreateBitmap32(w, h);
  HDC idc = ib->Canvas()->GetHandle();
  ::BitBlt(idc, 0, 0, w, h, spot.Line->Canvas()->GetHandle(), spot.ItemInLine.X, spot.ItemInLine.Y, SRCCOPY);
  std::unique_ptr<TBitmap> plain = CreateBitmap32(w, h);
  ::BitBlt(plain->Canvas()->GetHandle(), 0, 0, w, h, idc, 0, 0, SRCCOPY);
  const bool enabled = item->Enabled() && (state & (odGrayed | odDisabled)) == 0;
  const bool active = enabled && (state & (odSelected | odHotLight)) != 0;
  const int sec = SectionIndex(t, "MENUITEM");
  if (sec >= 0) {
    const TsBackgroundInfo self{plain.get(), 0, 0, 0xFF00FF, 1};
    PaintSectionItem(sec, "MENUITEM", self, -1, -1, t, ib.get(), TPoint{0, 0}, TRect{0, 0, w, h}, active ? 1 : 0,
                     master);
  }
  const bool rtl = MenuReadsRightToLeft(item->GetParentMenu());
  TRect glyph{0, 0, 0, h};
  TMenu* menu = item->GetParentMenu();
  if (menu != nullptr && menu->Images() != nullptr && item->ImageIndex() >= 0 &&
      item->ImageIndex() < menu->Images()->Count()) {
    const int gw = menu->Images()->GetWidth(), gh = menu->Images()->GetHeight();
    const int x = rtl ? w - gw - 3 : 3;
    menu->Images()->Draw(ib->Canvas(), x, (h - gh) / 2, item->ImageIndex(), enabled);
    glyph = TRect{x, 0, x + gw + 3, h};
  } else if (item->HasBitmap()) {
    TBitmap* b = item->Bitmap();
    const int x = rtl ? w - b->GetWidth() - 3 : 3;
    ib->Canvas()->Draw(x, (h - b->GetHeight()) / 2, b);
    glyph = TRect{x, 0, x + b->GetWidth() + 3, h};
  }
  TMenuTextFont font((state & odDefault) != 0, OwnerCharset(item));
  TRect tr{Margin, 0, w - Margin, h};
  if (glyph.Width() > 0) {
    if (rtl) tr.Right = glyph.Left;
    else tr.Left = glyph.Right;
  }
  // Bar items are centred; a right alignment of the captions moves them to the item's end.
  UINT flags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
  flags |= Alignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  if (rtl) flags |= DT_RTLREADING;
  if (state & odNoAccel) flags |= DT_HIDEPREFIX;
  // The menu line's text colours in the form's state, as the line itself is painted.
  const int lineSec = SectionIndex(t, "MENULINE");
  const bool lineHot =
      spot.FormActive && SectionIndexInRange(t, lineSec) && t->GeneralData[static_cast<size_t>(lineSec)].States > 1;
  if (spot.BorderWindow) {
    // The frame reaches the screen with its alpha: the text is laid into the bitmap opaque.
    ib->Canvas()->Font()->SetHandle(font.Get());
    DrawSectionText(ib.get(), item->Caption(), true, t, lineHot, lineSec, flags, tr);
  } else {
    TSelectObject sel(idc, font.Get());
    DrawTextIn(idc, item->Caption(), tr, flags, SectionFontColor(t, lineSec, lineHot ? 1 : 0));
  }
  if (OnDrawItem) OnDrawItem(item, ib->Canvas(), TRect{0, 0, w, h}, state, smTopLine);
  if (!enabled) BlendWithBackground(ib.get(), 0, 0, 0xFF00FF, 102.0 / 255.0, TRect{0, 0, w - 1, h - 1}, plain.get());
  ::BitBlt(dc, rect.Left, rect.Top, w, h, idc, 0, 0, SRCCOPY);
}
