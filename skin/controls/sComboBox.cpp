// Stand-in skinned combo box and its bound label (see sComboBox.h).
#include "skin/controls/sComboBox.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsEditLabel, TsLabel, nullptr)
void TsEditLabel::PublishProperties(TPublisher<TsEditLabel>&) {}

ORBEX_IMPLEMENT_PUBLISHED(TsBoundLabel, TPersistent, nullptr)

void TsBoundLabel::PublishProperties(TPublisher<TsBoundLabel>& P) {
  P.Boolean("Active", &TsBoundLabel::GetActive, &TsBoundLabel::SetActive).Default(0);
  P.String("Caption", &TsBoundLabel::GetCaption, &TsBoundLabel::SetCaption);
  P.Integer("Indent", &TsBoundLabel::GetIndent, &TsBoundLabel::SetIndent);
  P.Object("Font", &TsBoundLabel::GetFont);
  P.Enum("Layout", &TsBoundLabel::GetLayout, &TsBoundLabel::SetLayout,
         {"sclLeft", "sclTopLeft", "sclTopCenter", "sclTopRight", "sclLeftTop", "sclBottomLeft",
          "sclBottomCenter", "sclBottomRight"});
  P.Integer("MaxWidth", &TsBoundLabel::GetMaxWidth, &TsBoundLabel::SetMaxWidth);
  P.Boolean("UseSkinColor", &TsBoundLabel::GetUseSkinColor, &TsBoundLabel::SetUseSkinColor);
}

TsBoundLabel::TsBoundLabel(TWinControl* control)
    : FControl(control), FFont(std::make_unique<TFont>()) {}

TsBoundLabel::~TsBoundLabel() { SetActive(false); }

TFont* TsBoundLabel::GetFont() const { return FLabel != nullptr ? FLabel->Font() : FFont.get(); }

void TsBoundLabel::SetActive(bool v) {
  if (v == GetActive()) return;
  if (!v) {
    FFont->Assign(FLabel->Font());
    TsEditLabel* l = FLabel;
    FLabel = nullptr;
    delete l;
    return;
  }
  auto* l = new TsEditLabel(FControl);
  FLabel = l;
  l->SetVisible(false);
  l->Font()->Assign(FFont.get());
  l->SetFocusControl(FControl);
  l->SetCaption(FCaption.empty() ? FControl->Name() : FCaption);
  l->SetParent(FControl->Parent());
  l->SetEnabled(FControl->Enabled());
  Realign();
  l->SetVisible(FControl->Visible());
}

void TsBoundLabel::SetCaption(const std::string& v) {
  if (FCaption == v) return;
  FCaption = v;
  if (FLabel != nullptr) {
    FLabel->SetCaption(v);
    Realign();
  }
}

void TsBoundLabel::SetIndent(int v) {
  FIndent = v;
  Realign();
}

void TsBoundLabel::SetLayout(TsCaptionLayout v) {
  FLayout = v;
  Realign();
}

void TsBoundLabel::SetMaxWidth(int v) {
  FMaxWidth = v;
  Realign();
}

void TsBoundLabel::SetUseSkinColor(bool v) {
  if (FLabel != nullptr) FLabel->UseSkinColor = v;
}

void TsBoundLabel::Realign() {
  if (FLabel == nullptr) return;
  if (FLabel->Parent() != FControl->Parent()) FLabel->SetParent(FControl->Parent());
  switch (FLayout) {
    case sclLeft: case sclTopRight: case sclBottomRight: FLabel->SetAlignment(taRightJustify); break;
    case sclTopCenter: case sclBottomCenter: FLabel->SetAlignment(taCenter); break;
    default: FLabel->SetAlignment(taLeftJustify); break;
  }
  FLabel->SetAutoSize(true);
  FLabel->AdjustBounds();
  int w = FLabel->Width();
  if (FMaxWidth > 0 && w > FMaxWidth) w = FMaxWidth;
  const int h = FLabel->Height();
  const int cl = FControl->Left(), ct = FControl->Top(), cw = FControl->Width(), ch = FControl->Height();
  int x = cl, y = ct;
  switch (FLayout) {
    case sclLeft: x = cl - w - 4 - FIndent; y = ct + (ch - h) / 2; break;
    case sclLeftTop: x = cl - w - 4 - FIndent; y = ct; break;
    case sclTopLeft: y = ct - h - FIndent; break;
    case sclTopCenter: x = cl + (cw - w) / 2; y = ct - h - FIndent; break;
    case sclTopRight: x = cl + cw - w; y = ct - h - FIndent; break;
    case sclBottomLeft: y = ct + ch + FIndent; break;
    case sclBottomCenter: x = cl + (cw - w) / 2; y = ct + ch + FIndent; break;
    case sclBottomRight: x = cl + cw - w; y = ct + ch + FIndent; break;
  }
  FLabel->SetBounds(x, y, w, h);
}

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsCustomComboBox, TCustomComboBox, nullptr)

void TsCustomComboBox::PublishProperties(TPublisher<TsCustomComboBox>& P) {
  P.Enum("Alignment", &TsCustomComboBox::Alignment, &TsCustomComboBox::Alignment,
         {"taLeftJustify", "taRightJustify", "taCenter"})
      .Default(taLeftJustify);
  P.Object("BoundLabel", &TsCustomComboBox::BoundLabel);
  P.Set("DisabledKind", &TsCustomComboBox::DisabledKind, &TsCustomComboBox::DisabledKind,
        {"dkBlended", "dkGrayed"})
      .Default(1);
  P.Object("SkinData", &TsCustomComboBox::SkinData);
}

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner),
      FSkinData(std::make_unique<TsCtrlSkinData>(this, 3)),
      FBoundLabel(std::make_unique<TsBoundLabel>(this)) {
  SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() {
  // The label is owned by this control as a component; free it while the bound label knows it.
  FBoundLabel.reset();
}

void TsCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomComboBox::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && FBoundLabel && AComponent == FBoundLabel->Label())
    FBoundLabel->LabelDestroyed();
}

void TsCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FBoundLabel) FBoundLabel->Realign();
}

void TsCustomComboBox::SetParent(TWinControl* AParent) {
  TCustomComboBox::SetParent(AParent);
  if (FBoundLabel) FBoundLabel->Realign();
}

void TsCustomComboBox::Loaded() {
  TCustomComboBox::Loaded();
  FSkinData->AfterLoad();
  FBoundLabel->Realign();
}

void TsCustomComboBox::WndProc(TMessage& Message) {
  if (HandleCommonMessage(Message, FSkinData.get())) return;
  switch (Message.Msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // The box's own edit field and drop-down list ask it for their colours: skinned, they
      // take the box's Color and font colour, which follow its section.
      if (FSkinData->HasSkin()) {
        Message.Result = Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    default: break;
  }
  TCustomComboBox::WndProc(Message);
}

void TsCustomComboBox::Dispatch(TMessage& Message) {
  TCustomComboBox::Dispatch(Message);
  TsEditLabel* l = FBoundLabel ? FBoundLabel->Label() : nullptr;
  if (l == nullptr) return;
  if (Message.Msg == CM_VISIBLECHANGED) l->SetVisible(Visible());
  else if (Message.Msg == CM_ENABLEDCHANGED) l->SetEnabled(Enabled());
}

ORBEX_IMPLEMENT_PUBLISHED(TsComboBox, TsCustomComboBox, &CreateComponentOf<TsComboBox>)
void TsComboBox::PublishProperties(TPublisher<TsComboBox>&) {}

void InitComboBoxUnit() { RegisterClassOf<TsComboBox>(); }
