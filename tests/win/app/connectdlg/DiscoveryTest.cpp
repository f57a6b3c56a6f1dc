// Device discovery against fake devices in the prefix's registry: which devices are listed, in
// which order, with which port names, and that a device whose data cannot be read is skipped
// without hiding the others. Only the test's own devices (descriptions "Orbex test ...") are
// looked at, so that instruments of other tests or of the run command in the same prefix do
// not matter.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win/ConnectDlg.h"
#include "tests/win/app/connectdlg/FakeDevices.h"

namespace {

TFakeDeviceSpec TestDevice(const std::string& instance, const std::string& port) {
  TFakeDeviceSpec s = OrbexDevice("ORBEXTEST" + instance, port);
  s.Description = "Orbex test " + instance;
  return s;
}

// The "port=description" lines of the test's own devices, in list order.
std::vector<std::string> ListedTestDevices() {
  TStringList list;
  list.Add("stale=line");   // the list is cleared first
  TConnectDialog::ListScopePorts(&list);
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i)
    if (list.ValueFromIndex(i).rfind("Orbex test", 0) == 0) lines.push_back(list[i]);
  return lines;
}

using Lines = std::vector<std::string>;

class Discovery : public testing::Test {
protected:
  void SetUp() override { ClearFakeDevices(); }
  void TearDown() override { ClearFakeDevices(); }
};

TEST_F(Discovery, ListsInstrumentsInEnumerationOrderMatchingTheHardwareIdInAnyCase) {
  EXPECT_EQ(ListedTestDevices(), Lines{});
  // Instance names give the enumeration order; port names run the other way, so a sorted
  // list would show.
  TFakeDevice a(TestDevice("A", "COM58"));
  TFakeDeviceSpec b = TestDevice("B", "COM51");
  b.HardwareIds = {"usb\\VID_5E3A&PID_0D21&REV_0001", "USB\\Vid_5e3a&Pid_0d21"};
  TFakeDevice devB(b);
  EXPECT_EQ(ListedTestDevices(), (Lines{"COM58=Orbex test A", "COM51=Orbex test B"}));
}

TEST_F(Discovery, OnlyTheFirstHardwareIdOfTheInstrumentCounts) {
  TFakeDevice ours(TestDevice("A", "COM52"));
  TFakeDeviceSpec otherProduct = TestDevice("B", "COM53");
  otherProduct.UsbId = "VID_1234&PID_0001";
  otherProduct.HardwareIds = {"USB\\Vid_1234&Pid_0001&Rev_0001"};
  TFakeDevice other(otherProduct);
  TFakeDeviceSpec secondOnly = TestDevice("C", "COM54");
  secondOnly.HardwareIds = {"USB\\Vid_5e3a&Pid_0d21&Rev_0002", "USB\\Vid_5e3a&Pid_0d21&Rev_0001"};
  TFakeDevice second(secondOnly);
  TFakeDeviceSpec longer = TestDevice("D", "COM55");
  longer.HardwareIds = {"USB\\Vid_5e3a&Pid_0d21&Rev_00012"};
  TFakeDevice prefix(longer);
  EXPECT_EQ(ListedTestDevices(), Lines{"COM52=Orbex test A"});
}

TEST_F(Discovery, DevicesWhoseDataCannotBeReadAreSkippedAndTheOthersListed) {
  std::vector<std::unique_ptr<TFakeDevice>> devices;
  auto add = [&](TFakeDeviceSpec s) { devices.push_back(std::make_unique<TFakeDevice>(std::move(s))); };
  add(TestDevice("A", "COM51"));
  TFakeDeviceSpec s = TestDevice("B", "COM52");
  s.HasDeviceParameters = false;   // no hardware key: SetupDiOpenDevRegKey fails
  add(s);
  s = TestDevice("C", "COM53");
  s.PortName = TFakePortName::Missing();
  add(s);
  s = TestDevice("D", "COM54");
  s.PortName = TFakePortName::Dword(54);
  add(s);
  s = TestDevice("E", "COM55");
  s.PortName = TFakePortName::Text(std::string(2000, 'X'));   // longer than any port name buffer
  add(s);
  s = TestDevice("F", "COM56");
  s.PortName = TFakePortName::Text("");
  add(s);
  s = TestDevice("G", "COM57");
  s.PortName = TFakePortName::Text("COM=57");   // cannot be the name of a name=value line
  add(s);
  s = TestDevice("H", "COM58");
  s.HasDescription = false;   // the description property cannot be read
  add(s);
  s = TestDevice("I", "COM59");
  s.HardwareIds.clear();   // the hardware ID property cannot be read
  add(s);
  add(TestDevice("J", "COM60"));
  EXPECT_EQ(ListedTestDevices(), (Lines{"COM51=Orbex test A", "COM60=Orbex test J"}));
}

TEST_F(Discovery, PortNamesWithoutClosingZeroAreReadToTheirStoredLength) {
  TFakeDeviceSpec s = TestDevice("A", "");
  s.PortName = TFakePortName::Unterminated("COM61");
  TFakeDevice a(s);
  // A name that fills the whole read buffer and has no zero after it: the text must end at
  // the buffer's end, not run on into whatever follows in memory.
  s = TestDevice("B", "");
  const std::string full(1024, 'P');
  s.PortName = TFakePortName::Unterminated(full);
  TFakeDevice b(s);
  Lines listed = ListedTestDevices();
  ASSERT_GE(listed.size(), 1u);
  EXPECT_EQ(listed[0], "COM61=Orbex test A");
  // The 1024-character name fits exactly (listed whole) or, where the system wants room for
  // a zero of its own, is refused as too long (skipped): never longer, never cut.
  if (listed.size() == 2) {
    EXPECT_EQ(listed[1], full + "=Orbex test B");
  }
  EXPECT_LE(listed.size(), 2u);
}

TEST_F(Discovery, APortFoundOnTwoDevicesIsListedOnceWithTheLaterDescription) {
  TFakeDevice a(TestDevice("A", "COM62"));
  TFakeDevice b(TestDevice("B", "COM63"));
  TFakeDevice c(TestDevice("C", "COM62"));
  EXPECT_EQ(ListedTestDevices(), (Lines{"COM62=Orbex test C", "COM63=Orbex test B"}));
}

TEST_F(Discovery, ARemovedDeviceIsNoLongerListed) {
  TFakeDevice a(TestDevice("A", "COM64"));
  TFakeDevice b(TestDevice("B", "COM65"));
  EXPECT_EQ(ListedTestDevices().size(), 2u);
  a.Remove();
  EXPECT_EQ(ListedTestDevices(), Lines{"COM65=Orbex test B"});
}

}  // namespace
