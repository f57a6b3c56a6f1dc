// Stand-in skinned labels and the web label's link (see sLabel.h).
#include "skin/controls/sLabel.h"

#include "framework/base/TypInfo.h"

#include <shellapi.h>

#include "framework/win/Forms.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TsCustomLabel, TCustomLabel, nullptr)

void TsCustomLabel::PublishProperties(TPublisher<TsCustomLabel>& P) {
  P.String("SkinSection", &TsCustomLabel::GetSkinSection, &TsCustomLabel::SetSkinSection);
}

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const std::string& v) {
  if (SetAndCheck(FSkinSection, v)) Invalidate();
}

ORBEX_IMPLEMENT_PUBLISHED(TsLabel, TsCustomLabel, &CreateComponentOf<TsLabel>)

void TsLabel::PublishProperties(TPublisher<TsLabel>& P) {
  P.Boolean("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::UseSkinColor).Default(1);
}

// ---------------------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TsWebLabel, TsLabel, &CreateComponentOf<TsWebLabel>)

void TsWebLabel::PublishProperties(TPublisher<TsWebLabel>& P) {
  P.String("URL", &TsWebLabel::URL, &TsWebLabel::URL);
  P.Object("HoverFont", &TsWebLabel::HoverFont);
  P.Enum("ShowMode", &TsWebLabel::ShowMode, &TsWebLabel::ShowMode,
         {"soHide", "soNormal", "soShowMinimized", "soShowMaximized", "soMaximize", "soShowNoActivate",
          "soShow", "soMinimize", "soShowMinNoActive", "soShowNA", "soRestore", "soDefault"})
      .Default(soDefault);
}

TsWebLabel::TsWebLabel(TComponent* AOwner)
    : TsLabel(AOwner), FHoverFont(std::make_unique<TFont>()), FNormalFont(std::make_unique<TFont>()) {
  SetCursor(crHandPoint);
  FHoverFont->SetStyle(fsUnderline);
}

TsWebLabel::~TsWebLabel() = default;

void TsWebLabel::Loaded() {
  TsLabel::Loaded();
  // The stored Font is the normal look; the hover font keeps its own colour and style.
  FNormalFont->Assign(Font());
}

void TsWebLabel::ShowFont(TFont* f) {
  Font()->Assign(f);
  Invalidate();
}

void TsWebLabel::OpenURL() {
  if (URL.empty()) return;
  if (Opener) {
    Opener(URL, ShowModeToSW(ShowMode));
    return;
  }
  ShellExecuteA(Application != nullptr ? Application->Handle() : nullptr, "open", URL.c_str(),
                nullptr, nullptr, ShowModeToSW(ShowMode));
}

void TsWebLabel::WndProc(TMessage& Message) {
  TsLabel::WndProc(Message);
  if (IsLoading() || !Enabled()) return;
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (!FMouseAbove) {
        FMouseAbove = true;
        ShowFont(FHoverFont.get());
      }
      break;
    case CM_MOUSELEAVE:
      if (FMouseAbove) {
        FMouseAbove = false;
        ShowFont(FNormalFont.get());
      }
      break;
    case WM_LBUTTONDOWN:
      OpenURL();
      break;
    default:
      break;
  }
}

void InitLabelUnit() {
  RegisterClassOf<TsLabel>();
  RegisterClassOf<TsWebLabel>();
}
