// Injected tool faults per class: whatever happens, "Update done!" appears
// only when the tool's flash holds the image, and a run that is not done
// ends red or stopped, never silently green.
#include <gtest/gtest.h>

#include "tests/update/DownloadRunTestSupport.h"
#include "update/StatusTexts.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

struct FaultCase {
  const char* label;
  ToolClass toolClass;
  const char* fault;
  // The red text of the step that failed; null: any red text.
  const char* failure = nullptr;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.label << " " << c.fault; }

class FaultMatrixTest : public SimulatedRunTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultMatrixTest, UpdateDoneOnlyWhenTheFlashHoldsTheImage) {
  const FaultCase& c = GetParam();
  DeviceEntry entry;
  Bytes file, image;
  std::string name;
  switch (c.toolClass) {
    case ToolClass::Classic:
      entry = MakeEntry(1, "QV120", 0);
      name = "QV120";
      image = PatternImage(5 * 2048 + 77);
      file = ClassicFile("QV120", image);
      break;
    case ToolClass::New:
      entry = MakeEntry(8, "PX520", 1);
      name = "PX520|1";
      file = image = TrailerFile("PX520", 5 * 2048 + 77);
      break;
    case ToolClass::Programmer:
      entry = MakeEntry(12, "OMNIX", 2);
      name = "OMNIX|1";
      file = image = PatternImage(9 * 128 + 5);
      break;
  }
  StartTool(WithFault(Tool(c.toolClass, name), c.fault));
  RecordingView view;
  const DownloadEnd end = Run(entry, c.toolClass == ToolClass::Programmer ? 2 : 0,
                              folder.Write("f.bin", file), view, 60000);
  const Bytes flash = Flash();
  const bool done = view.Showed(text::kUpdateDone);
  EXPECT_EQ(done, end == DownloadEnd::Done);
  EXPECT_EQ(done, view.captions == std::vector<std::string>{"ok"});
  if (done) {
    EXPECT_EQ(flash, image) << "Update done! over a flash that differs from the image";
    EXPECT_EQ(view.LastStatus().text, text::kUpdateDone);
  } else {
    EXPECT_FALSE(view.LastStatus().ok) << view.LastStatus().text;
    EXPECT_NE(end, DownloadEnd::Stopped);
    if (c.failure != nullptr) {
      EXPECT_EQ(view.LastStatus().text, c.failure);
    }
  }
}

const FaultCase kCases[] = {
    {"classic", ToolClass::Classic, "drop:C1@2"},
    {"classic", ToolClass::Classic, "corrupt:C1@3:2"},
    {"classic", ToolClass::Classic, "refuse:C1@2"},
    {"classic", ToolClass::Classic, "refuse:C1@2+", text::kCommFailure},  // a block
    {"classic", ToolClass::Classic, "split:C1:3:20"},
    {"classic", ToolClass::Classic, "wrong-echo:C1@4"},
    {"classic", ToolClass::Classic, "late:C2:300"},
    {"classic", ToolClass::Classic, "wrong-echo:C0"},
    {"classic", ToolClass::Classic, "refuse:C0", text::kCommFailure},  // EnterUpdateMode
    {"classic", ToolClass::Classic, "refuse:C3", text::kCommFailure},  // FinishUpdate
    {"classic", ToolClass::Classic, "refuse:C2", text::kEraseFailure},
    {"classic", ToolClass::Classic, "unplug-after-block:2:200"},
    {"classic", ToolClass::Classic, "unplug-after-block:2"},
    {"new", ToolClass::New, "drop:2C@2"},
    {"new", ToolClass::New, "corrupt:2C@3:6"},
    {"new", ToolClass::New, "corrupt:2C@3:5"},
    {"new", ToolClass::New, "split:2C:5:30"},
    {"new", ToolClass::New, "wrong-echo:2C@2"},
    {"new", ToolClass::New, "late:2C@2:300"},
    {"new", ToolClass::New, "refuse:2C@2:03"},
    {"new", ToolClass::New, "refuse:2C@2+:04"},
    {"new", ToolClass::New, "refuse:15:05", text::kCheckFailure},
    {"new", ToolClass::New, "refuse:2D", text::kCommFailure},  // FinishUpdate
    {"new", ToolClass::New, "unplug-after-block:2:300"},
    {"new", ToolClass::New, "unplug-after-block:3"},
    {"programmer", ToolClass::Programmer, "corrupt:2C@3:6"},
    {"programmer", ToolClass::Programmer, "wrong-echo:2C@3"},
    {"programmer", ToolClass::Programmer, "refuse:2C@3:03"},
    {"programmer", ToolClass::Programmer, "split:2C:5:30"},
    {"programmer", ToolClass::Programmer, "refuse:15:11"},
    {"programmer", ToolClass::Programmer, "refuse:15:05", text::kCheckFailure},
    {"programmer", ToolClass::Programmer, "refuse:2D", text::kCommFailure},  // FinishUpdate
    {"programmer", ToolClass::Programmer, "unplug-after-block:4:300"},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrixTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           std::string name = std::string(info.param.label) + "_" + info.param.fault;
                           for (char& ch : name) {
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name + "_" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace varnok::test
