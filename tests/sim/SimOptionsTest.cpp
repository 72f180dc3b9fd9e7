// The command line of varnok-toolsim: fault grammar and options.
#include <gtest/gtest.h>

#include <cctype>

#include "sim/FaultPlan.h"
#include "sim/SimOptions.h"

using varnok::sim::Fault;
using varnok::sim::FaultKind;
using varnok::sim::FaultPlan;
using varnok::sim::ParseResult;
using varnok::sim::ParseSimArgs;
using varnok::sim::SimOptions;
using varnok::sim::ToolClass;

namespace {

struct GoodFault {
  const char* fault;
  FaultKind kind;
  std::uint8_t command;
  unsigned from;
  bool onwards;
  int value;
  int pauseMs;
};

class FaultGrammarTest : public ::testing::TestWithParam<GoodFault> {};

TEST_P(FaultGrammarTest, ParsesEveryField) {
  const GoodFault& want = GetParam();
  FaultPlan plan;
  std::string error;
  ASSERT_TRUE(plan.Add(want.fault, &error)) << error;
  ASSERT_EQ(plan.All().size(), 1u);
  const Fault& f = plan.All()[0];
  EXPECT_EQ(f.kind, want.kind);
  EXPECT_EQ(f.command, want.command);
  EXPECT_EQ(f.from, want.from);
  EXPECT_EQ(f.onwards, want.onwards);
  EXPECT_EQ(f.value, want.value);
  EXPECT_EQ(f.pauseMs, want.pauseMs);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultGrammarTest,
    ::testing::Values(
        GoodFault{"refuse:2A:05", FaultKind::Refuse, 0x2A, 1, true, 5, 0},
        GoodFault{"refuse:0x2a@2:0x81", FaultKind::Refuse, 0x2A, 2, false, 0x81, 0},
        GoodFault{"refuse:C1", FaultKind::Refuse, 0xC1, 1, true, 0, 0},
        GoodFault{"drop:2C@3", FaultKind::Drop, 0x2C, 3, false, 0, 0},
        GoodFault{"drop:2C@3+", FaultKind::Drop, 0x2C, 3, true, 0, 0},
        GoodFault{"late:11@1:1500", FaultKind::Late, 0x11, 1, false, 1500, 0},
        GoodFault{"split:C9:3", FaultKind::Split, 0xC9, 1, true, 3, 50},
        GoodFault{"split:2C@2:7:120", FaultKind::Split, 0x2C, 2, false, 7, 120},
        GoodFault{"corrupt:15:6", FaultKind::Corrupt, 0x15, 1, true, 6, 0},
        GoodFault{"wrong-echo:1A", FaultKind::WrongEcho, 0x1A, 1, true, 0, 0},
        GoodFault{"unplug-after-block:4", FaultKind::UnplugAfterBlock, 0, 1, true, 4, 0},
        GoodFault{"unplug-after-block:2:800", FaultKind::UnplugAfterBlock, 0, 1, true, 2, 800}),
    [](const ::testing::TestParamInfo<GoodFault>& info) {
      std::string name = info.param.fault;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(FaultGrammar, RejectsMalformedFaults) {
  for (const char* fault : {"",
                           "explode:2C",
                           "drop",
                           "drop:2G",
                           "drop:100",
                           "drop:2C@0",
                           "drop:2C@",
                           "drop:2C@x",
                           "drop:2C:5",
                           "late:2C",
                           "late:2C:-1",
                           "split:2C",
                           "split:2C:0",
                           "refuse:2A:5:6",
                           "refuse:2A:100",
                           "corrupt:2C:x",
                           "unplug-after-block",
                           "unplug-after-block:0",
                           "unplug-after-block:2:0",
                           "no-name:1"}) {
    FaultPlan plan;
    std::string error;
    EXPECT_FALSE(plan.Add(fault, &error)) << fault;
    EXPECT_FALSE(error.empty()) << fault;
  }
}

TEST(FaultGrammar, NoNameSilencesBothNameQueries) {
  FaultPlan plan;
  ASSERT_TRUE(plan.Add("no-name", nullptr));
  EXPECT_NE(plan.Find(FaultKind::Drop, 0xC9, 7), nullptr);
  EXPECT_NE(plan.Find(FaultKind::Drop, 0x11, 1), nullptr);
  EXPECT_EQ(plan.Find(FaultKind::Drop, 0x2C, 1), nullptr);
}

TEST(FaultGrammar, SelectorHitsOnlyTheChosenOccurrences) {
  FaultPlan plan;
  ASSERT_TRUE(plan.Add("drop:2C@3", nullptr));
  ASSERT_TRUE(plan.Add("late:2C@5+:10", nullptr));
  EXPECT_EQ(plan.Find(FaultKind::Drop, 0x2C, 2), nullptr);
  EXPECT_NE(plan.Find(FaultKind::Drop, 0x2C, 3), nullptr);
  EXPECT_EQ(plan.Find(FaultKind::Drop, 0x2C, 4), nullptr);
  EXPECT_EQ(plan.Find(FaultKind::Late, 0x2C, 4), nullptr);
  EXPECT_NE(plan.Find(FaultKind::Late, 0x2C, 5), nullptr);
  EXPECT_NE(plan.Find(FaultKind::Late, 0x2C, 500), nullptr);
}

ParseResult Parse(std::vector<const char*> args, SimOptions& o, std::string& error) {
  args.insert(args.begin(), "varnok-toolsim");
  return ParseSimArgs(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(SimOptionsParse, ClassicNameLongerThanFiveBytesIsRefused) {
  SimOptions o;
  std::string error;
  EXPECT_EQ(Parse({"--class", "classic", "--name", "QV1234"}, o, error), ParseResult::Error);
  SimOptions ok;
  EXPECT_EQ(Parse({"--class=classic", "--name=QV12"}, ok, error), ParseResult::Run) << error;
  EXPECT_EQ(ok.toolClass, ToolClass::Classic);
  EXPECT_EQ(ok.ReportedName(false), "QV12");
}

TEST(SimOptionsParse, ValuesFlagsAndFaultsAreTaken) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(Parse({"--class", "programmer", "--pace", "115200", "--block-ms=3", "--fault",
                   "drop:2C@2", "--exit-after-finish", "--partitions",
                   "0x1000,0x2000,0x3000,0x4000,0x5000,0x6000", "--loader-name", "OMNIX-BL"},
                  o, error),
            ParseResult::Run)
      << error;
  EXPECT_EQ(o.paceBaud, 115200u);
  EXPECT_EQ(o.blockMs, 3);
  EXPECT_TRUE(o.exitAfterFinish);
  EXPECT_EQ(o.partitionBases[5], 0x6000u);
  EXPECT_EQ(o.faults.All().size(), 1u);
  EXPECT_EQ(o.ReportedName(true), "OMNIX-BL");
  EXPECT_EQ(o.ReportedName(false), "OMNIX|1");
}

TEST(SimOptionsParse, UnknownOptionsMissingValuesAndBadFaultsFail) {
  for (std::vector<const char*> args : {std::vector<const char*>{"--colour"},
                                        {"--pace"},
                                        {"--pace", "fast"},
                                        {"--fault", "drop:ZZ"},
                                        {"--partitions", "1,2,3"},
                                        {"--verbose=yes"},
                                        {"--class", "modem"}}) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(Parse(args, o, error), ParseResult::Error) << args[0];
    EXPECT_FALSE(error.empty());
  }
  SimOptions o;
  std::string error;
  EXPECT_EQ(Parse({"--pace", "9600", "--help"}, o, error), ParseResult::Help);
}

}  // namespace
