// varnok-screenshots: pictures of every page and dialog of the window, for
// looking at the skin (not a test). A simulated QV120 is plugged in (so the
// indicator shows a port), each catalogue entry is chosen in turn, then a
// message box and the download dialog after a good and a failed run are
// shown. One PNG per view in OUTPUT-FOLDER.
//
// Usage: varnok-screenshots OUTPUT-FOLDER
//   (QT_QPA_PLATFORM=offscreen by default; under Xvfb: QT_QPA_PLATFORM=xcb
//    xvfb-run -a -s "-screen 0 1024x768x24" build/bin/varnok-screenshots shots)

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "app/pages/DlgDownloadUniteDev.h"
#include "app/pages/DlgDtcLookup.h"
#include "app/shell/VarnokApp.h"
#include "app/shell/VarnokDlg.h"
#include "app/skin/UserPrompts.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDevDir.h"
#include "update/ConfigHelper.h"
#include "update/ProductPageLogic.h"
#include "update/StatusTexts.h"
#include "update/UpdateFile.h"

using namespace varnok::apptest;

namespace {

QDir out;

void Save(QWidget* widget, const QString& name) {
  Pump(150);
  const QString path = out.filePath(name + ".png");
  if (!widget->grab().save(path))
    std::fprintf(stderr, "varnok-screenshots: cannot write %s\n", qPrintable(path));
  else
    std::printf("%s\n", qPrintable(path));
}

// Grabs the message box that `show` opens, then closes it.
void SaveMessageBox(const QString& name, const std::function<void()>& show) {
  QTimer::singleShot(300, [name] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      Save(box, name);
      box->close();
    }
  });
  show();
}

// Runs the download dialog to its end against the simulated tool.
void SaveDownload(QWidget* owner, const std::string& file, const QString& name) {
  CDlgDownloadUniteDev dialog(owner);
  CProductPageLogic logic(PageKind::QV120, 1);
  if (logic.PrepareUpdate(UpdatePath::Bin, file, dialog.Workflow()).step != PrepareStep::Ready) {
    std::fprintf(stderr, "varnok-screenshots: the update file was refused\n");
    return;
  }
  dialog.StartRun();
  dialog.show();
  WaitFor([&] { return dialog.RunHasEnded(); }, 30000);
  Save(&dialog, name);
  dialog.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  CVarnokApp app(argc, argv);  // the program's application object and font
  if (argc != 2) {
    std::fprintf(stderr, "usage: varnok-screenshots OUTPUT-FOLDER\n");
    return 2;
  }
  QDir().mkpath(QString::fromLocal8Bit(argv[1]));
  out = QDir(QString::fromLocal8Bit(argv[1]));

  varnok::test::TempDevDir devDir;
  const QString dev = QString::fromStdString(devDir.Path());
  TestFolder folder;
  // The shipped device list has the QV120 as a classic tool.
  const QStringList qv120{"--class", "classic", "--name", "QV120"};
  auto tool = std::make_unique<ToolsimProcess>(dev, qv120);

  CVarnokDlg window(nullptr);
  window.show();
  const struct {
    int command;
    const char* name;
  } views[] = {
      {100, "page-qv120"}, {103, "page-qv220"}, {152, "page-px110"}, {159, "page-omnix"},
      {151, "page-px520"}, {140, "page-dtc"},   {125, "page-manual"},
  };
  for (const auto& view : views) {
    window.DispatchMenuCommand(view.command);
    Pump(view.command == 125 ? 1700 : 300);
    Save(&window, view.name);
  }
  window.DispatchMenuCommand(140);
  if (auto* dtc = dynamic_cast<CDlgDtcLookup*>(window.Page(PageId::Dtc))) {
    dtc->SearchBox()->setText(QStringLiteral("P042"));
    Save(&window, "page-dtc-search");
  }
  window.DispatchMenuCommand(129);
  tool.reset();  // unplugged: the indicator turns red at the next look
  Pump(800);
  Save(&window, "page-qv120-no-tool");

  SaveMessageBox("message-mismatch", [&] {
    prompts::ShowMessage(&window, QString::fromUtf8(text::kEquipmentMismatch));
  });
  SaveMessageBox("message-dtc-library", [&] {
    prompts::ShowMessage(&window, QStringLiteral("OBDII lib open failure\uFF01"),
                         prompts::MessageIcon::Error);
  });

  tool = std::make_unique<ToolsimProcess>(dev, qv120);
  Bytes image = updatefile::MakeClassicHeader("QV120");
  image.resize(image.size() + 32 * 1024, 0x5A);
  const std::string file = folder.Write("qv120.bin", image);
  SaveDownload(&window, file, "download-done");
  tool.reset();
  tool = std::make_unique<ToolsimProcess>(dev, qv120 + QStringList{"--fault", "refuse:C2"});
  SaveDownload(&window, file, "download-failed");
  return 0;
}
