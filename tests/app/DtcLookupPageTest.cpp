// The DTC page: prefix search and scrolling, the search box's limits, the
// library's awkward lines as rows, and a missing library.
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "app/pages/DlgDtcLookup.h"
#include "app/pages/DtcListModel.h"
#include "tests/app/AppTestSupport.h"
#include "tools/DtcLibrary.h"

namespace varnok::apptest {
namespace {

class DtcLookupPageTest : public ::testing::Test {
 protected:
  // A page over a library of `text`, shown so the list has its size.
  CDlgDtcLookup& Page(const std::string& text) {
    const std::string path = folder.WriteText("DtcLookup/OBDII.txt", text);
    page = std::make_unique<CDlgDtcLookup>(nullptr, nullptr, path);
    page->show();
    Pump(10);
    return *page;
  }
  static std::string Rows(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += (i < count / 2 ? "B" : "P") + std::to_string(1000 + i) + " Row " +
              std::to_string(i) + "\n";
    return text;
  }
  int SelectedRow() const {
    const QModelIndexList rows = page->List()->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
  }
  int TopRow() const { return page->List()->rowAt(0); }
  QString Cell(int row, int column) const {
    return page->List()->model()->index(row, column).data().toString();
  }

  TestFolder folder;
  PromptRecorder prompts;
  std::unique_ptr<CDlgDtcLookup> page;
};

TEST_F(DtcLookupPageTest, LowerCasePrefixSelectsFirstRowAndScrollsItToTop) {
  Page(Rows(200));
  QTest::keyClicks(page->SearchBox(), "p11");
  EXPECT_EQ(page->SearchBox()->text(), "P11");
  EXPECT_EQ(SelectedRow(), 100);  // P1100, the first P11 row
  EXPECT_EQ(TopRow(), 100);
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(DtcLookupPageTest, SixthCharacterRefused) {
  Page(Rows(10));
  QTest::keyClicks(page->SearchBox(), "b10001");
  EXPECT_EQ(page->SearchBox()->text(), "B1000");
}

TEST_F(DtcLookupPageTest, NoMatchSelectsNothingAndKeepsPosition) {
  Page(Rows(200));
  page->SearchBox()->setText("P115");
  const int top = TopRow();
  page->SearchBox()->setText("X");
  EXPECT_EQ(SelectedRow(), -1);
  EXPECT_EQ(page->FoundIndex(), -1);
  EXPECT_EQ(TopRow(), top);
  page->SearchBox()->setText("");
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_EQ(TopRow(), 0);
}

TEST_F(DtcLookupPageTest, LastRowOfShortLibraryFoundWithoutScrollingPastEnd) {
  Page("P0100 A\nP0101 B\nP0102 C");
  page->SearchBox()->setText("P0102");
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_EQ(TopRow(), 0);
  EXPECT_EQ(page->List()->verticalScrollBar()->value(), 0);
}

TEST_F(DtcLookupPageTest, AwkwardLinesBecomeRows) {
  Page("B1000\r\nB1001 \r\nP0100 Mass Air Flow\r\nU0100\xA0Lost");
  ASSERT_EQ(page->List()->model()->rowCount(), 4);
  EXPECT_EQ(Cell(0, 0), "B1000");
  EXPECT_EQ(Cell(0, 1), "");
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(2, 1), "Mass Air Flow");  // CR LF gone
  EXPECT_EQ(Cell(3, 1), "Lost");
}

TEST_F(DtcLookupPageTest, ListGeometryAndColumns) {
  Page(Rows(3));
  EXPECT_EQ(page->List()->geometry(), QRect(16, 40, 600, 440));
  EXPECT_EQ(page->List()->columnWidth(0), 56);
  EXPECT_EQ(page->List()->columnWidth(1), 520);
  EXPECT_FALSE(page->List()->horizontalHeader()->isVisible());
  EXPECT_TRUE(page->List()->showGrid());
  EXPECT_EQ(page->SearchBox()->geometry(), QRect(453, 6, 60, 20));
}

TEST_F(DtcLookupPageTest, MissingLibraryGivesMessageAndEmptyPage) {
  page = std::make_unique<CDlgDtcLookup>(nullptr, nullptr,
                                         folder.PathStd() + "/DtcLookup/OBDII.txt");
  ASSERT_EQ(prompts.messages.size(), 1);
  EXPECT_EQ(prompts.messages.front(), QString::fromUtf8("OBDII lib open failure\xEF\xBC\x81"));
  EXPECT_FALSE(page->LibraryLoaded());
  EXPECT_EQ(page->List()->model(), nullptr);
  page->SearchBox()->setText("P");  // nothing to search, nothing breaks
}

}  // namespace
}  // namespace varnok::apptest
