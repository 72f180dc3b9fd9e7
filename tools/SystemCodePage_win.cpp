// The legacy code page from the system's default language.
#include <windows.h>

#include "tools/TextDecode.h"

LegacyCodePage SystemLegacyCodePage() {
  return GetSystemDefaultLangID() == 0x0804 ? LegacyCodePage::Gbk : LegacyCodePage::Windows1252;
}
