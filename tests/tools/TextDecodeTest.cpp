#include <gtest/gtest.h>

#include "tools/TextDecode.h"

namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  LegacyCodePage codePage;
  std::string expected;  // UTF-8
};

class TextDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TextDecodeTest, DecodesByTheRule) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(DecodeToolText(c.bytes, c.codePage), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TextDecodeTest,
    ::testing::Values(
        DecodeCase{"AsciiUnchanged", "T=25\r\n", LegacyCodePage::Windows1252, "T=25\r\n"},
        DecodeCase{"ValidUtf8Kept", "25\xC2\xB0" "C\n", LegacyCodePage::Gbk, "25\xC2\xB0" "C\n"},
        DecodeCase{"DegreeByteIsWestern", "25\xB0" "C\n", LegacyCodePage::Windows1252,
                   "25\xC2\xB0" "C\n"},
        DecodeCase{"EuroAndUndefinedC1", "\x80\x81", LegacyCodePage::Windows1252,
                   "\xE2\x82\xAC\xC2\x81"},
        DecodeCase{"GbkDegreePair", "25\xA1\xE3" "C\n", LegacyCodePage::Gbk,
                   "25\xC2\xB0" "C\n"},
        DecodeCase{"GbkHanzi", "\xD6\xD0\xCE\xC4", LegacyCodePage::Gbk, "\xE4\xB8\xAD\xE6\x96\x87"},
        // A lone lead byte at the end keeps its place as U+FFFD.
        DecodeCase{"GbkTruncatedLeadByte", "A\xD6", LegacyCodePage::Gbk, "A\xEF\xBF\xBD"},
        DecodeCase{"OverlongUtf8IsNotUtf8", "\xC0\xAF", LegacyCodePage::Windows1252,
                   "\xC3\x80\xC2\xAF"},
        DecodeCase{"SurrogateIsNotUtf8", "\xED\xA0\x80", LegacyCodePage::Windows1252,
                   "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(TextDecode, EveryByteOfWindows1252GivesOneCharacter) {
  std::string all;
  for (int b = 0x80; b < 0x100; ++b)
    all.push_back(static_cast<char>(b));
  const std::string out = DecodeToolText(all, LegacyCodePage::Windows1252);
  int chars = 0;
  for (unsigned char c : out)
    chars += (c & 0xC0) != 0x80;
  EXPECT_EQ(chars, 0x80);
}

}  // namespace
