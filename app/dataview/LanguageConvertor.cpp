#include "app/dataview/LanguageConvertor.h"

#include <QLocale>

#include "app/dataview/SystemLanguage.h"
#include "tools/TextDecode.h"

CLanguageConvertor::CLanguageConvertor() : CLanguageConvertor(SystemDefaultLocale()) {}

CLanguageConvertor::CLanguageConvertor(const QLocale& locale)
    : convert(IsChinesePrc(locale) ? 1 : 0) {}

bool CLanguageConvertor::IsChinesePrc(const QLocale& locale) {
  return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China;
}

void CLanguageConvertor::Convert(std::string& text) const {
  if (convert)
    ReplaceHighDegreeBytes(text);
}
