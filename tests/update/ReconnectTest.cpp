// A tool that drops off the line during the block loop and comes back: the
// framed classes reopen the lost port by themselves and finish the update.
#include <gtest/gtest.h>

#include "tests/update/DownloadRunTestSupport.h"
#include "update/StatusTexts.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

struct ReplugCase {
  const char* label;
  ToolClass toolClass;
  DeviceEntry entry;
  const char* toolName;
  int selector;
  Bytes image;
};

void PrintTo(const ReplugCase& c, std::ostream* os) { *os << c.label; }

class ReconnectTest : public SimulatedRunTest, public ::testing::WithParamInterface<ReplugCase> {
 protected:
  DownloadEnd RunWithFault(const std::string& fault, RecordingView& view) {
    const ReplugCase& c = GetParam();
    StartTool(WithFault(Tool(c.toolClass, c.toolName), fault));
    return Run(c.entry, c.selector, folder.Write("f.bin", c.image), view, 60000);
  }
};

TEST_P(ReconnectTest, ToolBackAfterHalfASecondFinishesTheUpdate) {
  RecordingView view;
  EXPECT_EQ(RunWithFault("unplug-after-block:3:500", view), DownloadEnd::Done)
      << view.LastStatus().text;
  EXPECT_TRUE(view.Showed(text::kUpdateDone));
  EXPECT_EQ(Flash(), GetParam().image);
}

TEST_P(ReconnectTest, ToolGoneForGoodStillFails) {
  RecordingView view;
  EXPECT_EQ(RunWithFault("unplug-after-block:3", view), DownloadEnd::FailedAfterErase);
  EXPECT_EQ(view.LastStatus().text, text::kCommFailure);
  EXPECT_FALSE(view.Showed(text::kUpdateDone));
}

INSTANTIATE_TEST_SUITE_P(
    FramedClasses, ReconnectTest,
    ::testing::Values(ReplugCase{"new", ToolClass::New, MakeEntry(8, "PX520", 1), "PX520|1", 0,
                                 TrailerFile("PX520", 6 * 2048 + 77)},
                      ReplugCase{"programmer", ToolClass::Programmer, MakeEntry(12, "OMNIX", 2),
                                 "OMNIX|1", 2, PatternImage(8 * 128 + 5)}),
    [](const ::testing::TestParamInfo<ReplugCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace varnok::test
