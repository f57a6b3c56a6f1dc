// The system metrics the form layout and region tests work with: sizing frame 4, dialog
// frame 3, caption 19, small caption 16 and a menu line of 19 (changeable).
#pragma once

#include "skin/core/sFormMetrics.h"

struct TFakeMetrics : ISystemMetrics {
  int Menu = 19;
  int Get(int index) const override {
    switch (index) {
      case smCxFrame: return 4;
      case smCxDlgFrame: return 3;
      case smCyCaption: return 19;
      case smCySmCaption: return 16;
      case smCyMenu: return Menu;
      default: return 0;
    }
  }
};
