#include "tests/app/AppTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "app/skin/SafeDC.h"
#include "app/skin/SkinBitmaps.h"
#include "app/skin/UserPrompts.h"
#include "tests/support/PatternBytes.h"
#include "update/ConfigHelper.h"
#include "update/UpdateFile.h"

namespace varnok::apptest {

QString BinDir() {
  const QByteArray dir = qgetenv("VARNOK_BIN_DIR");
  return dir.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(dir);
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() >= timeoutMs)
      return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

void Pump(int ms) {
  WaitFor([] { return false; }, ms);
}

TestFolder::TestFolder() : dir_(QDir::tempPath() + "/varnok-app-XXXXXX") {}

std::string TestFolder::Write(const QString& relative, const Bytes& bytes) const {
  const QString full = dir_.filePath(relative);
  QDir().mkpath(QFileInfo(full).path());
  QFile file(full);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  return full.toStdString();
}

std::string TestFolder::WriteText(const QString& relative, const std::string& text) const {
  return Write(relative, Bytes(text.begin(), text.end()));
}

std::string WriteTestConfig(const TestFolder& folder) {
  auto device = [](int type, const char* name, int usbType = 1) {
    return std::string("  <Device><DevType>") + std::to_string(type) + "</DevType><ShowName>" +
           name + "</ShowName><DevName>" + name + "</DevName><UpdateFileHeader>" + name +
           "</UpdateFileHeader><USBType>" + std::to_string(usbType) + "</USBType></Device>\n";
  };
  return folder.WriteText("device.xml", "<root>\n  <TestMode>0</TestMode>\n"
                                        "  <Version>V9.87</Version>\n" +
                                            device(1, "QV120") + device(2, "QV220") +
                                            device(8, "PX520") + device(15, "QV130", 0) +
                                            "</root>\n");
}

bool UseConfig(const std::string& path) {
  CConfigHelper::ResetForTesting();
  return CConfigHelper::GetInstance().LoadConfig(path);
}

Bytes TrailerFile(const std::string& models, std::size_t size) {
  Bytes file = varnok::test::PatternBytes(size);
  const Bytes list = updatefile::MakeModelList(models);
  std::copy(list.begin(), list.end(), file.end() - updatefile::kTrailerSize);
  return file;
}

ToolsimProcess::ToolsimProcess(const QString& devDir, const QStringList& args)
    : process_(std::make_unique<QProcess>()) {
  const QString ready = devDir + "/.toolsim-ready";
  QFile::remove(ready);
  QStringList all = args;
  all << "--dev-dir" << devDir << "--ready-file" << ready;
  process_->setProcessChannelMode(QProcess::MergedChannels);
  process_->start(BinDir() + "/varnok-toolsim", all);
  if (!process_->waitForStarted(5000))
    return;
  up_ = WaitFor([&] { return QFile::exists(ready) || process_->state() != QProcess::Running; },
                5000) &&
        process_->state() == QProcess::Running;
}

ToolsimProcess::~ToolsimProcess() {
  if (process_->state() != QProcess::NotRunning) {
    process_->terminate();
    if (!process_->waitForFinished(3000)) {
      process_->kill();
      process_->waitForFinished(1000);
    }
  }
}

QString ToolsimProcess::Output() { return QString::fromLocal8Bit(process_->readAll()); }

FakeHost::FakeHost() : surface_(std::make_unique<CSafeDC>(nullptr, QRect(0, 0, 800, 600))) {
  resize(800, 600);
  move(100, 50);
}

FakeHost::~FakeHost() = default;

long FakeHost::OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) {
  messages.push_back({message, wParam, lParam});
  return 1;
}

bool FakeHost::event(QEvent* event) {
  if (RoutePageMessage(event, this))
    return true;
  return QWidget::event(event);
}

PromptRecorder::PromptRecorder() {
  prompts::SetMessageHook([this](QWidget*, const QString& text) {
    messages << text;
    if (whileShowing)
      whileShowing();
  });
  prompts::SetOpenFileHook([this](QWidget*, const QString& filter, const QString&) {
    fileFilters << filter;
    return nextFile;
  });
}

PromptRecorder::~PromptRecorder() {
  prompts::SetMessageHook(nullptr);
  prompts::SetOpenFileHook(nullptr);
}

bool SurfaceShows(const CSafeDC& surface, QPoint topLeft, int id) {
  const QImage bmp = skin::Bitmap(id).convertToFormat(QImage::Format_RGB32);
  if (bmp.isNull())
    return false;
  const QImage part =
      surface.Image().copy(QRect(topLeft - surface.Rect().topLeft(), bmp.size()));
  return part.convertToFormat(QImage::Format_RGB32) == bmp;
}

}  // namespace varnok::apptest
