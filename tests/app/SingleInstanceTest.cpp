// The single-instance rule, with the real program: a second start raises
// the first window and exits with code 1; a window titled "Quorvel" or
// "Dennart" counts too.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "app/shell/SingleInstance.h"
#include "app/shell/VarnokApp.h"
#include "app/shell/VarnokDlg.h"
#include "tests/app/AppTestSupport.h"

namespace varnok::apptest {
namespace {

// Each test answers under names of its own: the local sockets live in a
// private temporary folder.
class SingleInstanceTest : public ::testing::Test {
 protected:
  SingleInstanceTest() : savedTmp(qgetenv("TMPDIR")) {
    qputenv("TMPDIR", sockets.path().toLocal8Bit());
    env.insert("TMPDIR", sockets.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VARNOK_DEV_DIR", devices.path());
  }
  ~SingleInstanceTest() override {
    if (savedTmp.isEmpty())
      qunsetenv("TMPDIR");
    else
      qputenv("TMPDIR", savedTmp);
  }

  // Starts the program; returns its exit code once it ended, -1 on time-out.
  int RunProgram(QProcess& process, int timeoutMs) {
    process.setProcessEnvironment(env);
    process.start(BinDir() + "/varnok", QStringList());
    if (!process.waitForStarted(5000))
      return -2;
    if (!WaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs))
      return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
  }

  QTemporaryDir sockets;
  QTemporaryDir devices;
  QByteArray savedTmp;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

TEST_F(SingleInstanceTest, AnyOfTheThreeTitlesMakesANewStartRaiseItAndExitWithOne) {
  for (const QString& title : CSingleInstance::SearchedTitles()) {
    CSingleInstance running;
    int raised = 0;
    ASSERT_TRUE(running.Listen(title, [&] { ++raised; })) << title.toStdString();
    QProcess second;
    EXPECT_EQ(RunProgram(second, 10000), 1) << title.toStdString();
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }, 2000)) << title.toStdString();
  }
}

TEST_F(SingleInstanceTest, TheFirstProgramAnswersAsDennart2AndTheSecondGivesWay) {
  QProcess first;
  first.setProcessEnvironment(env);
  first.start(BinDir() + "/varnok", QStringList());
  ASSERT_TRUE(first.waitForStarted(5000));
  // Up once it answers under its window title.
  const bool up = WaitFor([] {
    return CSingleInstance::RaiseOtherInstance(100);
  }, 10000);
  ASSERT_TRUE(up);
  EXPECT_EQ(first.state(), QProcess::Running);

  QProcess second;
  EXPECT_EQ(RunProgram(second, 10000), 1);
  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  if (!first.waitForFinished(3000)) {
    first.kill();
    first.waitForFinished(1000);
  }
}

// With device.xml unreadable the window stays blank and untitled: it does
// not answer as "Dennart2", so a second start goes ahead.
TEST_F(SingleInstanceTest, OnlyAWindowWithItsTitleAnswersANewStart) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine's offscreen windows are never restored or raised where the test can see it";
#endif
  const struct {
    bool readableConfig;
    bool answers;
  } rows[] = {{false, false}, {true, true}};
  for (const auto& row : rows) {
    TestFolder folder;
    CVarnokDlg::Options options;
    options.configPath = row.readableConfig ? WriteTestConfig(folder) : folder.PathStd() + "/missing.xml";
    CVarnokDlg dialog(nullptr, options);
    dialog.showMinimized();
    CSingleInstance instance;
    EXPECT_EQ(CVarnokApp::AnswerUnderTitle(dialog, instance), row.answers);
    EXPECT_EQ(CSingleInstance::RaiseOtherInstance(500), row.answers);
    // The answering window comes back from the task bar.
    EXPECT_EQ(WaitFor([&] { return !dialog.isMinimized(); }, 2000), row.answers);
  }
}

// With several of the family running, a new start raises the first of
// "Quorvel", "Dennart", "Dennart2" and no other.
TEST_F(SingleInstanceTest, TheFirstRunningTitleInOrderIsTheOneRaised) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine's offscreen windows are never restored or raised where the test can see it";
#endif
  EXPECT_EQ(CSingleInstance::SearchedTitles(), QStringList({"Quorvel", "Dennart", "Dennart2"}));
  std::map<QString, int> raised;
  std::vector<std::unique_ptr<CSingleInstance>> running;
  for (const QString& title : {QStringLiteral("Dennart2"), QStringLiteral("Dennart"), QStringLiteral("Quorvel")}) {
    running.push_back(std::make_unique<CSingleInstance>());
    ASSERT_TRUE(running.back()->Listen(title, [&raised, title] { ++raised[title]; }));
  }
  for (const char* expected : {"Quorvel", "Dennart", "Dennart2"}) {
    raised.clear();
    ASSERT_TRUE(CSingleInstance::RaiseOtherInstance(500));
    EXPECT_TRUE(WaitFor([&] { return raised[expected] == 1; }, 2000)) << expected;
    Pump(50);
    EXPECT_EQ(raised.size(), 1u) << expected;
    running.pop_back();  // that one ends; the next in order answers
  }
}

TEST_F(SingleInstanceTest, ASocketLeftByADeadProgramIsTakenOver) {
  {
    CSingleInstance dead;
    ASSERT_TRUE(dead.Listen("Dennart2", [] {}));
  }
  // A file of that name without a listener behind it.
  QFile stale(QDir(sockets.path()).filePath("Dennart2"));
  if (!stale.exists()) {
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
  }
  CSingleInstance again;
  EXPECT_TRUE(again.Listen("Dennart2", [] {}));
  EXPECT_TRUE(CSingleInstance::RaiseOtherInstance(500));
}

}  // namespace
}  // namespace varnok::apptest
