// The bound label of an edit-type skinned control (see sBoundLabel.h).
#include "skin/controls/sBoundLabel.h"

#include "framework/base/TypInfo.h"
#include "framework/win/StdCtrls.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sBoundLabelLayout.h"
#include "skin/core/win/sCommonData.h"

namespace {

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

}  // namespace

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

TsBoundLabel::TsBoundLabel(TsCommonData* skinData) : FFont(std::make_unique<TFont>()), FCommonData(skinData) {}

TsBoundLabel::~TsBoundLabel() { SetActive(false); }

TWinControl* TsBoundLabel::Control() const {
  return FCommonData != nullptr ? As<TWinControl>(FCommonData->OwnerControl()) : nullptr;
}

TFont* TsBoundLabel::GetFont() const { return FLabel != nullptr ? FLabel->Font() : FFont.get(); }

void TsBoundLabel::SetFont(TFont* v) {
  // Without a label the own font keeps it: nothing shows now, the next label takes it.
  FFont->Assign(v);
  if (FLabel == nullptr) return;
  FLabel->Font()->Assign(v);
  FLabel->SetParent(Control()->Parent());
  Realign();
}

bool TsBoundLabel::GetUseSkinColor() const { return FLabel != nullptr ? FLabel->UseSkinColor : true; }

void TsBoundLabel::SetUseSkinColor(bool v) {
  if (FLabel != nullptr) FLabel->UseSkinColor = v;
}

void TsBoundLabel::SetActive(bool v) {
  if (v == FActive) return;
  TWinControl* c = Control();
  if (!v || c == nullptr) {
    FActive = false;
    if (FLabel == nullptr) return;
    // The own font keeps the label's for the next activation.
    FFont->Assign(FLabel->Font());
    TsEditLabel* l = FLabel;
    FLabel = nullptr;
    delete l;
    return;
  }
  FActive = true;
  auto* l = new TsEditLabel(c, this);
  FLabel = l;
  l->SetVisible(false);
  l->Font()->Assign(FFont.get());
  l->SetParent(c->Parent());
  l->SetFocusControl(c);
  SetLabelAlignment();
  l->SetName(c->Name() + "Label");
  l->SetCaption(FCaption.empty() ? c->Name() : FCaption);
  l->SetVisible(c->Visible() || Designing(c));
  l->SetEnabled(c->Enabled());
  l->SetAutoSize(true);
  l->AdjustBounds();
  Realign();
}

void TsBoundLabel::LabelGone(const TsEditLabel* label) {
  if (label != FLabel) return;
  FFont->Assign(FLabel->Font());
  FLabel = nullptr;
  FActive = false;
}

void TsBoundLabel::SetCaption(const std::string& v) {
  if (FCaption == v) return;
  FCaption = v;
  if (FLabel == nullptr) return;
  FLabel->SetCaption(v.empty() && Control() != nullptr ? Control()->Name() : v);
  Realign();
}

void TsBoundLabel::SetIndent(int v) {
  FIndent = v;
  Realign();
}

void TsBoundLabel::SetLayout(TsCaptionLayout v) {
  FLayout = v;
  SetLabelAlignment();
  Realign();
}

void TsBoundLabel::SetMaxWidth(int v) {
  FMaxWidth = v;
  Realign();
}

void TsBoundLabel::SetLabelAlignment() {
  if (FLabel == nullptr) return;
  switch (FLayout) {
    case sclLeft: case sclTopRight: case sclBottomRight: FLabel->SetAlignment(taRightJustify); break;
    case sclTopCenter: case sclBottomCenter: FLabel->SetAlignment(taCenter); break;
    default: FLabel->SetAlignment(taLeftJustify); break;
  }
}

void TsBoundLabel::Realign() {
  TWinControl* c = Control();
  if (FLabel == nullptr || c == nullptr || !FLabel->Visible()) return;
  FLabel->Constraints()->SetMaxWidth(FMaxWidth);
  const TPoint at = BoundLabelPosition(FLayout, c->BoundsRect(), TSize{FLabel->Width(), FLabel->Height()}, FIndent);
  FLabel->SetBounds(at.X, at.Y, FLabel->Width(), FLabel->Height());
  if (FLabel->Parent() != c->Parent()) FLabel->SetParent(c->Parent());
  if (FMaxWidth != 0 && FLabel->Width() >= FMaxWidth - 4) FLabel->SetWordWrap(true);
}
