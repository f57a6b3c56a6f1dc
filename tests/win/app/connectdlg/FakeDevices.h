// Fake USB devices in the registry of the Wine prefix, as the device-setup interface reads
// them: the device's key under Enum\USB (hardware ID, description, "Device Parameters" with
// "PortName") and its USB device interface under Control\DeviceClasses, marked linked so that
// the present-devices query returns it. Written with the Win32 registry API under HKLM; each
// device removes its keys again when it goes. Used by the dialog's tests and its end-to-end
// driver.
//
// Owns: the registry keys of each TFakeDevice while it lives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How the "PortName" value of a fake device is stored.
struct TFakePortName {
  DWORD Type = REG_SZ;
  std::vector<BYTE> Data;   // exactly the bytes stored (no terminator unless included)
  bool Present = true;

  // "COM7" with its closing zero, as a well-made driver stores it.
  static TFakePortName Text(const std::string& name);
  // The characters without a closing zero.
  static TFakePortName Unterminated(const std::string& name);
  static TFakePortName Dword(DWORD value);
  static TFakePortName Missing();
};

struct TFakeDeviceSpec {
  // Instance name below the device's USB ID key, e.g. "ORBEXTEST1"; names with the prefix
  // "ORBEXTEST" are cleared by ClearFakeDevices.
  std::string Instance;
  // The USB ID key, e.g. "VID_5E3A&PID_0D21".
  std::string UsbId = "VID_5E3A&PID_0D21";
  // The hardware IDs (a multi-string); empty: no HardwareID value at all.
  std::vector<std::string> HardwareIds = {"USB\\Vid_5e3a&Pid_0d21&Rev_0001"};
  // The description; HasDescription false: no DeviceDesc value.
  std::string Description = "Orbex Handheld Tavrin Scope";
  bool HasDescription = true;
  // False: no "Device Parameters" key at all.
  bool HasDeviceParameters = true;
  TFakePortName PortName = TFakePortName::Text("COM7");
};

class TFakeDevice {
public:
  // Writes the device's keys; throws std::runtime_error naming the key that could not be made.
  explicit TFakeDevice(TFakeDeviceSpec device);
  ~TFakeDevice();
  TFakeDevice(const TFakeDevice&) = delete;
  TFakeDevice& operator=(const TFakeDevice&) = delete;
  // Removes the keys now (the device "leaves"); the destructor then does nothing.
  void Remove();
  const TFakeDeviceSpec& Spec() const { return FSpec; }

private:
  std::string EnumKey() const;
  std::string InterfaceKey() const;
  TFakeDeviceSpec FSpec;
  bool FPresent = false;
};

// The instrument as a driver records it: hardware ID, description and a proper port name.
TFakeDeviceSpec OrbexDevice(const std::string& instance, const std::string& port);

// Removes every fake device left behind by an earlier run (instances named "ORBEXTEST*").
void ClearFakeDevices();
