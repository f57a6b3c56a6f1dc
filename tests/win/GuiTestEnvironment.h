// The application environment shared by the GUI test programs: starts the units a program's
// tests need, then Application and Screen, once for the whole program, and ends the forms when
// it finishes. Each program derives one environment naming its own units (window classes,
// stored-form classes) and whatever it sets up once the application is there.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/win/Forms.h"

class TGuiTestEnvironment : public testing::Environment {
public:
  explicit TGuiTestEnvironment(std::string title) : FTitle(std::move(title)) {}

  void SetUp() final {
    InitUnits();
    InitForms();
    Application->Initialize();
    Application->SetTitle(FTitle);
    Started();
  }
  void TearDown() final {
    DoneForms();
    Stopped();
  }

protected:
  // The units whose classes the program's tests use, before Application exists.
  virtual void InitUnits() = 0;
  // Once Application is up, and once the forms have ended.
  virtual void Started() {}
  virtual void Stopped() {}

private:
  std::string FTitle;
};
