// GBK decoding through the system's code page 936.
#include <windows.h>

#include "tools/TextDecode.h"

namespace textdecode {

std::size_t AppendGbkChar(const unsigned char* p, std::size_t n, std::string& out) {
  if (n == 0)
    return 0;
  const int len = p[0] < 0x80 ? 1 : 2;
  if (static_cast<std::size_t>(len) > n || (len == 2 && (p[0] < 0x81 || p[0] > 0xFE)))
    return 0;
  wchar_t wide[2];
  const int count = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS,
                                        reinterpret_cast<const char*>(p), len, wide, 2);
  if (count <= 0)
    return 0;
  char buffer[8];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, count, buffer, sizeof buffer,
                                        nullptr, nullptr);
  if (bytes <= 0)
    return 0;
  out.append(buffer, static_cast<std::size_t>(bytes));
  return static_cast<std::size_t>(len);
}

}  // namespace textdecode
