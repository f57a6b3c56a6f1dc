// The "Select device" dialog and the device discovery behind it (see ConnectDlg.h).
//
// Sections: registry and device-set owners; reading device data; ListScopePorts; the dialog
// (construction, port list, notifications, closing); class registration.
#include "app/win/ConnectDlg.h"

#include <algorithm>
#include <string>
#include <vector>

#include "framework/base/SysUtils.h"
#include "framework/base/TypInfo.h"
#include "framework/base/win/Registry.h"
#include "framework/win/Dialogs.h"
#include "framework/win/FormReader.h"
#include "framework/win/ImgList.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Owners

struct TDevInfoSetTraits {
  using Handle = HDEVINFO;
  static void Close(HDEVINFO h) { ::SetupDiDestroyDeviceInfoList(h); }
};
// The device set of one enumeration. SetupDiGetClassDevsA reports failure with
// INVALID_HANDLE_VALUE, which the owner is never given.
using TOwnedDevInfoSet = THandleOwner<TDevInfoSetTraits>;

// Buffer size of one property or value read; a port name or hardware ID that does not fit is
// not one of ours.
constexpr DWORD kValueBufferSize = 1024;
// A sane upper bound for the interface detail block the system asks for (a device path).
constexpr DWORD kMaxDetailSize = 64 * 1024;
// Interfaces beyond this index are not looked at: the loop ends even if the system never
// reports the end of the list.
constexpr DWORD kMaxInterfaces = 4096;

// The text of registry data of `size` bytes: up to the first zero, or all of it when the data
// were stored without one (the system does not add a missing terminator).
std::string TextOfData(const BYTE* data, DWORD size) {
  const char* p = reinterpret_cast<const char*>(data);
  const char* end = std::find(p, p + size, '\0');
  return std::string(p, end);
}

// The port name of a device from its hardware registry key ("Device Parameters"), or false
// when the key cannot be opened or "PortName" is not a usable string value.
bool ReadPortName(HDEVINFO devInfo, SP_DEVINFO_DATA& devData, std::string& portName) {
  HKEY raw = ::SetupDiOpenDevRegKey(devInfo, &devData, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (raw == INVALID_HANDLE_VALUE || raw == nullptr) return false;
  TOwnedRegKey key(raw);
  // One spare zero past the buffer the system may fill, so the text always ends.
  BYTE data[kValueBufferSize + 1] = {};
  DWORD size = kValueBufferSize;
  DWORD type = REG_NONE;
  if (::RegQueryValueExA(key.Get(), "PortName", nullptr, &type, data, &size) != ERROR_SUCCESS)
    return false;   // missing, or longer than the buffer (ERROR_MORE_DATA)
  if (type != REG_SZ || size > kValueBufferSize) return false;
  portName = TextOfData(data, size);
  // A name the list cannot hold as the name part of a "name=value" line is not a port.
  return !portName.empty() && portName.find('=') == std::string::npos;
}

// The detail of interface `iface` (device path) and the device-info record it belongs to.
// The path itself is not needed; the call is what yields the device's record.
bool ReadInterfaceDetail(HDEVINFO devInfo, SP_DEVICE_INTERFACE_DATA& iface, SP_DEVINFO_DATA& devData) {
  DWORD required = 0;
  ::SetupDiGetDeviceInterfaceDetailA(devInfo, &iface, nullptr, 0, &required, nullptr);
  if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) || required > kMaxDetailSize) return false;
  // DWORD elements keep the block aligned for its leading size field.
  std::vector<DWORD> block((required + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  devData = SP_DEVINFO_DATA{};
  devData.cbSize = sizeof(SP_DEVINFO_DATA);
  return ::SetupDiGetDeviceInterfaceDetailA(devInfo, &iface, detail, required, nullptr, &devData) != FALSE;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading device data

std::string TConnectDialog::GetDeviceProperty(HDEVINFO DevInfo, SP_DEVINFO_DATA& DevData, DWORD Property) {
  BYTE data[kValueBufferSize + 1] = {};
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (!::SetupDiGetDeviceRegistryPropertyA(DevInfo, &DevData, Property, &type, data, kValueBufferSize, &size)) {
    const DWORD code = ::GetLastError();
    RaiseWin32Error("", code);
  }
  // A multi-string is its strings one after another, each ending in a zero: the text up to
  // the first zero is its first string.
  return TextOfData(data, std::min(size, kValueBufferSize));
}

// ---------------------------------------------------------------------------------------------
// ListScopePorts

void TConnectDialog::ListScopePorts(TStrings* list) {
  list->Clear();
  GUID cls = kUsbDeviceInterfaceClass;
  HDEVINFO raw = ::SetupDiGetClassDevsA(&cls, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (raw == INVALID_HANDLE_VALUE) {
    // Not "no instrument": the system could not say which devices are there.
    const DWORD code = ::GetLastError();
    RaiseWin32Error("", code);
  }
  TOwnedDevInfoSet devInfo(raw);

  for (DWORD index = 0; index < kMaxInterfaces; ++index) {
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof(iface);
    if (!::SetupDiEnumDeviceInterfaces(devInfo.Get(), nullptr, &cls, index, &iface)) {
      if (::GetLastError() == ERROR_NO_MORE_ITEMS) break;
      continue;   // this one cannot be read; the ones after it still can
    }
    SP_DEVINFO_DATA devData{};
    if (!ReadInterfaceDetail(devInfo.Get(), iface, devData)) continue;
    // A device whose data cannot be read has no entry: it is skipped, and the others are
    // still listed (one broken driver must not hide the instrument).
    try {
      if (!SameText(GetDeviceProperty(devInfo.Get(), devData, SPDRP_HARDWAREID), kOrbexHardwareId))
        continue;
      std::string portName;
      if (!ReadPortName(devInfo.Get(), devData, portName)) continue;
      std::string description = GetDeviceProperty(devInfo.Get(), devData, SPDRP_DEVICEDESC);
      // Written as a whole line: an empty description still lists the port.
      std::string line = portName + "=" + description;
      int at = list->IndexOfName(portName);
      if (at >= 0) list->Put(at, line);
      else list->Add(line);
    } catch (const Exception&) {
      continue;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The dialog

TConnectDialog::TConnectDialog(TComponent* AOwner) : TForm(AOwner) {
  InitConnectDlgUnit();
  ReadStoredForm();
  if (cbPort == nullptr) throw EComponentError("The device dialog has no port field");
  FDeviceEventsWanted = true;
  RegisterDeviceEvents();
  RefreshPortList();
}

TConnectDialog::~TConnectDialog() {
  FDeviceEventsWanted = false;
  UnregisterDeviceEvents();
}

std::string TConnectDialog::GetPort() const { return cbPort != nullptr ? cbPort->Text() : std::string(); }

void TConnectDialog::AddPortItem(const std::string& Name) { cbPort->Items()->Add(Name); }

void TConnectDialog::RefreshPortList() {
  TStringList ports;
  std::string failure;
  try {
    ListScopePorts(&ports);
  } catch (const EOSError& e) {
    failure = e.Message();
  }

  // What the field held, and whether it was a listed port or a name typed by hand.
  const std::string previous = cbPort->Text();
  const bool wasListed = cbPort->Items()->IndexOf(previous) >= 0;

  cbPort->Clear();
  for (int i = 0; i < ports.Count(); ++i) AddPortItem(ports.Names(i));

  int again = previous.empty() ? -1 : cbPort->Items()->IndexOf(previous);
  if (again >= 0) {
    cbPort->SetItemIndex(again);
  } else if (!previous.empty() && !wasListed) {
    cbPort->SetText(previous);
  } else if (cbPort->Items()->Count() > 0) {
    cbPort->SetItemIndex(0);
  }
  // The list is empty then, but a port typed by hand still connects.
  if (!failure.empty())
    MessageDlg("The attached instruments cannot be listed: " + failure +
                   "\nType the port name to connect to.",
               TMsgDlgType::mtError, mbOK);
}

// --- Notifications ---------------------------------------------------------------------------

void TConnectDialog::RegisterDeviceEvents() {
  if (FDeviceNotify.Valid()) return;
  HWND wnd = Handle();   // making the window registers it (CreateWnd)
  if (FDeviceNotify.Valid()) return;
  DEV_BROADCAST_DEVICEINTERFACE_A filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_reserved = 0;
  filter.dbcc_classguid = kUsbDeviceInterfaceClass;
  filter.dbcc_name[0] = '\0';
  HDEVNOTIFY h = ::RegisterDeviceNotificationA(wnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  if (h == nullptr) {
    const DWORD code = ::GetLastError();
    RaiseWin32Error("", code);
  }
  FDeviceNotify.Reset(h);
}

void TConnectDialog::UnregisterDeviceEvents() { FDeviceNotify.Reset(); }

void TConnectDialog::CreateWnd() {
  TForm::CreateWnd();
  if (FDeviceEventsWanted) RegisterDeviceEvents();
}

void TConnectDialog::DestroyWnd() {
  UnregisterDeviceEvents();
  TForm::DestroyWnd();
}

// Arrival and removal list the ports anew; every other event goes on to the default handling
// (queries are granted there: the dialog never vetoes a device change).
void TConnectDialog::WMDeviceChange(TMessage& Message) {
  if (Message.WParam == DBT_DEVICEARRIVAL || Message.WParam == DBT_DEVICEREMOVECOMPLETE) {
    RefreshPortList();
    Message.Result = TRUE;
    return;
  }
  TForm::Dispatch(Message);
}

void TConnectDialog::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DEVICECHANGE: WMDeviceChange(Message); break;
    default: TForm::Dispatch(Message); break;
  }
}

// --- Closing ---------------------------------------------------------------------------------

void TConnectDialog::FormCloseQuery(TObject* Sender, bool& CanClose) {
  if (IsPositiveResult(ModalResult()) && cbPort->Text().empty()) {
    MessageDlg("Please select a device", TMsgDlgType::mtError, mbOK);
    CanClose = false;
  }
}

// ---------------------------------------------------------------------------------------------
// Class registration

ORBEX_IMPLEMENT_PUBLISHED(TConnectDialog, TForm, &CreateComponentOf<TConnectDialog>)

void TConnectDialog::PublishProperties(TPublisher<TConnectDialog>& P) {
  P.String("Port", &TConnectDialog::GetPort);
}

void InitConnectDlgUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TConnectDialog>();
  RegisterPublishedMethods(&TConnectDialog::StaticClassInfo(),
                           {PublishedMethod("FormCloseQuery", &TConnectDialog::FormCloseQuery)},
                           {PublishedField("sLabel1", &TConnectDialog::sLabel1),
                            PublishedField("btnOK", &TConnectDialog::btnOK),
                            PublishedField("btnCancel", &TConnectDialog::btnCancel),
                            PublishedField("cbPort", &TConnectDialog::cbPort),
                            PublishedField("imgComPort", &TConnectDialog::imgComPort)});
}
