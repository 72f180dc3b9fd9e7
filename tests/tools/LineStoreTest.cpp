// The data view's line store: lines split at LF only, and the line index
// after edits that remove and add line feeds.
#include <string>

#include <gtest/gtest.h>

#include "tools/LineStore.h"

namespace {

std::string Row(const CLineStore& store, std::uint64_t row) {
  return std::string(store.Slice(store.RowStart(row), store.RowEnd(row)));
}

TEST(LineStoreTest, LinesEndAtLineFeedOnlyAndAnUnendedLastLineCounts) {
  CLineStore store;
  EXPECT_EQ(store.LineCount(), 0u);
  EXPECT_EQ(store.Rows(), 1u);
  store.Append("a\rb\n");
  EXPECT_EQ(store.LineCount(), 1u);
  store.Append("c\r\nd");
  EXPECT_EQ(store.LineCount(), 3u);
  EXPECT_EQ(Row(store, 0), "a\rb\n");
  EXPECT_EQ(Row(store, 1), "c\r\n");
  EXPECT_EQ(Row(store, 2), "d");
  EXPECT_EQ(store.RowOf(4), 1u);  // just after a line feed: the next row
  EXPECT_EQ(store.RowOf(3), 0u);
}

TEST(LineStoreTest, EditsOfAnEmptyStoreWithoutLineFeeds) {
  CLineStore store;
  store.Replace(0, 0, "");
  store.Replace(0, 0, "ab");
  store.Replace(1, 1, "");
  EXPECT_EQ(std::string(store.Slice(0, store.Size())), "ab");
  EXPECT_EQ(store.LineCount(), 1u);
}

TEST(LineStoreTest, ReplaceAcrossLineFeedsKeepsTheIndexOfLaterLines) {
  CLineStore store;
  for (int i = 0; i < 5; ++i)
    store.Append("line" + std::to_string(i) + "\n");
  // Join lines 1 to 3 into one line that carries a new line feed inside.
  store.Replace(store.RowStart(1) + 4, store.RowStart(3) + 4, "X\nY");
  EXPECT_EQ(std::string(store.Slice(0, store.Size())), "line0\nlineX\nY3\nline4\n");
  EXPECT_EQ(store.LineCount(), 4u);
  EXPECT_EQ(Row(store, 3), "line4\n");
  store.Replace(0, store.Size(), "");
  EXPECT_EQ(store.LineCount(), 0u);
  store.Append("z\n");
  EXPECT_EQ(Row(store, 0), "z\n");
}

TEST(LineStoreTest, GrowthKeepsEveryByte) {
  CLineStore store;
  std::string all;
  for (int i = 0; i < 200000; ++i) {
    const std::string line = std::to_string(i) + "\r\n";
    store.Append(line);
    all += line;
  }
  EXPECT_EQ(store.LineCount(), 200000u);
  EXPECT_EQ(std::string(store.Slice(0, store.Size())), all);
  EXPECT_EQ(Row(store, 123456), "123456\r\n");
}

}  // namespace
