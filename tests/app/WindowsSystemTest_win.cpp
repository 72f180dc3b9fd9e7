// What only Windows has: the system's language choosing the code page of
// captured text. The Windows GUI stage runs it under Wine on a Western and
// on a Chinese (PRC) system.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/dataview/LanguageConvertor.h"
#include "tools/TextDecode.h"

namespace varnok::apptest {
namespace {

// VARNOK_EXPECT_SYSTEM names the system the stage set up: "zh_CN" for a
// Chinese (PRC) one, anything else for a Western one.
TEST(WindowsSystemLanguage, CapturedTextFollowsTheSystemsCodePage) {
  const char* expected = std::getenv("VARNOK_EXPECT_SYSTEM");
  if (expected == nullptr)
    GTEST_SKIP() << "VARNOK_EXPECT_SYSTEM does not say which system this is";
  const bool chinese = std::string(expected) == "zh_CN";
  EXPECT_EQ(GetACP(), chinese ? 936u : 1252u);
  EXPECT_EQ(SystemLegacyCodePage(), chinese ? LegacyCodePage::Gbk : LegacyCodePage::Windows1252);
  EXPECT_EQ(CLanguageConvertor().Converts(), chinese);
  // The degree byte of a Western tool, then a GBK pair: on a Chinese system
  // the degree byte becomes the GBK pair A1 A3 first.
  EXPECT_EQ(DecodeCapturedLine("T=25\xB0" "C \xD6\xD0\r\n", SystemLegacyCodePage()),
            chinese ? "T=25\xE3\x80\x82" "C \xE4\xB8\xAD\r\n" : "T=25\xC2\xB0" "C \xC3\x96\xC3\x90\r\n");
}

}  // namespace
}  // namespace varnok::apptest
