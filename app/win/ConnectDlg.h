// The "Select device" dialog (TConnectDialog) and the device discovery behind it: the attached
// instruments are found through the device-setup interface by their USB hardware ID, their
// COM port names read from each device's registry key, and the list refreshed whenever a USB
// device arrives or leaves (WM_DEVICECHANGE for the USB device interface class).
//
// Owns: its stored components (through the form) and the device-notification registration of
// its window (one RAII owner, given back before the window goes). The device set, detail
// blocks and registry keys of one enumeration live only inside ListScopePorts.
//
// The main window's Connect action creates the dialog, shows it modally, reads Port and frees it.
#pragma once

#include <windows.h>

#include <string>

#include "app/win/DeviceNotify.h"
#include "app/win/DeviceSetup.h"
#include "framework/base/Classes.h"
#include "framework/win/Forms.h"
#include "framework/win/WinTypes.h"

class TsLabel;
class TsButton;
class TsComboBox;
class TImageList;

// The instrument's first hardware ID; devices are matched on it without regard to letter case.
inline constexpr const char* kOrbexHardwareId = "USB\\Vid_5e3a&Pid_0d21&Rev_0001";

// A device-notification registration, given back with UnregisterDeviceNotification.
struct TDeviceNotificationTraits {
  using Handle = HDEVNOTIFY;
  static void Close(HDEVNOTIFY h) { ::UnregisterDeviceNotification(h); }
};
using TOwnedDeviceNotification = THandleOwner<TDeviceNotificationTraits>;

class TConnectDialog : public TForm {
  ORBEX_CLASS(TConnectDialog, TForm)
public:
  // Reads the stored form, registers the window for USB device arrivals and removals and
  // fills the port list. Raises EOSError (the system's message) when the registration is
  // refused, and whatever reading the stored form raises.
  explicit TConnectDialog(TComponent* AOwner);
  // Gives the notification registration back before the window goes.
  ~TConnectDialog() override;

  // The port to connect to: the current text of the port field (chosen or typed).
  std::string Port() const { return GetPort(); }

  // Fills `list` with one "PortName=Description" line per present instrument, in enumeration
  // order; a port found twice keeps one line (the later description). A device whose
  // properties, registry key or port name cannot be read is skipped. Raises EOSError (the
  // system's message and code) when the present devices cannot be enumerated at all.
  static void ListScopePorts(TStrings* list);
  // One registry property of a device as text (a multi-string yields its first string), read
  // into a 1024-byte buffer and cut at the size the system reports, so that data without a
  // closing zero are read safely. Raises EOSError (the system's message and code) on failure.
  static std::string GetDeviceProperty(HDEVINFO DevInfo, SP_DEVINFO_DATA& DevData, DWORD Property);

  // Lists the ports anew. What the port field held stays when it is still valid: a listed port
  // that is listed again stays chosen, and a name typed by hand (one not in the old list)
  // stays as typed. Otherwise (empty, or the chosen device has gone) the first port is chosen.
  // When the devices cannot be enumerated the list is left empty and an error box says why.
  void RefreshPortList();
  void AddPortItem(const std::string& Name);

  // Handlers bound by the stored form.
  void FormCloseQuery(TObject* Sender, bool& CanClose);

  void Dispatch(TMessage& Message) override;

  // Stored components.
  TsLabel* sLabel1 = nullptr;
  TsButton* btnOK = nullptr;
  TsButton* btnCancel = nullptr;
  TsComboBox* cbPort = nullptr;
  TImageList* imgComPort = nullptr;

protected:
  // A window made anew (the border style changed, say) is registered again; the old
  // registration is given back with the old window.
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  std::string GetPort() const;
  void RegisterDeviceEvents();
  void UnregisterDeviceEvents();
  void WMDeviceChange(TMessage& Message);

  TOwnedDeviceNotification FDeviceNotify;
  // Set once the constructor registered: from then on every window of the dialog is.
  bool FDeviceEventsWanted = false;
};

// Start-up step of the unit: registers the dialog's class, handlers and component fields for
// the stored form. Runs once; later calls do nothing (the constructor calls it too).
void InitConnectDlgUnit();
