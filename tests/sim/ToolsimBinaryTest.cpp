// The varnok-toolsim program itself: its command line, files, signals and
// data mode, run as a child process as scripts and the demo run it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "device/Clock.h"
#include "device/ProductFactory.h"
#include "sim/ToolSimulator.h"
#include "tests/sim/SimTestSupport.h"
#include "tests/support/TempDevDir.h"

extern char** environ;

namespace varnok::sim::test {
namespace {

using varnok::test::TempDevDir;

std::string ToolsimPath() {
  const char* dir = std::getenv("VARNOK_BIN_DIR");
  return std::string(dir != nullptr ? dir : ".") + "/varnok-toolsim";
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// A varnok-toolsim child; stdout and stderr go to files.
class Toolsim {
 public:
  Toolsim(const TempDevDir& dir, std::vector<std::string> args)
      : out_(dir.PathOf("toolsim.out")), err_(dir.PathOf("toolsim.err")) {
    args.insert(args.begin(), ToolsimPath());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }

  ~Toolsim() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // The exit status, or -1 when it did not end within `timeoutMs`.
  int Wait(int timeoutMs) {
    for (int waited = 0; status_ < 0 && pid_ > 0; waited += 5) {
      int raw = 0;
      if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        break;
      }
      if (waited >= timeoutMs) return -1;
      varnok::SleepMs(5);
    }
    return status_;
  }

  void Signal(int sig) const { ::kill(pid_, sig); }
  std::string Out() const { return ReadText(out_); }
  std::string Err() const { return ReadText(err_); }
  bool Started() const { return pid_ > 0; }

 private:
  std::string out_;
  std::string err_;
  pid_t pid_ = -1;
  int status_ = -1;
};

bool WaitForFile(const std::string& path, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 5) {
    if (Exists(path)) return true;
    varnok::SleepMs(5);
  }
  return false;
}

class ToolsimBinaryTest : public ::testing::Test {
 protected:
  std::string Ready() const { return dir.PathOf("ready"); }
  TempDevDir dir;
};

TEST_F(ToolsimBinaryTest, HelpDocumentsEveryOption) {
  Toolsim sim(dir, {"--help"});
  ASSERT_TRUE(sim.Started());
  ASSERT_EQ(sim.Wait(5000), 0);
  const std::string help = sim.Out();
  for (const char* option : {"--class",
                             "--name",
                             "--loader-name",
                             "--start-in",
                             "--partitions",
                             "--region-size",
                             "--id-strings",
                             "--device-info",
                             "--port",
                             "--dev-dir",
                             "--pace",
                             "--block-ms",
                             "--erase-ms",
                             "--reboot-ms",
                             "--restart-ms",
                             "--sync-window-ms",
                             "--flash-out",
                             "--ready-file",
                             "--exit-after-finish",
                             "--verbose",
                             "--help",
                             "--fault",
                             "no-name",
                             "refuse:",
                             "drop:",
                             "late:",
                             "split:",
                             "corrupt:",
                             "wrong-echo:",
                             "unplug-after-block:",
                             "--data-file",
                             "--data-baud",
                             "--data-loop",
                             "--data-raw"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST_F(ToolsimBinaryTest, BadFaultSpecEndsWithUsageStatusAndNoLink) {
  Toolsim sim(dir, {"--dev-dir", dir.Path(), "--fault", "drop:2C@0"});
  EXPECT_EQ(sim.Wait(5000), 2);
  EXPECT_NE(sim.Err().find("drop:2C@0"), std::string::npos);
  EXPECT_TRUE(sim.Out().empty());
  EXPECT_FALSE(Exists(dir.PathOf("ttyACM0")));
}

TEST_F(ToolsimBinaryTest, ExistingDeviceFileIsNotReplaced) {
  dir.WriteFile("ttyACM0", "a real device");
  Toolsim sim(dir, {"--dev-dir", dir.Path()});
  EXPECT_EQ(sim.Wait(5000), 1);
  EXPECT_EQ(ReadText(dir.PathOf("ttyACM0")), "a real device");
}

TEST_F(ToolsimBinaryTest, StaleLinkOfAnEarlierRunIsReplaced) {
  dir.Link("ttyUSB0", "/dev/pts/does-not-exist");
  Toolsim sim(dir, {"--dev-dir", dir.Path(), "--port", "201", "--ready-file", Ready()});
  ASSERT_TRUE(WaitForFile(Ready(), 5000));
  EXPECT_EQ(ReadText(Ready()), dir.PathOf("ttyUSB0") + "\n");
  sim.Signal(SIGINT);
  EXPECT_EQ(sim.Wait(5000), 0);
  EXPECT_FALSE(Exists(dir.PathOf("ttyUSB0")));
}

TEST_F(ToolsimBinaryTest, SigtermRemovesTheLinkAndWritesTheFlashFile) {
  Toolsim sim(dir, {"--dev-dir", dir.Path(), "--ready-file", Ready(), "--flash-out",
                    dir.PathOf("flash.bin")});
  ASSERT_TRUE(WaitForFile(Ready(), 5000));
  ASSERT_TRUE(Exists(dir.PathOf("ttyACM0")));
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(5000), 0);
  EXPECT_FALSE(Exists(dir.PathOf("ttyACM0")));
  EXPECT_TRUE(Exists(dir.PathOf("flash.bin")));
  EXPECT_TRUE(ReadText(dir.PathOf("flash.bin")).empty());
  EXPECT_TRUE(sim.Out().empty()) << "no protocol noise without --verbose";
}

TEST_F(ToolsimBinaryTest, ClassicUpdateEndsTheProgramWithTheImageInTheFlashFile) {
  const Bytes image = MakeImage(2048 * 2 + 9, 21);
  Toolsim sim(
      dir, {"--class", "classic", "--name", "QV12", "--dev-dir", dir.Path(), "--ready-file",
            Ready(), "--flash-out", dir.PathOf("flash.bin"), "--exit-after-finish", "--verbose"});
  ASSERT_TRUE(WaitForFile(Ready(), 5000));
  CProductFactory factory;
  auto dev = factory.Create(kToolClassic);
  dev->partition = 0;
  dev->SetDeviceType(1);
  ASSERT_EQ(dev->OpenDevice("QV12"), 0);
  std::uint8_t name[kDeviceNameBufferSize] = {};
  ASSERT_TRUE(dev->ReadDeviceName(name));
  EXPECT_STREQ(reinterpret_cast<const char*>(name), "QV12");
  ASSERT_EQ(dev->EnterUpdateMode(), 1);
  ASSERT_EQ(dev->EraseFlash(), 1);
  for (int i = 0, off = 0; off < static_cast<int>(image.size()); ++i, off += 2048)
    ASSERT_EQ(
        dev->WriteBlock(image.data(), std::min(2048, static_cast<int>(image.size()) - off), off, i),
        0);
  EXPECT_TRUE(dev->FinishUpdate());
  dev->ClosePort();
  ASSERT_EQ(sim.Wait(5000), 0) << sim.Err();
  EXPECT_FALSE(Exists(dir.PathOf("ttyACM0")));
  const std::string flash = ReadText(dir.PathOf("flash.bin"));
  EXPECT_EQ(Bytes(flash.begin(), flash.end()), image);
  EXPECT_NE(sim.Out().find("request C1"), std::string::npos) << "--verbose traces requests";
}

TEST_F(ToolsimBinaryTest, DataModeSendsTheFileLinesOnceThePortIsOpened) {
  std::ofstream(dir.PathOf("capture.txt")) << "P0420 catalyst\nP0171 lean\r\nend\n";
  Toolsim sim(dir, {"--dev-dir", dir.Path(), "--ready-file", Ready(), "--data-file",
                    dir.PathOf("capture.txt"), "--exit-after-finish"});
  ASSERT_TRUE(WaitForFile(Ready(), 5000));
  varnok::SleepMs(100);  // lines sent before the open would be waiting now
  const int fd = ::open(dir.PathOf("ttyACM0").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  pollfd p{fd, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 50), 0) << "nothing before the port is opened";
  std::string got;
  const std::string want = "P0420 catalyst\r\nP0171 lean\r\nend\r\n";
  for (int waited = 0; got.size() < want.size() && waited < 3000; waited += 10) {
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
      got.append(buffer, static_cast<std::size_t>(n));
    else
      varnok::SleepMs(10);
  }
  ::close(fd);
  EXPECT_EQ(got, want);
  EXPECT_EQ(sim.Wait(5000), 0);
}

// An updater that opens the port as soon as the line is up (before the
// serving loop has begun) still gets the data.
TEST_F(ToolsimBinaryTest, DataModeServesAnOpenMadeRightAfterTheLineCameUp) {
  std::ofstream(dir.PathOf("capture.txt")) << "T=25\n";
  SimOptions options;
  options.devDir = dir.Path();
  options.linkName = "ttyACM0";
  options.dataFile = dir.PathOf("capture.txt");
  options.exitAfterFinish = true;
  ToolSimulator sim(options);
  std::string error;
  ASSERT_TRUE(sim.Start(&error)) << error;
  const int fd = ::open(dir.PathOf("ttyACM0").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  std::thread serve([&sim] { sim.Run(); });
  std::string got;
  for (int waited = 0; got.size() < 6 && waited < 20000; waited += 10) {
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
      got.append(buffer, static_cast<std::size_t>(n));
    else
      varnok::SleepMs(10);
  }
  sim.RequestStop();
  serve.join();
  ::close(fd);
  EXPECT_EQ(got, "T=25\r\n");
}

}  // namespace
}  // namespace varnok::sim::test
