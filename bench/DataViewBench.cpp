// varnok-bench-dataview: feeds the QV220 page's data view as fast as its
// receive path takes the bytes: a producer thread plays the port's monitor
// thread and hands 1,000,000 lines of 40 bytes (38 characters, CR, LF) to
// the page's capture link, staying at most 64 KiB ahead of what the UI
// thread has taken. Prints
//  - the UI thread's CPU time per line over the first and the last 10,000
//    lines (target: the last at most twice the first: appending does not
//    slow down as the text grows),
//  - the bytes lost between the link and the view (target: 0),
//  - the peak resident memory against the text held (target: at most
//    10 times the text plus 100 MiB).
// Not a test: the figures depend on the machine. Runs on Qt's offscreen
// platform unless QT_QPA_PLATFORM is set. Argument: the line count.
#include <sys/resource.h>
#include <time.h>

#include <QApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/dataview/CaptureLink.h"
#include "app/dataview/MyRichEdit.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const long long lines = argc > 1 ? std::atoll(argv[1]) : 1000000;
  if (lines < 2 * kWindow) {
    std::fprintf(stderr, "varnok-bench-dataview: at least %lld lines\n", 2 * kWindow);
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

  // Every byte that went in must be in the view.
  const CMyRichEdit* view = page.View();
  std::uint64_t shown = 0;
  const int count = view->LineCount();
  for (int i = 0; i < count; ++i)
    shown += static_cast<std::uint64_t>(view->Line(i).toUtf8().size());

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  const double textMiB = static_cast<double>(total) / (1024.0 * 1024.0);
  const double firstUs = (firstEnd - firstStart) / static_cast<double>(firstLines) * 1e6;
  const double lastUs = lastLines > 0 ? (lastEnd - lastStart) / static_cast<double>(lastLines) * 1e6 : 0;

  std::printf("data view: %lld lines of %d bytes (%.1f MiB of text)\n", lines, kLineBytes, textMiB);
  std::printf("  UI thread per line, first %lld lines: %.2f us\n", firstLines, firstUs);
  std::printf("  UI thread per line, last %lld lines:  %.2f us (%.2fx; target <= 2x)\n", lastLines,
              lastUs, firstUs > 0 ? lastUs / firstUs : 0.0);
  std::printf("  lines in the view: %d, bytes lost: %lld (target 0)\n", count,
              static_cast<long long>(total) - static_cast<long long>(shown));
  std::printf("  peak memory: %.0f MiB (target <= %.0f MiB = 10 x text + 100 MiB)\n", peakMiB,
              10 * textMiB + 100);
  return 0;
}
