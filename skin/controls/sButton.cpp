// The skinned push button (see sButton.h).
//
// Sections: image margins; construction and settings; state and layout; the face; painting;
// mouse; skin commands; the window procedure; unskinned drawing; registration.
#include "skin/controls/sButton.h"

#include <algorithm>
#include <memory>

#include "framework/base/TypInfo.h"
#include "framework/win/ActnList.h"
#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/core/sAnimSteps.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sFade.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"
#include "skin/controls/sGlyphPainters.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sTextEffects.h"
#include "skin/paint/win/sBitmapKernels.h"
#include "skin/paint/win/sTextPaintWin.h"
#include "skin/paint/win/sThemes.h"

// ---------------------------------------------------------------------------------------------
// Image margins

ORBEX_IMPLEMENT_PUBLISHED(TImageMargins, TPersistent, nullptr)

void TImageMargins::PublishProperties(TPublisher<TImageMargins>& P) {
  P.Integer("Left", &TImageMargins::Left, &TImageMargins::SetLeft).Default(0);
  P.Integer("Top", &TImageMargins::Top, &TImageMargins::SetTop).Default(0);
  P.Integer("Right", &TImageMargins::Right, &TImageMargins::SetRight).Default(0);
  P.Integer("Bottom", &TImageMargins::Bottom, &TImageMargins::SetBottom).Default(0);
}

void TImageMargins::SetMargin(int index, int value) {
  if (index < 0 || index > 3 || FValues[index] == value) return;
  FValues[index] = value;
  if (OnChange) OnChange(this);
}

void TImageMargins::Assign(TPersistent* source) {
  auto* other = As<TImageMargins>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  std::copy(std::begin(other->FValues), std::end(other->FValues), std::begin(FValues));
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// Construction and settings

bool TsButton::PaintAsPressed = false;

namespace {

constexpr int KindImage = 0, KindHot = 1, KindPressed = 2, KindSelected = 3, KindDisabled = 4;
// Guards the focus step against the messages it causes itself.
bool GFocusStep = false;

// The section record of the skin data, or null.
const TsGeneralData* SectionOf(const TsCommonData* d) {
  TsSkinManager* m = d->GetSkinManager();
  if (m == nullptr || !SectionIndexInRange(m->Tables(), d->SectionIndex())) return nullptr;
  return &m->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())];
}

const TsMaskData* BorderMaskOf(const TsCommonData* d) {
  TsSkinManager* m = d->GetSkinManager();
  if (m == nullptr || !MaskIndexInRange(m->Tables(), d->BorderIndex())) return nullptr;
  return &m->Tables()->MaskData[static_cast<size_t>(d->BorderIndex())];
}

// A mask whose windows take the shape of its corners: the band count 2 of region masks.
bool CutsRegion(const TsMaskData* mask) { return mask != nullptr && mask->MaskType == 2; }

bool InMenuMode() {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof(gti);
  return ::GetGUIThreadInfo(::GetCurrentThreadId(), &gti) && (gti.flags & GUI_INMENUMODE) != 0;
}

// Switches redraw off for a scope (and on again); nothing inside the focus step.
class TRedrawOff {
public:
  explicit TRedrawOff(TWinControl* c) : FWnd(!GFocusStep && c->HandleAllocated() ? c->Handle() : nullptr) {
    if (FWnd != nullptr) ::SendMessageA(FWnd, WM_SETREDRAW, FALSE, 0);
  }
  ~TRedrawOff() {
    if (FWnd != nullptr && ::IsWindow(FWnd)) ::SendMessageA(FWnd, WM_SETREDRAW, TRUE, 0);
  }
  TRedrawOff(const TRedrawOff&) = delete;
  TRedrawOff& operator=(const TRedrawOff&) = delete;

private:
  HWND FWnd;
};

}  // namespace

ORBEX_IMPLEMENT_PUBLISHED(TsButton, TButton, &CreateComponentOf<TsButton>)

void TsButton::PublishProperties(TPublisher<TsButton>& P) {
  P.Set("AnimatEvents", &TsButton::AnimatEvents, &TsButton::AnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"})
      .Default(AnimatEventBit(aeGlobalDef));
  P.Object("SkinData", &TsButton::SkinData);
  P.Boolean("ShowFocus", &TsButton::GetShowFocus, &TsButton::SetShowFocus).Default(1);
  P.Set("DisabledKind", &TsButton::GetDisabledKind, &TsButton::SetDisabledKind, {"dkBlended", "dkGrayed"})
      .Default(dkBlended);
  P.Boolean("Down", &TsButton::GetDown, &TsButton::SetDown).Default(0);
  P.Integer("FocusMargin", &TsButton::FocusMargin, &TsButton::FocusMargin).Default(1);
  P.String("CommandLinkHint", &TsButton::GetCommandLinkHint, &TsButton::SetCommandLinkHint);
  const char* const kinds[] = {"ImageIndex", "HotImageIndex", "PressedImageIndex", "SelectedImageIndex",
                               "DisabledImageIndex"};
  for (int k = 0; k < 5; ++k)
    P.Integer(kinds[k], [k](TsButton& b) { return b.GetImageIndexOf(k); },
              [k](TsButton& b, int v) { b.SetImageIndexOf(k, v); })
        .Default(-1);
  P.Component("DropDownMenu", &TsButton::GetDropDownMenu, &TsButton::SetDropDownMenu);
  P.Component("Images", &TsButton::GetImages, &TsButton::SetImages);
  P.Enum("ImageAlignment", &TsButton::GetImageAlignment, &TsButton::SetImageAlignment,
         {"iaLeft", "iaRight", "iaTop", "iaBottom", "iaCenter"})
      .Default(iaLeft);
  P.Object("ImageMargins", &TsButton::ImageMargins);
  P.Integer("ContentMargin", &TsButton::GetContentMargin, &TsButton::SetContentMargin).Default(6);
  P.Enum("Style", &TsButton::GetStyle, &TsButton::SetStyle, {"bsPushButton", "bsCommandLink", "bsSplitButton"})
      .Default(bsPushButton);
  P.Boolean("Reflected", &TsButton::GetReflected, &TsButton::SetReflected).Default(0);
  P.Boolean("WordWrap", &TsButton::WordWrap, &TsButton::SetWordWrap).Default(1);
}

TsButton::TsButton(TComponent* AOwner)
    : TButton(AOwner),
      FSkinData(std::make_unique<TsCtrlSkinData>(this, 93, true)),
      FImageChangeLink(std::make_unique<TChangeLink>()),
      FImageMargins(std::make_unique<TImageMargins>()) {
  SetControlStyle(ControlStyle() & ~(csOpaque | csDoubleClicks));
  SetWordWrap(true);
  FImageChangeLink->OnChange = [this](TObject* s) { ImagesChanged(s); };
  FImageMargins->OnChange = [this](TObject* s) { ImagesChanged(s); };
}

TsButton::~TsButton() {
  *FAlive = false;
  ForgetDropDownButton(this);
  if (FImages != nullptr) FImages->UnRegisterChanges(FImageChangeLink.get());
  FImageChangeLink.reset();
  FImageMargins.reset();
  StopFadeTimer(&FFadeTimer, FSkinData.get());
}

void TsButton::AfterConstruction() {
  TButton::AfterConstruction();
  FSkinData->AfterLoad();
}

void TsButton::Loaded() {
  TButton::Loaded();
  if (TBitmap* cache = FSkinData->CacheBitmap()) cache->Canvas()->Font()->Assign(Font());
  FSkinData->AfterLoad();
}

void TsButton::ImagesChanged(TObject*) {
  if (FImages != nullptr) Repaint_();
}

void TsButton::Repaint_() { FSkinData->RequestRepaint(); }

void TsButton::SetDisabledKind(int v) {
  if (FDisabledKind == v) return;
  FDisabledKind = v;
  if (!IsLoading()) Repaint_();
}

void TsButton::SetShowFocus(bool v) {
  if (FShowFocus == v) return;
  FShowFocus = v;
  Repaint_();
}

void TsButton::SetDown(bool v) {
  if (FDown == v) return;
  FDown = v;
  FRegionChanged = true;
  if (!IsLoading()) Repaint_();
}

void TsButton::SetCommandLinkHint(const std::string& v) {
  if (FCommandLinkHint == v) return;
  FCommandLinkHint = v;
  Repaint_();
}

void TsButton::SetContentMargin(int v) {
  FContentMargin = v;
  Repaint_();
}

void TsButton::SetStyle(TButtonStyle v) {
  FStyle = v;
  Repaint_();
}

void TsButton::SetReflected(bool v) {
  FReflected = v;
  Repaint_();
}

void TsButton::SetDropDownMenu(TPopupMenu* v) {
  if (FDropDownMenu == v) return;
  if (FDropDownMenu != nullptr) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TsButton::SetImages(TCustomImageList* v) {
  if (FImages != nullptr) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = v;
  if (v != nullptr) {
    v->RegisterChanges(FImageChangeLink.get());
    v->FreeNotification(this);
  }
  Repaint_();
}

void TsButton::SetImageAlignment(TImageAlignment v) {
  FImageAlignment = v;
  if (FImages != nullptr) Repaint_();
}

void TsButton::SetImageIndexOf(int kind, int v) {
  if (kind < 0 || kind > 4) return;
  FImageIndexes[kind] = v;
  if (FImages != nullptr) Repaint_();
}

void TsButton::Notification(TComponent* AComponent, TOperation Operation) {
  TButton::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TsButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TButton::ActionChange(Sender, CheckDefaults);
  if (auto* a = As<TCustomAction>(Sender)) SetEnabled(a->Enabled());
}

void TsButton::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  // The face is ours in every state: the system only keeps the pushed state and the click.
  Params.Style = (Params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TsButton::SetButtonStyle(bool ADefault) {
  TButton::SetButtonStyle(ADefault);
  FFocusedOrDefault = ADefault;
  if (HandleAllocated()) Repaint_();
}

// ---------------------------------------------------------------------------------------------
// State and layout

bool TsButton::Skinned() const { return FSkinData->HasSkin(); }

int TsButton::CurrentState() {
  if (FStateNow >= 0) return FStateNow;
  // Each question below is a round trip to the window system: the pressed ones first, the
  // others only when the button is not pressed.
  TsButtonStateInput in;
  const bool handle = HandleAllocated();
  in.Pushed = PaintAsPressed || (handle && (::SendMessageA(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0);
  in.MouseInside = FSkinData->MouseAbove != 0;
  if (in.Pushed && handle) in.LeftHeldHere = ::GetCapture() == Handle() && (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
  in.Down = FDown;
  in.DroppedDown = FDroppedDown;
  if (ButtonCurrentState(in) == BtnPressed) return BtnPressed;
  in.FocusedOrDefault = FFocusedOrDefault;
  in.DesignDefault = Designing() && Default();
  if (!in.FocusedOrDefault && !in.DesignDefault) {
    if (handle) in.StyleType = static_cast<int>(::GetWindowLongPtrA(Handle(), GWL_STYLE) & 0xF);
    in.ActiveState = FSkinData->IsActiveState();
  }
  return ButtonCurrentState(in);
}

bool TsButton::HasGlyph() const {
  return FImages != nullptr && FImageIndexes[KindImage] >= 0 && FImageIndexes[KindImage] < ImageCountOf(FImages);
}

int TsButton::CurrentImageIndex() {
  TsButtonImages im;
  im.HasList = FImages != nullptr;
  im.Count = ImageCountOf(FImages);
  im.ImageIndex = FImageIndexes[KindImage];
  im.HotImageIndex = FImageIndexes[KindHot];
  im.PressedImageIndex = FImageIndexes[KindPressed];
  im.SelectedImageIndex = FImageIndexes[KindSelected];
  im.DisabledImageIndex = FImageIndexes[KindDisabled];
  return ButtonCurrentImageIndex(im, Enabled(), CurrentState(), Focused());
}

TsButtonLayout TsButton::Layout() {
  TsButtonLayout b;
  b.Width = Width();
  b.Height = Height();
  b.Style = FStyle;
  b.ContentMargin = FContentMargin;
  b.Alignment = FImageAlignment;
  b.Margins = FImageMargins->AsRect();
  b.HasGlyph = HasGlyph();
  if (b.HasGlyph) {
    b.ImageWidth = FImages->GetWidth();
    b.ImageHeight = FImages->GetHeight();
  }
  b.Pressed = CurrentState() == BtnPressed;
  return b;
}

TRect TsButton::GlyphRect() { return ButtonGlyphRect(Layout()); }

TSize TsButton::MeasureText(const std::string& text, int width, bool wordWrap) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (text.empty() || cache == nullptr) return TSize{};
  TRect r{0, 0, std::max(width, 0), 0};
  DrawTextStr(cache->Canvas()->GetHandle(), text, r,
              DT_CALCRECT | DT_EXPANDTABS | DT_CENTER | (wordWrap ? DT_WORDBREAK : DT_SINGLELINE));
  return TSize{r.Width(), r.Height()};
}

TRect TsButton::TextRect() {
  const TsButtonLayout b = Layout();
  TBitmap* cache = FSkinData->CacheBitmap();
  if (cache != nullptr) cache->Canvas()->Font()->Assign(Font());
  TSize t;
  if (FStyle == bsCommandLink && cache != nullptr) {
    // A command link's caption is measured as it is drawn: bold, two points larger.
    TFont* f = cache->Canvas()->Font();
    f->SetStyle(f->GetStyle() | fsBold);
    f->SetSize(f->GetSize() + 2);
    t = MeasureText(Caption(), ButtonCaptionMeasureWidth(b), WordWrap());
    f->Assign(Font());
  } else {
    t = MeasureText(Caption(), ButtonCaptionMeasureWidth(b), WordWrap());
  }
  return ButtonTextRect(b, t.cx, t.cy);
}

// ---------------------------------------------------------------------------------------------
// The face

void TsButton::DrawCaption(TCanvas* canvas) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (canvas == nullptr) canvas = cache != nullptr ? cache->Canvas() : nullptr;
  if (canvas == nullptr) return;
  const TRect r = TextRect();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_CENTER | (WordWrap() ? DT_WORDBREAK : 0u);
  if (FStyle == bsCommandLink) {
    flags = DT_EXPANDTABS | DT_WORDBREAK;
    canvas->Font()->SetStyle(canvas->Font()->GetStyle() | fsBold);
    canvas->Font()->SetSize(canvas->Font()->GetSize() + 2);
  }
  if (HandleAllocated() && (::GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0) flags |= DT_RTLREADING;
  const bool skinned = Skinned();
  const int state = CurrentState();
  TsTextSkinInfo info = TextSkinInfoOf(skinned ? FSkinData->GetSkinManager() : nullptr, FSkinData->SectionIndex());
  info.HueOffset = FSkinData->GetHUEOffset();
  info.Saturation = FSkinData->GetSaturation();
  info.CustomFont = FSkinData->GetCustomFont();
  info.Cache = skinned ? cache : nullptr;
  DrawSkinText(canvas, Caption(), Enabled() || skinned, state != BtnNormal, info, flags, r);
  if (FStyle == bsCommandLink) {
    canvas->Font()->Assign(Font());
    if (!FCommandLinkHint.empty())
      DrawSkinText(canvas, FCommandLinkHint, Enabled() || skinned, state != BtnNormal, info, flags,
                   TRect{r.Left, r.Bottom + 6, r.Right, Height() - FContentMargin});
  }
  const TsGeneralData* section = SectionOf(FSkinData.get());
  if (Focused() && Enabled() && !Caption().empty() && FShowFocus && skinned && section != nullptr &&
      section->ShowFocus) {
    const TRect f{r.Left - FocusMargin, r.Top - FocusMargin, r.Right + FocusMargin - 1, r.Bottom + FocusMargin - 1};
    DrawDottedFrame(canvas, f, clBtnFace, clBtnFace);
  }
}

void TsButton::DrawGlyph(TCanvas* canvas) {
  if (HasGlyph()) ButtonGlyphPainter(this, canvas);
}

void TsButton::PaintFaceMask(int state) {
  TsSkinManager* sm = FSkinData->GetSkinManager();
  const TsMaskData* mask = BorderMaskOf(FSkinData.get());
  TBitmap* cache = FSkinData->CacheBitmap();
  if (mask == nullptr || cache == nullptr) return;
  const bool paints = state != BtnNormal || (mask->DrawMode & 2) == 0;
  if (FRegionChanged && CutsRegion(mask) && !AnimationInProgress && FFadeTimer == nullptr) {
    FRegion.Reset(::CreateRectRgn(0, 0, Width(), Height()));
    if (paints && FRegion.Get() != nullptr) ControlRegionFromMask(cache, FRegion.Get(), (mask->DrawMode & 4) != 0, state, *mask, sm->MasterBitmap());
  } else if (paints) {
    TsBackgroundInfo self{cache, 0, 0, 0xFF00FF, 1};
    PaintMaskFrame(cache, TRect{0, 0, Width(), Height()}, true, state, *mask, self, sm->MasterBitmap());
  }
}

void TsButton::BuildFace() {
  TsCommonData* d = FSkinData.get();
  TsSkinManager* sm = d->GetSkinManager();
  const TsGeneralData* section = SectionOf(d);
  if (sm == nullptr || section == nullptr || Width() <= 0 || Height() <= 0) return;
  // 1. The cache of the button's size, in its font.
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) return;
  cache->Canvas()->Font()->Assign(Font());
  // 2. - 3. The section's fill for the state over the parent's background. The state is asked
  // once for the whole face: glyph and caption places follow it.
  TStateScope once(*this);
  const int state = std::min(CurrentState(), std::max(section->States - 1, 0));
  TsBackgroundInfo bg;
  d->ParentBackgroundInfo(bg);
  PaintSectionBackgroundOnly(d->SectionIndex(), sm->Tables(), d->GetCustomColor() ? Color() : TColor(0xFF00FF),
                             d->HotTextureIndex(), d->TextureIndex(), bg, state, cache, TPoint{0, 0},
                             TRect{0, 0, Width(), Height()}, sm->MasterBitmap());
  // 4. The border: a region-type mask cuts the window's shape, others are painted over.
  PaintFaceMask(state);
  // 5. The control's own hue and saturation.
  if (d->HueOffsetOf() != 0) HueShiftBitmap(cache, d->HueOffsetOf());
  if (d->SaturationOf() != 0) SaturateBitmap(cache, d->SaturationOf());
  // 6. Glyph and caption.
  DrawGlyph(cache->Canvas());
  DrawCaption(cache->Canvas());
  // 7. The split part: a line and the arrow in the caption's colour.
  if (FStyle == bsSplitButton) {
    const TColor c = state == BtnNormal ? section->FontColor[0] : section->HotFontColor[0];
    TCanvas* cv = cache->Canvas();
    cv->Pen()->SetColor(c);
    cv->MoveTo(Width() - 15, 4);
    cv->LineTo(Width() - 15, Height() - 4);
    DrawSmallArrow(cv, c, TRect{Width() - SplitPartWidth, 0, Width(), Height()}, saDown);
  }
  // 8. The disabled look over the parent's background.
  const auto* custom = As<TCustomAction>(Action());
  if (!Enabled() || (custom != nullptr && !custom->Enabled()))
    MakeDisabledLook(cache, FDisabledKind, this, TPoint{0, 0}, bg);
  d->BGChanged = 0;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TsButton::SetWindowRegion() {
  if (!HandleAllocated() || FRegion.Get() == nullptr) return;
  const bool first = !FRegionEverSet;
  // The window owns the region from here on.
  if (::SetWindowRgn(Handle(), FRegion.Get(), first ? TRUE : FALSE) != 0) (void)FRegion.Release();
  FRegion.Reset();
  FRegionEverSet = true;
}

void TsButton::InvalidateShrunkStrips() {
  const TRect old = FLastRegionBounds;
  const TRect now = BoundsRect();
  if (Parent() == nullptr || !Parent()->HandleAllocated() || old.IsEmpty()) return;
  if (now.Width() >= old.Width() && now.Height() >= old.Height()) return;
  TsBackgroundInfo bg;
  FSkinData->ParentBackgroundInfo(bg);
  if (bg.Ready != 0) return;
  TsSkinManager* sm = FSkinData->GetSkinManager();
  const int wr = MaskBorderRight(sm->Tables(), FSkinData->BorderIndex());
  const int wb = MaskBorderBottom(sm->Tables(), FSkinData->BorderIndex());
  // The old corners were cut out of the window: the parent repaints where they stood.
  const RECT strips[] = {{old.Right - wr, old.Top, old.Right, old.Bottom - wb},
                         {old.Left, old.Bottom - wb, old.Right - wr, old.Bottom},
                         {old.Right - wr, old.Bottom - wb, old.Right, old.Bottom}};
  for (const RECT& r : strips) ::InvalidateRect(Parent()->Handle(), &r, TRUE);
}

void TsButton::PaintButton(HDC given) {
  TsCommonData* d = FSkinData.get();
  // 1. During a form animation only the animation's own print DC is painted.
  if (AnimationInProgress && (given == nullptr || given != d->PrintDC())) return;
  std::unique_ptr<TPaintDC> paint;
  HDC dc = given;
  if (dc == nullptr) {
    paint = std::make_unique<TPaintDC>(Handle());
    dc = paint->Get();
  }
  if (dc == nullptr) return;
  // 2. Held, or a fade draws the frames itself.
  d->SetPaintLock(d->IsPaintLocked());
  if (d->HoldPaint != 0 || (FFadeTimer != nullptr && FFadeTimer->Enabled())) return;
  // 3. A button partly outside its parent (or a partly hidden parent) is rebuilt every time.
  if (d->PartlyHidden != 0 || (Parent() != nullptr && Parent()->HandleAllocated() &&
                               SendSkinCommand(Parent()->Handle(), SkinCmdIsPartlyHidden) != 0))
    d->BGChanged = 1;
  if (Parent() != nullptr) {
    const TRect pc = Parent()->ClientRect();
    const bool inside = Left() >= 0 && Top() >= 0 && Left() + Width() <= pc.Right && Top() + Height() <= pc.Bottom;
    d->PartlyHidden = inside ? 0 : 1;
  }
  // 4. - 5. The face, with a new region when the mask shapes the window.
  if (FRegionChanged && CutsRegion(BorderMaskOf(d)) && !Designing()) {
    BuildFace();
    if ((d->CtrlState() & csPrintingToDC) == 0) SetWindowRegion();
    InvalidateShrunkStrips();
    FLastRegionBounds = BoundsRect();
    FRegionChanged = false;
  } else if (d->BGChanged != 0) {
    BuildFace();
  }
  // 6. The cache on screen.
  TBitmap* cache = d->CacheBitmap();
  if (cache == nullptr || cache->GetWidth() != Width() || cache->GetHeight() != Height()) return;
  TSaveDC saved(dc);
  ::BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TsButton::StopFade() { StopFadeTimer(&FFadeTimer, FSkinData.get()); }

void TsButton::Fade(TlxAnimatEvent event) {
  const bool allowed = FadeEventAllowed(event, AnimatEvents, FSkinData->GetSkinManager());
  ChangeStateWithFade(&FFadeTimer, FSkinData.get(), false, event == aeMouseLeave ? 2 : 1, allowed);
}

bool TsButton::InSplitPart(int x) const { return FStyle == bsSplitButton && x >= Width() - SplitPartWidth; }

void TsButton::DropDown() {
  std::weak_ptr<bool> alive = FAlive;
  TPopupMenu* menu = FDropDownMenu;
  // No hint window over the menu: hints come back with its first painted item.
  if (Application != nullptr && SuspendDropDownHints(Application->ShowHint(), this)) Application->SetShowHint(false);
  FDroppedDown = true;
  Repaint_();
  if (HandleAllocated()) ::UpdateWindow(Handle());
  const TPoint at = ClientToScreen(TPoint{0, Height()});
  menu->Popup(at.X, at.Y);
  // The chosen item ran inside Popup: it may have freed this button with its form.
  if (auto v = TakeDropDownHints(); v && Application != nullptr) Application->SetShowHint(*v);
  if (alive.expired()) return;
  FDroppedDown = false;
  Repaint_();
}

void TsButton::ButtonPressed(TMouseButton button) {
  TsCommonData* d = FSkinData.get();
  if (!Skinned() || !Enabled() || Designing()) return;
  d->SetPaintLock(false);
  const bool switched = button == mbLeft && Application != nullptr &&
                        SuspendDropDownHints(Application->ShowHint(), this);
  if (switched) Application->SetShowHint(false);
  FMouseClicked = true;
  if (button == mbLeft && !FDown) {
    FRegionChanged = true;
    d->SetPaintLock(d->IsPaintLocked());
    d->BGChanged = 0;
    Fade(aeMouseDown);
  }
  if (switched)
    if (auto v = TakeDropDownHints()) Application->SetShowHint(*v);
}

void TsButton::ButtonReleased(TMouseButton button) {
  TsCommonData* d = FSkinData.get();
  if (IsDestroying() || !Skinned() || !Enabled() || Designing()) return;
  if (button == mbLeft && DropDownHints.Button == this)
    if (auto v = TakeDropDownHints(); v && Application != nullptr) Application->SetShowHint(*v);
  if (!FMouseClicked) return;
  FMouseClicked = false;
  if (button != mbLeft) return;
  if (FFadeTimer != nullptr && FFadeTimer->Level < FFadeTimer->Iterations) {
    // A click quicker than the fade: the pressed face shows at once, a moment, before the
    // release fades from it.
    FFadeTimer->SetEnabled(false);
    d->BGChanged = 1;
    PaintAsPressed = true;
    if (HandleAllocated()) ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_INVALIDATE);
    PaintAsPressed = false;
    AnimSleep(30);
  }
  d->SetPaintLock(false);
  FRegionChanged = true;
  d->BGChanged = 0;
  Fade(aeMouseUp);
}

void TsButton::MouseEnterLeave(bool enter) {
  TsCommonData* d = FSkinData.get();
  if (!Enabled() || Designing()) return;
  // OnMouseEnter and OnMouseLeave are the framework's, fired after this.
  if (!Skinned()) {
    d->MouseAbove = enter ? 1 : 0;
    Repaint_();
    return;
  }
  if (enter && (d->MouseAbove != 0 || InMenuMode())) return;
  d->MouseAbove = enter ? 1 : 0;
  d->BGChanged = 0;
  Fade(enter ? aeMouseEnter : aeMouseLeave);
}

// ---------------------------------------------------------------------------------------------
// Skin commands

bool TsButton::SkinCommand(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (!SkinCommandAllowed(m.WParam, m.LParam)) {
    m.Result = 0;
    return true;
  }
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
      if (!IsFromOwnManager(m, d)) return false;
      FRegionChanged = true;
      StopFade();
      HandleCommonMessage(m, d);
      return true;
    case SkinCmdUnskin:
      if (!IsFromOwnManager(m, d) || IsDestroying()) return false;
      StopFade();
      HandleCommonMessage(m, d);
      FRegion.Reset();
      if (HandleAllocated()) ::SetWindowRgn(Handle(), nullptr, TRUE);
      FRegionEverSet = false;
      Repaint_();
      return true;
    case SkinCmdRedrawSkin:
      if (!IsFromOwnManager(m, d)) return false;
      StopFade();
      if (HandleAllocated()) ::SetWindowRgn(Handle(), nullptr, FALSE);
      FRegionEverSet = false;
      HandleCommonMessage(m, d);
      FRegionChanged = true;
      if ((d->CtrlState() & csPrintingToDC) == 0) Repaint_();
      return true;
    case SkinCmdIsSkinned:
      m.Result = 1;
      return true;
    case SkinCmdCancelFade:
      StopFade();
      return true;
    case SkinCmdRebuildCache:
      BuildFace();
      return false;
    case SkinCmdFadeFrame:
      FRegion.Reset();
      return false;
    case SkinCmdQueryAppObject:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// The window procedure

void TsButton::FocusStep(TMessage& m) {
  if (Designing() || !Visible()) {
    TButton::WndProc(m);
    return;
  }
  if (Enabled() && !IsDestroying() && !GFocusStep) {
    {
      TRedrawOff off(this);
      GFocusStep = true;
      TButton::WndProc(m);
      GFocusStep = false;
    }
    if (FFadeTimer != nullptr) FFadeTimer->FadeStep();
    else Repaint_();
    return;
  }
  TButton::WndProc(m);
}

bool TsButton::PaintCommand(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdResumePaint:
      if (d->HoldPaint != 0) {
        d->SetPaintLock(false);
        Repaint_();
      }
      return true;
    case SkinCmdPaintAtOnce:
      if (d->UrgentPainting != 0) BuildFace();
      HandleCommonMessage(m, d);
      return true;
    default:
      return false;
  }
}

bool TsButton::KillFocusStep(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (Designing() || !Visible() || !Enabled() || IsDestroying()) return false;
  StopFade();
  {
    TRedrawOff off(this);
    TButton::WndProc(m);
  }
  d->Focused = 0;
  FRegionChanged = true;
  Repaint_();
  d->HideGlow();
  return true;
}

bool TsButton::EraseBackground(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (!Visible() && !Designing()) return false;
  if (m.WParam != 0 && d->CacheBitmap() != nullptr && d->BGChanged == 0 &&
      !(FFadeTimer != nullptr && FFadeTimer->Enabled())) {
    const TRect full{0, 0, Width(), Height()};
    CopyCacheExcludingChildren(this, d, full, 0, 0, false, reinterpret_cast<HDC>(m.WParam), full);
  }
  m.Result = 0;
  return true;
}

bool TsButton::FocusChanged(TMessage& m) {
  if (!Visible()) return false;
  const bool was = FFocusedOrDefault;
  {
    TRedrawOff off(this);
    TButton::WndProc(m);
  }
  // The repaint asked for while the redraw was off was dropped with it.
  if (FFocusedOrDefault != was) Repaint_();
  return true;
}

// The messages of a paintable, skinned button; true when answered.
bool TsButton::SkinnedMessage(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (m.Msg == WM_SKINCOMMAND) return PaintCommand(m);
  const TsGeneralData* section = SectionOf(d);
  switch (m.Msg) {
    case WM_MOVE:
      if (section != nullptr &&
          (section->Transparency > 0 || (section->HotTransparency > 0 && d->IsActiveState()))) {
        d->BGChanged = 1;
        Repaint_();
      }
      return false;
    case WM_SIZE:
      FRegionChanged = true;
      if (SkinManagerLinks().ClearGlows) SkinManagerLinks().ClearGlows(false);
      return false;
    case WM_SETFOCUS:
    case CM_ENTER:
      FocusStep(m);
      return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
      return KillFocusStep(m);
    case WM_ENABLE:
      return true;
    case WM_PAINT:
      if ((Visible() || Designing()) && Parent() != nullptr) {
        PaintButton(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return !Designing();
      }
      return false;
    case WM_ERASEBKGND:
      return EraseBackground(m);
    case WM_WINDOWPOSCHANGING:
      FRegionChanged = true;
      return false;
    case WM_WINDOWPOSCHANGED:
      FRegionChanged = true;
      d->BGChanged = 1;
      return false;
    case WM_UPDATEUISTATE:
      if (!Visible() && !Designing()) return false;
      m.Result = 1;
      return true;
    case WM_PRINT:
      FRegionChanged = true;
      d->SetPaintLock(false);
      PaintButton(reinterpret_cast<HDC>(m.WParam));
      return true;
    case CM_DIALOGCHAR:
      if (m.WParam == 32 && Enabled() && Focused()) {
        StopFade();
        FRegionChanged = true;
        d->BGChanged = 1;
        d->HideGlow();
        Repaint_();
      }
      return false;
    case CM_FOCUSCHANGED:
      return FocusChanged(m);
    case CM_TEXTCHANGED:
      if (IsDestroying()) return false;
      TButton::WndProc(m);
      Repaint_();
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      MouseEnterLeave(m.Msg == CM_MOUSEENTER);
      HandleCommonMessage(m, d);
      TButton::WndProc(m);
      return true;
    case CM_UIACTIVATE:
      d->SetPaintLock(false);
      return false;
    case CN_DRAWITEM:
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

void TsButton::AfterFramework(const TMessage& m) {
  TsCommonData* d = FSkinData.get();
  switch (m.Msg) {
    case WM_SETFONT:
      if (Visible() || Designing()) {
        d->SetPaintLock(false);
        Repaint_();
      }
      break;
    case CM_CANCELMODE: d->HideGlow(); break;
    case CM_VISIBLECHANGED:
      d->BGChanged = 1;
      d->SetPaintLock(false);
      if (Visible() || Designing()) Repaint_();
      break;
    case CM_ENABLEDCHANGED:
      if (!Visible() && !Designing()) break;
      if (!Enabled()) StopFade();
      d->SetPaintLock(false);
      Repaint_();
      break;
    case CM_ACTIONUPDATE:
      if (auto* a = As<TCustomAction>(Action())) SetEnabled(a->Enabled());
      break;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE && Skinned()) {
        FRegionChanged = true;
        d->BGChanged = 1;
        Repaint_();
      }
      break;
    default: break;
  }
}

void TsButton::WndProc(TMessage& m) {
  TsCommonData* d = FSkinData.get();
  if (m.Msg == WM_KILLFOCUS && IsDestroying()) return;
  if (m.Msg == WM_SKINCOMMAND && SkinCommand(m)) return;
  const bool skinned = ControlIsPaintable(this) && Skinned();
  if (skinned && SkinnedMessage(m)) return;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The drop-down part opens its menu and is no press of the button.
      if (FDropDownMenu != nullptr && InSplitPart(static_cast<short>(LOWORD(m.LParam)))) {
        DropDown();
        return;
      }
      break;
    case CN_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      mi->itemWidth = static_cast<UINT>(Width());
      mi->itemHeight = static_cast<UINT>(Height());
      m.Result = 1;
      return;
    }
    case CN_DRAWITEM:
      DrawUnskinned(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = 1;
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (!skinned) MouseEnterLeave(m.Msg == CM_MOUSEENTER);
      break;
    default: break;
  }
  std::weak_ptr<bool> alive = FAlive;
  if (!HandleCommonMessage(m, d)) TButton::WndProc(m);
  // A click may have freed the button with its form.
  if (alive.expired() || IsDestroying()) return;
  switch (m.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: ButtonPressed(mbLeft); break;
    case WM_RBUTTONDOWN: ButtonPressed(mbRight); break;
    case WM_MBUTTONDOWN: ButtonPressed(mbMiddle); break;
    case WM_LBUTTONUP: ButtonReleased(mbLeft); break;
    case WM_RBUTTONUP: ButtonReleased(mbRight); break;
    case WM_MBUTTONUP: ButtonReleased(mbMiddle); break;
    default: AfterFramework(m); break;
  }
}

// ---------------------------------------------------------------------------------------------
// Unskinned drawing

namespace {

// A theme data handle of the visual-styles table, closed with it.
class TThemeData {
public:
  TThemeData(HWND wnd, LPCWSTR classes)
      : FTheme(ThemeEntries().OpenThemeData != nullptr ? ThemeEntries().OpenThemeData(wnd, classes) : nullptr) {}
  ~TThemeData() {
    if (FTheme != nullptr && ThemeEntries().CloseThemeData != nullptr) ThemeEntries().CloseThemeData(FTheme);
  }
  TThemeData(const TThemeData&) = delete;
  TThemeData& operator=(const TThemeData&) = delete;
  TThemeHandle Get() const { return FTheme; }

private:
  TThemeHandle FTheme;
};

// The push-button part of the button class and its states.
constexpr int BpPushButton = 1;
constexpr int PbsNormal = 1, PbsHot = 2, PbsPressed = 3, PbsDisabled = 4, PbsDefaulted = 5;

}  // namespace

void TsButton::DrawUnskinned(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  if (dc == nullptr) return;
  TStateScope once(*this);
  TSaveDC saved(dc);
  TCanvas canvas;
  TCanvasDC bound(canvas, dc);
  canvas.Font()->Assign(Font());
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  TRect r{0, 0, Width(), Height()};
  const int splitCut = FStyle == bsSplitButton ? 14 : 0;
  bool themed = false;
  if (ThemesActive()) {
    TThemeData theme(Handle(), L"BUTTON");
    if (theme.Get() != nullptr && ThemeEntries().DrawThemeBackground != nullptr) {
      const int state = !Enabled() ? PbsDisabled
                        : selected ? PbsPressed
                        : FSkinData->MouseAbove != 0 ? PbsHot
                        : (FFocusedOrDefault || focused) ? PbsDefaulted
                                                         : PbsNormal;
      const RECT rr = ToRECT(r);
      if (ThemeEntries().DrawThemeParentBackground != nullptr) ThemeEntries().DrawThemeParentBackground(Handle(), dc, &rr);
      ThemeEntries().DrawThemeBackground(theme.Get(), dc, BpPushButton, state, &rr, nullptr);
      if (FFocusedOrDefault && focused) canvas.DrawFocusRect(TRect{3, 3, r.Right - 3 - splitCut, r.Bottom - 3});
      themed = true;
    }
  }
  if (!themed) {
    if (FFocusedOrDefault || focused) {
      canvas.Brush()->SetColor(clBlack);
      canvas.FrameRect(r);
      r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    if (selected) {
      canvas.Brush()->SetColor(clBtnFace);
      canvas.FillRect(r);
      canvas.Brush()->SetColor(clBtnShadow);
      canvas.FrameRect(r);
    } else {
      RECT rr = ToRECT(r);
      ::DrawFrameControl(dc, &rr, DFC_BUTTON, DFCS_BUTTONPUSH | (disabled ? DFCS_INACTIVE : 0u));
    }
    if (focused) canvas.DrawFocusRect(TRect{4, 4, Width() - 4 - splitCut, Height() - 4});
  }
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  DrawCaption(&canvas);
  ButtonGlyphPainter(this, &canvas);
  if (FStyle == bsSplitButton) {
    canvas.Pen()->SetColor(clBlack);
    canvas.MoveTo(Width() - 15, 4);
    canvas.LineTo(Width() - 15, Height() - 4);
    DrawSmallArrow(&canvas, Font()->GetColor(), TRect{Width() - SplitPartWidth, 0, Width(), Height()}, saDown);
  }
}

// ---------------------------------------------------------------------------------------------
// Registration

void InitButtonUnit() { RegisterClassOf<TsButton>(); }
