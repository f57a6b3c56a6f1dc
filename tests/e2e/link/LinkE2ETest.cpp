// The instrument link end to end under Wine: TOrbexScope connects to a COM port mapped to a
// raw pty whose other end is the instrument emulator, driven through run-link-e2e.sh. Checks
// what the program sees: samples, status fields and events, over the real port, thread and
// Synchronize hand-over; garbage and split packets; the line going away; connecting again.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/win/Orbex.h"
#include "framework/base/Thread.h"

namespace {
using Events = std::vector<std::pair<int, int>>;
using Clock = std::chrono::steady_clock;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

// Serves the reader's Synchronize calls until `cond` holds or `ms` have passed.
template <class F>
bool WaitUntil(F cond, int ms = 10000) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (!cond()) {
    if (Clock::now() > deadline) return false;
    CheckSynchronize(20);
  }
  return true;
}

// Requests to the wrapper script: one line each, acknowledged by a file.
class TLineControl {
public:
  TLineControl() : FDir(Env("ORBEX_LINK_E2E_DIR")) {}
  bool Ready() const { return !FDir.empty(); }
  void Request(const std::string& what) {
    const std::string id = std::to_string(++FNext);
    {
      std::ofstream ctl(FDir + "\\ctl.txt", std::ios::app | std::ios::binary);
      ctl << id << ' ' << what << '\n';
    }
    const std::string ack = FDir + "\\ack\\" + id;
    const bool acked = WaitUntil(
        [&] { return GetFileAttributesA(ack.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
    ASSERT_TRUE(acked) << "no acknowledgement for: " << what.substr(0, 60);
  }
  void Emu(const std::string& line) { Request("emu " + line); }

private:
  std::string FDir;
  int FNext = 0;
};

std::string Values(const std::vector<int>& v) {
  std::string s;
  for (int x : v) s += ' ' + std::to_string(x);
  return s;
}

// Every byte value once, so that any translation on the line (0x0A, 0x0D, 0x03, XON/XOFF)
// would show.
std::vector<int> Permutation() {
  std::vector<int> v;
  for (int i = 0; i < 256; ++i) v.push_back((i * 7 + 3) & 0xFF);
  return v;
}

// A scope with its events recorded.
template <class TScope>
struct RecorderOf {
  TScope Scope;
  Events Fired;
  int Connects = 0;
  int Disconnects = 0;
  bool ReaderAtConnect = true;
  bool ConnectedAtDisconnect = true;
  RecorderOf() {
    Scope.SetPortName(Env("ORBEX_LINK_E2E_PORT"));
    Scope.OnSamples = [this](TObject* sender, int first, int last) {
      EXPECT_EQ(sender, &Scope);
      Fired.emplace_back(first, last);
    };
    Scope.OnConnect = [this](TObject*) {
      ++Connects;
      ReaderAtConnect = Scope.GetReader() != nullptr;
    };
    Scope.OnDisconnect = [this](TObject*) {
      ++Disconnects;
      ConnectedAtDisconnect = Scope.GetConnected();
    };
  }
  bool Saw(int first, int last, int ms = 10000) {
    return WaitUntil([&] {
      for (auto& e : Fired)
        if (e.first == first && e.second == last) return true;
      return false;
    }, ms);
  }
  std::uint8_t At(int i) const { return Scope.GetSamples()[static_cast<size_t>(i)]; }
};
using Recorder = RecorderOf<TOrbexScope>;

// A scope whose reads also end after a total time-out of 50 ms without data. Wine fails such
// a read with ERROR_TIMEOUT, which must count as an empty read.
class TTimeoutScope : public TOrbexScope {
protected:
  void ConfigurePort() override {
    TOrbexScope::ConfigurePort();
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 1;
    timeouts.ReadTotalTimeoutConstant = 50;
    if (!SetCommTimeouts(GetPortHandle(), &timeouts)) throw EOrbexError("SetCommTimeouts");
  }
};

class LinkE2E : public testing::Test {
protected:
  void SetUp() override {
    if (!Line.Ready()) GTEST_SKIP() << "run through run-link-e2e.sh";
  }
  static TLineControl Line;
};
TLineControl LinkE2E::Line;

}  // namespace

TEST_F(LinkE2E, ConnectToAMissingPortRaises) {
  Recorder r;
  r.Scope.SetPortName("COM99");
  try {
    r.Scope.Connect();
    FAIL() << "connected to COM99";
  } catch (const EOrbexError& e) {
    EXPECT_EQ(e.Message(), "Could not connect to COM99");
  }
  EXPECT_FALSE(r.Scope.GetConnected());
  EXPECT_EQ(r.Connects, 0);
  r.Scope.Disconnect();   // not connected: nothing happens
  EXPECT_EQ(r.Disconnects, 0);
}

TEST_F(LinkE2E, PortThatCannotBeSetUpIsClosedAgain) {
  // COM22 opens (a plain file) but takes no line settings. The port is opened without
  // sharing, so a handle left open by a failed attempt would make the next attempt fail to
  // open ("Could not connect to COM22") instead of failing the set-up again.
  Recorder r;
  r.Scope.SetPortName("COM22");
  for (int i = 0; i < 3; ++i) {
    try {
      r.Scope.Connect();
      FAIL() << "COM22 was set up";
    } catch (const EOrbexError& e) {
      EXPECT_NE(e.Message(), "Could not connect to COM22");
    }
    EXPECT_FALSE(r.Scope.GetConnected());
  }
  EXPECT_EQ(r.Connects, 0);
}

TEST_F(LinkE2E, ReceivesFramesRangesAndRollSamples) {
  Recorder r;
  r.Scope.Connect();
  ASSERT_TRUE(r.Scope.GetConnected());
  EXPECT_EQ(r.Connects, 1);
  EXPECT_FALSE(r.ReaderAtConnect);   // OnConnect runs before the reader exists
  TOrbexIoThread* reader = r.Scope.GetReader();
  ASSERT_NE(reader, nullptr);
  r.Scope.Connect();   // already connected: nothing opens
  EXPECT_EQ(r.Connects, 1);
  EXPECT_EQ(r.Scope.GetReader(), reader);
  // Several 200 ms waits without data leave the reader running.
  const auto quiet = Clock::now() + std::chrono::milliseconds(650);
  WaitUntil([&] { return Clock::now() > quiet || reader->Finished(); });
  EXPECT_FALSE(reader->Finished()) << reader->FatalExceptionMessage();

  // Run mode 2, timebase 23; HOLD, DC, x1, volts 9.
  const std::vector<int> frame = Permutation();
  Line.Emu("frame 151 169" + Values(frame));
  ASSERT_TRUE(r.Saw(0, 255));
  for (int i = 0; i < 256; ++i) ASSERT_EQ(r.At(i), frame[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(r.Scope.GetRunMode(), 2);
  EXPECT_EQ(r.Scope.GetTimebase(), 23);
  EXPECT_TRUE(r.Scope.GetHold());
  EXPECT_FALSE(r.Scope.GetMemory());
  EXPECT_TRUE(r.Scope.GetCouplingDC());
  EXPECT_FALSE(r.Scope.GetProbeX10());
  EXPECT_EQ(r.Scope.GetVoltsIndex(), 9);

  // Memory and x10 now; same timebase, so only columns 10-19 change.
  Line.Emu("range 151 0x5B 10 20 0 1 2 3 4 5 6 7 8 9");
  ASSERT_TRUE(r.Saw(10, 19));
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(r.At(i), (i >= 10 && i < 20) ? i - 10 : frame[static_cast<size_t>(i)]) << i;
  EXPECT_TRUE(r.Scope.GetMemory());
  EXPECT_TRUE(r.Scope.GetProbeX10());
  EXPECT_FALSE(r.Scope.GetHold());
  EXPECT_EQ(r.Scope.GetVoltsIndex(), 11);

  // At 2 s/div position 5 lands in column 2 and position 7 in column 4 (halves to even).
  Line.Emu("single 151 169 5 200");
  Line.Emu("single 151 169 7 201");
  ASSERT_TRUE(r.Saw(4, 4));
  EXPECT_TRUE(r.Saw(2, 2, 0));
  EXPECT_EQ(r.At(2), 200);
  EXPECT_EQ(r.At(4), 201);
  EXPECT_EQ(r.Fired, (Events{{0, 255}, {10, 19}, {2, 2}, {4, 4}}));

  r.Scope.Disconnect();
  EXPECT_FALSE(r.Scope.GetConnected());
  EXPECT_EQ(r.Disconnects, 1);
  EXPECT_FALSE(r.ConnectedAtDisconnect);
  EXPECT_EQ(r.Scope.GetReader(), nullptr);
  EXPECT_EQ(r.At(0), NoSample);
  EXPECT_EQ(r.At(1), frame[1]);
  EXPECT_EQ(r.At(2), 200);
}

TEST_F(LinkE2E, ExpiredReadTimeOutsAreEmptyReads) {
  RecorderOf<TTimeoutScope> r;
  r.Scope.Connect();
  TOrbexIoThread* reader = r.Scope.GetReader();
  ASSERT_NE(reader, nullptr);
  const auto quiet = Clock::now() + std::chrono::milliseconds(400);
  WaitUntil([&] { return Clock::now() > quiet || reader->Finished(); });
  ASSERT_FALSE(reader->Finished()) << reader->FatalExceptionMessage();
  Line.Emu("frame 27 4 5");
  ASSERT_TRUE(r.Saw(0, 255));
  EXPECT_EQ(r.At(255), 5);
  r.Scope.Disconnect();
}

TEST_F(LinkE2E, GarbageAndSplitPacketsGiveTheSameResultAsACleanStream) {
  // The same packets twice, clean and then mangled; each run starts with a new timebase
  // (24, after 25 in between) so that both start from cleared samples.
  const std::vector<int> frame = Permutation();
  const std::vector<std::string> packets = {
      "frame 24 0x24" + Values(frame),
      "range 24 0x24 100 110 10 11 12 13 14 15 16 17 18 19",
      "single 24 0x24 30 77",
      "range 24 0x24 250 255 1 2 3 4 5",
  };
  Recorder r;
  r.Scope.Connect();
  ASSERT_TRUE(r.Scope.GetConnected());

  for (auto& p : packets) Line.Emu(p);
  ASSERT_TRUE(r.Saw(250, 254));
  const Events clean = r.Fired;
  const auto cleanSamples = r.Scope.GetSamples();
  EXPECT_EQ(clean, (Events{{0, 255}, {100, 109}, {6, 6}, {250, 254}}));

  r.Fired.clear();
  Line.Emu("frame 25 0x24 1");
  ASSERT_TRUE(r.Saw(0, 255));
  EXPECT_EQ(r.Scope.GetTimebase(), 25);
  r.Fired.clear();

  Line.Emu("garbage 00 42 42 41 0A 00 FF 03 0A 0D 42 53");   // a broken "A" header, "B"s
  Line.Emu("split 7 15");
  Line.Emu(packets[0]);
  Line.Emu("garbage 42 41 09 01 00 00 00 00 00 00");         // length 265: not a start
  Line.Emu("split 3 10");
  Line.Emu(packets[1]);
  Line.Emu("garbage 11 13 42");
  Line.Emu(packets[2]);
  Line.Emu("split 1 5");
  Line.Emu(packets[3]);
  ASSERT_TRUE(r.Saw(250, 254));
  EXPECT_EQ(r.Fired, clean);
  EXPECT_EQ(r.Scope.GetSamples(), cleanSamples);
  EXPECT_EQ(r.Scope.GetTimebase(), 24);
  r.Scope.Disconnect();
}

TEST_F(LinkE2E, LineGoingAwayEndsTheReaderAndConnectingAgainReceives) {
  Recorder r;
  r.Scope.Connect();
  Line.Emu("frame 26 4 9");
  ASSERT_TRUE(r.Saw(0, 255));

  int errors = 0;
  std::string error;
  r.Scope.OnReaderError = [&](TObject*, const std::string& m) {
    ++errors;
    error = m;
  };
  Line.Request("unplug");
  TOrbexIoThread* reader = r.Scope.GetReader();
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return reader->Finished(); }));
  // The read failure is kept in the thread as the link's own exception.
  ASSERT_TRUE(reader->FatalException() != nullptr);
  try {
    std::rethrow_exception(reader->FatalException());
  } catch (const EOrbexError& e) {
    EXPECT_NE(e.Message(), "");
  } catch (...) {
    ADD_FAILURE() << "not an EOrbexError: " << reader->FatalExceptionMessage();
  }
  // The link has closed itself and reported the reader's error.
  EXPECT_FALSE(r.Scope.GetConnected());
  EXPECT_EQ(r.Disconnects, 1);
  EXPECT_FALSE(r.ConnectedAtDisconnect);
  EXPECT_EQ(errors, 1);
  EXPECT_NE(error, "");
  r.Scope.Disconnect();
  EXPECT_EQ(r.At(0), NoSample);
  EXPECT_EQ(r.At(1), 9);
  r.Scope.Disconnect();
  EXPECT_EQ(r.Disconnects, 1);

  Line.Request("plug");
  r.Fired.clear();
  r.Scope.Connect();
  ASSERT_TRUE(r.Scope.GetConnected());
  EXPECT_EQ(r.Connects, 2);
  Line.Emu("range 26 4 3 6 7 8 9");
  ASSERT_TRUE(r.Saw(3, 5));
  EXPECT_EQ(r.At(3), 7);
  EXPECT_EQ(r.At(5), 9);
  EXPECT_EQ(r.At(6), 9);
  r.Scope.Disconnect();
}
