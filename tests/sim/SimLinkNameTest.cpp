// The simulator's --port names the POSIX link families (ttyACM / ttyUSB).
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sim/SimOptions.h"

using varnok::sim::ParseResult;
using varnok::sim::ParseSimArgs;
using varnok::sim::SimOptions;

namespace {

ParseResult Parse(std::vector<const char*> args, SimOptions& o, std::string& error) {
  args.insert(args.begin(), "varnok-toolsim");
  return ParseSimArgs(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(SimOptionsParse, PortNumbersMapToTheirDeviceNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"1", "ttyACM0"},    {"4", "ttyACM3"},       {"200", "ttyACM199"},  {"201", "ttyUSB0"},
      {"220", "ttyUSB19"}, {"ttyACM7", "ttyACM7"}, {"ttyUSB2", "ttyUSB2"}};
  for (const auto& [arg, name] : cases) {
    SimOptions o;
    std::string error;
    ASSERT_EQ(Parse({"--port", arg}, o, error), ParseResult::Run) << arg << ": " << error;
    EXPECT_EQ(o.linkName, name) << arg;
  }
  for (const char* bad : {"0", "221", "ttyS0", "ttyACM200", "../ttyACM0", "COM3"}) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(Parse({"--port", bad}, o, error), ParseResult::Error) << bad;
  }
}

}  // namespace
