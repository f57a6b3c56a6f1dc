// The About box (see About.h).
#include "app/win/About.h"

#include "framework/win/FormReader.h"

TAboutBox* AboutBox = nullptr;

ORBEX_IMPLEMENT_CLASS(TAboutBox, TForm, nullptr)

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) { ReadStoredForm(); }

TAboutBox::~TAboutBox() {
  if (AboutBox == this) AboutBox = nullptr;
}

void RegisterAboutBox() {
  RegisterClassOf<TAboutBox>();
  using F = TAboutBox;
  RegisterPublishedMethods(&F::StaticClassInfo(), {},
                           {PublishedField("lblProductName", &F::lblProductName),
                            PublishedField("btnOK", &F::btnOK),
                            PublishedField("pnlHolder", &F::pnlHolder),
                            PublishedField("imgLogo", &F::imgLogo)});
}
