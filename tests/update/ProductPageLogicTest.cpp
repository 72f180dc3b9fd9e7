// The product pages' rules without UI: which page serves a model, the
// extension test and its messages, the partition selector, and the model
// check against a simulated tool (QV220's RW480 skip and lenient answers,
// PX110's adoption of DevType 13).
#include <gtest/gtest.h>

#include "tests/update/DownloadRunTestSupport.h"
#include "device/UsbDevInterface.h"
#include "update/ProductPageLogic.h"
#include "update/StatusTexts.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

class ProductPageLogicTest : public SimulatedRunTest {
 protected:
  void SetUp() override { ASSERT_TRUE(UseConfig(SampleConfigPath())); }
  void TearDown() override { CConfigHelper::ResetForTesting(); }
};

TEST(ProductPageRules, EveryProductCodeHasItsPage) {
  const struct {
    int code;
    bool served;
    PageKind kind;
  } rows[] = {
      {1, true, PageKind::QV120},  {8, true, PageKind::QV120},  {11, true, PageKind::QV120},
      {14, true, PageKind::QV120}, {15, true, PageKind::QV120}, {16, true, PageKind::QV120},
      {17, true, PageKind::QV120}, {2, true, PageKind::QV220},  {3, true, PageKind::QV220},
      {4, true, PageKind::QV220},  {5, true, PageKind::QV220},  {6, true, PageKind::QV220},
      {7, true, PageKind::PX110},  {12, true, PageKind::PX110}, {13, true, PageKind::PX110},
      {9, false, PageKind::QV120}, {10, false, PageKind::QV120}, {0, false, PageKind::QV120},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    PageKind kind = PageKind::QV120;
    EXPECT_EQ(PageForProduct(row.code, kind), row.served);
    if (row.served) {
      EXPECT_EQ(kind, row.kind);
    }
  }
}

TEST(ProductPageRules, ExtensionTestAndItsMessagePerPage) {
  const struct {
    PageKind kind;
    UpdatePath which;
    const char* path;
    const char* message;  // empty: passes
  } rows[] = {
      {PageKind::QV120, UpdatePath::Bin, "/fw/x.Bin", ""},
      {PageKind::QV120, UpdatePath::Bin, "D:\\x.bin.old", ""},
      {PageKind::QV120, UpdatePath::Bin, "/fw/x.zpk", "File format incorrect!"},
      {PageKind::QV120, UpdatePath::Zpk, "/fw/x.ZPK", ""},
      {PageKind::QV120, UpdatePath::Zpk, "/fw/x.bin", "File format incorrect!"},
      {PageKind::QV220, UpdatePath::Bin, "/fw/x.dat", "File format error!"},
      {PageKind::QV220, UpdatePath::Bin, "/fw.bin/x.dat", ""},
      {PageKind::QV220, UpdatePath::Zpk, "/fw/x.dat", "File format incorrect!"},
      {PageKind::PX110, UpdatePath::Bin, "/fw/x.dat", "File format incorrect!"},
      {PageKind::PX110, UpdatePath::Bin, "/fw/X.BIN", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const CProductPageLogic page(row.kind, 1);
    EXPECT_EQ(page.CheckExtension(row.path, row.which), row.message);
  }
}

TEST(ProductPageRules, FileChoosesTheBinOrZpkPath) {
  EXPECT_EQ(CProductPageLogic(PageKind::QV120, 1).ChooseUpdatePath("/a/b.BIN"), UpdatePath::Bin);
  EXPECT_EQ(CProductPageLogic(PageKind::QV120, 1).ChooseUpdatePath("/a/b.zpk"), UpdatePath::Zpk);
  EXPECT_EQ(CProductPageLogic(PageKind::QV220, 2).ChooseUpdatePath("/a/b.dat"), UpdatePath::Zpk);
  EXPECT_EQ(CProductPageLogic(PageKind::PX110, 7).ChooseUpdatePath("/a/b.zpk"), UpdatePath::Bin);
}

TEST(ProductPageRules, PartitionSelectorPerPage) {
  EXPECT_EQ(CProductPageLogic(PageKind::QV120, 1).PartitionSelector(UpdatePath::Bin), 0);
  EXPECT_EQ(CProductPageLogic(PageKind::QV120, 1).PartitionSelector(UpdatePath::Zpk), 1);
  EXPECT_EQ(CProductPageLogic(PageKind::QV220, 3).PartitionSelector(UpdatePath::Zpk), 1);
  EXPECT_EQ(CProductPageLogic(PageKind::PX110, 7).PartitionSelector(UpdatePath::Bin), 0);
  EXPECT_EQ(CProductPageLogic(PageKind::PX110, 12).PartitionSelector(UpdatePath::Bin), 2);
  EXPECT_EQ(CProductPageLogic(PageKind::PX110, 13).PartitionSelector(UpdatePath::Bin), 2);
}

TEST_F(ProductPageLogicTest, NoPortMeansNoToolAndAClearedEntry) {
  CProductPageLogic page(PageKind::QV120, 1);
  page.LoadEntry();
  EXPECT_EQ(page.DetectTool(), -1);
  EXPECT_TRUE(page.Entry().IsEmpty());
  CDownloadWorkflow workflow;
  const PrepareResult r = page.PrepareUpdate(UpdatePath::Bin, "/x.bin", workflow);
  EXPECT_EQ(r.step, PrepareStep::NoTool);
  EXPECT_TRUE(r.message.empty());
}

TEST_F(ProductPageLogicTest, ReportedNameWithBarSuffixIsLookedUpWithoutIt) {
  StartTool(Tool(ToolClass::New, "QV330|1"));
  CProductPageLogic page(PageKind::QV120, 16);
  page.LoadEntry();
  EXPECT_TRUE(page.VerifyConnectedModel(page.DetectTool()));
}

TEST(ProductPageRules, OnlyANameWithABarLongerThanTwoLosesItsLastTwo) {
  const std::pair<const char*, const char*> rows[] = {
      {"QV120|1", "QV120"}, {"QV120", "QV120"}, {"A|", "A|"}, {"|1", "|1"},
      {"AB|", "A"},         {"", ""},           {"QV1", "QV1"}};
  for (const auto& [reported, model] : rows) EXPECT_EQ(ModelNameOf(reported), model) << reported;
}

// A name query that fails is asked once more, 1000 ms later (on the tool's
// clock), and no more.
TEST_F(ProductPageLogicTest, AFailedNameQueryIsRetriedOnceAfterASecond) {
  const struct {
    const char* fault;
    bool passes;
  } rows[] = {{"refuse:11@1:05", true}, {"refuse:11:05", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fault);
    StartTool(WithFault(Tool(ToolClass::New, "QV330|1"), row.fault));
    CProductPageLogic page(PageKind::QV120, 16);
    page.LoadEntry();
    EXPECT_EQ(page.VerifyConnectedModel(page.DetectTool()), row.passes);
    std::vector<std::uint64_t> queries;
    for (const auto& r : tool->Simulator().Engine().Requests())
      if (r.command == 0x11) queries.push_back(r.atMs);
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_GE(queries[1], queries[0] + 1000);
    tool.reset();
  }
}

TEST_F(ProductPageLogicTest, WrongModelGivesTheMismatchMessageAndForgetsThePort) {
  StartTool(Tool(ToolClass::Classic, "QV130"));
  CProductPageLogic page(PageKind::QV120, 1);
  CDownloadWorkflow workflow;
  const PrepareResult r =
      page.PrepareUpdate(UpdatePath::Bin, folder.Write("q.bin", ClassicFile("QV120", PatternImage(10))), workflow);
  EXPECT_EQ(r.step, PrepareStep::ModelMismatch);
  EXPECT_EQ(r.message,
            "The equipment type does not match. Please check the equipment, \nor power it down and then reconnect.");
  EXPECT_EQ(page.Port(), -1);
  EXPECT_TRUE(page.Entry().IsEmpty());
  EXPECT_EQ(workflow.Image(), nullptr);
}

TEST_F(ProductPageLogicTest, RightModelWithWrongFileSaysWrongFile) {
  StartTool(Tool(ToolClass::Classic, "QV120"));
  CProductPageLogic page(PageKind::QV120, 1);
  CDownloadWorkflow workflow;
  const PrepareResult r =
      page.PrepareUpdate(UpdatePath::Bin, folder.Write("q.bin", ClassicFile("QV130", PatternImage(10))), workflow);
  EXPECT_EQ(r.step, PrepareStep::WrongFile);
  EXPECT_EQ(r.message, "Wrong file!");
}

TEST_F(ProductPageLogicTest, ExtensionIsTestedAfterTheModelCheck) {
  StartTool(Tool(ToolClass::Classic, "QV220"));
  CProductPageLogic page(PageKind::QV220, 2);
  CDownloadWorkflow workflow;
  const PrepareResult r = page.PrepareUpdate(UpdatePath::Bin, folder.Write("q.dat", {1, 2}), workflow);
  EXPECT_EQ(r.step, PrepareStep::BadExtension);
  EXPECT_EQ(r.message, "File format error!");
}

TEST_F(ProductPageLogicTest, RW480IsNeverAskedItsName) {
  StartTool(Tool(ToolClass::Classic, "RW480"));
  CProductPageLogic page(PageKind::QV220, 6);
  CDownloadWorkflow workflow;
  const PrepareResult r = page.PrepareUpdate(
      UpdatePath::Bin, folder.Write("r.bin", ClassicFile("RW480", PatternImage(10))), workflow);
  EXPECT_EQ(r.step, PrepareStep::Ready);
  EXPECT_EQ(workflow.Device()->partition, 0);
  tool->Stop();
  EXPECT_EQ(tool->Simulator().Engine().RequestCount(0xC9), 0u);
}

// A new tool listed under a QV220-page code and a QV120-page code.
std::string LenientConfig(const TempFolder& folder) {
  auto device = [](int code, const char* name) {
    return "<Device><DevType>" + std::to_string(code) + "</DevType><ShowName>" + name +
           "</ShowName><DevName>" + name + "</DevName><UpdateFileHeader>H</UpdateFileHeader>"
           "<USBType>1</USBType></Device>";
  };
  return folder.WriteText("lenient.xml", "<root>" + device(3, "NEW3") + device(1, "NEW1") + "</root>");
}

TEST_F(ProductPageLogicTest, QV220PageLetsAnUnusualNameAnswerPassUnlikeQV120) {
  ASSERT_TRUE(UseConfig(LenientConfig(folder)));
  const struct {
    PageKind kind;
    int code;
    const char* fault;
    bool passes;
  } rows[] = {
      {PageKind::QV220, 3, "refuse:11:05", true},   // refusal code 5
      {PageKind::QV120, 1, "refuse:11:05", false},
      {PageKind::QV220, 3, "no-name", false},       // -1: three time-outs
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fault);
    StartTool(WithFault(Tool(ToolClass::New, "NEW3|1"), row.fault));
    CProductPageLogic page(row.kind, row.code);
    page.LoadEntry();
    EXPECT_EQ(page.VerifyConnectedModel(page.DetectTool()), row.passes);
    tool.reset();
  }
}

TEST_F(ProductPageLogicTest, PX110PageAdoptsDevType13AndThenExpectsIt) {
  StartTool(Tool(ToolClass::Programmer, "OMNIX2|1"));
  CProductPageLogic page(PageKind::PX110, 12);
  page.LoadEntry();
  EXPECT_TRUE(page.VerifyConnectedModel(page.DetectTool()));
  EXPECT_EQ(page.DevType(), 13);
  EXPECT_EQ(page.Entry().DevType, 13);
  EXPECT_EQ(page.Entry().DevName, "OMNIX");  // the entry looked up under 12, now 13
  EXPECT_EQ(page.PartitionSelector(UpdatePath::Bin), 2);
  tool.reset();

  // A plain OMNIX connected later is not what the page expects any more.
  StartTool(Tool(ToolClass::Programmer, "OMNIX|1"));
  page.LoadEntry();
  EXPECT_FALSE(page.VerifyConnectedModel(page.DetectTool()));
}

TEST_F(ProductPageLogicTest, PX110PageWithAdoptedToolRunsTheLoaderReboot) {
  sim::SimOptions options = Tool(ToolClass::Programmer, "OMNIX2|1");
  options.startIn = sim::StartState::App;
  StartTool(options);
  CProductPageLogic page(PageKind::PX110, 12);
  CDownloadWorkflow workflow;
  const Bytes file = TrailerFile("OMNIX2", 1000);
  ASSERT_EQ(page.PrepareUpdate(UpdatePath::Bin, folder.Write("o.bin", file), workflow).step,
            PrepareStep::Ready);
  RecordingView view;
  workflow.SetView(&view);
  workflow.Start();
  ASSERT_TRUE(view.WaitEnded(30000));
  EXPECT_EQ(view.end, DownloadEnd::Done);
  workflow.WaitForWorker(5000);
  EXPECT_EQ(Flash(), file);
  EXPECT_EQ(tool->Simulator().Reboots(), 1);
}

TEST_F(ProductPageLogicTest, ModelMissingFromTheConfigurationNeverMatches) {
  StartTool(Tool(ToolClass::New, "ZZ9|1"));
  CProductPageLogic page(PageKind::QV120, 9);  // no such product in device.xml
  page.LoadEntry();
  EXPECT_FALSE(page.VerifyConnectedModel(page.DetectTool()));
}

}  // namespace
}  // namespace varnok::test
