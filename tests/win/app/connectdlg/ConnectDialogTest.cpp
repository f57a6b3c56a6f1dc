// The "Select device" dialog itself, with fake instruments in the prefix's registry: the list
// it makes at construction, the refresh on WM_DEVICECHANGE arrival and removal (and no other
// code), what a refresh keeps of the port field, and the close rules shown modally (OK with
// an empty port refused with "Please select a device", Cancel always allowed, Alt+C from the
// port field pressing Cancel), and an enumeration the system refuses reported in an error
// box. Modal runs are driven by a thread timer, whose callback runs inside the dialog's own (or
// a message box's) message loop.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/win/ConnectDlg.h"
#include "framework/win/ImgList.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"
#include "tests/win/ImportPatch.h"
#include "tests/win/app/connectdlg/FakeDevices.h"

namespace {

using Names = std::vector<std::string>;

TFakeDeviceSpec TestDevice(const std::string& instance, const std::string& port) {
  TFakeDeviceSpec s = OrbexDevice("ORBEXTEST" + instance, port);
  s.Description = "Orbex test " + instance;
  return s;
}

// The port names the dialog offers that belong to the test's devices (COM5x ports), in order.
Names TestPorts(TConnectDialog& d) {
  Names out;
  TStrings* items = d.cbPort->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Get(i).rfind("COM5", 0) == 0) out.push_back(items->Get(i));
  return out;
}

LRESULT DeviceChange(TConnectDialog& d, WPARAM code) {
  return ::SendMessageA(d.Handle(), WM_DEVICECHANGE, code, 0);
}

class ConnectDialog : public testing::Test {
protected:
  void SetUp() override { ClearFakeDevices(); }
  void TearDown() override { ClearFakeDevices(); }
};

TEST_F(ConnectDialog, IsMadeFromItsStoredFormWithThePresentInstrumentsListed) {
  TFakeDevice a(TestDevice("A", "COM51"));
  TFakeDevice b(TestDevice("B", "COM52"));
  TConnectDialog d(nullptr);
  EXPECT_EQ(d.Caption(), "Select device");
  EXPECT_EQ(d.ClientWidth(), 324);
  EXPECT_EQ(d.ClientHeight(), 162);
  EXPECT_EQ(d.BorderStyle(), bsDialog);
  EXPECT_EQ(d.Position(), poOwnerFormCenter);
  ASSERT_NE(d.btnOK, nullptr);
  ASSERT_NE(d.btnCancel, nullptr);
  EXPECT_EQ(d.btnOK->ModalResult(), mrOk);
  EXPECT_EQ(d.btnCancel->ModalResult(), mrCancel);
  // The bound label stands left of the field; the image list's stored pictures decode.
  ASSERT_NE(d.cbPort->BoundLabel()->Label(), nullptr);
  EXPECT_EQ(d.cbPort->BoundLabel()->Label()->Caption(), "Port name:");
  EXPECT_LT(d.cbPort->BoundLabel()->Label()->BoundsRect().Right, d.cbPort->Left());
  ASSERT_NE(d.imgComPort, nullptr);
  EXPECT_EQ(d.imgComPort->Count(), 2);

  // Both instruments in enumeration order, the first chosen; Port is the field's text.
  EXPECT_EQ(TestPorts(d), (Names{"COM51", "COM52"}));
  ASSERT_GE(d.cbPort->ItemIndex(), 0);
  EXPECT_EQ(d.Port(), d.cbPort->Items()->Get(0));
  EXPECT_EQ(GetPropValue(&d, "Port"), d.Port());
}

TEST_F(ConnectDialog, ArrivalAndRemovalRefreshTheListOtherDeviceEventsDoNot) {
  TFakeDevice a(TestDevice("A", "COM51"));
  TConnectDialog d(nullptr);
  EXPECT_EQ(TestPorts(d), Names{"COM51"});

  auto b = std::make_unique<TFakeDevice>(TestDevice("B", "COM52"));
  DeviceChange(d, DBT_DEVNODES_CHANGED);
  EXPECT_EQ(TestPorts(d), Names{"COM51"}) << "only arrival and removal refresh";
  EXPECT_EQ(DeviceChange(d, DBT_DEVICEARRIVAL), TRUE);
  EXPECT_EQ(TestPorts(d), (Names{"COM51", "COM52"}));

  a.Remove();
  DeviceChange(d, DBT_DEVICEREMOVEPENDING);
  EXPECT_EQ(TestPorts(d), (Names{"COM51", "COM52"}));
  DeviceChange(d, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(TestPorts(d), Names{"COM52"});
  EXPECT_EQ(d.Port().empty(), d.cbPort->Items()->Count() == 0);
}

TEST_F(ConnectDialog, ARefreshKeepsWhatTheUserChoseOrTypedWhileItIsStillValid) {
  TFakeDevice a(TestDevice("A", "COM51"));
  TFakeDevice b(TestDevice("B", "COM52"));
  TConnectDialog d(nullptr);
  ASSERT_EQ(TestPorts(d), (Names{"COM51", "COM52"}));

  // A chosen port that is listed again stays chosen.
  int second = d.cbPort->Items()->IndexOf("COM52");
  d.cbPort->SetItemIndex(second);
  TFakeDevice c(TestDevice("C", "COM53"));
  DeviceChange(d, DBT_DEVICEARRIVAL);
  EXPECT_EQ(TestPorts(d), (Names{"COM51", "COM52", "COM53"}));
  EXPECT_EQ(d.Port(), "COM52");
  EXPECT_EQ(d.cbPort->ItemIndex(), d.cbPort->Items()->IndexOf("COM52"));

  // A name typed by hand stays as typed, through arrivals and removals.
  d.cbPort->SetText("COM99");
  TFakeDevice e(TestDevice("E", "COM55"));
  DeviceChange(d, DBT_DEVICEARRIVAL);
  EXPECT_EQ(d.Port(), "COM99");
  EXPECT_EQ(TestPorts(d), (Names{"COM51", "COM52", "COM53", "COM55"}));
  c.Remove();
  DeviceChange(d, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(d.Port(), "COM99");

  // Typing the name of a device that then arrives makes it the chosen item.
  d.cbPort->SetText("COM56");
  TFakeDevice f(TestDevice("F", "COM56"));
  DeviceChange(d, DBT_DEVICEARRIVAL);
  EXPECT_EQ(d.Port(), "COM56");
  EXPECT_EQ(d.cbPort->ItemIndex(), d.cbPort->Items()->IndexOf("COM56"));

  // The chosen device leaves: the choice is no longer valid and the first port is chosen.
  f.Remove();
  DeviceChange(d, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(d.cbPort->ItemIndex(), 0);
  EXPECT_EQ(d.Port(), d.cbPort->Items()->Get(0));

  // An empty field gets the first port on the next refresh.
  d.cbPort->SetText("");
  DeviceChange(d, DBT_DEVICEARRIVAL);
  EXPECT_EQ(d.cbPort->ItemIndex(), 0);
  EXPECT_EQ(d.Port(), d.cbPort->Items()->Get(0));
}

// ---------------------------------------------------------------------------------------------
// Modal runs: each step runs on a thread timer inside the dialog's (or a message box's) modal
// loop and returns true when it is done; the run gives up after a deadline and closes the
// dialog, so that a missing window fails the test instead of hanging it.
class TModalScript {
public:
  using Step = std::function<bool()>;
  TModalScript(TConnectDialog& dialog, std::vector<Step> steps) : TModalScript(&dialog, std::move(steps)) {}
  // A script for the boxes a dialog shows while it is made (no dialog to close yet).
  TModalScript(TConnectDialog* dialog, std::vector<Step> steps) : FDialog(dialog), FSteps(std::move(steps)) {
    Current = this;
    FTimer = ::SetTimer(nullptr, 0, 30, &TModalScript::Tick);
    FStart = ::GetTickCount();
  }
  ~TModalScript() {
    ::KillTimer(nullptr, FTimer);
    Current = nullptr;
  }
  TModalScript(const TModalScript&) = delete;
  TModalScript& operator=(const TModalScript&) = delete;
  bool Finished() const { return FNext == FSteps.size(); }
  bool TimedOut() const { return FTimedOut; }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TModalScript* s = Current;
    if (s == nullptr || s->FBusy) return;
    s->FBusy = true;   // a step may run a nested modal loop, in which this timer fires again
    if (s->FNext < s->FSteps.size()) {
      if (s->FSteps[s->FNext]()) ++s->FNext;
      else if (::GetTickCount() - s->FStart > 10000) {
        s->FTimedOut = true;
        s->FNext = s->FSteps.size();
        for (int i = 0; i < Screen->FormCount(); ++i)
          if (Screen->Forms(i)->ClassInfo()->Name == std::string("TMessageForm")) Screen->Forms(i)->SetModalResult(mrAbort);
        if (s->FDialog != nullptr) s->FDialog->SetModalResult(mrAbort);
      }
    }
    s->FBusy = false;
  }
  static inline TModalScript* Current = nullptr;
  TConnectDialog* FDialog;
  std::vector<Step> FSteps;
  size_t FNext = 0;
  UINT_PTR FTimer = 0;
  DWORD FStart = 0;
  bool FBusy = false;
  bool FTimedOut = false;
};

// The framework's message box now shown (a form of class TMessageForm), or null.
TCustomForm* MessageBoxShown() {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->ClassInfo()->Name == std::string("TMessageForm") && f->Visible()) return f;
  }
  return nullptr;
}

TEST_F(ConnectDialog, OkWithAnEmptyPortIsRefusedWithAMessageAndTheDialogStaysOpen) {
  TConnectDialog d(nullptr);
  d.cbPort->Clear();   // whatever the prefix holds, the field is empty
  std::string message, boxCaption;
  int refusals = 0;
  bool openAfterRefusal = false;
  TModalScript script(d, {
      [&] {   // the dialog is up: press OK with the field empty
        if (!d.Visible()) return false;
        ::SendMessageA(d.btnOK->Handle(), BM_CLICK, 0, 0);
        return true;
      },
      [&] {   // the message box: read it and close it with its button
        TCustomForm* box = MessageBoxShown();
        if (box == nullptr) return false;
        ++refusals;
        boxCaption = box->Caption();
        if (TComponent* label = box->FindComponent("Message")) message = static_cast<TControl*>(label)->Caption();
        box->SetModalResult(mrOk);
        return true;
      },
      [&] {   // back in the dialog, still open; type a port and press OK again
        if (MessageBoxShown() != nullptr || !d.Visible()) return false;
        openAfterRefusal = d.ModalResult() == mrNone;
        d.cbPort->SetText("COM99");
        ::SendMessageA(d.btnOK->Handle(), BM_CLICK, 0, 0);
        return true;
      },
  });
  TModalResult result = d.ShowModal();
  EXPECT_FALSE(script.TimedOut());
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(boxCaption, "Error");
  EXPECT_EQ(message, "Please select a device");
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(d.Port(), "COM99");
}

TEST_F(ConnectDialog, CancelWithAnEmptyPortClosesWithoutAMessage) {
  TConnectDialog d(nullptr);
  d.cbPort->Clear();
  bool messageSeen = false;
  TModalScript script(d, {
      [&] {
        if (!d.Visible()) return false;
        ::SendMessageA(d.btnCancel->Handle(), BM_CLICK, 0, 0);
        return true;
      },
  });
  // Any message box would appear inside the click: look for one while closing.
  d.OnClose = [&](TObject*, TCloseAction&) { messageSeen = MessageBoxShown() != nullptr; };
  TModalResult result = d.ShowModal();
  EXPECT_FALSE(script.TimedOut());
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(messageSeen);
  EXPECT_EQ(d.Port(), "");
}

// Alt+C while typing in the port field presses Cancel: the key goes to the combo box's edit
// window, which is not a control of its own, and reaches the dialog's buttons from there.
TEST_F(ConnectDialog, AltCInThePortFieldPressesCancel) {
  TConnectDialog d(nullptr);
  bool editFocused = false;
  TModalScript script(d, {
      [&] {
        if (!d.Visible()) return false;
        d.cbPort->SetFocus();
        HWND edit = ::GetFocus();
        editFocused = ::GetParent(edit) == d.cbPort->Handle();
        ::PostMessageA(edit, WM_SYSKEYDOWN, 'C', 0x20000001);   // context code: Alt held
        return true;
      },
      [&] { return !d.Visible(); },   // closed by the key, else given up at the deadline
  });
  TModalResult result = d.ShowModal();
  EXPECT_FALSE(script.TimedOut());
  EXPECT_TRUE(editFocused);
  EXPECT_EQ(result, mrCancel);
}

// ---------------------------------------------------------------------------------------------
// The system refusing the enumeration: the test program's own import of SetupDiGetClassDevsA
// (the dialog's unit is compiled into it) is pointed at a stand-in that fails.

HDEVINFO WINAPI RefusedClassDevs(const GUID*, PCSTR, HWND, DWORD) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

TEST_F(ConnectDialog, AnEnumerationTheSystemRefusesIsReportedNotShownAsNoInstrument) {
  TFakeDevice a(TestDevice("A", "COM51"));
  {
    TImportPatch refused("setupapi.dll", "SetupDiGetClassDevsA", reinterpret_cast<void*>(&RefusedClassDevs));
    ASSERT_TRUE(refused.Patched());

    TStringList list;
    list.Add("stale");
    try {
      TConnectDialog::ListScopePorts(&list);
      ADD_FAILURE() << "no error raised";
    } catch (const EOSError& e) {
      EXPECT_EQ(e.ErrorCode(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
      EXPECT_EQ(e.Message(), SysErrorMessage(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(list.Count(), 0);

    // Made while the system refuses: an error box says so, then the dialog stands with an
    // empty list and takes a typed port.
    std::string message;
    int boxes = 0;
    TModalScript script(nullptr, {
        [&] {
          TCustomForm* box = MessageBoxShown();
          if (box == nullptr) return false;
          ++boxes;
          if (TComponent* label = box->FindComponent("Message")) message = static_cast<TControl*>(label)->Caption();
          box->SetModalResult(mrOk);
          return true;
        },
    });
    TConnectDialog d(nullptr);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(message, "The attached instruments cannot be listed: " + SysErrorMessage(ERROR_ACCESS_DENIED) +
                           "\nType the port name to connect to.");
    EXPECT_EQ(d.cbPort->Items()->Count(), 0);
    d.cbPort->SetText("COM51");
    EXPECT_EQ(d.Port(), "COM51");
  }
  // The system answers again: the instrument is listed.
  TConnectDialog d(nullptr);
  EXPECT_EQ(TestPorts(d), Names{"COM51"});
}

}  // namespace
