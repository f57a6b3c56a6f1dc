// Timing harness, run under Wine: how long a SkinName switch takes (load into new tables,
// apply, broadcast of the skin commands to a few forms full of controls) against loading the
// same packed skin alone. Two synthetic packed skins of realistic size are written to a
// scratch folder. Prints milliseconds per operation and the ratio; always exits 0.
//
//   wine bench_skinswitch.exe [rounds]
#include "framework/win/Forms.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "framework/win/StdCtrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

// A 32-bit bottom-up bitmap file of w x h pixels in a pattern of the given tint.
std::string Bitmap32(int w, int h, std::uint32_t tint) {
  std::string b;
  const std::int64_t bytes = std::int64_t(w) * h * 4;
  b += "BM";
  PutInt32(b, 54 + bytes);
  PutInt32(b, 0);
  PutInt32(b, 54);
  PutInt32(b, 40);
  PutInt32(b, w);
  PutInt32(b, h);
  b += std::string("\x01\x00\x20\x00", 4);
  for (int i = 0; i < 6; ++i) PutInt32(b, i == 1 ? bytes : 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) PutInt32(b, ((x ^ y) & 8) != 0 ? 0xFF000000u | tint : 0xFF202020u);
  return b;
}

// Options text of 60 sections with colours, gradients and nine-piece masks in the master bitmap.
std::string Options(std::uint32_t tint) {
  std::string t = "[GLOBALINFO]\r\nVERSION=7.2\r\nMASTERBITMAP=MASTER.BMP\r\nCOLOR=" + std::to_string(tint) + "\r\n";
  for (int i = 0; i < 60; ++i) {
    char mask[64];
    std::snprintf(mask, sizeof mask, "^%04d %04d %04d %04d 0004 0004 0004 0004 3 1 1 0", (i % 8) * 60,
                  (i / 8) * 40, (i % 8) * 60 + 60, (i / 8) * 40 + 40);
    t += "[SECTION" + std::to_string(i) + "]\r\nCOLOR=" + std::to_string(tint + i) +
         "\r\nFONTCOLOR=0\r\nHOTCOLOR=" + std::to_string(tint ^ 0xFFFFFF) +
         "\r\nGRADIENTDATA=" + std::to_string(tint) + ";" + std::to_string(tint / 2) +
         ";50;0;0;\r\nGRADIENTPERCENT=50\r\nSTATES=4\r\nBORDERSMASK=" + mask + "\r\n";
  }
  return t;
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

template <class F>
double BestMs(int rounds, F f) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = Clock::now();
    f(i);
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  sMessagesInitialization();
  InitForms();
  char tmp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, tmp);
  const std::string dir = std::string(tmp) + "orbex-bench-skinswitch";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::uint32_t tints[2] = {0x1F70D9, 0x3CA060};
  for (int k = 0; k < 2; ++k)
    Write(dir + "\\" + (k == 0 ? "A" : "B") + ".tez",
          BuildPackedSkin({{"Options.dat", Options(tints[k])}, {"MASTER.BMP", Bitmap32(480, 320, tints[k])}}));

  // Receivers of the broadcast: five forms of forty controls each.
  std::vector<std::unique_ptr<TForm>> forms;
  for (int f = 0; f < 5; ++f) {
    forms.push_back(std::make_unique<TForm>(nullptr));
    for (int c = 0; c < 40; ++c) {
      auto* b = new TButton(forms.back().get());
      b->SetParent(forms.back().get());
      b->SetBounds(4 + (c % 8) * 60, 4 + (c / 8) * 30, 56, 26);
    }
    forms.back()->HandleNeeded();
    RegisterSkinnedForm(forms.back().get());
  }

  TsSkinManager manager(nullptr);
  manager.SetSkinDirectory(dir);
  manager.SetSkinName("A");
  const double load = BestMs(rounds, [&](int) { manager.LoadPackedSkin(); });
  const double sw = BestMs(rounds, [&](int i) { manager.SetSkinName(i % 2 == 0 ? "B" : "A"); });
  std::printf("load alone      %8.3f ms\nSkinName switch %8.3f ms\nswitch / load   %8.2f\n", load, sw,
              load > 0 ? sw / load : 0.0);

  for (auto& f : forms) UnregisterSkinnedForm(f.get());
  for (const char* n : {"\\A.tez", "\\B.tez"}) DeleteFileA((dir + n).c_str());
  RemoveDirectoryA(dir.c_str());
  return 0;
}
