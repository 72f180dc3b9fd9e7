// GBK decoding through the C library's iconv (glibc ships the GBK table).
#include <iconv.h>

#include <cerrno>

#include "tools/TextDecode.h"

namespace textdecode {

namespace {
// One conversion descriptor per thread: iconv keeps state in it.
struct GbkConverter {
  iconv_t cd = iconv_open("UTF-8", "GBK");
  ~GbkConverter() {
    if (cd != reinterpret_cast<iconv_t>(-1))
      iconv_close(cd);
  }
};
}  // namespace

std::size_t AppendGbkChar(const unsigned char* p, std::size_t n, std::string& out) {
  thread_local GbkConverter converter;
  if (converter.cd == reinterpret_cast<iconv_t>(-1) || n == 0)
    return 0;
  // A GBK character is one byte below 0x80 or a lead byte 0x81..0xFE
  // with one trail byte.
  const std::size_t len = p[0] < 0x80 ? 1 : 2;
  if (len > n || (len == 2 && (p[0] < 0x81 || p[0] > 0xFE)))
    return 0;
  char in[2] = {static_cast<char>(p[0]), static_cast<char>(len == 2 ? p[1] : 0)};
  char buffer[8];
  char* inPtr = in;
  std::size_t inLeft = len;
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter.cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0)
    return 0;
  out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  return len;
}

}  // namespace textdecode
