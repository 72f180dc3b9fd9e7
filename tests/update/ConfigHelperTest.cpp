// device.xml reading: the walk, duplicates, number parsing, test mode and
// version text, and the look-ups that rebuild empty maps.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/HostPlatform.h"
#include "tests/update/UpdateTestSupport.h"
#include "update/ConfigHelper.h"

namespace varnok::test {
namespace {

std::string Device(const std::string& devType, const std::string& devName,
                   const std::string& usbType = "1", const std::string& showName = "Show") {
  return "<Device><DevType>" + devType + "</DevType><ShowName>" + showName +
         "</ShowName><DevName>" + devName + "</DevName><UpdateFileHeader>H</UpdateFileHeader>"
         "<USBType>" + usbType + "</USBType></Device>";
}

class ConfigHelperTest : public ::testing::Test {
 protected:
  void SetUp() override { CConfigHelper::ResetForTesting(); }
  void TearDown() override { CConfigHelper::ResetForTesting(); }

  CConfigHelper& Config() { return CConfigHelper::GetInstance(); }

  // Loads <root>body</root>; returns the parse result.
  bool Load(const std::string& body, const std::string& name = "device.xml") {
    return Config().LoadConfig(folder.WriteText(name, "<?xml version=\"1.0\"?>\n<root>" + body + "</root>\n"));
  }

  TempFolder folder;
};

TEST_F(ConfigHelperTest, DuplicateDevTypeLastWinsWhileBothNamesAreFound) {
  ASSERT_TRUE(Load(Device("1", "FIRST") + Device("1", "SECOND")));
  EXPECT_EQ(Config().FindByType(1).DevName, "SECOND");
  EXPECT_EQ(Config().FindByName("FIRST").DevType, 1);
  EXPECT_EQ(Config().FindByName("SECOND").DevType, 1);
}

TEST_F(ConfigHelperTest, DuplicateDevNameLastWins) {
  ASSERT_TRUE(Load(Device("3", "SAME") + Device("4", "SAME")));
  EXPECT_EQ(Config().FindByName("SAME").DevType, 4);
  EXPECT_EQ(Config().FindByType(3).DevName, "SAME");
}

TEST_F(ConfigHelperTest, NumbersAreParsedLikeAtoi) {
  const struct {
    const char* text;
    int value;
  } rows[] = {{"12abc", 12}, {"  7", 7}, {"-3", -3}, {"+5", 5}, {"abc", 0}, {"0x10", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    CConfigHelper::ResetForTesting();
    ASSERT_TRUE(Load(Device(row.text, "NAME", row.text)));
    const DeviceEntry entry = Config().FindByName("NAME");
    EXPECT_EQ(entry.DevType, row.value);
    EXPECT_EQ(entry.USBType, row.value);
  }
}

TEST_F(ConfigHelperTest, DeviceWithMissingOrEmptyChildEndsTheWalkKeepingEarlierEntries) {
  const char* children[] = {"DevType", "ShowName", "DevName", "UpdateFileHeader", "USBType"};
  for (const char* child : children) {
    for (const bool empty : {false, true}) {
      SCOPED_TRACE(std::string(child) + (empty ? " empty" : " missing"));
      CConfigHelper::ResetForTesting();
      std::string broken = Device("2", "BROKEN");
      const std::string open = std::string("<") + child + ">";
      const std::string close = std::string("</") + child + ">";
      const auto from = broken.find(open);
      const auto to = broken.find(close) + close.size();
      broken.replace(from, to - from, empty ? std::string("<") + child + "></" + child + ">" : "");
      ASSERT_TRUE(Load(Device("1", "GOOD") + broken + Device("3", "AFTER")));
      EXPECT_EQ(Config().BuildMaps(), -1);
      EXPECT_EQ(Config().FindByType(1).DevName, "GOOD");
      EXPECT_TRUE(Config().FindByType(2).IsEmpty());
      EXPECT_TRUE(Config().FindByType(3).IsEmpty());
      EXPECT_TRUE(Config().FindByName("AFTER").IsEmpty());
    }
  }
}

TEST_F(ConfigHelperTest, NameLookupIsExactAndCaseSensitive) {
  ASSERT_TRUE(Load(Device("1", "QV120")));
  EXPECT_TRUE(Config().FindByName("qv120").IsEmpty());
  EXPECT_TRUE(Config().FindByName("QV120 ").IsEmpty());
  EXPECT_EQ(Config().FindByName("QV120").DevType, 1);
}

TEST_F(ConfigHelperTest, AbsentKeysGiveTheEmptyEntry) {
  ASSERT_TRUE(Load(Device("1", "QV120", "0")));
  const DeviceEntry none = Config().FindByType(99);
  EXPECT_EQ(none.DevType, 0);
  EXPECT_EQ(none.USBType, 1);
  EXPECT_TRUE(none.DevName.empty());
  EXPECT_TRUE(none.ShowName.empty());
  EXPECT_TRUE(none.UpdateFileHeader.empty());
}

TEST_F(ConfigHelperTest, VersionTextFollowsTestMode) {
  const struct {
    const char* body;
    const wchar_t* version;
    bool testMode;
  } rows[] = {
      {"<TestMode>1</TestMode><Version>V2</Version><InnerVersion>V2-inner</InnerVersion>", L"V2-inner", true},
      {"<TestMode>1</TestMode><Version>V2</Version>", L"V0.01", true},
      {"<TestMode>true</TestMode><Version>V2</Version><InnerVersion>I</InnerVersion>", L"V2", false},
      {"<TestMode></TestMode><Version>V2</Version><InnerVersion>I</InnerVersion>", L"V2", false},
      {"<Version>V2</Version>", L"V2", false},
      {"<Version></Version>", L"V0.01", false},
      {"", L"V0.01", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.body);
    CConfigHelper::ResetForTesting();
    ASSERT_TRUE(Load(row.body));
    EXPECT_EQ(Config().IsTestMode(), row.testMode);
    EXPECT_EQ(Config().GetVersionText(), row.version);
  }
}

TEST_F(ConfigHelperTest, VersionTextIsDecodedFromUtf8) {
  ASSERT_TRUE(Load("<Version>V1 \xC3\xA9\xE2\x82\xAC</Version>"));
  EXPECT_EQ(Config().GetVersionText(), L"V1 \u00E9\u20AC");
}

TEST_F(ConfigHelperTest, UnreadableFileLeavesEverythingEmpty) {
  EXPECT_FALSE(Config().LoadConfig(folder.Path() + "/missing.xml"));
  EXPECT_FALSE(Config().IsTestMode());
  EXPECT_EQ(Config().GetVersionText(), L"V0.01");
  EXPECT_TRUE(Config().FindByType(1).IsEmpty());
  EXPECT_EQ(Config().BuildMaps(), -1);
  EXPECT_FALSE(Config().LoadConfig(folder.WriteText("bad.xml", "<root><Device>")));
  EXPECT_TRUE(Config().FindByName("X").IsEmpty());
}

// Things that are not a readable, well-formed file fail the load without
// throwing, without blocking and without reading past the input; the
// outcome names why. (A FIFO: ConfigHelperTest_posix.cpp.)
TEST_F(ConfigHelperTest, OddConfigFilesFailTheLoadWithTheirReason) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  for (int i = 0; i < 100000; ++i) deep += "</a>";
  const struct {
    const char* what;
    std::string path;
    ConfigLoad outcome;
  } rows[] = {
      {"missing", folder.Path() + "/missing.xml", ConfigLoad::Missing},
      {"folder", folder.Path(), ConfigLoad::NotAFile},
      {"unclosed", folder.WriteText("unclosed.xml", "<root><Device>"), ConfigLoad::Malformed},
      {"deep nesting", folder.WriteText("deep.xml", "<root>" + deep + "</root>"), ConfigLoad::Malformed},
      {"empty", folder.WriteText("empty.xml", ""), ConfigLoad::Malformed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(Load(Device("1", "OLD")));
    EXPECT_FALSE(Config().LoadConfig(row.path));
    EXPECT_EQ(Config().LastLoad(), row.outcome);
    EXPECT_EQ(Config().GetVersionText(), L"V0.01");
  }
}

TEST_F(ConfigHelperTest, WhitespaceAroundTextIsDroppedAndInnerRunsCollapse) {
  ASSERT_TRUE(Load("<Version>\n  V1 \t\n  beta  </Version>" + Device(" 5 ", " NAME\n ")));
  EXPECT_EQ(Config().GetVersionText(), L"V1 beta");
  EXPECT_EQ(Config().FindByName("NAME").DevType, 5);
}

TEST_F(ConfigHelperTest, EntitiesAndCdataAreText) {
  ASSERT_TRUE(Load(Device("1", "A&amp;B") + Device("2", "<![CDATA[C<D]]>")));
  EXPECT_EQ(Config().FindByType(1).DevName, "A&B");
  EXPECT_EQ(Config().FindByType(2).DevName, "C<D");
}

// Only the first node named like the wanted element counts, of whatever
// kind, at every place: root, the first and every later Device, a field.
TEST_F(ConfigHelperTest, FirstNodeOfTheNameDecidesAtEveryPlace) {
  const struct {
    const char* file;
    std::size_t entries;
  } rows[] = {
      {"<!--root--><root><Device><DevType>1</DevType><ShowName>S</ShowName><DevName>A</DevName>"
       "<UpdateFileHeader>H</UpdateFileHeader><USBType>1</USBType></Device></root>", 0},
      {"<root><!--Device--><Device><DevType>1</DevType><ShowName>S</ShowName><DevName>A</DevName>"
       "<UpdateFileHeader>H</UpdateFileHeader><USBType>1</USBType></Device></root>", 0},
      {"<root><Device><DevType>1</DevType><ShowName>S</ShowName><DevName>A</DevName>"
       "<UpdateFileHeader>H</UpdateFileHeader><USBType>1</USBType></Device><!--Device-->"
       "<Device><DevType>2</DevType><ShowName>S</ShowName><DevName>B</DevName>"
       "<UpdateFileHeader>H</UpdateFileHeader><USBType>1</USBType></Device></root>", 1},
      {"<root><Device><DevType>1</DevType><ShowName>S</ShowName><!--DevName--><DevName>A</DevName>"
       "<UpdateFileHeader>H</UpdateFileHeader><USBType>1</USBType></Device></root>", 0},
  };
  for (const auto& row : rows) {
    CConfigHelper::ResetForTesting();
    ASSERT_TRUE(Config().LoadConfig(folder.WriteText("c.xml", row.file))) << row.file;
    EXPECT_EQ(Config().AllEntries().size(), row.entries) << row.file;
  }
  CConfigHelper::ResetForTesting();
  ASSERT_TRUE(Load("<!--x--><Version>V3</Version>" + Device("1", "A") + "<!--y-->" +
                   Device("2", "B") + "<Other/>" + Device("3", "C")));
  EXPECT_EQ(Config().GetVersionText(), L"V3");
  EXPECT_EQ(Config().AllEntries().size(), 3u);
}

TEST_F(ConfigHelperTest, WithoutAnyLoadNothingIsFound) {
  EXPECT_EQ(Config().BuildMaps(), -1);
  EXPECT_TRUE(Config().FindByType(1).IsEmpty());
  EXPECT_EQ(Config().GetVersionText(), L"V0.01");
}

TEST_F(ConfigHelperTest, FailedReloadDoesNotKeepTheOldDocument) {
  ASSERT_TRUE(Load("<TestMode>1</TestMode><InnerVersion>I</InnerVersion>"));
  ASSERT_TRUE(Config().IsTestMode());
  EXPECT_FALSE(Config().LoadConfig(folder.Path() + "/missing.xml"));
  EXPECT_FALSE(Config().IsTestMode());
  EXPECT_EQ(Config().GetVersionText(), L"V0.01");
}

TEST_F(ConfigHelperTest, DocumentElementMustBeRoot) {
  ASSERT_TRUE(Config().LoadConfig(folder.WriteText("other.xml", "<config>" + Device("1", "QV120") + "</config>")));
  EXPECT_EQ(Config().BuildMaps(), -1);
  EXPECT_TRUE(Config().FindByType(1).IsEmpty());
}

TEST_F(ConfigHelperTest, EmptyMapIsRebuiltAtTheNextLookup) {
  ASSERT_TRUE(Load("<Version>V</Version>", "empty.xml"));
  EXPECT_TRUE(Config().FindByType(1).IsEmpty());
  ASSERT_TRUE(Load(Device("1", "LATE"), "late.xml"));
  EXPECT_EQ(Config().FindByType(1).DevName, "LATE");
}

TEST_F(ConfigHelperTest, BuiltMapsOutliveALaterLoad) {
  ASSERT_TRUE(Load(Device("1", "FIRST"), "a.xml"));
  EXPECT_EQ(Config().FindByType(1).DevName, "FIRST");
  ASSERT_TRUE(Load(Device("2", "SECOND"), "b.xml"));
  EXPECT_EQ(Config().FindByType(1).DevName, "FIRST");
  EXPECT_TRUE(Config().FindByType(2).IsEmpty());
}

TEST_F(ConfigHelperTest, ModuleDirIsTheTestProgramsFolderWithSeparator) {
  const std::string dir = Config().GetModuleDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), kProgramDirSeparator);
  std::ifstream self(dir + "update_tests" + kExeSuffix);
  EXPECT_TRUE(self.is_open()) << dir;
  EXPECT_EQ(Config().GetConfigPath(), dir + "device.xml");
}

TEST_F(ConfigHelperTest, SampleConfigListsEveryModelWithAUsableToolClass) {
  ASSERT_TRUE(Config().LoadConfig(SampleConfigPath()));
  const std::vector<DeviceEntry> entries = Config().AllEntries();
  std::set<int> codes;
  for (const DeviceEntry& e : entries) {
    SCOPED_TRACE(e.ShowName);
    codes.insert(e.DevType);
    EXPECT_GE(e.USBType, 0);
    EXPECT_LE(e.USBType, 2);
    if (e.USBType == 0) {
      EXPECT_LE(e.DevName.size(), 5u);  // the classic file header holds 5 characters
    }
    if (e.USBType == 2) {
      EXPECT_NE(e.DevName.find("OMNIX"), std::string::npos);  // the programmer's name test
    }
    EXPECT_EQ(Config().FindByName(e.DevName).DevType, e.DevType);
  }
  EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17}));
  EXPECT_EQ(Config().FindByType(6).USBType, 0);   // a classic tool that keeps its name
  EXPECT_EQ(Config().FindByType(7).USBType, 0);   // short erase text belongs to classic tools
  EXPECT_EQ(Config().FindByType(12).USBType, 2);
  EXPECT_EQ(Config().FindByType(13).USBType, 2);
}

}  // namespace
}  // namespace varnok::test
