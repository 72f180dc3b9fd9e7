// The PX110 page against the simulated tool: the model check with the
// adoption of DevType 13, the partition selector, a tool that never gives
// its name, and the link-state report of its poll.
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/pages/DlgDownloadUniteDev.h"
#include "app/pages/UpgradePX110Dlg.h"
#include "app/shell/VarnokDlg.h"
#include "app/skin/SafeDC.h"
#include "app/skin/SkinBitmaps.h"
#include "app/skin/SkinButtonEx.h"
#include "device/UsbDevInterface.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDevDir.h"
#include "update/StatusTexts.h"
#include "update/UpdateFile.h"

namespace varnok::apptest {
namespace {

class TestablePage : public CUpgradePX110Dlg {
 public:
  using CUpgradePX110Dlg::CUpgradePX110Dlg;
  using CUpgradePX110Dlg::OnTimer;
};

class UpgradePX110DlgTest : public ::testing::Test {
 protected:
  UpgradePX110DlgTest() {
    // The shipped device list: PX110 (7, classic), OMNIX (12) and OMNIX II (13).
    EXPECT_TRUE(UseConfig((BinDir() + "/device.xml").toStdString()));
    page = std::make_unique<TestablePage>(&host, &host);
    page->SetActive(true);
    page->SetDownloadRunner([this](CDlgDownloadUniteDev& dialog) {
      ++runs;
      selector = dialog.Workflow().Device()->partition;
      return 0;
    });
  }
  // Chooses `file` with Browse and presses Update.
  void Update(const std::string& file) {
    prompts.nextFile = QString::fromStdString(file);
    page->OnCommand(CUpgradePX110Dlg::kCmdChooseBin);
    page->OnCommand(CUpgradePX110Dlg::kCmdUpdateBin);
  }
  std::string Px110File() {
    Bytes file = updatefile::MakeClassicHeader("PX110");
    file.resize(file.size() + 2048, 0x5A);
    return folder.Write("px110.bin", file);
  }
  QString Tool() { return QString::fromStdString(devDir.Path()); }

  test::TempDevDir devDir;
  TestFolder folder;
  PromptRecorder prompts;
  FakeHost host;
  std::unique_ptr<TestablePage> page;
  int runs = 0;
  int selector = -1;
};

TEST_F(UpgradePX110DlgTest, Px110ToolPassesWithSelectorZero) {
  ToolsimProcess tool(Tool(), {"--class", "classic", "--name", "PX110"});
  ASSERT_TOOL_UP(tool);
  Update(Px110File());
  EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(selector, 0);
  EXPECT_TRUE(page->Button(CUpgradePX110Dlg::kCmdUpdateBin)->isEnabled());
}

TEST_F(UpgradePX110DlgTest, DevType13ToolIsAdoptedThenPx110Fails) {
  page->SetDevType(12);  // OMNIX chosen: the check speaks the programmer protocol
  {
    ToolsimProcess tool(Tool(), {"--class", "programmer", "--name", "OMNIX2|1"});
    ASSERT_TOOL_UP(tool);
    Update(folder.Write("o2.bin", TrailerFile("OMNIX2", 4096)));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
    EXPECT_EQ(page->DevType(), 13);
    EXPECT_EQ(page->Logic().PartitionSelector(UpdatePath::Bin), 2);
  }
  ToolsimProcess tool(Tool(), {"--class", "classic", "--name", "PX110"});
  ASSERT_TOOL_UP(tool);
  Update(Px110File());
  ASSERT_EQ(prompts.messages.size(), 1);
  EXPECT_EQ(prompts.messages[0].toStdString(), text::kEquipmentMismatch);
  EXPECT_EQ(page->Port(), -1);
  EXPECT_EQ(runs, 1);
}

TEST_F(UpgradePX110DlgTest, NameQueryFailingTwiceFailsTheCheck) {
  ToolsimProcess tool(Tool(), {"--class", "classic", "--name", "PX110", "--fault", "no-name"});
  ASSERT_TOOL_UP(tool);
  Update(Px110File());
  EXPECT_EQ(prompts.messages, QStringList({QString::fromUtf8(text::kEquipmentMismatch)}));
  EXPECT_EQ(runs, 0);
}

TEST_F(UpgradePX110DlgTest, PollReportsLinkStateZeroWithoutPortAndPathWithoutBinIsRefused) {
  page->OnTimer(CUpgradePX110Dlg::kTimerPoll);
  page->OnTimer(CUpgradePX110Dlg::kTimerPoll);
  ASSERT_EQ(host.messages.size(), 2u);
  for (const auto& m : host.messages) {
    EXPECT_EQ(m.message, WM_LINK_STATE);
    EXPECT_EQ(m.lParam, 0);
  }
  ToolsimProcess tool(Tool(), {"--class", "classic", "--name", "PX110"});
  ASSERT_TOOL_UP(tool);
  page->OnTimer(CUpgradePX110Dlg::kTimerPoll);
  EXPECT_EQ(host.messages.back().lParam, 1);
  page->Edit()->setText(QString::fromStdString(folder.Write("fw.dat", Bytes(100, 1))));
  page->OnCommand(CUpgradePX110Dlg::kCmdUpdateBin);
  EXPECT_EQ(prompts.messages, QStringList({"File format incorrect!"}));
}

TEST(PX110FromCatalogue, OmnixSetsDevType12AndSelectorTwoWhichPx110Keeps) {
  PromptRecorder prompts;
  CVarnokDlg::Options options;
  options.screenSize = QSize(1024, 768);
  options.configPath = (BinDir() + "/device.xml").toStdString();
  CVarnokDlg window(nullptr, options);
  auto* page = static_cast<CUpgradePX110Dlg*>(window.Page(PageId::PX110));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->DevType(), 7);
  EXPECT_EQ(page->Logic().PartitionSelector(UpdatePath::Bin), 0);
  window.DispatchMenuCommand(cmd::kOmnix);
  EXPECT_EQ(window.CurrentPage(), PageId::PX110);
  EXPECT_EQ(page->DevType(), 12);
  EXPECT_EQ(page->Logic().PartitionSelector(UpdatePath::Bin), 2);
  window.DispatchMenuCommand(cmd::kPx110);  // passes no variant
  EXPECT_EQ(page->DevType(), 12);
}

// A product page's port indicator must not stay beside the tool pages,
// which never look for the tool.
TEST(PX110FromCatalogue, ToolPagesCoverTheIndicatorAProductPageDrew) {
  PromptRecorder prompts;
  CVarnokDlg::Options options;
  options.screenSize = QSize(1024, 768);
  options.configPath = (BinDir() + "/device.xml").toStdString();
  CVarnokDlg window(nullptr, options);
  const QRect strip(531, 53, 195, 17);
  const QImage banner = skin::Bitmap(bmp::kBanner).convertToFormat(QImage::Format_RGB32);
  const QImage blank = banner.copy(strip.translated(-geo::Banner().topLeft()));
  for (int tool : {cmd::kDtc, cmd::kManual}) {
    window.DispatchMenuCommand(cmd::kQv120);
    ASSERT_NE(window.Surface()->Image().copy(strip).convertToFormat(QImage::Format_RGB32), blank);
    window.DispatchMenuCommand(tool);
    EXPECT_EQ(window.Surface()->Image().copy(strip).convertToFormat(QImage::Format_RGB32), blank)
        << tool;
  }
}

}  // namespace
}  // namespace varnok::apptest
