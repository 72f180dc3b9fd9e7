#include "update/WideText.h"

namespace varnok {

namespace {

// Length of the valid UTF-8 sequence at `i`, 0 when there is none; stores
// the code point.
std::size_t DecodeOne(const std::string& text, std::size_t i, char32_t& cp) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  std::size_t length;
  char32_t min;
  if (lead < 0x80) { cp = lead; return 1; }
  if ((lead & 0xE0) == 0xC0) { length = 2; cp = lead & 0x1F; min = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { length = 3; cp = lead & 0x0F; min = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { length = 4; cp = lead & 0x07; min = 0x10000; }
  else return 0;
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

void Append(std::wstring& out, char32_t cp) {
  if (sizeof(wchar_t) >= 4 || cp < 0x10000) {
    out.push_back(static_cast<wchar_t>(cp));
  } else {  // UTF-16 wchar_t
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

std::wstring WideFromNarrow(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t used = DecodeOne(text, i, cp);
    if (used == 0) {
      Append(out, static_cast<unsigned char>(text[i]));
      ++i;
    } else {
      Append(out, cp);
      i += used;
    }
  }
  return out;
}

std::string ValidUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t used = DecodeOne(text, i, cp);
    if (used == 0) {
      const unsigned char byte = static_cast<unsigned char>(text[i]);
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
      ++i;
    } else {
      out.append(text, i, used);
      i += used;
    }
  }
  return out;
}

}  // namespace varnok
