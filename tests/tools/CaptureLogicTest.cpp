#include <gtest/gtest.h>

#include "tools/LineAssembler.h"
#include "tools/ReceiveTiming.h"

namespace {

TEST(LineAssembler, LineEndsAtItsLineFeedWithCrKept) {
  CLineAssembler lines;
  const std::string bytes = "T=25\r\nx";
  std::string got;
  for (char b : bytes) {
    if (lines.Add(b)) {
      got = lines.TakeLine();
    } else if (b != 'x') {
      EXPECT_TRUE(got.empty()) << "nothing before the line feed";
    }
  }
  EXPECT_EQ(got, "T=25\r\n");
  EXPECT_EQ(lines.Pending(), "x");
}

// The two endings of a reception at a tick of timer 500.
TEST(ReceiveTiming, TickEndsFullyWhenNoProgressSinceTheLastTick) {
  CReceiveTiming t;
  EXPECT_TRUE(t.OnByteStart(100));
  t.OnActivity(100);
  EXPECT_FALSE(t.OnByteStart(100));
  EXPECT_EQ(t.OnTick(), CReceiveTiming::TickEnd::Full);
  EXPECT_FALSE(t.Busy());
  EXPECT_FALSE(t.EndIfStalled());
}

TEST(ReceiveTiming, TickEndsPlainlyAfterProgress) {
  CReceiveTiming t;
  t.OnByteStart(100);
  t.OnActivity(100);
  t.OnActivity(102);
  EXPECT_EQ(t.OnTick(), CReceiveTiming::TickEnd::Plain);
  EXPECT_EQ(t.lastSpan, 2);
  EXPECT_TRUE(t.EndIfStalled());
  EXPECT_FALSE(t.Busy());
  EXPECT_EQ(t.lastSpan, 0);
  EXPECT_EQ(t.OnTick(), CReceiveTiming::TickEnd::None);
}

}  // namespace
