// Test controls and helpers shared by the control-core tests: a panel-like custom control, a
// graphic control, a superclassed push button, a component with a collection and binary data,
// and the form read from the stored test form. Each records what happens to it in EventLog().
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/Forms.h"

std::vector<std::string>& EventLog();
// Exceptions that reached Application->HandleException during a test.
std::vector<std::string>& HandledErrors();

// Handles every waiting message.
void Pump();

class TTestPanel : public TCustomControl {
  ORBEX_CLASS(TTestPanel, TCustomControl)
public:
  explicit TTestPanel(TComponent* AOwner);
  ~TTestPanel() override;
  void Loaded() override;
  TColor FillColor = 0x00FF00;
  int PaintCount = 0;
  // Messages seen by Dispatch, in order.
  std::vector<UINT> Seen;
  void Dispatch(TMessage& m) override;

protected:
  void Paint() override;
};

class TTestGraphic : public TGraphicControl {
  ORBEX_CLASS(TTestGraphic, TGraphicControl)
public:
  explicit TTestGraphic(TComponent* AOwner);
  ~TTestGraphic() override;
  void Loaded() override;
  TColor FillColor = 0x0000FF;
  TControlState StateInPaint = 0;
  int PaintCount = 0;
  std::vector<UINT> Seen;
  void Dispatch(TMessage& m) override;

protected:
  void Paint() override;
};

class TTestButton : public TWinControl {
  ORBEX_CLASS(TTestButton, TWinControl)
public:
  explicit TTestButton(TComponent* AOwner);
  ~TTestButton() override;
  TModalResult ModalResult = mrNone;
  int Clicks = 0;
  void Dispatch(TMessage& m) override;

protected:
  void CreateParams(TCreateParams& Params) override;
};

class TTestItem : public TCollectionItem {
  ORBEX_CLASS(TTestItem, TCollectionItem)
public:
  explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
  std::string Caption;
  int Width = 0;
};

class TTestList : public TComponent {
  ORBEX_CLASS(TTestList, TComponent)
public:
  explicit TTestList(TComponent* AOwner);
  ~TTestList() override;
  void Loaded() override;
  TCollection* Items() const { return FItems.get(); }
  std::vector<std::uint8_t> Data;
  TStringList* Lines() const { return FLines.get(); }

private:
  std::unique_ptr<TCollection> FItems;
  std::unique_ptr<TStringList> FLines;
};

// The stored test form (resource "TTestStoredForm").
class TTestStoredForm : public TForm {
  ORBEX_CLASS(TTestStoredForm, TForm)
public:
  explicit TTestStoredForm(TComponent* AOwner);
  ~TTestStoredForm() override;
  void Loaded() override;
  void ButtonClick(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  TTestPanel* Outer = nullptr;
  TTestPanel* Inner = nullptr;
  TTestGraphic* Dot = nullptr;
  TTestButton* OkButton = nullptr;
  TTestList* List = nullptr;
  int ButtonClicks = 0;
  int CloseQueries = 0;
};

// Registers the test classes and published handlers (idempotent).
void RegisterTestClasses();
