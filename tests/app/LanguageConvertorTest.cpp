// CLanguageConvertor: the degree sign becomes the GBK pair only on
// Chinese (PRC) systems.
#include <QLocale>

#include <gtest/gtest.h>

#include "app/dataview/LanguageConvertor.h"

namespace varnok::apptest {
namespace {

struct Case {
  QLocale::Language language;
  QLocale::Territory territory;
  bool converts;
};

TEST(LanguageConvertorTest, OnlyChineseInChinaConverts) {
  const Case cases[] = {
      {QLocale::Chinese, QLocale::China, true},
      {QLocale::Chinese, QLocale::Taiwan, false},
      {QLocale::Chinese, QLocale::HongKong, false},
      {QLocale::English, QLocale::China, false},
      {QLocale::English, QLocale::UnitedStates, false},
      {QLocale::German, QLocale::Germany, false},
  };
  for (const Case& c : cases) {
    const QLocale locale(c.language, c.territory);
    CLanguageConvertor convertor(locale);
    std::string line = "\x32\x35\xB0\x43";
    convertor.Convert(line);
    const std::string expected = c.converts ? "\x32\x35\xA1\xA3\x43" : "\x32\x35\xB0\x43";
    EXPECT_EQ(line, expected) << locale.name().toStdString();
  }
}

TEST(LanguageConvertorTest, EveryDegreeSignGrowsTheLineByOneByte) {
  CLanguageConvertor convertor(QLocale(QLocale::Chinese, QLocale::China));
  std::string line = "\xB0\xB0x\xB0";
  convertor.Convert(line);
  EXPECT_EQ(line, "\xA1\xA3\xA1\xA3x\xA1\xA3");
  std::string empty;
  convertor.Convert(empty);
  EXPECT_EQ(empty, "");
}

}  // namespace
}  // namespace varnok::apptest
