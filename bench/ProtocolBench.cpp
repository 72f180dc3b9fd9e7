// varnok-bench-protocols: writes an image block by block with each tool
// class's real protocol class against the simulated tool, and prints
//  - the PC-side median time per block against the unpaced simulator,
//  - the payload throughput against the simulator paced at the line rate,
//    as a share of the protocol's wire bound (payload bytes over all bytes
//    a block puts on the line, both directions, at baud/10 bytes per second),
//  - the updater thread's CPU time as a share of the wall time.
//
// Not a test: the figures depend on the machine. Targets: at most 1 ms per
// block unpaced, at least 97% of the wire bound paced, CPU at most 5%.
#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "device/ProductFactory.h"
#include "device/WireTrace.h"
#include "sim/RunningSimulator.h"
#include "tests/support/PatternBytes.h"

namespace {

using varnok::sim::Bytes;
using varnok::sim::RunningSimulator;
using varnok::sim::SimOptions;
using varnok::sim::ToolClass;
using Clock = std::chrono::steady_clock;

// --trace DIR: every run records its wire trace there.
std::string gTraceDir;

struct ToolCase {
  const char* label;
  ToolClass simClass;
  int factoryType;
  int partition;
  int blockSize;
  int wireBytesPerBlock;  // request(s) and reply(s) of one full block
  const char* simName;
  const char* openName;
};

// Wire bytes of a full block:
//  classic     header 10 + reply 6 + packet 2048+6 + reply 6 = 2076
//  new         frame 2048+9+11 + ack 13                     = 2081
//  programmer  frame 128+9+11 + ack 13                      = 161
const ToolCase kClasses[] = {
    {"classic", ToolClass::Classic, kToolClassic, 0, 2048, 2076, "QV110", "QV110"},
    {"new", ToolClass::New, kToolNew, 2, 2048, 2081, "QV120|1", "QV120"},
    {"programmer", ToolClass::Programmer, kToolProgrammer, 2, 128, 161, "OMNIX|1", "PX110"},
};

struct RunResult {
  bool ok = false;
  std::string failure;
  std::vector<double> blockUs;
  double wallS = 0;
  double cpuS = 0;
};

double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Brings the tool to the point where blocks are written.
bool Prepare(const ToolCase& tool, CUsbDevInterface& dev, std::string& failure) {
  if (dev.OpenDevice(tool.openName) != 0) return failure = "OpenDevice", false;
  switch (tool.factoryType) {
    case kToolClassic:
      if (dev.EnterUpdateMode() != 1) return failure = "EnterUpdateMode", false;
      if (dev.EraseFlash() != 1) return failure = "EraseFlash", false;
      return true;
    case kToolNew:
      if (!dev.SetDeviceTime()) return failure = "SetDeviceTime", false;
      [[fallthrough]];
    default:
      if (!dev.ReadPartitionTable(dev.partitionTable)) return failure = "ReadPartitionTable", false;
      if (dev.EraseFlash() != 0) return failure = "EraseFlash", false;
      return true;
  }
}

RunResult Run(const ToolCase& tool, const Bytes& image, unsigned baud, const std::string& devDir) {
  RunResult result;
  SimOptions options;
  options.toolClass = tool.simClass;
  options.name = tool.simName;
  options.devDir = devDir;
  options.paceBaud = baud;
  options.regionSize = static_cast<std::uint32_t>(std::max<std::size_t>(image.size(), 0x200000));
  RunningSimulator sim(options);

  CProductFactory factory;
  std::unique_ptr<CUsbDevInterface> dev = factory.Create(tool.factoryType);
  dev->partition = tool.partition;
  dev->SetDeviceType(1);
  if (!gTraceDir.empty()) {
    // Recording on: the block loop must keep its pace.
    const std::string path = gTraceDir + "/" + tool.label + (baud != 0 ? "-paced" : "-unpaced") +
                             ".jsonl";
    dev->port.SetTrace(varnok::CWireTrace::Create(path, {"varnok-bench-protocols", "", "", ""},
                                                  nullptr));
  }
  if (!Prepare(tool, *dev, result.failure)) return result;

  const int size = static_cast<int>(image.size());
  const int count = (size + tool.blockSize - 1) / tool.blockSize;
  result.blockUs.reserve(static_cast<std::size_t>(count));
  const double cpuStart = ThreadCpuSeconds();
  const Clock::time_point wallStart = Clock::now();
  for (int i = 0; i < count; ++i) {
    const int offset = i * tool.blockSize;
    const int len = std::min(tool.blockSize, size - offset);
    const Clock::time_point t0 = Clock::now();
    if (dev->WriteBlock(image.data(), len, offset, i) != 0) {
      result.failure = "WriteBlock " + std::to_string(i);
      return result;
    }
    result.blockUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  result.wallS = std::chrono::duration<double>(Clock::now() - wallStart).count();
  result.cpuS = ThreadCpuSeconds() - cpuStart;
  dev->ClosePort();
  if (sim.FlashImage() != image) {
    result.failure = "flash differs from the image";
    return result;
  }
  result.ok = true;
  return result;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto at = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[at];
}

void Usage() {
  std::printf(
      "Usage: varnok-bench-protocols [--kib N] [--baud B] [--only CLASS] [--skip-paced]\n"
      "                              [--trace DIR]\n"
      "  --kib N        image size in KiB (default 256)\n"
      "  --baud B       line rate of the paced run (default 115200)\n"
      "  --only CLASS   classic, new or programmer (default all three)\n"
      "  --skip-paced   only the unpaced run\n"
      "  --trace DIR    record every run's wire trace into DIR (recording's cost)\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t kib = 256;
  unsigned baud = 115200;
  std::string only;
  bool skipPaced = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--kib" && i + 1 < argc) {
      kib = std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--baud" && i + 1 < argc) {
      baud = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (arg == "--trace" && i + 1 < argc) {
      gTraceDir = argv[++i];
    } else if (arg == "--skip-paced") {
      skipPaced = true;
    } else {
      Usage();
      return arg == "--help" || arg == "-h" ? 0 : 2;
    }
  }
  if (kib == 0 || baud < 300) {
    Usage();
    return 2;
  }

  char pattern[] = "/tmp/varnok-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string devDir = pattern;
  setenv("VARNOK_DEV_DIR", devDir.c_str(), 1);
  const Bytes image = varnok::test::PatternBytes(kib * 1024);

  std::printf("Image %zu KiB; paced line %u baud 8N1 (%.0f bytes/s)\n\n", kib, baud, baud / 10.0);
  std::printf("%-11s %7s | %10s %8s %8s %6s | %10s %10s %7s %6s\n", "class", "blocks", "median us",
              "p90 us", "max us", "cpu", "paced B/s", "bound B/s", "of bound", "cpu");
  int status = 0;
  for (const ToolCase& tool : kClasses) {
    if (!only.empty() && only != tool.label) continue;
    const RunResult fast = Run(tool, image, 0, devDir);
    if (!fast.ok) {
      std::printf("%-11s unpaced run failed: %s\n", tool.label, fast.failure.c_str());
      status = 1;
      continue;
    }
    std::printf("%-11s %7zu | %10.0f %8.0f %8.0f %5.1f%% |", tool.label, fast.blockUs.size(),
                Percentile(fast.blockUs, 0.5), Percentile(fast.blockUs, 0.9),
                Percentile(fast.blockUs, 1.0), 100.0 * fast.cpuS / fast.wallS);
    if (skipPaced) {
      std::printf("\n");
      continue;
    }
    std::fflush(stdout);
    const RunResult paced = Run(tool, image, baud, devDir);
    if (!paced.ok) {
      std::printf(" paced run failed: %s\n", paced.failure.c_str());
      status = 1;
      continue;
    }
    const double throughput = static_cast<double>(image.size()) / paced.wallS;
    const double bound = baud / 10.0 * tool.blockSize / tool.wireBytesPerBlock;
    std::printf(" %10.0f %10.0f %6.1f%% %5.1f%%\n", throughput, bound, 100.0 * throughput / bound,
                100.0 * paced.cpuS / paced.wallS);
  }
  std::error_code ec;
  std::filesystem::remove_all(devDir, ec);
  return status;
}
