// What varnok-cli tells about ports on POSIX: the group advice for a port
// the user may not open, and where the tool ports are looked for.
#include <gtest/gtest.h>

#include "cli/CliOptions.h"
#include "cli/platform/PortDiagnosis.h"
#include "cli/platform/PortSource.h"
#include "tests/support/TempDevDir.h"

namespace cli {
namespace {

TEST(PortDiagnosisTest, PermissionAdviceGivesTheGroupCommandAndTheNewLogin) {
  const std::string advice = AdviceForOpenFailure(varnok::PortFailure::PermissionDenied, "/nonexistent/ttyACM0");
  EXPECT_NE(advice.find("sudo usermod -aG dialout $USER"), std::string::npos) << advice;
  EXPECT_NE(advice.find("log in again"), std::string::npos);
  EXPECT_TRUE(AdviceForOpenFailure(varnok::PortFailure::NotFound, "/dev/ttyACM0").empty());
}

TEST(PortSourceTest, DeviceFolderAndFamiliesAreNamed) {
  varnok::test::TempDevDir dir;
  EXPECT_EQ(NoToolPortsText(), "No tool ports found in " + dir.Path() + ".");
  EXPECT_EQ(PortFamiliesText(), "ttyACM*/ttyUSB* in " + dir.Path());
  EXPECT_NE(CliHelpText().find("VARNOK_DEV_DIR  folder scanned for ttyACM*/ttyUSB*"),
            std::string::npos);
}

}  // namespace
}  // namespace cli
