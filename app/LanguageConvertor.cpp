#include "app/LanguageConvertor.h"

#include <QLocale>

CLanguageConvertor::CLanguageConvertor() : CLanguageConvertor(QLocale::system()) {}

CLanguageConvertor::CLanguageConvertor(const QLocale& locale)
    : convert(IsChinesePrc(locale) ? 1 : 0) {}

bool CLanguageConvertor::IsChinesePrc(const QLocale& locale) {
  return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China;
}

void CLanguageConvertor::Convert(std::string& text) const {
  if (!convert)
    return;
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (static_cast<unsigned char>(c) == 0xB0) {
      out.push_back(static_cast<char>(0xA1));
      out.push_back(static_cast<char>(0xA3));
    } else {
      out.push_back(c);
    }
  }
  text.swap(out);
}
