#pragma once
// Runs the built varnok-cli as a child process and collects its output.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace varnok::test {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
  std::vector<std::string> OutLines() const { return Lines(out); }
  std::vector<std::string> ErrLines() const { return Lines(err); }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

inline std::string CliPath() {
  const char* bin = std::getenv("VARNOK_BIN_DIR");
  if (bin) return std::string(bin) + "/varnok-cli";
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
  return path.substr(0, path.find_last_of('/') + 1) + "varnok-cli";
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Where a child's standard streams go instead of the usual files.
struct CliIo {
  std::string out;        // standard output to this path (e.g. /dev/full); empty: cli.out
  bool closeIn = false;   // start with descriptor 0 closed
  bool closeErr = false;  // start with descriptor 2 closed
};

// A varnok-cli child with standard output and error in files of `folder`.
class CliProcess {
 public:
  // `runAs`: a user id the child takes before it runs the program (root
  // only); -1 keeps the own.
  CliProcess(const std::vector<std::string>& args, const std::string& folder, int runAs = -1,
             const CliIo& io = {})
      : outPath_(folder + "/cli.out"), errPath_(folder + "/cli.err") {
    // What an earlier child wrote must not pass for this one's output.
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
    pid_ = fork();
    if (pid_ == 0) {
      const int out = open(io.out.empty() ? outPath_.c_str() : io.out.c_str(),
                           O_CREAT | O_TRUNC | O_WRONLY, 0644);
      const int err = open(errPath_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
      const int in = open("/dev/null", O_RDONLY);
      dup2(out, 1);
      dup2(err, 2);
      dup2(in, 0);
      for (const int fd : {out, err, in}) {
        if (fd > 2) close(fd);
      }
      if (io.closeIn) close(0);
      if (io.closeErr) close(2);
      if (runAs >= 0 && (setgroups(0, nullptr) != 0 || setgid(runAs) != 0 || setuid(runAs) != 0))
        _exit(126);
      std::vector<std::string> all{CliPath()};
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (auto& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~CliProcess() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  void Signal(int signal) { kill(pid_, signal); }

  // Waits for the stdout file to contain `text` (up to `ms`).
  bool WaitForOutput(const std::string& text, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
      if (ReadWholeFile(outPath_).find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // As Wait, but a child still running after `ms` is killed (exit code -2).
  CliResult WaitAtMost(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int status = 0;
    while (!reaped_ && std::chrono::steady_clock::now() < until) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    if (!reaped_) {
      kill(pid_, SIGKILL);
      Wait();
      exit_ = -2;
    }
    return Wait();
  }

  CliResult Wait() {
    CliResult result;
    int status = 0;
    if (!reaped_ && waitpid(pid_, &status, 0) == pid_) {
      reaped_ = true;
      exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    result.exitCode = exit_;
    result.out = ReadWholeFile(outPath_);
    result.err = ReadWholeFile(errPath_);
    return result;
  }

 private:
  std::string outPath_, errPath_;
  pid_t pid_ = -1;
  bool reaped_ = false;
  int exit_ = -1;
};

inline CliResult RunCli(const std::vector<std::string>& args, const std::string& folder) {
  CliProcess process(args, folder);
  return process.Wait();
}

}  // namespace varnok::test
