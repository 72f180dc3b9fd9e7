// Windows port names and the registry scan, over the real SERIALCOMM key of
// the machine (under Wine: the test prefix's own registry). The values the
// tests write are removed again; the scan rows run in one test so that no
// two test processes share the key at the same time.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "device/PortNames.h"
#include "device/SearchUsbPort.h"
#include "tests/support/SerialCommKey_win.h"

using varnok::PortDevicePath;
using varnok::PortDisplayName;
using varnok::PortNumberFromName;
using varnok::ScanUsbSerialPorts;

namespace {

TEST(PortNames, ComNumbersRoundTripThroughTheDeviceNamespace) {
  for (int port : {1, 9, 10, 200, 256}) {
    SCOPED_TRACE(port);
    EXPECT_EQ(PortDisplayName(port), "COM" + std::to_string(port));
    EXPECT_EQ(PortDevicePath(port), "\\\\.\\COM" + std::to_string(port));
    EXPECT_EQ(PortNumberFromName(PortDevicePath(port)), port);
  }
  EXPECT_EQ(PortNumberFromName("com7"), 7);
  for (const char* name : {"COM", "COM0", "COM07", "LPT1", "COM1x", "ttyACM0"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(PortNumberFromName(name), -1);
  }
  for (int port : {0, -1}) EXPECT_TRUE(PortDevicePath(port).empty());
}

using varnok::test::SerialCommKey;
using Values = SerialCommKey::Values;

TEST(PortDiscovery, RegistryValuesGiveThePortsInValueOrder) {
  SerialCommKey key;
  ASSERT_TRUE(key.Open());
  const std::string longText = "COM11" + std::string(60, ' ');
  const struct Row {
    const char* what;
    Values values;
    std::vector<int> all;      // CSearchUsbPort and the framed tools
    std::vector<int> classic;  // the classic tool: USBSER only
  } rows[] = {
      {"both families", {{"\\Device\\USBSER000", "COM3"}, {"\\Device\\VCP0", "COM12"}}, {3, 12}, {3}},
      {"value order, not port order",
       {{"\\Device\\USBSER001", "COM4"}, {"\\Device\\USBSER000", "COM9"}}, {9, 4}, {9, 4}},
      {"gaps", {{"\\Device\\USBSER000", "COM5"}, {"\\Device\\USBSER002", "COM10"}}, {5, 10}, {5, 10}},
      {"VCP only for the framed scans", {{"\\Device\\VCP3", "COM8"}}, {8}, {}},
      {"beyond the ranges",
       {{"\\Device\\USBSER200", "COM6"}, {"\\Device\\VCP20", "COM7"}, {"\\Device\\USBSER199", "COM2"},
        {"\\Device\\VCP19", "COM21"}},
       {2, 21}, {2}},
      {"long value after a short one",
       {{"\\Device\\USBSER000", "COM4"}, {"\\Device\\USBSER001", longText}}, {4, 11}, {4, 11}},
      {"text that names no port", {{"\\Device\\USBSER000", "COM"}, {"\\Device\\USBSER001", "COM0"}}, {}, {}},
      {"nothing", {}, {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    key.Set(row.values);
    std::vector<int> ports = {99};  // every scan starts from an empty list
    EXPECT_EQ(ScanUsbSerialPorts(ports, true), static_cast<int>(row.all.size()));
    EXPECT_EQ(ports, row.all);
    EXPECT_EQ(CSearchUsbPort().SearchPorts(ports), static_cast<int>(row.all.size()));
    EXPECT_EQ(ports, row.all);
    EXPECT_EQ(ScanUsbSerialPorts(ports, false), static_cast<int>(row.classic.size()));
    EXPECT_EQ(ports, row.classic);
  }
}

}  // namespace
