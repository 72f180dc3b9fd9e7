#pragma once
// Shared pieces of the update tests: files in a temporary folder, images in
// the layouts of the tool classes, a recording download view, the options of
// a simulated tool and the configuration under test.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "device/FilePath.h"
#include "sim/SimOptions.h"
#include "tests/support/TempDevDir.h"
#include "tests/support/TempFolder.h"
#include "update/ConfigHelper.h"
#include "update/DownloadView.h"
#include "update/ModuleDir.h"
#include "update/UpdateFile.h"
#include "tests/support/PatternBytes.h"

namespace varnok::test {

using Bytes = std::vector<std::uint8_t>;

// A deterministic image; neighbouring blocks differ.
inline Bytes PatternImage(std::size_t size, unsigned seed = 7) {
  return varnok::test::PatternBytes(size, seed);
}

inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A classic tool file: the complemented name, then the image.
inline Bytes ClassicFile(const std::string& name, const Bytes& image) {
  return Concat(updatefile::MakeClassicHeader(name), image);
}

// A new-tool / DevType 13 file of `size` bytes (>= 64) whose trailer lists
// `models`; the whole file is the image.
inline Bytes TrailerFile(const std::string& models, std::size_t size, unsigned seed = 7) {
  Bytes file = PatternImage(size, seed);
  const Bytes list = updatefile::MakeModelList(models);
  std::copy(list.begin(), list.end(), file.end() - updatefile::kTrailerSize);
  return file;
}

// A folder of its own for the files of one test.
class TempFolder {
 public:
  TempFolder() : path_(MakeTempFolder("varnok-upd-")) {}
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);  // left behind on failure; nothing else to do
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }

  // Writes `bytes` to `relative` (folders created); returns the full path.
  std::string Write(const std::string& relative, const Bytes& bytes) const {
    const std::string full = path_ + "/" + relative;
    std::error_code ec;
    std::filesystem::create_directories(FilePath(full).parent_path(), ec);
    EXPECT_FALSE(ec) << ec.message();
    std::ofstream out(FilePath(full), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return full;
  }
  std::string WriteText(const std::string& relative, const std::string& text) const {
    return Write(relative, Bytes(text.begin(), text.end()));
  }

 private:
  std::string path_;
};

// Records everything the workflow shows.
class RecordingView : public IDownloadView {
 public:
  struct Status {
    std::string text;
    bool ok;
  };

  void ShowView() override { Lock l(m_); ++shows; }
  void SetStatus(const std::string& text, bool ok) override {
    Lock l(m_);
    statuses.push_back({text, ok});
  }
  void SetOkFlag(bool ok) override { Lock l(m_); okFlags.push_back(ok); }
  void SetProgressRange(int count) override { Lock l(m_); ranges.push_back(count); }
  void SetProgressPos(int pos) override { Lock l(m_); positions.push_back(pos); }
  void StepProgress() override { Lock l(m_); ++steps; }
  void SetButtonCaption(const std::string& caption) override { Lock l(m_); captions.push_back(caption); }
  void BytesWritten(std::int64_t done, std::int64_t total) override {
    Lock l(m_);
    bytesDone = done;
    bytesTotal = total;
    ++blockReports;
    cv_.notify_all();
  }
  void Trace(const std::string& line) override { Lock l(m_); traces.push_back(line); }
  void RunEnded(DownloadEnd how) override {
    Lock l(m_);
    endedAtMs = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                               std::chrono::steady_clock::now().time_since_epoch())
                                               .count());
    ended = true;
    end = how;
    cv_.notify_all();
  }

  bool WaitEnded(int ms) {
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, std::chrono::milliseconds(ms), [this] { return ended; });
  }
  bool WaitBlocks(int count, int ms) {
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, std::chrono::milliseconds(ms), [&] { return blockReports >= count || ended; });
  }
  std::vector<std::string> Texts() const {
    Lock l(m_);
    std::vector<std::string> texts;
    for (const auto& s : statuses) texts.push_back(s.text);
    return texts;
  }
  bool Showed(const std::string& text) const {
    for (const auto& t : Texts()) {
      if (t == text) return true;
    }
    return false;
  }
  Status LastStatus() const {
    Lock l(m_);
    return statuses.empty() ? Status{"", true} : statuses.back();
  }

  // Read only after the run ended (or under no concurrency).
  int shows = 0;
  std::vector<Status> statuses;
  std::vector<bool> okFlags;
  std::vector<int> ranges;
  std::vector<int> positions;
  int steps = 0;
  std::vector<std::string> captions;
  std::int64_t bytesDone = 0;
  std::int64_t bytesTotal = 0;
  int blockReports = 0;
  std::vector<std::string> traces;
  bool ended = false;
  // When the run ended, on the simulated tool's clock (steady, in ms).
  std::uint64_t endedAtMs = 0;
  DownloadEnd end = DownloadEnd::NotStarted;

 private:
  using Lock = std::lock_guard<std::mutex>;
  mutable std::mutex m_;
  std::condition_variable cv_;
};

// Simulator options for a tool of `toolClass` named `name` in `dir`.
inline sim::SimOptions ToolOptions(const std::string& dir, sim::ToolClass toolClass,
                                   const std::string& name) {
  sim::SimOptions options;
  options.toolClass = toolClass;
  options.name = name;
  options.devDir = dir;
  options.linkName = "ttyACM0";
  return options;
}

// The sample configuration beside the built programs.
inline std::string SampleConfigPath() {
  if (const char* bin = std::getenv("VARNOK_BIN_DIR")) return std::string(bin) + "/device.xml";
  const std::string self = RunningProgramPath();
  return self.substr(0, self.find_last_of("/\\") + 1) + "device.xml";
}

// Fresh configuration state, loaded from `path`.
inline bool UseConfig(const std::string& path) {
  CConfigHelper::ResetForTesting();
  return CConfigHelper::GetInstance().LoadConfig(path);
}

}  // namespace varnok::test
