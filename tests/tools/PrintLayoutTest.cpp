#include <gtest/gtest.h>

#include <algorithm>

#include "tools/PrintLayout.h"

namespace {

// A printer on which 50 lines fit a page: H / lineHeight - 8 = 50.
PrintMetrics FiftyLinePrinter() {
  PrintMetrics m;
  m.width = 4800;
  m.height = 5800;
  m.lineHeight = 100;
  m.avgCharWidth = 60;
  return m;
}

TEST(PrintLayout, HundredTwentyLinesMakeThreePages) {
  const PrintPlan plan = PlanPrint(FiftyLinePrinter(), 120);
  EXPECT_EQ(plan.linesPerPage, 50);
  EXPECT_EQ(plan.pages, 3);
  EXPECT_EQ(plan.charsPerLine, 80);
  EXPECT_EQ(plan.left, 4800 / 11);
  EXPECT_EQ(plan.top, 4800 / 11);
  EXPECT_EQ(plan.footerY, 50 * 100 + 4800 / 9);
}

TEST(PrintLayout, FontCellNotItsEmIsTheSixtiethOfThePage) {
  // A Courier-like face: cell (ascent + descent) of 1.1328 em, rounded.
  const auto courierCell = [](int em) { return static_cast<int>(em * 1.1328 + 0.5); };
  EXPECT_EQ(PrintFontHeight(13086), 218);
  EXPECT_EQ(EmForCellHeight(218, courierCell), 192);  // 192 em: cell 218; 193: 219
  EXPECT_EQ(EmForCellHeight(1, courierCell), 1);
  const auto sameAsEm = [](int em) { return em; };
  EXPECT_EQ(EmForCellHeight(218, sameAsEm), 218);
}

// A bitmap face has a few sizes: past its largest the cell stays put. The
// search used to climb for ever there (printing hung under Wine's fonts).
TEST(PrintLayout, FaceWhoseCellStopsGrowingEndsTheSearch) {
  const auto capped = [](int em) { return std::min(em, 20); };
  EXPECT_EQ(EmForCellHeight(218, capped), 436);
  const auto flat = [](int) { return 1; };
  EXPECT_EQ(EmForCellHeight(218, flat), 436);
}

TEST(PrintLayout, NothingToPrintOrNoRoom) {
  EXPECT_EQ(PlanPrint(FiftyLinePrinter(), 0).pages, 0);
  PrintMetrics tiny = FiftyLinePrinter();
  tiny.height = 700;  // 7 lines fit: fewer than the 8 spare ones
  EXPECT_EQ(PlanPrint(tiny, 10).pages, 0);
  EXPECT_EQ(PlanPrint(PrintMetrics{}, 10).pages, 0);
}

TEST(PrintLayout, FooterKeepsItsFieldAndGrowsPastIt) {
  EXPECT_EQ(FooterText(2, 3), "- 2/3 -        ");
  EXPECT_EQ(FooterX(FiftyLinePrinter(), FooterText(2, 3)), (4800 - 15 * 60) / 2);
  // The old fixed 15-byte field would have cut these.
  EXPECT_EQ(FooterText(10000, 12345), "- 10000/12345 -");
  EXPECT_EQ(FooterText(123456, 123456), "- 123456/123456 -");
}

TEST(PrintLayout, CopyOrder) {
  EXPECT_EQ(PageOrder(3, 2, true), (std::vector<int>{0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(PageOrder(3, 2, false), (std::vector<int>{0, 0, 1, 1, 2, 2}));
  EXPECT_TRUE(PageOrder(0, 2, true).empty());
}

}  // namespace
