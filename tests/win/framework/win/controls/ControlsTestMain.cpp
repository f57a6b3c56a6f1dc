// The control-core tests' environment (graphics unit, Application and Screen, an exception
// handler that records instead of showing a box) and the test controls of ControlsTestUtil.h.
#include <gtest/gtest.h>

#include "framework/base/TypInfo.h"
#include "framework/win/FormReader.h"
#include "framework/win/Graphics.h"
#include "tests/win/GuiTestEnvironment.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

std::vector<std::string>& EventLog() {
  static std::vector<std::string> log;
  return log;
}

std::vector<std::string>& HandledErrors() {
  static std::vector<std::string> errors;
  return errors;
}

void Pump() {
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
}

// --- TTestPanel ------------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TTestPanel, TCustomControl, &CreateComponentOf<TTestPanel>)
void TTestPanel::PublishProperties(TPublisher<TTestPanel>& P) {
  P.Color("FillColor", &TTestPanel::FillColor, &TTestPanel::FillColor);
}
TTestPanel::TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 100, 100);
}
TTestPanel::~TTestPanel() { EventLog().push_back("~" + Name()); }
void TTestPanel::Loaded() {
  EventLog().push_back("Loaded " + Name() + (IsLoading() ? " loading" : ""));
  TCustomControl::Loaded();
}
void TTestPanel::Dispatch(TMessage& m) {
  Seen.push_back(m.Msg);
  if (m.Msg == WM_USER + 9) throw EInvalidOperation("handler failed on purpose");
  TCustomControl::Dispatch(m);
}
void TTestPanel::Paint() {
  ++PaintCount;
  Canvas()->Brush()->SetColor(FillColor);
  Canvas()->FillRect(ClientRect());
}

// --- TTestGraphic ----------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TTestGraphic, TGraphicControl, &CreateComponentOf<TTestGraphic>)
void TTestGraphic::PublishProperties(TPublisher<TTestGraphic>&) {}
TTestGraphic::TTestGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 10, 10); }
TTestGraphic::~TTestGraphic() { EventLog().push_back("~" + Name()); }
void TTestGraphic::Loaded() {
  EventLog().push_back("Loaded " + Name() + (IsLoading() ? " loading" : ""));
  TGraphicControl::Loaded();
}
void TTestGraphic::Dispatch(TMessage& m) {
  Seen.push_back(m.Msg);
  if (m.Msg == WM_USER + 7) {
    m.Result = static_cast<LRESULT>(m.WParam * 2);
    return;
  }
  TGraphicControl::Dispatch(m);
}
void TTestGraphic::Paint() {
  ++PaintCount;
  StateInPaint = ControlState();
  Canvas()->Brush()->SetColor(FillColor);
  Canvas()->FillRect(ClientRect());
}

// --- TTestButton -----------------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TTestButton, TWinControl, &CreateComponentOf<TTestButton>)
void TTestButton::PublishProperties(TPublisher<TTestButton>& P) {
  P.Integer("ModalResult", &TTestButton::ModalResult, &TTestButton::ModalResult).Default(0);
}
TTestButton::TTestButton(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  // The system button reports clicks itself (BN_CLICKED).
  SetControlStyle(ControlStyle() & ~csClickEvents);
}
TTestButton::~TTestButton() { EventLog().push_back("~" + Name()); }
void TTestButton::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= BS_PUSHBUTTON;
}
void TTestButton::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    ++Clicks;
    if (TCustomForm* f = GetParentForm(this)) {
      if (ModalResult != mrNone) f->SetModalResult(ModalResult);
    }
    Click();
    return;
  }
  TWinControl::Dispatch(m);
}

// --- TTestItem, TTestList --------------------------------------------------------------------
ORBEX_IMPLEMENT_PUBLISHED(TTestItem, TCollectionItem, nullptr)
void TTestItem::PublishProperties(TPublisher<TTestItem>& P) {
  P.String("Caption", &TTestItem::Caption, &TTestItem::Caption);
  P.Integer("Width", &TTestItem::Width, &TTestItem::Width).Default(0);
}

ORBEX_IMPLEMENT_PUBLISHED(TTestList, TComponent, &CreateComponentOf<TTestList>)
void TTestList::PublishProperties(TPublisher<TTestList>& P) {
  P.Object("Items", &TTestList::Items);
  P.Object("Lines", &TTestList::Lines);
  P.Binary(
      "Data",
      [](TTestList& l, TStream& s) {
        std::int64_t n = s.Size() - s.Position();
        l.Data.resize(static_cast<size_t>(n));
        if (n > 0) s.ReadBuffer(l.Data.data(), n);
      },
      nullptr, [](TTestList& l) { return !l.Data.empty(); });
}
TTestList::TTestList(TComponent* AOwner)
    : TComponent(AOwner),
      FItems(std::make_unique<TCollection>(&TTestItem::StaticClassInfo(),
                                           [](TCollection* c) { return new TTestItem(c); })),
      FLines(std::make_unique<TStringList>()) {}
TTestList::~TTestList() { EventLog().push_back("~" + Name()); }
void TTestList::Loaded() {
  EventLog().push_back("Loaded " + Name() + (IsLoading() ? " loading" : ""));
  TComponent::Loaded();
}

// --- TTestStoredForm -------------------------------------------------------------------------
ORBEX_IMPLEMENT_CLASS(TTestStoredForm, TForm, &CreateComponentOf<TTestStoredForm>)
TTestStoredForm::TTestStoredForm(TComponent* AOwner) : TForm(AOwner) {}
TTestStoredForm::~TTestStoredForm() { EventLog().push_back("~" + Name()); }
void TTestStoredForm::Loaded() {
  EventLog().push_back("Loaded " + Name() + (IsLoading() ? " loading" : ""));
  TForm::Loaded();
}
void TTestStoredForm::ButtonClick(TObject*) { ++ButtonClicks; }
void TTestStoredForm::FormCloseQuery(TObject*, bool& CanClose) {
  ++CloseQueries;
  CanClose = CloseQueries > 1;
}

void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TTestPanel>();
  RegisterClassOf<TTestGraphic>();
  RegisterClassOf<TTestButton>();
  RegisterClassOf<TTestList>();
  RegisterClassOf<TTestStoredForm>();
  RegisterPublishedMethods(&TTestStoredForm::StaticClassInfo(),
                           {PublishedMethod("ButtonClick", &TTestStoredForm::ButtonClick),
                            PublishedMethod("FormCloseQuery", &TTestStoredForm::FormCloseQuery)},
                           {PublishedField("Outer", &TTestStoredForm::Outer),
                            PublishedField("Inner", &TTestStoredForm::Inner),
                            PublishedField("Dot", &TTestStoredForm::Dot),
                            PublishedField("OkButton", &TTestStoredForm::OkButton),
                            PublishedField("List", &TTestStoredForm::List)});
}

// --- Environment -----------------------------------------------------------------------------
namespace {
class TFwEnvironment : public TGuiTestEnvironment {
public:
  TFwEnvironment() : TGuiTestEnvironment("Orbex controls test") {}

protected:
  void InitUnits() override { InitGraphicsUnit(); }
  void Started() override {
    Application->OnException = [](TObject*, const std::exception& e) { HandledErrors().push_back(e.what()); };
    RegisterTestClasses();
  }
};
[[maybe_unused]] testing::Environment* const gEnv = testing::AddGlobalTestEnvironment(new TFwEnvironment);
}  // namespace
