// Device-change notifications as the "Select device" dialog uses them: MinGW's <dbt.h> (the
// WM_DEVICECHANGE event codes and the device-interface filter record) and the registration
// flag from <winuser.h>. Declarations only.
#pragma once

#include <windows.h>
#include <dbt.h>

// The filter record RegisterDeviceNotificationA takes for one interface class: size, device
// type, reserved, class GUID and an empty name, 32 bytes in all.
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32,
              "the device-interface filter record must be 32 bytes");
static_assert(DBT_DEVICEARRIVAL == 0x8000 && DBT_DEVICEREMOVECOMPLETE == 0x8004,
              "the arrival and removal codes the dialog reacts to");
