// The link's hand-over without a port: a reader thread appends each chunk to the receive
// buffer and waits in Synchronize while the main thread parses it, as the link's reader does.
// The buffer and the state take no lock; the ThreadSanitizer build checks that the hand-over
// alone keeps the two threads apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/OrbexBuffer.h"
#include "app/OrbexPackets.h"
#include "framework/base/Thread.h"
#include "tests/native/app/PacketBuilder.h"

using namespace orbex_test;

namespace {

class TChunkReader : public TThread {
public:
  TChunkReader(const Bytes& stream, TOrbexScopeState& state)
      : TThread(true), FStream(stream), FState(state) {}
  ~TChunkReader() override { TerminateAndWait(); }

protected:
  void Execute() override {
    // Chunks of 1 to 97 bytes, so that packets are split anywhere.
    for (size_t at = 0, n = 1; at < FStream.size(); at += n, n = n % 97 + 7) {
      n = std::min(n, FStream.size() - at);
      FBuffer.Append(FStream.data() + at, static_cast<std::int32_t>(n));
      Synchronize([this] { ParseBuffer(FState, FBuffer); });
    }
  }

private:
  Bytes FStream;
  TOrbexScopeState& FState;
  TOrbexBuffer FBuffer;
};

}  // namespace

TEST(OrbexHandOver, AReaderThreadFeedsTheMainThreadsParser) {
  Bytes stream;
  std::vector<std::pair<int, int>> expected;
  for (int k = 0; k < 40; ++k) {
    Add(stream, FrameOf(Status4(0, 23), Status5(false, false, false, false, 4),
                        [k](int i) { return (i + k) & 0x7F; }));
    const auto start = static_cast<std::uint8_t>(k);
    Add(stream, Range(Status4(0, 23), 0x04, start, static_cast<std::uint8_t>(k + 5), {1, 2, 3, 4, 5}));
    Add(stream, Single(Status4(0, 23), 0x04, 7, static_cast<std::uint8_t>(k)));
    expected.insert(expected.end(), {{0, 255}, {k, k + 4}, {4, 4}});
  }
  TOrbexScopeState state;
  std::vector<std::pair<int, int>> fired;
  state.OnSamples = [&](int first, int last) { fired.emplace_back(first, last); };
  TChunkReader reader(stream, state);
  reader.Resume();
  for (int i = 0; i < 1000 && !reader.Finished(); ++i) CheckSynchronize(10);
  reader.WaitFor();
  EXPECT_EQ(reader.FatalExceptionMessage(), "");
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(state.GetSamples()[4], 39);
  EXPECT_EQ(state.GetSamples()[40], 2);
}
