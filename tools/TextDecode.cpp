#include "tools/TextDecode.h"

namespace textdecode {

const char kReplacement[] = "\xEF\xBF\xBD";

namespace {
void AppendCodePoint(unsigned cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// 0x80..0x9F of Windows-1252; 0 marks the five undefined bytes, which
// keep their own (C1) code points.
constexpr unsigned short kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

void AppendWindows1252(unsigned char byte, std::string& out) {
  unsigned cp = byte;
  if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0)
    cp = kHighControls[byte - 0x80];
  AppendCodePoint(cp, out);
}

}  // namespace textdecode

bool IsValidUtf8(const std::string& bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i < len)
      return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::string DecodeToolText(const std::string& bytes, LegacyCodePage codePage) {
  if (IsValidUtf8(bytes))
    return bytes;
  return DecodeLegacyText(bytes, codePage);
}

std::string DecodeLegacyText(const std::string& bytes, LegacyCodePage codePage) {
  std::string out;
  out.reserve(bytes.size() * 2);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      out.push_back(static_cast<char>(p[i++]));
    } else if (codePage == LegacyCodePage::Windows1252) {
      textdecode::AppendWindows1252(p[i++], out);
    } else if (const std::size_t used = textdecode::AppendGbkChar(p + i, n - i, out)) {
      i += used;
    } else {
      out += textdecode::kReplacement;
      ++i;
    }
  }
  return out;
}

void ReplaceHighDegreeBytes(std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() + 8);
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) == 0xB0) {
      out.push_back(static_cast<char>(0xA1));
      out.push_back(static_cast<char>(0xA3));
    } else {
      out.push_back(c);
    }
  }
  bytes.swap(out);
}

std::string DecodeCapturedLine(std::string line, LegacyCodePage codePage) {
  if (IsValidUtf8(line))
    return line;
  // Without the pair GBK would read 0xB0 as a lead byte and swallow the
  // character after it.
  if (codePage == LegacyCodePage::Gbk)
    ReplaceHighDegreeBytes(line);
  return DecodeToolText(line, codePage);
}
