// varnok-bench-dataview: feeds the QV220 page's data view as fast as its
// receive path takes the bytes: a producer thread plays the port's monitor
// thread and hands N lines of 40 bytes (38 characters, CR, LF; N is
// 1,000,000 unless `--lines N` says otherwise) to the page's capture link,
// staying at most 64 KiB ahead of what the UI thread has taken. Then it
// jumps to the first and to the last line (Ctrl+Home, Ctrl+End, each with
// its repaint), copies all the text and hands it to the editor (the
// editor's file is written, not opened). Prints
//  - the UI thread's CPU time per line over the first and the last 10,000
//    lines (targets: at most 5 us, the last at most 1.2 times the first),
//  - the peak resident memory of the capture, taken before the copy and
//    the hand-off (targets: 150 MiB for 1 M lines, 1.5 times the text plus
//    100 MiB for 10 M lines),
//  - each jump's wall time, repaint done (target: 50 ms at 10 M lines),
//  - the wall time of Copy and of the editor hand-off (target: 1 s each at
//    1 M lines),
//  - the bytes lost between the link and the view (target: 0),
// and last one line of `key=value` figures for scripts:
//   lines= text_bytes= peak_rss_bytes= first_us= last_us= jump_ms= copy_ms= edit_ms= lost=
// (jump_ms is the slower of the two jumps).
// Not a test: the figures depend on the machine. Runs on Qt's offscreen
// platform unless QT_QPA_PLATFORM is set.
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "app/dataview/CaptureLink.h"
#include "app/dataview/MyRichEdit.h"
#include "app/dataview/TextEditorHandoff.h"
#include "app/pages/UpgradeQV220Dlg.h"
#include "device/SerialPort.h"

namespace {

constexpr int kLineBytes = 40;
constexpr long long kWindow = 10000;
constexpr std::uint64_t kMaxAhead = 64 * 1024;

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::string LineText(long long i) {
  std::string line = "L" + std::to_string(i) + " ";
  line.resize(kLineBytes - 2, '#');
  return line + "\r\n";
}

double WallMs(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// A jump as the user makes it: the key, then the view painted.
double JumpMs(CMyRichEdit& view, Qt::Key key) {
  return WallMs([&] {
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(&view, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
    QApplication::sendEvent(&view, &release);
    view.viewport()->repaint();
  });
}

long long ArgLines(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--lines" && i + 1 < argc)
      return std::atoll(argv[i + 1]);
    if (arg.rfind("--lines=", 0) == 0)
      return std::atoll(arg.c_str() + 8);
    if (!arg.empty() && arg[0] != '-')
      return std::atoll(arg.c_str());  // the older positional form
  }
  return 1000000;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const long long lines = ArgLines(argc, argv);
  if (lines < 2 * kWindow) {
    std::fprintf(stderr, "usage: varnok-bench-dataview [--lines N]  (N >= %lld)\n", 2 * kWindow);
    return 2;
  }
  const std::uint64_t total = static_cast<std::uint64_t>(lines) * kLineBytes;

  CUpgradeQV220Dlg page(nullptr, nullptr);
  page.SetActive(false);  // no timers, no port search: only the receive path
  page.SwitchToDataMode();
  page.resize(617, 486);
  page.show();
  CCaptureLink* link = page.Link();

  std::atomic<bool> stop{false};
  std::thread producer([&] {
    for (long long i = 0; i < lines && !stop.load(); ++i) {
      while (link->Received() - link->Delivered() > kMaxAhead && !stop.load())
        std::this_thread::yield();
      for (char c : LineText(i))
        link->OnSerialMessage(WM_COMM_RXCHAR, static_cast<unsigned char>(c), 1);
    }
  });

  const auto linesTaken = [&] { return static_cast<long long>(link->Delivered() / kLineBytes); };
  double firstStart = ThreadCpuSeconds(), firstEnd = -1, lastStart = -1, lastEnd = -1;
  long long firstLines = 0, lastFrom = 0, lastLines = 0;
  auto lastProgress = std::chrono::steady_clock::now();
  std::uint64_t lastDelivered = 0;
  while (link->Delivered() < total) {
    app.processEvents(QEventLoop::AllEvents, 5);
    // Bytes that never arrive would stop the loop for good.
    if (link->Delivered() != lastDelivered) {
      lastDelivered = link->Delivered();
      lastProgress = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - lastProgress > std::chrono::seconds(5)) {
      break;
    }
    const long long taken = linesTaken();
    if (firstEnd < 0 && taken >= kWindow) {
      firstEnd = ThreadCpuSeconds();
      firstLines = taken;
    }
    if (lastStart < 0 && taken >= lines - kWindow) {
      lastStart = ThreadCpuSeconds();
      lastFrom = taken;
    }
  }
  lastEnd = ThreadCpuSeconds();
  lastLines = linesTaken() - lastFrom;
  stop = true;
  producer.join();
  app.processEvents();

  CMyRichEdit* view = page.View();
  const double toFirstMs = JumpMs(*view, Qt::Key_Home);
  const double toLastMs = JumpMs(*view, Qt::Key_End);

  // Every byte that went in must be in the view.
  std::uint64_t shown = 0;
  const int count = view->LineCount();
  for (int i = 0; i < count; ++i)
    shown += static_cast<std::uint64_t>(view->Line(i).toUtf8().size());
  const long long lost = static_cast<long long>(total) - static_cast<long long>(shown);

  // The capture's peak, before the copy and the hand-off make their
  // copies of the whole text.
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const long long peakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;

  const double copyMs = WallMs([&] { view->CopyAllText(); });
  const bool copiedAll =
      static_cast<std::uint64_t>(QApplication::clipboard()->text().toUtf8().size()) == total;
  QApplication::clipboard()->clear();
  SetTextFileOpener([](const QString& path) { return QFile::remove(path); });
  bool handedOver = false;
  const double editMs = WallMs([&] { handedOver = EditInTextEditor(&page, view->Text()); });

  const double peakMiB = static_cast<double>(peakBytes) / (1024.0 * 1024.0);
  const double textMiB = static_cast<double>(total) / (1024.0 * 1024.0);
  const double firstUs = (firstEnd - firstStart) / static_cast<double>(firstLines) * 1e6;
  const double lastUs = lastLines > 0 ? (lastEnd - lastStart) / static_cast<double>(lastLines) * 1e6 : 0;
  const double jumpMs = std::max(toFirstMs, toLastMs);

  std::printf("data view: %lld lines of %d bytes (%.1f MiB of text)\n", lines, kLineBytes, textMiB);
  std::printf("  UI thread per line, first %lld lines: %.2f us (target <= 5 us)\n", firstLines,
              firstUs);
  std::printf("  UI thread per line, last %lld lines:  %.2f us (%.2fx; target <= 1.2x)\n",
              lastLines, lastUs, firstUs > 0 ? lastUs / firstUs : 0.0);
  std::printf("  peak memory: %.0f MiB (targets: <= 150 MiB at 1 M lines; <= %.0f MiB = 1.5 x text "
              "+ 100 MiB)\n",
              peakMiB, 1.5 * textMiB + 100);
  std::printf("  jump to the first line %.1f ms, to the last %.1f ms (target <= 50 ms)\n",
              toFirstMs, toLastMs);
  std::printf("  copy all %.0f ms%s, editor hand-off %.0f ms%s (target <= 1000 ms)\n", copyMs,
              copiedAll ? "" : " (clipboard incomplete)", editMs,
              handedOver ? "" : " (not handed over)");
  std::printf("  lines in the view: %d, bytes lost: %lld (target 0)\n", count, lost);
  std::printf("lines=%lld text_bytes=%llu peak_rss_bytes=%lld first_us=%.2f last_us=%.2f "
              "jump_ms=%.1f copy_ms=%.0f edit_ms=%.0f lost=%lld\n",
              lines, static_cast<unsigned long long>(total), peakBytes, firstUs, lastUs, jumpMs,
              copyMs, editMs, lost);
  return 0;
}
