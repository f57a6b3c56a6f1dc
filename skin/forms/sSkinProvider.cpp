// The skin provider of a form: see sSkinProvider.h.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>
#include <utility>

#include "framework/base/TypInfo.h"
#include "framework/win/StdCtrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxCtrlAdapter.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sDwmApi.h"

bool PreviewMode = false;
HWND PreviewWindow = nullptr;

namespace {

// The control kind of a form's skin state.
constexpr int FormControlKind = 224;

TParamSource ParamSource;
TEditorWindowFinder EditorFinder = nullptr;

std::vector<std::string> ProgramParams() {
  if (ParamSource) return ParamSource();
  std::vector<std::string> params;
  for (int i = 1; i <= TApplication::ParamCount(); ++i) params.push_back(TApplication::ParamStr(i));
  return params;
}

HWND FindEditorWindow() {
  return EditorFinder != nullptr ? EditorFinder() : FindWindowA(nullptr, SkinEditorCaption);
}

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

}  // namespace

void SetProviderParamSource(TParamSource source) { ParamSource = std::move(source); }
void SetEditorWindowFinder(TEditorWindowFinder finder) { EditorFinder = finder; }

// ---------------------------------------------------------------------------------------------
// Option objects.

ORBEX_IMPLEMENT_PUBLISHED(TlxAddedTitle, TPersistent, nullptr)

void TlxAddedTitle::PublishProperties(TPublisher<TlxAddedTitle>& P) {
  P.Object("Font", &TlxAddedTitle::Font, &TlxAddedTitle::SetFont);
  P.String("Text", &TlxAddedTitle::Text, &TlxAddedTitle::SetText);
  P.Boolean("ShowMainCaption", &TlxAddedTitle::ShowMainCaption, &TlxAddedTitle::SetShowMainCaption)
      .Default(1);
}

TlxAddedTitle::TlxAddedTitle(TsSkinProvider* owner) : FOwner(owner), FFont(std::make_unique<TFont>()) {
  FFont->SetColor(clNone);
}

TlxAddedTitle::~TlxAddedTitle() = default;

void TlxAddedTitle::Changed() {
  if (FOwner != nullptr && !FOwner->IsLoading()) FOwner->RepaintFormFrame();
}

void TlxAddedTitle::SetFont(TFont* value) {
  if (value == nullptr || value == FFont.get()) return;
  FFont->Assign(value);
  Changed();
}

void TlxAddedTitle::SetText(const std::string& value) {
  if (SetAndCheck(FText, value)) Changed();
}

void TlxAddedTitle::SetShowMainCaption(bool value) {
  if (SetAndCheck(FShowMainCaption, value)) Changed();
}

ORBEX_IMPLEMENT_PUBLISHED(TsTitleIcon, TPersistent, nullptr)

void TsTitleIcon::PublishProperties(TPublisher<TsTitleIcon>& P) {
  P.Object("Glyph", &TsTitleIcon::Glyph, &TsTitleIcon::SetGlyph);
  P.Integer("Height", &TsTitleIcon::Height, &TsTitleIcon::Height).Default(0);
  P.Integer("Width", &TsTitleIcon::Width, &TsTitleIcon::Width).Default(0);
}

TsTitleIcon::TsTitleIcon(TsSkinProvider* owner) : FOwner(owner), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->OnChange = [this](TObject*) {
    if (FOwner != nullptr && !FOwner->IsLoading()) FOwner->RepaintFormFrame();
  };
}
TsTitleIcon::~TsTitleIcon() = default;

void TsTitleIcon::SetGlyph(TBitmap* value) {
  if (value != nullptr && value != FGlyph.get()) FGlyph->Assign(value);
}

ORBEX_IMPLEMENT_PUBLISHED(TsTitleButton, TCollectionItem, nullptr)

void TsTitleButton::PublishProperties(TPublisher<TsTitleButton>& P) {
  P.Boolean("Enabled", &TsTitleButton::Enabled, &TsTitleButton::Enabled).Default(1);
  P.Object("Glyph", &TsTitleButton::Glyph, &TsTitleButton::SetGlyph);
  P.String("Hint", &TsTitleButton::Hint, &TsTitleButton::Hint);
  P.String("Name", &TsTitleButton::GetName, &TsTitleButton::SetName);
  P.Boolean("UseSkinData", &TsTitleButton::UseSkinData, &TsTitleButton::UseSkinData).Default(1);
  P.Boolean("Visible", &TsTitleButton::Visible, &TsTitleButton::SetVisible).Default(1);
  P.Event("OnMouseDown", &TsTitleButton::OnMouseDown);
  P.Event("OnMouseUp", &TsTitleButton::OnMouseUp);
}

TsTitleButton::TsTitleButton(TCollection* collection)
    : TCollectionItem(collection), FGlyph(std::make_unique<TBitmap>()) {}

TsTitleButton::~TsTitleButton() = default;

void TsTitleButton::SetGlyph(TBitmap* value) {
  if (value != nullptr && value != FGlyph.get()) FGlyph->Assign(value);
}

void TsTitleButton::SetName(const std::string& value) { FName = value; }

void TsTitleButton::SetVisible(bool value) {
  if (!SetAndCheck(FVisible, value)) return;
  auto* buttons = As<TsTitleButtons>(Collection());
  if (buttons != nullptr && buttons->Provider() != nullptr) buttons->Provider()->RepaintFormFrame();
}

void TsTitleButton::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TsTitleButton::AssignTo(TPersistent* dest) {
  auto* d = As<TsTitleButton>(dest);
  if (d == nullptr) {
    TCollectionItem::AssignTo(dest);
    return;
  }
  d->Enabled = Enabled;
  d->SetGlyph(FGlyph.get());
  d->Hint = Hint;
  d->SetName(FName);
  d->UseSkinData = UseSkinData;
  d->OnMouseDown = OnMouseDown;
  d->OnMouseUp = OnMouseUp;
}

ORBEX_IMPLEMENT_CLASS(TsTitleButtons, TCollection, nullptr)

TsTitleButtons::TsTitleButtons(TsSkinProvider* provider)
    : TCollection(&TsTitleButton::StaticClassInfo(),
                  [](TCollection* c) -> TCollectionItem* { return new TsTitleButton(c); }, provider),
      FProvider(provider) {}

TsTitleButtons::~TsTitleButtons() { FProvider = nullptr; }

// ---------------------------------------------------------------------------------------------
// The provider: published properties.

ORBEX_IMPLEMENT_PUBLISHED(TsSkinProvider, TComponent, &CreateComponentOf<TsSkinProvider>)

void TsSkinProvider::PublishProperties(TPublisher<TsSkinProvider>& P) {
  using S = TsSkinProvider;
  P.Object("AddedTitle", &S::AddedTitle);
  P.Boolean("AllowAnimation", &S::AllowAnimation, &S::AllowAnimation).Default(1);
  P.Boolean("AllowExtBorders", &S::AllowExtBorders, &S::SetAllowExtBorders).Default(1);
  P.Boolean("AllowBlendOnMoving", &S::AllowBlendOnMoving, &S::AllowBlendOnMoving).Default(1);
  P.Enum("CaptionAlignment", &S::CaptionAlignment, &S::SetCaptionAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"})
      .Default(taLeftJustify);
  P.Boolean("DrawNonClientArea", &S::DrawNonClientArea, &S::SetDrawNonClientArea).Default(1);
  P.Object("SkinData", &S::SkinData);
  P.Enum("GripMode", &S::GripMode, &S::GripMode, {"gmNone", "gmRightBottom"}).Default(gmNone);
  P.Boolean("MakeSkinMenu", &S::MakeSkinMenu, &S::MakeSkinMenu).Default(0);
  P.String("MenuLineSkin", &S::MenuLineSkin, &S::SetMenuLineSkin);
  P.Enum("ResizeMode", &S::ResizeMode, &S::ResizeMode, {"rmStandard", "rmBorder"}).Default(rmStandard);
  P.Boolean("ScreenSnap", &S::ScreenSnap, &S::ScreenSnap).Default(0);
  P.Integer("SnapBuffer", &S::SnapBuffer, &S::SnapBuffer).Default(10);
  P.Boolean("ShowAppIcon", &S::ShowAppIcon, &S::SetShowAppIcon).Default(1);
  P.Object("TitleButtons", &S::TitleButtons, &S::SetTitleButtons);
  P.Object("TitleIcon", &S::TitleIcon);
  P.String("TitleSkin", &S::TitleSkin, &S::SetTitleSkin);
  P.Boolean("UseGlobalColor", &S::UseGlobalColor, &S::SetUseGlobalColor).Default(1);
  P.Event("OnAfterAnimation", &S::OnAfterAnimation);
  P.Event("OnExtHitTest", &S::OnExtHitTest);
  P.Event("OnSkinItem", &S::OnSkinItem);
}

// ---------------------------------------------------------------------------------------------
// Construction and destruction.

TsSkinProvider::TsSkinProvider(TComponent* AOwner) : TComponent(AOwner) {
  auto* owner = As<TCustomForm>(AOwner);
  if (owner == nullptr) throw EAbort("TsSkinProvider component may be used with forms only!");
  RegisterMenuLineBackground();
  const std::vector<std::string> params = ProgramParams();
  PreviewMode = !Designing(this) && !params.empty() && params[0] == "/lxpreview";
  if (Designing(this)) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      if (owner->Components(i) != this && As<TsSkinProvider>(owner->Components(i)) != nullptr) {
        FForm = nullptr;
        throw EAbort("Only one instance of the TsSkinProvider component is allowed!");
      }
    }
  } else {
    LRESULT answer = 0;
    {
      const WPARAM wparam = MakeSkinWParam(SkinCmdFindProvider);
      TSkinCommandSendScope scope(wparam, 0);
      answer = owner->Perform(WM_SKINCOMMAND, wparam, 0);
    }
    auto* other = reinterpret_cast<TsSkinProvider*>(answer);
    if (other != nullptr && other != this) {
      if (other->RuntimeMade())
        delete other;
      else
        FEmpty = true;
    }
  }
  // An empty provider keeps no form: nothing it does later (setters, destruction) may reach
  // the form that another provider skins.
  FForm = FEmpty ? nullptr : owner;
  FSkinData = std::make_unique<TsCommonData>(this, FormControlKind);
  FSkinData->SetSkinSection("FORM");
  if (owner->ControlState() != 0) FSkinData->HoldPaint = 1;
  FAddedTitle = std::make_unique<TlxAddedTitle>(this);
  FCompositionMode = AeroIsActive();
  FTitleIcon = std::make_unique<TsTitleIcon>(this);
  FTitleButtons = std::make_unique<TsTitleButtons>(this);
  if (!Designing(this) && !FEmpty) HookForm();
}

void TsSkinProvider::ReleaseMDIParts() {
  FMDIIcons.reset();
  if (FMDIReleased) return;
  FMDIReleased = true;
  // A child with a menu merged into the main form's bar: the main form's menu line changes.
  if (MDIChild() && FForm->Menu() != nullptr)
    if (TsSkinProvider* parent = SkinnedMDIParent(); parent != nullptr && parent != this) {
      parent->MenuLineChanged(true);
    }
  // The client window's adapter goes while the window still exists.
  FMDIForm.reset();
  if (MDIParentProvider == this) MDIParentProvider = nullptr;
  if (ActiveChildProvider == this) ActiveChildProvider = nullptr;
}

TsSkinProvider* TsSkinProvider::CreateRuntime(TComponent* AOwner) {
  auto* p = new TsSkinProvider(AOwner);
  p->FRuntimeMade = true;
  try {
    p->AfterConstruction();
  } catch (...) {
    delete p;
    throw;
  }
  return p;
}

TsSkinProvider::~TsSkinProvider() {
  *FAlive = false;
  ReleaseMDIParts();
  FCtrlAdapter.reset();
  FBorderForm.reset();   // extended borders: the border window goes before the form's window
  // An empty provider never took the form: it has nothing to give back.
  if (!FEmpty) UnhookForm();
  // A form that lives on gets back what the skin took, so that it draws itself again (or a
  // later provider finds it as it was designed).
  if (!FEmpty && FForm != nullptr && !FForm->IsDestroying()) {
    if (FForm->HandleAllocated()) SetDwmTransitionsOff(FForm->Handle(), false);
    GiveFormBack();
  }
  FSystemMenu.reset();
}

void TsSkinProvider::Destroying() {
  TComponent::Destroying();
  ReleaseMDIParts();
  FCtrlAdapter.reset();   // the adapters give the controls back while they still have windows
  FBorderForm.reset();   // extended borders
  if (!FEmpty) UnhookForm();
}

void TsSkinProvider::HookForm() {
  FForm->SetDoubleBuffered(false);
  FWorkBitmap = std::make_unique<TBitmap>();
  MenuLineCount = -1;
  FDesignedColor = FForm->Color();
  FSavedWndProc = std::move(FForm->WindowProc);
  FForm->WindowProc = [this](TMessage& m) { NewWndProc(m); };
  FHooked = true;
  RegisterSkinnedForm(FForm);
  FormActive = true;
}

void TsSkinProvider::UnhookForm() {
  if (!FHooked) return;
  WindowGoing();
  FHooked = false;
  UnregisterSkinnedForm(FForm);
  FForm->WindowProc = std::move(FSavedWndProc);
  FSavedWndProc = nullptr;
}

void TsSkinProvider::WindowGoing() {
  SetFormMoving(false);
  if (FForm == nullptr || !FForm->HandleAllocated()) return;
  const HWND h = FForm->Handle();
  if (FPressedButton != 0 && GetCapture() == h) ReleaseCapture();
  FPressedButton = 0;
  TsSkinManager::ForgetHoverWindow(h);
}

void TsSkinProvider::AfterConstruction() {
  TComponent::AfterConstruction();
  if (FEmpty || FRuntimeMade || Designing(this)) return;
  TsSkinManager* m = SkinManager();
  if (m == nullptr || !m->GetActive()) return;
  PrepareForm();
}

void TsSkinProvider::Loaded() {
  TComponent::Loaded();
  if (FEmpty || FRuntimeMade || Designing(this) || SkinManager() == nullptr) return;
  if (Skinned()) InitProvider();
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  ControlNotification(AComponent, Operation);
  auto* manager = As<TsSkinManager>(AComponent);
  if (manager == nullptr || FSkinData == nullptr) return;
  if (Operation == TOperation::opInsert && FSkinData->StoredSkinManager() == nullptr &&
      manager != FSkinData->GetSkinManager())
    FSkinData->SetSkinManager(manager);
  else if (Operation == TOperation::opRemove && manager == FSkinData->StoredSkinManager())
    FSkinData->SetSkinManager(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Setters.

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
  if (!SetAndCheck(FCaptionAlignment, value)) return;
  FSkinData->BGChanged = 1;
  if (FForm != nullptr && FForm->Visible() && !Designing(this) && Skinned()) RepaintFormFrame();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (!SetAndCheck(FShowAppIcon, value)) return;
  FSkinData->BGChanged = 1;
  if (FForm != nullptr && FForm->Visible() && FForm->HandleAllocated())
    SendMessageA(FForm->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::SetTitleButtons(TsTitleButtons* value) {
  if (value != nullptr && value != FTitleButtons.get()) FTitleButtons->Assign(value);
}

void TsSkinProvider::SetMenuLineSkin(const std::string& value) {
  if (!SetAndCheck(FMenuLineSkin, value)) return;
  if (Designing(this)) FSkinData->RequestRepaint();
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
  if (!SetAndCheck(FUseGlobalColor, value) || FForm == nullptr) return;
  TsSkinManager* m = SkinManager();
  if (Skinned() && value && !FSkinData->GetCustomColor() && m != nullptr)
    FForm->SetColor(m->GlobalInfoColor());
  else
    FForm->SetColor(FDesignedColor);
}

void TsSkinProvider::SetDrawNonClientArea(bool value) {
  if (!SetAndCheck(FDrawNonClientArea, value) || Designing(this)) return;
  const bool showing = FForm != nullptr && FForm->HandleAllocated() && FForm->Showing();
  if (value) {
    SetSystemMenuStyle(true);
    if (showing && Skinned()) {
      // The skinned frame comes back whole: region, menu line (hooked at the frame's next
      // painting) and the border window the manager asks for.
      FSkinData->BGChanged = 1;
      RegionChanged = true;
      MenuLineCount = -1;
      if (TsSkinManager* m = SkinManager()) UpdateBorderForm(m->GetExtendedBorders());
      RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
      RefreshBorderForm(true);
    }
    return;
  }
  // The system draws the frame again: nothing of the skinned one stays (border window, menu
  // line, region, system-menu style).
  FBorderForm.reset();
  SetMenuLineOwnerDraw(false);
  if (FForm != nullptr && FForm->HandleAllocated()) ResetWindowTheme(FForm->Handle());
  SetSystemMenuStyle(false);
  RegionChanged = true;
  if (showing) {
    SetWindowRgn(FForm->Handle(), nullptr, TRUE);
    RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

// ---------------------------------------------------------------------------------------------
// Skin initialisation.

bool TsSkinProvider::DestroyingForm() const {
  return FForm == nullptr || FForm->IsDestroying() || IsDestroying();
}

// The manager is on and holds a skin's sections. Its skin is marked active only after the
// skin-loaded command went round, so that mark is not asked here.
bool TsSkinProvider::SkinIsActive() const {
  TsSkinManager* m = SkinManager();
  return m != nullptr && !m->IsDestroying() && m->GetActive() && m->Tables() != nullptr &&
         !m->Tables()->GeneralData.empty();
}

bool TsSkinProvider::ShowsHelpButton() const { return FForm != nullptr && (FForm->BorderIcons() & biHelp) != 0; }

bool TsSkinProvider::Skinned() const {
  if (FSkinData == nullptr || FEmpty) return false;
  // The section is looked up on first need, as a skin may have come before the form's window.
  if (FSkinData->SectionIndex() < 0 && SkinIsActive() && !DestroyingForm()) FSkinData->ResolveSection();
  return FSkinData->HasSkin();
}

void TsSkinProvider::ResolveIndexes() {
  FSkinData->ResolveSection();
  TsSkinManager* m = SkinManager();
  const TsSkinTables* tables = m != nullptr ? m->Tables() : nullptr;
  FTitleIndex = FindSectionIndex(tables, FTitleSkin.empty() ? "FORMTITLE" : FTitleSkin);
  FCaptionIndex = FindSectionIndex(tables, "CAPTION");
  ResolveTitleButtonMasks();
}

void TsSkinProvider::ApplyGlobalColor() {
  TsSkinManager* m = SkinManager();
  if (FForm == nullptr || m == nullptr || !FUseGlobalColor || FSkinData->GetCustomColor()) return;
  FForm->SetColor(m->GlobalInfoColor());
}

void TsSkinProvider::PrepareForm() {
  if (FEmpty || (FRuntimeMade && !FRuntimeInitialized)) return;
  if (SkinManager() == nullptr || FForm == nullptr || !FForm->HandleAllocated() || !SkinIsActive()) return;
  if (FForm->Menu() != nullptr && FForm->Menu()->OwnerDraw()) MenusInitialized = true;
  if (FSystemMenu == nullptr) {
    FSystemMenu = std::make_unique<TsSystemMenu>(this);
    FSystemMenu->UpdateItems(false);
  }
  SetSystemMenuStyle(true);
  // The first time the skin reaches an MDI main form its client window is skinned.
  if (!FMDISkinningStarted && MDIParent() && !Designing(this)) {
    FMDISkinningStarted = true;
    SetMDIChildrenSkinning(true);
  }
  ResolveIndexes();
  RegionChanged = true;
  CaptionChanged = true;
  if (MDIChild())
    if (TsSkinProvider* parent = SkinnedMDIParent(); parent != nullptr && parent != this) {
      parent->MenuLineChanged(false);
    }
  const bool reading = (FForm->ComponentState() & (csLoading | csReading)) != 0 ||
                       (FForm->FormState() & fsCreating) != 0;
  if (!reading) ApplyGlobalColor();
}

void TsSkinProvider::InitProvider() {
  if (FForm != nullptr && FForm->HandleAllocated()) SetDwmTransitionsOff(FForm->Handle(), FDrawNonClientArea);
  PrepareForm();
  AdaptControls();
  if (FSystemMenu != nullptr) FSystemMenu->UpdateItems(false);
  TsSkinManager* m = SkinManager();
  ResolveUserButtonMasks();
  if (FMDIForm != nullptr) FMDIForm->ConnectToClient();
  if (FForm != nullptr && FForm->BorderStyle() == bsSizeToolWin) {
    AllowBlendOnMoving = false;
    SetUseGlobalColor(true);
  }
  // Extended borders: a shown form gets its border window now, a hidden one when it shows.
  if (m != nullptr && FForm != nullptr && !FForm->IsLoading() && FormShowing()) UpdateBorderForm(m->GetExtendedBorders());
}

HMENU TsSkinProvider::WindowSystemMenu() {
  if (FForm == nullptr || !FForm->HandleAllocated()) return nullptr;
  const HWND h = FForm->Handle();
  if (FWindowSystemMenuOf != h || (FWindowSystemMenu != nullptr && !IsMenu(FWindowSystemMenu))) {
    // A new window (or its menu went): take its menu while it has the style.
    FWindowSystemMenu = (GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU) != 0 ? GetSystemMenu(h, FALSE) : nullptr;
    FWindowSystemMenuOf = h;
  }
  return FWindowSystemMenu;
}

void TsSkinProvider::SetSystemMenuStyle(bool on) {
  if (FForm == nullptr || !FForm->HandleAllocated()) return;
  const HWND h = FForm->Handle();
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  if (on) {
    if ((style & WS_SYSMENU) == 0 && !FSysMenuStyleTaken) return;
    (void)WindowSystemMenu();
    const bool clear = FDrawNonClientArea;
    const LONG wanted = clear ? (style & ~WS_SYSMENU) : (style | WS_SYSMENU);
    if (wanted != style) SetWindowLongA(h, GWL_STYLE, wanted);
    FSysMenuStyleTaken = true;
    return;
  }
  if (!FSysMenuStyleTaken) return;
  if ((style & WS_SYSMENU) == 0) SetWindowLongA(h, GWL_STYLE, style | WS_SYSMENU);
  const LRESULT icon = SendMessageA(h, WM_GETICON, ICON_SMALL, 0);
  SendMessageA(h, WM_SETICON, ICON_SMALL, icon);
  FSysMenuStyleTaken = false;
}

// ---------------------------------------------------------------------------------------------
// Services.

TColor TsSkinProvider::FormBackColor() const {
  if (Skinned() && !FSkinData->GetCustomColor()) {
    TsSkinManager* m = SkinManager();
    const auto& section = m->Tables()->GeneralData[static_cast<size_t>(FSkinData->SectionIndex())];
    const int state = FormActive && section.States > 1 ? 1 : 0;
    return FSkinData->SectionColor(state, FForm->HandleAllocated() ? FForm->Handle() : nullptr);
  }
  return FForm != nullptr ? ColorToRGB(FForm->Color()) : ColorToRGB(clBtnFace);
}

void TsSkinProvider::HandleInitMenuPopup(TMessage& message) {
  if (HIWORD(message.LParam) != 0)
    EnableMenuItem(reinterpret_cast<HMENU>(message.WParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  // The entries this provider added to the window menu the last time go first.
  TMenuItem* window = FForm != nullptr ? FForm->WindowMenu() : nullptr;
  if (window != nullptr)
    for (int i = window->Count() - 1; i >= 0; --i)
      if ((window->Items(i)->Tag() & MDIWindowEntryTag) != 0) window->Delete(i);
  if (!MDIParent() || window == nullptr || FForm->MDIChildCount() == 0 ||
      reinterpret_cast<HMENU>(message.WParam) != window->Handle()) {
    CallSavedWndProc(message);
    return;
  }
  for (int i = 0; i < window->Count(); ++i) window->Items(i)->InitiateAction();
  // The visible children only (the client window would list hidden ones too), each tagged
  // with its index among all the children; an entry that names no child any more does nothing.
  if (window->Count() == 0 || !window->Items(window->Count() - 1)->IsLine()) {
    auto* line = new TMenuItem(this);
    line->SetCaption("-");
    window->Add(line);
  }
  TCustomForm* active = FForm->ActiveMDIChild();
  for (int i = 0; i < FForm->MDIChildCount(); ++i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (!child->Visible()) continue;
    auto* entry = new TMenuItem(this);
    entry->SetCaption(child->Caption());
    entry->SetTag(i | MDIWindowEntryTag);
    entry->SetChecked(child == active);
    entry->OnClick = [this](TObject* sender) {
      const auto index = static_cast<int>(static_cast<TMenuItem*>(sender)->Tag() & ~MDIWindowEntryTag);
      if (DestroyingForm() || index >= FForm->MDIChildCount()) return;
      SendMessageA(FForm->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FForm->MDIChildren(index)->Handle()), 0);
    };
    window->Add(entry);
  }
  message.Result = 0;
}

void TsSkinProvider::ForceNCPaint() {
  TMessage m;
  m.Msg = WM_NCPAINT;
  NewWndProc(m);
}

TPoint TsSkinProvider::ClientOffset() const {
  if (FForm == nullptr || !FForm->HandleAllocated()) return TPoint{0, 0};
  const HWND h = FForm->Handle();
  RECT window{};
  GetWindowRect(h, &window);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  return TPoint{static_cast<int>(origin.x - window.left), static_cast<int>(origin.y - window.top)};
}

// ---------------------------------------------------------------------------------------------
// Title-button measures.

TsFormGeometry TsSkinProvider::Geometry() {
  TsFormGeometry f = FForm != nullptr ? FormGeometryOf(FForm) : TsFormGeometry{};
  f.Skinned = Skinned();
  f.ShowAppIcon = FShowAppIcon;
  f.HasSystemMenu = FSysMenuStyleTaken && WindowSystemMenu() != nullptr;
  f.TitleIconWidth = FTitleIcon->Width;
  f.TitleIconHeight = FTitleIcon->Height;
  if (f.Skinned) ApplySkinGeometry(f, SkinManager()->SkinData());
  // Extended borders: the border window's shadow and extended title.
  if (FBorderForm != nullptr && f.Skinned) {
    const TRect& shadow = SkinManager()->ShadowSizes();
    f.HasBorderWindow = true;
    f.ShadowLeft = shadow.Left;
    f.ShadowTop = shadow.Top;
    f.ShadowRight = shadow.Right;
    f.ShadowBottom = shadow.Bottom;
    f.SysExtendedHeight = SysExtendedHeight;
    // Maximized, the title takes the skin's maximized height.
    if (f.Zoomed && f.MaxTitleHeight > 0) f.ExtTitleHeightSkin = f.MaxTitleHeight;
    const ISystemMetrics& sm = SystemMetrics();
    f.ExtTitleExtra = CaptionHeight(f, sm, true) - CaptionHeight(f, sm, false) - FrameBorderWidth(f, sm, false);
  }
  return f;
}

TsButtonImage TsSkinProvider::SkinButtonImage(const char* key) const {
  TsButtonImage image;
  TsSkinManager* m = SkinManager();
  const TsSkinTables* tables = m != nullptr ? m->Tables() : nullptr;
  const int i = FindMaskEntry(tables, FindSectionIndex(tables, "GLOBALINFO"), "GLOBALINFO", key);
  if (!MaskIndexInRange(tables, i)) return image;
  const TsMaskData& mask = tables->MaskData[static_cast<size_t>(i)];
  image.Exists = true;
  image.Width = mask.R.Width();
  image.ImageCount = mask.ImageCount;
  image.FrameHeight = mask.R.Height() / std::max(1, static_cast<int>(mask.MaskType) + 1);
  image.Separate = mask.Bmp != nullptr;
  return image;
}

int TsSkinProvider::TitleButtonsWidth() {
  TsTitleButtonsInput in;
  TsSkinManager* m = SkinManager();
  if (m != nullptr && m->Tables() != nullptr) {
    in.RightMargin = m->SkinData().BIRightMargin;
    in.Spacing = m->SkinData().BISpacing;
  }
  in.SystemButtons = FSystemMenu != nullptr && FSysMenuStyleTaken;
  if (in.SystemButtons) {
    in.VisibleMax = FSystemMenu->VisibleMax();
    in.VisibleMin = FSystemMenu->VisibleMin();
  }
  in.ShowHelp = ShowsHelpButton();
  const TFormBorderStyle style = FForm != nullptr ? FForm->BorderStyle() : bsSizeable;
  in.LargeSet = style == bsSingle || style == bsSizeable;
  if (in.LargeSet) {
    in.Close = !in.VisibleMax && !in.VisibleMin ? SkinButtonImage("BICLOSEALONE") : TsButtonImage{};
    if (!in.Close.Exists) in.Close = SkinButtonImage("BICONCLOSE");
  } else {
    in.Close = SkinButtonImage("SICONCLOSE");
  }
  // Without a close image of its own set the large one serves.
  if (!in.Close.Exists) {
    in.LargeSet = true;
    in.Close = SkinButtonImage("BICONCLOSE");
  }
  in.Max = SkinButtonImage(in.LargeSet ? "BICONMAX" : "SICONMAX");
  in.Min = SkinButtonImage(in.LargeSet ? "BICONMIN" : "SICONMIN");
  in.Help = SkinButtonImage(in.LargeSet ? "BICONHELP" : "SICONHELP");
  in.UserImage = SkinButtonImage("TITLEBUTTON");
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    const TsTitleButton* b = FTitleButtons->Items(i);
    in.UserButtons.push_back({b->Visible(), !b->Glyph()->Empty(), b->Glyph()->GetWidth()});
  }
  return ::TitleButtonsWidth(in);
}

int TsSkinProvider::UserButtonWidth(const TsTitleButton* button) {
  if (button == nullptr) return 0;
  return ::UserButtonWidth({button->Visible(), !button->Glyph()->Empty(), button->Glyph()->GetWidth()},
                           SkinButtonImage("TITLEBUTTON"));
}

void TsSkinProvider::SaveTitleButtonsArea(bool whole) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (FWorkBitmap == nullptr || cache == nullptr || cache->Empty()) return;
  FSavedStrip = TitleButtonsStrip(Geometry(), SystemMetrics(), TitleButtonsWidth(), cache->GetWidth(), whole);
  ::SaveTitleButtonsArea(FWorkBitmap.get(), cache, FSavedStrip);
}

void TsSkinProvider::RestoreTitleButtonsArea() {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (FWorkBitmap == nullptr || FWorkBitmap->Empty() || cache == nullptr) return;
  ::RestoreTitleButtonsArea(cache, FWorkBitmap.get(), FSavedStrip);
}

// ---------------------------------------------------------------------------------------------
// The skin editor.

void TsSkinProvider::AnnounceToSkinEditor(HWND handle, bool recreated) {
  if (recreated ? PreviewWindow == nullptr : (!PreviewMode || PreviewWindow != nullptr)) return;
  if (TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr) {
    if (!main->HandleAllocated() || main->Handle() != handle) return;
  }
  PreviewWindow = handle;
  PreviewMode = false;
  // Each send waits a bounded time: a hung editor ends the announcement, not the program.
  for (int i = 0; i < 101; ++i) {
    const HWND editor = FindEditorWindow();
    if (editor == nullptr) return;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(editor, WM_SKINEDITOR, 3, reinterpret_cast<LPARAM>(handle),
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, SkinEditorTimeout, &answer) == 0)
      return;
    if (answer == 1) return;
  }
}

void InitSkinProviderUnit() {
  RegisterClassOf<TsSkinProvider>();
  // The manager's redraw of every form also reaches the window the skin editor previews.
  SkinManagerLinks().EditorPreviewWindow = [] { return PreviewWindow; };
}
