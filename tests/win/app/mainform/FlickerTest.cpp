// The skin switch seen from the screen: another thread copies the main window's screen area
// (BitBlt from the screen DC) again and again, from before each switch (Dusk, Linden, Dusk)
// until 300 ms after OnAfterChange, with three more skinned forms open. Every frame must be
// the old image, the new one, or one uniform blend of them: the blend's fraction, estimated
// where they differ, spreads by at most 0.1, and every channel lies within 3 of that blend.
// Failing frames are written as PNG files into the temporary folder.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>

#include "app/win/MainFrm.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"
#include "tests/win/app/mainform/AppTestUtil.h"
#include "tests/win/skin/forms/FormTestUtil.h"

using namespace apptest;

namespace {

using TImage = std::vector<std::uint32_t>;

TImage CaptureScreen(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap dib;
  dib.SetPixelFormat(TPixelFormat::pf32bit);
  dib.SetSize(w, h);
  {
    HDC screen = GetDC(nullptr);
    BitBlt(dib.Canvas()->GetHandle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  GdiFlush();
  TImage out(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const auto* row = static_cast<const std::uint32_t*>(dib.ScanLine(y));
    std::copy(row, row + w, out.begin() + static_cast<std::ptrdiff_t>(y) * w);
  }
  return out;
}

int Channel(std::uint32_t p, int c) { return static_cast<int>((p >> (8 * c)) & 0xFF); }

// Empty when the frame is the old image, the new one or one uniform blend; else why not.
std::string Judge(const TImage& frame, const TImage& oldImage, const TImage& newImage) {
  // The fraction of each pixel whose images differ enough to estimate it (3 of tolerance on
  // a difference of 40 or more moves it by 0.075 at most).
  double lo = 2, hi = -1;
  for (size_t i = 0; i < frame.size(); ++i) {
    int best = 0;
    for (int c = 1; c < 3; ++c)
      if (std::abs(Channel(newImage[i], c) - Channel(oldImage[i], c)) >
          std::abs(Channel(newImage[i], best) - Channel(oldImage[i], best)))
        best = c;
    const int d = Channel(newImage[i], best) - Channel(oldImage[i], best);
    if (std::abs(d) < 40) continue;
    const double f = static_cast<double>(Channel(frame[i], best) - Channel(oldImage[i], best)) / d;
    lo = std::min(lo, f);
    hi = std::max(hi, f);
  }
  char text[128];
  if (hi >= lo && hi - lo > 0.1 + 6.0 / 255) {
    std::snprintf(text, sizeof text, "blend fractions spread from %.2f to %.2f", lo, hi);
    return text;
  }
  const double f = hi >= lo ? std::clamp((lo + hi) / 2, 0.0, 1.0) : 0.0;
  for (size_t i = 0; i < frame.size(); ++i)
    for (int c = 0; c < 3; ++c) {
      const int o = Channel(oldImage[i], c), n = Channel(newImage[i], c);
      if (std::abs(Channel(frame[i], c) - (o + f * (n - o))) > 3 + 0.05 * std::abs(n - o) + 0.5) {
        std::snprintf(text, sizeof text, "pixel %zu is no blend at %.2f of 0x%06X and 0x%06X: 0x%06X", i, f,
                      oldImage[i] & 0xFFFFFF, newImage[i] & 0xFFFFFF, frame[i] & 0xFFFFFF);
        return text;
      }
    }
  return "";
}

void SavePng(const std::string& path, const TImage& image, int w, int h) {
  pngtest::Bytes rows;
  for (int y = 0; y < h; ++y) {
    rows.push_back(0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = image[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      rows.insert(rows.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
    }
  }
  const pngtest::Bytes png = pngtest::File(pngtest::IHDR(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 8, 2),
                                           {pngtest::Chunk("IDAT", pngtest::Deflate(rows))});
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                              static_cast<std::streamsize>(png.size()));
}

// Takes the screen area again and again on its own thread and keeps each frame that differs
// from the one before.
class TScreenRecorder {
public:
  explicit TScreenRecorder(const RECT& r) : FRect(r), FThread([this] { Run(); }) {}
  ~TScreenRecorder() {
    FStop = true;
    FThread.join();
  }
  // Lets the messages flow until the recorder has taken `count` more frames.
  void WaitForFrames(int count) {
    const int until = FTaken + count;
    while (FTaken < until) formtest::Pump(5);
  }
  std::vector<TImage> Frames() {
    std::lock_guard<std::mutex> g(FLock);
    return FFrames;
  }

private:
  void Run() {
    while (!FStop) {
      TImage img = CaptureScreen(FRect);
      {
        std::lock_guard<std::mutex> g(FLock);
        if (FFrames.empty() || FFrames.back() != img) FFrames.push_back(std::move(img));
      }
      ++FTaken;
    }
  }
  RECT FRect;
  std::mutex FLock;
  std::vector<TImage> FFrames;
  std::atomic<int> FTaken{0};
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

class Flicker : public testing::TestWithParam<bool> {
protected:
  // The mouse is parked in the screen's far corner: left over a title button by an earlier
  // test, it would light the button and its fade would show in the frames.
  void SetUp() override {
    Ini = ScratchIni("flicker");
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  void TearDown() override { DeleteFileA(Ini.c_str()); }
  std::string Ini;
};

TEST_P(Flicker, EveryFrameOfASkinSwitchIsOldNewOrOneBlend) {
  auto f = MakeMainForm(Ini);
  f->SkinManager->AnimEffects()->SkinChanging()->Active = GetParam();
  f->SetBounds(10, 10, f->Width(), f->Height());
  f->Show();
  // Three more skinned forms beside the main window, re-skinned and released with it.
  std::vector<std::unique_ptr<TForm>> others;
  for (int i = 0; i < 3; ++i) {
    others.push_back(std::make_unique<TForm>(nullptr));
    others.back()->SetBounds(f->Left() + f->Width() + 10, 10 + i * 150, 240, 140);
    formtest::ShowWithFrame(others.back().get());
  }
  formtest::Pump(300);
  RECT r{};
  GetWindowRect(f->Handle(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int saved = 0;
  for (const bool light : {true, false}) {
    const TImage oldImage = CaptureScreen(r);
    std::vector<TImage> frames;
    {
      TScreenRecorder recorder(r);
      recorder.WaitForFrames(1);
      if (light)
        f->Light1Click(f.get());
      else
        f->Dark1Click(f.get());
      formtest::Pump(300);
      recorder.WaitForFrames(1);
      frames = recorder.Frames();
    }
    const TImage newImage = CaptureScreen(r);
    ASSERT_NE(newImage, oldImage);
    EXPECT_EQ(Judge(frames.back(), newImage, newImage), "") << "the recorder saw the end";
    for (size_t i = 0; i < frames.size(); ++i) {
      const std::string why = Judge(frames[i], oldImage, newImage);
      if (why.empty()) continue;
      const std::string path = formtest::ScratchPath(std::string("flicker-") + (GetParam() ? "animated-" : "instant-") +
                                                         (light ? "linden-" : "dusk-") + std::to_string(i),
                                                     ".png");
      ADD_FAILURE() << (light ? "to Linden" : "to Dusk") << ", frame " << i << " of " << frames.size() << ": "
                    << why << " (" << path << ")";
      if (++saved <= 6) SavePng(path, frames[i], w, h);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Animation, Flicker, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "On" : "Off"; });

}  // namespace
