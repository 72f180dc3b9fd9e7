#pragma once
// Shared pieces of the GUI tests: a temporary folder with a device.xml and
// update files, the simulated tool as a child process, event-loop waits, a
// stand-in main window for a page, and recorders for the message boxes.

#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/pages/PageHost.h"
#include "app/skin/PageMessage.h"

class CSafeDC;

namespace varnok::apptest {

using Bytes = std::vector<std::uint8_t>;

// The folder holding the built programs ($VARNOK_BIN_DIR).
QString BinDir();

// Runs the event loop until `done` holds or `timeoutMs` passed; returns done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs);
// Runs the event loop for `ms`.
void Pump(int ms);

// A folder of its own, removed afterwards.
class TestFolder {
 public:
  TestFolder();
  QString Path() const { return dir_.path(); }
  std::string PathStd() const { return dir_.path().toStdString(); }
  // Writes a file (folders created); returns its full path.
  std::string Write(const QString& relative, const Bytes& bytes) const;
  std::string WriteText(const QString& relative, const std::string& text) const;

 private:
  QTemporaryDir dir_;
};

// device.xml of the tests: QV120 (1), QV220 (2) and PX520 (8) as new tools,
// QV130 (15) as a classic tool, version "V9.87".
std::string WriteTestConfig(const TestFolder& folder);
// Fresh configuration state loaded from `path`.
bool UseConfig(const std::string& path);

// A new-tool update file of `size` bytes whose trailer lists `models`.
Bytes TrailerFile(const std::string& models, std::size_t size);

// varnok-toolsim as a child process; up once the constructor returns with
// IsUp() true. Stopped by the destructor.
class ToolsimProcess {
 public:
  ToolsimProcess(const QString& devDir, const QStringList& args);
  ~ToolsimProcess();
  bool IsUp() const { return up_; }
  QString Output();

 private:
  std::unique_ptr<QProcess> process_;
  bool up_ = false;
};

// Stops a test that needs the simulated tool `tool` (a ToolsimProcess)
// unless it came up. The simulator serves a pseudo-terminal, so on Windows
// such a test is skipped: there the tool behind a COM port is the concern of
// the Windows stages' own journeys.
#ifdef _WIN32
#define ASSERT_TOOL_UP(tool) GTEST_SKIP() << "no simulated tool on Windows (it needs a pseudo-terminal)"
#else
#define ASSERT_TOOL_UP(tool) ASSERT_TRUE((tool).IsUp()) << (tool).Output().toStdString()
#endif

// A stand-in main window: its own surface over 800 x 600 and a record of
// the page messages and repaint requests it received.
class FakeHost : public QWidget, public IPageHost, public IPageMessageHandler {
 public:
  FakeHost();
  ~FakeHost() override;

  CSafeDC* Surface() override { return surface_.get(); }
  void UpdateSurfaceRect(const QRect& clientRect) override { updates.push_back(clientRect); }
  QWidget* HostWindow() override { return this; }
  void PortIndicatorChanged(const QString& text) override { portText = text; }
  long OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) override;

  struct Message {
    unsigned message;
    quintptr wParam;
    qintptr lParam;
  };
  std::vector<Message> messages;
  std::vector<QRect> updates;
  QString portText;

 protected:
  bool event(QEvent* event) override;

 private:
  std::unique_ptr<CSafeDC> surface_;
};

// Replaces the message boxes (records their texts) and the open-file dialog
// (answers `nextFile`) while it lives.
class PromptRecorder {
 public:
  PromptRecorder();
  ~PromptRecorder();
  QStringList messages;
  // Runs while each message shows (the page's state at that moment).
  std::function<void()> whileShowing;
  QString nextFile;
  QStringList fileFilters;
};

// Whether `surface` holds exactly the skin bitmap `id` at `topLeft`.
bool SurfaceShows(const CSafeDC& surface, QPoint topLeft, int id);

}  // namespace varnok::apptest
