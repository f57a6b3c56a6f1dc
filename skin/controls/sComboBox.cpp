// Stand-in skinned combo box and its bound label (see sComboBox.h).
#include "skin/controls/sComboBox.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"
#include "skin/controls/sLabel.h"

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
      FBoundLabel(std::make_unique<TsBoundLabel>(FSkinData.get())) {
  SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() {
  // The label is owned by this control as a component; free it while the bound label knows it.
  FBoundLabel.reset();
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
