// What varnok-cli tells about ports on Windows: a port held by another
// program, and the registry as the place where tool ports are looked for.
#include <gtest/gtest.h>

#include "cli/CliOptions.h"
#include "cli/platform/PortDiagnosis.h"
#include "cli/platform/PortSource.h"

namespace cli {
namespace {

TEST(PortDiagnosisTest, RefusedPortIsHeldByAnotherProgram) {
  for (const auto failure : {varnok::PortFailure::PermissionDenied, varnok::PortFailure::Busy}) {
    const std::string advice = AdviceForOpenFailure(failure, "COM7");
    EXPECT_EQ(advice.rfind("COM7 is in use by another program", 0), 0u) << advice;
    EXPECT_EQ(advice.find("dialout"), std::string::npos);
  }
  EXPECT_TRUE(AdviceForOpenFailure(varnok::PortFailure::NotFound, "COM7").empty());
}

TEST(PortSourceTest, RegistryIsNamedInsteadOfADeviceFolder) {
  const char key[] = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
  for (const std::string& text : {NoToolPortsText(), PortFamiliesText(), CliHelpText()}) {
    SCOPED_TRACE(text);
    EXPECT_NE(text.find(key), std::string::npos);
    EXPECT_EQ(text.find("ttyACM"), std::string::npos);
    EXPECT_EQ(text.find("VARNOK_DEV_DIR"), std::string::npos);
    EXPECT_EQ(text.find("\\\\.\\"), std::string::npos);
  }
}

}  // namespace
}  // namespace cli
