// Port numbering and discovery over a temporary device folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/PortNames.h"
#include "device/SearchUsbPort.h"
#include "tests/support/TempDevDir.h"

using varnok::PortDevicePath;
using varnok::PortNumberFromName;
using varnok::ScanUsbSerialPorts;
using varnok::test::TempDevDir;

namespace {

TEST(PortNames, FamiliesNeverShareANumberAndRoundTrip) {
  TempDevDir dir;
  struct Row {
    const char* name;
    int port;
  } const table[] = {
      {"ttyACM0", 1}, {"ttyACM9", 10}, {"ttyACM199", 200}, {"ttyUSB0", 201}, {"ttyUSB19", 220},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(PortNumberFromName(row.name), row.port);
    EXPECT_EQ(PortDevicePath(row.port), dir.PathOf(row.name));
    EXPECT_EQ(PortNumberFromName(PortDevicePath(row.port)), row.port);
  }
}

TEST(PortNames, NamesOutsideTheRangesHaveNoNumber) {
  for (const char* name : {"ttyACM200", "ttyUSB20", "ttyACM", "ttyACM01", "ttyS0", "ttyACM-1"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(PortNumberFromName(name), -1);
  }
  for (int port : {0, -1, 221, 1000}) EXPECT_TRUE(PortDevicePath(port).empty());
}

TEST(PortNames, DefaultFolderIsDev) {
  TempDevDir dir;
  unsetenv("VARNOK_DEV_DIR");
  EXPECT_EQ(varnok::PortDeviceDir(), "/dev");
  EXPECT_EQ(PortDevicePath(1), "/dev/ttyACM0");
}

class PortDiscoveryTest : public ::testing::Test {
 protected:
  TempDevDir dir;
  std::vector<int> ports;
};

TEST_F(PortDiscoveryTest, UsbSerFamilyComesBeforeVcp) {
  dir.WriteFile("ttyUSB0");
  dir.WriteFile("ttyACM2");
  EXPECT_EQ(CSearchUsbPort().SearchPorts(ports), 2);
  EXPECT_EQ(ports, (std::vector<int>{3, 201}));
}

TEST_F(PortDiscoveryTest, OrderFollowsTheDeviceIndexNotTheCreationOrder) {
  dir.WriteFile("ttyACM4");
  dir.WriteFile("ttyACM1");
  dir.WriteFile("ttyACM199");
  EXPECT_EQ(CSearchUsbPort().SearchPorts(ports), 3);
  EXPECT_EQ(ports, (std::vector<int>{2, 5, 200}));
}

TEST_F(PortDiscoveryTest, IndexesBeyondTheRangesAreNeverFound) {
  dir.WriteFile("ttyACM200");
  dir.WriteFile("ttyUSB20");
  dir.WriteFile("ttyS0");
  EXPECT_EQ(CSearchUsbPort().SearchPorts(ports), 0);
  EXPECT_TRUE(ports.empty());
}

TEST_F(PortDiscoveryTest, ClassicScanSkipsTheVcpFamily) {
  dir.WriteFile("ttyUSB3");
  EXPECT_EQ(ScanUsbSerialPorts(ports, false), 0);
  EXPECT_EQ(ScanUsbSerialPorts(ports, true), 1);
  EXPECT_EQ(ports, std::vector<int>{204});
}

TEST_F(PortDiscoveryTest, EveryScanStartsFromAnEmptyList) {
  ports = {99, 98};
  EXPECT_EQ(CSearchUsbPort().SearchPorts(ports), 0);
  EXPECT_TRUE(ports.empty());
}

TEST_F(PortDiscoveryTest, LinkLeftByAVanishedDeviceIsNotAPort) {
  dir.Link("ttyACM0", "/nonexistent/pts/77");
  dir.Link("ttyACM1", "/dev/null");
  EXPECT_EQ(CSearchUsbPort().SearchPorts(ports), 1);
  EXPECT_EQ(ports, std::vector<int>{2});
}

}  // namespace
