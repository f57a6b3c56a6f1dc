// Helpers of the application tests: instrument packets, a scope fed without a port, a scratch
// ini file, and pixel reads of 8-bit bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/win/MainFrm.h"
#include "framework/win/Graphics.h"

namespace apptest {

// An "A" frame of 256 samples with status bytes b4, b5.
std::vector<std::uint8_t> Frame(std::uint8_t b4, std::uint8_t b5,
                                const std::vector<std::uint8_t>& samples);
std::vector<std::uint8_t> Frame(std::uint8_t b4, std::uint8_t b5, std::uint8_t all);
// An "R" packet for columns first .. first + samples.size() - 1.
std::vector<std::uint8_t> Range(std::uint8_t b4, std::uint8_t b5, int first,
                                const std::vector<std::uint8_t>& samples);
// An "S" packet: one sample at a 24-bit position.
std::vector<std::uint8_t> Single(std::uint8_t b4, std::uint8_t b5, std::uint32_t position,
                                 std::uint8_t value);

// Hands bytes to the packet parser of a scope made by MakeMainForm (a stand-in fed without
// port or thread), as if its reader had received them.
void Feed(TOrbexScope& scope, const std::vector<std::uint8_t>& bytes);

// A fresh path for an ini file in the temporary folder (the file does not exist).
std::string ScratchIni(const std::string& tag);
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);

// The colour of pixel (x, y) of a palettised bitmap, as 0x00BBGGRR.
TColor PixelOf(TBitmap& bmp, int x, int y);

// A main form with its own scope and ini file, sized so that the paint box is w x h.
std::unique_ptr<TMainForm> MakeMainForm(const std::string& ini, int w = 700, int h = 402);

}  // namespace apptest

#include <functional>
#include "framework/win/ExtCtrls.h"

namespace apptest {

// Plays the part of the user in modal forms: on each tick of a framework timer (so inside
// the forms' own modal loops) the innermost visible modal form is handed to the next step,
// which answers it (sets fields, a modal result). Steps run once each, in order.
class TModalScript {
public:
  using TStep = std::function<void(TCustomForm* form)>;
  explicit TModalScript(std::vector<TStep> steps);
  ~TModalScript();
  bool Done() const { return FNext >= FSteps.size(); }

private:
  void Tick();
  std::vector<TStep> FSteps;
  size_t FNext = 0;
  std::unique_ptr<TTimer> FTimer;
};

// The text of a framework message form ("Message" label), "" for any other form.
std::string MessageText(TCustomForm* form);

}  // namespace apptest
