// The main window's actions that open modal forms, with the user's answers played by a
// script: connecting to a port that does not exist shows the link's error and stays
// disconnected; OK with an empty port is refused by the device dialog; About and help open
// modally and close with their button.
#include <gtest/gtest.h>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "skin/controls/sComboBox.h"
#include "tests/win/app/mainform/AppTestUtil.h"

using namespace apptest;

namespace {

class Actions : public testing::Test {
protected:
  void SetUp() override { Ini = ScratchIni("actions"); }
  void TearDown() override { DeleteFileA(Ini.c_str()); }
  std::string Ini;
};

TEST_F(Actions, ConnectingToAMissingPortShowsTheErrorAndStaysDisconnected) {
  auto f = MakeMainForm(Ini);
  std::string message, caption;
  TModalScript script({[](TCustomForm* d) {
                         auto* dlg = As<TConnectDialog>(d);
                         ASSERT_NE(dlg, nullptr);
                         dlg->cbPort->SetText("COM99");
                         d->SetModalResult(mrOk);
                       },
                       [&](TCustomForm* m) {
                         message = MessageText(m);
                         caption = m->Caption();
                         m->SetModalResult(mrOk);
                       }});
  f->aConnectExecute(f.get());
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(message, "Could not connect to COM99");
  EXPECT_FALSE(f->GetScope()->GetConnected());
  f->RefreshActions();
  EXPECT_TRUE(f->aConnect->Enabled());
  EXPECT_FALSE(f->aDisconnect->Enabled());
}

TEST_F(Actions, OKWithAnEmptyPortIsRefusedByTheDialog) {
  auto f = MakeMainForm(Ini);
  std::string message;
  bool dialogStillOpen = false;
  TModalScript script({[](TCustomForm* d) {
                         As<TConnectDialog>(d)->cbPort->SetText("");
                         d->SetModalResult(mrOk);
                       },
                       [&](TCustomForm* m) {
                         message = MessageText(m);
                         m->SetModalResult(mrOk);
                       },
                       [&](TCustomForm* d) {
                         dialogStillOpen = As<TConnectDialog>(d) != nullptr;
                         d->SetModalResult(mrCancel);
                       }});
  f->aConnectExecute(f.get());
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(message, "Please select a device");
  EXPECT_TRUE(dialogStillOpen);
  EXPECT_FALSE(f->GetScope()->GetConnected());
}

TEST_F(Actions, AboutAndHelpOpenModallyAndCloseWithTheirButton) {
  auto f = MakeMainForm(Ini);
  TAboutBox about(nullptr);
  THelpForm help(nullptr);
  AboutBox = &about;
  HelpForm = &help;
  std::vector<std::string> shown;
  auto press = [&](TCustomForm* form) {
    shown.push_back(form->Caption());
    TsButton* b = form == &about ? about.btnOK : help.btnClose;
    b->Click();
  };
  TModalScript script({press, press});
  f->aShowAboutBoxExecute(f.get());
  f->aHelpIndexExecute(f.get());
  AboutBox = nullptr;
  HelpForm = nullptr;
  EXPECT_EQ(shown, (std::vector<std::string>{"About", "Help - FAQ"}));
  EXPECT_EQ(about.ModalResult(), mrOk);
  EXPECT_EQ(help.ModalResult(), mrOk);
}

}  // namespace
