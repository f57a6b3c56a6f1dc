// Timing harness, run under Wine: one 32 x 32 image of an alpha image list drawn by the list's
// own Draw (the item's cached image blended by its alpha over what the canvas shows) against
// ImageList_Draw of the same image from the same system list, measured in the same run onto
// the same 32-bit canvas. Prints microseconds per draw and the ratio; always exits 0.
//
//   wine bench_alphaimagelist.exe [rounds]
#include "skin/paint/win/lxAlphaImageList.h"

#include "bench/forms/MicrosPerRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "skin/paint/win/lxPNGGraphic.h"
#include "skin/paint/win/sBitmap32.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
  InitGraphicsUnit();
  InitPNGUnit();
  std::ifstream in(ORBEX_IMAGES_DIR "/connect32.png", std::ios::binary);
  std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (png.empty()) {
    std::printf("bench_alphaimagelist: cannot read %s\n", ORBEX_IMAGES_DIR "/connect32.png");
    return 0;
  }
  std::unique_ptr<TsAlphaImageList> list(NewComponent<TsAlphaImageList>(nullptr));
  list->SetSize(32, 32);
  TsImgListItem* item = list->Items()->Add();
  item->ImageFormat = ifPNG;
  item->Data = png;
  list->GetHandle();
  list->GenerateStdList();
  const auto canvas = CreateBitmap32(64, 64);
  TCanvas* c = canvas->Canvas();
  const HDC dc = c->GetHandle();
  const double system = MicrosPerRun(rounds, [&] { ImageList_Draw(list->GetHandle(), 0, dc, 8, 8, ILD_NORMAL); });
  const double own = MicrosPerRun(rounds, [&] { list->Draw(c, 8, 8, 0); });
  std::printf("32 x 32 image: ImageList_Draw %.2f us, cached alpha image list Draw %.2f us (%.2f x)\n", system, own,
              own / system);
  list.reset();
  DonePNGUnit();
  return 0;
}
