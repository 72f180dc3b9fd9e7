// The DTC library's line rules and prefix search.
#include <cstdio>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "tools/DtcLibrary.h"

namespace {

struct LineCase {
  const char* name;
  std::string line;
  std::string code;
  std::string description;
};

class DtcLineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(DtcLineRules, SplitsByPosition) {
  const LineCase& c = GetParam();
  const DtcRow row = CDtcLibrary::SplitLine(c.line);
  EXPECT_EQ(row.code, c.code);
  EXPECT_EQ(row.description, c.description);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DtcLineRules,
    ::testing::Values(
        LineCase{"Ordinary", "P0100 Mass Air Flow Circuit", "P0100", "Mass Air Flow Circuit"},
        LineCase{"CodeAloneHasEmptyDescription", "B1000", "B1000", ""},
        LineCase{"SixCharacterLine", "B1000 ", "B1000", ""},
        LineCase{"ShortLineIsAllCode", "P01", "P01", ""},
        LineCase{"EmptyLine", "", "", ""},
        LineCase{"AnySeparatorDropped", "U0100:Lost Communication", "U0100", "Lost Communication"},
        LineCase{"TabSeparator", "C0035\tWheel", "C0035", "Wheel"},
        LineCase{"SecondBlankKept", "P0300  Misfire", "P0300", " Misfire"},
        // A valid UTF-8 line is cut by characters: the full-width blank
        // (3 bytes) goes whole.
        LineCase{"MultiByteSeparator", "P0101\xE3\x80\x80\xE7\xA9\xBA\xE6\xB0\x94", "P0101",
                 "\xE7\xA9\xBA\xE6\xB0\x94"},
        // Not UTF-8 (GBK bytes): cut by bytes.
        LineCase{"LegacyBytes", "P0102 \xBF\xD5\xC6\xF8", "P0102", "\xBF\xD5\xC6\xF8"}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(DtcLibrary, LineEndsAndLastLine) {
  CDtcLibrary lib;
  lib.Parse("P0100 A\r\nP0101 B\n\nP0102 C\r\nB1000");
  ASSERT_EQ(lib.Size(), 5u);  // the empty line is a row; the last needs no line end
  EXPECT_EQ(lib.Row(0).description, "A");  // CR dropped with the LF
  EXPECT_EQ(lib.Row(2).code, "");
  EXPECT_EQ(lib.Row(4).code, "B1000");
  lib.Parse("P0100 A\n");
  EXPECT_EQ(lib.Size(), 1u);  // a final line end starts no row
  lib.Parse("P0100 A\r");
  EXPECT_EQ(lib.Row(0).description, "A\r");  // a lone CR is text
}

TEST(DtcLibrary, ByteOrderMarkIsNoPartOfTheFirstCode) {
  CDtcLibrary lib;
  lib.Parse("\xEF\xBB\xBFP0049 Turbo/Super Charger Turbine Overspeed\r\nP0100 A");
  ASSERT_EQ(lib.Size(), 2u);
  EXPECT_EQ(lib.Row(0).code, "P0049");
  EXPECT_EQ(lib.Row(0).description, "Turbo/Super Charger Turbine Overspeed");
  EXPECT_EQ(lib.FindFirst("P0049"), 0);
  lib.Parse("P0100 A\n\xEF\xBB\xBFP0101 B");  // only at the start of the file
  EXPECT_EQ(lib.Row(1).code, "\xEF\xBB\xBFP010");  // a character like any other there
}

TEST(DtcLibrary, PrefixSearchIgnoresCase) {
  CDtcLibrary lib;
  lib.Parse("P0100 A\nP0110 B\np0120 C\nU0100 D");
  EXPECT_EQ(lib.FindFirst("p01"), 0);
  EXPECT_EQ(lib.FindFirst("P012"), 2);
  EXPECT_EQ(lib.FindFirst(""), 0);
  EXPECT_EQ(lib.FindFirst("X"), -1);
  EXPECT_EQ(lib.FindFirst("P01000"), -1);  // longer than any code
  EXPECT_EQ(lib.FindAll("P01").size(), 3u);
  CDtcLibrary empty;
  EXPECT_EQ(empty.FindFirst(""), -1);
}

TEST(DtcLibrary, MissingFileLoadsNothing) {
  CDtcLibrary lib;
  lib.Parse("P0100 A");
  EXPECT_FALSE(lib.Load("/nonexistent/OBDII.txt"));
  EXPECT_TRUE(lib.Empty());
}

// The shipped library: the generic ranges are there whole, in order,
// every line a 5-character code, one blank and a description.
TEST(ShippedDtcLibrary, HoldsTheGenericRangesWithoutGapsOrDuplicates) {
  CDtcLibrary lib;
  ASSERT_TRUE(lib.Load(VARNOK_SHIPPED_DTC_LIBRARY));
  EXPECT_GE(lib.Size(), 1980u);
  std::set<std::string> codes;
  for (const DtcRow& row : lib.Rows()) {
    EXPECT_EQ(row.code.size(), 5u) << row.code;
    EXPECT_FALSE(row.description.empty()) << row.code;
    EXPECT_TRUE(codes.insert(row.code).second) << "twice: " << row.code;
  }
  struct Range {
    const char* format;
    int first, last;
  };
  for (const Range& r : {Range{"P%04d", 575, 599}, Range{"P%04d", 853, 899}, Range{"P%04d", 2172, 2176},
                         Range{"P%04d", 2567, 2577}, Range{"P%04d", 2645, 2671},
                         Range{"P2A%02X", 0x00, 0x05}, Range{"P0A%02X", 0x00, 0x20}}) {
    for (int n = r.first; n <= r.last; ++n) {
      char code[8];
      std::snprintf(code, sizeof code, r.format, n);
      EXPECT_EQ(codes.count(code), 1u) << "missing " << code;
    }
  }
  const std::pair<const char*, const char*> wording[] = {
      {"P0049", "Turbo/Super Charger Turbine Overspeed"},
      {"P0420", "Catalyst System Efficiency Below Threshold (Bank 1)"},
      {"P0A0F", "Engine Failed to Start"},
      {"P2A00", "O2 Sensor Circuit Range/Performance (Bank 1 Sensor 1)"},
  };
  for (const auto& [code, text] : wording) {
    const int row = lib.FindFirst(code);
    ASSERT_GE(row, 0) << code;
    EXPECT_EQ(lib.Row(static_cast<std::size_t>(row)).description, text);
  }
}

}  // namespace
