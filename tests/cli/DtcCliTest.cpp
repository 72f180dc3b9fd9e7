// varnok-cli dtc on a library with awkward lines, and the programs run from
// a `cmake --install` prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/ExitCodes.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/TempDevDir.h"

namespace varnok::test {
namespace {

namespace fs = std::filesystem;

class DtcCliTest : public ::testing::Test {
 protected:
  std::string Library(const std::string& bytes) {
    const std::string path = folder.Path() + "/OBDII.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  CliResult Dtc(std::vector<std::string> args) {
    args.insert(args.begin(), "dtc");
    return RunCli(args, folder.Path());
  }
  TempDevDir folder;
};

TEST_F(DtcCliTest, AwkwardLinesPrintedInFileOrder) {
  // Code alone, a 6-character line, CR LF, a tab separator, a GBK
  // description and a last line without a line end.
  const std::string lib = Library(
      "B1000\r\nB1001 \r\nP0100 Mass Air Flow\r\np0101\tRange\nP0102 \xBF\xD5\nP0103 Last");
  const CliResult r = Dtc({"--library", lib, "b", "P010"});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
  const std::vector<std::string> expected = {"B1000\t", "B1001\t", "P0100\tMass Air Flow",
                                             "p0101\tRange", "P0103\tLast"};
  std::vector<std::string> lines = r.OutLines();
  ASSERT_EQ(lines.size(), 6u) << r.out;
  lines.erase(lines.begin() + 4);  // the legacy-coded line, checked below
  EXPECT_EQ(lines, expected);

  // Not UTF-8: read in the system's legacy code page, printed as UTF-8.
  const struct {
    const char* locale;
    const char* line;
  } systems[] = {{"C", "P0102\t\xC2\xBF\xC3\x95"},       // Windows-1252
                 {"zh_CN.UTF-8", "P0102\t\xE7\xA9\xBA"}};  // GBK
  for (const auto& system : systems) {
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", system.locale, 1);
    const CliResult legacy = Dtc({"--library", lib, "P0102"});
    old ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
    EXPECT_EQ(legacy.out, std::string(system.line) + "\n") << system.locale;
  }
}

TEST_F(DtcCliTest, ExitStatusAndJson) {
  const std::string lib = Library("P0100 Mass \"Air\" Flow\nU0100 Lost");
  CliResult r = Dtc({"--library", lib, "P01", "C0"});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
  EXPECT_NE(r.err.find("C0"), std::string::npos);

  r = RunCli({"--json", "dtc", "--library", lib, "u0"}, folder.Path());
  EXPECT_EQ(r.exitCode, cli::kExitOk);
  EXPECT_EQ(r.out, "{\"event\":\"dtc\",\"code\":\"U0100\",\"description\":\"Lost\"}\n");

  r = Dtc({"--library", folder.Path() + "/none.txt", "P"});
  EXPECT_EQ(r.exitCode, cli::kExitUsage);
  EXPECT_NE(r.err.find("OBDII lib open failure\xEF\xBC\x81"), std::string::npos);

  r = Dtc({});
  EXPECT_EQ(r.exitCode, cli::kExitUsage);
}

TEST_F(DtcCliTest, InstalledProgramsFindTheirFiles) {
  const std::string prefix = folder.Path() + "/prefix";
  const std::string install = std::string("\"" VARNOK_CMAKE_COMMAND "\" --install \"" VARNOK_BUILD_DIR
                                          "\" --prefix \"") + prefix + "\" > \"" + folder.Path() +
                              "/install.log\" 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << ReadWholeFile(folder.Path() + "/install.log");
  const std::string app = prefix + "/lib/varnok";
  for (const char* file : {"varnok-cli", "varnok-toolsim", "device.xml", "DtcLookup/OBDII.txt",
                           "manual/Varnok-User-Guide.html"})
    EXPECT_TRUE(fs::exists(app + "/" + file)) << file;
  for (const char* file : {"bin/varnok-toolsim", "share/applications/varnok.desktop",
                           "share/metainfo/org.varnok.varnok.metainfo.xml",
                           "share/man/man1/varnok-cli.1", "share/man/man1/varnok-toolsim.1",
                           "share/bash-completion/completions/varnok-cli"})
    EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;

  // Started through the link in <prefix>/bin, from another folder.
  const std::string cli = prefix + "/bin/varnok-cli";
  const std::string out = folder.Path() + "/run.out";
  ASSERT_EQ(std::system(("cd / && \"" + cli + "\" models > \"" + out + "\" 2>&1").c_str()), 0)
      << ReadWholeFile(out);
  EXPECT_NE(ReadWholeFile(out).find("QV120"), std::string::npos);
  ASSERT_EQ(std::system(("cd / && \"" + cli + "\" dtc P0100 > \"" + out + "\" 2>&1").c_str()), 0)
      << ReadWholeFile(out);
  EXPECT_EQ(ReadWholeFile(out).rfind("P0100\t", 0), 0u) << ReadWholeFile(out);
}

}  // namespace
}  // namespace varnok::test
