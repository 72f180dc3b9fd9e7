// The QV120 page: port indicator digits, polling and device changes, the
// remembered files per model, and its messages against the simulated tool.
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "app/pages/DlgDownloadUniteDev.h"
#include "app/pages/UpgradeQV120Dlg.h"
#include "app/skin/PortIndicator.h"
#include "app/skin/SafeDC.h"
#include "app/skin/SkinBitmaps.h"
#include "app/skin/SkinButtonEx.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDevDir.h"
#ifdef _WIN32
#include "tests/support/SerialCommKey_win.h"
#endif
#include "update/Sha256.h"
#include "update/StatusTexts.h"
#include "update/UpdateRecord.h"

namespace varnok::apptest {
namespace {

class TestablePage : public CUpgradeQV120Dlg {
 public:
  using CUpgradeQV120Dlg::CUpgradeQV120Dlg;
  using CUpgradeQV120Dlg::OnTimer;
};

class UpgradeQV120DlgTest : public ::testing::Test {
 protected:
  UpgradeQV120DlgTest() {
    EXPECT_TRUE(UseConfig(WriteTestConfig(folder)));
    page = std::make_unique<TestablePage>(&host, &host);
    const QRect rect(host.mapToGlobal(QPoint(157, 76)), QSize(617, 486));
    page->SetPageRect(rect);
    page->MoveToScreenRect(rect);
    page->SetActive(true);
  }

  // Makes `name` the only device in the folder; on Windows, where ports are
  // found in the registry, the only USB serial port there, with the number
  // the POSIX name stands for (ttyACMn: n + 1, ttyUSBn: 201 + n).
  void OnlyDevice(const std::string& name) {
#ifdef _WIN32
    if (name.empty()) {
      serialComm.Set({});
      return;
    }
    const bool acm = name.rfind("ttyACM", 0) == 0;
    const int port = std::stoi(name.substr(6)) + (acm ? 1 : 201);
    serialComm.Set({{"\\Device\\USBSER000", "COM" + std::to_string(port)}});
#else
    for (const std::string& old : present)
      QFile::remove(QString::fromStdString(devDir.PathOf(old)));
    present.clear();
    if (!name.empty()) {
      devDir.WriteFile(name);
      present.push_back(name);
    }
#endif
  }
  // What the system does when a device comes or goes: on POSIX the folder
  // changes (watched already); Windows broadcasts WM_DEVICECHANGE to the
  // user-interface thread's windows.
  static void SystemSeesDeviceChange() {
#ifdef _WIN32
    PostThreadMessageW(GetCurrentThreadId(), WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
#endif
  }

  bool Shows(QPoint at, int id) { return SurfaceShows(*host.Surface(), at, id); }
  bool StripLeftPartIs(int id) {
    const QImage strip = skin::Bitmap(id).convertToFormat(QImage::Format_RGB32);
    return host.Surface()->Image().copy(531, 53, 110, 17) == strip.copy(0, 0, 110, 17);
  }
  QLineEdit* BinEdit() { return page->Edit(CUpgradeQV120Dlg::kBinEditId); }
  QLineEdit* ZpkEdit() { return page->Edit(CUpgradeQV120Dlg::kZpkEditId); }
  bool UpdateBinEnabled() { return page->Button(CUpgradeQV120Dlg::kCmdUpdateBin)->isEnabled(); }
  bool UpdateZpkEnabled() { return page->Button(CUpgradeQV120Dlg::kCmdUpdateZpk)->isEnabled(); }
  QString Tool() { return QString::fromStdString(devDir.Path()); }
  void Choose(int command, const std::string& path) {
    prompts.nextFile = QString::fromStdString(path);
    page->OnCommand(command);
  }

  test::TempDevDir devDir;
  TestFolder folder;
  PromptRecorder prompts;
  FakeHost host;
  std::unique_ptr<TestablePage> page;
  std::vector<std::string> present;
#ifdef _WIN32
  test::SerialCommKey serialComm;
#endif
};

struct DigitCase {
  const char* device;
  int port;
  std::vector<std::pair<int, int>> digits;  // x, image
};

TEST_F(UpgradeQV120DlgTest, PortNumberDigitsPerPort) {
  const DigitCase cases[] = {
      {"ttyACM6", 7, {{659, 372}, {666, 369}}},               // blank tens, 7
      {"ttyACM9", 10, {{659, 363}, {666, 362}}},              // 1, 0
      {"ttyACM11", 12, {{659, 363}, {666, 364}}},             // 1, 2
      {"ttyACM99", 100, {{652, 363}, {659, 362}, {666, 362}}},  // 1, 0, 0
      {"ttyUSB0", 201, {{652, 364}, {659, 362}, {666, 363}}},   // 2, 0, 1
  };
  for (const DigitCase& c : cases) {
    OnlyDevice(c.device);
    page->DetectTool();
    ASSERT_EQ(page->Port(), c.port);
    EXPECT_TRUE(StripLeftPartIs(indicator::kToolFound)) << c.port;
    for (const auto& [x, image] : c.digits)
      EXPECT_TRUE(Shows(QPoint(x, 57), image)) << c.port << " at x " << x;
    if (c.port < 100) {  // the hundreds slot keeps the strip
      EXPECT_TRUE(host.Surface()->Image().copy(652, 57, 7, 10) ==
                  skin::Bitmap(360).convertToFormat(QImage::Format_RGB32).copy(121, 4, 7, 10))
          << c.port;
    }
  }
}

TEST_F(UpgradeQV120DlgTest, NoToolShowsTheMissingStripAndAsksForAFullRepaintOfIt) {
  OnlyDevice("ttyACM11");
  page->DetectTool();
  host.updates.clear();
  OnlyDevice("");
  page->DetectTool();
  EXPECT_EQ(page->Port(), -1);
  EXPECT_TRUE(Shows(QPoint(531, 53), indicator::kNoTool));
  ASSERT_EQ(host.updates.size(), 1u);
  EXPECT_EQ(host.updates[0], QRect(531, 53, 195, 17));
  EXPECT_TRUE(page->Entry().IsEmpty());
}

TEST_F(UpgradeQV120DlgTest, PollWithoutAToolReportsTheLinkStateOnlyWhileActive) {
  page->OnTimer(CUpgradeQV120Dlg::kTimerPoll);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].message, WM_LINK_STATE);
  EXPECT_EQ(host.messages[0].wParam, 0u);
  EXPECT_EQ(host.messages[0].lParam, 1);

  OnlyDevice("ttyACM0");
  page->OnTimer(CUpgradeQV120Dlg::kTimerPoll);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(page->Port(), 1);

  page->SetActive(false);
  OnlyDevice("");
  page->OnTimer(CUpgradeQV120Dlg::kTimerPoll);
  EXPECT_EQ(page->Port(), 1);  // an inactive page does not look
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(page->TimerPeriod(CUpgradeQV120Dlg::kTimerPoll), 3001);
}

TEST_F(UpgradeQV120DlgTest, APlugInIsSeenWithoutWaitingForThePoll) {
  page->DetectTool();
  ASSERT_EQ(page->Port(), -1);
  OnlyDevice("ttyACM6");
  SystemSeesDeviceChange();
  EXPECT_TRUE(WaitFor([&] { return page->Port() == 7; }, 2000));
  EXPECT_TRUE(Shows(QPoint(666, 57), 369));
}

TEST_F(UpgradeQV120DlgTest, UpdateButtonsFollowTheFileChosenForTheModelNotTheTypedText) {
  OnlyDevice("ttyACM0");
  page->DetectTool();
  EXPECT_FALSE(UpdateBinEnabled());
  BinEdit()->setText("/typed/only.bin");
  EXPECT_FALSE(UpdateBinEnabled());

  const std::string bin = folder.Write("a.bin", TrailerFile("QV120", 4096));
  Choose(CUpgradeQV120Dlg::kCmdChooseBin, bin);
  EXPECT_EQ(BinEdit()->text().toStdString(), bin);
  EXPECT_EQ(page->RememberedPath(UpdatePath::Bin, 1).toStdString(), bin);
  EXPECT_TRUE(UpdateBinEnabled());
  EXPECT_FALSE(UpdateZpkEnabled());
  EXPECT_TRUE(prompts.fileFilters.last().contains("*.bin"));

  // Another model has its own (empty) history; coming back restores ours.
  page->SetDevType(8);
  page->ReloadPaths();
  page->DetectTool();
  EXPECT_TRUE(BinEdit()->text().isEmpty());
  EXPECT_FALSE(UpdateBinEnabled());
  page->SetDevType(1);
  page->ReloadPaths();
  page->DetectTool();
  EXPECT_EQ(BinEdit()->text().toStdString(), bin);
  EXPECT_TRUE(UpdateBinEnabled());

  // Without a tool nothing is enabled.
  OnlyDevice("");
  page->DetectTool();
  EXPECT_FALSE(UpdateBinEnabled());
}

// The Browse filters are named by their pattern and list every case of it.
TEST_F(UpgradeQV120DlgTest, BrowseFiltersAreNamedByTheirPatternAndMatchEveryCase) {
  const struct {
    int command;
    const char* name;
    QStringList files;
  } rows[] = {
      {CUpgradeQV120Dlg::kCmdChooseBin, "*.bin", {"x.bin", "x.Bin", "X.BIN"}},
      {CUpgradeQV120Dlg::kCmdChooseZpk, "*.ZPK", {"x.zpk", "x.Zpk", "X.ZPK"}},
  };
  for (const auto& row : rows) {
    Choose(row.command, "");
    const QString filter = prompts.fileFilters.last();
    EXPECT_TRUE(filter.startsWith(QString::fromLatin1(row.name) + " (")) << filter.toStdString();
    const QString patterns = filter.section('(', 1).chopped(1);
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(patterns));
    for (const QString& file : row.files)
      EXPECT_TRUE(match.match(file).hasMatch()) << filter.toStdString() << " " << file.toStdString();
  }
}

TEST_F(UpgradeQV120DlgTest, CancelledFileDialogChangesNothing) {
  Choose(CUpgradeQV120Dlg::kCmdChooseZpk, "");
  EXPECT_TRUE(page->RememberedPath(UpdatePath::Zpk, 1).isEmpty());
  EXPECT_TRUE(ZpkEdit()->text().isEmpty());
}

TEST_F(UpgradeQV120DlgTest, UpdateWithoutAToolDoesNothing) {
  BinEdit()->setText("/x/y.bin");
  page->OnCommand(CUpgradeQV120Dlg::kCmdUpdateBin);
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(UpgradeQV120DlgTest, AnotherModelOnThePortIsTheEquipmentMismatch) {
  ToolsimProcess tool(Tool(), {"--class", "new", "--name", "QV220|1"});
  ASSERT_TOOL_UP(tool);
  Choose(CUpgradeQV120Dlg::kCmdChooseBin, folder.Write("a.bin", TrailerFile("QV120", 4096)));
  page->OnCommand(CUpgradeQV120Dlg::kCmdUpdateBin);
  ASSERT_EQ(prompts.messages.size(), 1);
  EXPECT_EQ(prompts.messages[0].toStdString(), text::kEquipmentMismatch);
  EXPECT_EQ(page->Port(), -1);
  EXPECT_TRUE(page->Entry().IsEmpty());
}

TEST_F(UpgradeQV120DlgTest, PathWithoutTheExtensionTextIsAFormatError) {
  ToolsimProcess tool(Tool(), {"--class", "new", "--name", "QV120|1"});
  ASSERT_TOOL_UP(tool);
  BinEdit()->setText(QString::fromStdString(folder.Write("a.txt", TrailerFile("QV120", 4096))));
  page->OnCommand(CUpgradeQV120Dlg::kCmdUpdateBin);
  ZpkEdit()->setText(QString::fromStdString(folder.Write("b.bin", TrailerFile("QV120", 4096))));
  page->OnCommand(CUpgradeQV120Dlg::kCmdUpdateZpk);
  EXPECT_EQ(prompts.messages, QStringList({"File format incorrect!", "File format incorrect!"}));
}

TEST_F(UpgradeQV120DlgTest, TypedPathIsTheOneCheckedAndAFileOfAnotherModelIsAWrongFile) {
  ToolsimProcess tool(Tool(), {"--class", "new", "--name", "QV120|1"});
  ASSERT_TOOL_UP(tool);
  Choose(CUpgradeQV120Dlg::kCmdChooseBin, folder.Write("good.bin", TrailerFile("QV120", 4096)));
  BinEdit()->setText(QString::fromStdString(folder.Write("other.bin", TrailerFile("PX520", 4096))));
  // The button is held from the load of the file until after the message.
  bool enabledWhileShown = true;
  prompts.whileShowing = [&] { enabledWhileShown = UpdateBinEnabled(); };
  page->OnCommand(CUpgradeQV120Dlg::kCmdUpdateBin);
  EXPECT_EQ(prompts.messages, QStringList({"Wrong file!"}));
  EXPECT_FALSE(enabledWhileShown);
  EXPECT_TRUE(UpdateBinEnabled());
}

TEST_F(UpgradeQV120DlgTest, UpdateRunsTheDownloadDialogToUpdateDoneAndRecordsIt) {
  const test::ScopedEnv state("XDG_STATE_HOME", folder.PathStd() + "/state");
  ToolsimProcess tool(Tool(), {"--class", "new", "--name", "QV120|1"});
  ASSERT_TOOL_UP(tool);
  const Bytes pack = TrailerFile("QV120", 9000);
  Choose(CUpgradeQV120Dlg::kCmdChooseZpk, folder.Write("pack.zpk", pack));
  bool buttonDisabledDuringRun = false;
  QString status, caption;
  page->SetDownloadRunner([&](CDlgDownloadUniteDev& dialog) {
    buttonDisabledDuringRun = !UpdateZpkEnabled();
    dialog.StartRun();
    dialog.show();
    WaitFor([&] { return dialog.RunHasEnded(); }, 20000);
    status = dialog.StatusText();
    caption = dialog.ButtonCaption();
    dialog.Finish();
    return dialog.result();
  });
  page->OnCommand(CUpgradeQV120Dlg::kCmdUpdateZpk);
  EXPECT_TRUE(prompts.messages.isEmpty());
  EXPECT_TRUE(buttonDisabledDuringRun);
  EXPECT_EQ(status.toStdString(), text::kUpdateDone);
  EXPECT_EQ(caption, QString("ok"));
  EXPECT_TRUE(UpdateZpkEnabled());
  std::vector<UpdateRecord> records;
  int skipped = 0;
  ASSERT_TRUE(ReadUpdateRecords(folder.PathStd() + "/state/varnok/updates.log", records, skipped));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].model, "QV120");
  EXPECT_EQ(records[0].file, "pack.zpk");
  EXPECT_EQ(records[0].result, "done");
  EXPECT_EQ(records[0].size, 9000);
  EXPECT_EQ(records[0].sha256, Sha256Hex(pack.data(), pack.size()));  // the loaded bytes' digest
}

TEST_F(UpgradeQV120DlgTest, EnterAndEscapeAreSwallowedByThePage) {
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(page.get(), &esc);
  EXPECT_TRUE(esc.isAccepted());
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(page.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
}

}  // namespace
}  // namespace varnok::apptest
