// The manual page: what it lists, when, and what a double-click opens.
#include <QDir>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/pages/DlgManual.h"
#include "app/skin/UserPrompts.h"
#include "tests/app/AppTestSupport.h"

namespace varnok::apptest {
namespace {

class ManualPageTest : public ::testing::Test {
 protected:
  ManualPageTest() {
    folder.WriteText("manual/guide.html", "<p>guide</p>");
    folder.WriteText("manual/notes.txt", "notes");
    folder.WriteText("manual/sub/hidden.pdf", "nested");
    prompts::SetOpenDocumentHook([this](const QString& path) { opened << path; });
    page = std::make_unique<CDlgManual>(nullptr, nullptr, folder.Path() + "/manual");
    page->resize(617, 486);
    page->show();
  }
  ~ManualPageTest() override { prompts::SetOpenDocumentHook(nullptr); }

  QStringList Names() const {
    QStringList names;
    for (int i = 0; i < page->List()->topLevelItemCount(); ++i)
      names << page->List()->topLevelItem(i)->text(0);
    names.sort();
    return names;
  }
  // As a user does it: the first click presses, the second is the double-click.
  void DoubleClick(QPoint at) {
    QTest::mouseClick(page->List()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(page->List()->viewport(), Qt::LeftButton, {}, at);
  }

  TestFolder folder;
  QStringList opened;
  std::unique_ptr<CDlgManual> page;
};

TEST_F(ManualPageTest, LoadsOnceAfterDelayFilesOnlyNoRecursion) {
  EXPECT_TRUE(page->IsTimerSet(CDlgManual::kTimerLoad));
  EXPECT_EQ(page->TimerPeriod(CDlgManual::kTimerLoad), 1500);
  EXPECT_EQ(page->List()->topLevelItemCount(), 0);
  ASSERT_TRUE(WaitFor([&] { return page->List()->topLevelItemCount() > 0; }, 4000));
  EXPECT_EQ(Names(), QStringList({"guide.html", "notes.txt"}));
  EXPECT_FALSE(page->IsTimerSet(CDlgManual::kTimerLoad));
  EXPECT_EQ(page->List()->geometry(), QRect(35, 60, 400, 300));
  EXPECT_EQ(page->List()->columnWidth(0), 450);

  // A file added after the load does not appear.
  folder.WriteText("manual/later.txt", "late");
  Pump(1700);
  EXPECT_EQ(Names(), QStringList({"guide.html", "notes.txt"}));
}

TEST_F(ManualPageTest, DoubleClickOpensRowAndEmptySpaceNothing) {
  page->LoadDocuments();
  Pump(10);
  QTreeWidget* list = page->List();
  const QRect first = list->visualItemRect(list->topLevelItem(0));
  DoubleClick(first.center());
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened.front(), QDir(folder.Path() + "/manual").filePath(list->topLevelItem(0)->text(0)));

  const QRect last = list->visualItemRect(list->topLevelItem(list->topLevelItemCount() - 1));
  DoubleClick(QPoint(first.center().x(), last.bottom() + 40));
  EXPECT_EQ(opened.size(), 1);
}

TEST_F(ManualPageTest, EnterOpensTheRowTheArrowKeysChose) {
  page->LoadDocuments();
  Pump(10);
  QTreeWidget* list = page->List();
  list->setCurrentItem(nullptr);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_TRUE(opened.isEmpty());
  list->setCurrentItem(list->topLevelItem(0));
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened.front(), QDir(folder.Path() + "/manual").filePath(list->topLevelItem(1)->text(0)));
}

TEST_F(ManualPageTest, HiddenFilesListedAndLongNameReadableInFull) {
  const QString longName = QStringLiteral("Varnok scan tool user guide, second edition, with the "
                                          "trouble code tables and the update walkthrough.pdf");
  folder.WriteText("manual/.hidden-notes.txt", "hidden");
  folder.WriteText(QStringLiteral("manual/") + longName, "%PDF");
  page->LoadDocuments();
  Pump(10);
  EXPECT_EQ(Names(), QStringList({".hidden-notes.txt", longName, "guide.html", "notes.txt"}));
  QTreeWidget* list = page->List();
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list->topLevelItem(i);
    if (item->text(0) == longName) {
      EXPECT_TRUE(item->toolTip(0).endsWith(longName));
    }
  }
  EXPECT_TRUE(list->horizontalScrollBar()->isVisible());  // the 450-pixel column in a 400-pixel list
}

TEST_F(ManualPageTest, MissingFolderStaysEmptyWithoutMessage) {
  PromptRecorder recorder;
  CDlgManual empty(nullptr, nullptr, folder.Path() + "/absent");
  empty.LoadDocuments();
  EXPECT_EQ(empty.List()->topLevelItemCount(), 0);
  EXPECT_TRUE(recorder.messages.isEmpty());
}

}  // namespace
}  // namespace varnok::apptest
