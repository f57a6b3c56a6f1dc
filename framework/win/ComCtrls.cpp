// Status bar, tool bar and cool bar over the system's common controls.
//
// Sections: edge borders; TStatusPanel, TStatusPanels, TStatusBar; TToolButton; TToolBar
// (window, buttons, images, notifications); TCoolBand, TCoolBands, TCoolBar.
#include "framework/win/ComCtrls.h"

#include <algorithm>
#include <cstring>

#include <shlwapi.h>

#include "framework/base/TypInfo.h"
#include "framework/win/ActnList.h"

// ---------------------------------------------------------------------------------------------
// Edge borders: an etched line of two pixels on each chosen edge, drawn in the non-client area.

namespace {

// Makes an item of a bar's collection. The base item's constructor puts the item into its
// collection, which tells the bar of the change before the derived item exists (its strings
// not yet constructed): the news is held until the item is whole.
template <class TItem>
TCollectionItem* NewWholeItem(TCollection* c) {
  c->BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    item = new TItem(c);
  } catch (...) {
    c->EndUpdate();
    throw;
  }
  c->EndUpdate();
  return item;
}

// An edge's lines as DrawEdge takes them: etched (a lowered outer and a raised inner line) for
// the bars that have no choice; a tool bar's comes from its EdgeInner and EdgeOuter.
constexpr UINT EtchedEdge = EDGE_ETCHED;

// One pixel for each line the edge draws.
int EdgeSize(UINT style) {
  return ((style & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) ? 1 : 0) +
         ((style & (BDR_RAISEDINNER | BDR_SUNKENINNER)) ? 1 : 0);
}

void EdgeNCCalcSize(TMessage& m, TEdgeBorders edges, UINT style = EtchedEdge) {
  if (m.LParam == 0) return;
  // With WParam FALSE (as at creation) LParam is the rectangle itself, else the first of three.
  RECT& r = m.WParam != 0 ? reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                          : *reinterpret_cast<RECT*>(m.LParam);
  const int size = EdgeSize(style);
  if (edges & ebLeft) r.left += size;
  if (edges & ebTop) r.top += size;
  if (edges & ebRight) r.right -= size;
  if (edges & ebBottom) r.bottom -= size;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
}

// The edges drawn into `dc`, whose origin is the window's top left corner.
void DrawEdges(HDC dc, HWND wnd, TEdgeBorders edges, UINT style) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  ::OffsetRect(&r, -r.left, -r.top);
  UINT flags = ((edges & ebLeft) ? BF_LEFT : 0u) | ((edges & ebTop) ? BF_TOP : 0u) |
               ((edges & ebRight) ? BF_RIGHT : 0u) | ((edges & ebBottom) ? BF_BOTTOM : 0u);
  if (style != 0) ::DrawEdge(dc, &r, style, flags);
}

void EdgeNCPaint(HWND wnd, TEdgeBorders edges, UINT style = EtchedEdge) {
  if (edges == 0) return;
  TWindowDC dc(wnd, TWindowDC::TArea::Window);
  if (dc.Valid()) DrawEdges(dc.Get(), wnd, edges, style);
}

// A print of a bar with edges: the edges (which the system's print knows nothing of) and the
// client area at its own place inside them, as on the screen (the system's print may put the
// client area at the window's origin).
void EdgePrint(TMessage& m, HWND wnd, TEdgeBorders edges, UINT style = EtchedEdge) {
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  m.Result = 0;
  if (dc == nullptr || ((m.LParam & PRF_CHECKVISIBLE) && !::IsWindowVisible(wnd))) return;
  if (m.LParam & PRF_NONCLIENT) DrawEdges(dc, wnd, edges, style);
  if ((m.LParam & PRF_CLIENT) == 0) return;
  RECT window{}, client{};
  ::GetWindowRect(wnd, &window);
  ::GetClientRect(wnd, &client);
  POINT origin{0, 0};
  ::ClientToScreen(wnd, &origin);
  TSaveDC saved(dc);
  ::OffsetViewportOrgEx(dc, origin.x - window.left, origin.y - window.top, nullptr);
  ::IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  if (m.LParam & PRF_ERASEBKGND) ::SendMessageA(wnd, WM_ERASEBKGND, m.WParam, 0);
  ::SendMessageA(wnd, WM_PRINTCLIENT, m.WParam, m.LParam & ~static_cast<LPARAM>(PRF_NONCLIENT | PRF_ERASEBKGND));
}

int EdgeHeight(TEdgeBorders edges) {
  return ((edges & ebTop) ? EdgeSize(EtchedEdge) : 0) + ((edges & ebBottom) ? EdgeSize(EtchedEdge) : 0);
}

// A tool bar's edge: its inner and outer line, each raised, lowered or none.
UINT EdgeStyleOf(TEdgeStyle inner, TEdgeStyle outer) {
  return (inner == esRaised ? BDR_RAISEDINNER : inner == esLowered ? BDR_SUNKENINNER : 0u) |
         (outer == esRaised ? BDR_RAISEDOUTER : outer == esLowered ? BDR_SUNKENOUTER : 0u);
}

const std::vector<std::string> EdgeStyleNames{"esNone", "esRaised", "esLowered"};
const std::vector<std::string> AlignmentNames{"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> EdgeNames{"ebLeft", "ebTop", "ebRight", "ebBottom"};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TStatusPanel

ORBEX_IMPLEMENT_PUBLISHED(TStatusPanel, TCollectionItem, nullptr)

void TStatusPanel::PublishProperties(TPublisher<TStatusPanel>& P) {
  P.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, AlignmentNames)
      .Default(taLeftJustify);
  P.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel,
         {"pbNone", "pbLowered", "pbRaised"})
      .Default(pbLowered);
  P.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, {"psText", "psOwnerDraw"})
      .Default(psText);
  P.String("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  P.Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
}

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const std::string& v) {
  if (SetAndCheck(FText, v)) Changed(false);
}

void TStatusPanel::SetWidth(int v) {
  v = std::max(v, 0);
  if (SetAndCheck(FWidth, v)) Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment v) {
  if (SetAndCheck(FAlignment, v)) Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (SetAndCheck(FStyle, v)) Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (SetAndCheck(FBevel, v)) Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* p = As<TStatusPanel>(Source)) {
    FText = p->FText;
    FWidth = p->FWidth;
    FAlignment = p->FAlignment;
    FStyle = p->FStyle;
    FBevel = p->FBevel;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// TStatusPanels

ORBEX_IMPLEMENT_CLASS(TStatusPanels, TCollection, nullptr)

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(&TStatusPanel::StaticClassInfo(),
                  &NewWholeItem<TStatusPanel>,
                  StatusBar),
      FStatusBar(StatusBar) {}

void TStatusPanels::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  FStatusBar->UpdatePanels();
}

// ---------------------------------------------------------------------------------------------
// TStatusBar

ORBEX_IMPLEMENT_PUBLISHED(TStatusBar, TWinControl, &CreateComponentOf<TStatusBar>)

void TStatusBar::PublishProperties(TPublisher<TStatusBar>& P) {
  P.Object("Panels", &TStatusBar::Panels);
  P.Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(0);
  P.String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  P.Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(1);
  P.Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner),
      FPanels(std::make_unique<TStatusPanels>(this)),
      FCanvas(std::make_unique<TCanvas>()) {
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool v) {
  if (SetAndCheck(FSimplePanel, v)) UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& v) {
  if (SetAndCheck(FSimpleText, v)) UpdatePanels();
}

void TStatusBar::SetSizeGrip(bool v) {
  if (FSizeGrip == v) return;
  FSizeGrip = v;
  if (HandleAllocated()) RecreateWnd();
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAMEA);
  // The framework places the bar (Align); the system must not move or size it by itself.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | (FSizeGrip ? SBARS_SIZEGRIP : 0u);
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated() || IsDestroying()) return;
  HWND h = Handle();
  if (FSimplePanel) {
    ::SendMessageA(h, SB_SIMPLE, TRUE, 0);
    ::SendMessageA(h, SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS,
                   reinterpret_cast<LPARAM>(FSimpleText.c_str()));
    return;
  }
  ::SendMessageA(h, SB_SIMPLE, FALSE, 0);
  // The system keeps at most 256 parts; the last panel reaches the right edge.
  const int count = std::min(FPanels->Count(), 255);
  std::vector<int> edges(static_cast<size_t>(std::max(count, 1)), -1);
  int pos = 0;
  for (int i = 0; i + 1 < count; ++i) {
    pos += FPanels->Items(i)->Width();
    edges[static_cast<size_t>(i)] = pos;
  }
  ::SendMessageA(h, SB_SETPARTS, static_cast<WPARAM>(std::max(count, 1)),
                 reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < count; ++i) {
    TStatusPanel* p = FPanels->Items(i);
    static constexpr const char* AlignPrefix[] = {"", "\t\t", "\t"};
    std::string text = AlignPrefix[p->Alignment()] + p->Text();
    WPARAM flags = static_cast<WPARAM>(i);
    if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == psOwnerDraw) {
      flags |= SBT_OWNERDRAW;
      ::SendMessageA(h, SB_SETTEXTA, flags, static_cast<LPARAM>(i));
    } else {
      ::SendMessageA(h, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
  if (count == 0) ::SendMessageA(h, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel) OnDrawPanel(this, Panel, Rect);
  else FCanvas->FillRect(Rect);
}

void TStatusBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
    if (dis != nullptr && dis->hDC != nullptr && static_cast<int>(dis->itemID) >= 0 &&
        static_cast<int>(dis->itemID) < FPanels->Count()) {
      TSaveDC saved(dis->hDC);
      FCanvas->SetHandle(dis->hDC);
      FCanvas->Font()->Assign(Font());
      FCanvas->Brush()->SetColor(Color());
      FCanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
      try {
        DrawPanel(FPanels->Items(static_cast<int>(dis->itemID)), ToTRect(dis->rcItem));
      } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
      }
      FCanvas->SetHandle(nullptr);
    }
    Message.Result = TRUE;
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TToolButton

ORBEX_IMPLEMENT_PUBLISHED(TToolButton, TGraphicControl, &CreateComponentOf<TToolButton>)

void TToolButton::PublishProperties(TPublisher<TToolButton>& P) {
  P.Boolean("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(0);
  P.Boolean("Down", &TToolButton::Down, &TToolButton::SetDown).Default(0);
  P.Component("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  P.Boolean("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(0);
  P.Integer("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
  P.Boolean("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate)
      .Default(0);
  P.Boolean("Marked", &TToolButton::Marked, &TToolButton::SetMarked).Default(0);
  P.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle,
         {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"})
      .Default(tbsButton);
  P.Boolean("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(0);
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(csCaptureMouse | csSetCaption | csClickEvents);
  SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
  if (FToolBar != nullptr) FToolBar->RemoveButton(this);
  if (FDropdownMenu != nullptr) FDropdownMenu->RemoveFreeNotification(this);
}

int TToolButton::Index() const {
  if (FToolBar == nullptr) return -1;
  auto& b = FToolBar->FButtons;
  auto it = std::find(b.begin(), b.end(), this);
  return it == b.end() ? -1 : static_cast<int>(it - b.begin());
}

void TToolButton::SetParent(TWinControl* AParent) {
  if (FToolBar != nullptr && AParent != FToolBar) FToolBar->RemoveButton(this);
  TGraphicControl::SetParent(AParent);
  if (auto* bar = As<TToolBar>(AParent); bar != nullptr && FToolBar != bar) bar->InsertButton(this);
}

void TToolButton::Changed() {
  if (FToolBar != nullptr) FToolBar->RecreateButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (FStyle == v) return;
  FStyle = v;
  if ((v == tbsSeparator || v == tbsDivider) && Width() == 23) SetWidth(8);
  Changed();
}

void TToolButton::SetImageIndex(int v) {
  if (SetAndCheck(FImageIndex, v)) Changed();
}

bool TToolButton::Down() const {
  if (FToolBar != nullptr && FToolBar->HandleAllocated() && FStyle == tbsCheck) {
    int i = Index();
    if (i >= 0)
      return ::SendMessageA(FToolBar->FHandle, TB_ISBUTTONCHECKED, static_cast<WPARAM>(i), 0) != 0;
  }
  return FDown;
}

void TToolButton::SetDown(bool v) {
  if (Down() == v && FDown == v) return;
  FDown = v;
  // Checking a grouped button releases the others of its group (the run of grouped buttons).
  if (v && FGrouped && FToolBar != nullptr) {
    int i = Index();
    auto& b = FToolBar->FButtons;
    for (int j = i - 1; j >= 0 && b[static_cast<size_t>(j)]->FGrouped &&
                        b[static_cast<size_t>(j)]->FStyle == tbsCheck; --j)
      b[static_cast<size_t>(j)]->FDown = false;
    for (size_t j = static_cast<size_t>(i) + 1;
         j < b.size() && b[j]->FGrouped && b[j]->FStyle == tbsCheck; ++j)
      b[j]->FDown = false;
    FToolBar->RecreateButtons();
    return;
  }
  if (FToolBar != nullptr) FToolBar->UpdateButtonState(this);
}

void TToolButton::SetGrouped(bool v) {
  if (SetAndCheck(FGrouped, v)) Changed();
}

void TToolButton::SetWrap(bool v) {
  if (SetAndCheck(FWrap, v)) Changed();
}

void TToolButton::SetIndeterminate(bool v) {
  if (FIndeterminate == v) return;
  FIndeterminate = v;
  if (FToolBar != nullptr) FToolBar->UpdateButtonState(this);
}

void TToolButton::SetMarked(bool v) {
  if (FMarked == v) return;
  FMarked = v;
  if (FToolBar != nullptr) FToolBar->UpdateButtonState(this);
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  if (FDropdownMenu == v) return;
  if (FDropdownMenu != nullptr) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TToolButton::Click() { TGraphicControl::Click(); }

void TToolButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  if (auto* a = As<TCustomAction>(Sender)) {
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
    if (!CheckDefaults || !FDown) SetDown(a->Checked());
  }
}

void TToolButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_VISIBLECHANGED:
      TGraphicControl::Dispatch(Message);
      Changed();
      return;
    case CM_ENABLEDCHANGED:
      TGraphicControl::Dispatch(Message);
      if (FToolBar != nullptr) FToolBar->UpdateButtonState(this);
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TToolBar

ORBEX_IMPLEMENT_PUBLISHED(TToolBar, TWinControl, &CreateComponentOf<TToolBar>)

void TToolBar::PublishProperties(TPublisher<TToolBar>& P) {
  P.Integer("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  P.Integer("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  P.Component("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  P.Set("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders, EdgeNames)
      .Default(ebTop);
  P.Enum("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner, EdgeStyleNames).Default(esRaised);
  P.Enum("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter, EdgeStyleNames).Default(esLowered);
  P.Boolean("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(0);
  P.Component("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  P.Component("Images", &TToolBar::Images, &TToolBar::SetImages);
  P.Integer("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
  P.Boolean("List", &TToolBar::List, &TToolBar::SetList).Default(0);
  P.Boolean("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(0);
  P.Event("OnCustomDraw", &TToolBar::OnCustomDraw);
  P.Event("OnCustomDrawButton", &TToolBar::OnCustomDrawButton);
}

TToolBar::TToolBar(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
  // The system's bar tracks the mouse itself: no capture or click bookkeeping of ours.
  SetControlStyle(csAcceptsControls | csDoubleClicks);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
  for (auto& link : FImageLinks) {
    link = std::make_unique<TChangeLink>();
    link->OnChange = [this](TObject* s) { ImageListChange(s); };
  }
}

TToolBar::~TToolBar() {
  // The buttons are children: the control base frees the ones still listed afterwards.
  for (TToolButton* b : FButtons) b->FToolBar = nullptr;
  FButtons.clear();
  for (int i = 0; i < 3; ++i)
    if (TCustomImageList* l = ImageList(i)) l->UnRegisterChanges(FImageLinks[i].get());
}

TCustomImageList* TToolBar::ImageList(int Slot) const {
  return Slot == 0 ? FImages : Slot == 1 ? FHotImages : FDisabledImages;
}

void TToolBar::SetImageList(int Slot, TCustomImageList* Value) {
  TCustomImageList*& field = Slot == 0 ? FImages : Slot == 1 ? FHotImages : FDisabledImages;
  if (field == Value) return;
  if (field != nullptr) {
    field->UnRegisterChanges(FImageLinks[Slot].get());
    field->RemoveFreeNotification(this);
  }
  field = Value;
  if (Value != nullptr) {
    Value->RegisterChanges(FImageLinks[Slot].get());
    Value->FreeNotification(this);
  }
  if (HandleAllocated()) {
    ApplyImageLists();
    RecreateButtons();
  }
}

void TToolBar::SetImages(TCustomImageList* v) { SetImageList(0, v); }
void TToolBar::SetHotImages(TCustomImageList* v) { SetImageList(1, v); }
void TToolBar::SetDisabledImages(TCustomImageList* v) { SetImageList(2, v); }

void TToolBar::ImageListChange(TObject*) {
  if (!HandleAllocated()) return;
  ApplyImageLists();
  RecreateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  for (int i = 0; i < 3; ++i)
    if (AComponent == ImageList(i)) SetImageList(i, nullptr);
}

void TToolBar::SetButtonWidth(int v) {
  if (v < 1 || FButtonWidth == v) return;
  FButtonWidth = v;
  RecreateButtons();
}

void TToolBar::SetButtonHeight(int v) {
  if (v < 1 || FButtonHeight == v) return;
  FButtonHeight = v;
  RecreateButtons();
}

void TToolBar::SetFlat(bool v) {
  if (FFlat == v) return;
  FFlat = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetShowCaptions(bool v) {
  if (FShowCaptions == v) return;
  FShowCaptions = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetList(bool v) {
  if (FList == v) return;
  FList = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetEdgeBorders(TEdgeBorders v) {
  if (FEdgeBorders == v) return;
  FEdgeBorders = v;
  FrameChanged();
}

void TToolBar::SetEdgeInner(TEdgeStyle v) {
  if (FEdgeInner == v) return;
  FEdgeInner = v;
  FrameChanged();
}

void TToolBar::SetEdgeOuter(TEdgeStyle v) {
  if (FEdgeOuter == v) return;
  FEdgeOuter = v;
  FrameChanged();
}

void TToolBar::FrameChanged() {
  if (HandleAllocated())
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TToolBar::SetIndent(int v) {
  if (SetAndCheck(FIndent, v)) RecreateButtons();
}

void TToolBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAMEA);
  Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER |
                  TBSTYLE_TOOLTIPS | (FFlat ? TBSTYLE_FLAT | TBSTYLE_TRANSPARENT : 0u) |
                  (FList ? TBSTYLE_LIST : 0u);
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = Handle();
  ::SendMessageA(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(h, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  ApplyImageLists();
  RecreateButtons();
  // A band of a cool bar holds the old window of a bar made anew: give it the new one.
  if (auto* cool = As<TCoolBar>(Parent()); cool != nullptr && cool->Bands()->FindBand(this))
    cool->UpdateBands();
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  RecreateButtons();
}

void TToolBar::ApplyImageLists() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  ::SendMessageA(h, TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(FImages != nullptr ? FImages->GetHandle() : nullptr));
  ::SendMessageA(h, TB_SETHOTIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(FHotImages != nullptr ? FHotImages->GetHandle()
                                                                : nullptr));
  ::SendMessageA(h, TB_SETDISABLEDIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(FDisabledImages != nullptr ? FDisabledImages->GetHandle()
                                                                     : nullptr));
}

void TToolBar::ApplyMetrics() {
  HWND h = Handle();
  int iw = FImages != nullptr ? FImages->GetWidth() : 0;
  int ih = FImages != nullptr ? FImages->GetHeight() : 0;
  ::SendMessageA(h, TB_SETBITMAPSIZE, 0, MAKELPARAM(iw, ih));
  ::SendMessageA(h, TB_SETMAXTEXTROWS, FShowCaptions ? 1 : 0, 0);
  ::SendMessageA(h, TB_SETINDENT, static_cast<WPARAM>(FIndent), 0);
  ::SendMessageA(h, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
  ::SendMessageA(h, TB_SETBUTTONWIDTH, 0, MAKELPARAM(FButtonWidth, FButtonWidth));
}

void TToolBar::InsertButton(TToolButton* Button) {
  if (std::find(FButtons.begin(), FButtons.end(), Button) != FButtons.end()) return;
  FButtons.push_back(Button);
  Button->FToolBar = this;
  RecreateButtons();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  auto it = std::find(FButtons.begin(), FButtons.end(), Button);
  if (it == FButtons.end()) return;
  FButtons.erase(it);
  Button->FToolBar = nullptr;
  if (!IsDestroying()) RecreateButtons();
}


void TToolBar::RecreateButtons() {
  if (!HandleAllocated() || IsLoading() || IsDestroying() || FUpdatingButtons) return;
  FUpdatingButtons = true;
  try {
    HWND h = Handle();
    ApplyMetrics();
    while (::SendMessageA(h, TB_BUTTONCOUNT, 0, 0) > 0)
      if (!::SendMessageA(h, TB_DELETEBUTTON, 0, 0)) break;
    std::vector<TBBUTTON> buttons(FButtons.size());
    for (size_t i = 0; i < FButtons.size(); ++i) {
      TToolButton* b = FButtons[i];
      TBBUTTON& t = buttons[i];
      t = TBBUTTON{};
      t.idCommand = static_cast<int>(i);
      t.fsState = static_cast<BYTE>((b->Enabled() ? TBSTATE_ENABLED : 0) |
                                    (b->FDown ? TBSTATE_CHECKED : 0) |
                                    (b->Visible() ? 0 : TBSTATE_HIDDEN) |
                                    (b->FWrap ? TBSTATE_WRAP : 0) |
                                    (b->FIndeterminate ? TBSTATE_INDETERMINATE : 0) |
                                    (b->FMarked ? TBSTATE_MARKED : 0));
      switch (b->FStyle) {
        case tbsSeparator:
        case tbsDivider:
          t.fsStyle = BTNS_SEP;
          t.iBitmap = b->Width();   // a separator's width travels in iBitmap
          break;
        case tbsCheck:
          t.fsStyle = BTNS_CHECK | (b->FGrouped ? BTNS_GROUP : 0);
          break;
        case tbsDropDown:
          t.fsStyle = BTNS_DROPDOWN;
          break;
        default:
          t.fsStyle = BTNS_BUTTON;
          break;
      }
      if (b->FStyle != tbsSeparator && b->FStyle != tbsDivider) {
        bool hasImage =
            FImages != nullptr && b->FImageIndex >= 0 && b->FImageIndex < FImages->Count();
        t.iBitmap = hasImage ? b->FImageIndex : I_IMAGENONE;
        t.iString = -1;
      }
    }
    // Captions: the system copies each string while the buttons are added.
    std::vector<std::string> captions(FButtons.size());
    for (size_t i = 0; i < FButtons.size(); ++i) {
      if (FShowCaptions && buttons[i].fsStyle != BTNS_SEP) {
        captions[i] = FButtons[i]->Caption();
        buttons[i].iString = reinterpret_cast<INT_PTR>(captions[i].c_str());
      }
    }
    if (!buttons.empty())
      ::SendMessageA(h, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ApplyMetrics();
    SyncButtonBounds();
  } catch (...) {
    FUpdatingButtons = false;
    throw;
  }
  FUpdatingButtons = false;
  Invalidate();
}

void TToolBar::UpdateButtonState(TToolButton* Button) {
  if (!HandleAllocated() || FUpdatingButtons) return;
  int i = Button->Index();
  if (i < 0) return;
  LRESULT cur = ::SendMessageA(Handle(), TB_GETSTATE, static_cast<WPARAM>(i), 0);
  if (cur == -1) return;
  BYTE state = static_cast<BYTE>(cur);
  auto set = [&state](BYTE bit, bool on) { state = on ? (state | bit) : (state & ~bit); };
  set(TBSTATE_ENABLED, Button->Enabled());
  set(TBSTATE_CHECKED, Button->FDown);
  set(TBSTATE_INDETERMINATE, Button->FIndeterminate);
  set(TBSTATE_MARKED, Button->FMarked);
  ::SendMessageA(Handle(), TB_SETSTATE, static_cast<WPARAM>(i), MAKELPARAM(state, 0));
}

TRect TToolBar::ButtonRect(int Index) const {
  RECT r{};
  if (FHandle == nullptr || Index < 0 || Index >= ButtonCount() ||
      !::SendMessageA(FHandle, TB_GETITEMRECT, static_cast<WPARAM>(Index),
                      reinterpret_cast<LPARAM>(&r)))
    return TRect{};
  return ToTRect(r);
}

void TToolBar::SyncButtonBounds() {
  for (int i = 0; i < ButtonCount(); ++i) {
    TRect r = ButtonRect(i);
    if (!r.IsEmpty())
      FButtons[static_cast<size_t>(i)]->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  }
}

void TToolBar::AlignControls(TControl*, TRect&) {}

void TToolBar::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
    if (Message.Msg == WM_MOUSEMOVE && HandleAllocated()) {
      TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, Handle(), 0};
      ::TrackMouseEvent(&t);
      if (Application != nullptr) Application->SetMouseControl(this);
    }
    TControl::WndProc(Message);
    return;
  }
  TWinControl::WndProc(Message);
}

void TToolBar::CNCommand(TMessage& m) {
  m.Result = 0;
  int i = LOWORD(m.WParam);
  if (i < 0 || i >= ButtonCount()) return;
  TToolButton* b = FButtons[static_cast<size_t>(i)];
  if (b->FStyle == tbsCheck)
    b->FDown = ::SendMessageA(Handle(), TB_ISBUTTONCHECKED, static_cast<WPARAM>(i), 0) != 0;
  b->Click();
}

void TToolBar::CNNotify(TMessage& m) {
  m.Result = 0;
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
  if (hdr == nullptr) return;
  switch (hdr->code) {
    case TBN_DROPDOWN: {
      const auto* nm = reinterpret_cast<const NMTOOLBARA*>(m.LParam);
      int i = nm->iItem;
      if (i < 0 || i >= ButtonCount()) return;
      TToolButton* b = FButtons[static_cast<size_t>(i)];
      if (b->FDropdownMenu == nullptr) return;
      const HWND h = Handle();
      RECT r{};
      ::SendMessageA(h, TB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
      ::MapWindowPoints(h, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
      b->FDropdownMenu->SetPopupComponent(b);
      b->FDropdownMenu->Popup(r.left, r.bottom);
      // The chosen item's handler may have freed this tool bar with its form: nothing of it is
      // touched unless its window still belongs to it.
      if (FindControl(h) == this) ::PostMessageA(h, CN_DROPDOWNCLOSED, 0, 0);
      m.Result = TBDDRET_DEFAULT;
      return;
    }
    case NM_CUSTOMDRAW:
      CustomDraw(m);
      return;
    case TTN_GETDISPINFOA: {
      auto* tt = reinterpret_cast<NMTTDISPINFOA*>(m.LParam);
      int i = static_cast<int>(tt->hdr.idFrom);
      if (i < 0 || i >= ButtonCount()) return;
      const std::string& hint = FButtons[static_cast<size_t>(i)]->Hint();
      // The system's buffer holds 80 characters with the terminating zero.
      size_t n = std::min(hint.size(), sizeof(tt->szText) - 1);
      std::memcpy(tt->szText, hint.data(), n);
      tt->szText[n] = '\0';
      tt->lpszText = tt->szText;
      return;
    }
    default:
      return;
  }
}

namespace {

// The system's TBCDRF_ values of the flags a button handler set.
LRESULT ToolBarDrawFlags(TTBCustomDrawFlags f) {
  return ((f & tbNoEdges) ? TBCDRF_NOEDGES : 0) | ((f & tbHiliteHotTrack) ? TBCDRF_HILITEHOTTRACK : 0) |
         ((f & tbNoOffset) ? TBCDRF_NOOFFSET : 0) | ((f & tbNoMark) ? TBCDRF_NOMARK : 0) |
         ((f & tbNoEtchedEffect) ? TBCDRF_NOETCHEDEFFECT : 0);
}

}  // namespace

void TToolBar::CustomDraw(TMessage& m) {
  auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam);
  const bool bar = OnCustomDraw || OnAdvancedCustomDraw;
  const bool button = OnCustomDrawButton || OnAdvancedCustomDrawButton;
  m.Result = CDRF_DODEFAULT;
  if (!bar && !button) return;
  bool defaultDraw = true;
  const DWORD stage = cd->nmcd.dwDrawStage;
  FCanvas->SetHandle(cd->nmcd.hdc);
  try {
    if ((stage & CDDS_ITEM) == 0) {
      const TRect r = ToTRect(cd->nmcd.rc);
      if (stage == CDDS_PREPAINT && OnCustomDraw) OnCustomDraw(this, r, defaultDraw);
      if (OnAdvancedCustomDraw && defaultDraw) OnAdvancedCustomDraw(this, r, stage, defaultDraw);
      if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
      else if (stage == CDDS_PREPAINT)
        m.Result = (button ? CDRF_NOTIFYITEMDRAW : 0) | (OnAdvancedCustomDraw ? CDRF_NOTIFYPOSTPAINT : 0);
    } else if (stage == CDDS_ITEMPREPAINT) {
      const int i = static_cast<int>(cd->nmcd.dwItemSpec);
      TTBCustomDrawFlags flags = 0;
      if (i >= 0 && i < ButtonCount()) {
        TToolButton* b = FButtons[static_cast<size_t>(i)];
        if (OnCustomDrawButton) OnCustomDrawButton(this, b, cd->nmcd.uItemState, defaultDraw);
        if (OnAdvancedCustomDrawButton && defaultDraw)
          OnAdvancedCustomDrawButton(this, b, cd->nmcd.uItemState, cdPrePaint, flags, defaultDraw);
      }
      m.Result = defaultDraw ? ToolBarDrawFlags(flags) : CDRF_SKIPDEFAULT;
    }
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    throw;
  }
  FCanvas->SetHandle(nullptr);
}

void TToolBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      CNCommand(Message);
      return;
    case CN_NOTIFY:
      CNNotify(Message);
      return;
    case CN_DROPDOWNCLOSED:
      Message.Result = 0;
      return;
    case WM_NCCALCSIZE:
      DefaultHandler(Message);
      EdgeNCCalcSize(Message, FEdgeBorders, EdgeStyleOf(FEdgeInner, FEdgeOuter));
      return;
    case WM_NCPAINT:
      DefaultHandler(Message);
      EdgeNCPaint(Handle(), FEdgeBorders, EdgeStyleOf(FEdgeInner, FEdgeOuter));
      return;
    case WM_PRINT:
      EdgePrint(Message, Handle(), FEdgeBorders, EdgeStyleOf(FEdgeInner, FEdgeOuter));
      return;
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      SyncButtonBounds();
      return;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TCoolBand

ORBEX_IMPLEMENT_PUBLISHED(TCoolBand, TCollectionItem, nullptr)

void TCoolBand::PublishProperties(TPublisher<TCoolBand>& P) {
  P.Boolean("Break", &TCoolBand::Break, &TCoolBand::SetBreak).Default(1);
  P.Component("Control", &TCoolBand::Control, &TCoolBand::SetControl);
  P.Boolean("FixedSize", &TCoolBand::FixedSize, &TCoolBand::SetFixedSize).Default(0);
  P.Integer("ImageIndex", &TCoolBand::ImageIndex, &TCoolBand::SetImageIndex).Default(-1);
  P.Integer("MinHeight", &TCoolBand::MinHeight, &TCoolBand::SetMinHeight).Default(25);
  P.Integer("MinWidth", &TCoolBand::MinWidth, &TCoolBand::SetMinWidth).Default(0);
  P.String("Text", &TCoolBand::Text, &TCoolBand::SetText);
  P.Boolean("Visible", &TCoolBand::Visible, &TCoolBand::SetVisible).Default(1);
  P.Integer("Width", &TCoolBand::Width, &TCoolBand::SetWidth).Default(0);
}

TCoolBand::TCoolBand(TCollection* Collection) : TCollectionItem(Collection) {}

TCoolBand::~TCoolBand() {
  if (FControl != nullptr) {
    if (TCoolBar* bar = CoolBar()) FControl->RemoveFreeNotification(bar);
  }
}

TCoolBar* TCoolBand::CoolBar() const {
  auto* bands = static_cast<TCoolBands*>(Collection());
  return bands != nullptr ? bands->CoolBar() : nullptr;
}

void TCoolBand::SetControl(TWinControl* v) {
  if (FControl == v) return;
  TCoolBar* bar = CoolBar();
  if (v != nullptr && bar != nullptr) {
    // One band per control: the band the bar made for it goes, any other one gives it up.
    if (TCoolBand* other = bar->Bands()->FindBand(v); other != nullptr && other != this) {
      if (other->FMadeForControl)
        delete other;
      else
        other->SetControl(nullptr);
    }
  }
  FMadeForControl = false;
  if (FControl != nullptr && bar != nullptr) FControl->RemoveFreeNotification(bar);
  FControl = v;
  if (v != nullptr && bar != nullptr) {
    // A band shows a child of the bar: the system parents the band's window to the bar.
    v->FreeNotification(bar);
    if (v->Parent() != bar) v->SetParent(bar);
  }
  Changed(false);
}

void TCoolBand::SetMinHeight(int v) {
  if (FMinHeight == v) return;
  FMinHeight = std::max(v, 0);
  Changed(false);
}

void TCoolBand::SetMinWidth(int v) {
  if (FMinWidth == v) return;
  FMinWidth = std::max(v, 0);
  Changed(false);
}

void TCoolBand::SetWidth(int v) {
  if (FWidth == v) return;
  FWidth = std::max(v, 0);
  Changed(false);
}

void TCoolBand::SetText(const std::string& v) {
  if (SetAndCheck(FText, v)) Changed(false);
}

void TCoolBand::SetFixedSize(bool v) {
  if (SetAndCheck(FFixedSize, v)) Changed(false);
}

void TCoolBand::SetBreak(bool v) {
  if (SetAndCheck(FBreak, v)) Changed(false);
}

void TCoolBand::SetVisible(bool v) {
  if (SetAndCheck(FVisible, v)) Changed(false);
}

void TCoolBand::SetImageIndex(int v) {
  if (SetAndCheck(FImageIndex, v)) Changed(false);
}

void TCoolBand::Assign(TPersistent* Source) {
  if (auto* b = As<TCoolBand>(Source)) {
    FMinHeight = b->FMinHeight;
    FMinWidth = b->FMinWidth;
    FWidth = b->FWidth;
    FText = b->FText;
    FFixedSize = b->FFixedSize;
    FBreak = b->FBreak;
    FVisible = b->FVisible;
    FImageIndex = b->FImageIndex;
    SetControl(b->FControl);
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// TCoolBands

ORBEX_IMPLEMENT_CLASS(TCoolBands, TCollection, nullptr)

TCoolBands::TCoolBands(TCoolBar* CoolBar)
    : TCollection(&TCoolBand::StaticClassInfo(),
                  &NewWholeItem<TCoolBand>, CoolBar),
      FCoolBar(CoolBar) {}

TCoolBand* TCoolBands::FindBand(const TControl* AControl) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Control() == AControl) return Items(i);
  return nullptr;
}

void TCoolBands::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  FCoolBar->UpdateBands();
}

// ---------------------------------------------------------------------------------------------
// TCoolBar

ORBEX_IMPLEMENT_PUBLISHED(TCoolBar, TWinControl, &CreateComponentOf<TCoolBar>)

void TCoolBar::PublishProperties(TPublisher<TCoolBar>& P) {
  P.Boolean("AutoSize", &TCoolBar::AutoSize, &TCoolBar::SetAutoSize).Default(0);
  P.Boolean("BandBorders", &TCoolBar::BandBorders, &TCoolBar::SetBandBorders).Default(1);
  P.Object("Bands", &TCoolBar::Bands);
  P.Set("EdgeBorders", &TCoolBar::EdgeBorders, &TCoolBar::SetEdgeBorders, EdgeNames)
      .Default(ebLeft | ebTop | ebRight | ebBottom);
  P.Boolean("FixedOrder", &TCoolBar::FixedOrder, &TCoolBar::SetFixedOrder).Default(0);
  P.Boolean("FixedSize", &TCoolBar::FixedSize, &TCoolBar::SetFixedSize).Default(0);
  P.Component("Images", &TCoolBar::Images, &TCoolBar::SetImages);
  P.Boolean("ShowText", &TCoolBar::ShowText, &TCoolBar::SetShowText).Default(1);
  P.Boolean("Vertical", &TCoolBar::Vertical, &TCoolBar::SetVertical).Default(0);
}

TCoolBar::TCoolBar(TComponent* AOwner)
    : TWinControl(AOwner), FBands(std::make_unique<TCoolBands>(this)) {
  SetControlStyle(csAcceptsControls | csDoubleClicks);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 75);
  SetAlign(alTop);
}

TCoolBar::~TCoolBar() {
  // Bands only refer to their controls; the controls are children freed by the base.
  FUpdatingBands = true;
  FBands.reset();
}

void TCoolBar::SetAutoSize(bool v) {
  if (SetAndCheck(FAutoSize, v)) AdjustHeight();
}

void TCoolBar::SetEdgeBorders(TEdgeBorders v) {
  if (FEdgeBorders == v) return;
  FEdgeBorders = v;
  if (HandleAllocated())
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  AdjustHeight();
}

void TCoolBar::SetFixedSize(bool v) {
  if (SetAndCheck(FFixedSize, v)) UpdateBands();
}

void TCoolBar::SetFixedOrder(bool v) {
  if (FFixedOrder == v) return;
  FFixedOrder = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCoolBar::SetShowText(bool v) {
  if (SetAndCheck(FShowText, v)) UpdateBands();
}

void TCoolBar::SetVertical(bool v) {
  if (FVertical == v) return;
  FVertical = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCoolBar::SetBandBorders(bool v) {
  if (FBandBorders == v) return;
  FBandBorders = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCoolBar::SetImages(TCustomImageList* v) {
  if (FImages == v) return;
  if (FImages != nullptr) FImages->RemoveFreeNotification(this);
  FImages = v;
  if (v != nullptr) v->FreeNotification(this);
  if (HandleAllocated()) {
    REBARINFO ri{};
    ri.cbSize = sizeof(ri);
    ri.fMask = RBIM_IMAGELIST;
    ri.himl = FImages != nullptr ? FImages->GetHandle() : nullptr;
    ::SendMessageA(Handle(), RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&ri));
    UpdateBands();
  }
}

void TCoolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove || !FBands) return;
  if (AComponent == FImages) SetImages(nullptr);
  for (int i = 0; i < FBands->Count(); ++i)
    if (FBands->Items(i)->FControl == AComponent) {
      FBands->Items(i)->FControl = nullptr;
      UpdateBands();
    }
}

void TCoolBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, REBARCLASSNAMEA);
  Params.Style |= CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | RBS_VARHEIGHT |
                  WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (FBandBorders ? RBS_BANDBORDERS : 0u) |
                  (FFixedOrder ? RBS_FIXEDORDER : 0u) | (FVertical ? CCS_VERT : 0u);
}

void TCoolBar::CreateWnd() {
  TWinControl::CreateWnd();
  if (FImages != nullptr) {
    REBARINFO ri{};
    ri.cbSize = sizeof(ri);
    ri.fMask = RBIM_IMAGELIST;
    ri.himl = FImages->GetHandle();
    ::SendMessageA(Handle(), RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&ri));
  }
  UpdateBands();
}

void TCoolBar::Loaded() {
  TWinControl::Loaded();
  AddMissingBands();
  UpdateBands();
}

void TCoolBar::AddMissingBands() {
  if (!FBands || IsLoading() || IsDestroying()) return;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->IsWindowed() || FBands->FindBand(c) != nullptr) continue;
    TCoolBand* band = FBands->Add();
    band->SetControl(static_cast<TWinControl*>(c));
    band->FMadeForControl = true;
  }
}

void TCoolBar::CMControlChange(TMessage& m) {
  // Only windows can sit in bands; while the form is read, the stored bands name their
  // controls afterwards and Loaded gives the others theirs.
  if (m.LParam != 0) AddMissingBands();
}

void TCoolBar::WMParentNotify(TMessage& m) {
  DefaultHandler(m);
  // A band's control made its window anew (RecreateWnd): the band still holds the old one.
  if (LOWORD(m.WParam) != WM_CREATE) return;
  TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam));
  if (c != nullptr && c->Parent() == this && FBands->FindBand(c) != nullptr) UpdateBands();
}

void TCoolBar::UpdateBands() {
  if (!FBands || !HandleAllocated() || IsLoading() || IsDestroying() || FUpdatingBands) return;
  FUpdatingBands = true;
  try {
    HWND h = Handle();
    while (::SendMessageA(h, RB_GETBANDCOUNT, 0, 0) > 0)
      if (!::SendMessageA(h, RB_DELETEBAND, 0, 0)) break;
    for (int i = 0; i < FBands->Count(); ++i) {
      TCoolBand* band = FBands->Items(i);
      std::string text = FShowText ? band->FText : std::string();
      // The pre-Vista layout of the record: every comctl32 since version 6 accepts it.
      REBARBANDINFOA bi{};
      bi.cbSize = REBARBANDINFOA_V6_SIZE;
      bi.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID | RBBIM_TEXT |
                 RBBIM_IMAGE;
      // A band that can be moved shows its grip even when it is alone in the bar; the first
      // band of a bar in fixed order cannot be moved.
      const bool fixed = band->FFixedSize || FFixedSize;
      const bool noGrip = fixed || (FFixedOrder && i == 0);
      bi.fStyle = (band->FBreak ? RBBS_BREAK : 0u) | (fixed ? RBBS_FIXEDSIZE : 0u) |
                  (noGrip ? RBBS_NOGRIPPER : RBBS_GRIPPERALWAYS) | (band->FVisible ? 0u : RBBS_HIDDEN);
      HWND child = nullptr;
      if (band->FControl != nullptr && band->FControl->Parent() == this)
        child = band->FControl->Handle();
      bi.hwndChild = child;
      bi.cxMinChild = static_cast<UINT>(band->FMinWidth);
      bi.cyMinChild = static_cast<UINT>(band->FMinHeight);
      bi.cx = static_cast<UINT>(band->FWidth);
      bi.wID = static_cast<UINT>(i);
      bi.lpText = text.data();
      bi.iImage = (FImages != nullptr && band->FImageIndex >= 0) ? band->FImageIndex : -1;
      if (const int room = BandHeaderRoom(band); room >= 0) {
        bi.fMask |= RBBIM_HEADERSIZE;
        bi.cxHeader = static_cast<UINT>(room);
      }
      ::SendMessageA(h, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&bi));
    }
  } catch (...) {
    FUpdatingBands = false;
    throw;
  }
  FUpdatingBands = false;
  AdjustHeight();
}

int TCoolBar::BarHeight() const {
  if (FHandle == nullptr) return Height();
  return static_cast<int>(::SendMessageA(FHandle, RB_GETBARHEIGHT, 0, 0)) +
         EdgeHeight(FEdgeBorders);
}

void TCoolBar::AdjustHeight() {
  if (!FAutoSize || !HandleAllocated() || IsLoading() || FUpdatingBands) return;
  int h = BarHeight();
  if (h > 0 && h != Height()) SetBounds(Left(), Top(), Width(), h);
}

void TCoolBar::AlignControls(TControl*, TRect&) {}

void TCoolBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      Message.Result = 0;
      const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
      if (hdr != nullptr && hdr->code == RBN_HEIGHTCHANGE) AdjustHeight();
      return;
    }
    case WM_NCCALCSIZE:
      DefaultHandler(Message);
      EdgeNCCalcSize(Message, FEdgeBorders);
      return;
    case WM_NCPAINT:
      DefaultHandler(Message);
      EdgeNCPaint(Handle(), FEdgeBorders);
      return;
    case WM_PRINT:
      EdgePrint(Message, Handle(), FEdgeBorders);
      return;
    case WM_PARENTNOTIFY: WMParentNotify(Message); return;
    case CM_CHANGED:
      // Something the bands' layout depends on changed (their header room): put them anew.
      UpdateBands();
      return;
    case CM_CONTROLCHANGE:
      TWinControl::Dispatch(Message);
      CMControlChange(Message);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// The common controls' version

namespace {

DWORD AskComCtlVersion() {
  HMODULE lib = ::GetModuleHandleA("comctl32.dll");
  if (lib == nullptr) return 0;
  using TDllGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  auto get = reinterpret_cast<TDllGetVersion>(reinterpret_cast<void*>(::GetProcAddress(lib, "DllGetVersion")));
  if (get == nullptr) return 0;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof(info);
  if (FAILED(get(&info))) return 0;
  return MAKELONG(info.dwMinorVersion, info.dwMajorVersion);
}

}  // namespace

DWORD GetComCtlVersion() {
  static const DWORD version = AskComCtlVersion();
  return version;
}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitComCtrlsUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TStatusBar>();
  RegisterClassOf<TToolBar>();
  RegisterClassOf<TToolButton>();
  RegisterClassOf<TCoolBar>();
}
