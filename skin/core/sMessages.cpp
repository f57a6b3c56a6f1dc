// The skin command message number and the command classification: see sMessages.h.
#include "skin/core/sMessages.h"

std::uint32_t WM_SKINCOMMAND = 0;

namespace {
int InitializationCount = 0;
}

void sMessagesInitialization() {
  if (InitializationCount++ == 0) WM_SKINCOMMAND = SkinCommandMessageNumber;
}

void sMessagesFinalization() {
  if (InitializationCount > 0) --InitializationCount;
}

bool SkinCommandCarriesPointer(std::uint16_t command) {
  switch (command) {
    case SkinCmdSkinLoaded:            // the manager, compared by address
    case SkinCmdUnskin:
    case SkinCmdRedrawSkin:
    case SkinCmdFindProvider:          // returns an object
    case SkinCmdBackgroundWithOffset:  // a request record written through
    case SkinCmdTakeSection:           // a record read through
    case SkinCmdFadeFrame:             // a bitmap object
    case SkinCmdAdoptControls:         // a control object
    case SkinCmdQuerySectionIndex:     // an integer written through
    case SkinCmdQueryContainer:        // may return a manager
    case SkinCmdQueryBackground:       // a request record written through
    case SkinCmdDisabledLook:          // an integer written through
    case SkinCmdQueryCommonData:       // returns an object
    case SkinCmdPrintMode:             // a device context of this process
    case SkinCmdQueryAppObject:        // returns an object
      return true;
    default:
      return false;
  }
}
