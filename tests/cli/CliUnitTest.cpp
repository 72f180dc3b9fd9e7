// The pieces of varnok-cli's output: progress figures, JSON lines, model
// resolution.
#include <gtest/gtest.h>

#include "cli/output/JsonLine.h"
#include "cli/commands/ModelResolver.h"
#include "cli/output/ProgressFormat.h"

namespace cli {
namespace {

TEST(ProgressFormatTest, SizesRatesAndDurations) {
  EXPECT_EQ(FormatBytes(0), "0 B");
  EXPECT_EQ(FormatBytes(1023), "1023 B");
  EXPECT_EQ(FormatBytes(1024), "1.0 KiB");
  EXPECT_EQ(FormatBytes(262144), "256.0 KiB");
  EXPECT_EQ(FormatBytes(3 * 1024 * 1024 / 2), "1.5 MiB");
  EXPECT_EQ(FormatRate(0), "-");
  EXPECT_EQ(FormatRate(11468.8), "11.2 KiB/s");
  EXPECT_EQ(FormatDuration(-1), "-");
  EXPECT_EQ(FormatDuration(7.4), "0:07");
  EXPECT_EQ(FormatDuration(723), "12:03");
  EXPECT_EQ(FormatDuration(3723), "1:02:03");
}

TEST(ProgressFormatTest, RateAndTimeLeftComeFromTheBytesSoFar) {
  const ProgressFigures f = ComputeProgress(100 * 1024, 400 * 1024, 10.0);
  EXPECT_EQ(f.percent, 25);
  EXPECT_DOUBLE_EQ(f.rate, 10240.0);
  EXPECT_DOUBLE_EQ(f.secondsLeft, 30.0);
  const ProgressFigures start = ComputeProgress(0, 1000, 0.0);
  EXPECT_EQ(start.rate, 0.0);
  EXPECT_LT(start.secondsLeft, 0);
  EXPECT_EQ(ComputeProgress(5, 0, 1.0).percent, 0);  // no division by an empty total
  EXPECT_EQ(ComputeProgress(2000, 1000, 1.0).percent, 100);
}

TEST(ProgressFormatTest, BarLineFitsTheTerminal) {
  const ProgressFigures f = ComputeProgress(128 * 1024, 256 * 1024, 10.0);
  for (const int width : {60, 80, 200}) {
    SCOPED_TRACE(width);
    const std::string line = ProgressBarLine(f, width);
    EXPECT_LE(static_cast<int>(line.size()), std::max(width, 70));
    EXPECT_NE(line.find(" 50%"), std::string::npos);
    EXPECT_NE(line.find("128.0 KiB / 256.0 KiB"), std::string::npos);
    EXPECT_NE(line.find("0:10 left"), std::string::npos);
  }
  EXPECT_EQ(ProgressPlainLine(f), "progress 50% 131072/262144 bytes 12.8 KiB/s 0:10 left");
}

TEST(JsonLineTest, EscapesControlCharactersAndQuotesButKeepsUtf8) {
  EXPECT_EQ(JsonLine("status").Add("text", "a \"b\"\\\nc\x01").Str(),
            "{\"event\":\"status\",\"text\":\"a \\\"b\\\"\\\\\\nc\\u0001\"}");
  EXPECT_EQ(JsonLine("s").Add("t", "\xE8\xAE\xBE").Add("ok", false).Add("n", 7).Str(),
            "{\"event\":\"s\",\"t\":\"\xE8\xAE\xBE\",\"ok\":false,\"n\":7}");
  EXPECT_EQ(JsonLine("p").Add("rate", 1.0 / 0.0).Str(), "{\"event\":\"p\",\"rate\":null}");
}

DeviceEntry E(int code, const char* show, const char* dev) {
  DeviceEntry e;
  e.DevType = code;
  e.ShowName = show;
  e.DevName = dev;
  return e;
}

// 8-bit text (a Latin-1 name in device.xml) must not make invalid JSON.
TEST(JsonLineTest, EightBitTextBecomesValidUtf8) {
  EXPECT_EQ(JsonLine("m").Add("show_name", "Gr\xFC\xDF \xC3\xA9").Str(),
            "{\"event\":\"m\",\"show_name\":\"Gr\xC3\xBC\xC3\x9F \xC3\xA9\"}");
  EXPECT_EQ(JsonEscape("\xE8\xAE"), "\xC3\xA8\xC2\xAE");  // a cut sequence
  EXPECT_EQ(JsonEscape("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // a surrogate
}

TEST(ModelResolverTest, ExactBeforeCaselessAndAmbiguityIsAnError) {
  const std::vector<DeviceEntry> entries = {E(1, "QV120", "QV120"), E(13, "OMNIX II", "OMNIX2"),
                                            E(20, "Alpha", "beta"), E(21, "Beta", "gamma")};
  DeviceEntry found;
  std::string error;
  ASSERT_TRUE(ResolveModel("OMNIX2", entries, found, error));
  EXPECT_EQ(found.DevType, 13);
  ASSERT_TRUE(ResolveModel("beta", entries, found, error));  // exact DevName beats ShowName Beta
  EXPECT_EQ(found.DevType, 20);
  EXPECT_FALSE(ResolveModel("BETA", entries, found, error));  // two caseless matches
  EXPECT_NE(error.find("ambiguous"), std::string::npos);
  EXPECT_FALSE(ResolveModel("2", entries, found, error));
  EXPECT_FALSE(ResolveModel("QV12", entries, found, error));
}

}  // namespace
}  // namespace cli
