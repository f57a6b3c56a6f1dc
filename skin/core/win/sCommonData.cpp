// The skin state of a skinned object and the common message routines (see sCommonData.h).
#include "skin/core/win/sCommonData.h"

#include <algorithm>

#include "framework/base/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/Messages.h"
#include "framework/win/StdCtrls.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinableMenus.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sThemes.h"

ORBEX_IMPLEMENT_PUBLISHED(TsCommonData, TPersistent, nullptr)

void TsCommonData::PublishProperties(TPublisher<TsCommonData>& P) {
  P.String("SkinSection", &TsCommonData::GetSkinSection, &TsCommonData::SetSkinSection);
  P.Component("SkinManager", &TsCommonData::StoredSkinManager, &TsCommonData::SetSkinManager);
  P.Boolean("CustomColor", &TsCommonData::GetCustomColor, &TsCommonData::SetCustomColor).Default(0);
  P.Boolean("CustomFont", &TsCommonData::GetCustomFont, &TsCommonData::SetCustomFont).Default(0);
}

namespace {

constexpr TColor ColorNone = 0xFF00FF;

TColor RGBOf(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }

bool Going(const TComponent* c) { return c != nullptr && c->IsDestroying(); }

bool Loading(const TComponent* c) {
  return c != nullptr && (c->ComponentState() & (csLoading | csReading)) != 0;
}

bool Designing(const TComponent* c) {
  return c != nullptr && (c->ComponentState() & csDesigning) != 0;
}

std::uint16_t ArgumentOf(const TMessage& m) { return SkinArgumentOf(m.WParam); }

// Command 20 to every child control not being destroyed; `skipAnchored` leaves out children
// that follow the right or bottom edge.
void ParentMovedToChildren(TWinControl* w, bool repaint, bool skipAnchored) {
  for (int i = 0; i < w->ControlCount(); ++i) {
    TControl* c = w->Controls(i);
    if (c->IsDestroying()) continue;
    if (skipAnchored && (c->Anchors() & (akRight | akBottom)) != 0) continue;
    auto* cw = As<TWinControl>(c);
    const WPARAM wp = MakeSkinWParam(SkinCmdParentMoved, repaint ? 1 : 0);
    if (cw != nullptr && cw->HandleAllocated()) {
      TSkinCommandSendScope scope(wp, 0);
      SendMessageA(cw->Handle(), WM_SKINCOMMAND, wp, 0);
    } else if (cw == nullptr) {
      c->Perform(WM_SKINCOMMAND, wp, 0);
    }
  }
}

// Command 33 to every child: by SendMessage to windowed children with a window, else Perform
// (`windowedOnly` leaves out the others).
void DropCacheOfChildren(TWinControl* w, bool windowedOnly) {
  for (int i = 0; i < w->ControlCount(); ++i) {
    TControl* c = w->Controls(i);
    auto* cw = As<TWinControl>(c);
    if (cw != nullptr && cw->HandleAllocated())
      SendSkinCommandToControl(cw, SkinCmdDropCache, 0);
    else if (!windowedOnly && cw == nullptr)
      c->Perform(WM_SKINCOMMAND, MakeSkinWParam(SkinCmdDropCache), 0);
  }
}

// The colour of what lies beneath an owner: its parent control's, else its window's parent's;
// `none` when there is neither or the parent gives no colour.
TColor ParentColorOf(TControl* owner, HWND wnd, TColor none) {
  if (owner != nullptr && owner->Parent() != nullptr) {
    const TColor c = GetControlColor(owner->Parent());
    return c != ColorNone ? c : RGBOf(owner->Parent()->Color());
  }
  if (owner == nullptr && wnd != nullptr && GetParent(wnd) != nullptr) {
    const TColor c = GetWindowColor(GetParent(wnd));
    if (c != ColorNone) return c;
  }
  return none;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Skin state.

namespace {

// The control's window leaves every manager's hover tracking.
void ForgetOwnerWindow(TControl* control) {
  if (auto* w = As<TWinControl>(control); w != nullptr && w->HandleAllocated())
    TsSkinManager::ForgetHoverWindow(w->Handle());
}

}  // namespace

TsCommonData::TsCommonData(TPersistent* owner, int controlKind, bool createCache)
    : FOwner(owner), FOwnerControl(As<TControl>(owner)), FControlKind(controlKind) {
  if (createCache) {
    FCache = std::make_unique<TBitmap>();
    FCache->SetPixelFormat(TPixelFormat::pf32bit);
  }
}

TsCommonData::~TsCommonData() {
  FSectionIndex = FBorderIndex = FTextureIndex = FHotTextureIndex = -1;
  HideGlow();
  // A control being freed loses its window without its own methods: the hover tracking must
  // not keep that window.
  ForgetOwnerWindow(FOwnerControl);
  FOwner = nullptr;
  FOwnerControl = nullptr;
  FSkinManager = nullptr;
}

void TsCommonData::SetOwner(TPersistent* owner) {
  FOwner = owner;
  FOwnerControl = As<TControl>(owner);
}

TsSkinManager* TsCommonData::GetSkinManager() const {
  return FSkinManager != nullptr ? FSkinManager : TsSkinManager::DefaultManager();
}

TCustomForm* TsCommonData::ProviderForm() const {
  if (FOwnerControl != nullptr) return nullptr;
  auto* c = As<TComponent>(FOwner);
  return c != nullptr ? As<TCustomForm>(c->Owner()) : nullptr;
}

TWinControl* TsCommonData::OwnerWindowed() const { return As<TWinControl>(FOwnerControl); }

const TsGeneralData* TsCommonData::Section() const {
  TsSkinManager* m = GetSkinManager();
  if (m == nullptr || !SectionIndexInRange(m->Tables(), FSectionIndex)) return nullptr;
  return &m->Tables()->GeneralData[static_cast<size_t>(FSectionIndex)];
}

bool TsCommonData::HasSkin(bool checkActive) const {
  TsSkinManager* m = GetSkinManager();
  if (FSkinSection.empty() || m == nullptr || m->IsDestroying()) return false;
  if (!SectionIndexInRange(m->Tables(), FSectionIndex)) return false;
  if (Going(As<TComponent>(FOwner))) return false;
  return !checkActive || m->SkinData().Active;
}

void TsCommonData::TellOwner(std::uint16_t command, LPARAM lparam) {
  const WPARAM wp = MakeSkinWParam(command);
  TSkinCommandSendScope scope(wp, lparam);
  if (FOwnerControl != nullptr) {
    FOwnerControl->Perform(WM_SKINCOMMAND, wp, lparam);
  } else if (TCustomForm* f = ProviderForm(); f != nullptr && f->HandleAllocated()) {
    SendMessageA(f->Handle(), WM_SKINCOMMAND, wp, lparam);
  }
}

void TsCommonData::SetSkinSection(const std::string& value) {
  const std::string name = value.empty() ? std::string("UNKNOWN") : UpperCase(value);
  if (name == FSkinSection) return;
  FSkinSection = name;
  ResolveIfLoaded();
  if (FOwnerControl == nullptr) {
    BGChanged = 1;
    return;
  }
  if (Loading(FOwnerControl) || Going(FOwnerControl) || FOwnerControl->Parent() == nullptr) return;
  if (HoldPaint == 0)
    TellOwner(FSectionIndex >= 0 ? SkinCmdRedrawSkin : SkinCmdUnskin,
              reinterpret_cast<LPARAM>(FSkinManager));
  HideGlow();
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  if (value == TsSkinManager::DefaultManager()) value = nullptr;
  FSkinManager = value;
  if (Loading(As<TComponent>(FOwner))) return;
  ResolveIfLoaded();
  if (FOwnerControl == nullptr) {
    if (TCustomForm* f = ProviderForm(); f != nullptr && f->HandleAllocated())
      RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return;
  }
  if (FOwnerControl->Parent() == nullptr || Going(FOwnerControl)) return;
  TellOwner(FSectionIndex >= 0 ? SkinCmdRedrawSkin : SkinCmdUnskin, reinterpret_cast<LPARAM>(value));
}

void TsCommonData::Assign(TPersistent* source) {
  if (auto* s = As<TsCommonData>(source)) {
    FSkinSection = s->FSkinSection;
    FSkinManager = s->FSkinManager;
    FCustomColor = s->FCustomColor;
    FCustomFont = s->FCustomFont;
    return;
  }
  TPersistent::Assign(source);
}

void TsCommonData::ResolveIfLoaded() {
  TsSkinManager* m = GetSkinManager();
  if (m != nullptr && m->Tables() != nullptr && !m->Tables()->GeneralData.empty())
    ResolveSection();
  else
    FSectionIndex = -1;
}

void TsCommonData::ResolveSection() {
  BGChanged = 1;
  TsSkinManager* m = GetSkinManager();
  // The manager's own switch, not its skin's: while a new skin is being applied (and its
  // receivers resolve their sections) the skin is not yet marked active.
  const TsSkinTables* t = m != nullptr && m->GetActive() ? m->Tables() : nullptr;
  FSectionIndex = FindSectionIndex(t, FSkinSection);
  FCtrlState = 0;
  FBGKind = 0;
  if (FSectionIndex < 0) {
    FBorderIndex = FTextureIndex = FHotTextureIndex = -1;
    return;
  }
  const TsGeneralData& s = t->GeneralData[static_cast<size_t>(FSectionIndex)];
  FBorderIndex = s.BorderIndex;
  FTextureIndex = FindTextureEntry(t, FSectionIndex, FSkinSection, "PATTERN");
  FHotTextureIndex = FindTextureEntry(t, FSectionIndex, FSkinSection, "HOTPATTERN");
  FBGKind = BackgroundKindBits(s.Props[0], FTextureIndex);
  UpdateTransparency(false);
}

void TsCommonData::AfterLoad() {
  if (FSkinSection.empty()) {
    const auto* o = As<TObject>(FOwner);
    SetSkinSection(DefaultSectionOfKind(FControlKind, o != nullptr ? o->ClassName() : ""));
  } else {
    ResolveSection();
  }
  if (!HasSkin() || FOwnerControl == nullptr || FOwnerControl->Parent() == nullptr ||
      Loading(FOwnerControl))
    return;
  if (OwnerWindowed() != nullptr) NotifyParentForm(FOwnerControl);
  UpdateColors(false);
}

void TsCommonData::UpdateColors(bool repaint) {
  TWinControl* w = OwnerWindowed();
  if (!HasSkin() || !IsEditKind(FControlKind) || w == nullptr || !w->HandleAllocated()) return;
  const TsGenState& s = SectionState(*Section(), 0);
  auto recolour = [this](TColor c) {
    return ApplyColorSaturation(ApplyHueOffset(FHueOffset, RGBOf(c)), FSaturation);
  };
  if (!FCustomColor) {
    const TColor c = recolour(s.Color);
    if (w->Color() != c) w->SetColor(c);
  }
  if (!FCustomFont) {
    const TColor c = recolour(s.FontColor[0]);
    if (w->Font()->GetColor() != c) w->Font()->SetColor(c);
  }
  if (repaint) RequestRepaint();
}

void TsCommonData::RequestRepaint() {
  if (FOwnerControl == nullptr) {
    if (TCustomForm* f = ProviderForm(); f != nullptr && f->HandleAllocated()) {
      BGChanged = 1;
      RedrawWindow(f->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    }
    return;
  }
  if (Going(FOwnerControl) || Loading(FOwnerControl)) return;
  BGChanged = 1;
  if (!ControlIsPaintable(FOwnerControl)) return;
  if (TWinControl* w = OwnerWindowed()) {
    if (w->HandleAllocated())
      RedrawWindow(w->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
  } else {
    FOwnerControl->Repaint();
  }
}

void TsCommonData::BeginPaintLock() {
  ++FLockDepth;
  HoldPaint = 1;
  FCtrlState |= csPaintLockHeld;
  TellOwner(SkinCmdLockBegun, 0);
}

// Only the outermost end releases the hold: an inner lock must not end the outer one. An end
// without a begin changes nothing.
void TsCommonData::EndPaintLock(bool repaint) {
  if (FLockDepth <= 0) return;
  if (--FLockDepth > 0) return;
  HoldPaint = 0;
  FCtrlState &= static_cast<std::uint16_t>(~csPaintLockHeld);
  TellOwner(SkinCmdLockEnded, 0);
  if (repaint) RequestRepaint();
}

bool TsCommonData::IsPaintLocked() const {
  TsSkinManager* m = GetSkinManager();
  if (m == nullptr || Designing(m)) return false;
  if (NeedsOwnBackground()) return HoldPaint != 0;
  if (Going(As<TComponent>(FOwner))) return HoldPaint != 0;
  if (HoldPaint != 0) return true;
  TWinControl* parent = nullptr;
  if (FOwnerControl != nullptr)
    parent = FOwnerControl->Parent();
  else if (TCustomForm* f = ProviderForm())
    parent = f->Parent();
  return parent != nullptr && QuerySkinControl(parent, SkinCmdIsHeld) == 1;
}

bool TsCommonData::NeedsOwnBackground() const {
  return (FCtrlState & csPlainOwner) == 0 || IsActiveState();
}

bool TsCommonData::IsActiveState() const {
  TControl* c = FOwnerControl;
  if (c == nullptr || Going(c) || !c->Enabled() || Designing(c)) return false;
  if (Focused != 0) return true;
  if (auto* w = As<TWinControl>(c); w != nullptr && w->HandleAllocated() && GetFocus() == w->Handle())
    return As<TCustomPanel>(c) == nullptr;
  return MouseAbove != 0 && !IsContainerKind(FControlKind);
}

bool TsCommonData::DependsOnBackground() const {
  if (!HasSkin() || UrgentPainting != 0 || FOwnerControl == nullptr || !FOwnerControl->Enabled())
    return true;
  if (Section()->Props[0].Transparency <= 0) return false;
  return IsSeeThroughParent() != 0;
}

LRESULT TsCommonData::IsSeeThroughParent() const {
  if (FOwnerControl == nullptr || FOwnerControl->Parent() == nullptr ||
      !FOwnerControl->Parent()->HandleAllocated())
    return 0;
  return QuerySkinControl(FOwnerControl->Parent(), SkinCmdIsSeeThrough);
}

bool TsCommonData::NeedsOwnImage() const {
  TsSkinManager* m = GetSkinManager();
  TsOwnImageQuery q;
  q.Skin = m != nullptr ? m->Tables() : nullptr;
  q.Section = FSectionIndex;
  q.BorderMask = FBorderIndex;
  q.Texture = FTextureIndex;
  q.HasParent = FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr;
  if (q.HasParent) {
    const LRESULT state = SendSkinCommandToControl(FOwnerControl->Parent(), SkinCmdTransparencyState, 0);
    q.ParentPlain = (state & csPlainOwner) != 0;
  }
  return NeedsOwnImageFor(q);
}

void TsCommonData::UpdateTransparency(bool children) {
  FCtrlState &= static_cast<std::uint16_t>(~csPlainOwner);
  if (FOwnerControl == nullptr) {
    // An MDI main form's client area is the client window's, drawn by its own adapter: the
    // form never passes for a plain owner.
    const TCustomForm* form = ProviderForm();
    if (form != nullptr && form->FormStyle() != fsMDIForm && !NeedsOwnImage()) FCtrlState |= csPlainOwner;
    return;
  }
  if (IsContainerKind(FControlKind) && !NeedsOwnImage()) FCtrlState |= csPlainOwner;
  if (!children) return;
  if (TWinControl* w = OwnerWindowed())
    for (int i = 0; i < w->ControlCount(); ++i)
      SendSkinCommandToControl(w->Controls(i), SkinCmdTransparencyState, 1);
}

int TsCommonData::BorderWidth() const {
  TsSkinManager* m = GetSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (!MaskIndexInRange(t, FBorderIndex)) return 0;
  if ((t->MaskData[static_cast<size_t>(FBorderIndex)].DrawMode & 2) != 0) return 0;
  return std::max({MaskBorderLeft(t, FBorderIndex), MaskBorderTop(t, FBorderIndex),
                   MaskBorderRight(t, FBorderIndex), MaskBorderBottom(t, FBorderIndex)});
}

TColor TsCommonData::SectionColor(int state, HWND wnd) const {
  const TColor face = RGBOf(clBtnFace);
  if (!HasSkin()) {
    if (FOwnerControl != nullptr) return RGBOf(FOwnerControl->Color());
    if (TCustomForm* f = ProviderForm()) return RGBOf(f->Color());
    return face;
  }
  const TsGenState& s = SectionState(*Section(), state);
  const TColor own = FCustomColor && FOwnerControl != nullptr ? RGBOf(FOwnerControl->Color()) : RGBOf(s.Color);
  if (s.Transparency <= 0) return own;
  return MixSectionColor(own, ParentColorOf(FOwnerControl, wnd, face), s.Transparency);
}

// ---------------------------------------------------------------------------------------------
// Backgrounds.

void TsCommonData::AnswerFromCache(TsBackgroundRequest& request) {
  TsSkinManager* m = GetSkinManager();
  request.Color = m != nullptr ? m->GlobalInfoColor() : RGBOf(clBtnFace);
  if (FCache == nullptr || FCache->Empty()) {
    request.Color = ColorNone;
    request.Kind = bkColor;
    return;
  }
  request.Kind = bkBitmap;
  if (request.PaintToDC != 0 && request.DC != nullptr) {
    const TRect& r = request.Rect;
    BitBlt(request.DC, r.Left, r.Top, r.Width(), r.Height(), FCache->Canvas()->GetHandle(),
           r.Left + request.OffsetX, r.Top + request.OffsetY, SRCCOPY);
  } else {
    request.Bitmap = FCache.get();
  }
}

// A fully see-through owner hands the request on to what lies beneath it; a bitmap answer is
// moved by the owner's place in it.
void TsCommonData::ForwardToParent(TsBackgroundRequest& request, HWND wnd) {
  const bool paint = request.PaintToDC != 0;
  TWinControl* parent = nullptr;
  TPoint at;
  if (FOwnerControl != nullptr) {
    parent = FOwnerControl->Parent();
    at = TPoint{FOwnerControl->Left(), FOwnerControl->Top()};
  } else if (TCustomForm* f = ProviderForm()) {
    parent = f->Parent();
    at = TPoint{f->Left(), f->Top()};
  }
  if (parent != nullptr) {
    RequestControlBackground(request, parent, paint);
  } else if (wnd == nullptr) {
    TsSkinManager* d = TsSkinManager::DefaultManager();
    request.Kind = bkColor;
    request.Color = d != nullptr ? d->GlobalInfoColor() : RGBOf(clBtnFace);
    return;
  } else {
    RECT wr{};
    GetWindowRect(wnd, &wr);
    POINT p{wr.left, wr.top};
    HWND pw = GetParent(wnd);
    if (pw != nullptr) ScreenToClient(pw, &p);
    at = TPoint{p.x, p.y};
    RequestWindowBackground(request, pw, paint);
  }
  if (request.Kind == bkBitmap) {
    request.OffsetX += at.X;
    request.OffsetY += at.Y;
  }
}

void TsCommonData::ProvideBackground(TsBackgroundRequest& request, int state, HWND wnd) {
  if (!HasSkin() || FCustomColor) {
    request.Kind = bkColor;
    if (FOwnerControl != nullptr)
      request.Color = RGBOf(FOwnerControl->Color());
    else if (TCustomForm* f = ProviderForm())
      request.Color = RGBOf(f->Color());
    else
      request.Color = RGBOf(clBtnFace);
    return;
  }
  const TsGenState& s = SectionState(*Section(), state);
  const int texture = state >= 1 ? FHotTextureIndex : FTextureIndex;
  const bool filled = StateHasGradient(s) || StateHasTexture(s, texture);
  if (s.Transparency <= 0 && !filled) {
    request.Kind = bkColor;
    request.Bitmap = FCache.get();
    request.Color = SectionColor(state, wnd);
    if (request.PaintToDC != 0 && request.DC != nullptr)
      FillDCRect(request.DC, request.Rect, request.Color);
  } else if (s.Transparency <= 0) {
    AnswerFromCache(request);
  } else if (s.Transparency >= 100) {
    const bool noCache = FCache == nullptr || FCache->Empty();
    if ((FCtrlState & csPlainOwner) != 0 || noCache || BGChanged != 0)
      ForwardToParent(request, wnd);
    else
      AnswerFromCache(request);
  } else if (FCache == nullptr || FCache->Empty()) {
    request.Kind = bkColor;
    request.Color = ColorNone;
  } else {
    AnswerFromCache(request);
  }
}

void TsCommonData::ParentBackgroundInfo(TsBackgroundInfo& info) {
  TWinControl* w = OwnerWindowed();
  if (HasSkin() && FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr) {
    TsBackgroundRequest r;
    r.OffsetX = FOwnerControl->Left();
    r.OffsetY = FOwnerControl->Top();
    r.Rect = TRect{0, 0, FOwnerControl->Width(), FOwnerControl->Height()};
    RequestControlBackground(r, FOwnerControl->Parent(), false);
    BackgroundRequestToInfo(r, info);
  } else if (w != nullptr && w->Parent() == nullptr && w->HandleAllocated()) {
    GetWindowParentBackground(w->Handle(), info);
  } else {
    info = TsBackgroundInfo{nullptr, 0, 0, SectionColor(0, nullptr), 0};
  }
}

void GetWindowParentBackground(HWND wnd, TsBackgroundInfo& info) {
  HWND parent = wnd != nullptr ? GetParent(wnd) : nullptr;
  if (parent == nullptr) {
    TsSkinManager* d = TsSkinManager::DefaultManager();
    info = TsBackgroundInfo{nullptr, 0, 0, d != nullptr ? d->GlobalInfoColor() : RGBOf(clBtnFace), 0};
    return;
  }
  RECT wr{};
  GetWindowRect(wnd, &wr);
  POINT p{wr.left, wr.top};
  ScreenToClient(parent, &p);
  TsBackgroundRequest r;
  r.OffsetX = p.x;
  r.OffsetY = p.y;
  r.Rect = TRect{0, 0, wr.right - wr.left, wr.bottom - wr.top};
  RequestWindowBackground(r, parent, false);
  BackgroundRequestToInfo(r, info);
}

int ParentSectionIndex(TControl* control, int defaultIndex, TsSkinManager* manager, int state) {
  TsSkinManager* m = manager != nullptr ? manager : TsSkinManager::DefaultManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  for (TWinControl* p = control != nullptr ? control->Parent() : nullptr; p != nullptr; p = p->Parent()) {
    int index = -1;
    const TPropInfo* prop = GetPropInfo(p, "SkinData");
    auto* data = prop != nullptr ? As<TsCommonData>(GetObjectProp(p, *prop)) : nullptr;
    if (data != nullptr && data->SectionIndex() >= 0) {
      index = data->SectionIndex();
    } else {
      TlxSectionInfo info;
      info.SectionIndex = -1;
      SendSkinCommandToControl(p, SkinCmdQuerySectionIndex, reinterpret_cast<LPARAM>(&info));
      index = info.SectionIndex;
    }
    if (!SectionIndexInRange(t, index)) continue;
    const TsGenState& s = SectionState(t->GeneralData[static_cast<size_t>(index)], state);
    if (s.Transparency > 50) continue;
    return index;
  }
  return defaultIndex;
}

// ---------------------------------------------------------------------------------------------
// Glow.

void TsCommonData::HideGlow() {
  if (FGlowID < 0) return;
  if (SkinManagerLinks().HideGlow) SkinManagerLinks().HideGlow(FGlowID);
  FGlowID = -1;
}

void TsCommonData::UpdateGlow(bool force, HWND wnd) {
  TsSkinManager* m = GetSkinManager();
  const TsGeneralData* s = Section();
  if (m == nullptr || !m->Effects()->GetAllowGlowing() || s == nullptr || s->GlowCount < 1) return;
  TRect screen, visible;
  HWND target = nullptr;
  if (FOwnerControl != nullptr) {
    if (MouseAbove == 0 || Designing(FOwnerControl) || (force && FGlowID >= 0)) {
      HideGlow();
      return;
    }
    const TPoint org = FOwnerControl->ClientOrigin();
    // The window rectangle of the control on screen (its client origin less its frame).
    TWinControl* w = OwnerWindowed();
    if (w != nullptr && w->HandleAllocated()) {
      RECT wr{};
      GetWindowRect(w->Handle(), &wr);
      screen = TRect{wr.left, wr.top, wr.right, wr.bottom};
    } else {
      screen = TRect{org.X, org.Y, org.X + FOwnerControl->Width(), org.Y + FOwnerControl->Height()};
    }
    // The visible part: the control clipped by each ancestor's client area (screen pixels).
    TRect clip = screen;
    for (TWinControl* p = FOwnerControl->Parent(); p != nullptr; p = p->Parent()) {
      if (!p->HandleAllocated()) continue;
      RECT cr{};
      GetClientRect(p->Handle(), &cr);
      MapWindowPoints(p->Handle(), nullptr, reinterpret_cast<POINT*>(&cr), 2);
      clip = TRect{std::max(clip.Left, static_cast<int>(cr.left)), std::max(clip.Top, static_cast<int>(cr.top)),
                   std::min(clip.Right, static_cast<int>(cr.right)), std::min(clip.Bottom, static_cast<int>(cr.bottom))};
    }
    if (clip.Right < clip.Left) clip.Right = clip.Left;
    if (clip.Bottom < clip.Top) clip.Bottom = clip.Top;
    visible = TRect{clip.Left - screen.Left, clip.Top - screen.Top, clip.Right - screen.Left,
                    clip.Bottom - screen.Top};
    TCustomForm* form = GetParentForm(FOwnerControl);
    target = form != nullptr && form->HandleAllocated() ? TopLevelWindowOf(form->Handle()) : nullptr;
  } else {
    if (wnd == nullptr) return;
    RECT wr{};
    GetWindowRect(wnd, &wr);
    screen = TRect{wr.left, wr.top, wr.right, wr.bottom};
    visible = TRect{0, 0, screen.Width(), screen.Height()};
    target = TopLevelWindowOf(wnd);
  }
  // A glow already shown would stay on screen with nobody knowing its id: it goes first.
  HideGlow();
  if (SkinManagerLinks().ShowGlow)
    FGlowID = SkinManagerLinks().ShowGlow(screen, visible, FSkinSection, m, target, 255, s->GlowMargin, "GLOW");
}

// ---------------------------------------------------------------------------------------------
// Cache.

void TsCommonData::EnsureCacheBitmap() {
  if (FCache == nullptr) FCache = std::make_unique<TBitmap>();
  if (FCache->GetHandleType() != TBitmapHandleType::bmDIB) FCache->SetHandleType(TBitmapHandleType::bmDIB);
  if (FCache->GetPixelFormat() != TPixelFormat::pf32bit) FCache->SetPixelFormat(TPixelFormat::pf32bit);
  if (FOwnerControl != nullptr &&
      (FCache->GetWidth() != FOwnerControl->Width() || FCache->GetHeight() != FOwnerControl->Height()))
    FCache->SetSize(FOwnerControl->Width(), FOwnerControl->Height());
}

void TsCommonData::DropCache() {
  if (FCache == nullptr) return;
  FCache->SetSize(0, FCache->GetHeight());
  // The released handle goes straight to an owner that deletes it.
  if (FCache->HandleAllocated()) TOwnedBitmap(FCache->ReleaseHandle());
}

void TsCommonData::ClearIndexes() { FSectionIndex = FBorderIndex = FTextureIndex = FHotTextureIndex = -1; }

void TsCommonData::SetPrintDC(HDC dc) {
  FPrintDC = dc;
  if (dc != nullptr)
    FCtrlState |= csPrintingToDC;
  else
    FCtrlState &= static_cast<std::uint16_t>(~csPrintingToDC);
}

namespace {

// Clips DC to `dest`, lets `exclude` take out child areas, copies the cache piece.
template <class F>
void CopyCachePiece(TsCommonData* data, const TRect& source, int yOffset, int xOffset, bool updateFirst,
                    HDC dc, const TRect& dest, F exclude) {
  if (data == nullptr || data->CacheBitmap() == nullptr || data->CacheBitmap()->Empty() || dc == nullptr) return;
  if (updateFirst) GdiFlush();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, dest.Left, dest.Top, dest.Right, dest.Bottom);
  exclude();
  BitBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), data->CacheBitmap()->Canvas()->GetHandle(),
         source.Left + xOffset, source.Top + yOffset, SRCCOPY);
  RestoreDC(dc, saved);
}

bool Overlaps(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

void CopyCacheExcludingChildren(TWinControl* control, TsCommonData* data, const TRect& source, int yOffset,
                                int xOffset, bool updateFirst, HDC dc, const TRect& dest) {
  CopyCachePiece(data, source, yOffset, xOffset, updateFirst, dc, dest, [&] {
    if (control == nullptr) return;
    for (int i = 0; i < control->ControlCount(); ++i) {
      TControl* c = control->Controls(i);
      if (!c->Visible()) continue;
      const TRect r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
      if (!Overlaps(r, dest)) continue;
      if (Designing(c) || (c->ControlStyle() & csOpaque) != 0 || !c->IsWindowed())
        ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    }
  });
}

void CopyCacheFrame(TWinControl* control, TsCommonData* data, HDC dc) {
  TBitmap* cache = data != nullptr ? data->CacheBitmap() : nullptr;
  if (control == nullptr || dc == nullptr || !control->HandleAllocated() || cache == nullptr ||
      cache->GetWidth() != control->Width() || cache->GetHeight() != control->Height())
    return;
  const TRect c = ClientRectInWindow(control->Handle());
  const int w = control->Width(), h = control->Height();
  HDC src = cache->Canvas()->GetHandle();
  const TRect strips[] = {{0, 0, w, c.Top}, {0, c.Top, c.Left, c.Bottom}, {0, c.Bottom, w, h}, {c.Right, c.Top, w, c.Bottom}};
  for (const TRect& s : strips)
    if (!s.IsEmpty()) BitBlt(dc, s.Left, s.Top, s.Width(), s.Height(), src, s.Left, s.Top, SRCCOPY);
}

void PaintCacheFromParent(TControl* control, TsCommonData* d) {
  d->EnsureCacheBitmap();
  TBitmap* cache = d->CacheBitmap();
  TsSkinManager* m = d->GetSkinManager();
  if (cache == nullptr || cache->GetWidth() <= 0 || cache->GetHeight() <= 0 || m == nullptr) return;
  PaintControlItemFromParent(control, d->SectionIndex(), m->Tables(),
                             d->GetCustomColor() ? control->Color() : TColor(0xFF00FF), d->HueOffsetOf(),
                             d->SaturationOf(), cache, 0, m->MasterBitmap());
  d->BGChanged = 0;
}

void CopyCacheExcludingChildWindows(HWND wnd, TsCommonData* data, const TRect& source, int yOffset,
                                    int xOffset, bool updateFirst, HDC dc, const TRect& dest) {
  CopyCachePiece(data, source, yOffset, xOffset, updateFirst, dc, dest, [&] {
    if (wnd == nullptr) return;
    const TsSkinManager* m = data->GetSkinManager();
    const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
    const int gb = FindSectionIndex(t, "GROUPBOX");
    const int mask = gb >= 0 ? FindMaskEntry(t, gb, "GROUPBOX", "BORDERSMASK") : -1;
    for (HWND c = GetWindow(wnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      if (!IsWindowVisible(c)) continue;
      RECT wr{};
      GetWindowRect(c, &wr);
      MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&wr), 2);
      const LONG style = GetWindowLongA(c, GWL_STYLE);
      const LONG ex = GetWindowLongA(c, GWL_EXSTYLE);
      if ((style & 0xF) == BS_GROUPBOX && (ex & WS_EX_CLIENTEDGE) == 0) {
        // A group box only covers its caption strip and its borders.
        const int caption = static_cast<int>(SendSkinCommand(c, SkinCmdQueryContainer, 0));
        const int l = MaskBorderLeft(t, mask), r = MaskBorderRight(t, mask), b = MaskBorderBottom(t, mask);
        ExcludeClipRect(dc, wr.left, wr.top, wr.right, wr.top + caption);
        ExcludeClipRect(dc, wr.left, wr.top, wr.left + l, wr.bottom);
        ExcludeClipRect(dc, wr.right - r, wr.top, wr.right, wr.bottom);
        ExcludeClipRect(dc, wr.left, wr.bottom - b, wr.right, wr.bottom);
      } else {
        ExcludeClipRect(dc, wr.left, wr.top, wr.right, wr.bottom);
      }
    }
  });
}

// ---------------------------------------------------------------------------------------------
// The common answer to the skin command message.

namespace {

// Commands 1 to 3 concern only the receivers of the manager that sent them (nil: the default).
bool FromOwnManager(const TMessage& m, const TsCommonData* d) { return IsFromOwnManager(m, d); }

// Command 21: the owner's background colour, a see-through section's mixed by its share.
bool AnswerColor(TMessage& m, TsCommonData* d) {
  TControl* owner = d->OwnerControl();
  if (owner == nullptr) return false;
  if (!d->HasSkin()) {
    m.Result = static_cast<LRESULT>(RGBOf(owner->Color()));
    return true;
  }
  const TsSkinManager* mgr = d->GetSkinManager();
  const TsGenState& s = mgr->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())].Props[0];
  if (s.Transparency >= 100) {
    m.Result = static_cast<LRESULT>(ParentColorOf(owner, nullptr, RGBOf(owner->Color())));
    return true;
  }
  m.Result = static_cast<LRESULT>(d->SectionColor(0, nullptr));
  return true;
}

bool AnswerSeeThrough(TMessage& m, TsCommonData* d) {
  const TsSkinManager* mgr = d->GetSkinManager();
  const TsSkinTables* t = mgr != nullptr ? mgr->Tables() : nullptr;
  if (!SectionIndexInRange(t, d->SectionIndex())) return false;
  const TsGenState& s = t->GeneralData[static_cast<size_t>(d->SectionIndex())].Props[0];
  TControl* owner = d->OwnerControl();
  if (s.Transparency == 100 && owner != nullptr && owner->Parent() != nullptr) {
    m.Result = QuerySkinControl(owner->Parent(), SkinCmdIsSeeThrough) & 0x7F;
    return true;
  }
  const bool filled = StateHasGradient(s) || StateHasTexture(s, d->TextureIndex());
  m.Result = filled || d->DependsOnBackground() ? 1 : 0;
  return true;
}

void ParentMoved(TMessage& m, TsCommonData* d) {
  const bool depends = d->DependsOnBackground();
  if (depends) d->BGChanged = 1;
  auto* w = As<TWinControl>(d->OwnerControl());
  if (w == nullptr) return;
  if (ArgumentOf(m) == 1 && w->HandleAllocated())
    RedrawWindow(w->Handle(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_NOERASE | RDW_NOINTERNALPAINT | RDW_INVALIDATE);
  if (depends) ParentMovedToChildren(w, false, false);
}

void Unskin(const TMessage& m, TsCommonData* d) {
  if (!FromOwnManager(m, d)) return;
  if (d->StoredSkinManager() != nullptr && d->StoredSkinManager()->IsDestroying()) d->SetSkinManager(nullptr);
  d->ClearIndexes();
  d->HoldPaint = 1;
  d->DropCache();
  if (auto* w = As<TWinControl>(d->OwnerControl()))
    for (int i = 0; i < w->ControlCount(); ++i)
      if (auto* label = As<TLabel>(w->Controls(i))) label->Font()->SetColor(clWindowText);
}

void DropCacheCommand(TsCommonData* d) {
  if (d->CacheBitmap() == nullptr) return;
  if (auto* w = As<TWinControl>(d->OwnerControl())) DropCacheOfChildren(w, true);
  d->DropCache();
  d->BGChanged = 1;
  d->HoldPaint = 1;
}

}  // namespace

bool IsFromOwnManager(const TMessage& m, const TsCommonData* d) {
  auto* sender = reinterpret_cast<TsSkinManager*>(m.LParam);
  if (sender == nullptr) sender = TsSkinManager::DefaultManager();
  return sender == d->GetSkinManager();
}

bool HandleSkinCommand(TMessage& m, TsCommonData* d) {
  if (d == nullptr || m.Msg != WM_SKINCOMMAND) return false;
  // Addresses come only from the engine's own senders on this thread.
  if (!SkinCommandAllowed(m.WParam, m.LParam)) return false;
  switch (SkinCommandOf(m.WParam)) {
    case SkinCmdSkinLoaded:
      if (FromOwnManager(m, d)) {
        d->ResolveSection();
        d->UpdateTransparency(false);
        AnimationInProgress = false;
      }
      return false;
    case SkinCmdUnskin: Unskin(m, d); return false;
    case SkinCmdRedrawSkin:
      if (FromOwnManager(m, d)) {
        d->BGChanged = 1;
        d->HoldPaint = 0;
        d->UpdateColors(true);
        d->UpdateTransparency(false);
      }
      return false;
    case SkinCmdIsSkinned: m.Result = 1; return true;
    case SkinCmdHoldPaint: d->HoldPaint = ArgumentOf(m) == 1 ? 1 : 0; return false;
    case SkinCmdPaintAtOnce: d->UrgentPainting = ArgumentOf(m) == 1 ? 1 : 0; return false;
    case SkinCmdIsHeld: m.Result = d->BGChanged != 0 || d->HoldPaint != 0 ? 1 : 0; return true;
    case SkinCmdIsPartlyHidden: m.Result = d->PartlyHidden; return true;
    case SkinCmdSectionChanged: return false;   // no process-wide section name is kept
    case SkinCmdTakeSection:
      if (m.LParam != 0) d->SetSkinSection(reinterpret_cast<const TlxSectionInfo*>(m.LParam)->SectionName);
      return false;
    case SkinCmdBackgroundDirty: d->BGChanged = 1; return false;
    case SkinCmdIsSeeThrough: return AnswerSeeThrough(m, d);
    case SkinCmdParentMoved: ParentMoved(m, d); return false;
    case SkinCmdQueryColor: return AnswerColor(m, d);
    case SkinCmdMarkPartlyHidden: d->PartlyHidden = 1; return false;
    case SkinCmdQuerySectionIndex:
      if (m.LParam == 0) return false;
      reinterpret_cast<TlxSectionInfo*>(m.LParam)->SectionIndex = d->SectionIndex();
      m.Result = 1;
      return true;
    case SkinCmdDropCache: DropCacheCommand(d); return false;
    case SkinCmdQueryBackground:
      if (m.LParam != 0) d->ProvideBackground(*reinterpret_cast<TsBackgroundRequest*>(m.LParam), 0, nullptr);
      m.Result = 1;
      return true;
    case SkinCmdTransparencyState:
      if (m.LParam == 1)
        d->UpdateTransparency(true);
      else
        m.Result = d->CtrlState();
      return true;
    case SkinCmdQueryCommonData: m.Result = reinterpret_cast<LRESULT>(d); return true;
    case SkinCmdPrintMode: d->SetPrintDC(reinterpret_cast<HDC>(m.LParam)); m.Result = 1; return true;
    case SkinCmdQueryAppObject: m.Result = reinterpret_cast<LRESULT>(Application); return false;
    default: return false;
  }
}

// ---------------------------------------------------------------------------------------------
// The common reaction to window messages.

namespace {

// The control's theme is reset only where the application draws with visual styles.
bool ThemesInUse() {
  const auto entry = ThemeEntries().IsAppThemed;
  return entry != nullptr && entry() != FALSE;
}

void EditFrameChanged(TsCommonData* d, TWinControl* w) {
  d->BGChanged = 1;
  if (w->HandleAllocated()) SendMessageA(w->Handle(), WM_NCPAINT, 0, 0);
}

void FocusChanged(TsCommonData* d, bool focused) {
  auto* w = As<TWinControl>(d->OwnerControl());
  if (w == nullptr || !w->CanFocus() || !w->Showing()) return;
  d->BGChanged = 1;
  d->Focused = focused ? 1 : 0;
  const TsSkinManager* m = d->GetSkinManager();
  const bool editFrame = d->HasSkin() && IsEditKind(d->ControlKind()) &&
                         m->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())].States > 1;
  if ((focused ? editFrame : IsEditKind(d->ControlKind()) && w->Visible()) && w->HandleAllocated())
    RedrawWindow(w->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void MouseEnter(TsCommonData* d) {
  TControl* c = d->OwnerControl();
  if (c == nullptr || Designing(c) || !d->HasSkin()) return;
  const bool container = IsContainerKind(d->ControlKind());
  auto* w = As<TWinControl>(c);
  TsSkinManager* m = d->GetSkinManager();
  if (!container) d->MouseAbove = 1;
  if (w == nullptr || m != TsSkinManager::DefaultManager()) return;
  m->TrackHoverWindow(w->Handle());
  if (!IsNoGlowKind(d->ControlKind())) d->UpdateGlow(false, nullptr);
  if (IsEditKind(d->ControlKind()) && m->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())].States > 1)
    EditFrameChanged(d, w);
}

void MouseLeave(TsCommonData* d) {
  TControl* c = d->OwnerControl();
  if (c == nullptr || Designing(c) || !d->HasSkin()) return;
  if (!IsContainerKind(d->ControlKind())) d->MouseAbove = 0;
  if (!IsNoGlowKind(d->ControlKind())) d->HideGlow();
  if (auto* w = As<TWinControl>(c); w != nullptr && IsEditKind(d->ControlKind()) && w->Visible())
    EditFrameChanged(d, w);
}

void VisibleChanged(const TMessage& m, TsCommonData* d) {
  TControl* c = d->OwnerControl();
  if (c == nullptr || c->IsDestroying() || d->CacheBitmap() == nullptr) return;
  if (m.WParam != 0) {
    d->HoldPaint = 0;
  } else {
    d->DropCache();
    if (auto* w = As<TWinControl>(c)) DropCacheOfChildren(w, false);
  }
  d->BGChanged = 1;
}

void Moved(TsCommonData* d) {
  if (!d->DependsOnBackground()) return;
  d->BGChanged = 1;
  if (TControl* c = d->OwnerControl())
    c->Perform(WM_SKINCOMMAND, MakeSkinWParam(SkinCmdParentMoved, 1), 0);
  d->HideGlow();
}

// The owner's popup menu is about to open: skinned while the skin is active, the system's
// otherwise.
void ContextMenu(TsCommonData* d) {
  TControl* c = d->OwnerControl();
  TsSkinManager* m = d->GetSkinManager();
  if (c == nullptr || c->PopupMenu() == nullptr || m == nullptr || m->SkinableMenus() == nullptr) return;
  m->SkinableMenus()->HookPopupMenu(c->PopupMenu(), m->Tables() != nullptr && m->SkinData().Active);
}

void Sized(TsCommonData* d) {
  if (!d->HasSkin()) return;
  d->BGChanged = 1;
  auto* w = As<TWinControl>(d->OwnerControl());
  if (w != nullptr && StateHasGradient(d->GetSkinManager()->Tables()->GeneralData[static_cast<size_t>(d->SectionIndex())].Props[0]))
    ParentMovedToChildren(w, true, true);
  d->HideGlow();
}

}  // namespace

bool HandleCommonMessage(TMessage& m, TsCommonData* d) {
  if (d == nullptr) return false;
  if (m.Msg == WM_SKINCOMMAND) return HandleSkinCommand(m, d);
  switch (m.Msg) {
    case WM_MOVE: Moved(d); break;
    case WM_SIZE: Sized(d); break;
    case WM_SETFOCUS: FocusChanged(d, true); break;
    case WM_KILLFOCUS: FocusChanged(d, false); break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
      d->MouseAbove = 0;
      d->Focused = 0;
      if (d->OwnerControl() != nullptr && !d->OwnerControl()->Enabled()) d->HideGlow();
      break;
    case WM_CONTEXTMENU: ContextMenu(d); break;
    case WM_UPDATEUISTATE:
      if (d->HasSkin()) return true;
      if (auto* w = As<TWinControl>(d->OwnerControl()); w != nullptr && w->HandleAllocated() && ThemesInUse())
        ResetWindowTheme(w->Handle());
      break;
    case WM_PARENTNOTIFY: {
      const WORD event = LOWORD(m.WParam);
      if ((event == WM_CREATE && As<TWinControl>(d->OwnerControl()) != nullptr) || event == WM_DESTROY)
        NotifyParentForm(d->OwnerControl());
      break;
    }
    case CM_VISIBLECHANGED: VisibleChanged(m, d); break;
    case CM_MOUSEENTER: MouseEnter(d); break;
    case CM_MOUSELEAVE: MouseLeave(d); break;
    case WM_DESTROY: ForgetOwnerWindow(d->OwnerControl()); break;
    case CM_SHOWINGCHANGED:
      if (d->OwnerControl() != nullptr && d->OwnerControl()->Visible()) d->AfterLoad();
      break;
    default: break;
  }
  return false;
}

bool HandleContainerMessage(TMessage& m, TsCommonData* d, TWinControl* container) {
  if (HandleCommonMessage(m, d)) return true;
  if (m.Msg == WM_SKINCOMMAND && container != nullptr) {
    const std::uint16_t command = SkinCommandOf(m.WParam);
    if (command >= SkinCmdSkinLoaded && command <= SkinCmdRedrawSkin && SkinCommandAllowed(m.WParam, m.LParam))
      BroadcastToChildControls(container, m);
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsCtrlSkinData, TsCommonData, nullptr)

void TsCtrlSkinData::PublishProperties(TPublisher<TsCtrlSkinData>& P) {
  P.Integer("HUEOffset", &TsCtrlSkinData::GetHUEOffset, &TsCtrlSkinData::SetHUEOffset).Default(0);
  P.Integer("Saturation", &TsCtrlSkinData::GetSaturation, &TsCtrlSkinData::SetSaturation).Default(0);
}

void TsCtrlSkinData::Assign(TPersistent* source) {
  TsCommonData::Assign(source);
  if (auto* s = As<TsCtrlSkinData>(source)) {
    FHueOffset = s->FHueOffset;
    FSaturation = s->FSaturation;
  }
}

bool BarSkinLoaded(TMessage& m, TsCommonData* d, TWinControl* bar) {
  if (!IsFromOwnManager(m, d)) return false;
  if ((bar->ComponentState() & csDesigning) == 0 && bar->HandleAllocated()) SwitchOffWindowTheme(bar->Handle());
  BroadcastToChildControls(bar, m);
  HandleCommonMessage(m, d);
  return true;
}
