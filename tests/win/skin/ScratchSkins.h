// Scratch places of the engine's Windows tests: a path in the temporary directory unique to
// the test process, and small skin folders written there.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>

namespace formtest {

// A path in the temporary directory, unique to this test process: "orbex-<what>-<pid><suffix>".
inline std::string ScratchPath(const std::string& what, const std::string& suffix = {}) {
  char tmp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, tmp);
  return std::string(tmp) + "orbex-" + what + "-" + std::to_string(GetCurrentProcessId()) + suffix;
}

// A skin folder `dir`\`name` holding only the given "Options.dat".
inline void WriteSkinFolder(const std::string& dir, const std::string& name, const std::string& options) {
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA((dir + "\\" + name).c_str(), nullptr);
  std::ofstream(dir + "\\" + name + "\\Options.dat", std::ios::binary | std::ios::trunc) << options;
}

}  // namespace formtest
