// Tests of the packet parser: header checks, each packet type, the sample store and the way a
// stream is consumed whatever the chunks it arrives in.
#include "app/OrbexPackets.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "app/OrbexBuffer.h"
#include "tests/native/app/PacketBuilder.h"

using namespace orbex_test;

namespace {
using Events = std::vector<std::pair<int, int>>;

// A state and buffer with the events recorded.
struct Link {
  TOrbexScopeState State;
  TOrbexBuffer Buffer;
  Events Fired;
  Link() {
    State.OnSamples = [this](int first, int last) { Fired.emplace_back(first, last); };
  }
  void Feed(const Bytes& bytes) {
    Buffer.Append(bytes);
    ParseBuffer(State, Buffer);
  }
  std::uint8_t At(int i) const { return State.GetSamples()[static_cast<size_t>(i)]; }
};

bool HeaderValid(const Bytes& p) { return IsValidHeader(std::span<const std::uint8_t>(p)); }

const std::uint8_t Tb23 = Status4(0, 23);
const std::uint8_t Plain5 = Status5(false, false, false, false, 4);
}  // namespace

TEST(OrbexPackets, InitialState) {
  TOrbexScopeState s;
  EXPECT_EQ(s.GetTimebase(), 22);
  EXPECT_EQ(s.GetVoltsIndex(), 4);
  EXPECT_EQ(s.GetRunMode(), 0);
  EXPECT_FALSE(s.GetHold() || s.GetMemory() || s.GetProbeX10() || s.GetCouplingDC());
  for (auto v : s.GetSamples()) EXPECT_EQ(v, NoSample);
}

TEST(OrbexPackets, HeaderChecks) {
  Bytes a = Frame(0, 0, {});
  EXPECT_TRUE(HeaderValid(a));
  Bytes bad = a;
  bad[2] = 9;   // length 265
  EXPECT_FALSE(HeaderValid(bad));
  bad = a;
  bad[3] = 2;   // length 522
  EXPECT_FALSE(HeaderValid(bad));
  bad = a;
  bad[7] = 1;
  EXPECT_FALSE(HeaderValid(bad));
  bad = a;
  bad[9] = 1;
  EXPECT_FALSE(HeaderValid(bad));
  bad = a;
  bad[8] = 0x7F;   // byte 8 of a frame is free
  EXPECT_TRUE(HeaderValid(bad));

  Bytes r = Range(0, 0, 10, 20, {});
  EXPECT_TRUE(HeaderValid(r));
  r[2] = 0;   // the length word of a range is not checked
  r[3] = 0;
  EXPECT_TRUE(HeaderValid(r));
  r[9] = 1;
  EXPECT_FALSE(HeaderValid(r));
  EXPECT_TRUE(HeaderValid(Range(0, 0, 200, 200, {})));
  Bytes backwards = Range(0, 0, 0, 0, {});
  backwards[7] = 201;   // start above end, compared unsigned
  backwards[8] = 200;
  EXPECT_FALSE(HeaderValid(backwards));

  Bytes s = Single(0, 0, 0xFFFFFF, 1);
  EXPECT_TRUE(HeaderValid(s));   // all position bytes may be set
  s[2] = 12;
  EXPECT_FALSE(HeaderValid(s));

  Bytes other = Single(0, 0, 0, 0);
  other[1] = 'C';
  EXPECT_FALSE(HeaderValid(other));
  EXPECT_FALSE(IsValidHeader(std::span<const std::uint8_t>(a).first(9)));
}

TEST(OrbexPackets, GarbageThenFrameStoresSamplesAndStatus) {
  Link l;
  Bytes stream = {'B', 'B', 'x', 0x42, 0x41, 0, 1, 2, 3, 4, 5, 6, 'B', 'A'};
  const std::uint8_t b4 = Status4(2, 23);
  const std::uint8_t b5 = Status5(true, false, true, false, 9);
  Add(stream, FrameOf(b4, b5, [](int i) { return 255 - i; }));
  l.Feed(stream);
  ASSERT_EQ(l.Fired, (Events{{0, 255}}));
  for (int i = 0; i < 256; ++i) ASSERT_EQ(l.At(i), 255 - i);
  EXPECT_EQ(l.State.GetRunMode(), 2);
  EXPECT_EQ(l.State.GetTimebase(), 23);
  EXPECT_TRUE(l.State.GetHold());
  EXPECT_FALSE(l.State.GetMemory());
  EXPECT_TRUE(l.State.GetCouplingDC());
  EXPECT_FALSE(l.State.GetProbeX10());
  EXPECT_EQ(l.State.GetVoltsIndex(), 9);
  EXPECT_EQ(l.Buffer.GetCount(), 0);

  l.Feed(FrameOf(Status4(3, 23), Status5(false, true, false, true, 15), [](int) { return 1; }));
  EXPECT_EQ(l.State.GetRunMode(), 3);
  EXPECT_FALSE(l.State.GetHold());
  EXPECT_TRUE(l.State.GetMemory());
  EXPECT_FALSE(l.State.GetCouplingDC());
  EXPECT_TRUE(l.State.GetProbeX10());
  EXPECT_EQ(l.State.GetVoltsIndex(), 15);
}

TEST(OrbexPackets, SplitFrameIsDecodedOnceWhenComplete) {
  Link l;
  Bytes f = FrameOf(Tb23, Plain5, [](int i) { return i / 2; });
  l.Feed(Bytes(f.begin(), f.begin() + 100));
  EXPECT_TRUE(l.Fired.empty());
  EXPECT_EQ(l.Buffer.GetCount(), 100);   // the frame waits at the head
  l.Feed(Bytes(f.begin() + 100, f.end() - 1));
  EXPECT_TRUE(l.Fired.empty());
  l.Feed(Bytes(f.end() - 1, f.end()));
  EXPECT_EQ(l.Fired, (Events{{0, 255}}));
  EXPECT_EQ(l.At(255), 127);
}

TEST(OrbexPackets, BadFrameHeaderDropsOnlyItsStartByte) {
  Link l;
  Bytes bad = FrameOf(Tb23, Plain5, [](int) { return 9; });
  bad[2] = 9;   // length 265
  // A valid range packet hidden right behind the bad start byte is found.
  Bytes r = Range(Tb23, Plain5, 3, 5, {7, 8});
  Bytes stream = {bad.begin(), bad.begin() + 1};
  Add(stream, r);
  l.Feed(stream);
  EXPECT_EQ(l.Fired, (Events{{3, 4}}));
  EXPECT_EQ(l.At(3), 7);
  EXPECT_EQ(l.At(4), 8);

  Link m;
  Bytes bad7 = FrameOf(Tb23, Plain5, [](int) { return 9; });
  bad7[7] = 1;
  m.Feed(bad7);
  EXPECT_TRUE(m.Fired.empty());
  EXPECT_LT(m.Buffer.GetCount(), 10);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(m.At(i), NoSample);
}

TEST(OrbexPackets, RangeStoresOnlyItsColumns) {
  Link l;
  l.Feed(FrameOf(Tb23, Plain5, [](int) { return 100; }));
  Bytes values;
  for (int i = 0; i < 10; ++i) values.push_back(static_cast<std::uint8_t>(i));
  Bytes r = Range(Tb23, Plain5, 10, 20, values);
  ASSERT_EQ(r.size(), 20u);
  l.Feed(r);
  EXPECT_EQ(l.Fired, (Events{{0, 255}, {10, 19}}));
  for (int i = 0; i < 256; ++i) ASSERT_EQ(l.At(i), (i >= 10 && i < 20) ? i - 10 : 100) << i;
  EXPECT_EQ(l.Buffer.GetCount(), 0);

  // Start = end: a bare header, no sample changes, last = first - 1.
  l.Feed(Range(Tb23, Plain5, 40, 40, {}));
  EXPECT_EQ(l.Fired.back(), std::make_pair(40, 39));
  EXPECT_EQ(l.Buffer.GetCount(), 0);
  EXPECT_EQ(l.At(40), 100);

  // The widest range: 0..254 (end 255 is exclusive).
  l.Feed(Range(Tb23, Plain5, 0, 255, Bytes(255, 3)));
  EXPECT_EQ(l.Fired.back(), std::make_pair(0, 254));
  EXPECT_EQ(l.At(254), 3);
  EXPECT_EQ(l.At(255), 100);
}

TEST(OrbexPackets, RollSamplesRoundHalvesToEven) {
  Link l;
  l.Feed(Single(Tb23, Plain5, 5, 11));
  l.Feed(Single(Tb23, Plain5, 7, 22));
  l.Feed(Single(Tb23, Plain5, 6, 33));
  EXPECT_EQ(l.Fired, (Events{{2, 2}, {4, 4}, {3, 3}}));
  EXPECT_EQ(l.At(2), 11);
  EXPECT_EQ(l.At(4), 22);
  EXPECT_EQ(l.At(3), 33);
  EXPECT_EQ(l.State.GetTimebase(), 23);

  int c = -1;
  // 24-bit positions: the hour timebase reaches column 255 at 918000 s.
  EXPECT_TRUE(RollColumn(33, 3600u * 255, c));
  EXPECT_EQ(c, 255);
  EXPECT_TRUE(RollColumn(33, 3600u * 255 + 1799, c));
  EXPECT_EQ(c, 255);
  EXPECT_FALSE(RollColumn(33, 3600u * 255 + 1800, c));   // 255.5 rounds to 256
  EXPECT_TRUE(RollColumn(22, 255, c));
  EXPECT_EQ(c, 255);
  EXPECT_TRUE(RollColumn(24, 12, c));   // 2.4
  EXPECT_EQ(c, 2);
  EXPECT_TRUE(RollColumn(24, 13, c));   // 2.6
  EXPECT_EQ(c, 3);
}

TEST(OrbexPackets, RollSampleWithoutColumnStoresNothingButIsConsumed) {
  Link l;
  l.Feed(FrameOf(Status4(0, 22), Plain5, [](int) { return 50; }));
  l.Fired.clear();
  // Past column 255 at 1 s/div.
  l.Feed(Single(Status4(1, 22), Status5(true, true, true, true, 2), 256, 7));
  EXPECT_EQ(l.Fired, (Events{{0, -1}}));   // no column, but the status changed
  l.Fired.clear();
  EXPECT_EQ(l.Buffer.GetCount(), 0);
  EXPECT_EQ(l.State.GetRunMode(), 1);   // its status bytes still apply
  EXPECT_TRUE(l.State.GetHold());
  EXPECT_EQ(l.State.GetVoltsIndex(), 2);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(l.At(i), 50);

  // Timebases without a divisor (0-21) and beyond the table (34-63).
  for (unsigned tb : {0u, 10u, 21u, 34u, 63u}) {
    l.Feed(Single(Status4(0, tb), Plain5, 1, 7));
    EXPECT_EQ(l.State.GetTimebase(), tb);
    EXPECT_EQ(l.Buffer.GetCount(), 0);
  }
  EXPECT_EQ(l.Fired, Events(5, {0, -1}));
  l.Fired.clear();
  for (int i = 0; i < 256; ++i) ASSERT_EQ(l.At(i), NoSample);   // cleared by the changes
  // The next packet is found as usual.
  l.Feed(Single(Tb23, Plain5, 1, 8));
  EXPECT_EQ(l.Fired, (Events{{0, 0}}));   // 0.5 rounds to 0
}

TEST(OrbexPackets, TimebaseChangeClearsOtherSamples) {
  Link l;
  l.Feed(FrameOf(Tb23, Plain5, [](int) { return 60; }));
  l.Feed(Range(Tb23, Plain5, 0, 2, {1, 2}));   // same timebase: the rest stays
  EXPECT_EQ(l.At(2), 60);
  l.Feed(Range(Status4(0, 24), Plain5, 5, 7, {1, 2}));
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(l.At(i), i == 5 ? 1 : i == 6 ? 2 : NoSample) << i;
  EXPECT_EQ(l.State.GetTimebase(), 24);

  TOrbexScopeState s;
  s.SetSample(3, 3);
  s.SetTimebase(22);   // unchanged
  EXPECT_EQ(s.GetSamples()[3], 3);
  s.SetTimebase(40);
  EXPECT_EQ(s.GetSamples()[3], NoSample);
  EXPECT_EQ(s.GetTimebase(), 40);
}

TEST(OrbexPackets, FewerThanAHeaderWaits) {
  Link l;
  Bytes r = Range(Tb23, Plain5, 0, 0, {});
  l.Feed(Bytes(r.begin(), r.begin() + 9));
  EXPECT_EQ(l.Buffer.GetCount(), 9);
  EXPECT_TRUE(l.Fired.empty());
  Bytes junk(9, 'x');
  Link m;
  m.Feed(junk);
  EXPECT_EQ(m.Buffer.GetCount(), 9);   // even garbage stays until 10 bytes are there
  m.Feed({'y'});
  EXPECT_EQ(m.Buffer.GetCount(), 9);
  l.Feed({r[9]});
  EXPECT_EQ(l.Fired, (Events{{0, -1}}));
}

TEST(OrbexPackets, DecodingReadsOnlyThePacketsOwnBytes) {
  // Exactly sized heap copies: the sanitizer build catches any read beyond them.
  TOrbexScopeState s;
  Events fired;
  s.OnSamples = [&](int f, int l) { fired.emplace_back(f, l); };
  Bytes r = Range(Tb23, Plain5, 250, 255, {1, 2, 3, 4, 5});
  std::vector<std::uint8_t> exact(r.begin(), r.end());
  DecodePacket(s, exact);
  Bytes one = Single(Tb23, Plain5, 510, 9);
  std::vector<std::uint8_t> exact1(one.begin(), one.end());
  DecodePacket(s, exact1);
  EXPECT_EQ(fired, (Events{{250, 254}, {255, 255}}));
  EXPECT_EQ(s.GetSamples()[254], 5);
  EXPECT_EQ(s.GetSamples()[255], 9);
}

TEST(OrbexPackets, ChunkingDoesNotChangeTheResult) {
  Bytes stream;
  std::mt19937 rng(7);
  for (int k = 0; k < 60; ++k) {
    const unsigned tb = 22 + static_cast<unsigned>(rng() % 3);
    switch (rng() % 4) {
      case 0:
        Add(stream, FrameOf(Status4(k % 4, tb), Plain5, [&](int i) { return (i * k) & 0xFF; }));
        break;
      case 1: {
        const std::uint8_t a = static_cast<std::uint8_t>(rng() % 200);
        Add(stream, Range(Status4(1, tb), Plain5, a, static_cast<std::uint8_t>(a + rng() % 50),
                          Bytes(60, static_cast<std::uint8_t>(k))));
        break;
      }
      case 2:
        Add(stream, Single(Status4(3, tb), Plain5, rng() % 300, static_cast<std::uint8_t>(k)));
        break;
      default:
        for (int g = 0; g < 7; ++g) stream.push_back(static_cast<std::uint8_t>("BARSx\0\1"[g]));
    }
  }
  Link whole;
  for (size_t at = 0; at < stream.size(); at += 1024)
    whole.Feed(Bytes(stream.begin() + static_cast<long>(at),
                     stream.begin() + static_cast<long>(std::min(stream.size(), at + 1024))));
  ASSERT_FALSE(whole.Fired.empty());
  for (unsigned seed = 1; seed < 6; ++seed) {
    std::mt19937 cut(seed);
    Link pieces;
    size_t at = 0;
    while (at < stream.size()) {
      const size_t n = std::min<size_t>(stream.size() - at, 1 + cut() % 300);
      pieces.Feed(Bytes(stream.begin() + static_cast<long>(at),
                        stream.begin() + static_cast<long>(at + n)));
      at += n;
    }
    EXPECT_EQ(pieces.Fired, whole.Fired) << seed;
    EXPECT_EQ(pieces.State.GetSamples(), whole.State.GetSamples()) << seed;
    EXPECT_EQ(pieces.State.GetTimebase(), whole.State.GetTimebase());
    EXPECT_EQ(pieces.State.GetRunMode(), whole.State.GetRunMode());
  }
}
