// The device-setup interface as the "Select device" dialog uses it: MinGW's own declarations of
// the SetupDi* functions, their flags and records, plus the one constant its headers only give
// as a link-time GUID (the USB device interface class). Declarations only; the calls are
// imported from setupapi.dll.
#pragma once

#include <windows.h>
#include <setupapi.h>

// The interface class every present USB device exposes, {A5DCBF10-6530-11D2-901F-00C04FB951ED}.
// MinGW declares it in <usbiodef.h> through DEFINE_GUID, which needs a separate definition
// unit; this inline copy needs none.
inline constexpr GUID kUsbDeviceInterfaceClass = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// The fixed sizes the 32-bit system checks in cbSize: the interface detail record (a DWORD
// and the first character of its path, packed) and the device-info record.
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5 || sizeof(void*) != 4,
              "the interface detail's fixed size must be 5 on 32-bit Windows");
static_assert(sizeof(SP_DEVINFO_DATA) == 28 || sizeof(void*) != 4,
              "the device-info record must be 28 bytes on 32-bit Windows");
