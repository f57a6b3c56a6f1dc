// The help form (see HelpFrm.h).
#include "app/win/HelpFrm.h"

#include "framework/win/FormReader.h"

THelpForm* HelpForm = nullptr;

ORBEX_IMPLEMENT_CLASS(THelpForm, TForm, nullptr)

THelpForm::THelpForm(TComponent* AOwner) : TForm(AOwner) { ReadStoredForm(); }

THelpForm::~THelpForm() {
  if (HelpForm == this) HelpForm = nullptr;
}

void RegisterHelpForm() {
  RegisterClassOf<THelpForm>();
  using F = THelpForm;
  RegisterPublishedMethods(&F::StaticClassInfo(), {},
                           {PublishedField("Image1", &F::Image1),
                            PublishedField("sWebLabel1", &F::sWebLabel1),
                            PublishedField("btnClose", &F::btnClose)});
}
