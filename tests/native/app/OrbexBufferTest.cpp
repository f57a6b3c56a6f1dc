// Tests of the link's receive buffer: appending, consuming, compaction and overflow.
#include "app/OrbexBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "app/OrbexError.h"

namespace {
// Bytes 0, 1, 2 ... (mod 256) starting at `first`.
std::vector<std::uint8_t> Counting(int n, int first = 0) {
  std::vector<std::uint8_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<std::uint8_t>(first + i);
  return v;
}
}  // namespace

TEST(OrbexBuffer, AppendPeekAndAdvance) {
  TOrbexBuffer b;
  EXPECT_EQ(b.GetCount(), 0);
  b.Append(Counting(10).data(), 10);
  b.Append(Counting(5, 10));
  ASSERT_EQ(b.GetCount(), 15);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(b.PeekByte(i), i);
  b.Advance(4);
  EXPECT_EQ(b.GetCount(), 11);
  EXPECT_EQ(b.GetReadPos(), 4);
  EXPECT_EQ(b.PeekByte(0), 4);
  EXPECT_EQ(*b.HeadPtr(), 4);
  b.Append(nullptr, 0);   // an empty read adds nothing
  EXPECT_EQ(b.GetCount(), 11);
}

TEST(OrbexBuffer, CompactsOnlyWhenTheTailIsTooSmall) {
  TOrbexBuffer b;
  b.Append(Counting(2000));
  b.Advance(1000);
  // 48 bytes of tail: 40 fit without moving anything.
  b.Append(Counting(40, 200));
  EXPECT_EQ(b.GetReadPos(), 1000);
  EXPECT_EQ(b.GetCount(), 1040);
  b.Advance(40);
  // 1000 unread at position 1000: 1024 more do not fit behind them, so the unread bytes move
  // to the start and the whole 2024 bytes fit.
  b.Append(Counting(1024, 77));
  EXPECT_EQ(b.GetReadPos(), 0);
  ASSERT_EQ(b.GetCount(), 2024);
  for (int i = 0; i < 960; ++i) ASSERT_EQ(b.PeekByte(i), static_cast<std::uint8_t>(1040 + i)) << i;
  for (int i = 0; i < 40; ++i) ASSERT_EQ(b.PeekByte(960 + i), static_cast<std::uint8_t>(200 + i));
  for (int i = 0; i < 1024; ++i)
    ASSERT_EQ(b.PeekByte(1000 + i), static_cast<std::uint8_t>(77 + i)) << i;
}

TEST(OrbexBuffer, FillsExactlyToCapacity) {
  TOrbexBuffer b;
  b.Append(Counting(1024));
  b.Append(Counting(1024));
  EXPECT_EQ(b.GetCount(), TOrbexBuffer::Capacity);
  b.Advance(TOrbexBuffer::Capacity);
  EXPECT_EQ(b.GetCount(), 0);
  // An empty buffer at the end of its block starts over at the front.
  b.Append(Counting(1));
  EXPECT_EQ(b.GetReadPos(), 0);
  EXPECT_EQ(b.GetCount(), 1);
}

TEST(OrbexBuffer, OverflowRaisesAndKeepsTheUnreadBytes) {
  TOrbexBuffer b;
  b.Append(Counting(2048));
  b.Advance(1023);   // 1025 unread
  try {
    b.Append(Counting(1024));
    FAIL() << "no overflow";
  } catch (const EOrbexError& e) {
    EXPECT_EQ(e.Message(), "Buffer overflowed. OOps");
    EXPECT_STREQ(e.ClassName(), "EOrbexError");
  }
  ASSERT_EQ(b.GetCount(), 1025);
  for (int i = 0; i < 1025; ++i) ASSERT_EQ(b.PeekByte(i), static_cast<std::uint8_t>(1023 + i));
  // Still usable afterwards.
  b.Advance(1025);
  b.Append(Counting(1024));
  EXPECT_EQ(b.GetCount(), 1024);

  TOrbexBuffer empty;
  EXPECT_THROW(empty.Append(Counting(2049)), EOrbexError);
  EXPECT_EQ(empty.GetCount(), 0);
}
