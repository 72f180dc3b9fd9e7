// The QV220 page: data mode against the simulated tool (line assembly,
// receive timing, conversion, port retries, mode switches), its update
// rules where they differ from the QV120 page, and printing to PDF.
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTimer>

#ifndef _WIN32
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "app/dataview/CaptureLink.h"
#include "app/dataview/CapturePrinter.h"
#include "app/dataview/MyRichEdit.h"
#include "app/pages/UpgradeQV220Dlg.h"
#include "app/skin/SkinButtonEx.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDevDir.h"
#include "update/StatusTexts.h"

namespace varnok::apptest {
namespace {

class TestablePage : public CUpgradeQV220Dlg {
 public:
  using CUpgradeQV220Dlg::CUpgradeQV220Dlg;
  using CUpgradeQV220Dlg::OnTimer;
};

std::string WriteQv220Config(const TestFolder& folder) {
  auto device = [](int type, const char* name, int usbType) {
    return std::string("  <Device><DevType>") + std::to_string(type) + "</DevType><ShowName>" +
           name + "</ShowName><DevName>" + name + "</DevName><UpdateFileHeader>" + name +
           "</UpdateFileHeader><USBType>" + std::to_string(usbType) + "</USBType></Device>\n";
  };
  return folder.WriteText("device.xml", "<root>\n  <TestMode>0</TestMode>\n"
                                        "  <Version>V9.87</Version>\n" +
                                            device(1, "QV120", 1) + device(2, "QV220", 1) +
                                            device(6, "RW480", 1) + "</root>\n");
}

class UpgradeQV220DlgTest : public ::testing::Test {
 protected:
  UpgradeQV220DlgTest() {
    EXPECT_TRUE(UseConfig(WriteQv220Config(folder)));
    page = std::make_unique<TestablePage>(&host, &host);
    const QRect rect(host.mapToGlobal(QPoint(157, 76)), QSize(617, 486));
    page->SetPageRect(rect);
    page->MoveToScreenRect(rect);
    page->SetActive(true);
    page->SetDevType(2);
    page->SetDayClock([this] { return now; });
  }
  ~UpgradeQV220DlgTest() override { capture_print::SetDialogHook(nullptr); }

  QString Tool() { return QString::fromStdString(devDir.Path()); }
  void Feed(const std::string& bytes) {
    for (char b : bytes)
      page->OnReceivedByte(static_cast<unsigned char>(b));
  }
  std::string ViewText() { return page->View()->Text().toStdString(); }
  // A simulated tool in data mode sending `content` unchanged.
  std::unique_ptr<ToolsimProcess> DataTool(const std::string& content) {
    const std::string file = folder.WriteText("data.txt", content);
    return std::make_unique<ToolsimProcess>(
        Tool(), QStringList{"--data-file", QString::fromStdString(file), "--data-raw"});
  }

  test::TempDevDir devDir;
  TestFolder folder;
  PromptRecorder prompts;
  FakeHost host;
  std::unique_ptr<TestablePage> page;
  int now = 36000;
};

TEST_F(UpgradeQV220DlgTest, LineShowsAtItsLineFeedWithCrKeptAndTheRestWaits) {
  auto tool = DataTool("T=25\r\nT=2");
  ASSERT_TOOL_UP(*tool);
  page->SwitchToDataMode();
  ASSERT_TRUE(page->Link()->IsOpen());
  ASSERT_TRUE(WaitFor([&] { return page->PendingBytes() == "T=2"; }, 5000));
  EXPECT_EQ(ViewText(), "T=25\r\n");
  EXPECT_TRUE(page->IsBusy());
}

TEST_F(UpgradeQV220DlgTest, NothingShowsBeforeTheLineFeed) {
  page->SwitchToDataMode();
  Feed("T=25\r");
  EXPECT_EQ(ViewText(), "");
  Feed("\n");
  EXPECT_EQ(ViewText(), "T=25\r\n");
}

TEST_F(UpgradeQV220DlgTest, HighByteDoesNotMoveLastByteTime) {
  page->SwitchToDataMode();
  Feed("A");
  EXPECT_EQ(page->Timing().lastByteTime, 36000);
  now = 36002;
  Feed("\xB0");
  EXPECT_EQ(page->Timing().lastByteTime, 36000);
  EXPECT_EQ(page->PendingBytes(), "A\xB0");
}

// The link reads the clock once per batch it hands over, not per byte.
TEST_F(UpgradeQV220DlgTest, BytesFromTheLinkCarryTheTimeTheirBatchWasTaken) {
  page->SwitchToDataMode();
  now = 36005;
  for (char b : std::string("AB"))
    page->Link()->OnSerialMessage(WM_COMM_RXCHAR, static_cast<unsigned char>(b), 1);
  page->Link()->DeliverPending();
  EXPECT_EQ(page->Timing().lastByteTime, 36005);
  EXPECT_EQ(page->PendingBytes(), "AB");
}

TEST_F(UpgradeQV220DlgTest, HighByteOnAChineseSystemBecomesItsGbkPair) {
  page->UseLocale(QLocale(QLocale::Chinese, QLocale::China));
  page->SwitchToDataMode();
  Feed("25\xB0" "C\r\n\xD6\xD0\r\n");
  // 0xB0 goes over as the GBK pair 0xA1 0xA3 (U+3002); read as GBK without
  // the conversion it would have swallowed the C.
  EXPECT_EQ(ViewText(), "25\u3002C\r\n\u4E2D\r\n");
}

TEST_F(UpgradeQV220DlgTest, LegacyAndUtf8LinesElsewhere) {
  page->UseLocale(QLocale(QLocale::English, QLocale::UnitedStates));
  page->SwitchToDataMode();
  Feed("25\xB0" "C\n25\xC2\xB0" "C\n");
  EXPECT_EQ(ViewText(), "25\u00B0C\n25\u00B0C\n");
}

TEST_F(UpgradeQV220DlgTest, TickEndsAReceptionFullyWithoutProgress) {
  page->SwitchToDataMode();
  Feed("ok\n");
  ASSERT_TRUE(page->IsBusy());
  host.messages.clear();
  page->OnTimer(CUpgradeQV220Dlg::kTimerData);
  EXPECT_FALSE(page->IsBusy());
  EXPECT_EQ(page->Timing().lastSpan, 0);
  EXPECT_EQ(page->Timing().firstByteTime, 0);
}

TEST_F(UpgradeQV220DlgTest, TickEndsAReceptionPlainlyAfterProgress) {
  page->SwitchToDataMode();
  Feed("a\n");
  now += 2;
  Feed("b\n");
  page->OnTimer(CUpgradeQV220Dlg::kTimerData);
  EXPECT_FALSE(page->IsBusy());
  EXPECT_EQ(page->Timing().lastSpan, 0);
  EXPECT_EQ(ViewText(), "a\nb\n");
}

// Another program holds the line with the POSIX lock a serial line takes.
#ifndef _WIN32
TEST_F(UpgradeQV220DlgTest, PortThatFailedToOpenIsRetriedOnTheTick) {
  auto tool = DataTool("x\n");
  ASSERT_TOOL_UP(*tool);
  const std::string device = devDir.PathOf("ttyACM0");
  const int holder = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  page->SwitchToDataMode();
  EXPECT_FALSE(page->Link()->IsOpen());
  EXPECT_TRUE(page->Link()->LastOpenFailed());
  ::close(holder);
  page->OnTimer(CUpgradeQV220Dlg::kTimerData);
  EXPECT_TRUE(page->Link()->IsOpen());
  EXPECT_TRUE(WaitFor([&] { return ViewText() == "x\n"; }, 5000));
}
#endif

TEST_F(UpgradeQV220DlgTest, ModeSwitchesKeepTheTextAndShowOnlyTheOtherModesButton) {
  page->show();
  page->SwitchToDataMode();
  Feed("kept\r\n");
  EXPECT_EQ(page->GetBackgroundImage(), CUpgradeQV220Dlg::kBackdropData);
  EXPECT_TRUE(page->Button(CUpgradeQV220Dlg::kCmdUpdateMode)->isVisibleTo(page.get()));
  EXPECT_FALSE(page->Button(CUpgradeQV220Dlg::kCmdDataMode)->isVisibleTo(page.get()));
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdUpdateMode)->pos(), QPoint(1, 68));
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdUpdateBin), nullptr);
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdPrint)->toolTip(), "print");
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdCopy)->geometry(), QRect(280, 4, 35, 17));

  page->OnCommand(CUpgradeQV220Dlg::kCmdUpdateMode);
  EXPECT_EQ(page->GetBackgroundImage(), CUpgradeQV220Dlg::kBackdropUpdate);
  EXPECT_TRUE(page->Button(CUpgradeQV220Dlg::kCmdDataMode)->isVisibleTo(page.get()));
  EXPECT_FALSE(page->Button(CUpgradeQV220Dlg::kCmdUpdateMode)->isVisibleTo(page.get()));
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdDataMode)->pos(), QPoint(2, 71));
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdPrint), nullptr);
  EXPECT_EQ(page->Button(CUpgradeQV220Dlg::kCmdUpdateBin)->geometry(), QRect(285, 229, 114, 29));
  EXPECT_FALSE(page->View()->isVisibleTo(page.get()));

  page->OnPageMessage(WM_REENTER_DATA, 0, 0);
  EXPECT_EQ(page->CurrentMode(), CUpgradeQV220Dlg::Mode::Data);
  EXPECT_EQ(ViewText(), "kept\r\n");
}

TEST_F(UpgradeQV220DlgTest, ReleaseBeforeHidingClosesTheDataPort) {
  auto tool = DataTool("x\n");
  ASSERT_TOOL_UP(*tool);
  page->SwitchToDataMode();
  ASSERT_TRUE(page->Link()->IsOpen());
  page->OnPageMessage(WM_RELEASE_PORT, 0, 0);
  EXPECT_FALSE(page->Link()->IsOpen());
  EXPECT_EQ(page->Port(), -1);
}

// Letting go of the port hands the page the bytes still queued; the page
// must not be left holding the window busy, since a page that is not shown
// never gets the tick that ends a reception.
TEST_F(UpgradeQV220DlgTest, LettingGoOfThePortDuringAReceptionLeavesNothingBusy) {
  auto tool = DataTool("streaming line\r\n");
  ASSERT_TOOL_UP(*tool);
  const std::pair<const char*, std::function<void()>> releases[] = {
      {"release message", [&] { page->OnPageMessage(WM_RELEASE_PORT, 0, 0); }},
      {"update mode", [&] { page->OnCommand(CUpgradeQV220Dlg::kCmdUpdateMode); }},
  };
  for (const auto& [name, release] : releases) {
    page->SetActive(true);
    page->SwitchToDataMode();
    ASSERT_TRUE(page->Link()->IsOpen()) << name;
    Feed("partial");  // a reception in progress
    release();
    page->SetActive(false);  // hidden, as the main window does next
    page->OnTimer(CUpgradeQV220Dlg::kTimerData);
    EXPECT_FALSE(page->IsBusy()) << name;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << name;
    // A byte that still reaches a page not shown starts no reception.
    Feed("late\n");
    EXPECT_FALSE(page->IsBusy()) << name;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << name;
    page->SwitchToUpdateMode();
  }
}

TEST_F(UpgradeQV220DlgTest, NoRightClickMenuWhileAReceptionIsInProgress) {
  page->show();
  page->SwitchToDataMode();
  Feed("a\n");
  ASSERT_TRUE(page->IsBusy());
  bool opened = false;
  QTimer::singleShot(200, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      opened = true;
      popup->close();
    }
  });
  QWidget* viewport = page->View()->viewport();
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
  QCoreApplication::sendEvent(viewport, &menu);
  Pump(300);
  EXPECT_FALSE(opened);
}

TEST_F(UpgradeQV220DlgTest, Rw480IsNeverAskedItsName) {
  // A tool that would give another model's name if asked.
  ToolsimProcess tool(Tool(), {"--class", "new", "--name", "QV120|1"});
  ASSERT_TOOL_UP(tool);
  page->SetDevType(6);
  page->Edit(CUpgradeQV220Dlg::kBinEditId)->setText(QString::fromStdString(
      folder.Write("fw.bin", TrailerFile("QV120", 4096))));
  page->OnCommand(CUpgradeQV220Dlg::kCmdUpdateBin);
  EXPECT_EQ(prompts.messages, QStringList({"Wrong file!"}));
}

TEST_F(UpgradeQV220DlgTest, ExtensionTestSearchesTheWholePath) {
  ToolsimProcess tool(Tool(), {"--class", "new", "--name", "QV220|1"});
  ASSERT_TOOL_UP(tool);
  QLineEdit* bin = page->Edit(CUpgradeQV220Dlg::kBinEditId);
  // A folder named x.bin lets a .dat file through to the file check.
  bin->setText(QString::fromStdString(folder.Write("x.bin/fw.dat", TrailerFile("PX520", 4096))));
  page->OnCommand(CUpgradeQV220Dlg::kCmdUpdateBin);
  bin->setText(QString::fromStdString(folder.Write("fw.dat", TrailerFile("QV220", 4096))));
  page->OnCommand(CUpgradeQV220Dlg::kCmdUpdateBin);
  page->Edit(CUpgradeQV220Dlg::kZpkEditId)->setText(bin->text());
  page->OnCommand(CUpgradeQV220Dlg::kCmdUpdateZpk);
  EXPECT_EQ(prompts.messages,
            QStringList({"Wrong file!", "File format error!", "File format incorrect!"}));
}

// Printing to a PDF file, read back with pdftotext (a POSIX program: on
// Windows the layout is checked, the PDF's text is not).
#ifdef _WIN32
#define SKIP_WITHOUT_PDF_TEXT() GTEST_SKIP() << "no pdftotext on Windows to read the PDF back"
#else
#define SKIP_WITHOUT_PDF_TEXT() static_cast<void>(0)
#endif

class PrintTest : public UpgradeQV220DlgTest {
 protected:
  // Prints the view into a PDF; returns its text per page ("" when no file).
  QStringList PrintPages(int copies, bool collate, PrintPlan* plan = nullptr) {
    const QString pdf = folder.Path() + "/out.pdf";
    QFile::remove(pdf);
    capture_print::SetDialogHook([pdf, copies, collate](QPrinter& printer, QWidget*) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
      printer.setCopyCount(copies);
      printer.setCollateCopies(collate);
      return true;
    });
    EXPECT_EQ(PrintText(page.get(), *page->View(), plan), 1);
    if (!QFile::exists(pdf))
      return {};
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    text.waitForFinished(20000);
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
      pages.removeLast();
    return pages;
  }
  static QString Footer(const QString& page) {
    const QStringList lines = page.trimmed().split('\n');
    return lines.last().trimmed();
  }
};

TEST_F(PrintTest, HundredTwentyLinesGiveThreeFooteredPages) {
  page->SwitchToDataMode();
  for (int i = 1; i <= 120; ++i)
    Feed("line " + std::to_string(i) + "\r\n");
  PrintPlan plan;
  const QStringList pages = PrintPages(1, true, &plan);
  // A4 with 10 mm margins at 1200 dpi: 8976 x 13086 pixels; a cell of
  // 13086 / 60 = 218 pixels gives 60 - 8 lines, and Courier New's (here
  // Liberation Mono, fonts-liberation) 0.6-em characters at em 192 give
  // 8976 / 115 characters. An em of 218 gave 44 lines of 68.
  EXPECT_EQ(plan.linesPerPage, 52);
  EXPECT_EQ(plan.charsPerLine, 78);
  ASSERT_GT(plan.linesPerPage, 0);
  SKIP_WITHOUT_PDF_TEXT();
  ASSERT_EQ(pages.size(), 3);
  EXPECT_EQ(Footer(pages[0]), "- 1/3 -");
  EXPECT_EQ(Footer(pages[1]), "- 2/3 -");
  EXPECT_EQ(Footer(pages[2]), "- 3/3 -");
  EXPECT_TRUE(pages[0].contains("line 1\n") || pages[0].contains("line 1 "));
  const QString lastFirst = QString("line %1").arg(2 * plan.linesPerPage + 1);
  EXPECT_TRUE(pages[2].contains(lastFirst));
  EXPECT_TRUE(pages[2].contains("line 120"));
  // The print button disables the page while it prints, then enables it.
  page->OnCommand(CUpgradeQV220Dlg::kCmdPrint);
  EXPECT_TRUE(page->isEnabled());
}

TEST_F(PrintTest, CopiesGoCollatedOrUncollated) {
  page->SwitchToDataMode();
  for (int i = 1; i <= 120; ++i)
    Feed("x\n");
  QStringList footers;
  for (const QString& p : PrintPages(2, true))
    footers << Footer(p);
  SKIP_WITHOUT_PDF_TEXT();
  EXPECT_EQ(footers, QStringList({"- 1/3 -", "- 2/3 -", "- 3/3 -", "- 1/3 -", "- 2/3 -", "- 3/3 -"}));
  footers.clear();
  for (const QString& p : PrintPages(2, false))
    footers << Footer(p);
  EXPECT_EQ(footers, QStringList({"- 1/3 -", "- 1/3 -", "- 2/3 -", "- 2/3 -", "- 3/3 -", "- 3/3 -"}));
}

TEST_F(PrintTest, FailedSheetLeavesNoFinishedFile) {
  page->SwitchToDataMode();
  for (int i = 1; i <= 120; ++i)
    Feed("x\n");
  const QString pdf = folder.Path() + "/failed.pdf";
  capture_print::SetDialogHook([pdf](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  });
  capture_print::SetSheetHook([](int sheet) { return sheet != 1; });
  EXPECT_EQ(PrintText(page.get(), *page->View()), 0);
  capture_print::SetSheetHook(nullptr);
  EXPECT_FALSE(QFile::exists(pdf));  // not a one-page document
}

TEST_F(PrintTest, EmptyViewStartsNoDocument) {
  page->SwitchToDataMode();
  EXPECT_TRUE(PrintPages(1, true).isEmpty());
}

}  // namespace
}  // namespace varnok::apptest
