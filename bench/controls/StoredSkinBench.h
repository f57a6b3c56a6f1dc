// The start of the control benchmarks that paint with a stored skin: the forms unit and the
// skin messages set up, and the skin loaded into the caller's manager from the stored skins'
// folder (ORBEX_SKINS_DIR; a Unix path goes through Wine's Z: drive). False, with a line saying
// so, when the skin cannot be loaded.
#pragma once

#include "framework/win/Forms.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinManager.h"

inline bool StartWithStoredSkin(TsSkinManager& manager, const char* skin, const char* program) {
  InitForms();
  sMessagesInitialization();
  std::string dir = ORBEX_SKINS_DIR;
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
  std::replace(dir.begin(), dir.end(), '/', '\\');
  manager.SetSkinDirectory(dir);
  manager.SetSkinName(skin);
  if (manager.SkinData().Active) return true;
  std::printf("%s: the skin \"%s\" could not be loaded from %s\n", program, skin, dir.c_str());
  return false;
}
