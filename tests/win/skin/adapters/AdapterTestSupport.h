// What the window adapters' tests under Wine share: the application environment with the
// scroll bars' system entry points looked up (and the framework's forms made, for tests with
// framework controls), and a colour comparison that allows for rounding in blends.
#pragma once

#include "framework/win/Forms.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "skin/adapters/lxSBUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sBackgroundInfo.h"
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

// A parent's answer to the background request (command 34): `colour`; true when the message
// was that request.
inline bool AnswerBackgroundRequest(UINT msg, WPARAM wp, LPARAM lp, COLORREF colour) {
  if (msg != WM_SKINCOMMAND || SkinCommandOf(wp) != SkinCmdQueryBackground || lp == 0) return false;
  auto* request = reinterpret_cast<TsBackgroundRequest*>(lp);
  request->Kind = bkColor;
  request->Color = colour;
  return true;
}

// `m` replaced by a new manager (which becomes the default one) with the fixture skin `skin`
// of the folder `dir`.
inline void LoadFixtureSkin(std::unique_ptr<TsSkinManager>& m, const char* dir, const char* skin) {
  m.reset();
  m = std::make_unique<TsSkinManager>(nullptr);
  m->SetSkinDirectory(dir);
  m->SetSkinName(skin);
}

// Each channel within 2 of the other's.
inline bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}
