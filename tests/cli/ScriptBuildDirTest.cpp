// The scripts take their build folders (BUILD_DIR, WIN_BUILD_DIR, FUZZ_DIR,
// the installer's argument) absolute or relative to the source folder: a
// relative one is put under the source folder, an absolute one is kept.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

std::string Resolved(const std::string& dir) {
  return Run("cd '" VARNOK_SOURCE_DIR "' && root=/src bash -c '. scripts/build-dir.sh && "
             "varnok_build_dir \"$0\"' '" + dir + "'");
}

TEST(ScriptBuildDirTest, AnAbsoluteFolderStaysAndARelativeOneLandsUnderTheSourceFolder) {
  EXPECT_EQ(Resolved("/abs/build"), "/abs/build\n");
  EXPECT_EQ(Resolved("build"), "/src/build\n");
  EXPECT_EQ(Resolved("out/win"), "/src/out/win\n");
}

TEST(ScriptBuildDirTest, NoScriptPutsTheSourceFolderInFrontOfAFolderItWasGiven) {
  for (const char* script :
       {"scripts/test-windows", "scripts/test-packages", "scripts/replay-traces",
        "scripts/record-traces", "scripts/demo", "scripts/fuzz", "scripts/test-windows-installer",
        "bench/cli_update.sh", "bench/cli_update_all.sh"}) {
    std::ifstream in(std::string(VARNOK_SOURCE_DIR "/") + script);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    ASSERT_FALSE(s.empty()) << script;
    EXPECT_NE(s.find(". scripts/build-dir.sh"), std::string::npos) << script;
    for (const char* joined : {"$PWD/$BUILD_DIR", "$root/${BUILD_DIR", "$root/${WIN_BUILD_DIR"})
      EXPECT_EQ(s.find(joined), std::string::npos) << script << ": " << joined;
  }
}

}  // namespace
