#pragma once
// CLanguageConvertor: adapts captured tool text for Chinese (PRC) systems.
// There the degree sign 0xB0 of the Western code page becomes the GBK pair
// 0xA1 0xA3; elsewhere text passes unchanged.

#include <string>

class QLocale;

class CLanguageConvertor {
 public:
  // Decides from the system's default language (not the user's).
  CLanguageConvertor();
  // Decides from `locale` (for a given system, or tests).
  explicit CLanguageConvertor(const QLocale& locale);
  virtual ~CLanguageConvertor() = default;

  // Chinese language and China as territory.
  static bool IsChinesePrc(const QLocale& locale);

  // Replaces every 0xB0 by 0xA1 0xA3 in place when converting.
  void Convert(std::string& text) const;

  bool Converts() const { return convert != 0; }

 private:
  int convert;
};
