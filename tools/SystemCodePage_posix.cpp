// The legacy code page from the locale environment.
#include <cstdlib>
#include <cstring>

#include "tools/TextDecode.h"

LegacyCodePage SystemLegacyCodePage() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
      continue;
    return std::strncmp(value, "zh_CN", 5) == 0 ? LegacyCodePage::Gbk
                                                : LegacyCodePage::Windows1252;
  }
  return LegacyCodePage::Windows1252;
}
