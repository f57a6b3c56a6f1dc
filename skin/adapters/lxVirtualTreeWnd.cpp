// The virtual tree adapter (see lxVirtualTreeWnd.h).
#include "skin/adapters/lxVirtualTreeWnd.h"

#include <any>
#include <memory>
#include <optional>
#include <string>

#include "framework/base/TypInfo.h"
#include "framework/win/Graphics.h"
#include "framework/win/Menus.h"
#include "skin/adapters/lxListViewWnd.h"
#include "skin/core/sCommonDataCore.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sUtils.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr const char* TextColorProps[3] = {"CompressedTextColor", "FileTextColor", "FolderTextColor"};
constexpr const char* DrawEvent = "OnAdvancedHeaderDraw";
constexpr const char* QueryEvent = "OnHeaderDrawQueryElements";
constexpr const char* OwnerDraw = "hoOwnerDraw";
// The header's "SortDirection": ascending shows the upward glyph.
constexpr std::int64_t SortDescending = 1;

TObject* Nested(TObject* o, const char* name) { return o != nullptr ? ReadObjectProp(o, name) : nullptr; }

// The event's handler when it is of type E; nullopt when the event is missing or of another type.
template <class E>
std::optional<E> HandlerOf(TObject* tree, const char* event) {
  if (!PublishedPropExists(tree, event)) return std::nullopt;
  try {
    const TMethodValue v = GetMethodProp(tree, event);
    if (const E* h = std::any_cast<E>(&v)) return *h;
  } catch (...) {
    // Not an event: the control keeps its own.
  }
  return std::nullopt;
}

}   // namespace

TlxVirtualTreeViewWnd::~TlxVirtualTreeViewWnd() { ReleaseWndAdapter(Handle(), false, *this); }

void TlxVirtualTreeViewWnd::StoreControlColors() {
  TlxEditWnd::StoreControlColors();
  TControl* tree = SkinData()->OwnerControl();
  if (tree == nullptr) return;
  if (TObject* colors = Nested(tree, "VETColors")) {
    for (int i = 0; i < 3; ++i) FTextColors[i] = GetPublishedColor(colors, TextColorProps[i]);
    FColorsSaved = true;
  }
  FOwnerDraw = SetPropHasElement(Nested(tree, "Header"), "Options", OwnerDraw);
  const auto draw = HandlerOf<TlxAdvancedHeaderDrawEvent>(tree, DrawEvent);
  const auto query = HandlerOf<TlxHeaderDrawQueryElementsEvent>(tree, QueryEvent);
  FHandlersKnown = draw.has_value() && query.has_value();
  if (FHandlersKnown) {
    FOldDraw = *draw;
    FOldQuery = *query;
  }
}

void TlxVirtualTreeViewWnd::InstallHandlers(TObject* tree) {
  const auto draw = HandlerOf<TlxAdvancedHeaderDrawEvent>(tree, DrawEvent);
  if (!FHandlersKnown || !draw || HandlerOwnedBy(*draw, this)) return;
  SetMethodProp(tree, DrawEvent,
                TMethodValue(OwnedHandler(this, TlxAdvancedHeaderDrawEvent(
                                                    [this](TObject* sender, TlxHeaderPaintInfo& info, std::uint32_t) {
                                                      DrawHeader(sender, info);
                                                    }))));
  SetMethodProp(tree, QueryEvent,
                TMethodValue(OwnedHandler(this, TlxHeaderDrawQueryElementsEvent(
                                                    [](TObject*, TlxHeaderPaintInfo&, std::uint32_t& elements) {
                                                      elements = lxSkinnedHeaderElements;
                                                    }))));
}

void TlxVirtualTreeViewWnd::ApplySkinColors() {
  TlxEditWnd::ApplySkinColors();
  TsCommonData* d = SkinData();
  TControl* tree = d->OwnerControl();
  const TsSkinManager* m = d->GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (tree == nullptr || t == nullptr || !SectionIndexInRange(t, d->SectionIndex())) return;
  const TColor font = ColorToRGB(SectionState(t->GeneralData[static_cast<size_t>(d->SectionIndex())], 0).FontColor[0]);
  if (TObject* colors = Nested(tree, "VETColors"))
    for (const char* name : TextColorProps) SetPublishedColor(colors, name, font);
  InstallHandlers(tree);
  TObject* header = Nested(tree, "Header");
  ToggleSetPropElement(header, "Options", OwnerDraw, true);
  if (TObject* info = Nested(tree, "PaintInfoColumn")) {
    SetPublishedColor(info, "Color", GlobalInfoColor(t, ColorToRGB(clBtnFace)));
    WriteOrdProp(info, "Style", 1);
  }
  SetPublishedColor(Nested(header, "Font"), "Color", GlobalInfoFontColor(t));
  WriteOrdProp(tree, "Themed", 0);
}

void TlxVirtualTreeViewWnd::RestoreControlColors() {
  TlxEditWnd::RestoreControlColors();
  TControl* tree = SkinData() != nullptr ? SkinData()->OwnerControl() : nullptr;
  if (tree == nullptr || tree->IsDestroying()) return;
  if (TObject* colors = Nested(tree, "VETColors"); colors != nullptr && FColorsSaved)
    for (int i = 0; i < 3; ++i) SetPublishedColor(colors, TextColorProps[i], FTextColors[i]);
  // Only our own handlers are taken out: one the application set meanwhile stays.
  if (const auto draw = HandlerOf<TlxAdvancedHeaderDrawEvent>(tree, DrawEvent); draw && HandlerOwnedBy(*draw, this))
    SetMethodProp(tree, DrawEvent, TMethodValue(FOldDraw));
  if (const auto query = HandlerOf<TlxHeaderDrawQueryElementsEvent>(tree, QueryEvent);
      query && HandlerOwnedBy(*query, this))
    SetMethodProp(tree, QueryEvent, TMethodValue(FOldQuery));
  TObject* header = Nested(tree, "Header");
  ToggleSetPropElement(header, "Options", OwnerDraw, FOwnerDraw);
  WriteOrdProp(tree, "Themed", 1);
  SetPublishedColor(Nested(tree, "PaintInfoColumn"), "Color", ColorToRGB(clBtnFace));
  SetPublishedColor(Nested(header, "Font"), "Color", ColorToRGB(clBtnText));
}

void TlxVirtualTreeViewWnd::DrawHeader(TObject* sender, TlxHeaderPaintInfo& info) {
  if (info.TargetCanvas == nullptr) return;
  const TRect& r = info.PaintRectangle;
  if (r.Width() <= 0 || r.Height() <= 0) return;
  auto work = CreateBitmap32(r.Width(), r.Height());
  TlxHeaderColumn c;
  c.State = info.IsDownIndex ? 2 : info.IsHoverIndex ? 1 : 0;
  std::string text;
  TObject* header = Nested(sender, "Header");
  if (info.Column != nullptr) {
    text = PublishedPropExists(info.Column, "Text") ? GetStrProp(info.Column, "Text") : std::string();
    c.Text = text.c_str();
    if (header != nullptr && PublishedPropExists(header, "SortColumn") &&
        ReadOrdProp(header, "SortColumn") == ReadOrdProp(info.Column, "Index"))
      c.Format = ReadOrdProp(header, "SortDirection") == SortDescending ? HDF_SORTDOWN : HDF_SORTUP;
    c.WordWrap = SetPropHasElement(info.Column, "Options", "coWrapCaption");
  }
  if (auto* font = dynamic_cast<TFont*>(Nested(header, "Font"))) c.Font = font->GetHandle();
  PaintSkinHeaderColumn(work.get(), TRect{0, 0, r.Width(), r.Height()}, SkinData(), Color(), c);
  BitBlt(info.TargetCanvas->GetHandle(), r.Left, r.Top, r.Width(), r.Height(), work->Canvas()->GetHandle(), 0, 0,
         SRCCOPY);
}

void TlxVirtualTreeViewWnd::HandleMessage(TMessage& message) {
  TsCommonData* d = SkinData();
  if (!Defunct() && d != nullptr && d->HasSkin(false) && message.Msg == WM_ERASEBKGND) {
    // The tree paints its whole client area itself.
    message.Result = 1;
    return;
  }
  TlxEditWnd::HandleMessage(message);
}
