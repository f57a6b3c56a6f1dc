// What the window adapters' tests under Wine share: the application environment with the
// scroll bars' system entry points looked up (and the framework's forms made, for tests with
// framework controls), and a colour comparison that allows for rounding in blends.
#pragma once

#include "framework/win/Forms.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "skin/adapters/lxSBUtils.h"
#include "tests/win/skin/SkinManagerTestEnvironment.h"

class TAdapterTestEnvironment : public TSkinManagerTestEnvironment {
public:
  TAdapterTestEnvironment(std::string title, bool forms)
      : TSkinManagerTestEnvironment(std::move(title)), FForms(forms) {}

protected:
  void InitUnits() override {
    TSkinManagerTestEnvironment::InitUnits();
    InitSBUtilsUnit();
    if (FForms && Application == nullptr) InitForms();
  }
  void Stopped() override {
    DoneSBUtilsUnit();
    TSkinManagerTestEnvironment::Stopped();
  }

private:
  bool FForms;
};

// The class of the top-level windows the adapted windows are put in, `proc` answering what the
// test needs of a parent (the background request), on the button face otherwise.
inline void RegisterAdapterParentClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClassA(&wc);
}

// Each channel within 2 of the other's.
inline bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}
