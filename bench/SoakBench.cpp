// varnok-bench-soak: many download runs in one process, through the page
// logic, workflow and device objects that the window and `update --all`
// use, against 4 simulated tools of mixed classes side by side. Every run
// draws a line fault at random from the simulator's fault kinds (or none)
// and is traced; a failure's trace is kept and replayed (strict, fast) to
// the same result. Prints runs, successes, failures by result word, false
// "Update done!" (done, yet the flash differs from the image), replays that
// ended otherwise, and the process's open descriptors and resident memory
// at the start and the end.
//
// Not a test: it takes minutes and its mix is random (--seed).
#include <dirent.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "device/WireTrace.h"
#include "sim/ReplayTool.h"
#include "sim/RunningSimulator.h"
#include "tests/support/PatternBytes.h"
#include "update/ConfigHelper.h"
#include "update/DownloadWorkflow.h"
#include "update/ProductPageLogic.h"
#include "update/RunOutcome.h"
#include "update/UpdateFile.h"

namespace {

using varnok::sim::Bytes;
using varnok::sim::ToolClass;

struct Lane {
  ToolClass simClass;
  const char* simName;
  const char* model;  // DevName in device.xml
  int devType;
  PageKind page;
};

const Lane kLanes[] = {
    {ToolClass::Classic, "QV120", "QV120", 1, PageKind::QV120},
    {ToolClass::New, "PX520|1", "PX520", 8, PageKind::QV120},
    {ToolClass::Programmer, "OMNIX|1", "OMNIX", 12, PageKind::PX110},
    {ToolClass::New, "PX520|1", "PX520", 8, PageKind::QV120},
};

// A fault of the simulator's kinds for a tool of `toolClass`; empty: none.
std::string DrawFault(ToolClass toolClass, std::mt19937& rng) {
  const bool classic = toolClass == ToolClass::Classic;
  const std::vector<std::string> commands =
      classic ? std::vector<std::string>{"C0", "C2", "C1", "C3"}
              : std::vector<std::string>{"2A", "2C", "2D", "15", "1A"};
  const std::string cmd = commands[rng() % commands.size()];
  switch (rng() % 10) {
    case 0: case 1: case 2: return "";
    case 3: return "refuse:" + cmd;
    case 4: return "drop:" + cmd;
    case 5: return "late:" + cmd + ":" + std::to_string(50 + rng() % 400);
    case 6: return "split:" + cmd + ":3";
    case 7: return "corrupt:" + cmd;
    case 8: return "wrong-echo:" + cmd;
    default: return "unplug-after-block:1:" + std::to_string(200 + rng() % 600);
  }
}

struct NullView : IDownloadView {
  void ShowView() override {}
  void SetStatus(const std::string&, bool) override {}
  void SetOkFlag(bool) override {}
  void SetProgressRange(int) override {}
  void SetProgressPos(int) override {}
  void StepProgress() override {}
  void SetButtonCaption(const std::string&) override {}
};

// One update of the tool on `port` as update --all runs it; the result word.
std::string RunUpdate(const Lane& lane, int port, const std::string& file,
                      const std::shared_ptr<varnok::CWireTrace>& trace) {
  CProductPageLogic page(lane.page, lane.devType);
  page.RestrictToPort(port);
  page.SetWireTrace(trace);
  CDownloadWorkflow workflow;
  const PrepareResult prepared = page.PrepareUpdate(page.ChooseUpdatePath(file), file, workflow);
  std::string word;
  if (prepared.step == PrepareStep::NoTool) word = "no-tool";
  if (prepared.step == PrepareStep::ModelMismatch) word = "wrong-tool";
  if (prepared.step == PrepareStep::BadExtension || prepared.step == PrepareStep::WrongFile)
    word = "wrong-file";
  if (word.empty()) {
    NullView view;
    workflow.SetView(&view);
    workflow.Start();
    while (!workflow.WaitForWorker(100)) {
    }
    const DownloadEnd how = workflow.RunHasEnded() ? workflow.EndResult() : DownloadEnd::Stopped;
    if (how == DownloadEnd::Done) workflow.Finish();
    workflow.DetachView();
    word = RunOutcomeWord(how);
  }
  if (trace) trace->End(word);
  return word;
}

int OpenDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n - 3;  // ".", ".." and the listing's own descriptor
}

long ResidentKiB() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 500;
  unsigned seed = 17;
  std::string config;
  int maxReplays = 40;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) runs = std::atoi(argv[++i]);
    else if (arg == "--seed" && i + 1 < argc) seed = static_cast<unsigned>(std::atoi(argv[++i]));
    else if (arg == "--config" && i + 1 < argc) config = argv[++i];
    else if (arg == "--replays" && i + 1 < argc) maxReplays = std::atoi(argv[++i]);
    else {
      std::printf("Usage: varnok-bench-soak [--runs N] [--seed S] [--config device.xml] "
                  "[--replays N]\n");
      return arg == "--help" ? 0 : 2;
    }
  }
  CConfigHelper& helper = CConfigHelper::GetInstance();
  if (!helper.LoadConfig(config.empty() ? helper.GetConfigPath() : config)) {
    std::fprintf(stderr, "cannot read the configuration\n");
    return 2;
  }
  char pattern[] = "/tmp/varnok-soak-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string work = pattern;
  const std::string devDir = work + "/dev";
  std::filesystem::create_directories(devDir);
  std::filesystem::create_directories(work + "/failed");
  setenv("VARNOK_DEV_DIR", devDir.c_str(), 1);

  // One image per lane, written as the lane's update file.
  std::vector<std::string> files;
  std::vector<Bytes> images;
  for (std::size_t k = 0; k < 4; ++k) {
    Bytes image = varnok::test::PatternBytes(4096, static_cast<unsigned>(k + 1));
    Bytes file = image;
    if (kLanes[k].simClass == ToolClass::Classic) {
      file = updatefile::MakeClassicHeader(kLanes[k].model);
      file.insert(file.end(), image.begin(), image.end());
    } else if (kLanes[k].simClass == ToolClass::New) {
      const Bytes list = updatefile::MakeModelList(kLanes[k].model);
      std::copy(list.begin(), list.end(), image.end() - updatefile::kTrailerSize);
      file = image;
    }
    images.push_back(image);
    files.push_back(work + "/lane" + std::to_string(k) + ".bin");
    std::FILE* f = std::fopen(files.back().c_str(), "wb");
    if (f == nullptr || std::fwrite(file.data(), 1, file.size(), f) != file.size()) return 1;
    std::fclose(f);
  }

  const int fdStart = OpenDescriptors();
  const long rssStart = ResidentKiB();
  std::mutex lock;
  std::map<std::string, int> byResult;
  int falseDone = 0;
  std::vector<std::pair<std::size_t, std::pair<std::string, std::string>>> failures;  // lane, trace, word
  std::atomic<int> next{0};
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < 4; ++k) {
    threads.emplace_back([&, k] {
      std::mt19937 rng(seed * 31 + static_cast<unsigned>(k));
      const Lane& lane = kLanes[k];
      for (int run = next++; run < runs; run = next++) {
        varnok::sim::SimOptions options;
        options.toolClass = lane.simClass;
        options.name = lane.simName;
        options.linkName = "ttyACM" + std::to_string(k);
        options.devDir = devDir;
        const std::string fault = DrawFault(lane.simClass, rng);
        std::string error;
        if (!fault.empty()) options.faults.Add(fault, &error);
        const std::string tracePath = work + "/run" + std::to_string(run) + ".jsonl";
        std::string word;
        Bytes flash;
        {
          varnok::sim::RunningSimulator tool(options);
          word = RunUpdate(lane, static_cast<int>(k) + 1, files[k],
                           varnok::CWireTrace::Create(tracePath, {"varnok-bench-soak", "",
                                                                  lane.model,
                                                                  varnok::TraceClassName(
                                                                      static_cast<int>(lane.simClass))},
                                                      nullptr));
          flash = tool.FlashImage();
        }
        std::lock_guard<std::mutex> guard(lock);
        ++byResult[word];
        if (word == "done") {
          if (flash != images[k]) ++falseDone;
          std::filesystem::remove(tracePath);
        } else {
          const std::string kept = work + "/failed/run" + std::to_string(run) + ".jsonl";
          std::filesystem::rename(tracePath, kept);
          failures.push_back({k, {kept, word}});
        }
      }
    });
  }
  for (std::thread& t : threads) t.join();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

  // Every kept failure (up to --replays) replayed strictly: the same result.
  int replayed = 0, sameResult = 0;
  for (const auto& failure : failures) {
    if (replayed >= maxReplays) break;
    const std::size_t k = failure.first;
    varnok::sim::SimOptions options;
    options.linkName = "ttyACM" + std::to_string(k);
    options.devDir = devDir;
    options.replayFile = failure.second.first;
    options.replayFast = false;
    varnok::sim::ReplayTool replay(options, nullptr);
    std::string error;
    if (!replay.Start(&error)) continue;
    std::thread player([&replay] { replay.Run(); });
    const std::string word = RunUpdate(kLanes[k], static_cast<int>(k) + 1, files[k], nullptr);
    replay.RequestStop();
    player.join();
    ++replayed;
    if (word == failure.second.second) sameResult++;
    else std::printf("  replay of %s ended %s, recorded %s\n", failure.second.first.c_str(),
                     word.c_str(), failure.second.second.c_str());
  }

  int done = 0;
  std::printf("Soak: %d runs in %.0f s on 4 tools (classic, new, programmer, new)\n", runs, seconds);
  for (const auto& r : byResult) {
    std::printf("  %-22s %d\n", r.first.c_str(), r.second);
    if (r.first == "done") done = r.second;
  }
  std::printf("successes %d, failures %d, false \"Update done!\" %d\n", done, runs - done, falseDone);
  std::printf("failure traces kept %zu (in %s/failed), replayed %d, same result %d\n",
              failures.size(), work.c_str(), replayed, sameResult);
  std::printf("open descriptors %d at start, %d at end; resident memory %ld KiB at start, "
              "%ld KiB at end\n",
              fdStart, OpenDescriptors(), rssStart, ResidentKiB());
  return falseDone == 0 ? 0 : 1;
}
