// Runs another program built beside the running test, while this thread serves the messages
// sent to its windows meanwhile.
#pragma once

#include <windows.h>

#include <string>

#include "framework/base/win/HandleOwner.h"

namespace othertest {

// Runs <this program's folder>\<exe> with `args`; its exit code, or -1 when it did not run or
// did not end within `timeoutMs` (then it is ended).
inline long RunProgramBeside(const std::string& exe, const std::string& args, DWORD timeoutMs = 20000) {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string file(path);
  file = file.substr(0, file.find_last_of("\\/") + 1) + exe;
  std::string cmd = "\"" + file + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(file.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  TOwnedHandle thread(pi.hThread), process(pi.hProcess);
  const DWORD start = GetTickCount();
  HANDLE h = process.Get();
  MSG msg;
  while (MsgWaitForMultipleObjects(1, &h, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
         GetTickCount() - start < timeoutMs) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  DWORD code = 0;
  if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(h, &code)) {
    TerminateProcess(h, 1);
    return -1;
  }
  return static_cast<long>(code);
}

}  // namespace othertest
