// The download dialog over the update core, against varnok-toolsim: a good
// run ends in "Update done!" and "ok"; Cancel stops a run promptly; failures
// show red texts; keys do nothing.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/pages/DlgDownloadUniteDev.h"
#include "app/skin/ButtonST.h"
#include "app/skin/ColorStatic.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDevDir.h"
#include "update/ConfigHelper.h"
#include "update/StatusTexts.h"
#include "update/UpdateFile.h"

namespace varnok::apptest {
namespace {

class DownloadDialogTest : public ::testing::Test {
 protected:
  DownloadDialogTest() { EXPECT_TRUE(UseConfig(WriteTestConfig(folder))); }

  // A QV120 (new tool) dialog with `file` loaded.
  std::unique_ptr<CDlgDownloadUniteDev> MakeDialog(const std::string& file) {
    auto dlg = std::make_unique<CDlgDownloadUniteDev>(nullptr);
    dlg->SetPartitionSelector(0);
    dlg->SetDeviceEntry(CConfigHelper::GetInstance().FindByType(1));
    EXPECT_TRUE(dlg->LoadUpdateFile(file));
    return dlg;
  }

  void SendKey(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
  }

  test::TempDevDir devDir;
  TestFolder folder;
};

TEST_F(DownloadDialogTest, GoodRunEndsInBlueUpdateDoneAndTheButtonReadsOk) {
  ToolsimProcess tool(QString::fromStdString(devDir.Path()),
                      {"--class", "new", "--name", "QV120|1", "--block-ms", "2"});
  ASSERT_TOOL_UP(tool);
  auto dlg = MakeDialog(folder.Write("fw.bin", TrailerFile("QV120", 40 * 2048)));
  dlg->StartRun();
  dlg->show();
  EXPECT_EQ(dlg->size(), QSize(417, 191));
  EXPECT_TRUE(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);
  for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    SendKey(dlg.get(), key);
    SendKey(dlg->Button(), key);
  }
  ASSERT_TRUE(WaitFor([&] { return dlg->RunHasEnded(); }, 20000));
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->StatusText(), QString::fromUtf8(text::kUpdateDone));
  EXPECT_EQ(dlg->ButtonCaption(), QString("ok"));
  EXPECT_TRUE(dlg->OkFlag());
  EXPECT_EQ(dlg->ProgressMaximum(), 40);
  EXPECT_EQ(dlg->ProgressValue(), 40);
  EXPECT_EQ(dlg->ProgressColour(), QColor(0, 0, 255));
  dlg->StatusLine()->grab();
  EXPECT_EQ(dlg->StatusLine()->PaintedTextColour(), QColor(0, 0, 255));

  dlg->Button()->click();
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(DownloadDialogTest, ClassicToolRunAlsoEndsInUpdateDone) {
  ToolsimProcess tool(QString::fromStdString(devDir.Path()), {"--class", "classic", "--name", "QV130"});
  ASSERT_TOOL_UP(tool);
  CDlgDownloadUniteDev dlg(nullptr);
  dlg.SetPartitionSelector(0);
  dlg.SetDeviceEntry(CConfigHelper::GetInstance().FindByType(15));
  Bytes file = updatefile::MakeClassicHeader("QV130");
  const Bytes image = TrailerFile("QV130", 5000);
  file.insert(file.end(), image.begin(), image.end());
  ASSERT_TRUE(dlg.LoadUpdateFile(folder.Write("qv130.bin", file)));
  dlg.StartRun();
  ASSERT_TRUE(WaitFor([&] { return dlg.RunHasEnded(); }, 20000));
  EXPECT_EQ(dlg.StatusText(), QString::fromUtf8(text::kUpdateDone));
  EXPECT_EQ(dlg.ButtonCaption(), QString("ok"));
  EXPECT_EQ(dlg.ProgressValue(), 3);  // 5000 bytes in 2048-byte blocks
}

TEST_F(DownloadDialogTest, TraceFolderGetsOneCompleteTracePerRun) {
  const std::string dir = folder.Path().toStdString() + "/traces";
  const test::ScopedEnv traceDir("VARNOK_TRACE_DIR", dir);
  ToolsimProcess tool(QString::fromStdString(devDir.Path()), {"--class", "classic", "--name", "QV130"});
  ASSERT_TOOL_UP(tool);
  CDlgDownloadUniteDev dlg(nullptr);
  dlg.SetPartitionSelector(0);
  dlg.SetDeviceEntry(CConfigHelper::GetInstance().FindByType(15));
  Bytes file = updatefile::MakeClassicHeader("QV130");
  const Bytes image = TrailerFile("QV130", 3000);
  file.insert(file.end(), image.begin(), image.end());
  ASSERT_TRUE(dlg.LoadUpdateFile(folder.Write("qv130.bin", file)));
  dlg.StartRun();
  // The end line is written when the dialog hears of the end.
  std::string text;
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      std::ifstream in(entry.path());
      text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text.find("\"ev\":\"end\"") != std::string::npos;
  }, 20000)) << text;
  EXPECT_EQ(text.rfind("{\"trace\":1,\"program\":\"varnok\"", 0), 0u) << text;
  EXPECT_NE(text.find("\"class\":\"classic\""), std::string::npos);
  EXPECT_NE(text.find("\"ev\":\"tx\""), std::string::npos);
  EXPECT_NE(text.find("{\"t\":"), std::string::npos);
  EXPECT_NE(text.find("\"result\":\"done\"}\n"), std::string::npos) << text;
}

// Cancel and a close request from the window system both stop the run and
// close the dialog; only Cancel takes its own steps and disables itself.
TEST_F(DownloadDialogTest, CancelMidRunClosesPromptlyWithoutUpdateDone) {
  const struct {
    bool cancel;  // else the window system's close request
    bool buttonEnabledAfter;
  } rows[] = {{true, false}, {false, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cancel ? "Cancel" : "close request");
    ToolsimProcess tool(QString::fromStdString(devDir.Path()),
                        {"--class", "new", "--name", "QV120|1", "--block-ms", "40"});
    ASSERT_TOOL_UP(tool);
    auto dlg = MakeDialog(folder.Write("fw.bin", TrailerFile("QV120", 200 * 2048)));
    dlg->StartRun();
    dlg->show();
    ASSERT_TRUE(WaitFor([&] { return dlg->ProgressValue() >= 3; }, 15000));
    EXPECT_EQ(dlg->ButtonCaption(), QString("Cancel"));
    QElapsedTimer clock;
    clock.start();
    if (row.cancel)
      dlg->Button()->click();
    else
      dlg->close();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(dlg->Workflow().StopRequested());
    EXPECT_EQ(dlg->Button()->isEnabled(), row.buttonEnabledAfter);
    Pump(100);
    EXPECT_NE(dlg->StatusText(), QString::fromUtf8(text::kUpdateDone));
    EXPECT_LT(dlg->ProgressValue(), 200);
  }
}

TEST_F(DownloadDialogTest, NoToolShowsTheCommunicationFailureInRed) {
  auto dlg = MakeDialog(folder.Write("fw.bin", TrailerFile("QV120", 4096)));
  dlg->StartRun();
  ASSERT_TRUE(WaitFor([&] { return dlg->RunHasEnded(); }, 10000));
  EXPECT_EQ(dlg->StatusText(), QString::fromUtf8(text::kCommFailure));
  EXPECT_FALSE(dlg->OkFlag());
  EXPECT_EQ(dlg->ProgressColour(), QColor(255, 0, 0));
  EXPECT_EQ(dlg->ButtonCaption(), QString("Cancel"));
  EXPECT_TRUE(dlg->Button()->isEnabled());
  dlg->show();
  dlg->Button()->click();
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
}

TEST_F(DownloadDialogTest, NothingLoadedShowsWrongFile) {
  CDlgDownloadUniteDev dlg(nullptr);
  dlg.SetDeviceEntry(CConfigHelper::GetInstance().FindByType(1));
  dlg.StartRun();
  ASSERT_TRUE(WaitFor([&] { return dlg.RunHasEnded(); }, 5000));
  EXPECT_EQ(dlg.StatusText(), QString::fromUtf8(text::kWrongFileStatus));
  EXPECT_FALSE(dlg.OkFlag());
}

TEST_F(DownloadDialogTest, TheFaceDragsTheDialog) {
  CDlgDownloadUniteDev dlg(nullptr);
  dlg.move(100, 100);
  auto mouse = [&](QEvent::Type type, QPoint local, Qt::MouseButton b, Qt::MouseButtons bs) {
    QMouseEvent e(type, QPointF(local), QPointF(dlg.mapToGlobal(local)), b, bs, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &e);
  };
  mouse(QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, {70, 30}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(dlg.pos(), QPoint(120, 110));
  mouse(QEvent::MouseButtonRelease, {50, 20}, Qt::LeftButton, Qt::NoButton);
  mouse(QEvent::MouseMove, {90, 40}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(dlg.pos(), QPoint(120, 110));
}

// A keyboard user sees where the keys are from the start, cannot close
// the dialog by Space, and leaves it by Alt+F4 without a window manager.
TEST_F(DownloadDialogTest, StartsWithItsButtonFocusedAndOnlyAltF4ClosesItByKeys) {
  CDlgDownloadUniteDev dlg(nullptr);
  dlg.SetDeviceEntry(CConfigHelper::GetInstance().FindByType(1));
  dlg.StartRun();  // nothing loaded: ends at once
  ASSERT_TRUE(WaitFor([&] { return dlg.RunHasEnded(); }, 5000));
  dlg.show();
  dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  EXPECT_EQ(QApplication::focusWidget(), dlg.Button());
  for (int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) {
    QTest::keyClick(dlg.Button(), static_cast<Qt::Key>(key));
    ASSERT_TRUE(dlg.isVisible()) << key;
  }
  QTest::keyClick(dlg.Button(), Qt::Key_F4, Qt::AltModifier);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(DownloadDialogTest, OwnerPlacesItAtItsOffset) {
  QWidget owner;
  owner.move(200, 150);
  CDlgDownloadUniteDev dlg(&owner);
  dlg.StartRun();  // nothing loaded: fails at once
  EXPECT_EQ(dlg.pos(), QPoint(320, 290));
}

}  // namespace
}  // namespace varnok::apptest
